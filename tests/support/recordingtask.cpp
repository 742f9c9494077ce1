#include "recordingtask.h"

#include "device/core/devicecommunicationmanager.h"

#include <QTest>

RecordingTask::RecordingTask(QObject *owner, const QString &request)
    : DeviceTask(owner, request)
{}

RecordingTask *RecordingTask::run(DeviceCommunicationManager &manager, QObject *owner, const QString &request,
                                  const QByteArray &payload)
{
    auto *task = new RecordingTask(owner, request);
    task->setPayload(payload);
    manager.enqueue(task);
    [&] { QTRY_COMPARE_WITH_TIMEOUT(task->outcomes(), 1, 20000); }();
    return task;
}

int RecordingTask::outcomes() const
{
    int count = 0;
    for (const QString &call : calls) {
        if (call.startsWith(QLatin1String("complete:")) || call == QLatin1String("canceled"))
            ++count;
    }
    return count;
}

void RecordingTask::onComplete(bool ok)
{
    calls << (ok ? QStringLiteral("complete:true") : QStringLiteral("complete:false"));
    DeviceTask::onComplete(ok);
}
