#include "widgets/iplineedit.h"

#include "base/strictipv4.h"

#include <QKeyEvent>

IPLineEdit::IPLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setInputMask(QStringLiteral("999.999.999.999;"));
}

void IPLineEdit::padOctets(int position)
{
    const int count = position / 4 + 1;
    QStringList parts = text().split(u'.', Qt::KeepEmptyParts);
    for (int i = 0; i < count && i < parts.size(); ++i) {
        QString part = parts.at(i);
        if (part.isEmpty())
            part = QStringLiteral("1");
        parts[i] = part.rightJustified(3, u'0', true);
    }
    setText(parts.join(u'.'));
    setCursorPosition(4 * count - 1);
}

QHostAddress IPLineEdit::address() const
{
    return StrictIPv4::toHostAddress(text());
}

void IPLineEdit::keyPressEvent(QKeyEvent *event)
{
    // Enter on the keypad is Return here as everywhere else in the program: padding by the length of the
    // text made it fill only some of the octets.
    if (event->key() == Qt::Key_Right)
        padOctets(cursorPosition());
    QLineEdit::keyPressEvent(event);
}
