#include "testmain.h"

#include "widgets/showhidecolumnsmodel.h"
#include "widgets/stableview.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QStandardItemModel>

// A real item model that also notes which rows were removed and where drops landed.
class RecordingModel : public QStandardItemModel
{
public:
    RecordingModel(const QString &prefix, int rows, int columns = 3)
        : QStandardItemModel(rows, columns)
    {
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < columns; ++column)
                setItem(row, column, new QStandardItem(QStringLiteral("%1%2.%3").arg(prefix).arg(row).arg(column)));
        setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Provider"), QStringLiteral("Genre")});
        new QAbstractItemModelTester(this, QAbstractItemModelTester::FailureReportingMode::QtTest, this);
    }
    bool removeRows(int row, int count, const QModelIndex &parent) override
    {
        removed << row;
        removedCounts << count;
        return QStandardItemModel::removeRows(row, count, parent);
    }
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override
    {
        dropRows << row;
        return QStandardItemModel::dropMimeData(data, action, row, column, parent);
    }
    QStringList column0() const
    {
        QStringList result;
        for (int row = 0; row < rowCount(); ++row)
            result << item(row, 0)->text();
        return result;
    }
    QList<int> removed;
    QList<int> removedCounts;
    QList<int> dropRows;
};

class TestSTableView : public QObject
{
    Q_OBJECT

    QWidget *window = nullptr;
    STableView *first = nullptr;
    STableView *second = nullptr;
    QLineEdit *before = nullptr;
    QLineEdit *after = nullptr;
    RecordingModel *modelA = nullptr;
    RecordingModel *modelB = nullptr;

    void showWindow()
    {
        window->show();
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    void showFocused(QWidget *widget)
    {
        showWindow();
        widget->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), widget);
    }
    static void selectRows(STableView *view, const QList<int> &rows)
    {
        view->clearSelection();
        for (int row : rows)
            view->selectionModel()->select(view->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    static QStringList visibleMenu(const STableView *view)
    {
        QStringList result;
        for (QAction *action : view->contextMenu()->actions())
            if (action->isVisible())
                result << (action->isSeparator() ? QStringLiteral("|") : action->objectName());
        return result;
    }

private slots:
    void init()
    {
        QApplication::clipboard()->clear();
        window = new QWidget;
        auto *layout = new QHBoxLayout(window);
        before = new QLineEdit(window);
        first = new STableView(window);
        second = new STableView(window);
        after = new QLineEdit(window);
        for (QWidget *widget : {static_cast<QWidget *>(before), static_cast<QWidget *>(first),
                                static_cast<QWidget *>(second), static_cast<QWidget *>(after)})
            layout->addWidget(widget);
        modelA = new RecordingModel(QStringLiteral("a"), 10);
        modelB = new RecordingModel(QStringLiteral("b"), 2);
    }
    void cleanup()
    {
        delete window;
        delete modelA;
        delete modelB;
    }

    void actionsAndMenu()
    {
        QCOMPARE(visibleMenu(first), (QStringList{"action_&Cut", "action_C&opy", "action_&Paste", "action_&Delete", "|",
                                                  "action_Select &All"}));
        for (auto which :
             {STableView::Cut, STableView::Copy, STableView::Paste, STableView::Delete, STableView::SelectAll})
            QVERIFY(!first->action(which)->isEnabled()); // no model yet

        first->setModel(modelA);
        QVERIFY(!first->action(STableView::Copy)->isEnabled());
        QVERIFY(first->action(STableView::SelectAll)->isEnabled());
        selectRows(first, {1});
        QVERIFY(first->action(STableView::Copy)->isEnabled());
        QVERIFY(first->action(STableView::Cut)->isEnabled());
        QVERIFY(first->action(STableView::Delete)->isEnabled());
        QVERIFY(!first->action(STableView::Paste)->isEnabled());
        first->copy();
        QVERIFY(first->action(STableView::Paste)->isEnabled()); // clipboard changed
        auto *foreign = new QMimeData;
        foreign->setText(QStringLiteral("plain"));
        QApplication::clipboard()->setMimeData(foreign);
        QVERIFY(!first->canPaste());
        QVERIFY(!first->action(STableView::Paste)->isEnabled());
    }

    void copyPasteBetweenTablesThroughClipboard()
    {
        first->setModel(modelA);
        second->setModel(modelB);
        showFocused(first);
        selectRows(first, {1, 3});
        QTest::keySequence(first, QKeySequence(QKeySequence::Copy));
        QVERIFY(QApplication::clipboard()->mimeData()->hasFormat(modelA->mimeTypes().first()));

        QSignalSpy beforePaste(second, &STableView::onBeforePaste);
        QSignalSpy endPaste(second, &STableView::onEndPaste);
        second->clearSelection();
        second->setFocus();
        QTest::keySequence(second, QKeySequence(QKeySequence::Paste));
        QCOMPARE(modelB->dropRows, QList<int>{2}); // appended at the row count
        QCOMPARE(modelB->column0(), (QStringList{"b0.0", "b1.0", "a1.0", "a3.0"}));
        QCOMPARE(beforePaste.count(), 1);
        QCOMPARE(endPaste.count(), 1);
        QCOMPARE(modelA->rowCount(), 10); // copy leaves the source alone

        // With rows 3 and 1 selected in that order the drop goes to row 3.
        selectRows(second, {3, 1});
        second->paste();
        QCOMPARE(modelB->dropRows.last(), 3);
        QVERIFY(!second->selectionModel()->hasSelection());
    }

    void cutRemovesAndCarries()
    {
        first->setModel(modelA);
        second->setModel(modelB);
        selectRows(first, {2, 5});
        first->cut();
        QCOMPARE(modelA->removed, (QList<int>{5, 2}));
        QCOMPARE(modelA->rowCount(), 8);
        second->paste();
        QCOMPARE(modelB->column0(), (QStringList{"b0.0", "b1.0", "a2.0", "a5.0"}));
    }

    void deleteHighestRowFirstOnce()
    {
        first->setModel(modelA);
        first->setSelectionBehavior(QAbstractItemView::SelectItems);
        QSignalSpy beforeDelete(first, &STableView::onBeforeDelete);
        QSignalSpy endDelete(first, &STableView::onEndDelete);
        auto *selection = first->selectionModel();
        selection->select(modelA->index(5, 0), QItemSelectionModel::Select);
        selection->select(modelA->index(2, 1), QItemSelectionModel::Select);
        selection->select(modelA->index(5, 2), QItemSelectionModel::Select);
        first->deleteSelected();
        QCOMPARE(modelA->removed, (QList<int>{5, 2}));
        QCOMPARE(beforeDelete.count(), 1);
        QCOMPARE(endDelete.count(), 1);
        QVERIFY(first->isEnabled());
        // An empty selection removes nothing but still tells.
        first->deleteSelected();
        QCOMPARE(modelA->removed.size(), 2);
        QCOMPARE(endDelete.count(), 2);
    }

    void deleteRemovesRunsHighestFirst()
    {
        first->setModel(modelA);
        selectRows(first, {7, 1, 2, 3, 9, 6});
        QSignalSpy endDelete(first, &STableView::onEndDelete);
        first->action(STableView::Delete)->trigger();
        // adjacent rows go in one call each, the highest run first
        QCOMPARE(modelA->removed, (QList<int>{9, 6, 1}));
        QCOMPARE(modelA->removedCounts, (QList<int>{1, 2, 3}));
        QCOMPARE(modelA->column0(), (QStringList{"a0.0", "a4.0", "a5.0", "a8.0"}));
        QCOMPARE(endDelete.count(), 1);
        QVERIFY(!first->selectionModel()->hasSelection());
    }

    void emptyCopyKeepsClipboard()
    {
        first->setModel(modelA);
        QApplication::clipboard()->setText(QStringLiteral("keep"));
        first->copy();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("keep"));
        second->setModel(modelB);
        second->paste(); // a payload the model does not take changes nothing
        QCOMPARE(modelB->rowCount(), 2);
    }

    void hiddenCutIsInertSelectAllWorks()
    {
        first->setModel(modelA);
        first->setActionVisible(STableView::Cut, false);
        first->setActionVisible(STableView::BasicActions(7), false); // out of range: nothing
        QCOMPARE(visibleMenu(first),
                 (QStringList{"action_C&opy", "action_&Paste", "action_&Delete", "|", "action_Select &All"}));
        showFocused(first);
        selectRows(first, {0});
        QTest::keySequence(first, QKeySequence(QKeySequence::Cut));
        QCOMPARE(modelA->rowCount(), 10);
        QVERIFY(modelA->removed.isEmpty());
        QTest::keySequence(first, QKeySequence(QKeySequence::SelectAll));
        QCOMPARE(first->selectionModel()->selectedRows().size(), 10);
        first->setActionEnabled(STableView::Copy, false);
        QVERIFY(!first->canCopy());
    }

    void tabLeavesAtEdges()
    {
        first->setModel(modelA);
        showFocused(first);
        first->setCurrentIndex(modelA->index(9, 1));
        QTest::keyClick(first, Qt::Key_Tab);
        QCOMPARE(first->currentIndex(), modelA->index(9, 2)); // inside: cell to cell
        QCOMPARE(QApplication::focusWidget(), first);
        QTest::keyClick(first, Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), second);
        first->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), first);
        first->setCurrentIndex(modelA->index(0, 0));
        QTest::keyClick(first, Qt::Key_Backtab, Qt::ShiftModifier);
        QTRY_COMPARE(QApplication::focusWidget(), before);
    }

    void focusSignalsCountEditorInside()
    {
        first->setModel(modelA);
        showFocused(before);
        QSignalSpy in(first, &STableView::focusIn);
        QSignalSpy out(first, &STableView::focusOut);
        first->setFocus();
        QTRY_COMPARE(in.count(), 1);
        first->edit(modelA->index(1, 1));
        QVERIFY(first->isEditing());
        QWidget *editor = first->indexWidget(modelA->index(1, 1));
        QVERIFY(editor);
        QTRY_COMPARE(QApplication::focusWidget(), editor);
        first->setFocus(); // editor -> view: no signal
        QTRY_COMPARE(QApplication::focusWidget(), first);
        QCOMPARE(in.count(), 1);
        QCOMPARE(out.count(), 0);
        after->setFocus();
        QTRY_COMPARE(out.count(), 1);
    }

    void showHideColumns()
    {
        first->setItemsModel(modelA, {0, 2}, {0});
        QVERIFY(first->isColumnHidden(1));
        QVERIFY(!first->isColumnHidden(2));
        ShowHideColumnsModel *columns = first->columnsModel();
        QAbstractItemModelTester tester(columns, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(columns->rowCount(), 3);
        QCOMPARE(columns->data(columns->index(1, 0)).toString(), QStringLiteral("Provider"));
        QCOMPARE(columns->data(columns->index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(!(columns->flags(columns->index(0, 0)) & Qt::ItemIsEnabled));
        QVERIFY(columns->flags(columns->index(2, 0)) & Qt::ItemIsUserCheckable);
        QVERIFY(columns->setData(columns->index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(!first->isColumnHidden(1));
        QVERIFY(columns->setData(columns->index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(first->isColumnHidden(2));
        QVERIFY(!columns->setData(columns->index(2, 0), Qt::Checked, Qt::DisplayRole));

        // Columns of the source come and go: the list keeps in step.
        modelA->insertColumn(3);
        QCOMPARE(columns->rowCount(), 4);
        modelA->removeColumns(0, 2);
        QCOMPARE(columns->rowCount(), 2);
        first->setModel(modelB); // a plain model: nothing fixed any more
        QVERIFY(columns->flags(columns->index(0, 0)) & Qt::ItemIsEnabled);
    }

    void contextMenuOnlyWithModelAndPermission()
    {
        first->onContextMenuShow(QPoint(5, 5));
        QVERIFY(!first->contextMenu()->isVisible()); // no model
        first->setModel(modelA);
        first->setContextMenuEnabled(false);
        first->onContextMenuShow(QPoint(5, 5));
        QVERIFY(!first->contextMenu()->isVisible());
        first->setContextMenuEnabled(true);
        showWindow();
        first->onContextMenuShow(QPoint(5, 5));
        QTRY_VERIFY(first->contextMenu()->isVisible());
        first->contextMenu()->close();
    }

    void destroyedWhileFocused()
    {
        // A top-level table loses the focus while it is destroyed: nothing may reach it then.
        auto *view = new STableView;
        view->setModel(modelA);
        view->show();
        QApplication::setActiveWindow(view);
        QVERIFY(QTest::qWaitForWindowActive(view));
        view->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), view);
        QSignalSpy out(view, &STableView::focusOut);
        delete view;
        QCOMPARE(out.count(), 0);
    }
};

OMBRELAY_TEST_MAIN(TestSTableView)
#include "tst_stableview.moc"
