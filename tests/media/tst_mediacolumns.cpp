#include "testmain.h"

#include "columntitles.h"
#include "listinthewindow.h"
#include "mediapagetest.h"

#include <QSplitter>
#include <QStackedWidget>

// The column titles of all three views of the page, with a receiver connected, in the window's look: each
// column starts at least as wide as its title as the header draws it, sorted by it or not.
class TestMediaColumns : public MediaPageTest
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        if (page)
            closePage();
    }

    void titlesWhole_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("pane");      // width of the PC pane, the splitter dragged there
        QTest::addColumn<bool>("switched"); // the language chosen while the page is on screen
        QTest::newRow("German, narrow") << "de_DE" << 420 << false;
        QTest::newRow("German, wide") << "de_DE" << 900 << false;
        QTest::newRow("German, switched to") << "de_DE" << 420 << true;
        QTest::newRow("Polish, narrow") << "pl_PL" << 420 << false;
        QTest::newRow("English") << "en_EN" << 420 << false;
    }
    void titlesWhole()
    {
        QFETCH(QString, language);
        QFETCH(int, pane);
        QFETCH(bool, switched);
        // the window's look in the language, chosen before the page is made or while it is on screen
        std::unique_ptr<ProgramLook> look;
        if (!switched)
            look = std::make_unique<ProgramLook>(language == "en_EN" ? QString() : language);
        newReceiver();
        r->file("hdd/Shows/clip.ts", "ts");
        openPage(true);
        page->resize(1400, 700);
        if (switched)
            look = std::make_unique<ProgramLook>(language);
        QVERIFY(look->ok);
        QVERIFY(device("hdd/Shows").isValid());
        page->mexTreesSplitter->setSizes({1400 - pane, pane});
        for (QTreeView *view :
             {static_cast<QTreeView *>(page->tvZbDeviceFolders), static_cast<QTreeView *>(page->tvPcFolders),
              static_cast<QTreeView *>(page->tvPcSpecialFolders)}) {
            if (view != page->tvZbDeviceFolders)
                page->wdgPcFolders->setCurrentWidget(view->parentWidget()); // as "My Computer" and the folders do
            QTRY_VERIFY(view->isVisible());
            for (const int sorted : {0, 3}) {
                view->sortByColumn(sorted, Qt::DescendingOrder);
                QCoreApplication::processEvents();
                const QString cut = cutColumnTitle(view);
                QVERIFY2(cut.isEmpty(), qPrintable(cut));
            }
        }
    }
};

OMBRELAY_TEST_MAIN(TestMediaColumns)
#include "tst_mediacolumns.moc"
