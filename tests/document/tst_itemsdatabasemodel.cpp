#include "testmain.h"

#include "servicesfixture.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QDataStream>
#include <QMimeData>
#include <QSignalSpy>

class TestItemsDatabaseModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServicesFixture> fixture;
    std::unique_ptr<QAbstractItemModelTester> tester;

    void load(const QString &items, const QString &lists = QString())
    {
        fixture = std::make_unique<ServicesFixture>(items, lists);
        tester = std::make_unique<QAbstractItemModelTester>(&fixture->model,
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    static QString four()
    {
        return ServicesFixture::service(0, "A", "P1") + ServicesFixture::service(1, "B", "P2") +
               ServicesFixture::service(2, "C", "P1") + ServicesFixture::service(3, "D", "P3");
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
        tester.reset();
        fixture.reset();
    }

    void basics()
    {
        load(four());
        ServicesModel &model = fixture->model;
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.columnCount(), 9);
        QCOMPARE(model.data(model.index(1, 1), Qt::DisplayRole).toString(), QString("B"));
        QVERIFY(!model.data(QModelIndex(), Qt::DisplayRole).isValid());
        QVERIFY(!model.headerData(9, Qt::Horizontal, Qt::DisplayRole).isValid());
        // drops land between rows, never on an entry
        QCOMPARE(model.flags(QModelIndex()), Qt::ItemFlags(Qt::ItemIsDropEnabled));
        QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsDropEnabled));
        QCOMPARE(model.indexById("2", 1), model.index(2, 1));
        QVERIFY(!model.indexById("20", 1).isValid());
        QCOMPARE(model.dataById("3", 2, Qt::DisplayRole).toString(), QString("P3"));
        QVERIFY(!model.dataById("30", 2, Qt::DisplayRole).isValid());
        QVERIFY(model.setDataById("3", 1, "DD", Qt::EditRole));
        QVERIFY(!model.setDataById("30", 1, "DD", Qt::EditRole));
        QCOMPARE(fixture->names(), QStringList({"A", "B", "C", "DD"}));
        // the read-only colour is for read-only cells only
        QVERIFY(!model.data(model.index(0, 7), Qt::ForegroundRole).isValid());
        model.setReadOnlyColor(QColor(99, 99, 99, 255));
        QCOMPARE(model.data(model.index(0, 7), Qt::ForegroundRole).value<QBrush>(), QBrush(QColor(99, 99, 99)));
        QVERIFY(!model.data(model.index(0, 1), Qt::ForegroundRole).isValid());
    }

    void setDataSignals()
    {
        load(four());
        ServicesModel &model = fixture->model;
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(!model.setData(model.index(0, 1), "A", Qt::EditRole));
        QCOMPARE(changed.count(), 0);
        QVERIFY(!model.setData(model.index(0, 1), "X", Qt::ToolTipRole));
        QVERIFY(model.setData(model.index(0, 1), "X", Qt::EditRole));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(0, 1));
        changed.clear();
        QVERIFY(model.setData(model.index(2, 5), true, Qt::EditRole));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(2, 5));
        QCOMPARE(changed.at(1).at(0).toModelIndex(), model.index(2, 6));
        QCOMPARE(changed.at(1).at(1).toModelIndex(), model.index(2, 6));
        QCOMPARE(fixture->provider.itemAt(2).value("parentLock"), QString("1"));
    }

    void indexColumn()
    {
        load(four(), "<list id='0'><ref>1</ref><ref>3</ref></list>");
        ServicesModel &model = fixture->model;
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(!model.setData(model.index(1, 8), "3", Qt::EditRole)); // taken
        QVERIFY(!model.setData(model.index(1, 8), "x", Qt::EditRole));
        QVERIFY(!model.setData(model.index(1, 8), "-1", Qt::EditRole));
        QCOMPARE(changed.count(), 0);
        QVERIFY(model.setData(model.index(1, 8), "17", Qt::EditRole));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(fixture->ids(), QStringList({"0", "17", "2", "3"}));
        QCOMPARE(fixture->document.lists.firstChildElement().firstChildElement().text(), QString("17"));
        QCOMPARE(model.dataById("17", 1, Qt::DisplayRole).toString(), QString("B"));
        // new entries never take the id that was set by hand
        for (int i = 0; i < 20; ++i)
            QVERIFY(model.appendNewItem() != QString("17"));
    }

    void removeRowsAnnounces()
    {
        load(four() + ServicesFixture::service(4, "E") + ServicesFixture::service(5, "F"));
        ServicesModel &model = fixture->model;
        QStringList announced;
        connect(&model, &ItemsDatabaseModel::itemRemoved, this, [&](const QString &id) {
            // every entry of the range is still there when any of them is announced
            QCOMPARE(fixture->provider.count(), 6);
            QVERIFY(fixture->provider.indexOf(id) >= 0);
            announced << id;
        });
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QVERIFY(model.removeRows(2, 3));
        QCOMPARE(announced, QStringList({"2", "3", "4"}));
        QCOMPARE(fixture->ids(), QStringList({"0", "1", "5"}));
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(1).toInt(), 2);
        QCOMPARE(removed.at(0).at(2).toInt(), 4);
        QCOMPARE(model.dataById("5", 1, Qt::DisplayRole).toString(), QString("F"));
        QVERIFY(!model.indexById("3", 1).isValid());
    }

    void payloadBytes()
    {
        load(ServicesFixture::service(0, "A"));
        ServicesModel &model = fixture->model;
        std::unique_ptr<QMimeData> empty(model.mimeData({}));
        const QByteArray bytes = empty->data("TV_item");
        QCOMPARE(bytes.toHex(' '), QByteArray("00 00 00 0e 00 3c 00 69 00 74 00 65 00 6d 00 73 00 3e 00 00 00 10 00 3c "
                                              "00 2f 00 69 00 74 00 65 00 6d 00 73 00 3e"));
        QCOMPARE(model.mimeTypes(), QStringList({"TV_item@" + model.modelId(), "TV_item"}));
        QCOMPARE(empty->formats(), QStringList({"TV_item", "TV_item@" + model.modelId()}));
        QCOMPARE(empty->data("TV_item@" + model.modelId()), bytes);
    }

    void dragOrder()
    {
        load(four());
        ServicesModel &model = fixture->model;
        const QModelIndexList indexes{model.index(2, 1), model.index(0, 1), model.index(2, 3)};
        std::unique_ptr<QMimeData> data(model.mimeData(indexes));
        const QByteArray expected =
            payload({"<items>", "<tvService id=\"2\">\n<name>C</name>\n<provider>P1</provider>\n</tvService>\n",
                     "<tvService id=\"0\">\n<name>A</name>\n<provider>P1</provider>\n</tvService>\n", "</items>"});
        QCOMPARE(data->data("TV_item"), expected);
        model.setSortDraggedRows(true);
        data.reset(model.mimeData(indexes));
        QVERIFY(data->data("TV_item").indexOf(QByteArray("\0\"\0"
                                                         "0",
                                                         4)) < data->data("TV_item").indexOf(QByteArray("\0\"\0"
                                                                                                        "2",
                                                                                                        4)));
    }

    void dropCopies()
    {
        load(four());
        ServicesFixture other(ServicesFixture::service(7, "X"));
        std::unique_ptr<QMimeData> data(other.model.mimeData({other.model.index(0, 0)}));
        QSignalSpy inserted(&fixture->model, &ItemsDatabaseModel::itemInserted);
        QVERIFY(fixture->model.dropMimeData(data.get(), Qt::CopyAction, 1, 0, QModelIndex()));
        QCOMPARE(fixture->ids(), QStringList({"0", "4", "1", "2", "3"}));
        QCOMPARE(fixture->names().at(1), QString("New TV service 4"));
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(0).toString(), QString(""));
        QVERIFY(fixture->model.dropMimeData(data.get(), Qt::MoveAction, -1, 0, QModelIndex()));
        QCOMPARE(fixture->ids().last(), QString("5"));
        QVERIFY(!fixture->model.dropMimeData(data.get(), Qt::LinkAction, -1, 0, QModelIndex()));
        QVERIFY(!fixture->model.dropMimeData(data.get(), Qt::IgnoreAction, -1, 0, QModelIndex()));
        QCOMPARE(fixture->model.rowCount(), 6);
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
        QVERIFY(!fixture->model.dropMimeData(&data, Qt::MoveAction, 0, 0, QModelIndex()));
        QCOMPARE(fixture->document.toString(), before);
    }

    void nullStringsInPayload()
    {
        load(four());
        QByteArray bytes = payload({"<items>"});
        bytes += QByteArray("\xff\xff\xff\xff", 4);
        bytes += payload({"<tvService/>", "</items>"});
        QMimeData data;
        data.setData("TV_item", bytes);
        QVERIFY(fixture->model.dropMimeData(&data, Qt::CopyAction, -1, 0, QModelIndex()));
        QCOMPARE(fixture->model.rowCount(), 5);
    }

    void uniqueKey()
    {
        load(four());
        ServicesModel &model = fixture->model;
        model.setUniqueKey("provider");
        QStringList removed;
        connect(&model, &ItemsDatabaseModel::itemRemoved, this, [&](const QString &id) { removed << id; });
        QDomDocument source;
        source.setContent(QString("<items><tvService><name>n1</name><provider>P1</provider></tvService>"
                                  "<tvService><name>n2</name><provider>P1</provider></tvService>"
                                  "<tvService><name>n3</name><provider>P1</provider></tvService></items>"));
        QList<DocItem> batch;
        for (QDomElement e = source.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            batch << DocItem(e);
        // rows 0 and 2 hold P1; inserting before row 3 (D) lands the copy just before D
        const QStringList ids = model.insertItems(3, batch);
        QCOMPARE(ids.size(), 1);
        QCOMPARE(batch.size(), 1);
        QCOMPARE(removed, QStringList({"0", "2"}));
        QCOMPARE(fixture->ids(), QStringList({"1", ids.first(), "3"}));
        model.clearUniqueKey();
        QList<DocItem> again{batch.first()};
        model.insertItems(0, again);
        QCOMPARE(model.rowCount(), 4);
        // empty keys count as equal
        model.setUniqueKey("genres");
        QList<DocItem> one{DocItem(source.documentElement().firstChildElement())};
        model.insertItems(-1, one);
        QCOMPARE(model.rowCount(), 1);
    }

    void retranslateAndProvider()
    {
        load(four());
        ServicesModel &model = fixture->model;
        model.itemProperties().at(1)->name = "changed";
        model.retranslate();
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Name"));
        ListDocument empty(ListDocument::emptyDocumentXml(1));
        DocItemsDataProvider none(empty.items, "tvService", true);
        QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
        QPersistentModelIndex kept(model.index(3, 1));
        model.setDataProvider(&none);
        QCOMPARE(layout.count(), 1);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!kept.isValid());
        model.setDataProvider(&fixture->provider);
    }
};

OMBRELAY_TEST_MAIN(TestItemsDatabaseModel)
#include "tst_itemsdatabasemodel.moc"
