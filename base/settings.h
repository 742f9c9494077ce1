#pragma once

#include <QMap>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

// The one persistent settings store of the program. Every value lives in the per-user native QSettings
// store filed under the organisation and application names that main() sets before the first access.
// Each call opens the store for that one access. Every write goes to the file at once and is checked: a
// setter returns false when the store could not be written (the file is named by fileName(), the words to
// say it by writeFailureText()). A write is skipped only when the program's own file already holds the value
// (a value read from the organisation's or the system's file is written all the same); the one thing kept
// between calls is which keys failed to reach the file, so that their next write is tried (and said when it
// fails again) whatever the store holds for them in memory, and writeUnsaved() can try them all once more.
//
// Kinds of values and how they are stored:
//  - text: the text itself; an absent key or an empty stored text reads as the caller's default.
//  - bool: "true" or "false"; reads true exactly for the stored text "true" (case-sensitive), the default
//    only for an absent key, false for anything else.
//  - string list: one text, the entries joined with ';'. A ';' inside an entry is written as "\;" (and a
//    run of backslashes right before a ';' is doubled), so a path holding ';' survives; lists without
//    ';' inside their entries are written exactly as before. Empty entries are kept.
//  - int-keyed map: one text "%1:%2|" per entry in ascending key order.
class Settings
{
public:
    // The numbering is fixed: each value maps to the key text in the comment.
    enum setingKey {
        PathVideoConversion = 0,           // "PathVideoConversion"
        PathPictures = 1,                  // "PathPictures"
        PathVideo = 2,                     // "PathVideo"
        PathMusic = 3,                     // "PathMusic"
        PrintGrid = 4,                     // "printGrid"
        PrintPrintFileName = 5,            // "printPrintFileName"
        PrintPageNumber = 6,               // "printPageNumber"
        PrintFormatDetailed = 7,           // "printFormatDetailed"
        PrintFormatCompact = 8,            // "printFormatCompact"
        PrintFormatHandout = 9,            // "printFormatHandout"
        PrintTitle = 10,                   // "printTitle"
        DownloadFFmpegRequest = 11,        // "DownloadFFmpegRequest"
        SendingListsRestartWarning = 12,   // "SendingListsRestartWarning"
        SearchCheckConnectionEnabled = 13, // "SearchModule/CheckConnectionEnabled"
        SearchEndIP = 14,                  // "SearchModule/EndIP"
        SearchFastScanEnabled = 15,        // "SearchModule/FastScanEnabled"
        SearchStartIP = 16,                // "SearchModule/StartIP"
        PreferredLanguage = 17,            // "preferredLanguage"
        RecentFileList = 18,               // "recentFileList"
        RecentOpenDir = 19,                // "recentOpenDir"
        OmbrelayDeviceList = 20,           // "OmbrelayDeviceList"
        AppWindowPosition = 21,            // "AppWindow/Position"
        AppWindowSize = 22,                // "AppWindow/Size"
        AppWindowFullscreen = 23,          // "AppWindow/Fullscreen" (unused; keeps the numbering)
        AppWindowMaximized = 24,           // "AppWindow/Maximized"
    };
    static constexpr int KeyCount = 25;

    // The key text of a key; the empty text for a value outside the table.
    static QString keyName(setingKey key);

    static QString getString(setingKey key, const QString &defaultValue);
    static bool setString(setingKey key, const QString &value);

    static bool getBool(setingKey key, bool defaultValue);
    static bool setBool(setingKey key, bool value);

    static QStringList getStringList(setingKey key, const QStringList &defaultValue);
    static bool setStringList(setingKey key, const QStringList &list);

    static QSize getSize(setingKey key, const QSize &defaultValue);
    static bool setSize(setingKey key, const QSize &value);

    static QPoint getPoint(setingKey key, const QPoint &defaultValue);
    static bool setPoint(setingKey key, const QPoint &value);

    static QMap<int, QString> getMap(setingKey key);
    static bool setMap(setingKey key, const QMap<int, QString> &map);

    // The file of the store, in native separators.
    static QString fileName();
    // "The settings could not be saved to "<file>"." in the user's language.
    static QString writeFailureText();
    // Writes again every value whose write has not reached the file yet (the program calls it as it
    // closes). Gives the key texts of those that still could not be written, sorted; empty when the file
    // holds them all.
    static QStringList writeUnsaved();
    // writeFailureText() and a line that names what the keys hold ("Not saved: the language, the window's
    // place and size.").
    static QString unsavedText(const QStringList &keys);
    // Keeps a copy of a stored text that could not be read, beside the key, under a key of its own named
    // after the key and the time ("OmbrelayDeviceListUnread/20261207T142233"), so that it can be brought
    // back. A copy already kept with the same text is reused. Returns the key of the copy, or the empty
    // text when it could not be written (also for a reused copy that has not reached the file).
    static QString keepUnreadCopy(setingKey key, const QString &text);

    // The text forms behind the list and map kinds, exposed so they can be checked on their own.
    static QString joinList(const QStringList &list);
    static QStringList splitList(const QString &text);
    static QString mapToText(const QMap<int, QString> &map);
    static QMap<int, QString> mapFromText(const QString &text);

    // Tool paths, in native separators: beside the program ("/tools/FFmpeg/ffmpeg.exe",
    // "/tools/DVDAuthor/dvdauthor.exe") when an executable is there, else the "ffmpeg" / "dvdauthor"
    // found on the PATH (the Debian packages), else the path beside the program.
    static QString ffmpegDefaultPath();
    static QString dvdauthorPath();

    // Fixed file names of the USB exchange.
    static QString dbXmlExportName();
    static QString favsListUpdateName();
};
