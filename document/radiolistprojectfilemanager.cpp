#include "radiolistprojectfilemanager.h"

#include "document/agregatemodel.h"
#include "document/agregatemutliplevaluesmodel.h"
#include "document/docitemsdataprovider.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/servicecolumnset.h"

RadioListProjectFileManager::RadioListProjectFileManager(QWidget *parent)
    : ListProjectFileManager(tr("Ombrelay Radio Lists Project"), QStringLiteral("rdqvxc"),
                             tr("Ombrelay Radio Lists Export File"), QStringLiteral("rdqvx"), 10, parent)
{
    ServiceColumnSet::fillFieldColumns(fieldColumns);
}

RadioListProjectFileManager::~RadioListProjectFileManager()
{
    // Nobody may hear about a document that goes with its page.
    blockSignals(true);
    clearDocument();
}

void RadioListProjectFileManager::setupDocument()
{
    itemsProvider = new DocItemsDataProvider(document->items, QStringLiteral("radioService"), true);
    itemsModel = new ListItemsDatabaseModel(itemsProvider, ServiceColumnSet::build(fieldColumns),
                                            exportFileDescription() + QStringLiteral("_item"), this);
    genresModel = new AgregateMutlipleValuesModel(itemsModel, fieldColumns.value(QStringLiteral("genres"), -1), this);
    providersModel = new AgregateModel(itemsModel, fieldColumns.value(QStringLiteral("provider"), -1), QString(), this);
}

void RadioListProjectFileManager::releaseModels()
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

void RadioListProjectFileManager::clearDocument()
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
