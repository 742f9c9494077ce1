#pragma once

#include "modules/ombrelaymodule.h"

#include <QVariantMap>

#include <functional>

class QWidget;
class ZBDeviceCollection;

// Makes the module pages of a receiver. The receiver object (a lower layer) calls createModule();
// the module types themselves are registered by the application layer at start-up
// (registerProgramModules(), which each module type adds itself to), so the receiver layer never
// includes the pages it creates. Tests register their own creators the same way.
class ModuleFactory
{
public:
    using Creator = std::function<OmbrelayModule *(QWidget *parent, const QVariantMap &options)>;

    // Registers (or replaces) the creator of a module type; an empty creator removes the type.
    static void registerType(int type, Creator creator);
    static bool hasType(int type);
    static void clear();

    // A list page (TV, radio, link): reads "maximumListCount" (4 when absent) from a non-empty map and
    // hands it to setMaximumListCount(int) when it converts to a number.
    template<class Module> static void registerListModule(int type)
    {
        registerType(type, [](QWidget *parent, const QVariantMap &options) -> OmbrelayModule * {
            auto *module = new Module(parent);
            int count = 0;
            if (listCountOption(options, &count))
                module->setMaximumListCount(count);
            return module;
        });
    }

    // The receiver's start page: from a non-empty map the four button flags (false when absent),
    // applied in the order link, radio, TV, media explorer.
    template<class Module> static void registerDeviceModule(int type)
    {
        registerType(type, [](QWidget *parent, const QVariantMap &options) -> OmbrelayModule * {
            auto *module = new Module(parent);
            if (!options.isEmpty()) {
                const DeviceButtons buttons = deviceButtonsOption(options);
                module->setLinkListButtonVisible(buttons.linkList);
                module->setRadioListButtonVisible(buttons.radioList);
                module->setTvListButtonVisible(buttons.tvList);
                module->setMediaExplorerButtonVisible(buttons.mediaExplorer);
            }
            return module;
        });
    }

    // A page that takes no options.
    template<class Module> static void registerPlainModule(int type)
    {
        registerType(type, [](QWidget *parent, const QVariantMap &) -> OmbrelayModule * { return new Module(parent); });
    }

    // Pages the main window makes and keeps itself: the add-device page (type 7, which also gets the
    // receiver collection) and the general media explorer without a receiver (type 4).
    using WindowPageCreator = std::function<OmbrelayModule *(QWidget *window, ZBDeviceCollection *collection)>;
    static void registerWindowPage(int type, WindowPageCreator creator);
    static OmbrelayModule *createWindowPage(int type, QWidget *window, ZBDeviceCollection *collection);

    // The program's own module types; called once at start-up (and by tests that want them).
    static void registerProgramModules();

    // False for an empty map or a value that is no number.
    static bool listCountOption(const QVariantMap &options, int *count);

    struct DeviceButtons
    {
        bool linkList = false;
        bool radioList = false;
        bool tvList = false;
        bool mediaExplorer = false;
    };
    static DeviceButtons deviceButtonsOption(const QVariantMap &options);
};

// The factory: a new module of type for parent (only where it finds the page interface), or null for a
// type nobody makes (0, the welcome and add-device pages, unknown numbers). The caller owns the module.
OmbrelayModule *createModule(int type, QWidget *parent, const QVariantMap &options);
