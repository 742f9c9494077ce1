#include "media/pcfilesystemmodel.h"

#include "base/filehelpers.h"
#include "device/transfers/copyjobbuilders.h"

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHash>
#include <QIcon>
#include <QMimeData>
#include <QMimeDatabase>
#include <QMutex>
#include <QTimer>

#include <utility>

namespace {
// changes are read once the folders have been quiet this long, so that a burst comes in one reading
constexpr int quietMs = 100;
// while changes keep coming, they are read this long after the first one not read yet
constexpr int busyMs = 1000;
// and readings take at most about this share of the time (1 / 20)
constexpr int readShare = 20;
// the longest a change waits to be read
constexpr int maximumPauseMs = 10000;
// entries gone times entries held: above it taking the gone ones out one by one would hold the window long
constexpr qint64 removalBudget = 25'000'000;
} // namespace

// Type and icon of a file from the suffix of its name, worked out once per suffix. The framework's
// provider opens every file to guess its type (and again for its icon), and the model asks for every
// file of a folder each time anything in the folder changes: a job writing thousands of files into
// the folder shown slowed down with every file it wrote. Folders and drives are the framework's.
class PcFileSystemModel::SuffixIconProvider : public QAbstractFileIconProvider
{
public:
    using QAbstractFileIconProvider::icon;

    QIcon icon(const QFileInfo &info) const override
    {
        return info.isFile() ? kind(info.suffix()).icon : QAbstractFileIconProvider::icon(info);
    }

    QString type(const QFileInfo &info) const override
    {
        return info.isFile() ? kind(info.suffix()).type : QAbstractFileIconProvider::type(info);
    }

private:
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
};

PcFileSystemModel::PcFileSystemModel(QObject *parent)
    : QFileSystemModel(parent)
    , suffixIcons(std::make_unique<SuffixIconProvider>())
    , folderWatcher(new QFileSystemWatcher(this))
    , readTimer(new QTimer(this))
{
    setIconProvider(suffixIcons.get());
    setOption(QFileSystemModel::DontWatchForChanges, true);
    readTimer->setSingleShot(true);
    connect(folderWatcher, &QFileSystemWatcher::directoryChanged, this, &PcFileSystemModel::folderChanged);
    connect(readTimer, &QTimer::timeout, this, &PcFileSystemModel::readChangedFolders);
    connect(this, &QFileSystemModel::directoryLoaded, this, &PcFileSystemModel::folderLoaded);
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
        const QString text = QFileSystemModel::data(index, role).toString();
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
    if (readsUnderway.isEmpty())
        readStarted.start();
    readsUnderway.insert(path);
    if (!watchedFolders.contains(path) && folderWatcher->addPath(path))
        watchedFolders.insert(path);
}

void PcFileSystemModel::folderChanged(const QString &path)
{
    // gone (a delete's end): out of the model at once, with all it held, not after the pause for readings
    if (!QFileInfo(path).isDir()) {
        forgetFolder(path);
        dropEntry(path);
        return;
    }
    // a job writing into a folder brings one change after the other: each only noted, cheaply
    changedFolders.insert(path);
    lastChange.start();
    if (!unreadSince.isValid())
        unreadSince.start();
    if (!readTimer->isActive()) // else it finds out itself when it is due
        scheduleReading();
}

// Changed folders are read when they have been quiet a moment, or a while after the first change not
// read yet while they are not; never sooner than keeps the readings to a small share of the time.
// Returns how long that is from now; meanwhile the readings under way have to arrive first.
qint64 PcFileSystemModel::readingWaitMs() const
{
    if (!readsUnderway.isEmpty() && readStarted.elapsed() < maximumPauseMs)
        return maximumPauseMs; // called again when they arrive; should they never, in a while all the same
    const qint64 quiet = qint64(quietMs) - lastChange.elapsed();
    const qint64 busy = qint64(busyMs) - unreadSince.elapsed();
    const qint64 share = readEnded.isValid() ? readCostMs * (readShare - 1) - readEnded.elapsed() : 0;
    return qMin(qMax(qMin(quiet, busy), share), qint64(maximumPauseMs));
}

void PcFileSystemModel::scheduleReading()
{
    if (!changedFolders.isEmpty())
        readTimer->start(int(qMax(readingWaitMs(), qint64(0))));
}

void PcFileSystemModel::folderLoaded(const QString &path)
{
    if (!readsUnderway.remove(path) || !readsUnderway.isEmpty())
        return;
    readCostMs = readStarted.elapsed();
    readEnded.start();
    scheduleReading();
}

void PcFileSystemModel::readChangedFolders()
{
    if (changedFolders.isEmpty())
        return;
    if (readingWaitMs() > 0) {
        scheduleReading();
        return;
    }
    readsUnderway.clear(); // any that never arrived
    unreadSince.invalidate();
    const QSet<QString> folders = std::exchange(changedFolders, {});
    for (const QString &path : folders) {
        // one not read since it was taken out (see readFolderAgain) has nothing out of date
        const QModelIndex folder = index(path);
        if (!folder.isValid() || !canFetchMore(folder) || !QFileInfo(path).isDir())
            readFolderAgain(path);
    }
}

void PcFileSystemModel::refreshFolder(const QString &folder)
{
    const QString path = QDir::cleanPath(folder);
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return;
    changedFolders.remove(path);
    readFolderAgain(path);
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
    // Such a folder goes from the model as a whole and comes back as a folder not read yet (still watched,
    // so that its end is seen at once).
    if (const int rows = rowCount(folder); qint64(rows) * rows > removalBudget) {
        const qint64 lost = rows - entriesOnDisk(path);
        if (lost * rows > removalBudget && dropEntry(path)) {
            readsUnderway.remove(path);
            readFolderAgain(QFileInfo(path).absolutePath()); // brings it back, unread
            return;
        }
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

void PcFileSystemModel::forgetFolder(const QString &path)
{
    folderWatcher->removePath(path);
    watchedFolders.remove(path);
    changedFolders.remove(path);
    readsUnderway.remove(path);
}

// Takes the entry at path out of the model now, with everything below it in one go: through the framework's
// own handling of a folder's fresh listing, which lets go of every entry the listing does not name.
bool PcFileSystemModel::dropEntry(const QString &path)
{
    const QFileInfo entry(path);
    const QString parent = entry.absolutePath();
    // a drive stays; and only an entry the model holds, in a folder it holds, is taken out
    if (parent == path || !index(path).isValid() || !index(parent).isValid())
        return false;
    QStringList kept;
    QDirIterator it(parent, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext())
        kept << it.next().section(u'/', -1);
    kept.removeAll(entry.fileName());
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
