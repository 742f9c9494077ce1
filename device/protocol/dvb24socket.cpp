#include "device/protocol/dvb24socket.h"

#include "device/core/devicelog.h"
#include "device/protocol/dvb24communicationexception.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QTcpSocket>

namespace {

void setFlag(bool *ok, bool value)
{
    if (ok)
        *ok = value;
}

} // namespace

qint64 Dvb24Socket::bytesAvailable() const
{
    return m_socket ? m_socket->bytesAvailable() : 0;
}

bool Dvb24Socket::waitForReadyRead()
{
    return m_socket && m_socket->waitForReadyRead(readTimeoutMs);
}

QAbstractSocket::SocketState Dvb24Socket::state() const
{
    return m_socket ? m_socket->state() : QAbstractSocket::UnconnectedState;
}

void Dvb24Socket::flush()
{
    if (m_socket)
        m_socket->flush();
}

void Dvb24Socket::close()
{
    if (m_socket)
        m_socket->close();
}

QByteArray Dvb24Socket::waitAndReadAll()
{
    if (!waitForReadyRead())
        return QByteArray();
    return m_socket->readAll();
}

void Dvb24Socket::discardPending()
{
    if (bytesAvailable() != 0)
        waitAndReadAll();
}

void Dvb24Socket::dropBuffered()
{
    if (!m_socket)
        return;
    // Whatever the kernel already holds comes in without blocking.
    m_socket->waitForReadyRead(0);
    m_socket->readAll();
}

ProtocolBuffer Dvb24Socket::request(const QByteArray &packet)
{
    ProtocolBuffer reply;
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return reply;
    m_socket->write(packet);
    m_socket->flush();
    if (m_socket->waitForReadyRead(requestTimeoutMs)) {
        reply.assign(m_socket->readAll());
        return reply;
    }
    throw DVB24CommunicationException(DVB24ExceptionTypes::GeneralError);
}

QByteArray Dvb24Socket::readBytes(qint64 n, bool *ok)
{
    setFlag(ok, true);
    QByteArray result;
    if (n <= 0)
        return result;
    qint64 remaining = n;
    while (true) {
        const qint64 available = bytesAvailable();
        if (available > 0) {
            const QByteArray piece = m_socket->read(qMin(available, remaining));
            result.append(piece);
            remaining -= piece.size();
            if (remaining <= 0)
                return result;
        }
        if (!waitForReadyRead()) {
            setFlag(ok, false);
            reportFailure();
            return result;
        }
    }
}

QByteArray Dvb24Socket::readBytes(qint64 n, const std::function<QDeadlineTimer()> &finishBy, bool *ok)
{
    // A deadline set while a wait runs is seen within this.
    constexpr qint64 sliceMs = 100;
    setFlag(ok, true);
    QByteArray result;
    QElapsedTimer quiet;
    quiet.start();
    while (result.size() < n) {
        const QDeadlineTimer deadline = finishBy();
        if (!m_socket || deadline.hasExpired())
            break;
        if (const qint64 available = bytesAvailable(); available > 0) {
            result.append(m_socket->read(qMin(available, n - result.size())));
            quiet.restart();
            continue;
        }
        const qint64 left = readTimeoutMs - quiet.elapsed();
        if (left <= 0 || m_socket->state() != QAbstractSocket::ConnectedState)
            break;
        qint64 slice = qMin(left, sliceMs);
        if (!deadline.isForever())
            slice = qMin(slice, qMax<qint64>(1, deadline.remainingTime()));
        m_socket->waitForReadyRead(int(slice));
    }
    if (result.size() < n) {
        setFlag(ok, false);
        reportFailure();
    }
    return result;
}

char Dvb24Socket::readByte(bool *ok)
{
    if (bytesAvailable() <= 0 && !waitForReadyRead()) {
        setFlag(ok, false);
        reportFailure();
        return 0;
    }
    char byte = 0;
    if (!m_socket->getChar(&byte)) {
        setFlag(ok, false);
        reportFailure();
        return 0;
    }
    setFlag(ok, true);
    return byte;
}

quint32 Dvb24Socket::readUInt32(bool *ok)
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i) {
        bool byteOk = false;
        const quint8 byte = quint8(readByte(&byteOk));
        if (!byteOk) {
            reportFailure();
            setFlag(ok, false);
            return value;
        }
        value |= quint32(byte) << (8 * i);
    }
    setFlag(ok, true);
    return value;
}

quint64 Dvb24Socket::readUIntBE(qint8 n)
{
    bool ok = false;
    const QByteArray bytes = read(n, &ok);
    if (n < 1 || n > 8 || !ok)
        throw DVB24CommunicationException(DVB24ExceptionTypes::OutOfHandle);
    quint64 value = 0;
    for (char byte : bytes)
        value = (value << 8) | quint8(byte);
    return value;
}

void Dvb24Socket::writeByte(char b, bool flush, bool *ok)
{
    const bool written = m_socket && m_socket->write(&b, 1) != -1;
    setFlag(ok, written);
    if (!written)
        reportFailure();
    if (flush)
        this->flush();
}

void Dvb24Socket::writeUInt32(quint32 v, bool flush, bool *ok)
{
    char bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((v >> (8 * i)) & 0xFF);
    const bool written = m_socket && m_socket->write(bytes, 4) != -1;
    setFlag(ok, written);
    if (flush)
        this->flush();
    if (!written)
        reportFailure();
}

void Dvb24Socket::write(const QByteArray &data, bool flush, bool *ok)
{
    const qint64 count = m_socket ? m_socket->write(data) : -1;
    setFlag(ok, count != -1);
    if (count != data.size())
        qCDebug(lcDeviceSocket).noquote()
            << QStringLiteral("Attention!. Written only %1 instead of required %2").arg(count).arg(data.size());
    if (flush)
        this->flush();
    if (count == -1)
        reportFailure();
}

void Dvb24Socket::reportFailure() const
{
    if (!lcDeviceSocket().isDebugEnabled())
        return;
    qCDebug(lcDeviceSocket) << "read/write error";
    qCDebug(lcDeviceSocket) << "socket opened: " << (m_socket && m_socket->isOpen());
    qCDebug(lcDeviceSocket) << "socket valid: " << (m_socket && m_socket->isValid());
    if (m_socket)
        qCDebug(lcDeviceSocket) << "socket state: " << m_socket->state();
    else
        qCDebug(lcDeviceSocket) << "socket state: " << QAbstractSocket::UnconnectedState;
}
