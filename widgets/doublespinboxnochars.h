#pragma once

#include <QDoubleSpinBox>

class AutoFixUpDoubleValidator;

// The floating-point counterpart of SpinBoxNoChars; its bounds are set in whole numbers.
class DoubleSpinBoxNoChars : public QDoubleSpinBox
{
    Q_OBJECT

public:
    explicit DoubleSpinBoxNoChars(QWidget *parent = nullptr);

    void setMinimum(int minimum);
    void setMaximum(int maximum);
    AutoFixUpDoubleValidator *validator() const { return m_validator; }

    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;

private:
    AutoFixUpDoubleValidator *m_validator;
};
