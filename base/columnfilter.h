#pragma once

#include <QStringList>

class QAbstractItemModel;

// One column's value filter: the list page owns a list of these, the filter pop-up edits it and the
// sort and filter proxy applies it. An empty checkedValues filters nothing.
struct ColumnFilter
{
    ColumnFilter(int column, QAbstractItemModel *valuesModel, bool multiValue, bool includeEmpty,
                 const QStringList &checkedValues)
        : column(column)
        , valuesModel(valuesModel)
        , multiValue(multiValue)
        , includeEmpty(includeEmpty)
        , checkedValues(checkedValues)
    {}

    int column;
    QAbstractItemModel *valuesModel;
    bool multiValue;   // cells hold several values separated by ";"
    bool includeEmpty; // the pop-up offers an entry for the empty value
    QStringList checkedValues;
};
