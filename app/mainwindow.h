#pragma once

#include "app/generaluiinterface.h"
#include "app/ombrelaymodule.h"
#include "app/swindow.h"
#include "ui_mainwindow.h"

#include <QPointer>
#include <QTranslator>

class QAction;
class QGridLayout;
class QMenu;
class SettingsPage;

// The program's one top-level window: a frameless window with three pages (the main view with the
// receiver tree, the module area and the receiver banner; the settings page; the about page). It hosts
// one module page at a time and is the page interface through which modules reach the window.
class MainWindow : public SWindow, public Ui::MainWindow, public GeneralUiInterface
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // GeneralUiInterface
    bool close() override;
    void setCurrentModule(OmbrelayModule *module, bool showBanner) override;
    void notifyModuleMessage(OmbrelayModule *module) override;

    QTranslator *translator() { return &m_translator; }
    OmbrelayModule *currentModule() const { return m_currentModule; }
    OmbrelayModule *newDeviceModule() const { return m_newDeviceModule; }
    OmbrelayModule *generalMediaExplorer() const { return m_generalMediaExplorer; }
    SettingsPage *settingsPage() const { return m_settingsPage; }

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
    void onPropertiesModuleRequest(OmbrelayModule::ModuleTypes type);

private:
    void retranslateActions();

    QAction *m_connectAction = nullptr;
    QAction *m_menuSeparator = nullptr;
    QAction *m_propertiesAction = nullptr;
    QAction *m_removeAction = nullptr;
    QAction *m_removeAllAction = nullptr;
    quint32 m_currentDeviceId = 0;
    QPointer<OmbrelayModule> m_currentModule;
    bool m_reconnectPending = false;
    QMenu *m_treeMenu = nullptr;
    QWidget *m_pageContainer = nullptr;
    QGridLayout *m_pageLayout = nullptr;
    QPointer<OmbrelayModule> m_newDeviceModule;
    QPointer<OmbrelayModule> m_generalMediaExplorer;
    QTranslator m_translator;
    SettingsPage *m_settingsPage = nullptr;
};
