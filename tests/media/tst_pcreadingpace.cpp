#include "testmain.h"

#include "media/mediaexplorerfilebrowser.h"
#include "media/pcfilesystemmodel.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
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
        model = std::make_unique<PcFileSystemModel>();
        now = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                  .count();
        model->setClock([this] { return now; });
        model->setRootPath(QString());
    }
    void cleanup()
    {
        model.reset();
        for (const char *folder : {"shown", "hidden"})
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
};

OMBRELAY_TEST_MAIN(TestPcReadingPace)
#include "tst_pcreadingpace.moc"
