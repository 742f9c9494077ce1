#pragma once

#include "document/itemsdatabasemodel.h"

class AgregateMultipleDataProvider;

// The distinct single values of a multi-valued column (such as the genres) of another model, sorted, for
// the choice editors. It follows the source while attached.
class AgregateMutlipleValuesModel : public ItemsDatabaseModel
{
    Q_OBJECT
public:
    AgregateMutlipleValuesModel(QAbstractItemModel *source, int column, QObject *parent);
    ~AgregateMutlipleValuesModel() override;

    void attachSource(bool updateNow);
    void detachSource();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

public slots:
    void update();

private slots:
    void onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);

private:
    AgregateMultipleDataProvider *provider = nullptr;
    QAbstractItemModel *source = nullptr;
    int sourceColumn = -1;
    QMetaObject::Connection dataConnection;
    QMetaObject::Connection layoutConnection;
};
