#pragma once

// What the widget tests share: a shown, active window with a plain line edit beside the widgets under
// test, so the focus moves in and out of them as a person moves it; model testers; row selection;
// and the answer given to the program's message boxes.

#include "widgets/messagebox.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTest>
#include <QVBoxLayout>

// Shows a top-level widget and makes it the active window.
inline void showActive(QWidget *top)
{
    top->show();
    QApplication::setActiveWindow(top);
    QVERIFY(QTest::qWaitForWindowActive(top));
}

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
    void show() { showActive(&window); }
    static void focus(QWidget *widget)
    {
        widget->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), widget);
    }
};

// One row of a data table: the values in column order.
template<class... Values> void dataRow(const char *name, const Values &...values)
{
    (QTest::newRow(name) << ... << values);
}

// Puts model under a model tester for the model's whole life.
template<class M> M *tested(M *model)
{
    new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, model);
    return model;
}

inline void selectRows(QAbstractItemView *view, const QList<int> &rows)
{
    view->clearSelection();
    for (int row : rows)
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// The display texts of column 0, of the ticked rows only when checked is set.
inline QStringList texts(const QAbstractItemModel *model, bool checked = false)
{
    QStringList result;
    for (int row = 0; row < model->rowCount(); ++row)
        if (!checked || model->data(model->index(row, 0), Qt::CheckStateRole).toInt() == Qt::Checked)
            result << model->data(model->index(row, 0)).toString();
    return result;
}

// Answers every box shown from now on with press: a button text, "Escape", "Enter", or "nothing" to
// leave it open; look sees the box first.
inline void answerBoxes(const QString &press, const std::function<void(QDialog *)> &look = {})
{
    MessageBox::setAnswerHook([press, look](QDialog *box) {
        if (look)
            look(box);
        if (press == QLatin1String("Escape"))
            QTest::keyClick(box, Qt::Key_Escape);
        else if (press == QLatin1String("Enter"))
            QTest::keyClick(box, Qt::Key_Return);
        else if (press != QLatin1String("nothing"))
            QVERIFY(MessageBox::clickButton(box, press));
    });
}
