#include "testmain.h"

#include "silentreceiverpage.h"

namespace {

enum class Job { FileDownload, FileUpload, RecordingDownload, FolderDownload, FolderUpload };

const QByteArray movie = "movie";
constexpr int Mib = 1024 * 1024;

} // namespace

Q_DECLARE_METATYPE(Job)

// The media explorer page while the receiver falls silent in the middle of a copy and stays silent after the
// user's Cancel, as a receiver switched off or hung does: "Copying..." and its Cancel go within seconds of the
// Cancel (never after a transfer's inactivity limit), a second Cancel changes nothing, the user is told in words
// that the receiver did not answer the cancel, and nothing of the user's is lost: a download leaves no part
// behind and keeps the user's old file of that name, a cut keeps its PC source. The program connects anew by
// itself, and Refresh and a new copy work over that connection. The page alone, and the receiver's page in the
// whole program.
class TestSilentCancelPage : public SilentReceiverPage
{
    Q_OBJECT

    // Sets the job up on the receiver and the PC, starts it through the page's buttons with the receiver falling
    // silent in it, and waits until it has.
    void startSilentJob(Job job)
    {
        const QString dl = pc->filePath("dl");
        switch (job) {
        case Job::FileDownload:
            // the user's own file of that name, which Yes agrees to replace once the download is whole
            write(dl + "/big.ts", "old");
            QTRY_VERIFY(pcIndex(dl).isValid());
            boxAnswers << QStringLiteral("&Yes");
            silenceIn("big.ts", 2 * 65536);
            startPaste(page->tvZbDeviceFolders, {device("hdd/Movies/big.ts")}, page->tvPcFolders, pcIndex(dl), false);
            break;
        case Job::FileUpload:
            write(pc->filePath("src/up.bin"), QByteArray(Mib, 'u'));
            QTRY_VERIFY(pcIndex(pc->filePath("src/up.bin")).isValid());
            silenceInUpload("up.bin", 3);
            startPaste(page->tvPcFolders, {pcIndex(pc->filePath("src/up.bin"))}, page->tvZbDeviceFolders,
                       device("hdd/Movies"), true);
            break;
        case Job::RecordingDownload:
            QVERIFY(QDir().mkpath(dl));
            QTRY_VERIFY(pcIndex(dl).isValid());
            // the request of recording 7
            silenceIn(QByteArray("\x05\x00\x07", 3), 2 * 65536);
            startPaste(page->tvZbDeviceFolders, {device("hdd/Movies/Show")}, page->tvPcFolders, pcIndex(dl), false);
            break;
        case Job::FolderDownload:
            QVERIFY(QDir().mkpath(dl));
            QTRY_VERIFY(pcIndex(dl).isValid());
            silenceIn("big.ts", 2 * 65536);
            startPaste(page->tvZbDeviceFolders, {device("hdd/Top/Sel")}, page->tvPcFolders, pcIndex(dl), false);
            break;
        case Job::FolderUpload:
            write(pc->filePath("src/Nest/a.txt"), "a");
            write(pc->filePath("src/Nest/In/up.bin"), QByteArray(Mib, 'u'));
            QTRY_VERIFY(pcIndex(pc->filePath("src/Nest")).isValid());
            silenceInUpload("up.bin", 3);
            startPaste(page->tvPcFolders, {pcIndex(pc->filePath("src/Nest"))}, page->tvZbDeviceFolders,
                       device("hdd/Movies"), true);
            break;
        }
        waitUntilSilent();
        // in the middle of the transfer: a download has moved bytes, an upload had packets taken
        QTRY_VERIFY(page->pgrStatus->value() > 0);
    }

    // What the user had is there as before, and nothing half copied was left on the PC.
    void checkNothingLost(Job job)
    {
        const QString dl = pc->filePath("dl");
        switch (job) {
        case Job::FileDownload:
            QCOMPARE(tree(dl), QStringList{"big.ts"});
            QCOMPARE(read(dl + "/big.ts"), QByteArray("old"));
            break;
        case Job::FileUpload:
            QCOMPARE(read(pc->filePath("src/up.bin")), QByteArray(Mib, 'u'));
            break;
        case Job::RecordingDownload:
            // the recording's folder is made before its files come: it may stay, empty
            for (const QString &entry : tree(dl))
                QVERIFY2(QFileInfo(dl + "/" + entry).isDir(), qPrintable(entry));
            break;
        case Job::FolderDownload:
            // the file before the silence arrived whole
            QCOMPARE(tree(dl), (QStringList{"Sel", "Sel/a.ts"}));
            QCOMPARE(read(dl + "/Sel/a.ts"), QByteArray("a"));
            break;
        case Job::FolderUpload:
            // the file under way stays on the PC; one moved before the silence is whole on the receiver
            QCOMPARE(read(pc->filePath("src/Nest/In/up.bin")), QByteArray(Mib, 'u'));
            QVERIFY(QFileInfo::exists(pc->filePath("src/Nest/a.txt")) ||
                    read(r->root.filePath("hdd/Movies/Nest/a.txt")) == "a");
            break;
        }
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
        r->file("hdd/Movies/a.ts", movie);
        r->file("hdd/Top/Sel/a.ts", "a");
        r->file("hdd/Top/Sel/big.ts", QByteArray(Mib, 'c'));
    }
    void cleanup() { closeAll(); }

    void cancelWhileTheReceiverIsSilent_data()
    {
        QTest::addColumn<Job>("job");
        QTest::addColumn<bool>("inWindow");
        const QList<QPair<Job, const char *>> jobs{{Job::FileDownload, "file to the PC over an old one"},
                                                   {Job::FileUpload, "file cut to the receiver"},
                                                   {Job::RecordingDownload, "recording to the PC"},
                                                   {Job::FolderDownload, "folder to the PC"},
                                                   {Job::FolderUpload, "nested folder cut to the receiver"}};
        for (const auto &job : jobs) {
            QTest::addRow("%s, page", job.second) << job.first << false;
            QTest::addRow("%s, window", job.second) << job.first << true;
        }
    }
    void cancelWhileTheReceiverIsSilent()
    {
        QFETCH(Job, job);
        QFETCH(bool, inWindow);
        openPage(inWindow);
        if (job == Job::RecordingDownload)
            r->media->addRecording("hdd\\Movies", {7,
                                                   3,
                                                   "Show",
                                                   QDateTime(QDate(2026, 5, 1), QTime(20, 15), Qt::UTC),
                                                   {{0, "ts", QByteArray(Mib, 'r')}}});
        QVERIFY(!QTest::currentTestFailed());
        const int connections = r->emulator.connectionCount();
        startSilentJob(job);
        QVERIFY(!QTest::currentTestFailed());
        const QStringList asked = boxTexts;

        pressCancel();
        // A second press a moment later, while the page waits for the receiver, changes nothing.
        QTest::qWait(1000);
        if (page->btnCancelTransfer->isVisible() && page->isBusy())
            QTest::mouseClick(page->btnCancelTransfer, Qt::LeftButton);
        checkEndedWithinBound("the job");
        QVERIFY(!QTest::currentTestFailed());
        // Told in words, once; in the window the lost connection is named too.
        QTRY_VERIFY_WITH_TIMEOUT(boxTexts.size() > asked.size(), 10000);
        const QStringList told = boxTexts.mid(asked.size());
        QVERIFY2(told.count(unanswered()) == 1, qPrintable(told.join(" | ")));
        checkNothingLost(job);

        // The program connects anew by itself; the page works over the new connection.
        waitForTheNewConnection(connections);
        QCoreApplication::processEvents();
        QStringList expected{unanswered()};
        if (inWindow)
            expected << lostText();
        QCOMPARE(boxTexts.mid(asked.size()), expected);
        pageWorks(QStringLiteral("hdd/Movies"), QStringLiteral("hdd/Movies/a.ts"), pc->filePath("dl"), movie);
        QCOMPARE(r->emulator.connectionCount(), connections + 1);
    }
};

OMBRELAY_TEST_MAIN(TestSilentCancelPage)
#include "tst_silentcancelpage.moc"
