#include "device/transfers/transfermethods.h"

#include "base/filehelpers.h"
#include "device/core/devicecall.h"
#include "device/protocol/dvb24communicationexceptionmessages.h"
#include "device/transfers/copyjobbuilders.h"
#include "device/transfers/devicefilesystemitem.h"
#include "device/transfers/filetransfer.h"
#include "device/transfers/listtransfer.h"
#include "device/transfers/pctarget.h"
#include "device/transfers/receiveraddress.h"
#include "device/transfers/receiverfoldercommands.h"
#include "device/transfers/recordingtransfer.h"
#include "device/transfers/transferlink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

std::atomic_int listUploadRestartDelayMs{30000};
std::atomic_int transferInactivityMs{30000};

namespace {
using Mill_ = DVB24CommunicationProtocolMill;

bool flag(const DeviceCall &call, const char *name)
{
    return call.parameter(QLatin1String(name)) == QLatin1String("true");
}

QString text(const char *source)
{
    return QCoreApplication::translate("DVB24CommunicationProtocolMill", source);
}

// The link over the worker's socket, reporting through the worker's signals; *failed (when given)
// is set once an error went out, so the request cannot complete as a success.
std::unique_ptr<TransferLink> linkFor(Mill_ &mill, bool *failed = nullptr)
{
    auto link = std::make_unique<TransferLink>(mill.primitives().socket(), &mill);
    link->setInactivityLimit(transferInactivityMs.load());
    link->progress64 = [&mill](qint64 n) { emit mill.Progress64(n); };
    link->progress = [&mill](int done, int total) { emit mill.Progress(done, total); };
    link->status = [&mill](const QString &text) { emit mill.Status(text); };
    link->error = [&mill, failed](const QString &text) {
        if (failed)
            *failed = true;
        emit mill.Error(text);
    };
    link->codeText = [](int code) { return DVB24CommunicationExceptionMessages::message(code); };
    return link;
}

void canceled(Mill_ &mill)
{
    emit mill.Cancel();
    emit mill.Canceled();
}

void listTransfer(Mill_ &mill, DeviceTask *, const DeviceCall &call)
{
    auto link = linkFor(mill);
    // A receiver may take a while to prepare its lists; a silent one is given up after a minute.
    link->setInactivityLimit(60000);
    ListTransfer transfer(*link);
    const QString listType = call.parameter(QStringLiteral("listType"));
    ListTransfer::Outcome outcome;
    if (call.parameter(QStringLiteral("mode")) == QLatin1String("download")) {
        QString result;
        outcome = transfer.download(listType, &result);
        if (outcome == ListTransfer::Completed) {
            mill.storeResult(result);
            emit mill.Complete(true);
        }
    } else {
        outcome = transfer.upload(listType, mill.currentPayload());
        if (outcome == ListTransfer::Completed) {
            emit mill.Complete(true);
            // The receiver restarts after taking a list: connect again once, later, when the thread has
            // ended, but not when the user disconnected meanwhile.
            Mill_ *worker = &mill;
            QObject::connect(
                worker, &QThread::finished, worker,
                [worker] {
                    QTimer::singleShot(listUploadRestartDelayMs.load(), worker, [worker] {
                        if (!worker->isClosing() && !worker->isRunning())
                            worker->start();
                    });
                },
                Qt::SingleShotConnection);
        }
    }
    if (outcome == ListTransfer::Canceled)
        canceled(mill);
}

void getFolder(Mill_ &mill, DeviceTask *, const DeviceCall &call)
{
    auto link = linkFor(mill);
    ReceiverFolderCommands commands(*link);
    bool listed = false;
    QList<DeviceFileSystemItem *> *listing = commands.getFolder(call.parameter("@path"), &listed);
    const bool anything = listing && !listing->isEmpty();
    // From here the listing is the task's, or already freed when the task has gone.
    mill.storeListing(listing);
    // An empty folder completes with false and no text; a failed listing says why.
    if (!listed)
        emit mill.Error(commands.failureText());
    emit mill.Complete(anything);
}

void createFolder(Mill_ &mill, DeviceTask *, const DeviceCall &call)
{
    auto link = linkFor(mill);
    const QString path =
        call.parameter(QStringLiteral("destinationPath")) + u'\\' + call.parameter(QStringLiteral("folderName"));
    ReceiverFolderCommands commands(*link);
    const bool made = commands.createFolder(path);
    // Given up after a cancel the receiver did not answer: the user hears why the connection goes.
    if (commands.lostAfterCancel())
        emit mill.Error(commands.failureText());
    emit mill.Complete(made);
}

void deleteFiles(Mill_ &mill, DeviceTask *, const DeviceCall &call)
{
    emit mill.Start();
    auto link = linkFor(mill);
    ReceiverFolderCommands commands(*link);
    CopyJobDocument job;
    job.setContent(call.parameter(QStringLiteral("fileList")));
    bool nothingDeleted = true;
    QString failed;
    while (job.hasFiles()) {
        // A cancel ends the list between two deletes: the running one was finished, no further one begins. A
        // receiver that did not answer it was given up, and the user hears so.
        if (mill.isInterruptRequested()) {
            mill.storeResult(failed);
            if (commands.lostAfterCancel())
                emit mill.Error(commands.failureText());
            canceled(mill);
            return;
        }
        // A receiver that stopped answering was let go: what is left was not deleted, and the user is told why.
        if (!link->isOpen()) {
            while (job.hasFiles())
                failed += job.takeFirstFile().fileName() + QStringLiteral("\r\n");
            mill.storeResult(failed);
            emit mill.Error(commands.failureText());
            emit mill.Complete(false);
            return;
        }
        const CopyJobFile entry = job.takeFirstFile();
        const QString path = entry.absolutePath();
        bool ok = false;
        if (path.startsWith(QLatin1String("rec://")))
            ok = commands.deleteRecording(quint16(entry.id()));
        else if (path.startsWith(QLatin1String("file://")))
            ok = commands.deletePath(path.mid(7)) == 1;
        else if (path.startsWith(QLatin1String("dir://")))
            ok = commands.deletePath(path.mid(6)) == 1;
        if (ok)
            nothingDeleted = false;
        else
            failed += entry.fileName() + QStringLiteral("\r\n");
    }
    mill.storeResult(failed);
    // The last delete given up, its receiver silent: the user hears so, as for an earlier one, and a cancel it did
    // not answer ends the list cancelled.
    if (!link->isOpen()) {
        emit mill.Error(commands.failureText());
        if (commands.lostAfterCancel())
            canceled(mill);
        else
            emit mill.Complete(false);
        return;
    }
    emit mill.Complete(nothingDeleted);
}

void prepareToDevice(Mill_ &mill, DeviceTask *, const DeviceCall &call)
{
    emit mill.Start();
    const QString destination = call.parameter(QStringLiteral("destinationDir"));
    const bool recordings = ReceiverAddress::isRecordingsFolder(destination);
    const QString uris = call.parameter(QStringLiteral("fileUris"));
    CopyJobDocument job = recordings ? buildUploadJobFromUriList(uris, QStringLiteral("text/uri-list"))
                                     : buildCopyJobFromUris(uris, QStringLiteral("text/uri-list"));
    job.setCopyDirection(CopyJobDocument::PcToDevice);
    job.setDestinationPath(destination);
    mill.storeResult(job.toString());
    mill.storeListing(nullptr);
    if (!recordings) {
        if (mill.isDeviceBusy()) {
            mill.storeResult(QString());
            // Cancelled while the receiver described itself: no job, and no busy receiver either (one that did
            // not answer the cancel was given up, and said).
            if (mill.isInterruptRequested()) {
                canceled(mill);
                return;
            }
            emit mill.Error(ListTransfer::busyText());
        } else {
            auto link = linkFor(mill);
            ReceiverFolderCommands commands(*link);
            std::unique_ptr<QList<DeviceFileSystemItem *>> listing(commands.getFolder(destination));
            // Cancelled while the destination was listed (the listing was finished in step, or given up and said
            // when the receiver did not answer): no job.
            if (mill.isInterruptRequested()) {
                if (listing)
                    qDeleteAll(*listing);
                mill.storeResult(QString());
                if (commands.lostAfterCancel())
                    emit mill.Error(commands.failureText());
                canceled(mill);
                return;
            }
            mill.storeListing(listing.release());
        }
    } else if (!job.hasFiles()) {
        emit mill.Error(
            QCoreApplication::translate("DVB24CommunicationProtocolMill", "Please select correct recording."));
    }
    emit mill.Complete(true);
}

void prepareToPc(Mill_ &mill, DeviceTask *, const DeviceCall &call)
{
    emit mill.Start();
    if (mill.isDeviceBusy()) {
        mill.storeResult(QString());
        // Cancelled while the receiver described itself (see prepareToDevice).
        if (mill.isInterruptRequested()) {
            canceled(mill);
            return;
        }
        emit mill.Error(ListTransfer::busyText());
        emit mill.Complete(true);
        return;
    }
    auto link = linkFor(mill);
    ReceiverFolderCommands commands(*link);
    const QString destination = call.parameter(QStringLiteral("destinationDir"));
    CopyJobDocument job;
    qint64 total = 0;
    const QStringList lines = call.parameter(QStringLiteral("fileUris")).split(uriListSeparator());
    for (const QString &line : lines) {
        if (!line.isEmpty())
            commands.expandUri(line, QString(), job, total);
    }
    // A cancel stops the walk between two listings: what was gathered is no job to run. A receiver that did not
    // answer it was given up, and the user hears so.
    if (mill.isInterruptRequested()) {
        mill.storeResult(QString());
        if (commands.lostAfterCancel())
            emit mill.Error(commands.failureText());
        canceled(mill);
        return;
    }
    // A receiver that stopped answering was let go: a partial job would copy less than the user chose.
    if (!link->isOpen()) {
        mill.storeResult(QString());
        emit mill.Error(commands.failureText());
        emit mill.Complete(false);
        return;
    }
    const qint64 free = freeDiskSpace(destination);
    // Unknown free space is no reason to refuse; the copy says when the disk is full.
    if (free >= 0 && free < total) {
        emit mill.Error(
            QCoreApplication::translate("DVB24CommunicationProtocolMill", "There is not enough free space."));
        return;
    }
    job.setTotalSize(total);
    job.setDestinationPath(destination);
    job.setCopyDirection(CopyJobDocument::DeviceToPc);
    mill.storeResult(job.toString());
    emit mill.Complete(true);
}

// The PC folder for a receiver folder entry: the folder's own name (a volume's without its leading
// "/") below the entry's destination folder.
QString folderDestination(const QString &source, const QString &destination)
{
    QString name = source.mid(6).section(u'\\', -1);
    while (name.startsWith(u'/'))
        name.remove(0, 1);
    name = safeReceiverName(name);
    if (name.isEmpty() || !PcTarget::isPlain(destination))
        return QString();
    return PcTarget::inside(QDir::cleanPath(QDir::fromNativeSeparators(destination)), name);
}

// The PC file for a receiver file or recording: its name made safe, inside the destination's folder.
QString fileDestination(const QString &destination)
{
    const QString path = QDir::fromNativeSeparators(destination);
    const QString name = safeReceiverName(path.section(u'/', -1));
    if (name.isEmpty() || !PcTarget::isPlain(path))
        return QString();
    return PcTarget::inside(QFileInfo(path).absolutePath(), name);
}

void copyToPc(Mill_ &mill, DeviceTask *, const DeviceCall &call)
{
    const bool preview = call.methodName() == QLatin1String("MEMCopyPreview");
    const QString source = call.parameter(QStringLiteral("sourceFile"));
    const QString rawDestination = call.parameter(QStringLiteral("destinationFile"));
    const bool overwrite = flag(call, "overwrite");
    const bool move = flag(call, "deleteSource");
    bool failed = false;
    auto link = linkFor(mill, &failed);
    bool wasCanceled = false;
    if (source.startsWith(QLatin1String("dir://"))) {
        const QString folder = folderDestination(source, rawDestination);
        if (folder.isEmpty() || !makePath(folder)) {
            link->error(text("Cannot create directory %1.").arg(folder.isEmpty() ? rawDestination : folder));
        } else if (move) {
            // Only an emptied folder goes: whatever failed to copy stays on the receiver.
            ReceiverFolderCommands commands(*link);
            bool listed = false;
            std::unique_ptr<QList<DeviceFileSystemItem *>> left(commands.getFolder(source.mid(6), &listed));
            // Cancelled while the folder was listed: it stays, and the job ends between its exchanges (a receiver
            // that did not answer the cancel given up, and said).
            if (mill.isInterruptRequested()) {
                if (left)
                    qDeleteAll(*left);
                if (commands.lostAfterCancel())
                    link->error(commands.failureText());
                canceled(mill);
                return;
            }
            if (listed && !left && commands.deletePath(source.mid(6)) != 1) {
                // An emptied folder the receiver keeps is named to the page like a file it keeps.
                CopyJobDocument kept;
                kept.addFile(2, 0, source.mid(6), QString(), 0);
                mill.storeResult(kept.toString());
            } else if (left)
                qDeleteAll(*left);
        }
    } else if (!source.startsWith(QLatin1String("file://")) && !source.startsWith(QLatin1String("rec://"))) {
        link->error(text("Cannot open file %1.").arg(source));
    } else if (fileDestination(rawDestination).isEmpty()) {
        link->error(text("Cannot create file %1.").arg(rawDestination));
    } else if (source.startsWith(QLatin1String("file://"))) {
        const QString destination = fileDestination(rawDestination);
        if (!preview || !QFileInfo::exists(destination)) {
            CopyJobDocument failures;
            FileTransfer transfer(*link);
            transfer.notFoundUnsaid = !preview;
            const FileTransfer::Outcome outcome =
                transfer.download(source.mid(7), destination, overwrite, move,
                                  call.parameter(QStringLiteral("size")).toLongLong(), &failures);
            wasCanceled = outcome == FileTransfer::Canceled;
            // One entry the receiver does not know (gone meanwhile, or a name that does not come back the same)
            // is named to the page as not copied; the rest of the job goes on.
            if (outcome == FileTransfer::NotFound)
                failures.addUnreachable(0, source, QString());
            mill.storeResult(failures.toString());
        }
    } else if (overwrite) {
        const qint16 id = qint16(call.parameter(QStringLiteral("recordID")).toInt());
        RecordingTransfer transfer(*link);
        transfer.notFoundUnsaid = !preview;
        const RecordingTransfer::Outcome outcome = transfer.download(quint16(id), fileDestination(rawDestination));
        wasCanceled = outcome == RecordingTransfer::Canceled;
        if (outcome == RecordingTransfer::NotFound) {
            CopyJobDocument notFound;
            notFound.addUnreachable(1, source, QString());
            mill.storeResult(notFound.toString());
        }
        // The recording goes only after a complete copy; one the receiver keeps is named to the page.
        if (move && outcome == RecordingTransfer::Completed &&
            !ReceiverFolderCommands(*link).deleteRecording(quint16(id))) {
            CopyJobDocument kept;
            kept.addFile(1, 0, source.mid(6), QString(), id);
            mill.storeResult(kept.toString());
        }
    }
    if (wasCanceled) {
        canceled(mill);
        return;
    }
    if (preview)
        mill.storeResult(rawDestination);
    emit mill.Complete(!failed);
}

void copyToDevice(Mill_ &mill, DeviceTask *, const DeviceCall &call)
{
    if (!flag(call, "overwrite")) {
        emit mill.Complete(true);
        return;
    }
    const QString source = call.parameter(QStringLiteral("sourceFile"));
    const QString destination = call.parameter(QStringLiteral("destinationFile"));
    bool failed = false;
    auto link = linkFor(mill, &failed);
    if (source.startsWith(QLatin1String("rec://"))) {
        const RecordingTransfer::Outcome outcome = RecordingTransfer(*link).upload(source.mid(6));
        if (outcome == RecordingTransfer::Canceled) {
            canceled(mill);
            return;
        }
        emit mill.Complete(outcome == RecordingTransfer::Completed && !failed);
        return;
    }
    // A folder on the way that the receiver refuses fails this entry alone, as a refused folder entry does: the
    // page names it, a move keeps its source, the connection is in step and the job goes on. A link that failed
    // meanwhile ends the job with its error (makePath says it).
    ReceiverFolderCommands folders(*link);
    const bool made = folders.makePath(destination, true, true);
    // A cancel meanwhile ends the entry between its exchanges, the link in step: nothing of the file was sent. A
    // receiver that did not answer it was given up (makePath said so).
    if ((!failed && link->isOpen() && mill.isInterruptRequested()) || folders.lostAfterCancel()) {
        canceled(mill);
        return;
    }
    if (!made) {
        if (!failed && !folders.lastWasRefused())
            link->error(text("Cannot create directory %1.").arg(destination));
        emit mill.Complete(false);
        return;
    }
    // A file the receiver refuses is named with the receiver's reason: "Not found" alone says nothing of which.
    link->codeText = [destination](int code) {
        return text("Cannot create file %1.").arg(destination) + u' ' +
               DVB24CommunicationExceptionMessages::message(code);
    };
    FileTransfer transfer(*link);
    transfer.notFoundUnsaid = true;
    const FileTransfer::Outcome outcome = transfer.upload(source, destination);
    if (outcome == FileTransfer::Canceled) {
        canceled(mill);
        return;
    }
    // A folder on the way the receiver refuses fails this entry alone: the page names it, the job goes on.
    // A source that stays is named to the page: the file was copied, but not moved.
    if (outcome == FileTransfer::Completed && flag(call, "deleteSource") && QFileInfo(source).isFile() &&
        !PcTarget::removeEntry(source)) {
        CopyJobDocument kept;
        kept.addPlainFile(0, source, QString());
        mill.storeResult(kept.toString());
    }
    emit mill.Complete(outcome == FileTransfer::Completed && !failed);
}
} // namespace

QHash<QString, DVB24CommunicationProtocolMill::Method> transferMethods()
{
    return {{QStringLiteral("sendOrdownloadTVLists"), listTransfer},
            {QStringLiteral("getFolder"), getFolder},
            {QStringLiteral("refreshFolder"), getFolder},
            {QStringLiteral("MEMCreateDeviceFolder"), createFolder},
            {QStringLiteral("MEMdeleteDeviceFiles"), deleteFiles},
            {QStringLiteral("MEMprepareToCopyPcToDevice"), prepareToDevice},
            {QStringLiteral("MEMprepareToCopyDeviceToPc"), prepareToPc},
            {QStringLiteral("MEMCopyDeviceToPc"), copyToPc},
            {QStringLiteral("MEMCopyPreview"), copyToPc},
            {QStringLiteral("MEMCopyPcToDevice"), copyToDevice}};
}
