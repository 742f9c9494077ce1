#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QString>

#include <functional>

class AimedInputClock;
class QAbstractItemModel;
class QAbstractItemView;
class QEvent;
class QHeaderView;
class QModelIndex;
class QMouseEvent;
class QRegion;

// Input aimed at a place in a table or a tree acts on the row the user saw there, or on none. Rows move under
// the pointer: a search applied at a key, a filter, a sort, a paste, a download, a delete, a folder listed or
// read again, a scroll. The first such change after a paint notes which row stood at each height of the view
// as it was drawn (its texts in the columns drawn, or in the column rows are told by; in a tree also the names
// of the rows it is under); until the view is drawn again, a press, a double-click, a right-click menu, the
// start of a drag or a drop whose row is no longer the one drawn there is dropped, and with a press the rest of
// it (its moves, its release, its second click, its menu). That is the program's side; the user's is later
// still: the window system stamps each event when the user makes it, and events wait in its queue while the
// program draws. What the user aims at is what stood drawn a reaction time before the input was made: input
// meeting another row than that one is dropped too. So the time runs from the paint that changed what is drawn
// under the pointer: a change that leaves the rows drawn where they were costs nothing, and a row that has
// stood drawn for a reaction time is seen however long changes around it go on. What the user changes in the
// view and watches (a wheel turn, the scroll bar, the keys, the view's own scroll while a drag rests at its
// edge, a folder opened) needs no reaction time; a wheel turn only scrolls and is never dropped. Dropped input
// goes nowhere: a press the rule drops is taken before it moves the keyboard focus. One rule for every item
// view of the program: its tables and the media explorer's trees.
class AimedInputRule : public QObject
{
public:
    explicit AimedInputRule(QAbstractItemView *view);
    ~AimedInputRule() override;

    // The model whose row changes are watched; null for none.
    void watch(QAbstractItemModel *model);
    // Rows are told apart by their text in column alone (a file by its name: its size or date that changed
    // leaves it the same row); by default by their texts in the columns drawn.
    void tellRowsBy(int column) { keyColumn = column; }
    // Before the rows scroll by a vertical offset.
    void aboutToScroll();
    // Before the view shows other rows of its own accord (another root).
    void aboutToShowOtherRows();
    // Rows of this view also move without a change of the model's rows (a tree's folder expanded or collapsed
    // in code), told only once they moved: what was drawn is noted at each paint instead of at the first
    // change.
    void noteAtEachPaint() { eachPaint = true; }
    // The rows moved under the pointer without a change of the model's rows (see noteAtEachPaint).
    void rowsShifted();
    // After the view drew region of its viewport.
    void painted(const QRegion &region);
    // The view's viewport event as the rule takes it: placeRows lays out the rows the view has not placed yet,
    // so that input is judged against the rows its own handling will find; handle is that handling. Input the
    // rule drops goes no further (true), and a paint is noted once drawn.
    bool viewportEvent(QEvent *event, const std::function<void()> &placeRows,
                       const std::function<bool(QEvent *)> &handle);
    // Runs handling as input the user gives the view and watches: its keys, its own scrolling while a drag
    // rests at its edge. What that changes needs no reaction time.
    void watched(const std::function<void()> &handling);
    // Whether the viewport's event goes no further (accepted, or for a drop refused): input aimed at a row
    // that moved, or the rest of a press that was dropped. A press let through is noted for dragStarts.
    bool drops(QEvent *event);
    // Whether the drag the last press let through may start: false when the row under it moved since the
    // view was drawn, and the rest of that press is then dropped.
    bool dragStarts();
    // How long after rows reached the screen input aimed at them is still judged against the rows seen before.
    static int reactionTime();
    // Whether the events' stamps run with time (a window system stamps them as they are made) or only tell the
    // order and spacing of input (events made by code, as with the offscreen platform, each source counting
    // on its own): then the program's clock does not move the stamps' clock on between events.
    static void setStampsFollowTime(bool follow);
    // The program's own clock (ms) that the stamps' clock runs on with between events where they follow time;
    // null for the steady clock. For tests, which let time pass without waiting for it.
    static void setTimeForTests(std::function<qint64()> msNow);

private:
    friend class AimedInputClock;

    // What was drawn: each row's span in the viewport and its key, and the columns the keys are made of.
    struct DrawnRow
    {
        int top;
        int bottom;
        QString key;
        bool operator==(const DrawnRow &other) const
        {
            return top == other.top && bottom == other.bottom && key == other.key;
        }
    };
    struct DrawnRows
    {
        QList<DrawnRow> rows;
        QList<int> columns;
        bool noted = false;
    };
    // Rows as they reached the screen at a paint that followed a change, and when, in the clock of the events'
    // stamps (AimedInputClock): a change the user watched is dated a reaction time earlier, as seen at once.
    struct Shown
    {
        qint64 at;
        DrawnRows rows; // noted at the first change after they were drawn (or at each paint)
    };

    void rowsAboutToChange();
    void note(bool scrolling, bool aimed);
    void noteShownRows(bool again);
    bool dropsBeforeFocus(QEvent *event, const QPointF &position);
    DrawnRows drawnRows() const;
    const QHeaderView *columns() const;
    QModelIndex rowAt(int y) const;
    QString rowKey(const QModelIndex &row, const QList<int> &columns) const;
    bool differsAt(const DrawnRows &drawnRows, const QPoint &pos) const;
    bool movedAt(const QPoint &pos, qint64 made) const;
    void dropPress(Qt::MouseButton button, const QPointF &globalPos, quint64 time, bool second);
    bool dropsFollowUp(QEvent *event);
    bool isSecondPress(const QMouseEvent *press) const;

    QAbstractItemView *view;
    QList<QMetaObject::Connection> connections;
    bool drawn = false;        // painted at least once: before that no one can have aimed at a row
    bool rowsMoved = false;    // since the last paint that covered the whole viewport
    bool scrolled = false;     // since the last paint
    bool repaintAsked = false; // of all the view, after a paint that left part of it as it was
    bool eachPaint = false;    // noted at each paint (noteAtEachPaint)
    int keyColumn = -1;        // the column rows are told by (tellRowsBy), -1 for the columns drawn
    // The rows shown after each change, oldest first, as long as input made then may still come: the last are
    // those on the screen now. Two in a row never show the same rows.
    QList<Shown> shown;
    bool unaimed = false;  // a change the user did not make in the view since the rows last shown
    bool pointing = false; // the view handles input the user gives it now
    int ownScrollTo = -1;  // the scroll bar's position the user moved it to
    std::function<void()> placeRowsNow;

    QPoint pressedAt; // in the viewport, of the last press let through
    Qt::MouseButton pressedButton = Qt::NoButton;
    qint64 pressedMade = -1; // when the user made it, -1 unknown
    // The press dropped last. Its moves, its release, its context menu, and the second press and the
    // double-click of the same click go with it; the next press of the user's own is handled again.
    bool dropping = false;
    Qt::MouseButton droppedButton = Qt::NoButton;
    QPointF droppedAt; // global
    quint64 droppedTime = 0;
    bool droppedHeld = false;
    bool droppedSecond = false; // the second press of a double-click: no third one follows
};
