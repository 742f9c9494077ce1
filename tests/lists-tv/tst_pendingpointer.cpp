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
#include "lists/tvlistmodule.h"
#include "modules/modulefactory.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

// A search typed right after a list opens waits while the rows' texts are read, and the table meanwhile
// still shows every row. A press in the table applies the search first, which moves the rows: input aimed
// at the place of a row never acts on the row that applying the search moved there.

namespace {

// Whether a proxy's search still waited when the first press reached a window, before any widget of the
// program saw it. Watched from the application, ahead of the program's own filters there (the last one put on
// is asked first): they may apply the search before the window gets the press.
class WaitedAtPress : public QObject
{
public:
    WaitedAtPress(QWindow *window, const ObjectSortFilterProxyModel *proxy)
        : window(window)
        , proxy(proxy)
    {
        qApp->installEventFilter(this);
    }
    ~WaitedAtPress() override { qApp->removeEventFilter(this); }
    bool pressed = false;
    bool waited = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!pressed && watched == window && event->type() == QEvent::MouseButtonPress) {
            pressed = true;
            waited = proxy->isSearchPending();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QWindow> window;
    const ObjectSortFilterProxyModel *proxy;
};

} // namespace

class TestPendingPointer : public QObject
{
    Q_OBJECT

    ZBDeviceInfo info{QStringLiteral("Box")};
    QTemporaryDir dir;

    // "Sport" typed into the page's search field, then input aimed at a row the search hides (the 4th
    // shown, or the next such row below it) while the search still waits. Applying the search puts a
    // "Sport" service there; the input acts on neither and leaves the table as a finished click does, so
    // that the same input at the same place then acts on the service shown there.
    template<class Page> static void pointAtAHiddenRow(Page *page, Pointer input, const QString &tag)
    {
        ItemsTableView *table = page->itemsTableViewAll;
        ObjectSortFilterProxyModel *proxy = table->proxy();
        ItemsDatabaseModel *items = page->projectManager()->itemsModel;
        QCOMPARE(proxy->sourceModel(), items);
        typeSearch(page, QStringLiteral("Sport"));
        QVERIFY2(proxy->isSearchPending(), "the texts were read within the typing: the list is too small here");
        AimedRow aim;
        if (!aim.find(table))
            return;

        QStringList acted;
        {
            const WaitedAtPress waited(aim.window, proxy);
            acted = pointAt(input, table, items, tag, aim.window, aim.inWindow);
            QVERIFY(waited.pressed);
            QVERIFY2(waited.waited, "the search was applied before the input came");
        }
        if (input == DoubleClick) {
            // the focus stayed in the search field, and the name typed went there; the search typed again
            QCOMPARE(QApplication::focusWidget(), page->txtSearch);
            QCOMPARE(page->txtSearch->text(), QStringLiteral("SportRenC"));
            page->txtSearch->selectAll();
            QTest::keyClicks(page->txtSearch, QStringLiteral("Sport"));
        }
        QVERIFY(!proxy->isSearchPending());
        const QModelIndex now = table->indexAt(aim.point);
        QVERIFY(now.isValid());
        const int moved = proxy->mapToSource(now).row();
        QVERIFY(moved != aim.seen);
        const QString movedName = items->index(moved, 1).data().toString();
        QVERIFY2(movedName.startsWith(QLatin1String("Sport")), qPrintable(movedName));
        // the row pointed at is hidden now: nothing was acted on, and nothing is left half done
        QCOMPARE(acted, QStringList());
        QCOMPARE(items->index(aim.seen, 1).data().toString(), aim.seenName);
        QVERIFY(!table->isEditing());
        QVERIFY(!table->contextMenu()->isVisible());
        QCOMPARE(table->selectionModel()->selectedRows().size(), 0);

        // the same input again acts on the service shown there now, and on it alone
        acted = pointAt(input, table, items, tag, aim.window, aim.inWindow);
        QCOMPARE(acted, QStringList{movedName});
        if (input == DoubleClick)
            QCOMPARE(items->index(moved, 1).data().toString(), QStringLiteral("RenC"));
        QVERIFY(!table->isEditing());
        QVERIFY(!table->contextMenu()->isVisible());
        page->projectManager()->closeProject();
    }

private slots:
    void init() { QApplication::clipboard()->clear(); }

    // A press, a double-click, a right-click and the start of a drag on a row the waiting search hides,
    // on the TV and the link page: none acts on the row that applying the search moves under the pointer.
    void pointerInputWhileTheSearchWaits_data()
    {
        addPointerRows({{Press, "a press"},
                        {DoubleClick, "a double-click, then RenC and Enter"},
                        {RightClick, "a right-click menu's Copy"},
                        {DragStart, "the start of a drag"}});
    }
    void pointerInputWhileTheSearchWaits()
    {
        QFETCH(int, input);
        QFETCH(bool, links);
        DialogAnswerer answers;
        onHalfSportPage(&info, links,
                        [input](auto *page, const QString &tag) { pointAtAHiddenRow(page, Pointer(input), tag); });
    }

    // A double-click on a row that stays where it is when the search is applied (the first one shown,
    // a "Sport" service) opens its editor as at any other time: only input whose row moved is dropped.
    void doubleClickOnARowTheSearchKeeps()
    {
        DialogAnswerer answers;
        auto page = showListPage<TVListModule>(&info, halfSport(serviceCount()));
        ItemsTableView *table = page->itemsTableViewAll;
        ObjectSortFilterProxyModel *proxy = table->proxy();
        ItemsDatabaseModel *items = page->projectManager()->itemsModel;
        typeSearch(page.get(), QStringLiteral("Sport"));
        QVERIFY2(proxy->isSearchPending(), "the texts were read within the typing: the list is too small here");
        const QModelIndex cell = table->model()->index(0, 1);
        const int seen = proxy->mapToSource(cell).row();
        const QString seenName = cell.data().toString();
        QVERIFY2(seenName.startsWith(QLatin1String("Sport")), qPrintable(seenName));
        const QPoint point = uncoveredPoint(table, table->visualRect(cell));
        QVERIFY(!point.isNull());
        QWindow *window = page->windowHandle();
        const WaitedAtPress waited(window, proxy);
        const QStringList acted = pointAt(DoubleClick, table, items, QStringLiteral("name"), window,
                                          table->viewport()->mapTo(page.get(), point));
        QVERIFY(waited.waited);
        QCOMPARE(acted, QStringList{seenName});
        QCOMPARE(items->index(seen, 1).data().toString(), QStringLiteral("RenC"));
        page->projectManager()->closeProject();
    }

    // As testers did it in the whole program: a list opened, "Sport" typed, at once a double-click on the
    // Name of the 4th row shown, "RenC", Enter. No service is renamed; the next double-click there renames
    // the one the search shows there.
    void doubleClickInTheWindowWhileTheSearchWaits()
    {
        withHalfSportInTheWindow(dir, QStringLiteral("rename.tvqvxc"), serviceCount(), [](TVListModule *page) {
            pointAtAHiddenRow(page, DoubleClick, QStringLiteral("name"));
        });
    }
};

OMBRELAY_TEST_MAIN(TestPendingPointer)
#include "tst_pendingpointer.moc"
