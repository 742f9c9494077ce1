#include "devices/devicediscovery.h"

#include "base/settings.h"
#include "devices/deviceprobe.h"
#include "devices/networkaddresses.h"
#include "devices/searchthread.h"

#include <QDir>

#include <algorithm>

#include <sys/resource.h>

int DeviceDiscovery::probeCapacity()
{
    static const int capacity = [] {
        rlimit limit{};
        if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
            return 64;
        if (limit.rlim_cur < limit.rlim_max) {
            rlimit raised = limit;
            raised.rlim_cur = limit.rlim_max;
            if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
                limit = raised;
        }
        const qint64 open = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
        return probeCapacityFor(limit.rlim_cur == RLIM_INFINITY ? -1 : qint64(limit.rlim_cur), open);
    }();
    return capacity;
}

int DeviceDiscovery::probeCapacityFor(qint64 softLimit, qint64 openDescriptors)
{
    const qint64 soft = softLimit < 0 ? qint64(1) << 20 : softLimit;
    // Each probe holds a socket and its thread's wake-up pipes; the rest stays for the program.
    return int(std::clamp<qint64>((soft - openDescriptors - 64) / 3, 1, 1024));
}

DeviceDiscovery::DeviceDiscovery(QObject *parent)
    : QObject(parent)
    , m_port(DeviceProbe::defaultPort)
    , m_maxProbes(probeCapacity())
{
    qRegisterMetaType<ZBDeviceInfo>("ZBDeviceInfo");
}

DeviceDiscovery::~DeviceDiscovery()
{
    stop();
    if (m_listWorker) {
        m_listWorker->disconnect(this);
        m_listWorker->wait();
        delete m_listWorker;
    }
    for (SearchThread *worker : std::as_const(m_workers)) {
        worker->disconnect(this);
        worker->wait();
        delete worker;
    }
}

void DeviceDiscovery::start()
{
    emit DiscoveryStarted();
    cancelled = false;
    fastScan = Settings::getBool(Settings::SearchFastScanEnabled, true);
    startScan(0, 0);
}

bool DeviceDiscovery::startRange(const QHostAddress &first, const QHostAddress &last)
{
    const quint32 from = first.toIPv4Address();
    const quint32 to = last.toIPv4Address();
    // An empty range must never turn into the subnet scan.
    if (from == 0 || to == 0 || from > to || quint64(to) - from + 1 > maxSearchHosts)
        return false;
    emit DiscoveryStarted();
    cancelled = false;
    fastScan = Settings::getBool(Settings::SearchFastScanEnabled, true);
    pendingHosts.clear();
    startScan(from, to);
    return true;
}

void DeviceDiscovery::startScan(quint32 first, quint32 last)
{
    busy = true;
    if (m_listWorker) {
        m_listWorker->disconnect(this);
        m_listWorker->wait();
        delete m_listWorker;
    }
    m_listWorker = new SearchThread;
    connect(m_listWorker, &SearchThread::hostsCollectionReady, this, &DeviceDiscovery::onHostsCollectionReady);
    m_listWorker->getNetworkProperties(first, last);
}

void DeviceDiscovery::onHostsCollectionReady(QList<quint32> hosts)
{
    const quint64 count = quint64(hosts.size());
    pendingHosts = hosts;
    for (const QHostAddress &known : std::as_const(knownAddressList))
        pendingHosts.removeAll(known.toIPv4Address());
    if (SearchThread *worker = qobject_cast<SearchThread *>(sender()); worker && worker == m_listWorker) {
        worker->disconnect(this);
        m_listWorker = nullptr;
        worker->wait();
        worker->deleteLater();
    }
    if (cancelled)
        pendingHosts.clear();
    emit HostsCounted(count);
    search();
}

void DeviceDiscovery::probeAddress(const QHostAddress &address)
{
    emit DiscoveryStarted();
    cancelled = true;
    fastScan = false;
    pendingHosts = {address.toIPv4Address()};
    search();
}

void DeviceDiscovery::cancel()
{
    cancelled = true;
    pendingHosts.clear();
    finishIfDone();
}

void DeviceDiscovery::stop()
{
    cancel();
    for (SearchThread *worker : std::as_const(m_workers))
        worker->requestStop();
}

void DeviceDiscovery::search()
{
    busy = true;
    while (runningThreads < m_maxProbes && !pendingHosts.isEmpty()) {
        auto *worker = new SearchThread(this);
        worker->setPort(m_port);
        connect(worker, &SearchThread::DeviceFound, this, &DeviceDiscovery::onDeviceFound);
        connect(worker, &QThread::finished, this, &DeviceDiscovery::onDiscoveryCompleted);
        m_workers.insert(worker);
        ++runningThreads;
        worker->connectToHost(QHostAddress(pendingHosts.takeFirst()), fastScan);
    }
    finishIfDone();
}

void DeviceDiscovery::onDeviceFound(ZBDeviceInfo info)
{
    emit DeviceFound(info);
}

void DeviceDiscovery::onDiscoveryCompleted()
{
    auto *worker = qobject_cast<SearchThread *>(sender());
    emit hostConnectionStarted();
    if (!worker || !m_workers.contains(worker))
        return;
    if (cancelled || pendingHosts.isEmpty())
        release(worker);
    else {
        // finished() arrives while the thread is still winding down; a start before that is lost.
        worker->wait();
        worker->connectToHost(QHostAddress(pendingHosts.takeFirst()), fastScan);
    }
    finishIfDone();
}

void DeviceDiscovery::release(SearchThread *worker)
{
    worker->disconnect(this);
    m_workers.remove(worker);
    --runningThreads;
    worker->wait();
    worker->deleteLater();
}

void DeviceDiscovery::finishIfDone()
{
    if (busy && pendingHosts.isEmpty() && runningThreads == 0 && !m_listWorker) {
        busy = false;
        emit finished();
    }
}
