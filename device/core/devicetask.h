#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>

class DeviceFileSystemItem;
class Mill;

// One job for a receiver connection. Lives in the main thread; its slots always run there.
class DeviceTask : public QObject
{
    Q_OBJECT
public:
    enum State { New = 0, Queued = 1, Taken = 2, Running = 3, Finished = 4 };

    DeviceTask(QObject *owner, const QString &request);
    ~DeviceTask() override;

    QObject *owner() const { return m_owner; }
    int state() const { return m_state.load(); }
    void setState(int state) { m_state.store(state); }
    QString request() const { return m_request; }
    QString result() const { return m_result; }
    void setResult(const QString &result) { m_result = result; }
    QByteArray payload() const { return m_payload; }
    void setPayload(const QByteArray &payload) { m_payload = payload; }
    // Filled by a folder listing; the task never deletes it, the model that asked takes it over.
    QList<DeviceFileSystemItem *> *listing() const { return m_listing; }
    void setListing(QList<DeviceFileSystemItem *> *listing) { m_listing = listing; }

signals:
    void Start();
    void Status(QString text);
    void Cancel();
    void Canceled();
    void Error(QString text);
    void Complete(bool ok);

public slots:
    virtual void onEnqueued() {}
    virtual void onStart() {}
    virtual void onProgress64(qint64) {}
    virtual void onProgress(int, int) {}
    virtual void onStatus(QString) {}
    virtual void onCancel() {}
    // Both outcome slots tell the task's listeners, so an owner that only listens hears every ending.
    virtual void onCanceled();
    virtual void onError(QString) {}
    virtual void onComplete(bool ok);

private:
    friend class Mill;

    QObject *m_owner;
    std::atomic_int m_state{New};
    const QString m_request;
    QString m_result;
    QByteArray m_payload;
    QList<DeviceFileSystemItem *> *m_listing = nullptr;
    // The worker that holds this task; told when the task goes away so it never touches a dead task.
    std::atomic<Mill *> m_mill{nullptr};
};
