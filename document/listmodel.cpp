#include "document/listmodel.h"

#include "document/docitemsdataprovider.h"

#include <QHash>
#include <QMimeData>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <algorithm>

#include <utility>

namespace {
// About 1,500 services: a payload smaller than this goes in at once, in about a blink.
qsizetype splitBytes = 512 * 1024;
int stepEntries = 2000;
// The lists with a paste under way, so that whoever reads or drops their document can have it whole.
QList<ListModel *> pastesRunning;
} // namespace

// What a split copy still has to do. The payload is read by the worker into documents of its own; the
// entries to copy in and the refs to add then go a step at a time.
struct ListModel::PasteJob
{
    enum Source { SameDocumentRefs, OtherDocumentRefs, SameDocumentItems, OtherDocumentItems };
    Source source = SameDocumentItems;
    int row = 0; // where the next step's refs go: after those of the steps before, following other rows' changes
    bool inserting = false; // the rows inserted now are the paste's own
    QByteArray refsPayload;
    QByteArray itemsPayload;
    QDomDocument refsRead;
    QDomDocument itemsRead;
    QThread *reader = nullptr;
    bool read = false;

    QList<DocItem> toCopy; // entries of another document, copied in before they are listed
    qsizetype copied = 0;
    qsizetype toCopyTotal = 0;
    QStringList oldIds;
    QStringList newIds;

    QList<DocItem> refs; // refs dropped as they are (ref payloads)
    QStringList ids;     // or the ids of the entries to list
    bool refsReady = false;
    qsizetype listed = 0; // refs and ids looked at
    int inserted = 0;     // refs that went in
    QSet<QString> onList; // ids on the list: a copy adds only what the list lacks, each once
    QTimer step;
    bool stepping = false;

    ~PasteJob()
    {
        // a reader still parsing is waited for: a running thread must not be destroyed
        if (reader) {
            reader->wait();
            delete reader;
        }
    }
    int total() const
    {
        // until the refs are known, as many as there are entries to copy in
        const qsizetype refsTotal = refsReady ? refs.size() + ids.size() : toCopyTotal;
        return int(toCopyTotal + refsTotal);
    }
    int done() const { return int(copied + listed); }
};

void ListModel::setPasteSplit(qsizetype payloadBytes, int entriesPerStep)
{
    splitBytes = payloadBytes;
    stepEntries = qMax(1, entriesPerStep);
}

ListModel::~ListModel()
{
    // A list that goes stops its paste: the job, its reader and its timer go with it.
    pastesRunning.removeAll(this);
    paste.reset();
}

void ListModel::finishPaste()
{
    if (!paste || paste->stepping)
        return;
    const QPointer<ListModel> alive(this);
    if (!paste->read) {
        paste->reader->wait();
        pasteRead();
    }
    while (alive && paste && !paste->stepping)
        pasteStep();
}

void ListModel::finishPastesInto(const ItemsDatabaseModel *itemsModel)
{
    const QList<ListModel *> running = pastesRunning;
    for (ListModel *model : running) {
        if (pastesRunning.contains(model) && model->itemsModel == itemsModel)
            model->finishPaste();
    }
}

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
    connect(this, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { followInserted(first, last); });
    connect(this, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) { followRemoved(first, last); });
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

bool ListModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (paste)
        return false;
    return ItemsDatabaseModel::removeRows(row, count, parent);
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

    // One paste at a time: the list is the one the running paste is filling.
    if (paste)
        return false;
    if (!(action & Qt::MoveAction) && startPaste(data, row))
        return true;

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

bool ListModel::startPaste(const QMimeData *data, int row)
{
    const QString itemsWithId = itemsModel->mimeTypeWithId();
    const QString itemsPlain = itemsModel->mimeType();
    auto job = std::make_unique<PasteJob>();
    if (data->hasFormat(refMimeType)) {
        job->refsPayload = data->data(refMimeType);
        if (data->hasFormat(itemsWithId)) {
            job->source = PasteJob::SameDocumentRefs;
        } else {
            job->source = PasteJob::OtherDocumentRefs;
            job->itemsPayload = data->data(itemsPlain);
        }
    } else if (data->hasFormat(itemsWithId)) {
        job->source = PasteJob::SameDocumentItems;
        job->itemsPayload = data->data(itemsWithId);
    } else if (data->hasFormat(itemsPlain)) {
        job->source = PasteJob::OtherDocumentItems;
        job->itemsPayload = data->data(itemsPlain);
    } else {
        return false;
    }
    if (job->refsPayload.size() + job->itemsPayload.size() < splitBytes || !dataProvider())
        return false;
    const int rows = rowCount();
    job->row = row < 0 || row > rows ? rows : row;
    PasteJob *running = job.get();
    running->reader = QThread::create([running] {
        if (!running->refsPayload.isEmpty())
            running->refsRead = ItemsDatabaseModel::readDroppedItems(running->refsPayload);
        if (!running->itemsPayload.isEmpty())
            running->itemsRead = ItemsDatabaseModel::readDroppedItems(running->itemsPayload);
    });
    connect(running->reader, &QThread::finished, this, &ListModel::pasteRead);
    running->step.setInterval(0);
    connect(&running->step, &QTimer::timeout, this, &ListModel::pasteStep);
    paste = std::move(job);
    pastesRunning.append(this);
    emit pasteStarted();
    emit pasteProgress(0, 0);
    running->reader->start();
    return true;
}

void ListModel::pasteRead()
{
    if (!paste || paste->read)
        return;
    paste->read = true;
    paste->reader->wait();
    delete std::exchange(paste->reader, nullptr);
    paste->refsPayload.clear();
    paste->itemsPayload.clear();
    if (paste->source == PasteJob::SameDocumentRefs || paste->source == PasteJob::OtherDocumentRefs) {
        const QDomNodeList nodes = paste->refsRead.elementsByTagName(dataProvider()->itemTag());
        paste->refs.reserve(nodes.size());
        for (int i = 0; i < nodes.size(); ++i)
            paste->refs.append(DocItem(nodes.at(i).toElement()));
    }
    if (paste->source == PasteJob::OtherDocumentRefs || paste->source == PasteJob::OtherDocumentItems) {
        paste->toCopy = refsFromItems(paste->itemsRead);
        paste->toCopyTotal = paste->toCopy.size();
        for (const DocItem &item : std::as_const(paste->toCopy))
            paste->oldIds.append(item.id());
    } else if (paste->source == PasteJob::SameDocumentItems) {
        for (const DocItem &item : refsFromItems(paste->itemsRead))
            paste->ids.append(item.id());
        paste->itemsRead.clear();
    }
    paste->step.start();
    emit pasteProgress(paste->done(), paste->total());
}

void ListModel::pasteStep()
{
    // A step never runs inside another; nothing in a step turns the event loop, and the progress is told
    // once the step is done.
    if (!paste || paste->stepping)
        return;
    paste->stepping = true;
    PasteJob &job = *paste;
    DocItemsDataProvider *items = itemsModel->dataProvider();
    if (job.copied < job.toCopy.size()) {
        // Entries of another document first: they come in at the end of the items with new ids.
        QList<DocItem> chunk = job.toCopy.mid(job.copied, stepEntries);
        job.copied += chunk.size();
        const QStringList ids = chunk.isEmpty() ? QStringList() : itemsModel->insertItems(-1, chunk);
        for (qsizetype i = 0; i < chunk.size(); ++i)
            job.newIds.append(ids.value(i));
    } else if (!job.refsReady) {
        // Every entry is in: the refs follow them, renamed to the new ids.
        if (job.source == PasteJob::OtherDocumentRefs) {
            QHash<QString, QString> renamed;
            for (qsizetype i = 0; i < job.oldIds.size(); ++i)
                renamed.insert(job.oldIds.at(i), job.newIds.value(i));
            QList<DocItem> kept;
            for (DocItem ref : std::as_const(job.refs)) {
                const QString newId = renamed.value(ref.value(QString()));
                if (newId.isNull())
                    continue;
                ref.setValue(QString(), newId, 2);
                kept.append(ref);
            }
            job.refs = kept;
        } else if (job.source == PasteJob::OtherDocumentItems) {
            for (const QString &id : std::as_const(job.newIds))
                if (!id.isNull())
                    job.ids.append(id);
        }
        job.toCopy.clear();
        job.refsReady = true;
        DocItemsDataProvider *own = dataProvider();
        for (int i = 0, count = own->count(); i < count; ++i)
            job.onList.insert(own->itemAt(i).firstChild().nodeValue()); // a ref's text
    } else {
        // A step of refs: what the list lacks goes in after the refs of the steps before, each id once.
        QList<DocItem> chunk;
        const qsizetype end = qMin<qsizetype>(job.listed + stepEntries, job.refs.size() + job.ids.size());
        for (; job.listed < end; ++job.listed) {
            DocItem ref;
            QString id;
            if (job.listed < job.refs.size()) {
                ref = job.refs.at(job.listed);
                id = ref.value(QString());
            } else {
                id = job.ids.at(job.listed - job.refs.size());
            }
            // an entry removed since the paste began is not listed
            if (job.onList.contains(id) || !items->contains(id))
                continue;
            job.onList.insert(id);
            if (ref.isNull()) {
                ref = dataProvider()->newItem();
                ref.setValue(QString(), id, 2);
            }
            chunk.append(ref);
        }
        if (!chunk.isEmpty()) {
            job.inserted += int(chunk.size());
            job.inserting = true;
            insertItems(qBound(0, job.row, rowCount()), chunk);
            job.inserting = false;
        }
    }
    const bool finished = job.refsReady && job.listed >= job.refs.size() + job.ids.size();
    job.stepping = false;
    if (finished)
        endPaste();
    else
        emit pasteProgress(job.done(), job.total());
}

void ListModel::followInserted(int first, int last)
{
    if (!paste)
        return;
    if (paste->inserting)
        paste->row = last + 1;
    else if (first < paste->row)
        paste->row += last - first + 1;
}

void ListModel::followRemoved(int first, int last)
{
    if (!paste)
        return;
    if (last < paste->row)
        paste->row -= last - first + 1;
    else if (first < paste->row)
        paste->row = first;
}

void ListModel::endPaste()
{
    const bool changed = paste->inserted > 0 || !paste->newIds.isEmpty();
    const int total = paste->total();
    paste.reset();
    pastesRunning.removeAll(this);
    emit pasteProgress(total, total);
    if (changed)
        emit itemDropped();
    emit pasteFinished();
}
