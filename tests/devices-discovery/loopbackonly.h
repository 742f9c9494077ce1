#pragma once

#include "device/protocol/macaddress.h"

#include <QHostAddress>

#include <atomic>

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

} // namespace LoopbackOnly
