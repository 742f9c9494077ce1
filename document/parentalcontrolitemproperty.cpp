#include "document/parentalcontrolitemproperty.h"

QVariant ParentalControlItemProperty::value(const DocItem &item, int role, bool *found)
{
    const QVariant base = ItemProperty::value(item, role, found);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return base;
    // Empty parts (";1;2", "1;;2") name no child: they show nothing and get no separator.
    QStringList children;
    const QStringList parts = base.toString().split(QLatin1Char(';'));
    for (const QString &part : parts) {
        if (!part.isEmpty())
            children << tr("Child") + QLatin1Char(' ') + part;
    }
    const QString shown = children.join(role == Qt::ToolTipRole ? QStringLiteral("\n") : QStringLiteral("; "));
    return shown;
}

Qt::ItemFlags ParentalControlItemProperty::flags(const DocItem &item)
{
    Qt::ItemFlags result = ItemProperty::flags(item);
    if (!QVariant(item.value(QStringLiteral("parentLock"))).toBool())
        result |= Qt::ItemIsEditable;
    return result;
}
