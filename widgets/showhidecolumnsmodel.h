#pragma once

#include <QAbstractTableModel>
#include <QMap>
#include <QPointer>

class QTableView;

// One row per column of a table's model, with a check box that shows or hides that column in the
// table; fixed columns cannot be toggled.
class ShowHideColumnsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ShowHideColumnsModel(QTableView *view);

    void setSourceModel(QAbstractItemModel *model);
    QAbstractItemModel *sourceModel() const { return m_sourceModel; }
    void setFixedColumns(const QList<int> &columns);
    QMap<int, bool> fixedColumns() const { return m_fixedColumns; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    void connectSource();

    QPointer<QAbstractItemModel> m_sourceModel;
    QTableView *m_view;
    QMap<int, bool> m_fixedColumns;
    QList<QMetaObject::Connection> m_sourceConnections;
};
