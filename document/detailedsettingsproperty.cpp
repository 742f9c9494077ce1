#include "document/detailedsettingsproperty.h"

QString DetailedSettingsProperty::typeText(const QString &type)
{
    if (type == QLatin1String("analog"))
        return tr("Analog");
    if (type == QLatin1String("cable"))
        return tr("Cable");
    if (type == QLatin1String("satellite"))
        return tr("Satellite");
    if (type == QLatin1String("terrestrial"))
        return tr("Terrestrial");
    if (type == QLatin1String("external"))
        return tr("External source");
    return tr("Unknown type");
}

QVariant DetailedSettingsProperty::value(const DocItem &item, int role, bool *found)
{
    if (role != Qt::DisplayRole)
        return ItemProperty::value(item, role, found);
    // the type is an attribute of the config: known without writing the details out as text
    if (path.startsWith(u'<') && !path.contains(u'/')) {
        if (found)
            *found = !DocItem::firstDescendant(item, path.mid(1)).isNull() || !defaultValue.isNull();
    } else {
        ItemProperty::value(item, role, found);
    }
    const QDomElement config = DocItem::firstDescendant(item, QStringLiteral("config"));
    return typeText(config.attribute(QStringLiteral("type")));
}

Qt::ItemFlags DetailedSettingsProperty::flags(const DocItem &item)
{
    return ItemProperty::flags(item) & ~Qt::ItemIsEditable;
}
