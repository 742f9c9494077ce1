#include "listfiles/projectfileformat.h"

#include <QFileInfo>
#include <QtEndian>

bool ProjectFileFormat::isExportName(const QString &path, const QString &exportExtension)
{
    return !exportExtension.isEmpty() && QFileInfo(path).suffix().compare(exportExtension, Qt::CaseInsensitive) == 0;
}

QByteArray ProjectFileFormat::encode(const QString &text, bool compressed)
{
    const QByteArray utf8 = text.toUtf8();
    return compressed ? qCompress(utf8, 9) : utf8;
}

bool ProjectFileFormat::hasCompressedHeader(const QByteArray &bytes)
{
    if (bytes.size() < 6)
        return false;
    const quint32 length = qFromBigEndian<quint32>(bytes.constData());
    if (length == 0 || length > maxTextBytes)
        return false;
    const auto cmf = static_cast<uchar>(bytes.at(4));
    const auto flg = static_cast<uchar>(bytes.at(5));
    // zlib: deflate method, window size up to 32 KiB, header check bits
    return (cmf & 0x0F) == 8 && (cmf >> 4) <= 7 && ((cmf << 8) | flg) % 31 == 0;
}

QByteArray ProjectFileFormat::decompress(const QByteArray &bytes)
{
    if (!hasCompressedHeader(bytes))
        return {};
    const quint32 length = qFromBigEndian<quint32>(bytes.constData());
    QByteArray plain = qUncompress(bytes);
    if (plain.size() != qsizetype(length))
        return {};
    return plain;
}

QString ProjectFileFormat::decode(const QByteArray &bytes, bool exportName)
{
    const QByteArray data = (!exportName || hasCompressedHeader(bytes)) ? decompress(bytes) : bytes;
    qsizetype end = data.indexOf('\0');
    if (end < 0)
        end = data.size();
    qsizetype begin = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        begin = 3;
    if (end <= begin)
        return {};
    return QString::fromUtf8(data.constData() + begin, end - begin);
}
