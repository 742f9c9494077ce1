#include "device/protocol/dvb24communicationmanager.h"

#include "device/protocol/dvb24communicationprotocolmill.h"

#include <utility>

DVB24CommunicationManager::DVB24CommunicationManager(QObject *parent)
    : DeviceCommunicationManager(parent)
    , m_mill(new DVB24CommunicationProtocolMill(this))
{
    connect(m_mill, &DVB24CommunicationProtocolMill::stateChanged, this, &DeviceCommunicationManager::stateChanged,
            Qt::UniqueConnection);
    connect(m_mill, &DVB24CommunicationProtocolMill::InfoChanged, this, &DVB24CommunicationManager::InfoChanged,
            Qt::UniqueConnection);
    connect(m_mill, &QThread::finished, this, [this] {
        if (!m_connectAfterClose)
            return;
        // After everyone else has heard the old run end (its receiver reads the end as a close, not a failure).
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!std::exchange(m_connectAfterClose, false))
                    return;
                startRun(m_hostAfterClose);
            },
            Qt::QueuedConnection);
    });
}

DVB24CommunicationManager::~DVB24CommunicationManager()
{
    // The worker ends after its current step; every step is bounded by the socket time limits. A run
    // started just before (a reconnect, a restart) clears the flags as it begins, so they are set again
    // until it has ended.
    do {
        m_mill->setStopFlag(true);
        m_mill->setInterruptFlag(true);
        m_mill->setClosing(true);
    } while (!m_mill->wait(100));
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
    // The last run was told to close and has not ended yet (it may not even have seen the request). Clearing
    // its flags now would keep it running as if never told, without a word of it to anyone, or let it end
    // just after this start was ignored, and no new connection would come. The new run starts once the old
    // one has ended.
    if (m_mill->isRunning() && m_mill->isClosing()) {
        m_connectAfterClose = true;
        m_hostAfterClose = host;
        setOpen();
        return;
    }
    startRun(host);
}

void DVB24CommunicationManager::startRun(const QString &host)
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
    m_connectAfterClose = false;
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
