// The media explorer page's conversion of PC recordings: the four convert commands, the target dialogs,
// the status bar while the converter runs, Cancel and the end messages.

#include "base/filehelpers.h"
#include "base/settings.h"
#include "media/mediaexplorermodule.h"
#include "media/pcfilesystemmodel.h"
#include "modules/generaluiinterface.h"
#include "widgets/messagebox.h"
#include "widgets/messageboxcheckable.h"

#include <QFileDialog>
#include <QFileInfo>

void MediaExplorerModule::connectConversion()
{
    connect(_convertMp3Action, &QAction::triggered, this, &MediaExplorerModule::onTranscodePressedMP3);
    connect(_convertMpgAction, &QAction::triggered, this, &MediaExplorerModule::onTranscodePressedMPG);
    connect(_convertMkvAction, &QAction::triggered, this, &MediaExplorerModule::onTranscodePressedMKV);
    connect(_convertDvdAction, &QAction::triggered, this, &MediaExplorerModule::onTranscodePressedDVD);
    connect(&_transcoder, &AVTranscoder::started, this, &MediaExplorerModule::onTranscodeStarted);
    connect(&_transcoder, &AVTranscoder::finished, this,
            [this](int exitCode, QProcess::ExitStatus) { onTranscodeFinished(exitCode); });
    connect(&_transcoder, &AVTranscoder::progress, this, &MediaExplorerModule::onTranscodeProgress);
    connect(&_transcoder, &AVTranscoder::errorMessage, this, &MediaExplorerModule::onTranscodeError);
}

void MediaExplorerModule::onTranscodePressedMP3()
{
    startConversion(AVTranscoder::Mp3);
}

void MediaExplorerModule::onTranscodePressedMPG()
{
    startConversion(AVTranscoder::Mpg);
}

void MediaExplorerModule::onTranscodePressedMKV()
{
    startConversion(AVTranscoder::Mkv);
}

void MediaExplorerModule::onTranscodePressedDVD()
{
    startConversion(AVTranscoder::Dvd);
}

void MediaExplorerModule::startConversion(int type)
{
    // One thing at a time: the page is busy with a copy or with another conversion.
    if (_busy || _transcoder.state() != QProcess::NotRunning)
        return;
    // FFmpeg would try any file and end with its own words about a corrupted input: only the receivers'
    // recordings (".ts", ".ts4") are taken, and anything else is told as what it is.
    const QString suffix = QFileInfo(_selectedPcFile).suffix();
    if (!_selectedPcFile.isEmpty() && suffix.compare(QLatin1String("ts"), Qt::CaseInsensitive) != 0 &&
        suffix.compare(QLatin1String("ts4"), Qt::CaseInsensitive) != 0) {
        MessageBox::warning(
            this, tr("%1 is not a recording Ombrelay can convert.").arg(QFileInfo(_selectedPcFile).fileName()));
        return;
    }
    QString converter = Settings::getString(Settings::PathVideoConversion, QString());
    if (converter.isEmpty())
        converter = Settings::ffmpegDefaultPath();
    if (QFileInfo(converter).isFile()) {
        chooseConversionTarget(type);
        return;
    }

    bool yes = Settings::getString(Settings::DownloadFFmpegRequest, QStringLiteral("-1")) == QLatin1String("1");
    if (!yes) {
        // The box stores "1" for a ticked box whichever button closed it; a ticked No must not turn into a
        // remembered Yes, so the earlier value comes back.
        const QString before = Settings::getString(Settings::DownloadFFmpegRequest, QString());
        MessageBoxCheckable box(this);
        yes = box.exec(tr("To convert audio and video recordings Ombrelay needs FFmpeg software. It seems that "
                          "FFmpeg path is incorrect. Would you like to set it now?"),
                       tr("Don't show this message again"), Settings::DownloadFFmpegRequest) == 1;
        if (!yes && Settings::getString(Settings::DownloadFFmpegRequest, QString()) != before)
            Settings::setString(Settings::DownloadFFmpegRequest, before);
    }
    if (yes && pageInterface())
        pageInterface()->gotoSettings();
}

void MediaExplorerModule::chooseConversionTarget(int type)
{
    QString target;
    if (type == AVTranscoder::Dvd) {
        target = QFileDialog::getExistingDirectory(this, tr("Choose directory"), QString(), QFileDialog::ShowDirsOnly);
    } else {
        QString filter;
        QString suffix;
        if (type == AVTranscoder::Mp3) {
            filter = tr("Mp3 Files (*.mp3)");
            suffix = QStringLiteral("mp3");
        } else if (type == AVTranscoder::Mpg) {
            filter = tr("Mpg Files (*.mpg)");
            suffix = QStringLiteral("mpg");
        } else if (type == AVTranscoder::Mkv) {
            filter = tr("MKV Files (*.mkv)");
            suffix = QStringLiteral("mkv");
        }
        const QModelIndexList rows = selectedRows();
        if (rows.isEmpty() || !_pcDirModel)
            return;
        const QFileInfo recording(_selectedPcFile.isEmpty() ? _pcDirModel->filePath(rows.first()) : _selectedPcFile);
        QFileDialog dialog(this, tr("Save recording as"), QFileInfo(_pcDirModel->filePath(rows.first())).absolutePath(),
                           filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // Asked below, for the name that will be written: a platform dialog confirms the typed name before
        // the suffix is added.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        // FFmpeg picks the format by the suffix: a name typed without one gets the type's, before the dialog
        // asks whether to replace an existing file of that name.
        dialog.setDefaultSuffix(suffix);
        if (!suffix.isEmpty())
            dialog.selectFile(recording.completeBaseName() + QLatin1Char('.') + suffix);
        if (dialog.exec() == QDialog::Accepted)
            target = dialog.selectedFiles().value(0);
        // A platform dialog may leave the default suffix to the program.
        if (!target.isEmpty() && !suffix.isEmpty() && QFileInfo(target).suffix().isEmpty())
            target += QLatin1Char('.') + suffix;
        // Refused before the replace question: a Yes to replacing the recording would only be refused after.
        if (const QString refused = AVTranscoder::targetRefusal(_selectedPcFile, target, type);
            !target.isEmpty() && !refused.isEmpty()) {
            MessageBox::warning(this, refused);
            return;
        }
        if (!target.isEmpty() && QFileInfo::exists(target) &&
            !MessageBox::questionYesNo(this,
                                       tr("This folder already contains a file named %1. Would you like to replace "
                                          "existing file?")
                                           .arg(QFileInfo(target).fileName()),
                                       MessageBox::No))
            return;
    }
    // A copy may have begun while the dialog was open.
    if (target.isEmpty() || _busy || _transcoder.state() != QProcess::NotRunning)
        return;
    // Busy from the request on, not only from the converter's start: no copy slips in between.
    _conversionCancelled = false;
    onTranscodeStarted();
    _transcoder.transcode(_selectedPcFile, target, type);
}

// Shown already when the conversion is requested; the converter's start only confirms it. A Cancel pressed
// in between is kept.
void MediaExplorerModule::onTranscodeStarted()
{
    startTransferStatus(tr("Converting..."), 0, 100);
    // The converter's progress comes in percent.
    pgrStatus->setMaximum(qMin(100, _progressScale));
    lblStatusTransferTime->hide();
    setControlsEnabled(false);
    frStatusBar->show();
}

void MediaExplorerModule::onTranscodeProgress(qint64 done, qint64 total)
{
    lblStatusTransfer->setText(tr("Converting... (%1 converted)").arg(formatSize(done)));
    if (total > 0 && done <= total)
        pgrStatus->setValue(int(done * 100 / total));
}

void MediaExplorerModule::endConversionStatus()
{
    setControlsEnabled(true);
    frStatusBar->hide();
    startTransferStatus(tr("Copying..."), 0, _progressScale);
    lblStatusTransferTime->show();
}

void MediaExplorerModule::onTranscodeError(const QString &text)
{
    endConversionStatus();
    if (_conversionCancelled)
        return;
    if (GeneralUiInterface *ui = pageInterface())
        ui->setCurrentModule(this, true);
    MessageBox::warning(this, text);
}

void MediaExplorerModule::onTranscodeFinished(int exitCode)
{
    endConversionStatus();
    onRefreshFolderPc();
    if (_conversionCancelled || exitCode == 0)
        return;
    if (GeneralUiInterface *ui = pageInterface())
        ui->setCurrentModule(this, true);
    MessageBox::warning(this, tr("FFmpeg error accured. Input file is probably corrupted."));
}
