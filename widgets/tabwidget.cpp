#include "widgets/tabwidget.h"

#include <QApplication>

TabWidget::TabWidget(QWidget *parent)
    : QTabWidget(parent)
{
    setFocusPolicy(Qt::WheelFocus);
    connect(qApp, &QApplication::focusChanged, this, &TabWidget::onFocusChanged);
}

bool TabWidget::holds(const QWidget *widget) const
{
    return widget && (widget == this || isAncestorOf(widget));
}

void TabWidget::onFocusChanged(QWidget *old, QWidget *now)
{
    const bool hadFocus = holds(old);
    const bool hasFocus = holds(now);
    if (hasFocus && !hadFocus)
        emit focusIn();
    else if (hadFocus && !hasFocus)
        emit focusOut();
}
