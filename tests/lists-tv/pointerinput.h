#pragma once

#include "tabledrawn.h"
#include "waitingsearchlists.h"

#include "listpagetest.h"

#include "device/core/zbdeviceinfo.h"
#include "document/itemsdatabasemodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "lists/linklistmodule.h"
#include "lists/tvlistmodule.h"
#include "widgets/itemstableview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QSet>
#include <QTest>
#include <QWindow>

#include <initializer_list>
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
        dropOnTable(table,
                    table->viewport()->mapFrom(table->window(), point) -
                        QPoint(0, table->verticalHeader()->defaultSectionSize() / 2 - 2),
                    payload.get());
        acted = droppedInFrontOf(before, names(items));
        if (table->isEditing())
            acted << QStringLiteral("(a table left in its dragging state)");
        break;
    }
    }
    return acted;
}

struct PointerCase
{
    Pointer input;
    const char *name;
};

// The rows of a data table: each input on the TV and on the link page.
inline void addPointerRows(std::initializer_list<PointerCase> inputs)
{
    QTest::addColumn<int>("input");
    QTest::addColumn<bool>("links");
    for (const bool links : {false, true})
        for (const PointerCase &input : inputs)
            QTest::addRow("%s on the %s page", input.name, links ? "link" : "TV") << int(input.input) << links;
}

// The TV page (or with links the link page) showing a large list half of whose items hold "Sport": run is
// called with the page and the tag of the items' names.
template<class Run> void onHalfSportPage(ZBDeviceInfo *info, bool links, Run &&run)
{
    const int count = serviceCount();
    if (links) {
        auto page = showListPage<LinkListModule>(info, halfSportLinks(count));
        QCOMPARE(page->stackedWidget->currentIndex(), int(LinkListModule::PageEditor));
        run(page.get(), QStringLiteral("title"));
    } else {
        auto page = showListPage<TVListModule>(info, halfSport(count));
        QCOMPARE(page->stackedWidget->currentIndex(), int(TVListModule::PageEditor));
        run(page.get(), QStringLiteral("name"));
    }
}

// Where input is aimed in a page's table: the 4th row shown or, where that holds "Sport", the next row
// below it that does not.
struct AimedRow
{
    int seen = -1; // its row in the items model
    QString seenName;
    QPoint point;    // in the table's viewport
    QPoint inWindow; // the same point in the table's window
    QWindow *window = nullptr;

    // Whether all of it was found; a test failure says what was not.
    bool find(ItemsTableView *table)
    {
        int row = 3;
        while (row < 10 && table->model()->index(row, 1).data().toString().startsWith(QLatin1String("Sport")))
            ++row;
        const QModelIndex cell = table->model()->index(row, 1);
        seen = table->proxy()->mapToSource(cell).row();
        seenName = cell.data().toString();
        point = uncoveredPoint(table, table->visualRect(cell));
        window = table->window()->windowHandle();
        inWindow = table->viewport()->mapTo(table->window(), point);
        [&] {
            QVERIFY2(!seenName.startsWith(QLatin1String("Sport")), qPrintable(seenName));
            QVERIFY2(!point.isNull(), "another panel covers the whole cell");
            QVERIFY(window);
        }();
        return !QTest::currentTestFailed();
    }
};
