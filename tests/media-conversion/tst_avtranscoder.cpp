#include "base/settings.h"
#include "media/avtranscoder.h"
#include "testmain.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {
QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString probe(const QString &file, const QString &entries)
{
    return run("ffprobe", {"-v", "error", "-show_entries", entries, "-of", "default=nw=1:nk=1", file})
        .replace('\n', ' ');
}

// Every file below a folder, hidden ones included, relative to it.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

bool writeScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n" + body) > 0 &&
           file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}
} // namespace

class TestAVTranscoder : public QObject
{
    Q_OBJECT
    QTemporaryDir recordings;
    QTemporaryDir work;
    QTemporaryDir tools; // a stand-in dvdauthor, found first on the PATH when a row puts it there
    QString ts, ts4;
    QByteArray tsBytes;
    const QByteArray path = qgetenv("PATH");

    // Runs one conversion to its one ending: the finished exit code, or -1 with the error text.
    std::pair<int, QString> convert(AVTranscoder &transcoder, const QString &source, const QString &target, int type)
    {
        QSignalSpy finished(&transcoder, &AVTranscoder::finished);
        QSignalSpy failed(&transcoder, &AVTranscoder::errorMessage);
        transcoder.transcode(source, target, type);
        [&] { QTRY_VERIFY_WITH_TIMEOUT(finished.size() + failed.size() > 0, 120000); }();
        QCoreApplication::processEvents();
        if (finished.size() + failed.size() != 1 || transcoder.state() != QProcess::NotRunning)
            return {-2, QStringLiteral("not exactly one ending")};
        return failed.isEmpty() ? std::pair(finished.first().first().toInt(), QString())
                                : std::pair(-1, failed.first().first().toString());
    }

private slots:
    void initTestCase()
    {
        ts = recordings.filePath("rec.ts");
        ts4 = recordings.filePath("rec.ts4");
        const QStringList lavfi = {"-v", "error",
                                   "-f", "lavfi",
                                   "-i", "testsrc=size=720x576:rate=25",
                                   "-f", "lavfi",
                                   "-i", "sine=frequency=440",
                                   "-t", "2"};
        run("ffmpeg", lavfi + QStringList{"-c:v", "mpeg2video", "-c:a", "mp2", "-f", "mpegts", ts});
        run("ffmpeg", lavfi + QStringList{"-c:v", "libx264", "-c:a", "aac", "-f", "mpegts", ts4});
        QVERIFY(QFileInfo(ts).size() > 100000 && QFileInfo(ts4).size() > 10000);
        QFile recording(ts);
        QVERIFY(recording.open(QIODevice::ReadOnly));
        tsBytes = recording.readAll();
    }
    void cleanup() { qputenv("PATH", path); }
    void init()
    {
        QVERIFY(QDir(work.path()).removeRecursively() && QDir().mkpath(work.path()));
        Settings::setString(Settings::PathVideoConversion, QString());
    }

    // Each kind, through the real programs; the folder holds the result and nothing else afterwards.
    void conversions_data()
    {
        QTest::addColumn<bool>("fromTs4");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("mp3") << false << 1 << "out.mp3" << "format=format_name:stream=channels,sample_rate" << "44100 2 mp3";
        QTest::newRow("mpg") << false << 2 << "out.mpg" << "format=format_name:stream=codec_name,width" << "mpeg2video 720 mp2 mpeg";
        QTest::newRow("mkv from ts4") << true << 3 << "out.mkv" << "format=format_name:stream=codec_name" << "h264 aac matroska,webm";
        QTest::newRow("dvd, odd folder") << false << 0 << "Tom & Jerry <\"Żółw\">" << "" << "";
        // clang-format on
    }
    void conversions()
    {
        QFETCH(bool, fromTs4);
        QFETCH(int, type);
        QFETCH(QString, target);
        QFETCH(QString, entries);
        QFETCH(QString, expected);
        const QString output = work.filePath(target);
        if (type == AVTranscoder::Dvd)
            QVERIFY(QDir().mkpath(output));
        AVTranscoder transcoder;
        QCOMPARE(convert(transcoder, fromTs4 ? ts4 : ts, output, type), std::pair(0, QString()));
        if (type == AVTranscoder::Dvd) {
            const QStringList made = filesBelow(output);
            QVERIFY(made.contains("DVD/VIDEO_TS/VIDEO_TS.IFO") && made.contains("DVD/VIDEO_TS/VTS_01_1.VOB"));
            QVERIFY(made.filter(QRegularExpression("^[^/]*$")).isEmpty()); // no intermediates beside it
        } else {
            QCOMPARE(probe(output, entries), expected);
            QCOMPARE(filesBelow(work.path()), QStringList{target});
        }
    }

    // Failures: one ending with its text (or a non-zero exit), nothing left, an existing target untouched.
    void failures_data()
    {
        QTest::addColumn<QString>("source");    // "ts", "missing", "junk", "self"
        QTest::addColumn<QString>("converter"); // "", "missing", "plain file", "exit 1", "crash", "stdin"
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text"); // empty: ends with a non-zero exit code
        // clang-format off
        QTest::newRow("missing input") << "missing" << "" << 1 << "Input file does not exist: ";
        QTest::newRow("no converter") << "ts" << "missing" << 1 << "Cannot find video converter. Please make sure that the path for FFmpeg in Settings is correct.";
        QTest::newRow("cannot run") << "ts" << "plain file" << 1 << "The process failed to start.";
        QTest::newRow("junk recording") << "junk" << "" << 1 << "";
        QTest::newRow("target is source") << "self" << "" << 2 << "The target is the recording itself. Please choose another file name.";
        QTest::newRow("target is source, relative") << "self relative" << "" << 2 << "The target is the recording itself. Please choose another file name.";
        QTest::newRow("target is source, linked folder") << "self linked" << "" << 2 << "The target is the recording itself. Please choose another file name.";
        QTest::newRow("converter crashes") << "ts" << "crash" << 1 << "The process crashed some time after starting successfully.";
        QTest::newRow("converter reads stdin") << "ts" << "stdin" << 1 << "";
        QTest::newRow("dvdauthor fails") << "ts" << "" << 0 << "";
        QTest::newRow("dvdauthor crashes") << "ts" << "" << 0 << "The process crashed some time after starting successfully.";
        QTest::newRow("first mkv step fails") << "ts4" << "exit 1" << 3 << "";
        QTest::newRow("dvd folder taken") << "ts" << "" << 0 << "The folder";
        // The converter's own words decide between a damaged input and a target that takes nothing more.
        QTest::newRow("disk full") << "ts" << "disk full" << 1 << "There is not enough free space on the disk for ";
        QTest::newRow("disk full, dvd") << "ts" << "disk full" << 0 << "There is not enough free space on the disk for ";
        QTest::newRow("quota, mkv second step") << "ts4" << "quota" << 3 << "There is not enough free space on the disk for ";
        QTest::newRow("target refused") << "ts" << "refused" << 2 << "Cannot write file ";
        QTest::newRow("input refused") << "ts" << "input refused" << 2 << "";
        QTest::newRow("dvdauthor disk full") << "ts" << "" << 0 << "There is not enough free space on the disk for ";
        // clang-format on
    }
    void failures()
    {
        QFETCH(QString, source);
        QFETCH(QString, converter);
        QFETCH(int, type);
        QFETCH(QString, text);
        const QString log = work.filePath("calls");
        const QString script = recordings.filePath("converter");
        if (converter == "missing")
            Settings::setString(Settings::PathVideoConversion, work.filePath("nothing/ffmpeg"));
        if (!converter.isEmpty() && converter != "missing") {
            QByteArray body;
            if (converter == "exit 1")
                body = "echo run >> '" + log.toUtf8() + "'\nexit 1\n";
            else if (converter == "crash") // writes a little, then dies by a signal
                body = "for last; do :; done\necho part > \"$last\"\nkill -SEGV $$\n";
            else if (converter == "stdin") // hangs for ever unless its input is the null device
                body = "cat > /dev/null\nexit 3\n";
            else if (converter == "disk full") // as FFmpeg says it, amid its usual chatter
                body = "for last; do :; done\necho part > \"$last\"\ni=0\nwhile [ $i -lt 400 ]; do echo "
                       "\"frame=$i fps=25 q=2.0 size=1024kB time=00:00:0$i bitrate=100kbits/s\" >&2; i=$((i+1)); "
                       "done\necho \"av_interleaved_write_frame(): No space left on device\" >&2\n"
                       "echo \"Error writing trailer of $last: No space left on device\" >&2\nexit 1\n";
            else if (converter == "quota") // the first step of two runs, the second finds no room
                body = "for last; do :; done\ncase \"$last\" in *.TS) echo part > \"$last\"; exit 0;; esac\n"
                       "echo \"[matroska @ 0x1] Error writing: Disk quota exceeded\" >&2\nexit 1\n";
            else if (converter == "refused")
                body = "for last; do :; done\necho \"$last: Permission denied\" >&2\nexit 1\n";
            else if (converter == "input refused")
                body = "echo \"$2: Permission denied\" >&2\nexit 1\n";
            QVERIFY(writeScript(script, body));
            if (converter == "plain file")
                QVERIFY(QFile(script).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
            Settings::setString(Settings::PathVideoConversion, script);
        }
        if (type == AVTranscoder::Dvd && text != "The folder") {
            QVERIFY(writeScript(tools.filePath("dvdauthor"),
                                "mkdir -p \"$2/VIDEO_TS\"\necho part > \"$2/VIDEO_TS/VIDEO_TS.IFO\"\n" +
                                    QByteArray(text.isEmpty()             ? "exit 1\n"
                                               : text.startsWith("There") ? "echo \"ERR:  Cannot write: No space "
                                                                            "left on device\" >&2\nexit 1\n"
                                                                          : "kill -SEGV $$\n")));
            qputenv("PATH", QFile::encodeName(tools.path()) + ':' + path);
        }
        QString input = source == "ts" ? ts : source == "ts4" ? ts4 : work.filePath("in.ts");
        if (source == "junk")
            QVERIFY(writeScript(input, QByteArray(200000, 'x')));
        QString target = work.filePath(type == AVTranscoder::Dvd ? "disc" : "old.mp3");
        if (source.startsWith("self"))
            input = ts;
        if (type == AVTranscoder::Dvd) {
            QVERIFY(QDir().mkpath(text == "The folder" ? target + "/DVD" : target));
        } else if (source == "self") {
            target = ts;
        } else if (source == "self relative") {
            target = QDir::current().relativeFilePath(ts);
        } else if (source == "self linked") { // the recordings' folder reached through a link
            QVERIFY(QFile::link(recordings.path(), work.filePath("shows")));
            target = work.filePath("shows/rec.ts");
        } else {
            QVERIFY(writeScript(target, "old bytes"));
        }
        const QStringList before = filesBelow(work.path());
        AVTranscoder transcoder;
        const auto [code, message] = convert(transcoder, input, target, type);
        if (text.isEmpty())
            QVERIFY2(code > 0 && message.isEmpty(), qPrintable(message));
        else
            QVERIFY2(code == -1 && message.startsWith(text), qPrintable(message));
        QStringList after = filesBelow(work.path());
        after.removeAll("calls");
        QCOMPARE(after, before);
        QFile recording(ts);
        QVERIFY(recording.open(QIODevice::ReadOnly));
        QCOMPARE(recording.readAll(), tsBytes);
        if (converter == "exit 1")
            QCOMPARE(QFile(log).open(QIODevice::ReadOnly) ? QFile(log).size() : 0, qint64(4)); // one step ran
    }

    // A slow converter: progress is counted, a second conversion is refused, a cancel leaves nothing.
    void progressBusyAndCancel()
    {
        const QString script = recordings.filePath("slow");
        QVERIFY(writeScript(script, "for last; do :; done\nwhile true; do head -c 1536 /dev/zero >> \"$last\"; "
                                    "sleep 0.2; done\n"));
        Settings::setString(Settings::PathVideoConversion, script);
        const QString target = work.filePath("kept.mpg");
        QVERIFY(writeScript(target, "old bytes"));
        AVTranscoder transcoder;
        QSignalSpy progress(&transcoder, &AVTranscoder::progress);
        QSignalSpy failed(&transcoder, &AVTranscoder::errorMessage);
        QSignalSpy finished(&transcoder, &AVTranscoder::finished);
        transcoder.transcode(ts, target, AVTranscoder::Mpg);
        QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty() && progress.last().first().toLongLong() > 0, 10000);
        QCOMPARE(progress.last().at(1).toLongLong(), QFileInfo(ts).size());
        transcoder.transcode(ts, work.filePath("second.mp3"), AVTranscoder::Mp3);
        QCOMPARE(failed.size(), 1);
        transcoder.kill();
        // A killed converter ends as a crash, once; the page keeps it silent after its own Cancel.
        QTRY_COMPARE(failed.size(), 2);
        QCOMPARE(failed.last().first().toString(), "The process crashed some time after starting successfully.");
        QCOMPARE(transcoder.state(), QProcess::NotRunning);
        QCOMPARE(finished.size(), 0);
        QCOMPARE(filesBelow(work.path()), QStringList{"kept.mpg"});
        QFile kept(target);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("#!/bin/sh\nold bytes"));
    }

    void expectedSizes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("empty") << 1 << qint64(0) << qint64(0);
        QTest::newRow("mp3 of 1e9") << 1 << qint64(1000000000) << qint64(23310022);
        QTest::newRow("mkv twice") << 3 << qint64(1000) << qint64(2000);
        QTest::newRow("stream copy unknown") << 4 << qint64(1000) << qint64(-1);
    }
    void expectedSizes()
    {
        QFETCH(int, type);
        QFETCH(qint64, size);
        QFETCH(qint64, expected);
        QFile sparse(work.filePath("sized.ts"));
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(size));
        QCOMPARE(AVTranscoder::expectedSize(type, sparse.fileName()), expected);
    }
};

OMBRELAY_TEST_MAIN(TestAVTranscoder)
#include "tst_avtranscoder.moc"
