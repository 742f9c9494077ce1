#include "tabledrawn.h"
#include "testmain.h"

#include "generatedtvlist.h"
#include "listpagetest.h"

#include "device/core/zbdeviceinfo.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/tvlistmodule.h"
#include "widgets/itemstableview.h"
#include "widgets/multiplechoicewidget.h"
#include "widgets/shinttextedit.h"

#include <QPushButton>
#include <QTest>

// The multiple-choice cell editors of the TV page's table (genres, children lock) as a person works them:
// opened by a double click, typed into, clicked into, left with Escape, Return or a click elsewhere.
class TestMultipleChoice : public QObject
{
    Q_OBJECT

    ZBDeviceInfo info{QStringLiteral("Box")};
    std::unique_ptr<TVListModule> page;

    ItemsTableView *table() const { return page->itemsTableViewAll; }
    QString value(const QString &id, int column) const
    {
        return page->projectManager()->itemsModel->indexById(id, column).data(Qt::EditRole).toString();
    }
    QString idAt(int row) const { return table()->model()->index(row, 8).data().toString(); }
    // The open cell editor, if any.
    MultipleChoiceWidget *popup() const
    {
        for (auto *editor : table()->viewport()->findChildren<MultipleChoiceWidget *>())
            if (editor->isVisible())
                return editor;
        return nullptr;
    }
    MultipleChoiceWidget *open(int row, int column)
    {
        const QRect cell = table()->visualRect(table()->model()->index(row, column));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, cell.center());
        return popup();
    }

private slots:
    void init()
    {
        page = showListPage<TVListModule>(&info, GeneratedTvList::text(12));
        QVERIFY(QTest::qWaitForWindowActive(page.get()));
        for (int column : {3, 6})
            table()->setColumnHidden(column, false);
        table()->setColumnWidth(3, 120);
        table()->setColumnWidth(6, 120);
        table()->sortByColumn(8, Qt::AscendingOrder);
        // clicks are aimed at the rows as the table shows them
        QVERIFY(tableDrawn(table()));
    }
    void cleanup() { page.reset(); }

    // "New choice…" takes a click and typing; Return adds the choice and ends the edit with it; the row
    // beneath the pop-up is never selected or edited through it.
    void newChoiceIsTypedIntoThePopup()
    {
        const QString id = idAt(1);
        const QString before = value(id, 3);
        MultipleChoiceWidget *editor = open(1, 3);
        QVERIFY2(editor, "a double click on a Genres cell opens its editor");
        QVERIFY(editor->listView->model()->rowCount() > 0); // the genres found in the list
        QTest::mouseClick(editor->newValueLineEdit, Qt::LeftButton);
        QCOMPARE(popup(), editor);
        QTRY_COMPARE(QApplication::focusWidget(), editor->newValueLineEdit);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Krimi"));
        QCOMPARE(editor->newValueLineEdit->text(), QStringLiteral("Krimi"));
        QVERIFY(table()->viewport()->rect().contains(editor->geometry())); // over the table, within it
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);        // stays in the pop-up
        QCOMPARE(table()->currentIndex().row(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!popup());
        QStringList expected;
        for (const QString &part : before.split(u';', Qt::SkipEmptyParts))
            expected << part.trimmed();
        expected << QStringLiteral("Krimi");
        expected.sort();
        QCOMPARE(value(id, 3), expected.join(u';'));
        QCOMPARE(table()->currentIndex().row(), 1);
        QCOMPARE(QApplication::focusWidget(), table());
        // no other service took anything
        QCOMPARE(value(idAt(2), 3).contains(QLatin1String("Krimi")), false);
        QCOMPARE(value(idAt(0), 3).contains(QLatin1String("Krimi")), false);
    }

    // Escape closes the pop-up and keeps the cell as it was; a click elsewhere in the table ends the edit
    // with what was ticked, as leaving any cell editor does.
    void escapeAndLeavingTheChildrenLock_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("escape in the list") << "escape";
        QTest::newRow("click on another row") << "click";
        QTest::newRow("focus to the search box") << "search";
    }
    void escapeAndLeavingTheChildrenLock()
    {
        QFETCH(QString, end);
        const QString id = idAt(2);
        const QString before = value(id, 6);
        MultipleChoiceWidget *editor = open(2, 6);
        QVERIFY(editor);
        QVERIFY(editor->newValueLineEdit->isHidden()); // children come from the list of four only
        QAbstractItemModel *choices = editor->listView->model();
        QCOMPARE(choices->rowCount(), 4);
        // a click on a check box in the pop-up ticks it and selects nothing beneath
        int unticked = 0;
        while (choices->index(unticked, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked)
            ++unticked;
        const QString child = choices->index(unticked, 0).data(Qt::EditRole).toString();
        QVERIFY(choices->setData(choices->index(unticked, 0), Qt::Checked, Qt::CheckStateRole));
        QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(editor->width() - 2, editor->height() - 2));
        QCOMPARE(popup(), editor);
        QCOMPARE(table()->currentIndex().row(), 2);
        if (end == QLatin1String("escape")) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QTRY_VERIFY(!popup());
            QCOMPARE(value(id, 6), before);
        } else {
            if (end == QLatin1String("click")) {
                const QRect other = table()->visualRect(table()->model()->index(8, 1));
                QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, other.center());
            } else {
                QTest::mouseClick(page->txtSearch, Qt::LeftButton);
            }
            QTRY_VERIFY(!popup());
            QVERIFY2(value(id, 6).split(u';').contains(child), qPrintable(value(id, 6)));
        }
        // the next cell edit works as the first did
        editor = open(3, 6);
        QVERIFY(editor);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!popup());
    }
};

OMBRELAY_TEST_MAIN(TestMultipleChoice)
#include "tst_multiplechoice.moc"
