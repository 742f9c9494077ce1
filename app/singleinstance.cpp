#include "app/singleinstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
constexpr char ackByte = 0x06;
constexpr char refuseByte = 0x15;
constexpr int headerBytes = 4;
} // namespace

// A file next to the channel, or in the temp folder for a bare channel name.
static QString besideChannel(const QString &serverName, const QString &suffix)
{
    return QDir::isAbsolutePath(serverName) ? serverName + suffix : QDir::temp().filePath(serverName + suffix);
}

SingleInstance::SingleInstance(const QString &serverName, QObject *parent)
    : QObject(parent)
    , m_serverName(serverName)
{}

SingleInstance::~SingleInstance()
{
    // The channel goes before the lock that vouches for it.
    delete m_server;
    m_server = nullptr;
    if (m_lifeLock >= 0)
        ::close(m_lifeLock);
}

QString SingleInstance::defaultServerName()
{
    const QString override = qEnvironmentVariable("OMBRELAY_INSTANCE_NAME");
    if (!override.isEmpty())
        return override;
    // The runtime folder is the user's own; elsewhere QLocalServer falls back to the shared temp folder,
    // so the user's name goes into the channel name too.
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QByteArray user = qgetenv("USER").isEmpty() ? qgetenv("LOGNAME") : qgetenv("USER");
    const QString tag = QString::fromLatin1(QCryptographicHash::hash(user, QCryptographicHash::Sha1).toHex().left(12));
    const QString name = QStringLiteral("ombrelay-instance-") + tag;
    if (runtime.isEmpty())
        return name;
    return runtime + u'/' + name;
}

void SingleInstance::setGate(QObject *context, std::function<bool()> taking)
{
    m_gated = true;
    m_gateContext = context;
    m_taking = std::move(taking);
}

bool SingleInstance::takes() const
{
    return !m_gated || (m_gateContext && m_taking && m_taking());
}

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

bool SingleInstance::sendMessage(const QString &message, int timeoutMs)
{
    if (isListening())
        return false;
    // Two starts at the same moment must not both become the running instance.
    QLockFile lock(besideChannel(m_serverName, QStringLiteral(".lock")));
    lock.setStaleLockTime(timeoutMs + 1000);
    lock.tryLock(timeoutMs); // best effort: without the lock the old race is all that is left
    if (deliver(message, timeoutMs))
        return true;
    if (takeLifeLock())
        listen();
    else
        qDebug() << "The running instance did not take the message (busy or closing); this start goes on without the "
                    "channel";
    return false;
}

bool SingleInstance::deliver(const QString &message, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    QByteArray payload = message.toUtf8();
    if (payload.size() > MaxMessageBytes)
        payload.truncate(0); // too long to be a path: hand over an empty text instead
    QByteArray frame(headerBytes, '\0');
    qToBigEndian<quint32>(quint32(payload.size()), frame.data());
    frame += payload;
    socket.write(frame);
    while (socket.bytesToWrite() > 0) {
        if (deadline.hasExpired() || !socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == ackByte;
}

// flock is released by the kernel however the process ends, so a killed instance never blocks the
// channel; close-on-exec keeps helper programs (FFmpeg) from holding it after the program ends. The file
// itself stays: removing it would let two starts lock two different files of the same name.
bool SingleInstance::takeLifeLock()
{
    if (m_lifeLock >= 0)
        return true;
    const QByteArray path = QFile::encodeName(besideChannel(m_serverName, QStringLiteral(".alive")));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        // Without the file there is no telling a live instance from a dead one: behave as before.
        qDebug() << "Single instance lock not available:" << qt_error_string(errno);
        return true;
    }
    int result;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
        return false;
    }
    m_lifeLock = fd;
    return true;
}

bool SingleInstance::listen()
{
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    }
    if (m_server->isListening())
        return true;
    if (m_server->listen(m_serverName))
        return true;
    // Nobody answered and nobody holds the life lock, so a socket left behind is from an instance that
    // was killed.
    QLocalServer::removeServer(m_serverName);
    const bool ok = m_server->listen(m_serverName);
    if (!ok)
        qDebug() << "Single instance channel not available:" << m_server->errorString();
    return ok;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        m_buffers.insert(socket, QByteArray());
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
        // A sender that never finishes its message is dropped.
        QTimer::singleShot(ReceiveDeadlineMs, socket, [socket] { socket->abort(); });
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
}

void SingleInstance::onReadyRead(QLocalSocket *socket)
{
    auto it = m_buffers.find(socket);
    if (it == m_buffers.end())
        return;
    QByteArray &buffer = *it;
    buffer += socket->read(headerBytes + MaxMessageBytes + 1 - buffer.size());
    if (buffer.size() < headerBytes)
        return;
    const quint32 length = qFromBigEndian<quint32>(buffer.constData());
    if (length > quint32(MaxMessageBytes) || buffer.size() > headerBytes + qsizetype(length)) {
        m_buffers.erase(it);
        socket->abort();
        return;
    }
    if (buffer.size() < headerBytes + qsizetype(length))
        return;
    const QString message = QString::fromUtf8(buffer.constData() + headerBytes, qsizetype(length));
    m_buffers.erase(it);
    if (!takes()) {
        // Told now, not left to wait for its deadline: the sender opens the file itself.
        socket->write(&refuseByte, 1);
        socket->flush();
        socket->disconnectFromServer();
        return;
    }
    // A sender that gave up waiting (this instance was busy past its deadline) has opened the file in a
    // window of its own and closed its end: the answer cannot be written then, and the file is not
    // opened a second time here.
    socket->write(&ackByte, 1);
    const bool answered = socket->flush() && socket->state() == QLocalSocket::ConnectedState;
    if (!answered) {
        socket->abort();
        return;
    }
    socket->disconnectFromServer();
    emit messageReceived(message);
}
