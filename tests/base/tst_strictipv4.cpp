#include "testmain.h"

#include "base/strictipv4.h"

class TestStrictIPv4 : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("canonical");
        QTest::newRow("plain") << "192.168.1.10" << true << "192.168.1.10";
        // Qt would read 010 as octal 8; the program means ten.
        QTest::newRow("zero padded") << "192.168.001.010" << true << "192.168.1.10";
        QTest::newRow("all zeros") << "000.000.000.000" << true << "0.0.0.0";
        QTest::newRow("edges") << "255.0.255.1" << true << "255.0.255.1";
        QTest::newRow("octet too big") << "192.168.1.256" << false << "";
        QTest::newRow("four digits") << "192.168.0001.1" << false << "";
        QTest::newRow("three groups") << "192.168.1" << false << "";
        QTest::newRow("five groups") << "1.2.3.4.5" << false << "";
        QTest::newRow("empty group") << "1..3.4" << false << "";
        QTest::newRow("trailing dot") << "1.2.3.4." << false << "";
        QTest::newRow("spaces") << " 1.2.3.4" << false << "";
        QTest::newRow("hex") << "0x1.2.3.4" << false << "";
        QTest::newRow("sign") << "+1.2.3.4" << false << "";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0661.2.3.4") << false << "";
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QString, canonical);
        quint32 value = 0xdeadbeef;
        QCOMPARE(StrictIPv4::parse(text, &value), valid);
        QCOMPARE(StrictIPv4::normalized(text), canonical);
        QCOMPARE(StrictIPv4::toHostAddress(text).isNull(), !valid);
        if (valid)
            QCOMPARE(QHostAddress(value).toString(), canonical);
        else
            QCOMPARE(value, quint32(0xdeadbeef));
    }
};

OMBRELAY_TEST_MAIN(TestStrictIPv4)
#include "tst_strictipv4.moc"
