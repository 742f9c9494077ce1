#include "testmain.h"
#include "tabledrawn.h"

#include "waitingsearchlists.h"

#include "base/columnfilter.h"
#include "document/listitemsdatabasemodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/tvlistmodule.h"
#include "widgets/itemstableview.h"
#include "widgets/ssearchlineedit.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>

// A large selection that is not one whole-table block (Ctrl+A and then a space typed in the table, or
// blocks made with Shift and Ctrl) goes through every search key, sort and value filter of the table: the
// rows it held that are still shown stay selected, the rows no longer shown leave it, the current row stays,
// and no change makes the models carry a persistent index per selected cell, which took minutes for a large
// list.

namespace {

constexpr int services = 5000;
constexpr int idColumn = 8;

// Service i is "Kultur i" when i is even, else "Sport i"; its genre is "Film" when i % 4 == 2, else "News".
// Sorted by name, row 5 is "Kultur 10" and row 9 "Kultur 18": both hold "Kultur 1" and are films.
QString document()
{
    QString items;
    items.reserve(services * 100);
    for (int i = 0; i < services; ++i)
        items += QStringLiteral("<tvService id=\"%1\"><name>%2 %1</name><genres>%3</genres></tvService>")
                     .arg(QString::number(i), i % 2 ? QStringLiteral("Sport") : QStringLiteral("Kultur"),
                          i % 4 == 2 ? QStringLiteral("Film") : QStringLiteral("News"));
    return QStringLiteral("<TDocument><documentProperties/><items>%1</items><lists/></TDocument>").arg(items);
}

// The persistent indexes a model holds, each of which it moves one by one when its rows move.
class PersistentCount : public QAbstractItemModel
{
public:
    static int of(const QAbstractItemModel *model)
    {
        return int((model->*(&PersistentCount::persistentIndexList))().size());
    }
};

// The most persistent indexes the model held as it announced that its rows move, once the view's selection
// model (which listens before this) had prepared for it.
class PersistentPeak : public QObject
{
public:
    explicit PersistentPeak(QAbstractItemModel *model)
    {
        connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, [this, model] {
            peak = std::max(peak, PersistentCount::of(model));
            ++changes;
        });
    }
    int peak = 0;
    int changes = 0;
};

// counts the flags read through it
class FlagsCounting : public QIdentityProxyModel
{
public:
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        ++reads;
        return QIdentityProxyModel::flags(index);
    }
    mutable int reads = 0;
};

// Far fewer than the cells of the selections below: the current index and the few places the view keeps.
constexpr int fewPersistent = 16;

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

QStringList shownIds(const QAbstractItemModel *model)
{
    QStringList ids;
    for (int row = 0; row < model->rowCount(); ++row)
        ids << model->index(row, idColumn).data().toString();
    return sorted(ids);
}

QStringList selectedIds(const QAbstractItemView *view)
{
    QStringList ids;
    const QModelIndexList rows = view->selectionModel()->selectedRows(idColumn);
    for (const QModelIndex &index : rows)
        ids << index.data().toString();
    return sorted(ids);
}

QString currentId(const QAbstractItemView *view)
{
    return view->currentIndex().siblingAtColumn(idColumn).data().toString();
}

QStringList both(const QStringList &a, const QStringList &b)
{
    QStringList common;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(common));
    return common;
}

// A click as the user makes it: on the row the table shows there once it has been drawn.
void clickRow(ItemsTableView *table, int row, Qt::KeyboardModifiers modifiers = {})
{
    QVERIFY(tableDrawn(table));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers,
                      table->visualRect(table->model()->index(row, 1)).center());
}

// The Name cell of row 5 clicked, Ctrl+A, and "Edited " typed with the focus still in the table (whose cells
// open no editor on a key): the space adds the current row to the whole-table selection, which is then three
// blocks. No name begins with any of the letters, so the type-ahead moves nothing however long a key takes.
void selectAllThenSpace(ItemsTableView *table)
{
    clickRow(table, 5);
    QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(table, QStringLiteral("Edited "));
}

// A shown, active window whose items table shows a model over the manager's list.
struct TableWindow
{
    QWidget window;
    TVListProjectFileManager manager{&window};
    ItemsTableView *table = new ItemsTableView(&window);

    bool show(QAbstractItemModel *model)
    {
        (new QVBoxLayout(&window))->addWidget(table);
        window.resize(900, 700);
        window.show();
        QApplication::setActiveWindow(&window);
        table->setModel(model);
        return QTest::qWaitForWindowActive(&window);
    }
};

enum Selection { SelectAllAndSpace, ShiftAndCtrl };
enum Change { Search, Sort, ValueFilter };

} // namespace

class TestSelectionThroughSearch : public QObject
{
    Q_OBJECT

private slots:
    void selectionOutlivesTheChange_data()
    {
        QTest::addColumn<int>("selection");
        QTest::addColumn<int>("change");
        QTest::newRow("Ctrl+A and a space, then a search") << int(SelectAllAndSpace) << int(Search);
        QTest::newRow("Ctrl+A and a space, then a sort") << int(SelectAllAndSpace) << int(Sort);
        QTest::newRow("Ctrl+A and a space, then a value filter") << int(SelectAllAndSpace) << int(ValueFilter);
        QTest::newRow("Shift+click and Ctrl+clicks, then a search") << int(ShiftAndCtrl) << int(Search);
        QTest::newRow("Shift+click and Ctrl+clicks, then a sort") << int(ShiftAndCtrl) << int(Sort);
        QTest::newRow("Shift+click and Ctrl+clicks, then a value filter") << int(ShiftAndCtrl) << int(ValueFilter);
    }
    // The selection made with the keys and the mouse in the table, then one change of the rows shown and
    // the change undone.
    void selectionOutlivesTheChange()
    {
        QFETCH(int, selection);
        QFETCH(int, change);
        TableWindow shownList;
        QVERIFY(shownList.manager.newProject(document()));
        ItemsTableView *table = shownList.table;
        QVERIFY(shownList.show(shownList.manager.itemsModel));
        table->sortByColumn(1, Qt::AscendingOrder);
        QAbstractItemModel *shown = table->model();
        ObjectSortFilterProxyModel *proxy = table->proxy();
        PersistentPeak persistent(shown);
        QAbstractItemModelTester tester(shown, QAbstractItemModelTester::FailureReportingMode::QtTest);

        if (selection == SelectAllAndSpace) {
            selectAllThenSpace(table);
            QCOMPARE(currentId(table), QStringLiteral("10"));
        } else {
            clickRow(table, 5);
            table->scrollToBottom();
            clickRow(table, services - 1, Qt::ShiftModifier);
            table->scrollToTop();
            clickRow(table, 7, Qt::ControlModifier);
            clickRow(table, 9, Qt::ControlModifier);
            QCOMPARE(currentId(table), QStringLiteral("18"));
        }
        const QString current = currentId(table);
        const QStringList before = selectedIds(table);
        QCOMPARE(before.size(), selection == SelectAllAndSpace ? services : services - 7);
        QVERIFY2(table->selectionModel()->selection().size() >= 3, "the selection is one block");

        QList<ColumnFilter> films{ColumnFilter(3, nullptr, false, true, {QStringLiteral("Film")})};
        switch (change) {
        case Search:
            proxy->setItemsSearchFilter(QStringLiteral("Kultur 1"));
            proxy->finishSearch();
            break;
        case Sort:
            table->sortByColumn(1, Qt::DescendingOrder);
            break;
        case ValueFilter:
            proxy->setColumnFilters(&films);
            break;
        }
        const QStringList after = shownIds(shown);
        QVERIFY(!after.isEmpty());
        QCOMPARE(after.size(), change == Search ? 555 : change == Sort ? services : services / 4);
        QCOMPARE(selectedIds(table), both(before, after));
        QCOMPARE(currentId(table), current);
        // the rows were chosen anew once, with the models carrying next to no persistent index
        QCOMPARE(persistent.changes, 1);
        QVERIFY2(persistent.peak <= fewPersistent, qPrintable(QString::number(persistent.peak)));

        // Undone, every row is shown again; those that had left the selection come back unselected.
        switch (change) {
        case Search:
            proxy->setItemsSearchFilter(QString());
            break;
        case Sort:
            table->sortByColumn(1, Qt::AscendingOrder);
            break;
        case ValueFilter:
            proxy->setColumnFilters(nullptr);
            break;
        }
        QCOMPARE(shown->rowCount(), services);
        QCOMPARE(selectedIds(table), both(before, after));
        QCOMPARE(currentId(table), current);
        QVERIFY2(persistent.peak <= fewPersistent, qPrintable(QString::number(persistent.peak)));
    }

    // A block made with a click and Shift+click stays the block being made through a search: the next
    // Shift+click moves its end, as it would have without the search.
    void shiftMovesTheEndAfterASearch()
    {
        TableWindow shownList;
        QVERIFY(shownList.manager.newProject(document()));
        ItemsTableView *table = shownList.table;
        QVERIFY(shownList.show(shownList.manager.itemsModel));
        table->sortByColumn(1, Qt::AscendingOrder);
        clickRow(table, 5);
        clickRow(table, 9, Qt::ShiftModifier);
        QCOMPARE(selectedIds(table), sorted({"10", "12", "14", "16", "18"}));
        table->proxy()->setItemsSearchFilter(QStringLiteral("Kultur 1"));
        table->proxy()->finishSearch();
        QCOMPARE(table->model()->index(2, 1).data().toString(), QStringLiteral("Kultur 14"));
        QCOMPARE(selectedIds(table), sorted({"10", "12", "14", "16", "18"}));
        clickRow(table, 2, Qt::ShiftModifier);
        QCOMPARE(selectedIds(table), sorted({"10", "12", "14"}));
    }

    // The steps of a user in the program, every key typed into whatever has the focus: a cell of row 5
    // clicked, Ctrl+A, "Edited first" typed, then a click into the search field and "Kultur 1" typed there.
    // On the Name cell the first key opens its editor, which takes the text and writes it when the search
    // field is clicked; on the read-only list-place cell the keys reach the table, whose type-ahead finds
    // nothing, and the space adds the current row to the whole-table selection. Either way the table then
    // shows the services holding the text, all of them selected, and no key made the models carry a
    // persistent index per selected cell.
    void searchAfterSelectAllInTheWindow_data()
    {
        QTest::addColumn<int>("column");
        QTest::newRow("Name cell: the keys edit the name") << 1;
        QTest::newRow("list-place cell: the keys reach the table") << 0;
    }
    void searchAfterSelectAllInTheWindow()
    {
        QFETCH(int, column);
        QTemporaryDir dir;
        const int count = 3000;
        withHalfSportInTheWindow(dir, QStringLiteral("selected.tvqvxc"), count, [&](TVListModule *page) {
            ItemsTableView *table = page->itemsTableViewAll;
            ObjectSortFilterProxyModel *proxy = table->proxy();
            QAbstractItemModel *items = proxy->sourceModel();
            QVERIFY(table->isVisible());
            QApplication::setActiveWindow(table->window());
            QVERIFY(QTest::qWaitForWindowActive(table->window()));
            PersistentPeak persistent(proxy);
            const QModelIndex cell = proxy->index(5, column);
            const QString edited = cell.siblingAtColumn(idColumn).data().toString();
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
            QTRY_COMPARE(QApplication::focusWidget(), table);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            for (const QChar key : QStringLiteral("Edited first")) {
                QVERIFY(QApplication::focusWidget());
                QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
            }
            QCOMPARE(table->selectionModel()->selectedRows().size(), count);
            if (column == 0) {
                QCOMPARE(QApplication::focusWidget(), table);
                QVERIFY2(table->selectionModel()->selection().size() >= 3, "the space added no block");
            }
            QTest::mouseClick(page->txtSearch, Qt::LeftButton);
            QTRY_COMPARE(QApplication::focusWidget(), page->txtSearch);
            for (const QChar key : QStringLiteral("Kultur 1"))
                QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
            QTRY_VERIFY(!proxy->isSearchPending());
            QCOMPARE(page->txtSearch->text(), QStringLiteral("Kultur 1"));
            QVERIFY(!table->isEditing());

            // the services whose cells hold the text, read from the list itself
            QStringList holding;
            QString editedName;
            for (int row = 0; row < items->rowCount(); ++row) {
                bool holds = false;
                for (int at = 0; at < items->columnCount() && !holds; ++at)
                    holds = items->index(row, at).data().toString().contains(QStringLiteral("Kultur 1"),
                                                                             Qt::CaseInsensitive);
                const QString id = items->index(row, idColumn).data().toString();
                if (holds)
                    holding << id;
                if (id == edited)
                    editedName = items->index(row, 1).data().toString();
            }
            if (column == 1)
                QCOMPARE(editedName, QStringLiteral("Edited first"));
            else
                QVERIFY(editedName.startsWith(QStringLiteral("Sport ")) ||
                        editedName.startsWith(QStringLiteral("Kultur ")));
            QVERIFY(!holding.isEmpty());
            QCOMPARE(shownIds(proxy), sorted(holding));
            QCOMPARE(selectedIds(table), sorted(holding));
            QVERIFY(persistent.changes >= 1);
            QVERIFY2(persistent.peak <= fewPersistent, qPrintable(QString::number(persistent.peak)));
        });
    }

    // With every row selected, drawing the header reads no row: it used to read the flags of every row for
    // each column shown, at every paint, which made each search key after Ctrl+A slow.
    void headerReadsNoRow()
    {
        TableWindow shownList;
        QVERIFY(shownList.manager.newProject(document()));
        FlagsCounting counting;
        counting.setSourceModel(shownList.manager.itemsModel);
        ItemsTableView *table = shownList.table;
        QVERIFY(shownList.show(&counting));
        QAbstractItemModelTester tester(table->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        clickRow(table, 5);
        QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(table->selectionModel()->selectedRows().size(), services);
        counting.reads = 0;
        table->horizontalHeader()->repaint();
        QVERIFY2(counting.reads < 100, qPrintable(QString::number(counting.reads)));

        table->proxy()->setItemsSearchFilter(QStringLiteral("Kultur 1"));
        table->proxy()->finishSearch();
        QCOMPARE(selectedIds(table), shownIds(table->model()));
        counting.reads = 0;
        table->horizontalHeader()->repaint();
        QVERIFY2(counting.reads < 100, qPrintable(QString::number(counting.reads)));
        // the header still sorts on a click
        const QHeaderView *header = table->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(1) + header->sectionSize(1) / 2, header->height() / 2));
        QCOMPARE(table->proxy()->sortColumn(), 1);
        QCOMPARE(selectedIds(table), shownIds(table->model()));
    }
};

OMBRELAY_TEST_MAIN(TestSelectionThroughSearch)
#include "tst_selectionthroughsearch.moc"
