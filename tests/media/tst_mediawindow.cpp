#include "testmain.h"

#include "keptselection.h"
#include "mediapagetest.h"
#include "selectionwatch.h"

#include "app/mainwindow.h"
#include "base/filehelpers.h"
#include "base/settings.h"
#include "modules/modulefactory.h"

#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>

#include <functional>
#include <utility>

#include <utime.h>

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
    std::function<void()> whileAsked; // run once while the next question is open, before it is answered
    void answer(QDialog *box) override
    {
        if (whileAsked)
            std::exchange(whileAsked, {})();
        MediaPageTest::answer(box);
    }
    // "My Videos" on the folder videos holding the entries oldestFirst: the large folders huge (of 300 recordings
    // each, let go of when no view holds them) and files, sorted by the header's section in order as the user
    // clicks it; each large folder entered by a double-click and left by Back, so that it is listed and held by
    // no view.
    static constexpr int hugeFiles = 300;
    QString videosWithHugeFolders(const QStringList &huge, const QStringList &oldestFirst, int section,
                                  Qt::SortOrder order)
    {
        page->pcModel()->setRemovalBudget(10'000); // rebuilt when 34 of 300 are gone
        const QString videos = pc.filePath("videos");
        for (const QString &folder : huge)
            for (int i = 0; i < hugeFiles; ++i)
                write(videos + "/" + folder + "/" + recording(i), "r");
        for (const QString &name : oldestFirst)
            if (!huge.contains(name))
                write(videos + "/" + name, "f");
        // a folder cannot be opened to set its time
        const time_t start = time_t(QDateTime::currentSecsSinceEpoch() - 86400);
        for (int age = 0; age < oldestFirst.size(); ++age) {
            const utimbuf times{start + 60 * age, start + 60 * age};
            [&] { QVERIFY(utime(QFile::encodeName(videos + "/" + oldestFirst[age]).constData(), &times) == 0); }();
        }
        [&] { QVERIFY(Settings::setString(Settings::PathVideo, videos)); }();
        auto *view = page->tvPcSpecialFolders;
        // the row under the pointer followed as a style that draws it does
        view->setMouseTracking(true);
        view->viewport()->setAttribute(Qt::WA_Hover);
        page->btnVideo->click();
        [&] { QTRY_COMPARE(view->rootIndex(), pcIndex(videos)); }();
        QHeaderView *header = view->header();
        for (int clicks = 0;
             clicks < 2 && (header->sortIndicatorSection() != section || header->sortIndicatorOrder() != order);
             ++clicks)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(section) + 20, header->height() / 2));
        [&] {
            QCOMPARE(header->sortIndicatorSection(), section);
            QCOMPARE(header->sortIndicatorOrder(), order);
        }();
        for (const QString &folder : huge) {
            doubleClick(view, shown(folder));
            [&] {
                QTRY_COMPARE(view->rootIndex(), pcIndex(videos + "/" + folder));
                QTRY_COMPARE(page->pcModel()->rowCount(view->rootIndex()), hugeFiles);
                QTest::mouseClick(page->btnBrowserBack, Qt::LeftButton);
                QTRY_COMPARE(view->rootIndex(), pcIndex(videos));
                QVERIFY(!page->pcModel()->canFetchMore(pcIndex(videos + "/" + folder)));
            }();
        }
        return videos;
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

    // A PC file that grows while the browser shows its folder, keeping its date: the PC pane's Refresh, or Back to
    // the folder after another, shows its size on disk.
    void grownFileShowsItsSizeInTheWindow_data()
    {
        QTest::addColumn<bool>("refresh"); // the pane's Refresh, else another folder and Back
        QTest::newRow("Refresh") << true;
        QTest::newRow("Back") << false;
    }
    void grownFileShowsItsSizeInTheWindow()
    {
        QFETCH(bool, refresh);
        const QString folder = pc.filePath("rec"), file = folder + "/grow.ts";
        const QDateTime when(QDate(2026, 5, 1), QTime(20, 15));
        const auto grow = [&](int bytes) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::Append) && f.write(QByteArray(bytes, 'x')) == bytes && f.flush());
            QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
        };
        QVERIFY(QDir().mkpath(folder));
        grow(1000);
        write(pc.filePath("other/o.ts"), "o");
        browseTo(folder);
        const auto sizeShown = [&] { return shown("grow.ts").siblingAtColumn(1).data().toString(); };
        QTRY_COMPARE(sizeShown(), formatSize(1000));
        grow(5000000);
        if (refresh) {
            QVERIFY(QMetaObject::invokeMethod(page.get(), "onRefreshFolderPc"));
        } else {
            browseTo(pc.filePath("other"));
            QVERIFY(page->btnBrowserBack->isEnabled());
            QTest::mouseClick(page->btnBrowserBack, Qt::LeftButton);
            QTRY_COMPARE(page->tvPcSpecialFolders->rootIndex(), pcIndex(folder));
        }
        QTRY_COMPARE(sizeShown(), formatSize(5001000));
        QCOMPARE(boxTexts, QStringList());
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

    // "My Videos" on a folder holding the large folders h1, h2 and q beside two files, its Name header clicked
    // once (last first) or twice: each large folder entered by a double-click and left by Back, then h1 and h2
    // chosen, most of q deleted from a shell and the row q clicked. The model lets go of h1 and h2 and rebuilds q
    // in one reading: the browser keeps its folder and exactly the row clicked, the pointer moves over the rows
    // after it, and Ctrl+C copies q alone. (Last first, the pointer over the rows ended the program.)
    void myVideosKeepsTheRowClickedWhenFoldersAreLetGo_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::newRow("name, last first") << 0 << Qt::DescendingOrder;
        QTest::newRow("name, first first") << 0 << Qt::AscendingOrder;
    }
    void myVideosKeepsTheRowClickedWhenFoldersAreLetGo()
    {
        QFETCH(int, section);
        QFETCH(Qt::SortOrder, order);
        PcFileSystemModel *model = page->pcModel();
        const QString videos =
            videosWithHugeFolders({"h1", "h2", "q"}, {"h1", "h2", "q", "a.ts", "b.ts"}, section, order);
        QVERIFY(!QTest::currentTestFailed());
        auto *view = page->tvPcSpecialFolders;
        const auto at = [&](const QString &name) { return shown(name); };
        click(view, at("h1"));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, view->visualRect(at("h2")).center());
        QCOMPARE(view->selectionModel()->selectedRows().size(), 2);
        for (int i = 0; i < hugeFiles * 3 / 4; ++i)
            QVERIFY(QFile::remove(videos + "/q/" + recording(i)));
        QVERIFY(!model->canFetchMore(pcIndex(videos + "/h1")) && !model->canFetchMore(pcIndex(videos + "/q")));
        QSignalSpy rebuilt(model, &PcFileSystemModel::folderRebuilt);

        const QPoint onQ = view->visualRect(at("q")).center();
        QTest::mouseMove(view->viewport(), onQ);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, onQ);
        QTRY_VERIFY_WITH_TIMEOUT(rebuilt.size() >= 3, 30000);
        QTRY_VERIFY(model->canFetchMore(pcIndex(videos + "/h1")) && model->canFetchMore(pcIndex(videos + "/h2")));
        QSignalSpy entered(view, &QAbstractItemView::entered);
        for (int y = 2; y < view->viewport()->height(); y += 4)
            QTest::mouseMove(view->viewport(), QPoint(40, y));
        QVERIFY(entered.size() >= model->rowCount(pcIndex(videos)));

        QCOMPARE(view->rootIndex(), pcIndex(videos));
        QCOMPARE(page->txtBrowserAddress->text(), videos);
        QCOMPARE(view->selectionModel()->selectedRows(), QModelIndexList{pcIndex(videos + "/q")});
        QCOMPARE(view->currentIndex().siblingAtColumn(0), pcIndex(videos + "/q"));
        QVERIFY(selectionHasRowsOf(*view, pcIndex(videos)));
        QTRY_VERIFY(page->btnCopy->isEnabled());
        type(Qt::Key_C, Qt::ControlModifier);
        const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
        QVERIFY(copied);
        const std::unique_ptr<QMimeData> q(model->mimeData({pcIndex(videos + "/q")}));
        QCOMPARE(copied->data("text/uri-list"), q->data("text/uri-list"));
        QCOMPARE(boxTexts, QStringList());
    }

    // d.ts and e.ts chosen in "My Videos" and Delete pressed; while the question is open a change in the folder
    // has the model let go of the three large folders beside them in one reading. Yes deletes exactly d.ts and
    // e.ts, in either order. (Last first, the rows the question was about moved to other entries.)
    void deleteQuestionKeepsTheFilesChosen_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::newRow("date, last first") << 3 << Qt::DescendingOrder;
        QTest::newRow("date, first first") << 3 << Qt::AscendingOrder;
        QTest::newRow("name, last first") << 0 << Qt::DescendingOrder;
    }
    void deleteQuestionKeepsTheFilesChosen()
    {
        QFETCH(int, section);
        QFETCH(Qt::SortOrder, order);
        // by date the files chosen stand around the large folders
        const QString videos =
            videosWithHugeFolders({"h1", "h2", "h3"}, {"d.ts", "h1", "h2", "h3", "e.ts", "a.ts"}, section, order);
        QVERIFY(!QTest::currentTestFailed());
        auto *view = page->tvPcSpecialFolders;
        click(view, shown("d.ts"));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          view->visualRect(shown("e.ts")).center());
        QTRY_VERIFY(page->btnDelete->isEnabled());
        PcFileSystemModel *model = page->pcModel();
        bool letGo = false;
        whileAsked = [&] {
            write(videos + "/new.ts", "n");
            letGo = QTest::qWaitFor([&] {
                return model->canFetchMore(pcIndex(videos + "/h1")) && model->canFetchMore(pcIndex(videos + "/h2")) &&
                       model->canFetchMore(pcIndex(videos + "/h3"));
            });
        };
        boxAnswers << "&Yes";
        type(Qt::Key_Delete);
        QTRY_COMPARE(boxTexts, QStringList{"Are you sure you want to delete these 2 items?"});
        QVERIFY(letGo);
        QTRY_VERIFY(!page->isBusy());
        QTRY_COMPARE(QDir(videos).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
                     (QStringList{"a.ts", "h1", "h2", "h3", "new.ts"}));
        QTRY_COMPARE(model->rowCount(pcIndex(videos)), 5);
        QVERIFY(selectionHasRowsOf(*view, pcIndex(videos)));
    }
};

OMBRELAY_TEST_MAIN(TestMediaWindow)
#include "tst_mediawindow.moc"
