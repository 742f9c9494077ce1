#include "device/protocol/dvb24communicationprotocolmill.h"

#include "base/strictipv4.h"
#include "device/core/devicecall.h"
#include "device/core/devicetask.h"
#include "device/protocol/descriptionstream.h"
#include "device/protocol/dvb24communicationexception.h"
#include "device/protocol/macaddress.h"
#include "device/transfers/transferlink.h"
#include "device/transfers/transfermethods.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QMutexLocker>
#include <QTcpSocket>
#include <cmath>

namespace {

QMutex methodsLock;

QHash<QString, DVB24CommunicationProtocolMill::Method> &methods()
{
    static QHash<QString, DVB24CommunicationProtocolMill::Method> table;
    return table;
}

// "getDeviceInfo": the description over the open connection. A receiver that does not describe
// itself leaves the result empty and still completes; a cancel ends the task cancelled.
void getDeviceInfoMethod(DVB24CommunicationProtocolMill &mill, DeviceTask *, const DeviceCall &call)
{
    ZBDeviceInfo info;
    try {
        info = mill.getDeviceInfo(call.parameter(QStringLiteral("ip")));
    } catch (...) {
        // Only a cancel ends the task otherwise.
        if (mill.isInterruptRequested())
            throw;
    }
    // A cancel during a read that timed out without throwing.
    mill.interrupt(true);
    if (!info.isNameEmpty())
        mill.storeResult(info.toXmlText());
    emit mill.Complete(true);
}

// The after-cancel wait of one description exchange that a task asked for, from the first sight of its cancel:
// the stream is read whole, as the receiver sends it, but a receiver that does not finish it by then is given up.
class AfterCancel
{
public:
    explicit AfterCancel(const Mill &mill)
        : m_mill(mill)
        , m_counts(mill.currentTask() != nullptr)
    {}
    QDeadlineTimer finishBy()
    {
        if (m_counts && !m_seen.isValid() && m_mill.isInterruptRequested())
            m_seen.start();
        if (!m_seen.isValid())
            return QDeadlineTimer(QDeadlineTimer::Forever);
        return QDeadlineTimer(qMax<qint64>(0, TransferLink::AfterCancelMs - m_seen.elapsed()));
    }
    bool seen() const { return m_seen.isValid(); }

private:
    const Mill &m_mill;
    const bool m_counts;
    QElapsedTimer m_seen;
};

// The description's "DATA"/"END" stream over the worker's connection (see readChunkStream).
QByteArray readStream(DVB24CommunicationProtocolMill &mill, AfterCancel &afterCancel, qint64 maxChunk, qint64 maxTotal,
                      int deadlineMs, const std::function<void(quint32)> &onChunk)
{
    Dvb24Socket &primitives = mill.primitives();
    bool readFailed = false;
    DescriptionStreamIo io;
    io.read = [&](qint64 n, bool *ok) {
        const QByteArray bytes = primitives.readBytes(
            n, [&] { return afterCancel.finishBy(); }, ok);
        readFailed = readFailed || !*ok;
        return bytes;
    };
    io.ack = [&primitives] {
        bool ok = false;
        primitives.writeByte(0x55, true, &ok);
        return ok;
    };
    io.goOn = [&mill] {
        // A disconnect does not wait for the rest of the stream. A cancel does, within the after-cancel wait: the
        // receiver sends the stream whole, and what is left of it would be read as the answer to the next request.
        mill.millExceptionIfNotTrue(!mill.isStopRequested());
        return true;
    };
    io.onChunk = onChunk;
    DescriptionStreamLimits limits;
    limits.maxChunk = maxChunk;
    limits.maxTotal = maxTotal;
    limits.deadlineMs = deadlineMs;
    QByteArray payload;
    if (!readDescriptionStream(io, limits, &payload)) {
        // Broken off or past a bound: the rest cannot be read in step, so the connection is given up and the
        // next request goes over a new one. A connection that ends anyway still gets its goodbye.
        if (!mill.isStopRequested())
            primitives.close();
        // The user hears why the connection goes when the receiver let the after-cancel wait pass.
        if (readFailed && afterCancel.seen() && !mill.isStopRequested())
            emit mill.Error(DVB24CommunicationProtocolMill::tr("The device did not answer the cancel."));
        mill.millExceptionIfNotTrue(false);
    }
    return payload;
}

DVB24CommunicationProtocolMill::Method lookUp(const QString &name)
{
    QMutexLocker locker(&methodsLock);
    if (methods().isEmpty()) {
        methods().insert(QStringLiteral("getDeviceInfo"), getDeviceInfoMethod);
        methods().insert(transferMethods());
    }
    return methods().value(name);
}

} // namespace

void DVB24CommunicationProtocolMill::registerMethod(const QString &name, const Method &method)
{
    lookUp(QString());
    QMutexLocker locker(&methodsLock);
    methods().insert(name, method);
}

bool DVB24CommunicationProtocolMill::hasMethod(const QString &name)
{
    return bool(lookUp(name));
}

DVB24CommunicationProtocolMill::DVB24CommunicationProtocolMill(QObject *owner)
    : Mill(owner)
{
    qRegisterMetaType<QAbstractSocket::SocketError>("QAbstractSocket::SocketError");
    qRegisterMetaType<QAbstractSocket::SocketState>("QAbstractSocket::SocketState");
    qRegisterMetaType<ZBDeviceInfo>("ZBDeviceInfo");
    connect(this, &QThread::finished, this, &DVB24CommunicationProtocolMill::restartAfterLostLink);
}

DVB24CommunicationProtocolMill::~DVB24CommunicationProtocolMill()
{
    // set until the run has ended: one just beginning clears them
    do {
        setStopFlag(true);
        setInterruptFlag(true);
    } while (!wait(100));
}

void DVB24CommunicationProtocolMill::setHost(const QString &host)
{
    QMutexLocker locker(&m_hostLock);
    m_host = host;
}

QString DVB24CommunicationProtocolMill::host() const
{
    QMutexLocker locker(&m_hostLock);
    return m_host;
}

QByteArray DVB24CommunicationProtocolMill::encodeUInt16(quint16 value)
{
    return QByteArray::fromHex(QByteArray::number(value, 16).rightJustified(4, '0'));
}

QByteArray DVB24CommunicationProtocolMill::encodeUInt32(quint32 value)
{
    return QByteArray::fromHex(QByteArray::number(value, 16).rightJustified(8, '0'));
}

QByteArray DVB24CommunicationProtocolMill::encodeUInt64(quint64 value)
{
    return QByteArray::fromHex(QByteArray::number(value, 16).rightJustified(16, '0'));
}

void DVB24CommunicationProtocolMill::readStatus()
{
    QDeadlineTimer deadline(m_pendingLimitMs.load());
    while (true) {
        bool ok = false;
        const char status = m_primitives.readByte(&ok);
        if (!ok)
            throw DVB24CommunicationException(DVB24ExceptionTypes::GeneralError);
        if (status == 0x01)
            return;
        if (quint8(status) != 0xF9)
            throw DVB24CommunicationException(status);
        // Pending: the user may still cancel, and the receiver may not keep us forever.
        wantCancelException(isInterruptRequested());
        if (deadline.hasExpired())
            throw DVB24CommunicationException(DVB24ExceptionTypes::ActionPending);
        m_primitives.writeByte(0x01, true, &ok);
        if (!ok)
            throw DVB24CommunicationException(DVB24ExceptionTypes::GeneralError);
    }
}

bool DVB24CommunicationProtocolMill::checkReply(ProtocolBuffer &reply)
{
    QDeadlineTimer deadline(m_pendingLimitMs.load());
    while (true) {
        if (reply.isEmpty())
            throw DVB24CommunicationException(0);
        const quint8 status = reply.readUInt8();
        if (status == 0x01)
            return true;
        if (status != 0xF9)
            throw DVB24CommunicationException(char(status));
        wantCancelException(isInterruptRequested());
        if (deadline.hasExpired())
            throw DVB24CommunicationException(DVB24ExceptionTypes::ActionPending);
        reply = m_primitives.requestByte(0x01);
    }
}

ProtocolBuffer DVB24CommunicationProtocolMill::readExactly(qint64 n)
{
    ProtocolBuffer gathered;
    QTcpSocket *socket = m_primitives.socket();
    if (!socket)
        return gathered;
    while (gathered.size() < n) {
        if (socket->bytesAvailable() <= 0 && !socket->waitForReadyRead(1000))
            break;
        gathered.append(socket->read(n - gathered.size()));
    }
    return gathered;
}

QByteArray DVB24CommunicationProtocolMill::readChunkStream(qint64 maxChunk, qint64 maxTotal, int deadlineMs,
                                                           const std::function<void(quint32)> &onChunk)
{
    AfterCancel afterCancel(*this);
    return readStream(*this, afterCancel, maxChunk, maxTotal, deadlineMs, onChunk);
}

ZBDeviceInfo DVB24CommunicationProtocolMill::getDeviceInfo(const QString &host)
{
    ZBDeviceInfo info;
    readDescription(host, info);
    return info;
}

bool DVB24CommunicationProtocolMill::readDescription(const QString &host, ZBDeviceInfo &info)
{
    const QByteArray mac = macAddressFor(StrictIPv4::toHostAddress(host));
    if (mac.size() != 6)
        return false;
    bool ok = false;
    // Bytes left over from an earlier exchange must not be read as this answer.
    m_primitives.dropBuffered();
    m_primitives.writeByte(0x26, true, &ok);
    millExceptionIfNotTrue(ok);
    // Waited for whatever the user does meanwhile (after a cancel, within the after-cancel wait, which goes on
    // for the stream); a receiver that lets the wait pass is given up, as its late answer would be read as the
    // answer to the next request. A connection that ends anyway still gets its goodbye.
    AfterCancel afterCancel(*this);
    const QByteArray go = m_primitives.readBytes(
        1, [&] { return afterCancel.finishBy(); }, &ok);
    if (!ok && !isStopRequested()) {
        m_primitives.close();
        if (afterCancel.seen())
            emit Error(tr("The device did not answer the cancel."));
    }
    if (!ok || quint8(go.at(0)) != 0xAA)
        return false;
    QByteArray payload =
        readStream(*this, afterCancel, descriptionChunkLimit, descriptionTotalLimit, descriptionDeadlineMs, {});
    const qsizetype nul = payload.indexOf('\0');
    if (nul >= 0)
        payload.truncate(nul);
    info.setMac(macToString(mac));
    info.fromXml(QString::fromUtf8(payload));
    // The address reached is the receiver's, whatever its description claims; a receiver reached
    // over the network is not one managed over USB.
    info.setIp(host);
    info.setUsbManaged(false);
    return true;
}

bool DVB24CommunicationProtocolMill::isDeviceBusy()
{
    if (!m_socket || m_socket->peerAddress().isNull())
        return true;
    return !getDeviceInfo(m_socket->peerAddress().toString()).isComplete();
}

bool DVB24CommunicationProtocolMill::open()
{
    if (!m_socket) {
        m_socket = new QTcpSocket;
        m_primitives.setSocket(m_socket);
    }
    m_socketConnections = {connect(m_socket, &QAbstractSocket::stateChanged, this,
                                   &DVB24CommunicationProtocolMill::onConnectionStateChange, Qt::UniqueConnection),
                           connect(m_socket, &QAbstractSocket::disconnected, this,
                                   &DVB24CommunicationProtocolMill::onDisconnect, Qt::UniqueConnection),
                           connect(m_socket, &QAbstractSocket::errorOccurred, this,
                                   &DVB24CommunicationProtocolMill::onSocketError, Qt::UniqueConnection)};
    setStatus(QStringLiteral("connecting"));
    if (isStopRequested())
        return false;
    const QString hostText = host();
    // Only a strict dotted address: no name lookups, no octal surprises.
    const QHostAddress address = StrictIPv4::toHostAddress(hostText);
    if (address.isNull())
        return false;
    int attempts = 0;
    while (true) {
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            m_socket->connectToHost(address, port());
        m_socket->waitForConnected(1000);
        if (m_socket->state() == QAbstractSocket::ConnectedState || attempts == 5)
            break;
        ++attempts;
        if (isStopRequested())
            return false;
    }
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    ZBDeviceInfo info;
    // A receiver that does not describe itself is a failed connection, not an old receiver.
    if (!readDescription(StrictIPv4::normalized(hostText), info))
        return false;
    emit InfoChanged(ZBDeviceInfo(info));
    // A receiver the program cannot serve is left at once, without showing it as connected first.
    if (info.protocolVersion() < 1.4f)
        return false;
    emit stateChanged(QStringLiteral("connected"));
    return true;
}

void DVB24CommunicationProtocolMill::close()
{
    if (!m_socket)
        return;
    // A connection given up or dropped gets no goodbye: nothing more goes over it.
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_primitives.writeByte(char(0xFF), true);
    m_socket->close();
    for (const QMetaObject::Connection &connection : std::as_const(m_socketConnections))
        disconnect(connection);
    m_socketConnections.clear();
    delete m_socket;
    m_socket = nullptr;
    m_primitives.setSocket(nullptr);
}

void DVB24CommunicationProtocolMill::idle()
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    // A stale byte must never be taken for the answer to this probe.
    m_primitives.dropBuffered();
    bool ok = false;
    m_primitives.writeByte(0x01, true, &ok);
    const bool answered = ok && m_primitives.waitForReadyRead() && m_primitives.readByte(&ok) == 0x01 && ok;
    // No answer over a connection still open: the receiver is gone; the loop ends and says goodbye. A connection the
    // receiver closed meanwhile is a lost link, which the loop replaces (connectionGone).
    if (!answered && !connectionGone())
        setStopFlag(true);
}

bool DVB24CommunicationProtocolMill::connectionGone() const
{
    // Given up (a request that let an answer's wait pass closes it) or closed by the receiver.
    return m_socket && m_socket->state() != QAbstractSocket::ConnectedState;
}

void DVB24CommunicationProtocolMill::execute(DeviceTask *task)
{
    // A cancel or disconnect that came after the loop cleared the flag: the loop reports it cancelled.
    interrupt(true);
    const DeviceCall call = DeviceCall::fromText(currentRequest());
    const QString name = call.methodName();
    const Method method = lookUp(name);
    if (!method) {
        emit Error(tr("The device does not know the request \"%1\".").arg(name));
        emit Complete(false);
        return;
    }
    method(*this, task, call);
}

void DVB24CommunicationProtocolMill::onConnectionStateChange(QAbstractSocket::SocketState state)
{
    if (state == QAbstractSocket::UnconnectedState) {
        // A link that dropped or was given up under a running worker is seen by the worker itself: it ends the run
        // and connects anew (restartAfterLostLink), and the tasks handed in meanwhile wait for that connection.
        if (isClosing())
            setStopFlag(true);
        emit stateChanged(QStringLiteral("disconnected"));
    } else if (state == QAbstractSocket::ConnectingState) {
        emit stateChanged(QStringLiteral("connecting"));
    }
}

void DVB24CommunicationProtocolMill::restartAfterLostLink()
{
    if (!isReplacingConnection())
        return;
    // Closed meanwhile (a disconnect, a removal): no new connection comes, and the waiting tasks hear so.
    if (isClosing()) {
        endReplacement();
        return;
    }
    start();
}
