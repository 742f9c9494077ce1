#include "media/mediaexplorermodule.h"

#include "base/filehelpers.h"
#include "base/settings.h"
#include "base/translatorloader.h"
#include "device/core/devicecall.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/transfers/devicefilesystemitem.h"
#include "devices/receivercloseevent.h"
#include "media/mediaexploreractions.h"
#include "media/mediaexplorerdevicetask.h"
#include "media/pcfilesystemmodel.h"
#include "media/zbdevicefilesystemmodel.h"
#include "modules/generaluiinterface.h"
#include "modules/modulefactory.h"
#include "widgets/messagebox.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QShortcut>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

MediaExplorerModule::MediaExplorerModule(QWidget *parent)
    : OmbrelayModule(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MediaExplorerModule"));
    setupUi(this);
    showDatesInTheLanguage();
    _progressScale = pgrStatus->maximum();

    const auto shortcut = [this](QKeySequence::StandardKey key, auto slot, QWidget *control) {
        auto *s = new QShortcut(QKeySequence(key), this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, [this, slot, control] {
            // A key starts only what the page's own button would start right now, for what is selected now.
            catchUpViews();
            if (shortcutAllowed() && control->isEnabled())
                (this->*slot)();
        });
        return s;
    };
    _copyShortcut = shortcut(QKeySequence::Copy, &MediaExplorerModule::copyToClipboard, btnCopy);
    _cutShortcut = shortcut(QKeySequence::Cut, &MediaExplorerModule::moveToClipboard, btnCut);
    _pasteShortcut = shortcut(QKeySequence::Paste, &MediaExplorerModule::pasteFromClipboard, btnPaste);
    _deleteShortcut = shortcut(QKeySequence::Delete, &MediaExplorerModule::deleteSelectedFiles, btnDelete);

    frStatusBar->hide();
    pnlBoxFileProperties->hide();
    pnlPcFileProperties->hide();
    connect(pnlBoxFileProperties, &QTabWidget::tabCloseRequested, pnlBoxFileProperties, &QWidget::close);
    connect(pnlPcFileProperties, &QTabWidget::tabCloseRequested, pnlPcFileProperties, &QWidget::close);

    _actions = new MediaExplorerActions(this);
    _pcContextMenu = _actions->pcMenu();
    _deviceContextMenu = _actions->deviceMenu();
    _convertMenu = _actions->convertMenu();
    _convertMp3Action = _actions->convertMp3();
    _convertMpgAction = _actions->convertMpg();
    _convertMkvAction = _actions->convertMkv();
    _convertDvdAction = _actions->convertDvd();
    using A = MediaExplorerActions;
    for (QAction *(A::*pane)(A::Command) const : {&A::pcAction, &A::deviceAction}) {
        const auto action = [this, pane](A::Command command) { return (_actions->*pane)(command); };
        connect(action(A::Copy), &QAction::triggered, this, &MediaExplorerModule::copyToClipboard);
        connect(action(A::Cut), &QAction::triggered, this, &MediaExplorerModule::moveToClipboard);
        connect(action(A::Paste), &QAction::triggered, this, &MediaExplorerModule::pasteFromClipboard);
        connect(action(A::Delete), &QAction::triggered, this, &MediaExplorerModule::deleteSelectedFiles);
        connect(action(A::NewFolder), &QAction::triggered, this, &MediaExplorerModule::onNewFolder);
    }
    connect(_actions->showInExplorer(), &QAction::triggered, this, &MediaExplorerModule::onOpenDirInExplorer);
    connect(_actions->pcAction(A::Refresh), &QAction::triggered, this, &MediaExplorerModule::onRefreshFolderPc);
    connect(_actions->deviceAction(A::Refresh), &QAction::triggered, this, &MediaExplorerModule::onBtnRefresh);
    connect(_actions->pcAction(A::PropertiesPanel), &QAction::triggered, this,
            &MediaExplorerModule::onShowPropertiesPanelAction);
    connect(_actions->deviceAction(A::PropertiesPanel), &QAction::triggered, this,
            &MediaExplorerModule::onShowPropertiesPanelAction2);
    btnTranscode->setMenu(_convertMenu);

    connect(btnCopy, &QPushButton::pressed, this, &MediaExplorerModule::copyToClipboard);
    connect(btnPaste, &QPushButton::pressed, this, &MediaExplorerModule::pasteFromClipboard);
    connect(btnCut, &QPushButton::pressed, this, &MediaExplorerModule::moveToClipboard);
    connect(btnDelete, &QPushButton::pressed, this, &MediaExplorerModule::deleteSelectedFiles);
    connect(btnRefresh, &QPushButton::pressed, this, &MediaExplorerModule::onBtnRefresh);
    connect(btnCancelTransfer, &QPushButton::pressed, this, &MediaExplorerModule::onBtnCancelTransfer);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &MediaExplorerModule::onClipboardChanged);
    connect(btnRefreshDevice, &QCommandLinkButton::pressed, this, &MediaExplorerModule::onBtnExplore);
    connect(btnExplore, &QCommandLinkButton::pressed, this, &MediaExplorerModule::onBtnExplore);
    connect(btnVideo, &QPushButton::pressed, this, &MediaExplorerModule::onBtnVideoPressed);
    connect(btnMusic, &QPushButton::pressed, this, &MediaExplorerModule::onBtnMusicPressed);
    connect(btnPictures, &QPushButton::pressed, this, &MediaExplorerModule::onBtnPicturesPressed);
    connect(btnMyComputer, &QPushButton::pressed, this, &MediaExplorerModule::onBtnMyComputerPressed);
    connect(btnBrowserBack, &QPushButton::pressed, this, &MediaExplorerModule::onBtnBrowserBackPressed);
    connect(btnBrowserUp, &QPushButton::pressed, this, &MediaExplorerModule::onBtnBrowserUpPressed);
    connect(btnBrowserGo, &QPushButton::pressed, this, &MediaExplorerModule::onBrowserAddressChanged);
    connect(txtBrowserAddress, &QLineEdit::returnPressed, this, &MediaExplorerModule::onBrowserAddressChanged);
    btnRefreshDevice->hide();
    connectConversion();
}

MediaExplorerModule::~MediaExplorerModule()
{
    _offlineManager.stop();
    delete _deviceDirModel;
    delete _pcDirModel;
}

ZBDeviceFileSystemModel *MediaExplorerModule::deviceModel() const
{
    return _deviceDirModel;
}

PcFileSystemModel *MediaExplorerModule::pcModel() const
{
    return _pcDirModel;
}

void MediaExplorerModule::registerModule()
{
    ModuleFactory::registerPlainModule<MediaExplorerModule>(TypeMediaExplorer);
    ModuleFactory::registerWindowPage(TypeMediaExplorer, [](QWidget *window, ZBDeviceCollection *) {
        auto *page = new MediaExplorerModule(window);
        page->setGeneralMode(true);
        return page;
    });
}

void MediaExplorerModule::retranslate()
{
    retranslateUi(this);
}

void MediaExplorerModule::setCommunicationManager(DeviceCommunicationManager *manager)
{
    OmbrelayModule::setCommunicationManager(manager);
    if (_modelsPending)
        buildModels(manager);
    setControlsEnabled(true);
    setCopyEnabled(false);
    setCutEnabled(false);
    setDeleteEnabled(false);
    setNewFolderEnabled(false);
    setPasteEnabled(false);
}

void MediaExplorerModule::buildModels(DeviceCommunicationManager *manager)
{
    if (manager) {
        _deviceDirModel = new ZBDeviceFileSystemModel(manager);
        _deviceDirModel->setObjectName(QStringLiteral("zbDeviceDirModel"));
        tvZbDeviceFolders->setModel(_deviceDirModel);
        tvZbDeviceFolders->setColumnWidth(0, 200);
        tvZbDeviceFolders->setColumnWidth(3, 140); // room for the title and a date in every language
        tvZbDeviceFolders->setDragEnabled(true);
        tvZbDeviceFolders->setAcceptDrops(true);
        tvZbDeviceFolders->setDropIndicatorShown(true);
        connect(_deviceDirModel, &ZBDeviceFileSystemModel::mimeDataDropped, this,
                &MediaExplorerModule::onMimeDataDroppedToDevice);
        connect(_deviceDirModel, &ZBDeviceFileSystemModel::fileSystemInitialized, this,
                &MediaExplorerModule::onDeviceFSInitialized);
        connect(_deviceDirModel, &ZBDeviceFileSystemModel::fetching, this, &MediaExplorerModule::onFileSystemFetching);
        // A listing the receiver did not give is said, not left to the connection's time-out.
        connect(_deviceDirModel, &ZBDeviceFileSystemModel::fetchFailed, this, &OmbrelayModule::appendStatusText);
        connectItemSelected(tvZbDeviceFolders);
        connect(tvZbDeviceFolders, &QWidget::customContextMenuRequested, this,
                &MediaExplorerModule::onZbDeviceTreeViewContextMenu);
        connect(tvZbDeviceFolders, &QAbstractItemView::doubleClicked, this,
                &MediaExplorerModule::onDeviceFoldersItemDoubleClick);
    }
    if (!_pcDirModel) {
        _pcDirModel = new PcFileSystemModel;
        _pcDirModel->setObjectName(QStringLiteral("_pcDirModel"));
        for (QTreeView *view : {static_cast<QTreeView *>(tvPcFolders), static_cast<QTreeView *>(tvPcSpecialFolders)}) {
            view->setModel(_pcDirModel);
            view->setColumnWidth(0, 200);
            view->setDragEnabled(true);
            view->setAcceptDrops(true);
            view->setDropIndicatorShown(true);
            view->sortByColumn(0, Qt::AscendingOrder);
        }
        connect(_pcDirModel, &PcFileSystemModel::mimeDataDropped, this, &MediaExplorerModule::onMimeDataDroppedPc);
        connect(_pcDirModel, &PcFileSystemModel::mimeDeviceDataDropped, this,
                &MediaExplorerModule::onMimeDataDroppedFromDevice);
        _pcDirModel->setRootPath(QString());
        connectItemSelected(tvPcFolders);
        connect(tvPcFolders, &QWidget::customContextMenuRequested, this, &MediaExplorerModule::onPcTreeViewContextMenu);
        connect(tvPcFolders->header(), &QHeaderView::sortIndicatorChanged, this,
                &MediaExplorerModule::onPcFoldersSortingChanged);
        // Both views show the one model, which has one order: each header shows the order the other set.
        connect(tvPcFolders->header(), &QHeaderView::sortIndicatorChanged, tvPcSpecialFolders->header(),
                &QHeaderView::setSortIndicator);
        connect(tvPcSpecialFolders->header(), &QHeaderView::sortIndicatorChanged, tvPcFolders->header(),
                &QHeaderView::setSortIndicator);
        connect(tvPcSpecialFolders, &MediaExplorerFileBrowser::goBackPossible, btnBrowserBack, &QWidget::setEnabled);
        connect(tvPcSpecialFolders, &MediaExplorerFileBrowser::goUpPossible, btnBrowserUp, &QWidget::setEnabled);
        connectItemSelected(tvPcSpecialFolders);
        connect(tvPcSpecialFolders, &QWidget::customContextMenuRequested, this,
                &MediaExplorerModule::onPcTreeViewContextMenu);
        connect(tvPcSpecialFolders, &MediaExplorerFileBrowser::currentPathChanged, this,
                &MediaExplorerModule::onPcSpecialFoldersCurrentPathChanged);
        _pcFoldersSortColumn = 0;
        _pcFoldersSortAscending = true;
        _pcDirModel->setFoldersInUse([this](const QModelIndex &folder) { return pcFolderInUse(folder); });
        // a change not read yet in a folder opened now is read at the pace of a folder in use
        connect(tvPcFolders, &QTreeView::expanded, _pcDirModel, &PcFileSystemModel::paceAgain);
    }
    _modelsPending = false;
}

// What the user sees and acts on: the folder the browser shows, the folders open in the tree, and the folders of
// the rows selected in the tree (the page acts on those, shown or not). The browser's rows in a folder it left, and
// a current row alone, hold nothing: a row clicked in a folder of 300,000 files kept it listed, and every later
// reading of any folder sorted it again.
bool MediaExplorerModule::pcFolderInUse(const QModelIndex &folder) const
{
    if (folder == tvPcSpecialFolders->rootIndex() || folder == tvPcFolders->rootIndex() ||
        tvPcFolders->isExpanded(folder))
        return true;
    if (const QItemSelectionModel *selection = tvPcFolders->selectionModel())
        for (const QItemSelectionRange &range : selection->selection())
            if (range.parent() == folder)
                return true;
    return false;
}

void MediaExplorerModule::catchUpViews()
{
    for (MediaExplorerTreeView *view :
         {static_cast<MediaExplorerTreeView *>(tvPcFolders), static_cast<MediaExplorerTreeView *>(tvPcSpecialFolders),
          static_cast<MediaExplorerTreeView *>(tvZbDeviceFolders)})
        view->catchUp();
}

// A view whose selection changes while the user works in another pane (a receiver folder listed again
// drops its rows) leaves the controls of the pane in use alone.
void MediaExplorerModule::connectItemSelected(MediaExplorerTreeView *view)
{
    connect(view, &MediaExplorerTreeView::itemSelected, this, [this, view](const QModelIndex &index) {
        const QTreeView *focused = focusedView();
        if (!focused || focused == view)
            setContextGUI(index);
    });
}

void MediaExplorerModule::setGeneralMode(bool on)
{
    if (_modelsPending)
        setCommunicationManager(nullptr);
    _generalMode = on;
    _activePane = on ? 1 : 0;
    mexTreesSplitter->setSizes(on ? QList<int>{0, 1} : QList<int>{1, 1});
    if (QSplitterHandle *handle = mexTreesSplitter->handle(1))
        handle->setEnabled(!on);
}

void MediaExplorerModule::onDeviceStateChange(const QString &state)
{
    _deviceState = state;
    btnRefreshDevice->hide();
    btnExplore->show();
    const bool disconnected = state == QLatin1String("disconnected");
    btnExplore->setEnabled(disconnected);
    if (disconnected && _deviceDirModel)
        _deviceDirModel->clearInitialized();
    if (disconnected || state == QLatin1String("disconnecting") || state == QLatin1String("connecting")) {
        setContextGUI(QModelIndex());
        deviceStackedWidget->setCurrentIndex(1);
    }
    if (disconnected)
        lblRefreshDevice->setText(tr("Device is disconnected. Press button to explore files and folders."));
    else if (state == QLatin1String("disconnecting"))
        lblRefreshDevice->setText(tr("Disconnecting from device..."));
    else
        lblRefreshDevice->setText(tr("Connecting to device..."));
    if (state == QLatin1String("connected") && !isBuffering() && _deviceDirModel)
        _deviceDirModel->initFileSystem();
    if (disconnected && _quitOnDisconnect)
        closeWindowWhenIdle();
}

void MediaExplorerModule::onDeviceFSInitialized(bool ok)
{
    if (ok) {
        deviceStackedWidget->setCurrentIndex(0);
        updateControlsFromSelection();
        return;
    }
    deviceStackedWidget->setCurrentIndex(1);
    btnExplore->hide();
    btnRefreshDevice->show();
    lblRefreshDevice->setText(tr("Ombrelay could not detect any storage device connected."));
}

void MediaExplorerModule::onFileSystemFetching(bool fetching)
{
    // While the receiver lists a folder its rows cannot be selected; once it has, the rows still selected
    // count again.
    if (!fetching)
        updateControlsFromSelection();
    btnRefresh->setEnabled(!fetching && !_busy);
    _actions->setEnabled(MediaExplorerActions::Refresh, !fetching);
    // The next touched folder is asked for once the model has finished with this listing.
    if (!fetching && !_devicesToRefresh.isEmpty())
        QMetaObject::invokeMethod(this, &MediaExplorerModule::refreshNextDeviceFolder, Qt::QueuedConnection);
}

void MediaExplorerModule::onBtnExplore()
{
    if (_deviceState == QLatin1String("connected")) {
        if (_deviceDirModel)
            _deviceDirModel->initFileSystem();
    } else if (auto *manager = qobject_cast<DVB24CommunicationManager *>(communicationManager())) {
        manager->startMill();
    }
}

void MediaExplorerModule::onBtnRefresh()
{
    if (_generalMode) {
        onRefreshFolderPc();
        return;
    }
    if (!tvZbDeviceFolders->isVisible()) {
        onBtnExplore();
        return;
    }
    if (_activePane != 2 || !_deviceDirModel || !_deviceDirModel->isInitialized())
        return;
    const QModelIndexList rows = deviceSelectedRows();
    if (rows.isEmpty())
        _deviceDirModel->reset();
    else if (_deviceDirModel->isVolume(rows.first()) || _deviceDirModel->isFolder(rows.first()))
        _deviceDirModel->refresh(rows.first());
    else
        _deviceDirModel->refresh(rows.first().parent());
    tvZbDeviceFolders->setFocus(Qt::OtherFocusReason);
}

void MediaExplorerModule::onRefreshFolderPc()
{
    if (tvPcSpecialFolders->isVisible())
        tvPcSpecialFolders->refreshCurrentFolder();
    else if (tvPcFolders->isVisible())
        tvPcFolders->refreshCurrentFolder();
}

void MediaExplorerModule::onBtnVideoPressed()
{
    _activePane = 1;
    btnMyComputer->setChecked(false);
    btnMusic->setChecked(false);
    btnPictures->setChecked(false);
    tvPcSpecialFolders->goToStandardFolder(2);
    wdgPcFolders->setCurrentIndex(1);
}

void MediaExplorerModule::onBtnPicturesPressed()
{
    _activePane = 1;
    btnMyComputer->setChecked(false);
    btnMusic->setChecked(false);
    btnVideo->setChecked(false);
    tvPcSpecialFolders->goToStandardFolder(1);
    wdgPcFolders->setCurrentIndex(1);
}

void MediaExplorerModule::onBtnMusicPressed()
{
    _activePane = 1;
    btnMyComputer->setChecked(false);
    btnVideo->setChecked(false);
    btnPictures->setChecked(false);
    tvPcSpecialFolders->goToStandardFolder(0);
    wdgPcFolders->setCurrentIndex(1);
}

void MediaExplorerModule::onBtnMyComputerPressed()
{
    _activePane = 1;
    btnVideo->setChecked(false);
    btnMusic->setChecked(false);
    btnPictures->setChecked(false);
    tvPcFolders->sortByColumn(_pcFoldersSortColumn, _pcFoldersSortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
    wdgPcFolders->setCurrentIndex(0);
}

void MediaExplorerModule::onPcFoldersSortingChanged(int column, Qt::SortOrder order)
{
    _pcFoldersSortColumn = column;
    _pcFoldersSortAscending = order == Qt::AscendingOrder;
}

void MediaExplorerModule::onPcSpecialFoldersCurrentPathChanged(const QString &path)
{
    if (_pcDirModel)
        _pcDirModel->paceAgain();
    txtBrowserAddress->setText(path);
    txtBrowserAddress->setCursorPosition(0);
    txtBrowserAddress->deselect();
    btnPictures->setChecked(false);
    btnMusic->setChecked(false);
    btnVideo->setChecked(false);
}

void MediaExplorerModule::onBrowserAddressChanged()
{
    tvPcSpecialFolders->setRootPath(txtBrowserAddress->text(), true);
}

void MediaExplorerModule::onBtnBrowserBackPressed()
{
    _activePane = 1;
    tvPcSpecialFolders->goBack();
}

void MediaExplorerModule::onBtnBrowserUpPressed()
{
    tvPcSpecialFolders->goUp();
}

void MediaExplorerModule::onShowPropertiesPanelAction()
{
    pnlPcFileProperties->setVisible(!pnlPcFileProperties->isVisible());
}

void MediaExplorerModule::onShowPropertiesPanelAction2()
{
    pnlBoxFileProperties->setVisible(!pnlBoxFileProperties->isVisible());
}

void MediaExplorerModule::onShow()
{
    OmbrelayModule::onShow();
    // Yes to All belongs to one job: a job still running keeps its answer.
    if (!_busy)
        _copyJob.end();
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (const QMimeData *data = clipboard->mimeData(QClipboard::Clipboard))
        if (data->hasFormat(QStringLiteral("text/zbdevice-uri-list")))
            clipboard->clear(QClipboard::Clipboard);
    if (_deviceState == QLatin1String("connected") && _deviceDirModel)
        _deviceDirModel->initFileSystem();
}

void MediaExplorerModule::closeEvent(QCloseEvent *event)
{
    if (_busy) {
        if (const auto *leaving = dynamic_cast<const ReceiverCloseEvent *>(event)) {
            // Only the receiver goes: its work here is stopped, the program goes on.
            const QString name = deviceInfo() ? deviceInfo()->labelWithAddress() : QString();
            if (!leaving->stopAgreed() &&
                !MessageBox::questionYesNo(
                    this,
                    tr("Ombrelay is processing data with %1. Do you want to stop it and remove the device?").arg(name),
                    MessageBox::No)) {
                event->ignore();
                return;
            }
            onBtnCancelTransfer();
            event->accept();
            _previewDir.reset();
            return;
        }
        if (GeneralUiInterface *ui = pageInterface())
            ui->setCurrentModule(this, true);
        if (MessageBox::questionYesNo(this, tr("Ombrelay is processing data. Do you want to stop and exit?"),
                                      MessageBox::No)) {
            _quitOnDisconnect = true;
            if (auto *manager = qobject_cast<DVB24CommunicationManager *>(communicationManager()))
                manager->requestClose();
            onBtnCancelTransfer();
        }
        event->ignore();
        return;
    }
    event->accept();
    _previewDir.reset();
}

// After "stop and exit" the window is closed again once the work has ended (and the receiver has let go).
void MediaExplorerModule::closeWindowWhenIdle()
{
    if (!_quitOnDisconnect || _busy)
        return;
    if (communicationManager() && !_generalMode && _deviceState != QLatin1String("disconnected"))
        return;
    _quitOnDisconnect = false;
    QTimer::singleShot(0, this, [this] {
        if (GeneralUiInterface *ui = pageInterface())
            ui->close();
    });
}

void MediaExplorerModule::changeEvent(QEvent *event)
{
    OmbrelayModule::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    retranslateUi(this);
    ZBDeviceFileSystemModel::initTypeCaches();
    showDatesInTheLanguage();
    _actions->retranslate();
}

// The models give dates as date-time values and the views write them out: in the language of the texts,
// not in the default locale the program keeps for the editors' numbers.
void MediaExplorerModule::showDatesInTheLanguage()
{
    const QLocale locale = languageLocale();
    for (QWidget *view : {static_cast<QWidget *>(tvZbDeviceFolders), static_cast<QWidget *>(tvPcFolders),
                          static_cast<QWidget *>(tvPcSpecialFolders)})
        view->setLocale(locale);
}

void MediaExplorerModule::setCopyEnabled(bool enabled)
{
    btnCopy->setEnabled(enabled);
    _actions->setEnabled(MediaExplorerActions::Copy, enabled);
}

void MediaExplorerModule::setCutEnabled(bool enabled)
{
    btnCut->setEnabled(enabled);
    _actions->setEnabled(MediaExplorerActions::Cut, enabled);
}

void MediaExplorerModule::setPasteEnabled(bool enabled)
{
    btnPaste->setEnabled(enabled);
    _actions->setEnabled(MediaExplorerActions::Paste, enabled);
}

void MediaExplorerModule::setDeleteEnabled(bool enabled)
{
    btnDelete->setEnabled(enabled);
    _actions->setEnabled(MediaExplorerActions::Delete, enabled);
}

void MediaExplorerModule::setNewFolderEnabled(bool enabled)
{
    _actions->setEnabled(MediaExplorerActions::NewFolder, enabled);
}

void MediaExplorerModule::setRefreshEnabled(bool enabled)
{
    // While the receiver lists a folder Refresh waits for it.
    const bool fetching = _deviceDirModel && _deviceDirModel->isFetching();
    _actions->setEnabled(MediaExplorerActions::Refresh, enabled && !fetching);
    btnRefresh->setEnabled(enabled && !fetching);
}

void MediaExplorerModule::setConvertEnabled(bool enabled, bool mkvOnly)
{
    btnTranscode->setEnabled(enabled);
    _actions->setConvertEnabled(enabled, mkvOnly);
}

void MediaExplorerModule::setControlsEnabled(bool enabled)
{
    mexTreesSplitter->setEnabled(enabled);
    setCopyEnabled(enabled);
    setCutEnabled(enabled);
    setPasteEnabled(enabled);
    btnRefresh->setEnabled(enabled);
    setDeleteEnabled(enabled);
    const bool jobEnded = _busy && enabled;
    _busy = !enabled;
    if (enabled) {
        if (jobEnded)
            returnFocusToPane();
        // Only what the selection allows: the end of a job never offers Delete for a drive.
        updateControlsFromSelection();
        closeWindowWhenIdle();
    }
}

bool MediaExplorerModule::shortcutAllowed() const
{
    return !_busy && isEnabled() && mexTreesSplitter->isEnabled() && isVisible();
}

// Each folder of the selection once, in the desktop's file manager.
void MediaExplorerModule::onOpenDirInExplorer()
{
    QStringList folders;
    for (const QModelIndex &row : selectedRows()) {
        const QFileInfo info = _pcDirModel->fileInfo(row);
        const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
        if (!folders.contains(folder))
            folders << folder;
    }
    for (const QString &folder : folders)
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void MediaExplorerModule::onDeviceFoldersItemDoubleClick(const QModelIndex &index)
{
    if (!_deviceDirModel || _busy)
        return;
    DeviceFileSystemItem *item = _deviceDirModel->itemFromIndex(index);
    if (!index.isValid() || !item->isFile())
        return;
    const QString ext = item->extension();
    static const QStringList pictures{"jpg", "png", "gif", "tif", "tiff"};
    if (!pictures.contains(ext))
        return;
    if (!_previewDir) {
        _previewDir = std::make_unique<QTemporaryDir>();
        if (!_previewDir->isValid()) {
            _previewDir.reset();
            return;
        }
    }
    // The name comes from the receiver: only its cleaned base name, kept inside the private folder.
    const QString base = safeReceiverName(item->name().section(u'.', 0, 0));
    const QString destination = pathInside(
        _previewDir->path(), QStringLiteral("%1%2.%3").arg(base).arg(item->lastModified().toSecsSinceEpoch()).arg(ext));
    if (destination.isEmpty())
        return;
    DeviceCall call(QStringLiteral("MEMCopyPreview"));
    call.setParameter(QStringLiteral("sourceFile"), QStringLiteral("file://") + item->fullPath());
    call.setParameter(QStringLiteral("destinationFile"), destination);
    call.setParameter(QStringLiteral("overwrite"), QStringLiteral("true"));
    call.setParameter(QStringLiteral("deleteSource"), QStringLiteral("false"));
    setControlsEnabled(false);
    runDeviceTask(call);
}
