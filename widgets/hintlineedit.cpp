#include "widgets/hintlineedit.h"

#include <QEvent>
#include <QPalette>

HintLineEdit::HintLineEdit(const QString &borderColour, QWidget *parent, HintPlace place)
    : SLineEdit(parent)
    , m_border(borderColour)
    , m_place(place)
{
    setStyleSheet(style(QStringLiteral("grey")));
    connect(this, &QLineEdit::textEdited, this, &HintLineEdit::trackTextChanges, Qt::UniqueConnection);
}

QString HintLineEdit::style(const QString &colour) const
{
    return QStringLiteral("QLineEdit{color:%1;border: 1px solid %2;}").arg(colour, m_border);
}

QString HintLineEdit::shownHint() const
{
    if (!m_hintShown)
        return QString();
    return m_place == HintAsText || !text().isEmpty() ? text() : placeholderText();
}

void HintLineEdit::setEmptyText(const QString &text)
{
    m_emptyText = text;
    if (!m_hintSet) {
        m_hintSet = true;
        if (m_place == HintAsText)
            SLineEdit::setText(text);
        else if (m_hintShown)
            setPlaceholderText(text);
    }
}

void HintLineEdit::retranslateHint(const QString &text)
{
    m_emptyText = text;
    m_hintSet = true;
    if (m_hintShown)
        showHint(text);
}

void HintLineEdit::showHint(const QString &text)
{
    const bool wasBlocked = blockSignals(true);
    m_hintShown = true;
    setStyleSheet(style(QStringLiteral("grey")));
    if (m_place == HintAsText) {
        SLineEdit::setText(text);
    } else {
        SLineEdit::setText(QString());
        setPlaceholderText(text);
    }
    blockSignals(wasBlocked);
}

void HintLineEdit::openForTyping()
{
    m_hintShown = false;
    // An empty field open for typing shows no hint, as before the hint became a placeholder.
    if (m_place == HintAsPlaceholder)
        setPlaceholderText(QString());
}

void HintLineEdit::clearSearchText()
{
    showHint(m_emptyText);
    reportHint(true);
}

void HintLineEdit::trackTextChanges(const QString &text)
{
    // The hint was put back while the field kept the focus: what is typed now is the user's whole text.
    if (m_hintShown && m_place == HintAsPlaceholder)
        openForTyping();
    setStyleSheet(typedStyle(text));
}

void HintLineEdit::changeEvent(QEvent *event)
{
    SLineEdit::changeEvent(event);
    // The style sheet draws a placeholder at half the strength of the text colour; the hint keeps the grey
    // it had as text.
    if (m_place == HintAsPlaceholder &&
        (event->type() == QEvent::StyleChange || event->type() == QEvent::PaletteChange) &&
        palette().color(QPalette::PlaceholderText) != QColor(128, 128, 128)) {
        QPalette grey = palette();
        grey.setColor(QPalette::PlaceholderText, QColor(128, 128, 128));
        setPalette(grey);
    }
}

void HintLineEdit::focusInEvent(QFocusEvent *event)
{
    if (m_hintShown) {
        const bool wasBlocked = blockSignals(true);
        SLineEdit::setText(QString());
        blockSignals(wasBlocked);
        openForTyping();
        setStyleSheet(style(QStringLiteral("black")));
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
