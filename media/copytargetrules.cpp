#include "media/copytargetrules.h"

#include "base/filehelpers.h"
#include "device/transfers/copyjobdocument.h"
#include "device/transfers/copyjobfile.h"
#include "device/transfers/devicefilesystemitem.h"

#include <QFileInfo>

namespace {
bool fromReceiver(int direction)
{
    return direction == CopyJobDocument::DeviceToPc;
}

// A receiver-side path ("HDD\Movies") with plain components only; empty when a part is "." or "..".
QString receiverFolder(QString path)
{
    path.replace(u'\\', u'/');
    QStringList parts;
    for (const QString &part : path.split(u'/', Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return QString();
        parts << part;
    }
    return (path.startsWith(u'/') ? QStringLiteral("/") : QString()) + parts.join(u'/');
}

// A receiver name made a PC name; empty when none can be made, or when the cleaning alone would make it a
// hidden name (" .x" trimmed) that the PC pane does not show.
QString pcName(const QString &receiverName)
{
    const QString safe = safeReceiverName(receiverName);
    return safe != receiverName && safe.startsWith(u'.') ? QString() : safe;
}
} // namespace

QString CopyTargetRules::entryName(int direction, const CopyJobFile &entry)
{
    const QString source = entry.absolutePath();
    if (fromReceiver(direction))
        return pcName(source.section(u'\\', -1).section(u'/', -1));
    return source.section(u'/', -1);
}

QString CopyTargetRules::destinationFor(int direction, const QString &destinationPath, const CopyJobFile &entry)
{
    const bool folder = entry.isDir();
    QString name;
    if (!folder) {
        name = entryName(direction, entry);
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
            return QString();
    }
    QString relative = entry.relativePath();
    if (fromReceiver(direction)) {
        QStringList parts;
        for (const QString &part : relative.split(u'\\', Qt::SkipEmptyParts)) {
            const QString safe = pcName(part);
            if (safe.isEmpty())
                return QString();
            parts << safe;
        }
        relative = parts.join(u'/');
    }
    const QString tail = relative.isEmpty() ? name : (name.isEmpty() ? relative : relative + u'/' + name);
    if (direction == CopyJobDocument::PcToDevice) {
        // "\" is the receiver's separator: a PC name holding one would arrive split into folders.
        if (name.contains(u'\\') || relative.contains(u'\\'))
            return QString();
        const QString base = receiverFolder(destinationPath);
        const QString below = receiverFolder(tail);
        if (base.isEmpty() || (below.isEmpty() && !tail.isEmpty()))
            return QString();
        QString target = below.isEmpty() ? base : base + u'/' + below;
        target.replace(QStringLiteral("//"), QStringLiteral("/"));
        return folder ? target + u'/' : target;
    }
    const QString target =
        tail.isEmpty() ? pathInside(destinationPath, QStringLiteral(".")) : pathInside(destinationPath, tail);
    if (target.isEmpty())
        return QString();
    // The receiver worker puts a folder's own name below its destination itself.
    return folder && !fromReceiver(direction) ? target + u'/' : target;
}

CopyTargetRules::Question CopyTargetRules::question(int direction, const CopyJobFile &entry, const QString &destination,
                                                    const QList<DeviceFileSystemItem *> *receiverListing)
{
    const Question kind = entry.isRecord() ? RecordQuestion : FileQuestion;
    if (direction == CopyJobDocument::PcToDevice) {
        if (!receiverListing || !entry.relativePath().isEmpty())
            return NoQuestion;
        const QString name = entryName(direction, entry);
        for (const DeviceFileSystemItem *item : *receiverListing)
            if (item->displayName() == name)
                return kind;
        return NoQuestion;
    }
    if (entry.isDir())
        return NoQuestion;
    const QFileInfo info(destination);
    if (info.exists() && !info.isDir())
        return kind;
    if (entry.isRecord() && info.isDir())
        return RecordQuestion;
    return NoQuestion;
}
