#include "document/agregatemutliplevaluesmodel.h"

#include "document/agregatemultipledataprovider.h"
#include "document/itemproperty.h"

AgregateMutlipleValuesModel::AgregateMutlipleValuesModel(QAbstractItemModel *source, int column, QObject *parent)
    : ItemsDatabaseModel(nullptr, parent)
    , provider(new AgregateMultipleDataProvider(source, column))
    , source(source)
    , sourceColumn(column)
{
    ItemsDatabaseModel::provider = provider; // the values are read on first use
    columns.append(new ItemProperty(QObject::tr("Value"), QStringLiteral("Value"), QStringLiteral("value"), 4,
                                    Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled, QString(),
                                    nullptr, 0));
    attachSource(true);
}

AgregateMutlipleValuesModel::~AgregateMutlipleValuesModel()
{
    detachSource();
    qDeleteAll(columns);
    columns.clear();
    delete provider;
}

void AgregateMutlipleValuesModel::attachSource(bool updateNow)
{
    if (source) {
        if (!dataConnection)
            dataConnection =
                connect(source, &QAbstractItemModel::dataChanged, this, &AgregateMutlipleValuesModel::onDataChanged);
        if (!layoutConnection)
            layoutConnection =
                connect(source, &QAbstractItemModel::layoutChanged, this, &AgregateMutlipleValuesModel::update);
    }
    if (updateNow)
        update();
}

void AgregateMutlipleValuesModel::detachSource()
{
    disconnect(dataConnection);
    disconnect(layoutConnection);
    dataConnection = {};
    layoutConnection = {};
}

void AgregateMutlipleValuesModel::update()
{
    // The number of values changes with a rebuild: a reset, so views and persistent indexes stay sound.
    // read again when next asked for
    beginResetModel();
    provider->markStale();
    endResetModel();
}

void AgregateMutlipleValuesModel::onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    const int first = qMin(topLeft.column(), bottomRight.column());
    const int last = qMax(topLeft.column(), bottomRight.column());
    if (sourceColumn >= first && sourceColumn <= last)
        update();
}

int AgregateMutlipleValuesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : provider->count();
}

QVariant AgregateMutlipleValuesModel::data(const QModelIndex &index, int role) const
{
    if ((role == Qt::DisplayRole || role == Qt::EditRole) && index.isValid() && index.row() < provider->count()) {
        // The plain value, so a choice writes "R&B" and not its markup.
        return provider->elementAt(index.row()).value(QStringLiteral("value"));
    }
    return ItemsDatabaseModel::data(index, role);
}
