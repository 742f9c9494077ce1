#include "testmain.h"

#include "loopbackonly.h"
#include "receiveremulator.h"
#include "support/filesizelimit.h"

#include "app/mainwindow.h"
#include "app/settingspage.h"
#include "base/settings.h"
#include "devices/devicepropertiesmodule.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "modules/modulefactory.h"
#include "widgets/messagebox.h"

#include <QCloseEvent>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>

class RefusingPage : public OmbrelayModule
{
public:
    static inline bool refuse = true;
    ModuleTypes moduleType() const override { return TypeTvList; }
    void retranslate() override {}
    void setMaximumListCount(int) {}

protected:
    void closeEvent(QCloseEvent *event) override { event->setAccepted(!refuse); }
};

// The properties page as a user fills it, and what the window does with its requests; receivers are
// emulators on 127.0.9.x at the receivers' own port.
class TestDeviceProperties : public QObject
{
    Q_OBJECT
private:
    static ZBDeviceInfo record(bool usb, bool full)
    {
        ZBDeviceInfo info(QStringLiteral("Box"), QString(), usb);
        info.setIp(QStringLiteral("192.168.1.10"));
        if (full)
            info.fromXml(ReceiverEmulator::defaultDescription().replace(QStringLiteral("<deviceInfo "),
                                                                        QStringLiteral("<deviceInfo mac=\"00-1E\" ")));
        return info;
    }

private slots:
    void init()
    {
        LoopbackOnly::install();
        QSettings().clear(); // no receivers stored by an earlier run
    }
    void cleanup()
    {
        MessageBox::setAnswerHook({});
        QCOMPARE(LoopbackOnly::strayLookups.load(), 0);
        setMacAddressLookup({});
    }

    // Rows shown, panel height; then what a save with the typed address says or sends.
    void page_data()
    {
        QTest::addColumn<bool>("usb");
        QTest::addColumn<bool>("full");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("ipChanged"); // -1: nothing sent
        QTest::newRow("bare, unchanged padded") << false << false << "192.168.001.010"
                                                << "" << 0;
        QTest::newRow("full, free address") << false << true << "192.168.001.011"
                                            << "" << 1;
        QTest::newRow("taken address") << false << false << "192.168.1.20"
                                       << "This IP is being used by another device." << -1;
        QTest::newRow("network address") << false << false << "192.168.1.0"
                                         << "Please enter a valid IP address before save." << -1;
        QTest::newRow("usb") << true << true << "..."
                             << "" << 0;
    }
    void page()
    {
        QFETCH(bool, usb);
        QFETCH(bool, full);
        QFETCH(QString, typed);
        QFETCH(QString, error);
        QFETCH(int, ipChanged);
        DevicePropertiesModule page;
        page.setKnownAddresses(
            {QHostAddress(QStringLiteral("192.168.1.10")), QHostAddress(QStringLiteral("192.168.1.20"))});
        page.setDeviceInfo(record(usb, full));
        const int rows = (usb ? 0 : 1) + (full ? 5 : 0);
        QCOMPARE(page.pnlProperties->height(), 100 + 20 * rows);
        QCOMPARE(page.btnSave->y(), 200 + 20 * rows);
        QCOMPARE(page.txtIp->isHidden(), usb);
        QSignalSpy saved(&page, &DevicePropertiesModule::saveDeviceInfoRequest);
        page.txtIp->setText(typed);
        page.txtGivenName->setText(QStringLiteral("Den"));
        QTest::keyClick(page.txtGivenName, Qt::Key_Return);
        QCOMPARE(page.lblErrorMessage->isHidden() ? QString() : page.lblErrorMessage->text(), error);
        QCOMPARE(saved.size(), ipChanged < 0 ? 0 : 1);
        if (ipChanged >= 0) {
            QCOMPARE(saved.first().at(1).toBool(), ipChanged == 1);
            QCOMPARE(saved.first().at(0).value<ZBDeviceInfo>().givenName(), QStringLiteral("Den"));
        }
    }

    // Two connected receivers readdressed in turn both come back, each at its new address; a removal
    // from the page is saved at once.
    void windowReaddressesAndRemoves()
    {
        std::vector<std::unique_ptr<ReceiverEmulator>> emulators;
        for (const char *address : {"127.0.9.1", "127.0.9.2", "127.0.9.11", "127.0.9.12"}) {
            emulators.push_back(std::make_unique<ReceiverEmulator>());
            emulators.back()->setAddress(QHostAddress(QString::fromLatin1(address)));
            if (!emulators.back()->start(2376))
                QSKIP("the receivers' port is taken on this machine");
        }
        MessageBox::setAnswerHook([](QDialog *box) { MessageBox::clickButton(box, QStringLiteral("&Yes")); });
        MainWindow window;
        ZBDeviceCollection *collection = window.collection();
        for (const char *address : {"127.0.9.1", "127.0.9.2"}) {
            ZBDeviceInfo info(QStringLiteral("Box"));
            info.setIp(QString::fromLatin1(address));
            collection->append(info);
        }
        QTRY_VERIFY_WITH_TIMEOUT(collection->at(0)->isConnected() && collection->at(1)->isConnected(), 15000);
        for (int i = 0; i < 2; ++i) {
            ZBDeviceInfo info = collection->at(i)->info();
            info.setIp(QStringLiteral("127.0.9.1%1").arg(i + 1));
            QVERIFY(QMetaObject::invokeMethod(&window, "onSaveDeviceInfoRequest", Q_ARG(ZBDeviceInfo, info),
                                              Q_ARG(bool, true)));
        }
        QTRY_VERIFY_WITH_TIMEOUT(collection->at(0)->isConnected() && collection->at(1)->isConnected() &&
                                     emulators[2]->connectionCount() > 0 && emulators[3]->connectionCount() > 0,
                                 15000);

        // A page that refuses to close keeps its receiver, from the settings page and from this page.
        ModuleFactory::registerType(OmbrelayModule::TypeTvList, [](QWidget *, const QVariantMap &) {
            return static_cast<OmbrelayModule *>(new RefusingPage);
        });
        QVERIFY(collection->at(0)->module(OmbrelayModule::TypeTvList));
        emit window.settingsPage()->removeDevicesRequest({collection->at(0)->id(), collection->at(1)->id()});
        QCOMPARE(collection->count(), 1);
        QVERIFY(QMetaObject::invokeMethod(&window, "onRemoveDevicePropertiesPanelRequest",
                                          Q_ARG(quint32, collection->at(0)->id())));
        QCOMPARE(collection->count(), 1);
        RefusingPage::refuse = false;
        QVERIFY(QMetaObject::invokeMethod(&window, "onRemoveDevicePropertiesPanelRequest",
                                          Q_ARG(quint32, collection->at(0)->id())));
        QCOMPARE(collection->count(), 0);
        QObject owner;
        ZBDeviceCollection stored(&owner);
        stored.load();
        QCOMPARE(stored.count(), 0);
    }

    // A connected receiver reports a new share name while it has a given name: Yes to the question renames
    // it and saves the list at once, and a save that fails is said as the other saves are; No keeps the
    // name and the file as they were.
    void shareNameReportedByTheReceiver_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("yes") << "Yes" << false;
        QTest::newRow("no") << "No" << false;
        QTest::newRow("yes, full disk") << "Yes" << true;
    }
    void shareNameReportedByTheReceiver()
    {
        QFETCH(QString, answer);
        QFETCH(bool, fullDisk);
        ReceiverEmulator emulator; // shares as "EMULATOR"
        emulator.setAddress(QHostAddress(QStringLiteral("127.0.9.21")));
        if (!emulator.start(2376))
            QSKIP("the receivers' port is taken on this machine");
        QStringList texts;
        MessageBox::setAnswerHook([&texts, answer](QDialog *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            texts << box->text();
            if (box->icon() != QMessageBox::Question || !MessageBox::clickButton(box, answer))
                QTest::keyClick(dialog, Qt::Key_Escape);
        });
        const auto inFile = [](const char *name) {
            QFile file(QSettings().fileName());
            return file.open(QIODevice::ReadOnly) && file.readAll().contains(name);
        };
        MainWindow window;
        ZBDeviceInfo info(QStringLiteral("Box"));
        info.setIp(QStringLiteral("127.0.9.21"));
        info.setGivenName(QStringLiteral("Kitchen"));
        std::unique_ptr<FileSizeLimit> full;
        {
            window.collection()->append(info); // saved, and connected
            QVERIFY(inFile("Kitchen"));
            if (fullDisk) {
                full = std::make_unique<FileSizeLimit>(0);
                QVERIFY(full->made);
            }
        }
        QTRY_VERIFY_WITH_TIMEOUT(!texts.isEmpty(), 15000);
        QCOMPARE(texts.at(0), QStringLiteral("Kitchen (127.0.9.21) share name has changed to 'EMULATOR'. Would you "
                                             "like to update it now?"));
        const bool renamed = answer == QLatin1String("Yes");
        QCOMPARE(window.collection()->at(0)->info().label(), renamed ? QStringLiteral("EMULATOR") : "Kitchen");
        QCOMPARE(inFile("EMULATOR"), renamed && !fullDisk);
        QCOMPARE(inFile("Kitchen"), !renamed || fullDisk);
        QCOMPARE(texts.size(), fullDisk ? 2 : 1);
        if (fullDisk)
            QVERIFY2(texts.at(1).startsWith(Settings::writeFailureText()), qPrintable(texts.at(1)));
    }

    // Device Connection Properties -> rename -> Save while the settings file cannot be written (a full
    // disk): every Save says so, however often it is pressed, and so does closing; the file keeps the old
    // name until a Save gets through.
    void renameThatCannotBeSaved()
    {
        QStringList texts;
        MessageBox::setAnswerHook([&texts](QDialog *dialog) {
            texts << qobject_cast<QMessageBox *>(dialog)->text();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        const auto inFile = [](const char *name) {
            QFile file(QSettings().fileName());
            return file.open(QIODevice::ReadOnly) && file.readAll().contains(name);
        };
        MainWindow window;
        window.show();
        ZBDeviceInfo info(QStringLiteral("Box"), QString(), true); // on USB: no connection to wait for
        info.setGivenName(QStringLiteral("Kitchen"));
        info.ensureDefaults();
        window.collection()->append(info);
        QVERIFY(window.collection()->save());
        QVERIFY(inFile("Kitchen"));
        const quint32 id = window.collection()->at(0)->id();
        const auto rename = [&](const QString &name) {
            window.selectTreeItem(id, OmbrelayModule::TypeDevice);
            window.showPropertiesPanel();
            auto *page = qobject_cast<DevicePropertiesModule *>(window.currentModule());
            QVERIFY(page);
            page->txtGivenName->setText(name);
            QTest::mouseClick(page->btnSave, Qt::LeftButton);
            QCOMPARE(window.collection()->at(0)->info().givenName(), name);
        };
        const QString said = Settings::writeFailureText();
        {
            FileSizeLimit full(0);
            QVERIFY(full.made);
            for (int save = 1; save <= 2; ++save) {
                rename(QStringLiteral("Den"));
                QCOMPARE(texts.size(), save);
                QVERIFY2(texts.last().startsWith(said), qPrintable(texts.last()));
                QVERIFY(inFile("Kitchen") && !inFile("Den"));
            }
        }
        rename(QStringLiteral("Den"));
        QCOMPARE(texts.size(), 2);
        QVERIFY(inFile("Den") && !inFile("Kitchen"));
        {
            FileSizeLimit full(0);
            QVERIFY(full.made);
            rename(QStringLiteral("Attic"));
            QCOMPARE(texts.size(), 3);
            QVERIFY(window.close());
            QCOMPARE(texts.size(), 4);
            QVERIFY(texts.last().startsWith(said));
            QVERIFY(inFile("Den") && !inFile("Attic"));
        }
    }
};

OMBRELAY_TEST_MAIN(TestDeviceProperties)
#include "tst_deviceproperties.moc"
