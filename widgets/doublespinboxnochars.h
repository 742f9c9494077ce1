#pragma once

#include "widgets/autofixupdoublevalidator.h"
#include "widgets/fixingspinbox.h"

#include <QDoubleSpinBox>

// The floating-point counterpart of SpinBoxNoChars; its bounds are set in whole numbers.
class DoubleSpinBoxNoChars : public FixingSpinBox<QDoubleSpinBox, AutoFixUpDoubleValidator>
{
    Q_OBJECT

public:
    explicit DoubleSpinBoxNoChars(QWidget *parent = nullptr);
};
