#pragma once

#include "mediareceiver.h"
#include "receivertree.h"
#include "standinwindow.h"
#include "testfiles.h"
#include "tabledrawn.h"

#include "media/mediaexplorermodule.h"
#include "media/pcfilesystemmodel.h"
#include "media/zbdevicefilesystemmodel.h"
#include "widgets/messagebox.h"

#include <QClipboard>
#include <QDirIterator>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// What the page tests share: the real media explorer page offscreen, its receiver the emulator, its PC a
// temporary folder, and the page's boxes answered through answer().
class MediaPageTest : public QObject
{
protected:
    std::unique_ptr<MediaReceiver> r;
    QTemporaryDir pc;
    StandInWindow window;
    std::unique_ptr<MediaExplorerModule> page;
    QStringList boxTexts, boxAnswers;
    QString folderName; // typed into the next name box

    // An empty PC folder and a receiver not yet started: the test puts its files there, then openPage().
    void newReceiver()
    {
        QDir(pc.path()).removeRecursively();
        QVERIFY(QDir().mkpath(pc.path()));
        r = std::make_unique<MediaReceiver>();
    }
    // The receiver started and the page on it, connected as the receiver object connects its pages.
    void openPage(bool active = false)
    {
        QVERIFY(r->start());
        QGuiApplication::clipboard()->clear();
        boxTexts.clear();
        boxAnswers.clear();
        folderName.clear();
        MessageBox::setAnswerHook([this](QDialog *box) { answer(box); });
        page = std::make_unique<MediaExplorerModule>(host());
        page->setCommunicationManager(r->manager.get());
        connect(r->manager.get(), &DeviceCommunicationManager::stateChanged, page.get(),
                &MediaExplorerModule::onDeviceStateChange);
        page->onDeviceStateChange("connected");
        showPage(active);
        QWidget *top = page->window();
        QVERIFY(QTest::qWaitForWindowExposed(top));
        if (active) {
            top->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(top));
        }
        page->onShow();
        QTRY_COMPARE(page->deviceStackedWidget->currentIndex(), 0);
    }
    // Where the page lives: a window of its own beside a stand-in for the main window, unless a test puts
    // it into the real one.
    virtual QWidget *host() { return &window; }
    virtual void showPage(bool active)
    {
        if (active)
            page->resize(1000, 700);
        page->show();
    }
    // Once nothing is under way any more; a listing still on its way when its model goes is not freed.
    void closePage()
    {
        QTRY_VERIFY(!page->isBusy());
        QTRY_VERIFY(!page->deviceModel()->isFetching());
        page.reset();
        r->stop();
        r.reset();
        MessageBox::setAnswerHook({});
    }
    // A name box gets folderName; a question or message has its text kept and the next of boxAnswers
    // pressed, else it is rejected.
    virtual void answer(QDialog *box)
    {
        if (auto *input = qobject_cast<QInputDialog *>(box)) {
            input->setTextValue(folderName);
            input->accept();
            return;
        }
        boxTexts << static_cast<QMessageBox *>(box)->text();
        if (boxAnswers.isEmpty() || !MessageBox::clickButton(box, boxAnswers.takeFirst()))
            box->reject();
    }

    QModelIndex device(const QString &path) { return ReceiverTree::at(page->deviceModel(), path); }
    QModelIndex pcIndex(const QString &path) { return page->pcModel()->index(path); }
    static void select(QTreeView *view, const QModelIndexList &rows)
    {
        view->setFocus();
        view->selectionModel()->clearSelection();
        for (const QModelIndex &row : rows)
            view->selectionModel()->select(row, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // Copy (or Cut) of rows in one pane, Paste onto target in another, and the job's end.
    void paste(QTreeView *from, const QModelIndexList &rows, QTreeView *to, const QModelIndex &target, bool cut = false)
    {
        select(from, rows);
        cut ? page->moveToClipboard() : void(page->copyToClipboard());
        select(to, {target});
        page->pasteFromClipboard();
        QTRY_VERIFY(!page->isBusy());
    }
    // A left click on a row, or on the empty area below the rows when index is invalid, once the view was
    // drawn with the rows it holds: a view acts on the row it showed where the user pressed, or on none.
    static void click(QTreeView *view, const QModelIndex &index, Qt::MouseButton button = Qt::LeftButton)
    {
        const QPersistentModelIndex row(index);
        QVERIFY(drawnWith(view, row));
        QVERIFY2(row.isValid() == index.isValid(), "the row clicked went while the view was drawn");
        clickAtOnce(view, row, button);
    }
    // The same click on the view as it stands, with no turn of events first.
    static void clickAtOnce(QTreeView *view, const QModelIndex &index, Qt::MouseButton button = Qt::LeftButton)
    {
        QPoint at(view->viewport()->width() / 2, view->viewport()->height() - 3);
        if (index.isValid()) {
            view->scrollTo(index);
            at = view->visualRect(index).center();
        }
        QTest::mouseClick(view->viewport(), button, {}, at);
    }
    // A click on a row and then a double-click on it, once the view was drawn with the rows it holds.
    static void doubleClick(QTreeView *view, const QModelIndex &index)
    {
        const QPersistentModelIndex row(index);
        QVERIFY(index.isValid());
        click(view, row);
        QVERIFY2(row.isValid(), "the row clicked went while the view was drawn");
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(row).center());
    }
    // The view drawn with row (when valid) in sight, as the user sees it before pointing at it.
    static bool drawnWith(QTreeView *view, const QPersistentModelIndex &row)
    {
        for (int tries = 0; tries < 5; ++tries) {
            if (row.isValid())
                view->scrollTo(row);
            if (!rowsDrawn(view))
                return false;
            if (!row.isValid() || view->viewport()->rect().contains(view->visualRect(row).center()))
                return true;
        }
        return false;
    }
    // The row of name in the folder the browser shows, once the model has it.
    QModelIndex shown(const QString &name)
    {
        const QModelIndex root = page->tvPcSpecialFolders->rootIndex();
        QModelIndex found;
        const bool there = QTest::qWaitFor([&] {
            for (int i = 0; i < page->pcModel()->rowCount(root); ++i)
                if (page->pcModel()->index(i, 0, root).data().toString() == name)
                    found = page->pcModel()->index(i, 0, root);
            return found.isValid();
        });
        return there ? found : QModelIndex();
    }
    static QString recording(int i) { return QStringLiteral("Recording %1.ts").arg(i, 3, 10, QLatin1Char('0')); }
    // The PC folder "shows" holding files recordings, in a model that rebuilds a folder in one go once more
    // than 16 of 600 are gone.
    QString showsFolder(int files)
    {
        page->pcModel()->setRemovalBudget(10'000);
        const QString folder = pc.filePath("shows");
        for (int i = 0; i < files; ++i)
            write(folder + "/" + recording(i), "r");
        return folder;
    }
    // The browser of the PC's folders opened at folder, as the user does it: the address typed, then Go.
    void browseTo(const QString &folder)
    {
        page->btnMyComputer->setChecked(false);
        page->wdgPcFolders->setCurrentIndex(1);
        page->txtBrowserAddress->setText(folder);
        QTest::mouseClick(page->btnBrowserGo, Qt::LeftButton);
        QTRY_COMPARE(page->tvPcSpecialFolders->rootIndex(), pcIndex(folder));
    }
    // The first gone of files recordings of folder removed from a shell while the browser shows it: the model
    // rebuilds the folder, which then lists the rest, and the browser stays in it with its address.
    void removeWhileBrowsed(const QString &folder, int files, int gone)
    {
        QSignalSpy rebuilt(page->pcModel(), &PcFileSystemModel::folderRebuilt);
        for (int i = 0; i < gone; ++i)
            QVERIFY(QFile::remove(folder + "/" + recording(i)));
        QTRY_VERIFY_WITH_TIMEOUT(!rebuilt.isEmpty(), 30000);
        QTRY_COMPARE(page->pcModel()->rowCount(pcIndex(folder)), files - gone);
        QCOMPARE(page->tvPcSpecialFolders->rootIndex(), pcIndex(folder));
        QCOMPARE(page->txtBrowserAddress->text(), folder);
    }
    static bool clipboardHas(const char *type)
    {
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        return data && data->hasFormat(QLatin1String(type));
    }

    static void write(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    static QStringList tree(const QString &path) { return TestFiles::tree(path); }
};
