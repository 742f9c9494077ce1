#include "device/transfers/transfermethods.h"

#include "device/core/devicecall.h"
#include "device/protocol/dvb24communicationexceptionmessages.h"
#include "device/transfers/filetransfer.h"
#include "device/transfers/listtransfer.h"
#include "device/transfers/copyjobbuilders.h"
#include "device/transfers/devicefilesystemitem.h"
#include "device/transfers/receiveraddress.h"
#include "device/transfers/receiverfoldercommands.h"
#include "device/transfers/recordingtransfer.h"
#include "device/transfers/transferlink.h"
#include "base/filehelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

std::atomic_int listUploadRestartDelayMs{30000};

namespace {
using Mill_ = DVB24CommunicationProtocolMill;

bool flag(const DeviceCall &call, const char *name)
{
    return call.parameter(QLatin1String(name)) == QLatin1String("true");
}

// The link over the worker's socket, reporting through the worker's signals.
std::unique_ptr<TransferLink> linkFor(Mill_ &mill)
{
    auto link = std::make_unique<TransferLink>(mill.primitives().socket(), &mill);
    link->progress64 = [&mill](qint64 n) { emit mill.Progress64(n); };
    link->progress = [&mill](int done, int total) { emit mill.Progress(done, total); };
    link->status = [&mill](const QString &text) { emit mill.Status(text); };
    link->error = [&mill](const QString &text) { emit mill.Error(text); };
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
    QList<DeviceFileSystemItem *> *listing = ReceiverFolderCommands(*link).getFolder(call.parameter("@path"));
    mill.storeListing(listing);
    emit mill.Complete(listing && !listing->isEmpty());
}

void createFolder(Mill_ &mill, DeviceTask *, const DeviceCall &call)
{
    auto link = linkFor(mill);
    const QString path =
        call.parameter(QStringLiteral("destinationPath")) + u'\\' + call.parameter(QStringLiteral("folderName"));
    emit mill.Complete(ReceiverFolderCommands(*link).createFolder(path));
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
            emit mill.Error(ListTransfer::busyText());
        } else {
            auto link = linkFor(mill);
            mill.storeListing(ReceiverFolderCommands(*link).getFolder(destination));
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

// The PC path for a receiver item: no component may be "." or "..", and the name from the
// receiver is made a safe file name. Empty when that is not possible.
QString safeDestination(const QString &destination)
{
    QString path = QDir::fromNativeSeparators(destination);
    const QStringList parts = path.split(u'/');
    for (const QString &part : parts)
        if (part == QLatin1String("..") || part == QLatin1String("."))
            return QString();
    const QString name = safeReceiverName(parts.last());
    if (name.isEmpty())
        return QString();
    return QFileInfo(path).absolutePath() + u'/' + name;
}

void copyToPc(Mill_ &mill, DeviceTask *, const DeviceCall &call)
{
    const bool preview = call.methodName() == QLatin1String("MEMCopyPreview");
    const QString source = call.parameter(QStringLiteral("sourceFile"));
    const QString rawDestination = call.parameter(QStringLiteral("destinationFile"));
    const bool overwrite = flag(call, "overwrite");
    const bool move = flag(call, "deleteSource");
    auto link = linkFor(mill);
    bool wasCanceled = false;
    const QString destination = safeDestination(rawDestination);
    if (destination.isEmpty()) {
        emit mill.Error(QCoreApplication::translate("DVB24CommunicationProtocolMill", "Cannot create file %1.")
                            .arg(rawDestination));
    } else if (source.startsWith(QLatin1String("file://"))) {
        if (!preview || !QFileInfo::exists(destination)) {
            CopyJobDocument failures;
            const FileTransfer::Outcome outcome =
                FileTransfer(*link).download(source.mid(7), destination, overwrite, move,
                                             call.parameter(QStringLiteral("size")).toLongLong(), &failures);
            wasCanceled = outcome == FileTransfer::Canceled;
            mill.storeResult(failures.toString());
        }
    } else if (source.startsWith(QLatin1String("dir://"))) {
        const QString name = safeReceiverName(source.section(u'\\', -1));
        if (!name.isEmpty())
            makePath(QFileInfo(destination).absolutePath() + u'/' + QFileInfo(destination).fileName() + u'/' + name);
        if (move) {
            // Only an emptied folder goes: whatever failed to copy stays on the receiver.
            ReceiverFolderCommands commands(*link);
            bool listed = false;
            std::unique_ptr<QList<DeviceFileSystemItem *>> left(commands.getFolder(source.mid(6), &listed));
            if (listed && !left)
                commands.deletePath(source.mid(6));
            else if (left)
                qDeleteAll(*left);
        }
    } else if (source.startsWith(QLatin1String("rec://")) && overwrite) {
        const qint16 id = qint16(call.parameter(QStringLiteral("recordID")).toInt());
        const RecordingTransfer::Outcome outcome = RecordingTransfer(*link).download(quint16(id), destination);
        wasCanceled = outcome == RecordingTransfer::Canceled;
        // The recording goes only after a complete copy.
        if (move && outcome == RecordingTransfer::Completed)
            ReceiverFolderCommands(*link).deleteRecording(quint16(id));
    }
    if (wasCanceled) {
        canceled(mill);
        return;
    }
    if (preview)
        mill.storeResult(rawDestination);
    emit mill.Complete(true);
}

void copyToDevice(Mill_ &mill, DeviceTask *, const DeviceCall &call)
{
    if (!flag(call, "overwrite")) {
        emit mill.Complete(true);
        return;
    }
    const QString source = call.parameter(QStringLiteral("sourceFile"));
    const QString destination = call.parameter(QStringLiteral("destinationFile"));
    auto link = linkFor(mill);
    if (source.startsWith(QLatin1String("rec://"))) {
        if (RecordingTransfer(*link).upload(source.mid(6)) == RecordingTransfer::Canceled) {
            canceled(mill);
            return;
        }
        emit mill.Complete(true);
        return;
    }
    ReceiverFolderCommands(*link).makePath(destination, true);
    const FileTransfer::Outcome outcome = FileTransfer(*link).upload(source, destination);
    if (outcome == FileTransfer::Canceled) {
        canceled(mill);
        return;
    }
    if (outcome == FileTransfer::Completed && flag(call, "deleteSource") && QFileInfo(source).isFile())
        QFile::remove(source);
    emit mill.Complete(true);
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
