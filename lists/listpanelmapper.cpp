#include "lists/listpanelmapper.h"

#include "document/objectsortfilterproxymodel.h"
#include "widgets/enhanceddatawidgetmapper.h"

ListPanelMapper::ListPanelMapper(QObject *parent)
    : QObject(parent)
{}

EnhancedDataWidgetMapper *ListPanelMapper::attach(QAbstractItemModel *items, bool editRestricted)
{
    detach();
    rows = new ObjectSortFilterProxyModel(this);
    rows->setEditRestricted(editRestricted);
    rows->setSourceModel(items);
    dataMapper = new EnhancedDataWidgetMapper(this);
    dataMapper->setModel(rows);
    return dataMapper;
}

void ListPanelMapper::detach()
{
    if (dataMapper) {
        dataMapper->clearMapping();
        dataMapper->deleteLater();
        dataMapper = nullptr;
    }
    if (rows) {
        rows->setSourceModel(nullptr);
        rows->deleteLater();
        rows = nullptr;
    }
}

void ListPanelMapper::showSource(const QModelIndex &source)
{
    if (dataMapper)
        dataMapper->setCurrentIndex(rows->mapFromSource(source).row());
}
