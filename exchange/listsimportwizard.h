#pragma once

#include <QDialog>
#include <QFileInfoList>
#include <QString>

class Ui_ListsImportWizard;

// Leads the user through a USB drive's trips between PC and receiver: prepares the drive so the receiver
// writes its lists onto it, waits for the drive to come back and finds the list file there; after an
// export it asks the user to carry the drive to the receiver (page 4). While the prepared drive is
// written out it shows that it is busy (page 5).
class ListsImportWizard : public QDialog
{
    Q_OBJECT
public:
    ListsImportWizard(QWidget *parent, const QString &extension, const QString &drivePath);
    ~ListsImportWizard() override;

    void setPage(int page);
    int exec() override;
    QString findImportFile() const;
    void showError(const QString &text);
    void setDrivePath(const QString &path);
    void setExtension(const QString &extension);
    void checkDrives(bool emitSignals);

signals:
    void driveRemoved();
    void newDriveDetected(QString path);

protected:
    void timerEvent(QTimerEvent *event) override;

private slots:
    void onBtnImport();
    void onDriveInserted(const QString &path);
    void onDriveRemoved();
    void onPrepareUSB();

private:
    bool hasDrive() const;
    // The drive's list files of this wizard's kind, in name order.
    QFileInfoList listFiles() const;
    // Page 0, naming the files that Prepare drive will delete.
    void askBeforePreparing();
    void startPolling();
    void startFlush(const QString &path);
    void onFlushed(bool ok);
    static QString prepareFailure();

    Ui_ListsImportWizard *ui;
    int currentPage = 0;
    QString drivePath;
    QString extension;
    QFileInfoList knownDrives;
    int pollInterval = 1000;
    int timerId = 0;
    bool flushing = false;
    // The files the question on page 0 named: the only ones Prepare drive may delete.
    QStringList namedForDeletion;
};
