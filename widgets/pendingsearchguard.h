#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>

class ObjectSortFilterProxyModel;
class QAbstractItemView;
class QMouseEvent;
class QPoint;

// While a proxy's search text waits for the rows' texts, the table still shows rows the text excludes.
// This guard watches the program's input for that time: anything but typing in a search field (a key or
// a click elsewhere, a shortcut, a drop) first applies the search, so that no input acts on those rows.
// Input aimed at a place in the view's table (a press, a double-click, a wheel turn, a context menu) is
// dropped when applying the search put another row under the pointer, and so is the rest of that press,
// so that it never acts on a row the user did not point at.
class PendingSearchGuard : public QObject
{
public:
    PendingSearchGuard(ObjectSortFilterProxyModel *proxy, QAbstractItemView *view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateWatching();
    int sourceRowAt(const QPoint &pos) const;
    bool dropsFollowUp(QEvent *event);
    bool isSecondPress(const QMouseEvent *press) const;
    void stopDropping();

    QPointer<ObjectSortFilterProxyModel> proxy; // its owner may free it before this
    QPointer<QAbstractItemView> view;
    bool watching = false;
    // The press dropped last. Its moves, its release, its context menu, and the second press and the
    // double-click of the same click go with it; the next press of the user's own is handled again.
    bool dropping = false;
    Qt::MouseButton droppedButton = Qt::NoButton;
    QPointF droppedAt; // global
    quint64 droppedTime = 0;
    bool droppedHeld = false;
    bool droppedSecond = false; // the second press of a double-click: no third one follows
};
