#include "document/listmodel.h"

#include "document/docitemsdataprovider.h"

#include <QHash>
#include <QMimeData>

#include <algorithm>

#include <utility>

ListModel::ListModel(ItemsDatabaseModel *itemsModel, DocItemsDataProvider *refsProvider, const QString &mimeName,
                     QObject *parent)
    : ItemsDatabaseModel(refsProvider, parent)
    , itemsModel(itemsModel)
    , refMimeType(mimeName)
{
    // A ref shows its entry's values, so every change of the entries redraws the list.
    connect(itemsModel, &QAbstractItemModel::dataChanged, this, &ListModel::onItemsChanged, Qt::UniqueConnection);
    connect(itemsModel, &QAbstractItemModel::layoutChanged, this, &ListModel::onItemsChanged, Qt::UniqueConnection);
    connect(itemsModel, &ItemsDatabaseModel::itemRemoved, this, &ListModel::onRefItemRemoving, Qt::UniqueConnection);
    connect(itemsModel, &QAbstractItemModel::rowsAboutToBeRemoved, this, &ListModel::onItemsAboutToBeRemoved);
    connect(itemsModel, &QAbstractItemModel::rowsRemoved, this, &ListModel::onItemsRemoved);
    setUniqueKey(QString());
    setSortDraggedRows(true);
}

void ListModel::setColumns(const QList<ItemProperty *> &properties)
{
    beginResetModel();
    columns = properties;
    endResetModel();
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal)
        return ItemsDatabaseModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::number(section + 1);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight);
    return {};
}

QString ListModel::mimeType() const
{
    return refMimeType;
}

QStringList ListModel::mimeTypes() const
{
    return {mimeTypeWithId(), mimeType(), itemsModel->mimeTypeWithId(), itemsModel->mimeType()};
}

Qt::DropActions ListModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
}

void ListModel::fillMimeData(QMimeData *data, const QModelIndexList &indexes) const
{
    ItemsDatabaseModel::fillMimeData(data, indexes);
    // The entries travel with their refs, so another document can take them in.
    QStringList ids;
    for (const QModelIndex &index : indexes) {
        if (!index.isValid() || index.model() != this)
            continue;
        const QString id = dataProvider()->itemAt(index.row()).value(QString());
        if (!ids.contains(id))
            ids.append(id);
    }
    QModelIndexList itemIndexes;
    for (const QString &id : std::as_const(ids))
        itemIndexes.append(itemsModel->indexById(id, 0));
    itemsModel->fillMimeData(data, itemIndexes);
}

QList<DocItem> ListModel::refsFromItems(const QDomDocument &dropped) const
{
    QList<DocItem> items;
    const QDomNodeList nodes = dropped.elementsByTagName(itemsModel->dataProvider()->itemTag());
    for (int i = 0; i < nodes.size(); ++i)
        items.append(DocItem(nodes.at(i).toElement()));
    return items;
}

QStringList ListModel::insertDroppedItems(const QDomDocument &dropped, QStringList *oldIds)
{
    QList<DocItem> items = refsFromItems(dropped);
    for (const DocItem &item : std::as_const(items))
        oldIds->append(item.id());
    if (items.isEmpty())
        return {};
    return itemsModel->insertItems(-1, items);
}

bool ListModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                             const QModelIndex &parent)
{
    Q_UNUSED(column)
    Q_UNUSED(parent)
    if (action == Qt::IgnoreAction || !(action & (Qt::CopyAction | Qt::MoveAction | Qt::LinkAction)) || !data)
        return false;

    const QString itemsWithId = itemsModel->mimeTypeWithId();
    const QString itemsPlain = itemsModel->mimeType();
    DocItemsDataProvider *items = itemsModel->dataProvider();
    QList<DocItem> refs;

    if (data->hasFormat(refMimeType)) {
        const QDomDocument dropped = readDroppedItems(data->data(refMimeType));
        const QDomNodeList nodes = dropped.elementsByTagName(dataProvider()->itemTag());
        QList<DocItem> droppedRefs;
        for (int i = 0; i < nodes.size(); ++i)
            droppedRefs.append(DocItem(nodes.at(i).toElement()));
        if (data->hasFormat(itemsWithId)) {
            // From a list of this very document: the ids stand.
            for (const DocItem &ref : std::as_const(droppedRefs)) {
                if (items->contains(ref.value(QString())))
                    refs.append(ref);
            }
        } else {
            // From another document: its entries come in with new ids, and the refs follow them.
            QStringList oldIds;
            const QStringList newIds = insertDroppedItems(readDroppedItems(data->data(itemsPlain)), &oldIds);
            QHash<QString, QString> renamed;
            for (int i = 0; i < oldIds.size(); ++i)
                renamed.insert(oldIds.at(i), newIds.value(i));
            for (DocItem ref : std::as_const(droppedRefs)) {
                const QString newId = renamed.value(ref.value(QString()));
                if (newId.isNull())
                    continue;
                ref.setValue(QString(), newId, 2);
                if (items->contains(newId))
                    refs.append(ref);
            }
        }
    } else if (data->hasFormat(itemsWithId)) {
        // Entries dragged from this document's items table.
        const QList<DocItem> dropped = refsFromItems(readDroppedItems(data->data(itemsWithId)));
        for (const DocItem &item : dropped) {
            const QString id = item.id();
            if (!items->contains(id))
                continue;
            DocItem ref = dataProvider()->newItem();
            ref.setValue(QString(), id, 2);
            refs.append(ref);
        }
    } else if (data->hasFormat(itemsPlain)) {
        // Entries dragged from another document's items table: copied in, then listed.
        QStringList oldIds;
        const QStringList newIds = insertDroppedItems(readDroppedItems(data->data(itemsPlain)), &oldIds);
        for (const QString &id : newIds) {
            if (id.isNull() || !items->contains(id))
                continue;
            DocItem ref = dataProvider()->newItem();
            ref.setValue(QString(), id, 2);
            refs.append(ref);
        }
    } else {
        return false;
    }

    // A copy (a paste, or entries dragged in from elsewhere) adds what the list lacks and leaves every entry
    // it already holds in its place; only a move places entries anew.
    if (!(action & Qt::MoveAction) && !refs.isEmpty()) {
        leaveOutListed(&refs);
        if (refs.isEmpty())
            return true; // all there already: taken, and nothing changes
    }
    // Nothing taken means the drop failed: a move must not delete what it dragged.
    if (refs.isEmpty())
        return false;
    insertItems(row, refs);
    emit itemDropped();
    return true;
}

void ListModel::leaveOutListed(QList<DocItem> *refs) const
{
    QSet<QString> listed;
    DocItemsDataProvider *own = dataProvider();
    const int count = own ? own->count() : 0;
    listed.reserve(count);
    for (int i = 0; i < count; ++i)
        listed.insert(own->itemAt(i).firstChild().nodeValue()); // a ref's text, as DocItem::value reads it
    refs->erase(std::remove_if(refs->begin(), refs->end(),
                               [&listed](const DocItem &ref) { return listed.contains(ref.value(QString())); }),
                refs->end());
}

void ListModel::onItemsChanged()
{
    // Announced first, as every layout change must be, so views and persistent indexes stay sound.
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

void ListModel::onRefItemRemoving(const QString &id)
{
    if (itemsRemoving > 0)
        removedIds.insert(id);
    else
        removeRefs({id});
}

void ListModel::onItemsAboutToBeRemoved()
{
    ++itemsRemoving;
}

void ListModel::onItemsRemoved()
{
    if (itemsRemoving > 0)
        --itemsRemoving;
    if (itemsRemoving > 0 || removedIds.isEmpty())
        return;
    const QSet<QString> ids = std::exchange(removedIds, {});
    removeRefs(ids);
}

void ListModel::removeRefs(const QSet<QString> &ids)
{
    DocItemsDataProvider *refs = dataProvider();
    if (!refs || ids.isEmpty())
        return;
    QList<int> doomed;
    for (int row = 0, rows = refs->count(); row < rows; ++row) {
        // a ref's text is its first child node (the empty path of DocItem::value)
        if (ids.contains(refs->itemAt(row).firstChild().nodeValue()))
            doomed << row;
    }
    // Real row removals, so views and persistent indexes follow, gathered into one block however
    // scattered; the list's own itemRemoved is not emitted, since the entry itself is what goes.
    removeRowSet(doomed, false);
}
