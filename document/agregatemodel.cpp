#include "document/agregatemodel.h"

#include "document/agregatedataprovider.h"
#include "document/itemproperty.h"

#include <QHash>

AgregateModel::AgregateModel(ItemsDatabaseModel *sourceModel, int column, const QString &extraValue, QObject *parent)
    : ItemsDatabaseModel(nullptr, parent)
    , sourceModel(sourceModel)
    , agregateProvider(new AgregateDataProvider(sourceModel, column, extraValue))
    , column(column)
{
    provider = agregateProvider; // nothing is shown yet: the values are read on first use
    columns.append(
        new ItemProperty(tr("Value"), QStringLiteral("Value"), QStringLiteral("value"), 4,
                         Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled,
                         QLatin1String(""), nullptr, 0));
    setTracking(true);
}

AgregateModel::~AgregateModel()
{
    qDeleteAll(columns);
    columns.clear();
    provider = nullptr;
    delete agregateProvider;
}

void AgregateModel::setTracking(bool updateNow)
{
    if (sourceModel) {
        connect(sourceModel, &QAbstractItemModel::dataChanged, this, &AgregateModel::onDataChanged,
                Qt::UniqueConnection);
        connect(sourceModel, &QAbstractItemModel::layoutChanged, this, &AgregateModel::update, Qt::UniqueConnection);
    }
    if (updateNow)
        update();
}

void AgregateModel::stopTracking()
{
    if (!sourceModel)
        return;
    disconnect(sourceModel, &QAbstractItemModel::dataChanged, this, &AgregateModel::onDataChanged);
    disconnect(sourceModel, &QAbstractItemModel::layoutChanged, this, &AgregateModel::update);
}

void AgregateModel::update()
{
    emit layoutAboutToBeChanged();
    if (!agregateProvider->isBuilt()) {
        // nobody has looked at the values since they were last read: they are read when first asked for
        emit layoutChanged();
        return;
    }
    // views keep their current value selected across the rebuild: follow it by its text
    const QModelIndexList before = persistentIndexList();
    QStringList beforeTexts;
    for (const QModelIndex &index : before)
        beforeTexts << agregateProvider->elementAt(index.row()).value(QStringLiteral("value"));
    agregateProvider->rebuild();
    QHash<QString, int> rowOfText;
    for (int row = 0; row < agregateProvider->count(); ++row)
        rowOfText.insert(agregateProvider->elementAt(row).value(QStringLiteral("value")), row);
    for (int i = 0; i < before.size(); ++i) {
        const int row = rowOfText.value(beforeTexts.at(i), -1);
        changePersistentIndex(before.at(i), row < 0 ? QModelIndex() : index(row, before.at(i).column()));
    }
    emit layoutChanged();
}

void AgregateModel::onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    const int first = qMin(topLeft.column(), bottomRight.column());
    const int last = qMax(topLeft.column(), bottomRight.column());
    if (column >= first && column <= last)
        update();
}

int AgregateModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : agregateProvider->count();
}

QVariant AgregateModel::data(const QModelIndex &index, int role) const
{
    if ((role == Qt::DisplayRole || role == Qt::EditRole) && index.isValid() && index.row() >= 0 &&
        index.row() < agregateProvider->count()) {
        // the plain text, so that "R&B" does not read back as "R&amp;B"
        return agregateProvider->elementAt(index.row()).value(QStringLiteral("value"));
    }
    return ItemsDatabaseModel::data(index, role);
}
