#include "testmain.h"

#include "listfiles/projectfileformat.h"
#include "listfiles/projectfilemanager.h"
#include "listfixtures.h"

#include <QAction>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QWidget>
#include <QtEndian>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using namespace ListFixtures;

namespace {
// The smallest real manager: its document is the text itself; texts not starting with "<doc" are refused.
class TextManager : public ProjectFileManager
{
public:
    explicit TextManager(QWidget *parent, int maxRecent = 10)
        : ProjectFileManager(QStringLiteral("Ombrelay TV Lists Project"), QStringLiteral("tvqvxc"),
                             QStringLiteral("Ombrelay TV Lists Export File"), QStringLiteral("tvqvx"), maxRecent,
                             parent)
    {}
    QString text;
    int clears = 0;
    QString documentText() const override { return text; }
    bool setDocumentText(const QString &source) override
    {
        const QString value = source.isNull() ? QStringLiteral("<doc/>") : source;
        if (!value.startsWith(QLatin1String("<doc")))
            return false;
        text = value;
        return true;
    }
    void clearDocument() override
    {
        text.clear();
        ++clears;
    }
};

// Limits the size of files this process may write, as a full disk would.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
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
// Uses up every free file descriptor of the process, so no new file can be opened.
class DescriptorLimit
{
public:
    DescriptorLimit()
    {
        getrlimit(RLIMIT_NOFILE, &old);
        rlimit limit = old;
        limit.rlim_cur = qMin<rlim_t>(old.rlim_cur, 1024);
        setrlimit(RLIMIT_NOFILE, &limit);
        int fd = -1;
        while ((fd = ::dup(0)) >= 0)
            taken.append(fd);
    }
    ~DescriptorLimit()
    {
        for (int fd : std::as_const(taken))
            ::close(fd);
        setrlimit(RLIMIT_NOFILE, &old);
    }

private:
    rlimit old{};
    QList<int> taken;
};
} // namespace

class TestProjectFileManager : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        session = std::make_unique<ManagerSession>();
        QVERIFY(session->dir.isValid());
        dir = &session->dir;
        parent = &session->parent;
        answerer = &session->answerer;
    }
    void cleanup() { session.reset(); }

    void actionsAndFilter()
    {
        TextManager manager(parent);
        QVERIFY(manager.newAction->isEnabled() && manager.openAction->isEnabled());
        QVERIFY(!manager.saveAction->isEnabled() && !manager.saveAsAction->isEnabled());
        QVERIFY(!manager.closeAction->isEnabled() && !manager.exportAction->isEnabled());
        QCOMPARE(manager.recentFileActions.size(), 10);
        QCOMPARE(manager.recentFileActions.at(3)->objectName(), QStringLiteral("recentFileAction_3"));
        QCOMPARE(manager.fileFilter(),
                 QStringLiteral("Ombrelay TV Lists Project (*.tvqvxc);;Ombrelay TV Lists Export File (*.tvqvx)"));

        manager.newAction->trigger();
        QVERIFY(manager.isProjectLoaded());
        QVERIFY(manager.saveAction->isEnabled() && manager.closeAction->isEnabled());
        QVERIFY(!manager.exportAction->isEnabled());
        manager.closeAction->trigger();
        QVERIFY(!manager.isProjectLoaded());
        QVERIFY(!manager.saveAction->isEnabled());
    }

    void untitledNames()
    {
        TextManager manager(parent);
        QSignalSpy loads(&manager, &ProjectFileManager::onLoad);
        QVERIFY(manager.newProject());
        QCOMPARE(manager.fileName(), QStringLiteral("Untitled 1.tvqvxc"));
        QVERIFY(loads.at(0).at(0).toString().isNull());
        QVERIFY(manager.newProject(QStringLiteral("<doc>x</doc>")));
        QCOMPARE(manager.fileName(), QStringLiteral("Untitled 2.tvqvxc"));
        // A rejected content still uses up its number.
        QVERIFY(!manager.newProject(QStringLiteral("junk")));
        QVERIFY(!manager.isProjectLoaded());
        QCOMPARE(manager.fileName(), QStringLiteral("Untitled 3.tvqvxc"));
        QVERIFY(manager.newProject());
        QCOMPARE(manager.fileName(), QStringLiteral("Untitled 4.tvqvxc"));
        QVERIFY(answerer->boxTexts.isEmpty());
    }

    void fileForms_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("compressed");
        QTest::newRow("project") << "a.tvqvxc" << true;
        QTest::newRow("export") << "a.tvqvx" << false;
        QTest::newRow("export in capitals") << "a.TVQVX" << false;
        QTest::newRow("project in capitals") << "a.TvQvXc" << true;
        QTest::newRow("several dots") << "a.b.tvqvxc" << true;
        QTest::newRow("export after dots") << "a.tvqvxc.tvqvx" << false;
        QTest::newRow("other name") << "a.xml" << true;
        QTest::newRow("no suffix") << "plain" << true;
    }
    void fileForms()
    {
        QFETCH(QString, name);
        QFETCH(bool, compressed);
        const QString path = dir->filePath(name);
        const QString text = QStringLiteral("<doc>Zürich \u00e9\u4e2d R&amp;B</doc>");
        TextManager manager(parent);
        QVERIFY(manager.newProject(text));
        answerer->fileAnswers << path;
        QSignalSpy after(&manager, &ProjectFileManager::onAfterSave);
        manager.saveProjectAs();
        QCOMPARE(after.count(), 1);
        QCOMPARE(after.at(0).at(0).toBool(), true);
        QCOMPARE(manager.fileName(), path);
        QVERIFY(!manager.isModified());

        const QByteArray bytes = readAll(path);
        const QByteArray utf8 = text.toUtf8();
        if (compressed) {
            QCOMPARE(qFromBigEndian<quint32>(bytes.constData()), quint32(utf8.size()));
            QCOMPARE(bytes, qCompress(utf8, 9));
            QCOMPARE(qUncompress(bytes), utf8);
        } else {
            QCOMPARE(bytes, utf8);
        }

        TextManager reader(parent);
        QVERIFY(reader.loadFile(path));
        QCOMPARE(reader.documentText(), text);
        QCOMPARE(reader.fileName(), path);
        QVERIFY(!reader.isUntitled());
    }

    void openRecognisesCompressedExport()
    {
        // Export-named files that an older program wrote compressed still open.
        const QString path = dir->filePath(QStringLiteral("old.TVQVX"));
        writeAll(path, qCompress(QByteArrayLiteral("<doc>old</doc>"), 9));
        TextManager manager(parent);
        QVERIFY(manager.loadFile(path));
        QCOMPARE(manager.documentText(), QStringLiteral("<doc>old</doc>"));
    }

    void openErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral("Error. File is empty or contains invalid data.");
        QTest::newRow("missing") << "missing.tvqvxc" << QByteArray() << "Error. File not found.";
        QTest::newRow("folder") << "folder.tvqvxc" << QByteArray() << "Error. File not found.";
        QTest::newRow("empty") << "empty.tvqvxc" << QByteArray("") << invalid;
        QTest::newRow("plain under project name") << "plain.tvqvxc" << QByteArray("<doc/>") << invalid;
        QTest::newRow("no document") << "junk.tvqvx" << QByteArray("junk") << invalid;
        QTest::newRow("zero byte first") << "zero.tvqvx" << QByteArray("\0<doc/>", 7) << invalid;
        QByteArray hostile = qCompress(QByteArrayLiteral("<doc/>"), 9);
        qToBigEndian<quint32>(0x7fffffff, hostile.data());
        QTest::newRow("hostile length") << "hostile.tvqvxc" << hostile << invalid;
        QTest::newRow("truncated") << "cut.tvqvxc" << qCompress(QByteArrayLiteral("<doc>abc</doc>"), 9).left(9)
                                   << invalid;
    }
    void openErrors()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString path = dir->filePath(name);
        if (name.startsWith(QLatin1String("folder")))
            QVERIFY(QDir(dir->path()).mkpath(name));
        else if (!content.isNull())
            writeAll(path, content);
        TextManager manager(parent);
        QVERIFY(manager.newProject());
        QVERIFY(!manager.loadFile(path));
        QCOMPARE(answerer->boxTexts, QStringList{message});
        QCOMPARE(answerer->boxTitles, QStringList{QStringLiteral("Ombrelay Error")});
        QVERIFY(!manager.isProjectLoaded());
        QCOMPARE(manager.clears, 1);
        if (message != QLatin1String("Error. File not found.")) {
            QCOMPARE(manager.fileName(), path);
            QCOMPARE(Settings::getString(Settings::RecentOpenDir, QString()), dir->path());
        }
        QVERIFY(Settings::getStringList(Settings::RecentFileList, {}).isEmpty());
    }

    void closeQuestion()
    {
        TextManager manager(parent);
        QVERIFY(manager.newProject());
        QVERIFY(manager.closeProject()); // unchanged: no question
        QVERIFY(answerer->boxTexts.isEmpty());

        QVERIFY(manager.newProject());
        manager.text = QStringLiteral("<doc>changed</doc>");
        QVERIFY(manager.isModified());
        answerer->boxAnswers << QStringLiteral("&Cancel");
        QVERIFY(!manager.closeProject());
        QVERIFY(manager.isProjectLoaded());
        QCOMPARE(answerer->boxTexts, QStringList{QStringLiteral("Project 'Untitled 2.tvqvxc' has been modified.\n"
                                                                "Do you want to save your changes?")});
        QCOMPARE(answerer->boxTitles.value(0), QStringLiteral("Ombrelay"));

        // Yes on an untitled project asks for a name; cancelling that keeps the project.
        answerer->boxAnswers << QStringLiteral("&Yes");
        answerer->fileAnswers << QString();
        QVERIFY(!manager.closeProject());
        QVERIFY(manager.isProjectLoaded());
        QCOMPARE(answerer->fileDialogs.size(), 1);
        QCOMPARE(answerer->fileDialogs.at(0).caption, QStringLiteral("Save As..."));

        // Yes with a name saves, then closes.
        const QString path = dir->filePath(QStringLiteral("kept.tvqvxc"));
        answerer->boxAnswers << QStringLiteral("&Yes");
        answerer->fileAnswers << path;
        QSignalSpy unloads(&manager, &ProjectFileManager::onUnload);
        QVERIFY(manager.closeProject());
        QCOMPARE(unloads.count(), 1);
        QCOMPARE(qUncompress(readAll(path)), QByteArray("<doc>changed</doc>"));
        QVERIFY(manager.fileName().isEmpty());

        QVERIFY(manager.newProject());
        manager.text = QStringLiteral("<doc>dropped</doc>");
        answerer->boxAnswers << QStringLiteral("&No");
        QVERIFY(manager.closeProject());
        QVERIFY(!manager.isProjectLoaded());
    }

    void openDialog()
    {
        Settings::setString(Settings::RecentOpenDir, dir->path());
        const QString path = dir->filePath(QStringLiteral("picked.tvqvx"));
        writeAll(path, "<doc>picked</doc>");
        TextManager manager(parent);
        answerer->fileAnswers << QString();
        QVERIFY(manager.loadFile(QString())); // cancelled: true, nothing asked
        QVERIFY(!manager.isProjectLoaded());
        QCOMPARE(answerer->fileDialogs.size(), 1);
        QCOMPARE(answerer->fileDialogs.at(0).caption, QStringLiteral("Open"));
        QCOMPARE(answerer->fileDialogs.at(0).filter, manager.fileFilter());

        answerer->fileAnswers << path;
        manager.openAction->trigger();
        QVERIFY(manager.isProjectLoaded());
        QCOMPARE(manager.documentText(), QStringLiteral("<doc>picked</doc>"));
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, {}), QStringList{path});
        QCOMPARE(manager.recentFileActions.at(0)->text(), QStringLiteral("picked.tvqvx"));
        QCOMPARE(manager.recentFileActions.at(0)->data().toString(), path);
        QVERIFY(manager.recentFileActions.at(0)->isVisible());
        QVERIFY(!manager.recentFileActions.at(1)->isVisible());
    }

    void saveAsProposal()
    {
        TextManager manager(parent);
        QVERIFY(manager.newProject());
        answerer->fileAnswers << QString();
        manager.saveProjectAs();
        QCOMPARE(answerer->fileDialogs.value(0).proposed, QStringLiteral("/Untitled 1"));
        Settings::setString(Settings::RecentOpenDir, dir->path());
        answerer->fileAnswers << dir->filePath(QStringLiteral("first.tvqvxc"));
        manager.saveProject();
        QCOMPARE(answerer->fileDialogs.value(1).proposed, dir->filePath(QStringLiteral("Untitled 1")));
        QCOMPARE(answerer->fileDialogs.value(1).filter, manager.fileFilter());
        // Titled and writable: Save writes in place without a dialog.
        manager.text = QStringLiteral("<doc>2</doc>");
        manager.saveProject();
        QCOMPARE(answerer->fileDialogs.size(), 2);
        QCOMPARE(qUncompress(readAll(dir->filePath(QStringLiteral("first.tvqvxc")))), QByteArray("<doc>2</doc>"));
        answerer->fileAnswers << QString();
        manager.saveProjectAs();
        QCOMPARE(answerer->fileDialogs.value(2).proposed, dir->filePath(QStringLiteral("first")));
    }

    void failedSaveKeepsOldFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("noHandles");
        QTest::newRow("plain, disk full") << "big.tvqvx" << false;
        QTest::newRow("compressed, disk full") << "big.tvqvxc" << false;
        QTest::newRow("plain, folder refuses new files") << "big.tvqvx" << true;
        QTest::newRow("compressed, folder refuses new files") << "big.tvqvxc" << true;
    }
    void failedSaveKeepsOldFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, noHandles);
        const QString path = dir->filePath(name);
        TextManager writer(parent);
        QVERIFY(writer.newProject(QStringLiteral("<doc>old and small</doc>")));
        answerer->fileAnswers << path;
        writer.saveProjectAs();
        const QByteArray old = readAll(path);
        QVERIFY(!old.isEmpty());

        TextManager manager(parent);
        QVERIFY(manager.loadFile(path));
        // Text that does not compress, so the compressed form is as large as the plain one.
        QString noise;
        QRandomGenerator random(7);
        for (int i = 0; i < 300000; ++i)
            noise += QChar(u'a' + random.bounded(26));
        manager.text = QStringLiteral("<doc>") + noise + QStringLiteral("</doc>");
        QSignalSpy after(&manager, &ProjectFileManager::onAfterSave);
        if (noHandles) {
            // As good as a read-only folder for the save: no new file can be made beside the old one.
            DescriptorLimit exhausted;
            manager.saveProject();
        } else {
            FileSizeLimit full(64 * 1024);
            manager.saveProject();
        }
        QCOMPARE(after.count(), 1);
        QCOMPARE(after.at(0).at(0).toBool(), false);
        QCOMPARE(readAll(path), old);
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{name});
        QCOMPARE(answerer->boxTexts.size(), 1);
        QVERIFY(answerer->boxTexts.at(0).startsWith(QStringLiteral("Write error. Cannot write file %1:\n").arg(path)));
        QVERIFY(manager.isModified());
        QVERIFY(manager.isProjectLoaded());

        // Once the disk has room again the same Save succeeds.
        manager.saveProject();
        QCOMPARE(after.last().at(0).toBool(), true);
        QVERIFY(!manager.isModified());
        TextManager reader(parent);
        QVERIFY(reader.loadFile(path));
        QCOMPARE(reader.text, manager.text);
    }

    void saveOverFolderFails()
    {
        const QString path = dir->filePath(QStringLiteral("taken.tvqvxc"));
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("taken.tvqvxc")));
        TextManager manager(parent);
        QVERIFY(manager.newProject(QStringLiteral("<doc>new</doc>")));
        manager.text = QStringLiteral("<doc>edited</doc>");
        answerer->fileAnswers << path;
        manager.saveProjectAs();
        QCOMPARE(answerer->boxTexts.size(), 1);
        QVERIFY(answerer->boxTexts.at(0).startsWith(QStringLiteral("Write error. Cannot write file %1:\n").arg(path)));
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(manager.isModified());
        QCOMPARE(manager.fileName(), path); // the chosen name is kept for the next try
    }

    void exportIsNoSave()
    {
        const QString usb = dir->filePath(QStringLiteral("usb"));
        QVERIFY(QDir().mkpath(usb));
        writeAll(QDir(usb).filePath(QStringLiteral("dbxmlexport")), "");
        // A file named like the folder and the marker run together must stay.
        writeAll(usb + QStringLiteral("dbxmlexport"), "keep");

        TextManager manager(parent);
        QVERIFY(manager.newProject(QStringLiteral("<doc>a</doc>")));
        manager.text = QStringLiteral("<doc>edited</doc>");
        const QString target = QDir(usb).filePath(QStringLiteral("out.tvqvx"));
        answerer->fileAnswers << target;
        QSignalSpy before(&manager, &ProjectFileManager::onBeforeExport);
        QSignalSpy after(&manager, &ProjectFileManager::onAfterExport);
        QVERIFY(manager.exportProject()); // reaches the export although the action stays disabled
        QCOMPARE(answerer->fileDialogs.value(0).caption, QStringLiteral("Export..."));
        QCOMPARE(answerer->fileDialogs.value(0).filter, QStringLiteral("Ombrelay TV Lists Export File (*.tvqvx)"));
        QCOMPARE(before.count(), 1);
        QCOMPARE(after.count(), 1);
        QCOMPARE(after.at(0).at(0).toBool(), true);
        QCOMPARE(readAll(target), QByteArray("<doc>edited</doc>"));
        QVERIFY(!QFile::exists(QDir(usb).filePath(QStringLiteral("dbxmlexport"))));
        QCOMPARE(readAll(usb + QStringLiteral("dbxmlexport")), QByteArray("keep"));
        QCOMPARE(manager.fileName(), QStringLiteral("Untitled 1.tvqvxc"));
        QVERIFY(Settings::getStringList(Settings::RecentFileList, {}).isEmpty());

        // The project itself was not saved: closing still asks.
        QVERIFY(manager.isModified());
        answerer->boxAnswers << QStringLiteral("&Cancel");
        QVERIFY(!manager.closeProject());
        QCOMPARE(answerer->boxTexts.size(), 1);

        // Cancelled target: false, no message; nothing loaded: refused.
        answerer->fileAnswers << QString();
        QVERIFY(!manager.exportProject());
        QCOMPARE(after.last().at(0).toBool(), false);
        TextManager empty(parent);
        QVERIFY(!empty.exportProject());
        QCOMPARE(answerer->boxTexts.size(), 1);
    }

    void recentFiles()
    {
        TextManager manager(parent, 3);
        QStringList paths;
        for (int i = 0; i < 5; ++i) {
            paths << dir->filePath(QStringLiteral("r%1.tvqvx").arg(i));
            writeAll(paths.last(), "<doc/>");
            QVERIFY(manager.loadFile(paths.last()));
        }
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, {}), (QStringList{paths[4], paths[3], paths[2]}));
        QVERIFY(manager.loadFile(paths[2]));
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, {}), (QStringList{paths[2], paths[4], paths[3]}));

        // A vanished entry leaves at the next refresh, but the current project's entry stays.
        QVERIFY(QFile::remove(paths[4]));
        QVERIFY(QFile::remove(paths[2]));
        QVERIFY(manager.loadFile(paths[3]));
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, {}), (QStringList{paths[3]}));

        // Opening a recent entry whose file is gone closes the project first, then reports it.
        writeAll(paths[0], "<doc/>");
        QVERIFY(manager.loadFile(paths[0]));
        QVERIFY(QFile::remove(paths[3]));
        manager.recentFileActions.at(1)->trigger();
        QCOMPARE(answerer->boxTexts, QStringList{QStringLiteral("Error. File not found.")});
        QVERIFY(!manager.isProjectLoaded());
    }

private:
    std::unique_ptr<ManagerSession> session;
    QTemporaryDir *dir = nullptr;
    QWidget *parent = nullptr;
    DialogAnswerer *answerer = nullptr;
};

OMBRELAY_TEST_MAIN(TestProjectFileManager)
#include "tst_projectfilemanager.moc"
