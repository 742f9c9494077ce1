#pragma once

#include "device/core/zbdeviceinfo.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSet>

class SearchThread;

// Searches the PC's private subnets, a typed range or one address for receivers: one probe per host,
// each in a worker thread of its own, a bounded number at a time. Lives in the main thread.
class DeviceDiscovery : public QObject
{
    Q_OBJECT
public:
    explicit DeviceDiscovery(QObject *parent = nullptr);
    // Cancels, tells running probes to stop and waits for them: no thread outlives the search.
    ~DeviceDiscovery() override;

    void start();
    // False, and no search, for an invalid range (no hosts, reversed or too wide).
    bool startRange(const QHostAddress &first, const QHostAddress &last);
    void probeAddress(const QHostAddress &address);
    // Drops the pending hosts; running probes end on their own, then finished() follows.
    void cancel();
    // cancel() and a stop request to every running probe.
    void stop();

    bool isBusy() const { return busy; }
    bool isCanceled() const { return cancelled; }
    QList<QHostAddress> knownAddresses() const { return knownAddressList; }
    void setKnownAddresses(const QList<QHostAddress> &list) { knownAddressList = list; }

    void setPort(quint16 port) { m_port = port; }
    int runningProbes() const { return runningThreads; }
    int maxProbes() const { return m_maxProbes; }

    // Raises the soft descriptor limit to the hard one, once; the probe bound is taken from it.
    static int probeCapacity();
    // The bound for a soft descriptor limit (negative: unlimited) with that many descriptors open:
    // three per probe, 64 kept for the program, at least 1 and at most 1024.
    static int probeCapacityFor(qint64 softLimit, qint64 openDescriptors);

signals:
    void DiscoveryStarted();
    void DeviceFound(ZBDeviceInfo info);
    void HostsCounted(quint64 count);
    void hostConnectionStarted();
    void finished();

public slots:
    void onDeviceFound(ZBDeviceInfo info);
    void onDiscoveryCompleted();

private slots:
    void search();
    void onHostsCollectionReady(QList<quint32> hosts);

private:
    void startScan(quint32 first, quint32 last);
    void release(SearchThread *worker);
    void finishIfDone();

    bool fastScan = true;
    bool busy = false;
    int runningThreads = 0;
    bool cancelled = false;
    QList<QHostAddress> knownAddressList;
    QList<quint32> pendingHosts;
    QSet<SearchThread *> m_workers;
    SearchThread *m_listWorker = nullptr;
    quint16 m_port;
    int m_maxProbes;
};
