#include "transfercommands.h"

#include "emulatorsession.h"
#include "receiveremulator.h"

#include "device/transfers/listchunkparser.h"
#include "device/transfers/transferwire.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QThread>
#include <QtEndian>

namespace {
quint16 be16(const QByteArray &b)
{
    return quint16(TransferWire::readBE(b, 0, 2));
}
} // namespace

TransferCommands::TransferCommands(const QString &root)
    : m_root(root)
{}

std::shared_ptr<TransferCommands> TransferCommands::install(ReceiverEmulator &emulator, const QString &root)
{
    auto commands = std::make_shared<TransferCommands>(root);
    const auto serve = [&emulator, commands](quint8 command, bool (TransferCommands::*handler)(EmulatorSession &)) {
        emulator.setCommand(command, [commands, handler](EmulatorSession &s) {
            if (!((*commands).*handler)(s))
                s.close();
        });
    };
    serve(0x03, &TransferCommands::serveListing);
    serve(0x04, &TransferCommands::serveDownload);
    serve(0x05, &TransferCommands::serveRecordingDownload);
    serve(0x0A, &TransferCommands::serveUpload);
    serve(0x0B, &TransferCommands::serveRecordingUpload);
    serve(0x17, &TransferCommands::serveRecordingDelete);
    for (quint8 command : {quint8(0x07), quint8(0x08)})
        emulator.setCommand(command, [commands, command](EmulatorSession &s) {
            if (!commands->servePathCommand(s, command))
                s.close();
        });
    for (quint8 command : {quint8(0x19), quint8(0x20), quint8(0x21)})
        serve(command, &TransferCommands::serveListDownload);
    for (quint8 command : {quint8(0x22), quint8(0x23), quint8(0x24)})
        serve(command, &TransferCommands::serveListUpload);
    // A cancel that came after the last block: nothing is left to stop.
    emulator.setCommand(TransferWire::CancelByte, [commands](EmulatorSession &) { ++commands->m_cancels; });
    return commands;
}

QList<QList<QByteArray>> TransferCommands::recordingUploads() const
{
    QMutexLocker lock(&m_lock);
    return m_recordingUploads;
}

QList<QByteArray> TransferCommands::uploadMessages() const
{
    QMutexLocker lock(&m_lock);
    return m_messages;
}

QString TransferCommands::localPath(QStringList parts) const
{
    for (QString &p : parts)
        while (p.startsWith(u'/'))
            p.remove(0, 1);
    return m_root + u'/' + parts.join(u'/');
}

QStringList TransferCommands::readLevels(EmulatorSession &s, int levels, bool withLast, bool *refused, bool wholePath)
{
    QStringList parts;
    *refused = false;
    const int count = levels + (withLast ? 1 : 0);
    for (int i = 0; i < count; ++i) {
        parts << QString::fromUtf8(s.readMessage());
        if (withLast && i == count - 1)
            break; // the name: answered by the command itself
        // A level that is a file holds no folder to go into; the levels below a refused one are refused too.
        *refused = *refused || i == refuseLevel || QFileInfo(localPath(parts)).isFile();
        s.sendStatus(*refused ? quint8(refusal.load()) : TransferWire::StatusOk);
        // A folder command ends at the refused level; a file transfer, whose every level is answered, ends
        // after its last level. Whatever follows is read as a new command, as on a receiver.
        if (*refused && (!wholePath || i == levels - 1))
            break;
    }
    return parts;
}

bool TransferCommands::cancelSeen(EmulatorSession &s, int timeoutMs)
{
    quint8 byte = 0;
    if (!s.readByte(&byte, timeoutMs) || byte != TransferWire::CancelByte)
        return false;
    ++m_cancels;
    sendClosingBlock(s);
    return true;
}

bool TransferCommands::sendClosingBlock(EmulatorSession &s)
{
    if (!s.write(QByteArray("\xFA\0\0\0", 4)))
        return false;
    if (!fullClosingBlock)
        return true;
    QThread::msleep(20);
    return s.write(QByteArray(blockSize.load(), '\0'));
}

bool TransferCommands::serveListing(EmulatorSession &s)
{
    const QByteArray head = s.read(2);
    if (head.size() < 2)
        return false;
    s.sendStatus(TransferWire::StatusOk);
    bool refused = false;
    const QStringList parts = readLevels(s, be16(head), false, &refused);
    if (refused)
        return true;
    if (listingDelayMs.load() > 0)
        QThread::msleep(ulong(listingDelayMs.load()));
    if (!listingOverride.isEmpty())
        return s.write(listingOverride);
    const QFileInfoList entries =
        QDir(localPath(parts)).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    QByteArray reply = TransferWire::uint16(quint16(entries.size()));
    for (const QFileInfo &e : entries) {
        const QByteArray name = e.fileName().toUtf8().left(255);
        if (e.isDir())
            reply += QByteArray(1, '\0') + '\1' + char(name.size()) + name;
        else
            reply += QByteArray(1, '\1') + char(name.size()) + name + TransferWire::uint64(quint64(e.size())) +
                     TransferWire::uint32(100);
    }
    return s.write(reply);
}

bool TransferCommands::serveDownload(EmulatorSession &s)
{
    const QByteArray head = s.read(10);
    if (head.size() < 10)
        return false;
    if (refuseStatus) // refused at the header: the PC stops there
        return s.sendStatus(quint8(refuseStatus.load()));
    s.sendStatus(TransferWire::StatusOk);
    bool refused = false;
    const QStringList parts = readLevels(s, be16(head), true, &refused, true);
    if (refused)
        return true; // ended after the last level: the name was never read
    QFile file(localPath(parts));
    if (!file.open(QIODevice::ReadOnly))
        return s.sendStatus(0xFD);
    const qint64 total = file.size();
    const quint32 block = quint32(blockSize.load());
    const quint32 announced = announcedBlock ? announcedBlock.load() : block;
    s.write(QByteArray(1, '\1') + TransferWire::uint64(quint64(total)) + TransferWire::uint32(announced));
    // One buffer for every block: [marker][3 bytes][data].
    QByteArray blockBytes(int(block) + 4, '\0');
    for (qint64 sent = 0; sent < total;) {
        if (cancelSeen(s))
            return true;
        if (dropAfter >= 0 && sent >= dropAfter)
            return false;
        if (endAfter >= 0 && sent >= endAfter)
            return sendClosingBlock(s);
        if (silentAfter >= 0 && sent >= silentAfter) {
            // Keep the connection, send nothing more until the PC gives up or cancels.
            while (s.isOpen())
                if (cancelSeen(s, 50))
                    return true;
            return false;
        }
        const qint64 n = file.read(blockBytes.data() + 4, qMin<qint64>(block, total - sent));
        if (n <= 0)
            return false;
        sent += n;
        qint64 length = n + 4;
        if (padLastBlock && n < qint64(block)) {
            memset(blockBytes.data() + 4 + n, 0, size_t(qint64(block) - n));
            length = qint64(block) + 4;
        }
        if (!s.write(QByteArray::fromRawData(blockBytes.constData(), length)))
            return false;
    }
    return true;
}

bool TransferCommands::serveUpload(EmulatorSession &s)
{
    const QByteArray head = s.read(10);
    if (head.size() < 10)
        return false;
    if (refuseStatus)
        return s.sendStatus(quint8(refuseStatus.load()));
    s.sendStatus(TransferWire::StatusOk);
    bool refused = false;
    QStringList parts = readLevels(s, be16(head), false, &refused, true);
    if (refused)
        return true; // ended after the last level: size and name are not read
    const QByteArray sizeAndName = s.readMessage();
    if (sizeAndName.size() < 9)
        return false;
    const qint64 size = qint64(TransferWire::readBE(sizeAndName, 0, 8));
    parts << QString::fromUtf8(sizeAndName.mid(8));
    const QString path = localPath(parts);
    if (uploadNeedsFolder && !QFileInfo(QFileInfo(path).absolutePath()).isDir())
        return s.sendStatus(quint8(refusal.load()));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return s.sendStatus(0xFF);
    s.sendStatus(TransferWire::StatusOk);
    if (s.read(4).size() < 4)
        return false;
    // Straight into one buffer, only the markers recorded; the receiver keeps no more than one packet.
    QByteArray packet(TransferWire::PacketSize, '\0');
    for (qint64 got = 0; got < size;) {
        if (!s.readInto(packet.data(), TransferWire::PacketSize))
            return false;
        s.emulator().record(packet.left(1));
        if (quint8(packet.at(0)) == TransferWire::CancelByte) {
            ++m_cancels;
            file.remove();
            return true;
        }
        const qint64 n = qMin<qint64>(TransferWire::PacketDataSize, size - got);
        got += n;
        ++m_packets;
        if (dropAfter >= 0 && got >= dropAfter)
            return false;
        const bool last = got >= size;
        // Answer on receipt and store while the PC reads its next packet; the last packet is stored
        // first, so the file is complete when the PC hears that it is done.
        if (!last && !s.sendStatus(quint8(packetAck.load())))
            return false;
        file.write(packet.constData() + 1, n);
        if (last) {
            file.flush();
            if (!s.sendStatus(quint8(packetAck.load())))
                return false;
        }
        if (packetAck != TransferWire::StatusOk)
            return true;
    }
    return true;
}

bool TransferCommands::servePathCommand(EmulatorSession &s, quint8 command)
{
    const QByteArray head = s.read(2);
    if (head.size() < 2)
        return false;
    if (refuseStatus)
        return s.sendStatus(quint8(refuseStatus.load()));
    s.sendStatus(TransferWire::StatusOk);
    bool refused = false;
    const QString path = localPath(readLevels(s, be16(head), true, &refused));
    if (refused)
        return true; // ended at the refused level: the rest was never read
    // A connection the PC let go before the path came whole names no folder: nothing is made or deleted.
    if (!s.isOpen())
        return false;
    bool ok = false;
    if (command == 0x07) {
        ok = QDir().mkpath(path);
    } else {
        ++m_deletes;
        ok = QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path);
    }
    return s.sendStatus(ok ? TransferWire::StatusOk : quint8(refusal.load()));
}

bool TransferCommands::serveRecordingDelete(EmulatorSession &s)
{
    const QByteArray id = s.read(2);
    if (id.size() < 2)
        return false;
    m_lastDeletedRecording = be16(id);
    ++m_deletes;
    return s.sendStatus(refuseStatus ? quint8(refuseStatus.load()) : TransferWire::StatusOk);
}

bool TransferCommands::serveListDownload(EmulatorSession &s)
{
    s.writeByte(quint8(listReply.load()));
    if (listReply != 0xAA || silentAfter == 0)
        return true;
    const QByteArray doc = listDocument;
    const int step = qMax(1, listChunk.load());
    for (int at = 0; at < doc.size(); at += step) {
        const QByteArray piece = doc.mid(at, step);
        const quint32 percent = quint32(qMin<qint64>(100, (at + piece.size()) * 100 / doc.size()));
        QByteArray chunk = listExtraTag + ListChunkParser::dataChunk(piece, percent);
        if (splitTags) {
            // A tag that arrives in two pieces, the second after a pause.
            s.write(chunk.left(2));
            QThread::msleep(30);
            chunk.remove(0, 2);
        }
        s.write(chunk);
        const QByteArray answer = s.read(1, 5000);
        if (answer.isEmpty())
            return false;
        ++m_listAnswers;
        if (answer.at(0) != '\x55')
            return true;
    }
    return s.write(ListChunkParser::endChunk());
}

bool TransferCommands::serveListUpload(EmulatorSession &s)
{
    s.writeByte(quint8(listReply.load()));
    if (listReply != 0xAA)
        return true;
    for (int index = 0;; ++index) {
        const QByteArray tag = s.read(3, 5000);
        if (tag.size() < 3)
            return false;
        if (tag == "CNL" || tag == "CMP") {
            {
                QMutexLocker lock(&m_lock);
                m_messages << tag;
            }
            return tag == "CNL" || s.writeByte(0xAA);
        }
        const QByteArray length = s.read(4);
        if (length.size() < 4)
            return false;
        const qint64 size = qFromLittleEndian<quint32>(length.constData());
        const QByteArray text = s.read(size, 5000);
        if (text.size() < size)
            return false;
        {
            QMutexLocker lock(&m_lock);
            m_messages << tag + text;
        }
        s.writeByte(index == refuseMessage ? 0xAC : 0xAA);
    }
}

bool TransferCommands::serveRecordingDownload(EmulatorSession &s)
{
    if (s.read(10).size() < 10)
        return false;
    if (recordingReplyStatus != 1)
        return s.writeByte(quint8(recordingReplyStatus.load()));
    qint64 total = 0;
    QByteArray table;
    for (const RecordingPart &p : std::as_const(recordingParts)) {
        total += p.data.size();
        table += char(p.key) + QByteArray(1, char(p.suffix.size())) + p.suffix;
    }
    s.write(QByteArray(1, '\1') + TransferWire::uint64(quint64(total)) + QByteArray(1, char(recordingParts.size())) +
            table);
    quint8 answer = 0;
    if (!s.readByte(&answer, 5000)) // go
        return false;
    const int block = blockSize.load();
    bool canceled = false;
    qint64 sent = 0;
    for (const RecordingPart &p : std::as_const(recordingParts)) {
        for (int at = 0; at < p.data.size() && !canceled; at += block) {
            const QByteArray piece = p.data.mid(at, block);
            s.write(QByteArray(1, char(p.key)) + TransferWire::uint32(quint32(piece.size())) + QByteArray(3, '\0') +
                    piece);
            sent += piece.size();
            if (silentAfter >= 0 && sent >= silentAfter) {
                // Keeps the connection and sends nothing more; a cancel is taken and not answered.
                while (s.isOpen()) {
                    quint8 byte = 0;
                    if (s.readByte(&byte, 50) && byte == TransferWire::CancelByte)
                        ++m_cancels;
                }
                return true;
            }
            // A cancel byte comes right after a block.
            quint8 byte = 0;
            if (s.readByte(&byte, 20) && byte == TransferWire::CancelByte) {
                ++m_cancels;
                canceled = true;
            }
        }
    }
    const quint8 end = canceled ? TransferWire::CancelByte : quint8(recordingEnd.load());
    s.writeByte(end);
    if (end == 0xFF || (end >= 0xFB && end <= 0xFE) || !((end >= 0xF0 && end <= 0xF8) || end == 0xFA))
        s.readByte(&answer, 5000);
    // The closing byte, answered so the PC need not wait.
    if (s.readByte(&answer, 5000))
        s.writeByte(TransferWire::StatusOk);
    return true;
}

bool TransferCommands::serveRecordingUpload(EmulatorSession &s)
{
    if (!s.sendStatus(refuseStatus ? quint8(refuseStatus.load()) : TransferWire::StatusOk) || refuseStatus)
        return true;
    // Bytes of this upload taken so far; with the cut switch the connection closes at that count.
    qint64 taken = 0;
    const qint64 cut = cutUploadAfter.load();
    const auto take = [&](char *into, qint64 n, int timeoutMs) {
        const qint64 allowed = cut < 0 ? n : qMin(n, cut - taken);
        if (allowed > 0 && !s.readInto(into, allowed, timeoutMs))
            return false;
        taken += qMax<qint64>(0, allowed);
        return allowed == n;
    };
    const auto answer = [&] { return (cut < 0 || taken < cut) && s.sendStatus(TransferWire::StatusOk); };
    QByteArray head(12, '\0');
    if (!take(head.data(), 12, 5000))
        return false;
    s.emulator().record(head);
    const qint64 size = qint64(TransferWire::readBE(head, 0, 8));
    QByteArray desc;
    QByteArray packet(TransferWire::PacketSize, '\0');
    for (qint64 got = 0; got < size; got += TransferWire::PacketDataSize) {
        if (!take(packet.data(), TransferWire::PacketSize, 5000))
            return false;
        s.emulator().record(packet.left(1));
        desc += packet.mid(1, int(qMin<qint64>(TransferWire::PacketDataSize, size - got)));
        if (!answer())
            return false;
    }
    // An upload is kept once it is whole, before the answer the PC waits for last.
    QList<QByteArray> delivered{desc};
    const auto keep = [this, &delivered] {
        QMutexLocker lock(&m_lock);
        m_recordingUploads << delivered;
    };
    const QList<UploadRequest> asked = uploadRequests;
    QByteArray requests;
    for (const UploadRequest &r : asked)
        requests += char(r.kind) + QByteArray(1, char(r.file)) + TransferWire::uint32(r.count);
    if (asked.isEmpty() || asked.first().kind == 0xF8)
        keep();
    s.write(requests);
    for (int i = 0; i < asked.size() && asked.at(i).kind != 0xF8; ++i) {
        const UploadRequest &r = asked.at(i);
        QByteArray data(qint64(r.count) + 1, '\0');
        if (!take(data.data(), data.size(), 5000))
            return false;
        s.emulator().record(data);
        if (quint8(data.at(0)) == TransferWire::CancelByte) {
            ++m_cancels;
            delivered << QByteArray("ABORT");
            keep();
            return true;
        }
        delivered << data.mid(1);
        const bool last = r.kind != 1 || i + 1 == asked.size() || asked.at(i + 1).kind == 0xF8;
        if (last && (cut < 0 || taken < cut))
            keep();
        if (!answer())
            return false;
        if (last)
            break;
    }
    return true;
}
