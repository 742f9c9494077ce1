// A search of 127.0.1.0-255 with 8 answering and 8 silent receivers, the rest refusing, against the
// cost of one probe of a silent receiver; peak descriptors; and the same under a hard limit of 256
// descriptors ("--hard-limit 256"). The receivers run as emulator processes, outside that limit.
// Nothing leaves loopback: the hardware-address lookup stops the run for any other address.

#include "base/settings.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/macaddress.h"
#include "devices/devicediscovery.h"
#include "devices/deviceprobe.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextStream>

#include <sys/resource.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

bool waitListening(const QString &address, quint16 port)
{
    for (int i = 0; i < 100; ++i) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress(address), port);
        if (socket.waitForConnected(100))
            return true;
        QTest::qWait(50);
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zembrak"));
    QCoreApplication::setApplicationName(QStringLiteral("Ombrelay Bench"));
    QTextStream out(stdout);
    const int hardLimit =
        app.arguments().contains(QStringLiteral("--hard-limit"))
            ? app.arguments().value(app.arguments().indexOf(QStringLiteral("--hard-limit")) + 1).toInt()
            : 0;
    setMacAddressLookup([](const QHostAddress &address) {
        if ((address.toIPv4Address() >> 24) != 127) {
            QTextStream(stderr) << "lookup outside loopback: " << address.toString() << '\n';
            std::abort();
        }
        return QByteArray(6, '\0');
    });

    quint16 port = 0;
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress(QStringLiteral("127.0.1.1")), 0))
            return 1;
        port = probe.serverPort();
    }
    std::vector<std::unique_ptr<QProcess>> emulators;
    QStringList live;
    for (int i = 0; i < 16; ++i) {
        const QString address = QStringLiteral("127.0.1.%1").arg(10 + i * 13);
        QStringList arguments = {QStringLiteral("--address"), address, QStringLiteral("--port"), QString::number(port)};
        if (i % 2)
            arguments << QStringLiteral("--silent");
        else
            live << address;
        emulators.push_back(std::make_unique<QProcess>());
        emulators.back()->start(QStringLiteral(RECEIVER_EMULATOR), arguments);
        if (!emulators.back()->waitForStarted() || !waitListening(address, port))
            return 1;
    }
    // Only now: the emulators are other processes, the limit is this one's.
    if (hardLimit > 0) {
        rlimit limit{rlim_t(hardLimit), rlim_t(hardLimit)};
        if (setrlimit(RLIMIT_NOFILE, &limit) != 0)
            return 1;
    }
    Settings::setBool(Settings::SearchFastScanEnabled, false);

    QElapsedTimer timer;
    timer.start();
    {
        ZBDeviceInfo info;
        DeviceProbe silent(port);
        silent.probe(QHostAddress(QStringLiteral("127.0.1.23")), &info, false);
    }
    const qint64 baseline = timer.elapsed();

    DeviceDiscovery discovery;
    discovery.setPort(port);
    int found = 0;
    int peak = openDescriptors();
    bool done = false;
    QObject::connect(&discovery, &DeviceDiscovery::DeviceFound, &app, [&] { ++found; });
    QObject::connect(&discovery, &DeviceDiscovery::hostConnectionStarted, &app,
                     [&] { peak = qMax(peak, openDescriptors()); });
    QObject::connect(&discovery, &DeviceDiscovery::finished, &app, [&] { done = true; });
    timer.restart();
    discovery.startRange(QHostAddress(QStringLiteral("127.0.1.0")), QHostAddress(QStringLiteral("127.0.1.255")));
    QTest::qWaitFor([&] { return done; }, 60000);
    const qint64 search = timer.elapsed();

    for (auto &emulator : emulators) {
        emulator->terminate();
        emulator->waitForFinished();
    }
    out << "descriptor limit " << (hardLimit > 0 ? QString::number(hardLimit) : QStringLiteral("raised")) << ", "
        << discovery.maxProbes() << " probes at once\n"
        << "baseline (one silent probe): " << baseline << " ms\n"
        << "search of 127.0.1.0-255: " << search << " ms (" << QString::number(double(search) / baseline, 'f', 2)
        << " x baseline), found " << found << " of " << live.size() << ", peak descriptors " << peak << '\n';
    return done && found == live.size() && search <= baseline * 12 / 10 ? 0 : 2;
}
