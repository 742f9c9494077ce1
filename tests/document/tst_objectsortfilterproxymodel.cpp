#include "testmain.h"

#include "document/objectsortfilterproxymodel.h"
#include "servicesfixture.h"

#include <QAbstractItemModelTester>
#include <QDataStream>
#include <QMimeData>

class TestObjectSortFilterProxyModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServicesFixture> fixture;
    std::unique_ptr<ObjectSortFilterProxyModel> proxy;
    std::unique_ptr<QAbstractItemModelTester> tester;

    void load(const QString &items)
    {
        fixture = std::make_unique<ServicesFixture>(items);
        proxy = std::make_unique<ObjectSortFilterProxyModel>();
        tester = std::make_unique<QAbstractItemModelTester>(proxy.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy->setSourceModel(&fixture->model);
    }

    QStringList column(int c)
    {
        QStringList texts;
        for (int row = 0; row < proxy->rowCount(); ++row)
            texts << proxy->index(row, c).data().toString();
        return texts;
    }

    static QString service(int id, const QString &name, const QString &provider = QString(),
                           const QString &genres = QString(), const QString &type = QString())
    {
        return QStringLiteral("<tvService id='%1' stype='%5'><name>%2</name><provider>%3</provider>"
                              "<genres>%4</genres></tvService>")
            .arg(QString::number(id), name, provider, genres, type);
    }

private slots:
    void cleanup()
    {
        tester.reset();
        proxy.reset();
        fixture.reset();
    }

    void listPositions()
    {
        load(service(0, "A") + service(1, "B") + service(2, "C") + service(3, "D"));
        proxy->setListOrder({2, 0});
        QCOMPARE(column(0), QStringList({"2", "", "1", ""}));
        QVERIFY(proxy->index(1, 0).data().toString().isNull());
        proxy->sort(0, Qt::AscendingOrder);
        QCOMPARE(column(1), QStringList({"C", "A", "B", "D"}));
        proxy->setListOrder({3});
        QCOMPARE(column(1), QStringList({"C", "A", "B", "D"})); // kept until sorted again
        QCOMPARE(column(0), QStringList({"", "", "", "1"}));
        proxy->sort(0, Qt::DescendingOrder);
        QCOMPARE(column(1).last(), QString("D"));
        proxy->sort(0, Qt::AscendingOrder);
        QCOMPARE(column(1), QStringList({"D", "A", "B", "C"}));
        QCOMPARE(proxy->visibleIds(), QList<int>({3, 0, 1, 2}));
        QCOMPARE(proxy->idsOfIndexes({proxy->index(2, 1), proxy->index(0, 4)}), QList<int>({1, 3}));
    }

    void naturalOrder_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("name") << 1 << QStringList({"x2", "x10"});
        QTest::newRow("provider") << 2 << QStringList({"x2", "x10"});
        QTest::newRow("genres") << 3 << QStringList({"x10", "x2"});
    }

    void naturalOrder()
    {
        QFETCH(int, column);
        QFETCH(QStringList, expected);
        load(service(0, "x10", "x10", "x10") + service(1, "x2", "x2", "x2"));
        proxy->sort(column, Qt::AscendingOrder);
        QCOMPARE(this->column(column), expected);
    }

    void resortAfterEdit()
    {
        load(service(0, "x10") + service(1, "x2") + service(2, "x3"));
        proxy->sort(1, Qt::AscendingOrder);
        QCOMPARE(column(1), QStringList({"x2", "x3", "x10"}));
        QVERIFY(fixture->model.setData(fixture->model.index(0, 1), "x1", Qt::EditRole));
        QCOMPARE(column(1), QStringList({"x1", "x2", "x3"}));
        proxy->sort(1, Qt::DescendingOrder);
        QCOMPARE(column(1), QStringList({"x3", "x2", "x1"}));
        fixture->model.appendNewItem();
        QCOMPARE(column(1), QStringList({"x3", "x2", "x1", "New TV service 3"}));
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
        QCOMPARE(column(1), shown);
        proxy->setColumnFilters(nullptr);
        QCOMPARE(proxy->rowCount(), 5);
    }

    void search()
    {
        load(service(0, "Sky*News") + service(1, "SkyNews") + service(2, "BBC", "sky?"));
        proxy->setItemsSearchFilter("*");
        QCOMPARE(column(1), QStringList({"Sky*News"}));
        proxy->setItemsSearchFilter("SKY");
        QCOMPARE(column(1), QStringList({"Sky*News", "SkyNews", "BBC"}));
        proxy->setItemsSearchFilter("y?");
        QCOMPARE(column(1), QStringList({"BBC"}));
        proxy->setListOrder({0});
        proxy->setItemsSearchFilter("1"); // the list position is not searched
        QCOMPARE(proxy->rowCount(), 1);
        QCOMPARE(column(1), QStringList({"SkyNews"})); // its id is
        proxy->setItemsSearchFilter("");
        QCOMPARE(proxy->rowCount(), 3);
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
        QCOMPARE(editable(1), QList<int>({1, 4, 5, 6, 8}));
        QCOMPARE(editable(2), QList<int>({1, 2, 4, 5, 6, 8}));
        QVERIFY(proxy->flags(proxy->index(2, 1)) & Qt::ItemIsEnabled);
    }

    void dragInViewOrder()
    {
        load(service(0, "A") + service(1, "B") + service(2, "C"));
        proxy->sort(1, Qt::DescendingOrder);
        std::unique_ptr<QMimeData> data(proxy->mimeData({proxy->index(2, 1), proxy->index(0, 1)}));
        QDataStream stream(data->data("TV_item"));
        QStringList parts;
        while (!stream.atEnd()) {
            QString part;
            stream >> part;
            parts << part;
        }
        QCOMPARE(parts.size(), 4);
        QVERIFY(parts.at(1).contains("<name>C</name>"));
        QVERIFY(parts.at(2).contains("<name>A</name>"));
        QVERIFY(proxy->dropMimeData(data.get(), Qt::CopyAction, 0, 0, QModelIndex()));
        QCOMPARE(proxy->rowCount(), 5);
    }
};

OMBRELAY_TEST_MAIN(TestObjectSortFilterProxyModel)
#include "tst_objectsortfilterproxymodel.moc"
