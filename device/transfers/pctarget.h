#pragma once

#include <QString>

#include <functional>

// PC paths built from names a receiver sent, kept inside the folder they are meant for.
class PcTarget
{
public:
    // The cleaned absolute path of relative below base, or an empty string when it would leave base:
    // ".." components, absolute parts, or a symbolic link anywhere below base on the way (it could
    // point anywhere, and writing through it would land outside).
    static QString inside(const QString &base, const QString &relative);
    // A PC path given whole by a caller: no "." or ".." component is accepted in it.
    static bool isPlain(const QString &path);

    // Removes one PC file, link or empty folder (the source of a move, an entry of a delete); true when it
    // is gone. Tests put a stand-in here for entries this process may not remove (an empty function
    // restores the real removal).
    static bool removeEntry(const QString &path);
    using RemoveEntry = std::function<bool(const QString &path)>;
    static void setRemoveEntry(RemoveEntry remove);
};
