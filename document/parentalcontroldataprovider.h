#pragma once

#include "document/docitemsdataprovider.h"

#include <QDomDocument>

// The four children a locked entry can be hidden from, numbered 1 to 4.
class ParentalControlDataProvider : public DocItemsDataProvider
{
public:
    ParentalControlDataProvider();

private:
    QDomDocument children;
};
