#include "testmain.h"

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

void clickRow(ItemsTableView *table, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers,
                      table->visualRect(table->model()->index(row, 1)).center());
}

// The Name cell of row 5 clicked, Ctrl+A, and "Edited first" typed with the focus still in the table: the
// space adds the current row to the whole-table selection, which is then three blocks.
void selectAllThenSpace(ItemsTableView *table)
{
    clickRow(table, 5);
    QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(table, QStringLiteral("Edited first"));
}

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
        QWidget window;
        TVListProjectFileManager manager(&window);
        QVERIFY(manager.newProject(document()));
        auto *table = new ItemsTableView(&window);
        (new QVBoxLayout(&window))->addWidget(table);
        window.resize(900, 700);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        table->setModel(manager.itemsModel);
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

    // The steps of a user in the program: the Name cell of row 5 clicked, Ctrl+A, "Edited first" typed in
    // the table, then a click into the search field and "Kultur 1" typed there, a key at a time. The table
    // shows the services holding the text, all of them selected, and no key made the models carry a
    // persistent index per selected cell.
    void searchAfterSelectAllAndSpaceInTheWindow()
    {
        QTemporaryDir dir;
        const int count = 3000;
        withHalfSportInTheWindow(dir, QStringLiteral("selected.tvqvxc"), count, [&](TVListModule *page) {
            ItemsTableView *table = page->itemsTableViewAll;
            ObjectSortFilterProxyModel *proxy = table->proxy();
            QAbstractItemModel *items = proxy->sourceModel();
            QVERIFY(table->isVisible());
            PersistentPeak persistent(proxy);
            selectAllThenSpace(table);
            QCOMPARE(table->selectionModel()->selectedRows().size(), count);
            QVERIFY2(table->selectionModel()->selection().size() >= 3, "the selection is one block");
            QTest::mouseClick(page->txtSearch, Qt::LeftButton);
            QTRY_COMPARE(QApplication::focusWidget(), page->txtSearch);
            QTest::keyClicks(page->txtSearch, QStringLiteral("Kultur 1"));
            QTRY_VERIFY(!proxy->isSearchPending());
            QCOMPARE(page->txtSearch->text(), QStringLiteral("Kultur 1"));

            // the services whose cells hold the text, read from the list itself
            QStringList holding;
            for (int row = 0; row < items->rowCount(); ++row) {
                bool holds = false;
                for (int column = 0; column < items->columnCount() && !holds; ++column)
                    holds = items->index(row, column)
                                .data()
                                .toString()
                                .contains(QStringLiteral("Kultur 1"), Qt::CaseInsensitive);
                if (holds)
                    holding << items->index(row, idColumn).data().toString();
            }
            QVERIFY(!holding.isEmpty());
            QCOMPARE(shownIds(proxy), sorted(holding));
            QCOMPARE(selectedIds(table), sorted(holding));
            QVERIFY(persistent.changes >= 1);
            QVERIFY2(persistent.peak <= fewPersistent, qPrintable(QString::number(persistent.peak)));
        });
    }
};

OMBRELAY_TEST_MAIN(TestSelectionThroughSearch)
#include "tst_selectionthroughsearch.moc"
