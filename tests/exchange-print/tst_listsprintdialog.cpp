// The print dialog driven offscreen: options kept in the settings, ranges refused, and real PDF files
// and previews checked page by page. No printer is reachable, so Print writes a PDF file.

#include "testmain.h"

#include "base/settings.h"
#include "exchange/listsprintdialog.h"
#include "exchange/printtvlistsbuilder.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "printfixture.h"
#include "widgets/messagebox.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <poppler-qt6.h>

namespace {

struct Pdf
{
    int pages = 0;
    bool landscape = false;
    bool inside = true;                  // every word lies within its page
    QMap<QString, QList<int>> wordPages; // word -> pages it stands on
    QList<QStringList> words;            // per page, line by line from the top, left to right
};

Pdf readPdf(const QString &path)
{
    Pdf pdf;
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document)
        return pdf;
    pdf.pages = document->numPages();
    for (int i = 0; i < pdf.pages; ++i) {
        const std::unique_ptr<Poppler::Page> page = document->page(i);
        const QRectF area(QPointF(), page->pageSizeF());
        pdf.landscape = area.width() > area.height();
        QMap<QPair<int, qreal>, QString> ordered; // (line, x) -> word
        for (const auto &box : page->textList()) {
            const QRectF rect = box->boundingBox();
            pdf.inside = pdf.inside && area.contains(rect);
            pdf.wordPages[box->text()] << i + 1;
            ordered.insert({qRound(rect.center().y() / 4), rect.x()}, box->text());
        }
        pdf.words.append(ordered.values());
    }
    return pdf;
}

} // namespace

class TestListsPrintDialog : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void options_data();
    void options();
    void refusedRanges_data();
    void refusedRanges();
    void printsPdf_data();
    void printsPdf();
    void failedOrCancelledPrints();
    void selectionAfterPreview();
    void withoutBuilder();

private:
    void load(const QList<int> &listSizes);
    template<typename T> T *widget(const char *name) { return dialog->findChild<T *>(QLatin1String(name)); }
    void press(const char *button) { QTest::mouseClick(widget<QPushButton>(button), Qt::LeftButton); }

    QTemporaryDir dir;
    std::unique_ptr<TVListProjectFileManager> manager;
    std::unique_ptr<PrintTVListsBuilder> builder;
    std::unique_ptr<ListsPrintDialog> dialog;
    QString pdfAnswer; // the file the save dialog chooses; empty cancels it
    QStringList seen;  // message texts, file dialogs and previews, in order
};

void TestListsPrintDialog::init()
{
    QSettings().clear();
    seen.clear();
    pdfAnswer.clear();
    MessageBox::setAnswerHook([this](QDialog *box) {
        if (auto *message = qobject_cast<QMessageBox *>(box)) {
            seen << message->text();
        } else if (auto *files = qobject_cast<QFileDialog *>(box)) {
            seen << files->windowTitle() + u' ' + files->nameFilters().join(u';');
            if (!pdfAnswer.isEmpty()) {
                files->selectFile(pdfAnswer);
                static_cast<QDialog *>(files)->done(QDialog::Accepted);
            }
        } else if (auto *preview = qobject_cast<QPrintPreviewDialog *>(box)) {
            const auto *pages = preview->findChild<QPrintPreviewWidget *>();
            seen << QStringLiteral("preview %1 %2").arg(pages->pageCount()).arg(pages->orientation());
        }
        if (box->isVisible())
            box->reject();
    });
    load({100, 0, 60});
}

void TestListsPrintDialog::cleanup()
{
    dialog.reset();
    builder.reset();
    MessageBox::setAnswerHook({});
}

void TestListsPrintDialog::load(const QList<int> &listSizes)
{
    dialog.reset();
    builder.reset();
    manager = std::make_unique<TVListProjectFileManager>(nullptr);
    QVERIFY(manager->newProject(PrintFixture::namedServices(listSizes)));
    builder = std::make_unique<PrintTVListsBuilder>(manager.get());
    builder->setCurrentList(2);
    builder->setSelection({103, 104});
    dialog = std::make_unique<ListsPrintDialog>(nullptr, builder.get());
}

void TestListsPrintDialog::options_data()
{
    QTest::addColumn<QStringList>("stored"); // keys stored as "true"; "-key" stored as "false"
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("unchecked");
    QTest::newRow("first use") << QStringList() << "rbFormatHandout"
                               << "";
    QTest::newRow("compact and detailed")
        << QStringList{"printFormatCompact", "printFormatDetailed", "-printFormatHandout"} << "rbFormatDetailed"
        << "";
    QTest::newRow("all three") << QStringList{"printFormatCompact", "printFormatDetailed", "printFormatHandout"}
                               << "rbFormatHandout"
                               << "";
    QTest::newRow("compact, no grid") << QStringList{"printFormatCompact", "-printFormatHandout", "-printGrid",
                                                     "-printTitle"}
                                      << "rbFormatCompact"
                                      << "cbGrid cbTitle";
}

void TestListsPrintDialog::options()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, format);
    QFETCH(QString, unchecked);
    for (const QString &key : stored)
        QSettings().setValue(key.mid(key.startsWith(u'-')), key.startsWith(u'-') ? "false" : "true");
    dialog->show();
    QVERIFY(widget<QRadioButton>(qPrintable(format))->isChecked());
    for (const char *box : {"cbGrid", "cbPageNumber", "cbTitle", "cbFileName"})
        QCOMPARE(widget<QCheckBox>(box)->isChecked(), !unchecked.contains(QLatin1String(box)));
    QCOMPARE(widget<QLineEdit>("txtPrintTo")->text(), QStringLiteral("160"));
    // Cancel keeps the changed options for the next time
    widget<QRadioButton>("rbFormatCompact")->setChecked(true);
    widget<QCheckBox>("cbPageNumber")->setChecked(false);
    press("btnCancel");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(QSettings().value("printFormatCompact").toString(), QStringLiteral("true"));
    QCOMPARE(QSettings().value("printFormatHandout").toString(), QStringLiteral("false"));
    QCOMPARE(QSettings().value("printPageNumber").toString(), QStringLiteral("false"));
}

void TestListsPrintDialog::refusedRanges_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("backwards") << "3"
                               << "2";
    QTest::newRow("zero") << "0"
                          << "2";
    QTest::newRow("past the last entry") << "161"
                                         << "170";
}

void TestListsPrintDialog::refusedRanges()
{
    dialog->show();
    widget<QRadioButton>("rbPrintRange")->setChecked(true);
    QFETCH(QString, from);
    QFETCH(QString, to);
    widget<QLineEdit>("txtPrintFrom")->setText(from);
    widget<QLineEdit>("txtPrintTo")->setText(to);
    pdfAnswer = dir.filePath("refused.pdf");
    press("btnPrint");
    press("btnPreview");
    QCOMPARE(seen, QStringList(2, QStringLiteral("Please enter a valid page range.")));
    QVERIFY(dialog->isVisible());
    QVERIFY(!QFile::exists(pdfAnswer));
}

void TestListsPrintDialog::printsPdf_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("grid");
    QTest::addColumn<bool>("title");
    QTest::addColumn<int>("pages");
    QTest::newRow("handout") << "rbFormatHandout" << true << true << 3;
    QTest::newRow("detailed") << "rbFormatDetailed" << false << false << 4;
    QTest::newRow("compact") << "rbFormatCompact" << true << false << 3;
}

void TestListsPrintDialog::printsPdf()
{
    QFETCH(QString, format);
    QFETCH(bool, grid);
    QFETCH(bool, title);
    QFETCH(int, pages);
    dialog->show();
    widget<QRadioButton>(qPrintable(format))->setChecked(true);
    widget<QCheckBox>("cbGrid")->setChecked(grid);
    widget<QCheckBox>("cbTitle")->setChecked(title);
    pdfAnswer = dir.filePath(format + ".pdf");
    press("btnPreview");
    press("btnPrint");
    const bool landscape = format == QLatin1String("rbFormatDetailed");
    QCOMPARE(seen, QStringList({QStringLiteral("preview %1 %2").arg(pages).arg(int(landscape)),
                                QStringLiteral("Save as PDF PDF files (*.pdf)")}));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(QSettings().value("printGrid").toString(), QVariant(grid).toString());

    const Pdf pdf = readPdf(pdfAnswer);
    QCOMPARE(pdf.pages, pages);
    QCOMPARE(pdf.landscape, landscape);
    QVERIFY(pdf.inside);
    // every entry exactly once, on the page the page count promised it
    const int rows = builder->entryRows();
    QVERIFY(rows > 20);
    for (int i = 0; i < 160; ++i)
        QCOMPARE(pdf.wordPages.value(QStringLiteral("N%1").arg(i, 4, 10, QLatin1Char('0'))), QList<int>{i / rows + 1});
    for (int page = 1; page <= pages; ++page) {
        QCOMPARE(pdf.words.at(page - 1).mid(pdf.words.at(page - 1).size() - 3),
                 QStringList({"Untitled", "1.tvqvxc", QString::number(page)}));
    }
    QCOMPARE(pdf.wordPages.value("Program").size(), title ? pages : 1);
}

void TestListsPrintDialog::failedOrCancelledPrints()
{
    dialog->show();
    press("btnPrint"); // the save dialog cancelled
    pdfAnswer = dir.filePath("missing/list.pdf");
    press("btnPrint");
    QCOMPARE(seen, QStringList({"Save as PDF PDF files (*.pdf)", "Save as PDF PDF files (*.pdf)",
                                "Could not print to " + QDir::toNativeSeparators(pdfAnswer) + "."}));
    QVERIFY(dialog->isVisible());

    // a long print shows its progress; cancelled, it leaves the old file as it was and no other
    load({6000});
    dialog->show();
    QVERIFY(QDir(dir.path()).mkdir("cancel"));
    pdfAnswer = dir.filePath("cancel/old.pdf");
    QFile old(pdfAnswer);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    QTimer canceller;
    QStringList progressTexts;
    connect(&canceller, &QTimer::timeout, this, [&] {
        auto *progress = dialog->findChild<QProgressDialog *>();
        if (progress && progress->isVisible() && !progress->wasCanceled()) {
            progressTexts << progress->labelText();
            progress->cancel();
        }
    });
    canceller.start(1);
    press("btnPrint");
    QCOMPARE(progressTexts.size(), 1);
    QVERIFY(progressTexts.first().startsWith("Printing page "));
    QVERIFY(progressTexts.first().endsWith(QStringLiteral(" of %1...").arg(builder->pageCount(6000))));
    QVERIFY(dialog->isVisible());
    QCOMPARE(QDir(dir.filePath("cancel")).entryList(QDir::Files | QDir::Hidden), QStringList{"old.pdf"});
    QVERIFY(old.open(QIODevice::ReadOnly) && old.readAll() == "old");
}

void TestListsPrintDialog::selectionAfterPreview()
{
    // the selection (entries 103 and 104 of the tab of the third list) is numbered by that tab, also
    // after a preview of everything
    dialog->show();
    widget<QCheckBox>("cbPageNumber")->setChecked(false);
    widget<QCheckBox>("cbFileName")->setChecked(false);
    press("btnPreview");
    widget<QRadioButton>("rbPrintSelection")->setChecked(true);
    QCOMPARE(widget<QLineEdit>("txtPrintFrom")->text() + " " + widget<QLineEdit>("txtPrintTo")->text(), "104 105");
    pdfAnswer = dir.filePath("selection.pdf");
    press("btnPrint");
    QCOMPARE(readPdf(pdfAnswer).words.value(0), QStringList({"TV", "Program", "name", "4", "N0103", "5", "N0104"}));
}

void TestListsPrintDialog::withoutBuilder()
{
    ListsPrintDialog empty(nullptr, nullptr);
    empty.show();
    for (const char *name : {"btnPrint", "btnPreview", "rbPrintSelection"})
        QVERIFY(!empty.findChild<QWidget *>(name)->isEnabled());
    QVERIFY(empty.findChild<QLineEdit *>("txtPrintTo")->text().isEmpty());
}

OMBRELAY_TEST_MAIN(TestListsPrintDialog)
#include "tst_listsprintdialog.moc"
