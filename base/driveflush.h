#pragma once

#include <QString>

#include <functional>

// Makes sure what was written to a removable drive is on the drive before the user is told to pull it:
// the file, then its folder entry, then the whole file system.
class DriveFlush
{
public:
    // path may name a file or a folder; false with a reason when any step fails.
    static bool flush(const QString &path, QString *error = nullptr);

    // Tests make every flush fail, to show what the user is told then.
    static void setFailureForTests(bool fail);
    // Tests hold a flush at its start to see what the user can do meanwhile; the hook runs on the
    // flushing thread. An empty hook ends it.
    static void setStartHookForTests(std::function<void()> hook);
};
