#include "widgets/stabwidget.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QTabBar>

STabWidget::STabWidget(QWidget *parent)
    : QTabWidget(parent)
{
    setAcceptDrops(true);
}

int STabWidget::maximumTabCount() const
{
    return maxTabCount;
}

void STabWidget::setMaximumTabCount(int count)
{
    maxTabCount = count;
}

int STabWidget::tabAtPosition(const QPoint &position) const
{
    return tabBar()->tabAt(tabBar()->mapFrom(this, position));
}

void STabWidget::dragEnterEvent(QDragEnterEvent *event)
{
    event->setDropAction(Qt::IgnoreAction);
    const int tab = tabAtPosition(event->position().toPoint());
    if (tab >= 0) {
        setCurrentIndex(tab);
        event->accept();
    }
    QTabWidget::dragEnterEvent(event);
}

void STabWidget::dragMoveEvent(QDragMoveEvent *event)
{
    const int tab = tabAtPosition(event->position().toPoint());
    if (tab >= 0)
        setCurrentIndex(tab);
    QTabWidget::dragMoveEvent(event);
}
