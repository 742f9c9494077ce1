#include "widgets/pendingsearchguard.h"

#include "document/objectsortfilterproxymodel.h"
#include "widgets/ssearchlineedit.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWheelEvent>
#include <QWidget>

namespace {

// Input a person gives a widget; focus changes, hovering and repaints are not.
bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        return true;
    default:
        return false;
    }
}

bool inSearchField(const QWidget *widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (qobject_cast<const SSearchLineEdit *>(widget))
            return true;
        if (widget->isWindow())
            break;
    }
    return false;
}

// Where in the table input is aimed that acts on the row at that place; false for input that is not.
// A menu asked for from the keyboard acts on the selection, as the keys do.
bool aimedAt(const QEvent *event, QPoint *pos)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        *pos = static_cast<const QMouseEvent *>(event)->position().toPoint();
        return true;
    case QEvent::Wheel:
        *pos = static_cast<const QWheelEvent *>(event)->position().toPoint();
        return true;
    case QEvent::ContextMenu: {
        const auto *menu = static_cast<const QContextMenuEvent *>(event);
        *pos = menu->pos();
        return menu->reason() == QContextMenuEvent::Mouse;
    }
    default:
        return false;
    }
}

} // namespace

PendingSearchGuard::PendingSearchGuard(ObjectSortFilterProxyModel *proxy, QAbstractItemView *view)
    : QObject(view)
    , proxy(proxy)
    , view(view)
{
    connect(proxy, &ObjectSortFilterProxyModel::searchPendingChanged, this, &PendingSearchGuard::updateWatching);
    updateWatching();
}

void PendingSearchGuard::updateWatching()
{
    QCoreApplication *application = QCoreApplication::instance();
    const bool on = (proxy && proxy->isSearchPending()) || dropping;
    if (on == watching || !application)
        return;
    watching = on;
    // watched only while a search waits or a dropped press goes on, so that typing at other times costs
    // nothing
    if (on)
        application->installEventFilter(this);
    else
        application->removeEventFilter(this);
}

// The row of the source model at pos in the table; -1 where no row is.
int PendingSearchGuard::sourceRowAt(const QPoint &pos) const
{
    const QModelIndex index = view->indexAt(pos);
    if (!index.isValid())
        return -1;
    return index.model() == proxy.data() ? proxy->mapToSource(index).row() : index.row();
}

// The press the platform makes a double-click of the dropped one: the same button, soon and close by.
bool PendingSearchGuard::isSecondPress(const QMouseEvent *press) const
{
    const QStyleHints *hints = QGuiApplication::styleHints();
    const QPointF moved = press->globalPosition() - droppedAt;
    const qreal near = hints->mouseDoubleClickDistance();
    return !droppedSecond && press->button() == droppedButton && press->timestamp() >= droppedTime &&
           press->timestamp() - droppedTime < quint64(hints->mouseDoubleClickInterval()) && qAbs(moved.x()) <= near &&
           qAbs(moved.y()) <= near;
}

// Whether event, sent to the table, belongs to the dropped press.
bool PendingSearchGuard::dropsFollowUp(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        // moves while the button is held would drag or stretch a selection from the press
        return droppedHeld;
    case QEvent::MouseButtonRelease:
        if (!droppedHeld)
            return false;
        if (static_cast<QMouseEvent *>(event)->button() == droppedButton) {
            droppedHeld = false;
            if (droppedSecond)
                stopDropping();
        }
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (droppedHeld)
            return true;
        // a widget gets the second press of a double-click as the double-click alone; a press sent
        // before it is taken as the same
        if (isSecondPress(static_cast<QMouseEvent *>(event))) {
            droppedHeld = true;
            droppedSecond = true;
            return true;
        }
        stopDropping();
        return false;
    case QEvent::ContextMenu:
        // the menu of a dropped right press, sent on the press or on the release
        return droppedButton == Qt::RightButton &&
               static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Mouse;
    default:
        return false;
    }
}

void PendingSearchGuard::stopDropping()
{
    dropping = false;
    droppedHeld = false;
    droppedSecond = false;
    updateWatching();
}

bool PendingSearchGuard::eventFilter(QObject *watched, QEvent *event)
{
    QWidget *table = view ? view->viewport() : nullptr;
    const bool atTable = table && watched == table;
    if (dropping) {
        if (atTable && dropsFollowUp(event)) {
            event->accept();
            return true;
        }
        // a key, or a press elsewhere, ends what a double-click could still add to the dropped press
        const QEvent::Type type = event->type();
        if (dropping && !droppedHeld && watched->isWidgetType() &&
            (type == QEvent::KeyPress || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick))
            stopDropping();
    }
    // A shortcut goes to its action, whichever widget has the focus. Other input reaches the window
    // first and then the widget it is for: only the widget tells whether it is typing in the search field.
    const bool input = event->type() == QEvent::Shortcut || (watched->isWidgetType() && isInput(event->type()) &&
                                                             !inSearchField(static_cast<QWidget *>(watched)));
    if (!input || !proxy || !proxy->isSearchPending())
        return QObject::eventFilter(watched, event);
    QPoint pos;
    const bool aimed = atTable && aimedAt(event, &pos);
    const int before = aimed ? sourceRowAt(pos) : -1;
    proxy->finishSearch();
    if (!aimed || !view)
        return QObject::eventFilter(watched, event);
    // The rows are placed now rather than at the next layout pass, so that the row found at pos is the one
    // the table itself finds there when it handles this input and the next.
    view->doItemsLayout();
    if (sourceRowAt(pos) == before)
        return QObject::eventFilter(watched, event);
    // Another row moved under the pointer: the input was aimed at a row that moved away or went.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        const auto *press = static_cast<QMouseEvent *>(event);
        dropping = true;
        droppedButton = press->button();
        droppedAt = press->globalPosition();
        droppedTime = press->timestamp();
        droppedHeld = true;
        droppedSecond = event->type() == QEvent::MouseButtonDblClick;
        updateWatching();
    }
    event->accept();
    return true;
}
