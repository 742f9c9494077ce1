#include "testmain.h"

#include "mediapagetest.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>

#include <functional>

// Which controls of the media explorer page are on, and where its commands go, as the user selects with
// mouse and keyboard and after jobs end: the real page offscreen, its receiver the emulator.
class TestMediaControls : public MediaPageTest
{
    Q_OBJECT
    QStringList opened; // files handed to the desktop's default application

    void browse(const QString &path) // typed into the address field of the PC pane's browser
    {
        page->txtBrowserAddress->setFocus();
        page->txtBrowserAddress->setText(path);
        QTest::keyClick(page->txtBrowserAddress, Qt::Key_Return);
        QTRY_COMPARE(page->tvPcSpecialFolders->rootIndex(), pcIndex(path));
        QTRY_COMPARE(page->pcModel()->rowCount(pcIndex(path)), QDir(path).count() - 2);
    }
    // The page's window active again (a dialog shown meanwhile may have left it inactive).
    void activate()
    {
        if (!page->isActiveWindow()) {
            page->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(page.get()));
        }
    }
    // Keys as typed into the page's window.
    void keys(QWidget *to, int key, Qt::KeyboardModifiers modifiers = {})
    {
        activate();
        QTest::keyClick(to, Qt::Key(key), modifiers);
    }
    // The browser showing the PC folder "base", which holds the files names.
    void browseBase(const QStringList &names)
    {
        for (const QString &name : names)
            write(pc.filePath("base/") + name, "x");
        page->btnMyComputer->setChecked(false);
        page->wdgPcFolders->setCurrentIndex(1);
        browse(pc.filePath("base"));
    }
    static QStringList entries(const QString &path)
    {
        return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }
    bool deleteOn() const { return page->btnDelete->isEnabled(); }
    // The names of the rows the browser shows now, without waiting.
    QStringList browserRows() const
    {
        const QModelIndex root = page->tvPcSpecialFolders->rootIndex();
        QStringList rows;
        for (int i = 0; i < page->pcModel()->rowCount(root); ++i)
            rows << page->pcModel()->index(i, 0, root).data().toString();
        return rows;
    }
    // The Delete entry of menu, as the user finds it.
    static QAction *entry(QMenu *menu, const QString &text)
    {
        for (QAction *action : menu->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
    // A right click at index (the empty area when invalid) and the entry text of the menu it opens.
    void chooseFromMenu(QTreeView *view, const QModelIndex &index, QMenu *menu, const QString &text)
    {
        auto seen = std::make_shared<bool>(false);
        auto chosen = std::make_shared<bool>(false);
        auto *poll = new QTimer(menu);
        connect(poll, &QTimer::timeout, menu, [=] {
            if (!menu->isVisible())
                return;
            poll->stop();
            poll->deleteLater();
            *seen = true;
            QAction *action = entry(menu, text);
            menu->close();
            if (action && action->isEnabled()) {
                *chosen = true;
                action->trigger();
            }
        });
        poll->start(10);
        // The menu opens while the button is down, as on X11; the release comes after it closed. Aimed at
        // the row the view shows.
        QVERIFY(drawnWith(view, QPersistentModelIndex(index)));
        const QPoint at = index.isValid() ? view->visualRect(index).center()
                                          : QPoint(view->viewport()->width() / 2, view->viewport()->height() - 3);
        QTest::mousePress(view->viewport(), Qt::RightButton, {}, at);
        if (!*seen) { // the platform sent no context menu event of its own
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
            QApplication::sendEvent(view->viewport(), &event);
        }
        QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, at);
        QTRY_VERIFY(*seen);
        QVERIFY2(*chosen, qPrintable(text));
    }

public slots:
    void openUrl(const QUrl &url) { opened << url.toLocalFile(); }

private slots:
    void init()
    {
        opened.clear();
        QDesktopServices::setUrlHandler("file", this, "openUrl");
        newReceiver();
        r->file("hdd/Shows/old.ts", "old");
        r->file("hdd/x.ts", "x");
        openPage(true);
    }
    void cleanup()
    {
        closePage();
        QDesktopServices::unsetUrlHandler("file");
    }

    // A folder right under a drive, and a drive, stay undeletable whatever job ended before; the delete
    // itself refuses them when called while they are selected.
    void protectedAfterJob_data()
    {
        QTest::addColumn<QString>("job");
        QTest::newRow("paste") << "paste";
        QTest::newRow("drop") << "drop";
        QTest::newRow("new folder") << "new folder";
        QTest::newRow("cancel") << "cancel";
        QTest::newRow("failure") << "failure";
        QTest::newRow("dropped connection") << "dropped connection";
    }
    void protectedAfterJob()
    {
        QFETCH(QString, job);
        write(pc.filePath("clip.ts"),
              job == "cancel" || job == "dropped connection" ? QByteArray(30'000'000, 'c') : QByteArray("clip"));
        QPersistentModelIndex shows = device("hdd/Shows");
        click(page->tvZbDeviceFolders, shows);
        QTRY_VERIFY(page->btnCopy->isEnabled());
        QVERIFY(!deleteOn());
        QSignalSpy stacked(page->deviceStackedWidget, &QStackedWidget::currentChanged);
        keys(page->tvZbDeviceFolders, Qt::Key_Delete);
        QCOMPARE(boxTexts, QStringList());

        std::unique_ptr<QMimeData> data(page->pcModel()->mimeData({pcIndex(pc.filePath("clip.ts"))}));
        if (job == "drop") {
            page->deviceModel()->dropMimeData(data.get(), Qt::CopyAction, -1, -1, shows);
        } else if (job == "new folder") {
            folderName = "Season";
            page->onNewFolder();
        } else {
            if (job == "failure")
                r->transfers->refuseStatus = 0xFD;
            if (job == "dropped connection")
                r->transfers->dropAfter = 2'000'000;
            QGuiApplication::clipboard()->setMimeData(data.release());
            stacked.clear();
            keys(page->tvZbDeviceFolders, Qt::Key_V, Qt::ControlModifier);
            QTRY_VERIFY(page->isBusy());
            if (job == "cancel") {
                QTRY_VERIFY(r->transfers->uploadPackets() > 2);
                page->onBtnCancelTransfer();
            }
        }
        QTRY_VERIFY(!page->isBusy());
        QTRY_VERIFY(!page->deviceModel()->isFetching());
        QCOMPARE(boxTexts.size(), job == "failure" || job == "dropped connection" ? 1 : 0);
        boxTexts.clear();
        if (job == "dropped connection") {
            // The message page showed while the link was down; the program connects anew by itself, and the
            // tree comes back listed over the new connection.
            QTRY_VERIFY(!stacked.isEmpty());
            QCOMPARE(stacked.first().value(0).toInt(), 1);
            r->transfers->dropAfter = -1;
            QVERIFY(!deleteOn());
            QTRY_COMPARE_WITH_TIMEOUT(r->emulator.connectionCount(), 2, 15000);
            QTRY_COMPARE(page->deviceStackedWidget->currentIndex(), 0);
            QTRY_VERIFY(!page->deviceModel()->isFetching());
            QVERIFY(!deleteOn());
            shows = device("hdd/Shows");
            click(page->tvZbDeviceFolders, shows);
        }
        QVERIFY(shows.isValid());
        QVERIFY(page->tvZbDeviceFolders->selectionModel()->isRowSelected(shows.row(), shows.parent()));
        QVERIFY2(!deleteOn(), "Delete is offered for a folder right under a drive");
        QVERIFY(!page->deviceContextMenu()->actions().isEmpty());
        QVERIFY(!entry(page->deviceContextMenu(), "Delete")->isEnabled());

        // The next action: Del, and the delete called directly.
        boxAnswers << "&Yes"
                   << "&Yes";
        keys(page->tvZbDeviceFolders, Qt::Key_Delete);
        page->deleteSelectedFiles();
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(boxTexts, QStringList());
        QVERIFY(QFileInfo::exists(r->root.filePath("hdd/Shows/old.ts")));

        const QModelIndex drive = device("hdd");
        click(page->tvZbDeviceFolders, drive);
        QTRY_VERIFY(page->tvZbDeviceFolders->selectionModel()->isRowSelected(drive.row(), drive.parent()));
        QVERIFY(!deleteOn());
        page->deleteSelectedFiles();
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(boxTexts, QStringList());
        QVERIFY(QFileInfo::exists(r->root.filePath("hdd/x.ts")));

        // A file below still goes.
        const QModelIndex file = device("hdd/Shows/old.ts");
        click(page->tvZbDeviceFolders, file);
        QTRY_VERIFY(deleteOn());
        keys(page->tvZbDeviceFolders, Qt::Key_Delete);
        QTRY_VERIFY2(!QFileInfo::exists(r->root.filePath("hdd/Shows/old.ts")), qPrintable(boxTexts.join('|')));
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(boxTexts, QStringList{"Are you sure you want to delete old.ts?"});
    }

    // A folder right under "/" is never offered for deletion or cut on the PC either, and the slots refuse it.
    // (Should the refusal fail, the question is answered Cancel: nothing is touched.)
    void protectedPcFolder()
    {
        const QString top = QStringLiteral("/tmp");
        page->btnMyComputer->click();
        QModelIndex at = pcIndex(top);
        QVERIFY(at.isValid());
        page->tvPcFolders->expand(at.parent());
        click(page->tvPcFolders, at);
        QTRY_VERIFY(page->tvPcFolders->selectionModel()->isRowSelected(at.row(), at.parent()));
        QCOMPARE(page->activePane(), 1);
        QVERIFY(!deleteOn());
        QVERIFY(!page->btnCut->isEnabled());
        page->deleteSelectedFiles();
        page->moveToClipboard();
        QCOMPARE(boxTexts, QStringList());
        QVERIFY(!QGuiApplication::clipboard()->mimeData() ||
                !QGuiApplication::clipboard()->mimeData()->hasFormat("text/uri-list"));
    }

    // A paste goes to the pane clicked last, into the folder it shows when nothing in it is selected.
    void pasteGoesToClickedPane()
    {
        write(pc.filePath("src/clip.ts"), "clip");
        QVERIFY(QDir().mkpath(pc.filePath("empty")));
        click(page->tvZbDeviceFolders, device("hdd/Shows"));
        QTRY_COMPARE(page->activePane(), 2);
        page->btnMyComputer->setChecked(false);
        page->wdgPcFolders->setCurrentIndex(1);
        browse(pc.filePath("src"));
        click(page->tvPcSpecialFolders, shown("clip.ts"));
        QTRY_VERIFY(page->btnCopy->isEnabled());
        keys(page->tvPcSpecialFolders, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat("text/uri-list"));
        browse(pc.filePath("empty"));
        click(page->tvPcSpecialFolders, QModelIndex());
        QTRY_COMPARE(page->activePane(), 1);
        QTRY_VERIFY(page->btnPaste->isEnabled());
        keys(page->tvPcSpecialFolders, Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(entries(pc.filePath("empty")), QStringList{"clip.ts"});
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(entries(r->root.filePath("hdd/Shows")), QStringList{"old.ts"});

        // The receiver clicked again: the next paste goes there.
        click(page->tvZbDeviceFolders, device("hdd/Shows"));
        QTRY_COMPARE(page->activePane(), 2);
        QTRY_VERIFY(page->btnPaste->isEnabled());
        keys(page->tvZbDeviceFolders, Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(entries(r->root.filePath("hdd/Shows")), (QStringList{"clip.ts", "old.ts"}));
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(boxTexts, QStringList());

        // A folder entered by double click, then a click on the empty area of the browser that already has
        // the focus: the PC pane, so the paste goes into that folder.
        QVERIFY(QDir().mkpath(pc.filePath("base/inner")));
        browse(pc.filePath("base"));
        click(page->tvZbDeviceFolders, device("hdd/Shows"));
        QTRY_COMPARE(page->activePane(), 2);
        doubleClick(page->tvPcSpecialFolders, shown("inner"));
        QTRY_COMPARE(page->tvPcSpecialFolders->rootIndex(), pcIndex(pc.filePath("base/inner")));
        QCOMPARE(page->focusWidget(), page->tvPcSpecialFolders);
        click(page->tvPcSpecialFolders, QModelIndex());
        QCOMPARE(page->activePane(), 1);
        keys(page->tvPcSpecialFolders, Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(entries(pc.filePath("base/inner")), QStringList{"clip.ts"});
        QTRY_VERIFY(!page->isBusy());

        // The empty area of the "My Computer" tree: the PC pane, where nothing is selected to paste into.
        click(page->tvZbDeviceFolders, device("hdd/Shows"));
        QTRY_COMPARE(page->activePane(), 2);
        page->btnMyComputer->setChecked(true);
        page->wdgPcFolders->setCurrentIndex(0);
        click(page->tvPcFolders, QModelIndex());
        QCOMPARE(page->activePane(), 1);
        keys(page->tvPcFolders, Qt::Key_V, Qt::ControlModifier);
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(entries(r->root.filePath("hdd/Shows")), (QStringList{"clip.ts", "old.ts"}));
        QCOMPARE(boxTexts, QStringList());
    }

    // After a job in the PC pane (a delete, a paste from the Paste button) the pane worked in is still the
    // PC pane, whatever had the focus while the panes were disabled: Ctrl+V pastes there, never to the
    // receiver selected earlier, and the keys work in the view again.
    void pasteAfterPcJobStaysOnPc_data()
    {
        QTest::addColumn<QString>("job");
        QTest::newRow("Del key") << "key";
        QTest::newRow("Delete button") << "button";
        QTest::newRow("Paste button") << "paste";
    }
    void pasteAfterPcJobStaysOnPc()
    {
        QFETCH(QString, job);
        write(pc.filePath("src/clip.ts"), "clip");
        write(pc.filePath("dst/junk.ts"), "junk");
        click(page->tvZbDeviceFolders, device("hdd/Shows"));
        QTRY_COMPARE(page->activePane(), 2);
        page->btnMyComputer->setChecked(false);
        page->wdgPcFolders->setCurrentIndex(1);
        browse(pc.filePath("src"));
        QTreeView *view = page->tvPcSpecialFolders;
        click(view, shown("clip.ts"));
        QTRY_VERIFY(page->btnCopy->isEnabled());
        keys(view, Qt::Key_C, Qt::ControlModifier);
        browse(pc.filePath("dst"));
        if (job == "paste") {
            click(view, QModelIndex());
            QTRY_VERIFY(page->btnPaste->isEnabled());
            QTest::mouseClick(page->btnPaste, Qt::LeftButton);
            QTRY_COMPARE(entries(pc.filePath("dst")), (QStringList{"clip.ts", "junk.ts"}));
            boxAnswers << "&No";
        } else {
            click(view, shown("junk.ts"));
            QTRY_VERIFY(deleteOn());
            boxAnswers << "&Yes";
            if (job == "key")
                keys(view, Qt::Key_Delete);
            else
                QTest::mouseClick(page->btnDelete, Qt::LeftButton);
            QTRY_COMPARE(entries(pc.filePath("dst")), QStringList());
        }
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(page->activePane(), 1);
        QTRY_COMPARE(page->focusWidget(), view);
        keys(view, Qt::Key_V, Qt::ControlModifier);
        QTRY_VERIFY(!page->isBusy());
        QTRY_COMPARE(entries(pc.filePath("dst")),
                     job == "paste" ? (QStringList{"clip.ts", "junk.ts"}) : QStringList{"clip.ts"});
        QCOMPARE(entries(r->root.filePath("hdd/Shows")), QStringList{"old.ts"});
        QCOMPARE(boxTexts.size(), 1);
        QCOMPARE(boxTexts.last(), job == "paste" ? QStringLiteral("This folder already contains a file named clip.ts. "
                                                                  "Would you like to replace existing file?")
                                                 : QStringLiteral("Are you sure you want to delete junk.ts?"));
    }

    // Right after a job the controls follow the selection still shown and the view worked in has the keys.
    void controlsAndFocusAfterJob_data()
    {
        QTest::addColumn<QString>("job");
        QTest::newRow("paste") << "paste";
        QTest::newRow("drop") << "drop";
        QTest::newRow("new folder on the receiver") << "receiver folder";
        QTest::newRow("new folder on the PC") << "pc folder";
        QTest::newRow("delete") << "delete";
    }
    void controlsAndFocusAfterJob()
    {
        QFETCH(QString, job);
        write(pc.filePath("src/clip.ts"), "clip");
        write(pc.filePath("src/junk.ts"), "junk");
        QVERIFY(QDir().mkpath(pc.filePath("src/inner")));
        const QPersistentModelIndex shows = device("hdd/Shows");
        page->btnMyComputer->setChecked(false);
        page->wdgPcFolders->setCurrentIndex(1);
        browse(pc.filePath("src"));
        QTreeView *browser = page->tvPcSpecialFolders;
        QTreeView *view = page->tvZbDeviceFolders;
        QPersistentModelIndex selected = shows;
        if (job == "paste") {
            click(browser, shown("clip.ts"));
            keys(browser, Qt::Key_C, Qt::ControlModifier);
            click(view, shows);
            QTRY_VERIFY(page->btnPaste->isEnabled());
            keys(view, Qt::Key_V, Qt::ControlModifier);
            QTRY_VERIFY(QFileInfo::exists(r->root.filePath("hdd/Shows/clip.ts")));
        } else if (job == "drop") {
            view = browser;
            selected = shown("clip.ts");
            click(browser, selected);
            std::unique_ptr<QMimeData> data(page->pcModel()->mimeData({selected}));
            page->deviceModel()->dropMimeData(data.get(), Qt::CopyAction, -1, -1, shows);
            QTRY_VERIFY(QFileInfo::exists(r->root.filePath("hdd/Shows/clip.ts")));
        } else if (job == "receiver folder") {
            click(view, shows);
            folderName = "Season";
            chooseFromMenu(view, shows, page->deviceContextMenu(), "New folder");
            QTRY_VERIFY(QFileInfo::exists(r->root.filePath("hdd/Shows/Season")));
        } else if (job == "pc folder") {
            view = browser;
            selected = shown("inner");
            click(browser, selected);
            folderName = "Made";
            chooseFromMenu(browser, selected, page->pcContextMenu(), "New folder");
            QTRY_VERIFY(QFileInfo::exists(pc.filePath("src/inner/Made")));
        } else {
            view = browser;
            click(browser, shown("junk.ts"));
            boxAnswers << "&Yes";
            keys(browser, Qt::Key_Delete);
            QTRY_VERIFY(!QFileInfo::exists(pc.filePath("src/junk.ts")));
            selected = QModelIndex();
        }
        QTRY_VERIFY(!page->isBusy());
        QTRY_VERIFY(!page->deviceModel()->isFetching());
        QTRY_COMPARE(page->focusWidget(), view);
        if (selected.isValid()) {
            QVERIFY(view->selectionModel()->isRowSelected(selected.row(), selected.parent()));
            QVERIFY(page->btnCopy->isEnabled());
            // hdd/Shows lies right under a drive: copied, never cut or deleted
            QCOMPARE(page->btnCut->isEnabled(), view == browser);
            QCOMPARE(deleteOn(), view == browser);
        } else {
            QVERIFY(!page->btnCopy->isEnabled());
        }
        // The keys move in the view at once.
        const QModelIndex before = view->currentIndex();
        keys(view, before.isValid() && before.row() > 0 ? Qt::Key_Up : Qt::Key_Down);
        QTRY_VERIFY(view->currentIndex() != before);
        QTRY_VERIFY(page->btnCopy->isEnabled());
        QCOMPARE(boxTexts.size(), job == "delete" ? 1 : 0);
    }

    // Ctrl+C in the PC browser offers Paste at once, as in the "My Computer" tree.
    void pasteOnRightAfterCopy_data()
    {
        QTest::addColumn<bool>("tree");
        QTest::newRow("browser") << false;
        QTest::newRow("tree") << true;
    }
    void pasteOnRightAfterCopy()
    {
        QFETCH(bool, tree);
        write(pc.filePath("src/clip.ts"), "clip");
        QTreeView *view = tree ? static_cast<QTreeView *>(page->tvPcFolders) : page->tvPcSpecialFolders;
        if (tree) {
            page->btnMyComputer->click();
            for (QModelIndex at = pcIndex(pc.filePath("src")); at.isValid(); at = at.parent())
                view->expand(at);
            QTRY_VERIFY(pcIndex(pc.filePath("src/clip.ts")).isValid());
            click(view, pcIndex(pc.filePath("src/clip.ts")));
        } else {
            page->btnMyComputer->setChecked(false);
            page->wdgPcFolders->setCurrentIndex(1);
            browse(pc.filePath("src"));
            click(view, shown("clip.ts"));
        }
        QTRY_VERIFY(page->btnCopy->isEnabled());
        QVERIFY(!page->btnPaste->isEnabled());
        keys(view, Qt::Key_C, Qt::ControlModifier);
        QTRY_VERIFY(page->btnPaste->isEnabled());
        QVERIFY(entry(page->pcContextMenu(), "Paste")->isEnabled());
        // And off again once the clipboard holds nothing to paste.
        QGuiApplication::clipboard()->clear();
        QTRY_VERIFY(!page->btnPaste->isEnabled());
    }

    // New folder goes into the folder shown, not into a row selected before: each of the two ways that
    // selection is let go holds by itself. Going into a folder and back lets go of the rows of the folder
    // left; a right click on the empty area lets go of a row selected in the folder shown.
    void newFolderInFolderShown_data()
    {
        QTest::addColumn<bool>("folderChange");
        QTest::newRow("after a folder change") << true;
        QTest::newRow("right click on the empty area") << false;
    }
    void newFolderInFolderShown()
    {
        QFETCH(bool, folderChange);
        QVERIFY(QDir().mkpath(pc.filePath("base/inner")));
        page->btnMyComputer->setChecked(false);
        page->wdgPcFolders->setCurrentIndex(1);
        browse(pc.filePath("base"));
        // kept through what a listing changes while the view is drawn
        const QPersistentModelIndex inner = shown("inner");
        click(page->tvPcSpecialFolders, inner);
        QTRY_VERIFY(page->btnCopy->isEnabled());
        folderName = "Made";
        if (folderChange) {
            QVERIFY(rowsDrawn(page->tvPcSpecialFolders));
            QTest::mouseDClick(page->tvPcSpecialFolders->viewport(), Qt::LeftButton, {},
                               page->tvPcSpecialFolders->visualRect(inner).center());
            QTRY_COMPARE(page->tvPcSpecialFolders->rootIndex(), pcIndex(pc.filePath("base/inner")));
            QTest::mouseClick(page->btnBrowserBack, Qt::LeftButton);
            QTRY_COMPARE(page->tvPcSpecialFolders->rootIndex(), pcIndex(pc.filePath("base")));
            // Nothing of base is selected: Del asks nothing, New folder of the pane's menu goes into base.
            QTRY_VERIFY(!page->btnCopy->isEnabled());
            keys(page->focusWidget(), Qt::Key_Delete);
            QAction *newFolder = entry(page->pcContextMenu(), "New folder");
            QVERIFY(newFolder->isEnabled());
            newFolder->trigger();
        } else {
            chooseFromMenu(page->tvPcSpecialFolders, QModelIndex(), page->pcContextMenu(), "New folder");
        }
        // listed at once, in its place (not when the folder is read again)
        QCOMPARE(browserRows(), (QStringList{"inner", "Made"}));
        QTRY_COMPARE(browserRows(), (QStringList{"inner", "Made"}));
        QTRY_COMPARE(entries(pc.filePath("base")), (QStringList{"Made", "inner"}));
        QCOMPARE(entries(pc.filePath("base/inner")), QStringList());

        // The second one, with inner selected by the user: into inner.
        folderName = "Deep";
        chooseFromMenu(page->tvPcSpecialFolders, shown("inner"), page->pcContextMenu(), "New folder");
        QTRY_COMPARE(entries(pc.filePath("base/inner")), QStringList{"Deep"});
        QCOMPARE(entries(pc.filePath("base")), (QStringList{"Made", "inner"}));
        QCOMPARE(boxTexts, QStringList());
    }

    // Selected with the keyboard, a PC folder gets the same controls as with the mouse, and Ctrl+V works.
    void keyboardSelection_data()
    {
        QTest::addColumn<bool>("tree");    // the "My Computer" tree, else the folder browser
        QTest::addColumn<QString>("keys"); // how the folder is reached
        for (bool tree : {false, true}) {
            const QByteArray view = tree ? "tree, " : "browser, ";
            QTest::newRow(view + "arrows") << tree << "arrows";
            QTest::newRow(view + "typed name") << tree << "typed";
            QTest::newRow(view + "shift arrows back") << tree << "shift";
        }
        QTest::newRow("browser, tab in, arrows") << false << "tab";
    }
    void keyboardSelection()
    {
        QFETCH(bool, tree);
        QFETCH(QString, keys);
        write(pc.filePath("other/clip.ts"), "clip");
        QVERIFY(QDir().mkpath(pc.filePath("base/target")));
        write(pc.filePath("base/zz.ts"), "zz");
        QTreeView *view = tree ? static_cast<QTreeView *>(page->tvPcFolders) : page->tvPcSpecialFolders;
        if (tree) {
            page->btnMyComputer->click();
            for (const QString &folder : {pc.filePath("other"), pc.filePath("base")}) {
                for (QModelIndex at = pcIndex(folder); at.isValid(); at = at.parent())
                    view->expand(at);
                QTRY_COMPARE(page->pcModel()->rowCount(pcIndex(folder)), QDir(folder).count() - 2);
            }
            click(view, pcIndex(pc.filePath("other/clip.ts")));
        } else {
            page->btnMyComputer->setChecked(false);
            page->wdgPcFolders->setCurrentIndex(1);
            browse(pc.filePath("other"));
            click(view, shown("clip.ts"));
        }
        QTRY_VERIFY(page->btnCopy->isEnabled());
        this->keys(view, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat("text/uri-list"));
        if (tree) {
            click(view, pcIndex(pc.filePath("base")));
        } else {
            browse(pc.filePath("base"));
            if (keys == "tab") {
                for (int i = 0; i < 6 && page->focusWidget() != view; ++i)
                    this->keys(page->focusWidget(), Qt::Key_Tab);
                QCOMPARE(page->focusWidget(), view);
            } else {
                click(view, QModelIndex());
            }
            QTRY_VERIFY(!page->btnCopy->isEnabled());
        }
        // The folder chosen with the keyboard.
        if (keys == "typed") {
            QTest::keyClicks(view, "targ");
        } else {
            this->keys(view, Qt::Key_Down);
            if (keys == "tab") // tabbing in made the first row current: Down went past it
                this->keys(view, Qt::Key_Up);
            if (keys == "shift") {
                this->keys(view, Qt::Key_Down, Qt::ShiftModifier);
                QTRY_COMPARE(view->selectionModel()->selectedRows().size(), 2);
                this->keys(view, Qt::Key_Up, Qt::ShiftModifier);
            }
        }
        const QModelIndex target = pcIndex(pc.filePath("base/target"));
        QTRY_COMPARE(view->currentIndex().sibling(view->currentIndex().row(), 0), target);
        QCOMPARE(view->selectionModel()->selectedRows(), QModelIndexList{target});
        QTRY_VERIFY(page->btnCopy->isEnabled());
        QVERIFY(page->btnCut->isEnabled());
        QVERIFY(page->btnPaste->isEnabled());
        QVERIFY(deleteOn());
        QCOMPARE(page->activePane(), 1);
        // The tree pastes into the folder selected, the browser into the folder it shows.
        this->keys(view, Qt::Key_V, Qt::ControlModifier);
        const QString into = pc.filePath(tree ? "base/target" : "base");
        QTRY_VERIFY(QFileInfo::exists(into + "/clip.ts"));
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(boxTexts, QStringList());
    }

    // A folder of recordings shown in the browser (address, Go) that loses most of them from a shell: the model
    // rebuilds it in one go, and the browser stays in it with the address, the row selected and the controls
    // it allows. Refresh reads that folder, Paste puts the clipboard into it; a Paste that has no folder to go
    // to says so.
    void browserKeepsARebuiltFolder()
    {
        const int files = 600, gone = 500;
        const QString folder = showsFolder(files);
        write(pc.filePath("src/clip.ts"), "clip");
        QTreeView *view = page->tvPcSpecialFolders;
        browseTo(folder);
        QCOMPARE(view->rootIndex(), pcIndex(folder));
        QTRY_COMPARE(page->pcModel()->rowCount(pcIndex(folder)), files);
        const QString kept = folder + "/" + recording(files - 1);
        click(view, shown(recording(files - 1)));
        QTRY_VERIFY(deleteOn());

        removeWhileBrowsed(folder, files, gone);
        QCOMPARE(view->rootIndex(), pcIndex(folder));
        QCOMPARE(view->selectionModel()->selectedRows(), QModelIndexList{pcIndex(kept)});
        QTRY_VERIFY(deleteOn());
        QVERIFY(page->btnCopy->isEnabled());
        QVERIFY(page->btnBrowserUp->isEnabled());

        // Refresh: a file that only grew (nothing the watch sees) shows its new size.
        {
            QFile f(kept);
            QVERIFY(f.open(QIODevice::Append) && f.write(QByteArray(5000, 'r')) == 5000);
        }
        chooseFromMenu(view, pcIndex(kept), page->pcContextMenu(), "Refresh");
        QTRY_COMPARE(page->pcModel()->size(shown(recording(files - 1))), qint64(5001));
        // Paste into the folder shown.
        QGuiApplication::clipboard()->setMimeData(page->pcModel()->mimeData({pcIndex(pc.filePath("src/clip.ts"))}));
        QTRY_VERIFY(page->btnPaste->isEnabled());
        QTest::mouseClick(page->btnPaste, Qt::LeftButton);
        QTRY_COMPARE(read(folder + "/clip.ts"), QByteArray("clip"));
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(boxTexts, QStringList());

        // The drive list has no folder to paste into.
        page->txtBrowserAddress->setText("My Computer");
        QTest::mouseClick(page->btnBrowserGo, Qt::LeftButton);
        QTRY_VERIFY(!view->rootIndex().isValid());
        page->pasteFromClipboard();
        QCOMPARE(boxTexts, QStringList{"Choose the folder to paste into first."});
        QCOMPARE(tree(pc.path()).filter("clip.ts"), (QStringList{"shows/clip.ts", "src/clip.ts"}));
    }

    // A row whose file went from the disk before the listing caught up: a click on it says it is gone and the
    // listing lets go of it. Delete on a row that went after it was chosen says the same, rather than nothing.
    void goneRowSaysSo()
    {
        browseBase({"a.ts", "b.ts", "c.ts"});
        QTreeView *view = page->tvPcSpecialFolders;
        const QPersistentModelIndex row = shown("b.ts");
        QVERIFY(rowsDrawn(view));
        QVERIFY(QFile::remove(pc.filePath("base/b.ts")));
        clickAtOnce(view, row);
        QTRY_COMPARE(boxTexts, QStringList{"b.ts is no longer there."});
        QTRY_COMPARE(browserRows(), (QStringList{"a.ts", "c.ts"}));
        QVERIFY(!deleteOn());

        click(view, shown("c.ts"));
        QTRY_VERIFY(deleteOn());
        activate(); // the box left it inactive: active again before the file goes
        QVERIFY(QFile::remove(pc.filePath("base/c.ts")));
        keys(view, Qt::Key_Delete);
        QTRY_COMPARE(boxTexts, (QStringList{"b.ts is no longer there.", "c.ts is no longer there."}));
        QTRY_COMPARE(browserRows(), QStringList{"a.ts"});
        QCOMPARE(entries(pc.filePath("base")), QStringList{"a.ts"});
    }

    // A file of the browser deleted from outside before the listing caught up, then reached by a double-click on
    // its row chosen before, by the keys (Down onto it, Enter) or by the menu on it: it is named as gone once, its
    // row goes, and nothing is handed to the desktop to open.
    void goneFileSaysSo_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("double-click") << "double-click";
        QTest::newRow("Enter") << "Enter";
        QTest::newRow("menu") << "menu";
    }
    void goneFileSaysSo()
    {
        QFETCH(QString, input);
        browseBase({"a.ts", "b.ts"});
        QTreeView *view = page->tvPcSpecialFolders;
        const QPersistentModelIndex row = shown("b.ts");
        click(view, input == "double-click" ? QModelIndex(row) : shown("a.ts"));
        QTRY_VERIFY(deleteOn());
        activate(); // before the file goes: no turn of events in between
        QVERIFY(QFile::remove(pc.filePath("base/b.ts")));
        if (input == "double-click") {
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(row).center());
        } else if (input == "Enter") {
            QTest::keyClick(view, Qt::Key_Down);
            QTest::keyClick(view, Qt::Key_Return);
        } else { // the right click that opens the menu chooses the row; the message may close the menu first
            QTimer closer;
            closer.callOnTimeout(this, [this] { page->pcContextMenu()->close(); });
            closer.start(10);
            const QPoint at = view->visualRect(row).center();
            QTest::mousePress(view->viewport(), Qt::RightButton, {}, at);
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
            QApplication::sendEvent(view->viewport(), &event);
            QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, at);
        }
        QTRY_COMPARE(boxTexts, QStringList{"b.ts is no longer there."});
        QTRY_COMPARE(browserRows(), QStringList{"a.ts"});
        QCOMPARE(opened, QStringList());
        QCOMPARE(entries(pc.filePath("base")), QStringList{"a.ts"});
    }

    // Refresh reads the folder again: a file grown without any change to its folder shows its new size.
    // Rows follow the header shown, also entries added after the listing.
    void pcRefreshAndOrder()
    {
        write(pc.filePath("base/grow.ts"), QByteArray(100, 'g'));
        page->btnMyComputer->setChecked(false);
        page->wdgPcFolders->setCurrentIndex(1);
        browse(pc.filePath("base"));
        QTRY_COMPARE(page->pcModel()->size(shown("grow.ts")), qint64(100));
        {
            QFile f(pc.filePath("base/grow.ts"));
            QVERIFY(f.open(QIODevice::Append) && f.write(QByteArray(5000, 'g')) == 5000);
            f.close();
            QVERIFY(f.open(QIODevice::Append));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        }
        click(page->tvPcSpecialFolders, QModelIndex());
        chooseFromMenu(page->tvPcSpecialFolders, QModelIndex(), page->pcContextMenu(), "Refresh");
        QTRY_COMPARE(page->pcModel()->size(shown("grow.ts")), qint64(5100));

        // The "My Computer" tree sorted descending, then the browser: its rows follow its own header.
        page->tvPcFolders->header()->setSortIndicator(0, Qt::DescendingOrder);
        for (const QString &name : {"b.ts", "a.ts", "c.ts"})
            write(pc.filePath("base/" + name), "n");
        browse(pc.filePath("base"));
        const auto rowsShown = [this] {
            const QModelIndex root = page->tvPcSpecialFolders->rootIndex();
            QStringList rows;
            for (int i = 0; i < page->pcModel()->rowCount(root); ++i)
                rows << page->pcModel()->index(i, 0, root).data().toString();
            return rows;
        };
        const auto expected = [this] {
            QStringList rows{"a.ts", "b.ts", "c.ts", "grow.ts"};
            if (page->tvPcSpecialFolders->header()->sortIndicatorOrder() == Qt::DescendingOrder)
                std::reverse(rows.begin(), rows.end());
            return rows;
        };
        QTRY_COMPARE(rowsShown(), expected());
        // Back in the tree: its own header again.
        page->btnMyComputer->click();
        QTRY_COMPARE(page->tvPcFolders->header()->sortIndicatorOrder(),
                     page->tvPcSpecialFolders->header()->sortIndicatorOrder());
        write(pc.filePath("base/0.ts"), "n");
        page->wdgPcFolders->setCurrentIndex(1);
        page->tvPcSpecialFolders->header()->setSortIndicator(0, Qt::AscendingOrder);
        click(page->tvPcSpecialFolders, QModelIndex());
        chooseFromMenu(page->tvPcSpecialFolders, QModelIndex(), page->pcContextMenu(), "Refresh");
        QTRY_COMPARE(rowsShown(), (QStringList{"0.ts", "a.ts", "b.ts", "c.ts", "grow.ts"}));
    }
};

OMBRELAY_TEST_MAIN(TestMediaControls)
#include "tst_mediacontrols.moc"
