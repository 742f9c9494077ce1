#include "testmain.h"

#include "widgets/itemstableview.h"
#include "widgets/multiplechoicewidget.h"
#include "widgets/multiplechoicewidgetdelegate.h"
#include "widgets/shinttextedit.h"

#include <QAbstractItemModelTester>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>

class TestMultipleChoice : public QObject
{
    Q_OBJECT

    std::unique_ptr<QStringListModel> choices;

    static QStringList checkedRows(const QAbstractItemModel *model)
    {
        QStringList result;
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->data(model->index(row, 0), Qt::CheckStateRole).toInt() == Qt::Checked)
                result << model->data(model->index(row, 0)).toString();
        return result;
    }

private slots:
    void init()
    {
        choices = std::make_unique<QStringListModel>(QStringList{"a", "b", "c"});
        new QAbstractItemModelTester(choices.get(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     choices.get());
    }

    void unboundWidget()
    {
        MultipleChoiceWidget widget;
        QVERIFY(!widget.addButton->isEnabled());
        QCOMPARE(widget.newValueLineEdit->text(), QStringLiteral("New choice..."));
        QCOMPARE(widget.values(), QString()); // never bound: empty
        // The separator can never be typed into a new choice.
        QString typed = QStringLiteral("a;b");
        int pos = 3;
        QCOMPARE(widget.newValueLineEdit->validator()->validate(typed, pos), QValidator::Invalid);
    }

    void selectedValuesRoundTrip()
    {
        MultipleChoiceWidget widget;
        widget.setModel(choices.get(), false);
        QAbstractItemModelTester tester(widget.listView->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QStringList changed; // the signal passes its text by reference
        connect(&widget, &MultipleChoiceWidget::SelectedValuesChanged, this,
                [&changed](QString &text) { changed << text; });
        widget.setProperty("SelectedValues", QStringLiteral("b; a;;a "));
        QCOMPARE(checkedRows(widget.listView->model()), (QStringList{"a", "b"}));
        QCOMPARE(widget.values(), QStringLiteral("a;a;b")); // duplicates of the text stay
        QCOMPARE(changed.count(), 0);
        widget.setSelectedValues(QStringLiteral("   "));
        QCOMPARE(widget.values(), QString());

        // Ticking in the shared model tells at once.
        QAbstractItemModel *shown = widget.listView->model();
        QVERIFY(shown->setData(shown->index(2, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.last(), QStringLiteral("c"));

        widget.setModel(nullptr, false);
        QVERIFY(!widget.listView->isEnabled());
        QVERIFY(!widget.newValueLineEdit->isEnabled());
        QVERIFY(!widget.listView->model());
    }

    void appendNewChoice()
    {
        QWidget window;
        auto *widget = new MultipleChoiceWidget(&window);
        widget->setModel(choices.get(), true);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QSignalSpy changed(widget, &MultipleChoiceWidget::SelectedValuesChanged);
        widget->append(); // the hint is no choice
        QCOMPARE(widget->values(), QString());
        QCOMPARE(changed.count(), 0);

        widget->newValueLineEdit->setFocus();
        QTRY_VERIFY(widget->newValueLineEdit->hasFocus());
        QVERIFY(!widget->addButton->isEnabled() || widget->newValueLineEdit->text().isEmpty());
        QTest::keyClicks(widget->newValueLineEdit, QStringLiteral("B;x"));
        QCOMPARE(widget->newValueLineEdit->text(), QStringLiteral("Bx"));
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

    void disableNewHidesLine()
    {
        QWidget window;
        auto *widget = new MultipleChoiceWidget(&window, true);
        window.show();
        QVERIFY(!widget->addButton->isVisible());
        QVERIFY(!widget->newValueLineEdit->isVisible());
        QCOMPARE(widget->property("disableNew").toBool(), true);
        QVERIFY(widget->setProperty("disableNew", false));
        QVERIFY(widget->addButton->isVisible());
    }

    void delegateEditsThroughPrivateCopy()
    {
        QStandardItemModel table(1, 1);
        QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
        table.setData(table.index(0, 0), QStringLiteral("c;a"));
        MultipleChoiceWidgetDelegate delegate;
        delegate.setChoicesModel(choices.get());
        QWidget viewport;
        std::unique_ptr<QWidget> editor(delegate.createEditor(&viewport, QStyleOptionViewItem(), table.index(0, 0)));
        auto *widget = qobject_cast<MultipleChoiceWidget *>(editor.get());
        QVERIFY(widget);
        QVERIFY(widget->editorMode);
        QVERIFY(widget->windowFlags() & Qt::ToolTip);
        delegate.setEditorData(widget, table.index(0, 0));
        QAbstractItemModel *shown = widget->listView->model();
        QCOMPARE(checkedRows(shown), (QStringList{"a", "c"}));
        QSignalSpy changed(widget, &MultipleChoiceWidget::SelectedValuesChanged);
        QVERIFY(shown->setData(shown->index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(changed.count(), 0); // the editor stays quiet
        QCOMPARE(table.data(table.index(0, 0)).toString(), QStringLiteral("c;a"));
        delegate.setModelData(widget, &table, table.index(0, 0));
        QCOMPARE(table.data(table.index(0, 0)).toString(), QStringLiteral("a;b;c"));

        QKeyEvent keypad(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
        keypad.ignore();
        QApplication::sendEvent(widget, &keypad);
        QVERIFY(keypad.isAccepted());
        QKeyEvent ret(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(widget, &ret);
        QVERIFY(!ret.isAccepted()); // Return goes on like any other key

        QStyleOptionViewItem option;
        option.rect = QRect(10, 40, 220, 20);
        delegate.updateEditorGeometry(widget, option, table.index(0, 0));
        const QPoint origin = viewport.mapToGlobal(viewport.pos());
        QCOMPARE(widget->geometry(), QRect(origin.x() + 9, origin.y() + 24, 220, 130));
    }
};

OMBRELAY_TEST_MAIN(TestMultipleChoice)
#include "tst_multiplechoice.moc"
