#include "testmain.h"

#include "transferpeer.h"

#include "device/recordingtransfer.h"
#include "device/transferlink.h"
#include "device/transferwire.h"

#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>

class TestRecordingTransfer : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<QTemporaryDir> m_pc;
    std::unique_ptr<TransferPeer> m_peer;
    std::unique_ptr<QTcpSocket> m_socket;
    std::atomic_bool m_interrupt{false};
    std::unique_ptr<TransferLink> m_link;
    QStringList m_errors;
    qint64 m_progress = 0;

    static QByteArray pattern(int size, char seed = 0)
    {
        QByteArray b(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            b[i] = char(seed + i * 13);
        return b;
    }
    QString pcFile(const QString &rel, const QByteArray &data)
    {
        const QString p = m_pc->path() + u'/' + rel;
        QDir().mkpath(QFileInfo(p).absolutePath());
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write(data);
        return p;
    }
    static QByteArray read(const QString &p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    RecordingTransfer transfer()
    {
        RecordingTransfer t(*m_link);
        t.closingWaitMs = 2000;
        return t;
    }

private slots:
    void init()
    {
        m_root.reset(new QTemporaryDir);
        m_pc.reset(new QTemporaryDir);
        m_peer.reset(new TransferPeer(m_root->path()));
        const quint16 port = m_peer->startListening();
        m_socket.reset(new QTcpSocket);
        m_socket->connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(m_socket->waitForConnected(5000));
        m_interrupt = false;
        m_link.reset(new TransferLink(m_socket.get(), &m_interrupt));
        m_link->setInactivityLimit(2000);
        m_errors.clear();
        m_progress = 0;
        m_link->error = [this](const QString &e) { m_errors << e; };
        m_link->progress64 = [this](qint64 n) { m_progress += n; };
        m_link->codeText = [](int code) { return QStringLiteral("code %1").arg(code); };
        m_peer->blockSize = 32768;
        m_peer->recordingParts = {{0, "ts", pattern(150000)}, {1, "mks", pattern(100, 7)}};
    }
    void cleanup()
    {
        m_link.reset();
        m_socket.reset();
        m_peer.reset();
    }

    void downloadParts()
    {
        QCOMPARE(transfer().download(40000, m_pc->path() + QStringLiteral("/My.Show")), RecordingTransfer::Completed);
        QVERIFY(m_errors.isEmpty());
        QCOMPARE(read(m_pc->path() + QStringLiteral("/MyShow/MyShow.ts")), pattern(150000));
        QCOMPARE(read(m_pc->path() + QStringLiteral("/MyShow/MyShow.mks")), pattern(100, 7));
        QCOMPARE(m_progress, qint64(150100));
        QCOMPARE(QDir(m_pc->path() + QStringLiteral("/MyShow")).entryList(QDir::Files | QDir::Hidden).size(), 2);
        // Request, go, the answer to the normal end, the closing byte.
        QTRY_COMPARE(m_peer->received(), QByteArray("\x05\x9C\x40\0\0\0\0\0\0\0\0\x01\x01\x01", 14));
    }

    void recordingNames_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("name");
        QTest::newRow("dots removed") << "Film.2012"
                                      << "Film2012";
        QTest::newRow("colon") << "a:b"
                               << "a_b";
        QTest::newRow("dots only") << ".."
                                   << "";
        QTest::newRow("control characters") << QStringLiteral("a\tb") << "ab";
    }
    void recordingNames()
    {
        QFETCH(QString, destination);
        QFETCH(QString, name);
        QCOMPARE(RecordingTransfer::recordingName(QStringLiteral("/x/") + destination), name);
    }

    void hostileSuffixRefused()
    {
        m_peer->recordingParts = {{0, "../../evil", pattern(10)}};
        QCOMPARE(transfer().download(1, m_pc->path() + QStringLiteral("/Rec")), RecordingTransfer::Failed);
        QCOMPARE(m_errors, QStringList{QStringLiteral("Cannot copy recording Rec.")});
        QVERIFY(QDir(m_pc->path()).isEmpty());
        QVERIFY(!QFileInfo::exists(m_root->path() + QStringLiteral("/evil")));
    }

    void refusedAndEmpty()
    {
        m_peer->recordingReplyStatus = 0xFC;
        QCOMPARE(transfer().download(1, m_pc->path() + QStringLiteral("/Rec")), RecordingTransfer::Failed);
        QCOMPARE(m_errors, QStringList{QStringLiteral("code -4")});
        m_errors.clear();
        m_peer->recordingReplyStatus = 1;
        m_peer->recordingParts.clear();
        QCOMPARE(transfer().download(1, m_pc->path() + QStringLiteral("/Rec")), RecordingTransfer::Failed);
        QCOMPARE(m_errors, QStringList({"No recordings to copy.", "Cannot copy recording Rec."}));
        QVERIFY(QDir(m_pc->path()).isEmpty());
    }

    void failedOrCancelledDownloadKeepsUserFiles_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<int>("end");
        QTest::newRow("cancelled") << true << 0xFF;
        QTest::newRow("busy end") << false << 0xFC;
        QTest::newRow("removal end") << false << 0xF3;
        QTest::newRow("unexpected end") << false << 0x42;
    }
    void failedOrCancelledDownloadKeepsUserFiles()
    {
        QFETCH(bool, cancel);
        QFETCH(int, end);
        const QString mine = pcFile(QStringLiteral("Rec/Rec.ts"), "the user's old copy");
        m_peer->recordingEnd = end;
        if (cancel)
            m_link->progress64 = [this](qint64) { m_interrupt = true; };
        const RecordingTransfer::Outcome outcome = transfer().download(1, m_pc->path() + QStringLiteral("/Rec"));
        QCOMPARE(outcome, cancel ? RecordingTransfer::Canceled : RecordingTransfer::Failed);
        QCOMPARE(read(mine), QByteArray("the user's old copy"));
        QCOMPARE(QDir(m_pc->path() + QStringLiteral("/Rec")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Rec.ts")});
        if (cancel) {
            QCOMPARE(m_peer->cancelBytesSeen(), 1);
            QVERIFY(m_errors.isEmpty());
        }
        QVERIFY(!m_interrupt);
    }

    void uploadDescriptionPackets_data()
    {
        QTest::addColumn<int>("descSize");
        QTest::addColumn<int>("packets");
        QTest::newRow("one packet") << 64239 << 1;
        QTest::newRow("two packets") << 64240 << 2;
    }
    void uploadDescriptionPackets()
    {
        QFETCH(int, descSize);
        QFETCH(int, packets);
        const QString desc = pcFile(QStringLiteral("Rec1.desc"), pattern(descSize, 3));
        pcFile(QStringLiteral("Rec1.ts"), pattern(5000, 1));
        pcFile(QStringLiteral("Rec1.mks"), pattern(300, 2));
        m_peer->uploadRequests = {{1, 0, 100}, {1, 1, 10}, {1, 0, 50}, {0xF8, 0, 0}};
        QCOMPARE(transfer().upload(desc), RecordingTransfer::Completed);
        QVERIFY(m_errors.isEmpty());
        QCOMPARE(m_peer->recordingUploads().size(), 1);
        const QList<QByteArray> got = m_peer->recordingUploads().first();
        QCOMPARE(got.size(), 4);
        QCOMPARE(got[0], pattern(descSize, 3));
        QCOMPARE(got[1], pattern(5000, 1).left(100));
        QCOMPARE(got[2], pattern(300, 2).left(10));
        // The stream file is opened anew after the other file: its first bytes again.
        QCOMPARE(got[3], pattern(5000, 1).left(50));
        // Then the data packets, each beginning with 0x01.
        QVERIFY(m_peer->received().startsWith(QByteArray("\x0B") + TransferWire::uint64(quint64(descSize)) +
                                              TransferWire::uint32(64239) + QByteArray(packets, '\x01') + '\x01'));
    }

    void uploadSkipsLoneDescriptionAndSendsChosenSetOnce()
    {
        pcFile(QStringLiteral("A-lone.desc"), "x");
        const QString chosen = pcFile(QStringLiteral("Rec1.desc"), "d1");
        pcFile(QStringLiteral("Rec1.ts"), "t1");
        pcFile(QStringLiteral("Rec2.desc"), "d2");
        pcFile(QStringLiteral("Rec2.ts4"), "t2");
        m_peer->uploadRequests = {{0xF8, 0, 0}};
        QCOMPARE(transfer().upload(chosen), RecordingTransfer::Completed);
        QCOMPARE(m_peer->recordingUploads().size(), 1);
        QCOMPARE(m_peer->recordingUploads().first(), QList<QByteArray>{QByteArray("d1")});
        // The whole folder: the lone description is passed over, both sets go.
        QCOMPARE(transfer().upload(m_pc->path()), RecordingTransfer::Completed);
        QTRY_COMPARE(m_peer->recordingUploads().size(), 3);
    }

    void uploadCancelAbortsRequest()
    {
        const QString desc = pcFile(QStringLiteral("Rec1.desc"), pattern(70000));
        pcFile(QStringLiteral("Rec1.ts"), pattern(5000));
        m_peer->uploadRequests = {{1, 0, 100}, {0xF8, 0, 0}};
        m_link->progress64 = [this](qint64) { m_interrupt = true; };
        const RecordingTransfer::Outcome outcome = transfer().upload(desc);
        QVERIFY(m_errors.isEmpty());
        QCOMPARE(outcome, RecordingTransfer::Canceled);
        QTRY_COMPARE(m_peer->recordingUploads().size(), 1);
        QCOMPARE(m_peer->recordingUploads().first().size(), 2);
        QCOMPARE(m_peer->recordingUploads().first().last(), QByteArray("ABORT"));
        // The first description packet went before the cancel, the second marked as cancelled, then
        // the abort packet in place of the requested bytes.
        QVERIFY(m_peer->received().endsWith(QByteArray("\x01\x0B\xFA") + QByteArray(100, '\0')));
    }

    void emptyDescriptionRefused()
    {
        const QString desc = pcFile(QStringLiteral("Rec1.desc"), QByteArray());
        pcFile(QStringLiteral("Rec1.ts"), "t");
        QCOMPARE(transfer().upload(desc), RecordingTransfer::Failed);
        QCOMPARE(m_errors, QStringList{QStringLiteral("Description file is empty. Recording cannot be copied.")});
        QTest::qWait(50);
        QVERIFY(m_peer->received().isEmpty());
    }
};

OMBRELAY_TEST_MAIN(TestRecordingTransfer)
#include "tst_recordingtransfer.moc"
