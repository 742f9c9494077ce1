#pragma once

#include "widgets/spopupframe.h"

class QTreeView;

// The pop-up under a filter button: a tree of filtered columns and their values with check boxes.
class SFilterMenu : public SPopupFrame
{
    Q_OBJECT

public:
    SFilterMenu(QWidget *anchor, int width, int height, int margin);

    QTreeView *treeView() const { return m_tree; }

private:
    QTreeView *m_tree;
};
