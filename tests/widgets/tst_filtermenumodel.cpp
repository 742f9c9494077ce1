#include "testmain.h"
#include "widgetsfixture.h"

#include "document/servicesfixture.h"
#include "widgets/filtermenumodel.h"
#include "widgets/sfiltermenu.h"
#include "widgets/sshowhidecolumnsmenu.h"

#include <QListView>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QToolButton>
#include <QTreeView>

// The filter pop-up's tree over the page's filter records, and the two pop-ups under their buttons.
class TestFilterMenuModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServicesFixture> items;
    std::unique_ptr<QStringListModel> providers; // A, B, C
    std::unique_ptr<QStringListModel> genres;
    QList<ColumnFilter> filters;

    std::unique_ptr<FilterMenuModel> makeModel()
    {
        auto model = std::make_unique<FilterMenuModel>(&items->model, &filters);
        tested(model.get());
        return model;
    }
    static int state(const FilterMenuModel &model, int row, int child = -1)
    {
        const QModelIndex index = model.index(row, 0);
        return model.data(child < 0 ? index : model.index(child, 0, index), Qt::CheckStateRole).toInt();
    }
    static void showActive(QWidget *top)
    {
        top->show();
        QApplication::setActiveWindow(top);
        QVERIFY(QTest::qWaitForWindowActive(top));
    }

private slots:
    void init()
    {
        items = std::make_unique<ServicesFixture>(ServicesFixture::service(0, "A", "P1"));
        providers = std::make_unique<QStringListModel>(QStringList{"A", "B", "C"});
        genres = std::make_unique<QStringListModel>(QStringList{"News", "Sport"});
        filters.clear();
    }

    void treeFromRecords()
    {
        filters << ColumnFilter(2, providers.get(), false, false, {"A", "B"})
                << ColumnFilter(3, genres.get(), true, true, {}) << ColumnFilter(7, nullptr, false, false, {"x"});
        auto model = makeModel();
        QCOMPARE(model->data(model->index(0, 0)).toString(), QStringLiteral("Provider"));
        QCOMPARE(state(*model, 0), int(Qt::PartiallyChecked));
        QCOMPARE(state(*model, 0, 1), int(Qt::Checked));
        QCOMPARE(state(*model, 0, 2), int(Qt::Unchecked));
        // includeEmpty puts "(empty)" first
        QCOMPARE(model->rowCount(model->index(1, 0)), 3);
        QCOMPARE(model->data(model->index(0, 0, model->index(1, 0))).toString(), QStringLiteral("(empty)"));
        QCOMPARE(state(*model, 1), int(Qt::Unchecked));
        // No values model: a disabled, childless column that keeps its accepted values
        QVERIFY(!(model->flags(model->index(2, 0)) & Qt::ItemIsEnabled));
        QCOMPARE(filters.at(2).checkedValues, QStringList{"x"});
    }

    void checkingValuesAndColumns()
    {
        filters << ColumnFilter(2, providers.get(), false, false, {"A", "B"})
                << ColumnFilter(3, genres.get(), true, false, {"News"});
        auto model = makeModel();
        QSignalSpy changed(model.get(), &FilterMenuModel::filterChanged);
        const QModelIndex column = model->index(0, 0);
        QVERIFY(model->setData(model->index(2, 0, column), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(filters.at(0).checkedValues, (QStringList{"A", "B", "C"}));
        QCOMPARE(state(*model, 0), int(Qt::Checked));
        QVERIFY(!model->setData(model->index(2, 0, column), Qt::Checked, Qt::CheckStateRole)); // same state
        QCOMPARE(changed.count(), 1);
        QVERIFY(model->setData(column, Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(filters.at(0).checkedValues, QStringList());
        QCOMPARE(state(*model, 0, 1), int(Qt::Unchecked));
        QVERIFY(model->setData(model->index(1, 0, column), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(state(*model, 0), int(Qt::PartiallyChecked));
        QVERIFY(model->setData(column, Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(filters.at(0).checkedValues, (QStringList{"A", "B", "C"})); // tree order
        model->clear();
        QVERIFY(!model->hasValues());
        QCOMPARE(filters.at(1).checkedValues, QStringList());
        QCOMPARE(changed.count(), 5);
    }

    void rebuildDropsStaleValues()
    {
        filters << ColumnFilter(2, providers.get(), false, false, {"A", "Gone", "abc"});
        providers->setStringList({"A", "ABC"});
        auto model = makeModel();
        // "Gone" no longer occurs; "abc" does not match "ABC": case counts
        QCOMPARE(filters.at(0).checkedValues, QStringList{"A"});
        QCOMPARE(state(*model, 0), int(Qt::PartiallyChecked));
        providers->setStringList({"A"});
        QSignalSpy changed(model.get(), &FilterMenuModel::filterChanged);
        model->rebuild(true);
        QCOMPARE(state(*model, 0), int(Qt::Checked)); // what is left covers every value
        QCOMPARE(changed.count(), 0);
        model->rebuild(false);
        QCOMPARE(changed.count(), 1);
    }

    void rebuildWhileShownInPopup()
    {
        filters << ColumnFilter(2, providers.get(), false, true, {"B"});
        auto model = makeModel();
        QWidget top;
        top.resize(400, 300);
        showActive(&top);
        auto *menu = new SFilterMenu(&top, 250, 200, 10);
        QTreeView *tree = menu->treeView();
        tree->setModel(model.get());
        tree->expandAll();
        menu->show();
        providers->setStringList({"B", "D", "E", "F"});
        model->rebuild(true); // the view is told, so it keeps no index into discarded nodes
        tree->expandAll();
        QCOMPARE(tree->model()->rowCount(tree->model()->index(0, 0)), 5);
        QVERIFY(tree->visualRect(model->index(4, 0, model->index(0, 0))).isValid());
        menu->close();
    }

    // Both pop-ups open under their button, kept inside the window, and go away with their view once hidden.
    void popupPlacementAndClose_data()
    {
        QTest::addColumn<bool>("columns");
        QTest::newRow("filter") << false;
        QTest::newRow("columns") << true;
    }
    void popupPlacementAndClose()
    {
        QFETCH(bool, columns);
        QWidget top;
        top.setGeometry(100, 100, 600, 400);
        auto *button = new QToolButton(&top);
        button->setGeometry(500, 10, 30, 20); // left edge 100 px from the window's right edge
        showActive(&top);
        const QPoint below = button->mapToGlobal(QPoint(0, button->height()));
        QCOMPARE(SPopupFrame::popupGeometry(button, 50, 300, 10), QRect(below.x(), below.y(), 50, 300));

        QStandardItemModel model(3, 1);
        QPointer<SPopupFrame> menu;
        QPointer<QAbstractItemView> view;
        if (columns) {
            auto *list = new SShowHideColumnsMenu(button, 250, 200, 10);
            menu = list;
            view = list->listView();
            view->setModel(tested(&model));
            list->setRowsHidden({0}, true);
            QVERIFY(list->listView()->isRowHidden(0));
        } else {
            auto *filter = new SFilterMenu(button, 250, 200, 10);
            menu = filter;
            view = filter->treeView();
        }
        QCOMPARE(menu->geometry(), QRect(below.x() - 160, below.y(), 250, 200));
        menu->show();
        QTRY_VERIFY(view->isVisible());
        menu->hide(); // as a click outside the pop-up does
        QTRY_VERIFY(!menu);
        QTRY_VERIFY(!view);
        QVERIFY(button->isEnabled());
    }
};

OMBRELAY_TEST_MAIN(TestFilterMenuModel)
#include "tst_filtermenumodel.moc"
