#pragma once

#include "widgets/autofixupintvalidator.h"
#include "widgets/fixingspinbox.h"

#include <QSpinBox>

// A spin box whose typed text is checked by an AutoFixUpIntValidator kept on the spin box's range:
// "+" never stays, and an unacceptable entry becomes the nearest bound when it is finished.
class SpinBoxNoChars : public FixingSpinBox<QSpinBox, AutoFixUpIntValidator>
{
    Q_OBJECT

public:
    explicit SpinBoxNoChars(QWidget *parent = nullptr);
};
