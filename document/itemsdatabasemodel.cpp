#include "document/itemsdatabasemodel.h"

#include "document/docitemsdataprovider.h"
#include "document/itemproperty.h"
#include "document/xmltextguard.h"

#include <QBrush>
#include <QCoreApplication>
#include <QDataStream>
#include <QDateTime>
#include <QIODevice>
#include <QMimeData>
#include <QSet>
#include <QTextStream>
#include <algorithm>

namespace {

bool isValid(const QModelIndex &index)
{
    return index.row() >= 0 && index.column() >= 0 && index.model();
}

void writeString(QDataStream &stream, const QString &text)
{
    stream << text;
}

} // namespace

ItemsDatabaseModel::ItemsDatabaseModel(DocItemsDataProvider *provider, QObject *parent)
    : QAbstractTableModel(parent)
    , parentObject(parent)
    , id(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmsszzz")) +
         QString::number(reinterpret_cast<quintptr>(this)))
    , provider(provider)
{}

ItemsDatabaseModel::~ItemsDatabaseModel() = default;

// a table: cells have no children
int ItemsDatabaseModel::rowCount(const QModelIndex &parent) const
{
    return provider && !parent.isValid() ? provider->count() : 0;
}

int ItemsDatabaseModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns.size());
}

QVariant ItemsDatabaseModel::data(const QModelIndex &index, int role) const
{
    if (!isValid(index) || index.column() >= columns.size() || !provider)
        return QVariant();
    if (readOnlyColorSet && role == Qt::ForegroundRole && !(flags(index) & Qt::ItemIsEditable))
        return QBrush(readOnlyColor, Qt::SolidPattern);
    bool found = false;
    return columns.at(index.column())->value(provider->itemAt(index.row()), role, &found);
}

bool ItemsDatabaseModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!isValid(index) || index.column() >= columns.size() || !provider ||
        (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    ItemProperty *property = columns.at(index.column());
    DocItem item = provider->itemAt(index.row());
    if (property->value(item, role) == value)
        return false;
    // the id ties the entry to its favourite-list references: only a free number is taken
    const bool written = property->path == QLatin1String("@id") ? provider->changeId(index.row(), value.toString())
                                                                : property->setValue(item, value, role);
    if (!written)
        return false;
    emit dataChanged(index, index);
    for (int column : std::as_const(property->dependentColumns)) {
        const QModelIndex dependent = this->index(index.row(), column);
        emit dataChanged(dependent, dependent);
    }
    return true;
}

QVariant ItemsDatabaseModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section >= 0 && section < columns.size() && (role == Qt::DisplayRole || role == Qt::ToolTipRole))
            return columns.at(section)->name;
        return QVariant();
    }
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight);
    return QVariant();
}

Qt::ItemFlags ItemsDatabaseModel::flags(const QModelIndex &index) const
{
    if (!isValid(index) || index.column() >= columns.size() || !provider)
        return Qt::ItemIsDropEnabled;
    return columns.at(index.column())->flags(provider->itemAt(index.row()));
}

Qt::DropActions ItemsDatabaseModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
}

bool ItemsDatabaseModel::removeRows(int row, int count, const QModelIndex &)
{
    if (!provider || count < 1 || row < 0 || row + count > provider->count())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    // Every entry is announced while all of them can still be looked up, then the range goes in one
    // pass: a listener's lookup finds the rows as they were, and nothing re-reads the list in between.
    QStringList ids;
    ids.reserve(count);
    for (int i = 0; i < count; ++i)
        ids << provider->itemAt(row + i).id();
    for (const QString &id : std::as_const(ids))
        emit itemRemoved(id);
    provider->removeRange(row, count);
    endRemoveRows();
    return true;
}

bool ItemsDatabaseModel::removeRowSet(const QList<int> &rows)
{
    return removeRowSet(rows, true);
}

bool ItemsDatabaseModel::removeRowSet(const QList<int> &rows, bool announce)
{
    const auto removeBlock = [this, announce](int row, int count) {
        if (announce)
            return removeRows(row, count);
        beginRemoveRows(QModelIndex(), row, row + count - 1);
        provider->removeRange(row, count);
        endRemoveRows();
        return true;
    };
    const int total = rowCount();
    if (!provider || rows.isEmpty() || rows.first() < 0 || rows.last() >= total)
        return false;
    const int count = int(rows.size());
    int runs = 1;
    for (int i = 1; i < count; ++i)
        runs += rows.at(i) != rows.at(i - 1) + 1 ? 1 : 0;
    // A few runs go one by one, as any removal; past that every run would cost a pass over the rows
    // by each listener, so they are gathered into one.
    if (runs > 16 && provider->canGather(rows)) {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        provider->gatherAtEnd(rows);
        QList<int> moved(total);
        for (int row = 0, kept = 0, gone = 0; row < total; ++row) {
            if (gone < count && rows.at(gone) == row)
                moved[row] = total - count + gone++;
            else
                moved[row] = kept++;
        }
        const QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex &index : from)
            to << this->index(moved.at(index.row()), index.column());
        changePersistentIndexList(from, to);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
        return removeBlock(total - count, count);
    }
    // a few runs, or items the provider cannot move: each run in one call, the highest first
    for (qsizetype end = rows.size(); end > 0;) {
        qsizetype start = end - 1;
        while (start > 0 && rows.at(start - 1) == rows.at(start) - 1)
            --start;
        removeBlock(rows.at(start), int(end - start));
        end = start;
    }
    return true;
}

QVariant ItemsDatabaseModel::dataById(const QString &id, int column, int role)
{
    const int row = provider ? provider->indexOf(id) : -1;
    if (row < 0 || row >= provider->count())
        return QVariant();
    return data(index(row, column), role);
}

bool ItemsDatabaseModel::setDataById(const QString &id, int column, const QVariant &value, int role)
{
    const int row = provider ? provider->indexOf(id) : -1;
    if (row < 0 || row >= provider->count())
        return false;
    return setData(index(row, column), value, role);
}

QModelIndex ItemsDatabaseModel::indexById(const QString &id, int column) const
{
    const int row = provider ? provider->indexOf(id) : -1;
    return row < 0 ? QModelIndex() : index(row, column);
}

void ItemsDatabaseModel::retranslate()
{
    for (ItemProperty *property : std::as_const(columns))
        property->retranslate();
}

QString ItemsDatabaseModel::mimeType() const
{
    return name;
}

QString ItemsDatabaseModel::mimeTypeWithId() const
{
    return mimeType() + QLatin1Char('@') + id;
}

QString ItemsDatabaseModel::modelId() const
{
    return id;
}

QStringList ItemsDatabaseModel::mimeTypes() const
{
    return {mimeTypeWithId(), mimeType()};
}

QMimeData *ItemsDatabaseModel::mimeData(const QModelIndexList &indexes) const
{
    QModelIndexList sorted = indexes;
    if (sortDraggedRows)
        std::sort(sorted.begin(), sorted.end(),
                  [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    auto *data = new QMimeData;
    fillMimeData(data, sorted);
    return data;
}

void ItemsDatabaseModel::fillMimeData(QMimeData *data, const QModelIndexList &indexes) const
{
    QByteArray payload;
    QDataStream stream(&payload, QIODevice::WriteOnly);
    writeString(stream, QStringLiteral("<items>"));
    QSet<int> written; // a whole selection lists every row once per column
    for (const QModelIndex &index : indexes) {
        if (!isValid(index) || written.contains(index.row()) || !provider)
            continue;
        written.insert(index.row());
        QString xml;
        QTextStream text(&xml);
        provider->itemAt(index.row()).save(text, 0);
        text.flush();
        writeString(stream, xml);
    }
    writeString(stream, QStringLiteral("</items>"));
    data->setData(mimeType(), payload);
    data->setData(mimeTypeWithId(), payload);
}

QDomDocument ItemsDatabaseModel::readDroppedItems(const QByteArray &payload)
{
    // read by hand: a foreign payload may announce lengths it does not hold
    QString text;
    qsizetype at = 0;
    while (payload.size() - at >= 4) {
        const auto *p = reinterpret_cast<const uchar *>(payload.constData() + at);
        const quint32 bytes = (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
        at += 4;
        if (bytes == 0xFFFFFFFFu)
            continue; // a null string
        if ((bytes & 1) || bytes > quint64(payload.size() - at))
            break;
        const auto *chars = reinterpret_cast<const uchar *>(payload.constData() + at);
        QString part(qsizetype(bytes / 2), Qt::Uninitialized);
        for (qsizetype i = 0; i < part.size(); ++i)
            part[i] = QChar(ushort((chars[2 * i] << 8) | chars[2 * i + 1]));
        text += part;
        at += bytes;
    }
    QDomDocument document;
    if (!XmlTextGuard::check(text, nullptr, nullptr, nullptr) || !document.setContent(text, false))
        return QDomDocument();
    return document;
}

bool ItemsDatabaseModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int, const QModelIndex &)
{
    if (action == Qt::IgnoreAction || !data || !provider)
        return false;
    const bool copyOrMove = (action & (Qt::CopyAction | Qt::MoveAction)) != 0;
    QString format;
    if (copyOrMove && data->hasFormat(mimeTypeWithId()))
        format = mimeTypeWithId();
    else if (copyOrMove && data->hasFormat(mimeType()))
        format = mimeType();
    else
        return false;
    const QDomDocument document = readDroppedItems(data->data(format));
    const QDomNodeList elements = document.elementsByTagName(provider->itemTag());
    QList<DocItem> items;
    items.reserve(elements.count());
    for (int i = 0; i < elements.count(); ++i)
        items << DocItem(elements.item(i).toElement());
    if (items.isEmpty())
        return false;
    // false when nothing went in, so that a move never deletes its originals
    return !insertItems(row, items).isEmpty();
}

QString ItemsDatabaseModel::insertItem(int row, const DocItem &item)
{
    QList<DocItem> items{item};
    const QStringList ids = insertItems(row, items);
    return ids.isEmpty() ? QString() : ids.first();
}

QString ItemsDatabaseModel::appendNewItem()
{
    if (!provider)
        return QString();
    QList<DocItem> items{provider->newItem()};
    const QStringList ids = insertItems(rowCount(), items);
    return ids.isEmpty() ? QString() : ids.first();
}

QStringList ItemsDatabaseModel::insertItems(int row, QList<DocItem> &items)
{
    if (!provider)
        return {};
    if (uniqueKeyOn && !items.isEmpty()) {
        // The first of each key goes in; a row already holding one of the keys goes out first, and the
        // insertion row moves up by the rows taken out above it. One pass over each list, however long.
        QSet<QString> seen;
        seen.reserve(items.size());
        items.erase(std::remove_if(items.begin(), items.end(),
                                   [this, &seen](const DocItem &item) {
                                       const QString key = item.value(uniqueKeyPath);
                                       if (seen.contains(key))
                                           return true;
                                       seen.insert(key);
                                       return false;
                                   }),
                    items.end());
        QList<int> holding;
        for (int existing = 0, count = provider->count(); existing < count; ++existing) {
            if (seen.contains(provider->itemAt(existing).value(uniqueKeyPath)))
                holding << existing;
        }
        if (row > 0)
            row -= int(std::lower_bound(holding.begin(), holding.end(), row) - holding.begin());
        removeRowSet(holding);
    }
    if (row < 0 || row > rowCount())
        row = rowCount();
    if (items.isEmpty())
        return {};
    beginInsertRows(QModelIndex(), row, row + int(items.size()) - 1);
    const QStringList ids = provider->insertItems(row, items);
    provider->refresh();
    emit itemInserted(QString());
    endInsertRows();
    return ids;
}

void ItemsDatabaseModel::setUniqueKey(const QString &path)
{
    uniqueKeyPath = path;
    uniqueKeyOn = true;
}

void ItemsDatabaseModel::clearUniqueKey()
{
    uniqueKeyOn = false;
}

void ItemsDatabaseModel::setSortDraggedRows(bool sort)
{
    sortDraggedRows = sort;
}

void ItemsDatabaseModel::setDataProvider(DocItemsDataProvider *provider)
{
    emit layoutAboutToBeChanged();
    this->provider = provider;
    // rows of the old provider that the new one lacks are gone
    const int rows = rowCount();
    const QModelIndexList persistent = persistentIndexList();
    for (const QModelIndex &index : persistent) {
        if (index.row() >= rows || index.column() >= columnCount())
            changePersistentIndex(index, QModelIndex());
    }
    emit layoutChanged();
}

void ItemsDatabaseModel::setReadOnlyColor(const QColor &color)
{
    readOnlyColor = color;
    readOnlyColorSet = true;
}
