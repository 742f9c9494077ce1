#include "testmain.h"
#include "widgetsfixture.h"

#include "document/objectsortfilterproxymodel.h"
#include "document/servicesfixture.h"
#include "widgets/filtermenumodel.h"
#include "widgets/itemstableview.h"
#include "widgets/sfiltermenu.h"
#include "widgets/showhidecolumnsmodel.h"
#include "widgets/sshowhidecolumnsmenu.h"
#include "widgets/stabwidget.h"
#include "widgets/tabwidget.h"

#include <QAction>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QMenu>
#include <QMimeData>
#include <QSortFilterProxyModel>
#include <QTabBar>
#include <QToolButton>
#include <QTreeView>

// The editing tables, their pop-ups and the tab widgets of the list pages, driven with real keys,
// focus and clipboard in a window: [line edit] [first table] [second table]; and the filter pop-up's
// tree over the page's filter records.
class TestSTableView : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWindow> win;
    STableView *first = nullptr;
    STableView *second = nullptr;
    std::unique_ptr<QStandardItemModel> modelA; // 10 rows "a0".."a9", 3 columns
    std::unique_ptr<QStandardItemModel> modelB; // "b0", "b1"
    std::unique_ptr<ServicesFixture> items;
    std::unique_ptr<QStringListModel> providers; // A, B, C
    std::unique_ptr<QStringListModel> genres;
    QList<ColumnFilter> filters;

    std::unique_ptr<FilterMenuModel> makeModel()
    {
        auto model = std::make_unique<FilterMenuModel>(&items->model, &filters);
        tested(model.get());
        return model;
    }
    // The filter tree as text: "column(value value)", each name marked ticked +, not ticked - or partly ~.
    static QString tree(const FilterMenuModel &model)
    {
        const auto named = [&model](const QModelIndex &index) {
            return model.data(index).toString() + "-~+"[model.data(index, Qt::CheckStateRole).toInt()];
        };
        QStringList columns;
        for (int row = 0; row < model.rowCount(); ++row) {
            QStringList values;
            for (int value = 0; value < model.rowCount(model.index(row, 0)); ++value)
                values << named(model.index(value, 0, model.index(row, 0)));
            columns << named(model.index(row, 0)) + "(" + values.join(' ') + ")";
        }
        return columns.join(' ');
    }

    static QStandardItemModel *rows(const QString &prefix, int count)
    {
        auto *model = new QStandardItemModel(count, 3);
        for (int row = 0; row < count; ++row)
            for (int column = 0; column < 3; ++column)
                model->setItem(row, column, new QStandardItem(prefix + QString::number(row)));
        model->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Provider"), QStringLiteral("Genre")});
        return tested(model);
    }
    // The names of the actions in the context menu that are shown (and enabled, when asked), in order.
    static QString menu(const STableView *view, bool enabledOnly)
    {
        QStringList result;
        for (QAction *action : view->contextMenu()->actions())
            if (action->isVisible() && (!enabledOnly || (action->isEnabled() && !action->isSeparator())))
                result << (action->isSeparator() ? QStringLiteral("|") : action->objectName());
        return result.join(' ');
    }
    void showFocused(QWidget *widget)
    {
        win->show();
        TestWindow::focus(widget);
    }

private slots:
    void init()
    {
        QApplication::clipboard()->clear();
        win = std::make_unique<TestWindow>();
        first = win->add(new STableView);
        second = win->add(new STableView);
        modelA.reset(rows(QStringLiteral("a"), 10));
        modelB.reset(rows(QStringLiteral("b"), 2));
        first->setModel(modelA.get());
        second->setModel(modelB.get());
        items = std::make_unique<ServicesFixture>(ServicesFixture::service(0, "A", "P1"));
        providers = std::make_unique<QStringListModel>(QStringList{"A", "B", "C"});
        genres = std::make_unique<QStringListModel>(QStringList{"News", "Sport"});
        filters.clear();
    }
    void cleanup() { win.reset(); }

    void actionsFollowSelectionAndClipboard()
    {
        STableView empty;
        QCOMPARE(menu(&empty, true), QString()); // no model
        QApplication::clipboard()->setText(QStringLiteral("plain"));
        QCOMPARE(menu(first, true), QStringLiteral("action_Select &All")); // a payload the model does not take
        second->paste();
        QCOMPARE(modelB->rowCount(), 2);
        selectRows(first, {1});
        first->copy();
        QCOMPARE(menu(first, true),
                 QStringLiteral("action_&Cut action_C&opy action_&Paste action_&Delete action_Select &All"));
    }

    void copyPasteBetweenTablesThroughClipboard()
    {
        showFocused(first);
        selectRows(first, {1, 3});
        QTest::keySequence(first, QKeySequence(QKeySequence::Copy));
        QSignalSpy endPaste(second, &STableView::onEndPaste);
        TestWindow::focus(second);
        QTest::keySequence(second, QKeySequence(QKeySequence::Paste)); // appended at the row count
        QCOMPARE(texts(modelB.get()), (QStringList{"b0", "b1", "a1", "a3"}));
        QCOMPARE(endPaste.count(), 1);
        // With rows 3 and 1 selected in that order the drop goes to row 3.
        selectRows(second, {3, 1});
        second->paste();
        QCOMPARE(texts(modelB.get()), (QStringList{"b0", "b1", "a1", "a1", "a3", "a3"}));
    }

    void deleteRemovesRunsHighestFirst()
    {
        first->setSelectionBehavior(QAbstractItemView::SelectItems);
        for (int row : {7, 1, 2, 3, 9, 6})
            first->selectionModel()->select(modelA->index(row, row % 3), QItemSelectionModel::Select);
        first->selectionModel()->select(modelA->index(9, 2), QItemSelectionModel::Select); // a row counts once
        QSignalSpy removed(modelA.get(), &QAbstractItemModel::rowsAboutToBeRemoved);
        QSignalSpy endDelete(first, &STableView::onEndDelete);
        first->action(STableView::Delete)->trigger();
        QCOMPARE(removed.count(), 3); // runs, the highest first: 9, 6-7, 1-3
        QCOMPARE(removed.at(0).mid(1), (QVariantList{9, 9}));
        QCOMPARE(removed.at(1).mid(1), (QVariantList{6, 7}));
        QCOMPARE(removed.at(2).mid(1), (QVariantList{1, 3}));
        QCOMPARE(texts(modelA.get()), (QStringList{"a0", "a4", "a5", "a8"}));
        first->deleteSelected(); // nothing selected: nothing removed, still told
        QCOMPARE(removed.count(), 3);
        QCOMPARE(endDelete.count(), 2);
    }

    void hiddenActionIsInertSelectAllWorks()
    {
        showFocused(first);
        first->setActionVisible(STableView::Cut, false);
        first->setActionVisible(STableView::BasicActions(7), false); // out of range: nothing
        first->setActionEnabled(STableView::Copy, false);
        // The names are fixed, whatever the language.
        QCOMPARE(menu(first, false), QStringLiteral("action_C&opy action_&Paste action_&Delete | action_Select &All"));
        selectRows(first, {0});
        QTest::keySequence(first, QKeySequence(QKeySequence::Cut));
        QCOMPARE(modelA->rowCount(), 10);
        QTest::keySequence(first, QKeySequence(QKeySequence::SelectAll));
        QCOMPARE(first->selectionModel()->selectedRows().size(), 10);
        QVERIFY(!first->canCopy());
        first->setContextMenuEnabled(false);
        first->onContextMenuShow(QPoint(5, 5));
        QVERIFY(!first->contextMenu()->isVisible());
    }

    // The edit actions run through the public slots, each action once; the operation follows the
    // sender's shortcut, and only a marked action of a view with a model is answered.
    void actionsRunThroughHandleActions()
    {
        const QMetaObject *meta = first->metaObject();
        for (const char *slot : {"handleActions(bool)", "handleActions()"}) {
            const int index = meta->indexOfSlot(slot);
            QVERIFY2(index >= 0, slot);
            QCOMPARE(meta->method(index).access(), QMetaMethod::Public);
        }
        // every edit action is connected to handleActions(bool), exactly once
        for (int which = STableView::Cut; which <= STableView::SelectAll; ++which) {
            QAction *action = first->action(STableView::BasicActions(which));
            QVERIFY(disconnect(action, &QAction::triggered, first, qOverload<bool>(&STableView::handleActions)));
            QVERIFY(!disconnect(action, &QAction::triggered, first, qOverload<bool>(&STableView::handleActions)));
        }
        // without that connection the Delete action does nothing: it has no other way in
        selectRows(first, {0});
        first->action(STableView::Delete)->trigger();
        QCOMPARE(modelA->rowCount(), 10);
        // called directly, without an action as sender, nothing happens
        QVERIFY(QMetaObject::invokeMethod(first, "handleActions"));
        QVERIFY(QMetaObject::invokeMethod(first, "handleActions", Q_ARG(bool, false)));
        QCOMPARE(modelA->rowCount(), 10);

        // The shortcut, not the text, picks the operation; an unmarked action is ignored.
        QAction marked(QStringLiteral("anything"));
        marked.setShortcut(QKeySequence(QKeySequence::Delete));
        marked.setProperty("STableViewACtion", true);
        QAction unmarked(QStringLiteral("&Delete"));
        unmarked.setShortcut(QKeySequence(QKeySequence::Delete));
        QAction copying(QStringLiteral("&Delete"));
        copying.setShortcut(QKeySequence(QKeySequence::Copy));
        copying.setProperty("STableViewACtion", true);
        for (QAction *action : {&marked, &unmarked, &copying}) {
            connect(action, &QAction::triggered, first, qOverload<bool>(&STableView::handleActions));
            connect(action, &QAction::triggered, second, qOverload<>(&STableView::handleActions));
        }
        unmarked.trigger();
        QCOMPARE(modelA->rowCount(), 10);
        selectRows(second, {1});
        copying.trigger(); // copies row a0 of the first table, and b1 of the second, last
        QCOMPARE(modelA->rowCount(), 10);
        QCOMPARE(modelB->rowCount(), 2);
        QVERIFY(!QApplication::clipboard()->mimeData()->formats().isEmpty());
        marked.trigger(); // deletes the selected row of both tables
        QCOMPARE(texts(modelA.get()).first(), QStringLiteral("a1"));
        QCOMPARE(texts(modelB.get()), QStringList{"b0"});
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
        QTRY_COMPARE(QApplication::focusWidget(), win->other);
    }

    // The table and the list pages' tab widget tell when the focus enters or leaves them; a cell
    // editor counts as inside.
    void focusSignalsCountEditorInside()
    {
        auto *pages = win->add(new TabWidget);
        pages->addTab(new QLineEdit, "page");
        showFocused(win->other);
        QSignalSpy in(first, &STableView::focusIn);
        QSignalSpy out(first, &STableView::focusOut);
        QSignalSpy pageIn(pages, &TabWidget::focusIn);
        QSignalSpy pageOut(pages, &TabWidget::focusOut);
        TestWindow::focus(first);
        first->edit(modelA->index(1, 1));
        QVERIFY(first->isEditing());
        QTRY_COMPARE(QApplication::focusWidget(), first->indexWidget(modelA->index(1, 1)));
        TestWindow::focus(first); // editor -> view: no signal
        TestWindow::focus(pages->widget(0));
        TestWindow::focus(second);
        QCOMPARE(in.count(), 1);
        QCOMPARE(out.count(), 1);
        QCOMPARE(pageIn.count(), 1);
        QCOMPARE(pageOut.count(), 1);
    }

    void showHideColumns()
    {
        first->setItemsModel(modelA.get(), {0, 2}, {0});
        ShowHideColumnsModel *columns = tested(first->columnsModel());
        QSortFilterProxyModel follower; // sees only the rows the list announces
        follower.setSourceModel(columns);
        QCOMPARE(texts(columns), (QStringList{"Name", "Provider", "Genre"}));
        QCOMPARE(texts(columns, true), (QStringList{"Name", "Genre"}));
        QVERIFY(!(columns->flags(columns->index(0, 0)) & Qt::ItemIsEnabled));
        QVERIFY(columns->setData(columns->index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(columns->setData(columns->index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(!first->isColumnHidden(1));
        QVERIFY(first->isColumnHidden(2));
        // Columns of the source come and go: the list keeps in step.
        QCOMPARE(follower.rowCount(), 3);
        modelA->insertColumn(3);
        QCOMPARE(follower.rowCount(), 4);
        modelA->removeColumns(0, 2);
        QCOMPARE(follower.rowCount(), 2);
        first->setModel(modelB.get()); // a new source is a reset, with nothing fixed any more
        QCOMPARE(follower.rowCount(), 3);
        QVERIFY(columns->flags(columns->index(0, 0)) & Qt::ItemIsEnabled);
    }

    void destroyedWhileFocused()
    {
        // A top-level table loses the focus while it is destroyed: nothing may reach it then.
        auto *view = new STableView;
        view->setModel(modelA.get());
        showActive(view);
        TestWindow::focus(view);
        QSignalSpy out(view, &STableView::focusOut);
        delete view;
        QCOMPARE(out.count(), 0);
    }

    void itemTablesMoveRowsThroughClipboard()
    {
        ServicesFixture from(ServicesFixture::service(0, "A", "P1") + ServicesFixture::service(1, "B", "P2") +
                             ServicesFixture::service(2, "C", "P1") + ServicesFixture::service(3, "D", "P3"));
        ServicesFixture to(ServicesFixture::service(0, "Z", "P9"));
        ItemsTableView *source = win->add(new ItemsTableView);
        ItemsTableView target;
        source->setItemsModel(tested(&from.model), {1, 2}, {1});
        target.setModel(tested(&to.model));
        target.setModel(nullptr); // ignored
        QCOMPARE(source->model(), source->proxy());
        QVERIFY(source->isColumnHidden(0));
        QApplication::clipboard()->setText(QStringLiteral("keep"));
        source->copy(); // nothing selected: the clipboard stays as it was
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("keep"));
        selectRows(source, {1, 3});
        source->copy();
        target.paste();
        source->cut();
        target.clearSelection();
        target.paste();
        QCOMPARE(from.names(), (QStringList{"A", "C"}));
        QCOMPARE(to.ids(), (QStringList{"0", "1", "2", "3", "4"})); // new ids in the target list
        QStringList providers;                                      // the pasted rows are B and D, twice
        for (int row = 0; row < to.provider.count(); ++row)
            providers << to.provider.itemAt(row).value(QStringLiteral("provider"));
        QCOMPARE(providers, (QStringList{"P9", "P2", "P3", "P2", "P3"}));

        // Without the proxy the view shows the model itself; a single press opens an editable column.
        source->setUseSortFilterProxy(false);
        source->setModel(&from.model);
        QCOMPARE(source->model(), &from.model);
        source->addEditableColumns({2});
        showFocused(source);
        const auto press = [source](int column) {
            QTest::mouseClick(source->viewport(), Qt::LeftButton, {},
                              source->visualRect(source->model()->index(1, column)).center());
            return source->isEditing();
        };
        QVERIFY(!press(1));
        QVERIFY(press(2));
    }

    void tabsFollowDrags()
    {
        STabWidget tabs;
        for (int i = 0; i < 4; ++i)
            tabs.addTab(new QWidget, QString("List %1").arg(i));
        tabs.resize(600, 300);
        showActive(&tabs);
        // A drag over a tab brings it to the front; one over the page leaves it.
        QMimeData data;
        data.setData("x", "y");
        const auto send = [&tabs](auto &&event) {
            QApplication::sendEvent(&tabs, &event);
            return event.isAccepted();
        };
        const auto at = [&tabs](int i) { return tabs.tabBar()->mapTo(&tabs, tabs.tabBar()->tabRect(i).center()); };
        QVERIFY(send(QDragEnterEvent(at(2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier)));
        QCOMPARE(tabs.currentIndex(), 2);
        send(QDragMoveEvent(at(1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier));
        QCOMPARE(tabs.currentIndex(), 1);
        send(QDragEnterEvent(QPoint(300, 250), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier));
        QCOMPARE(tabs.currentIndex(), 1);
    }

    void filterTreeFollowsRecords()
    {
        filters << ColumnFilter(2, providers.get(), false, false, {"A", "B"})
                << ColumnFilter(3, genres.get(), true, true, {}) << ColumnFilter(7, nullptr, false, false, {"x"});
        auto model = makeModel();
        // "(empty)" first where asked for; without a values model a disabled column that keeps its values
        QCOMPARE(tree(*model), "Provider~(A+ B+ C-) Genres-((empty)- News- Sport-) Service type-()");
        QVERIFY(!(model->flags(model->index(2, 0)) & Qt::ItemIsEnabled));
        QCOMPARE(filters.at(2).checkedValues, QStringList{"x"});
        QSignalSpy changed(model.get(), &FilterMenuModel::filterChanged);
        const QModelIndex column = model->index(0, 0);
        QVERIFY(model->setData(model->index(2, 0, column), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(!model->setData(model->index(2, 0, column), Qt::Checked, Qt::CheckStateRole)); // same state
        QCOMPARE(filters.at(0).checkedValues, (QStringList{"A", "B", "C"}));
        QVERIFY(model->setData(column, Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(model->setData(model->index(1, 0, column), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(tree(*model).section(' ', 0, 2), "Provider~(A- B+ C-)");
        QVERIFY(model->setData(column, Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(filters.at(0).checkedValues, (QStringList{"A", "B", "C"})); // tree order
        model->clear();
        QVERIFY(!model->hasValues());
        QCOMPARE(changed.count(), 5);
    }

    void rebuildDropsStaleValues()
    {
        filters << ColumnFilter(2, providers.get(), false, false, {"A", "Gone", "abc"});
        providers->setStringList({"A", "ABC"});
        auto model = makeModel();
        // "Gone" no longer occurs; "abc" does not match "ABC": case counts
        QCOMPARE(filters.at(0).checkedValues, QStringList{"A"});
        QCOMPARE(tree(*model), "Provider~(A+ ABC-)");
        providers->setStringList({"A"});
        QSignalSpy changed(model.get(), &FilterMenuModel::filterChanged);
        model->rebuild(true);
        QCOMPARE(tree(*model), "Provider+(A+)"); // what is left covers every value
        QCOMPARE(changed.count(), 0);
        model->rebuild(false);
        QCOMPARE(changed.count(), 1);
    }

    void rebuildWhileShownInPopup()
    {
        filters << ColumnFilter(2, providers.get(), false, true, {"B"});
        auto model = makeModel();
        showFocused(win->other);
        auto *popup = new SFilterMenu(&win->window, 250, 200, 10);
        QTreeView *shown = popup->treeView();
        shown->setModel(model.get());
        shown->expandAll();
        popup->show();
        providers->setStringList({"B", "D", "E", "F"});
        model->rebuild(true); // the view is told, so it keeps no index into discarded nodes
        shown->grab();        // painted at once
        QCOMPARE(tree(*model), "Provider~((empty)- B+ D- E- F-)");
    }

    // Both pop-ups open under their button, kept inside the window, and go away with their view once hidden.
    void popupPlacementAndClose()
    {
        QWidget top;
        top.setGeometry(100, 100, 600, 400);
        auto *button = new QToolButton(&top);
        button->setGeometry(500, 10, 30, 20); // left edge 100 px from the window's right edge
        showActive(&top);
        const QPoint below = button->mapToGlobal(QPoint(0, button->height()));
        QCOMPARE(SPopupFrame::popupGeometry(button, 50, 300, 10), QRect(below.x(), below.y(), 50, 300));
        for (QPointer<SPopupFrame> menu :
             {static_cast<SPopupFrame *>(new SFilterMenu(button, 250, 200, 10)),
              static_cast<SPopupFrame *>(new SShowHideColumnsMenu(button, 250, 200, 10))}) {
            QPointer<QAbstractItemView> view = menu->findChild<QAbstractItemView *>();
            QCOMPARE(menu->geometry(), QRect(below.x() - 160, below.y(), 250, 200));
            menu->show();
            QTRY_VERIFY(view->isVisible());
            menu->hide(); // as a click outside the pop-up does
            QTRY_VERIFY(!menu && !view);
        }
        QVERIFY(button->isEnabled());
    }
};

OMBRELAY_TEST_MAIN(TestSTableView)
#include "tst_stableview.moc"
