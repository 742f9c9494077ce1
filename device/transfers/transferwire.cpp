#include "device/transfers/transferwire.h"

#include <QRegularExpression>
#include <QtEndian>

QByteArray TransferWire::uint16(quint16 v)
{
    QByteArray b(2, Qt::Uninitialized);
    qToBigEndian(v, b.data());
    return b;
}

QByteArray TransferWire::uint32(quint32 v)
{
    QByteArray b(4, Qt::Uninitialized);
    qToBigEndian(v, b.data());
    return b;
}

QByteArray TransferWire::uint64(quint64 v)
{
    QByteArray b(8, Qt::Uninitialized);
    qToBigEndian(v, b.data());
    return b;
}

quint64 TransferWire::readBE(const QByteArray &bytes, int offset, int width)
{
    quint64 v = 0;
    for (int i = 0; i < width && offset + i < bytes.size(); ++i)
        v = (v << 8) | quint8(bytes.at(offset + i));
    return v;
}

QByteArray TransferWire::transferHeader(quint8 command, quint16 levels)
{
    return pathHeader(command, levels) + uint64(0);
}

QByteArray TransferWire::pathHeader(quint8 command, quint16 levels)
{
    return QByteArray(1, char(command)) + uint16(levels);
}

QByteArray TransferWire::packet(quint8 marker, const QByteArray &data)
{
    QByteArray p(PacketSize, '\0');
    p[0] = char(marker);
    memcpy(p.data() + 1, data.constData(), size_t(qMin<qsizetype>(data.size(), PacketDataSize)));
    return p;
}

TransferWire::Parse TransferWire::parseDownloadReply(const QByteArray &bytes, DownloadReply *reply)
{
    if (bytes.size() < 13)
        return Incomplete;
    reply->status = quint8(bytes.at(0));
    reply->total = readBE(bytes, 1, 8);
    reply->blockSize = quint32(readBE(bytes, 9, 4));
    if (reply->status != StatusOk)
        return Bad;
    if (reply->total > (quint64(1) << 62) || reply->blockSize == 0 || reply->blockSize > MaxBlockSize)
        return Bad;
    return Done;
}

bool TransferWire::isSafeSuffix(const QString &suffix)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9_-]{1,16}$"));
    return re.match(suffix).hasMatch();
}

TransferWire::Parse TransferWire::parseRecordingReply(const QByteArray &bytes, RecordingReply *reply)
{
    if (bytes.isEmpty())
        return Incomplete;
    reply->status = quint8(bytes.at(0));
    if (bytes.size() == 1)
        return Bad;
    if (bytes.size() < 10)
        return Incomplete;
    reply->total = qint64(readBE(bytes, 1, 8));
    reply->count = qint8(bytes.at(9));
    reply->suffixes.clear();
    if (reply->total < 0)
        return Bad;
    int at = 10;
    for (int i = 0; i < reply->count; ++i) {
        if (bytes.size() < at + 2)
            return Incomplete;
        const qint8 key = qint8(bytes.at(at));
        const int length = quint8(bytes.at(at + 1));
        if (bytes.size() < at + 2 + length)
            return Incomplete;
        QByteArray raw = bytes.mid(at + 2, length);
        const int nul = int(raw.indexOf('\0'));
        if (nul >= 0)
            raw.truncate(nul);
        const QString suffix = QString::fromUtf8(raw);
        if (!isSafeSuffix(suffix))
            return Bad;
        reply->suffixes.insert(key, suffix);
        at += 2 + length;
    }
    reply->consumed = at;
    return Done;
}

TransferWire::Parse TransferWire::parseUploadRequest(const QByteArray &bytes, UploadRequest *request)
{
    if (bytes.size() < 6)
        return Incomplete;
    request->kind = quint8(bytes.at(0));
    request->file = quint8(bytes.at(1));
    request->count = quint32(readBE(bytes, 2, 4));
    return Done;
}
