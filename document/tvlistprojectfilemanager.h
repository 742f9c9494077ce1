#pragma once

#include "document/listprojectfilemanager.h"

class AgregateModel;
class AgregateMutlipleValuesModel;

// The tv list kind: its file types, its columns, and per loaded document its provider and models.
class TVListProjectFileManager : public ListProjectFileManager
{
    Q_OBJECT
public:
    explicit TVListProjectFileManager(QWidget *parent);
    ~TVListProjectFileManager() override;

    void setupDocument() override;
    void clearDocument() override;

    AgregateMutlipleValuesModel *genresModel = nullptr;
    AgregateModel *providersModel = nullptr;

private:
    void releaseModels();
};
