#pragma once

#include "document/itemsdatabasemodel.h"
#include "document/parentalcontroldataprovider.h"

// The choices of the children-lock editors: "Child 1" to "Child 4" with the values "1" to "4".
class ParentalControlModel : public ItemsDatabaseModel
{
    Q_OBJECT
public:
    explicit ParentalControlModel(QObject *parent);
    ~ParentalControlModel() override;

private:
    ParentalControlDataProvider children;
};
