#pragma once

#include <QByteArray>
#include <QList>

class DeviceFileSystemItem;

// The reply of a folder listing (command 0x03) after its path exchange: a u16 count and the entry
// records. Pure: call parse() on what has arrived; it says whether more is needed.
class FolderListingParser
{
public:
    enum Parse { Incomplete, Bad, Done };

    // levels is the number of path components that were sent (the top of a volume has 1).
    // On Done, *items holds new items owned by the caller (none when the count was below 1) and
    // *consumed the number of bytes used; on Incomplete and Bad nothing is allocated.
    static Parse parse(const QByteArray &bytes, int levels, QList<DeviceFileSystemItem *> *items, int *consumed);

    // Seconds of a listing to Unix time.
    static qint64 fileEpochOffset() { return 946684801; }
    static qint64 recordEpochOffset() { return 946677601; }
};
