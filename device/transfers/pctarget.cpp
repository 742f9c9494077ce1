#include "device/transfers/pctarget.h"

#include "base/filehelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringList>

namespace {
QMutex removeLock;
PcTarget::RemoveEntry removeStandIn;
} // namespace

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

void PcTarget::setRemoveEntry(RemoveEntry remove)
{
    QMutexLocker locker(&removeLock);
    removeStandIn = std::move(remove);
}

bool PcTarget::removeEntry(const QString &path)
{
    RemoveEntry standIn;
    {
        QMutexLocker locker(&removeLock);
        standIn = removeStandIn;
    }
    if (standIn)
        return standIn(path);
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return QDir().rmdir(path);
    return QFile::remove(path);
}
