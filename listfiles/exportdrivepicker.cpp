#include "listfiles/exportdrivepicker.h"

#include <QDebug>

namespace {
ExportDrivePicker::Picker &registeredPicker()
{
    static ExportDrivePicker::Picker picker;
    return picker;
}
} // namespace

void ExportDrivePicker::setPicker(Picker picker)
{
    registeredPicker() = std::move(picker);
}

bool ExportDrivePicker::hasPicker()
{
    return bool(registeredPicker());
}

QString ExportDrivePicker::pickDrive(QWidget *parent)
{
    if (!registeredPicker()) {
        qWarning() << "ExportDrivePicker: no drive picker registered";
        return {};
    }
    return registeredPicker()(parent);
}
