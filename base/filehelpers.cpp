#include "base/filehelpers.h"

#include "base/translatorloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>

bool makePath(const QString &path)
{
    if (path.isEmpty() || QDir::isRelativePath(path))
        return false;
    return QDir().mkpath(path);
}

bool dirHasEntries(const QString &nameFilter, const QString &directoryPath)
{
    const QDir dir(directoryPath);
    if (!dir.exists())
        return false;
    return !dir.entryList({nameFilter}, QDir::Files | QDir::NoDotAndDotDot).isEmpty();
}

bool removeDirRecursively(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isSymLink() || !info.isDir())
        return QFile::remove(path);
    QDir dir(path);
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name | QDir::DirsFirst);
    for (const QFileInfo &entry : entries) {
        // A link to a folder is removed as a link: its target belongs to someone else.
        const bool ok = (entry.isDir() && !entry.isSymLink()) ? removeDirRecursively(entry.absoluteFilePath())
                                                              : QFile::remove(entry.absoluteFilePath());
        if (!ok)
            return false;
    }
    // Only the folder itself: emptied parents stay (they belong to the user).
    return QDir().rmdir(info.absoluteFilePath());
}

qint64 freeDiskSpace(const QString &path)
{
    if (path.isEmpty())
        return -1;
    QFileInfo info(path);
    QString existing = info.absoluteFilePath();
    // Walk up to the nearest folder that exists: the copy will create the rest on the same volume.
    for (int guard = 0; guard < 4096 && !QFileInfo::exists(existing); ++guard) {
        const QString parent = QFileInfo(existing).absolutePath();
        if (parent == existing)
            return -1;
        existing = parent;
    }
    const QStorageInfo storage(existing);
    if (!storage.isValid() || !storage.isReady())
        return -1;
    return storage.bytesAvailable();
}

QString formatSize(qint64 size)
{
    static const char *const units[] = {QT_TRANSLATE_NOOP("FileHelpers", "byte(s)"),
                                        QT_TRANSLATE_NOOP("FileHelpers", "KB"), QT_TRANSLATE_NOOP("FileHelpers", "MB"),
                                        QT_TRANSLATE_NOOP("FileHelpers", "GB"), QT_TRANSLATE_NOOP("FileHelpers", "TB")};
    double value = double(size);
    int unit = 0;
    while (value >= 1024.0 && unit < 4) {
        value *= 1.0 / 1024.0;
        ++unit;
    }
    QLocale locale = languageLocale();
    // "1023.0", not "1,023.0": the sizes stay as short as the receiver's own.
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return QStringLiteral("%1 %2").arg(locale.toString(value, 'f', size > 0 ? 1 : 0),
                                       QCoreApplication::translate("FileHelpers", units[unit]));
}

QString sanitizeFileName(const QString &name)
{
    static const QRegularExpression forbidden(QStringLiteral("[\\\\/:*?\"<>|]"));
    QString result = name;
    return result.replace(forbidden, QStringLiteral("_"));
}

QString safeReceiverName(const QString &rawName)
{
    QString cleaned;
    cleaned.reserve(rawName.size());
    for (const QChar c : rawName) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u <= 0xa0))
            continue;
        cleaned.append(c);
    }
    cleaned = sanitizeFileName(cleaned).trimmed();
    if (cleaned.isEmpty() || cleaned == QLatin1String(".") || cleaned == QLatin1String(".."))
        return QString();
    return cleaned;
}

QString pathInside(const QString &base, const QString &relative, int maxDepth)
{
    if (base.isEmpty())
        return QString();
    const QString root = QDir::cleanPath(QDir(base).absolutePath());
    // On the PC only "/" separates: a colon or a backslash is part of a name ("News 20:15.ts").
    const QStringList parts = relative.split(u'/', Qt::SkipEmptyParts);
    if (parts.size() > maxDepth)
        return QString();
    QStringList kept;
    for (const QString &part : parts) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String(".."))
            return QString();
        kept.append(part);
    }
    const QString joined = kept.isEmpty() ? root : QDir::cleanPath(root + u'/' + kept.join(u'/'));
    const QString prefix = root.endsWith(u'/') ? root : root + u'/';
    if (joined != root && !joined.startsWith(prefix))
        return QString();
    return joined;
}
