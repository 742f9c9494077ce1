#pragma once

#include <QAbstractItemView>
#include <QEvent>
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
