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
    // No answer within the waits: the exchange cannot be finished, so the connection is given up (a worker's
    // connects anew) and the user is told. After a cancel the job still ends cancelled, said to have gone
    // unanswered.
    if (code == TransferLink::NoStatus) {
        m_link.giveUp();
        if (m_link.error)
            m_link.error(m_link.cancelSeen() ? TransferLink::cancelUnansweredText()
                                             : text("The device did not answer."));
        return m_link.cancelSeen() ? Canceled : Failed;
    }
    // A refusal of an exchange the user cancelled is no failure of the receiver.
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
        return TransferLink::NoStatus;
    // A refused header ends the exchange on both sides.
    int answer = status();
    if (answer != 1)
        return answer;
    // Every level is answered; the answer to the last one decides. A refused path ends the exchange there:
    // the receiver would read the name (and an upload's size) that followed as commands of their own.
    for (int i = 0; i < parts.size() - 1; ++i) {
        if (!m_link.write(parts.at(i).toUtf8()))
            return TransferLink::NoStatus;
        answer = status();
        if (answer == TransferLink::NoStatus)
            return TransferLink::NoStatus;
    }
    if (answer != 1) {
        // Whatever else a receiver said to the levels after the one it refused is no answer to what comes next.
        m_link.dropPending();
        m_levelRefused = true;
        return answer;
    }
    return m_link.write(last) ? 1 : TransferLink::NoStatus;
}

void FileTransfer::noteCancel()
{
    m_canceled = true;
    // The exchange is finished in step: its reads wait as long as the protocol allows and stop at no flag
    // again, a second cancel's included.
    m_link.clearInterrupt();
    m_link.stopsOnCancel = false;
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
    const int answer = m_link.readStatus();
    if (answer != TransferLink::NoStatus || m_canceled || !m_link.interrupted())
        return answer;
    noteCancel();
    return m_link.readStatus();
}

bool FileTransfer::read(qint64 n, QByteArray *out)
{
    if (m_link.readExact(n, out))
        return true;
    if (m_canceled || !m_link.interrupted())
        return false;
    noteCancel();
    QByteArray rest;
    const bool ok = m_link.readExact(n - out->size(), &rest);
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
    // block's worth of bytes. Left in the socket, they would be read as the answer to the next request. A
    // receiver that sends the marker alone is waited for as long as the protocol's drain.
    QByteArray rest;
    m_link.readExact(block, &rest, DrainMs);
    m_link.dropPending();
}

FileTransfer::Outcome FileTransfer::receive(const QStringList &parts, QSaveFile &file)
{
    const int pathStatus = sendPath(0x04, parts, parts.last().toUtf8());
    // A folder on the way that the receiver will not go into, whatever code it refuses with: this file cannot
    // come, the connection is in step.
    if (pathStatus != 1 && m_levelRefused && notFoundUnsaid && !m_canceled && !m_link.interrupted())
        return NotFound;
    if (pathStatus != 1)
        return reportCode(pathStatus);
    QByteArray head;
    if (!read(1, &head))
        return reportCode(TransferLink::NoStatus);
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
        return reportCode(TransferLink::NoStatus);
    m_blockPhase = true;
    const qint64 total = qint64(reply.total);
    const qint64 block = qint64(reply.blockSize);
    qint64 written = 0;
    QByteArray buffer;
    bool lost = false;
    bool diskFailed = false;
    while (written < total) {
        if (m_canceled || diskFailed)
            sendCancelByte();
        if (!read(4, &buffer)) {
            lost = true;
            break;
        }
        if (quint8(buffer.at(0)) == TransferWire::CancelByte) {
            m_receiverEnded = true;
            drainClosingBlock(block);
            break;
        }
        if (!read(qMin(block, total - written), &buffer)) {
            lost = true;
            break;
        }
        written += buffer.size();
        if (m_canceled || diskFailed)
            continue; // the rest of what was in flight: not the user's any more
        if (file.write(buffer) != buffer.size()) {
            if (m_link.error)
                m_link.error(text("Cannot create file %1.").arg(file.fileName()));
            // The receiver is stopped as for a cancel, and the blocks in flight read, so the link stays in step.
            diskFailed = true;
            m_link.stopsOnCancel = false;
            continue;
        }
        if (m_link.progress64)
            m_link.progress64(buffer.size());
        // A cancel that comes with the last block has nothing left to stop: the receiver is told nothing.
        if (m_link.interrupted() && written < total)
            noteCancel();
    }
    // Silent or gone in the middle of the blocks: what it still sends would be read as the next answer.
    if (lost)
        return reportCode(TransferLink::NoStatus);
    if (diskFailed)
        return Failed;
    if (m_canceled || m_link.interrupted())
        return Canceled;
    if (written < total) {
        // Ended by the receiver with its own end marker before the announced size: the file is incomplete,
        // whatever the receiver calls it.
        const Outcome outcome = reportCode(-6);
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
    m_link.beginExchange();
    const bool stopsOnCancel = m_link.stopsOnCancel;
    const auto done = [this, stopsOnCancel](Outcome outcome) {
        m_link.clearInterrupt();
        m_link.stopsOnCancel = stopsOnCancel;
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
    // A link given up is said as such, cancelled or not.
    if (outcome == Failed && !m_link.isOpen()) {
        file.cancelWriting();
        return done(Failed);
    }
    if (outcome == Canceled || m_canceled || m_link.interrupted()) {
        file.cancelWriting();
        // A cancel byte that reached the receiver after its last block: what it answers, if anything, within
        // the protocol's drain.
        if (m_cancelSent && !m_receiverEnded && m_link.readByte(DrainMs) >= 0)
            m_link.dropPending();
        // A closing block still coming when the after-cancel wait ran out would be read as the next answer.
        if (m_link.isOpen() && m_link.afterCancelPassed()) {
            m_link.giveUp();
            if (m_link.error)
                m_link.error(TransferLink::cancelUnansweredText());
        }
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
    m_link.beginExchange();
    const bool stopsOnCancel = m_link.stopsOnCancel;
    const auto done = [this, stopsOnCancel](Outcome outcome) {
        m_link.clearInterrupt();
        m_link.stopsOnCancel = stopsOnCancel;
        return outcome;
    };
    const QFileInfo info(source);
    // A folder the receiver refuses to make (a file holds its name, say) fails this entry alone when the caller
    // names such entries; a link that failed meanwhile is said all the same.
    if (info.isDir()) {
        ReceiverFolderCommands folders(m_link);
        if (folders.makePath(receiverPath, false, notFoundUnsaid))
            return done(Completed);
        // Stopped by a cancel between two of its folders, the link in step; or given up (and said) when the
        // receiver did not answer after the cancel.
        if ((m_link.isOpen() && m_link.interrupted()) || folders.lostAfterCancel())
            return done(Canceled);
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
        if (code == TransferLink::NoStatus)
            return done(reportCode(code, false));
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
        return fail(TransferLink::NoStatus);
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
            return fail(TransferLink::NoStatus);
        const qint64 nextN = sent + n < size ? readPacket(next, sent + n) : 0;
        // Waited for to the end, a cancel meanwhile or not: a refusal ends the exchange on both sides, and
        // no answer leaves the link out of step.
        const int answer = status();
        if (answer != 1)
            return fail(answer);
        sent += n;
        if (m_link.progress64)
            m_link.progress64(n);
        packet.swap(next);
        n = nextN;
    }
    // The cancel packet stands in for the next packet; once the receiver has taken the last one there is
    // nothing left to stop, and the user's cancel only ends the job.
    if (sent < size) {
        // A receiver that does not take the cancel packet is out of step.
        if (!m_link.write(TransferWire::cancelPacket()))
            return done(reportCode(TransferLink::NoStatus, false));
        return done(Canceled);
    }
    return done(m_canceled || m_link.interrupted() ? Canceled : Completed);
}
