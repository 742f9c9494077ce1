#include "testmain.h"

#include "widgets/enhanceddatawidgetmapper.h"
#include "widgets/multiplechoicewidget.h"
#include "widgets/sfiltermenu.h"
#include "widgets/sshowhidecolumnsmenu.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QListView>
#include <QStandardItemModel>
#include <QToolButton>
#include <QTreeView>

class TestPopupsMapper : public QObject
{
    Q_OBJECT

private slots:
    void mapperFollowsItemFlags()
    {
        QStandardItemModel model(2, 3);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 3; ++column)
                model.setItem(row, column, new QStandardItem(QStringLiteral("%1/%2").arg(row).arg(column)));
        for (int column = 0; column < 3; ++column)
            model.item(1, column)->setEditable(false);
        model.item(1, 2)->setEnabled(false);

        QWidget form;
        auto *name = new QLineEdit(&form);
        // The check list has no read-only state: the mapper disables it instead.
        auto *choices = new MultipleChoiceWidget(&form);
        auto *locked = new QLineEdit(&form);
        EnhancedDataWidgetMapper mapper;
        mapper.setModel(&model);
        mapper.addMapping(name, 0);
        mapper.addMapping(choices, 1);
        mapper.addMapping(locked, 2);

        mapper.setCurrentIndex(0);
        QVERIFY(name->isEnabled());
        QVERIFY(!name->isReadOnly());
        QVERIFY(choices->isEnabled());

        mapper.setCurrentIndex(1);
        QCOMPARE(name->text(), QStringLiteral("1/0"));
        QVERIFY(name->isEnabled());
        QVERIFY(name->isReadOnly());
        QVERIFY(!choices->isEnabled());
        QVERIFY(!locked->isEnabled());

        // A data change on the current row updates the states; one elsewhere does not.
        model.item(1, 0)->setEditable(true);
        QVERIFY(!name->isReadOnly());
        mapper.setCurrentIndex(0);
        model.item(1, 1)->setEditable(true);
        model.item(0, 0)->setEditable(false);
        QVERIFY(name->isReadOnly());
        QVERIFY(choices->isEnabled());
    }

    // Both pop-ups open under their button, kept inside the window, and go away with their view once hidden.
    void popupPlacementAndClose_data()
    {
        QTest::addColumn<bool>("columns");
        QTest::newRow("filter") << false;
        QTest::newRow("columns") << true;
    }
    void popupPlacementAndClose()
    {
        QFETCH(bool, columns);
        QWidget top;
        top.setGeometry(100, 100, 600, 400);
        auto *button = new QToolButton(&top);
        button->setGeometry(500, 10, 30, 20); // left edge 100 px from the window's right edge
        top.show();
        QApplication::setActiveWindow(&top);
        QVERIFY(QTest::qWaitForWindowActive(&top));
        const QPoint below = button->mapToGlobal(QPoint(0, button->height()));
        QCOMPARE(SPopupFrame::popupGeometry(button, 50, 300, 10), QRect(below.x(), below.y(), 50, 300));

        QStandardItemModel model(3, 1);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QPointer<SPopupFrame> menu;
        QPointer<QAbstractItemView> view;
        if (columns) {
            auto *list = new SShowHideColumnsMenu(button, 250, 200, 10);
            menu = list;
            view = list->listView();
            QCOMPARE(view->objectName(), QStringLiteral("lvColumns"));
            view->setModel(&model);
            list->setRowsHidden({0}, true);
            QVERIFY(list->listView()->isRowHidden(0));
        } else {
            auto *filter = new SFilterMenu(button, 250, 200, 10);
            menu = filter;
            view = filter->treeView();
            QCOMPARE(view->objectName(), QStringLiteral("tvFilterTree"));
            QVERIFY(filter->treeView()->isHeaderHidden());
        }
        QCOMPARE(menu->geometry(), QRect(below.x() - 160, below.y(), 250, 200));
        menu->show();
        QTRY_VERIFY(view->isVisible());
        menu->hide(); // as a click outside the pop-up does
        QTRY_VERIFY(!menu);
        QTRY_VERIFY(!view);
        QVERIFY(button->isEnabled());
    }
};

OMBRELAY_TEST_MAIN(TestPopupsMapper)
#include "tst_popupsmapper.moc"
