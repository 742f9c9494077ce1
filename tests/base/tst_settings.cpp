#include "testmain.h"

#include "base/settings.h"
#include "base/translatorloader.h"
#include "support/unwritablesettings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>

// The settings store against the real per-user settings file of this test executable, and the
// translations loaded from the compiled-in files.
class TestSettings : public QObject
{
    Q_OBJECT

    QTranslator translator;

    static QString raw(Settings::setingKey key) { return QSettings().value(Settings::keyName(key)).toString(); }
    static void setRaw(Settings::setingKey key, const QString &value)
    {
        QSettings().setValue(Settings::keyName(key), value);
    }

private slots:
    void init() { QSettings().clear(); }
    void cleanup() { loadTranslator(&translator, QStringLiteral("en_EN")); }

    // Every setter says whether the store took the value; the words for a failure name the file. Once the
    // store takes writes again, the next write reaches the file.
    void checkedWrites()
    {
        QVERIFY(Settings::setString(Settings::PathMusic, QStringLiteral("/music")));
        {
            UnwritableSettings store;
            QVERIFY(store.made);
            QVERIFY(!Settings::setString(Settings::PathVideo, QStringLiteral("/video")));
            QVERIFY(!Settings::setBool(Settings::PrintGrid, false));
            QVERIFY(!Settings::setStringList(Settings::RecentFileList, {QStringLiteral("/a")}));
            QVERIFY(!Settings::setSize(Settings::AppWindowSize, QSize(800, 600)));
            QVERIFY(!Settings::setPoint(Settings::AppWindowPosition, QPoint(10, 20)));
            QVERIFY(!Settings::setMap(Settings::PathPictures, {{1, QStringLiteral("a")}}));
            QVERIFY(Settings::keepUnreadCopy(Settings::OmbrelayDeviceList, QStringLiteral("<devices")).isEmpty());
            QCOMPARE(
                Settings::writeFailureText(),
                QStringLiteral("The settings could not be saved to \"%1\".").arg(QDir::toNativeSeparators(store.file)));
        }
        QVERIFY(Settings::setBool(Settings::PrintGrid, true));
        QFile file(QSettings().fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray onDisk = file.readAll();
        for (const char *written : {"/music", "/video", "printGrid=true"})
            QVERIFY2(onDisk.contains(written), written);
    }

    // A stored text that could not be read is kept beside its key, once per text.
    void unreadCopies()
    {
        const QString first = Settings::keepUnreadCopy(Settings::OmbrelayDeviceList, QStringLiteral("one"));
        QVERIFY2(first.startsWith(QStringLiteral("OmbrelayDeviceListUnread/")), qPrintable(first));
        QCOMPARE(Settings::keepUnreadCopy(Settings::OmbrelayDeviceList, QStringLiteral("one")), first);
        const QString second = Settings::keepUnreadCopy(Settings::OmbrelayDeviceList, QStringLiteral("two"));
        QVERIFY(!second.isEmpty() && second != first);
        QCOMPARE(QSettings().value(first).toString(), QStringLiteral("one"));
        QCOMPARE(QSettings().value(second).toString(), QStringLiteral("two"));
        QCOMPARE(Settings::keepUnreadCopy(Settings::setingKey(99), QStringLiteral("x")), QString());
    }

    void textsAndFlags()
    {
        Settings::setString(Settings::PreferredLanguage, QString()); // empty reads as absent
        QCOMPARE(Settings::getString(Settings::PreferredLanguage, "en_EN"), QStringLiteral("en_EN"));
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, {"x"}), QStringList{"x"});
        for (const char *text : {"True", "1", "false"}) { // a flag is true only for exactly "true"
            setRaw(Settings::PrintGrid, text);
            QVERIFY2(!Settings::getBool(Settings::PrintGrid, true), text);
        }
        Settings::setBool(Settings::PrintGrid, true);
        QCOMPARE(raw(Settings::PrintGrid), QStringLiteral("true"));
        QVERIFY(Settings::getBool(Settings::PrintGrid, false));
    }

    // Lists are one text: stored texts of earlier versions read as before, and a ";" inside an entry survives.
    void lists_data()
    {
        QTest::addColumn<QString>("stored"); // null: no fixed stored form
        QTest::addColumn<QStringList>("list");
        QTest::newRow("paths") << "/a/x.tvqvxc;/b/y.tvqvxc" << QStringList{"/a/x.tvqvxc", "/b/y.tvqvxc"};
        QTest::newRow("empty entries kept") << "a;;b;" << QStringList{"a", "", "b", ""};
        QTest::newRow("trailing backslash last") << "a;C:\\dir\\" << QStringList{"a", "C:\\dir\\"};
        QTest::newRow("backslash before semicolon") << QString() << QStringList{"/tmp/a\\;b", "c\\\\;d"};
        QTest::newRow("backslash at entry end") << QString() << QStringList{"a\\", "b\\\\", "c\\"};
    }
    void lists()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, list);
        if (!stored.isNull()) {
            setRaw(Settings::RecentFileList, stored);
            QCOMPARE(Settings::getStringList(Settings::RecentFileList, {"x"}), list);
        }
        Settings::setStringList(Settings::RecentFileList, list);
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, {"x"}), list);
        if (!stored.isNull())
            QCOMPARE(raw(Settings::RecentFileList), stored);
    }

    void mapsInKeyOrder()
    {
        Settings::setMap(Settings::RecentOpenDir, {{2, "b"}, {1, "a"}});
        QCOMPARE(raw(Settings::RecentOpenDir), QStringLiteral("1:a|2:b|"));
        setRaw(Settings::RecentOpenDir, "1:a|x|3:c:d|2:b|4:a|4:z|k:v"); // bad pieces skipped, the later key wins
        QCOMPARE(Settings::getMap(Settings::RecentOpenDir),
                 (QMap<int, QString>{{0, "v"}, {1, "a"}, {2, "b"}, {4, "z"}}));
    }

    void toolBesideTheProgramComesFirst()
    {
        // With nothing beside the program the tool is looked up on the PATH.
        const QString onPath = QStandardPaths::findExecutable(QStringLiteral("dvdauthor"));
        const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/tools/");
        QCOMPARE(Settings::dvdauthorPath(), onPath.isEmpty() ? dir + "DVDAuthor/dvdauthor.exe" : onPath);
        QFile tool(dir + QStringLiteral("FFmpeg/ffmpeg.exe"));
        QVERIFY(QDir().mkpath(dir + QStringLiteral("FFmpeg")));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.close();
        QVERIFY(tool.setPermissions(tool.permissions() | QFileDevice::ExeOwner));
        const QString found = Settings::ffmpegDefaultPath();
        QDir(dir).removeRecursively();
        QCOMPARE(found, tool.fileName());
    }

    void languages_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("yes");
        QTest::newRow("German") << "de_DE"
                                << "&Ja";
        QTest::newRow("Polish") << "pl_PL"
                                << "&Tak";
        QTest::newRow("English") << "en_EN"
                                 << "&Yes";
        QTest::newRow("no such file") << "fr_FR"
                                      << "&Yes";
    }
    void languages()
    {
        QFETCH(QString, language);
        QFETCH(QString, yes);
        // Loading one language after another leaves only the last; a failed load leaves none.
        QVERIFY(loadTranslator(&translator, QStringLiteral("pl_PL")));
        if (language == QLatin1String("fr_FR"))
            QTest::ignoreMessage(QtDebugMsg, "Can not load translator");
        QCOMPARE(loadTranslator(&translator, language), yes != QLatin1String("&Yes"));
        QCOMPARE(QCoreApplication::translate("MessageBox", "&Yes"), yes);
    }
};

OMBRELAY_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
