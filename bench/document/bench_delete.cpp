// Times deleting entries through the items table's Delete action, as a user does with "select all,
// Delete" or with a scattered selection: a TV list of 10,000 or 20,000 services, the table sorted by
// name (so the selected rows are scattered in the document), and four favourite lists that refer to
// every fifth entry, each shown in its own list view, so that every removal also clears references.

#include "testmain.h"

#include "document/generatedtvlist.h"

#include "document/docitemsdataprovider.h"
#include "document/itemproperty.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/listmodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "widgets/itemlistview.h"
#include "widgets/itemstableview.h"

#include <QAction>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <algorithm>
#include <memory>
#include <vector>

namespace {

void check(bool condition, const char *what)
{
    if (!condition)
        qFatal("benchmark check failed: %s", what);
}

// One open list page: the items table and a view per favourite list.
struct Page
{
    Page(QWidget *parent, const QString &text)
        : manager(parent)
        , window(new QWidget(parent, Qt::Window))
    {
        check(manager.newProject(text), "document");
        auto *layout = new QHBoxLayout(window.get());
        table = new ItemsTableView(window.get());
        layout->addWidget(table);
        table->setModel(manager.itemsModel);
        table->sortByColumn(1, Qt::AscendingOrder);
        const QDomNodeList lists = manager.document->lists.elementsByTagName(QStringLiteral("list"));
        for (int i = 0; i < lists.size(); ++i) {
            providers.emplace_back(new DocItemsDataProvider(lists.at(i).toElement(), QStringLiteral("ref"), false));
            auto *model = new ListModel(manager.itemsModel, providers.back().get(), QStringLiteral("_ref"), &manager);
            model->setColumns({&nameColumn});
            auto *view = new ItemListView(window.get());
            view->setModel(model);
            layout->addWidget(view);
        }
        window->resize(1400, 700);
        window->show();
        QCoreApplication::processEvents();
    }

    // Selects every step-th row of the table from its first, count rows at most.
    void select(int step, int count)
    {
        QItemSelection selection;
        for (int row = 0, taken = 0; row < table->model()->rowCount() && taken < count; row += step, ++taken)
            selection.select(table->model()->index(row, 0),
                             table->model()->index(row, table->model()->columnCount() - 1));
        table->selectionModel()->select(selection, QItemSelectionModel::Select);
    }

    int refs() const
    {
        int total = 0;
        for (const auto &provider : providers)
            total += provider->count();
        return total;
    }

    TVListProjectFileManager manager;
    std::unique_ptr<QWidget> window;
    ItemsTableView *table = nullptr;
    ItemProperty nameColumn{QStringLiteral("Name"),
                            QStringLiteral("Name"),
                            QString(),
                            69,
                            Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled,
                            QString(),
                            nullptr,
                            1};
    std::vector<std::unique_ptr<DocItemsDataProvider>> providers;
};

// the median of the runs, in milliseconds; the page is built anew for every run
double timeDelete(const QString &text, int step, int count, int expectedLeft, int runs)
{
    QWidget parent;
    QList<double> times;
    for (int run = 0; run < runs; ++run) {
        Page page(&parent, text);
        const int before = page.manager.itemsModel->rowCount();
        if (step == 1 && count >= before)
            page.table->selectAll();
        else
            page.select(step, count);
        QElapsedTimer timer;
        timer.start();
        page.table->action(STableView::Delete)->trigger();
        times << timer.nsecsElapsed() / 1e6;
        check(page.manager.itemsModel->rowCount() == expectedLeft, "rows left");
        check(page.table->model()->rowCount() == expectedLeft, "rows shown");
        if (expectedLeft == 0)
            check(page.refs() == 0, "references left");
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

} // namespace

class BenchDelete : public QObject
{
    Q_OBJECT

private slots:
    void deleteThroughTheTable_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("count");
        QTest::newRow("200 scattered rows of 10,000") << 10000 << 50 << 200;
        QTest::newRow("200 scattered rows of 20,000") << 20000 << 100 << 200;
        QTest::newRow("every second row of 10,000") << 10000 << 2 << 5000;
        QTest::newRow("all 10,000 rows") << 10000 << 1 << 10000;
        QTest::newRow("all 20,000 rows") << 20000 << 1 << 20000;
    }
    void deleteThroughTheTable()
    {
        QFETCH(int, size);
        QFETCH(int, step);
        QFETCH(int, count);
        // OMBRELAY_BENCH_RUNS sets the runs per case (median taken); 3 unless set
        const int runs = qMax(1, qEnvironmentVariableIsSet("OMBRELAY_BENCH_RUNS")
                                     ? qEnvironmentVariableIntValue("OMBRELAY_BENCH_RUNS")
                                     : 3);
        const double ms = timeDelete(GeneratedTvList::text(size), step, count, size - count, runs);
        qInfo("%-32s %10.1f ms (median of %d)", QTest::currentDataTag(), ms, runs);
    }
};

OMBRELAY_TEST_MAIN(BenchDelete)
#include "bench_delete.moc"
