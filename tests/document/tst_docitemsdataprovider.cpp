#include "testmain.h"

#include "document/docitemsdataprovider.h"
#include "document/listdocument.h"

#include <memory>

class TestDocItemsDataProvider : public QObject
{
    Q_OBJECT

    std::unique_ptr<ListDocument> document;
    std::unique_ptr<DocItemsDataProvider> provider;

    // Services with the given ids, favourite lists with the given refs; the provider is over the services.
    void load(const QStringList &ids, const QString &lists = QString())
    {
        QString items;
        for (const QString &id : ids)
            items += QStringLiteral("<tvService id='%1'><name>s%1</name><details><x/></details></tvService>").arg(id);
        provider.reset();
        document = std::make_unique<ListDocument>("<TDocument><items>" + items + "</items><lists>" + lists +
                                                  "</lists></TDocument>");
        provider = std::make_unique<DocItemsDataProvider>(document->items, "tvService", true);
    }
    static QStringList idsOf(DocItemsDataProvider &provider)
    {
        QStringList ids;
        for (int row = 0; row < provider.count(); ++row)
            ids << provider.itemAt(row).id();
        return ids;
    }
    QStringList refTexts()
    {
        QStringList texts;
        const QDomNodeList refs = document->lists.elementsByTagName("ref");
        for (int i = 0; i < refs.count(); ++i)
            texts << refs.item(i).toElement().text();
        return texts;
    }

private slots:
    void cleanup()
    {
        provider.reset();
        document.reset();
    }

    // The pool holds three times the items, at least 4000 ids; used up, it is built again from the items.
    void idPool_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("next");
        QStringList many, after;
        for (int i = 0; i < 6000; ++i)
            (i < 2000 ? many : after) << QString::number(i);
        QStringList fromEmpty = (many + after).mid(0, 4000);
        QTest::newRow("empty") << QStringList() << fromEmpty + QStringList{"0"};
        QTest::newRow("gap") << QStringList({"0", "1", "3"}) << QStringList({"2", "4", "5"});
        QTest::newRow("junk ids block nothing") << QStringList({"abc", "-5", "0"}) << QStringList({"1", "2"});
        QTest::newRow("2000 items") << many << after + QStringList{"2000"};
    }
    void idPool()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, next);
        load(present);
        QStringList got;
        for (int i = 0; i < next.size(); ++i)
            got << provider->nextId();
        QCOMPARE(got, next);
    }

    void lookupsFollowTheTree()
    {
        // a removed id is not handed out again
        load({"0", "1"});
        QCOMPARE(provider->nextId(), QString("2"));
        QVERIFY(provider->removeAt(0));
        QCOMPARE(provider->nextId(), QString("3"));
        load({"5", "7", "5"});
        QCOMPARE(provider->indexOf("5"), 2);
        QCOMPARE(provider->indexOf("8"), -1);
        QCOMPARE(provider->itemById(7).value("name"), QString("s7"));
        QVERIFY(provider->itemById(9).isNull() && provider->itemAt(3).isNull() && provider->itemAt(-1).isNull());
        QVERIFY(provider->removeAt(0));
        QCOMPARE(provider->indexOf("7"), 0);
        DocItem renamed = provider->itemAt(0);
        QVERIFY(renamed.setValue("@id", "70", 0));
        QCOMPARE(provider->indexOf("7"), -1);
        QCOMPARE(provider->indexOf("70"), 0);
        // removing past the end changes nothing
        QVERIFY(provider->removeAt(5));
        QCOMPARE(provider->count(), 2);
        QCOMPARE(provider->countSame(provider->itemAt(0), "details"), 2);
    }

    // Inserts are clamped to the rows there are; every inserted item gets the next free id and default name.
    void insertPositions()
    {
        load({"0", "1"});
        DocItem outside = DocItem::createElement("tvService", document->items, "");
        outside.setValue("name", "mine", 1);
        DocItem x = outside;
        const DocItem first = provider->insertItem(-3, x);
        QVERIFY(x == first && first.parentNode() == document->items);
        QCOMPARE(first.value("name"), QString("New TV service 2"));
        DocItem y = outside;
        provider->insertItem(99, y);
        QCOMPARE(provider->insertNewItem(1).value("name"), QString("New TV service 4"));
        QCOMPARE(provider->insertItems(2, {outside, outside}), QStringList({"5", "6"}));
        QCOMPARE(idsOf(*provider), QStringList({"2", "4", "5", "6", "0", "1", "3"}));
        QVERIFY(provider->newItem().parentNode().isNull());
    }

    void removeRange_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("middle") << 1 << 3 << QStringList({"0", "4", "5"});
        QTest::newRow("front") << 0 << 2 << QStringList({"2", "3", "4", "5"});
        QTest::newRow("past the end") << 4 << 9 << QStringList({"0", "1", "2", "3"});
        QTest::newRow("nothing") << 2 << 0 << QStringList({"0", "1", "2", "3", "4", "5"});
        QTest::newRow("outside") << 7 << 2 << QStringList({"0", "1", "2", "3", "4", "5"});
    }
    void removeRange()
    {
        QFETCH(int, row);
        QFETCH(int, count);
        QFETCH(QStringList, left);
        load({"0", "1", "2", "3", "4", "5"});
        QCOMPARE(provider->indexOf("5"), 5);
        QVERIFY(provider->removeRange(row, count));
        QCOMPARE(idsOf(*provider), left);
        // the tree itself lost exactly those items, and lookups follow
        DocItemsDataProvider fresh(document->items, "tvService", true);
        QCOMPARE(idsOf(fresh), left);
        QCOMPARE(provider->indexOf("5"), int(left.indexOf("5")));
    }

    void rowsFollowEditsOutsideTheProvider()
    {
        load({"0", "1", "2", "3"});
        // moved through DocItem: seen without a refresh
        QVERIFY(provider->itemAt(3).moveTo(0) >= 0);
        QCOMPARE(idsOf(*provider), QStringList({"3", "0", "1", "2"}));
        QCOMPARE(provider->indexOf("2"), 3);
        // inserted and removed through another provider over the same items
        DocItemsDataProvider other(document->items, "tvService", true);
        other.insertNewItem(1);
        QCOMPARE(provider->count(), 5);
        QCOMPARE(provider->itemAt(1).id(), other.itemAt(1).id());
        QVERIFY(other.removeRange(0, 2));
        QCOMPARE(idsOf(*provider), QStringList({"0", "1", "2"}));
        // edited directly, then refreshed
        document->items.removeChild(document->items.firstChildElement());
        provider->refresh();
        QCOMPARE(idsOf(*provider), QStringList({"1", "2"}));
    }

    void removingRefsLeavesOtherListsAlone()
    {
        load({}, "<list id='0'><ref>1</ref><ref>2</ref></list><list id='1'><ref>2</ref></list>");
        const QDomElement first = document->lists.firstChildElement();
        DocItemsDataProvider refs(first, "ref", false);
        DocItemsDataProvider sameList(first, "ref", false);
        DocItemsDataProvider otherList(first.nextSiblingElement(), "ref", false);
        DocItemsDataProvider allRefs(document->lists, "ref", false);
        DocItemsDataProvider lists(document->lists, "list", true);
        QVERIFY(refs.nextId().isNull());
        QCOMPARE(allRefs.count(), 3);
        QVERIFY(refs.removeAt(0));
        QCOMPARE(QList<int>({sameList.count(), allRefs.count(), otherList.count()}), QList<int>({1, 2, 1}));
        // a list goes with its refs
        QVERIFY(lists.removeAt(1));
        QCOMPARE(allRefs.count(), 1);
        QCOMPARE(allRefs.itemAt(0).value(QString()), QString("2"));
    }

    // A service counts as the same as another where its child of the tag is written alike, whatever way
    // the comparison skips writing children that cannot be: the first service is compared with all of
    // them, itself included. An edit changes the second service's child through the DOM as a program
    // can: its text split in two nodes (written as one), an element or an attribute made in a namespace
    // (written with a declaration the first one holds as an attribute).
    void countSameAsWritten_data()
    {
        QTest::addColumn<QString>("own");
        QTest::addColumn<QStringList>("others");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<int>("same");
        const QString config = QStringLiteral("<details><config type=\"cable\" frequency=\"10701\"/></details>");
        QTest::newRow("twins") << config
                               << QStringList{config, "<details><config type=\"cable\" frequency=\"10702\"/></details>",
                                              config}
                               << QString() << 3;
        QTest::newRow("attributes in another order")
            << config << QStringList{"<details><config frequency=\"10701\" type=\"cable\"/></details>"} << QString()
            << 2;
        QTest::newRow("an attribute more") << config
                                           << QStringList{"<details><config type=\"cable\" frequency=\"10701\" "
                                                          "symbolRate=\"1\"/></details>"}
                                           << QString() << 1;
        QTest::newRow("an attribute named otherwise")
            << config << QStringList{"<details><config kind=\"cable\" frequency=\"10701\"/></details>"} << QString()
            << 1;
        QTest::newRow("a value deeper down")
            << "<details><config><sat pos=\"19\"/><sat pos=\"13\"/></config></details>"
            << QStringList{"<details><config><sat pos=\"19\"/><sat pos=\"28\"/></config></details>",
                           "<details><config><sat pos=\"19\"/><sat pos=\"13\"/></config></details>"}
            << QString() << 2;
        QTest::newRow("children in another order")
            << "<details><a/><b/></details>" << QStringList{"<details><b/><a/></details>"} << QString() << 1;
        QTest::newRow("a child more") << "<details><a/></details>"
                                      << QStringList{"<details><a/><a/></details>", "<details><a/></details>"}
                                      << QString() << 2;
        QTest::newRow("texts") << "<details>http://a</details>"
                               << QStringList{"<details>http://b</details>", "<details>http://a</details>"} << QString()
                               << 2;
        QTest::newRow("text split in two nodes")
            << "<details>http://a</details>" << QStringList{"<details>http://a</details>"} << "split" << 2;
        QTest::newRow("a section and a text alike")
            << "<details>x</details>" << QStringList{"<details><![CDATA[x]]></details>"} << QString() << 1;
        QTest::newRow("a comment more") << "<details>x</details>" << QStringList{"<details><!--c-->x</details>"}
                                        << QString() << 1;
        QTest::newRow("an empty child and a closed one")
            << "<details></details>" << QStringList{"<details/>"} << QString() << 2;
        QTest::newRow("none has the child") << QString() << QStringList{QString(), config} << QString() << 2;
        QTest::newRow("the others lack it") << config << QStringList{QString(), QString()} << QString() << 1;
        // declared as an attribute in the file, made in its namespace by the program: written alike
        QTest::newRow("a namespace made and read") << "<details><p:config xmlns:p=\"urn:tuning\"/></details>"
                                                   << QStringList{"<details/>"} << "namespaced" << 2;
        QTest::newRow("a namespaced attribute made and read")
            << "<details><config xmlns:p=\"urn:tuning\" p:type=\"cable\"/></details>" << QStringList{"<details/>"}
            << "attribute namespaced" << 2;
    }
    void countSameAsWritten()
    {
        QFETCH(QString, own);
        QFETCH(QStringList, others);
        QFETCH(QString, edit);
        QFETCH(int, same);
        QString items;
        const QStringList children = QStringList{own} + others;
        for (int id = 0; id < children.size(); ++id)
            items += QStringLiteral("<tvService id='%1'><name>s%1</name>%2</tvService>").arg(id).arg(children.at(id));
        provider.reset();
        document = std::make_unique<ListDocument>("<TDocument><items>" + items + "</items><lists/></TDocument>");
        provider = std::make_unique<DocItemsDataProvider>(document->items, "tvService", true);
        QDomElement second = provider->itemAt(1).firstChildElement("details");
        if (edit == "split") {
            second.removeChild(second.firstChild());
            second.appendChild(document->createTextNode("http"));
            second.appendChild(document->createTextNode("://a"));
            QCOMPARE(second.childNodes().count(), 2);
        } else if (edit == "attribute namespaced") {
            QDomElement made = document->createElement("config");
            made.setAttributeNS("urn:tuning", "p:type", "cable");
            second.appendChild(made);
        } else if (edit == "namespaced") {
            second.appendChild(document->createElementNS("urn:tuning", "p:config"));
        }
        QCOMPARE(provider->countSame(provider->itemAt(0), "details"), same);
    }

    void changeIdFollowsReferences()
    {
        load({"0", "1"}, "<list id='0'><ref>1</ref><ref>0</ref></list><list id='1'><ref>1</ref></list>");
        QVERIFY(provider->changeId(1, "40"));
        QCOMPARE(provider->itemAt(1).id(), QString("40"));
        QCOMPARE(refTexts(), QStringList({"40", "0", "40"}));
        QCOMPARE(provider->indexOf("40"), 1);
        QCOMPARE(provider->indexOf("1"), -1);
        // a taken id is never handed out
        for (int i = 0; i < 60; ++i)
            QVERIFY(provider->nextId() != QString("40"));
        // a list's id is no entry's: the refs stay
        DocItemsDataProvider lists(document->lists, "list", true);
        QVERIFY(lists.changeId(0, "7"));
        QCOMPARE(refTexts(), QStringList({"40", "0", "40"}));
    }

    void changeIdRefusals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("taken") << "0";
        QTest::newRow("same") << "1";
        QTest::newRow("text") << "abc";
        QTest::newRow("negative") << "-2";
        QTest::newRow("empty") << "";
        QTest::newRow("mixed") << "12a";
    }
    void changeIdRefusals()
    {
        QFETCH(QString, text);
        load({"0", "1"}, "<list id='0'><ref>1</ref></list>");
        const QString before = document->toString();
        QVERIFY(!provider->changeId(1, text));
        QCOMPARE(document->toString(), before);
    }
};

OMBRELAY_TEST_MAIN(TestDocItemsDataProvider)
#include "tst_docitemsdataprovider.moc"
