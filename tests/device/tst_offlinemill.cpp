#include "testmain.h"

#include "recordingtask.h"
#include "testfiles.h"

#include "device/core/devicecall.h"
#include "device/offline/offlinecommunicationmanager.h"
#include "device/transfers/copyjobbuilders.h"
#include "device/transfers/pctarget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <thread>

class TestOfflineMill : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    std::unique_ptr<OfflineCommunicationManager> m_manager;

    QString path(const QString &rel) const { return m_tmp->path() + u'/' + rel; }
    QString write(const QString &rel, const QByteArray &data) { return TestFiles::write(path(rel), data); }
    QString sparse(const QString &rel, qint64 size)
    {
        const QString p = write(rel, QByteArray());
        QFile(p).resize(size);
        return p;
    }
    static QByteArray read(const QString &p) { return TestFiles::read(p); }
    static QString copyRequest(const QString &source, const QString &destination, int type = 0, bool move = false,
                               const QString &overwrite = QString())
    {
        DeviceCall call(QStringLiteral("MEMCopyPcToPc"));
        call.setParameter(QStringLiteral("sourceFile"), source);
        call.setParameter(QStringLiteral("destinationFile"), destination);
        call.setParameter(QStringLiteral("fileType"), QString::number(type));
        call.setParameter(QStringLiteral("deleteSource"), move ? QStringLiteral("true") : QStringLiteral("false"));
        if (!overwrite.isEmpty())
            call.setParameter(QStringLiteral("overwrite"), overwrite);
        return call.toString();
    }
    RecordingTask *run(const QString &request) { return RecordingTask::run(*m_manager, this, request); }

private slots:
    void init()
    {
        m_tmp.reset(new QTemporaryDir);
        m_manager.reset(new OfflineCommunicationManager);
    }
    void cleanup()
    {
        PcTarget::setRemoveEntry({});
        m_manager.reset();
    }

    void copyReportsEachBlock()
    {
        const QString src = write(QStringLiteral("a.bin"), QByteArray(40000, 'a'));
        RecordingTask *task = run(copyRequest(src, path(QStringLiteral("out/a.bin"))));
        QCOMPARE(task->calls, QStringList({"enqueued", "progress64:16000", "progress64:16000", "progress64:8000",
                                           "progress64:0", "complete:true"}));
        QCOMPARE(read(path(QStringLiteral("out/a.bin"))), QByteArray(40000, 'a'));
        // A move removes its source once the copy is whole.
        QCOMPARE(run(copyRequest(src, path(QStringLiteral("b.bin")), 0, true))->calls.last(),
                 QStringLiteral("complete:true"));
        QVERIFY(!QFileInfo::exists(src));
        QCOMPARE(read(path(QStringLiteral("b.bin"))), QByteArray(40000, 'a'));
    }

    void overwriteFalseKeepsDestination()
    {
        const QString src = write(QStringLiteral("a.bin"), "new");
        const QString dst = write(QStringLiteral("b.bin"), "old");
        QCOMPARE(run(copyRequest(src, dst, 0, false, QStringLiteral("false")))->calls.last(),
                 QStringLiteral("complete:true"));
        QCOMPARE(read(dst), QByteArray("old"));
        run(copyRequest(src, dst, 0, false, QStringLiteral("true")));
        QCOMPARE(read(dst), QByteArray("new"));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing source") << "missing";
        QTest::newRow("onto itself") << "itself";
        QTest::newRow("folder cannot be made") << "nodir";
    }
    void failures()
    {
        QFETCH(QString, kind);
        const QString dst = write(QStringLiteral("dst.bin"), "keep me");
        QString src = path(QStringLiteral("nothing.bin"));
        QString target = dst;
        QString error = QStringLiteral("error:Cannot open file %1.").arg(src);
        if (kind == QLatin1String("itself")) {
            src = dst;
            error = QStringLiteral("error:Cannot copy %1 onto itself.").arg(src);
        } else if (kind == QLatin1String("nodir")) {
            src = write(QStringLiteral("s.bin"), "x");
            target = dst + QStringLiteral("/sub/f.bin");
            error = QStringLiteral("error:Cannot create directory sub.");
        }
        RecordingTask *task = run(copyRequest(src, target, 0, true));
        QCOMPARE(task->calls, QStringList({"enqueued", error, "complete:false"}));
        QCOMPARE(read(dst), QByteArray("keep me"));
        if (kind == QLatin1String("nodir"))
            QVERIFY(QFileInfo::exists(src));
    }

    void stopDuringMoveKeepsSourceAndOldDestination()
    {
        const QString src = sparse(QStringLiteral("big.bin"), qint64(2) << 30);
        const QString dst = write(QStringLiteral("dst.bin"), "old");
        auto *task = new RecordingTask(this, copyRequest(src, dst, 0, true));
        m_manager->enqueue(task);
        QTRY_VERIFY(task->calls.size() > 2);
        m_manager->stop();
        QTRY_COMPARE(task->outcomes(), 1);
        QCOMPARE(task->calls.last(), QStringLiteral("canceled"));
        QVERIFY(!task->calls.contains(QStringLiteral("complete:true")));
        QVERIFY(QFileInfo::exists(src));
        QCOMPARE(read(dst), QByteArray("old"));
        QCOMPARE(QDir(m_tmp->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void cancelledQueuedTaskNeverRuns()
    {
        const QString big = sparse(QStringLiteral("big.bin"), qint64(2) << 30);
        const QString small = write(QStringLiteral("small.bin"), "s");
        auto *running = new RecordingTask(this, copyRequest(big, path(QStringLiteral("big2.bin"))));
        auto *queued = new RecordingTask(this, copyRequest(small, path(QStringLiteral("small2.bin"))));
        m_manager->enqueue(running);
        m_manager->enqueue(queued);
        QTRY_VERIFY(running->calls.size() > 2);
        m_manager->cancel(queued);
        QCOMPARE(queued->calls, QStringList({"enqueued", "cancel", "canceled"}));
        m_manager->cancel(running);
        QTRY_COMPARE(running->outcomes(), 1);
        QCOMPARE(running->calls.last(), QStringLiteral("canceled"));
        QTest::qWait(100);
        QCOMPARE(queued->outcomes(), 1);
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("small2.bin"))));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("big2.bin"))));
    }

    // A stop asked without waiting ends the running copy as cancelled; a request made right after it
    // (the worker still ending) runs on a fresh worker instead of being refused.
    void requestStopThenNextRequest()
    {
        const QString big = sparse(QStringLiteral("big.bin"), qint64(2) << 30);
        const QString small = write(QStringLiteral("small.bin"), "s");
        auto *running = new RecordingTask(this, copyRequest(big, path(QStringLiteral("big2.bin"))));
        m_manager->enqueue(running);
        QTRY_VERIFY(running->calls.size() > 2);
        m_manager->requestStop();
        RecordingTask *next = run(copyRequest(small, path(QStringLiteral("small2.bin"))));
        QCOMPARE(next->calls.last(), QStringLiteral("complete:true"));
        QCOMPARE(read(path(QStringLiteral("small2.bin"))), QByteArray("s"));
        QTRY_COMPARE(running->outcomes(), 1);
        QCOMPARE(running->calls.last(), QStringLiteral("canceled"));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("big2.bin"))));
    }

    void destructorStopsRunningThread()
    {
        const QString big = sparse(QStringLiteral("big.bin"), qint64(2) << 30);
        auto *task = new RecordingTask(this, copyRequest(big, path(QStringLiteral("big2.bin"))));
        m_manager->enqueue(task);
        QTRY_VERIFY(task->calls.size() > 2);
        m_manager.reset(); // must stop and wait, never destroy a running thread
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("big2.bin"))));
    }

    void folderEntries()
    {
        const QString src = path(QStringLiteral("Movies"));
        write(QStringLiteral("Movies/keep.txt"), "k");
        QCOMPARE(run(copyRequest(src, path(QStringLiteral("out/Movies")), 2, true))->calls.last(),
                 QStringLiteral("complete:true"));
        QVERIFY(QFileInfo(path(QStringLiteral("out/Movies"))).isDir());
        // Not empty: a moved folder is removed only once its content went.
        QVERIFY(QFileInfo::exists(src + QStringLiteral("/keep.txt")));
        QFile::remove(src + QStringLiteral("/keep.txt"));
        run(copyRequest(src, path(QStringLiteral("out/Movies")), 2, true));
        QVERIFY(!QFileInfo::exists(src));
        QVERIFY(QFileInfo(m_tmp->path()).isDir());
        QDir().mkpath(path(QStringLiteral("A")));
        RecordingTask *into = run(copyRequest(path(QStringLiteral("A")), path(QStringLiteral("A/B/A")), 2, false));
        QCOMPARE(into->calls, QStringList({"enqueued", "error:Cannot copy A into itself.", "complete:false"}));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("A/B"))));
    }

    void deleteJob()
    {
        const QString a = write(QStringLiteral("a.txt"), "a");
        const QString dir = path(QStringLiteral("dir"));
        write(QStringLiteral("dir/x/y.txt"), "y");
        const QString outside = write(QStringLiteral("outside/precious.txt"), "p");
        QVERIFY(QFile::link(path(QStringLiteral("outside")), path(QStringLiteral("dir/link"))));
        CopyJobDocument job;
        job.addFile(0, 1, a, QString(), 0);
        job.addFile(0, 0, path(QStringLiteral("outside")), QString(), 0); // a folder as a file: fails
        job.addFile(1, 0, outside, QString(), 0);                         // a recording entry: skipped
        job.addFile(2, 0, dir, QString(), 0);
        DeviceCall call(QStringLiteral("MEMdeletePcFiles"));
        call.setParameter(QStringLiteral("fileList"), job.toString());
        RecordingTask *task = run(call.toString());
        QCOMPARE(task->calls, QStringList({"enqueued", "start", "complete:true"}));
        QCOMPARE(task->result(), QStringLiteral("outside\r\n"));
        QVERIFY(!QFileInfo::exists(a));
        QVERIFY(!QFileInfo::exists(dir));
        QCOMPARE(read(outside), QByteArray("p"));
        QVERIFY(QFileInfo(m_tmp->path()).isDir());
    }

    // A disk that fills while the last bytes still sit in the write buffer: the copy fails, the user's file
    // keeps its bytes, no temporary file stays and a move keeps its source.
    void diskFullOnTheLastBytes()
    {
        const QString src = write(QStringLiteral("src.bin"), QByteArray(3000, 's'));
        const QString dst = write(QStringLiteral("keep/dst.bin"), "the user's own bytes");
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old;
        limit.rlim_cur = 1000;
        setrlimit(RLIMIT_FSIZE, &limit);
        RecordingTask *task = run(copyRequest(src, dst, 0, true));
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
        QCOMPARE(task->calls.mid(task->calls.size() - 2),
                 QStringList({"error:Error while writing to file dst.bin.", "complete:false"}));
        QCOMPARE(read(dst), QByteArray("the user's own bytes"));
        QCOMPARE(QDir(path(QStringLiteral("keep"))).entryList(QDir::Files | QDir::Hidden), QStringList{"dst.bin"});
        QCOMPARE(read(src), QByteArray(3000, 's'));
        // With room again the same copy goes through.
        QCOMPARE(run(copyRequest(src, dst, 0, true))->calls.last(), QStringLiteral("complete:true"));
        QCOMPARE(read(dst), QByteArray(3000, 's'));
    }

    // A move whose source cannot be removed completes (the copy is whole) and names the source in its result.
    void moveNamesSourceThatStays()
    {
        const QString src = write(QStringLiteral("stays.bin"), "s");
        PcTarget::setRemoveEntry([src](const QString &p) { return p != src && QFile::remove(p); });
        RecordingTask *task = run(copyRequest(src, path(QStringLiteral("out/stays.bin")), 0, true));
        PcTarget::setRemoveEntry({});
        QCOMPARE(task->calls.last(), QStringLiteral("complete:true"));
        CopyJobDocument kept;
        QVERIFY(kept.setContent(task->result()));
        QCOMPARE(kept.takeFirstFile().absolutePath(), src);
        QVERIFY(!kept.hasFiles());
        QCOMPARE(read(src), QByteArray("s"));
        // A move that can remove its source reports nothing left.
        const QString other = write(QStringLiteral("goes.bin"), "g");
        task = run(copyRequest(other, path(QStringLiteral("out/goes.bin")), 0, true));
        QCOMPARE(task->calls.last(), QStringLiteral("complete:true"));
        QVERIFY(task->result().isEmpty());
        QVERIFY(!QFileInfo::exists(other));
    }

    // stop() wakes an idle worker: the thread ends at once, not after its idle wait of a second. The stop
    // runs on a helper thread so that this thread can wait with a deadline well below that second.
    void stopWakesIdleWorker()
    {
        for (int round = 0; round < 2; ++round) {
            const QString src = write(QStringLiteral("a%1.bin").arg(round), "a");
            QCOMPARE(run(copyRequest(src, path(QStringLiteral("b%1.bin").arg(round))))->calls.last(),
                     QStringLiteral("complete:true"));
            OfflineMill *mill = m_manager->mill();
            QVERIFY(mill->isRunning());
            std::thread stopper([this] { m_manager->stop(); });
            const bool ended = mill->wait(QDeadlineTimer(500));
            stopper.join();
            QVERIFY(ended);
        }
    }

    void prepare()
    {
        write(QStringLiteral("src/Movies/a.ts"), QByteArray(5, 'a'));
        const QString payload = uriLineFromLocalPath(path(QStringLiteral("src/Movies"))) + QStringLiteral("\r\n");
        DeviceCall call(QStringLiteral("MEMprepareToCopyPcToPc"));
        call.setParameter(QStringLiteral("fileUris"), payload);
        call.setParameter(QStringLiteral("destinationDir"), path(QStringLiteral("dst")));
        RecordingTask *task = run(call.toString());
        QCOMPARE(task->calls, QStringList({"enqueued", "start", "complete:true"}));
        CopyJobDocument job;
        QVERIFY(job.setContent(task->result()));
        QCOMPARE(job.copyDirection(), 0);
        QCOMPARE(job.totalSize(), qint64(5));
        QCOMPARE(job.destinationPath(), path(QStringLiteral("dst")));
        QCOMPARE(job.fileCount(), 2);

        // Far more than any disk here holds (a sparse file).
        sparse(QStringLiteral("huge/h.bin"), qint64(15) << 40);
        call.setParameter(QStringLiteral("fileUris"), uriLineFromLocalPath(path(QStringLiteral("huge"))));
        task = run(call.toString());
        QCOMPARE(task->calls,
                 QStringList({"enqueued", "start", "error:There is not enough free space.", "complete:false"}));
        QVERIFY(task->result().isEmpty());

        call.setParameter(QStringLiteral("fileUris"), payload);
        call.setParameter(QStringLiteral("destinationDir"), path(QStringLiteral("src/Movies/in")));
        QCOMPARE(run(call.toString())->calls,
                 QStringList({"enqueued", "start", "error:Cannot copy Movies into itself.", "complete:false"}));
    }
};

OMBRELAY_TEST_MAIN(TestOfflineMill)
#include "tst_offlinemill.moc"
