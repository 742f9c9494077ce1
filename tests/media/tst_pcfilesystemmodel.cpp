#include "testmain.h"

#include "columntitles.h"
#include "keptselection.h"
#include "listinthewindow.h"

#include "base/filehelpers.h"
#include "base/translatorloader.h"
#include "media/mediaexplorerfilebrowser.h"
#include "media/mediaexplorermodule.h"
#include "media/mediaexplorertreeview.h"
#include "media/pcfilesystemmodel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMimeData>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeView>

// The PC pane's model: where drops land, and how the folder browser moves. (The model checker is not
// attached: it fetches every folder it meets, which from "/" walks the whole machine.)
class TestPcFileSystemModel : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<PcFileSystemModel> model;
    QTranslator translator;

    QString path(const QString &relative) const
    {
        return relative.isEmpty() ? QDir(dir.path()).absolutePath() : QDir(dir.path()).absoluteFilePath(relative);
    }
    static QString recording(int i) { return QStringLiteral("Recording %1.ts").arg(i, 5, 10, QLatin1Char('0')); }
    static bool make(const QString &file) { return QFile(file).open(QIODevice::WriteOnly); }
    // The names of folder's rows, in the order shown (asking the model for a path's index would put it in).
    QStringList rows(const QString &folder) const
    {
        const QModelIndex at = model->index(folder);
        QStringList names;
        for (int i = 0; i < model->rowCount(at); ++i)
            names << model->index(i, 0, at).data(QFileSystemModel::FileNameRole).toString();
        return names;
    }
    QStringList selected(const QTreeView &view) const
    {
        QStringList paths;
        for (const QModelIndex &row : view.selectionModel()->selectedRows())
            paths << model->filePath(row);
        paths.sort();
        return paths;
    }

private slots:
    void init()
    {
        QVERIFY(QDir().mkpath(path("A/B")));
        QFile f(path("b.ts"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("b") == 1);
        f.close();
        model = std::make_unique<PcFileSystemModel>();
        model->setRootPath(path(""));
        const QModelIndex top = model->index(path(""));
        QTRY_COMPARE(model->rowCount(top), 2);
    }
    void cleanup()
    {
        model.reset();
        loadTranslator(&translator, QStringLiteral("en_EN"));
        for (const char *name : {"big.ts", "small.txt"})
            QFile::remove(path(name));
        for (const char *folder : {"deleted", "big", "C"})
            QDir(path(folder)).removeRecursively();
        QFile::remove(path("A/new.ts"));
    }

    // Sizes and dates in the units and notation of the language chosen, as the receiver pane shows them.
    void sizesAndDatesInTheLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("expected"); // big file size, its date, small file size, header
        QTest::newRow("English") << "en_EN"
                                 << QStringList{"293.0 KB", "07/12/2026 10:00", "10.0 byte(s)", "Date Modified"};
        QTest::newRow("German") << "de_DE" << QStringList{"293,0 KB", "07.12.26 10:00", "10,0 Byte", "Änderungsdatum"};
        QTest::newRow("Polish") << "pl_PL"
                                << QStringList{"293,0 KB", "7.12.2026 10:00", "10,0 bajt(ów)", "Data modyfikacji"};
    }
    void sizesAndDatesInTheLanguage()
    {
        QFETCH(QString, language);
        // The page is there before the switch, as when the user changes the language on the settings page.
        MediaExplorerModule page;
        page.setGeneralMode(true);
        loadTranslator(&translator, language);
        const QDateTime when(QDate(2026, 12, 7), QTime(10, 0));
        for (const auto &[name, size] : {std::pair<QString, int>{"big.ts", 300000}, {"small.txt", 10}}) {
            QFile f(path(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(size, 'x')) == size && f.flush());
            QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
        }
        // A model that reads the folder with both files in it.
        model = std::make_unique<PcFileSystemModel>();
        model->setRootPath(path(""));
        QTRY_COMPARE(model->rowCount(model->index(path(""))), 4);
        const QModelIndex big = model->index(path("big.ts"));
        QTRY_VERIFY(!big.siblingAtColumn(3).data().toString().isEmpty());
        // The model gives the date as a value; each of the page's views writes it out in its language.
        QCOMPARE(big.siblingAtColumn(3).data().toDateTime(), when);
        for (QTreeView *view :
             {static_cast<QTreeView *>(page.tvPcFolders), static_cast<QTreeView *>(page.tvPcSpecialFolders),
              static_cast<QTreeView *>(page.tvZbDeviceFolders)}) {
            auto *delegate = qobject_cast<QStyledItemDelegate *>(view->itemDelegate());
            QVERIFY(delegate);
            const QStringList shown{big.siblingAtColumn(1).data().toString(),
                                    delegate->displayText(big.siblingAtColumn(3).data(), view->locale()),
                                    model->index(path("small.txt")).siblingAtColumn(1).data().toString(),
                                    model->headerData(3, Qt::Horizontal).toString()};
            QTEST(shown, "expected");
        }
        // A folder has neither.
        const QModelIndex folder = model->index(path("A"));
        QCOMPARE(folder.siblingAtColumn(1).data().toString(), QString());
        QCOMPARE(folder.siblingAtColumn(3).data(), QVariant());
    }

    // The column titles of the PC pane's views stay whole in every language, also in a narrow pane, measured
    // as the header draws them in the window's look (its style sheet gives the header its own font).
    void columnTitlesFit_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("pane"); // width of the PC pane, the splitter dragged there
        QTest::newRow("German, narrow") << "de_DE" << 420;
        QTest::newRow("German, wide") << "de_DE" << 900;
        QTest::newRow("Polish, narrow") << "pl_PL" << 420;
    }
    void columnTitlesFit()
    {
        QFETCH(QString, language);
        QFETCH(int, pane);
        ProgramLook look(language);
        QVERIFY(look.ok);
        MediaExplorerModule page;
        page.setGeneralMode(true);
        page.deviceStackedWidget->show(); // a receiver's page shares the width with its drives
        page.resize(1400, 600);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        page.mexTreesSplitter->setSizes({1400 - pane, pane});
        for (QTreeView *view :
             {static_cast<QTreeView *>(page.tvPcFolders), static_cast<QTreeView *>(page.tvPcSpecialFolders)}) {
            page.wdgPcFolders->setCurrentWidget(view->parentWidget()); // as "My Computer" and the folders do
            // sorted by the date: its indicator takes room too
            view->sortByColumn(3, Qt::DescendingOrder);
            QTRY_VERIFY(view->isVisible());
            QCoreApplication::processEvents();
            const QString cut = cutColumnTitle(view);
            QVERIFY2(cut.isEmpty(), qPrintable(cut + QStringLiteral(" (view %1 px)").arg(view->viewport()->width())));
        }
    }

    // A listed folder of many files deleted as the page deletes (file by file, then the folder), read by the
    // model while the delete empties it: its entries never go one by one (each at a cost that grows with the
    // folder, which held the window for minutes), and its row is gone when the delete ends, also when it was
    // the only entry of its parent. A folder made again under the name is listed afresh.
    void listedFolderDeleted_data()
    {
        QTest::addColumn<bool>("alone");
        QTest::newRow("alone in its folder") << true;
        QTest::newRow("beside a file") << false;
    }
    void listedFolderDeleted()
    {
        QFETCH(bool, alone);
        const int files = 20000;
        const QString parent = path("deleted"), folder = path("deleted/shows");
        QVERIFY(QDir().mkpath(folder));
        for (int i = 0; i < files; ++i)
            QVERIFY(QFile(folder + QStringLiteral("/Recording %1.ts").arg(i, 5, 10, QLatin1Char('0')))
                        .open(QIODevice::WriteOnly));
        if (!alone)
            QVERIFY(QFile(parent + "/notes.txt").open(QIODevice::WriteOnly));
        const int left = alone ? 0 : 1;
        // browsed into, then back to its folder
        QTreeView view;
        view.setModel(model.get());
        model->fetchMore(model->index(parent));
        QTRY_COMPARE(model->rowCount(model->index(parent)), left + 1);
        model->fetchMore(model->index(folder));
        QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(model->index(folder)), files, 120000);
        view.setRootIndex(model->index(parent));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        const QPersistentModelIndex listed = model->index(folder);
        int oneByOne = 0;
        connect(model.get(), &QAbstractItemModel::rowsAboutToBeRemoved, this,
                [&](const QModelIndex &from, int first, int last) {
                    if (listed.isValid() && from == listed)
                        oneByOne += last - first + 1;
                });
        // three quarters gone, and the model reads the folder in the middle of the delete
        for (int i = 0; i < files * 3 / 4; ++i)
            QVERIFY(QFile::remove(folder + QStringLiteral("/Recording %1.ts").arg(i, 5, 10, QLatin1Char('0'))));
        QTRY_VERIFY_WITH_TIMEOUT(model->rowCount(model->index(folder)) < files, 60000);
        QCOMPARE(oneByOne, 0);
        QCOMPARE(model->rowCount(model->index(parent)), left + 1); // still there, so still shown

        QVERIFY(QDir(folder).removeRecursively());
        QTRY_VERIFY(!model->index(folder).isValid());
        QTRY_COMPARE(model->rowCount(model->index(parent)), left);
        QCOMPARE(view.model()->rowCount(view.rootIndex()), left);
        QCOMPARE(oneByOne, 0);

        // the same name again: a new folder, read afresh (readings keep to a share of the time, and the
        // last one listed all the files)
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile(folder + "/new.ts").open(QIODevice::WriteOnly));
        QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(model->index(parent)), left + 1, 30000);
        model->fetchMore(model->index(folder));
        QTRY_COMPARE(model->rowCount(model->index(folder)), 1);
        QCOMPARE(model->index(folder + "/new.ts").parent(), model->index(folder));
        QVERIFY(QDir(parent).removeRecursively());
    }

    // A listed folder that lost most of its files is taken out and put back in one go (see listedFolderDeleted):
    // each view keeps its place in it. The browser stays in it, the tree keeps it and its sub-folders
    // expanded, both keep their selected and current rows, and the folder keeps its place among its siblings.
    void viewsKeepTheirPlaceInARebuiltFolder()
    {
        const int files = 2000, gone = 1500;
        model->setRemovalBudget(100'000); // 2,000 rows: rebuilt when more than 50 are gone
        const QString folder = path("big");
        QVERIFY(QDir().mkpath(folder + "/sub/inner"));
        QVERIFY(QDir().mkpath(path("C")));
        for (int i = 0; i < files; ++i)
            QVERIFY(make(folder + "/" + recording(i)));
        QVERIFY(make(folder + "/sub/inner/x.ts"));
        MediaExplorerTreeView tree;
        MediaExplorerFileBrowser browser;
        for (QTreeView *view : {static_cast<QTreeView *>(&tree), static_cast<QTreeView *>(&browser)}) {
            view->setModel(model.get());
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
            view->sortByColumn(0, Qt::AscendingOrder);
            view->setSortingEnabled(true);
            view->resize(600, 400);
            view->show();
            QVERIFY(QTest::qWaitForWindowExposed(view));
        }
        for (QModelIndex at = model->index(folder); at.isValid(); at = at.parent())
            tree.expand(at);
        QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(model->index(folder)), files + 1, 60000);
        tree.expand(model->index(folder + "/sub"));
        QTRY_COMPARE(model->rowCount(model->index(folder + "/sub")), 1);
        tree.expand(model->index(folder + "/sub/inner"));
        QTRY_COMPARE(model->rowCount(model->index(folder + "/sub/inner")), 1);
        browser.setRootPath(folder, true);
        QCOMPARE(browser.currentPathText(), folder);
        QTRY_COMPARE(rows(path("")), (QStringList{"A", "big", "C", "b.ts"}));
        const int place = model->index(folder).row();
        // chosen: files the delete keeps, and a sub-folder
        const QString treeFile = folder + "/" + recording(files - 1), browserFile = folder + "/" + recording(files - 2);
        tree.selectionModel()->setCurrentIndex(model->index(treeFile), QItemSelectionModel::NoUpdate);
        for (const QString &row : {treeFile, folder + "/sub"})
            tree.selectionModel()->select(model->index(row), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        browser.selectionModel()->setCurrentIndex(model->index(browserFile),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);

        QSignalSpy rebuilt(model.get(), &PcFileSystemModel::folderRebuilt);
        QSignalSpy paths(&browser, &MediaExplorerFileBrowser::currentPathChanged);
        for (int i = 0; i < gone; ++i)
            QVERIFY(QFile::remove(folder + "/" + recording(i)));
        QTRY_VERIFY_WITH_TIMEOUT(!rebuilt.isEmpty(), 60000);
        QCOMPARE(rebuilt.first().value(0).toString(), folder);
        QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(model->index(folder)), files - gone + 1, 60000);

        QCOMPARE(browser.rootIndex(), model->index(folder));
        QCOMPARE(browser.currentPathText(), folder);
        QCOMPARE(paths.size(), 0); // it never showed anything else
        QCOMPARE(selected(browser), QStringList{browserFile});
        QCOMPARE(browser.currentIndex().siblingAtColumn(0), model->index(browserFile));
        for (const QString &open : {folder, folder + "/sub", folder + "/sub/inner"})
            QVERIFY2(tree.isExpanded(model->index(open)), qPrintable(open));
        QCOMPARE(selected(tree), (QStringList{folder + "/" + recording(files - 1), folder + "/sub"}));
        QCOMPARE(tree.currentIndex().siblingAtColumn(0), model->index(treeFile));
        QTRY_COMPARE(model->index(folder).row(), place);
        QTRY_COMPARE(rows(folder).mid(0, 2), (QStringList{"sub", recording(gone)}));
        // A folder of the view's deleted for good: the browser shows the one above it and says so.
        QVERIFY(QDir(folder).removeRecursively());
        QTRY_COMPARE(browser.currentPathText(), path(""));
        QCOMPARE(paths.last().value(0).toString(), path(""));
    }

    // Large folders that no view holds any more are let go of, several of one folder in one reading, right
    // beside the rows the views hold; then the folder clicked, which lost most of its files, is rebuilt in the
    // same reading as two let go of. In either order of any column each view keeps exactly what the user chose
    // (its folder, current row, selection, expanded folders), and the pointer moving over the rows afterwards
    // meets only entries the model still has. (Sorted last first, the framework announced the second removal
    // in a folder at the wrong row, and the views kept places on freed entries.)
    void placesKeptWhenFoldersAreLetGo_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::newRow("name, last first") << 0 << Qt::DescendingOrder;
        QTest::newRow("name, first first") << 0 << Qt::AscendingOrder;
        QTest::newRow("size, last first") << 1 << Qt::DescendingOrder;
        QTest::newRow("size, first first") << 1 << Qt::AscendingOrder;
        QTest::newRow("date, last first") << 3 << Qt::DescendingOrder;
    }
    void placesKeptWhenFoldersAreLetGo()
    {
        QFETCH(int, column);
        QFETCH(Qt::SortOrder, order);
        const int files = 200;
        const QString parent = path("C");
        const auto at = [&](const QString &name) { return model->index(parent + "/" + name); };
        for (const char *folder : {"h1", "h2", "q"})
            for (int i = 0; i < files; ++i)
                QVERIFY(QDir().mkpath(parent + "/" + folder) && make(parent + "/" + folder + "/" + recording(i)));
        QVERIFY(QDir().mkpath(parent + "/sub"));
        for (const char *file : {"sub/x.ts", "a.ts", "b.ts", "d.ts", "e.ts"})
            QVERIFY(make(parent + "/" + file));
        // a model that lists the test's folder with all that in it: no reading of it is due
        model = std::make_unique<PcFileSystemModel>();
        model->setRemovalBudget(10'000); // 200 rows: let go of when no view holds them, rebuilt when 51 are gone
        model->setRootPath(path(""));
        QTRY_COMPARE(model->rowCount(model->index(path(""))), 3);
        // side by side in one window, as on the page
        QWidget pane;
        MediaExplorerTreeView tree(&pane);
        MediaExplorerFileBrowser browser(&pane);
        auto *sideBySide = new QHBoxLayout(&pane);
        for (QTreeView *view : {static_cast<QTreeView *>(&tree), static_cast<QTreeView *>(&browser)}) {
            view->setModel(model.get());
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
            view->setSortingEnabled(true);
            view->sortByColumn(column, order);
            // the row under the pointer followed as a style that draws it does
            view->setMouseTracking(true);
            view->viewport()->setAttribute(Qt::WA_Hover);
            sideBySide->addWidget(view);
        }
        pane.resize(1200, 400);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        browser.setRootPath(parent, true);
        QTRY_COMPARE(model->rowCount(model->index(parent)), 8);
        // the tree from the test's folder down: a reading of any folder lets go of those no view holds, and folders
        // above it change as other programs work
        tree.setRootIndex(model->index(path("")));
        tree.expand(model->index(parent));
        tree.expand(at("sub"));
        QTRY_COMPARE(model->rowCount(at("sub")), 1);
        // each large folder browsed into and back out of: listed, then held by no view
        const auto listAndLeave = [&](const QStringList &folders) {
            for (const QString &folder : folders) {
                browser.setRootPath(parent + "/" + folder, true);
                QTRY_COMPARE(model->rowCount(at(folder)), files);
                browser.goBack();
                QCOMPARE(browser.currentPathText(), parent);
            }
        };
        listAndLeave({"h1", "h2", "q"});
        const auto choose = [&](QTreeView &view, const QStringList &names, const QString &current) {
            view.selectionModel()->clear();
            for (const QString &name : names)
                view.selectionModel()->select(at(name), QItemSelectionModel::Select | QItemSelectionModel::Rows);
            view.selectionModel()->setCurrentIndex(at(current), QItemSelectionModel::NoUpdate);
        };
        choose(tree, {"a.ts", "sub"}, "a.ts");
        choose(browser, {"d.ts", "e.ts"}, "e.ts");
        const auto placesKept = [&](const QStringList &inBrowser, const QString &browserCurrent) {
            QCOMPARE(browser.rootIndex(), model->index(parent));
            QCOMPARE(browser.currentPathText(), parent);
            QStringList names;
            for (const QString &name : inBrowser)
                names << parent + "/" + name;
            QCOMPARE(selected(browser), names);
            QCOMPARE(model->filePath(browser.currentIndex()), parent + "/" + browserCurrent);
            QCOMPARE(selected(tree), (QStringList{parent + "/a.ts", parent + "/sub"}));
            QCOMPARE(model->filePath(tree.currentIndex()), parent + "/a.ts");
            QVERIFY(tree.isExpanded(model->index(parent)));
            QVERIFY(tree.isExpanded(at("sub")));
            QVERIFY(selectionHasRowsOf(tree, model->index(parent)) &&
                    selectionHasRowsOf(browser, model->index(parent)));
            // each row drawn is the entry the model has there
            for (int row = 0; row < model->rowCount(model->index(parent)); ++row) {
                const QModelIndex shown = model->index(row, 0, model->index(parent));
                QCOMPARE(model->index(model->filePath(shown)), shown);
            }
            tree.scrollTo(model->index(parent));
            for (QTreeView *view : {static_cast<QTreeView *>(&tree), static_cast<QTreeView *>(&browser)}) {
                QSignalSpy entered(view, &QAbstractItemView::entered);
                for (int y = 2; y < view->viewport()->height(); y += 4)
                    QTest::mouseMove(view->viewport(), QPoint(40, y));
                QVERIFY(entered.size() >= model->rowCount(model->index(parent)));
            }
        };

        // A change in the folder: its reading lets go of the three large folders at once.
        QVERIFY(!model->canFetchMore(at("h1")) && !model->canFetchMore(at("h2")) && !model->canFetchMore(at("q")));
        QVERIFY(make(parent + "/new.ts"));
        QTRY_VERIFY(model->canFetchMore(at("h1")) && model->canFetchMore(at("h2")) && model->canFetchMore(at("q")));
        QTRY_COMPARE(model->rowCount(model->index(parent)), 9);
        placesKept({"d.ts", "e.ts"}, "e.ts");
        if (QTest::currentTestFailed())
            return;

        // Listed again; then h1 and h2 chosen, most of q deleted from a shell, and the row q clicked: h1 and h2
        // are let go of and q rebuilt in one reading.
        listAndLeave({"h1", "h2", "q"});
        choose(browser, {"h1", "h2"}, "h2");
        // The pointer brought over q first: a move runs the event loop, and a reading of q taken there, before
        // the click, would find h1 and h2 still chosen (and the row under the pointer read again, not yet drawn).
        browser.scrollTo(at("q"));
        QTest::mouseMove(browser.viewport(), browser.visualRect(at("q")).center());
        for (int i = 0; i < files * 3 / 4; ++i)
            QVERIFY(QFile::remove(parent + "/q/" + recording(i)));
        QSignalSpy rebuilt(model.get(), &PcFileSystemModel::folderRebuilt);
        QVERIFY(!model->canFetchMore(at("h1")) && !model->canFetchMore(at("h2")) && !model->canFetchMore(at("q")));
        QTest::mouseClick(browser.viewport(), Qt::LeftButton, {}, browser.visualRect(at("q")).center());
        QCOMPARE(selected(browser), QStringList{parent + "/q"});
        QTRY_VERIFY_WITH_TIMEOUT(rebuilt.size() >= 3, 30000);
        QTRY_VERIFY(model->canFetchMore(at("h1")) && model->canFetchMore(at("h2")));
        placesKept({"q"}, "q");
        if (QTest::currentTestFailed())
            return;
        browser.setRootPath(parent + "/q", true);
        QTRY_COMPARE(model->rowCount(at("q")), files / 4);
    }

    // A folder shown read again after a shell added files to it and took others away (the framework's own
    // reading, which adds the new rows after the sorted ones and sorts them in later): the rows the browser has
    // selected stay the files chosen, in either order.
    void selectionKeptWhenAFolderIsReadAgain_data()
    {
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::newRow("last first") << Qt::DescendingOrder;
        QTest::newRow("first first") << Qt::AscendingOrder;
    }
    void selectionKeptWhenAFolderIsReadAgain()
    {
        QFETCH(Qt::SortOrder, order);
        const int files = 300;
        const QString folder = path("C");
        for (int i = 0; i < files; i += 2)
            QVERIFY(QDir().mkpath(folder) && make(folder + "/" + recording(i)));
        MediaExplorerFileBrowser browser;
        browser.setModel(model.get());
        browser.setSelectionMode(QAbstractItemView::ExtendedSelection);
        browser.setSortingEnabled(true);
        browser.sortByColumn(0, order);
        browser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&browser));
        browser.setRootPath(folder, true);
        QTRY_COMPARE(model->rowCount(model->index(folder)), files / 2);
        const QStringList chosen{folder + "/" + recording(0), folder + "/" + recording(150),
                                 folder + "/" + recording(298)};
        for (const QString &file : chosen)
            browser.selectionModel()->select(model->index(file),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
        browser.selectionModel()->setCurrentIndex(model->index(chosen[1]), QItemSelectionModel::NoUpdate);

        for (int round = 0; round < 3; ++round) {
            // new files between the listed ones, and listed ones gone
            for (int i = 1 + round; i < files; i += 6)
                QVERIFY(make(folder + "/" + recording(i)));
            for (int i = 2 + 6 * round; i < 2 + 6 * round + 6; i += 2)
                QVERIFY(QFile::remove(folder + "/" + recording(i)));
            const int listed = int(QDir(folder).entryList(QDir::Files).size());
            QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(model->index(folder)), listed, 30000);
            QCOMPARE(selected(browser), chosen);
            QCOMPARE(model->filePath(browser.currentIndex()), chosen[1]);
            QVERIFY(selectionHasRowsOf(browser, model->index(folder)));
        }
    }

    // After a listing of many files, which took its time, changes are read within seconds: in that folder shown,
    // and in another shown folder beside it. (A listing's length set the pace of every later reading: files
    // made were shown minutes later, gone ones stayed.) Readings here keep to a thousandth of the time, which
    // makes this listing as long for the pace as one of 300,000 files on a busy machine is with the usual
    // twentieth. The limit scales with the listing's length, as a reading of the folder takes about as long.
    void changesShowAfterALongListing()
    {
        const int files = 20000;
        model->setReadShare(1000);
        const QString folder = path("big"), other = path("A");
        QVERIFY(QDir().mkpath(folder));
        for (int i = 0; i < files; ++i)
            QVERIFY(make(folder + "/" + recording(i)));
        MediaExplorerFileBrowser browser, beside;
        for (MediaExplorerFileBrowser *view : {&browser, &beside}) {
            view->setModel(model.get());
            view->show();
        }
        beside.setRootPath(other, true);
        QTRY_COMPARE(rows(other), QStringList{"B"});
        QElapsedTimer listing;
        listing.start();
        browser.setRootPath(folder, true);
        QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(model->index(folder)), files, 120000);
        const int limit = int(qMax(qint64(30000), listing.elapsed() * 5));

        QVERIFY(make(folder + "/new.ts"));
        QVERIFY(QFile::remove(folder + "/" + recording(0)));
        QVERIFY(make(other + "/new.ts"));
        QTRY_VERIFY_WITH_TIMEOUT(rows(other).contains("new.ts"), limit);
        QTRY_VERIFY_WITH_TIMEOUT(rows(folder).contains("new.ts") && !rows(folder).contains(recording(0)), limit);
        QCOMPARE(model->rowCount(model->index(folder)), files);

        // An entry the program makes is listed at once, also in the long listing.
        QVERIFY(QDir().mkdir(folder + "/made"));
        model->showNewEntry(folder + "/made");
        QVERIFY(rows(folder).contains("made"));

        // Left by the browser, the long listing is let go of at the next reading (each reading of any folder
        // sorts all that is listed), and read afresh when the browser comes back.
        browser.setRootPath(other, true);
        QVERIFY(QFile::remove(other + "/new.ts"));
        QTRY_VERIFY_WITH_TIMEOUT(!rows(other).contains("new.ts"), limit);
        QTRY_VERIFY(model->canFetchMore(model->index(folder)));
        QCOMPARE(model->rowCount(model->index(path(""))), 3); // still there, not read yet
        browser.goBack();
        QCOMPARE(browser.currentPathText(), folder);
        QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(model->index(folder)), files + 1, 120000);
    }

    // A file that grew while its folder was shown shows its size on disk after Refresh, and after the browser
    // left the folder and came back; also when the growth kept the file's date (a copy that keeps the source's
    // time, a drive that stores times in whole seconds), so that nothing but its size tells of the change.
    void grownFileShowsItsSize_data()
    {
        QTest::addColumn<bool>("sameDate");
        QTest::addColumn<bool>("refresh"); // Refresh, else away to another folder and back
        QTest::addColumn<int>("others");   // other files in the folder
        QTest::newRow("refresh") << false << true << 0;
        QTest::newRow("refresh, date kept") << true << true << 0;
        QTest::newRow("back to the folder") << false << false << 0;
        QTest::newRow("back to the folder, date kept") << true << false << 0;
        // too large to look at each file at once: checked at its next reading
        QTest::newRow("back to a large folder, date kept") << true << false << 5000;
    }
    void grownFileShowsItsSize()
    {
        QFETCH(bool, sameDate);
        QFETCH(bool, refresh);
        QFETCH(int, others);
        const QString folder = path("C"), file = path("C/grow.bin");
        const QDateTime when(QDate(2026, 5, 1), QTime(20, 15));
        QVERIFY(QDir().mkpath(folder));
        for (int i = 0; i < others; ++i)
            QVERIFY(make(folder + "/" + recording(i)));
        model->setRemovalBudget(qint64(1) << 40); // left by the browser, the folder stays listed
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(1000, 'x')) == 1000 && f.flush());
            QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
        }
        MediaExplorerFileBrowser browser;
        browser.setModel(model.get());
        browser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&browser));
        browser.setRootPath(folder, true);
        QTRY_COMPARE(model->rowCount(model->index(folder)), others + 1);
        QTRY_COMPARE(model->size(model->index(file)), 1000);
        QCOMPARE(model->index(file).siblingAtColumn(1).data().toString(), formatSize(1000));
        const QString type = model->index(file).siblingAtColumn(2).data().toString();
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::Append) && f.write(QByteArray(5000000, 'y')) == 5000000 && f.flush());
            if (sameDate)
                QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
        }
        QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
        if (refresh) {
            browser.refreshCurrentFolder();
        } else {
            browser.setRootPath(path("A"), true);
            QTRY_COMPARE(rows(path("A")), QStringList{"B"});
            QVERIFY(!model->canFetchMore(model->index(folder)));
            browser.goBack();
            QCOMPARE(browser.currentPathText(), folder);
        }
        QTRY_COMPARE(model->size(model->index(file)), 5001000);
        QCOMPARE(model->index(file).siblingAtColumn(1).data().toString(), formatSize(5001000));
        QVERIFY(!changed.isEmpty()); // the view hears of it and draws it anew
        QCOMPARE(model->index(file).siblingAtColumn(2).data().toString(), type);
        QCOMPARE(model->rowCount(model->index(folder)), others + 1);
    }

    // Dropped on a folder: into it; on a file: beside it; PC and receiver payloads go to their own signal.
    void dropTargets_data()
    {
        QTest::addColumn<QString>("target"); // below the temporary folder ("" = the folder itself)
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("landing"); // below the temporary folder
        QTest::newRow("PC items on a folder") << "A"
                                              << "text/uri-list"
                                              << "A";
        QTest::newRow("PC items on a file") << "b.ts"
                                            << "text/uri-list"
                                            << "";
        QTest::newRow("PC items on a sub-folder") << "A/B"
                                                  << "text/uri-list"
                                                  << "A/B";
        QTest::newRow("receiver items on a folder") << "A"
                                                    << "text/zbdevice-uri-list"
                                                    << "A";
        QTest::newRow("receiver items on a file") << "b.ts"
                                                  << "text/zbdevice-uri-list"
                                                  << "";
    }
    void dropTargets()
    {
        QFETCH(QString, target);
        QFETCH(QString, format);
        QFETCH(QString, landing);
        QSignalSpy pc(model.get(), &PcFileSystemModel::mimeDataDropped);
        QSignalSpy receiver(model.get(), &PcFileSystemModel::mimeDeviceDataDropped);
        QMimeData data;
        data.setData(format, "payload");
        QVERIFY(model->dropMimeData(&data, Qt::CopyAction, -1, -1, model->index(path(target))));
        QSignalSpy &used = format == QLatin1String("text/uri-list") ? pc : receiver;
        QCOMPARE(pc.size() + receiver.size(), 1);
        QCOMPARE(used.size(), 1);
        QCOMPARE(used.first().value(0).toString(), path(landing));
        QCOMPARE(used.first().value(1).toString(), QString::fromUtf8(data.data(format)));
    }

    // Address, Up and Back of the folder browser: the path shown and which buttons are on.
    void browserMoves_data()
    {
        QTest::addColumn<QStringList>("steps"); // "go:<relative or absolute>", "up", "back", "gone:<relative>"
        QTest::addColumn<QString>("shown");     // "" = the temporary folder, "*" = the drive list
        QTest::addColumn<bool>("up");
        QTest::addColumn<bool>("back");
        QTest::newRow("address") << QStringList{"go:A"} << "A" << true << true;
        QTest::newRow("up from a folder") << QStringList{"go:A/B", "up"} << "A" << true << true;
        QTest::newRow("up from the root shows the drives") << QStringList{"go:/", "up"} << "*" << false << true;
        QTest::newRow("back reaches the drive list") << QStringList{"go:A", "back"} << "*" << false << false;
        QTest::newRow("back to the folder before") << QStringList{"go:A", "go:A/B", "back"} << "A" << true << true;
        QTest::newRow("back past a folder that is gone")
            << QStringList{"go:A/B", "go:", "gone:A/B", "back"} << "" << true << true;
        QTest::newRow("an address that does not exist") << QStringList{"go:A", "go:nothing"} << "*" << false << true;
    }
    void browserMoves()
    {
        QFETCH(QStringList, steps);
        MediaExplorerFileBrowser browser;
        browser.setModel(model.get());
        QSignalSpy paths(&browser, &MediaExplorerFileBrowser::currentPathChanged);
        QSignalSpy up(&browser, &MediaExplorerFileBrowser::goUpPossible);
        QSignalSpy back(&browser, &MediaExplorerFileBrowser::goBackPossible);
        for (const QString &step : steps) {
            const QString arg = step.section(u':', 1);
            if (step.startsWith("go:"))
                browser.setRootPath(arg.startsWith(u'/') ? arg : path(arg), true);
            else if (step.startsWith("gone:"))
                QVERIFY(QDir(path(arg)).removeRecursively());
            else if (step == QLatin1String("up"))
                browser.goUp();
            else
                browser.goBack();
        }
        QFETCH(QString, shown);
        const QString expected = shown == QLatin1String("*") ? QStringLiteral("My Computer") : path(shown);
        QCOMPARE(browser.currentPathText(), expected);
        QVERIFY(!paths.isEmpty());
        QCOMPARE(paths.last().value(0).toString(), expected);
        QTEST(!up.isEmpty() && up.last().value(0).toBool(), "up");
        QTEST(!back.isEmpty() && back.last().value(0).toBool(), "back");
    }
};

OMBRELAY_TEST_MAIN(TestPcFileSystemModel)
#include "tst_pcfilesystemmodel.moc"
