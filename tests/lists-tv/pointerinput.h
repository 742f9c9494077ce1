#pragma once

#include "waitingsearchlists.h"

#include "document/itemsdatabasemodel.h"
#include "widgets/stableview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QSet>
#include <QTest>
#include <QWindow>

#include <memory>

// What the tests of input aimed at a row of a list page's table share: what a person does with the mouse
// at one place of the table, and which rows that acted on.

// The rows each drag out of a table takes: the table makes the drag object right after it made the
// payload of the selection, while it is in its dragging state.
class DragWatch : public QObject
{
public:
    explicit DragWatch(STableView *table)
        : table(table)
    {
        table->installEventFilter(this);
    }
    ~DragWatch() override { table->removeEventFilter(this); }
    QStringList dragged;
    int drags = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == table && event->type() == QEvent::ChildAdded && table->isEditing()) {
            ++drags;
            const QModelIndexList rows = table->selectionModel()->selectedRows(1);
            for (const QModelIndex &row : rows)
                dragged << row.data().toString();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    STableView *table;
};

// A point of cell (in the viewport of table) where the window shows the table, nearest the cell's centre;
// a null point where other panels cover all of it.
inline QPoint uncoveredPoint(const QAbstractItemView *table, const QRect &cell)
{
    const QWidget *window = table->window();
    for (int dx = 0; dx < cell.width() / 2; ++dx) {
        for (const int x : {cell.center().x() - dx, cell.center().x() + dx}) {
            const QPoint point(x, cell.center().y());
            if (table->viewport()->rect().contains(point) &&
                window->childAt(table->viewport()->mapTo(window, point)) == table->viewport())
                return point;
        }
    }
    return QPoint();
}

// What a person does with the mouse at one place of a table.
enum Pointer { Press, DoubleClick, RightClick, RightClickDelete, DragStart, Drop };

// The services (or links) of items whose names are in before and not in after, or the other way round.
inline QStringList changedNames(const QStringList &before, const QStringList &after)
{
    QStringList changed;
    const QSet<QString> kept(after.begin(), after.end());
    for (const QString &name : before)
        if (!kept.contains(name))
            changed << name;
    return changed;
}

// The names of the services (or links) the input at point (in window) acted on: the rows a press selects,
// the one a double-click followed by "RenC" and Enter renames, the rows the Copy or the Delete of a
// right-click menu takes, the rows a drag takes, the services a drop of the last service (from another
// table, at the top edge of the cell) added.
inline QStringList pointAt(Pointer input, STableView *table, ItemsDatabaseModel *items, const QString &tag,
                           QWindow *window, QPoint point)
{
    const QStringList before = names(items);
    QStringList acted;
    switch (input) {
    case Press:
        QTest::mouseClick(window, Qt::LeftButton, {}, point);
        for (const QModelIndex &row : table->selectionModel()->selectedRows(1))
            acted << row.data().toString();
        break;
    case DoubleClick: {
        QTest::mouseDClick(window, Qt::LeftButton, {}, point);
        // typed into whatever took the focus: the cell's editor when one opened
        QWidget *focus = QApplication::focusWidget();
        if (focus) {
            QTest::keyClicks(focus, QStringLiteral("RenC"));
            QTest::keyClick(focus, Qt::Key_Return);
        }
        // the editor is written and closed right after Enter
        if (!QTest::qWaitFor([table] { return !table->isEditing(); }, 10000))
            return {QStringLiteral("(an editor left open)")};
        const QStringList after = names(items);
        for (int row = 0; row < before.size() && row < after.size(); ++row)
            if (after.at(row) != before.at(row))
                acted << before.at(row);
        break;
    }
    case RightClick:
    case RightClickDelete: {
        QTest::mouseClick(window, Qt::RightButton, {}, point);
        QMenu *menu = table->contextMenu();
        if (!menu->isVisible())
            break;
        if (input == RightClickDelete) {
            table->action(STableView::Delete)->trigger();
            menu->close();
            acted = changedNames(before, names(items));
            if (acted.isEmpty())
                acted << QStringLiteral("(a menu with nothing to delete)");
            break;
        }
        table->action(STableView::Copy)->trigger();
        menu->close();
        if (const QMimeData *data = QApplication::clipboard()->mimeData())
            acted = payloadNames(data, items->mimeTypes().constFirst(), tag);
        if (acted.isEmpty())
            acted << QStringLiteral("(a menu with nothing to copy)");
        break;
    }
    case DragStart: {
        DragWatch watch(table);
        const QPoint step(0, QApplication::startDragDistance() + 2);
        QTest::mousePress(window, Qt::LeftButton, {}, point);
        // the first move beyond the distance readies the drag, the next one starts it
        QTest::mouseMove(window, point + step);
        QTest::mouseMove(window, point + 2 * step);
        QTest::mouseRelease(window, Qt::LeftButton, {}, point + 2 * step);
        acted = watch.dragged;
        if (watch.drags > 0 && acted.isEmpty())
            acted << QStringLiteral("(a drag of nothing)");
        break;
    }
    case Drop: {
        // what another table of the program drags: the last service, in the model's format
        const std::unique_ptr<QMimeData> payload(items->mimeData({items->index(items->rowCount() - 1, 0)}));
        QWidget *viewport = table->viewport();
        const QPoint at = viewport->mapFrom(table->window(), point) -
                          QPoint(0, table->verticalHeader()->defaultSectionSize() / 2 - 2);
        QDragEnterEvent enter(at, Qt::CopyAction, payload.get(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, payload.get(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &move);
        QDropEvent drop(at, Qt::CopyAction, payload.get(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
        const QStringList after = names(items);
        if (after.size() == before.size() + 1) {
            // the row the dropped one went in front of
            qsizetype row = 0;
            while (row < before.size() && after.at(row) == before.at(row))
                ++row;
            acted << (row < before.size() ? before.at(row) : QStringLiteral("(the end)"));
        } else if (after != before) {
            acted << QStringLiteral("(%1 services after the drop)").arg(after.size());
        }
        if (table->isEditing())
            acted << QStringLiteral("(a table left in its dragging state)");
        break;
    }
    }
    return acted;
}
