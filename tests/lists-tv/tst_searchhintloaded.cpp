#include "testmain.h"

#include "dialoganswerer.h"
#include "generatedtvlist.h"
#include "listinthewindow.h"
#include "listoftype.h"
#include "listpagetest.h"
#include "radiolisttext.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "base/translatorloader.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/zbdevicecollection.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/linklistmodule.h"
#include "lists/radiolistmodule.h"
#include "lists/tvlistmodule.h"
#include "widgets/ssearchlineedit.h"

#include <QImage>
#include <QSettings>
#include <QTest>
#include <QTranslator>

// A list loaded while the search box has the focus (clicked just before a list handed over to the window
// arrives): the box shows its hint again, and what is typed next is the whole search, never the hint with
// the typed text after it.
namespace {

// A list of type with count items named "Sport <n>" and "News <n>" in turn.
QString sportAndNews(const QString &type, int count)
{
    if (type == QLatin1String("tv"))
        return GeneratedTvList::text(count, {QStringLiteral("Sport"), QStringLiteral("News")});
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("%1 %2").arg(i % 2 ? QStringLiteral("News") : QStringLiteral("Sport")).arg(i + 1);
    if (type == QLatin1String("radio"))
        return RadioListText::text(names);
    QString text = QStringLiteral("<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/><items>");
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("<link id=\"%1\"><title>%2</title><url>http://%1</url><type>website</type></link>")
                    .arg(i + 1)
                    .arg(names.at(i));
    return text + QStringLiteral("</items><lists><list id=\"0\"/><list id=\"1\"/><list id=\"2\"/><list "
                                 "id=\"3\"/></lists></TDocument>\n");
}

// How many items of the page's list have word in their name (title for a link).
template<class Page> int itemsNamed(Page *page, const QString &word)
{
    ListItemsDatabaseModel *items = page->projectManager()->itemsModel;
    const int column = page->projectManager()->fieldColumns.value(
        std::is_same_v<Page, LinkListModule> ? QStringLiteral("title") : QStringLiteral("name"));
    int found = 0;
    for (int row = 0; row < items->rowCount(); ++row)
        found += items->index(row, column).data().toString().contains(word) ? 1 : 0;
    return found;
}

// Types "Sport" into the box of a page showing count items: the box holds "Sport" alone and the table the
// items with that name; emptied and left, the box shows its hint again with every item.
template<class Page> void typeSport(Page *page, int count)
{
    SSearchLineEdit *search = page->txtSearch;
    QTest::keyClicks(search, QStringLiteral("Sport"));
    QCOMPARE(search->text(), QStringLiteral("Sport"));
    QVERIFY(!search->isHintShown());
    QVERIFY(search->styleSheet().contains(QStringLiteral("rgb(255, 210, 60)")));
    const int sport = itemsNamed(page, QStringLiteral("Sport"));
    QCOMPARE(sport, count / 2);
    QCOMPARE(page->itemsTableViewAll->model()->rowCount(), sport);
    QTest::keyClick(search, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(search, Qt::Key_Backspace);
    QCOMPARE(page->itemsTableViewAll->model()->rowCount(), count);
    page->itemsTableViewAll->setFocus();
    QTRY_VERIFY(!search->hasFocus());
    QVERIFY(search->isHintShown());
    QCOMPARE(search->text(), QString());
    QCOMPARE(search->shownHint(), QStringLiteral("Search..."));
}

// The box clicked, then a list of count items loaded by load(): what is typed next is the search.
template<class Page, class Load> void typeAfterALoad(Page *page, int count, Load &&load)
{
    SSearchLineEdit *search = page->txtSearch;
    QTest::mouseClick(search, Qt::LeftButton);
    QTRY_VERIFY(search->hasFocus());
    load();
    QTRY_COMPARE(page->projectManager()->itemsModel->rowCount(), count);
    QCOMPARE(search->text(), QString());
    if (!search->hasFocus()) // the load took the focus elsewhere: the user clicks the box again
        QTest::mouseClick(search, Qt::LeftButton);
    QTRY_VERIFY(search->hasFocus());
    typeSport(page, count);
}

// A search typed, then the language switched while the box keeps the focus: the search stays as typed, with
// the rows it shows, and what is typed next goes on from it; the hint, once the box is emptied and left, is
// in the language then. A box emptied but still focused through a switch shows the new hint when left.
template<class Page> void hintBackWhileTyping(Page *page, int count)
{
    SSearchLineEdit *search = page->txtSearch;
    QTest::mouseClick(search, Qt::LeftButton);
    QTRY_VERIFY(search->hasFocus());
    QTest::keyClicks(search, QStringLiteral("News"));
    QCOMPARE(page->itemsTableViewAll->model()->rowCount(), count / 2);
    QTranslator german;
    QVERIFY(loadTranslator(&german, QStringLiteral("de_DE")));
    QCoreApplication::processEvents();
    QVERIFY(search->hasFocus());
    QVERIFY(!search->isHintShown());
    QCOMPARE(search->text(), QStringLiteral("News"));
    QCOMPARE(page->itemsTableViewAll->model()->rowCount(), count / 2);
    QTest::keyClick(search, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(search, QStringLiteral("Sport"));
    QCOMPARE(search->text(), QStringLiteral("Sport"));
    QCOMPARE(page->itemsTableViewAll->model()->rowCount(), itemsNamed(page, QStringLiteral("Sport")));
    QTest::keyClick(search, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(search, Qt::Key_Backspace);
    QCOMPARE(page->itemsTableViewAll->model()->rowCount(), count);
    search->clearFocus();
    QTRY_VERIFY(!search->hasFocus());
    QVERIFY(search->isHintShown());
    const QString germanHint = QCoreApplication::translate(page->metaObject()->className(), "Search...");
    QVERIFY(germanHint != QLatin1String("Search..."));
    QCOMPARE(search->shownHint(), germanHint);
    // emptied and focused through the switch back
    QTest::mouseClick(search, Qt::LeftButton);
    QTRY_VERIFY(search->hasFocus());
    QCOMPARE(search->text(), QString());
    loadTranslator(&german, QStringLiteral("en_EN"));
    QCoreApplication::processEvents();
    QCOMPARE(search->text(), QString());
    QCOMPARE(page->itemsTableViewAll->model()->rowCount(), count);
    search->clearFocus();
    QTRY_VERIFY(!search->hasFocus());
    QCOMPARE(search->shownHint(), QStringLiteral("Search..."));
}

} // namespace

class TestSearchHintLoaded : public QObject
{
    Q_OBJECT

    template<class Page> void onThePage(const QString &type)
    {
        ZBDeviceInfo info(QStringLiteral("Box"));
        info.setNetListMaxCount(4);
        DialogAnswerer answers;
        auto page = showListPage<Page>(&info, sportAndNews(type, 20));
        typeAfterALoad(page.get(), 30, [&] { QVERIFY(page->projectManager()->newProject(sportAndNews(type, 30))); });
        hintBackWhileTyping(page.get(), 30);
        // And a load with a search typed in the box.
        QTest::mouseClick(page->txtSearch, Qt::LeftButton);
        QTest::keyClicks(page->txtSearch, QStringLiteral("News"));
        QCOMPARE(page->itemsTableViewAll->model()->rowCount(), 15);
        typeAfterALoad(page.get(), 40, [&] { QVERIFY(page->projectManager()->newProject(sportAndNews(type, 40))); });
        QCOMPARE(answers.boxTexts, QStringList());
    }

    template<class Page> void inTheWindow(const QString &type)
    {
        QTemporaryDir dir;
        const QString first =
            listFile(dir, QStringLiteral("first.") + projectExtensionOf(type), sportAndNews(type, 20));
        const QString second =
            listFile(dir, QStringLiteral("second.") + projectExtensionOf(type), sportAndNews(type, 600));
        QVERIFY(!first.isEmpty() && !second.isEmpty());
        DialogAnswerer answers;
        MainWindow window;
        ZBDeviceInfo usb = usbReceiver();
        usb.setNetListMaxCount(4);
        window.collection()->append(usb);
        window.show();
        QApplication::setActiveWindow(&window);
        window.tryToOpenFile(first);
        auto *page = qobject_cast<Page *>(window.currentModule());
        QVERIFY(page);
        QTRY_COMPARE(page->projectManager()->itemsModel->rowCount(), 20);
        typeAfterALoad(page, 600, [&] { window.tryToOpenFile(second); });
        QCOMPARE(window.currentModule(), page);
        hintBackWhileTyping(page, 600);
        QCOMPARE(answers.boxTexts, QStringList());
    }

private slots:
    void initTestCase() { registerStartUpServices(); }
    void init() { QSettings().clear(); }

    void typedAfterALoadOnThePage_data() { addTypeRows(); }
    void typedAfterALoadOnThePage()
    {
        QFETCH(QString, type);
        forPageOfType(type, [&](auto *page) { onThePage<std::remove_pointer_t<decltype(page)>>(type); });
    }

    void typedAfterAHandedOverList_data() { typedAfterALoadOnThePage_data(); }
    void typedAfterAHandedOverList()
    {
        QFETCH(QString, type);
        const ProgramLook look{QString()};
        QVERIFY(look.ok);
        forPageOfType(type, [&](auto *page) { inTheWindow<std::remove_pointer_t<decltype(page)>>(type); });
    }

    // The hint is drawn as before, grey on the white box, in the window's style.
    void hintDrawnGrey()
    {
        const ProgramLook look{QString()};
        ZBDeviceInfo info(QStringLiteral("Box"));
        auto page = showListPage<TVListModule>(&info, sportAndNews(QStringLiteral("tv"), 10));
        SSearchLineEdit *search = page->txtSearch;
        page->itemsTableViewAll->setFocus();
        QTRY_VERIFY(!search->hasFocus());
        QVERIFY(search->isHintShown());
        QCOMPARE(QColor(textColour(search)), QColor(QStringLiteral("grey")));
        search->setFocus();
        QTRY_VERIFY(search->hasFocus());
        QTest::keyClicks(search, QStringLiteral("Sport"));
        QCOMPARE(QColor(textColour(search)), QColor(Qt::black));
    }
};

OMBRELAY_TEST_MAIN(TestSearchHintLoaded)
#include "tst_searchhintloaded.moc"
