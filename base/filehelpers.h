#pragma once

#include <QString>
#include <QtGlobal>

// Small PC-side file helpers shared by the transfers, the offline worker and the media explorer.
// They keep no state and report failure only through their results; any thread may call them.

// Creates an absolute directory with all missing parents; false for a relative path (nothing touched).
bool makePath(const QString &path);

// True when the directory holds at least one plain, non-hidden file matching the wildcard filter.
bool dirHasEntries(const QString &nameFilter, const QString &directoryPath);

// Deletes the directory with everything in it. Symbolic links are removed as links, never followed,
// and the parent folders are left alone. True when the directory is gone (or never existed).
bool removeDirRecursively(const QString &path);

// Bytes available to the current user on the file system that holds path (or, when path does not
// exist yet, its nearest existing ancestor); -1 when that cannot be known, so callers skip the check.
qint64 freeDiskSpace(const QString &path);

// "500.0 byte(s)", "1.5 KB", ... as both panes of the media explorer and the progress texts show sizes:
// the number in the current language's notation, the unit translated.
QString formatSize(qint64 size);


// Replaces each of \ / : * ? " < > | with "_".
QString sanitizeFileName(const QString &name);

// A name that came from a receiver made safe as one PC path component: control characters removed,
// the characters of sanitizeFileName replaced; empty when nothing usable is left ("", ".", "..").
QString safeReceiverName(const QString &rawName);

// The absolute, cleaned path of relative below base, or an empty string when it would leave base
// (".." components) or go deeper than maxDepth components. Only "/" separates components; callers turn
// receiver paths ("\\") into "/" themselves.
QString pathInside(const QString &base, const QString &relative, int maxDepth = 64);
