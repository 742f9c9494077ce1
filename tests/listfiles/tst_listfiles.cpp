#include "testmain.h"

#include "base/drivelist.h"
#include "document/docitemsdataprovider.h"
#include "document/itemproperty.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/listmodel.h"
#include "listfiles/exportdrivepicker.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "listfixtures.h"
#include "widgets/itemstableview.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtEndian>

#include <algorithm>
#include <memory>

using namespace ListFixtures;

namespace {
// tvDocument() with other favourite lists and, when given, other entries.
QString withLists(const QString &lists, const QString &items = QString())
{
    const auto all = QRegularExpression::DotMatchesEverythingOption;
    QString text = tvDocument().replace(QRegularExpression("<lists>.*</lists>", all), "<lists>" + lists + "</lists>");
    return items.isNull() ? text
                          : text.replace(QRegularExpression("<items>.*</items>", all), "<items>" + items + "</items>");
}

// One open document with a model per favourite list, as the list tabs build them.
struct OpenLists
{
    explicit OpenLists(QWidget *parent, const QString &text = tvDocument())
        : manager(parent)
    {
        QVERIFY(manager.newProject(text));
        const QDomNodeList elements = manager.document->lists.elementsByTagName(QStringLiteral("list"));
        for (int i = 0; i < elements.size(); ++i) {
            providers.emplace_back(new DocItemsDataProvider(elements.at(i).toElement(), QStringLiteral("ref"), false));
            models.append(new ListModel(manager.itemsModel, providers.back().get(), QStringLiteral("_ref"), &manager));
            models.last()->setColumns({&nameColumn});
            testers.emplace_back(new QAbstractItemModelTester(models.last()));
        }
        testers.emplace_back(new QAbstractItemModelTester(manager.itemsModel));
    }
    ~OpenLists()
    {
        testers.clear();
        qDeleteAll(models);
    }
    QStringList refs(int list) const
    {
        QStringList result;
        for (int row = 0; row < models.at(list)->rowCount(); ++row)
            result << models.at(list)->dataProvider()->itemAt(row).value(QString());
        return result;
    }
    // Drops a drag of the given rows of the source model onto a list, at a row.
    bool drop(QAbstractItemModel *from, const QList<int> &rows, int list, Qt::DropAction action, int row = -1)
    {
        QModelIndexList indexes;
        for (int r : rows)
            indexes << from->index(r, 0);
        std::unique_ptr<QMimeData> data(from->mimeData(indexes));
        return models.at(list)->dropMimeData(data.get(), action, row, 0, QModelIndex());
    }

    TVListProjectFileManager manager;
    // Shows the referenced entry's name, as the list tabs' reference columns do.
    ItemProperty nameColumn{"Name",    "Name",  QString(), 69, Qt::ItemIsEnabled | Qt::ItemIsDragEnabled,
                            QString(), nullptr, 1};
    std::vector<std::unique_ptr<DocItemsDataProvider>> providers;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    QList<ListModel *> models;
};
} // namespace

// A manager of plain text, for what the base does where the list managers choose otherwise.
class TextProjectManager : public ProjectFileManager
{
public:
    explicit TextProjectManager(QWidget *parent)
        : ProjectFileManager("Text", "txc", "Text export", "txe", 10, parent)
    {}
    QString documentText() const override { return text; }
    bool openDocument(const QString &source) override
    {
        text = source.isNull() ? QStringLiteral("empty") : source;
        return true;
    }
    void closeDocument() override { text.clear(); }

private:
    QString text;
};

// The list-file managers, their files and dialogs, and the favourite lists of an open document.
class TestListFiles : public ManagerTest
{
    Q_OBJECT

private slots:
    void init() { startSession(); }
    void cleanup()
    {
        ExportDrivePicker::setPicker({});
        DriveList::setSource({});
        endSession();
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
        QVERIFY(manager->openDocument(text));
        QVERIFY(!items);
        manager->closeDocument();
        manager->closeDocument();
        QVERIFY(manager->openDocument(text));
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
        // a name typed without a suffix is saved as a project file the Open dialog shows
        QTest::newRow("no suffix") << "plain" << true;
    }
    void fileForms()
    {
        QFETCH(QString, name);
        QFETCH(bool, compressed);
        const QString path = dir->filePath(QFileInfo(name).suffix().isEmpty() ? name + ".tvqvxc" : name);
        const QString text = QString(tvDocument()).replace("ZDF</name>", "Zürich \u00e9\u4e2d R&amp;B</name>");
        TVListProjectFileManager manager(parent);
        QVERIFY(manager.newProject(text));
        answerer->fileAnswers << dir->filePath(name);
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
        // the folder stands for a plugged stick
        DriveList::setSource([&] { return drive.isEmpty() ? QFileInfoList{} : QFileInfoList{QFileInfo(drive)}; });
        TVListProjectFileManager manager(parent);
        QVERIFY(!manager.exportProject()); // nothing loaded: refused
        QVERIFY(manager.newProject());
        QVERIFY(manager.closeProject()); // unchanged: no question
        QVERIFY(manager.newProject(tvDocument()));
        QVERIFY(rename(manager, 0, QStringLiteral("changed")));
        // the outcome comes once the drive is written out, beside the window
        QSignalSpy exported(&manager, &ProjectFileManager::onAfterExport);
        QVERIFY(manager.exportProject());
        QTRY_COMPARE(exported.count(), 1);
        QCOMPARE(exported.first().value(0).toBool(), true);
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

    // A file whose entries are of another list kind is refused with a message naming both kinds; the
    // open list stays with its name, its entries and its unsaved change.
    void foreignKindRefused_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString radio = QString(tvDocument()).replace("tvService", "radioService");
        QTest::newRow("tv export on the radio page")
            << 1 << "FavsListUpdate.rdqvx" << tvDocument() << "Error. This file holds TV lists, not radio lists.";
        QTest::newRow("radio project on the tv page")
            << 0 << "r.tvqvxc" << radio << "Error. This file holds radio lists, not TV lists.";
        QTest::newRow("tv export on the link page") << 2 << "FavsListUpdate.lkqvx" << tvDocument()
                                                    << "Error. This file holds TV lists, not internet link lists.";
        QTest::newRow("links on the tv page")
            << 0 << "l.tvqvx" << linkDocument() << "Error. This file holds internet link lists, not TV lists.";
        QTest::newRow("one radio service among tv services")
            << 0 << "m.tvqvx"
            << QString(tvDocument())
                   .replace("<tvService id=\"1\"", "<radioService id=\"1\"")
                   .replace("<genres>Sport</genres></tvService>", "<genres>Sport</genres></radioService>")
            << "Error. This file holds radio lists, not TV lists.";
    }
    void foreignKindRefused()
    {
        QFETCH(int, kind);
        QFETCH(QString, file);
        QFETCH(QString, text);
        QFETCH(QString, message);
        std::unique_ptr<ListProjectFileManager> manager;
        QString own = tvDocument();
        if (kind == 0) {
            manager = std::make_unique<TVListProjectFileManager>(parent);
        } else if (kind == 1) {
            manager = std::make_unique<RadioListProjectFileManager>(parent);
            own.replace("tvService", "radioService");
        } else {
            manager = std::make_unique<LinkListProjectFileManager>(parent);
            own = linkDocument();
        }
        const QString ownPath = dir->filePath("own." + manager->exportFileExtension());
        writeAll(ownPath, own.toUtf8());
        QVERIFY(manager->loadFile(ownPath));
        QVERIFY(rename(*manager, 0, QStringLiteral("changed")));
        const QString before = manager->documentText();
        const int rows = manager->itemsModel->rowCount();
        writeAll(dir->filePath(file), file.endsWith(QLatin1Char('c')) ? qCompress(text.toUtf8(), 9) : text.toUtf8());

        answerer->boxAnswers << QStringLiteral("&No"); // the changed list is not saved first
        QVERIFY(!manager->loadFile(dir->filePath(file)));
        QCOMPARE(answerer->boxTexts.size(), 2);
        QCOMPARE(answerer->boxTexts.last(), message);
        QVERIFY(manager->isProjectLoaded());
        QCOMPARE(manager->fileName(), ownPath);
        QCOMPARE(manager->documentText(), before);
        QCOMPARE(manager->itemsModel->rowCount(), rows);
        QVERIFY(manager->isModified());
        QCOMPARE(Settings::getStringList(Settings::RecentFileList, {}), QStringList{ownPath});
        // the page's own kind still opens
        answerer->boxAnswers << QStringLiteral("&No");
        QVERIFY(manager->loadFile(ownPath));
        QVERIFY(!manager->isModified());
    }

    // Save as starts where the user's files are and gives a name typed without a suffix the project's.
    void saveAsFolderAndSuffix_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("extension");
        QTest::newRow("tv") << 0 << "tvqvxc";
        QTest::newRow("radio") << 1 << "rdqvxc";
        QTest::newRow("link") << 2 << "lkqvxc";
    }
    void saveAsFolderAndSuffix()
    {
        QFETCH(int, kind);
        QFETCH(QString, extension);
        std::unique_ptr<ListProjectFileManager> manager;
        if (kind == 0)
            manager = std::make_unique<TVListProjectFileManager>(parent);
        else if (kind == 1)
            manager = std::make_unique<RadioListProjectFileManager>(parent);
        else
            manager = std::make_unique<LinkListProjectFileManager>(parent);
        QVERIFY(manager->newProject());
        const QString lists = dir->filePath(QStringLiteral("lists"));
        const QString other = dir->filePath(QStringLiteral("other"));
        QVERIFY(QDir().mkpath(lists) && QDir().mkpath(other));

        // nothing opened yet: the documents folder (the home folder when there is none), never the root
        manager->saveProjectAs();
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString expected = QFileInfo(documents).isDir() ? documents : QDir::homePath();
        QCOMPARE(answerer->fileDialogs.value(0).folder, QDir(expected).absolutePath());
        QVERIFY(answerer->fileDialogs.value(0).folder != QStringLiteral("/"));
        // a folder remembered from an Open that is gone since is passed over the same way
        Settings::setString(Settings::RecentOpenDir, dir->filePath(QStringLiteral("gone")));
        manager->saveProjectAs();
        QCOMPARE(answerer->fileDialogs.value(1).folder, QDir(expected).absolutePath());

        // untitled: the folder last opened from; the typed name gets the project suffix
        Settings::setString(Settings::RecentOpenDir, lists);
        answerer->fileAnswers << QDir(lists).filePath(QStringLiteral("mylist"));
        QSignalSpy after(manager.get(), &ProjectFileManager::onAfterSave);
        manager->saveProjectAs();
        QCOMPARE(answerer->fileDialogs.value(2).folder, lists);
        QCOMPARE(answerer->fileDialogs.value(2).proposed, QDir(lists).filePath("Untitled 1." + extension));
        const QString saved = QDir(lists).filePath("mylist." + extension);
        QVERIFY(after.count() == 1 && after.at(0).at(0).toBool());
        QCOMPARE(manager->fileName(), saved);
        QVERIFY(!QFile::exists(QDir(lists).filePath(QStringLiteral("mylist"))));
        QCOMPARE(QDir(lists).entryList(QDir::Files), QStringList{"mylist." + extension});

        // titled: the folder of the open file, whatever was opened last
        Settings::setString(Settings::RecentOpenDir, other);
        manager->saveProjectAs();
        QCOMPARE(answerer->fileDialogs.value(3).folder, lists);
        QCOMPARE(answerer->fileDialogs.value(3).proposed, saved);
        // a name with a suffix of its own keeps it; the saved file opens again
        answerer->fileAnswers << QDir(lists).filePath(QStringLiteral("mylist.xml"));
        manager->saveProjectAs();
        QCOMPARE(manager->fileName(), QDir(lists).filePath(QStringLiteral("mylist.xml")));
        QVERIFY(manager->loadFile(saved));
        QVERIFY(answerer->boxTexts.isEmpty());
    }

    // The base Export asks for a file like Save as: where the user's files are, with the export suffix.
    void exportDialogSuffix()
    {
        TextProjectManager manager(parent);
        QVERIFY(manager.newProject(QStringLiteral("exported text")));
        Settings::setString(Settings::RecentOpenDir, dir->path());
        answerer->fileAnswers << dir->filePath(QStringLiteral("out"));
        QVERIFY(manager.exportProject());
        QCOMPARE(answerer->fileDialogs.value(0).caption, QStringLiteral("Export..."));
        QCOMPARE(answerer->fileDialogs.value(0).folder, QDir(dir->path()).absolutePath());
        QCOMPARE(answerer->fileDialogs.value(0).filter, QStringLiteral("Text export (*.txe)"));
        QCOMPARE(readAll(dir->filePath(QStringLiteral("out.txe"))), QByteArray("exported text"));
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("out"))));
    }

    void recentFiles()
    {
        ListProjectFileManager manager("TVListModule/Project", "P", "tvqvxc", "E", "tvqvx", 10, parent);
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

    void dropsWithinADocument()
    {
        OpenLists open(parent);
        ListItemsDatabaseModel *items = open.manager.itemsModel;
        QSignalSpy dropped(open.models.at(2), &ListModel::itemDropped);
        QSignalSpy layout(open.models.at(0), &QAbstractItemModel::layoutChanged);
        QVERIFY(open.drop(items, {2, 0}, 2, Qt::CopyAction));
        QCOMPARE(open.refs(2), (QStringList{"5", "0"}));
        QCOMPARE(dropped.count(), 1);
        // dropped again: no duplicates, and the refs stay where they are; moved within the list
        QVERIFY(open.drop(items, {2, 0}, 2, Qt::CopyAction, 0));
        QVERIFY(open.drop(items, {1}, 2, Qt::LinkAction, 1));
        QCOMPARE(open.refs(2), (QStringList{"5", "1", "0"}));
        QVERIFY(open.drop(open.models.at(2), {0}, 2, Qt::MoveAction, 2));
        QCOMPARE(open.refs(2), (QStringList{"1", "5", "0"}));
        // from one list to another
        QVERIFY(open.drop(open.models.at(0), {1}, 1, Qt::CopyAction, 0));
        QCOMPARE(open.refs(1), (QStringList{"5", "12", "x", "7"}));
        QCOMPARE(open.refs(0), (QStringList{"0", "5"}));
        // no entry was copied, and a link drop onto the items table is refused
        std::unique_ptr<QMimeData> one(items->mimeData({items->index(1, 0)}));
        QVERIFY(!items->dropMimeData(one.get(), Qt::LinkAction, -1, -1, QModelIndex()));
        QCOMPARE(items->rowCount(), 3);
        // the lists follow edits of their entries
        layout.clear();
        QVERIFY(items->setData(items->index(0, 1), "Erste", Qt::EditRole));
        QCOMPARE(layout.count(), 1);
    }

    void betweenDocuments()
    {
        OpenLists source(
            parent, withLists("<list id='0'/><list id='1'><ref>1</ref><ref>12</ref><ref>x</ref><ref>7</ref></list>"));
        OpenLists target(parent, withLists("<list id='0'/><list id='1'/>", ""));
        // of four refs only one names an entry of the source: it comes in with a new id, and only its ref
        QSignalSpy dropped(target.models.at(1), &ListModel::itemDropped);
        QVERIFY(target.drop(source.models.at(1), {0, 1, 2, 3}, 1, Qt::CopyAction));
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(target.manager.itemsModel->rowCount(), 1);
        QCOMPARE(target.manager.itemsDataProvider()->itemAt(0).id(), QStringLiteral("0"));
        QCOMPARE(target.refs(1), QStringList{"0"});
        QCOMPARE(target.manager.itemsModel->index(0, 2).data().toString(), QStringLiteral("ZDF"));
        // entries dragged from the other document's items table are copied in and listed
        QVERIFY(target.drop(source.manager.itemsModel, {2, 0}, 0, Qt::CopyAction));
        QCOMPARE(target.refs(0), (QStringList{"1", "2"}));
        QCOMPARE(target.manager.itemsDataProvider()->itemAt(1).value(QStringLiteral("provider")),
                 QStringLiteral("ARD"));
        QCOMPARE(source.manager.itemsModel->rowCount(), 3);
    }

    void refusedDrops()
    {
        OpenLists open(parent);
        ListModel *list = open.models.at(0);
        QSignalSpy dropped(list, &ListModel::itemDropped);
        QMimeData foreign;
        foreign.setData(QStringLiteral("text/plain"), "5");
        QVERIFY(!list->dropMimeData(&foreign, Qt::CopyAction, -1, -1, QModelIndex()));
        QVERIFY(!open.drop(list, {0}, 0, Qt::IgnoreAction));
        // a payload that does not parse inserts nothing and is no accepted drop, so a move keeps its rows
        QMimeData broken;
        broken.setData(QStringLiteral("_ref"), "garbage");
        QVERIFY(!list->dropMimeData(&broken, Qt::MoveAction, -1, -1, QModelIndex()));
        QCOMPARE(open.refs(0), (QStringList{"0", "5"}));
        QCOMPARE(dropped.count(), 0);
    }

    void removalCascades_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("runs");
        QTest::newRow("one entry listed three times") << 2 << 1 << QStringList{"1", "0", "1"} << 3;
        QTest::newRow("every entry in one removal") << 0 << 3 << QStringList() << 1;
    }
    void removalCascades()
    {
        QFETCH(int, row);
        QFETCH(int, count);
        QFETCH(QStringList, left);
        QFETCH(int, runs);
        OpenLists open(parent, withLists("<list id='0'><ref>0</ref><ref>5</ref></list><list id='1'><ref>12</ref></list>"
                                         "<list id='2'><ref>5</ref><ref>1</ref><ref>5</ref><ref>0</ref><ref>5</ref>"
                                         "<ref>1</ref></list>"));
        ListModel *list = open.models.at(2);
        QSignalSpy refsRemoved(list, &QAbstractItemModel::rowsRemoved);
        QSignalSpy listAnnounced(list, &ItemsDatabaseModel::itemRemoved);
        QStringList refsDuringRemoval;
        connect(open.manager.itemsModel, &ItemsDatabaseModel::itemRemoved, this,
                [&] { refsDuringRemoval << QString::number(list->rowCount()); });
        QVERIFY(open.manager.itemsModel->removeRows(row, count));
        // the refs stay until the entries are gone, then go as one run per adjacent block
        QCOMPARE(refsDuringRemoval, QStringList(count, "6"));
        QCOMPARE(open.refs(2), left);
        QCOMPARE(refsRemoved.count(), runs);
        QCOMPARE(listAnnounced.count(), 0);
        QCOMPARE(open.refs(1), QStringList{"12"});
    }

    void deleteThroughTheItemsTable()
    {
        // twelve entries whose names sort in another order than the document's, and two lists
        QString items;
        for (int i = 0; i < 12; ++i)
            items += QStringLiteral("<tvService id='%1'><name>Service %2</name></tvService>").arg(i).arg(i * 5 % 12);
        OpenLists open(parent, withLists("<list id='0'><ref>0</ref><ref>3</ref><ref>6</ref><ref>9</ref><ref>3</ref>"
                                         "</list><list id='1'><ref>1</ref><ref>2</ref><ref>4</ref><ref>11</ref></list>",
                                         items));
        ItemsTableView table(parent);
        table.setModel(open.manager.itemsModel);
        table.sortByColumn(1, Qt::AscendingOrder);
        QAbstractItemModel *shown = table.model();
        QAbstractItemModelTester proxyTester(shown);
        QStringList doomed;
        for (int row : {0, 2, 3, 7, 11}) {
            table.selectionModel()->select(shown->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
            doomed << shown->index(row, 8).data().toString();
        }
        QSignalSpy announced(open.manager.itemsModel, &ItemsDatabaseModel::itemRemoved);
        table.action(STableView::Delete)->trigger();
        QCOMPARE(shown->rowCount(), 7);
        QStringList gone;
        for (const QList<QVariant> &signal : std::as_const(announced))
            gone << signal.at(0).toString();
        std::sort(gone.begin(), gone.end());
        std::sort(doomed.begin(), doomed.end());
        QCOMPARE(gone, doomed);
        // every list lost exactly the refs of the deleted entries
        const QList<QStringList> before{{"0", "3", "6", "9", "3"}, {"1", "2", "4", "11"}};
        for (int list = 0; list < 2; ++list) {
            QStringList expected = before.at(list);
            expected.removeIf([&](const QString &ref) { return doomed.contains(ref); });
            QCOMPARE(open.refs(list), expected);
        }
    }
};

OMBRELAY_TEST_MAIN(TestListFiles)
#include "tst_listfiles.moc"
