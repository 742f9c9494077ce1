#include "exchange/listsprintdialog.h"

#include "base/settings.h"
#include "exchange/printlistsbuilder.h"
#include "listfiles/listprojectfilemanager.h"
#include "ui_listsprintdialog.h"
#include "widgets/messagebox.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPicture>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QTemporaryFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// The builders count 15 px per row (17 with grid); a 10 px font keeps a row of one line within that, so
// a page of rows that do not wrap holds as many as the builder counts.
constexpr int pagePixelSize = 10;
constexpr int pageMargin = 20;

// The entry rows of a laid-out page that stand on its first page: the entries are the table of the most
// rows (a heading or footer table has one; with a single entry there is nothing to count). A row that
// does not fit is moved whole to the next page.
int entryRowsOnFirstPage(const QTextDocument &document, bool withHeader)
{
    const QTextTable *entries = nullptr;
    const auto frames = document.rootFrame()->childFrames();
    for (QTextFrame *frame : frames) {
        const auto *table = qobject_cast<const QTextTable *>(frame);
        if (table && (!entries || table->rows() > entries->rows()))
            entries = table;
    }
    if (!entries)
        return 0;
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    const qreal pageHeight = document.pageSize().height();
    int rows = 0;
    for (int row = withHeader ? 1 : 0; row < entries->rows(); ++row) {
        const QTextBlock block = entries->cellAt(row, 0).firstCursorPosition().block();
        if (layout->blockBoundingRect(block).top() >= pageHeight)
            break;
        ++rows;
    }
    return rows;
}

} // namespace

ListsPrintDialog::ListsPrintDialog(QWidget *parent, PrintListsBuilder *builder)
    : QDialog(parent)
    , builder(builder)
    , ui(new Ui::ListsPrintDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    connect(ui->rbPrintAll, &QRadioButton::toggled, this, &ListsPrintDialog::onPrintAllChecked);
    connect(ui->rbPrintSelection, &QRadioButton::toggled, this, &ListsPrintDialog::onPrintSelectionChecked);
    connect(ui->rbPrintRange, &QRadioButton::toggled, this, &ListsPrintDialog::onPrintRangeChecked);
    connect(ui->btnPrint, &QPushButton::pressed, this, &ListsPrintDialog::print);
    connect(ui->btnCancel, &QPushButton::pressed, this, &ListsPrintDialog::reject);
    connect(ui->btnPreview, &QPushButton::pressed, this, &ListsPrintDialog::showPreview);
    connect(ui->btnChangePrinter, &QPushButton::pressed, this, &ListsPrintDialog::showPrintersDialog);

    ui->txtPrintFrom->setEnabled(false);
    ui->txtPrintTo->setEnabled(false);
    ui->lblPrintTo->setEnabled(false);
    validator.setRange(1, 99999);
    ui->txtPrintFrom->setValidator(&validator);
    ui->txtPrintTo->setValidator(&validator);
    onPrintAllChecked(true);
    ui->rbPrintSelection->setEnabled(builder && builder->selectionCount() > 0);
    ui->btnPrint->setEnabled(builder);
    ui->btnPreview->setEnabled(builder);
    if (builder)
        tabList = builder->currentList();
}

ListsPrintDialog::~ListsPrintDialog()
{
    delete ui;
}

QPrinterInfo &ListsPrintDialog::chosenPrinter()
{
    static QPrinterInfo printer;
    return printer;
}

QString &ListsPrintDialog::printerStandIn()
{
    static QString path;
    return path;
}

void ListsPrintDialog::setPrinterStandInForTests(const QString &pdfPath)
{
    printerStandIn() = pdfPath;
}

void ListsPrintDialog::showPrinterName()
{
    ui->lblDefaultPrinter->setText(chosenPrinter().isNull() ? tr("No default printer") : chosenPrinter().printerName());
}

void ListsPrintDialog::showEvent(QShowEvent *event)
{
    if (chosenPrinter().isNull())
        chosenPrinter() = QPrinterInfo::defaultPrinter();
    showPrinterName();
    // The format buttons are exclusive: the last of compact, detailed, handout stored as true wins.
    ui->rbFormatCompact->setChecked(Settings::getBool(Settings::PrintFormatCompact, false));
    ui->rbFormatDetailed->setChecked(Settings::getBool(Settings::PrintFormatDetailed, false));
    ui->rbFormatHandout->setChecked(Settings::getBool(Settings::PrintFormatHandout, true));
    ui->cbFileName->setChecked(Settings::getBool(Settings::PrintPrintFileName, true));
    ui->cbGrid->setChecked(Settings::getBool(Settings::PrintGrid, true));
    ui->cbPageNumber->setChecked(Settings::getBool(Settings::PrintPageNumber, true));
    ui->cbTitle->setChecked(Settings::getBool(Settings::PrintTitle, true));
    QDialog::showEvent(event);
}

void ListsPrintDialog::hideEvent(QHideEvent *event)
{
    bool stored = Settings::setBool(Settings::PrintFormatCompact, ui->rbFormatCompact->isChecked());
    stored = Settings::setBool(Settings::PrintFormatDetailed, ui->rbFormatDetailed->isChecked()) && stored;
    stored = Settings::setBool(Settings::PrintFormatHandout, ui->rbFormatHandout->isChecked()) && stored;
    stored = Settings::setBool(Settings::PrintPrintFileName, ui->cbFileName->isChecked()) && stored;
    stored = Settings::setBool(Settings::PrintGrid, ui->cbGrid->isChecked()) && stored;
    stored = Settings::setBool(Settings::PrintPageNumber, ui->cbPageNumber->isChecked()) && stored;
    stored = Settings::setBool(Settings::PrintTitle, ui->cbTitle->isChecked()) && stored;
    QDialog::hideEvent(event);
    // Said once the dialog is gone, not from inside its hiding.
    if (!stored) {
        QWidget *parent = parentWidget();
        QTimer::singleShot(0, parent ? static_cast<QObject *>(parent) : qApp,
                           [parent] { MessageBox::warning(parent, Settings::writeFailureText()); });
    }
}

void ListsPrintDialog::onPrintAllChecked(bool checked)
{
    if (!checked || !builder)
        return;
    ui->txtPrintFrom->setText(QStringLiteral("1"));
    ui->txtPrintTo->setText(QString::number(builder->rowCount()));
}

void ListsPrintDialog::onPrintSelectionChecked(bool checked)
{
    if (!checked || !builder)
        return;
    ui->txtPrintFrom->setText(QString::number(builder->firstSelectedRow()));
    ui->txtPrintTo->setText(QString::number(builder->lastSelectedRow()));
}

void ListsPrintDialog::onPrintRangeChecked(bool checked)
{
    ui->txtPrintFrom->setEnabled(checked);
    ui->txtPrintTo->setEnabled(checked);
    ui->lblPrintTo->setEnabled(checked);
    if (checked) {
        ui->txtPrintFrom->setFocus();
        ui->txtPrintFrom->selectAll();
    }
}

void ListsPrintDialog::readPageRange()
{
    bool ok = false;
    from = ui->txtPrintFrom->text().toInt(&ok, 10);
    if (!ok)
        from = -1;
    to = ui->txtPrintTo->text().toInt(&ok, 10);
    if (!ok)
        to = -1;
}

bool ListsPrintDialog::validatePrintRange()
{
    const int first = ui->txtPrintFrom->text().toInt(nullptr, 10);
    const int last = ui->txtPrintTo->text().toInt(nullptr, 10);
    // an end past the last entry is cut, a start past it prints nothing and is refused
    const bool valid = first > 0 && first <= last && (!builder || first <= builder->rowCount());
    if (!valid)
        MessageBox::information(this, tr("Please enter a valid page range."));
    return valid;
}

bool ListsPrintDialog::preparePrinter(QPrinter &printer)
{
    if (ui->rbPrintRange->isChecked() && !validatePrintRange())
        return false;
    readPageRange();
    printer.setPageOrientation(ui->rbFormatDetailed->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
    return true;
}

QString ListsPrintDialog::askPdfFileName()
{
    const QString base = builder ? QFileInfo(builder->title()).completeBaseName() : QString();
    // The PDF starts where Save as starts; a folder that is not there would leave the dialog in
    // the program's working folder or wherever an earlier dialog was.
    QString folder = QDir::homePath();
    if (ListProjectFileManager *manager = builder ? builder->manager() : nullptr) {
        const QFileInfo proposed(manager->initialSaveName());
        folder = proposed.isDir() ? proposed.absoluteFilePath() : proposed.absolutePath();
    }
    QFileDialog dialog(this, tr("Save as PDF"),
                       QDir(folder).filePath((base.isEmpty() ? QStringLiteral("list") : base) + QStringLiteral(".pdf")),
                       tr("PDF files (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (MessageBox::execDialog(&dialog) != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

void ListsPrintDialog::print()
{
    if (!builder)
        return;
    QPrinter printer(chosenPrinter(), QPrinter::ScreenResolution);
    if (!preparePrinter(printer))
        return;
    Outcome outcome = Outcome::Failed;
    failure.clear();
    QString target;
    if (!printerStandIn().isEmpty()) {
        target = printerStandIn();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(target);
        outcome = paintPages(&printer, Target::Printer);
    } else if (chosenPrinter().isNull()) {
        target = askPdfFileName();
        if (target.isEmpty())
            return;
        outcome = printToPdf(printer, target);
    } else {
        target = chosenPrinter().printerName();
        outcome = paintPages(&printer, Target::Printer);
    }
    if (outcome == Outcome::Failed) {
        const QString text = tr("Could not print to %1.").arg(QDir::toNativeSeparators(target));
        MessageBox::critical(this, failure.isEmpty() ? text : text + u'\n' + failure);
    }
    if (outcome != Outcome::Printed)
        return;
    accept();
}

ListsPrintDialog::Outcome ListsPrintDialog::printToPdf(QPrinter &printer, const QString &target)
{
    const QFileInfo info(target);
    QTemporaryFile partial(info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.pdf").arg(info.completeBaseName())));
    if (!partial.open())
        return Outcome::Failed;
    partial.close();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(partial.fileName());
    const Outcome outcome = paintPages(&printer, Target::File);
    if (outcome != Outcome::Printed)
        return outcome; // the partial file goes with the temporary
    // rename() replaces an existing file in one step, so the old PDF survives until the new one is whole
    if (std::rename(QFile::encodeName(partial.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return Outcome::Failed;
    partial.setAutoRemove(false);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return Outcome::Printed;
}

void ListsPrintDialog::showPreview()
{
    if (!builder)
        return;
    QPrinter printer(chosenPrinter(), QPrinter::ScreenResolution);
    if (!preparePrinter(printer))
        return;
    QPrintPreviewDialog preview(&printer, this);
    const QMetaObject::Connection connection =
        connect(&preview, &QPrintPreviewDialog::paintRequested, this, &ListsPrintDialog::onPaintRequested);
    if (auto *widget = preview.findChild<QPrintPreviewWidget *>())
        widget->setZoomFactor(1.0);
    preview.setWindowState(Qt::WindowMaximized);
    MessageBox::execDialog(&preview);
    disconnect(connection);
}

void ListsPrintDialog::showPrintersDialog()
{
    QPrinter printer(chosenPrinter(), QPrinter::ScreenResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(tr("Select printer"));
    dialog.setOptions(dialog.options() &
                      ~(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintSelection |
                        QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintShowPageSize |
                        QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintCurrentPage));
    if (MessageBox::execDialog(&dialog) != QDialog::Accepted)
        return;
    chosenPrinter() = QPrinterInfo(printer);
    showPrinterName();
}

void ListsPrintDialog::onPaintRequested(QPrinter *printer)
{
    // the preview shows what was drawn; a failure leaves it without pages
    paintPages(printer, Target::Preview);
}

ListsPrintDialog::Outcome ListsPrintDialog::paintPages(QPrinter *printer, Target target)
{
    if (!builder)
        return Outcome::Failed;
    QString (PrintListsBuilder::*buildPage)(int, bool, bool, int, int) = &PrintListsBuilder::buildDetailedPage;
    if (ui->rbFormatCompact->isChecked())
        buildPage = &PrintListsBuilder::buildCompactPage;
    else if (ui->rbFormatHandout->isChecked())
        buildPage = &PrintListsBuilder::buildHandoutPage;
    builder->setShowTitle(ui->cbTitle->isChecked());
    builder->setShowGrid(ui->cbGrid->isChecked());
    builder->setShowPageNumber(ui->cbPageNumber->isChecked());
    builder->setShowFileName(ui->cbFileName->isChecked());

    const QRect pageRect = printer->pageRect(QPrinter::DevicePixel).toRect();
    const int width = pageRect.width();
    const int height = pageRect.height();

    builder->setPageWidth(width - 2 * pageMargin);
    builder->setPageHeight(height - 2 * pageMargin);
    builder->setLeftMargin(pageMargin);
    builder->setTopMargin(pageMargin);
    builder->setBottomMargin(pageMargin);
    builder->setRightMargin(pageMargin);

    const bool selection = ui->rbPrintSelection->isChecked();
    const bool range = ui->rbPrintRange->isChecked();
    const int first = range ? from : -1;
    const int last = range ? to : -1;
    // The document does not change while this modal dialog runs: the lists are read once per run.
    builder->beginRun();
    struct RunEnd
    {
        PrintListsBuilder *builder;
        ~RunEnd() { builder->endRun(); }
    } runEnd{builder};
    builder->setCurrentList(tabList);
    builder->setRunningNumber(range ? from : 0);
    const QList<int> ids = builder->itemsToPrint(selection, first, last);
    const int total = int(ids.size() - ids.count(-1));
    const QString doesNotFit = tr("An entry of the list does not fit on one page.");
    if (builder->pageCount(total) < 1) {
        failure = doesNotFit;
        return Outcome::Failed;
    }

    // The preview paints inside its own modal dialog and shows its pages when done; a print shows its
    // progress and can be cancelled, from its second page on.
    std::unique_ptr<QProgressDialog> progress;
    if (target != Target::Preview) {
        progress = std::make_unique<QProgressDialog>(this);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setCancelButtonText(tr("Cancel"));
        // counted in entries: how many a page holds is known once it is laid out
        progress->setRange(0, std::max(total, 1));
        progress->setAutoClose(false);
        progress->setAutoReset(false);
    }
    QTextDocument document;
    QFont font = document.defaultFont();
    font.setPixelSize(pagePixelSize);
    document.setDefaultFont(font);
    document.setPageSize(QSizeF(width, height));
    const QRectF area(0, 0, width, height);
    // Page takes the entries from done on that fit on it with their wrapped rows, its column titles and
    // its footer: the most a page holds at first, fewer until the document needs no second page. Returns
    // how many, or -1 when not even one entry fits (it is then laid out alone and cut). Each pass takes
    // fewer entries than the one before, so a page settles in at most as many passes as it had entries at
    // first; one that does not is a failed print (neverSettled), never a print that runs on.
    constexpr int neverSettled = -2;
    const auto layOut = [&](int page, int done) {
        const bool withHeader = page == 1 || ui->cbTitle->isChecked();
        builder->setCurrentPage(page);
        int count = std::min(builder->entryRows(), total - done);
        for (int passes = std::max(count, 0); passes >= 0; --passes) {
            builder->setPageEntries(done, count);
            document.setHtml((builder->*buildPage)(page, withHeader, selection, first, last));
            // (a page that holds none of the entries left would never end the print)
            if (document.pageCount() <= 1)
                return count > 0 || done >= total ? count : neverSettled;
            if (count <= 1)
                return -1;
            const int fitting = entryRowsOnFirstPage(document, withHeader);
            count = fitting < count ? std::max(fitting, 1) : count - 1;
        }
        return neverSettled;
    };
    const auto cancelledBefore = [&](int page, int done) {
        if (!progress)
            return false;
        // the pages still to come as if no row wrapped; exact when none does
        const int pages = page - 1 + builder->pageCount(total - done);
        progress->setLabelText(tr("Printing page %1 of %2...").arg(QString::number(page), QString::number(pages)));
        progress->setValue(done);
        return progress->wasCanceled();
    };

    if (target != Target::Printer) {
        // A preview shows what it got, and a file is thrown away unless complete: the pages go straight in.
        QPainter painter;
        if (!painter.begin(printer))
            return Outcome::Failed;
        for (int page = 1, done = 0; page == 1 || done < total; ++page) {
            if (cancelledBefore(page, done)) {
                painter.end();
                return Outcome::Cancelled;
            }
            if (page > 1 && !printer->newPage()) {
                painter.end();
                return Outcome::Failed;
            }
            const int count = layOut(page, done);
            if (count == neverSettled) {
                painter.end();
                return Outcome::Failed;
            }
            // the preview shows the cut entry; a print of it fails
            if (count < 0 && target != Target::Preview) {
                painter.end();
                failure = doesNotFit;
                return Outcome::Failed;
            }
            document.drawContents(&painter, area);
            done += std::max(count, 1);
        }
        return painter.end() ? Outcome::Printed : Outcome::Failed;
    }

    // A print system takes the job as soon as a painter on the printer ends, whatever was drawn: every
    // page is built and drawn into a recording first, so Cancel comes while the printer has nothing.
    std::vector<QPicture> recorded;
    recorded.reserve(size_t(builder->pageCount(total)));
    for (int page = 1, done = 0; page == 1 || done < total; ++page) {
        if (cancelledBefore(page, done))
            return Outcome::Cancelled;
        const int count = layOut(page, done);
        if (count == neverSettled)
            return Outcome::Failed;
        if (count < 0) {
            failure = doesNotFit;
            return Outcome::Failed;
        }
        QPicture picture;
        QPainter recorder(&picture);
        document.drawContents(&recorder, area);
        recorder.end();
        recorded.push_back(picture);
        // every page takes at least one entry, so the pages come to an end
        done += std::max(count, 1);
    }
    if (progress && progress->wasCanceled())
        return Outcome::Cancelled;
    // From here on the whole job goes to the printer; there is nothing left to cancel.
    if (progress) {
        progress->setCancelButton(nullptr);
        progress->setValue(progress->maximum());
    }
    QPainter painter;
    if (!painter.begin(printer))
        return Outcome::Failed;
    const int pages = int(recorded.size());
    for (int page = 1; page <= pages; ++page) {
        painter.drawPicture(QPointF(0, 0), recorded.at(size_t(page - 1)));
        if (page < pages && !printer->newPage()) {
            painter.end();
            return Outcome::Failed;
        }
    }
    return painter.end() ? Outcome::Printed : Outcome::Failed;
}
