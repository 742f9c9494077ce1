#include "widgets/spinboxnochars.h"

SpinBoxNoChars::SpinBoxNoChars(QWidget *parent)
    : FixingSpinBox(parent)
{}
