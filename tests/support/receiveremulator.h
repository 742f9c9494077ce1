#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class EmulatorSession;
class QThread;

// Plays the receiver's side of the protocol on 127.0.0.1, one blocking thread per connection, and
// records every byte it receives. Commands are one byte; each is answered by a handler looked up
// first in this emulator's own table (setCommand), then in the shared table (registerCommand), which
// further exchanges fill from their own source files at start-up.
class ReceiverEmulator : public QObject
{
    Q_OBJECT
public:
    using Command = std::function<void(EmulatorSession &session)>;

    explicit ReceiverEmulator(QObject *parent = nullptr);
    ~ReceiverEmulator() override;

    // Listens on 127.0.0.1 (or the address set) only; port 0 picks a free one. False when the port cannot be bound.
    bool start(quint16 port = 0);
    void stop();
    quint16 port() const { return m_port.load(); }
    bool isStopping() const { return m_stopping.load(); }
    QString host() const { return m_address.toString(); }
    // The loopback address to listen on from the next start; any other address is refused.
    bool setAddress(const QHostAddress &address);

    // Shared handler for a command byte; returns true so it can initialise a static.
    static bool registerCommand(quint8 command, const Command &handler);
    void setCommand(quint8 command, const Command &handler);
    Command commandFor(quint8 command) const;

    // The "deviceInfo" text sent in answer to 0x26.
    static QString defaultDescription(const QString &protocolVersion = QStringLiteral("1.4"));
    void setDescription(const QString &xml);
    QString description() const;
    void setProtocolVersion(const QString &version);
    // Size of the DATA chunks in which the description is sent.
    void setChunkSize(int bytes) { m_chunkSize.store(bytes); }
    int chunkSize() const { return m_chunkSize.load(); }

    // Fault switches.
    void setRefuseConnections(bool on) { m_refuse.store(on); }
    // Every status reply is preceded by n rounds of 0xF9, each waiting for the PC's 0x01.
    void setPendingReplies(int n) { m_pending.store(n); }
    int pendingReplies() const { return m_pending.load(); }
    // Each connection is cut after it has sent n bytes in all (-1: never).
    void setDropAfterBytes(qint64 n) { m_dropAfter.store(n); }
    qint64 dropAfterBytes() const { return m_dropAfter.load(); }
    // Reads and records, answers nothing.
    void setSilent(bool on) { m_silent.store(on); }
    // The connections served now stop answering where they stand, in the middle of an exchange or not, as a
    // receiver that hangs: each answer is held back (the connection stays open) until the PC closes it, and no
    // further command is taken. With trickleMs the held answer goes out a byte at a time, one every trickleMs,
    // so bytes keep coming but the answer does not end soon. Connections made later answer as ever.
    void muteOpenConnections(int trickleMs = 0);
    // The same once a connection served now has sent `bytes` more (a receiver that stops in the middle of a stream).
    void muteOpenConnectionsAfter(qint64 bytes, int trickleMs = 0);
    // For sessions: the bytes after which their connection falls silent, counted from the request (its number
    // is the stamp, which a session takes with its count of bytes sent when it first sees it); -1: none.
    qint64 muteAfterBytes(int connection, int *stamp) const;
    bool isMuted(int connection) const { return connection <= m_mutedUpTo.load(); }
    int trickleMs() const { return m_trickleMs.load(); }
    // The description announces a chunk of almost 4 GiB.
    void setHostileLength(bool on) { m_hostileLength.store(on); }
    bool hostileLength() const { return m_hostileLength.load(); }

    // Every answer (each write of a session) waits this long first: a receiver that answers late.
    void setAnswerDelayMs(int ms) { m_answerDelay.store(ms); }
    int answerDelayMs() const { return m_answerDelay.load(); }

    // The command bytes taken at the start of a command, over all connections, in order, and how many of them
    // no handler knows. A PC out of step with the receiver shows here: part of an exchange read as a command.
    QList<quint8> commandsTaken() const;
    int unknownCommands() const { return m_unknown.load(); }
    void clearCommandsTaken();

    // Called in the session's thread each time bytes of the PC are read, with all that the PC sent so far over
    // all connections: lets a test act (a cancel, say) at the moment a given message of the PC arrives.
    void setReceiveHook(const std::function<void(const QByteArray &receivedSoFar)> &hook);

    // What the PC sent, over all connections, in order.
    QByteArray received() const;
    void clearReceived();
    int connectionCount() const { return m_connections.load(); }
    int openConnections() const { return m_open.load(); }

    // Called by sessions.
    void record(const QByteArray &bytes);

private:
    void serve(qintptr descriptor);

    QHostAddress m_address{QHostAddress::LocalHost};
    mutable QMutex m_lock;
    QHash<quint8, Command> m_commands;
    QString m_description;
    QByteArray m_received;
    QList<quint8> m_commandsTaken;
    std::function<void(const QByteArray &)> m_receiveHook;
    std::atomic_int m_unknown{0};
    std::atomic_int m_answerDelay{0};
    QList<QThread *> m_threads;
    QThread *m_listener = nullptr;
    std::atomic<quint16> m_port{0};
    std::atomic_bool m_stopping{false};
    std::atomic_bool m_refuse{false};
    std::atomic_int m_pending{0};
    std::atomic<qint64> m_dropAfter{-1};
    std::atomic_bool m_silent{false};
    std::atomic_bool m_hostileLength{false};
    std::atomic_int m_chunkSize{100};
    std::atomic_int m_connections{0};
    std::atomic_int m_open{0};
    std::atomic_int m_mutedUpTo{0};
    std::atomic_int m_trickleMs{0};
    std::atomic<qint64> m_muteAfter{-1};
    std::atomic_int m_muteAfterUpTo{0};
    std::atomic_int m_muteAfterStamp{0};
};
