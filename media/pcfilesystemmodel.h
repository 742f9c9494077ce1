#pragma once

#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QHash>
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
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    // Reads folder again now (Refresh): new, gone and changed entries, sizes and dates.
    void refreshFolder(const QString &folder);
    // An entry the program has just made: listed now, not when its folder is read again.
    void showNewEntry(const QString &path);
    // Entries gone times entries held above which a folder read again is rebuilt in one go.
    void setRemovalBudget(qint64 budget) { removalBudget = budget; }
    // One reading in share of the time at most: the larger, the longer a folder waits after a long listing.
    void setReadShare(int share) { readShare = qMax(1, share); }

signals:
    void mimeDataDropped(const QString &destinationDir, const QString &fileUris);
    void mimeDeviceDataDropped(const QString &destinationDir, const QString &fileUris);
    // Around a folder taken out and put back in one go: the views' places in it are gone in between, so each
    // view notes its root, current row, selection and expanded folders in it first and sets them again after.
    void folderAboutToBeRebuilt(const QString &path);
    void folderRebuilt(const QString &path);

protected:
    bool event(QEvent *event) override;

private:
    struct Reading
    {
        QElapsedTimer firstChange; // the first change not read yet
        QElapsedTimer lastChange;
        QElapsedTimer asked; // a reading asked for and not arrived yet
        QElapsedTimer ended; // the latest reading arrived
        qint64 costMs = 0;   // from asking to the arrival of the latest reading
        bool watched = false;
    };

    void folderChanged(const QString &path);
    qint64 readingWaitMs(const Reading &reading, bool inUse) const;
    QSet<QModelIndex> foldersInUse() const;
    QSet<QModelIndex> foldersHeld() const;
    void letGoOfHugeFolders();
    void scheduleReading();
    void folderLoaded(const QString &path);
    void readChangedFolders();
    void readFolderAgain(const QString &path);
    QStringList rebuildFolders(const QStringList &paths);
    void sortAgain();
    void sortUnsortedRows();
    void forgetFolder(const QString &path);
    bool canDropEntry(const QString &path) const;
    bool dropEntries(const QString &parent, const QStringList &names);
    static int entriesOnDisk(const QString &path);

    class SuffixIconProvider;
    std::unique_ptr<SuffixIconProvider> suffixIcons;
    // The framework's watching reads a folder again on every change, and for each reading asks about
    // every file of it in the GUI thread: writing n files into the folder shown cost n readings of up
    // to n files. The folders read are watched here instead, and changed folders read again together.
    // Each folder keeps its own pace: a long listing of one folder does not hold back the readings of others.
    QFileSystemWatcher *folderWatcher = nullptr;
    QHash<QString, Reading> readings; // the folders watched
    QSet<QString> changedFolders;
    QTimer *readTimer = nullptr;
    qint64 removalBudget;
    int readShare;
    // The order the views asked for, and whether rows were added since the framework last sorted them all.
    int sortedColumn = 0;
    Qt::SortOrder sortedOrder = Qt::AscendingOrder;
    bool unsortedRows = false;
};
