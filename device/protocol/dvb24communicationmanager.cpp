#include "device/protocol/dvb24communicationmanager.h"

#include "device/protocol/dvb24communicationprotocolmill.h"

DVB24CommunicationManager::DVB24CommunicationManager(QObject *parent)
    : DeviceCommunicationManager(parent)
    , m_mill(new DVB24CommunicationProtocolMill(this))
{
    connect(m_mill, &DVB24CommunicationProtocolMill::stateChanged, this, &DeviceCommunicationManager::stateChanged,
            Qt::UniqueConnection);
    connect(m_mill, &DVB24CommunicationProtocolMill::InfoChanged, this, &DVB24CommunicationManager::InfoChanged,
            Qt::UniqueConnection);
}

DVB24CommunicationManager::~DVB24CommunicationManager()
{
    // The worker ends after its current step; every step is bounded by the socket time limits.
    m_mill->setStopFlag(true);
    m_mill->setInterruptFlag(true);
    m_mill->setClosing(true);
    m_mill->wait();
}

void DVB24CommunicationManager::close()
{
    // The socket belongs to the worker thread; its goodbye can only be said here once that has ended.
    if (!m_mill->isRunning())
        m_mill->close();
}

void DVB24CommunicationManager::enqueue(DeviceTask *task)
{
    m_mill->enqueue(task);
    DeviceCommunicationManager::enqueue(task);
}

void DVB24CommunicationManager::cancel(DeviceTask *task)
{
    m_mill->cancel(task);
}

void DVB24CommunicationManager::connectToHost(const QString &host)
{
    m_mill->setStopFlag(false);
    m_mill->setClosing(false);
    m_mill->setKeepTaskConnections(false);
    m_mill->setHost(host);
    m_mill->start();
    setOpen();
}

void DVB24CommunicationManager::requestInterrupt()
{
    m_mill->setInterruptFlag(true);
}

void DVB24CommunicationManager::requestClose()
{
    m_mill->setStopFlag(true);
    m_mill->setKeepTaskConnections(true);
    m_mill->setClosing(true);
}

void DVB24CommunicationManager::startMill()
{
    m_mill->start();
}

void DVB24CommunicationManager::setHost(const QString &host)
{
    m_mill->setHost(host);
}

void DVB24CommunicationManager::setPort(quint16 port)
{
    m_mill->setPort(port);
}
