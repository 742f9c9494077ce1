#include "testmain.h"

#include "mediapagetest.h"
#include "stampedinput.h"

#include "app/mainwindow.h"
#include "base/filehelpers.h"
#include "base/settings.h"
#include "widgets/aimedinputrule.h"

#include <QCursor>
#include <QDesktopServices>
#include <QScrollBar>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <memory>

// The PC browser of the media explorer judges input in the user's time, by the row that stood drawn under the
// pointer a reaction time before the input was made. A listing that leaves the row drawn there as it was costs
// the user nothing; a folder another program fills keeps taking clicks on a row that stands, and a file keeps its
// row while its size changes; a wheel turn always scrolls. Rows the user scrolls in by the keys, or that the
// browser scrolls in itself while a drag rests at its edge, are watched as they come.

class TestMediaAimedRows : public MediaPageTest
{
    Q_OBJECT
    std::unique_ptr<MainWindow> main;
    QStringList opened; // files handed to the desktop's default application
    qint64 programMs = 0;

    QWidget *host() override { return main ? static_cast<QWidget *>(main.get()) : &window; }
    void showPage(bool active) override
    {
        if (!main) {
            MediaPageTest::showPage(active);
            return;
        }
        main->resize(1200, 800);
        main->show();
        main->setCurrentModule(page.get(), true);
    }
    // The page opened anew among the real main window's pages, its PC folder empty.
    void intoTheWindow()
    {
        closePage();
        newReceiver();
        r->file("hdd/Shows/old.ts", "old");
        main = std::make_unique<MainWindow>();
        openPage(true);
    }

    QTreeView *browser() const { return page->tvPcSpecialFolders; }
    // The names of the rows the browser shows now, without waiting.
    QStringList browserRows() const
    {
        const QModelIndex root = browser()->rootIndex();
        QStringList rows;
        for (int i = 0; i < page->pcModel()->rowCount(root); ++i)
            rows << page->pcModel()->index(i, 0, root).data().toString();
        return rows;
    }
    QString nameAt(const QPoint &point) const { return browser()->indexAt(point).siblingAtColumn(0).data().toString(); }
    QStringList selectedNames() const
    {
        QStringList names;
        for (const QModelIndex &row : browser()->selectionModel()->selectedRows(0))
            names << row.data().toString();
        return names;
    }
    // The browser opened at folder holding one-byte files named names, all listed in order and drawn.
    void browseFiles(const QString &folder, QStringList names)
    {
        for (const QString &name : names)
            write(folder + "/" + name, "x");
        browseTo(folder);
        std::sort(names.begin(), names.end());
        QTRY_COMPARE_WITH_TIMEOUT(browserRows(), names, 20000);
        browser()->setFocus();
        QVERIFY(rowsDrawn(browser()));
    }
    // What another program does in the folder shown, made at ms in the user's time: once the browser lists rows
    // (in order), drawn.
    void changedAt(StampedInput &user, int ms, const std::function<void()> &change, QStringList rows)
    {
        user.rest(ms, browser()->window());
        change();
        std::sort(rows.begin(), rows.end());
        QTRY_COMPARE_WITH_TIMEOUT(browserRows(), rows, 20000);
        QVERIFY(rowsDrawn(browser()));
    }
    // A click made at ms at point of the browser's viewport, through the window: the rows it selected.
    QStringList clickAt(StampedInput &user, int ms, const QPoint &point)
    {
        browser()->clearSelection();
        QWidget *top = browser()->window();
        user.click(ms, top->windowHandle(), browser()->viewport()->mapTo(top, point));
        return selectedNames();
    }
    static QStringList numbered(const QString &prefix, int count)
    {
        QStringList names;
        for (int i = 0; i < count; ++i)
            names << QStringLiteral("%1%2.ts").arg(prefix).arg(i, 2, 10, QLatin1Char('0'));
        return names;
    }
    // The stamps' clock running on with a clock of the test's, which stands still until the test moves it.
    void followTestTime()
    {
        programMs = 0;
        AimedInputRule::setTimeForTests([this] { return programMs; });
        AimedInputRule::setStampsFollowTime(true);
    }

private slots:
    void initTestCase()
    {
        Settings::setString(Settings::OmbrelayDeviceList, QString());
        MediaExplorerModule::registerModule();
    }
    void init()
    {
        opened.clear();
        QDesktopServices::setUrlHandler("file", this, "openUrl");
        newReceiver();
        r->file("hdd/Shows/old.ts", "old");
        openPage(true);
    }
    void cleanup()
    {
        AimedInputRule::setStampsFollowTime(false);
        AimedInputRule::setTimeForTests({});
        if (main)
            main->setCurrentModule(nullptr, false);
        closePage();
        main.reset();
        QDesktopServices::unsetUrlHandler("file");
    }

    // A file made from outside moves b.ts under the pointer, aimed at d.ts; listings follow 300 ms apart that add
    // files below the rows and leave b.ts drawn there. A double-click made 100 or 300 ms after the last listing
    // opens b.ts, which stood there 1.0 s and more; made 300 ms after the listing that put it there, nothing (the
    // focus and the selection as they were), and 1.5 s after it, b.ts.
    void listingsThatLeaveTheRowDrawn_data()
    {
        QTest::addColumn<int>("listings");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("opens");
        QTest::newRow("made 300 ms after three listings that leave it drawn") << 3 << 300 << true;
        QTest::newRow("made 100 ms after three listings that leave it drawn") << 3 << 100 << true;
        QTest::newRow("made 300 ms after the listing that put it there") << 0 << 300 << false;
        QTest::newRow("made 1.5 s after the listing that put it there") << 0 << 1500 << true;
    }
    void listingsThatLeaveTheRowDrawn()
    {
        QFETCH(int, listings);
        QFETCH(int, after);
        QFETCH(bool, opens);
        const QString base = pc.filePath("base");
        QStringList rows{"b.ts", "d.ts", "f.ts", "h.ts", "j.ts"};
        browseFiles(base, rows);
        QVERIFY(!QTest::currentTestFailed());
        const QPoint point = browser()->visualRect(shown("d.ts")).center();
        QWidget *top = browser()->window();
        StampedInput user;
        user.rest(0, top);
        changedAt(
            user, 1000, [&] { write(base + "/a.ts", "a"); }, rows << "a.ts");
        QCOMPARE(nameAt(point), QStringLiteral("b.ts"));
        int last = 1000;
        for (int listing = 1; listing <= listings; ++listing) {
            last += 300;
            const QString name = QStringLiteral("z%1.ts").arg(listing);
            changedAt(
                user, last, [&] { write(base + "/" + name, "z"); }, rows << name);
            QCOMPARE(nameAt(point), QStringLiteral("b.ts"));
        }
        QWidget *focus = QApplication::focusWidget();
        const QModelIndex current = browser()->currentIndex();
        user.doubleClick(last + after, top->windowHandle(), browser()->viewport()->mapTo(top, point));
        if (opens) {
            QCOMPARE(opened, QStringList{base + "/b.ts"});
        } else {
            QCOMPARE(opened, QStringList());
            QCOMPARE(QApplication::focusWidget(), focus);
            QCOMPARE(browser()->currentIndex(), current);
            QCOMPARE(selectedNames(), QStringList());
        }
    }

    // A folder another program fills, the browser scrolled down it. First it makes a file every 200 ms that goes
    // above the rows shown: each moves another row under the pointer, a click made 100 ms after one selects
    // nothing, and a wheel turn made 150 ms after each but the last scrolls. Then it writes the file now under the
    // pointer (its size changes) and makes a file below the rows shown every 200 ms: a click made 300 ms after the last
    // row moved there selects nothing; made 900 ms after and later, while the changes go on, the file drawn there. On
    // the page and in the whole window.
    void folderFilledByAnotherProgram_data()
    {
        QTest::addColumn<bool>("inTheWindow");
        QTest::newRow("on the page") << false;
        QTest::newRow("in the window") << true;
    }
    void folderFilledByAnotherProgram()
    {
        QFETCH(bool, inTheWindow);
        if (inTheWindow)
            intoTheWindow();
        const QString folder = pc.filePath("fill");
        QStringList rows = numbered(QStringLiteral("m"), 40);
        browseFiles(folder, rows);
        QVERIFY(!QTest::currentTestFailed());
        QTreeView *view = browser();
        view->scrollTo(shown("m10.ts"), QAbstractItemView::PositionAtTop);
        QVERIFY(rowsDrawn(view));
        const QPoint point = view->visualRect(shown("m13.ts")).center();
        QVERIFY(view->viewport()->rect().contains(point));
        QScrollBar *bar = view->verticalScrollBar();
        StampedInput user;
        user.rest(0, view->window());
        QStringList wheelTurns;
        int ms = 1000;
        for (int made = 0; made < 6; ++made, ms += 200) {
            const QString before = nameAt(point);
            const QString name = QStringLiteral("a%1.ts").arg(made, 2, 10, QLatin1Char('0'));
            changedAt(
                user, ms, [&] { write(folder + "/" + name, "a"); }, rows << name);
            QVERIFY(nameAt(point) != before);
            if (made % 3 == 0)
                QCOMPARE(clickAt(user, ms + 100, point), QStringList());
            // the last file made is the last change under the pointer
            if (made < 5) {
                const int at = bar->value();
                user.wheel(ms + 150, view->viewport(), point);
                wheelTurns << (bar->value() > at ? "scrolled" : "dropped");
                QVERIFY(rowsDrawn(view));
            }
        }
        const int moved = ms - 200; // the last time another row came under the pointer
        const QString pointed = nameAt(point);
        QVERIFY(pointed.startsWith(u'm'));
        QStringList acted, expected;
        qint64 size = 1;
        for (int step = 0; step < 10; ++step, ms += 200) {
            const QString name = QStringLiteral("z%1.ts").arg(step, 2, 10, QLatin1Char('0'));
            const QString sizeBefore = shown(pointed).siblingAtColumn(1).data().toString();
            changedAt(
                user, ms,
                [&] {
                    QFile grown(folder + "/" + pointed);
                    QVERIFY(grown.open(QIODevice::Append) && grown.write(QByteArray(5000, 'x')) == 5000);
                    size += 5000;
                    write(folder + "/" + name, "z");
                },
                rows << name);
            QTRY_COMPARE_WITH_TIMEOUT(shown(pointed).siblingAtColumn(1).data().toString(), formatSize(size), 20000);
            QVERIFY(rowsDrawn(view));
            QVERIFY(shown(pointed).siblingAtColumn(1).data().toString() != sizeBefore);
            QCOMPARE(nameAt(point), pointed);
            if (step % 3 == 0) {
                acted << clickAt(user, ms + 100, point).join(u',');
                expected << (ms + 100 - moved >= AimedInputRule::reactionTime() ? pointed : QString());
            }
        }
        QCOMPARE(expected, (QStringList{QString(), pointed, pointed, pointed}));
        QCOMPARE(acted, expected);
        QCOMPARE(wheelTurns, QStringList(5, QStringLiteral("scrolled")));
    }

    // Keys given to the browser scroll rows in that the user watches as they come: a click made 200 ms after,
    // once drawn, selects the file drawn. After a scroll the program makes, a click made 200 ms after selects
    // nothing, one made 1.5 s after the file drawn.
    void clickAfterKeysScrolledTheBrowser_data()
    {
        QTest::addColumn<QString>("scroll");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("taken");
        // as the platform names the keys
        for (const char *key : {"PgDown", "End", "Down"})
            QTest::addRow("made 200 ms after %s", key) << QString::fromLatin1(key) << 200 << true;
        QTest::newRow("made 200 ms after a scroll by the program") << QStringLiteral("the program") << 200 << false;
        QTest::newRow("made 1.5 s after a scroll by the program") << QStringLiteral("the program") << 1500 << true;
    }
    void clickAfterKeysScrolledTheBrowser()
    {
        QFETCH(QString, scroll);
        QFETCH(int, after);
        QFETCH(bool, taken);
        const QString folder = pc.filePath("many");
        browseFiles(folder, numbered(QStringLiteral("f"), 60));
        QVERIFY(!QTest::currentTestFailed());
        QTreeView *view = browser();
        view->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), view);
        // from the first row, or for an arrow from the last shown in full
        const QModelIndex from = scroll == "Down"
                                     ? view->indexAbove(view->indexAt(QPoint(5, view->viewport()->height() - 2)))
                                     : shown("f00.ts");
        QVERIFY(from.isValid());
        view->setCurrentIndex(from);
        QVERIFY(rowsDrawn(view));
        const QPoint point = view->visualRect(shown("f03.ts")).center();
        const int at = view->verticalScrollBar()->value();
        StampedInput user;
        user.rest(2000, view->window());
        if (scroll == "the program") {
            view->scrollTo(shown("f30.ts"), QAbstractItemView::PositionAtTop);
        } else {
            const QKeySequence keys(scroll);
            user.key(2000, keys[0].key(), QString(), keys[0].keyboardModifiers());
        }
        QVERIFY(view->verticalScrollBar()->value() != at);
        QVERIFY(rowsDrawn(view));
        const QString drawn = nameAt(point);
        QVERIFY(drawn != QStringLiteral("f03.ts"));
        const QModelIndex current = view->currentIndex();
        const QStringList selected = selectedNames();
        QWidget *top = view->window();
        user.click(2000 + after, top->windowHandle(), view->viewport()->mapTo(top, point));
        if (taken) {
            QCOMPARE(selectedNames(), QStringList{drawn});
        } else {
            QCOMPARE(view->currentIndex(), current);
            QCOMPARE(selectedNames(), selected);
        }
    }

    // A PC file dragged over the browser of 60 folders rests at its bottom edge, and the browser scrolls itself;
    // dropped on a folder 150 ms after the browser was drawn scrolled, it is copied into that folder. After a
    // scroll the program makes, the same drop 150 ms after is refused, and 1.5 s after it is taken.
    void dropAfterTheBrowserScrolledItself_data()
    {
        QTest::addColumn<QString>("scroll");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("taken");
        QTest::newRow("made 150 ms after a scroll by the browser") << QStringLiteral("the browser") << 150 << true;
        QTest::newRow("made 150 ms after a scroll by the program") << QStringLiteral("the program") << 150 << false;
        QTest::newRow("made 1.5 s after a scroll by the program") << QStringLiteral("the program") << 1500 << true;
    }
    void dropAfterTheBrowserScrolledItself()
    {
        QFETCH(QString, scroll);
        QFETCH(int, after);
        QFETCH(bool, taken);
        write(pc.filePath("src/clip.ts"), "clip");
        const QString folder = pc.filePath("many");
        QStringList folders;
        for (int i = 0; i < 60; ++i) {
            folders << QStringLiteral("d%1").arg(i, 2, 10, QLatin1Char('0'));
            write(folder + "/" + folders.last() + "/in.ts", "x");
        }
        browseTo(folder);
        QTRY_COMPARE_WITH_TIMEOUT(browserRows(), folders, 20000);
        QTreeView *view = browser();
        QVERIFY(rowsDrawn(view));
        QWidget *viewport = view->viewport();
        const QPoint edge(viewport->width() / 3, viewport->height() - 3);
        const QPoint point = view->visualRect(shown("d03")).center();
        const bool itself = scroll == "the browser";
        QCursor::setPos(viewport->mapToGlobal(itself ? edge : point));
        QTRY_COMPARE(QCursor::pos(), viewport->mapToGlobal(itself ? edge : point));
        QVERIFY(rowsDrawn(view));

        followTestTime();
        StampedInput user;
        user.rest(0, view->window());
        QSignalSpy dropped(page->pcModel(), &PcFileSystemModel::mimeDataDropped);
        const std::unique_ptr<QMimeData> payload(page->pcModel()->mimeData({pcIndex(pc.filePath("src/clip.ts"))}));
        QString drawn;
        {
            const PointerHeldByTheDrag held;
            const QPoint in = itself ? edge : point;
            QDragEnterEvent enter(in, Qt::CopyAction, payload.get(), Qt::LeftButton, {});
            QApplication::sendEvent(viewport, &enter);
            QDragMoveEvent move(in, Qt::CopyAction, payload.get(), Qt::LeftButton, {});
            QApplication::sendEvent(viewport, &move);
            if (itself) {
                QTRY_VERIFY(view->verticalScrollBar()->value() > 2);
                QCursor::setPos(viewport->mapToGlobal(point));
            } else {
                view->scrollTo(shown("d30"), QAbstractItemView::PositionAtTop);
            }
            QDragMoveEvent moved(point, Qt::CopyAction, payload.get(), Qt::LeftButton, {});
            QApplication::sendEvent(viewport, &moved);
            QVERIFY(rowsDrawn(view));
            drawn = nameAt(point);
            QVERIFY(drawn != QStringLiteral("d03"));
            programMs += after;
            QDropEvent drop(point, Qt::CopyAction, payload.get(), Qt::LeftButton, {});
            QApplication::sendEvent(viewport, &drop);
        }
        QStringList into;
        for (const QList<QVariant> &drop : std::as_const(dropped))
            into << QFileInfo(drop.value(0).toString()).fileName();
        QCOMPARE(into, taken ? QStringList{drawn} : QStringList());
        if (taken)
            QTRY_COMPARE(read(folder + "/" + drawn + "/clip.ts"), QByteArray("clip"));
        QTRY_VERIFY(!page->isBusy());
    }

public slots:
    void openUrl(const QUrl &url) { opened << url.toLocalFile(); }
};

OMBRELAY_TEST_MAIN(TestMediaAimedRows)
#include "tst_mediaaimedrows.moc"
