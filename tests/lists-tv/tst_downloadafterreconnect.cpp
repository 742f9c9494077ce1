#include "receiveremulator.h"
#include "receiverlists.h"
#include "testmain.h"

#include "dialoganswerer.h"
#include "generatedtvlist.h"
#include "handingmanager.h"
#include "listpagetest.h"

#include "app/startup.h"
#include "base/settings.h"
#include "device/core/devicetask.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "devices/zbdevice.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/tvlistmodule.h"

#include <QPointer>
#include <QSettings>
#include <QTest>

// "Download device lists" clicked at once after the receiver was disconnected and connected again, in
// each order the steps can meet: the receiver gets the request, or the user is told why it was not sent.
class TestDownloadAfterReconnect : public QObject
{
    Q_OBJECT

private slots:
    // A request the page cannot hand to any receiver says so.
    void notSentWithoutAReceiver()
    {
        ZBDeviceInfo info(QStringLiteral("Box"));
        DialogAnswerer answers;
        auto page = showListPage<TVListModule>(&info, GeneratedTvList::text(5));
        page->onDeviceStateChange(QStringLiteral("connected"));
        QVERIFY(page->btnDownloadDeviceLists->isEnabled());
        page->btnDownloadDeviceLists->click();
        QTRY_COMPARE(answers.boxTexts, QStringList{ListsModuleShared::notSentText(QStringLiteral("download"))});
        page->btnUploadDeviceLists->click();
        QTRY_COMPARE(answers.boxTexts.size(), 2);
        QCOMPARE(answers.boxTexts.last(), ListsModuleShared::notSentText(QStringLiteral("send")));
        QVERIFY(!page->pendingTask());
        QCOMPARE(page->stackedWidget->currentIndex(), int(TVListModule::PageEditor));
        QCOMPARE(page->projectManager()->itemsModel->rowCount(), 5);
    }

    // Download clicked again once connected while the request stopped by the disconnect is still winding
    // down: the new request is handed on, not dropped, and each gets its own ending.
    void secondRequestWhileTheFirstWindsDown()
    {
        ZBDeviceInfo info(QStringLiteral("Box"));
        DialogAnswerer answers;
        auto page = showListPage<TVListModule>(&info, GeneratedTvList::text(5));
        HandingManager manager;
        page->setCommunicationManager(&manager);
        page->onDeviceStateChange(QStringLiteral("connected"));
        page->btnDownloadDeviceLists->click();
        QCOMPARE(manager.enqueued.size(), 1);
        QPointer<DeviceTask> first = manager.enqueued.first();
        first->onStart();
        page->onDeviceStateChange(QStringLiteral("disconnecting"));
        page->onDeviceStateChange(QStringLiteral("disconnected"));
        QVERIFY(manager.cancels >= 1);
        page->onDeviceStateChange(QStringLiteral("connecting"));
        page->onDeviceStateChange(QStringLiteral("connected"));
        QVERIFY(page->btnDownloadDeviceLists->isEnabled());
        page->btnDownloadDeviceLists->click();
        QCOMPARE(manager.enqueued.size(), 2);
        QPointer<DeviceTask> second = manager.enqueued.last();
        QVERIFY(second != first);
        // the first one's ending arrives only now
        first->onCancel();
        if (first)
            first->onCanceled();
        QTRY_COMPARE(answers.boxTexts, QStringList{ListsModuleShared::stoppedTransferText(QStringLiteral("download"))});
        QCOMPARE(page->pendingTask(), second.data());
        second->onStart();
        second->setResult(GeneratedTvList::text(9));
        second->onComplete(true);
        QTRY_VERIFY(!page->pendingTask());
        QCOMPARE(page->projectManager()->itemsModel->rowCount(), 9);
        QCOMPARE(page->stackedWidget->currentIndex(), int(TVListModule::PageEditor));
        QCOMPARE(answers.boxTexts.size(), 1);
    }

    void initTestCase() { registerStartUpServices(); }
    void init()
    {
        QSettings().clear();
        Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1"));
    }

    void downloadAfterReconnect_data()
    {
        QTest::addColumn<QString>("order");
        QTest::newRow("reconnect once disconnected") << "after";
        QTest::newRow("reconnect while disconnecting") << "during";
    }
    void downloadAfterReconnect()
    {
        QFETCH(QString, order);
        ReceiverEmulator emulator;
        auto lists = ReceiverLists::install(emulator);
        QVERIFY(emulator.start());
        ZBDeviceInfo info(QStringLiteral("Box"));
        info.setIp(emulator.host());
        info.ensureDefaults();
        ZBDevice device(info);
        device.communicationManager()->setPort(emulator.port());
        QPointer<TVListModule> page = new TVListModule;
        device.attachModule(page);
        page->resize(1100, 760);
        page->show();
        page->onShow();
        QVERIFY(page->projectManager()->newProject(GeneratedTvList::text(5)));
        DialogAnswerer answers;
        device.connectToDevice();
        QTRY_VERIFY_WITH_TIMEOUT(device.isConnected() && page->btnDownloadDeviceLists->isEnabled(), 10000);
        for (int round = 1; round <= 4; ++round) {
            lists->setDocument(QStringLiteral("tv"), GeneratedTvList::text(10 + round).toUtf8());
            answers.boxTexts.clear();
            device.disconnectFromDevice();
            if (order == QLatin1String("after"))
                QTRY_VERIFY_WITH_TIMEOUT(device.isDisconnected(), 10000);
            // Connect is offered again as soon as the receiver is no longer connected, before its worker ended.
            device.connectToDevice();
            QTRY_VERIFY_WITH_TIMEOUT(device.isConnected() && page->btnDownloadDeviceLists->isEnabled(), 20000);
            page->btnDownloadDeviceLists->click();
            QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 20000);
            QCoreApplication::processEvents();
            // The receiver got the request and its list is shown, without a word.
            QCOMPARE(page->projectManager()->itemsModel->rowCount(), 10 + round);
            QCOMPARE(answers.boxTexts, QStringList());
            QCOMPARE(page->stackedWidget->currentIndex(), int(TVListModule::PageEditor));
        }
        device.disconnectFromDevice();
        QTRY_VERIFY_WITH_TIMEOUT(device.isDisconnected(), 10000);
    }
};

OMBRELAY_TEST_MAIN(TestDownloadAfterReconnect)
#include "tst_downloadafterreconnect.moc"
