#include "testmain.h"
#include "widgetsfixture.h"

#include "widgets/autofixupdoublevalidator.h"
#include "widgets/autofixupintvalidator.h"
#include "widgets/csvtablewidget.h"
#include "widgets/doublespinboxnochars.h"
#include "widgets/immediatecheckbox.h"
#include "widgets/iplineedit.h"
#include "widgets/shinttextedit.h"
#include "widgets/spinboxnochars.h"
#include "widgets/ssearchlineedit.h"

#include <QDataWidgetMapper>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableWidget>

// The line edits, spin boxes and small editors, typed into and left as a person does.
class TestLineEdits : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWindow> win;

    void focus(QWidget *widget) { TestWindow::focus(widget); }

private slots:
    void init() { win = std::make_unique<TestWindow>(); }
    void cleanup() { win.reset(); }

    // Both hint fields share one code; the search field highlights typed text, the hint field reports.
    void hintNeverLeaksIntoValue_data()
    {
        QTest::addColumn<bool>("search");
        QTest::newRow("search field") << true;
        QTest::newRow("hint field") << false;
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
        QCOMPARE(field->text(), QStringLiteral("Search..."));
        QCOMPARE(changed.count(), 1); // only the first hint is put with signals on
        win->show();
        focus(field);
        QCOMPARE(field->text(), QString());
        QTest::keyClicks(field, QStringLiteral("BBC"));
        QCOMPARE(changed.count(), 4);
        QCOMPARE(field->styleSheet().contains(QStringLiteral("rgb(255, 210, 60)")), search);
        focus(win->other); // user text stays
        QCOMPARE(field->text(), QStringLiteral("BBC"));
        focus(field);

        // Blank text turns into the hint on focus out, without any text signal.
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("   "));
        const int before = changed.count();
        focus(win->other);
        QCOMPARE(field->text(), QStringLiteral("Search..."));
        QVERIFY(field->isHintShown());
        focus(field);
        field->clearSearchText();
        focus(win->other); // with the hint already back nothing is told
        QCOMPARE(reports, search ? QStringList() : (QStringList{"open", "open", "open", "hint", "open", "hint"}));

        // A later hint is stored, not shown, until the hint is put back.
        field->setEmptyText(QStringLiteral("Suchen..."));
        QCOMPARE(field->text(), QStringLiteral("Search..."));
        field->clearSearchText();
        QCOMPARE(field->text(), QStringLiteral("Suchen..."));
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
        dataRow("right in empty field", "", "", right, "001...", "");
        dataRow("keypad enter pads by length", "1.1.1.1", "", enter, "001.001.1.1", "1.1.1.1");
        dataRow("keypad enter on complete", "192.168.001.010", "", enter, "192.168.001.010", "192.168.1.10");
        dataRow("return pads nothing", "1.1.1.1", "", ret, "1.1.1.1", "1.1.1.1");
        // QHostAddress would read "010" as octal eight.
        dataRow("padded octets are decimal", "010.008.001.099", "", ret, "010.008.001.099", "10.8.1.99");
        dataRow("octet past 255", "300.1.1.1", "", ret, "300.1.1.1", "");
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

    void validators_data()
    {
        QTest::addColumn<bool>("isDouble");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("fixed");
        // ints in 10700..12750, doubles in 0..1e9
        dataRow("int below", false, "5", "10700");
        dataRow("int above", false, "99999", "12750");
        dataRow("int inside", false, "11000", "11000");
        dataRow("int no number", false, "abc", "10700");
        dataRow("double six digits", true, "12345678", "1.23457e+07");
        dataRow("double below", true, "-3", "0");
    }
    void validators()
    {
        QFETCH(bool, isDouble);
        QFETCH(QString, input);
        QFETCH(QString, fixed);
        AutoFixUpIntValidator ints(10700, 12750);
        AutoFixUpDoubleValidator doubles;
        doubles.setRange(0, 1e9, 2);
        QValidator &validator = isDouble ? static_cast<QValidator &>(doubles) : ints;
        QString text = input;
        validator.fixup(text);
        QCOMPARE(text, fixed);
        // A typed "+" never stays; the cursor moves back once however many went.
        text = "+" + input + "+";
        int pos = 2;
        validator.validate(text, pos);
        QCOMPARE(text, input);
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
        QCOMPARE(edit->text(), QStringLiteral("12000"));
        focus(win->other);
        QCOMPARE(spin->value(), 12000);
        focus(spin);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_9);
        focus(win->other);
        QCOMPARE(spin->value(), 10700);

        DoubleSpinBoxNoChars doubles; // its validator follows the range too
        doubles.setMaximum(860);
        QString text = QStringLiteral("1000");
        doubles.fixup(text);
        QCOMPARE(text, QStringLiteral("860"));
    }

    void immediateCheckBoxCommitsAtOnce()
    {
        QStandardItemModel model(1, 1);
        model.setData(model.index(0, 0), false);
        auto *box = win->add(new ImmediateCheckBox);
        QDataWidgetMapper mapper;
        mapper.setModel(tested(&model));
        mapper.addMapping(box, 0);
        mapper.toFirst();
        win->show();
        focus(win->other);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QCOMPARE(QApplication::focusWidget(), box); // focus given back
        QCOMPARE(model.data(model.index(0, 0)).toBool(), true);
        focus(win->other);
        box->setChecked(false); // a change by the program while the box has no focus does nothing extra
        QCOMPARE(QApplication::focusWidget(), win->other);
        QCOMPARE(model.data(model.index(0, 0)).toBool(), true);
    }

    void csvTableShowsParts()
    {
        CsvTableWidget widget;
        auto *table = widget.findChild<QTableWidget *>(QStringLiteral("tblContent"));
        widget.setCsvContent(QStringLiteral("a;;b"));
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("a"));
        QVERIFY(!table->item(1, 0));
        QCOMPARE(table->item(2, 0)->text(), QStringLiteral("b"));
        widget.setProperty("CsvContent", QStringLiteral("1;2;3;4;5;6;7")); // more parts than rows
        QCOMPARE(table->rowCount(), 5);
        QCOMPARE(table->item(4, 0)->text(), QStringLiteral("5"));
        widget.setCsvContent(QString());
        QVERIFY(!table->item(0, 0));
    }
};

OMBRELAY_TEST_MAIN(TestLineEdits)
#include "tst_lineedits.moc"
