#pragma once

// A small TV list: a list document, its provider over "items" and an items model whose columns are
// laid out like the TV list's (0 list position, 1 name, 2 provider, 3 genres, 4 epg, 5 parent lock,
// 6 children lock, 7 service type, 8 index).

#include "document/docitemsdataprovider.h"
#include "document/itemproperty.h"
#include "document/itemsdatabasemodel.h"
#include "document/listdocument.h"

#include <memory>

class ServicesModel : public ItemsDatabaseModel
{
public:
    ServicesModel(DocItemsDataProvider *provider, const QString &modelName)
        : ItemsDatabaseModel(provider, nullptr)
    {
        name = modelName;
        const Qt::ItemFlags readOnly = Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled;
        const Qt::ItemFlags editable = readOnly | Qt::ItemIsEditable;
        columns << new ItemProperty("# on list", "# on list", "@pos", 4, readOnly, "", nullptr, 0)
                << new ItemProperty("Name", "Name", "name", 4, editable, "", nullptr, 0)
                << new ItemProperty("Provider", "Provider", "provider", 4, editable, "", nullptr, 0)
                << new ItemProperty("Genres", "Genres", "genres", 4, editable, "", nullptr, 0)
                << new ItemProperty("EPG", "EPG", "@epgMarked", 8, editable, "false", nullptr, 0)
                << new ItemProperty("Parent lock", "Parent lock", "parentLock", 8, editable, "false", nullptr, 0)
                << new ItemProperty("Children lock", "Children lock", "childrenLock", 4, editable, "", nullptr, 0)
                << new ItemProperty("Service type", "Service type", "@stype", 4, readOnly, "", nullptr, 0)
                << new ItemProperty("Index", "Index", "@id", 4, editable, "", nullptr, 0);
        columns.at(5)->dependentColumns << 6;
    }
    ~ServicesModel() override { qDeleteAll(columns); }
};

struct ServicesFixture
{
    explicit ServicesFixture(const QString &items, const QString &lists = QString(),
                             const QString &modelName = "TV_item")
        : document(QStringLiteral("<TDocument><documentProperties/><items>%1</items><lists>%2</lists></TDocument>")
                       .arg(items, lists))
        , provider(document.items, "tvService", true)
        , model(&provider, modelName)
    {}

    static QString service(int id, const QString &name, const QString &provider = QString(),
                           const QString &extra = QString())
    {
        return QStringLiteral("<tvService id='%1'%4><name>%2</name><provider>%3</provider></tvService>")
            .arg(QString::number(id), name, provider, extra);
    }

    QStringList names()
    {
        QStringList result;
        for (int row = 0; row < provider.count(); ++row)
            result << provider.itemAt(row).value("name");
        return result;
    }

    QStringList ids()
    {
        QStringList result;
        for (int row = 0; row < provider.count(); ++row)
            result << provider.itemAt(row).id();
        return result;
    }

    ListDocument document;
    DocItemsDataProvider provider;
    ServicesModel model;
};
