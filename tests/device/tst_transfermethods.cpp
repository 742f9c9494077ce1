#include "testmain.h"

#include "emulatorlink.h"
#include "recordingtask.h"

#include "device/core/devicecall.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/transfers/transfermethods.h"
#include "device/transfers/copyjobdocument.h"
#include "device/transfers/devicefilesystemitem.h"

#include <QDir>
#include <QFile>

#include <memory>

// The receiver requests end to end: real manager, worker thread and socket against the emulator.
class TestTransferMethods : public QObject
{
    Q_OBJECT
private:
    // Its emulator, commands and folders; the link is the manager's own.
    std::unique_ptr<EmulatorLink> e;
    std::unique_ptr<DVB24CommunicationManager> m_manager;

    RecordingTask *run(const DeviceCall &call, const QByteArray &payload = QByteArray())
    {
        return RecordingTask::run(*m_manager, this, call.toString(), payload);
    }
    static DeviceCall call(const QString &method, const QList<QPair<QString, QString>> &parameters)
    {
        DeviceCall c(method);
        for (const auto &p : parameters)
            c.setParameter(p.first, p.second);
        return c;
    }

private slots:
    void init()
    {
        e = std::make_unique<EmulatorLink>();
        QVERIFY(e->emulator.start());
        e->commands->listDocument = "<TDocument><items/><lists/></TDocument>";
        m_manager.reset(new DVB24CommunicationManager);
        m_manager->setPort(e->emulator.port());
        QStringList states;
        connect(m_manager.get(), &DeviceCommunicationManager::stateChanged, this,
                [&states](const QString &s) { states << s; });
        m_manager->connectToHost(e->emulator.host());
        QTRY_VERIFY(states.contains(QStringLiteral("connected")));
        disconnect(m_manager.get(), nullptr, this, nullptr);
    }
    void cleanup()
    {
        m_manager->requestInterrupt();
        m_manager->requestClose();
        m_manager.reset();
        e.reset();
    }

    void listDownload()
    {
        RecordingTask *task =
            run(call(QStringLiteral("sendOrdownloadTVLists"), {{"mode", "download"}, {"listType", "tv"}}));
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
        RecordingTask *task =
            run(call(QStringLiteral("sendOrdownloadTVLists"), {{"mode", "send"}, {"listType", "tv"}}), document);
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
        RecordingTask *task =
            run(call(QStringLiteral("sendOrdownloadTVLists"), {{"mode", "send"}, {"listType", "tv"}}), "<not a list");
        QCOMPARE(task->calls,
                 QStringList({"enqueued", "error:Error during uploading. Device is busy now. Please try again later.",
                              "complete:false"}));
        QVERIFY(!e->emulator.received().mid(before).contains('\x22'));
    }

    void folderListing()
    {
        e->receiverFile(QStringLiteral("v/f/a.ts"), "0123456789");
        DeviceCall c(QStringLiteral("getFolder"));
        c.setParameter(QStringLiteral("@path"), QStringLiteral("v\\f"));
        RecordingTask *task = run(c);
        QCOMPARE(task->calls.last(), QStringLiteral("complete:true"));
        QVERIFY(task->listing());
        QCOMPARE(task->listing()->size(), 1);
        QCOMPARE(task->listing()->first()->name(), QStringLiteral("a.ts"));
        QCOMPARE(task->listing()->first()->size(), qint64(10));
        qDeleteAll(*task->listing());
        delete task->listing();
    }

    void prepareAndMoveToPc()
    {
        e->receiverFile(QStringLiteral("v/f/a.ts"), "0123456789");
        RecordingTask *prepare = run(call(QStringLiteral("MEMprepareToCopyDeviceToPc"),
                                          {{"fileUris", "dir://v\\f*0\r\n"}, {"destinationDir", e->pc.path()}}));
        QCOMPARE(prepare->calls, QStringList({"enqueued", "start", "complete:true"}));
        CopyJobDocument job;
        QVERIFY(job.setContent(prepare->result()));
        QCOMPARE(job.totalSize(), qint64(10));
        QCOMPARE(job.copyDirection(), 2);
        const CopyJobFile first = job.takeFirstFile();
        QCOMPARE(first.absolutePath(), QStringLiteral("file://v\\f\\a.ts"));

        const QString dest = e->pc.path() + QStringLiteral("/f/a.ts");
        RecordingTask *copy = run(call(QStringLiteral("MEMCopyDeviceToPc"), {{"sourceFile", first.absolutePath()},
                                                                             {"destinationFile", dest},
                                                                             {"overwrite", "true"},
                                                                             {"deleteSource", "true"},
                                                                             {"size", "10"}}));
        QCOMPARE(copy->calls.last(), QStringLiteral("complete:true"));
        QVERIFY(!copy->calls.join(u' ').contains(QStringLiteral("error")));
        QFile f(dest);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("0123456789"));
        QVERIFY(!QFileInfo::exists(e->receiverRoot.path() + QStringLiteral("/v/f/a.ts")));
    }

    void hostileDestinationRefused()
    {
        e->receiverFile(QStringLiteral("v/x"), "x");
        RecordingTask *copy = run(call(QStringLiteral("MEMCopyDeviceToPc"),
                                       {{"sourceFile", "file://v\\x"},
                                        {"destinationFile", e->pc.path() + QStringLiteral("/sub/../../x")},
                                        {"overwrite", "true"}}));
        QVERIFY(copy->calls.join(u'|').contains(QStringLiteral("error:Cannot create file")));
        QVERIFY(!QFileInfo::exists(QFileInfo(e->pc.path()).absolutePath() + QStringLiteral("/x")));
    }

    void uploadAndDelete()
    {
        const QString source = e->pcFile(QStringLiteral("up.bin"), QByteArray(70000, 'u'));
        RecordingTask *up = run(call(QStringLiteral("MEMCopyPcToDevice"), {{"sourceFile", source},
                                                                           {"destinationFile", "/v/new/up.bin"},
                                                                           {"overwrite", "true"},
                                                                           {"deleteSource", "true"}}));
        QCOMPARE(up->calls.last(), QStringLiteral("complete:true"));
        QCOMPARE(QFileInfo(e->receiverRoot.path() + QStringLiteral("/v/new/up.bin")).size(), qint64(70000));
        QVERIFY(!QFileInfo::exists(source));

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
        const DeviceCall c =
            call(QStringLiteral("MEMCopyPreview"),
                 {{"sourceFile", "file://v\\p.txt"}, {"destinationFile", dest}, {"overwrite", "true"}});
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
    }
    void recordingMove()
    {
        QFETCH(int, end);
        QFETCH(int, deletes);
        QFETCH(bool, files);
        e->commands->recordingParts = {{0, "ts", QByteArray(10000, 't')}, {1, "mks", QByteArray(20, 'm')}};
        e->commands->recordingEnd = end;
        RecordingTask *task = run(
            call(QStringLiteral("MEMCopyDeviceToPc"), {{"sourceFile", "rec://05-12-2026 14_03 News"},
                                                       {"destinationFile", e->pc.path() + QStringLiteral("/News.2026")},
                                                       {"overwrite", "true"},
                                                       {"deleteSource", "true"},
                                                       {"recordID", "-25536"}}));
        QCOMPARE(task->calls.last(), QStringLiteral("complete:true"));
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
        RecordingTask *up = run(call(QStringLiteral("MEMCopyPcToDevice"),
                                     {{"sourceFile", "/nowhere"}, {"destinationFile", "/v/x"}, {"overwrite", "True"}}));
        QCOMPARE(up->calls, QStringList({"enqueued", "complete:true"}));
        QVERIFY(!e->emulator.received().mid(before).contains('\x0A'));
    }
};

OMBRELAY_TEST_MAIN(TestTransferMethods)
#include "tst_transfermethods.moc"
