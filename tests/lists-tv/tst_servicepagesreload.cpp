#include "receiveremulator.h"
#include "receiverlists.h"
#include "testmain.h"

#include "dialoganswerer.h"

#include "base/settings.h"
#include "base/translatorloader.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "document/listitemsdatabasemodel.h"
#include "exchange/listsimportwizard.h"
#include "exchange/selectdrivedialog.h"
#include "listfiles/listprojectfilemanager.h"
#include "lists/linklistmodule.h"
#include "lists/radiolistmodule.h"
#include "lists/tvlistmodule.h"
#include "widgets/itemstableview.h"
#include "widgets/messagebox.h"
#include "widgets/ssearchlineedit.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

namespace {
// A list of count services with ids 1..count (kind "tv" or "radio") whose first favourite list holds
// first, in that order; the other lists are empty. Names run against the ids, so no order comes for free.
QString listText(const QString &kind, int count, const QList<int> &first)
{
    const QString element = kind == QLatin1String("tv") ? QStringLiteral("tvService") : QStringLiteral("radioService");
    QString text = QStringLiteral("<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/><items>");
    for (int id = 1; id <= count; ++id) {
        if (kind == QLatin1String("link"))
            text += QStringLiteral("<link id=\"%1\"><title>Name %2</title><url>http://127.0.0.1/%1</url>"
                                   "<type>1</type></link>")
                        .arg(id)
                        .arg(QChar(u'Z' - id));
        else
            text += QStringLiteral("<%1 id=\"%2\"><name>Name %3</name><provider>P</provider><details><config "
                                   "type=\"cable\" frequency=\"%4\" symbolRate=\"6900\"/></details></%1>")
                        .arg(element)
                        .arg(id)
                        .arg(QChar(u'Z' - id))
                        .arg(300 + id);
    }
    text += QStringLiteral("</items><lists><list id=\"0\">");
    for (int id : first)
        text += QStringLiteral("<ref>%1</ref>").arg(id);
    text += QStringLiteral("</list><list id=\"1\"/><list id=\"2\"/><list id=\"3\"/></lists></TDocument>\n");
    return text;
}

std::unique_ptr<ListsModuleShared> makePage(const QString &kind)
{
    if (kind == QLatin1String("tv"))
        return std::make_unique<TVListModule>();
    if (kind == QLatin1String("link"))
        return std::make_unique<LinkListModule>();
    return std::make_unique<RadioListModule>();
}

template<typename T> T *child(QWidget *page, const char *name)
{
    return page->findChild<T *>(QLatin1String(name));
}

// The table as the user sees it: "id:# on list" per row, top to bottom.
QStringList shownOrder(QWidget *page)
{
    QAbstractItemModel *model = child<ItemsTableView>(page, "itemsTableViewAll")->model();
    QStringList rows;
    for (int row = 0; model && row < model->rowCount(); ++row)
        rows << model->index(row, 8).data().toString() + u':' + model->index(row, 0).data().toString();
    return rows;
}
} // namespace

// What a list page shows after a load depends on the list loaded only: a second list, whatever way it
// came (opened, downloaded, imported from a drive), looks as it would on a page that never held another.
class TestServicePagesReload : public QObject
{
    Q_OBJECT
    ZBDeviceInfo network{QStringLiteral("Box")};
    ZBDeviceInfo stick{QStringLiteral("Stick"), QString(), true};

    struct Session
    {
        ReceiverEmulator emulator;
        std::shared_ptr<ReceiverLists> lists = ReceiverLists::install(emulator);
        DVB24CommunicationManager manager;
        QTemporaryDir dir;
        std::unique_ptr<ListsModuleShared> page;
        QString kind;
        QString route;
        int loads = 0;
        QStringList questions;
    };

    std::unique_ptr<Session> shownPage(const QString &kind, const QString &route)
    {
        auto session = std::make_unique<Session>();
        session->kind = kind;
        session->route = route;
        session->page = makePage(kind);
        ListsModuleShared *page = session->page.get();
        page->setDeviceInfo(route == QLatin1String("usb") ? &stick : &network);
        page->resize(1100, 760);
        page->show();
        page->onShow();
        if (route == QLatin1String("download")) {
            if (!session->emulator.start())
                return nullptr;
            session->manager.setPort(session->emulator.port());
            page->setCommunicationManager(&session->manager);
            connect(&session->manager, &DeviceCommunicationManager::stateChanged, page,
                    &ListsModuleShared::onDeviceStateChange);
            session->manager.connectToHost(session->emulator.host());
            if (!QTest::qWaitFor([&] { return child<QAbstractButton>(page, "btnDownloadLists")->isEnabled(); }, 30000))
                return nullptr;
        }
        return session;
    }

    // Loads text on the page the session's way; the save question is answered No.
    static bool load(Session *s, const QString &text)
    {
        ListsModuleShared *page = s->page.get();
        ListProjectFileManager *manager = page->listManager();
        const QString extension = manager->exportFileExtension();
        ++s->loads;
        MessageBox::setAnswerHook([s](QDialog *dialog) {
            if (auto *picker = qobject_cast<SelectDriveDialog *>(dialog)) {
                picker->selectedPath = s->dir.path();
                picker->done(1);
            } else if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
                s->questions << box->text();
                MessageBox::clickButton(box, QStringLiteral("&No"));
            } else {
                dialog->reject();
            }
        });
        QTimer wizards;
        connect(&wizards, &QTimer::timeout, [] {
            if (auto *wizard = qobject_cast<ListsImportWizard *>(QApplication::activeModalWidget()))
                wizard->done(1);
        });
        wizards.start(5);
        bool done = false;
        if (s->route == QLatin1String("open")) {
            const QString path = s->dir.filePath(QStringLiteral("list%1.%2").arg(s->loads).arg(extension));
            QFile file(path);
            done = file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0;
            file.close();
            page->openFile(path);
        } else if (s->route == QLatin1String("usb")) {
            QFile file(QDir(s->dir.path()).filePath(Settings::favsListUpdateName() + u'.' + extension));
            done = file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0;
            file.close();
            child<QAbstractButton>(page, "btnDownloadLists")->click();
        } else {
            s->lists->setDocument(s->kind, text.toUtf8());
            child<QAbstractButton>(page, "btnDownloadLists")->click();
            done = QTest::qWaitFor([&] { return !page->pendingTask() && !page->isReadingList(); }, 30000);
        }
        MessageBox::setAnswerHook({});
        return done && manager->isProjectLoaded() && page->currentPage() == ListsModuleShared::PageEditor;
    }

    static void edit(ListsModuleShared *page)
    {
        // an unsaved change, so the next load asks first
        ListItemsDatabaseModel *items = page->listManager()->itemsModel;
        QVERIFY(items);
        QVERIFY(items->setData(items->index(0, 1), QStringLiteral("Edited"), Qt::EditRole));
        QVERIFY(page->listManager()->isModified());
    }

private slots:
    void init() { Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1")); }

    void secondLoadShowsTheNewListsOrder_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("route");
        for (const char *kind : {"tv", "radio", "link"})
            for (const char *route : {"open", "download", "usb"})
                QTest::addRow("%s, %s", kind, route) << QString::fromLatin1(kind) << QString::fromLatin1(route);
    }
    void secondLoadShowsTheNewListsOrder()
    {
        QFETCH(QString, kind);
        QFETCH(QString, route);
        const QString first = listText(kind, 10, {1, 2, 3, 4, 5});
        const QString second = listText(kind, 12, {8, 3, 12, 6});
        // the same list on a page that held nothing before
        auto fresh = shownPage(kind, route);
        QVERIFY(fresh);
        QVERIFY(load(fresh.get(), second));
        const QStringList expected = shownOrder(fresh->page.get());
        QCOMPARE(expected.mid(0, 4), QStringList({"8:1", "3:2", "12:3", "6:4"}));
        QCOMPARE(expected.size(), 12);
        fresh.reset();

        auto session = shownPage(kind, route);
        QVERIFY(session);
        QVERIFY(load(session.get(), first));
        QCOMPARE(shownOrder(session->page.get()).mid(0, 5), QStringList({"1:1", "2:2", "3:3", "4:4", "5:5"}));
        edit(session->page.get());
        QVERIFY(load(session.get(), second));
        QCOMPARE(session->questions.size(), 1);
        QCOMPARE(shownOrder(session->page.get()), expected);
        // and a third load, of the first list again
        QVERIFY(load(session.get(), first));
        QCOMPARE(shownOrder(session->page.get()).mid(0, 5), QStringList({"1:1", "2:2", "3:3", "4:4", "5:5"}));
        if (route == QLatin1String("download"))
            session->manager.requestClose();
    }

    // A save dialog answered while its name field has the focus (its window was activated early)
    // saves under the name chosen, as one answered before that.
    void saveAsWhileTheNameFieldHasTheFocus()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("mine.tvqvxc"));
        auto session = shownPage(QStringLiteral("tv"), QStringLiteral("open"));
        QVERIFY(session);
        ListsModuleShared *page = session->page.get();
        QVERIFY(page->listManager()->newProject(listText(QStringLiteral("tv"), 5, {1})));
        QTimer focus;
        connect(&focus, &QTimer::timeout, [] {
            if (auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                QApplication::setActiveWindow(files);
                if (auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                    name->setFocus();
            }
        });
        focus.start(0);
        DialogAnswerer answers;
        answers.fileAnswers << path;
        child<QAbstractButton>(page, "saveAsProjectCommandLinkButton")->click();
        QCOMPARE(answers.fileDialogs.size(), 1);
        QVERIFY(QFileInfo(path).isFile());
        QVERIFY(!page->listManager()->isModified());
    }

    // The window calls onShow by name as well as directly.
    void onShowIsASlot_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("tv") << "tv";
        QTest::newRow("radio") << "radio";
    }
    void onShowIsASlot()
    {
        QFETCH(QString, kind);
        auto page = makePage(kind);
        const QMetaObject *meta = page->metaObject();
        const int index = meta->indexOfSlot("onShow()");
        QVERIFY(index >= 0);
        QCOMPARE(meta->method(index).access(), QMetaMethod::Public);
        // called through the meta-object it runs the first-show set-up: the welcome page comes up
        page->setPage(ListsModuleShared::PageEditor);
        QVERIFY(QMetaObject::invokeMethod(page.get(), "onShow"));
        QCOMPARE(page->currentPage(), int(ListsModuleShared::PageWelcome));
    }

    // The empty search box shows its hint, in the current language, after a load, a new service and a
    // language switch, with or without a list open.
    void searchBoxShowsItsHint_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("tv") << "tv";
        QTest::newRow("radio") << "radio";
        QTest::newRow("link") << "link";
    }
    void searchBoxShowsItsHint()
    {
        QFETCH(QString, kind);
        auto session = shownPage(kind, QStringLiteral("open"));
        QVERIFY(session);
        ListsModuleShared *page = session->page.get();
        auto *search = child<SSearchLineEdit>(page, "txtSearch");
        const QString grey = QStringLiteral("color:grey");
        QCOMPARE(search->shownHint(), QStringLiteral("Search..."));

        // a switch with no list open shows the hint translated, and back
        QTranslator german;
        QVERIFY(loadTranslator(&german, QStringLiteral("de_DE")));
        QCoreApplication::installTranslator(&german);
        QCoreApplication::processEvents();
        const QString suchen = QCoreApplication::translate(page->metaObject()->className(), "Search...");
        QVERIFY(suchen != QLatin1String("Search..."));
        QCOMPARE(search->shownHint(), suchen);
        QVERIFY(search->isHintShown());
        QCoreApplication::removeTranslator(&german);
        QCoreApplication::processEvents();
        QCOMPARE(search->shownHint(), QStringLiteral("Search..."));

        // a search typed, then a load: the hint again, every row shown
        QVERIFY(load(session.get(), listText(kind, 10, {1, 2})));
        search->setFocus();
        QTest::keyClicks(search, QStringLiteral("Name Q"));
        QCOMPARE(child<ItemsTableView>(page, "itemsTableViewAll")->model()->rowCount(), 1);
        child<ItemsTableView>(page, "itemsTableViewAll")->setFocus(); // the search stays typed
        QCOMPARE(search->text(), QStringLiteral("Name Q"));
        QVERIFY(load(session.get(), listText(kind, 7, {3})));
        QCOMPARE(search->shownHint(), QStringLiteral("Search..."));
        QVERIFY(search->isHintShown());
        QVERIFY(search->styleSheet().contains(grey));
        QCOMPARE(child<ItemsTableView>(page, "itemsTableViewAll")->model()->rowCount(), 7);

        // a switch with a list open: the search stays typed, with its rows; emptied and left, the box shows
        // the translated hint, and the English one after the switch back
        search->setFocus();
        QTest::keyClicks(search, QStringLiteral("Name T"));
        child<ItemsTableView>(page, "itemsTableViewAll")->setFocus();
        QCOMPARE(child<ItemsTableView>(page, "itemsTableViewAll")->model()->rowCount(), 1);
        QCoreApplication::installTranslator(&german);
        QCoreApplication::processEvents();
        QCOMPARE(search->text(), QStringLiteral("Name T"));
        QVERIFY(!search->isHintShown());
        QCOMPARE(child<ItemsTableView>(page, "itemsTableViewAll")->model()->rowCount(), 1);
        search->setFocus();
        QTest::keyClick(search, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(search, Qt::Key_Backspace);
        child<ItemsTableView>(page, "itemsTableViewAll")->setFocus();
        QCOMPARE(search->shownHint(), suchen);
        QCOMPARE(child<ItemsTableView>(page, "itemsTableViewAll")->model()->rowCount(), 7);
        QCoreApplication::removeTranslator(&german);
        QCoreApplication::processEvents();
        QCOMPARE(search->shownHint(), QStringLiteral("Search..."));

        // a search typed, then Create new: the hint, grey, not an amber empty box
        search->setFocus();
        QTest::keyClicks(search, QStringLiteral("Name"));
        QVERIFY(search->styleSheet().contains(QStringLiteral("rgb(255, 210, 60)")));
        child<ItemsTableView>(page, "itemsTableViewAll")->setFocus(); // as a click elsewhere does
        child<QAbstractButton>(page, "btnCreateNewItem")->click();
        QCOMPARE(search->shownHint(), QStringLiteral("Search..."));
        QVERIFY(search->isHintShown());
        QVERIFY(search->styleSheet().contains(grey));
        QCOMPARE(child<ItemsTableView>(page, "itemsTableViewAll")->model()->rowCount(), 8);
    }
};

OMBRELAY_TEST_MAIN(TestServicePagesReload)
#include "tst_servicepagesreload.moc"
