// What an idle connected receiver costs: process CPU time over a few seconds of keep-alives, beside
// the same time with no connection at all. The worker should sleep on its semaphore between probes.

#include "device/dvb24communicationmanager.h"
#include "receiveremulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTextStream>

#include <sys/resource.h>

namespace {

double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

double cpuOver(int ms)
{
    const double before = cpuMs();
    QTest::qWait(ms);
    return cpuMs() - before;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    constexpr int window = 5000;
    QTextStream out(stdout);

    ReceiverEmulator emulator;
    if (!emulator.start())
        return 1;
    const double baseline = cpuOver(window);

    DVB24CommunicationManager manager;
    manager.setPort(emulator.port());
    bool connected = false;
    QObject::connect(&manager, &DeviceCommunicationManager::stateChanged, &app,
                     [&connected](const QString &state) { connected = state == QLatin1String("connected"); });
    manager.connectToHost(emulator.host());
    if (!QTest::qWaitFor([&connected] { return connected; }, 10000))
        return 2;
    const int before = int(emulator.received().size());
    const double idle = cpuOver(window);
    const int probes = int(emulator.received().size()) - before;

    out << "no connection:   " << baseline << " ms CPU in " << window << " ms\n";
    out << "idle connection: " << idle << " ms CPU in " << window << " ms (" << probes << " keep-alive probes)\n";
    out << "per second:      " << (idle - baseline) * 1000.0 / window << " ms CPU\n";
    manager.requestClose();
    return 0;
}
