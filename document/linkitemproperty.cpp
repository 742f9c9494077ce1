#include "document/linkitemproperty.h"

bool LinkItemProperty::isHidden(const DocItem &item)
{
    return QVariant(item.value(QStringLiteral("@hideURL"))).toBool();
}

QVariant LinkItemProperty::value(const DocItem &item, int role, bool *found)
{
    if (isHidden(item) && (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole))
        return QString(QLatin1String(""));
    return ItemProperty::value(item, role, found);
}

bool LinkItemProperty::setValue(DocItem &item, const QVariant &value, int role)
{
    if (isHidden(item))
        return false;
    return ItemProperty::setValue(item, value, role);
}

Qt::ItemFlags LinkItemProperty::flags(const DocItem &item)
{
    Qt::ItemFlags result = ItemProperty::flags(item);
    if (!isHidden(item))
        result |= Qt::ItemIsEditable | Qt::ItemIsEnabled;
    return result;
}
