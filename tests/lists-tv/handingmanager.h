#pragma once

#include "device/core/devicecommunicationmanager.h"
#include "device/core/devicetask.h"

#include <QList>

// Takes a list page's tasks as a receiver's manager does: each is told at once that it is queued, and the
// test then gives it the endings its worker would. A cancel of a running task is only counted: its worker
// ends it.
class HandingManager : public DeviceCommunicationManager
{
public:
    QList<DeviceTask *> enqueued;
    int cancels = 0;
    void enqueue(DeviceTask *task) override
    {
        enqueued << task;
        task->onEnqueued();
    }
    void cancel(DeviceTask *) override { ++cancels; }
};
