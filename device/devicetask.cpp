#include "devicetask.h"

#include "mill.h"

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
