#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>

#include <atomic>
#include <memory>

class EmulatorSession;
class ReceiverEmulator;

// The receiver's side of the list, folder, file and recording exchanges for the emulator, served from
// a PC folder that stands for the receiver's drives ("v\a\f" is root/v/a/f), with fault switches for
// each failure path. Set the switches before the command is sent.
class TransferCommands
{
public:
    explicit TransferCommands(const QString &root);

    // Installs commands 0x03..0x0B, 0x17, 0x19..0x24 and the late cancel byte on this emulator.
    static std::shared_ptr<TransferCommands> install(ReceiverEmulator &emulator, const QString &root);

    // Files.
    std::atomic_int blockSize{65536};    // bytes per download block
    std::atomic_int refuseStatus{0};     // non-zero: answer the command header with this status
    std::atomic_int packetAck{1};        // status that answers each upload packet
    std::atomic<qint64> dropAfter{-1};   // close the connection after this many file bytes
    std::atomic<qint64> silentAfter{-1}; // stop sending (connection stays open) after this many
    std::atomic<qint64> endAfter{-1};    // end a download with the block marker 0xFA after this many
    // Refuse this path level (0 = first) with 0xFD, as a level that is a file is refused. A folder command
    // ends at the refused level, a file transfer after its last level (each of its levels is answered); the
    // emulator then reads the next bytes as a new command, as a receiver does.
    std::atomic_int refuseLevel{-1};
    std::atomic<qint64> cutUploadAfter{-1}; // close a recording upload after this many bytes of it
    std::atomic_uint announcedBlock{0};     // non-zero: the block size announced instead of blockSize
    std::atomic_bool padLastBlock{false};   // pad the last download block to the full block size
    // Refuse (0xFD) an upload whose folder does not exist, as a receiver that makes no folders on its own.
    std::atomic_bool uploadNeedsFolder{false};
    // End a download (own end or answer to a cancel) with the whole closing block, as receivers do:
    // the marker 0xFA and three bytes, then, a moment later, a block's worth of bytes.
    std::atomic_bool fullClosingBlock{false};
    QByteArray listingOverride;        // raw listing reply served instead of the folder's
    std::atomic_int listingDelayMs{0}; // the listing reply waits this long after the request was read
    // Lists: the reply to a list command, the document sent, its chunk size, bytes sent before each
    // chunk (another tag), tags split in two pieces, and the index of the upload message refused.
    std::atomic_int listReply{0xAA};
    QByteArray listDocument;
    std::atomic_int listChunk{1000};
    QByteArray listExtraTag;
    std::atomic_bool splitTags{false};
    std::atomic_int refuseMessage{-1};
    // Recordings: the parts served for a download (key, suffix, bytes), the code that ends the
    // stream, and the requests the receiver makes during an upload (kind, file, count). silentAfter holds a
    // download silent once that many bytes of its blocks went.
    struct RecordingPart
    {
        quint8 key;
        QByteArray suffix;
        QByteArray data;
    };
    QList<RecordingPart> recordingParts;
    std::atomic_int recordingEnd{0xFF};
    std::atomic_int recordingReplyStatus{1};
    struct UploadRequest
    {
        quint8 kind;
        quint8 file;
        quint32 count;
    };
    QList<UploadRequest> uploadRequests;

    // The code of a refused step: a path level, a folder to make or delete, an upload into a missing folder.
    // Receivers refuse with any code they list (0xFF general error, 0xFE, 0xFD not found, 0xFC, 0xFA, 0xF8, 0xF7)
    // or one they do not; only 0xF9 ("pending") and 0x01 are no refusal.
    std::atomic_int refusal{0xFD};

    // What recording uploads delivered: the description and the bytes sent per request (or "ABORT").
    QList<QList<QByteArray>> recordingUploads() const;
    // List upload messages as received: tag and text, "CMP" or "CNL".
    QList<QByteArray> uploadMessages() const;
    int listAnswers() const { return m_listAnswers.load(); }
    int uploadPackets() const { return m_packets.load(); }
    int cancelBytesSeen() const { return m_cancels.load(); }
    // Deletions of files, folders (0x08) and recordings (0x17).
    int deleteRequests() const { return m_deletes.load(); }
    int lastDeletedRecording() const { return m_lastDeletedRecording.load(); }

private:
    QString localPath(QStringList parts) const;
    // Reads the path messages, answering each but the name; *refused tells that one was refused. A folder
    // command ends at the first refused level; with wholePath (the file transfers) every level is read and
    // answered, and the exchange ends after the last one.
    QStringList readLevels(EmulatorSession &s, int levels, bool withLast, bool *refused, bool wholePath = false);
    // Reads a byte if one comes within timeoutMs; a cancel byte is counted and acknowledged.
    bool cancelSeen(EmulatorSession &s, int timeoutMs = 0);
    bool sendClosingBlock(EmulatorSession &s);
    bool serveListing(EmulatorSession &s);
    bool serveDownload(EmulatorSession &s);
    bool serveUpload(EmulatorSession &s);
    bool servePathCommand(EmulatorSession &s, quint8 command);
    bool serveRecordingDelete(EmulatorSession &s);
    bool serveListDownload(EmulatorSession &s);
    bool serveListUpload(EmulatorSession &s);
    bool serveRecordingDownload(EmulatorSession &s);
    bool serveRecordingUpload(EmulatorSession &s);

    QString m_root;
    mutable QMutex m_lock;
    QList<QByteArray> m_messages;
    QList<QList<QByteArray>> m_recordingUploads;
    std::atomic_int m_listAnswers{0};
    std::atomic_int m_packets{0};
    std::atomic_int m_cancels{0};
    std::atomic_int m_deletes{0};
    std::atomic_int m_lastDeletedRecording{-1};
};
