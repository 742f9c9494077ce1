#include "testmain.h"

#include "document/agregatedataprovider.h"
#include "document/agregatemodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "servicesfixture.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QDataStream>
#include <QMimeData>
#include <QSignalSpy>
#include <QStandardItemModel>

// The items table model, the aggregate value models and the sort/filter proxy, all over one small TV list.
class TestItemsDatabaseModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServicesFixture> fixture;
    std::unique_ptr<ObjectSortFilterProxyModel> proxy;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    ServicesModel *model = nullptr;

    void load(const QString &items, const QString &lists = QString())
    {
        testers.clear();
        proxy.reset();
        fixture = std::make_unique<ServicesFixture>(items, lists);
        model = &fixture->model;
        proxy = std::make_unique<ObjectSortFilterProxyModel>();
        proxy->setSourceModel(model);
        test(model);
        test(proxy.get());
    }
    void test(QAbstractItemModel *tested) { testers.emplace_back(new QAbstractItemModelTester(tested)); }
    static QString service(int id, const QString &name, const QString &provider = QString(),
                           const QString &genres = QString(), const QString &type = QString())
    {
        return QStringLiteral("<tvService id='%1' stype='%5'><name>%2</name><provider>%3</provider>"
                              "<genres>%4</genres></tvService>")
            .arg(QString::number(id), name, provider.toHtmlEscaped(), genres, type);
    }
    static QString four()
    {
        return ServicesFixture::service(0, "A", "P1") + ServicesFixture::service(1, "B", "P2") +
               ServicesFixture::service(2, "C", "P1") + ServicesFixture::service(3, "D", "P3");
    }
    static QStringList column(QAbstractItemModel *shown, int c)
    {
        QStringList texts;
        for (int row = 0; row < shown->rowCount(); ++row)
            texts << shown->index(row, c).data().toString();
        return texts;
    }
    static QByteArray payload(const QStringList &strings)
    {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        for (const QString &s : strings)
            stream << s;
        return bytes;
    }

private slots:
    void cleanup()
    {
        testers.clear();
        proxy.reset();
        fixture.reset();
    }

    void cellsAndSignals()
    {
        load(four());
        // drops land between rows, never on an entry
        QCOMPARE(model->flags(QModelIndex()), Qt::ItemFlags(Qt::ItemIsDropEnabled));
        QVERIFY(!(model->flags(model->index(0, 1)) & Qt::ItemIsDropEnabled));
        QCOMPARE(model->dataById("3", 2, Qt::DisplayRole).toString(), QString("P3"));
        QVERIFY(model->setDataById("3", 1, "DD", Qt::EditRole) && !model->setDataById("30", 1, "DD", Qt::EditRole));
        QCOMPARE(fixture->names(), QStringList({"A", "B", "C", "DD"}));
        // the read-only colour is for read-only cells only
        model->setReadOnlyColor(QColor(99, 99, 99));
        QCOMPARE(model->index(0, 7).data(Qt::ForegroundRole).value<QBrush>(), QBrush(QColor(99, 99, 99)));
        QVERIFY(!model->index(0, 1).data(Qt::ForegroundRole).isValid());
        // an unchanged value is no change; a column others depend on redraws them too
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QVERIFY(!model->setData(model->index(0, 1), "A", Qt::EditRole));
        QVERIFY(!model->setData(model->index(0, 1), "X", Qt::ToolTipRole));
        QCOMPARE(changed.count(), 0);
        QVERIFY(model->setData(model->index(2, 5), true, Qt::EditRole));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toModelIndex(), model->index(2, 6));
        QCOMPARE(fixture->provider.itemAt(2).value("parentLock"), QString("1"));
    }

    void indexColumn()
    {
        load(four(), "<list id='0'><ref>1</ref><ref>3</ref></list>");
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        for (const char *refused : {"3", "x", "-1"})
            QVERIFY(!model->setData(model->index(1, 8), refused, Qt::EditRole));
        QCOMPARE(changed.count(), 0);
        QVERIFY(model->setData(model->index(1, 8), "17", Qt::EditRole));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(fixture->ids(), QStringList({"0", "17", "2", "3"}));
        QCOMPARE(fixture->document.lists.firstChildElement().firstChildElement().text(), QString("17"));
        QCOMPARE(model->dataById("17", 1, Qt::DisplayRole).toString(), QString("B"));
        // new entries never take the id that was set by hand
        for (int i = 0; i < 20; ++i)
            QVERIFY(model->appendNewItem() != QString("17"));
    }

    void removeRowsAnnounces()
    {
        load(four() + service(4, "E") + service(5, "F"));
        QStringList announced;
        connect(model, &ItemsDatabaseModel::itemRemoved, this, [&](const QString &id) {
            // every entry of the range is still there when any of them is announced
            QVERIFY(fixture->provider.count() == 6 && fixture->provider.indexOf(id) >= 0);
            announced << id;
        });
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
        QVERIFY(model->removeRows(2, 3));
        QCOMPARE(announced, QStringList({"2", "3", "4"}));
        QCOMPARE(fixture->ids(), QStringList({"0", "1", "5"}));
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).mid(1), QVariantList({2, 4}));
        QCOMPARE(model->dataById("5", 1, Qt::DisplayRole).toString(), QString("F"));
        QVERIFY(!model->removeRows(5, 2) && !model->removeRows(-1, 1));
    }

    void dragPayload()
    {
        load(four());
        std::unique_ptr<QMimeData> empty(model->mimeData({}));
        QCOMPARE(empty->data("TV_item").toHex(' '),
                 QByteArray("00 00 00 0e 00 3c 00 69 00 74 00 65 00 6d 00 73 00 3e 00 00 00 10 00 3c "
                            "00 2f 00 69 00 74 00 65 00 6d 00 73 00 3e"));
        QCOMPARE(model->mimeTypes(), QStringList({"TV_item@" + model->modelId(), "TV_item"}));
        QCOMPARE(empty->data("TV_item@" + model->modelId()), empty->data("TV_item"));
        // rows in the order they were picked, once each; sorted when asked
        const QModelIndexList indexes{model->index(2, 1), model->index(0, 1), model->index(2, 3)};
        std::unique_ptr<QMimeData> data(model->mimeData(indexes));
        QCOMPARE(
            data->data("TV_item"),
            payload({"<items>", "<tvService id=\"2\">\n<name>C</name>\n<provider>P1</provider>\n</tvService>\n",
                     "<tvService id=\"0\">\n<name>A</name>\n<provider>P1</provider>\n</tvService>\n", "</items>"}));
        model->setSortDraggedRows(true);
        data.reset(model->mimeData(indexes));
        const QByteArray bytes = data->data("TV_item");
        QVERIFY(bytes.indexOf(payload({"id=\"0"}).mid(4)) < bytes.indexOf(payload({"id=\"2"}).mid(4)));
    }

    void dropCopies()
    {
        load("<tvService id='0'/><tvService id='1'/>");
        ServicesFixture other(ServicesFixture::service(7, "X"));
        std::unique_ptr<QMimeData> data(other.model.mimeData({other.model.index(0, 0)}));
        QSignalSpy inserted(model, &ItemsDatabaseModel::itemInserted);
        QVERIFY(model->dropMimeData(data.get(), Qt::CopyAction, 1, 0, QModelIndex()));
        QCOMPARE(fixture->ids(), QStringList({"0", "2", "1"}));
        QCOMPARE(fixture->names().at(1), QString("New TV service 2"));
        QCOMPARE(inserted.count(), 1);
        QVERIFY(model->dropMimeData(data.get(), Qt::MoveAction, -1, 0, QModelIndex()));
        for (Qt::DropAction refused : {Qt::LinkAction, Qt::IgnoreAction})
            QVERIFY(!model->dropMimeData(data.get(), refused, -1, 0, QModelIndex()));
        QCOMPARE(fixture->ids(), QStringList({"0", "2", "1", "3"}));
        // null strings inside a payload are skipped
        QMimeData withNull;
        withNull.setData("TV_item", payload({"<items>"}) + QByteArray("\xff\xff\xff\xff", 4) +
                                        payload({"<tvService/>", "</items>"}));
        QVERIFY(model->dropMimeData(&withNull, Qt::CopyAction, -1, 0, QModelIndex()));
        QCOMPARE(model->rowCount(), 5);
    }

    void dropRefusals_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("other list kind") << "Radio_item" << payload({"<items><tvService/></items>"});
        QTest::newRow("no items of the tag") << "TV_item" << payload({"<items><link/></items>"});
        QTest::newRow("no xml") << "TV_item" << payload({"<items><tvService>"});
        QTest::newRow("lying length") << "TV_item" << QByteArray("\x7f\xff\xff\xfe\x00<", 6);
        QTest::newRow("odd length") << "TV_item" << QByteArray("\x00\x00\x00\x03\x00<\x00", 7);
        QTest::newRow("junk") << "TV_item" << QByteArray("\xde\xad\xbe\xef\x01\x02\x03", 7);
        QTest::newRow("deep") << "TV_item" << payload({"<items>" + QString("<tvService>").repeated(100000)});
        QTest::newRow("empty") << "TV_item" << QByteArray();
    }
    void dropRefusals()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, bytes);
        load(four());
        QMimeData data;
        data.setData(format, bytes);
        const QString before = fixture->document.toString();
        QVERIFY(!model->dropMimeData(&data, Qt::MoveAction, 0, 0, QModelIndex()));
        QCOMPARE(fixture->document.toString(), before);
    }

    void uniqueKey()
    {
        load(four());
        model->setUniqueKey("provider");
        QDomDocument source;
        source.setContent(QString("<items><tvService><provider>P1</provider></tvService><tvService><provider>P1"
                                  "</provider></tvService></items>"));
        QList<DocItem> batch{DocItem(source.documentElement().firstChildElement()),
                             DocItem(source.documentElement().lastChildElement())};
        // the batch keeps one P1 and rows 0 and 2 (P1) go; inserted before D it lands just before D
        const QStringList ids = model->insertItems(3, batch);
        QCOMPARE(fixture->ids(), QStringList({"1", ids.value(0), "3"}));
    }

    void selectionsFollowANewProvider()
    {
        load(four());
        model->itemProperties().at(1)->name = "changed";
        model->retranslate();
        QCOMPARE(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Name"));
        ListDocument empty(ListDocument::emptyDocumentXml(1));
        DocItemsDataProvider none(empty.items, "tvService", true);
        QPersistentModelIndex kept(model->index(3, 1));
        model->setDataProvider(&none);
        QVERIFY(model->rowCount() == 0 && !kept.isValid());
        model->setDataProvider(&fixture->provider);
    }

    void aggregateValues_data()
    {
        QTest::addColumn<QString>("extra");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no extra") << QString() << QStringList({"B", "a", "b"});
        QTest::newRow("extra first") << "Unspecified" << QStringList({"Unspecified", "B", "a", "b"});
        QTest::newRow("extra present") << "a" << QStringList({"B", "a", "b"});
    }
    void aggregateValues()
    {
        QFETCH(QString, extra);
        QFETCH(QStringList, expected);
        QStandardItemModel source;
        for (const QString &text : {"  b", "a", "b", "B", ""})
            source.appendRow(new QStandardItem(text));
        AgregateDataProvider provider(&source, 0, extra);
        QStringList values;
        for (int row = 0; row < provider.count(); ++row)
            values << provider.elementAt(row).value("value");
        QCOMPARE(values, expected);
        QCOMPARE(provider.rowOfId("2"), 2);
        QVERIFY(provider.contains("2") && !provider.contains(QString::number(expected.size())));
        QCOMPARE(provider.insertNewItem(99).id(), QString::number(expected.size()));
    }

    void aggregateFollowsItsColumn()
    {
        load(service(0, "n0", " b ") + service(1, "n1", "R&B") + service(2, "n2", "b") + service(3, "n3"));
        AgregateModel aggregate(model, 2, QString(), nullptr);
        QAbstractItemModelTester tester(&aggregate);
        QCOMPARE(column(&aggregate, 0), QStringList({"R&B", "b"}));
        // plain text in every role
        QCOMPARE(aggregate.index(0, 0).data(Qt::EditRole).toString(), QString("R&B"));
        QPersistentModelIndex b(aggregate.index(1, 0));
        QVERIFY(model->setData(model->index(1, 2), "c", Qt::EditRole));
        QCOMPARE(column(&aggregate, 0), QStringList({"b", "c"}));
        QCOMPARE(b.row(), 0); // the selection follows its value
        QVERIFY(model->setData(model->index(1, 1), "other column", Qt::EditRole));
        QCOMPARE(column(&aggregate, 0), QStringList({"b", "c"}));
        AgregateModel withExtra(model, 2, "Unspecified", nullptr);
        QCOMPARE(column(&withExtra, 0), QStringList({"Unspecified", "b", "c"}));
        // a change ending before or starting after the column is no rebuild
        QSignalSpy layout(&aggregate, &QAbstractItemModel::layoutChanged);
        emit model->dataChanged(model->index(0, 3), model->index(0, 4));
        emit model->dataChanged(model->index(0, 0), model->index(0, 1));
        QCOMPARE(layout.count(), 0);
        emit model->dataChanged(model->index(0, 1), model->index(0, 3));
        QCOMPARE(layout.count(), 1);
        // stopped, it keeps its values until tracking resumes, and it is connected once however often asked
        aggregate.stopTracking();
        QVERIFY(model->setData(model->index(0, 2), "y", Qt::EditRole));
        emit model->layoutAboutToBeChanged();
        emit model->layoutChanged();
        QCOMPARE(column(&aggregate, 0), QStringList({"b", "c"}));
        aggregate.setTracking(true);
        aggregate.setTracking(true);
        layout.clear();
        QVERIFY(model->setData(model->index(3, 2), "w", Qt::EditRole));
        QCOMPARE(layout.count(), 1);
        QCOMPARE(column(&aggregate, 0), QStringList({"b", "c", "w", "y"}));
    }

    void listPositions()
    {
        load(service(0, "A") + service(1, "B") + service(2, "C") + service(3, "D"));
        proxy->setListOrder({2, 0});
        QCOMPARE(column(proxy.get(), 0), QStringList({"2", "", "1", ""}));
        QVERIFY(proxy->index(1, 0).data().toString().isNull());
        // entries not on the list keep their order after those on it
        proxy->sort(0, Qt::AscendingOrder);
        QCOMPARE(column(proxy.get(), 1), QStringList({"C", "A", "B", "D"}));
        proxy->setListOrder({3});
        QCOMPARE(column(proxy.get(), 1), QStringList({"C", "A", "B", "D"})); // kept until sorted again
        proxy->sort(0, Qt::DescendingOrder);
        QCOMPARE(column(proxy.get(), 1).last(), QString("D"));
        proxy->sort(0, Qt::AscendingOrder);
        QCOMPARE(column(proxy.get(), 1), QStringList({"D", "A", "B", "C"}));
        QCOMPARE(proxy->visibleIds(), QList<int>({3, 0, 1, 2}));
        QCOMPARE(proxy->idsOfIndexes({proxy->index(2, 1), proxy->index(0, 4)}), QList<int>({1, 3}));
    }

    void naturalOrder_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("name") << 1 << QStringList({"x2", "x3", "x10"});
        QTest::newRow("provider") << 2 << QStringList({"x2", "x3", "x10"});
        QTest::newRow("genres") << 3 << QStringList({"x10", "x2", "x3"});
    }
    void naturalOrder()
    {
        QFETCH(int, column);
        QFETCH(QStringList, expected);
        load(service(0, "x10", "x10", "x10") + service(1, "x2", "x2", "x2") + service(2, "x3", "x3", "x3"));
        proxy->sort(column, Qt::AscendingOrder);
        QCOMPARE(this->column(proxy.get(), column), expected);
        // an edit and a new entry take their sorted places
        QVERIFY(model->setData(model->index(0, column), "x1", Qt::EditRole));
        QCOMPARE(this->column(proxy.get(), column).first(), QString("x1"));
        proxy->sort(1, Qt::DescendingOrder);
        model->appendNewItem();
        QCOMPARE(this->column(proxy.get(), 1).last(), QString("New TV service 3"));
    }

    void valueFilters_data()
    {
        QTest::addColumn<bool>("multiValue");
        QTest::addColumn<QStringList>("accepted");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("nothing checked") << true << QStringList() << QStringList({"A", "B", "C", "D", "E"});
        QTest::newRow("second genre") << true << QStringList({"Sport"}) << QStringList({"A", "B"});
        QTest::newRow("first genre") << true << QStringList({"News"}) << QStringList({"A", "B", "D"});
        QTest::newRow("empty cell") << true << QStringList({""}) << QStringList({"C"});
        QTest::newRow("single value exact") << false << QStringList({"News"}) << QStringList({"D"});
        QTest::newRow("single value, case") << false << QStringList({"news"}) << QStringList();
    }
    void valueFilters()
    {
        QFETCH(bool, multiValue);
        QFETCH(QStringList, accepted);
        QFETCH(QStringList, shown);
        load(service(0, "A", "", "News;Sport") + service(1, "B", "", "News; Sport") + service(2, "C") +
             service(3, "D", "", "News") + service(4, "E", "", "Film;"));
        QList<ColumnFilter> filters{ColumnFilter(3, nullptr, multiValue, true, accepted)};
        proxy->setColumnFilters(&filters);
        QCOMPARE(column(proxy.get(), 1), shown);
        proxy->setColumnFilters(nullptr);
        QCOMPARE(proxy->rowCount(), 5);
    }

    void search()
    {
        load(service(0, "Sky*News") + service(1, "SkyNews") + service(2, "BBC", "sky?"));
        proxy->setItemsSearchFilter("*");
        QCOMPARE(column(proxy.get(), 1), QStringList({"Sky*News"}));
        proxy->setItemsSearchFilter("SKY");
        QCOMPARE(proxy->rowCount(), 3);
        proxy->setItemsSearchFilter("y?");
        QCOMPARE(column(proxy.get(), 1), QStringList({"BBC"}));
        proxy->setListOrder({0});
        proxy->setItemsSearchFilter("1"); // the list position is not searched, the id is
        QCOMPARE(column(proxy.get(), 1), QStringList({"SkyNews"}));
    }

    void restrictions()
    {
        load(service(0, "Ext", "", "", "External source") + service(1, "Ana", "", "", "Analog") +
             service(2, "Sat", "", "", "Satellite"));
        auto editable = [&](int row) {
            QList<int> columns;
            for (int c = 0; c < 9; ++c) {
                if (proxy->flags(proxy->index(row, c)) & Qt::ItemIsEditable)
                    columns << c;
            }
            return columns;
        };
        QCOMPARE(editable(0), QList<int>({1, 2, 3, 4, 5, 6, 8}));
        proxy->setEditRestricted(true);
        QCOMPARE(editable(0), QList<int>({5, 6}));
        // genres open their multiple-choice editor in the table, except on an external source
        QCOMPARE(editable(1), QList<int>({1, 3, 4, 5, 6, 8}));
        QCOMPARE(editable(2), QList<int>({1, 2, 3, 4, 5, 6, 8}));
    }

    void dragInViewOrder()
    {
        load(service(0, "A") + service(1, "B") + service(2, "C"));
        proxy->sort(1, Qt::DescendingOrder);
        std::unique_ptr<QMimeData> data(proxy->mimeData({proxy->index(2, 1), proxy->index(0, 1)}));
        const QByteArray bytes = data->data("TV_item");
        QVERIFY(bytes.indexOf(payload({"<name>C"}).mid(4)) < bytes.indexOf(payload({"<name>A"}).mid(4)));
        QVERIFY(proxy->dropMimeData(data.get(), Qt::CopyAction, 0, 0, QModelIndex()));
        QCOMPARE(proxy->rowCount(), 5);
    }
};

OMBRELAY_TEST_MAIN(TestItemsDatabaseModel)
#include "tst_itemsdatabasemodel.moc"
