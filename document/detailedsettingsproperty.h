#pragma once

#include "document/itemproperty.h"

#include <QCoreApplication>

// The "Service type" column: shows the reception type of the entry's tuning "config" element; the tuning
// block itself is edited only by the tuning editor, never in the table.
class DetailedSettingsProperty : public ItemProperty
{
    Q_DECLARE_TR_FUNCTIONS(DetailedSettingsProperty)
public:
    using ItemProperty::ItemProperty;
    using ItemProperty::value;

    QVariant value(const DocItem &item, int role, bool *found) override;
    Qt::ItemFlags flags(const DocItem &item) override;

    // The shown text of a "type" attribute value.
    static QString typeText(const QString &type);
};
