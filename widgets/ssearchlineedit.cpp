#include "widgets/ssearchlineedit.h"

SSearchLineEdit::SSearchLineEdit(QWidget *parent)
    : HintLineEdit(QStringLiteral("#cccccc"), parent, HintAsPlaceholder)
{}

QString SSearchLineEdit::typedStyle(const QString &text) const
{
    if (!text.isEmpty() && !isHintShown())
        return QStringLiteral("QLineEdit{color:black; background:qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 "
                              "rgb(255, 210, 60), stop: 1 #FFFFFF);border: 1px solid #cccccc;}");
    return QStringLiteral("QLineEdit{color:black; background:white;border: 1px solid #cccccc;}");
}
