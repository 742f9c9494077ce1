#pragma once

#include "device/core/zbdeviceinfo.h"
#include "devices/networkaddresses.h"

#include <QHostAddress>
#include <QList>
#include <QThread>

#include <atomic>
#include <functional>

// One worker of the network search: either builds a host list or probes one host per start.
class SearchThread : public QThread
{
    Q_OBJECT
public:
    using SubnetProvider = std::function<QList<SubnetEntry>()>;

    explicit SearchThread(QObject *parent = nullptr);

    void getNetworkProperties();
    void getNetworkProperties(quint32 first, quint32 last);
    void connectToHost(const QHostAddress &host, bool fastScan);

    // The PC's private subnets, or what a provider set for tests gives.
    static QList<SubnetEntry> collectLocalSubnets();
    static void setLocalSubnetProvider(const SubnetProvider &provider);

    void setPort(quint16 port) { m_port = port; }
    // Ends a running probe within a wait slice.
    void requestStop() { m_stop.store(true); }

signals:
    void connectingToHostStarted();
    void DeviceFound(ZBDeviceInfo info);
    void hostsCollectionReady(QList<quint32> hosts);

protected:
    void run() override;

private:
    void reset();

    bool fastScan = false;
    QString mode;
    QHostAddress host;
    quint32 startIp = 0;
    quint32 endIp = 0;
    quint16 m_port;
    std::atomic_bool m_stop{false};
};
