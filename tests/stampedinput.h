#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

// Input a person makes at times of the test's choosing, stamped as the window system stamps it: each event
// carries the time it was made (ms), and all are delivered at once, as a busy program takes them from its
// queue. The clock starts well after the stamps QTest gave before, and QTest's go on after these.
class StampedInput
{
public:
    StampedInput()
        : start(QTest::lastMouseTimestamp + 100000)
    {}
    // With the clock starting at the stamp start instead.
    explicit StampedInput(qint64 start)
        : start(start)
    {}
    ~StampedInput() { QTest::lastMouseTimestamp = std::max<qint64>(QTest::lastMouseTimestamp, latest + 1000); }
    StampedInput(const StampedInput &) = delete;
    StampedInput &operator=(const StampedInput &) = delete;

    // The stamp of a time ms after the start.
    qint64 at(int ms) const { return start + ms; }

    // A key pressed and let go at ms, to the widget with the keyboard focus.
    void key(int ms, Qt::Key code, const QString &text = QString(), Qt::KeyboardModifiers modifiers = {})
    {
        const qint64 stamp = stamped(ms);
        QPointer<QWidget> to = QApplication::focusWidget();
        QVERIFY2(to, "no widget has the focus");
        // as the window system's keys: a shortcut may take the key first
        if (qt_sendShortcutOverrideEvent(to, ulong(stamp), code, modifiers, text))
            return;
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            if (!to)
                return;
            QKeyEvent event(type, code, modifiers, text);
            event.setTimestamp(quint64(stamp));
            QSpontaneKeyEvent::setSpontaneous(&event);
            qApp->notify(to, &event);
        }
    }
    // text typed a key at a time from ms, the keys apart ms apart: the time of the last key.
    int type(int ms, const QString &text, int apart)
    {
        int last = ms;
        for (qsizetype i = 0; i < text.size(); ++i) {
            last = ms + int(i) * apart;
            const QChar c = text.at(i);
            const Qt::Key code = c.isLetter()  ? Qt::Key(Qt::Key_A + (c.toUpper().unicode() - 'A'))
                                 : c.isDigit() ? Qt::Key(Qt::Key_0 + (c.unicode() - '0'))
                                               : Qt::Key_Space;
            key(last, code, QString(c));
        }
        return last;
    }

    // Through the window, as the window system hands the mouse over: the application gives the focus, makes a
    // double-click of two presses and finds the widget under point (in window).
    void press(int ms, QWindow *window, const QPoint &point, Qt::MouseButton button = Qt::LeftButton)
    {
        buttons |= button;
        mouse(ms, window, point, button, QEvent::MouseButtonPress);
    }
    void release(int ms, QWindow *window, const QPoint &point, Qt::MouseButton button = Qt::LeftButton)
    {
        buttons &= ~button;
        mouse(ms, window, point, button, QEvent::MouseButtonRelease);
    }
    void move(int ms, QWindow *window, const QPoint &point)
    {
        mouse(ms, window, point, Qt::NoButton, QEvent::MouseMove);
    }
    void click(int ms, QWindow *window, const QPoint &point, Qt::MouseButton button = Qt::LeftButton)
    {
        press(ms, window, point, button);
        release(ms + 60, window, point, button);
    }
    // The second press 120 ms after the first: a double-click.
    void doubleClick(int ms, QWindow *window, const QPoint &point)
    {
        click(ms, window, point);
        click(ms + 120, window, point);
    }
    // The pointer moved a little over widget at ms: input that changes nothing (the window system hands over no
    // move that goes nowhere, so this one goes to the widget straight).
    void rest(int ms, QWidget *widget)
    {
        const QPoint point(1, 1);
        QMouseEvent event(QEvent::MouseMove, point, widget->mapToGlobal(point), Qt::NoButton, buttons, {});
        event.setTimestamp(quint64(stamped(ms)));
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(widget, &event);
    }
    // A wheel turn down a notch at point of widget, at ms.
    void wheel(int ms, QWidget *widget, const QPoint &point)
    {
        QWheelEvent event(point, widget->mapToGlobal(point), QPoint(), QPoint(0, -120), Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        event.setTimestamp(quint64(stamped(ms)));
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(widget, &event);
    }

private:
    qint64 stamped(int ms)
    {
        latest = std::max(latest, at(ms));
        return at(ms);
    }
    void mouse(int ms, QWindow *window, const QPoint &point, Qt::MouseButton button, QEvent::Type type)
    {
        qt_handleMouseEvent(window, point, window->mapToGlobal(point), buttons, button, type, {}, int(stamped(ms)));
    }

    qint64 start;
    qint64 latest = 0;
    Qt::MouseButtons buttons;
};
