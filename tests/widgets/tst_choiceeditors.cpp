#include "testmain.h"
#include "widgetsfixture.h"

#include "document/servicesfixture.h"
#include "widgets/booleanmodel.h"
#include "widgets/checkboxitemdelegate.h"
#include "widgets/combodelegate.h"
#include "widgets/editablecombobox.h"
#include "widgets/enhanceddatawidgetmapper.h"
#include "widgets/itemstableview.h"
#include "widgets/modelmenu.h"
#include "widgets/multiplechoicewidget.h"
#include "widgets/multiplechoicewidgetdelegate.h"
#include "widgets/shinttextedit.h"

#include <QCheckBox>
#include <QCompleter>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTableView>
#include <QWheelEvent>

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
// the check-box delegate, the model menu, the combo box over a source model with its delegate, and
// the mapper that binds a form to a row. Every model runs under a model tester.
class TestChoiceEditors : public QObject
{
    Q_OBJECT

    std::unique_ptr<QStringListModel> values; // a, b, c
    std::unique_ptr<QStandardItemModel> table;
    std::unique_ptr<QTableView> view;
    std::unique_ptr<ServicesFixture> items; // ids 0..3 named A..D
    std::unique_ptr<QStandardItemModel> cells;
    QModelIndex cell;
    QWidget parent;

    // A delegate's editor for the cell holding value; the delegate reads the cell into it.
    static EditableComboBox *editorFor(ComboDelegate &delegate, QWidget *parent, const QModelIndex &cell,
                                       const QVariant &value)
    {
        auto *combo = qobject_cast<EditableComboBox *>(delegate.createEditor(parent, {}, cell));
        const_cast<QAbstractItemModel *>(cell.model())->setData(cell, value);
        delegate.setEditorData(combo, cell);
        return combo;
    }

private slots:
    void init()
    {
        items = std::make_unique<ServicesFixture>(
            ServicesFixture::service(0, "A", "P1") + ServicesFixture::service(1, "B", "P2") +
            ServicesFixture::service(2, "C", "P1") + ServicesFixture::service(3, "D", "P3"));
        tested(&items->model);
        cells.reset(tested(new QStandardItemModel(1, 1)));
        cell = cells->index(0, 0);
        values.reset(tested(new QStringListModel({"a", "b", "c"})));
        table.reset(tested(new QStandardItemModel(4, 2)));
        for (int row = 0; row < 4; ++row)
            table->setItem(row, 1, new QStandardItem());
        view = std::make_unique<QTableView>();
        view->setModel(table.get());
    }
    void cleanup()
    {
        qDeleteAll(parent.findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
        cells.reset();
        items.reset();
        view.reset();
        table.reset();
        values.reset();
    }

    void tickingEmitsAndSorts()
    {
        QStandardItemModel plain; // it checks that it is asked with its own indexes
        for (const char *text : {"a", "B", "c"})
            plain.appendRow(new QStandardItem(text));
        SelectionModel model;
        model.setSourceModel(&plain);
        tested(&model);
        QVERIFY(!(model.flags(QModelIndex()) & Qt::ItemIsUserCheckable));
        model.setSelectedValues({"a", "a", "B"});
        QCOMPARE(texts(&model, true), (QStringList{"a", "B"}));
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
        QVERIFY(model.setData(model.index(2, 0), QStringLiteral("x"), Qt::EditRole)); // other roles reach the source
        QCOMPARE(plain.item(2)->text(), QStringLiteral("x"));
        // The source's rows reach the views, and no row has children.
        plain.insertRows(3, 2);
        QCOMPARE(model.rowCount(), 5);
        plain.removeRows(0, 4);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.rowCount(model.index(0, 0)), 0);
    }

    void temporaryCopiesAndAddsRows()
    {
        BooleanModel labelled(QStringLiteral("Enabled"), QStringLiteral("Disabled"));
        SelectionModel selection;
        selection.setSourceModel(tested(&labelled));
        TemporarySelectionModel temporary;
        tested(&temporary);
        temporary.copyFrom(&selection);
        temporary.setSelectedValues({QStringLiteral(" new "), QStringLiteral("true"), QStringLiteral("  ")});
        // "new" became a row, sorted in without case; the list keeps the untrimmed text, so it is not ticked.
        QCOMPARE(texts(&temporary), (QStringList{"Disabled", "Enabled", "new"}));
        QCOMPARE(texts(&temporary, true), QStringList{"Enabled"});

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
        QCOMPARE(texts(shown, true), (QStringList{"a", "b"}));
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
        QCOMPARE(texts(shown, true), QStringList{"Bx"});
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
        QCOMPARE(texts(shown, true), (QStringList{"a", "c"}));
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
    }

    // The menu edits column 1 of the rows selected there: rows 0 and 2; row 1 is selected in column 0 only.
    void modelMenuEdits_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("pick"); // "submenu/entry" or "entry"
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        dataRow("set", 0, "a|b|c", "b", "x", "b");
        dataRow("clear", 1, "a|b|c||Clear", "Clear", "x", "");
        dataRow("add sorts", 2, "Add|Remove||Clear", "Add/b", "c; a;;b", "a;b;c");
        dataRow("remove keeps order", 2, "Add|Remove||Clear", "Remove/b", "c;b;a;b", "c;a");
        dataRow("check", 3, "Check|Uncheck", "Check", "x", "true");
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
        QStringList shown;
        for (QAction *action : menu.actions())
            shown << action->text();
        QCOMPARE(shown.join('|'), entries);
        for (int row = 0; row < 3; ++row)
            table->item(row, 1)->setText(before);
        const auto find = [](QMenu *in, const QString &text) {
            for (QAction *action : in->actions())
                if (action->text() == text)
                    return action;
            return static_cast<QAction *>(nullptr);
        };
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

    void comboAddressesSourceRows()
    {
        QStringListModel model({"ABC", "abc", "x"});
        EditableComboBox combo;
        combo.setSourceModel(&model, false);
        QSignalSpy rows(&combo, &EditableComboBox::currentIndexRowChanged);
        QSignalSpy indexes(&combo, qOverload<const QModelIndex &>(&EditableComboBox::currentIndexChanged));
        combo.setCurrentIndex(2);
        combo.setProperty("cbText", QStringLiteral("abc")); // text without case
        QCOMPARE(combo.property("currentText").toString(), QStringLiteral("ABC"));
        combo.setProperty("cbText", QStringLiteral("none"));
        QCOMPARE(combo.currentIndex(), -1);
        combo.setModelIndexRow(1);
        combo.setModelIndexRow(1); // once
        QList<int> told;
        for (const QList<QVariant> &arguments : std::as_const(rows))
            told << arguments.first().toInt();
        QCOMPARE(told, (QList<int>{2, 0, 3, 1})); // no entry: the row count
        QCOMPARE(indexes.last().first().value<QModelIndex>(), model.index(1, 0));

        QStringListModel unsorted({"b", "C", "a"});
        EditableComboBox sorted;
        sorted.setSourceModel(&unsorted, true);
        QCOMPARE(sorted.itemText(0), QStringLiteral("a"));
        QCOMPARE(sorted.itemText(2), QStringLiteral("C"));
        sorted.setModelIndexRow(0);
        QCOMPARE(sorted.currentIndex(), 1);
        QSignalSpy sortedRows(&sorted, &EditableComboBox::currentIndexRowChanged);
        sorted.setCurrentIndex(0);
        QCOMPARE(sortedRows.last().first().toInt(), 2);
    }

    void comboByIdAndData()
    {
        EditableComboBox combo;
        combo.setSourceModel(&items->model, false);
        combo.setModelColumn(1);
        combo.setProperty("itemId", QStringLiteral("2"));
        QCOMPARE(combo.currentText(), QStringLiteral("C"));
        QCOMPARE(combo.property("itemId").toString(), QStringLiteral("2"));
        combo.setProperty("itemId", QStringLiteral("77"));
        QCOMPARE(combo.itemId(), QString());

        BooleanModel booleans(QStringLiteral("Enabled"), QStringLiteral("Disabled"));
        EditableComboBox flags;
        flags.setSourceModel(&booleans, true);
        flags.setProperty("indexByData", QStringLiteral("TRUE"));
        QCOMPARE(flags.currentText(), QStringLiteral("Enabled"));
        QCOMPARE(flags.property("indexByData").toString(), QStringLiteral("true"));
        flags.setIndexByData(QStringLiteral("maybe"));
        QCOMPARE(flags.indexByData(), QString());
    }

    void wheelAndKeypad()
    {
        QStringListModel model({"a", "b", "c"});
        EditableComboBox combo;
        combo.setSourceModel(&model, false);
        combo.setCurrentIndex(1);
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));
        const auto wheel = [&combo] {
            QWheelEvent event(QPointF(5, 5), combo.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&combo, &event);
        };
        wheel();
        QCOMPARE(combo.currentIndex(), 2);
        combo.setWheelDisabled(true);
        combo.setCurrentIndex(1);
        wheel();
        QCOMPARE(combo.currentIndex(), 1);
        combo.setKeypadEnterIgnored(true);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
        QApplication::sendEvent(&combo, &enter);
        QVERIFY(enter.isAccepted());
    }

    void delegateWritesIdsOrTexts()
    {
        ComboDelegate delegate(nullptr, false);
        delegate.setModel(&items->model);
        delegate.setColumn(1);
        // An id cell selects the item with that id; the commit writes the chosen item's id.
        EditableComboBox *combo = editorFor(delegate, &parent, cell, 2);
        QVERIFY(combo->isImmediateSendBlocked());
        QVERIFY(!combo->isEditable());
        QCOMPARE(combo->currentText(), QStringLiteral("C"));
        combo->setModelIndexRow(3);
        delegate.setModelData(combo, cells.get(), cell);
        QCOMPARE(cells->data(cell), QVariant(QStringLiteral("3")));
        // A text cell selects the entry with exactly that text; no entry writes nothing.
        combo = editorFor(delegate, &parent, cell, QStringLiteral("B"));
        QCOMPARE(combo->currentModelIndex(), 1);
        combo = editorFor(delegate, &parent, cell, QStringLiteral("b"));
        QCOMPARE(combo->currentIndex(), -1);
        delegate.setModelData(combo, cells.get(), cell);
        QCOMPARE(cells->data(cell).toString(), QStringLiteral("b"));
    }

    void delegateEditableAndByData()
    {
        QStringListModel names({"Alpha", "Beta"});
        ComboDelegate editable(nullptr, false);
        editable.setModel(&names);
        editable.setEditable(true);
        EditableComboBox *combo = editorFor(editable, &parent, cell, QStringLiteral("Beta"));
        QCOMPARE(combo->completer()->caseSensitivity(), Qt::CaseSensitive);
        QCOMPARE(combo->lineEdit()->selectedText(), QStringLiteral("Beta"));
        combo->lineEdit()->setText(QStringLiteral("Gamma"));
        editable.setModelData(combo, cells.get(), cell);
        QCOMPARE(cells->data(cell).toString(), QStringLiteral("Gamma"));
        QCOMPARE(names.rowCount(), 2); // typed text never becomes an entry

        BooleanModel booleans(QStringLiteral("Enabled"), QStringLiteral("Disabled"));
        ComboDelegate byData(nullptr, true);
        byData.setModel(&booleans);
        EditableComboBox *flags = editorFor(byData, &parent, cell, QStringLiteral("FALSE"));
        QCOMPARE(flags->currentText(), QStringLiteral("Disabled"));
        flags->setCurrentIndex(1);
        byData.setModelData(flags, cells.get(), cell);
        QCOMPARE(cells->data(cell).toString(), QStringLiteral("true"));
    }

    void mapperFollowsItemFlags()
    {
        QStandardItemModel model(2, 3);
        for (int column = 0; column < 3; ++column) {
            model.setItem(0, column, new QStandardItem(QStringLiteral("0/%1").arg(column)));
            model.setItem(1, column, new QStandardItem(QStringLiteral("1/%1").arg(column)));
            model.item(1, column)->setEditable(false);
        }
        model.item(1, 2)->setEnabled(false);
        auto *name = new QLineEdit(&parent);
        auto *choices = new MultipleChoiceWidget(&parent); // no read-only state: the mapper disables it
        auto *locked = new QLineEdit(&parent);
        EnhancedDataWidgetMapper mapper;
        mapper.setModel(tested(&model));
        mapper.addMapping(name, 0);
        mapper.addMapping(choices, 1);
        mapper.addMapping(locked, 2);
        mapper.setCurrentIndex(1);
        QCOMPARE(name->text(), QStringLiteral("1/0"));
        QVERIFY(name->isEnabled());
        QVERIFY(name->isReadOnly());
        QVERIFY(!choices->isEnabled());
        QVERIFY(!locked->isEnabled());
        mapper.setCurrentIndex(0);
        QVERIFY(!name->isReadOnly());
        QVERIFY(choices->isEnabled());
        // A data change on the current row updates the states; one elsewhere does not.
        model.item(1, 1)->setEditable(true);
        model.item(0, 0)->setEditable(false);
        QVERIFY(name->isReadOnly());
        QVERIFY(choices->isEnabled());
    }
};

OMBRELAY_TEST_MAIN(TestChoiceEditors)
#include "tst_choiceeditors.moc"
