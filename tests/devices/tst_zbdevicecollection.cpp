#include "testmain.h"

#include "base/settings.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/protocol/dvb24communicationprotocolmill.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "modules/modulefactory.h"
#include "receiveremulator.h"

#include <QCloseEvent>
#include <QDomDocument>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>

namespace {

// A module page that agrees to close or not, as the next of `answers` says (agrees when none is left).
class ClosingPage : public OmbrelayModule
{
public:
    explicit ClosingPage(QWidget *parent = nullptr)
        : OmbrelayModule(parent)
    {}
    ModuleTypes moduleType() const override { return TypeDevice; }
    void retranslate() override {}
    static inline int asked = 0;
    static inline QList<bool> answers;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++asked, event->setAccepted(answers.isEmpty() || answers.takeFirst());
    }
};

ZBDeviceInfo record(const QString &name, const QString &ip = QString(), int tv = 1000, int radio = 0, int net = 0)
{
    ZBDeviceInfo info(name, QString(), ip.isEmpty()); // without an address: managed over USB
    if (!ip.isEmpty())
        info.setIp(ip);
    info.setTvListMaxCount(quint16(tv));
    info.setRadioListMaxCount(quint16(radio));
    info.setNetListMaxCount(quint16(net));
    info.ensureDefaults();
    return info;
}

QStringList names(const ZBDeviceCollection &collection)
{
    QStringList result;
    for (int i = 0; i < collection.count(); ++i)
        result << QStringLiteral("%1:%2").arg(collection.at(i)->id()).arg(collection.at(i)->name());
    return result;
}

// A port of 127.0.0.1 this test holds for its run: the collections' receivers at 127.0.0.x are reached
// there, where nothing answers, never at whatever listens on the receivers' own port.
quint16 ownedPort()
{
    static QTcpServer *holder = [] {
        auto *server = new QTcpServer(QCoreApplication::instance()); // goes with the application
        server->listen(QHostAddress::LocalHost, 0);
        return server;
    }();
    return holder->serverPort();
}

QString stored()
{
    return QSettings().value(QStringLiteral("OmbrelayDeviceList")).toString();
}

} // namespace

class TestZBDeviceCollection : public QObject
{
    Q_OBJECT
    QObject owner; // the receivers' parent, as the main window is in the program

    // The stored list after appending records (network ones at 127.0.0.x, where nothing listens).
    static QString storeRecords(const QList<ZBDeviceInfo> &records)
    {
        QObject writerOwner;
        ZBDeviceCollection writer(&writerOwner);
        writer.setReceiverPort(ownedPort());
        writer.append(records);
        return stored();
    }

private slots:
    void init()
    {
        QSettings().clear();
        qDeleteAll(owner.children());
    }
    void cleanup()
    {
        ModuleFactory::clear();
        qDeleteAll(owner.children());
    }

    // What a stored list may hold; loading takes what it can and never rewrites the list.
    void load_data()
    {
        QTest::addColumn<QString>("text"); // null: nothing stored yet
        QTest::addColumn<bool>("loads");
        QTest::addColumn<QStringList>("listed");
        const QString two = storeRecords({record("A", "127.0.0.3"), record("B", "127.0.0.4")});
        const int second = two.indexOf(QStringLiteral(" <deviceInfo"), two.indexOf(QStringLiteral("<deviceInfo")) + 5);
        // clang-format off
        QTest::newRow("first start") << QString() << false << QStringList();
        QTest::newRow("empty list") << "<!DOCTYPE ZBDeviceCollection>\n<devices/>\n" << true << QStringList();
        QTest::newRow("not xml") << "devices" << false << QStringList();
        QTest::newRow("other root") << "<receivers><deviceInfo name=\"x\"/></receivers>" << false << QStringList();
        QTest::newRow("comment first") << "<!-- s --><devices><deviceInfo name=\"x\"/></devices>" << false << QStringList();
        QTest::newRow("two") << two << true << QStringList{"1:A", "2:B"};
        QTest::newRow("duplicate address") << QString(two).replace("127.0.0.4", "127.0.0.3") << true << QStringList{"1:A"};
        QTest::newRow("foreign nodes") << QString(two).insert(second, "<!-- n -->\n <printer name=\"x\"/>\n") << true << QStringList{"1:A", "2:B"};
        // clang-format on
    }
    void load()
    {
        QFETCH(QString, text);
        QFETCH(bool, loads);
        QFETCH(QStringList, listed);
        if (!text.isNull())
            Settings::setString(Settings::OmbrelayDeviceList, text);
        ZBDeviceCollection collection(&owner);
        collection.setReceiverPort(ownedPort());
        QCOMPARE(collection.load(), loads);
        QCOMPARE(names(collection), listed);
        QCOMPARE(stored(), text);
    }

    // The saved form, numbered afresh from 1 on the next start, reused ids, no password.
    void savedFormAndIds()
    {
        ZBDeviceCollection collection(&owner);
        collection.setReceiverPort(ownedPort());
        QVERIFY(collection.save());
        QCOMPARE(stored(), QStringLiteral("<!DOCTYPE ZBDeviceCollection>\n<devices/>\n"));
        ZBDeviceInfo first = record("A");
        first.setGivenName(QStringLiteral("Bedroom"));
        first.setPassword(QStringLiteral("secret"));
        first.setRememberPassword(true);
        collection.append(QList<ZBDeviceInfo>{first, record("B"), record("C")});
        collection.removeDevice(2);
        QCOMPARE(collection.nextFreeId(), 2u);
        collection.append(record("D"));
        QCOMPARE(names(collection), (QStringList{"1:A", "3:C", "2:D"}));
        collection.removeDevice(2);
        QVERIFY(collection.save());
        const QString text = stored();
        QVERIFY(text.startsWith(QStringLiteral("<!DOCTYPE ZBDeviceCollection>\n<devices>\n <deviceInfo ")));
        QVERIFY(!text.contains(QStringLiteral("secret")) && !text.contains(QStringLiteral(" id=")));
        QObject secondOwner; // a later start
        ZBDeviceCollection again(&secondOwner);
        again.setReceiverPort(ownedPort());
        QVERIFY(again.load());
        QCOMPARE(names(again), (QStringList{"1:A", "2:C"}));
        QCOMPARE(again.at(0)->info().givenName(), QStringLiteral("Bedroom"));
        QVERIFY(again.at(0)->info().isUsbManaged());
        // Stable from the first reload on (an empty address reads back as 0.0.0.0).
        QVERIFY(again.save());
        ZBDeviceCollection third(&secondOwner);
        third.setReceiverPort(ownedPort());
        QVERIFY(third.load());
        QCOMPARE(third.toXmlText(), stored());
    }

    // One receiver per address (USB ones whatever theirs); a batch that adds nothing says so.
    void appends()
    {
        ZBDeviceCollection collection(&owner);
        collection.setReceiverPort(ownedPort());
        QSignalSpy added(&collection, &ZBDeviceCollection::DeviceAdded);
        QSignalSpy none(&collection, &ZBDeviceCollection::NoDeviceAdded);
        collection.append(QList<ZBDeviceInfo>{});
        collection.append(QList<ZBDeviceInfo>{record("A", "127.0.0.5")});
        const QString afterFirst = stored();
        QCOMPARE(none.count(), 0);
        collection.append(QList<ZBDeviceInfo>{record("B", "127.0.0.5"), record("C", "127.0.0.5")});
        QCOMPARE(none.count(), 1);
        QCOMPARE(stored(), afterFirst);
        collection.append(QList<ZBDeviceInfo>{record("D", "127.0.0.5"), record("E", "127.0.0.6")});
        collection.append(record("F", "127.0.0.6"));
        collection.append(record("Stick"));
        QCOMPARE(none.count(), 1);
        QCOMPARE(added.count(), 3);
        QCOMPARE(names(collection), (QStringList{"1:A", "2:E", "3:Stick"}));
        QVERIFY(collection.containsAddress(QHostAddress(QStringLiteral("127.0.0.6"))));
        // Reached only at the port this test holds.
        for (int i = 0; i < 2; ++i)
            QCOMPARE(collection.at(i)->communicationManager()->mill()->port(), ownedPort());
    }

    // A connected receiver goes only after its "disconnected"; a receiver listed meanwhile under the
    // same id is not the one deleted. An idle receiver goes at once.
    void removal()
    {
        ModuleFactory::registerPlainModule<ClosingPage>(OmbrelayModule::TypeDevice);
        ReceiverEmulator emulator;
        QVERIFY(emulator.start());
        ZBDeviceCollection collection(&owner);
        collection.setReceiverPort(emulator.port());
        QSignalSpy states(&collection, &ZBDeviceCollection::DeviceStateChanged);
        QSignalSpy losses(&collection, &ZBDeviceCollection::DeviceConnectionLost);
        QSignalSpy failures(&collection, &ZBDeviceCollection::DeviceConnectionFailed);
        QPointer<ZBDevice> device = new ZBDevice(record("Box", emulator.host()), &owner);
        device->communicationManager()->setPort(emulator.port());
        collection.append(device.data());
        QTRY_VERIFY_WITH_TIMEOUT(device->isConnected(), 10000);
        QPointer<OmbrelayModule> page = device->module(OmbrelayModule::TypeDevice);
        QVERIFY(page);
        collection.removeDevice(1);
        // Its pages go at once: nothing of the winding down reaches them.
        QVERIFY(!page);
        QVERIFY(collection.deviceAddresses().isEmpty());
        QCOMPARE(collection.pendingRemovalCount(), 1);
        QVERIFY(device);
        collection.append(record("Stick"));
        QPointer<ZBDevice> newcomer = collection.deviceById(1);
        QTRY_VERIFY_WITH_TIMEOUT(!device, 10000);
        QCOMPARE(states.last().at(1).toString(), QStringLiteral("disconnected"));
        QVERIFY(newcomer);
        QCOMPARE(collection.pendingRemovalCount(), 0);
        // A link the user let go is no loss.
        QCOMPARE(losses.count() + failures.count(), 0);
        const int seen = int(states.count());
        collection.removeDevice(1);
        QVERIFY(!newcomer);
        QCOMPARE(states.count(), seen);
    }

    // Every receiver is asked, and one refusal stands.
    void closeAll_data()
    {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("all agree") << QList<bool>{true, true} << true;
        QTest::newRow("first refuses") << QList<bool>{false, true} << false;
        QTest::newRow("second refuses") << QList<bool>{true, false} << false;
    }
    void closeAll()
    {
        QFETCH(QList<bool>, answers);
        QFETCH(bool, accepted);
        ModuleFactory::registerPlainModule<ClosingPage>(OmbrelayModule::TypeDevice);
        ZBDeviceCollection collection(&owner);
        collection.setReceiverPort(ownedPort());
        collection.append(QList<ZBDeviceInfo>{record("A"), record("B")});
        QVERIFY(collection.at(0)->module(OmbrelayModule::TypeDevice));
        QCOMPARE(collection.deviceIdOfModule(collection.at(1)->module(OmbrelayModule::TypeDevice)), 2u);
        ClosingPage::asked = 0;
        ClosingPage::answers = answers;
        QCloseEvent event;
        collection.closeAllModules(&event);
        QCOMPARE(event.isAccepted(), accepted);
        QCOMPARE(ClosingPage::asked, 2);
    }
};

OMBRELAY_TEST_MAIN(TestZBDeviceCollection)
#include "tst_zbdevicecollection.moc"
