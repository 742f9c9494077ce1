#pragma once

#include "dvb24communicationprotocolmill.h"

#include <QHash>
#include <QString>

// The receiver worker's list, folder and copy requests: "sendOrdownloadTVLists", "getFolder",
// "refreshFolder", "MEMCreateDeviceFolder", "MEMdeleteDeviceFiles", "MEMprepareToCopyPcToDevice",
// "MEMprepareToCopyDeviceToPc", "MEMCopyDeviceToPc", "MEMCopyPreview" and "MEMCopyPcToDevice".
QHash<QString, DVB24CommunicationProtocolMill::Method> transferMethods();
