#pragma once

#include "document/itemproperty.h"

#include <QMap>

// A column whose stored value is shown through a value-to-text map ("website" as "Website"); a value
// without a mapping shows empty, while its edit value stays the stored one.
class MappedItemProperty : public ItemProperty
{
public:
    using ItemProperty::ItemProperty;
    using ItemProperty::value;

    QVariant value(const DocItem &item, int role, bool *found) override;
    void setMapping(const QMap<QString, QString> &mapping);

    QMap<QString, QString> map;
};
