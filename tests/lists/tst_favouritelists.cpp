#include "../app/textsfitchecker.h"
#include "document/itemproperty.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/listmodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/favouritelisteditor.h"
#include "lists/liststabcornerwidget.h"
#include "lists/listtabwidget.h"
#include "testmain.h"
#include "widgets/messagebox.h"

#include "device/core/zbdeviceinfo.h"
#include "favouritetabs.h"
#include "generatedtvlist.h"
#include "listpagetest.h"
#include "lists/tvlistmodule.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QDragMoveEvent>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>

namespace {
// Four lists, list i holding i + 1 refs, so each tab's row count tells which list it shows.
const QString fourLists = "<list id=\"0\"><ref>0</ref></list><list id=\"1\"><ref>0</ref><ref>1</ref></list>"
                          "<list id=\"2\"><ref>0</ref><ref>1</ref><ref>2</ref></list>"
                          "<list id=\"3\"><ref>0</ref><ref>1</ref><ref>2</ref><ref>3</ref></list>";
} // namespace

class TestFavouriteLists : public QObject
{
    Q_OBJECT
    std::unique_ptr<QWidget> window;
    TVListProjectFileManager *manager = nullptr;
    ListTabWidget *tabs = nullptr;
    QString loadedText;

    void open(const QString &lists, int maximum, int items = 4)
    {
        makeTabsWindow(window, tabs, manager, tvDocument(lists, items));
        if (QTest::currentTestFailed())
            return;
        loadedText = manager->documentText();
        showTabs(window.get(), tabs, manager, maximum);
    }
    FavouriteListEditor *editor(int i) { return static_cast<FavouriteListEditor *>(tabs->widget(i)); }
    QStringList titles()
    {
        QStringList result;
        for (int i = 0; i < tabs->count(); ++i)
            result << tabs->tabText(i);
        return result;
    }
    // The list ids in document order, and whether every tab shows the refs of the list element at its place.
    QStringList documentOrder(bool *inLine = nullptr)
    {
        QStringList ids;
        const QDomNodeList lists = manager->document->lists.elementsByTagName("list");
        for (int i = 0; i < lists.size(); ++i) {
            ids << lists.at(i).toElement().attribute("id");
            if (inLine &&
                (i >= tabs->count() || editor(i)->tblItems->model()->rowCount() != lists.at(i).childNodes().size()))
                *inLine = false;
        }
        return ids;
    }
    void answer(const QString &button)
    {
        MessageBox::setAnswerHook([button](QDialog *box) { MessageBox::clickButton(box, button); });
    }
    static void useProgramStyle()
    {
        QFile style(QStringLiteral(":/styles/style"));
        QVERIFY(style.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(style.readAll()));
    }
    auto corner() { return static_cast<ListsTabCornerWidget *>(tabs->cornerWidget()); }

private slots:
    void cleanup()
    {
        MessageBox::setAnswerHook({});
        window.reset();
        qApp->setStyleSheet(QString());
    }

    void documents_data()
    {
        QTest::addColumn<QString>("lists");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("state"); // L locked, D delete enabled, C create enabled
        // clang-format off
        QTest::newRow("no lists") << "" << 4 << QStringList{} << "C";
        QTest::newRow("TRUE locks") << "<list lock=\"TRUE\" name=\"Mine\"/><list/>" << 4 << QStringList{"Mine", "List 2"} << "LDC";
        QTest::newRow("True locks") << "<list lock=\"True\"/>" << 4 << QStringList{"List 1"} << "LC";
        QTest::newRow("yes, 1, missing do not") << "<list lock=\"yes\" name=\"a\"/><list lock=\"1\"/><list/>" << 4 << QStringList{"List 1", "List 2", "List 3"} << "DC";
        QTest::newRow("locked, empty name") << "<list lock=\"true\" name=\"\"/>" + fourLists << 8 << QStringList{"List 1", "List 2", "List 3", "List 4", "List 5"} << "LDC";
        QTest::newRow("four at maximum") << fourLists << 4 << QStringList{"List 1", "List 2", "List 3", "List 4"} << "D";
        QTest::newRow("maximum 0") << "<list/>" << 0 << QStringList{"List 1"} << "";
        QTest::newRow("bad refs") << "<list><ref>x</ref><ref>12</ref><ref>2</ref></list>" << 1 << QStringList{"List 1"} << "";
        // clang-format on
    }
    void documents()
    {
        QFETCH(QString, lists);
        QFETCH(int, maximum);
        QFETCH(QStringList, titles);
        QFETCH(QString, state);
        const bool locked = state.contains('L');
        open(lists, maximum);
        QCOMPARE(this->titles(), titles);
        QCOMPARE(tabs->isMovable(), !locked);
        QCOMPARE(corner()->isHidden(), locked);
        QCOMPARE(corner()->deleteListToolButton->isEnabled(), state.contains('D'));
        QCOMPARE(corner()->newListToolButton->isEnabled(), state.contains('C'));
        QCOMPARE(editor(0) && editor(0)->lblReadOnlyInfo->isVisible(), locked);
        // showing a list rewrites nothing, whatever it holds
        QCOMPARE(manager->documentText(), loadedText);
        if (QTest::currentDataTag() == QLatin1String("bad refs")) {
            QCOMPARE(editor(0)->tblItems->model()->rowCount(), 3);
            editor(0)->tblItems->selectAll();
            QCOMPARE(tabs->currentListSelectedIds(), (QList<int>{12, 2}));
        }
        if (titles.isEmpty()) {
            tabs->createNewList();
            QCOMPARE(this->titles(), QStringList{"List 1"});
        }
    }

    // Delete asks; No changes nothing; after Yes the last currentChanged finds tab, editor, model and list
    // element at one place again.
    void deleteAndCreate()
    {
        open(fourLists, 4);
        tabs->setCurrentIndex(1);
        const QString before = manager->documentText();
        answer("&No");
        tabs->deleteCurrentList();
        QCOMPARE(manager->documentText(), before);
        int lastIndex = -2;
        bool inLine = true;
        QObject scope;
        connect(tabs, &QTabWidget::currentChanged, &scope, [&](int i) {
            lastIndex = i;
            inLine = true;
            documentOrder(&inLine);
        });
        answer("&Yes");
        tabs->deleteCurrentList();
        QCOMPARE(documentOrder(), (QStringList{"0", "2", "3"}));
        QCOMPARE(lastIndex, tabs->currentIndex());
        QVERIFY(inLine);
        QVERIFY(corner()->newListToolButton->isEnabled());
        tabs->deleteCurrentList();
        QVERIFY(corner()->deleteListToolButton->isEnabled());
        tabs->deleteCurrentList();
        QCOMPARE(tabs->count(), 1);
        QVERIFY(!corner()->deleteListToolButton->isEnabled());
        tabs->createNewList();
        QCOMPARE(titles(), (QStringList{"List 1", "List 2"}));
    }

    void tabMoves_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<bool>("byMouse");
        for (bool byMouse : {true, false}) {
            const char *how = byMouse ? "drag" : "jump";
            QTest::addRow("%s 0 to 2", how) << 0 << 2 << QStringList{"1", "2", "0", "3"} << byMouse;
            QTest::addRow("%s 0 to 3", how) << 0 << 3 << QStringList{"1", "2", "3", "0"} << byMouse;
            QTest::addRow("%s 2 to 1", how) << 2 << 1 << QStringList{"0", "2", "1", "3"} << byMouse;
        }
    }
    void tabMoves()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, order);
        QFETCH(bool, byMouse);
        open(fourLists, 4);
        QTabBar *bar = tabs->tabBar();
        const QPoint start = bar->tabRect(from).center();
        const QPoint end = bar->tabRect(to).center() + QPoint(to > from ? 10 : -10, 0);
        if (!byMouse) // the tab bar's own move, in one jump of several places
            bar->moveTab(from, to);
        else
            QTest::mousePress(bar, Qt::LeftButton, {}, start);
        for (int step = 1; step <= 20 && byMouse; ++step) {
            const QPoint at = start + (end - start) * step / 20;
            QMouseEvent move(QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(bar, &move);
        }
        QTest::mouseRelease(bar, Qt::LeftButton, {}, byMouse ? end : start);
        bool inLine = true;
        QCOMPARE(documentOrder(&inLine), order);
        QVERIFY(inLine);
        QCOMPARE(titles(), (QStringList{"List 1", "List 2", "List 3", "List 4"}));
        tabs->setCurrentIndex(to);
        answer("&Yes");
        tabs->deleteCurrentList();
        order.removeAt(to);
        QCOMPARE(documentOrder(), order);
    }

    // Entries dropped from the items table over a tab land in its list; cut and paste between lists, keys
    // and copy: the document has changed by the time itemDataChanged arrives, and copy changes nothing.
    void entries()
    {
        open(fourLists, 4);
        QSignalSpy changed(tabs, &ListTabWidget::itemDataChanged);
        std::unique_ptr<QMimeData> drag(
            manager->itemsModel->mimeData({manager->itemsModel->index(3, 0), manager->itemsModel->index(2, 0)}));
        const QPoint overTab = tabs->tabBar()->mapTo(tabs, tabs->tabBar()->tabRect(1).center());
        QDragEnterEvent over(overTab, Qt::CopyAction, drag.get(), Qt::LeftButton, {});
        QApplication::sendEvent(tabs, &over);
        QCOMPARE(tabs->currentIndex(), 1);
        QWidget *viewport = editor(1)->tblItems->viewport();
        const QPoint below(10, viewport->height() - 5);
        QDragEnterEvent enter(below, Qt::CopyAction, drag.get(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        QDropEvent drop(below, Qt::CopyAction, drag.get(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
        QCOMPARE(manager->readLists().at(1), (QList<int>{0, 1, 3, 2}));
        QCOMPARE(changed.size(), 1);

        QStringList seen;
        QObject scope;
        connect(tabs, &ListTabWidget::itemDataChanged, &scope, [&] { seen << manager->documentText(); });
        editor(3)->tblItems->selectRow(3);
        editor(3)->pnlEditButtons->copyButton->click();
        QCOMPARE(changed.size(), 1);
        editor(3)->pnlEditButtons->cutButton->click();
        QCOMPARE(seen.last(), manager->documentText());
        QCOMPARE(manager->readLists().at(3), (QList<int>{0, 1, 2}));
        tabs->setCurrentIndex(0);
        editor(0)->tblItems->setFocus();
        QTest::keyClick(editor(0)->tblItems, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(manager->readLists().at(0), (QList<int>{0, 3}));
        editor(0)->tblItems->selectRow(0);
        QTest::keyClick(editor(0)->tblItems, Qt::Key_Delete);
        QCOMPARE(manager->readLists().at(0), (QList<int>{3}));
        QCOMPARE(changed.size(), 4);
    }

    // More lists than the bar has room for: it scrolls, and its scroll buttons show their arrows in the
    // program's look, before and after scrolling to the last list.
    void tabsScrollWithArrows()
    {
        useProgramStyle();
        QString lists;
        for (int i = 0; i < 8; ++i)
            lists += QStringLiteral("<list id=\"%1\"><ref>0</ref></list>").arg(i);
        open(lists, 8);
        tabs->resize(450, 400);
        QCoreApplication::processEvents();
        for (int current : {0, 7}) {
            tabs->setCurrentIndex(current);
            QCoreApplication::processEvents();
            int scrolling = 0;
            for (QToolButton *scroll : tabs->tabBar()->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly)) {
                scrolling += scroll->isVisible() && scroll->isEnabled();
                // As wide as the arrow buttons of the scroll bars.
                QVERIFY(!scroll->isVisible() || scroll->width() >= 20);
            }
            QVERIFY(scrolling > 0);
            TextsFitChecker checker(QStringLiteral("en_EN"), {});
            checker.check(window.get(), QStringLiteral("lists"));
            for (const QString &problem : std::as_const(checker.problems))
                QVERIFY2(!problem.contains(QLatin1String("scroll button")), qPrintable(problem));
            const QRect whole = tabs->tabBar()->tabRect(current);
            QVERIFY2(tabs->tabBar()->rect().contains(whole), "the current list's tab is not shown whole");
        }
    }

    // The row numbers of a list of thousands of entries show whole: the number column widens with their
    // digits, and each number is drawn in full, at the top of the list and at its end.
    void rowNumbersOfLongLists_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("12") << 12;
        QTest::newRow("999") << 999;
        QTest::newRow("5000") << 5000;
        QTest::newRow("12345") << 12345;
    }
    void rowNumbersOfLongLists()
    {
        QFETCH(int, count);
        useProgramStyle();
        QString refs;
        for (int i = 0; i < count; ++i)
            refs += QStringLiteral("<ref>%1</ref>").arg(i);
        open(QStringLiteral("<list id=\"0\">%1</list><list id=\"1\"><ref>0</ref></list>").arg(refs), 4, count);
        QTableView *table = editor(0)->tblItems;
        QCOMPARE(table->model()->rowCount(), count);
        QHeaderView *rows = table->verticalHeader();
        const QFontMetrics fm(rows->font());
        for (bool end : {false, true}) {
            if (end)
                table->scrollToBottom();
            QCoreApplication::processEvents();
            // The first and the last row shown whole.
            int first = rows->logicalIndexAt(0);
            if (rows->sectionViewportPosition(first) < 0)
                ++first;
            int last = rows->logicalIndexAt(rows->height() - 1);
            if (last < 0)
                last = count - 1;
            if (rows->sectionViewportPosition(last) + rows->sectionSize(last) > rows->height())
                --last;
            const QImage image = rows->grab().toImage();
            for (int row : {first, last}) {
                const QString number = QString::number(row + 1);
                const QRect glyphs = fm.tightBoundingRect(number);
                const int top = rows->sectionViewportPosition(row);
                const int bottom = qMin(image.height(), top + rows->sectionSize(row)) - 1;
                // The inked lines and columns of the section, its frame lines left aside.
                int inkedLines = 0;
                int left = image.width();
                int right = -1;
                for (int y = qMax(0, top); y < bottom; ++y) {
                    bool inked = false;
                    for (int x = 0; x < image.width() - 2; ++x) {
                        if (qGray(image.pixel(x, y)) < 200) {
                            inked = true;
                            left = qMin(left, x);
                            right = qMax(right, x);
                        }
                    }
                    inkedLines += inked;
                }
                const QString where =
                    QStringLiteral("row %1 of %2 (header %3 px wide): ").arg(number).arg(count).arg(rows->width());
                QVERIFY2(
                    inkedLines >= glyphs.height() - 1,
                    qPrintable(where + QStringLiteral("%1 of %2 lines drawn").arg(inkedLines).arg(glyphs.height())));
                QVERIFY2(
                    right - left + 1 >= glyphs.width() - 3,
                    qPrintable(where +
                               QStringLiteral("%1 of %2 columns drawn").arg(right - left + 1).arg(glyphs.width())));
            }
            QVERIFY2(rows->width() >= fm.horizontalAdvance(QString::number(count)),
                     qPrintable(QStringLiteral("%1 px for \"%2\"").arg(rows->width()).arg(count)));
        }
    }

    // A locked list keeps its refs against every editing path, and the panel follows its view once.
    void lockedListAndPanel()
    {
        open("<list lock=\"true\"><ref>0</ref></list>", 4);
        FavouriteListEditor *locked = editor(0);
        QSignalSpy changed(tabs, &ListTabWidget::itemDataChanged);
        QVERIFY(locked->pnlEditButtons->copyButton->isVisible() && !locked->pnlEditButtons->cutButton->isVisible());
        locked->tblItems->selectRow(0);
        locked->tblItems->setFocus();
        for (const QKeySequence &keys : QList<QKeySequence>{Qt::Key_Delete, QKeySequence::Cut, QKeySequence::Paste})
            QTest::keySequence(locked->tblItems, keys);
        QVERIFY(!locked->tblItems->acceptDrops());
        QCOMPARE(manager->readLists().at(0), QList<int>{0});
        QCOMPARE(changed.size(), 0);

        BasicEditPanel *panel = locked->pnlEditButtons;
        QSignalSpy copies(panel, &BasicEditPanel::copyTriggered);
        panel->attachView();
        panel->attachView();
        panel->copyButton->click();
        QCOMPARE(copies.size(), 1);
        panel->setEnabled(false);
        QVERIFY(!panel->isAttached() && !panel->copyButton->defaultAction());
        locked->setModel(nullptr);
        QVERIFY(!panel->copyButton->defaultAction());
        panel->setEnabled(true);
        QVERIFY(panel->isAttached());
        QCOMPARE(panel->copyButton->geometry().bottom(), panel->height() - 1);
        QCOMPARE(panel->copyButton->height(), 20);
    }

    // A paste adds what the list lacks, where the paste puts it, and leaves every entry the list held in its
    // place; a drag within the list still moves the entry dragged.
    void pasteKeepsTheEntriesInPlace_data()
    {
        QTest::addColumn<QList<int>>("copied"); // ids copied in the items table
        QTest::addColumn<int>("selected");      // the list's row selected for the paste, -1 none
        QTest::addColumn<QList<int>>("after");
        QTest::newRow("all, at the end") << QList<int>{0, 1, 2, 3, 4, 5} << -1 << QList<int>{3, 1, 0, 2, 4, 5};
        QTest::newRow("all, at a row") << QList<int>{0, 1, 2, 3, 4, 5} << 1 << QList<int>{3, 2, 4, 5, 1, 0};
        QTest::newRow("listed only") << QList<int>{0, 3} << 0 << QList<int>{3, 1, 0};
        QTest::newRow("one new before listed") << QList<int>{5, 1} << 2 << QList<int>{3, 1, 5, 0};
    }
    void pasteKeepsTheEntriesInPlace()
    {
        QFETCH(QList<int>, copied);
        QFETCH(int, selected);
        QFETCH(QList<int>, after);
        open("<list id=\"0\"/><list id=\"1\"><ref>3</ref><ref>1</ref><ref>0</ref></list>", 4, 6);
        QModelIndexList rows;
        for (int id : copied)
            rows << manager->itemsModel->indexById(QString::number(id), 0);
        QApplication::clipboard()->setMimeData(manager->itemsModel->mimeData(rows));
        tabs->setCurrentIndex(1);
        STableView *list = editor(1)->tblItems;
        QAbstractItemModelTester tester(list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        if (selected >= 0)
            list->selectRow(selected);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(manager->readLists().at(1), after);

        // moving an entry within the list places it anew
        ListModel *model = qobject_cast<ListModel *>(list->model());
        QVERIFY(model);
        std::unique_ptr<QMimeData> drag(model->mimeData({model->index(2, 0)}));
        QVERIFY(model->dropMimeData(drag.get(), Qt::MoveAction, 0, 0, {}));
        QCOMPARE(manager->readLists().at(1).first(), after.at(2));
        QCOMPARE(manager->readLists().at(1).size(), after.size());
    }

    // On the TV page: every service of a large list copied and pasted into a favourite list of 484 entries
    // in the user's order. The 484 keep their order at the top, the rest follow once each.
    void pasteAllServicesIntoAFavouriteList()
    {
        constexpr int services = 5000, listed = 484;
        QString text = GeneratedTvList::text(services);
        const qsizetype from = text.indexOf(QStringLiteral("<list id=\"3\">"));
        const qsizetype to = text.indexOf(QStringLiteral("</list>"), from);
        QList<int> order;
        QString refs;
        for (int i = 0; i < listed; ++i) {
            order << (i * 7919 + 13) % services; // 7919 is prime: no id twice
            refs += QStringLiteral("<ref>%1</ref>").arg(order.last());
        }
        text.replace(from, to - from, QStringLiteral("<list id=\"3\">") + refs);
        ZBDeviceInfo info(QStringLiteral("Box"));
        auto page = showListPage<TVListModule>(&info, text);
        ItemsTableView *all = page->itemsTableViewAll;
        QCOMPARE(all->model()->rowCount(), services);
        all->setFocus();
        QTest::keyClick(all, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(all, Qt::Key_C, Qt::ControlModifier);
        page->listsTabWidget->setCurrentIndex(3);
        auto *favourites = static_cast<FavouriteListEditor *>(page->listsTabWidget->currentWidget());
        QCOMPARE(favourites->tblItems->model()->rowCount(), listed);
        favourites->tblItems->clearSelection();
        favourites->tblItems->setFocus();
        QTest::keyClick(favourites->tblItems, Qt::Key_V, Qt::ControlModifier);
        // a paste this large goes in over several turns of the event loop
        auto *model = qobject_cast<ListModel *>(favourites->tblItems->model());
        QVERIFY(model);
        QTRY_VERIFY_WITH_TIMEOUT(!model->isPasting(), 120000);
        const QList<int> list = page->projectManager()->readLists().at(3);
        QCOMPARE(list.size(), services);
        QCOMPARE(list.mid(0, listed), order);
        QCOMPARE(QSet<int>(list.begin(), list.end()).size(), services);
        QCOMPARE(favourites->tblItems->model()->rowCount(), services);
    }
};

OMBRELAY_TEST_MAIN(TestFavouriteLists)
#include "tst_favouritelists.moc"
