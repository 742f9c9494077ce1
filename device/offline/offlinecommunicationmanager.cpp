#include "device/offline/offlinecommunicationmanager.h"

OfflineCommunicationManager::OfflineCommunicationManager(QObject *parent)
    : DeviceCommunicationManager(parent)
{}

OfflineCommunicationManager::~OfflineCommunicationManager()
{
    stop();
}

void OfflineCommunicationManager::stop()
{
    m_mill.stop();
}

void OfflineCommunicationManager::enqueue(DeviceTask *task)
{
    // A worker asked to stop takes no new work: it is let end (its job stops at the next block or
    // entry) and started anew.
    if (m_mill.isRunning() && m_mill.isStopRequested())
        m_mill.stop();
    if (!m_mill.isAccepting())
        m_mill.start(QThread::InheritPriority);
    m_mill.enqueue(task);
    m_mill.wake();
    DeviceCommunicationManager::enqueue(task);
}

void OfflineCommunicationManager::cancel(DeviceTask *task)
{
    m_mill.cancel(task);
}
