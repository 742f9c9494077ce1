#include "widgets/aimedinputrule.h"

#include <QAbstractItemModel>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListView>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QStyleHints>
#include <QTableView>
#include <QTreeView>
#include <QWheelEvent>

AimedInputRule::AimedInputRule(QAbstractItemView *view)
    : QObject(view)
    , view(view)
{}

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
    note(false);
}

void AimedInputRule::aboutToScroll()
{
    note(true);
}

void AimedInputRule::aboutToShowOtherRows()
{
    note(false);
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

void AimedInputRule::note(bool scrolling)
{
    if (!drawn)
        return;
    if (!rowsMoved && !scrolled) {
        repaintAsked = false;
        // Nothing moved since the last paint: the table stands as the user sees it.
        if (!noted)
            noteDrawnRows();
    }
    (scrolling ? scrolled : rowsMoved) = true;
}

void AimedInputRule::rowsShifted()
{
    // noted at the paint before, as the rows stood then
    if (drawn && noted && !rowsMoved) {
        repaintAsked = false;
        rowsMoved = true;
    }
}

// Only the rows and columns in sight are read, whatever the size of the table.
void AimedInputRule::noteDrawnRows()
{
    noted = true;
    drawnRows.clear();
    drawnColumns.clear();
    const QRect area = view->viewport()->rect();
    if (view->model()) {
        if (const QHeaderView *header = columns()) {
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
        drawnRows.append({cell.top(), bottom, rowKey(row)});
        y = bottom;
    }
}

bool AimedInputRule::viewportEvent(QEvent *event, const std::function<void()> &placeRows,
                                   const std::function<bool(QEvent *)> &handle)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::ContextMenu:
    case QEvent::Wheel:
    case QEvent::Drop:
        placeRows();
        break;
    default:
        break;
    }
    if (drops(event))
        return true;
    const bool handled = handle(event);
    if (event->type() == QEvent::Paint)
        painted(static_cast<QPaintEvent *>(event)->region());
    return handled;
}

void AimedInputRule::painted(const QRegion &region)
{
    drawn = true;
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
    if (!rowsMoved) {
        drawnRows.clear();
        drawnColumns.clear();
        noted = false;
        if (eachPaint)
            noteDrawnRows();
    }
}

// What the user tells a row by: its texts in the columns that were drawn, and in a tree the names of the
// rows it is under (the same name stands in many folders).
QString AimedInputRule::rowKey(const QModelIndex &row) const
{
    const QAbstractItemModel *model = view->model();
    QString key;
    for (const int column : drawnColumns) {
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

// Whether another row than the one drawn at pos (or a row where none was drawn, or none where one was)
// stands there now. A wheel turn only scrolls on: a scroll alone does not count for it.
bool AimedInputRule::movedAt(const QPoint &pos, bool byScrollToo) const
{
    if (!view->model() || !(rowsMoved || (byScrollToo && scrolled)))
        return false;
    const DrawnRow *was = nullptr;
    for (const DrawnRow &row : drawnRows) {
        if (pos.y() >= row.top && pos.y() < row.bottom) {
            was = &row;
            break;
        }
    }
    const QModelIndex now = rowAt(pos.y());
    if (!was || !now.isValid())
        return was || now.isValid();
    return rowKey(now) != was->key;
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
    if (dropping && dropsFollowUp(event)) {
        event->accept();
        return true;
    }
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *press = static_cast<QMouseEvent *>(event);
        if (movedAt(press->position().toPoint(), true)) {
            dropPress(press->button(), press->globalPosition(), press->timestamp(),
                      type == QEvent::MouseButtonDblClick);
            event->accept();
            return true;
        }
        if (type == QEvent::MouseButtonPress) {
            pressedAt = press->position().toPoint();
            pressedButton = press->button();
        }
        return false;
    }
    case QEvent::ContextMenu: {
        // a menu asked for from the keyboard acts on the selection, as the keys do
        const auto *menu = static_cast<QContextMenuEvent *>(event);
        if (menu->reason() != QContextMenuEvent::Mouse || !movedAt(menu->pos(), true))
            return false;
        view->viewport()->update();
        event->accept();
        return true;
    }
    case QEvent::Wheel:
        if (!movedAt(static_cast<QWheelEvent *>(event)->position().toPoint(), false))
            return false;
        view->viewport()->update();
        event->accept();
        return true;
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (!movedAt(drop->position().toPoint(), true))
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
    if (!movedAt(pressedAt, true))
        return true;
    // the button is still held: its moves and its release go with the drag that did not start
    dropPress(pressedButton, QPointF(), 0, true);
    return false;
}
