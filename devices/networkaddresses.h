#pragma once

#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>

// Address helpers of the network search, the add-device wizard and the properties page. Pure
// functions; any thread.

using SubnetEntry = QPair<QHostAddress, QHostAddress>; // (interface address, netmask)

// 2^z - 2 for a netmask with z trailing zero bits; 0 for 0.0.0.0, /31 and /32.
quint32 hostCountForNetmask(const QHostAddress &netmask);
QHostAddress firstHostOfSubnet(const QHostAddress &ip, const QHostAddress &netmask);
QHostAddress lastHostOfSubnet(const QHostAddress &ip, const QHostAddress &netmask);
bool isSameSubnetListed(const QList<SubnetEntry> &list, const SubnetEntry &entry);
// 10/8, 192.168/16, 169.254/16 and 172.16/12.
bool isPrivateAddress(const QHostAddress &address);
// Some interface is up, not loopback and has an address.
bool isNetworkAvailable();

// "192.168.001.010": the text of the masked address fields.
QString paddedIpText(const QHostAddress &address);
// A strict dotted IPv4 text (padding allowed) that is not 0.0.0.0 and does not end in ".0".
bool isValidHostText(const QString &text);

// The largest range a search takes; wider subnets are narrowed to the PC's own /16.
constexpr quint32 maxSearchHosts = 65536;

// Hosts of the listed subnets, ascending per subnet, without .0, .255 and the PC's own addresses.
QList<quint32> subnetHosts(const QList<SubnetEntry> &subnets);
// Hosts of the range first..last (no wrap), without .0, .255 and the own addresses.
QList<quint32> rangeHosts(quint32 first, quint32 last, const QList<quint32> &ownAddresses);
// Both ends valid host texts, first <= last and at most maxSearchHosts addresses.
bool isValidRange(const QString &firstText, const QString &lastText);
