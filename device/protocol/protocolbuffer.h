#pragma once

#include <QByteArray>
#include <QString>

// A reply held in memory and consumed from the front.
class ProtocolBuffer
{
public:
    ProtocolBuffer() = default;
    explicit ProtocolBuffer(const QByteArray &bytes)
        : m_bytes(bytes)
    {}

    char at(int i) const;
    int size() const { return int(m_bytes.size()); }
    bool isEmpty() const { return m_bytes.isEmpty(); }
    QByteArray bytes() const { return m_bytes; }
    QByteArray take(int n);
    // The first n (1..8) bytes as a big-endian number. Fewer bytes than asked is a truncated reply:
    // DVB24CommunicationException with code -1, and nothing is consumed. n <= 0 gives 0.
    quint64 readBigEndian(qint8 n);
    quint8 readUInt8() { return quint8(readBigEndian(1)); }
    quint16 readUInt16() { return quint16(readBigEndian(2)); }
    // len bytes (-1: up to the last NUL byte), as Latin-1 for a marker 1..32 or '_' (which also drops
    // the first character), as UTF-8 otherwise; decoding stops at the first NUL byte.
    QString readString(int len, quint8 marker);
    void clear() { m_bytes.clear(); }
    void append(const QByteArray &data) { m_bytes.append(data); }
    void assign(const QByteArray &data)
    {
        clear();
        append(data);
    }

private:
    QByteArray m_bytes;
};
