#include "document/objectsortfilterproxymodel.h"

#include "base/naturalcompare.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <climits>
#include <numeric>

namespace {

constexpr int listColumn = 0;
constexpr int genresColumn = 3;
constexpr int serviceTypeColumn = 7;
constexpr int idColumn = 8;

} // namespace

ObjectSortFilterProxyModel::ObjectSortFilterProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
    setFilterKeyColumn(-1);
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void ObjectSortFilterProxyModel::setEditRestricted(bool restricted)
{
    editRestricted = restricted;
}

void ObjectSortFilterProxyModel::setColumnFilters(QList<ColumnFilter> *filters)
{
    columnFilters = filters;
    invalidateFilter();
}

void ObjectSortFilterProxyModel::setItemsSearchFilter(const QString &patternStr)
{
    setFilterRegularExpression(
        QRegularExpression(QRegularExpression::escape(patternStr), QRegularExpression::CaseInsensitiveOption));
}

void ObjectSortFilterProxyModel::setListOrder(const QList<int> &ids)
{
    listOrder = ids;
}

int ObjectSortFilterProxyModel::listPosition(int id) const
{
    return int(listOrder.indexOf(id));
}

QList<int> ObjectSortFilterProxyModel::idsOfIndexes(const QModelIndexList &indexes) const
{
    QList<int> ids;
    ids.reserve(indexes.size());
    for (const QModelIndex &index : indexes)
        ids << QSortFilterProxyModel::data(this->index(index.row(), idColumn), Qt::DisplayRole).toString().toInt();
    return ids;
}

QList<int> ObjectSortFilterProxyModel::visibleIds() const
{
    QList<int> ids;
    const int rows = rowCount();
    ids.reserve(rows);
    for (int row = 0; row < rows; ++row)
        ids << QSortFilterProxyModel::data(index(row, idColumn), Qt::DisplayRole).toString().toInt();
    return ids;
}

QVariant ObjectSortFilterProxyModel::data(const QModelIndex &index, int role) const
{
    if (index.isValid() && index.column() == listColumn && role == Qt::DisplayRole) {
        const int id =
            QSortFilterProxyModel::data(this->index(index.row(), idColumn), Qt::DisplayRole).toString().toInt();
        const int position = listPosition(id);
        return position < 0 ? QString() : QString::number(position + 1);
    }
    return QSortFilterProxyModel::data(index, role);
}

QMimeData *ObjectSortFilterProxyModel::mimeData(const QModelIndexList &indexes) const
{
    // entries travel in the order the table shows them
    QModelIndexList sorted = indexes;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    return QSortFilterProxyModel::mimeData(sorted);
}

bool ObjectSortFilterProxyModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                              const QModelIndex &parent)
{
    return QSortFilterProxyModel::dropMimeData(data, action, row, column, parent);
}

Qt::ItemFlags ObjectSortFilterProxyModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QSortFilterProxyModel::flags(index);
    if (!index.isValid())
        return result;
    const QString serviceType = data(this->index(index.row(), serviceTypeColumn), Qt::DisplayRole).toString();
    const bool external = serviceType == QCoreApplication::translate("DetailedSettingsProperty", "External source");
    const bool analog = serviceType == QCoreApplication::translate("DetailedSettingsProperty", "Analog");
    const int column = index.column();
    if (column == listColumn ||
        (editRestricted &&
         (column == genresColumn || (column != 5 && column != 6 && external) || (column == 2 && analog))))
        result &= ~Qt::ItemIsEditable;
    return result;
}

bool ObjectSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    const QAbstractItemModel *source = sourceModel();
    if (columnFilters && source) {
        for (const ColumnFilter &filter : std::as_const(*columnFilters)) {
            if (filter.checkedValues.isEmpty())
                continue;
            const QString text = source->index(sourceRow, filter.column, sourceParent).data(Qt::EditRole).toString();
            bool accepted = false;
            if (!filter.multiValue) {
                accepted = filter.checkedValues.contains(text);
            } else {
                const QStringList parts = text.split(u';');
                for (const QString &part : parts) {
                    // parts are trimmed as the filter pop-up trims the values it offers
                    const QString value = part.trimmed();
                    if (value.isEmpty() && parts.size() > 1)
                        continue;
                    if (filter.checkedValues.contains(value)) {
                        accepted = true;
                        break;
                    }
                }
            }
            if (!accepted)
                return false;
        }
    }
    return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
}

namespace {

bool isNaturalColumn(int column)
{
    return column == 1 || column == 2 || column == 7;
}

} // namespace

void ObjectSortFilterProxyModel::sort(int column, Qt::SortOrder order)
{
    const QAbstractItemModel *source = sourceModel();
    if (source && (column == listColumn || isNaturalColumn(column))) {
        const int rows = source->rowCount();
        QList<int> sorted(rows);
        std::iota(sorted.begin(), sorted.end(), 0);
        if (column == listColumn) {
            QList<int> positions;
            positions.reserve(rows);
            for (int row = 0; row < rows; ++row)
                positions << sortPosition(source->index(row, listColumn));
            std::stable_sort(sorted.begin(), sorted.end(),
                             [&](int a, int b) { return positions.at(a) < positions.at(b); });
        } else {
            // one packed copy of the texts: the sort then reads compact memory, not the whole tree
            QString packed;
            QList<qsizetype> starts;
            starts.reserve(rows + 1);
            for (int row = 0; row < rows; ++row) {
                starts << packed.size();
                packed += source->index(row, column).data(Qt::DisplayRole).toString();
            }
            starts << packed.size();
            const auto text = [&](int row) {
                return QStringView(packed).mid(starts.at(row), starts.at(row + 1) - starts.at(row));
            };
            std::stable_sort(sorted.begin(), sorted.end(),
                             [&](int a, int b) { return naturalCompare(text(a), text(b)) < 0; });
        }
        sortRanks.resize(rows);
        for (int rank = 0; rank < rows; ++rank)
            sortRanks[sorted.at(rank)] = rank;
    }
    QSortFilterProxyModel::sort(column, order);
    sortRanks.clear();
}

int ObjectSortFilterProxyModel::sortPosition(const QModelIndex &sourceIndex) const
{
    const int id = sourceModel()->index(sourceIndex.row(), idColumn, sourceIndex.parent()).data().toInt();
    const int at = listPosition(id);
    return at < 0 ? INT_MAX : at;
}

bool ObjectSortFilterProxyModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const bool ranked = left.column() == right.column() && left.row() < sortRanks.size() &&
                        right.row() < sortRanks.size() && !left.parent().isValid();
    if (left.column() == listColumn && right.column() == listColumn) {
        if (ranked)
            return sortRanks.at(left.row()) < sortRanks.at(right.row());
        const int l = sortPosition(left);
        const int r = sortPosition(right);
        // unlisted entries stay in source order, whatever order the table had before
        return l == r ? left.row() < right.row() : l < r;
    }
    if (left.column() == right.column() && isNaturalColumn(left.column())) {
        if (ranked)
            return sortRanks.at(left.row()) < sortRanks.at(right.row());
        return naturalCompare(left.data(Qt::DisplayRole).toString(), right.data(Qt::DisplayRole).toString()) < 0;
    }
    return QSortFilterProxyModel::lessThan(left, right);
}
