#pragma once

#include "widgets/spopupframe.h"

class QListView;

// The pop-up under a columns button listing the table's columns with check boxes.
class SShowHideColumnsMenu : public SPopupFrame
{
    Q_OBJECT

public:
    SShowHideColumnsMenu(QWidget *anchor, int width, int height, int margin);

    QListView *listView() const { return m_list; }
    void setRowsHidden(const QList<int> &rows, bool hidden);

private:
    QListView *m_list;
};
