#pragma once

#include "device/devicetask.h"

#include <QStringList>

// A task that writes down every slot call it receives, in order ("complete:true", "error:text", ...),
// so tests can assert exactly which outcome a job had and that it had only one.
class RecordingTask : public DeviceTask
{
    Q_OBJECT
public:
    RecordingTask(QObject *owner, const QString &request);

    QStringList calls;
    // Outcomes seen so far: onComplete and onCanceled calls (onError is followed by onComplete(false)).
    int outcomes() const;

public slots:
    void onEnqueued() override;
    void onStart() override;
    void onProgress64(qint64 done) override;
    void onProgress(int done, int total) override;
    void onStatus(QString text) override;
    void onCancel() override;
    void onCanceled() override;
    void onError(QString text) override;
    void onComplete(bool ok) override;
};
