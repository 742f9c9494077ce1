#include "widgets/spinboxnochars.h"

#include "widgets/autofixupintvalidator.h"

#include <QLineEdit>

SpinBoxNoChars::SpinBoxNoChars(QWidget *parent)
    : QSpinBox(parent)
    , m_validator(new AutoFixUpIntValidator(minimum(), maximum(), this))
{
    if (lineEdit())
        lineEdit()->setValidator(m_validator);
}

void SpinBoxNoChars::setMinimum(int minimum)
{
    QSpinBox::setMinimum(minimum);
    m_validator->setBottom(QSpinBox::minimum());
}

void SpinBoxNoChars::setMaximum(int maximum)
{
    QSpinBox::setMaximum(maximum);
    m_validator->setTop(QSpinBox::maximum());
}

// The spin box finishes an entry through these two (Return and focus loss bypass the line edit's
// own fix-up), so the validator decides there as well as while typing.
QValidator::State SpinBoxNoChars::validate(QString &input, int &pos) const
{
    return m_validator->validate(input, pos);
}

void SpinBoxNoChars::fixup(QString &input) const
{
    m_validator->fixup(input);
}
