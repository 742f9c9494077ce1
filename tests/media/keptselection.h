#pragma once

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include <algorithm>

// The rows view's selection keeps in folder are those its model has there now, not entries the model freed (the
// rows selected name the same files either way, as long as the freed memory is not reused).
inline bool selectionHasRowsOf(const QAbstractItemView &view, const QModelIndex &folder)
{
    const QItemSelection ranges = view.selectionModel()->selection();
    return std::all_of(ranges.cbegin(), ranges.cend(), [&](const QItemSelectionRange &range) {
        return QModelIndex(range.topLeft()) == view.model()->index(range.top(), 0, folder);
    });
}
