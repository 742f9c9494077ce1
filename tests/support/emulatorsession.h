#pragma once

#include <QByteArray>

class QTcpSocket;
class ReceiverEmulator;

// One connection of the receiver emulator, served by blocking calls in its own thread. Command
// handlers talk to the PC through it; every read is recorded by the emulator.
class EmulatorSession
{
public:
    // connection: its number among the emulator's connections, from 1.
    EmulatorSession(ReceiverEmulator &emulator, QTcpSocket &socket, int connection = 0);

    ReceiverEmulator &emulator() { return m_emulator; }

    bool readByte(quint8 *byte, int timeoutMs = 2000);
    // Up to n bytes; fewer when nothing more comes within timeoutMs.
    QByteArray read(qint64 n, int timeoutMs = 2000);
    // Exactly n bytes into data, not recorded (bulk packets); false on timeout or a closed connection.
    bool readInto(char *data, qint64 n, int timeoutMs = 5000);
    // Whatever has come once anything comes: the PC sends one message and waits for its answer.
    QByteArray readMessage(int timeoutMs = 5000);
    // False when the connection is gone or was cut by the drop switch.
    bool write(const QByteArray &bytes);
    bool writeByte(quint8 byte) { return write(QByteArray(1, char(byte))); }
    // A status reply, after the pending rounds the emulator is set to; false if the PC did not answer
    // a pending round with 0x01.
    bool sendStatus(quint8 status);
    // The payload as "DATA" chunks and "END", waiting for 0x55 after each chunk. Returns false when
    // the PC answered anything else or went away.
    bool sendChunks(const QByteArray &payload, int chunkSize);
    void close();
    bool isOpen() const;

    static QByteArray le32(quint32 value);

private:
    // Holds an answer while the connection is muted (trickling it out when asked); false once the PC closed it.
    bool holdWhileMuted(QByteArray &out);

    ReceiverEmulator &m_emulator;
    QTcpSocket &m_socket;
    int m_connection = 0;
    int m_muteStamp = 0;
    qint64 m_sentAtMuteRequest = 0;
    qint64 m_sent = 0;
    bool m_cut = false;
};
