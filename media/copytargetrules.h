#pragma once

#include <QList>
#include <QString>

class CopyJobFile;
class DeviceFileSystemItem;

// Where one copy-job entry lands and whether the user must be asked before it replaces something.
class CopyTargetRules
{
public:
    enum Question { NoQuestion, FileQuestion, RecordQuestion };

    // The entry's target below the job's folder, or an empty text when its name or relative path would
    // leave that folder, or, for an upload, holds a "\" (the receiver would split it into folders). Receiver
    // parts use "\" and are turned into "/"; PC names are kept as they are.
    // Folders end with "/".
    static QString destinationFor(int direction, const QString &destinationPath, const CopyJobFile &entry);
    // The entry's own name: for receiver sources made safe as a PC name.
    static QString entryName(int direction, const CopyJobFile &entry);
    // PC targets are checked on disk; receiver targets against the listing of the chosen folder (only
    // entries that land in that folder itself can be matched).
    static Question question(int direction, const CopyJobFile &entry, const QString &destination,
                             const QList<DeviceFileSystemItem *> *receiverListing);
};
