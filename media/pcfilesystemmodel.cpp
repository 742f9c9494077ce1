#include "media/pcfilesystemmodel.h"

#include "base/filehelpers.h"
#include "device/transfers/copyjobbuilders.h"

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QDirIterator>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHash>
#include <QIcon>
#include <QMetaMethod>
#include <QMimeData>
#include <QMimeDatabase>
#include <QMutex>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <utility>

namespace {
// changes are read once the folder has been quiet this long, so that a burst comes in one reading
constexpr int quietMs = 100;
// while changes keep coming, they are read this long after the first one not read yet
constexpr int busyMs = 1000;
// and a folder's readings take at most about this share of the time (1 / 20)
constexpr int defaultReadShare = 20;
// the longest a change waits to be read in a folder a view shows or holds a row of, or three times its reading
// when that is longer: a reading of a folder of 300,000 files holds the window for seconds (the framework sorts
// and compares every entry in the GUI thread), which a job writing into it must not bring every two seconds
constexpr qint64 inUseMaximumMs = 2000;
constexpr int inUseCostFactor = 3;
// and in any other folder (or five times its reading)
constexpr qint64 maximumPauseMs = 10000;
// a reading that has not arrived by then is asked for again
constexpr qint64 underwayMaximumMs = 60000;
// entries gone times entries held: above it taking the gone ones out one by one would hold the window long
constexpr qint64 defaultRemovalBudget = 25'000'000;
// a folder shown again with up to this many entries has its files' sizes looked at on the disk at once (a few
// milliseconds); a larger one at its next reading, which it gets at the pace of a change
constexpr int checkedAtOnceMaximum = 5000;
} // namespace

// Type and icon of a file from the suffix of its name, worked out once per suffix. The framework's
// provider opens every file to guess its type (and again for its icon), and the model asks for every
// file of a folder each time anything in the folder changes: a job writing thousands of files into
// the folder shown slowed down with every file it wrote. Folders and drives are the framework's.
//
// The framework takes an entry read again as changed only when its date, permissions or type changed, never its
// size: a file that grew and kept its date (a copy that keeps the source's time, a drive that keeps times in whole
// seconds) kept its old size for good. While a folder is read again to be checked, a file whose size differs from
// the one listed gets its type with a mark: the framework then takes the new reading, and the model shows the type
// without the mark.
class PcFileSystemModel::SuffixIconProvider : public QAbstractFileIconProvider
{
public:
    using QAbstractFileIconProvider::icon;

    static constexpr QChar changedMark = QChar(0x1);

    QIcon icon(const QFileInfo &info) const override
    {
        return info.isFile() ? kind(info.suffix()).icon : QAbstractFileIconProvider::icon(info);
    }

    QString type(const QFileInfo &info) const override
    {
        if (!info.isFile())
            return QAbstractFileIconProvider::type(info);
        const QString text = kind(info.suffix()).type;
        return sizeChanged(info) ? text + changedMark : text;
    }

    // The sizes listed in folder (by name), which its next reading is checked against.
    void checkSizes(const QString &folder, QHash<QString, qint64> sizes)
    {
        QMutexLocker lock(&mutex);
        listedSizes.insert(folder, std::move(sizes));
    }
    void endCheck(const QString &folder)
    {
        QMutexLocker lock(&mutex);
        listedSizes.remove(folder);
    }

private:
    bool sizeChanged(const QFileInfo &info) const
    {
        QMutexLocker lock(&mutex);
        if (listedSizes.isEmpty())
            return false;
        const auto folder = listedSizes.constFind(info.absolutePath());
        if (folder == listedSizes.cend())
            return false;
        const auto listed = folder->constFind(info.fileName());
        return listed != folder->cend() && *listed != info.size();
    }

    struct Kind
    {
        QString type;
        QIcon icon;
    };

    Kind kind(const QString &suffix) const
    {
        // the model asks from the GUI thread; the lock is for a gatherer that asks from its own
        QMutexLocker lock(&mutex);
        const auto known = kinds.constFind(suffix);
        if (known != kinds.constEnd())
            return *known;
        const QString name = QStringLiteral("file.") + suffix;
        QMimeType mime = mimeDatabase.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
        // the receivers' recordings end in ".ts", which Qt's translation files share
        const QMimeType recording = mimeDatabase.mimeTypeForName(QStringLiteral("video/mp2t"));
        if (mime != recording && mimeDatabase.mimeTypesForFileName(name).contains(recording))
            mime = recording;
        Kind kind;
        kind.type = mime.comment().isEmpty() ? mime.name() : mime.comment();
        kind.icon = QIcon::fromTheme(mime.iconName());
        if (kind.icon.isNull()) // what the model shows for a file without an icon of its own
            kind.icon = QAbstractFileIconProvider::icon(File);
        kinds.insert(suffix, kind);
        return kind;
    }

    QMimeDatabase mimeDatabase;
    mutable QMutex mutex;
    mutable QHash<QString, Kind> kinds;
    QHash<QString, QHash<QString, qint64>> listedSizes;
};

PcFileSystemModel::PcFileSystemModel(QObject *parent)
    : QFileSystemModel(parent)
    , suffixIcons(std::make_unique<SuffixIconProvider>())
    , folderWatcher(new QFileSystemWatcher(this))
    , readTimer(new QTimer(this))
    , removalBudget(defaultRemovalBudget)
    , readShare(defaultReadShare)
{
    setClock({});
    // before any view's: the views' reactions to the rows a reading changes begin here (see reactionsBegin)
    connect(this, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { reactionsBegin(true); });
    connect(this, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] { reactionsBegin(false); });
    setIconProvider(suffixIcons.get());
    setOption(QFileSystemModel::DontWatchForChanges, true);
    readTimer->setSingleShot(true);
    connect(folderWatcher, &QFileSystemWatcher::directoryChanged, this, &PcFileSystemModel::folderChanged);
    connect(readTimer, &QTimer::timeout, this, &PcFileSystemModel::readChangedFolders);
    connect(this, &QFileSystemModel::directoryLoaded, this, &PcFileSystemModel::folderLoaded);
    // the framework adds rows after the sorted ones, and sorts them in later
    connect(this, &QAbstractItemModel::rowsInserted, this, [this] { unsortedRows = true; });
}

PcFileSystemModel::~PcFileSystemModel() = default;

Qt::ItemFlags PcFileSystemModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled | Qt::ItemIsEnabled;
}

QVariant PcFileSystemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case 0:
        return tr("Name");
    case 1:
        return tr("Size");
    case 2:
        return tr("Type");
    case 3:
        return tr("Date Modified");
    default:
        return QString();
    }
}

QVariant PcFileSystemModel::data(const QModelIndex &index, int role) const
{
    // The size as the receiver pane writes it, in the language of the texts: the framework's own is in
    // other units ("KiB"). The date stays a date-time value, written out by the view in the page's language.
    if (role == Qt::DisplayRole && index.isValid() && index.column() == 1)
        return isDir(index) ? QVariant() : QVariant(formatSize(size(index)));
    if (role == Qt::DisplayRole && index.isValid() && index.column() == 3)
        return isDir(index) ? QVariant() : QVariant(lastModified(index));
    if (role == Qt::DisplayRole && index.isValid() && index.column() == 2) {
        QString text = QFileSystemModel::data(index, role).toString();
        if (text.endsWith(SuffixIconProvider::changedMark))
            text.chop(1);
        // The base model says "Folder" here where other platforms say "File Folder".
        if (text == QLatin1String("File Folder") || text == QLatin1String("Folder"))
            return tr("File Folder");
        if (text == QLatin1String("Drive"))
            return tr("Drive");
        if (text == QLatin1String("Removable Drive"))
            return tr("Removable Drive");
        return text;
    }
    return QFileSystemModel::data(index, role);
}

void PcFileSystemModel::fetchMore(const QModelIndex &parent)
{
    const bool reading = canFetchMore(parent);
    QFileSystemModel::fetchMore(parent);
    if (!reading || !parent.isValid())
        return; // the drive list is read once
    const QString path = filePath(parent);
    ++loadsUnderway[path];
    Reading &folder = readings[path];
    if (folder.asked < 0)
        askedFor(folder, path);
    if (!folder.watched)
        folder.watched = folderWatcher->addPath(path);
}

void PcFileSystemModel::setClock(std::function<qint64()> msNow)
{
    clock = msNow ? std::move(msNow) : [] {
        return qint64(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count());
    };
}

void PcFileSystemModel::askedFor(Reading &reading, const QString &path)
{
    reading.asked = now();
    reading.spentMs = 0;
    underway.insert(path);
}

// From the model's first word on rows going or coming to the end of the last slot told of their change: the slot
// made now is the last one connected.
void PcFileSystemModel::reactionsBegin(bool removal)
{
    if (underway.isEmpty() || reactionStart >= 0)
        return;
    reactionStart = now();
    if (removal)
        connect(this, &QAbstractItemModel::rowsRemoved, this, &PcFileSystemModel::reactionsEnd,
                Qt::SingleShotConnection);
    else
        connect(this, &QAbstractItemModel::rowsInserted, this, &PcFileSystemModel::reactionsEnd,
                Qt::SingleShotConnection);
}

void PcFileSystemModel::reactionsEnd()
{
    if (reactionStart < 0)
        return;
    reactionsMs += qMax<qint64>(0, now() - reactionStart);
    reactionStart = -1;
}

qint64 PcFileSystemModel::readingCostMs(const QString &folder) const
{
    const auto reading = readings.constFind(QDir::cleanPath(folder));
    return reading == readings.cend() || reading->ended < 0 ? -1 : reading->costMs;
}

qint64 PcFileSystemModel::readingDueInMs(const QString &folder) const
{
    const QString path = QDir::cleanPath(folder);
    const auto reading = readings.constFind(path);
    if (reading == readings.cend() || reading->due < 0 || !changedFolders.contains(path))
        return -1;
    return qMax<qint64>(0, reading->due - now());
}

// Sorted last first, the framework finds the row it announces as taken out by counting back from the end of the
// rows it has sorted, and does not move that end when it takes a row out: while rows it added wait for its put-off
// sort, every further row taken out of that folder was announced at another row's place, and the views kept places
// (selection, current row, expanded folders, the folder shown) on entries it had freed. So the put-off sort is made
// before anything that can take rows out: the framework's readings, which arrive as calls queued from its gatherer
// thread, and the entries this model takes out itself.
//
// The results of a reading come from the framework's gatherer thread as queued calls: the time the model spends on
// them is the reading's, less the reactions of others to the rows (a page that reads its whole selection on each row
// taken out held the window for minutes, and that was taken for the reading: its next waited ten minutes). Time the
// results waited for the window is not counted either.
bool PcFileSystemModel::event(QEvent *event)
{
    if (event->type() != QEvent::MetaCall)
        return QFileSystemModel::event(event);
    const bool measured = !underway.isEmpty();
    const qint64 start = measured ? now() : 0;
    const qint64 reactionsBefore = reactionsMs;
    sortUnsortedRows();
    const bool handled = QFileSystemModel::event(event);
    if (measured) {
        const qint64 own = qMax<qint64>(0, now() - start - (reactionsMs - reactionsBefore));
        for (const QString &path : std::as_const(underway))
            readings[path].spentMs += own;
    }
    return handled;
}

void PcFileSystemModel::sortUnsortedRows()
{
    if (!unsortedRows || sortedOrder == Qt::AscendingOrder)
        return;  // first first, a row's place does not depend on that end
    sortAgain(); // the framework sorts again only when told something changed
    sort(sortedColumn, sortedOrder);
    unsortedRows = false;
}

// A sort in another column, or one the framework was told to make, sorts every row; the order turned alone leaves
// the rows added since the last one where they were added.
void PcFileSystemModel::sort(int column, Qt::SortOrder order)
{
    const bool turnedOnly = column == sortedColumn && order != sortedOrder;
    bool laidOut = false;
    const QMetaObject::Connection sorted =
        connect(this, &QAbstractItemModel::layoutChanged, this, [&laidOut] { laidOut = true; });
    QFileSystemModel::sort(column, order);
    disconnect(sorted);
    sortedColumn = column;
    sortedOrder = order;
    if (laidOut && !turnedOnly)
        unsortedRows = false;
}

void PcFileSystemModel::folderChanged(const QString &path)
{
    // gone (a delete's end): out of the model at once, with all it held, not after the pause for readings
    if (!QFileInfo(path).isDir()) {
        forgetFolder(path);
        if (canDropEntry(path))
            dropEntries(QFileInfo(path).absolutePath(), {QFileInfo(path).fileName()});
        return;
    }
    // a job writing into a folder brings one change after the other: each only noted, cheaply
    Reading &folder = readings[path];
    folder.lastChange = now();
    if (folder.firstChange >= 0)
        return; // already due at its time
    folder.firstChange = folder.lastChange;
    changedFolders.insert(path);
    scheduleReading();
}

// A changed folder is read when it has been quiet a moment, or a while after its first change not read yet while
// it is not; never sooner than keeps its readings to a small share of the time, and never later than a few
// seconds in a folder in use (its entries are what the user acts on), or a few readings' length in a huge one. Returns
// how long that is from now; meanwhile a reading of it under way has to arrive first.
qint64 PcFileSystemModel::readingWaitMs(const Reading &reading, bool inUse) const
{
    const qint64 at = now();
    if (reading.asked >= 0 && at - reading.asked < underwayMaximumMs)
        return underwayMaximumMs - (at - reading.asked); // asked again when it arrives
    const qint64 quiet = qint64(quietMs) - (at - reading.lastChange);
    const qint64 busy = qint64(busyMs) - (at - reading.firstChange);
    const qint64 share = reading.ended >= 0 ? reading.costMs * (readShare - 1) - (at - reading.ended) : 0;
    const qint64 longest =
        inUse ? qMax(inUseMaximumMs, reading.costMs * inUseCostFactor) : qMax(maximumPauseMs, reading.costMs * 5);
    const qint64 latest = longest - (at - reading.firstChange);
    return qMin(qMax(qMin(quiet, busy), share), latest);
}

// The folders in use: as the views say (see setFoldersInUse), else those a persistent index lies in (a view's
// root, its expanded folders, the folders of its current and selected rows).
QSet<QModelIndex> PcFileSystemModel::foldersInUse() const
{
    QSet<QModelIndex> folders;
    if (foldersInUseTest) {
        for (auto it = readings.cbegin(); it != readings.cend(); ++it)
            if (const QModelIndex folder = index(it.key()); folder.isValid() && foldersInUseTest(folder))
                folders.insert(folder);
        return folders;
    }
    for (const QModelIndex &place : persistentIndexList()) {
        folders.insert(place.siblingAtColumn(0));
        folders.insert(place.parent());
    }
    return folders;
}

// The folders in use and those holding them.
QSet<QModelIndex> PcFileSystemModel::foldersHeld() const
{
    QSet<QModelIndex> folders;
    for (const QModelIndex &place : foldersInUse())
        for (QModelIndex at = place.siblingAtColumn(0); at.isValid() && !folders.contains(at); at = at.parent())
            folders.insert(at);
    return folders;
}

// The framework sorts every entry listed in the GUI thread on each reading of any folder: with a folder of
// 300,000 files listed that is seconds, whichever folder changed. A folder that large which no view holds a
// place in any more goes from the model, back as a folder not read yet (read again when it is shown).
void PcFileSystemModel::letGoOfHugeFolders()
{
    const QSet<QModelIndex> held = foldersHeld();
    QStringList huge;
    for (auto it = readings.cbegin(); it != readings.cend(); ++it) {
        const QModelIndex folder = index(it.key());
        const qint64 rows = folder.isValid() ? rowCount(folder) : 0;
        if (rows * rows > removalBudget && !held.contains(folder) && !canFetchMore(folder))
            huge << it.key();
    }
    rebuildFolders(huge);
}

// Due readings are made in the next round of events, the others when they are due.
void PcFileSystemModel::scheduleReading()
{
    if (!changedFolders.isEmpty())
        readTimer->start(0);
}

void PcFileSystemModel::folderLoaded(const QString &path)
{
    // The end of a reading asked before the check (Refresh pressed while one was under way) must not end it: the
    // reading asked for the check would then take a grown file as unchanged.
    if (const auto loads = loadsUnderway.find(path); loads == loadsUnderway.end() || --*loads <= 0) {
        if (loads != loadsUnderway.end())
            loadsUnderway.erase(loads);
        suffixIcons->endCheck(path);
    }
    const auto folder = readings.find(path);
    if (folder == readings.end() || folder->asked < 0)
        return;
    folder->costMs = folder->spentMs;
    folder->asked = -1;
    folder->ended = now();
    underway.remove(path);
    scheduleReading();
}

void PcFileSystemModel::paceAgain()
{
    if (changedFolders.isEmpty())
        return;
    const QSet<QModelIndex> inUse = foldersInUse();
    qint64 next = -1;
    for (const QString &path : std::as_const(changedFolders)) {
        Reading &folder = readings[path];
        const qint64 wait = qMax<qint64>(0, readingWaitMs(folder, inUse.contains(index(path))));
        folder.due = now() + wait;
        next = next < 0 ? wait : qMin(next, wait);
    }
    readTimer->start(int(qMin(next, qint64(underwayMaximumMs))));
}

void PcFileSystemModel::readChangedFolders()
{
    if (changedFolders.isEmpty())
        return;
    const QSet<QModelIndex> inUse = foldersInUse();
    qint64 next = -1;
    QStringList due;
    for (const QString &path : std::as_const(changedFolders)) {
        Reading &folder = readings[path];
        const qint64 wait = readingWaitMs(folder, inUse.contains(index(path)));
        folder.due = now() + qMax<qint64>(0, wait);
        if (wait > 0)
            next = next < 0 ? wait : qMin(next, wait);
        else
            due << path;
    }
    if (!due.isEmpty())
        letGoOfHugeFolders();
    for (const QString &path : std::as_const(due)) {
        changedFolders.remove(path);
        Reading &folder = readings[path];
        folder.firstChange = -1;
        folder.asked = -1; // one that never arrived
        underway.remove(path);
        // one not read since it was taken out (see rebuildFolders) has nothing out of date
        const QModelIndex at = index(path);
        if (sizeChecks.remove(path))
            checkSizesOfReading(path);
        if (!at.isValid() || !canFetchMore(at) || !QFileInfo(path).isDir())
            readFolderAgain(path);
    }
    if (next >= 0)
        readTimer->start(int(qMin(next, qint64(underwayMaximumMs))));
}

void PcFileSystemModel::refreshFolder(const QString &folder)
{
    const QString path = QDir::cleanPath(folder);
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return;
    if (changedFolders.remove(path))
        readings[path].firstChange = -1;
    sizeChecks.remove(path);
    checkSizesOfReading(path);
    readFolderAgain(path);
}

void PcFileSystemModel::folderShownAgain(const QString &folder)
{
    const QString path = QDir::cleanPath(folder);
    const QModelIndex at = index(path);
    if (!at.isValid() || canFetchMore(at) || !QFileInfo(path).isDir())
        return;
    const int rows = rowCount(at);
    if (rows > checkedAtOnceMaximum) {
        sizeChecks.insert(path);
        folderChanged(path);
        return;
    }
    // Each file looked at on the disk now; those whose size changed are read again alone, not the whole folder (a
    // reading of a folder sorts all that is listed, and lets go of large folders left).
    QHash<QString, qint64> listed;
    QList<std::pair<QString, QFileInfo>> changed;
    for (int row = 0; row < rows; ++row) {
        const QModelIndex entry = index(row, 0, at);
        if (isDir(entry))
            continue;
        const QString name = fileName(entry);
        QFileInfo onDisk(path + u'/' + name);
        if (onDisk.isFile() && onDisk.size() != size(entry)) {
            listed.insert(name, size(entry));
            changed.append({name, onDisk});
        }
    }
    if (changed.isEmpty())
        return;
    // Through the framework's own handling of a reading's results, which takes them as changed (see
    // SuffixIconProvider) and tells the views.
    suffixIcons->checkSizes(path, std::move(listed));
    static const int takeReading = QFileSystemModel::staticMetaObject.indexOfMethod(
        QMetaObject::normalizedSignature("_q_fileSystemChanged(QString,QList<std::pair<QString,QFileInfo>>)"));
    if (takeReading >= 0)
        QFileSystemModel::staticMetaObject.method(takeReading)
            .invoke(this, Qt::DirectConnection, Q_ARG(QString, path),
                    QArgument<QList<std::pair<QString, QFileInfo>>>("QList<std::pair<QString,QFileInfo>>", changed));
    suffixIcons->endCheck(path);
}

// The files' sizes as listed, which the reading about to be asked for is checked against (see SuffixIconProvider).
void PcFileSystemModel::checkSizesOfReading(const QString &path)
{
    const QModelIndex at = index(path);
    if (!at.isValid() || canFetchMore(at))
        return;
    QHash<QString, qint64> sizes;
    for (int row = 0, rows = rowCount(at); row < rows; ++row) {
        const QModelIndex entry = index(row, 0, at);
        if (!isDir(entry))
            sizes.insert(fileName(entry), size(entry));
    }
    suffixIcons->checkSizes(path, std::move(sizes));
}

void PcFileSystemModel::showNewEntry(const QString &path)
{
    const QFileInfo entry(path);
    // only into a folder already listed: one not read yet lists it when it is read
    const QModelIndex folder = index(entry.absolutePath());
    if (!entry.exists() || !folder.isValid() || canFetchMore(folder))
        return;
    // asking for the index of an entry on the disk puts it into the model when it is not there yet
    const int rows = rowCount(folder);
    if (index(entry.absoluteFilePath()).isValid() && rowCount(folder) > rows)
        sortAgain();
}

// The framework reads a folder only once, unless it was the root path and another became the root:
// the root path goes there and back (it names what the model reads first, not what the views show).
void PcFileSystemModel::readFolderAgain(const QString &path)
{
    const QModelIndex folder = index(path);
    if (!folder.isValid() || !QFileInfo(path).isDir()) {
        forgetFolder(path); // gone: its parent's reading takes it out of the model
        return;
    }
    // The framework takes the entries gone from a folder out one by one, each at a cost that grows with the
    // folder: a listed folder of 300,000 files read while a delete empties it held the window for minutes.
    if (const int rows = rowCount(folder); removalCost(folder, rows, rows) > removalBudget) {
        const qint64 lost = rows - entriesOnDisk(path);
        if (removalCost(folder, rows, lost) > removalBudget && !rebuildFolders({path}).isEmpty())
            return;
    }
    // a root path set as "" (the drive list) may read back as "."
    const QString root = rootPath() == QLatin1String(".") ? QString() : rootPath();
    if (root == path) {
        setRootPath(QString());
        setRootPath(path);
    } else {
        setRootPath(path);
        setRootPath(root);
        fetchMore(index(path));
    }
}

// Taking out lost rows one by one: each costs a look through the folder's rows and through every place a view holds
// in the model (persistent indexes, which the framework updates on each row, each asked for its parent: counted
// twice), and a selection in the folder gains two places with each row taken out of its middle. 2,500 of 6,000
// selected rows taken out held the window a second.
qint64 PcFileSystemModel::removalCost(const QModelIndex &folder, qint64 rows, qint64 lost) const
{
    const QModelIndexList places = persistentIndexList();
    const bool selectionHere =
        std::any_of(places.cbegin(), places.cend(), [&](const QModelIndex &place) { return place.parent() == folder; });
    return lost * (rows + 2 * (places.size() + (selectionHere ? 2 * lost : 0)));
}

// Such folders go from the model as a whole and come back at once as folders not read yet (still watched, so that
// their end is seen at once), which their views read again as they show them. The views' places in them go with
// them: the signals around let them note and set them again. The folders of one parent go out in one step, before
// any comes back (each back is a row added, which the next row taken out would first have to sort in); one inside
// another goes with it. Returns those rebuilt.
QStringList PcFileSystemModel::rebuildFolders(const QStringList &paths)
{
    QStringList rebuilt;
    for (const QString &path : paths) {
        const bool inside = std::any_of(paths.cbegin(), paths.cend(), [&](const QString &other) {
            return other != path && path.startsWith(other.endsWith(u'/') ? other : other + u'/');
        });
        if (!inside && !rebuilt.contains(path) && canDropEntry(path))
            rebuilt << path;
    }
    QHash<QString, QStringList> byParent;
    for (const QString &path : std::as_const(rebuilt)) {
        emit folderAboutToBeRebuilt(path);
        byParent[QFileInfo(path).absolutePath()] << QFileInfo(path).fileName();
    }
    for (auto it = byParent.cbegin(); it != byParent.cend(); ++it)
        dropEntries(it.key(), it.value());
    bool back = false;
    for (const QString &path : std::as_const(rebuilt)) {
        readings[path].asked = -1;
        underway.remove(path);
        back = index(path).isValid() || back; // asking for its index puts it back
    }
    if (back) // in its place among its siblings
        sortAgain();
    for (const QString &path : std::as_const(rebuilt))
        emit folderRebuilt(path);
    return rebuilt;
}

// An entry put into the model by asking for its index stands after the sorted ones until the model sorts again:
// the model sorts again (in the next round of events) when a filter setting changes.
void PcFileSystemModel::sortAgain()
{
    const bool disables = nameFilterDisables();
    setNameFilterDisables(!disables);
    setNameFilterDisables(disables);
}

void PcFileSystemModel::forgetFolder(const QString &path)
{
    sizeChecks.remove(path);
    suffixIcons->endCheck(path);
    folderWatcher->removePath(path);
    readings.remove(path);
    changedFolders.remove(path);
    underway.remove(path);
}

bool PcFileSystemModel::canDropEntry(const QString &path) const
{
    const QString parent = QFileInfo(path).absolutePath();
    // a drive stays; and only an entry the model holds, in a folder it holds, is taken out
    return parent != path && index(path).isValid() && index(parent).isValid();
}

// Takes the entries names of parent out of the model now, with everything below them in one go: through the
// framework's own handling of a folder's fresh listing, which lets go of every entry the listing does not name.
bool PcFileSystemModel::dropEntries(const QString &parent, const QStringList &names)
{
    sortUnsortedRows();
    QStringList kept;
    QDirIterator it(parent, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext())
        kept << it.next().section(u'/', -1);
    for (const QString &name : names)
        kept.removeAll(name);
    return QMetaObject::invokeMethod(this, "_q_directoryChanged", Qt::DirectConnection, Q_ARG(QString, parent),
                                     Q_ARG(QStringList, kept));
}

int PcFileSystemModel::entriesOnDisk(const QString &path)
{
    int count = 0;
    QDirIterator it(path, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (; it.hasNext(); it.next())
        ++count;
    return count;
}

QStringList PcFileSystemModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list"), QStringLiteral("text/zbdevice-uri-list")};
}

// Percent-encoded lines, so names with " ", "%" or "#" come back as the same paths.
QMimeData *PcFileSystemModel::mimeData(const QModelIndexList &indexes) const
{
    QMimeData *mime = QFileSystemModel::mimeData(indexes);
    QString text;
    for (const QModelIndex &index : indexes)
        if (index.column() == 0)
            text += uriLineFromLocalPath(filePath(index)) + uriListSeparator();
    mime->setData(QStringLiteral("text/uri-list"), text.toUtf8());
    return mime;
}

bool PcFileSystemModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int, int, const QModelIndex &parent)
{
    if (action == Qt::IgnoreAction || !data)
        return true;
    const QString destination = isDir(parent) ? fileInfo(parent).absoluteFilePath() : fileInfo(parent).absolutePath();
    if (data->hasFormat(QStringLiteral("text/uri-list")))
        emit mimeDataDropped(destination, QString::fromUtf8(data->data(QStringLiteral("text/uri-list"))));
    else if (data->hasFormat(QStringLiteral("text/zbdevice-uri-list")))
        emit mimeDeviceDataDropped(destination,
                                   QString::fromUtf8(data->data(QStringLiteral("text/zbdevice-uri-list"))));
    return true;
}
