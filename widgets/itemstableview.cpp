#include "widgets/itemstableview.h"

#include "document/objectsortfilterproxymodel.h"

#include <QHeaderView>

ItemsTableView::ItemsTableView(QWidget *parent)
    : STableView(parent)
    , m_proxy(new ObjectSortFilterProxyModel(this))
{
    setUpRowView();
    setSortingEnabled(true);
    horizontalHeader()->setSectionsMovable(true);
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_proxy->setObjectName(QStringLiteral("sortFilterProxy"));
    connect(this, &QAbstractItemView::pressed, this, &ItemsTableView::onCellPressedEdit);
}

void ItemsTableView::setModel(QAbstractItemModel *model)
{
    if (model)
        STableView::setModel(shown(model));
}

void ItemsTableView::setItemsModel(QAbstractItemModel *model, const QList<int> &visibleColumns,
                                   const QList<int> &fixedColumns)
{
    if (model)
        STableView::setItemsModel(shown(model), visibleColumns, fixedColumns);
}

// The model the view shows for model: the proxy over it while the proxy is in use.
QAbstractItemModel *ItemsTableView::shown(QAbstractItemModel *model)
{
    if (!useSortFilterProxy)
        return model;
    m_proxy->setSourceModel(model);
    return m_proxy;
}

void ItemsTableView::addEditableColumns(const QList<int> &columns)
{
    editableColumns << columns;
}

void ItemsTableView::setUseSortFilterProxy(bool use)
{
    useSortFilterProxy = use;
}

void ItemsTableView::onCellPressedEdit(const QModelIndex &index)
{
    if (index.isValid() && index.row() >= 0 && index.column() >= 0 && model() &&
        editableColumns.contains(index.column()))
        edit(index);
}
