#include "widgets/spopupframe.h"

#include <QApplication>
#include <QEvent>
#include <QToolButton>

SPopupFrame::SPopupFrame(QWidget *anchor, int width, int height, int margin)
    : QFrame(anchor, Qt::Popup)
{
    setGeometry(popupGeometry(anchor, width, height, margin));
    // Each opening makes a new pop-up: the frame goes when it closes, not with the anchor.
    setAttribute(Qt::WA_DeleteOnClose);
}

QRect SPopupFrame::popupGeometry(const QWidget *anchor, int width, int height, int margin)
{
    const QPoint below = anchor->mapToGlobal(QPoint(0, anchor->height()));
    const QWidget *window = QApplication::activeWindow();
    if (!window)
        window = anchor->window();
    const int right = window->mapToGlobal(QPoint(0, 0)).x() + window->width();
    const int dx = right < below.x() + width ? right - (below.x() + width) - margin : 0;
    return QRect(below.x() + dx, below.y(), width, height);
}

void SPopupFrame::setContent(QWidget *content, int width, int height)
{
    m_content = content;
    content->setGeometry(0, 0, width, height);
    content->setAttribute(Qt::WA_DeleteOnClose);
    content->installEventFilter(this);
}

bool SPopupFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (m_content && watched == m_content && event->type() == QEvent::Hide) {
        m_content->close();
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
