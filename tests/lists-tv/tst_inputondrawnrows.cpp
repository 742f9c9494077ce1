#include "tabledrawn.h"
#include "testmain.h"

#include "dialoganswerer.h"
#include "listinthewindow.h"
#include "listpagetest.h"
#include "pointerinput.h"
#include "waitingsearchlists.h"

#include "app/mainwindow.h"
#include "device/core/zbdeviceinfo.h"
#include "document/listitemsdatabasemodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/linklistmodule.h"
#include "lists/listtabwidget.h"
#include "lists/tvlistmodule.h"
#include "modules/modulefactory.h"
#include "widgets/itemstableview.h"

#include <QMenu>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

// Once the rows' texts are read, a search typed into a list page is applied at each key, and the table is
// drawn again only when the program next idles. Input aimed at a row that comes before that acts on the
// row drawn there or on none, never on a row the search moved there; once the table is drawn, the same
// input acts on the row it shows.

namespace {

// The rows' texts read, as a few seconds after a list opens, so that a search is applied at each key.
void readTexts(ObjectSortFilterProxyModel *proxy)
{
    proxy->setItemsSearchFilter(QStringLiteral("Sport"));
    proxy->finishSearch();
    proxy->setItemsSearchFilter(QString());
}

// A click into the page's search field and "Sport" typed, the keys sent straight one after another as a
// busy program takes them: no event loop runs, so the table is not drawn in between.
template<class Page> void typeSportAtOnce(Page *page)
{
    QTest::mouseClick(page->txtSearch, Qt::LeftButton);
    page->txtSearch->setFocus();
    QTest::keyClicks(page->txtSearch, QStringLiteral("Sport"));
}

} // namespace

class TestInputOnDrawnRows : public QObject
{
    Q_OBJECT

    ZBDeviceInfo info{QStringLiteral("Box")};
    QTemporaryDir dir;

    // "Sport" typed into the page's search field and at once input aimed at the 4th row shown (or the
    // next row below it the search hides): it acts on nothing. Once the table is drawn, the same input at
    // the same place acts on the "Sport" service shown there, and on it alone.
    template<class Page> static void typeThenPoint(Page *page, Pointer input, const QString &tag)
    {
        ItemsTableView *table = page->itemsTableViewAll;
        ObjectSortFilterProxyModel *proxy = table->proxy();
        ItemsDatabaseModel *items = page->projectManager()->itemsModel;
        QCOMPARE(proxy->sourceModel(), items);
        readTexts(proxy);
        QVERIFY(tableDrawn(table));
        AimedRow aim;
        if (!aim.find(table))
            return;
        const QStringList before = names(items);

        typeSportAtOnce(page);
        QVERIFY2(!proxy->isSearchPending(), "the search waited: it was not applied at the keys");
        const QModelIndex now = table->indexAt(aim.point);
        QVERIFY(now.isValid());
        const QString movedName = now.siblingAtColumn(1).data().toString();
        QVERIFY2(movedName.startsWith(QLatin1String("Sport")), qPrintable(movedName));
        QStringList acted = pointAt(input, table, items, tag, aim.window, aim.inWindow);
        QCOMPARE(acted, QStringList());
        QCOMPARE(names(items), before);
        QVERIFY(!table->isEditing());
        QVERIFY(!table->contextMenu()->isVisible());
        QCOMPARE(table->selectionModel()->selectedRows().size(), 0);
        if (input == DoubleClick) {
            // the focus stayed in the search field, and the name typed went there; the search typed again
            QCOMPARE(QApplication::focusWidget(), page->txtSearch);
            QCOMPARE(page->txtSearch->text(), QStringLiteral("SportRenC"));
            page->txtSearch->selectAll();
            QTest::keyClicks(page->txtSearch, QStringLiteral("Sport"));
        }

        QVERIFY(tableDrawn(table));
        QCOMPARE(table->indexAt(aim.point).siblingAtColumn(1).data().toString(), movedName);
        acted = pointAt(input, table, items, tag, aim.window, aim.inWindow);
        QCOMPARE(acted, QStringList{movedName});
        if (input == DoubleClick)
            QVERIFY(names(items).contains(QStringLiteral("RenC")));
        QVERIFY(!table->isEditing());
        QVERIFY(!table->contextMenu()->isVisible());
        page->projectManager()->closeProject();
    }

private slots:
    void init() { QApplication::clipboard()->clear(); }

    // A double-click followed by "RenC" and Enter, a right-click menu's Delete, the start of a drag and a
    // drop from another table, each right after the keys, on the TV and the link page.
    void pointerInputRightAfterTheKeys_data()
    {
        addPointerRows({{Press, "a press"},
                        {DoubleClick, "a double-click, then RenC and Enter"},
                        {RightClickDelete, "a right-click menu's Delete"},
                        {DragStart, "the start of a drag"},
                        {Drop, "a drop"}});
    }
    void pointerInputRightAfterTheKeys()
    {
        QFETCH(int, input);
        QFETCH(bool, links);
        DialogAnswerer answers;
        answers.boxAnswers << QStringLiteral("&Yes") << QStringLiteral("&Yes");
        onHalfSportPage(&info, links,
                        [input](auto *page, const QString &tag) { typeThenPoint(page, Pointer(input), tag); });
    }

    // The first row shown holds "Sport" and stays where it is: a double-click on it right after the keys
    // renames it, as at any other time.
    void doubleClickOnARowThatStaysPut()
    {
        DialogAnswerer answers;
        auto page = showListPage<TVListModule>(&info, halfSport(serviceCount()));
        ItemsTableView *table = page->itemsTableViewAll;
        ItemsDatabaseModel *items = page->projectManager()->itemsModel;
        readTexts(table->proxy());
        QVERIFY(tableDrawn(table));
        const QModelIndex cell = table->model()->index(0, 1);
        const int seen = table->proxy()->mapToSource(cell).row();
        const QString seenName = cell.data().toString();
        QVERIFY2(seenName.startsWith(QLatin1String("Sport")), qPrintable(seenName));
        const QPoint point = uncoveredPoint(table, table->visualRect(cell));
        QVERIFY(!point.isNull());
        typeSportAtOnce(page.get());
        QVERIFY(!table->proxy()->isSearchPending());
        QCOMPARE(table->indexAt(point).data().toString(), seenName);
        const QStringList acted = pointAt(DoubleClick, table, items, QStringLiteral("name"), page->windowHandle(),
                                          table->viewport()->mapTo(page.get(), point));
        QCOMPARE(acted, QStringList{seenName});
        QCOMPARE(items->index(seen, 1).data().toString(), QStringLiteral("RenC"));
        page->projectManager()->closeProject();
    }

    // A click right after the keys is dropped; the same click again before the table is drawn is dropped
    // too (it would act on a row the screen does not show yet); once drawn, a click selects the row shown.
    void sameClickAgainBeforeTheTableIsDrawn()
    {
        DialogAnswerer answers;
        auto page = showListPage<TVListModule>(&info, halfSport(serviceCount()));
        ItemsTableView *table = page->itemsTableViewAll;
        readTexts(table->proxy());
        QVERIFY(tableDrawn(table));
        const QModelIndex cell = table->model()->index(3, 1);
        QVERIFY(!cell.data().toString().startsWith(QLatin1String("Sport")));
        const QPoint point = uncoveredPoint(table, table->visualRect(cell));
        QVERIFY(!point.isNull());
        typeSportAtOnce(page.get());
        QVERIFY(!table->proxy()->isSearchPending());
        const QString shownLater = table->indexAt(point).siblingAtColumn(1).data().toString();
        QVERIFY2(shownLater.startsWith(QLatin1String("Sport")), qPrintable(shownLater));
        // sent to the table itself, so that no event loop runs after them
        for (int click = 0; click < 2; ++click) {
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, point);
            QCOMPARE(table->selectionModel()->selectedRows().size(), 0);
        }
        QVERIFY(tableDrawn(table));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, point);
        const QModelIndexList selected = table->selectionModel()->selectedRows(1);
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().data().toString(), shownLater);
        page->projectManager()->closeProject();
    }

    // As testers did it in the whole program: a list open, "List 2" chosen, the texts read, "Sport" typed,
    // at once a double-click on the Name of the 4th row shown, "RenC", Enter. No service is renamed; once the table
    // is drawn the same double-click renames the service it shows there.
    void doubleClickInTheWindowRightAfterTheKeys()
    {
        withHalfSportInTheWindow(dir, QStringLiteral("rename.tvqvxc"), serviceCount(), [](TVListModule *page) {
            // "List 2" chosen first, as the testers did
            QTabBar *bar = page->listsTabWidget->tabBar();
            QVERIFY(bar->count() > 1);
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
            QCOMPARE(page->listsTabWidget->currentIndex(), 1);
            typeThenPoint(page, DoubleClick, QStringLiteral("name"));
        });
    }
};

OMBRELAY_TEST_MAIN(TestInputOnDrawnRows)
#include "tst_inputondrawnrows.moc"
