#include "appfixture.h"
#include "testmain.h"

#include "app/settingspage.h"

#include <QDir>
#include <QFileDialog>
#include <QScopeGuard>
#include <QSet>
#include <QSignalSpy>
#include <QTimer>
#include <QTranslator>

class TestSettingsPage : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;

    QString folder(const QString &name) const
    {
        QDir().mkpath(dir->filePath(name));
        return dir->filePath(name);
    }
    QString file(const QString &name, bool executable) const
    {
        QFile f(dir->filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\n");
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | (executable ? QFile::ExeOwner : QFile::Permission()));
        return f.fileName();
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        freshSettings(*dir);
    }
    void cleanup() { MessageBox::setAnswerHook({}); }

    void mediaFolder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("stored"); // else typed
        QTest::newRow("existing") << "pictures" << true << false;
        QTest::newRow("stored absolute") << "pictures/../pictures/." << true << false;
        QTest::newRow("missing") << "nowhere" << false << false;
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("stored missing is kept") << "gone" << false << true;
    }
    void mediaFolder()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(bool, stored);
        folder("pictures");
        const QString typed = text.isEmpty() ? text : dir->filePath(text);
        if (stored)
            Settings::setString(Settings::PathPictures, typed);
        SettingsPage page;
        QCOMPARE(page.allPathsValid(), !stored);
        QCOMPARE(page.pathPicturesLineEdit->text(), stored ? typed : dir->path());
        page.pathPicturesLineEdit->clear();
        page.pathPicturesLineEdit->setText(typed);
        QCOMPARE(page.allPathsValid(), valid);
        QCOMPARE(page.pathPicturesWarningLabel->isHidden(), valid);
        QCOMPARE(page.pathPicturesWarningLabel->toolTip(), valid ? "" : "Path does not exist.");
        QCOMPARE(page.lblWarning->isHidden(), valid);
        if (!valid)
            QCOMPARE(page.lblWarning->text(), QStringLiteral("Warning. Some fields are empty or incorrect."));
        // Nothing is stored while typing; leaving the page stores a valid folder, cleaned, and an invalid
        // one keeps the page and the stored value.
        QCOMPARE(Settings::getString(Settings::PathPictures, QString()), stored ? typed : dir->path());
        QCOMPARE(page.leave(), valid);
        QCOMPARE(page.lblWarning->isHidden(), valid);
        QCOMPARE(Settings::getString(Settings::PathPictures, QString()), valid    ? QDir(typed).absolutePath()
                                                                         : stored ? typed
                                                                                  : dir->path());
        // Opening the page offers the converter default.
        page.prepareToShow();
        page.pathConvertVideoLineEdit->clear();
        QTest::mouseClick(page.pathConvertVideoDefaultPushButton, Qt::LeftButton);
        QCOMPARE(page.pathConvertVideoLineEdit->text(), Settings::ffmpegDefaultPath());
        // The field's warning mark is really painted on the page, not just flagged.
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        const QWidget *mark = page.pathPicturesWarningLabel;
        const QImage shown = page.grab(QRect(mark->mapTo(&page, QPoint()), mark->size())).toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                colours.insert(shown.pixel(x, y));
        QCOMPARE(colours.size() > 3, !valid);
    }

    void converterPath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("valid");
        QTest::newRow("executable") << "ffmpeg"
                                    << "exe" << true;
        QTest::newRow("not executable") << "ffmpeg.exe"
                                        << "plain" << false;
        QTest::newRow("missing") << "ffmpeg"
                                 << "missing" << false;
        QTest::newRow("relative") << "ffmpeg"
                                  << "relative" << false;
        QTest::newRow("empty") << ""
                               << "empty" << true;
        QTest::newRow("folder") << "bin"
                                << "folder" << false;
    }
    void converterPath()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, valid);
        QString text = kind == "folder" ? folder(name) : kind == "missing" ? dir->filePath(name) : QString();
        if (kind == "exe" || kind == "plain" || kind == "relative")
            text = file(name, kind != "plain");
        // From the working folder the relative name does name an executable file.
        const QString cwd = QDir::currentPath();
        const auto back = qScopeGuard([&cwd] { QDir::setCurrent(cwd); });
        QDir::setCurrent(dir->path());
        if (kind == "relative") {
            text = name;
            QVERIFY(QFileInfo(text).isFile() && QFileInfo(text).isExecutable());
        }
        Settings::setString(Settings::PathVideoConversion, QStringLiteral("/previous/ffmpeg"));
        SettingsPage page;
        page.pathConvertVideoLineEdit->setText(text);
        QCOMPARE(page.allPathsValid(), valid);
        QCOMPARE(page.pathConvertVideoWarningLabel->isHidden(), valid);
        QCOMPARE(page.pathConvertVideoWarningLabel->toolTip(), valid ? "" : "Path is not correct.");
        // Nothing is stored while typing. Leaving stores valid texts (the empty one too) as typed; invalid
        // ones keep the page and the stored value.
        QCOMPARE(QSettings().value("PathVideoConversion").toString(), QStringLiteral("/previous/ffmpeg"));
        QCOMPARE(page.leave(), valid);
        QCOMPARE(QSettings().value("PathVideoConversion").toString(), valid ? text : "/previous/ffmpeg");
    }

    // A fresh account whose home holds only the folders named by existing.
    void defaultFolderExists_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("pictures");
        QTest::addColumn<QString>("music");
        QTest::newRow("media folders") << QStringList{"Pictures", "Music", "Documents"} << "Pictures"
                                       << "Music";
        QTest::newRow("documents only") << QStringList{"Documents"} << "Documents"
                                        << "Documents";
        QTest::newRow("nothing") << QStringList{} << ""
                                 << "";
        QTest::newRow("pictures only") << QStringList{"Pictures"} << "Pictures"
                                       << "";
    }
    void defaultFolderExists()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, pictures);
        QFETCH(QString, music);
        QTemporaryDir home;
        for (const QString &name : existing)
            QDir(home.path()).mkpath(name);
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        const auto restoreHome = qScopeGuard([&oldHome] { qputenv("HOME", oldHome); });
        QSettings().clear();
        SettingsPage page; // nothing stored: the page opens valid and can be left
        QCOMPARE(page.pathPicturesLineEdit->text(), pictures.isEmpty() ? home.path() : home.filePath(pictures));
        QCOMPARE(page.pathMusicLineEdit->text(), music.isEmpty() ? home.path() : home.filePath(music));
        QVERIFY(page.allPathsValid());
        QTest::mouseClick(page.pathMusicDefaultPushButton, Qt::LeftButton);
        QCOMPARE(page.pathMusicLineEdit->text(), music.isEmpty() ? home.path() : home.filePath(music));
    }

    void browsingTakesTheChosenFolder()
    {
        SettingsPage page;
        QTimer answer; // the folder dialog runs modally: answered from the event loop
        connect(&answer, &QTimer::timeout, this, [&] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Select music path"));
                dialog->setDirectory(folder("chosen"));
                static_cast<QDialog *>(dialog)->accept();
            }
        });
        answer.start(20);
        QTest::mousePress(page.pathMusicPushButton, Qt::LeftButton);
        QCOMPARE(page.pathMusicLineEdit->text(), dir->filePath("chosen"));
        QVERIFY(page.leave());
        QCOMPARE(Settings::getString(Settings::PathMusic, QString()), dir->filePath("chosen"));
    }

    void changingLanguage_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("language");
        QTest::newRow("German") << "radioButton_2"
                                << "de_DE";
        QTest::newRow("Polish") << "radioButton_3"
                                << "pl_PL";
    }
    void changingLanguage()
    {
        QFETCH(QString, button);
        QFETCH(QString, language);
        const QString warning("Warning. Some fields are empty or incorrect.");
        SettingsPage page;
        QTranslator translator;
        page.setTranslator(&translator);
        page.pathVideoLineEdit->setText(dir->filePath("nowhere"));
        QSignalSpy spy(&page, &SettingsPage::languageChanged);
        page.pnlLanguageSelection->findChild<QRadioButton *>(button)->click();
        QCOMPARE(Settings::getString(Settings::PreferredLanguage, QString()), language);
        QCOMPARE(spy, QList<QList<QVariant>>{{language}});
        QCOMPARE(translator.language(), language);
        // The page, its warning too, follows the installed language.
        QTRY_COMPARE(page.lblWarning->text(), QCoreApplication::translate("SettingsPage", qPrintable(warning)));
        QVERIFY(page.lblWarning->text() != warning);
        page.englishRadioButton->click();
        QCOMPARE(Settings::getString(Settings::PreferredLanguage, QString()), QStringLiteral("en_EN"));
        QTRY_COMPARE(page.lblWarning->text(), warning);
        QCOMPARE(spy.count(), 2);
    }

    void removingSelectedDevices_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void removingSelectedDevices()
    {
        QFETCH(bool, confirm);
        QList<DeviceListEntry> devices{{1, "Living room"}, {4, "Kitchen"}, {2, "Bedroom"}};
        SettingsPage page;
        page.setDeviceListSource([&devices] { return devices; });
        QVERIFY(!page.removeDevicesPushButton->isEnabled());
        page.deviceListWidget->item(2)->setSelected(true);
        page.deviceListWidget->item(0)->setSelected(true);
        BoxAnswers boxes;
        boxes.answers = {confirm};
        QList<quint32> removed;
        connect(&page, &SettingsPage::removeDevicesRequest, this, [&](const QList<quint32> &ids) {
            removed = ids;
            devices.removeIf([&ids](const DeviceListEntry &e) { return ids.contains(e.id); });
        });
        QTest::mousePress(page.removeDevicesPushButton, Qt::LeftButton);
        QCOMPARE(boxes.texts, QStringList{"Do you want to remove selected devices from list?"});
        QCOMPARE(removed, (confirm ? QList<quint32>{1, 2} : QList<quint32>{}));
        QCOMPARE(page.deviceListWidget->count(), confirm ? 1 : 3);
        QCOMPARE(page.deviceListWidget->item(confirm ? 0 : 1)->text(), QStringLiteral("Kitchen"));
        QCOMPARE(page.removeDevicesPushButton->isEnabled(), !confirm);
    }
};

OMBRELAY_TEST_MAIN(TestSettingsPage)
#include "tst_settingspage.moc"
