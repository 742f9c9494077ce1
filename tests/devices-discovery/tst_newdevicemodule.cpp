#include "testmain.h"

#include "loopbackonly.h"
#include "receiveremulator.h"
#include "standinwindow.h"
#include "support/unwritablesettings.h"

#include "base/settings.h"
#include "base/strictipv4.h"
#include "base/translatorloader.h"
#include "devices/newdevicemodule.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "widgets/messagebox.h"

#include <QCloseEvent>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTranslator>

// The add-device page offscreen, searching loopback emulators only; boxes answered by the hook.
class TestNewDeviceModule : public QObject
{
    Q_OBJECT
private:
    std::vector<std::unique_ptr<ReceiverEmulator>> m_emulators;
    QStringList m_boxes;
    bool m_answerYes = false;

    quint16 startEmulators(const QStringList &addresses, bool silent = false)
    {
        return LoopbackOnly::startEmulators(m_emulators, addresses, silent);
    }

    static void setRange(NewDeviceModule &page, const QString &first, const QString &last)
    {
        page.rbSearchScope->setChecked(true);
        page.txtStartSearch->setText(first);
        page.txtEndSearch->setText(last);
    }

private slots:
    void init()
    {
        QSettings().remove(QStringLiteral("SearchModule/FastScanEnabled"));
        LoopbackOnly::install();
        Settings::setBool(Settings::SearchCheckConnectionEnabled, false);
        Settings::setString(Settings::SearchStartIP, QStringLiteral("0"));
        Settings::setString(Settings::SearchEndIP, QStringLiteral("0"));
        m_boxes.clear();
        MessageBox::setAnswerHook([this](QDialog *box) {
            m_boxes << qobject_cast<QMessageBox *>(box)->text();
            MessageBox::clickButton(box, m_answerYes ? QStringLiteral("&Yes") : QStringLiteral("&No"));
        });
    }
    void cleanup()
    {
        m_emulators.clear();
        MessageBox::setAnswerHook({});
        QCOMPARE(LoopbackOnly::strayLookups.load(), 0);
        setMacAddressLookup({});
    }

    void searchStatesAndCheckAll()
    {
        QObject owner; // the receivers hang on the collection's parent
        ZBDeviceCollection collection(&owner);
        NewDeviceModule page(nullptr, &collection);
        page.searcher().setPort(startEmulators({"127.0.5.5", "127.0.5.9"}));
        // Fast scan finds nothing where the maker's MAC is unknown: it starts unticked.
        QVERIFY(!page.cbFastScan->isChecked());
        setRange(page, QStringLiteral("127.000.005.001"), QStringLiteral("127.000.005.020"));
        page.btnSearch2->click();
        QCOMPARE(page.wizard->currentIndex(), 3);
        QVERIFY(page.btnStopSearch->isEnabled());
        QVERIFY(!page.tblFoundDevices->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!page.btnStopSearch->isEnabled(), 20000);
        QCOMPARE(page.tblFoundDevices->model()->rowCount(), 2);
        QVERIFY(page.btnFinish_2->isEnabled());
        QCOMPARE(Settings::getString(Settings::SearchStartIP, {}), QString::number(0x7F000501));

        page.btnUnselectAll->click();
        QCOMPARE(page.btnUnselectAll->text(), QStringLiteral("Check all"));
        QVERIFY(!page.btnFinish_2->isEnabled());
        page.btnUnselectAll->click();
        QCOMPARE(page.btnUnselectAll->text(), QStringLiteral("Uncheck all"));
        page.btnFinish_2->click();
        QCOMPARE(collection.count(), 2);
        QCOMPARE(page.wizard->currentIndex(), 0);
    }

    void rangeErrors_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("error");
        QTest::newRow("reversed") << "10.0.0.9"
                                  << "10.0.0.1"
                                  << "Starting IP address has to be lower than last\none.Please specify correct pair.";
        QTest::newRow("too wide") << "10.1.0.1"
                                  << "10.2.0.1"
                                  << "The search range may hold at most 65536 addresses.";
        QTest::newRow("bad start") << "10.1.0.0"
                                   << "10.2.0.1"
                                   << "Start IP is not valid.";
        // The reason is the address that is no address, not the order.
        QTest::newRow("bad end") << "127.000.000.004"
                                 << "127.000.000.955"
                                 << "End IP is not valid.";
        QTest::newRow("bad end below start") << "127.000.000.200"
                                             << "127.000.000.0"
                                             << "End IP is not valid.";
    }
    void rangeErrors()
    {
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QString, error);
        NewDeviceModule page(nullptr, nullptr);
        QSignalSpy started(&page.searcher(), &DeviceDiscovery::DiscoveryStarted);
        page.btnSearchSettings->click();
        setRange(page, first, last);
        page.btnSearch2->click();
        QCOMPARE(page.txtSearchSettingsErrorMessage->text(), error);
        QVERIFY(!page.txtSearchSettingsErrorMessage->isHidden());
        page.btnGoBack_4->setEnabled(true);
        page.btnGoBack_4->click();
        QCOMPARE(page.wizard->currentIndex(), 4);
        QCOMPARE(started.size(), 0);
        // Only a valid range is stored.
        QCOMPARE(Settings::getString(Settings::SearchEndIP, {}), QStringLiteral("0"));
    }

    // A range search lists the receivers found in its range, and of the connected ones only those in it;
    // a second, wider search then lists the connected one too.
    void rangeListsOnlyItsRange()
    {
        const quint16 port = startEmulators({"127.0.6.1", "127.0.6.5"});
        QVERIFY(port);
        QObject owner; // the receivers hang on the collection's parent
        ZBDeviceCollection collection(&owner);
        collection.setReceiverPort(port);
        ZBDeviceInfo saved(QStringLiteral("Saved"), QString(), false);
        saved.setIp(QStringLiteral("127.0.6.1"));
        saved.ensureDefaults();
        collection.append(saved);
        QTRY_VERIFY_WITH_TIMEOUT(collection.at(0)->isConnected(), 10000);
        NewDeviceModule page(nullptr, &collection);
        page.searcher().setPort(port);
        auto foundAddresses = [&page] {
            QStringList addresses;
            const QAbstractItemModel *model = page.tblFoundDevices->model();
            for (int row = 0; row < model->rowCount(); ++row)
                addresses << model->index(row, 1).data().toString();
            return addresses;
        };
        for (const auto &[first, found] : {std::pair{"127.000.006.004", QStringList{"127.0.6.5"}},
                                           {"127.000.006.001", QStringList{"127.0.6.1", "127.0.6.5"}}}) {
            setRange(page, QString::fromLatin1(first), QStringLiteral("127.000.006.009"));
            page.btnSearch2->click();
            QCOMPARE(page.wizard->currentIndex(), 3);
            QTRY_VERIFY_WITH_TIMEOUT(!page.btnStopSearch->isEnabled(), 20000);
            QCOMPARE(foundAddresses(), found);
            page.btnGoBack_3->click();
        }
    }

    // Search choices the store could not take are said, naming the settings file; the page goes on.
    void searchSettingsNotStored()
    {
        NewDeviceModule page(nullptr, nullptr);
        page.btnSearchSettings->click();
        setRange(page, QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.9"));
        {
            UnwritableSettings store;
            QVERIFY(store.made);
            page.btnGoBack_4->click();
            QCOMPARE(m_boxes, QStringList{QStringLiteral("The settings could not be saved to \"%1\".")
                                              .arg(QDir::toNativeSeparators(store.file))});
            QCOMPARE(page.wizard->currentIndex(), 0);
        }
        page.btnSearchSettings->click();
        page.btnGoBack_4->click(); // the store takes writes again: stored, nothing said
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(Settings::getString(Settings::SearchEndIP, {}), QString::number(0x0A000009));
    }

    // A stored range restores padded (never read as octal); one the search would refuse restores unchecked.
    void rangeRestore()
    {
        for (const auto &[start, end] :
             {std::pair{0xC0A80101u, 0xC0A801FEu}, {0xC0A801FEu, 0xC0A80101u}, {0u, 0xC0A801FEu}}) {
            Settings::setString(Settings::SearchStartIP, QString::number(start));
            Settings::setString(Settings::SearchEndIP, QString::number(end));
            NewDeviceModule page(nullptr, nullptr);
            QCOMPARE(page.rbSearchScope->isChecked(), start == 0xC0A80101u);
            if (page.rbSearchScope->isChecked())
                QCOMPARE(page.txtStartSearch->text() + u'-' + page.txtEndSearch->text(),
                         QStringLiteral("192.168.001.001-192.168.001.254"));
        }
    }

    void addressPath_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("box");
        QTest::newRow("found") << "127.000.007.010" << false << 2 << "";
        QTest::newRow("nobody, No") << "127.0.7.6" << false << 1
                                    << "Ombrelay could not establish connection to this device. Would you like to "
                                       "add it anyway?";
        QTest::newRow("nobody, Yes") << "127.0.7.6" << true << 2
                                     << "Ombrelay could not establish connection to this device. Would you like to "
                                        "add it anyway?";
        QTest::newRow("listed") << "127.0.7.8" << false << 1 << "This IP is being used by another device.";
        QTest::newRow("invalid") << "127.0.7.0" << false << 1 << "";
    }
    void addressPath()
    {
        QFETCH(QString, typed);
        QFETCH(bool, answerYes);
        QFETCH(int, page);
        QFETCH(QString, box);
        m_answerYes = answerYes;
        QObject owner; // the receivers hang on the collection's parent
        const quint16 port = startEmulators({"127.0.7.10"});
        ZBDeviceCollection collection(&owner);
        collection.setReceiverPort(port); // the listed receiver is sought where nothing answers
        ZBDeviceInfo listed(QStringLiteral("Listed"));
        listed.setIp(QStringLiteral("127.0.7.8"));
        collection.append(listed);
        NewDeviceModule wizard(nullptr, &collection);
        wizard.searcher().setPort(port);
        QSignalSpy added(&wizard, &NewDeviceModule::addNewDeviceRequest);
        wizard.btnAddDeviceManually->click();
        wizard.txtIp1->setText(typed);
        wizard.btnConnectNewDevice->click();
        QTRY_VERIFY_WITH_TIMEOUT(!wizard.searcher().isBusy(), 10000);
        QTRY_COMPARE(wizard.wizard->currentIndex(), page);
        QCOMPARE(m_boxes.join(QString()), box);
        QCOMPARE(!wizard.txtInvalidIpAddress->isHidden(), QTest::currentDataTag() == QByteArray("invalid"));
        if (page == 1) {
            QVERIFY(wizard.btnConnectNewDevice->isEnabled());
            return;
        }
        if (box.isEmpty()) {
            // The name line is shortened to its fixed place; the tool tip holds it whole.
            QVERIFY(wizard.lblConnectedTo->text() == wizard.lblConnectedTo->toolTip() ||
                    wizard.lblConnectedTo->text().endsWith(QChar(0x2026)));
            const QStringList details = {wizard.lblConnectedTo->toolTip(),  wizard.lblIPAddress->text(),
                                         wizard.lblMacAddress->text(),      wizard.lblHardwareVersion->text(),
                                         wizard.lblSoftwareVersion->text(), wizard.lblProtocolVersion->text()};
            QCOMPARE(details, QStringList({"Connected to Ombrelay Emulator", "IP address: 127.0.7.10",
                                           "MAC address: 00-1E-B8-01-02-03", "Hardware version: EMU1",
                                           "Software version: 1.0.0", "Protocol version: 1.4"}));
        } else {
            QCOMPARE(wizard.txtDeviceName->text(), QStringLiteral("Unknown device"));
        }
        wizard.btnFinish->click();
        QCOMPARE(added.size(), 1);
        QCOMPARE(added.first().first().value<ZBDeviceInfo>().ip().toString(), StrictIPv4::normalized(typed));
    }

    // A typed address connects on Return and on keypad Enter as on the button.
    void addressByKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    }
    void addressByKeyboard()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        NewDeviceModule wizard(nullptr, nullptr);
        wizard.searcher().setPort(startEmulators({"127.0.7.11"}));
        wizard.btnAddDeviceManually->click();
        QTest::keyClicks(wizard.txtIp1, QStringLiteral("127.0.7.11"));
        QCOMPARE(StrictIPv4::normalized(wizard.txtIp1->text()), QStringLiteral("127.0.7.11"));
        QTest::keyClick(wizard.txtIp1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_COMPARE_WITH_TIMEOUT(wizard.wizard->currentIndex(), 2, 10000);
        QCOMPARE(wizard.lblIPAddress->text(), QStringLiteral("IP address: 127.0.7.11"));
        QVERIFY(m_boxes.isEmpty());
    }

    // A language switch while a found receiver is shown: its details in the new language, the name the
    // user typed kept; and back again. The USB page keeps its own button text likewise.
    void languageSwitchKeepsShownTexts()
    {
        NewDeviceModule wizard(nullptr, nullptr);
        wizard.searcher().setPort(startEmulators({"127.0.7.13"}));
        wizard.btnAddDeviceManually->click();
        wizard.txtIp1->setText(QStringLiteral("127.0.7.13"));
        wizard.btnConnectNewDevice->click();
        QTRY_COMPARE_WITH_TIMEOUT(wizard.wizard->currentIndex(), 2, 10000);
        QTRY_VERIFY(!wizard.searcher().isBusy());
        wizard.txtDeviceName->setText(QStringLiteral("Living room"));
        const auto details = [&wizard] {
            return QStringList{wizard.lblConnectedTo->toolTip(),  wizard.lblIPAddress->text(),
                               wizard.lblMacAddress->text(),      wizard.lblHardwareVersion->text(),
                               wizard.lblSoftwareVersion->text(), wizard.lblProtocolVersion->text(),
                               wizard.txtDeviceName->text()};
        };
        QTranslator translator;
        const auto english = qScopeGuard([&] { loadTranslator(&translator, QStringLiteral("en_EN")); });
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        QTRY_COMPARE(wizard.btnConnectNewDevice->text(), QStringLiteral("Verbinden"));
        QCOMPARE(details(), QStringList({"Verbunden mit Ombrelay Emulator", "IP-Adresse: 127.0.7.13",
                                         "MAC-Adresse: 00-1E-B8-01-02-03", "Hardwareversion: EMU1",
                                         "Softwareversion: 1.0.0", "Protokollversion: 1.4", "Living room"}));
        QVERIFY(wizard.lblConnectedTo->text() == wizard.lblConnectedTo->toolTip() ||
                (wizard.lblConnectedTo->text().startsWith(QStringLiteral("Verbunden mit")) &&
                 wizard.lblConnectedTo->text().endsWith(QChar(0x2026))));
        loadTranslator(&translator, QStringLiteral("en_EN"));
        QTRY_COMPARE(wizard.btnConnectNewDevice->text(), QStringLiteral("Connect"));
        QCOMPARE(details(), QStringList({"Connected to Ombrelay Emulator", "IP address: 127.0.7.13",
                                         "MAC address: 00-1E-B8-01-02-03", "Hardware version: EMU1",
                                         "Software version: 1.0.0", "Protocol version: 1.4", "Living room"}));
        // The USB way shows "Create" on its button, in each language.
        wizard.btnGoBack_2->click();
        wizard.btnGoBack->click();
        wizard.btnAddDeviceUSB->click();
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        QTRY_COMPARE(wizard.btnFinish->text(), QStringLiteral("Erstellen"));
    }

    // A language switch during a search keeps the search's own message, in the new language; after the
    // search the check button keeps what it says.
    void languageSwitchDuringSearch()
    {
        QObject owner; // the receivers hang on the collection's parent
        ZBDeviceCollection collection(&owner);
        NewDeviceModule page(nullptr, &collection);
        page.searcher().setPort(startEmulators({"127.0.8.5", "127.0.8.6"}, true)); // silent: the search goes on
        setRange(page, QStringLiteral("127.0.8.5"), QStringLiteral("127.0.8.6"));
        page.btnSearch2->click();
        QTRY_COMPARE(page.searcher().runningProbes(), 2);
        QCOMPARE(page.txtSearchingMessage->text(), QStringLiteral("Searching for devices..."));
        QTranslator translator;
        const auto english = qScopeGuard([&] { loadTranslator(&translator, QStringLiteral("en_EN")); });
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        QTRY_COMPARE(page.txtSearchingMessage->text(), QStringLiteral("Geräte werden gesucht..."));
        page.btnStopSearch->click();
        QTRY_VERIFY(!page.searcher().isBusy());
        loadTranslator(&translator, QStringLiteral("en_EN"));
        QTRY_COMPARE(page.txtSearchingMessage->text(), QStringLiteral("Search is stopping. Please wait."));
    }

    // The complaint about an earlier text goes once an address parses, whatever follows.
    void invalidThenInUse()
    {
        QObject owner;
        ZBDeviceCollection collection(&owner);
        collection.setReceiverPort(startEmulators({"127.0.7.12"}));
        ZBDeviceInfo listed(QStringLiteral("Listed"));
        listed.setIp(QStringLiteral("127.0.7.8"));
        collection.append(listed);
        NewDeviceModule wizard(nullptr, &collection);
        wizard.btnAddDeviceManually->click();
        wizard.txtIp1->setText(QStringLiteral("127.0.7.0"));
        wizard.btnConnectNewDevice->click();
        QVERIFY(!wizard.txtInvalidIpAddress->isHidden());
        wizard.txtIp1->setText(QStringLiteral("127.0.7.8"));
        wizard.btnConnectNewDevice->click();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("This IP is being used by another device.")});
        QVERIFY(wizard.txtInvalidIpAddress->isHidden());
        QCOMPARE(wizard.wizard->currentIndex(), 1);
    }

    void usbPath()
    {
        NewDeviceModule page(nullptr, nullptr);
        QSignalSpy added(&page, &NewDeviceModule::addNewDeviceRequest);
        page.btnAddDeviceUSB->click();
        QCOMPARE(page.wizard->currentIndex(), 2);
        QCOMPARE(page.btnFinish->text(), QStringLiteral("Create"));
        QCOMPARE(page.txtDeviceName->text(), QStringLiteral("Unknown device"));
        page.txtDeviceName->setText(QStringLiteral("Attic"));
        page.btnFinish->click();
        const ZBDeviceInfo info = added.first().first().value<ZBDeviceInfo>();
        QCOMPARE(info.name(), QStringLiteral("USB managed device"));
        QCOMPARE(info.givenName(), QStringLiteral("Attic"));
        QVERIFY(info.isUsbManaged());
    }

    // Closing during a search stops it and closes the window once the probes have ended.
    void closeMidSearch_data()
    {
        QTest::addColumn<bool>("fastScan");
        QTest::newRow("asked, Yes") << false;
        QTest::newRow("fast scan") << true;
    }
    void closeMidSearch()
    {
        QFETCH(bool, fastScan);
        m_answerYes = true;
        StandInWindow window;
        NewDeviceModule page(&window, nullptr);
        page.searcher().setPort(startEmulators({"127.0.8.1", "127.0.8.2"}, true));
        page.cbFastScan->setChecked(fastScan);
        setRange(page, QStringLiteral("127.0.8.1"), QStringLiteral("127.0.8.2"));
        page.btnSearch2->click();
        QTRY_COMPARE(page.searcher().runningProbes(), 2);
        QCloseEvent event;
        QCoreApplication::sendEvent(&page, &event);
        QVERIFY(!event.isAccepted());
        QVERIFY(!page.btnStopSearch->isEnabled()); // stopped at once, the probes still ending
        QCOMPARE(m_boxes.size(), fastScan ? 0 : 1);
        QCOMPARE(window.closes, 0);
        QTRY_COMPARE(window.closes, 1);
        QVERIFY(!page.searcher().isBusy());
    }
};

OMBRELAY_TEST_MAIN(TestNewDeviceModule)
#include "tst_newdevicemodule.moc"
