#include "sshowhidecolumnsmenu.h"

#include <QApplication>
#include <QEvent>
#include <QListView>
#include <QToolButton>

SShowHideColumnsMenu::SShowHideColumnsMenu(QWidget *anchor, int width, int height, int margin)
    : QFrame(anchor, Qt::Popup)
    , m_list(new QListView(this))
{
    setGeometry(popupGeometry(anchor, width, height, margin));
    // Each opening makes a new pop-up: the frame goes when it closes, not with the anchor.
    setAttribute(Qt::WA_DeleteOnClose);
    m_list->setObjectName(QStringLiteral("lvColumns"));
    m_list->setGeometry(0, 0, width, height);
    m_list->setAttribute(Qt::WA_DeleteOnClose);
    m_list->installEventFilter(this);
}

QRect SShowHideColumnsMenu::popupGeometry(const QWidget *anchor, int width, int height, int margin)
{
    const QPoint below = anchor->mapToGlobal(QPoint(0, anchor->height()));
    const QWidget *window = QApplication::activeWindow();
    if (!window)
        window = anchor->window();
    const int right = window->mapToGlobal(QPoint(0, 0)).x() + window->width();
    const int dx = right < below.x() + width ? right - (below.x() + width) - margin : 0;
    return QRect(below.x() + dx, below.y(), width, height);
}

void SShowHideColumnsMenu::setRowsHidden(const QList<int> &rows, bool hidden)
{
    for (int row : rows)
        m_list->setRowHidden(row, hidden);
}

bool SShowHideColumnsMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::Hide) {
        m_list->close();
        close();
        if (auto *button = qobject_cast<QToolButton *>(parentWidget())) {
            // Drops the pressed look the button kept while the pop-up was open.
            button->setEnabled(false);
            button->setEnabled(true);
        }
        return true;
    }
    return QFrame::eventFilter(watched, event);
}
