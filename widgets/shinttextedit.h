#pragma once

#include "widgets/slineedit.h"

// A line edit with a grey hint and no highlight; it tells its owner whether the hint is showing.
class SHintTextEdit : public SLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString emptyText READ emptyText WRITE setEmptyText)

public:
    explicit SHintTextEdit(QWidget *parent = nullptr);

    QString emptyText() const { return m_emptyText; }
    void setEmptyText(const QString &text);
    bool isHintShown() const { return m_hintShown; }

public slots:
    void clearSearchText();
    void trackTextChanges(const QString &text);

signals:
    void EmptyText(bool isEmpty);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QString m_emptyText;
    bool m_hintShown = true;
    bool m_hintSet = false;
};
