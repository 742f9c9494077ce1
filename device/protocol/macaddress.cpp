#include "device/protocol/macaddress.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QNetworkInterface>
#include <QThread>
#include <QUdpSocket>

namespace {

QMutex lookupLock;
MacAddressLookup &overrideLookup()
{
    static MacAddressLookup lookup;
    return lookup;
}

QByteArray parseHex(const QString &text)
{
    const QStringList parts = text.split(u':');
    if (parts.size() != 6)
        return QByteArray();
    QByteArray mac;
    for (const QString &part : parts) {
        bool ok = false;
        const uint value = part.toUInt(&ok, 16);
        if (!ok || part.size() != 2)
            return QByteArray();
        mac.append(char(value));
    }
    return mac;
}

// A datagram to the discard port makes the kernel resolve the neighbour; its content does not matter.
void promptResolution(const QHostAddress &address)
{
    QUdpSocket socket;
    socket.writeDatagram(QByteArray(1, '\0'), address, 9);
}

} // namespace

QString macToString(const QByteArray &mac)
{
    QStringList pairs;
    for (char byte : mac)
        pairs << QStringLiteral("%1").arg(uint(quint8(byte)), 2, 16, QLatin1Char('0')).toUpper();
    return pairs.join(u'-');
}

bool isVendorMac(const QByteArray &mac)
{
    static const QByteArray prefixes[] = {QByteArray::fromHex("001EB8"), QByteArray::fromHex("000D88")};
    if (mac.size() != 6)
        return false;
    for (const QByteArray &prefix : prefixes) {
        if (mac.startsWith(prefix))
            return true;
    }
    return false;
}

void setMacAddressLookup(const MacAddressLookup &lookup)
{
    QMutexLocker locker(&lookupLock);
    overrideLookup() = lookup;
}

QByteArray macFromNeighbourTable(const QByteArray &table, const QHostAddress &address)
{
    const QString wanted = address.toString();
    const QList<QByteArray> lines = table.split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines.at(i).simplified().split(' ');
        if (fields.size() < 4 || QString::fromLatin1(fields.at(0)) != wanted)
            continue;
        bool ok = false;
        const uint flags = fields.at(2).toUInt(&ok, 16);
        // Flag 0x2 marks a complete entry; an incomplete one carries a zero address.
        if (!ok || !(flags & 0x2))
            continue;
        const QByteArray mac = parseHex(QString::fromLatin1(fields.at(3)));
        if (mac.size() == 6 && mac != QByteArray(6, '\0'))
            return mac;
    }
    return QByteArray();
}

QByteArray platformMacAddressFor(const QHostAddress &address, const QString &neighbourTable,
                                 const std::function<void(const QHostAddress &)> &prompt, int timeoutMs)
{
    bool isIPv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIPv4);
    if (!isIPv4)
        return QByteArray();
    if ((ipv4 >> 24) == 127)
        return QByteArray(6, '\0');
    const QHostAddress plain(ipv4);
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            if (entry.ip() != plain)
                continue;
            if (interface.flags() & QNetworkInterface::IsLoopBack)
                return QByteArray(6, '\0');
            return parseHex(interface.hardwareAddress());
        }
    }

    auto readTable = [&neighbourTable, &plain] {
        QFile file(neighbourTable);
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray();
        // The neighbour table is small; a runaway file is not read whole.
        return macFromNeighbourTable(file.read(1024 * 1024), plain);
    };
    QByteArray mac = readTable();
    if (!mac.isEmpty())
        return mac;
    if (prompt)
        prompt(plain);
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QThread::msleep(50);
        mac = readTable();
        if (!mac.isEmpty())
            return mac;
    }
    return QByteArray();
}

QByteArray macAddressFor(const QHostAddress &address)
{
    MacAddressLookup lookup;
    {
        QMutexLocker locker(&lookupLock);
        lookup = overrideLookup();
    }
    if (lookup)
        return lookup(address);
    return platformMacAddressFor(address, QStringLiteral("/proc/net/arp"), promptResolution, 1000);
}
