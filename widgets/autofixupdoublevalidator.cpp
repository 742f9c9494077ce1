#include "widgets/autofixupdoublevalidator.h"

AutoFixUpDoubleValidator::AutoFixUpDoubleValidator(QObject *parent)
    : QDoubleValidator(parent)
{}

QValidator::State AutoFixUpDoubleValidator::validate(QString &input, int &pos) const
{
    if (input.contains(u'+')) {
        input.remove(u'+');
        pos = qBound(0, pos - 1, int(input.size()));
    }
    return QDoubleValidator::validate(input, pos);
}

void AutoFixUpDoubleValidator::fixup(QString &input) const
{
    bool ok = false;
    const double value = input.toDouble(&ok);
    double fixed = bottom();
    if (ok && !qIsNaN(value))
        fixed = value < bottom() ? bottom() : (value > top() ? top() : value);
    input = QString::number(fixed, 'g', 6);
}
