#include "widgets/autofixupintvalidator.h"

AutoFixUpIntValidator::AutoFixUpIntValidator(QObject *parent)
    : QIntValidator(parent)
{}

AutoFixUpIntValidator::AutoFixUpIntValidator(int bottom, int top, QObject *parent)
    : QIntValidator(bottom, top, parent)
{}

QValidator::State AutoFixUpIntValidator::validate(QString &input, int &pos) const
{
    if (input.contains(u'+')) {
        input.remove(u'+');
        pos = qBound(0, pos - 1, int(input.size()));
    }
    return QIntValidator::validate(input, pos);
}

void AutoFixUpIntValidator::fixup(QString &input) const
{
    bool ok = false;
    const int value = input.toInt(&ok, 10);
    const int fixed = ok ? qBound(bottom(), value, qMax(bottom(), top())) : bottom();
    input = QString::number(fixed);
}
