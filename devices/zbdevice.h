#pragma once

#include "device/core/zbdeviceinfo.h"
#include "modules/ombrelaymodule.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class DVB24CommunicationManager;
class QCloseEvent;

// One known receiver while the program runs: its description, its connection state, the network
// manager that carries its connection and the module pages attached to it. Main thread only.
class ZBDevice : public QObject
{
    Q_OBJECT
public:
    explicit ZBDevice(const ZBDeviceInfo &info, QObject *parent = nullptr);
    ~ZBDevice() override;

    const ZBDeviceInfo &info() const { return m_info; }
    quint32 id() const { return m_info.id(); }
    void setId(quint32 id) { m_info.setId(id); }
    QString name() const { return m_info.name(); }
    QString label() const { return m_info.label(); }
    QString ipAddressString() const;
    void setIpAddress(const QHostAddress &address);
    void setIpAddress(const QString &text);
    void setShareName(const QString &name) { m_info.setShareName(name); }
    void setGivenName(const QString &name) { m_info.setGivenName(name); }
    void updateInfoFrom(const ZBDeviceInfo &other);

    QString state() const { return m_state; }
    bool isConnected() const { return m_state == QLatin1String("connected"); }
    bool isConnecting() const { return m_state == QLatin1String("connecting"); }
    bool isDisconnecting() const { return m_state == QLatin1String("disconnecting"); }
    bool isDisconnected() const { return m_state == QLatin1String("disconnected"); }

    DVB24CommunicationManager *communicationManager() const { return m_manager; }

    void connectToDevice();
    void disconnectFromDevice();
    // Whether the receiver's worker holds work of a page that has not ended yet.
    bool hasPendingWork() const;

    bool hasModule(OmbrelayModule *module) const;
    void attachModule(OmbrelayModule *module);
    OmbrelayModule *module(OmbrelayModule::ModuleTypes type);
    // The attached modules that still exist, in order of attachment.
    QList<OmbrelayModule *> modules() const;
    // Passes the close event to each module in turn, stopping at the first that refuses it; the
    // result is the event's acceptance.
    bool closeModules(QCloseEvent *event);
    bool closeModules();
    // Deletes the attached pages at once: the receiver is being removed, and nothing of it may be shown
    // or told anything any more while its connection winds down.
    void releaseModules();
    virtual void notifyModules();

signals:
    void stateChanged(const ZBDevice *device, QString state);
    void shareNameChanged(int id, QString shareName);
    void protocolVersionChanged(int id, float version);
    // The link to a connected receiver went without the user asking; once per loss.
    void connectionLost(const ZBDevice *device);
    // A run of the worker ended without ever reaching the receiver (nothing listening, no answer, no
    // description), and nobody had asked it to stop.
    void connectionFailed(const ZBDevice *device);

public slots:
    void onConnectionChanged(QString state);
    void onDeviceInfoChanged(ZBDeviceInfo info);

private:
    QString m_state;
    DVB24CommunicationManager *m_manager;
    ZBDeviceInfo m_info;
    QList<QPointer<OmbrelayModule>> m_modules;
    QList<QMetaObject::Connection> m_managerConnections;
    // What the worker's current run has reached: the receiver's description, a connection.
    bool m_runDescribed = false;
    bool m_runConnected = false;
};
