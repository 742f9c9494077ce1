// The media explorer's overhead: PC-to-PC jobs run through the page against the same copies sent
// straight to the offline worker, 500 small receiver files copied through the page against the same
// requests sent straight to the receiver worker, listing 30,000 receiver entries against 15,000 (in pairs), and many
// small receiver files copied into a PC folder open in the page against one not shown, with the listings of
// the receiver's source folder during each job. Jobs held against each other run in pairs, in turns first,
// and the ratios are medians of the pairs' ratios: a busy machine slows both of a pair alike. Exits with 1
// when a figure misses its limit.
//   QT_QPA_PLATFORM=offscreen bench_media [big file MiB, default 512] [small receiver files, default 5000]
//       [receiver entries listed against twice as many, default 15000]

#include "benchfigures.h"
#include "mediacommands.h"
#include "receiveremulator.h"
#include "transfercommands.h"

#include "device/core/devicecall.h"
#include "device/core/devicetask.h"
#include "device/offline/offlinecommunicationmanager.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/transfers/copyjobbuilders.h"
#include "media/mediaexplorermodule.h"
#include "media/pcfilesystemmodel.h"
#include "media/zbdevicefilesystemmodel.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <functional>

#include <cstdio>

#include <unistd.h>

namespace {
bool missed = false;

// "met" or "MISSED" for a figure against its limit; a miss makes the run fail.
const char *verdict(bool met)
{
    missed = missed || !met;
    return met ? "met" : "MISSED";
}

// Each pair's ratio, in the order run, on a line of its own above the row's figures.
void printPairRatios(const QList<double> &ratios)
{
    QString each;
    for (const double r : ratios)
        each += QStringLiteral(" %1").arg(r, 0, 'f', 2);
    std::printf("%-28s ratios of the pairs:%s\n", "", qPrintable(each));
}

// Before each timed job: what the last one wrote goes to the disk first, so that its write-back does not
// slow the next one down and a pair's order does not decide its ratio.
void settle()
{
    ::sync();
}

// Runs the event loop until done() holds; unlike a test wait it never sleeps between events.
void runUntil(const std::function<bool()> &done)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(1);
    loop.exec();
}

// Every request handed to the worker at once, as the page hands its copies, until the last has completed:
// the seconds that took.
double runCalls(DeviceCommunicationManager &manager, const QList<DeviceCall> &calls)
{
    QObject owner;
    settle();
    QElapsedTimer t;
    t.start();
    int left = int(calls.size());
    for (const DeviceCall &call : calls) {
        auto *task = new DeviceTask(&owner, call.toString());
        QObject::connect(task, &DeviceTask::Complete, &owner, [&left, task] {
            --left;
            task->deleteLater();
        });
        manager.enqueue(task);
    }
    runUntil([&] { return left == 0; });
    return t.elapsed() / 1000.0;
}

// The same with an upper bound, for what depends on the window system (focus).
void waitAtMost(int ms, const std::function<bool()> &done)
{
    QElapsedTimer t;
    t.start();
    runUntil([&] { return done() || t.elapsed() > ms; });
}

void makeFile(const QString &path, qint64 size)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    const QByteArray chunk(1 << 20, 'm');
    for (qint64 done = 0; done < size; done += chunk.size())
        f.write(chunk.constData(), qMin<qint64>(chunk.size(), size - done));
}

QString payload(const QStringList &paths)
{
    QString text;
    for (const QString &p : paths)
        text += uriLineFromLocalPath(p) + uriListSeparator();
    return text;
}

double viaPage(const QStringList &files, const QString &destination)
{
    MediaExplorerModule page;
    page.setGeneralMode(true);
    settle();
    QElapsedTimer t;
    t.start();
    emit page.pcModel()->mimeDataDropped(destination, payload(files));
    runUntil([&] { return !page.isBusy(); });
    return t.elapsed() / 1000.0;
}

double direct(const QStringList &files, const QString &destination)
{
    OfflineCommunicationManager manager;
    QList<DeviceCall> calls;
    for (const QString &file : files) {
        DeviceCall call(QStringLiteral("MEMCopyPcToPc"));
        call.setParameter(QStringLiteral("sourceFile"), file);
        call.setParameter(QStringLiteral("destinationFile"), destination + u'/' + QFileInfo(file).fileName());
        call.setParameter(QStringLiteral("fileType"), QStringLiteral("0"));
        call.setParameter(QStringLiteral("deleteSource"), QStringLiteral("false"));
        call.setParameter(QStringLiteral("overwrite"), QStringLiteral("true"));
        calls << call;
    }
    const double seconds = runCalls(manager, calls);
    manager.stop();
    return seconds;
}

void compare(const char *what, const QStringList &files, const QString &root, double limit, int rounds)
{
    QList<double> pages, workers, ratios;
    for (int round = 0; round < rounds; ++round) {
        // fresh folders each round, emptied after it: no job overwrites what an earlier one wrote
        const QString pageDir = root + QStringLiteral("/page%1").arg(round);
        const QString directDir = root + QStringLiteral("/direct%1").arg(round);
        QDir().mkpath(pageDir);
        QDir().mkpath(directDir);
        double page = 0, worker = 0;
        if (round % 2 == 0) {
            page = viaPage(files, pageDir);
            worker = direct(files, directDir);
        } else {
            worker = direct(files, directDir);
            page = viaPage(files, pageDir);
        }
        QDir(pageDir).removeRecursively();
        QDir(directDir).removeRecursively();
        pages << page;
        workers << worker;
        ratios << page / worker;
    }
    printPairRatios(ratios);
    const double ratio = BenchFigures::median(ratios);
    std::printf("%-28s page %.2f s, worker %.2f s, ratio %.2f (limit %.1f) %s (medians of %d pairs)\n", what,
                BenchFigures::median(pages), BenchFigures::median(workers), ratio, limit, verdict(ratio <= limit),
                rounds);
    std::fflush(stdout);
}

// A connected manager on an emulator serving root; false when it did not connect.
bool connect(ReceiverEmulator &emulator, const QString &root, DVB24CommunicationManager &manager)
{
    TransferCommands::install(emulator, root);
    MediaCommands::install(emulator, root);
    if (!emulator.start())
        return false;
    manager.setPort(emulator.port());
    bool connected = false;
    QObject::connect(&manager, &DeviceCommunicationManager::stateChanged,
                     [&](const QString &s) { connected = connected || s == QLatin1String("connected"); });
    manager.connectToHost(emulator.host());
    runUntil([&] { return connected; });
    return true;
}

void receiverFiles(int count, qint64 size)
{
    QTemporaryDir root;
    QDir().mkpath(root.filePath("hdd/src"));
    QString payload;
    QStringList sources;
    for (int i = 0; i < count; ++i) {
        makeFile(root.filePath(QStringLiteral("hdd/src/f%1.bin").arg(i)), size);
        sources << QStringLiteral("/hdd\\src\\f%1.bin").arg(i);
        payload += QStringLiteral("file://%1*%2\r\n").arg(sources.last()).arg(size);
    }
    ReceiverEmulator emulator;
    DVB24CommunicationManager manager;
    if (!connect(emulator, root.path(), manager))
        return;
    QTemporaryDir pc;
    // The same requests through the page and straight to the receiver worker, in pairs, in turns first.
    const auto viaPage = [&](const QString &folder) {
        MediaExplorerModule page;
        page.setCommunicationManager(&manager);
        settle();
        QElapsedTimer t;
        t.start();
        emit page.pcModel()->mimeDeviceDataDropped(folder, payload);
        runUntil([&] { return !page.isBusy(); });
        return t.elapsed() / 1000.0;
    };
    const auto direct = [&](const QString &folder) {
        QList<DeviceCall> calls;
        for (const QString &source : sources) {
            DeviceCall call(QStringLiteral("MEMCopyDeviceToPc"));
            call.setParameter(QStringLiteral("sourceFile"), QStringLiteral("file://") + source);
            call.setParameter(QStringLiteral("destinationFile"), folder + u'/' + source.section(u'\\', -1));
            call.setParameter(QStringLiteral("deleteSource"), QStringLiteral("false"));
            call.setParameter(QStringLiteral("overwrite"), QStringLiteral("true"));
            call.setParameter(QStringLiteral("size"), QString::number(size));
            call.setParameter(QStringLiteral("recordID"), QStringLiteral("0"));
            calls << call;
        }
        return runCalls(manager, calls);
    };
    const int rounds = 5;
    QList<double> pages, workers, ratios;
    int copied = count;
    for (int round = 0; round < rounds; ++round) {
        const QString pageDir = pc.filePath(QStringLiteral("page%1").arg(round));
        const QString directDir = pc.filePath(QStringLiteral("direct%1").arg(round));
        QDir().mkpath(pageDir);
        QDir().mkpath(directDir);
        double page = 0, worker = 0;
        if (round % 2 == 0) {
            page = viaPage(pageDir);
            worker = direct(directDir);
        } else {
            worker = direct(directDir);
            page = viaPage(pageDir);
        }
        copied = qMin(copied, int(QDir(pageDir).entryList(QDir::Files).size()));
        pages << page;
        workers << worker;
        ratios << page / worker;
    }
    manager.requestClose();
    printPairRatios(ratios);
    const double ratio = BenchFigures::median(ratios);
    std::printf("%-28s page %.2f s, worker %.2f s, ratio %.2f (limit 1.5) %s (%d of %d files via the page in each, "
                "medians of %d pairs)\n",
                "500 small receiver files", BenchFigures::median(pages), BenchFigures::median(workers), ratio,
                verdict(ratio <= 1.5), copied, count, rounds);
    std::fflush(stdout);
}

// A receiver whose hdd holds entries files, connected once and listed as often as asked.
struct ListedReceiver
{
    explicit ListedReceiver(int entries)
        : entries(entries)
    {
        QDir().mkpath(root.filePath("hdd"));
        for (int i = 0; i < entries; ++i)
            QFile(root.filePath(QStringLiteral("hdd/f%1.ts").arg(i))).open(QIODevice::WriteOnly);
        connect(emulator, root.path(), manager);
    }
    ~ListedReceiver() { manager.requestClose(); }

    // Seconds from asking a fresh model for the hdd's entries until it holds them all.
    double listing()
    {
        ZBDeviceFileSystemModel model(&manager);
        model.initFileSystem();
        runUntil([&] { return model.rowCount() == 1; });
        const QPersistentModelIndex hdd = model.index(0, 0);
        QElapsedTimer t;
        t.start();
        model.fetchMore(hdd);
        runUntil([&] { return model.rowCount(hdd) == entries; });
        return t.nsecsElapsed() / 1e9;
    }

    const int entries;
    QTemporaryDir root;
    ReceiverEmulator emulator;
    DVB24CommunicationManager manager;
};

// Listing twice the entries may take at most 2.5 times as long. The two sizes are listed in pairs, in
// turns first, and the pairs' ratios judged by their median: one listing alone of the smaller size is
// short enough for the machine's moods to swing the ratio from one run to the next.
void receiverListings(int entries, int rounds)
{
    ListedReceiver small(entries);
    ListedReceiver large(2 * entries);
    // once each unmeasured: the first listing of a connection also warms its caches
    small.listing();
    large.listing();
    QList<double> smallSeconds, largeSeconds, ratios;
    for (int round = 0; round < rounds; ++round) {
        double first = 0, second = 0;
        if (round % 2 == 0) {
            first = small.listing();
            second = large.listing();
        } else {
            second = large.listing();
            first = small.listing();
        }
        smallSeconds << first;
        largeSeconds << second;
        ratios << second / first;
    }
    printPairRatios(ratios);
    const double ratio = BenchFigures::median(ratios);
    std::printf("%-28s %d %.2f s, %d %.2f s, ratio %.2f (limit 2.5) %s (medians of %d pairs)\n", "receiver listing",
                entries, BenchFigures::median(smallSeconds), 2 * entries, BenchFigures::median(largeSeconds), ratio,
                verdict(ratio <= 2.5), rounds);
    std::fflush(stdout);
}

struct PageJob
{
    double seconds = 0;
    int sourceListings = 0;
    int copied = 0;
};

// One copy job through the page as the user makes it: the receiver files selected in the expanded source
// folder, Copy, the PC folder selected, Paste; it ends when the page is idle and the tree listed again.
// With shown, the PC folder is open (expanded) in the page's PC pane while the files arrive.
PageJob pageJob(MediaExplorerModule &page, MediaCommands &media, const QPersistentModelIndex &source,
                const QString &destination, bool shown)
{
    PcFileSystemModel *pc = page.pcModel();
    QDir().mkpath(destination);
    QModelIndexList chain;
    for (QModelIndex at = pc->index(destination); at.isValid(); at = at.parent())
        chain.prepend(at);
    const QModelIndex target = chain.last();
    if (shown) {
        for (const QModelIndex &at : std::as_const(chain))
            page.tvPcFolders->expand(at);
        if (pc->canFetchMore(target))
            pc->fetchMore(target);
    }
    ZBDeviceFileSystemModel *model = page.deviceModel();
    QItemSelection all(model->index(0, 0, source), model->index(model->rowCount(source) - 1, 0, source));
    page.tvZbDeviceFolders->setFocus();
    waitAtMost(5000, [&] { return page.activePane() == 2; });
    page.tvZbDeviceFolders->selectionModel()->select(all,
                                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    page.copyToClipboard();
    page.tvPcFolders->setFocus();
    waitAtMost(5000, [&] { return page.activePane() == 1; });
    page.tvPcFolders->selectionModel()->select(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const int listingsBefore = media.listingsOf(QStringLiteral("hdd\\src"));
    settle();
    QElapsedTimer t;
    t.start();
    page.pasteFromClipboard();
    runUntil([&] { return !page.isBusy() && !model->isFetching(); });
    PageJob job;
    job.seconds = t.elapsed() / 1000.0;
    job.sourceListings = media.listingsOf(QStringLiteral("hdd\\src")) - listingsBefore;
    job.copied = int(QDir(destination).entryList(QDir::Files).size());
    return job;
}

void receiverFilesIntoShownFolder(int count)
{
    QTemporaryDir root;
    QDir().mkpath(root.filePath("hdd/src"));
    for (int i = 0; i < count; ++i)
        makeFile(root.filePath(QStringLiteral("hdd/src/f%1.bin").arg(i)), 100);
    ReceiverEmulator emulator;
    TransferCommands::install(emulator, root.path());
    const std::shared_ptr<MediaCommands> media = MediaCommands::install(emulator, root.path());
    if (!emulator.start())
        return;
    DVB24CommunicationManager manager;
    manager.setPort(emulator.port());
    bool connected = false;
    QObject::connect(&manager, &DeviceCommunicationManager::stateChanged,
                     [&](const QString &s) { connected = connected || s == QLatin1String("connected"); });
    manager.connectToHost(emulator.host());
    runUntil([&] { return connected; });
    QTemporaryDir pc;
    const int rounds = 5;
    QList<double> hiddenSeconds, shownSeconds, ratios;
    int mostListings = 0, shownCopied = 0, hiddenCopied = 0;
    {
        MediaExplorerModule page;
        page.setCommunicationManager(&manager);
        page.onDeviceStateChange(QStringLiteral("connected"));
        page.show();
        page.activateWindow();
        page.onShow();
        ZBDeviceFileSystemModel *model = page.deviceModel();
        runUntil([&] { return model->rowCount() > 0 && !model->isFetching(); });
        const QPersistentModelIndex hdd = model->index(0, 0);
        model->fetchMore(hdd);
        runUntil([&] { return model->rowCount(hdd) > 0 && !model->isFetching(); });
        const QPersistentModelIndex src = model->index(0, 0, hdd);
        model->fetchMore(src);
        runUntil([&] { return model->rowCount(src) == count && !model->isFetching(); });
        page.tvZbDeviceFolders->expand(hdd);
        page.tvZbDeviceFolders->expand(src);
        for (int round = 0; round < rounds; ++round) {
            // each shown job beside its not-shown one, in turns first, into folders of their own
            const QString hiddenDir = pc.filePath(QStringLiteral("hidden%1/dl").arg(round));
            const QString shownDir = pc.filePath(QStringLiteral("shown%1/dl").arg(round));
            PageJob hidden, shown;
            if (round % 2 == 0) {
                hidden = pageJob(page, *media, src, hiddenDir, false);
                shown = pageJob(page, *media, src, shownDir, true);
            } else {
                shown = pageJob(page, *media, src, shownDir, true);
                hidden = pageJob(page, *media, src, hiddenDir, false);
            }
            std::printf("%-28s shown %.2f s, not shown %.2f s, %d and %d receiver source listings\n",
                        qPrintable(QStringLiteral("  round %1").arg(round + 1)), shown.seconds, hidden.seconds,
                        shown.sourceListings, hidden.sourceListings);
            std::fflush(stdout);
            hiddenSeconds << hidden.seconds;
            shownSeconds << shown.seconds;
            ratios << shown.seconds / hidden.seconds;
            mostListings = qMax(mostListings, qMax(shown.sourceListings, hidden.sourceListings));
            shownCopied = shown.copied;
            hiddenCopied = hidden.copied;
            // the shown folder leaves the pane again, so the next round starts alike
            page.tvPcFolders->collapseAll();
        }
        QGuiApplication::clipboard()->clear();
    }
    manager.requestClose();
    const double ratio = BenchFigures::median(ratios);
    std::printf("%-28s shown %.2f s, not shown %.2f s, ratio %.2f (limit 1.1) %s (%d and %d of %d files, medians "
                "of %d pairs)\n",
                qPrintable(QStringLiteral("%1 x 100 B receiver to PC").arg(count)), BenchFigures::median(shownSeconds),
                BenchFigures::median(hiddenSeconds), ratio, verdict(ratio <= 1.1), shownCopied, hiddenCopied, count,
                rounds);
    std::printf("%-28s at most %d a job (limit 1 a job) %s\n", "receiver source listings", mostListings,
                verdict(mostListings <= 1));
}
} // namespace

int main(int argc, char *argv[])
{
    BenchFigures::prepareProcess();
    QApplication app(argc, argv);
    BenchFigures::nameApplication(QStringLiteral("media"));
    const qint64 bigMiB = argc > 1 ? QByteArray(argv[1]).toLongLong() : 512;
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("src"));
    QStringList small;
    for (int i = 0; i < 1000; ++i) {
        small << dir.filePath(QStringLiteral("src/s%1.bin").arg(i));
        makeFile(small.last(), 64 * 1024);
    }
    compare("1,000 x 64 KiB PC to PC", small, dir.filePath("small"), 1.3, 5);
    const QString big = dir.filePath("src/big.bin");
    makeFile(big, bigMiB << 20);
    compare(qPrintable(QStringLiteral("one %1 MiB file PC to PC").arg(bigMiB)), {big}, dir.filePath("big"), 1.1, 3);
    receiverFiles(500, 16 * 1024);
    receiverFilesIntoShownFolder(argc > 2 ? QByteArray(argv[2]).toInt() : 5000);
    receiverListings(argc > 3 ? QByteArray(argv[3]).toInt() : 15000, 9);
    return missed ? 1 : 0;
}
