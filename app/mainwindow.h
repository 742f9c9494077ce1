#pragma once

#include "app/swindow.h"
#include "devices/zbdeviceitemmodel.h"
#include "modules/generaluiinterface.h"
#include "modules/ombrelaymodule.h"

#include <QList>
#include <QMetaObject>
#include <QPointer>
#include <QSet>
#include <QTranslator>

#include <memory>

class HandOverQueue;
class QAction;
class QGridLayout;
class QMenu;
class SettingsPage;
class DevicePropertiesModule;
class ZBDevice;
class ZBDeviceCollection;
class ZBDeviceInfo;
namespace Ui {
class MainWindow;
}

// The program's one top-level window: a frameless window with three pages (the main view with the
// receiver tree, the module area and the receiver banner; the settings page; the about page). It hosts
// one module page at a time and is the page interface through which modules reach the window.
class MainWindow : public SWindow, public GeneralUiInterface
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // GeneralUiInterface
    bool close() override;
    void setCurrentModule(OmbrelayModule *module, bool showBanner) override;
    void notifyModuleMessage(OmbrelayModule *module) override;

    // The window's generated form: its pages, buttons and the receiver tree.
    Ui::MainWindow *form() const { return ui.get(); }
    QTranslator *translator() { return &m_translator; }
    OmbrelayModule *currentModule() const { return m_currentModule; }
    OmbrelayModule *newDeviceModule() const { return m_newDeviceModule; }
    OmbrelayModule *generalMediaExplorer() const { return m_generalMediaExplorer; }
    SettingsPage *settingsPage() const { return m_settingsPage; }
    ZBDeviceCollection *collection() const { return m_collection; }
    ZBDeviceItemModel *treeModel() { return &m_treeModel; }
    quint32 currentDeviceId() const { return m_currentDeviceId; }

    void showModule(quint32 deviceId, int moduleType);
    void selectTreeItem(quint32 deviceId, int moduleType);
    void removeDevice(quint32 deviceId);
    void rebuildDeviceTree();
    void updateDevicePanel(ZBDevice *device);
    void showNewDevice(const ZBDeviceInfo *info, bool existingNodes);
    // The receiver's picture resource, by model name, with the TV and receiver fallbacks.
    static QString devicePicturePath(const ZBDeviceInfo &info);

    // Whether a file handed over by a later start would be opened: not from the close request on.
    bool takesHandOver() const { return !m_closing; }

    // Checks the language button of lang ("en_EN", "de_DE", "pl_PL"); English when none matches.
    void selectLanguageButton(const QString &lang);
    // The manual of the stored language, under the program's folder.
    static QString helpFilePath();

public slots:
    void gotoAbout() override;
    void gotoHelp();
    void gotoMainView() override;
    void gotoSettings() override;
    void showInfoBanner(bool show);
    void showMediaExplorerGeneral();
    void showPropertiesPanel();
    void showSearchDevicePanel();
    void tryToOpenFile(const QString &path);
    void onCommand(const QString &command) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void changeEvent(QEvent *event) override;

private slots:
    void onGoBackRequest(quint32 id);
    void onSaveDeviceInfoRequest(const ZBDeviceInfo &info, bool addressChanged);
    void onRemoveDevicePropertiesPanelRequest(quint32 id);
    void onPropertiesModuleRequest(OmbrelayModule::ModuleTypes type);
    void onAddNewDeviceRequest(const ZBDeviceInfo *info);
    void onNoNewDeviceAddedRequest();
    void onDeviceItemChanged(const QModelIndex &current, const QModelIndex &previous);
    void onDeviceItemPressed(const QModelIndex &index);
    void onDeviceStateChange(const ZBDevice *device, const QString &state);
    void onDeviceConnectionLost(const ZBDevice *device);
    void onDeviceConnectionFailed(const ZBDevice *device);
    void onActionDisconnect();
    void removeSelectedDevice();
    void removeAllDevices();
    void onTvDevicesMenuRequest(const QPoint &pos);
    void onDeviceShareNameChanged(int id, const QString &shareName);
    void onDeviceProtolVersionChanged(int id, float version);

private:
    void retranslateActions();
    // Whether a question or dialog of the program is open (the window itself is modal, so it does not count).
    bool questionOpen() const;
    // Asks the receiver's pages to let it go as a receiver that leaves the list; a worker busy with their
    // work is stopped only when the user agrees. False when the receiver stays.
    bool releaseReceiverPages(quint32 id);

    std::unique_ptr<Ui::MainWindow> ui;
    // The receivers announce "disconnecting" while the window's children are destroyed: these are cut
    // first, and only these, so nothing reaches the half-destroyed window.
    QList<QMetaObject::Connection> m_collectionConnections;
    // The shown start page asking for its receiver's other pages; cut when another page is shown.
    QMetaObject::Connection m_startPageRequest;
    QAction *m_connectAction = nullptr;
    QAction *m_menuSeparator = nullptr;
    QAction *m_propertiesAction = nullptr;
    QAction *m_removeAction = nullptr;
    QAction *m_removeAllAction = nullptr;
    quint32 m_currentDeviceId = 0;
    QPointer<OmbrelayModule> m_currentModule;
    // Receivers disconnected only to be connected again at a changed address.
    QSet<quint32> m_reconnectPending;
    // Files handed over by later starts while a question was open: opened once nothing is asked any more.
    HandOverQueue *m_handOver = nullptr;
    // From the close request until it is refused, and after the window closed.
    bool m_closing = false;
    // Receivers the user asked to connect, until they connect or the attempt has failed.
    QSet<quint32> m_connectRequested;
    // Receivers whose lost link is being told right now: one loss, one message.
    QSet<quint32> m_lossShown;
    QPointer<DevicePropertiesModule> m_propertiesModule;
    ZBDeviceCollection *m_collection = nullptr;
    QMenu *m_treeMenu = nullptr;
    ZBDeviceItemModel m_treeModel;
    QWidget *m_pageContainer = nullptr;
    QGridLayout *m_pageLayout = nullptr;
    QPointer<OmbrelayModule> m_newDeviceModule;
    QPointer<OmbrelayModule> m_generalMediaExplorer;
    QTranslator m_translator;
    SettingsPage *m_settingsPage = nullptr;
};
