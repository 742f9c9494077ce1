// The list-entry records read from real list entries: every conversion and default in one table.

#include "testmain.h"

#include "document/docitem.h"
#include "exchange/dvblistitemdata.h"
#include "exchange/linklistitemdata.h"

#include <QDomDocument>
#include <QTest>

class TestPrintRecords : public QObject
{
    Q_OBJECT
private slots:
    void records_data();
    void records();
};

void TestPrintRecords::records_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("expected");
    // services: name|epg|cl|genres|provider|type|freq|sid|sr|position|satellite text|horizontal
    const QString sat = QStringLiteral("<details><config type=\"satellite\">%1</config></details>");
    QTest::newRow("epg true") << "<tvService epgMarked=\"true\"><name>A</name>" + sat.arg("") + "</tvService>"
                              << "A|0|0||"
                                 "|4|-1|-1|-1|0| 0°E|0";
    QTest::newRow("epg 1, lock, genres")
        << "<tvService epgMarked=\"1\"><name>B</name><provider>P</provider><childrenLock>3;;x;5</childrenLock>"
           "<genres>A; B</genres>" +
               sat.arg("<satellite position=\"192\"/><transponderFreq>11494</transponderFreq>"
                       "<freq>9</freq><p>H</p><sid>7</sid><symRate>27500</symRate>") +
               "</tvService>"
        << "B|1|1|A;  B|P|4|11494|7|27500|192| 19.2°E|1";
    QTest::newRow("SATELLITE west, named, bad sid")
        << "<tvService>" +
               QString(sat)
                   .replace("satellite\"", "SATELLITE\"")
                   .arg("<satellite position=\"-50\">Türksat</satellite><sid>12a</sid><p>v</p>") +
               "</tvService>"
        << "|0|0||"
           "|4|-1|-1|-1|-50|Türksat 5°W|0";
    QTest::newRow("position abc, name X")
        << "<tvService>" + sat.arg("<satellite position=\"abc\">X</satellite>") + "</tvService>"
        << "|0|0||"
           "|4|-1|-1|-1|0|X 0°E|0";
    QTest::newRow("cable, empty provider")
        << "<tvService epgMarked=\"1\"><provider/><childrenLock>x</childrenLock><details><config type=\"cable\">"
           "<freq>346</freq><transponderFreq>1</transponderFreq><symRate>6900</symRate></config></details></tvService>"
        << "|1|0||"
           "|2|346|-1|6900|0| 0°E|0";
    QTest::newRow("terrestrial") << "<tvService><details><config type=\"terrestrial\"><freq>474.5</freq></config>"
                                    "</details></tvService>"
                                 << "|0|0|||5|474.5|-1|-1|0| 0°E|0";
    QTest::newRow("analog") << "<tvService epgMarked=\"1\"><provider>Foo</provider><details><config type=\"analog\">"
                               "<freq>175.25</freq></config></details></tvService>"
                            << "|0|0||--no provider--|1|175.25|-1|-1|0| 0°E|0";
    QTest::newRow("external") << "<tvService epgMarked=\"1\"><details><config type=\"external\"/></details></tvService>"
                              << "|0|0||--no provider--|3|-1|-1|-1|0| 0°E|0";
    QTest::newRow("dvb-t") << "<tvService><details><config type=\"dvb-t\"><freq>5</freq></config></details></tvService>"
                           << "|0|0||--no provider--|0|-1|-1|-1|0| 0°E|0";
    QTest::newRow("no config") << "<tvService><details/></tvService>"
                               << "|0|0||--no provider--|0|-1|-1|-1|0| 0°E|0";
    QTest::newRow("null") << QString() << "|0|0||--no provider--|0|-1|-1|-1|0| 0°E|0";
    // links: name|url|hidden|genres|cl
    QTest::newRow("link TRUE") << "<link hideURL=\"TRUE\"><name>N</name><title>T</title><url>u</url>"
                                  "<genres>News;Sport</genres><childrenLock>2</childrenLock></link>"
                               << "T|u|1|News; Sport|1";
    QTest::newRow("link yes") << "<link hideURL=\"yes\"><name>N</name><url>u</url></link>"
                              << "|u|0||0";
}

void TestPrintRecords::records()
{
    QFETCH(QString, xml);
    QFETCH(QString, expected);
    QDomDocument document;
    QVERIFY(xml.isEmpty() || document.setContent(xml));
    const DocItem item(document.documentElement());
    QStringList got;
    if (item.tagName() == QLatin1String("link")) {
        const LinkListItemData link(item);
        got << link.name() << link.url() << QString::number(link.isUrlHidden()) << link.genresText()
            << QString::number(link.hasChildrenLock());
    } else {
        const DVBListItemData data(item);
        got << data.name() << QString::number(data.isEpgMarked()) << QString::number(data.hasChildrenLock())
            << data.genresText() << data.provider() << QString::number(data.deliveryType())
            << QString::number(double(data.frequency()), 'g', 6) << QString::number(data.serviceId())
            << QString::number(data.symbolRate()) << QString::number(data.satellitePosition()) << data.satelliteText()
            << QString::number(data.isHorizontal());
    }
    QCOMPARE(got.join(u'|'), expected);
}

OMBRELAY_TEST_MAIN(TestPrintRecords)
#include "tst_printrecords.moc"
