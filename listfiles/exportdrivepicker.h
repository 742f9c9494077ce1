#pragma once

#include <QString>

#include <functional>

class QWidget;

// The drive chooser that the list managers' export opens. The dialog itself lives in the exchange layer,
// which registers it at start-up; the document layer only calls it. A picker returns the chosen drive's
// root folder, or a null string when the user cancelled.
class ExportDrivePicker
{
public:
    using Picker = std::function<QString(QWidget *parent)>;

    static void setPicker(Picker picker);
    static bool hasPicker();
    // The chosen drive, or a null string when cancelled or when no picker is registered.
    static QString pickDrive(QWidget *parent);
};
