#include "testmain.h"
#include "widgetsfixture.h"

#include "widgets/booleanmodel.h"
#include "widgets/checkboxitemdelegate.h"
#include "widgets/itemstableview.h"
#include "widgets/modelmenu.h"
#include "widgets/multiplechoicewidget.h"
#include "widgets/multiplechoicewidgetdelegate.h"
#include "widgets/shinttextedit.h"

#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTableView>

// Notes what the delegate asks to be drawn.
class CheckRecorder : public CheckBoxItemDelegate
{
public:
    using CheckBoxItemDelegate::drawDisplay;
    void drawCheck(QPainter *, const QStyleOptionViewItem &, const QRect &rect, Qt::CheckState state) const override
    {
        drawnRect = rect;
        drawnState = state;
    }
    mutable QRect drawnRect;
    mutable Qt::CheckState drawnState = Qt::PartiallyChecked;
};

// The editors that pick values from a list: check-list models, the choice widget and its delegate,
// the check-box delegate and the model menu. Every model runs under a model tester.
class TestChoiceEditors : public QObject
{
    Q_OBJECT

    std::unique_ptr<QStringListModel> values; // a, b, c
    std::unique_ptr<QStandardItemModel> table;
    std::unique_ptr<QTableView> view;

private slots:
    void init()
    {
        values.reset(tested(new QStringListModel({"a", "b", "c"})));
        table.reset(tested(new QStandardItemModel(4, 2)));
        for (int row = 0; row < 4; ++row)
            table->setItem(row, 1, new QStandardItem());
        view = std::make_unique<QTableView>();
        view->setModel(table.get());
    }
    void cleanup()
    {
        view.reset();
        table.reset();
        values.reset();
    }

    void tickingEmitsAndSorts()
    {
        QStandardItemModel plain; // checks that it is asked with its own indexes
        plain.appendRow(new QStandardItem("a"));
        plain.appendRow(new QStandardItem("B"));
        SelectionModel model;
        model.setSourceModel(&plain);
        tested(&model);
        QVERIFY(!(model.flags(QModelIndex()) & Qt::ItemIsUserCheckable));
        model.setSelectedValues({"a", "a", "B"});
        QCOMPARE(checkedRows(&model), (QStringList{"a", "B"}));
        QCOMPARE(model.selectedValues(), QStringLiteral("B;a;a")); // duplicates stay, case-sensitive order
        model.setSelectedValues({});
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy selection(&model, &SelectionModel::SelectionChanged);
        QVERIFY(model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(model.setData(model.index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(!model.setData(model.index(1, 0), Qt::Checked, Qt::CheckStateRole)); // already so
        QVERIFY(!model.setData(QModelIndex(), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(selection.count(), 2);
        QCOMPARE(model.selectedValues(), QStringLiteral("B;a"));
        // Other roles reach the source at the same row and column.
        QVERIFY(model.setData(model.index(1, 0), QStringLiteral("x"), Qt::EditRole));
        QCOMPARE(plain.item(1)->text(), QStringLiteral("x"));
    }

    void sourceChangesReachViews()
    {
        SelectionModel model;
        model.setSourceModel(values.get());
        tested(&model);
        values->insertRows(3, 2);
        QCOMPARE(model.rowCount(), 5);
        values->removeRows(0, 4);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.rowCount(model.index(0, 0)), 0);
        model.setSourceModel(nullptr);
        QCOMPARE(model.rowCount(), 0);
    }

    void temporaryCopiesAndAddsRows()
    {
        BooleanModel labelled(QStringLiteral("Enabled"), QStringLiteral("Disabled"));
        SelectionModel selection;
        selection.setSourceModel(tested(&labelled));
        TemporarySelectionModel temporary;
        tested(&temporary);
        temporary.copyFrom(&selection);
        // Sorted by display text without case.
        QCOMPARE(temporary.data(temporary.index(0, 0)).toString(), QStringLiteral("Disabled"));
        QCOMPARE(temporary.data(temporary.index(0, 0), Qt::EditRole).toString(), QStringLiteral("false"));
        temporary.setSelectedValues({QStringLiteral(" new "), QStringLiteral("true"), QStringLiteral("  ")});
        QCOMPARE(temporary.rowCount(), 3); // "new" became a row, sorted in
        QCOMPARE(temporary.data(temporary.index(2, 0)).toString(), QStringLiteral("new"));
        // The list keeps the untrimmed text, so the new row is not ticked.
        QCOMPARE(checkedRows(&temporary), QStringList{"Enabled"});

        QSignalSpy selectionSignal(&temporary, &SelectionModel::SelectionChanged);
        QVERIFY(temporary.setData(temporary.index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(selectionSignal.count(), 0); // editor changes stay quiet until committed
        QCOMPARE(temporary.selectedValues(), QStringLiteral("  ; new ;false;true"));
        QCOMPARE(selection.selectedValues(), QString()); // the shared model is untouched
    }

    void checkBoxDelegate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("editorChecked");
        QTest::addColumn<int>("painted");
        QTest::newRow("true") << "true" << true << int(Qt::Checked);
        QTest::newRow("false") << "false" << false << int(Qt::Unchecked);
        QTest::newRow("True") << "True" << true << int(Qt::Unchecked);
        QTest::newRow("empty") << "" << false << int(Qt::Unchecked);
    }
    void checkBoxDelegate()
    {
        QFETCH(QString, text);
        QFETCH(bool, editorChecked);
        QFETCH(int, painted);
        QStandardItemModel model(1, 1);
        const QModelIndex cell = model.index(0, 0);
        model.setData(cell, text);
        CheckRecorder delegate;
        QWidget parent;
        QStyleOptionViewItem option;
        option.rect = QRect(10, 20, 101, 30);
        std::unique_ptr<QWidget> editor(delegate.createEditor(&parent, option, cell));
        auto *box = qobject_cast<QCheckBox *>(editor.get());
        delegate.setEditorData(box, cell);
        QCOMPARE(box->isChecked(), editorChecked);
        delegate.updateEditorGeometry(box, option, cell);
        QCOMPARE(box->geometry(), QRect(QPoint(54, 29), QPoint(66, 41))); // centred
        box->setChecked(!editorChecked);
        delegate.setModelData(box, &model, cell);
        QCOMPARE(model.data(cell, Qt::EditRole), QVariant(!editorChecked));
        QImage image(200, 100, QImage::Format_ARGB32);
        QPainter painter(&image);
        delegate.drawDisplay(&painter, option, option.rect, text);
        QCOMPARE(int(delegate.drawnState), painted);
        QCOMPARE(delegate.drawnRect, CheckBoxItemDelegate::checkRect(option.rect));
    }

    void selectedValuesRoundTrip()
    {
        MultipleChoiceWidget widget;
        QCOMPARE(widget.values(), QString()); // never bound: empty
        widget.setModel(values.get(), false);
        QAbstractItemModel *shown = tested(widget.listView->model());
        QStringList changed; // the signal passes its text by reference
        connect(&widget, &MultipleChoiceWidget::SelectedValuesChanged, this, [&changed](QString &t) { changed << t; });
        widget.setProperty("SelectedValues", QStringLiteral("b; a;;a "));
        QCOMPARE(checkedRows(shown), (QStringList{"a", "b"}));
        QCOMPARE(widget.values(), QStringLiteral("a;a;b"));
        QCOMPARE(changed.count(), 0);
        QVERIFY(shown->setData(shown->index(2, 0), Qt::Checked, Qt::CheckStateRole)); // ticking tells at once
        QCOMPARE(changed, QStringList{"a;a;b;c"});

        widget.setModel(nullptr, false);
        QVERIFY(!widget.listView->isEnabled());
        QVERIFY(!widget.newValueLineEdit->isEnabled());
        widget.setProperty("disableNew", true);
        QVERIFY(widget.newValueLineEdit->isHidden());
    }

    void appendNewChoice()
    {
        TestWindow win;
        auto *widget = win.add(new MultipleChoiceWidget);
        widget->setModel(values.get(), true);
        win.show();
        QSignalSpy changed(widget, &MultipleChoiceWidget::SelectedValuesChanged);
        widget->append(); // the hint is no choice
        QCOMPARE(widget->values(), QString());
        QCOMPARE(changed.count(), 0);

        TestWindow::focus(widget->newValueLineEdit);
        QTest::keyClicks(widget->newValueLineEdit, QStringLiteral("B;x")); // the separator cannot be typed
        QVERIFY(widget->addButton->isEnabled());
        QTest::keyClick(widget->newValueLineEdit, Qt::Key_Return);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(widget->values(), QStringLiteral("Bx"));
        QCOMPARE(widget->newValueLineEdit->text(), QString());
        QAbstractItemModel *shown = widget->listView->model();
        QCOMPARE(shown->rowCount(), 4); // a checked row of its own, sorted in
        QCOMPARE(shown->data(shown->index(2, 0)).toString(), QStringLiteral("Bx"));
        QCOMPARE(checkedRows(shown), QStringList{"Bx"});
        QTest::keyClicks(widget->newValueLineEdit, QStringLiteral("Bx"));
        widget->append(); // already there: nothing added, line emptied
        QCOMPARE(changed.count(), 1);
        QCOMPARE(widget->newValueLineEdit->text(), QString());
    }

    void delegateEditsThroughPrivateCopy()
    {
        QStandardItemModel cells(1, 1);
        const QModelIndex cell = tested(&cells)->index(0, 0);
        cells.setData(cell, QStringLiteral("c;a"));
        MultipleChoiceWidgetDelegate delegate;
        delegate.setChoicesModel(values.get());
        QWidget viewport;
        std::unique_ptr<QWidget> editor(delegate.createEditor(&viewport, QStyleOptionViewItem(), cell));
        auto *widget = qobject_cast<MultipleChoiceWidget *>(editor.get());
        QVERIFY(widget->windowFlags() & Qt::ToolTip);
        delegate.setEditorData(widget, cell);
        QAbstractItemModel *shown = widget->listView->model();
        QCOMPARE(checkedRows(shown), (QStringList{"a", "c"}));
        QSignalSpy changed(widget, &MultipleChoiceWidget::SelectedValuesChanged);
        QVERIFY(shown->setData(shown->index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(changed.count(), 0); // the editor stays quiet
        QCOMPARE(cells.data(cell).toString(), QStringLiteral("c;a"));
        delegate.setModelData(widget, &cells, cell);
        QCOMPARE(cells.data(cell).toString(), QStringLiteral("a;b;c"));

        QKeyEvent keypad(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
        keypad.ignore();
        QApplication::sendEvent(widget, &keypad);
        QVERIFY(keypad.isAccepted());
        QStyleOptionViewItem option;
        option.rect = QRect(10, 40, 220, 20);
        delegate.updateEditorGeometry(widget, option, cell);
        const QPoint origin = viewport.mapToGlobal(viewport.pos());
        QCOMPARE(widget->geometry(), QRect(origin.x() + 9, origin.y() + 24, 220, 130));
    }

    // The menu edits column 1 of the rows selected there: rows 0 and 2; row 1 is selected in column 0 only.
    void modelMenuEdits_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("pick"); // "submenu/entry" or "entry"
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        const auto row = [](const char *name, int mode, const char *entries, const char *pick, const char *before,
                            const char *after) { QTest::newRow(name) << mode << entries << pick << before << after; };
        row("set", 0, "a|b|c", "b", "x", "b");
        row("clear", 1, "a|b|c||Clear", "Clear", "x", "");
        row("add sorts", 2, "Add|Remove||Clear", "Add/b", "c; a;;b", "a;b;c");
        row("add new", 2, "Add|Remove||Clear", "Add/a", "c", "a;c");
        row("remove keeps order", 2, "Add|Remove||Clear", "Remove/b", "c;b;a;b", "c;a");
        row("remove absent", 2, "Add|Remove||Clear", "Remove/b", "a ; c", "a;c");
        row("check", 3, "Check|Uncheck", "Check", "x", "true");
        row("uncheck", 3, "Check|Uncheck", "Uncheck", "x", "false");
    }
    void modelMenuEdits()
    {
        QFETCH(int, mode);
        QFETCH(QString, entries);
        QFETCH(QString, pick);
        QFETCH(QString, before);
        QFETCH(QString, after);
        ModelMenu menu(QStringLiteral("Genre"), view.get(), 1, mode);
        if (mode != ModelMenu::CheckUncheck) {
            QVERIFY(!menu.isEnabled());
            menu.setModel(values.get(), 0);
        }
        const auto find = [](QMenu *in, const QString &text) {
            const QList<QAction *> actions = in->actions();
            auto found = std::find_if(actions.begin(), actions.end(), [&](QAction *a) { return a->text() == text; });
            return found == actions.end() ? nullptr : *found;
        };
        QStringList texts;
        for (QAction *action : menu.actions())
            texts << action->text();
        QCOMPARE(texts.join('|'), entries);
        for (int row = 0; row < 3; ++row)
            table->item(row, 1)->setText(before);
        for (int row : {0, 2})
            view->selectionModel()->select(table->index(row, 1), QItemSelectionModel::Select);
        view->selectionModel()->select(table->index(1, 0), QItemSelectionModel::Select);
        QSignalSpy edits(table.get(), &QAbstractItemModel::dataChanged);
        QAction *action = pick.contains('/') ? find(find(&menu, pick.section('/', 0, 0))->menu(), pick.section('/', 1))
                                             : find(&menu, pick);
        action->trigger(); // the entries are rebuilt while this one runs
        QCOMPARE(edits.count(), 2);
        QCOMPARE(table->item(0, 1)->data(Qt::EditRole).toString(), after);
        QCOMPARE(table->item(2, 1)->data(Qt::EditRole).toString(), after);
        QCOMPARE(table->item(1, 1)->text(), before);
        QVERIFY(find(&menu, pick.section('/', 0, 0)));
    }

    void modelMenuFollowsItsModel()
    {
        QStringListModel none;
        ModelMenu menu(QStringLiteral("Genre"), view.get(), 1, ModelMenu::AddRemoveClear);
        menu.setModel(tested(&none), 0);
        QVERIFY(!menu.isEnabled());
        none.insertRows(0, 1);
        none.setData(none.index(0), QStringLiteral("y")); // dataChanged rebuilds
        QVERIFY(menu.isEnabled());
        QCOMPARE(menu.actions().first()->menu()->actions().first()->text(), QStringLiteral("y"));
    }
};

OMBRELAY_TEST_MAIN(TestChoiceEditors)
#include "tst_choiceeditors.moc"
