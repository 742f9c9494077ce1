#include "testmain.h"

#include "device/core/devicecommunicationmanager.h"
#include "device/core/mill.h"
#include "device/core/millcancelexception.h"
#include "device/core/millinterruptexception.h"
#include "device/protocol/dvb24communicationexception.h"
#include "recordingtask.h"

#include <QSemaphore>
#include <QSignalSpy>

#include <functional>

namespace {

// A worker whose job is whatever the test puts in `job`; idle passes are counted.
class ScriptedMill : public Mill
{
public:
    explicit ScriptedMill(QObject *owner)
        : Mill(owner)
    {
        setPoll(20);
    }
    ~ScriptedMill() override
    {
        setStopFlag(true);
        wait();
    }

    std::function<void(ScriptedMill &, DeviceTask *)> job;
    std::atomic_int idles{0};
    std::atomic_int executed{0};

    void idle() override { ++idles; }
    void execute(DeviceTask *task) override
    {
        ++executed;
        if (job)
            job(*this, task);
    }
    // Emitting from outside the class, as methods added elsewhere do.
    void complete(bool ok) { emit Complete(ok); }
    void error(const QString &text) { emit Error(text); }
};

} // namespace

class TestMill : public QObject
{
    Q_OBJECT
private slots:
    void outcomePerPath_data()
    {
        QTest::addColumn<int>("path");
        QTest::addColumn<QStringList>("calls");
        const QString unknown = QStringLiteral("error:Unknow error");
        QTest::newRow("completed") << 0 << QStringList{"enqueued", "complete:true"};
        QTest::newRow("error only") << 1 << QStringList{"enqueued", "error:bad", "complete:false"};
        QTest::newRow("cancel") << 2 << QStringList{"enqueued", "cancel", "canceled"};
        QTest::newRow("failed primitive")
            << 3 << QStringList{"enqueued", "error:The connection to the device was interrupted.", "complete:false"};
        QTest::newRow("refused status") << 4
                                        << QStringList{"enqueued", "error:Device is busy now. Please try again later.",
                                                       "complete:false"};
        QTest::newRow("foreign exception") << 5 << QStringList{"enqueued", unknown, "complete:false"};
        QTest::newRow("silent return") << 6 << QStringList{"enqueued", unknown, "complete:false"};
        QTest::newRow("error then complete") << 7 << QStringList{"enqueued", "error:e", "complete:true"};
        QTest::newRow("unreadable request")
            << 8 << QStringList{"enqueued", "error:The request could not be read.", "complete:false"};
        QTest::newRow("interrupt at the entry check") << 9 << QStringList{"enqueued", "canceled"};
    }
    void outcomePerPath()
    {
        QFETCH(int, path);
        QFETCH(QStringList, calls);
        QObject owner;
        ScriptedMill mill(nullptr);
        mill.job = [path](ScriptedMill &m, DeviceTask *) {
            switch (path) {
            case 0:
                m.complete(true);
                break;
            case 1:
                m.error(QStringLiteral("bad"));
                break;
            case 2:
                m.wantCancelException(true);
                break;
            case 3:
                m.millExceptionIfNotTrue(false);
                break;
            case 4:
                throw DVB24CommunicationException(char(0xFC));
            case 5:
                throw 42;
            case 6:
                break;
            case 7:
                m.error(QStringLiteral("e"));
                m.complete(true);
                break;
            case 8:
                throw QStringLiteral("parse");
            case 9:
                // A cancel or disconnect that lands just after the loop cleared the flag.
                m.setInterruptFlag(true);
                m.interrupt(true);
                break;
            }
        };
        mill.start();
        auto *task = new RecordingTask(&owner, QString());
        mill.enqueue(task);
        QTRY_COMPARE(task->state(), int(DeviceTask::Finished));
        QTRY_COMPARE(task->calls, calls);
        QCOMPARE(task->outcomes(), 1);
        // Nothing more arrives later.
        QTest::qWait(60);
        QCOMPARE(task->calls, calls);
    }

    void queueOrderAndStates()
    {
        QObject owner;
        ScriptedMill mill(nullptr);
        QStringList order;
        QSemaphore gate;
        mill.job = [&](ScriptedMill &m, DeviceTask *task) {
            if (task->request() == QLatin1String("first"))
                gate.acquire();
            order << task->request();
            m.complete(true);
        };
        auto *first = new RecordingTask(&owner, QStringLiteral("first"));
        auto *second = new RecordingTask(&owner, QStringLiteral("second"));
        auto *third = new RecordingTask(&owner, QStringLiteral("third"));
        QCOMPARE(first->state(), int(DeviceTask::New));
        mill.start();
        mill.enqueue(first);
        mill.enqueue(second);
        mill.enqueue(third);
        QCOMPARE(second->state(), int(DeviceTask::Queued));
        QTRY_COMPARE(first->state(), int(DeviceTask::Running));
        QCOMPARE(mill.currentTask(), first);

        // A queued task cancelled is removed and told at once, in this thread.
        mill.cancel(second);
        QCOMPARE(second->calls, (QStringList{"enqueued", "cancel", "canceled"}));
        QCOMPARE(second->state(), int(DeviceTask::Queued));
        // A task the worker does not hold is ignored.
        RecordingTask stranger(nullptr, QString());
        mill.cancel(&stranger);
        QVERIFY(stranger.calls.isEmpty());

        gate.release();
        QTRY_COMPARE(third->state(), int(DeviceTask::Finished));
        QCOMPARE(order, (QStringList{"first", "third"}));
        QTRY_COMPARE(third->calls, (QStringList{"enqueued", "complete:true"}));
        QCOMPARE(second->calls.size(), 3);
    }

    void runningTaskCancelled()
    {
        QObject owner;
        ScriptedMill mill(nullptr);
        std::atomic_bool running{false};
        mill.job = [&](ScriptedMill &m, DeviceTask *) {
            running = true;
            for (;;) {
                m.wantCancelException(m.isInterruptRequested());
                QThread::msleep(2);
            }
        };
        mill.start();
        auto *task = new RecordingTask(&owner, QString());
        mill.enqueue(task);
        QTRY_VERIFY(running.load());
        mill.cancel(task);
        QTRY_COMPARE(task->calls, (QStringList{"enqueued", "cancel", "canceled"}));
        QCOMPARE(task->outcomes(), 1);
    }

    void enqueuedWithoutWorkerFailsAtOnce()
    {
        QObject owner;
        ScriptedMill mill(nullptr);
        auto *task = new RecordingTask(&owner, QString());
        mill.enqueue(task);
        QTRY_COMPARE(task->calls, (QStringList{"enqueued", "error:Unknow error", "complete:false"}));
        QCOMPARE(mill.executed.load(), 0);
    }

    void tasksLeftAtStopFail()
    {
        QObject owner;
        ScriptedMill mill(nullptr);
        QSemaphore hold;
        mill.start();
        auto *first = new RecordingTask(&owner, QString());
        auto *second = new RecordingTask(&owner, QString());
        // Both are queued before the worker can take the first one.
        mill.job = [&hold](ScriptedMill &m, DeviceTask *) {
            hold.acquire();
            m.setStopFlag(true);
            m.complete(true);
        };
        mill.enqueue(first);
        mill.enqueue(second);
        hold.release();
        QTRY_VERIFY(mill.isFinished());
        QTRY_COMPARE(first->calls, (QStringList{"enqueued", "complete:true"}));
        QTRY_COMPARE(second->calls, (QStringList{"enqueued", "error:Unknow error", "complete:false"}));
        QCOMPARE(mill.executed.load(), 1);
    }

    void idleRunsWhileNothingComes()
    {
        ScriptedMill mill(nullptr);
        mill.start();
        QTRY_VERIFY(mill.idles.load() >= 3);
        QCOMPARE(mill.status(), QStringLiteral("started"));
        mill.stop();
        QVERIFY(mill.isFinished());
        QCOMPARE(mill.status(), QStringLiteral("finished"));
    }

    void taskDeletedWhileRunning()
    {
        ScriptedMill mill(nullptr);
        QSemaphore deleted;
        mill.job = [&](ScriptedMill &m, DeviceTask *) {
            deleted.acquire();
            m.storeResult(QStringLiteral("late"));
            QCOMPARE(m.currentRequest(), QString());
            m.complete(true);
        };
        mill.start();
        auto *task = new RecordingTask(nullptr, QStringLiteral("r"));
        mill.enqueue(task);
        QTRY_COMPARE(task->state(), int(DeviceTask::Running));
        delete task;
        QCOMPARE(mill.currentTask(), nullptr);
        deleted.release();
        QTRY_COMPARE(mill.executed.load(), 1);
        QTRY_VERIFY(mill.idles.load() > 0);
    }

    void restartAfterDelay()
    {
        ScriptedMill mill(nullptr);
        QSignalSpy started(&mill, &QThread::started);
        mill.job = [](ScriptedMill &m, DeviceTask *) {
            m.setRestartDelay(30);
            m.setKeepTaskConnections(true);
            m.setStopFlag(true);
            m.complete(true);
        };
        mill.start();
        QObject owner;
        auto *first = new RecordingTask(&owner, QString());
        mill.enqueue(first);
        QTRY_COMPARE(started.count(), 2);
        QCOMPARE(mill.restartDelay(), 0);
        // The new run does not keep the connections of the last one: the next task's signals reach
        // only the next task, and the first one is finished.
        QTRY_VERIFY(!mill.keepsTaskConnections());
        mill.job = [](ScriptedMill &m, DeviceTask *) { m.complete(true); };
        auto *second = new RecordingTask(&owner, QString());
        mill.enqueue(second);
        QTRY_COMPARE(second->calls, (QStringList{"enqueued", "complete:true"}));
        QCOMPARE(first->calls, (QStringList{"enqueued", "complete:true"}));
        QCOMPARE(first->state(), int(DeviceTask::Finished));
    }

    void checks()
    {
        ScriptedMill mill(nullptr);
        bool thrown = false;
        try {
            mill.interrupt(false);
        } catch (const MillInterruptException &) {
            thrown = true;
        }
        QVERIFY(thrown);
        mill.interrupt(true);
        mill.setInterruptFlag(true);
        thrown = false;
        try {
            mill.interrupt(true);
        } catch (const MillInterruptException &) {
            thrown = true;
        }
        QVERIFY(thrown);
        QSignalSpy cancels(&mill, &Mill::Cancel);
        thrown = false;
        try {
            mill.wantCancelException(true);
        } catch (const MillCancelException &) {
            thrown = true;
        }
        QVERIFY(thrown);
        QCOMPARE(cancels.count(), 1);
        mill.wantCancelException(false);
        QCOMPARE(Mill::percent(5, 0), 0);
        QCOMPARE(Mill::percent(1, 3), 33);
        QCOMPARE(Mill::percent(2, 3), 66);
    }

    void baseManagerCancelTellsTask()
    {
        DeviceCommunicationManager manager;
        RecordingTask task(nullptr, QString());
        manager.enqueue(&task);
        QCOMPARE(task.state(), int(DeviceTask::New));
        manager.cancel(&task);
        QCOMPARE(task.calls, (QStringList{"cancel", "canceled"}));
    }
};

OMBRELAY_TEST_MAIN(TestMill)
#include "tst_mill.moc"
