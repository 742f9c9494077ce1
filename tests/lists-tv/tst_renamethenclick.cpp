#include "tabledrawn.h"
#include "testmain.h"

#include "dialoganswerer.h"
#include "listinthewindow.h"
#include "listoftype.h"
#include "listpagetest.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "base/naturalcompare.h"
#include "devices/zbdevicecollection.h"
#include "document/listitemsdatabasemodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/linklistmodule.h"
#include "lists/tvlistmodule.h"
#include "widgets/itemstableview.h"
#include "widgets/slineedit.h"

#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <memory>

// An entry renamed in the table of all entries as a user does it (a click on its name, a double-click, the
// name typed, Enter), then the first click on another row: the page's check of the entry left compares its
// tuning (a link's URL) with the others' only where that can warn, and at that click the row clicked is
// selected and shown in the panel, the table's order and the rows a search shows hold the new name, and the
// check warns where it must.

namespace {

const QString duplicateText = QStringLiteral("Service with the same detailed settings already exists on the list.");
constexpr int nameColumn = 1;
constexpr int tvTuningColumn = 7;

// Twenty entries, ids 0 to 19 (links 1 to 20); with twin, entry 3 holds the tuning (URL) of entry 1.
QString listText(bool links, bool twin)
{
    if (links) {
        QList<int> ids;
        for (int id = 1; id <= 20; ++id)
            ids << id;
        QString text = linkDocument(ids);
        if (twin)
            text.replace(QStringLiteral("<url>http://3</url>"), QStringLiteral("<url>http://1</url>"));
        return text;
    }
    QString text = GeneratedTvList::text(20);
    if (twin)
        text.replace(QStringLiteral("type=\"analog\" frequency=\"10703\""),
                     QStringLiteral("type=\"cable\" frequency=\"10701\""));
    return text;
}

// The point of the cell in the table's window, where the window shows the table there.
QPoint cellInWindow(ItemsTableView *table, int row, int column)
{
    const QPoint centre = table->visualRect(table->model()->index(row, column)).center();
    const QPoint point = table->viewport()->mapTo(table->window(), centre);
    return table->window()->childAt(point) == table->viewport() ? point : QPoint();
}

QStringList shownNames(const QAbstractItemView *table)
{
    QStringList names;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        names << table->model()->index(row, nameColumn).data().toString();
    return names;
}

} // namespace

class TestRenameThenClick : public QObject
{
    Q_OBJECT

    ZBDeviceInfo info{QStringLiteral("Box")};

    template<class Page> static QLineEdit *panelName(Page *page)
    {
        if constexpr (std::is_same_v<Page, LinkListModule>)
            return page->txtLinkTitle;
        else
            return page->txtServiceTitle;
    }

    template<class Page> void renameThenClick(Page *page, DialogAnswerer &answers)
    {
        QFETCH(int, sortColumn);
        QFETCH(int, order);
        QFETCH(QString, search);
        QFETCH(QString, renamedId);
        QFETCH(QString, tuningOf);
        QFETCH(QString, newName);
        QFETCH(QStringList, boxes);
        QFETCH(bool, backToRenamed);
        QVERIFY(page);
        QCOMPARE(page->stackedWidget->currentIndex(), int(Page::PageEditor));
        answers.boxTexts.clear();
        ItemsTableView *table = page->itemsTableViewAll;
        ObjectSortFilterProxyModel *proxy = table->proxy();
        ListItemsDatabaseModel *items = page->projectManager()->itemsModel;
        QWindow *window = table->window()->windowHandle();
        if (sortColumn >= 0)
            table->sortByColumn(sortColumn, Qt::SortOrder(order));
        if (!search.isEmpty()) {
            page->txtSearch->setFocus();
            QTest::keyClicks(page->txtSearch, search);
            proxy->finishSearch();
        }

        // a click on the name, and a double-click there opens its editor
        int row = rowOfId(page, renamedId);
        QVERIFY(row >= 0);
        QVERIFY(rowsDrawn(table));
        const QPoint name = cellInWindow(table, row, nameColumn);
        QVERIFY(!name.isNull());
        QTest::mouseClick(window, Qt::LeftButton, {}, name);
        QCOMPARE(table->currentIndex().row(), row);
        if (!tuningOf.isEmpty()) {
            // the tuning changed to another's in the panel before the rename
            const int tuning = std::is_same_v<Page, LinkListModule> ? 2 : tvTuningColumn;
            const QString other = items->indexById(tuningOf, tuning).data(Qt::EditRole).toString();
            QVERIFY(!other.isEmpty());
            QVERIFY(items->setData(items->indexById(renamedId, tuning), other, Qt::EditRole));
        }
        QVERIFY(rowsDrawn(table));
        QTest::mouseDClick(window, Qt::LeftButton, {}, name);
        QVERIFY(table->isEditing());
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, newName);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!table->isEditing());
        QCOMPARE(items->indexById(renamedId, nameColumn).data().toString(), newName);
        QCOMPARE(answers.boxTexts, QStringList());

        // the first click after it, on another row as drawn
        QVERIFY(rowsDrawn(table));
        const int renamedRow = rowOfId(page, renamedId);
        const int clicked = renamedRow == 5 ? 6 : 5;
        const QString clickedId = table->model()->index(clicked, 8).data().toString();
        const QString clickedName = table->model()->index(clicked, nameColumn).data().toString();
        const QPoint other = cellInWindow(table, clicked, 2);
        QVERIFY(!other.isNull());
        QTest::mouseClick(window, Qt::LeftButton, {}, other);
        QCOMPARE(answers.boxTexts, boxes);
        const QString selectedId = backToRenamed ? renamedId : clickedId;
        const QModelIndexList selected = table->selectionModel()->selectedRows(8);
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().data().toString(), selectedId);
        QCOMPARE(panelName(page)->text(), backToRenamed ? newName : clickedName);
        // the entry left is kept with its new name, shown where the order and the search put it
        QCOMPARE(items->rowCount(), 20);
        QCOMPARE(items->indexById(renamedId, nameColumn).data().toString(), newName);
        const QStringList shown = shownNames(table);
        if (sortColumn == nameColumn) {
            for (int at = 1; at < shown.size(); ++at) {
                const int compared = naturalCompare(shown.at(at - 1), shown.at(at));
                QVERIFY2(order == Qt::AscendingOrder ? compared <= 0 : compared >= 0,
                         qPrintable(shown.at(at - 1) + " before " + shown.at(at)));
            }
        }
        QStringList expected;
        for (int at = 0; at < items->rowCount(); ++at) {
            const QString text = items->index(at, nameColumn).data().toString();
            if (text.contains(search, Qt::CaseInsensitive))
                expected << text;
        }
        QStringList sortedShown = shown;
        sortedShown.sort();
        expected.sort();
        QCOMPARE(sortedShown, expected);
        QCOMPARE(shown.contains(newName), newName.contains(search, Qt::CaseInsensitive));
        if (backToRenamed)
            return;
        // and the click after it selects as the first one did
        QVERIFY(rowsDrawn(table));
        const int next = renamedRow == 1 || clicked == 1 ? 0 : 1;
        QTest::mouseClick(window, Qt::LeftButton, {}, cellInWindow(table, next, 2));
        QCOMPARE(table->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(table->currentIndex().row(), next);
        QCOMPARE(answers.boxTexts, boxes);
    }

private slots:
    void initTestCase() { registerStartUpServices(); }
    void init()
    {
        QSettings().clear();
        Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1"));
    }

    void firstClickAfterARename_data()
    {
        QTest::addColumn<bool>("links");
        QTest::addColumn<bool>("inWindow");
        QTest::addColumn<bool>("twin");
        QTest::addColumn<int>("sortColumn"); // -1: by list place, as the page opens
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("renamedId");
        QTest::addColumn<QString>("tuningOf"); // the renamed entry's tuning made this one's first
        QTest::addColumn<QString>("newName");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("backToRenamed"); // the check takes the user back to the entry left
        const int up = Qt::AscendingOrder;
        const int down = Qt::DescendingOrder;
        const QStringList none;
        const QStringList warned{duplicateText};
        QTest::newRow("TV, list place") << false << false << false << -1 << up << ""
                                        << "3"
                                        << ""
                                        << "Zulu" << none << false;
        QTest::newRow("TV, name ascending") << false << false << false << 1 << up << ""
                                            << "3"
                                            << ""
                                            << "Service 0a" << none << false;
        QTest::newRow("TV, name descending") << false << false << false << 1 << down << ""
                                             << "3"
                                             << ""
                                             << "Zulu" << none << false;
        QTest::newRow("TV, search keeps the row") << false << false << false << 1 << up << "Service 1"
                                                  << "3"
                                                  << ""
                                                  << "Service 1 again" << none << false;
        QTest::newRow("TV, search hides the row") << false << false << false << 1 << up << "Service 1"
                                                  << "3"
                                                  << ""
                                                  << "Zulu" << none << false;
        // a rename makes no duplicate, whatever the others' tunings
        QTest::newRow("TV, a twin renamed") << false << false << true << -1 << up << ""
                                            << "3"
                                            << ""
                                            << "Zulu" << none << false;
        QTest::newRow("TV, tuning made another's, then renamed") << false << false << false << 1 << up << ""
                                                                 << "3"
                                                                 << "0"
                                                                 << "Zulu" << warned << false;
        QTest::newRow("TV in the window, name ascending") << false << true << true << 1 << up << ""
                                                          << "3"
                                                          << ""
                                                          << "Service 0a" << none << false;
        QTest::newRow("TV in the window, tuning made another's") << false << true << false << -1 << up << ""
                                                                 << "3"
                                                                 << "0"
                                                                 << "Zulu" << warned << false;
        QTest::newRow("links, list place") << true << false << false << -1 << up << ""
                                           << "3"
                                           << ""
                                           << "Zulu" << none << false;
        QTest::newRow("links, title descending") << true << false << false << 1 << down << ""
                                                 << "3"
                                                 << ""
                                                 << "Link 0a" << none << false;
        QTest::newRow("links, search hides the row") << true << false << false << 1 << up << "Link 1"
                                                     << "13"
                                                     << ""
                                                     << "Zulu" << none << false;
        // a changed link is checked as it is left, its URL against the others' too
        QTest::newRow("links, a link whose URL another has") << true << false << true << -1 << up << ""
                                                             << "3"
                                                             << ""
                                                             << "Zulu" << warned << true;
        QTest::newRow("links in the window, title ascending") << true << true << true << 1 << up << ""
                                                              << "4"
                                                              << ""
                                                              << "Link 0a" << none << false;
    }
    void firstClickAfterARename()
    {
        QFETCH(bool, links);
        QFETCH(bool, inWindow);
        QFETCH(bool, twin);
        const QString text = listText(links, twin);
        DialogAnswerer answers;
        if (!inWindow) {
            if (links) {
                auto page = showListPage<LinkListModule>(&info, text);
                renameThenClick(page.get(), answers);
            } else {
                auto page = showListPage<TVListModule>(&info, text);
                renameThenClick(page.get(), answers);
            }
            return;
        }
        QTemporaryDir dir;
        const QString type = links ? QStringLiteral("link") : QStringLiteral("tv");
        const QString file = listFile(dir, QStringLiteral("list.") + projectExtensionOf(type), text);
        QVERIFY(!file.isEmpty());
        MainWindow window;
        // a receiver on a USB drive that takes the list as it is, its four favourite lists too
        ZBDeviceInfo usb = usbReceiver();
        usb.setNetListMaxCount(4);
        window.collection()->append(usb);
        window.show();
        QApplication::setActiveWindow(&window);
        window.tryToOpenFile(file);
        OmbrelayModule *module = window.currentModule();
        QCOMPARE(answers.boxTexts, QStringList());
        if (links)
            renameThenClick(qobject_cast<LinkListModule *>(module), answers);
        else
            renameThenClick(qobject_cast<TVListModule *>(module), answers);
    }
};

OMBRELAY_TEST_MAIN(TestRenameThenClick)
#include "tst_renamethenclick.moc"
