#include "testmain.h"

#include "device/core/devicecall.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/protocol/dvb24communicationprotocolmill.h"
#include "device/protocol/macaddress.h"
#include "emulatorsession.h"
#include "receiveremulator.h"
#include "recordingtask.h"

#include <QDomDocument>

namespace {

// Sends command 0x30 and reads its status, so the status rules can be driven end to end.
void statusProbe(DVB24CommunicationProtocolMill &mill, DeviceTask *, const DeviceCall &)
{
    bool ok = false;
    mill.primitives().writeByte(0x30, true, &ok);
    mill.millExceptionIfNotTrue(ok);
    mill.readStatus();
    emit mill.Complete(true);
}

QString callText(const char *method, const QString &ip = QString())
{
    DeviceCall call(QString::fromLatin1(method));
    if (!ip.isEmpty())
        call.setParameter(QStringLiteral("ip"), ip);
    return call.toString();
}

const QStringList completed{"enqueued", "complete:true"};

QStringList failed(const QString &error)
{
    return {"enqueued", "error:" + error, "complete:false"};
}

} // namespace

class TestDVB24CommunicationManager : public QObject
{
    Q_OBJECT
    ReceiverEmulator *emulator = nullptr;
    DVB24CommunicationManager *manager = nullptr;
    QStringList states;
    QList<ZBDeviceInfo> infos;
    QObject owner; // parent of the tasks of a test

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
    void waitForTheEnd()
    {
        QTRY_VERIFY_WITH_TIMEOUT(states.contains(QStringLiteral("disconnected")), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(manager->mill()->isFinished(), 20000);
    }

private slots:
    void initTestCase() { DVB24CommunicationProtocolMill::registerMethod("statusProbe", statusProbe); }
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
        connect(manager, &DVB24CommunicationManager::InfoChanged, this, [this](const ZBDeviceInfo &i) { infos << i; });
    }
    void cleanup()
    {
        manager->requestInterrupt();
        manager->requestClose();
        delete manager;
        delete emulator;
        qDeleteAll(owner.children());
        setMacAddressLookup({});
    }

    // 0x26 first, one 0x55 per chunk, then a keep-alive about every second; a stale byte left by one
    // answer is not taken for the next.
    void connectsAndKeepsAlive()
    {
        emulator->setChunkSize(64);
        const int chunks = int((emulator->description().toUtf8().size() + 63) / 64);
        std::atomic_bool stale{true};
        emulator->setCommand(0x01, [&stale](EmulatorSession &session) {
            session.write(stale.exchange(false) ? QByteArray("\x01\x42") : QByteArray("\x01"));
        });
        connectManager();
        QCOMPARE(states.first(), QStringLiteral("connecting"));
        QCOMPARE(infos.size(), 1);
        QCOMPARE(infos.first().name(), QStringLiteral("Ombrelay Emulator"));
        QCOMPARE(infos.first().mac(), QStringLiteral("00-00-00-00-00-00"));
        QCOMPARE(infos.first().ip().toString(), emulator->host());
        QCOMPARE(infos.first().protocolVersion(), 1.4f);
        const QByteArray handshake = QByteArray(1, char(0x26)) + QByteArray(chunks, char(0x55));
        QCOMPARE(emulator->received().left(handshake.size()), handshake);
        QTRY_VERIFY_WITH_TIMEOUT(emulator->received().size() >= handshake.size() + 3, 8000);
        QCOMPARE(emulator->received().mid(handshake.size(), 3), QByteArray("\x01\x01\x01"));
        QCOMPARE(states.count(QStringLiteral("connected")), 1);
        QVERIFY(!states.contains(QStringLiteral("disconnected")));
    }

    // The description names the receiver; the address reached and the network connection stay.
    void descriptionDoesNotMoveTheReceiver_data()
    {
        QTest::addColumn<QString>("attributes");
        QTest::newRow("other address") << "ip=\"127.0.0.9\"";
        QTest::newRow("not an address") << "IP=\"not-an-address\"";
        QTest::newRow("claims USB") << "isUsbManaged=\"true\"";
    }
    void descriptionDoesNotMoveTheReceiver()
    {
        QFETCH(QString, attributes);
        emulator->setDescription(ReceiverEmulator::defaultDescription().replace(
            QStringLiteral("<deviceInfo "), QStringLiteral("<deviceInfo %1 ").arg(attributes)));
        connectManager();
        QCOMPARE(infos.size(), 1);
        QCOMPARE(infos.first().ip().toString(), emulator->host());
        QVERIFY(!infos.first().isUsbManaged());
        QCOMPARE(infos.first().name(), QStringLiteral("Ombrelay Emulator"));
    }

    // Silence ends in the goodbye 0xFF, closed, and no new connection.
    void silenceEndsTheConnection()
    {
        connectManager();
        emulator->setSilent(true);
        waitForTheEnd();
        QTRY_VERIFY(emulator->received().endsWith(char(0xFF)));
        QTRY_COMPARE(emulator->openConnections(), 0);
        QTest::qWait(300);
        QCOMPARE(emulator->connectionCount(), 1);
    }

    // Only a receiver that described itself is reported, and one below 1.4 is never shown connected.
    // A receiver that does not describe itself is a failed connection, never an old receiver.
    void connectionsThatFail_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<float>("version"); // of the one description reported; 0: none is
        QTest::newRow("old protocol") << 0 << 1.3f;
        QTest::newRow("refused") << 1 << 0.f;
        QTest::newRow("hostile length") << 2 << 0.f;
        QTest::newRow("dropped in the description") << 3 << 0.f;
        QTest::newRow("silent from the start") << 4 << 0.f;
        QTest::newRow("no hardware address") << 5 << 0.f;
        QTest::newRow("description refused") << 6 << 0.f;
    }
    void connectionsThatFail()
    {
        QFETCH(int, fault);
        QFETCH(float, version);
        emulator->setProtocolVersion(QStringLiteral("1.3"));
        emulator->setRefuseConnections(fault == 1);
        emulator->setHostileLength(fault == 2);
        emulator->setDropAfterBytes(fault == 3 ? 30 : -1);
        emulator->setSilent(fault == 4);
        if (fault == 5)
            setMacAddressLookup([](const QHostAddress &) { return QByteArray(); });
        if (fault == 6)
            emulator->setCommand(0x26, [](EmulatorSession &session) { session.writeByte(0xAB); });
        manager->connectToHost(emulator->host());
        waitForTheEnd();
        QVERIFY(!states.contains(QStringLiteral("connected")));
        QCOMPARE(infos.size(), version > 0 ? 1 : 0);
        if (version > 0)
            QCOMPARE(infos.first().protocolVersion(), version);
        QCOMPARE(emulator->received().contains(char(0x26)), fault != 1 && fault != 5);
    }

    // Pending 0xF9 is answered with 0x01 while the cancel flag allows, for a bounded time.
    void statusRules_data()
    {
        QTest::addColumn<int>("pending");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QStringList>("calls");
        const int endless = 1 << 30;
        // clang-format off
        QTest::newRow("pending twice") << 2 << 0x01 << false << completed;
        QTest::newRow("busy") << 0 << 0xFC << false << failed("Device is busy now. Please try again later.");
        QTest::newRow("not found") << 1 << 0xFD << false << failed("Not found");
        QTest::newRow("endless pending is bounded") << endless << 0x01 << false << failed("Action pending");
        QTest::newRow("endless pending cancelled") << endless << 0x01 << true << QStringList{"enqueued", "cancel", "canceled"};
        // clang-format on
    }
    void statusRules()
    {
        QFETCH(int, pending);
        QFETCH(int, status);
        QFETCH(bool, cancel);
        QFETCH(QStringList, calls);
        emulator->setCommand(0x30, [status](EmulatorSession &session) { session.sendStatus(quint8(status)); });
        connectManager();
        manager->mill()->setPendingLimitMs(cancel ? 60000 : 300);
        emulator->setPendingReplies(pending);
        emulator->clearReceived();
        RecordingTask *task = enqueue(callText("statusProbe"));
        if (cancel) {
            QTRY_VERIFY(emulator->received().count(char(0x01)) > 3);
            manager->cancel(task);
        }
        QTRY_COMPARE(task->calls, calls);
        // One 0x01 for each pending round.
        QCOMPARE(emulator->received().left(3), QByteArray("\x30") + QByteArray(qMin(pending, 2), char(0x01)));
        QTest::qWait(50);
        QCOMPARE(task->outcomes(), 1);
    }

    // "getDeviceInfo" completes, with an empty result when the receiver does not describe itself; a
    // cancel during the read ends cancelled. The stream's unknown tags are skipped, each chunk answered.
    void descriptionRequest_data()
    {
        QTest::addColumn<QByteArray>("answer"); // to 0x26; empty: the emulator's own
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("acks"); // -1: not counted
        auto chunk = [](const QByteArray &bytes, int announced = -1) {
            return "DATA" + EmulatorSession::le32(quint32(announced < 0 ? bytes.size() : announced)) +
                   EmulatorSession::le32(0) + bytes;
        };
        const QByteArray a = chunk("<deviceInfo name=\"A"), b = chunk("B\"/>"), end("END\0", 4);
        QTest::newRow("answered") << QByteArray() << "Ombrelay Emulator" << -1;
        QTest::newRow("refused") << QByteArray("\xAB") << "" << 0;
        QTest::newRow("other tag skipped") << "\xAA" + a + "XXXX" + b + end << "AB" << 2;
        QTest::newRow("empty chunk answered") << "\xAA" + chunk("") + a + b + end << "AB" << 3;
        QTest::newRow("END without nul goes on") << "\xAA" + a + "ENDx" + b + end << "AB" << 2;
        QTest::newRow("chunk over the cap") << "\xAA" + chunk("", 300000) + end << "" << 0;
        QTest::newRow("cancelled during the read") << QByteArray("\xAA") << "" << 0;
    }
    void descriptionRequest()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, name);
        QFETCH(int, acks);
        const bool cancel = QTest::currentDataTag() == QLatin1String("cancelled during the read");
        connectManager();
        // Piece by piece, each chunk after the PC's answer to the one before.
        if (!answer.isEmpty())
            emulator->setCommand(0x26, [answer](EmulatorSession &session) {
                QByteArray rest = answer;
                while (!rest.isEmpty()) {
                    const int next = rest.indexOf("DATA", 1);
                    const QByteArray piece = next < 0 ? rest : rest.left(next);
                    rest.remove(0, piece.size());
                    quint8 ack = 0;
                    if (!session.write(piece) ||
                        (piece.startsWith("DATA") && !rest.isEmpty() && (!session.readByte(&ack) || ack != 0x55)))
                        return;
                }
            });
        emulator->clearReceived();
        RecordingTask *task = enqueue(callText("getDeviceInfo", emulator->host()));
        if (cancel) {
            QTRY_VERIFY(emulator->received().contains(char(0x26)));
            manager->cancel(task);
        }
        // A receiver that stops in the middle of the stream after the cancel did not answer it, and the user is told.
        QTRY_COMPARE(task->calls,
                     cancel ? (QStringList{"enqueued", "error:The device did not answer the cancel.", "complete:false"})
                            : completed);
        QDomDocument doc;
        QCOMPARE(bool(doc.setContent(task->result())), !name.isEmpty());
        QCOMPARE(doc.documentElement().attribute(QStringLiteral("name")), name);
        if (acks >= 0)
            QCOMPARE(emulator->received().count(char(0x55)), acks);
        // A stream that broke off is not left to be read as the answer to the next request: the connection is
        // given up and made anew.
        if (cancel)
            QTRY_COMPARE_WITH_TIMEOUT(emulator->connectionCount(), 2, 15000);
    }

    void requestsThatCannotRun_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QStringList>("calls");
        // clang-format off
        QTest::newRow("unknown") << callText("GetDeviceInfo") << failed("The device does not know the request \"GetDeviceInfo\".");
        QTest::newRow("not xml") << "<call" << failed("The request could not be read.");
        QTest::newRow("no connection") << callText("getDeviceInfo") << failed("Unknow error");
        // clang-format on
    }
    void requestsThatCannotRun()
    {
        QFETCH(QString, request);
        QFETCH(QStringList, calls);
        if (QTest::currentDataTag() != QLatin1String("no connection"))
            connectManager();
        RecordingTask *task = enqueue(request);
        QTRY_COMPARE(task->calls, calls);
    }

    // The receiver goes away in the middle of a command: the task fails once, the worker starts again.
    void lostLinkRestartsOnce()
    {
        connectManager();
        emulator->setCommand(0x30, [](EmulatorSession &session) { session.close(); });
        RecordingTask *task = enqueue(callText("statusProbe"));
        QTRY_COMPARE(task->calls, failed("Genereal Error (STB)"));
        QTRY_VERIFY(states.contains(QStringLiteral("disconnected")));
        QTRY_COMPARE_WITH_TIMEOUT(emulator->connectionCount(), 2, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(states.count(QStringLiteral("connected")), 2, 10000);
        QCOMPARE(states.last(), QStringLiteral("connected"));
        QCOMPARE(task->outcomes(), 1);
    }

    // Connect asked for while the last run, told to close, is still in a step; then (or not) Disconnect: the
    // connect waits for the old run to end and is made then, unless Disconnect came after it, which drops it.
    void connectWhileTheOldRunCloses_data()
    {
        QTest::addColumn<bool>("disconnect");
        QTest::newRow("connect") << false;
        QTest::newRow("connect, then disconnect") << true;
    }
    void connectWhileTheOldRunCloses()
    {
        QFETCH(bool, disconnect);
        connectManager();
        // A step the run stays in until it is interrupted: a status the receiver keeps pending.
        manager->mill()->setPendingLimitMs(60000);
        emulator->setPendingReplies(1 << 30);
        emulator->clearReceived();
        RecordingTask *task = enqueue(callText("statusProbe"));
        QTRY_VERIFY(emulator->received().count(char(0x01)) > 2);
        manager->requestClose();
        QVERIFY(manager->mill()->isRunning() && manager->mill()->isClosing());
        manager->connectToHost(emulator->host());
        if (disconnect)
            manager->requestClose();
        manager->requestInterrupt();
        // The old run ends (its step cancelled) while nothing it sets off here has had its turn; then all of it.
        QVERIFY(manager->mill()->wait(20000));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(task->outcomes(), 1);
        QCOMPARE(task->calls.last(), QStringLiteral("canceled"));
        if (disconnect) {
            QVERIFY(!manager->mill()->isRunning());
            QCOMPARE(emulator->connectionCount(), 1);
            QCOMPARE(states.count(QStringLiteral("connected")), 1);
        } else {
            QVERIFY(manager->mill()->isRunning());
            QTRY_COMPARE_WITH_TIMEOUT(states.count(QStringLiteral("connected")), 2, 10000);
            QCOMPARE(emulator->connectionCount(), 2);
        }
    }

    // A manager that goes right after a run was started (a reconnect, say): the run, which clears the stop
    // flags as it begins, is still stopped, and the manager's end does not wait on it for ever.
    void endedRightAfterAStart()
    {
        for (int round = 0; round < 40; ++round) {
            auto *other = new DVB24CommunicationManager;
            other->setPort(emulator->port());
            other->connectToHost(emulator->host());
            if (round % 2)
                QCoreApplication::processEvents();
            delete other;
        }
        // and one told to close, then to connect again before its run ended, then ended at once
        connectManager();
        manager->requestClose();
        manager->connectToHost(emulator->host());
        QTRY_VERIFY_WITH_TIMEOUT(manager->mill()->isRunning() && !manager->mill()->isClosing(), 20000);
        delete manager;
        manager = new DVB24CommunicationManager; // for cleanup()
    }
};

OMBRELAY_TEST_MAIN(TestDVB24CommunicationManager)
#include "tst_dvb24communicationmanager.moc"
