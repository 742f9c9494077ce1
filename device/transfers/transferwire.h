#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// Byte layouts of the file, recording and folder exchanges with a receiver. Pure functions: bytes in,
// a verdict (incomplete, bad, or a value and its size) out; nothing here touches a socket.
class TransferWire
{
public:
    enum Parse { Incomplete, Bad, Done };

    static constexpr int PacketDataSize = 64239; // 0xFAEF
    static constexpr int PacketSize = 64240;     // marker byte + data
    static constexpr quint8 StatusOk = 0x01;
    static constexpr quint8 StatusPending = 0xF9;
    static constexpr quint8 CancelByte = 0xFA;
    // Largest block a receiver may announce for a file download; anything above is hostile.
    static constexpr quint32 MaxBlockSize = 16u * 1024u * 1024u;

    static QByteArray uint16(quint16 v);
    static QByteArray uint32(quint32 v);
    static QByteArray uint64(quint64 v);
    static quint64 readBE(const QByteArray &bytes, int offset, int width);

    // [command][levels u16][0 u64], the header of the file download and upload.
    static QByteArray transferHeader(quint8 command, quint16 levels);
    // [command][levels u16], the header of listing, create folder and delete.
    static QByteArray pathHeader(quint8 command, quint16 levels);
    // [marker][up to 64239 bytes][zeros up to 64240].
    static QByteArray packet(quint8 marker, const QByteArray &data);
    static QByteArray cancelPacket() { return packet(CancelByte, QByteArray()); }

    // The 13-byte reply after a download's file name: status, total size, block size.
    struct DownloadReply
    {
        quint8 status = 0;
        quint64 total = 0;
        quint32 blockSize = 0;
    };
    // Bad when the status is not OK or the sizes are hostile (total above 2^62, block 0 or too big).
    static Parse parseDownloadReply(const QByteArray &bytes, DownloadReply *reply);

    // The reply to a recording download request.
    struct RecordingReply
    {
        quint8 status = 0;
        qint64 total = 0;
        qint8 count = 0;
        QMap<qint8, QString> suffixes;
        int consumed = 0;
    };
    // A reply of the status byte alone is Bad with the status set; a suffix that is not
    // [A-Za-z0-9_-]{1,16} is Bad too (it would name a file outside the recording folder).
    static Parse parseRecordingReply(const QByteArray &bytes, RecordingReply *reply);
    static bool isSafeSuffix(const QString &suffix);

    // One 6-byte request of the recording upload: kind, file, count.
    struct UploadRequest
    {
        quint8 kind = 0;
        quint8 file = 0;
        quint32 count = 0;
    };
    static Parse parseUploadRequest(const QByteArray &bytes, UploadRequest *request);
};
