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

    // A satellite reply gives satellites and front-ends only; the user's record keeps the rest.
    void takesSatellitesAndFrontendsOnly_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QStringList>("satellites");
        QTest::addColumn<QList<bool>>("frontends"); // analog, cable, satellite, terrestrial
        const QString full = QStringLiteral(
            "<deviceInfo name=\"Other\" shareName=\"SHARE\" givenName=\"Theirs\" ip=\"127.0.0.9\""
            " isUsbManaged=\"true\" protocolVer=\"2\"><satellites><satellite name=\"Thor\" position=\"-8\"/>"
            "</satellites><frontends><frontend type=\"terrestrial\"/></frontends>"
            "<lists><list type=\"tv\" maxcount=\"9\"/></lists></deviceInfo>");
        QTest::newRow("full reply") << full << true << QStringList{"Thor"} << QList<bool>{false, false, false, true};
        QTest::newRow("no satellites element")
            << "<deviceInfo name=\"x\"><frontends><frontend type=\"cable\"/></frontends></deviceInfo>" << true
            << QStringList{"Astra"} << QList<bool>{false, true, false, false};
        QTest::newRow("empty satellites, no frontends") << "<deviceInfo><satellites/></deviceInfo>" << true
                                                        << QStringList{} << QList<bool>{false, false, true, false};
        QTest::newRow("not a description")
            << "<satellites/>" << false << QStringList{"Astra"} << QList<bool>{false, false, true, false};
    }
    void takesSatellitesAndFrontendsOnly()
    {
        QFETCH(QString, reply);
        QFETCH(bool, taken);
        QFETCH(QStringList, satellites);
        QFETCH(QList<bool>, frontends);
        ZBDeviceInfo mine;
        QVERIFY(mine.fromXml(QStringLiteral(
            "<deviceInfo name=\"Box\" shareName=\"BOX\" ip=\"127.0.0.3\" protocolVer=\"1.4\">"
            "<satellites><satellite name=\"Astra\" position=\"192\"/></satellites>"
            "<frontends><frontend type=\"satellite\"/></frontends><lists><list type=\"tv\" maxcount=\"4\"/></lists>"
            "</deviceInfo>")));
        mine.setGivenName(QStringLiteral("Living room"));
        mine.setId(7);
        QCOMPARE(mine.takeSatellitesAndFrontends(reply), taken);
        QStringList names;
        for (const SatelliteInfo &satellite : mine.satellites())
            names << satellite.name;
        QCOMPARE(names, satellites);
        QCOMPARE((QList<bool>{mine.hasAnalogFrontend(), mine.hasCableFrontend(), mine.hasSatelliteFrontend(),
                              mine.hasTerrestrialFrontend()}),
                 frontends);
        QCOMPARE(mine.label(), QStringLiteral("Living room"));
        QCOMPARE(mine.labelWithAddress(), QStringLiteral("Living room (127.0.0.3)"));
        mine.setUsbManaged(true); // a receiver on a stick is reached at no address
        QCOMPARE(mine.labelWithAddress(), QStringLiteral("Living room"));
        mine.setUsbManaged(false);
        QCOMPARE(mine.name(), QStringLiteral("Box"));
        QCOMPARE(mine.shareName(), QStringLiteral("BOX"));
        QCOMPARE(mine.ip().toString(), QStringLiteral("127.0.0.3"));
        QVERIFY(!mine.isUsbManaged());
        QCOMPARE(mine.id(), 7u);
        QCOMPARE(mine.tvListMaxCount(), quint16(4));
        QCOMPARE(mine.protocolVersion(), 1.4f);
    }

    void rejectsOtherText_data()
    {
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("not xml") << "<deviceInfo name=\"x\"";
        QTest::newRow("other root") << "<devices><deviceInfo name=\"x\"/></devices>";
        QTest::newRow("root case") << "<DeviceInfo name=\"x\"/>";
        // clang-format on
    }
    void rejectsOtherText()
    {
        QFETCH(QString, text);
        ZBDeviceInfo info(QStringLiteral("kept"));
        QVERIFY(!info.fromXml(text));
        QCOMPARE(info.name(), QStringLiteral("kept"));
        QVERIFY(info.modules().isEmpty());
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
};

OMBRELAY_TEST_MAIN(TestZBDeviceInfo)
#include "tst_zbdeviceinfo.moc"
