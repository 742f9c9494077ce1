#include "devices/searchthread.h"

#include "devices/deviceprobe.h"

#include <QMutex>
#include <QMutexLocker>
#include <QNetworkInterface>

namespace {

QMutex providerLock;
SearchThread::SubnetProvider &subnetProvider()
{
    static SearchThread::SubnetProvider provider;
    return provider;
}

QList<SubnetEntry> platformSubnets()
{
    QList<SubnetEntry> list;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const auto flags = interface.flags();
        if (!interface.isValid() || !(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
            (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            const SubnetEntry pair(entry.ip(), entry.netmask());
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol && !isSameSubnetListed(list, pair) &&
                entry.ip() != QHostAddress(QHostAddress::LocalHost) && isPrivateAddress(entry.ip()))
                list << pair;
        }
    }
    return list;
}

} // namespace

SearchThread::SearchThread(QObject *parent)
    : QThread(parent)
    , m_port(DeviceProbe::defaultPort)
{
    qRegisterMetaType<ZBDeviceInfo>("ZBDeviceInfo");
    qRegisterMetaType<QList<quint32>>("QList<quint32>");
}

QList<SubnetEntry> SearchThread::collectLocalSubnets()
{
    SubnetProvider provider;
    {
        QMutexLocker locker(&providerLock);
        provider = subnetProvider();
    }
    return provider ? provider() : platformSubnets();
}

void SearchThread::setLocalSubnetProvider(const SubnetProvider &provider)
{
    QMutexLocker locker(&providerLock);
    subnetProvider() = provider;
}

void SearchThread::getNetworkProperties()
{
    getNetworkProperties(0, 0);
}

void SearchThread::getNetworkProperties(quint32 first, quint32 last)
{
    mode = QStringLiteral("getNetworkProperties");
    startIp = first;
    endIp = last;
    start(QThread::InheritPriority);
}

void SearchThread::connectToHost(const QHostAddress &address, bool fast)
{
    fastScan = fast;
    mode = QStringLiteral("connectToHost");
    host = QHostAddress(address.toIPv4Address());
    start(QThread::InheritPriority);
}

void SearchThread::reset()
{
    startIp = 0;
    endIp = 0;
    mode.clear();
}

void SearchThread::run()
{
    if (mode == QLatin1String("getNetworkProperties")) {
        const QList<SubnetEntry> subnets = collectLocalSubnets();
        QList<quint32> hosts;
        if (startIp == 0 && endIp == 0) {
            hosts = subnetHosts(subnets);
        } else {
            QList<quint32> own;
            for (const SubnetEntry &entry : subnets)
                own << entry.first.toIPv4Address();
            hosts = rangeHosts(startIp, endIp, own);
        }
        emit hostsCollectionReady(hosts);
        reset();
    } else if (mode == QLatin1String("connectToHost")) {
        emit connectingToHostStarted();
        if (host.toIPv4Address() != 0 && !m_stop.load()) {
            ZBDeviceInfo info;
            DeviceProbe probe(m_port, &m_stop);
            if (probe.probe(host, &info, fastScan) && info.protocolVersion() >= 1.4f)
                emit DeviceFound(ZBDeviceInfo(info));
        }
        host = QHostAddress();
        reset();
    }
}
