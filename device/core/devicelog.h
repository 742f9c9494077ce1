#pragma once

#include <QLoggingCategory>

// Traces of the receiver connections. Off unless QT_LOGGING_RULES turns them on
// ("ombrelay.device.socket.debug=true"); warnings a user can act on stay visible.
Q_DECLARE_LOGGING_CATEGORY(lcDeviceSocket)
