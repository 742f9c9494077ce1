#include "testmain.h"

#include "document/docitem.h"
#include "document/listdocument.h"

#include <QTranslator>

class TestDocItem : public QObject
{
    Q_OBJECT

    QDomDocument document;
    DocItem service;

    static QStringList childNames(const QDomElement &parent)
    {
        QStringList names;
        for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            names << e.tagName() + e.attribute("n");
        return names;
    }

private slots:
    void init()
    {
        document = QDomDocument();
        QVERIFY(document.setContent(QStringLiteral("<items><tvService id='4'><name/><details><config type='analog' "
                                                   "freq='5'/></details><tag>A &amp; B</tag></tvService></items>")));
        service = document.documentElement().firstChildElement();
    }

    void attributes()
    {
        QCOMPARE(service.value("@type"), QString());
        QVERIFY(service.value("@type").isNull());
        QVERIFY(!service.setValue("@type", "x", 0));
        QVERIFY(!service.hasAttribute("type"));
        QVERIFY(service.setValue("@type", "x", 1));
        QCOMPARE(service.value("@type"), QString("x"));
        QVERIFY(service.setValue("@type", "y", 0));
        QCOMPARE(service.value("@type"), QString("y"));
        QCOMPARE(service.id(), QString("4"));
        QVERIFY(service.setValue("@id", 17, 0));
        QCOMPARE(service.id(), QString("17"));
    }

    void slashPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("full") << "details/config/@type";
        QTest::newRow("short") << "config/@type";
        QTest::newRow("missing first") << "nothing/config/@type";
    }

    void slashPaths()
    {
        QFETCH(QString, path);
        QCOMPARE(service.value(path), QString("analog"));
    }

    void slashWriteModes()
    {
        const QString before = service.toString();
        QVERIFY(!service.setValue("nothing/config/@type", "cable", 1));
        QCOMPARE(service.toString(), before);
        QVERIFY(!service.setValue("nothing/config/@type", "cable", 0));
        QVERIFY(service.setValue("nothing/config/@type", "cable", 2));
        const QDomElement added = service.lastChildElement();
        QCOMPARE(added.tagName(), QString("nothing"));
        QCOMPARE(added.firstChildElement("config").attribute("type"), QString("cable"));
        QCOMPARE(service.value("details/config/@type"), QString("analog"));
        // an existing path is written in every mode
        QVERIFY(service.setValue("details/config/@freq", "7", 0));
        QCOMPARE(service.value("config/@freq"), QString("7"));
        // a path ending in "/" addresses the text of the element before it
        QVERIFY(service.setValue("tag/", "C", 0));
        QCOMPARE(service.value("tag"), QString("C"));
        QCOMPARE(service.value("tag/"), QString("C"));
    }

    void plainNames()
    {
        QCOMPARE(service.value("tag"), QString("A & B"));
        QVERIFY(service.setValue("name", "x", 0)); // empty element: the text node is added
        QCOMPARE(service.value("name"), QString("x"));
        QVERIFY(service.setValue("name", "y", 0));
        QCOMPARE(service.value("name"), QString("y"));
        QVERIFY(!service.setValue("title", "t", 0));
        QCOMPARE(service.value("title"), QString());
        QVERIFY(service.setValue("title", "t", 1));
        QCOMPARE(service.lastChildElement().tagName(), QString("title"));
        QCOMPARE(service.value("title"), QString("t"));
        // the first child of details is an element: its text is empty and writing it changes nothing
        QCOMPARE(service.value("details"), QString());
    }

    void ownText()
    {
        DocItem name(service.firstChildElement("name"));
        QVERIFY(!name.setValue("", "x", 0));
        QVERIFY(!name.hasChildNodes());
        QVERIFY(name.setValue("", "x", 1));
        QCOMPARE(name.value(""), QString("x"));
        QVERIFY(name.setValue("", "z", 0));
        QCOMPARE(service.value("name"), QString("z"));
    }

    void innerXml()
    {
        const QString inner = service.value("<details");
        QVERIFY(inner.startsWith("\n<config ") && inner.endsWith("/>\n"));
        QDomDocument parsed;
        QVERIFY(parsed.setContent(inner));
        QCOMPARE(parsed.documentElement().attribute("type"), QString("analog"));
        QCOMPARE(parsed.documentElement().attribute("freq"), QString("5"));
        QCOMPARE(service.value("<name"), QString("\n"));
        QCOMPARE(service.value("<missing"), QString());
        // the written element replaces the old one in its place
        QVERIFY(service.setValue("<details", "<config type='cable'><x/></config>", 0));
        QCOMPARE(childNames(service), QStringList({"name", "details", "tag"}));
        QCOMPARE(service.value("details/config/@type"), QString("cable"));
        QCOMPARE(service.elementsByTagName("details").count(), 1);
        QVERIFY(service.setValue("<details", inner, 0));
        QCOMPARE(service.value("<details"), inner);
    }

    void innerXmlRefusesBadValue_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("not xml") << "no xml";
        QTest::newRow("truncated") << "<config type='x'>";
        QTest::newRow("empty") << "";
        QTest::newRow("deep") << QString("<a>").repeated(50000) + QString("</a>").repeated(50000);
    }

    void innerXmlRefusesBadValue()
    {
        QFETCH(QString, value);
        const QString before = service.toString();
        QVERIFY(!service.setValue("<details", value, 2));
        QCOMPARE(service.toString(), before);
    }

    void innerXmlCreation()
    {
        QVERIFY(!service.setValue("<extra", "<a/>", 0));
        QVERIFY(service.setValue("<extra", "<a b='1'/>", 1));
        QCOMPARE(service.lastChildElement().tagName(), QString("extra"));
        QCOMPARE(service.value("extra/a/@b"), QString("1"));
    }

    void nullItem()
    {
        DocItem item;
        QCOMPARE(item.value("name"), QString());
        QCOMPARE(item.value("a/b/@c"), QString());
        QVERIFY(!item.setValue("@x", "1", 0));
        QVERIFY(item.setValue("@x", "1", 1));
        QVERIFY(!item.setValue("a/@x", "1", 1));
        QVERIFY(item.setValue("a/@x", "1", 2));
        QCOMPARE(item.moveTo(1), -1);
        QCOMPARE(item.children(), QStringList());
    }

    void createElement()
    {
        DocItem upper = DocItem::createElement("TVSERVICE", service, "7");
        QCOMPARE(upper.tagName(), QString("TVSERVICE"));
        QCOMPARE(upper.id(), QString("7"));
        QCOMPARE(upper.value("name"), QString("New TV service 7"));
        QVERIFY(upper.parentNode().isNull());
        DocItem bare = DocItem::createElement("tvService", service, "");
        QVERIFY(bare.attributes().isEmpty());
        QVERIFY(!bare.hasChildNodes());
        QCOMPARE(DocItem::createElement("radioService", service, "3").value("name"), QString("New radio service 3"));
        DocItem link = DocItem::createElement("link", service, "2");
        QCOMPARE(link.value("title"), QString("New link 2"));
        QCOMPARE(link.value("type"), QString());
    }

    void defaultNamesAreTranslated()
    {
        QTranslator german;
        QVERIFY(german.load(":/translations/Resources/MUI/de_DE.qm"));
        QCoreApplication::installTranslator(&german);
        const QString name = DocItem::createElement("tvService", service, "7").value("name");
        QCoreApplication::removeTranslator(&german);
        QCOMPARE(name, QString("Neuer TV-Sender 7"));
    }

    void cloneAs()
    {
        QDomDocument other;
        other.setContent(QString("<link id='3' extra='e'><title>Mine</title><type>radio</type></link>"));
        DocItem source(other.documentElement());
        DocItem copy = DocItem::cloneAs("link", service, source, "12");
        QCOMPARE(copy.ownerDocument(), service.ownerDocument());
        QCOMPARE(copy.id(), QString("12"));
        QCOMPARE(copy.value("title"), QString("New link 12"));
        QCOMPARE(copy.value("type"), QString("website"));
        QCOMPARE(copy.value("@extra"), QString("e"));
        QCOMPARE(source.value("title"), QString("Mine"));
        DocItem same = DocItem::cloneAs("link", service, source, "");
        QCOMPARE(same.toString(), source.toString());
        DocItem service2 = DocItem::cloneAs("tvService", service, service, "9");
        QCOMPARE(service2.value("name"), QString("New TV service 9"));
        QCOMPARE(service2.value("tag"), QString("A & B"));
    }

    void moves_data()
    {
        QTest::addColumn<bool>("before");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("order");
        QTest::addColumn<int>("result");
        QTest::newRow("moveTo A 1") << false << 0 << 1 << "BACD" << 1;
        QTest::newRow("moveTo D 1") << false << 3 << 1 << "ADBC" << 1;
        QTest::newRow("moveTo A 3") << false << 0 << 3 << "BCAD" << 3;
        QTest::newRow("moveTo A -5") << false << 0 << -5 << "ABCD" << 0;
        QTest::newRow("moveTo B 99") << false << 1 << 99 << "ACBD" << 3;
        QTest::newRow("moveBefore A 1") << true << 0 << 1 << "ABCD" << 1;
        QTest::newRow("moveBefore D 1") << true << 3 << 1 << "ADBC" << 1;
        QTest::newRow("moveBefore A 3") << true << 0 << 3 << "BCAD" << 3;
        QTest::newRow("moveBefore D -1") << true << 3 << -1 << "DABC" << 0;
        QTest::newRow("moveBefore C 99") << true << 2 << 99 << "ABCD" << 3;
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
        QCOMPARE(childNames(d.documentElement()).join(QString()), order);
    }

    void removeChildren()
    {
        QDomDocument d;
        d.setContent(QString("<config><satellite n='1'/><x/><satellite n='2'/><y><satellite/></y></config>"));
        DocItem config(d.documentElement());
        const QDomElement fresh = config.removeChildren("satellite");
        QCOMPARE(childNames(config), QStringList({"x", "y", "satellite"}));
        QCOMPARE(fresh, config.lastChildElement());
        QVERIFY(!fresh.hasAttributes());
        QVERIFY(config.removeChildren("").isNull());
        QCOMPARE(childNames(config), QStringList({"x", "y", "satellite"}));
    }

    void childrenAndElements()
    {
        QDomDocument d;
        d.setContent(QString("<a>t1<b/><c/>t2<b/><!--k--></a>"));
        DocItem a(d.documentElement());
        QCOMPARE(a.children(), QStringList({"", "b", "c", "b"}));
        QCOMPARE(a.childElement("b", 1), d.documentElement().lastChildElement("b"));
        QVERIFY(a.childElement("b", 2).isNull());
        QVERIFY(a.childElement("b", -1).isNull());
    }

    void serialisation()
    {
        // nested levels are indented by one more space each, as the DOM writes an element at depth 1
        service.firstChildElement("details").firstChildElement().removeAttribute("freq");
        QCOMPARE(service.toString(),
                 QString(" <tvService id=\"4\">\n  <name/>\n  <details>\n   <config type=\"analog\"/>\n"
                         "  </details>\n  <tag>A &amp; B</tag>\n </tvService>\n"));
    }
};

OMBRELAY_TEST_MAIN(TestDocItem)
#include "tst_docitem.moc"
