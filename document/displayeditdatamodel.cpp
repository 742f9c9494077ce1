#include "document/displayeditdatamodel.h"

DisplayEditDataModel::DisplayEditDataModel(QObject *parent)
    : ItemsDatabaseModel(nullptr, parent)
{
    pairs.setContent(QStringLiteral("<doc/>"));
    pairsProvider.setRoot(pairs.documentElement(), QStringLiteral("item"));
    setDataProvider(&pairsProvider);
}

void DisplayEditDataModel::setValues(const QString &label, const QString &value)
{
    DocItem item = pairsProvider.newItem();
    item.setValue(QStringLiteral("label"), label, 2);
    item.setValue(QStringLiteral("value"), value, 2);
    insertItem(rowCount(), item);
    labelsByValueMap.insert(value, label);
    valuesByLabelMap.insert(label, value);
}

int DisplayEditDataModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant DisplayEditDataModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.column() < 0 || index.row() >= rowCount())
        return {};
    const DocItem item = dataProvider()->itemAt(index.row());
    if (role == Qt::DisplayRole)
        return QObject::tr(item.value(QStringLiteral("label")).toUtf8().constData());
    if (role == Qt::EditRole)
        return item.value(QStringLiteral("value"));
    return {};
}

Qt::ItemFlags DisplayEditDataModel::flags(const QModelIndex &index) const
{
    return QAbstractItemModel::flags(index);
}
