#pragma once

#include <QByteArray>
#include <QVariantMap>

class QTcpSocket;
class ReceiverEmulator;

// One connection of the receiver emulator, served by blocking calls in its own thread. Command
// handlers talk to the PC through it; every read is recorded by the emulator.
class EmulatorSession
{
public:
    EmulatorSession(ReceiverEmulator &emulator, QTcpSocket &socket);

    ReceiverEmulator &emulator() { return m_emulator; }
    // Scratch values a multi-step exchange keeps between commands.
    QVariantMap &values() { return m_values; }

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
    // the PC answered anything else (lastAnswer() tells what) or went away.
    bool sendChunks(const QByteArray &payload, int chunkSize);
    quint8 lastAnswer() const { return m_lastAnswer; }
    void close();
    bool isOpen() const;

    static QByteArray le32(quint32 value);

private:
    ReceiverEmulator &m_emulator;
    QTcpSocket &m_socket;
    QVariantMap m_values;
    qint64 m_sent = 0;
    bool m_cut = false;
    quint8 m_lastAnswer = 0;
};
