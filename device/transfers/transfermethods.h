#pragma once

#include "device/protocol/dvb24communicationprotocolmill.h"

#include <QHash>
#include <QString>

#include <atomic>

// The receiver worker's list, folder and copy requests: "sendOrdownloadTVLists", "getFolder",
// "refreshFolder", "MEMCreateDeviceFolder", "MEMdeleteDeviceFiles", "MEMprepareToCopyPcToDevice",
// "MEMprepareToCopyDeviceToPc", "MEMCopyDeviceToPc", "MEMCopyPreview" and "MEMCopyPcToDevice".
QHash<QString, DVB24CommunicationProtocolMill::Method> transferMethods();

// After a list was sent the receiver restarts: the worker connects again this long after its thread
// ended, unless the user asked to disconnect meanwhile (ms; tests shorten it).
extern std::atomic_int listUploadRestartDelayMs;

// How long a file or recording exchange may hear nothing of the receiver before its connection is given up (ms;
// tests shorten it).
extern std::atomic_int transferInactivityMs;
