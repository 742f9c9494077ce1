#include "testmain.h"

#include "emulatorlink.h"
#include "recordingtask.h"
#include "workerrequests.h"

#include "device/core/devicecall.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/protocol/dvb24communicationprotocolmill.h"
#include "device/transfers/devicefilesystemitem.h"
#include "device/transfers/transfermethods.h"

#include <QDir>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

namespace {

enum class Exchange { ListDownload, ListUpload, RecordingDownload, RecordingUpload, Description };

QByteArray pattern(int size, char seed = 0)
{
    return EmulatorLink::pattern(size, seed);
}

// The command byte that opens each exchange.
quint8 commandOf(Exchange exchange)
{
    switch (exchange) {
    case Exchange::ListDownload:
        return 0x19;
    case Exchange::ListUpload:
        return 0x22;
    case Exchange::RecordingDownload:
        return 0x05;
    case Exchange::RecordingUpload:
        return 0x0B;
    case Exchange::Description:
        return 0x26;
    }
    return 0;
}

// How many messages of the exchange the PC has written, judged from what the receiver has read of it (from its
// command on). Only the bytes the emulator records count: a recording upload's packets show with their first
// byte, its data packets whole.
int messagesIn(Exchange exchange, const QByteArray &sent)
{
    switch (exchange) {
    case Exchange::ListDownload:
    case Exchange::Description:
        // the command, then one answer to each chunk
        return sent.isEmpty() ? 0 : 1 + int(sent.mid(1).count(char(0x55)));
    case Exchange::ListUpload:
        return sent.isEmpty() ? 0 : 1 + int(sent.count("PST") + sent.count("LST") + sent.count("CMP"));
    case Exchange::RecordingDownload: {
        // the request (11 bytes), the go, the answer to the end, the closing byte
        int n = 0;
        for (int at : {11, 12, 13, 14})
            n += sent.size() >= at ? 1 : 0;
        return n;
    }
    case Exchange::RecordingUpload: {
        // the command, the header (12), two description packets (1 each), data packets of 100 and 10 bytes
        int n = 0;
        for (int at : {1, 13, 14, 15, 116, 127})
            n += sent.size() >= at ? 1 : 0;
        return n;
    }
    }
    return 0;
}

QString exchangeName(Exchange exchange)
{
    switch (exchange) {
    case Exchange::ListDownload:
        return QStringLiteral("list download");
    case Exchange::ListUpload:
        return QStringLiteral("list upload");
    case Exchange::RecordingDownload:
        return QStringLiteral("recording download");
    case Exchange::RecordingUpload:
        return QStringLiteral("recording upload");
    case Exchange::Description:
        return QStringLiteral("device description");
    }
    return QString();
}

// The messages the PC writes in each exchange as the emulator is set up below, and whether a cancel at that
// message still ends the exchange as the receiver took it (its last answer makes the exchange whole).
struct Message
{
    const char *name;
    bool endsWhole;
};

QList<Message> messagesOf(Exchange exchange)
{
    switch (exchange) {
    case Exchange::ListDownload:
        return {{"command", false},
                {"answer to chunk 1", false},
                {"answer to chunk 2", false},
                {"answer to chunk 3", false}};
    case Exchange::ListUpload:
        // 4 entries (3 and 1), "<lists>", "</lists>": a cancel once "</lists>" went changes nothing
        return {{"command", false},     {"PST 1", false},       {"PST 2", false},
                {"LST <lists>", false}, {"LST </lists>", true}, {"CMP", true}};
    case Exchange::RecordingDownload:
        return {{"request", false}, {"go", false}, {"answer to the end", true}, {"closing byte", true}};
    case Exchange::RecordingUpload:
        return {{"command", false},
                {"header", false},
                {"description packet 1", false},
                {"description packet 2", false},
                {"data packet 1", false},
                {"data packet 2", true}};
    case Exchange::Description:
        return {{"command", false},
                {"answer to chunk 1", false},
                {"answer to chunk 2", false},
                {"answer to chunk 3", false}};
    }
    return {};
}

} // namespace

// A Cancel at each message the PC writes in the list, recording and description exchanges, through the worker
// as the pages start them: as the message goes and while the PC waits for its answer, the receiver answering
// at once and late. Each exchange is finished as the protocol describes: afterwards a listing and the same
// exchange again work on the same connection, the receiver took no byte as a stray command, and the cancelled
// job says it was cancelled (or, cancelled once the receiver had it all, that it is done).
class TestCancelStreams : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<EmulatorLink> e;
    std::unique_ptr<DVB24CommunicationManager> m_manager;
    QStringList m_states;

    static QByteArray listDocument()
    {
        return "<TDocument><items><tvService n=\"1\"/><tvService n=\"2\"/><tvService n=\"3\"/><tvService n=\"4\"/>"
               "</items><lists/></TDocument>";
    }

    // The request of one exchange and its payload.
    QPair<DeviceCall, QByteArray> requestFor(Exchange exchange) const
    {
        switch (exchange) {
        case Exchange::ListDownload:
            return {WorkerRequests::listDownload(), {}};
        case Exchange::ListUpload:
            return {WorkerRequests::listUpload(), listDocument()};
        case Exchange::RecordingDownload:
            return {WorkerRequests::recordingDownload(*e), {}};
        case Exchange::RecordingUpload:
            return {WorkerRequests::recordingUpload(*e), {}};
        case Exchange::Description:
            break;
        }
        return {WorkerRequests::description(*e), {}};
    }

    RecordingTask *enqueue(Exchange exchange)
    {
        const auto request = requestFor(exchange);
        auto *task = new RecordingTask(this, request.first.toString());
        task->setPayload(request.second);
        m_manager->enqueue(task);
        return task;
    }
    RecordingTask *enqueueListing()
    {
        auto *task = new RecordingTask(this, WorkerRequests::listing(QStringLiteral("hda1")).toString());
        m_manager->enqueue(task);
        return task;
    }
    static QStringList outcomeOf(const RecordingTask *task)
    {
        QStringList calls = task->calls;
        calls.removeIf([](const QString &c) {
            return c.startsWith(QLatin1String("progress")) || c.startsWith(QLatin1String("status:")) ||
                   c == QLatin1String("enqueued") || c == QLatin1String("cancel");
        });
        return calls;
    }
    // The commands the receiver took, less the keep-alives the worker sends while it has nothing to do.
    QList<quint8> commandsTaken() const
    {
        QList<quint8> taken = e->emulator.commandsTaken();
        taken.removeAll(quint8(0x01));
        return taken;
    }

    // Sets the cancel of the running task once the PC has written message `at` of the exchange (counted from 1);
    // `waiting`: only once the PC waits for its answer (the receiver holds back meanwhile); `again`: and once
    // more while the PC waits on.
    void cancelAt(Exchange exchange, int at, bool waiting, bool again)
    {
        const quint8 command = commandOf(exchange);
        auto fired = std::make_shared<std::atomic_bool>(false);
        const qsizetype from = e->emulator.received().size();
        DVB24CommunicationProtocolMill *mill = m_manager->mill();
        e->emulator.setReceiveHook([=](const QByteArray &soFar) {
            if (fired->load())
                return;
            const qsizetype start = soFar.indexOf(char(command), from);
            if (start < 0 || messagesIn(exchange, soFar.mid(start)) < at)
                return;
            fired->store(true);
            // The receiver reads on, and answers, only after the hook: the PC waits meanwhile.
            if (waiting)
                QThread::msleep(100);
            mill->setInterruptFlag(true);
            if (again) {
                QThread::msleep(100);
                mill->setInterruptFlag(true);
            }
        });
    }

private slots:
    void init()
    {
        e = std::make_unique<EmulatorLink>();
        QVERIFY(e->emulator.start());
        e->commands->listDocument = listDocument();
        e->commands->listChunk = int(listDocument().size() / 3 + 1); // three chunks
        e->commands->blockSize = 65536;
        e->commands->recordingParts = {{0, "ts", pattern(100000)}, {1, "mks", pattern(100, 7)}};
        e->commands->uploadRequests = {{1, 0, 100}, {1, 1, 10}, {0xF8, 0, 0}};
        e->pcFile(QStringLiteral("recs/Rec1.desc"), pattern(70000, 3)); // two description packets
        e->pcFile(QStringLiteral("recs/Rec1.ts"), pattern(5000, 1));
        e->pcFile(QStringLiteral("recs/Rec1.mks"), pattern(300, 2));
        QVERIFY(QDir().mkpath(e->receiverPath(QStringLiteral("hda1"))));
        e->receiverFile(QStringLiteral("hda1/a.ts"), "a");
        // three chunks of description
        e->emulator.setChunkSize(int(e->emulator.description().toUtf8().size() / 3 + 1));
        m_manager = std::make_unique<DVB24CommunicationManager>();
        m_manager->setPort(e->emulator.port());
        // The worker's loop notices the end of a row sooner; the tasks of a row are queued together, so no
        // keep-alive comes between them.
        m_manager->mill()->setPoll(200);
        m_states.clear();
        connect(m_manager.get(), &DeviceCommunicationManager::stateChanged, this,
                [this](const QString &s) { m_states << s; });
        m_manager->connectToHost(e->emulator.host());
        QTRY_VERIFY(m_states.contains(QStringLiteral("connected")));
    }
    void cleanup()
    {
        e->emulator.setReceiveHook({});
        disconnect(m_manager.get(), nullptr, this, nullptr);
        disconnect(m_manager->mill(), nullptr, this, nullptr);
        m_manager->requestInterrupt();
        m_manager->requestClose();
        m_manager.reset();
        e.reset();
        qDeleteAll(findChildren<RecordingTask *>());
    }

    void cancelAtEachMessage_data()
    {
        QTest::addColumn<int>("exchange");
        QTest::addColumn<int>("at");
        QTest::addColumn<bool>("waiting");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<bool>("endsWhole");
        QTest::addColumn<bool>("twice");
        for (Exchange exchange : {Exchange::ListDownload, Exchange::ListUpload, Exchange::RecordingDownload,
                                  Exchange::RecordingUpload, Exchange::Description}) {
            const QList<Message> messages = messagesOf(exchange);
            for (int i = 0; i < messages.size(); ++i)
                for (int delay : {0, 300})
                    for (bool waiting : {false, true})
                        QTest::addRow("%s, %s, %s, answer %s", qPrintable(exchangeName(exchange)), messages[i].name,
                                      waiting ? "while waiting" : "as written", delay ? "300 ms late" : "at once")
                            << int(exchange) << i + 1 << waiting << delay << messages[i].endsWhole << false;
            // A second cancel while the PC waits on changes nothing of the first.
            for (int i = 0; i < messages.size(); ++i)
                QTest::addRow("%s, %s, cancelled twice, answer 300 ms late", qPrintable(exchangeName(exchange)),
                              messages[i].name)
                    << int(exchange) << i + 1 << true << 300 << messages[i].endsWhole << true;
        }
    }
    void cancelAtEachMessage()
    {
        QFETCH(int, exchange);
        QFETCH(int, at);
        QFETCH(bool, waiting);
        QFETCH(int, delayMs);
        QFETCH(bool, endsWhole);
        QFETCH(bool, twice);
        const Exchange x = Exchange(exchange);
        e->emulator.clearCommandsTaken();
        e->emulator.setAnswerDelayMs(delayMs);
        // The listing and the repeat are answered at once: told in the worker's thread as the cancelled
        // exchange ends, before the next one begins.
        ReceiverEmulator *emulator = &e->emulator;
        const auto answerAtOnce = [emulator] { emulator->setAnswerDelayMs(0); };
        connect(m_manager->mill(), &Mill::Canceled, this, answerAtOnce,
                Qt::ConnectionType(Qt::DirectConnection | Qt::SingleShotConnection));
        connect(m_manager->mill(), &Mill::Complete, this, answerAtOnce,
                Qt::ConnectionType(Qt::DirectConnection | Qt::SingleShotConnection));
        cancelAt(x, at, waiting, twice);
        // Queued together: the listing and the repeat follow the cancelled exchange at once, with no keep-alive
        // in between that could hide a byte left unread.
        RecordingTask *cancelled = enqueue(x);
        RecordingTask *listing = enqueueListing();
        RecordingTask *again = enqueue(x);
        QTRY_COMPARE_WITH_TIMEOUT(again->outcomes(), 1, 30000);
        QCOMPARE(outcomeOf(cancelled), endsWhole ? QStringList{"complete:true"} : QStringList{"canceled"});
        QCOMPARE(outcomeOf(listing), QStringList{"complete:true"});
        const std::unique_ptr<QList<DeviceFileSystemItem *>> items(listing->listing());
        listing->setListing(nullptr);
        QCOMPARE(items ? items->size() : -1, 1);
        if (items)
            qDeleteAll(*items);
        QCOMPARE(outcomeOf(again), QStringList{"complete:true"});
        const quint8 command = commandOf(x);
        QCOMPARE(commandsTaken(), (QList<quint8>{command, 0x03, command}));
        QCOMPARE(e->emulator.unknownCommands(), 0);
        QCOMPARE(e->emulator.connectionCount(), 1);
        if (x == Exchange::RecordingDownload)
            QCOMPARE(EmulatorLink::read(e->pcPath(QStringLiteral("Show/Show.ts"))), pattern(100000));
        if (x == Exchange::RecordingUpload)
            QCOMPARE(e->commands->recordingUploads().last().size(), 3);
    }
};

OMBRELAY_TEST_MAIN(TestCancelStreams)
#include "tst_cancelstreams.moc"
