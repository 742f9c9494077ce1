#include "testmain.h"

#include "modules/modulefactory.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "devices/zbdevice.h"
#include "receiveremulator.h"

#include <QCloseEvent>
#include <QPointer>
#include <QSignalSpy>

namespace {

// A page that writes down what the receiver tells it and may refuse to close.
class ProbeModule : public OmbrelayModule
{
public:
    ProbeModule(ModuleTypes type, const QVariantMap &options)
        : m_type(type)
        , options(options)
    {}
    ModuleTypes moduleType() const override { return m_type; }
    void retranslate() override { ++retranslations; }
    void onDeviceStateChange(const QString &state) override
    {
        states << state;
        OmbrelayModule::onDeviceStateChange(state);
    }

    QStringList states;
    QVariantMap options;
    int retranslations = 0;
    bool refuseClose = false;
    int closeRequests = 0;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++closeRequests;
        event->setAccepted(!refuseClose);
    }

private:
    ModuleTypes m_type;
};

ZBDeviceInfo receiverInfo()
{
    ZBDeviceInfo info;
    info.setId(3);
    info.setIp(QStringLiteral("127.0.0.1"));
    info.setGivenName(QStringLiteral("Living room"));
    info.setShareName(QStringLiteral("OLD"));
    info.setTvListMaxCount(6);
    info.setNetListMaxCount(2);
    return info;
}

} // namespace

class TestZBDevice : public QObject
{
    Q_OBJECT
private:
    ReceiverEmulator *emulator = nullptr;
    ZBDevice *device = nullptr;
    QStringList states;

private slots:
    void initTestCase()
    {
        for (int type = 1; type <= 5; ++type) {
            ModuleFactory::registerType(type, [type](QWidget *, const QVariantMap &options) -> OmbrelayModule * {
                return new ProbeModule(OmbrelayModule::ModuleTypes(type), options);
            });
        }
    }

    void init()
    {
        emulator = new ReceiverEmulator;
        QVERIFY(emulator->start());
        device = new ZBDevice(receiverInfo());
        device->communicationManager()->setPort(emulator->port());
        states.clear();
        connect(device, &ZBDevice::stateChanged, this, [this](const ZBDevice *from, const QString &state) {
            QCOMPARE(from, device);
            states << state;
        });
    }
    void cleanup()
    {
        delete device;
        QTest::qWait(1); // lets the manager's deferred deletion run
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete emulator;
    }

    void connectsAndKeepsTheUsersName()
    {
        QSignalSpy shareNames(device, &ZBDevice::shareNameChanged);
        QSignalSpy versions(device, &ZBDevice::protocolVersionChanged);
        QVERIFY(device->state().isEmpty());
        auto *page = static_cast<ProbeModule *>(device->module(OmbrelayModule::TypeDevice));
        QVERIFY(page);
        device->connectToDevice();
        QTRY_VERIFY(device->isConnected());
        QCOMPARE(states, (QStringList{"connecting", "connected"}));
        QCOMPARE(page->states, (QStringList{"", "connecting", "connected"}));
        QCOMPARE(device->name(), QStringLiteral("Ombrelay Emulator"));
        QCOMPARE(device->info().givenName(), QStringLiteral("Living room"));
        QCOMPARE(device->id(), 3u);
        QCOMPARE(shareNames.count(), 1);
        QCOMPARE(shareNames.first().at(0).toInt(), 3);
        QCOMPARE(shareNames.first().at(1).toString(), QStringLiteral("EMULATOR"));
        QCOMPARE(versions.count(), 0);
        // The page sees the device's own description, updated in place.
        QCOMPARE(page->deviceInfo(), &device->info());
        QCOMPARE(page->communicationManager(), device->communicationManager());

        device->disconnectFromDevice();
        QCOMPARE(device->state(), QStringLiteral("disconnecting"));
        QTRY_VERIFY(device->isDisconnected());
        QTRY_VERIFY(emulator->received().endsWith(char(0xFF)));
    }

    void destroyedWhileConnected()
    {
        QPointer<OmbrelayModule> page = device->module(OmbrelayModule::TypeMediaExplorer);
        QVERIFY(page);
        device->connectToDevice();
        QTRY_VERIFY(device->isConnected());
        QPointer<DVB24CommunicationManager> manager = device->communicationManager();
        delete device;
        device = nullptr;
        QCOMPARE(states.last(), QStringLiteral("disconnecting"));
        QVERIFY(page.isNull());
        // The manager goes with the event loop, after its worker said goodbye.
        QTRY_VERIFY(manager.isNull());
        QTRY_VERIFY(emulator->received().endsWith(char(0xFF)));
        QTRY_COMPARE(emulator->openConnections(), 0);
    }

    void oldProtocolDisconnects()
    {
        emulator->setProtocolVersion(QStringLiteral("1.3"));
        QSignalSpy shareNames(device, &ZBDevice::shareNameChanged);
        QSignalSpy versions(device, &ZBDevice::protocolVersionChanged);
        device->connectToDevice();
        QTRY_COMPARE(versions.count(), 1);
        QCOMPARE(versions.first().at(0).toInt(), 3);
        QCOMPARE(versions.first().at(1).toFloat(), 1.3f);
        QTRY_VERIFY(device->isDisconnected());
        QCOMPARE(shareNames.count(), 0);
        QCOMPARE(states, (QStringList{"connecting", "disconnecting", "disconnected"}));
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
        info.setName(QStringLiteral("x"));
        if (!address.isEmpty())
            info.setIp(address);
        ZBDevice local(info);
        local.communicationManager()->setPort(emulator->port());
        local.connectToDevice();
        QTest::qWait(200);
        QCOMPARE(emulator->connectionCount(), 0);
        QVERIFY(!local.communicationManager()->isOpen());
    }

    void addressSetters()
    {
        device->setIpAddress(QStringLiteral("010.000.000.002"));
        QCOMPARE(device->ipAddressString(), QStringLiteral("10.0.0.2"));
        device->setIpAddress(QStringLiteral("not an address"));
        QCOMPARE(device->ipAddressString(), QStringLiteral("10.0.0.2"));
        device->setIpAddress(QHostAddress(QStringLiteral("::1")));
        QCOMPARE(device->ipAddressString(), QStringLiteral("10.0.0.2"));
    }

    void modulesFromTheDescription()
    {
        QVERIFY(!device->module(OmbrelayModule::TypeRadioList));
        QVERIFY(!device->module(OmbrelayModule::TypeWelcome));
        auto *tv = static_cast<ProbeModule *>(device->module(OmbrelayModule::TypeTvList));
        QVERIFY(tv);
        QCOMPARE(tv->options.value(QStringLiteral("maximumListCount")).toInt(), 6);
        QCOMPARE(device->module(OmbrelayModule::TypeTvList), tv);
        auto *links = static_cast<ProbeModule *>(device->module(OmbrelayModule::TypeLinkList));
        QCOMPARE(links->options.value(QStringLiteral("maximumListCount")).toInt(), 2);
        auto *start = static_cast<ProbeModule *>(device->module(OmbrelayModule::TypeDevice));
        const QVariantMap expected{{QStringLiteral("enableLinkList"), true},
                                   {QStringLiteral("enableRadioList"), false},
                                   {QStringLiteral("enableTvList"), true},
                                   {QStringLiteral("enableMediaExplorer"), true}};
        QCOMPARE(start->options, expected);
        QCOMPARE(device->modules().size(), 3);

        delete tv;
        QCOMPARE(device->modules().size(), 2);
        auto *again = device->module(OmbrelayModule::TypeTvList);
        QVERIFY(again);
        QVERIFY(device->hasModule(again));
        device->notifyModules();
        QCOMPARE(static_cast<ProbeModule *>(again)->retranslations, 1);
        QCOMPARE(start->retranslations, 1);
    }

    void closeStopsAtTheFirstRefusal()
    {
        ZBDeviceInfo info = receiverInfo();
        ZBDevice local(info);
        auto *first = new ProbeModule(OmbrelayModule::TypeTvList, {});
        auto *second = new ProbeModule(OmbrelayModule::TypeLinkList, {});
        auto *third = new ProbeModule(OmbrelayModule::TypeMediaExplorer, {});
        local.attachModule(first);
        local.attachModule(second);
        local.attachModule(third);
        local.attachModule(second);
        QCOMPARE(local.modules().size(), 3);
        second->refuseClose = true;
        QCloseEvent refused;
        QVERIFY(!local.closeModules(&refused));
        QCOMPARE(first->closeRequests, 1);
        QCOMPARE(second->closeRequests, 1);
        QCOMPARE(third->closeRequests, 0);
        second->refuseClose = false;
        QCloseEvent accepted;
        QVERIFY(local.closeModules(&accepted));
        QCOMPARE(third->closeRequests, 1);
        first->refuseClose = true;
        QVERIFY(!local.closeModules());
        QCOMPARE(second->closeRequests, 2);
    }

    void updateInfoFromCopiesIdentityOnly()
    {
        ZBDeviceInfo other;
        other.setType(0);
        other.setName(QStringLiteral("New"));
        other.setGivenName(QStringLiteral("Given"));
        other.setIp(QStringLiteral("10.9.8.7"));
        other.setProtocolVersion(2.0f);
        other.setShareName(QStringLiteral("IGNORED"));
        other.setId(99);
        device->updateInfoFrom(other);
        QCOMPARE(device->info().type(), 0);
        QCOMPARE(device->name(), QStringLiteral("New"));
        QCOMPARE(device->label(), QStringLiteral("Given"));
        QCOMPARE(device->ipAddressString(), QStringLiteral("10.9.8.7"));
        QCOMPARE(device->info().shareName(), QStringLiteral("OLD"));
        QCOMPARE(device->id(), 3u);
        QCOMPARE(device->info().tvListMaxCount(), quint16(6));
    }
};

OMBRELAY_TEST_MAIN(TestZBDevice)
#include "tst_zbdevice.moc"
