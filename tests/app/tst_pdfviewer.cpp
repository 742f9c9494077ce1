#include "appfixture.h"
#include "testmain.h"

#include "app/pdfviewer.h"
#include "ui_pdfviewer.h"

#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QTimer>

namespace {

// A PDF of count A5 pages.
QString writePdf(const QTemporaryDir &dir, int count)
{
    const QString path = dir.filePath(QStringLiteral("pages%1.pdf").arg(count));
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A5));
    QPainter painter(&writer);
    for (int i = 1; i < count; ++i)
        writer.newPage();
    return path;
}

// Which of first, previous, page box, next and last are enabled, and the page box's index.
QString controls(const PdfViewer &viewer)
{
    const Ui::PdfViewer *ui = viewer.form();
    QString text;
    for (const QWidget *w : std::initializer_list<const QWidget *>{
             ui->btnFirstPage, ui->btnPreviousPage, ui->cmbCurrentPage, ui->btnNextPage, ui->btnLastPage})
        text += w->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return text + QLatin1Char('@') + QString::number(ui->cmbCurrentPage->currentIndex());
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
    void stepping_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("action"); // a button's name or a key
        QTest::addColumn<QString>("expected");
        QTest::newRow("one page") << 1 << 0 << ""
                                  << "00100@0";
        QTest::newRow("last button") << 3 << 0 << "btnLastPage"
                                     << "11100@2";
        QTest::newRow("previous button") << 3 << 2 << "btnPreviousPage"
                                         << "11111@1";
        QTest::newRow("next button") << 3 << 0 << "btnNextPage"
                                     << "11111@1";
        QTest::newRow("up goes forward") << 3 << 0 << "Up"
                                         << "11111@1";
        QTest::newRow("up on last page stays") << 3 << 2 << "Up"
                                               << "11100@2";
        QTest::newRow("down goes back") << 3 << 2 << "Down"
                                        << "11111@1";
        QTest::newRow("down on first page stays") << 3 << 0 << "Down"
                                                  << "00111@0";
        QTest::newRow("right to last") << 3 << 0 << "Right"
                                       << "11100@2";
        QTest::newRow("left to first") << 3 << 2 << "Left"
                                       << "00111@0";
    }
    void stepping()
    {
        QFETCH(int, pages);
        QFETCH(int, start);
        QFETCH(QString, action);
        PdfViewer viewer;
        QVERIFY(viewer.openFile(writePdf(dir, pages)));
        QCOMPARE(viewer.form()->cmbCurrentPage->count(), pages);
        viewer.form()->cmbCurrentPage->setCurrentIndex(start);
        if (auto *button = viewer.findChild<QAbstractButton *>(action))
            QTest::mouseClick(button, Qt::LeftButton);
        else if (!action.isEmpty())
            QTest::keyClick(&viewer, Qt::Key(QKeySequence(action)[0].key()));
        QTEST(controls(viewer), "expected");
        QCOMPARE(viewer.currentPageIndex(), viewer.form()->cmbCurrentPage->currentIndex());
    }

    void reopeningStepsOnePagePerPress()
    {
        PdfViewer viewer;
        QVERIFY(viewer.openFile(writePdf(dir, 1)));
        // A5 is 420 x 595 points, shown at the screen's resolution.
        const QScreen *screen = QGuiApplication::primaryScreen();
        QVERIFY(qAbs(shownPageSize(viewer).width() - qRound(420.0 * screen->physicalDotsPerInchX() / 72)) <= 1);
        QVERIFY(qAbs(shownPageSize(viewer).height() - qRound(595.0 * screen->physicalDotsPerInchY() / 72)) <= 1);
        QVERIFY(viewer.openFile(writePdf(dir, 3)));
        QCOMPARE(viewer.currentPageIndex(), 0);
        // The buttons were wired once, not once per opened file.
        QTest::mousePress(viewer.form()->btnNextPage, Qt::LeftButton);
        QCOMPARE(viewer.currentPageIndex(), 1);
    }

    void missingFileReportsAndShowsNothing()
    {
        BoxAnswers boxes;
        PdfViewer viewer;
        const QString path = dir.filePath(QStringLiteral("no such/manual.pdf"));
        QCOMPARE(viewer.open(path), 0);
        QCOMPARE(boxes.titles, QStringList{"Open Error"});
        QCOMPARE(boxes.texts, QStringList{"Cannot open:\n" + path});
        QVERIFY(!viewer.isVisible());
        QCOMPARE(viewer.pageCount(), 0);
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
        PdfViewer viewer;
        QVERIFY(viewer.openFile(QStringLiteral(OMBRELAY_MANUAL_DIR "/ombrelay_help_%1.pdf").arg(language)));
        const int pages = viewer.pageCount();
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        for (int i = 1; i < pages; ++i) {
            QTest::keyClick(&viewer, Qt::Key_PageDown);
            QCOMPARE(viewer.currentPageIndex(), i);
            QVERIFY(!shownPageSize(viewer).isEmpty());
        }
        QCOMPARE(controls(viewer), QStringLiteral("11100@%1").arg(pages - 1));
    }

    // Runs modally until closed; Escape and Return do not close it.
    void openRunsModallyUntilClosed()
    {
        PdfViewer viewer;
        bool stayed = false;
        QTimer::singleShot(0, &viewer, [&] {
            QTest::keyClick(&viewer, Qt::Key_Escape);
            QTest::keyClick(&viewer, Qt::Key_Return);
            stayed = viewer.isVisible();
            viewer.close();
        });
        QCOMPARE(viewer.open(QStringLiteral(OMBRELAY_MANUAL_DIR "/ombrelay_help_eng.pdf")), 0);
        QVERIFY(stayed);
    }
};

OMBRELAY_TEST_MAIN(TestPdfViewer)
#include "tst_pdfviewer.moc"
