#include "appfixture.h"
#include "loopbackonly.h"
#include "testmain.h"

#include "mediacommands.h"
#include "receiveremulator.h"
#include "transfercommands.h"

#include "app/mainwindow.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/protocol/dvb24communicationprotocolmill.h"
#include "devices/devicepropertiesmodule.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "media/mediaexplorermodule.h"
#include "media/pcfilesystemmodel.h"
#include "media/zbdevicefilesystemmodel.h"
#include "modules/modulefactory.h"
#include "ui_mainwindow.h"

#include <QPointer>
#include <QPushButton>

#include <memory>
#include <vector>

// The receivers' connections as the user meets them in the program's window: two emulated receivers with
// media drives, their real media explorer pages, the header's Connect/Disconnect, and removal.
class TestReceiverWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir media; // the settings' media folders
    QTemporaryDir pc;    // where downloads go
    QTemporaryDir roots[2];
    std::vector<std::unique_ptr<ReceiverEmulator>> emulators;
    std::shared_ptr<TransferCommands> transfers[2];
    std::shared_ptr<MediaCommands> drives[2];
    quint16 port = 0;
    std::unique_ptr<BoxAnswers> boxes;
    std::unique_ptr<MainWindow> window;

    static inline const QString names[2] = {QStringLiteral("Kitchen"), QStringLiteral("Den")};
    static inline const QString addresses[2] = {QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.2")};
    static inline const QByteArray recording = QByteArray(5 * 1024 * 1024, 'r');

    // "Kitchen (127.0.0.1)": how the window names receiver i in its messages.
    static QString named(int i) { return QStringLiteral("%1 (%2)").arg(names[i], addresses[i]); }
    QPushButton *header() const { return window->form()->btnConnectDevice; }
    ZBDevice *receiver(int i) const
    {
        ZBDeviceCollection *collection = window->collection();
        for (int n = 0; n < collection->count(); ++n)
            if (collection->at(n)->ipAddressString() == addresses[i])
                return collection->at(n);
        return nullptr;
    }

    // The window, with receiver 0 (and 1, when asked) added as the user adds them; each connects.
    void openWindow(int receivers, bool waitConnected = true)
    {
        window = std::make_unique<MainWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        for (int i = 0; i < receivers; ++i) {
            ZBDeviceInfo info(QStringLiteral("Ombrelay Emulator"), QString(), false);
            info.setIp(addresses[i]);
            info.setGivenName(names[i]);
            info.setShareName(QStringLiteral("EMULATOR")); // as the receiver says: no rename question
            info.ensureDefaults();
            window->collection()->append(info);
        }
        if (waitConnected)
            for (int i = 0; i < receivers; ++i)
                QTRY_VERIFY_WITH_TIMEOUT(receiver(i)->isConnected(), 15000);
    }
    // Receiver i's media explorer, shown and listing its drives.
    MediaExplorerModule *showMedia(int i)
    {
        window->selectTreeItem(receiver(i)->id(), OmbrelayModule::TypeMediaExplorer);
        auto *page = qobject_cast<MediaExplorerModule *>(window->currentModule());
        if (page && !QTest::qWaitFor([page] { return page->deviceStackedWidget->currentIndex() == 0; }, 10000))
            return nullptr;
        return page;
    }
    // Receiver 0's 5 MB recording copied to the PC on its shown page, until "Copying..." shows progress.
    bool startCopy(MediaExplorerModule *page)
    {
        ZBDeviceFileSystemModel *model = page->deviceModel();
        QModelIndex at;
        for (const QString &name : {QStringLiteral("hdd"), QStringLiteral("News")}) {
            if (model->canFetchMore(at))
                model->fetchMore(at);
            if (!QTest::qWaitFor([&] { return !model->isFetching() && model->rowCount(at) > 0; }))
                return false;
            const QModelIndexList found =
                model->match(model->index(0, 0, at), Qt::DisplayRole, name, 1, Qt::MatchExactly);
            if (found.isEmpty())
                return false;
            at = found.first();
        }
        const auto select = [](QTreeView *view, const QModelIndex &row) {
            view->setFocus();
            view->selectionModel()->select(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        };
        select(page->tvZbDeviceFolders, at);
        page->copyToClipboard();
        select(page->tvPcFolders, page->pcModel()->index(pc.path()));
        page->pasteFromClipboard();
        return QTest::qWaitFor([page] { return page->frStatusBar->isVisible() && page->pgrStatus->value() > 0; },
                               10000);
    }

private slots:
    void initTestCase()
    {
        LoopbackOnly::install();
        port = LoopbackOnly::startEmulators(emulators, {addresses[0], addresses[1]});
        if (port == 0)
            QSKIP("a loopback address of the receivers cannot be bound here");
        for (int i = 0; i < 2; ++i) {
            transfers[i] = TransferCommands::install(*emulators[i], roots[i].path());
            drives[i] = MediaCommands::install(*emulators[i], roots[i].path());
            QVERIFY(QDir().mkpath(roots[i].filePath(QStringLiteral("hdd"))));
            drives[i]->addRecording(
                QStringLiteral("hdd"),
                {7, 3, "News", QDateTime(QDate(2026, 5, 1), QTime(20, 15), Qt::UTC), {{0, "ts", recording}}});
        }
        ZBDeviceCollection::setDefaultReceiverPort(port);
    }
    void init()
    {
        freshSettings(media);
        boxes = std::make_unique<BoxAnswers>();
        ModuleFactory::clear();
        MediaExplorerModule::registerModule();
        for (int i = 0; i < 2; ++i) {
            if (emulators[i]->port() == 0)
                QVERIFY(emulators[i]->start(port));
            emulators[i]->setSilent(false);
            drives[i]->recordingBlockDelayMs = 40; // about 3 s for the whole recording
        }
        QDir(pc.path()).removeRecursively();
        QVERIFY(QDir().mkpath(pc.path()));
    }
    void cleanup()
    {
        window.reset();
        ModuleFactory::clear();
        boxes.reset();
        for (auto &emulator : emulators)
            QTRY_COMPARE_WITH_TIMEOUT(emulator->openConnections(), 0, 10000);
    }

    // Device Connection Properties -> Remove device while one receiver copies a recording to the PC (the
    // other's page open too): the question is about stopping that receiver's work, not about exiting; the
    // receiver goes from the window and the stored list, its work stops, and the program goes on.
    void removeWhileCopying_data()
    {
        QTest::addColumn<int>("round");
        for (int round = 1; round <= 10; ++round)
            QTest::addRow("round %d", round) << round;
    }
    void removeWhileCopying()
    {
        openWindow(2);
        QVERIFY(showMedia(1));
        QPointer<MediaExplorerModule> page = showMedia(0);
        QVERIFY(page);
        QVERIFY(startCopy(page));
        window->showPropertiesPanel();
        auto *properties = qobject_cast<DevicePropertiesModule *>(window->currentModule());
        QVERIFY(properties);
        QPointer<ZBDevice> removed = receiver(0);
        QTest::mouseClick(properties->btnRemoveDevice, Qt::LeftButton);
        QCOMPARE(boxes->texts, (QStringList{"Are you sure you want to remove this device from your device list?",
                                            "Ombrelay is processing data with " + named(0) +
                                                ". Do you want to stop it and remove the device?"}));
        QVERIFY(!page);
        QCOMPARE(window->collection()->count(), 1);
        QVERIFY(!Settings::getString(Settings::OmbrelayDeviceList, QString()).contains(addresses[0]));
        QVERIFY(Settings::getString(Settings::OmbrelayDeviceList, QString()).contains(addresses[1]));
        // The receiver lets go, and nothing of its ending reaches the window or a page.
        QTRY_VERIFY_WITH_TIMEOUT(!removed, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(emulators[0]->openConnections(), 0, 10000);
        QVERIFY(window->isVisible());
        QCOMPARE(boxes->texts.size(), 2);
        // The other receiver still serves its page, and the window closes as usual.
        MediaExplorerModule *other = showMedia(1);
        QVERIFY(other);
        other->deviceModel()->reset();
        QTRY_VERIFY(!other->deviceModel()->isFetching() && other->deviceModel()->rowCount() > 0);
        QVERIFY(window->close());
        QCOMPARE(boxes->texts.size(), 2);
    }

    // Closing the window while a receiver copies a recording, Yes to stop and exit: the page closes the
    // link itself, which is no lost connection. Only the question is shown, and the window closes once the
    // receiver has let go.
    void stopAndExitIsNoLostConnection()
    {
        openWindow(1);
        MediaExplorerModule *page = showMedia(0);
        QVERIFY(page);
        drives[0]->recordingBlockDelayMs = 200; // the copy is still running when the question is answered
        QVERIFY(startCopy(page));
        boxes->answers = {true};
        QVERIFY(!window->close()); // not yet: the receiver first lets go
        const QStringList asked{QStringLiteral("Ombrelay is processing data. Do you want to stop and exit?")};
        QCOMPARE(boxes->texts, asked);
        QTRY_VERIFY_WITH_TIMEOUT(receiver(0)->isDisconnected(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(emulators[0]->openConnections(), 0, 10000);
        QCOMPARE(boxes->texts, asked);
    }

    // A receiver that goes away while connected is said once, by name; the header offers Connect again.
    void lostConnectionIsToldOnce()
    {
        openWindow(1);
        QVERIFY(showMedia(0));
        emulators[0]->stop();
        const QStringList told{"The connection to " + named(0) + " was lost."};
        QTRY_COMPARE_WITH_TIMEOUT(boxes->texts, told, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!receiver(0)->communicationManager()->mill()->isRunning(), 15000);
        QTRY_COMPARE(header()->text(), QStringLiteral("Connect"));
        QVERIFY(header()->isEnabled());
        QTest::qWait(300);
        QCOMPARE(boxes->texts, told);
        // Back again: Connect works and says nothing more.
        QVERIFY(emulators[0]->start(port));
        QTest::mouseClick(header(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(receiver(0)->isConnected(), 15000);
        QCOMPARE(header()->text(), QStringLiteral("Disconnect"));
        QCOMPARE(boxes->texts, told);
    }

    // A second loss reported while the first one's message is still up (a link that came back and went
    // again meanwhile) is not stacked on it; once that message is closed, a new loss is told again.
    void lossWhileItsMessageShows()
    {
        openWindow(1);
        const ZBDevice *device = receiver(0);
        ZBDeviceCollection *collection = window->collection();
        QStringList shown;
        MessageBox::setAnswerHook([&](QDialog *box) {
            shown << static_cast<QMessageBox *>(box)->text();
            if (shown.size() == 1)
                emit collection->DeviceConnectionLost(device);
            box->reject();
        });
        emit collection->DeviceConnectionLost(device);
        const QString told = "The connection to " + named(0) + " was lost.";
        QCOMPARE(shown, QStringList{told});
        emit collection->DeviceConnectionLost(device);
        QCOMPARE(shown, (QStringList{told, told}));
    }

    // Connect to a receiver that does not answer says so once the attempt is over; the quiet attempt at
    // start says nothing, and a later Connect that reaches it says nothing either.
    void failedConnectIsTold_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::newRow("nothing listening") << false;
        QTest::newRow("never answers") << true;
    }
    void failedConnectIsTold()
    {
        QFETCH(bool, silent);
        if (silent)
            emulators[0]->setSilent(true);
        else
            emulators[0]->stop();
        openWindow(1, false);
        Mill *worker = receiver(0)->communicationManager()->mill();
        QTRY_VERIFY_WITH_TIMEOUT(receiver(0)->isDisconnected() && !worker->isRunning(), 30000);
        QCOMPARE(boxes->texts, QStringList());
        QTRY_VERIFY(header()->isEnabled());
        QTest::mouseClick(header(), Qt::LeftButton);
        const QStringList told{"Ombrelay could not establish connection to " + named(0) + "."};
        QTRY_COMPARE_WITH_TIMEOUT(boxes->texts, told, 30000);
        QVERIFY(receiver(0)->isDisconnected());
        QCOMPARE(header()->text(), QStringLiteral("Connect"));
        QVERIFY(header()->isEnabled());
        if (silent)
            emulators[0]->setSilent(false);
        else
            QVERIFY(emulators[0]->start(port));
        QTest::mouseClick(header(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(receiver(0)->isConnected(), 30000);
        QCOMPARE(boxes->texts, told);
    }

    // Disconnect while a download runs asks first, as closing the window does. No: the download goes on to
    // its end; Yes: it stops. Either way a later Disconnect with nothing under way asks nothing.
    void disconnectDuringDownloadAsks_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("no") << false;
        QTest::newRow("yes") << true;
    }
    void disconnectDuringDownloadAsks()
    {
        QFETCH(bool, answer);
        openWindow(1);
        MediaExplorerModule *page = showMedia(0);
        QVERIFY(page);
        QVERIFY(startCopy(page));
        QCOMPARE(header()->text(), QStringLiteral("Disconnect"));
        boxes->answers = {answer};
        QTest::mouseClick(header(), Qt::LeftButton);
        const QStringList asked{"Ombrelay is processing data with " + named(0) +
                                ". Do you want to stop it and disconnect?"};
        QCOMPARE(boxes->texts, asked);
        // Whatever the page does after its job (a refresh of the folder it touched) ends too.
        QTRY_VERIFY_WITH_TIMEOUT(!page->isBusy() && !receiver(0)->hasPendingWork(), 15000);
        const QString copied = pc.filePath("01-05-2026 20_15 News/01-05-2026 20_15 News.ts");
        if (answer) {
            QTRY_VERIFY_WITH_TIMEOUT(receiver(0)->isDisconnected(), 10000);
            QVERIFY(QFileInfo(copied).size() < recording.size());
        } else {
            QVERIFY(receiver(0)->isConnected());
            QCOMPARE(QFileInfo(copied).size(), recording.size());
            QTest::mouseClick(header(), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(receiver(0)->isDisconnected(), 10000);
        }
        // The user's own disconnect is no failure: nothing more is said.
        QTest::qWait(200);
        QCOMPARE(boxes->texts, asked);
    }
};

OMBRELAY_TEST_MAIN(TestReceiverWindow)
#include "tst_receiverwindow.moc"
