#pragma once

#include <QCheckBox>

// A check box whose change reaches a bound mapper at once: it hands the focus on and takes it back,
// and the mapper commits on that focus loss.
class ImmediateCheckBox : public QCheckBox
{
    Q_OBJECT

public:
    explicit ImmediateCheckBox(QWidget *parent = nullptr);

private slots:
    void immediateClickHandler(bool checked = false);
};
