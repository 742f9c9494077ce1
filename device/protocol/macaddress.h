#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>

#include <functional>

// Hardware (MAC) addresses of hosts on the local network.

// The MAC address of a host: for one of this PC's own addresses (127.0.0.0/8 included) that
// interface's hardware address (six zero bytes for loopback); for another host the kernel's
// neighbour-table entry, after prompting resolution, within a bounded time. Empty when not found.
QByteArray macAddressFor(const QHostAddress &address);

// "00-1A-2B-3C-4D-5E": two upper-case hex digits per byte joined by "-"; empty for an empty array.
QString macToString(const QByteArray &mac);

// True for six bytes that start with one of the receiver makers' adapter prefixes.
bool isVendorMac(const QByteArray &mac);

using MacAddressLookup = std::function<QByteArray(const QHostAddress &)>;
// Replaces the lookup behind macAddressFor (tests); an empty function restores the platform one.
void setMacAddressLookup(const MacAddressLookup &lookup);

// The platform lookup, with its neighbour table file, its resolution prompt and its time limit
// given, so that it can be tried without touching the network.
QByteArray platformMacAddressFor(const QHostAddress &address, const QString &neighbourTable,
                                 const std::function<void(const QHostAddress &)> &prompt, int timeoutMs);

// The hardware address of a complete entry for address in the text of /proc/net/arp; empty if none.
QByteArray macFromNeighbourTable(const QByteArray &table, const QHostAddress &address);
