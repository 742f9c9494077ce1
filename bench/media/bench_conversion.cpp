// The conversion's overhead: MP3 and DVD conversions of a 60 s SD recording through AVTranscoder against the
// same commands started straight with QProcess; the median of 5 runs each.
//   QT_QPA_PLATFORM=offscreen bench_conversion [runs, default 5]

#include "base/settings.h"
#include "media/avtranscoder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHashSeed>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
// Runs a program as the transcoder does (no input, output to the null device) and waits for its end.
bool runDirect(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment = {})
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!environment.isEmpty())
        process.setProcessEnvironment(environment);
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A DVD straight from the two programs: the same converter options, control file and dvdauthor call.
bool dvdDirect(const QString &source, const QString &folder)
{
    const QString mpeg = QDir(folder).filePath(QStringLiteral("direct.mpg"));
    if (!runDirect(Settings::ffmpegDefaultPath(), QStringList{QStringLiteral("-i"), source} +
                                                      AVTranscoder::ffmpegArguments(AVTranscoder::Dvd) +
                                                      QStringList{mpeg}))
        return false;
    const QString dvd = QDir(folder).filePath(QStringLiteral("DVD"));
    const QString config = QDir(folder).filePath(QStringLiteral("direct.xml"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><dvdauthor dest=\"%1\"><vmgm></vmgm><titleset>"
                              "<titles><video format=\"pal\" /><pgc><vob file=\"%2\" chapters=\"00:00:00.00\" />"
                              "<post>exit; </post></pgc></titles></titleset></dvdauthor>")
                   .arg(dvd.toHtmlEscaped(), mpeg.toHtmlEscaped())
                   .toUtf8());
    file.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VIDEO_FORMAT"), QStringLiteral("PAL"));
    const bool ok =
        runDirect(Settings::dvdauthorPath(), {QStringLiteral("-o"), dvd, QStringLiteral("-x"), config}, environment);
    QFile::remove(mpeg);
    QFile::remove(config);
    return ok;
}

// One conversion through the transcoder, to its one ending; false on any failure.
bool viaTranscoder(AVTranscoder &transcoder, const QString &source, const QString &target, int type)
{
    QEventLoop loop;
    bool ok = false;
    const auto done =
        QObject::connect(&transcoder, &AVTranscoder::finished, &loop, [&](int code, QProcess::ExitStatus status) {
            ok = code == 0 && status == QProcess::NormalExit;
            loop.quit();
        });
    const auto failed = QObject::connect(&transcoder, &AVTranscoder::errorMessage, &loop, [&](const QString &text) {
        std::printf("  transcoder: %s\n", qPrintable(text));
        loop.quit();
    });
    transcoder.transcode(source, target, type);
    if (transcoder.state() != QProcess::NotRunning)
        loop.exec();
    QObject::disconnect(done);
    QObject::disconnect(failed);
    return ok;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void compare(const char *what, int type, const QString &source, const QString &work, int runs)
{
    AVTranscoder transcoder;
    std::vector<double> through, direct;
    for (int run = 0; run < runs; ++run) {
        const QString folder = QDir(work).filePath(QStringLiteral("%1-%2").arg(type).arg(run));
        QDir().mkpath(folder + QStringLiteral("/t"));
        QDir().mkpath(folder + QStringLiteral("/d"));
        QElapsedTimer clock;
        // Alternating, so a warm cache or a busy moment does not favour one side.
        clock.start();
        const bool okThrough = type == AVTranscoder::Dvd
                                   ? viaTranscoder(transcoder, source, folder + QStringLiteral("/t"), type)
                                   : viaTranscoder(transcoder, source, folder + QStringLiteral("/t/out.mp3"), type);
        through.push_back(clock.elapsed() / 1000.0);
        clock.restart();
        const bool okDirect =
            type == AVTranscoder::Dvd
                ? dvdDirect(source, folder + QStringLiteral("/d"))
                : runDirect(Settings::ffmpegDefaultPath(), QStringList{QStringLiteral("-i"), source} +
                                                               AVTranscoder::ffmpegArguments(type) +
                                                               QStringList{folder + QStringLiteral("/d/out.mp3")});
        direct.push_back(clock.elapsed() / 1000.0);
        if (!okThrough || !okDirect) {
            std::printf("%-6s run %d failed (transcoder %s, direct %s)\n", what, run, okThrough ? "ok" : "failed",
                        okDirect ? "ok" : "failed");
            return;
        }
        QDir(folder).removeRecursively();
    }
    const double a = median(through), b = median(direct);
    std::printf("%-6s transcoder %.2f s, direct %.2f s, ratio %.2f (limit 1.10) %s\n", what, a, b, a / b,
                a / b <= 1.10 ? "met" : "MISSED");
}
} // namespace

int main(int argc, char *argv[])
{
    QHashSeed::setDeterministicGlobalSeed();
    QStandardPaths::setTestModeEnabled(true); // the converter setting below never reaches the user's settings
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zembrak"));
    QCoreApplication::setApplicationName(QStringLiteral("Ombrelay Bench bench_conversion"));
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 5;
    Settings::setString(Settings::PathVideoConversion, QString());

    QTemporaryDir work;
    const QString source = work.filePath(QStringLiteral("recording.ts"));
    if (!runDirect(Settings::ffmpegDefaultPath(),
                   {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                    QStringLiteral("testsrc=size=720x576:rate=25"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                    QStringLiteral("-i"), QStringLiteral("sine=frequency=440"), QStringLiteral("-t"),
                    QStringLiteral("60"), QStringLiteral("-c:v"), QStringLiteral("mpeg2video"), QStringLiteral("-c:a"),
                    QStringLiteral("mp2"), QStringLiteral("-f"), QStringLiteral("mpegts"), source})) {
        std::printf("could not make the recording with %s\n", qPrintable(Settings::ffmpegDefaultPath()));
        return 1;
    }
    std::printf("recording: 60 s, 720x576, %.1f MB; median of %d runs\n", QFileInfo(source).size() / 1e6, runs);
    compare("MP3", AVTranscoder::Mp3, source, work.path(), runs);
    compare("DVD", AVTranscoder::Dvd, source, work.path(), runs);
    return 0;
}
