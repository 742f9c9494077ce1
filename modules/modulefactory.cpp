#include "modules/modulefactory.h"

#include <QHash>

namespace {

QHash<int, ModuleFactory::Creator> &creators()
{
    static QHash<int, ModuleFactory::Creator> table;
    return table;
}

QHash<int, ModuleFactory::WindowPageCreator> &windowPages()
{
    static QHash<int, ModuleFactory::WindowPageCreator> table;
    return table;
}

// Types the factory makes; the welcome and add-device pages never come from here.
bool isFactoryType(int type)
{
    switch (type) {
    case OmbrelayModule::TypeTvList:
    case OmbrelayModule::TypeRadioList:
    case OmbrelayModule::TypeLinkList:
    case OmbrelayModule::TypeMediaExplorer:
    case OmbrelayModule::TypeDevice:
    case OmbrelayModule::TypeDeviceProperties:
        return true;
    default:
        return false;
    }
}

} // namespace

void ModuleFactory::registerType(int type, Creator creator)
{
    if (creator)
        creators().insert(type, std::move(creator));
    else
        creators().remove(type);
}

bool ModuleFactory::hasType(int type)
{
    return creators().contains(type);
}

void ModuleFactory::clear()
{
    creators().clear();
    windowPages().clear();
}

void ModuleFactory::registerWindowPage(int type, WindowPageCreator creator)
{
    if (creator)
        windowPages().insert(type, std::move(creator));
    else
        windowPages().remove(type);
}

OmbrelayModule *ModuleFactory::createWindowPage(int type, QWidget *window, ZBDeviceCollection *collection)
{
    const auto it = windowPages().constFind(type);
    return it == windowPages().constEnd() ? nullptr : (*it)(window, collection);
}

void ModuleFactory::registerProgramModules()
{
    // Each module type of the program registers here as it is added to the program.
}

bool ModuleFactory::listCountOption(const QVariantMap &options, int *count)
{
    if (options.isEmpty())
        return false;
    bool ok = false;
    const int value = options.value(QStringLiteral("maximumListCount"), 4).toInt(&ok);
    if (ok && count)
        *count = value;
    return ok;
}

ModuleFactory::DeviceButtons ModuleFactory::deviceButtonsOption(const QVariantMap &options)
{
    DeviceButtons buttons;
    buttons.linkList = options.value(QStringLiteral("enableLinkList"), false).toBool();
    buttons.radioList = options.value(QStringLiteral("enableRadioList"), false).toBool();
    buttons.tvList = options.value(QStringLiteral("enableTvList"), false).toBool();
    buttons.mediaExplorer = options.value(QStringLiteral("enableMediaExplorer"), false).toBool();
    return buttons;
}

OmbrelayModule *createModule(int type, QWidget *parent, const QVariantMap &options)
{
    if (!isFactoryType(type))
        return nullptr;
    const auto it = creators().constFind(type);
    if (it == creators().constEnd())
        return nullptr;
    return (*it)(parent, options);
}
