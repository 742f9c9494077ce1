#include "testmain.h"

#include "document/listitemsdatabasemodel.h"
#include "listfiles/exportdrivepicker.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "listfixtures.h"

#include <QAction>
#include <QPointer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtEndian>

#include <csignal>
#include <memory>
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
} // namespace

class TestProjectFileManager : public QObject
{
    Q_OBJECT

    std::unique_ptr<ManagerSession> session;
    QTemporaryDir *dir = nullptr;
    QWidget *parent = nullptr;
    DialogAnswerer *answerer = nullptr;

    // A titled project opened from its file.
    void open(TVListProjectFileManager &manager, const QString &name, const QString &text = tvDocument())
    {
        writeAll(dir->filePath(name), name.endsWith(QLatin1Char('c')) ? qCompress(text.toUtf8(), 9) : text.toUtf8());
        QVERIFY(manager.loadFile(dir->filePath(name)));
    }
    static bool rename(ListProjectFileManager &manager, int row, const QString &name)
    {
        return manager.itemsModel->setData(manager.itemsModel->index(row, 1), name, Qt::EditRole);
    }

private slots:
    void init()
    {
        session = std::make_unique<ManagerSession>();
        QVERIFY(session->dir.isValid());
        dir = &session->dir;
        parent = &session->parent;
        answerer = &session->answerer;
    }
    void cleanup()
    {
        ExportDrivePicker::setPicker({});
        session.reset();
    }

    void kinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("parentLock");
        QTest::newRow("tv") << 0 << "Ombrelay TV Lists Project (*.tvqvxc);;Ombrelay TV Lists Export File (*.tvqvx)"
                            << tvDocument() << 5;
        QTest::newRow("radio") << 1
                               << "Ombrelay Radio Lists Project (*.rdqvxc);;Ombrelay Radio Lists Export File (*.rdqvx)"
                               << QString(tvDocument()).replace("tvService", "radioService") << 5;
        QTest::newRow("link") << 2
                              << "Ombrelay Internet Link Lists Project (*.lkqvxc);;"
                                 "Ombrelay Internet Link Lists Export File (*.lkqvx)"
                              << linkDocument() << 6;
    }
    void kinds()
    {
        QFETCH(int, kind);
        QFETCH(QString, filter);
        QFETCH(QString, text);
        QFETCH(int, parentLock);
        std::unique_ptr<ListProjectFileManager> manager;
        if (kind < 2)
            manager.reset(kind ? static_cast<ListProjectFileManager *>(new RadioListProjectFileManager(parent))
                               : new TVListProjectFileManager(parent));
        else
            manager.reset(new LinkListProjectFileManager(parent));
        QCOMPARE(manager->fileFilter(), filter);
        QVERIFY(manager->newProject());
        QCOMPARE(manager->fileName(), "Untitled 1." + filter.section("(*.", 1, 1).section(')', 0, 0));
        QCOMPARE(manager->readLists().size(), 4);
        QVERIFY(manager->newProject(text));
        // the parent lock makes the children lock of its row read-only and redraws it
        ListItemsDatabaseModel *model = manager->itemsModel;
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QVERIFY(model->setData(model->index(1, parentLock), true, Qt::EditRole));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toModelIndex(), model->index(1, parentLock + 1));
        QVERIFY(!(model->flags(model->index(1, parentLock + 1)) & Qt::ItemIsEditable));
        // new text over a loaded document releases the old models first, telling the pages while the models
        // still exist; clearing twice tells them once; a manager that goes with a document loaded tells nobody
        QStringList order;
        ListProjectFileManager *raw = manager.get();
        const auto note = [&](const char *what) {
            return [&, what] { order << what + QString::number(raw->itemsModel != nullptr); };
        };
        connect(manager.get(), &ListProjectFileManager::loadDocument, this, note("load"));
        connect(manager.get(), &ListProjectFileManager::unloadDocument, this, note("unload"));
        QPointer<QObject> items = model;
        QVERIFY(manager->setDocumentText(text));
        QVERIFY(!items);
        manager->clearDocument();
        manager->clearDocument();
        QVERIFY(manager->setDocumentText(text));
        items = manager->itemsModel;
        manager.reset();
        QVERIFY(!items);
        QCOMPARE(order, (QStringList{"unload1", "load1", "unload1", "load1"}));
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
        const QString text = QString(tvDocument()).replace("ZDF</name>", "Zürich \u00e9\u4e2d R&amp;B</name>");
        TVListProjectFileManager manager(parent);
        QVERIFY(manager.newProject(text));
        answerer->fileAnswers << path;
        QSignalSpy after(&manager, &ProjectFileManager::onAfterSave);
        manager.saveProjectAs();
        QVERIFY(after.count() == 1 && after.at(0).at(0).toBool() && !manager.isModified());
        QCOMPARE(manager.fileName(), path);
        // UTF-8 without a byte-order mark; compressed: a 4-byte big-endian length, then a zlib stream
        const QByteArray bytes = readAll(path);
        const QByteArray utf8 = manager.documentText().toUtf8();
        QVERIFY(utf8.startsWith("<?xml"));
        if (compressed)
            QCOMPARE(qFromBigEndian<quint32>(bytes.constData()), quint32(utf8.size()));
        QCOMPARE(bytes, compressed ? qCompress(utf8, 9) : utf8);
        QCOMPARE(canonicalFile(path, compressed), canonical(text));

        // reopened: the same lists; one edit saved in place changes exactly that value, unknown parts stay
        TVListProjectFileManager reader(parent);
        QVERIFY(reader.loadFile(path) && !reader.isModified());
        QCOMPARE(reader.readLists(), (QList<QList<int>>{{0, 5}, {12, 7}, {}}));
        QVERIFY(rename(reader, 2, QStringLiteral("Arte HD")));
        reader.saveProject();
        QCOMPARE(answerer->fileDialogs.size(), 1);
        QDomDocument expected;
        expected.setContent(text);
        expected.elementsByTagName(QStringLiteral("name")).at(2).firstChild().setNodeValue(QStringLiteral("Arte HD"));
        QCOMPARE(canonicalFile(path, compressed), expected.toString(1));
    }

    // An open project with an unsaved edit, then a file that opens or does not.
    void openErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("answer");
        const QString invalid = QStringLiteral("Error. File is empty or contains invalid data.");
        const QString missing = QStringLiteral("Error. File not found.");
        const QByteArray tv = tvDocument().toUtf8();
        QByteArray hostile = qCompress(tv, 9);
        qToBigEndian<quint32>(0x7fffffff, hostile.data());
        const QByteArray otherRoot = "<?xml version='1.0'?><tdocument><items/><lists/></tdocument>";
        const auto row = [](const char *tag, const char *name, const QByteArray &content, const QString &message,
                            const char *answer = "&No") { QTest::newRow(tag) << name << content << message << answer; };
        row("compressed under export name", "old.TVQVX", qCompress(tv, 9), QString());
        row("missing", "missing.tvqvxc", QByteArray(), missing);
        row("folder", "folder.tvqvxc", QByteArray(), missing);
        row("empty", "empty.tvqvxc", "", invalid);
        row("plain under project name", "plain.tvqvxc", tv, invalid);
        row("zero byte first", "zero.tvqvx", QByteArray("\0", 1) + tv, invalid);
        row("hostile length", "hostile.tvqvxc", hostile, invalid);
        row("truncated", "cut.tvqvxc", qCompress(tv, 9).left(9), invalid);
        row("no list document", "junk.tvqvx", "junk", invalid);
        row("other root", "wrong.tvqvx", otherRoot, invalid);
        row("other root, saved when asked", "wrong.tvqvx", otherRoot, invalid, "&Yes");
    }
    void openErrors()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(QString, answer);
        const QString path = dir->filePath(name);
        if (name.startsWith(QLatin1String("folder")))
            QVERIFY(QDir(dir->path()).mkpath(name));
        else if (!content.isNull())
            writeAll(path, content);
        TVListProjectFileManager manager(parent);
        open(manager, QStringLiteral("open.tvqvxc"));
        const QString openPath = manager.fileName();
        QVERIFY(rename(manager, 1, QStringLiteral("edited")));
        const QString edited = manager.documentText();
        answerer->boxAnswers << answer;

        QCOMPARE(manager.loadFile(path), message.isEmpty());
        if (message.isEmpty()) {
            QCOMPARE(manager.fileName(), path);
            QVERIFY(!manager.isModified());
            QCOMPARE(manager.itemsModel->index(1, 1).data().toString(), QStringLiteral("ZDF"));
            QCOMPARE(Settings::getStringList(Settings::RecentFileList, {}), (QStringList{path, openPath}));
            return;
        }
        QCOMPARE(answerer->boxTexts.last(), message);
        QCOMPARE(answerer->boxTitles.last(), QStringLiteral("Ombrelay Error"));
        // the open project, its path and its modified state are as they were
        QCOMPARE(manager.fileName(), openPath);
        QCOMPARE(manager.documentText(), edited);
        QCOMPARE(manager.isModified(), answer == QLatin1String("&No"));
        QCOMPARE(qUncompress(readAll(openPath)).contains("edited"), answer == QLatin1String("&Yes"));
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, {}), QStringList{openPath});
    }

    // Closing an edited project asks; exporting it is no save, so closing still asks afterwards.
    void closeQuestionAndExport()
    {
        const QString usb = dir->filePath(QStringLiteral("usb"));
        QVERIFY(QDir().mkpath(usb));
        writeAll(QDir(usb).filePath(QStringLiteral("dbxmlexport")), "");
        // a file named like the folder and the marker run together must stay
        writeAll(usb + QStringLiteral("dbxmlexport"), "keep");
        QString drive = usb;
        ExportDrivePicker::setPicker([&](QWidget *) { return drive; });
        TVListProjectFileManager manager(parent);
        QVERIFY(!manager.exportProject()); // nothing loaded: refused
        QVERIFY(manager.newProject());
        QVERIFY(manager.closeProject()); // unchanged: no question
        QVERIFY(manager.newProject(tvDocument()));
        QVERIFY(rename(manager, 0, QStringLiteral("changed")));
        QVERIFY(manager.exportProject());
        const QString written = QDir(usb).filePath(QStringLiteral("FavsListUpdate.tvqvx"));
        QCOMPARE(canonicalFile(written, false), canonical(manager.documentText()));
        QVERIFY(!QFile::exists(QDir(usb).filePath(QStringLiteral("dbxmlexport"))));
        QCOMPARE(readAll(usb + QStringLiteral("dbxmlexport")), QByteArray("keep"));
        QVERIFY(Settings::getStringList(Settings::RecentFileList, {}).isEmpty());
        // a cancelled drive choice writes nothing and says nothing; the file-system root gives a clean path
        QVERIFY(QFile::remove(written));
        drive = QString();
        QVERIFY(!manager.exportProject() && !QFile::exists(written));
        drive = QStringLiteral("/");
        QCOMPARE(manager.exportFileName(), QStringLiteral("/FavsListUpdate.tvqvx"));

        answerer->boxAnswers << QStringLiteral("&Cancel");
        QVERIFY(!manager.closeProject());
        QCOMPARE(answerer->boxTexts, QStringList{QStringLiteral("Project 'Untitled 2.tvqvxc' has been modified.\n"
                                                                "Do you want to save your changes?")});
        QCOMPARE(answerer->boxTitles, QStringList{QStringLiteral("Ombrelay")});
        // Yes on an untitled project asks for a name, saves, then closes
        const QString path = dir->filePath(QStringLiteral("kept.tvqvxc"));
        const QString text = manager.documentText();
        answerer->boxAnswers << QStringLiteral("&Yes");
        answerer->fileAnswers << path;
        QVERIFY(manager.closeProject());
        QCOMPARE(canonicalFile(path, true), canonical(text));
        QCOMPARE(answerer->fileDialogs.value(0).caption, QStringLiteral("Save As..."));
        QVERIFY(!manager.isProjectLoaded() && manager.fileName().isEmpty());
        // No drops the changes
        QVERIFY(manager.newProject(tvDocument()) && rename(manager, 0, QStringLiteral("dropped")));
        answerer->boxAnswers << QStringLiteral("&No");
        QVERIFY(manager.closeProject() && !manager.isProjectLoaded());
    }

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
        // a name that does not compress, so the compressed form is about as large as the plain one
        QString noise;
        QRandomGenerator random(7);
        for (int i = 0; i < 300000; ++i)
            noise += QChar(u'a' + random.bounded(26));
        QVERIFY(rename(manager, 0, noise));
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
        QVERIFY(manager.isModified() && manager.fileName() == path);
        if (folder)
            return;
        // once the disk has room again the same Save succeeds
        manager.saveProject();
        QVERIFY(after.last().at(0).toBool() && !manager.isModified());
        TVListProjectFileManager reader(parent);
        QVERIFY(reader.loadFile(path));
        QCOMPARE(reader.documentText(), manager.documentText());
    }

    void recentFiles()
    {
        ListProjectFileManager manager("P", "tvqvxc", "E", "tvqvx", 10, parent);
        const QStringList paths{dir->filePath("r0.tvqvx"), dir->filePath("r1.tvqvx"), dir->filePath("r2.tvqvx")};
        for (const QString &path : paths) {
            writeAll(path, tvDocument().toUtf8());
            answerer->fileAnswers << path;
            manager.openAction->trigger();
        }
        QCOMPARE(answerer->fileDialogs.value(0).filter, QStringLiteral("P (*.tvqvxc);;E (*.tvqvx)"));
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, {}), (QStringList{paths[2], paths[1], paths[0]}));
        QCOMPARE(manager.recentFileActions.at(1)->text(), QStringLiteral("r1.tvqvx"));
        // a recent entry whose file is gone is reported and the open project stays
        QVERIFY(QFile::remove(paths[1]));
        manager.recentFileActions.at(1)->trigger();
        QCOMPARE(answerer->boxTexts, QStringList{"Error. File not found."});
        QCOMPARE(manager.fileName(), paths[2]);
    }
};

OMBRELAY_TEST_MAIN(TestProjectFileManager)
#include "tst_projectfilemanager.moc"
