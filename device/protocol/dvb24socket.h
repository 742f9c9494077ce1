#pragma once

#include "device/protocol/protocolbuffer.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QDeadlineTimer>

#include <functional>

class QTcpSocket;

// Blocking primitives over the worker's TCP socket, used only in the thread that owns the socket.
// Reads and writes report success through an optional flag; request() and readUIntBE() throw
// DVB24CommunicationException themselves.
class Dvb24Socket
{
public:
    Dvb24Socket() = default;

    void setSocket(QTcpSocket *socket) { m_socket = socket; }
    QTcpSocket *socket() const { return m_socket; }
    int readTimeoutMs = 2000;
    int waitTimeoutMs = 2000;

    qint64 bytesAvailable() const;
    bool waitForReadyRead();
    QAbstractSocket::SocketState state() const;
    void flush();
    void close();
    QByteArray waitAndReadAll();
    void discardPending();
    // Drops what is buffered now without waiting for more.
    void dropBuffered();

    ProtocolBuffer request(const QByteArray &packet);
    ProtocolBuffer request(char byte) { return request(QByteArray(1, byte)); }
    ProtocolBuffer requestByte(char byte) { return request(byte); }

    QByteArray readBytes(qint64 n, bool *ok = nullptr);
    // As readBytes, and no wait goes past finishBy(), which is asked again at every slice of a wait: a deadline
    // set meanwhile (a cancel's) is kept, and bytes that keep trickling in do not stretch it.
    QByteArray readBytes(qint64 n, const std::function<QDeadlineTimer()> &finishBy, bool *ok);
    QByteArray read(int n, bool *ok = nullptr) { return readBytes(n, ok); }
    char readByte(bool *ok = nullptr);
    quint32 readUInt32(bool *ok = nullptr);
    quint64 readUIntBE(qint8 n);

    void writeByte(char b, bool flush = true, bool *ok = nullptr);
    void writeUInt32(quint32 v, bool flush = true, bool *ok = nullptr);
    void write(const QByteArray &data, bool flush = true, bool *ok = nullptr);

    void reportFailure() const;

    static constexpr int requestTimeoutMs = 30000;

private:
    QTcpSocket *m_socket = nullptr;
};
