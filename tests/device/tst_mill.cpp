#include "testmain.h"

#include "device/core/mill.h"
#include "device/core/millcancelexception.h"
#include "device/core/millinterruptexception.h"
#include "device/protocol/dvb24communicationexception.h"
#include "device/transfers/devicefilesystemitem.h"
#include "recordingtask.h"

#include <QDeadlineTimer>
#include <QPointer>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>

#include <functional>

namespace {

// A worker whose job is whatever the test puts in `job`.
class ScriptedMill : public Mill
{
public:
    ScriptedMill()
        : Mill(nullptr)
    {
        setPoll(20);
    }
    ~ScriptedMill() override
    {
        setStopFlag(true);
        wait();
    }
    std::function<void(ScriptedMill &, DeviceTask *)> job;
    std::atomic_int executed{0};
    std::atomic_bool opens{true};
    // A run waits here before it opens, so tasks can be handed in before it finds no connection.
    QSemaphore *beforeOpen = nullptr;
    bool open() override
    {
        if (beforeOpen)
            beforeOpen->acquire();
        return opens.load();
    }
    void execute(DeviceTask *task) override
    {
        ++executed;
        if (job)
            job(*this, task);
    }
};

QStringList failed(const QString &error)
{
    return {"enqueued", "error:" + error, "complete:false"};
}

// The ways a method can end, one per row of the outcome table.
const std::function<void(ScriptedMill &)> paths[] = {
    [](ScriptedMill &m) { emit m.Complete(true); },
    [](ScriptedMill &m) { emit m.Error(QStringLiteral("bad")); },
    [](ScriptedMill &m) { m.wantCancelException(true); },
    [](ScriptedMill &m) { m.millExceptionIfNotTrue(false); },
    [](ScriptedMill &) { throw DVB24CommunicationException(char(0xFC)); },
    [](ScriptedMill &) { throw 42; },
    [](ScriptedMill &) {},
    [](ScriptedMill &m) { emit m.Error(QStringLiteral("e")), emit m.Complete(true); },
    [](ScriptedMill &) { throw QStringLiteral("parse"); },
    // A cancel that lands just after the loop cleared the flag.
    [](ScriptedMill &m) { m.setInterruptFlag(true), m.interrupt(true); },
    // A method that reports its cancel itself, then leaves by a failed read, a refused status, a return.
    [](ScriptedMill &m) { emit m.Canceled(), m.millExceptionIfNotTrue(false); },
    [](ScriptedMill &m) {
        emit m.Canceled();
        throw DVB24CommunicationException(char(0xFF));
    },
    [](ScriptedMill &m) { emit m.Canceled(); },
};

// A task whose page goes while it hears the error, as when the page's message box lets the program run on.
class GoneOnError : public RecordingTask
{
public:
    explicit GoneOnError(QObject *page)
        : RecordingTask(page, QString())
    {}
    void onError(QString text) override
    {
        RecordingTask::onError(text);
        delete parent();
    }
};

} // namespace

class TestMill : public QObject
{
    Q_OBJECT
    QObject owner; // parent of the tasks of a test
    RecordingTask *task(const QString &request = QString()) { return new RecordingTask(&owner, request); }
    // A job that completes its task once hold is released, and ends the run with it.
    static std::function<void(ScriptedMill &, DeviceTask *)> heldThenStopped(QSemaphore &hold)
    {
        return [&hold](ScriptedMill &m, DeviceTask *) {
            hold.acquire();
            m.setStopFlag(true);
            emit m.Complete(true);
        };
    }
    // The second action: the same worker, started again, runs a task to its end.
    void servesAgain(ScriptedMill &mill)
    {
        mill.job = [](ScriptedMill &m, DeviceTask *) { emit m.Complete(true); };
        mill.start();
        RecordingTask *next = task();
        mill.enqueue(next);
        QTRY_COMPARE(next->calls, (QStringList{"enqueued", "complete:true"}));
    }

private slots:
    void cleanup() { qDeleteAll(owner.children()); }

    // Whatever a method does, its task hears exactly one outcome, and nothing after it; a task cancelled
    // through the worker while its method runs ends cancelled.
    void outcomePerPath_data()
    {
        QTest::addColumn<int>("path");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QStringList>("calls");
        const QStringList cancelled{"enqueued", "canceled"};
        QTest::newRow("completed") << 0 << false << QStringList{"enqueued", "complete:true"};
        QTest::newRow("error only") << 1 << false << failed("bad");
        QTest::newRow("cancel") << 2 << false << QStringList{"enqueued", "cancel", "canceled"};
        QTest::newRow("failed primitive") << 3 << false << failed("The connection to the device was interrupted.");
        QTest::newRow("refused status") << 4 << false << failed("Device is busy now. Please try again later.");
        QTest::newRow("foreign exception") << 5 << false << failed("Unknow error");
        QTest::newRow("silent return") << 6 << false << failed("Unknow error");
        QTest::newRow("error then complete") << 7 << false << QStringList{"enqueued", "error:e", "complete:true"};
        QTest::newRow("unreadable request") << 8 << false << failed("The request could not be read.");
        QTest::newRow("interrupt at the entry check") << 9 << false << cancelled;
        QTest::newRow("cancelled, the loop reports") << 2 << true << QStringList{"enqueued", "cancel", "canceled"};
        QTest::newRow("cancelled, then a failed read") << 10 << true << cancelled;
        QTest::newRow("cancelled, then a refused status") << 11 << true << cancelled;
        QTest::newRow("cancelled, then returned") << 12 << true << cancelled;
        QTest::newRow("cancelled, then failed") << 3 << true << cancelled;
    }
    void outcomePerPath()
    {
        QFETCH(int, path);
        QFETCH(bool, cancel);
        QFETCH(QStringList, calls);
        ScriptedMill mill;
        std::atomic_bool running{false};
        mill.job = [&](ScriptedMill &m, DeviceTask *) {
            running = true;
            while (cancel && !m.isInterruptRequested())
                QThread::msleep(2);
            paths[path](m);
        };
        mill.start();
        RecordingTask *t = task();
        mill.enqueue(t);
        if (cancel) {
            QTRY_VERIFY(running.load());
            mill.cancel(t);
        }
        QTRY_COMPARE(t->state(), int(DeviceTask::Finished));
        QTRY_COMPARE(t->calls, calls);
        QTest::qWait(60);
        QCOMPARE(t->calls, calls);
    }

    void queueOrderAndStates()
    {
        ScriptedMill mill;
        QStringList order;
        QSemaphore gate;
        mill.job = [&](ScriptedMill &m, DeviceTask *t) {
            if (t->request() == QLatin1String("first"))
                gate.acquire();
            order << t->request();
            emit m.Complete(true);
        };
        RecordingTask *first = task(QStringLiteral("first")), *second = task(QStringLiteral("second")),
                      *third = task(QStringLiteral("third"));
        mill.start();
        for (RecordingTask *t : {first, second, third})
            mill.enqueue(t);
        QCOMPARE(second->state(), int(DeviceTask::Queued));
        QTRY_COMPARE(first->state(), int(DeviceTask::Running));
        QCOMPARE(mill.currentTask(), first);
        // A queued task cancelled is removed and told at once; a task the worker does not hold is ignored.
        mill.cancel(second);
        QCOMPARE(second->calls, (QStringList{"enqueued", "cancel", "canceled"}));
        RecordingTask stranger(nullptr, QString());
        mill.cancel(&stranger);
        QVERIFY(stranger.calls.isEmpty());
        gate.release();
        QTRY_COMPARE(third->calls, (QStringList{"enqueued", "complete:true"}));
        QCOMPARE(order, (QStringList{"first", "third"}));
        QCOMPARE(second->calls.size(), 3);
    }

    // A cancel that comes as soon as the worker has taken the task, before its method has begun: the
    // method sees it, and the task ends cancelled, never completed.
    void cancelRightAfterTheTaskIsTaken()
    {
        ScriptedMill mill;
        mill.job = [](ScriptedMill &m, DeviceTask *) {
            // the cancel is on its way: waited for, but not for ever, so that a lost one shows as completed
            QDeadlineTimer deadline(10000);
            while (!m.isInterruptRequested() && !deadline.hasExpired())
                QThread::yieldCurrentThread();
            if (m.isInterruptRequested())
                m.wantCancelException(true);
            emit m.Complete(true);
        };
        mill.start();
        for (int round = 0; round < 150; ++round) {
            RecordingTask *t = task();
            mill.enqueue(t);
            while (t->state() != int(DeviceTask::Running))
                QThread::yieldCurrentThread();
            mill.cancel(t);
            QTRY_COMPARE_WITH_TIMEOUT(t->calls.size(), 3, 20000);
            QCOMPARE(t->calls, (QStringList{"enqueued", "cancel", "canceled"}));
            delete t;
        }
    }

    // No page is left waiting for a run that will never take its task.
    void tasksNoRunTakesFail()
    {
        ScriptedMill mill;
        RecordingTask *early = task();
        mill.enqueue(early);
        QTRY_COMPARE(early->calls, failed("Unknow error"));
        QSemaphore hold;
        mill.job = heldThenStopped(hold);
        mill.start();
        RecordingTask *first = task(), *second = task();
        mill.enqueue(first);
        mill.enqueue(second);
        hold.release();
        QTRY_VERIFY(mill.isFinished());
        // The run ended without being asked to (a lost link): the waiting task is told so.
        QTRY_COMPARE(second->calls, failed("The connection to the device was interrupted."));
        QCOMPARE(first->calls, (QStringList{"enqueued", "complete:true"}));
        QCOMPARE(mill.executed.load(), 1);
    }

    // A run that never got its connection: the tasks handed in for it are told the connection could not be
    // made, not an unknown error.
    void tasksOfARunThatNeverConnected()
    {
        ScriptedMill mill;
        QSemaphore opening;
        mill.beforeOpen = &opening;
        mill.opens = false;
        mill.start();
        RecordingTask *waiting = task();
        mill.enqueue(waiting);
        opening.release();
        QTRY_VERIFY(mill.isFinished());
        QTRY_COMPARE(waiting->calls, failed("The connection to the device could not be established."));
        QCOMPARE(mill.executed.load(), 0);
    }

    void taskDeletedWhileRunning()
    {
        ScriptedMill mill;
        QSemaphore deleted;
        QString request = QStringLiteral("unread");
        mill.job = [&](ScriptedMill &m, DeviceTask *) {
            deleted.acquire();
            m.storeResult(QStringLiteral("late"));
            request = m.currentRequest();
            emit m.Complete(true);
        };
        mill.start();
        auto *t = new RecordingTask(nullptr, QStringLiteral("r"));
        mill.enqueue(t);
        QTRY_COMPARE(t->state(), int(DeviceTask::Running));
        delete t;
        QCOMPARE(mill.currentTask(), nullptr);
        deleted.release();
        QTRY_COMPARE(request, QString());
    }

    // A task that ends without running is let go like one that ran: its owner frees finished tasks only.
    void tasksEndingUnrunAreFinished_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::newRow("no run takes it") << "norun";
        QTest::newRow("cancelled while queued") << "cancel";
        QTest::newRow("left queued when the run stops") << "stop";
    }
    void tasksEndingUnrunAreFinished()
    {
        QFETCH(QString, ending);
        ScriptedMill mill;
        QSemaphore hold;
        mill.job = heldThenStopped(hold);
        RecordingTask *t = task();
        if (ending == QLatin1String("norun")) {
            mill.enqueue(t);
        } else {
            mill.start();
            RecordingTask *running = task();
            mill.enqueue(running);
            mill.enqueue(t);
            QTRY_COMPARE(running->state(), int(DeviceTask::Running));
            if (ending == QLatin1String("cancel"))
                mill.cancel(t);
            hold.release();
            QTRY_VERIFY(mill.isFinished());
        }
        QTRY_COMPARE(t->outcomes(), 1);
        QCOMPARE(t->state(), int(DeviceTask::Finished));
        QCOMPARE(mill.executed.load(), ending == QLatin1String("norun") ? 0 : 1);
        servesAgain(mill);
    }

    // The run a close ends lets go of the task it ran, though the close kept its connections: the owner
    // frees only what the worker has let go, and no later run may come to do it.
    void taskRunAtACloseIsLetGo()
    {
        ScriptedMill mill;
        mill.job = [](ScriptedMill &m, DeviceTask *) {
            m.setKeepTaskConnections(true);
            m.setStopFlag(true);
            emit m.Complete(true);
        };
        mill.start();
        RecordingTask *t = task();
        mill.enqueue(t);
        QTRY_VERIFY(mill.isFinished());
        QCOMPARE(t->calls, (QStringList{"enqueued", "complete:true"}));
        QCOMPARE(t->state(), int(DeviceTask::Finished));
        QCOMPARE(mill.currentTask(), nullptr);
        QVERIFY(!mill.hasPendingTasks());
    }

    // A page that goes while it hears a task fail (its message box lets the program run on) hears no more,
    // and the task is not touched again.
    void failedTaskGoneInItsErrorHandler_data()
    {
        QTest::addColumn<bool>("running");
        QTest::newRow("no run takes it") << false;
        QTest::newRow("left queued when the run stops") << true;
    }
    void failedTaskGoneInItsErrorHandler()
    {
        QFETCH(bool, running);
        ScriptedMill mill;
        QSemaphore hold;
        mill.job = heldThenStopped(hold);
        auto *page = new QObject;
        auto *t = new GoneOnError(page);
        QPointer<GoneOnError> watched(t);
        if (running) {
            mill.start();
            mill.enqueue(task());
        }
        mill.enqueue(t);
        QVERIFY(mill.hasPendingTasks());
        hold.release();
        QTRY_VERIFY(!watched);
        QTRY_VERIFY(!mill.hasPendingTasks());
        servesAgain(mill);
    }

    // Whether the worker has work of a page: from the hand-in until the outcome has been heard, also in the
    // moment between one task's outcome and the next one its page hands in then; every ending counts.
    void pendingTasksUntilTheOutcomeIsHeard()
    {
        ScriptedMill mill;
        QSemaphore gate;
        mill.job = [&gate](ScriptedMill &m, DeviceTask *) {
            gate.acquire();
            emit m.Complete(true);
        };
        QVERIFY(!mill.hasPendingTasks());
        mill.start();
        RecordingTask *first = task();
        QList<bool> pendingAtOutcome;
        int chained = 0;
        std::function<void(DeviceTask *)> chain = [&](DeviceTask *t) {
            connect(t, &DeviceTask::Complete, this, [&](bool) {
                pendingAtOutcome << mill.hasPendingTasks();
                if (++chained < 3) {
                    RecordingTask *next = task();
                    chain(next);
                    mill.enqueue(next);
                    gate.release();
                }
            });
        };
        chain(first);
        mill.enqueue(first);
        QVERIFY(mill.hasPendingTasks());
        gate.release();
        QTRY_COMPARE(chained, 3);
        QCOMPARE(pendingAtOutcome, (QList<bool>{true, true, true}));
        QTRY_VERIFY(!mill.hasPendingTasks());
        // A queued task cancelled, one freed while queued, and one failed because no run takes it.
        mill.job = [&gate](ScriptedMill &m, DeviceTask *) {
            gate.acquire();
            emit m.Complete(true);
        };
        RecordingTask *running = task(), *cancelled = task(), *freed = task();
        for (RecordingTask *t : {running, cancelled, freed})
            mill.enqueue(t);
        QTRY_COMPARE(running->state(), int(DeviceTask::Running));
        mill.cancel(cancelled);
        delete freed;
        QVERIFY(mill.hasPendingTasks());
        gate.release();
        QTRY_VERIFY(!mill.hasPendingTasks());
        mill.setStopFlag(true);
        QTRY_VERIFY(mill.isFinished());
        RecordingTask *unrun = task();
        mill.enqueue(unrun);
        QVERIFY(mill.hasPendingTasks());
        QTRY_COMPARE(unrun->calls, failed("Unknow error"));
        QTRY_VERIFY(!mill.hasPendingTasks());
    }

    // A listing stored when its task has gone is freed, not dropped (the leak check at exit sees it).
    void listingWithoutTaskIsFreed()
    {
        ScriptedMill mill;
        auto *listing = new QList<DeviceFileSystemItem *>{
            new DeviceFileSystemItem(QStringLiteral("a.ts"), QString(), DeviceFileSystemItem::File, 1, {}, false, -1)};
        mill.storeListing(listing);
        QCOMPARE(mill.currentTask(), nullptr);
        mill.storeListing(nullptr);
    }

    // Tasks waiting when the worker is closed on request (a disconnect, a removal) are cancelled, not
    // failed: the user let the receiver go. So is one handed in after that close; a new run serves again.
    void waitingTasksOfAClosedWorkerAreCancelled()
    {
        ScriptedMill mill;
        QSemaphore hold;
        mill.job = [&hold](ScriptedMill &m, DeviceTask *) {
            hold.acquire();
            emit m.Complete(true);
        };
        mill.start();
        RecordingTask *running = task(), *waiting = task();
        // A plain task's owner, as a listing model, only listens to its signals.
        auto *plain = new DeviceTask(&owner, QString());
        QSignalSpy plainCanceled(plain, &DeviceTask::Canceled);
        mill.enqueue(running);
        mill.enqueue(waiting);
        mill.enqueue(plain);
        QTRY_COMPARE(running->state(), int(DeviceTask::Running));
        mill.setClosing(true);
        mill.setStopFlag(true);
        hold.release();
        QTRY_VERIFY(mill.isFinished());
        QTRY_COMPARE(waiting->calls, (QStringList{"enqueued", "canceled"}));
        QTRY_COMPARE(plainCanceled.count(), 1);
        QCOMPARE(running->calls, (QStringList{"enqueued", "complete:true"}));
        RecordingTask *late = task();
        mill.enqueue(late);
        QTRY_COMPARE(late->calls, (QStringList{"enqueued", "canceled"}));
        QTRY_VERIFY(!mill.hasPendingTasks());
        servesAgain(mill);
        QCOMPARE(mill.executed.load(), 2);
    }

    // A new run drops the connections kept for the close of the last one.
    void restartAfterDelay()
    {
        ScriptedMill mill;
        QSignalSpy started(&mill, &QThread::started);
        mill.job = [](ScriptedMill &m, DeviceTask *) {
            m.setRestartDelay(30);
            m.setKeepTaskConnections(true);
            m.setStopFlag(true);
            emit m.Complete(true);
        };
        mill.start();
        RecordingTask *first = task();
        mill.enqueue(first);
        QTRY_COMPARE(started.count(), 2);
        QTRY_VERIFY(!mill.keepsTaskConnections());
        mill.job = [](ScriptedMill &m, DeviceTask *) { emit m.Complete(true); };
        RecordingTask *second = task();
        mill.enqueue(second);
        QTRY_COMPARE(second->calls, (QStringList{"enqueued", "complete:true"}));
        QCOMPARE(first->calls, (QStringList{"enqueued", "complete:true"}));
        QCOMPARE(first->state(), int(DeviceTask::Finished));
    }
};

OMBRELAY_TEST_MAIN(TestMill)
#include "tst_mill.moc"
