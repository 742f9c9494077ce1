#pragma once

#include "document/agregatedataprovider.h"

// The distinct single values of a column whose cells hold several values joined by ";".
class AgregateMultipleDataProvider : public AgregateDataProvider
{
public:
    AgregateMultipleDataProvider(QAbstractItemModel *sourceModel, int sourceColumn);

    bool rebuild() override;
};
