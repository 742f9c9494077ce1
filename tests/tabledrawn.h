#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QStringList>
#include <QTest>
#include <QWidget>

// Counts the paints of a widget.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *widget)
        : widget(widget)
    {
        widget->installEventFilter(this);
    }
    ~PaintWatch() override { widget->removeEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == widget && event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *widget;
};

// The table drawn as the program draws it when it next idles: whatever input comes after this meets the
// rows the table shows.
inline bool tableDrawn(QAbstractItemView *table)
{
    const PaintWatch watch(table->viewport());
    table->viewport()->update();
    return QTest::qWaitFor([&watch] { return watch.paints > 0; }, 10000);
}

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
