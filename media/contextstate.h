#pragma once

#include <QString>

// Which item controls of the media explorer page are on for the item the user works on.
class ContextState
{
public:
    bool cut = false;
    bool copy = false;
    bool paste = false;
    bool remove = false;
    bool newFolder = false;
    bool refresh = false;
    bool convert = false;
    bool mkvOnly = false;

    // An item of the receiver tree; receiver items themselves are never pasted into the receiver.
    static ContextState forReceiver(bool volume, bool protectedItem, bool clipboardHasPcItems, bool modelReady);
    // A PC item (hasItem false for the folder the browser shows, or nothing).
    static ContextState forPc(const QString &path, bool hasItem, bool targetValid, bool browserVisible,
                              bool clipboardHasPayload);
    // A drive root, a folder right under "/", or an entry that is gone may not be cut, copied or deleted.
    static bool isProtectedPcPath(const QString &path);
};
