#include "widgets/temporaryselectionmodel.h"

#include <algorithm>

TemporarySelectionModel::TemporarySelectionModel(QObject *parent)
    : SelectionModel(parent)
{}

int TemporarySelectionModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TemporarySelectionModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant TemporarySelectionModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.column() < 0)
        return QVariant();
    switch (role) {
    case Qt::CheckStateRole:
        return isSelected(index.siblingAtColumn(0)) ? Qt::Checked : Qt::Unchecked;
    case Qt::DisplayRole:
        return index.row() < m_rows.size() ? m_rows.at(index.row()).first : QString();
    case Qt::EditRole:
        return index.row() < m_rows.size() ? m_rows.at(index.row()).second : QString();
    default:
        return QVariant();
    }
}

bool TemporarySelectionModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole)
        return false;
    const QModelIndex cell = index.siblingAtColumn(0);
    // No cell, no value: an invalid index must not select the empty text.
    if (!cell.isValid() || !changeSelection(cell, value))
        return false;
    emit dataChanged(cell, cell);
    return true;
}

QStringList TemporarySelectionModel::allValues() const
{
    return QStringList();
}

void TemporarySelectionModel::sortRows()
{
    std::sort(m_rows.begin(), m_rows.end(), [](const QPair<QString, QString> &a, const QPair<QString, QString> &b) {
        return a.first.toLower() < b.first.toLower();
    });
}

void TemporarySelectionModel::copyFrom(SelectionModel *other)
{
    // Rows are added: a reset, not a layout change, tells the views.
    beginResetModel();
    if (other) {
        const int rows = other->rowCount(QModelIndex());
        for (int row = 0; row < rows; ++row) {
            const QModelIndex cell = other->index(row, m_valueColumn);
            m_rows.append(
                qMakePair(other->data(cell, Qt::DisplayRole).toString(), other->data(cell, Qt::EditRole).toString()));
        }
        sortRows();
    }
    endResetModel();
}

void TemporarySelectionModel::setSelectedValues(const QStringList &values)
{
    beginResetModel();
    QStringList known;
    for (const auto &row : std::as_const(m_rows))
        known << row.second;
    bool added = false;
    for (const QString &value : values) {
        const QString trimmed = value.trimmed();
        if (trimmed.isEmpty() || known.contains(trimmed, Qt::CaseSensitive))
            continue;
        m_rows.append(qMakePair(trimmed, trimmed));
        known << trimmed;
        added = true;
    }
    if (added)
        sortRows();
    m_selected = values;
    endResetModel();
}
