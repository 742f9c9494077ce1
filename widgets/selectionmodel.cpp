#include "widgets/selectionmodel.h"

SelectionModel::SelectionModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

int SelectionModel::rowCount(const QModelIndex &parent) const
{
    return (m_source && !parent.isValid()) ? m_source->rowCount() : 0;
}

int SelectionModel::columnCount(const QModelIndex &parent) const
{
    return (m_source && !parent.isValid()) ? m_source->columnCount() : 0;
}

Qt::ItemFlags SelectionModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags base = QAbstractTableModel::flags(index);
    return index.isValid() ? base | Qt::ItemIsUserCheckable : base;
}

bool SelectionModel::isSelected(const QModelIndex &valueCell) const
{
    const QString value = data(valueCell, Qt::EditRole).toString();
    return m_selected.contains(value, Qt::CaseSensitive);
}

QVariant SelectionModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_source || index.row() < 0 || index.column() < 0)
        return QVariant();
    if (role == Qt::CheckStateRole) {
        const QModelIndex cell = index.column() == m_valueColumn ? index : index.siblingAtColumn(m_valueColumn);
        return isSelected(cell) ? Qt::Checked : Qt::Unchecked;
    }
    // Asked with the source's own index: an index of this model means nothing to the source.
    return m_source->data(m_source->index(index.row(), index.column()), role);
}

bool SelectionModel::changeSelection(const QModelIndex &valueCell, const QVariant &state)
{
    const bool wanted = state.toInt() == Qt::Checked;
    const QString value = valueCell.isValid() ? data(valueCell, Qt::EditRole).toString() : QString();
    const bool present = m_selected.contains(value, Qt::CaseSensitive);
    if (wanted == present)
        return false;
    if (wanted)
        m_selected.append(value);
    else
        m_selected.removeAll(value);
    return true;
}

bool SelectionModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole) {
        if (!m_source || !index.isValid())
            return false;
        return m_source->setData(m_source->index(index.row(), index.column()), value, role);
    }
    const QModelIndex cell = index.column() == m_valueColumn ? index : index.siblingAtColumn(m_valueColumn);
    // No cell, no value: an invalid index must not select the empty text.
    if (!cell.isValid() || !changeSelection(cell, value))
        return false;
    emit dataChanged(cell, cell);
    emit SelectionChanged();
    return true;
}

QStringList SelectionModel::allValues() const
{
    QStringList result;
    if (!m_source)
        return result;
    for (int row = 0; row < m_source->rowCount(); ++row)
        result << m_source->data(m_source->index(row, m_valueColumn), Qt::DisplayRole).toString();
    return result;
}

void SelectionModel::setSourceModel(QAbstractItemModel *model)
{
    // Rows and columns follow the source: a new source is a reset.
    beginResetModel();
    m_source = model;
    connectSource();
    endResetModel();
}

void SelectionModel::connectSource()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_sourceConnections))
        disconnect(connection);
    m_sourceConnections.clear();
    if (!m_source)
        return;
    // Structure changes of the source reach the views of this model as resets, so no view keeps
    // rows that no longer exist.
    auto begin = [this] { beginResetModel(); };
    auto end = [this] { endResetModel(); };
    QAbstractItemModel *source = m_source;
    m_sourceConnections << connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this, begin)
                        << connect(source, &QAbstractItemModel::rowsInserted, this, end)
                        << connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this, begin)
                        << connect(source, &QAbstractItemModel::rowsRemoved, this, end)
                        << connect(source, &QAbstractItemModel::rowsAboutToBeMoved, this, begin)
                        << connect(source, &QAbstractItemModel::rowsMoved, this, end)
                        << connect(source, &QAbstractItemModel::columnsAboutToBeInserted, this, begin)
                        << connect(source, &QAbstractItemModel::columnsInserted, this, end)
                        << connect(source, &QAbstractItemModel::columnsAboutToBeRemoved, this, begin)
                        << connect(source, &QAbstractItemModel::columnsRemoved, this, end)
                        << connect(source, &QAbstractItemModel::modelAboutToBeReset, this, begin)
                        << connect(source, &QAbstractItemModel::modelReset, this, end)
                        << connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this, begin)
                        << connect(source, &QAbstractItemModel::layoutChanged, this, end)
                        << connect(source, &QAbstractItemModel::dataChanged, this,
                                   [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                                       if (topLeft.isValid() && bottomRight.isValid() && !topLeft.parent().isValid())
                                           emit dataChanged(index(topLeft.row(), topLeft.column()),
                                                            index(bottomRight.row(), bottomRight.column()));
                                   })
                        << connect(source, &QObject::destroyed, this, [this] {
                               beginResetModel();
                               m_source = nullptr;
                               endResetModel();
                           });
}

void SelectionModel::setSelectedValues(const QStringList &values)
{
    m_selected = values;
    // Only check states change; the rows stay.
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::CheckStateRole});
}

QString SelectionModel::selectedValues() const
{
    m_selected.sort(Qt::CaseSensitive);
    return m_selected.join(u';');
}
