#pragma once

class OmbrelayModule;

// What a module page may ask of the main window. The main window implements it; a module finds it
// through the parent it was constructed with.
class GeneralUiInterface
{
public:
    virtual ~GeneralUiInterface() = default;

    // Closes the main window through its close handling; true when it closed.
    virtual bool close() = 0;
    // Shows module in the module area (the previous page buffers, the new one gets onShow()).
    virtual void setCurrentModule(OmbrelayModule *module, bool showBanner) = 0;
    // A hidden module holds texts it has not shown yet: mark it in the receiver tree.
    virtual void notifyModuleMessage(OmbrelayModule *module) = 0;
    virtual void gotoMainView() = 0;
    virtual void gotoSettings() = 0;
    virtual void gotoAbout() = 0;
};
