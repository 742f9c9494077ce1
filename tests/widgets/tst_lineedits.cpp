#include "testmain.h"
#include "testwindow.h"

#include "widgets/iplineedit.h"
#include "widgets/shinttextedit.h"
#include "widgets/slineedit.h"
#include "widgets/ssearchlineedit.h"

#include <QSignalSpy>

#include <memory>

class TestLineEdits : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWindow> win;
    QLineEdit *other = nullptr;

    template<class T> T *addField() { return win->add(new T); }
    void showWindow() { win->show(); }
    static void focus(QWidget *widget) { TestWindow::focus(widget); }

private slots:
    void init()
    {
        win = std::make_unique<TestWindow>();
        other = win->other;
    }
    void cleanup() { win.reset(); }

    void sLineEditUserPropertyAndSignals()
    {
        auto *field = addField<SLineEdit>();
        QSignalSpy changed(field, &SLineEdit::textChanged2);
        QSignalSpy enabled(field, &SLineEdit::enabledChanged);
        field->setText(QStringLiteral("a long text that scrolls"));
        QCOMPARE(field->cursorPosition(), 0);
        QCOMPARE(changed.count(), 1);
        QVERIFY(field->metaObject()->userProperty().write(field, QStringLiteral("bound")));
        QCOMPARE(field->text(), QStringLiteral("bound"));
        QCOMPARE(changed.count(), 2);
        showWindow();
        focus(field);
        QTest::keyClick(field, Qt::Key_X);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.last().first().toString(), QStringLiteral("xbound"));
        field->setEnabled(false);
        field->setEnabled(true);
        QCOMPARE(enabled.count(), 2);
        QCOMPARE(enabled.at(0).first().toBool(), false);
        QCOMPARE(enabled.at(1).first().toBool(), true);
    }

    void searchHintNeverLeaksIntoValue()
    {
        auto *field = addField<SSearchLineEdit>();
        QSignalSpy changed(field, &SLineEdit::textChanged2);
        QSignalSpy edited(field, &QLineEdit::textEdited);
        QVERIFY(field->isHintShown());
        QVERIFY(field->setProperty("emptyText", QStringLiteral("Search...")));
        QCOMPARE(field->text(), QStringLiteral("Search..."));
        QCOMPARE(changed.count(), 1); // only the first hint is put with signals on
        showWindow();
        focus(field);
        QCOMPARE(field->text(), QString());
        QVERIFY(!field->isHintShown());
        QCOMPARE(changed.count(), 1);
        QTest::keyClicks(field, QStringLiteral("BBC"));
        QCOMPARE(edited.count(), 3);
        QCOMPARE(changed.last().first().toString(), QStringLiteral("BBC"));
        QVERIFY(field->styleSheet().contains(QStringLiteral("rgb(255, 210, 60)")));
        focus(other); // user text stays
        QCOMPARE(field->text(), QStringLiteral("BBC"));
        QVERIFY(!field->isHintShown());

        // Blank text turns into the hint on focus out, without any text signal.
        focus(field);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, QStringLiteral("   "));
        const int before = changed.count();
        focus(other);
        QCOMPARE(field->text(), QStringLiteral("Search..."));
        QVERIFY(field->isHintShown());
        QCOMPARE(changed.count(), before);

        // A later hint is stored, not shown, until the hint is put back.
        field->setEmptyText(QStringLiteral("Suchen..."));
        QCOMPARE(field->text(), QStringLiteral("Search..."));
        field->clearSearchText();
        QCOMPARE(field->text(), QStringLiteral("Suchen..."));
        QCOMPARE(changed.count(), before);

        // A text the program sets while the hint shows counts as hint.
        field->SLineEdit::setText(QStringLiteral("programmatic"));
        focus(field);
        QCOMPARE(field->text(), QString());
    }

    void hintEditReportsHintState()
    {
        auto *field = addField<SHintTextEdit>();
        QSignalSpy empty(field, &SHintTextEdit::EmptyText);
        field->setEmptyText(QStringLiteral("New choice..."));
        field->clearSearchText();
        QCOMPARE(empty.count(), 1);
        QCOMPARE(empty.last().first().toBool(), true);
        showWindow();
        focus(field);
        QCOMPARE(field->text(), QString());
        QCOMPARE(empty.last().first().toBool(), false);
        QTest::keyClicks(field, QStringLiteral("News"));
        focus(other);
        QCOMPARE(empty.last().first().toBool(), false); // user text stays
        const int count = empty.count();
        focus(field); // false again, even with user text
        QCOMPARE(empty.count(), count + 1);
        QCOMPARE(empty.last().first().toBool(), false);
        QCOMPARE(field->text(), QStringLiteral("News"));
        field->clear();
        focus(other);
        QCOMPARE(empty.last().first().toBool(), true);
        QCOMPARE(field->text(), QStringLiteral("New choice..."));
        // Focus out with the hint already shown says nothing.
        focus(field);
        field->clearSearchText();
        const int settled = empty.count();
        focus(other);
        QCOMPARE(empty.count(), settled);
        QCOMPARE(field->text(), QStringLiteral("New choice..."));
    }

    void ipFieldPadsAndYieldsDecimal()
    {
        auto *field = addField<IPLineEdit>();
        showWindow();
        focus(field);
        field->setCursorPosition(0);
        QTest::keyClicks(field, QStringLiteral("1921681"));
        QCOMPARE(field->text(), QStringLiteral("192.168.1."));
        QCOMPARE(field->cursorPosition(), 9);
        QTest::keyClick(field, Qt::Key_Right);
        QCOMPARE(field->text(), QStringLiteral("192.168.001."));
        QCOMPARE(field->cursorPosition(), 12);
        QVERIFY(field->address().isNull()); // incomplete
        QTest::keyClicks(field, QStringLiteral("10"));
        QCOMPARE(field->text(), QStringLiteral("192.168.001.10"));
        QCOMPARE(field->address(), QHostAddress(QStringLiteral("192.168.1.10")));
    }

    void ipPaddedOctetsAreDecimal()
    {
        // QHostAddress would read "010" as octal eight.
        auto *field = addField<IPLineEdit>();
        field->setText(QStringLiteral("010.008.001.099"));
        QCOMPARE(field->address(), QHostAddress(QStringLiteral("10.8.1.99")));
        field->setText(QStringLiteral("300.1.1.1"));
        QVERIFY(field->address().isNull());
    }

    void ipKeys_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("right in empty field") << QString() << 0 << int(Qt::Key_Right) << "001...";
        QTest::newRow("keypad enter pads by length") << "1.1.1.1" << 0 << int(Qt::Key_Enter) << "001.001.1.1";
        QTest::newRow("keypad enter on complete") << "192.168.001.010" << 0 << int(Qt::Key_Enter) << "192.168.001.010";
        QTest::newRow("return pads nothing") << "1.1.1.1" << 0 << int(Qt::Key_Return) << "1.1.1.1";
    }
    void ipKeys()
    {
        QFETCH(QString, start);
        QFETCH(int, cursor);
        QFETCH(int, key);
        QFETCH(QString, expected);
        auto *field = addField<IPLineEdit>();
        field->setText(start);
        field->setCursorPosition(cursor);
        QTest::keyClick(field, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(field->text(), expected);
    }
};

OMBRELAY_TEST_MAIN(TestLineEdits)
#include "tst_lineedits.moc"
