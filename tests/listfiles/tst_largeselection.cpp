#include "testmain.h"

#include "document/docitemsdataprovider.h"
#include "document/itemproperty.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/listmodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "widgets/itemstableview.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QIdentityProxyModel>
#include <QSignalSpy>

#include <algorithm>

namespace {

constexpr int services = 60;

// names are a permutation of the ids, so the table sorted by name scatters the rows; the list refers
// to every third entry
QString document()
{
    QString items, refs;
    for (int i = 0; i < services; ++i) {
        items += QStringLiteral("<tvService id=\"%1\"><name>S%2</name><genres>%3</genres></tvService>")
                     .arg(i)
                     .arg((i * 37) % services)
                     .arg(i % 2 ? "Film" : "News");
        if (i % 3 == 0)
            refs += QStringLiteral("<ref>%1</ref>").arg(i);
    }
    return QStringLiteral("<TDocument><documentProperties/><items>%1</items><lists><list id=\"0\">%2</list>"
                          "</lists></TDocument>")
        .arg(items, refs);
}

QStringList column(const QAbstractItemModel *model, int column)
{
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

// counts the name cells read through it
class CountingModel : public QIdentityProxyModel
{
public:
    QVariant data(const QModelIndex &index, int role) const override
    {
        reads += index.column() == 1 ? 1 : 0;
        return QIdentityProxyModel::data(index, role);
    }
    mutable int reads = 0;
};

} // namespace

class TestLargeSelection : public QObject
{
    Q_OBJECT

    QWidget parent;

private slots:
    void scatteredDeleteIsOneRemoval()
    {
        TVListProjectFileManager manager(&parent);
        QVERIFY(manager.newProject(document()));
        ListItemsDatabaseModel *items = manager.itemsModel;
        DocItemsDataProvider refs(manager.document->lists.firstChildElement(), QStringLiteral("ref"), false);
        ListModel list(items, &refs, QStringLiteral("_ref"), nullptr);
        ItemProperty name(QStringLiteral("Name"), QStringLiteral("Name"), QString(), 69, Qt::ItemIsEnabled, QString(),
                          nullptr, 1);
        list.setColumns({&name});
        ItemsTableView table(&parent);
        table.setModel(items);
        table.sortByColumn(1, Qt::DescendingOrder);
        QAbstractItemModel *shown = table.model();
        const auto mode = QAbstractItemModelTester::FailureReportingMode::QtTest;
        QAbstractItemModelTester itemsTester(items, mode), shownTester(shown, mode), listTester(&list, mode);

        QStringList doomed, kept;
        for (int row = 0; row < services; ++row) {
            (row % 2 ? kept : doomed) << shown->index(row, 8).data().toString();
            if (row % 2 == 0)
                table.selectionModel()->select(shown->index(row, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        QSignalSpy removals(items, &QAbstractItemModel::rowsRemoved);
        table.action(STableView::Delete)->trigger();

        QCOMPARE(removals.count(), 1);
        QCOMPARE(column(shown, 8), kept); // the rows left keep their sorted order
        QStringList left = column(items, 8);
        std::sort(left.begin(), left.end());
        std::sort(kept.begin(), kept.end());
        QCOMPARE(left, kept);
        QCOMPARE(refs.count(), services / 6); // the refs of the even ids are left
        for (int row = 0; row < refs.count(); ++row)
            QVERIFY(kept.contains(refs.itemAt(row).value(QString())));
        QVERIFY(!table.selectionModel()->hasSelection());
    }

    // after the first sort, re-sorts (a filter change, an edited name) read no name but the edited one
    void resortsUseTheRanks()
    {
        TVListProjectFileManager manager(&parent);
        QVERIFY(manager.newProject(document()));
        CountingModel counting;
        counting.setSourceModel(manager.itemsModel);
        ObjectSortFilterProxyModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.setSourceModel(&counting);
        proxy.sort(1, Qt::AscendingOrder);
        const QStringList sorted = column(&proxy, 1);
        QList<ColumnFilter> filters{ColumnFilter(3, nullptr, false, true, {QStringLiteral("Film")})};
        counting.reads = 0;
        proxy.setColumnFilters(&filters);
        QCOMPARE(proxy.rowCount(), services / 2);
        proxy.setColumnFilters(nullptr);
        QCOMPARE(counting.reads, 0);
        QCOMPARE(column(&proxy, 1), sorted);
        counting.reads = 0;
        QVERIFY(manager.itemsModel->setData(manager.itemsModel->index(0, 1), QStringLiteral("S355"), Qt::EditRole));
        QVERIFY2(counting.reads <= 2, qPrintable(QString::number(counting.reads)));
        QCOMPARE(column(&proxy, 1), sorted.mid(1) << QStringLiteral("S355"));
        proxy.sort(1, Qt::DescendingOrder);
        QCOMPARE(column(&proxy, 1).last(), QStringLiteral("S1"));
    }
};

OMBRELAY_TEST_MAIN(TestLargeSelection)
#include "tst_largeselection.moc"
