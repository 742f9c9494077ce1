#include "testmain.h"

#include "base/naturalcompare.h"

class TestNaturalCompare : public QObject
{
    Q_OBJECT

    static int sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

private slots:
    void compare_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        const auto row = [](const char *name, const QString &a, const QString &b, int expected) {
            QTest::newRow(name) << a << b << expected;
        };
        row("x2 x10", "x2", "x10", -1);
        row("x10 x2", "x10", "x2", 1);
        row("channel 9 10", "Channel 9", "Channel 10", -1);
        row("case", "channel 10", "CHANNEL 10", 0);
        row("suffix ignored", "Channel 10 HD", "Channel 10", 0);
        row("leading number", "9 News", "10 News", -1);
        row("leading zeros", "x007", "x7", 0);
        row("longer than 64 bits", "n123456789012345678901234567890", "n123456789012345678901234567891", -1);
        row("huge against small", "n99999999999999999999999", "n5", 1);
        row("different prefix", "b1", "a2", sign(QString::localeAwareCompare("b1", "a2")));
        row("runs at other places", "ABC 5", "ABCD 5", sign(QString::localeAwareCompare("ABC 5", "ABCD 5")));
        row("no digits", "Beta", "alpha", sign(QString::localeAwareCompare("Beta", "alpha")));
        row("one without digits", "x", "x1", sign(QString::localeAwareCompare("x", "x1")));
        row("other digits are not numbers", QString::fromUtf8("x\u0663"), "x2",
            sign(QString::localeAwareCompare(QString::fromUtf8("x\u0663"), "x2")));
        row("empty", "", "", 0);
    }

    void compare()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        QCOMPARE(sign(naturalCompare(a, b)), expected);
    }
};

OMBRELAY_TEST_MAIN(TestNaturalCompare)
#include "tst_naturalcompare.moc"
