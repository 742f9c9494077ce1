#pragma once

#include <QIntValidator>

// An integer validator that drops every typed "+" and turns an unacceptable entry into the
// nearest value of its range when the entry is finished.
class AutoFixUpIntValidator : public QIntValidator
{
public:
    explicit AutoFixUpIntValidator(QObject *parent = nullptr);
    AutoFixUpIntValidator(int bottom, int top, QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
};
