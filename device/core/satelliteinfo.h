#pragma once

#include <QString>

// One satellite a receiver knows: its name and orbital position in tenths of a degree
// (negative West, positive East).
struct SatelliteInfo
{
    QString name;
    int position = 0;
    bool positionValid = false;

    bool operator==(const SatelliteInfo &other) const
    {
        return name == other.name && position == other.position && positionValid == other.positionValid;
    }
};
