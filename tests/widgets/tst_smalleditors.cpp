#include "testmain.h"
#include "testwindow.h"

#include "widgets/autofixupdoublevalidator.h"
#include "widgets/autofixupintvalidator.h"
#include "widgets/csvtablewidget.h"
#include "widgets/doublespinboxnochars.h"
#include "widgets/immediatecheckbox.h"
#include "widgets/spinboxnochars.h"

#include <QAbstractItemModelTester>
#include <QDataWidgetMapper>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableWidget>

#include <memory>

class TestSmallEditors : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWindow> win;
    QLineEdit *other = nullptr;

    void showWindow() { win->show(); }
    static void focus(QWidget *widget) { TestWindow::focus(widget); }

private slots:
    void init()
    {
        win = std::make_unique<TestWindow>();
        other = win->other;
    }
    void cleanup() { win.reset(); }

    void intFixup_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("fixed");
        const auto row = [](const char *name, const QString &input, const QString &fixed) {
            QTest::newRow(name) << input << fixed;
        };
        row("below", "5", "10700");
        row("above", "99999", "12750");
        row("inside", "11000", "11000");
        row("no number", "abc", "10700");
        row("empty", "", "10700");
    }
    void intFixup()
    {
        QFETCH(QString, input);
        QFETCH(QString, fixed);
        AutoFixUpIntValidator validator(10700, 12750);
        validator.fixup(input);
        QCOMPARE(input, fixed);
    }

    void plusIsDropped()
    {
        AutoFixUpIntValidator ints(0, 100);
        QString text = QStringLiteral("+4+2");
        int pos = 3;
        QCOMPARE(ints.validate(text, pos), QValidator::Acceptable);
        QCOMPARE(text, QStringLiteral("42"));
        QCOMPARE(pos, 2); // moved back once however many went
        AutoFixUpDoubleValidator doubles;
        QString d = QStringLiteral("+1.5");
        pos = 1;
        doubles.validate(d, pos);
        QCOMPARE(d, QStringLiteral("1.5"));
        QCOMPARE(pos, 0);
    }

    void doubleFixupSixDigits()
    {
        AutoFixUpDoubleValidator validator;
        validator.setRange(0, 1e9, 2);
        QString big = QStringLiteral("12345678");
        validator.fixup(big);
        QCOMPARE(big, QStringLiteral("1.23457e+07"));
        QString low = QStringLiteral("-3");
        validator.fixup(low);
        QCOMPARE(low, QStringLiteral("0"));
        QString junk = QStringLiteral("x");
        validator.fixup(junk);
        QCOMPARE(junk, QStringLiteral("0"));
    }

    void spinBoxFixesOnReturnAndFocusLoss()
    {
        auto *spin = win->add(new SpinBoxNoChars);
        spin->setMinimum(10700);
        spin->setMaximum(12750);
        QCOMPARE(spin->validator()->bottom(), 10700);
        QCOMPARE(spin->validator()->top(), 12750);
        spin->setValue(11000);
        showWindow();
        focus(spin);
        auto *edit = spin->findChild<QLineEdit *>();
        QVERIFY(edit);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_5);
        QTest::keyClick(spin, Qt::Key_Return);
        QCOMPARE(spin->value(), 10700);

        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("+12000"));
        QCOMPARE(edit->text(), QStringLiteral("12000"));
        focus(other);
        QCOMPARE(spin->value(), 12000);

        focus(spin);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_9);
        focus(other);
        QCOMPARE(spin->value(), 10700);
    }

    void doubleSpinBoxKeepsValidatorInRange()
    {
        DoubleSpinBoxNoChars spin;
        spin.setMinimum(47);
        spin.setMaximum(860);
        QCOMPARE(spin.validator()->bottom(), 47.0);
        QCOMPARE(spin.validator()->top(), 860.0);
        QString text = QStringLiteral("1000");
        spin.fixup(text);
        QCOMPARE(text, QStringLiteral("860"));
    }

    void immediateCheckBoxCommitsAtOnce()
    {
        QStandardItemModel model(1, 2);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setData(model.index(0, 0), false);
        auto *box = win->add(new ImmediateCheckBox);
        QDataWidgetMapper mapper;
        mapper.setModel(&model);
        mapper.addMapping(box, 0);
        mapper.toFirst();
        showWindow();
        focus(other);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QVERIFY(box->isChecked());
        QCOMPARE(QApplication::focusWidget(), box); // focus given back
        QCOMPARE(model.data(model.index(0, 0)).toBool(), true);

        // A change by the program while the box has no focus does nothing extra.
        focus(other);
        box->setChecked(false);
        QCOMPARE(QApplication::focusWidget(), other);
        QCOMPARE(model.data(model.index(0, 0)).toBool(), true);
    }

    void csvTableShowsParts()
    {
        CsvTableWidget widget;
        widget.setCaption(QStringLiteral("Genres"));
        QCOMPARE(widget.findChild<QLabel *>(QStringLiteral("lblCaption"))->text(), QStringLiteral("Genres"));
        auto *table = widget.findChild<QTableWidget *>(QStringLiteral("tblContent"));
        QVERIFY(table);
        widget.setCsvContent(QStringLiteral("a;;b"));
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("a"));
        QVERIFY(!table->item(1, 0));
        QCOMPARE(table->item(2, 0)->text(), QStringLiteral("b"));
        const QString many = QStringLiteral("1;2;3;4;5;6;7");
        widget.setProperty("CsvContent", many);
        QCOMPARE(table->rowCount(), 5);
        QCOMPARE(table->item(4, 0)->text(), QStringLiteral("5"));
        QCOMPARE(widget.csvContent(), many);
        widget.setCsvContent(QString());
        for (int row = 0; row < table->rowCount(); ++row)
            QVERIFY(!table->item(row, 0));
    }
};

OMBRELAY_TEST_MAIN(TestSmallEditors)
#include "tst_smalleditors.moc"
