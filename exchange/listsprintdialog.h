#pragma once

#include <QDialog>
#include <QIntValidator>
#include <QPrinterInfo>

class PrintListsBuilder;
class QPrinter;

namespace Ui {
class ListsPrintDialog;
}

// The print dialog of TV, radio and link lists: format, print area, options and printer; it prints
// or previews the pages its builder makes, drawn through a text document. Without a printer Print
// writes a PDF file. The options are kept in the settings from one use to the next, the chosen printer
// for the program's lifetime.
class ListsPrintDialog : public QDialog
{
    Q_OBJECT
public:
    // builder is not owned and may be null (then nothing can be printed).
    ListsPrintDialog(QWidget *parent, PrintListsBuilder *builder);
    ~ListsPrintDialog() override;

    // Tests let a PDF file stand in for a printer: Print then goes the way of a print to a printer,
    // whose job is written there. An empty path ends it.
    static void setPrinterStandInForTests(const QString &pdfPath);

public slots:
    void onPrintAllChecked(bool checked);
    void onPrintSelectionChecked(bool checked);
    void onPrintRangeChecked(bool checked);
    void print();
    void onPaintRequested(QPrinter *printer);
    void showPreview();
    void showPrintersDialog();
    bool validatePrintRange();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    enum class Outcome { Printed, Failed, Cancelled };
    // Where the pages go: a preview (no progress), a file kept only when complete, or a printer, which
    // gets the job only once every page is ready.
    enum class Target { Preview, File, Printer };

    void readPageRange();
    // Checks the range and sets up a printer for the chosen printer and format; false when the range
    // is not valid.
    bool preparePrinter(QPrinter &printer);
    Outcome paintPages(QPrinter *printer, Target target);
    // Prints into a temporary file beside target, which replaces target only when all pages are written.
    Outcome printToPdf(QPrinter &printer, const QString &target);
    QString askPdfFileName();
    void showPrinterName();
    static QPrinterInfo &chosenPrinter();
    static QString &printerStandIn();

    QIntValidator validator;
    PrintListsBuilder *builder = nullptr;
    int from = -1;
    int to = -1;
    // The list tab the module printed from: a selection is numbered by it, whatever ran before.
    int tabList = 0;
    // Why the last print failed, when it was not the printer or the file: said after the failure.
    QString failure;
    Ui::ListsPrintDialog *ui = nullptr;
};
