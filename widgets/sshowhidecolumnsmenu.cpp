#include "widgets/sshowhidecolumnsmenu.h"

#include <QListView>

SShowHideColumnsMenu::SShowHideColumnsMenu(QWidget *anchor, int width, int height, int margin)
    : SPopupFrame(anchor, width, height, margin)
    , m_list(new QListView(this))
{
    m_list->setObjectName(QStringLiteral("lvColumns"));
    setContent(m_list, width, height);
}

void SShowHideColumnsMenu::setRowsHidden(const QList<int> &rows, bool hidden)
{
    for (int row : rows)
        m_list->setRowHidden(row, hidden);
}
