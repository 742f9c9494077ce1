#pragma once

#include "document/itemsdatabasemodel.h"

class AgregateDataProvider;

// One column: the sorted distinct values of one column of another items model, rebuilt when that
// column or the source's layout changes while tracking is on.
class AgregateModel : public ItemsDatabaseModel
{
    Q_OBJECT

public:
    AgregateModel(ItemsDatabaseModel *sourceModel, int column, const QString &extraValue, QObject *parent);
    ~AgregateModel() override;

    void setTracking(bool updateNow);
    void stopTracking();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

public slots:
    void update();

private slots:
    void onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);

private:
    ItemsDatabaseModel *sourceModel;
    AgregateDataProvider *agregateProvider;
    int column;
};
