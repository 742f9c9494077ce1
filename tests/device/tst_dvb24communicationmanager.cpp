#include "testmain.h"

#include "device/core/devicecall.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/protocol/dvb24communicationprotocolmill.h"
#include "device/protocol/macaddress.h"
#include "emulatorsession.h"
#include "receiveremulator.h"
#include "recordingtask.h"

#include <QDomDocument>
#include <QSignalSpy>

namespace {

// A method that sends command 0x30 and reads its status, so status rules can be driven end to end.
void statusProbe(DVB24CommunicationProtocolMill &mill, DeviceTask *, const DeviceCall &)
{
    bool ok = false;
    mill.primitives().writeByte(0x30, true, &ok);
    mill.millExceptionIfNotTrue(ok);
    mill.readStatus();
    emit mill.Complete(true);
}

// A method that asks for command 0x32's chunk stream (at most 8 bytes a chunk) and keeps it as result.
void chunkProbe(DVB24CommunicationProtocolMill &mill, DeviceTask *, const DeviceCall &)
{
    bool ok = false;
    mill.primitives().writeByte(0x32, true, &ok);
    mill.millExceptionIfNotTrue(ok);
    QStringList percents;
    const QByteArray payload =
        mill.readChunkStream(8, 64, 10000, [&percents](quint32 percent) { percents << QString::number(percent); });
    mill.storeResult(QString::fromLatin1(payload) + QLatin1Char('|') + percents.join(QLatin1Char(',')));
    emit mill.Complete(true);
}

QString callText(const QString &method)
{
    return DeviceCall(method).toString();
}

} // namespace

class TestDVB24CommunicationManager : public QObject
{
    Q_OBJECT
private:
    ReceiverEmulator *emulator = nullptr;
    DVB24CommunicationManager *manager = nullptr;
    QStringList states;
    QList<ZBDeviceInfo> infos;

    QObject owner; // parent of the tasks of a test
    // A task for the request, handed to the manager.
    RecordingTask *enqueue(const QString &request)
    {
        auto *task = new RecordingTask(&owner, request);
        manager->enqueue(task);
        return task;
    }
    void connectManager()
    {
        manager->connectToHost(emulator->host());
        QTRY_VERIFY(states.contains(QStringLiteral("connected")));
    }

private slots:
    void initTestCase()
    {
        DVB24CommunicationProtocolMill::registerMethod(QStringLiteral("statusProbe"), statusProbe);
        DVB24CommunicationProtocolMill::registerMethod(QStringLiteral("chunkProbe"), chunkProbe);
    }

    void init()
    {
        emulator = new ReceiverEmulator;
        QVERIFY(emulator->start());
        emulator->setCommand(0x30, [](EmulatorSession &session) { session.sendStatus(0x01); });
        manager = new DVB24CommunicationManager;
        manager->setPort(emulator->port());
        states.clear();
        infos.clear();
        connect(manager, &DeviceCommunicationManager::stateChanged, this, [this](const QString &s) { states << s; });
        connect(manager, &DVB24CommunicationManager::InfoChanged, this,
                [this](const ZBDeviceInfo &info) { infos << info; });
    }
    void cleanup()
    {
        manager->requestInterrupt();
        manager->requestClose();
        delete manager;
        delete emulator;
        qDeleteAll(owner.children());
    }

    void connectReadsTheDescription()
    {
        emulator->setChunkSize(64);
        const int chunks = int((emulator->description().toUtf8().size() + 63) / 64);
        QVERIFY(chunks > 3);
        connectManager();
        QCOMPARE(states.first(), QStringLiteral("connecting"));
        QCOMPARE(states.filter(QStringLiteral("connected")).size(), 1);
        QCOMPARE(infos.size(), 1);
        QCOMPARE(infos.first().name(), QStringLiteral("Ombrelay Emulator"));
        QCOMPARE(infos.first().mac(), QStringLiteral("00-00-00-00-00-00"));
        QCOMPARE(infos.first().ip().toString(), QStringLiteral("127.0.0.1"));
        QCOMPARE(infos.first().protocolVersion(), 1.4f);
        QVERIFY(manager->isOpen());
        const QByteArray expected = QByteArray(1, char(0x26)) + QByteArray(chunks, char(0x55));
        QCOMPARE(emulator->received().left(expected.size()), expected);
    }

    void keepAliveWhileIdle()
    {
        connectManager();
        const int handshake = emulator->received().size();
        QTRY_VERIFY_WITH_TIMEOUT(emulator->received().size() >= handshake + 2, 5000);
        QCOMPARE(emulator->received().mid(handshake, 2), QByteArray("\x01\x01"));
        QVERIFY(!states.contains(QStringLiteral("disconnected")));
    }

    void staleByteIsNotTakenForTheAnswer()
    {
        // The first keep-alive answer comes with one byte too many.
        std::atomic_bool once{true};
        emulator->setCommand(0x01, [&once](EmulatorSession &session) {
            session.write(once.exchange(false) ? QByteArray("\x01\x42") : QByteArray("\x01"));
        });
        connectManager();
        const int handshake = emulator->received().size();
        QTRY_VERIFY_WITH_TIMEOUT(emulator->received().size() >= handshake + 3, 8000);
        QVERIFY(!states.contains(QStringLiteral("disconnected")));
        QVERIFY(!emulator->received().contains(char(0xFF)));
    }

    void silenceDisconnects()
    {
        connectManager();
        emulator->setSilent(true);
        QTRY_VERIFY_WITH_TIMEOUT(states.contains(QStringLiteral("disconnected")), 6000);
        QTRY_VERIFY(emulator->received().endsWith(char(0xFF)));
        QTRY_COMPARE(emulator->openConnections(), 0);
    }

    void disconnectRequestWhileIdle()
    {
        connectManager();
        manager->requestInterrupt();
        manager->requestClose();
        QTRY_VERIFY(states.contains(QStringLiteral("disconnected")));
        QTRY_VERIFY(manager->mill()->isFinished());
        QTRY_VERIFY(emulator->received().endsWith(char(0xFF)));
        QTest::qWait(300);
        QCOMPARE(emulator->connectionCount(), 1);
    }

    void oldProtocolIsNeverShownConnected()
    {
        emulator->setProtocolVersion(QStringLiteral("1.3"));
        manager->connectToHost(emulator->host());
        QTRY_VERIFY(states.contains(QStringLiteral("disconnected")));
        QCOMPARE(infos.size(), 1);
        QCOMPARE(infos.first().protocolVersion(), 1.3f);
        QVERIFY(!states.contains(QStringLiteral("connected")));
        QTRY_VERIFY(emulator->received().endsWith(char(0xFF)));
    }

    void faultsEndTheConnection_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("refused") << 0;
        QTest::newRow("hostile length") << 1;
        QTest::newRow("dropped in the description") << 2;
        QTest::newRow("silent from the start") << 3;
        QTest::newRow("no hardware address") << 4;
    }
    void faultsEndTheConnection()
    {
        QFETCH(int, fault);
        switch (fault) {
        case 0:
            emulator->setRefuseConnections(true);
            break;
        case 1:
            emulator->setHostileLength(true);
            break;
        case 2:
            emulator->setDropAfterBytes(30);
            break;
        case 3:
            emulator->setSilent(true);
            break;
        case 4:
            setMacAddressLookup([](const QHostAddress &) { return QByteArray(); });
            break;
        }
        manager->connectToHost(emulator->host());
        QTRY_VERIFY_WITH_TIMEOUT(states.contains(QStringLiteral("disconnected")), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(manager->mill()->isFinished(), 20000);
        QVERIFY(!states.contains(QStringLiteral("connected")));
        for (const ZBDeviceInfo &info : std::as_const(infos))
            QVERIFY(info.isNameEmpty());
        if (fault == 4)
            QVERIFY(!emulator->received().contains(char(0x26)));
        setMacAddressLookup({});
    }

    void statusRules_data()
    {
        QTest::addColumn<int>("pending");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QByteArray>("answers");
        QTest::newRow("pending twice") << 2 << 0x01 << QStringList{"enqueued", "complete:true"}
                                       << QByteArray("\x30\x01\x01");
        QTest::newRow("busy") << 0 << 0xFC
                              << QStringList{"enqueued", "error:Device is busy now. Please try again later.",
                                             "complete:false"}
                              << QByteArray("\x30");
        QTest::newRow("not found") << 1 << 0xFD << QStringList{"enqueued", "error:Not found", "complete:false"}
                                   << QByteArray("\x30\x01");
    }
    void statusRules()
    {
        QFETCH(int, pending);
        QFETCH(int, status);
        QFETCH(QStringList, calls);
        QFETCH(QByteArray, answers);
        emulator->setCommand(0x30, [status](EmulatorSession &session) { session.sendStatus(quint8(status)); });
        connectManager();
        emulator->setPendingReplies(pending);
        emulator->clearReceived();
        RecordingTask *task = enqueue(callText(QStringLiteral("statusProbe")));
        QTRY_COMPARE(task->calls, calls);
        QCOMPARE(emulator->received().left(answers.size()), answers);
        QTest::qWait(50);
        QCOMPARE(task->outcomes(), 1);
    }

    void endlessPendingIsBounded()
    {
        connectManager();
        manager->mill()->setPendingLimitMs(200);
        emulator->setPendingReplies(1 << 30);
        RecordingTask *task = enqueue(callText(QStringLiteral("statusProbe")));
        QTRY_COMPARE(task->calls, (QStringList{"enqueued", "error:Action pending", "complete:false"}));
    }

    void endlessPendingCanBeCancelled()
    {
        connectManager();
        emulator->setPendingReplies(1 << 30);
        RecordingTask *task = enqueue(callText(QStringLiteral("statusProbe")));
        QTRY_COMPARE(task->state(), int(DeviceTask::Running));
        QTRY_VERIFY(emulator->received().count(char(0x01)) > 3);
        manager->cancel(task);
        QTRY_COMPARE(task->calls, (QStringList{"enqueued", "cancel", "canceled"}));
    }

    void descriptionRequest_data()
    {
        QTest::addColumn<bool>("answered");
        QTest::newRow("answered") << true;
        QTest::newRow("refused: an empty result") << false;
    }
    void descriptionRequest()
    {
        QFETCH(bool, answered);
        connectManager();
        if (!answered)
            emulator->setCommand(0x26, [](EmulatorSession &session) { session.writeByte(0xAB); });
        DeviceCall call(QStringLiteral("getDeviceInfo"));
        call.setParameter(QStringLiteral("ip"), emulator->host());
        RecordingTask *task = enqueue(call.toString());
        QTRY_COMPARE(task->calls, (QStringList{"enqueued", "complete:true"}));
        if (!answered) {
            QVERIFY(task->result().isEmpty());
            return;
        }
        QDomDocument doc;
        QVERIFY(doc.setContent(task->result()));
        QCOMPARE(doc.documentElement().tagName(), QStringLiteral("deviceInfo"));
        QCOMPARE(doc.documentElement().attribute(QStringLiteral("name")), QStringLiteral("Ombrelay Emulator"));
        QCOMPARE(doc.documentElement().attribute(QStringLiteral("mac")), QStringLiteral("00-00-00-00-00-00"));
    }

    void requestsThatCannotRun_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown") << callText(QStringLiteral("formatDisk"))
                                 << "The device does not know the request \"formatDisk\".";
        QTest::newRow("letter case") << callText(QStringLiteral("GetDeviceInfo"))
                                     << "The device does not know the request \"GetDeviceInfo\".";
        QTest::newRow("no parameters") << "<call methodName=\"getDeviceInfo\"/>"
                                       << "The request could not be read.";
        QTest::newRow("not xml") << "<call"
                                 << "The request could not be read.";
    }
    void requestsThatCannotRun()
    {
        QFETCH(QString, request);
        QFETCH(QString, error);
        connectManager();
        RecordingTask *task = enqueue(request);
        QTRY_COMPARE(task->calls, (QStringList{"enqueued", "error:" + error, "complete:false"}));
    }

    void chunkStream_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QByteArray>("answers");
        const QByteArray data = QByteArrayLiteral("DATA");
        const QByteArray abc = data + EmulatorSession::le32(3) + EmulatorSession::le32(50) + "abc";
        const QByteArray de = data + EmulatorSession::le32(2) + EmulatorSession::le32(100) + "de";
        const QByteArray empty = data + EmulatorSession::le32(0) + EmulatorSession::le32(0);
        const QByteArray end("END\0", 4);
        QTest::newRow("other tag skipped") << abc + "XXXX" + de + end << QStringList{"enqueued", "complete:true"}
                                           << "abcde|50,100" << QByteArray("\x32\x55\x55");
        QTest::newRow("empty chunk answered") << empty + abc + end << QStringList{"enqueued", "complete:true"}
                                              << "abc|0,50" << QByteArray("\x32\x55\x55");
        QTest::newRow("END without nul goes on") << abc + "ENDx" + de + end << QStringList{"enqueued", "complete:true"}
                                                 << "abcde|50,100" << QByteArray("\x32\x55\x55");
        QTest::newRow("chunk over the cap")
            << data + EmulatorSession::le32(9) + EmulatorSession::le32(1) + "123456789" + end
            << QStringList{"enqueued", "error:The connection to the device was interrupted.", "complete:false"} << ""
            << QByteArray("\x32");
    }
    void chunkStream()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QStringList, calls);
        QFETCH(QString, result);
        QFETCH(QByteArray, answers);
        // The emulator sends the stream piece by piece, each after the PC's answer to the one before.
        emulator->setCommand(0x32, [stream](EmulatorSession &session) {
            QByteArray rest = stream;
            while (!rest.isEmpty()) {
                const int next = rest.indexOf("DATA", 1);
                const QByteArray piece = next < 0 ? rest : rest.left(next);
                rest.remove(0, piece.size());
                session.write(piece);
                if (piece.startsWith("DATA") && piece.size() >= 12 && !rest.isEmpty()) {
                    quint8 answer = 0;
                    if (!session.readByte(&answer) || answer != 0x55)
                        return;
                }
            }
        });
        connectManager();
        emulator->clearReceived();
        RecordingTask *task = enqueue(callText(QStringLiteral("chunkProbe")));
        QTRY_COMPARE(task->calls, calls);
        QCOMPARE(task->result(), result);
        QTRY_COMPARE(emulator->received().left(answers.size()), answers);
        QCOMPARE(emulator->received().count(char(0x55)), answers.count(char(0x55)));
    }

    void lostLinkRestartsOnce()
    {
        connectManager();
        // The receiver goes away in the middle of a command.
        emulator->setCommand(0x30, [](EmulatorSession &session) { session.close(); });
        RecordingTask *task = enqueue(callText(QStringLiteral("statusProbe")));
        QTRY_COMPARE(task->calls, (QStringList{"enqueued", "error:Genereal Error (STB)", "complete:false"}));
        QTRY_VERIFY(states.contains(QStringLiteral("disconnected")));
        // Started again from the finished signal: a second connection, connected again.
        QTRY_COMPARE_WITH_TIMEOUT(emulator->connectionCount(), 2, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(states.count(QStringLiteral("connected")), 2, 10000);
        QCOMPARE(states.last(), QStringLiteral("connected"));
        QCOMPARE(task->outcomes(), 1);
    }

    void tasksWithoutConnectionFail()
    {
        RecordingTask *task = enqueue(callText(QStringLiteral("getDeviceInfo")));
        QTRY_COMPARE(task->calls, (QStringList{"enqueued", "error:Unknow error", "complete:false"}));
    }

    void encoders()
    {
        QCOMPARE(DVB24CommunicationProtocolMill::encodeUInt16(0x0102), QByteArray::fromHex("0102"));
        QCOMPARE(DVB24CommunicationProtocolMill::encodeUInt32(258), QByteArray::fromHex("00000102"));
        QCOMPARE(DVB24CommunicationProtocolMill::encodeUInt64(1), QByteArray::fromHex("0000000000000001"));
    }
};

OMBRELAY_TEST_MAIN(TestDVB24CommunicationManager)
#include "tst_dvb24communicationmanager.moc"
