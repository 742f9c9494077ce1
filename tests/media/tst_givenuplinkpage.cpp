#include "testmain.h"

#include "mediareceiver.h"
#include "savedreceiver.h"
#include "standinwindow.h"
#include "testfiles.h"
#include "receivertree.h"

#include "app/mainwindow.h"
#include "base/settings.h"
#include "device/protocol/dvb24communicationprotocolmill.h"
#include "device/transfers/transfermethods.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "media/mediaexplorermodule.h"
#include "media/pcfilesystemmodel.h"
#include "media/zbdevicefilesystemmodel.h"
#include "widgets/messagebox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString silentText = QStringLiteral("The device did not answer.");

} // namespace

// A receiver that stops answering during a file download (no Cancel): the link is given up after the inactivity
// limit, the user is told, and the program connects anew by itself. The media page then works as before: its
// receiver tree lists a drive when it is expanded, and Refresh, Copy and Paste are there and work, whether the
// boxes that said what happened were answered at once or only after the new connection was made. The page alone,
// and in the whole program (where the window also says the connection was lost).
class TestGivenUpLinkPage : public QObject
{
    Q_OBJECT
    std::unique_ptr<MediaReceiver> r;
    std::unique_ptr<QTemporaryDir> pc;
    // The page alone: its stand-in window; in the whole program: the window, which owns the receiver and its page.
    std::unique_ptr<StandInWindow> standIn;
    std::unique_ptr<MediaExplorerModule> alonePage;
    std::unique_ptr<MainWindow> window;
    MediaExplorerModule *page = nullptr;
    DVB24CommunicationManager *manager = nullptr;
    int connects = 0;
    bool answerLate = false;
    QStringList boxTexts;

    // Each box has its text kept and is closed, at once or once the new connection is there.
    void answer(QDialog *box)
    {
        boxTexts << static_cast<QMessageBox *>(box)->text();
        if (answerLate)
            (void)QTest::qWaitFor([this] { return connects >= 2; }, 20000);
        box->reject();
    }
    void startReceiver()
    {
        r = std::make_unique<MediaReceiver>();
        r->file("hdd/Movies/big.ts", QByteArray(300000, 'b'));
        r->file("hdd/Movies/a.ts", "movie");
        r->file("hdd/Shows/s.ts", "show");
        r->transfers = TransferCommands::install(r->emulator, r->root.path());
        r->media = MediaCommands::install(r->emulator, r->root.path());
        QVERIFY(r->emulator.start());
    }
    void watchStates()
    {
        connects = 0;
        connect(manager, &DeviceCommunicationManager::stateChanged, this, [this](const QString &state) {
            if (state == QLatin1String("connected"))
                ++connects;
        });
    }
    void openAlone()
    {
        r->manager = std::make_unique<DVB24CommunicationManager>();
        r->manager->setPort(r->emulator.port());
        manager = r->manager.get();
        watchStates();
        standIn = std::make_unique<StandInWindow>();
        alonePage = std::make_unique<MediaExplorerModule>(standIn.get());
        page = alonePage.get();
        page->setCommunicationManager(manager);
        connect(manager, &DeviceCommunicationManager::stateChanged, page, &MediaExplorerModule::onDeviceStateChange);
        standIn->resize(1000, 700);
        standIn->show();
        page->show();
        page->onShow();
        manager->connectToHost(r->emulator.host());
    }
    void openInTheWindow()
    {
        saveAsTheWindowsReceiver(r->emulator);
        window = std::make_unique<MainWindow>();
        window->resize(1280, 800);
        window->show();
        QCOMPARE(window->collection()->count(), 1);
        ZBDevice *receiver = window->collection()->at(0);
        manager = receiver->communicationManager();
        watchStates();
        QTRY_VERIFY_WITH_TIMEOUT(receiver->isConnected(), 10000);
        connects = 1;
        page = qobject_cast<MediaExplorerModule *>(receiver->module(OmbrelayModule::TypeMediaExplorer));
        QVERIFY(page);
        window->setCurrentModule(page, true);
    }
    QModelIndex device(const QString &path) { return ReceiverTree::at(page->deviceModel(), path); }
    static void select(QTreeView *view, const QModelIndexList &rows)
    {
        view->setFocus();
        view->selectionModel()->clearSelection();
        for (const QModelIndex &row : rows)
            view->selectionModel()->select(row, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QModelIndex pcIndex(const QString &path) { return page->pcModel()->index(path); }

private slots:
    void initTestCase()
    {
        Settings::setString(Settings::OmbrelayDeviceList, QString());
        MediaExplorerModule::registerModule();
    }
    void cleanup()
    {
        transferInactivityMs = 30000;
        if (r)
            r->transfers->silentAfter = -1;
        if (page)
            QTRY_VERIFY_WITH_TIMEOUT(!page->isBusy() && !page->deviceModel()->isFetching(), 20000);
        if (manager) {
            disconnect(manager, nullptr, this, nullptr);
            manager->requestInterrupt();
            manager->requestClose();
        }
        alonePage.reset();
        standIn.reset();
        window.reset();
        if (r && r->manager)
            r->stop();
        r.reset();
        page = nullptr;
        manager = nullptr;
        MessageBox::setAnswerHook({});
        QGuiApplication::clipboard()->clear();
        Settings::setString(Settings::OmbrelayDeviceList, QString());
    }

    void pageWorksAfterAGivenUpDownload_data()
    {
        QTest::addColumn<bool>("inWindow");
        QTest::addColumn<bool>("late");
        QTest::newRow("page, boxes answered at once") << false << false;
        QTest::newRow("page, boxes answered late") << false << true;
        QTest::newRow("window, boxes answered at once") << true << false;
        QTest::newRow("window, boxes answered late") << true << true;
    }
    void pageWorksAfterAGivenUpDownload()
    {
        QFETCH(bool, inWindow);
        QFETCH(bool, late);
        boxTexts.clear();
        answerLate = late;
        pc = std::make_unique<QTemporaryDir>();
        MessageBox::setAnswerHook([this](QDialog *box) { answer(box); });
        startReceiver();
        inWindow ? openInTheWindow() : openAlone();
        QVERIFY(page);
        QTRY_COMPARE_WITH_TIMEOUT(page->deviceStackedWidget->currentIndex(), 0, 10000);
        QVERIFY(QDir().mkpath(pc->filePath("dl")));
        QTRY_VERIFY(pcIndex(pc->filePath("dl")).isValid());

        const int connectionsBefore = r->emulator.connectionCount();
        // The receiver falls silent after the first block of big.ts and stays so.
        transferInactivityMs = 1000;
        r->transfers->silentAfter = 65536;
        select(page->tvZbDeviceFolders, {device("hdd/Movies/big.ts")});
        QVERIFY(page->copyToClipboard());
        select(page->tvPcFolders, {pcIndex(pc->filePath("dl"))});
        QVERIFY(page->pasteFromClipboard());
        QTRY_VERIFY_WITH_TIMEOUT(r->emulator.received().contains("big.ts"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!page->isBusy(), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(connects, 2, 20000);
        r->transfers->silentAfter = -1;
        QCOMPARE(r->emulator.connectionCount(), connectionsBefore + 1);
        QVERIFY2(boxTexts.contains(silentText), qPrintable(boxTexts.join(" | ")));
        if (inWindow)
            QVERIFY2(boxTexts.contains(QStringLiteral("The connection to EMULATOR (127.0.0.1) was lost.")),
                     qPrintable(boxTexts.join(" | ")));
        QVERIFY(!QFileInfo::exists(pc->filePath("dl/big.ts")));

        // The receiver tree is there again, and its drive lists when it is expanded.
        ZBDeviceFileSystemModel *model = page->deviceModel();
        QTRY_VERIFY_WITH_TIMEOUT(model->isInitialized(), 10000);
        QTRY_COMPARE(page->deviceStackedWidget->currentIndex(), 0);
        QTRY_VERIFY(!model->isFetching());
        QModelIndex hdd;
        for (int i = 0; i < model->rowCount(); ++i)
            if (model->index(i, 0).data().toString() == QLatin1String("hdd"))
                hdd = model->index(i, 0);
        QVERIFY(hdd.isValid());
        const int listingsBefore = r->media->listingsOf(QStringLiteral("hdd"));
        page->tvZbDeviceFolders->expand(hdd);
        QTRY_VERIFY_WITH_TIMEOUT(model->rowCount(hdd) == 2 && !model->isFetching(), 10000);
        QCOMPARE(r->media->listingsOf(QStringLiteral("hdd")), listingsBefore + 1);

        // Refresh lists the folder selected again.
        const QModelIndex movies = device("hdd/Movies");
        QVERIFY(movies.isValid());
        select(page->tvZbDeviceFolders, {movies});
        QTRY_VERIFY(page->btnRefresh->isEnabled());
        const int moviesBefore = r->media->listingsOf(QStringLiteral("hdd\\Movies"));
        page->btnRefresh->click();
        QTRY_VERIFY_WITH_TIMEOUT(r->media->listingsOf(QStringLiteral("hdd\\Movies")) == moviesBefore + 1, 10000);
        QTRY_VERIFY(!model->isFetching());

        // Copy and Paste are offered and take a file to the PC over the new connection.
        boxTexts.clear();
        select(page->tvZbDeviceFolders, {device("hdd/Movies/a.ts")});
        QTRY_VERIFY(page->btnCopy->isEnabled());
        QVERIFY(page->copyToClipboard());
        select(page->tvPcFolders, {pcIndex(pc->filePath("dl"))});
        QTRY_VERIFY(page->btnPaste->isEnabled());
        QVERIFY(page->pasteFromClipboard());
        QTRY_VERIFY_WITH_TIMEOUT(!page->isBusy(), 20000);
        QCOMPARE(TestFiles::read(pc->filePath("dl/a.ts")), QByteArray("movie"));
        QVERIFY2(boxTexts.isEmpty(), qPrintable(boxTexts.join(" | ")));
        QCOMPARE(r->emulator.connectionCount(), connectionsBefore + 1);
        QCOMPARE(r->emulator.unknownCommands(), 0);
    }
};

OMBRELAY_TEST_MAIN(TestGivenUpLinkPage)
#include "tst_givenuplinkpage.moc"
