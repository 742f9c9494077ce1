#include "testmain.h"

#include "widgets/modelmenu.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTableView>

class TestModelMenu : public QObject
{
    Q_OBJECT

    QStringListModel *values = nullptr;
    QStandardItemModel *table = nullptr;
    QTableView *view = nullptr;

    static QStringList texts(const QMenu *menu)
    {
        QStringList result;
        for (QAction *action : menu->actions())
            result << (action->isSeparator() ? QStringLiteral("|") : action->text());
        return result;
    }
    static QAction *find(const QMenu *menu, const QString &text)
    {
        for (QAction *action : menu->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
    QString cell(int row, int column = 1) const { return table->item(row, column)->text(); }

private slots:
    void init()
    {
        values = new QStringListModel({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        table = new QStandardItemModel(4, 2);
        new QAbstractItemModelTester(values, QAbstractItemModelTester::FailureReportingMode::QtTest, values);
        new QAbstractItemModelTester(table, QAbstractItemModelTester::FailureReportingMode::QtTest, table);
        for (int row = 0; row < 4; ++row) {
            table->setItem(row, 0, new QStandardItem(QString::number(row)));
            table->setItem(row, 1, new QStandardItem());
        }
        view = new QTableView;
        view->setModel(table);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    void cleanup()
    {
        delete view;
        delete table;
        delete values;
    }

    void entriesPerMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("set") << 0 << QStringList{"a", "b", "c"};
        QTest::newRow("set or clear") << 1 << QStringList{"a", "b", "c", "|", "Clear"};
        QTest::newRow("add remove") << 2 << QStringList{"Add", "Remove", "|", "Clear"};
        QTest::newRow("check") << 3 << QStringList{"Check", "Uncheck"};
    }
    void entriesPerMode()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, entries);
        ModelMenu menu(QStringLiteral("Genre"), view, 1, mode);
        QCOMPARE(menu.isEnabled(), mode == 3);
        if (mode != 3) {
            QVERIFY(menu.actions().isEmpty());
            menu.setModel(values, 0);
        }
        QCOMPARE(texts(&menu), entries);
        QVERIFY(menu.isEnabled());
        if (mode == 2) {
            QCOMPARE(texts(find(&menu, QStringLiteral("Add"))->menu()), (QStringList{"a", "b", "c"}));
        }
    }

    void emptyModelDisablesMenu()
    {
        QStringListModel none;
        ModelMenu menu(QStringLiteral("Genre"), view, 1, 2);
        menu.setModel(&none, 0);
        QVERIFY(!menu.isEnabled());
        QCOMPARE(texts(&menu), (QStringList{"Add", "Remove", "|", "Clear"}));
        values->insertRows(0, 0);
        none.setStringList({QStringLiteral("x")}); // resets; the layout signal is not sent
        none.insertRows(1, 1);
        none.setData(none.index(1), QStringLiteral("y")); // dataChanged rebuilds
        QVERIFY(menu.isEnabled());
        QCOMPARE(texts(find(&menu, QStringLiteral("Add"))->menu()), (QStringList{"x", "y"}));
    }

    void setValueOnSelectedRows()
    {
        ModelMenu menu(QStringLiteral("Genre"), view, 1, 1);
        menu.setModel(values, 0);
        view->selectRow(0);
        view->selectionModel()->select(table->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QSignalSpy changes(table, &QAbstractItemModel::dataChanged);
        find(&menu, QStringLiteral("b"))->trigger();
        QCOMPARE(cell(0), QStringLiteral("b"));
        QCOMPARE(cell(1), QString());
        QCOMPARE(cell(2), QStringLiteral("b"));
        QCOMPARE(changes.count(), 2); // each selected row once
        find(&menu, QStringLiteral("Clear"))->trigger();
        QVERIFY(!table->item(0, 1)->data(Qt::EditRole).isValid());
    }

    void addSortsAndRemoveKeepsOrder_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        const auto row = [](const char *name, const QString &kind, const QString &value, const QString &before,
                            const QString &after) { QTest::newRow(name) << kind << value << before << after; };
        row("add", "Add", "b", "c; a;;b", "a;b;c");
        row("add new", "Add", "a", "c", "a;c");
        row("remove", "Remove", "b", "c;b;a;b", "c;a");
        row("remove absent", "Remove", "b", "a ; c", "a;c");
    }
    void addSortsAndRemoveKeepsOrder()
    {
        QFETCH(QString, kind);
        QFETCH(QString, value);
        QFETCH(QString, before);
        QFETCH(QString, after);
        ModelMenu menu(QStringLiteral("Genres"), view, 1, 2);
        menu.setModel(values, 0);
        table->item(3, 1)->setText(before);
        table->item(0, 1)->setText(QStringLiteral("untouched"));
        view->selectRow(3);
        find(find(&menu, kind)->menu(), value)->trigger();
        QCOMPARE(cell(3), after);
        QCOMPARE(cell(0), QStringLiteral("untouched"));
        // The entries are rebuilt after the edit and still work.
        QCOMPARE(texts(find(&menu, QStringLiteral("Add"))->menu()), (QStringList{"a", "b", "c"}));
    }

    void otherColumnSelectionChangesNothing()
    {
        ModelMenu menu(QStringLiteral("Genre"), view, 1, 0);
        menu.setModel(values, 0);
        view->setSelectionBehavior(QAbstractItemView::SelectItems);
        view->selectionModel()->select(table->index(1, 0), QItemSelectionModel::Select);
        find(&menu, QStringLiteral("a"))->trigger();
        QCOMPARE(cell(1), QString());
    }

    void checkWritesBooleans()
    {
        ModelMenu menu(QStringLiteral("Lock"), view, 1, 3);
        view->selectRow(2);
        find(&menu, QStringLiteral("Check"))->trigger();
        QCOMPARE(table->item(2, 1)->data(Qt::EditRole), QVariant(true));
        find(&menu, QStringLiteral("Uncheck"))->trigger();
        QCOMPARE(table->item(2, 1)->data(Qt::EditRole), QVariant(false));
    }
};

OMBRELAY_TEST_MAIN(TestModelMenu)
#include "tst_modelmenu.moc"
