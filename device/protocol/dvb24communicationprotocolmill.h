#pragma once

#include "device/core/mill.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24socket.h"

#include <QAbstractSocket>
#include <QString>

#include <functional>

class DeviceCall;
class QTcpSocket;

// The worker of one receiver connection over TCP: connects inside its thread, reads the receiver's
// description, keeps the link alive while idle, says goodbye, and runs the methods of its tasks.
//
// Methods are looked up by name in one table; further methods are added with registerMethod() at
// start-up. A method runs in the worker thread, talks through primitives(), writes the task's result
// with storeResult() and reports with the worker's signals (Start, Status, Progress, Progress64,
// Cancel, Canceled, Error, Complete); what it leaves open the loop closes (see Mill).
class DVB24CommunicationProtocolMill : public Mill
{
    Q_OBJECT
public:
    using Method = std::function<void(DVB24CommunicationProtocolMill &mill, DeviceTask *task, const DeviceCall &call)>;
    static void registerMethod(const QString &name, const Method &method);
    static bool hasMethod(const QString &name);

    static constexpr quint16 defaultPort = 2376;

    explicit DVB24CommunicationProtocolMill(QObject *owner);
    ~DVB24CommunicationProtocolMill() override;

    void setHost(const QString &host);
    QString host() const;
    void setPort(quint16 port) { m_port.store(port); }
    quint16 port() const { return m_port.load(); }

    Dvb24Socket &primitives() { return m_primitives; }

    static QByteArray encodeUInt16(quint16 value);
    static QByteArray encodeUInt32(quint32 value);
    static QByteArray encodeUInt64(quint64 value);

    // Worker thread: the status byte answering a command (0xF9 answered with 0x01 while the cancel
    // flag allows, for a bounded time); throws on anything but OK.
    void readStatus();
    // The same rule for a reply already read whole by a request; the buffer keeps what follows.
    bool checkReply(ProtocolBuffer &reply);
    ProtocolBuffer readExactly(qint64 n);
    // The payload of a "DATA"/"END" chunk stream, acknowledging each chunk with 0x55. Chunks above
    // maxChunk, a total above maxTotal or a stream past deadlineMs are a failed primitive.
    QByteArray readChunkStream(qint64 maxChunk, qint64 maxTotal, int deadlineMs,
                               const std::function<void(quint32 percent)> &onChunk = {});
    ZBDeviceInfo getDeviceInfo(const QString &host);
    bool isDeviceBusy();

    // How long a receiver may keep answering "pending" before the command fails with that code.
    void setPendingLimitMs(int ms) { m_pendingLimitMs.store(ms); }
    int pendingLimitMs() const { return m_pendingLimitMs.load(); }

    // Caps of the description exchange: a description is a few kilobytes.
    static constexpr qint64 descriptionChunkLimit = 256 * 1024;
    static constexpr qint64 descriptionTotalLimit = 1024 * 1024;
    static constexpr int descriptionDeadlineMs = 15000;

signals:
    void InfoChanged(ZBDeviceInfo info);
    void stateChanged(QString state);

public slots:
    void idle() override;
    bool open() override;
    void close() override;
    void execute(DeviceTask *task) override;

protected:
    bool connectionGone() const override;

private slots:
    void onConnectionStateChange(QAbstractSocket::SocketState state);
    void onSocketError(QAbstractSocket::SocketError) {}
    void onDisconnect() {}
    void onSomeKindOfError() {}
    void restartAfterLostLink();

private:
    mutable QMutex m_hostLock;
    QString m_host;
    std::atomic<quint16> m_port{defaultPort};
    QTcpSocket *m_socket = nullptr;
    Dvb24Socket m_primitives;
    std::atomic_int m_pendingLimitMs{60000};
    QList<QMetaObject::Connection> m_socketConnections;

    // False when the receiver did not describe itself (no hardware address, no answer, refused).
    bool readDescription(const QString &host, ZBDeviceInfo &info);
};
