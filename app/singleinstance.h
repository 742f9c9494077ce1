#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QLocalServer;
class QLocalSocket;
class QTimer;

// Keeps one running instance per user. A later start hands its message (the file to open) to the
// running instance over a local socket and ends; the running instance emits messageReceived().
//
// The channel name is per user (it lives in the user's runtime folder) and can be replaced through the
// environment variable OMBRELAY_INSTANCE_NAME, so parallel test runs never meet each other.
//
// Wire format: the sender writes a 4-byte big-endian length and that many bytes of UTF-8 text; the
// running instance answers one byte 0x06 once it has taken the message, or 0x15 at once when it will not
// take it (its window is closing): the sender then opens the file itself. Longer texts than
// MaxMessageBytes and senders that stall are dropped, and so is a message whose sender stopped waiting
// for the answer (it has opened the file itself).
//
// The running instance holds a lock on a file beside the channel for its whole life. A start that gets
// no answer takes the channel over only when that lock is free: the instance that left the socket file
// was killed. An instance that is merely busy keeps its channel, and the start runs without one.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxMessageBytes = 64 * 1024;
    static constexpr int ReceiveDeadlineMs = 5000;

    explicit SingleInstance(const QString &serverName = defaultServerName(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // True only when another instance runs and has taken message within timeoutMs. Otherwise false;
    // this instance then becomes the running one (it starts listening) unless a live instance that did
    // not answer in time still holds the channel.
    bool sendMessage(const QString &message, int timeoutMs);

    // Messages are taken only while taking() says so; any other is refused at once, so that its sender
    // opens the file in a window of its own instead of waiting out its deadline. Without a gate every
    // message is taken; once context is gone, none is.
    void setGate(QObject *context, std::function<bool()> taking);

    bool isListening() const;
    QString serverName() const { return m_serverName; }

    static QString defaultServerName();

signals:
    void messageReceived(const QString &message);

private:
    bool deliver(const QString &message, int timeoutMs) const;
    bool listen();
    bool takeLifeLock();
    void onNewConnection();
    void onReadyRead(QLocalSocket *socket);
    bool takes() const;

    QString m_serverName;
    QLocalServer *m_server = nullptr;
    QHash<QLocalSocket *, QByteArray> m_buffers;
    int m_lifeLock = -1; // descriptor of the locked file while this instance owns the channel
    bool m_gated = false;
    QPointer<QObject> m_gateContext;
    std::function<bool()> m_taking;
};
