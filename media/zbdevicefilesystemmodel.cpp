#include "media/zbdevicefilesystemmodel.h"

#include "base/filehelpers.h"
#include "device/core/devicecall.h"
#include "device/core/devicecommunicationmanager.h"
#include "device/core/devicetask.h"
#include "device/transfers/devicefilesystemitem.h"
#include "media/folderlistingtask.h"
#include "media/mediaexplorerdevicetask.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeData>
#include <QMimeDatabase>
#include <QStyle>

QHash<QString, QString> ZBDeviceFileSystemModel::typeNameCache;
QHash<QString, QIcon> ZBDeviceFileSystemModel::iconCache;

namespace {
const QString zbUriList = QStringLiteral("text/zbdevice-uri-list");
const QString uriList = QStringLiteral("text/uri-list");
const char *const outcomeDelivered = "ombrelayOutcomeDelivered";
const QString getFolderMethod = QStringLiteral("getFolder");
const QString refreshFolderMethod = QStringLiteral("refreshFolder");

} // namespace

ZBDeviceFileSystemModel::ZBDeviceFileSystemModel(DeviceCommunicationManager *manager)
    : _manager(manager)
    , _rootItem(new DeviceFileSystemItem(nullptr, QString()))
{
    if (_manager)
        connect(_manager, &DeviceCommunicationManager::stateChanged, this,
                &ZBDeviceFileSystemModel::onConnectionChanged);
}

ZBDeviceFileSystemModel::~ZBDeviceFileSystemModel()
{
    dropTask();
    // Tasks still held by the connection go with the model; a listing they carry is ours to free.
    for (DeviceTask *task : findChildren<DeviceTask *>(QString(), Qt::FindDirectChildrenOnly))
        if (task->state() == DeviceTask::Finished)
            freeListing(task->listing());
    delete _rootItem;
}

void ZBDeviceFileSystemModel::freeListing(QList<DeviceFileSystemItem *> *items)
{
    if (!items)
        return;
    qDeleteAll(*items);
    delete items;
}

// The current request is forgotten: its reply never reaches the model, and the task is freed with
// whatever listing it brings once the connection has let go of it.
void ZBDeviceFileSystemModel::dropTask()
{
    DeviceTask *task = _task;
    _task = nullptr;
    if (!task)
        return;
    task->setObjectName(QString());
    disconnect(task, nullptr, this, nullptr);
    // Its outcome may already have come while the worker has not yet marked it finished: then no further
    // signal will come to free it, and it is freed as soon as the worker lets go.
    if (task->state() == DeviceTask::Finished || task->state() == DeviceTask::New ||
        task->property(outcomeDelivered).toBool()) {
        freeListing(task->listing());
        task->setListing(nullptr);
        MediaExplorerDeviceTask::deleteWhenReleased(task);
        return;
    }
    const auto release = [task] {
        freeListing(task->listing());
        task->setListing(nullptr);
        MediaExplorerDeviceTask::deleteWhenReleased(task);
    };
    connect(task, &DeviceTask::Complete, task, release);
    connect(task, &DeviceTask::Canceled, task, release);
}

void ZBDeviceFileSystemModel::runCall(const QString &method, const QString &path)
{
    dropTask();
    DeviceCall call(method);
    call.setParameter(QStringLiteral("@path"), path);
    auto *task = new FolderListingTask(this, call.toString());
    task->setObjectName(method);
    connect(task, &DeviceTask::Complete, this, &ZBDeviceFileSystemModel::onTaskCompleted);
    connect(task, &DeviceTask::Canceled, this, &ZBDeviceFileSystemModel::onTaskCanceled);
    connect(task, &FolderListingTask::Failed, this, [this, task](const QString &message) {
        if (_task == task)
            emit fetchFailed(message);
    });
    _task = task;
    if (_manager)
        _manager->enqueue(task);
}

void ZBDeviceFileSystemModel::initFileSystem()
{
    if (_initialized)
        return;
    // The tree is listed anew: nothing asked for in the old one is left to list.
    _queued.clear();
    if (_rootItem->hasChildItems()) {
        beginRemoveRows(QModelIndex(), 0, _rootItem->childCount() - 1);
        _rootItem->removeAllChildren();
        endRemoveRows();
    }
    _fetching = false;
    _fetchIndex = QPersistentModelIndex();
    _fetchAtRoot = true;
    runCall(getFolderMethod, QString());
    emit fetching(_fetching);
}

void ZBDeviceFileSystemModel::fetchMore(const QModelIndex &parent)
{
    // A folder whose rows are there is not read again (a refresh does that): its reply would place nothing.
    DeviceFileSystemItem *folder = itemFromIndex(parent);
    if (folder->hasChildItems())
        return;
    // Asked for by the name the PC shows, the receiver would list another folder or none. The user is told
    // once; from then on the folder shows nothing to expand, so a view laying out the tree anew does not ask.
    if (!folder->isReachableByPath()) {
        if (!folder->isExpandable())
            return;
        folder->clearExpandable();
        emit dataChanged(parent.sibling(parent.row(), 0), parent.sibling(parent.row(), 0));
        emit fetchFailed(
            tr("Ombrelay cannot open the folder %1: its name on the receiver cannot be used to ask for it.")
                .arg(folder->name()));
        return;
    }
    // Asked for while another listing runs (a view expanding a second folder at once): done after it.
    // Dropped, the folder would stay empty in a view that already shows it expanded.
    if (listingUnderWay()) {
        queueListing(getFolderMethod, parent);
        return;
    }
    sendListing(getFolderMethod, parent, true);
}

void ZBDeviceFileSystemModel::refresh(const QModelIndex &index)
{
    if (!index.isValid() || index.model() != this)
        return;
    // Nothing of such a folder was ever listed: there is nothing to list again.
    const DeviceFileSystemItem *item = itemFromIndex(index);
    const DeviceFileSystemItem *folder = item->isContainer() ? item : item->parent();
    if (folder && !folder->isReachableByPath())
        return;
    if (listingUnderWay()) {
        queueListing(refreshFolderMethod, index);
        return;
    }
    sendListing(refreshFolderMethod, index, true);
}

void ZBDeviceFileSystemModel::sendListing(const QString &method, const QModelIndex &index, bool announce)
{
    const bool refreshing = method == refreshFolderMethod;
    DeviceFileSystemItem *folder = itemFromIndex(index);
    if (refreshing && !folder->isContainer())
        folder = folder->parent();
    _fetchIndex = index;
    _fetchAtRoot = !refreshing && !index.isValid();
    _fetching = true;
    if (announce)
        emit fetching(true);
    runCall(method, folder ? folder->fullPath() : QString());
}

void ZBDeviceFileSystemModel::queueListing(const QString &method, const QModelIndex &index)
{
    const bool atRoot = !index.isValid();
    const auto sameFolder = [&](bool otherAtRoot, const QPersistentModelIndex &other) {
        return atRoot ? otherAtRoot : (!otherAtRoot && other == index);
    };
    // A folder is read once. A refresh asked again while one runs is kept: what changed after the running
    // one was sent shows only in the next.
    if (method == getFolderMethod && _fetching && _task && _task->objectName() == method &&
        sameFolder(_fetchAtRoot, _fetchIndex))
        return;
    for (const QueuedListing &queued : std::as_const(_queued))
        if (queued.method == method && sameFolder(queued.atRoot, queued.index))
            return;
    _queued.append({method, QPersistentModelIndex(index), atRoot});
}

// The oldest queued listing still wanted goes out; false when none is.
bool ZBDeviceFileSystemModel::sendNextListing()
{
    if (!_initialized)
        _queued.clear();
    while (!_queued.isEmpty()) {
        const QueuedListing next = _queued.takeFirst();
        // A folder removed meanwhile (its persistent index is no longer valid) is not asked for.
        if (!next.atRoot && (!next.index.isValid() || next.index.model() != this))
            continue;
        // Read meanwhile (a refresh of it, or a request that came before): its rows are there.
        if (next.method == getFolderMethod && itemFromIndex(next.index)->hasChildItems())
            continue;
        sendListing(next.method, next.atRoot ? QModelIndex() : QModelIndex(next.index), false);
        return true;
    }
    return false;
}

// The end of a reply: the next queued listing goes out at once, so views see the fetching state end only
// when nothing is left to list.
void ZBDeviceFileSystemModel::finishListing(const QPersistentModelIndex &listed)
{
    const bool next = !_fetching && sendNextListing();
    emit fetching(_fetching);
    showFetchTarget(listed);
    if (next)
        showFetchTarget(_fetchIndex);
}

void ZBDeviceFileSystemModel::reset()
{
    if (_rootItem->hasChildItems())
        removeRows(0, _rootItem->childCount(), QModelIndex());
    fetchMore(QModelIndex());
}

// The folder being listed shows "(expanding...)" while it is: views are told when that has ended, also
// when the listing failed or was cancelled and no row changed.
// Sent last, once the model is consistent: a listener may start the next listing from here.
void ZBDeviceFileSystemModel::showFetchTarget(const QPersistentModelIndex &folder)
{
    if (folder.isValid() && folder.model() == this)
        emit dataChanged(folder.sibling(folder.row(), 0), folder.sibling(folder.row(), 0), {Qt::DisplayRole});
}

bool ZBDeviceFileSystemModel::targetStillLoaded() const
{
    return _fetchAtRoot || _fetchIndex.isValid();
}

// Dates falling within a listing end up oldest first; equal or missing dates keep the receiver's order.
void ZBDeviceFileSystemModel::placeItems(DeviceFileSystemItem *target, const QModelIndex &parent,
                                         QList<DeviceFileSystemItem *> *items)
{
    if (!items || items->isEmpty())
        return;
    beginInsertRows(parent, 0, int(items->size()) - 1);
    for (int i = 0; i < items->size(); ++i) {
        DeviceFileSystemItem *item = items->at(i);
        if (i > 0 && item->lastModified() < target->child(target->childCount() - 1)->lastModified())
            target->prependChild(item);
        else
            target->appendChild(item);
    }
    items->clear();
    endInsertRows();
}

void ZBDeviceFileSystemModel::onTaskCompleted(bool)
{
    DeviceTask *task = _task;
    if (!task || sender() != task)
        return;
    task->setProperty(outcomeDelivered, true);
    _handlingReply = true;
    QList<DeviceFileSystemItem *> *listing = task->listing();
    task->setListing(nullptr);
    const QString path = DeviceCall::fromText(task->request()).parameter(QStringLiteral("@path"));
    const bool folderReply = task->objectName() == getFolderMethod;
    bool gotVolumes = false;
    if (folderReply && !_initialized && path.isEmpty()) {
        beginResetModel();
        _rootItem->removeAllChildren();
        if (listing)
            for (DeviceFileSystemItem *item : *listing)
                _rootItem->appendChild(item);
        gotVolumes = listing && !listing->isEmpty();
        if (listing)
            listing->clear();
        // Ready before the views see the drives, so that they may ask for their folders at once.
        _initialized = gotVolumes;
        endResetModel();
        emit fileSystemInitialized(gotVolumes);
    } else if (_fetching && targetStillLoaded()) {
        QModelIndex parentIndex = _fetchAtRoot ? QModelIndex() : QModelIndex(_fetchIndex);
        DeviceFileSystemItem *target = itemFromIndex(parentIndex);
        if (folderReply) {
            if (!target->hasChildItems())
                placeItems(target, parentIndex, listing);
        } else {
            if (parentIndex.isValid() && !target->isContainer()) {
                parentIndex = parentIndex.parent();
                target = itemFromIndex(parentIndex);
                _fetchIndex = parentIndex;
            }
            // A folder or drive listed empty before (an upload into its top level) gets its new rows too.
            if (target != _rootItem) {
                if (target->hasChildItems()) {
                    beginRemoveRows(parentIndex, 0, target->childCount() - 1);
                    target->removeAllChildren();
                    endRemoveRows();
                }
                placeItems(target, parentIndex, listing);
            }
        }
    }
    freeListing(listing);
    _fetching = false;
    const QPersistentModelIndex listed = _fetchIndex;
    if (path.isEmpty() && !(folderReply && gotVolumes) && !_initialized) {
        emit fileSystemInitialized(false);
    }
    // A listener may have asked for the volumes anew meanwhile: that request stays.
    if (_task == task)
        dropTask();
    _handlingReply = false;
    finishListing(listed);
}

void ZBDeviceFileSystemModel::onTaskCanceled()
{
    if (!_task || sender() != _task)
        return;
    _task->setProperty(outcomeDelivered, true);
    const bool atRoot = !_initialized;
    _fetching = false;
    const QPersistentModelIndex listed = _fetchIndex;
    dropTask();
    if (atRoot)
        emit fileSystemInitialized(false);
    finishListing(listed);
}

void ZBDeviceFileSystemModel::onConnectionChanged(const QString &state)
{
    if (state == QLatin1String("connected"))
        return;
    const bool wasFetching = _fetching;
    _initialized = false;
    _fetching = false;
    const QPersistentModelIndex listed = _fetchIndex;
    _fetchIndex = QPersistentModelIndex();
    _fetchAtRoot = true;
    // A reply that still comes belongs to the connection that is gone, and so does what was queued.
    _queued.clear();
    dropTask();
    if (!wasFetching)
        return;
    emit fetching(false);
    showFetchTarget(listed);
}

DeviceFileSystemItem *ZBDeviceFileSystemModel::itemFromIndex(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this || !index.internalPointer())
        return _rootItem;
    return static_cast<DeviceFileSystemItem *>(index.internalPointer());
}

QModelIndex ZBDeviceFileSystemModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return QModelIndex();
    DeviceFileSystemItem *child = itemFromIndex(parent)->child(row);
    return child && column >= 0 ? createIndex(row, column, child) : QModelIndex();
}

QModelIndex ZBDeviceFileSystemModel::parent(const QModelIndex &index) const
{
    if (!index.isValid())
        return QModelIndex();
    DeviceFileSystemItem *item = itemFromIndex(index);
    DeviceFileSystemItem *parentItem = item->parent();
    if (item == _rootItem || !parentItem || parentItem == _rootItem)
        return QModelIndex();
    const int row = parentItem->row();
    return row < 0 ? QModelIndex() : createIndex(row, 0, parentItem);
}

int ZBDeviceFileSystemModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return itemFromIndex(parent)->childCount();
}

int ZBDeviceFileSystemModel::columnCount(const QModelIndex &) const
{
    return 4;
}

bool ZBDeviceFileSystemModel::hasChildren(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return false;
    DeviceFileSystemItem *item = itemFromIndex(parent);
    return item == _rootItem || item->isExpandable();
}

bool ZBDeviceFileSystemModel::canFetchMore(const QModelIndex &parent) const
{
    // Also while another listing runs: a view asks for the folder it expands, and that request waits. Not
    // over a lost connection: the tree is listed anew when it is back.
    if (!_initialized || (parent.isValid() && parent.column() != 0))
        return false;
    DeviceFileSystemItem *item = itemFromIndex(parent);
    return item != _rootItem && item->isExpandable() && !item->hasChildItems();
}

Qt::ItemFlags ZBDeviceFileSystemModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || _fetching)
        return Qt::NoItemFlags;
    const DeviceFileSystemItem *item = itemFromIndex(index);
    if (item->isContainer() && !item->isReachableByPath())
        return Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled | Qt::ItemIsEnabled;
}

QVariant ZBDeviceFileSystemModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::TextAlignmentRole && index.column() == 1)
        return int(Qt::AlignRight);
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::DecorationRole))
        return QVariant();
    DeviceFileSystemItem *item = itemFromIndex(index);
    if (role == Qt::DecorationRole)
        return index.column() == 0 ? QVariant(icon(index)) : QVariant();
    switch (index.column()) {
    case 0: {
        const bool expanding = _fetching && _fetchIndex.isValid() && _fetchIndex.column() == 0 &&
                               _fetchIndex.row() == index.row() && _fetchIndex.internalPointer() == item;
        return expanding ? item->name() + u' ' + tr("(expanding...)") : item->name();
    }
    case 1:
        return item->isContainer() ? QVariant() : QVariant(formatSize(item->size()));
    case 2:
        return typeName(index);
    case 3:
        return item->lastModified();
    default:
        return QStringLiteral("No data");
    }
}

QVariant ZBDeviceFileSystemModel::headerData(int section, Qt::Orientation orientation, int role) const
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

QStringList ZBDeviceFileSystemModel::mimeTypes() const
{
    return {uriList};
}

// The item's path as the payload carries it. A cleaned name (control characters taken out, a separator made
// "_") is marked by a "/" after it, which no shown name holds and which travels where control characters
// cannot: the job names such an entry instead of asking the receiver for a name it does not know.
static QString address(const DeviceFileSystemItem *item)
{
    return item->hasCleanedName() ? item->fullPath() + u'/' : item->fullPath();
}

QMimeData *ZBDeviceFileSystemModel::mimeData(const QModelIndexList &indexes) const
{
    QString text;
    for (const QModelIndex &index : indexes) {
        if (index.column() != 0)
            continue;
        DeviceFileSystemItem *item = itemFromIndex(index);
        if (item->isVolume())
            continue;
        if (item->isRecord())
            text += QStringLiteral("rec://%1*%2*%3\r\n")
                        .arg(item->recordFileBaseName())
                        .arg(item->size())
                        .arg(item->recordId());
        else if (item->isFolder())
            text += QStringLiteral("dir://%1*0\r\n").arg(address(item));
        else
            text += QStringLiteral("file://%1*%2\r\n").arg(address(item)).arg(item->isFile() ? item->size() : 0);
    }
    auto *mime = new QMimeData;
    mime->setData(zbUriList, text.toUtf8());
    return mime;
}

bool ZBDeviceFileSystemModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int, int,
                                           const QModelIndex &parent)
{
    if (action == Qt::IgnoreAction)
        return true;
    if (!data || !data->hasFormat(uriList))
        return false;
    if (!parent.isValid() || !parent.internalPointer() || itemFromIndex(parent) == _rootItem)
        return true;
    DeviceFileSystemItem *target = itemFromIndex(parent);
    const bool container = target->isContainer();
    // Sent to the path the PC shows, the files would land in another folder.
    if (!(container ? target : target->parent())->isReachableByPath())
        return false;
    const QString destination = container ? target->fullPath() : target->parent()->fullPath();
    const QModelIndex destinationIndex = container ? parent : parent.parent();
    QByteArray bytes = data->data(uriList);
    const int nul = int(bytes.indexOf('\0'));
    if (nul >= 0)
        bytes.truncate(nul);
    emit mimeDataDropped(destination, QString::fromUtf8(bytes), destinationIndex);
    return true;
}

Qt::DropActions ZBDeviceFileSystemModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

bool ZBDeviceFileSystemModel::removeRows(int row, int count, const QModelIndex &parent)
{
    DeviceFileSystemItem *item = itemFromIndex(parent);
    if (row < 0 || count < 1 || row + count > item->childCount())
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    item->removeChildren(row, count);
    endRemoveRows();
    return true;
}

QString ZBDeviceFileSystemModel::filePath(const QModelIndex &index) const
{
    return index.isValid() ? itemFromIndex(index)->fullPath() : QString();
}

QString ZBDeviceFileSystemModel::fileName(const QModelIndex &index) const
{
    return itemFromIndex(index)->displayName();
}

bool ZBDeviceFileSystemModel::isVolume(const QModelIndex &index) const
{
    return index.isValid() && itemFromIndex(index)->isVolume();
}

bool ZBDeviceFileSystemModel::isRemovableVolume(const QModelIndex &index) const
{
    return index.isValid() && itemFromIndex(index)->isRemovableVolume();
}

bool ZBDeviceFileSystemModel::isFolder(const QModelIndex &index) const
{
    return index.isValid() && itemFromIndex(index)->isFolder();
}

bool ZBDeviceFileSystemModel::isProtectedItem(const QModelIndex &index) const
{
    DeviceFileSystemItem *item = itemFromIndex(index);
    DeviceFileSystemItem *parentItem = itemFromIndex(index.isValid() ? index.parent() : QModelIndex());
    return item == _rootItem || parentItem == _rootItem || item->isVolume() ||
           parentItem->type() == DeviceFileSystemItem::Volume;
}

QString ZBDeviceFileSystemModel::typeName(const QModelIndex &index) const
{
    return typeNameForExtension(itemFromIndex(index)->extension());
}

QIcon ZBDeviceFileSystemModel::icon(const QModelIndex &index) const
{
    if (iconCache.isEmpty()) {
        initTypeNames();
        initIcons();
    }
    const QString extension = itemFromIndex(index)->extension();
    if (!iconCache.contains(extension))
        learnExtension(extension);
    return iconCache.value(extension);
}

QString ZBDeviceFileSystemModel::typeNameForExtension(const QString &extension)
{
    if (typeNameCache.isEmpty()) {
        initTypeNames();
        initIcons();
    }
    if (!typeNameCache.contains(extension))
        learnExtension(extension);
    return typeNameCache.value(extension);
}

void ZBDeviceFileSystemModel::initTypeCaches()
{
    typeNameCache.clear();
    iconCache.clear();
    initTypeNames();
    initIcons();
}

void ZBDeviceFileSystemModel::initTypeNames()
{
    typeNameCache.insert(QStringLiteral("dir"), tr("File Folder"));
    typeNameCache.insert(QStringLiteral("hdd"), tr("Drive"));
    typeNameCache.insert(QStringLiteral("hda"), tr("Removable Drive"));
    typeNameCache.insert(QStringLiteral("arec"), tr("Audio Record"));
    typeNameCache.insert(QStringLiteral("mp2hd"), tr("MPEG2 HD Video Record"));
    typeNameCache.insert(QStringLiteral("mp4hd"), tr("MPEG4 HD Video Record"));
    typeNameCache.insert(QStringLiteral("mp2sd"), tr("MPEG2 SD Video Record"));
    typeNameCache.insert(QStringLiteral("mp4sd"), tr("MPEG4 SD Video Record"));
}

void ZBDeviceFileSystemModel::initIcons()
{
    QStyle *style = QApplication::style();
    iconCache.insert(QStringLiteral("dir"), style->standardIcon(QStyle::SP_DirIcon));
    iconCache.insert(QStringLiteral("hdd"), style->standardIcon(QStyle::SP_DriveHDIcon));
    iconCache.insert(QStringLiteral("hda"), style->standardIcon(QStyle::SP_DriveHDIcon));
    iconCache.insert(QStringLiteral("arec"), QIcon(QStringLiteral(":/icons/music")));
    for (const char *key : {"mp2hd", "mp4hd", "mp2sd", "mp4sd"})
        iconCache.insert(QString::fromLatin1(key), QIcon(QStringLiteral(":/icons/video")));
}

// Learnt from the platform's MIME database and icon theme by a name alone: nothing is written to disk.
void ZBDeviceFileSystemModel::learnExtension(const QString &extension)
{
    static QMimeDatabase *const db = new QMimeDatabase;
    const QMimeType type = db->mimeTypeForFile(QStringLiteral("zbtmp.") + extension, QMimeDatabase::MatchExtension);
    typeNameCache.insert(extension, type.comment());
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = QFileIconProvider().icon(QFileIconProvider::File);
    iconCache.insert(extension, icon);
}
