#pragma once

#include "device/core/mill.h"

#include <QSemaphore>

class DeviceCall;

// The worker of PC-only file jobs: prepare a PC-to-PC copy, copy or move one entry, delete files.
class OfflineMill : public Mill
{
    Q_OBJECT
public:
    explicit OfflineMill(QObject *owner);
    ~OfflineMill() override;

    static constexpr int BlockSize = 16000;

    // Main thread: a task was queued, or the worker is to stop; ends the idle wait at once.
    void wake() { m_wake.release(); }
    // Main thread: the running job stops before its next block or entry and the worker ends, without
    // waiting for it; the running task still reports its outcome.
    void requestStop();

public slots:
    void execute(DeviceTask *task) override;
    void idle() override;
    void stop() override;

private:
    void copyPcToPc(const DeviceCall &call);
    void copyFolder(const QString &source, const QString &destination, bool move);
    void copyFile(const QString &source, const QString &destination, bool move);
    void deletePcFiles(const DeviceCall &call);
    // Removes path and what it holds, looking at the stop flag before every entry; links are removed,
    // never followed. False when something could not be removed.
    bool removeTree(const QString &path, int depth);
    // The result of a move whose source could not be removed: a job document naming it.
    void reportKept(const QString &source);
    void prepareToCopyPcToPc(const DeviceCall &call);

    // The worker waits for work here rather than in the base loop's poll, so a stop need not wait it out.
    QSemaphore m_wake;
};
