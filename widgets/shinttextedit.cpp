#include "widgets/shinttextedit.h"

SHintTextEdit::SHintTextEdit(QWidget *parent)
    : SLineEdit(parent)
{
    setStyleSheet(QStringLiteral("QLineEdit{color:grey; border: 1px solid #8f8f91;}"));
    connect(this, &QLineEdit::textEdited, this, &SHintTextEdit::trackTextChanges, Qt::UniqueConnection);
}

void SHintTextEdit::setEmptyText(const QString &text)
{
    m_emptyText = text;
    if (!m_hintSet) {
        m_hintSet = true;
        SLineEdit::setText(text);
    }
}

void SHintTextEdit::clearSearchText()
{
    const bool wasBlocked = blockSignals(true);
    m_hintShown = true;
    setStyleSheet(QStringLiteral("QLineEdit{color:grey;border: 1px solid #8f8f91;}"));
    SLineEdit::setText(property("emptyText").toString());
    blockSignals(wasBlocked);
    emit EmptyText(true);
}

void SHintTextEdit::trackTextChanges(const QString &)
{
    setStyleSheet(QStringLiteral("QLineEdit{color:black;}"));
}

void SHintTextEdit::focusInEvent(QFocusEvent *event)
{
    if (m_hintShown) {
        const bool wasBlocked = blockSignals(true);
        SLineEdit::setText(QString());
        m_hintShown = false;
        setStyleSheet(QStringLiteral("QLineEdit{color:black;border: 1px solid #8f8f91;}"));
        blockSignals(wasBlocked);
    }
    emit EmptyText(false);
    SLineEdit::focusInEvent(event);
}

void SHintTextEdit::focusOutEvent(QFocusEvent *event)
{
    if (!m_hintShown) {
        if (text().trimmed().isEmpty()) {
            const bool wasBlocked = blockSignals(true);
            setStyleSheet(QStringLiteral("QLineEdit{color:grey;border: 1px solid #8f8f91;}"));
            SLineEdit::setText(m_emptyText);
            m_hintShown = true;
            blockSignals(wasBlocked);
        }
        emit EmptyText(m_hintShown);
    }
    SLineEdit::focusOutEvent(event);
}
