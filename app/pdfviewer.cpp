#include "app/pdfviewer.h"

#include "widgets/messagebox.h"
#include "ui_pdfviewer.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

#include <poppler-qt6.h>

namespace {

int screenDpi(qreal physical)
{
    // A screen that reports no usable size still gets pages at the common desktop resolution.
    const int dpi = qRound(physical);
    return dpi > 0 ? dpi : 96;
}

} // namespace

PdfViewer::PdfViewer(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::PdfViewer>())
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        dpiX = screenDpi(screen->physicalDotsPerInchX());
        dpiY = screenDpi(screen->physicalDotsPerInchY());
    }
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
}

PdfViewer::~PdfViewer() = default;

int PdfViewer::pageCount() const
{
    return pdfDocument ? pdfDocument->numPages() : 0;
}

int PdfViewer::open(const QString &path)
{
    if (!openFile(path))
        return 0;
    renderPage(0);
    return exec();
}

bool PdfViewer::openFile(const QString &path)
{
    ui->cmbCurrentPage->clear();
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path, QByteArray(), QByteArray());
    if (!document) {
        QMessageBox box(QMessageBox::Critical, tr("Open Error"), tr("Cannot open:\n") + path, QMessageBox::Ok, this,
                        Qt::Dialog | Qt::FramelessWindowHint);
        MessageBox::execDialog(&box);
        return false;
    }
    connect(ui->btnFirstPage, &QToolButton::pressed, this, &PdfViewer::onFirstPagePressed, Qt::UniqueConnection);
    connect(ui->btnPreviousPage, &QToolButton::pressed, this, &PdfViewer::onPreviousPagePressed, Qt::UniqueConnection);
    connect(ui->btnNextPage, &QToolButton::pressed, this, &PdfViewer::onNextPagePressed, Qt::UniqueConnection);
    connect(ui->btnLastPage, &QToolButton::pressed, this, &PdfViewer::onLastPagePressed, Qt::UniqueConnection);
    connect(ui->cmbCurrentPage, &QComboBox::currentIndexChanged, this, &PdfViewer::setCurrentPageCombo,
            Qt::UniqueConnection);

    closeDocument();
    pdfDocument = std::move(document);
    pdfDocument->setRenderHint(Poppler::Document::TextAntialiasing, true);
    pdfDocument->setRenderHint(Poppler::Document::Antialiasing, true);
    const int pages = pdfDocument->numPages();
    for (int i = 0; i < pages; ++i)
        ui->cmbCurrentPage->addItem(QString::number(i + 1));
    return true;
}

void PdfViewer::closeDocument()
{
    if (!pdfDocument)
        return;
    currentPage = 0;
    pdfDocument.reset();
}

void PdfViewer::onFirstPagePressed()
{
    if (pdfDocument)
        setCurrentPage(0);
}

void PdfViewer::onPreviousPagePressed()
{
    if (!pdfDocument)
        return;
    currentPage = currentPage - 1;
    setCurrentPage(currentPage);
}

void PdfViewer::onNextPagePressed()
{
    if (!pdfDocument)
        return;
    currentPage = currentPage + 1;
    setCurrentPage(currentPage);
}

void PdfViewer::onLastPagePressed()
{
    if (pdfDocument)
        setCurrentPage(pdfDocument->numPages() - 1);
}

void PdfViewer::setCurrentPageCombo(int index)
{
    setCurrentPage(index);
}

void PdfViewer::setCurrentPage(int n)
{
    disconnect(ui->cmbCurrentPage, &QComboBox::currentIndexChanged, this, &PdfViewer::setCurrentPageCombo);
    currentPage = -1;
    const int pages = pageCount();
    if (pdfDocument) {
        if (n >= pages)
            n = pages - 1;
        else if (n < 0)
            n = 0;
        currentPage = n;
    }
    ui->btnFirstPage->setEnabled(pdfDocument && currentPage > 0);
    ui->btnPreviousPage->setEnabled(currentPage >= 1);
    const bool beforeLast = currentPage != -1 && currentPage < pages - 1;
    ui->btnNextPage->setEnabled(beforeLast);
    ui->btnLastPage->setEnabled(beforeLast);
    ui->cmbCurrentPage->setEnabled(currentPage != -1);
    ui->cmbCurrentPage->setCurrentIndex(currentPage);
    renderPage(currentPage);
    connect(ui->cmbCurrentPage, &QComboBox::currentIndexChanged, this, &PdfViewer::setCurrentPageCombo);
}

void PdfViewer::renderPage(int n)
{
    if (!pdfDocument || n < 0 || n >= pdfDocument->numPages())
        return;
    std::unique_ptr<Poppler::Page> page = pdfDocument->page(n);
    if (!page)
        return;
    const QImage image = page->renderToImage(zoom * dpiX, zoom * dpiY, -1, -1, -1, -1, Poppler::Page::Rotate0);
    if (image.isNull()) {
        ui->scrollArea->setWidget(new QWidget);
        return;
    }
    auto *label = new QLabel;
    label->setPixmap(QPixmap::fromImage(image));
    ui->scrollArea->setWidget(label);
}

void PdfViewer::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (event->matches(QKeySequence::MoveToNextPage) || key == Qt::Key_Up)
        onNextPagePressed();
    else if (event->matches(QKeySequence::MoveToPreviousPage) || key == Qt::Key_Down)
        onPreviousPagePressed();
    else if (event->matches(QKeySequence::MoveToEndOfDocument) || key == Qt::Key_Right)
        onLastPagePressed();
    else if (event->matches(QKeySequence::MoveToStartOfDocument) || key == Qt::Key_Left)
        onFirstPagePressed();
    // Every other key stops here: Escape and Enter must not close the manual.
}
