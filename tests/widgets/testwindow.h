#pragma once

// A shown, active top-level window with a plain line edit beside the widgets under test, so that the
// focus can be moved in and out of them as a person would.

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

struct TestWindow
{
    QWidget window;
    QLineEdit *other = new QLineEdit(&window);

    TestWindow() { (new QVBoxLayout(&window))->addWidget(other); }
    template<class T> T *add(T *widget)
    {
        window.layout()->addWidget(widget);
        return widget;
    }
    void show()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    static void focus(QWidget *widget)
    {
        widget->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), widget);
    }
};
