// The media explorer page's requests and their replies: prepared copy jobs run entry by entry, deletes,
// new receiver folders and previews, with the status bar, progress, remaining time and Cancel.

#include "base/filehelpers.h"
#include "device/core/devicecall.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/transfers/copyjobbuilders.h"
#include "device/transfers/copyjobdocument.h"
#include "device/transfers/copyjobfile.h"
#include "device/transfers/devicefilesystemitem.h"
#include "device/transfers/pctarget.h"
#include "media/mediaexplorerdevicetask.h"
#include "media/mediaexplorermodule.h"
#include "media/zbdevicefilesystemmodel.h"
#include "widgets/messagebox.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>

void MediaExplorerModule::showWaitStatus(const QString &text)
{
    setControlsEnabled(false);
    startTransferStatus(text, 0, 0);
    lblStatusTransferTime->hide();
    btnCancelTransfer->hide();
    frStatusBar->show();
}

static DeviceCall prepareCall(const char *method, const QString &destinationDir, const QString &fileUris)
{
    DeviceCall call(QString::fromLatin1(method));
    call.setParameter(QStringLiteral("fileUris"), fileUris);
    call.setParameter(QStringLiteral("destinationDir"), destinationDir);
    return call;
}

void MediaExplorerModule::prepareCopyPcToPc(const QString &destinationDir, const QString &fileUris)
{
    if (_busy)
        return;
    runOfflineTask(prepareCall("MEMprepareToCopyPcToPc", destinationDir, fileUris));
}

void MediaExplorerModule::prepareCopyDeviceToPc(const QString &destinationDir, const QString &fileUris)
{
    if (_busy || !communicationManager())
        return;
    showWaitStatus(tr("Preparing to copy..."));
    runDeviceTask(prepareCall("MEMprepareToCopyDeviceToPc", destinationDir, fileUris));
}

void MediaExplorerModule::prepareCopyPcToDevice(const QString &destinationDir, const QString &fileUris)
{
    if (_busy || !communicationManager())
        return;
    showWaitStatus(tr("Preparing to copy..."));
    runDeviceTask(prepareCall("MEMprepareToCopyPcToDevice", destinationDir, fileUris));
}

// Every receiver folder the operation touched is listed once. The model lists one folder at a time and
// ignores a refresh asked for meanwhile, so the folders wait their turn instead of being dropped.
void MediaExplorerModule::refreshDeviceAfterDelete(bool clearList)
{
    updateControlsFromSelection();
    for (const QPersistentModelIndex &index : std::as_const(_touchedDeviceIndexes))
        if (index.isValid() && _deviceDirModel && index.model() == _deviceDirModel.data() &&
            !_devicesToRefresh.contains(index))
            _devicesToRefresh << index;
    if (clearList)
        _touchedDeviceIndexes.clear();
    refreshNextDeviceFolder();
}

void MediaExplorerModule::refreshNextDeviceFolder()
{
    // Without the connection the tree is listed anew when it comes back: nothing is left to ask for.
    if (!_deviceDirModel || !_deviceDirModel->isInitialized())
        _devicesToRefresh.clear();
    while (_deviceDirModel && !_deviceDirModel->isFetching() && !_devicesToRefresh.isEmpty()) {
        // A folder re-listed with its parent meanwhile is gone from the tree: nothing is left to refresh.
        const QPersistentModelIndex index = _devicesToRefresh.takeFirst();
        if (index.isValid() && index.model() == _deviceDirModel.data())
            _deviceDirModel->refresh(index);
    }
}

void MediaExplorerModule::runDeviceTask(const DeviceCall &call)
{
    runTask(communicationManager(), call);
}

void MediaExplorerModule::runOfflineTask(const DeviceCall &call)
{
    runTask(&_offlineManager, call);
}

void MediaExplorerModule::runTask(DeviceCommunicationManager *manager, const DeviceCall &call)
{
    auto *task = new MediaExplorerDeviceTask(this, call.toString());
    task->setObjectName(call.methodName());
    connect(task, &MediaExplorerDeviceTask::Complete, this, &MediaExplorerModule::onTaskCompleted);
    connect(task, &MediaExplorerDeviceTask::Progress64, this, &MediaExplorerModule::onTaskProgress);
    connect(task, &MediaExplorerDeviceTask::Error, this, &MediaExplorerModule::onTaskError);
    connect(task, &MediaExplorerDeviceTask::Canceled, this, &MediaExplorerModule::onTaskCanceled);
    _busy = true;
    if (manager) {
        manager->enqueue(task);
        return;
    }
    // A page without a receiver has no worker for receiver requests: the request ends unanswered.
    onTaskCanceled(task);
}

// The worker still clears the task's connections after its last signal, so it goes on the next turn.
void MediaExplorerModule::finishTask(DeviceTask *task)
{
    task->setObjectName(QString());
    disconnect(task, nullptr, this, nullptr);
    if (QList<DeviceFileSystemItem *> *listing = task->listing()) {
        qDeleteAll(*listing);
        delete listing;
        task->setListing(nullptr);
    }
    MediaExplorerDeviceTask::deleteWhenReleased(task);
}

void MediaExplorerModule::onTaskCompleted(DeviceTask *task, bool ok)
{
    const QString method = task->objectName();
    const bool failed = task->property("failed").toBool();
    if (failed || (_cancelRequested && method.startsWith(QLatin1String("MEMprepareToCopy")))) {
        // Its error has ended the work and was shown, or the user cancelled: the completion starts nothing.
        if (!failed) {
            finishTask(task);
            onEndCopy();
            return;
        }
    } else if (method.startsWith(QLatin1String("MEMprepareToCopy"))) {
        QList<DeviceFileSystemItem *> *listing = nullptr;
        if (method == QLatin1String("MEMprepareToCopyPcToDevice")) {
            listing = task->listing();
            task->setListing(nullptr);
        }
        _copyJob.load(task->result(), listing);
        _transferTime.start();
        startTransferStatus(tr("Copying..."), 0, _copyJob.totalSize());
        btnCancelTransfer->show();
        finishTask(task);
        runNextCopy();
        return;
    } else if (method == QLatin1String("MEMCopyPcToPc") || method == QLatin1String("MEMCopyDeviceToPc") ||
               method == QLatin1String("MEMCopyPcToDevice")) {
        // A move names the source files it copied but could not delete, on the receiver or on the PC; an entry
        // the receiver did not know is named as not copied, and the job goes on.
        CopyJobDocument left;
        if (!task->result().isEmpty() && left.setContent(task->result()))
            while (left.hasFiles()) {
                const CopyJobFile entry = left.takeFirstFile();
                if (entry.isUnreachable())
                    _copyJob.notCopied(entry);
                else
                    _keptSources << entry.absolutePath();
            }
        // A copy that did not complete is never taken for one, said or not: its source stays, and so does
        // the folder holding it.
        if (!ok && !_cancelRequested && !_copyJob.current().isNull())
            _copyJob.notCopied(_copyJob.current());
        // The folders the job touched are listed when it ends: one full listing per entry made a large job
        // cost a listing of its whole source folder for every file.
        finishTask(task);
        runNextCopy();
        return;
    } else if (method == QLatin1String("MEMdeleteDeviceFiles") || method == QLatin1String("MEMdeletePcFiles")) {
        if (!task->result().isEmpty())
            MessageBox::warning(this, tr("Ombrelay could not delete these files:\n%1").arg(task->result()));
        // Nothing deleted: the folders noted for this delete are forgotten, not listed again by a later step
        // (the receiver may have refused a folder on the way because it is gone).
        if (method == QLatin1String("MEMdeleteDeviceFiles") && ok)
            _touchedDeviceIndexes.clear();
        else if (method == QLatin1String("MEMdeleteDeviceFiles"))
            refreshDeviceAfterDelete(true);
        frStatusBar->hide();
        btnCancelTransfer->show();
    } else if (method == QLatin1String("MEMCopyPreview")) {
        // Only a download that ended without an error and left the file behind is opened.
        const QString path = task->result();
        if (!path.isEmpty() && QFileInfo(path).isFile() && _previewDir && path.startsWith(_previewDir->path()))
            QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    } else if (method == QLatin1String("MEMCreateDeviceFolder")) {
        if (ok && !_touchedDeviceIndexes.isEmpty()) {
            const QPersistentModelIndex first = _touchedDeviceIndexes.first();
            refreshDeviceAfterDelete(true);
            tvZbDeviceFolders->expand(first);
        } else {
            // What was noted for it is forgotten: the receiver may have refused the folder because it is gone.
            _touchedDeviceIndexes.clear();
            MessageBox::warning(this, tr("Ombrelay could not create this folder"));
        }
    }
    finishTask(task);
    setControlsEnabled(true);
}

void MediaExplorerModule::runNextCopy()
{
    const std::optional<DeviceCall> call = _copyJob.next(this, _moveOnPaste);
    if (!call) {
        onEndCopy();
        return;
    }
    setControlsEnabled(false);
    frStatusBar->show();
    if (_copyJob.direction() == CopyJobDocument::PcToPc)
        runOfflineTask(*call);
    else
        runDeviceTask(*call);
}

void MediaExplorerModule::startTransferStatus(const QString &text, qint64 done, qint64 total)
{
    _transfer.start(done, total, _progressScale);
    pgrStatus->setMaximum(_transfer.maximum());
    pgrStatus->setValue(_transfer.value());
    lblStatusTransferTime->setVisible(true);
    lblStatusTransferTime->setText(QStringLiteral("--:--"));
    lblStatusTransfer->setText(text);
    _progressClock.restart();
}

void MediaExplorerModule::onTaskProgress(DeviceTask *, qint64 delta)
{
    _transfer.add(delta);
    if (_transfer.maximum() > 0)
        pgrStatus->setValue(_transfer.value());
    if (_transfer.done() <= 0 || _progressClock.elapsed() <= 1000)
        return;
    const qint64 remaining = _transfer.remainingMs(_transferTime.isValid() ? _transferTime.elapsed() : 0);
    if (remaining >= 0)
        lblStatusTransferTime->setText(TransferProgress::timeText(remaining));
    _progressClock.restart();
}

void MediaExplorerModule::onEndCopy()
{
    refreshDeviceAfterDelete(true);
    _transfer.start(0, 0, _progressScale);
    frStatusBar->hide();
    // A job that left something behind is no success: the user hears which entries, and a cut keeps them.
    // What the user chose to keep stays as well: it is no failed delete, and a cut keeps offering it.
    QStringList kept = _keptSources;
    _keptSources.clear();
    const QStringList stayed = _copyJob.skippedSources() + _copyJob.stayedSources();
    if (_moveOnPaste)
        kept << removeEmptiedFolders(_copyJob.movedFolders(), stayed + kept);
    onRefreshFolderPc();
    const QStringList skipped = _copyJob.skipped();
    const QStringList declined = _moveOnPaste ? _copyJob.declined() : QStringList();
    if (_moveOnPaste)
        keepWhatStayed(stayed + kept);
    _copyJob.end();
    if (!skipped.isEmpty())
        MessageBox::warning(this, tr("Ombrelay could not copy these files:\n%1").arg(skipped.join(u'\n')));
    if (!declined.isEmpty())
        MessageBox::warning(
            this,
            tr("These files were not moved, as you chose to keep the existing ones:\n%1").arg(declined.join(u'\n')));
    if (!kept.isEmpty()) {
        for (QString &name : kept)
            name = DeviceFileSystemItem::stripControlChars(name);
        MessageBox::warning(this, tr("Ombrelay could not delete these files:\n%1").arg(kept.join(u'\n')));
    }
    _moveOnPaste = false;
    _cancelRequested = false;
    _offlineManager.stop();
    setControlsEnabled(true);
}

// A move takes a PC folder's entries one by one; the folder itself goes once they have gone (an upload's
// worker leaves that to the page). One that still holds anything (hidden entries are not uploaded, pipes and
// the like are never copied) is named as staying, unless it or what it holds is named already.
QStringList MediaExplorerModule::removeEmptiedFolders(const QStringList &folders, const QStringList &named)
{
    QStringList stayed;
    for (const QString &folder : folders) {
        const QFileInfo info(folder);
        if ((!info.exists() && !info.isSymLink()) || named.contains(folder))
            continue;
        if (!info.isSymLink() &&
            QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
            if (!PcTarget::removeEntry(folder))
                stayed << folder;
            continue;
        }
        // Inner folders come first: one named here already says that its outer folders stay.
        const auto holds = [inside = folder + u'/'](const QString &s) { return s.startsWith(inside); };
        if (std::none_of(named.cbegin(), named.cend(), holds) && std::none_of(stayed.cbegin(), stayed.cend(), holds))
            stayed << folder;
    }
    return stayed;
}

namespace {
// A receiver source ("dir://HDD\Movies", "HDD\Movies\a.ts") without its scheme.
QString receiverPath(const QString &source)
{
    const int scheme = source.indexOf(QLatin1String("://"));
    return scheme < 0 ? source : source.mid(scheme + 3);
}

// Whether a clipboard line names a source that a move left where it was. A PC source that is still on disk
// stayed; a receiver source stayed when the job named it, or something inside it, as left behind.
bool lineStayed(const QString &line, bool pc, const QStringList &leftSources)
{
    if (pc) {
        const QFileInfo info(localPathFromUriLine(line));
        return !info.filePath().isEmpty() && (info.exists() || info.isSymLink());
    }
    QString path = receiverPath(line.section(u'*', 0, 0));
    // A name the page marked as cleaned ends in "/"; the job names it without the mark.
    if (path.endsWith(u'/'))
        path.chop(1);
    for (const QString &source : leftSources) {
        const QString left = receiverPath(source);
        if (left == path || left.startsWith(path + u'\\'))
            return true;
    }
    return false;
}
} // namespace

// After a move the clipboard holds only what stayed, still as a cut, so a second paste moves exactly those;
// a move that left nothing behind empties it. A clipboard replaced meanwhile is left alone.
void MediaExplorerModule::keepWhatStayed(const QStringList &leftSources)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = _cutData;
    if (!data || data != clipboard->mimeData(QClipboard::Clipboard))
        return;
    const QString uris = QStringLiteral("text/uri-list");
    const bool pc = data->hasFormat(uris);
    const QString format = pc ? uris : QStringLiteral("text/zbdevice-uri-list");
    const QStringList lines = QString::fromUtf8(data->data(format)).split(uriListSeparator(), Qt::SkipEmptyParts);
    QStringList stayed;
    for (const QString &line : lines)
        if (lineStayed(line, pc, leftSources))
            stayed << line;
    if (stayed.size() == lines.size())
        return;
    if (stayed.isEmpty()) {
        clipboard->clear(QClipboard::Clipboard);
        _cutData.clear();
        return;
    }
    auto *rest = new QMimeData;
    rest->setData(format, (stayed.join(uriListSeparator()) + uriListSeparator()).toUtf8());
    clipboard->setMimeData(rest, QClipboard::Clipboard);
    _cutData = rest;
}

void MediaExplorerModule::onTaskError(DeviceTask *task, const QString &message)
{
    // One message per failure: the completion that may follow only frees the task.
    task->setProperty("failed", true);
    refreshDeviceAfterDelete(true);
    _copyJob.clear();
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
    _cutData.clear();
    appendStatusText(message);
    onEndCopy();
}

// An interrupted request ends without a completion: the job ends here, nothing is left waiting. What a delete
// could not remove before the cancel is still said.
void MediaExplorerModule::onTaskCanceled(DeviceTask *task)
{
    const bool failed = task->property("failed").toBool();
    const bool deletion = task->objectName().startsWith(QLatin1String("MEMdelete"));
    const QString notDeleted = task->result();
    finishTask(task);
    if (failed)
        return;
    _copyJob.cancel();
    _copyJob.currentStayed();
    onEndCopy();
    if (deletion && !notDeleted.isEmpty())
        MessageBox::warning(this, tr("Ombrelay could not delete these files:\n%1").arg(notDeleted));
}

void MediaExplorerModule::onBtnCancelTransfer()
{
    if (_transcoder.state() != QProcess::NotRunning) {
        _conversionCancelled = true;
        _transcoder.kill();
        return;
    }
    if (_copyJob.direction() != CopyJobDocument::PcToPc) {
        if (auto *manager = qobject_cast<DVB24CommunicationManager *>(communicationManager()))
            manager->requestInterrupt();
    }
    // The page's own worker (PC copies and deletes; a delete has no job direction) is told in any case, and
    // not waited for: its running request ends as cancelled and that reply ends the work.
    _offlineManager.requestStop();
    _copyJob.cancel();
    _cancelRequested = _busy;
    if (!_busy)
        closeWindowWhenIdle();
}
