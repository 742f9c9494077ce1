#pragma once

#include <QDialog>

#include <memory>

namespace Poppler {
class Document;
}
namespace Ui {
class PdfViewer;
}

// Shows the manual one page at a time in a window of its own, with first/previous/next/last
// buttons, a page box and page keys.
class PdfViewer : public QDialog
{
    Q_OBJECT
public:
    explicit PdfViewer(QWidget *parent = nullptr);
    ~PdfViewer() override;

    // Loads path and runs the viewer modally; 0 at once when the file cannot be opened.
    int open(const QString &path);
    bool openFile(const QString &path);
    void renderPage(int n);
    void closeDocument();

    int currentPageIndex() const { return currentPage; }
    int pageCount() const;
    Ui::PdfViewer *form() const { return ui.get(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void onFirstPagePressed();
    void onPreviousPagePressed();
    void onNextPagePressed();
    void onLastPagePressed();
    void setCurrentPage(int n);
    void setCurrentPageCombo(int index);

private:
    std::unique_ptr<Ui::PdfViewer> ui;
    int currentPage = 0;
    std::unique_ptr<Poppler::Document> pdfDocument;
    int dpiX = 96;
    int dpiY = 96;
    double zoom = 1.0;
};
