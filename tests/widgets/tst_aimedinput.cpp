#include "numberedrowstable.h"
#include "stampedinput.h"
#include "tabledrawn.h"
#include "testmain.h"
#include "widgetsfixture.h"

#include "widgets/aimedinputrule.h"
#include "widgets/itemlistview.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QMimeData>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QWheelEvent>
#include <QWindow>

#include <functional>

// Every table of the program (here a favourite list's, over a sorting and filtering proxy): input aimed at
// a place acts on the row drawn there. Rows moved there by a paste, a delete, a sort, a filter, a download
// or a scroll since the table was last drawn are not acted on; rows that stay put are.

namespace {

enum Input { Press, DropAbove, Wheel };

} // namespace

class TestAimedInput : public QObject, private NumberedRowsTable
{
    Q_OBJECT

    // The point of the 4th row shown: in its middle, or for a drop near its top edge, so that a dropped
    // row goes in front of it.
    QPoint placeOfFourthRow(Input input) const
    {
        const QRect cell = table->visualRect(table->model()->index(3, 0));
        return input == DropAbove ? QPoint(cell.center().x(), cell.top() + 1) : cell.center();
    }

    // What input at point acted on: the rows a press selects, the row a dropped one went in front of, or
    // "scrolled" for a wheel turn that scrolled the table.
    QStringList inputAt(Input input, const QPoint &point)
    {
        QWidget *viewport = table->viewport();
        QStringList acted;
        switch (input) {
        case Press:
            table->clearSelection();
            // sent to the table itself, so that no event loop runs after it
            QTest::mouseClick(viewport, Qt::LeftButton, {}, point);
            for (const QModelIndex &row : table->selectionModel()->selectedRows(0))
                acted << row.data().toString();
            break;
        case DropAbove: {
            QStandardItemModel other;
            other.appendRow({new QStandardItem(QStringLiteral("dropped")), new QStandardItem});
            const std::unique_ptr<QMimeData> payload(other.mimeData({other.index(0, 0), other.index(0, 1)}));
            const QStringList before = texts(source.get());
            dropOnTable(table, point, payload.get());
            acted = droppedInFrontOf(before, texts(source.get()));
            if (table->isEditing())
                acted << QStringLiteral("(a table left in its dragging state)");
            break;
        }
        case Wheel: {
            const int at = table->verticalScrollBar()->value();
            QWheelEvent wheel(point, viewport->mapToGlobal(point), QPoint(), QPoint(0, -120), Qt::NoButton, {},
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(viewport, &wheel);
            if (table->verticalScrollBar()->value() != at)
                acted << QStringLiteral("scrolled");
            break;
        }
        }
        return acted;
    }

private slots:
    void init()
    {
        openTable();
        QVERIFY(tableDrawn(table));
    }
    void cleanup()
    {
        AimedInputRule::setStampsFollowTime(false);
        closeTable();
    }

    // Each change, then at once input at the 4th row shown. Where another row stands there since, a press or a
    // drop acts on nothing until the table is drawn, and then on the row it shows there; a wheel turn scrolls.
    void inputRightAfterTheRowsChanged_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<std::function<void(TestAimedInput *)>>("change");
        QTest::addColumn<bool>("moved");
        const std::function<void(TestAimedInput *)> changes[] = {
            [](TestAimedInput *test) { test->source->insertRow(0, new QStandardItem(QStringLiteral("pasted"))); },
            [](TestAimedInput *test) { test->source->removeRows(1, 2); },
            [](TestAimedInput *test) { test->proxy->sort(0, Qt::DescendingOrder); },
            [](TestAimedInput *test) { test->proxy->setFilterFixedString(QStringLiteral("5")); },
            // as many rows again, downloaded anew: the same places, other services
            [](TestAimedInput *test) {
                test->source->setRowCount(0);
                for (int row = 0; row < 200; ++row)
                    test->source->appendRow(new QStandardItem(QStringLiteral("d%1").arg(row)));
            },
            [](TestAimedInput *test) { test->table->scrollTo(test->proxy->index(100, 0)); },
            [](TestAimedInput *test) { test->source->insertRow(150, new QStandardItem(QStringLiteral("below"))); },
            [](TestAimedInput *test) { test->source->item(3, 0)->setText(QStringLiteral("renamed")); },
        };
        const char *names[] = {"a paste above",
                               "a delete above",
                               "a sort",
                               "a filter",
                               "a download",
                               "a scroll",
                               "a paste below the rows shown",
                               "a rename"};
        const bool moves[] = {true, true, true, true, true, true, false, false};
        const char *inputs[] = {"a press", "a drop", "a wheel turn"};
        for (int input = Press; input <= Wheel; ++input) {
            for (int change = 0; change < 8; ++change) {
                // a wheel turn only scrolls, from whatever rows there are: it is never dropped
                const bool moved = moves[change] && input != Wheel;
                QTest::addRow("%s after %s", inputs[input], names[change]) << input << changes[change] << moved;
            }
        }
    }
    void inputRightAfterTheRowsChanged()
    {
        QFETCH(int, input);
        QFETCH(std::function<void(TestAimedInput *)>, change);
        QFETCH(bool, moved);
        const QPoint point = placeOfFourthRow(Input(input));
        change(this);
        const QStringList changed = texts(source.get());
        const int scrolledTo = table->verticalScrollBar()->value();
        const QString shown = table->indexAt(point).data().toString();
        if (moved) {
            QCOMPARE(inputAt(Input(input), point), QStringList());
            QCOMPARE(table->selectionModel()->selectedRows().size(), 0);
            QCOMPARE(texts(source.get()), changed);
            QCOMPARE(table->verticalScrollBar()->value(), scrolledTo);
            QVERIFY(tableDrawn(table));
            QCOMPARE(table->indexAt(point).data().toString(), shown);
        }
        QCOMPARE(inputAt(Input(input), point), QStringList{input == Wheel ? QStringLiteral("scrolled") : shown});
    }

    // A press the rule drops takes the rest of it along: the moves that would drag or stretch a selection
    // and the release; with a double-click, its second press and the double-click itself. The next click,
    // on the table as drawn, is the user's own.
    void restOfADroppedPress()
    {
        QWindow *window = win->window.windowHandle();
        const QPoint point = table->viewport()->mapTo(&win->window, placeOfFourthRow(Press));
        const QPoint step(0, QApplication::startDragDistance() + 2);
        QSignalSpy pressed(table, &QAbstractItemView::pressed);
        QSignalSpy doubleClicked(table, &QAbstractItemView::doubleClicked);
        proxy->sort(0, Qt::DescendingOrder);
        QTest::mousePress(window, Qt::LeftButton, {}, point);
        QTest::mouseMove(window, point + step);
        QTest::mouseMove(window, point + 2 * step);
        QTest::mouseRelease(window, Qt::LeftButton, {}, point + 2 * step);
        QCOMPARE(pressed.size(), 0);
        QCOMPARE(table->selectionModel()->selectedRows().size(), 0);
        QVERIFY(!table->isEditing());

        proxy->sort(0, Qt::AscendingOrder);
        QTest::mouseDClick(window, Qt::LeftButton, {}, point);
        QCOMPARE(pressed.size(), 0);
        QCOMPARE(doubleClicked.size(), 0);
        QCOMPARE(table->selectionModel()->selectedRows().size(), 0);

        QVERIFY(tableDrawn(table));
        const QString shown = table->model()->index(3, 0).data().toString();
        QTest::mouseDClick(window, Qt::LeftButton, {}, point);
        QCOMPARE(doubleClicked.size(), 1);
        QCOMPARE(doubleClicked.first().first().value<QModelIndex>().data().toString(), shown);
        QCOMPARE(table->selectionModel()->selectedRows(0).value(0).data().toString(), shown);
    }

    // The rows selected by a click made at ms at point of the viewport, through the window.
    QStringList clickAt(StampedInput &user, int ms, const QPoint &point)
    {
        table->clearSelection();
        user.click(ms, win->window.windowHandle(), table->viewport()->mapTo(&win->window, point));
        QStringList acted;
        for (const QModelIndex &row : table->selectionModel()->selectedRows(0))
            acted << row.data().toString();
        return acted;
    }

    // A scroll the user makes by pointing (the wheel, the scroll bar) is watched as it happens: a click made
    // right after it, once drawn, acts on the row drawn. A scroll the program makes gives the rows it brings a
    // reaction time first: a click made 50 ms after it acts on nothing, one made 1.5 s after on the row drawn.
    void clickAfterAScroll_data()
    {
        QTest::addColumn<QString>("scroll");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("acts");
        for (const char *scroll : {"the wheel", "the scroll bar", "the program"})
            for (const int after : {50, 1500})
                QTest::addRow("made %d ms after a scroll by %s", after, scroll)
                    << QString::fromLatin1(scroll) << after << (after > 1000 || qstrcmp(scroll, "the program") != 0);
    }
    void clickAfterAScroll()
    {
        QFETCH(QString, scroll);
        QFETCH(int, after);
        QFETCH(bool, acts);
        StampedInput user;
        QWindow *window = win->window.windowHandle();
        const QPoint point = placeOfFourthRow(Press);
        user.rest(0, &win->window);
        QScrollBar *bar = table->verticalScrollBar();
        if (scroll == "the wheel") {
            user.wheel(100, table->viewport(), point);
        } else if (scroll == "the scroll bar") {
            // a click below the slider: a page down
            user.click(100, window, bar->mapTo(&win->window, QPoint(bar->width() / 2, bar->height() - 30)));
        } else {
            table->scrollTo(proxy->index(100, 0), QAbstractItemView::PositionAtTop);
        }
        QVERIFY(bar->value() > 0);
        QVERIFY(tableDrawn(table));
        const QString shown = table->indexAt(point).data().toString();
        QVERIFY(shown != QStringLiteral("r3"));
        QCOMPARE(clickAt(user, 100 + after, point), acts ? QStringList{shown} : QStringList());
    }

    // Events made by code carry no stamp, and a source of input may count on a clock of its own: neither keeps
    // the table from taking clicks. A click without a stamp acts on the row drawn; one stamped far back in
    // another clock is taken as made when it came, and that clock's next click 1.5 s on acts on the row drawn.
    void clicksInOtherClocks()
    {
        StampedInput user;
        user.rest(0, &win->window);
        const QPoint point = placeOfFourthRow(Press);
        proxy->sort(0, Qt::DescendingOrder);
        QVERIFY(tableDrawn(table));
        const QString shown = table->indexAt(point).data().toString();
        QVERIFY(shown != QStringLiteral("r3"));

        QMouseEvent press(QEvent::MouseButtonPress, point, table->viewport()->mapToGlobal(point), Qt::LeftButton,
                          Qt::LeftButton, {});
        QCOMPARE(press.timestamp(), quint64(0));
        QApplication::sendEvent(table->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, point, table->viewport()->mapToGlobal(point), Qt::LeftButton,
                            Qt::NoButton, {});
        QApplication::sendEvent(table->viewport(), &release);
        QCOMPARE(table->selectionModel()->selectedRows(0).value(0).data().toString(), shown);

        table->clearSelection();
        proxy->setFilterFixedString(QStringLiteral("1"));
        QVERIFY(tableDrawn(table));
        const QString shownNow = table->indexAt(point).data().toString();
        QVERIFY(shownNow != QStringLiteral("r3") && shownNow != shown);
        // a clock one day behind the one of the window so far
        const int behind = -24 * 3600 * 1000;
        QCOMPARE(clickAt(user, behind, point), QStringList()); // taken as made right after the sort
        QCOMPARE(clickAt(user, behind + 1500, point), QStringList{shownNow});
    }

    // Where the stamps run with time, as a window system's do, rows that change with no input at all (a listing
    // that arrives) are dated by the program's own clock from the last stamp on: a click made 100 ms after they
    // were drawn acts on nothing, one made 1.5 s after on the row drawn.
    void rowsChangedWhileNoInputCame()
    {
        AimedInputRule::setStampsFollowTime(true);
        QElapsedTimer clock;
        clock.start();
        StampedInput user;
        const QPoint point = placeOfFourthRow(Press);
        user.rest(int(clock.elapsed()), &win->window);
        // as many rows again, downloaded anew: the same places, other entries
        source->setRowCount(0);
        for (int row = 0; row < 200; ++row)
            source->appendRow(new QStandardItem(QStringLiteral("d%1").arg(row)));
        qint64 drawnAt = -1;
        {
            const PaintWatch watch(table->viewport(), [&] { drawnAt = clock.elapsed(); });
            QVERIFY(tableDrawn(table));
        }
        QVERIFY(drawnAt >= 0);
        const QString shown = table->indexAt(point).data().toString();
        QCOMPARE(shown, QStringLiteral("d3"));
        QCOMPARE(clickAt(user, int(drawnAt) + 100, point), QStringList());
        QCOMPARE(clickAt(user, int(drawnAt) + 1500, point), QStringList{shown});
    }

    // Keys act on the selection as always, whatever moved since the table was drawn.
    void keysActOnTheSelection()
    {
        table->selectRow(3);
        const QString selected = table->model()->index(3, 0).data().toString();
        source->insertRow(0, new QStandardItem(QStringLiteral("pasted")));
        TestWindow::focus(table);
        QTest::keyClick(table, Qt::Key_Delete);
        QVERIFY(!texts(source.get()).contains(selected));
        QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(table->selectionModel()->selectedRows().size(), proxy->rowCount());
    }
};

OMBRELAY_TEST_MAIN(TestAimedInput)
#include "tst_aimedinput.moc"
