#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHostAddress>

#include <atomic>
#include <memory>

class QTcpSocket;
class ZBDeviceInfo;

// Tests one host for a receiver and reads its description. Lives and runs in one worker thread; it
// blocks that thread, but every wait is cut into short slices so that a stop request ends it soon.
class DeviceProbe
{
public:
    static constexpr quint16 defaultPort = 2376;
    static constexpr int connectTimeoutMs = 3000;
    static constexpr int readTimeoutMs = 2000;
    // The whole probe, however the peer paces its bytes.
    static constexpr int probeDeadlineMs = 10000;
    static constexpr int maxForeignTags = 64;

    explicit DeviceProbe(quint16 port = defaultPort, const std::atomic_bool *stop = nullptr);
    ~DeviceProbe();
    DeviceProbe(const DeviceProbe &) = delete;
    DeviceProbe &operator=(const DeviceProbe &) = delete;

    // True when the host delivered a description the record accepted; the caller judges the version.
    bool probe(const QHostAddress &host, ZBDeviceInfo *info, bool fastScan);

    static void throwIfFalse(bool ok);

private:
    bool stopped() const;
    // Waits for data at most readTimeoutMs (and never past the probe deadline), in slices.
    bool waitForData();
    QByteArray readExactly(qint64 n, bool *ok);
    bool writeByte(char byte);

    std::unique_ptr<QTcpSocket> m_socket;
    quint16 m_port;
    const std::atomic_bool *m_stop;
    QDeadlineTimer m_deadline;
};
