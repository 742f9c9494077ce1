#pragma once

#include "device/core/devicetask.h"

#include <QStringList>

class DeviceCommunicationManager;

// A task that writes down every slot call it receives, in order ("complete:true", "error:text", ...),
// so tests can assert exactly which outcome a job had and that it had only one.
class RecordingTask : public DeviceTask
{
    Q_OBJECT
public:
    RecordingTask(QObject *owner, const QString &request);

    // Hands a task for the request to the manager and waits (up to 20 s) for its one outcome.
    static RecordingTask *run(DeviceCommunicationManager &manager, QObject *owner, const QString &request,
                              const QByteArray &payload = QByteArray());

    QStringList calls;
    // Outcomes seen so far: onComplete and onCanceled calls (onError is followed by onComplete(false)).
    int outcomes() const;

public slots:
    void onEnqueued() override { calls << QStringLiteral("enqueued"); }
    void onStart() override { calls << QStringLiteral("start"); }
    void onProgress64(qint64 done) override { calls << QStringLiteral("progress64:%1").arg(done); }
    void onProgress(int done, int total) override { calls << QStringLiteral("progress:%1/%2").arg(done).arg(total); }
    void onStatus(QString text) override { calls << QStringLiteral("status:") + text; }
    void onCancel() override { calls << QStringLiteral("cancel"); }
    void onCanceled() override { calls << QStringLiteral("canceled"); }
    void onError(QString text) override { calls << QStringLiteral("error:") + text; }
    void onComplete(bool ok) override;
};
