#include "sfiltermenu.h"

#include "widgets/sshowhidecolumnsmenu.h"

#include <QEvent>
#include <QToolButton>
#include <QTreeView>

SFilterMenu::SFilterMenu(QWidget *anchor, int width, int height, int margin)
    : QFrame(anchor, Qt::Popup)
    , m_tree(new QTreeView(this))
{
    setGeometry(SShowHideColumnsMenu::popupGeometry(anchor, width, height, margin));
    setAttribute(Qt::WA_DeleteOnClose);
    m_tree->setObjectName(QStringLiteral("tvFilterTree"));
    m_tree->setAttribute(Qt::WA_DeleteOnClose);
    m_tree->setAnimated(true);
    m_tree->setHeaderHidden(true);
    m_tree->setGeometry(0, 0, width, height);
    m_tree->installEventFilter(this);
}

bool SFilterMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tree && event->type() == QEvent::Hide) {
        m_tree->close();
        close();
        if (auto *button = qobject_cast<QToolButton *>(parentWidget())) {
            button->setEnabled(false);
            button->setEnabled(true);
        }
        return true;
    }
    return QFrame::eventFilter(watched, event);
}
