#pragma once

#include <QModelIndex>
#include <QObject>

class EnhancedDataWidgetMapper;
class ObjectSortFilterProxyModel;
class QAbstractItemModel;

// The mapper behind a list page's details panel. It reads the items through a proxy of its own, without
// search, filters or sorting, so an item edited out of the table's search still gets every later edit
// of the panel, and a row of the panel is never a row of the table.
class ListPanelMapper : public QObject
{
    Q_OBJECT
public:
    explicit ListPanelMapper(QObject *parent);

    // A new mapper over its own proxy of items; the proxy restricts editing as the page's table does.
    EnhancedDataWidgetMapper *attach(QAbstractItemModel *items, bool editRestricted);
    // Lets the mapper and its proxy go (later: a caller may be inside one of their signals).
    void detach();
    EnhancedDataWidgetMapper *mapper() const { return dataMapper; }
    ObjectSortFilterProxyModel *model() const { return rows; }
    // Shows the item at this index of the items model.
    void showSource(const QModelIndex &source);

private:
    EnhancedDataWidgetMapper *dataMapper = nullptr;
    ObjectSortFilterProxyModel *rows = nullptr;
};
