// Large TV lists against the bare parse of the same file, every figure a ratio taken in the same run:
// opening (load + table sorted by name) and its peak memory against reading and parsing the file,
// clearing a search text, deleting every second row of the sorted table and looking every entry up by
// id, each at 20,000 against 10,000 services; and the settings store during the opens: how many repeat
// opens (recent entries already stored) wrote the settings file, and the wall time of an unchanged write of
// the recent folder against a changed one. Prints one line per goal with its verdict; the exit code is the
// number of goals missed. OMBRELAY_BENCH_RUNS sets the rounds (median taken; 9 unless set, at least 5).
// Times are the main thread's CPU time, so that other work on a shared machine does not skew a ratio;
// everything measured runs on that thread. The settings writes are timed by the wall clock: what they
// cost is the wait on the disk.

#include "benchfigures.h"
#include "document/generatedtvlist.h"

#include "base/settings.h"
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
#include <QApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHashSeed>
#include <QItemSelectionModel>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#include <sys/stat.h>

namespace {

int rounds = 5;

void check(bool condition, const char *what)
{
    if (!condition)
        qFatal("benchmark check failed: %s", what);
}

// the CPU time of the calling thread
class CpuTimer
{
public:
    void start() { begin = now(); }
    void restart() { begin = now(); }
    double elapsedMs() const { return (now() - begin) / 1e6; }

private:
    static qint64 now()
    {
        timespec time{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
        return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
    }
    qint64 begin = 0;
};

double msSince(const CpuTimer &timer)
{
    return timer.elapsedMs();
}

// what the program must do at least: read the file and parse it
void bareParse(const QString &path)
{
    QFile file(path);
    check(file.open(QIODevice::ReadOnly), "read");
    QDomDocument document;
    check(document.setContent(QString::fromUtf8(qUncompress(file.readAll())), false), "setContent");
}

// what opening a list does until the user sees it: the manager loads, the table sorts by name
void openSorted(const QString &path, QWidget *parent)
{
    TVListProjectFileManager manager(parent);
    check(manager.loadFile(path), "open");
    ObjectSortFilterProxyModel proxy;
    proxy.setSourceModel(manager.itemsModel);
    proxy.sort(1, Qt::AscendingOrder);
    check(proxy.rowCount() > 0, "sorted rows");
}

long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// the peak resident size of a fresh process doing one of the two, in kilobytes
double peakOf(const QString &mode, const QString &path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--peak"), mode, path});
    check(child.waitForFinished(120000) && child.exitCode() == 0, "child");
    return child.readAllStandardOutput().trimmed().toDouble();
}

// One open list page: the items table sorted by name and a view per favourite list.
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

    TVListProjectFileManager manager;
    std::unique_ptr<QWidget> window;
    ItemsTableView *table = nullptr;
    ItemProperty nameColumn{QStringLiteral("Name"),
                            QStringLiteral("Name"),
                            QString(),
                            69,
                            Qt::ItemIsSelectable | Qt::ItemIsEnabled,
                            QString(),
                            nullptr,
                            1};
    std::vector<std::unique_ptr<DocItemsDataProvider>> providers;
};

// one round of deleting every step-th row of the sorted table through its Delete action, in milliseconds
double deleteRows(const QString &text, int step)
{
    QWidget parent;
    Page page(&parent, text);
    const int before = page.table->model()->rowCount();
    if (step == 1) {
        page.table->selectAll();
    } else {
        QItemSelection selection;
        const int last = page.table->model()->columnCount() - 1;
        for (int row = 0; row < before; row += step)
            selection.select(page.table->model()->index(row, 0), page.table->model()->index(row, last));
        page.table->selectionModel()->select(selection, QItemSelectionModel::Select);
    }
    CpuTimer timer;
    timer.start();
    page.table->action(STableView::Delete)->trigger();
    const double ms = msSince(timer);
    const int left = before - (before + step - 1) / step;
    check(page.manager.itemsModel->rowCount() == left && page.table->model()->rowCount() == left, "rows left");
    return ms;
}

// the medians of the rounds of each measurement, the rounds taken in turn so that a busier moment of
// the machine touches all of them alike
QList<double> interleaved(const QList<std::function<double()>> &measurements)
{
    QList<QList<double>> times(measurements.size());
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < measurements.size(); ++i)
            times[i] << measurements.at(i)();
    }
    QList<double> medians;
    for (const QList<double> &values : std::as_const(times))
        medians << BenchFigures::median(values);
    return medians;
}

// A list with its table sorted by name: clearing a search text that showed one row in 13, and looking
// every entry up by id (a pass is well under a millisecond: each round repeats it so that both sizes
// do the same 2,000,000 look-ups; the figure is one pass). The ids looked up are copies side by side,
// as a caller's keys would be, not the attribute texts spread over the whole tree: the figure is the
// look-up's, not the memory's.
struct SortedList
{
    SortedList(QWidget *parent, const QString &text)
        : manager(parent)
    {
        check(manager.newProject(text), "document");
        proxy.setSourceModel(manager.itemsModel);
        proxy.sort(1, Qt::AscendingOrder);
        for (int row = 0; row < manager.itemsModel->rowCount(); ++row)
            ids << QString::number(manager.itemsDataProvider()->itemAt(row).id().toInt());
    }
    double clearFilter()
    {
        const int all = proxy.rowCount();
        proxy.setItemsSearchFilter(QStringLiteral("Genre 12"));
        proxy.finishSearch(); // the search stands applied before it is cleared
        check(proxy.rowCount() < all / 5, "filtered");
        CpuTimer timer;
        timer.start();
        proxy.setItemsSearchFilter(QString());
        const int shown = proxy.rowCount(); // what a view asks at once: the rows are in place by then
        const double ms = msSince(timer);
        check(shown == all, "cleared");
        return ms;
    }
    double lookUpAll()
    {
        const int repeats = int(2000000 / ids.size());
        CpuTimer timer;
        timer.start();
        for (int pass = 0; pass < repeats; ++pass) {
            for (const QString &id : std::as_const(ids))
                check(manager.itemsModel->indexById(id, 1).isValid(), "lookup");
        }
        return msSince(timer) / repeats;
    }

    TVListProjectFileManager manager;
    ObjectSortFilterProxyModel proxy;
    QStringList ids;
};

int peakMain(const QString &mode, const QString &path)
{
    QWidget parent;
    if (mode == QLatin1String("bare"))
        bareParse(path);
    else
        openSorted(path, &parent);
    std::printf("%ld\n", peakKilobytes());
    return 0;
}

// The settings file as the disk has it (inode, modification time, size): a write replaces the file.
QByteArray settingsFileStamp()
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(QSettings().fileName()).constData(), &info) != 0)
        return QByteArray();
    return QByteArray::number(quint64(info.st_ino)) + ' ' + QByteArray::number(qint64(info.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qint64(info.st_mtim.tv_nsec)) + ' ' + QByteArray::number(qint64(info.st_size));
}

// Wall time of one write of the recent folder, in milliseconds: a write waits on the disk, not the CPU.
double recentFolderWriteMs(const QString &folder)
{
    QElapsedTimer timer;
    timer.start();
    check(Settings::setString(Settings::RecentOpenDir, folder), "settings write");
    return timer.nsecsElapsed() / 1e6;
}

int failures = 0;

void line(const char *step, double value, double goal, const char *detail)
{
    const bool met = value <= goal;
    failures += met ? 0 : 1;
    std::printf("%-52s %6.2fx  goal <= %.1fx  %-4s  %s\n", step, value, goal, met ? "met" : "MISS", detail);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    BenchFigures::prepareProcess();
    QApplication app(argc, argv);
    BenchFigures::nameApplication(QStringLiteral("biglists"));
    if (argc == 4 && QByteArray(argv[1]) == "--peak")
        return peakMain(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    rounds = qMax(
        5, qEnvironmentVariableIsSet("OMBRELAY_BENCH_RUNS") ? qEnvironmentVariableIntValue("OMBRELAY_BENCH_RUNS") : 9);

    QTemporaryDir dir;
    const QString small = GeneratedTvList::text(10000);
    const QString large = GeneratedTvList::text(20000);
    const QString path = dir.filePath(QStringLiteral("services.tvqvxc"));
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly), "write");
        file.write(qCompress(small.toUtf8(), 9));
    }
    std::printf("TV list of 10,000 services (%.1f MB of XML), %d rounds, medians\n", small.toUtf8().size() / 1e6,
                rounds);

    QWidget parent;
    QList<double> bare, open;
    int settingsWrites = 0; // by the opens after the first, whose recent entries are in the file already
    for (int round = 0; round < rounds; ++round) {
        CpuTimer timer;
        timer.start();
        bareParse(path);
        bare << msSince(timer);
        const QByteArray stamp = settingsFileStamp();
        timer.restart();
        openSorted(path, &parent);
        open << msSince(timer);
        if (round > 0 && settingsFileStamp() != stamp)
            ++settingsWrites;
    }
    char detail[160];
    std::snprintf(detail, sizeof detail, "%.0f ms against %.0f ms", BenchFigures::median(open),
                  BenchFigures::median(bare));
    line("open + sort by name, against read + setContent", BenchFigures::median(open) / BenchFigures::median(bare), 1.3,
         detail);

    std::snprintf(detail, sizeof detail, "%d of %d repeat opens wrote the settings file", settingsWrites, rounds - 1);
    line("open + sort: settings file writes per repeat open", double(settingsWrites) / (rounds - 1), 0.0, detail);
    {
        const QString folder = QFileInfo(path).absolutePath();
        QList<double> changed, unchanged;
        for (int round = 0; round < rounds; ++round) {
            changed << recentFolderWriteMs(folder + QStringLiteral("/%1").arg(round));
            recentFolderWriteMs(folder);
            unchanged << recentFolderWriteMs(folder);
        }
        std::snprintf(detail, sizeof detail, "%.3f ms against %.3f ms (wall)", BenchFigures::median(unchanged),
                      BenchFigures::median(changed));
        line("open + sort: unchanged settings write, against changed",
             BenchFigures::median(unchanged) / BenchFigures::median(changed), 0.5, detail);
    }

    QList<double> bareKb, openKb;
    for (int round = 0; round < rounds; ++round) {
        bareKb << peakOf(QStringLiteral("bare"), path);
        openKb << peakOf(QStringLiteral("open"), path);
    }
    std::snprintf(detail, sizeof detail, "%.0f MB against %.0f MB", BenchFigures::median(openKb) / 1024,
                  BenchFigures::median(bareKb) / 1024);
    line("peak memory of the same (whole process)", BenchFigures::median(openKb) / BenchFigures::median(bareKb), 1.2,
         detail);

    {
        SortedList smallList(&parent, small);
        SortedList largeList(&parent, large);
        const QList<double> filter =
            interleaved({[&] { return smallList.clearFilter(); }, [&] { return largeList.clearFilter(); }});
        std::snprintf(detail, sizeof detail, "%.1f ms against %.1f ms", filter.at(1), filter.at(0));
        line("clearing a search text, 20,000 against 10,000", filter.at(1) / filter.at(0), 2.2, detail);
        const QList<double> lookup =
            interleaved({[&] { return smallList.lookUpAll(); }, [&] { return largeList.lookUpAll(); }});
        std::snprintf(detail, sizeof detail, "%.3f ms against %.3f ms per pass", lookup.at(1), lookup.at(0));
        line("look every id up, 20,000 against 10,000", lookup.at(1) / lookup.at(0), 2.2, detail);
    }

    const QList<double> removal =
        interleaved({[&] { return deleteRows(small, 2); }, [&] { return deleteRows(small, 1); },
                     [&] { return deleteRows(large, 2); }});
    std::snprintf(detail, sizeof detail, "%.1f ms against %.1f ms", removal.at(0), removal.at(1));
    line("delete every second row of 10,000, against all", removal.at(0) / removal.at(1), 3.0, detail);
    std::snprintf(detail, sizeof detail, "%.1f ms against %.1f ms", removal.at(2), removal.at(0));
    line("delete every second row, 20,000 against 10,000", removal.at(2) / removal.at(0), 2.2, detail);

    Settings::setStringList(Settings::RecentFileList, {});
    Settings::setString(Settings::RecentOpenDir, QString());
    return failures;
}
