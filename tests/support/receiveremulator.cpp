#include "receiveremulator.h"

#include "emulatorsession.h"

#include <QHostAddress>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace {

QMutex sharedLock;

QHash<quint8, ReceiverEmulator::Command> &sharedCommands()
{
    static QHash<quint8, ReceiverEmulator::Command> table;
    return table;
}

void describe(EmulatorSession &session)
{
    ReceiverEmulator &emulator = session.emulator();
    if (!session.writeByte(0xAA))
        return;
    if (emulator.hostileLength()) {
        session.write(QByteArrayLiteral("DATA") + EmulatorSession::le32(0xFFFFFFF0u) + EmulatorSession::le32(0) +
                      QByteArray(64, 'x'));
        return;
    }
    session.sendChunks(emulator.description().toUtf8(), emulator.chunkSize());
}

// The receiver's own commands of every connection: description, keep-alive and goodbye.
void installBuiltins()
{
    QHash<quint8, ReceiverEmulator::Command> &table = sharedCommands();
    if (table.contains(0x26))
        return;
    table.insert(0x26, describe);
    table.insert(0x01, [](EmulatorSession &session) { session.writeByte(0x01); });
    table.insert(0xFF, [](EmulatorSession &session) { session.close(); });
}

// Hands each accepted connection's descriptor to its own thread.
class Listener : public QTcpServer
{
public:
    std::function<void(qintptr)> accepted;

protected:
    void incomingConnection(qintptr descriptor) override { accepted(descriptor); }
};

} // namespace

ReceiverEmulator::ReceiverEmulator(QObject *parent)
    : QObject(parent)
    , m_description(defaultDescription())
{}

ReceiverEmulator::~ReceiverEmulator()
{
    stop();
}

bool ReceiverEmulator::registerCommand(quint8 command, const Command &handler)
{
    QMutexLocker locker(&sharedLock);
    installBuiltins();
    sharedCommands().insert(command, handler);
    return true;
}

void ReceiverEmulator::setCommand(quint8 command, const Command &handler)
{
    QMutexLocker locker(&m_lock);
    m_commands.insert(command, handler);
}

ReceiverEmulator::Command ReceiverEmulator::commandFor(quint8 command) const
{
    {
        QMutexLocker locker(&m_lock);
        const auto own = m_commands.constFind(command);
        if (own != m_commands.constEnd())
            return own.value();
    }
    QMutexLocker locker(&sharedLock);
    installBuiltins();
    return sharedCommands().value(command);
}

QString ReceiverEmulator::defaultDescription(const QString &protocolVersion)
{
    return QStringLiteral("<deviceInfo name=\"Ombrelay Emulator\" shareName=\"EMULATOR\" softwareVer=\"1.0.0\""
                          " hardwareVer=\"EMU1\" protocolVer=\"%1\" type=\"STB\" complete=\"true\""
                          " enableMediaExplorerModule=\"true\"><satellites>"
                          "<satellite name=\"Astra\" position=\"192\"/><satellite name=\"Hotbird\" position=\"130\"/>"
                          "</satellites><lists><list type=\"tv\" maxcount=\"5\"/><list type=\"radio\" maxcount=\"5\"/>"
                          "<list type=\"net\" maxcount=\"3\"/></lists><frontends><frontend type=\"satellite\"/>"
                          "</frontends></deviceInfo>")
        .arg(protocolVersion);
}

void ReceiverEmulator::setDescription(const QString &xml)
{
    QMutexLocker locker(&m_lock);
    m_description = xml;
}

QString ReceiverEmulator::description() const
{
    QMutexLocker locker(&m_lock);
    return m_description;
}

void ReceiverEmulator::setProtocolVersion(const QString &version)
{
    QMutexLocker locker(&m_lock);
    static const QRegularExpression attribute(QStringLiteral("protocolVer=\"[^\"]*\""));
    m_description.replace(attribute, QStringLiteral("protocolVer=\"%1\"").arg(version));
}

QByteArray ReceiverEmulator::received() const
{
    QMutexLocker locker(&m_lock);
    return m_received;
}

void ReceiverEmulator::clearReceived()
{
    QMutexLocker locker(&m_lock);
    m_received.clear();
}

QList<quint8> ReceiverEmulator::commandsTaken() const
{
    QMutexLocker locker(&m_lock);
    return m_commandsTaken;
}

void ReceiverEmulator::clearCommandsTaken()
{
    QMutexLocker locker(&m_lock);
    m_commandsTaken.clear();
    m_unknown.store(0);
}

void ReceiverEmulator::setReceiveHook(const std::function<void(const QByteArray &)> &hook)
{
    QMutexLocker locker(&m_lock);
    m_receiveHook = hook;
}

void ReceiverEmulator::record(const QByteArray &bytes)
{
    std::function<void(const QByteArray &)> hook;
    QByteArray soFar;
    {
        QMutexLocker locker(&m_lock);
        m_received.append(bytes);
        hook = m_receiveHook;
        if (hook)
            soFar = m_received;
    }
    // outside the lock: the hook may ask the emulator anything
    if (hook)
        hook(soFar);
}

void ReceiverEmulator::muteOpenConnections(int trickleMs)
{
    m_trickleMs.store(trickleMs);
    m_mutedUpTo.store(m_connections.load());
}

void ReceiverEmulator::muteOpenConnectionsAfter(qint64 bytes, int trickleMs)
{
    m_trickleMs.store(trickleMs);
    m_muteAfter.store(bytes);
    m_muteAfterUpTo.store(m_connections.load());
    ++m_muteAfterStamp;
}

qint64 ReceiverEmulator::muteAfterBytes(int connection, int *stamp) const
{
    *stamp = m_muteAfterStamp.load();
    return connection <= m_muteAfterUpTo.load() ? m_muteAfter.load() : -1;
}

bool ReceiverEmulator::setAddress(const QHostAddress &address)
{
    // Tests never listen, or lure the program, outside loopback.
    if (address.protocol() != QAbstractSocket::IPv4Protocol || (address.toIPv4Address() >> 24) != 127)
        return false;
    m_address = address;
    return true;
}

bool ReceiverEmulator::start(quint16 port)
{
    stop();
    m_stopping.store(false);
    QSemaphore ready;
    m_listener = QThread::create([this, port, &ready] {
        Listener server;
        server.accepted = [this](qintptr descriptor) {
            QThread *thread = QThread::create([this, descriptor] { serve(descriptor); });
            {
                QMutexLocker locker(&m_lock);
                m_threads.append(thread);
            }
            thread->start();
        };
        const bool listening = server.listen(m_address, port);
        m_port.store(listening ? server.serverPort() : 0);
        ready.release();
        if (!listening)
            return;
        while (!m_stopping.load())
            server.waitForNewConnection(50);
    });
    m_listener->start();
    ready.acquire();
    if (m_port.load() == 0) {
        m_listener->wait();
        delete m_listener;
        m_listener = nullptr;
        return false;
    }
    return true;
}

void ReceiverEmulator::stop()
{
    m_stopping.store(true);
    if (m_listener) {
        m_listener->wait();
        delete m_listener;
        m_listener = nullptr;
    }
    QList<QThread *> threads;
    {
        QMutexLocker locker(&m_lock);
        threads.swap(m_threads);
    }
    for (QThread *thread : std::as_const(threads)) {
        thread->wait();
        delete thread;
    }
    m_port.store(0);
}

void ReceiverEmulator::serve(qintptr descriptor)
{
    QTcpSocket socket;
    if (!socket.setSocketDescriptor(descriptor))
        return;
    const int connection = ++m_connections;
    if (m_refuse.load()) {
        socket.close();
        return;
    }
    ++m_open;
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    EmulatorSession session(*this, socket, connection);
    while (!m_stopping.load() && session.isOpen()) {
        quint8 command = 0;
        if (!session.readByte(&command, 50))
            continue;
        if (m_silent.load() || isMuted(connection))
            continue;
        {
            QMutexLocker locker(&m_lock);
            m_commandsTaken.append(command);
        }
        const Command handler = commandFor(command);
        if (handler) {
            handler(session);
        } else {
            ++m_unknown;
            session.writeByte(0xFE);
        }
    }
    session.close();
    --m_open;
}
