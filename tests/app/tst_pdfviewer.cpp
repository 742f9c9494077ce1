#include "testmain.h"

#include "widgets/messagebox.h"
#include "app/pdfviewer.h"
#include "ui_pdfviewer.h"

#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// A PDF of count A5 pages, each carrying its number.
QString writePdf(const QTemporaryDir &dir, int count)
{
    const QString path = dir.filePath(QStringLiteral("pages%1.pdf").arg(count));
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A5));
    QPainter painter(&writer);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            writer.newPage();
        painter.drawText(QPointF(200, 400), QStringLiteral("Page %1").arg(i + 1));
    }
    return path;
}

// The state of the four buttons and the page box, as one comparable text.
QString controls(const PdfViewer &viewer)
{
    const Ui::PdfViewer *ui = viewer.form();
    auto flag = [](const QWidget *w) { return w->isEnabled() ? QLatin1Char('1') : QLatin1Char('0'); };
    return QString(flag(ui->btnFirstPage)) + flag(ui->btnPreviousPage) + flag(ui->cmbCurrentPage) +
           flag(ui->btnNextPage) + flag(ui->btnLastPage) + QLatin1Char('@') +
           QString::number(ui->cmbCurrentPage->currentIndex());
}

QSize shownPageSize(const PdfViewer &viewer)
{
    const auto *label = qobject_cast<const QLabel *>(viewer.form()->scrollArea->widget());
    return label ? label->pixmap().size() : QSize();
}

} // namespace

class TestPdfViewer : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void onePageDocument()
    {
        PdfViewer viewer;
        QVERIFY(viewer.openFile(writePdf(dir, 1)));
        QCOMPARE(viewer.form()->cmbCurrentPage->count(), 1);
        QCOMPARE(viewer.form()->cmbCurrentPage->itemText(0), QStringLiteral("1"));
        QCOMPARE(controls(viewer), QStringLiteral("00100@0"));
        QVERIFY(!shownPageSize(viewer).isEmpty());
    }

    void buttonsStepThroughThreePages()
    {
        PdfViewer viewer;
        QVERIFY(viewer.openFile(writePdf(dir, 3)));
        QCOMPARE(controls(viewer), QStringLiteral("00111@0"));
        QTest::mouseClick(viewer.form()->btnLastPage, Qt::LeftButton);
        QCOMPARE(viewer.currentPageIndex(), 2);
        QCOMPARE(controls(viewer), QStringLiteral("11100@2"));
        QTest::mouseClick(viewer.form()->btnPreviousPage, Qt::LeftButton);
        QCOMPARE(controls(viewer), QStringLiteral("11111@1"));
        QTest::mouseClick(viewer.form()->btnFirstPage, Qt::LeftButton);
        QCOMPARE(controls(viewer), QStringLiteral("00111@0"));
        QTest::mouseClick(viewer.form()->btnNextPage, Qt::LeftButton);
        QCOMPARE(controls(viewer), QStringLiteral("11111@1"));
    }

    void reopeningStepsOnePagePerPress()
    {
        PdfViewer viewer;
        QVERIFY(viewer.openFile(writePdf(dir, 1)));
        QVERIFY(viewer.openFile(writePdf(dir, 3)));
        QCOMPARE(viewer.form()->cmbCurrentPage->count(), 3);
        QCOMPARE(viewer.currentPageIndex(), 0);
        // The buttons were wired once, not once per opened file.
        QTest::mousePress(viewer.form()->btnNextPage, Qt::LeftButton);
        QCOMPARE(viewer.currentPageIndex(), 1);
    }

    void keysStepThroughPages_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expected");
        QTest::newRow("up goes forward") << 0 << int(Qt::Key_Up) << 1;
        QTest::newRow("page down goes forward") << 0 << int(Qt::Key_PageDown) << 1;
        QTest::newRow("up on last page stays") << 2 << int(Qt::Key_Up) << 2;
        QTest::newRow("down goes back") << 2 << int(Qt::Key_Down) << 1;
        QTest::newRow("down on first page stays") << 0 << int(Qt::Key_Down) << 0;
        QTest::newRow("right to last") << 0 << int(Qt::Key_Right) << 2;
        QTest::newRow("left to first") << 2 << int(Qt::Key_Left) << 0;
    }
    void keysStepThroughPages()
    {
        QFETCH(int, start);
        QFETCH(int, key);
        PdfViewer viewer;
        QVERIFY(viewer.openFile(writePdf(dir, 3)));
        viewer.form()->cmbCurrentPage->setCurrentIndex(start);
        const QString before = controls(viewer);
        QTest::keyClick(&viewer, Qt::Key(key));
        QTEST(viewer.currentPageIndex(), "expected");
        QCOMPARE(viewer.form()->cmbCurrentPage->currentIndex(), viewer.currentPageIndex());
        if (viewer.currentPageIndex() == start)
            QCOMPARE(controls(viewer), before);
    }

    void escapeKeepsViewerOpen()
    {
        PdfViewer viewer;
        QVERIFY(viewer.openFile(writePdf(dir, 2)));
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QTest::keyClick(&viewer, Qt::Key_Escape);
        QTest::keyClick(&viewer, Qt::Key_Return);
        QVERIFY(viewer.isVisible());
        QCOMPARE(viewer.result(), 0);
    }

    void pagesRenderAtScreenResolution()
    {
        PdfViewer viewer;
        QVERIFY(viewer.openFile(writePdf(dir, 1)));
        const QScreen *screen = QGuiApplication::primaryScreen();
        const int dpiX = qRound(screen->physicalDotsPerInchX());
        const int dpiY = qRound(screen->physicalDotsPerInchY());
        // A5 is 420 x 595 points.
        const QSize shown = shownPageSize(viewer);
        QVERIFY(qAbs(shown.width() - qRound(420.0 * dpiX / 72)) <= 1);
        QVERIFY(qAbs(shown.height() - qRound(595.0 * dpiY / 72)) <= 1);
    }

    void missingFileReportsAndShowsNothing()
    {
        PdfViewer viewer;
        const QString path = dir.filePath(QStringLiteral("no such/manual.pdf"));
        QString title;
        QString text;
        Qt::WindowFlags flags;
        MessageBox::setAnswerHook([&](QDialog *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            flags = box->windowFlags();
            box->accept();
        });
        QCOMPARE(viewer.open(path), 0);
        QCOMPARE(title, QStringLiteral("Open Error"));
        QCOMPARE(text, QStringLiteral("Cannot open:\n") + path);
        QVERIFY(flags & Qt::FramelessWindowHint);
        QVERIFY(!viewer.isVisible());
        QCOMPARE(viewer.pageCount(), 0);
        MessageBox::setAnswerHook({});
    }

    void builtManualsOpenAndStep_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << QStringLiteral("eng");
        QTest::newRow("German") << QStringLiteral("ger");
        QTest::newRow("Polish") << QStringLiteral("pol");
    }
    void builtManualsOpenAndStep()
    {
        QFETCH(QString, language);
        const QString path = QStringLiteral(OMBRELAY_MANUAL_DIR "/ombrelay_help_%1.pdf").arg(language);
        PdfViewer viewer;
        QVERIFY(viewer.openFile(path));
        const int pages = viewer.pageCount();
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        QCOMPARE(viewer.form()->cmbCurrentPage->count(), pages);
        for (int i = 1; i < pages; ++i) {
            QTest::keyClick(&viewer, Qt::Key_PageDown);
            QCOMPARE(viewer.currentPageIndex(), i);
            QVERIFY(!shownPageSize(viewer).isEmpty());
        }
        QCOMPARE(controls(viewer), QStringLiteral("11100@%1").arg(pages - 1));
        // A look at the viewer for people checking the program's appearance by eye.
        const QString shots = qEnvironmentVariable("OMBRELAY_SCREENSHOT_DIR");
        if (!shots.isEmpty()) {
            viewer.form()->cmbCurrentPage->setCurrentIndex(0);
            viewer.show();
            QVERIFY(QTest::qWaitForWindowExposed(&viewer));
            QVERIFY(viewer.grab().save(shots + QStringLiteral("/pdfviewer_%1.png").arg(language)));
        }
    }

    void openRunsModallyUntilClosed()
    {
        PdfViewer viewer;
        bool shown = false;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (viewer.isVisible()) {
                shown = true;
                viewer.close();
            }
        });
        closer.start(10);
        QCOMPARE(viewer.open(QStringLiteral(OMBRELAY_MANUAL_DIR "/ombrelay_help_eng.pdf")), 0);
        QVERIFY(shown);
        QCOMPARE(viewer.currentPageIndex(), 0);
    }
};

OMBRELAY_TEST_MAIN(TestPdfViewer)
#include "tst_pdfviewer.moc"
