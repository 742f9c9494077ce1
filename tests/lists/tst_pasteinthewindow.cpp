#include "testmain.h"

#include "dialoganswerer.h"
#include "favouritetabs.h"
#include "listinthewindow.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "document/listitemsdatabasemodel.h"
#include "document/listmodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/favouritelisteditor.h"
#include "lists/liststabcornerwidget.h"
#include "lists/tvlistmodule.h"
#include "widgets/itemstableview.h"
#include "widgets/jobprogresswindow.h"

#include <QClipboard>
#include <QMimeData>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {
const QString fourLists = QStringLiteral("<list id=\"0\"/><list id=\"1\"/><list id=\"2\"/><list id=\"3\"/>");
const int services = 200;

} // namespace

// A paste into a favourite list that goes in steps, in the whole program: its window keeps the user out
// until the paste is in, and whatever still reaches the list meanwhile (the list deleted, another file
// opened, the program closed) waits for the paste or stops it, and the file saved afterwards is whole.
class TestPasteInTheWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<DialogAnswerer> answers;
    TVListModule *page = nullptr;
    QString file;

    FavouriteListEditor *editor(int i) const
    {
        return static_cast<FavouriteListEditor *>(page->listsTabWidget->widget(i));
    }
    ListModel *listModel(int i) const { return qobject_cast<ListModel *>(editor(i)->tblItems->model()); }

    // The file of 200 services opened in the window, every service copied with Ctrl+A, Ctrl+C in the
    // services table; with newList, Ctrl+N makes a new list to paste into.
    void openAndCopy(bool newList = false)
    {
        file = listFile(dir, QStringLiteral("list.tvqvxc"), tvDocument(fourLists, services));
        QVERIFY(!file.isEmpty());
        page = qobject_cast<TVListModule *>(openInTheWindow(*window, file));
        QVERIFY(page);
        QTRY_VERIFY(page->itemsTableViewAll->isVisible());
        QCOMPARE(page->itemsTableViewAll->model()->rowCount(), services);
        QApplication::clipboard()->clear();
        page->itemsTableViewAll->setFocus();
        QTest::keyClick(page->itemsTableViewAll, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(page->itemsTableViewAll, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QApplication::clipboard()->mimeData() && !QApplication::clipboard()->mimeData()->formats().isEmpty());
        if (newList) {
            QTest::keyClick(page->itemsTableViewAll, Qt::Key_N, Qt::ControlModifier);
            QTRY_VERIFY(page->projectManager()->isUntitled());
            QCOMPARE(page->projectManager()->itemsModel->rowCount(), 0);
        }
    }

    // A click into list 1's table and Ctrl+V; the paste goes in 20 services a step. During, when given,
    // runs from the event loop once a step has put entries in.
    ListModel *paste(const std::function<void()> &during = {})
    {
        ListModel::setPasteSplit(1, 20);
        page->listsTabWidget->setCurrentIndex(1);
        STableView *list = editor(1)->tblItems;
        ListModel *model = listModel(1);
        if (during) {
            auto once = std::make_shared<QMetaObject::Connection>();
            *once = connect(model, &QAbstractItemModel::rowsInserted, this, [once, during] {
                disconnect(*once);
                // posted from inside the step: it runs as soon as anything turns the event loop
                QMetaObject::invokeMethod(qApp, during, Qt::QueuedConnection);
            });
        }
        clickThroughTheWindow(list->viewport());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        return model;
    }

    // A click as the window system delivers it: a window that a modal one blocks does not take it.
    void clickThroughTheWindow(QWidget *widget)
    {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          widget->mapTo(window.get(), widget->rect().center()));
    }

private slots:
    void initTestCase() { registerStartUpServices(); }
    void init()
    {
        QSettings().clear();
        answers = std::make_unique<DialogAnswerer>();
        window = std::make_unique<MainWindow>();
        window->resize(1200, 800);
    }
    void cleanup()
    {
        window.reset();
        answers.reset();
        ListModel::setPasteSplit(512 * 1024, 2000);
    }

    // Escape and a close request leave the window up and the user kept out; a click on the delete-list
    // button meanwhile deletes nothing; the paste goes in whole and Ctrl+S saves it.
    void escapeDoesNotDismiss()
    {
        openAndCopy();
        auto *corner = qobject_cast<ListsTabCornerWidget *>(page->listsTabWidget->cornerWidget(Qt::TopRightCorner));
        QVERIFY(corner);
        bool clickedWhilePasting = false;
        ListModel *model = paste([&] {
            QDialog *dialog = editor(1)->pasteProgress();
            QVERIFY(dialog && dialog->isVisible());
            QTest::keyClick(dialog, Qt::Key_Escape);
            QVERIFY(!dialog->close());
            QVERIFY(dialog->isVisible());
            QCOMPARE(QApplication::activeModalWidget(), dialog);
            answers->boxAnswers = {QStringLiteral("&Yes")};
            clickedWhilePasting = listModel(1)->isPasting();
            clickThroughTheWindow(corner->deleteListToolButton);
        });
        QVERIFY(model->isPasting());
        QPointer<JobProgressWindow> dialog = editor(1)->pasteProgress();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), dialog.data());
        QTRY_VERIFY_WITH_TIMEOUT(!model->isPasting(), 60000);
        QVERIFY(clickedWhilePasting);
        QCOMPARE(answers->boxTexts, QStringList());
        QCOMPARE(page->listsTabWidget->count(), 4);
        QTRY_VERIFY(!dialog);
        QCOMPARE(QApplication::activeModalWidget(), window.get());
        QVERIFY(holdsEveryService(page->projectManager()->readLists().at(1), services));
        const QList<QList<int>> shown = page->projectManager()->readLists();
        // the user goes on where the paste was made
        QTRY_COMPARE(QApplication::focusWidget(), editor(1)->tblItems);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(listsOfFile(file), shown);
        // the same click, now that nothing keeps the user out, asks about the deletion
        answers->boxAnswers = {QStringLiteral("&No")};
        clickThroughTheWindow(corner->deleteListToolButton);
        QCOMPARE(answers->boxTexts.size(), 1);
        QCOMPARE(page->listsTabWidget->count(), 4);
    }

    // The list deleted while its paste runs stops the paste: the window takes input again, and Save as
    // writes the lists that are left, in a file that opens.
    void listDeletedDuringThePaste()
    {
        openAndCopy();
        bool deletedWhilePasting = false;
        QPointer<ListModel> model = paste([&] {
            deletedWhilePasting = listModel(1)->isPasting();
            answers->boxAnswers = {QStringLiteral("&Yes")};
            page->listsTabWidget->deleteCurrentList();
        });
        QVERIFY(model && model->isPasting());
        QTRY_VERIFY_WITH_TIMEOUT(!model, 60000);
        QVERIFY(deletedWhilePasting);
        QCOMPARE(page->listsTabWidget->count(), 3);
        QTRY_COMPARE(QApplication::activeModalWidget(), window.get());
        const QList<QList<int>> shown = page->projectManager()->readLists();
        QCOMPARE(shown.size(), 3);
        // the question gone, the window is active again, as a window manager makes it
        QApplication::setActiveWindow(window.get());
        QTRY_VERIFY(QApplication::focusWidget());
        const QString saved = dir.filePath(QStringLiteral("saved.tvqvxc"));
        answers->fileAnswers = {saved};
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(answers->fileDialogs.size(), 1);
        QCOMPARE(listsOfFile(saved), shown);
        QCOMPARE(page->projectManager()->fileName(), saved);
    }

    // Another file opened while the paste runs (a second start hands it over, or the page opens it): the
    // paste goes in first, so the save question saves it whole; the other file then opens and saves sound.
    void otherFileOpenedDuringThePaste_data()
    {
        QTest::addColumn<bool>("handedOver");
        QTest::newRow("second start") << true;
        QTest::newRow("opened on the page") << false;
    }
    void otherFileOpenedDuringThePaste()
    {
        QFETCH(bool, handedOver);
        openAndCopy();
        const QString other = listFile(dir, QStringLiteral("other.tvqvxc"), tvDocument(fourLists, 12, 500));
        ListModel *model = paste([&] {
            answers->boxAnswers = {QStringLiteral("&Yes")};
            if (handedOver)
                window->tryToOpenFile(other);
            else
                page->projectManager()->loadFile(other);
        });
        QVERIFY(model->isPasting());
        QTRY_COMPARE_WITH_TIMEOUT(page->projectManager()->fileName(), other, 60000);
        QCOMPARE(answers->boxTexts.size(), 1); // the save question
        QVERIFY(holdsEveryService(listsOfFile(file).value(1), services));
        QCOMPARE(page->projectManager()->itemsModel->rowCount(), 12);
        QTRY_COMPARE(QApplication::activeModalWidget(), window.get());
        // the other list, edited and saved under a new name, opens again as it was; the question gone, the
        // window is active again, as a window manager makes it
        QApplication::setActiveWindow(window.get());
        page->listsTabWidget->setCurrentIndex(2);
        QModelIndexList rows;
        QAbstractItemModel *items = page->projectManager()->itemsModel;
        for (int row = 0; row < items->rowCount(); ++row)
            rows << items->index(row, 0);
        QApplication::clipboard()->setMimeData(items->mimeData(rows));
        editor(2)->tblItems->setFocus();
        QTest::keyClick(editor(2)->tblItems, Qt::Key_V, Qt::ControlModifier);
        QTRY_VERIFY(!listModel(2)->isPasting());
        const QList<QList<int>> shown = page->projectManager()->readLists();
        QCOMPARE(shown.at(2).size(), 12);
        const QString saved = dir.filePath(QStringLiteral("other-saved.tvqvxc"));
        answers->fileAnswers = {saved};
        QTRY_VERIFY(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(listsOfFile(saved), shown);
    }

    // Back while the paste runs, No to the save question, then "Create new favourite lists": the paste goes
    // in before the question, the file stays as it was, and the new list is empty and takes a paste.
    void backAndNewDuringThePaste()
    {
        openAndCopy();
        ListModel *model = paste([&] {
            answers->boxAnswers = {QStringLiteral("&No")};
            page->backCommandLinkButton->click();
            page->btnCreateNewProject->click();
        });
        QVERIFY(model->isPasting());
        QTRY_VERIFY_WITH_TIMEOUT(page->projectManager()->isUntitled(), 60000);
        QCOMPARE(answers->boxTexts.size(), 1);
        QCOMPARE(listsOfFile(file).value(1), QList<int>());
        QCOMPARE(page->projectManager()->itemsModel->rowCount(), 0);
        QTRY_COMPARE(QApplication::activeModalWidget(), window.get());
        QApplication::setActiveWindow(window.get());
        ListModel *again = paste();
        QTRY_VERIFY_WITH_TIMEOUT(!again->isPasting(), 60000);
        QVERIFY(holdsEveryService(page->projectManager()->readLists().at(1), services));
    }

    // The program closed while the paste runs: the paste goes in first, and Yes to the save question
    // saves it whole.
    void programClosedDuringThePaste()
    {
        openAndCopy();
        ListModel *model = paste([&] {
            answers->boxAnswers = {QStringLiteral("&Yes")};
            window->close();
        });
        QVERIFY(model->isPasting());
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 60000);
        QCOMPARE(answers->boxTexts.size(), 1);
        QVERIFY(holdsEveryService(listsOfFile(file).value(1), services));
    }

    // The program ended while the paste runs without a close (a session ending it): the window and its
    // pages go with the paste under way, the reader of the payload waited for.
    void windowDestroyedDuringThePaste()
    {
        openAndCopy();
        QPointer<ListModel> model = paste();
        QVERIFY(model && model->isPasting());
        QPointer<JobProgressWindow> progress = editor(1)->pasteProgress();
        QVERIFY(progress);
        window.reset();
        QVERIFY(!model);
        QTRY_VERIFY(!progress);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    // After a paste into a new list, Ctrl+S and Ctrl+Shift+S reach the page: each asks for a name and saves.
    void saveShortcutsAfterAPasteIntoANewList()
    {
        openAndCopy(true);
        ListModel *model = paste();
        QVERIFY(model->isPasting());
        QTRY_VERIFY_WITH_TIMEOUT(!model->isPasting(), 60000);
        QTRY_COMPARE(QApplication::activeModalWidget(), window.get());
        const QList<QList<int>> shown = page->projectManager()->readLists();
        QVERIFY(holdsEveryService(shown.at(1), services));
        const QString first = dir.filePath(QStringLiteral("new.tvqvxc"));
        const QString second = dir.filePath(QStringLiteral("new-again.tvqvxc"));
        answers->fileAnswers = {first, second};
        QTRY_COMPARE(QApplication::focusWidget(), editor(1)->tblItems);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(answers->fileDialogs.size(), 1);
        QCOMPARE(listsOfFile(first), shown);
        // the file dialog gone, the window is active again, as a window manager makes it
        QApplication::setActiveWindow(window.get());
        QTRY_VERIFY(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(answers->fileDialogs.size(), 2);
        QCOMPARE(listsOfFile(second), shown);
    }
};

OMBRELAY_TEST_MAIN(TestPasteInTheWindow)
#include "tst_pasteinthewindow.moc"
