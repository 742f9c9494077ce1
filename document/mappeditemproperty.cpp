#include "document/mappeditemproperty.h"

QVariant MappedItemProperty::value(const DocItem &item, int role, bool *found)
{
    const QVariant base = ItemProperty::value(item, role, found);
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return map.value(base.toString(), QString());
    return base;
}

void MappedItemProperty::setMapping(const QMap<QString, QString> &mapping)
{
    map = mapping;
}
