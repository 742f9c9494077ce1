#include "document/parentalcontrolmodel.h"

#include "document/parentalcontrolitemproperty.h"

ParentalControlModel::ParentalControlModel(QObject *parent)
    : ItemsDatabaseModel(nullptr, parent)
{
    setDataProvider(&children);
    columns.append(new ParentalControlItemProperty(QObject::tr("Name"), QStringLiteral("Name"), QString(), 4,
                                                   Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled,
                                                   QString(), nullptr, 0));
}

ParentalControlModel::~ParentalControlModel()
{
    qDeleteAll(columns);
    columns.clear();
}
