#include "testmain.h"

#include "silentreceiverpage.h"

#include "ui_mainwindow.h"

namespace {

constexpr int Mib = 1024 * 1024;
const QString stopAndDisconnect =
    QStringLiteral("Ombrelay is processing data with EMULATOR (127.0.0.1). Do you want to stop it and disconnect?");
const QString stopAndExit = QStringLiteral("Ombrelay is processing data. Do you want to stop and exit?");

} // namespace

// In the whole program, a receiver that falls silent in the middle of a media copy and stays silent: the user's
// Disconnect, or closing the window, ends the wait within seconds, whether it comes during the wait that follows a
// Cancel or in place of one. After a Disconnect the receiver connects again on the user's word and the page works;
// a closed window goes whole, without hanging the program's end. Nothing of the user's is lost.
class TestSilentCancelWindow : public SilentReceiverPage
{
    Q_OBJECT

    // A download of a large file into a PC folder holding the user's old file of that name (Yes replaces it once the
    // download is whole), or a cut of a PC file to the receiver; the receiver falls silent in it.
    void startSilentJob(bool download)
    {
        const QString dl = pc->filePath("dl");
        if (download) {
            write(dl + "/big.ts", "old");
            QTRY_VERIFY(pcIndex(dl).isValid());
            boxAnswers << QStringLiteral("&Yes");
            silenceIn("big.ts", 2 * 65536);
            startPaste(page->tvZbDeviceFolders, {device("hdd/Movies/big.ts")}, page->tvPcFolders, pcIndex(dl), false);
        } else {
            write(pc->filePath("src/up.bin"), QByteArray(Mib, 'u'));
            QTRY_VERIFY(pcIndex(pc->filePath("src/up.bin")).isValid());
            silenceInUpload("up.bin", 3);
            startPaste(page->tvPcFolders, {pcIndex(pc->filePath("src/up.bin"))}, page->tvZbDeviceFolders,
                       device("hdd/Movies"), true);
        }
        waitUntilSilent();
        // in the middle of the transfer: a download has moved bytes, an upload had packets taken
        QTRY_VERIFY(page->pgrStatus->value() > 0);
    }
    void checkNothingLost(bool download)
    {
        if (download) {
            QCOMPARE(tree(pc->filePath("dl")), QStringList{"big.ts"});
            QCOMPARE(read(pc->filePath("dl/big.ts")), QByteArray("old"));
        } else {
            QCOMPARE(read(pc->filePath("src/up.bin")), QByteArray(Mib, 'u'));
        }
    }
    // The Cancel first (the clock starts there), or the clock started where the user gives the next step.
    void cancelFirstOrNot(bool canceledFirst)
    {
        if (!canceledFirst) {
            clock.start();
            return;
        }
        pressCancel();
        // well inside the wait for the answers to the Cancel
        QTest::qWait(500);
        QVERIFY(page->isBusy());
    }

private slots:
    void initTestCase()
    {
        Settings::setString(Settings::OmbrelayDeviceList, QString());
        MediaExplorerModule::registerModule();
    }
    void init()
    {
        startReceiver();
        r->file("hdd/Movies/big.ts", QByteArray(Mib, 'b'));
        r->file("hdd/Movies/a.ts", "movie");
    }
    void cleanup() { closeAll(); }

    // The user's Disconnect while the page waits for the silent receiver, agreed to: the job ends and the receiver is
    // disconnected within the bound. Connect then brings the page back.
    void disconnectDuringTheWait_data()
    {
        QTest::addColumn<bool>("download");
        QTest::addColumn<bool>("canceledFirst");
        QTest::newRow("download, Cancel then Disconnect") << true << true;
        QTest::newRow("download, Disconnect alone") << true << false;
        QTest::newRow("cut upload, Cancel then Disconnect") << false << true;
        QTest::newRow("cut upload, Disconnect alone") << false << false;
    }
    void disconnectDuringTheWait()
    {
        QFETCH(bool, download);
        QFETCH(bool, canceledFirst);
        openPage(true);
        QVERIFY(!QTest::currentTestFailed());
        QPushButton *connection = window->form()->btnConnectDevice;
        QVERIFY(connection->isVisible());
        QCOMPARE(connection->text(), QStringLiteral("Disconnect"));
        startSilentJob(download);
        QVERIFY(!QTest::currentTestFailed());
        const QStringList asked = boxTexts;
        cancelFirstOrNot(canceledFirst);

        boxAnswers << QStringLiteral("&Yes");
        QTest::mouseClick(connection, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!page->isBusy() && receiver->isDisconnected(), FaultMs);
        const qint64 took = clock.elapsed();
        qInfo("%s: disconnected %lld ms after the first step", QTest::currentDataTag(), took);
        QVERIFY2(took < BoundMs, qPrintable(QStringLiteral("disconnected %1 ms after the first step").arg(took)));
        QTRY_VERIFY_WITH_TIMEOUT(!manager->mill()->isRunning(), BoundMs);
        // Told what happened: the receiver did not answer the stop.
        QTRY_COMPARE(boxTexts.mid(asked.size()), (QStringList{stopAndDisconnect, unanswered()}));
        checkNothingLost(download);
        QTRY_COMPARE(connection->text(), QStringLiteral("Connect"));

        // The user connects again: the page lists and copies over the new connection.
        const int connections = r->emulator.connectionCount();
        QTest::mouseClick(connection, Qt::LeftButton);
        waitForTheNewConnection(connections);
        const QStringList said = boxTexts;
        pageWorks(QStringLiteral("hdd/Movies"), QStringLiteral("hdd/Movies/a.ts"), pc->filePath("dl"), "movie");
        QCOMPARE(boxTexts, said);
    }

    // Closing the window while the page waits for the silent receiver: the page asks, Yes stops the job, and the
    // window closes within the bound; the program's end that follows does not wait on the receiver either.
    void closeDuringTheWait_data()
    {
        QTest::addColumn<bool>("download");
        QTest::addColumn<bool>("canceledFirst");
        QTest::newRow("download, Cancel then close") << true << true;
        QTest::newRow("download, close alone") << true << false;
        QTest::newRow("cut upload, Cancel then close") << false << true;
    }
    void closeDuringTheWait()
    {
        QFETCH(bool, download);
        QFETCH(bool, canceledFirst);
        openPage(true);
        QVERIFY(!QTest::currentTestFailed());
        startSilentJob(download);
        QVERIFY(!QTest::currentTestFailed());
        const QStringList asked = boxTexts;
        cancelFirstOrNot(canceledFirst);

        boxAnswers << QStringLiteral("&Yes");
        window->close();
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), FaultMs);
        const qint64 took = clock.elapsed();
        qInfo("%s: the window closed %lld ms after the first step", QTest::currentDataTag(), took);
        QVERIFY2(took < BoundMs, qPrintable(QStringLiteral("closed %1 ms after the first step").arg(took)));
        QCOMPARE(boxTexts.mid(asked.size()), (QStringList{stopAndExit, unanswered()}));
        QVERIFY(!page->isBusy());

        // The program's end: the window goes with its receiver and worker at once.
        QElapsedTimer end;
        end.start();
        page = nullptr;
        manager = nullptr;
        receiver = nullptr;
        window.reset();
        qInfo("%s: the window went in %lld ms", QTest::currentDataTag(), end.elapsed());
        QVERIFY2(end.elapsed() < BoundMs, qPrintable(QString::number(end.elapsed())));
        checkNothingLost(download);
    }
};

OMBRELAY_TEST_MAIN(TestSilentCancelWindow)
#include "tst_silentcancelwindow.moc"
