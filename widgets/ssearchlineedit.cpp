#include "widgets/ssearchlineedit.h"

SSearchLineEdit::SSearchLineEdit(QWidget *parent)
    : SLineEdit(parent)
{
    setStyleSheet(QStringLiteral("QLineEdit{color:grey; border: 1px solid #cccccc;}"));
    connect(this, &QLineEdit::textEdited, this, &SSearchLineEdit::trackTextChanges, Qt::UniqueConnection);
}

void SSearchLineEdit::setEmptyText(const QString &text)
{
    m_emptyText = text;
    if (!m_hintSet) {
        m_hintSet = true;
        SLineEdit::setText(text);
    }
}

void SSearchLineEdit::clearSearchText()
{
    const bool wasBlocked = blockSignals(true);
    m_hintShown = true;
    SLineEdit::setText(property("emptyText").toString());
    blockSignals(wasBlocked);
    setStyleSheet(QStringLiteral("QLineEdit{color:grey;border: 1px solid #cccccc;}"));
}

void SSearchLineEdit::trackTextChanges(const QString &text)
{
    if (!text.isEmpty() && !m_hintShown)
        setStyleSheet(QStringLiteral(
            "QLineEdit{color:black; background:qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 rgb(255, 210, "
            "60), stop: 1 #FFFFFF);border: 1px solid #cccccc;}"));
    else
        setStyleSheet(QStringLiteral("QLineEdit{color:black; background:white;border: 1px solid #cccccc;}"));
}

void SSearchLineEdit::focusInEvent(QFocusEvent *event)
{
    if (m_hintShown) {
        const bool wasBlocked = blockSignals(true);
        SLineEdit::setText(QString());
        m_hintShown = false;
        setStyleSheet(QStringLiteral("QLineEdit{color:black;border: 1px solid #cccccc;}"));
        blockSignals(wasBlocked);
    }
    SLineEdit::focusInEvent(event);
}

void SSearchLineEdit::focusOutEvent(QFocusEvent *event)
{
    if (!m_hintShown && text().trimmed().isEmpty()) {
        const bool wasBlocked = blockSignals(true);
        setStyleSheet(QStringLiteral("QLineEdit{color:grey;border: 1px solid #cccccc;}"));
        SLineEdit::setText(property("emptyText").toString());
        m_hintShown = true;
        blockSignals(wasBlocked);
    }
    SLineEdit::focusOutEvent(event);
}
