#include "device/transfers/recordingtransfer.h"

#include "base/filehelpers.h"
#include "device/transfers/listtransfer.h"
#include "device/transfers/pctarget.h"
#include "device/transfers/transferlink.h"
#include "device/transfers/transferwire.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <map>
#include <memory>
#include <vector>

namespace {
QString text(const char *source)
{
    return QCoreApplication::translate("DVB24CommunicationProtocolMill", source);
}

QString copyFailed(const QString &name)
{
    return text("Cannot copy recording %1.").arg(name);
}

QString busyMessage()
{
    return text("Ombrelay could not copy this recording.") + u' ' + ListTransfer::busyText();
}

// The files of one part: its own file and the segments that continue it.
struct Part
{
    std::vector<std::unique_ptr<QSaveFile>> files;
    QString suffix;
};
} // namespace

struct RecordingTransfer::Download
{
    QString name;
    QString folder; // the recording folder, checked to lie in the destination's folder
    bool createdFolder = false;
    bool replied = false;
    TransferWire::RecordingReply table;
    QByteArray pending; // bytes that came with the table: the start of the block stream
    std::map<qint8, Part> parts;
    bool cancelSent = false;
    bool userCancel = false;
    bool canceledAtEnd = false; // the cancel had come when the receiver ended the stream
    bool gaveUp = false;        // the receiver went silent or out of step: the connection was given up
    QString failure;            // a local failure (open, write); the stream is cancelled and read to its end
    int end = -1;               // the code that ended the stream
    bool notFound = false;
};

struct RecordingTransfer::Upload
{
    QString name;
    QString desc;
    QString stream;
    QString mks;
    bool aborting = false;
};

RecordingTransfer::RecordingTransfer(TransferLink &link)
    : m_link(link)
{}

void RecordingTransfer::reportCode(int code)
{
    if (m_link.error)
        m_link.error(m_link.codeText ? m_link.codeText(code) : QString::number(code));
}

QString RecordingTransfer::recordingName(const QString &destination)
{
    QString name = sanitizeFileName(QFileInfo(destination).fileName());
    name.remove(u'.');
    return safeReceiverName(name);
}

RecordingTransfer::Outcome RecordingTransfer::download(quint16 recordId, const QString &destination)
{
    Download d;
    m_link.beginExchange();
    // Restored at the end: once the cancel is sent, the stream is read to its end whatever comes.
    const bool stopsOnCancel = m_link.stopsOnCancel;
    d.name = recordingName(destination);
    d.folder = d.name.isEmpty() ? QString() : PcTarget::inside(QFileInfo(destination).absolutePath(), d.name);
    Outcome outcome = Failed;
    if (d.folder.isEmpty()) {
        if (m_link.error)
            m_link.error(copyFailed(QFileInfo(destination).fileName()));
    } else {
        if (requestTable(recordId, d))
            receiveBlocks(d);
        outcome = finish(d);
    }
    if (d.replied && !d.gaveUp) {
        // The closing byte ends every exchange, and its answer is waited for whatever the user does meanwhile
        // (after a cancel, within the after-cancel wait); a receiver that does not give it is given up, so it is
        // not read as the answer to the next request.
        m_link.clearInterrupt();
        TransferLink::InStep finishing(m_link);
        if (!m_link.write(QByteArray(1, '\x01')) || m_link.readUpTo(1 << 16, closingWaitMs).isEmpty()) {
            m_link.close();
            if (outcome == Canceled && m_link.cancelSeen() && m_link.error)
                m_link.error(TransferLink::cancelUnansweredText());
        }
    }
    m_link.stopsOnCancel = stopsOnCancel;
    m_link.clearInterrupt();
    return outcome;
}

bool RecordingTransfer::requestTable(quint16 recordId, Download &d)
{
    // The reply is read whole whatever the user does meanwhile: a cancel is sent in its place after a block.
    TransferLink::InStep finishing(m_link);
    QByteArray reply =
        m_link.request(QByteArray(1, '\x05') + TransferWire::uint16(recordId) + TransferWire::uint64(0), closingWaitMs);
    if (reply.isEmpty()) {
        d.userCancel = m_link.interrupted();
        d.failure = m_link.cancelSeen() ? TransferLink::cancelUnansweredText() : copyFailed(d.name);
        giveUp(d);
        return false;
    }
    d.replied = true;
    if (quint8(reply.at(0)) != TransferWire::StatusOk) {
        d.notFound = notFoundUnsaid && qint8(reply.at(0)) == -3;
        if (!d.notFound)
            reportCode(int(qint8(reply.at(0))));
        return false;
    }
    TransferWire::Parse p = TransferWire::parseRecordingReply(reply, &d.table);
    while (p == TransferWire::Incomplete || (p == TransferWire::Bad && reply.size() == 1)) {
        QByteArray more;
        if (!m_link.readExact(1, &more))
            break;
        reply += more + m_link.readUpTo(4096, 0);
        p = TransferWire::parseRecordingReply(reply, &d.table);
    }
    const qint64 free = freeDiskSpace(QFileInfo(d.folder).absolutePath());
    if (p != TransferWire::Done || (free >= 0 && d.table.total > free)) {
        d.userCancel = m_link.interrupted();
        d.failure =
            p != TransferWire::Done && m_link.cancelSeen() ? TransferLink::cancelUnansweredText() : copyFailed(d.name);
        // A reply that did not come whole leaves the rest of it to be read as the answer to the next request.
        if (p != TransferWire::Done)
            giveUp(d);
        return false;
    }
    if (d.table.count == 0) {
        if (m_link.error)
            m_link.error(text("No recordings to copy."));
        d.failure = copyFailed(d.name);
        return false;
    }
    d.pending = reply.mid(d.table.consumed);
    if (!m_link.write(QByteArray(1, '\x01'))) {
        d.failure = copyFailed(d.name);
        return false;
    }
    return true;
}

void RecordingTransfer::sendCancel(Download &d)
{
    if (d.cancelSent)
        return;
    d.userCancel = d.failure.isEmpty();
    m_link.write(QByteArray(1, char(TransferWire::CancelByte)));
    d.cancelSent = true;
    // The stream is read on to the receiver's end, each read waiting as long as any; neither this cancel nor a
    // second one stops those reads.
    m_link.clearInterrupt();
    m_link.stopsOnCancel = false;
}

void RecordingTransfer::giveUp(Download &d)
{
    d.gaveUp = true;
    m_link.close();
}

bool RecordingTransfer::take(Download &d, qint64 n, QByteArray *out)
{
    const qint64 fromPending = qMin<qint64>(n, d.pending.size());
    QByteArray rest;
    bool ok = m_link.readExact(n - fromPending, &rest);
    if (!ok && !d.cancelSent && m_link.interrupted()) {
        sendCancel(d);
        QByteArray more;
        ok = m_link.readExact(n - fromPending - rest.size(), &more);
        rest += more;
    }
    *out = d.pending.left(fromPending) + rest;
    d.pending.remove(0, fromPending);
    return ok;
}

void RecordingTransfer::receiveBlocks(Download &d)
{
    for (;;) {
        QByteArray head;
        if (!take(d, 1, &head))
            break;
        const quint8 t = quint8(head.at(0));
        if (t >= quint8(d.table.count)) {
            d.end = t;
            // Taken before the answer goes: a cancel that comes after it finds the copy whole.
            d.canceledAtEnd = m_link.interrupted();
            // 0xFF and 0xFB..0xFE are answered with 0x01; 0xF0..0xF8 and 0xFA with nothing; others with 0xFF.
            if (t == 0xFF || (t >= 0xFB && t <= 0xFE))
                m_link.write(QByteArray(1, '\x01'));
            else if (!((t >= 0xF0 && t <= 0xF8) || t == 0xFA))
                m_link.write(QByteArray(1, '\xFF'));
            return;
        }
        QByteArray sizes;
        if (!take(d, 7, &sizes))
            break;
        const quint32 n = quint32(TransferWire::readBE(sizes, 0, 4));
        if (n > MaxBlock || !TransferWire::isSafeSuffix(d.table.suffixes.value(qint8(t)))) {
            // Nothing after this can be read in step.
            if (d.failure.isEmpty())
                d.failure = copyFailed(d.name);
            giveUp(d);
            return;
        }
        const bool writing = !d.cancelSent && d.failure.isEmpty();
        if (writing && !QFileInfo(d.folder).isDir()) {
            d.createdFolder = makePath(d.folder);
            if (!d.createdFolder) {
                d.failure = text("Cannot create directory %1.").arg(d.name);
                sendCancel(d);
            }
        }
        if (n == 0)
            continue;
        QByteArray data;
        if (!take(d, n, &data))
            break;
        if (d.cancelSent || !d.failure.isEmpty())
            continue;
        if (!writeBlock(d, qint8(t), data)) {
            sendCancel(d);
            continue;
        }
        if (m_link.progress64)
            m_link.progress64(n);
        if (m_link.interrupted())
            sendCancel(d);
    }
    // The stream broke off: silence, a closed link, or no answer within the after-cancel wait. What is still to
    // come of it would be read as the answer to the next request.
    if (d.failure.isEmpty())
        d.failure = m_link.cancelSeen() ? TransferLink::cancelUnansweredText() : copyFailed(d.name);
    giveUp(d);
}

bool RecordingTransfer::openSegment(Download &d, qint8 key)
{
    Part &part = d.parts[key];
    const int segment = int(part.files.size());
    const QString fileName =
        d.name + (segment > 0 ? QStringLiteral("_%1").arg(segment) : QString()) + u'.' + part.suffix;
    const QString path = PcTarget::inside(d.folder, fileName);
    auto file = std::make_unique<QSaveFile>(path);
    // Unbuffered: a write the file system refuses shows in that write's result and the file's size.
    if (path.isEmpty() || !file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        d.failure = text("Cannot create file %1.").arg(d.folder + u'/' + fileName);
        return false;
    }
    part.files.push_back(std::move(file));
    return true;
}

bool RecordingTransfer::writeBlock(Download &d, qint8 key, const QByteArray &data)
{
    Part &part = d.parts[key];
    if (part.files.empty()) {
        part.suffix = d.table.suffixes.value(key);
        if (!openSegment(d, key))
            return false;
    }
    qint64 done = 0;
    while (done < data.size()) {
        QSaveFile *file = part.files.back().get();
        const qint64 n = file->write(data.constData() + done, data.size() - done);
        if (n > 0)
            done += n;
        if (done == data.size())
            break;
        // A file system that takes no bigger file: what did not fit goes on in a numbered segment.
        if (file->size() <= segmentLimit) {
            d.failure = text("Cannot create file %1.").arg(file->fileName());
            return false;
        }
        if (!openSegment(d, key))
            return false;
    }
    return true;
}

RecordingTransfer::Outcome RecordingTransfer::finish(Download &d)
{
    Outcome outcome = Failed;
    if (d.userCancel || d.canceledAtEnd || (d.end < 0 && m_link.interrupted())) {
        outcome = Canceled;
        // A connection given up on the way is said: the next request goes over a new one.
        if (d.gaveUp && m_link.error)
            m_link.error(d.failure.isEmpty() ? copyFailed(d.name) : d.failure);
    } else if (d.notFound) {
        outcome = NotFound;
    } else if (!d.failure.isEmpty()) {
        if (m_link.error)
            m_link.error(d.failure);
    } else if (d.end == 0xFF) {
        outcome = Completed;
    } else if (d.end >= 0) {
        // The receiver ended the copy: its own reason, never a success.
        const bool removal = (d.end >= 0xF0 && d.end <= 0xF8) || d.end == 0xFA;
        if (m_link.error)
            m_link.error(removal && m_link.codeText ? copyFailed(d.name) + u' ' + m_link.codeText(int(qint8(d.end)))
                                                    : busyMessage());
    }
    bool committed = true;
    for (auto &entry : d.parts) {
        for (auto &file : entry.second.files) {
            if (outcome == Completed)
                committed = file->flush() && file->commit() && committed; // commit() misses a failed last flush
            else
                file->cancelWriting();
        }
    }
    if (!committed) {
        if (m_link.error)
            m_link.error(copyFailed(d.name));
        outcome = Failed;
    }
    if (outcome != Completed && d.createdFolder)
        QDir().rmdir(d.folder); // only when nothing of the user's is in it
    return outcome;
}

RecordingTransfer::Outcome RecordingTransfer::upload(const QString &path)
{
    const QFileInfo info(path);
    QStringList descs;
    if (info.isDir()) {
        for (const QFileInfo &d : QDir(path).entryInfoList({QStringLiteral("*.desc")}, QDir::Files, QDir::Name))
            descs << d.absoluteFilePath();
    } else {
        descs << info.absoluteFilePath();
    }
    Outcome outcome = Completed;
    m_uploadCanceled = false;
    m_link.beginExchange();
    for (const QString &desc : descs) {
        // A set whose exchange was whole when the cancel came is on the receiver; the next one does not start.
        outcome = m_link.interrupted() || m_uploadCanceled ? Canceled : uploadSet(desc);
        // A refused or broken set ends the job: the next one would go over a link out of step.
        if (outcome != Completed)
            break;
    }
    m_link.clearInterrupt();
    return outcome;
}

RecordingTransfer::Outcome RecordingTransfer::broken(const Upload &u, int code)
{
    if (m_link.error)
        m_link.error(code == TransferLink::NoStatus || !m_link.codeText
                         ? copyFailed(u.name)
                         : copyFailed(u.name) + u' ' + m_link.codeText(code));
    return Failed;
}

int RecordingTransfer::status(Upload &u)
{
    // The answer to what went is waited for as long as any answer, whatever the user does meanwhile (after a
    // cancel, within the after-cancel wait); the cancel goes in the next packet. A receiver that does not answer
    // is given up: its answer would be read as the answer to the next request.
    TransferLink::InStep finishing(m_link);
    const int s = m_link.readStatus();
    takeCancel(u);
    if (s == TransferLink::NoStatus)
        lose(u);
    return s;
}

void RecordingTransfer::lose(Upload &u)
{
    m_link.close();
    // Silent after a cancel: the upload ends cancelled, and the user hears why the connection goes.
    if (m_link.cancelSeen()) {
        u.aborting = true;
        m_uploadCanceled = true;
        if (m_link.error)
            m_link.error(TransferLink::cancelUnansweredText());
    }
}

void RecordingTransfer::takeCancel(Upload &u)
{
    if (!m_link.interrupted())
        return;
    u.aborting = true;
    m_uploadCanceled = true;
    m_link.clearInterrupt();
}

RecordingTransfer::Outcome RecordingTransfer::uploadSet(const QString &descPath)
{
    const QFileInfo descInfo(descPath);
    Upload u;
    u.name = descInfo.fileName().section(u'.', 0, 0);
    const QString base = descInfo.absolutePath() + u'/' + u.name;
    u.desc = descPath;
    u.mks = base + QStringLiteral(".mks");
    u.stream =
        QFileInfo::exists(base + QStringLiteral(".ts")) ? base + QStringLiteral(".ts") : base + QStringLiteral(".ts4");
    // A description without its recording is not a recording: skipped, the others still go.
    if (!descInfo.isFile() || (!QFileInfo::exists(u.stream) && !QFileInfo::exists(u.mks)))
        return Completed;
    if (descInfo.size() == 0) {
        if (m_link.error)
            m_link.error(text("Description file is empty. Recording cannot be copied."));
        return Failed;
    }
    const Outcome described = sendDescription(u);
    return described == Completed ? serveRequests(u) : described;
}

RecordingTransfer::Outcome RecordingTransfer::sendDescription(Upload &u)
{
    QFile desc(u.desc);
    if (!desc.open(QIODevice::ReadOnly)) {
        if (m_link.error)
            m_link.error(text("Cannot open file %1.").arg(u.desc));
        return Failed;
    }
    const qint64 size = desc.size();
    if (!m_link.write(QByteArray(1, '\x0B')))
        return broken(u, TransferLink::NoStatus);
    int answer = status(u);
    if (answer != 1)
        return u.aborting ? Canceled : broken(u, answer);
    if (!m_link.write(TransferWire::uint64(quint64(size)) + TransferWire::uint32(TransferWire::PacketDataSize)))
        return broken(u, TransferLink::NoStatus);
    QByteArray packet(TransferWire::PacketSize, '\0');
    for (qint64 sent = 0; sent < size; sent += TransferWire::PacketDataSize) {
        const qint64 want = qMin<qint64>(TransferWire::PacketDataSize, size - sent);
        packet.fill('\0');
        // Every packet still goes, marked as an abort, so the receiver is not left waiting.
        if ((u.aborting ? 0 : desc.read(packet.data() + 1, want)) != want)
            u.aborting = true;
        takeCancel(u);
        packet[0] = char(u.aborting ? 0x0B : 0x01);
        if (m_link.progress64)
            m_link.progress64(want);
        if (!m_link.write(packet, false))
            return broken(u, TransferLink::NoStatus);
        answer = status(u);
        if (answer != 1)
            return u.aborting ? Canceled : broken(u, answer);
    }
    return Completed;
}

RecordingTransfer::Outcome RecordingTransfer::serveRequests(Upload &u)
{
    struct Request
    {
        QString path;
        quint32 count;
    };
    QList<Request> requests;
    for (int guard = 0; guard < 1000000; ++guard) {
        QByteArray raw;
        // The receiver's requests are read whole, whatever the user does meanwhile: the first one is answered
        // with the abort, which the receiver waits for in place of its data.
        bool whole = false;
        {
            TransferLink::InStep finishing(m_link);
            whole = m_link.readExact(6, &raw);
        }
        takeCancel(u);
        if (!whole) {
            lose(u);
            return u.aborting ? Canceled : broken(u, TransferLink::NoStatus);
        }
        TransferWire::UploadRequest r;
        TransferWire::parseUploadRequest(raw, &r);
        if (r.kind == 0xF8)
            break;
        requests.append({r.file != 0 ? u.mks : u.stream, r.count});
        if (r.kind != 1)
            break;
    }
    QFile file;
    for (const Request &r : std::as_const(requests)) {
        if (file.isOpen() && file.fileName() != r.path)
            file.close();
        bool unreadable = false;
        if (!file.isOpen()) {
            file.setFileName(r.path);
            unreadable = !file.open(QIODevice::ReadOnly);
        }
        takeCancel(u);
        if (unreadable || u.aborting) {
            // The abort packet: 0xFA and as many zero bytes as were asked for.
            m_link.write(QByteArray(1, char(TransferWire::CancelByte)), false);
            QByteArray zeros(int(qMin<quint32>(r.count, 1u << 20)), '\0');
            for (quint32 left = r.count; left > 0; left -= quint32(qMin<quint32>(left, quint32(zeros.size()))))
                m_link.write(zeros.left(int(qMin<quint32>(left, quint32(zeros.size())))), false);
            // A receiver that does not take the whole abort packet is out of step.
            if (!m_link.flush())
                lose(u);
            if (!unreadable)
                return Canceled;
            if (m_link.error)
                m_link.error(text("Cannot open file %1.").arg(r.path));
            return Failed;
        }
        const qint64 n = qMin<qint64>(r.count, qMax<qint64>(0, file.size() - file.pos()));
        bool shortRead = false;
        if (!m_link.write(QByteArray(1, '\x01'), false))
            return broken(u, TransferLink::NoStatus);
        for (qint64 done = 0; done < n;) {
            const qint64 want = qMin<qint64>(n - done, 1 << 20);
            QByteArray piece = file.read(want);
            if (piece.isEmpty()) {
                // Promised bytes that cannot be read: zeros keep the stream in step, then this set ends.
                piece = QByteArray(int(want), '\0');
                shortRead = true;
            }
            if (!m_link.write(piece, false))
                return broken(u, TransferLink::NoStatus);
            done += piece.size();
        }
        if (!m_link.flush()) {
            // Half a packet went: nothing after it can be read in step.
            lose(u);
            return u.aborting ? Canceled : broken(u, TransferLink::NoStatus);
        }
        const int answer = status(u);
        if (m_link.progress64)
            m_link.progress64(n + 1);
        // Only a confirmed packet counts: silence, a closed link or any other byte leaves the
        // recording unconfirmed on the receiver.
        if (answer != 1)
            return u.aborting ? Canceled : broken(u, answer);
        if (shortRead) {
            if (m_link.error)
                m_link.error(text("Cannot open file %1.").arg(r.path));
            return Failed;
        }
        // A cancel while the answer was awaited: the next request gets the abort. After the last one the
        // recording is whole on the receiver, and so it is said.
    }
    return Completed;
}
