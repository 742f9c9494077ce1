#include "widgets/sfiltermenu.h"

#include <QTreeView>

SFilterMenu::SFilterMenu(QWidget *anchor, int width, int height, int margin)
    : SPopupFrame(anchor, width, height, margin)
    , m_tree(new QTreeView(this))
{
    m_tree->setObjectName(QStringLiteral("tvFilterTree"));
    m_tree->setAnimated(true);
    m_tree->setHeaderHidden(true);
    setContent(m_tree, width, height);
}
