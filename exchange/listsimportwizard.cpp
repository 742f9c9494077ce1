#include "exchange/listsimportwizard.h"

#include "base/driveflush.h"
#include "base/drivelist.h"
#include "base/settings.h"

#include "ui_listsimportwizard.h"

#include <QDir>
#include <QFile>
#include <QMovie>

#include <algorithm>

ListsImportWizard::ListsImportWizard(QWidget *parent, const QString &extension, const QString &drivePath)
    : QDialog(parent)
    , ui(new Ui_ListsImportWizard)
    , drivePath(drivePath)
    , extension(extension)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    connect(ui->btnCancelPrepareUSB, &QPushButton::pressed, this, &QDialog::reject);
    connect(ui->btnCancel2, &QPushButton::pressed, this, &QDialog::reject);
    connect(ui->btnCancel3, &QPushButton::pressed, this, &QDialog::reject);
    connect(ui->btnClose, &QPushButton::pressed, this, &QDialog::reject);
    connect(ui->btnOK, &QPushButton::pressed, this, &QDialog::reject);
    connect(ui->btnCancel5, &QPushButton::pressed, this, &QDialog::reject);
    connect(ui->btnImport, &QPushButton::pressed, this, &ListsImportWizard::onBtnImport);
    connect(ui->btnPrepareUSB, &QPushButton::pressed, this, &ListsImportWizard::onPrepareUSB);
    checkDrives(false);
}

ListsImportWizard::~ListsImportWizard()
{
    delete ui;
}

void ListsImportWizard::setDrivePath(const QString &path)
{
    drivePath = path;
}

void ListsImportWizard::setExtension(const QString &newExtension)
{
    extension = newExtension;
}

// An empty or relative path is what a cancelled picker leaves; QDir would read it as the working folder.
bool ListsImportWizard::hasDrive() const
{
    return !drivePath.isEmpty() && QDir::isAbsolutePath(drivePath);
}

void ListsImportWizard::checkDrives(bool emitSignals)
{
    const QFileInfoList current = DriveList::drives();
    const int oldCount = knownDrives.size();
    const int newCount = current.size();
    if (oldCount > newCount) {
        if (emitSignals)
            emit driveRemoved();
    } else if (oldCount < newCount) {
        for (const QFileInfo &drive : current) {
            const QString path = drive.absoluteFilePath();
            const bool known = std::any_of(knownDrives.crbegin(), knownDrives.crend(),
                                           [&path](const QFileInfo &old) { return old.absoluteFilePath() == path; });
            if (!known) {
                if (emitSignals)
                    emit newDriveDetected(path);
                break;
            }
        }
    }
    knownDrives = current;
}

void ListsImportWizard::timerEvent(QTimerEvent *)
{
    checkDrives(true);
}

QFileInfoList ListsImportWizard::listFiles() const
{
    if (!hasDrive() || extension.isEmpty())
        return {};
    const QDir dir(drivePath);
    if (!dir.exists())
        return {};
    const QString name = QStringLiteral("%1.%2").arg(Settings::favsListUpdateName(), extension);
    // Files only: a folder that happens to carry the list's name is no list.
    return dir.entryInfoList({name}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QString ListsImportWizard::findImportFile() const
{
    const QFileInfoList found = listFiles();
    return found.isEmpty() ? QString() : found.first().absoluteFilePath();
}

void ListsImportWizard::askBeforePreparing()
{
    namedForDeletion.clear();
    QStringList names;
    for (const QFileInfo &list : listFiles()) {
        namedForDeletion << list.absoluteFilePath();
        names << list.fileName();
    }
    ui->label_6->setText(
        tr("Choosing 'Prepare drive' will delete %1 from drive.").arg(names.join(QStringLiteral(", "))));
    setPage(0);
}

void ListsImportWizard::startPolling()
{
    if (timerId == 0)
        timerId = startTimer(pollInterval);
}

void ListsImportWizard::onPrepareUSB()
{
    if (flushing)
        return;
    const QString failure = prepareFailure();
    if (!hasDrive()) {
        showError(failure);
        return;
    }
    // A stick pulled meanwhile leaves an empty mount folder on the PC's own disk: nothing goes there.
    if (!DriveList::isDrive(drivePath)) {
        showError(tr("The drive %1 is no longer there. Nothing was written: plug the drive in and try again.")
                      .arg(QDir::toNativeSeparators(drivePath)));
        return;
    }
    // Only this kind's old list goes, so that it is not taken for the receiver's new one; a waiting
    // export of another kind stays for the receiver. Nothing goes that the question did not name: a
    // list that came since is asked about first.
    const QFileInfoList oldLists = listFiles();
    for (const QFileInfo &list : oldLists) {
        if (!namedForDeletion.contains(list.absoluteFilePath())) {
            askBeforePreparing();
            return;
        }
    }
    const QDir dir(drivePath);
    QFile marker(dir.filePath(Settings::dbXmlExportName()));
    if (!marker.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        showError(failure);
        return;
    }
    marker.close();
    for (const QFileInfo &list : oldLists) {
        if (!QFile::remove(list.absoluteFilePath())) {
            showError(failure);
            return;
        }
    }
    // The user unplugs the drive as soon as the next page says so: first it must hold what was written.
    startFlush(marker.fileName());
}

void ListsImportWizard::startFlush(const QString &path)
{
    // After a large copy to the same drive writing it out takes long: it runs beside the window, which
    // shows it is busy and keeps answering, Cancel included.
    flushing = true;
    setPage(5);
    // A wizard closed meanwhile does not wait for the drive and hears nothing.
    DriveFlush::flushInBackground(path, this, [this](bool ok, const QString &) { onFlushed(ok); });
}

void ListsImportWizard::onFlushed(bool ok)
{
    flushing = false;
    if (!ok) {
        showError(prepareFailure());
        return;
    }
    startPolling();
    connect(this, &ListsImportWizard::driveRemoved, this, &ListsImportWizard::onDriveRemoved, Qt::UniqueConnection);
    setPage(1);
}

QString ListsImportWizard::prepareFailure()
{
    return tr("Ombrelay could not prepare drive for import from device. Please try again later.");
}

int ListsImportWizard::exec()
{
    if (currentPage != 4) {
        if (!findImportFile().isEmpty())
            askBeforePreparing();
        else
            onPrepareUSB();
    }
    return QDialog::exec();
}

void ListsImportWizard::onBtnImport()
{
    if (!findImportFile().isEmpty())
        accept();
}

void ListsImportWizard::onDriveRemoved()
{
    disconnect(this, &ListsImportWizard::driveRemoved, this, &ListsImportWizard::onDriveRemoved);
    if (currentPage == 4) {
        reject();
        return;
    }
    setPage(2);
    connect(this, &ListsImportWizard::newDriveDetected, this, &ListsImportWizard::onDriveInserted,
            Qt::UniqueConnection);
}

void ListsImportWizard::onDriveInserted(const QString &path)
{
    drivePath = path;
    if (!findImportFile().isEmpty()) {
        disconnect(this, &ListsImportWizard::newDriveDetected, this, &ListsImportWizard::onDriveInserted);
        killTimer(timerId);
        timerId = 0;
        accept();
        return;
    }
    ui->lblWarning->show();
    ui->lblWarningLabel->show();
}

void ListsImportWizard::setPage(int page)
{
    currentPage = page;
    switch (page) {
    case 1:
        ui->wgdWizzard->setCurrentIndex(1);
        break;
    case 2:
        ui->lblWarning->hide();
        ui->lblWarningLabel->hide();
        if (!ui->lblWaitingAnimation->movie()) {
            auto *movie = new QMovie(QStringLiteral(":/icons/icons/loader.gif"), QByteArray(), ui->lblWaitingAnimation);
            ui->lblWaitingAnimation->setMovie(movie);
            movie->start();
        }
        ui->wgdWizzard->setCurrentIndex(2);
        break;
    case 3:
        ui->wgdWizzard->setCurrentIndex(3);
        break;
    case 5:
        if (!ui->lblWritingAnimation->movie()) {
            auto *movie = new QMovie(QStringLiteral(":/icons/icons/loader.gif"), QByteArray(), ui->lblWritingAnimation);
            ui->lblWritingAnimation->setMovie(movie);
            movie->start();
        }
        ui->wgdWizzard->setCurrentIndex(5);
        break;
    case 4:
        connect(this, &ListsImportWizard::driveRemoved, this, &ListsImportWizard::onDriveRemoved, Qt::UniqueConnection);
        startPolling();
        ui->wgdWizzard->setCurrentIndex(4);
        break;
    default:
        ui->wgdWizzard->setCurrentIndex(0);
        break;
    }
}

void ListsImportWizard::showError(const QString &text)
{
    ui->lblError->setText(text);
    setPage(3);
}
