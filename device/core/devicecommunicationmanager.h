#pragma once

#include <QObject>
#include <QString>

class DeviceTask;

// The channel a module talks to; the network and offline managers derive from it.
class DeviceCommunicationManager : public QObject
{
    Q_OBJECT
public:
    explicit DeviceCommunicationManager(QObject *parent = nullptr);

public slots:
    virtual void setOpen();
    virtual bool isOpen();
    virtual void close();
    virtual void enqueue(DeviceTask *task);
    virtual void cancel(DeviceTask *task);

signals:
    void stateChanged(QString state);

private:
    bool m_open = false;
};
