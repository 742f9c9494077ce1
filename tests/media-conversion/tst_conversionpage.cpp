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
class SettingsWindow : public QWidget, public GeneralUiInterface
{
public:
    int settingsOpened = 0;
    bool close() override { return true; }
    void setCurrentModule(OmbrelayModule *, bool) override {}
    void notifyModuleMessage(OmbrelayModule *) override {}
    void gotoMainView() override {}
    void gotoSettings() override { ++settingsOpened; }
    void gotoAbout() override {}
};

// The real page offscreen converting a recording that ffmpeg made, the save dialog answered.
class TestConversionPage : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    SettingsWindow window;
    std::unique_ptr<MediaExplorerModule> page;

    void convertToMp3()
    {
        const QModelIndex row = page->pcModel()->index(dir.filePath("rec.ts"));
        page->tvPcFolders->selectionModel()->select(row,
                                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        page->tvPcFolders->setFocus();
        page->setContextGUI(row);
        page->pcContextMenu()->findChild<QMenu *>()->actions().first()->trigger();
    }

private slots:
    void initTestCase()
    {
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg",
                     {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=720x576", "-f", "lavfi", "-i", "sine", "-t",
                      "1", "-c:v", "mpeg2video", "-c:a", "mp2", "-f", "mpegts", dir.filePath("rec.ts")});
        QVERIFY(ffmpeg.waitForFinished(60000) && QFileInfo(dir.filePath("rec.ts")).size() > 10000);
        QFile script(dir.filePath("fail.sh"));
        QVERIFY(script.open(QIODevice::WriteOnly) && script.write("#!/bin/sh\nexit 1\n") > 0);
        QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
    }
    void init()
    {
        page = std::make_unique<MediaExplorerModule>(&window);
        page->setGeneralMode(true);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    }
    void cleanup() { page.reset(); }

    void conversion_data()
    {
        QTest::addColumn<QString>("converter");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("mp3") << QString() << QStringList();
        QTest::newRow("exit 1") << "fail.sh" << QStringList{"FFmpeg error accured. Input file is probably corrupted."};
    }
    void conversion()
    {
        QFETCH(QString, converter);
        Settings::setString(Settings::PathVideoConversion, converter.isEmpty() ? converter : dir.filePath(converter));
        const QString target = dir.filePath(QTest::currentDataTag() + QStringLiteral(".mp3"));
        DialogAnswerer answerer;
        answerer.fileAnswers << target;
        convertToMp3();
        QTRY_VERIFY(page->isBusy() && page->frStatusBar->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!page->isBusy(), 60000);
        QTEST(answerer.boxTexts, "messages");
        QCOMPARE(page->frStatusBar->isVisible(), false);
        QCOMPARE(QFileInfo(target).size() > 1000, converter.isEmpty());
    }

    // No converter: the question; only a ticked Yes is remembered, a ticked No opens nothing.
    void question_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("opened"); // settings pages opened by two commands
        QTest::newRow("ticked no") << "&No"
                                   << "-1" << 0;
        QTest::newRow("ticked yes") << "&Yes"
                                    << "1" << 2;
    }
    void question()
    {
        QFETCH(QString, answer);
        Settings::setString(Settings::PathVideoConversion, dir.filePath("missing"));
        Settings::setString(Settings::DownloadFFmpegRequest, QString());
        window.settingsOpened = 0;
        int asked = 0;
        MessageBox::setAnswerHook([&](QDialog *box) {
            ++asked;
            box->findChild<QCheckBox *>()->setChecked(true);
            MessageBox::clickButton(box, answer);
        });
        convertToMp3();
        convertToMp3();
        MessageBox::setAnswerHook({});
        QTEST(Settings::getString(Settings::DownloadFFmpegRequest, "-1"), "stored");
        QTEST(window.settingsOpened, "opened");
        QCOMPARE(asked, answer == "&No" ? 2 : 1);
        QVERIFY(!page->isBusy());
    }
};

OMBRELAY_TEST_MAIN(TestConversionPage)
#include "tst_conversionpage.moc"
