#include "device/offline/offlinemill.h"

#include "base/filehelpers.h"
#include "device/core/devicecall.h"
#include "device/core/millcancelexception.h"
#include "device/transfers/copyjobbuilders.h"
#include "device/transfers/pctarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
// True when path is base itself or lies below it (both made canonical where they exist).
bool isSameOrInside(const QString &path, const QString &base)
{
    auto canonical = [](const QString &p) {
        const QFileInfo info(p);
        const QString c = info.canonicalFilePath();
        if (!c.isEmpty())
            return c;
        // Not there yet: resolve its nearest existing folder and keep the rest.
        const QString parent = info.absolutePath();
        const QString cp = QFileInfo(parent).canonicalFilePath();
        return QDir::cleanPath((cp.isEmpty() ? parent : cp) + u'/' + info.fileName());
    };
    const QString p = canonical(path);
    const QString b = canonical(base);
    return p == b || p.startsWith(b.endsWith(u'/') ? b : b + u'/');
}
} // namespace

OfflineMill::OfflineMill(QObject *owner)
    : Mill(owner)
{
    // The base loop only glances at its queue; the waiting is done in idle(), which wake() ends.
    setPoll(1);
}

OfflineMill::~OfflineMill()
{
    // set until the run has ended: one just beginning clears them
    do {
        setStopFlag(true);
        setInterruptFlag(true);
        wake();
    } while (!wait(100));
}

void OfflineMill::idle()
{
    if (m_wake.tryAcquire(1, 1000))
        while (m_wake.tryAcquire())
            ;
}

void OfflineMill::requestStop()
{
    setInterruptFlag(true);
    setStopFlag(true);
    wake();
}

void OfflineMill::stop()
{
    // Woken, or an idle worker would sit out its whole wait before it sees the flag.
    requestStop();
    Mill::stop();
}

void OfflineMill::execute(DeviceTask *)
{
    const DeviceCall call = DeviceCall::fromText(currentRequest());
    const QString method = call.methodName();
    if (method == QLatin1String("MEMCopyPcToPc"))
        copyPcToPc(call);
    else if (method == QLatin1String("MEMdeletePcFiles"))
        deletePcFiles(call);
    else if (method == QLatin1String("MEMprepareToCopyPcToPc"))
        prepareToCopyPcToPc(call);
}

void OfflineMill::copyPcToPc(const DeviceCall &call)
{
    const QString source = call.parameter(QStringLiteral("sourceFile"));
    const QString destination = call.parameter(QStringLiteral("destinationFile"));
    const bool move = call.parameter(QStringLiteral("deleteSource")) == QLatin1String("true");
    // An explicit "false" keeps an existing destination; the entry counts as done.
    if (call.parameter(QStringLiteral("overwrite")) == QLatin1String("false") && QFileInfo::exists(destination) &&
        !QFileInfo(destination).isDir()) {
        emit Progress64(QFileInfo(source).size());
        emit Complete(true);
        return;
    }
    if (call.parameter(QStringLiteral("fileType")).toInt() == 2)
        copyFolder(source, destination, move);
    else
        copyFile(source, destination, move);
}

void OfflineMill::copyFolder(const QString &source, const QString &destination, bool move)
{
    if (!source.isEmpty() && isSameOrInside(destination, source)) {
        emit Error(tr("Cannot copy %1 into itself.").arg(QFileInfo(source).fileName()));
        return;
    }
    makePath(QFileInfo(destination).absoluteFilePath());
    // The folder's entries, hidden ones included, were moved as their own entries; what is left (files that
    // failed, named with their entries) stays, so only an emptied folder goes, and one that would not go is
    // named. A linked folder was not walked: it stays, and is named.
    const QFileInfo folder(source);
    const bool emptied = QDir(source).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (move && QFileInfo(destination).isDir() && folder.isDir() &&
        (folder.isSymLink() || (emptied && !PcTarget::removeEntry(source))))
        reportKept(source);
    emit Complete(true);
}

void OfflineMill::copyFile(const QString &source, const QString &destination, bool move)
{
    const QFileInfo target(destination);
    const QString folder = target.absolutePath();
    if (!makePath(folder)) {
        emit Error(tr("Cannot create directory %1.").arg(QFileInfo(folder).fileName()));
        return;
    }
    if (QFileInfo::exists(source) && isSameOrInside(destination, source)) {
        emit Error(tr("Cannot copy %1 onto itself.").arg(source));
        return;
    }
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly)) {
        emit Error(tr("Cannot open file %1.").arg(source));
        return;
    }
    // Written beside the destination and renamed over it only when complete.
    QSaveFile out(destination);
    if (target.isDir() || !out.open(QIODevice::WriteOnly)) {
        emit Error(tr("Cannot open file %1.").arg(destination));
        return;
    }
    QByteArray buffer(BlockSize, Qt::Uninitialized);
    qint64 copied = 0;
    const qint64 expected = in.size();
    for (;;) {
        if (isInterruptRequested()) {
            out.cancelWriting();
            wantCancelException(true);
        }
        const qint64 n = in.read(buffer.data(), BlockSize);
        if (n < 0) {
            out.cancelWriting();
            emit Error(tr("Cannot read file %1.").arg(source));
            return;
        }
        if (n > 0 && out.write(buffer.constData(), n) != n) {
            out.cancelWriting();
            emit Error(tr("Error while writing to file %1.").arg(target.fileName()));
            return;
        }
        copied += n;
        emit Progress64(n);
        if (n == 0)
            break;
    }
    if (copied != expected) {
        // The source changed size under the copy: what was written is not the file.
        out.cancelWriting();
        emit Error(tr("Cannot read file %1.").arg(source));
        return;
    }
    // commit() alone does not notice when the last buffered bytes could not be written.
    if (!out.flush() || !out.commit()) {
        emit Error(tr("Error while writing to file %1.").arg(target.fileName()));
        return;
    }
    in.close();
    // A source that stays is named to the page: the entry was copied, but not moved.
    if (move && !PcTarget::removeEntry(source))
        reportKept(source);
    emit Complete(true);
}

void OfflineMill::deletePcFiles(const DeviceCall &call)
{
    emit Start();
    QString failed;
    CopyJobDocument job;
    job.setContent(call.parameter(QStringLiteral("fileList")));
    while (job.hasFiles()) {
        if (isStopRequested()) {
            storeResult(failed);
            wantCancelException(true);
        }
        const CopyJobFile entry = job.takeFirstFile();
        bool ok = true;
        const QFileInfo info(entry.absolutePath());
        if (entry.isDir()) {
            try {
                ok = (!info.exists() && !info.isSymLink()) || removeTree(entry.absolutePath(), 0);
            } catch (const MillCancelException &) {
                // The rest of the folder stays; the names that failed so far still reach the page.
                storeResult(failed);
                throw;
            }
        } else if (entry.isFile()) {
            // A folder given as a file is not removed as one.
            const bool folder = info.isDir() && !info.isSymLink();
            ok = (!folder && PcTarget::removeEntry(entry.absolutePath())) || (!info.exists() && !info.isSymLink());
        } else {
            continue;
        }
        if (!ok)
            failed += entry.fileName() + QStringLiteral("\r\n");
    }
    storeResult(failed);
    emit Complete(true);
}

bool OfflineMill::removeTree(const QString &path, int depth)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isDir())
        return PcTarget::removeEntry(path);
    bool ok = true;
    // Deeper than any real tree: a loop of bind mounts or the like; it is left alone.
    if (depth > 256)
        return false;
    const QFileInfoList entries =
        QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        // A large folder is not finished before a stop is heard: the check is per entry.
        if (isStopRequested() || isInterruptRequested())
            wantCancelException(true);
        ok = removeTree(entry.absoluteFilePath(), depth + 1) && ok;
    }
    if (isStopRequested() || isInterruptRequested())
        wantCancelException(true);
    // Only the folder itself: emptied parents stay (they belong to the user).
    return ok && PcTarget::removeEntry(path);
}

void OfflineMill::reportKept(const QString &source)
{
    CopyJobDocument kept;
    kept.addPlainFile(0, source, QString());
    storeResult(kept.toString());
}

void OfflineMill::prepareToCopyPcToPc(const DeviceCall &call)
{
    emit Start();
    const QString destination = call.parameter(QStringLiteral("destinationDir"));
    const QStringList lines = call.parameter(QStringLiteral("fileUris")).split(uriListSeparator(), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QString path = localPathFromUriLine(line);
        if (QFileInfo(path).isDir() && isSameOrInside(destination, path)) {
            emit Error(tr("Cannot copy %1 into itself.").arg(QFileInfo(path).fileName()));
            return;
        }
    }
    // Hidden entries too: a moved folder goes only once it is empty, and copies hold what their source held.
    CopyJobDocument job = buildCopyJobFromUris(
        call.parameter(QStringLiteral("fileUris")), QStringLiteral("text/uri-list"),
        [this] { return isStopRequested() || isInterruptRequested(); }, true);
    if (isStopRequested() || isInterruptRequested())
        wantCancelException(true);
    const qint64 free = freeDiskSpace(destination);
    // Unknown free space (-1) is no reason to refuse: the copy itself will say when the disk is full.
    if (free >= 0 && free < job.totalSize()) {
        emit Error(tr("There is not enough free space."));
        return;
    }
    job.setCopyDirection(CopyJobDocument::PcToPc);
    job.setDestinationPath(destination);
    storeResult(job.toString());
    emit Complete(true);
}
