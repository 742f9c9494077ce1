#include "testmain.h"

#include "widgets/booleanmodel.h"
#include "widgets/checkboxitemdelegate.h"
#include "widgets/selectionmodel.h"
#include "widgets/temporaryselectionmodel.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>

#include <memory>

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

class TestChoiceEditors : public QObject
{
    Q_OBJECT

    // A plain list of values under the check-list model, both watched by the model tester.
    std::unique_ptr<QStringListModel> plain;
    std::unique_ptr<SelectionModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;

private slots:
    void init()
    {
        plain = std::make_unique<QStringListModel>(QStringList{"a", "b"});
        model = std::make_unique<SelectionModel>();
        tester = std::make_unique<QAbstractItemModelTester>(model.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        model->setSourceModel(plain.get());
    }
    void cleanup()
    {
        tester.reset();
        model.reset();
        plain.reset();
    }

    void selectionChecksRowsOfSelectedValues()
    {
        QCOMPARE(model->rowCount(), 2);
        QVERIFY(model->flags(model->index(0, 0)) & Qt::ItemIsUserCheckable);
        model->setSelectedValues({QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("b")});
        QCOMPARE(model->data(model->index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(model->data(model->index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(model->selectedValues(), QStringLiteral("a;a;b")); // duplicates stay
        QCOMPARE(model->data(model->index(1, 0)).toString(), QStringLiteral("b"));
        QCOMPARE(model->allValues(), (QStringList{"a", "b"}));
    }

    void tickingEmitsAndSorts()
    {
        plain->setStringList({QStringLiteral("a"), QStringLiteral("B")});
        QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
        QSignalSpy selection(model.get(), &SelectionModel::SelectionChanged);
        QVERIFY(model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(!model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole)); // already so
        QCOMPARE(changed.count(), 2);
        QCOMPARE(selection.count(), 2);
        QCOMPARE(model->selectedValues(), QStringLiteral("B;a")); // case-sensitive order
        QVERIFY(model->setData(model->index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(model->selectedValues(), QStringLiteral("a"));
        QVERIFY(!model->setData(QModelIndex(), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(model->selectedValues(), QStringLiteral("a"));
        // Other roles reach the source at the same row and column.
        QVERIFY(model->setData(model->index(0, 0), QStringLiteral("x"), Qt::EditRole));
        QCOMPARE(plain->stringList().first(), QStringLiteral("x"));
    }

    void sourceChangesReachViews()
    {
        plain->insertRows(2, 2);
        QCOMPARE(model->rowCount(), 4);
        plain->removeRows(0, 3);
        QCOMPARE(model->rowCount(), 1);
        model->setSourceModel(nullptr);
        QCOMPARE(model->rowCount(), 0);
        QVERIFY(!model->data(model->index(0, 0)).isValid());
    }

    void temporaryCopiesAndAddsRows()
    {
        BooleanModel labelled(QStringLiteral("Enabled"), QStringLiteral("Disabled"));
        QAbstractItemModelTester labelledTester(&labelled, QAbstractItemModelTester::FailureReportingMode::QtTest);
        SelectionModel selection;
        selection.setSourceModel(&labelled);
        TemporarySelectionModel temporary;
        QAbstractItemModelTester temporaryTester(&temporary, QAbstractItemModelTester::FailureReportingMode::QtTest);
        temporary.copyFrom(&selection);
        QCOMPARE(temporary.rowCount(), 2);
        QCOMPARE(temporary.columnCount(), 1);
        // Sorted by display text without case.
        QCOMPARE(temporary.data(temporary.index(0, 0)).toString(), QStringLiteral("Disabled"));
        QCOMPARE(temporary.data(temporary.index(0, 0), Qt::EditRole).toString(), QStringLiteral("false"));
        QCOMPARE(temporary.data(temporary.index(1, 0), Qt::EditRole).toString(), QStringLiteral("true"));
        QVERIFY(!temporary.data(temporary.index(0, 0), Qt::ToolTipRole).isValid());
        QCOMPARE(temporary.allValues(), QStringList());

        temporary.setSelectedValues({QStringLiteral(" new "), QStringLiteral("true"), QStringLiteral("  ")});
        QCOMPARE(temporary.rowCount(), 3); // "new" became a row, sorted in
        QCOMPARE(temporary.data(temporary.index(2, 0)).toString(), QStringLiteral("new"));
        // The list keeps the untrimmed text, so the new row is not ticked.
        QCOMPARE(temporary.data(temporary.index(2, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(temporary.data(temporary.index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(temporary.data(temporary.index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

        QSignalSpy selectionSignal(&temporary, &SelectionModel::SelectionChanged);
        QSignalSpy changed(&temporary, &QAbstractItemModel::dataChanged);
        QVERIFY(temporary.setData(temporary.index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(selectionSignal.count(), 0); // editor changes stay quiet until committed
        QCOMPARE(temporary.selectedValues(), QStringLiteral("  ; new ;false;true"));
        QVERIFY(!temporary.setData(temporary.index(0, 0), QStringLiteral("x"), Qt::EditRole));
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
        QTest::newRow("1") << "1" << true << int(Qt::Unchecked);
        QTest::newRow("empty") << "" << false << int(Qt::Unchecked);
    }
    void checkBoxDelegate()
    {
        QFETCH(QString, text);
        QFETCH(bool, editorChecked);
        QFETCH(int, painted);
        QStandardItemModel model(1, 1);
        model.setData(model.index(0, 0), text);
        CheckRecorder delegate;
        QWidget parent;
        QStyleOptionViewItem option;
        option.rect = QRect(10, 20, 101, 30);
        std::unique_ptr<QWidget> editor(delegate.createEditor(&parent, option, model.index(0, 0)));
        auto *box = qobject_cast<QCheckBox *>(editor.get());
        QVERIFY(box);
        delegate.setEditorData(box, model.index(0, 0));
        QCOMPARE(box->isChecked(), editorChecked);
        delegate.updateEditorGeometry(box, option, model.index(0, 0));
        QCOMPARE(box->geometry(), QRect(QPoint(54, 29), QPoint(66, 41)));
        box->setChecked(!editorChecked);
        delegate.setModelData(box, &model, model.index(0, 0));
        QCOMPARE(model.data(model.index(0, 0), Qt::EditRole), QVariant(!editorChecked));

        QImage image(200, 100, QImage::Format_ARGB32);
        QPainter painter(&image);
        delegate.drawDisplay(&painter, option, option.rect, text);
        QCOMPARE(int(delegate.drawnState), painted);
        QCOMPARE(delegate.drawnRect, CheckBoxItemDelegate::checkRect(option.rect));
    }
};

OMBRELAY_TEST_MAIN(TestChoiceEditors)
#include "tst_choiceeditors.moc"
