#pragma once

#include "widgets/stableview.h"

#include <QPersistentModelIndex>

class ObjectSortFilterProxyModel;
class PendingSearchGuard;

// The items table of the list pages: sorts and filters through its own proxy and can open the
// editor of chosen columns on a single press.
class ItemsTableView : public STableView
{
    Q_OBJECT

public:
    explicit ItemsTableView(QWidget *parent = nullptr);
    ~ItemsTableView() override;

    void setModel(QAbstractItemModel *model) override;
    void setItemsModel(QAbstractItemModel *model, const QList<int> &visibleColumns, const QList<int> &fixedColumns);
    void addEditableColumns(const QList<int> &columns);
    void setUseSortFilterProxy(bool use);
    bool usesSortFilterProxy() const { return useSortFilterProxy; }
    ObjectSortFilterProxyModel *proxy() const { return m_proxy; }
    bool edit(const QModelIndex &index, QAbstractItemView::EditTrigger trigger, QEvent *event) override;
    using STableView::edit;
    void setSelectionModel(QItemSelectionModel *selectionModel) override;

public slots:
    void onCellPressedEdit(const QModelIndex &index);

protected:
    void settleRows() override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    QAbstractItemModel *shown(QAbstractItemModel *model);
    void writeOpenEditor();

    QList<int> editableColumns;
    bool useSortFilterProxy = true;
    ObjectSortFilterProxyModel *m_proxy;
    PendingSearchGuard *m_guard;
    // the cell whose editor the view opened last
    QPersistentModelIndex editedIndex;
};
