#include "transferlostsupport.h"

#include "device/core/mill.h"

// A list sent or downloaded while the receiver's connection goes: every ending of it says that the
// connection was lost and the lists were not sent (downloaded), whichever the page hears first, the
// dropped link or the worker's error; the busy text is kept for a receiver that says it is busy.
// The page's own handling of each ending, and of a request still queued when the receiver goes. A disconnect
// the user asked for ("disconnecting" first) stops the transfer, and the page says that instead.
class TestListTransferLost : public QObject
{
    Q_OBJECT

    template<class Page> void endingsInEachOrder(const QString &type, const QString &mode, const QString &order)
    {
        ZBDeviceInfo info(QStringLiteral("Box"));
        auto page = showListPage<Page>(&info, listOfType(type, 20));
        HandingManager manager;
        page->setCommunicationManager(&manager);
        page->onDeviceStateChange(QStringLiteral("connected"));
        if (mode == QLatin1String("send"))
            editFirst(page.get(), type);
        const bool modified = page->projectManager()->isModified();
        const QString lost = ListTransfer::lostConnectionText(mode);
        DialogAnswerer answers;
        button(page.get(), mode)->click();
        QCOMPARE(manager.enqueued.size(), 1);
        QPointer<DeviceTask> task = manager.enqueued.last();
        task->onStart();
        task->onProgress(40, 100);
        const QString failed = mode == QLatin1String("send")
                                   ? QStringLiteral("Error during uploading. ") + ListTransfer::busyText()
                                   : QStringLiteral("Error during downloading. ") + ListTransfer::busyText();
        if (order.startsWith(QLatin1String("worker"))) {
            // the worker saw the connection go before the page heard of it: the transfer's own word, or the
            // link gone under the task
            task->onError(order.contains(QLatin1String("interruption")) ? Mill::interruptedText() : lost);
            if (task)
                task->onComplete(false);
            page->onDeviceStateChange(QStringLiteral("disconnected"));
        } else {
            page->onDeviceStateChange(order.startsWith(QLatin1String("disconnecting"))
                                          ? QStringLiteral("disconnecting")
                                          : QStringLiteral("disconnected"));
            QCOMPARE(manager.cancels, 1);
            if (order.endsWith(QLatin1String("cancel"))) {
                task->onCancel();
                if (task)
                    task->onCanceled();
            } else if (order.endsWith(QLatin1String("busy text"))) {
                task->onError(failed);
                if (task)
                    task->onComplete(false);
            } else {
                task->onComplete(false);
            }
        }
        // "disconnecting" is only said for a disconnect the user asked for: that transfer was stopped, not lost.
        const QString told =
            order.startsWith(QLatin1String("disconnecting")) ? ListsModuleShared::stoppedTransferText(mode) : lost;
        QTRY_COMPARE(shown(answers), QStringList{told});
        // A loss the page said, in whichever order it heard of it, is not said again by the window.
        QCOMPARE(page->tellsOfLostConnection(), !order.startsWith(QLatin1String("disconnecting")));
        QCOMPARE(page->stackedWidget->currentIndex(), int(Page::PageEditor));
        QVERIFY(!page->pendingTask());
        QCOMPARE(rows(page.get()), 20);
        QCOMPARE(page->projectManager()->isModified(), modified);

        // The connection comes back: the next request works and ends without a word.
        answers.boxTexts.clear();
        page->onDeviceStateChange(QStringLiteral("connecting"));
        page->onDeviceStateChange(QStringLiteral("connected"));
        QVERIFY(!page->tellsOfLostConnection());
        button(page.get(), mode)->click();
        QCOMPARE(manager.enqueued.size(), 2);
        task = manager.enqueued.last();
        task->onStart();
        if (mode == QLatin1String("download"))
            task->setResult(listOfType(type, 7));
        task->onComplete(true);
        QTRY_VERIFY(!page->pendingTask());
        QCOMPARE(shown(answers), QStringList());
        QCOMPARE(page->stackedWidget->currentIndex(), int(Page::PageEditor));
        QCOMPARE(rows(page.get()), mode == QLatin1String("download") ? 7 : 20);
        QVERIFY(!page->projectManager()->isModified());
    }

private slots:
    void initTestCase() { registerStartUpServices(); }
    void init() { startAskingBeforeRestart(); }

    // The page's own handling, one ending at a time in the order named.
    void endingsOfACutTransfer_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("order");
        forEachTypeAndMode([](const char *type, const char *mode) {
            for (const char *order : {"dropped link, then cancel", "dropped link, then busy text",
                                      "dropped link, then failure", "disconnecting, then cancel",
                                      "worker's error, then dropped link", "worker's interruption, then dropped link"})
                QTest::addRow("%s %s: %s", type, mode, order) << type << mode << order;
        });
    }
    void endingsOfACutTransfer()
    {
        QFETCH(QString, type);
        QFETCH(QString, mode);
        QFETCH(QString, order);
        forPageOfType(
            type, [&](auto *page) { endingsInEachOrder<std::remove_pointer_t<decltype(page)>>(type, mode, order); });
    }

    // A request still waiting for the receiver when the receiver goes, and its page with it (a receiver
    // removed, the program closing): the page says nothing once it is gone; one that stays says it.
    void requestWaitingWhenTheReceiverGoes_data()
    {
        QTest::addColumn<bool>("pageGoes");
        QTest::newRow("page goes too") << true;
        QTest::newRow("page stays") << false;
    }
    void requestWaitingWhenTheReceiverGoes()
    {
        QFETCH(bool, pageGoes);
        // Ends a task still queued at once, as the worker's queue does.
        class QueueManager : public HandingManager
        {
        public:
            void cancel(DeviceTask *task) override
            {
                HandingManager::cancel(task);
                task->onCancel();
                task->onCanceled();
            }
        } manager;
        ZBDeviceInfo info(QStringLiteral("Box"));
        auto page = showListPage<TVListModule>(&info, listOfType(QStringLiteral("tv"), 5));
        page->setCommunicationManager(&manager);
        page->onDeviceStateChange(QStringLiteral("connected"));
        DialogAnswerer answers;
        page->btnDownloadDeviceLists->click();
        QPointer<DeviceTask> task = manager.enqueued.value(0);
        QVERIFY(task);
        page->onDeviceStateChange(QStringLiteral("disconnecting"));
        QCOMPARE(manager.cancels, 1);
        QVERIFY(!page->pendingTask());
        if (pageGoes)
            page.reset();
        QTRY_VERIFY(!task);
        QCoreApplication::processEvents();
        QCOMPARE(shown(answers), pageGoes
                                     ? QStringList()
                                     : QStringList{ListsModuleShared::stoppedTransferText(QStringLiteral("download"))});
    }
};

OMBRELAY_TEST_MAIN(TestListTransferLost)
#include "tst_listtransferlost.moc"
