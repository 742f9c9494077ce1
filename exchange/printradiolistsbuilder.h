#pragma once

#include "exchange/printservicelistsbuilder.h"

// The page builder of radio lists; its pages are those of TV lists, column titles included.
class PrintRadioListsBuilder final : public PrintServiceListsBuilder
{
public:
    explicit PrintRadioListsBuilder(ListProjectFileManager *manager)
        : PrintServiceListsBuilder(manager)
    {}
};
