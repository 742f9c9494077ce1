#include "receiveremulator.h"
#include "receiverlists.h"
#include "testmain.h"

#include "dialoganswerer.h"
#include "handingmanager.h"
#include "listinthewindow.h"
#include "listoftype.h"
#include "listpagetest.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "device/core/devicecommunicationmanager.h"
#include "device/core/devicetask.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/transfers/listtransfer.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/linklistmodule.h"
#include "lists/radiolistmodule.h"
#include "lists/tvlistmodule.h"

#include <QPointer>

#include <QSettings>
#include <QTest>

#include <utility>

// A list sent or downloaded while the receiver's connection goes: every ending of it says that the
// connection was lost and the lists were not sent (downloaded), whichever the page hears first, the
// dropped link or the worker's error; the busy text is kept for a receiver that says it is busy.
namespace {

// The receiver's description with room for the four favourite lists of every list here.
QString fourListDescription()
{
    return ReceiverEmulator::defaultDescription()
        .replace(QStringLiteral("maxcount=\"5\""), QStringLiteral("maxcount=\"4\""))
        .replace(QStringLiteral("maxcount=\"3\""), QStringLiteral("maxcount=\"4\""));
}

// Passes a manager's states on to a page; while held, they wait until released, so the worker's
// ending reaches the page before the dropped link does.
class StateRelay : public QObject
{
public:
    StateRelay(DeviceCommunicationManager *manager, ListsModuleShared *page)
        : page(page)
    {
        connect(manager, &DeviceCommunicationManager::stateChanged, this, [this](const QString &state) {
            if (held)
                waiting << state;
            else
                deliver(state);
        });
    }
    void release()
    {
        held = false;
        for (const QString &state : std::exchange(waiting, {}))
            deliver(state);
    }
    bool held = false;
    QStringList delivered;

private:
    void deliver(const QString &state)
    {
        delivered << state;
        page->onDeviceStateChange(state);
    }
    ListsModuleShared *page;
    QStringList waiting;
};

QStringList shown(const DialogAnswerer &answers)
{
    QStringList texts = answers.boxTexts;
    texts.removeAll(QString()); // the restart question is no message box
    return texts;
}

template<class Page> QAbstractButton *button(Page *page, const QString &mode)
{
    return mode == QLatin1String("send") ? page->btnUploadDeviceLists : page->btnDownloadDeviceLists;
}

template<class Page> int rows(Page *page)
{
    return page->projectManager()->itemsModel->rowCount();
}

// Renames the first item, so the list has changes the receiver has not got.
template<class Page> void editFirst(Page *page, const QString &type)
{
    ListItemsDatabaseModel *items = page->projectManager()->itemsModel;
    const int column = page->projectManager()->fieldColumns.value(
        type == QLatin1String("link") ? QStringLiteral("title") : QStringLiteral("name"));
    QVERIFY(items->setData(items->index(0, column), QStringLiteral("Edited"), Qt::EditRole));
    QVERIFY(page->projectManager()->isModified());
}

} // namespace

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
            // the worker saw the connection go before the page heard of it
            task->onError(lost);
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
        QTRY_COMPARE(shown(answers), QStringList{lost});
        QCOMPARE(page->stackedWidget->currentIndex(), int(Page::PageEditor));
        QVERIFY(!page->pendingTask());
        QCOMPARE(rows(page.get()), 20);
        QCOMPARE(page->projectManager()->isModified(), modified);

        // The connection comes back: the next request works and ends without a word.
        answers.boxTexts.clear();
        page->onDeviceStateChange(QStringLiteral("connecting"));
        page->onDeviceStateChange(QStringLiteral("connected"));
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

    template<class Page> void cutAgainstTheReceiver(const QString &type, const QString &mode, bool errorFirst)
    {
        ReceiverEmulator emulator;
        emulator.setDescription(fourListDescription());
        auto lists = ReceiverLists::install(emulator);
        lists->setDocument(type, listOfType(type, 900).toUtf8());
        QVERIFY(emulator.start());
        DVB24CommunicationManager device;
        device.setPort(emulator.port());
        ZBDeviceInfo info(QStringLiteral("Box"));
        auto page = showListPage<Page>(&info, listOfType(type, 1000));
        page->setCommunicationManager(&device);
        StateRelay relay(&device, page.get());
        device.connectToHost(emulator.host());
        QTRY_VERIFY_WITH_TIMEOUT(button(page.get(), mode)->isEnabled(), 10000);
        if (mode == QLatin1String("send"))
            editFirst(page.get(), type);
        const QString lost = ListTransfer::lostConnectionText(mode);
        DialogAnswerer answers;
        lists->setCutTransferAfter(mode == QLatin1String("send") ? 100000 : 40000);
        relay.held = errorFirst;
        button(page.get(), mode)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        relay.release();
        QTRY_COMPARE(shown(answers), QStringList{lost});
        QVERIFY(relay.delivered.contains(QStringLiteral("disconnected")));
        QCOMPARE(lists->uploads(), 0);
        QCOMPARE(rows(page.get()), 1000);
        QCOMPARE(page->projectManager()->isModified(), mode == QLatin1String("send"));

        // The worker connects again; the same request then goes through.
        lists->setCutTransferAfter(-1);
        QTRY_VERIFY_WITH_TIMEOUT(
            relay.delivered.last() == QLatin1String("connected") && button(page.get(), mode)->isEnabled(), 20000);
        button(page.get(), mode)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        QCOMPARE(shown(answers), QStringList{lost});
        QCOMPARE(lists->uploads(), mode == QLatin1String("send") ? 1 : 0);
        QCOMPARE(rows(page.get()), mode == QLatin1String("send") ? 1000 : 900);
        QVERIFY(!page->projectManager()->isModified());
        device.requestClose();
    }

    template<class Page> void cutSendsInTheWindow(const QString &type, OmbrelayModule::ModuleTypes moduleType)
    {
        ReceiverEmulator emulator;
        emulator.setDescription(fourListDescription());
        auto lists = ReceiverLists::install(emulator);
        QVERIFY(emulator.start());
        ZBDeviceCollection::setDefaultReceiverPort(emulator.port());
        {
            // the saved receiver the window connects to when it starts
            QObject owner;
            ZBDeviceCollection writer(&owner);
            ZBDeviceInfo saved(QStringLiteral("Living room"));
            saved.setShareName(QStringLiteral("EMULATOR"));
            saved.setIp(emulator.host());
            saved.ensureDefaults();
            writer.append(saved);
            writer.save();
        }
        DialogAnswerer answers;
        MainWindow window;
        window.resize(1280, 800);
        window.show();
        QCOMPARE(window.collection()->count(), 1);
        ZBDevice *receiver = window.collection()->at(0);
        QTRY_VERIFY_WITH_TIMEOUT(receiver->isConnected(), 10000);
        auto *page = qobject_cast<Page *>(receiver->module(moduleType));
        QVERIFY(page);
        window.setCurrentModule(page, true);
        QVERIFY(page->projectManager()->newProject(listOfType(type, 1000)));
        editFirst(page, type);
        const QString lost = ListTransfer::lostConnectionText(QStringLiteral("send"));
        answers.boxTexts.clear();
        // Each time: cut 100,000 bytes into the upload, after Yes to the restart question.
        for (int round = 1; round <= 3; ++round) {
            QTRY_VERIFY_WITH_TIMEOUT(receiver->isConnected() && page->btnUploadDeviceLists->isEnabled(), 20000);
            lists->setCutTransferAfter(100000);
            answers.boxAnswers = {QStringLiteral("&Yes")};
            page->btnUploadDeviceLists->click();
            QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
            QTRY_VERIFY(shown(answers).count(lost) >= round);
            const QStringList texts = shown(answers);
            QVERIFY2(texts.count(lost) == round, qPrintable(texts.join(u'\n')));
            QVERIFY2(texts.filter(QStringLiteral("busy")).isEmpty(), qPrintable(texts.join(u'\n')));
            QCOMPARE(page->stackedWidget->currentIndex(), int(Page::PageEditor));
            QCOMPARE(lists->uploads(), 0);
            QVERIFY(page->projectManager()->isModified());
        }
        lists->setCutTransferAfter(-1);
        QTRY_VERIFY_WITH_TIMEOUT(receiver->isConnected() && page->btnUploadDeviceLists->isEnabled(), 20000);
        answers.boxAnswers = {QStringLiteral("&Yes")};
        page->btnUploadDeviceLists->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        QCOMPARE(lists->uploads(), 1);
        QVERIFY(!page->projectManager()->isModified());
        QCOMPARE(shown(answers).count(lost), 3);
    }

private slots:
    void initTestCase() { registerStartUpServices(); }
    void init()
    {
        QSettings().clear();
        Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1"));
    }

    // The page's own handling, one ending at a time in the order named.
    void endingsOfACutTransfer_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("order");
        for (const char *type : {"tv", "radio", "link"})
            for (const char *mode : {"send", "download"})
                for (const char *order :
                     {"dropped link, then cancel", "dropped link, then busy text", "dropped link, then failure",
                      "disconnecting, then cancel", "worker's error, then dropped link"})
                    QTest::addRow("%s %s: %s", type, mode, order) << type << mode << order;
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
        QCOMPARE(shown(answers),
                 pageGoes ? QStringList() : QStringList{ListTransfer::lostConnectionText(QStringLiteral("download"))});
    }

    // A receiver that closes the connection in the middle of the transfer, heard by the page before or
    // after the worker's ending.
    void cutByTheReceiver_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("errorFirst");
        for (const char *type : {"tv", "radio", "link"})
            for (const char *mode : {"send", "download"}) {
                QTest::addRow("%s %s, dropped link first", type, mode) << type << mode << false;
                QTest::addRow("%s %s, worker's error first", type, mode) << type << mode << true;
            }
    }
    void cutByTheReceiver()
    {
        QFETCH(QString, type);
        QFETCH(QString, mode);
        QFETCH(bool, errorFirst);
        forPageOfType(type, [&](auto *page) {
            cutAgainstTheReceiver<std::remove_pointer_t<decltype(page)>>(type, mode, errorFirst);
        });
    }

    // In the whole program, with the receiver saved from an earlier start: every cut send says so.
    void cutSendInTheWindow_data()
    {
        QTest::addColumn<QString>("type");
        QTest::newRow("tv") << "tv";
        QTest::newRow("radio") << "radio";
        QTest::newRow("link") << "link";
    }
    void cutSendInTheWindow()
    {
        QFETCH(QString, type);
        const ProgramLook look{QString()};
        Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("0"));
        forPageOfType(type, [&](auto *page) {
            using Page = std::remove_pointer_t<decltype(page)>;
            cutSendsInTheWindow<Page>(type, moduleTypeOf<Page>());
        });
    }
};

OMBRELAY_TEST_MAIN(TestListTransferLost)
#include "tst_listtransferlost.moc"
