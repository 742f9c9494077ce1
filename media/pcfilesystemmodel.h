#pragma once

#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QSet>

#include <memory>

class QFileSystemWatcher;
class QTimer;

// The PC side of the media explorer: every drive at the top, PC items dragged as "text/uri-list",
// drops reported to the page (which decides what to copy). Files get their type and icon from the
// suffix of their name alone, and changed folders are read again when they are quiet, or at a pace
// that keeps the reading to a small share of the time however fast a job writes into them.
class PcFileSystemModel : public QFileSystemModel
{
    Q_OBJECT
public:
    explicit PcFileSystemModel(QObject *parent = nullptr);
    ~PcFileSystemModel() override;

    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    void fetchMore(const QModelIndex &parent) override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    // Reads folder again now (Refresh): new, gone and changed entries, sizes and dates.
    void refreshFolder(const QString &folder);

signals:
    void mimeDataDropped(const QString &destinationDir, const QString &fileUris);
    void mimeDeviceDataDropped(const QString &destinationDir, const QString &fileUris);

private:
    void folderChanged(const QString &path);
    qint64 readingWaitMs() const;
    void scheduleReading();
    void folderLoaded(const QString &path);
    void readChangedFolders();
    void readFolderAgain(const QString &path);
    void forgetFolder(const QString &path);
    bool dropEntry(const QString &path);
    static int entriesOnDisk(const QString &path);

    class SuffixIconProvider;
    std::unique_ptr<SuffixIconProvider> suffixIcons;
    // The framework's watching reads a folder again on every change, and for each reading asks about
    // every file of it in the GUI thread: writing n files into the folder shown cost n readings of up
    // to n files. The folders read are watched here instead, and changed folders read again together.
    QFileSystemWatcher *folderWatcher = nullptr;
    QSet<QString> watchedFolders;
    QSet<QString> changedFolders;
    QTimer *readTimer = nullptr;
    QSet<QString> readsUnderway; // folders asked for and not arrived yet
    QElapsedTimer readStarted;
    QElapsedTimer readEnded;
    QElapsedTimer unreadSince; // since the first change not read yet
    QElapsedTimer lastChange;
    qint64 readCostMs = 0; // from asking to the arrival of the latest readings
};
