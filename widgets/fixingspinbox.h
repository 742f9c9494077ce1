#pragma once

#include <QLineEdit>
#include <QValidator>

// What both spin boxes without characters share: an auto-fixing validator of type Validator kept on
// the spin box's range. It checks the typed text and also decides when an entry is finished, because
// the spin box finishes an entry on Return and focus loss through validate and fixup, bypassing the
// line edit's own fix-up.
template<class Box, class Validator> class FixingSpinBox : public Box
{
public:
    void setMinimum(int minimum)
    {
        Box::setMinimum(minimum);
        m_validator->setBottom(Box::minimum());
    }
    void setMaximum(int maximum)
    {
        Box::setMaximum(maximum);
        m_validator->setTop(Box::maximum());
    }
    Validator *validator() const { return m_validator; }

    QValidator::State validate(QString &input, int &pos) const override { return m_validator->validate(input, pos); }
    void fixup(QString &input) const override { m_validator->fixup(input); }

protected:
    explicit FixingSpinBox(QWidget *parent)
        : Box(parent)
        , m_validator(new Validator(this))
    {
        m_validator->setRange(Box::minimum(), Box::maximum());
        if (Box::lineEdit())
            Box::lineEdit()->setValidator(m_validator);
    }

private:
    Validator *m_validator;
};
