#include "testmain.h"

#include "widgets/stabwidget.h"
#include "widgets/tabwidget.h"

#include <QDragEnterEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTabBar>
#include <QVBoxLayout>

class TestTabWidgets : public QObject
{
    Q_OBJECT

private slots:
    void dragSwitchesTabs()
    {
        STabWidget tabs;
        QVERIFY(tabs.acceptDrops());
        for (int i = 0; i < 4; ++i)
            tabs.addTab(new QWidget, QString("List %1").arg(i));
        tabs.resize(600, 300);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        QMimeData data;
        data.setData("x", "y");
        const QPoint third = tabs.tabBar()->mapTo(&tabs, tabs.tabBar()->tabRect(2).center());
        QDragEnterEvent enter(third, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&tabs, &enter);
        QCOMPARE(tabs.currentIndex(), 2);
        QVERIFY(enter.isAccepted());
        const QPoint second = tabs.tabBar()->mapTo(&tabs, tabs.tabBar()->tabRect(1).center());
        QDragMoveEvent move(second, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&tabs, &move);
        QCOMPARE(tabs.currentIndex(), 1);
        QDragEnterEvent page(QPoint(300, 250), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&tabs, &page);
        QCOMPARE(tabs.currentIndex(), 1);
    }

    void focusSignals()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *outside = new QLineEdit;
        auto *tabs = new TabWidget;
        auto *page = new QWidget;
        auto *pageLayout = new QVBoxLayout(page);
        auto *first = new QLineEdit;
        auto *second = new QLineEdit;
        pageLayout->addWidget(first);
        pageLayout->addWidget(second);
        tabs->addTab(page, "page");
        layout->addWidget(outside);
        layout->addWidget(tabs);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        outside->setFocus();
        QTRY_VERIFY(outside->hasFocus());
        QSignalSpy in(tabs, &TabWidget::focusIn);
        QSignalSpy out(tabs, &TabWidget::focusOut);
        first->setFocus();
        QTRY_COMPARE(in.count(), 1);
        second->setFocus();
        QTRY_VERIFY(second->hasFocus());
        QCOMPARE(in.count(), 1);
        QCOMPARE(out.count(), 0);
        outside->setFocus();
        QTRY_COMPARE(out.count(), 1);
        QCOMPARE(in.count(), 1);
    }
};

OMBRELAY_TEST_MAIN(TestTabWidgets)
#include "tst_tabwidgets.moc"
