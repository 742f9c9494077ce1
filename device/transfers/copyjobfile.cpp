#include "device/transfers/copyjobfile.h"

int CopyJobFile::type() const
{
    return attribute(QStringLiteral("type")).toInt();
}

int CopyJobFile::id() const
{
    return attribute(QStringLiteral("id")).toInt();
}

qint64 CopyJobFile::size() const
{
    return attribute(QStringLiteral("size")).toLongLong();
}

QString CopyJobFile::fileName() const
{
    const QString path = absolutePath();
    const int cut = int(qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')));
    return path.mid(cut + 1);
}
