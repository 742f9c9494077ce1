#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <QPersistentModelIndex>
#include <QPointer>

class DeviceCommunicationManager;
class DeviceFileSystemItem;
class DeviceTask;

// The receiver pane's tree: volumes, folders, recordings and files, loaded folder by folder over the
// receiver connection. At most one request of its own is outstanding: a listing asked for meanwhile waits
// in a queue and goes out after it, in the order asked, once per folder (one whose folder is gone or whose
// connection was lost by then is dropped). A reply that belongs to a replaced request, a deleted folder or
// an earlier connection is dropped and its listing freed.
class ZBDeviceFileSystemModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit ZBDeviceFileSystemModel(DeviceCommunicationManager *manager);
    ~ZBDeviceFileSystemModel() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    Qt::DropActions supportedDropActions() const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    void fetchMore(const QModelIndex &parent) override;
    bool canFetchMore(const QModelIndex &parent) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void initFileSystem();
    bool isInitialized() const { return _initialized; }
    void clearInitialized() { _initialized = false; }
    bool isFetching() const { return _fetching; }

    DeviceFileSystemItem *itemFromIndex(const QModelIndex &index) const;
    QString filePath(const QModelIndex &index) const;
    QString fileName(const QModelIndex &index) const;
    bool isVolume(const QModelIndex &index) const;
    bool isRemovableVolume(const QModelIndex &index) const;
    bool isFolder(const QModelIndex &index) const;
    bool isProtectedItem(const QModelIndex &index) const;
    QString typeName(const QModelIndex &index) const;
    QIcon icon(const QModelIndex &index) const;

    static QString typeNameForExtension(const QString &extension);
    static void initTypeCaches();

signals:
    void fetching(bool on);
    void fileSystemInitialized(bool ok);
    // A listing the receiver did not give: the worker's own words.
    void fetchFailed(const QString &message);
    void mimeDataDropped(const QString &destinationDir, const QString &fileUris, const QModelIndex &target);

public slots:
    void onConnectionChanged(const QString &state);
    void onTaskCompleted(bool ok);
    void onTaskCanceled();
    void refresh(const QModelIndex &index);
    void reset();

private:
    struct QueuedListing
    {
        QString method;
        QPersistentModelIndex index;
        bool atRoot = false;
    };

    bool listingUnderWay() const { return _fetching || _handlingReply; }
    void sendListing(const QString &method, const QModelIndex &index, bool announce);
    void queueListing(const QString &method, const QModelIndex &index);
    bool sendNextListing();
    void finishListing(const QPersistentModelIndex &listed);
    void runCall(const QString &method, const QString &path);
    void dropTask();
    bool targetStillLoaded() const;
    void showFetchTarget(const QPersistentModelIndex &folder);
    void placeItems(DeviceFileSystemItem *target, const QModelIndex &parent, QList<DeviceFileSystemItem *> *items);
    static void freeListing(QList<DeviceFileSystemItem *> *items);
    static void initTypeNames();
    static void initIcons();
    static void learnExtension(const QString &extension);

    QPointer<DeviceTask> _task;
    DeviceCommunicationManager *_manager;
    bool _fetching = false;
    // The folder of the outstanding request; persistent so a removed folder shows as invalid.
    QPersistentModelIndex _fetchIndex;
    bool _fetchAtRoot = true;
    bool _initialized = false;
    DeviceFileSystemItem *_rootItem;
    // Listings asked for while one was under way, oldest first.
    QList<QueuedListing> _queued;
    // A reply is being placed: views told of its rows may ask for more, which waits for the reply's end.
    bool _handlingReply = false;

    static QHash<QString, QString> typeNameCache;
    static QHash<QString, QIcon> iconCache;
};
