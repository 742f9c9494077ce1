#include "device/transfers/recordingtransfer.h"

#include "device/transfers/listtransfer.h"
#include "device/transfers/transferlink.h"
#include "device/transfers/transferwire.h"
#include "base/filehelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>

#include <map>
#include <memory>
#include <vector>

namespace {
QString copyFailed(const QString &name)
{
    return QCoreApplication::translate("DVB24CommunicationProtocolMill", "Cannot copy recording %1.").arg(name);
}

QString busyMessage()
{
    return QCoreApplication::translate("DVB24CommunicationProtocolMill", "Ombrelay could not copy this recording.") +
           u' ' + ListTransfer::busyText();
}

// The files of one part: its own file and the segments that continue it.
struct Part
{
    std::vector<std::unique_ptr<QSaveFile>> files;
    QString suffix;
};
} // namespace

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
    const QString name = recordingName(destination);
    const QString folder = QFileInfo(destination).absolutePath() + u'/' + name + u'/';
    auto fail = [&](const QString &text) {
        if (m_link.error && !text.isEmpty())
            m_link.error(text);
        return Failed;
    };
    if (name.isEmpty()) {
        m_link.clearInterrupt();
        return fail(copyFailed(QFileInfo(destination).fileName()));
    }
    std::map<qint8, Part> parts;
    bool cancelSent = false;
    bool normalEnd = false;
    bool createdFolder = false;
    Outcome outcome = Failed;
    QByteArray reply;
    TransferWire::RecordingReply table;
    do {
        reply = m_link.request(QByteArray(1, '\x05') + TransferWire::uint16(recordId) + TransferWire::uint64(0),
                               closingWaitMs);
        if (reply.isEmpty()) {
            fail(copyFailed(name));
            break;
        }
        if (quint8(reply.at(0)) != TransferWire::StatusOk) {
            reportCode(int(qint8(reply.at(0))));
            break;
        }
        TransferWire::Parse p = TransferWire::parseRecordingReply(reply, &table);
        while (p == TransferWire::Incomplete || (p == TransferWire::Bad && reply.size() == 1)) {
            QByteArray more;
            if (!m_link.readExact(1, &more))
                break;
            reply += more + m_link.readUpTo(4096, 0);
            p = TransferWire::parseRecordingReply(reply, &table);
        }
        if (p != TransferWire::Done) {
            fail(copyFailed(name));
            break;
        }
        const qint64 free = freeDiskSpace(QFileInfo(destination).absolutePath());
        if (free >= 0 && table.total > free) {
            fail(copyFailed(name));
            break;
        }
        if (table.count == 0) {
            fail(QCoreApplication::translate("DVB24CommunicationProtocolMill", "No recordings to copy."));
            fail(copyFailed(name));
            break;
        }
        // Bytes after the table are the start of the block stream.
        QByteArray pending = reply.mid(table.consumed);
        if (!m_link.write(QByteArray(1, '\x01'))) {
            fail(copyFailed(name));
            break;
        }
        auto take = [&](qint64 n, QByteArray *out) {
            const qint64 fromPending = qMin<qint64>(n, pending.size());
            QByteArray rest;
            const bool ok = m_link.readExact(n - fromPending, &rest);
            *out = pending.left(fromPending) + rest;
            pending.remove(0, fromPending);
            return ok;
        };
        bool failed = false;
        for (;;) {
            QByteArray head;
            if (!take(1, &head)) {
                failed = true;
                fail(copyFailed(name));
                break;
            }
            const quint8 t = quint8(head.at(0));
            if (table.count > 0 && t < quint8(table.count)) {
                QByteArray sizes;
                if (!take(7, &sizes)) {
                    failed = true;
                    fail(copyFailed(name));
                    break;
                }
                const quint32 n = quint32(TransferWire::readBE(sizes, 0, 4));
                const QString suffix = table.suffixes.value(qint8(t));
                if (n > MaxBlock || !TransferWire::isSafeSuffix(suffix)) {
                    failed = true;
                    fail(copyFailed(name));
                    break;
                }
                if (!QFileInfo(folder).isDir()) {
                    createdFolder = makePath(folder);
                    if (!createdFolder) {
                        failed = true;
                        fail(
                            QCoreApplication::translate("DVB24CommunicationProtocolMill", "Cannot create directory %1.")
                                .arg(name));
                        break;
                    }
                }
                if (n == 0)
                    continue;
                Part &part = parts[qint8(t)];
                if (part.files.empty()) {
                    part.suffix = suffix;
                    part.files.emplace_back(new QSaveFile(folder + name + u'.' + suffix));
                    part.files.back()->open(QIODevice::WriteOnly);
                }
                QByteArray data;
                if (!take(n, &data)) {
                    failed = true;
                    fail(copyFailed(name));
                    break;
                }
                QSaveFile *file = part.files.back().get();
                if (file->write(data) != data.size()) {
                    if (file->size() > segmentLimit) {
                        // The file system takes no bigger file: go on in a numbered segment.
                        part.files.emplace_back(new QSaveFile(
                            folder + name + QStringLiteral("_%1").arg(part.files.size()) + u'.' + part.suffix));
                        part.files.back()->open(QIODevice::WriteOnly);
                        part.files.back()->write(data);
                    } else {
                        failed = true;
                        fail(QCoreApplication::translate("DVB24CommunicationProtocolMill", "Cannot create file %1.")
                                 .arg(file->fileName()));
                        break;
                    }
                }
                if (m_link.progress64)
                    m_link.progress64(n);
                if (m_link.interrupted() && !cancelSent) {
                    m_link.write(QByteArray(1, char(TransferWire::CancelByte)));
                    cancelSent = true;
                }
                continue;
            }
            if (t == 0xFF) {
                m_link.write(QByteArray(1, '\x01'));
                normalEnd = true;
            } else if (t >= 0xFB && t <= 0xFE) {
                m_link.write(QByteArray(1, '\x01'));
                fail(busyMessage());
            } else if ((t >= 0xF0 && t <= 0xF8) || t == 0xFA) {
                // The receiver dropped the copy (also its answer to a cancel).
            } else {
                fail(busyMessage());
                m_link.write(QByteArray(1, '\xFF'));
            }
            break;
        }
        if (!failed && normalEnd && !cancelSent && !m_link.interrupted())
            outcome = Completed;
    } while (false);

    bool committed = outcome == Completed;
    for (auto &entry : parts) {
        for (auto &file : entry.second.files) {
            if (outcome == Completed)
                committed = file->commit() && committed;
            else
                file->cancelWriting();
        }
    }
    if (outcome == Completed && !committed) {
        fail(copyFailed(name));
        outcome = Failed;
    }
    if (outcome != Completed && createdFolder)
        QDir().rmdir(folder); // only when nothing of the user's is in it
    if (cancelSent || m_link.interrupted())
        outcome = Canceled;
    if (!reply.isEmpty()) {
        m_link.write(QByteArray(1, '\x01'));
        m_link.readUpTo(1 << 16, closingWaitMs);
    }
    m_link.clearInterrupt();
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
    for (const QString &desc : descs) {
        if (m_link.interrupted()) {
            outcome = Canceled;
            break;
        }
        const Outcome one = uploadSet(desc);
        if (one == Canceled) {
            outcome = Canceled;
            break;
        }
        if (one == Failed)
            outcome = Failed;
    }
    m_link.clearInterrupt();
    return outcome;
}

RecordingTransfer::Outcome RecordingTransfer::uploadSet(const QString &descPath)
{
    const QFileInfo descInfo(descPath);
    const QString dir = descInfo.absolutePath();
    const QString base = descInfo.fileName().section(u'.', 0, 0);
    const QString ts = dir + u'/' + base + QStringLiteral(".ts");
    const QString ts4 = dir + u'/' + base + QStringLiteral(".ts4");
    const QString mks = dir + u'/' + base + QStringLiteral(".mks");
    // A description without its recording is not a recording: skipped, the others still go.
    if (!descInfo.isFile() || (!QFileInfo::exists(ts) && !QFileInfo::exists(ts4) && !QFileInfo::exists(mks)))
        return Completed;
    const QString stream = QFileInfo::exists(ts) ? ts : ts4;
    const qint64 descSize = descInfo.size();
    if (descSize == 0) {
        if (m_link.error)
            m_link.error(QCoreApplication::translate("DVB24CommunicationProtocolMill",
                                                     "Description file is empty. Recording cannot be copied."));
        return Failed;
    }
    QFile desc(descPath);
    if (!desc.open(QIODevice::ReadOnly)) {
        if (m_link.error)
            m_link.error(
                QCoreApplication::translate("DVB24CommunicationProtocolMill", "Cannot open file %1.").arg(descPath));
        return Failed;
    }
    if (!m_link.write(QByteArray(1, '\x0B'))) {
        reportCode(0);
        return Failed;
    }
    int status = m_link.readStatus();
    if (status != 1) {
        reportCode(status);
        return Failed;
    }
    if (!m_link.write(TransferWire::uint64(quint64(descSize)) + TransferWire::uint32(TransferWire::PacketDataSize))) {
        reportCode(0);
        return Failed;
    }
    bool aborting = false;
    QByteArray packet(TransferWire::PacketSize, '\0');
    for (qint64 sent = 0; sent < descSize; sent += TransferWire::PacketDataSize) {
        const qint64 want = qMin<qint64>(TransferWire::PacketDataSize, descSize - sent);
        packet.fill('\0');
        qint64 n = aborting ? 0 : desc.read(packet.data() + 1, want);
        if (n != want)
            aborting = true; // every packet still goes, marked as an abort, so the receiver is not left waiting
        aborting = aborting || m_link.interrupted();
        packet[0] = char(aborting ? 0x0B : 0x01);
        if (m_link.progress64)
            m_link.progress64(want);
        if (!m_link.write(packet, false)) {
            reportCode(0);
            return Failed;
        }
        status = m_link.readStatus();
        if (status != 1) {
            reportCode(status);
            return Failed;
        }
    }
    desc.close();
    struct Request
    {
        bool mks;
        quint32 count;
    };
    QList<Request> requests;
    for (int guard = 0; guard < 1000000; ++guard) {
        QByteArray raw;
        if (!m_link.readExact(6, &raw)) {
            reportCode(-9);
            return Failed;
        }
        TransferWire::UploadRequest r;
        TransferWire::parseUploadRequest(raw, &r);
        if (r.kind == 0xF8)
            break;
        requests.append({r.file != 0, r.count});
        if (r.kind != 1)
            break;
    }
    QFile file;
    QString openPath;
    for (const Request &r : requests) {
        const QString wanted = r.mks ? mks : stream;
        if (file.isOpen() && openPath != wanted)
            file.close();
        if (!file.isOpen()) {
            file.setFileName(wanted);
            openPath = wanted;
            if (!file.open(QIODevice::ReadOnly))
                aborting = true;
        }
        aborting = aborting || m_link.interrupted();
        if (aborting) {
            // The abort packet: 0xFA and as many zero bytes as were asked for.
            m_link.write(QByteArray(1, char(TransferWire::CancelByte)), false);
            QByteArray zeros(int(qMin<quint32>(r.count, 1u << 20)), '\0');
            for (quint32 left = r.count; left > 0; left -= quint32(qMin<quint32>(left, quint32(zeros.size()))))
                m_link.write(zeros.left(int(qMin<quint32>(left, quint32(zeros.size())))), false);
            m_link.flush();
            return m_link.interrupted() ? Canceled : Failed;
        }
        const qint64 available = qMax<qint64>(0, file.size() - file.pos());
        const qint64 n = qMin<qint64>(r.count, available);
        if (!m_link.write(QByteArray(1, '\x01'), false)) {
            reportCode(0);
            return Failed;
        }
        for (qint64 done = 0; done < n;) {
            const QByteArray piece = file.read(qMin<qint64>(n - done, 1 << 20));
            if (piece.isEmpty()) {
                // Promised bytes that cannot be read: zeros keep the stream in step, then this set ends.
                m_link.write(QByteArray(int(qMin<qint64>(n - done, 1 << 20)), '\0'), false);
                done += qMin<qint64>(n - done, 1 << 20);
                aborting = true;
                continue;
            }
            m_link.write(piece, false);
            done += piece.size();
        }
        if (!m_link.flush()) {
            reportCode(0);
            return Failed;
        }
        status = m_link.readStatus();
        if (m_link.progress64)
            m_link.progress64(n + 1);
        if (status != 1)
            break;
        if (aborting) {
            if (m_link.error)
                m_link.error(
                    QCoreApplication::translate("DVB24CommunicationProtocolMill", "Cannot open file %1.").arg(wanted));
            return Failed;
        }
    }
    return m_link.interrupted() ? Canceled : Completed;
}
