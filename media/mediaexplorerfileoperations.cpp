// The media explorer page's file operations: selections, the clipboard (copy, cut, paste), drops, delete
// and new folders.

#include "base/filehelpers.h"
#include "device/core/devicecall.h"
#include "device/transfers/copyjobbuilders.h"
#include "device/transfers/copyjobfile.h"
#include "device/transfers/devicefilesystemitem.h"
#include "media/contextstate.h"
#include "media/mediaexplorermodule.h"
#include "media/pcfilesystemmodel.h"
#include "media/zbdevicefilesystemmodel.h"
#include "widgets/messagebox.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMimeData>

QModelIndexList MediaExplorerModule::selectedRows() const
{
    QTreeView *view = tvPcFolders->isVisible()          ? static_cast<QTreeView *>(tvPcFolders)
                      : tvPcSpecialFolders->isVisible() ? static_cast<QTreeView *>(tvPcSpecialFolders)
                                                        : nullptr;
    if (!view || !view->selectionModel())
        return {};
    QModelIndexList rows = view->selectionModel()->selectedRows(0);
    // The browser shows one folder: rows selected in a folder shown before are not the user's choice now.
    if (view == tvPcSpecialFolders)
        rows.removeIf([this](const QModelIndex &row) { return row.parent() != tvPcSpecialFolders->rootIndex(); });
    return rows;
}

// Whether the active pane's selection holds an item the controls never offer to cut or delete: a drive, a
// folder right under a drive, the receiver's top level.
bool MediaExplorerModule::selectionProtected() const
{
    if (_activePane == 2 && _deviceDirModel) {
        for (const QModelIndex &row : deviceSelectedRows())
            if (_deviceDirModel->isProtectedItem(row))
                return true;
    } else if (_activePane == 1 && _pcDirModel) {
        for (const QModelIndex &row : selectedRows())
            if (ContextState::isProtectedPcPath(_pcDirModel->filePath(row)))
                return true;
    }
    return false;
}

QModelIndexList MediaExplorerModule::deviceSelectedRows() const
{
    QItemSelectionModel *selection = tvZbDeviceFolders->selectionModel();
    return selection && _deviceDirModel ? selection->selectedRows(0) : QModelIndexList();
}

void MediaExplorerModule::enterTouched(const QModelIndex &index)
{
    const QPersistentModelIndex entry(index);
    if (!_touchedDeviceIndexes.contains(entry))
        _touchedDeviceIndexes << entry;
}

// A PC row acted on that a listing not read again yet still shows: named as gone, and its folder read again.
static bool sayIfGone(QWidget *page, PcFileSystemModel *model, const QModelIndexList &rows)
{
    for (const QModelIndex &row : rows) {
        const QFileInfo entry(model->filePath(row));
        if (entry.exists() || entry.isSymLink())
            continue;
        model->refreshFolder(entry.absolutePath());
        MessageBox::information(page, MediaExplorerModule::tr("%1 is no longer there.").arg(entry.fileName()));
        return true;
    }
    return false;
}

bool MediaExplorerModule::copyToClipboard()
{
    catchUpViews(); // the pane worked in, as the selection has it now
    QMimeData *data = nullptr;
    if (_activePane == 1 && _pcDirModel) {
        const QModelIndexList rows = selectedRows();
        if (sayIfGone(this, _pcDirModel, rows))
            return false;
        if (!rows.isEmpty())
            data = _pcDirModel->mimeData(rows);
    } else if (_activePane == 2 && _deviceDirModel) {
        const QModelIndexList rows = deviceSelectedRows();
        if (!rows.isEmpty()) {
            data = _deviceDirModel->mimeData(rows);
            for (const QModelIndex &row : rows)
                enterTouched(row.parent());
        }
    }
    _cutData.clear();
    if (data)
        QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    _moveOnPaste = false;
    return data != nullptr;
}

// A receiver folder whose name on the way cannot be sent back as the receiver holds it (a NUL, bytes that are no
// UTF-8): asked for under the name the PC shows, the receiver would act on another folder or none. Said, and
// nothing is asked of the receiver.
static bool sayIfUnreachable(QWidget *page, ZBDeviceFileSystemModel *model, const QModelIndex &folder)
{
    const DeviceFileSystemItem *item = folder.isValid() ? model->itemFromIndex(folder) : nullptr;
    if (!item || item->isReachableByPath())
        return false;
    MessageBox::warning(page, MediaExplorerModule::tr("Ombrelay cannot put anything into the folder %1: its name on "
                                                      "the receiver cannot be used to ask for it.")
                                  .arg(item->name()));
    return true;
}

// A paste moves only what this Cut put there: anything copied to the clipboard since is only copied.
void MediaExplorerModule::moveToClipboard()
{
    catchUpViews(); // the pane worked in, as the selection has it now
    if (_activePane == 1 && _pcDirModel && sayIfGone(this, _pcDirModel, selectedRows()))
        return;
    // A move deletes its sources: what may not be deleted may not be cut either.
    if (selectionProtected() || !copyToClipboard())
        return;
    // The clipboard owns it; the pointer clears itself when anything else replaces it.
    _cutData = const_cast<QMimeData *>(QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard));
    _moveOnPaste = true;
    _cutDeviceFolders.clear();
    if (_activePane == 2)
        for (const QModelIndex &row : deviceSelectedRows())
            if (const QPersistentModelIndex folder(row.parent()); !_cutDeviceFolders.contains(folder))
                _cutDeviceFolders << folder;
}

// Paste follows the clipboard in the pane worked in, whichever of its views shows it.
void MediaExplorerModule::onClipboardChanged()
{
    updateControlsFromSelection();
}

QString MediaExplorerModule::pcDestination() const
{
    QModelIndex folder;
    if (tvPcSpecialFolders->isVisible()) {
        folder = tvPcSpecialFolders->rootIndex();
    } else {
        const QModelIndexList rows = selectedRows();
        if (rows.isEmpty())
            return QString();
        folder = _pcDirModel->isDir(rows.first()) ? rows.first() : rows.first().parent();
    }
    return folder.isValid() ? QFileInfo(_pcDirModel->filePath(folder)).absoluteFilePath() : QString();
}

bool MediaExplorerModule::pasteFromClipboard()
{
    catchUpViews(); // the pane worked in, as the selection has it now
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data || _busy)
        return true;
    const QString uris = QStringLiteral("text/uri-list");
    const QString zbUris = QStringLiteral("text/zbdevice-uri-list");
    // A paste moves what a Cut put there, also what stayed after a move that partly failed.
    _moveOnPaste = data == _cutData.data() && data;
    if (_activePane == 1 && _pcDirModel) {
        const QString destination = pcDestination();
        // a paste that has no folder to go to says so, rather than doing nothing
        if (destination.isEmpty()) {
            MessageBox::information(this, tr("Choose the folder to paste into first."));
            return true;
        }
        if (!QFileInfo(destination).isDir()) {
            _pcDirModel->refreshFolder(QFileInfo(destination).absolutePath());
            MessageBox::information(this, tr("%1 is no longer there.").arg(QFileInfo(destination).fileName()));
            return true;
        }
        // One prepare per paste: the PC list first when the clipboard carries both.
        if (data->hasFormat(uris)) {
            prepareCopyPcToPc(destination, QString::fromUtf8(data->data(uris)));
        } else if (data->hasFormat(zbUris)) {
            // The receiver folders a move takes files from are listed when it ends, also at a second paste of
            // the same Cut (the end of the first forgot what it had listed).
            if (_moveOnPaste)
                for (const QPersistentModelIndex &folder : std::as_const(_cutDeviceFolders))
                    if (folder.isValid())
                        enterTouched(folder);
            prepareCopyDeviceToPc(destination, QString::fromUtf8(data->data(zbUris)));
        }
    } else if (_activePane == 2 && _deviceDirModel && data->hasFormat(uris)) {
        const QModelIndexList rows = deviceSelectedRows();
        if (rows.isEmpty())
            return true;
        const QModelIndex first = rows.first();
        const bool container = _deviceDirModel->isFolder(first) || _deviceDirModel->isVolume(first);
        const QModelIndex destination = container ? first : first.parent();
        if (sayIfUnreachable(this, _deviceDirModel, destination))
            return true;
        // The folder or drive that receives the files is listed again afterwards, also a drive's top level.
        _touchedDeviceIndexes.clear();
        enterTouched(destination);
        prepareCopyPcToDevice(_deviceDirModel->filePath(destination), QString::fromUtf8(data->data(uris)));
    }
    return true;
}

void MediaExplorerModule::onMimeDataDroppedPc(const QString &destinationDir, const QString &fileUris)
{
    _moveOnPaste = false;
    prepareCopyPcToPc(destinationDir, fileUris);
}

void MediaExplorerModule::onMimeDataDroppedFromDevice(const QString &destinationDir, const QString &fileUris)
{
    _moveOnPaste = false;
    prepareCopyDeviceToPc(destinationDir, fileUris);
}

void MediaExplorerModule::onMimeDataDroppedToDevice(const QString &destinationDir, const QString &fileUris,
                                                    const QModelIndex &target)
{
    _touchedDeviceIndexes.clear();
    enterTouched(target);
    _moveOnPaste = false;
    prepareCopyPcToDevice(destinationDir, fileUris);
}

namespace {
QList<QPersistentModelIndex> persistent(const QModelIndexList &rows)
{
    return {rows.cbegin(), rows.cend()};
}

// The rows again after a dialog: empty when any of them has gone meanwhile (a reconnect rebuilds the
// receiver tree, a folder is re-listed), so nothing is done to items the user no longer sees.
QModelIndexList stillThere(const QList<QPersistentModelIndex> &rows)
{
    QModelIndexList result;
    for (const QPersistentModelIndex &row : rows) {
        if (!row.isValid())
            return {};
        result << row;
    }
    return result;
}
} // namespace

static QString deleteQuestion(int count, const QString &name)
{
    return count < 2 ? MediaExplorerModule::tr("Are you sure you want to delete %1?").arg(name)
                     : MediaExplorerModule::tr("Are you sure you want to delete these %1 items?").arg(count);
}

void MediaExplorerModule::deleteSelectedFiles()
{
    catchUpViews(); // the pane worked in, as the selection has it now
    if (_busy)
        return;
    if (_activePane == 1 && _pcDirModel && sayIfGone(this, _pcDirModel, selectedRows()))
        return;
    if (selectionProtected())
        return;
    const QList<QPersistentModelIndex> pcSelection = persistent(selectedRows());
    const QList<QPersistentModelIndex> deviceSelection = persistent(deviceSelectedRows());
    if (_activePane == 1 && !pcSelection.isEmpty() && _pcDirModel) {
        if (!MessageBox::questionYesCancel(
                this, deleteQuestion(int(pcSelection.size()), _pcDirModel->fileName(pcSelection.first())),
                MessageBox::Cancel))
            return;
        const QModelIndexList pcRows = stillThere(pcSelection);
        if (pcRows.isEmpty() || !_pcDirModel || _busy)
            return;
        // On the page's worker: a large folder never freezes the window.
        CopyJobDocument list;
        for (const QModelIndex &row : pcRows) {
            const QFileInfo info = _pcDirModel->fileInfo(row);
            list.addFile(info.isDir() && !info.isSymLink() ? CopyJobFile::Dir : CopyJobFile::PlainFile, 0,
                         info.absoluteFilePath(), QString(), 0);
        }
        DeviceCall call(QStringLiteral("MEMdeletePcFiles"));
        call.setParameter(QStringLiteral("fileList"), list.toString());
        showWaitStatus(tr("Deleting files..."));
        runOfflineTask(call);
        setContextGUI(QModelIndex());
    } else if (_activePane == 2 && !deviceSelection.isEmpty() && _deviceDirModel) {
        _touchedDeviceIndexes.clear();
        for (const QPersistentModelIndex &row : deviceSelection)
            enterTouched(row.parent());
        const bool yes = MessageBox::questionYesCancel(
            this, deleteQuestion(int(deviceSelection.size()), _deviceDirModel->fileName(deviceSelection.first())),
            MessageBox::Cancel);
        const QModelIndexList deviceRows = stillThere(deviceSelection);
        if (!yes || deviceRows.isEmpty() || !_deviceDirModel || _busy) {
            _touchedDeviceIndexes.clear();
            return;
        }
        std::unique_ptr<QMimeData> data(_deviceDirModel->mimeData(deviceRows));
        const CopyJobDocument list =
            buildFileListFromUris(QString::fromUtf8(data->data(QStringLiteral("text/zbdevice-uri-list"))),
                                  QStringLiteral("text/zbdevice-uri-list"));
        DeviceCall call(QStringLiteral("MEMdeleteDeviceFiles"));
        call.setParameter(QStringLiteral("fileList"), list.toString());
        showWaitStatus(tr("Deleting files..."));
        runDeviceTask(call);
    }
}

// Empty when name may not be made inside folder: ".", "..", a name leaving it, control characters.
static QString newFolderPath(const QString &folder, const QString &name, bool receiver)
{
    if (name == QLatin1String(".") || name == QLatin1String("..") ||
        DeviceFileSystemItem::stripControlChars(name) != name)
        return QString();
    if (receiver)
        return name.contains(u'\\') || name.contains(u'/') ? QString() : folder + u'\\' + name;
    for (const QString &part : name.split(u'/', Qt::SkipEmptyParts))
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return QString();
    return pathInside(folder, name);
}

void MediaExplorerModule::onNewFolder()
{
    catchUpViews(); // the pane worked in, as the selection has it now
    if (_busy)
        return;
    const QList<QPersistentModelIndex> deviceSelection = persistent(deviceSelectedRows());
    const QList<QPersistentModelIndex> pcSelection = persistent(selectedRows());
    // the PC folder it goes into, known before a name is asked for
    if (_activePane == 1 && _pcDirModel && pcSelection.isEmpty() &&
        !(tvPcSpecialFolders->isVisible() && tvPcSpecialFolders->rootIndex().isValid())) {
        MessageBox::information(this, tr("Choose the folder to make the new folder in first."));
        return;
    }
    QInputDialog dialog(this, Qt::Dialog | Qt::FramelessWindowHint);
    dialog.setLabelText(tr("New folder name:"));
    dialog.setOkButtonText(tr("Ok"));
    dialog.setCancelButtonText(tr("Cancel"));
    if (MessageBox::execDialog(&dialog) != QDialog::Accepted || dialog.textValue().isEmpty())
        return;
    // The tree may have been rebuilt while the dialog was open: only rows still there count.
    const QModelIndexList deviceRows = stillThere(deviceSelection);
    const QModelIndexList pcRows = stillThere(pcSelection);
    if (_busy || (deviceRows.isEmpty() && !deviceSelection.isEmpty()) || (pcRows.isEmpty() && !pcSelection.isEmpty()))
        return;
    const QString name = dialog.textValue();
    const QString refused = tr("Ombrelay cannot create a folder named \"%1\". Please choose another name.")
                                .arg(DeviceFileSystemItem::stripControlChars(name));
    if (_activePane == 2 && !deviceRows.isEmpty() && _deviceDirModel) {
        const QModelIndex first = deviceRows.first();
        const QModelIndex target = _deviceDirModel->isFolder(first) ? first : first.parent();
        if (!target.isValid() || sayIfUnreachable(this, _deviceDirModel, target))
            return;
        if (newFolderPath(_deviceDirModel->filePath(target), name, true).isEmpty()) {
            MessageBox::warning(this, refused);
            return;
        }
        DeviceCall call(QStringLiteral("MEMCreateDeviceFolder"));
        call.setParameter(QStringLiteral("destinationPath"), _deviceDirModel->filePath(target));
        call.setParameter(QStringLiteral("folderName"), name);
        enterTouched(_deviceDirModel->isFolder(first) && _deviceDirModel->hasChildren(first) ? first : first.parent());
        runDeviceTask(call);
    } else if (_activePane == 1 && _pcDirModel) {
        QModelIndex target;
        if (!pcRows.isEmpty())
            target = _pcDirModel->isDir(pcRows.first()) ? pcRows.first() : pcRows.first().parent();
        else if (tvPcSpecialFolders->isVisible())
            target = tvPcSpecialFolders->rootIndex();
        if (!target.isValid())
            return;
        const QString path = newFolderPath(_pcDirModel->filePath(target), name, false);
        if (path.isEmpty())
            MessageBox::warning(this, refused);
        else if (!QDir().mkpath(path))
            MessageBox::warning(this, tr("Ombrelay could not create this folder"));
        else // listed now, not when the folder is read again (the outermost folder made, for "a/b")
            _pcDirModel->showNewEntry(
                QDir(_pcDirModel->filePath(target)).filePath(name.section(u'/', 0, 0, QString::SectionSkipEmpty)));
    }
}
