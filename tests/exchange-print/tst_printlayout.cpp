// Printed pages hold every entry asked for, whatever the length of its texts: rows that wrap take the
// room they need, so a page holds fewer of them, never loses one, and keeps its footer; long texts wrap
// within their columns, so every column stays on the page. Checked in the PDF text that poppler reads
// back, for the TV, radio and link lists in each format, printing a selection, all lists and a range. An entry
// that cannot fit on a page at all is a failed print, said in words.

#include "testmain.h"

#include "printedtext.h"

#include "exchange/listsprintdialog.h"
#include "exchange/printlinklistsbuilder.h"
#include "exchange/printradiolistsbuilder.h"
#include "exchange/printtvlistsbuilder.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "widgets/messagebox.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string_view>

using namespace PrintedText;

namespace {

// One program prints the TV list, the other the radio and link lists, each well inside its time limit.
#if OMBRELAY_PRINTS_TV
const QList<const char *> printedKinds{"tv"};
#else
const QList<const char *> printedKinds{"radio", "link"};
#endif

// a range over the end of list 1 into list 2
constexpr int rangeFrom = 20;
constexpr int rangeTo = firstListSize + 3;

std::unique_ptr<ListProjectFileManager> managerOf(const QString &kind)
{
    if (kind == QLatin1String("link"))
        return std::make_unique<LinkListProjectFileManager>(nullptr);
    if (kind == QLatin1String("radio"))
        return std::make_unique<RadioListProjectFileManager>(nullptr);
    return std::make_unique<TVListProjectFileManager>(nullptr);
}

std::unique_ptr<PrintListsBuilder> builderOf(const QString &kind, ListProjectFileManager *manager)
{
    if (kind == QLatin1String("link"))
        return std::make_unique<PrintLinkListsBuilder>(manager);
    if (kind == QLatin1String("radio"))
        return std::make_unique<PrintRadioListsBuilder>(manager);
    return std::make_unique<PrintTVListsBuilder>(manager);
}

} // namespace

class TestPrintLayout : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QSettings().clear();
        seen.clear();
        pdfAnswer.clear();
        MessageBox::setAnswerHook([this](QDialog *box) {
            if (auto *message = qobject_cast<QMessageBox *>(box))
                seen << message->text();
            if (auto *files = qobject_cast<QFileDialog *>(box)) {
                files->selectFile(pdfAnswer);
                // the whole path: a name alone goes to whatever folder the dialog shows by then
                if (auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                    name && !pdfAnswer.isEmpty())
                    name->setText(pdfAnswer);
                static_cast<QDialog *>(files)->done(pdfAnswer.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
            }
        });
    }
    void cleanup()
    {
        MessageBox::setAnswerHook({});
        ListsPrintDialog::setPrinterStandInForTests({});
    }
    void everyEntryOnThePage_data();
    void everyEntryOnThePage();
    void printerGetsTheSamePages();
    void entryTallerThanAPageFails();

private:
    // A dialog over a list of kind, as the list page opens it: header rows, list 1 current, its entries
    // (or the first selected of them) the selection.
    void open(const QString &kind, int length, bool spaces, int selected = firstListSize);
    // Chooses the format and the area ("selection", "all", or "range" from rangeFrom to rangeTo), presses
    // Print; true when the dialog closed accepted.
    bool print(const QString &format, const QString &area);

    QTemporaryDir dir;
    QString pdfAnswer;
    QStringList seen;
    std::unique_ptr<ListProjectFileManager> manager;
    std::unique_ptr<PrintListsBuilder> builder;
    std::unique_ptr<ListsPrintDialog> dialog;
};

void TestPrintLayout::open(const QString &kind, int length, bool spaces, int selected)
{
    dialog.reset();
    builder.reset();
    manager = managerOf(kind);
    QVERIFY(manager->newProject(listDocument(kind, length, spaces)));
    builder = builderOf(kind, manager.get());
    QList<int> all;
    for (int id = 0; id < firstListSize + secondListSize; ++id)
        all << id;
    builder->setItems(all);
    builder->setHeaderRow(1);
    builder->setCurrentList(0);
    builder->setSelection(all.mid(0, selected));
    dialog = std::make_unique<ListsPrintDialog>(nullptr, builder.get());
    dialog->show();
}

bool TestPrintLayout::print(const QString &format, const QString &area)
{
    dialog->findChild<QRadioButton *>(format)->setChecked(true);
    const QString button = area == QLatin1String("selection") ? QStringLiteral("rbPrintSelection")
                           : area == QLatin1String("range")   ? QStringLiteral("rbPrintRange")
                                                              : QStringLiteral("rbPrintAll");
    dialog->findChild<QRadioButton *>(button)->setChecked(true);
    if (area == QLatin1String("range")) {
        dialog->findChild<QLineEdit *>(QStringLiteral("txtPrintFrom"))->setText(QString::number(rangeFrom));
        dialog->findChild<QLineEdit *>(QStringLiteral("txtPrintTo"))->setText(QString::number(rangeTo));
    }
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btnPrint")), Qt::LeftButton);
    return !dialog->isVisible() && dialog->result() == QDialog::Accepted;
}

void TestPrintLayout::everyEntryOnThePage_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("area");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("spaces");
    const struct
    {
        const char *name;
        int length;
        bool spaces;
    } lengths[] = {{"short", 6, true}, {"70", 70, true}, {"73", 73, true}, {"200 without a space", 200, false}};
    for (const char *kind : printedKinds) {
        for (const char *format : {"rbFormatDetailed", "rbFormatHandout", "rbFormatCompact"}) {
            // the compact page of services shortens its texts; the link list's prints them whole
            if (format == std::string_view("rbFormatCompact") && kind != std::string_view("link"))
                continue;
            for (const char *area : {"selection", "all", "range"}) {
                // a range is cut from the same sequence of all lists, whatever the kind
                if (area == std::string_view("range") && kind != std::string_view(printedKinds.first()))
                    continue;
                for (const auto &length : lengths)
                    QTest::addRow("%s %s %s %s", kind, format + 8, area, length.name)
                        << QString::fromLatin1(kind) << QString::fromLatin1(format) << QString::fromLatin1(area)
                        << length.length << length.spaces;
            }
        }
    }
}

void TestPrintLayout::everyEntryOnThePage()
{
    QFETCH(QString, kind);
    QFETCH(QString, format);
    QFETCH(QString, area);
    QFETCH(int, length);
    QFETCH(bool, spaces);
    open(kind, length, spaces);
    pdfAnswer = dir.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
    QVERIFY(print(format, area));
    QCOMPARE(seen, QStringList());
    const bool range = area == QLatin1String("range");
    const int first = range ? rangeFrom - 1 : 0;
    const int end = range                                ? rangeTo
                    : area == QLatin1String("selection") ? firstListSize
                                                         : firstListSize + secondListSize;
    const bool serviceIds = kind != QLatin1String("link") && format == QLatin1String("rbFormatDetailed");
    const QStringList found = problems(readPdf(pdfAnswer), builder->title().split(u' '), first, end, serviceIds);
    QVERIFY2(found.isEmpty(), qPrintable(found.mid(0, 10).join(u'\n')));
}

// The printer gets the pages a PDF file gets, wrapped rows and all.
void TestPrintLayout::printerGetsTheSamePages()
{
    open(QLatin1String(printedKinds.first()), 73, true);
    pdfAnswer = dir.filePath(QStringLiteral("file.pdf"));
    QVERIFY(print(QStringLiteral("rbFormatDetailed"), QStringLiteral("selection")));
    const QString spool = dir.filePath(QStringLiteral("printer.pdf"));
    ListsPrintDialog::setPrinterStandInForTests(spool);
    dialog->show();
    QVERIFY(print(QStringLiteral("rbFormatDetailed"), QStringLiteral("selection")));
    QCOMPARE(seen, QStringList());
    const Pdf file = readPdf(pdfAnswer);
    const Pdf printer = readPdf(spool);
    QVERIFY(file.sizes.size() > 5); // wrapped rows take more pages than rows of one line
    QCOMPARE(printer.sizes, file.sizes);
    QCOMPARE(printer.words.size(), file.words.size());
    for (int i = 0; i < file.words.size(); ++i)
        QCOMPARE(printer.words.at(i).text, file.words.at(i).text);
}

// A name so long that its row alone is taller than a page: the print fails and says why, leaves no file
// and sends the printer nothing; the dialog stays for another choice. (Three such entries: a print that
// went on past the first would end soon all the same, and fail the checks below.)
void TestPrintLayout::entryTallerThanAPageFails()
{
    open(QLatin1String(printedKinds.first()), 12000, false, 3);
    pdfAnswer = dir.filePath(QStringLiteral("tall.pdf"));
    QVERIFY(!print(QStringLiteral("rbFormatHandout"), QStringLiteral("selection")));
    const QString reason = QStringLiteral("An entry of the list does not fit on one page.");
    QCOMPARE(seen, QStringList{
                       QStringLiteral("Could not print to %1.\n%2").arg(QDir::toNativeSeparators(pdfAnswer), reason)});
    QVERIFY(dialog->isVisible());
    QVERIFY(!QFile::exists(pdfAnswer));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("tall")), QStringList());

    const QString spool = dir.filePath(QStringLiteral("tall-printer.pdf"));
    ListsPrintDialog::setPrinterStandInForTests(spool);
    seen.clear();
    QVERIFY(!print(QStringLiteral("rbFormatHandout"), QStringLiteral("selection")));
    QCOMPARE(seen, QStringList{QStringLiteral("Could not print to %1.\n%2").arg(spool, reason)});
    QVERIFY(!QFile::exists(spool));
}

OMBRELAY_TEST_MAIN(TestPrintLayout)
#include "tst_printlayout.moc"
