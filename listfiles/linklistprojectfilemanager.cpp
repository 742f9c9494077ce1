#include "listfiles/linklistprojectfilemanager.h"

#include "document/agregatemodel.h"
#include "document/docitemsdataprovider.h"
#include "document/itemproperty.h"
#include "document/linkitemproperty.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/mappeditemproperty.h"
#include "document/parentalcontrolitemproperty.h"

namespace {
const Qt::ItemFlags readOnly(Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled);
const Qt::ItemFlags editable = readOnly | Qt::ItemIsEditable;
} // namespace

LinkListProjectFileManager::LinkListProjectFileManager(QWidget *parent)
    : ListProjectFileManager(QStringLiteral("LinkListModule/Project"), tr("Ombrelay Internet Link Lists Project"),
                             QStringLiteral("lkqvxc"), tr("Ombrelay Internet Link Lists Export File"),
                             QStringLiteral("lkqvx"), 10, parent)
{
    const char *keys[] = {"position", "title",      "url",          "description", "genres",
                          "type",     "parentLock", "childrenLock", "@id"};
    for (int column = 0; column < 9; ++column)
        fieldColumns.insert(QString::fromLatin1(keys[column]), column);
}

LinkListProjectFileManager::~LinkListProjectFileManager()
{
    // Nobody may hear about a document that goes with its page.
    blockSignals(true);
    closeDocument();
}

void LinkListProjectFileManager::setupDocument()
{
    itemsProvider = new DocItemsDataProvider(document->items, QStringLiteral("link"), true);
    const QString unspecified = QObject::tr("Unspecified");

    QList<ItemProperty *> columns;
    columns << new ItemProperty(QObject::tr("# on list"), QStringLiteral("# on list"), QStringLiteral("@pos"), 4,
                                readOnly, QString(), nullptr, 0);
    columns << new ItemProperty(QObject::tr("Title"), QStringLiteral("Title"), QStringLiteral("title"), 4, editable,
                                QString(), nullptr, 0);
    columns << new LinkItemProperty(QObject::tr("Url"), QStringLiteral("Url"), QStringLiteral("url"), 4,
                                    Qt::ItemIsSelectable | Qt::ItemIsDragEnabled, QString(), nullptr, 0);
    columns << new ItemProperty(QObject::tr("Description"), QStringLiteral("Description"),
                                QStringLiteral("description"), 4, editable, QString(), nullptr, 0);
    columns << new ItemProperty(QObject::tr("Genres"), QStringLiteral("Genres"), QStringLiteral("genres"), 4, readOnly,
                                unspecified, nullptr, 0);
    columns << new MappedItemProperty(QObject::tr("Type"), QStringLiteral("Type"), QStringLiteral("type"), 4, editable,
                                      QString(), nullptr, 0);
    auto *parentLock = new ItemProperty(tr("Parent lock"), QStringLiteral("Parent lock"), QStringLiteral("parentLock"),
                                        8, editable, QStringLiteral("false"), nullptr, 0);
    // The children lock is read-only while the parent lock is set, so its cell is redrawn with it.
    parentLock->dependentColumns.append(fieldColumns.value(QStringLiteral("childrenLock"), -1));
    columns << parentLock;
    columns << new ParentalControlItemProperty(QObject::tr("Children lock"), QStringLiteral("Children lock"),
                                               QStringLiteral("childrenLock"), 4, readOnly, QString(), nullptr, 0);
    columns << new ItemProperty(QObject::tr("Index"), QStringLiteral("Index"), QStringLiteral("@id"), 4, editable,
                                QString(), nullptr, 0);

    itemsModel =
        new ListItemsDatabaseModel(itemsProvider, columns, exportFileDescription() + QStringLiteral("_item"), this);
    genresModel = new AgregateModel(itemsModel, fieldColumns.value(QStringLiteral("genres"), -1), unspecified, this);
}

void LinkListProjectFileManager::releaseModels()
{
    // The value model listens to the items model: it goes first.
    delete genresModel;
    genresModel = nullptr;
    ListProjectFileManager::releaseModels();
}
