#include "testmain.h"
#include "widgetsfixture.h"

#include "document/servicesfixture.h"
#include "widgets/booleanmodel.h"
#include "widgets/combodelegate.h"
#include "widgets/editablecombobox.h"
#include "widgets/enhanceddatawidgetmapper.h"
#include "widgets/multiplechoicewidget.h"

#include <QCompleter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QWheelEvent>

// The combo box over a source model, the delegate that edits table cells with it, and the mapper
// that binds a form to a row.
class TestItemEditors : public QObject
{
    Q_OBJECT

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
    }
    void cleanup()
    {
        qDeleteAll(parent.findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
        cells.reset();
        items.reset();
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

OMBRELAY_TEST_MAIN(TestItemEditors)
#include "tst_itemeditors.moc"
