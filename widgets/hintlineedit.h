#pragma once

#include "widgets/slineedit.h"

// What the search field and the hint field share: a grey hint that is real text in the field, put
// there and taken away with the field's signals blocked, so the hint never reaches a listener as a
// value. The two differ in their border, the style of typed text and whether they report the hint.
class HintLineEdit : public SLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString emptyText READ emptyText WRITE setEmptyText)

public:
    QString emptyText() const { return m_emptyText; }
    // The first hint is shown at once; a later one is shown the next time the hint is put back.
    void setEmptyText(const QString &text);
    bool isHintShown() const { return m_hintShown; }

public slots:
    void clearSearchText();
    void trackTextChanges(const QString &text);

protected:
    HintLineEdit(const QString &borderColour, QWidget *parent);

    // The style sheet while the user types text.
    virtual QString typedStyle(const QString &text) const = 0;
    // Told when the hint is put back (true) or the field opens for typing (false).
    virtual void reportHint(bool /*shown*/) {}
    QString style(const QString &colour) const;

    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showHint(const QString &text);

    QString m_border;
    QString m_emptyText;
    bool m_hintShown = true;
    bool m_hintSet = false;
};
