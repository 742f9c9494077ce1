// The media explorer page's context: which pane the user works in, which controls the item worked on
// allows, the properties panels and the context menus.

#include "base/filehelpers.h"
#include "device/transfers/devicefilesystemitem.h"
#include "media/contextstate.h"
#include "media/mediaexploreractions.h"
#include "media/mediaexplorermodule.h"
#include "media/pcfilesystemmodel.h"
#include "media/zbdevicefilesystemmodel.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>

// The page's focus child, not QWidget::hasFocus(): that is false until the window is active, and a click
// into an inactive window reaches the page before the window becomes active.
bool MediaExplorerModule::paneFocused(const QWidget *view) const
{
    return focusWidget() == view;
}

bool MediaExplorerModule::clipboardHas(const QString &format)
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data && data->hasFormat(format);
}

QTreeView *MediaExplorerModule::focusedView() const
{
    for (QTreeView *view : {static_cast<QTreeView *>(tvPcFolders), static_cast<QTreeView *>(tvPcSpecialFolders),
                            static_cast<QTreeView *>(tvZbDeviceFolders)})
        if (paneFocused(view))
            return view;
    return nullptr;
}

bool MediaExplorerModule::isPcView(const QTreeView *view) const
{
    return view && (view == tvPcFolders || view == tvPcSpecialFolders);
}

// The pane worked in is the one the user last worked in, and only a view that holds the focus says which:
// a click, a key, a menu there. Without one (a job took the focus away, a view changed its rows by itself)
// the pane stays and the controls follow what is still selected in it.
void MediaExplorerModule::setContextGUI(const QModelIndex &index)
{
    QTreeView *view = focusedView();
    if (!view) {
        updateControlsFromSelection();
        return;
    }
    _activePane = _generalMode || isPcView(view) ? 1 : 2;
    applyContext(index, view);
}

// The view of the pane worked in, when it is shown.
QTreeView *MediaExplorerModule::paneView() const
{
    QTreeView *view = nullptr;
    if (_activePane == 2 && !_generalMode)
        view = tvZbDeviceFolders;
    else if (_activePane == 1)
        view = tvPcFolders->isVisible()          ? static_cast<QTreeView *>(tvPcFolders)
               : tvPcSpecialFolders->isVisible() ? static_cast<QTreeView *>(tvPcSpecialFolders)
                                                 : nullptr;
    // Receiver rows of a tree that is not shown (no connection) are nothing to work on.
    if (view == tvZbDeviceFolders && deviceStackedWidget->currentIndex() != 0)
        view = nullptr;
    return view;
}

// After a job the keys work where the user left off: disabling the panes took the focus away. Focus the user
// put elsewhere in the window stays there.
void MediaExplorerModule::returnFocusToPane()
{
    QTreeView *view = paneView();
    if (!view || !isVisible() || focusedView() == view)
        return;
    const QWidget *focus = window()->focusWidget();
    if (focus && focus != this && !isAncestorOf(focus))
        return;
    view->setFocus(Qt::OtherFocusReason);
}

// The controls again from what is selected now, in the pane the user works in: after a job, a cancel or a
// new listing of the receiver, whatever the job switched on.
void MediaExplorerModule::updateControlsFromSelection()
{
    if (_busy)
        return;
    QTreeView *view = paneView();
    if (!view) {
        setCutEnabled(false);
        setCopyEnabled(false);
        setDeleteEnabled(false);
        setPasteEnabled(false);
        setNewFolderEnabled(false);
        setConvertEnabled(false, false);
        return;
    }
    applyContext(rowWorkedOn(view), view);
}

// As selectedRows() and deviceSelectedRows() count rows (in the browser, those of the folder shown), without
// listing them all: this runs on every change of the selection.
QModelIndex MediaExplorerModule::rowWorkedOn(const QTreeView *view) const
{
    if (view == tvZbDeviceFolders && !_deviceDirModel)
        return {};
    const QModelIndex root = tvPcSpecialFolders->rootIndex();
    return MediaExplorerTreeView::rowWorkedOn(view->selectionModel(), view->currentIndex(),
                                              view == tvPcSpecialFolders ? &root : nullptr);
}

void MediaExplorerModule::applyContext(const QModelIndex &index, QTreeView *view)
{
    setCutEnabled(false);
    setCopyEnabled(false);
    setDeleteEnabled(false);
    setPasteEnabled(false);
    setRefreshEnabled(false);
    setNewFolderEnabled(false);
    setConvertEnabled(false, false);
    btnRefresh->setEnabled(view == tvZbDeviceFolders && _deviceDirModel && _deviceDirModel->isInitialized());
    _actions->setShowInExplorerVisible(_activePane == 1 && index.isValid());
    _actions->pcAction(MediaExplorerActions::PropertiesPanel)->setEnabled(_activePane == 1 && index.isValid());
    const QString uris = QStringLiteral("text/uri-list");
    const QString zbUris = QStringLiteral("text/zbdevice-uri-list");

    if (!isPcView(view)) {
        if (view != tvZbDeviceFolders || !index.isValid() || !_deviceDirModel)
            return;
        _actions->deviceAction(MediaExplorerActions::PropertiesPanel)
            ->setText(pnlBoxFileProperties->isVisible() ? tr("Hide Properties Panel") : tr("Show Properties Panel"));
        const ContextState s =
            ContextState::forReceiver(_deviceDirModel->isVolume(index), _deviceDirModel->isProtectedItem(index),
                                      clipboardHas(uris), _deviceDirModel->isInitialized());
        setCutEnabled(s.cut);
        setCopyEnabled(s.copy);
        setNewFolderEnabled(s.newFolder);
        setPasteEnabled(s.paste);
        setDeleteEnabled(s.remove);
        setRefreshEnabled(s.refresh);
        showDeviceItemProperties(_deviceDirModel->itemFromIndex(index));
        return;
    }
    if (!_pcDirModel)
        return;
    QModelIndex target = index;
    if (!target.isValid() && tvPcSpecialFolders->isVisible())
        target = tvPcSpecialFolders->rootIndex();
    const bool hasItem = target.isValid() && target != tvPcSpecialFolders->rootIndex();
    _actions->pcAction(MediaExplorerActions::PropertiesPanel)
        ->setText(pnlPcFileProperties->isVisible() ? tr("Hide Properties Panel") : tr("Show Properties Panel"));
    const QString path = target.isValid() ? _pcDirModel->filePath(target) : QString();
    const ContextState s = ContextState::forPc(path, hasItem, target.isValid(), tvPcSpecialFolders->isVisible(),
                                               clipboardHas(uris) || clipboardHas(zbUris));
    setCopyEnabled(s.copy);
    setCutEnabled(s.cut);
    setDeleteEnabled(s.remove);
    setNewFolderEnabled(s.newFolder);
    setPasteEnabled(s.paste);
    setRefreshEnabled(s.refresh);
    _actions->showInExplorer()->setEnabled(target.isValid());
    setConvertEnabled(s.convert, s.mkvOnly);
    _selectedPcFile = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    if (!path.isEmpty())
        showPcFileProperties(QFileInfo(path));
}

void MediaExplorerModule::showPcFileProperties(const QFileInfo &info)
{
    const QString base = info.fileName().section(u'.', 0, 0);
    txtPcFileName->setText(base.isEmpty() ? info.filePath() : base);
    txtPcFileModified->setText(info.lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    for (QTreeView *view : {static_cast<QTreeView *>(tvPcFolders), static_cast<QTreeView *>(tvPcSpecialFolders)}) {
        if (!view->isVisible())
            continue;
        const QModelIndex first = MediaExplorerTreeView::rowWorkedOn(view->selectionModel(), QModelIndex());
        if (first.isValid())
            txtPcFileType->setText(_pcDirModel->data(first.siblingAtColumn(2)).toString());
    }
    txtPcFileSize->setText(info.isFile() ? formatSize(info.size()) : QString());
}

void MediaExplorerModule::showDeviceItemProperties(DeviceFileSystemItem *item)
{
    if (!item)
        return;
    txtBoxFileName->setText(item->name());
    txtBoxFileModified->setText(item->lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    txtBoxFileSize->setText(item->isFile() ? formatSize(item->size()) : QString());
    txtBoxFileType->setText(ZBDeviceFileSystemModel::typeNameForExtension(item->extension()));
}

void MediaExplorerModule::onPcTreeViewContextMenu(const QPoint &pos)
{
    QTreeView *view = paneFocused(tvPcFolders)          ? static_cast<QTreeView *>(tvPcFolders)
                      : paneFocused(tvPcSpecialFolders) ? static_cast<QTreeView *>(tvPcSpecialFolders)
                                                        : nullptr;
    const QModelIndex index = view ? view->indexAt(pos) : QModelIndex();
    // A click on the empty area lets go of the selection, as in a file manager: New folder and Paste then
    // work on the folder shown, not on a row selected earlier.
    if (view && !index.isValid() && view->selectionModel())
        view->selectionModel()->clearSelection();
    setContextGUI(index);
    QWidget *source = view ? view : static_cast<QWidget *>(tvPcFolders);
    _pcContextMenu->exec(source->mapToGlobal(pos));
}

void MediaExplorerModule::onZbDeviceTreeViewContextMenu(const QPoint &pos)
{
    const QModelIndex index = tvZbDeviceFolders->indexAt(pos);
    if (!index.isValid())
        return;
    setContextGUI(index);
    _deviceContextMenu->exec(tvZbDeviceFolders->mapToGlobal(pos));
}
