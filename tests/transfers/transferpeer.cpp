#include "transferpeer.h"

#include "device/listchunkparser.h"
#include "device/transferwire.h"

#include <QtEndian>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>

TransferPeer::TransferPeer(const QString &root, QObject *parent)
    : QThread(parent)
    , m_root(root)
{}

TransferPeer::~TransferPeer()
{
    m_quit = true;
    wait();
}

quint16 TransferPeer::startListening()
{
    start();
    m_ready.acquire();
    return m_port;
}

QByteArray TransferPeer::received() const
{
    QMutexLocker lock(&m_lock);
    return m_received;
}

void TransferPeer::clearReceived()
{
    QMutexLocker lock(&m_lock);
    m_received.clear();
}

void TransferPeer::log(const QByteArray &bytes)
{
    if (!logBytes)
        return;
    QMutexLocker lock(&m_lock);
    m_received += bytes;
}

void TransferPeer::run()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    m_port = server.serverPort();
    m_ready.release();
    while (!m_quit && !server.waitForNewConnection(100)) {
    }
    if (m_quit)
        return;
    QTcpSocket *s = server.nextPendingConnection();
    s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    while (!m_quit && s->state() == QAbstractSocket::ConnectedState) {
        if (s->bytesAvailable() == 0 && !s->waitForReadyRead(100))
            continue;
        QByteArray command;
        if (!readN(*s, 1, &command))
            break;
        if (!serveCommand(*s, quint8(command.at(0))))
            break;
    }
    s->disconnectFromHost();
    if (s->state() != QAbstractSocket::UnconnectedState)
        s->waitForDisconnected(1000);
    delete s;
}

bool TransferPeer::readN(QTcpSocket &s, int n, QByteArray *out, int ms)
{
    out->clear();
    while (out->size() < n) {
        if (s.bytesAvailable() == 0 && !s.waitForReadyRead(ms))
            return false;
        out->append(s.read(n - out->size()));
    }
    log(*out);
    return true;
}

QByteArray TransferPeer::readMessage(QTcpSocket &s)
{
    // The PC sends one message and waits for its answer, so what has arrived is the message.
    if (s.bytesAvailable() == 0)
        s.waitForReadyRead(5000);
    const QByteArray m = s.readAll();
    log(m);
    return m;
}

bool TransferPeer::sendStatus(QTcpSocket &s, quint8 status)
{
    for (int i = 0; i < pendingBeforeStatus; ++i) {
        s.write("\xF9", 1);
        s.flush();
        QByteArray answer;
        if (!readN(s, 1, &answer) || answer.at(0) != '\x01')
            return false;
    }
    s.write(reinterpret_cast<const char *>(&status), 1);
    return s.flush() || s.bytesToWrite() == 0;
}

bool TransferPeer::readLevels(QTcpSocket &s, quint16 levels, bool withLast, QStringList *parts)
{
    parts->clear();
    const int count = levels + (withLast ? 1 : 0);
    for (int i = 0; i < count; ++i) {
        parts->append(QString::fromUtf8(readMessage(s)));
        if (i < count - 1 || !withLast)
            sendStatus(s);
    }
    return true;
}

QString TransferPeer::localPath(const QStringList &parts) const
{
    QStringList clean;
    for (QString p : parts) {
        while (p.startsWith(u'/'))
            p.remove(0, 1);
        clean.append(p);
    }
    return m_root + u'/' + clean.join(u'/');
}

bool TransferPeer::serveCommand(QTcpSocket &s, quint8 command)
{
    switch (command) {
    case 0x03:
        return serveListing(s);
    case 0x04:
        return serveDownload(s);
    case 0x0A:
        return serveUpload(s);
    case 0x19:
    case 0x20:
    case 0x21:
        return serveListDownload(s);
    case 0x22:
    case 0x23:
    case 0x24:
        return serveListUpload(s);
    case 0x05:
        return serveRecordingDownload(s);
    case 0x0B:
        return serveRecordingUpload(s);
    case 0x07:
    case 0x08:
        return servePathCommand(s, command);
    case TransferWire::CancelByte:
        // A cancel that came after the last block: nothing is left to stop.
        ++m_cancels;
        return true;
    case 0x17: {
        QByteArray id;
        if (!readN(s, 2, &id))
            return false;
        ++m_deletes;
        return sendStatus(s, refuseStatus ? quint8(refuseStatus) : 1);
    }
    default:
        return sendStatus(s, 0xFE);
    }
}

bool TransferPeer::serveDownload(QTcpSocket &s)
{
    QByteArray head;
    if (!readN(s, 10, &head))
        return false;
    const quint16 levels = quint16(TransferWire::readBE(head, 0, 2));
    if (refuseStatus) {
        // Refused at the header: the PC stops there.
        return sendStatus(s, quint8(refuseStatus));
    }
    sendStatus(s);
    QStringList parts;
    readLevels(s, levels, true, &parts);
    QFile file(localPath(parts));
    if (!file.open(QIODevice::ReadOnly))
        return sendStatus(s, 0xFD);
    const qint64 total = file.size();
    const quint32 block = quint32(blockSize.load());
    const quint32 announced = announcedBlock ? announcedBlock.load() : block;
    s.write(QByteArray(1, '\x01') + TransferWire::uint64(quint64(total)) + TransferWire::uint32(announced));
    s.flush();
    qint64 sent = 0;
    // One buffer for every block: [marker][3 bytes][data].
    QByteArray blockBytes(int(block) + 4, '\0');
    while (sent < total) {
        if (s.bytesAvailable() > 0) {
            QByteArray b = s.read(1);
            log(b);
            if (quint8(b.at(0)) == TransferWire::CancelByte) {
                ++m_cancels;
                s.write(QByteArray("\xFA\0\0\0", 4));
                s.flush();
                return true;
            }
        }
        if (dropAfter >= 0 && sent >= dropAfter)
            return false;
        if (silentAfter >= 0 && sent >= silentAfter) {
            // Keep the connection, send nothing more until the PC gives up or cancels.
            while (!m_quit && s.state() == QAbstractSocket::ConnectedState) {
                if (s.waitForReadyRead(50) || s.bytesAvailable() > 0) {
                    QByteArray b = s.read(1);
                    log(b);
                    if (!b.isEmpty() && quint8(b.at(0)) == TransferWire::CancelByte) {
                        ++m_cancels;
                        s.write(QByteArray("\xFA\0\0\0", 4));
                        s.flush();
                        return true;
                    }
                }
            }
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
        s.write(blockBytes.constData(), length);
        // Keep at most a few blocks in flight, as a receiver with small buffers would.
        while (s.bytesToWrite() > 4 * qint64(block) + 8)
            if (!s.waitForBytesWritten(5000))
                return false;
    }
    s.flush();
    while (s.bytesToWrite() > 0)
        if (!s.waitForBytesWritten(5000))
            return false;
    return true;
}

bool TransferPeer::serveUpload(QTcpSocket &s)
{
    QByteArray head;
    if (!readN(s, 10, &head))
        return false;
    const quint16 levels = quint16(TransferWire::readBE(head, 0, 2));
    if (refuseStatus)
        return sendStatus(s, quint8(refuseStatus));
    sendStatus(s);
    QStringList parts;
    readLevels(s, levels, false, &parts);
    const QByteArray sizeAndName = readMessage(s);
    if (sizeAndName.size() < 9)
        return false;
    const qint64 size = qint64(TransferWire::readBE(sizeAndName, 0, 8));
    parts.append(QString::fromUtf8(sizeAndName.mid(8)));
    const QString path = localPath(parts);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return sendStatus(s, 0xFF);
    sendStatus(s);
    QByteArray blockHead;
    if (!readN(s, 4, &blockHead))
        return false;
    qint64 got = 0;
    QByteArray packet(TransferWire::PacketSize, '\0');
    while (got < size) {
        // Straight into one buffer; the receiver keeps no more than one packet.
        qint64 have = 0;
        while (have < TransferWire::PacketSize) {
            if (s.bytesAvailable() == 0 && !s.waitForReadyRead(5000))
                return false;
            const qint64 n = s.read(packet.data() + have, TransferWire::PacketSize - have);
            if (n < 0)
                return false;
            have += n;
        }
        log(packet.left(1));
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
        if (!last && !sendStatus(s, quint8(packetAck.load())))
            return false;
        file.write(packet.constData() + 1, n);
        if (last) {
            file.flush();
            if (!sendStatus(s, quint8(packetAck.load())))
                return false;
        }
        if (packetAck != 1)
            return true;
    }
    return true;
}

bool TransferPeer::servePathCommand(QTcpSocket &s, quint8 command)
{
    QByteArray head;
    if (!readN(s, 2, &head))
        return false;
    const quint16 levels = quint16(TransferWire::readBE(head, 0, 2));
    if (refuseStatus)
        return sendStatus(s, quint8(refuseStatus));
    sendStatus(s);
    QStringList parts;
    readLevels(s, levels, true, &parts);
    const QString path = localPath(parts);
    bool ok = false;
    if (command == 0x07) {
        ok = QDir().mkpath(path);
    } else {
        ++m_deletes;
        const QFileInfo info(path);
        ok = info.isDir() ? QDir(path).removeRecursively() : QFile::remove(path);
    }
    return sendStatus(s, ok ? 1 : 0xFD);
}

bool TransferPeer::serveListing(QTcpSocket &s)
{
    QByteArray head;
    if (!readN(s, 2, &head))
        return false;
    const quint16 levels = quint16(TransferWire::readBE(head, 0, 2));
    sendStatus(s);
    QStringList parts;
    readLevels(s, levels, false, &parts);
    if (!listingOverride.isEmpty()) {
        s.write(listingOverride);
        s.flush();
        return true;
    }
    const QDir dir(localPath(parts));
    const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    QByteArray reply = TransferWire::uint16(quint16(entries.size()));
    for (const QFileInfo &e : entries) {
        const QByteArray name = e.fileName().toUtf8().left(255);
        if (e.isDir()) {
            reply += QByteArray(1, '\0') + QByteArray(1, '\1') + QByteArray(1, char(name.size())) + name;
        } else {
            reply += QByteArray(1, '\1') + QByteArray(1, char(name.size())) + name +
                     TransferWire::uint64(quint64(e.size())) + TransferWire::uint32(100);
        }
    }
    s.write(reply);
    s.flush();
    return true;
}

QList<QByteArray> TransferPeer::uploadMessages() const
{
    QMutexLocker lock(&m_lock);
    return m_messages;
}

bool TransferPeer::serveListDownload(QTcpSocket &s)
{
    s.write(QByteArray(1, char(listReply.load())));
    s.flush();
    if (listReply != 0xAA || silentAfter == 0)
        return true;
    const QByteArray doc = listDocument;
    const int step = qMax(1, listChunk.load());
    for (int at = 0; at < doc.size() || at == 0; at += step) {
        if (doc.isEmpty())
            break;
        const QByteArray piece = doc.mid(at, step);
        const quint32 percent = quint32(qMin<qint64>(100, (at + piece.size()) * 100 / doc.size()));
        QByteArray chunk = listExtraTag + ListChunkParser::dataChunk(piece, percent);
        if (splitTags) {
            // A tag that arrives in two pieces, the second after a pause.
            s.write(chunk.left(2));
            s.flush();
            s.waitForBytesWritten(1000);
            QThread::msleep(30);
            chunk.remove(0, 2);
        }
        s.write(chunk);
        s.flush();
        QByteArray answer;
        if (!readN(s, 1, &answer))
            return false;
        ++m_listAnswers;
        if (answer.at(0) != '\x55')
            return true;
    }
    s.write(ListChunkParser::endChunk());
    s.flush();
    return true;
}

bool TransferPeer::serveListUpload(QTcpSocket &s)
{
    s.write(QByteArray(1, char(listReply.load())));
    s.flush();
    if (listReply != 0xAA)
        return true;
    for (int index = 0;; ++index) {
        QByteArray tag;
        if (!readN(s, 3, &tag))
            return false;
        if (tag == "CNL") {
            QMutexLocker lock(&m_lock);
            m_messages.append(tag);
            return true;
        }
        if (tag == "CMP") {
            {
                QMutexLocker lock(&m_lock);
                m_messages.append(tag);
            }
            s.write("\xAA", 1);
            s.flush();
            return true;
        }
        QByteArray length;
        if (!readN(s, 4, &length))
            return false;
        QByteArray text;
        if (!readN(s, int(qFromLittleEndian<quint32>(length.constData())), &text))
            return false;
        {
            QMutexLocker lock(&m_lock);
            m_messages.append(tag + text);
        }
        s.write(index == refuseMessage ? "\xAC" : "\xAA", 1);
        s.flush();
    }
}

QList<QList<QByteArray>> TransferPeer::recordingUploads() const
{
    QMutexLocker lock(&m_lock);
    return m_recordingUploads;
}

bool TransferPeer::serveRecordingDownload(QTcpSocket &s)
{
    QByteArray request;
    if (!readN(s, 10, &request))
        return false;
    if (recordingReplyStatus != 1) {
        s.write(QByteArray(1, char(recordingReplyStatus.load())));
        s.flush();
        return true;
    }
    qint64 total = 0;
    QByteArray table;
    for (const RecordingPart &p : std::as_const(recordingParts)) {
        total += p.data.size();
        table += char(p.key) + QByteArray(1, char(p.suffix.size())) + p.suffix;
    }
    s.write(QByteArray(1, '\x01') + TransferWire::uint64(quint64(total)) + QByteArray(1, char(recordingParts.size())) +
            table);
    s.flush();
    QByteArray go;
    if (!readN(s, 1, &go))
        return false;
    const int block = blockSize.load();
    bool canceled = false;
    for (const RecordingPart &p : std::as_const(recordingParts)) {
        for (int at = 0; at < p.data.size() && !canceled; at += block) {
            const QByteArray piece = p.data.mid(at, block);
            s.write(QByteArray(1, char(p.key)) + TransferWire::uint32(quint32(piece.size())) + QByteArray(3, '\0') +
                    piece);
            s.flush();
            s.waitForBytesWritten(1000);
            // A cancel byte comes right after a block.
            if (s.waitForReadyRead(20) || s.bytesAvailable() > 0) {
                QByteArray b = s.read(1);
                log(b);
                if (!b.isEmpty() && quint8(b.at(0)) == TransferWire::CancelByte) {
                    ++m_cancels;
                    canceled = true;
                }
            }
        }
    }
    const quint8 end = canceled ? quint8(0xFA) : quint8(recordingEnd.load());
    s.write(QByteArray(1, char(end)));
    s.flush();
    QByteArray answer;
    if (end == 0xFF || (end >= 0xFB && end <= 0xFE) || !((end >= 0xF0 && end <= 0xF8) || end == 0xFA))
        readN(s, 1, &answer);
    // The closing byte, answered so the PC need not wait.
    if (readN(s, 1, &answer)) {
        s.write("\x01", 1);
        s.flush();
    }
    return true;
}

bool TransferPeer::serveRecordingUpload(QTcpSocket &s)
{
    if (!sendStatus(s, refuseStatus ? quint8(refuseStatus) : quint8(1)) || refuseStatus)
        return true;
    QByteArray head;
    if (!readN(s, 12, &head))
        return false;
    const qint64 size = qint64(TransferWire::readBE(head, 0, 8));
    QByteArray desc;
    QByteArray packet;
    for (qint64 got = 0; got < size; got += TransferWire::PacketDataSize) {
        const bool keep = logBytes;
        logBytes = false;
        const bool ok = readN(s, TransferWire::PacketSize, &packet);
        logBytes = keep;
        if (!ok)
            return false;
        log(packet.left(1));
        desc += packet.mid(1, int(qMin<qint64>(TransferWire::PacketDataSize, size - got)));
        if (!sendStatus(s, 1))
            return false;
    }
    QList<QByteArray> delivered{desc};
    QByteArray requests;
    for (const UploadRequest &r : std::as_const(uploadRequests))
        requests += char(r.kind) + QByteArray(1, char(r.file)) + TransferWire::uint32(r.count);
    s.write(requests);
    s.flush();
    for (const UploadRequest &r : std::as_const(uploadRequests)) {
        if (r.kind == 0xF8)
            break;
        QByteArray data;
        if (!readN(s, int(r.count) + 1, &data))
            return false;
        if (quint8(data.at(0)) == TransferWire::CancelByte) {
            ++m_cancels;
            delivered << QByteArray("ABORT");
            break;
        }
        delivered << data.mid(1);
        if (!sendStatus(s, 1))
            return false;
        if (r.kind != 1)
            break;
    }
    QMutexLocker lock(&m_lock);
    m_recordingUploads.emplace_back(delivered);
    return true;
}
