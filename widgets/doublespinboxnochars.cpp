#include "widgets/doublespinboxnochars.h"

#include "widgets/autofixupdoublevalidator.h"

#include <QLineEdit>

DoubleSpinBoxNoChars::DoubleSpinBoxNoChars(QWidget *parent)
    : QDoubleSpinBox(parent)
    , m_validator(new AutoFixUpDoubleValidator(this))
{
    m_validator->setRange(minimum(), maximum(), -1);
    m_validator->setNotation(QDoubleValidator::StandardNotation);
    if (lineEdit())
        lineEdit()->setValidator(m_validator);
}

void DoubleSpinBoxNoChars::setMinimum(int minimum)
{
    QDoubleSpinBox::setMinimum(minimum);
    m_validator->setBottom(QDoubleSpinBox::minimum());
}

void DoubleSpinBoxNoChars::setMaximum(int maximum)
{
    QDoubleSpinBox::setMaximum(maximum);
    m_validator->setTop(QDoubleSpinBox::maximum());
}

QValidator::State DoubleSpinBoxNoChars::validate(QString &input, int &pos) const
{
    return m_validator->validate(input, pos);
}

void DoubleSpinBoxNoChars::fixup(QString &input) const
{
    m_validator->fixup(input);
}
