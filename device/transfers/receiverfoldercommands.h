#pragma once

#include "device/transfers/transferlink.h"

#include <QList>
#include <QString>

#include <atomic>

class CopyJobDocument;
class DeviceFileSystemItem;

// The receiver's folder commands over one connection: listing (0x03), create folder (0x07), delete
// (0x08), delete recording (0x17), folder chains and the expansion of receiver addresses into jobs.
class ReceiverFolderCommands
{
public:
    explicit ReceiverFolderCommands(TransferLink &link);

    // The listing of a folder (new items, owned by the caller), or null when it failed or is empty.
    // Read waits are listingWaitMs each. *ok (when given) tells an empty folder (true) from a failed
    // exchange (false); failureText() then says why.
    QList<DeviceFileSystemItem *> *getFolder(const QString &path, bool *ok = nullptr);
    bool createFolder(const QString &path);
    // 1 deleted, -1 failed.
    int deletePath(const QString &path);
    // Whether the last create, delete or listing failed because the receiver refused it (its header or a
    // level), whatever the code: the connection is then still in step. False after a link that failed or went
    // silent (it is then closed: a connection whose exchange was left half done is never used again).
    bool lastWasRefused() const;
    bool deleteRecording(quint16 recordId);
    // Creates each folder of a "/"-separated path (see the callers); false, with an error naming the
    // folder, when the receiver refuses one (said only when not quiet) or the link fails (always said).
    bool makePath(const QString &path, bool leaveOutLast, bool quiet = false);
    // Appends the entries of one receiver address (folders walked, at most maxDepth deep) to the job. A cancel
    // stops the walk between its listings: the job is then partial, and the caller tells it by the flag.
    void expandUri(const QString &address, const QString &relativePath, CopyJobDocument &job, qint64 &total,
                   int depth = 0);

    static constexpr int MaxDepth = 32;
    // How long a listing waits for each answer (ms); tests shorten it.
    static std::atomic_int listingWaitMs;

    // Why the last listing failed: the receiver's refusal, or that it did not answer (a cancel, or anything).
    QString failureText() const;
    // Whether the last command was given up because the receiver did not answer within the after-cancel wait.
    bool lostAfterCancel() const { return m_lostAfterCancel; }

private:
    QList<DeviceFileSystemItem *> *readListing(const QStringList &parts);
    QList<DeviceFileSystemItem *> *failed(int code);
    // The receiver did not answer in time or sent what no listing is: the link is given up.
    QList<DeviceFileSystemItem *> *lost();
    // Adds what lies in the receiver folder rawFolder (a name with control characters on its way) as
    // entries that are named to the user but never copied: their paths cannot travel in the job.
    void addUnreachable(const QString &rawFolder, const QString &shownFolder, const QString &relativePath,
                        CopyJobDocument &job, int depth);

    // [command][levels] then one message per component, each answered by the status rule, up to the first
    // refusal. Returns 1, the refusal's code, or TransferLink::NoStatus when nothing was sent or the link failed
    // (it is then closed).
    int sendPathLevels(quint8 command, const QString &path);

    TransferLink &m_link;
    int m_lastFailure = TransferLink::NoStatus;
    bool m_lostAfterCancel = false;
};
