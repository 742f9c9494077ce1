#include "receiveremulator.h"
#include "receiverlists.h"
#include "testmain.h"
#include "transfercommands.h"

#include "dialoganswerer.h"

#include "app/mainwindow.h"
#include "base/drivelist.h"
#include "base/settings.h"
#include "base/translatorloader.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/transfers/listtransfer.h"
#include "devices/zbdevicecollection.h"
#include "document/listitemsdatabasemodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "listfiles/exportdrivepicker.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/projectfileformat.h"
#include "lists/linklistmodule.h"
#include "modules/modulefactory.h"

#include <QAbstractItemModelTester>
#include <QDomDocument>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

namespace {
QString link(int id, const QString &title, const QString &url, const QString &extra = QString(),
             const QString &attributes = QString())
{
    QString text = QStringLiteral("<link id=\"%1\"%2>").arg(id).arg(attributes);
    if (!title.isNull())
        text += QStringLiteral("<title>") + title.toHtmlEscaped() + QStringLiteral("</title>");
    if (!url.isNull())
        text += QStringLiteral("<url>") + url.toHtmlEscaped() + QStringLiteral("</url>");
    return text + extra + QStringLiteral("</link>");
}

QString document(const QStringList &links, int lists = 4)
{
    QString text = QStringLiteral("<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/><items>");
    text += links.join(QString());
    text += QStringLiteral("</items><lists>");
    for (int i = 0; i < lists; ++i)
        text += QStringLiteral("<list id=\"%1\"><ref>0</ref></list>").arg(i);
    return text + QStringLiteral("</lists></TDocument>\n");
}

// Titles (id order) of the links of a document text, with "?" for a link without title.
QStringList titles(const QString &text)
{
    QDomDocument doc;
    doc.setContent(text);
    QStringList out;
    for (QDomElement e = doc.documentElement().firstChildElement(QStringLiteral("items")).firstChildElement();
         !e.isNull(); e = e.nextSiblingElement())
        out << (e.firstChildElement(QStringLiteral("title")).isNull()
                    ? QStringLiteral("?")
                    : e.firstChildElement(QStringLiteral("title")).text());
    return out;
}

QString urlOf(const QString &text, int id)
{
    QDomDocument doc;
    doc.setContent(text);
    for (QDomElement e = doc.documentElement().firstChildElement(QStringLiteral("items")).firstChildElement();
         !e.isNull(); e = e.nextSiblingElement())
        if (e.attribute(QStringLiteral("id")).toInt() == id)
            return e.firstChildElement(QStringLiteral("url")).text();
    return QStringLiteral("<none>");
}

const QString duplicateText = QStringLiteral("Service with the same detailed settings already exists on the list.");
const QString questionText =
    QStringLiteral("Links without title or url are not allowed. Would you like to set these properties now?");
} // namespace

class TestLinkListModule : public QObject
{
    Q_OBJECT
    ZBDeviceInfo info{QStringLiteral("Box")};

    std::unique_ptr<LinkListModule> makeModule(DeviceCommunicationManager *manager = nullptr)
    {
        auto module = std::make_unique<LinkListModule>();
        if (manager)
            module->setCommunicationManager(manager);
        module->setDeviceInfo(&info);
        module->resize(1100, 760);
        module->show();
        module->onShow();
        QApplication::setActiveWindow(module.get());
        return module;
    }
    static int rowOf(LinkListModule *module, const QString &title)
    {
        QAbstractItemModel *model = module->itemsTableViewAll->model();
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->index(row, 1).data().toString() == title)
                return row;
        return -1;
    }
    static void clickRow(LinkListModule *module, int row)
    {
        ItemsTableView *table = module->itemsTableViewAll;
        const QRect rect = table->visualRect(table->model()->index(row, 1));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
    }
    static void typeInto(QLineEdit *edit, const QString &text)
    {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        bool plain = text.size() < 200;
        for (QChar c : text)
            plain = plain && c.unicode() < 128;
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else if (plain)
            QTest::keyClicks(edit, text);
        else
            edit->insert(text); // key clicks carry ASCII only
    }
    static QString selectedTitle(LinkListModule *module)
    {
        const QModelIndexList rows = module->itemsTableViewAll->selectionModel()->selectedRows(1);
        return rows.size() == 1 ? rows.first().data().toString() : QString();
    }

private slots:
    void init() { Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1")); }

    void factoryMakesTheLinkPage()
    {
        ModuleFactory::registerListModule<LinkListModule>(OmbrelayModule::TypeLinkList);
        Settings::setString(Settings::OmbrelayDeviceList, QString());
        MainWindow window;
        std::unique_ptr<OmbrelayModule> made(createModule(3, &window, {{"maximumListCount", 6}}));
        auto *module = qobject_cast<LinkListModule *>(made.get());
        QVERIFY(module);
        QCOMPARE(module->moduleType(), OmbrelayModule::TypeLinkList);
        module->onShow();
        QVERIFY(module->projectManager()->newProject(QString()));
        QCOMPARE(module->projectManager()->readLists().size(), 6);
        QCOMPARE(module->listsTabWidget->count(), 6);
    }

    void formPagesAndSizes_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::newRow("small") << QSize(1027, 700);
        QTest::newRow("large") << QSize(1600, 1000);
    }
    void formPagesAndSizes()
    {
        QFETCH(QSize, window);
        QWidget plain;
        Ui::LinkListModule form;
        form.setupUi(&plain);
        QCOMPARE(plain.objectName(), QStringLiteral("LinkListModule"));
        QStringList pages;
        for (int i = 0; i < form.stackedWidget->count(); ++i)
            pages << form.stackedWidget->widget(i)->objectName();
        QCOMPARE(pages, QStringList({"ModuleWelcomePage", "EditorPage", "DataTransferPage", "ExportPage", "HelpPage"}));
        QCOMPARE(form.stackedWidget->currentIndex(), 1);
        QCOMPARE(form.listsTabWidget->currentIndex(), -1);
        QCOMPARE(form.tabServiceProperties->currentIndex(), 1);
        QCOMPARE(form.serviceOrLinkSW->currentWidget(), form.linkPage);
        QCOMPARE(form.tabServiceProperties->count(), 3);

        auto module = makeModule();
        module->resize(window);
        module->setPage(1);
        QVERIFY(module->projectManager()->newProject(QString()));
        module->showServiceDetails(true);
        QCoreApplication::processEvents();
        QCOMPARE(module->toolsFrame->height(), 40);
        QCOMPARE(module->tabServiceProperties->height(), 230);
        QVERIFY(module->tabServiceProperties->width() >= 510);
        QCOMPARE(module->parentalControlMultipleChoice->geometry(), QRect(240, 30, 220, 161));
        QCOMPARE(module->parentLockCheckBox->geometry(), QRect(10, 29, 251, 25));
        QCOMPARE(module->dataTransferPageButton->height(), 23);
    }

    void firstShow()
    {
        auto module = makeModule();
        QVERIFY(!module->transportStreamTab);
        QVERIFY(!module->detailedSettingsWidget);
        QCOMPARE(module->tabServiceProperties->count(), 2);
        QCOMPARE(module->stackedWidget->currentIndex(), 0);
        QVERIFY(module->projectManager()->newProject(
            document({link(0, "A", "http://a", "<type>website</type>"), link(1, "B", "http://b")})));
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
        ItemsTableView *table = module->itemsTableViewAll;
        QAbstractItemModelTester tester(table->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (int c = 0; c < table->model()->columnCount(); ++c)
            QCOMPARE(table->isColumnHidden(c), c > 2);
        QCOMPARE(table->model()->index(rowOf(module.get(), "A"), 5).data().toString(), QStringLiteral("Website"));
        QCOMPARE(module->listsTabWidget->count(), 4);
        auto *favourites = module->listsTabWidget->currentWidget()->findChild<QAbstractItemView *>();
        QVERIFY(favourites);
        QStringList headers;
        for (int c = 0; c < favourites->model()->columnCount(); ++c)
            headers << favourites->model()->headerData(c, Qt::Horizontal).toString();
        QVERIFY2(headers.contains("Title") && headers.contains("Url"), qPrintable(headers.join(',')));
        // The column chooser lists every column but the id.
        module->showHideColumnsToolButton->click();
        auto *chooser = module->findChild<QListView *>();
        QVERIFY(chooser);
        QVERIFY(chooser->isRowHidden(8));
        for (int c = 0; c < 8; ++c)
            QVERIFY(!chooser->isRowHidden(c));
    }

    // Each row drives the page with real keys and clicks and checks document, boxes, selection and focus.
    void linkChecks_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("focus");
        const QStringList base{"A", "B", "C", "D"};
        QTest::newRow("new link accepted with Enter")
            << QStringList{"new", "title:N", "url:http://n", "enter"} << QStringList{} << base + QStringList{"N"}
            << QStringList{} << "N"
            << "itemsTableViewAll";
        QTest::newRow("Enter in the title asks at once") << QStringList{"new", "title:N", "enter"} << QStringList{"Yes"}
                                                         << base + QStringList{"N"} << QStringList{questionText} << "N"
                                                         << "txtLinkUrl";
        QTest::newRow("no, delete it") << QStringList{"new", "enter"} << QStringList{"No, delete it"} << base
                                       << QStringList{questionText} << "D"
                                       << "itemsTableViewAll";
        QTest::newRow("sorted by title: only the new link goes")
            << QStringList{"sort", "new", "enter"} << QStringList{"No, delete it"} << base << QStringList{questionText}
            << "A"
            << "itemsTableViewAll";
        QTest::newRow("escape removes the new link")
            << QStringList{"new", "title:N", "escape"} << QStringList{} << base << QStringList{} << "D"
            << "itemsTableViewAll";
        QTest::newRow("cancel removes the new link")
            << QStringList{"new", "cancel"} << QStringList{} << base << QStringList{} << "D"
            << "itemsTableViewAll";
        QTest::newRow("new duplicate goes")
            << QStringList{"new", "url:http://b", "enter"} << QStringList{} << base << QStringList{duplicateText} << "D"
            << "itemsTableViewAll";
        QTest::newRow("existing duplicate stays, selected again")
            << QStringList{"select:A", "url:http://b", "select:C"} << QStringList{} << base
            << QStringList{duplicateText} << "A"
            << "txtLinkTitle";
        QTest::newRow("new link without url next to one without url is asked, not removed")
            << QStringList{"new", "title:N", "url:", "enter"} << QStringList{"Yes"} << base + QStringList{"N"}
            << QStringList{questionText} << "N"
            << "txtLinkUrl";
        QTest::newRow("existing link emptied: escape on the question keeps it")
            << QStringList{"select:B", "title:", "select:A"} << QStringList{} << QStringList{"A", "", "C", "D"}
            << QStringList{questionText} << ""
            << "txtLinkTitle";
        QTest::newRow("existing link emptied and deleted")
            << QStringList{"select:B", "title:", "select:A"} << QStringList{"No, delete it"}
            << QStringList{"A", "C", "D"} << QStringList{questionText} << "D"
            << "itemsTableViewAll";
        QTest::newRow("untouched legacy duplicates and gaps are left alone")
            << QStringList{"select:A", "select:C", "select:D", "select:B", "select:C"} << QStringList{} << base
            << QStringList{} << "C"
            << "itemsTableViewAll";
        QTest::newRow("after an accepted edit an untouched duplicate is not checked")
            << QStringList{"select:B", "title:B2", "select:D", "select:C"} << QStringList{}
            << QStringList{"A", "B2", "C", "D"} << QStringList{} << "C"
            << "itemsTableViewAll";
        QTest::newRow("search typed mid-edit checks the edited link")
            << QStringList{"select:B", "url:http://a", "search:C"} << QStringList{} << base
            << QStringList{duplicateText} << "B"
            << "txtLinkTitle";
        QTest::newRow("hide after editing checks and leaves the page usable")
            << QStringList{"select:B", "title:B2", "hide", "select:D"} << QStringList{}
            << QStringList{"A", "B2", "C", "D"} << QStringList{} << "D"
            << "itemsTableViewAll";
        QTest::newRow("hide after making a duplicate checks as Save does")
            << QStringList{"select:B", "url:http://a", "hide"} << QStringList{} << base << QStringList{duplicateText}
            << "B"
            << "txtLinkTitle";
        QTest::newRow("hide then focus-out asks once")
            << QStringList{"select:B", "hide", "show", "hide", "show", "title:", "focusout"} << QStringList{"Yes"}
            << QStringList{"A", "", "C", "D"} << QStringList{questionText} << ""
            << "txtLinkTitle";
    }
    void linkChecks()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, boxes);
        QFETCH(QString, selected);
        QFETCH(QString, focus);
        auto module = makeModule();
        // D repeats A's URL and C has none: both came with the file.
        QVERIFY(module->projectManager()->newProject(document(
            {link(0, "A", "http://a"), link(1, "B", "http://b"), link(2, "C", QString()), link(3, "D", "http://a")})));
        DialogAnswerer answerer;
        answerer.boxAnswers = answers;
        for (const QString &step : steps) {
            const QString arg = step.section(u':', 1);
            QWidget *focused = QApplication::focusWidget() ? QApplication::focusWidget() : module.get();
            if (step == QLatin1String("new"))
                module->btnCreateNewItem->click();
            else if (step.startsWith(QLatin1String("title:")))
                typeInto(module->txtLinkTitle, arg);
            else if (step.startsWith(QLatin1String("url:")))
                typeInto(module->txtLinkUrl, arg);
            else if (step == QLatin1String("enter"))
                QTest::keyClick(focused, Qt::Key_Return);
            else if (step == QLatin1String("escape")) {
                QTest::keyClick(focused, Qt::Key_Escape);
            } else if (step == QLatin1String("cancel"))
                QTest::mouseClick(module->btnCancelServiceSetting, Qt::LeftButton);
            else if (step == QLatin1String("hide"))
                QTest::mouseClick(module->btnHideServiceSettings, Qt::LeftButton);
            else if (step == QLatin1String("show"))
                QTest::mouseClick(module->btnShowServiceSettings, Qt::LeftButton);
            else if (step.startsWith(QLatin1String("select:")))
                clickRow(module.get(), rowOf(module.get(), arg));
            else if (step.startsWith(QLatin1String("search:")))
                typeInto(module->txtSearch, arg);
            else if (step == QLatin1String("sort"))
                module->itemsTableViewAll->sortByColumn(1, Qt::DescendingOrder);
            else if (step == QLatin1String("focusout"))
                module->txtSearch->setFocus(Qt::OtherFocusReason);
        }
        QCOMPARE(::titles(module->projectManager()->documentText()), titles);
        QCOMPARE(answerer.boxTexts, boxes);
        QCOMPARE(selectedTitle(module.get()), selected);
        QWidget *now = module->focusWidget();
        QCOMPARE(now ? now->objectName() : QString(), focus);
        QVERIFY(module->itemsTableViewAll->isEnabled());
        QVERIFY(module->btnCreateNewItem->isEnabled() || module->tabServiceProperties->isVisible());
    }

    // A link typed out of the search keeps the panel: every later edit still reaches that link.
    void editingOutOfTheSearch()
    {
        auto module = makeModule();
        QVERIFY(module->projectManager()->newProject(
            document({link(0, "Alpha", "http://a"), link(1, "Beta", "http://b")})));
        typeInto(module->txtSearch, QStringLiteral("Beta"));
        QTRY_COMPARE(module->itemsTableViewAll->model()->rowCount(), 1);
        clickRow(module.get(), 0);
        module->showServiceDetails(true);
        typeInto(module->txtLinkTitle, QStringLiteral("Gamma"));
        typeInto(module->txtLinkUrl, QStringLiteral("http://g"));
        QTest::keyClick(module->txtLinkUrl, Qt::Key_Return);
        const QString text = module->projectManager()->documentText();
        QCOMPARE(titles(text), QStringList({"Alpha", "Gamma"}));
        QCOMPARE(urlOf(text, 1), QStringLiteral("http://g"));
        QCOMPARE(urlOf(text, 0), QStringLiteral("http://a"));
    }

    // The file shortcuts work on the shown page: Ctrl+W closes the list, Ctrl+N starts a new one.
    void fileShortcuts()
    {
        auto module = makeModule();
        QVERIFY(module->projectManager()->newProject(document({link(0, "A", "http://a")})));
        module->itemsTableViewAll->setFocus();
        QTest::keyClick(module->itemsTableViewAll, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!module->projectManager()->isProjectLoaded());
        QCOMPARE(module->stackedWidget->currentIndex(), 0);
        QTest::keyClick(module.get(), Qt::Key_N, Qt::ControlModifier);
        QVERIFY(module->projectManager()->isProjectLoaded());
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
    }

    // Browsing with the panel open through three languages changes nothing but the one child lock ticked.
    void browsingWritesNothing()
    {
        auto module = makeModule();
        const QString text = document({link(0, "Radio & Co", "http://a", "<type>stream</type><genres>Jazz</genres>"),
                                       link(1, "Hidden", "http://secret", "<type>website</type>", " hideURL=\"true\""),
                                       link(2, "Third", "rtsp://cam%3A554/live?a=1&b=2",
                                            "<genres>News;Talk</genres><childrenLock>1</childrenLock>")});
        QVERIFY(module->projectManager()->newProject(text));
        const QString before = module->projectManager()->documentText();
        module->showServiceDetails(true);
        QTranslator de, pl;
        QVERIFY(loadTranslator(&de, QStringLiteral("de_DE")));
        QVERIFY(loadTranslator(&pl, QStringLiteral("pl_PL")));
        for (QTranslator *translator : {&de, &pl, static_cast<QTranslator *>(nullptr)}) {
            if (translator)
                QCoreApplication::installTranslator(translator);
            QCoreApplication::processEvents();
            for (int row = 0; row < 3; ++row) {
                clickRow(module.get(), row);
                module->txtLinkTitle->setFocus(Qt::OtherFocusReason);
                module->txtLinkUrl->setFocus(Qt::OtherFocusReason);
                module->itemsTableViewAll->setFocus(Qt::OtherFocusReason);
            }
            if (translator)
                QCoreApplication::removeTranslator(translator);
            QCoreApplication::processEvents();
        }
        QCOMPARE(module->projectManager()->documentText(), before);
        QVERIFY(!module->projectManager()->isModified());
        // The hidden URL shows empty, its field and label grey.
        clickRow(module.get(), rowOf(module.get(), "Hidden"));
        QCOMPARE(module->txtLinkUrl->text(), QString());
        QVERIFY(!module->txtLinkUrl->isEnabled());
        QVERIFY(!module->lblLinkUrl->isEnabled());
        clickRow(module.get(), rowOf(module.get(), "Radio & Co"));
        QCOMPARE(module->lblGenreValue->text(), QStringLiteral("Jazz"));
        module->tabServiceProperties->setCurrentIndex(1);
        auto *choices = module->parentalControlMultipleChoice->findChild<QAbstractItemView *>();
        QVERIFY(choices && choices->model()->rowCount() > 0);
        choices->model()->setData(choices->model()->index(0, 0), Qt::Checked, Qt::CheckStateRole);
        QString expected = before;
        expected.replace(QStringLiteral("<genres>Jazz</genres>"),
                         QStringLiteral("<genres>Jazz</genres><childrenLock>1</childrenLock>"));
        QDomDocument want, got;
        want.setContent(expected);
        got.setContent(module->projectManager()->documentText());
        const QDomElement gotFirst = got.documentElement().firstChildElement("items").firstChildElement();
        QCOMPARE(gotFirst.firstChildElement("childrenLock").text(), QStringLiteral("1"));
        QCOMPARE(gotFirst.firstChildElement("type").text(), QStringLiteral("stream"));
        gotFirst.firstChildElement("childrenLock").parentNode().removeChild(gotFirst.firstChildElement("childrenLock"));
        QDomDocument plain;
        plain.setContent(before);
        QCOMPARE(got.toString(-1), plain.toString(-1));
    }

    void urlRoundTrip_data()
    {
        QTest::addColumn<QString>("url");
        QTest::newRow("escaped port and query") << "rtsp://cam%3A554/live?a=1&b=2";
        QTest::newRow("umlauts and space") << QString::fromUtf8("http://ü.example/ä b");
        QTest::newRow("entity text") << "a&amp;b";
        QTest::newRow("4 KiB") << QStringLiteral("http://x/") + QString(4096 - 9, u'q');
    }
    void urlRoundTrip()
    {
        QFETCH(QString, url);
        QTemporaryDir dir;
        ReceiverEmulator emulator;
        auto lists = ReceiverLists::install(emulator);
        lists->setDocument(QStringLiteral("link"), document({link(0, "A", "http://a")}).toUtf8());
        QVERIFY(emulator.start());
        DVB24CommunicationManager device;
        device.setPort(emulator.port());
        auto module = makeModule(&device);
        connect(&device, &DeviceCommunicationManager::stateChanged, module.get(), &LinkListModule::onDeviceStateChange);
        device.connectToHost(emulator.host());
        QTRY_VERIFY(module->btnDownloadLists->isEnabled());
        module->btnDownloadLists->click();
        QTRY_COMPARE(module->stackedWidget->currentIndex(), 1);
        QVERIFY(module->projectManager()->fileName().startsWith(QStringLiteral("Untitled")));

        clickRow(module.get(), 0);
        module->showServiceDetails(true);
        typeInto(module->txtLinkUrl, url);
        QTest::keyClick(module->txtLinkUrl, Qt::Key_Return);
        QCOMPARE(urlOf(module->projectManager()->documentText(), 0), url);

        const QString path = dir.filePath(QStringLiteral("links.lkqvxc"));
        DialogAnswerer answers;
        answers.fileAnswers << path;
        module->SaveProject();
        QTRY_VERIFY(QFile::exists(path));
        module->projectManager()->closeAction->trigger();
        module->openFile(path);
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
        const QModelIndex cell = module->itemsTableViewAll->model()->index(0, 2);
        QCOMPARE(cell.data().toString(), url);
        clickRow(module.get(), 0);
        QCOMPARE(module->txtLinkUrl->text(), url);
        auto *favourites = module->listsTabWidget->currentWidget()->findChild<QAbstractItemView *>();
        QCOMPARE(favourites->model()->index(0, favourites->model()->columnCount() - 1).data().toString(), url);

        // Exported for a USB drive (the folder stands for the drive) and opened from there.
        ExportDrivePicker::setPicker([&dir](QWidget *) { return dir.path(); });
        DriveList::setSource([&dir] { return QFileInfoList{QFileInfo(dir.path())}; });
        module->btnExportAsProject->click();
        ExportDrivePicker::setPicker({});
        DriveList::setSource({});
        const QString exported = dir.filePath(QStringLiteral("FavsListUpdate.lkqvx"));
        QVERIFY(QFile::exists(exported));
        module->projectManager()->closeAction->trigger();
        module->openFile(exported);
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
        QCOMPARE(module->itemsTableViewAll->model()->index(0, 2).data().toString(), url);

        module->btnUploadDeviceLists->click();
        QTRY_COMPARE(lists->uploads(), 1);
        QTRY_VERIFY(!module->pendingTask());
        QCOMPARE(urlOf(QString::fromUtf8(lists->document(QStringLiteral("link"))), 0), url);
        QVERIFY(!module->projectManager()->isModified());
        module->btnDownloadDeviceLists->click();
        QTRY_VERIFY(!module->pendingTask());
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
        QCOMPARE(module->itemsTableViewAll->model()->index(0, 2).data().toString(), url);
        device.requestClose();
    }

    void transfers_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("modified");
        QTest::newRow("upload refused at message 3") << "upload" << QStringList{} << true;
        QTest::newRow("download refused while recording")
            << "download" << QStringList{"Device is recording programme. Please try again later."} << true;
    }
    void transfers()
    {
        QFETCH(QString, how);
        QTemporaryDir root;
        ReceiverEmulator emulator;
        auto commands = TransferCommands::install(emulator, root.path());
        QVERIFY(emulator.start());
        DVB24CommunicationManager device;
        device.setPort(emulator.port());
        auto module = makeModule(&device);
        connect(&device, &DeviceCommunicationManager::stateChanged, module.get(), &LinkListModule::onDeviceStateChange);
        device.connectToHost(emulator.host());
        QTRY_VERIFY(module->btnDownloadLists->isEnabled());
        DialogAnswerer answers;
        // The open list is edited in both rows: a refused transfer keeps it as it was, still unsaved.
        QVERIFY(module->projectManager()->newProject(document({link(0, "A", "http://a"), link(1, "B", "http://b")})));
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        items->setData(items->index(0, 1), QStringLiteral("Changed"), Qt::EditRole);
        const QString before = module->projectManager()->documentText();
        if (how == QLatin1String("upload")) {
            commands->refuseMessage = 3;
            module->btnUploadDeviceLists->click();
        } else {
            commands->listReply = 0xAB;
            module->btnDownloadDeviceLists->click();
        }
        QTRY_VERIFY(!module->pendingTask());
        QTEST(answers.boxTexts.filter(QStringLiteral("recording")), "boxes");
        QTEST(module->projectManager()->isModified(), "modified");
        QVERIFY(module->projectManager()->isProjectLoaded());
        QCOMPARE(module->projectManager()->documentText(), before);
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
        device.requestClose();
    }

    // A held download left by the cancel button or by the lost connection returns to the page it came from.
    void leavingAHeldDownload_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("cancel") << "cancel";
        QTest::newRow("disconnected") << "disconnected";
    }
    void leavingAHeldDownload()
    {
        QFETCH(QString, how);
        ReceiverEmulator emulator;
        auto lists = ReceiverLists::install(emulator);
        lists->setDocument(QStringLiteral("link"), document({link(0, "A", "http://a")}).toUtf8());
        QVERIFY(emulator.start());
        DVB24CommunicationManager device;
        device.setPort(emulator.port());
        auto module = makeModule(&device);
        connect(&device, &DeviceCommunicationManager::stateChanged, module.get(), &LinkListModule::onDeviceStateChange);
        device.connectToHost(emulator.host());
        QTRY_VERIFY(module->btnDownloadLists->isEnabled());
        DialogAnswerer answers;
        lists->setHold(true);
        module->btnDownloadLists->click();
        QCOMPARE(module->stackedWidget->currentIndex(), 2);
        QCOMPARE(module->dataTransferPageStatusLabel->text(),
                 QStringLiteral("Downloading lists. Waiting for device access..."));
        if (how == QLatin1String("cancel"))
            module->dataTransferPageButton->click();
        else
            module->onDeviceStateChange(QStringLiteral("disconnected"));
        lists->setHold(false);
        QTRY_VERIFY(!module->pendingTask());
        // A cancel is the user's own; a lost connection is said, never a quiet ending.
        QTRY_COMPARE(answers.boxTexts, how == QLatin1String("cancel")
                                           ? QStringList()
                                           : QStringList{ListTransfer::lostConnectionText(QStringLiteral("download"))});
        QCOMPARE(module->stackedWidget->currentIndex(), 0);
        QVERIFY(!module->projectManager()->isProjectLoaded());
        device.requestClose();
    }

    void openingALinkFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("project") << "list.lkqvxc";
        QTest::newRow("export, upper case") << "LIST.LKQVX";
    }
    void openingALinkFile()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ProjectFileFormat::encode(document({link(0, "A", "http://a"), link(1, "B", "http://b")}),
                                             name.endsWith(QLatin1String("C"), Qt::CaseInsensitive)));
        file.close();
        ModuleFactory::registerListModule<LinkListModule>(OmbrelayModule::TypeLinkList);
        Settings::setString(Settings::OmbrelayDeviceList, QString());
        MainWindow window;
        ZBDeviceInfo usb(QStringLiteral("Stick"), QString(), true);
        usb.setEnableLinksModule(true);
        usb.setNetListMaxCount(6);
        usb.ensureDefaults();
        window.collection()->append(usb);
        DialogAnswerer answers;
        window.tryToOpenFile(dir.filePath(name));
        QCOMPARE(answers.boxTexts, QStringList());
        auto *module = qobject_cast<LinkListModule *>(window.currentModule());
        QVERIFY(module);
        QCOMPARE(module->itemsTableViewAll->model()->rowCount(), 2);
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
    }

    void languageSwitchRetextsThePage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("allLinks");
        QTest::addColumn<QString>("question");
        QTest::newRow("de") << "de_DE" << QString::fromUtf8("Alle Internet-Links")
                            << QString::fromUtf8("Links ohne Titel oder URL sind nicht erlaubt. Möchten Sie diese "
                                                 "Eigenschaften jetzt festlegen?");
        QTest::newRow("pl") << "pl_PL" << QString::fromUtf8("Wszystkie linki internetowe")
                            << QString::fromUtf8("Linki bez tytułu lub adresu URL są niedozwolone. Czy chcesz teraz "
                                                 "ustawić te właściwości?");
        QTest::newRow("en") << "en_EN"
                            << "All internet links" << questionText;
    }
    void languageSwitchRetextsThePage()
    {
        QFETCH(QString, language);
        auto module = makeModule();
        QVERIFY(module->projectManager()->newProject(document({link(0, "A", "http://a")})));
        QTranslator translator;
        const bool translated = language != QLatin1String("en_EN");
        if (translated) {
            QVERIFY(loadTranslator(&translator, language));
            QCoreApplication::installTranslator(&translator);
        }
        QFETCH(QString, allLinks);
        QTRY_COMPARE(module->lblAllServices->text(), allLinks);
        // The removed tuning tab stays removed and untouched.
        QVERIFY(!module->transportStreamTab);
        QCOMPARE(module->tabServiceProperties->count(), 2);
        // Every label and check box placed at a fixed size shows its whole text.
        module->tabServiceProperties->setCurrentIndex(1);
        module->showServiceDetails(true);
        for (QWidget *fixed :
             std::initializer_list<QWidget *>{module->label_2, module->label_4, module->parentLockCheckBox})
            QVERIFY2(fixed->sizeHint().width() <= fixed->width(), qPrintable(fixed->objectName()));
        // The question of an incomplete link comes in the language, with its buttons.
        DialogAnswerer answers;
        answers.boxAnswers << (language == QLatin1String("de_DE")   ? "Ja"
                               : language == QLatin1String("pl_PL") ? "Tak"
                                                                    : "Yes");
        clickRow(module.get(), 0);
        typeInto(module->txtLinkUrl, QString());
        QTest::keyClick(module->txtLinkUrl, Qt::Key_Return);
        QCOMPARE(answers.boxTexts.size(), 1);
        QTEST(answers.boxTexts.first(), "question");
        QCOMPARE(titles(module->projectManager()->documentText()), QStringList{"A"});
        if (translated)
            QCoreApplication::removeTranslator(&translator);
        QTRY_COMPARE(module->lblAllServices->text(), QStringLiteral("All internet links"));
    }
};

OMBRELAY_TEST_MAIN(TestLinkListModule)
#include "tst_linklistmodule.moc"
