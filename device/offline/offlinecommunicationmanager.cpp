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
    if (!m_mill.isRunning())
        m_mill.start(QThread::InheritPriority);
    m_mill.enqueue(task);
    m_mill.wake();
    DeviceCommunicationManager::enqueue(task);
}

void OfflineCommunicationManager::cancel(DeviceTask *task)
{
    m_mill.cancel(task);
}
