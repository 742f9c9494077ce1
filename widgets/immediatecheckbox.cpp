#include "widgets/immediatecheckbox.h"

#include <QApplication>

ImmediateCheckBox::ImmediateCheckBox(QWidget *parent)
    : QCheckBox(parent)
{
    connect(this, &QCheckBox::toggled, this, &ImmediateCheckBox::immediateClickHandler, Qt::UniqueConnection);
}

void ImmediateCheckBox::immediateClickHandler(bool)
{
    if (QApplication::focusWidget() != this)
        return;
    focusNextChild();
    setFocus(Qt::OtherFocusReason);
}
