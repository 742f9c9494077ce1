#include "testmain.h"

#include "emulatorlink.h"
#include "recordingtask.h"

#include "device/core/devicecall.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/protocol/dvb24communicationprotocolmill.h"
#include "device/transfers/devicefilesystemitem.h"
#include "device/transfers/receiverfoldercommands.h"

#include <QPointer>
#include <QRegularExpression>

#include <functional>
#include <memory>

namespace {

QString listingCall()
{
    DeviceCall call(QStringLiteral("getFolder"));
    call.setParameter(QStringLiteral("@path"), QStringLiteral("v\\f"));
    return call.toString();
}

// A task that calls back at its error and at its completion, as a page's error handler hands in its next request.
class HandingTask : public RecordingTask
{
public:
    using RecordingTask::RecordingTask;
    std::function<void()> atError, atComplete;
    void onError(QString text) override
    {
        RecordingTask::onError(text);
        if (atError)
            std::exchange(atError, {})();
    }
    void onComplete(bool ok) override
    {
        RecordingTask::onComplete(ok);
        if (atComplete)
            std::exchange(atComplete, {})();
    }
};

} // namespace

// A receiver that lets a listing's wait pass in silence: the connection is given up and the worker connects anew.
// A request handed in at any moment around that (from the failed request's own outcome, while the link is said
// lost, while the old run is over and the new one not started, as the new connection is made, right after it)
// runs over the new connection, and so does one that was waiting behind the failed request.
class TestGivenUpLink : public QObject
{
    Q_OBJECT
    std::unique_ptr<EmulatorLink> e;
    std::unique_ptr<DVB24CommunicationManager> m_manager;
    QStringList m_states;
    std::function<void(const QString &)> m_onState;
    QObject m_owner;

private slots:
    void init()
    {
        // Nothing goes over the connection given up, not even a goodbye.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("device not open")));
        e = std::make_unique<EmulatorLink>();
        QVERIFY(e->emulator.start());
        e->receiverFile(QStringLiteral("v/f/a.ts"), "a");
        m_manager = std::make_unique<DVB24CommunicationManager>();
        m_manager->setPort(e->emulator.port());
        m_states.clear();
        m_onState = {};
        connect(m_manager.get(), &DeviceCommunicationManager::stateChanged, this, [this](const QString &s) {
            m_states << s;
            if (m_onState)
                m_onState(s);
        });
        m_manager->connectToHost(e->emulator.host());
        QTRY_VERIFY(m_states.contains(QStringLiteral("connected")));
    }
    void cleanup()
    {
        ReceiverFolderCommands::listingWaitMs = 15000;
        e->commands->listingDelayMs = 0;
        disconnect(m_manager.get(), nullptr, this, nullptr);
        m_manager->requestInterrupt();
        m_manager->requestClose();
        m_manager.reset();
        e.reset();
        qDeleteAll(m_owner.children());
    }

    void requestAroundAGivenUpLink_data()
    {
        QTest::addColumn<QString>("moment");
        QTest::newRow("queued behind the failed request") << "queued";
        QTest::newRow("from the failed request's error") << "error";
        QTest::newRow("from the failed request's completion") << "complete";
        QTest::newRow("as the link is said lost") << "disconnected";
        QTest::newRow("once the old run is over") << "run over";
        QTest::newRow("as the new connection is made") << "connecting";
        QTest::newRow("right after the new connection") << "connected";
    }
    void requestAroundAGivenUpLink()
    {
        QFETCH(QString, moment);
        ReceiverFolderCommands::listingWaitMs = 300;
        e->commands->listingDelayMs = 1500;
        QPointer<RecordingTask> next;
        const auto handIn = [&] {
            if (next)
                return;
            next = new RecordingTask(&m_owner, listingCall());
            m_manager->enqueue(next);
        };
        auto *failing = new HandingTask(&m_owner, listingCall());
        // The receiver answers again once the request it let pass has failed.
        failing->atError = [&] {
            e->commands->listingDelayMs = 0;
            if (moment == QLatin1String("error"))
                handIn();
        };
        if (moment == QLatin1String("complete"))
            failing->atComplete = handIn;
        const int connectedBefore = int(m_states.count(QStringLiteral("connected")));
        m_onState = [&](const QString &state) {
            if (moment == QLatin1String("run over") && state == QLatin1String("disconnected")) {
                // The old run ends while nothing of the main thread has had its turn: its end is not heard yet.
                QVERIFY(m_manager->mill()->wait(20000));
                handIn();
            } else if (state == moment) {
                if (state != QLatin1String("connected") ||
                    m_states.count(QStringLiteral("connected")) > connectedBefore)
                    handIn();
            }
        };
        m_manager->enqueue(failing);
        if (moment == QLatin1String("queued"))
            handIn();
        QTRY_COMPARE_WITH_TIMEOUT(failing->outcomes(), 1, 20000);
        QCOMPARE(failing->calls, QStringList({"enqueued", "error:The device did not answer.", "complete:false"}));
        QTRY_VERIFY_WITH_TIMEOUT(next && next->outcomes() == 1, 20000);
        QVERIFY2(next->calls == QStringList({"enqueued", "complete:true"}), qPrintable(next->calls.join(" | ")));
        QCOMPARE(next->listing()->size(), 1);
        QCOMPARE(next->listing()->first()->name(), QStringLiteral("a.ts"));
        qDeleteAll(*next->listing());
        delete next->listing();
        next->setListing(nullptr);
        QCOMPARE(e->emulator.connectionCount(), 2);
        QCOMPARE(m_states.count(QStringLiteral("connected")), connectedBefore + 1);
        QVERIFY(m_states.contains(QStringLiteral("disconnected")));
        QCOMPARE(e->emulator.unknownCommands(), 0);
        QVERIFY(!m_manager->mill()->hasPendingTasks());
    }

    // The new connection does not come (the receiver takes none), or the user disconnects while it is being
    // made: the request waiting for it is told so, once, and nothing is left pending.
    void requestWhoseNewConnectionDoesNotCome_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("calls");
        const QStringList canceled{"enqueued", "canceled"};
        QTest::newRow("receiver takes no connection")
            << "refused"
            << QStringList{"enqueued", "error:The connection to the device could not be established.",
                           "complete:false"};
        QTest::newRow("disconnect as the link is said lost") << "disconnect" << canceled;
        QTest::newRow("disconnect once the old run is over") << "disconnect, run over" << canceled;
    }
    void requestWhoseNewConnectionDoesNotCome()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, calls);
        ReceiverFolderCommands::listingWaitMs = 300;
        e->commands->listingDelayMs = 1500;
        QPointer<RecordingTask> next;
        auto *failing = new HandingTask(&m_owner, listingCall());
        failing->atError = [&] {
            if (how != QLatin1String("refused"))
                return;
            e->emulator.setRefuseConnections(true);
            next = new RecordingTask(&m_owner, listingCall());
            m_manager->enqueue(next);
        };
        m_onState = [&](const QString &state) {
            if (how == QLatin1String("refused") || state != QLatin1String("disconnected") || next)
                return;
            if (how.endsWith(QLatin1String("run over")))
                QVERIFY(m_manager->mill()->wait(20000));
            next = new RecordingTask(&m_owner, listingCall());
            m_manager->enqueue(next);
            m_manager->requestClose();
        };
        m_manager->enqueue(failing);
        QTRY_COMPARE_WITH_TIMEOUT(failing->outcomes(), 1, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(next && next->outcomes() == 1, 20000);
        QCOMPARE(next->calls, calls);
        QTRY_VERIFY_WITH_TIMEOUT(m_manager->mill()->isFinished(), 20000);
        QTRY_VERIFY(!m_manager->mill()->hasPendingTasks());
        QCOMPARE(next->calls, calls);
        QCOMPARE(m_states.count(QStringLiteral("connected")), 1);
    }
};

OMBRELAY_TEST_MAIN(TestGivenUpLink)
#include "tst_givenuplink.moc"
