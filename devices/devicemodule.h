#pragma once

#include "modules/ombrelaymodule.h"
#include "ui_devicemodule.h"

// A receiver's start page: one button for each function the receiver offers, and its properties.
// A press only asks the main window to show that module.
class DeviceModule : public OmbrelayModule, public Ui::DeviceModule
{
    Q_OBJECT
public:
    explicit DeviceModule(QWidget *parent = nullptr);

    ModuleTypes moduleType() const override { return TypeDevice; }
    void retranslate() override;

    void setTvListButtonVisible(bool visible) { btnShowTvList->setVisible(visible); }
    void setRadioListButtonVisible(bool visible) { btnShowRadioList->setVisible(visible); }
    void setLinkListButtonVisible(bool visible) { btnShowLinkList->setVisible(visible); }
    void setMediaExplorerButtonVisible(bool visible) { btnShowMediaExplorer->setVisible(visible); }

signals:
    void showModuleRequest(OmbrelayModule::ModuleTypes type);

private slots:
    void onBtnShowLinkList();
    void onBtnShowMediaExplorer();
    void onBtnShowProperties();
    void onBtnShowRadioList();
    void onBtnShowTvList();

protected:
    // Never refuses: the page holds nothing to lose.
    void closeEvent(QCloseEvent *) override {}
    void changeEvent(QEvent *event) override;
};
