#include "testmain.h"
#include "widgetsfixture.h"

#include "document/servicesfixture.h"
#include "widgets/autofixupdoublevalidator.h"
#include "widgets/autofixupintvalidator.h"
#include "widgets/booleanmodel.h"
#include "widgets/checkboxitemdelegate.h"
#include "widgets/combodelegate.h"
#include "widgets/csvtablewidget.h"
#include "widgets/doublespinboxnochars.h"
#include "widgets/editablecombobox.h"
#include "widgets/enhanceddatawidgetmapper.h"
#include "widgets/immediatecheckbox.h"
#include "widgets/iplineedit.h"
#include "widgets/itemstableview.h"
#include "widgets/modelmenu.h"
#include "widgets/multiplechoicewidget.h"
#include "widgets/multiplechoicewidgetdelegate.h"
#include "widgets/shinttextedit.h"
#include "widgets/spinboxnochars.h"
#include "widgets/ssearchlineedit.h"

#include <QCheckBox>
#include <QCompleter>
#include <QDataWidgetMapper>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTableWidget>
#include <QWheelEvent>

// The editors, typed into and left as a person does: line edits, spin boxes and small editors; the
// editors that pick values from a list (check-list models, the choice widget and its delegate, the
// check-box delegate, the model menu, the combo box over a source model with its delegate) and the
// mapper that binds a form to a row. Every model runs under a model tester.
class TestEditors : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWindow> win;
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

    void focus(QWidget *widget) { TestWindow::focus(widget); }

private slots:
    void init()
    {
        win = std::make_unique<TestWindow>();
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
        win.reset();
        qDeleteAll(parent.findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
    }

    // Both hint fields share one code; the search field highlights typed text, the hint field reports.
    void hintNeverLeaksIntoValue_data()
    {
        QTest::addColumn<bool>("search");
        dataRow("search field", true);
        dataRow("hint field", false);
    }
    void hintNeverLeaksIntoValue()
    {
        QFETCH(bool, search);
        HintLineEdit *field =
            search ? static_cast<HintLineEdit *>(win->add(new SSearchLineEdit)) : win->add(new SHintTextEdit);
        QSignalSpy changed(field, &SLineEdit::textChanged2);
        QStringList reports; // what the hint field tells its owner: "hint" or "open"
        QObject listener;
        if (!search)
            connect(qobject_cast<SHintTextEdit *>(field), &SHintTextEdit::EmptyText, &listener,
                    [&reports](bool shown) { reports << (shown ? "hint" : "open"); });
        QVERIFY(field->setProperty("emptyText", QStringLiteral("Search...")));
        QCOMPARE(field->shownHint(), QStringLiteral("Search..."));
        // The hint field holds its hint as text, put there with signals on the first time only; the search
        // field shows it as a placeholder and holds no text.
        const int first = search ? 0 : 1;
        QCOMPARE(field->text().isEmpty(), search);
        QCOMPARE(changed.count(), first);
        win->show();
        focus(field);
        QCOMPARE(field->text(), QString());
        QTest::keyClicks(field, QStringLiteral("BBC"));
        QCOMPARE(changed.count(), first + 3);
        QCOMPARE(field->styleSheet().contains(QStringLiteral("rgb(255, 210, 60)")), search);
        focus(win->other); // user text stays
        QCOMPARE(field->text(), QStringLiteral("BBC"));
        focus(field); // blank text turns into the hint on focus out, without any text signal
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("   "));
        const int before = changed.count();
        focus(win->other);
        QCOMPARE(field->shownHint(), QStringLiteral("Search..."));
        focus(field);
        field->clearSearchText();
        focus(win->other); // with the hint already back nothing is told
        QCOMPARE(reports, search ? QStringList() : (QStringList{"open", "open", "open", "hint", "open", "hint"}));

        // A later hint is stored, not shown, until the hint is put back.
        field->setEmptyText(QStringLiteral("Suchen..."));
        QCOMPARE(field->shownHint(), QStringLiteral("Search..."));
        field->clearSearchText();
        QCOMPARE(field->shownHint(), QStringLiteral("Suchen..."));
        QCOMPARE(changed.count(), before);
        // A text the program sets through the bound property while the hint shows counts as hint.
        QVERIFY(field->metaObject()->userProperty().write(field, QStringLiteral("a long programmatic text")));
        QCOMPARE(field->cursorPosition(), 0);
        focus(field);
        QCOMPARE(field->text(), QString());
        QSignalSpy enabled(field, &SLineEdit::enabledChanged);
        field->setEnabled(false);
        QCOMPARE(enabled.count(), 1);
    }

    void ipField_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("address"); // empty: no complete address
        const int right = Qt::Key_Right, enter = Qt::Key_Enter, ret = Qt::Key_Return;
        dataRow("typed, then right", "", "1921681", right, "192.168.001.", "");
        dataRow("keypad enter pads nothing", "1.1.1.1", "", enter, "1.1.1.1", "1.1.1.1");
        dataRow("keypad enter on complete", "192.168.001.010", "", enter, "192.168.001.010", "192.168.1.10");
        dataRow("return pads nothing", "1.1.1.1", "", ret, "1.1.1.1", "1.1.1.1");
        // QHostAddress would read "010" as octal eight.
        dataRow("padded octets are decimal", "010.008.001.099", "", ret, "010.008.001.099", "10.8.1.99");
    }
    void ipField()
    {
        QFETCH(QString, start);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, expected);
        QFETCH(QString, address);
        auto *field = win->add(new IPLineEdit);
        field->setText(start);
        field->setCursorPosition(0);
        QTest::keyClicks(field, typed);
        QTest::keyClick(field, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(field->text(), expected);
        QCOMPARE(field->address(), address.isEmpty() ? QHostAddress() : QHostAddress(address));
    }

    // Keypad Enter is Return: the same text afterwards and the same signals, whatever the field holds.
    void ipFieldEnterIsReturn_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("cursor"); // -1: at the end
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("finished"); // returnPressed and editingFinished, each
        QTest::newRow("short octets") << "1.1.1.1" << -1 << "1.1.1.1" << 0;
        QTest::newRow("three short of four") << "192.168.1.1" << -1 << "192.168.1.1" << 0;
        QTest::newRow("cursor in the first octet") << "192.168.1.1" << 1 << "192.168.1.1" << 0;
        QTest::newRow("three octets") << "192.168.1" << -1 << "192.168.1." << 0;
        QTest::newRow("empty") << "" << 0 << "..." << 0;
        QTest::newRow("complete") << "192.168.001.010" << -1 << "192.168.001.010" << 1;
    }
    void ipFieldEnterIsReturn()
    {
        QFETCH(QString, start);
        QFETCH(int, cursor);
        QFETCH(QString, expected);
        QFETCH(int, finished);
        QStringList outcome;
        for (const auto &[key, modifiers] : {std::pair{Qt::Key_Return, Qt::KeyboardModifiers(Qt::NoModifier)},
                                             std::pair{Qt::Key_Enter, Qt::KeyboardModifiers(Qt::KeypadModifier)}}) {
            auto *field = win->add(new IPLineEdit);
            field->setText(start);
            field->setCursorPosition(cursor < 0 ? int(field->text().size()) : cursor);
            QSignalSpy returned(field, &QLineEdit::returnPressed);
            QSignalSpy edited(field, &QLineEdit::editingFinished);
            QTest::keyClick(field, key, modifiers);
            QCOMPARE(field->text(), expected);
            QCOMPARE(returned.size(), finished);
            QCOMPARE(edited.size(), finished);
            outcome << QStringLiteral("%1 %2").arg(field->text()).arg(field->cursorPosition());
        }
        QCOMPARE(outcome.last(), outcome.first());
    }

    void validatorsFixToTheRange()
    {
        AutoFixUpIntValidator ints(10700, 12750);
        AutoFixUpDoubleValidator doubles;
        doubles.setRange(0, 1e9, 2);
        QStringList fixed;
        for (QString text : {"99999", "abc"}) {
            ints.fixup(text);
            fixed << text;
        }
        for (QString text : {"12345678", "-3"}) {
            doubles.fixup(text);
            fixed << text;
        }
        QCOMPARE(fixed, (QStringList{"12750", "10700", "1.23457e+07", "0"}));
        QString typed = QStringLiteral("+1.5+"); // "+" never stays; the cursor moves back once
        int pos = 2;
        doubles.validate(typed, pos);
        QCOMPARE(typed, QStringLiteral("1.5"));
        QCOMPARE(pos, 1);
    }

    void spinBoxFixesOnReturnAndFocusLoss()
    {
        auto *spin = win->add(new SpinBoxNoChars);
        spin->setMinimum(10700);
        spin->setMaximum(12750);
        spin->setValue(11000);
        win->show();
        focus(spin);
        auto *edit = spin->findChild<QLineEdit *>();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_5);
        QTest::keyClick(spin, Qt::Key_Return);
        QCOMPARE(spin->value(), 10700);
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("+12000"));
        focus(win->other);
        QCOMPARE(spin->value(), 12000);
        focus(spin);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_9);
        focus(win->other);
        QCOMPARE(spin->value(), 10700);

        DoubleSpinBoxNoChars doubles; // its validator follows the range too
        doubles.setMaximum(860);
        QCOMPARE(doubles.validator()->top(), 860.0);
    }

    void immediateCheckBoxCommitsAtOnce()
    {
        auto *box = win->add(new ImmediateCheckBox);
        QDataWidgetMapper mapper;
        mapper.setModel(cells.get());
        mapper.addMapping(box, 0);
        mapper.toFirst();
        win->show();
        focus(win->other);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QCOMPARE(QApplication::focusWidget(), box); // focus given back
        QCOMPARE(cells->data(cell).toBool(), true);
        focus(win->other);
        box->setChecked(false); // a change by the program while the box has no focus does nothing extra
        QCOMPARE(QApplication::focusWidget(), win->other);
        QCOMPARE(cells->data(cell).toBool(), true);
    }

    void csvTableShowsParts()
    {
        CsvTableWidget widget;
        auto *table = widget.findChild<QTableWidget *>(QStringLiteral("tblContent"));
        widget.setProperty("CsvContent", QStringLiteral("a;;b;4;5;6;7")); // more parts than rows
        QCOMPARE(texts(table->model()), (QStringList{"a", "", "b", "4", "5"}));
        widget.setCsvContent(QString());
        QVERIFY(!table->item(0, 0));
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
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy selection(&model, &SelectionModel::SelectionChanged);
        QVERIFY(model.setData(model.index(2, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(!model.setData(model.index(2, 0), Qt::Checked, Qt::CheckStateRole)); // already so
        QVERIFY(!model.setData(QModelIndex(), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(selection.count(), 1);
        QCOMPARE(model.selectedValues(), QStringLiteral("B;a;a;c"));
        QVERIFY(model.setData(model.index(2, 0), QStringLiteral("x"), Qt::EditRole)); // other roles reach the source
        QCOMPARE(plain.item(2)->text(), QStringLiteral("x"));
        // The source's rows reach the views, and no row has children.
        QSortFilterProxyModel follower;
        follower.setSourceModel(&model);
        QCOMPARE(follower.rowCount(), 3);
        plain.insertRows(3, 2);
        QCOMPARE(follower.rowCount(), 5);
        plain.removeRows(0, 4);
        QCOMPARE(follower.rowCount(), 1);
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
        QSortFilterProxyModel follower; // sees only the rows the model announces
        follower.setSourceModel(&temporary);
        QCOMPARE(follower.rowCount(), 2);
        temporary.setSelectedValues({QStringLiteral(" new "), QStringLiteral("true"), QStringLiteral("  ")});
        QCOMPARE(follower.rowCount(), 3);
        // "new" became a row, sorted in without case; the list keeps the untrimmed text, so it is not ticked.
        QCOMPARE(texts(&temporary), (QStringList{"Disabled", "Enabled", "new"}));
        QCOMPARE(texts(&temporary, true), QStringList{"Enabled"});

        QSignalSpy quiet(&temporary, &SelectionModel::SelectionChanged); // until the editor commits
        QVERIFY(temporary.setData(temporary.index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(quiet.count(), 0);
        QCOMPARE(temporary.selectedValues(), QStringLiteral("  ; new ;false;true"));
        QCOMPARE(selection.selectedValues(), QString()); // the shared model is untouched
    }

    void checkBoxDelegate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("checked");
        dataRow("true", "true", true);
        dataRow("True", "True", true);
        dataRow("empty", "", false);
    }
    void checkBoxDelegate()
    {
        QFETCH(QString, text);
        QFETCH(bool, checked);
        CheckBoxItemDelegate delegate;
        cells->setData(cell, text);
        auto *box = qobject_cast<QCheckBox *>(delegate.createEditor(&parent, {}, cell));
        delegate.setEditorData(box, cell);
        QCOMPARE(box->isChecked(), checked);
        box->setChecked(!checked);
        delegate.setModelData(box, cells.get(), cell);
        QCOMPARE(cells->data(cell, Qt::EditRole), QVariant(!checked));
    }

    void selectedValuesRoundTrip()
    {
        MultipleChoiceWidget widget;
        widget.setModel(values.get(), false);
        QAbstractItemModel *shown = tested(widget.listView->model());
        QStringList changed; // the signal passes its text by reference
        connect(&widget, &MultipleChoiceWidget::SelectedValuesChanged, this, [&changed](QString &t) { changed << t; });
        widget.setProperty("SelectedValues", QStringLiteral("b; a;;a "));
        QCOMPARE(texts(shown, true), (QStringList{"a", "b"}));
        QCOMPARE(widget.values(), QStringLiteral("a;a;b"));
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
        auto *widget = win->add(new MultipleChoiceWidget);
        widget->setModel(values.get(), true);
        win->show();
        QSignalSpy changed(widget, &MultipleChoiceWidget::SelectedValuesChanged);
        widget->append(); // the hint is no choice

        TestWindow::focus(widget->newValueLineEdit);
        QTest::keyClicks(widget->newValueLineEdit, QStringLiteral("B;x")); // the separator cannot be typed
        QVERIFY(widget->addButton->isEnabled());
        QTest::keyClick(widget->newValueLineEdit, Qt::Key_Return);
        QCOMPARE(widget->values(), QStringLiteral("Bx"));
        QCOMPARE(texts(widget->listView->model()), (QStringList{"a", "b", "Bx", "c"})); // a row of its own
        QCOMPARE(texts(widget->listView->model(), true), QStringList{"Bx"});
        QTest::keyClicks(widget->newValueLineEdit, QStringLiteral("Bx"));
        widget->append(); // already there: nothing added, line emptied
        QCOMPARE(changed.count(), 1);
        QCOMPARE(widget->newValueLineEdit->text(), QString());
    }

    void delegateEditsThroughPrivateCopy()
    {
        cells->setData(cell, QStringLiteral("c;a"));
        MultipleChoiceWidgetDelegate delegate;
        delegate.setChoicesModel(values.get());
        auto *widget = qobject_cast<MultipleChoiceWidget *>(delegate.createEditor(&parent, {}, cell));
        delegate.setEditorData(widget, cell);
        QAbstractItemModel *shown = widget->listView->model();
        QCOMPARE(texts(shown, true), (QStringList{"a", "c"}));
        QSignalSpy changed(widget, &MultipleChoiceWidget::SelectedValuesChanged);
        QVERIFY(shown->setData(shown->index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(changed.count(), 0); // the editor stays quiet
        QCOMPARE(cells->data(cell).toString(), QStringLiteral("c;a"));
        delegate.setModelData(widget, cells.get(), cell);
        QCOMPARE(cells->data(cell).toString(), QStringLiteral("a;b;c"));

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
            const QList<QAction *> actions = in->actions();
            return *std::find_if(actions.begin(), actions.end(), [&](QAction *a) { return a->text() == text; });
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

    void comboAddressesSourceRows()
    {
        QStringListModel model({"ABC", "abc", "x"});
        EditableComboBox combo;
        combo.setSourceModel(&model, false);
        QSignalSpy rows(&combo, &EditableComboBox::currentIndexRowChanged);
        QSignalSpy indexes(&combo, qOverload<const QModelIndex &>(&EditableComboBox::currentIndexChanged));
        combo.setCurrentIndex(2);
        combo.setProperty("cbText", QStringLiteral("abc")); // text without case
        QCOMPARE(combo.currentText(), QStringLiteral("ABC"));
        combo.setProperty("cbText", QStringLiteral("none")); // no entry: the row count
        combo.setModelIndexRow(1);
        combo.setModelIndexRow(1); // once
        QCOMPARE(rows.count(), 4);
        QCOMPARE(rows.at(2).first().toInt(), 3);
        QCOMPARE(indexes.last().first().value<QModelIndex>(), model.index(1, 0));
        // Sorted through its own proxy, it still speaks in source rows.
        QStringListModel unsorted({"b", "C", "a"});
        EditableComboBox sorted;
        sorted.setSourceModel(&unsorted, true);
        sorted.setModelIndexRow(0);
        QCOMPARE(sorted.currentIndex(), 1);
        QSignalSpy sortedRows(&sorted, &EditableComboBox::currentIndexRowChanged);
        sorted.setCurrentIndex(2);
        QCOMPARE(sortedRows.last().first().toInt(), 1);
    }

    void comboByIdDataAndKeys()
    {
        EditableComboBox combo;
        combo.setSourceModel(&items->model, false);
        combo.setModelColumn(1);
        combo.setProperty("itemId", QStringLiteral("2"));
        QCOMPARE(combo.currentText(), QStringLiteral("C"));
        combo.setProperty("itemId", QStringLiteral("77"));
        QCOMPARE(combo.itemId(), QString());
        BooleanModel booleans(QStringLiteral("Enabled"), QStringLiteral("Disabled"));
        EditableComboBox flags;
        flags.setSourceModel(&booleans, true);
        flags.setProperty("indexByData", QStringLiteral("TRUE"));
        QCOMPARE(flags.indexByData(), QStringLiteral("true"));
        // With the wheel off and keypad Enter ignored neither changes the entry.
        flags.setWheelDisabled(true);
        flags.setKeypadEnterIgnored(true);
        showActive(&flags);
        QWheelEvent wheel(QPointF(5, 5), flags.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&flags, &wheel);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
        QApplication::sendEvent(&flags, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(flags.currentText(), QStringLiteral("Enabled"));
    }

    void delegateWritesIdsOrTexts()
    {
        ComboDelegate delegate(nullptr, false);
        delegate.setModel(&items->model);
        delegate.setColumn(1);
        // An id cell selects the item with that id; the commit writes the chosen item's id.
        EditableComboBox *combo = editorFor(delegate, &parent, cell, 2);
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
        table->setItem(1, 0, new QStandardItem());
        table->item(1, 0)->setEditable(false);
        table->item(1, 1)->setEnabled(false);
        auto *choices = new MultipleChoiceWidget(&parent); // no read-only state: the mapper disables it
        auto *name = new QLineEdit(&parent);
        EnhancedDataWidgetMapper mapper;
        mapper.setModel(table.get());
        mapper.addMapping(choices, 0);
        mapper.addMapping(name, 1);
        mapper.setCurrentIndex(1);
        QVERIFY(!choices->isEnabled());
        QVERIFY(!name->isEnabled());
        mapper.setCurrentIndex(0);
        QVERIFY(choices->isEnabled());
        QVERIFY(name->isEnabled() && !name->isReadOnly());
        table->item(0, 1)->setEditable(false); // a data change on the current row updates the states
        QVERIFY(name->isReadOnly());
    }
};

OMBRELAY_TEST_MAIN(TestEditors)
#include "tst_editors.moc"
