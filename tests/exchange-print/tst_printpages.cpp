// The list-entry records and the page builders over real list documents: conversions and defaults,
// geometry, the entries a print takes, and the HTML of the pages of all three list kinds.

#include "testmain.h"

#include "document/docitem.h"
#include "exchange/dvblistitemdata.h"
#include "exchange/printlinklistsbuilder.h"
#include "exchange/printradiolistsbuilder.h"
#include "exchange/printtvlistsbuilder.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "printfixture.h"

#include <QDomDocument>
#include <QRegularExpression>
#include <QTest>

using PrintFixture::service;
using Build = QString (PrintListsBuilder::*)(int, bool, bool, int, int);

namespace {

// 5 satellite, 7 cable, 9 terrestrial, 11 analogue, 13 external, 15 without tuning data
const QString services =
    service(5, "&lt;b&gt;%2",
            "satellite\"><satellite position=\"192\">X</satellite><transponderFreq>12603.75</transponderFreq><freq>9"
            "</freq><p>H</p><symRate>27500</symRate><sid>28006</sid>",
            "<provider>ARD</provider><childrenLock>3;;x;5</childrenLock><genres>A; B</genres>")
        .replace("id=\"5\"", "id=\"5\" epgMarked=\"1\"") +
    service(7, "C", "cable\"><satellite position=\"abc\"/><freq>346</freq><symRate>6900</symRate><sid>12a</sid>",
            "<childrenLock>x</childrenLock>")
        .replace("id=\"7\"", "id=\"7\" epgMarked=\"true\"") +
    service(9, "T", "terrestrial\"><freq>474000</freq><sid>14</sid><p>h</p>", "<provider>T</provider>") +
    service(11, "A", "analog\"><freq>175.25</freq>", "<provider>Foo</provider>")
        .replace("id=\"11\"", "id=\"11\" epgMarked=\"1\"") +
    service(13, "E", "external\">") + service(15, "xxxxxxxxxxxxxxxxxxxxxxxx&amp;yyyyyyyyyy", "dvb-t\"><freq>5</freq>");

// Each row as "number name weight" (weight only in the favourite-list section) after the list heading;
// with cells, each row's cells after the number, joined by "|".
QString rows(const QString &html, bool cells = false)
{
    static const QRegularExpression heading("<td align=\"left\">([^<]*)</td></tr></table><table c");
    static const QRegularExpression row(
        "<tr( style=\"font-weight: (\\w+);\")?><td align=\"center\" width=\"30\">([^<]*)"
        "</td>((<td[^>]*>[^<]*</td>)*)");
    QStringList parts;
    if (const auto match = heading.match(html); match.hasMatch())
        parts << match.captured(1);
    for (auto it = row.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        QString texts = m.captured(4);
        texts.replace(QRegularExpression("</td><td[^>]*>"), "|").remove(QRegularExpression("</?td[^>]*>"));
        parts << (cells ? texts : (m.captured(3) + u' ' + texts.section(u'|', 0, 0) + u' ' + m.captured(2)).trimmed());
    }
    return parts.join(u'|');
}

} // namespace

class TestPrintPages : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void geometry();
    void ranges_data();
    void ranges();
    void favouritePages();
    void cells_data();
    void cells();
    void linkPages();

private:
    std::unique_ptr<TVListProjectFileManager> manager;
    std::unique_ptr<PrintTVListsBuilder> tv;
};

void TestPrintPages::init()
{
    tv.reset();
    manager = std::make_unique<TVListProjectFileManager>(nullptr);
    QVERIFY(manager->newProject(PrintFixture::document(services, {{5, 7}, {9, 11}})));
    tv = std::make_unique<PrintTVListsBuilder>(manager.get());
    tv->setShowFileName(false);
    tv->setShowPageNumber(false);
    tv->setShowGrid(false);
    tv->setPageHeight(15 * 11); // 10 rows
}

void TestPrintPages::geometry()
{
    tv->setPageHeight(1000);
    tv->setTopMargin(20);
    tv->setBottomMargin(20);
    QCOMPARE(tv->rowsPerPage(), 63);
    tv->setShowGrid(true);
    QCOMPARE(tv->rowsPerPage(), 55);
    tv->setShowFileName(true);
    tv->setPageHeight(40 * 17 + 15 + 40); // 40 rows, one of them the footer's
    // every entry gets its page, and a full last page no blank one after it
    QCOMPARE(
        QList<int>({tv->pageCount(0), tv->pageCount(39), tv->pageCount(78), tv->pageCount(79), tv->pageCount(118)}),
        QList<int>({1, 1, 2, 3, 4}));
    QCOMPARE(tv->elideText("abcdefghij", 8) + tv->elideText("abcdefgh", 8), "abcde...abcdefgh");
    QCOMPARE(tv->elideText(QString::fromUtf8("abcd\xF0\x9F\x98\x80xyz"), 8), "abcd..."); // no half surrogate pair
    // a satellite name in the tuning data is taken as it stands
    QDomDocument entry;
    QVERIFY(entry.setContent(QStringLiteral("<s><details><config type=\"SATELLITE\"><satellite position=\"-50\">"
                                            "Türksat</satellite></config></details></s>")));
    const DVBListItemData record(entry.documentElement());
    QCOMPARE(record.satelliteText() + QString::number(record.deliveryType()), "Türksat 5°W4");
}

void TestPrintPages::ranges_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<QString>("page");
    QTest::newRow("all") << -1 << -1 << QList<int>{-1, 5, 7, -1, 9, 11}
                         << "Favorite list 1 / Favorite list 2|1 &lt;b&gt;%2 normal|2 C normal|1 T bold|2 A normal";
    QTest::newRow("one entry") << 2 << 2 << QList<int>{7} << "Favorite list 1|2 C normal";
    QTest::newRow("in the second list") << 3 << 4 << QList<int>{-1, 9, 11} << "Favorite list 2|1 T normal|2 A normal";
    QTest::newRow("end cut") << 4 << 99 << QList<int>{11} << "Favorite list 2|2 A normal";
    QTest::newRow("start past the end") << 5 << 9 << QList<int>{} << "Favorite list 2";
}

void TestPrintPages::ranges()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QTEST(tv->itemsToPrint(false, from, to), "ids");
    QTEST(rows(tv->buildHandoutPage(1, true, false, from, to)), "page");
    // proposals for a selection count as a range does, so From..To prints the selected span
    tv->setSelection({11, 9, 4});
    tv->setCurrentList(1);
    QCOMPARE(QList<int>({tv->firstSelectedRow(), tv->lastSelectedRow()}), QList<int>({3, 4}));
    QCOMPARE(rows(tv->buildHandoutPage(1, true, true, from, to)), QStringLiteral("2 A|1 T|&nbsp;"));
    for (int outside : {-1, 2}) {
        tv->setCurrentList(outside);
        QCOMPARE(QList<int>({tv->firstSelectedRow(), tv->lastSelectedRow()}), QList<int>({1, 3}));
        QCOMPARE(rows(tv->buildHandoutPage(1, true, true, -1, -1)), QStringLiteral("&nbsp; A|&nbsp; T|&nbsp;"));
    }
}

void TestPrintPages::favouritePages()
{
    // radio pages are TV pages, column titles included
    PrintRadioListsBuilder radio(manager.get());
    radio.setPageHeight(15 * 11);
    radio.setShowGrid(false);
    radio.setShowFileName(false);
    radio.setShowPageNumber(false);
    for (Build build : {&PrintListsBuilder::buildCompactPage, &PrintListsBuilder::buildDetailedPage,
                        &PrintListsBuilder::buildHandoutPage})
        QCOMPARE((radio.*build)(1, true, false, -1, -1), (tv.get()->*build)(1, true, false, -1, -1));
    tv->setPageHeight(87); // 4 rows with grid: 3 entries and the footer
    tv->setLeftMargin(3);
    tv->setTopMargin(4);
    tv->setPageWidth(500);
    tv->setCurrentPage(1);
    tv->setShowGrid(true);
    tv->setShowFileName(true);
    tv->setShowPageNumber(true);
    const QString page1 = tv->buildHandoutPage(1, true, false, -1, -1);
    tv->setCurrentPage(2);
    const QString frame(
        "<table style=\"margin-left: 3px; margin-top:4px;\" border=\"0\" width=\"500\"><tr><td align=\"left\">%1</td>"
        "</tr></table><table cellpadding=\"1\" cellspacing=\"0\" style=\"white-space:nowrap; margin-left: 3px; margin-"
        "top:0px;\" border=\"1\" width=\"500\">%2</table><table style=\"margin-left: 3px; margin-top:0px;\" "
        "border=\"0\" "
        "width=\"500\"><tr><td align=\"left\">Untitled 1.tvqvxc</td><td align=\"right\">%3</td></tr></table>");
    const QString row("<tr style=\"font-weight: %1;\"><td align=\"center\" width=\"30\">%2</td><td align=\"center\" "
                      "width=\"400\">%3</td></tr>");
    QCOMPARE(page1,
             frame.arg("Favorite list 1 / Favorite list 2",
                       "<tr><th>&nbsp;</th><th>TV Program name</th></tr>" + row.arg("normal", "1", "&lt;b&gt;%2") +
                           row.arg("normal", "2", "C") + row.arg("bold", "1", "T"),
                       "1"));
    QCOMPARE(tv->buildHandoutPage(2, false, false, -1, -1),
             frame.arg("Favorite list 2", row.arg("normal", "2", "A"), "2"));

    // an empty list keeps its place in the numbering, as its tab does
    QVERIFY(manager->newProject(PrintFixture::document(services, {{5, 7}, {}, {9}})));
    QCOMPARE(rows(tv->buildCompactPage(1, false, false, -1, -1)),
             "Favorite list 1 / Favorite list 3|1 &lt;b&gt;%2 normal|2 C normal|1 T bold");
    QVERIFY(manager->newProject(PrintFixture::document(services, {{}, {}})));
    QCOMPARE(tv->buildDetailedPage(1, true, false, -1, -1),
             "<table style=\"margin-left: 3px; margin-top:0px;\" border=\"0\" width=\"500\"><tr><td "
             "align=\"left\">Untitled 3.tvqvxc</td><td align=\"right\">2</td></tr></table>");
}

void TestPrintPages::cells_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("detailed");
    QTest::addColumn<QString>("compact");
    // the satellite named by the receiver, the name in the tuning data dropped on loading
    QTest::newRow("satellite") << 5 << "&lt;b&gt;%2|ARD|Astra 19.2°E|12603.8|yes|yes|hor|27500|28006"
                               << "&lt;b&gt;%2|ARD|Astra 19.2°E|12603.8|hor|27500";
    QTest::newRow("cable") << 7 << "C|||346|no|no||6900|-1"
                           << "C|||346||6900";
    QTest::newRow("terrestrial") << 9 << "T|T||474000|no|no|||14"
                                 << "T|T||474000||";
    QTest::newRow("analog") << 11 << "A|--no provider--||175.25|no|no|||"
                            << "A|--no provider--||175.25||";
    QTest::newRow("external") << 13 << "E|--no provider--|||no|no|||"
                              << "E|--no provider--||||";
    QTest::newRow("undefined, long name") << 15 << "xxxxxxxxxxxxxxxxxxxxxxxx&amp;yyyyyyyyyy|--no provider--|||no|no|||"
                                          << "xxxxxxxxxxxxxxxxxxxxxxxx&amp;yy...|--no provider--||||";
}

void TestPrintPages::cells()
{
    QFETCH(int, id);
    tv->setSatelliteNames({{192, "Astra"}});
    tv->setSelection({id});
    QTEST(rows(tv->buildDetailedPage(1, false, true, -1, -1), true), "detailed");
    QTEST(rows(tv->buildCompactPage(1, false, true, -1, -1), true), "compact");
    QVERIFY(tv->buildCompactPage(1, true, true, -1, -1)
                .startsWith("<table cellpadding=\"1\" cellspacing=\"0\" style=\"white-space:nowrap; margin-left: 0px; "
                            "margin-top:0px;\" border=\"0\" width=\"\"><tr><th>&nbsp;</th><th>TV Program name</th><th>"
                            "Provider</th><th>Satellite</th><th>Frequency</th><th>Polarization</th><th>SR</th></tr>"));
}

void TestPrintPages::linkPages()
{
    LinkListProjectFileManager links(nullptr);
    QVERIFY(links.newProject(PrintFixture::document(
        "<link id=\"0\"><title>%1</title><url>a%3Ab</url><genres>News;Sport</genres><childrenLock>1</childrenLock>"
        "</link><link id=\"1\" hideURL=\"True\"><name>N</name><title>&lt;i&gt;</title><url>u</url></link>",
        {{0, 1}})));
    PrintLinkListsBuilder builder(&links);
    builder.setPageHeight(90);
    const QString detailed = builder.buildDetailedPage(1, true, false, -1, -1);
    QCOMPARE(rows(detailed, true), "Favorite list 1|%1|a%3Ab|News; Sport|yes|&lt;i&gt;|||no");
    QCOMPARE(builder.buildCompactPage(1, true, false, -1, -1), QString(detailed).replace("\"300\"", "\"200\""));
    builder.setSelection({1, 0});
    QCOMPARE(rows(builder.buildHandoutPage(1, true, true, -1, -1)), QStringLiteral("2 &lt;i&gt;|1 %1"));
    QVERIFY(builder.buildHandoutPage(1, true, true, -1, -1).contains("style=\"white-space:nowrap; margin-left: 0px"));
    QVERIFY(builder.buildDetailedPage(1, true, true, -1, -1).contains("style=\"margin-left: 0px"));
}

OMBRELAY_TEST_MAIN(TestPrintPages)
#include "tst_printpages.moc"
