#pragma once

#include "widgets/hintlineedit.h"

// The search field above the list tables: a grey placeholder hint while empty, amber while a search is typed.
class SSearchLineEdit : public HintLineEdit
{
    Q_OBJECT

public:
    explicit SSearchLineEdit(QWidget *parent = nullptr);

protected:
    QString typedStyle(const QString &text) const override;
};
