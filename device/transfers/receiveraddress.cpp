#include "device/transfers/receiveraddress.h"

#include <QRegularExpression>

namespace {
const QString kDir = QStringLiteral("dir://");
const QString kFile = QStringLiteral("file://");
const QString kRec = QStringLiteral("rec://");

bool readSize(const QString &text, qint64 *value)
{
    bool ok = false;
    const qint64 v = text.toLongLong(&ok, 10);
    if (!ok || v < 0)
        return false;
    *value = v;
    return true;
}
} // namespace

ReceiverAddress ReceiverAddress::parse(const QString &line)
{
    ReceiverAddress a;
    Scheme scheme = Invalid;
    int schemeLength = 0;
    if (line.startsWith(kDir)) {
        scheme = Dir;
        schemeLength = int(kDir.size());
    } else if (line.startsWith(kFile)) {
        scheme = File;
        schemeLength = int(kFile.size());
    } else if (line.startsWith(kRec)) {
        scheme = Rec;
        schemeLength = int(kRec.size());
    } else {
        return a;
    }
    QString rest = line.mid(schemeLength);
    int recordId = 0;
    if (scheme == Rec) {
        const int idStar = int(rest.lastIndexOf(u'*'));
        if (idStar < 0)
            return a;
        bool ok = false;
        const int id = rest.mid(idStar + 1).toInt(&ok, 10);
        if (!ok || id < -32768 || id > 65535)
            return a;
        recordId = id;
        rest.truncate(idStar);
    }
    const int sizeStar = int(rest.lastIndexOf(u'*'));
    if (sizeStar < 0 || !readSize(rest.mid(sizeStar + 1), &a.m_size))
        return a;
    a.m_path = rest.left(sizeStar);
    a.m_recordId = recordId;
    a.m_scheme = scheme;
    return a;
}

QString ReceiverAddress::dirLine(const QString &path)
{
    return kDir + path + QStringLiteral("*0");
}

QString ReceiverAddress::fileLine(const QString &path, qint64 size)
{
    return kFile + path + u'*' + QString::number(size);
}

QString ReceiverAddress::recLine(const QString &name, qint64 size, int recordId)
{
    return kRec + name + u'*' + QString::number(size) + u'*' + QString::number(qint16(recordId));
}

QString ReceiverAddress::schemeAndPath() const
{
    switch (m_scheme) {
    case Dir:
        return kDir + m_path;
    case File:
        return kFile + m_path;
    case Rec:
        return kRec + m_path;
    default:
        return QString();
    }
}

QStringList ReceiverAddress::splitPath(const QString &path, QChar separator)
{
    return path.split(separator, Qt::SkipEmptyParts);
}

bool ReceiverAddress::isRecordingsFolder(const QString &path)
{
    static const QRegularExpression re(QStringLiteral("^/(usb|hda|sata)\\d+\\\\recordings$"));
    return re.match(path).hasMatch();
}

QString ReceiverAddress::separator()
{
    return QStringLiteral("\r\n");
}

bool ReceiverAddress::isPcName(const QString &name)
{
    // a volume's label starts with "/": only one after the start marks a name
    if (name == QLatin1String(".") || name == QLatin1String("..") || name.indexOf(u'/', 1) > 0)
        return false;
    for (const QChar c : name)
        if (c.unicode() <= 0x1f || (c.unicode() >= 0x7f && c.unicode() <= 0xa0))
            return false;
    return true;
}
