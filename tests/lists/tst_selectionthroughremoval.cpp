#include "testmain.h"

#include "favouritetabs.h"

#include "document/docitem.h"
#include "document/docitemsdataprovider.h"
#include "document/listitemsdatabasemodel.h"
#include "document/listmodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "lists/favouritelisteditor.h"
#include "widgets/itemstableview.h"

#include <QAbstractItemModelTester>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QTest>

// A table's selection while entries above it go in one step that moves the model's own rows (more than 16
// scattered rows taken out, gathered behind the others first): the selection stays on the entries the user
// chose, and a Delete that follows takes exactly them. The entries go because their services are deleted in
// a table of the services, which takes them off the favourite lists too.
class TestSelectionThroughRemoval : public QObject
{
    Q_OBJECT
    std::unique_ptr<QWidget> window;
    TVListProjectFileManager *manager = nullptr;
    ListTabWidget *tabs = nullptr;

    // What a table shows at its rows: the ids of the services, or of the services a list's entries name.
    QStringList idsAt(ItemsTableView *table, const QList<int> &rows) const
    {
        QStringList ids;
        const QList<int> listed = manager->readLists().value(1);
        for (const int row : rows) {
            const int sourceRow = table->proxy()->mapToSource(table->proxy()->index(row, 0)).row();
            if (table->proxy()->sourceModel() == manager->itemsModel)
                ids << manager->itemsDataProvider()->itemAt(sourceRow).id();
            else
                ids << QString::number(listed.value(sourceRow, -1));
        }
        return ids;
    }
    QStringList selectedIds(ItemsTableView *table) const
    {
        QList<int> rows;
        for (const QModelIndex &index : table->selectionModel()->selectedRows(0))
            rows << index.row();
        std::sort(rows.begin(), rows.end());
        return idsAt(table, rows);
    }
    static QStringList numbers(int first, int last, int step = 1)
    {
        QStringList ids;
        for (int id = first; id <= last; id += step)
            ids << QString::number(id);
        return ids;
    }

private slots:
    void cleanup() { window.reset(); }

    void selectionStaysOnTheEntriesChosen_data()
    {
        QTest::addColumn<bool>("favouriteList"); // the table of a favourite list, or a second services table
        QTest::newRow("favourite list, its services deleted in the services table") << true;
        QTest::newRow("services table, services deleted in another table of them") << false;
    }
    void selectionStaysOnTheEntriesChosen()
    {
        QFETCH(bool, favouriteList);
        // 200 services; list 1 holds the first 150 in order
        QString refs;
        for (int id = 0; id < 150; ++id)
            refs += QStringLiteral("<ref>%1</ref>").arg(id);
        makeTabsWindow(window, tabs, manager, tvDocument("<list id=\"0\"/><list id=\"1\">" + refs + "</list>", 200));
        QVERIFY(!QTest::currentTestFailed());
        showTabs(window.get(), tabs, manager, 4);
        QVERIFY(!QTest::currentTestFailed());
        tabs->setCurrentIndex(1);
        auto *list = qobject_cast<ListModel *>(static_cast<FavouriteListEditor *>(tabs->widget(1))->tblItems->model());
        QVERIFY(list);
        QCOMPARE(list->rowCount(), 150);

        QWidget tables;
        tables.resize(900, 600);
        auto *layout = new QHBoxLayout(&tables);
        auto *chosenIn = new ItemsTableView(&tables); // where the user chose rows
        auto *services = new ItemsTableView(&tables); // where services are deleted
        layout->addWidget(chosenIn);
        layout->addWidget(services);
        QAbstractItemModel *chosenModel = favouriteList ? static_cast<QAbstractItemModel *>(list) : manager->itemsModel;
        QAbstractItemModelTester listTester(list, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester itemsTester(manager->itemsModel,
                                             QAbstractItemModelTester::FailureReportingMode::QtTest);
        chosenIn->setModel(chosenModel);
        services->setModel(manager->itemsModel);
        tables.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tables));
        QApplication::setActiveWindow(&tables);

        // rows 100-109 chosen with the keys
        chosenIn->setFocus();
        chosenIn->selectRow(100);
        for (int i = 0; i < 9; ++i)
            QTest::keyClick(chosenIn, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(selectedIds(chosenIn), numbers(100, 109));

        // services 0, 2, ... 38 deleted: 20 scattered rows above the chosen ones
        QItemSelection scattered;
        const int lastColumn = services->model()->columnCount() - 1;
        for (int row = 0; row < 40; row += 2)
            scattered.select(services->model()->index(row, 0), services->model()->index(row, lastColumn));
        services->setFocus();
        services->selectionModel()->select(scattered, QItemSelectionModel::ClearAndSelect);
        QCOMPARE(selectedIds(services), numbers(0, 38, 2));
        QTest::keyClick(services, Qt::Key_Delete);
        QCOMPARE(manager->itemsModel->rowCount(), 180);
        QCOMPARE(list->rowCount(), 130);

        // the same entries chosen, now twenty rows higher
        QCOMPARE(selectedIds(chosenIn), numbers(100, 109));
        QCOMPARE(idsAt(chosenIn, {80, 89}), (QStringList{"100", "109"}));

        // and a Delete takes exactly them
        chosenIn->setFocus();
        QTest::keyClick(chosenIn, Qt::Key_Delete);
        QList<int> expected;
        for (int id = 1; id < 40; id += 2)
            expected << id;
        for (int id = 40; id < 150; ++id)
            if (id < 100 || id > 109)
                expected << id;
        QCOMPARE(manager->readLists().value(1), expected);
        if (!favouriteList) {
            QCOMPARE(manager->itemsModel->rowCount(), 170);
            for (int id = 100; id <= 109; ++id)
                QVERIFY2(!manager->itemsModel->indexById(QString::number(id), 0).isValid(),
                         qPrintable(QString::number(id)));
            QVERIFY(manager->itemsModel->indexById(QStringLiteral("99"), 0).isValid());
            QVERIFY(manager->itemsModel->indexById(QStringLiteral("110"), 0).isValid());
        } else {
            QCOMPARE(manager->itemsModel->rowCount(), 180); // a list's entry goes, its service stays
        }
    }
};

OMBRELAY_TEST_MAIN(TestSelectionThroughRemoval)
#include "tst_selectionthroughremoval.moc"
