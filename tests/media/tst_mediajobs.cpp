#include "testmain.h"

#include "mediapagetest.h"
#include "receivertree.h"

#include "app/mainwindow.h"
#include "base/settings.h"
#include "device/core/devicetask.h"
#include "device/offline/offlinemill.h"
#include "device/transfers/copyjobbuilders.h"
#include "device/transfers/pctarget.h"

#include <QPointer>
#include <QPushButton>
#include <QSemaphore>

#include <atomic>
#include <functional>

#include <sys/stat.h>

namespace {
bool removeForReal(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink() ? QDir().rmdir(path) : QFile::remove(path);
}
} // namespace

// Copy, move and delete jobs of the real page offscreen: its receiver the emulator, its PC a temporary folder.
class TestMediaJobs : public MediaPageTest
{
    Q_OBJECT
    QStringList boxDefaults;
    bool pressEnter = false;          // answer questions with the Enter key instead of boxAnswers
    std::unique_ptr<MainWindow> main; // the page among the real main window's pages, when a test asks for it
    // A removal the worker is held in, until the test lets it go.
    std::atomic_int removed{0};
    std::atomic_bool held{false};
    QSemaphore release;

    // The default button of each question is noted; with pressEnter the question gets the Enter key.
    void answer(QDialog *box) override
    {
        auto *message = qobject_cast<QMessageBox *>(box);
        if (!message)
            return MediaPageTest::answer(box);
        QString preferred;
        for (QPushButton *button : message->findChildren<QPushButton *>())
            if (button->isDefault())
                preferred = button->text();
        boxDefaults << preferred;
        if (pressEnter && message->buttons().size() > 1) {
            boxTexts << message->text();
            QTest::keyClick(message, Qt::Key_Return);
            if (message->isVisible())
                box->reject();
            return;
        }
        MediaPageTest::answer(box);
    }
    QWidget *host() override { return main ? static_cast<QWidget *>(main.get()) : &window; }
    void showPage(bool active) override
    {
        if (!main)
            return MediaPageTest::showPage(active);
        main->resize(1200, 800);
        main->show();
        main->setCurrentModule(page.get(), true);
    }
    // The page of a new receiver opened again, in the real main window when inWindow; files(): what the test
    // puts on the receiver first.
    void reopen(bool inWindow, const std::function<void()> &files)
    {
        closePage();
        newReceiver();
        files();
        if (inWindow) {
            Settings::setString(Settings::OmbrelayDeviceList, QString());
            MediaExplorerModule::registerModule();
            main = std::make_unique<MainWindow>();
        }
        openPage(inWindow);
    }
    static QStringList clipboardLines(const char *type)
    {
        return QString::fromUtf8(QGuiApplication::clipboard()->mimeData()->data(QLatin1String(type)))
            .split("\r\n", Qt::SkipEmptyParts);
    }
    QList<QPointer<DeviceTask>> tasks() const
    {
        QList<QPointer<DeviceTask>> found;
        for (QObject *owner : {static_cast<QObject *>(page.get()), static_cast<QObject *>(page->deviceModel())})
            for (DeviceTask *task : owner->findChildren<DeviceTask *>())
                found << task;
        return found;
    }
    static int alive(const QList<QPointer<DeviceTask>> &tasks)
    {
        return int(
            std::count_if(tasks.begin(), tasks.end(), [](const QPointer<DeviceTask> &t) { return !t.isNull(); }));
    }

private slots:
    void init()
    {
        newReceiver();
        r->file("hdd/Movies/a.ts", "movie");
        boxDefaults.clear();
        pressEnter = false;
        openPage();
    }
    void cleanup()
    {
        PcTarget::setRemoveEntry({});
        release.release(); // a worker still held goes on
        QTRY_VERIFY(!held.load());
        release.acquire(release.available());
        if (main)
            main->setCurrentModule(nullptr, false);
        closePage();
        main.reset();
    }

    // A "\" in a PC name would split it into folders on the receiver: such an entry is left out and named
    // when the job ends, the rest of the job goes, and a cut of it is no finished move.
    void uploadRefusesBackslashNames_data()
    {
        QTest::addColumn<QString>("top");     // what is selected, below src
        QTest::addColumn<QString>("refused"); // the file left out, below src
        QTest::addColumn<QString>("arrived"); // the file that goes, below src and below hdd
        QTest::newRow("file") << "a\\b.txt"
                              << "a\\b.txt"
                              << "ok.txt";
        QTest::newRow("inside a folder") << "inner:dir"
                                         << "inner:dir/c\\d.txt"
                                         << "inner:dir/ok.txt";
    }
    void uploadRefusesBackslashNames()
    {
        QFETCH(QString, top);
        QFETCH(QString, refused);
        QFETCH(QString, arrived);
        write(pc.filePath("src/" + refused), "refused");
        write(pc.filePath("src/" + arrived), "arrived");
        page->btnMyComputer->click();
        QModelIndexList rows{pcIndex(pc.filePath("src/" + top))};
        if (top != arrived.section(u'/', 0, 0))
            rows << pcIndex(pc.filePath("src/" + arrived));
        paste(page->tvPcFolders, rows, page->tvZbDeviceFolders, device("hdd"), true);
        QCOMPARE(read(r->root.filePath("hdd/" + arrived)), QByteArray("arrived"));
        QCOMPARE(boxTexts, QStringList{"Ombrelay could not copy these files:\n" + refused.section(u'/', -1)});
        // Nothing was split into folders on the receiver.
        QStringList expected{"Movies", "Movies/a.ts"};
        for (const QString &part : {arrived.section(u'/', 0, 0), arrived})
            if (!expected.contains(part))
                expected << part;
        expected.sort();
        QCOMPARE(tree(r->root.filePath("hdd")), expected);
        QCOMPARE(read(pc.filePath("src/" + refused)), QByteArray("refused"));
        QVERIFY(clipboardHas("text/uri-list"));
        // The next job works as ever.
        boxTexts.clear();
        write(pc.filePath("next.txt"), "next");
        paste(page->tvPcFolders, {pcIndex(pc.filePath("next.txt"))}, page->tvZbDeviceFolders, device("hdd"));
        QCOMPARE(read(r->root.filePath("hdd/next.txt")), QByteArray("next"));
        QCOMPARE(boxTexts, QStringList());
    }

    // A move from the PC whose source stays (the process may not remove it) names that source and keeps the
    // cut; the other source goes.
    void pcMoveNamesSourceThatStays_data()
    {
        QTest::addColumn<bool>("toReceiver");
        QTest::newRow("to a PC folder") << false;
        QTest::newRow("to the receiver") << true;
    }
    void pcMoveNamesSourceThatStays()
    {
        QFETCH(bool, toReceiver);
        write(pc.filePath("src/stays.ts"), "stays");
        write(pc.filePath("src/goes.ts"), "goes");
        QVERIFY(QDir().mkpath(pc.filePath("dst")));
        const QString stays = pc.filePath("src/stays.ts");
        PcTarget::setRemoveEntry([stays](const QString &path) { return path != stays && removeForReal(path); });
        page->btnMyComputer->click();
        const QModelIndexList rows{pcIndex(stays), pcIndex(pc.filePath("src/goes.ts"))};
        if (toReceiver)
            paste(page->tvPcFolders, rows, page->tvZbDeviceFolders, device("hdd"), true);
        else
            paste(page->tvPcFolders, rows, page->tvPcFolders, pcIndex(pc.filePath("dst")), true);
        const QString target = toReceiver ? r->root.filePath("hdd") : pc.filePath("dst");
        QCOMPARE(read(target + "/stays.ts"), QByteArray("stays"));
        QCOMPARE(read(target + "/goes.ts"), QByteArray("goes"));
        QVERIFY(!QFileInfo::exists(pc.filePath("src/goes.ts")));
        QCOMPARE(read(stays), QByteArray("stays"));
        QCOMPARE(boxTexts, QStringList{"Ombrelay could not delete these files:\n" + stays});
        QVERIFY(clipboardHas("text/uri-list"));
    }

    // After a move that partly failed the clipboard holds only what stayed, still as a cut: a second paste
    // moves exactly those, without asking about or failing on what has moved already.
    void secondPasteAfterPartlyFailedMove_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("to the receiver, a name it cannot take") << "name";
        QTest::newRow("between PC folders, a source that stays") << "pc";
        QTest::newRow("to the receiver, a source that stays") << "receiver";
    }
    void secondPasteAfterPartlyFailedMove()
    {
        QFETCH(QString, kind);
        const QString moves = kind == "pc" ? "A.txt" : "ok.txt";
        const QString stays = kind == "name" ? "x\\y.txt" : kind == "pc" ? "B.txt" : "m.txt";
        write(pc.filePath("src/" + moves), "moves");
        write(pc.filePath("src/" + stays), "stays");
        QVERIFY(QDir().mkpath(pc.filePath("dst")));
        const QString staying = pc.filePath("src/" + stays);
        if (kind != "name")
            PcTarget::setRemoveEntry([staying](const QString &path) { return path != staying && removeForReal(path); });
        page->btnMyComputer->click();
        QTreeView *to = kind == "pc" ? static_cast<QTreeView *>(page->tvPcFolders) : page->tvZbDeviceFolders;
        const auto target = [&] { return kind == "pc" ? pcIndex(pc.filePath("dst")) : device("hdd/Movies"); };
        const QString into = kind == "pc" ? pc.filePath("dst") : r->root.filePath("hdd/Movies");
        paste(page->tvPcFolders, {pcIndex(pc.filePath("src/" + moves)), pcIndex(staying)}, to, target(), true);
        QCOMPARE(read(into + "/" + moves), QByteArray("moves"));
        QVERIFY(!QFileInfo::exists(pc.filePath("src/" + moves)));
        QCOMPARE(read(staying), QByteArray("stays"));
        QCOMPARE(boxTexts.size(), 1);
        QCOMPARE(boxTexts.first(), kind == "name" ? "Ombrelay could not copy these files:\n" + stays
                                                  : "Ombrelay could not delete these files:\n" + staying);
        // Only what stayed is on the clipboard.
        QVERIFY(clipboardHas("text/uri-list"));
        const QStringList lines = clipboardLines("text/uri-list");
        QCOMPARE(lines.size(), 1);
        QCOMPARE(localPathFromUriLine(lines.first()), staying);

        // The second paste, once the source may go.
        PcTarget::setRemoveEntry({});
        boxTexts.clear();
        if (kind != "name")
            boxAnswers << "&Yes"; // it was copied the first time
        select(to, {target()});
        page->pasteFromClipboard();
        QTRY_VERIFY(!page->isBusy());
        if (kind == "name") {
            QCOMPARE(boxTexts, QStringList{"Ombrelay could not copy these files:\n" + stays});
            QCOMPARE(read(staying), QByteArray("stays"));
            QVERIFY(clipboardHas("text/uri-list"));
        } else {
            QCOMPARE(boxTexts, QStringList{"This folder already contains a file named " + stays +
                                           ". Would you like to replace existing file?"});
            QCOMPARE(read(into + "/" + stays), QByteArray("stays"));
            QVERIFY(!QFileInfo::exists(staying));
            QVERIFY(!clipboardHas("text/uri-list"));
        }
        QCOMPARE(read(into + "/" + moves), QByteArray("moves"));
    }

    // A moved PC folder never stays behind unsaid: between PC folders its hidden entries move too; to the
    // receiver, which gets no hidden entries, the folder goes once emptied, or is named and stays cut.
    void folderMoveWithHiddenEntries_data()
    {
        QTest::addColumn<bool>("toReceiver");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("pipe"); // no file to copy: it stays, and so does its folder
        QTest::newRow("to a PC folder") << false << true << false;
        QTest::newRow("to a PC folder, a pipe inside") << false << false << true;
        QTest::newRow("to the receiver") << true << true << false;
        QTest::newRow("to the receiver, nothing hidden") << true << false << false;
    }
    void folderMoveWithHiddenEntries()
    {
        QFETCH(bool, toReceiver);
        QFETCH(bool, hidden);
        QFETCH(bool, pipe);
        const QString folder = pc.filePath("src/F");
        write(folder + "/a.txt", "a");
        write(folder + "/sub/b.txt", "b");
        if (hidden) {
            write(folder + "/.hidden", "h");
            write(folder + "/.cache/c.txt", "c");
        }
        if (pipe)
            QCOMPARE(mkfifo(QFile::encodeName(folder + "/sub/pipe").constData(), 0600), 0);
        QVERIFY(QDir().mkpath(pc.filePath("dst")));
        page->btnMyComputer->click();
        if (toReceiver)
            paste(page->tvPcFolders, {pcIndex(folder)}, page->tvZbDeviceFolders, device("hdd/Movies"), true);
        else
            paste(page->tvPcFolders, {pcIndex(folder)}, page->tvPcFolders, pcIndex(pc.filePath("dst")), true);
        const QString into = toReceiver ? r->root.filePath("hdd/Movies/F") : pc.filePath("dst/F");
        QCOMPARE(read(into + "/a.txt"), QByteArray("a"));
        QCOMPARE(read(into + "/sub/b.txt"), QByteArray("b"));
        if (pipe) {
            QCOMPARE(tree(into), (QStringList{"a.txt", "sub", "sub/b.txt"}));
            QVERIFY(QFileInfo(folder + "/sub/pipe").exists());
            QCOMPARE(tree(folder), QStringList{"sub"}); // the pipe is no entry the listing shows
            QCOMPARE(boxTexts, QStringList{"Ombrelay could not delete these files:\n" + folder + "/sub"});
            QVERIFY(clipboardHas("text/uri-list"));
        } else if (!toReceiver) {
            QCOMPARE(tree(into), (QStringList{".cache", ".cache/c.txt", ".hidden", "a.txt", "sub", "sub/b.txt"}));
            QVERIFY(!QFileInfo::exists(folder));
            QCOMPARE(boxTexts, QStringList());
            QVERIFY(!clipboardHas("text/uri-list"));
        } else if (hidden) {
            QCOMPARE(tree(into), (QStringList{"a.txt", "sub", "sub/b.txt"}));
            QCOMPARE(tree(folder), (QStringList{".cache", ".cache/c.txt", ".hidden"}));
            QCOMPARE(boxTexts, QStringList{"Ombrelay could not delete these files:\n" + folder});
            // Still a cut: once the hidden entries are gone, a second paste moves the folder itself.
            QVERIFY(QFile::remove(folder + "/.hidden") && QDir(folder + "/.cache").removeRecursively());
            boxTexts.clear();
            boxAnswers << "&Yes"; // the receiver has a folder F now
            select(page->tvZbDeviceFolders, {device("hdd/Movies")});
            page->pasteFromClipboard();
            QTRY_VERIFY(!page->isBusy());
            QCOMPARE(boxTexts.size(), 1);
            QVERIFY(!QFileInfo::exists(folder));
            QVERIFY(!clipboardHas("text/uri-list"));
        } else {
            QVERIFY(!QFileInfo::exists(folder));
            QCOMPARE(boxTexts, QStringList());
            QVERIFY(!clipboardHas("text/uri-list"));
        }
        QVERIFY(QFileInfo::exists(pc.filePath("src")));
    }

    // What the receiver will not delete after a move to the PC (a recording, an emptied folder) is named,
    // and the cut stays; once the receiver lets go, the same move finishes.
    void receiverMoveNamesWhatStays_data()
    {
        QTest::addColumn<bool>("recording");
        QTest::newRow("recording") << true;
        QTest::newRow("emptied folder") << false;
    }
    void receiverMoveNamesWhatStays()
    {
        QFETCH(bool, recording);
        const QString base = "01-05-2026 20_15 News";
        QString selected = "hdd/Movies/News"; // below a folder: right under a fixed drive nothing is cut
        if (recording) {
            const QDateTime date(QDate(2026, 5, 1), QTime(20, 15), Qt::UTC);
            r->media->addRecording("hdd\\Movies", {7, 3, "News", date, {{0, "ts", "video"}}});
            r->media->refuseRecordingDelete = true;
        } else {
            r->file("hdd/Top/Sel/f.ts", "f");
            r->media->refuseDelete("hdd\\Top\\Sel");
            selected = "hdd/Top/Sel";
        }
        QVERIFY(QDir().mkpath(pc.filePath("dl")));
        paste(page->tvZbDeviceFolders, {device(selected)}, page->tvPcFolders, pcIndex(pc.filePath("dl")), true);
        if (recording) {
            QCOMPARE(read(pc.filePath("dl/" + base + "/" + base + ".ts")), QByteArray("video"));
            QCOMPARE(r->media->recordingIds(), QList<quint16>{7});
        } else {
            QCOMPARE(read(pc.filePath("dl/Sel/f.ts")), QByteArray("f"));
            QCOMPARE(tree(r->root.filePath("hdd/Top/Sel")), QStringList());
        }
        QCOMPARE(boxTexts.size(), 1);
        QVERIFY(boxTexts.first().startsWith("Ombrelay could not delete these files:\n"));
        QVERIFY(boxTexts.first().endsWith(recording ? base : QStringLiteral("Sel")));
        QVERIFY(clipboardHas("text/zbdevice-uri-list"));
        // Once the receiver lets go, the same move finishes.
        boxTexts.clear();
        if (recording) {
            r->media->refuseRecordingDelete = false;
            boxAnswers << "&Yes"; // the recording is on the PC already
            paste(page->tvZbDeviceFolders, {device(selected)}, page->tvPcFolders, pcIndex(pc.filePath("dl")), true);
            QTRY_COMPARE(r->media->recordingIds(), QList<quint16>());
            QCOMPARE(boxTexts.size(), 1);
        } else {
            r->media->clearRefusedDeletes();
            r->file("hdd/Top/Sel/g.ts", "g");
            paste(page->tvZbDeviceFolders, {device(selected)}, page->tvPcFolders, pcIndex(pc.filePath("dl")), true);
            QVERIFY(!QFileInfo::exists(r->root.filePath("hdd/Top/Sel")));
            QCOMPARE(boxTexts, QStringList());
        }
    }

    // A receiver sub-folder whose name holds control characters cannot be fetched under the name the job
    // carries: its content is named when the job ends, no empty folder is made, and the cut stays.
    void receiverFolderWithControlCharacters()
    {
        r->file(QStringLiteral("hdd/Top/Sel/A\x01"
                               "B/f.ts"),
                "inside");
        r->file("hdd/Top/Sel/ok.ts", "ok");
        QVERIFY(QDir().mkpath(pc.filePath("dl")));
        paste(page->tvZbDeviceFolders, {device("hdd/Top/Sel")}, page->tvPcFolders, pcIndex(pc.filePath("dl")), true);
        QCOMPARE(tree(pc.filePath("dl")), (QStringList{"Sel", "Sel/ok.ts"}));
        QCOMPARE(boxTexts, QStringList{"Ombrelay could not copy these files:\nf.ts\nAB"});
        QCOMPARE(read(r->root.filePath(QStringLiteral("hdd/Top/Sel/A\x01"
                                                      "B/f.ts"))),
                 QByteArray("inside"));
        QVERIFY(!QFileInfo::exists(r->root.filePath("hdd/Top/Sel/ok.ts")));
        QVERIFY(clipboardHas("text/zbdevice-uri-list"));
    }

    // A move to the receiver whose folders the receiver will not make did not complete: it says so, and every
    // PC file and folder stays where it was, still cut for a second try.
    void uploadMoveWithoutReceiverFolders_data()
    {
        QTest::addColumn<bool>("folderSelected"); // the folder itself, else its files (one inside a sub-folder)
        QTest::newRow("folder") << true;
        QTest::newRow("files, one in a sub-folder") << false;
    }
    void uploadMoveWithoutReceiverFolders()
    {
        QFETCH(bool, folderSelected);
        const QString folder = pc.filePath("src/F");
        write(folder + "/a.txt", "a");
        write(folder + "/sub/b.txt", "b");
        const QStringList before = tree(pc.filePath("src"));
        r->media->refuseMakeFolder = true;
        r->transfers->uploadNeedsFolder = true;
        page->btnMyComputer->click();
        const QModelIndexList rows = folderSelected
                                         ? QModelIndexList{pcIndex(folder)}
                                         : QModelIndexList{pcIndex(folder + "/sub"), pcIndex(folder + "/a.txt")};
        paste(page->tvPcFolders, rows, page->tvZbDeviceFolders, device("hdd/Movies"), true);
        // a.txt goes straight into hdd/Movies, which is there: that part of the move is done
        QStringList stayed = before;
        if (!folderSelected) {
            stayed.removeOne("F/a.txt");
            QCOMPARE(read(r->root.filePath("hdd/Movies/a.txt")), QByteArray("a"));
        }
        QCOMPARE(tree(pc.filePath("src")), stayed);
        QCOMPARE(read(folder + "/sub/b.txt"), QByteArray("b"));
        // A refused folder on the way fails its entries alone, named when the job ends; the file the receiver
        // then refuses by its name is said with the receiver's reason.
        QCOMPARE(boxTexts, folderSelected ? (QStringList{"Cannot create file /hdd/Movies/F/a.txt. Not found",
                                                         "Ombrelay could not copy these files:\nb.txt\nsub"})
                                          : QStringList{"Cannot create file /hdd/Movies/sub/b.txt. Not found"});
        QCOMPARE(tree(r->root.filePath("hdd")), folderSelected
                                                    ? (QStringList{"Movies", "Movies/a.ts"})
                                                    : (QStringList{"Movies", "Movies/a.ts", "Movies/a.txt"}));
        // Once the receiver makes folders again, the same move takes everything.
        r->media->refuseMakeFolder = false;
        r->transfers->uploadNeedsFolder = false;
        boxTexts.clear();
        boxAnswers << "&Yes";
        paste(page->tvPcFolders,
              folderSelected ? QModelIndexList{pcIndex(folder)} : QModelIndexList{pcIndex(folder + "/sub")},
              page->tvZbDeviceFolders, device("hdd/Movies"), true);
        const QString into = r->root.filePath(folderSelected ? "hdd/Movies/F" : "hdd/Movies");
        QCOMPARE(read(into + "/a.txt"), QByteArray("a"));
        QCOMPARE(read(into + "/sub/b.txt"), QByteArray("b"));
        QVERIFY(!QFileInfo::exists(folder + "/a.txt"));
        QVERIFY(!QFileInfo::exists(folder + "/sub"));
    }

    // A cut PC folder pasted where the receiver holds a file of that name: the receiver refuses the path of each
    // file inside it. Each is one entry that did not arrive and stays on the PC; the rest of the job goes on, and
    // the connection stays in step for the next request.
    void uploadIntoFolderThatIsAFile_data()
    {
        QTest::addColumn<bool>("inWindow");
        QTest::newRow("page") << false;
        QTest::newRow("main window") << true;
    }
    void uploadIntoFolderThatIsAFile()
    {
        QFETCH(bool, inWindow);
        reopen(inWindow, [this] {
            r->file("hdd/FY/Y0.bin", "the receiver's");
            r->file("hdd/Movies/a.ts", "movie");
        });
        write(pc.filePath("src/Y0.bin/a.txt"), "a");
        write(pc.filePath("src/Y0.bin/b.txt"), "b");
        write(pc.filePath("src/ok6.txt"), "ok6");
        page->btnMyComputer->click();
        paste(page->tvPcFolders, {pcIndex(pc.filePath("src/ok6.txt")), pcIndex(pc.filePath("src/Y0.bin"))},
              page->tvZbDeviceFolders, device("hdd/FY"), true);
        QCOMPARE(read(r->root.filePath("hdd/FY/ok6.txt")), QByteArray("ok6"));
        QCOMPARE(read(r->root.filePath("hdd/FY/Y0.bin")), QByteArray("the receiver's"));
        QCOMPARE(tree(r->root.filePath("hdd/FY")), (QStringList{"Y0.bin", "ok6.txt"}));
        QCOMPARE(tree(pc.filePath("src")), (QStringList{"Y0.bin", "Y0.bin/a.txt", "Y0.bin/b.txt"}));
        QCOMPARE(boxTexts, QStringList{"Ombrelay could not copy these files:\na.txt\nb.txt\nY0.bin"});
        QVERIFY(clipboardHas("text/uri-list"));
        // The same connection takes the next request.
        boxTexts.clear();
        write(pc.filePath("next.txt"), "next");
        paste(page->tvPcFolders, {pcIndex(pc.filePath("next.txt"))}, page->tvZbDeviceFolders, device("hdd/Movies"));
        QCOMPARE(read(r->root.filePath("hdd/Movies/next.txt")), QByteArray("next"));
        QCOMPARE(boxTexts, QStringList());
        QCOMPARE(r->emulator.connectionCount(), 1);
        QCOMPARE(page->deviceStackedWidget->currentIndex(), 0);
    }

    // A move to the PC where the user keeps one existing file: that file stays on the receiver, is said not to
    // have moved (its folder is no failed delete), and stays cut, so a second paste offers it again.
    void receiverMoveKeepsDeclinedFile_data()
    {
        QTest::addColumn<bool>("folder"); // the folder selected, else its two files
        QTest::addColumn<bool>("alone");  // x.ts alone selected: its No ends the job
        QTest::newRow("files") << false << false;
        QTest::newRow("folder") << true << false;
        QTest::newRow("one file") << false << true;
    }
    void receiverMoveKeepsDeclinedFile()
    {
        QFETCH(bool, folder);
        QFETCH(bool, alone);
        r->file("hdd/Top/Sel/x.ts", "new x");
        r->file("hdd/Top/Sel/y.ts", "new y");
        const QString dl = pc.filePath("dl");
        const QString into = folder ? dl + "/Sel" : dl;
        write(into + "/x.ts", "old x");
        QTRY_VERIFY(pcIndex(dl).isValid());
        const auto rows = [&] {
            return folder  ? QModelIndexList{device("hdd/Top/Sel")}
                   : alone ? QModelIndexList{device("hdd/Top/Sel/x.ts")}
                           : QModelIndexList{device("hdd/Top/Sel/x.ts"), device("hdd/Top/Sel/y.ts")};
        };
        const QString question =
            "This folder already contains a file named x.ts. Would you like to replace existing file?";
        boxAnswers << "&No";
        paste(page->tvZbDeviceFolders, rows(), page->tvPcFolders, pcIndex(dl), true);
        QCOMPARE(read(into + "/x.ts"), QByteArray("old x"));
        QCOMPARE(read(into + "/y.ts"), alone ? QByteArray("<none>") : QByteArray("new y"));
        QCOMPARE(tree(r->root.filePath("hdd/Top")),
                 alone ? (QStringList{"Sel", "Sel/x.ts", "Sel/y.ts"}) : (QStringList{"Sel", "Sel/x.ts"}));
        QCOMPARE(boxTexts,
                 (QStringList{question, "These files were not moved, as you chose to keep the existing ones:\nx.ts"}));
        QVERIFY(clipboardHas("text/zbdevice-uri-list"));
        const QStringList lines = clipboardLines("text/zbdevice-uri-list");
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith(folder ? "dir:///hdd\\Top\\Sel*" : "file:///hdd\\Top\\Sel\\x.ts*"),
                 qPrintable(lines.first()));
        // The second paste offers it again; this time it moves.
        boxTexts.clear();
        boxAnswers << "&Yes";
        select(page->tvPcFolders, {pcIndex(dl)});
        page->pasteFromClipboard();
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(boxTexts, QStringList{question});
        QCOMPARE(read(into + "/x.ts"), QByteArray("new x"));
        QCOMPARE(tree(r->root.filePath("hdd/Top")), folder  ? QStringList()
                                                    : alone ? (QStringList{"Sel", "Sel/y.ts"})
                                                            : QStringList{"Sel"});
        QVERIFY(!clipboardHas("text/zbdevice-uri-list"));
    }

    // A move to the PC cancelled during its second file: the first has moved and leaves the clipboard; the file
    // under way and the one not sent yet stay on the receiver and stay cut, and a second paste moves them.
    void cancelledReceiverMoveKeepsWhatStayed_data()
    {
        QTest::addColumn<bool>("folder"); // the folder selected, else its three files
        QTest::addColumn<bool>("inWindow");
        QTest::newRow("files") << false << false;
        QTest::newRow("folder") << true << false;
        QTest::newRow("files, main window") << false << true;
    }
    void cancelledReceiverMoveKeepsWhatStayed()
    {
        QFETCH(bool, folder);
        QFETCH(bool, inWindow);
        const auto files = [this] {
            r->file("hdd/Top/Sel/a.ts", "a");
            r->file("hdd/Top/Sel/big.ts", QByteArray(300000, 'b'));
            r->file("hdd/Top/Sel/c.ts", "c");
        };
        inWindow ? reopen(true, files) : files();
        const QString dl = pc.filePath("dl");
        QVERIFY(QDir().mkpath(dl));
        QTRY_VERIFY(pcIndex(dl).isValid());
        // the receiver falls silent after the first block of big.ts, until the PC cancels
        r->transfers->silentAfter = 65536;
        const QModelIndexList rows = folder ? QModelIndexList{device("hdd/Top/Sel")}
                                            : QModelIndexList{device("hdd/Top/Sel/a.ts"), device("hdd/Top/Sel/big.ts"),
                                                              device("hdd/Top/Sel/c.ts")};
        select(page->tvZbDeviceFolders, rows);
        page->moveToClipboard();
        const QStringList before = clipboardLines("text/zbdevice-uri-list");
        select(page->tvPcFolders, {pcIndex(dl)});
        page->pasteFromClipboard();
        QTRY_VERIFY(r->emulator.received().contains("big.ts"));
        QTRY_VERIFY(!QFileInfo::exists(r->root.filePath("hdd/Top/Sel/a.ts")));
        page->btnCancelTransfer->click();
        QTRY_VERIFY(!page->isBusy());
        const QString into = folder ? dl + "/Sel" : dl;
        QCOMPARE(read(into + "/a.ts"), QByteArray("a"));
        QCOMPARE(tree(r->root.filePath("hdd/Top")), (QStringList{"Sel", "Sel/big.ts", "Sel/c.ts"}));
        QCOMPARE(tree(into), QStringList{"a.ts"});
        QVERIFY2(clipboardHas("text/zbdevice-uri-list"), qPrintable(boxTexts.join(" | ")));
        QCOMPARE(clipboardLines("text/zbdevice-uri-list"), folder ? before : before.mid(1));
        // The second paste moves exactly what stayed.
        r->transfers->silentAfter = -1;
        boxTexts.clear();
        select(page->tvPcFolders, {pcIndex(dl)});
        page->pasteFromClipboard();
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(read(into + "/big.ts"), QByteArray(300000, 'b'));
        QCOMPARE(read(into + "/c.ts"), QByteArray("c"));
        QCOMPARE(tree(r->root.filePath("hdd/Top")), folder ? QStringList() : QStringList{"Sel"});
        QCOMPARE(boxTexts, QStringList());
        QVERIFY(!clipboardHas("text/zbdevice-uri-list"));
    }

    // A move to the PC cancelled, then pasted again: what the second paste took off the receiver leaves the
    // receiver pane too (it stayed listed, and copying it then failed), in the folder it was cut from.
    void receiverPaneAfterSecondPasteOfACut_data()
    {
        QTest::addColumn<bool>("folder"); // the folder selected, else its files
        QTest::addColumn<bool>("inWindow");
        QTest::newRow("files") << false << false;
        QTest::newRow("folder") << true << false;
        QTest::newRow("files, main window") << false << true;
        QTest::newRow("folder, main window") << true << true;
    }
    void receiverPaneAfterSecondPasteOfACut()
    {
        QFETCH(bool, folder);
        QFETCH(bool, inWindow);
        const auto files = [this] {
            r->file("hdd/Top/Sel/big.ts", QByteArray(300000, 'b'));
            r->file("hdd/Top/Sel/valid.ts", "v");
            r->file("hdd/Top/keep.ts", "k");
        };
        inWindow ? reopen(true, files) : files();
        const QString dl = pc.filePath("dl");
        QVERIFY(QDir().mkpath(dl));
        QTRY_VERIFY(pcIndex(dl).isValid());
        ZBDeviceFileSystemModel *model = page->deviceModel();
        const QPersistentModelIndex top = device("hdd/Top");
        const QPersistentModelIndex sel = device("hdd/Top/Sel");
        QVERIFY(top.isValid() && sel.isValid());
        QTRY_VERIFY(ReceiverTree::listed(model, sel, 2).isValid());
        // the receiver falls silent after the first block of big.ts, until the PC cancels
        r->transfers->silentAfter = 65536;
        select(page->tvZbDeviceFolders, folder ? QModelIndexList{sel}
                                               : QModelIndexList{ReceiverTree::child(model, sel, "big.ts"),
                                                                 ReceiverTree::child(model, sel, "valid.ts")});
        page->moveToClipboard();
        select(page->tvPcFolders, {pcIndex(dl)});
        page->pasteFromClipboard();
        QTRY_VERIFY(r->emulator.received().contains("big.ts"));
        page->btnCancelTransfer->click();
        QTRY_VERIFY(!page->isBusy());
        QTRY_VERIFY(!model->isFetching());
        QVERIFY(clipboardHas("text/zbdevice-uri-list"));

        // The second paste moves everything; the receiver pane lists the folder as the receiver holds it now.
        r->transfers->silentAfter = -1;
        boxTexts.clear();
        select(page->tvPcFolders, {pcIndex(dl)});
        page->pasteFromClipboard();
        QTRY_VERIFY(!page->isBusy());
        const QString into = folder ? dl + "/Sel" : dl;
        QCOMPARE(read(into + "/valid.ts"), QByteArray("v"));
        QCOMPARE(read(into + "/big.ts"), QByteArray(300000, 'b'));
        const QStringList left = folder ? QStringList{"keep.ts"} : QStringList{"Sel", "keep.ts"};
        QCOMPARE(tree(r->root.filePath("hdd/Top")), left);
        QCOMPARE(boxTexts, QStringList());
        const auto names = [&](const QModelIndex &at) {
            QStringList found;
            for (const QModelIndex &row : ReceiverTree::children(model, at))
                found << row.data().toString();
            found.sort();
            return found;
        };
        if (folder) {
            QTRY_COMPARE(names(top), QStringList{"keep.ts"});
        } else {
            QVERIFY(sel.isValid());
            QTRY_COMPARE(names(sel), QStringList());
        }
        QTRY_VERIFY(!model->isFetching());
    }

    // A file the page deleted itself is never named as gone. The folder read again while a delete runs is rebuilt in
    // one go, and each view sets back its current row and selection: here the current row is set back while its
    // file still exists, and the delete takes it before the selection follows.
    void ownDeleteNeverNamedAsGone_data()
    {
        QTest::addColumn<bool>("browser"); // the folder browser, else the PC's tree
        QTest::newRow("browser") << true;
        QTest::newRow("tree") << false;
    }
    void ownDeleteNeverNamedAsGone()
    {
        QFETCH(bool, browser);
        const QString folder = pc.filePath("del");
        QStringList files;
        for (int i = 0; i < 6; ++i) {
            files << folder + QStringLiteral("/d%1.txt").arg(i);
            write(files.last(), "d");
        }
        PcFileSystemModel *model = page->pcModel();
        QTreeView *view = browser ? static_cast<QTreeView *>(page->tvPcSpecialFolders) : page->tvPcFolders;
        if (browser) {
            browseTo(folder);
        } else {
            page->btnMyComputer->click();
            QTRY_VERIFY(pcIndex(folder).isValid());
            model->fetchMore(pcIndex(folder));
        }
        QTRY_COMPARE(model->rowCount(pcIndex(folder)), 6);
        // a folder read again with any entry gone is rebuilt in one go
        model->setRemovalBudget(1);
        const QString last = files[4];
        QSemaphore lastGone;
        removed = 0;
        PcTarget::setRemoveEntry([&](const QString &path) {
            const bool done = removeForReal(path);
            if (path == last)
                lastGone.release();
            if (++removed == 1) {
                held = true;
                release.tryAcquire(1, 30000);
                held = false;
            }
            return done;
        });
        view->setFocus();
        select(view, {pcIndex(files[0]), pcIndex(files[1]), pcIndex(files[2]), pcIndex(files[3]), pcIndex(last)});
        view->selectionModel()->setCurrentIndex(pcIndex(last), QItemSelectionModel::NoUpdate);
        boxAnswers << "&Yes";
        page->deleteSelectedFiles();
        QTRY_VERIFY(held.load());

        // As the view sets its current row back on the last file, the delete goes on and takes it.
        bool armed = true;
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this, [&](const QModelIndex &current) {
            if (!armed || model->filePath(current) != last)
                return;
            armed = false;
            release.release();
            QVERIFY(lastGone.tryAcquire(1, 30000));
        });
        QSignalSpy rebuilt(model, &PcFileSystemModel::folderRebuilt);
        model->refreshFolder(folder); // as the folder's watching reads it again
        QCOMPARE(rebuilt.size(), 1);
        QVERIFY(!armed);
        QTRY_VERIFY(!page->isBusy());
        QTRY_COMPARE(model->rowCount(pcIndex(folder)), 1);
        QCOMPARE(tree(folder), QStringList{"d5.txt"});
        QVERIFY2(boxTexts.size() == 1, qPrintable(boxTexts.join(" | "))); // the question, no word of a file gone
        QVERIFY(boxTexts.first().startsWith("Are you sure"));
        PcTarget::setRemoveEntry({});
    }

    // Enter in a replace question never overwrites: No is the default, for the last entry as for the others.
    void replaceQuestionDefaultsToNo_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("defaults");
        QTest::newRow("one entry") << QStringList{"a.ts"} << QStringList{"&No"};
        QTest::newRow("two entries") << QStringList{"a.ts", "b.ts"} << QStringList{"&No", "&No"};
    }
    void replaceQuestionDefaultsToNo()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, defaults);
        for (const QString &file : files) {
            write(pc.filePath("src/" + file), "new");
            write(pc.filePath("dst/" + file), "old");
        }
        QModelIndexList rows;
        page->btnMyComputer->click();
        for (const QString &file : files)
            rows << pcIndex(pc.filePath("src/" + file));
        pressEnter = true;
        paste(page->tvPcFolders, rows, page->tvPcFolders, pcIndex(pc.filePath("dst")));
        QCOMPARE(boxDefaults, defaults);
        for (const QString &file : files)
            QCOMPARE(read(pc.filePath("dst/" + file)), QByteArray("old"));
        // Yes is still there for who wants it.
        pressEnter = false;
        boxAnswers = QStringList(files.size(), QStringLiteral("&Yes"));
        paste(page->tvPcFolders, rows, page->tvPcFolders, pcIndex(pc.filePath("dst")));
        for (const QString &file : files)
            QCOMPARE(read(pc.filePath("dst/" + file)), QByteArray("new"));
    }

    // Requests refused because the receiver is gone end without running; each of their tasks is freed.
    void tasksRefusedWhileDisconnectedAreFreed_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("listings") << "list";
        QTest::newRow("delete") << "delete";
        QTest::newRow("new folder") << "folder";
    }
    void tasksRefusedWhileDisconnectedAreFreed()
    {
        QFETCH(QString, action);
        // below a folder of the drive: a folder right under a fixed drive is never deleted
        r->file("hdd/Movies/Old/b.ts", "b");
        const QPersistentModelIndex old = device("hdd/Movies/Old");
        QVERIFY(old.isValid());
        select(page->tvZbDeviceFolders, {old});
        r->manager->requestClose();
        QList<QPointer<DeviceTask>> seen;
        if (action == QLatin1String("list")) {
            QTRY_COMPARE(page->deviceStackedWidget->currentIndex(), 1);
            QVERIFY(old.isValid());
            for (int i = 0; i < 5; ++i) {
                page->deviceModel()->refresh(old);
                seen << tasks();
                QTRY_VERIFY(!page->deviceModel()->isFetching());
            }
        } else if (action == QLatin1String("delete")) {
            // asked while the connection goes, before the page has heard of it
            boxAnswers << "&Yes";
            page->deleteSelectedFiles();
            seen << tasks();
        } else {
            folderName = "New";
            page->onNewFolder();
            seen << tasks();
        }
        QVERIFY(!seen.isEmpty());
        QTRY_COMPARE(page->deviceStackedWidget->currentIndex(), 1);
        QTRY_VERIFY(!page->isBusy());
        QTRY_COMPARE(alive(seen), 0);
        QVERIFY(QFileInfo::exists(r->root.filePath("hdd/Movies/Old/b.ts")));
        QVERIFY(!QFileInfo::exists(r->root.filePath("hdd/Movies/Old/New")));
    }

    // Cancelling (or closing the page) during the delete of a large PC folder stops inside the folder, does
    // not wait for the worker on the GUI thread, and the next job runs.
    void cancelPcDeleteOfLargeFolder_data()
    {
        QTest::addColumn<bool>("close");
        QTest::addColumn<bool>("failedBefore"); // an entry before the folder would not go: it is named
        QTest::newRow("cancel") << false << false;
        QTest::newRow("close the page") << true << false;
        QTest::newRow("cancel after an entry that stayed") << false << true;
    }
    void cancelPcDeleteOfLargeFolder()
    {
        QFETCH(bool, close);
        QFETCH(bool, failedBefore);
        const QString stuck = pc.filePath("stuck.txt");
        write(stuck, "s");
        const int count = 200;
        for (int i = 0; i < count; ++i)
            write(pc.filePath(QStringLiteral("big/f%1.bin").arg(i, 3, 10, QLatin1Char('0'))), "x");
        write(pc.filePath("other.txt"), "o");
        removed = 0;
        PcTarget::setRemoveEntry([this, stuck](const QString &path) {
            if (path == stuck)
                return false;
            if (++removed == 10) {
                held = true;
                // Far longer than a cancel that does not wait takes; a cancel that waits ends it.
                release.tryAcquire(1, 10000);
                held = false;
            }
            return removeForReal(path);
        });
        page->btnMyComputer->click();
        QModelIndexList rows{pcIndex(pc.filePath("big"))};
        if (failedBefore)
            rows.prepend(pcIndex(stuck));
        select(page->tvPcFolders, rows);
        boxAnswers << "&Yes";
        page->deleteSelectedFiles();
        QTRY_VERIFY(held.load());
        if (close) {
            boxAnswers << "&Yes";
            QVERIFY(!page->close());
        } else {
            page->onBtnCancelTransfer();
        }
        // Returned while the worker was still held: the GUI thread did not wait for it.
        QVERIFY(held.load());
        release.release();
        QTRY_VERIFY(!page->isBusy());
        if (close)
            QTRY_COMPARE(window.closes, 1);
        QCOMPARE(QDir(pc.filePath("big")).entryList(QDir::Files).size(), count - 10);
        if (failedBefore) {
            QTRY_COMPARE(boxTexts.size(), 2);
            QCOMPARE(boxTexts.last(), QStringLiteral("Ombrelay could not delete these files:\nstuck.txt\r\n"));
        } else {
            QCOMPARE(boxTexts.size(), close ? 2 : 1); // nothing failed: no "could not delete" warning
        }
        QCOMPARE(read(stuck), QByteArray("s"));
        PcTarget::setRemoveEntry({});
        boxAnswers << "&Yes";
        select(page->tvPcFolders, {pcIndex(pc.filePath("other.txt"))});
        page->deleteSelectedFiles();
        QTRY_VERIFY(!QFileInfo::exists(pc.filePath("other.txt")));
        QTRY_VERIFY(!page->isBusy());
    }
};

OMBRELAY_TEST_MAIN(TestMediaJobs)
#include "tst_mediajobs.moc"
