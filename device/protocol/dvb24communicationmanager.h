#pragma once

#include "device/core/devicecommunicationmanager.h"
#include "device/core/zbdeviceinfo.h"

class DVB24CommunicationProtocolMill;

// The network manager of one receiver: tasks reach its protocol worker only through it.
class DVB24CommunicationManager : public DeviceCommunicationManager
{
    Q_OBJECT
public:
    explicit DVB24CommunicationManager(QObject *parent = nullptr);
    ~DVB24CommunicationManager() override;

    DVB24CommunicationProtocolMill *mill() const { return m_mill; }

    void close() override;
    void enqueue(DeviceTask *task) override;
    void cancel(DeviceTask *task) override;
    virtual void connectToHost(const QString &host);
    void requestInterrupt();
    void requestClose();
    void startMill();
    void setHost(const QString &host);
    // The receivers listen on 2376; tests point the manager at an emulator's port.
    void setPort(quint16 port);

signals:
    void InfoChanged(ZBDeviceInfo info);

private:
    void startRun(const QString &host);

    DVB24CommunicationProtocolMill *m_mill;
    // A connect asked for while the last run, told to close, was still ending: made once it has ended.
    bool m_connectAfterClose = false;
    QString m_hostAfterClose;
};
