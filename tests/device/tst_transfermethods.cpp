#include "testmain.h"

#include "emulatorlink.h"
#include "recordingtask.h"
#include "workerrequests.h"

#include "device/core/devicecall.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/transfers/copyjobdocument.h"
#include "device/transfers/devicefilesystemitem.h"
#include "device/transfers/receiverfoldercommands.h"
#include "device/transfers/transfermethods.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <memory>

// The receiver requests end to end: real manager, worker thread and socket against the emulator.
class TestTransferMethods : public QObject
{
    Q_OBJECT
private:
    // Its emulator, commands and folders; the link is the manager's own.
    std::unique_ptr<EmulatorLink> e;
    std::unique_ptr<DVB24CommunicationManager> m_manager;
    QStringList m_states;

    // A copy request: source, destination, "overwrite" "true", then more parameters (or overrides).
    static DeviceCall copy(const char *method, const QString &source, const QString &destination,
                           const QList<QPair<QString, QString>> &more = {})
    {
        return call(QLatin1String(method), QList<QPair<QString, QString>>{{"sourceFile", source},
                                                                          {"destinationFile", destination},
                                                                          {"overwrite", "true"}} +
                                               more);
    }

    static QStringList withoutProgress(QStringList calls)
    {
        calls.removeIf([](const QString &c) { return c.startsWith(QLatin1String("progress")); });
        return calls;
    }

    // A copy job run entry by entry, destinations composed as the media explorer composes them.
    QStringList runJob(const QString &uris, const QString &destination)
    {
        RecordingTask *prepare = run(
            call(QStringLiteral("MEMprepareToCopyDeviceToPc"), {{"fileUris", uris}, {"destinationDir", destination}}));
        CopyJobDocument job;
        job.setContent(prepare->result());
        QStringList outcomes{QStringLiteral("total %1 to %2").arg(job.totalSize()).arg(job.copyDirection())};
        while (job.hasFiles()) {
            const CopyJobFile f = job.takeFirstFile();
            QString target = destination + u'/' + (f.relativePath().isEmpty() ? QString() : f.relativePath() + u'/') +
                             (f.isDir() ? QString() : f.fileName());
            target.replace(u'\\', u'/').replace(QStringLiteral("//"), QStringLiteral("/"));
            RecordingTask *task =
                run(copy("MEMCopyDeviceToPc", f.absolutePath(), target, {{"size", QString::number(f.size())}}));
            outcomes << withoutProgress(task->calls).mid(1).join(u' ');
        }
        return outcomes;
    }

    RecordingTask *run(const DeviceCall &call, const QByteArray &payload = QByteArray())
    {
        return RecordingTask::run(*m_manager, this, call.toString(), payload);
    }
    static DeviceCall call(const QString &method, const QList<QPair<QString, QString>> &parameters)
    {
        return WorkerRequests::call(method, parameters);
    }

private slots:
    void init()
    {
        e = std::make_unique<EmulatorLink>();
        QVERIFY(e->emulator.start());
        e->commands->listDocument = "<TDocument><items/><lists/></TDocument>";
        m_manager.reset(new DVB24CommunicationManager);
        m_manager->setPort(e->emulator.port());
        m_states.clear();
        connect(m_manager.get(), &DeviceCommunicationManager::stateChanged, this,
                [this](const QString &s) { m_states << s; });
        m_manager->connectToHost(e->emulator.host());
        QTRY_VERIFY(m_states.contains(QStringLiteral("connected")));
    }
    void cleanup()
    {
        disconnect(m_manager.get(), nullptr, this, nullptr);
        m_manager->requestInterrupt();
        m_manager->requestClose();
        m_manager.reset();
        e.reset();
    }

    void listDownload()
    {
        RecordingTask *task = run(WorkerRequests::listDownload());
        QCOMPARE(task->calls.first(), QStringLiteral("enqueued"));
        QVERIFY(task->calls.contains(QStringLiteral("status:Device is preparing lists...")));
        QCOMPARE(task->calls.last(), QStringLiteral("complete:true"));
        QCOMPARE(task->result(), QStringLiteral("<TDocument><items/><lists/></TDocument>"));
    }

    void listUploadRestartIsDroppedOnDisconnect()
    {
        listUploadRestartDelayMs = 200;
        const QByteArray document = "<TDocument><items><tvService n=\"1\"/></items><lists><list><ref n=\"1\"/></list>"
                                    "</lists></TDocument>";
        RecordingTask *task = run(WorkerRequests::listUpload(), document);
        QCOMPARE(task->calls.last(), QStringLiteral("complete:true"));
        QVERIFY(task->calls.contains(QStringLiteral("status:Sending lists...")));
        QCOMPARE(e->emulator.connectionCount(), 1);
        m_manager->requestClose();
        QTRY_COMPARE(e->emulator.openConnections(), 0);
        QTest::qWait(800);
        // The user disconnected: the restart meant for the receiver's reboot does not happen.
        QCOMPARE(e->emulator.connectionCount(), 1);
        listUploadRestartDelayMs = 30000;
    }

    void listUploadOfBadPayloadSendsNothing()
    {
        const int before = int(e->emulator.received().size());
        RecordingTask *task = run(WorkerRequests::listUpload(), "<not a list");
        QCOMPARE(task->calls,
                 QStringList({"enqueued", "error:Error during uploading. Device is busy now. Please try again later.",
                              "complete:false"}));
        QVERIFY(!e->emulator.received().mid(before).contains('\x22'));
    }

    void receiverNamesStayInside_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destination");
        QTest::newRow("file through a link") << "file://v\\f"
                                             << "in/f";
        QTest::newRow("folder through a link") << "dir://v\\x"
                                               << "in/";
        QTest::newRow("recording through a link") << "rec://x"
                                                  << "in/x";
        QTest::newRow("parent components") << "file://v\\x"
                                           << "in/sub/../../x";
    }
    void receiverNamesStayInside()
    {
        QFETCH(QString, source);
        QFETCH(QString, destination);
        e->receiverFile(QStringLiteral("v/x"), "x");
        e->receiverFile(QStringLiteral("v/f"), "f");
        e->commands->recordingParts = {{0, "ts", "recording"}};
        // "in" is the chosen folder; its "x" and "f" point at a folder and a file beside it.
        const QString outside = e->pcFile(QStringLiteral("outside/t"), "mine");
        QVERIFY(QDir().mkpath(e->pcPath(QStringLiteral("in"))));
        QVERIFY(QFile::link(QFileInfo(outside).absolutePath(), e->pcPath(QStringLiteral("in/x"))));
        QVERIFY(QFile::link(outside, e->pcPath(QStringLiteral("in/f"))));
        RecordingTask *task = run(copy("MEMCopyDeviceToPc", source, e->pcPath(destination), {{"recordID", "1"}}));
        QCOMPARE(task->calls.size(), 3);
        QVERIFY(task->calls.at(1).startsWith(QStringLiteral("error:Cannot create")));
        QCOMPARE(task->calls.last(), QStringLiteral("complete:false"));
        QCOMPARE(
            QDir(QFileInfo(outside).absolutePath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{QStringLiteral("t")});
        QCOMPARE(EmulatorLink::read(outside), QByteArray("mine"));
        QVERIFY(!QFileInfo::exists(e->pcPath(QStringLiteral("x"))));
    }

    void folderCopyCreatesEveryFolder()
    {
        e->receiverFile(QStringLiteral("hda1/a.ts"), "0123456789");
        e->receiverFile(QStringLiteral("hda1/h/b.ts"), "b");
        QVERIFY(QDir().mkpath(e->receiverPath(QStringLiteral("hda1/g"))));
        const QStringList outcomes = runJob(QStringLiteral("dir:///hda1*0\r\n"), e->pcPath(QStringLiteral("to")));
        QCOMPARE(outcomes,
                 QStringList{QStringLiteral("total 11 to 2")} + QStringList(5, QStringLiteral("complete:true")));
        QCOMPARE(EmulatorLink::read(e->pcPath(QStringLiteral("to/hda1/a.ts"))), QByteArray("0123456789"));
        QCOMPARE(EmulatorLink::read(e->pcPath(QStringLiteral("to/hda1/h/b.ts"))), QByteArray("b"));
        QVERIFY(QFileInfo(e->pcPath(QStringLiteral("to/hda1/g"))).isDir());
        QCOMPARE(QDir(e->pcPath(QStringLiteral("to"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("hda1")});
    }

    void cancelDuringSilentReadEndsOnce()
    {
        e->receiverFile(QStringLiteral("v/big"), EmulatorLink::pattern(400000));
        const QString dest = e->pcFile(QStringLiteral("big"), "mine");
        e->commands->silentAfter = 65536;
        auto *task = new RecordingTask(
            this, copy("MEMCopyDeviceToPc", "file://v\\big", dest, {{"deleteSource", "true"}}).toString());
        m_manager->enqueue(task);
        QTRY_VERIFY(task->calls.contains(QStringLiteral("progress64:65536")));
        // The worker now waits for a receiver that sends nothing; its inactivity limit is far away.
        m_manager->cancel(task);
        QTRY_COMPARE(task->outcomes(), 1);
        // Whatever the worker does next comes after anything late of this task.
        RecordingTask *next = run(call(QStringLiteral("getFolder"), {{"@path", "v"}}));
        QCOMPARE(next->calls.last(), QStringLiteral("complete:true"));
        qDeleteAll(*next->listing());
        delete next->listing();
        QCOMPARE(task->calls, QStringList({"enqueued", "progress64:65536", "cancel", "canceled"}));
        QCOMPARE(EmulatorLink::read(dest), QByteArray("mine"));
        QVERIFY(QFileInfo::exists(e->receiverPath(QStringLiteral("v/big"))));
    }

    // The receiver ends a download with a whole closing block (marker, three bytes, a block's worth of
    // bytes): after a cancel of a 200 MB download, or its own end, the same connection serves a
    // listing, a recording download and an upload.
    void closingBlockLeavesTheConnectionReady_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancel of a 200 MB download") << true;
        QTest::newRow("the receiver's own end") << false;
    }
    void closingBlockLeavesTheConnectionReady()
    {
        QFETCH(bool, cancel);
        const qint64 size = 200 * 1024 * 1024;
        {
            QFile big(e->receiverFile(QStringLiteral("hda1/big.ts"), "x"));
            QVERIFY(big.resize(size)); // sparse: the test writes no 200 MB
        }
        e->receiverFile(QStringLiteral("hda1/small.ts"), "0123456789");
        e->commands->fullClosingBlock = true;
        if (!cancel)
            e->commands->endAfter = 3 * 65536;
        const QString dest = e->pcFile(QStringLiteral("big.ts"), "mine");
        auto *task = new RecordingTask(
            this, copy("MEMCopyDeviceToPc", "file://hda1\\big.ts", dest, {{"size", QString::number(size)}}).toString());
        m_manager->enqueue(task);
        if (cancel) {
            QTRY_VERIFY(task->calls.contains(QStringLiteral("progress64:65536")));
            m_manager->cancel(task);
        }
        QTRY_COMPARE_WITH_TIMEOUT(task->outcomes(), 1, 20000);
        QCOMPARE(task->calls.last(), cancel ? QStringLiteral("canceled") : QStringLiteral("complete:false"));
        QCOMPARE(EmulatorLink::read(dest), QByteArray("mine"));

        RecordingTask *listing = run(call(QStringLiteral("getFolder"), {{"@path", "hda1"}}));
        QCOMPARE(listing->calls, QStringList({"enqueued", "complete:true"}));
        QCOMPARE(listing->listing()->size(), 2);
        qDeleteAll(*listing->listing());
        delete listing->listing();

        e->commands->recordingParts = {{0, "ts", QByteArray(10000, 't')}};
        RecordingTask *recording =
            run(copy("MEMCopyDeviceToPc", "rec://News", e->pcPath(QStringLiteral("News")), {{"recordID", "3"}}));
        QCOMPARE(recording->calls.filter(QStringLiteral("error:")), QStringList());
        QCOMPARE(recording->calls.last(), QStringLiteral("complete:true"));
        QCOMPARE(QFileInfo(e->pcPath(QStringLiteral("News/News.ts"))).size(), qint64(10000));

        const QString source = e->pcFile(QStringLiteral("up.bin"), EmulatorLink::pattern(100000));
        RecordingTask *upload = run(copy("MEMCopyPcToDevice", source, "/hda1/up.bin"));
        QCOMPARE(upload->calls.filter(QStringLiteral("error:")), QStringList());
        QCOMPARE(upload->calls.last(), QStringLiteral("complete:true"));
        QCOMPARE(EmulatorLink::read(e->receiverPath(QStringLiteral("hda1/up.bin"))), EmulatorLink::pattern(100000));

        RecordingTask *small =
            run(copy("MEMCopyDeviceToPc", "file://hda1\\small.ts", e->pcPath(QStringLiteral("small.ts"))));
        QCOMPARE(small->calls.last(), QStringLiteral("complete:true"));
        QCOMPARE(EmulatorLink::read(e->pcPath(QStringLiteral("small.ts"))), QByteArray("0123456789"));
        QCOMPARE(e->emulator.connectionCount(), 1);
        QVERIFY(!m_states.contains(QStringLiteral("disconnected")));
    }

    void silentListingSaysSo()
    {
        ReceiverFolderCommands::listingWaitMs = 300;
        e->receiverFile(QStringLiteral("v/f/a.ts"), "0123456789");
        RecordingTask *full = run(call(QStringLiteral("getFolder"), {{"@path", "v\\f"}}));
        QCOMPARE(full->calls, QStringList({"enqueued", "complete:true"}));
        QCOMPARE(full->listing()->size(), 1);
        QCOMPARE(full->listing()->first()->size(), qint64(10));
        qDeleteAll(*full->listing());
        delete full->listing();
        QVERIFY(QDir().mkpath(e->receiverPath(QStringLiteral("v/empty"))));
        RecordingTask *empty = run(call(QStringLiteral("getFolder"), {{"@path", "v\\empty"}}));
        QCOMPARE(empty->calls, QStringList({"enqueued", "complete:false"}));
        e->emulator.setSilent(true);
        RecordingTask *silent = run(call(QStringLiteral("getFolder"), {{"@path", "v\\empty"}}));
        ReceiverFolderCommands::listingWaitMs = 15000;
        QCOMPARE(silent->calls, QStringList({"enqueued", "error:The device did not answer.", "complete:false"}));
        // A receiver that stays silent is then dropped by the keep-alive.
        QTRY_VERIFY_WITH_TIMEOUT(m_states.contains(QStringLiteral("disconnected")), 10000);
    }

    // A listing whose task went while the receiver took its time: the worker frees it and reads nothing of
    // it afterwards (the sanitizer would say so), and the next listing on the same connection is whole.
    void listingOfAGoneTask()
    {
        e->receiverFile(QStringLiteral("v/f/a.ts"), "0123456789");
        e->receiverFile(QStringLiteral("v/f/b.ts"), "b");
        e->commands->listingDelayMs = 400;
        const DeviceCall listing = call(QStringLiteral("getFolder"), {{"@path", "v\\f"}});
        auto *gone = new RecordingTask(nullptr, listing.toString());
        m_manager->enqueue(gone);
        QTRY_COMPARE(gone->state(), int(DeviceTask::Running));
        delete gone;
        RecordingTask *next = run(listing);
        QCOMPARE(next->calls, QStringList({"enqueued", "complete:true"}));
        QCOMPARE(next->listing()->size(), 2);
        QCOMPARE(next->listing()->first()->size(), qint64(10));
        qDeleteAll(*next->listing());
        delete next->listing();
    }

    // A folder on the way that the receiver refuses fails the upload of that entry alone, with no error that
    // would end the job: the page names the entry, a move keeps its source, the next entry goes over the same
    // connection.
    void refusedFolderChainFails()
    {
        const QString source = e->pcFile(QStringLiteral("up.bin"), "data");
        e->receiverFile(QStringLiteral("v/file.bin"), "the receiver's");
        e->commands->refuseLevel = 1;
        const auto upload = [&](const QString &to) {
            return run(copy("MEMCopyPcToDevice", source, to, {{"deleteSource", "true"}}));
        };
        e->emulator.clearReceived();
        QCOMPARE(upload(QStringLiteral("/v/a/b/c/up.bin"))->calls, QStringList({"enqueued", "complete:false"}));
        // the chain ended at the refused level: nothing below it went
        QTRY_COMPARE(e->emulator.received(), QByteArray("\x07\x00\x02/va", 6));
        QVERIFY(QFileInfo::exists(source));
        e->commands->refuseLevel = -1;
        // a folder on the way that is a file on the receiver
        QCOMPARE(upload(QStringLiteral("/v/file.bin/b/c/up.bin"))->calls, QStringList({"enqueued", "complete:false"}));
        QCOMPARE(EmulatorLink::read(e->receiverPath(QStringLiteral("v/file.bin"))), QByteArray("the receiver's"));
        QVERIFY(QFileInfo::exists(source));
        QCOMPARE(upload(QStringLiteral("/v/a/b/c/up.bin"))->calls.last(), QStringLiteral("complete:true"));
        QCOMPARE(EmulatorLink::read(e->receiverPath(QStringLiteral("v/a/b/c/up.bin"))), QByteArray("data"));
        QVERIFY(!QFileInfo::exists(source));
        QCOMPARE(e->emulator.connectionCount(), 1);
    }

    void recordingUploadCutOff_data()
    {
        QTest::addColumn<qint64>("cut");
        QTest::newRow("in the first packet") << qint64(12 + 1000);
        QTest::newRow("in a later packet") << qint64(12 + 64240 + 1000);
        QTest::newRow("before the last status") << qint64(12 + 2 * 64240 + 101);
    }
    void recordingUploadCutOff()
    {
        QFETCH(qint64, cut);
        const QByteArray desc = EmulatorLink::pattern(70000);
        e->pcFile(QStringLiteral("recs/Rec1.desc"), desc);
        e->pcFile(QStringLiteral("recs/Rec1.ts"), "stream");
        e->pcFile(QStringLiteral("recs/Rec2.desc"), "d2");
        e->pcFile(QStringLiteral("recs/Rec2.ts"), "t2");
        e->commands->uploadRequests = {{1, 0, 100}, {0xF8, 0, 0}};
        e->commands->cutUploadAfter = cut;
        RecordingTask *up =
            run(copy("MEMCopyPcToDevice", "rec://" + e->pcPath(QStringLiteral("recs")), "/hda1/recordings"));
        QCOMPARE(withoutProgress(up->calls),
                 QStringList({"enqueued", "error:Cannot copy recording Rec1.", "complete:false"}));
        QVERIFY(e->commands->recordingUploads().isEmpty());
        QCOMPARE(EmulatorLink::read(e->pcPath(QStringLiteral("recs/Rec1.desc"))), desc);
        QCOMPARE(EmulatorLink::read(e->pcPath(QStringLiteral("recs/Rec1.ts"))), QByteArray("stream"));
    }

    void deleteList()
    {
        e->receiverFile(QStringLiteral("v/new/up.bin"), "u");
        CopyJobDocument list;
        list.addFile(0, 1, QStringLiteral("file://v\\new\\up.bin"), QString(), 0);
        list.addFile(0, 1, QStringLiteral("file://v\\new\\missing.bin"), QString(), 0);
        RecordingTask *del = run(call(QStringLiteral("MEMdeleteDeviceFiles"), {{"fileList", list.toString()}}));
        QCOMPARE(del->calls, QStringList({"enqueued", "start", "complete:false"}));
        QCOMPARE(del->result(), QStringLiteral("missing.bin\r\n"));
        QVERIFY(!QFileInfo::exists(e->receiverRoot.path() + QStringLiteral("/v/new/up.bin")));
    }

    void previewDownloadsOnce()
    {
        e->receiverFile(QStringLiteral("v/p.txt"), "preview");
        const QString dest = e->pc.path() + QStringLiteral("/p.txt");
        const DeviceCall c = copy("MEMCopyPreview", "file://v\\p.txt", dest);
        RecordingTask *first = run(c);
        QCOMPARE(first->result(), dest);
        const int before = int(e->emulator.received().size());
        RecordingTask *second = run(c);
        QCOMPARE(second->calls, QStringList({"enqueued", "complete:true"}));
        QCOMPARE(second->result(), dest);
        QVERIFY(!e->emulator.received().mid(before).contains('\x04'));
    }

    void prepareToRecordingsFolder()
    {
        RecordingTask *task =
            run(call(QStringLiteral("MEMprepareToCopyPcToDevice"),
                     {{"destinationDir", "/hda1\\recordings"},
                      {"fileUris", QStringLiteral("file://") + e->pc.path() + QStringLiteral("/none.ts\r\n")}}));
        QCOMPARE(task->calls,
                 QStringList({"enqueued", "start", "error:Please select correct recording.", "complete:true"}));
        CopyJobDocument job;
        QVERIFY(job.setContent(task->result()));
        QCOMPARE(job.copyDirection(), 1);
        QVERIFY(!job.hasFiles());
    }

    void recordingMove_data()
    {
        QTest::addColumn<int>("end");
        QTest::addColumn<int>("deletes");
        QTest::addColumn<bool>("files");
        QTest::newRow("complete: the recording goes") << 0xFF << 1 << true;
        QTest::newRow("busy: the recording stays") << 0xFC << 0 << false;
        QTest::newRow("dropped: the recording stays") << 0xF2 << 0 << false;
        QTest::newRow("error end: the recording stays") << 0xF7 << 0 << false;
    }
    void recordingMove()
    {
        QFETCH(int, end);
        QFETCH(int, deletes);
        QFETCH(bool, files);
        e->commands->recordingParts = {{0, "ts", QByteArray(10000, 't')}, {1, "mks", QByteArray(20, 'm')}};
        e->commands->recordingEnd = end;
        RecordingTask *task =
            run(copy("MEMCopyDeviceToPc", "rec://05-12-2026 14_03 News", e->pcPath(QStringLiteral("News.2026")),
                     {{"deleteSource", "true"}, {"recordID", "-25536"}}));
        QCOMPARE(task->calls.last(), files ? QStringLiteral("complete:true") : QStringLiteral("complete:false"));
        QCOMPARE(task->calls.filter(QStringLiteral("error:")).size(), files ? 0 : 1);
        QCOMPARE(e->commands->deleteRequests(), deletes);
        if (deletes)
            QCOMPARE(e->commands->lastDeletedRecording(), 40000);
        QCOMPARE(QFileInfo::exists(e->pc.path() + QStringLiteral("/News2026/News2026.ts")), files);
        if (files)
            QCOMPARE(QFileInfo(e->pc.path() + QStringLiteral("/News2026/News2026.mks")).size(), qint64(20));
    }

    void overwriteNotTrueDoesNothing()
    {
        const int before = int(e->emulator.received().size());
        RecordingTask *up = run(copy("MEMCopyPcToDevice", "/nowhere", "/v/x", {{"overwrite", "True"}}));
        QCOMPARE(up->calls, QStringList({"enqueued", "complete:true"}));
        QVERIFY(!e->emulator.received().mid(before).contains('\x0A'));
    }

    // A cancel of a copy's preparation while it walks the receiver's folders ends it cancelled between two
    // listings: no partial job is handed on as complete, and the same connection takes the next request.
    void cancelledPreparationIsCancelled_data()
    {
        QTest::addColumn<bool>("toPc");
        QTest::newRow("receiver folders to the PC") << true;
        QTest::newRow("PC files to the receiver") << false;
    }
    void cancelledPreparationIsCancelled()
    {
        QFETCH(bool, toPc);
        for (int i = 0; i < 4; ++i)
            e->receiverFile(QStringLiteral("v/tree/s%1/f.bin").arg(i), "f");
        const QString source = e->pcFile(QStringLiteral("up.bin"), "up");
        std::atomic_bool once{false};
        // As the receiver reads the header of the first listing below the selected folder, or of the listing of
        // the destination folder.
        const QByteArray header = toPc ? QByteArray("\x03\x00\x03", 3) : QByteArray("\x03\x00\x02", 3);
        e->emulator.setReceiveHook([&](const QByteArray &soFar) {
            if (soFar.contains(header) && !once.exchange(true))
                m_manager->requestInterrupt();
        });
        RecordingTask *prepare =
            toPc ? run(call(QStringLiteral("MEMprepareToCopyDeviceToPc"),
                            {{"fileUris", "dir://v\\tree*0"}, {"destinationDir", e->pcPath("to")}}))
                 : run(call(QStringLiteral("MEMprepareToCopyPcToDevice"),
                            {{"fileUris", QUrl::fromLocalFile(source).toString()}, {"destinationDir", "v\\tree"}}));
        e->emulator.setReceiveHook({});
        QCOMPARE(prepare->calls, QStringList({"enqueued", "start", "cancel", "canceled"}));
        QCOMPARE(prepare->result(), QString());
        QVERIFY(!prepare->listing());
        RecordingTask *next = run(call(QStringLiteral("getFolder"), {{"@path", "v\\tree"}}));
        QCOMPARE(next->calls, QStringList({"enqueued", "complete:true"}));
        QCOMPARE(next->listing()->size(), 4);
        qDeleteAll(*next->listing());
        delete next->listing();
        QCOMPARE(e->emulator.unknownCommands(), 0);
        QCOMPARE(e->emulator.connectionCount(), 1);
    }

    // A cancel as the receiver reads an upload's header, the receiver answering late: the exchange is finished
    // (the cancel packet in place of the first), the entry ends cancelled and the connection stays.
    void cancelAtUploadHeaderKeepsTheConnection()
    {
        const QString source = e->pcFile(QStringLiteral("up.bin"), EmulatorLink::pattern(100000));
        e->emulator.setAnswerDelayMs(300);
        std::atomic_bool once{false};
        e->emulator.setReceiveHook([&](const QByteArray &soFar) {
            if (soFar.contains(QByteArray("\x0A\x00\x01", 3)) && !once.exchange(true))
                m_manager->requestInterrupt();
        });
        RecordingTask *up = run(copy("MEMCopyPcToDevice", source, "/v/up.bin", {{"deleteSource", "true"}}));
        e->emulator.setReceiveHook({});
        e->emulator.setAnswerDelayMs(0);
        QCOMPARE(up->calls, QStringList({"enqueued", "cancel", "canceled"}));
        QVERIFY(QFileInfo::exists(source));
        QTRY_COMPARE(e->commands->cancelBytesSeen(), 1);
        QVERIFY(!QFileInfo::exists(e->receiverPath(QStringLiteral("v/up.bin"))));
        RecordingTask *again = run(copy("MEMCopyPcToDevice", source, "/v/up.bin"));
        QCOMPARE(again->calls.last(), QStringLiteral("complete:true"));
        QCOMPARE(EmulatorLink::read(e->receiverPath(QStringLiteral("v/up.bin"))), EmulatorLink::pattern(100000));
        QCOMPARE(e->emulator.unknownCommands(), 0);
        QCOMPARE(e->emulator.connectionCount(), 1);
        QVERIFY(!m_states.contains(QStringLiteral("disconnected")));
    }

    // A PC folder uploaded as a chain of folders, cancelled as the receiver reads the first: that folder is made,
    // no later one is asked for, the entry ends cancelled and the connection stays in step.
    void cancelledFolderChainStops()
    {
        QVERIFY(QDir().mkpath(e->pcPath(QStringLiteral("tree"))));
        std::atomic_bool once{false};
        e->emulator.setReceiveHook([&](const QByteArray &soFar) {
            if (soFar.contains('\x07') && !once.exchange(true))
                m_manager->requestInterrupt();
        });
        e->emulator.clearCommandsTaken();
        RecordingTask *up = run(copy("MEMCopyPcToDevice", e->pcPath(QStringLiteral("tree")), "/v/a/b/c/d/tree"));
        e->emulator.setReceiveHook({});
        QCOMPARE(up->calls, QStringList({"enqueued", "cancel", "canceled"}));
        QCOMPARE(e->emulator.commandsTaken().count(quint8(0x07)), 1);
        QVERIFY(QFileInfo(e->receiverPath(QStringLiteral("v/a/b"))).isDir());
        QVERIFY(!QFileInfo::exists(e->receiverPath(QStringLiteral("v/a/b/c"))));
        RecordingTask *again = run(copy("MEMCopyPcToDevice", e->pcPath(QStringLiteral("tree")), "/v/a/b/c/d/tree"));
        QCOMPARE(again->calls, QStringList({"enqueued", "complete:true"}));
        QVERIFY(QFileInfo(e->receiverPath(QStringLiteral("v/a/b/c/d/tree"))).isDir());
        QCOMPARE(e->emulator.unknownCommands(), 0);
        QCOMPARE(e->emulator.connectionCount(), 1);
    }

    // A cancel during the first of three deletes: that one is finished, no later entry's header goes, and the
    // list ends cancelled.
    void cancelledDeleteListStops()
    {
        CopyJobDocument list;
        for (const char *name : {"a.bin", "b.bin", "c.bin"}) {
            e->receiverFile(QStringLiteral("v/d/") + name, "x");
            list.addFile(0, 1, QStringLiteral("file://v\\d\\") + name, QString(), 0);
        }
        std::atomic_bool once{false};
        e->emulator.setReceiveHook([&](const QByteArray &soFar) {
            if (soFar.contains(QByteArray("\x08\x00\x02", 3)) && !once.exchange(true))
                m_manager->requestInterrupt();
        });
        RecordingTask *del = run(call(QStringLiteral("MEMdeleteDeviceFiles"), {{"fileList", list.toString()}}));
        e->emulator.setReceiveHook({});
        QCOMPARE(del->calls, QStringList({"enqueued", "start", "cancel", "canceled"}));
        QCOMPARE(del->result(), QString());
        QCOMPARE(e->commands->deleteRequests(), 1);
        QCOMPARE(QDir(e->receiverPath(QStringLiteral("v/d"))).entryList(QDir::Files), (QStringList{"b.bin", "c.bin"}));
        RecordingTask *next = run(call(QStringLiteral("getFolder"), {{"@path", "v\\d"}}));
        QCOMPARE(next->calls, QStringList({"enqueued", "complete:true"}));
        qDeleteAll(*next->listing());
        delete next->listing();
        QCOMPARE(e->emulator.unknownCommands(), 0);
        QCOMPARE(e->emulator.connectionCount(), 1);
    }

    // A receiver that leaves a cancelled listing unanswered past the waits: the user is told, the worker gives
    // the connection up and connects anew, and the next listing is answered on the new connection.
    void silentAfterCancelConnectsAnew()
    {
        e->receiverFile(QStringLiteral("v/f/a.ts"), "a");
        ReceiverFolderCommands::listingWaitMs = 300;
        e->emulator.setAnswerDelayMs(1500);
        std::atomic_bool once{false};
        e->emulator.setReceiveHook([&](const QByteArray &soFar) {
            if (soFar.contains(QByteArray("\x03\x00\x02", 3)) && !once.exchange(true))
                m_manager->requestInterrupt();
        });
        RecordingTask *silent = run(call(QStringLiteral("getFolder"), {{"@path", "v\\f"}}));
        e->emulator.setReceiveHook({});
        e->emulator.setAnswerDelayMs(0);
        ReceiverFolderCommands::listingWaitMs = 15000;
        QCOMPARE(silent->calls,
                 QStringList({"enqueued", "error:The device did not answer the cancel.", "complete:false"}));
        QTRY_VERIFY(m_states.contains(QStringLiteral("disconnected")));
        QTRY_COMPARE_WITH_TIMEOUT(m_states.count(QStringLiteral("connected")), 2, 10000);
        QCOMPARE(e->emulator.connectionCount(), 2);
        RecordingTask *next = run(call(QStringLiteral("getFolder"), {{"@path", "v\\f"}}));
        QCOMPARE(next->calls, QStringList({"enqueued", "complete:true"}));
        QCOMPARE(next->listing()->size(), 1);
        qDeleteAll(*next->listing());
        delete next->listing();
        QCOMPARE(e->emulator.unknownCommands(), 0);
    }
};

OMBRELAY_TEST_MAIN(TestTransferMethods)
#include "tst_transfermethods.moc"
