#pragma once

#include "listfiles/listprojectfilemanager.h"

class AgregateModel;
class AgregateMutlipleValuesModel;

// What the TV and radio list kinds share: the service columns, and per loaded document the provider
// of the service elements, the items model and the value models of the genres and providers. The two
// kinds differ only in the service element's name and their file types.
class ServiceListProjectFileManager : public ListProjectFileManager
{
    Q_OBJECT
public:
    ~ServiceListProjectFileManager() override;

    void setupDocument() override;
    QString itemTag() const override { return serviceTag; }

    AgregateMutlipleValuesModel *genresModel = nullptr;
    AgregateModel *providersModel = nullptr;

protected:
    ServiceListProjectFileManager(const QString &settingsGroup, const QString &projectDescription,
                                  const QString &projectExtension, const QString &exportDescription,
                                  const QString &exportExtension, const QString &serviceTag, QWidget *parent);

    void releaseModels() override;

private:
    QString serviceTag;
};
