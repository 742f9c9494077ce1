#include "widgets/itemstableview.h"

#include "document/objectsortfilterproxymodel.h"

#include <QHeaderView>

ItemsTableView::ItemsTableView(QWidget *parent)
    : STableView(parent)
    , m_proxy(new ObjectSortFilterProxyModel(this))
{
    setSortingEnabled(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    horizontalHeader()->setSectionsMovable(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setShowGrid(false);
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
    if (!model)
        return;
    if (useSortFilterProxy) {
        m_proxy->setSourceModel(model);
        STableView::setModel(m_proxy);
    } else {
        STableView::setModel(model);
    }
}

void ItemsTableView::setItemsModel(QAbstractItemModel *model, const QList<int> &visibleColumns,
                                   const QList<int> &fixedColumns)
{
    if (!model)
        return;
    if (useSortFilterProxy) {
        m_proxy->setSourceModel(model);
        model = m_proxy;
    }
    STableView::setItemsModel(model, visibleColumns, fixedColumns);
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
