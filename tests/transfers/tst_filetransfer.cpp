#include "testmain.h"

#include "transferpeer.h"

#include "device/filetransfer.h"
#include "device/transferlink.h"
#include "device/transferwire.h"
#include "media/copyjobdocument.h"

#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>

class TestFileTransfer : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_receiver;
    std::unique_ptr<QTemporaryDir> m_pc;
    std::unique_ptr<TransferPeer> m_peer;
    std::unique_ptr<QTcpSocket> m_socket;
    std::atomic_bool m_interrupt{false};
    std::unique_ptr<TransferLink> m_link;
    QStringList m_errors;
    qint64 m_progress = 0;

    static QByteArray pattern(int size)
    {
        QByteArray b(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            b[i] = char((i * 7 + i / 251) & 0xff);
        return b;
    }
    QString receiverFile(const QString &rel, const QByteArray &data)
    {
        const QString path = m_receiver->path() + u'/' + rel;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(data);
        return path;
    }
    QString pcFile(const QString &rel, const QByteArray &data)
    {
        const QString path = m_pc->path() + u'/' + rel;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(data);
        return path;
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static QByteArray header(quint8 command, quint16 levels) { return TransferWire::transferHeader(command, levels); }

private slots:
    void init()
    {
        m_receiver.reset(new QTemporaryDir);
        m_pc.reset(new QTemporaryDir);
        m_peer.reset(new TransferPeer(m_receiver->path()));
        const quint16 port = m_peer->startListening();
        m_socket.reset(new QTcpSocket);
        m_socket->connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(m_socket->waitForConnected(5000));
        m_interrupt = false;
        m_link.reset(new TransferLink(m_socket.get(), &m_interrupt));
        m_link->setInactivityLimit(2000);
        m_errors.clear();
        m_progress = 0;
        m_link->error = [this](const QString &e) { m_errors.append(e); };
        m_link->progress64 = [this](qint64 n) { m_progress += n; };
        m_link->codeText = [](int code) { return QStringLiteral("code %1").arg(code); };
    }
    void cleanup()
    {
        m_link.reset();
        m_socket.reset();
        m_peer.reset();
    }

    void downloadByteExact()
    {
        const QByteArray data = pattern(150000);
        receiverFile(QStringLiteral("v/f.bin"), data);
        const QString dest = m_pc->path() + QStringLiteral("/new/dir/f.bin");
        CopyJobDocument failures;
        QCOMPARE(FileTransfer(*m_link).download(QStringLiteral("v\\f.bin"), dest, true, false, 150000, &failures),
                 FileTransfer::Completed);
        QCOMPARE(read(dest), data);
        QCOMPARE(m_progress, qint64(150000));
        QVERIFY(m_errors.isEmpty());
        QCOMPARE(m_peer->received(), header(0x04, 1) + "v" + "f.bin");
        QVERIFY(QFileInfo::exists(m_receiver->path() + QStringLiteral("/v/f.bin")));
        QVERIFY(!failures.hasFiles());
    }

    void downloadOfEmptyFile()
    {
        receiverFile(QStringLiteral("v/empty"), QByteArray());
        const QString dest = m_pc->path() + QStringLiteral("/empty");
        QCOMPARE(FileTransfer(*m_link).download(QStringLiteral("v\\empty"), dest, true, false, 0, nullptr),
                 FileTransfer::Completed);
        QVERIFY(QFileInfo(dest).isFile());
        QCOMPARE(QFileInfo(dest).size(), qint64(0));
    }

    void downloadWithoutOverwriteTouchesNothing()
    {
        receiverFile(QStringLiteral("v/f.bin"), pattern(10));
        const QString dest = pcFile(QStringLiteral("f.bin"), "mine");
        QCOMPARE(FileTransfer(*m_link).download(QStringLiteral("v\\f.bin"), dest, false, true, 10, nullptr),
                 FileTransfer::Skipped);
        QCOMPARE(m_progress, qint64(10));
        QCOMPARE(read(dest), QByteArray("mine"));
        QTest::qWait(50);
        QVERIFY(m_peer->received().isEmpty());
        QVERIFY(QFileInfo::exists(m_receiver->path() + QStringLiteral("/v/f.bin")));
    }

    void failedDownloadKeepsExistingFileAndSource_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("connection dropped") << "drop";
        QTest::newRow("receiver silent") << "silent";
        QTest::newRow("hostile block size") << "hostile";
        QTest::newRow("refused") << "refused";
    }
    void failedDownloadKeepsExistingFileAndSource()
    {
        QFETCH(QString, fault);
        receiverFile(QStringLiteral("v/f.bin"), pattern(300000));
        const QString dest = pcFile(QStringLiteral("keep/f.bin"), "the user's own bytes");
        if (fault == QLatin1String("drop"))
            m_peer->dropAfter = 100000;
        else if (fault == QLatin1String("silent"))
            m_peer->silentAfter = 100000;
        else if (fault == QLatin1String("hostile"))
            m_peer->announcedBlock = 0xFFFFFFF0u;
        else
            m_peer->refuseStatus = 0xFC;
        m_link->setInactivityLimit(500);
        CopyJobDocument failures;
        QCOMPARE(FileTransfer(*m_link).download(QStringLiteral("v\\f.bin"), dest, true, true, 300000, &failures),
                 FileTransfer::Failed);
        QCOMPARE(m_errors.size(), 1);
        if (fault == QLatin1String("refused"))
            QCOMPARE(m_errors.first(), QStringLiteral("code -4"));
        QCOMPARE(read(dest), QByteArray("the user's own bytes"));
        QCOMPARE(QDir(QFileInfo(dest).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("f.bin")});
        // A move whose copy failed never deletes the receiver's file.
        QCOMPARE(m_peer->deleteRequests(), 0);
        QVERIFY(QFileInfo::exists(m_receiver->path() + QStringLiteral("/v/f.bin")));
    }

    void moveDeletesSourceAfterCompleteCopy()
    {
        receiverFile(QStringLiteral("v/a/f.bin"), pattern(70000));
        const QString dest = m_pc->path() + QStringLiteral("/f.bin");
        CopyJobDocument failures;
        QCOMPARE(FileTransfer(*m_link).download(QStringLiteral("v\\a\\f.bin"), dest, true, true, 70000, &failures),
                 FileTransfer::Completed);
        QCOMPARE(read(dest), pattern(70000));
        QCOMPARE(m_peer->deleteRequests(), 1);
        QVERIFY(!QFileInfo::exists(m_receiver->path() + QStringLiteral("/v/a/f.bin")));
        QVERIFY(!failures.hasFiles());
        // Delete of v\a\f.bin: [08][00 02], "v", "a", "f.bin".
        QVERIFY(m_peer->received().endsWith(QByteArray("\x08\x00\x02", 3) + "v" + "a" + "f.bin"));
    }

    void cancelledDownloadRemovesPartialAndKeepsSource()
    {
        receiverFile(QStringLiteral("v/f.bin"), pattern(1000000));
        const QString dest = pcFile(QStringLiteral("f.bin"), "old");
        m_peer->blockSize = 4096;
        m_link->progress64 = [this](qint64 n) {
            m_progress += n;
            if (m_progress >= 8192)
                m_interrupt = true;
        };
        QCOMPARE(FileTransfer(*m_link).download(QStringLiteral("v\\f.bin"), dest, true, true, 1000000, nullptr),
                 FileTransfer::Canceled);
        QCOMPARE(read(dest), QByteArray("old"));
        QTRY_COMPARE(m_peer->cancelBytesSeen(), 1);
        QCOMPARE(m_peer->deleteRequests(), 0);
        QVERIFY(!m_interrupt);
        // The connection is usable again afterwards.
        receiverFile(QStringLiteral("v/g.bin"), pattern(5));
        m_link->progress64 = {};
        QCOMPARE(FileTransfer(*m_link).download(QStringLiteral("v\\g.bin"), dest, true, false, 5, nullptr),
                 FileTransfer::Completed);
        QCOMPARE(read(dest), pattern(5));
    }

    void paddedLastBlockIsNotFileData()
    {
        receiverFile(QStringLiteral("v/a.bin"), pattern(1000));
        receiverFile(QStringLiteral("v/b.bin"), pattern(3000));
        m_peer->blockSize = 2048;
        m_peer->padLastBlock = true;
        const QString a = m_pc->path() + QStringLiteral("/a.bin");
        const QString b = m_pc->path() + QStringLiteral("/b.bin");
        QCOMPARE(FileTransfer(*m_link).download(QStringLiteral("v\\a.bin"), a, true, false, 1000, nullptr),
                 FileTransfer::Completed);
        QCOMPARE(FileTransfer(*m_link).download(QStringLiteral("v\\b.bin"), b, true, false, 3000, nullptr),
                 FileTransfer::Completed);
        QCOMPARE(read(a), pattern(1000));
        QCOMPARE(read(b), pattern(3000));
    }

    void pendingStatusAnswered()
    {
        receiverFile(QStringLiteral("v/f.bin"), pattern(10));
        m_peer->pendingBeforeStatus = 2;
        const QString dest = m_pc->path() + QStringLiteral("/f.bin");
        QCOMPARE(FileTransfer(*m_link).download(QStringLiteral("v\\f.bin"), dest, true, false, 10, nullptr),
                 FileTransfer::Completed);
        QCOMPARE(read(dest), pattern(10));
        QCOMPARE(m_peer->received(), header(0x04, 1) + "\x01\x01" + "v" + "\x01\x01" + "f.bin");
    }

    void destinationThatCannotBeCreated()
    {
        receiverFile(QStringLiteral("v/f.bin"), pattern(10));
        const QString blocker = pcFile(QStringLiteral("plainfile"), "x");
        QCOMPARE(FileTransfer(*m_link).download(QStringLiteral("v\\f.bin"), blocker + QStringLiteral("/sub/f.bin"),
                                                true, false, 10, nullptr),
                 FileTransfer::Failed);
        QCOMPARE(m_errors, QStringList{QStringLiteral("Cannot create directory sub.")});
        QTest::qWait(50);
        QVERIFY(m_peer->received().isEmpty());
    }

    void uploadPacketCounts_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("packets");
        QTest::newRow("one byte") << 1 << 1;
        QTest::newRow("exactly one packet") << 64239 << 1;
        QTest::newRow("one byte more") << 64240 << 2;
        QTest::newRow("three") << 150000 << 3;
    }
    void uploadPacketCounts()
    {
        QFETCH(int, size);
        QFETCH(int, packets);
        const QByteArray data = pattern(size);
        const QString source = pcFile(QStringLiteral("up.bin"), data);
        QCOMPARE(FileTransfer(*m_link).upload(source, QStringLiteral("/v/dir/up.bin")), FileTransfer::Completed);
        QCOMPARE(m_peer->uploadPackets(), packets);
        QCOMPARE(read(m_receiver->path() + QStringLiteral("/v/dir/up.bin")), data);
        QCOMPARE(m_progress, qint64(size));
        QByteArray expected = header(0x0A, 2) + "/v" + "dir" + TransferWire::uint64(quint64(size)) + "up.bin" +
                              TransferWire::uint32(64239);
        expected += QByteArray(packets, '\x01'); // the peer logs each packet's marker
        QCOMPARE(m_peer->received(), expected);
    }

    void uploadOfEmptyFileSendsNothing()
    {
        const QString source = pcFile(QStringLiteral("empty"), QByteArray());
        QCOMPARE(FileTransfer(*m_link).upload(source, QStringLiteral("/v/empty")), FileTransfer::Completed);
        QTest::qWait(50);
        QVERIFY(m_peer->received().isEmpty());
    }

    void uploadOfUnreadableFileFails()
    {
        const QString source = m_pc->path() + QStringLiteral("/missing.bin");
        QCOMPARE(FileTransfer(*m_link).upload(source, QStringLiteral("/v/x.bin")), FileTransfer::Failed);
        QCOMPARE(m_errors, QStringList{QStringLiteral("Cannot open file %1.").arg(source)});
        QTest::qWait(50);
        QVERIFY(m_peer->received().isEmpty());
    }

    void uploadPacketRefusedFails()
    {
        const QString source = pcFile(QStringLiteral("up.bin"), pattern(200000));
        m_peer->packetAck = 0xFC;
        QCOMPARE(FileTransfer(*m_link).upload(source, QStringLiteral("/v/up.bin")), FileTransfer::Failed);
        QCOMPARE(m_errors, QStringList{QStringLiteral("code -4")});
        QCOMPARE(m_peer->uploadPackets(), 1);
    }

    void uploadCancelSendsCancelPacket()
    {
        const QString source = pcFile(QStringLiteral("up.bin"), pattern(300000));
        m_link->progress64 = [this](qint64) { m_interrupt = true; };
        QCOMPARE(FileTransfer(*m_link).upload(source, QStringLiteral("/v/up.bin")), FileTransfer::Canceled);
        QTRY_COMPARE(m_peer->cancelBytesSeen(), 1);
        QCOMPARE(m_peer->uploadPackets(), 1);
        QVERIFY(!m_interrupt);
        QVERIFY(QFileInfo::exists(source));
    }

    void uploadCancelledBeforeFirstPacket()
    {
        const QString source = pcFile(QStringLiteral("up.bin"), pattern(100));
        m_interrupt = true;
        QCOMPARE(FileTransfer(*m_link).upload(source, QStringLiteral("v/up.bin")), FileTransfer::Canceled);
        QTRY_COMPARE(m_peer->cancelBytesSeen(), 1);
        QCOMPARE(m_peer->received(),
                 header(0x0A, 1) + "v" + TransferWire::uint64(100) + "up.bin" + TransferWire::uint32(64239) + "\xFA");
    }
};

OMBRELAY_TEST_MAIN(TestFileTransfer)
#include "tst_filetransfer.moc"
