#include "device/transfers/filetransfer.h"

#include "base/filehelpers.h"
#include "device/transfers/copyjobdocument.h"
#include "device/transfers/receiveraddress.h"
#include "device/transfers/receiverfoldercommands.h"
#include "device/transfers/transferlink.h"
#include "device/transfers/transferwire.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
QString text(const char *source)
{
    return QCoreApplication::translate("DVB24CommunicationProtocolMill", source);
}
} // namespace

FileTransfer::FileTransfer(TransferLink &link)
    : m_link(link)
{}

FileTransfer::Outcome FileTransfer::reportCode(int code, bool mayBeUnsaid)
{
    // A read cut short by the user's cancel is no failure of the receiver.
    if (m_canceled || m_link.interrupted())
        return Failed;
    if (code == -3 && notFoundUnsaid && mayBeUnsaid)
        return NotFound;
    if (m_link.error)
        m_link.error(m_link.codeText ? m_link.codeText(code) : QString::number(code));
    return Failed;
}

int FileTransfer::sendPath(quint8 command, const QStringList &parts, const QByteArray &last)
{
    m_levelRefused = false;
    if (!m_link.write(TransferWire::transferHeader(command, quint16(parts.size() - 1))))
        return -1;
    // A refused header ends the exchange on both sides.
    int answer = status();
    if (answer != 1)
        return answer;
    // Every level is answered; the answer to the last one decides. A refused path ends the exchange there:
    // the receiver would read the name (and an upload's size) that followed as commands of their own.
    for (int i = 0; i < parts.size() - 1; ++i) {
        if (!m_link.write(parts.at(i).toUtf8()))
            return -1;
        answer = status();
        if (answer == -1)
            return -1;
    }
    if (answer != 1) {
        // Whatever else a receiver said to the levels after the one it refused is no answer to what comes next.
        m_link.dropPending();
        m_levelRefused = true;
        return answer;
    }
    return m_link.write(last) ? 1 : -1;
}

void FileTransfer::noteCancel()
{
    m_canceled = true;
    // The exchange is finished in step; its reads must not stop at the flag again.
    m_link.clearInterrupt();
    if (m_blockPhase)
        sendCancelByte();
}

void FileTransfer::sendCancelByte()
{
    if (m_cancelSent)
        return;
    m_link.write(QByteArray(1, char(TransferWire::CancelByte)));
    m_cancelSent = true;
}

int FileTransfer::status()
{
    const int answer = m_link.readStatus(m_canceled ? AfterCancelMs : m_link.inactivityLimit());
    if (answer != -1 || m_canceled || !m_link.interrupted())
        return answer;
    noteCancel();
    return m_link.readStatus(AfterCancelMs);
}

bool FileTransfer::read(qint64 n, QByteArray *out)
{
    if (m_link.readExact(n, out, m_canceled ? AfterCancelMs : m_link.inactivityLimit()))
        return true;
    if (m_canceled || !m_link.interrupted())
        return false;
    noteCancel();
    QByteArray rest;
    const bool ok = m_link.readExact(n - out->size(), &rest, AfterCancelMs);
    out->append(rest);
    return ok;
}

void FileTransfer::drainClosingBlock(qint64 block)
{
    // A cancel that came with the receiver's own end needs no cancel byte any more.
    if (m_link.interrupted()) {
        m_canceled = true;
        m_link.clearInterrupt();
    }
    // The receiver's closing block is as long as every block: the marker, three unused bytes, then a
    // block's worth of bytes. Left in the socket, they would be read as the answer to the next request.
    QByteArray rest;
    m_link.readExact(block, &rest, AfterCancelMs);
    m_link.dropPending();
}

FileTransfer::Outcome FileTransfer::receive(const QStringList &parts, QSaveFile &file)
{
    const int pathStatus = sendPath(0x04, parts, parts.last().toUtf8());
    if (pathStatus != 1)
        return reportCode(pathStatus);
    QByteArray head;
    if (!read(1, &head))
        return reportCode(-1);
    if (quint8(head.at(0)) == TransferWire::StatusPending) {
        // "pending": answer and read the status again, then the sizes.
        m_link.write(QByteArray(1, '\x01'));
        const int again = status();
        if (again != 1)
            return reportCode(again);
        head = QByteArray(1, '\x01');
    } else if (quint8(head.at(0)) != TransferWire::StatusOk) {
        return reportCode(int(qint8(head.at(0))));
    }
    QByteArray sizes;
    TransferWire::DownloadReply reply;
    if (!read(12, &sizes) || TransferWire::parseDownloadReply(head + sizes, &reply) != TransferWire::Done)
        return reportCode(-1);
    m_blockPhase = true;
    const qint64 total = qint64(reply.total);
    const qint64 block = qint64(reply.blockSize);
    qint64 written = 0;
    QByteArray buffer;
    while (written < total) {
        if (m_canceled)
            sendCancelByte();
        if (!read(4, &buffer))
            break;
        if (quint8(buffer.at(0)) == TransferWire::CancelByte) {
            m_receiverEnded = true;
            drainClosingBlock(block);
            break;
        }
        if (!read(qMin(block, total - written), &buffer))
            break;
        written += buffer.size();
        if (m_canceled)
            continue; // the rest of what was in flight: not the user's any more
        if (file.write(buffer) != buffer.size()) {
            if (m_link.error)
                m_link.error(text("Cannot create file %1.").arg(file.fileName()));
            m_link.dropPending();
            return Failed;
        }
        if (m_link.progress64)
            m_link.progress64(buffer.size());
        if (m_link.interrupted())
            noteCancel();
    }
    if (m_canceled || m_link.interrupted())
        return Canceled;
    if (written < total) {
        // Ended by the receiver (its own end marker, silence or a closed link) before the announced
        // size: the file is incomplete, whatever the receiver calls it.
        const Outcome outcome = reportCode(m_receiverEnded ? -6 : -1);
        m_link.dropPending();
        return outcome;
    }
    // A receiver that pads its last block sends the padding at once; it is not file data.
    m_link.dropPending();
    return Completed;
}

FileTransfer::Outcome FileTransfer::download(const QString &receiverPath, const QString &destination, bool overwrite,
                                             bool deleteSource, qint64 expectedSize, CopyJobDocument *failures)
{
    m_cancelSent = false;
    m_canceled = false;
    m_blockPhase = false;
    m_receiverEnded = false;
    const auto done = [this](Outcome outcome) {
        m_link.clearInterrupt();
        return outcome;
    };
    if (!overwrite) {
        if (m_link.progress64)
            m_link.progress64(expectedSize);
        return done(Skipped);
    }
    const QFileInfo target(destination);
    makePath(target.absolutePath());
    if (!QFileInfo(target.absolutePath()).isDir()) {
        if (m_link.error)
            m_link.error(text("Cannot create directory %1.").arg(QFileInfo(target.absolutePath()).fileName()));
        return done(Failed);
    }
    // The user's file is replaced only when the whole download is there.
    QSaveFile file(destination);
    if (target.isDir() || !file.open(QIODevice::WriteOnly)) {
        if (m_link.error)
            m_link.error(text("Cannot create file %1.").arg(destination));
        return done(Failed);
    }
    const QStringList parts = ReceiverAddress::splitPath(receiverPath);
    if (parts.isEmpty() || parts.size() > 0x10000) {
        file.cancelWriting();
        return done(reportCode(-3));
    }
    const Outcome outcome = receive(parts, file);
    if (outcome == Canceled || m_canceled || m_link.interrupted()) {
        file.cancelWriting();
        // Late blocks of a receiver that has not answered the cancel yet; a silent one is not waited for.
        if (m_cancelSent && !m_receiverEnded && m_link.readByte(AfterCancelMs) >= 0)
            m_link.dropPending();
        return done(Canceled);
    }
    if (outcome != Completed) {
        file.cancelWriting();
        return done(outcome);
    }
    // commit() alone does not notice when the last buffered bytes could not be written.
    if (!file.flush() || !file.commit()) {
        if (m_link.error)
            m_link.error(text("Cannot create file %1.").arg(destination));
        return done(Failed);
    }
    if (deleteSource) {
        ReceiverFolderCommands commands(m_link);
        if (commands.deletePath(receiverPath) != 1 && failures)
            failures->addFile(0, 0, receiverPath, QString(), 0);
    }
    return done(Completed);
}

FileTransfer::Outcome FileTransfer::upload(const QString &source, const QString &receiverPath)
{
    QStringList parts = receiverPath.split(u'/', Qt::SkipEmptyParts);
    if (receiverPath.startsWith(u'/') && !parts.isEmpty())
        parts[0].prepend(u'/');
    m_canceled = false;
    m_blockPhase = false;
    const auto done = [this](Outcome outcome) {
        m_link.clearInterrupt();
        return outcome;
    };
    const QFileInfo info(source);
    // A folder the receiver refuses to make (a file holds its name, say) fails this entry alone when the caller
    // names such entries; a link that failed meanwhile is said all the same.
    if (info.isDir()) {
        ReceiverFolderCommands folders(m_link);
        if (folders.makePath(receiverPath, false, notFoundUnsaid))
            return done(Completed);
        return done(notFoundUnsaid && folders.lastWasRefused() ? NotFound : Failed);
    }
    QFile file(source);
    // Nothing is sent for a file that cannot be read: the receiver is never left waiting for data.
    if (!info.exists() || !file.open(QIODevice::ReadOnly)) {
        if (m_link.error)
            m_link.error(text("Cannot open file %1.").arg(source));
        return done(Failed);
    }
    if (parts.isEmpty() || parts.size() > 0x10000)
        return done(reportCode(-3, false));
    // Failures before the packets: a cancel there has nothing to tell the receiver.
    // A file the receiver refuses in a folder it took is said, with the receiver's reason.
    const auto fail = [&](int code) {
        return done(m_canceled || m_link.interrupted() ? Canceled : reportCode(code, false));
    };
    const qint64 size = file.size();
    const int pathStatus = sendPath(0x0A, parts, TransferWire::uint64(quint64(size)) + parts.last().toUtf8());
    // A folder on the way that the receiver will not go into (a file of that name, say): this file cannot
    // arrive, the connection is in step.
    if (pathStatus != 1 && m_levelRefused && notFoundUnsaid && !m_canceled && !m_link.interrupted())
        return done(NotFound);
    if (pathStatus != 1)
        return fail(pathStatus);
    const int accepted = status();
    if (accepted != 1)
        return fail(accepted);
    // An empty file is announced with its size and needs no packet.
    if (!m_link.write(TransferWire::uint32(TransferWire::PacketDataSize), size == 0))
        return fail(-1);
    // Two packet buffers: the next packet is read from the file while the receiver answers the last.
    QByteArray packet(TransferWire::PacketSize, '\0');
    QByteArray next(TransferWire::PacketSize, '\0');
    packet[0] = char(TransferWire::StatusOk);
    next[0] = char(TransferWire::StatusOk);
    // The file bytes of the packet at offset `at` into `buffer`, zeros after the data of the last;
    // -1 when the file became unreadable or shorter.
    const auto readPacket = [&](QByteArray &buffer, qint64 at) -> qint64 {
        const qint64 want = qMin<qint64>(TransferWire::PacketDataSize, size - at);
        const qint64 n = file.read(buffer.data() + 1, want);
        if (n != want)
            return -1;
        if (n < TransferWire::PacketDataSize)
            memset(buffer.data() + 1 + n, 0, size_t(TransferWire::PacketDataSize - n));
        return n;
    };
    qint64 sent = 0;
    qint64 n = size > 0 ? readPacket(packet, 0) : 0;
    while (sent < size && !m_canceled && !m_link.interrupted()) {
        if (n < 0) {
            // Never send bytes that were not read.
            m_link.write(TransferWire::cancelPacket());
            if (m_link.error)
                m_link.error(text("Cannot open file %1.").arg(source));
            return done(Failed);
        }
        if (!m_link.write(packet))
            return fail(-1);
        const qint64 nextN = sent + n < size ? readPacket(next, sent + n) : 0;
        const int answer = status();
        if (answer != 1) {
            if (!m_canceled)
                return fail(answer);
            // Cancelled while the receiver was silent: the cancel packet stands in for the next one.
            break;
        }
        sent += n;
        if (m_link.progress64)
            m_link.progress64(n);
        packet.swap(next);
        n = nextN;
    }
    if (sent < size) {
        m_link.write(TransferWire::cancelPacket());
        return done(Canceled);
    }
    return done(Completed);
}
