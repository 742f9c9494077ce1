#pragma once

#include "listfiles/listprojectfilemanager.h"

class AgregateModel;

// The internet-link list kind: its file types, its columns, and per loaded document its provider and models.
class LinkListProjectFileManager : public ListProjectFileManager
{
    Q_OBJECT
public:
    explicit LinkListProjectFileManager(QWidget *parent);
    ~LinkListProjectFileManager() override;

    void setupDocument() override;
    QString itemTag() const override { return QStringLiteral("link"); }

    AgregateModel *genresModel = nullptr;

protected:
    void releaseModels() override;
};
