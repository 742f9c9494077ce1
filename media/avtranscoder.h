#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

class QTimer;

// Converts a PC recording with the outside converter (FFmpeg) and, for a DVD, the authoring program
// (dvdauthor). Every conversion ends with exactly one of finished() (the last step's exit code and status)
// or errorMessage(); the user's target is replaced only after the last step exited normally with 0.
class AVTranscoder : public QObject
{
    Q_OBJECT
public:
    enum ConversionType { Dvd = 0, Mp3 = 1, Mpg = 2, Mkv = 3, StreamCopy = 4 };

    explicit AVTranscoder(QObject *parent = nullptr);
    ~AVTranscoder() override;

    void transcode(const QString &source, const QString &target, int type);
    // Why target cannot take a conversion of source (a DVD folder already there, the recording itself), or
    // an empty text: asked before anything about the target is, and again when the conversion starts.
    static QString targetRefusal(const QString &source, const QString &target, int type);
    // Running while either program runs or a conversion is between its steps.
    QProcess::ProcessState state() const;

    static QStringList ffmpegArguments(int type);
    // The output size a conversion of source is expected to reach; -1 when there is no estimate.
    static qint64 expectedSize(int type, const QString &source);
    void setExpectedSize(int type, const QString &source);

signals:
    void started();
    void finished(int exitCode, QProcess::ExitStatus exitStatus);
    void progress(qint64 done, qint64 total);
    void errorMessage(QString text);

public slots:
    void kill();

private slots:
    void onConvertTimerTimeout();
    void onDVDAuthorFinish(int exitCode, QProcess::ExitStatus exitStatus);
    void onError(QProcess::ProcessError error);
    void onError2(QProcess::ProcessError error);
    void onConversionStepStarted();
    void onConversionStepStarted2();
    void onStepFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void onConversionsFinished(int exitCode, QProcess::ExitStatus exitStatus);

private:
    using StepEnd = void (AVTranscoder::*)(int, QProcess::ExitStatus);

    bool convert(int type, const QString &input, const QString &output);
    void routeConverterEnd(StepEnd handler);
    bool stepFailed(QProcess *process, int exitCode, QProcess::ExitStatus exitStatus);
    void keepLastWords(QProcess *process);
    QString targetFailure(QProcess *process);
    QString tempFileName() const;
    void runDvdAuthor();
    QString uniqueName(const QString &folder, const QString &suffix) const;
    void fail(const QString &text);
    void end(int exitCode, QProcess::ExitStatus exitStatus);
    void removeIntermediates();

    QProcess *_converter;
    QProcess *_authoring;
    QTimer *_progressTimer;
    int _type = Mpg;
    QString _target;          // what the user chose: a file, or the folder that gets the DVD
    QString _tempFile;        // the ".TS" between the two steps of a TS4 to MKV conversion
    QString _stepOutput;      // what the running converter step writes (watched for progress)
    QString _finalOutput;     // the last converter step's output, renamed over the target at the end
    QString _authoringConfig; // the DVD control file
    qint64 _expectedSize = 0;
    qint64 _previousStepSize = 0;
    bool _firstStepPending = true;
    bool _busy = false;
    QByteArray _lastWords; // the end of what the running step wrote to its error output
    // Which handler gets the converter's end: the first of two steps, the last step, or none.
    QMetaObject::Connection _converterEnd;
};
