#pragma once

#include "widgets/slineedit.h"

// What the search field and the hint field share: a grey hint shown while the field is empty, put there
// and taken away with the field's signals blocked, so the hint never reaches a listener as a value. The
// two differ in their border, the style of typed text, whether they report the hint, and where the hint
// lives: the hint field keeps it as its text; the search field shows it as its placeholder, so the hint is
// never part of what the user types or what is searched, even when it is put back while the field has the
// focus.
class HintLineEdit : public SLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString emptyText READ emptyText WRITE setEmptyText)

public:
    QString emptyText() const { return m_emptyText; }
    // The first hint is shown at once; a later one is shown the next time the hint is put back.
    void setEmptyText(const QString &text);
    bool isHintShown() const { return m_hintShown; }
    // The hint as the user sees it in the field while it is shown: its text or its placeholder.
    QString shownHint() const;
    // The hint in another language: it replaces the one on display at once; typed text stays as it is.
    void retranslateHint(const QString &text);

public slots:
    void clearSearchText();
    void trackTextChanges(const QString &text);

protected:
    enum HintPlace { HintAsText, HintAsPlaceholder };
    HintLineEdit(const QString &borderColour, QWidget *parent, HintPlace place = HintAsText);

    // The style sheet while the user types text.
    virtual QString typedStyle(const QString &text) const = 0;
    // Told when the hint is put back (true) or the field opens for typing (false).
    virtual void reportHint(bool /*shown*/) {}
    QString style(const QString &colour) const;

    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showHint(const QString &text);
    void openForTyping();

    QString m_border;
    QString m_emptyText;
    HintPlace m_place;
    bool m_hintShown = true;
    bool m_hintSet = false;
};
