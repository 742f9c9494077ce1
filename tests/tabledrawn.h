#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <functional>

// Counts the paints of a widget; painting, if given, is called as each begins.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *widget, std::function<void()> painting = {})
        : widget(widget)
        , painting(std::move(painting))
    {
        widget->installEventFilter(this);
    }
    ~PaintWatch() override { widget->removeEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == widget && event->type() == QEvent::Paint) {
            ++paints;
            if (painting)
                painting();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *widget;
    std::function<void()> painting;
};

// The table drawn as the program draws it when it next idles: whatever input comes after this meets the
// rows the table shows.
inline bool tableDrawn(QAbstractItemView *table)
{
    const PaintWatch watch(table->viewport());
    table->viewport()->update();
    return QTest::qWaitFor([&watch] { return watch.paints > 0; }, 10000);
}

// The view (a table or a tree) drawn after the last change of its rows: what a listing, a sort or a folder
// read again changes while this waits is drawn too, so input that comes now meets the rows the view shows.
inline bool rowsDrawn(QAbstractItemView *view, int timeout = 30000)
{
    bool changed = true; // since the last paint, as far as is known
    QObject context;
    if (const QAbstractItemModel *model = view->model()) {
        using Model = QAbstractItemModel;
        const auto change = [&changed] { changed = true; };
        QObject::connect(model, &Model::rowsAboutToBeInserted, &context, change);
        QObject::connect(model, &Model::rowsAboutToBeRemoved, &context, change);
        QObject::connect(model, &Model::rowsAboutToBeMoved, &context, change);
        QObject::connect(model, &Model::layoutAboutToBeChanged, &context, change);
        QObject::connect(model, &Model::modelAboutToBeReset, &context, change);
    }
    const PaintWatch watch(view->viewport(), [&changed] { changed = false; });
    return QTest::qWaitFor(
        [&] {
            if (changed)
                view->viewport()->update();
            return !changed;
        },
        timeout);
}

// During a drag the window system gives the pointer's moves to the drag, not to the window: the moves the
// offscreen platform makes where a test puts the pointer (QCursor::setPos) go nowhere while this lives.
class PointerHeldByTheDrag : public QObject
{
public:
    PointerHeldByTheDrag() { qApp->installEventFilter(this); }
    ~PointerHeldByTheDrag() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        return event->type() == QEvent::MouseMove || QObject::eventFilter(watched, event);
    }
};

// A drag carrying payload entering the table's viewport, moving to point and dropped there, as a drag from
// another table ends.
inline void dropOnTable(QAbstractItemView *table, const QPoint &point, const QMimeData *payload)
{
    QWidget *viewport = table->viewport();
    QDragEnterEvent enter(point, Qt::CopyAction, payload, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(point, Qt::CopyAction, payload, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(point, Qt::CopyAction, payload, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &drop);
}

// What a drop did to a list of rows' names: the name of the row the one added went in front of ("(the
// end)" after the last), nothing where none was added, and what there is otherwise.
inline QStringList droppedInFrontOf(const QStringList &before, const QStringList &after)
{
    if (after.size() == before.size())
        return after == before ? QStringList() : QStringList{QStringLiteral("(rows changed, none added)")};
    if (after.size() != before.size() + 1)
        return {QStringLiteral("(%1 rows after the drop, %2 before)").arg(after.size()).arg(before.size())};
    qsizetype row = 0;
    while (row < before.size() && after.at(row) == before.at(row))
        ++row;
    return {row < before.size() ? before.at(row) : QStringLiteral("(the end)")};
}
