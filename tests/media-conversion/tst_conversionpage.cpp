#include "listfiles/dialoganswerer.h"
#include "testmain.h"

#include "base/filehelpers.h"
#include "base/settings.h"
#include "base/translatorloader.h"
#include "device/transfers/copyjobbuilders.h"
#include "media/mediaexplorermodule.h"
#include "media/pcfilesystemmodel.h"
#include "modules/generaluiinterface.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QMenu>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

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

namespace {
bool writeScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n" + body) > 0 &&
           file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

QString probe(const QString &file, const QString &entries)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start("ffprobe", {"-v", "error", "-show_entries", entries, "-of", "default=nw=1:nk=1", file});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed().replace('\n', ' ');
}

// Every file below a folder, hidden ones included, relative to it.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

// Selects source in the PC pane as a click does.
void select(MediaExplorerModule &page, const QString &source)
{
    const QModelIndex row = page.pcModel()->index(source);
    page.tvPcFolders->selectionModel()->select(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    // The menu follows the pane that has the focus, which only an active window gives.
    page.window()->activateWindow();
    QTest::qWaitForWindowActive(page.window(), 5000);
    page.tvPcFolders->setFocus();
    page.setContextGUI(row);
}

// Gives a convert command ("MP3", "MPG", "MKV", "DVD") from the PC pane's menu.
bool trigger(MediaExplorerModule &page, const QString &command)
{
    for (QAction *action : page.pcContextMenu()->findChild<QMenu *>()->actions()) {
        if (action->text() == command && action->isVisible() && action->isEnabled()) {
            action->trigger();
            return true;
        }
    }
    return false;
}

bool idle(const MediaExplorerModule &page)
{
    return !page.isBusy() && !page.frStatusBar->isVisible();
}
} // namespace

// The real page offscreen: recordings made by ffmpeg, selected in the PC pane, converted through the menu.
class TestConversionPage : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QTemporaryDir scripts;   // stand-in converters, and a dvdauthor put first on the PATH
    QTemporaryDir recs;      // the recordings of the newer tests
    QTemporaryDir out;       // where they are converted to
    QTemporaryDir temporary; // the temporary folder while the page runs: nothing may be left in it
    QString ts, ts4, empty;
    const QByteArray path = qgetenv("PATH");
    QStringList messages;

    void answerBoxes(const QString &answer = QString())
    {
        messages.clear();
        MessageBox::setAnswerHook([this, answer](QDialog *box) {
            if (auto *check = box->findChild<QCheckBox *>())
                check->setChecked(true);
            else
                messages << static_cast<QMessageBox *>(box)->text();
            MessageBox::clickButton(box, answer);
        });
    }
    void useConverter(const QString &name, const QByteArray &body)
    {
        QVERIFY(writeScript(scripts.filePath(name), body));
        Settings::setString(Settings::PathVideoConversion, scripts.filePath(name));
    }

private slots:
    void initTestCase()
    {
        ts = recs.filePath("rec.ts");
        ts4 = recs.filePath("rec.ts4");
        empty = recs.filePath("empty.ts");
        const QStringList lavfi = {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=720x576:rate=25",
                                   "-f", "lavfi", "-i", "sine",  "-t", "2"};
        QCOMPARE(
            QProcess::execute("ffmpeg", lavfi + QStringList{"-c:v", "mpeg2video", "-c:a", "mp2", "-f", "mpegts", ts}),
            0);
        QCOMPARE(
            QProcess::execute("ffmpeg", lavfi + QStringList{"-c:v", "libx264", "-c:a", "aac", "-f", "mpegts", ts4}), 0);
        QFile file(empty);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(writeScript(scripts.filePath("crash"), "kill -SEGV $$\n"));
        QVERIFY(writeScript(scripts.filePath("stdin"), "cat > /dev/null\nexit 1\n"));
        QVERIFY(writeScript(scripts.filePath("full"), "for last; do :; done\necho part > \"$last\"\n"
                                                      "echo \"$last: No space left on device\" >&2\nexit 1\n"));
        QVERIFY(writeScript(scripts.filePath("damaged"),
                            "echo \"$2: Invalid data found when processing input\" >&2\nexit 1\n"));
        qputenv("TMPDIR", QFile::encodeName(temporary.path()));
    }
    void init()
    {
        QVERIFY(QDir(out.path()).removeRecursively() && QDir().mkpath(out.path()));
        Settings::setString(Settings::PathVideoConversion, QString());
        Settings::setString(Settings::DownloadFFmpegRequest, QString());
    }
    void cleanup()
    {
        MessageBox::setAnswerHook({});
        qputenv("PATH", path);
        QCOMPARE(filesBelow(temporary.path()), QStringList());
    }

    void conversion_data()
    {
        QTest::addColumn<QString>("converter"); // empty: the real ffmpeg
        QTest::addColumn<QString>("answer");    // to the converter question, its box ticked
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("mp3") << ""
                             << "" << QStringList();
        QTest::newRow("exit 1") << "/bin/false"
                                << "" << QStringList{"FFmpeg error accured. Input file is probably corrupted."};
        QTest::newRow("crash") << scripts.filePath("crash") << ""
                               << QStringList{"The process crashed some time after starting successfully."};
        QTest::newRow("stdin reader") << scripts.filePath("stdin") << ""
                                      << QStringList{"FFmpeg error accured. Input file is probably corrupted."};
        // A full disk is said as such; a damaged input keeps the text above.
        QTest::newRow("disk full") << scripts.filePath("full") << ""
                                   << QStringList{"There is not enough free space on the disk for " +
                                                  dir.filePath("disk full.mp3") + "."};
        QTest::newRow("damaged input") << scripts.filePath("damaged") << ""
                                       << QStringList{"FFmpeg error accured. Input file is probably corrupted."};
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
        SettingsWindow window;
        MediaExplorerModule page(&window);
        page.setGeneralMode(true);
        page.show();
        DialogAnswerer answerer;
        answerer.fileAnswers << target;
        answerBoxes(answer);
        select(page, source);
        QVERIFY(trigger(page, "MP3"));
        QCOMPARE(page.isBusy(), answer.isEmpty());
        if (converter == "/usr/bin/yes")
            page.btnCancelTransfer->click();
        QTRY_VERIFY_WITH_TIMEOUT(idle(page), 60000);
        QTEST(messages, "messages");
        QCOMPARE(Settings::getString(Settings::DownloadFFmpegRequest, "-1") == "1", answer == "&Yes");
        QCOMPARE(window.opened, answer == "&Yes" ? 1 : 0);
        QCOMPARE(QFileInfo(target).size() > 1000, converter.isEmpty());
    }

    // The other kinds through the page and the real programs: the result and nothing else, shown in the PC view.
    void conversionTypes_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("MPG") << "MPG" << ts << "out.mpg" << "format=format_name:stream=codec_name,width" << "mpeg2video 720 mp2 mpeg";
        QTest::newRow("MKV") << "MKV" << ts4 << "out.mkv" << "format=format_name:stream=codec_name" << "h264 aac matroska,webm";
        QTest::newRow("DVD") << "DVD" << ts << "Tom & Jerry <\"Żółw\">" << "" << "";
        // clang-format on
    }
    void conversionTypes()
    {
        QFETCH(QString, command);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, entries);
        QFETCH(QString, expected);
        const QString output = out.filePath(target);
        if (command == "DVD")
            QVERIFY(QDir().mkpath(output));
        MediaExplorerModule page;
        page.setGeneralMode(true);
        page.show();
        // Answered as a person does: a folder is entered, a file name typed (quotes in a folder name would
        // read as several names in the name field).
        QString caption;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            caption = dialog->windowTitle();
            if (dialog->fileMode() == QFileDialog::Directory)
                dialog->setDirectory(output);
            else
                dialog->selectFile(output);
            static_cast<QDialog *>(dialog)->accept();
        });
        answer.start(5);
        answerBoxes();
        select(page, source);
        QVERIFY(trigger(page, command));
        QVERIFY(page.isBusy());
        QTRY_VERIFY_WITH_TIMEOUT(idle(page), 120000);
        QCOMPARE(messages, QStringList());
        if (command == "DVD") {
            QCOMPARE(caption, "Choose directory");
            QStringList made = filesBelow(output);
            QVERIFY2(made.contains("DVD/VIDEO_TS/VIDEO_TS.IFO") && made.contains("DVD/VIDEO_TS/VTS_01_1.VOB"),
                     qPrintable(made.join(',')));
            QCOMPARE(made.filter(QRegularExpression("^(?!DVD/)")), QStringList()); // no intermediates beside it
        } else {
            QCOMPARE(probe(output, entries), expected);
            QCOMPARE(filesBelow(out.path()), QStringList{target});
        }
        QTRY_VERIFY(page.pcModel()->index(output).isValid());
        QCOMPARE(page.pcModel()->index(output).parent(), page.pcModel()->index(out.path()));
    }

    // The save dialog proposes the recording's name in its folder; a name typed without a suffix gets the
    // type's, which the converter picks the format by.
    void targetName_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("typed"); // empty: the proposed name is taken
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("proposed");
        // clang-format off
        QTest::newRow("MP3 proposed") << "MP3" << ts << "" << recs.filePath("rec.mp3") << recs.filePath("rec.mp3");
        QTest::newRow("MP3 no suffix") << "MP3" << ts << out.filePath("song") << out.filePath("song.mp3") << recs.filePath("rec.mp3");
        QTest::newRow("MPG no suffix") << "MPG" << ts << out.filePath("song") << out.filePath("song.mpg") << recs.filePath("rec.mpg");
        QTest::newRow("MKV no suffix") << "MKV" << ts4 << out.filePath("song") << out.filePath("song.mkv") << recs.filePath("rec.mkv");
        QTest::newRow("own suffix kept") << "MPG" << ts << out.filePath("song.MPEG") << out.filePath("song.MPEG") << recs.filePath("rec.mpg");
        // clang-format on
    }
    void targetName()
    {
        QFETCH(QString, command);
        QFETCH(QString, source);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QString, proposed);
        useConverter("writer", "for last; do :; done\necho converted > \"$last\"\n");
        MediaExplorerModule page;
        page.setGeneralMode(true);
        page.show();
        DialogAnswerer answerer;
        answerer.fileAnswers << (typed.isEmpty() ? proposed : typed);
        answerBoxes();
        select(page, source);
        QVERIFY(trigger(page, command));
        QTRY_VERIFY_WITH_TIMEOUT(idle(page), 30000);
        QCOMPARE(messages, QStringList());
        QCOMPARE(answerer.fileDialogs.size(), 1);
        QCOMPARE(answerer.fileDialogs.first().caption, "Save recording as");
        QCOMPARE(answerer.fileDialogs.first().proposed, proposed);
        QFile result(written);
        QVERIFY2(result.open(QIODevice::ReadOnly), qPrintable(filesBelow(out.path()).join(',')));
        QCOMPARE(result.readAll(), QByteArray("converted\n"));
        QVERIFY(!QFileInfo::exists(out.filePath("song")));
        QFile::remove(recs.filePath("rec.mp3"));
    }

    // An existing file under the name to be written (the suffix added to the typed name) is replaced only
    // after a Yes; a No keeps its bytes and converts nothing.
    void replaceQuestion_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("yes") << "&Yes" << QByteArray("converted\n");
        QTest::newRow("no") << "&No" << QByteArray("old bytes");
        QTest::newRow("escape") << "" << QByteArray("old bytes");
    }
    void replaceQuestion()
    {
        QFETCH(QString, answer);
        QFETCH(QByteArray, bytes);
        useConverter("writer", "for last; do :; done\necho converted > \"$last\"\n");
        QFile old(out.filePath("song.mp3"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old bytes") == 9);
        old.close();
        MediaExplorerModule page;
        page.setGeneralMode(true);
        page.show();
        DialogAnswerer answerer;
        answerer.fileAnswers << out.filePath("song");
        answerBoxes(answer);
        select(page, ts);
        QVERIFY(trigger(page, "MP3"));
        QTRY_VERIFY_WITH_TIMEOUT(idle(page), 30000);
        QCOMPARE(messages, QStringList{"This folder already contains a file named song.mp3. Would you like to replace "
                                       "existing file?"});
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), bytes);
        QCOMPARE(filesBelow(out.path()), QStringList{"song.mp3"});
    }

    // The recording itself chosen as the target is refused before anything is asked: a Yes to replacing it
    // must not be asked for what is refused anyway. The recording keeps its bytes.
    void targetIsTheRecording_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("source");
        QTest::newRow("MKV") << "MKV" << ts4;
        QTest::newRow("MPG") << "MPG" << ts;
        QTest::newRow("MP3") << "MP3" << ts;
    }
    void targetIsTheRecording()
    {
        QFETCH(QString, command);
        QFETCH(QString, source);
        useConverter("writer", "for last; do :; done\necho converted > \"$last\"\n");
        QFile recording(source);
        QVERIFY(recording.open(QIODevice::ReadOnly));
        const QByteArray bytes = recording.readAll();
        recording.close();
        MediaExplorerModule page;
        page.setGeneralMode(true);
        page.show();
        DialogAnswerer answerer;
        answerer.fileAnswers << source;
        answerBoxes("&Yes");
        select(page, source);
        QVERIFY(trigger(page, command));
        QTRY_VERIFY_WITH_TIMEOUT(idle(page), 30000);
        QCOMPARE(messages, QStringList{"The target is the recording itself. Please choose another file name."});
        QVERIFY(recording.open(QIODevice::ReadOnly));
        QCOMPARE(recording.readAll(), bytes);
        // The page is free for the next conversion.
        QVERIFY(!page.isBusy());
    }

    // A slow converter: the label counts what is written, the bar follows the estimate; a second conversion
    // and a copy are refused meanwhile; Cancel ends it without a word and leaves nothing.
    void progressAndCancel_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("source");
        QTest::addColumn<qint64>("written");
        QTest::addColumn<qint64>("total"); // the estimate of the command for the source
        const qint64 size = QFileInfo(ts).size(), size4 = QFileInfo(ts4).size();
        QTest::newRow("1.5 KB") << "MPG" << ts << qint64(1536) << size;
        QTest::newRow("three quarters") << "MPG" << ts << size * 3 / 4 << size;
        QTest::newRow("mkv first step, half") << "MKV" << ts4 << size4 << 2 * size4;
        QTest::newRow("empty recording") << "MPG" << empty << qint64(1536) << qint64(0);
        QTest::newRow("above the estimate") << "MP3" << ts << size / 10 << qint64(size / 42.9f);
    }
    void progressAndCancel()
    {
        QFETCH(QString, command);
        QFETCH(QString, source);
        QFETCH(qint64, written);
        QFETCH(qint64, total);
        useConverter("slow", "for last; do :; done\nhead -c " + QByteArray::number(written) +
                                 " /dev/zero > \"$last\"\nexec sleep 60\n");
        QVERIFY(QDir().mkpath(out.filePath("copies")));
        MediaExplorerModule page;
        page.setGeneralMode(true);
        page.show();
        DialogAnswerer answerer;
        answerer.fileAnswers << out.filePath("converted.x") << out.filePath("second.x");
        answerBoxes();
        select(page, source);
        QVERIFY(trigger(page, command));
        QVERIFY(page.isBusy() && page.frStatusBar->isVisible());
        // A copy dropped meanwhile is refused; the progress wait below gives it time to show if it ran.
        const QString payload = uriLineFromLocalPath(ts) + uriListSeparator();
        emit page.pcModel()->mimeDataDropped(out.filePath("copies"), payload);
        QTRY_COMPARE(page.lblStatusTransfer->text(), "Converting... (" + formatSize(written) + " converted)");
        if (written == 1536)
            QCOMPARE(page.lblStatusTransfer->text(), "Converting... (1.5 KB converted)");
        QCOMPARE(page.pgrStatus->maximum(), 100);
        QCOMPARE(page.pgrStatus->value(), total > 0 && written <= total ? int(written * 100 / total) : 0);
        QVERIFY(!page.lblStatusTransferTime->isVisible());
        QCOMPARE(filesBelow(out.filePath("copies")), QStringList());
        // A second command asks nothing and starts nothing.
        select(page, ts);
        trigger(page, "MP3");
        QCOMPARE(answerer.fileDialogs.size(), 1);
        QVERIFY(page.isBusy());

        page.btnCancelTransfer->click();
        QTRY_VERIFY_WITH_TIMEOUT(idle(page), 10000);
        QCOMPARE(messages, QStringList());
        QCOMPARE(filesBelow(out.path()), QStringList());
        // The page works again: the same drop copies now.
        emit page.pcModel()->mimeDataDropped(out.filePath("copies"), payload);
        QTRY_COMPARE(filesBelow(out.filePath("copies")), QStringList{"rec.ts"});
        QTRY_VERIFY(idle(page));
    }

    // The progress in the user's language: words and the size's notation.
    void progressInTheLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("German") << "de_DE"
                                << "Konvertierung... (1,5 KB konvertiert)";
        QTest::newRow("Polish") << "pl_PL"
                                << "Konwertowanie... (przekonwertowano 1,5 KB)";
    }
    void progressInTheLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, text);
        QTranslator translator;
        QVERIFY(loadTranslator(&translator, language));
        const auto english = qScopeGuard([&] { loadTranslator(&translator, "en_EN"); });
        useConverter("slow", "for last; do :; done\nhead -c 1536 /dev/zero > \"$last\"\nexec sleep 60\n");
        MediaExplorerModule page;
        page.setGeneralMode(true);
        page.show();
        DialogAnswerer answerer;
        answerer.fileAnswers << out.filePath("converted.mp3");
        answerBoxes();
        select(page, ts);
        QVERIFY(trigger(page, "MP3"));
        QTRY_COMPARE(page.lblStatusTransfer->text(), text);
        page.btnCancelTransfer->click();
        QTRY_VERIFY_WITH_TIMEOUT(idle(page), 10000);
        QCOMPARE(messages, QStringList());
        QCOMPARE(filesBelow(out.path()), QStringList());
    }

    // A conversion asked for while a copy runs starts nothing; once the copy is done it runs.
    void conversionDuringCopy()
    {
        useConverter("writer", "for last; do :; done\necho converted > \"$last\"\n");
        QVERIFY(QDir().mkpath(out.filePath("copies")));
        MediaExplorerModule page;
        page.setGeneralMode(true);
        page.show();
        DialogAnswerer answerer;
        answerer.fileAnswers << out.filePath("song.mp3");
        answerBoxes();
        emit page.pcModel()->mimeDataDropped(out.filePath("copies"), uriLineFromLocalPath(ts) + uriListSeparator());
        QVERIFY(page.isBusy());
        select(page, ts);
        trigger(page, "MP3");
        QCOMPARE(answerer.fileDialogs.size(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(idle(page), 10000);
        QCOMPARE(filesBelow(out.path()), QStringList{"copies/rec.ts"});
        select(page, ts);
        QVERIFY(trigger(page, "MP3"));
        QTRY_VERIFY_WITH_TIMEOUT(idle(page), 10000);
        QCOMPARE(answerer.fileDialogs.size(), 1);
        QCOMPARE(filesBelow(out.path()), (QStringList{"copies/rec.ts", "song.mp3"}));
        QCOMPARE(messages, QStringList());
    }

    // Cancel while dvdauthor runs: the half-made DVD and the intermediates go, no message comes.
    void cancelDuringAuthoring()
    {
        QVERIFY(writeScript(scripts.filePath("dvdauthor"),
                            "mkdir -p \"$2/VIDEO_TS\"\necho part > \"$2/VIDEO_TS/VIDEO_TS.IFO\"\nexec sleep 60\n"));
        qputenv("PATH", QFile::encodeName(scripts.path()) + ':' + path);
        const QString folder = out.filePath("disc");
        QVERIFY(QDir().mkpath(folder));
        MediaExplorerModule page;
        page.setGeneralMode(true);
        page.show();
        DialogAnswerer answerer;
        answerer.fileAnswers << folder;
        answerBoxes();
        select(page, ts);
        QVERIFY(trigger(page, "DVD"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(folder + "/DVD/VIDEO_TS/VIDEO_TS.IFO"), 60000);
        QVERIFY(page.isBusy());
        page.btnCancelTransfer->click();
        QTRY_VERIFY_WITH_TIMEOUT(idle(page), 10000);
        QCOMPARE(messages, QStringList());
        QCOMPARE(filesBelow(out.path()), QStringList());
        QVERIFY(!QFileInfo::exists(folder + "/DVD"));
    }

    // The failure texts in the user's language.
    // A file that is no recording is refused by the page in words of its own, not left to FFmpeg's failure;
    // a recording converts afterwards.
    void notARecording_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("message");
        QTest::newRow("text file") << "song.txt"
                                   << "en_EN"
                                   << "song.txt is not a recording Ombrelay can convert.";
        QTest::newRow("no suffix, de") << "News 20.15"
                                       << "de_DE"
                                       << "News 20.15 ist keine Aufnahme, die Ombrelay umwandeln kann.";
        // Offered by the menu, whose rule only looks at the end of the name.
        QTest::newRow("ends in ts, pl") << "charts.parts"
                                        << "pl_PL"
                                        << "charts.parts nie jest nagraniem, które Ombrelay potrafi przekonwertować.";
    }
    void notARecording()
    {
        QFETCH(QString, name);
        QFETCH(QString, language);
        QFETCH(QString, message);
        const QString odd = out.filePath(name);
        QFile file(odd);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("just some text\n") > 0);
        file.close();
        QTranslator translator;
        loadTranslator(&translator, language);
        const auto english = qScopeGuard([&] { loadTranslator(&translator, "en_EN"); });
        Settings::setString(Settings::PathVideoConversion, QString()); // the real ffmpeg
        MediaExplorerModule page;
        page.setGeneralMode(true);
        page.show();
        DialogAnswerer answerer;
        const QString target = out.filePath("after.mp3");
        answerer.fileAnswers << target; // for the recording afterwards
        answerBoxes();
        select(page, odd);
        // The command as the menu gives it, also where the menu does not offer it.
        if (!trigger(page, "MP3"))
            QVERIFY(QMetaObject::invokeMethod(&page, "onTranscodePressedMP3"));
        QTRY_VERIFY_WITH_TIMEOUT(idle(page), 30000);
        QCOMPARE(messages, QStringList{message});
        QCOMPARE(answerer.fileAnswers.size(), 1); // no target was asked for
        // The next command on a recording converts it.
        messages.clear();
        select(page, ts);
        QVERIFY(trigger(page, "MP3"));
        QTRY_VERIFY_WITH_TIMEOUT(idle(page), 60000);
        QCOMPARE(messages, QStringList());
        QVERIFY(QFileInfo(target).size() > 1000);
    }

    void translatedMessages_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("converter");
        QTest::addColumn<QString>("message");
        QTest::newRow("de crash") << "de_DE" << scripts.filePath("crash")
                                  << "Der Prozess ist nach erfolgreichem Start abgestürzt.";
        QTest::newRow("de exit 1") << "de_DE"
                                   << "/bin/false"
                                   << "FFmpeg-Fehler aufgetreten. Die Eingabedatei ist wahrscheinlich beschädigt.";
        QTest::newRow("pl crash") << "pl_PL" << scripts.filePath("crash")
                                  << "Proces uległ awarii po prawidłowym uruchomieniu.";
        QTest::newRow("pl exit 1") << "pl_PL"
                                   << "/bin/false"
                                   << "Wystąpił błąd FFmpeg. Plik wejściowy jest prawdopodobnie uszkodzony.";
    }
    void translatedMessages()
    {
        QFETCH(QString, language);
        QFETCH(QString, converter);
        QFETCH(QString, message);
        QTranslator translator;
        QVERIFY(loadTranslator(&translator, language));
        Settings::setString(Settings::PathVideoConversion, converter);
        MediaExplorerModule page;
        page.setGeneralMode(true);
        page.show();
        DialogAnswerer answerer;
        answerer.fileAnswers << out.filePath("song.mp3");
        answerBoxes();
        select(page, ts);
        QVERIFY(trigger(page, "MP3"));
        QTRY_VERIFY_WITH_TIMEOUT(idle(page), 30000);
        loadTranslator(&translator, "en_EN");
        QCOMPARE(messages, QStringList{message});
    }
};

OMBRELAY_TEST_MAIN(TestConversionPage)
#include "tst_conversionpage.moc"
