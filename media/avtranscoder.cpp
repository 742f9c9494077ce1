#include "media/avtranscoder.h"

#include "base/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTemporaryFile>
#include <QTimer>

#include <cstdio>
#include <utility>

namespace {

QString processErrorText(QProcess::ProcessError error)
{
    switch (error) {
    case QProcess::FailedToStart:
        return AVTranscoder::tr("The process failed to start.");
    case QProcess::Crashed:
        return AVTranscoder::tr("The process crashed some time after starting successfully.");
    case QProcess::Timedout:
        return AVTranscoder::tr("The process timed out.");
    case QProcess::ReadError:
        return AVTranscoder::tr("An error occurred when attempting to read from the process.");
    case QProcess::WriteError:
        return AVTranscoder::tr("An error occurred when attempting to write to the process.");
    default:
        return AVTranscoder::tr("Unknown error.");
    }
}

// A child that asks a question must not wait for an answer, and hours of its chatter must not pile up here:
// of what it says only the end is kept (see keepLastWords), which names why it stopped.
void quietChild(QProcess *process)
{
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
}

constexpr int lastWordsBytes = 16 * 1024;

// The system's words for a disk that takes no more, as the converter and the authoring program pass them on.
bool saysDiskFull(const QString &output)
{
    for (const char *text : {"No space left on device", "Disk quota exceeded", "File too large"})
        if (output.contains(QLatin1String(text), Qt::CaseInsensitive))
            return true;
    return false;
}

// Refused access to the file or folder written: only a line naming it counts, since the input may be refused too.
bool saysNotWritable(const QString &output, const QString &written)
{
    const QStringList lines = output.split(u'\n');
    for (const QString &line : lines)
        if (!written.isEmpty() && line.contains(written) &&
            (line.contains(QLatin1String("Permission denied"), Qt::CaseInsensitive) ||
             line.contains(QLatin1String("Read-only file system"), Qt::CaseInsensitive)))
            return true;
    return false;
}

QString canonicalOrClean(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : canonical;
}

} // namespace

AVTranscoder::AVTranscoder(QObject *parent)
    : QObject(parent)
    , _converter(new QProcess)
    , _authoring(new QProcess)
    , _progressTimer(new QTimer)
{
    quietChild(_converter);
    quietChild(_authoring);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // dvdauthor refuses a menu-less DVD without a video format of its own.
    environment.insert(QStringLiteral("VIDEO_FORMAT"), QStringLiteral("PAL"));
    _authoring->setProcessEnvironment(environment);
    connect(_converter, &QProcess::started, this, &AVTranscoder::onConversionStepStarted);
    connect(_converter, &QProcess::errorOccurred, this, &AVTranscoder::onError);
    connect(_progressTimer, &QTimer::timeout, this, &AVTranscoder::onConvertTimerTimeout);
    connect(_authoring, &QProcess::started, this, &AVTranscoder::onConversionStepStarted2);
    connect(_authoring, &QProcess::errorOccurred, this, &AVTranscoder::onError2);
    connect(_authoring, &QProcess::finished, this, &AVTranscoder::onDVDAuthorFinish);
    for (QProcess *process : {_converter, _authoring})
        connect(process, &QProcess::readyReadStandardError, this, [this, process] { keepLastWords(process); });
}

void AVTranscoder::keepLastWords(QProcess *process)
{
    _lastWords += process->readAllStandardError();
    if (_lastWords.size() > lastWordsBytes)
        _lastWords.remove(0, _lastWords.size() - lastWordsBytes);
}

// What the failed step's own words say about the target: a full disk, or a target it may not write. Empty
// for anything else (a damaged input above all), which keeps the converter's general text.
QString AVTranscoder::targetFailure(QProcess *process)
{
    keepLastWords(process);
    const QString output = QString::fromLocal8Bit(std::exchange(_lastWords, {}));
    if (saysDiskFull(output))
        return tr("There is not enough free space on the disk for %1.").arg(_target);
    const QString written = process == _authoring ? QDir(_target).filePath(QStringLiteral("DVD")) : _stepOutput;
    if (saysNotWritable(output, written))
        return _type == Dvd ? tr("Cannot write into the folder %1.").arg(_target)
                            : tr("Cannot write file %1.").arg(_target);
    return QString();
}

AVTranscoder::~AVTranscoder()
{
    // A conversion still running when the page goes leaves nothing behind.
    for (QProcess *process : {_converter, _authoring}) {
        process->disconnect(this);
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
    if (_busy) {
        removeIntermediates();
        if (_type == Dvd && !_target.isEmpty()) // a half-made DVD is of no use; the folder was free at the start
            QDir(QDir(_target).filePath(QStringLiteral("DVD"))).removeRecursively();
    }
    delete _converter;
    delete _progressTimer;
    delete _authoring;
}

QStringList AVTranscoder::ffmpegArguments(int type)
{
    switch (type) {
    case Dvd:
        return {QStringLiteral("-target"), QStringLiteral("pal-dvd")};
    case Mp3:
        return {QStringLiteral("-acodec"), QStringLiteral("libmp3lame"), QStringLiteral("-y"),
                QStringLiteral("-ab"),     QStringLiteral("160k"),       QStringLiteral("-ac"),
                QStringLiteral("2"),       QStringLiteral("-ar"),        QStringLiteral("44100")};
    case Mpg:
    case Mkv:
    case StreamCopy:
        return {QStringLiteral("-vcodec"), QStringLiteral("copy"), QStringLiteral("-acodec"), QStringLiteral("copy"),
                QStringLiteral("-sn")};
    default:
        return {};
    }
}

qint64 AVTranscoder::expectedSize(int type, const QString &source)
{
    const qint64 size = QFileInfo(source).size();
    switch (type) {
    case Dvd:
    case Mpg:
        return size;
    case Mp3:
        return qint64(double(size) / double(42.9f));
    case Mkv:
        return size * 2;
    default:
        return -1;
    }
}

void AVTranscoder::setExpectedSize(int type, const QString &source)
{
    _expectedSize = -1;
    _expectedSize = expectedSize(type, source);
}

QProcess::ProcessState AVTranscoder::state() const
{
    if (_converter->state() != QProcess::NotRunning)
        return _converter->state();
    if (_authoring->state() != QProcess::NotRunning)
        return _authoring->state();
    return _busy ? QProcess::Running : QProcess::NotRunning;
}

// A name in the target's folder that no file holds now, with the suffix the converter picks its format by.
// The file is made to reserve the name and removed at once, so the converter never asks to overwrite.
QString AVTranscoder::uniqueName(const QString &folder, const QString &suffix) const
{
    QTemporaryFile reserve(QDir(folder).filePath(QStringLiteral(".ombrelay-XXXXXX.") + suffix));
    if (!reserve.open())
        return {};
    const QString name = reserve.fileName();
    reserve.close();
    reserve.remove();
    return name;
}

// The ".TS" between the two steps of a TS4 to MKV conversion: beside the target, where there is room for a
// copy of the recording, under a name nobody else picks; removed on every ending.
QString AVTranscoder::tempFileName() const
{
    return uniqueName(QFileInfo(_target).absolutePath(), QStringLiteral("TS"));
}

QString AVTranscoder::targetRefusal(const QString &source, const QString &target, int type)
{
    if (type == Dvd) {
        if (QFileInfo::exists(QDir(target).filePath(QStringLiteral("DVD"))))
            return tr("The folder %1 already holds a DVD folder. Please choose another folder.").arg(target);
    } else if (canonicalOrClean(source) == canonicalOrClean(target)) {
        return tr("The target is the recording itself. Please choose another file name.");
    }
    return QString();
}

void AVTranscoder::transcode(const QString &source, const QString &target, int type)
{
    if (state() != QProcess::NotRunning) {
        emit errorMessage(tr("A conversion is already running. Please wait until it has finished."));
        return;
    }
    const QString input = QDir::cleanPath(QDir::toNativeSeparators(source));
    _type = type;
    _target = QDir::cleanPath(QDir::toNativeSeparators(target));
    _tempFile.clear();
    _finalOutput.clear();
    _authoringConfig.clear();
    _stepOutput.clear();
    _lastWords.clear();
    setExpectedSize(type, input);
    _previousStepSize = 0;
    _firstStepPending = true;
    _busy = true;

    if (!QFileInfo::exists(input))
        return fail(tr("Input file does not exist: ") + input);
    if (const QString refused = targetRefusal(input, _target, type); !refused.isEmpty())
        return fail(refused);
    const QString folder = type == Dvd ? _target : QFileInfo(_target).absolutePath();
    _finalOutput = uniqueName(folder, type == Dvd ? QStringLiteral("mpg") : QFileInfo(_target).suffix());
    if (_finalOutput.isEmpty())
        return fail(tr("Cannot write into the folder %1.").arg(folder));

    if (type == Mkv && input.endsWith(QLatin1String("TS4"), Qt::CaseInsensitive)) {
        _tempFile = tempFileName();
        if (_tempFile.isEmpty())
            return fail(tr("Cannot write into the folder %1.").arg(folder));
        routeConverterEnd(&AVTranscoder::onStepFinished);
        convert(StreamCopy, input, _tempFile);
    } else {
        routeConverterEnd(&AVTranscoder::onConversionsFinished);
        convert(type, input, _finalOutput);
    }
}

void AVTranscoder::routeConverterEnd(StepEnd handler)
{
    disconnect(_converterEnd);
    _converterEnd = handler ? connect(_converter, &QProcess::finished, this, handler) : QMetaObject::Connection();
}

bool AVTranscoder::convert(int type, const QString &input, const QString &output)
{
    const QString program = [] {
        const QString set = Settings::getString(Settings::PathVideoConversion, QString());
        return set.isEmpty() ? Settings::ffmpegDefaultPath() : set;
    }();
    if (!QFileInfo::exists(program)) {
        fail(tr("Cannot find video converter. Please make sure that the path for FFmpeg in Settings is correct."));
        return false;
    }
    _stepOutput = output;
    _converter->start(program, QStringList{QStringLiteral("-i"), input} + ffmpegArguments(type) + QStringList{output},
                      QIODevice::ReadWrite);
    return true;
}

void AVTranscoder::onConversionStepStarted()
{
    if (_firstStepPending) {
        _firstStepPending = false;
        emit started();
    }
    _progressTimer->start(500);
}

// dvdauthor writes no file whose growth could be shown: the last progress of the converter stays on display.
void AVTranscoder::onConversionStepStarted2() {}

void AVTranscoder::onConvertTimerTimeout()
{
    emit progress(QFileInfo(_stepOutput).size() + _previousStepSize, _expectedSize);
}

// A step that did not end well ends the conversion (the next step would only work on a broken file): a crash
// or a kill with its own text, any other exit with its code, which the page reports as a converter error.
bool AVTranscoder::stepFailed(QProcess *process, int exitCode, QProcess::ExitStatus exitStatus)
{
    const QString target = exitCode != 0 || exitStatus != QProcess::NormalExit ? targetFailure(process) : QString();
    _lastWords.clear();
    if (exitStatus != QProcess::NormalExit)
        fail(processErrorText(QProcess::Crashed));
    else if (!target.isEmpty())
        fail(target);
    else if (exitCode != 0)
        end(exitCode, exitStatus);
    else
        return false;
    return true;
}

void AVTranscoder::onStepFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    _progressTimer->stop();
    if (stepFailed(_converter, exitCode, exitStatus))
        return;
    routeConverterEnd(&AVTranscoder::onConversionsFinished);
    _previousStepSize = QFileInfo(_tempFile).size();
    convert(_type, _tempFile, _finalOutput);
}

void AVTranscoder::onConversionsFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    _progressTimer->stop();
    routeConverterEnd(nullptr);
    if (stepFailed(_converter, exitCode, exitStatus))
        return;
    if (!_tempFile.isEmpty()) {
        QFile::remove(_tempFile);
        _tempFile.clear();
    }
    if (_type == Dvd)
        return runDvdAuthor();
    // POSIX rename replaces the old target in one step: it is either the old file or the new one.
    if (std::rename(QFile::encodeName(_finalOutput).constData(), QFile::encodeName(_target).constData()) != 0)
        return fail(tr("Cannot write file %1.").arg(_target));
    _finalOutput.clear();
    end(exitCode, exitStatus);
}

void AVTranscoder::runDvdAuthor()
{
    const QString folder = _target;
    _authoringConfig = uniqueName(folder, QStringLiteral("xml"));
    QFile config(_authoringConfig);
    if (_authoringConfig.isEmpty() || !config.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return fail(tr("Cannot write the DVD authoring file in %1.").arg(folder));
    }
    const QString dvdFolder = QDir(folder).filePath(QStringLiteral("DVD"));
    // The names go into XML: a folder called "Tom & Jerry" must not break the file.
    const QString text =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><dvdauthor dest=\"%1\"><!-- DO NOT edit the 2 "
                       "lines above --><vmgm></vmgm><titleset><titles><video format=\"pal\" /><pgc><vob file=\"%2\" "
                       "chapters=\"00:00:00.00\" /><post>exit; </post></pgc></titles></titleset></dvdauthor>")
            .arg(dvdFolder.toHtmlEscaped(), _finalOutput.toHtmlEscaped());
    const QByteArray bytes = text.toUtf8();
    if (config.write(bytes) != bytes.size() || !config.flush()) {
        config.close();
        return fail(tr("Cannot write the DVD authoring file in %1.").arg(folder));
    }
    config.close();
    _authoring->start(Settings::dvdauthorPath(),
                      {QStringLiteral("-o"), dvdFolder, QStringLiteral("-x"), _authoringConfig}, QIODevice::ReadWrite);
}

void AVTranscoder::onDVDAuthorFinish(int exitCode, QProcess::ExitStatus exitStatus)
{
    if (exitStatus != QProcess::NormalExit || exitCode != 0) // a half-made DVD folder is of no use
        QDir(QDir(_target).filePath(QStringLiteral("DVD"))).removeRecursively();
    if (!stepFailed(_authoring, exitCode, exitStatus))
        end(exitCode, exitStatus);
}

// Only a program that never started needs ending here. A crash is followed by the process's end, which
// ends the conversion once with the crash text; the other errors leave the program running to its end.
void AVTranscoder::onError(QProcess::ProcessError error)
{
    if (error == QProcess::Crashed)
        _progressTimer->stop();
    if (error == QProcess::FailedToStart) {
        _progressTimer->stop();
        routeConverterEnd(nullptr);
        fail(processErrorText(error));
    }
}

void AVTranscoder::onError2(QProcess::ProcessError error)
{
    if (error == QProcess::FailedToStart)
        fail(processErrorText(error));
}

void AVTranscoder::kill()
{
    if (_converter->state() != QProcess::NotRunning)
        _converter->kill();
    if (_authoring->state() != QProcess::NotRunning)
        _authoring->kill();
}

void AVTranscoder::removeIntermediates()
{
    for (const QString &file : {_tempFile, _finalOutput, _authoringConfig})
        if (!file.isEmpty())
            QFile::remove(file);
    _tempFile.clear();
    _finalOutput.clear();
    _authoringConfig.clear();
}

void AVTranscoder::fail(const QString &text)
{
    removeIntermediates();
    _busy = false;
    emit errorMessage(text);
}

void AVTranscoder::end(int exitCode, QProcess::ExitStatus exitStatus)
{
    removeIntermediates();
    _busy = false;
    emit finished(exitCode, exitStatus);
}
