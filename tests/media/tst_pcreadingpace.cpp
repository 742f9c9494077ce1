#include "testmain.h"

#include "media/mediaexplorerfilebrowser.h"
#include "media/pcfilesystemmodel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <memory>

// The pace at which the PC model reads changed folders again, as the model's own clock has it (set by the test, so
// nothing here depends on how fast the machine is): what a reading costs, and how long a change waits in a folder a
// view shows against one no view shows. (The model checker is not attached: it fetches every folder it meets.)
class TestPcReadingPace : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<PcFileSystemModel> model;
    qint64 now = 0;
    bool ticking = false; // a clock that moves at each look (see selectionDeletedFromOutside)

    QString path(const QString &relative) const { return QDir(dir.path()).absoluteFilePath(relative); }
    static bool make(const QString &file) { return QFile(file).open(QIODevice::WriteOnly); }
    int rows(const QString &folder) const { return model->rowCount(model->index(folder)); }
    // Both folders read again, with a second of the model's own work while the readings are under way (queued
    // first, before their results).
    void readTakingASecond(const QStringList &folders)
    {
        QMetaObject::invokeMethod(
            model.get(), [this] { now += 1000; }, Qt::QueuedConnection);
        for (const QString &folder : folders)
            model->refreshFolder(folder);
        for (const QString &folder : folders)
            QTRY_COMPARE(model->readingCostMs(folder), 1000);
    }

private slots:
    void init()
    {
        for (const char *folder : {"shown", "hidden"}) {
            QVERIFY(QDir().mkpath(path(folder)));
            QVERIFY(make(path(folder) + "/first.ts"));
        }
        ticking = false;
        model = std::make_unique<PcFileSystemModel>();
        now = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                  .count();
        model->setClock([this] { return now; });
        model->setRootPath(QString());
    }
    void cleanup()
    {
        model.reset();
        for (const char *folder : {"shown", "hidden", "selection"})
            QDir(path(folder)).removeRecursively();
    }

    // After a reading that cost a second, a change in the folder the browser shows is read within three readings'
    // length (or two seconds); one in a folder no view shows waits up to ten seconds (or five readings). The pace of
    // each is the one the model worked out, not a timing: the clock stands still.
    void changeWaitsLessInAFolderShown()
    {
        MediaExplorerFileBrowser browser;
        browser.setModel(model.get());
        browser.setRootPath(path("shown"), true);
        browser.show();
        QTRY_COMPARE(rows(path("shown")), 1);
        QTRY_VERIFY(model->readingCostMs(path("shown")) >= 0); // the browser's listing has ended
        readTakingASecond({path("shown"), path("hidden")});

        QVERIFY(make(path("shown/new.ts")));
        QVERIFY(make(path("hidden/new.ts")));
        QTRY_COMPARE(model->readingDueInMs(path("shown")), 3000);
        QTRY_COMPARE(model->readingDueInMs(path("hidden")), 10000);

        // shown now: worked out again at once
        browser.setRootPath(path("hidden"), true);
        model->paceAgain();
        QCOMPARE(model->readingDueInMs(path("hidden")), 3000);
        now += 3000;
        QTRY_COMPARE_WITH_TIMEOUT(rows(path("hidden")), 2, 30000);
        QCOMPARE(model->readingDueInMs(path("hidden")), -1);
    }

    // What a reading costs is the model's own work on its results. The views' reactions to the rows it takes out
    // (here a slot that holds the window a hundred seconds on each row, as a page that read its whole selection
    // did) and other work the window did meanwhile are not: counted, the next change in the folder waited minutes.
    void costLeavesOutTheWindowsOtherWork()
    {
        const int files = 40;
        for (int i = 0; i < files; ++i)
            QVERIFY(make(path("shown") + QStringLiteral("/f%1.ts").arg(i)));
        MediaExplorerFileBrowser browser;
        browser.setModel(model.get());
        browser.setRootPath(path("shown"), true);
        browser.show();
        QTRY_COMPARE(rows(path("shown")), files + 1);
        QTRY_VERIFY(model->readingCostMs(path("shown")) >= 0); // the browser's listing has ended
        browser.selectAll();
        int reactions = 0;
        connect(model.get(), &QAbstractItemModel::rowsRemoved, this, [&] {
            now += 100000;
            ++reactions;
        });
        for (int i = 0; i < files; ++i)
            QVERIFY(QFile::remove(path("shown") + QStringLiteral("/f%1.ts").arg(i)));
        QSignalSpy loaded(model.get(), &QFileSystemModel::directoryLoaded);
        QObject elsewhere;
        model->refreshFolder(path("shown"));
        QTimer::singleShot(0, &elsewhere, [this] { now += 100000; });
        QTRY_COMPARE(rows(path("shown")), 1);
        QTRY_VERIFY(loaded.contains(QVariantList{path("shown")}));
        QCOMPARE(reactions, files); // one by one, each reaction holding the window
        QCOMPARE(model->readingCostMs(path("shown")), 0);
    }

    // 5,000 of a folder's 6,000 files selected in the browser (a click and Shift+End) are deleted from outside,
    // as by a shell on a slow disk: the folder is read again with half of them gone, then with all. Taken out one
    // by one, each row gone would move the selection's places, and the window would be held for a second: the
    // folder goes in one step instead. The clock moves a millisecond at each look while a reading is under way,
    // so the model's own time counts the steps it takes; otherwise it stands still. What is left stays selected,
    // and a file made then is read as soon as in any folder shown: within two seconds.
    void selectionDeletedFromOutside()
    {
        const int files = 6000, kept = 1000;
        const QString folder = path("selection");
        QVERIFY(QDir().mkpath(folder));
        const auto file = [&folder](int i) {
            return folder + QStringLiteral("/f%1.ts").arg(i, 5, 10, QLatin1Char('0'));
        };
        for (int i = 0; i < files; ++i)
            QVERIFY(make(file(i)));
        MediaExplorerFileBrowser browser;
        browser.setModel(model.get());
        browser.setSelectionMode(QAbstractItemView::ExtendedSelection);
        browser.resize(600, 400);
        browser.setRootPath(folder, true);
        browser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&browser));
        QTRY_COMPARE_WITH_TIMEOUT(rows(folder), files, 60000);
        QTRY_VERIFY(model->readingCostMs(folder) >= 0); // the browser's listing has ended
        QTRY_COMPARE(model->index(files - 1, 0, model->index(folder)).data().toString(),
                     QFileInfo(file(files - 1)).fileName()); // sorted
        browser.setFocus();
        browser.selectionModel()->setCurrentIndex(model->index(file(kept)),
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QTest::keyClick(&browser, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(browser.selectionModel()->selectedRows().size(), files - kept);
        model->setClock([this] { return ticking ? ++now : now; });

        const int half = (kept + files) / 2;
        int made = 0; // files made after each reading
        for (const auto &[from, to] : {std::pair(kept, half), std::pair(half, files)}) {
            for (int i = from; i < to; ++i)
                QVERIFY(QFile::remove(file(i)));
            QTRY_VERIFY(model->readingDueInMs(folder) >= 0); // the change is noted
            ticking = true;
            QSignalSpy loaded(model.get(), &QFileSystemModel::directoryLoaded);
            model->refreshFolder(folder);
            QTRY_COMPARE_WITH_TIMEOUT(rows(folder), kept + files - to + made, 60000);
            QTRY_VERIFY_WITH_TIMEOUT(loaded.contains(QVariantList{folder}), 60000);
            ticking = false;
            // a step or a few, not one for each row gone
            const qint64 cost = model->readingCostMs(folder);
            QVERIFY2(cost < (to - from) / 10, qPrintable(QStringLiteral("%1 of %2 gone").arg(cost).arg(to - from)));

            QStringList selected;
            for (const QModelIndex &row : browser.selectionModel()->selectedRows())
                selected << model->filePath(row);
            std::sort(selected.begin(), selected.end());
            QStringList left;
            for (int i = to; i < files; ++i)
                left << file(i);
            QCOMPARE(selected, left);

            const QString newFile = folder + QStringLiteral("/made%1.ts").arg(++made);
            QVERIFY(make(newFile));
            QTRY_VERIFY(model->readingDueInMs(folder) >= 0);
            const qint64 due = model->readingDueInMs(folder);
            QVERIFY2(due <= 2000, qPrintable(QString::number(due)));
            now += due;
            // A reading under way as the file came notes the change again, due from the clock that stands still:
            // the clock moves on to each reading the model puts off, until the file is listed.
            const auto listed = [&] {
                if (const qint64 later = model->readingDueInMs(folder); later > 0)
                    now += later;
                return rows(folder) == kept + files - to + made;
            };
            QTRY_VERIFY_WITH_TIMEOUT(listed(), 30000);
        }
    }
};

OMBRELAY_TEST_MAIN(TestPcReadingPace)
#include "tst_pcreadingpace.moc"
