#include "device/transfers/listtransfer.h"

#include "device/transfers/listchunkparser.h"
#include "device/transfers/listuploadplan.h"
#include "device/transfers/transferlink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <optional>

namespace {
int commandFor(const QString &listType, bool download)
{
    if (listType == QLatin1String("tv"))
        return download ? 0x19 : 0x22;
    if (listType == QLatin1String("radio"))
        return download ? 0x20 : 0x23;
    if (listType == QLatin1String("link"))
        return download ? 0x21 : 0x24;
    return -1;
}
const int kReplyWait = 4000;

} // namespace

ListTransfer::ListTransfer(TransferLink &link)
    : m_link(link)
{}

QString ListTransfer::busyText()
{
    return QCoreApplication::translate("DVB24CommunicationProtocolMill", "Device is busy now.") + u' ' +
           QCoreApplication::translate("DVB24CommunicationProtocolMill", "Please try again later.");
}

ListTransfer::Outcome ListTransfer::refusal(int reply)
{
    if (reply == 0xAB) {
        if (m_link.error)
            m_link.error(
                QCoreApplication::translate("DVB24CommunicationProtocolMill", "Device is recording programme.") + u' ' +
                QCoreApplication::translate("DVB24CommunicationProtocolMill", "Please try again later."));
        return Refused;
    }
    if (m_link.error)
        m_link.error(busyText());
    return Refused;
}

QString ListTransfer::listsNotMovedText(const QString &first, const QString &mode)
{
    if (mode == QLatin1String("download"))
        return first + u' ' +
               QCoreApplication::translate("DVB24CommunicationProtocolMill", "The lists were not downloaded.");
    if (mode == QLatin1String("send"))
        return first + u' ' + QCoreApplication::translate("DVB24CommunicationProtocolMill", "The lists were not sent.");
    return first;
}

QString ListTransfer::lostConnectionText(const QString &mode)
{
    return listsNotMovedText(
        QCoreApplication::translate("DVB24CommunicationProtocolMill", "The connection to the device was lost."), mode);
}

ListTransfer::Outcome ListTransfer::fail(bool downloading, bool known)
{
    // A connection that went is no busy receiver; a wrong answer it gave before it went is its own.
    if (m_link.error && !known && !m_link.isOpen()) {
        m_link.error(lostConnectionText(downloading ? QStringLiteral("download") : QStringLiteral("send")));
        return Failed;
    }
    if (m_link.error)
        m_link.error((downloading
                          ? QCoreApplication::translate("DVB24CommunicationProtocolMill", "Error during downloading.")
                          : QCoreApplication::translate("DVB24CommunicationProtocolMill", "Error during uploading.")) +
                     u' ' + busyText());
    return Failed;
}

ListTransfer::Outcome ListTransfer::lostInSilence(bool downloading, bool canceled)
{
    m_link.close();
    if (canceled && m_link.cancelSeen() && m_link.error)
        m_link.error(listsNotMovedText(TransferLink::cancelUnansweredText(),
                                       downloading ? QStringLiteral("download") : QStringLiteral("send")));
    else
        fail(downloading);
    return canceled ? Canceled : Failed;
}

// Sends the list command and reads the receiver's answer: Completed when it accepts the exchange.
ListTransfer::Outcome ListTransfer::openExchange(int command, bool downloading)
{
    if (!m_link.write(QByteArray(1, char(command))))
        return fail(downloading);
    // A cancel that came as the command went still reads the answer: the receiver may have taken the command,
    // and what it sends is closed below, never left to be read as the answer to the next request.
    const int reply = m_link.readByte(kReplyWait);
    if (reply < 0 && m_link.interrupted())
        return closeUnanswered(downloading);
    if (reply == 0xAB || reply == 0xAC)
        return refusal(reply);
    if (reply < 0)
        return lostInSilence(downloading);
    if (reply != 0xAA)
        return fail(downloading, true);
    return Completed;
}

// A transfer cancelled before the receiver answered its command: the receiver may still take it. Its answer
// and a download's first chunk would then be read as the answer to the next request, and an upload's
// receiver would read the next request as part of a list. The answer is waited for as long as an answer
// is (within the after-cancel wait), and the exchange closed as any other cancel closes it. A receiver that lets
// that wait pass is given up.
ListTransfer::Outcome ListTransfer::closeUnanswered(bool downloading)
{
    m_link.clearInterrupt();
    TransferLink::InStep finishing(m_link);
    const int reply = m_link.readByte(kReplyWait);
    if (reply < 0)
        return lostInSilence(downloading, true);
    if (reply == 0xAA) {
        if (downloading)
            return abortDownload(QByteArray());
        m_link.write("CNL");
    } else if (reply != 0xAB && reply != 0xAC) {
        // No answer of this exchange: what follows it cannot be read in step.
        m_link.close();
    }
    return Canceled;
}

// The receiver reads the abort only in place of the answer to a chunk. So the chunk under way is waited for
// (as long as an answer is) and answered with the abort, and none of it is left to be read as the answer to
// the next request; after the list's end nothing is answered. A receiver that sends nothing for as long as
// the after-cancel wait is given up, however it trickles: its chunk would otherwise come after the abort and be
// read as the answer to the next request.
ListTransfer::Outcome ListTransfer::abortDownload(QByteArray buffer)
{
    m_link.clearInterrupt();
    TransferLink::InStep finishing(m_link);
    QElapsedTimer quiet;
    quiet.start();
    for (;;) {
        const ListChunkParser::Chunk chunk = ListChunkParser::parse(buffer);
        const ListChunkParser::Kind kind = chunk.kind;
        if (kind == ListChunkParser::Other) {
            buffer.remove(0, chunk.consumed); // a tag the receiver wants no answer to
            continue;
        }
        if (kind == ListChunkParser::End)
            break;
        if (kind == ListChunkParser::Bad) {
            m_link.close();
            break;
        }
        if (kind == ListChunkParser::Data) {
            m_link.write(QByteArray(1, '\xFA'));
            break;
        }
        if (!m_link.isOpen() || quiet.elapsed() >= m_link.inactivityLimit() || m_link.afterCancelPassed())
            return lostInSilence(true, true);
        const QByteArray more = m_link.readUpTo(64 * 1024, 200);
        if (!more.isEmpty())
            quiet.restart();
        buffer += more;
    }
    return Canceled;
}

ListTransfer::Outcome ListTransfer::download(const QString &listType, QString *result)
{
    m_link.beginExchange();
    if (m_link.interrupted())
        return Canceled;
    m_link.dropPending();
    const int command = commandFor(listType, true);
    if (command < 0)
        return fail(true, true);
    if (const Outcome opened = openExchange(command, true); opened != Completed)
        return opened;
    if (m_link.status)
        m_link.status(QCoreApplication::translate("DVB24CommunicationProtocolMill", "Device is preparing lists..."));
    QByteArray buffer;
    QByteArray received;
    int lastPercent = -1;
    QElapsedTimer quiet;
    quiet.start();
    for (;;) {
        const ListChunkParser::Chunk chunk = ListChunkParser::parse(buffer);
        if (chunk.kind == ListChunkParser::Bad) {
            // Nothing after it can be read in step.
            m_link.close();
            return fail(true, true);
        }
        if (chunk.kind == ListChunkParser::Incomplete) {
            // Whatever came of a tag stays and is completed by the next bytes.
            if (m_link.interrupted())
                return abortDownload(buffer);
            const QByteArray more = m_link.readUpTo(64 * 1024, 1000);
            if (more.isEmpty()) {
                if (!m_link.isOpen())
                    return fail(true);
                if (quiet.elapsed() >= m_link.inactivityLimit())
                    return lostInSilence(true);
                continue;
            }
            quiet.restart();
            buffer += more;
            continue;
        }
        buffer.remove(0, chunk.consumed);
        // A cancel that came before the list's end: the end needs no answer, and nothing is kept.
        if (chunk.kind == ListChunkParser::End && m_link.interrupted()) {
            m_link.clearInterrupt();
            return Canceled;
        }
        if (chunk.kind == ListChunkParser::End) {
            const int nul = int(received.indexOf('\0'));
            if (nul >= 0)
                received.truncate(nul);
            *result = QString::fromUtf8(received);
            return Completed;
        }
        if (chunk.kind == ListChunkParser::Data) {
            if (received.size() + chunk.bytes.size() > MaxListBytes)
                return fail(true, true);
            received += chunk.bytes;
            if (m_link.interrupted()) {
                m_link.write(QByteArray(1, '\xFA'));
                return Canceled;
            }
            if (!m_link.write(QByteArray(1, '\x55')))
                return fail(true);
            const int percent = int(qMin<quint32>(chunk.percent, 100));
            if (percent != lastPercent) {
                if (m_link.progress)
                    m_link.progress(percent, 100);
                lastPercent = percent;
            }
        }
        if (m_link.interrupted())
            return abortDownload(buffer);
    }
}

int ListTransfer::sendMessage(const QByteArray &bytes, bool closing)
{
    // The answer to a message that went is read whatever the user does meanwhile: a cancel acts only between
    // messages, and an answer left unread would be taken as the answer to the next one. After a cancel it is
    // waited for within the after-cancel wait; once the closing messages go a cancel changes nothing, and their
    // answers are waited for as ever: the receiver takes the lists.
    TransferLink::InStep finishing(m_link);
    std::optional<TransferLink::LastAnswer> last;
    if (closing)
        last.emplace(m_link);
    return m_link.write(bytes) ? m_link.readByte(kReplyWait) : -1;
}

ListTransfer::Outcome ListTransfer::upload(const QString &listType, const QByteArray &payload)
{
    m_link.beginExchange();
    if (m_link.interrupted())
        return Canceled;
    m_link.dropPending();
    const int command = commandFor(listType, false);
    ListUploadPlan plan;
    // The document is read before the receiver is told anything: a bad one never starts an upload.
    if (command < 0 || !plan.open(payload, ListUploadPlan::entryElementFor(listType)))
        return fail(false, true);
    if (const Outcome opened = openExchange(command, false); opened != Completed)
        return opened;
    if (m_link.status)
        m_link.status(QCoreApplication::translate("DVB24CommunicationProtocolMill", "Sending lists..."));
    const int total = plan.total();
    // Messages are written out of the payload one at a time, so the upload holds no second copy of it.
    ListUploadPlan::Message m;
    while (plan.next(&m)) {
        if (m_link.interrupted()) {
            m_link.write("CNL");
            return Canceled;
        }
        const int answer = sendMessage(ListUploadPlan::encode(m), m.closing);
        if (answer != 0xAA) {
            // Never leave the receiver holding half a list.
            m_link.write("CNL");
            if (answer < 0)
                return lostInSilence(false, !m.closing && m_link.interrupted());
            if (m_link.interrupted())
                return Canceled;
            return fail(false, true);
        }
        if (m.reports && m_link.progress)
            m_link.progress(qMin(100, total > 0 ? int(double(m.done) / total * 100.0) : 0), total);
    }
    if (plan.failed()) {
        m_link.write("CNL");
        return fail(false, true);
    }
    // A cancel that comes once the closing message went changes nothing: the receiver takes the lists whole.
    if (const int answer = sendMessage("CMP", true); answer != 0xAA)
        return answer < 0 ? lostInSilence(false) : fail(false, true);
    if (settleMs > 0)
        QThread::msleep(settleMs);
    return Completed;
}
