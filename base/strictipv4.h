#pragma once

#include <QHostAddress>
#include <QString>

// The one parser for dotted IPv4 text typed by a user, padded by the program or read from a file.
// Qt 6 reads zero-padded octets ("010") as octal; here every group is 1-3 decimal digits, 0-255.
namespace StrictIPv4 {

// True when text is exactly four such groups; the address goes to *address when it is given.
bool parse(const QString &text, quint32 *address = nullptr);

// The address for valid text, a null QHostAddress otherwise.
QHostAddress toHostAddress(const QString &text);

// The canonical text ("192.168.1.10") for valid text, an empty string otherwise.
QString normalized(const QString &text);

} // namespace StrictIPv4
