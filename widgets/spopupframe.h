#pragma once

#include <QFrame>
#include <QPointer>
#include <QRect>

// A pop-up frame under a button holding one view: placed under the anchor, deleted when it closes,
// and closed with its view, which gives the button back its raised look.
class SPopupFrame : public QFrame
{
    Q_OBJECT

public:
    SPopupFrame(QWidget *anchor, int width, int height, int margin);

    // Where a pop-up of that size goes: under the anchor's left edge, shifted left to stay margin
    // pixels inside the active window's right edge.
    static QRect popupGeometry(const QWidget *anchor, int width, int height, int margin);

protected:
    // The view filling the frame, deleted when it closes; hiding it closes the frame.
    void setContent(QWidget *content, int width, int height);
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_content;
};
