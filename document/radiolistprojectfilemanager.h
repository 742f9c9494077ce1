#pragma once

#include "document/listprojectfilemanager.h"

class AgregateModel;
class AgregateMutlipleValuesModel;

// The radio list kind: its file types, its columns, and per loaded document its provider and models.
class RadioListProjectFileManager : public ListProjectFileManager
{
    Q_OBJECT
public:
    explicit RadioListProjectFileManager(QWidget *parent);
    ~RadioListProjectFileManager() override;

    void setupDocument() override;
    void clearDocument() override;

    AgregateMutlipleValuesModel *genresModel = nullptr;
    AgregateModel *providersModel = nullptr;

private:
    void releaseModels();
};
