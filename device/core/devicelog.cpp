#include "device/core/devicelog.h"

// Debug and info lines only when asked for: a normal run writes nothing to the terminal.
Q_LOGGING_CATEGORY(lcDeviceSocket, "ombrelay.device.socket", QtWarningMsg)
