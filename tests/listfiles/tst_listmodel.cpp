#include "testmain.h"

#include "document/docitemsdataprovider.h"
#include "document/itemproperty.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/listmodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "listfixtures.h"
#include "widgets/itemstableview.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QRegularExpression>
#include <QSignalSpy>

#include <algorithm>
#include <memory>

using namespace ListFixtures;

namespace {
// tvDocument() with other favourite lists and, when given, other entries.
QString withLists(const QString &lists, const QString &items = QString())
{
    const auto all = QRegularExpression::DotMatchesEverythingOption;
    QString text = tvDocument().replace(QRegularExpression("<lists>.*</lists>", all), "<lists>" + lists + "</lists>");
    return items.isNull() ? text
                          : text.replace(QRegularExpression("<items>.*</items>", all), "<items>" + items + "</items>");
}

// One open document with a model per favourite list, as the list tabs build them.
struct OpenLists
{
    explicit OpenLists(QWidget *parent, const QString &text = tvDocument())
        : manager(parent)
    {
        QVERIFY(manager.newProject(text));
        const QDomNodeList elements = manager.document->lists.elementsByTagName(QStringLiteral("list"));
        for (int i = 0; i < elements.size(); ++i) {
            providers.emplace_back(new DocItemsDataProvider(elements.at(i).toElement(), QStringLiteral("ref"), false));
            models.append(new ListModel(manager.itemsModel, providers.back().get(), QStringLiteral("_ref"), &manager));
            models.last()->setColumns({&nameColumn});
            testers.emplace_back(new QAbstractItemModelTester(models.last()));
        }
        testers.emplace_back(new QAbstractItemModelTester(manager.itemsModel));
    }
    ~OpenLists()
    {
        testers.clear();
        qDeleteAll(models);
    }
    QStringList refs(int list) const
    {
        QStringList result;
        for (int row = 0; row < models.at(list)->rowCount(); ++row)
            result << models.at(list)->dataProvider()->itemAt(row).value(QString());
        return result;
    }
    // Drops a drag of the given rows of the source model onto a list, at a row.
    bool drop(QAbstractItemModel *from, const QList<int> &rows, int list, Qt::DropAction action, int row = -1)
    {
        QModelIndexList indexes;
        for (int r : rows)
            indexes << from->index(r, 0);
        std::unique_ptr<QMimeData> data(from->mimeData(indexes));
        return models.at(list)->dropMimeData(data.get(), action, row, 0, QModelIndex());
    }

    TVListProjectFileManager manager;
    // Shows the referenced entry's name, as the list tabs' reference columns do.
    ItemProperty nameColumn{"Name",    "Name",  QString(), 69, Qt::ItemIsEnabled | Qt::ItemIsDragEnabled,
                            QString(), nullptr, 1};
    std::vector<std::unique_ptr<DocItemsDataProvider>> providers;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    QList<ListModel *> models;
};
} // namespace

// Entry rows of tvDocument(): 0 is id 0, 1 is id 1, 2 is id 5.
class TestListModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<ManagerSession> session;
    QWidget *parent = nullptr;

private slots:
    void init()
    {
        session = std::make_unique<ManagerSession>();
        parent = &session->parent;
    }
    void cleanup() { session.reset(); }

    void dropsWithinADocument()
    {
        OpenLists open(parent);
        ListItemsDatabaseModel *items = open.manager.itemsModel;
        QSignalSpy dropped(open.models.at(2), &ListModel::itemDropped);
        QSignalSpy layout(open.models.at(0), &QAbstractItemModel::layoutChanged);
        QVERIFY(open.drop(items, {2, 0}, 2, Qt::CopyAction));
        QCOMPARE(open.refs(2), (QStringList{"5", "0"}));
        QCOMPARE(dropped.count(), 1);
        // dropped again: no duplicates, the refs move to the drop row; moved within the list
        QVERIFY(open.drop(items, {2, 0}, 2, Qt::CopyAction, 0));
        QVERIFY(open.drop(items, {1}, 2, Qt::LinkAction, 1));
        QCOMPARE(open.refs(2), (QStringList{"5", "1", "0"}));
        QVERIFY(open.drop(open.models.at(2), {0}, 2, Qt::MoveAction, 2));
        QCOMPARE(open.refs(2), (QStringList{"1", "5", "0"}));
        // from one list to another
        QVERIFY(open.drop(open.models.at(0), {1}, 1, Qt::CopyAction, 0));
        QCOMPARE(open.refs(1), (QStringList{"5", "12", "x", "7"}));
        QCOMPARE(open.refs(0), (QStringList{"0", "5"}));
        // no entry was copied, and a link drop onto the items table is refused
        std::unique_ptr<QMimeData> one(items->mimeData({items->index(1, 0)}));
        QVERIFY(!items->dropMimeData(one.get(), Qt::LinkAction, -1, -1, QModelIndex()));
        QCOMPARE(items->rowCount(), 3);
        // the lists follow edits of their entries
        layout.clear();
        QVERIFY(items->setData(items->index(0, 1), "Erste", Qt::EditRole));
        QCOMPARE(layout.count(), 1);
    }

    void betweenDocuments()
    {
        OpenLists source(
            parent, withLists("<list id='0'/><list id='1'><ref>1</ref><ref>12</ref><ref>x</ref><ref>7</ref></list>"));
        OpenLists target(parent, withLists("<list id='0'/><list id='1'/>", ""));
        // of four refs only one names an entry of the source: it comes in with a new id, and only its ref
        QSignalSpy dropped(target.models.at(1), &ListModel::itemDropped);
        QVERIFY(target.drop(source.models.at(1), {0, 1, 2, 3}, 1, Qt::CopyAction));
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(target.manager.itemsModel->rowCount(), 1);
        QCOMPARE(target.manager.itemsDataProvider()->itemAt(0).id(), QStringLiteral("0"));
        QCOMPARE(target.refs(1), QStringList{"0"});
        QCOMPARE(target.manager.itemsModel->index(0, 2).data().toString(), QStringLiteral("ZDF"));
        // entries dragged from the other document's items table are copied in and listed
        QVERIFY(target.drop(source.manager.itemsModel, {2, 0}, 0, Qt::CopyAction));
        QCOMPARE(target.refs(0), (QStringList{"1", "2"}));
        QCOMPARE(target.manager.itemsDataProvider()->itemAt(1).value(QStringLiteral("provider")),
                 QStringLiteral("ARD"));
        QCOMPARE(source.manager.itemsModel->rowCount(), 3);
    }

    void refusedDrops()
    {
        OpenLists open(parent);
        ListModel *list = open.models.at(0);
        QSignalSpy dropped(list, &ListModel::itemDropped);
        QMimeData foreign;
        foreign.setData(QStringLiteral("text/plain"), "5");
        QVERIFY(!list->dropMimeData(&foreign, Qt::CopyAction, -1, -1, QModelIndex()));
        QVERIFY(!open.drop(list, {0}, 0, Qt::IgnoreAction));
        // a payload that does not parse inserts nothing and is no accepted drop, so a move keeps its rows
        QMimeData broken;
        broken.setData(QStringLiteral("_ref"), "garbage");
        QVERIFY(!list->dropMimeData(&broken, Qt::MoveAction, -1, -1, QModelIndex()));
        QCOMPARE(open.refs(0), (QStringList{"0", "5"}));
        QCOMPARE(dropped.count(), 0);
    }

    void removalCascades_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("runs");
        QTest::newRow("one entry listed three times") << 2 << 1 << QStringList{"1", "0", "1"} << 3;
        QTest::newRow("every entry in one removal") << 0 << 3 << QStringList() << 1;
    }
    void removalCascades()
    {
        QFETCH(int, row);
        QFETCH(int, count);
        QFETCH(QStringList, left);
        QFETCH(int, runs);
        OpenLists open(parent, withLists("<list id='0'><ref>0</ref><ref>5</ref></list><list id='1'><ref>12</ref></list>"
                                         "<list id='2'><ref>5</ref><ref>1</ref><ref>5</ref><ref>0</ref><ref>5</ref>"
                                         "<ref>1</ref></list>"));
        ListModel *list = open.models.at(2);
        QSignalSpy refsRemoved(list, &QAbstractItemModel::rowsRemoved);
        QSignalSpy listAnnounced(list, &ItemsDatabaseModel::itemRemoved);
        QStringList refsDuringRemoval;
        connect(open.manager.itemsModel, &ItemsDatabaseModel::itemRemoved, this,
                [&] { refsDuringRemoval << QString::number(list->rowCount()); });
        QVERIFY(open.manager.itemsModel->removeRows(row, count));
        // the refs stay until the entries are gone, then go as one run per adjacent block
        QCOMPARE(refsDuringRemoval, QStringList(count, "6"));
        QCOMPARE(open.refs(2), left);
        QCOMPARE(refsRemoved.count(), runs);
        QCOMPARE(listAnnounced.count(), 0);
        QCOMPARE(open.refs(1), QStringList{"12"});
    }

    void deleteThroughTheItemsTable()
    {
        // twelve entries whose names sort in another order than the document's, and two lists
        QString items;
        for (int i = 0; i < 12; ++i)
            items += QStringLiteral("<tvService id='%1'><name>Service %2</name></tvService>").arg(i).arg(i * 5 % 12);
        OpenLists open(parent, withLists("<list id='0'><ref>0</ref><ref>3</ref><ref>6</ref><ref>9</ref><ref>3</ref>"
                                         "</list><list id='1'><ref>1</ref><ref>2</ref><ref>4</ref><ref>11</ref></list>",
                                         items));
        ItemsTableView table(parent);
        table.setModel(open.manager.itemsModel);
        table.sortByColumn(1, Qt::AscendingOrder);
        QAbstractItemModel *shown = table.model();
        QAbstractItemModelTester proxyTester(shown);
        QStringList doomed;
        for (int row : {0, 2, 3, 7, 11}) {
            table.selectionModel()->select(shown->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
            doomed << shown->index(row, 8).data().toString();
        }
        QSignalSpy announced(open.manager.itemsModel, &ItemsDatabaseModel::itemRemoved);
        table.action(STableView::Delete)->trigger();
        QCOMPARE(shown->rowCount(), 7);
        QStringList gone;
        for (const QList<QVariant> &signal : std::as_const(announced))
            gone << signal.at(0).toString();
        std::sort(gone.begin(), gone.end());
        std::sort(doomed.begin(), doomed.end());
        QCOMPARE(gone, doomed);
        // every list lost exactly the refs of the deleted entries
        const QList<QStringList> before{{"0", "3", "6", "9", "3"}, {"1", "2", "4", "11"}};
        for (int list = 0; list < 2; ++list) {
            QStringList expected = before.at(list);
            expected.removeIf([&](const QString &ref) { return doomed.contains(ref); });
            QCOMPARE(open.refs(list), expected);
        }
    }
};

OMBRELAY_TEST_MAIN(TestListModel)
#include "tst_listmodel.moc"
