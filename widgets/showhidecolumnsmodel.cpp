#include "widgets/showhidecolumnsmodel.h"

#include <QTableView>

ShowHideColumnsModel::ShowHideColumnsModel(QTableView *view)
    : QAbstractTableModel(view)
    , m_view(view)
{}

void ShowHideColumnsModel::setSourceModel(QAbstractItemModel *model)
{
    // The row count follows the source's columns, so a new source is a reset, not a layout change.
    beginResetModel();
    m_sourceModel = model;
    connectSource();
    endResetModel();
}

void ShowHideColumnsModel::connectSource()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_sourceConnections))
        disconnect(connection);
    m_sourceConnections.clear();
    if (!m_sourceModel)
        return;
    // Columns that come or go under the list change its rows: keep them in step.
    auto begin = [this] { beginResetModel(); };
    auto end = [this] { endResetModel(); };
    QAbstractItemModel *source = m_sourceModel;
    m_sourceConnections << connect(source, &QAbstractItemModel::columnsAboutToBeInserted, this, begin)
                        << connect(source, &QAbstractItemModel::columnsInserted, this, end)
                        << connect(source, &QAbstractItemModel::columnsAboutToBeRemoved, this, begin)
                        << connect(source, &QAbstractItemModel::columnsRemoved, this, end)
                        << connect(source, &QAbstractItemModel::columnsAboutToBeMoved, this, begin)
                        << connect(source, &QAbstractItemModel::columnsMoved, this, end)
                        << connect(source, &QAbstractItemModel::modelAboutToBeReset, this, begin)
                        << connect(source, &QAbstractItemModel::modelReset, this, end)
                        << connect(source, &QAbstractItemModel::headerDataChanged, this,
                                   [this](Qt::Orientation orientation, int first, int last) {
                                       if (orientation == Qt::Horizontal && first <= last && rowCount() > 0)
                                           emit dataChanged(index(qMax(0, first), 0),
                                                            index(qMin(last, rowCount() - 1), 0));
                                   })
                        << connect(source, &QObject::destroyed, this, [this] {
                               beginResetModel();
                               m_sourceModel = nullptr;
                               endResetModel();
                           });
}

void ShowHideColumnsModel::setFixedColumns(const QList<int> &columns)
{
    m_fixedColumns.clear();
    for (int column : columns)
        m_fixedColumns.insert(column, true);
}

int ShowHideColumnsModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_sourceModel)
        return 0;
    return m_sourceModel->columnCount();
}

int ShowHideColumnsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant ShowHideColumnsModel::data(const QModelIndex &index, int role) const
{
    if (!m_sourceModel || !index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_sourceModel->headerData(index.row(), Qt::Horizontal, Qt::DisplayRole);
    if (role == Qt::CheckStateRole)
        return m_view->isColumnHidden(index.row()) ? Qt::Unchecked : Qt::Checked;
    return QVariant();
}

Qt::ItemFlags ShowHideColumnsModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.isValid())
        result |= Qt::ItemIsUserCheckable;
    if (m_fixedColumns.value(index.row(), false))
        result &= ~Qt::ItemIsEnabled;
    return result;
}

bool ShowHideColumnsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_sourceModel || !index.isValid() || role != Qt::CheckStateRole)
        return false;
    m_view->setColumnHidden(index.row(), value.toInt() != Qt::Checked);
    emit dataChanged(index, index);
    return true;
}
