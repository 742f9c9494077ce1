#pragma once

#include "exchange/printservicelistsbuilder.h"

// The page builder of TV lists.
class PrintTVListsBuilder final : public PrintServiceListsBuilder
{
public:
    explicit PrintTVListsBuilder(ListProjectFileManager *manager)
        : PrintServiceListsBuilder(manager)
    {}
};
