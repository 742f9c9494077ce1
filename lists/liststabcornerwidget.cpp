#include "lists/liststabcornerwidget.h"

#include <QEvent>

ListsTabCornerWidget::ListsTabCornerWidget(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    connect(newListToolButton, &QToolButton::clicked, this, &ListsTabCornerWidget::newList, Qt::UniqueConnection);
    connect(deleteListToolButton, &QToolButton::clicked, this, &ListsTabCornerWidget::deleteCurrentList,
            Qt::UniqueConnection);
}

void ListsTabCornerWidget::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslateUi(this);
}
