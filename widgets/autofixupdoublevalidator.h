#pragma once

#include <QDoubleValidator>

// The floating-point counterpart of AutoFixUpIntValidator.
class AutoFixUpDoubleValidator : public QDoubleValidator
{
    Q_OBJECT

public:
    explicit AutoFixUpDoubleValidator(QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
};
