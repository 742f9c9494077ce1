#include "testmain.h"

#include "listfiles/tvlistprojectfilemanager.h"
#include "listfixtures.h"
#include "support/unwritablesettings.h"
#include "usbreceiverwindow.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSignalSpy>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

using namespace ListFixtures;

namespace {
// Lowers the size of files this process may write, as a full disk would, for a scope.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limit{bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
        previous = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
    }

private:
    rlimit old{};
    void (*previous)(int) = nullptr;
};

// A name that does not compress, so the compressed form is about as large as the plain one.
QString incompressible(int length)
{
    QString noise;
    QRandomGenerator random(7);
    for (int i = 0; i < length; ++i)
        noise += QChar(u'a' + random.bounded(26));
    return noise;
}
} // namespace

// Saves that cannot complete (a full disk, a folder in the way): the old file stays, nothing is left beside
// it, the message names the cause, and the list keeps its name and its unsaved changes.
class TestFailedSaves : public ManagerTest
{
    Q_OBJECT

private slots:
    void init() { startSession(); }
    void cleanup() { endSession(); }

    void failedSaveKeepsOldFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain, disk full") << "big.tvqvx";
        QTest::newRow("compressed, disk full") << "big.tvqvxc";
        QTest::newRow("folder in the way") << "folder.tvqvxc";
    }
    void failedSaveKeepsOldFile()
    {
        QFETCH(QString, name);
        const bool folder = name.startsWith(QLatin1String("folder"));
        const QString path = dir->filePath(name);
        TVListProjectFileManager manager(parent);
        if (folder) {
            QVERIFY(manager.newProject(tvDocument()) && QDir(dir->path()).mkpath(name));
            answerer->fileAnswers << path;
        } else {
            open(manager, name);
        }
        const QByteArray old = readAll(path);
        QVERIFY(rename(manager, 0, incompressible(300000)));
        QSignalSpy after(&manager, &ProjectFileManager::onAfterSave);
        {
            FileSizeLimit full(64 * 1024);
            manager.saveProject();
        }
        QCOMPARE(after.count(), 1);
        QCOMPARE(after.at(0).at(0).toBool(), false);
        QCOMPARE(readAll(path), old);
        QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{name});
        QVERIFY(answerer->boxTexts.last().startsWith(QStringLiteral("Write error. Cannot write file %1:\n").arg(path)));
        // a failed Save as leaves the untitled list its name
        QVERIFY(manager.isModified() && manager.fileName() == (folder ? QStringLiteral("Untitled 1.tvqvxc") : path));
        if (folder)
            return;
        // once the disk has room again the same Save succeeds
        manager.saveProject();
        QVERIFY(after.last().at(0).toBool() && !manager.isModified());
        TVListProjectFileManager reader(parent);
        QVERIFY(reader.loadFile(path));
        QCOMPARE(reader.documentText(), manager.documentText());
    }

    // A save that wrote every byte but could not complete the file (a full disk noticed only when the
    // buffered bytes go out) is a failed save: the old file stays, nothing is left beside it, and the
    // project is still modified.
    void failedCommitIsAFailedSave()
    {
        const QString path = dir->filePath(QStringLiteral("small.tvqvxc"));
        TVListProjectFileManager manager(parent);
        open(manager, QStringLiteral("small.tvqvxc"));
        const QByteArray old = readAll(path);
        QVERIFY(rename(manager, 0, QStringLiteral("Das Zweite")));
        QSignalSpy after(&manager, &ProjectFileManager::onAfterSave);
        {
            // the document is far below the write buffer: every write succeeds, the completion fails
            FileSizeLimit full(16);
            manager.saveProject();
        }
        QCOMPARE(after.count(), 1);
        QCOMPARE(after.at(0).at(0).toBool(), false);
        QCOMPARE(readAll(path), old);
        QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"small.tvqvxc"});
        QCOMPARE(answerer->boxTexts.size(), 1);
        QVERIFY(answerer->boxTexts.last().startsWith(QStringLiteral("Write error. Cannot write file %1:\n").arg(path)));
        QVERIFY(manager.isModified());
        QVERIFY(answerer->fileDialogs.isEmpty());
    }

    // Save as onto a full disk: the message names the system's reason, and the list keeps its name, its
    // path, its modified state and its place in the recent files; the next Save goes where it came from.
    void failedSaveAsKeepsTheList_data()
    {
        QTest::addColumn<bool>("titled");
        QTest::newRow("opened from a file") << true;
        QTest::newRow("untitled") << false;
    }
    void failedSaveAsKeepsTheList()
    {
        QFETCH(bool, titled);
        const QString a = dir->filePath(QStringLiteral("a.tvqvxc"));
        const QString b = dir->filePath(QStringLiteral("b.tvqvxc"));
        TVListProjectFileManager manager(parent);
        if (titled)
            open(manager, QStringLiteral("a.tvqvxc"));
        else
            QVERIFY(manager.newProject(tvDocument()));
        const QString name = manager.fileName();
        const QByteArray old = readAll(a);
        const QStringList recent = Settings::getStringList(Settings::RecentFileList, {});
        QVERIFY(rename(manager, 0, incompressible(300000)));
        QSignalSpy properties(&manager, &ProjectFileManager::onFilePropertiesChanged);
        QSignalSpy after(&manager, &ProjectFileManager::onAfterSave);
        answerer->fileAnswers << b;
        {
            FileSizeLimit full(64 * 1024);
            manager.saveProjectAs();
        }
        QCOMPARE(after.count(), 1);
        QCOMPARE(after.at(0).at(0).toBool(), false);
        // the part that fitted was taken without a word; the rest tells why it could not go
        QCOMPARE(answerer->boxTexts, QStringList{QStringLiteral("Write error. Cannot write file %1:\n%2")
                                                     .arg(b, QString::fromLocal8Bit(strerror(EFBIG)))});
        QCOMPARE(manager.fileName(), name);
        QCOMPARE(manager.isUntitled(), !titled);
        QVERIFY(manager.isModified());
        QCOMPARE(properties.count(), 0);
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, {}), recent);
        QVERIFY(!QFile::exists(b));
        QCOMPARE(readAll(a), old);

        // the disk has room again: Save writes the open file, or asks for a name for an untitled list
        if (!titled)
            answerer->fileAnswers << b;
        manager.saveProject();
        QCOMPARE(answerer->fileDialogs.size(), titled ? 1 : 2);
        QVERIFY(after.last().at(0).toBool() && !manager.isModified());
        const QString written = titled ? a : b;
        QCOMPARE(manager.fileName(), written);
        QCOMPARE(canonicalFile(written, true), canonical(manager.documentText()));
        QCOMPARE(QFile::exists(b), !titled);
        QCOMPARE(properties.count(), titled ? 0 : 1);
        QCOMPARE(answerer->boxTexts.size(), 1);
    }

    // The recent files and folder are written on every open and save: a settings store that cannot take
    // them is said once, naming its file, and the list itself opens and saves.
    void recentFilesNotStoredAreSaid()
    {
        writeAll(dir->filePath(QStringLiteral("a.tvqvxc")), qCompress(tvDocument().toUtf8(), 9));
        TVListProjectFileManager manager(parent);
        UnwritableSettings blocked;
        QVERIFY(blocked.made);
        QVERIFY(manager.loadFile(dir->filePath(QStringLiteral("a.tvqvxc"))));
        QCOMPARE(answerer->boxTexts.size(), 1);
        QVERIFY(answerer->boxTexts.at(0).contains(QSettings().fileName()));
        QVERIFY(rename(manager, 0, QStringLiteral("Renamed")));
        answerer->fileAnswers << dir->filePath(QStringLiteral("b.tvqvxc"));
        manager.saveProjectAs();
        QVERIFY(!manager.isModified());
        QCOMPARE(manager.fileName(), dir->filePath(QStringLiteral("b.tvqvxc")));
        QCOMPARE(answerer->boxTexts.size(), 1);
    }

    // The same in the whole program: the TV page of a receiver, its Save as and Save buttons.
    void failedSaveAsInTheWindow()
    {
        const QString a = listFile(*dir, QStringLiteral("a.tvqvxc"), tvDocument());
        const QString b = dir->filePath(QStringLiteral("b.tvqvxc"));
        QVERIFY(!a.isEmpty());
        UsbReceiverWindow program;
        auto *module = program.open<TVListModule>(a);
        QVERIFY(module);
        QCOMPARE(module->projectManager()->fileName(), a);
        QVERIFY(rename(*module->projectManager(), 0, incompressible(300000)));
        answerer->fileAnswers << b;
        {
            FileSizeLimit full(64 * 1024);
            module->saveAsProjectCommandLinkButton->click();
        }
        QCOMPARE(answerer->boxTexts, QStringList{QStringLiteral("Write error. Cannot write file %1:\n%2")
                                                     .arg(b, QString::fromLocal8Bit(strerror(EFBIG)))});
        QCOMPARE(module->projectManager()->fileName(), a);
        QVERIFY(module->projectManager()->isModified());
        QVERIFY(!QFile::exists(b));
        // Save writes the open file, without a dialog
        module->saveProjectCommandLinkButton->click();
        QCOMPARE(answerer->fileDialogs.size(), 1);
        QVERIFY(!module->projectManager()->isModified());
        QCOMPARE(canonicalFile(a, true), canonical(module->projectManager()->documentText()));
        QVERIFY(!QFile::exists(b));
        QCOMPARE(answerer->boxTexts.size(), 1);
    }
};

OMBRELAY_TEST_MAIN(TestFailedSaves)
#include "tst_failedsaves.moc"
