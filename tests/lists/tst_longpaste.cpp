#include "document/itemproperty.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/listmodel.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/favouritelisteditor.h"
#include "lists/linklistmodule.h"
#include "lists/listtabwidget.h"
#include "lists/tvlistmodule.h"
#include "testmain.h"
#include "widgets/itemstableview.h"

#include "device/core/zbdeviceinfo.h"
#include "favouritetabs.h"
#include "listpagetest.h"

#include "widgets/jobprogresswindow.h"
#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QMimeData>
#include <QSet>
#include <QSignalSpy>
#include <QTimer>

namespace {
// The "# on list" texts of the table as shown, top to bottom, the empty ones left out.
QList<int> placesShown(QAbstractItemModel *model)
{
    QList<int> places;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QString text = model->index(row, 0).data().toString();
        if (!text.isEmpty())
            places << text.toInt();
    }
    return places;
}
} // namespace

class TestLongPaste : public QObject
{
    Q_OBJECT
    std::unique_ptr<QWidget> window;
    TVListProjectFileManager *manager = nullptr;
    ListTabWidget *tabs = nullptr;

    void open(const QString &text)
    {
        makeTabsWindow(window, tabs, manager, text);
        if (QTest::currentTestFailed())
            return;
        showTabs(window.get(), tabs, manager, 4);
    }
    FavouriteListEditor *editor(int i) { return static_cast<FavouriteListEditor *>(tabs->widget(i)); }

    // Every service of source's items table on the clipboard, copied as the user copies them.
    static void copyAll(QAbstractItemModel *source)
    {
        QModelIndexList rows;
        for (int row = 0; row < source->rowCount(); ++row)
            rows << source->index(row, 0);
        QApplication::clipboard()->setMimeData(source->mimeData(rows));
    }
    // Ctrl+V in list i's table, at row (none selected when -1), and the paste's model, waited for to end.
    ListModel *pasteInto(int i, int row)
    {
        tabs->setCurrentIndex(i);
        STableView *list = editor(i)->tblItems;
        auto *model = qobject_cast<ListModel *>(list->model());
        if (row >= 0)
            list->selectRow(row);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
        return model;
    }

private slots:
    void cleanup()
    {
        ListModel::setPasteSplit(512 * 1024, 2000);
        window.reset();
    }

    // A paste split into steps: the window stays live (a timer ticks between the steps), shows the progress
    // in a window that takes all input, the list cannot be edited meanwhile, and in the end the list holds
    // what a paste in one go gives: the entries it held in their places, the new ones where the paste put them.
    void splitPaste_data()
    {
        QTest::addColumn<bool>("otherDocument");
        QTest::addColumn<QList<int>>("after");
        QTest::newRow("same document") << false << QList<int>{3, 2, 4, 5, 6, 7, 8, 9, 1, 0};
        // copied from another list: the ten entries come in with the free ids 10 .. 19, then are listed
        QTest::newRow("another document") << true << QList<int>{3, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 1, 0};
    }
    void splitPaste()
    {
        QFETCH(bool, otherDocument);
        QFETCH(QList<int>, after);
        const QString lists = "<list id=\"0\"/><list id=\"1\"><ref>3</ref><ref>1</ref><ref>0</ref></list>";
        std::unique_ptr<TVListProjectFileManager> other;
        if (otherDocument) {
            other = std::make_unique<TVListProjectFileManager>(nullptr);
            QVERIFY(other->newProject(tvDocument(QString(), 10, 100)));
        }
        open(tvDocument(lists, 10));
        ListItemsDatabaseModel *source = otherDocument ? other->itemsModel : manager->itemsModel;
        QModelIndexList rows;
        for (int row = 0; row < source->rowCount(); ++row)
            rows << source->index(row, 0);
        QApplication::clipboard()->setMimeData(source->mimeData(rows));
        ListModel::setPasteSplit(1, 2); // every paste is split, two entries a step

        tabs->setCurrentIndex(1);
        STableView *list = editor(1)->tblItems;
        auto *model = qobject_cast<ListModel *>(list->model());
        QVERIFY(model);
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy progress(model, &ListModel::pasteProgress);
        QSignalSpy changed(tabs, &ListTabWidget::itemDataChanged);
        int ticks = 0;
        QTimer ticker;
        ticker.setInterval(0);
        connect(&ticker, &QTimer::timeout, this, [&] { ticks += model->isPasting() ? 1 : 0; });
        ticker.start();
        // partway, the user's select all and Delete in the list's table change nothing
        int partway = -1;
        int afterDelete = -1;
        QObject context; // nothing reaches this test's locals once it ends
        connect(model, &ListModel::pasteProgress, &context, [&] {
            if (partway >= 0 || model->rowCount() <= 3 || !model->isPasting())
                return;
            partway = model->rowCount();
            list->selectAll();
            QTest::keyClick(list, Qt::Key_Delete);
            afterDelete = model->rowCount();
        });
        list->selectRow(1);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);

        // under way: a window shows the progress and takes all input; the list's table takes none
        QVERIFY(model->isPasting());
        QDialog *dialog = editor(1)->pasteProgress();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), dialog);
        QVERIFY(!list->isEnabled());
        std::unique_ptr<QMimeData> again(source->mimeData(rows));
        QVERIFY(!model->dropMimeData(again.get(), Qt::CopyAction, 0, 0, {}));
        QCOMPARE(changed.count(), 0); // told once, when the entries are in

        QTRY_VERIFY_WITH_TIMEOUT(!model->isPasting(), 60000);
        QCOMPARE(manager->readLists().at(1), after);
        QCOMPARE(model->rowCount(), after.size());
        QVERIFY(ticks >= 2);
        QVERIFY(partway > 3);
        QCOMPARE(afterDelete, partway);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!editor(1)->pasteProgress());
        QVERIFY(list->isEnabled());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        // the progress rose step by step up to the whole
        QVERIFY(progress.count() >= 4);
        QList<int> done;
        for (const QList<QVariant> &report : std::as_const(progress))
            done << report.at(0).toInt();
        QVERIFY(std::is_sorted(done.begin(), done.end()));
        QCOMPARE(progress.last().at(0), progress.last().at(1));
        QVERIFY(progress.last().at(1).toInt() > 0);
        if (otherDocument)
            QCOMPARE(manager->itemsModel->rowCount(), 20);
    }

    // A clipboard copied before one of its services left the document: the paste in steps lists only the
    // services still there, like a paste in one go.
    void servicesGoneSinceCopiedAreLeftOut()
    {
        open(tvDocument("<list id=\"0\"/><list id=\"1\"/>", 10));
        copyAll(manager->itemsModel);
        QAbstractItemModelTester tester(manager->itemsModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(manager->itemsModel->indexById("0", 0).row(), 0);
        QVERIFY(manager->itemsModel->removeRows(0, 1));
        ListModel::setPasteSplit(1, 2);
        ListModel *model = pasteInto(1, -1);
        QVERIFY(model);
        QVERIFY(model->isPasting());
        QTRY_VERIFY_WITH_TIMEOUT(!model->isPasting(), 60000);
        QCOMPARE(manager->readLists().at(1), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
        QCOMPARE(model->rowCount(), 9);
    }

    // Services pasted from another list file in steps get ids of their own, each step taking ids none
    // of the services before it holds: 5,000 into a list of 100, 2,000 a step.
    void servicesFromAnotherFileGetDistinctIds()
    {
        TVListProjectFileManager other(nullptr);
        QVERIFY(other.newProject(tvDocument(QString(), 5000)));
        open(tvDocument("<list id=\"0\"/><list id=\"1\"/>", 100));
        copyAll(other.itemsModel);
        ListModel::setPasteSplit(1, 2000);
        ListModel *model = pasteInto(1, -1);
        QVERIFY(model);
        QVERIFY(model->isPasting());
        QTRY_VERIFY_WITH_TIMEOUT(!model->isPasting(), 120000);
        QCOMPARE(manager->itemsModel->rowCount(), 5100);
        QSet<QString> ids;
        for (int row = 0; row < manager->itemsModel->rowCount(); ++row)
            ids.insert(manager->itemsDataProvider()->itemAt(row).id());
        QCOMPARE(ids.size(), 5100);
        QCOMPARE(model->rowCount(), 5000);
        const QList<int> listed = manager->readLists().at(1);
        QCOMPARE(QSet<int>(listed.cbegin(), listed.cend()).size(), 5000);
    }

    // Entries of the list above the paste's place that go while the paste runs (their services deleted)
    // move the place up with them: the pasted block stays whole, before the entry it was pasted before.
    void placeFollowsRemovedRows()
    {
        QString refs;
        for (int id = 0; id < 10; ++id)
            refs += QStringLiteral("<ref>%1</ref>").arg(id);
        open(tvDocument("<list id=\"0\"/><list id=\"1\">" + refs + "</list>", 30));
        QModelIndexList rows;
        for (int row = 10; row < 30; ++row)
            rows << manager->itemsModel->index(row, 0);
        QApplication::clipboard()->setMimeData(manager->itemsModel->mimeData(rows));
        ListModel::setPasteSplit(1, 3);
        tabs->setCurrentIndex(1);
        auto *model = qobject_cast<ListModel *>(editor(1)->tblItems->model());
        QVERIFY(model);
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        // between two steps, once some of the block is in, services 0 and 1 are deleted
        bool removed = false;
        QObject context; // a queued call still on its way when the test ends goes with it
        connect(
            model, &ListModel::pasteProgress, &context,
            [&] {
                if (removed || model->rowCount() <= 10 || !model->isPasting())
                    return;
                removed = true;
                QVERIFY(manager->itemsModel->removeRows(0, 2));
            },
            Qt::QueuedConnection);
        pasteInto(1, 5);
        QVERIFY(model->isPasting());
        QTRY_VERIFY_WITH_TIMEOUT(!model->isPasting(), 60000);
        QVERIFY(removed);
        QList<int> expected{2, 3, 4};
        for (int id = 10; id < 30; ++id)
            expected << id;
        expected << 5 << 6 << 7 << 8 << 9;
        QCOMPARE(manager->readLists().at(1), expected);
    }

    // A table sorted by "# on list" reads in order after another list is chosen and after a paste into it,
    // on the TV and the link page.
    void sortedPlacesFollowTheList_data()
    {
        QTest::addColumn<bool>("link");
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::newRow("TV, ascending") << false << Qt::AscendingOrder;
        QTest::newRow("TV, descending") << false << Qt::DescendingOrder;
        QTest::newRow("link, ascending") << true << Qt::AscendingOrder;
        QTest::newRow("link, descending") << true << Qt::DescendingOrder;
    }
    void sortedPlacesFollowTheList()
    {
        QFETCH(bool, link);
        QFETCH(Qt::SortOrder, order);
        // list 1 names the entries the other way round from list 0, and only some of them
        QList<int> ids;
        for (int id = 0; id < 40; ++id)
            ids << id;
        QString text = link ? linkDocument(ids) : tvDocument(QString(), 40);
        QString second = "<list id=\"1\">";
        for (int id = 39; id >= 0; id -= 3)
            second += QStringLiteral("<ref>%1</ref>").arg(id);
        second += "</list>";
        if (link) {
            text.replace("<list id=\"1\"/>", second);
        } else {
            QString first = "<list id=\"0\">";
            for (int id : ids)
                first += QStringLiteral("<ref>%1</ref>").arg(id);
            text.replace("<lists></lists>", "<lists>" + first + "</list>" + second + "</lists>");
        }
        ZBDeviceInfo info(QStringLiteral("Box"));
        std::unique_ptr<QWidget> page;
        ItemsTableView *all = nullptr;
        ListTabWidget *listTabs = nullptr;
        if (link) {
            auto linkPage = showListPage<LinkListModule>(&info, text);
            all = linkPage->itemsTableViewAll;
            listTabs = linkPage->listsTabWidget;
            page = std::move(linkPage);
        } else {
            auto tvPage = showListPage<TVListModule>(&info, text);
            all = tvPage->itemsTableViewAll;
            listTabs = tvPage->listsTabWidget;
            page = std::move(tvPage);
        }
        QCOMPARE(all->model()->rowCount(), 40);
        QCOMPARE(listTabs->currentIndex(), 0);
        all->sortByColumn(0, order);
        const auto inOrder = [order](QList<int> places) {
            if (order == Qt::DescendingOrder)
                std::reverse(places.begin(), places.end());
            return std::is_sorted(places.begin(), places.end());
        };
        QCOMPARE(placesShown(all->model()).size(), 40);
        QVERIFY(inOrder(placesShown(all->model())));

        listTabs->setCurrentIndex(1);
        QCOMPARE(placesShown(all->model()).size(), 14);
        QTRY_VERIFY2(inOrder(placesShown(all->model())), "after the switch of list");

        // copy the entries list 1 lacks, from the items table, and paste them at its top
        QModelIndexList rows;
        for (int row = 0; row < all->model()->rowCount(); ++row)
            if (all->model()->index(row, 0).data().toString().isEmpty())
                rows << all->model()->index(row, 0);
        QApplication::clipboard()->setMimeData(all->model()->mimeData(rows));
        auto *favourites = static_cast<FavouriteListEditor *>(listTabs->currentWidget());
        favourites->tblItems->selectRow(0);
        favourites->tblItems->setFocus();
        QTest::keyClick(favourites->tblItems, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(favourites->tblItems->model()->rowCount(), 40);
        QCOMPARE(placesShown(all->model()).size(), 40);
        QTRY_VERIFY2(inOrder(placesShown(all->model())), "after the paste");
    }
};

OMBRELAY_TEST_MAIN(TestLongPaste)
#include "tst_longpaste.moc"
