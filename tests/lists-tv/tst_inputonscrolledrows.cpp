#include "tabledrawn.h"
#include "testmain.h"

#include "dialoganswerer.h"
#include "listinthewindow.h"
#include "listpagetest.h"
#include "stampedinput.h"
#include "waitingsearchlists.h"

#include "app/mainwindow.h"
#include "device/core/zbdeviceinfo.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/favouritelisteditor.h"
#include "lists/listtabwidget.h"
#include "lists/tvlistmodule.h"
#include "widgets/aimedinputrule.h"
#include "widgets/itemlistview.h"

#include <QCursor>
#include <QMimeData>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <memory>

// A favourite list of the TV page scrolled while the user watches it: by the list itself while a drag that
// reorders it rests at its bottom edge, by the scroll bar, by the keys. A drop or a click made soon after, once
// the list is drawn, acts on the entry drawn there: the user aimed at what the scroll showed. After a scroll the
// program makes, the entries it brings get a reaction time first: a drop or a click made soon after acts on
// nothing, made 1.5 s after on the entry drawn.

namespace {

// The table of the favourite list shown on page.
template<class Page> ItemListView *favouriteTable(Page *page)
{
    auto *editor = qobject_cast<FavouriteListEditor *>(page->listsTabWidget->currentWidget());
    return editor ? editor->tblItems : nullptr;
}

// The column of the table that shows the services' names.
int nameColumn(const QAbstractItemView *table)
{
    const QRegularExpression name(QStringLiteral("^(Sport|Kultur) \\d+$"));
    for (int column = 0; column < table->model()->columnCount(); ++column)
        if (name.match(table->model()->index(0, column).data().toString()).hasMatch())
            return column;
    return -1;
}

// The names of the entries of the list, in order.
QStringList entries(const QAbstractItemView *table, int column)
{
    QStringList names;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        names << table->model()->index(row, column).data().toString();
    return names;
}

// What a reorder did to a list's entries: the entry moved now stands in front of; nothing when the list stayed as
// it was.
QStringList reordered(const QStringList &before, const QStringList &after, const QString &moved)
{
    if (after == before)
        return {};
    QStringList was = before, is = after;
    std::sort(was.begin(), was.end());
    std::sort(is.begin(), is.end());
    if (was != is)
        return {QStringLiteral("(entries changed, not only their order)")};
    const qsizetype at = after.indexOf(moved);
    return {at + 1 < after.size() ? after.at(at + 1) : QStringLiteral("(the end)")};
}

// The scroll bar of table moved as the user moves it with a click below its slider.
void pageDownByTheScrollBar(QAbstractItemView *table)
{
    table->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
}

} // namespace

class TestInputOnScrolledRows : public QObject
{
    Q_OBJECT

    ZBDeviceInfo info{QStringLiteral("Box")};
    QTemporaryDir dir;
    qint64 programMs = 0; // the program's own clock, moved on by the test

    // The stamps' clock running on with a clock of the test's, which stands still until the test moves it: the
    // drop carries no stamp and is made, as far as the program knows, when it comes.
    void followTestTime()
    {
        programMs = 0;
        AimedInputRule::setTimeForTests([this] { return programMs; });
        AimedInputRule::setStampsFollowTime(true);
    }

    // The first entry of the page's favourite list dragged over the list to reorder it, the list scrolled by
    // scroll while the drag is over it, then dropped at the top edge of the 4th entry shown, after ms after the
    // list was drawn scrolled: the entry goes in front of the entry drawn there when taken, else the list stays.
    template<class Page> void dropAfterAScroll(Page *page, const QString &scroll, int after, bool taken)
    {
        ItemListView *list = favouriteTable(page);
        QVERIFY(list && list->isVisible());
        const int name = nameColumn(list);
        QVERIFY(name >= 0);
        QVERIFY(list->model()->rowCount() > 50);
        QVERIFY(tableDrawn(list));
        QWidget *viewport = list->viewport();
        QScrollBar *bar = list->verticalScrollBar();
        QCOMPARE(bar->value(), 0);
        // at the bottom edge, where the list scrolls itself; the drop near the top of a row, to go in front of it
        const QPoint edge(viewport->width() / 2, viewport->height() - 3);
        const QPoint point(edge.x(), list->rowViewportPosition(3) + 2);
        // the pointer where the drag comes in, before it does
        QCursor::setPos(viewport->mapToGlobal(scroll == "the list" ? edge : point));
        QTRY_COMPARE(QCursor::pos(), viewport->mapToGlobal(scroll == "the list" ? edge : point));
        QVERIFY(tableDrawn(list));

        followTestTime();
        StampedInput user;
        user.rest(0, list->window());
        const std::unique_ptr<QMimeData> payload(list->model()->mimeData({list->model()->index(0, 0)}));
        // a reorder: the list's own drag moves its entries
        const Qt::DropActions actions = Qt::MoveAction;
        {
            const PointerHeldByTheDrag held;
            const QPoint in = scroll == "the list" ? edge : point;
            QDragEnterEvent enter(in, actions, payload.get(), Qt::LeftButton, {});
            QApplication::sendEvent(viewport, &enter);
            QDragMoveEvent move(in, actions, payload.get(), Qt::LeftButton, {});
            QApplication::sendEvent(viewport, &move);
            QVERIFY2(list->isEditing(), "the list took no drag");
            if (scroll == "the list") {
                // resting at the edge: the list scrolls itself a step at a time, then the pointer moves up
                QTRY_VERIFY(bar->value() > 2);
                QCursor::setPos(viewport->mapToGlobal(point));
            } else if (scroll == "the scroll bar") {
                pageDownByTheScrollBar(list);
            } else {
                list->scrollTo(list->model()->index(60, 0), QAbstractItemView::PositionAtTop);
            }
            QVERIFY(bar->value() > 0);
            QDragMoveEvent moved(point, actions, payload.get(), Qt::LeftButton, {});
            QApplication::sendEvent(viewport, &moved);
            QVERIFY(tableDrawn(list));
            const int scrolledTo = bar->value();
            const QString shown = list->indexAt(point).siblingAtColumn(name).data().toString();
            QVERIFY(!shown.isEmpty());
            const QStringList before = entries(list, name);

            programMs += after;
            QDropEvent drop(point, actions, payload.get(), Qt::LeftButton, {});
            QApplication::sendEvent(viewport, &drop);
            QCOMPARE(reordered(before, entries(list, name), before.first()),
                     taken ? QStringList{shown} : QStringList());
            QCOMPARE(bar->value(), scrolledTo);
        }
        // a drop refused leaves the list as when the drag leaves it
        QVERIFY(!list->isEditing());
        AimedInputRule::setStampsFollowTime(false);
        AimedInputRule::setTimeForTests({});
    }

    // The page's favourite list scrolled by scroll (keys the user gives it, from the last entry shown in full
    // for an arrow, else from the first; or the program), then a click on the 4th entry shown made after ms after
    // the keys: it selects the entry drawn there when taken, else nothing changes.
    template<class Page> static void clickAfterAScroll(Page *page, const QString &scroll, int after, bool taken)
    {
        ItemListView *list = favouriteTable(page);
        QVERIFY(list && list->isVisible());
        const int name = nameColumn(list);
        QVERIFY(name >= 0);
        QScrollBar *bar = list->verticalScrollBar();
        StampedInput user;
        list->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), list);
        QVERIFY(tableDrawn(list));
        const int from = scroll == "Down" ? list->rowAt(list->viewport()->height() - 1) - 1 : 0;
        QVERIFY(from >= 0);
        list->setCurrentIndex(list->model()->index(from, name));
        QVERIFY(tableDrawn(list));
        const QPoint point(list->columnViewportPosition(name) + 10, list->rowViewportPosition(3) + 10);
        const QString before = list->indexAt(point).siblingAtColumn(name).data().toString();
        user.rest(2000, list->window());
        if (scroll == "the program") {
            list->scrollTo(list->model()->index(60, 0), QAbstractItemView::PositionAtTop);
        } else {
            const QKeySequence keys(scroll);
            user.key(2000, keys[0].key(), QString(), keys[0].keyboardModifiers());
        }
        QVERIFY(bar->value() > 0);
        QVERIFY(tableDrawn(list));
        const QString shown = list->indexAt(point).siblingAtColumn(name).data().toString();
        QVERIFY(shown != before);
        const QModelIndex current = list->currentIndex();
        const QModelIndexList selected = list->selectionModel()->selectedRows();
        user.click(2000 + after, list->window()->windowHandle(), list->viewport()->mapTo(list->window(), point));
        if (taken) {
            QCOMPARE(list->selectionModel()->selectedRows(name).size(), 1);
            QCOMPARE(list->selectionModel()->selectedRows(name).first().data().toString(), shown);
        } else {
            QCOMPARE(list->currentIndex(), current);
            QCOMPARE(list->selectionModel()->selectedRows(), selected);
        }
    }

private slots:
    void cleanup()
    {
        AimedInputRule::setStampsFollowTime(false);
        AimedInputRule::setTimeForTests({});
    }

    void dropAfterAScroll_data()
    {
        QTest::addColumn<QString>("scroll");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("taken");
        for (const char *scroll : {"the list", "the scroll bar", "the program"})
            for (const int after : {150, 300, 1500})
                QTest::addRow("made %d ms after a scroll by %s", after, scroll)
                    << QString::fromLatin1(scroll) << after << (after > 1000 || qstrcmp(scroll, "the program") != 0);
    }
    void dropAfterAScroll()
    {
        QFETCH(QString, scroll);
        QFETCH(int, after);
        QFETCH(bool, taken);
        DialogAnswerer answers;
        auto page = showListPage<TVListModule>(&info, halfSport(600));
        dropAfterAScroll(page.get(), scroll, after, taken);
        page->projectManager()->closeProject();
    }

    void clickAfterAScroll_data()
    {
        QTest::addColumn<QString>("scroll");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("taken");
        // as the platform names the keys
        for (const char *key : {"PgDown", "Ctrl+End", "Down"})
            QTest::addRow("made 200 ms after %s", key) << QString::fromLatin1(key) << 200 << true;
        QTest::newRow("made 200 ms after a scroll by the program") << QStringLiteral("the program") << 200 << false;
        QTest::newRow("made 1.5 s after a scroll by the program") << QStringLiteral("the program") << 1500 << true;
    }
    void clickAfterAScroll()
    {
        QFETCH(QString, scroll);
        QFETCH(int, after);
        QFETCH(bool, taken);
        DialogAnswerer answers;
        auto page = showListPage<TVListModule>(&info, halfSport(600));
        clickAfterAScroll(page.get(), scroll, after, taken);
        page->projectManager()->closeProject();
    }

    // In the whole program: the reorder by a drag that rests at the list's edge, dropped 150 ms after the list
    // scrolled itself, is taken; after a scroll the program makes, refused.
    void dropInTheWindow_data()
    {
        QTest::addColumn<QString>("scroll");
        QTest::addColumn<bool>("taken");
        QTest::newRow("made 150 ms after a scroll by the list") << QStringLiteral("the list") << true;
        QTest::newRow("made 150 ms after a scroll by the program") << QStringLiteral("the program") << false;
    }
    void dropInTheWindow()
    {
        QFETCH(QString, scroll);
        QFETCH(bool, taken);
        withHalfSportInTheWindow(dir, QStringLiteral("reorder.tvqvxc"), 600,
                                 [&](TVListModule *page) { dropAfterAScroll(page, scroll, 150, taken); });
    }
};

OMBRELAY_TEST_MAIN(TestInputOnScrolledRows)
#include "tst_inputonscrolledrows.moc"
