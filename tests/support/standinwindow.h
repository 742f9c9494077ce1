#pragma once

#include "modules/generaluiinterface.h"

#include <QWidget>

// Stands for the main window around a page tested alone; counts the closes the page asks of it.
class StandInWindow : public QWidget, public GeneralUiInterface
{
public:
    int closes = 0;
    bool close() override
    {
        ++closes;
        return true;
    }
    void setCurrentModule(OmbrelayModule *, bool) override {}
    void notifyModuleMessage(OmbrelayModule *) override {}
    void gotoMainView() override {}
    void gotoSettings() override {}
    void gotoAbout() override {}
};
