#include "testmain.h"

#include "document/objectsortfilterproxymodel.h"
#include "document/servicesfixture.h"
#include "widgets/booleanmodel.h"
#include "widgets/combodelegate.h"
#include "widgets/editablecombobox.h"
#include "widgets/itemstableview.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QCompleter>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QWheelEvent>

class TestItemEditors : public QObject
{
    Q_OBJECT

    static QString four()
    {
        return ServicesFixture::service(0, "A", "P1") + ServicesFixture::service(1, "B", "P2") +
               ServicesFixture::service(2, "C", "P1") + ServicesFixture::service(3, "D", "P3");
    }
    static QStringList providersOf(ServicesFixture &fixture)
    {
        QStringList result;
        for (int row = 0; row < fixture.provider.count(); ++row)
            result << fixture.provider.itemAt(row).value(QStringLiteral("provider"));
        return result;
    }
    static void tester(QAbstractItemModel *model)
    {
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, model);
    }

private slots:
    void init() { QApplication::clipboard()->clear(); }

    void itemTablesMoveRowsThroughClipboard()
    {
        ServicesFixture from(four());
        ServicesFixture to(ServicesFixture::service(0, "Z", "P9"));
        tester(&from.model);
        tester(&to.model);
        ItemsTableView source;
        ItemsTableView target;
        source.setItemsModel(&from.model, {1, 2}, {1});
        target.setModel(&to.model);
        QCOMPARE(source.model(), source.proxy());
        QVERIFY(source.isColumnHidden(0));
        QVERIFY(!source.isColumnHidden(1));

        source.selectionModel()->select(source.model()->index(1, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        source.selectionModel()->select(source.model()->index(3, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        source.copy();
        const QMimeData *data = QApplication::clipboard()->mimeData();
        QVERIFY(data->hasFormat(from.model.mimeType()));
        QVERIFY(target.canPaste());
        target.paste();
        QCOMPARE(providersOf(to), (QStringList{"P9", "P2", "P3"}));
        QCOMPARE(to.ids(), (QStringList{"0", "1", "2"})); // new ids in the target list

        source.cut();
        QCOMPARE(from.names(), (QStringList{"A", "C"}));
        target.clearSelection();
        target.paste();
        QCOMPARE(providersOf(to), (QStringList{"P9", "P2", "P3", "P2", "P3"}));

        // A null model is ignored; without the proxy the view shows the model itself.
        target.setModel(nullptr);
        QCOMPARE(target.model(), target.proxy());
        ItemsTableView plain;
        plain.setUseSortFilterProxy(false);
        plain.setModel(&to.model);
        QCOMPARE(plain.model(), &to.model);
    }

    void singlePressOpensEditableColumns()
    {
        ServicesFixture items(four());
        ItemsTableView view;
        view.setModel(&items.model);
        view.addEditableColumns({2});
        view.resize(600, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, view.visualRect(view.model()->index(0, 1)).center());
        QVERIFY(!view.isEditing());
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, view.visualRect(view.model()->index(0, 1)).center());
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, view.visualRect(view.model()->index(1, 2)).center());
        QVERIFY(view.isEditing());
    }

    void comboSelectsByTextIgnoringCase()
    {
        QStringListModel model({"ABC", "abc", "x"});
        EditableComboBox combo;
        combo.setSourceModel(&model, false);
        QSignalSpy rows(&combo, &EditableComboBox::currentIndexRowChanged);
        combo.setCurrentIndex(2);
        QCOMPARE(rows.count(), 1); // the ordinary change goes through immediateSend
        combo.setProperty("cbText", QStringLiteral("abc"));
        QCOMPARE(combo.currentIndex(), 0);
        QCOMPARE(combo.property("currentText").toString(), QStringLiteral("ABC"));
        QCOMPARE(rows.count(), 2);
        combo.setProperty("cbText", QStringLiteral("none"));
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(rows.last().first().toInt(), 3); // the row count: no entry
    }

    void setModelIndexRowEmitsOnce()
    {
        QStringListModel model({"a", "b", "c"});
        EditableComboBox combo;
        combo.setSourceModel(&model, false);
        combo.setModelIndexRow(0);
        QSignalSpy indexes(&combo, qOverload<const QModelIndex &>(&EditableComboBox::currentIndexChanged));
        QSignalSpy rows(&combo, &EditableComboBox::currentIndexRowChanged);
        combo.setModelIndexRow(0);
        QCOMPARE(rows.count(), 0);
        combo.setModelIndexRow(2);
        QCOMPARE(rows.count(), 1); // immediateSend does not see the blocked change
        QCOMPARE(indexes.count(), 1);
        QCOMPARE(indexes.first().first().value<QModelIndex>(), model.index(2, 0));
    }

    void sortedComboReadsSourceRows()
    {
        QStringListModel model({"b", "C", "a"});
        EditableComboBox combo;
        combo.setSourceModel(&model, true);
        QCOMPARE(combo.itemText(0), QStringLiteral("a"));
        QCOMPARE(combo.itemText(2), QStringLiteral("C"));
        combo.setModelIndexRow(0);
        QCOMPARE(combo.currentIndex(), 1);
        QCOMPARE(combo.currentModelIndex(), 0);
        QSignalSpy rows(&combo, &EditableComboBox::currentIndexRowChanged);
        combo.setCurrentIndex(0);
        QCOMPARE(rows.last().first().toInt(), 2);
    }

    void comboByIdAndData()
    {
        ServicesFixture items(four());
        EditableComboBox combo;
        combo.setSourceModel(&items.model, false);
        combo.setModelColumn(1);
        combo.setProperty("itemId", QStringLiteral("2"));
        QCOMPARE(combo.currentText(), QStringLiteral("C"));
        QCOMPARE(combo.property("itemId").toString(), QStringLiteral("2"));
        combo.setProperty("itemId", QStringLiteral("77"));
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(combo.itemId(), QString());

        BooleanModel booleans(QStringLiteral("Enabled"), QStringLiteral("Disabled"));
        EditableComboBox flags;
        flags.setSourceModel(&booleans, true);
        flags.setProperty("indexByData", QStringLiteral("TRUE"));
        QCOMPARE(flags.currentText(), QStringLiteral("Enabled"));
        QCOMPARE(flags.property("indexByData").toString(), QStringLiteral("true"));
        flags.setIndexByData(QStringLiteral("maybe"));
        QCOMPARE(flags.currentIndex(), -1);
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
        auto wheel = [&combo] {
            QWheelEvent event(QPointF(5, 5), combo.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&combo, &event);
        };
        wheel();
        QCOMPARE(combo.currentIndex(), 2);
        combo.setWheelDisabled(true);
        wheel();
        QCOMPARE(combo.currentIndex(), 2);

        combo.setKeypadEnterIgnored(true);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
        QApplication::sendEvent(&combo, &enter);
        QVERIFY(enter.isAccepted());
    }

    void delegateEditorSetup()
    {
        ServicesFixture items(four());
        ComboDelegate delegate(nullptr, false);
        delegate.setModel(&items.model);
        delegate.setColumn(1);
        delegate.setWheelDisabled(true);
        QWidget parent;
        std::unique_ptr<QWidget> editor(delegate.createEditor(&parent, QStyleOptionViewItem(), QModelIndex()));
        auto *combo = qobject_cast<EditableComboBox *>(editor.get());
        QVERIFY(combo);
        QVERIFY(combo->isImmediateSendBlocked());
        QVERIFY(!combo->isEditable());

        // An id cell selects the item with that id; the commit writes the chosen item's id.
        QStandardItemModel target(1, 1);
        tester(&target);
        target.setData(target.index(0, 0), 2);
        delegate.setEditorData(combo, target.index(0, 0));
        QCOMPARE(combo->currentText(), QStringLiteral("C"));
        combo->setModelIndexRow(3);
        delegate.setModelData(combo, &target, target.index(0, 0));
        QCOMPARE(target.data(target.index(0, 0)), QVariant(QStringLiteral("3")));

        // A text cell selects the entry with exactly that text.
        target.setData(target.index(0, 0), QStringLiteral("B"));
        delegate.setEditorData(combo, target.index(0, 0));
        QCOMPARE(combo->currentModelIndex(), 1);
        target.setData(target.index(0, 0), QStringLiteral("b"));
        delegate.setEditorData(combo, target.index(0, 0));
        QCOMPARE(combo->currentIndex(), -1);
        target.setData(target.index(0, 0), QStringLiteral("kept"));
        delegate.setModelData(combo, &target, target.index(0, 0)); // no entry: nothing written
        QCOMPARE(target.data(target.index(0, 0)).toString(), QStringLiteral("kept"));
    }

    void delegateEditableAndByData()
    {
        QStringListModel names({"Alpha", "Beta"});
        ComboDelegate editable(nullptr, false);
        editable.setModel(&names);
        editable.setEditable(true);
        QWidget parent;
        std::unique_ptr<QWidget> editor(editable.createEditor(&parent, QStyleOptionViewItem(), QModelIndex()));
        auto *combo = qobject_cast<EditableComboBox *>(editor.get());
        QVERIFY(combo->lineEdit());
        QCOMPARE(combo->completer()->caseSensitivity(), Qt::CaseSensitive);
        QStandardItemModel target(1, 1);
        target.setData(target.index(0, 0), QStringLiteral("Beta"));
        editable.setEditorData(combo, target.index(0, 0));
        QCOMPARE(combo->lineEdit()->text(), QStringLiteral("Beta"));
        QCOMPARE(combo->lineEdit()->selectedText(), QStringLiteral("Beta"));
        combo->lineEdit()->setText(QStringLiteral("Gamma"));
        editable.setModelData(combo, &target, target.index(0, 0));
        QCOMPARE(target.data(target.index(0, 0)).toString(), QStringLiteral("Gamma"));
        QCOMPARE(names.rowCount(), 2); // typed text never becomes an entry

        BooleanModel booleans(QStringLiteral("Enabled"), QStringLiteral("Disabled"));
        ComboDelegate byData(nullptr, true);
        byData.setModel(&booleans);
        std::unique_ptr<QWidget> flagEditor(byData.createEditor(&parent, QStyleOptionViewItem(), QModelIndex()));
        auto *flags = qobject_cast<EditableComboBox *>(flagEditor.get());
        target.setData(target.index(0, 0), QStringLiteral("FALSE"));
        byData.setEditorData(flags, target.index(0, 0));
        QCOMPARE(flags->currentText(), QStringLiteral("Disabled"));
        flags->setCurrentIndex(1);
        byData.setModelData(flags, &target, target.index(0, 0));
        QCOMPARE(target.data(target.index(0, 0)).toString(), QStringLiteral("true"));
    }
};

OMBRELAY_TEST_MAIN(TestItemEditors)
#include "tst_itemeditors.moc"
