#include "testmain.h"

#include "app/mainwindow.h"
#include "widgets/messagebox.h"
#include "modules/modulefactory.h"
#include "base/settings.h"
#include "base/translatorloader.h"
#include "devices/zbdevice.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/zbdevicecollection.h"

#include <QAbstractItemModelTester>
#include <QCloseEvent>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTranslator>

// A receiver's page as the window sees it; the start page also asks for its receiver's other pages.
class DevicePage : public OmbrelayModule
{
    Q_OBJECT
public:
    explicit DevicePage(QWidget *parent = nullptr)
        : OmbrelayModule(parent)
    {}
    ModuleTypes moduleType() const override { return TypeDevice; }
    void retranslate() override {}
    void setLinkListButtonVisible(bool) {}
    void setRadioListButtonVisible(bool) {}
    void setTvListButtonVisible(bool) {}
    void setMediaExplorerButtonVisible(bool) {}
    void onShow() override
    {
        ++shows;
        OmbrelayModule::onShow();
    }
    int shows = 0;
    bool refuseClose = false;
    int requestConnections() const { return receivers(SIGNAL(showModuleRequest(OmbrelayModule::ModuleTypes))); }

signals:
    void showModuleRequest(OmbrelayModule::ModuleTypes type);

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (refuseClose)
            event->ignore();
        else
            event->accept();
    }
};

class ListPage : public OmbrelayModule
{
public:
    explicit ListPage(QWidget *parent = nullptr)
        : OmbrelayModule(parent)
    {}
    ModuleTypes moduleType() const override { return TypeTvList; }
    void retranslate() override {}
    void setMaximumListCount(int) {}
};

class TestMainWindowDevices : public QObject
{
    Q_OBJECT

    QTemporaryDir mediaDir;
    QStringList boxes;
    QList<bool> answers; // for questions, in order; Yes when none is left

    static ZBDeviceInfo usbRecord(const QString &name, bool tv = true)
    {
        ZBDeviceInfo info(name, QString(), true);
        info.setTvListMaxCount(tv ? 1000 : 0);
        info.ensureDefaults();
        return info;
    }

    // A network receiver at an address where nothing listens.
    static ZBDeviceInfo networkBox()
    {
        ZBDeviceInfo network(QStringLiteral("Box"), QString(), false);
        network.setIp(QStringLiteral("127.0.0.9"));
        return network;
    }

    static void store(const QList<ZBDeviceInfo> &records)
    {
        QObject owner;
        ZBDeviceCollection writer(&owner);
        for (const ZBDeviceInfo &info : records)
            writer.append(info);
        writer.save();
    }

private slots:
    void init()
    {
        QSettings().clear();
        for (auto key : {Settings::PathPictures, Settings::PathVideo, Settings::PathMusic})
            Settings::setString(key, mediaDir.path());
        ModuleFactory::clear();
        ModuleFactory::registerDeviceModule<DevicePage>(OmbrelayModule::TypeDevice);
        ModuleFactory::registerListModule<ListPage>(OmbrelayModule::TypeTvList);
        boxes.clear();
        answers.clear();
        MessageBox::setAnswerHook([this](QDialog *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            boxes << box->text();
            if (box->icon() == QMessageBox::Question) {
                const bool yes = answers.isEmpty() || answers.takeFirst();
                // The first button says yes, the second no.
                const auto buttons = box->findChildren<QPushButton *>();
                buttons.at(yes ? 0 : 1)->click();
                return;
            }
            QTest::keyClick(dialog, Qt::Key_Return);
        });
    }
    void cleanup()
    {
        MessageBox::setAnswerHook({});
        ModuleFactory::clear();
    }

    void startWithoutReceivers()
    {
        MainWindow window;
        QAbstractItemModelTester tester(window.treeModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(window.treeModel()->rowCount(), 1);
        QCOMPARE(window.treeModel()->index(0, 0).data().toString(), QStringLiteral("No devices found"));
        QVERIFY(window.treeModel()->isEmpty());
        QVERIFY(!window.lblDeviceGivenName->isVisibleTo(&window));
        QCOMPARE(window.currentDeviceId(), 0u);
    }

    void startWithReceiversShowsTheFirst()
    {
        store({usbRecord(QStringLiteral("Stick A")), usbRecord(QStringLiteral("Stick B"), false)});
        MainWindow window;
        window.show();
        QCOMPARE(window.collection()->count(), 2);
        QCOMPARE(window.currentDeviceId(), 1u);
        auto *page = qobject_cast<DevicePage *>(window.currentModule());
        QVERIFY(page);
        QCOMPARE(window.collection()->deviceIdOfModule(page), 1u);
        QVERIFY(window.lblDeviceGivenName->isVisible());
        QCOMPARE(window.lblDeviceGivenName->text(), QStringLiteral("Stick A"));
        QCOMPARE(window.tvDevices->currentIndex(), window.treeModel()->index(0, 0));
        QVERIFY(!window.btnConnectDevice->isVisible());                             // USB-managed
        QCOMPARE(window.treeModel()->rowCount(window.treeModel()->index(0, 0)), 2); // TV, media explorer
    }

    void hiddenPageMessagesMarkTheTreeAndShowOnce()
    {
        store({usbRecord(QStringLiteral("Stick"))});
        MainWindow window;
        window.show();
        ZBDevice *device = window.collection()->at(0);
        OmbrelayModule *list = device->module(OmbrelayModule::TypeTvList);
        QVERIFY(list);
        QVERIFY(list->isBuffering());
        list->appendStatusText(QStringLiteral("A"));
        list->appendStatusText(QStringLiteral("B"));
        const QModelIndex row = window.treeModel()->indexFor(device->id(), OmbrelayModule::TypeTvList);
        QVERIFY(window.treeModel()->isMarked(row));
        QVERIFY(boxes.isEmpty());

        window.tvDevices->setCurrentIndex(row);
        QCOMPARE(window.currentModule(), list);
        QVERIFY(!window.treeModel()->isMarked(row));
        QCOMPARE(boxes, QStringList{"AB"});
    }

    void startPageOpensItsReceiversPages()
    {
        store({usbRecord(QStringLiteral("Stick"))});
        MainWindow window;
        auto *start = qobject_cast<DevicePage *>(window.currentModule());
        QVERIFY(start);
        emit start->showModuleRequest(OmbrelayModule::TypeTvList);
        QVERIFY(dynamic_cast<ListPage *>(window.currentModule()));
        QCOMPARE(window.tvDevices->currentIndex(), window.treeModel()->indexFor(1, OmbrelayModule::TypeTvList));
        // Back on the start page its request is connected once, not once per showing.
        window.tvDevices->setCurrentIndex(window.treeModel()->index(0, 0));
        QCOMPARE(window.currentModule(), start);
        QCOMPARE(start->requestConnections(), 1);
    }

    void addingAReceiverShowsIt()
    {
        MainWindow window;
        window.collection()->append(usbRecord(QStringLiteral("New stick")));
        QCOMPARE(window.treeModel()->rowCount(), 1);
        QCOMPARE(window.treeModel()->index(0, 0).data().toString(), QStringLiteral("New stick"));
        QVERIFY(qobject_cast<DevicePage *>(window.currentModule()));
        QCOMPARE(window.currentDeviceId(), 1u);
        QVERIFY(Settings::getString(Settings::OmbrelayDeviceList, QString()).contains(QStringLiteral("New stick")));
    }

    void removeTheSelectedReceiver_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("yes") << true << QStringList{"B"};
        QTest::newRow("no") << false << QStringList{"A", "B"};
    }
    void removeTheSelectedReceiver()
    {
        QFETCH(bool, answer);
        QFETCH(QStringList, left);
        store({usbRecord(QStringLiteral("A")), usbRecord(QStringLiteral("B"))});
        MainWindow window;
        window.tvDevices->setCurrentIndex(window.treeModel()->index(0, 0));
        answers = {answer};
        window.findChild<QMenu *>()->actions().at(2)->trigger(); // "Remove"
        QCOMPARE(boxes, QStringList{"Are you sure you want to remove this device from your device list?"});
        QStringList names;
        for (int i = 0; i < window.collection()->count(); ++i)
            names << window.collection()->at(i)->info().name();
        QCOMPARE(names, left);
        QObject owner;
        ZBDeviceCollection saved(&owner);
        QVERIFY(saved.load());
        QCOMPARE(saved.count(), left.size());
    }

    void removeAllStopsAtARefusal()
    {
        store({usbRecord(QStringLiteral("A")), usbRecord(QStringLiteral("B")), usbRecord(QStringLiteral("C"))});
        MainWindow window;
        auto *second = qobject_cast<DevicePage *>(window.collection()->at(1)->module(OmbrelayModule::TypeDevice));
        QVERIFY(second);
        second->refuseClose = true;
        window.findChild<QMenu *>()->actions().at(3)->trigger(); // "Remove All"
        QCOMPARE(window.collection()->count(), 2);
        QCOMPARE(window.collection()->at(0)->info().name(), QStringLiteral("B"));
        // Nothing saved yet: the stored list still holds all three.
        QObject owner;
        ZBDeviceCollection saved(&owner);
        QVERIFY(saved.load());
        QCOMPARE(saved.count(), 3);
        second->refuseClose = false;
        window.findChild<QMenu *>()->actions().at(3)->trigger();
        QCOMPARE(window.collection()->count(), 0);
        QVERIFY(window.treeModel()->isEmpty());
        QCOMPARE(window.currentModule(), window.newDeviceModule());
    }

    void shareNameReports_data()
    {
        QTest::addColumn<QString>("givenName");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QString>("label");
        QTest::newRow("no given name: renamed at once") << "" << true << 0 << "NewShare";
        QTest::newRow("given name, yes") << "Mine" << true << 1 << "NewShare";
        QTest::newRow("given name, no") << "Mine" << false << 1 << "Mine";
    }
    void shareNameReports()
    {
        QFETCH(QString, givenName);
        QFETCH(bool, answer);
        QFETCH(int, questions);
        QFETCH(QString, label);
        store({networkBox()});
        MainWindow window;
        ZBDevice *device = window.collection()->at(0);
        device->setGivenName(givenName);
        answers = {answer};
        emit device->shareNameChanged(int(device->id()), QStringLiteral("NewShare"));
        QCOMPARE(boxes.size(), questions);
        if (questions)
            QCOMPARE(boxes.first(), QStringLiteral("Mine (127.0.0.9) share name has changed to 'NewShare'. Would you "
                                                   "like to update it now?"));
        QCOMPARE(device->info().label(), label);
        // The tree row keeps the text it was built with unless the receiver is renamed.
        QVERIFY(window.treeModel()->index(0, 0).data().toString().startsWith(
            label == QLatin1String("Mine") ? QStringLiteral("Box") : label));
    }

    void tooOldReceiverIsReported()
    {
        store({networkBox()});
        MainWindow window;
        ZBDevice *device = window.collection()->at(0);
        emit device->protocolVersionChanged(int(device->id()), 1.2f);
        QCOMPARE(boxes, QStringList{"The device's software is not compatible with Ombrelay!"});
        emit device->protocolVersionChanged(77, 1.2f); // unknown receiver: nothing
        QCOMPARE(boxes.size(), 1);
    }

    void closingSavesWhatChangedSince()
    {
        store({networkBox()});
        MainWindow window;
        window.show();
        ZBDevice *device = window.collection()->at(0);
        device->setGivenName(QString());
        emit device->shareNameChanged(int(device->id()), QStringLiteral("Renamed"));
        QVERIFY(!Settings::getString(Settings::OmbrelayDeviceList, QString()).contains(QStringLiteral("Renamed")));

        auto *start = qobject_cast<DevicePage *>(device->module(OmbrelayModule::TypeDevice));
        QVERIFY(start);
        start->refuseClose = true;
        QVERIFY(!window.close());
        QVERIFY(!Settings::getString(Settings::OmbrelayDeviceList, QString()).contains(QStringLiteral("Renamed")));
        start->refuseClose = false;
        QVERIFY(window.close());
        QVERIFY(Settings::getString(Settings::OmbrelayDeviceList, QString()).contains(QStringLiteral("Renamed")));
    }

    void germanTreeTexts()
    {
        store({usbRecord(QStringLiteral("Stick"))});
        MainWindow window;
        QTranslator translator;
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        const QModelIndex tv = window.treeModel()->indexFor(1, OmbrelayModule::TypeTvList);
        QTRY_COMPARE(tv.data().toString(), QStringLiteral("TV-Listen"));
        window.removeDevice(1);
        QTRY_COMPARE(window.treeModel()->index(0, 0).data().toString(), QStringLiteral("Kein Gerät gefunden"));
        loadTranslator(&translator, QStringLiteral("en_EN"));
        QTRY_COMPARE(window.treeModel()->index(0, 0).data().toString(), QStringLiteral("No devices found"));
    }

    void connectionStateOfTheCurrentReceiver()
    {
        store({networkBox()});
        MainWindow window;
        window.show();
        ZBDevice *device = window.collection()->at(0);
        QCOMPARE(window.currentDeviceId(), device->id());
        emit device->stateChanged(device, QStringLiteral("disconnecting"));
        QVERIFY(!window.btnConnectDevice->isEnabled());
        emit device->stateChanged(device, QStringLiteral("connected"));
        QVERIFY(window.btnConnectDevice->isEnabled());
        QCOMPARE(window.btnConnectDevice->text(), QStringLiteral("Disconnect"));
        emit device->stateChanged(device, QStringLiteral("connecting"));
        QVERIFY(!window.btnConnectDevice->isEnabled());
        QCOMPARE(window.treeModel()->index(0, 0).data().toString(), QStringLiteral("Box (connecting)"));
        emit device->stateChanged(device, QStringLiteral("disconnected"));
        QVERIFY(window.btnConnectDevice->isEnabled());
        QCOMPARE(window.btnConnectDevice->text(), QStringLiteral("Connect"));
    }
};

OMBRELAY_TEST_MAIN(TestMainWindowDevices)
#include "tst_mainwindowdevices.moc"
