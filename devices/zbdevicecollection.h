#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

class OmbrelayModule;
class QCloseEvent;
class ZBDevice;
class ZBDeviceInfo;

// The one list of known receivers. Gives each receiver an id (the smallest free number from 1),
// relays the network receivers' signals, connects them, removes receivers (a connected one only
// after it has disconnected) and keeps itself in the setting "OmbrelayDeviceList" as the XML
// document "ZBDeviceCollection". Receivers are created with the collection's parent as theirs.
class ZBDeviceCollection : public QObject
{
    Q_OBJECT
public:
    explicit ZBDeviceCollection(QObject *parent = nullptr);
    ~ZBDeviceCollection() override;

    int count() const { return int(m_devices.size()); }
    ZBDevice *at(int position) const;
    int indexOf(quint32 id) const;
    ZBDevice *deviceById(quint32 id) const;
    bool containsAddress(const QHostAddress &address) const;
    quint32 deviceIdOfModule(OmbrelayModule *module) const;
    QList<QHostAddress> deviceAddresses() const;
    QList<ZBDeviceInfo> devicesForFileSuffix(const QString &suffix) const;
    quint32 nextFreeId() const;
    // Receivers taken out of the list that still wait for their "disconnected".
    int pendingRemovalCount() const;

    void removeDevice(quint32 id);
    void connectAll();
    void closeAllModules(QCloseEvent *event);
    void closeDeviceModules(quint32 id, QCloseEvent *event);
    void retranslateAll();
    // Writes the list to the setting; false, and said, when the store could not be written (unless the
    // caller says it, as the window does for every setting at once when it closes). A stored list that did
    // not read whole is left as it is while the receivers are as they were loaded.
    enum class WriteFailure { Said, LeftToCaller };
    bool save(WriteFailure failure = WriteFailure::Said);
    // Lists what the setting holds; true when it read whole. A list that did not read whole keeps every
    // receiver that reads, is copied beside the setting and is said in words once the event loop runs.
    bool load();

    // The port its network receivers are reached on from now on; 0 (the default) leaves the
    // receivers' own port. Lets tests reach only ports they own.
    void setReceiverPort(quint16 port) { m_receiverPort = port; }
    // The same for every collection made from now on, such as the one a window makes and loads at once.
    static void setDefaultReceiverPort(quint16 port) { s_defaultReceiverPort = port; }

    // The saved text of a collection, as save() writes it.
    QString toXmlText() const;

public slots:
    void append(ZBDevice *device);
    void append(const ZBDeviceInfo &info);
    void append(const QList<ZBDeviceInfo> &infos);
    void onDeviceStateChanged(const ZBDevice *device, const QString &state);

signals:
    void DeviceAdded(const ZBDeviceInfo *info);
    void DeviceShareNameChanged(int id, const QString &shareName);
    void DeviceStateChanged(const ZBDevice *device, const QString &state);
    void DeviceProtolVersionchanged(int id, float version);
    void DeviceConnectionLost(const ZBDevice *device);
    void DeviceConnectionFailed(const ZBDevice *device);
    void NoDeviceAdded();

private:
    bool appendDevice(ZBDevice *device);
    // The stored text's receivers listed; returns what could not be read, in words.
    QStringList readRecords(const QString &text);
    void takeRecord(int entry, int line, const QString &recordText, QStringList *unread);
    void sayLater(const QString &text);
    void cutStateLinks(ZBDevice *device);
    static quint32 ipv4(const QHostAddress &address);

    QList<ZBDevice *> m_devices;
    QList<QPointer<ZBDevice>> m_removing;
    bool m_batch = true;
    bool m_loading = false;
    bool m_inBatch = false;
    bool m_storedUnread = false; // the stored list did not read whole and is not yet rewritten
    QString m_readText;          // the list as it read, to tell whether the receivers changed since
    QString m_keptCopy;          // where the stored text was copied, empty when it could not be
    quint16 m_receiverPort = s_defaultReceiverPort;
    static inline quint16 s_defaultReceiverPort = 0;
};
