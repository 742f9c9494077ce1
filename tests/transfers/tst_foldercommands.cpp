#include "testmain.h"

#include "transferpeer.h"

#include "device/receiverfoldercommands.h"
#include "device/transferlink.h"
#include "device/transferwire.h"
#include "media/copyjobdocument.h"
#include "media/devicefilesystemitem.h"

#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>

class TestFolderCommands : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<TransferPeer> m_peer;
    std::unique_ptr<QTcpSocket> m_socket;
    std::atomic_bool m_interrupt{false};
    std::unique_ptr<TransferLink> m_link;

    void file(const QString &rel, int size)
    {
        const QString p = m_root->path() + u'/' + rel;
        QDir().mkpath(QFileInfo(p).absolutePath());
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write(QByteArray(size, 'f'));
    }

private slots:
    void init()
    {
        m_root.reset(new QTemporaryDir);
        m_peer.reset(new TransferPeer(m_root->path()));
        const quint16 port = m_peer->startListening();
        m_socket.reset(new QTcpSocket);
        m_socket->connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(m_socket->waitForConnected(5000));
        m_link.reset(new TransferLink(m_socket.get(), &m_interrupt));
        m_link->setInactivityLimit(1000);
    }
    void cleanup()
    {
        m_link.reset();
        m_socket.reset();
        m_peer.reset();
    }

    void listingSendsLevels_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("empty") << "" << QByteArray("\x03\x00\x00", 3);
        QTest::newRow("trailing separators") << "v\\\\" << QByteArray("\x03\x00\x01v", 4);
        QTest::newRow("empty components dropped") << "\\v\\\\f" << QByteArray("\x03\x00\x02vf", 5);
    }
    void listingSendsLevels()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, sent);
        file(QStringLiteral("v/f/a.ts"), 10);
        std::unique_ptr<QList<DeviceFileSystemItem *>> items(ReceiverFolderCommands(*m_link).getFolder(path));
        QVERIFY(items);
        QCOMPARE(m_peer->received(), sent);
        qDeleteAll(*items);
    }

    void hostileListings_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("count without entries") << TransferWire::uint16(2);
        QTest::newRow("cut name") << TransferWire::uint16(1) + QByteArray("\x01\xC8"
                                                                          "abc",
                                                                          5);
        QTest::newRow("count zero") << TransferWire::uint16(0);
    }
    void hostileListings()
    {
        QFETCH(QByteArray, reply);
        m_peer->listingOverride = reply;
        QVERIFY(!ReceiverFolderCommands(*m_link).getFolder(QStringLiteral("v")));
    }

    void expandFolder()
    {
        file(QStringLiteral("v/f/a.ts"), 10);
        QDir().mkpath(m_root->path() + QStringLiteral("/v/f/g"));
        CopyJobDocument job;
        qint64 total = 0;
        ReceiverFolderCommands(*m_link).expandUri(QStringLiteral("dir://v\\f*0"), QString(), job, total);
        QCOMPARE(total, qint64(10));
        QStringList got;
        while (job.hasFiles()) {
            const CopyJobFile e = job.takeFirstFile();
            got << QStringLiteral("%1|%2|%3|%4").arg(e.type()).arg(e.absolutePath(), e.relativePath()).arg(e.size());
        }
        // The listing is sorted by name: a.ts before g.
        QCOMPARE(got, QStringList({"0|file://v\\f\\a.ts|\\f|10", "2|dir://v\\f\\g|\\f|0", "2|dir://v\\f||0"}));
    }

    void expansionDepthIsBounded()
    {
        // A receiver folder tree deeper than any real one (or a listing that loops).
        QString deep = QStringLiteral("v");
        for (int i = 0; i < ReceiverFolderCommands::MaxDepth + 5; ++i)
            deep += QStringLiteral("/d");
        file(deep + QStringLiteral("/bottom.ts"), 7);
        CopyJobDocument job;
        qint64 total = 0;
        ReceiverFolderCommands(*m_link).expandUri(QStringLiteral("dir://v*0"), QString(), job, total);
        QCOMPARE(total, qint64(0));
        QCOMPARE(job.fileCount(), ReceiverFolderCommands::MaxDepth + 1);
        while (job.hasFiles())
            QVERIFY(job.takeFirstFile().isDir());
    }

    void createDeleteAndChains()
    {
        ReceiverFolderCommands commands(*m_link);
        QVERIFY(commands.createFolder(QStringLiteral("v\\new")));
        QVERIFY(QFileInfo(m_root->path() + QStringLiteral("/v/new")).isDir());
        file(QStringLiteral("v/a/b"), 1);
        m_peer->clearReceived();
        QCOMPARE(commands.deletePath(QStringLiteral("v\\a\\b")), 1);
        QCOMPARE(m_peer->received(), QByteArray("\x08\x00\x02vab", 6));
        QCOMPARE(commands.deletePath(QStringLiteral("v\\gone")), -1);
        QCOMPARE(commands.deletePath(QString()), -1);
        m_peer->clearReceived();
        QVERIFY(commands.deleteRecording(40000));
        QCOMPARE(m_peer->received(), QByteArray("\x17\x9C\x40"));
        m_peer->refuseStatus = 0xFC;
        QVERIFY(!commands.deleteRecording(1));
        QVERIFY(!commands.createFolder(QStringLiteral("v\\x")));
        m_peer->refuseStatus = 0;

        m_peer->clearReceived();
        commands.makePath(QStringLiteral("/v/a/b/c/f"), true);
        QCOMPARE(m_peer->received(), QByteArray("\x07\x00\x02/vab", 7));
        m_peer->clearReceived();
        commands.makePath(QStringLiteral("x/y"), false);
        QCOMPARE(m_peer->received(), QByteArray("\x07\x00\x01xy", 5));
        m_peer->clearReceived();
        commands.makePath(QStringLiteral("/v/a"), false);
        QTest::qWait(50);
        QVERIFY(m_peer->received().isEmpty());
    }
};

OMBRELAY_TEST_MAIN(TestFolderCommands)
#include "tst_foldercommands.moc"
