#include "device/transfers/transferlink.h"

#include "device/core/mill.h"

#include <QAbstractSocket>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIODevice>

namespace {
// A receiver that answers "pending" forever is treated as gone after this many answers.
const int kMaxPendingAnswers = 10000;
// A cancel must take effect soon even while the receiver is silent: waits are cut into slices.
const int kInterruptPollMs = 100;
} // namespace

TransferLink::TransferLink(QIODevice *device, std::atomic_bool *interrupt)
    : m_device(device)
    , m_interrupt(interrupt)
{}

TransferLink::TransferLink(QIODevice *device, Mill *mill)
    : m_device(device)
    , m_mill(mill)
{}

TransferLink::~TransferLink()
{
    if (m_gaveUp)
        close();
}

bool TransferLink::flagSet() const
{
    if (m_mill)
        return m_mill->isInterruptRequested();
    return m_interrupt && m_interrupt->load();
}

bool TransferLink::interrupted() const
{
    const bool on = flagSet();
    if (on && !m_cancelClock.isValid() && m_lastAnswer == 0)
        m_cancelClock.start();
    return on;
}

bool TransferLink::afterCancelPassed() const
{
    return m_lastAnswer == 0 && m_cancelClock.isValid() && m_cancelClock.elapsed() >= AfterCancelMs;
}

qint64 TransferLink::bounded(qint64 ms) const
{
    if (m_lastAnswer > 0 || !m_cancelClock.isValid())
        return ms;
    return qMin(ms, qMax<qint64>(0, AfterCancelMs - m_cancelClock.elapsed()));
}

void TransferLink::beginExchange()
{
    m_cancelClock.invalidate();
    interrupted();
}

QString TransferLink::cancelUnansweredText()
{
    return QCoreApplication::translate("DVB24CommunicationProtocolMill", "The device did not answer the cancel.");
}

void TransferLink::clearInterrupt()
{
    // A cancel taken in to be finished in step still bounds that finishing.
    interrupted();
    if (m_mill)
        m_mill->setInterruptFlag(false);
    else if (m_interrupt)
        m_interrupt->store(false);
}

bool TransferLink::isOpen() const
{
    if (m_gaveUp || !m_device || !m_device->isOpen())
        return false;
    if (auto *socket = qobject_cast<QAbstractSocket *>(m_device))
        return socket->state() == QAbstractSocket::ConnectedState;
    return true;
}

void TransferLink::close()
{
    if (!m_device || !m_device->isOpen())
        return;
    // Bytes still waiting to go (a write the receiver did not take) would hold a socket's close open in a thread
    // without an event loop, and a connection given up owes the receiver nothing more.
    if (auto *socket = qobject_cast<QAbstractSocket *>(m_device))
        socket->abort();
    else
        m_device->close();
}

bool TransferLink::write(const QByteArray &bytes, bool flushNow)
{
    if (m_gaveUp || !m_device || !m_device->isOpen())
        return false;
    if (m_device->write(bytes) != bytes.size())
        return false;
    return flushNow ? flush() : true;
}

bool TransferLink::flush()
{
    if (!m_device)
        return false;
    QElapsedTimer quiet;
    quiet.start();
    while (m_device->bytesToWrite() > 0) {
        // A receiver that takes nothing more keeps a cancel that comes meanwhile to the after-cancel wait.
        interrupted();
        if (afterCancelPassed())
            return false;
        const qint64 before = m_device->bytesToWrite();
        if (!m_device->waitForBytesWritten(int(qMax<qint64>(1, bounded(qMin(m_inactivity, kInterruptPollMs)))))) {
            if (!isOpen())
                return false;
        }
        if (m_device->bytesToWrite() < before)
            quiet.restart();
        else if (quiet.elapsed() >= m_inactivity)
            return false;
    }
    return true;
}

bool TransferLink::waitForData(int ms)
{
    if (!m_device)
        return false;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (m_device->bytesAvailable() > 0)
            return true;
        // Tested at every slice: a cancel that comes while the receiver is silent bounds this wait too.
        const bool cancel = interrupted();
        if (!isOpen() || (stopsOnCancel && cancel))
            return false;
        const qint64 left = bounded(ms - waited.elapsed());
        if (left <= 0)
            return false;
        if (m_device->waitForReadyRead(int(qMin<qint64>(left, kInterruptPollMs))) && m_device->bytesAvailable() > 0)
            return true;
    }
}

bool TransferLink::readExact(qint64 n, QByteArray *out)
{
    return readExact(n, out, m_inactivity);
}

bool TransferLink::readExact(qint64 n, QByteArray *out, int inactivityMs)
{
    if (n <= 0) {
        out->clear();
        return true;
    }
    if (m_gaveUp) {
        out->clear();
        return false;
    }
    // Read straight into the caller's buffer: no copies on the hot path of a large transfer.
    out->resize(n);
    qint64 have = 0;
    QElapsedTimer quiet;
    quiet.start();
    while (have < n) {
        // Bytes that keep trickling in do not stretch the finishing after a cancel either.
        if (afterCancelPassed())
            break;
        if (m_device && m_device->bytesAvailable() > 0) {
            const qint64 got = m_device->read(out->data() + have, n - have);
            if (got < 0)
                break;
            have += got;
            m_read += got;
            quiet.restart();
            continue;
        }
        if (!waitForData(qMax(1, int(qMin<qint64>(inactivityMs - quiet.elapsed(), kInterruptPollMs))))) {
            if (stopsOnCancel && interrupted())
                break;
            if (!isOpen() && (!m_device || m_device->bytesAvailable() == 0))
                break;
            if (quiet.elapsed() >= inactivityMs)
                break;
        }
    }
    out->resize(have);
    return have == n;
}

QByteArray TransferLink::readUpTo(qint64 n, int waitMs)
{
    if (n <= 0 || m_gaveUp || afterCancelPassed() || !waitForData(waitMs))
        return QByteArray();
    const QByteArray got = m_device->read(n);
    m_read += got.size();
    return got;
}

int TransferLink::readByte()
{
    return readByte(m_inactivity);
}

int TransferLink::readByte(int inactivityMs)
{
    QByteArray b;
    if (!readExact(1, &b, inactivityMs))
        return -1;
    return quint8(b.at(0));
}

int TransferLink::readStatus()
{
    return readStatus(m_inactivity);
}

int TransferLink::readStatus(int inactivityMs)
{
    for (int i = 0; i < kMaxPendingAnswers; ++i) {
        const int s = readByte(inactivityMs);
        if (s < 0)
            return NoStatus;
        if (s == 0x01)
            return 1;
        if (s != 0xF9)
            return int(qint8(quint8(s)));
        if (!write(QByteArray(1, '\x01')))
            return NoStatus;
    }
    return NoStatus;
}

QByteArray TransferLink::request(const QByteArray &bytes, int waitMs)
{
    if (!isOpen() || !write(bytes))
        return QByteArray();
    if (!waitForData(waitMs))
        return QByteArray();
    const QByteArray got = m_device->readAll();
    m_read += got.size();
    return got;
}

void TransferLink::dropPending()
{
    if (!m_gaveUp && m_device && m_device->bytesAvailable() > 0)
        m_read += m_device->readAll().size();
}
