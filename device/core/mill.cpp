#include "device/core/mill.h"

#include "device/core/devicetask.h"
#include "device/core/millcancelexception.h"
#include "device/core/millinterruptexception.h"
#include "device/protocol/dvb24communicationexception.h"
#include "device/protocol/dvb24communicationexceptionmessages.h"
#include "device/transfers/devicefilesystemitem.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMutexLocker>
#include <QTimerEvent>

#include <utility>

// How long a task lives, the same for every way it ends:
// - A task belongs to its owner in the main thread. Every task handed in gets exactly one outcome,
//   Complete(bool) (a failure says Error(text) first) or Canceled(), whether it ran, was cancelled while
//   queued, was ended because no run took it (cancelled when the worker was closed on request), or was
//   taken by a run that is stopping.
// - The worker lets go of a task (state Finished) on every ending, run or not, also when a close kept its
//   connections; from then on its owner frees it, and must, so nothing stays behind for a later run.
// - The owner may free a task at any time, even while it runs: its destructor unhooks it from the worker
//   under the lock, and the worker reaches a task's fields only under that lock (currentRequest,
//   storeResult, storeListing). What a method stores belongs to the task from then on, or is freed there
//   when the task has gone; the method never reads it afterwards.
// - Outcomes are delivered queued in the main thread, each step on its own and only to a task still
//   alive: a slot that frees its task or its page (a message box lets the rest of the program run) ends
//   the delivery there.
namespace {

QString unknownError()
{
    return QCoreApplication::translate("Mill", "Unknow error");
}

} // namespace

Mill::Mill(QObject *owner)
    : QThread(owner)
    , m_owner(owner)
{
    connect(this, &QThread::finished, this, &Mill::onFinished);
    // Remember, in the emitting thread, which outcome the running task has been given.
    connect(
        this, &Mill::Complete, this, [this](bool) { m_sentComplete.store(true); }, Qt::DirectConnection);
    connect(
        this, &Mill::Canceled, this, [this] { m_sentCanceled.store(true); }, Qt::DirectConnection);
    connect(
        this, &Mill::Error, this, [this](const QString &) { m_sentError.store(true); }, Qt::DirectConnection);
}

Mill::~Mill()
{
    // A run that was just starting clears the flags as it begins: they are set until it has ended.
    do {
        m_stop.store(true);
        m_interrupt.store(true);
    } while (!wait(100));
    QMutexLocker locker(&m_lock);
    for (DeviceTask *task : std::as_const(m_queue))
        task->m_mill = nullptr;
    if (m_current)
        m_current->m_mill = nullptr;
    m_queue.clear();
}

void Mill::enqueue(DeviceTask *task)
{
    if (!task)
        return;
    ++m_pending;
    bool accepted = false;
    {
        QMutexLocker locker(&m_lock);
        m_queue.append(task);
        task->m_mill = this;
        task->setState(DeviceTask::Queued);
        // A connection being replaced takes it once it is there.
        accepted = m_accepting || m_replacing;
    }
    task->onEnqueued();
    m_semaphore.release();
    if (!accepted) {
        // No loop will take it: tell the owner now instead of leaving it waiting for a start that may never come.
        QMutexLocker locker(&m_lock);
        endQueuedLocked(unknownError());
    }
}

void Mill::cancel(DeviceTask *task)
{
    if (!task)
        return;
    {
        QMutexLocker locker(&m_lock);
        if (m_current == task && task->state() != DeviceTask::Finished) {
            m_interrupt.store(true);
            return;
        }
        if (!m_queue.removeOne(task))
            return;
        task->m_mill = nullptr;
        // It will never run: its owner may free it once it has heard the outcome.
        task->setState(DeviceTask::Finished);
    }
    --m_pending;
    task->onCancel();
    task->onCanceled();
}

void Mill::start(QThread::Priority priority)
{
    bool ending = false;
    {
        QMutexLocker locker(&m_lock);
        ending = isRunning() && !m_accepting;
        m_accepting = true;
        // Tasks kept for a new connection are this run's now.
        m_replacing = false;
    }
    // A run past its loop takes no more tasks; let it end (it has only its last bookkeeping left).
    if (ending)
        wait();
    QThread::start(priority);
}

void Mill::forgetTask(DeviceTask *task)
{
    // Only the worker thread clears the pointer concurrently, and a mill outlives the pointer (its
    // destructor clears it in this thread), so what is read here is alive.
    Mill *mill = task->m_mill.load();
    if (!mill)
        return;
    QMutexLocker locker(&mill->m_lock);
    if (mill->m_queue.removeAll(task) > 0) {
        task->setState(DeviceTask::Finished);
        // It will hear nothing: no outcome is owed to it any more.
        --mill->m_pending;
    }
    if (mill->m_current == task)
        mill->m_current = nullptr;
    task->m_mill = nullptr;
}

bool Mill::hasPendingTasks() const
{
    return m_pending > 0;
}

bool Mill::isReplacingConnection() const
{
    QMutexLocker locker(&m_lock);
    return m_replacing;
}

void Mill::endReplacement()
{
    QMutexLocker locker(&m_lock);
    if (!std::exchange(m_replacing, false))
        return;
    endQueuedLocked(interruptedText());
}

bool Mill::isAccepting() const
{
    const bool running = isRunning();
    QMutexLocker locker(&m_lock);
    return m_accepting && running;
}

DeviceTask *Mill::currentTask() const
{
    QMutexLocker locker(&m_lock);
    return m_current;
}

int Mill::percent(int done, int total)
{
    if (total <= 0)
        return 0;
    return int(double(done) / double(total) * 100.0);
}

QString Mill::status() const
{
    QMutexLocker locker(&m_lock);
    return m_status;
}

void Mill::setStatus(const QString &status)
{
    QMutexLocker locker(&m_lock);
    m_status = status;
}

QString Mill::currentRequest() const
{
    QMutexLocker locker(&m_lock);
    return m_current ? m_current->request() : QString();
}

QByteArray Mill::currentPayload() const
{
    QMutexLocker locker(&m_lock);
    return m_current ? m_current->payload() : QByteArray();
}

void Mill::storeResult(const QString &result)
{
    QMutexLocker locker(&m_lock);
    if (m_current)
        m_current->setResult(result);
}

void Mill::storeListing(QList<DeviceFileSystemItem *> *listing)
{
    QMutexLocker locker(&m_lock);
    if (m_current) {
        m_current->setListing(listing);
        return;
    }
    // Nobody is left to take it over.
    if (listing) {
        qDeleteAll(*listing);
        delete listing;
    }
}

void Mill::idle() {}

bool Mill::open()
{
    return true;
}

void Mill::close()
{
    m_stop.store(false);
    m_interrupt.store(false);
}

void Mill::execute(DeviceTask *) {}

void Mill::stop()
{
    if (m_poll.load() <= 0) {
        quit();
        return;
    }
    do {
        m_interrupt.store(true);
        m_stop.store(true);
    } while (!wait(100));
}

void Mill::interrupt(bool b)
{
    if (b && !m_interrupt.load())
        return;
    throw MillInterruptException();
}

void Mill::millExceptionIfNotTrue(bool ok)
{
    if (!ok)
        throw MillInterruptException();
}

void Mill::wantCancelException(bool b)
{
    if (!b)
        return;
    emit Cancel();
    throw MillCancelException();
}

void Mill::onFinished()
{
    if (m_restartDelay.load() > 0) {
        m_restartTimerId = startTimer(m_restartDelay.load());
        m_restartDelay.store(0);
    }
}

void Mill::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_restartTimerId) {
        QThread::timerEvent(event);
        return;
    }
    killTimer(m_restartTimerId);
    m_restartTimerId = 0;
    start();
}

void Mill::endQueuedLocked(const QString &text)
{
    // Closed on request (a disconnect, a removal, the program's end): nothing failed, the user let the
    // receiver go, as for a task taken by a run that is stopping.
    const bool canceled = m_closing.load();
    for (DeviceTask *task : std::as_const(m_queue)) {
        task->m_mill = nullptr;
        // It never ran and never will: once told, its owner may free it.
        task->setState(DeviceTask::Finished);
        // Delivered in the main thread like every other task slot. The error handler may free the task or
        // its page (a message box runs the event loop), so the completion goes only to a task still there.
        const QPointer<DeviceTask> alive(task);
        QMetaObject::invokeMethod(
            this,
            [this, alive, text, canceled] {
                --m_pending;
                if (canceled) {
                    if (alive)
                        alive->onCanceled();
                    return;
                }
                if (alive)
                    alive->onError(text);
                if (alive)
                    alive->onComplete(false);
            },
            Qt::QueuedConnection);
    }
    m_queue.clear();
}

void Mill::run()
{
    m_stop.store(false);
    m_interrupt.store(false);
    m_closing.store(false);
    // A connection kept for the close of the last run must not stick to the tasks of this one.
    m_keepTaskConnections.store(false);
    setStatus(QStringLiteral("starting"));
    {
        QMutexLocker locker(&m_lock);
        m_accepting = true;
        // Tasks from before this run were told at the end of the last one, or when they came; what is
        // queued now came after start() and is for this run: one permit each.
        while (m_semaphore.tryAcquire())
            ;
        m_semaphore.release(int(m_queue.size()));
        releaseKeptConnectionsLocked();
    }

    bool opened = false;
    try {
        opened = open();
    } catch (...) {
        opened = false;
    }
    if (opened) {
        setStatus(QStringLiteral("started"));
        // Nothing more goes over a connection that went under the run: the tasks wait for the next one.
        while (!connectionGone()) {
            const int poll = m_poll.load();
            const bool permit = poll >= 0 ? m_semaphore.tryAcquire(1, poll) : (m_semaphore.acquire(), true);
            DeviceTask *task = nullptr;
            if (permit) {
                QMutexLocker locker(&m_lock);
                if (!m_queue.isEmpty() && !connectionGone()) {
                    releaseKeptConnectionsLocked();
                    task = m_queue.takeFirst();
                    m_current = task;
                    // Cleared here, under the lock that cancel() sets it under: a cancel of this task from
                    // now on, even before it runs, is kept.
                    m_interrupt.store(false);
                    task->setState(DeviceTask::Taken);
                    // Connected under the lock: the task cannot be destroyed in between.
                    m_taskConnections = {
                        connect(this, &Mill::Start, task, &DeviceTask::onStart, Qt::QueuedConnection),
                        connect(this, &Mill::Progress, task, &DeviceTask::onProgress, Qt::QueuedConnection),
                        connect(this, &Mill::Progress64, task, &DeviceTask::onProgress64, Qt::QueuedConnection),
                        connect(this, &Mill::Status, task, &DeviceTask::onStatus, Qt::QueuedConnection),
                        connect(this, &Mill::Cancel, task, &DeviceTask::onCancel, Qt::QueuedConnection),
                        connect(this, &Mill::Canceled, task, &DeviceTask::onCanceled, Qt::QueuedConnection),
                        connect(this, &Mill::Error, task, &DeviceTask::onError, Qt::QueuedConnection),
                        connect(this, &Mill::Complete, task, &DeviceTask::onComplete, Qt::QueuedConnection)};
                    task->setState(DeviceTask::Running);
                }
            }
            if (!task) {
                try {
                    idle();
                } catch (...) {
                }
            } else {
                const bool started = runTask(task);
                // Posted after every signal of the task: the owner has heard the outcome (and may have
                // handed in its next task) before the worker counts it as done.
                QMetaObject::invokeMethod(
                    this, [this] { --m_pending; }, Qt::QueuedConnection);
                QMutexLocker locker(&m_lock);
                // A task taken only to be told the run is stopping has nothing to do with the close: its
                // outcome is sent, so it is released now rather than at the next run, which may never come.
                if (!m_keepTaskConnections.load() || !started) {
                    for (const QMetaObject::Connection &connection : std::as_const(m_taskConnections))
                        disconnect(connection);
                    m_taskConnections.clear();
                    if (m_current == task) {
                        task->setState(DeviceTask::Finished);
                        task->m_mill = nullptr;
                        // Its owner may delete it from now on: the pointer must not outlive that.
                        m_current = nullptr;
                    }
                }
            }
            if (m_stop.load())
                break;
        }
    }
    // A connection that went without anyone asking (given up after a silence, dropped) is replaced by the next run,
    // which the subclass starts at once: the tasks waiting, and those handed in meanwhile, go over that one. A
    // worker told to stop (a close, a keep-alive that went unanswered, its end) keeps none.
    const bool replace = opened && !m_stop.load() && !m_closing.load() && connectionGone();
    {
        QMutexLocker locker(&m_lock);
        m_accepting = false;
        m_replacing = replace;
        // Tasks still waiting when the link ends without being asked to: their step did not happen
        // because the connection went (or never came), and that is what their owners are told.
        if (!replace)
            endQueuedLocked(opened ? interruptedText() : tr("The connection to the device could not be established."));
        m_status = QStringLiteral("finishing");
    }
    try {
        close();
    } catch (...) {
    }
    {
        // Connections kept for the close are not needed past it: the last task is let go now, so its
        // owner can free it, rather than at a next run that may never come.
        QMutexLocker locker(&m_lock);
        releaseKeptConnectionsLocked();
        m_status = QStringLiteral("finished");
    }
}

QString Mill::interruptedText()
{
    return tr("The connection to the device was interrupted.");
}

void Mill::releaseKeptConnectionsLocked()
{
    // Connections kept for the close of an earlier run must not carry the next task's signals.
    for (const QMetaObject::Connection &connection : std::as_const(m_taskConnections))
        disconnect(connection);
    m_taskConnections.clear();
    if (m_current && m_current->state() == DeviceTask::Running) {
        m_current->setState(DeviceTask::Finished);
        m_current->m_mill = nullptr;
        m_current = nullptr;
    }
}

bool Mill::runTask(DeviceTask *task)
{
    m_sentComplete.store(false);
    m_sentCanceled.store(false);
    m_sentError.store(false);
    if (m_stop.load()) {
        closeOutcome(Ending::Canceled, QString());
        return false;
    }
    try {
        execute(task);
        closeOutcome(Ending::Normal, QString());
    } catch (const MillCancelException &) {
        closeOutcome(Ending::Canceled, QString());
    } catch (const MillInterruptException &) {
        if (m_interrupt.load() || m_stop.load())
            closeOutcome(Ending::Canceled, QString());
        else
            closeOutcome(Ending::Failed, interruptedText());
    } catch (const DVB24CommunicationException &e) {
        closeOutcome(Ending::Failed, DVB24CommunicationExceptionMessages::message(e.code()));
    } catch (const QString &) {
        closeOutcome(Ending::Failed, tr("The request could not be read."));
    } catch (...) {
        closeOutcome(Ending::Failed, unknownError());
    }
    return true;
}

void Mill::closeOutcome(Ending ending, const QString &error)
{
    if (m_sentComplete.load() || m_sentCanceled.load())
        return;
    if (m_sentError.load()) {
        emit Complete(false);
        return;
    }
    switch (ending) {
    case Ending::Canceled:
        emit Canceled();
        break;
    case Ending::Failed:
        emit Error(error);
        emit Complete(false);
        break;
    case Ending::Normal:
        // A method that returned without telling anything: a silent end would leave its owner waiting.
        emit Error(unknownError());
        emit Complete(false);
        break;
    }
}
