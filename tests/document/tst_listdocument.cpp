#include "testmain.h"

#include "document/docitem.h"
#include "document/exception.h"
#include "document/listdocument.h"
#include "document/xmldocument.h"

#include <QRegularExpression>

class TestListDocument : public QObject
{
    Q_OBJECT

private:
    static QString wrap(const QString &items)
    {
        return QStringLiteral("<TDocument><documentProperties/><items>%1</items><lists/></TDocument>").arg(items);
    }

private slots:
    void emptyDocumentText()
    {
        QCOMPARE(ListDocument::emptyDocumentXml(2),
                 QStringLiteral("<?xml version='1.0' encoding='utf-8'?><TDocument> <documentProperties> "
                                "</documentProperties> <items/> <lists><list id='0'></list><list id='1'></list> "
                                "</lists></TDocument>"));
        QCOMPARE(ListDocument::emptyDocumentXml(0),
                 QStringLiteral("<?xml version='1.0' encoding='utf-8'?><TDocument> <documentProperties> "
                                "</documentProperties> <items/> <lists> </lists></TDocument>"));
        QCOMPARE(ListDocument::emptyDocumentXml(-3), ListDocument::emptyDocumentXml(0));
    }

    void emptyDocumentParsesLikeFixedText()
    {
        // whitespace between tags is not kept
        ListDocument made(ListDocument::emptyDocumentXml(4));
        QVERIFY(!made.items.isNull() && !made.lists.isNull());
        QCOMPARE(made.toString(2), QStringLiteral("<?xml version='1.0' encoding='utf-8'?>\n<TDocument>\n  "
                                                  "<documentProperties/>\n  <items/>\n  <lists>\n    <list id=\"0\"/>\n"
                                                  "    <list id=\"1\"/>\n    <list id=\"2\"/>\n    <list id=\"3\"/>\n"
                                                  "  </lists>\n</TDocument>\n"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        const QString error = "Error";
        const QString errors = "Document has errors";
        const QString invalid = "Invalid file format";
        const QString notValid = "This is not valid document format";
        QTest::newRow("empty") << QString() << error << errors;
        QTest::newRow("truncated") << ListDocument::emptyDocumentXml(4).left(90) << error << errors;
        QTest::newRow("junk") << QString::fromLatin1(QByteArray("\x01\x02\xff<\x00\x7fTD", 9)) << error << errors;
        QTest::newRow("root case") << "<tdocument><items/><lists/></tdocument>" << invalid << notValid;
        QTest::newRow("no lists") << "<TDocument><items/></TDocument>" << invalid << notValid;
        QTest::newRow("no items") << "<TDocument><lists/></TDocument>" << invalid << notValid;
        QTest::newRow("other root") << "<lists><items/></lists>" << invalid << notValid;
        QString deep = "<TDocument><items/>";
        for (int i = 0; i < 200000; ++i)
            deep += "<a>";
        for (int i = 0; i < 200000; ++i)
            deep += "</a>";
        QTest::newRow("deep nesting") << deep + "<lists/></TDocument>" << error << errors;
        QString deepAttributes = "<TDocument><items/>";
        for (int i = 0; i < 5000; ++i)
            deepAttributes += "<a x='/>' y=\">\">";
        QTest::newRow("deep nesting, tricky attributes") << deepAttributes << error << errors;
        QTest::newRow("entity expansion")
            << "<!DOCTYPE TDocument [<!ENTITY a '<b><b><b>'>]><TDocument><items/><lists/></TDocument>" << error
            << errors;
        QTest::newRow("huge attribute, no lists")
            << "<TDocument><items><tvService id='" + QString(8 * 1024 * 1024, 'x') + "'/></items></TDocument>"
            << invalid << notValid;
    }

    void refusals()
    {
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QString, message);
        try {
            ListDocument document(text);
            QFAIL("accepted");
        } catch (const Exception &e) {
            QCOMPARE(e.title, title);
            QCOMPARE(e.text, message);
            if (title == "Error")
                QVERIFY2(QRegularExpression("^.+\nLine: \\d+\nColumn: \\d+\n$").match(e.details).hasMatch(),
                         qPrintable(e.details));
            else
                QCOMPARE(e.details, QString());
        }
    }

    void deepButSaneDocumentLoads()
    {
        QString text = "<TDocument><items><tvService id='0'><details>";
        for (int i = 0; i < 100; ++i)
            text += "<a>";
        for (int i = 0; i < 100; ++i)
            text += "</a>";
        text += "</details></tvService></items><lists/></TDocument>";
        ListDocument document(text);
        QCOMPARE(document.items.elementsByTagName("a").count(), 100);
    }

    void itemsFoundAtAnyDepth()
    {
        ListDocument document("<TDocument><documentProperties><items><x/></items></documentProperties><items/>"
                              "<lists/></TDocument>");
        QCOMPARE(document.items.parentNode().toElement().tagName(), QString("documentProperties"));
        QCOMPARE(document.items.firstChildElement().tagName(), QString("x"));
    }

    void normalisation()
    {
        ListDocument document(wrap(
            "<tvService id='1'><details><config type='analog'/></details><provider/></tvService>"
            "<tvService id='2'><details><config type='analog'/></details></tvService>"
            "<tvService id='3'><details><config type='satellite'><satellite pos='19.2'>Astra</satellite></config>"
            "</details><provider>Sky</provider></tvService>"
            "<radioService id='4'><provider>Old</provider><details><config type='analog'/></details></radioService>"
            "<link id='5'><details><config type='analog'><satellite>x</satellite></config></details>"
            "<provider/></link>"));
        const QDomNodeList services = document.items.childNodes();
        QCOMPARE(DocItem(services.item(0).toElement()).value("provider"), QString("--no provider--"));
        QCOMPARE(services.item(1).toElement().elementsByTagName("provider").count(), 0);
        const DocItem satellite(services.item(2).toElement());
        QCOMPARE(satellite.value("provider"), QString("Sky"));
        QCOMPARE(satellite.value("details/config/satellite/@pos"), QString("19.2"));
        QCOMPARE(satellite.value("satellite"), QString());
        QVERIFY(!DocItem::firstDescendant(satellite, "satellite").hasChildNodes());
        QCOMPARE(DocItem(services.item(3).toElement()).value("provider"), QString("--no provider--"));
        const DocItem link(services.item(4).toElement());
        QCOMPARE(link.value("satellite"), QString("x"));
        QVERIFY(!DocItem::firstDescendant(link, "provider").hasChildNodes());
    }

    void xmlDocument()
    {
        const XmlDocument config = XmlDocument::withRoot("config");
        QCOMPARE(config.toString(), QString("<config/>\n"));
        QCOMPARE(config.root.tagName(), QString("config"));
        XmlDocument call("<call methodName='x'><parameters><a><b>1</b></a></parameters></call>");
        QCOMPARE(call.root.value("@methodName"), QString("x"));
        QCOMPARE(call.toString(), QString("<call methodName=\"x\">\n <parameters>\n  <a>\n   <b>1</b>\n  </a>\n"
                                          " </parameters>\n</call>\n"));
        QCOMPARE(call.root.toString(),
                 QString(" <call methodName=\"x\">\n  <parameters>\n   <a>\n    <b>1</b>\n   </a>\n"
                         "  </parameters>\n </call>\n"));
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
        bool thrown = false;
        try {
            XmlDocument document(text);
        } catch (const Exception &e) {
            thrown = true;
            QCOMPARE(e.text, QString("Document has errors"));
        }
        QVERIFY(thrown);
    }
};

OMBRELAY_TEST_MAIN(TestListDocument)
#include "tst_listdocument.moc"
