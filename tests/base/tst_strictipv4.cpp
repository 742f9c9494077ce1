#include "testmain.h"

#include "base/naturalcompare.h"
#include "base/strictipv4.h"

// The two text readers: the strict dotted IPv4 parser and the order of names with numbers.
class TestStrictIPv4 : public QObject
{
    Q_OBJECT

    static int sign(int v) { return (v > 0) - (v < 0); }

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("address"); // 0: refused
        QTest::newRow("plain") << "192.168.1.10" << 0xC0A8010Au;
        // Qt would read 010 as octal 8; the program means ten.
        QTest::newRow("zero padded") << "192.168.001.010" << 0xC0A8010Au;
        QTest::newRow("edges") << "255.0.255.1" << 0xFF00FF01u;
        for (const char *bad : {"192.168.1.256", "192.168.0001.1", "192.168.1", "1.2.3.4.5", "1..3.4", "1.2.3.4.",
                                " 1.2.3.4", "0x1.2.3.4", "+1.2.3.4", ""})
            QTest::newRow(bad) << bad << 0u;
        // Digits of other scripts are no decimal digits here.
        QTest::newRow("arabic-indic digit") << QStringLiteral("\u0661.2.3.4") << 0u;
        QTest::newRow("devanagari digit") << QStringLiteral("1.2.3.\u0967") << 0u;
        QTest::newRow("fullwidth digit") << QStringLiteral("192.168.1.\uFF11") << 0u;
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(quint32, address);
        quint32 value = 0xdeadbeef;
        QCOMPARE(StrictIPv4::parse(text, &value), address != 0);
        QCOMPARE(value, address ? address : 0xdeadbeef);
        QCOMPARE(StrictIPv4::toHostAddress(text), address ? QHostAddress(address) : QHostAddress());
        QCOMPARE(StrictIPv4::normalized(text), address ? QHostAddress(address).toString() : QString());
    }

    void naturalOrder()
    {
        const QString big = QStringLiteral("n12345678901234567890123456789");
        QStringList names{"x10", "Channel 10", "x2", big + "1", "channel 9", big + "0", "x1"};
        std::sort(names.begin(), names.end(),
                  [](const QString &a, const QString &b) { return naturalCompare(a, b) < 0; });
        QCOMPARE(names, (QStringList{"channel 9", "Channel 10", big + "0", big + "1", "x1", "x2", "x10"}));
        QCOMPARE(sign(naturalCompare("x007", "X7")), 0); // case and leading zeros do not count
        // Digits of other scripts are text, as everywhere in the program.
        QCOMPARE(sign(naturalCompare("x\u0663", "x2")), sign(QString::localeAwareCompare("x\u0663", "x2")));
    }
};

OMBRELAY_TEST_MAIN(TestStrictIPv4)
#include "tst_strictipv4.moc"
