#include "devices/devicepages.h"

#include "devices/devicediscovery.h"
#include "devices/devicemodule.h"
#include "devices/devicepropertiesmodule.h"
#include "devices/newdevicemodule.h"
#include "modules/modulefactory.h"

void registerDevicePages()
{
    // The descriptor limit is raised before the program opens much, so the probe bound counts true.
    DeviceDiscovery::probeCapacity();
    ModuleFactory::registerDeviceModule<DeviceModule>(OmbrelayModule::TypeDevice);
    ModuleFactory::registerPlainModule<DevicePropertiesModule>(OmbrelayModule::TypeDeviceProperties);
    ModuleFactory::registerWindowPage(
        OmbrelayModule::TypeNewDevice,
        [](QWidget *window, ZBDeviceCollection *collection) { return new NewDeviceModule(window, collection); });
}
