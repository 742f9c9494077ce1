#include "mainwindow.h"

#include "app/messagebox.h"
#include "app/modulefactory.h"
#include "app/pdfviewer.h"
#include "app/settings.h"
#include "app/settingspage.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QRadioButton>

MainWindow::MainWindow(QWidget *parent)
    : SWindow(parent)
{
    setupUi(this);

    // The settings page is a form of its own; it takes the place the window's form keeps for it.
    m_settingsPage = new SettingsPage;
    QWidget *settingsPlace = appStackedWidget->widget(1);
    appStackedWidget->insertWidget(1, m_settingsPage);
    appStackedWidget->removeWidget(settingsPlace);
    delete settingsPlace;
    Settings = m_settingsPage;
    m_settingsPage->setTranslator(&m_translator);
    appStackedWidget->setCurrentIndex(0);

    m_newDeviceModule = ModuleFactory::createWindowPage(OmbrelayModule::TypeNewDevice, this, nullptr);
    m_generalMediaExplorer = ModuleFactory::createWindowPage(OmbrelayModule::TypeMediaExplorer, this, nullptr);

    m_connectAction = new QAction(tr("Disconnect"), tvDevices);
    m_removeAction = new QAction(tr("Remove"), tvDevices);
    m_propertiesAction = new QAction(tr("Properties"), tvDevices);
    m_removeAllAction = new QAction(tr("Remove All"), tvDevices);
    m_treeMenu = new QMenu(tvDevices);
    m_treeMenu->addAction(m_connectAction);
    m_menuSeparator = m_treeMenu->addSeparator();
    m_treeMenu->addAction(m_removeAction);
    m_treeMenu->addAction(m_removeAllAction);
    m_treeMenu->addSeparator();
    m_treeMenu->addAction(m_propertiesAction);

    connect(btnAddDevice, &QAbstractButton::pressed, this, &MainWindow::showSearchDevicePanel);
    connect(btnMediaExplorer, &QAbstractButton::pressed, this, &MainWindow::showMediaExplorerGeneral);
    connect(m_settingsPage->settingsBackButton, &QAbstractButton::clicked, this, &MainWindow::gotoMainView);
    connect(m_settingsPage, &SettingsPage::languageChanged, this, &MainWindow::retranslateActions);
    connect(helpBackButton, &QAbstractButton::clicked, this, &MainWindow::gotoMainView);

    for (TopRightWidget *titleBar : {topRightWidget, m_settingsPage->topRightWidget_2, topRightWidget_3})
        titleBar->setWindow(this);

    showSearchDevicePanel();
    showInfoBanner(false);
    restoreGeometry();
}

MainWindow::~MainWindow() = default;

bool MainWindow::close()
{
    return QWidget::close();
}

void MainWindow::setCurrentModule(OmbrelayModule *module, bool showBanner)
{
    if (m_pageContainer) {
        moduleContainer->removeWidget(m_pageContainer);
        m_pageContainer->hide();
    }
    // Containers emptied by earlier switches hold nothing any more; the modules are never deleted here.
    const auto oldContainers =
        moduleContainer->findChildren<QWidget *>(QStringLiteral("pageContainer"), Qt::FindDirectChildrenOnly);
    QWidget *previousContainer = m_pageContainer;

    m_pageContainer = new QWidget;
    m_pageContainer->setObjectName(QStringLiteral("pageContainer"));
    m_pageLayout = new QGridLayout(m_pageContainer);
    m_pageLayout->setSpacing(0);
    m_pageLayout->setContentsMargins(0, 0, 0, 0);

    if (m_currentModule) {
        m_currentModule->startBuffering();
        if (m_currentModule->moduleType() == OmbrelayModule::TypeDevice)
            QObject::disconnect(m_currentModule, nullptr, nullptr, nullptr);
    }

    if (!module) {
        m_currentModule = nullptr;
    } else {
        if (module->moduleType() == OmbrelayModule::TypeDevice &&
            module->metaObject()->indexOfSignal("showModuleRequest(OmbrelayModule::ModuleTypes)") >= 0) {
            // The start page's class lives above this layer; its one signal is connected by name.
            connect(module, SIGNAL(showModuleRequest(OmbrelayModule::ModuleTypes)), this,
                    SLOT(onPropertiesModuleRequest(OmbrelayModule::ModuleTypes)), Qt::UniqueConnection);
        }
        m_currentModule = module;
        module->setParent(m_pageContainer);
        m_pageLayout->addWidget(module, 0, 0, 1, 1);
        module->setVisible(true);
    }
    moduleContainer->addWidget(m_pageContainer);
    moduleContainer->setCurrentWidget(m_pageContainer);

    for (QWidget *old : oldContainers) {
        if (old != previousContainer && old->findChildren<OmbrelayModule *>().isEmpty())
            old->deleteLater();
    }

    if (m_currentModule)
        m_currentModule->onShow();
    showInfoBanner(showBanner);
    retranslateActions();
}

void MainWindow::notifyModuleMessage(OmbrelayModule *module)
{
    Q_UNUSED(module)
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
    appStackedWidget->setCurrentIndex(2);
}

void MainWindow::gotoHelp()
{
    PdfViewer viewer(this);
    viewer.open(helpFilePath());
}

void MainWindow::gotoMainView()
{
    const QWidget *shown = appStackedWidget->currentWidget();
    if (shown == Help || (shown == m_settingsPage && m_settingsPage->allPathsValid()) || shown == App) {
        appStackedWidget->setCurrentIndex(0);
        return;
    }
    // The settings page is not left while a field is wrong.
    m_settingsPage->showLeaveRefused();
}

void MainWindow::gotoSettings()
{
    m_settingsPage->prepareToShow();
    appStackedWidget->setCurrentIndex(1);
}

void MainWindow::showInfoBanner(bool show)
{
    lblDeviceGivenName->setVisible(show);
    lblDeviceNativeName->setVisible(show);
    picDevicePhoto->setVisible(show);
    btnConnectDevice->setVisible(false);
}

void MainWindow::showMediaExplorerGeneral()
{
    if (!m_generalMediaExplorer || m_currentModule == m_generalMediaExplorer)
        return;
    setCurrentModule(m_generalMediaExplorer, false);
    tvDevices->setCurrentIndex(QModelIndex());
}

void MainWindow::showSearchDevicePanel()
{
    if (m_newDeviceModule && m_currentModule == m_newDeviceModule)
        return;
    setCurrentModule(m_newDeviceModule, false);
    tvDevices->setCurrentIndex(QModelIndex());
}

void MainWindow::tryToOpenFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    MessageBox::information(
        this, tr("There are no registered devices in application. Please add at least one device to open a file."));
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

void MainWindow::onPropertiesModuleRequest(OmbrelayModule::ModuleTypes type)
{
    Q_UNUSED(type)
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
    event->accept();
    if (m_newDeviceModule)
        QCoreApplication::sendEvent(m_newDeviceModule, event);
    // The general media explorer is asked too, so none of its workers is destroyed while running.
    if (event->isAccepted() && m_generalMediaExplorer)
        QCoreApplication::sendEvent(m_generalMediaExplorer, event);
    if (!event->isAccepted())
        return;
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
    retranslateUi(this);
    setWindowTitle(title);
    retranslateActions();
}
