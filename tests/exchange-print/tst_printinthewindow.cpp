// Printing a selection as the user does it in the main window: a TV list whose names and providers wrap,
// a row of List 1 clicked, Ctrl+A, More… → Print, Detailed or Handout, Selection, to a PDF file. The PDF
// holds every selected entry once, each page its footer, every column inside the page.

#include "testmain.h"

#include "listinthewindow.h"
#include "printedtext.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "exchange/listsprintdialog.h"
#include "lists/listtabwidget.h"
#include "lists/tvlistmodule.h"
#include "widgets/messagebox.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableView>
#include <QTest>

using namespace PrintedText;

class TestPrintInTheWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { registerStartUpServices(); }
    void init() { QSettings().clear(); }
    void cleanup() { MessageBox::setAnswerHook({}); }

    void selectionOfWrappingRows_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("length");
        QTest::newRow("detailed, 70 characters") << "rbFormatDetailed" << 70;
        QTest::newRow("handout, 73 characters") << "rbFormatHandout" << 73;
    }
    void selectionOfWrappingRows()
    {
        QFETCH(QString, format);
        QFETCH(int, length);
        QTemporaryDir dir;
        const QString file =
            listFile(dir, QStringLiteral("list.tvqvxc"), listDocument(QStringLiteral("tv"), length, true));
        QVERIFY(!file.isEmpty());
        const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
        QStringList texts; // message boxes
        bool printed = false;
        MessageBox::setAnswerHook([&](QDialog *box) {
            if (auto *message = qobject_cast<QMessageBox *>(box))
                texts << message->text();
            if (auto *files = qobject_cast<QFileDialog *>(box)) {
                files->selectFile(pdf);
                // the whole path: a name alone goes to whatever folder the dialog shows by then
                if (auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                    name->setText(pdf);
                static_cast<QDialog *>(files)->done(QDialog::Accepted);
            }
            if (auto *print = qobject_cast<ListsPrintDialog *>(box)) {
                print->findChild<QRadioButton *>(format)->setChecked(true);
                auto *selection = print->findChild<QRadioButton *>(QStringLiteral("rbPrintSelection"));
                QVERIFY(selection->isEnabled());
                selection->setChecked(true);
                QCOMPARE(print->findChild<QLineEdit *>(QStringLiteral("txtPrintFrom"))->text() + u' ' +
                             print->findChild<QLineEdit *>(QStringLiteral("txtPrintTo"))->text(),
                         QStringLiteral("1 %1").arg(firstListSize));
                QTest::mouseClick(print->findChild<QPushButton *>(QStringLiteral("btnPrint")), Qt::LeftButton);
                printed = !print->isVisible() && print->result() == QDialog::Accepted;
            }
        });

        MainWindow window;
        auto *page = qobject_cast<TVListModule *>(openInTheWindow(window, file));
        QVERIFY(page);
        QCOMPARE(page->listsTabWidget->currentIndex(), 0);
        auto *list = page->listsTabWidget->currentWidget()->findChild<QTableView *>();
        QVERIFY(list);
        QTRY_VERIFY(list->isVisible());
        QTRY_COMPARE(list->model()->rowCount(), firstListSize);
        const QRect row = list->visualRect(list->model()->index(2, 1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(page->listsTabWidget->currentListSelectedIds().size(), firstListSize);
        page->moreCommandLinkButton->click();
        page->btnPrintProject->click();

        QVERIFY(printed);
        QCOMPARE(texts, QStringList());
        const QStringList title = QFileInfo(file).absoluteFilePath().split(u' ');
        const QStringList found =
            problems(readPdf(pdf), title, 0, firstListSize, format == QLatin1String("rbFormatDetailed"));
        QVERIFY2(found.isEmpty(), qPrintable(found.mid(0, 10).join(u'\n')));
    }
};

OMBRELAY_TEST_MAIN(TestPrintInTheWindow)
#include "tst_printinthewindow.moc"
