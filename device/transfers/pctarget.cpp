#include "device/transfers/pctarget.h"

#include "base/filehelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

QString PcTarget::inside(const QString &base, const QString &relative)
{
    const QString path = pathInside(base, relative);
    if (path.isEmpty())
        return QString();
    const QString root = QDir::cleanPath(QDir(base).absolutePath());
    QString walked = root;
    const QStringList parts = path.mid(root.size()).split(u'/', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        walked += u'/' + part;
        if (QFileInfo(walked).isSymLink())
            return QString();
    }
    return path;
}

bool PcTarget::isPlain(const QString &path)
{
    const QStringList parts = QDir::fromNativeSeparators(path).split(u'/');
    for (const QString &part : parts)
        if (part == QLatin1String("..") || part == QLatin1String("."))
            return false;
    return true;
}
