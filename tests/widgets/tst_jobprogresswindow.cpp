#include "testmain.h"
#include "widgetsfixture.h"

#include "widgets/jobprogresswindow.h"

#include <QPointer>
#include <QShortcut>

// The window that keeps the user out while a job runs: when the job ends it goes, and the window it kept out
// takes the keys again (a shortcut reaches it), whether the progress window was active then or no window of
// the program was (the user was in another program meanwhile).
class TestJobProgressWindow : public QObject
{
    Q_OBJECT

private slots:
    void finishHandsTheKeysBack_data()
    {
        QTest::addColumn<bool>("noneActive"); // no window of the program active at the end, or the progress window
        QTest::newRow("the progress window active") << false;
        QTest::newRow("no window of the program active") << true;
    }
    void finishHandsTheKeysBack()
    {
        QFETCH(bool, noneActive);
        TestWindow main;
        int saves = 0;
        auto *save = new QShortcut(QKeySequence::Save, &main.window);
        connect(save, &QShortcut::activated, this, [&saves] { ++saves; });
        main.show();
        TestWindow::focus(main.other);

        QPointer<JobProgressWindow> progress = new JobProgressWindow(QStringLiteral("Pasting"), &main.window);
        progress->show();
        QApplication::setActiveWindow(progress);
        QTRY_COMPARE(QApplication::activeWindow(), progress.data());
        QCOMPARE(QApplication::activeModalWidget(), progress.data());
        if (noneActive) {
            QApplication::setActiveWindow(nullptr);
            QVERIFY(!QApplication::activeWindow());
        }
        progress->setProgress(5, 10);
        progress->finish();
        QVERIFY(progress->isHidden());
        QTRY_VERIFY(!progress); // goes later

        QTRY_COMPARE(QApplication::activeWindow(), &main.window);
        QTRY_COMPARE(QApplication::focusWidget(), main.other);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(saves, 1);
    }

    // Escape and a close request leave the window up: only the job's end takes it away.
    void notDismissed()
    {
        TestWindow main;
        main.show();
        JobProgressWindow progress(QStringLiteral("Pasting"), &main.window);
        progress.show();
        QTest::keyClick(&progress, Qt::Key_Escape);
        QVERIFY(!progress.close());
        QVERIFY(progress.isVisible());
        QCOMPARE(QApplication::activeModalWidget(), &progress);
    }
};

OMBRELAY_TEST_MAIN(TestJobProgressWindow)
#include "tst_jobprogresswindow.moc"
