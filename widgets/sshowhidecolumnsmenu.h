#pragma once

#include <QFrame>
#include <QRect>

class QListView;

// The pop-up under a columns button listing the table's columns with check boxes.
class SShowHideColumnsMenu : public QFrame
{
    Q_OBJECT

public:
    SShowHideColumnsMenu(QWidget *anchor, int width, int height, int margin);

    QListView *listView() const { return m_list; }
    void setRowsHidden(const QList<int> &rows, bool hidden);

    // Where a pop-up of that size goes: under the anchor's left edge, shifted left to stay margin
    // pixels inside the active window's right edge.
    static QRect popupGeometry(const QWidget *anchor, int width, int height, int margin);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListView *m_list;
};
