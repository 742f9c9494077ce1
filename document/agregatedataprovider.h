#pragma once

#include "document/docitemsdataprovider.h"

#include <QDomDocument>

class QAbstractItemModel;

// The distinct, trimmed, sorted display texts of one column of another model, each held as a small
// value item ("item" with a "value" child) in a private document.
class AgregateDataProvider : public DocItemsDataProvider
{
public:
    AgregateDataProvider(QAbstractItemModel *sourceModel, int sourceColumn, const QString &extraValue);

    int count() override;
    bool contains(const QString &id) override;
    DocItem insertNewItem(int row) override;
    QString nextId() override;

    virtual DocItem elementAt(int row);
    virtual int rowOfId(const QString &id);
    virtual bool rebuild();

protected:
    // builds one value item per entry of texts
    void makeValues();

    QString extraValue;
    QList<DocItem> values;
    QStringList texts;
    QDomElement valuesRoot;
    QDomDocument document;
    QAbstractItemModel *sourceModel = nullptr;
    int sourceColumn = 0;
};
