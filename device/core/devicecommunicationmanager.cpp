#include "device/core/devicecommunicationmanager.h"

#include "device/core/devicetask.h"

DeviceCommunicationManager::DeviceCommunicationManager(QObject *parent)
    : QObject(parent)
{}

void DeviceCommunicationManager::setOpen()
{
    m_open = true;
}

bool DeviceCommunicationManager::isOpen()
{
    return m_open;
}

void DeviceCommunicationManager::close()
{
    m_open = false;
}

void DeviceCommunicationManager::enqueue(DeviceTask *) {}

void DeviceCommunicationManager::cancel(DeviceTask *task)
{
    if (!task)
        return;
    task->onCancel();
    task->onCanceled();
}
