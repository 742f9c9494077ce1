#include "document/parentalcontrolitemproperty.h"

QVariant ParentalControlItemProperty::value(const DocItem &item, int role, bool *found)
{
    const QVariant base = ItemProperty::value(item, role, found);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return base;
    const QStringList parts = base.toString().split(QLatin1Char(';'));
    QString shown;
    for (int i = 0; i < parts.size(); ++i) {
        if (parts.at(i).isEmpty())
            continue;
        if (i > 0)
            shown += QStringLiteral("; ");
        shown += tr("Child") + QLatin1Char(' ') + parts.at(i);
    }
    if (role == Qt::ToolTipRole)
        shown.replace(QStringLiteral("; "), QStringLiteral("\n"));
    return shown;
}

Qt::ItemFlags ParentalControlItemProperty::flags(const DocItem &item)
{
    Qt::ItemFlags result = ItemProperty::flags(item);
    if (!QVariant(item.value(QStringLiteral("parentLock"))).toBool())
        result |= Qt::ItemIsEditable;
    return result;
}
