#include "media/mediaexplorermodule.h"

#include "base/filehelpers.h"
#include "base/settings.h"
#include "device/core/devicecall.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/transfers/copyjobbuilders.h"
#include "device/transfers/copyjobfile.h"
#include "device/transfers/devicefilesystemitem.h"
#include "media/contextstate.h"
#include "media/mediaexplorerdevicetask.h"
#include "media/pcfilesystemmodel.h"
#include "media/zbdevicefilesystemmodel.h"
#include "modules/generaluiinterface.h"
#include "modules/modulefactory.h"
#include "widgets/messagebox.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QMenu>
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
    _progressScale = pgrStatus->maximum();

    const auto shortcut = [this](QKeySequence::StandardKey key, auto slot, QWidget *control) {
        auto *s = new QShortcut(QKeySequence(key), this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, [this, slot, control] {
            // A key starts only what the page's own button would start right now.
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

    _pcContextMenu = new QMenu;
    _deviceContextMenu = new QMenu;
    const QKeySequence::StandardKey none = QKeySequence::UnknownKey;
    _pcCopyAction = makeAction(tr("Copy"), QKeySequence::Copy);
    connect(_pcCopyAction, &QAction::triggered, this, &MediaExplorerModule::copyToClipboard);
    _deviceCopyAction = makeAction(tr("Copy"), QKeySequence::Copy);
    connect(_deviceCopyAction, &QAction::triggered, this, &MediaExplorerModule::copyToClipboard);
    _pcCutAction = makeAction(tr("Cut"), QKeySequence::Cut);
    connect(_pcCutAction, &QAction::triggered, this, &MediaExplorerModule::moveToClipboard);
    _deviceCutAction = makeAction(tr("Cut"), QKeySequence::Cut);
    connect(_deviceCutAction, &QAction::triggered, this, &MediaExplorerModule::moveToClipboard);
    _pcPasteAction = makeAction(tr("Paste"), QKeySequence::Paste);
    connect(_pcPasteAction, &QAction::triggered, this, &MediaExplorerModule::pasteFromClipboard);
    _devicePasteAction = makeAction(tr("Paste"), QKeySequence::Paste);
    connect(_devicePasteAction, &QAction::triggered, this, &MediaExplorerModule::pasteFromClipboard);
    _pcDeleteAction = makeAction(tr("Delete"), QKeySequence::Delete);
    connect(_pcDeleteAction, &QAction::triggered, this, &MediaExplorerModule::deleteSelectedFiles);
    _deviceDeleteAction = makeAction(tr("Delete"), QKeySequence::Delete);
    connect(_deviceDeleteAction, &QAction::triggered, this, &MediaExplorerModule::deleteSelectedFiles);
    _pcNewFolderAction = makeAction(tr("New folder"), none);
    connect(_pcNewFolderAction, &QAction::triggered, this, &MediaExplorerModule::onNewFolder);
    _deviceNewFolderAction = makeAction(tr("New folder"), none);
    connect(_deviceNewFolderAction, &QAction::triggered, this, &MediaExplorerModule::onNewFolder);
    _pcShowInExplorerAction = makeAction(tr("Show in explorer"), none);
    connect(_pcShowInExplorerAction, &QAction::triggered, this, &MediaExplorerModule::onOpenDirInExplorer);
    _pcRefreshAction = makeAction(tr("Refresh"), none);
    connect(_pcRefreshAction, &QAction::triggered, this, &MediaExplorerModule::onRefreshFolderPc);
    _deviceRefreshAction = makeAction(tr("Refresh"), none);
    connect(_deviceRefreshAction, &QAction::triggered, this, &MediaExplorerModule::onBtnRefresh);
    _pcPropertiesPanelAction = makeAction(tr("Hide properties panel"), none);
    connect(_pcPropertiesPanelAction, &QAction::triggered, this, &MediaExplorerModule::onShowPropertiesPanelAction);
    _devicePropertiesPanelAction = makeAction(tr("Hide properties panel"), none);
    connect(_devicePropertiesPanelAction, &QAction::triggered, this,
            &MediaExplorerModule::onShowPropertiesPanelAction2);

    _pcContextMenu->addAction(_pcShowInExplorerAction);
    _pcContextMenu->addSeparator();
    _pcContextMenu->addAction(_pcNewFolderAction);
    _pcContextMenu->addAction(_pcRefreshAction);
    _pcContextMenu->addSeparator();
    _pcContextMenu->addAction(_pcCutAction);
    _pcContextMenu->addAction(_pcCopyAction);
    _pcContextMenu->addAction(_pcPasteAction);
    _pcContextMenu->addSeparator();
    _pcContextMenu->addAction(_pcDeleteAction);
    _pcContextMenu->addSeparator();
    _convertMenu = new QMenu(tr("Convert to"), _pcContextMenu);
    _convertMp3Action = _convertMenu->addAction(QStringLiteral("MP3"));
    _convertMpgAction = _convertMenu->addAction(QStringLiteral("MPG"));
    _convertMkvAction = _convertMenu->addAction(QStringLiteral("MKV"));
    _convertDvdAction = _convertMenu->addAction(QStringLiteral("DVD"));
    _pcContextMenu->addMenu(_convertMenu);
    _pcContextMenu->addSeparator();
    _pcContextMenu->addAction(_pcPropertiesPanelAction);
    _deviceContextMenu->addAction(_deviceNewFolderAction);
    _deviceContextMenu->addAction(_deviceRefreshAction);
    _deviceContextMenu->addSeparator();
    _deviceContextMenu->addAction(_deviceCutAction);
    _deviceContextMenu->addAction(_deviceCopyAction);
    _deviceContextMenu->addAction(_devicePasteAction);
    _deviceContextMenu->addSeparator();
    _deviceContextMenu->addAction(_deviceDeleteAction);
    _deviceContextMenu->addSeparator();
    _deviceContextMenu->addAction(_devicePropertiesPanelAction);
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
    delete _pcContextMenu;
    delete _deviceContextMenu;
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

QAction *MediaExplorerModule::makeAction(const QString &text, QKeySequence::StandardKey key)
{
    auto *action = new QAction(text, this);
    if (key != QKeySequence::UnknownKey) {
        action->setShortcuts(key);
        // The page's own shortcuts carry these keys; the menu only shows them.
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    return action;
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
        tvZbDeviceFolders->setDragEnabled(true);
        tvZbDeviceFolders->setAcceptDrops(true);
        tvZbDeviceFolders->setDropIndicatorShown(true);
        connect(_deviceDirModel, &ZBDeviceFileSystemModel::mimeDataDropped, this,
                &MediaExplorerModule::onMimeDataDroppedToDevice);
        connect(_deviceDirModel, &ZBDeviceFileSystemModel::fileSystemInitialized, this,
                &MediaExplorerModule::onDeviceFSInitialized);
        connect(_deviceDirModel, &ZBDeviceFileSystemModel::fetching, this, &MediaExplorerModule::onFileSystemFetching);
        connect(tvZbDeviceFolders, &MediaExplorerTreeView::itemSelected, this, &MediaExplorerModule::setContextGUI);
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
        connect(tvPcFolders, &MediaExplorerTreeView::itemSelected, this, &MediaExplorerModule::setContextGUI);
        connect(tvPcFolders, &QWidget::customContextMenuRequested, this, &MediaExplorerModule::onPcTreeViewContextMenu);
        connect(tvPcFolders->header(), &QHeaderView::sortIndicatorChanged, this,
                &MediaExplorerModule::onPcFoldersSortingChanged);
        connect(tvPcSpecialFolders, &MediaExplorerFileBrowser::goBackPossible, btnBrowserBack, &QWidget::setEnabled);
        connect(tvPcSpecialFolders, &MediaExplorerFileBrowser::goUpPossible, btnBrowserUp, &QWidget::setEnabled);
        connect(tvPcSpecialFolders, &MediaExplorerTreeView::itemSelected, this, &MediaExplorerModule::setContextGUI);
        connect(tvPcSpecialFolders, &QWidget::customContextMenuRequested, this,
                &MediaExplorerModule::onPcTreeViewContextMenu);
        connect(tvPcSpecialFolders, &MediaExplorerFileBrowser::currentPathChanged, this,
                &MediaExplorerModule::onPcSpecialFoldersCurrentPathChanged);
        _pcFoldersSortColumn = 0;
        _pcFoldersSortAscending = true;
    }
    _modelsPending = false;
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
        return;
    }
    deviceStackedWidget->setCurrentIndex(1);
    btnExplore->hide();
    btnRefreshDevice->show();
    lblRefreshDevice->setText(tr("Ombrelay could not detect any storage device connected."));
}

void MediaExplorerModule::onFileSystemFetching(bool fetching)
{
    btnRefresh->setEnabled(!fetching && !_busy);
    _pcRefreshAction->setEnabled(!fetching);
    _deviceRefreshAction->setEnabled(!fetching);
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
    tvPcFolders->setLocale(QLocale(Settings::getString(Settings::PreferredLanguage, QStringLiteral("en_EN"))));
    retranslateActions();
}

void MediaExplorerModule::retranslateActions()
{
    for (QAction *a : {_pcCopyAction, _deviceCopyAction})
        a->setText(tr("Copy"));
    for (QAction *a : {_pcCutAction, _deviceCutAction})
        a->setText(tr("Cut"));
    for (QAction *a : {_pcPasteAction, _devicePasteAction})
        a->setText(tr("Paste"));
    for (QAction *a : {_pcDeleteAction, _deviceDeleteAction})
        a->setText(tr("Delete"));
    _pcShowInExplorerAction->setText(tr("Show in explorer"));
    for (QAction *a : {_pcRefreshAction, _deviceRefreshAction})
        a->setText(tr("Refresh"));
    for (QAction *a : {_pcNewFolderAction, _deviceNewFolderAction})
        a->setText(tr("New folder"));
    _convertMenu->setTitle(tr("Convert to"));
}

void MediaExplorerModule::setCopyEnabled(bool enabled)
{
    for (QObject *o : {static_cast<QObject *>(btnCopy), static_cast<QObject *>(_pcCopyAction),
                       static_cast<QObject *>(_deviceCopyAction)})
        o->setProperty("enabled", enabled);
}

void MediaExplorerModule::setCutEnabled(bool enabled)
{
    btnCut->setEnabled(enabled);
    _pcCutAction->setEnabled(enabled);
    _deviceCutAction->setEnabled(enabled);
}

void MediaExplorerModule::setPasteEnabled(bool enabled)
{
    btnPaste->setEnabled(enabled);
    _pcPasteAction->setEnabled(enabled);
    _devicePasteAction->setEnabled(enabled);
}

void MediaExplorerModule::setDeleteEnabled(bool enabled)
{
    _pcDeleteAction->setEnabled(enabled);
    _deviceDeleteAction->setEnabled(enabled);
    btnDelete->setEnabled(enabled);
}

void MediaExplorerModule::setNewFolderEnabled(bool enabled)
{
    _pcNewFolderAction->setEnabled(enabled);
    _deviceNewFolderAction->setEnabled(enabled);
}

void MediaExplorerModule::setRefreshEnabled(bool enabled)
{
    // While the receiver lists a folder Refresh waits for it.
    const bool fetching = _deviceDirModel && _deviceDirModel->isFetching();
    _pcRefreshAction->setEnabled(enabled && !fetching);
    _deviceRefreshAction->setEnabled(enabled && !fetching);
    btnRefresh->setEnabled(enabled && !fetching);
}

void MediaExplorerModule::setConvertEnabled(bool enabled, bool mkvOnly)
{
    btnTranscode->setEnabled(enabled);
    _convertMenu->setEnabled(enabled);
    _convertMpgAction->setVisible(!mkvOnly);
    _convertDvdAction->setVisible(!mkvOnly);
    _convertMkvAction->setVisible(mkvOnly);
}

void MediaExplorerModule::setShowInExplorerVisible(bool visible)
{
    const QList<QAction *> entries = _pcContextMenu->actions();
    if (entries.size() < 2)
        return;
    entries.at(0)->setVisible(visible);
    entries.at(1)->setVisible(visible);
}

void MediaExplorerModule::setControlsEnabled(bool enabled)
{
    mexTreesSplitter->setEnabled(enabled);
    setCopyEnabled(enabled);
    setCutEnabled(enabled);
    setPasteEnabled(enabled);
    btnRefresh->setEnabled(enabled);
    setDeleteEnabled(enabled);
    _busy = !enabled;
    if (enabled)
        closeWindowWhenIdle();
}

bool MediaExplorerModule::shortcutAllowed() const
{
    return !_busy && isEnabled() && mexTreesSplitter->isEnabled() && isVisible();
}

static bool clipboardHas(const QString &format)
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data && data->hasFormat(format);
}

void MediaExplorerModule::setContextGUI(const QModelIndex &index)
{
    setCutEnabled(false);
    setCopyEnabled(false);
    setDeleteEnabled(false);
    setPasteEnabled(false);
    setRefreshEnabled(false);
    setNewFolderEnabled(false);
    setConvertEnabled(false, false);
    btnRefresh->setEnabled(tvZbDeviceFolders->hasFocus() && _deviceDirModel && _deviceDirModel->isInitialized());
    const bool pcIndex =
        index.isValid() && index.model() && index.model()->objectName() == QLatin1String("_pcDirModel");
    _activePane = pcIndex || _generalMode ? 1 : 2;
    setShowInExplorerVisible(_activePane == 1 && index.isValid());
    _pcPropertiesPanelAction->setEnabled(_activePane == 1 && index.isValid());
    const QString uris = QStringLiteral("text/uri-list");
    const QString zbUris = QStringLiteral("text/zbdevice-uri-list");

    if (!tvPcFolders->hasFocus() && !tvPcSpecialFolders->hasFocus()) {
        if (!tvZbDeviceFolders->hasFocus() || !index.isValid() || !_deviceDirModel)
            return;
        _devicePropertiesPanelAction->setText(pnlBoxFileProperties->isVisible() ? tr("Hide Properties Panel")
                                                                                : tr("Show Properties Panel"));
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
    _pcPropertiesPanelAction->setText(pnlPcFileProperties->isVisible() ? tr("Hide Properties Panel")
                                                                       : tr("Show Properties Panel"));
    const QString path = target.isValid() ? _pcDirModel->filePath(target) : QString();
    const ContextState s = ContextState::forPc(path, hasItem, target.isValid(), tvPcSpecialFolders->isVisible(),
                                               clipboardHas(uris) || clipboardHas(zbUris));
    setCopyEnabled(s.copy);
    setCutEnabled(s.cut);
    setDeleteEnabled(s.remove);
    setNewFolderEnabled(s.newFolder);
    setPasteEnabled(s.paste);
    setRefreshEnabled(s.refresh);
    _pcShowInExplorerAction->setEnabled(target.isValid());
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
        if (!view->isVisible() || !view->selectionModel())
            continue;
        const QModelIndexList rows = view->selectionModel()->selectedRows(0);
        if (!rows.isEmpty())
            txtPcFileType->setText(_pcDirModel->data(rows.first().sibling(rows.first().row(), 2)).toString());
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
    QTreeView *view = tvPcFolders->hasFocus()          ? static_cast<QTreeView *>(tvPcFolders)
                      : tvPcSpecialFolders->hasFocus() ? static_cast<QTreeView *>(tvPcSpecialFolders)
                                                       : nullptr;
    setContextGUI(view ? view->indexAt(pos) : QModelIndex());
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

QModelIndexList MediaExplorerModule::selectedRows() const
{
    QTreeView *view = tvPcFolders->isVisible()          ? static_cast<QTreeView *>(tvPcFolders)
                      : tvPcSpecialFolders->isVisible() ? static_cast<QTreeView *>(tvPcSpecialFolders)
                                                        : nullptr;
    return view && view->selectionModel() ? view->selectionModel()->selectedRows(0) : QModelIndexList();
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

bool MediaExplorerModule::copyToClipboard()
{
    QMimeData *data = nullptr;
    if (_activePane == 1 && _pcDirModel) {
        const QModelIndexList rows = selectedRows();
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

// A paste moves only what this Cut put there: anything copied to the clipboard since is only copied.
void MediaExplorerModule::moveToClipboard()
{
    if (!copyToClipboard())
        return;
    // The clipboard owns it; the pointer clears itself when anything else replaces it.
    _cutData = const_cast<QMimeData *>(QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard));
    _moveOnPaste = true;
}

void MediaExplorerModule::onClipboardChanged()
{
    if (tvPcFolders->hasFocus())
        setPasteEnabled(clipboardHas(QStringLiteral("text/uri-list")) ||
                        clipboardHas(QStringLiteral("text/zbdevice-uri-list")));
    else if (tvZbDeviceFolders->hasFocus())
        setPasteEnabled(clipboardHas(QStringLiteral("text/uri-list")));
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
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data || _busy)
        return true;
    const QString uris = QStringLiteral("text/uri-list");
    const QString zbUris = QStringLiteral("text/zbdevice-uri-list");
    if (_moveOnPaste && data != _cutData)
        _moveOnPaste = false;
    if (_activePane == 1 && _pcDirModel) {
        const QString destination = pcDestination();
        if (destination.isEmpty())
            return true;
        // One prepare per paste: the PC list first when the clipboard carries both.
        if (data->hasFormat(uris))
            prepareCopyPcToPc(destination, QString::fromUtf8(data->data(uris)));
        else if (data->hasFormat(zbUris))
            prepareCopyDeviceToPc(destination, QString::fromUtf8(data->data(zbUris)));
    } else if (_activePane == 2 && _deviceDirModel && data->hasFormat(uris)) {
        const QModelIndexList rows = deviceSelectedRows();
        if (rows.isEmpty())
            return true;
        const QModelIndex first = rows.first();
        const bool container = _deviceDirModel->isFolder(first) || _deviceDirModel->isVolume(first);
        const QModelIndex destination = container ? first : first.parent();
        const bool refreshItself = _deviceDirModel->isFolder(first) && _deviceDirModel->hasChildren(first);
        _touchedDeviceIndexes.clear();
        enterTouched(refreshItself ? first : first.parent());
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
    enterTouched(tvZbDeviceFolders->isExpanded(target) ? target : target.parent());
    _moveOnPaste = false;
    prepareCopyPcToDevice(destinationDir, fileUris);
}

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

static QString deleteQuestion(int count, const QString &name)
{
    return count < 2 ? MediaExplorerModule::tr("Are you sure you want to delete %1?").arg(name)
                     : MediaExplorerModule::tr("Are you sure you want to delete these %1 items?").arg(count);
}

void MediaExplorerModule::deleteSelectedFiles()
{
    if (_busy)
        return;
    const QModelIndexList pcRows = selectedRows();
    const QModelIndexList deviceRows = deviceSelectedRows();
    if (_activePane == 1 && !pcRows.isEmpty() && _pcDirModel) {
        if (!MessageBox::questionYesCancel(
                this, deleteQuestion(int(pcRows.size()), _pcDirModel->fileName(pcRows.first())), MessageBox::Cancel))
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
    } else if (_activePane == 2 && !deviceRows.isEmpty() && _deviceDirModel) {
        _touchedDeviceIndexes.clear();
        for (const QModelIndex &row : deviceRows)
            enterTouched(row.parent());
        if (!MessageBox::questionYesCancel(
                this, deleteQuestion(int(deviceRows.size()), _deviceDirModel->fileName(deviceRows.first())),
                MessageBox::Cancel)) {
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
    if (_busy)
        return;
    const QModelIndexList deviceRows = deviceSelectedRows();
    const QModelIndexList pcRows = selectedRows();
    QInputDialog dialog(this, Qt::Dialog | Qt::FramelessWindowHint);
    dialog.setLabelText(tr("New folder name:"));
    dialog.setOkButtonText(tr("Ok"));
    dialog.setCancelButtonText(tr("Cancel"));
    if (MessageBox::execDialog(&dialog) != QDialog::Accepted || dialog.textValue().isEmpty())
        return;
    const QString name = dialog.textValue();
    const QString refused = tr("Ombrelay cannot create a folder named \"%1\". Please choose another name.")
                                .arg(DeviceFileSystemItem::stripControlChars(name));
    if (_activePane == 2 && !deviceRows.isEmpty() && _deviceDirModel) {
        const QModelIndex first = deviceRows.first();
        const QModelIndex target = _deviceDirModel->isFolder(first) ? first : first.parent();
        if (!target.isValid())
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
    }
}

void MediaExplorerModule::refreshDeviceAfterDelete(bool clearList)
{
    setContextGUI(QModelIndex());
    const QList<QPersistentModelIndex> touched = _touchedDeviceIndexes;
    for (const QPersistentModelIndex &index : touched)
        if (index.isValid() && _deviceDirModel && index.model() == _deviceDirModel.data())
            _deviceDirModel->refresh(index);
    if (clearList)
        _touchedDeviceIndexes.clear();
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
        if (method == QLatin1String("MEMCopyDeviceToPc"))
            refreshDeviceAfterDelete(false);
        finishTask(task);
        runNextCopy();
        if (method == QLatin1String("MEMCopyPcToDevice"))
            refreshDeviceAfterDelete(false);
        return;
    } else if (method == QLatin1String("MEMdeleteDeviceFiles") || method == QLatin1String("MEMdeletePcFiles")) {
        if (!task->result().isEmpty())
            MessageBox::warning(this, tr("Ombrelay could not delete these files:\n%1").arg(task->result()));
        if (method == QLatin1String("MEMdeleteDeviceFiles") && !ok)
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
    onRefreshFolderPc();
    _transfer.start(0, 0, _progressScale);
    frStatusBar->hide();
    _copyJob.end();
    if (_moveOnPaste) {
        QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
        _cutData.clear();
    }
    _moveOnPaste = false;
    _cancelRequested = false;
    _offlineManager.stop();
    setControlsEnabled(true);
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
    setContextGUI(QModelIndex());
}

// An interrupted request ends without a completion: the job ends here, nothing is left waiting.
void MediaExplorerModule::onTaskCanceled(DeviceTask *task)
{
    const bool failed = task->property("failed").toBool();
    finishTask(task);
    if (failed)
        return;
    _copyJob.clear();
    onEndCopy();
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
    } else {
        _offlineManager.stop();
    }
    _copyJob.clear();
    _cancelRequested = _busy;
    if (!_busy)
        closeWindowWhenIdle();
}
