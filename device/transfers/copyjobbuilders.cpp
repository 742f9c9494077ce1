#include "device/transfers/copyjobbuilders.h"

#include "device/transfers/receiveraddress.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

namespace {
const int kMaxWalkDepth = 64;

QStringList payloadLines(const QString &payload, bool sorted)
{
    QStringList lines = payload.split(uriListSeparator(), Qt::SkipEmptyParts);
    if (sorted)
        std::sort(lines.begin(), lines.end());
    return lines;
}

qint64 fileSize(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() ? info.size() : 0;
}
} // namespace

QString uriListSeparator()
{
    return QStringLiteral("\r\n");
}

QString localPathFromUriLine(const QString &line)
{
    const QUrl url(line.trimmed(), QUrl::TolerantMode);
    if (!url.isValid() || !url.isLocalFile())
        return QString();
    return url.toLocalFile();
}

QString uriLineFromLocalPath(const QString &path)
{
    return QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded());
}

bool isRecordingsFolder(const QString &receiverPath)
{
    return ReceiverAddress::isRecordingsFolder(receiverPath);
}

CopyJobDocument buildUploadJobFromUriList(const QString &payload, const QString &mimeType)
{
    CopyJobDocument job;
    if (mimeType != QLatin1String("text/uri-list"))
        return job;
    qint64 total = 0;
    QSet<QString> seen;
    for (const QString &line : payloadLines(payload, false)) {
        const QString path = localPathFromUriLine(line);
        if (path.isEmpty())
            continue;
        const QFileInfo info(path);
        const QString folder = info.isFile() ? info.absolutePath() : info.absoluteFilePath();
        const QString base = info.fileName().section(u'.', 0, 0);
        if (base.isEmpty())
            continue;
        const QDir dir(folder);
        const QStringList names = dir.entryList({base + QStringLiteral(".*")}, QDir::Files);
        auto find = [&](const QString &suffix) {
            const QString wanted = base + suffix;
            for (const QString &n : names)
                if (n.compare(wanted, Qt::CaseInsensitive) == 0)
                    return n;
            return QString();
        };
        const QString mks = find(QStringLiteral(".mks"));
        const QString desc = find(QStringLiteral(".desc"));
        const QString ts = find(QStringLiteral(".ts"));
        const QString ts4 = find(QStringLiteral(".ts4"));
        if (mks.isEmpty() || desc.isEmpty() || (ts.isEmpty() && ts4.isEmpty()))
            continue;
        const QString descPath = dir.absoluteFilePath(desc);
        // Several selected files of one set (its ".ts" and ".mks") name the same recording once.
        if (seen.contains(descPath))
            continue;
        seen.insert(descPath);
        total += fileSize(dir.absoluteFilePath(mks)) + fileSize(descPath);
        const qint64 tsSize = ts.isEmpty() ? 0 : fileSize(dir.absoluteFilePath(ts));
        total += tsSize;
        if (tsSize == 0 && !ts4.isEmpty())
            total += fileSize(dir.absoluteFilePath(ts4));
        job.addFile(CopyJobFile::Dir, 0, QStringLiteral("rec://") + descPath, QString(), 0);
    }
    job.setTotalSize(total);
    return job;
}

bool addDirectoryRecursively(const QString &relativePath, const QString &path, CopyJobDocument &document, qint64 &total,
                             const std::function<bool()> &stopRequested, int depth, bool withHidden)
{
    if (stopRequested && stopRequested())
        return false;
    const QFileInfo info(path);
    if (!info.isDir()) {
        const qint64 size = fileSize(path);
        document.addPlainFile(size, info.absoluteFilePath(), relativePath);
        total += size;
        return true;
    }
    if (info.isSymLink() || depth >= kMaxWalkDepth) {
        // A linked folder may loop back on itself: it is copied as an (empty) folder only.
        document.addFile(CopyJobFile::Dir, 0, path, relativePath, 0);
        return true;
    }
    const QDir dir(path);
    // Hidden entries only: pipes, sockets and devices are no files to copy.
    const QDir::Filters hidden = withHidden ? QDir::Filters(QDir::Hidden) : QDir::Filters();
    const QFileInfoList subDirs = dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | hidden, QDir::NoSort);
    for (const QFileInfo &sub : subDirs) {
        if (!addDirectoryRecursively(relativePath + u'/' + sub.fileName(), sub.absoluteFilePath(), document, total,
                                     stopRequested, depth + 1, withHidden))
            return false;
    }
    const QFileInfoList files = dir.entryInfoList(QDir::Files | hidden, QDir::NoSort);
    for (const QFileInfo &file : files) {
        if (!addDirectoryRecursively(relativePath, file.absoluteFilePath(), document, total, stopRequested, depth + 1,
                                     withHidden))
            return false;
    }
    document.addFile(CopyJobFile::Dir, 0, path, relativePath, 0);
    return true;
}

CopyJobDocument buildCopyJobFromUris(const QString &payload, const QString &mimeType,
                                     const std::function<bool()> &stopRequested, bool withHidden)
{
    CopyJobDocument job;
    if (mimeType != QLatin1String("text/uri-list"))
        return job;
    qint64 total = 0;
    for (const QString &line : payloadLines(payload, true)) {
        const QString path = localPathFromUriLine(line);
        if (path.isEmpty())
            continue;
        const QFileInfo info(path);
        const QString start = info.isDir() ? info.fileName() : QString();
        if (!addDirectoryRecursively(start, path, job, total, stopRequested, 0, withHidden))
            break;
    }
    job.setTotalSize(total);
    return job;
}

CopyJobDocument buildFileListFromUris(const QString &payload, const QString &mimeType)
{
    CopyJobDocument job;
    if (mimeType != QLatin1String("text/zbdevice-uri-list"))
        return job;
    for (const QString &line : payloadLines(payload, true)) {
        const ReceiverAddress a = ReceiverAddress::parse(line);
        // A name no PC takes (".", "..", one the page marked as cleaned): asked for by its path it would name
        // another entry ("." its own folder) or none, so it is left out.
        if (a.scheme() != ReceiverAddress::Rec && !ReceiverAddress::isPcName(a.path().section(u'\\', -1)))
            continue;
        switch (a.scheme()) {
        case ReceiverAddress::Rec:
            job.addFile(CopyJobFile::Record, a.size(), a.schemeAndPath(), QString(), a.recordId());
            break;
        case ReceiverAddress::File:
            job.addFile(CopyJobFile::PlainFile, a.size(), a.schemeAndPath(), QString(), 0);
            break;
        case ReceiverAddress::Dir:
            job.addFile(CopyJobFile::Dir, 0, a.schemeAndPath(), QString(), 0);
            break;
        default:
            break; // lines without their "*" fields come from elsewhere: skipped
        }
    }
    return job;
}
