#pragma once

#include <QString>

#include <functional>

class QObject;

// Makes sure what was written to a removable drive is on the drive before the user is told to pull it:
// the file, then its folder entry, then the whole file system.
class DriveFlush
{
public:
    // path may name a file or a folder; false with a reason when any step fails.
    static bool flush(const QString &path, QString *error = nullptr);

    // The same beside the caller, on a thread of its own: writing out a large copy takes long and the
    // window must keep answering. done runs in receiver's thread with the outcome and the reason of a
    // failure; when receiver is gone by then, nobody hears of it. The thread ends by itself.
    static void flushInBackground(const QString &path, QObject *receiver,
                                  std::function<void(bool ok, const QString &error)> done);

    // Tests make every flush fail, to show what the user is told then.
    static void setFailureForTests(bool fail);
    // Tests hold a flush at its start to see what the user can do meanwhile; the hook runs on the
    // flushing thread. An empty hook ends it.
    static void setStartHookForTests(std::function<void()> hook);
};
