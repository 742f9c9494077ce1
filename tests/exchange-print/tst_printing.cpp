// Printing over real list documents: the list-entry records and page builders (conversions, geometry,
// the entries a print takes, the HTML of the pages of all three list kinds), and the print dialog driven
// offscreen over 160 entries in three lists (the second empty): options kept in the settings, ranges
// refused, real PDF files and previews checked page by page. No printer is reachable, so Print writes
// a PDF file.

#include "testmain.h"

#include "base/settings.h"
#include "document/docitem.h"
#include "exchange/dvblistitemdata.h"
#include "exchange/listsprintdialog.h"
#include "exchange/printlinklistsbuilder.h"
#include "exchange/printradiolistsbuilder.h"
#include "exchange/printtvlistsbuilder.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/projectfileformat.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "widgets/messagebox.h"

#include <QCheckBox>
#include <QDomDocument>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <poppler-qt6.h>

namespace {

QString document(const QString &items, const QList<QList<int>> &lists)
{
    QString text = QStringLiteral("<TDocument><documentProperties/><items>") + items + "</items><lists>";
    for (const QList<int> &list : lists) {
        text += QStringLiteral("<list>");
        for (int id : list)
            text += QStringLiteral("<ref>%1</ref>").arg(id);
        text += QStringLiteral("</list>");
    }
    return text + QStringLiteral("</lists></TDocument>");
}

// a service with an id, a name and the inner XML of its tuning element after the type
QString service(int id, const QString &name, const QString &config = {}, const QString &children = {})
{
    const QString tuning = QStringLiteral("<details><config type=\"") + config + "</config></details>";
    return QStringLiteral("<tvService id=\"%1\"><name>%2</name>%3%4</tvService>")
        .arg(QString::number(id), name, children, config.isEmpty() ? QString() : tuning);
}

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

struct Pdf
{
    QList<QSizeF> sizes;
    bool inside = true;                  // every word lies within its page
    QMap<QString, QList<int>> wordPages; // word -> the pages it stands on
    QList<QStringList> words;            // per page, line by line from the top, left to right
};

Pdf readPdf(const QString &path)
{
    Pdf pdf;
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    for (int i = 0; document && i < document->numPages(); ++i) {
        const std::unique_ptr<Poppler::Page> page = document->page(i);
        pdf.sizes << page->pageSizeF();
        QMap<QPair<int, qreal>, QString> ordered; // (line, x) -> word
        for (const auto &box : page->textList()) {
            const QRectF rect = box->boundingBox();
            pdf.inside = pdf.inside && QRectF(QPointF(), pdf.sizes.last()).contains(rect);
            pdf.wordPages[box->text()] << i + 1;
            ordered.insert({qRound(rect.center().y() / 4), rect.x()}, box->text());
        }
        pdf.words << ordered.values();
    }
    return pdf;
}

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup()
    {
        MessageBox::setAnswerHook({});
        ListsPrintDialog::setPrinterStandInForTests({});
    }
    void geometry();
    void ranges_data();
    void ranges();
    void favouritePages();
    void cells_data();
    void cells();
    void linkPages();
    void optionsAndRanges();
    void printsPdf_data();
    void printsPdf();
    void failedOrCancelledPrints();
    void cancelSendsNothingToThePrinter();
    void pdfOverAFolderFails();
    void providerShortenedBeforeEscaping();
    void selectionAfterPreview();
    void pdfStartsWhereSaveAsStarts_data();
    void pdfStartsWhereSaveAsStarts();

private:
    template<typename T> T *widget(const char *name) { return dialog->findChild<T *>(QLatin1String(name)); }
    void press(const char *button) { QTest::mouseClick(widget<QPushButton>(button), Qt::LeftButton); }

    std::unique_ptr<TVListProjectFileManager> manager; // the six services, for the pages
    std::unique_ptr<PrintTVListsBuilder> tv;
    QTemporaryDir dir;
    std::unique_ptr<ListsPrintDialog> dialog; // over the 160 entries
    std::unique_ptr<PrintTVListsBuilder> builder;
    std::unique_ptr<TVListProjectFileManager> printManager;
    QString pdfAnswer;    // the file the save dialog chooses; empty cancels it
    QStringList seen;     // message texts, file dialogs and previews, in order
    QStringList proposed; // the file each file dialog proposed, in the folder it opened in
};

void TestPrinting::init()
{
    manager = std::make_unique<TVListProjectFileManager>(nullptr);
    QVERIFY(manager->newProject(document(services, {{5, 7}, {9, 11}})));
    tv = std::make_unique<PrintTVListsBuilder>(manager.get());
    tv->setPageHeight(15 * 11); // 7 entries with grid and footer

    dialog.reset();
    QSettings().clear();
    seen.clear();
    proposed.clear();
    pdfAnswer.clear();
    MessageBox::setAnswerHook([this](QDialog *box) {
        if (auto *message = qobject_cast<QMessageBox *>(box))
            seen << message->text();
        if (auto *files = qobject_cast<QFileDialog *>(box)) {
            seen << files->windowTitle() + u' ' + files->nameFilters().join(u';');
            proposed << QDir(files->directory()).filePath(QFileInfo(files->selectedFiles().value(0)).fileName());
            files->selectFile(pdfAnswer);
            // selectFile skips the name field while it has the focus, which depends on timing
            if (auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                name && !pdfAnswer.isEmpty())
                name->setText(QFileInfo(pdfAnswer).fileName());
            static_cast<QDialog *>(files)->done(pdfAnswer.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
        }
        if (auto *preview = qobject_cast<QPrintPreviewDialog *>(box)) {
            const auto *pages = preview->findChild<QPrintPreviewWidget *>();
            seen << QStringLiteral("preview %1 %2").arg(pages->pageCount()).arg(pages->orientation());
        }
    });
    QString items;
    QList<QList<int>> lists{{}, {}, {}};
    for (int id = 0; id < 160; lists[id < 100 ? 0 : 2] << id, ++id)
        items += service(id, QStringLiteral("N%1").arg(id, 4, 10, QLatin1Char('0')));
    printManager = std::make_unique<TVListProjectFileManager>(nullptr);
    QVERIFY(printManager->newProject(document(items, lists)));
    builder = std::make_unique<PrintTVListsBuilder>(printManager.get());
    builder->setCurrentList(2);
    builder->setSelection({103, 104});
    dialog = std::make_unique<ListsPrintDialog>(nullptr, builder.get());
    dialog->show();
}

void TestPrinting::geometry()
{
    tv->setPageHeight(1000);
    tv->setTopMargin(20);
    tv->setBottomMargin(20);
    QCOMPARE(tv->rowsPerPage(), 55);
    tv->setShowGrid(false);
    QCOMPARE(tv->rowsPerPage(), 63);
    tv->setShowGrid(true);
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

void TestPrinting::ranges_data()
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

void TestPrinting::ranges()
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
    tv->setCurrentList(-1); // no list: nothing numbered
    QCOMPARE(QList<int>({tv->firstSelectedRow(), tv->lastSelectedRow()}), QList<int>({1, 3}));
    QCOMPARE(rows(tv->buildHandoutPage(1, true, true, -1, -1)), QStringLiteral("&nbsp; A|&nbsp; T|&nbsp;"));
}

void TestPrinting::favouritePages()
{
    // radio pages are TV pages, column titles included
    PrintRadioListsBuilder radio(manager.get());
    radio.setPageHeight(15 * 11);
    for (auto build : {&PrintListsBuilder::buildCompactPage, &PrintListsBuilder::buildDetailedPage,
                       &PrintListsBuilder::buildHandoutPage})
        QCOMPARE((radio.*build)(1, true, false, -1, -1), (tv.get()->*build)(1, true, false, -1, -1));
    tv->setPageHeight(87); // 4 rows with grid: 3 entries and the footer
    tv->setLeftMargin(3);
    tv->setTopMargin(4);
    tv->setPageWidth(500);
    tv->setCurrentPage(1);
    const QString page1 = tv->buildHandoutPage(1, true, false, -1, -1);
    tv->setCurrentPage(2);
    const QString frame("<table style=\"margin-left: 3px; margin-top:4px;\" border=\"0\" width=\"500\"><tr><td "
                        "align=\"left\">%1</td></tr></table><table cellpadding=\"1\" cellspacing=\"0\" style=\""
                        "margin-left: 3px; margin-top:0px;\" border=\"1\" width=\"500\">%2</table><table "
                        "style=\"margin-left: 3px; margin-top:0px;\" border=\"0\" width=\"500\"><tr><td align=\"left\">"
                        "Untitled 1.tvqvxc</td><td align=\"right\">%3</td></tr></table>");
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
    QVERIFY(manager->newProject(document(services, {{5, 7}, {}, {9}})));
    QCOMPARE(rows(tv->buildCompactPage(1, false, false, -1, -1)),
             "Favorite list 1 / Favorite list 3|1 &lt;b&gt;%2 normal|2 C normal|1 T bold");
}

void TestPrinting::cells_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("cells"); // detailed / compact
    // the satellite named by the receiver, the name in the tuning data dropped on loading
    QTest::newRow("satellite") << 5
                               << "&lt;b&gt;%2|ARD|Astra 19.2°E|12603.8|yes|yes|hor|27500|28006 / "
                                  "&lt;b&gt;%2|ARD|Astra 19.2°E|12603.8|hor|27500";
    QTest::newRow("cable") << 7 << "C|||346|no|no||6900|-1 / C|||346||6900";
    QTest::newRow("terrestrial") << 9 << "T|T||474000|no|no|||14 / T|T||474000||";
    QTest::newRow("analog") << 11 << "A|--no provider--||175.25|no|no||| / A|--no provider--||175.25||";
    QTest::newRow("long name") << 15
                               << "xxxxxxxxxxxxxxxxxxxxxxxx&amp;yyyyyyyyyy|--no provider--|||no|no||| / "
                                  "xxxxxxxxxxxxxxxxxxxxxxxx&amp;yy...|--no provider--||||";
}

void TestPrinting::cells()
{
    QFETCH(int, id);
    tv->setSatelliteNames({{192, "Astra"}});
    tv->setSelection({id});
    QTEST(rows(tv->buildDetailedPage(1, false, true, -1, -1), true) + " / " +
              rows(tv->buildCompactPage(1, false, true, -1, -1), true),
          "cells");
}

void TestPrinting::linkPages()
{
    LinkListProjectFileManager links(nullptr);
    QVERIFY(links.newProject(document(
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
    QVERIFY(builder.buildDetailedPage(1, true, true, -1, -1).contains("style=\"margin-left: 0px"));
}

void TestPrinting::optionsAndRanges()
{
    // first use: Handout and every option; Cancel keeps what was changed
    QVERIFY(widget<QRadioButton>("rbFormatHandout")->isChecked());
    for (const char *box : {"cbGrid", "cbPageNumber", "cbTitle", "cbFileName"})
        QVERIFY(widget<QCheckBox>(box)->isChecked());
    QCOMPARE(widget<QLineEdit>("txtPrintTo")->text(), QStringLiteral("160"));
    widget<QCheckBox>("cbGrid")->setChecked(false);
    press("btnCancel");
    QCOMPARE(QSettings().value("printGrid").toString() + QSettings().value("printFormatHandout").toString(),
             "falsetrue");
    // of several stored formats the last of compact, detailed, handout wins
    QSettings().setValue("printFormatCompact", "true");
    QSettings().setValue("printFormatDetailed", "true");
    QSettings().setValue("printFormatHandout", "false");
    dialog->show();
    QVERIFY(widget<QRadioButton>("rbFormatDetailed")->isChecked() && !widget<QCheckBox>("cbGrid")->isChecked());

    widget<QRadioButton>("rbPrintRange")->setChecked(true);
    pdfAnswer = dir.filePath("refused.pdf");
    for (const char *range : {"3 2", "0 2", "161 170"}) {
        widget<QLineEdit>("txtPrintFrom")->setText(QString(range).section(u' ', 0, 0));
        widget<QLineEdit>("txtPrintTo")->setText(QString(range).section(u' ', 1));
        press("btnPrint");
        press("btnPreview");
    }
    QCOMPARE(seen, QStringList(6, QStringLiteral("Please enter a valid page range.")));
    QVERIFY(dialog->isVisible() && !QFile::exists(pdfAnswer));
    QVERIFY(!ListsPrintDialog(nullptr, nullptr).findChild<QWidget *>("btnPrint")->isEnabled());
}

void TestPrinting::printsPdf_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("title");
    QTest::addColumn<int>("pages");
    QTest::newRow("handout") << "rbFormatHandout" << true << 3;
    QTest::newRow("detailed, no grid") << "rbFormatDetailed" << false << 4;
    QTest::newRow("compact") << "rbFormatCompact" << false << 3;
}

void TestPrinting::printsPdf()
{
    QFETCH(QString, format);
    QFETCH(bool, title);
    QFETCH(int, pages);
    const bool landscape = format == QLatin1String("rbFormatDetailed");
    widget<QRadioButton>(qPrintable(format))->setChecked(true);
    widget<QCheckBox>("cbGrid")->setChecked(!landscape);
    widget<QCheckBox>("cbTitle")->setChecked(title);
    pdfAnswer = dir.filePath(format + ".pdf");
    press("btnPreview");
    press("btnPrint");
    QCOMPARE(seen, QStringList({QStringLiteral("preview %1 %2").arg(pages).arg(int(landscape)),
                                QStringLiteral("Save as PDF PDF files (*.pdf)")}));
    QVERIFY(!dialog->isVisible() && dialog->result() == QDialog::Accepted);

    const Pdf pdf = readPdf(pdfAnswer);
    QCOMPARE(pdf.sizes.size(), pages);
    QCOMPARE(pdf.sizes.first().width() > pdf.sizes.first().height(), landscape);
    QVERIFY(pdf.inside);
    // every entry exactly once, on the page the page count promised it
    for (int i = 0; i < 160; ++i) {
        const QString name = QStringLiteral("N%1").arg(i, 4, 10, QLatin1Char('0'));
        QCOMPARE(pdf.wordPages.value(name), QList<int>{i / builder->entryRows() + 1});
    }
    for (int page = 1; page <= pages; ++page)
        QCOMPARE(pdf.words.at(page - 1).mid(pdf.words.at(page - 1).size() - 3),
                 QStringList({"Untitled", "1.tvqvxc", QString::number(page)}));
    QCOMPARE(pdf.wordPages.value("Program").size(), title ? pages : 1);
}

void TestPrinting::failedOrCancelledPrints()
{
    press("btnPrint");                                     // the save dialog cancelled
    pdfAnswer = dir.filePath(QString(245, u'x') + ".pdf"); // room for the name, none for its partial file
    press("btnPrint");
    QCOMPARE(seen.mid(0, 2), QStringList(2, "Save as PDF PDF files (*.pdf)"));
    QVERIFY(seen.value(2).startsWith("Could not print to ") && seen.value(2).endsWith("xx.pdf."));
    QVERIFY(dialog->isVisible() && !QFile::exists(pdfAnswer));
    // a print cancelled at its progress leaves the old file as it was, and no other
    QVERIFY(QDir(dir.path()).mkdir("cancel"));
    pdfAnswer = dir.filePath("cancel/old.pdf");
    QFile old(pdfAnswer);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    QTimer canceller;
    QString progressText;
    connect(&canceller, &QTimer::timeout, this, [&] {
        auto *progress = dialog->findChild<QProgressDialog *>();
        if (progress && progress->isVisible() && !progress->wasCanceled()) {
            progressText = progress->labelText();
            progress->cancel();
        }
    });
    canceller.start(0);
    press("btnPrint");
    QCOMPARE(progressText, QStringLiteral("Printing page 3 of 3..."));
    QVERIFY(dialog->isVisible());
    QCOMPARE(QDir(dir.filePath("cancel")).entryList(QDir::Files | QDir::Hidden), QStringList{"old.pdf"});
    QVERIFY(old.open(QIODevice::ReadOnly) && old.readAll() == "old");
}

// Cancel at the progress hands the printer nothing: no page of the job reaches it; a second Print
// sends the whole job.
void TestPrinting::cancelSendsNothingToThePrinter()
{
    const QString spool = dir.filePath("printer.pdf");
    ListsPrintDialog::setPrinterStandInForTests(spool);
    QTimer canceller;
    QStringList progressTexts;
    connect(&canceller, &QTimer::timeout, this, [&] {
        auto *progress = dialog->findChild<QProgressDialog *>();
        if (progress && progress->isVisible() && !progress->wasCanceled()) {
            progressTexts << progress->labelText();
            progress->cancel();
        }
    });
    canceller.start(0);
    press("btnPrint");
    canceller.stop();
    QVERIFY(!progressTexts.isEmpty());
    QVERIFY(progressTexts.first().startsWith("Printing page "));
    QVERIFY(!QFile::exists(spool));
    QVERIFY(dialog->isVisible());
    QVERIFY(seen.isEmpty()); // a cancel is no failure

    press("btnPrint");
    QVERIFY(!dialog->isVisible() && dialog->result() == QDialog::Accepted);
    const Pdf pdf = readPdf(spool);
    QCOMPARE(pdf.sizes.size(), 3);
    QCOMPARE(pdf.wordPages.value("N0159"), QList<int>{3});
    QVERIFY(pdf.inside);
    // the printer gets the very pages a PDF file gets
    ListsPrintDialog::setPrinterStandInForTests({});
    pdfAnswer = dir.filePath("file.pdf");
    dialog->show();
    press("btnPrint");
    const Pdf file = readPdf(pdfAnswer);
    QCOMPARE(pdf.sizes, file.sizes);
    QCOMPARE(pdf.words, file.words);
}

// A PDF whose name is taken by a folder is a failed print, and the partial file beside it goes.
void TestPrinting::pdfOverAFolderFails()
{
    QVERIFY(QDir(dir.path()).mkpath("taken/x.pdf"));
    pdfAnswer = dir.filePath("taken/x.pdf");
    press("btnPrint");
    QCOMPARE(seen.value(0), QStringLiteral("Save as PDF PDF files (*.pdf)"));
    QCOMPARE(seen.value(1), QStringLiteral("Could not print to %1.").arg(QDir::toNativeSeparators(pdfAnswer)));
    QVERIFY(dialog->isVisible());
    QVERIFY(QFileInfo(pdfAnswer).isDir());
    QCOMPARE(QDir(dir.filePath("taken")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"x.pdf"});
    QVERIFY(QDir(pdfAnswer).isEmpty());
}

// A provider name too long for the compact page is cut on its own letters, then made safe for HTML:
// the cut never splits an entity, and the detailed page shows the whole name.
void TestPrinting::providerShortenedBeforeEscaping()
{
    TVListProjectFileManager providers(nullptr);
    QVERIFY(providers.newProject(
        document(service(3, "P", "cable\"><freq>346</freq>", "<provider>R&amp;B &lt;Radio&gt; Networks Ltd</provider>"),
                 {{3}})));
    PrintTVListsBuilder pages(&providers);
    pages.setPageHeight(15 * 11);
    pages.setSelection({3});
    QCOMPARE(rows(pages.buildCompactPage(1, false, true, -1, -1), true).section(u'|', 1, 1),
             QStringLiteral("R&amp;B &lt;Radio&gt; Netwo..."));
    QCOMPARE(rows(pages.buildDetailedPage(1, false, true, -1, -1), true).section(u'|', 1, 1),
             QStringLiteral("R&amp;B &lt;Radio&gt; Networks Ltd"));
}

void TestPrinting::selectionAfterPreview()
{
    // the selection (entries 103 and 104) is numbered by the tab of the third list, also after a preview
    // of everything; the proposed range prints the same entries
    widget<QCheckBox>("cbPageNumber")->setChecked(false);
    widget<QCheckBox>("cbFileName")->setChecked(false);
    press("btnPreview");
    widget<QRadioButton>("rbPrintSelection")->setChecked(true);
    QCOMPARE(widget<QLineEdit>("txtPrintFrom")->text() + " " + widget<QLineEdit>("txtPrintTo")->text(), "104 105");
    pdfAnswer = dir.filePath("selection.pdf");
    press("btnPrint");
    QCOMPARE(readPdf(pdfAnswer).words.value(0), QStringList({"TV", "Program", "name", "4", "N0103", "5", "N0104"}));
}

// A PDF of a list starts where Save as of the list starts: beside the open file, else in the last folder
// opened from, else in the documents or home folder; never in the program's working folder.
void TestPrinting::pdfStartsWhereSaveAsStarts_data()
{
    QTest::addColumn<bool>("titled");
    QTest::addColumn<QString>("lastOpened");
    QTest::addColumn<QString>("expected");
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString fallback = QFileInfo(documents).isDir() ? documents : QDir::homePath();
    QTest::newRow("untitled, last folder opened from") << false << "opened"
                                                       << "opened/Untitled 1.pdf";
    QTest::newRow("untitled, last folder gone") << false << "gone" << fallback + "/Untitled 1.pdf";
    QTest::newRow("untitled, nothing opened yet") << false << "" << fallback + "/Untitled 1.pdf";
    QTest::newRow("opened file") << true << "opened"
                                 << "own/my list.pdf";
}

void TestPrinting::pdfStartsWhereSaveAsStarts()
{
    QFETCH(bool, titled);
    QFETCH(QString, lastOpened);
    QFETCH(QString, expected);
    QDir root(dir.path());
    QVERIFY(root.mkpath("opened") && root.mkpath("own") && root.mkpath("work"));
    // the program started from another folder, which no dialog may take
    struct Working
    {
        const QString folder = QDir::currentPath();
        ~Working() { QDir::setCurrent(folder); }
    } working;
    QVERIFY(QDir::setCurrent(root.filePath("work")));
    auto lists = std::make_unique<TVListProjectFileManager>(nullptr);
    if (titled) {
        QFile file(root.filePath("own/my list.tvqvxc"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ProjectFileFormat::encode(document(services, {{5, 7}}), true));
        file.close();
        QVERIFY(lists->loadFile(file.fileName()));
        QVERIFY(!lists->isUntitled());
    } else {
        QVERIFY(lists->newProject(document(services, {{5, 7}})));
    }
    Settings::setString(Settings::RecentOpenDir, lastOpened.isEmpty() ? QString() : root.filePath(lastOpened));
    proposed.clear();
    PrintTVListsBuilder pages(lists.get());
    ListsPrintDialog print(nullptr, &pages);
    print.show();
    QTest::mouseClick(print.findChild<QPushButton *>("btnPrint"), Qt::LeftButton); // the save dialog cancelled
    QCOMPARE(proposed.size(), 1);
    QCOMPARE(proposed.first(), QDir::isAbsolutePath(expected) ? expected : root.filePath(expected));
    QVERIFY(print.isVisible()); // nothing printed, the dialog stays
}

OMBRELAY_TEST_MAIN(TestPrinting)
#include "tst_printing.moc"
