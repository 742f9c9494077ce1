#include "numberedrowstable.h"
#include "stampedinput.h"
#include "tabledrawn.h"
#include "testmain.h"
#include "widgetsfixture.h"

#include "widgets/aimedinputrule.h"
#include "widgets/itemlistview.h"

#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStyleHints>
#include <QWindow>

// A table of the program (a favourite list's, over a sorting and filtering proxy) judges input in the user's
// time: by the stamp the window system gave it when it was made, against the rows that stood drawn under the
// pointer a reaction time before. The stamps' clock runs on with the program's own between events, and the
// reaction time is the platform's double-click interval, never less than a quarter of a second. The user's own
// scrolling by the keys needs none, and neither do rows changing around a row that stands.

class TestAimedInputTime : public QObject, private NumberedRowsTable
{
    Q_OBJECT

    int doubleClickInterval = 0;
    qint64 programMs = 0; // the program's own clock, where a test lets time pass

    // The middle of the 4th row shown.
    QPoint fourthRow() const { return table->visualRect(table->model()->index(table->rowAt(0) + 3, 0)).center(); }
    QString drawnAt(const QPoint &point) const { return table->indexAt(point).siblingAtColumn(0).data().toString(); }
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
    // The stamps' clock running on with a clock of the test's, which stands still until the test moves it.
    void followTestTime()
    {
        programMs = 0;
        AimedInputRule::setTimeForTests([this] { return programMs; });
        AimedInputRule::setStampsFollowTime(true);
    }

private slots:
    void init()
    {
        doubleClickInterval = QApplication::doubleClickInterval();
        openTable();
        QVERIFY(tableDrawn(table));
    }
    void cleanup()
    {
        AimedInputRule::setStampsFollowTime(false);
        AimedInputRule::setTimeForTests({});
        QApplication::setDoubleClickInterval(doubleClickInterval);
        closeTable();
    }

    // The rows sorted anew, then a click on the 4th row shown: with a double-click interval of 100 ms, made
    // 200 ms after the rows were drawn it acts on nothing and 300 ms after on the row drawn; with one of 600 ms,
    // made 500 ms after on nothing and 700 ms after on the row drawn.
    void reactionTimeIsAQuarterOfASecondAtLeast_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("acts");
        QTest::newRow("double-click interval 100 ms, made 200 ms after") << 100 << 200 << false;
        QTest::newRow("double-click interval 100 ms, made 300 ms after") << 100 << 300 << true;
        QTest::newRow("double-click interval 600 ms, made 500 ms after") << 600 << 500 << false;
        QTest::newRow("double-click interval 600 ms, made 700 ms after") << 600 << 700 << true;
    }
    void reactionTimeIsAQuarterOfASecondAtLeast()
    {
        QFETCH(int, interval);
        QFETCH(int, after);
        QFETCH(bool, acts);
        QApplication::setDoubleClickInterval(interval);
        QCOMPARE(QGuiApplication::styleHints()->mouseDoubleClickInterval(), interval);
        StampedInput user;
        user.rest(0, &win->window);
        const QPoint point = fourthRow();
        proxy->sort(0, Qt::DescendingOrder);
        QVERIFY(tableDrawn(table));
        const QString shown = drawnAt(point);
        QVERIFY(shown != QStringLiteral("r3"));
        QCOMPARE(clickAt(user, after, point), acts ? QStringList{shown} : QStringList());
    }

    // Where the stamps follow time, the program is busy for a second after it drew the rows sorted anew, and
    // only then takes a click made 100 ms after they were drawn: it acts on nothing. One made 1.5 s after acts
    // on the row drawn.
    void inputJudgedByWhenItWasMade()
    {
        followTestTime();
        StampedInput user;
        user.rest(0, &win->window);
        const QPoint point = fourthRow();
        proxy->sort(0, Qt::DescendingOrder);
        QVERIFY(tableDrawn(table));
        const QString shown = drawnAt(point);
        QVERIFY(shown != QStringLiteral("r3"));
        programMs += 1000;
        QCOMPARE(clickAt(user, 100, point), QStringList());
        QCOMPARE(table->selectionModel()->selectedRows().size(), 0);
        programMs += 1000;
        QCOMPARE(clickAt(user, 1500, point), QStringList{shown});
    }

    // Where the stamps follow time, five seconds pass with no input; then the rows are sorted anew and drawn.
    // A click made 100 ms after that acts on nothing, one made 1.5 s after on the row drawn.
    void clockRunsOnBetweenEvents()
    {
        followTestTime();
        StampedInput user;
        user.rest(0, &win->window);
        const QPoint point = fourthRow();
        programMs += 5000;
        proxy->sort(0, Qt::DescendingOrder);
        QVERIFY(tableDrawn(table));
        const QString shown = drawnAt(point);
        QVERIFY(shown != QStringLiteral("r3"));
        QCOMPARE(clickAt(user, 5100, point), QStringList());
        QCOMPARE(clickAt(user, 6500, point), QStringList{shown});
    }

    // Without a window system, input is stamped by the code that makes it, while the pointer placed by code
    // (QCursor::setPos) is moved by the platform with stamps of its own clock. The pointer placed with a stamp 3 s
    // ahead of the input's, the rows sorted anew and drawn, a click made 1 s after them acts on the row drawn:
    // the platform's stamp does not date the click back into the time before the rows were drawn.
    void pointerPlacedByCodeDoesNotDateInput()
    {
        const QPoint point = fourthRow();
        qint64 placedAt = 0;
        struct PlacedMoves : QObject
        {
            qint64 *at;
            explicit PlacedMoves(qint64 *at) : at(at) {}
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::MouseMove &&
                    static_cast<QMouseEvent *>(event)->source() == Qt::MouseEventSynthesizedByQt)
                    *at = qint64(static_cast<QMouseEvent *>(event)->timestamp());
                return false;
            }
        } placedMoves(&placedAt);
        qApp->installEventFilter(&placedMoves);
        // placed until the platform's clock is 3 s on, so that the input's stamps can stand 2 s behind it
        for (int tries = 0; placedAt < 3000 && tries < 10; ++tries) {
            if (tries)
                QTest::qWait(int(3000 - placedAt));
            QCursor::setPos(table->viewport()->mapToGlobal(point + QPoint(0, tries % 2)));
            QCoreApplication::processEvents();
        }
        qApp->removeEventFilter(&placedMoves);
        QVERIFY2(placedAt >= 3000, "the platform placed the pointer with no stamp of its own clock");
        StampedInput user(placedAt - 3000);
        user.rest(0, &win->window);
        proxy->sort(0, Qt::DescendingOrder);
        QVERIFY(tableDrawn(table));
        const QString shown = drawnAt(point);
        QVERIFY(shown != QStringLiteral("r3"));
        QCOMPARE(clickAt(user, 1000, point), QStringList{shown});
    }

    // Keys given to the table scroll rows in that the user watches as they come: a click made 200 ms after,
    // once drawn, acts on the row drawn. A scroll the program makes gives its rows a reaction time: a click made
    // 200 ms after it acts on nothing, one made 1.5 s after on the row drawn.
    void clickAfterKeysScrolledTheTable_data()
    {
        QTest::addColumn<QString>("scroll");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("acts");
        // as the platform names them
        for (const char *key : {"PgDown", "Ctrl+End", "Down", "PgUp", "Ctrl+Home", "Up"})
            QTest::addRow("%s, a click made 200 ms after", key) << QString::fromLatin1(key) << 200 << true;
        QTest::newRow("the program, a click made 200 ms after") << QStringLiteral("the program") << 200 << false;
        QTest::newRow("the program, a click made 1.5 s after") << QStringLiteral("the program") << 1500 << true;
    }
    void clickAfterKeysScrolledTheTable()
    {
        QFETCH(QString, scroll);
        QFETCH(int, after);
        QFETCH(bool, acts);
        QScrollBar *bar = table->verticalScrollBar();
        StampedInput user;
        TestWindow::focus(table);
        user.rest(0, &win->window);
        const bool fromTheEnd = scroll == "PgUp" || scroll == "Ctrl+Home" || scroll == "Up";
        if (fromTheEnd) {
            // long before, the user went to the end
            user.key(0, Qt::Key_End, QString(), Qt::ControlModifier);
            QCOMPARE(bar->value(), bar->maximum());
            QVERIFY(tableDrawn(table));
        }
        // the row the keys move from: at the edge the arrows scroll from
        const int rows = table->viewport()->height() / table->rowHeight(0);
        const int first = table->rowAt(0);
        table->setCurrentIndex(proxy->index(scroll == "Down" ? first + rows - 1 : first, 0));
        QVERIFY(tableDrawn(table));
        const QPoint point = fourthRow();
        const QString before = drawnAt(point);
        const int at = bar->value();
        user.rest(2000, &win->window);
        if (scroll == "the program") {
            table->scrollTo(proxy->index(100, 0), QAbstractItemView::PositionAtTop);
        } else {
            const QKeySequence keys(scroll);
            user.key(2000, keys[0].key(), QString(), keys[0].keyboardModifiers());
        }
        QVERIFY(bar->value() != at);
        QVERIFY(tableDrawn(table));
        const QString shown = drawnAt(point);
        QVERIFY(shown != before);
        const QModelIndex current = table->currentIndex();
        table->clearSelection();
        user.click(2000 + after, win->window.windowHandle(), table->viewport()->mapTo(&win->window, point));
        QStringList acted;
        for (const QModelIndex &row : table->selectionModel()->selectedRows(0))
            acted << row.data().toString();
        QCOMPARE(acted, acts ? QStringList{shown} : QStringList());
        // a click dropped goes nowhere
        QCOMPARE(table->currentIndex().data().toString(), acts ? shown : current.data().toString());
    }

    // Rows inserted above the rows shown every 200 ms, as another program adds them: the row under the pointer
    // changes each time, and a click made 100 ms after one acts on nothing (the clicks 600 ms apart, so that no
    // two make a double-click). A wheel turn made 150 ms after each scrolls the table, as a wheel turn does
    // whatever changed. Once the rows stop changing, a click made 500 ms after the last acts on the row drawn.
    void rowsInsertedAboveTheRowsShown()
    {
        table->scrollTo(proxy->index(50, 0), QAbstractItemView::PositionAtTop);
        QVERIFY(tableDrawn(table));
        StampedInput user;
        user.rest(0, &win->window);
        const QPoint point = fourthRow();
        QScrollBar *bar = table->verticalScrollBar();
        int ms = 1000;
        for (int step = 0; step < 9; ++step, ms += 200) {
            user.rest(ms, &win->window);
            const QString before = drawnAt(point);
            source->insertRow(0, new QStandardItem(QStringLiteral("new %1").arg(step)));
            QVERIFY(tableDrawn(table));
            QVERIFY(drawnAt(point) != before);
            if (step % 3 == 0) {
                QCOMPARE(clickAt(user, ms + 100, point), QStringList());
                QCOMPARE(table->currentIndex(), QModelIndex());
            }
            const int at = bar->value();
            user.wheel(ms + 150, table->viewport(), point);
            QVERIFY2(bar->value() > at, "a wheel turn was dropped");
            QVERIFY(tableDrawn(table));
        }
        const QString shown = drawnAt(point);
        QCOMPARE(clickAt(user, ms - 200 + 500, point), QStringList{shown});
    }

    // A row inserted above the rows shown moves another row under the pointer; from then on every 200 ms a row
    // is inserted right below it, and the row under the pointer stands. A click made 100 ms after the first change
    // acts on nothing; made 700 ms after it and later, while the changes go on, on the row under the pointer.
    void rowsChangingAroundARowThatStands()
    {
        table->scrollTo(proxy->index(50, 0), QAbstractItemView::PositionAtTop);
        QVERIFY(tableDrawn(table));
        StampedInput user;
        const QPoint point = fourthRow();
        user.rest(1000, &win->window);
        source->insertRow(0, new QStandardItem(QStringLiteral("above")));
        QVERIFY(tableDrawn(table));
        const QString shown = drawnAt(point);
        QCOMPARE(shown, QStringLiteral("r52"));
        QStringList acted, expected;
        for (int ms = 1000; ms <= 2800; ms += 200) {
            if (ms > 1000) {
                user.rest(ms, &win->window);
                const int below = source->findItems(shown).value(0)->row() + 1;
                source->insertRow(below, new QStandardItem(QStringLiteral("below %1").arg(ms)));
                QVERIFY(tableDrawn(table));
                QCOMPARE(drawnAt(point), shown);
            }
            // 600 ms apart: no two clicks make a double-click
            if ((ms - 1000) % 600 == 0) {
                acted << clickAt(user, ms + 100, point).join(u',');
                expected << (ms + 100 - 1000 >= AimedInputRule::reactionTime() ? shown : QString());
            }
        }
        QCOMPARE(expected, (QStringList{QString(), shown, shown, shown}));
        QCOMPARE(acted, expected);
    }
};

OMBRELAY_TEST_MAIN(TestAimedInputTime)
#include "tst_aimedinputtime.moc"
