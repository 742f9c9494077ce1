#pragma once

#include <QByteArray>
#include <QMutex>
#include <QSemaphore>
#include <QString>
#include <QThread>

#include <atomic>
#include <functional>

class QTcpSocket;

// The receiver side of the file exchanges on 127.0.0.1 for tests and benchmarks: one connection,
// commands 0x03, 0x04, 0x07, 0x08, 0x0A and 0x17 served from a folder that stands for the
// receiver's drives ("v\a\f" is root/v/a/f), with fault switches for each failure path.
class TransferPeer : public QThread
{
    Q_OBJECT
public:
    explicit TransferPeer(const QString &root, QObject *parent = nullptr);
    ~TransferPeer() override;

    quint16 startListening();

    // Fault switches; set before the command is sent.
    std::atomic_int blockSize{65536};       // bytes per download block
    std::atomic_int refuseStatus{0};        // non-zero: answer the command header with this status
    std::atomic_int packetAck{1};           // status that answers each upload packet
    std::atomic<qint64> dropAfter{-1};      // close the connection after this many data bytes
    std::atomic<qint64> silentAfter{-1};    // stop sending (connection stays open) after this many
    std::atomic_uint announcedBlock{0};     // non-zero: the block size announced instead of blockSize
    std::atomic_int pendingBeforeStatus{0}; // send this many 0xF9 before each status
    std::atomic_bool logBytes{true};        // keep every received byte (off for benchmarks)
    std::atomic_bool padLastBlock{false};   // pad the last download block to the full block size
    QByteArray listingOverride;             // raw listing reply served instead of the folder's
    // Lists: the reply to a list command, the document sent, its chunk size, bytes sent before each
    // chunk (another tag), tags split in two pieces, and the upload message that is refused.
    std::atomic_int listReply{0xAA};
    QByteArray listDocument;
    std::atomic_int listChunk{1000};
    QByteArray listExtraTag;
    std::atomic_bool splitTags{false};
    std::atomic_int refuseMessage{-1};
    // Recordings: the parts served for a download (key, suffix, bytes), the code that ends the
    // stream, and the requests the receiver makes during an upload (kind, file, count).
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
    // What a recording upload delivered: the description and the bytes sent per request (or "ABORT").
    QList<QList<QByteArray>> recordingUploads() const;
    QList<QByteArray> uploadMessages() const;
    int listAnswers() const { return m_listAnswers.load(); }

    QByteArray received() const;
    void clearReceived();
    int uploadPackets() const { return m_packets.load(); }
    int cancelBytesSeen() const { return m_cancels.load(); }
    int deleteRequests() const { return m_deletes.load(); }

protected:
    void run() override;

private:
    bool serveCommand(QTcpSocket &s, quint8 command);
    bool readN(QTcpSocket &s, int n, QByteArray *out, int ms = 5000);
    QByteArray readMessage(QTcpSocket &s);
    bool sendStatus(QTcpSocket &s, quint8 status = 1);
    bool readLevels(QTcpSocket &s, quint16 levels, bool withLast, QStringList *parts);
    QString localPath(const QStringList &parts) const;
    bool serveDownload(QTcpSocket &s);
    bool serveUpload(QTcpSocket &s);
    bool servePathCommand(QTcpSocket &s, quint8 command);
    bool serveListing(QTcpSocket &s);
    bool serveListDownload(QTcpSocket &s);
    bool serveListUpload(QTcpSocket &s);
    bool serveRecordingDownload(QTcpSocket &s);
    bool serveRecordingUpload(QTcpSocket &s);
    void log(const QByteArray &bytes);

    QString m_root;
    quint16 m_port = 0;
    QSemaphore m_ready;
    mutable QMutex m_lock;
    QByteArray m_received;
    std::atomic_int m_packets{0};
    std::atomic_int m_cancels{0};
    std::atomic_int m_deletes{0};
    std::atomic_bool m_quit{false};
    std::atomic_int m_listAnswers{0};
    QList<QByteArray> m_messages;
    QList<QList<QByteArray>> m_recordingUploads;
};
