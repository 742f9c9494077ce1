#include "testmain.h"

#include "device/core/zbdeviceinfo.h"

#include <QDomDocument>
#include <QFile>
#include <QTextStream>

namespace {

// Canonical text of an element: attributes sorted by name, children in order; order-free comparison.
QString canonical(const QDomElement &element)
{
    QStringList attributes;
    const QDomNamedNodeMap map = element.attributes();
    for (int i = 0; i < map.count(); ++i)
        attributes << map.item(i).nodeName() + QLatin1Char('=') + map.item(i).nodeValue();
    attributes.sort();
    QString text =
        QLatin1Char('<') + element.tagName() + QLatin1Char(' ') + attributes.join(QLatin1Char(' ')) + QLatin1Char('>');
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isElement())
            text += canonical(child.toElement());
        else if (child.isText())
            text += child.nodeValue();
    }
    return text + QLatin1String("</>");
}

QString canonicalText(const QString &xml)
{
    QDomDocument doc;
    if (!doc.setContent(xml))
        return QStringLiteral("unparsable");
    return canonical(doc.documentElement());
}

} // namespace

class TestZBDeviceInfo : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QFile::remove(ZBDeviceInfo::predefinedSatellitesPath()); }

    void defaultRecordXml()
    {
        const ZBDeviceInfo info;
        const QString expected = QStringLiteral(
            "<deviceInfo name=\"\" givenName=\"\" shareName=\"\" softwareVer=\"\" hardwareVer=\"\" protocolVer=\"0\""
            " type=\"Unknown\" mac=\"\" ip=\"\" complete=\"false\" enableTvModule=\"false\" enableRadioModule=\"false\""
            " enableLinksModule=\"false\" enableMediaExplorerModule=\"true\" isUsbManaged=\"false\">"
            "<lists><list type=\"tv\" maxcount=\"0\"/><list type=\"radio\" maxcount=\"0\"/>"
            "<list type=\"net\" maxcount=\"0\"/></lists><frontends/></deviceInfo>");
        QCOMPARE(canonicalText(info.toXmlText()), canonicalText(expected));
    }

    void fullRecordXml()
    {
        const QString received = QStringLiteral(
            "<deviceInfo NAME=\"Box\" shareName=\"BOX1\" softwareVer=\"2.1\" hardwareVer=\"H7\" protocolVer=\"1.4\""
            " type=\"stb\" IP=\"192.168.001.010\" complete=\"TRUE\" enableTvModule=\"yes\" isUsbManaged=\"1\">"
            "<Externals><external index=\"2\">HDMI</external><external index=\"0\">zero</external>"
            "<external index=\"3\"></external><external index=\"5\">HDMI</external></Externals>"
            "<satellites><satellite name=\"Old\" position=\"10\"/></satellites>"
            "<SATELLITES><satellite name=\"Astra\" position=\"192\"/><satellite name=\"Zero\" position=\"0\"/>"
            "<satellite name=\"Bad\" position=\"x\"/><satellite name=\"Thor\" position=\"-8\"/></SATELLITES>"
            "<lists><list type=\"TV\" maxcount=\"100\"/><list type=\"tv\" maxcount=\"4\"/>"
            "<list type=\"radio\" maxcount=\"junk\"/><list type=\"net\" maxcount=\"2\"/></lists>"
            "<frontends><frontend type=\"SATELLITE\"/><frontend type=\"cable\"/></frontends></deviceInfo>");
        ZBDeviceInfo info;
        QVERIFY(info.fromXml(received));
        QCOMPARE(info.modules(), QList<int>({5, 1, 3, 4}));

        const QString expected = QStringLiteral(
            "<deviceInfo name=\"Box\" givenName=\"BOX1\" shareName=\"BOX1\" softwareVer=\"2.1\" hardwareVer=\"H7\""
            " protocolVer=\"1.4\" type=\"STB\" mac=\"\" ip=\"192.168.1.10\" complete=\"true\" enableTvModule=\"true\""
            " enableRadioModule=\"false\" enableLinksModule=\"true\" enableMediaExplorerModule=\"true\""
            " isUsbManaged=\"false\"><externals><external index=\"5\">HDMI</external></externals>"
            "<satellites><satellite name=\"Astra\" position=\"192\"/><satellite name=\"Thor\" position=\"-8\"/>"
            "</satellites><lists><list type=\"tv\" maxcount=\"4\"/><list type=\"radio\" maxcount=\"0\"/>"
            "<list type=\"net\" maxcount=\"2\"/></lists><frontends><frontend type=\"cable\"/>"
            "<frontend type=\"satellite\"/></frontends></deviceInfo>");
        QCOMPARE(canonicalText(info.toXmlText()), canonicalText(expected));

        ZBDeviceInfo back;
        QVERIFY(back.fromXml(info.toXmlText()));
        QCOMPARE(canonicalText(back.toXmlText()), canonicalText(expected));
    }

    void rejectsOtherText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("not xml") << "<deviceInfo name=\"x\"";
        QTest::newRow("other root") << "<devices><deviceInfo name=\"x\"/></devices>";
        QTest::newRow("root case") << "<DeviceInfo name=\"x\"/>";
        QTest::newRow("empty") << "";
    }
    void rejectsOtherText()
    {
        QFETCH(QString, text);
        ZBDeviceInfo info(QStringLiteral("kept"));
        QVERIFY(!info.fromXml(text));
        QCOMPARE(info.name(), QStringLiteral("kept"));
        QVERIFY(info.modules().isEmpty());
    }

    void ipIsStrict_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        QTest::newRow("plain") << "10.0.0.7"
                               << "10.0.0.7";
        QTest::newRow("padded is decimal") << "010.000.000.010"
                                           << "10.0.0.10";
        QTest::newRow("garbage") << "receiver"
                                 << "0.0.0.0";
        QTest::newRow("ipv6") << "::1"
                              << "0.0.0.0";
    }
    void ipIsStrict()
    {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        ZBDeviceInfo info;
        info.setIp(text);
        QCOMPARE(info.ip().toString(), stored);
        info.setIp(QHostAddress(QStringLiteral("::ffff:1.2.3.4")));
        QCOMPARE(info.ip().toString(), QStringLiteral("0.0.0.0"));
    }

    void satellitesDocument()
    {
        ZBDeviceInfo info;
        QVERIFY(info.fromXml(QStringLiteral("<deviceInfo><satellites><satellite name=\"Astra\" position=\"192\"/>"
                                            "<satellite name=\"Hispasat\" position=\"-300\"/></satellites>"
                                            "</deviceInfo>")));
        QDomDocument doc;
        QVERIFY(doc.setContent(info.satellitesDocument()));
        QCOMPARE(doc.doctype().name(), QStringLiteral("satellites"));
        const QDomElement first = doc.documentElement().firstChildElement();
        QCOMPARE(first.attribute(QStringLiteral("name")), QStringLiteral("Astra 19.2E"));
        QCOMPARE(first.attribute(QStringLiteral("position")), QStringLiteral("192"));
        QCOMPARE(first.nextSiblingElement().attribute(QStringLiteral("name")), QStringLiteral("Hispasat 30.0W"));
    }

    void predefinedSatellitesForUsbCopies()
    {
        QFile file(ZBDeviceInfo::predefinedSatellitesPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<satellites><satellite name=\"A\" position=\"192\"/><Satellite name=\"B\" position=\"0\"/>"
                   "<satellite name=\"C\" position=\"w\"/><satellite position=\"5\"/></satellites>");
        file.close();

        const ZBDeviceInfo usb(QStringLiteral("usb"), QString(), true);
        QCOMPARE(usb.satelliteCount(), 0);
        const ZBDeviceInfo copy(usb);
        const QList<SatelliteInfo> expected = {
            {QStringLiteral("A"), 192, true}, {QStringLiteral("B"), 0, true}, {QStringLiteral("C"), 0, false}};
        QCOMPARE(copy.satellites(), expected);
        QVERIFY(QFile::remove(ZBDeviceInfo::predefinedSatellitesPath()));
        const ZBDeviceInfo copyOfCopy(copy);
        QCOMPARE(copyOfCopy.satellites(), expected);

        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<satellites><satellite name=\"A\" position=\"1\"/></satellites>");
        file.close();
        const ZBDeviceInfo network(QStringLiteral("net"));
        QCOMPARE(ZBDeviceInfo(network).satelliteCount(), 0);
    }

    void prepareForConnectionKeepsIdentity()
    {
        ZBDeviceInfo info(QStringLiteral("n"), QStringLiteral("pw"), true);
        info.setId(7);
        info.setIp(QStringLiteral("10.1.2.3"));
        info.setShareName(QStringLiteral("s"));
        info.setTvListMaxCount(9);
        info.ensureDefaults();
        info.prepareForConnection();
        QCOMPARE(info.id(), quint32(7));
        QCOMPARE(info.ip().toString(), QStringLiteral("10.1.2.3"));
        QCOMPARE(info.shareName(), QStringLiteral("s"));
        QVERIFY(info.name().isEmpty() && !info.hasPassword() && !info.isUsbManaged() && info.modules().isEmpty());
        QCOMPARE(info.tvListMaxCount(), quint16(0));
    }
};

OMBRELAY_TEST_MAIN(TestZBDeviceInfo)
#include "tst_zbdeviceinfo.moc"
