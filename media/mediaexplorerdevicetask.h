#pragma once

#include "device/core/devicetask.h"

// A task of the media explorer page: its replies name the task, so the page routes them by its name.
class MediaExplorerDeviceTask : public DeviceTask
{
    Q_OBJECT
public:
    MediaExplorerDeviceTask(QObject *owner, const QString &request);

    // Deletes task once its worker has let go of it (the worker still touches a task for a moment
    // after its last signal); a task that never started goes at once.
    static void deleteWhenReleased(DeviceTask *task);

signals:
    void Complete(DeviceTask *task, bool ok);
    void Progress64(DeviceTask *task, qint64 delta);
    void Error(DeviceTask *task, const QString &message);
    void Canceled(DeviceTask *task);

public slots:
    void onProgress64(qint64 delta) override;
    void onError(QString message) override;
    void onComplete(bool ok) override;
    void onCanceled() override;
};
