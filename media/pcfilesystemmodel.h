#pragma once

#include <QFileSystemModel>
#include <QHash>
#include <QSet>

#include <functional>
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
    // Reads folder again now (Refresh): new, gone and changed entries, sizes (also of a file that only grew) and
    // dates.
    void refreshFolder(const QString &folder);
    // A listed folder a view shows again: read again at the pace of a change in it, with its files' sizes checked.
    void folderShownAgain(const QString &folder);
    // An entry the program has just made: listed now, not when its folder is read again.
    void showNewEntry(const QString &path);
    // Entries gone times entries held above which a folder read again is rebuilt in one go.
    void setRemovalBudget(qint64 budget) { removalBudget = budget; }
    // One reading in share of the time at most: the larger, the longer a folder waits after a long listing.
    void setReadShare(int share) { readShare = qMax(1, share); }
    // Which folders the views show or hold rows of that the user acts on (a folder left behind by the browser
    // holds none, whatever row was clicked in it): those are read within seconds of a change and never let go
    // of. Without it, every folder a persistent index lies in or below.
    void setFoldersInUse(std::function<bool(const QModelIndex &folder)> inUse) { foldersInUseTest = std::move(inUse); }
    // A folder came into use (shown, expanded): the pace of its change not read yet is worked out again now.
    void paceAgain();
    // The milliseconds the pace works with; the steady clock unless set.
    void setClock(std::function<qint64()> msNow);
    // The latest reading's length, as the model spent it (not the waits of the window), and how long from now the
    // reading of a change noted in folder is due as last worked out; -1 when there is none.
    qint64 readingCostMs(const QString &folder) const;
    qint64 readingDueInMs(const QString &folder) const;

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
    // Times in milliseconds of the clock; -1 for none.
    struct Reading
    {
        qint64 firstChange = -1; // the first change not read yet
        qint64 lastChange = -1;
        qint64 asked = -1;  // a reading asked for and not arrived yet
        qint64 ended = -1;  // the latest reading arrived
        qint64 costMs = 0;  // the model's own time on the latest reading
        qint64 spentMs = 0; // on the one under way so far
        qint64 due = -1;    // when the change not read yet is read, as last worked out
        bool watched = false;
    };

    qint64 now() const { return clock(); }
    void folderChanged(const QString &path);
    qint64 readingWaitMs(const Reading &reading, bool inUse) const;
    void askedFor(Reading &reading, const QString &path);
    void reactionsBegin(bool removal);
    void reactionsEnd();
    QSet<QModelIndex> foldersInUse() const;
    QSet<QModelIndex> foldersHeld() const;
    void letGoOfHugeFolders();
    void scheduleReading();
    void folderLoaded(const QString &path);
    void readChangedFolders();
    void readFolderAgain(const QString &path);
    qint64 removalCost(const QModelIndex &folder, qint64 rows, qint64 lost) const;
    QStringList rebuildFolders(const QStringList &paths);
    void sortAgain();
    void sortUnsortedRows();
    void forgetFolder(const QString &path);
    void checkSizesOfReading(const QString &path);
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
    // Folders shown again whose next reading checks their files' sizes.
    QSet<QString> sizeChecks;
    // Readings asked of the framework and not arrived, by folder: each ends in its own directoryLoaded, in the order
    // asked, so a size check ends with the last one, not with the end of one asked before it.
    QHash<QString, int> loadsUnderway;
    QTimer *readTimer = nullptr;
    qint64 removalBudget;
    int readShare;
    std::function<bool(const QModelIndex &)> foldersInUseTest;
    std::function<qint64()> clock;
    // A reading's cost is the time the model spends on its results; the views' and pages' reactions to the rows
    // it puts in or takes out are not, nor are the waits of the window for other work.
    QSet<QString> underway;
    qint64 reactionStart = -1;
    qint64 reactionsMs = 0;
    // The order the views asked for, and whether rows were added since the framework last sorted them all.
    int sortedColumn = 0;
    Qt::SortOrder sortedOrder = Qt::AscendingOrder;
    bool unsortedRows = false;
};
