#pragma once

#include "widgets/stableview.h"

class ObjectSortFilterProxyModel;

// The items table of the list pages: sorts and filters through its own proxy and can open the
// editor of chosen columns on a single press.
class ItemsTableView : public STableView
{
    Q_OBJECT

public:
    explicit ItemsTableView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    void setItemsModel(QAbstractItemModel *model, const QList<int> &visibleColumns, const QList<int> &fixedColumns);
    void addEditableColumns(const QList<int> &columns);
    void setUseSortFilterProxy(bool use);
    bool usesSortFilterProxy() const { return useSortFilterProxy; }
    ObjectSortFilterProxyModel *proxy() const { return m_proxy; }

public slots:
    void onCellPressedEdit(const QModelIndex &index);

private:
    QAbstractItemModel *shown(QAbstractItemModel *model);

    QList<int> editableColumns;
    bool useSortFilterProxy = true;
    ObjectSortFilterProxyModel *m_proxy;
};
