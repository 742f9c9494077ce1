#pragma once

#include "document/itemproperty.h"

// The "Url" column of links: an entry whose "hideURL" reads true keeps its address hidden, disabled and
// unchangeable.
class LinkItemProperty : public ItemProperty
{
public:
    using ItemProperty::ItemProperty;
    using ItemProperty::value;

    QVariant value(const DocItem &item, int role, bool *found) override;
    bool setValue(DocItem &item, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const DocItem &item) override;

    static bool isHidden(const DocItem &item);
};
