#pragma once

#include <QSpinBox>

class AutoFixUpIntValidator;

// A spin box whose typed text is checked by an AutoFixUpIntValidator kept on the spin box's range:
// "+" never stays, and an unacceptable entry becomes the nearest bound when it is finished.
class SpinBoxNoChars : public QSpinBox
{
    Q_OBJECT

public:
    explicit SpinBoxNoChars(QWidget *parent = nullptr);

    void setMinimum(int minimum);
    void setMaximum(int maximum);
    AutoFixUpIntValidator *validator() const { return m_validator; }

    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;

private:
    AutoFixUpIntValidator *m_validator;
};
