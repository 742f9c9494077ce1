#pragma once

#include "base/columnfilter.h"

#include <QList>
#include <QSortFilterProxyModel>

// Sorts and filters an items table: column 0 shows each entry's place on the current favourite list,
// names sort in natural order, the filter pop-up's value filters and the search text hide rows, and
// TV and radio lists restrict which cells can be edited.
class ObjectSortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit ObjectSortFilterProxyModel(QObject *parent = nullptr);

    void setEditRestricted(bool restricted);
    void setColumnFilters(QList<ColumnFilter> *filters);
    void setListOrder(const QList<int> &ids);
    QList<int> idsOfIndexes(const QModelIndexList &indexes) const;
    QList<int> visibleIds() const;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

public slots:
    void setItemsSearchFilter(const QString &patternStr);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    int listPosition(int id) const;
    int sortPosition(const QModelIndex &sourceIndex) const;

    // the rank of each source row in the sort column's order, worked out once per sort instead of
    // reading two cells for every comparison
    QList<int> sortRanks;

    QList<ColumnFilter> *columnFilters = nullptr;
    bool editRestricted = false;
    QList<int> listOrder;
};
