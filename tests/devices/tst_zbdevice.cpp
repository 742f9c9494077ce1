#include "testmain.h"

#include "device/core/devicecall.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/protocol/dvb24communicationprotocolmill.h"
#include "devices/zbdevice.h"
#include "emulatorsession.h"
#include "modules/modulefactory.h"
#include "receiveremulator.h"
#include "recordingtask.h"

#include <QCloseEvent>
#include <QSignalSpy>

namespace {

// A page that writes down what the receiver tells it and may refuse to close.
class ProbeModule : public OmbrelayModule
{
public:
    ProbeModule(ModuleTypes type, const QVariantMap &options = {})
        : options(options)
        , m_type(type)
    {}
    ModuleTypes moduleType() const override { return m_type; }
    void retranslate() override { ++retranslations; }
    void onDeviceStateChange(const QString &state) override { states << state; }
    QStringList states;
    const QVariantMap options;
    int retranslations = 0, closeRequests = 0;
    bool refuseClose = false;

protected:
    void closeEvent(QCloseEvent *event) override { event->setAccepted(!refuseClose), ++closeRequests; }

private:
    ModuleTypes m_type;
};

} // namespace

class TestZBDevice : public QObject
{
    Q_OBJECT
    ReceiverEmulator *emulator = nullptr;
    ZBDevice *device = nullptr;
    QStringList states;

private slots:
    void initTestCase()
    {
        for (int type = 1; type <= 5; ++type)
            ModuleFactory::registerType(type, [type](QWidget *, const QVariantMap &options) -> OmbrelayModule * {
                return new ProbeModule(OmbrelayModule::ModuleTypes(type), options);
            });
    }
    void init()
    {
        emulator = new ReceiverEmulator;
        QVERIFY(emulator->start());
        ZBDeviceInfo info;
        info.setId(3);
        info.setIp(emulator->host());
        info.setGivenName(QStringLiteral("Living room"));
        info.setShareName(QStringLiteral("OLD"));
        info.setTvListMaxCount(6);
        info.setNetListMaxCount(2);
        device = new ZBDevice(info);
        device->communicationManager()->setPort(emulator->port());
        states.clear();
        connect(device, &ZBDevice::stateChanged, this, [this](const ZBDevice *, const QString &s) { states << s; });
    }
    void cleanup()
    {
        delete device;
        delete emulator;
    }

    // The description replaces the record but keeps the user's own name; pages follow the state.
    void connectsAndKeepsTheUsersName()
    {
        QSignalSpy shareNames(device, &ZBDevice::shareNameChanged);
        auto *page = static_cast<ProbeModule *>(device->module(OmbrelayModule::TypeDevice));
        device->connectToDevice();
        QTRY_VERIFY(device->isConnected());
        QCOMPARE(states, (QStringList{"connecting", "connected"}));
        QCOMPARE(page->states, (QStringList{"", "connecting", "connected"}));
        QCOMPARE(device->name(), QStringLiteral("Ombrelay Emulator"));
        QCOMPARE(device->label(), QStringLiteral("Living room"));
        QCOMPARE(shareNames.count(), 1);
        QCOMPARE(shareNames.first(), (QVariantList{3, QStringLiteral("EMULATOR")}));
        QCOMPARE(page->deviceInfo(), &device->info());
        QCOMPARE(page->communicationManager(), device->communicationManager());
        device->disconnectFromDevice();
        QCOMPARE(device->state(), QStringLiteral("disconnecting"));
        QTRY_VERIFY(device->isDisconnected());
        QTRY_VERIFY(emulator->received().endsWith(char(0xFF)));
    }

    // The description says what the receiver is, never where the user reaches it or how it is managed.
    void descriptionKeepsAddressAndUsbFlag_data()
    {
        QTest::addColumn<QString>("attributes");
        QTest::newRow("other address") << "ip=\"127.0.0.9\"";
        QTest::newRow("no address") << "ip=\"not-an-address\"";
        QTest::newRow("claims USB") << "isUsbManaged=\"true\" IP=\"10.1.2.3\"";
    }
    void descriptionKeepsAddressAndUsbFlag()
    {
        QFETCH(QString, attributes);
        emulator->setDescription(ReceiverEmulator::defaultDescription().replace(
            QStringLiteral("<deviceInfo "), QStringLiteral("<deviceInfo %1 ").arg(attributes)));
        device->connectToDevice();
        QTRY_VERIFY(device->isConnected());
        QCOMPARE(device->ipAddressString(), emulator->host());
        QVERIFY(!device->info().isUsbManaged());
        QCOMPARE(device->name(), QStringLiteral("Ombrelay Emulator"));
        // The stored form names the address reached.
        QVERIFY(device->info().toXmlText().contains(QStringLiteral("ip=\"%1\"").arg(emulator->host())));
        device->disconnectFromDevice();
        QTRY_VERIFY(device->isDisconnected());
        // Connect goes again to the same receiver.
        device->connectToDevice();
        QTRY_VERIFY(device->isConnected());
        QCOMPARE(emulator->connectionCount(), 2);
    }

    // Whoever reports a description, the record keeps its address, USB flag, id and the user's name.
    void reportedDescriptionKeepsTheUsersRecord()
    {
        ZBDeviceInfo reported;
        QVERIFY(reported.fromXml(ReceiverEmulator::defaultDescription().replace(
            QStringLiteral("<deviceInfo "),
            QStringLiteral("<deviceInfo ip=\"127.0.0.9\" isUsbManaged=\"true\" givenName=\"Theirs\" "))));
        reported.setId(9);
        device->onDeviceInfoChanged(reported);
        QCOMPARE(device->ipAddressString(), emulator->host());
        QVERIFY(!device->info().isUsbManaged());
        QCOMPARE(device->id(), 3u);
        QCOMPARE(device->label(), QStringLiteral("Living room"));
        QCOMPARE(device->name(), QStringLiteral("Ombrelay Emulator"));
    }

    // An old receiver is left at once; a silent one is a failed connection, never reported as old.
    void receiversNotServed_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("old protocol") << false << QStringList{"connecting", "disconnecting", "disconnected"};
        QTest::newRow("silent") << true << QStringList{"connecting", "disconnected"};
    }
    void receiversNotServed()
    {
        QFETCH(bool, silent);
        QFETCH(QStringList, expected);
        emulator->setProtocolVersion(QStringLiteral("1.3"));
        emulator->setSilent(silent);
        QSignalSpy shareNames(device, &ZBDevice::shareNameChanged);
        QSignalSpy versions(device, &ZBDevice::protocolVersionChanged);
        device->connectToDevice();
        QTRY_VERIFY_WITH_TIMEOUT(device->isDisconnected(), 10000);
        QCOMPARE(states, expected);
        QCOMPARE(versions.count(), silent ? 0 : 1);
        if (!silent)
            QCOMPARE(versions.first(), (QVariantList{3, 1.3f}));
        QCOMPARE(shareNames.count(), 0);
    }

    // How a connection ends is told once, and only where the user did not end it: a connected receiver
    // that goes away, a run that never reached a receiver (nothing listening, no answer). A receiver that
    // described itself answered (an old one is told by its version), and a disconnect is no loss.
    void connectionEndings_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("lost");
        QTest::addColumn<int>("failed"); // -1: the quiet retry after a loss may fail or not
        QTest::newRow("receiver killed") << "kill" << 1 << -1;
        QTest::newRow("user disconnects") << "disconnect" << 0 << 0;
        QTest::newRow("nothing listening") << "nobody" << 0 << 1;
        QTest::newRow("never answers") << "silent" << 0 << 1;
        QTest::newRow("old receiver") << "old" << 0 << 0;
        QTest::newRow("disconnect while connecting") << "cut" << 0 << 0;
    }
    void connectionEndings()
    {
        QFETCH(QString, how);
        QSignalSpy losses(device, &ZBDevice::connectionLost);
        QSignalSpy failures(device, &ZBDevice::connectionFailed);
        Mill *worker = device->communicationManager()->mill();
        const quint16 port = emulator->port();
        if (how == QLatin1String("nobody"))
            emulator->stop();
        emulator->setSilent(how == QLatin1String("silent") || how == QLatin1String("cut"));
        if (how == QLatin1String("old"))
            emulator->setProtocolVersion(QStringLiteral("1.3"));
        device->connectToDevice();
        if (how == QLatin1String("kill") || how == QLatin1String("disconnect")) {
            QTRY_VERIFY(device->isConnected());
            if (how == QLatin1String("kill"))
                emulator->stop();
            else
                device->disconnectFromDevice();
            QTRY_VERIFY_WITH_TIMEOUT(device->isDisconnected(), 10000);
        } else if (how == QLatin1String("cut")) {
            QTRY_COMPARE(emulator->received().count(char(0x26)), 1);
            device->disconnectFromDevice();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!worker->isRunning() && device->isDisconnected(), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(int(losses.count()), 0 + (how == QLatin1String("kill")), 5000);
        QFETCH(int, failed);
        if (failed >= 0)
            QTRY_COMPARE(int(failures.count()), failed);
        // Nothing more comes of it once the worker rests.
        QTest::qWait(300);
        QTEST(int(losses.count()), "lost");
        if (failed >= 0)
            QCOMPARE(int(failures.count()), failed);
        if (!losses.isEmpty())
            QCOMPARE(losses.first().first().value<const ZBDevice *>(), device);
        // The second action: the receiver answers again and a connection is not reported.
        if (emulator->port() == 0)
            QVERIFY(emulator->start(port));
        emulator->setSilent(false);
        emulator->setProtocolVersion(QStringLiteral("1.4"));
        losses.clear();
        failures.clear();
        device->connectToDevice();
        QTRY_VERIFY_WITH_TIMEOUT(device->isConnected(), 10000);
        device->disconnectFromDevice();
        QTRY_VERIFY_WITH_TIMEOUT(!worker->isRunning(), 10000);
        QCOMPARE(losses.count(), 0);
        if (failed >= 0)
            QCOMPARE(failures.count(), 0);
    }

    // Without an event loop (the program ending) the manager goes at once, its worker stopped even
    // in the middle of a task, and the receiver gets its goodbye.
    void destroyedWhileATaskRuns()
    {
        QPointer<OmbrelayModule> page = device->module(OmbrelayModule::TypeMediaExplorer);
        device->connectToDevice();
        QTRY_VERIFY(device->isConnected());
        emulator->setCommand(0x26, [](EmulatorSession &) {}); // the task waits for an answer
        DeviceCall call(QStringLiteral("getDeviceInfo"));
        call.setParameter(QStringLiteral("ip"), emulator->host());
        RecordingTask task(nullptr, call.toString());
        device->communicationManager()->enqueue(&task);
        QTRY_COMPARE(emulator->received().count(char(0x26)), 2);
        QPointer<DVB24CommunicationManager> manager = device->communicationManager();
        delete device;
        device = nullptr;
        QVERIFY(manager.isNull());
        QVERIFY(page.isNull());
        QCOMPARE(states.last(), QStringLiteral("disconnecting"));
        QTRY_VERIFY(emulator->received().endsWith(char(0xFF)));
        QTRY_COMPARE(task.calls, (QStringList{"enqueued", "canceled"}));
    }

    void noAddressNoConnection_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("none") << QString();
        QTest::newRow("unreadable") << "box.local";
    }
    void noAddressNoConnection()
    {
        QFETCH(QString, address);
        ZBDeviceInfo info;
        if (!address.isNull())
            info.setIp(address); // an unreadable address is kept as 0.0.0.0
        ZBDevice local(info);
        local.communicationManager()->setPort(emulator->port());
        local.connectToDevice();
        QTest::qWait(200);
        QCOMPARE(emulator->connectionCount(), 0);
        QVERIFY(!local.communicationManager()->isOpen());
        local.setIpAddress(QStringLiteral("010.000.000.002"));
        local.setIpAddress(QStringLiteral("not an address"));
        local.setIpAddress(QHostAddress(QStringLiteral("::1")));
        QCOMPARE(local.ipAddressString(), QStringLiteral("10.0.0.2"));
    }

    // Pages come from the description's limits; closing stops at the first page that refuses.
    void modulesAndClosing()
    {
        QVERIFY(!device->module(OmbrelayModule::TypeRadioList));
        auto *tv = static_cast<ProbeModule *>(device->module(OmbrelayModule::TypeTvList));
        QCOMPARE(device->module(OmbrelayModule::TypeTvList), tv);
        QCOMPARE(tv->options.value(QStringLiteral("maximumListCount")), 6);
        auto *links = static_cast<ProbeModule *>(device->module(OmbrelayModule::TypeLinkList));
        QCOMPARE(links->options.value(QStringLiteral("maximumListCount")), 2);
        auto *start = static_cast<ProbeModule *>(device->module(OmbrelayModule::TypeDevice));
        QCOMPARE(start->options, (QVariantMap{{"enableLinkList", true},
                                              {"enableRadioList", false},
                                              {"enableTvList", true},
                                              {"enableMediaExplorer", true}}));
        device->attachModule(links);
        QCOMPARE(device->modules(), (QList<OmbrelayModule *>{tv, links, start}));
        links->refuseClose = true;
        QVERIFY(!device->closeModules());
        QCOMPARE(tv->closeRequests + links->closeRequests + start->closeRequests, 2);
        delete tv;
        QCOMPARE(device->modules().size(), 2);
        device->notifyModules();
        QCOMPARE(start->retranslations, 1);
    }
};

OMBRELAY_TEST_MAIN(TestZBDevice)
#include "tst_zbdevice.moc"
