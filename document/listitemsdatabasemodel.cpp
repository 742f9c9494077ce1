#include "document/listitemsdatabasemodel.h"

#include "document/itemproperty.h"

ListItemsDatabaseModel::ListItemsDatabaseModel(DocItemsDataProvider *provider, const QList<ItemProperty *> &columns,
                                               const QString &name, QObject *parent)
    : ItemsDatabaseModel(provider, parent)
{
    this->columns = columns;
    this->name = name;
    setObjectName(name);
}

ListItemsDatabaseModel::~ListItemsDatabaseModel()
{
    qDeleteAll(columns);
    columns.clear();
}

Qt::DropActions ListItemsDatabaseModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::LinkAction;
}

Qt::DropActions ListItemsDatabaseModel::supportedDragActions() const
{
    return Qt::CopyAction | Qt::LinkAction;
}
