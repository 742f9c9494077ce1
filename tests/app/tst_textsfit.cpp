#include "appfixture.h"
#include "testmain.h"
#include "textsfitchecker.h"

#include "generatedtvlist.h"
#include "loopbackonly.h"
#include "mediareceiver.h"

#include "app/mainwindow.h"
#include "app/settingspage.h"
#include "app/startup.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/deviceselectdialog.h"
#include "devices/newdevicemodule.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "exchange/listsimportwizard.h"
#include "exchange/listsprintdialog.h"
#include "exchange/selectdrivedialog.h"
#include "listfiles/listprojectfilemanager.h"
#include "listfiles/projectfileformat.h"
#include "lists/listsmoduleshared.h"
#include "media/mediaexplorermodule.h"
#include "media/zbdevicefilesystemmodel.h"
#include "modules/modulefactory.h"
#include "ui_mainwindow.h"
#include "widgets/messagebox.h"
#include "widgets/messageboxcheckable.h"

#include <QCommandLinkButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTcpSocket>

#include <functional>

// Every page and dialog of the program in the main window at its default size, in each language: no
// text is cut, and no text with a translation shows in English.
class TestTextsFit : public QObject
{
    Q_OBJECT

    QTemporaryDir media;
    QHash<QString, QSet<QString>> translated;

    struct Row
    {
        MainWindow &window;
        TextsFitChecker &checker;
        QString page;
        void check(QWidget *top, const QString &part = QString())
        {
            QCoreApplication::processEvents();
            const QString name = part.isEmpty() ? page : page + u'/' + part;
            checker.check(top, name);
            // To look at what the check judged: TEXTSFIT_GRAB=<folder> saves each checked state.
            const QString grabs = qEnvironmentVariable("TEXTSFIT_GRAB");
            if (!grabs.isEmpty())
                top->grab().save(QDir(grabs).filePath(QString(name + u' ' + checker.language()).replace(u'/', u'-') +
                                                      QLatin1String(".png")));
        }
    };
    using PageOpener = void (TestTextsFit::*)(Row &);

    // One row per page: its name and how it is opened.
    struct Page
    {
        const char *name;
        PageOpener open;
    };
    const QList<Page> pages = {
        {"main window", &TestTextsFit::openMainWindow},
        {"settings", &TestTextsFit::openSettings},
        {"add-device wizard", &TestTextsFit::openAddDevice},
        {"receiver start page", &TestTextsFit::openDeviceStart},
        {"device properties", &TestTextsFit::openProperties},
        {"TV list", &TestTextsFit::openTvList},
        {"radio list", &TestTextsFit::openRadioList},
        {"link list", &TestTextsFit::openLinkList},
        {"media explorer general", &TestTextsFit::openGeneralExplorer},
        {"media explorer receiver", &TestTextsFit::openReceiverExplorer},
        {"print dialog", &TestTextsFit::openPrintDialog},
        {"drive picker", &TestTextsFit::openDrivePicker},
        {"USB wizard", &TestTextsFit::openUsbWizard},
        {"device picker", &TestTextsFit::openDevicePicker},
        {"message boxes", &TestTextsFit::openMessageBoxes},
    };

    static ZBDeviceInfo receiver(const QString &name, const QString &ip)
    {
        ZBDeviceInfo info(name);
        info.setIp(ip);
        info.setTvListMaxCount(1000);
        info.setRadioListMaxCount(1000);
        info.setNetListMaxCount(1000);
        info.setEnableMediaExplorerModule(true);
        info.ensureDefaults();
        return info;
    }

    // A network receiver in the window's collection, on the held port where nothing answers.
    static ZBDevice *addReceiver(MainWindow &window)
    {
        window.collection()->append(receiver(QStringLiteral("Living room"), QStringLiteral("127.0.0.9")));
        return window.collection()->at(window.collection()->count() - 1);
    }

    static void eachPage(QWidget *top, QStackedWidget *stack, Row &row, const QString &prefix,
                         const std::function<bool(int)> &wanted = {})
    {
        for (int i = 0; i < stack->count(); ++i) {
            if (wanted && !wanted(i))
                continue;
            stack->setCurrentIndex(i);
            row.check(top, QStringLiteral("%1 %2").arg(prefix).arg(i));
        }
    }

    // The frame around the pages: title bar, side panel, receiver tree and the buttons below it.
    void openMainWindow(Row &row)
    {
        row.check(&row.window, QStringLiteral("main view"));
        row.window.gotoAbout();
        row.check(&row.window, QStringLiteral("about"));
        row.window.gotoMainView();
        // With a receiver: its entry in the tree and its name over its page.
        ZBDevice *device = addReceiver(row.window);
        row.window.showModule(device->id(), OmbrelayModule::TypeDevice);
        QVERIFY(row.window.form()->lblDeviceGivenName->isVisible());
        row.check(&row.window, QStringLiteral("receiver"));
    }

    void openSettings(Row &row)
    {
        row.window.gotoSettings();
        row.check(row.window.settingsPage());
    }

    void openAddDevice(Row &row)
    {
        row.window.showSearchDevicePanel();
        auto *page = qobject_cast<NewDeviceModule *>(row.window.newDeviceModule());
        QVERIFY(page);
        eachPage(page, page->wizard, row, QStringLiteral("page"));
        // The range error under the search settings.
        page->wizard->setCurrentWidget(page->searchSettingsPage);
        page->rbSearchScope->setChecked(true);
        page->txtStartSearch->setText(QStringLiteral("10.0.0.9"));
        page->txtEndSearch->setText(QStringLiteral("10.0.0.1"));
        page->btnSearch2->click();
        QVERIFY(page->txtSearchSettingsErrorMessage->isVisible());
        row.check(page, QStringLiteral("range error"));

        // Real receivers (emulated on loopback addresses): one reached by its typed address shows its
        // details; a range search lists both.
        LoopbackOnly::install();
        Settings::setBool(Settings::SearchCheckConnectionEnabled, false);
        std::vector<std::unique_ptr<ReceiverEmulator>> emulators;
        const quint16 port = LoopbackOnly::startEmulators(emulators, {"127.0.28.10", "127.0.28.11"});
        QVERIFY(port);
        page->searcher().setPort(port);
        page->wizard->setCurrentIndex(0);
        page->btnAddDeviceManually->click();
        page->txtIp1->setText(QStringLiteral("127.0.28.10"));
        page->btnConnectNewDevice->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->searcher().isBusy(), 10000);
        QTRY_COMPARE(page->wizard->currentWidget(), page->deviceNamePage);
        row.check(page, QStringLiteral("receiver reached"));
        page->wizard->setCurrentWidget(page->searchSettingsPage);
        page->txtStartSearch->setText(QStringLiteral("127.0.28.1"));
        page->txtEndSearch->setText(QStringLiteral("127.0.28.20"));
        page->btnSearch2->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->btnStopSearch->isEnabled(), 20000);
        QCOMPARE(page->tblFoundDevices->model()->rowCount(), 2);
        row.check(page, QStringLiteral("receivers found"));
        page->wizard->setCurrentIndex(0);
        setMacAddressLookup({});
        QCOMPARE(LoopbackOnly::strayLookups.load(), 0);
    }

    void openDeviceStart(Row &row)
    {
        ZBDevice *device = addReceiver(row.window);
        row.window.showModule(device->id(), OmbrelayModule::TypeDevice);
        QVERIFY(row.window.currentModule());
        row.check(row.window.currentModule());
    }

    void openProperties(Row &row)
    {
        ZBDevice *device = addReceiver(row.window);
        row.window.showModule(device->id(), OmbrelayModule::TypeDeviceProperties);
        QVERIFY(row.window.currentModule());
        row.check(row.window.currentModule());
    }

    // A list of 60 items for the page type. The radio list has the TV list's shape under its own element
    // name; links carry every field the link panel shows.
    static QByteArray listFile(OmbrelayModule::ModuleTypes type)
    {
        if (type == OmbrelayModule::TypeLinkList) {
            QString text =
                QStringLiteral("<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/><items>");
            for (int i = 0; i < 60; ++i)
                text += QStringLiteral("<link id=\"%1\"><title>Link %1</title><url>http://host%1.example/stream</url>"
                                       "<description>Item %1</description><genres>Genre %2</genres><type>website</type>"
                                       "<parentLock>0</parentLock><childrenLock>%3</childrenLock></link>")
                            .arg(i)
                            .arg(i % 13)
                            .arg(i % 4 + 1);
            text += QStringLiteral("</items><lists>");
            for (int list = 0; list < 4; ++list)
                text += QStringLiteral("<list id=\"%1\"><ref>%1</ref></list>").arg(list);
            return ProjectFileFormat::encode(text + QStringLiteral("</lists></TDocument>\n"), true);
        }
        QString text = GeneratedTvList::text(60);
        if (type == OmbrelayModule::TypeRadioList)
            text.replace(QLatin1String("tvService"), QLatin1String("radioService"));
        return ProjectFileFormat::encode(text, true);
    }

    void openListPage(Row &row, OmbrelayModule::ModuleTypes type)
    {
        ZBDevice *device = addReceiver(row.window);
        row.window.showModule(device->id(), type);
        auto *page = qobject_cast<ListsModuleShared *>(row.window.currentModule());
        QVERIFY(page);
        const QString path = media.filePath(QStringLiteral("lists.project"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(listFile(type));
        file.close();
        page->openFile(path);
        QTRY_VERIFY(page->listManager()->isProjectLoaded());
        auto *stack = page->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
        QVERIFY(stack);
        eachPage(page, stack, row, QStringLiteral("page"), [](int i) { return i <= 3; });
        page->setPage(ListsModuleShared::PageEditor);
        // The properties of a chosen service, each of their tabs.
        auto *table = page->findChild<QTableView *>(QStringLiteral("itemsTableViewAll"));
        auto *show = page->findChild<QPushButton *>(QStringLiteral("btnShowServiceSettings"));
        auto *tabs = page->findChild<QTabWidget *>(QStringLiteral("tabServiceProperties"));
        QVERIFY(table && show && tabs);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualRect(table->model()->index(0, 1)).center());
        if (!tabs->isVisible() && show->isVisible())
            emit show->pressed();
        QTRY_VERIFY(tabs->isVisible());
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            row.check(page, QStringLiteral("page 1, service tab %1").arg(i));
        }
    }
    void openTvList(Row &row) { openListPage(row, OmbrelayModule::TypeTvList); }
    void openRadioList(Row &row) { openListPage(row, OmbrelayModule::TypeRadioList); }
    void openLinkList(Row &row) { openListPage(row, OmbrelayModule::TypeLinkList); }

    void openGeneralExplorer(Row &row)
    {
        row.window.showMediaExplorerGeneral();
        auto *page = qobject_cast<MediaExplorerModule *>(row.window.currentModule());
        QVERIFY(page);
        eachPage(page, page->wdgPcFolders, row, QStringLiteral("PC pane"));
    }

    void openReceiverExplorer(Row &row)
    {
        // Disconnected: the receiver's own page in the window.
        ZBDevice *device = addReceiver(row.window);
        row.window.showModule(device->id(), OmbrelayModule::TypeMediaExplorer);
        QVERIFY(row.window.currentModule());
        row.check(row.window.currentModule(), QStringLiteral("disconnected"));
        // Connected to an emulated receiver with a few files.
        MediaReceiver r;
        r.file(QStringLiteral("hdd/Movies/a.ts"), "movie");
        r.file(QStringLiteral("hdd/p.jpg"), "picture");
        QVERIFY(r.start());
        auto *page = qobject_cast<MediaExplorerModule *>(
            createModule(OmbrelayModule::TypeMediaExplorer, &row.window, QVariantMap()));
        QVERIFY(page);
        page->setCommunicationManager(r.manager.get());
        page->onDeviceStateChange(QStringLiteral("connected"));
        row.window.setCurrentModule(page, true);
        QTRY_COMPARE(page->deviceStackedWidget->currentIndex(), 0);
        eachPage(page, page->wdgPcFolders, row, QStringLiteral("connected, PC pane"));
        row.window.setCurrentModule(nullptr, false);
        QTRY_VERIFY(!page->isBusy() && !page->deviceModel()->isFetching());
        delete page;
        r.stop();
    }

    void openPrintDialog(Row &row)
    {
        ListsPrintDialog dialog(&row.window, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        row.check(&dialog);
    }

    void openDrivePicker(Row &row)
    {
        SelectDriveDialog dialog(&row.window);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        row.check(&dialog);
    }

    void openUsbWizard(Row &row)
    {
        ListsImportWizard wizard(&row.window, QStringLiteral("tvqvx"), media.path());
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        auto *stack = wizard.findChild<QStackedWidget *>(QStringLiteral("wgdWizzard"));
        QVERIFY(stack);
        for (int i = 0; i < stack->count(); ++i) {
            wizard.setPage(i);
            row.check(&wizard, QStringLiteral("page %1").arg(i));
        }
    }

    void openDevicePicker(Row &row)
    {
        DeviceSelectDialog dialog(&row.window);
        dialog.setDevices({receiver(QStringLiteral("Living room"), QStringLiteral("192.168.1.20")),
                           receiver(QStringLiteral("Bedroom"), QStringLiteral("192.168.1.21")),
                           receiver(QStringLiteral("Kitchen"), QStringLiteral("192.168.1.22"))});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        row.check(&dialog);
    }

    // The longest messages of the pages, each in the box kind the page shows it in.
    void openMessageBoxes(Row &row)
    {
        int seen = 0;
        MessageBox::setAnswerHook([&](QDialog *box) {
            ++seen;
            row.check(box, QStringLiteral("box %1").arg(seen));
            box->reject();
        });
        auto tr = [](const char *context, const char *text) { return QCoreApplication::translate(context, text); };
        MessageBox::information(&row.window, tr("MainWindow", "There are no registered devices in application. "
                                                              "Please add at least one device to open a file."));
        MessageBox::questionYesNo(&row.window,
                                  tr("NewDeviceModule", "Ombrelay could not establish connection to this device. "
                                                        "Would you like to add it anyway?"),
                                  MessageBox::Yes);
        MessageBox::questionYesNo(&row.window,
                                  tr("TVListModule", "Ombrelay has no information about satellites available. To "
                                                     "download it please make sure that device is connected and "
                                                     "doesn't record any content. Do you want to download now?"),
                                  MessageBox::No);
        MessageBox::questionYesAllNoCancel(&row.window,
                                           tr("CopyJobRunner", "This folder already contains a record named %1. "
                                                               "Would you like to replace existing record?")
                                               .arg(QStringLiteral("Movie of the week.ts")),
                                           QMessageBox::Question, MessageBox::Yes);
        MessageBoxCheckable checkable(&row.window);
        checkable.exec(tr("MediaExplorerModule", "To convert audio and video recordings Ombrelay needs FFmpeg "
                                                 "software. It seems that FFmpeg path is incorrect. Would you like "
                                                 "to set it now?"),
                       tr("MediaExplorerModule", "Don't show this message again"), Settings::DownloadFFmpegRequest);
        MessageBox::setAnswerHook({});
        QCOMPARE(seen, 5);
    }

private slots:
    void initTestCase()
    {
        freshSettings(media);
        // The listed receiver is sought on a port this test holds, bound but not listening: refused at
        // once, never whatever listens on the receivers' own port.
        auto *held = new QTcpSocket(this);
        QVERIFY(held->bind(QHostAddress(QStringLiteral("127.0.0.9")), 0));
        ZBDeviceCollection::setDefaultReceiverPort(held->localPort());
        registerStartUpServices();
        for (const char *language : {"de_DE", "pl_PL"}) {
            translated[QLatin1String(language)] =
                TextsFitChecker::translatedSources(QStringLiteral(OMBRELAY_TS_DIR), QLatin1String(language));
            QVERIFY(translated[QLatin1String(language)].size() > 100);
        }
    }
    void init() { freshSettings(media); }
    void cleanup() { MessageBox::setAnswerHook({}); }

    // The checker itself on one widget each: what it must report, and what it must leave alone.
    void checkerJudges_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected"); // the problem reported, empty for none
        QTest::addColumn<QString>("absent");   // a problem that must not be reported with it
        const QString cut = QStringLiteral("cut");
        QTest::newRow("label fits") << "label" << 300 << "" << QString();
        QTest::newRow("label cut") << "label" << 40 << cut << QString();
        QTest::newRow("label elided with tool tip") << "elided label" << 40 << "" << QString();
        QTest::newRow("wrapped label fits") << "wrapped label" << 300 << "" << QString();
        QTest::newRow("wrapped label too low") << "wrapped label" << 60 << cut << QString();
        QTest::newRow("forced break strands a word") << "stranded" << 120 << "\"than\" alone on a line" << QString();
        QTest::newRow("button fits") << "button" << 300 << "" << QString();
        QTest::newRow("button cut") << "button" << 40 << cut << QString();
        QTest::newRow("check box cut") << "check box" << 40 << cut << QString();
        QTest::newRow("radio button fits") << "radio button" << 300 << "" << QString();
        QTest::newRow("tool button cut") << "tool button" << 30 << cut << QString();
        QTest::newRow("tab fits") << "tab" << 400 << "" << QString();
        QTest::newRow("tab elided") << "tab" << 60 << cut << QString();
        QTest::newRow("column fits") << "column" << 300 << "" << QString();
        QTest::newRow("column cut") << "column" << 30 << cut << QString();
        QTest::newRow("column cut, title as tool tip") << "column with tool tip" << 30 << "" << QString();
        QTest::newRow("English where German exists") << "untranslated" << 300 << "English source shown" << QString();
        QTest::newRow("kept format name") << "kept" << 300 << "" << QString();
        // A bar too narrow for its tabs: the tab it shows in part is cut, its scroll buttons show arrows.
        QTest::newRow("tab cut at the bar's edge") << "scrolling tabs" << 150 << "cut at the bar's edge"
                                                   << "scroll button without arrow";
        QTest::newRow("scroll buttons without arrows")
            << "blank scrollers" << 150 << "scroll button without arrow" << QString();
        QTest::newRow("description fits") << "command link" << 0 << "" << QString();
        QTest::newRow("description under an empty line")
            << "command link, forced break" << 0 << "description cut" << QString();
    }

    void checkerJudges()
    {
        QFETCH(QString, kind);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QFETCH(QString, absent);
        const QString text = QStringLiteral("Starting address lower than\nthe last one");
        QWidget window;
        window.resize(500, 300);
        QWidget *widget = nullptr;
        QStandardItemModel model(1, 1);
        if (kind.contains(QLatin1String("label")) || kind == QLatin1String("stranded") ||
            kind == QLatin1String("untranslated") || kind == QLatin1String("kept")) {
            auto *label = new QLabel(&window);
            label->setText(kind == QLatin1String("untranslated") ? QStringLiteral("Settings")
                           : kind == QLatin1String("kept")       ? QStringLiteral("MP3")
                           : kind == QLatin1String("stranded")   ? QStringLiteral("Start must be lower than\nthe end.")
                                                                 : QStringLiteral("Starting address lower"));
            label->setWordWrap(kind == QLatin1String("wrapped label") || kind == QLatin1String("stranded"));
            if (kind == QLatin1String("wrapped label"))
                label->setText(text + QStringLiteral(" of the range you typed"));
            if (kind == QLatin1String("elided label")) {
                label->setText(QStringLiteral("Start…"));
                label->setToolTip(QStringLiteral("Starting address lower"));
            }
            label->resize(width, label->wordWrap() ? 30 : 20);
            widget = label;
        } else if (kind == QLatin1String("button")) {
            widget = new QPushButton(QStringLiteral("Prepare the drive"), &window);
        } else if (kind == QLatin1String("check box")) {
            widget = new QCheckBox(QStringLiteral("Remember password"), &window);
        } else if (kind == QLatin1String("radio button")) {
            widget = new QRadioButton(QStringLiteral("Search all"), &window);
        } else if (kind == QLatin1String("tool button")) {
            auto *tool = new QToolButton(&window);
            tool->setText(QStringLiteral("Delete"));
            tool->setToolButtonStyle(Qt::ToolButtonTextOnly);
            widget = tool;
        } else if (kind == QLatin1String("tab")) {
            auto *tabs = new QTabWidget(&window);
            tabs->addTab(new QWidget, QStringLiteral("Basic service properties"));
            tabs->addTab(new QWidget, QStringLiteral("Parental control"));
            tabs->tabBar()->setElideMode(Qt::ElideLeft);
            tabs->tabBar()->setUsesScrollButtons(false);
            widget = tabs;
        } else if (kind.contains(QLatin1String("scroll"))) {
            auto *tabs = new QTabWidget(&window);
            for (int i = 1; i <= 4; ++i)
                tabs->addTab(new QWidget, QStringLiteral("List %1").arg(i));
            tabs->tabBar()->setElideMode(Qt::ElideNone);
            tabs->tabBar()->setUsesScrollButtons(true);
            // The look that hid the arrows: framed white tool buttons, the scroller only sized.
            if (kind == QLatin1String("blank scrollers"))
                window.setStyleSheet(QStringLiteral("QToolButton { background-color: white; border: 1px solid "
                                                    "#CCCCCC; padding: 0px 5px; min-height: 21px; } "
                                                    "QTabBar::scroller { width: 20px; }"));
            widget = tabs;
        } else if (kind.startsWith(QLatin1String("command link"))) {
            auto *link = new QCommandLinkButton(QStringLiteral("Open saved favourite lists"), &window);
            link->setDescription(QStringLiteral("%1Opens file with TV programmes and list of your favourite TV "
                                                "programmes.")
                                     .arg(kind.endsWith(QLatin1String("break")) ? QStringLiteral("\n") : QString()));
            link->setIconSize(QSize(60, 60));
            link->setIcon(QIcon(QStringLiteral(":/icons/folder")));
            // As high as the button asks to be at its width, as a layout makes it.
            link->resize(450, link->heightForWidth(450));
            widget = link;
        } else {
            auto *view = new QTableView(&window);
            model.setHorizontalHeaderLabels({QStringLiteral("Date Modified")});
            if (kind == QLatin1String("column with tool tip"))
                model.setHeaderData(0, Qt::Horizontal, QStringLiteral("Date Modified"), Qt::ToolTipRole);
            view->setModel(&model);
            view->horizontalHeader()->setStretchLastSection(false);
            view->setColumnWidth(0, width);
            view->resize(400, 200);
            widget = view;
        }
        if (!qobject_cast<QLabel *>(widget) && !qobject_cast<QTableView *>(widget) &&
            !qobject_cast<QCommandLinkButton *>(widget))
            widget->resize(width, 30);
        widget->setObjectName(QStringLiteral("probe"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents(); // the header's geometry follows the model a turn later
        if (kind == QLatin1String("scrolling tabs")) {
            // The bar's visible part made to end in the middle of the second title.
            auto *bar = static_cast<QTabWidget *>(widget)->tabBar();
            int buttons = 0;
            for (QToolButton *scroll : bar->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly))
                if (scroll->isVisible())
                    buttons = qMax(buttons, bar->width() - scroll->x());
            QVERIFY(buttons > 0);
            widget->resize(bar->tabRect(1).center().x() + buttons, widget->height());
            QCoreApplication::processEvents();
        }
        TextsFitChecker checker(QStringLiteral("de_DE"), {QStringLiteral("Settings"), QStringLiteral("MP3")});
        checker.check(&window, QStringLiteral("probe page"));
        QVERIFY(!checker.seen.isEmpty());
        if (expected.isEmpty()) {
            QVERIFY2(checker.problems.isEmpty(), qPrintable(checker.problems.join(u'\n')));
        } else {
            const QString wanted = QLatin1String(" | de_DE | ") + expected;
            const bool found = std::any_of(checker.problems.cbegin(), checker.problems.cend(), [&](const QString &p) {
                return p.startsWith(QLatin1String("probe page | probe")) && p.contains(wanted);
            });
            QVERIFY2(found, qPrintable(checker.problems.join(u'\n')));
        }
        for (const QString &problem : std::as_const(checker.problems))
            QVERIFY2(absent.isEmpty() || !problem.contains(absent), qPrintable(problem));
    }

    void textsFit_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("language");
        for (int i = 0; i < pages.size(); ++i)
            for (const char *language : {"en_EN", "de_DE", "pl_PL"})
                QTest::addRow("%s %s", pages[i].name, language) << i << QString::fromLatin1(language);
    }
    void textsFit()
    {
        QFETCH(int, page);
        QFETCH(QString, language);
        MainWindow window;
        prepareMainWindow(window, language);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The size a first start opens with: no size is stored in the fresh settings.
        QCOMPARE(window.size(), QSize(1285, 800));

        // A box a page did not mean to show (an error while opening it) fails the row instead of waiting.
        QStringList unexpectedBoxes;
        MessageBox::setAnswerHook([&](QDialog *box) {
            auto *message = qobject_cast<QMessageBox *>(box);
            unexpectedBoxes << (message ? message->text() : box->objectName());
            box->reject();
        });
        TextsFitChecker checker(language, translated.value(language));
        Row row{window, checker, QString::fromLatin1(pages[page].name)};
        (this->*pages[page].open)(row);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(unexpectedBoxes.isEmpty(), qPrintable(unexpectedBoxes.join(u'\n')));
        QVERIFY2(checker.seen.size() > 1, "the page showed (almost) no texts");

        const QStringList failures = checker.problems;
        if (qEnvironmentVariableIsSet("TEXTSFIT_LIST")) // every text the row looked at
            for (const QString &seen : std::as_const(checker.seen))
                qInfo("%s", qPrintable(seen));
        for (const QString &failure : std::as_const(failures))
            qWarning("%s", qPrintable(failure));
        QVERIFY2(failures.isEmpty(),
                 qPrintable(QStringLiteral("%1 texts cut or untranslated (listed above)").arg(failures.size())));
    }
};

OMBRELAY_TEST_MAIN(TestTextsFit)
#include "tst_textsfit.moc"
