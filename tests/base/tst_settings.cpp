#include "testmain.h"

#include "base/settings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

// The settings store against the real per-user QSettings file of this test executable.
class TestSettings : public QObject
{
    Q_OBJECT

    static QVariant raw(Settings::setingKey key) { return QSettings().value(Settings::keyName(key)); }
    static void setRaw(Settings::setingKey key, const QVariant &value)
    {
        QSettings().setValue(Settings::keyName(key), value);
    }

private slots:
    void init() { QSettings().clear(); }
    void cleanupTestCase() { QSettings().clear(); }

    void keyTexts_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        // The stored keys other readers of the same settings rely on, in key order.
        const QStringList texts =
            QStringLiteral(
                "PathVideoConversion PathPictures PathVideo PathMusic printGrid printPrintFileName printPageNumber "
                "printFormatDetailed printFormatCompact printFormatHandout printTitle DownloadFFmpegRequest "
                "SendingListsRestartWarning SearchModule/CheckConnectionEnabled SearchModule/EndIP "
                "SearchModule/FastScanEnabled SearchModule/StartIP preferredLanguage recentFileList recentOpenDir "
                "OmbrelayDeviceList AppWindow/Position AppWindow/Size AppWindow/Fullscreen AppWindow/Maximized")
                .split(QLatin1Char(' '));
        QCOMPARE(texts.size(), 25);
        for (int i = 0; i < texts.size(); ++i)
            QTest::addRow("%d", i) << i << texts.at(i);
        QTest::newRow("below the table") << -1 << QString();
        QTest::newRow("past the table") << 25 << QString();
    }
    void keyTexts()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QCOMPARE(Settings::keyName(static_cast<Settings::setingKey>(key)), text);
    }

    void textReadsDefaultWhenAbsentOrEmpty()
    {
        QCOMPARE(Settings::getString(Settings::PreferredLanguage, QStringLiteral("en_EN")), QStringLiteral("en_EN"));
        Settings::setString(Settings::PreferredLanguage, QString());
        QVERIFY(QSettings().contains(QStringLiteral("preferredLanguage")));
        QCOMPARE(Settings::getString(Settings::PreferredLanguage, QStringLiteral("en_EN")), QStringLiteral("en_EN"));
        Settings::setString(Settings::PreferredLanguage, QStringLiteral("pl_PL"));
        QCOMPARE(Settings::getString(Settings::PreferredLanguage, QStringLiteral("en_EN")), QStringLiteral("pl_PL"));
    }

    void boolReadsOnlyExactTrue_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("defaultValue");
        QTest::addColumn<bool>("expected");
        QTest::newRow("true") << "true" << false << true;
        QTest::newRow("True") << "True" << true << false;
        QTest::newRow("1") << "1" << true << false;
        QTest::newRow("TRUE") << "TRUE" << true << false;
        QTest::newRow("false") << "false" << true << false;
        QTest::newRow("empty") << "" << true << false;
        QTest::newRow("yes") << "yes" << true << false;
    }
    void boolReadsOnlyExactTrue()
    {
        QFETCH(QString, stored);
        QFETCH(bool, defaultValue);
        QFETCH(bool, expected);
        setRaw(Settings::PrintGrid, stored);
        QCOMPARE(Settings::getBool(Settings::PrintGrid, defaultValue), expected);
    }

    void boolAbsentGivesDefaultAndWritesText()
    {
        QCOMPARE(Settings::getBool(Settings::AppWindowMaximized, true), true);
        Settings::setBool(Settings::AppWindowMaximized, false);
        QCOMPARE(raw(Settings::AppWindowMaximized).toString(), QStringLiteral("false"));
        QCOMPARE(Settings::getBool(Settings::AppWindowMaximized, true), false);
        Settings::setBool(Settings::AppWindowMaximized, true);
        QCOMPARE(raw(Settings::AppWindowMaximized).toString(), QStringLiteral("true"));
        QCOMPARE(Settings::getBool(Settings::AppWindowMaximized, false), true);
    }

    void listRoundTripAndStoredForm()
    {
        const QStringList paths{QStringLiteral("/home/u/a.tvqvxc"), QStringLiteral("/home/u/b.rdqvxc"),
                                QStringLiteral("/home/u/c.lkqvx")};
        Settings::setStringList(Settings::RecentFileList, paths);
        // Ordinary paths keep the one-text form other readers rely on.
        QCOMPARE(raw(Settings::RecentFileList).toString(),
                 QStringLiteral("/home/u/a.tvqvxc;/home/u/b.rdqvxc;/home/u/c.lkqvx"));
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, {QStringLiteral("x")}), paths);
    }

    void emptyListAndAbsentList()
    {
        const QStringList fallback{QStringLiteral("fallback")};
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, fallback), fallback);
        Settings::setStringList(Settings::RecentFileList, {});
        QCOMPARE(raw(Settings::RecentFileList).toString(), QString());
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, fallback), QStringList());
    }

    void existingListTextReadsAsBefore_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("two") << "/a/x.tvqvxc;/b/y.tvqvxc" << QStringList{"/a/x.tvqvxc", "/b/y.tvqvxc"};
        QTest::newRow("empty entries kept") << "a;;b;" << QStringList{"a", "", "b", ""};
        QTest::newRow("one") << "/only" << QStringList{"/only"};
        QTest::newRow("windows paths") << "C:\\lists\\a.tvqvxc;D:\\b.rdqvxc"
                                       << QStringList{"C:\\lists\\a.tvqvxc", "D:\\b.rdqvxc"};
        QTest::newRow("trailing backslash last") << "a;C:\\dir\\" << QStringList{"a", "C:\\dir\\"};
    }
    void existingListTextReadsAsBefore()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, expected);
        setRaw(Settings::RecentFileList, stored);
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, {}), expected);
    }

    void pathsWithSeparatorSurvive_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::newRow("semicolon in a name") << QStringList{"/home/u/a;b.tvqvxc", "/home/u/c.tvqvxc"};
        QTest::newRow("only a semicolon") << QStringList{";", "x"};
        QTest::newRow("single entry with semicolons") << QStringList{"/tmp/;;/z;"};
        QTest::newRow("backslash before semicolon") << QStringList{"/tmp/a\\;b", "c\\\\;d"};
        QTest::newRow("backslash at entry end") << QStringList{"a\\", "b\\\\", "c\\"};
        QTest::newRow("empty entries") << QStringList{"", "a;", "", ""};
        QTest::newRow("backslashes alone") << QStringList{"\\", "\\\\\\", "x"};
    }
    void pathsWithSeparatorSurvive()
    {
        QFETCH(QStringList, list);
        Settings::setStringList(Settings::RecentFileList, list);
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, {}), list);
    }

    void sizeAndPoint()
    {
        QCOMPARE(Settings::getSize(Settings::AppWindowSize, QSize(800, 600)), QSize(800, 600));
        QCOMPARE(Settings::getPoint(Settings::AppWindowPosition, QPoint(5, 6)), QPoint(5, 6));
        Settings::setSize(Settings::AppWindowSize, QSize(1024, 700));
        Settings::setPoint(Settings::AppWindowPosition, QPoint(-20, 40));
        QCOMPARE(Settings::getSize(Settings::AppWindowSize, QSize(1, 1)), QSize(1024, 700));
        QCOMPARE(Settings::getPoint(Settings::AppWindowPosition, QPoint(1, 1)), QPoint(-20, 40));
        // A stored value of another kind converts to the empty value, not to the default.
        setRaw(Settings::AppWindowSize, QStringLiteral("wide"));
        QVERIFY(!Settings::getSize(Settings::AppWindowSize, QSize(800, 600)).isValid());
        setRaw(Settings::AppWindowPosition, QStringLiteral("left"));
        QCOMPARE(Settings::getPoint(Settings::AppWindowPosition, QPoint(5, 6)), QPoint(0, 0));
    }

    void mapIsStoredInKeyOrder()
    {
        QVERIFY(Settings::getMap(Settings::RecentOpenDir).isEmpty());
        QMap<int, QString> map;
        map.insert(2, QStringLiteral("b"));
        map.insert(1, QStringLiteral("a"));
        Settings::setMap(Settings::RecentOpenDir, map);
        QCOMPARE(raw(Settings::RecentOpenDir).toString(), QStringLiteral("1:a|2:b|"));
        QCOMPARE(Settings::getMap(Settings::RecentOpenDir), map);
    }

    void mapText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected"); // "key=value" pairs in key order
        QTest::newRow("bad pieces skipped") << "1:a|x|3:c:d|2:b" << QStringList{"1=a", "2=b"};
        QTest::newRow("later key replaces") << "4:a|4:z|" << QStringList{"4=z"};
        QTest::newRow("not a number is 0") << "k:v|" << QStringList{"0=v"};
        QTest::newRow("empty parts count") << ":|7:" << QStringList{"0=", "7="};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("negative") << "-3:m" << QStringList{"-3=m"};
    }
    void mapText()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        setRaw(Settings::RecentOpenDir, text);
        const QMap<int, QString> map = Settings::getMap(Settings::RecentOpenDir);
        QStringList pairs;
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            pairs << QStringLiteral("%1=%2").arg(it.key()).arg(it.value());
        QCOMPARE(pairs, expected);
    }

    // With nothing beside the program the tools are looked up on the PATH.
    void toolPathsFallBackToThePath()
    {
        const QString dir = QCoreApplication::applicationDirPath();
        const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
        const QString dvdauthor = QStandardPaths::findExecutable(QStringLiteral("dvdauthor"));
        QCOMPARE(Settings::ffmpegDefaultPath(),
                 ffmpeg.isEmpty() ? QDir::toNativeSeparators(dir + "/tools/FFmpeg/ffmpeg.exe") : ffmpeg);
        QCOMPARE(Settings::dvdauthorPath(),
                 dvdauthor.isEmpty() ? QDir::toNativeSeparators(dir + "/tools/DVDAuthor/dvdauthor.exe") : dvdauthor);
    }

    void toolBesideTheProgramComesFirst()
    {
        const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/tools/FFmpeg");
        QVERIFY(QDir().mkpath(dir));
        QFile tool(dir + QStringLiteral("/ffmpeg.exe"));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.close();
        QVERIFY(tool.setPermissions(tool.permissions() | QFileDevice::ExeOwner));
        const QString found = Settings::ffmpegDefaultPath();
        QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/tools")).removeRecursively();
        QCOMPARE(found, QDir::toNativeSeparators(dir + QStringLiteral("/ffmpeg.exe")));
    }
};

OMBRELAY_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
