#pragma once

#include "document/itemsdatabasemodel.h"

#include <QList>

class ItemProperty;

// The table of all entries of one loaded list document. It owns its columns. Its drag format is its name,
// so the items of one list kind never drop into another kind's table.
class ListItemsDatabaseModel : public ItemsDatabaseModel
{
    Q_OBJECT
public:
    ListItemsDatabaseModel(DocItemsDataProvider *provider, const QList<ItemProperty *> &columns, const QString &name,
                           QObject *parent);
    ~ListItemsDatabaseModel() override;

    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
};
