#pragma once

#include "app/mainwindow.h"
#include "devices/zbdevicecollection.h"
#include "lists-tv/listinthewindow.h"
#include "lists/radiolistmodule.h"
#include "lists/tvlistmodule.h"
#include "modules/modulefactory.h"

// The whole program with one receiver managed through a USB drive, for list-file tests that go through the
// main window: a list file handed to it opens on that receiver's page of its kind.
struct UsbReceiverWindow
{
    UsbReceiverWindow()
    {
        ModuleFactory::registerListModule<TVListModule>(OmbrelayModule::TypeTvList);
        ModuleFactory::registerListModule<RadioListModule>(OmbrelayModule::TypeRadioList);
        ZBDeviceInfo usb = usbReceiver();
        window.collection()->append(usb);
        window.show();
    }
    // Hands the file to the window as a second start would; the page it opened on, or null.
    template<class Page> Page *open(const QString &path)
    {
        window.tryToOpenFile(path);
        return qobject_cast<Page *>(window.currentModule());
    }

    MainWindow window;
};
