// The page builders over real list documents: geometry, the entries a print takes, and the HTML of
// the pages of all three list kinds.

#include "testmain.h"

#include "exchange/printlinklistsbuilder.h"
#include "exchange/printradiolistsbuilder.h"
#include "exchange/printtvlistsbuilder.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "printfixture.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using PrintFixture::service;

namespace {

// the services 5 (satellite), 7 (cable), 9 (terrestrial), 11 (analogue), 13 (external), 15 (no tuning)
QString services()
{
    return service(5, "&lt;b&gt;%2",
                   "satellite\"><satellite position=\"192\"/><transponderFreq>12603.75</transponderFreq><p>h</p>"
                   "<symRate>27500</symRate><sid>28006</sid>",
                   " epgMarked=\"1\"", "<provider>ARD</provider><childrenLock>1</childrenLock>") +
           service(7, "C", "cable\"><freq>346</freq><symRate>6900</symRate><sid>3</sid>") +
           service(9, "T", "terrestrial\"><freq>474000</freq><sid>14</sid>", {}, "<provider>T</provider>") +
           service(11, "A", "analog\"><freq>175.25</freq>", " epgMarked=\"1\"", "<provider>Foo</provider>") +
           service(13, "E", "external\">") + service(15, "xxxxxxxxxxxxxxxxxxxxxxxx&amp;yyyyyyyyyy");
}

// "heading|number name weight|..." of a favourite-list page, "number|..." of a plain one
QString summary(const QString &html)
{
    QStringList parts;
    static const QRegularExpression heading(QStringLiteral("<td align=\"left\">([^<]*)</td></tr></table><table c"));
    static const QRegularExpression row(QStringLiteral(
        "<tr( style=\"font-weight: (\\w+);\")?><td align=\"center\" width=\"30\">([^<]*)</td><td[^>]*>([^<]*)"));
    if (const auto match = heading.match(html); match.hasMatch())
        parts << match.captured(1);
    for (auto it = row.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        parts << (match.captured(3) + u' ' + match.captured(4) + u' ' + match.captured(2)).trimmed();
    }
    return parts.join(u'|');
}

QStringList cellTexts(const QString &html)
{
    static const QRegularExpression cell(QStringLiteral("<td[^>]*>([^<]*)</td>"));
    QStringList texts;
    for (auto it = cell.globalMatch(html); it.hasNext();)
        texts << it.next().captured(1);
    return texts.mid(1); // without the number
}

} // namespace

class TestPrintBuilders : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void geometry();
    void elideText_data();
    void elideText();
    void itemsAndRanges_data();
    void itemsAndRanges();
    void favouritePages();
    void cells_data();
    void cells();
    void linkPages();

private:
    // R entry rows per page, no footer, no grid, width 0, margins 0
    void setRows(PrintListsBuilder &builder, int rows);
    std::unique_ptr<TVListProjectFileManager> manager;
    std::unique_ptr<PrintTVListsBuilder> owner;
    PrintTVListsBuilder *tv = nullptr;
};

void TestPrintBuilders::init()
{
    owner.reset();
    manager = std::make_unique<TVListProjectFileManager>(nullptr);
    QVERIFY(manager->newProject(PrintFixture::document(services(), {{5, 7}, {9, 11}})));
    owner = std::make_unique<PrintTVListsBuilder>(manager.get());
    tv = owner.get();
    tv->setSatelliteNames({{192, "Astra"}, {-50, "Y"}});
}

void TestPrintBuilders::setRows(PrintListsBuilder &builder, int rows)
{
    builder.setShowFileName(false);
    builder.setShowPageNumber(false);
    builder.setShowGrid(false);
    builder.setPageHeight(15 * (rows + 1));
}

void TestPrintBuilders::geometry()
{
    tv->setPageHeight(1000);
    for (auto set : {&PrintListsBuilder::setTopMargin, &PrintListsBuilder::setBottomMargin})
        (tv->*set)(20);
    tv->setShowGrid(false);
    QCOMPARE(tv->rowsPerPage(), 63);
    tv->setShowGrid(true);
    QCOMPARE(tv->rowsPerPage(), 55);
    tv->setPageHeight(40 * 17 + 15 + 40); // 40 rows, one of them the footer's
    QCOMPARE(tv->entryRows(), 39);
    // every entry gets its page, and a full last page no blank one after it
    QCOMPARE(
        QList<int>({tv->pageCount(0), tv->pageCount(39), tv->pageCount(78), tv->pageCount(79), tv->pageCount(118)}),
        QList<int>({1, 1, 2, 3, 4}));
    tv->setPageHeight(30);
    QCOMPARE(tv->pageCount(5), 0);
    QCOMPARE(tv->rowCount(), 4);
}

void TestPrintBuilders::elideText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("expected");
    QTest::newRow("cut") << "abcdefghij" << 8 << "abcde...";
    QTest::newRow("fits") << "abcdefgh" << 8 << "abcdefgh";
    QTest::newRow("surrogate pair kept whole") << QString::fromUtf8("abcd\xF0\x9F\x98\x80xyz") << 8 << "abcd...";
}

void TestPrintBuilders::elideText()
{
    QFETCH(QString, text);
    QFETCH(int, limit);
    QTEST(tv->elideText(text, limit), "expected");
}

void TestPrintBuilders::itemsAndRanges_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QList<int>>("expected");
    QTest::addColumn<QString>("page");
    QTest::newRow("all") << -1 << -1 << QList<int>{-1, 5, 7, -1, 9, 11}
                         << "Favorite list 1 / Favorite list 2|1 &lt;b&gt;%2 normal|2 C normal|1 T bold|2 A normal";
    QTest::newRow("one entry") << 2 << 2 << QList<int>{7} << "Favorite list 1|2 C normal";
    QTest::newRow("inside the second list")
        << 3 << 4 << QList<int>{-1, 9, 11} << "Favorite list 2|1 T normal|2 A normal";
    QTest::newRow("end cut") << 4 << 99 << QList<int>{11} << "Favorite list 2|2 A normal";
    QTest::newRow("start past the end") << 5 << 9 << QList<int>{} << "Favorite list 2";
}

void TestPrintBuilders::itemsAndRanges()
{
    QFETCH(int, from);
    QFETCH(int, to);
    setRows(*tv, 10);
    QTEST(tv->itemsToPrint(false, from, to), "expected");
    QTEST(summary(tv->buildHandoutPage(1, true, false, from, to)), "page");
    // proposals for a selection count as a range does, so From..To prints the selected span
    tv->setSelection({11, 9, 4});
    tv->setCurrentList(1);
    QCOMPARE(QList<int>({tv->firstSelectedRow(), tv->lastSelectedRow()}), QList<int>({3, 4}));
    QCOMPARE(tv->itemsToPrint(true, from, to), QList<int>({11, 9, 4}));
    QCOMPARE(summary(tv->buildHandoutPage(1, true, true, -1, -1)), QStringLiteral("2 A|1 T|&nbsp;"));
    for (int outside : {-1, 2}) {
        tv->setCurrentList(outside);
        QCOMPARE(QList<int>({tv->firstSelectedRow(), tv->lastSelectedRow()}), QList<int>({1, 3}));
        QCOMPARE(summary(tv->buildHandoutPage(1, true, true, -1, -1)), QStringLiteral("&nbsp; A|&nbsp; T|&nbsp;"));
    }
}

void TestPrintBuilders::favouritePages()
{
    PrintRadioListsBuilder radio(manager.get());
    for (PrintServiceListsBuilder *builder :
         {static_cast<PrintServiceListsBuilder *>(tv), static_cast<PrintServiceListsBuilder *>(&radio)}) {
        builder->setPageHeight(87); // 4 rows with grid: 3 entries and the footer
        builder->setLeftMargin(3);
        builder->setTopMargin(4);
        builder->setPageWidth(500);
        builder->setCurrentPage(1);
        builder->setSatelliteNames({{192, "Astra"}});
    }
    for (auto build : {&PrintListsBuilder::buildCompactPage, &PrintListsBuilder::buildDetailedPage,
                       &PrintListsBuilder::buildHandoutPage})
        QCOMPARE((radio.*build)(1, true, false, -1, -1), (tv->*build)(1, true, false, -1, -1));
    const QString page1 = tv->buildHandoutPage(1, true, false, -1, -1);
    tv->setCurrentPage(2);
    const QString page2 = tv->buildHandoutPage(2, false, false, -1, -1);
    const QString frame = QStringLiteral(
        "<table style=\"margin-left: 3px; margin-top:4px;\" border=\"0\" width=\"500\"><tr><td align=\"left\">%1"
        "</td></tr></table><table cellpadding=\"1\" cellspacing=\"0\" style=\"white-space:nowrap; margin-left: 3px; "
        "margin-top:0px;\" border=\"1\" width=\"500\">%2</table><table style=\"margin-left: 3px; margin-top:0px;\" "
        "border=\"0\" width=\"500\"><tr><td align=\"left\">Untitled 1.tvqvxc</td><td align=\"right\">%3</td></tr>"
        "</table>");
    const QString row = QStringLiteral("<tr style=\"font-weight: %1;\"><td align=\"center\" width=\"30\">%2</td>"
                                       "<td align=\"center\" width=\"400\">%3</td></tr>");
    QCOMPARE(page1,
             frame.arg("Favorite list 1 / Favorite list 2",
                       "<tr><th>&nbsp;</th><th>TV Program name</th></tr>" + row.arg("normal", "1", "&lt;b&gt;%2") +
                           row.arg("normal", "2", "C") + row.arg("bold", "1", "T"),
                       "1"));
    QCOMPARE(page2, frame.arg("Favorite list 2", row.arg("normal", "2", "A"), "2"));

    // an empty list keeps its place in the numbering, as its tab does
    QVERIFY(manager->newProject(PrintFixture::document(services(), {{5, 7}, {}, {9}})));
    QCOMPARE(summary(tv->buildCompactPage(1, false, false, -1, -1)),
             QStringLiteral("Favorite list 1 / Favorite list 3|1 &lt;b&gt;%2 normal|2 C normal|1 T bold"));
    QVERIFY(manager->newProject(PrintFixture::document(services(), {{}, {}})));
    QCOMPARE(tv->buildDetailedPage(1, true, false, -1, -1),
             "<table style=\"margin-left: 3px; margin-top:0px;\" border=\"0\" width=\"500\"><tr><td "
             "align=\"left\">Untitled 3.tvqvxc</td><td align=\"right\">2</td></tr></table>");
}

void TestPrintBuilders::cells_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("detailed");
    QTest::addColumn<QStringList>("compact");
    const QString noProvider = QStringLiteral("--no provider--");
    QTest::newRow("satellite") << 5 << QStringList{"&lt;b&gt;%2", "ARD", "Astra 19.2°E", "12603.8", "yes",
                                                   "yes",         "hor", "27500",        "28006"}
                               << QStringList{"&lt;b&gt;%2", "ARD", "Astra 19.2°E", "12603.8", "hor", "27500"};
    QTest::newRow("cable") << 7 << QStringList{"C", "", "", "346", "no", "no", "", "6900", "3"}
                           << QStringList{"C", "", "", "346", "", "6900"};
    QTest::newRow("terrestrial") << 9 << QStringList{"T", "T", "", "474000", "no", "no", "", "", "14"}
                                 << QStringList{"T", "T", "", "474000", "", ""};
    QTest::newRow("analog") << 11 << QStringList{"A", noProvider, "", "175.25", "no", "no", "", "", ""}
                            << QStringList{"A", noProvider, "", "175.25", "", ""};
    QTest::newRow("external") << 13 << QStringList{"E", noProvider, "", "", "no", "no", "", "", ""}
                              << QStringList{"E", noProvider, "", "", "", ""};
    QTest::newRow("undefined, long name")
        << 15 << QStringList{"xxxxxxxxxxxxxxxxxxxxxxxx&amp;yyyyyyyyyy", noProvider, "", "", "no", "no", "", "", ""}
        << QStringList{"xxxxxxxxxxxxxxxxxxxxxxxx&amp;yy...", "--no provider--", "", "", "", ""};
}

void TestPrintBuilders::cells()
{
    QFETCH(int, id);
    setRows(*tv, 5);
    tv->setSelection({id});
    QTEST(cellTexts(tv->buildDetailedPage(1, false, true, -1, -1)), "detailed");
    QTEST(cellTexts(tv->buildCompactPage(1, false, true, -1, -1)), "compact");
    if (id == 5) {
        QCOMPARE(
            tv->buildCompactPage(1, true, true, -1, -1),
            "<table cellpadding=\"1\" cellspacing=\"0\" style=\"white-space:nowrap; margin-left: 0px; "
            "margin-top:0px;\" border=\"0\" width=\"\"><tr><th>&nbsp;</th><th>TV Program name</th><th>Provider"
            "</th><th>Satellite</th><th>Frequency</th><th>Polarization</th><th>SR</th></tr><tr><td align=\"center\" "
            "width=\"30\">1</td><td align=\"center\" width=\"200\">&lt;b&gt;%2</td><td align=\"center\">ARD</td>"
            "<td align=\"center\" width=\"100\">Astra 19.2°E</td><td align=\"center\" width=\"90\">12603.8</td>"
            "<td align=\"center\" width=\"45\">hor</td><td align=\"center\" width=\"60\">27500</td></table>");
        QCOMPARE(tv->buildDetailedPage(1, true, true, -1, -1).section("</tr>", 0, 0),
                 "<table cellpadding=\"1\" cellspacing=\"0\" style=\"margin-left: 0px; margin-top:0px;\" border=\"0\" "
                 "width=\"\"><tr><th>&nbsp;</th><th>TV Program name</th><th>Provider</th><th>Satellite</th><th>"
                 "Frequency</th><th>EPG</th><th>CL</th><th>Pol</th><th>SR</th><th>SID</th>");
    }
}

void TestPrintBuilders::linkPages()
{
    QTemporaryDir dir(QDir::tempPath() + "/a&b-XXXXXX");
    const QString path = dir.filePath("links.lkqvx");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(PrintFixture::document("<link id=\"0\"><title>%1</title><url>a%3Ab</url><genres>News;Sport</genres>"
                                      "<childrenLock>1</childrenLock></link><link id=\"1\" hideURL=\"True\"><title>"
                                      "&lt;i&gt;</title><url>u</url></link>",
                                      {{0, 1}})
                   .toUtf8());
    file.close();
    LinkListProjectFileManager links(nullptr);
    QVERIFY(links.loadFile(path));
    PrintLinkListsBuilder builder(&links);
    setRows(builder, 5);
    builder.setShowFileName(true);
    const QString escapedPath = path.toHtmlEscaped();
    QCOMPARE(cellTexts(builder.buildDetailedPage(1, true, false, -1, -1)),
             QStringList({"1", "%1", "a%3Ab", "News; Sport", "yes", "2", "&lt;i&gt;", "", "", "no", escapedPath}));
    QCOMPARE(builder.buildCompactPage(1, true, false, -1, -1),
             builder.buildDetailedPage(1, true, false, -1, -1).replace("width=\"300\"", "width=\"200\""));
    builder.setSelection({1, 0});
    QCOMPARE(summary(builder.buildHandoutPage(1, true, true, -1, -1)), QStringLiteral("2 &lt;i&gt;|1 %1"));
    QVERIFY(builder.buildHandoutPage(1, true, true, -1, -1)
                .startsWith("<table cellpadding=\"1\" cellspacing=\"0\" style=\"white-space:nowrap;"));
    QVERIFY(builder.buildDetailedPage(1, true, true, -1, -1)
                .startsWith("<table cellpadding=\"1\" cellspacing=\"0\" style=\"margin-left"));
}

OMBRELAY_TEST_MAIN(TestPrintBuilders)
#include "tst_printbuilders.moc"
