#pragma once

#include "device/offline/offlinecommunicationmanager.h"
#include "media/avtranscoder.h"
#include "media/copyjobrunner.h"
#include "media/transferprogress.h"
#include "modules/ombrelaymodule.h"
#include "ui_mediaexplorermodule.h"

#include <QElapsedTimer>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTime>

#include <memory>

class DeviceCall;
class DeviceFileSystemItem;
class DeviceTask;
class MediaExplorerActions;
class PcFileSystemModel;
class QAction;
class QFileInfo;
class QMenu;
class QMimeData;
class QShortcut;
class QTemporaryDir;
class ZBDeviceFileSystemModel;

// The media explorer page: a receiver's drives beside the PC's folders (only the PC in general mode),
// with copies both ways and within the PC, deletion, new folders and previews.
class MediaExplorerModule : public OmbrelayModule, public Ui::MediaExplorerModule
{
    Q_OBJECT
public:
    explicit MediaExplorerModule(QWidget *parent = nullptr);
    ~MediaExplorerModule() override;

    ModuleTypes moduleType() const override { return TypeMediaExplorer; }
    void retranslate() override;
    void setCommunicationManager(DeviceCommunicationManager *manager) override;
    void onShow() override;
    void setGeneralMode(bool on);

    bool isBusy() const { return _busy; }
    int activePane() const { return _activePane; }
    ZBDeviceFileSystemModel *deviceModel() const;
    PcFileSystemModel *pcModel() const;
    QMenu *pcContextMenu() const { return _pcContextMenu; }
    QMenu *deviceContextMenu() const { return _deviceContextMenu; }

    // Registers the page with the module factory (receiver pages and the main window's general page).
    static void registerModule();

public slots:
    void onDeviceStateChange(const QString &state) override;
    bool copyToClipboard();
    void moveToClipboard();
    bool pasteFromClipboard();
    void deleteSelectedFiles();
    void onNewFolder();
    void setContextGUI(const QModelIndex &index);
    void onBtnCancelTransfer();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private slots:
    void onBrowserAddressChanged();
    void onBtnBrowserBackPressed();
    void onBtnBrowserUpPressed();
    void onBtnExplore();
    void onBtnMusicPressed();
    void onBtnMyComputerPressed();
    void onBtnPicturesPressed();
    void onBtnVideoPressed();
    void onClipboardChanged();
    void onDeviceFSInitialized(bool ok);
    void onFileSystemFetching(bool fetching);
    void onMimeDataDroppedPc(const QString &destinationDir, const QString &fileUris);
    void onMimeDataDroppedFromDevice(const QString &destinationDir, const QString &fileUris);
    void onMimeDataDroppedToDevice(const QString &destinationDir, const QString &fileUris, const QModelIndex &target);
    void onOpenDirInExplorer();
    void onPcFoldersSortingChanged(int column, Qt::SortOrder order);
    void onPcSpecialFoldersCurrentPathChanged(const QString &path);
    void onBtnRefresh();
    void onRefreshFolderPc();
    void onShowPropertiesPanelAction();
    void onShowPropertiesPanelAction2();
    void onZbDeviceTreeViewContextMenu(const QPoint &pos);
    void onPcTreeViewContextMenu(const QPoint &pos);
    void onDeviceFoldersItemDoubleClick(const QModelIndex &index);
    void onTaskCompleted(DeviceTask *task, bool ok);
    void onTaskError(DeviceTask *task, const QString &message);
    void onTaskProgress(DeviceTask *task, qint64 delta);
    void onTaskCanceled(DeviceTask *task);
    void onEndCopy();
    void keepWhatStayed(const QStringList &leftSources);
    static QStringList removeEmptiedFolders(const QStringList &folders, const QStringList &named);
    void refreshDeviceAfterDelete(bool clearList);
    void refreshNextDeviceFolder();
    void onTranscodeStarted();
    void onTranscodeProgress(qint64 done, qint64 total);
    void onTranscodeError(const QString &text);
    void onTranscodeFinished(int exitCode);
    void onTranscodePressedMP3();
    void onTranscodePressedMPG();
    void onTranscodePressedMKV();
    void onTranscodePressedDVD();

private:
    void buildModels(DeviceCommunicationManager *manager);
    void connectItemSelected(MediaExplorerTreeView *view);
    void setCopyEnabled(bool enabled);
    void setCutEnabled(bool enabled);
    void setPasteEnabled(bool enabled);
    void setDeleteEnabled(bool enabled);
    void setNewFolderEnabled(bool enabled);
    void setRefreshEnabled(bool enabled);
    void setConvertEnabled(bool enabled, bool mkvOnly);
    void setControlsEnabled(bool enabled);
    bool shortcutAllowed() const;
    QTreeView *focusedView() const;
    QTreeView *paneView() const;
    void returnFocusToPane();
    bool isPcView(const QTreeView *view) const;
    void applyContext(const QModelIndex &index, QTreeView *view);
    void updateControlsFromSelection();
    QModelIndex rowWorkedOn(const QTreeView *view) const;
    void catchUpViews();
    bool pcFolderInUse(const QModelIndex &folder) const;
    void showDatesInTheLanguage();
    bool selectionProtected() const;
    static bool clipboardHas(const QString &format);
    bool paneFocused(const QWidget *view) const;
    QModelIndexList selectedRows() const;
    QModelIndexList deviceSelectedRows() const;
    QString pcDestination() const;
    void enterTouched(const QModelIndex &index);
    void prepareCopyPcToPc(const QString &destinationDir, const QString &fileUris);
    void prepareCopyDeviceToPc(const QString &destinationDir, const QString &fileUris);
    void prepareCopyPcToDevice(const QString &destinationDir, const QString &fileUris);
    void showWaitStatus(const QString &text);
    void runDeviceTask(const DeviceCall &call);
    void runOfflineTask(const DeviceCall &call);
    void runTask(DeviceCommunicationManager *manager, const DeviceCall &call);
    void finishTask(DeviceTask *task);
    void runNextCopy();
    void startTransferStatus(const QString &text, qint64 done, qint64 total);
    void showDeviceItemProperties(DeviceFileSystemItem *item);
    void showPcFileProperties(const QFileInfo &info);
    void closeWindowWhenIdle();
    void connectConversion();
    void startConversion(int type);
    void chooseConversionTarget(int type);
    void endConversionStatus();

    QElapsedTimer _progressClock;
    int _pcFoldersSortColumn = 0;
    bool _pcFoldersSortAscending = false;
    bool _quitOnDisconnect = false;
    bool _moveOnPaste = false;
    bool _modelsPending = true;
    bool _busy = false;
    // Cancel was pressed while a request ran: a prepared job that still comes starts nothing.
    bool _cancelRequested = false;
    bool _generalMode = false;
    OfflineCommunicationManager _offlineManager;
    QPointer<PcFileSystemModel> _pcDirModel;
    int _progressScale = 1000;
    TransferProgress _transfer;
    QPointer<ZBDeviceFileSystemModel> _deviceDirModel;
    // Persistent, so a folder re-listed or removed meanwhile is skipped instead of misused.
    QList<QPersistentModelIndex> _touchedDeviceIndexes;
    // Touched receiver folders still to be listed, one after the other.
    QList<QPersistentModelIndex> _devicesToRefresh;
    int _activePane = 0;
    CopyJobRunner _copyJob;
    QString _selectedPcFile;
    // Sources a move copied but could not delete (receiver or PC paths), named when the job ends.
    QStringList _keptSources;
    AVTranscoder _transcoder;
    // Cancel killed the running conversion: its ending shows no message.
    bool _conversionCancelled = false;
    QElapsedTimer _transferTime;
    QString _deviceState = QStringLiteral("disconnected");
    // The payload Cut put on the clipboard: a paste moves only while the clipboard still holds it.
    QPointer<QMimeData> _cutData;
    // The receiver folders the rows of that Cut lie in: each paste that moves from them lists them again.
    QList<QPersistentModelIndex> _cutDeviceFolders;
    // Private to this page and removed when it closes.
    std::unique_ptr<QTemporaryDir> _previewDir;

    QMenu *_pcContextMenu = nullptr;
    QMenu *_deviceContextMenu = nullptr;
    // The menus and convert actions belong to _actions.
    MediaExplorerActions *_actions = nullptr;
    QMenu *_convertMenu = nullptr;
    QAction *_convertMp3Action = nullptr;
    QAction *_convertMpgAction = nullptr;
    QAction *_convertMkvAction = nullptr;
    QAction *_convertDvdAction = nullptr;
    QShortcut *_copyShortcut = nullptr;
    QShortcut *_cutShortcut = nullptr;
    QShortcut *_pasteShortcut = nullptr;
    QShortcut *_deleteShortcut = nullptr;
};
