#include "testmain.h"

#include "modules/modulefactory.h"
#include "modules/ombrelaymodule.h"
#include "base/settings.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "devices/zbdevice.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/zbdevicecollection.h"
#include "receiveremulator.h"

#include <QCloseEvent>
#include <QDomDocument>
#include <QSettings>
#include <QSignalSpy>

namespace {

// A module page that may refuse to close.
class ClosingPage : public OmbrelayModule
{
public:
    explicit ClosingPage(QWidget *parent = nullptr)
        : OmbrelayModule(parent)
    {}
    ModuleTypes moduleType() const override { return TypeDevice; }
    void retranslate() override {}
    static inline int asked = 0;
    static inline QList<bool> answers; // one per page asked, in order; agree when none is left

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++asked;
        if (answers.isEmpty() || answers.takeFirst())
            event->accept();
        else
            event->ignore();
    }
};

ZBDeviceInfo usbRecord(const QString &name)
{
    ZBDeviceInfo info(name, QString(), true);
    info.setTvListMaxCount(1000);
    info.ensureDefaults();
    return info;
}

// Addresses inside 127.0.0.0/8 where nothing listens: such a receiver tries and fails to connect.
ZBDeviceInfo networkRecord(const QString &name, const QString &ip)
{
    ZBDeviceInfo info(name, QString(), false);
    info.setIp(ip);
    return info;
}

QStringList names(const ZBDeviceCollection &collection)
{
    QStringList result;
    for (int i = 0; i < collection.count(); ++i)
        result << collection.at(i)->info().name();
    return result;
}

QList<quint32> ids(const ZBDeviceCollection &collection)
{
    QList<quint32> result;
    for (int i = 0; i < collection.count(); ++i)
        result << collection.at(i)->id();
    return result;
}

// The stored list of a collection holding records, as an earlier run left it.
QString storeRecords(const QList<ZBDeviceInfo> &records)
{
    QObject owner;
    ZBDeviceCollection writer(&owner);
    for (const ZBDeviceInfo &info : records)
        writer.append(info);
    return QSettings().value(QStringLiteral("OmbrelayDeviceList")).toString();
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

    // What a stored list may hold; none of it is rewritten by loading.
    void storedTexts_data()
    {
        QTest::addColumn<QString>("text"); // null: nothing stored yet
        QTest::addColumn<bool>("loads");
        QTest::newRow("first start") << QString() << false;
        QTest::newRow("empty list") << "<!DOCTYPE ZBDeviceCollection>\n<devices/>\n" << true;
        QTest::newRow("not xml") << "devices" << false;
        QTest::newRow("other root") << "<receivers><deviceInfo name=\"x\"/></receivers>" << false;
        QTest::newRow("comment first") << "<!-- saved --><devices><deviceInfo name=\"x\"/></devices>" << false;
    }
    void storedTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, loads);
        if (!text.isNull())
            Settings::setString(Settings::OmbrelayDeviceList, text);
        ZBDeviceCollection collection(&owner);
        QCOMPARE(collection.load(), loads);
        QCOMPARE(collection.count(), 0);
        QCOMPARE(stored(), text);
    }

    void emptyCollectionSavedForm()
    {
        ZBDeviceCollection collection(&owner);
        QVERIFY(collection.save());
        QCOMPARE(stored(), QStringLiteral("<!DOCTYPE ZBDeviceCollection>\n<devices/>\n"));
    }

    void savedFormAndRoundTrip()
    {
        ZBDeviceCollection collection(&owner);
        ZBDeviceInfo first = usbRecord(QStringLiteral("Stick one"));
        first.setGivenName(QStringLiteral("Bedroom"));
        first.setPassword(QStringLiteral("secret"));
        first.setRememberPassword(true);
        collection.append(first);
        collection.append(usbRecord(QStringLiteral("Stick two")));
        QCOMPARE(ids(collection), (QList<quint32>{1, 2}));

        const QString text = stored();
        QVERIFY(text.startsWith(QStringLiteral("<!DOCTYPE ZBDeviceCollection>\n<devices>\n <deviceInfo ")));
        QVERIFY(text.endsWith(QStringLiteral("</devices>\n")));
        QVERIFY(!text.contains(QStringLiteral("secret")));
        QDomDocument document;
        QVERIFY(bool(document.setContent(text)));
        QCOMPARE(document.doctype().name(), QStringLiteral("ZBDeviceCollection"));
        const QDomElement root = document.documentElement();
        QCOMPARE(root.tagName(), QStringLiteral("devices"));
        QCOMPARE(root.elementsByTagName(QStringLiteral("deviceInfo")).size(), 2);
        const QDomElement record = root.firstChildElement(QStringLiteral("deviceInfo"));
        QCOMPARE(record.attribute(QStringLiteral("name")), QStringLiteral("Stick one"));
        QCOMPARE(record.attribute(QStringLiteral("givenName")), QStringLiteral("Bedroom"));
        QVERIFY(!record.hasAttribute(QStringLiteral("id")));

        // A later start reads the same receivers, numbered afresh, and writes the same text.
        QObject secondOwner;
        ZBDeviceCollection again(&secondOwner);
        QVERIFY(again.load());
        QCOMPARE(names(again), (QStringList{"Stick one", "Stick two"}));
        QCOMPARE(ids(again), (QList<quint32>{1, 2}));
        QCOMPARE(again.at(0)->info().givenName(), QStringLiteral("Bedroom"));
        QVERIFY(again.at(0)->info().isUsbManaged());
        // Saving what was loaded and loading it again is stable.
        QVERIFY(again.save());
        const QString reloadedText = stored();
        QObject thirdOwner;
        ZBDeviceCollection third(&thirdOwner);
        QVERIFY(third.load());
        QCOMPARE(third.toXmlText(), reloadedText);
        QCOMPARE(names(third), (QStringList{"Stick one", "Stick two"}));
    }

    void idsFromOneAndReused()
    {
        ZBDeviceCollection collection(&owner);
        for (const char *name : {"A", "B", "C"})
            collection.append(usbRecord(QString::fromLatin1(name)));
        QCOMPARE(ids(collection), (QList<quint32>{1, 2, 3}));
        QCOMPARE(collection.nextFreeId(), 4u);
        collection.removeDevice(2);
        QCOMPARE(collection.deviceById(2), nullptr);
        QCOMPARE(collection.indexOf(3), 1);
        QCOMPARE(collection.nextFreeId(), 2u);
        collection.append(usbRecord(QStringLiteral("D")));
        QCOMPARE(ids(collection), (QList<quint32>{1, 3, 2}));
        QCOMPARE(collection.deviceById(2)->info().name(), QStringLiteral("D"));
        collection.removeDevice(2);
        QVERIFY(collection.save());

        QObject secondOwner;
        ZBDeviceCollection restarted(&secondOwner);
        QVERIFY(restarted.load());
        QCOMPARE(names(restarted), (QStringList{"A", "C"}));
        QCOMPARE(ids(restarted), (QList<quint32>{1, 2}));
    }

    void duplicateAddressesAreRefused()
    {
        ZBDeviceCollection collection(&owner);
        QSignalSpy added(&collection, &ZBDeviceCollection::DeviceAdded);
        collection.append(networkRecord(QStringLiteral("First"), QStringLiteral("127.0.0.2")));
        const QString afterFirst = stored();
        collection.append(networkRecord(QStringLiteral("Second"), QStringLiteral("127.0.0.2")));
        QCOMPARE(names(collection), QStringList{"First"});
        QCOMPARE(added.count(), 1);
        QCOMPARE(stored(), afterFirst);
        QVERIFY(collection.containsAddress(QHostAddress(QStringLiteral("127.0.0.2"))));
        // A USB-managed receiver is listed whatever its address.
        ZBDeviceInfo usb = usbRecord(QStringLiteral("Stick"));
        usb.setIp(QStringLiteral("127.0.0.2"));
        collection.append(usb);
        QCOMPARE(names(collection), (QStringList{"First", "Stick"}));
        QCOMPARE(collection.deviceAddresses().size(), 2);
    }

    void storedDuplicatesLoadOnce()
    {
        QString text = storeRecords({networkRecord(QStringLiteral("A"), QStringLiteral("127.0.0.3")),
                                     networkRecord(QStringLiteral("B"), QStringLiteral("127.0.0.4"))});
        text.replace(QStringLiteral("127.0.0.4"), QStringLiteral("127.0.0.3"));
        Settings::setString(Settings::OmbrelayDeviceList, text);
        ZBDeviceCollection collection(&owner);
        QVERIFY(collection.load());
        QCOMPARE(names(collection), QStringList{"A"});
        // Loading does not rewrite the list; the next save writes what is listed.
        QCOMPARE(stored(), text);
        collection.save();
        QCOMPARE(QDomDocument().setContent(stored()), true);
        QVERIFY(!stored().contains(QStringLiteral("\"B\"")));
    }

    void foreignNodesAreSkipped()
    {
        QString text = storeRecords({usbRecord(QStringLiteral("A")), usbRecord(QStringLiteral("B"))});
        const qsizetype second =
            text.indexOf(QStringLiteral(" <deviceInfo"), text.indexOf(QStringLiteral("<deviceInfo")) + 5);
        QVERIFY(second > 0);
        text.insert(second, QStringLiteral(" <!-- note -->\n <printer name=\"x\"/>\n"));
        Settings::setString(Settings::OmbrelayDeviceList, text);
        ZBDeviceCollection collection(&owner);
        QVERIFY(collection.load());
        QCOMPARE(names(collection), (QStringList{"A", "B"}));
        QCOMPARE(stored(), text);
    }

    void connectedReceiverIsDeletedOnlyAfterItsEnd()
    {
        ReceiverEmulator emulator;
        QVERIFY(emulator.start());
        ZBDeviceCollection collection(&owner);
        QSignalSpy states(&collection, &ZBDeviceCollection::DeviceStateChanged);
        ZBDeviceInfo info(QStringLiteral("Box"), QString(), false);
        info.setIp(emulator.host());
        QPointer<ZBDevice> device = new ZBDevice(info, &owner);
        device->communicationManager()->setPort(emulator.port());
        collection.append(device.data());
        QCOMPARE(collection.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(device->isConnected(), 10000);

        collection.removeDevice(device->id());
        QCOMPARE(collection.deviceById(1), nullptr);
        QVERIFY(collection.deviceAddresses().isEmpty());
        QCOMPARE(collection.pendingRemovalCount(), 1);
        QVERIFY(device); // still there, disconnecting

        // A receiver appended meanwhile may get the same id; it is not the one deleted.
        collection.append(usbRecord(QStringLiteral("Stick")));
        QCOMPARE(collection.at(0)->id(), 1u);
        QPointer<ZBDevice> newcomer = collection.at(0);

        QTRY_VERIFY_WITH_TIMEOUT(!device, 10000);
        QStringList seen;
        for (const QList<QVariant> &args : states)
            seen << args.at(1).toString();
        QVERIFY(seen.contains(QStringLiteral("disconnecting")));
        QCOMPARE(seen.last(), QStringLiteral("disconnected"));
        QVERIFY(newcomer);
        QCOMPARE(collection.count(), 1);
        QCOMPARE(collection.pendingRemovalCount(), 0);
    }

    void idleReceiverIsDeletedAtOnce()
    {
        ZBDeviceCollection collection(&owner);
        collection.append(usbRecord(QStringLiteral("Stick")));
        QPointer<ZBDevice> device = collection.at(0);
        QSignalSpy states(&collection, &ZBDeviceCollection::DeviceStateChanged);
        collection.removeDevice(1);
        QVERIFY(!device);
        QCOMPARE(states.count(), 0);
        collection.removeDevice(1); // gone: nothing
        QCOMPARE(collection.count(), 0);
    }

    void batchAppends()
    {
        ZBDeviceCollection collection(&owner);
        QSignalSpy none(&collection, &ZBDeviceCollection::NoDeviceAdded);
        collection.append(QList<ZBDeviceInfo>{});
        QCOMPARE(none.count(), 0); // empty collection: nothing to report
        collection.append(QList<ZBDeviceInfo>{networkRecord(QStringLiteral("A"), QStringLiteral("127.0.0.5"))});
        QCOMPARE(none.count(), 0);
        collection.append(QList<ZBDeviceInfo>{});
        QCOMPARE(none.count(), 1);
        collection.append(QList<ZBDeviceInfo>{networkRecord(QStringLiteral("B"), QStringLiteral("127.0.0.5")),
                                              networkRecord(QStringLiteral("C"), QStringLiteral("127.0.0.5"))});
        QCOMPARE(none.count(), 2);
        collection.append(QList<ZBDeviceInfo>{networkRecord(QStringLiteral("D"), QStringLiteral("127.0.0.6")),
                                              networkRecord(QStringLiteral("E"), QStringLiteral("127.0.0.6"))});
        QCOMPARE(none.count(), 2);
        QCOMPARE(names(collection), (QStringList{"A", "D"}));
    }

    void recordsForAListFile_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("tv project") << "tvqvxc" << QStringList{"TV", "All"};
        QTest::newRow("tv project, capitals") << "TVQVXC" << QStringList{"TV", "All"};
        QTest::newRow("tv export") << "tvqvx" << QStringList{"TV", "All"};
        QTest::newRow("radio") << "rdqvxc" << QStringList{"Radio", "All"};
        QTest::newRow("links") << "lkqvx" << QStringList{"All"};
        QTest::newRow("other") << "xml" << QStringList{};
        QTest::newRow("two parts") << "list.tvqvx" << QStringList{};
    }
    void recordsForAListFile()
    {
        QFETCH(QString, suffix);
        QFETCH(QStringList, expected);
        ZBDeviceCollection collection(&owner);
        ZBDeviceInfo tv = usbRecord(QStringLiteral("TV"));
        ZBDeviceInfo radio(QStringLiteral("Radio"), QString(), true);
        radio.setRadioListMaxCount(500);
        ZBDeviceInfo all(QStringLiteral("All"), QString(), true);
        all.setTvListMaxCount(1000);
        all.setRadioListMaxCount(500);
        all.setNetListMaxCount(50);
        collection.append(tv);
        collection.append(radio);
        collection.append(all);
        QStringList found;
        for (const ZBDeviceInfo &info : collection.devicesForFileSuffix(suffix))
            found << info.name();
        QCOMPARE(found, expected);
    }

    void closeAllAsksEveryReceiverAndKeepsARefusal_data()
    {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("all agree") << QList<bool>{true, true} << true;
        QTest::newRow("first refuses") << QList<bool>{false, true} << false;
        QTest::newRow("second refuses") << QList<bool>{true, false} << false;
    }
    void closeAllAsksEveryReceiverAndKeepsARefusal()
    {
        QFETCH(QList<bool>, answers);
        QFETCH(bool, accepted);
        ModuleFactory::registerPlainModule<ClosingPage>(OmbrelayModule::TypeDevice);
        ZBDeviceCollection collection(&owner);
        collection.append(usbRecord(QStringLiteral("A")));
        collection.append(usbRecord(QStringLiteral("B")));
        QVERIFY(collection.at(0)->module(OmbrelayModule::TypeDevice));
        OmbrelayModule *second = collection.at(1)->module(OmbrelayModule::TypeDevice);
        QVERIFY(second);
        QCOMPARE(collection.deviceIdOfModule(second), 2u);
        ClosingPage::asked = 0;
        ClosingPage::answers = answers;
        QCloseEvent event;
        collection.closeAllModules(&event);
        QCOMPARE(event.isAccepted(), accepted);
        QCOMPARE(ClosingPage::asked, 2); // every receiver was asked
    }
};

OMBRELAY_TEST_MAIN(TestZBDeviceCollection)
#include "tst_zbdevicecollection.moc"
