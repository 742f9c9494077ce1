#include "testmain.h"

#include "emulatorlink.h"

#include "device/transfers/copyjobdocument.h"
#include "device/transfers/filetransfer.h"
#include "device/transfers/transferwire.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/resource.h>

#include <memory>

class TestFileTransfer : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<EmulatorLink> e;

    static QByteArray pattern(int size) { return EmulatorLink::pattern(size); }
    static QByteArray header(quint8 command, quint16 levels) { return TransferWire::transferHeader(command, levels); }

private slots:
    void init()
    {
        e = std::make_unique<EmulatorLink>();
        QVERIFY(e->open());
    }
    void cleanup() { e.reset(); }

    void downloadByteExact_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("padded");
        QTest::newRow("three blocks") << 150000 << false;
        QTest::newRow("empty file") << 0 << false;
        QTest::newRow("padded last block") << 3000 << true;
    }
    void downloadByteExact()
    {
        QFETCH(int, size);
        QFETCH(bool, padded);
        const QByteArray data = pattern(size);
        e->receiverFile(QStringLiteral("v/f.bin"), data);
        e->commands->padLastBlock = padded;
        if (padded)
            e->commands->blockSize = 2048;
        const QString dest = e->pc.path() + QStringLiteral("/new/dir/f.bin");
        CopyJobDocument failures;
        QCOMPARE(FileTransfer(*e->link).download(QStringLiteral("v\\f.bin"), dest, true, false, size, &failures),
                 FileTransfer::Completed);
        QCOMPARE(EmulatorLink::read(dest), data);
        QCOMPARE(e->progress, qint64(size));
        QVERIFY(e->errors.isEmpty());
        QCOMPARE(e->emulator.received(), header(0x04, 1) + "v" + "f.bin");
        QVERIFY(QFileInfo::exists(e->receiverRoot.path() + QStringLiteral("/v/f.bin")));
        QVERIFY(!failures.hasFiles());
        // The link is in step for the next transfer.
        QCOMPARE(FileTransfer(*e->link).download(QStringLiteral("v\\f.bin"), dest, true, false, size, nullptr),
                 FileTransfer::Completed);
    }

    void downloadThatSendsNothing_data()
    {
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QStringList>("errors");
        // clang-format off
        QTest::newRow("overwrite false") << false << "f.bin" << QStringList();
        QTest::newRow("folder cannot be made") << true << "f.bin/sub/f.bin" << QStringList{"Cannot create directory sub."};
        // clang-format on
    }
    void downloadThatSendsNothing()
    {
        QFETCH(bool, overwrite);
        QFETCH(QString, destination);
        QFETCH(QStringList, errors);
        e->receiverFile(QStringLiteral("v/f.bin"), pattern(10));
        const QString mine = e->pcFile(QStringLiteral("f.bin"), "mine");
        const FileTransfer::Outcome outcome = FileTransfer(*e->link).download(
            QStringLiteral("v\\f.bin"), e->pcPath(destination), overwrite, true, 10, nullptr);
        QCOMPARE(outcome, overwrite ? FileTransfer::Failed : FileTransfer::Skipped);
        QCOMPARE(e->errors, errors);
        QCOMPARE(e->progress, overwrite ? 0 : 10);
        QCOMPARE(EmulatorLink::read(mine), QByteArray("mine"));
        QTest::qWait(50);
        QVERIFY(e->emulator.received().isEmpty());
        QVERIFY(QFileInfo::exists(e->receiverPath(QStringLiteral("v/f.bin"))));
    }

    void failedDownloadKeepsExistingFileAndSource_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("connection dropped") << "drop";
        QTest::newRow("receiver silent") << "silent";
        QTest::newRow("hostile block size") << "hostile";
        QTest::newRow("refused") << "refused";
        QTest::newRow("ended early by the receiver") << "ended";
        QTest::newRow("path level refused") << "level";
    }
    void failedDownloadKeepsExistingFileAndSource()
    {
        QFETCH(QString, fault);
        e->receiverFile(QStringLiteral("v/f.bin"), pattern(300000));
        const QString dest = e->pcFile(QStringLiteral("keep/f.bin"), "the user's own bytes");
        if (fault == QLatin1String("drop"))
            e->commands->dropAfter = 100000;
        else if (fault == QLatin1String("silent"))
            e->commands->silentAfter = 100000;
        else if (fault == QLatin1String("hostile"))
            e->commands->announcedBlock = 0xFFFFFFF0u;
        else if (fault == QLatin1String("ended"))
            e->commands->endAfter = 131072;
        else if (fault == QLatin1String("level"))
            e->commands->refuseLevel = 0;
        else
            e->commands->refuseStatus = 0xFC;
        e->link->setInactivityLimit(500);
        CopyJobDocument failures;
        QCOMPARE(FileTransfer(*e->link).download(QStringLiteral("v\\f.bin"), dest, true, true, 300000, &failures),
                 FileTransfer::Failed);
        QCOMPARE(e->errors.size(), 1);
        if (fault == QLatin1String("refused") || fault == QLatin1String("level"))
            QCOMPARE(e->errors.first(), fault == QLatin1String("level") ? "code -3" : "code -4");
        QCOMPARE(EmulatorLink::read(dest), QByteArray("the user's own bytes"));
        QCOMPARE(QDir(QFileInfo(dest).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("f.bin")});
        // A move whose copy failed never deletes the receiver's file.
        QCOMPARE(e->commands->deleteRequests(), 0);
        QVERIFY(QFileInfo::exists(e->receiverRoot.path() + QStringLiteral("/v/f.bin")));
    }

    // A disk that fills up while the last bytes still sit in the file's buffer: the copy fails, the
    // user's file keeps its bytes, no temporary file stays and a move keeps the receiver's file.
    void diskFullOnTheLastBytes()
    {
        e->receiverFile(QStringLiteral("v/f.bin"), pattern(3000));
        const QString dest = e->pcFile(QStringLiteral("keep/f.bin"), "the user's own bytes");
        CopyJobDocument failures;
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old;
        limit.rlim_cur = 1000;
        setrlimit(RLIMIT_FSIZE, &limit);
        const FileTransfer::Outcome outcome =
            FileTransfer(*e->link).download(QStringLiteral("v\\f.bin"), dest, true, true, 3000, &failures);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
        QCOMPARE(outcome, FileTransfer::Failed);
        QCOMPARE(e->errors, QStringList{QStringLiteral("Cannot create file %1.").arg(dest)});
        QCOMPARE(EmulatorLink::read(dest), QByteArray("the user's own bytes"));
        QCOMPARE(QDir(QFileInfo(dest).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("f.bin")});
        QCOMPARE(e->commands->deleteRequests(), 0);
        QVERIFY(QFileInfo::exists(e->receiverRoot.path() + QStringLiteral("/v/f.bin")));
    }

    void moveDeletesSourceAfterCompleteCopy()
    {
        e->receiverFile(QStringLiteral("v/a/f.bin"), pattern(70000));
        const QString dest = e->pc.path() + QStringLiteral("/f.bin");
        CopyJobDocument failures;
        QCOMPARE(FileTransfer(*e->link).download(QStringLiteral("v\\a\\f.bin"), dest, true, true, 70000, &failures),
                 FileTransfer::Completed);
        QCOMPARE(EmulatorLink::read(dest), pattern(70000));
        QCOMPARE(e->commands->deleteRequests(), 1);
        QVERIFY(!QFileInfo::exists(e->receiverRoot.path() + QStringLiteral("/v/a/f.bin")));
        QVERIFY(!failures.hasFiles());
    }

    void cancelledDownloadRemovesPartialAndKeepsSource()
    {
        e->receiverFile(QStringLiteral("v/f.bin"), pattern(1000000));
        const QString dest = e->pcFile(QStringLiteral("f.bin"), "old");
        e->commands->blockSize = 4096;
        e->link->progress64 = [this](qint64 n) {
            e->progress += n;
            if (e->progress >= 8192)
                e->interrupt = true;
        };
        QCOMPARE(FileTransfer(*e->link).download(QStringLiteral("v\\f.bin"), dest, true, true, 1000000, nullptr),
                 FileTransfer::Canceled);
        QCOMPARE(EmulatorLink::read(dest), QByteArray("old"));
        QTRY_COMPARE(e->commands->cancelBytesSeen(), 1);
        QCOMPARE(e->commands->deleteRequests(), 0);
        QVERIFY(!e->interrupt);
        // The connection is usable again afterwards.
        e->receiverFile(QStringLiteral("v/g.bin"), pattern(5));
        e->link->progress64 = {};
        QCOMPARE(FileTransfer(*e->link).download(QStringLiteral("v\\g.bin"), dest, true, false, 5, nullptr),
                 FileTransfer::Completed);
        QCOMPARE(EmulatorLink::read(dest), pattern(5));
    }

    void pendingStatusAnswered()
    {
        e->receiverFile(QStringLiteral("v/f.bin"), pattern(10));
        e->emulator.setPendingReplies(2);
        const QString dest = e->pc.path() + QStringLiteral("/f.bin");
        QCOMPARE(FileTransfer(*e->link).download(QStringLiteral("v\\f.bin"), dest, true, false, 10, nullptr),
                 FileTransfer::Completed);
        QCOMPARE(EmulatorLink::read(dest), pattern(10));
        QCOMPARE(e->emulator.received(), header(0x04, 1) + "\x01\x01" + "v" + "\x01\x01" + "f.bin");
    }

    void uploadPacketCounts_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("packets");
        QTest::newRow("exactly one packet") << 64239 << 1;
        QTest::newRow("one byte more") << 64240 << 2;
        QTest::newRow("three") << 150000 << 3;
    }
    void uploadPacketCounts()
    {
        QFETCH(int, size);
        QFETCH(int, packets);
        const QByteArray data = pattern(size);
        const QString source = e->pcFile(QStringLiteral("up.bin"), data);
        QCOMPARE(FileTransfer(*e->link).upload(source, QStringLiteral("/v/dir/up.bin")), FileTransfer::Completed);
        QCOMPARE(e->commands->uploadPackets(), packets);
        QCOMPARE(EmulatorLink::read(e->receiverRoot.path() + QStringLiteral("/v/dir/up.bin")), data);
        QCOMPARE(e->progress, qint64(size));
        QByteArray expected = header(0x0A, 2) + "/v" + "dir" + TransferWire::uint64(quint64(size)) + "up.bin" +
                              TransferWire::uint32(64239);
        expected += QByteArray(packets, '\x01'); // the peer logs each packet's marker
        QCOMPARE(e->emulator.received(), expected);
    }

    void uploadOfEmptyFileSendsSizeZero()
    {
        const QString source = e->pcFile(QStringLiteral("empty"), QByteArray());
        QCOMPARE(FileTransfer(*e->link).upload(source, QStringLiteral("/v/empty")), FileTransfer::Completed);
        QTRY_VERIFY(QFileInfo(e->receiverPath(QStringLiteral("v/empty"))).isFile());
        QCOMPARE(QFileInfo(e->receiverPath(QStringLiteral("v/empty"))).size(), qint64(0));
        QTRY_COMPARE(e->emulator.received(),
                     header(0x0A, 1) + "/v" + TransferWire::uint64(0) + "empty" + TransferWire::uint32(64239));
    }

    void uploadFailures_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("packets");
        QTest::addColumn<int>("cancels");
        QTest::addColumn<QString>("error");
        const QString open = QStringLiteral("Cannot open file %1.");
        QTest::newRow("unreadable: nothing sent") << "missing" << 0 << 0 << open;
        // What was not read is never sent: the cancel packet tells the receiver instead.
        QTest::newRow("shrinks while sent") << "shrinks" << 2 << 1 << open;
        QTest::newRow("packet refused") << "refused" << 1 << 0 << "code -4";
        QTest::newRow("path level refused") << "level" << 0 << 0 << "code -3";
    }
    void uploadFailures()
    {
        QFETCH(QString, fault);
        QFETCH(int, packets);
        QFETCH(int, cancels);
        QFETCH(QString, error);
        const QString source = fault == QLatin1String("missing") ? e->pcPath(QStringLiteral("missing.bin"))
                                                                 : e->pcFile(QStringLiteral("up.bin"), pattern(300000));
        if (fault == QLatin1String("shrinks"))
            e->link->progress64 = [&](qint64) { QFile(source).resize(64239); };
        e->commands->packetAck = fault == QLatin1String("refused") ? 0xFC : 1;
        e->commands->refuseLevel = fault == QLatin1String("level") ? 0 : -1;
        QCOMPARE(FileTransfer(*e->link).upload(source, QStringLiteral("/v/w/up.bin")), FileTransfer::Failed);
        QCOMPARE(e->errors, QStringList{error.contains(u'%') ? error.arg(source) : error});
        QTRY_COMPARE(e->commands->cancelBytesSeen(), cancels);
        QCOMPARE(e->commands->uploadPackets(), packets);
        QVERIFY(QFileInfo::exists(source) || fault == QLatin1String("missing"));
        if (fault == QLatin1String("missing"))
            QVERIFY(e->emulator.received().isEmpty());
    }

    // A path whose last level the receiver refuses (a file holds the folder's name, or one above it) ends the
    // exchange at that level: every level is answered, but neither the name nor an upload's size follows, which
    // the receiver would read as commands. Told to a caller that names such entries as NotFound without an
    // error; the next transfer on the link works.
    void refusedLastLevelEndsTheExchange_data()
    {
        QTest::addColumn<bool>("upload");
        QTest::addColumn<bool>("unsaid");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("levels"); // sent
        QTest::newRow("upload") << true << false << "/v/file.bin/up.bin" << 2;
        QTest::newRow("upload, named by the caller") << true << true << "/v/file.bin/up.bin" << 2;
        // a file transfer answers every level: the levels below the refused one are sent, the name is not
        QTest::newRow("upload, a level below the file") << true << true << "/v/file.bin/sub/up.bin" << 3;
        QTest::newRow("download") << false << false << "v\\file.bin\\f.bin" << 2;
        QTest::newRow("download, a level below the file") << false << true << "v\\file.bin\\sub\\f.bin" << 3;
        QTest::newRow("download, named by the caller") << false << true << "v\\file.bin\\f.bin" << 2;
    }
    void refusedLastLevelEndsTheExchange()
    {
        QFETCH(bool, upload);
        QFETCH(bool, unsaid);
        QFETCH(QString, path);
        QFETCH(int, levels);
        e->receiverFile(QStringLiteral("v/file.bin"), "the receiver's");
        e->receiverFile(QStringLiteral("v/f.bin"), pattern(100));
        const QString source = e->pcFile(QStringLiteral("up.bin"), pattern(1000));
        const QString dest = e->pcPath(QStringLiteral("dl/f.bin"));
        FileTransfer transfer(*e->link);
        transfer.notFoundUnsaid = unsaid;
        const FileTransfer::Outcome outcome =
            upload ? transfer.upload(source, path) : transfer.download(path, dest, true, true, 100, nullptr);
        QCOMPARE(outcome, unsaid ? FileTransfer::NotFound : FileTransfer::Failed);
        QCOMPARE(e->errors, unsaid ? QStringList() : QStringList{QStringLiteral("code -3")});
        const QStringList parts = path.split(upload ? u'/' : u'\\', Qt::SkipEmptyParts);
        QByteArray sent = header(upload ? 0x0A : 0x04, quint16(parts.size() - 1));
        for (const QString &level : parts.mid(0, levels))
            sent += (upload && sent.size() == 11 ? "/" + level : level).toUtf8();
        QTRY_COMPARE(e->emulator.received(), sent);
        QCOMPARE(EmulatorLink::read(e->receiverPath(QStringLiteral("v/file.bin"))), QByteArray("the receiver's"));
        QVERIFY(QFileInfo::exists(source));
        QVERIFY(!QFileInfo::exists(dest));
        // The same link goes on in step, both ways.
        QCOMPARE(FileTransfer(*e->link).upload(source, QStringLiteral("/v/up.bin")), FileTransfer::Completed);
        QCOMPARE(EmulatorLink::read(e->receiverPath(QStringLiteral("v/up.bin"))), pattern(1000));
        QCOMPARE(FileTransfer(*e->link).download(QStringLiteral("v\\f.bin"), dest, true, false, 100, nullptr),
                 FileTransfer::Completed);
        QCOMPARE(EmulatorLink::read(dest), pattern(100));
        QCOMPARE(e->emulator.connectionCount(), 1);
    }

    void uploadCancelSendsCancelPacket_data()
    {
        QTest::addColumn<bool>("beforeFirst");
        QTest::newRow("after the first packet") << false;
        QTest::newRow("before the first packet") << true;
    }
    void uploadCancelSendsCancelPacket()
    {
        QFETCH(bool, beforeFirst);
        const QString source = e->pcFile(QStringLiteral("up.bin"), pattern(300000));
        e->link->progress64 = [this](qint64) { e->interrupt = true; };
        e->interrupt = beforeFirst;
        QCOMPARE(FileTransfer(*e->link).upload(source, QStringLiteral("v/up.bin")), FileTransfer::Canceled);
        QTRY_COMPARE(e->commands->cancelBytesSeen(), 1);
        QCOMPARE(e->commands->uploadPackets(), beforeFirst ? 0 : 1);
        QVERIFY(!e->interrupt);
        QVERIFY(QFileInfo::exists(source));
        if (beforeFirst)
            QCOMPARE(e->emulator.received(), header(0x0A, 1) + "v" + TransferWire::uint64(300000) + "up.bin" +
                                                 TransferWire::uint32(64239) + "\xFA");
    }
};

OMBRELAY_TEST_MAIN(TestFileTransfer)
#include "tst_filetransfer.moc"
