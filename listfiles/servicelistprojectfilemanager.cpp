#include "listfiles/servicelistprojectfilemanager.h"

#include "document/agregatemodel.h"
#include "document/agregatemutliplevaluesmodel.h"
#include "document/docitemsdataprovider.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/servicecolumnset.h"

ServiceListProjectFileManager::ServiceListProjectFileManager(
    const QString &settingsGroup, const QString &projectDescription, const QString &projectExtension,
    const QString &exportDescription, const QString &exportExtension, const QString &serviceTag, QWidget *parent)
    : ListProjectFileManager(settingsGroup, projectDescription, projectExtension, exportDescription, exportExtension,
                             10, parent)
    , serviceTag(serviceTag)
{
    ServiceColumnSet::fillFieldColumns(fieldColumns);
}

ServiceListProjectFileManager::~ServiceListProjectFileManager()
{
    // Nobody may hear about a document that goes with its page.
    blockSignals(true);
    closeDocument();
}

void ServiceListProjectFileManager::setupDocument()
{
    itemsProvider = new DocItemsDataProvider(document->items, serviceTag, true);
    itemsProvider->presetRows(document->takeServices(serviceTag)); // found by the loading walk
    itemsModel = new ListItemsDatabaseModel(itemsProvider, ServiceColumnSet::build(fieldColumns),
                                            exportFileDescription() + QStringLiteral("_item"), this);
    genresModel = new AgregateMutlipleValuesModel(itemsModel, fieldColumns.value(QStringLiteral("genres"), -1), this);
    providersModel = new AgregateModel(itemsModel, fieldColumns.value(QStringLiteral("provider"), -1), QString(), this);
}

void ServiceListProjectFileManager::releaseModels()
{
    // The value models listen to the items model: they go first.
    delete providersModel;
    providersModel = nullptr;
    delete genresModel;
    genresModel = nullptr;
    ListProjectFileManager::releaseModels();
}
