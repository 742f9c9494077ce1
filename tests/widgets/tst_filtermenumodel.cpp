#include "testmain.h"

#include "document/servicesfixture.h"
#include "widgets/filtermenumodel.h"
#include "widgets/sfiltermenu.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTreeView>

class TestFilterMenuModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServicesFixture> items;
    std::unique_ptr<QStringListModel> providers;
    std::unique_ptr<QStringListModel> genres;
    QList<ColumnFilter> filters;

    std::unique_ptr<FilterMenuModel> makeModel()
    {
        auto model = std::make_unique<FilterMenuModel>(&items->model, &filters);
        new QAbstractItemModelTester(model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest, model.get());
        return model;
    }
    static int state(const FilterMenuModel &model, int row, int child = -1)
    {
        QModelIndex index = model.index(row, 0);
        if (child >= 0)
            index = model.index(child, 0, index);
        return model.data(index, Qt::CheckStateRole).toInt();
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
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->data(model->index(0, 0)).toString(), QStringLiteral("Provider"));
        QCOMPARE(model->rowCount(model->index(0, 0)), 3);
        QCOMPARE(state(*model, 0), int(Qt::PartiallyChecked));
        QCOMPARE(state(*model, 0, 0), int(Qt::Checked));
        QCOMPARE(state(*model, 0, 1), int(Qt::Checked));
        QCOMPARE(state(*model, 0, 2), int(Qt::Unchecked));
        // includeEmpty puts "(empty)" first with the empty value
        QCOMPARE(model->rowCount(model->index(1, 0)), 3);
        QCOMPARE(model->data(model->index(0, 0, model->index(1, 0))).toString(), QStringLiteral("(empty)"));
        QCOMPARE(state(*model, 1), int(Qt::Unchecked));
        // No values model: a disabled, childless column that keeps its accepted values
        QVERIFY(!(model->flags(model->index(2, 0)) & Qt::ItemIsEnabled));
        QVERIFY(model->flags(model->index(0, 0)) & Qt::ItemIsUserCheckable);
        QCOMPARE(filters.at(2).checkedValues, QStringList{"x"});
        QVERIFY(model->hasValues());
    }

    void checkingValuesAndColumns()
    {
        filters << ColumnFilter(2, providers.get(), false, false, {"A", "B"});
        auto model = makeModel();
        QSignalSpy changed(model.get(), &FilterMenuModel::filterChanged);
        const QModelIndex column = model->index(0, 0);
        QVERIFY(model->setData(model->index(2, 0, column), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(filters.at(0).checkedValues, (QStringList{"A", "B", "C"}));
        QCOMPARE(state(*model, 0), int(Qt::Checked));
        QCOMPARE(changed.count(), 1);
        QVERIFY(!model->setData(model->index(2, 0, column), Qt::Checked, Qt::CheckStateRole)); // same state
        QCOMPARE(changed.count(), 1);

        QVERIFY(model->setData(column, Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(filters.at(0).checkedValues, QStringList());
        QCOMPARE(state(*model, 0, 1), int(Qt::Unchecked));
        QVERIFY(model->setData(model->index(1, 0, column), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(state(*model, 0), int(Qt::PartiallyChecked));
        QVERIFY(model->setData(column, Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(filters.at(0).checkedValues, (QStringList{"A", "B", "C"})); // tree order
        QVERIFY(!model->setData(column, Qt::Checked, Qt::DisplayRole));
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

    void clearEmptiesEveryRecord()
    {
        filters << ColumnFilter(2, providers.get(), false, false, {"A"})
                << ColumnFilter(3, genres.get(), true, false, {"News"});
        auto model = makeModel();
        QSignalSpy changed(model.get(), &FilterMenuModel::filterChanged);
        model->clear();
        QVERIFY(!model->hasValues());
        QCOMPARE(changed.count(), 1);
    }

    void rebuildWhileShownInPopup()
    {
        filters << ColumnFilter(2, providers.get(), false, true, {"B"});
        auto model = makeModel();
        QWidget top;
        top.resize(400, 300);
        top.show();
        QApplication::setActiveWindow(&top);
        QVERIFY(QTest::qWaitForWindowActive(&top));
        auto *menu = new SFilterMenu(&top, 250, 200, 10);
        menu->treeView()->setModel(model.get());
        menu->treeView()->expandAll();
        menu->show();
        providers->setStringList({"B", "D", "E", "F"});
        model->rebuild(true); // the view is told, so it keeps no index into discarded nodes
        menu->treeView()->expandAll();
        QCOMPARE(menu->treeView()->model()->rowCount(menu->treeView()->model()->index(0, 0)), 5);
        QVERIFY(menu->treeView()->visualRect(model->index(4, 0, model->index(0, 0))).isValid());
        menu->close();
    }
};

OMBRELAY_TEST_MAIN(TestFilterMenuModel)
#include "tst_filtermenumodel.moc"
