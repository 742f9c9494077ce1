#pragma once

#include "device/transfers/copyjobdocument.h"

#include <functional>

// Builders that turn a drag-and-drop or clipboard payload into a copy job.

// "\r\n": the separator of both payload formats.
QString uriListSeparator();

// One "text/uri-list" line to a local PC path (percent-encoded file URLs and plain "file:///" lines);
// empty when the line is no file URL.
QString localPathFromUriLine(const QString &line);

// One "text/uri-list" line for a local PC path, percent-encoded, without the separator.
QString uriLineFromLocalPath(const QString &path);

// PC files to a receiver recordings folder: one type-2 entry per distinct recording set, whose path is
// "rec://" followed by the set's ".desc" file, so only the chosen set is uploaded.
CopyJobDocument buildUploadJobFromUriList(const QString &payload, const QString &mimeType);

// PC files and folders to a PC folder or an ordinary receiver folder. Hidden entries inside the folders are
// taken only withHidden (a move between PC folders must leave none behind).
CopyJobDocument buildCopyJobFromUris(const QString &payload, const QString &mimeType,
                                     const std::function<bool()> &stopRequested = {}, bool withHidden = false);

// Adds one PC file, or a folder with its content (sub-folders first, then files, then the folder),
// to the job. Symbolic links to folders are not walked; the walk stops below maxDepth levels and as
// soon as stopRequested says so (false is returned then).
bool addDirectoryRecursively(const QString &relativePath, const QString &path, CopyJobDocument &document, qint64 &total,
                             const std::function<bool()> &stopRequested = {}, int depth = 0, bool withHidden = false);

// The flat receiver list for a deletion: folders, then files, then recordings (sorted lines).
CopyJobDocument buildFileListFromUris(const QString &payload, const QString &mimeType);

// A receiver folder path "/hda1\recordings"-like check shared by the prepare requests.
bool isRecordingsFolder(const QString &receiverPath);
