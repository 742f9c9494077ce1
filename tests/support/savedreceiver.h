#pragma once

#include "receiveremulator.h"

#include "device/core/zbdeviceinfo.h"
#include "devices/zbdevicecollection.h"

// Saves the emulator as the one receiver, "Living room", that the main window connects to when it starts.
inline void saveAsTheWindowsReceiver(const ReceiverEmulator &emulator)
{
    ZBDeviceCollection::setDefaultReceiverPort(emulator.port());
    QObject owner;
    ZBDeviceCollection writer(&owner);
    ZBDeviceInfo saved(QStringLiteral("Living room"));
    saved.setShareName(QStringLiteral("EMULATOR"));
    saved.setIp(emulator.host());
    saved.ensureDefaults();
    writer.append(saved);
    writer.save();
}
