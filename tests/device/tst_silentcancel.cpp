#include "testmain.h"

#include "emulatorlink.h"
#include "recordingtask.h"
#include "workerrequests.h"

#include "device/core/devicecall.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/protocol/dvb24communicationprotocolmill.h"
#include "device/transfers/copyjobdocument.h"
#include "device/transfers/devicefilesystemitem.h"
#include "device/transfers/transferlink.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <atomic>
#include <memory>

namespace {

using WorkerRequests::call;

enum class Exchange {
    FileDownload,
    FileUpload,
    RecordingDownload,
    RecordingUpload,
    ListDownload,
    ListUpload,
    Listing,
    CreateFolder,
    Delete,
    RecordingDelete,
    Description
};

// When the receiver falls silent and when the user cancels: the receiver stops in the middle of the exchange and
// the cancel comes 0.3 s later, while the PC waits; or both as the receiver reads one of the PC's messages; or the
// receiver stops and then lets its answer out a byte at a time, never finishing it.
enum class Moment { WhileSilent, AsWritten, Trickling };

quint8 commandOf(Exchange exchange)
{
    switch (exchange) {
    case Exchange::FileDownload:
        return 0x04;
    case Exchange::FileUpload:
        return 0x0A;
    case Exchange::RecordingDownload:
        return 0x05;
    case Exchange::RecordingUpload:
        return 0x0B;
    case Exchange::ListDownload:
        return 0x19;
    case Exchange::ListUpload:
        return 0x22;
    case Exchange::Listing:
        return 0x03;
    case Exchange::CreateFolder:
        return 0x07;
    case Exchange::Delete:
        return 0x08;
    case Exchange::RecordingDelete:
        return 0x17;
    case Exchange::Description:
        return 0x26;
    }
    return 0;
}

// How many bytes of the exchange, from its command on, the receiver has read when the PC's message named in the
// row has come whole (upload packets count by their first byte); 0: the receiver falls silent after some blocks
// instead (a download, whose PC sends nothing while the blocks come).
int silentFrom(Exchange exchange, Moment moment)
{
    const bool asWritten = moment == Moment::AsWritten;
    switch (exchange) {
    case Exchange::FileDownload:
        return asWritten ? 21 : 0; // [04][levels][0], "hda1", then the name "big.ts"
    case Exchange::FileUpload:
        return asWritten ? 36 : 37; // ..., size and name, packet size, then the first and second packets
    case Exchange::RecordingDownload:
        return asWritten ? 12 : 0; // the request, then the go
    case Exchange::RecordingUpload:
        return asWritten ? 14 : 15; // the command, the header, then the first and second description packets
    case Exchange::ListDownload:
    case Exchange::Description:
        return 2; // the command, then the answer to the first chunk
    case Exchange::ListUpload:
        return 4; // the command, then the tag of the first message
    case Exchange::Listing:
    case Exchange::CreateFolder:
    case Exchange::Delete:
    case Exchange::RecordingDelete:
        return 3; // the command and its path header or record number
    }
    return 0;
}

// What the user is told: the receiver did not answer the cancel (and, for a list, that it did not move).
QString toldText(Exchange exchange)
{
    const QString unanswered = TransferLink::cancelUnansweredText();
    if (exchange == Exchange::ListDownload)
        return unanswered + QStringLiteral(" The lists were not downloaded.");
    if (exchange == Exchange::ListUpload)
        return unanswered + QStringLiteral(" The lists were not sent.");
    return unanswered;
}

} // namespace

Q_DECLARE_METATYPE(Exchange)
Q_DECLARE_METATYPE(Moment)

// A receiver that stops answering in the middle of an exchange and stays silent after the user's Cancel, through
// the worker as the pages use it: every job ends within seconds of the Cancel (never after the exchange's
// inactivity limit), the user is told that the receiver did not answer the cancel, the connection is given up and
// made anew, and the next request works over it. A Disconnect or the program's end during that wait ends the
// worker as soon. A Cancel once a list's closing message went changes nothing: a receiver that takes long to
// answer it still has the lists said sent.
class TestSilentCancel : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<EmulatorLink> e;
    std::unique_ptr<DVB24CommunicationManager> m_manager;
    QStringList m_states;
    QElapsedTimer m_clock;
    // The moment of the cancel on m_clock (-1: none yet); set from the emulator's thread.
    std::atomic<qint64> m_canceledAt{-1};

    // Far above what a working build needs (the after-cancel wait and a little), far below the fault (the
    // inactivity limit of an exchange, 15 to 60 s, or never while bytes trickle).
    static constexpr int BoundMs = 8000;
    // Long enough for the failure message of a fault to say how long the job took.
    static constexpr int FaultMs = 70000;

    QPair<DeviceCall, QByteArray> requestFor(Exchange exchange) const
    {
        switch (exchange) {
        case Exchange::FileDownload:
            return {call(QStringLiteral("MEMCopyDeviceToPc"), {{"sourceFile", "file://hda1\\big.ts"},
                                                               {"destinationFile", e->pcPath(QStringLiteral("big.ts"))},
                                                               {"overwrite", "true"},
                                                               {"size", QString::number(BigFile)}}),
                    {}};
        case Exchange::FileUpload:
            return {call(QStringLiteral("MEMCopyPcToDevice"), {{"sourceFile", e->pcPath(QStringLiteral("big.bin"))},
                                                               {"destinationFile", "/hda1/big.bin"},
                                                               {"overwrite", "true"}}),
                    {}};
        case Exchange::RecordingDownload:
            return {WorkerRequests::recordingDownload(*e), {}};
        case Exchange::RecordingUpload:
            return {WorkerRequests::recordingUpload(*e), {}};
        case Exchange::ListDownload:
            return {WorkerRequests::listDownload(), {}};
        case Exchange::ListUpload:
            return {WorkerRequests::listUpload(), listDocument()};
        case Exchange::Listing:
            return {WorkerRequests::listing(QStringLiteral("hda1")), {}};
        case Exchange::CreateFolder:
            return {call(QStringLiteral("MEMCreateDeviceFolder"), {{"destinationPath", "hda1"}, {"folderName", "new"}}),
                    {}};
        case Exchange::Delete:
        case Exchange::RecordingDelete: {
            CopyJobDocument list;
            if (exchange == Exchange::Delete)
                list.addFile(0, 1, QStringLiteral("file://hda1\\a.ts"), QString(), 0);
            else
                list.addFile(1, 1, QStringLiteral("rec://hda1\\Show"), QString(), 7);
            return {call(QStringLiteral("MEMdeleteDeviceFiles"), {{"fileList", list.toString()}}), {}};
        }
        case Exchange::Description:
            break;
        }
        return {WorkerRequests::description(*e), {}};
    }

    static QByteArray listDocument()
    {
        QByteArray items;
        for (int i = 0; i < 40; ++i)
            items += "<tvService n=\"" + QByteArray::number(i) + "\"/>";
        return "<TDocument><items>" + items + "</items><lists/></TDocument>";
    }

    RecordingTask *enqueue(Exchange exchange)
    {
        const auto request = requestFor(exchange);
        auto *task = new RecordingTask(this, request.first.toString());
        task->setPayload(request.second);
        m_manager->enqueue(task);
        return task;
    }

    void cancelNow()
    {
        m_canceledAt.store(m_clock.elapsed());
        m_manager->mill()->setInterruptFlag(true);
    }

    // The receiver falls silent (with trickleMs, its held answer dribbles) as it has read `from` bytes of the
    // exchange; with cancelToo the user cancels at that very moment.
    void silenceAt(Exchange exchange, int from, int trickleMs, bool cancelToo)
    {
        const char command = char(commandOf(exchange));
        auto fired = std::make_shared<std::atomic_bool>(false);
        e->emulator.setReceiveHook([=](const QByteArray &soFar) {
            const qsizetype start = soFar.indexOf(command);
            if (fired->load() || start < 0 || soFar.size() - start < from)
                return;
            fired->store(true);
            e->emulator.muteOpenConnections(trickleMs);
            if (cancelToo)
                cancelNow();
        });
    }

    // The job's one outcome came within the bound of the cancel, after the words of the unanswered cancel.
    void checkEndedAndTold(RecordingTask *task, Exchange exchange)
    {
        QTRY_VERIFY_WITH_TIMEOUT(task->outcomes() > 0, FaultMs);
        const qint64 took = m_clock.elapsed() - m_canceledAt.load();
        qInfo("%s ended %lld ms after the cancel", QTest::currentDataTag(), took);
        QVERIFY2(took < BoundMs, qPrintable(QStringLiteral("ended %1 ms after the cancel").arg(took)));
        QCOMPARE(task->outcomes(), 1);
        const QStringList errors = task->calls.filter(QStringLiteral("error:"));
        QCOMPARE(errors, QStringList{QStringLiteral("error:") + toldText(exchange)});
        QVERIFY(task->calls.indexOf(errors.first()) < task->calls.size() - 1);
    }

    // The connection was given up and made anew, and the next request is answered over the new one.
    void checkNextRequestWorks()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_states.contains(QStringLiteral("disconnected")), BoundMs);
        QTRY_COMPARE_WITH_TIMEOUT(m_states.count(QStringLiteral("connected")), 2, 15000);
        QCOMPARE(e->emulator.connectionCount(), 2);
        RecordingTask *next =
            RecordingTask::run(*m_manager, this, WorkerRequests::listing(QStringLiteral("hda1")).toString());
        QCOMPARE(next->calls, QStringList({"enqueued", "complete:true"}));
        const std::unique_ptr<QList<DeviceFileSystemItem *>> items(next->listing());
        next->setListing(nullptr);
        QVERIFY(items && items->size() >= 2);
        qDeleteAll(*items);
    }

    // Starts the exchange and has the receiver fall silent in it (the cancel comes with the silence only when
    // the row says so).
    RecordingTask *startSilent(Exchange exchange, Moment moment)
    {
        const int from = silentFrom(exchange, moment);
        const int trickleMs = moment == Moment::Trickling ? 200 : 0;
        if (from > 0)
            silenceAt(exchange, from, trickleMs, moment == Moment::AsWritten);
        else
            e->emulator.muteOpenConnectionsAfter(3 * 65536, trickleMs); // a download: after three blocks
        RecordingTask *task = enqueue(exchange);
        [&] { QTRY_VERIFY(e->emulator.isMuted(1)); }();
        return task;
    }

    static constexpr qint64 BigFile = 200LL * 1024 * 1024;

private slots:
    void init()
    {
        m_clock.start();
        m_canceledAt.store(-1);
        e = std::make_unique<EmulatorLink>();
        QVERIFY(e->emulator.start());
        e->commands->blockSize = 65536;
        e->commands->listDocument = listDocument();
        e->commands->listChunk = 100;
        e->commands->recordingParts = {{0, "ts", EmulatorLink::pattern(4 * 1024 * 1024)}};
        e->commands->uploadRequests = {{1, 0, 5000}, {0xF8, 0, 0}};
        {
            QFile big(e->receiverFile(QStringLiteral("hda1/big.ts"), "x"));
            QVERIFY(big.resize(BigFile)); // sparse: the receiver streams it for longer than any test waits
        }
        e->receiverFile(QStringLiteral("hda1/a.ts"), "a");
        e->pcFile(QStringLiteral("big.bin"), EmulatorLink::pattern(4 * 1024 * 1024, 5));
        e->pcFile(QStringLiteral("recs/Rec1.desc"), EmulatorLink::pattern(70000, 3)); // two description packets
        e->pcFile(QStringLiteral("recs/Rec1.ts"), EmulatorLink::pattern(5000, 1));
        // three chunks of description
        e->emulator.setChunkSize(int(e->emulator.description().toUtf8().size() / 3 + 1));
        m_manager = std::make_unique<DVB24CommunicationManager>();
        m_manager->setPort(e->emulator.port());
        m_manager->mill()->setPoll(200);
        m_states.clear();
        connect(m_manager.get(), &DeviceCommunicationManager::stateChanged, this,
                [this](const QString &s) { m_states << s; });
        m_manager->connectToHost(e->emulator.host());
        QTRY_VERIFY(m_states.contains(QStringLiteral("connected")));
        e->emulator.clearReceived();
    }
    void cleanup()
    {
        e->emulator.setReceiveHook({});
        if (m_manager) {
            disconnect(m_manager.get(), nullptr, this, nullptr);
            m_manager->requestInterrupt();
            m_manager->requestClose();
            m_manager.reset();
        }
        e.reset();
        qDeleteAll(findChildren<RecordingTask *>());
    }

    void cancelWhileTheReceiverIsSilent_data()
    {
        QTest::addColumn<Exchange>("exchange");
        QTest::addColumn<Moment>("moment");
        const QList<QPair<Exchange, const char *>> exchanges{{Exchange::FileDownload, "file download"},
                                                             {Exchange::FileUpload, "file upload"},
                                                             {Exchange::RecordingDownload, "recording download"},
                                                             {Exchange::RecordingUpload, "recording upload"},
                                                             {Exchange::ListDownload, "list download"},
                                                             {Exchange::ListUpload, "list upload"},
                                                             {Exchange::Listing, "folder listing"},
                                                             {Exchange::CreateFolder, "folder create"},
                                                             {Exchange::Delete, "delete"},
                                                             {Exchange::RecordingDelete, "recording delete"},
                                                             {Exchange::Description, "device description"}};
        for (const auto &x : exchanges) {
            QTest::addRow("%s, cancel 0.3 s into the silence", x.second) << x.first << Moment::WhileSilent;
            QTest::addRow("%s, cancel as a message arrives", x.second) << x.first << Moment::AsWritten;
        }
        // Bytes that keep coming do not stretch the wait.
        for (const auto &x : exchanges.mid(0, 1) + exchanges.mid(2, 1) + exchanges.mid(4, 1) + exchanges.mid(10, 1))
            QTest::addRow("%s, trickling after the cancel", x.second) << x.first << Moment::Trickling;
    }
    void cancelWhileTheReceiverIsSilent()
    {
        QFETCH(Exchange, exchange);
        QFETCH(Moment, moment);
        RecordingTask *task = startSilent(exchange, moment);
        if (moment != Moment::AsWritten) {
            // The PC is then inside a wait for the silent receiver, which the cancel must cut short.
            QTest::qWait(300);
            cancelNow();
        }
        checkEndedAndTold(task, exchange);
        checkNextRequestWorks();
        // Nothing of the user's was replaced or left behind on the PC by the cancelled download.
        QVERIFY(!QFileInfo::exists(e->pcPath(QStringLiteral("big.ts"))));
        QVERIFY(!QFileInfo::exists(e->pcPath(QStringLiteral("Show"))));
    }

    // A Disconnect, or the program's end, while the worker waits for a receiver that did not answer the cancel (or
    // as the only cancel): the worker ends within the bound.
    void disconnectDuringTheWait_data()
    {
        QTest::addColumn<Exchange>("exchange");
        QTest::addColumn<bool>("canceledFirst");
        QTest::addColumn<bool>("programEnds");
        QTest::newRow("file download, cancel then disconnect") << Exchange::FileDownload << true << false;
        QTest::newRow("list download, cancel then disconnect") << Exchange::ListDownload << true << false;
        QTest::newRow("folder listing, cancel then disconnect") << Exchange::Listing << true << false;
        QTest::newRow("recording upload, disconnect alone") << Exchange::RecordingUpload << false << false;
        QTest::newRow("folder create, cancel then the program ends") << Exchange::CreateFolder << true << true;
    }
    void disconnectDuringTheWait()
    {
        QFETCH(Exchange, exchange);
        QFETCH(bool, canceledFirst);
        QFETCH(bool, programEnds);
        RecordingTask *task = startSilent(exchange, Moment::WhileSilent);
        QTest::qWait(300);
        if (canceledFirst) {
            cancelNow();
            QTest::qWait(500);
        } else {
            m_canceledAt.store(m_clock.elapsed());
        }
        if (programEnds) {
            // The window's end destroys the receiver's manager, which waits for its worker.
            disconnect(m_manager.get(), nullptr, this, nullptr);
            m_manager->requestInterrupt();
            m_manager->requestClose();
            m_manager.reset();
        } else {
            // As the receiver's Disconnect asks.
            m_manager->requestInterrupt();
            m_manager->requestClose();
            QTRY_VERIFY_WITH_TIMEOUT(m_manager->mill()->isFinished(), FaultMs);
        }
        const qint64 took = m_clock.elapsed() - m_canceledAt.load();
        qInfo("%s: the worker ended %lld ms after the first cancel", QTest::currentDataTag(), took);
        QVERIFY2(took < BoundMs, qPrintable(QStringLiteral("ended %1 ms after the cancel").arg(took)));
        // The job heard its one outcome (a task of a manager that went may hear none).
        if (!programEnds)
            QTRY_COMPARE(task->outcomes(), 1);
    }

    // A cancel once the closing message of a list upload went changes nothing: the receiver that takes its time to
    // answer it (longer than the after-cancel wait) has the lists said sent, over the same connection.
    void cancelAfterTheClosingMessageChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("as </lists> arrives") << QByteArray("</lists>");
        QTest::newRow("as CMP arrives") << QByteArray("CMP");
    }
    void cancelAfterTheClosingMessageChangesNothing()
    {
        QFETCH(QByteArray, message);
        auto fired = std::make_shared<std::atomic_bool>(false);
        e->emulator.setReceiveHook([=](const QByteArray &soFar) {
            if (!soFar.endsWith(message) || fired->exchange(true))
                return;
            // Past the after-cancel wait, within the wait for an answer of a list upload.
            e->emulator.setAnswerDelayMs(TransferLink::AfterCancelMs + 600);
            cancelNow();
        });
        RecordingTask *task = enqueue(Exchange::ListUpload);
        QTRY_VERIFY_WITH_TIMEOUT(task->outcomes() > 0, 30000);
        e->emulator.setAnswerDelayMs(0);
        QCOMPARE(task->calls.filter(QStringLiteral("error:")), QStringList());
        QCOMPARE(task->calls.last(), QStringLiteral("complete:true"));
        QCOMPARE(e->commands->uploadMessages().last(), QByteArray("CMP"));
        QCOMPARE(e->emulator.connectionCount(), 1);
    }
};

OMBRELAY_TEST_MAIN(TestSilentCancel)
#include "tst_silentcancel.moc"
