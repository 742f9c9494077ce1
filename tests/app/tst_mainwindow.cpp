#include "appfixture.h"
#include "support/filesizelimit.h"
#include "support/unwritablesettings.h"
#include "testmain.h"

#include "app/mainwindow.h"
#include "app/settingspage.h"
#include "base/translatorloader.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "modules/modulefactory.h"
#include "ui_mainwindow.h"

#include <QAbstractItemModelTester>
#include <QCloseEvent>
#include <QDir>
#include <QMenu>
#include <QSignalSpy>
#include <QTcpSocket>

// A page as the window sees it; as a receiver's start page it also asks for the receiver's other pages.
class Page : public OmbrelayModule
{
    Q_OBJECT
public:
    Page(QWidget *parent, ModuleTypes type)
        : OmbrelayModule(parent)
        , type(type)
    {}
    ModuleTypes moduleType() const override { return type; }
    void retranslate() override {}
    int requestConnections() const { return receivers(SIGNAL(showModuleRequest(OmbrelayModule::ModuleTypes))); }
    ModuleTypes type;
    int closeRequests = 0;
    bool refuseClose = false;

signals:
    void showModuleRequest(OmbrelayModule::ModuleTypes type);

protected:
    void closeEvent(QCloseEvent *event) override { event->setAccepted(++closeRequests && !refuseClose); }
};

class TestMainWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir media;
    QPointer<Page> addDevicePage;
    QPointer<Page> explorer;
    std::unique_ptr<BoxAnswers> boxes;

    // A USB stick with a TV list, or a network receiver on a port this test holds, where nothing answers.
    static ZBDeviceInfo record(const QString &name, bool usb = true)
    {
        ZBDeviceInfo info(name, QString(), usb);
        info.setTvListMaxCount(usb ? 1000 : 0);
        info.setIp(QStringLiteral("127.0.0.9"));
        info.ensureDefaults();
        return info;
    }
    static void store(const QList<ZBDeviceInfo> &records)
    {
        QObject owner; // the receivers' parent
        ZBDeviceCollection writer(&owner);
        for (const ZBDeviceInfo &info : records)
            writer.append(info);
        writer.save();
    }
    static Page *page(MainWindow &window, int type, int receiver = 0)
    {
        return qobject_cast<Page *>(window.collection()->at(receiver)->module(OmbrelayModule::ModuleTypes(type)));
    }
    // A value as the settings file holds it: read from a copy, so that nothing the store keeps in memory answers.
    static QVariant fileValue(const QString &key)
    {
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("copy.conf"));
        if (!QFile::copy(QSettings().fileName(), copy))
            return QVariant();
        return QSettings(copy, QSettings::IniFormat).value(key);
    }
    static bool storedListHolds(const QString &text)
    {
        return Settings::getString(Settings::OmbrelayDeviceList, QString()).contains(text);
    }

private slots:
    void initTestCase()
    {
        // Receivers are sought on a port of our own, never on whatever listens on the real one. Bound
        // but not listening, so a connection is refused at once, as where no receiver is.
        auto *held = new QTcpSocket(this);
        QVERIFY(held->bind(QHostAddress(QStringLiteral("127.0.0.9")), 0));
        ZBDeviceCollection::setDefaultReceiverPort(held->localPort());
    }
    void init()
    {
        freshSettings(media);
        boxes = std::make_unique<BoxAnswers>();
        ModuleFactory::clear();
        for (int type : {OmbrelayModule::TypeDevice, OmbrelayModule::TypeTvList})
            ModuleFactory::registerType(type, [type](QWidget *parent, const QVariantMap &) {
                return new Page(parent, OmbrelayModule::ModuleTypes(type));
            });
        for (QPointer<Page> *made : {&addDevicePage, &explorer}) {
            const int type = made == &explorer ? OmbrelayModule::TypeMediaExplorer : OmbrelayModule::TypeNewDevice;
            ModuleFactory::registerWindowPage(type, [made, type](QWidget *window, ZBDeviceCollection *) {
                return *made = new Page(window, OmbrelayModule::ModuleTypes(type));
            });
        }
    }
    void cleanup()
    {
        ModuleFactory::clear();
        boxes.reset();
    }

    void switchingPagesKeepsThem()
    {
        MainWindow window;
        Ui::MainWindow *ui = window.form();
        QAbstractItemModelTester tester(window.treeModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        window.show();
        QCOMPARE(window.treeModel()->index(0, 0).data().toString(), QStringLiteral("No devices found"));
        QCOMPARE(window.currentModule(), addDevicePage.data());
        QCOMPARE(addDevicePage->pageInterface(), static_cast<GeneralUiInterface *>(&window));
        QVERIFY(!ui->lblDeviceGivenName->isVisible());

        Page a(nullptr, OmbrelayModule::TypeTvList);
        QPointer<Page> b = new Page(nullptr, OmbrelayModule::TypeRadioList);
        a.setProperty("kept", 42);
        // Many switches pile up no empty containers and lose no page; each page keeps its state.
        for (int i = 0; i < 21; ++i) {
            window.setCurrentModule(i % 2 ? b.data() : &a, i % 2);
            QCOMPARE(ui->lblDeviceGivenName->isVisible(), bool(i % 2));
            QVERIFY(!window.currentModule()->isBuffering() && window.currentModule()->isVisible());
            QVERIFY((i % 2 ? static_cast<Page *>(&a) : b.data())->isBuffering() && addDevicePage->isBuffering());
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(b && addDevicePage);
        QCOMPARE(a.property("kept").toInt(), 42);
        QVERIFY(ui->moduleContainer->findChildren<QWidget *>("pageContainer", Qt::FindDirectChildrenOnly).size() <= 4);
        window.setCurrentModule(&a, true); // the shown page again: buffered, then shown
        QVERIFY(!a.isBuffering() && a.isVisible());
        window.setCurrentModule(nullptr, false);
        QVERIFY(ui->moduleContainer->currentWidget()->findChildren<OmbrelayModule *>().isEmpty());
        a.setParent(nullptr);
        delete b;
        emit ui->btnMediaExplorer->pressed();
        QCOMPARE(window.currentModule(), explorer.data());
        emit ui->btnAddDevice->pressed();
        QCOMPARE(window.currentModule(), addDevicePage.data());
        // A new receiver is shown, and saved, at once.
        window.collection()->append(record("New stick"));
        QCOMPARE(window.treeModel()->index(0, 0).data().toString(), QStringLiteral("New stick"));
        QCOMPARE(window.currentModule(), page(window, OmbrelayModule::TypeDevice));
        QVERIFY(storedListHolds(QStringLiteral("New stick")));
    }

    void commandsAndLeavingSettings()
    {
        MainWindow window;
        Ui::MainWindow *ui = window.form();
        SettingsPage *settings = window.settingsPage();
        window.show();
        // The about page names the version the program calls itself by.
        QCOMPARE(ui->label_9->text(), QStringLiteral(OMBRELAY_VERSION " Beta"));
        for (const auto &[command, index] : {std::pair{"about", 2}, {"About", 0}, {"", 0}, {"settings", 1}}) {
            emit ui->topRightWidget->Command(QString::fromLatin1(command));
            QCOMPARE(ui->appStackedWidget->currentIndex(), index);
            if (index != 1)
                ui->helpBackButton->click();
        }
        settings->pathPicturesLineEdit->setText(media.filePath(QStringLiteral("missing")));
        settings->settingsBackButton->click();
        QCOMPARE(ui->appStackedWidget->currentIndex(), 1);
        QVERIFY(settings->lblWarning->isVisible());
        settings->pathPicturesLineEdit->setText(media.path());
        settings->settingsBackButton->click();
        QCOMPARE(ui->appStackedWidget->currentIndex(), 0);
        window.tryToOpenFile(QString()); // a hand-over naming no existing file is ignored
        window.tryToOpenFile(media.filePath(QStringLiteral("gone.tvqvxc")));
        QVERIFY(boxes->texts.isEmpty());
        // No way off the settings page walks around its check: the title bar's "about" is refused too
        // while a field is wrong, and About then Back cannot reach the main view.
        window.gotoSettings();
        settings->pathPicturesLineEdit->setText(QString());
        emit settings->topRightWidget_2->Command(QStringLiteral("about"));
        QCOMPARE(ui->appStackedWidget->currentIndex(), 1);
        QVERIFY(settings->lblWarning->isVisible());
        ui->helpBackButton->click();
        QCOMPARE(ui->appStackedWidget->currentIndex(), 1);
        settings->pathPicturesLineEdit->setText(media.path());
        emit settings->topRightWidget_2->Command(QStringLiteral("about"));
        QCOMPARE(ui->appStackedWidget->currentIndex(), 2);
    }

    // Leaving the settings page or choosing a language while the settings file cannot be written: the
    // page is left (the fields are valid) and the user is told, with the file named.
    void settingsThatCannotBeStoredAreSaid()
    {
        MainWindow window;
        Ui::MainWindow *ui = window.form();
        SettingsPage *settings = window.settingsPage();
        window.show();
        window.gotoSettings();
        settings->pathMusicLineEdit->setText(media.path());
        {
            UnwritableSettings blocked;
            QVERIFY(blocked.made);
            settings->settingsBackButton->click();
            QCOMPARE(ui->appStackedWidget->currentIndex(), 0);
            QCOMPARE(boxes->texts.size(), 1);
            QVERIFY(boxes->texts.at(0).contains(QSettings().fileName()));
            window.gotoSettings();
            settings->radioButton_3->click();
            QCOMPARE(boxes->texts.size(), 2);
            QVERIFY(boxes->texts.at(1).contains(QSettings().fileName()));
            settings->englishRadioButton->click();
        }
        boxes->texts.clear();
        settings->settingsBackButton->click(); // written again: nothing to say
        QCOMPARE(ui->appStackedWidget->currentIndex(), 0);
        QCOMPARE(boxes->texts, QStringList());
    }

    // Settings chosen while the file cannot be written (each refusal said) are written again when the
    // window closes; what still cannot be written is named in one message, the language and the window's
    // place among it, and reaches the file once it can be written.
    void closeWritesWhatDidNotReachTheFile_data()
    {
        QTest::addColumn<bool>("fullDisk"); // else the file cannot be replaced
        QTest::addColumn<bool>("writableAtClose");
        QTest::newRow("file cannot be replaced") << false << false;
        QTest::newRow("full disk") << true << false;
        QTest::newRow("file cannot be replaced, writable at close") << false << true;
        QTest::newRow("full disk, writable at close") << true << true;
    }
    void closeWritesWhatDidNotReachTheFile()
    {
        QFETCH(bool, fullDisk);
        QFETCH(bool, writableAtClose);
        MainWindow window;
        SettingsPage *settings = window.settingsPage();
        window.show();
        window.gotoSettings();
        std::unique_ptr<FileSizeLimit> full;
        std::unique_ptr<UnwritableSettings> blocked;
        if (fullDisk) {
            full = std::make_unique<FileSizeLimit>(0);
            QVERIFY(full->made);
        } else {
            blocked = std::make_unique<UnwritableSettings>();
            QVERIFY(blocked->made);
        }
        settings->radioButton_2->click(); // German
        settings->radioButton_3->click(); // Polish
        QCOMPARE(boxes->texts.size(), 2);
        if (writableAtClose) {
            full.reset();
            blocked.reset();
        }
        QVERIFY(window.close());
        if (!writableAtClose) {
            QCOMPARE(boxes->texts.size(), 3);
            // In Polish, the language chosen last.
            const QString said = boxes->texts.last();
            for (const QString &named : {QDir::toNativeSeparators(QSettings().fileName()), QStringLiteral("język"),
                                         QStringLiteral("położenie i rozmiar okna")})
                QVERIFY2(said.contains(named), qPrintable(said));
            full.reset();
            blocked.reset();
            QCOMPARE(Settings::writeUnsaved(), QStringList());
        }
        QCOMPARE(boxes->texts.size(), writableAtClose ? 2 : 3);
        QCOMPARE(fileValue(QStringLiteral("preferredLanguage")).toString(), QStringLiteral("pl_PL"));
        QCOMPARE(fileValue(QStringLiteral("AppWindow/Maximized")).toString(), QStringLiteral("true"));
    }

    // Only a value the user confirmed is stored: typing a long path passes through folders that exist
    // (each prefix), and leaving with a field wrong stores none of them.
    void settingsStoredOnlyWhenLeft_data()
    {
        QTest::addColumn<QString>("leaveBy");
        QTest::newRow("back") << "back";
        QTest::newRow("about") << "about";
        QTest::newRow("close") << "close";
    }
    void settingsStoredOnlyWhenLeft()
    {
        QFETCH(QString, leaveBy);
        QVERIFY(QDir(media.path()).mkpath(QStringLiteral("try/chosen")));
        const QString before = media.filePath(QStringLiteral("music"));
        QVERIFY(QDir().mkpath(before));
        Settings::setString(Settings::PathMusic, before);
        MainWindow window;
        Ui::MainWindow *ui = window.form();
        SettingsPage *settings = window.settingsPage();
        window.show();
        window.gotoSettings();
        const auto leave = [&] {
            if (leaveBy == QLatin1String("back"))
                settings->settingsBackButton->click();
            else if (leaveBy == QLatin1String("about"))
                emit settings->topRightWidget_2->Command(QStringLiteral("about"));
            else
                window.close();
        };
        settings->pathMusicLineEdit->clear();
        QTest::keyClicks(settings->pathMusicLineEdit, media.filePath(QStringLiteral("try/nope/deeper")));
        QVERIFY(!settings->allPathsValid());
        leave();
        QCOMPARE(Settings::getString(Settings::PathMusic, QString()), before);
        if (leaveBy != QLatin1String("close"))
            QCOMPARE(ui->appStackedWidget->currentIndex(), 1);
        if (leaveBy == QLatin1String("close"))
            return;
        settings->pathMusicLineEdit->clear();
        QTest::keyClicks(settings->pathMusicLineEdit, media.filePath(QStringLiteral("try/chosen")));
        QCOMPARE(Settings::getString(Settings::PathMusic, QString()), before); // still typing
        leave();
        QCOMPARE(ui->appStackedWidget->currentIndex(), leaveBy == QLatin1String("back") ? 0 : 2);
        QCOMPARE(Settings::getString(Settings::PathMusic, QString()), media.filePath(QStringLiteral("try/chosen")));
    }

    // Every page is asked, the general media explorer too; the receivers are saved only when all agree.
    void closeAsksEveryPage_data()
    {
        QTest::addColumn<int>("refusing"); // 0 none, 1 add-device page, 2 receiver page, 3 media explorer
        QTest::addColumn<int>("explorerAsked");
        QTest::newRow("all agree") << 0 << 1;
        QTest::newRow("search running") << 1 << 0;
        QTest::newRow("receiver busy") << 2 << 0;
        QTest::newRow("explorer busy") << 3 << 1;
    }
    void closeAsksEveryPage()
    {
        QFETCH(int, refusing);
        store({record("Box", false)});
        MainWindow window;
        window.show();
        ZBDevice *device = window.collection()->at(0);
        device->setGivenName(QStringLiteral("Renamed")); // a change nothing has saved yet
        QVERIFY(!storedListHolds(QStringLiteral("Renamed")));
        addDevicePage->refuseClose = refusing == 1;
        page(window, OmbrelayModule::TypeDevice)->refuseClose = refusing == 2;
        explorer->refuseClose = refusing == 3;
        QCOMPARE(static_cast<GeneralUiInterface &>(window).close(), refusing == 0);
        QCOMPARE(window.isVisible(), refusing != 0);
        QCOMPARE(addDevicePage->closeRequests, 1);
        QTEST(explorer->closeRequests, "explorerAsked");
        QCOMPARE(storedListHolds(QStringLiteral("Renamed")), refusing == 0);
    }

    void languageChangeReachesWindowAndTree()
    {
        store({record("Stick")});
        MainWindow window;
        window.setWindowTitle(QStringLiteral("Ombrelay Beta"));
        QTranslator translator;
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        QTRY_COMPARE(window.form()->btnAddDevice->text(), QStringLiteral("Neues Gerät hinzufügen"));
        QCOMPARE(window.treeModel()->indexFor(1, OmbrelayModule::TypeTvList).data().toString(), "TV-Listen");
        QCOMPARE(window.windowTitle(), QStringLiteral("Ombrelay Beta"));
        window.removeDevice(1);
        QTRY_COMPARE(window.treeModel()->index(0, 0).data().toString(), QStringLiteral("Kein Gerät gefunden"));
        loadTranslator(&translator, QStringLiteral("en_EN"));
        QTRY_COMPARE(window.treeModel()->index(0, 0).data().toString(), QStringLiteral("No devices found"));
        QCOMPARE(window.form()->btnAddDevice->text(), QStringLiteral("Add new device"));
    }

    void receiverPagesAndTheirMarks()
    {
        store({record("Stick A")});
        MainWindow window;
        window.show();
        Ui::MainWindow *ui = window.form();
        Page *start = page(window, OmbrelayModule::TypeDevice);
        Page *list = page(window, OmbrelayModule::TypeTvList);
        QCOMPARE(window.currentModule(), start);
        QCOMPARE(ui->lblDeviceGivenName->text(), QStringLiteral("Stick A"));
        QVERIFY(ui->lblDeviceGivenName->isVisible() && !ui->btnConnectDevice->isVisible()); // USB-managed
        // Texts of a hidden page mark its row and wait for one box when it is shown.
        list->appendStatusText(QStringLiteral("A"));
        list->appendStatusText(QStringLiteral("B"));
        const QModelIndex row = window.treeModel()->indexFor(1, OmbrelayModule::TypeTvList);
        QVERIFY(window.treeModel()->isMarked(row));
        QVERIFY(boxes->texts.isEmpty());
        QSignalSpy others(start, &Page::showModuleRequest);
        emit start->showModuleRequest(OmbrelayModule::TypeTvList);
        QCOMPARE(window.currentModule(), list);
        QCOMPARE(ui->tvDevices->currentIndex(), row);
        QVERIFY(!window.treeModel()->isMarked(row));
        QCOMPARE(boxes->texts, QStringList{"AB"});
        // The window's own request connection is made once and cut when the page goes; others' stay.
        ui->tvDevices->setCurrentIndex(window.treeModel()->index(0, 0));
        QCOMPARE(window.currentModule(), start);
        QCOMPARE(start->requestConnections(), 2);
        ui->tvDevices->setCurrentIndex(row);
        QCOMPARE(start->requestConnections(), 1);
        emit start->showModuleRequest(OmbrelayModule::TypeDevice);
        QCOMPARE(others.count(), 2);
        QCOMPARE(window.currentModule(), list);
    }

    void removeReceivers_data()
    {
        QTest::addColumn<int>("action"); // the tree menu's "Remove" (2) or "Remove All" (3)
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("refusing"); // the receiver whose page refuses to close, or -1
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("saved");
        QTest::newRow("remove") << 2 << true << -1 << QStringList{"B", "C"} << 2;
        QTest::newRow("remove, no") << 2 << false << -1 << QStringList{"A", "B", "C"} << 3;
        QTest::newRow("remove all, second busy") << 3 << true << 1 << QStringList{"B", "C"} << 3;
        QTest::newRow("remove all") << 3 << true << -1 << QStringList{} << 0;
    }
    void removeReceivers()
    {
        QFETCH(int, action);
        QFETCH(int, refusing);
        QFETCH(QStringList, left);
        store({record("A"), record("B"), record("C")});
        QFETCH(bool, answer);
        boxes->answers = {answer};
        MainWindow window;
        if (refusing >= 0)
            page(window, OmbrelayModule::TypeDevice, refusing)->refuseClose = true;
        window.findChild<QMenu *>()->actions().at(action)->trigger();
        QCOMPARE(boxes->texts,
                 QStringList{action == 2 ? "Are you sure you want to remove this device from your device list?"
                                         : "Are you sure you want to remove all devices from your device list?"});
        QStringList names;
        for (int i = 0; i < window.collection()->count(); ++i)
            names << window.collection()->at(i)->info().name();
        QCOMPARE(names, left);
        QObject owner;
        ZBDeviceCollection saved(&owner);
        saved.load();
        QTEST(saved.count(), "saved");
        if (left.isEmpty())
            QCOMPARE(window.currentModule(), addDevicePage.data());
    }

    // A rename is saved at once, and a save that fails is said.
    void shareNameReports_data()
    {
        QTest::addColumn<QString>("givenName");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("writable");
        QTest::newRow("no given name: renamed at once") << "" << true << "NewShare" << true;
        QTest::newRow("given name, yes") << "Mine" << true << "NewShare" << true;
        QTest::newRow("given name, no") << "Mine" << false << "Mine" << true;
        QTest::newRow("given name, yes, full disk") << "Mine" << true << "NewShare" << false;
        QTest::newRow("no given name, full disk") << "" << true << "NewShare" << false;
    }
    void shareNameReports()
    {
        QFETCH(QString, givenName);
        QFETCH(QString, label);
        QFETCH(bool, writable);
        store({record("Box", false)});
        MainWindow window;
        ZBDevice *device = window.collection()->at(0);
        device->setGivenName(givenName);
        QFETCH(bool, answer);
        boxes->answers = {answer};
        {
            std::unique_ptr<FileSizeLimit> full(writable ? nullptr : new FileSizeLimit(0));
            QVERIFY(writable || full->made);
            emit device->shareNameChanged(int(device->id()), QStringLiteral("NewShare"));
            QFile file(QSettings().fileName());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll().contains("NewShare"), writable && label == QLatin1String("NewShare"));
        }
        const QString asked("Mine (127.0.0.9) share name has changed to 'NewShare'. Would you like to update it now?");
        QStringList said = givenName.isEmpty() ? QStringList() : QStringList{asked};
        if (!writable)
            said << Settings::writeFailureText() + u'\n' +
                        "The list of devices as shown now was not saved and will be lost when Ombrelay closes.";
        QCOMPARE(boxes->texts, said);
        QCOMPARE(device->info().label(), label);
        // The tree row keeps the text it was built with unless the receiver is renamed.
        QVERIFY(window.treeModel()->index(0, 0).data().toString().startsWith(label == "Mine" ? "Box" : label));
    }

    void connectionStateAndOldReceiver()
    {
        store({record("Box", false)});
        MainWindow window;
        ZBDevice *device = window.collection()->at(0);
        QPushButton *button = window.form()->btnConnectDevice;
        for (const auto &[state, enabled, text] : {std::tuple{"disconnecting", false, "Box"},
                                                   {"connected", true, "Disconnect"},
                                                   {"connecting", false, "Box (connecting)"},
                                                   {"disconnected", true, "Connect"}}) {
            emit device->stateChanged(device, QString::fromLatin1(state));
            QCOMPARE(button->isEnabled(), enabled);
            // The button names what it does next; while the link changes, the tree row tells.
            QCOMPARE(enabled ? button->text() : window.treeModel()->index(0, 0).data().toString(), QString(text));
        }
        emit device->protocolVersionChanged(int(device->id()), 1.2f);
        emit device->protocolVersionChanged(77, 1.2f); // unknown receiver: nothing
        QCOMPARE(boxes->texts, QStringList{"The device's software is not compatible with Ombrelay!"});
    }
};

OMBRELAY_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
