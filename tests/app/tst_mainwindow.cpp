#include "testmain.h"

#include "app/mainwindow.h"
#include "widgets/messagebox.h"
#include "modules/modulefactory.h"
#include "base/settings.h"
#include "app/settingspage.h"
#include "base/translatorloader.h"

#include <QCloseEvent>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

// A module page that records what the window does to it.
class FakePage : public OmbrelayModule
{
public:
    explicit FakePage(ModuleTypes type, QWidget *parent = nullptr)
        : OmbrelayModule(parent)
        , type(type)
    {}
    ModuleTypes moduleType() const override { return type; }
    void retranslate() override {}
    void startBuffering() override
    {
        ++bufferings;
        OmbrelayModule::startBuffering();
    }
    void onShow() override
    {
        ++shows;
        OmbrelayModule::onShow();
    }

    ModuleTypes type;
    int bufferings = 0;
    int shows = 0;
    int closeRequests = 0;
    bool refuseClose = false;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++closeRequests;
        if (refuseClose)
            event->ignore();
        else
            event->accept();
    }
};

class TestMainWindow : public QObject
{
    Q_OBJECT

    QPointer<FakePage> addDevicePage;
    QPointer<FakePage> generalExplorer;
    QTemporaryDir mediaDir;

private slots:
    void init()
    {
        QSettings().clear();
        // Valid media folders, so the settings page can be left.
        for (auto key : {Settings::PathPictures, Settings::PathVideo, Settings::PathMusic})
            Settings::setString(key, mediaDir.path());
        ModuleFactory::clear();
        ModuleFactory::registerWindowPage(OmbrelayModule::TypeNewDevice, [this](QWidget *window, ZBDeviceCollection *) {
            addDevicePage = new FakePage(OmbrelayModule::TypeNewDevice, window);
            return addDevicePage.data();
        });
        ModuleFactory::registerWindowPage(OmbrelayModule::TypeMediaExplorer,
                                          [this](QWidget *window, ZBDeviceCollection *) {
                                              generalExplorer = new FakePage(OmbrelayModule::TypeMediaExplorer, window);
                                              return generalExplorer.data();
                                          });
    }
    void cleanup()
    {
        ModuleFactory::clear();
        MessageBox::setAnswerHook({});
    }

    void startsOnTheAddDevicePage()
    {
        MainWindow window;
        QCOMPARE(window.appStackedWidget->currentIndex(), 0);
        QVERIFY(addDevicePage);
        QCOMPARE(window.currentModule(), addDevicePage.data());
        QCOMPARE(addDevicePage->shows, 1);
        QCOMPARE(addDevicePage->pageInterface(), static_cast<GeneralUiInterface *>(&window));
        QCOMPARE(window.moduleContainer->currentIndex(), 1);
        QVERIFY(window.moduleContainer->currentWidget()->isAncestorOf(addDevicePage));
        QVERIFY(!window.lblDeviceGivenName->isVisibleTo(&window));
        QVERIFY(!window.btnConnectDevice->isVisibleTo(&window));
        for (TopRightWidget *bar :
             {window.topRightWidget, window.settingsPage()->topRightWidget_2, window.topRightWidget_3})
            QCOMPARE(bar->wiredWindowPointer(), static_cast<SWindow *>(&window));
    }

    void switchingModulesNeverDeletesThem()
    {
        MainWindow window;
        window.show();
        FakePage a(OmbrelayModule::TypeTvList, &window);
        QPointer<FakePage> b = new FakePage(OmbrelayModule::TypeRadioList, &window);

        window.setCurrentModule(&a, true);
        QCOMPARE(addDevicePage->bufferings, 1);
        QCOMPARE(a.shows, 1);
        QVERIFY(!a.isBuffering());
        QVERIFY(a.isVisible());
        QVERIFY(window.lblDeviceGivenName->isVisible());

        window.setCurrentModule(b, false);
        QCOMPARE(a.bufferings, 1);
        QVERIFY(a.isBuffering());
        QCOMPARE(b->shows, 1);
        QVERIFY(!a.isVisible());
        QVERIFY(b->isVisible());
        QVERIFY(!window.lblDeviceGivenName->isVisible());

        // Back to the first: it is shown in a new container with its state kept.
        a.setProperty("kept", 42);
        window.setCurrentModule(&a, true);
        QCOMPARE(a.shows, 2);
        QCOMPARE(b->bufferings, 1);
        QCOMPARE(a.property("kept").toInt(), 42);
        QVERIFY(window.moduleContainer->currentWidget()->isAncestorOf(&a));
        QCOMPARE(window.moduleContainer->indexOf(window.moduleContainer->currentWidget()), 1);

        // Many switches do not pile up empty containers, and no module is lost on the way.
        for (int i = 0; i < 20; ++i)
            window.setCurrentModule(i % 2 ? static_cast<OmbrelayModule *>(&a) : b.data(), true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(b);
        QVERIFY(addDevicePage);
        QVERIFY(
            window.moduleContainer->findChildren<QWidget *>(QStringLiteral("pageContainer"), Qt::FindDirectChildrenOnly)
                .size() <= 4);
        window.setCurrentModule(nullptr, false); // the modules move out before the window goes
        a.setParent(nullptr);
        delete b;
    }

    void showingTheSameModuleAgain()
    {
        MainWindow window;
        auto *page = addDevicePage.data();
        const int shows = page->shows;
        window.setCurrentModule(page, false);
        QCOMPARE(page->bufferings, 1);
        QCOMPARE(page->shows, shows + 1);
        QVERIFY(!page->isBuffering());
    }

    void emptyModuleArea()
    {
        MainWindow window;
        window.setCurrentModule(nullptr, true);
        QCOMPARE(window.currentModule(), nullptr);
        QCOMPARE(window.moduleContainer->currentIndex(), 1);
        QVERIFY(window.moduleContainer->currentWidget()->findChildren<OmbrelayModule *>().isEmpty());
        QVERIFY(addDevicePage);
        QVERIFY(addDevicePage->isBuffering());
    }

    void addDeviceAndMediaExplorerButtons()
    {
        MainWindow window;
        window.btnMediaExplorer->pressed();
        QCOMPARE(window.currentModule(), generalExplorer.data());
        const int shows = generalExplorer->shows;
        window.showMediaExplorerGeneral(); // already shown: nothing
        QCOMPARE(generalExplorer->shows, shows);
        window.btnAddDevice->pressed();
        QCOMPARE(window.currentModule(), addDevicePage.data());
        QVERIFY(!window.tvDevices->currentIndex().isValid());
    }

    void titleBarCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("page");
        QTest::newRow("about") << "about" << 2;
        QTest::newRow("settings") << "settings" << 1;
        QTest::newRow("unknown") << "About" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void titleBarCommands()
    {
        QFETCH(QString, command);
        QFETCH(int, page);
        MainWindow window;
        emit window.topRightWidget->Command(command);
        QCOMPARE(window.appStackedWidget->currentIndex(), page);
        window.helpBackButton->click();
        window.settingsPage()->settingsBackButton->click();
        QCOMPARE(window.appStackedWidget->currentIndex(), 0);
    }

    void settingsPageIsNotLeftWithAWrongField()
    {
        MainWindow window;
        window.show();
        window.gotoSettings();
        QCOMPARE(window.appStackedWidget->currentWidget(), window.settingsPage());
        window.settingsPage()->pathPicturesLineEdit->setText(mediaDir.filePath(QStringLiteral("missing")));
        window.settingsPage()->settingsBackButton->click();
        QCOMPARE(window.appStackedWidget->currentIndex(), 1);
        QVERIFY(window.settingsPage()->lblWarning->isVisible());
        window.settingsPage()->pathPicturesLineEdit->setText(mediaDir.path());
        window.settingsPage()->settingsBackButton->click();
        QCOMPARE(window.appStackedWidget->currentIndex(), 0);
        // The title bar's "about" leaves the settings page whatever its fields hold.
        window.gotoSettings();
        window.settingsPage()->pathPicturesLineEdit->setText(QString());
        emit window.settingsPage()->topRightWidget_2->Command(QStringLiteral("about"));
        QCOMPARE(window.appStackedWidget->currentIndex(), 2);
        window.helpBackButton->click();
        QCOMPARE(window.appStackedWidget->currentIndex(), 0);
    }

    void manualOfTheStoredLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("file");
        QTest::newRow("none") << ""
                              << "ombrelay_help_eng.pdf";
        QTest::newRow("German") << "de_DE"
                                << "ombrelay_help_ger.pdf";
        QTest::newRow("german, other case") << "DE_de"
                                            << "ombrelay_help_ger.pdf";
        QTest::newRow("Polish") << "pl_PL"
                                << "ombrelay_help_pol.pdf";
        QTest::newRow("unknown") << "fr_FR"
                                 << "ombrelay_help_eng.pdf";
    }
    void manualOfTheStoredLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, file);
        if (!language.isEmpty())
            Settings::setString(Settings::PreferredLanguage, language);
        QCOMPARE(MainWindow::helpFilePath(), QCoreApplication::applicationDirPath() + "/help/" + file);
    }

    void closeAsksTheWindowPagesFirst_data()
    {
        QTest::addColumn<bool>("addDeviceRefuses");
        QTest::addColumn<bool>("explorerRefuses");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("explorerAsked");
        QTest::newRow("both agree") << false << false << true << 1;
        QTest::newRow("search running, refused") << true << false << false << 0;
        QTest::newRow("explorer busy, refused") << false << true << false << 1;
    }
    void closeAsksTheWindowPagesFirst()
    {
        QFETCH(bool, addDeviceRefuses);
        QFETCH(bool, explorerRefuses);
        QFETCH(bool, closed);
        QFETCH(int, explorerAsked);
        MainWindow window;
        window.show();
        addDevicePage->refuseClose = addDeviceRefuses;
        generalExplorer->refuseClose = explorerRefuses;
        GeneralUiInterface *pages = &window;
        QCOMPARE(pages->close(), closed);
        QCOMPARE(window.isVisible(), !closed);
        QCOMPARE(addDevicePage->closeRequests, 1);
        QCOMPARE(generalExplorer->closeRequests, explorerAsked);
    }

    void germanWindowTexts()
    {
        QTranslator translator;
        MainWindow window;
        window.setWindowTitle(QStringLiteral("Ombrelay Beta"));
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        // Installing posts the language change to every window.
        QTRY_COMPARE(window.btnAddDevice->text(), QStringLiteral("Neues Gerät hinzufügen"));
        QCOMPARE(window.aboutTitle->text(), QStringLiteral("Über"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Ombrelay Beta"));
        loadTranslator(&translator, QStringLiteral("en_EN"));
        QTRY_COMPARE(window.btnAddDevice->text(), QStringLiteral("Add new device"));
    }

    void missingFileIsIgnoredSilently()
    {
        MainWindow window;
        int boxes = 0;
        MessageBox::setAnswerHook([&](QDialog *box) {
            ++boxes;
            box->reject();
        });
        window.tryToOpenFile(QString());
        window.tryToOpenFile(QStringLiteral("/nonexistent/list.tvqvxc"));
        QCOMPARE(boxes, 0);
    }
};

OMBRELAY_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
