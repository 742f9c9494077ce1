#pragma once

#include <QList>
#include <QString>

class CopyJobDocument;
class DeviceFileSystemItem;
class TransferLink;

// The receiver's folder commands over one connection: listing (0x03), create folder (0x07), delete
// (0x08), delete recording (0x17), folder chains and the expansion of receiver addresses into jobs.
class ReceiverFolderCommands
{
public:
    explicit ReceiverFolderCommands(TransferLink &link);

    // The listing of a folder (new items, owned by the caller), or null when it failed or is empty.
    // Read waits are 15000 ms each.
    // *ok (when given) tells an empty folder (true) from a failed exchange (false).
    QList<DeviceFileSystemItem *> *getFolder(const QString &path, bool *ok = nullptr);
    bool createFolder(const QString &path);
    // 1 deleted, -1 failed.
    int deletePath(const QString &path);
    bool deleteRecording(quint16 recordId);
    // Creates each folder of a "/"-separated path (see the callers); always true.
    bool makePath(const QString &path, bool leaveOutLast);
    // Appends the entries of one receiver address (folders walked, at most maxDepth deep) to the job.
    void expandUri(const QString &address, const QString &relativePath, CopyJobDocument &job, qint64 &total,
                   int depth = 0);

    static constexpr int MaxDepth = 32;
    static constexpr int ListingWait = 15000;

private:
    // [command][levels] then one message per component, each answered by the status rule.
    bool sendPathLevels(quint8 command, const QString &path);

    TransferLink &m_link;
};
