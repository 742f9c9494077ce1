#include "media/mediaexplorerdevicetask.h"

#include <QTimer>

MediaExplorerDeviceTask::MediaExplorerDeviceTask(QObject *owner, const QString &request)
    : DeviceTask(owner, request)
{}

void MediaExplorerDeviceTask::onProgress64(qint64 delta)
{
    emit Progress64(this, delta);
}

void MediaExplorerDeviceTask::onError(QString message)
{
    emit Error(this, message);
}

void MediaExplorerDeviceTask::onComplete(bool ok)
{
    emit Complete(this, ok);
}

// An interrupted request ends here instead of in a completion; the page must hear of it all the same.
void MediaExplorerDeviceTask::onCanceled()
{
    emit Canceled(this);
}

void MediaExplorerDeviceTask::deleteWhenReleased(DeviceTask *task)
{
    const int state = task->state();
    if (state == DeviceTask::Finished || state == DeviceTask::New) {
        task->deleteLater();
        return;
    }
    QTimer::singleShot(5, task, [task] { deleteWhenReleased(task); });
}
