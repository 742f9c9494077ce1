#include "devices/zbdevicecollection.h"

#include "device/protocol/dvb24communicationmanager.h"

#include "base/settings.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/zbdevice.h"
#include "widgets/messagebox.h"

#include <QCloseEvent>
#include <QDomDocument>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>
#include <QTimer>
#include <QXmlStreamReader>

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
    // A batch saves once at its end: a store that cannot be written is said once, not per receiver.
    if (!m_loading && !m_inBatch)
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
    m_inBatch = true;
    for (const ZBDeviceInfo &info : infos)
        append(info);
    m_inBatch = false;
    if (!m_batch)
        save();
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

namespace {

// Line of a position in a text, from 1.
int lineAt(const QString &text, qsizetype position)
{
    return int(QStringView(text).left(position).count(u'\n')) + 1;
}

// The first element of a text that may go on with anything (the next record, a cut end): only that element,
// so that what follows it does not spoil it.
QString firstElement(const QString &text)
{
    QXmlStreamReader reader(text);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement)
            ++depth;
        else if (token == QXmlStreamReader::EndElement && --depth == 0)
            return text.left(reader.characterOffset());
    }
    return text; // not whole: the record reader refuses it
}

// The name a record carries, as far as it can be read, to say which receiver could not be read.
QString nameIn(const QString &recordText)
{
    for (const char *attribute : {"givenName", "name"}) {
        const QRegularExpression pattern(QStringLiteral("(?<![A-Za-z])%1\\s*=\\s*\"([^\"<]*)\"").arg(attribute));
        const QString name = pattern.match(recordText).captured(1);
        if (!name.isEmpty())
            return name;
    }
    return QString();
}

} // namespace

void ZBDeviceCollection::takeRecord(int entry, int line, const QString &recordText, QStringList *unread)
{
    const QString name = nameIn(recordText);
    const QString which =
        name.isEmpty() ? tr("entry %1 (line %2)").arg(entry).arg(line)
                       : tr("entry %1 \"%2\" (line %3)").arg(QString::number(entry), name, QString::number(line));
    ZBDeviceInfo info(QString(), QString(), false);
    if (!info.fromXml(recordText)) {
        unread->append(which);
        return;
    }
    auto *device = new ZBDevice(info, parent());
    if (!appendDevice(device)) {
        delete device; // never listed, never connected
        unread->append(tr("%1: its address %2 is already used by another device").arg(which, info.ip().toString()));
    }
}

QStringList ZBDeviceCollection::readRecords(const QString &text)
{
    QStringList unread;
    QDomDocument document;
    QString error;
    int errorLine = 0;
    const bool wellFormed = document.setContent(text, &error, &errorLine);
    const QDomElement root = document.documentElement();
    if (wellFormed && root.tagName() == QLatin1String("devices")) {
        int entry = 0;
        for (QDomNode node = root.firstChild(); !node.isNull(); node = node.nextSibling()) {
            if (!node.isElement()) // comments and white space carry no receiver
                continue;
            ++entry;
            const QDomElement element = node.toElement();
            if (element.tagName() != QLatin1String("deviceInfo")) {
                unread << tr("entry %1 (line %2): an unknown element \"%3\"")
                              .arg(entry)
                              .arg(element.lineNumber())
                              .arg(element.tagName());
                continue;
            }
            QString recordText;
            QTextStream stream(&recordText);
            node.save(stream, 1);
            takeRecord(entry, element.lineNumber(), recordText, &unread);
        }
        return unread;
    }
    // Not a whole list: each record is read on its own, so a broken or cut record costs only itself.
    static const QRegularExpression recordStart(QStringLiteral("<deviceInfo\\b"));
    QList<qsizetype> starts;
    for (auto it = recordStart.globalMatch(text); it.hasNext();)
        starts << it.next().capturedStart();
    for (qsizetype i = 0; i < starts.size(); ++i) {
        const qsizetype end = i + 1 < starts.size() ? starts.at(i + 1) : text.size();
        takeRecord(int(i) + 1, lineAt(text, starts.at(i)), firstElement(text.mid(starts.at(i), end - starts.at(i))),
                   &unread);
    }
    if (unread.isEmpty()) {
        // Every record read, but the list around them did not.
        unread << (wellFormed ? tr("the list itself (its first element is \"%1\", not \"devices\")").arg(root.tagName())
                              : tr("the list itself (line %1: %2)").arg(errorLine).arg(error));
    }
    return unread;
}

void ZBDeviceCollection::sayLater(const QString &text)
{
    // Said once the window is up; a box inside the window's construction would come before the window.
    QTimer::singleShot(0, this, [this, text] { MessageBox::warning(qobject_cast<QWidget *>(parent()), text); });
}

bool ZBDeviceCollection::save(WriteFailure failure)
{
    const QString text = toXmlText();
    if (m_storedUnread) {
        // A stored list that did not read whole is left as it is until the receivers change.
        if (text == m_readText)
            return true;
        if (m_keptCopy.isEmpty()) {
            MessageBox::warning(qobject_cast<QWidget *>(parent()),
                                tr("The list of devices was not saved: the stored list could not be read whole "
                                   "and could not be copied to \"%1\", so it is left as it is.")
                                    .arg(Settings::fileName()));
            return false;
        }
    }
    if (!Settings::setString(Settings::OmbrelayDeviceList, text)) {
        if (failure == WriteFailure::LeftToCaller)
            return false;
        MessageBox::warning(qobject_cast<QWidget *>(parent()),
                            Settings::writeFailureText() + u'\n' +
                                tr("The list of devices as shown now was not saved and will be lost when Ombrelay "
                                   "closes."));
        return false;
    }
    m_storedUnread = false;
    return true;
}

bool ZBDeviceCollection::load()
{
    const QString text = Settings::getString(Settings::OmbrelayDeviceList, QString());
    if (text.isEmpty())
        return false;
    // Loading never rewrites the stored list: a record it cannot take must not vanish from there.
    m_loading = true;
    const QStringList unread = readRecords(text);
    m_loading = false;
    if (unread.isEmpty())
        return true;
    m_storedUnread = true;
    m_readText = toXmlText();
    m_keptCopy = Settings::keepUnreadCopy(Settings::OmbrelayDeviceList, text);
    QString message = tr("The saved list of devices could not be read whole. Devices loaded: %1.").arg(count()) +
                      u'\n' + tr("Could not be read: %1.").arg(unread.join(QStringLiteral("; "))) + u'\n';
    if (m_keptCopy.isEmpty())
        message += tr("The list as it was stored could not be copied (the settings file \"%1\" could not be "
                      "written); it is left as it is, and changes to the devices will not be saved.")
                       .arg(Settings::fileName());
    else
        message += tr("The list as it was stored is kept in the settings file \"%1\" under \"%2\". The list itself "
                      "is rewritten only when the devices are changed.")
                       .arg(Settings::fileName(), m_keptCopy);
    sayLater(message);
    return false;
}
