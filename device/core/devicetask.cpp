#include "device/core/devicetask.h"

#include "device/core/mill.h"

DeviceTask::DeviceTask(QObject *owner, const QString &request)
    : QObject(owner)
    , m_owner(owner)
    , m_request(request)
{}

DeviceTask::~DeviceTask()
{
    Mill::forgetTask(this);
}

void DeviceTask::onComplete(bool ok)
{
    emit Complete(ok);
}

void DeviceTask::onCanceled()
{
    emit Canceled();
}
