#include "devices/networkaddresses.h"

#include "base/strictipv4.h"

#include <QNetworkInterface>
#include <QStringList>

namespace {

quint32 ipv4(const QHostAddress &address)
{
    return address.toIPv4Address();
}

// Prefix length of a contiguous netmask, -1 for any other value.
int prefixLength(quint32 mask)
{
    int ones = 0;
    while (ones < 32 && (mask & (0x80000000u >> ones)))
        ++ones;
    const quint32 expected = ones == 0 ? 0 : quint32(0xFFFFFFFFu << (32 - ones));
    return mask == expected ? ones : -1;
}

bool isOwnOrEdge(quint32 x, const QList<quint32> &own)
{
    const quint32 low = x & 0xFF;
    return low == 0 || low == 255 || own.contains(x);
}

} // namespace

quint32 hostCountForNetmask(const QHostAddress &netmask)
{
    const quint32 m = ipv4(netmask);
    if (m == 0 || (m & 1))
        return 0;
    int zeros = 0;
    while (!(m & (1u << zeros)))
        ++zeros;
    return quint32((quint64(1) << zeros) - 2);
}

QHostAddress firstHostOfSubnet(const QHostAddress &ip, const QHostAddress &netmask)
{
    return QHostAddress((ipv4(ip) & ipv4(netmask)) + 1);
}

QHostAddress lastHostOfSubnet(const QHostAddress &ip, const QHostAddress &netmask)
{
    return QHostAddress(ipv4(firstHostOfSubnet(ip, netmask)) + hostCountForNetmask(netmask) - 1);
}

bool isSameSubnetListed(const QList<SubnetEntry> &list, const SubnetEntry &entry)
{
    const int prefix = prefixLength(ipv4(entry.second));
    for (const SubnetEntry &listed : list) {
        if (prefixLength(ipv4(listed.second)) == prefix &&
            (ipv4(listed.first) & ipv4(listed.second)) == (ipv4(entry.first) & ipv4(entry.second)))
            return true;
    }
    return false;
}

bool isPrivateAddress(const QHostAddress &address)
{
    const quint32 a = ipv4(address);
    const quint32 first = a >> 24;
    const quint32 second = (a >> 16) & 0xFF;
    return first == 10 || (first == 192 && second == 168) || (first == 169 && second == 254) ||
           (first == 172 && second >= 16 && second <= 31);
}

bool isNetworkAvailable()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        if ((interface.flags() & QNetworkInterface::IsUp) && !(interface.flags() & QNetworkInterface::IsLoopBack) &&
            !interface.addressEntries().isEmpty())
            return true;
    }
    return false;
}

QString paddedIpText(const QHostAddress &address)
{
    const QStringList parts = address.toString().split(u'.');
    QStringList padded;
    for (int i = 0; i < 4; ++i)
        padded << (i < parts.size() ? parts.at(i) : QStringLiteral("0")).rightJustified(3, u'0', true);
    return padded.join(u'.');
}

bool isValidHostText(const QString &text)
{
    quint32 address = 0;
    return StrictIPv4::parse(text.trimmed(), &address) && address != 0 && (address & 0xFF) != 0;
}

QList<quint32> subnetHosts(const QList<SubnetEntry> &subnets)
{
    QList<quint32> own;
    for (const SubnetEntry &entry : subnets)
        own << ipv4(entry.first);
    QList<quint32> hosts;
    for (const SubnetEntry &entry : subnets) {
        const quint32 ip = ipv4(entry.first);
        quint32 mask = ipv4(entry.second);
        if (prefixLength(mask) < 0 || hostCountForNetmask(entry.second) == 0)
            continue;
        // A wider subnet would mean millions of probes; the PC's own /16 is where receivers are.
        if (prefixLength(mask) < 16)
            mask = 0xFFFF0000u;
        const quint32 first = ipv4(firstHostOfSubnet(entry.first, QHostAddress(mask)));
        const quint32 last = ipv4(lastHostOfSubnet(entry.first, QHostAddress(mask)));
        for (quint32 x = first; x <= last; ++x) {
            if ((x & mask) == (ip & mask) && !isOwnOrEdge(x, own))
                hosts << x;
        }
    }
    return hosts;
}

QList<quint32> rangeHosts(quint32 first, quint32 last, const QList<quint32> &ownAddresses)
{
    QList<quint32> hosts;
    if (first > last)
        return hosts;
    for (quint64 x = first; x <= last; ++x) {
        if (!isOwnOrEdge(quint32(x), ownAddresses))
            hosts << quint32(x);
    }
    return hosts;
}

bool isValidRange(const QString &firstText, const QString &lastText)
{
    quint32 first = 0;
    quint32 last = 0;
    if (!isValidHostText(firstText) || !isValidHostText(lastText))
        return false;
    StrictIPv4::parse(firstText.trimmed(), &first);
    StrictIPv4::parse(lastText.trimmed(), &last);
    return first <= last && quint64(last) - first + 1 <= maxSearchHosts;
}
