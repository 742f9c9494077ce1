#include "app/mainwindow.h"

#include "app/handoverqueue.h"
#include "app/pdfviewer.h"
#include "app/settingspage.h"
#include "base/settings.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/devicepropertiesmodule.h"
#include "devices/deviceselectdialog.h"
#include "devices/receivercloseevent.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "lists/listsmoduleshared.h"
#include "modules/modulefactory.h"
#include "ui_mainwindow.h"
#include "widgets/messagebox.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QRadioButton>
#include <QResource>
#include <QScopeGuard>

MainWindow::MainWindow(QWidget *parent)
    : SWindow(parent)
    , ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);
    ui->label_9->setText(QStringLiteral(OMBRELAY_VERSION " Beta"));

    // The settings page is a form of its own; it takes the place the window's form keeps for it.
    m_settingsPage = new SettingsPage;
    QWidget *settingsPlace = ui->appStackedWidget->widget(1);
    ui->appStackedWidget->insertWidget(1, m_settingsPage);
    ui->appStackedWidget->removeWidget(settingsPlace);
    delete settingsPlace;
    ui->Settings = m_settingsPage;
    m_settingsPage->setTranslator(&m_translator);
    ui->appStackedWidget->setCurrentIndex(0);

    m_collection = new ZBDeviceCollection(this);
    m_newDeviceModule = ModuleFactory::createWindowPage(OmbrelayModule::TypeNewDevice, this, m_collection);
    m_generalMediaExplorer = ModuleFactory::createWindowPage(OmbrelayModule::TypeMediaExplorer, this, nullptr);
    m_collection->load();

    m_collectionConnections = {
        connect(m_collection, &ZBDeviceCollection::DeviceStateChanged, this, &MainWindow::onDeviceStateChange),
        connect(m_collection, &ZBDeviceCollection::NoDeviceAdded, this, &MainWindow::onNoNewDeviceAddedRequest),
        connect(m_collection, &ZBDeviceCollection::DeviceAdded, this, &MainWindow::onAddNewDeviceRequest),
        connect(m_collection, &ZBDeviceCollection::DeviceShareNameChanged, this, &MainWindow::onDeviceShareNameChanged),
        connect(m_collection, &ZBDeviceCollection::DeviceProtolVersionchanged, this,
                &MainWindow::onDeviceProtolVersionChanged),
        connect(m_collection, &ZBDeviceCollection::DeviceConnectionLost, this, &MainWindow::onDeviceConnectionLost),
        connect(m_collection, &ZBDeviceCollection::DeviceConnectionFailed, this,
                &MainWindow::onDeviceConnectionFailed)};

    m_connectAction = new QAction(tr("Disconnect"), ui->tvDevices);
    m_removeAction = new QAction(tr("Remove"), ui->tvDevices);
    m_propertiesAction = new QAction(tr("Properties"), ui->tvDevices);
    m_removeAllAction = new QAction(tr("Remove All"), ui->tvDevices);
    m_treeMenu = new QMenu(ui->tvDevices);
    m_treeMenu->addAction(m_connectAction);
    m_menuSeparator = m_treeMenu->addSeparator();
    m_treeMenu->addAction(m_removeAction);
    m_treeMenu->addAction(m_removeAllAction);
    m_treeMenu->addSeparator();
    m_treeMenu->addAction(m_propertiesAction);

    rebuildDeviceTree();
    ui->tvDevices->setModel(&m_treeModel);

    connect(ui->tvDevices->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &MainWindow::onDeviceItemChanged);
    connect(ui->tvDevices, &QAbstractItemView::pressed, this, &MainWindow::onDeviceItemPressed);
    if (m_newDeviceModule) {
        // The add-device page's class lives above this layer; its two requests are connected by name.
        const QMetaObject *meta = m_newDeviceModule->metaObject();
        if (meta->indexOfSignal("addNewDeviceRequest(ZBDeviceInfo)") >= 0)
            connect(m_newDeviceModule, SIGNAL(addNewDeviceRequest(ZBDeviceInfo)), m_collection,
                    SLOT(append(ZBDeviceInfo)), Qt::UniqueConnection);
        if (meta->indexOfSignal("addNewDeviceListRequest(QList<ZBDeviceInfo>)") >= 0)
            connect(m_newDeviceModule, SIGNAL(addNewDeviceListRequest(QList<ZBDeviceInfo>)), m_collection,
                    SLOT(append(QList<ZBDeviceInfo>)));
    }
    connect(m_connectAction, &QAction::triggered, this, &MainWindow::onActionDisconnect);
    connect(m_removeAction, &QAction::triggered, this, &MainWindow::removeSelectedDevice);
    connect(m_removeAllAction, &QAction::triggered, this, &MainWindow::removeAllDevices);
    connect(m_propertiesAction, &QAction::triggered, this, &MainWindow::showPropertiesPanel);
    connect(ui->tvDevices, &QWidget::customContextMenuRequested, this, &MainWindow::onTvDevicesMenuRequest);
    connect(ui->btnConnectDevice, &QAbstractButton::pressed, this, &MainWindow::onActionDisconnect);
    connect(ui->btnAddDevice, &QAbstractButton::pressed, this, &MainWindow::showSearchDevicePanel);
    connect(ui->btnMediaExplorer, &QAbstractButton::pressed, this, &MainWindow::showMediaExplorerGeneral);
    connect(m_settingsPage->settingsBackButton, &QAbstractButton::clicked, this, &MainWindow::gotoMainView);
    connect(m_settingsPage, &SettingsPage::languageChanged, this, [this] {
        m_collection->retranslateAll();
        retranslateActions();
    });
    m_settingsPage->setDeviceListSource([this] {
        QList<DeviceListEntry> entries;
        for (int i = 0; i < m_collection->count(); ++i) {
            const ZBDevice *device = m_collection->at(i);
            // The label, so a receiver without a given name is not an empty line.
            entries.append(DeviceListEntry{device->id(), device->info().label()});
        }
        return entries;
    });
    connect(m_settingsPage, &SettingsPage::removeDevicesRequest, this, [this](const QList<quint32> &ids) {
        // Each receiver's pages are asked first; one that refuses keeps its receiver.
        for (quint32 id : ids) {
            if (releaseReceiverPages(id))
                removeDevice(id);
        }
        m_collection->save();
        m_settingsPage->fillDevicesList();
    });
    connect(ui->helpBackButton, &QAbstractButton::clicked, this, &MainWindow::gotoMainView);

    for (TopRightWidget *titleBar : {ui->topRightWidget, m_settingsPage->topRightWidget_2, ui->topRightWidget_3})
        titleBar->setWindow(this);

    m_collection->connectAll();
    ui->tvDevices->expandAll();
    if (m_collection->count() == 0) {
        showSearchDevicePanel();
        showInfoBanner(false);
    } else {
        ui->tvDevices->setCurrentIndex(m_treeModel.index(0, 0));
    }
    m_handOver = new HandOverQueue([this] { return m_closing || questionOpen(); },
                                   [this](const QString &path) { tryToOpenFile(path); }, this);
    restoreGeometry();
}

MainWindow::~MainWindow()
{
    // The receivers go with the window's children and announce "disconnecting" on their way out;
    // nothing of this half-destroyed window may hear it.
    for (const QMetaObject::Connection &connection : std::as_const(m_collectionConnections))
        disconnect(connection);
    disconnect(m_startPageRequest);
    ui->tvDevices->setModel(nullptr);
    // The window's own pages have no parent until they are shown; the window keeps them, so it ends them.
    delete m_newDeviceModule;
    delete m_generalMediaExplorer;
}

bool MainWindow::close()
{
    return QWidget::close();
}

void MainWindow::setCurrentModule(OmbrelayModule *module, bool showBanner)
{
    if (m_pageContainer) {
        ui->moduleContainer->removeWidget(m_pageContainer);
        m_pageContainer->hide();
    }
    // Containers emptied by earlier switches hold nothing any more; the modules are never deleted here.
    const auto oldContainers =
        ui->moduleContainer->findChildren<QWidget *>(QStringLiteral("pageContainer"), Qt::FindDirectChildrenOnly);
    QWidget *previousContainer = m_pageContainer;

    m_pageContainer = new QWidget;
    m_pageContainer->setObjectName(QStringLiteral("pageContainer"));
    m_pageLayout = new QGridLayout(m_pageContainer);
    m_pageLayout->setSpacing(0);
    m_pageLayout->setContentsMargins(0, 0, 0, 0);

    if (m_currentModule)
        m_currentModule->startBuffering();
    // Only the window's own request connection goes: others may listen to the page too.
    disconnect(m_startPageRequest);

    if (!module) {
        m_currentModule = nullptr;
    } else {
        if (module->moduleType() == OmbrelayModule::TypeDevice &&
            module->metaObject()->indexOfSignal("showModuleRequest(OmbrelayModule::ModuleTypes)") >= 0) {
            // The start page's class lives above this layer; its one signal is connected by name.
            m_startPageRequest = connect(module, SIGNAL(showModuleRequest(OmbrelayModule::ModuleTypes)), this,
                                         SLOT(onPropertiesModuleRequest(OmbrelayModule::ModuleTypes)));
        }
        m_currentModule = module;
        module->setParent(m_pageContainer);
        m_pageLayout->addWidget(module, 0, 0, 1, 1);
        module->setVisible(true);
    }
    ui->moduleContainer->addWidget(m_pageContainer);
    ui->moduleContainer->setCurrentWidget(m_pageContainer);

    for (QWidget *old : oldContainers) {
        if (old != previousContainer && old->findChildren<OmbrelayModule *>().isEmpty())
            old->deleteLater();
    }

    if (m_currentModule) {
        const quint32 id = m_collection->deviceIdOfModule(m_currentModule);
        if (id != 0) {
            m_currentDeviceId = id;
            selectTreeItem(id, m_currentModule->moduleType());
        }
    }
    if (m_currentModule)
        m_currentModule->onShow();
    showInfoBanner(showBanner);
    retranslateActions();
}

void MainWindow::notifyModuleMessage(OmbrelayModule *module)
{
    const quint32 id = m_collection->deviceIdOfModule(module);
    if (id == 0)
        return;
    m_treeModel.markItem(id, module->moduleType());
}

void MainWindow::showModule(quint32 deviceId, int moduleType)
{
    ZBDevice *device = m_collection->deviceById(deviceId);
    if (!device)
        return;
    if (moduleType == OmbrelayModule::TypeDeviceProperties) {
        showPropertiesPanel();
        return;
    }
    setCurrentModule(device->module(OmbrelayModule::ModuleTypes(moduleType)), true);
}

void MainWindow::selectTreeItem(quint32 deviceId, int moduleType)
{
    if (moduleType == OmbrelayModule::TypeDeviceProperties) {
        showPropertiesPanel();
        return;
    }
    const QModelIndex index = m_treeModel.indexFor(deviceId, moduleType);
    if (!index.isValid())
        return;
    ui->tvDevices->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void MainWindow::showPropertiesPanel()
{
    if (m_propertiesModule && m_currentModule == m_propertiesModule)
        return;
    const QModelIndexList selected = ui->tvDevices->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    ZBDevice *device = m_collection->deviceById(m_treeModel.deviceIdAt(selected.first()));
    if (!device)
        return;
    if (m_propertiesModule) {
        m_propertiesModule->disconnect(this);
        delete m_propertiesModule;
    }
    m_propertiesModule = new DevicePropertiesModule(this);
    m_propertiesModule->setKnownAddresses(m_collection->deviceAddresses());
    m_propertiesModule->setDeviceInfo(device->info());
    connect(m_propertiesModule, &DevicePropertiesModule::goBackRequest, this, &MainWindow::onGoBackRequest);
    connect(m_propertiesModule, &DevicePropertiesModule::saveDeviceInfoRequest, this,
            &MainWindow::onSaveDeviceInfoRequest);
    connect(m_propertiesModule, &DevicePropertiesModule::removeDeviceRequest, this,
            &MainWindow::onRemoveDevicePropertiesPanelRequest);
    setCurrentModule(m_propertiesModule, true);
}

void MainWindow::onGoBackRequest(quint32 id)
{
    showModule(id, OmbrelayModule::TypeDevice);
}

void MainWindow::onSaveDeviceInfoRequest(const ZBDeviceInfo &info, bool addressChanged)
{
    ZBDevice *device = m_collection->deviceById(info.id());
    if (!device)
        return;
    device->updateInfoFrom(info);
    rebuildDeviceTree();
    updateDevicePanel(device);
    m_collection->save();
    showModule(info.id(), OmbrelayModule::TypeDevice);
    if (!addressChanged || device->info().isUsbManaged())
        return;
    if (!device->isConnected() && !device->isConnecting()) {
        device->connectToDevice();
        return;
    }
    m_reconnectPending.insert(device->id());
    device->disconnectFromDevice();
}

void MainWindow::onRemoveDevicePropertiesPanelRequest(quint32 id)
{
    if (!MessageBox::questionYesNo(this, tr("Are you sure you want to remove this device from your device list?"),
                                   MessageBox::No))
        return;
    // Its pages are asked first; one that refuses keeps the receiver.
    if (!releaseReceiverPages(id))
        return;
    removeDevice(id);
    m_collection->save();
}

bool MainWindow::releaseReceiverPages(quint32 id)
{
    const ZBDevice *device = m_collection->deviceById(id);
    if (!device)
        return false;
    const bool working = device->hasPendingWork();
    if (working && !MessageBox::questionYesNo(this,
                                              tr("Ombrelay is processing data with %1. Do you want to stop it and "
                                                 "remove the device?")
                                                  .arg(device->info().labelWithAddress()),
                                              MessageBox::No))
        return false;
    ReceiverCloseEvent event(working);
    m_collection->closeDeviceModules(id, &event);
    return event.isAccepted();
}

void MainWindow::onPropertiesModuleRequest(OmbrelayModule::ModuleTypes type)
{
    selectTreeItem(m_currentDeviceId, type);
}

void MainWindow::onDeviceItemChanged(const QModelIndex &current, const QModelIndex &previous)
{
    Q_UNUSED(previous)
    const quint32 id = m_treeModel.deviceIdAt(current);
    ZBDevice *device = m_collection->deviceById(id);
    if (id == 0 || !device)
        return;
    if (id != m_currentDeviceId) {
        updateDevicePanel(device);
        m_connectAction->setEnabled(true);
        m_currentDeviceId = id;
    }
    const int type = m_treeModel.moduleTypeAt(current);
    m_treeModel.unmarkItem(current);
    showModule(id, type);
}

void MainWindow::onDeviceItemPressed(const QModelIndex &index)
{
    if (m_newDeviceModule && m_currentModule == m_newDeviceModule)
        onDeviceItemChanged(index, QModelIndex());
}

void MainWindow::updateDevicePanel(ZBDevice *device)
{
    if (!device)
        return;
    ui->picDevicePhoto->setStyleSheet(
        QStringLiteral("QWidget{\n\n\t\n\tbackground-image:url(%1);\n\n}").arg(devicePicturePath(device->info())));
    ui->lblDeviceGivenName->setText(device->info().label());
    ui->lblDeviceNativeName->setText(device->info().name());
    ui->btnConnectDevice->setText(device->isConnected() ? tr("Disconnect") : tr("Connect"));
    ui->btnConnectDevice->setEnabled(true);
    ui->btnConnectDevice->setVisible(!device->info().isUsbManaged());
}

QString MainWindow::devicePicturePath(const ZBDeviceInfo &info)
{
    QString name = info.name();
    name.replace(u' ', u'_');
    const QString candidate = QStringLiteral(":/docs/icons/%1.png").arg(name);
    if (!name.isEmpty() && QResource(candidate).isValid())
        return candidate;
    return info.type() != 0 ? QStringLiteral(":/docs/icons/defaultSTBPic.png")
                            : QStringLiteral(":/docs/icons/defaultTVPic.png");
}

void MainWindow::onDeviceStateChange(const ZBDevice *device, const QString &state)
{
    if (!device)
        return;
    const quint32 id = device->id();
    const bool current = id == m_currentDeviceId;
    if (state == QLatin1String("connecting")) {
        m_treeModel.updateDeviceState(id, 1);
        if (current) {
            ui->btnConnectDevice->setEnabled(false);
            m_connectAction->setEnabled(false);
        }
    } else if (state == QLatin1String("connected")) {
        m_connectRequested.remove(id);
        m_treeModel.updateDeviceState(id, 2);
        if (current) {
            ui->btnConnectDevice->setText(tr("Disconnect"));
            ui->btnConnectDevice->setEnabled(true);
            m_connectAction->setEnabled(true);
        }
    } else if (state == QLatin1String("disconnecting")) {
        m_treeModel.updateDeviceState(id, 0);
        if (current) {
            ui->btnConnectDevice->setEnabled(false);
            m_connectAction->setEnabled(false);
        }
    } else if (state == QLatin1String("disconnected")) {
        m_treeModel.updateDeviceState(id, 0);
        if (m_reconnectPending.remove(id)) {
            if (ZBDevice *known = m_collection->deviceById(id))
                known->connectToDevice();
        }
        if (current) {
            ui->btnConnectDevice->setText(tr("Connect"));
            ui->btnConnectDevice->setEnabled(true);
            m_connectAction->setEnabled(true);
        }
    }
}

void MainWindow::onDeviceConnectionLost(const ZBDevice *device)
{
    const quint32 id = device->id();
    // A page may say what the loss cut short; this says it once for the receiver, unless the page shown has
    // said it already, naming the loss: one failure, one message.
    if (m_lossShown.contains(id))
        return;
    for (const OmbrelayModule *module : device->modules())
        if (module->tellsOfLostConnection())
            return;
    m_lossShown.insert(id);
    MessageBox::warning(this, tr("The connection to %1 was lost.").arg(device->info().labelWithAddress()));
    m_lossShown.remove(id);
}

void MainWindow::onDeviceConnectionFailed(const ZBDevice *device)
{
    // Only a connection the user asked for is reported; the quiet retries after a loss are not.
    if (!m_connectRequested.remove(device->id()))
        return;
    MessageBox::warning(this, tr("Ombrelay could not establish connection to %1.").arg(device->info().labelWithAddress()));
}

void MainWindow::onAddNewDeviceRequest(const ZBDeviceInfo *info)
{
    m_treeModel.addDevice(info);
    showNewDevice(info, false);
}

void MainWindow::onNoNewDeviceAddedRequest()
{
    if (m_collection->count() >= 1)
        showNewDevice(&m_collection->at(0)->info(), true);
}

void MainWindow::showNewDevice(const ZBDeviceInfo *info, bool existingNodes)
{
    if (!info)
        return;
    if (!existingNodes) {
        const QList<int> modules = info->modules();
        for (qsizetype i = 1; i < modules.size(); ++i)
            m_treeModel.addModuleNode(info->id(), modules.at(i));
    }
    ui->picDevicePhoto->setStyleSheet(
        QStringLiteral("QWidget{\n\n\t\n\tbackground-image:url(%1);\n\n}").arg(devicePicturePath(*info)));
    ui->lblDeviceGivenName->setText(info->label());
    ui->tvDevices->expandAll();
    ui->tvDevices->setCurrentIndex(m_treeModel.index(m_treeModel.rowCount() - 1, 0));
    ui->tvDevices->setFocus(Qt::OtherFocusReason);
    showModule(info->id(), OmbrelayModule::TypeDevice);
    ui->btnConnectDevice->setVisible(!info->isUsbManaged());
}

void MainWindow::removeDevice(quint32 deviceId)
{
    if (deviceId == 0)
        return;
    m_connectRequested.remove(deviceId);
    m_treeModel.removeDevice(deviceId);
    m_collection->removeDevice(deviceId);
    ui->tvDevices->expandAll();
    m_currentModule = nullptr;
    if (m_treeModel.isEmpty())
        showSearchDevicePanel();
    else
        ui->tvDevices->setCurrentIndex(m_treeModel.firstIndex());
}

void MainWindow::rebuildDeviceTree()
{
    m_treeModel.rebuild(m_collection);
    ui->tvDevices->expandAll();
}

void MainWindow::retranslateActions()
{
    m_removeAction->setText(tr("Remove"));
    m_removeAllAction->setText(tr("Remove All"));
    m_propertiesAction->setText(tr("Properties"));
}

void MainWindow::selectLanguageButton(const QString &lang)
{
    m_settingsPage->selectLanguageButton(lang);
}

QString MainWindow::helpFilePath()
{
    const QString lang = Settings::getString(Settings::PreferredLanguage, QStringLiteral("en_EN")).toLower();
    QString name = QStringLiteral("eng");
    if (lang == QLatin1String("de_de"))
        name = QStringLiteral("ger");
    else if (lang == QLatin1String("pl_pl"))
        name = QStringLiteral("pol");
    return QStringLiteral("%1/help/ombrelay_help_%2.pdf").arg(QCoreApplication::applicationDirPath(), name);
}

void MainWindow::gotoAbout()
{
    if (ui->appStackedWidget->currentWidget() == m_settingsPage && !m_settingsPage->leave())
        return;
    ui->appStackedWidget->setCurrentIndex(2);
}

void MainWindow::gotoHelp()
{
    PdfViewer viewer(this);
    viewer.open(helpFilePath());
}

void MainWindow::gotoMainView()
{
    // The settings page is not left while a field is wrong.
    if (ui->appStackedWidget->currentWidget() == m_settingsPage && !m_settingsPage->leave())
        return;
    ui->appStackedWidget->setCurrentIndex(0);
}

void MainWindow::gotoSettings()
{
    // Already shown: its fields keep what the user is typing.
    if (ui->appStackedWidget->currentWidget() == m_settingsPage)
        return;
    m_settingsPage->prepareToShow();
    ui->appStackedWidget->setCurrentIndex(1);
}

void MainWindow::showInfoBanner(bool show)
{
    ui->lblDeviceGivenName->setVisible(show);
    ui->lblDeviceNativeName->setVisible(show);
    ui->picDevicePhoto->setVisible(show);
    const ZBDevice *device = m_collection->deviceById(m_currentDeviceId);
    ui->btnConnectDevice->setVisible(show && device && !device->info().isUsbManaged());
}

void MainWindow::showMediaExplorerGeneral()
{
    if (!m_generalMediaExplorer || m_currentModule == m_generalMediaExplorer)
        return;
    setCurrentModule(m_generalMediaExplorer, false);
    ui->tvDevices->setCurrentIndex(QModelIndex());
}

void MainWindow::showSearchDevicePanel()
{
    if (m_newDeviceModule && m_currentModule == m_newDeviceModule)
        return;
    setCurrentModule(m_newDeviceModule, false);
    ui->tvDevices->setCurrentIndex(QModelIndex());
}

bool MainWindow::questionOpen() const
{
    const QWidget *modal = QApplication::activeModalWidget();
    return modal && modal != this;
}

void MainWindow::tryToOpenFile(const QString &path)
{
    // A file handed over while a question is open (the save question of the close, say) waits for its answer.
    if (m_handOver->keep(path))
        return;
    // Only a regular file is a list file; a folder of that name is not.
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile())
        return;
    if (m_collection->count() == 0) {
        MessageBox::information(
            this, tr("There are no registered devices in application. Please add at least one device to open a file."));
        return;
    }
    // The kind of list is told by the last suffix, whatever its case and however many dots the name has.
    const QString suffix = file.suffix().toLower();
    const QList<ZBDeviceInfo> fitting = m_collection->devicesForFileSuffix(suffix);
    if (fitting.isEmpty()) {
        MessageBox::information(
            this, tr("There is no registered device in application that supports '%1' file type.").arg(file.suffix()));
        return;
    }
    QList<ZBDeviceInfo> chosen = fitting;
    if (fitting.size() > 1) {
        DeviceSelectDialog dialog(this);
        dialog.setDevices(fitting);
        if (MessageBox::execDialog(&dialog) != QDialog::Accepted)
            return;
        chosen = dialog.selectedDevices();
    }
    OmbrelayModule::ModuleTypes type = OmbrelayModule::TypeNone;
    if (suffix == QLatin1String("tvqvxc") || suffix == QLatin1String("tvqvx"))
        type = OmbrelayModule::TypeTvList;
    else if (suffix == QLatin1String("rdqvxc") || suffix == QLatin1String("rdqvx"))
        type = OmbrelayModule::TypeRadioList;
    else if (suffix == QLatin1String("lkqvxc") || suffix == QLatin1String("lkqvx"))
        type = OmbrelayModule::TypeLinkList;
    for (const ZBDeviceInfo &info : std::as_const(chosen)) {
        ZBDevice *device = m_collection->deviceById(info.id());
        auto *module = device ? qobject_cast<ListsModuleShared *>(device->module(type)) : nullptr;
        if (!module)
            continue;
        setCurrentModule(module, true);
        module->openFile(file.absoluteFilePath());
    }
}

void MainWindow::onCommand(const QString &command)
{
    if (command == QLatin1String("about"))
        gotoAbout();
    else if (command == QLatin1String("settings"))
        gotoSettings();
    else if (command == QLatin1String("help"))
        gotoHelp();
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::HelpContents)) {
        gotoHelp();
        return;
    }
    SWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Files already taken from later starts are opened, never dropped with the window: this close waits.
    if (!m_closing && !m_handOver->isEmpty() && !questionOpen()) {
        event->ignore();
        m_handOver->openWaiting();
        return;
    }
    // From here until a refused close, later starts are refused (takesHandOver) and open their files themselves.
    m_closing = true;
    const auto decided = qScopeGuard([this, event] { m_closing = event->isAccepted(); });
    event->accept();
    if (m_newDeviceModule)
        QCoreApplication::sendEvent(m_newDeviceModule, event);
    // The general media explorer is asked too, so none of its workers is destroyed while running.
    if (event->isAccepted())
        m_collection->closeAllModules(event);
    if (event->isAccepted() && m_generalMediaExplorer)
        QCoreApplication::sendEvent(m_generalMediaExplorer, event);
    if (!event->isAccepted())
        return;
    // Closing from the settings page keeps fields the user made valid, as leaving it by Back would.
    if (ui->appStackedWidget->currentWidget() == m_settingsPage && m_settingsPage->allPathsValid())
        m_settingsPage->storePaths();
    m_collection->save(ZBDeviceCollection::WriteFailure::LeftToCaller);
    saveGeometrySettings();
    // Every setting that has not reached the file yet is written now; what still cannot be is said once.
    if (const QStringList unsaved = Settings::writeUnsaved(); !unsaved.isEmpty())
        MessageBox::warning(this, Settings::unsavedText(unsaved));
    SWindow::closeEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *) {}
void MainWindow::dragMoveEvent(QDragMoveEvent *) {}
void MainWindow::dragLeaveEvent(QDragLeaveEvent *) {}
void MainWindow::dropEvent(QDropEvent *) {}

void MainWindow::changeEvent(QEvent *event)
{
    SWindow::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    // The form's title is a placeholder; the start-up gives the window its real one.
    const QString title = windowTitle();
    ui->retranslateUi(this);
    setWindowTitle(title);
    retranslateActions();
    updateDevicePanel(m_collection->deviceById(m_currentDeviceId));
    if (m_treeModel.isEmpty()) {
        // The placeholder row carries a translated text.
        ZBDeviceCollection empty;
        m_treeModel.rebuild(&empty);
    } else {
        // Module rows and the connecting suffix are translated as they are shown.
        m_treeModel.refresh();
    }
}

void MainWindow::onActionDisconnect()
{
    ZBDevice *device = m_collection->deviceById(m_currentDeviceId);
    if (!device)
        return;
    if (device->isConnected()) {
        // Work under way is not dropped without a word: the user decides, as when the window closes.
        if (device->hasPendingWork() &&
            !MessageBox::questionYesNo(this,
                                       tr("Ombrelay is processing data with %1. Do you want to stop it and disconnect?")
                                           .arg(device->info().labelWithAddress()),
                                       MessageBox::No))
            return;
        m_reconnectPending.remove(device->id());
        m_connectRequested.remove(device->id());
        device->disconnectFromDevice();
    } else {
        m_connectRequested.insert(device->id());
        device->connectToDevice();
    }
}

void MainWindow::removeSelectedDevice()
{
    if (m_treeModel.isEmpty())
        return;
    if (!MessageBox::questionYesNo(this, tr("Are you sure you want to remove this device from your device list?"),
                                   MessageBox::No))
        return;
    const QModelIndexList selected = ui->tvDevices->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    const quint32 id = m_treeModel.deviceIdAt(selected.first());
    if (!releaseReceiverPages(id))
        return;
    removeDevice(id);
    m_collection->save();
}

void MainWindow::removeAllDevices()
{
    if (m_treeModel.isEmpty())
        return;
    if (!MessageBox::questionYesNo(this, tr("Are you sure you want to remove all devices from your device list?"),
                                   MessageBox::No))
        return;
    while (m_collection->count() > 0) {
        const quint32 id = m_collection->at(0)->id();
        if (!releaseReceiverPages(id))
            return;
        removeDevice(id);
    }
    m_collection->save();
}

void MainWindow::onTvDevicesMenuRequest(const QPoint &pos)
{
    const QModelIndex index = ui->tvDevices->indexAt(pos);
    if (m_treeModel.isEmpty() || m_treeModel.moduleTypeAt(index) != OmbrelayModule::TypeDevice)
        return;
    ZBDevice *device = m_collection->deviceById(m_treeModel.deviceIdAt(index));
    if (!device)
        return;
    const bool network = !device->info().isUsbManaged();
    if (network)
        m_connectAction->setText(device->isConnected() ? tr("Disconnect") : tr("Connect"));
    m_connectAction->setVisible(network);
    m_menuSeparator->setVisible(network);
    m_treeMenu->exec(ui->tvDevices->viewport()->mapToGlobal(pos));
}

void MainWindow::onDeviceShareNameChanged(int id, const QString &shareName)
{
    ZBDevice *device = m_collection->deviceById(quint32(id));
    if (!device)
        return;
    if (!device->info().givenName().isEmpty()) {
        const QString who = QStringLiteral("%1 (%2)").arg(device->info().label(), device->ipAddressString());
        const QString text =
            tr("%1 share name has changed to '%2'. Would you like to update it now?").arg(who, shareName);
        if (!MessageBox::question(this, text, tr("Yes"), tr("No"), MessageBox::No))
            return;
    }
    device->setGivenName(QString());
    device->setShareName(shareName);
    m_treeModel.setDeviceName(quint32(id), shareName);
    updateDevicePanel(device);
    m_collection->save();
}

void MainWindow::onDeviceProtolVersionChanged(int id, float version)
{
    Q_UNUSED(version)
    if (m_collection->deviceById(quint32(id)))
        MessageBox::information(this, tr("The device's software is not compatible with Ombrelay!"));
}
