#include "testmain.h"

#include "device/core/devicecall.h"

#include <QDomDocument>

class TestDeviceCall : public QObject
{
    Q_OBJECT
private slots:
    void emptyCallText()
    {
        const DeviceCall call(QStringLiteral("getDeviceInfo"));
        QCOMPARE(call.toString(), QStringLiteral("<call methodName=\"getDeviceInfo\">\n <parameters/>\n</call>\n"));
    }

    void parametersText()
    {
        DeviceCall call(QStringLiteral("sendOrdownloadTVLists"));
        QVERIFY(call.setParameter(QStringLiteral("mode"), QStringLiteral("send")));
        QVERIFY(call.setParameter(QStringLiteral("listType"), QStringLiteral("tv")));
        QVERIFY(call.setParameter(QStringLiteral("mode"), QStringLiteral("download")));
        QVERIFY(call.setParameter(QStringLiteral("@path"), QStringLiteral("C:\\Rec")));
        QDomDocument actual;
        QVERIFY(actual.setContent(call.toString()));
        QDomDocument expected;
        QVERIFY(expected.setContent(QStringLiteral("<call methodName=\"sendOrdownloadTVLists\">"
                                                   "<parameters path=\"C:\\Rec\"><mode>download</mode>"
                                                   "<listType>tv</listType></parameters></call>")));
        QCOMPARE(actual.toString(-1), expected.toString(-1));
        QCOMPARE(call.parameter(QStringLiteral("@path")), QStringLiteral("C:\\Rec"));
        QCOMPARE(call.parameter(QStringLiteral("path")), QString());
        QCOMPARE(call.parameter(QStringLiteral("missing")), QString());
        QCOMPARE(call.parameter(QStringLiteral("@missing")), QString());
    }

    void reservedCharactersSurvive()
    {
        DeviceCall call(QStringLiteral("MEMCopyPcToDevice"));
        const QString value = QStringLiteral("a<b & \"c\" 'd' >e");
        call.setParameter(QStringLiteral("sourceFile"), value);
        call.setParameter(QStringLiteral("@path"), value);
        const DeviceCall back = DeviceCall::fromText(call.toString());
        QCOMPARE(back.parameter(QStringLiteral("sourceFile")), value);
        QCOMPARE(back.parameter(QStringLiteral("@path")), value);
    }

    void copiesShareTheTree()
    {
        DeviceCall first(QStringLiteral("getFolder"));
        const DeviceCall second = first;
        first.setParameter(QStringLiteral("@path"), QStringLiteral("/media"));
        QCOMPARE(second.parameter(QStringLiteral("@path")), QStringLiteral("/media"));
    }

    void otherRootIsAccepted()
    {
        const DeviceCall call =
            DeviceCall::fromText(QStringLiteral("<job methodName=\"x\"><inner><parameters><a>1</a></parameters>"
                                                "</inner></job>"));
        QCOMPARE(call.methodName(), QStringLiteral("x"));
        QCOMPARE(call.parameter(QStringLiteral("a")), QStringLiteral("1"));
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
        bool thrown = false;
        try {
            DeviceCall::fromText(text);
        } catch (const QString &) {
            thrown = true;
        }
        QVERIFY(thrown);
    }
};

OMBRELAY_TEST_MAIN(TestDeviceCall)
#include "tst_devicecall.moc"
