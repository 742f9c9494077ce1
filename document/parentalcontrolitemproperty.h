#pragma once

#include "document/itemproperty.h"

#include <QCoreApplication>

// The children-lock column: "1;3" shows as "Child 1; Child 3" (one child per line in the tool tip), and
// the cell is editable only while the entry's parent lock is off.
class ParentalControlItemProperty : public ItemProperty
{
    Q_DECLARE_TR_FUNCTIONS(ParentalControlItemProperty)
public:
    using ItemProperty::ItemProperty;
    using ItemProperty::value;

    QVariant value(const DocItem &item, int role, bool *found) override;
    Qt::ItemFlags flags(const DocItem &item) override;
};
