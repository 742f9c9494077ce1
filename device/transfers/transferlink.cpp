#include "device/transfers/transferlink.h"

#include "device/core/mill.h"

#include <QAbstractSocket>
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

bool TransferLink::interrupted() const
{
    if (m_mill)
        return m_mill->isInterruptRequested();
    return m_interrupt && m_interrupt->load();
}

void TransferLink::clearInterrupt()
{
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
    if (m_device && m_device->isOpen())
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
        const qint64 before = m_device->bytesToWrite();
        if (!m_device->waitForBytesWritten(qMin(m_inactivity, 1000))) {
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
        if (!isOpen() || (stopsOnCancel && interrupted()))
            return false;
        const qint64 left = ms - waited.elapsed();
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
    if (n <= 0 || m_gaveUp || !waitForData(waitMs))
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
