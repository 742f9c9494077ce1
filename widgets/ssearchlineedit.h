#pragma once

#include "widgets/slineedit.h"

// The search field above the list tables: a grey hint while empty, amber while a search is typed.
// The hint is real text in the field, put there and taken away with the field's signals blocked.
class SSearchLineEdit : public SLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString emptyText READ emptyText WRITE setEmptyText)

public:
    explicit SSearchLineEdit(QWidget *parent = nullptr);

    QString emptyText() const { return m_emptyText; }
    void setEmptyText(const QString &text);
    bool isHintShown() const { return m_hintShown; }

public slots:
    void clearSearchText();
    void trackTextChanges(const QString &text);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QString m_emptyText;
    bool m_hintShown = true;
    bool m_hintSet = false;
};
