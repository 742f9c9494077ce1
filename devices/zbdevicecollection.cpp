#include "devices/zbdevicecollection.h"

#include "device/protocol/dvb24communicationmanager.h"

#include "base/settings.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/zbdevice.h"

#include <QCloseEvent>
#include <QDomDocument>
#include <QSet>
#include <QTextStream>

ZBDeviceCollection::ZBDeviceCollection(QObject *parent)
    : QObject(parent)
{}

// Receivers still listed belong to the collection's parent and go with it.
ZBDeviceCollection::~ZBDeviceCollection() = default;

ZBDevice *ZBDeviceCollection::at(int position) const
{
    return position >= 0 && position < m_devices.size() ? m_devices.at(position) : nullptr;
}

int ZBDeviceCollection::indexOf(quint32 id) const
{
    for (int i = 0; i < m_devices.size(); ++i) {
        if (m_devices.at(i)->id() == id)
            return i;
    }
    return -1;
}

ZBDevice *ZBDeviceCollection::deviceById(quint32 id) const
{
    return at(indexOf(id));
}

quint32 ZBDeviceCollection::ipv4(const QHostAddress &address)
{
    bool ok = false;
    const quint32 value = address.toIPv4Address(&ok);
    return ok ? value : 0;
}

bool ZBDeviceCollection::containsAddress(const QHostAddress &address) const
{
    const quint32 wanted = ipv4(address);
    for (const ZBDevice *device : m_devices) {
        if (ipv4(device->info().ip()) == wanted)
            return true;
    }
    return false;
}

quint32 ZBDeviceCollection::deviceIdOfModule(OmbrelayModule *module) const
{
    for (ZBDevice *device : m_devices) {
        if (device->hasModule(module))
            return device->id();
    }
    return 0;
}

QList<QHostAddress> ZBDeviceCollection::deviceAddresses() const
{
    // Receivers waiting for their end are no longer listed, so they are left out by construction.
    QList<QHostAddress> addresses;
    for (const ZBDevice *device : m_devices)
        addresses.append(device->info().ip());
    return addresses;
}

QList<ZBDeviceInfo> ZBDeviceCollection::devicesForFileSuffix(const QString &suffix) const
{
    const QString kind = suffix.toLower();
    QList<ZBDeviceInfo> result;
    for (const ZBDevice *device : m_devices) {
        const ZBDeviceInfo &info = device->info();
        bool fits = false;
        if (kind == QLatin1String("tvqvxc") || kind == QLatin1String("tvqvx"))
            fits = info.enableTvModule();
        else if (kind == QLatin1String("rdqvxc") || kind == QLatin1String("rdqvx"))
            fits = info.enableRadioModule();
        else if (kind == QLatin1String("lkqvxc") || kind == QLatin1String("lkqvx"))
            fits = info.enableLinksModule();
        if (fits)
            result.append(info);
    }
    return result;
}

quint32 ZBDeviceCollection::nextFreeId() const
{
    QSet<quint32> taken;
    for (const ZBDevice *device : m_devices)
        taken.insert(device->id());
    // At most count() numbers are taken, so the search ends within count() + 1 steps.
    for (quint32 n = 1; n < 0xFFFFFFFFu; ++n) {
        if (!taken.contains(n))
            return n;
    }
    return 0;
}

int ZBDeviceCollection::pendingRemovalCount() const
{
    int pending = 0;
    for (const QPointer<ZBDevice> &device : m_removing) {
        if (device)
            ++pending;
    }
    return pending;
}

bool ZBDeviceCollection::appendDevice(ZBDevice *device)
{
    if (!device)
        return false;
    const bool network = !device->info().isUsbManaged();
    if (network && containsAddress(device->info().ip()))
        return false;
    const quint32 id = nextFreeId();
    if (id == 0)
        return false;
    device->setId(id);
    m_devices.append(device);
    if (network) {
        connect(device, &ZBDevice::protocolVersionChanged, this, &ZBDeviceCollection::DeviceProtolVersionchanged);
        connect(device, &ZBDevice::shareNameChanged, this, &ZBDeviceCollection::DeviceShareNameChanged);
        connect(device, &ZBDevice::stateChanged, this, &ZBDeviceCollection::DeviceStateChanged);
        connect(device, &ZBDevice::stateChanged, this, &ZBDeviceCollection::onDeviceStateChanged);
        connect(device, &ZBDevice::connectionLost, this, &ZBDeviceCollection::DeviceConnectionLost);
        connect(device, &ZBDevice::connectionFailed, this, &ZBDeviceCollection::DeviceConnectionFailed);
    }
    emit DeviceAdded(&device->info());
    if (network && m_receiverPort != 0)
        device->communicationManager()->setPort(m_receiverPort);
    if (network)
        device->connectToDevice();
    // Loading never rewrites the stored list: a record it cannot take must not vanish from there.
    if (!m_loading)
        save();
    m_batch = false;
    return true;
}

void ZBDeviceCollection::append(ZBDevice *device)
{
    appendDevice(device);
}

void ZBDeviceCollection::append(const ZBDeviceInfo &info)
{
    auto *device = new ZBDevice(info, parent());
    if (!appendDevice(device))
        delete device; // never listed, never connected
}

void ZBDeviceCollection::append(const QList<ZBDeviceInfo> &infos)
{
    m_batch = true;
    for (const ZBDeviceInfo &info : infos)
        append(info);
    if (m_batch && !m_devices.isEmpty())
        emit NoDeviceAdded();
    m_batch = false;
}

void ZBDeviceCollection::cutStateLinks(ZBDevice *device)
{
    disconnect(device, &ZBDevice::stateChanged, this, &ZBDeviceCollection::DeviceStateChanged);
    disconnect(device, &ZBDevice::stateChanged, this, &ZBDeviceCollection::onDeviceStateChanged);
    disconnect(device, &ZBDevice::connectionLost, this, &ZBDeviceCollection::DeviceConnectionLost);
    disconnect(device, &ZBDevice::connectionFailed, this, &ZBDeviceCollection::DeviceConnectionFailed);
}

void ZBDeviceCollection::removeDevice(quint32 id)
{
    const int position = indexOf(id);
    if (position < 0)
        return;
    ZBDevice *device = m_devices.takeAt(position);
    if (!device->isConnected() && !device->isConnecting()) {
        cutStateLinks(device);
        delete device;
        return;
    }
    // Its pages go now (their work was stopped when they agreed to close): no outcome of the winding down
    // reaches a page that is no longer shown. The loss of a link the user let go is nothing to report.
    disconnect(device, &ZBDevice::connectionLost, this, &ZBDeviceCollection::DeviceConnectionLost);
    disconnect(device, &ZBDevice::connectionFailed, this, &ZBDeviceCollection::DeviceConnectionFailed);
    device->releaseModules();
    // The receiver object itself waits, not its id: a new receiver may get the same id meanwhile.
    m_removing.append(QPointer<ZBDevice>(device));
    device->disconnectFromDevice();
}

void ZBDeviceCollection::onDeviceStateChanged(const ZBDevice *device, const QString &state)
{
    if (state != QLatin1String("disconnected"))
        return;
    for (qsizetype i = 0; i < m_removing.size(); ++i) {
        ZBDevice *waiting = m_removing.at(i).data();
        if (waiting && waiting == device) {
            m_removing.removeAt(i);
            cutStateLinks(waiting);
            // Still inside the receiver's own signal: delete it once that has returned.
            waiting->deleteLater();
            return;
        }
    }
    m_removing.removeAll(QPointer<ZBDevice>());
}

void ZBDeviceCollection::connectAll()
{
    for (ZBDevice *device : m_devices)
        device->connectToDevice();
}

void ZBDeviceCollection::closeAllModules(QCloseEvent *event)
{
    // Every receiver is asked, but one refusal stands: a module asked later that accepts the event
    // must not overturn it.
    bool refused = false;
    const QList<ZBDevice *> devices = m_devices;
    for (ZBDevice *device : devices) {
        event->accept();
        device->closeModules(event);
        refused = refused || !event->isAccepted();
    }
    if (refused)
        event->ignore();
    else
        event->accept();
}

void ZBDeviceCollection::closeDeviceModules(quint32 id, QCloseEvent *event)
{
    if (ZBDevice *device = deviceById(id))
        device->closeModules(event);
}

void ZBDeviceCollection::retranslateAll()
{
    for (ZBDevice *device : m_devices)
        device->notifyModules();
}

QString ZBDeviceCollection::toXmlText() const
{
    QDomDocument document(QStringLiteral("ZBDeviceCollection"));
    QDomElement root = document.createElement(QStringLiteral("devices"));
    document.appendChild(root);
    for (const ZBDevice *device : m_devices)
        root.appendChild(document.importNode(device->info().toXml(), true));
    return document.toString(1);
}

bool ZBDeviceCollection::save()
{
    Settings::setString(Settings::OmbrelayDeviceList, toXmlText());
    return true;
}

bool ZBDeviceCollection::load()
{
    const QString text = Settings::getString(Settings::OmbrelayDeviceList, QString());
    QDomDocument document;
    document.setContent(text);
    const QDomNode first = document.firstChild();
    if (!first.isElement() || first.toElement().tagName() != QLatin1String("devices"))
        return false;
    m_loading = true;
    for (QDomNode node = first.firstChild(); !node.isNull(); node = node.nextSibling()) {
        // Anything but a receiver record is skipped; the records after it still load.
        if (!node.isElement() || node.toElement().tagName() != QLatin1String("deviceInfo"))
            continue;
        QString recordText;
        QTextStream stream(&recordText);
        node.save(stream, 1);
        ZBDeviceInfo info(QString(), QString(), false);
        if (info.fromXml(recordText))
            append(info);
    }
    m_loading = false;
    return true;
}
