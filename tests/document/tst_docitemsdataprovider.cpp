#include "testmain.h"

#include "document/docitemsdataprovider.h"
#include "document/listdocument.h"

class TestDocItemsDataProvider : public QObject
{
    Q_OBJECT

    static QString items(const QStringList &ids)
    {
        QString text;
        for (const QString &id : ids)
            text += QStringLiteral("<tvService id='%1'><name>s%1</name><details><x/></details></tvService>").arg(id);
        return QStringLiteral("<TDocument><items>%1</items><lists><list id='0'/><list id='1'/><list id='2'/>"
                              "<list id='3'/></lists></TDocument>")
            .arg(text);
    }

    static QStringList idsOf(DocItemsDataProvider &provider)
    {
        QStringList ids;
        for (int row = 0; row < provider.count(); ++row)
            ids << provider.itemAt(row).id();
        return ids;
    }

private slots:
    void idPool_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("next");
        QTest::newRow("empty") << QStringList() << QStringList({"0", "1", "2"});
        QTest::newRow("gap") << QStringList({"0", "1", "3"}) << QStringList({"2", "4", "5"});
        QTest::newRow("junk ids block nothing") << QStringList({"abc", "-5", "0"}) << QStringList({"1", "2"});
    }

    void idPool()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, next);
        ListDocument document(items(present));
        DocItemsDataProvider provider(document.items, "tvService", true);
        QStringList got;
        for (int i = 0; i < next.size(); ++i)
            got << provider.nextId();
        QCOMPARE(got, next);
    }

    // The pool holds three times the items, at least 4000 ids; used up, it is built again from the items.
    void idPoolSize_data()
    {
        QTest::addColumn<int>("present");
        QTest::addColumn<int>("end");
        QTest::newRow("empty") << 0 << 4000;
        QTest::newRow("2000 items") << 2000 << 6000;
    }

    void idPoolSize()
    {
        QFETCH(int, present);
        QFETCH(int, end);
        QStringList ids;
        for (int i = 0; i < present; ++i)
            ids << QString::number(i);
        ListDocument document(items(ids));
        DocItemsDataProvider provider(document.items, "tvService", true);
        for (int i = present; i < end; ++i)
            QCOMPARE(provider.nextId(), QString::number(i));
        QCOMPARE(provider.nextId(), QString::number(present));
    }

    void removedIdNotHandedOutAgain()
    {
        ListDocument document(items({"0", "1"}));
        DocItemsDataProvider provider(document.items, "tvService", true);
        QCOMPARE(provider.nextId(), QString("2"));
        provider.removeAt(0);
        QCOMPARE(idsOf(provider), QStringList({"1"}));
        QCOMPARE(provider.nextId(), QString("3"));
    }

    void newFavouriteLists()
    {
        ListDocument document(ListDocument::emptyDocumentXml(4));
        DocItemsDataProvider lists(document.lists, "list", true);
        QCOMPARE(lists.insertNewItem(lists.count()).id(), QString("4"));
        QCOMPARE(lists.insertNewItem(lists.count()).id(), QString("5"));
        QCOMPARE(idsOf(lists), QStringList({"0", "1", "2", "3", "4", "5"}));
    }

    void lookups()
    {
        ListDocument document(items({"5", "7", "5"}));
        DocItemsDataProvider provider(document.items, "tvService", true);
        QCOMPARE(provider.indexOf("5"), 2);
        QCOMPARE(provider.indexOf("7"), 1);
        QCOMPARE(provider.indexOf("8"), -1);
        QVERIFY(provider.contains("7"));
        QVERIFY(!provider.contains("9"));
        QCOMPARE(provider.itemById(7).value("name"), QString("s7"));
        QVERIFY(provider.itemById(9).isNull());
        QVERIFY(provider.itemAt(3).isNull());
        QVERIFY(provider.itemAt(-1).isNull());
        // the lookup follows changes of the tree
        provider.removeAt(0);
        QCOMPARE(provider.indexOf("5"), 1);
        QCOMPARE(provider.indexOf("7"), 0);
        DocItem renamed = provider.itemAt(0);
        QVERIFY(renamed.setValue("@id", "70", 0));
        QCOMPARE(provider.indexOf("7"), -1);
        QCOMPARE(provider.indexOf("70"), 0);
        // removing past the end is no failure and changes nothing
        QVERIFY(provider.removeAt(5));
        QCOMPARE(provider.count(), 2);
    }

    void insertPositions()
    {
        ListDocument document(items({"0", "1"}));
        DocItemsDataProvider provider(document.items, "tvService", true);
        DocItem outside = DocItem::createElement("tvService", document.items, "");
        outside.setValue("name", "mine", 1);
        DocItem x = outside;
        const DocItem first = provider.insertItem(-3, x);
        QCOMPARE(x, first);
        QCOMPARE(first.parentNode(), QDomNode(document.items));
        QCOMPARE(idsOf(provider), QStringList({"2", "0", "1"}));
        QCOMPARE(first.value("name"), QString("New TV service 2"));
        DocItem y = outside;
        provider.insertItem(provider.count(), y);
        QCOMPARE(idsOf(provider), QStringList({"2", "0", "1", "3"}));
        QCOMPARE(provider.insertNewItem(1).value("name"), QString("New TV service 4"));
        QCOMPARE(idsOf(provider), QStringList({"2", "4", "0", "1", "3"}));
        const QStringList ids = provider.insertItems(2, {outside, outside});
        QCOMPARE(ids, QStringList({"5", "6"}));
        QCOMPARE(idsOf(provider), QStringList({"2", "4", "5", "6", "0", "1", "3"}));
        QVERIFY(provider.newItem().attributes().isEmpty());
        QVERIFY(provider.newItem().parentNode().isNull());
    }

    void withoutAutoId()
    {
        ListDocument document("<TDocument><items/><lists><list id='0'><ref>4</ref></list></lists></TDocument>");
        DocItemsDataProvider refs(document.lists.firstChildElement(), "ref", false);
        QVERIFY(refs.nextId().isNull());
        DocItem ref = DocItem::createElement("ref", document.lists, "");
        ref.setValue("", "9", 1);
        const QStringList ids = refs.insertItems(0, {ref});
        QCOMPARE(ids.size(), 1);
        QVERIFY(ids.first().isNull());
        QCOMPARE(refs.itemAt(0).value(""), QString("9"));
        QCOMPARE(refs.itemAt(1).value(""), QString("4"));
    }

    void countSame()
    {
        ListDocument document("<TDocument><items>"
                              "<tvService id='0'><details><c f='1'/></details></tvService>"
                              "<tvService id='1'><details><c f='2'/></details></tvService>"
                              "<tvService id='2'><details><c f='1'/></details></tvService>"
                              "<tvService id='3'/><tvService id='4'/></items><lists/></TDocument>");
        DocItemsDataProvider provider(document.items, "tvService", true);
        QCOMPARE(provider.countSame(provider.itemAt(0), "details"), 2);
        QCOMPARE(provider.countSame(provider.itemAt(1), "details"), 1);
        QCOMPARE(provider.countSame(provider.itemAt(3), "details"), 2);
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
        ListDocument document(items({"0", "1", "2", "3", "4", "5"}));
        DocItemsDataProvider provider(document.items, "tvService", true);
        QCOMPARE(provider.indexOf("5"), 5);
        QVERIFY(provider.removeRange(row, count));
        QCOMPARE(idsOf(provider), left);
        // the tree itself lost exactly those items, and lookups follow
        DocItemsDataProvider fresh(document.items, "tvService", true);
        QCOMPARE(idsOf(fresh), left);
        QCOMPARE(provider.indexOf("5"), int(left.indexOf("5")));
    }

    void rowsFollowEditsOutsideTheProvider()
    {
        ListDocument document(items({"0", "1", "2", "3"}));
        DocItemsDataProvider provider(document.items, "tvService", true);
        QCOMPARE(idsOf(provider), QStringList({"0", "1", "2", "3"}));
        // moved through DocItem: seen without a refresh
        QVERIFY(provider.itemAt(3).moveTo(0) >= 0);
        QCOMPARE(idsOf(provider), QStringList({"3", "0", "1", "2"}));
        QCOMPARE(provider.indexOf("2"), 3);
        // inserted through another provider over the same items
        DocItemsDataProvider other(document.items, "tvService", true);
        other.insertNewItem(1);
        QCOMPARE(provider.count(), 5);
        QCOMPARE(provider.itemAt(1).id(), other.itemAt(1).id());
        // removed through the other one
        QVERIFY(other.removeRange(0, 2));
        QCOMPARE(idsOf(provider), QStringList({"0", "1", "2"}));
        // edited directly, then refreshed
        document.items.removeChild(document.items.firstChildElement());
        provider.refresh();
        QCOMPARE(idsOf(provider), QStringList({"1", "2"}));
    }

    void removingRefsLeavesOtherListsAlone()
    {
        ListDocument document("<TDocument><items/><lists><list id='0'><ref>1</ref><ref>2</ref></list>"
                              "<list id='1'><ref>2</ref></list></lists></TDocument>");
        const QDomElement first = document.lists.firstChildElement();
        DocItemsDataProvider refs(first, "ref", false);
        DocItemsDataProvider sameList(first, "ref", false);
        DocItemsDataProvider otherList(first.nextSiblingElement(), "ref", false);
        DocItemsDataProvider allRefs(document.lists, "ref", false);
        DocItemsDataProvider lists(document.lists, "list", true);
        QCOMPARE(allRefs.count(), 3);
        QCOMPARE(sameList.count(), 2);
        QVERIFY(refs.removeAt(0));
        QCOMPARE(sameList.count(), 1);
        QCOMPARE(allRefs.count(), 2);
        QCOMPARE(otherList.count(), 1);
        // a list goes with its refs
        QVERIFY(lists.removeAt(1));
        QCOMPARE(allRefs.count(), 1);
        QCOMPARE(allRefs.itemAt(0).value(QString()), QString("2"));
        QCOMPARE(lists.count(), 1);
    }

    void changeIdFollowsReferences()
    {
        ListDocument document("<TDocument><items><tvService id='0'/><tvService id='1'/></items><lists>"
                              "<list id='0'><ref>1</ref><ref>0</ref></list><list id='1'><ref>1</ref></list>"
                              "</lists></TDocument>");
        DocItemsDataProvider provider(document.items, "tvService", true);
        QVERIFY(provider.changeId(1, "40"));
        QCOMPARE(provider.itemAt(1).id(), QString("40"));
        const QDomNodeList refs = document.lists.elementsByTagName("ref");
        QStringList texts;
        for (int i = 0; i < refs.count(); ++i)
            texts << refs.item(i).toElement().text();
        QCOMPARE(texts, QStringList({"40", "0", "40"}));
        QCOMPARE(provider.indexOf("40"), 1);
        QCOMPARE(provider.indexOf("1"), -1);
        // a taken id is never handed out
        for (int i = 0; i < 60; ++i)
            QVERIFY(provider.nextId() != QString("40"));
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
        ListDocument document("<TDocument><items><tvService id='0'/><tvService id='1'/></items><lists>"
                              "<list id='0'><ref>1</ref></list></lists></TDocument>");
        const QString before = document.toString();
        DocItemsDataProvider provider(document.items, "tvService", true);
        QVERIFY(!provider.changeId(1, text));
        QCOMPARE(document.toString(), before);
    }

    void changeIdOfAListLeavesReferences()
    {
        ListDocument document("<TDocument><items><tvService id='0'/></items><lists><list id='0'><ref>0</ref></list>"
                              "</lists></TDocument>");
        DocItemsDataProvider lists(document.lists, "list", true);
        QVERIFY(lists.changeId(0, "7"));
        QCOMPARE(document.lists.firstChildElement().attribute("id"), QString("7"));
        QCOMPARE(document.lists.firstChildElement().text(), QString("0"));
    }
};

OMBRELAY_TEST_MAIN(TestDocItemsDataProvider)
#include "tst_docitemsdataprovider.moc"
