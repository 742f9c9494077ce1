#include "testmain.h"

#include "emulatorlink.h"

#include "device/transfers/recordingtransfer.h"
#include "device/transfers/transferwire.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <memory>

#include <sys/resource.h>

class TestRecordingTransfer : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<EmulatorLink> e;

    static QByteArray pattern(int size, char seed = 0) { return EmulatorLink::pattern(size, seed); }
    RecordingTransfer transfer()
    {
        RecordingTransfer t(*e->link);
        t.closingWaitMs = 2000;
        return t;
    }

private slots:
    void init()
    {
        e = std::make_unique<EmulatorLink>();
        QVERIFY(e->open());
        e->commands->blockSize = 32768;
        e->commands->recordingParts = {{0, "ts", pattern(150000)}, {1, "mks", pattern(100, 7)}};
    }
    void cleanup() { e.reset(); }

    void downloadParts()
    {
        QCOMPARE(transfer().download(40000, e->pc.path() + QStringLiteral("/My.Show")), RecordingTransfer::Completed);
        QVERIFY(e->errors.isEmpty());
        QCOMPARE(EmulatorLink::read(e->pc.path() + QStringLiteral("/MyShow/MyShow.ts")), pattern(150000));
        QCOMPARE(EmulatorLink::read(e->pc.path() + QStringLiteral("/MyShow/MyShow.mks")), pattern(100, 7));
        QCOMPARE(e->progress, qint64(150100));
        QCOMPARE(QDir(e->pc.path() + QStringLiteral("/MyShow")).entryList(QDir::Files | QDir::Hidden).size(), 2);
        // Request, go, the answer to the normal end, the closing byte.
        QTRY_COMPARE(e->emulator.received(), QByteArray("\x05\x9C\x40\0\0\0\0\0\0\0\0\x01\x01\x01", 14));
    }

    void partsPastTheFileSizeLimit_data()
    {
        QTest::addColumn<qint64>("fileLimit");
        QTest::addColumn<qint64>("segmentLimit");
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::newRow("continued in segments") << qint64(60000) << qint64(50000) << QList<qint64>{60000, 60000, 30000};
        QTest::newRow("disk full below the limit") << qint64(40000) << qint64(50000) << QList<qint64>{};
    }
    void partsPastTheFileSizeLimit()
    {
        QFETCH(qint64, fileLimit);
        QFETCH(qint64, segmentLimit);
        QFETCH(QList<qint64>, sizes);
        e->commands->recordingParts = {{0, "ts", pattern(150000)}};
        RecordingTransfer t = transfer();
        t.segmentLimit = segmentLimit;
        // A file system that refuses files past fileLimit bytes: writes beyond it come back short.
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old;
        limit.rlim_cur = rlim_t(fileLimit);
        setrlimit(RLIMIT_FSIZE, &limit);
        const RecordingTransfer::Outcome outcome = t.download(1, e->pc.path() + QStringLiteral("/Rec"));
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
        QCOMPARE(outcome, sizes.isEmpty() ? RecordingTransfer::Failed : RecordingTransfer::Completed);
        QByteArray joined;
        QList<qint64> got;
        for (const QString &name : {"Rec.ts", "Rec_1.ts", "Rec_2.ts", "Rec_3.ts"}) {
            const QString path = e->pc.path() + QStringLiteral("/Rec/") + name;
            if (QFileInfo::exists(path)) {
                got << QFileInfo(path).size();
                joined += EmulatorLink::read(path);
            }
        }
        QCOMPARE(got, sizes);
        if (sizes.isEmpty()) {
            QCOMPARE(e->errors.size(), 1);
            QVERIFY(e->errors.first().startsWith(QStringLiteral("Cannot create file")));
            QVERIFY(QDir(e->pc.path()).isEmpty());
        } else {
            QCOMPARE(joined, pattern(150000));
        }
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

    void refusedBeforeAnyFile_data()
    {
        QTest::addColumn<QByteArray>("suffix");
        QTest::addColumn<int>("reply");
        QTest::addColumn<QStringList>("errors");
        // clang-format off
        QTest::newRow("suffix leaving the folder") << QByteArray("../../evil") << 1 << QStringList{"Cannot copy recording Rec."};
        QTest::newRow("refused") << QByteArray("ts") << 0xFC << QStringList{"code -4"};
        QTest::newRow("nothing to copy") << QByteArray() << 1 << QStringList{"No recordings to copy.", "Cannot copy recording Rec."};
        // clang-format on
    }
    void refusedBeforeAnyFile()
    {
        QFETCH(QByteArray, suffix);
        QFETCH(int, reply);
        QFETCH(QStringList, errors);
        e->commands->recordingParts.clear();
        if (!suffix.isEmpty())
            e->commands->recordingParts = {{0, suffix, pattern(10)}};
        e->commands->recordingReplyStatus = reply;
        QCOMPARE(transfer().download(1, e->pc.path() + QStringLiteral("/Rec")), RecordingTransfer::Failed);
        QCOMPARE(e->errors, errors);
        QVERIFY(QDir(e->pc.path()).isEmpty());
        QVERIFY(!QFileInfo::exists(e->receiverRoot.path() + QStringLiteral("/evil")));
    }

    void failedOrCancelledDownloadKeepsUserFiles_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("error");
        const QString busy = QStringLiteral("Ombrelay could not copy this recording. Device is busy now. Please try "
                                            "again later.");
        QTest::newRow("cancelled") << true << 0xFF << QString();
        QTest::newRow("busy end") << false << 0xFC << busy;
        QTest::newRow("removal end") << false << 0xF3 << "Cannot copy recording Rec. code -13";
        QTest::newRow("error end") << false << 0xF7 << "Cannot copy recording Rec. code -9";
        QTest::newRow("unexpected end") << false << 0x42 << busy;
    }
    void failedOrCancelledDownloadKeepsUserFiles()
    {
        QFETCH(bool, cancel);
        QFETCH(int, end);
        QFETCH(QString, error);
        const QString mine = e->pcFile(QStringLiteral("Rec/Rec.ts"), "the user's old copy");
        e->commands->recordingEnd = end;
        if (cancel)
            e->link->progress64 = [this](qint64) { e->interrupt = true; };
        const RecordingTransfer::Outcome outcome = transfer().download(1, e->pc.path() + QStringLiteral("/Rec"));
        QCOMPARE(outcome, cancel ? RecordingTransfer::Canceled : RecordingTransfer::Failed);
        QCOMPARE(EmulatorLink::read(mine), QByteArray("the user's old copy"));
        QCOMPARE(QDir(e->pc.path() + QStringLiteral("/Rec")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Rec.ts")});
        if (cancel)
            QCOMPARE(e->commands->cancelBytesSeen(), 1);
        QCOMPARE(e->errors, error.isEmpty() ? QStringList() : QStringList{error});
        QVERIFY(!e->interrupt);
    }

    // A receiver that goes silent in the middle of a recording once the cancel reached it is waited for as long
    // as any read (within the after-cancel wait), then given up and said: the rest of its stream is never read as
    // the answer to the next request, which goes over a new connection. Nothing of the recording is kept.
    void silenceAfterTheCancelGivesTheLinkUp()
    {
        e->link->setInactivityLimit(500);
        e->commands->silentAfter = 32768; // the first block
        e->link->progress64 = [this](qint64) { e->interrupt = true; };
        QCOMPARE(transfer().download(7, e->pcPath(QStringLiteral("Show"))), RecordingTransfer::Canceled);
        QCOMPARE(e->errors, QStringList{QStringLiteral("The device did not answer the cancel.")});
        QVERIFY(!e->link->isOpen());
        QVERIFY(!QFileInfo::exists(e->pcPath(QStringLiteral("Show"))));
        QTRY_COMPARE(e->commands->cancelBytesSeen(), 1);
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
        const QString desc = e->pcFile(QStringLiteral("Rec1.desc"), pattern(descSize, 3));
        e->pcFile(QStringLiteral("Rec1.ts"), pattern(5000, 1));
        e->pcFile(QStringLiteral("Rec1.mks"), pattern(300, 2));
        e->commands->uploadRequests = {{1, 0, 100}, {1, 1, 10}, {1, 0, 50}, {0xF8, 0, 0}};
        QCOMPARE(transfer().upload(desc), RecordingTransfer::Completed);
        QVERIFY(e->errors.isEmpty());
        QCOMPARE(e->commands->recordingUploads().size(), 1);
        const QList<QByteArray> got = e->commands->recordingUploads().first();
        QCOMPARE(got.size(), 4);
        QCOMPARE(got[0], pattern(descSize, 3));
        QCOMPARE(got[1], pattern(5000, 1).left(100));
        QCOMPARE(got[2], pattern(300, 2).left(10));
        // The stream file is opened anew after the other file: its first bytes again.
        QCOMPARE(got[3], pattern(5000, 1).left(50));
        // Then the data packets, each beginning with 0x01.
        QVERIFY(e->emulator.received().startsWith(QByteArray("\x0B") + TransferWire::uint64(quint64(descSize)) +
                                                  TransferWire::uint32(64239) + QByteArray(packets, '\x01') + '\x01'));
    }

    void uploadSkipsLoneDescriptionAndSendsChosenSetOnce()
    {
        e->pcFile(QStringLiteral("A-lone.desc"), "x");
        const QString chosen = e->pcFile(QStringLiteral("Rec1.desc"), "d1");
        e->pcFile(QStringLiteral("Rec1.ts"), "t1");
        e->pcFile(QStringLiteral("Rec2.desc"), "d2");
        e->pcFile(QStringLiteral("Rec2.ts4"), "t2");
        e->commands->uploadRequests = {{0xF8, 0, 0}};
        QCOMPARE(transfer().upload(chosen), RecordingTransfer::Completed);
        QCOMPARE(e->commands->recordingUploads().size(), 1);
        QCOMPARE(e->commands->recordingUploads().first(), QList<QByteArray>{QByteArray("d1")});
        // The whole folder: the lone description is passed over, both sets go.
        QCOMPARE(transfer().upload(e->pc.path()), RecordingTransfer::Completed);
        QTRY_COMPARE(e->commands->recordingUploads().size(), 3);
    }

    void uploadCancelAbortsRequest()
    {
        const QString desc = e->pcFile(QStringLiteral("Rec1.desc"), pattern(70000));
        e->pcFile(QStringLiteral("Rec1.ts"), pattern(5000));
        e->commands->uploadRequests = {{1, 0, 100}, {0xF8, 0, 0}};
        e->link->progress64 = [this](qint64) { e->interrupt = true; };
        const RecordingTransfer::Outcome outcome = transfer().upload(desc);
        QVERIFY(e->errors.isEmpty());
        QCOMPARE(outcome, RecordingTransfer::Canceled);
        QTRY_COMPARE(e->commands->recordingUploads().size(), 1);
        QCOMPARE(e->commands->recordingUploads().first().size(), 2);
        QCOMPARE(e->commands->recordingUploads().first().last(), QByteArray("ABORT"));
        // The first description packet went before the cancel, the second marked as cancelled, then
        // the abort packet in place of the requested bytes.
        QVERIFY(e->emulator.received().endsWith(QByteArray("\x01\x0B\xFA") + QByteArray(100, '\0')));
    }

    void emptyDescriptionRefused()
    {
        const QString desc = e->pcFile(QStringLiteral("Rec1.desc"), QByteArray());
        e->pcFile(QStringLiteral("Rec1.ts"), "t");
        QCOMPARE(transfer().upload(desc), RecordingTransfer::Failed);
        QCOMPARE(e->errors, QStringList{QStringLiteral("Description file is empty. Recording cannot be copied.")});
        QTest::qWait(50);
        QVERIFY(e->emulator.received().isEmpty());
    }
};

OMBRELAY_TEST_MAIN(TestRecordingTransfer)
#include "tst_recordingtransfer.moc"
