#include "testmain.h"

#include "base/settings.h"
#include "base/translatorloader.h"

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
