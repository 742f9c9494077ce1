#include "widgets/rowselectionkeeper.h"

#include "document/objectsortfilterproxymodel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QTableView>

#include <algorithm>
#include <utility>

RowSelectionKeeper::RowSelectionKeeper(ObjectSortFilterProxyModel *proxy, QAbstractItemView *view)
    : QObject(proxy)
    , proxy(proxy)
    , view(view)
{
    connect(proxy, &QAbstractItemModel::layoutAboutToBeChanged, this, &RowSelectionKeeper::takeSelection);
    connect(proxy, &QAbstractItemModel::layoutChanged, this, &RowSelectionKeeper::restoreSelection);
}

QItemSelectionModel *RowSelectionKeeper::selectionOverProxy() const
{
    QItemSelectionModel *selection = view && proxy ? view->selectionModel() : nullptr;
    return selection && selection->model() == proxy ? selection : nullptr;
}

void RowSelectionKeeper::takeSelection()
{
    holding = false;
    sourceRows.clear();
    QItemSelectionModel *selection = selectionOverProxy();
    // When the source moves its own rows, source rows noted now would name other entries afterwards: the
    // models carry the selection then (the table's own removal clears it before).
    if (!selection || proxy->isFollowingSourceLayout())
        return;
    const QItemSelection ranges = selection->selection();
    const int lastColumn = proxy->columnCount() - 1;
    for (const QItemSelectionRange &range : ranges) {
        // only whole rows are set again as they were; any other selection is left to the selection model
        if (!range.isValid() || range.parent().isValid() || range.left() != 0 || range.right() != lastColumn)
            return;
    }
    if (ranges.isEmpty())
        return;
    for (const QItemSelectionRange &range : ranges)
        for (int row = range.top(); row <= range.bottom(); ++row)
            sourceRows << proxy->mapToSource(proxy->index(row, 0)).row();
    std::sort(sourceRows.begin(), sourceRows.end());
    sourceRows.erase(std::unique(sourceRows.begin(), sourceRows.end()), sourceRows.end());
    oneBlock = ranges.size() == 1;
    // The listeners hear of no change: the selection is the same once the proxy is done, but for the rows
    // it no longer shows, which leave it unannounced as they do when the selection model carries them.
    const QSignalBlocker quiet(selection);
    selection->clearSelection();
    holding = true;
}

void RowSelectionKeeper::restoreSelection()
{
    if (!holding)
        return;
    holding = false;
    const QList<int> rows = std::exchange(sourceRows, {});
    QItemSelectionModel *selection = selectionOverProxy();
    const QAbstractItemModel *source = proxy ? proxy->sourceModel() : nullptr;
    if (!selection || !source)
        return;
    QList<int> shown;
    shown.reserve(rows.size());
    const int sourceCount = source->rowCount();
    for (const int row : rows) {
        const QModelIndex at = row < sourceCount ? proxy->mapFromSource(source->index(row, 0)) : QModelIndex();
        if (at.isValid())
            shown << at.row();
    }
    std::sort(shown.begin(), shown.end());
    QItemSelection blocks;
    const int lastColumn = proxy->columnCount() - 1;
    for (qsizetype start = 0; start < shown.size();) {
        qsizetype end = start;
        while (end + 1 < shown.size() && shown.at(end + 1) == shown.at(end) + 1)
            ++end;
        blocks.append(QItemSelectionRange(proxy->index(shown.at(start), 0), proxy->index(shown.at(end), lastColumn)));
        start = end + 1;
    }
    if (blocks.isEmpty())
        return;
    const QSignalBlocker quiet(selection);
    selection->select(blocks, QItemSelectionModel::Select);
    // a selection without Current finishes the blocks set before it
    if (!oneBlock)
        selection->select(QItemSelection(), QItemSelectionModel::Select);
}

void RowSelectionKeeper::spareHeader(QTableView *view)
{
    static const QString name = QStringLiteral("headerOwnSelection");
    QHeaderView *header = view->horizontalHeader();
    QAbstractItemModel *model = view->model();
    if (!header || !model || header->model() != model)
        return;
    QItemSelectionModel *kept = header->findChild<QItemSelectionModel *>(name, Qt::FindDirectChildrenOnly);
    if (kept && kept->model() != model) {
        delete kept;
        kept = nullptr;
    }
    if (!kept) {
        kept = new QItemSelectionModel(model, header);
        kept->setObjectName(name);
    }
    header->setSelectionModel(kept);
}
