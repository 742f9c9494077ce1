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
#include "lists/tvlistmodule.h"
#include "widgets/itemstableview.h"
#include "widgets/jobprogresswindow.h"

#include <QClipboard>
#include <QMimeData>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>

namespace {
const QString fourLists = QStringLiteral("<list id=\"0\"/><list id=\"1\"/><list id=\"2\"/><list id=\"3\"/>");
const int services = 200;

} // namespace

// How a paste into a favourite list that goes in steps ends in the whole program: the user's step taken
// before its first step has put anything in still finds the list changed and asks about it, and the window
// the paste kept out takes the keys again when it ends, even while the user is in another program.
class TestPasteEndings : public QObject
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
    // services table.
    void openAndCopy()
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
                QMetaObject::invokeMethod(qApp, during, Qt::QueuedConnection);
            });
        }
        // a click as the window system delivers it
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          list->viewport()->mapTo(window.get(), list->viewport()->rect().center()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        return model;
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

    // The program closed, or Back pressed, right after Ctrl+V, before the paste's first step has put anything
    // in (the services are still being read): the list counts as changed by the whole paste, so the save question
    // is asked, and Yes saves the paste whole. Cancel keeps the window with the paste in, which Ctrl+S saves.
    void stepTakenBeforeThePastePutAnythingIn_data()
    {
        QTest::addColumn<bool>("close"); // the window closed, or Back
        QTest::addColumn<QString>("answer");
        QTest::newRow("program closed, yes") << true << "&Yes";
        QTest::newRow("program closed, cancel") << true << "&Cancel";
        QTest::newRow("back, yes") << false << "&Yes";
    }
    void stepTakenBeforeThePastePutAnythingIn()
    {
        QFETCH(bool, close);
        QFETCH(QString, answer);
        openAndCopy();
        QPointer<ListModel> model = paste();
        QVERIFY(model && model->isPasting());
        QCOMPARE(model->rowCount(), 0); // nothing in yet
        QCOMPARE(page->projectManager()->readLists().value(1), QList<int>());
        answers->boxAnswers = {answer};
        if (close)
            window->close();
        else
            page->backCommandLinkButton->click();
        QCOMPARE(answers->boxTexts.size(), 1); // the save question
        QVERIFY(answers->boxTexts.at(0).contains(QStringLiteral("list.tvqvxc")));
        if (answer == QLatin1String("&Yes")) {
            QVERIFY(holdsEveryService(listsOfFile(file).value(1), services));
            return;
        }
        // kept open, with the whole paste in
        QVERIFY(window->isVisible());
        QVERIFY(model && !model->isPasting());
        QVERIFY(holdsEveryService(page->projectManager()->readLists().value(1), services));
        QCOMPARE(listsOfFile(file).value(1), QList<int>());
        QTRY_COMPARE(QApplication::activeModalWidget(), window.get());
        // the question gone, the window is active again, as a window manager makes it
        QApplication::setActiveWindow(window.get());
        QTRY_VERIFY(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(holdsEveryService(listsOfFile(file).value(1), services));
    }

    // The user goes to another program while the paste runs (no window of this one is active): when the paste
    // ends, the main window is active again with the focus where the paste was made, so Ctrl+S saves it.
    void pasteEndedWhileNoWindowWasActive()
    {
        openAndCopy();
        bool leftWhilePasting = false;
        ListModel *model = paste([&] {
            QApplication::setActiveWindow(nullptr);
            leftWhilePasting = listModel(1)->isPasting() && !QApplication::activeWindow();
        });
        QVERIFY(model->isPasting());
        QPointer<JobProgressWindow> progress = editor(1)->pasteProgress();
        QVERIFY(progress);
        QTRY_VERIFY_WITH_TIMEOUT(!model->isPasting(), 60000);
        QVERIFY(leftWhilePasting);
        QTRY_VERIFY(!progress);
        QTRY_COMPARE(QApplication::activeWindow(), window.get());
        QTRY_COMPARE(QApplication::focusWidget(), editor(1)->tblItems);
        const QList<QList<int>> shown = page->projectManager()->readLists();
        QVERIFY(holdsEveryService(shown.at(1), services));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(listsOfFile(file), shown);
        QCOMPARE(answers->fileDialogs.size(), 0);
    }
};

OMBRELAY_TEST_MAIN(TestPasteEndings)
#include "tst_pasteendings.moc"
