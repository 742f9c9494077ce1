#pragma once

#include "document/docitemsdataprovider.h"
#include "document/itemsdatabasemodel.h"

#include <QDomDocument>
#include <QMap>

// A one-column model of label/value pairs: a row shows its translated label and carries its value as edit
// data; the pairing is also kept as two maps.
class DisplayEditDataModel : public ItemsDatabaseModel
{
    Q_OBJECT
public:
    explicit DisplayEditDataModel(QObject *parent);

    void setValues(const QString &label, const QString &value);
    QMap<QString, QString> labelsByValue() const { return labelsByValueMap; }
    QMap<QString, QString> valuesByLabel() const { return valuesByLabelMap; }

    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QDomDocument pairs;
    DocItemsDataProvider pairsProvider;
    QMap<QString, QString> labelsByValueMap;
    QMap<QString, QString> valuesByLabelMap;
};
