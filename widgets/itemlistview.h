#pragma once

#include "widgets/stableview.h"

// The table of one favourite list: dropped rows move.
class ItemListView : public STableView
{
    Q_OBJECT

public:
    explicit ItemListView(QWidget *parent = nullptr);
};
