#include "widgets/doublespinboxnochars.h"

DoubleSpinBoxNoChars::DoubleSpinBoxNoChars(QWidget *parent)
    : FixingSpinBox(parent)
{
    validator()->setRange(minimum(), maximum(), -1);
    validator()->setNotation(QDoubleValidator::StandardNotation);
}
