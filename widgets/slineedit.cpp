#include "widgets/slineedit.h"

#include <QEvent>

SLineEdit::SLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    // Nobody answers the request, so the field shows no context menu.
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QLineEdit::textChanged, this, &SLineEdit::textChanged2, Qt::UniqueConnection);
}

void SLineEdit::setText(const QString &text)
{
    QLineEdit::setText(text);
    setCursorPosition(0);
}

void SLineEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        emit enabledChanged(isEnabled());
}
