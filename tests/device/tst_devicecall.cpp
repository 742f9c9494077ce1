#include "testmain.h"

#include "device/core/devicecall.h"

#include <QDomDocument>

class TestDeviceCall : public QObject
{
    Q_OBJECT
private slots:
    void callText()
    {
        DeviceCall call(QStringLiteral("sendOrdownloadTVLists"));
        QCOMPARE(call.toString(),
                 QStringLiteral("<call methodName=\"sendOrdownloadTVLists\">\n <parameters/>\n</call>\n"));
        const DeviceCall copy = call; // copies share the tree
        QVERIFY(call.setParameter(QStringLiteral("mode"), QStringLiteral("send")));
        QVERIFY(call.setParameter(QStringLiteral("listType"), QStringLiteral("tv")));
        QVERIFY(call.setParameter(QStringLiteral("mode"), QStringLiteral("download")));
        QVERIFY(call.setParameter(QStringLiteral("@path"), QStringLiteral("C:\\Rec")));
        QDomDocument actual, expected;
        QVERIFY(actual.setContent(copy.toString()));
        QVERIFY(expected.setContent(
            QStringLiteral("<call methodName=\"sendOrdownloadTVLists\"><parameters path=\"C:\\Rec\">"
                           "<mode>download</mode><listType>tv</listType></parameters></call>")));
        QCOMPARE(actual.toString(-1), expected.toString(-1));
        QCOMPARE(call.parameter(QStringLiteral("@path")), QStringLiteral("C:\\Rec"));
        QCOMPARE(call.parameter(QStringLiteral("path")), QString());
        QCOMPARE(call.parameter(QStringLiteral("@missing")), QString());
    }

    // Any value survives the text form; the parameters are found under any root.
    void readBack()
    {
        DeviceCall call(QStringLiteral("MEMCopyPcToDevice"));
        const QString value = QStringLiteral("a<b & \"c\" 'd' >e");
        call.setParameter(QStringLiteral("sourceFile"), value);
        call.setParameter(QStringLiteral("@path"), value);
        const DeviceCall back = DeviceCall::fromText(call.toString());
        QCOMPARE(back.parameter(QStringLiteral("sourceFile")), value);
        QCOMPARE(back.parameter(QStringLiteral("@path")), value);
        const DeviceCall other = DeviceCall::fromText(
            QStringLiteral("<job methodName=\"x\"><inner><parameters><a>1</a></parameters></inner></job>"));
        QCOMPARE(other.methodName(), QStringLiteral("x"));
        QCOMPARE(other.parameter(QStringLiteral("a")), QStringLiteral("1"));
    }

    void badTextThrows_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("not xml") << "<call methodName=\"x\">";
        QTest::newRow("no parameters") << "<call methodName=\"x\"/>";
        QTest::newRow("empty") << "";
    }
    void badTextThrows()
    {
        QFETCH(QString, text);
        QVERIFY_THROWS_EXCEPTION(QString, DeviceCall::fromText(text));
    }
};

OMBRELAY_TEST_MAIN(TestDeviceCall)
#include "tst_devicecall.moc"
