#include "listfiles/dialoganswerer.h"
#include "testmain.h"

#include "base/settings.h"
#include "media/mediaexplorermodule.h"
#include "media/pcfilesystemmodel.h"
#include "modules/generaluiinterface.h"

#include <QCheckBox>
#include <QMenu>
#include <QTemporaryDir>

// Stands for the main window: counts the settings pages the page opens.
struct SettingsWindow : QWidget, GeneralUiInterface
{
    int opened = 0;
    bool close() override { return true; }
    void setCurrentModule(OmbrelayModule *, bool) override {}
    void notifyModuleMessage(OmbrelayModule *) override {}
    void gotoMainView() override {}
    void gotoSettings() override { ++opened; }
    void gotoAbout() override {}
};

// The real page offscreen: a recording made by ffmpeg, selected in the PC pane, converted to MP3.
class TestConversionPage : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void conversion_data()
    {
        QTest::addColumn<QString>("converter"); // empty: the real ffmpeg
        QTest::addColumn<QString>("answer");    // to the converter question, its box ticked
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("mp3") << ""
                             << "" << QStringList();
        QTest::newRow("exit 1") << "/bin/false"
                                << "" << QStringList{"FFmpeg error accured. Input file is probably corrupted."};
        QTest::newRow("cancelled") << "/usr/bin/yes"
                                   << "" << QStringList(); // runs until killed
        QTest::newRow("ticked no") << "/missing"
                                   << "&No" << QStringList();
        QTest::newRow("ticked yes") << "/missing"
                                    << "&Yes" << QStringList();
    }
    void conversion()
    {
        QFETCH(QString, converter);
        QFETCH(QString, answer);
        const QString source = dir.filePath("rec.ts"), target = dir.filePath(QTest::currentDataTag() + QString(".mp3"));
        QCOMPARE(QProcess::execute("ffmpeg",
                                   {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=720x576", "-f", "lavfi",
                                    "-i", "sine", "-t", "1", "-c:v", "mpeg2video", "-c:a", "mp2", source}),
                 0);
        Settings::setString(Settings::PathVideoConversion, converter);
        Settings::setString(Settings::DownloadFFmpegRequest, QString());
        SettingsWindow window;
        MediaExplorerModule page(&window);
        page.setGeneralMode(true);
        page.show();
        DialogAnswerer answerer;
        answerer.fileAnswers << target;
        QStringList messages;
        MessageBox::setAnswerHook([&](QDialog *box) {
            if (auto *check = box->findChild<QCheckBox *>())
                check->setChecked(true);
            else
                messages << static_cast<QMessageBox *>(box)->text();
            MessageBox::clickButton(box, answer);
        });
        const QModelIndex row = page.pcModel()->index(source);
        page.tvPcFolders->selectionModel()->select(row, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        page.tvPcFolders->setFocus();
        page.setContextGUI(row);
        page.pcContextMenu()->findChild<QMenu *>()->actions().first()->trigger(); // "MP3"
        QCOMPARE(page.isBusy(), answer.isEmpty());
        if (converter == "/usr/bin/yes")
            page.btnCancelTransfer->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page.isBusy() && !page.frStatusBar->isVisible(), 60000);
        QTEST(messages, "messages");
        QCOMPARE(Settings::getString(Settings::DownloadFFmpegRequest, "-1") == "1", answer == "&Yes");
        QCOMPARE(window.opened, answer == "&Yes" ? 1 : 0);
        QCOMPARE(QFileInfo(target).size() > 1000, converter.isEmpty());
    }
};

OMBRELAY_TEST_MAIN(TestConversionPage)
#include "tst_conversionpage.moc"
