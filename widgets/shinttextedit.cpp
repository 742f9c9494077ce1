#include "widgets/shinttextedit.h"

SHintTextEdit::SHintTextEdit(QWidget *parent)
    : HintLineEdit(QStringLiteral("#8f8f91"), parent)
{}

QString SHintTextEdit::typedStyle(const QString &) const
{
    return QStringLiteral("QLineEdit{color:black;}");
}
