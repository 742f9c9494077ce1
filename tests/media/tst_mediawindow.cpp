#include "testmain.h"

#include "mediapagetest.h"
#include "selectionwatch.h"

#include "app/mainwindow.h"
#include "base/settings.h"
#include "modules/modulefactory.h"

#include <QApplication>
#include <QSignalSpy>

// The media explorer page of a receiver among the real main window's pages, its receiver the emulator: the
// pane worked in, the controls and the keys after jobs, as the user meets them in the whole program.
class TestMediaWindow : public SelectionPageTest
{
    Q_OBJECT
    std::unique_ptr<MainWindow> main;

    QWidget *host() override { return main.get(); }
    void showPage(bool) override
    {
        main->resize(1200, 800);
        main->show();
        main->setCurrentModule(page.get(), true);
    }
    // Keys go where the window has its focus, as typed (a box shown meanwhile may have left it inactive).
    void type(int key, Qt::KeyboardModifiers modifiers = {})
    {
        if (!main->isActiveWindow()) {
            main->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(main.get()));
        }
        QWidget *to = QApplication::focusWidget();
        QTest::keyClick(to ? to : main.get(), Qt::Key(key), modifiers);
    }

private slots:
    void initTestCase()
    {
        Settings::setString(Settings::OmbrelayDeviceList, QString());
        MediaExplorerModule::registerModule();
    }
    void init()
    {
        newReceiver();
        r->file("hdd/Shows/old.ts", "old");
        main = std::make_unique<MainWindow>();
        openPage(true);
    }
    void cleanup()
    {
        main->setCurrentModule(nullptr, false);
        closePage();
        main.reset();
    }

    // Receiver folder selected, then in the PC browser: Ctrl+C offers Paste at once; a file deleted with
    // Del; Ctrl+V afterwards pastes into the PC folder shown, the keys work in the browser again.
    void pasteAfterPcDelete()
    {
        write(pc.filePath("src/clip.ts"), "clip");
        write(pc.filePath("dst/junk.ts"), "junk");
        write(pc.filePath("dst/keep.ts"), "keep");
        click(page->tvZbDeviceFolders, device("hdd/Shows"));
        QTRY_COMPARE(page->activePane(), 2);
        page->btnMyComputer->setChecked(false);
        page->wdgPcFolders->setCurrentIndex(1);
        QTreeView *view = page->tvPcSpecialFolders;
        page->tvPcSpecialFolders->setRootPath(pc.filePath("src"), true);
        click(view, shown("clip.ts"));
        QTRY_VERIFY(page->btnCopy->isEnabled());
        QVERIFY(!page->btnPaste->isEnabled());
        type(Qt::Key_C, Qt::ControlModifier);
        QTRY_VERIFY(page->btnPaste->isEnabled());

        page->tvPcSpecialFolders->setRootPath(pc.filePath("dst"), true);
        click(view, shown("junk.ts"));
        QTRY_VERIFY(page->btnDelete->isEnabled());
        boxAnswers << "&Yes";
        type(Qt::Key_Delete);
        QTRY_VERIFY(!QFileInfo::exists(pc.filePath("dst/junk.ts")));
        QTRY_VERIFY(!page->isBusy());
        QTRY_COMPARE(main->focusWidget(), view);
        QCOMPARE(page->activePane(), 1);

        type(Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(read(pc.filePath("dst/clip.ts")), QByteArray("clip"));
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(QDir(r->root.filePath("hdd/Shows")).entryList(QDir::Files), QStringList{"old.ts"});
        // The keys move in the view at once, and the controls follow.
        QTRY_COMPARE(main->focusWidget(), view);
        const QModelIndex before = view->currentIndex();
        type(before.row() > 0 ? Qt::Key_Up : Qt::Key_Down);
        QTRY_VERIFY(view->currentIndex() != before);
        QTRY_VERIFY(page->btnCopy->isEnabled());
        QCOMPARE(boxTexts, QStringList{"Are you sure you want to delete junk.ts?"});
    }

    // 1,200 PC files in the browser, the 201st clicked, Shift+End, Del, Yes: the model takes the 1,000 rows out one
    // by one, and the page hears of it a few times, not once per row (each time it read the whole selection again,
    // several times: 5,000 rows froze the window for more than ten minutes). Then nothing is selected and the
    // controls say so; the keys go on working.
    void pcSelectionDeletedInTheWindow()
    {
        const int files = 1200, kept = 200;
        const QString folder = pc.filePath("shows");
        QTreeView *view = browseNumbered(folder, files, kept);
        QVERIFY(view);
        type(Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(view->selectionModel()->selectedRows().size(), files - kept);
        QTRY_VERIFY(page->btnDelete->isEnabled());

        SelectionWatch watch(page.get(), folder);
        boxAnswers << "&Yes";
        type(Qt::Key_Delete);
        QTRY_COMPARE_WITH_TIMEOUT(page->pcModel()->rowCount(pcIndex(folder)), kept, 60000);
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(watch.rowsTakenOutOneByOne(), files - kept);
        QVERIFY2(watch.reports() <= 10, qPrintable(QString::number(watch.reports())));
        QCOMPARE(boxTexts, QStringList{"Are you sure you want to delete these 1000 items?"});
        QCOMPARE(view->selectionModel()->selectedRows().size(), 0);
        QTRY_VERIFY(!page->btnDelete->isEnabled());
        QVERIFY(!page->btnCopy->isEnabled());

        QTRY_COMPARE(main->focusWidget(), view);
        type(Qt::Key_Home);
        QTRY_VERIFY(page->btnDelete->isEnabled());
        QCOMPARE(page->txtPcFileName->text(), numbered(0).section('.', 0, 0));
        type(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(clipboardHas("text/uri-list"));
    }

    // A folder of recordings open in both PC views (expanded in the "My Computer" tree, shown in the browser
    // through the address and Go) that loses most of them from a shell: the model rebuilds it in one go, each
    // view keeps its place, and the keys go on working from there: Ctrl+C of a row kept, Ctrl+V elsewhere.
    void pcViewsKeepARebuiltFolder()
    {
        const int files = 600, gone = 500;
        const QString folder = showsFolder(files);
        QVERIFY(QDir().mkpath(pc.filePath("copies")));
        page->btnMyComputer->click();
        QTreeView *tree = page->tvPcFolders;
        for (QModelIndex at = pcIndex(folder); at.isValid(); at = at.parent())
            tree->expand(at);
        QTRY_COMPARE(page->pcModel()->rowCount(pcIndex(folder)), files);
        const QString inTree = folder + "/" + recording(files - 1), inBrowser = folder + "/" + recording(files - 2);
        click(tree, pcIndex(inTree));
        QTRY_VERIFY(page->btnCopy->isEnabled());
        QTreeView *view = page->tvPcSpecialFolders;
        browseTo(folder);
        QCOMPARE(view->rootIndex(), pcIndex(folder));
        click(view, shown(recording(files - 2)));
        QTRY_VERIFY(page->btnCopy->isEnabled());

        removeWhileBrowsed(folder, files, gone);
        QCOMPARE(view->rootIndex(), pcIndex(folder));
        QCOMPARE(view->selectionModel()->selectedRows(), QModelIndexList{pcIndex(inBrowser)});
        QVERIFY(tree->isExpanded(pcIndex(folder)));
        QCOMPARE(tree->selectionModel()->selectedRows(), QModelIndexList{pcIndex(inTree)});

        QTRY_VERIFY(page->btnCopy->isEnabled());
        type(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat("text/uri-list"));
        page->txtBrowserAddress->setText(pc.filePath("copies"));
        QTest::mouseClick(page->btnBrowserGo, Qt::LeftButton);
        QTRY_COMPARE(view->rootIndex(), pcIndex(pc.filePath("copies")));
        click(view, QModelIndex());
        QTRY_VERIFY(page->btnPaste->isEnabled());
        type(Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(read(pc.filePath("copies/") + recording(files - 2)), QByteArray("r"));
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(boxTexts, QStringList());
    }
};

OMBRELAY_TEST_MAIN(TestMediaWindow)
#include "tst_mediawindow.moc"
