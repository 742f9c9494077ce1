#pragma once

#include "document/docitemsdataprovider.h"

#include <QDomDocument>

class QAbstractItemModel;

// The distinct, trimmed, sorted display texts of one column of another model, each held as a small
// value item ("item" with a "value" child) in a private document, read when first asked for.
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

    // The values are read from the source on first use after a change, not when it happens.
    bool isBuilt() const { return built; }
    void markStale() { built = false; }

protected:
    // builds one value item per entry of texts
    void makeValues();
    void ensureBuilt();

    QString extraValue;
    QList<DocItem> values;
    QStringList texts;
    QDomElement valuesRoot;
    QDomDocument document;
    QAbstractItemModel *sourceModel = nullptr;
    int sourceColumn = 0;
    bool built = false;
};
