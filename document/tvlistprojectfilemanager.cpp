#include "tvlistprojectfilemanager.h"

#include "document/agregatemodel.h"
#include "document/agregatemutliplevaluesmodel.h"
#include "document/docitemsdataprovider.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/servicecolumnset.h"

TVListProjectFileManager::TVListProjectFileManager(QWidget *parent)
    : ListProjectFileManager(tr("Ombrelay TV Lists Project"), QStringLiteral("tvqvxc"),
                             tr("Ombrelay TV Lists Export File"), QStringLiteral("tvqvx"), 10, parent)
{
    ServiceColumnSet::fillFieldColumns(fieldColumns);
}

TVListProjectFileManager::~TVListProjectFileManager()
{
    // Nobody may hear about a document that goes with its page.
    blockSignals(true);
    clearDocument();
}

void TVListProjectFileManager::setupDocument()
{
    itemsProvider = new DocItemsDataProvider(document->items, QStringLiteral("tvService"), true);
    itemsModel = new ListItemsDatabaseModel(itemsProvider, ServiceColumnSet::build(fieldColumns),
                                            exportFileDescription() + QStringLiteral("_item"), this);
    genresModel = new AgregateMutlipleValuesModel(itemsModel, fieldColumns.value(QStringLiteral("genres"), -1), this);
    providersModel = new AgregateModel(itemsModel, fieldColumns.value(QStringLiteral("provider"), -1), QString(), this);
}

void TVListProjectFileManager::releaseModels()
{
    // The value models listen to the items model, and the items model reads the provider: release them
    // from the top down.
    delete providersModel;
    providersModel = nullptr;
    delete genresModel;
    genresModel = nullptr;
    delete itemsModel;
    itemsModel = nullptr;
    delete itemsProvider;
    itemsProvider = nullptr;
}

void TVListProjectFileManager::clearDocument()
{
    if (!document)
        return;
    emit unloadDocument();
    releaseModels();
    const bool wasBlocked = signalsBlocked();
    blockSignals(true);
    ListProjectFileManager::clearDocument();
    blockSignals(wasBlocked);
}
