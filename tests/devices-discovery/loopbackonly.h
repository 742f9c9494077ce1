#pragma once

#include "device/protocol/macaddress.h"
#include "receiveremulator.h"

#include <QHostAddress>

#include <atomic>
#include <memory>
#include <vector>

// The hardware-address lookup of these tests: an answer only for loopback addresses (a receiver's
// prefix where fast scan must pass), and a mark for any other address, which fails the test.
namespace LoopbackOnly {

inline std::atomic_int strayLookups{0};
inline std::atomic<quint32> foreignPrefixHost{0};

inline void install()
{
    strayLookups.store(0);
    setMacAddressLookup([](const QHostAddress &address) {
        const quint32 ip = address.toIPv4Address();
        if ((ip >> 24) != 127) {
            ++strayLookups;
            return QByteArray();
        }
        return QByteArray::fromHex(ip == foreignPrefixHost.load() ? "AABBCC010203" : "001EB8010203");
    });
}

// Emulators on the given loopback addresses, all on one port; returns it (0 when one cannot start).
inline quint16 startEmulators(std::vector<std::unique_ptr<ReceiverEmulator>> &into, const QStringList &addresses,
                              bool silent = false)
{
    quint16 port = 0;
    for (const QString &address : addresses) {
        into.push_back(std::make_unique<ReceiverEmulator>());
        into.back()->setSilent(silent);
        if (!into.back()->setAddress(QHostAddress(address)) || !into.back()->start(port))
            return 0;
        port = into.back()->port();
    }
    return port;
}

} // namespace LoopbackOnly
