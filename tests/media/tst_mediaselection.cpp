#include "testmain.h"

#include "mediapagetest.h"
#include "selectionwatch.h"

#include <QApplication>
#include <QSignalSpy>

#include <chrono>

// The media explorer page while PC rows it shows go: a large selection taken out of the folder the browser shows
// (by the page's Delete or from outside) is reported to the page once, not once per row, and its controls then come
// from what is still selected; a folder the browser left is let go of whatever row was clicked in it; a folder
// opened gets the pace of a folder in use at once. The real page offscreen, its PC a temporary folder.
class TestMediaSelection : public SelectionPageTest
{
    Q_OBJECT

    void keys(QWidget *to, int key, Qt::KeyboardModifiers modifiers = {})
    {
        if (!page->isActiveWindow()) {
            page->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(page.get()));
        }
        QTest::keyClick(to, Qt::Key(key), modifiers);
    }
    int rows(const QString &folder) { return page->pcModel()->rowCount(pcIndex(folder)); }
    qint64 now = 0; // the PC model's clock where a test sets it

private slots:
    void init()
    {
        newReceiver();
        r->file("hdd/Shows/old.ts", "old");
        openPage(true);
    }
    void cleanup() { closePage(); }

    // 1,200 files shown, the row of the 201st clicked and Shift+End: 1,000 selected. The model takes them out one
    // by one (each a change of the selection, and of the current row); the page hears of it a few times, not a
    // thousand (each time it read the whole selection again, several times: 2,000 rows held the window a minute).
    // Afterwards the controls follow what is still selected, and the keys go on working.
    void selectionTakenOut_data()
    {
        QTest::addColumn<bool>("byPage");
        QTest::addColumn<int>("deletedFrom"); // from outside: this file on
        QTest::newRow("by the page") << true << 200;
        QTest::newRow("from outside, all of it") << false << 200;
        QTest::newRow("from outside, part of it") << false << 600;
    }
    void selectionTakenOut()
    {
        QFETCH(bool, byPage);
        QFETCH(int, deletedFrom);
        const int files = 1200, kept = 200;
        const QString folder = pc.filePath("shows");
        QTreeView *view = browseNumbered(folder, files, kept);
        QVERIFY(view);
        keys(view, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(view->selectionModel()->selectedRows().size(), files - kept);
        QTRY_VERIFY(page->btnDelete->isEnabled());

        SelectionWatch watch(page.get(), folder);
        if (byPage) {
            boxAnswers << "&Yes";
            keys(view, Qt::Key_Delete);
            QCOMPARE(boxTexts, QStringList{"Are you sure you want to delete these 1000 items?"});
        } else {
            for (int i = deletedFrom; i < files; ++i)
                QVERIFY(QFile::remove(folder + "/" + numbered(i)));
        }
        const int left = byPage ? kept : deletedFrom;
        QTRY_COMPARE_WITH_TIMEOUT(rows(folder), left, 60000);
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(watch.rowsTakenOutOneByOne(), files - left);
        QTRY_VERIFY(watch.reports() >= 1); // once the rows have gone
        QVERIFY2(watch.reports() <= 10, qPrintable(QString::number(watch.reports())));

        const bool stillSelected = left > kept;
        QCOMPARE(view->selectionModel()->selectedRows().size(), left - kept);
        QTRY_COMPARE(page->btnDelete->isEnabled(), stillSelected);
        QCOMPARE(page->btnCopy->isEnabled(), stillSelected);
        const auto describesSelectedRow = [&] {
            const QModelIndex described = pcIndex(folder + "/" + page->txtPcFileName->text() + ".ts");
            return described.isValid() && view->selectionModel()->isRowSelected(described.row(), described.parent());
        };
        if (stillSelected)
            QVERIFY2(describesSelectedRow(), qPrintable(page->txtPcFileName->text()));
        keys(view, Qt::Key_Home);
        QTRY_VERIFY(page->btnDelete->isEnabled());
        QCOMPARE(page->txtPcFileName->text(), numbered(0).section('.', 0, 0));
        QCOMPARE(boxTexts.size(), byPage ? 1 : 0);
    }

    // A folder of many files shown in the browser, a row of it clicked, then another folder shown: at the next
    // reading of any folder the large one is let go of (the clicked row kept it listed, and each reading sorted it
    // again). One open in the "My Computer" tree, with a row selected there, stays listed. Back in the large one,
    // its rows are listed again and the keys work on them.
    void rowClickedInAFolderLeftBehind()
    {
        const int files = 300;
        page->pcModel()->setRemovalBudget(10'000); // more than 100 rows is a large folder here
        const QString big = pc.filePath("big"), open = pc.filePath("open"), other = pc.filePath("other");
        for (const QString &folder : {big, open, other})
            QVERIFY(QDir().mkpath(folder));
        QVERIFY(makeNumbered(big, files));
        QVERIFY(makeNumbered(open, files));
        page->btnMyComputer->click();
        QTreeView *tree = page->tvPcFolders;
        for (QModelIndex at = pcIndex(open); at.isValid(); at = at.parent())
            tree->expand(at);
        QTRY_COMPARE_WITH_TIMEOUT(rows(open), files, 30000);
        click(tree, pcIndex(open + "/" + numbered(7)));
        QTRY_VERIFY(page->btnDelete->isEnabled());

        browseTo(big);
        QTRY_VERIFY_WITH_TIMEOUT(listedInOrder(page.get(), big, files), 30000);
        QTreeView *view = page->tvPcSpecialFolders;
        click(view, pcIndex(big + "/" + numbered(150)));
        QTRY_COMPARE(page->txtPcFileName->text(), numbered(150).section('.', 0, 0));
        browseTo(other);
        QTRY_COMPARE(rows(other), 0);
        write(other + "/new.ts", "n");
        QTRY_COMPARE_WITH_TIMEOUT(rows(other), 1, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(page->pcModel()->canFetchMore(pcIndex(big)), 30000);
        QVERIFY(rows(big) < files);
        QVERIFY(!page->pcModel()->canFetchMore(pcIndex(open)));
        QCOMPARE(rows(open), files);
        QCOMPARE(tree->selectionModel()->selectedRows(), QModelIndexList{pcIndex(open + "/" + numbered(7))});

        browseTo(big);
        QTRY_VERIFY_WITH_TIMEOUT(listedInOrder(page.get(), big, files), 30000);
        click(view, pcIndex(big + "/" + numbered(3)));
        QTRY_VERIFY(page->btnCopy->isEnabled());
        keys(view, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(clipboardHas("text/uri-list"));
        const QString copied = QString::fromUtf8(QGuiApplication::clipboard()->mimeData()->data("text/uri-list"));
        QVERIFY2(copied.contains(numbered(3)) && copied.count("file:") == 1, qPrintable(copied));
        QCOMPARE(boxTexts, QStringList());
    }

    // A change in a folder no view shows waits long after a long reading of it (here, as the model's clock has it,
    // a second of the model's own work: ten seconds at most for a folder not in use, three readings' length in one
    // in use). The browser opening the folder works the wait out again at once.
    void openedFolderPacedAgain()
    {
        PcFileSystemModel *model = page->pcModel();
        now = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                  .count();
        model->setClock([this] { return now; });
        const QString a = pc.filePath("A"), b = pc.filePath("B");
        write(a + "/a.ts", "a");
        write(b + "/b.ts", "b");
        browseTo(b);
        QTRY_COMPARE(rows(b), 1);
        // first in the queue, before the reading's results: a second of the model's own work on them
        QMetaObject::invokeMethod(
            model, [this] { now += 1000; }, Qt::QueuedConnection);
        model->refreshFolder(a);
        QTRY_COMPARE(model->readingCostMs(a), 1000);

        write(a + "/new.ts", "n");
        QTRY_COMPARE(model->readingDueInMs(a), 10000);
        browseTo(a);
        QCOMPARE(model->readingDueInMs(a), 3000);
        QCOMPARE(model->readingDueInMs(b), -1);
        now += 3000;
        QTRY_COMPARE_WITH_TIMEOUT(rows(a), 2, 30000);
    }
};

OMBRELAY_TEST_MAIN(TestMediaSelection)
#include "tst_mediaselection.moc"
