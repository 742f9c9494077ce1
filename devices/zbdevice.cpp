#include "devices/zbdevice.h"

#include "base/strictipv4.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/protocol/dvb24communicationprotocolmill.h"
#include "modules/modulefactory.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QThread>
#include <QVariantMap>
#include <QWidget>

ZBDevice::ZBDevice(const ZBDeviceInfo &info, QObject *parent)
    : QObject(parent)
    , m_manager(new DVB24CommunicationManager(this))
    , m_info(info)
{
    m_managerConnections = {
        connect(m_manager, &DeviceCommunicationManager::stateChanged, this, &ZBDevice::onConnectionChanged),
        connect(m_manager, &DVB24CommunicationManager::InfoChanged, this, &ZBDevice::onDeviceInfoChanged)};
    // Both come queued from the worker thread, in order with its state reports.
    Mill *worker = m_manager->mill();
    connect(worker, &QThread::started, this, [this] {
        m_runDescribed = false;
        m_runConnected = false;
    });
    connect(worker, &QThread::finished, this, [this] {
        // A receiver that described itself answered: an old one is told about by its version.
        if (!m_runDescribed && !m_runConnected && !m_manager->mill()->isClosing())
            emit connectionFailed(this);
    });
}

ZBDevice::~ZBDevice()
{
    disconnectFromDevice();
    releaseModules();
    for (const QMetaObject::Connection &connection : std::as_const(m_managerConnections))
        disconnect(connection);
    // The manager waits for its worker when it goes. While the event loop runs it goes later, so the
    // window never waits; once the loop has ended a deferred delete would never come, and the worker
    // must still be stopped and waited for before the program ends.
    m_manager->setParent(nullptr);
    if (QThread::currentThread()->loopLevel() > 0)
        m_manager->deleteLater();
    else
        delete m_manager;
}

QString ZBDevice::ipAddressString() const
{
    return m_info.ip().isNull() ? QString() : m_info.ip().toString();
}

void ZBDevice::setIpAddress(const QHostAddress &address)
{
    if (address.protocol() == QAbstractSocket::IPv4Protocol)
        m_info.setIp(address);
}

void ZBDevice::setIpAddress(const QString &text)
{
    if (StrictIPv4::parse(text))
        m_info.setIp(text);
}

void ZBDevice::updateInfoFrom(const ZBDeviceInfo &other)
{
    m_info.setType(other.type());
    m_info.setGivenName(other.givenName());
    m_info.setIp(other.ip());
    m_info.setName(other.name());
    m_info.setProtocolVersion(other.protocolVersion());
    m_info.setSoftwareVersion(other.softwareVersion());
    m_info.setHardwareVersion(other.hardwareVersion());
}

void ZBDevice::connectToDevice()
{
    const QString address = ipAddressString();
    // 0.0.0.0 is what an unreadable address becomes; connecting to it would reach this PC instead.
    if (address.isEmpty() || m_info.ip() == QHostAddress(QHostAddress::AnyIPv4))
        return;
    m_manager->connectToHost(address);
}

void ZBDevice::disconnectFromDevice()
{
    onConnectionChanged(QStringLiteral("disconnecting"));
    m_manager->requestInterrupt();
    m_manager->requestClose();
}

bool ZBDevice::hasPendingWork() const
{
    return m_manager->mill()->hasPendingTasks();
}

bool ZBDevice::hasModule(OmbrelayModule *module) const
{
    if (!module)
        return false;
    for (const QPointer<OmbrelayModule> &attached : m_modules) {
        if (attached == module)
            return true;
    }
    return false;
}

void ZBDevice::attachModule(OmbrelayModule *module)
{
    if (!module || hasModule(module))
        return;
    module->setCommunicationManager(m_manager);
    module->setDeviceInfo(&m_info);
    m_modules.append(module);
    module->onDeviceStateChange(m_state);
}

QList<OmbrelayModule *> ZBDevice::modules() const
{
    QList<OmbrelayModule *> result;
    for (const QPointer<OmbrelayModule> &module : m_modules) {
        if (module)
            result.append(module.data());
    }
    return result;
}

OmbrelayModule *ZBDevice::module(OmbrelayModule::ModuleTypes type)
{
    for (OmbrelayModule *attached : modules()) {
        if (attached->moduleType() == type)
            return attached;
    }
    QVariantMap options;
    switch (type) {
    case OmbrelayModule::TypeTvList:
        if (!m_info.enableTvModule())
            return nullptr;
        options.insert(QStringLiteral("maximumListCount"), int(m_info.tvListMaxCount()));
        break;
    case OmbrelayModule::TypeRadioList:
        if (!m_info.enableRadioModule())
            return nullptr;
        options.insert(QStringLiteral("maximumListCount"), int(m_info.radioListMaxCount()));
        break;
    case OmbrelayModule::TypeLinkList:
        if (!m_info.enableLinksModule())
            return nullptr;
        options.insert(QStringLiteral("maximumListCount"), int(m_info.netListMaxCount()));
        break;
    case OmbrelayModule::TypeMediaExplorer:
        if (!m_info.enableMediaExplorerModule())
            return nullptr;
        break;
    case OmbrelayModule::TypeDevice:
        options.insert(QStringLiteral("enableLinkList"), m_info.enableLinksModule());
        options.insert(QStringLiteral("enableRadioList"), m_info.enableRadioModule());
        options.insert(QStringLiteral("enableTvList"), m_info.enableTvModule());
        options.insert(QStringLiteral("enableMediaExplorer"), m_info.enableMediaExplorerModule());
        break;
    default:
        return nullptr;
    }
    OmbrelayModule *created = createModule(type, qobject_cast<QWidget *>(parent()), options);
    if (created)
        attachModule(created);
    return created;
}

bool ZBDevice::closeModules(QCloseEvent *event)
{
    event->accept();
    for (OmbrelayModule *module : modules()) {
        event->accept();
        QCoreApplication::sendEvent(module, event);
        if (!event->isAccepted())
            return false;
    }
    return true;
}

bool ZBDevice::closeModules()
{
    QCloseEvent event;
    return closeModules(&event);
}

void ZBDevice::releaseModules()
{
    const QList<QPointer<OmbrelayModule>> modules = m_modules;
    m_modules.clear();
    // Their tasks go with them; the worker lets go of a task that goes, and outcomes reach no page.
    for (const QPointer<OmbrelayModule> &module : modules)
        delete module.data();
}

void ZBDevice::notifyModules()
{
    for (OmbrelayModule *module : modules())
        module->retranslate();
}

void ZBDevice::onConnectionChanged(QString state)
{
    // A user's disconnect says "disconnecting" first, and a close asked for by a page marks the worker.
    const bool lost = state == QLatin1String("disconnected") && isConnected() && !m_manager->mill()->isClosing();
    if (state == QLatin1String("connected"))
        m_runConnected = true;
    m_state = state;
    for (OmbrelayModule *module : modules())
        module->onDeviceStateChange(state);
    emit stateChanged(this, state);
    // Said once this state has reached everyone who follows the connection: the message waits for the user, and
    // the states that come meanwhile (the worker connecting anew) must not reach anyone before this one has.
    if (lost)
        QMetaObject::invokeMethod(
            this, [this] { emit connectionLost(this); }, Qt::QueuedConnection);
}

void ZBDevice::onDeviceInfoChanged(ZBDeviceInfo info)
{
    m_runDescribed = true;
    info.setId(m_info.id());
    // The description tells what the receiver is; where the user reaches it and how it is managed
    // stay the user's.
    info.setIp(m_info.ip());
    info.setUsbManaged(m_info.isUsbManaged());
    const QString givenName = m_info.givenName();
    const bool sameShareName = info.shareName() == m_info.shareName();
    const float version = info.protocolVersion();
    m_info = info;
    m_info.setGivenName(givenName);
    if (version < 1.4f) {
        disconnectFromDevice();
        emit protocolVersionChanged(int(m_info.id()), version);
        return;
    }
    if (!sameShareName)
        emit shareNameChanged(int(m_info.id()), m_info.shareName());
}
