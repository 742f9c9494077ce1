#include "widgets/itemstableview.h"

#include "document/objectsortfilterproxymodel.h"
#include "widgets/pendingsearchguard.h"
#include "widgets/rowselectionkeeper.h"

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
    new RowSelectionKeeper(m_proxy, this); // before the view's selection model listens to the proxy
    connect(this, &QAbstractItemView::pressed, this, &ItemsTableView::onCellPressedEdit);
    m_guard = new PendingSearchGuard(m_proxy, this);
    connect(m_proxy, &ObjectSortFilterProxyModel::filterAboutToChange, this, &ItemsTableView::writeOpenEditor);
    // The proxy removes a whole selection at once instead of run by run; the selection, whose rows all
    // go, is cleared once first instead of being mended through the removal.
    connect(this, &STableView::onBeforeDelete, m_proxy, &ObjectSortFilterProxyModel::beginRowRemoval);
    connect(this, &STableView::onEndDelete, this, [this] {
        if (m_proxy->hasPendingRemoval() && selectionModel())
            selectionModel()->clearSelection();
        m_proxy->endRowRemoval();
    });
}

ItemsTableView::~ItemsTableView()
{
    // The guard may be watching the whole program's input, which goes on while the parts of this view
    // are torn down: it goes first.
    delete m_guard;
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

bool ItemsTableView::edit(const QModelIndex &index, QAbstractItemView::EditTrigger trigger, QEvent *event)
{
    const bool handled = STableView::edit(index, trigger, event);
    if (handled && state() == QAbstractItemView::EditingState)
        editedIndex = index;
    return handled;
}

void ItemsTableView::setSelectionModel(QItemSelectionModel *selectionModel)
{
    STableView::setSelectionModel(selectionModel);
    RowSelectionKeeper::spareHeader(this);
}

// A filter change may hide the row of an open editor, and the view then drops the editor unwritten (and
// stays in its editing state, which refuses every later editor). The editor is written and closed first,
// as when the focus leaves it.
void ItemsTableView::writeOpenEditor()
{
    if (state() != QAbstractItemView::EditingState || !editedIndex.isValid())
        return;
    QWidget *editor = indexWidget(editedIndex);
    if (!editor)
        return;
    commitData(editor);
    // the page may have answered the written value by closing the editor already
    if (state() == QAbstractItemView::EditingState && editedIndex.isValid() && indexWidget(editedIndex) == editor)
        closeEditor(editor, QAbstractItemDelegate::NoHint);
}

// A row action takes the rows the search text leaves, never those shown only while it waits.
void ItemsTableView::settleRows()
{
    m_proxy->finishSearch();
}

void ItemsTableView::startDrag(Qt::DropActions supportedActions)
{
    settleRows();
    STableView::startDrag(supportedActions);
}
