#include "testmain.h"

#include "widgets/messagebox.h"
#include "base/settings.h"
#include "app/settingspage.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

class TestSettingsPage : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;

    QString folder(const QString &name) const
    {
        const QString path = dir->filePath(name);
        QDir().mkpath(path);
        return path;
    }
    QString file(const QString &name, bool executable) const
    {
        const QString path = dir->filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write("#!/bin/sh\n");
        f.close();
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
        if (executable)
            permissions |= QFile::ExeOwner;
        f.setPermissions(permissions);
        return path;
    }

private slots:
    void init()
    {
        QSettings().clear();
        dir = std::make_unique<QTemporaryDir>();
        Settings::setString(Settings::PathPictures, folder("pictures"));
        Settings::setString(Settings::PathVideo, folder("video"));
        Settings::setString(Settings::PathMusic, folder("music"));
    }
    void cleanup()
    {
        MessageBox::setAnswerHook({});
        QSettings().clear();
    }

    void constructionFillsAndChecksFields()
    {
        SettingsPage page;
        QCOMPARE(page.pathPicturesLineEdit->text(), QDir::toNativeSeparators(folder("pictures")));
        QCOMPARE(page.pathPicturesLineEdit->cursorPosition(), 0);
        QCOMPARE(page.pathConvertVideoLineEdit->text(), QString());
        QVERIFY(page.allPathsValid());
        QVERIFY(page.pathPicturesWarningLabel->isHidden());
        QVERIFY(page.pathConvertVideoWarningLabel->isHidden());
        QVERIFY(page.lblWarning->isHidden());
        QVERIFY(!page.removeDevicesPushButton->isEnabled());
    }

    void missingPicturesFolderWarnsAndBlocksLeaving()
    {
        // A usable converter, so opening the page again leaves its field as it is.
        Settings::setString(Settings::PathVideoConversion, file(QStringLiteral("ffmpeg"), true));
        SettingsPage page;
        const QString stored = Settings::getString(Settings::PathPictures, QString());
        page.pathPicturesLineEdit->setText(dir->filePath("nowhere"));
        QVERIFY(!page.pathPicturesWarningLabel->isHidden());
        QCOMPARE(page.pathPicturesWarningLabel->toolTip(), QStringLiteral("Path does not exist."));
        QVERIFY(!page.lblWarning->isHidden());
        QVERIFY(!page.picTopWarning->isHidden());
        QCOMPARE(page.lblWarning->text(), QStringLiteral("Warning. Some fields are empty or incorrect."));
        QCOMPARE(page.warningText(), QStringLiteral("Warning. Some fields are empty or incorrect."));
        QVERIFY(!page.allPathsValid());
        QCOMPARE(Settings::getString(Settings::PathPictures, QString()), stored);

        page.prepareToShow();
        QVERIFY(page.lblWarning->isHidden());
        page.showLeaveRefused();
        QVERIFY(!page.lblWarning->isHidden());
        QCOMPARE(page.lblWarning->styleSheet(), QStringLiteral("QLabel { color: rgb(170,0,0); }"));

        page.pathPicturesLineEdit->setText(folder("other pictures"));
        QVERIFY(page.allPathsValid());
        QVERIFY(page.lblWarning->isHidden());
        QCOMPARE(Settings::getString(Settings::PathPictures, QString()), QDir(folder("other pictures")).absolutePath());
    }

    void emptiedMediaFieldIsInvalid()
    {
        SettingsPage page;
        page.pathMusicLineEdit->clear();
        QVERIFY(!page.allPathsValid());
        QVERIFY(!page.pathMusicWarningLabel->isHidden());
    }

    void mediaFolderStoredAbsolute()
    {
        SettingsPage page;
        const QString messy = folder("video") + QStringLiteral("/../video/.");
        page.pathVideoLineEdit->setText(messy);
        QVERIFY(page.allPathsValid());
        QCOMPARE(Settings::getString(Settings::PathVideo, QString()), QDir(messy).absolutePath());
    }

    void converterPath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind"); // 0 executable file, 1 plain file, 2 missing, 3 relative, 4 empty, 5 folder
        QTest::addColumn<bool>("valid");
        QTest::newRow("executable") << "ffmpeg" << 0 << true;
        QTest::newRow("not executable") << "ffmpeg.exe" << 1 << false;
        QTest::newRow("missing") << "ffmpeg" << 2 << false;
        QTest::newRow("relative") << "ffmpeg" << 3 << false;
        QTest::newRow("empty") << "" << 4 << true;
        QTest::newRow("folder") << "bin" << 5 << false;
    }
    void converterPath()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(bool, valid);
        QString text;
        switch (kind) {
        case 0:
            text = file(name, true);
            break;
        case 1:
            text = file(name, false);
            break;
        case 2:
            text = dir->filePath(name);
            break;
        case 3:
            file(name, true);
            text = name;
            break;
        case 4:
            break;
        case 5:
            text = folder(name);
            break;
        }
        Settings::setString(Settings::PathVideoConversion, QStringLiteral("/previous/ffmpeg"));
        SettingsPage page;
        page.pathConvertVideoLineEdit->setText(text);
        QCOMPARE(page.allPathsValid(), valid);
        QCOMPARE(page.pathConvertVideoWarningLabel->isHidden(), valid);
        QCOMPARE(page.pathConvertVideoWarningLabel->toolTip(),
                 valid ? QString() : QStringLiteral("Path is not correct."));
        // Valid texts (also the empty one) are stored as typed; invalid ones leave the stored value.
        QSettings raw;
        QCOMPARE(raw.value("PathVideoConversion").toString(), valid ? text : QStringLiteral("/previous/ffmpeg"));
    }

    void openingOffersProgramDefault()
    {
        SettingsPage page;
        page.pathConvertVideoLineEdit->clear();
        QCOMPARE(QSettings().value("PathVideoConversion").toString(), QString());
        page.prepareToShow();
        QCOMPARE(page.pathConvertVideoLineEdit->text(), QDir::toNativeSeparators(Settings::ffmpegDefaultPath()));
        QCOMPARE(page.allPathsValid(), SettingsPage::isUsableProgram(Settings::ffmpegDefaultPath()));
    }

    void defaultButtons()
    {
        SettingsPage page;
        QTest::mouseClick(page.pathPicturesDefaultPushButton, Qt::LeftButton);
        QCOMPARE(page.pathPicturesLineEdit->text(),
                 QDir::toNativeSeparators(SettingsPage::defaultMediaFolder(QStandardPaths::PicturesLocation)));
        QTest::mouseClick(page.pathConvertVideoDefaultPushButton, Qt::LeftButton);
        QCOMPARE(page.pathConvertVideoLineEdit->text(), Settings::ffmpegDefaultPath());
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
            QVERIFY(QDir(home.path()).mkpath(name));
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        const auto restoreHome = qScopeGuard([&oldHome] { qputenv("HOME", oldHome); });
        const QString expectedPictures = pictures.isEmpty() ? home.path() : home.filePath(pictures);
        const QString expectedMusic = music.isEmpty() ? home.path() : home.filePath(music);

        QCOMPARE(SettingsPage::defaultMediaFolder(QStandardPaths::PicturesLocation), expectedPictures);
        QCOMPARE(SettingsPage::defaultMediaFolder(QStandardPaths::MusicLocation), expectedMusic);

        // Nothing stored yet: the page opens valid and can be left.
        QSettings().clear();
        SettingsPage page;
        QCOMPARE(page.pathPicturesLineEdit->text(), QDir::toNativeSeparators(expectedPictures));
        QCOMPARE(page.pathMusicLineEdit->text(), QDir::toNativeSeparators(expectedMusic));
        QVERIFY(page.allPathsValid());
        QVERIFY(page.lblWarning->isHidden());
        QVERIFY(page.pathVideoWarningLabel->isHidden());
        QTest::mouseClick(page.pathMusicDefaultPushButton, Qt::LeftButton);
        QCOMPARE(page.pathMusicLineEdit->text(), QDir::toNativeSeparators(expectedMusic));
        QVERIFY(page.allPathsValid());
    }

    void storedMissingFolderIsKept()
    {
        const QString gone = dir->filePath(QStringLiteral("gone"));
        Settings::setString(Settings::PathVideo, gone);
        SettingsPage page;
        QCOMPARE(page.pathVideoLineEdit->text(), QDir::toNativeSeparators(gone));
        QVERIFY(!page.allPathsValid());
        QCOMPARE(Settings::getString(Settings::PathVideo, QString()), gone);
    }

    void selectButtonTakesChosenFolder()
    {
        SettingsPage page;
        const QString target = folder("chosen");
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Select music path"));
                dialog->setDirectory(target);
                static_cast<QDialog *>(dialog)->accept();
            }
        });
        answer.start(20);
        QTest::mousePress(page.pathMusicPushButton, Qt::LeftButton);
        QTest::mouseRelease(page.pathMusicPushButton, Qt::LeftButton);
        QCOMPARE(page.pathMusicLineEdit->text(), QDir::toNativeSeparators(target));
        QCOMPARE(Settings::getString(Settings::PathMusic, QString()), target);
    }

    void languageButtons_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("button");
        QTest::newRow("German") << "de_DE"
                                << "radioButton_2";
        QTest::newRow("Polish") << "pl_PL"
                                << "radioButton_3";
        QTest::newRow("English") << "en_EN"
                                 << "englishRadioButton";
        QTest::newRow("unknown") << "fr_FR"
                                 << "englishRadioButton";
        QTest::newRow("case differs") << "DE_de"
                                      << "englishRadioButton";
    }
    void languageButtons()
    {
        QFETCH(QString, lang);
        QFETCH(QString, button);
        SettingsPage page;
        page.radioButton_3->setChecked(true);
        page.selectLanguageButton(lang);
        auto *checked = page.pnlLanguageSelection->findChild<QRadioButton *>(button);
        QVERIFY(checked);
        QVERIFY(checked->isChecked());
    }

    void changingLanguageStoresLoadsAndTells_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("language");
        QTest::newRow("German") << "radioButton_2"
                                << "de_DE";
        QTest::newRow("Polish") << "radioButton_3"
                                << "pl_PL";
    }
    void changingLanguageStoresLoadsAndTells()
    {
        QFETCH(QString, button);
        QFETCH(QString, language);
        const char *warning = "Warning. Some fields are empty or incorrect.";
        SettingsPage page;
        QTranslator translator;
        page.setTranslator(&translator);
        page.pathVideoLineEdit->setText(dir->filePath("nowhere"));
        QSignalSpy spy(&page, &SettingsPage::languageChanged);
        page.pnlLanguageSelection->findChild<QRadioButton *>(button)->click();
        QCOMPARE(Settings::getString(Settings::PreferredLanguage, QString()), language);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), language);
        QVERIFY(!translator.isEmpty());
        QCOMPARE(translator.language(), language);
        // The page itself, its warning too, follows the installed language.
        QTRY_COMPARE(page.pathPicturesDefaultPushButton->text(),
                     QCoreApplication::translate("SettingsPage", "Default"));
        QVERIFY(page.pathPicturesDefaultPushButton->text() != QStringLiteral("Default"));
        QTRY_COMPARE(page.lblWarning->text(), QCoreApplication::translate("SettingsPage", warning));
        QVERIFY(page.lblWarning->text() != QLatin1String(warning));
        page.englishRadioButton->click();
        QCOMPARE(Settings::getString(Settings::PreferredLanguage, QString()), QStringLiteral("en_EN"));
        QTRY_COMPARE(page.pathPicturesDefaultPushButton->text(), QStringLiteral("Default"));
        QTRY_COMPARE(page.lblWarning->text(), QLatin1String(warning));
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
        QCOMPARE(page.deviceListWidget->count(), 3);
        QCOMPARE(page.deviceListWidget->item(1)->text(), QStringLiteral("Kitchen"));
        QCOMPARE(page.deviceListWidget->item(1)->data(Qt::UserRole).toUInt(), 4u);
        QVERIFY(!page.removeDevicesPushButton->isEnabled());
        page.deviceListWidget->item(2)->setSelected(true);
        page.deviceListWidget->item(0)->setSelected(true);
        QVERIFY(page.removeDevicesPushButton->isEnabled());

        QStringList asked;
        MessageBox::setAnswerHook([&](QDialog *box) {
            asked << qobject_cast<QMessageBox *>(box)->text();
            QVERIFY(MessageBox::clickButton(box, confirm ? QStringLiteral("&Yes") : QStringLiteral("&No")));
        });
        QList<quint32> removed;
        connect(&page, &SettingsPage::removeDevicesRequest, this, [&](const QList<quint32> &ids) {
            removed = ids;
            for (quint32 id : ids)
                devices.removeIf([id](const DeviceListEntry &e) { return e.id == id; });
        });
        QTest::mousePress(page.removeDevicesPushButton, Qt::LeftButton);
        QCOMPARE(asked, QStringList{"Do you want to remove selected devices from list?"});
        if (confirm) {
            QCOMPARE(removed, (QList<quint32>{1, 2}));
            QCOMPARE(page.deviceListWidget->count(), 1);
            QCOMPARE(page.deviceListWidget->item(0)->text(), QStringLiteral("Kitchen"));
            QVERIFY(!page.removeDevicesPushButton->isEnabled());
        } else {
            QVERIFY(removed.isEmpty());
            QCOMPARE(page.deviceListWidget->count(), 3);
        }
    }

    void screenshot()
    {
        const QString shots = qEnvironmentVariable("OMBRELAY_SCREENSHOT_DIR");
        if (shots.isEmpty())
            QSKIP("only when a screenshot folder is given");
        QFile sheet(QStringLiteral(":/styles/style"));
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
        QList<DeviceListEntry> devices{{1, "Living room"}, {2, "Kitchen"}};
        SettingsPage page;
        page.setDeviceListSource([&devices] { return devices; });
        // As the start-up does, so the picture shows the page as the user sees it.
        page.selectLanguageButton(Settings::getString(Settings::PreferredLanguage, QStringLiteral("en_EN")));
        page.resize(1285, 670);
        page.pathMusicLineEdit->setText(dir->filePath("nowhere"));
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QVERIFY(page.grab().save(shots + QStringLiteral("/settingspage.png")));
        qApp->setStyleSheet(QString());
    }
};

OMBRELAY_TEST_MAIN(TestSettingsPage)
#include "tst_settingspage.moc"
