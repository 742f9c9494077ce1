#pragma once

#include <QList>
#include <QMetaObject>
#include <QMutex>
#include <QPointer>
#include <QSemaphore>
#include <QString>
#include <QThread>

#include <atomic>

class DeviceFileSystemItem;
class DeviceTask;

// The worker-thread base: a queue of tasks run one at a time, idle work while none comes, the
// cancel and stop flags that jobs test between their steps, and a delayed restart.
//
// Every task taken from the queue ends with exactly one outcome the owner sees: Complete(bool) or
// Canceled(); a failure is Error(text) followed by Complete(false). Methods may emit these
// themselves; whatever a method leaves open (an exception, an early return) is closed by the loop.
class Mill : public QThread
{
    Q_OBJECT
public:
    explicit Mill(QObject *owner);
    ~Mill() override;

    // Main thread.
    void enqueue(DeviceTask *task);
    void cancel(DeviceTask *task);
    // Starts the thread (hides QThread::start): tasks enqueued from now on wait for this run; a task
    // enqueued while no run will take it is told at once instead of waiting forever: "Unknow error", or
    // cancelled when the worker was closed on request.
    void start(QThread::Priority priority = QThread::InheritPriority);
    static void forgetTask(DeviceTask *task);
    // Whether a running loop still takes enqueued tasks (false once it is past its loop).
    bool isAccepting() const;
    // Whether the last run ended because its connection went under it (given up or dropped) and the tasks still
    // waiting, and those handed in now, wait for the run that connects anew.
    bool isReplacingConnection() const;
    // The run that was to connect anew will not come (the worker was closed meanwhile): the tasks kept for it are
    // told so, as tasks left waiting at the end of a run are.
    void endReplacement();
    // Whether a task handed in has not had its outcome delivered yet: the worker has work of a page, also
    // in the moment between one task's outcome and the next task its page hands in.
    bool hasPendingTasks() const;

    // The task taken last, or null when it has gone away.
    DeviceTask *currentTask() const;
    static int percent(int done, int total);
    // What a task is told when the link went under it, or before its turn came: the connection was lost.
    static QString interruptedText();

    int restartDelay() const { return m_restartDelay.load(); }
    void setRestartDelay(int ms) { m_restartDelay.store(ms); }
    QString status() const;
    int poll() const { return m_poll.load(); }
    void setPoll(int ms) { m_poll.store(ms); }
    bool isInterruptRequested() const { return m_interrupt.load(); }
    void setInterruptFlag(bool on) { m_interrupt.store(on); }
    bool isStopRequested() const { return m_stop.load(); }
    void setStopFlag(bool on) { m_stop.store(on); }
    bool keepsTaskConnections() const { return m_keepTaskConnections.load(); }
    void setKeepTaskConnections(bool on) { m_keepTaskConnections.store(on); }
    bool isClosing() const { return m_closing.load(); }
    void setClosing(bool on) { m_closing.store(on); }

    // Worker thread: the current task's fields, safe against the task being deleted meanwhile.
    QString currentRequest() const;
    QByteArray currentPayload() const;
    void storeResult(const QString &result);
    void storeListing(QList<DeviceFileSystemItem *> *listing);

public slots:
    virtual void idle();
    virtual bool open();
    virtual void close();
    virtual void execute(DeviceTask *task);
    virtual void stop();
    virtual void interrupt(bool b);
    void interrupt() { interrupt(true); }
    virtual void millExceptionIfNotTrue(bool ok);
    virtual void wantCancelException(bool b);
    void wantCancelException() { wantCancelException(true); }
    void onFinished();

signals:
    void Start();
    void Progress(int done, int total);
    void Progress64(qint64 done);
    void Status(QString text);
    void Cancel();
    void Canceled();
    void Error(QString text);
    void Complete(bool ok);
    void MillError(QString text);

protected:
    void run() override;
    void timerEvent(QTimerEvent *event) override;
    void setStatus(const QString &status);
    // Worker thread: whether the connection of this run has gone without being asked to (given up after a silence,
    // or dropped by the receiver). The loop then takes no further task over it and ends the run, keeping the tasks
    // that wait for the new connection (isReplacingConnection); the subclass starts that run.
    virtual bool connectionGone() const { return false; }

private:
    enum class Ending { Normal, Canceled, Failed };
    // false when the task was not started because the run is stopping
    bool runTask(DeviceTask *task);
    void releaseKeptConnectionsLocked();
    void closeOutcome(Ending ending, const QString &error);
    // Tells every waiting task, queued, that it will not run: onCanceled() when the worker was closed on
    // request, else onError(text) and onComplete(false); the queue is emptied.
    void endQueuedLocked(const QString &text);

    int m_restartTimerId = 0;
    QPointer<DeviceTask> m_current;
    QList<DeviceTask *> m_queue;
    QObject *m_owner;
    std::atomic_int m_restartDelay{0};
    QString m_status;
    std::atomic_bool m_interrupt{false};
    std::atomic_bool m_stop{false};
    std::atomic_bool m_keepTaskConnections{false};
    std::atomic_int m_poll{1000};
    QSemaphore m_semaphore;
    std::atomic_bool m_closing{false};
    mutable QMutex m_lock;
    // Whether enqueued tasks can still be taken by a running loop; guarded by m_lock.
    bool m_accepting = false;
    // The last run ended with its connection gone: waiting tasks are kept for the next run; guarded by m_lock.
    bool m_replacing = false;
    QList<QMetaObject::Connection> m_taskConnections;
    // Tasks handed in whose outcome has not been delivered; main thread only.
    int m_pending = 0;
    // What the running task has been told so far; written in the emitting thread.
    std::atomic_bool m_sentComplete{false};
    std::atomic_bool m_sentCanceled{false};
    std::atomic_bool m_sentError{false};
};
