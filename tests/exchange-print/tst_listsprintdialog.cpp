// The print dialog driven offscreen over 160 entries in three lists (the second empty): options kept in
// the settings, ranges refused, and real PDF files and previews checked page by page. No printer is
// reachable, so Print writes a PDF file.

#include "testmain.h"

#include "exchange/listsprintdialog.h"
#include "exchange/printtvlistsbuilder.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "printfixture.h"
#include "widgets/messagebox.h"

#include <QCheckBox>
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

class TestListsPrintDialog : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { MessageBox::setAnswerHook({}); }
    void optionsAndRanges();
    void printsPdf_data();
    void printsPdf();
    void failedOrCancelledPrints();
    void selectionAfterPreview();

private:
    template<typename T> T *widget(const char *name) { return dialog->findChild<T *>(QLatin1String(name)); }
    void press(const char *button) { QTest::mouseClick(widget<QPushButton>(button), Qt::LeftButton); }

    QTemporaryDir dir;
    std::unique_ptr<ListsPrintDialog> dialog;
    std::unique_ptr<PrintTVListsBuilder> builder;
    std::unique_ptr<TVListProjectFileManager> manager;
    QString pdfAnswer;    // the file the save dialog chooses; empty cancels it
    QStringList seen;     // message texts, file dialogs and previews, in order
    QString progressText; // the progress shown when the print was cancelled
};

void TestListsPrintDialog::init()
{
    QSettings().clear();
    seen.clear();
    pdfAnswer.clear();
    MessageBox::setAnswerHook([this](QDialog *box) {
        if (auto *message = qobject_cast<QMessageBox *>(box))
            seen << message->text();
        if (auto *files = qobject_cast<QFileDialog *>(box)) {
            seen << files->windowTitle() + u' ' + files->nameFilters().join(u';');
            files->selectFile(pdfAnswer);
            static_cast<QDialog *>(files)->done(pdfAnswer.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
        }
        if (auto *preview = qobject_cast<QPrintPreviewDialog *>(box)) {
            const auto *pages = preview->findChild<QPrintPreviewWidget *>();
            seen << QStringLiteral("preview %1 %2").arg(pages->pageCount()).arg(pages->orientation());
        }
    });
    QString items;
    for (int id = 0; id < 160; ++id)
        items += PrintFixture::service(id, QStringLiteral("N%1").arg(id, 4, 10, QLatin1Char('0')));
    QList<QList<int>> lists{{}, {}, {}};
    for (int id = 0; id < 160; ++id)
        lists[id < 100 ? 0 : 2] << id;
    manager = std::make_unique<TVListProjectFileManager>(nullptr);
    QVERIFY(manager->newProject(PrintFixture::document(items, lists)));
    builder = std::make_unique<PrintTVListsBuilder>(manager.get());
    builder->setCurrentList(2);
    builder->setSelection({103, 104});
    dialog = std::make_unique<ListsPrintDialog>(nullptr, builder.get());
    dialog->show();
}

void TestListsPrintDialog::optionsAndRanges()
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
    widget<QRadioButton>(qPrintable(format))->setChecked(true);
    widget<QCheckBox>("cbGrid")->setChecked(grid);
    widget<QCheckBox>("cbTitle")->setChecked(title);
    pdfAnswer = dir.filePath(format + ".pdf");
    press("btnPreview");
    press("btnPrint");
    const bool landscape = format == QLatin1String("rbFormatDetailed");
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

void TestListsPrintDialog::failedOrCancelledPrints()
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
    connect(&canceller, &QTimer::timeout, this, [this] {
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

void TestListsPrintDialog::selectionAfterPreview()
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

OMBRELAY_TEST_MAIN(TestListsPrintDialog)
#include "tst_listsprintdialog.moc"
