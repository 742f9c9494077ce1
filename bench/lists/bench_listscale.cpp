// A TV list of 20,000 services from the receiver emulator in the TV list page: the download up to a
// usable table with the longest pause of the GUI thread (a 10 ms timer notes the largest gap between
// its ticks), against the receiver alone and a bare parse; then an edit, a sort, a search and three
// sends. Memory (RSS) after the download and after each send is set against a bare QDomDocument parse
// of the same list, measured in a process of its own so that neither run reuses the other's memory;
// the emulator runs in a third one, so that what it keeps of a sent list is not counted as the page's.
// Goals: no pause over 250 ms, the download at most twice the receiver alone plus the parse, the open
// page at most 1.5 times the bare parse, and no growth from repeated sends.

#include "benchfigures.h"
#include "document/generatedtvlist.h"

#include "receiveremulator.h"
#include "receiverlists.h"
#include "recordingtask.h"

#include "base/settings.h"
#include "device/core/devicecall.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/transfers/transfermethods.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/tvlistmodule.h"

#include <QApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QHashSeed>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <cstdio>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <functional>
#include <memory>

namespace {
constexpr int services = 20000;

// Resident memory of this process in KiB.
qint64 rssKib()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

// The largest gap between ticks of a 10 ms timer on the GUI thread while it runs, and from when to
// when (since the start) reading() held at the ticks.
class StallMeter : public QObject
{
public:
    explicit StallMeter(const std::function<bool()> &reading)
    {
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [this, reading] {
            longest = qMax(longest, clock.restart());
            if (reading()) {
                if (readFrom < 0)
                    readFrom = total.elapsed();
                readTo = total.elapsed();
            }
        });
    }
    void start()
    {
        longest = 0;
        readFrom = readTo = -1;
        clock.start();
        total.start();
        timer.start();
    }
    qint64 stop()
    {
        timer.stop();
        return qMax(longest, clock.elapsed());
    }
    qint64 readFrom = -1;
    qint64 readTo = -1;

private:
    QTimer timer;
    QElapsedTimer clock;
    QElapsedTimer total;
    qint64 longest = 0;
};

// The child run: the memory a bare parse of the list takes, in KiB, the time of that first parse (its
// memory fresh, as the page's is) and the best time of three.
int bareParse()
{
    const QString text = GeneratedTvList::text(services);
    const qint64 before = rssKib();
    QDomDocument document;
    qint64 best = -1;
    for (int round = 0; round < 3; ++round) {
        if (round > 0)
            document.clear();
        QElapsedTimer timer;
        timer.start();
        if (!document.setContent(text))
            return 2;
        best = best < 0 ? timer.elapsed() : qMin(best, timer.elapsed());
        if (round == 0)
            std::printf("%lld %lld ", rssKib() - before, timer.elapsed());
    }
    std::printf("%lld\n", best);
    return 0;
}

// The child run: the emulated receiver in a process of its own, so that what it parses of a sent list
// is not counted as the page's; it says its port and serves until it is ended.
int emulatorProcess()
{
    ReceiverEmulator emulator;
    auto lists = ReceiverLists::install(emulator);
    lists->setDocument(QStringLiteral("tv"), GeneratedTvList::text(services).toUtf8());
    if (!emulator.start())
        return 2;
    std::printf("%d\n", int(emulator.port()));
    std::fflush(stdout);
    return QCoreApplication::exec();
}
} // namespace

int main(int argc, char *argv[])
{
    QHashSeed::setDeterministicGlobalSeed();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--bare")))
        return bareParse();
    if (app.arguments().contains(QStringLiteral("--emulator")))
        return emulatorProcess();
    QCoreApplication::setOrganizationName(QStringLiteral("Zembrak"));
    QCoreApplication::setApplicationName(QStringLiteral("Ombrelay Bench lists"));
    Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1"));
    // the emulated receiver is back at once after taking a list
    listUploadRestartDelayMs = 100;

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--bare")});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        qFatal("the bare parse did not run");
    const QList<QByteArray> bare = child.readAllStandardOutput().trimmed().split(' ');
    const qint64 bareKib = bare.value(0).toLongLong();
    const qint64 parseMs = bare.value(1).toLongLong();
    const qint64 warmParseMs = bare.value(2).toLongLong();

    QProcess receiver;
    receiver.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--emulator")});
    if (!receiver.waitForReadyRead(60000))
        qFatal("the emulator did not start");
    const quint16 port = quint16(receiver.readLine().trimmed().toUInt());
    DVB24CommunicationManager manager;
    manager.setPort(port);
    ZBDeviceInfo info(QStringLiteral("Box"));
    auto module = std::make_unique<TVListModule>();
    module->setCommunicationManager(&manager);
    module->setDeviceInfo(&info);
    module->resize(1100, 760);
    module->show();
    module->onShow();
    QObject::connect(&manager, &DeviceCommunicationManager::stateChanged, module.get(),
                     &TVListModule::onDeviceStateChange);
    manager.connectToHost(QStringLiteral("127.0.0.1"));
    if (!BenchFigures::waitFor([&] { return module->btnDownloadLists->isEnabled(); }))
        qFatal("no connection to the emulator");

    // The receiver alone: the same request answered into a task that does nothing with the reply.
    QObject owner;
    DeviceCall call(QStringLiteral("sendOrdownloadTVLists"));
    call.setParameter(QStringLiteral("mode"), QStringLiteral("download"));
    call.setParameter(QStringLiteral("listType"), QStringLiteral("tv"));
    QElapsedTimer clock;
    clock.start();
    RecordingTask *alone = RecordingTask::run(manager, &owner, call.toString());
    const qint64 receiverMs = clock.elapsed();
    if (!alone->calls.contains(QStringLiteral("complete:true")) || alone->result().size() < services * 100)
        qFatal("the receiver alone did not answer");
    delete alone;

    const qint64 baseKib = rssKib();
    StallMeter meter([&] { return module->isReadingList(); });
    meter.start();
    clock.restart();
    module->btnDownloadLists->click();
    if (!BenchFigures::waitFor([&] {
            return module->stackedWidget->currentIndex() == 1 && !module->pendingTask() &&
                   module->itemsTableViewAll->model()->rowCount() == services;
        }))
        qFatal("the download did not reach the table");
    module->itemsTableViewAll->viewport()->repaint();
    const qint64 downloadMs = clock.elapsed();
    const qint64 stallMs = meter.stop();
    // the finished task and its reply go at the next turn of an event loop
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const qint64 openKib = rssKib() - baseKib;

    // An edit, a sort and a search, as a user does before sending.
    ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
    items->setData(items->index(0, 1), QStringLiteral("Edited"), Qt::EditRole);
    const qint64 editKib = rssKib() - baseKib;
    module->itemsTableViewAll->sortByColumn(1, Qt::AscendingOrder);
    const qint64 sortKib = rssKib() - baseKib;
    module->txtSearch->setText(QStringLiteral("Service 19"));
    QCoreApplication::processEvents();
    module->txtSearch->clear();
    QCoreApplication::processEvents();
    const qint64 searchKib = rssKib() - baseKib;

    qint64 sendKib[3] = {0, 0, 0};
    qint64 sendMs[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        if (!BenchFigures::waitFor([&] { return module->btnUploadDeviceLists->isEnabled(); }))
            qFatal("no connection before send %d", i + 1);
        clock.restart();
        module->btnUploadDeviceLists->click();
        if (!BenchFigures::waitFor([&] { return !module->pendingTask(); }))
            qFatal("send %d did not end", i + 1);
        sendMs[i] = clock.elapsed();
        if (module->projectManager()->isModified())
            qFatal("the sent list still counts as modified");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        sendKib[i] = rssKib() - baseKib;
    }
#if defined(__GLIBC__)
    // what the allocator keeps free for this process, given back: the rest is held by live objects
    malloc_trim(0);
    const qint64 trimmedKib = rssKib() - baseKib;
#else
    const qint64 trimmedKib = -1;
#endif
    manager.requestClose();
    receiver.kill();
    receiver.waitForFinished();

    const double perService = 1024.0 / services;
    std::printf("%d services\n", services);
    std::printf("receiver alone %lld ms, bare parse %lld ms (%lld ms again), download to the table %lld ms "
                "(limit %lld ms)\n",
                receiverMs, parseMs, warmParseMs, downloadMs, 2 * receiverMs + parseMs);
    if (meter.readFrom >= 0)
        std::printf("  reading the list off the GUI thread seen from %lld ms to %lld ms\n", meter.readFrom,
                    meter.readTo);
    std::printf("longest GUI-thread pause during the download %lld ms (limit 250 ms)\n", stallMs);
    std::printf("bare parse %.1f MB (%.0f B a service)\n", bareKib / 1024.0, bareKib * perService);
    std::printf("page open  %.1f MB (%.0f B a service), ratio %.2f (limit 1.5)\n", openKib / 1024.0,
                openKib * perService, double(openKib) / bareKib);
    std::printf("after an edit %.1f MB, a sort %.1f MB, a search %.1f MB\n", editKib / 1024.0, sortKib / 1024.0,
                searchKib / 1024.0);
    for (int i = 0; i < 3; ++i)
        std::printf("after send %d: %.1f MB (%.0f B a service), send %lld ms\n", i + 1, sendKib[i] / 1024.0,
                    sendKib[i] * perService, sendMs[i]);
    if (trimmedKib >= 0)
        std::printf("after send 3, the allocator's free memory given back: %.1f MB (%.0f B a service)\n",
                    trimmedKib / 1024.0, trimmedKib * perService);
    const bool ok = stallMs <= 250 && downloadMs <= 2 * receiverMs + parseMs && openKib <= 1.5 * bareKib &&
                    sendKib[2] <= sendKib[0] + bareKib / 10;
    std::printf("%s\n", ok ? "within the goals" : "OUTSIDE the goals");
    return ok ? 0 : 1;
}
