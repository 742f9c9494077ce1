#include "testmain.h"

#include "mediapagetest.h"

#include "device/transfers/receiverfoldercommands.h"

#include <QDesktopServices>
#include <QMenu>
#include <QTranslator>

#include <functional>

// The real page offscreen, its receiver the emulator, its PC a temporary folder.
class TestMediaExplorerModule : public MediaPageTest
{
    Q_OBJECT
    QStringList opened;
    std::function<void()> whileBoxOpen; // runs inside the next box, before it is answered

    void answer(QDialog *box) override
    {
        if (whileBoxOpen)
            std::exchange(whileBoxOpen, nullptr)();
        MediaPageTest::answer(box);
    }

    static bool clipboardHasReceiverItems() { return clipboardHas("text/zbdevice-uri-list"); }
    static QStringList names(const QAbstractItemModel *m, const QModelIndex &folder) // the rows shown, sorted
    {
        QStringList found;
        for (int i = 0; i < m->rowCount(folder); ++i)
            found << m->index(i, 0, folder).data().toString();
        found.sort();
        return found;
    }
    void showPcFolder(const QString &path) // open in the PC pane, as the user sees it
    {
        QModelIndexList chain;
        for (QModelIndex at = pcIndex(path); at.isValid(); at = at.parent())
            chain.prepend(at);
        for (const QModelIndex &at : std::as_const(chain))
            page->tvPcFolders->expand(at);
        if (page->pcModel()->canFetchMore(pcIndex(path)))
            page->pcModel()->fetchMore(pcIndex(path));
    }
    // Files of the receiver folder "hdd/<folder>", dated in the order given so the tree lists them so.
    QModelIndexList receiverFiles(const QString &folder, const QStringList &files, const QByteArray &data = "bytes")
    {
        const QDateTime first(QDate(2024, 5, 1), QTime(10, 0));
        for (int i = 0; i < files.size(); ++i)
            r->file("hdd/" + folder + "/" + files.at(i), files.at(i) == "big.ts" ? data : files.at(i).toUtf8(),
                    first.addSecs(i));
        QModelIndexList rows;
        for (const QString &file : files)
            rows << device("hdd/" + folder + "/" + file);
        return rows;
    }

public slots:
    void openUrl(const QUrl &url) { opened << url.toLocalFile(); }

private slots:
    void init()
    {
        // Each test starts from an empty PC folder.
        newReceiver();
        r->file("hdd/Movies/a.ts", "movie");
        r->file("hdd/x.ts", "x");
        r->file("hdd/y.ts", "y");
        r->file("hdd/p.jpg", "picture");
        opened.clear();
        whileBoxOpen = nullptr;
        QDesktopServices::setUrlHandler("file", this, "openUrl");
        openPage();
    }
    void cleanup()
    {
        closePage();
        QDesktopServices::unsetUrlHandler("file");
    }

    void connectionStates_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("explore");
        QTest::addColumn<int>("stack");
        QTest::newRow("disconnected") << "disconnected"
                                      << "Device is disconnected. Press button to explore files and folders." << true
                                      << 1;
        QTest::newRow("disconnecting") << "disconnecting"
                                       << "Disconnecting from device..." << false << 1;
        QTest::newRow("connecting") << "connecting"
                                    << "Connecting to device..." << false << 1;
        QTest::newRow("other") << "odd"
                               << "Connecting to device..." << false << 0;
    }
    void connectionStates()
    {
        QFETCH(QString, state);
        page->onDeviceStateChange(state);
        QTEST(page->lblRefreshDevice->text(), "label");
        QTEST(page->btnExplore->isEnabled(), "explore");
        QTEST(page->deviceStackedWidget->currentIndex(), "stack");
    }

    void translations_data()
    {
        QTest::addColumn<QString>("language");
        // Cut button, drive type, "Hide properties panel" kept, the skipped-files warning
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("de") << "de_DE"
                            << QStringList{"Ausschneiden", "Laufwerk", "Hide properties panel",
                                           "Ombrelay konnte diese Dateien nicht kopieren:\n%1"};
        QTest::newRow("pl") << "pl_PL"
                            << QStringList{"Wytnij", "Dysk", "Hide properties panel",
                                           "Ombrelay nie mógł skopiować tych plików:\n%1"};
    }
    void translations()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, texts);
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/translations/Resources/MUI/%1.qm").arg(language)));
        QVERIFY(QCoreApplication::installTranslator(&translator));
        const auto seen = [this] {
            return QStringList{page->btnCut->text(), page->deviceModel()->index(0, 2).data().toString(),
                               page->deviceContextMenu()->actions().last()->text(),
                               MediaExplorerModule::tr("Ombrelay could not copy these files:\n%1")};
        };
        QTRY_COMPARE(seen(), texts);
        QCoreApplication::removeTranslator(&translator);
        QTRY_COMPARE(seen().first(), QStringLiteral("Cut"));
    }

    // A PC file with awkward characters pasted on a receiver volume arrives byte for byte.
    void pcFileToReceiver()
    {
        const QString name = QStringLiteral("a b%#.ts");
        QFile f(pc.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("pc bytes") == 8);
        f.close();
        std::unique_ptr<QMimeData> data(page->pcModel()->mimeData({pcIndex(f.fileName())}));
        QGuiApplication::clipboard()->setMimeData(data.release());
        select(page->tvZbDeviceFolders, {device("hdd")});
        QCOMPARE(page->activePane(), 2);
        page->pasteFromClipboard();
        QTRY_COMPARE(read(r->root.filePath("hdd/" + name)), QByteArray("pc bytes"));
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(read(f.fileName()), QByteArray("pc bytes"));
    }

    // Cut on the receiver, paste into a PC folder: the bytes move and the clipboard is emptied. (A folder
    // right under a drive may not be cut: the one moved is below it.)
    void cutReceiverFolderToPc()
    {
        r->file("hdd/Movies/Season/a.ts", "movie");
        select(page->tvZbDeviceFolders, {device("hdd/Movies/Season")});
        page->moveToClipboard();
        select(page->tvPcFolders, {pcIndex(pc.path())});
        QCOMPARE(page->activePane(), 1);
        page->pasteFromClipboard();
        QTRY_COMPARE(read(pc.filePath("Season/a.ts")), QByteArray("movie"));
        QTRY_VERIFY(!page->isBusy());
        QVERIFY(!QFileInfo::exists(r->root.filePath("hdd/Movies/Season")));
        QVERIFY(!clipboardHasReceiverItems());
    }

    // Anything copied over a cut clipboard is only copied.
    void staleCutCopies()
    {
        QFile f(pc.filePath("src/s.ts"));
        QVERIFY(QDir().mkpath(pc.filePath("src")) && QDir().mkpath(pc.filePath("dst")));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("s") == 1);
        f.close();
        page->btnMyComputer->click();
        select(page->tvPcFolders, {pcIndex(f.fileName())});
        page->moveToClipboard();
        auto *other = new QMimeData;
        other->setData("text/uri-list", QUrl::fromLocalFile(f.fileName()).toEncoded() + "\r\n");
        QGuiApplication::clipboard()->setMimeData(other);
        select(page->tvPcFolders, {pcIndex(pc.filePath("dst"))});
        page->pasteFromClipboard();
        QTRY_COMPARE(read(pc.filePath("dst/s.ts")), QByteArray("s"));
        QTRY_VERIFY(!page->isBusy());
        QVERIFY(QFileInfo::exists(f.fileName()));
    }

    void deleteWithRefusedName()
    {
        r->file("hdd/Movies/x.ts", "x");
        r->file("hdd/Movies/y.ts", "y");
        r->media->refuseDelete("hdd\\Movies\\y.ts");
        boxAnswers << "&Yes";
        select(page->tvZbDeviceFolders, {device("hdd/Movies/x.ts"), device("hdd/Movies/y.ts")});
        page->deleteSelectedFiles();
        QTRY_COMPARE(boxTexts.size(), 2);
        QCOMPARE(boxTexts.at(0), QStringLiteral("Are you sure you want to delete these 2 items?"));
        QCOMPARE(boxTexts.at(1), QStringLiteral("Ombrelay could not delete these files:\ny.ts\r\n"));
        QVERIFY(!QFileInfo::exists(r->root.filePath("hdd/Movies/x.ts")));
        QVERIFY(QFileInfo::exists(r->root.filePath("hdd/Movies/y.ts")));
    }

    void newFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("made");
        QTest::newRow("plain") << "New" << true;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("leaves the folder") << "a/b\\c" << false;
        QTest::newRow("control character") << "a\tb" << false;
    }
    void newFolder()
    {
        QFETCH(QString, name);
        QFETCH(bool, made);
        folderName = name;
        select(page->tvZbDeviceFolders, {device("hdd/Movies")});
        page->onNewFolder();
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(boxTexts.size(), made ? 0 : 1);
        QTRY_COMPARE(QDir(r->root.filePath("hdd/Movies")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                     made ? QStringList{name} : QStringList());
    }

    // A picture is fetched once into the page's private folder; a failed fetch opens nothing.
    void preview()
    {
        const QModelIndex picture = device("hdd/p.jpg");
        emit page->tvZbDeviceFolders->doubleClicked(picture);
        QTRY_COMPARE(opened.size(), 1);
        QCOMPARE(read(opened.first()), QByteArray("picture"));
        QFile local(opened.first());
        QVERIFY(local.open(QIODevice::WriteOnly) && local.write("kept") == 4);
        local.close();
        QTRY_VERIFY(!page->isBusy());
        emit page->tvZbDeviceFolders->doubleClicked(picture);
        QTRY_COMPARE(opened.size(), 2);
        QCOMPARE(opened.at(1), opened.at(0));
        QCOMPARE(read(opened.first()), QByteArray("kept"));
        QTRY_VERIFY(!page->isBusy());
        QFile::remove(opened.first());
        r->transfers->refuseStatus = 0xFD;
        emit page->tvZbDeviceFolders->doubleClicked(picture);
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(opened.size(), 2);
    }

    // While a download hangs: keys start nothing; Cancel ends it with no partial file and the old target.
    void cancelMidDownload()
    {
        r->file("hdd/big.ts", QByteArray(30'000'000, 'n'));
        QVERIFY(QDir().mkpath(pc.filePath("dl")));
        QFile old(pc.filePath("dl/big.ts"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        r->transfers->blockSize = 1000;
        boxAnswers << "&Yes";
        select(page->tvZbDeviceFolders, {device("hdd/big.ts")});
        page->copyToClipboard();
        select(page->tvPcFolders, {pcIndex(pc.filePath("dl"))});
        page->pasteFromClipboard();
        QTRY_VERIFY(page->frStatusBar->isVisible() && page->pgrStatus->value() > 0);
        QVERIFY(page->isBusy());
        QGuiApplication::clipboard()->clear();
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page.get()));
        QTest::keyClick(page->tvPcFolders, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(!QGuiApplication::clipboard()->mimeData() ||
                QGuiApplication::clipboard()->mimeData()->formats().isEmpty());
        page->onBtnCancelTransfer();
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(read(old.fileName()), QByteArray("old"));
        QTRY_COMPARE(QDir(pc.filePath("dl")).entryList(QDir::Files | QDir::Hidden), QStringList{"big.ts"});
        QCOMPARE(boxTexts.first(),
                 QStringLiteral(
                     "This folder already contains a file named big.ts. Would you like to replace existing file?"));
    }

    // Stop and exit: Yes cancels, and once the receiver has let go the window is closed again.
    void closeWhileBusy()
    {
        r->file("hdd/big.jpg", QByteArray(30'000'000, 'n'));
        r->transfers->blockSize = 1000;
        emit page->tvZbDeviceFolders->doubleClicked(device("hdd/big.jpg"));
        QVERIFY(page->isBusy());
        boxAnswers << "&Yes";
        QVERIFY(!page->close());
        QTRY_COMPARE(window.closes, 1);
        QVERIFY(!page->isBusy());
        QCOMPARE(opened.size(), 0);
    }

    // On the PC only "/" separates: colons and backslashes are name characters, nothing is skipped.
    void pcToPcKeepsEveryName_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("colon in a file") << "News 20:15.ts";
        QTest::newRow("colon in a folder") << "Shows 2024-05-01 20:15/a.ts";
        QTest::newRow("backslash in a name") << "back\\slash.ts";
    }
    void pcToPcKeepsEveryName()
    {
        QFETCH(QString, relative);
        write(pc.filePath("src/" + relative), "bytes");
        QVERIFY(QDir().mkpath(pc.filePath("dst")));
        page->btnMyComputer->click();
        const QString top = pc.filePath("src/" + relative.section(u'/', 0, 0));
        paste(page->tvPcFolders, {pcIndex(top)}, page->tvPcFolders, pcIndex(pc.filePath("dst")));
        QCOMPARE(read(pc.filePath("dst/" + relative)), QByteArray("bytes"));
        QCOMPARE(boxTexts, QStringList());
    }

    // An entry the job has to leave out is named when the job ends, and a cut of it moves nothing.
    void skippedEntryIsReported()
    {
        // The file sits 65 names below the chosen folder: deeper than any target the copy will make.
        const QString deep = "t/" + QStringLiteral("d/").repeated(63);
        write(pc.filePath("src/" + deep + "f.ts"), "deep");
        write(pc.filePath("src/t/near.ts"), "near");
        QVERIFY(QDir().mkpath(pc.filePath("dst")));
        page->btnMyComputer->click();
        paste(page->tvPcFolders, {pcIndex(pc.filePath("src/t"))}, page->tvPcFolders, pcIndex(pc.filePath("dst")), true);
        QCOMPARE(read(pc.filePath("dst/t/near.ts")), QByteArray("near"));
        QCOMPARE(boxTexts, QStringList{"Ombrelay could not copy these files:\nf.ts"});
        QCOMPARE(read(pc.filePath("src/" + deep + "f.ts")), QByteArray("deep"));
        // Not a finished move: the clipboard still holds the cut.
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat("text/uri-list"));
    }

    // A PC folder pasted over a receiver folder of that name: one question before anything inside is sent.
    void folderReplaceQuestion_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QByteArray>("existing"); // hdd/Movies/a.ts afterwards
        QTest::addColumn<bool>("added");          // hdd/Movies/new.ts afterwards
        QTest::newRow("yes") << "&Yes" << QByteArray("pc movie") << true;
        QTest::newRow("no") << "&No" << QByteArray("movie") << false;
        QTest::newRow("cancel") << "&Cancel" << QByteArray("movie") << false;
    }
    void folderReplaceQuestion()
    {
        QFETCH(QString, answer);
        write(pc.filePath("Movies/a.ts"), "pc movie");
        write(pc.filePath("Movies/new.ts"), "new");
        boxAnswers << answer;
        page->btnMyComputer->click();
        paste(page->tvPcFolders, {pcIndex(pc.filePath("Movies"))}, page->tvZbDeviceFolders, device("hdd"));
        QCOMPARE(boxTexts, QStringList{"This folder already contains a file named Movies. Would you like to replace "
                                       "existing file?"});
        QTEST(read(r->root.filePath("hdd/Movies/a.ts")), "existing");
        QTEST(QFileInfo::exists(r->root.filePath("hdd/Movies/new.ts")), "added");
    }

    // The tree rebuilt while a dialog is open (a reconnect): the rows chosen before it are not used.
    void treeRebuiltUnderDialog_data()
    {
        QTest::addColumn<bool>("remove"); // delete, else new folder
        QTest::newRow("delete") << true;
        QTest::newRow("new folder") << false;
    }
    void treeRebuiltUnderDialog()
    {
        QFETCH(bool, remove);
        folderName = "Made";
        boxAnswers << "&Yes";
        select(page->tvZbDeviceFolders, {device("hdd/Movies")});
        whileBoxOpen = [this] {
            page->deviceModel()->clearInitialized();
            page->deviceModel()->initFileSystem();
        };
        remove ? page->deleteSelectedFiles() : page->onNewFolder();
        QTRY_VERIFY(!page->isBusy());
        QTRY_VERIFY(!page->deviceModel()->isFetching());
        QTRY_VERIFY(page->deviceModel()->isInitialized());
        QCOMPARE(tree(r->root.filePath("hdd/Movies")), QStringList{"a.ts"});
    }

    // A file pasted on a drive's top level shows there without a Refresh.
    void uploadShowsAtDriveTop()
    {
        write(pc.filePath("top.ts"), "top");
        QVERIFY(device("hdd/x.ts").isValid()); // the drive's rows are loaded
        const QModelIndex hdd = device("hdd");
        page->btnMyComputer->click();
        paste(page->tvPcFolders, {pcIndex(pc.filePath("top.ts"))}, page->tvZbDeviceFolders, hdd);
        QTRY_VERIFY(!page->deviceModel()->isFetching());
        QVERIFY(device("hdd/top.ts").isValid());
    }

    // After a cancelled upload the folder's "(expanding...)" goes away on screen, not only on the next click.
    void expandingLabelEndsAfterCancel()
    {
        const QModelIndex movies = device("hdd/Movies");
        page->tvZbDeviceFolders->expand(movies);
        write(pc.filePath("big.ts"), QByteArray(30'000'000, 'u'));
        bool fetchingAtLastRepaint = true;
        connect(page->deviceModel(), &QAbstractItemModel::dataChanged, this,
                [&](const QModelIndex &from, const QModelIndex &to) {
                    if (from.parent() == movies.parent() && from.row() <= movies.row() && to.row() >= movies.row())
                        fetchingAtLastRepaint = page->deviceModel()->isFetching();
                });
        page->btnMyComputer->click();
        select(page->tvPcFolders, {pcIndex(pc.filePath("big.ts"))});
        page->copyToClipboard();
        select(page->tvZbDeviceFolders, {device("hdd/Movies/a.ts")});
        page->pasteFromClipboard();
        QTRY_VERIFY(r->transfers->uploadPackets() > 2);
        page->onBtnCancelTransfer();
        QTRY_VERIFY(!page->isBusy());
        QTRY_VERIFY(!page->deviceModel()->isFetching());
        QCOMPARE(movies.data().toString(), QStringLiteral("Movies"));
        QVERIFY(!fetchingAtLastRepaint);
    }

    // A click that reaches the page before its window is active (the first click after another window)
    // still sets the controls for the pane clicked.
    void copyFollowsClickIntoInactiveWindow()
    {
        const QModelIndex file = device("hdd/x.ts");
        page->txtBrowserAddress->setFocus();
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QTreeView *view = page->tvZbDeviceFolders;
        QVERIFY(drawnWith(view, file)); // the user clicks a row the tree shows
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(file).center());
        QTRY_VERIFY(page->btnCopy->isEnabled());
        QCOMPARE(page->activePane(), 2);
    }

    // Copy follows the pane the user clicked in, also after typing an address in the PC pane.
    void copyFollowsClickedPane()
    {
        const QModelIndex first = device("hdd/x.ts");
        select(page->tvZbDeviceFolders, {first});
        page->tvZbDeviceFolders->setCurrentIndex(first);
        page->btnVideo->click();
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page.get()));
        page->txtBrowserAddress->setFocus();
        page->txtBrowserAddress->setText(pc.path());
        QTest::keyClick(page->txtBrowserAddress, Qt::Key_Return);
        const QModelIndex file = device("hdd/x.ts");
        QTreeView *view = page->tvZbDeviceFolders;
        QVERIFY(drawnWith(view, file)); // the user clicks a row the tree shows
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(file).center());
        QTRY_VERIFY(page->btnCopy->isEnabled());
        QCOMPARE(page->activePane(), 2);
    }

    // A listing the receiver does not give is said in words at once.
    void failedListingIsShown()
    {
        const QModelIndex movies = device("hdd/Movies");
        QVERIFY(movies.isValid());
        r->media->holdListing = true;
        const int wait = ReceiverFolderCommands::listingWaitMs.exchange(1000);
        page->deviceModel()->refresh(movies);
        QVERIFY(page->deviceModel()->isFetching());
        QTRY_VERIFY_WITH_TIMEOUT(!page->deviceModel()->isFetching(), 20000);
        r->media->holdListing = false;
        ReceiverFolderCommands::listingWaitMs = wait;
        QCOMPARE(boxTexts, QStringList{"The device did not answer."});
    }

    // A receiver folder cut to the PC whose file the receiver keeps: the user hears which, the folder stays.
    void cutWithUndeletableFile()
    {
        r->file("hdd/Movies/Season/a.ts", "movie");
        r->media->refuseDelete("hdd\\Movies\\Season\\a.ts");
        paste(page->tvZbDeviceFolders, {device("hdd/Movies/Season")}, page->tvPcFolders, pcIndex(pc.path()), true);
        QCOMPARE(read(pc.filePath("Season/a.ts")), QByteArray("movie"));
        QCOMPARE(read(r->root.filePath("hdd/Movies/Season/a.ts")), QByteArray("movie"));
        QCOMPARE(boxTexts.size(), 1);
        QVERIFY2(boxTexts.first().startsWith("Ombrelay could not delete these files:\n") &&
                     boxTexts.first().contains("a.ts"),
                 qPrintable(boxTexts.first()));
        QVERIFY(clipboardHasReceiverItems());
    }

    // Names inside sub-folders of a receiver folder are cleaned and stay inside the chosen PC folder.
    void hostileNamesInSubfolders_data()
    {
        QTest::addColumn<QString>("receiver"); // below hdd/Show
        QTest::addColumn<QString>("landed");   // below the chosen PC folder
        QTest::newRow("plain") << "sub/c.ts"
                               << "Show/sub/c.ts";
        QTest::newRow("colons") << "s:1/c:d.ts"
                                << "Show/s_1/c_d.ts";
        QTest::newRow("reserved characters") << "q\"<>/a|b*c?.ts"
                                             << "Show/q___/a_b_c_.ts";
    }
    void hostileNamesInSubfolders()
    {
        QFETCH(QString, receiver);
        QFETCH(QString, landed);
        r->file("hdd/Show/" + receiver, "inside");
        QVERIFY(QDir().mkpath(pc.filePath("dl")));
        paste(page->tvZbDeviceFolders, {device("hdd/Show")}, page->tvPcFolders, pcIndex(pc.filePath("dl")));
        QCOMPARE(tree(pc.filePath("dl")), (QStringList{"Show", landed.section(u'/', 0, 1), landed}));
        QCOMPARE(read(pc.filePath("dl/" + landed)), QByteArray("inside"));
    }

    // Cancel a large download, then browse and copy on the same receiver without reconnecting.
    void cancelThenBrowseAndCopy()
    {
        r->file("hdd/huge.ts", QByteArray(200'000'000, 'h'));
        r->transfers->blockSize = 4000;
        QVERIFY(QDir().mkpath(pc.filePath("dl")));
        select(page->tvZbDeviceFolders, {device("hdd/huge.ts")});
        page->copyToClipboard();
        select(page->tvPcFolders, {pcIndex(pc.filePath("dl"))});
        page->pasteFromClipboard();
        QTRY_VERIFY(page->frStatusBar->isVisible() && page->pgrStatus->value() > 0);
        page->onBtnCancelTransfer();
        QTRY_VERIFY(!page->isBusy());
        QTRY_VERIFY(!page->deviceModel()->isFetching());
        page->deviceModel()->refresh(device("hdd/Movies"));
        QTRY_VERIFY(!page->deviceModel()->isFetching());
        paste(page->tvZbDeviceFolders, {device("hdd/Movies/a.ts")}, page->tvPcFolders, pcIndex(pc.filePath("dl")));
        QCOMPARE(read(pc.filePath("dl/a.ts")), QByteArray("movie"));
        QCOMPARE(tree(pc.filePath("dl")), QStringList{"a.ts"});
        QCOMPARE(boxTexts, QStringList());
    }

    // A recording copied or cut to the PC: its parts arrive; a cut removes it from the receiver.
    void recordingToPc_data()
    {
        QTest::addColumn<bool>("cut");
        QTest::newRow("copy") << false;
        QTest::newRow("cut") << true;
    }
    void recordingToPc()
    {
        QFETCH(bool, cut);
        const QDateTime date(QDate(2026, 5, 1), QTime(20, 15), Qt::UTC);
        r->media->addRecording("hdd\\Movies", {7, 3, "News", date, {{0, "ts", "video"}, {1, "ts4", "more"}}});
        QVERIFY(QDir().mkpath(pc.filePath("dl")));
        paste(page->tvZbDeviceFolders, {device("hdd/Movies/News")}, page->tvPcFolders, pcIndex(pc.filePath("dl")), cut);
        const QString base = "01-05-2026 20_15 News";
        QCOMPARE(tree(pc.filePath("dl")), (QStringList{base, base + "/" + base + ".ts", base + "/" + base + ".ts4"}));
        QCOMPARE(read(pc.filePath("dl/" + base + "/" + base + ".ts")), QByteArray("video"));
        QCOMPARE(r->media->recordingIds(), cut ? QList<quint16>() : QList<quint16>{7});
        QCOMPARE(boxTexts, QStringList());
    }

    // A receiver that refuses to make the folder: the user is told, nothing is listed as made.
    void newFolderRefusedByReceiver()
    {
        r->media->refuseMakeFolder = true;
        folderName = "Made";
        select(page->tvZbDeviceFolders, {device("hdd/Movies")});
        page->onNewFolder();
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(boxTexts, QStringList{"Ombrelay could not create this folder"});
        QVERIFY(!QFileInfo::exists(r->root.filePath("hdd/Movies/Made")));
    }

    // A job of many receiver files lists their folder once, when it ends; the tree and the PC view show the
    // outcome as before: a cut leaves the receiver folder empty, a copy leaves it as it was.
    void receiverJobListsSourceOnce_data()
    {
        QTest::addColumn<bool>("cut");
        QTest::newRow("copy") << false;
        QTest::newRow("cut") << true;
    }
    void receiverJobListsSourceOnce()
    {
        QFETCH(bool, cut);
        QStringList files;
        for (int i = 0; i < 8; ++i)
            files << QStringLiteral("f%1.bin").arg(i);
        const QModelIndexList rows = receiverFiles("src", files);
        QVERIFY(QDir().mkpath(pc.filePath("dl")));
        const QPersistentModelIndex src = device("hdd/src");
        page->tvZbDeviceFolders->expand(src);
        showPcFolder(pc.filePath("dl"));
        const int before = r->media->listingsOf("hdd\\src");
        QCOMPARE(before, 1);
        paste(page->tvZbDeviceFolders, rows, page->tvPcFolders, pcIndex(pc.filePath("dl")), cut);
        QTRY_VERIFY(!page->deviceModel()->isFetching());
        QCOMPARE(r->media->listingsOf("hdd\\src") - before, 1);
        QCOMPARE(tree(pc.filePath("dl")), files);
        QCOMPARE(read(pc.filePath("dl/f7.bin")), QByteArray("f7.bin"));
        QTRY_COMPARE(names(page->pcModel(), pcIndex(pc.filePath("dl"))), files);
        QVERIFY(src.isValid());
        QCOMPARE(names(page->deviceModel(), src), cut ? QStringList() : files);
        QCOMPARE(tree(r->root.filePath("hdd/src")), cut ? QStringList() : files);
        QCOMPARE(boxTexts, QStringList());
    }

    // A cut from two drives: each drive's folder is listed once at the end, the second one too.
    void cutFromTwoFoldersListsEach()
    {
        r->file("usb/Sub/z.ts", "z"); // below the drives' top level, which may not be cut
        page->deviceModel()->reset(); // the second drive is listed
        QTRY_COMPARE(page->deviceModel()->rowCount(), 2);
        QTRY_VERIFY(!page->deviceModel()->isFetching());
        const QPersistentModelIndex usb = device("usb/Sub");
        const QPersistentModelIndex hdd = device("hdd/Movies");
        const QModelIndexList rows{device("hdd/Movies/a.ts"), device("usb/Sub/z.ts")};
        const int hddBefore = r->media->listingsOf("hdd\\Movies"), usbBefore = r->media->listingsOf("usb\\Sub");
        paste(page->tvZbDeviceFolders, rows, page->tvPcFolders, pcIndex(pc.path()), true);
        QTRY_COMPARE(r->media->listingsOf("usb\\Sub") - usbBefore, 1);
        QTRY_VERIFY(!page->deviceModel()->isFetching());
        QCOMPARE(r->media->listingsOf("hdd\\Movies") - hddBefore, 1);
        QCOMPARE(tree(pc.path()), (QStringList{"a.ts", "z.ts"}));
        QCOMPARE(names(page->deviceModel(), usb), QStringList());
        QCOMPARE(names(page->deviceModel(), hdd), QStringList());
    }

    // Cancel in the middle of a cut: the folder is listed once, showing what moved and what stayed, and
    // the next copy from it works.
    void cancelMidJobThenCopy()
    {
        r->transfers->blockSize = 1000;
        const QModelIndexList rows = receiverFiles("src", {"a.ts", "big.ts", "c.ts"}, QByteArray(30'000'000, 'b'));
        QVERIFY(QDir().mkpath(pc.filePath("dl")));
        const QPersistentModelIndex src = device("hdd/src");
        const int before = r->media->listingsOf("hdd\\src");
        select(page->tvZbDeviceFolders, rows);
        page->moveToClipboard();
        select(page->tvPcFolders, {pcIndex(pc.filePath("dl"))});
        page->pasteFromClipboard();
        QTRY_VERIFY(QFileInfo::exists(pc.filePath("dl/a.ts")) && page->pgrStatus->value() > 0);
        page->onBtnCancelTransfer();
        QTRY_VERIFY(!page->isBusy());
        QTRY_VERIFY(!page->deviceModel()->isFetching());
        QCOMPARE(r->media->listingsOf("hdd\\src") - before, 1);
        QCOMPARE(tree(pc.filePath("dl")), QStringList{"a.ts"});
        QCOMPARE(tree(r->root.filePath("hdd/src")), (QStringList{"big.ts", "c.ts"}));
        QCOMPARE(names(page->deviceModel(), src), (QStringList{"big.ts", "c.ts"}));
        r->transfers->blockSize = 65536;
        QModelIndex c;
        for (int i = 0; i < page->deviceModel()->rowCount(src); ++i)
            if (page->deviceModel()->index(i, 0, src).data().toString() == "c.ts")
                c = page->deviceModel()->index(i, 0, src);
        paste(page->tvZbDeviceFolders, {c}, page->tvPcFolders, pcIndex(pc.filePath("dl")));
        QTRY_VERIFY(!page->deviceModel()->isFetching());
        QCOMPARE(r->media->listingsOf("hdd\\src") - before, 2);
        QCOMPARE(tree(pc.filePath("dl")), (QStringList{"a.ts", "c.ts"}));
        QCOMPARE(read(pc.filePath("dl/c.ts")), QByteArray("c.ts"));
        QCOMPARE(boxTexts, QStringList());
    }
};

OMBRELAY_TEST_MAIN(TestMediaExplorerModule)
#include "tst_mediaexplorermodule.moc"
