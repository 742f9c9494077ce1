#include "emulatorsession.h"

#include "receiveremulator.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QThread>

EmulatorSession::EmulatorSession(ReceiverEmulator &emulator, QTcpSocket &socket, int connection)
    : m_emulator(emulator)
    , m_socket(socket)
    , m_connection(connection)
{}

QByteArray EmulatorSession::le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((value >> (8 * i)) & 0xFF);
    return bytes;
}

bool EmulatorSession::isOpen() const
{
    return !m_cut && !m_emulator.isStopping() &&
           (m_socket.state() == QAbstractSocket::ConnectedState || m_socket.bytesAvailable() > 0);
}

bool EmulatorSession::readByte(quint8 *byte, int timeoutMs)
{
    const QByteArray one = read(1, timeoutMs);
    if (one.isEmpty())
        return false;
    *byte = quint8(one.at(0));
    return true;
}

QByteArray EmulatorSession::read(qint64 n, int timeoutMs)
{
    QByteArray result;
    while (result.size() < n && !m_cut) {
        if (m_socket.bytesAvailable() <= 0 && !m_socket.waitForReadyRead(timeoutMs))
            break;
        result.append(m_socket.read(n - result.size()));
    }
    if (!result.isEmpty())
        m_emulator.record(result);
    return result;
}

bool EmulatorSession::readInto(char *data, qint64 n, int timeoutMs)
{
    for (qint64 have = 0; have < n;) {
        if (m_cut || (m_socket.bytesAvailable() <= 0 && !m_socket.waitForReadyRead(timeoutMs)))
            return false;
        const qint64 got = m_socket.read(data + have, n - have);
        if (got < 0)
            return false;
        have += got;
    }
    return true;
}

QByteArray EmulatorSession::readMessage(int timeoutMs)
{
    if (m_cut || (m_socket.bytesAvailable() <= 0 && !m_socket.waitForReadyRead(timeoutMs)))
        return QByteArray();
    const QByteArray m = m_socket.readAll();
    m_emulator.record(m);
    return m;
}

bool EmulatorSession::write(const QByteArray &bytes)
{
    if (m_cut || m_socket.state() != QAbstractSocket::ConnectedState)
        return false;
    if (const int delay = m_emulator.answerDelayMs(); delay > 0)
        QThread::msleep(ulong(delay));
    QByteArray out = bytes;
    if (!holdWhileMuted(out)) {
        // The PC let the muted connection go: nothing more is read or written over it.
        m_cut = true;
        return false;
    }
    const qint64 dropAfter = m_emulator.dropAfterBytes();
    const bool cut = dropAfter >= 0 && m_sent + out.size() >= dropAfter;
    if (cut)
        out.truncate(qMax<qint64>(0, dropAfter - m_sent));
    m_socket.write(out);
    m_sent += out.size();
    while (m_socket.bytesToWrite() > 0 && m_socket.waitForBytesWritten(1000))
        ;
    if (cut) {
        close();
        return false;
    }
    return true;
}

bool EmulatorSession::holdWhileMuted(QByteArray &out)
{
    int stamp = 0;
    const qint64 after = m_emulator.muteAfterBytes(m_connection, &stamp);
    if (stamp != m_muteStamp) {
        m_muteStamp = stamp;
        m_sentAtMuteRequest = m_sent;
    }
    if (after >= 0 && m_sent - m_sentAtMuteRequest >= after && !m_emulator.isMuted(m_connection))
        m_emulator.muteOpenConnections(m_emulator.trickleMs());
    QElapsedTimer paced;
    paced.start();
    while (m_connection > 0 && m_emulator.isMuted(m_connection) && !m_emulator.isStopping()) {
        if (m_socket.state() != QAbstractSocket::ConnectedState)
            return false;
        const int trickle = m_emulator.trickleMs();
        if (trickle > 0 && out.size() > 1 && paced.elapsed() >= trickle) {
            m_socket.write(out.left(1));
            m_socket.waitForBytesWritten(100);
            out.remove(0, 1);
            paced.restart();
        }
        // Notices the PC closing the connection; what it sends stays unread.
        m_socket.waitForReadyRead(20);
    }
    return !m_emulator.isStopping();
}

bool EmulatorSession::sendStatus(quint8 status)
{
    const int pending = m_emulator.pendingReplies();
    for (int i = 0; i < pending; ++i) {
        if (!writeByte(0xF9))
            return false;
        quint8 answer = 0;
        if (!readByte(&answer) || answer != 0x01)
            return false;
    }
    return writeByte(status);
}

bool EmulatorSession::sendChunks(const QByteArray &payload, int chunkSize)
{
    chunkSize = qMax(1, chunkSize);
    for (qsizetype offset = 0; offset < payload.size(); offset += chunkSize) {
        const QByteArray piece = payload.mid(offset, chunkSize);
        const quint32 percent = quint32((offset + piece.size()) * 100 / payload.size());
        if (!write(QByteArrayLiteral("DATA") + le32(quint32(piece.size())) + le32(percent) + piece))
            return false;
        quint8 answer = 0;
        if (!readByte(&answer) || answer != 0x55)
            return false;
    }
    return write(QByteArray("END\0", 4));
}

void EmulatorSession::close()
{
    m_cut = true;
    if (m_socket.state() == QAbstractSocket::ConnectedState) {
        m_socket.disconnectFromHost();
        if (m_socket.state() != QAbstractSocket::UnconnectedState)
            m_socket.waitForDisconnected(1000);
    }
    m_socket.close();
}
