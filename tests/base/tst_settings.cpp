#include "testmain.h"

#include "base/settings.h"
#include "base/translatorloader.h"
#include "support/filesizelimit.h"
#include "support/unwritablesettings.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTranslator>

#include <sys/stat.h>

namespace {

// The settings file as the disk has it: a write replaces the file (a new inode) and stamps it.
struct FileState
{
    quint64 inode = 0;
    qint64 modifiedNs = 0;
    QByteArray bytes;
    bool operator==(const FileState &other) const
    {
        return inode == other.inode && modifiedNs == other.modifiedNs && bytes == other.bytes;
    }
};

FileState settingsFile()
{
    FileState state;
    const QString name = QSettings().fileName();
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(name).constData(), &info) == 0) {
        state.inode = info.st_ino;
        state.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    }
    QFile file(name);
    if (file.open(QIODevice::ReadOnly))
        state.bytes = file.readAll();
    return state;
}

// A value as the file holds it: read from a copy, so that nothing the store keeps in memory answers.
QVariant fileValue(const QString &key)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.conf"));
    if (!QFile::copy(QSettings().fileName(), copy))
        return QVariant();
    return QSettings(copy, QSettings::IniFormat).value(key);
}

// One setter writing its first (0) or second (1) value; gives the key written, empty when the store
// reported a failure.
QString writeThrough(const QString &setter, int which)
{
    const auto keyIf = [](bool stored, Settings::setingKey key) { return stored ? Settings::keyName(key) : QString(); };
    if (setter == QLatin1String("text"))
        return keyIf(Settings::setString(Settings::PathVideo, which ? QStringLiteral("/new") : QStringLiteral("/old")),
                     Settings::PathVideo);
    if (setter == QLatin1String("flag"))
        return keyIf(Settings::setBool(Settings::PrintGrid, which == 0), Settings::PrintGrid);
    if (setter == QLatin1String("list"))
        return keyIf(Settings::setStringList(Settings::RecentFileList,
                                             {which ? QStringLiteral("/b;c") : QStringLiteral("/a"), QString()}),
                     Settings::RecentFileList);
    if (setter == QLatin1String("size"))
        return keyIf(Settings::setSize(Settings::AppWindowSize, which ? QSize(800, 600) : QSize(640, 480)),
                     Settings::AppWindowSize);
    if (setter == QLatin1String("point"))
        return keyIf(Settings::setPoint(Settings::AppWindowPosition, which ? QPoint(10, 20) : QPoint(1, 2)),
                     Settings::AppWindowPosition);
    if (setter == QLatin1String("map"))
        return keyIf(
            Settings::setMap(Settings::PathPictures, {{1, which ? QStringLiteral("new") : QStringLiteral("old")}}),
            Settings::PathPictures);
    return Settings::keepUnreadCopy(Settings::OmbrelayDeviceList,
                                    which ? QStringLiteral("<new") : QStringLiteral("<old"));
}

} // namespace

// The settings store against the real per-user settings file of this test executable, and the
// translations loaded from the compiled-in files.
class TestSettings : public QObject
{
    Q_OBJECT

    QTranslator translator;

    // The store filed under an organisation of this test's own while the guard lives, starting empty, so
    // that no other test executable reads its organisation's file meanwhile.
    [[nodiscard]] static auto ownOrganisation(const QString &tag)
    {
        const QString before = QCoreApplication::organizationName();
        QCoreApplication::setOrganizationName(before + u' ' + tag + u' ' + QCoreApplication::applicationName());
        const QString folder = QFileInfo(QSettings().fileName()).path();
        if (QFileInfo(folder).isFile()) // left by a run that was killed
            QFile::remove(folder);
        QSettings(QSettings::UserScope, QCoreApplication::organizationName()).clear();
        QSettings().clear();
        return qScopeGuard([before] {
            QSettings(QSettings::UserScope, QCoreApplication::organizationName()).clear();
            QSettings().clear();
            QCoreApplication::setOrganizationName(before);
        });
    }

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

    // A value the file already holds is not written again: the file is left as it is. A value that did
    // not reach the file (a full disk) is reported as not stored each time it is written, though the
    // store's memory holds it by then, and the file keeps the old value until a write gets through.
    void failedWritesAreSaidEachTime_data()
    {
        QTest::addColumn<QString>("setter");
        for (const char *setter : {"text", "flag", "list", "size", "point", "map", "unread copy"})
            QTest::newRow(setter) << setter;
    }
    void failedWritesAreSaidEachTime()
    {
        QFETCH(QString, setter);
        const QString oldKey = writeThrough(setter, 0);
        QVERIFY(!oldKey.isEmpty());
        const FileState stored = settingsFile();
        QVERIFY(!stored.bytes.isEmpty());
        const QVariant oldValue = fileValue(oldKey);
        QVERIFY(oldValue.isValid());
        QCOMPARE(writeThrough(setter, 0), oldKey); // unchanged: skipped
        QVERIFY2(settingsFile() == stored, "an unchanged value was written to the file again");
        {
            FileSizeLimit full(0);
            QVERIFY(full.made);
            for (int attempt = 1; attempt <= 2; ++attempt) {
                QVERIFY2(writeThrough(setter, 1).isEmpty(), qPrintable(QStringLiteral("attempt %1").arg(attempt)));
                QVERIFY(settingsFile() == stored); // the old value, untouched
            }
        }
        const QString newKey = writeThrough(setter, 1);
        QVERIFY(!newKey.isEmpty());
        const QVariant newValue = fileValue(newKey);
        QVERIFY(newValue.isValid());
        QCOMPARE(QSettings().value(newKey), newValue);
        if (newKey == oldKey)
            QVERIFY(newValue != oldValue);
        // Stored now: the next write of the same value is skipped again.
        const FileState written = settingsFile();
        QVERIFY(!(written == stored));
        QCOMPARE(writeThrough(setter, 1), newKey);
        QVERIFY(settingsFile() == written);
    }

    // A failed write of one key does not make an unchanged other key fail or touch the file; the first
    // write that gets through takes the failed value along, and it is not written a second time after.
    void otherKeysAfterAFailure()
    {
        QVERIFY(Settings::setString(Settings::PathMusic, QStringLiteral("/music")));
        QVERIFY(Settings::setString(Settings::PathVideo, QStringLiteral("/video")));
        const FileState stored = settingsFile();
        {
            FileSizeLimit full(0);
            QVERIFY(full.made);
            QVERIFY(!Settings::setString(Settings::PathVideo, QStringLiteral("/elsewhere")));
            QVERIFY(Settings::setString(Settings::PathMusic, QStringLiteral("/music")));
            QVERIFY(settingsFile() == stored);
        }
        QVERIFY(Settings::setString(Settings::PathMusic, QStringLiteral("/tunes")));
        QCOMPARE(fileValue(QStringLiteral("PathVideo")).toString(), QStringLiteral("/elsewhere"));
        const FileState written = settingsFile();
        QVERIFY(Settings::setString(Settings::PathVideo, QStringLiteral("/elsewhere")));
        QVERIFY(settingsFile() == written);
    }

    // A value that only the organisation's file holds is read as before, but it is not the program's own:
    // writing it puts it in the program's file (or says that it could not), and from then on the program's
    // value no longer follows the organisation's file.
    void valueOnlyInTheOrganisationsFile_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::newRow("writable") << true;
        QTest::newRow("cannot be written") << false;
    }
    void valueOnlyInTheOrganisationsFile()
    {
        QFETCH(bool, writable);
        const auto restore = ownOrganisation(QStringLiteral("shared"));
        QSettings organisation(QSettings::UserScope, QCoreApplication::organizationName());
        QVERIFY(organisation.fileName() != QSettings().fileName());
        organisation.setValue(Settings::keyName(Settings::PreferredLanguage), QStringLiteral("de_DE"));
        organisation.sync();
        QVERIFY(Settings::setString(Settings::PathMusic, QStringLiteral("/music"))); // the program's file exists
        QCOMPARE(Settings::getString(Settings::PreferredLanguage, QStringLiteral("en_EN")), QStringLiteral("de_DE"));
        if (!writable) {
            UnwritableSettings store;
            QVERIFY(store.made);
            QVERIFY(!Settings::setString(Settings::PreferredLanguage, QStringLiteral("de_DE")));
            QCOMPARE(Settings::writeUnsaved(), QStringList{QStringLiteral("preferredLanguage")});
        }
        // Written now, or written by the first chance once the file can be written again.
        QCOMPARE(Settings::setString(Settings::PreferredLanguage, QStringLiteral("de_DE")), true);
        QCOMPARE(Settings::writeUnsaved(), QStringList());
        QCOMPARE(fileValue(QStringLiteral("preferredLanguage")).toString(), QStringLiteral("de_DE"));
        organisation.setValue(Settings::keyName(Settings::PreferredLanguage), QStringLiteral("pl_PL"));
        organisation.sync();
        QCOMPARE(Settings::getString(Settings::PreferredLanguage, QStringLiteral("en_EN")), QStringLiteral("de_DE"));
        // Other keys still read through to the organisation's file.
        organisation.setValue(Settings::keyName(Settings::RecentOpenDir), QStringLiteral("/shared"));
        organisation.sync();
        QCOMPARE(Settings::getString(Settings::RecentOpenDir, QString()), QStringLiteral("/shared"));
    }

    // Values that could not be written stay readable and are written by writeUnsaved() once the file can
    // be, also when there was no file at all (its folder could not be made), and are named while not.
    void unsavedValuesAreKeptAndWrittenLater_data()
    {
        QTest::addColumn<QString>("blocked");
        QTest::newRow("no folder for the file") << "folder";
        QTest::newRow("full disk") << "full";
        QTest::newRow("file cannot be replaced") << "file";
    }
    void unsavedValuesAreKeptAndWrittenLater()
    {
        QFETCH(QString, blocked);
        const auto restore = ownOrganisation(QStringLiteral("unsaved"));
        const QString folder = QFileInfo(QSettings().fileName()).path();
        QFile folderBlocker(folder);
        const auto unblock = qScopeGuard([&folderBlocker] { folderBlocker.remove(); });
        if (blocked == QLatin1String("folder")) {
            QVERIFY(QDir(folder).removeRecursively());
            QVERIFY(folderBlocker.open(QIODevice::WriteOnly)); // a file where the folder would be
            folderBlocker.close();
        } else {
            QVERIFY(Settings::setString(Settings::PathMusic, QStringLiteral("/music")));
        }
        {
            std::unique_ptr<FileSizeLimit> full;
            std::unique_ptr<UnwritableSettings> store;
            if (blocked == QLatin1String("full")) {
                full = std::make_unique<FileSizeLimit>(0);
                QVERIFY(full->made);
            } else if (blocked == QLatin1String("file")) {
                store = std::make_unique<UnwritableSettings>();
                QVERIFY(store->made);
            }
            QVERIFY(!Settings::setString(Settings::PreferredLanguage, QStringLiteral("pl_PL")));
            QVERIFY(!Settings::setSize(Settings::AppWindowSize, QSize(900, 700)));
            QCOMPARE(Settings::getString(Settings::PreferredLanguage, QStringLiteral("en_EN")),
                     QStringLiteral("pl_PL"));
            const QStringList unsaved{QStringLiteral("AppWindow/Size"), QStringLiteral("preferredLanguage")};
            QCOMPARE(Settings::writeUnsaved(), unsaved);
            QCOMPARE(Settings::writeUnsaved(), unsaved); // still not: named again
            const QString text = Settings::unsavedText(unsaved);
            QVERIFY2(text.startsWith(Settings::writeFailureText()), qPrintable(text));
            QVERIFY2(text.endsWith(QStringLiteral("\nNot saved: the window's place and size, the language.")),
                     qPrintable(text));
            if (blocked == QLatin1String("folder"))
                QVERIFY(folderBlocker.remove());
        }
        QCOMPARE(Settings::writeUnsaved(), QStringList());
        QCOMPARE(fileValue(QStringLiteral("preferredLanguage")).toString(), QStringLiteral("pl_PL"));
        QCOMPARE(fileValue(QStringLiteral("AppWindow/Size")).toSize(), QSize(900, 700));
        QCOMPARE(Settings::writeUnsaved(), QStringList()); // nothing left
    }

    // What could not be saved is named in the user's words, each kind once, in the user's language; a kept
    // copy of an unread list by the key it is kept under.
    void unsavedNamedInWords_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("said");
        QTest::newRow("English") << "en_EN"
                                 << "Not saved: the print options, the window's place and size, the list of devices, "
                                    "the video converter's path, OmbrelayDeviceListUnread/20261207T142233.";
        QTest::newRow("German")
            << "de_DE"
            << "Nicht gespeichert: die Druckoptionen, Position und Größe des Fensters, die "
               "Geräteliste, der Pfad des Videokonverters, OmbrelayDeviceListUnread/20261207T142233.";
        QTest::newRow("Polish") << "pl_PL"
                                << "Nie zapisano: opcje drukowania, położenie i rozmiar okna, lista urządzeń, "
                                   "ścieżka konwertera wideo, OmbrelayDeviceListUnread/20261207T142233.";
    }
    void unsavedNamedInWords()
    {
        QFETCH(QString, language);
        QFETCH(QString, said);
        loadTranslator(&translator, language);
        const QStringList keys{"printGrid",
                               "AppWindow/Position",
                               "printTitle",
                               "AppWindow/Size",
                               "OmbrelayDeviceList",
                               "PathVideoConversion",
                               "OmbrelayDeviceListUnread/20261207T142233"};
        QCOMPARE(Settings::unsavedText(keys), Settings::writeFailureText() + u'\n' + said);
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
