#include "testmain.h"
#include "widgetsfixture.h"

#include "widgets/stabwidget.h"
#include "widgets/tabwidget.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTabBar>

class TestTabWidgets : public QObject
{
    Q_OBJECT

private slots:
    void dragSwitchesTabs()
    {
        STabWidget tabs;
        for (int i = 0; i < 4; ++i)
            tabs.addTab(new QWidget, QString("List %1").arg(i));
        tabs.resize(600, 300);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        QMimeData data;
        data.setData("x", "y");
        const auto over = [&](int tab) { return tabs.tabBar()->mapTo(&tabs, tabs.tabBar()->tabRect(tab).center()); };
        QDragEnterEvent enter(over(2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&tabs, &enter);
        QCOMPARE(tabs.currentIndex(), 2);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(over(1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&tabs, &move);
        QCOMPARE(tabs.currentIndex(), 1);
        QDragEnterEvent page(QPoint(300, 250), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&tabs, &page);
        QCOMPARE(tabs.currentIndex(), 1);
    }

    void focusSignals()
    {
        TestWindow win;
        auto *tabs = win.add(new TabWidget);
        auto *page = new QWidget;
        auto *first = new QLineEdit(page);
        auto *second = new QLineEdit(page);
        tabs->addTab(page, "page");
        win.show();
        TestWindow::focus(win.other);
        QSignalSpy in(tabs, &TabWidget::focusIn);
        QSignalSpy out(tabs, &TabWidget::focusOut);
        TestWindow::focus(first);
        TestWindow::focus(second); // inside to inside: nothing
        TestWindow::focus(win.other);
        QCOMPARE(in.count(), 1);
        QCOMPARE(out.count(), 1);
    }
};

OMBRELAY_TEST_MAIN(TestTabWidgets)
#include "tst_tabwidgets.moc"
