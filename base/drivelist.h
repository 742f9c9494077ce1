#pragma once

#include <QFileInfoList>
#include <QString>

#include <functional>

// The PC's removable volumes, standing in for the drive letters that the USB exchange lists.
// A volume counts when it is a mounted block device that is either mounted below /media or
// /run/media (where the desktop mounts sticks) or sits on a disk that the kernel reports removable;
// the root file system, pseudo and network file systems never count.
class DriveList
{
public:
    struct Mount
    {
        QString mountPoint;
        QString device;
        QString fileSystem;
        QString majorMinor; // "8:17", the block device's numbers
    };

    // One line of /proc/self/mountinfo; a line that does not parse gives an empty mount point.
    static Mount parseMountInfoLine(const QString &line);
    // Whether the mount can carry lists on its own: no pseudo or network file system, a real device.
    static bool isCandidate(const Mount &mount);
    // The rule itself, given whether sysfs reports the disk removable.
    static bool isRemovableVolume(const Mount &mount, bool diskRemovable);

    // Volume roots, sorted by path, each ending in "/". Reads only /proc and sysfs, never stats a mount.
    static QFileInfoList drives();

    // Whether path names the root of one of drives() now: a drive that was offered and is still mounted.
    static bool isDrive(const QString &path);

    // Tests replace the drive list with folders of their own; an empty function restores the system's.
    using Source = std::function<QFileInfoList()>;
    static void setSource(Source source);
};
