#include "devices/deviceprobe.h"

#include "device/core/zbdeviceinfo.h"
#include "device/protocol/descriptionstream.h"
#include "device/protocol/macaddress.h"

#include <QTcpSocket>

namespace {
constexpr int sliceMs = 100;
}

DeviceProbe::DeviceProbe(quint16 port, const std::atomic_bool *stop)
    : m_socket(new QTcpSocket)
    , m_port(port)
    , m_stop(stop)
{}

DeviceProbe::~DeviceProbe() = default;

void DeviceProbe::throwIfFalse(bool ok)
{
    if (!ok)
        throw 23;
}

bool DeviceProbe::stopped() const
{
    return (m_stop && m_stop->load()) || m_deadline.hasExpired();
}

bool DeviceProbe::waitForData()
{
    QDeadlineTimer wait(readTimeoutMs);
    while (!stopped() && !wait.hasExpired()) {
        if (m_socket->bytesAvailable() > 0)
            return true;
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            return false;
        if (m_socket->waitForReadyRead(int(qMin<qint64>(sliceMs, qMax<qint64>(1, wait.remainingTime())))))
            return true;
    }
    return false;
}

QByteArray DeviceProbe::readExactly(qint64 n, bool *ok)
{
    QByteArray result;
    *ok = true;
    while (result.size() < n) {
        if (m_socket->bytesAvailable() <= 0 && !waitForData()) {
            *ok = false;
            break;
        }
        result.append(m_socket->read(n - result.size()));
    }
    return result;
}

bool DeviceProbe::writeByte(char byte)
{
    if (m_socket->write(&byte, 1) != 1)
        return false;
    m_socket->flush();
    return true;
}

bool DeviceProbe::probe(const QHostAddress &host, ZBDeviceInfo *info, bool fastScan)
{
    m_deadline = QDeadlineTimer(probeDeadlineMs);
    const QHostAddress target(host.toIPv4Address());
    const QByteArray mac = macAddressFor(target);
    if (fastScan ? !isVendorMac(mac) : mac.size() != 6)
        return false;
    if (stopped())
        return false;

    m_socket->connectToHost(target, m_port, QIODevice::ReadWrite);
    QDeadlineTimer connectWait(connectTimeoutMs);
    while (m_socket->state() != QAbstractSocket::ConnectedState && !connectWait.hasExpired() && !stopped() &&
           m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->waitForConnected(sliceMs);
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        m_socket->abort();
        return false;
    }

    bool result = false;
    try {
        throwIfFalse(writeByte(0x26));
        bool ok = false;
        const QByteArray status = readExactly(1, &ok);
        if (ok && quint8(status.at(0)) == 0xAA) {
            DescriptionStreamIo io;
            io.read = [this](qint64 n, bool *readOk) { return readExactly(n, readOk); };
            io.ack = [this] { return writeByte(0x55); };
            io.goOn = [this] { return !stopped(); };
            DescriptionStreamLimits limits;
            limits.deadlineMs = probeDeadlineMs;
            limits.maxForeignTags = maxForeignTags;
            QByteArray payload;
            throwIfFalse(readDescriptionStream(io, limits, &payload));
            const qsizetype nul = payload.indexOf('\0');
            if (nul >= 0)
                payload.truncate(nul);
            info->setMac(macToString(mac));
            result = info->fromXml(QString::fromUtf8(payload));
            // The address we reached is the receiver's, whatever its description claims, and a
            // receiver found on the network is not one managed over USB.
            info->setIp(target);
            info->setUsbManaged(false);
        }
    } catch (int) {
        m_socket->abort();
        return false;
    }
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->close();
    return result;
}
