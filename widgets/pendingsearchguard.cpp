#include "widgets/pendingsearchguard.h"

#include "document/objectsortfilterproxymodel.h"
#include "widgets/ssearchlineedit.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QEvent>
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

} // namespace

PendingSearchGuard::PendingSearchGuard(ObjectSortFilterProxyModel *proxy, QAbstractItemView *view)
    : QObject(view)
    , proxy(proxy)
{
    connect(proxy, &ObjectSortFilterProxyModel::searchPendingChanged, this, &PendingSearchGuard::updateWatching);
    updateWatching();
}

void PendingSearchGuard::updateWatching()
{
    QCoreApplication *application = QCoreApplication::instance();
    const bool on = proxy && proxy->isSearchPending();
    if (on == watching || !application)
        return;
    watching = on;
    // watched only while a search waits, so that typing at other times costs nothing
    if (on)
        application->installEventFilter(this);
    else
        application->removeEventFilter(this);
}

bool PendingSearchGuard::eventFilter(QObject *watched, QEvent *event)
{
    // A shortcut goes to its action, whichever widget has the focus. Other input reaches the window
    // first and then the widget it is for: only the widget tells whether it is typing in the search field.
    const bool input = event->type() == QEvent::Shortcut || (watched->isWidgetType() && isInput(event->type()) &&
                                                             !inSearchField(static_cast<QWidget *>(watched)));
    if (input && proxy && proxy->isSearchPending())
        proxy->finishSearch();
    return QObject::eventFilter(watched, event);
}
