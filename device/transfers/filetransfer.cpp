#include "device/transfers/filetransfer.h"

#include "device/transfers/copyjobdocument.h"
#include "device/transfers/receiveraddress.h"
#include "device/transfers/receiverfoldercommands.h"
#include "device/transfers/transferlink.h"
#include "device/transfers/transferwire.h"
#include "base/filehelpers.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

FileTransfer::FileTransfer(TransferLink &link)
    : m_link(link)
{}

FileTransfer::Outcome FileTransfer::reportCode(int code)
{
    if (m_link.error)
        m_link.error(m_link.codeText ? m_link.codeText(code) : QString::number(code));
    return Failed;
}

void FileTransfer::drainAfterCancel()
{
    for (int round = 0; round < 2; ++round) {
        const int b = m_link.readByte(1000);
        if (b < 0)
            continue;
        m_link.dropPending();
        if (b == TransferWire::CancelByte)
            break;
    }
}

FileTransfer::Outcome FileTransfer::download(const QString &receiverPath, const QString &destination, bool overwrite,
                                             bool deleteSource, qint64 expectedSize, CopyJobDocument *failures)
{
    if (!overwrite) {
        if (m_link.progress64)
            m_link.progress64(expectedSize);
        m_link.clearInterrupt();
        return Skipped;
    }
    const QFileInfo target(destination);
    makePath(target.absolutePath());
    if (!QFileInfo(target.absolutePath()).isDir()) {
        if (m_link.error)
            m_link.error(QCoreApplication::translate("DVB24CommunicationProtocolMill", "Cannot create directory %1.")
                             .arg(QFileInfo(target.absolutePath()).fileName()));
        m_link.clearInterrupt();
        return Failed;
    }
    // The user's file is replaced only when the whole download is there.
    QSaveFile file(destination);
    if (target.isDir() || !file.open(QIODevice::WriteOnly)) {
        if (m_link.error)
            m_link.error(QCoreApplication::translate("DVB24CommunicationProtocolMill", "Cannot create file %1.")
                             .arg(destination));
        m_link.clearInterrupt();
        return Failed;
    }
    const QStringList parts = ReceiverAddress::splitPath(receiverPath);
    if (parts.isEmpty() || parts.size() > 0x10000) {
        file.cancelWriting();
        m_link.clearInterrupt();
        return reportCode(-3);
    }
    Outcome outcome = Completed;
    bool cancelSent = false;
    qint64 written = 0;
    TransferWire::DownloadReply reply;
    do {
        if (!m_link.write(TransferWire::transferHeader(0x04, quint16(parts.size() - 1)))) {
            outcome = reportCode(-1);
            break;
        }
        int status = m_link.readStatus();
        for (int i = 0; status == 1 && i < parts.size() - 1; ++i)
            status = m_link.write(parts.at(i).toUtf8()) ? m_link.readStatus() : -1;
        if (status != 1) {
            outcome = reportCode(status);
            break;
        }
        if (!m_link.write(parts.last().toUtf8())) {
            outcome = reportCode(-1);
            break;
        }
        QByteArray head;
        const bool got = m_link.readExact(1, &head);
        if (got && quint8(head.at(0)) == TransferWire::StatusPending) {
            // "pending": answer and read the status again, then the sizes.
            m_link.write(QByteArray(1, '\x01'));
            status = m_link.readStatus();
            if (status != 1) {
                outcome = reportCode(status);
                break;
            }
            head = QByteArray(1, '\x01');
        } else if (!got) {
            outcome = reportCode(-1);
            break;
        } else if (quint8(head.at(0)) != TransferWire::StatusOk) {
            outcome = reportCode(int(qint8(head.at(0))));
            break;
        }
        QByteArray sizes;
        if (!m_link.readExact(12, &sizes) ||
            TransferWire::parseDownloadReply(head + sizes, &reply) != TransferWire::Done) {
            outcome = reportCode(-1);
            break;
        }
        const qint64 total = qint64(reply.total);
        const qint64 block = qint64(reply.blockSize);
        QByteArray buffer;
        while (written < total) {
            const qint64 want = qMin(block, total - written) + 4;
            if (!m_link.readExact(4, &buffer)) {
                if (!cancelSent)
                    outcome = reportCode(-1);
                break;
            }
            if (quint8(buffer.at(0)) == TransferWire::CancelByte)
                break;
            if (!m_link.readExact(want - 4, &buffer)) {
                outcome = reportCode(-1);
                break;
            }
            if (file.write(buffer) != buffer.size()) {
                if (m_link.error)
                    m_link.error(QCoreApplication::translate("DVB24CommunicationProtocolMill", "Cannot create file %1.")
                                     .arg(destination));
                outcome = Failed;
                break;
            }
            written += buffer.size();
            if (m_link.progress64)
                m_link.progress64(buffer.size());
            if (m_link.interrupted() && !cancelSent) {
                m_link.write(QByteArray(1, char(TransferWire::CancelByte)));
                cancelSent = true;
            }
        }
        // A receiver that pads its last block sends the padding at once; it is not file data.
        if (written == total)
            m_link.dropPending();
    } while (false);

    if (m_link.interrupted() || cancelSent) {
        file.cancelWriting();
        drainAfterCancel();
        m_link.clearInterrupt();
        return Canceled;
    }
    if (outcome != Completed) {
        file.cancelWriting();
        if (outcome == Failed && written > 0)
            m_link.dropPending();
        m_link.clearInterrupt();
        return outcome;
    }
    if (!file.commit()) {
        if (m_link.error)
            m_link.error(QCoreApplication::translate("DVB24CommunicationProtocolMill", "Cannot create file %1.")
                             .arg(destination));
        return Failed;
    }
    if (deleteSource) {
        ReceiverFolderCommands commands(m_link);
        if (commands.deletePath(receiverPath) != 1 && failures)
            failures->addFile(0, 0, receiverPath, QString(), 0);
    }
    m_link.clearInterrupt();
    return Completed;
}

FileTransfer::Outcome FileTransfer::upload(const QString &source, const QString &receiverPath)
{
    QStringList parts = receiverPath.split(u'/', Qt::SkipEmptyParts);
    if (receiverPath.startsWith(u'/') && !parts.isEmpty())
        parts[0].prepend(u'/');
    const QFileInfo info(source);
    if (info.isDir()) {
        ReceiverFolderCommands(m_link).makePath(receiverPath, false);
        m_link.clearInterrupt();
        return Completed;
    }
    QFile file(source);
    // Nothing is sent for a file that cannot be read: the receiver is never left waiting for data.
    if (!info.exists() || !file.open(QIODevice::ReadOnly)) {
        if (m_link.error)
            m_link.error(
                QCoreApplication::translate("DVB24CommunicationProtocolMill", "Cannot open file %1.").arg(source));
        m_link.clearInterrupt();
        return Failed;
    }
    const qint64 size = file.size();
    if (size == 0) {
        m_link.clearInterrupt();
        return Completed;
    }
    if (parts.isEmpty() || parts.size() > 0x10000) {
        m_link.clearInterrupt();
        return reportCode(-3);
    }
    auto fail = [&](int code) {
        m_link.clearInterrupt();
        return reportCode(code);
    };
    if (!m_link.write(TransferWire::transferHeader(0x0A, quint16(parts.size() - 1))))
        return fail(-1);
    int status = m_link.readStatus();
    for (int i = 0; status == 1 && i < parts.size() - 1; ++i)
        status = m_link.write(parts.at(i).toUtf8()) ? m_link.readStatus() : -1;
    if (status != 1)
        return fail(status);
    if (!m_link.write(TransferWire::uint64(quint64(size)) + parts.last().toUtf8()))
        return fail(-1);
    status = m_link.readStatus();
    if (status != 1)
        return fail(status);
    if (!m_link.write(TransferWire::uint32(TransferWire::PacketDataSize), false))
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
    qint64 n = readPacket(packet, 0);
    while (sent < size && !m_link.interrupted()) {
        if (n < 0) {
            // Never send bytes that were not read.
            m_link.write(TransferWire::cancelPacket());
            if (m_link.error)
                m_link.error(
                    QCoreApplication::translate("DVB24CommunicationProtocolMill", "Cannot open file %1.").arg(source));
            m_link.clearInterrupt();
            return Failed;
        }
        if (!m_link.write(packet))
            return fail(-1);
        const qint64 nextN = sent + n < size ? readPacket(next, sent + n) : 0;
        status = m_link.readStatus();
        if (status != 1)
            return fail(status);
        sent += n;
        if (m_link.progress64)
            m_link.progress64(n);
        packet.swap(next);
        n = nextN;
    }
    if (sent < size) {
        m_link.write(TransferWire::cancelPacket());
        m_link.clearInterrupt();
        return Canceled;
    }
    m_link.clearInterrupt();
    return Completed;
}
