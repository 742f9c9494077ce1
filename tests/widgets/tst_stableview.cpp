#include "testmain.h"
#include "widgetsfixture.h"

#include "document/objectsortfilterproxymodel.h"
#include "document/servicesfixture.h"
#include "widgets/itemstableview.h"
#include "widgets/showhidecolumnsmodel.h"

#include <QAction>
#include <QClipboard>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QStandardItemModel>

// A real item model that also notes which rows were removed and where drops landed.
class RecordingModel : public QStandardItemModel
{
public:
    RecordingModel(const QString &prefix, int rows)
        : QStandardItemModel(rows, 3)
    {
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < 3; ++column)
                setItem(row, column, new QStandardItem(QStringLiteral("%1%2.%3").arg(prefix).arg(row).arg(column)));
        setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Provider"), QStringLiteral("Genre")});
        tested(this);
    }
    bool removeRows(int row, int count, const QModelIndex &parent) override
    {
        removed << row << count;
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
    QList<int> removed; // row, count of each call
    QList<int> dropRows;
};

class TestSTableView : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> window;
    QWidget *before = nullptr;
    STableView *first = nullptr;
    STableView *second = nullptr;
    std::unique_ptr<RecordingModel> modelA;
    std::unique_ptr<RecordingModel> modelB;

    // Both tables show their models in a shown window; view gets the focus.
    void showFocused(QWidget *view)
    {
        first->setModel(modelA.get());
        second->setModel(modelB.get());
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        TestWindow::focus(view);
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
        window = std::make_unique<QWidget>();
        auto *layout = new QHBoxLayout(window.get());
        layout->addWidget(before = new QLineEdit);
        layout->addWidget(first = new STableView);
        layout->addWidget(second = new STableView);
        modelA = std::make_unique<RecordingModel>(QStringLiteral("a"), 10);
        modelB = std::make_unique<RecordingModel>(QStringLiteral("b"), 2);
    }
    void cleanup()
    {
        window.reset();
        modelA.reset();
        modelB.reset();
    }

    void actionsFollowSelectionAndClipboard()
    {
        for (auto which :
             {STableView::Cut, STableView::Copy, STableView::Paste, STableView::Delete, STableView::SelectAll})
            QVERIFY(!first->action(which)->isEnabled()); // no model yet
        first->onContextMenuShow(QPoint(5, 5));
        QVERIFY(!first->contextMenu()->isVisible());

        first->setModel(modelA.get());
        QVERIFY(!first->action(STableView::Copy)->isEnabled());
        QVERIFY(first->action(STableView::SelectAll)->isEnabled());
        selectRows(first, {1});
        QVERIFY(first->action(STableView::Cut)->isEnabled());
        QVERIFY(first->action(STableView::Delete)->isEnabled());
        QVERIFY(!first->action(STableView::Paste)->isEnabled());
        first->copy();
        QVERIFY(first->action(STableView::Paste)->isEnabled()); // the clipboard now holds the model's rows
        QApplication::clipboard()->setText(QStringLiteral("plain"));
        QVERIFY(!first->action(STableView::Paste)->isEnabled());
    }

    void copyPasteBetweenTablesThroughClipboard()
    {
        showFocused(first);
        selectRows(first, {1, 3});
        QTest::keySequence(first, QKeySequence(QKeySequence::Copy));
        QSignalSpy beforePaste(second, &STableView::onBeforePaste);
        QSignalSpy endPaste(second, &STableView::onEndPaste);
        TestWindow::focus(second);
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

    void deleteRemovesRunsHighestFirst()
    {
        first->setModel(modelA.get());
        first->setSelectionBehavior(QAbstractItemView::SelectItems);
        for (int row : {7, 1, 2, 3, 9, 6})
            first->selectionModel()->select(modelA->index(row, row % 3), QItemSelectionModel::Select);
        first->selectionModel()->select(modelA->index(9, 2), QItemSelectionModel::Select); // a row counts once
        QSignalSpy beforeDelete(first, &STableView::onBeforeDelete);
        QSignalSpy endDelete(first, &STableView::onEndDelete);
        first->action(STableView::Delete)->trigger();
        // adjacent rows go in one call each, the highest run first
        QCOMPARE(modelA->removed, (QList<int>{9, 1, 6, 2, 1, 3}));
        QCOMPARE(modelA->column0(), (QStringList{"a0.0", "a4.0", "a5.0", "a8.0"}));
        QCOMPARE(beforeDelete.count(), 1);
        QCOMPARE(endDelete.count(), 1);
        QVERIFY(first->isEnabled());
        first->deleteSelected(); // nothing selected: nothing removed, still told
        QCOMPARE(modelA->removed.size(), 6);
        QCOMPARE(endDelete.count(), 2);
    }

    void emptyCopyKeepsClipboard()
    {
        first->setModel(modelA.get());
        second->setModel(modelB.get());
        QApplication::clipboard()->setText(QStringLiteral("keep"));
        first->copy();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("keep"));
        second->paste(); // a payload the model does not take changes nothing
        QCOMPARE(modelB->rowCount(), 2);
    }

    void hiddenActionIsInertSelectAllWorks()
    {
        showFocused(first);
        first->setActionVisible(STableView::Cut, false);
        first->setActionVisible(STableView::BasicActions(7), false); // out of range: nothing
        // The names are fixed, whatever the language.
        QCOMPARE(visibleMenu(first),
                 (QStringList{"action_C&opy", "action_&Paste", "action_&Delete", "|", "action_Select &All"}));
        selectRows(first, {0});
        QTest::keySequence(first, QKeySequence(QKeySequence::Cut));
        QCOMPARE(modelA->rowCount(), 10);
        QTest::keySequence(first, QKeySequence(QKeySequence::SelectAll));
        QCOMPARE(first->selectionModel()->selectedRows().size(), 10);
        first->setActionEnabled(STableView::Copy, false);
        QVERIFY(!first->canCopy());
        first->setContextMenuEnabled(false);
        first->onContextMenuShow(QPoint(5, 5));
        QVERIFY(!first->contextMenu()->isVisible());
    }

    void tabLeavesAtEdges()
    {
        showFocused(first);
        first->setCurrentIndex(modelA->index(9, 1));
        QTest::keyClick(first, Qt::Key_Tab);
        QCOMPARE(first->currentIndex(), modelA->index(9, 2)); // inside: cell to cell
        QCOMPARE(QApplication::focusWidget(), first);
        QTest::keyClick(first, Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), second);
        TestWindow::focus(first);
        first->setCurrentIndex(modelA->index(0, 0));
        QTest::keyClick(first, Qt::Key_Backtab, Qt::ShiftModifier);
        QTRY_COMPARE(QApplication::focusWidget(), before);
    }

    void focusSignalsCountEditorInside()
    {
        showFocused(before);
        QSignalSpy in(first, &STableView::focusIn);
        QSignalSpy out(first, &STableView::focusOut);
        first->setFocus();
        QTRY_COMPARE(in.count(), 1);
        first->edit(modelA->index(1, 1));
        QVERIFY(first->isEditing());
        QTRY_COMPARE(QApplication::focusWidget(), first->indexWidget(modelA->index(1, 1)));
        TestWindow::focus(first); // editor -> view: no signal
        QCOMPARE(in.count(), 1);
        QCOMPARE(out.count(), 0);
        second->setFocus();
        QTRY_COMPARE(out.count(), 1);
    }

    void showHideColumns()
    {
        first->setItemsModel(modelA.get(), {0, 2}, {0});
        QVERIFY(first->isColumnHidden(1));
        ShowHideColumnsModel *columns = tested(first->columnsModel());
        QCOMPARE(columns->data(columns->index(1, 0)).toString(), QStringLiteral("Provider"));
        QCOMPARE(columns->data(columns->index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(!(columns->flags(columns->index(0, 0)) & Qt::ItemIsEnabled));
        QVERIFY(columns->setData(columns->index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(!first->isColumnHidden(1));
        QVERIFY(columns->setData(columns->index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(first->isColumnHidden(2));

        // Columns of the source come and go: the list keeps in step.
        modelA->insertColumn(3);
        QCOMPARE(columns->rowCount(), 4);
        modelA->removeColumns(0, 2);
        QCOMPARE(columns->rowCount(), 2);
        first->setModel(modelB.get()); // a new source is a reset, with nothing fixed any more
        QCOMPARE(columns->rowCount(), 3);
        QVERIFY(columns->flags(columns->index(0, 0)) & Qt::ItemIsEnabled);
    }

    void destroyedWhileFocused()
    {
        // A top-level table loses the focus while it is destroyed: nothing may reach it then.
        auto *view = new STableView;
        view->setModel(modelA.get());
        view->show();
        QApplication::setActiveWindow(view);
        QVERIFY(QTest::qWaitForWindowActive(view));
        TestWindow::focus(view);
        QSignalSpy out(view, &STableView::focusOut);
        delete view;
        QCOMPARE(out.count(), 0);
    }

    void itemTablesMoveRowsThroughClipboard()
    {
        const QString four = ServicesFixture::service(0, "A", "P1") + ServicesFixture::service(1, "B", "P2") +
                             ServicesFixture::service(2, "C", "P1") + ServicesFixture::service(3, "D", "P3");
        ServicesFixture from(four);
        ServicesFixture to(ServicesFixture::service(0, "Z", "P9"));
        ItemsTableView source;
        ItemsTableView target;
        source.setItemsModel(tested(&from.model), {1, 2}, {1});
        target.setModel(tested(&to.model));
        QCOMPARE(source.model(), source.proxy());
        QVERIFY(source.isColumnHidden(0));

        selectRows(&source, {1, 3});
        source.copy();
        QVERIFY(target.canPaste());
        target.paste();
        const auto providers = [&to] {
            QStringList result;
            for (int row = 0; row < to.provider.count(); ++row)
                result << to.provider.itemAt(row).value(QStringLiteral("provider"));
            return result;
        };
        QCOMPARE(providers(), (QStringList{"P9", "P2", "P3"}));
        QCOMPARE(to.ids(), (QStringList{"0", "1", "2"})); // new ids in the target list
        source.cut();
        QCOMPARE(from.names(), (QStringList{"A", "C"}));
        target.clearSelection();
        target.paste();
        QCOMPARE(providers(), (QStringList{"P9", "P2", "P3", "P2", "P3"}));

        // A null model is ignored; without the proxy the view shows the model itself.
        target.setModel(nullptr);
        QCOMPARE(target.model(), target.proxy());
        ItemsTableView plain;
        plain.setUseSortFilterProxy(false);
        plain.setModel(&to.model);
        QCOMPARE(plain.model(), &to.model);

        // A single press opens the editor of an editable column only.
        plain.addEditableColumns({2});
        plain.resize(600, 300);
        plain.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plain));
        const auto press = [&plain](int row, int column) {
            const QPoint at = plain.visualRect(plain.model()->index(row, column)).center();
            QTest::mousePress(plain.viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(plain.viewport(), Qt::LeftButton, {}, at);
        };
        press(0, 1);
        QVERIFY(!plain.isEditing());
        press(1, 2);
        QVERIFY(plain.isEditing());
    }
};

OMBRELAY_TEST_MAIN(TestSTableView)
#include "tst_stableview.moc"
