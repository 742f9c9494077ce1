#include "device/transfers/listchunkparser.h"

#include <QtEndian>

ListChunkParser::Chunk ListChunkParser::parse(const QByteArray &buffer)
{
    Chunk c;
    if (buffer.size() < 4)
        return c;
    QByteArray tag = buffer.left(4);
    const int nul = int(tag.indexOf('\0'));
    if (nul >= 0)
        tag.truncate(nul);
    if (tag == "END") {
        c.kind = End;
        c.consumed = 4;
        return c;
    }
    if (tag != "DATA") {
        c.kind = Other;
        c.consumed = 4;
        return c;
    }
    if (buffer.size() < 12)
        return c;
    const quint32 length = qFromLittleEndian<quint32>(buffer.constData() + 4);
    if (length > MaxChunk) {
        c.kind = Bad;
        return c;
    }
    if (buffer.size() < 12 + qint64(length))
        return c;
    c.kind = Data;
    c.percent = qFromLittleEndian<quint32>(buffer.constData() + 8);
    c.bytes = buffer.mid(12, length);
    c.consumed = 12 + int(length);
    return c;
}

QByteArray ListChunkParser::dataChunk(const QByteArray &bytes, quint32 percent)
{
    QByteArray out("DATA");
    char n[4];
    qToLittleEndian(quint32(bytes.size()), n);
    out.append(n, 4);
    qToLittleEndian(percent, n);
    out.append(n, 4);
    return out + bytes;
}
