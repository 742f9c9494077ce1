#include "widgets/aimedinputrule.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListView>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>
#include <QRegion>
#include <QScrollBar>
#include <QStyleHints>
#include <QTableView>
#include <QTreeView>
#include <QWindow>

#include <limits>

// The time the user made input at, in the clock the window system stamps events with (ms). Each input event
// tells the clock as it is delivered, before any widget sees it; between events the clock runs on with the
// program's own monotonic clock, so that rows a listing or a download changes while no input comes are dated
// too. Read between events it gives the earliest time the user can be at: an event taken may have waited in
// the queue, never the other way round. Events made by code carry no stamp and tell nothing.
// The same object takes a press the rule drops before the application gives the keyboard focus to the view it
// is aimed at, and the rest of that press with it.
class AimedInputClock final : public QObject
{
public:
    static AimedInputClock *instance()
    {
        if (!clock && qApp) {
            clock = new AimedInputClock(qApp);
            qApp->installEventFilter(clock);
        }
        return clock;
    }
    // without making one
    static AimedInputClock *existing() { return clock; }
    void setFollowsTime(bool follow)
    {
        anchor = now();
        anchorAt = elapsed();
        followsTime = follow;
    }
    void setTime(std::function<qint64()> msNow)
    {
        anchor = now();
        timeForTests = std::move(msNow);
        anchorAt = elapsed();
    }
    // Now in the stamps' clock; -1 before any stamped input.
    qint64 now() const
    {
        if (anchor < 0)
            return -1;
        return followsTime ? anchor + (elapsed() - anchorAt) : anchor;
    }
    // When event was made; -1 for one made by code.
    qint64 madeAt(const QInputEvent *event) const
    {
        return event->timestamp() ? qint64(event->timestamp()) + shift : -1;
    }

    QList<AimedInputRule *> rules;
    bool followsTime = true;
    // An event waited in the queue at most this long; farther back, its stamps come from another clock.
    static constexpr qint64 longestWait = 10000;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
        case QEvent::Wheel:
            // Without a window system, input is stamped by the code that makes it, but the pointer that code
            // places is moved by the platform with stamps of its own clock: they say nothing of when input was
            // made, and taken with the others they would date it back by the time between the two.
            if (followsTime || event->type() != QEvent::MouseMove ||
                static_cast<QMouseEvent *>(event)->source() != Qt::MouseEventSynthesizedByQt)
                stamped(static_cast<QInputEvent *>(event)->timestamp());
            // On its way to a widget the application gives the focus first, before any filter of the widget.
            if (watched->isWindowType() && event->spontaneous() && !rules.isEmpty() &&
                dropsBeforeWidgets(static_cast<QWindow *>(watched), static_cast<QSinglePointEvent *>(event))) {
                event->accept();
                return true;
            }
            break;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
            stamped(static_cast<QInputEvent *>(event)->timestamp());
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    explicit AimedInputClock(QObject *parent)
        : QObject(parent)
    {
        monotonic.start();
        // Without a window system the events are made by code, stamped by a counter of their own or not at all.
        const QString platform = QGuiApplication::platformName();
        followsTime = platform != QLatin1String("offscreen") && !platform.startsWith(QLatin1String("minimal"));
    }

    void stamped(quint64 stamp)
    {
        if (!stamp)
            return;
        const qint64 made = qint64(stamp) + shift;
        const qint64 at = elapsed();
        const qint64 expected = anchor < 0 ? made : (followsTime ? anchor + (at - anchorAt) : anchor);
        // Stamps from farther back than the longest wait come from another clock (one that wrapped, or another
        // source): taken as made now, and the clock goes on from there.
        if (made < expected - longestWait) {
            shift += expected - made;
            anchor = expected;
        } else if (made >= expected) {
            anchor = made;
        } else {
            return; // made a while ago: it waited in the queue
        }
        anchorAt = at;
    }

    // A press dropped here is followed by its rest here too: the window takes no part of it. A wheel turn only
    // scrolls, and is never dropped.
    bool dropsBeforeWidgets(QWindow *window, QSinglePointEvent *event) const
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Wheel)
            return false;
        for (AimedInputRule *rule : rules) {
            if (rule->dropping && rule->view->window()->windowHandle() == window && rule->dropsFollowUp(event))
                return true;
        }
        if (type == QEvent::MouseButtonRelease || type == QEvent::MouseMove)
            return false;
        // a popup or a grab takes the input elsewhere, and a button already held keeps it where it went
        if (QApplication::activePopupWidget() || QWidget::mouseGrabber())
            return false;
        if (event->buttons() != static_cast<QMouseEvent *>(event)->button())
            return false;
        QWidget *top = nullptr;
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *widget : windows) {
            if (widget->windowHandle() == window) {
                top = widget;
                break;
            }
        }
        QWidget *target = top ? top->childAt(event->position().toPoint()) : nullptr;
        if (!target)
            return false;
        for (AimedInputRule *rule : rules)
            if (rule->view->viewport() == target)
                return rule->dropsBeforeFocus(event, target->mapFrom(top, event->position()));
        return false;
    }

    qint64 elapsed() const { return timeForTests ? timeForTests() : monotonic.elapsed(); }

    static inline QPointer<AimedInputClock> clock;
    QElapsedTimer monotonic;
    std::function<qint64()> timeForTests;
    qint64 shift = 0;    // added to the stamps, once they jumped back from another clock
    qint64 anchor = -1;  // the latest time input is known to have been made at
    qint64 anchorAt = 0; // the monotonic clock then
};

int AimedInputRule::reactionTime()
{
    // A person needs about a quarter of a second to see a row and aim at it: clicks made 250-300 ms after the
    // keys of a search still hit rows no one had seen. The platform's double-click interval is the time it
    // grants a person between the two clicks of one double-click; it is taken when longer.
    return qMax(250, QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

void AimedInputRule::setStampsFollowTime(bool follow)
{
    if (AimedInputClock *clock = AimedInputClock::instance())
        clock->setFollowsTime(follow);
}

void AimedInputRule::setTimeForTests(std::function<qint64()> msNow)
{
    if (AimedInputClock *clock = AimedInputClock::instance())
        clock->setTime(std::move(msNow));
}

AimedInputRule::AimedInputRule(QAbstractItemView *view)
    : QObject(view)
    , view(view)
{
    if (AimedInputClock *clock = AimedInputClock::instance())
        clock->rules.append(this);
    // The scroll bar tells only of what the user does with it (or with the wheel): a scroll the program makes
    // sets its value alone.
    connect(view->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { ownScrollTo = this->view->verticalScrollBar()->sliderPosition(); });
}

AimedInputRule::~AimedInputRule()
{
    if (AimedInputClock *clock = AimedInputClock::existing())
        clock->rules.removeOne(this);
}

void AimedInputRule::watch(QAbstractItemModel *model)
{
    // another model is other rows
    rowsAboutToChange();
    for (const QMetaObject::Connection &connection : std::as_const(connections))
        disconnect(connection);
    connections.clear();
    if (!model)
        return;
    using Model = QAbstractItemModel;
    // Told before the rows change, while the table still stands as it was drawn. A search that hides rows
    // all over the table tells of each block: after the first, each costs a test of two flags.
    connections << connect(model, &Model::rowsAboutToBeInserted, this, &AimedInputRule::rowsAboutToChange)
                << connect(model, &Model::rowsAboutToBeRemoved, this, &AimedInputRule::rowsAboutToChange)
                << connect(model, &Model::rowsAboutToBeMoved, this, &AimedInputRule::rowsAboutToChange)
                << connect(model, &Model::layoutAboutToBeChanged, this, &AimedInputRule::rowsAboutToChange)
                << connect(model, &Model::modelAboutToBeReset, this, &AimedInputRule::rowsAboutToChange);
}

void AimedInputRule::rowsAboutToChange()
{
    note(false, pointing);
}

void AimedInputRule::aboutToScroll()
{
    const bool own = pointing || view->verticalScrollBar()->value() == ownScrollTo;
    ownScrollTo = -1;
    note(true, own);
}

void AimedInputRule::aboutToShowOtherRows()
{
    note(false, pointing);
}

// The header that places the view's columns; none for a view of one column.
const QHeaderView *AimedInputRule::columns() const
{
    if (const auto *table = qobject_cast<const QTableView *>(view))
        return table->horizontalHeader();
    if (const auto *tree = qobject_cast<const QTreeView *>(view))
        return tree->header(); // it places the columns when hidden too
    return nullptr;
}

// The row shown at height y of the viewport (in a column shown), wherever across it the pointer is.
QModelIndex AimedInputRule::rowAt(int y) const
{
    const QHeaderView *header = columns();
    if (!header)
        return view->indexAt(QPoint(view->viewport()->width() / 2, y));
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical) && header->sectionSize(logical) > 0)
            return view->indexAt(QPoint(header->sectionViewportPosition(logical), y));
    }
    return {};
}

void AimedInputRule::note(bool scrolling, bool aimed)
{
    if (!drawn)
        return;
    if (!rowsMoved && !scrolled) {
        repaintAsked = false;
        // Nothing moved since the last paint: the view stands as the user sees it.
        noteShownRows(false);
    }
    (scrolling ? scrolled : rowsMoved) = true;
    // a search that hides rows all over the table tells of each block: after the first, this costs little
    if (!aimed)
        unaimed = true;
}

void AimedInputRule::rowsShifted()
{
    if (!drawn)
        return;
    // noted at the paint before, as the rows stood then
    if (shown.last().rows.noted && !rowsMoved) {
        repaintAsked = false;
        rowsMoved = true;
    }
    if (!pointing)
        unaimed = true;
}

// The rows on the screen now, noted once (again: noted anew). Rows the same as those shown before them count as
// shown since then: a change that left them as they were brought nothing new.
void AimedInputRule::noteShownRows(bool again)
{
    DrawnRows &rows = shown.last().rows;
    if (rows.noted && !again)
        return;
    rows = drawnRows();
    if (shown.size() > 1 && shown.at(shown.size() - 2).rows.rows == rows.rows &&
        shown.at(shown.size() - 2).rows.columns == rows.columns)
        shown.removeLast();
}

// Only the rows and columns in sight are read, whatever the size of the table.
AimedInputRule::DrawnRows AimedInputRule::drawnRows() const
{
    DrawnRows drawnRows;
    drawnRows.noted = true;
    QList<int> &drawnColumns = drawnRows.columns;
    const QRect area = view->viewport()->rect();
    if (view->model()) {
        if (keyColumn >= 0) {
            drawnColumns << keyColumn;
        } else if (const QHeaderView *header = columns()) {
            const int firstColumn = header->visualIndexAt(area.left());
            int lastColumn = header->visualIndexAt(area.right());
            if (lastColumn < 0)
                lastColumn = header->count() - 1;
            for (int visual = firstColumn; visual >= 0 && visual <= lastColumn; ++visual) {
                const int logical = header->logicalIndex(visual);
                if (!header->isSectionHidden(logical))
                    drawnColumns << logical;
            }
        } else {
            const auto *list = qobject_cast<const QListView *>(view);
            drawnColumns << (list ? list->modelColumn() : 0);
        }
    }
    // Each row from the top of the viewport down, as placed when drawn; a table's grid line under a
    // row goes with it.
    for (int y = area.top(); !drawnColumns.isEmpty() && y <= area.bottom();) {
        const QModelIndex row = rowAt(y);
        if (!row.isValid())
            break;
        const QRect cell = view->visualRect(row);
        int bottom = qMax(cell.bottom() + 1, y + 1);
        for (QModelIndex below = rowAt(bottom);
             bottom <= area.bottom() && below.row() == row.row() && below.parent() == row.parent();
             below = rowAt(++bottom)) {
        }
        drawnRows.rows.append({cell.top(), bottom, rowKey(row, drawnColumns)});
        y = bottom;
    }
    return drawnRows;
}

bool AimedInputRule::viewportEvent(QEvent *event, const std::function<void()> &placeRows,
                                   const std::function<bool(QEvent *)> &handle)
{
    if (!placeRowsNow)
        placeRowsNow = placeRows;
    bool aimedHere = false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::ContextMenu:
    case QEvent::Wheel:
    case QEvent::Drop:
        placeRows();
        aimedHere = event->type() != QEvent::ContextMenu;
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        aimedHere = true;
        break;
    default:
        break;
    }
    if (drops(event))
        return true;
    // what the user's own pointing here changes (a folder opened, a scroll, rows dropped) is watched as it
    // happens
    bool handled = false;
    if (aimedHere)
        watched([&] { handled = handle(event); });
    else
        handled = handle(event);
    if (event->type() == QEvent::Paint)
        painted(static_cast<QPaintEvent *>(event)->region());
    return handled;
}

void AimedInputRule::watched(const std::function<void()> &handling)
{
    const bool wasPointing = pointing;
    pointing = true;
    handling();
    pointing = wasPointing;
}

// A press or a double-click on its way to the viewport, at position in it, before the focus moves.
bool AimedInputRule::dropsBeforeFocus(QEvent *event, const QPointF &position)
{
    if (!view->isEnabled() || !view->isVisible())
        return false;
    if (placeRowsNow)
        placeRowsNow();
    const auto *mouse = static_cast<QMouseEvent *>(event);
    QMouseEvent here(mouse->type(), position, mouse->scenePosition(), mouse->globalPosition(), mouse->button(),
                     mouse->buttons(), mouse->modifiers(), mouse->pointingDevice());
    here.setTimestamp(mouse->timestamp());
    return drops(&here);
}

void AimedInputRule::painted(const QRegion &region)
{
    drawn = true;
    const bool changed = rowsMoved || scrolled || shown.isEmpty();
    // a scroll moves what was drawn along with the rows; the strip it uncovers is this paint
    scrolled = false;
    if (rowsMoved) {
        // Parts covered by other widgets are never painted. Where the rest was not all painted, it still
        // shows rows from before they moved: it is drawn next, and then the whole table shows them.
        if (repaintAsked || (view->viewport()->visibleRegion() - region).isEmpty()) {
            rowsMoved = false;
        } else {
            view->viewport()->update();
            repaintAsked = true;
        }
    }
    if (rowsMoved)
        return;
    if (changed) {
        AimedInputClock *clock = AimedInputClock::instance();
        const qint64 now = clock ? clock->now() : -1;
        // Before any stamped input, or at the first paint, no one can have aimed at other rows.
        qint64 at = std::numeric_limits<qint64>::min() / 4;
        if (now >= 0 && !shown.isEmpty()) {
            // The rows reach the screen now: those the user did not bring are seen a reaction time later (the
            // clock never runs back: now is no earlier than the changes). What the user brings and watches is
            // seen at once, but rows shown just before stay as new as they were.
            const qint64 before = shown.last().at;
            at = qMax(unaimed ? now : now - reactionTime(), before);
        }
        unaimed = false;
        shown.append(Shown{at, DrawnRows()});
        // Frames no input still to come can have been aimed at are let go of: the rows shown at the earliest time
        // such input was seen, and those since, are kept; at most a few dozen.
        const qint64 earliest = now - AimedInputClock::longestWait - reactionTime();
        while (shown.size() > 1 && (shown.at(1).at <= earliest || shown.size() > 32))
            shown.removeFirst();
    }
    if (eachPaint)
        noteShownRows(true);
}

// What the user tells a row by: its texts in the columns that were drawn, and in a tree the names of the
// rows it is under (the same name stands in many folders).
QString AimedInputRule::rowKey(const QModelIndex &row, const QList<int> &columns) const
{
    const QAbstractItemModel *model = view->model();
    QString key;
    for (const int column : columns) {
        key += model->index(row.row(), column, row.parent()).data(Qt::DisplayRole).toString();
        key += QChar(0x1f);
    }
    const QModelIndex root = view->rootIndex();
    for (QModelIndex above = row.parent(); above.isValid() && above != root; above = above.parent()) {
        key += QChar(0x1e);
        key += above.siblingAtColumn(0).data(Qt::DisplayRole).toString();
    }
    return key;
}

// Whether another row than the one in drawnRows at pos (or a row where none was drawn, or none where one was)
// stands there now.
bool AimedInputRule::differsAt(const DrawnRows &drawnRows, const QPoint &pos) const
{
    if (!drawnRows.noted)
        return false;
    const DrawnRow *was = nullptr;
    for (const DrawnRow &row : drawnRows.rows) {
        if (pos.y() >= row.top && pos.y() < row.bottom) {
            was = &row;
            break;
        }
    }
    const QModelIndex now = rowAt(pos.y());
    if (!was || !now.isValid())
        return was || now.isValid();
    return rowKey(now, drawnRows.columns) != was->key;
}

// Whether input made at made (-1: unknown, judged by the paints alone) at pos meets another row than the one
// drawn there, or than the one the user saw there: the one shown a reaction time before the input was made.
bool AimedInputRule::movedAt(const QPoint &pos, qint64 made) const
{
    if (!view->model() || shown.isEmpty())
        return false;
    const DrawnRows &drawnRows = shown.last().rows;
    if ((rowsMoved || scrolled) && differsAt(drawnRows, pos))
        return true;
    if (made < 0)
        return false;
    const qint64 seenAt = made - reactionTime();
    qsizetype seen = shown.size() - 1;
    while (seen > 0 && shown.at(seen).at > seenAt)
        --seen;
    // the rows shown now were seen; where rows before them were, they are noted (a change followed them)
    return seen < shown.size() - 1 && differsAt(shown.at(seen).rows, pos);
}

void AimedInputRule::dropPress(Qt::MouseButton button, const QPointF &globalPos, quint64 time, bool second)
{
    dropping = true;
    droppedButton = button;
    droppedAt = globalPos;
    droppedTime = time;
    droppedHeld = true;
    droppedSecond = second;
    // the next input acts on what is shown then
    view->viewport()->update();
}

// The press the platform makes a double-click of the dropped one: the same button, soon and close by.
bool AimedInputRule::isSecondPress(const QMouseEvent *press) const
{
    const QStyleHints *hints = QGuiApplication::styleHints();
    const QPointF moved = press->globalPosition() - droppedAt;
    const qreal near = hints->mouseDoubleClickDistance();
    return !droppedSecond && press->button() == droppedButton && press->timestamp() >= droppedTime &&
           press->timestamp() - droppedTime < quint64(hints->mouseDoubleClickInterval()) && qAbs(moved.x()) <= near &&
           qAbs(moved.y()) <= near;
}

// Whether event belongs to the dropped press.
bool AimedInputRule::dropsFollowUp(QEvent *event)
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
            dropping = !droppedSecond;
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
        dropping = false;
        return false;
    case QEvent::ContextMenu:
        // the menu of a dropped right press, sent on the press or on the release
        return droppedButton == Qt::RightButton &&
               static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Mouse;
    default:
        return false;
    }
}

bool AimedInputRule::drops(QEvent *event)
{
    const QEvent::Type type = event->type();
    const AimedInputClock *clock = AimedInputClock::instance();
    if (dropping && dropsFollowUp(event)) {
        event->accept();
        return true;
    }
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *press = static_cast<QMouseEvent *>(event);
        const qint64 made = clock ? clock->madeAt(press) : -1;
        if (movedAt(press->position().toPoint(), made)) {
            dropPress(press->button(), press->globalPosition(), press->timestamp(),
                      type == QEvent::MouseButtonDblClick);
            event->accept();
            return true;
        }
        if (type == QEvent::MouseButtonPress) {
            pressedAt = press->position().toPoint();
            pressedButton = press->button();
            pressedMade = made;
        }
        return false;
    }
    case QEvent::ContextMenu: {
        // a menu asked for from the keyboard acts on the selection, as the keys do
        const auto *menu = static_cast<QContextMenuEvent *>(event);
        if (menu->reason() != QContextMenuEvent::Mouse)
            return false;
        // the window system's menu event carries no stamp of its own: it comes with the right press
        qint64 made = clock ? clock->madeAt(menu) : -1;
        if (made < 0 && pressedButton == Qt::RightButton)
            made = pressedMade;
        if (!movedAt(menu->pos(), made))
            return false;
        view->viewport()->update();
        event->accept();
        return true;
    }
    case QEvent::Drop: {
        // No stamp: made by now at the latest, where the stamps run with time. A drag's own handling takes the
        // mouse's release before any filter of the program does.
        auto *drop = static_cast<QDropEvent *>(event);
        if (!movedAt(drop->position().toPoint(), clock && clock->followsTime ? clock->now() : -1))
            return false;
        drop->setDropAction(Qt::IgnoreAction);
        drop->ignore();
        // the table leaves the state the entering drag put it in, as when the drag leaves it
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(view->viewport(), &leave);
        view->viewport()->update();
        return true;
    }
    default:
        return false;
    }
}

bool AimedInputRule::dragStarts()
{
    if (!movedAt(pressedAt, pressedMade))
        return true;
    // the button is still held: its moves and its release go with the drag that did not start
    dropPress(pressedButton, QPointF(), 0, true);
    return false;
}
