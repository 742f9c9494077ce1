// What an idle connected receiver costs: process CPU time over a few seconds of keep-alives, beside
// the same time with no connection at all (the worker should sleep on its semaphore between probes);
// and how long a receiver that falls silent takes to be shown disconnected.

#include "device/protocol/dvb24communicationmanager.h"
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
    bool disconnected = false;
    QObject::connect(&manager, &DeviceCommunicationManager::stateChanged, &app, [&](const QString &state) {
        connected = state == QLatin1String("connected");
        disconnected = state == QLatin1String("disconnected");
    });
    manager.connectToHost(emulator.host());
    if (!QTest::qWaitFor([&connected] { return connected; }, 10000))
        return 2;
    const int before = int(emulator.received().size());
    const double idle = cpuOver(window);
    const int probes = int(emulator.received().size()) - before;

    out << "no connection:   " << baseline << " ms CPU in " << window << " ms\n";
    out << "idle connection: " << idle << " ms CPU in " << window << " ms (" << probes << " keep-alive probes)\n";
    out << "per second:      " << (idle - baseline) * 1000.0 / window << " ms CPU\n";

    // A receiver that falls silent is given up after one missed keep-alive answer.
    emulator.setSilent(true);
    QElapsedTimer silence;
    silence.start();
    if (!QTest::qWaitFor([&disconnected] { return disconnected; }, 10000))
        return 3;
    out << "silence to \"disconnected\": " << silence.elapsed() << " ms\n";
    manager.requestClose();
    return 0;
}
