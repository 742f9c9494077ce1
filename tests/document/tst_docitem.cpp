#include "testmain.h"

#include "document/docitem.h"
#include "document/exception.h"
#include "document/listdocument.h"
#include "document/xmldocument.h"

#include <QRegularExpression>

class TestDocItem : public QObject
{
    Q_OBJECT

    QDomDocument document;
    DocItem service;

    static QString childNames(const QDomElement &parent)
    {
        QString names;
        for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            names += e.tagName() + e.attribute("n") + " ";
        return names.trimmed();
    }

private slots:
    void init()
    {
        document = QDomDocument();
        QVERIFY(document.setContent(QStringLiteral("<items><tvService id='4'><name/><details><config type='analog' "
                                                   "freq='5'/></details><tag>A &amp; B</tag></tvService></items>")));
        service = document.documentElement().firstChildElement();
    }

    void emptyDocumentText()
    {
        QCOMPARE(ListDocument::emptyDocumentXml(2),
                 QStringLiteral("<?xml version='1.0' encoding='utf-8'?><TDocument> <documentProperties> "
                                "</documentProperties> <items/> <lists><list id='0'></list><list id='1'></list> "
                                "</lists></TDocument>"));
        QCOMPARE(ListDocument::emptyDocumentXml(-3),
                 QStringLiteral("<?xml version='1.0' encoding='utf-8'?><TDocument> <documentProperties> "
                                "</documentProperties> <items/> <lists> </lists></TDocument>"));
        // nesting well below the refusal limit loads
        ListDocument deep("<TDocument><items>" + QString("<a>").repeated(100) + QString("</a>").repeated(100) +
                          "</items><lists/></TDocument>");
        QCOMPARE(deep.items.elementsByTagName("a").count(), 100);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString errors = "Document has errors";
        const QString notValid = "This is not valid document format";
        QTest::newRow("empty") << QString() << errors;
        QTest::newRow("truncated") << ListDocument::emptyDocumentXml(4).left(90) << errors;
        QTest::newRow("junk") << QString::fromLatin1(QByteArray("\x01\x02\xff<\x00\x7fTD", 9)) << errors;
        QTest::newRow("root case") << "<tdocument><items/><lists/></tdocument>" << notValid;
        QTest::newRow("no lists") << "<TDocument><items/></TDocument>" << notValid;
        QTest::newRow("no items") << "<TDocument><lists/></TDocument>" << notValid;
        QTest::newRow("deep nesting") << "<TDocument><items/>" + QString("<a>").repeated(200000) +
                                             QString("</a>").repeated(200000)
                                      << errors;
        QTest::newRow("deep nesting, tricky attributes")
            << "<TDocument><items/>" + QString("<a x='/>' y=\">\">").repeated(5000) << errors;
        QTest::newRow("entity expansion")
            << "<!DOCTYPE TDocument [<!ENTITY a '<b><b><b>'>]><TDocument><items/><lists/></TDocument>" << errors;
        QTest::newRow("huge attribute, no lists")
            << "<TDocument><items><tvService id='" + QString(8 * 1024 * 1024, 'x') + "'/></items></TDocument>"
            << notValid;
    }
    void refusals()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        try {
            ListDocument document(text);
            QFAIL("accepted");
        } catch (const Exception &e) {
            QCOMPARE(e.text, message);
            QCOMPARE(e.title, QString(message == "Document has errors" ? "Error" : "Invalid file format"));
            if (e.title == "Error")
                QVERIFY2(QRegularExpression("^.+\nLine: \\d+\nColumn: \\d+\n$").match(e.details).hasMatch(),
                         qPrintable(e.details));
        }
    }

    void xmlDocumentRefusesBadText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("truncated") << QString("<call><parameters>");
        QTest::newRow("two roots") << QString("<a/><b/>");
        QTest::newRow("deep") << QString("<a>").repeated(100000);
    }
    void xmlDocumentRefusesBadText()
    {
        QFETCH(QString, text);
        try {
            XmlDocument document(text);
            QFAIL("accepted");
        } catch (const Exception &e) {
            QCOMPARE(e.text, QString("Document has errors"));
        }
    }

    void normalisation()
    {
        ListDocument document(
            "<TDocument><items><tvService id='1'><details><config type='analog'/></details><provider/></tvService>"
            "<tvService id='2'><details><config type='analog'/></details></tvService>"
            "<tvService id='3'><details><config type='satellite'><satellite pos='19.2'>Astra</satellite></config>"
            "</details><provider>Sky</provider></tvService>"
            "<link id='5'><details><config type='analog'><satellite>x</satellite></config></details>"
            "<provider/></link></items><lists/></TDocument>");
        const QDomNodeList items = document.items.childNodes();
        // an empty provider of an analog service is named; a satellite's name stays in its element only
        QCOMPARE(DocItem(items.item(0).toElement()).value("provider"), QString("--no provider--"));
        QCOMPARE(items.item(1).toElement().elementsByTagName("provider").count(), 0);
        const DocItem satellite(items.item(2).toElement());
        QCOMPARE(satellite.value("provider") + satellite.value("details/config/satellite/@pos"), QString("Sky19.2"));
        QVERIFY(!DocItem::firstDescendant(satellite, "satellite").hasChildNodes());
        QVERIFY(!DocItem::firstDescendant(items.item(3).toElement(), "provider").hasChildNodes());
    }

    void pathReads_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("value");
        QTest::newRow("full") << "details/config/@type"
                              << "analog";
        QTest::newRow("short") << "config/@type"
                               << "analog";
        QTest::newRow("missing first") << "nothing/config/@type"
                                       << "analog";
        QTest::newRow("text") << "tag"
                              << "A & B";
        QTest::newRow("text, trailing slash") << "tag/"
                                              << "A & B";
        QTest::newRow("element first") << "details"
                                       << "";
        QTest::newRow("no attribute") << "@type" << QString();
        QTest::newRow("inner xml of empty") << "<name"
                                            << "\n";
        QTest::newRow("inner xml of none") << "<missing"
                                           << "";
    }
    void pathReads()
    {
        QFETCH(QString, path);
        QFETCH(QString, value);
        QCOMPARE(service.value(path), value);
        if (value.isNull())
            QVERIFY(service.value(path).isNull());
        QCOMPARE(DocItem().value(path), QString()); // a null item reads nothing
    }

    // Writes in the three modes: 0 writes what exists, 1 also creates the last step, 2 the whole path.
    void pathWrites_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("readBack");
        const auto row = [](const char *tag, const QString &path, const QString &value, int mode, const char *back) {
            QTest::newRow(tag) << path << value << mode << QString(back);
        };
        row("attribute, absent, 0", "@type", "x", 0, nullptr);
        row("attribute, absent, 1", "@type", "x", 1, "@type");
        row("attribute, present, 0", "@id", "17", 0, "@id");
        row("slash path, absent, 0", "nothing/config/@type", "cable", 0, nullptr);
        row("slash path, absent, 1", "nothing/config/@type", "cable", 1, nullptr);
        row("slash path, absent, 2", "nothing/config/@type", "cable", 2, "nothing/config/@type");
        row("slash path, present, 0", "details/config/@freq", "7", 0, "config/@freq");
        row("trailing slash", "tag/", "C", 0, "tag");
        row("empty element", "name", "x", 0, "name");
        row("element, absent, 0", "title", "t", 0, nullptr);
        row("element, absent, 1", "title", "t", 1, "title");
        row("inner xml, absent, 0", "<extra", "<a b='1'/>", 0, nullptr);
        row("inner xml, absent, 1", "<extra", "<a b='1'/>", 1, "extra/a/@b");
        // inner XML is parsed before anything is written
        row("inner xml refused: not xml", "<details", "no xml", 2, nullptr);
        row("inner xml refused: truncated", "<details", "<config type='x'>", 2, nullptr);
        row("inner xml refused: empty", "<details", "", 2, nullptr);
        row("inner xml refused: deep", "<details", QString("<a>").repeated(50000) + QString("</a>").repeated(50000), 2,
            nullptr);
    }
    void pathWrites()
    {
        QFETCH(QString, path);
        QFETCH(QString, value);
        QFETCH(int, mode);
        QFETCH(QString, readBack);
        const QString before = service.toString();
        QCOMPARE(service.setValue(path, value, mode), !readBack.isNull());
        if (readBack.isNull())
            QCOMPARE(service.toString(), before);
        else if (!path.startsWith('<'))
            QCOMPARE(service.value(readBack), value);
        else
            QCOMPARE(service.value(readBack), QString("1"));
        QCOMPARE(service.value("details/config/@type"), QString("analog"));
    }

    void innerXml()
    {
        const QString inner = service.value("<details");
        QVERIFY(inner.startsWith("\n<config ") && inner.endsWith("/>\n"));
        // the written element replaces the old one in its place
        QVERIFY(service.setValue("<details", "<config type='cable'><x/></config>", 0));
        QCOMPARE(childNames(service), QString("name details tag"));
        QCOMPARE(service.value("details/config/@type"), QString("cable"));
        QCOMPARE(service.elementsByTagName("details").count(), 1);
        QVERIFY(service.setValue("<details", inner, 0));
        QCOMPARE(service.value("<details"), inner);
    }

    void newAndClonedItems()
    {
        DocItem upper = DocItem::createElement("TVSERVICE", service, "7");
        QCOMPARE(upper.id() + upper.value("name"), QString("7New TV service 7"));
        QVERIFY(upper.parentNode().isNull());
        QVERIFY(!DocItem::createElement("tvService", service, "").hasChildNodes());
        QCOMPARE(DocItem::createElement("radioService", service, "3").value("name"), QString("New radio service 3"));
        QCOMPARE(DocItem::createElement("link", service, "2").value("title"), QString("New link 2"));
        QDomDocument other;
        other.setContent(QString("<link id='3' extra='e'><title>Mine</title><type>radio</type></link>"));
        DocItem source(other.documentElement());
        DocItem copy = DocItem::cloneAs("link", service, source, "12");
        QCOMPARE(copy.ownerDocument(), service.ownerDocument());
        QCOMPARE(copy.id() + copy.value("title") + copy.value("type") + copy.value("@extra"),
                 QString("12New link 12websitee"));
        QCOMPARE(source.value("title"), QString("Mine"));
        QCOMPARE(DocItem::cloneAs("link", service, source, "").toString(), source.toString());
        DocItem service2 = DocItem::cloneAs("tvService", service, service, "9");
        QCOMPARE(service2.value("name") + service2.value("tag"), QString("New TV service 9A & B"));
    }

    void moves_data()
    {
        QTest::addColumn<bool>("before");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("order");
        QTest::addColumn<int>("result");
        QTest::newRow("moveTo A 1") << false << 0 << 1 << "B A C D" << 1;
        QTest::newRow("moveTo D 1") << false << 3 << 1 << "A D B C" << 1;
        QTest::newRow("moveTo A 3") << false << 0 << 3 << "B C A D" << 3;
        QTest::newRow("moveTo A -5") << false << 0 << -5 << "A B C D" << 0;
        QTest::newRow("moveTo B 99") << false << 1 << 99 << "A C B D" << 3;
        QTest::newRow("moveBefore A 1") << true << 0 << 1 << "A B C D" << 1;
        QTest::newRow("moveBefore D 1") << true << 3 << 1 << "A D B C" << 1;
        QTest::newRow("moveBefore A 3") << true << 0 << 3 << "B C A D" << 3;
        QTest::newRow("moveBefore D -1") << true << 3 << -1 << "D A B C" << 0;
        QTest::newRow("moveBefore C 99") << true << 2 << 99 << "A B C D" << 3;
    }
    void moves()
    {
        QFETCH(bool, before);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, order);
        QFETCH(int, result);
        QDomDocument d;
        d.setContent(QString("<p><A/><B/><C/><D/></p>"));
        DocItem item(d.documentElement().childNodes().item(from).toElement());
        QCOMPARE(before ? item.moveBefore(to) : item.moveTo(to), result);
        QCOMPARE(childNames(d.documentElement()), order);
        QCOMPARE(DocItem().moveTo(1), -1);
    }
};

OMBRELAY_TEST_MAIN(TestDocItem)
#include "tst_docitem.moc"
