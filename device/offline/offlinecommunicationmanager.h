#pragma once

#include "device/core/devicecommunicationmanager.h"
#include "device/offline/offlinemill.h"

// The channel of a media explorer page for PC-only file jobs, run on its own worker thread.
class OfflineCommunicationManager : public DeviceCommunicationManager
{
    Q_OBJECT
public:
    explicit OfflineCommunicationManager(QObject *parent = nullptr);
    // Stops and waits for the worker: a thread is never destroyed while it runs.
    ~OfflineCommunicationManager() override;

    void stop();
    // Asks the worker to stop without waiting for it (the GUI thread must not wait on a long job); the
    // running task still ends with its outcome, and stop() afterwards waits only for the thread's end.
    void requestStop() { m_mill.requestStop(); }
    OfflineMill *mill() { return &m_mill; }

public slots:
    void enqueue(DeviceTask *task) override;
    // A queued task is taken off the queue and told at once (it never runs); the running one is
    // interrupted and ends as cancelled.
    void cancel(DeviceTask *task) override;

private:
    OfflineMill m_mill{nullptr};
};
