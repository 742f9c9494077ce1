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
    // The proxy removes a whole selection at once instead of run by run; the selection, whose rows all
    // go, is cleared once first instead of being mended through the removal.
    connect(this, &STableView::onBeforeDelete, m_proxy, &ObjectSortFilterProxyModel::beginRowRemoval);
    connect(this, &STableView::onEndDelete, this, [this] {
        if (m_proxy->hasPendingRemoval() && selectionModel())
            selectionModel()->clearSelection();
        m_proxy->endRowRemoval();
    });
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
