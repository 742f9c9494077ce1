#include "testmain.h"

#include "listfixtures.h"

#include "document/docitemsdataprovider.h"
#include "document/itemproperty.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/listmodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "widgets/itemstableview.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QSignalSpy>
#include <QWidget>

#include <algorithm>
#include <memory>

using namespace ListFixtures;

namespace {
// One open document with a model per favourite list, as the list tabs build them.
struct OpenLists
{
    explicit OpenLists(QWidget *parent, const QString &text = tvDocument())
        : manager(parent)
    {
        QVERIFY(manager.newProject(text));
        const QDomNodeList lists = manager.document->lists.elementsByTagName(QStringLiteral("list"));
        for (int i = 0; i < lists.size(); ++i) {
            providers.emplace_back(new DocItemsDataProvider(lists.at(i).toElement(), QStringLiteral("ref"), false));
            auto *model = new ListModel(manager.itemsModel, providers.back().get(), QStringLiteral("_ref"), &manager);
            model->setColumns({&nameColumn});
            models.append(model);
            testers.emplace_back(
                new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest));
        }
    }
    ~OpenLists()
    {
        testers.clear();
        qDeleteAll(models);
    }
    QStringList refs(int list) const
    {
        QStringList result;
        ListModel *model = models.at(list);
        for (int row = 0; row < model->rowCount(); ++row)
            result << model->dataProvider()->itemAt(row).value(QString());
        return result;
    }
    QModelIndex itemRow(const QString &id) const { return manager.itemsModel->indexById(id, 1); }

    TVListProjectFileManager manager;
    // Shows the referenced entry's name, as the list tabs' reference columns do.
    ItemProperty nameColumn{QStringLiteral("Name"),
                            QStringLiteral("Name"),
                            QString(),
                            69,
                            Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled,
                            QString(),
                            nullptr,
                            1};
    std::vector<std::unique_ptr<DocItemsDataProvider>> providers;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    QList<ListModel *> models;
};
} // namespace

class TestListModel : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        session = std::make_unique<ManagerSession>();
        parent = &session->parent;
    }
    void cleanup() { session.reset(); }

    void headerAndFormats()
    {
        OpenLists open(parent);
        open.nameColumn.lookupModel = open.manager.itemsModel;
        ListModel *list = open.models.at(0);
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->data(list->index(1, 0), Qt::DisplayRole).toString(), QStringLiteral("Arte"));
        QCOMPARE(list->headerData(2, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("3"));
        QCOMPARE(list->mimeTypes(),
                 (QStringList{list->mimeTypeWithId(), QStringLiteral("_ref"), open.manager.itemsModel->mimeTypeWithId(),
                              open.manager.itemsModel->mimeType()}));

        // A drag from a list carries the refs and the entries they name.
        std::unique_ptr<QMimeData> data(list->mimeData({list->index(1, 0), list->index(0, 0), list->index(1, 0)}));
        const QDomDocument refs = list->readDroppedItems(data->data(QStringLiteral("_ref")));
        QCOMPARE(refs.documentElement().childNodes().size(), 2);
        QCOMPARE(refs.documentElement().firstChild().toElement().text(), QStringLiteral("0"));
        QVERIFY(data->hasFormat(list->mimeTypeWithId()));
        const QDomDocument items = list->readDroppedItems(data->data(open.manager.itemsModel->mimeType()));
        const QDomNodeList services = items.elementsByTagName(QStringLiteral("tvService"));
        QCOMPARE(services.size(), 2);
        QCOMPARE(services.at(0).toElement().attribute(QStringLiteral("id")), QStringLiteral("0"));
        QCOMPARE(services.at(1).toElement().attribute(QStringLiteral("id")), QStringLiteral("5"));
        QVERIFY(data->hasFormat(open.manager.itemsModel->mimeTypeWithId()));
    }

    void itemsOntoList()
    {
        OpenLists open(parent);
        ListModel *list = open.models.at(2);
        QSignalSpy dropped(list, &ListModel::itemDropped);
        std::unique_ptr<QMimeData> data(open.manager.itemsModel->mimeData({open.itemRow("5"), open.itemRow("0")}));
        QVERIFY(list->dropMimeData(data.get(), Qt::CopyAction, -1, -1, QModelIndex()));
        QCOMPARE(open.refs(2), (QStringList{"5", "0"}));
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(open.manager.itemsModel->rowCount(), 3); // no entry was copied

        // Dropped again: no duplicates, the refs move to the drop row.
        QVERIFY(list->dropMimeData(data.get(), Qt::CopyAction, 0, 0, QModelIndex()));
        QCOMPARE(open.refs(2), (QStringList{"5", "0"}));
        std::unique_ptr<QMimeData> one(open.manager.itemsModel->mimeData({open.itemRow("1")}));
        QVERIFY(list->dropMimeData(one.get(), Qt::LinkAction, 1, 0, QModelIndex()));
        QCOMPARE(open.refs(2), (QStringList{"5", "1", "0"}));

        // A link drop onto the items table is refused.
        QVERIFY(!open.manager.itemsModel->dropMimeData(one.get(), Qt::LinkAction, -1, -1, QModelIndex()));
        QCOMPARE(open.manager.itemsModel->rowCount(), 3);
    }

    void moveWithinList_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("down") << 0 << 2 << QStringList{"5", "0", "1"};
        QTest::newRow("up") << 2 << 0 << QStringList{"1", "0", "5"};
        QTest::newRow("to the end") << 0 << -1 << QStringList{"5", "1", "0"};
    }
    void moveWithinList()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, expected);
        OpenLists open(parent);
        ListModel *list = open.models.at(0);
        std::unique_ptr<QMimeData> add(open.manager.itemsModel->mimeData({open.itemRow("1")}));
        QVERIFY(list->dropMimeData(add.get(), Qt::CopyAction, -1, -1, QModelIndex()));
        QCOMPARE(open.refs(0), (QStringList{"0", "5", "1"}));
        std::unique_ptr<QMimeData> drag(list->mimeData({list->index(from, 0)}));
        QVERIFY(list->dropMimeData(drag.get(), Qt::MoveAction, to, 0, QModelIndex()));
        QCOMPARE(open.refs(0), expected);
        QCOMPARE(open.manager.itemsModel->rowCount(), 3);
    }

    void betweenLists()
    {
        OpenLists open(parent);
        std::unique_ptr<QMimeData> drag(open.models.at(0)->mimeData({open.models.at(0)->index(1, 0)}));
        QVERIFY(open.models.at(2)->dropMimeData(drag.get(), Qt::CopyAction, -1, -1, QModelIndex()));
        QCOMPARE(open.refs(2), QStringList{"5"});
        QCOMPARE(open.refs(0), (QStringList{"0", "5"}));
        QCOMPARE(open.manager.itemsModel->rowCount(), 3);
    }

    void betweenDocuments()
    {
        OpenLists source(parent);
        OpenLists target(parent, ListDocument::emptyDocumentXml(2));
        // The source's list 1 names 12 and 7, which it does not hold; add entry 1 so one ref is real.
        std::unique_ptr<QMimeData> add(source.manager.itemsModel->mimeData({source.itemRow("1")}));
        QVERIFY(source.models.at(1)->dropMimeData(add.get(), Qt::CopyAction, 0, 0, QModelIndex()));
        QCOMPARE(source.refs(1), (QStringList{"1", "12", "x", "7"}));

        ListModel *from = source.models.at(1);
        std::unique_ptr<QMimeData> drag(
            from->mimeData({from->index(0, 0), from->index(1, 0), from->index(2, 0), from->index(3, 0)}));
        ListModel *to = target.models.at(1);
        QSignalSpy dropped(to, &ListModel::itemDropped);
        QVERIFY(to->dropMimeData(drag.get(), Qt::CopyAction, -1, -1, QModelIndex()));
        QCOMPARE(dropped.count(), 1);
        // The entry came in with a new id in the target, and only the ref to it was added.
        QCOMPARE(target.manager.itemsModel->rowCount(), 1);
        const QString newId = target.manager.itemsDataProvider()->itemAt(0).id();
        QCOMPARE(newId, QStringLiteral("0"));
        QCOMPARE(target.refs(1), QStringList{newId});
        QCOMPARE(target.manager.itemsModel->data(target.manager.itemsModel->index(0, 2), Qt::DisplayRole).toString(),
                 QStringLiteral("ZDF"));
        QCOMPARE(source.manager.itemsModel->rowCount(), 3);

        // Entries dragged from the other document's items table are copied in and listed.
        std::unique_ptr<QMimeData> items(
            source.manager.itemsModel->mimeData({source.itemRow("5"), source.itemRow("0")}));
        QVERIFY(target.models.at(0)->dropMimeData(items.get(), Qt::CopyAction, -1, -1, QModelIndex()));
        QCOMPARE(target.manager.itemsModel->rowCount(), 3);
        QCOMPARE(target.refs(0), (QStringList{"1", "2"}));
        QCOMPARE(target.manager.itemsDataProvider()->itemAt(1).value(QStringLiteral("provider")),
                 QStringLiteral("ARD"));
    }

    void refusedDrops()
    {
        OpenLists open(parent);
        ListModel *list = open.models.at(0);
        QSignalSpy dropped(list, &ListModel::itemDropped);
        QMimeData foreign;
        foreign.setData(QStringLiteral("text/plain"), "5");
        QVERIFY(!list->dropMimeData(&foreign, Qt::CopyAction, -1, -1, QModelIndex()));
        std::unique_ptr<QMimeData> drag(list->mimeData({list->index(0, 0)}));
        QVERIFY(!list->dropMimeData(drag.get(), Qt::IgnoreAction, -1, -1, QModelIndex()));
        // A payload that does not parse inserts nothing and is no accepted drop, so a move keeps its rows.
        QMimeData broken;
        broken.setData(QStringLiteral("_ref"), "garbage");
        QVERIFY(!list->dropMimeData(&broken, Qt::MoveAction, -1, -1, QModelIndex()));
        QCOMPARE(open.refs(0), (QStringList{"0", "5"}));
        QCOMPARE(dropped.count(), 0);
    }

    void deleteThroughTheItemsTable()
    {
        // twelve entries whose names sort in another order than the document's, and two lists
        QString items;
        for (int i = 0; i < 12; ++i)
            items +=
                QStringLiteral("<tvService id=\"%1\"><name>Service %2</name></tvService>").arg(i).arg((i * 5) % 12);
        const QString text = QStringLiteral("<TDocument><documentProperties/><items>%1</items><lists>"
                                            "<list id=\"0\"><ref>0</ref><ref>3</ref><ref>6</ref><ref>9</ref>"
                                            "<ref>3</ref></list><list id=\"1\"><ref>1</ref><ref>2</ref><ref>4</ref>"
                                            "<ref>11</ref></list><list id=\"2\"/></lists></TDocument>")
                                 .arg(items);
        OpenLists open(parent, text);
        QAbstractItemModelTester itemsTester(open.manager.itemsModel,
                                             QAbstractItemModelTester::FailureReportingMode::QtTest);
        ItemsTableView table(parent);
        table.setModel(open.manager.itemsModel);
        table.sortByColumn(1, Qt::AscendingOrder);
        QAbstractItemModel *shown = table.model();
        QAbstractItemModelTester proxyTester(shown, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QStringList doomed;
        for (int row : {0, 2, 3, 7, 11}) {
            table.selectionModel()->select(shown->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
            doomed << shown->index(row, 8).data().toString();
        }
        QSignalSpy announced(open.manager.itemsModel, &ItemsDatabaseModel::itemRemoved);
        table.action(STableView::Delete)->trigger();

        QCOMPARE(shown->rowCount(), 7);
        QStringList left;
        for (int row = 0; row < open.manager.itemsModel->rowCount(); ++row)
            left << open.manager.itemsDataProvider()->itemAt(row).id();
        QStringList gone;
        for (const QList<QVariant> &signal : std::as_const(announced))
            gone << signal.at(0).toString();
        std::sort(gone.begin(), gone.end());
        std::sort(doomed.begin(), doomed.end());
        QCOMPARE(gone, doomed);
        for (const QString &id : std::as_const(doomed))
            QVERIFY(!left.contains(id));
        QCOMPARE(left.size() + doomed.size(), 12);
        // every list lost exactly the refs of the deleted entries
        const QList<QStringList> before{{"0", "3", "6", "9", "3"}, {"1", "2", "4", "11"}, {}};
        for (int list = 0; list < 3; ++list) {
            QStringList expected;
            for (const QString &ref : before.at(list)) {
                if (!doomed.contains(ref))
                    expected << ref;
            }
            QCOMPARE(open.refs(list), expected);
        }
    }

    void removalCascades()
    {
        QString text = tvDocument();
        text.replace(QStringLiteral("<list id=\"2\"/>"), QStringLiteral("<list id=\"2\"><ref>5</ref><ref>5</ref>"
                                                                        "<ref>1</ref><ref>5</ref></list>"));
        OpenLists open(parent, text);
        QCOMPARE(open.refs(2), (QStringList{"5", "5", "1", "5"}));
        QSignalSpy removed(open.manager.itemsModel, &ItemsDatabaseModel::itemRemoved);
        QSignalSpy listRemoved(open.models.at(2), &ItemsDatabaseModel::itemRemoved);
        QVERIFY(open.manager.itemsModel->removeRows(open.itemRow("5").row(), 1));
        QCOMPARE(removed.count(), 1);
        QCOMPARE(listRemoved.count(), 0);
        QCOMPARE(open.refs(0), QStringList{"0"});
        QCOMPARE(open.refs(2), QStringList{"1"});
        QCOMPARE(open.refs(1), (QStringList{"12", "x", "7"}));
    }

    void removalOfManyEntriesClearsRefsInRuns()
    {
        QString text = tvDocument();
        text.replace(QStringLiteral("<list id=\"2\"/>"),
                     QStringLiteral("<list id=\"2\"><ref>1</ref><ref>0</ref><ref>5</ref><ref>1</ref></list>"));
        OpenLists open(parent, text);
        ListModel *list = open.models.at(2);
        QSignalSpy refsRemoved(list, &QAbstractItemModel::rowsRemoved);
        QStringList refsDuringRemoval;
        connect(open.manager.itemsModel, &ItemsDatabaseModel::itemRemoved, this,
                [&] { refsDuringRemoval << QString::number(list->rowCount()); });
        // entries 0, 1 and 5 in one removal
        QVERIFY(open.manager.itemsModel->removeRows(0, 3));
        QCOMPARE(open.manager.itemsModel->rowCount(), 0);
        // the refs stay until the entries are gone, then go as one run per adjacent block
        QCOMPARE(refsDuringRemoval, (QStringList{"4", "4", "4"}));
        QCOMPARE(open.refs(2), QStringList());
        QCOMPARE(refsRemoved.count(), 1);
        QCOMPARE(refsRemoved.at(0).at(1).toInt(), 0);
        QCOMPARE(refsRemoved.at(0).at(2).toInt(), 3);
        QCOMPARE(open.refs(0), QStringList());
        QCOMPARE(open.refs(1), (QStringList{"12", "x", "7"}));
        // a removal outside any row removal of the items model is done at once
        QString more = tvDocument();
        more.replace(QStringLiteral("<list id=\"2\"/>"),
                     QStringLiteral("<list id=\"2\"><ref>1</ref><ref>0</ref><ref>1</ref></list>"));
        OpenLists again(parent, more);
        QSignalSpy runs(again.models.at(2), &QAbstractItemModel::rowsRemoved);
        again.models.at(2)->onRefItemRemoving(QStringLiteral("1"));
        QCOMPARE(again.refs(2), QStringList{"0"});
        QCOMPARE(runs.count(), 2);
    }

    void followsItemChanges()
    {
        OpenLists open(parent);
        QSignalSpy layout(open.models.at(0), &QAbstractItemModel::layoutChanged);
        QVERIFY(open.manager.itemsModel->setData(open.itemRow("0"), QStringLiteral("Erste"), Qt::EditRole));
        QCOMPARE(layout.count(), 1);
    }

private:
    std::unique_ptr<ManagerSession> session;
    QWidget *parent = nullptr;
};

OMBRELAY_TEST_MAIN(TestListModel)
#include "tst_listmodel.moc"
