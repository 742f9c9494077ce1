#include "widgets/hintlineedit.h"

HintLineEdit::HintLineEdit(const QString &borderColour, QWidget *parent)
    : SLineEdit(parent)
    , m_border(borderColour)
{
    setStyleSheet(style(QStringLiteral("grey")));
    connect(this, &QLineEdit::textEdited, this, &HintLineEdit::trackTextChanges, Qt::UniqueConnection);
}

QString HintLineEdit::style(const QString &colour) const
{
    return QStringLiteral("QLineEdit{color:%1;border: 1px solid %2;}").arg(colour, m_border);
}

void HintLineEdit::setEmptyText(const QString &text)
{
    m_emptyText = text;
    if (!m_hintSet) {
        m_hintSet = true;
        SLineEdit::setText(text);
    }
}

void HintLineEdit::showHint(const QString &text)
{
    const bool wasBlocked = blockSignals(true);
    m_hintShown = true;
    setStyleSheet(style(QStringLiteral("grey")));
    SLineEdit::setText(text);
    blockSignals(wasBlocked);
}

void HintLineEdit::clearSearchText()
{
    showHint(m_emptyText);
    reportHint(true);
}

void HintLineEdit::trackTextChanges(const QString &text)
{
    setStyleSheet(typedStyle(text));
}

void HintLineEdit::focusInEvent(QFocusEvent *event)
{
    if (m_hintShown) {
        const bool wasBlocked = blockSignals(true);
        SLineEdit::setText(QString());
        m_hintShown = false;
        setStyleSheet(style(QStringLiteral("black")));
        blockSignals(wasBlocked);
    }
    reportHint(false);
    SLineEdit::focusInEvent(event);
}

void HintLineEdit::focusOutEvent(QFocusEvent *event)
{
    if (!m_hintShown) {
        if (text().trimmed().isEmpty())
            showHint(m_emptyText);
        reportHint(m_hintShown);
    }
    SLineEdit::focusOutEvent(event);
}
