#pragma once

#include "widgets/hintlineedit.h"

// A line edit with a grey hint and no highlight; it tells its owner whether the hint is showing.
class SHintTextEdit : public HintLineEdit
{
    Q_OBJECT

public:
    explicit SHintTextEdit(QWidget *parent = nullptr);

signals:
    void EmptyText(bool isEmpty);

protected:
    QString typedStyle(const QString &text) const override;
    void reportHint(bool shown) override { emit EmptyText(shown); }
};
