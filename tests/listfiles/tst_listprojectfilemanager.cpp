#include "testmain.h"

#include "listfixtures.h"

#include "document/agregatemodel.h"
#include "document/agregatemutliplevaluesmodel.h"
#include "document/docitemsdataprovider.h"
#include "listfiles/exportdrivepicker.h"
#include "document/itemproperty.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/mappeditemproperty.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"

#include <QAbstractItemModelTester>
#include <QPointer>
#include <QSignalSpy>
#include <QTranslator>
#include <QWidget>

#include <algorithm>
#include <memory>

using namespace ListFixtures;

class TestListProjectFileManager : public QObject
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
    void cleanup()
    {
        ExportDrivePicker::setPicker({});
        session.reset();
    }

    void fileTypes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("untitled");
        QTest::addColumn<QString>("itemsName");
        QTest::newRow("tv") << 0 << "Ombrelay TV Lists Project (*.tvqvxc);;Ombrelay TV Lists Export File (*.tvqvx)"
                            << "Untitled 1.tvqvxc"
                            << "Ombrelay TV Lists Export File_item";
        QTest::newRow("radio") << 1
                               << "Ombrelay Radio Lists Project (*.rdqvxc);;Ombrelay Radio Lists Export File (*.rdqvx)"
                               << "Untitled 1.rdqvxc"
                               << "Ombrelay Radio Lists Export File_item";
        QTest::newRow("link") << 2
                              << "Ombrelay Internet Link Lists Project (*.lkqvxc);;"
                                 "Ombrelay Internet Link Lists Export File (*.lkqvx)"
                              << "Untitled 1.lkqvxc"
                              << "Ombrelay Internet Link Lists Export File_item";
    }
    void fileTypes()
    {
        QFETCH(int, kind);
        QFETCH(QString, filter);
        QFETCH(QString, untitled);
        QFETCH(QString, itemsName);
        std::unique_ptr<ListProjectFileManager> manager(make(kind));
        QCOMPARE(manager->fileFilter(), filter);
        QCOMPARE(manager->recentFileActions.size(), 10);
        QVERIFY(!manager->itemsModel && !manager->itemsDataProvider() && !manager->document);
        manager->retranslate(); // nothing loaded: nothing to do
        QVERIFY(manager->newProject());
        QCOMPARE(manager->fileName(), untitled);
        QCOMPARE(manager->itemsModel->mimeType(), itemsName);
        QCOMPARE(manager->itemsModel->rowCount(), 0);
        QCOMPARE(manager->fieldColumns.value(QStringLiteral("position")), 0);
        QCOMPARE(manager->fieldColumns.value(QStringLiteral("@id")), 8);
        QVERIFY(manager->itemsModel->supportedDropActions() == (Qt::CopyAction | Qt::LinkAction));
    }

    void tenRecentFiles()
    {
        ListProjectFileManager manager(QStringLiteral("P"), QStringLiteral("tvqvxc"), QStringLiteral("E"),
                                       QStringLiteral("tvqvx"), 3, parent);
        QCOMPARE(manager.recentFileActions.size(), 10);
    }

    void listCounts_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("default") << -1;
        QTest::newRow("six") << 6;
        QTest::newRow("none") << 0;
    }
    void listCounts()
    {
        QFETCH(int, count);
        TVListProjectFileManager manager(parent);
        if (count >= 0)
            manager.setListCount(count);
        QVERIFY(manager.newProject());
        const int expected = count < 0 ? 4 : count;
        const QList<QList<int>> lists = manager.readLists();
        QCOMPARE(lists.size(), expected);
        const QDomNodeList elements = manager.document->lists.elementsByTagName(QStringLiteral("list"));
        for (int i = 0; i < elements.size(); ++i)
            QCOMPARE(elements.at(i).toElement().attribute(QStringLiteral("id")), QString::number(i));

        // No text at all gives the fixed four-list document, whatever the count; an empty text is no document.
        QVERIFY(manager.closeProject());
        QVERIFY(manager.setDocumentText(QString()));
        QCOMPARE(manager.readLists().size(), 4);
        manager.clearDocument();
        QVERIFY(!manager.setDocumentText(QStringLiteral("")));
        QVERIFY(!manager.document);
        QCOMPARE(canonical(ListProjectFileManager::fourListTemplate()), canonical(ListDocument::emptyDocumentXml(4)));
    }

    void readLists()
    {
        TVListProjectFileManager manager(parent);
        QVERIFY(manager.newProject(tvDocument()));
        const QList<QList<int>> lists = manager.readLists();
        QCOMPARE(lists, (QList<QList<int>>{{0, 5}, {12, 7}, {}}));
    }

    void loadAndUnloadSignals()
    {
        TVListProjectFileManager manager(parent);
        QStringList order;
        connect(&manager, &ListProjectFileManager::loadDocument, this, [&] {
            order << QStringLiteral("load:%1").arg(manager.itemsModel && manager.genresModel && manager.providersModel);
        });
        connect(&manager, &ListProjectFileManager::unloadDocument, this,
                [&] { order << QStringLiteral("unload:%1").arg(manager.itemsModel && manager.document != nullptr); });
        connect(&manager, &ProjectFileManager::onLoad, this, [&] { order << QStringLiteral("onLoad"); });
        connect(&manager, &ProjectFileManager::onUnload, this, [&] { order << QStringLiteral("onUnload"); });
        QVERIFY(manager.newProject());
        QPointer<ListItemsDatabaseModel> firstItems = manager.itemsModel;
        QPointer<AgregateModel> firstProviders = manager.providersModel;
        const QMap<QString, int> columns = manager.fieldColumns;
        QVERIFY(manager.closeProject());
        QCOMPARE(order, (QStringList{"load:1", "onLoad", "onUnload", "unload:1"}));
        QVERIFY(!manager.genresModel && !manager.providersModel);
        QVERIFY(manager.newProject());
        QCOMPARE(manager.fieldColumns, columns);

        // Text installed over a loaded document releases the old models first.
        order.clear();
        QVERIFY(manager.setDocumentText(tvDocument()));
        QCOMPARE(order, (QStringList{"unload:1", "load:1"}));
        QCOMPARE(manager.itemsModel->rowCount(), 3);
        // The old models went with the old document; these are new ones.
        QVERIFY(firstItems.isNull() && firstProviders.isNull());
        QVERIFY(manager.itemsModel && manager.providersModel && manager.genresModel);
    }

    void everyKindReleasesItsModels_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("itemTag");
        QTest::newRow("tv") << 0 << tvDocument() << "tvService";
        QString radio = tvDocument();
        radio.replace(QStringLiteral("tvService"), QStringLiteral("radioService"));
        QTest::newRow("radio") << 1 << radio << "radioService";
        QTest::newRow("link") << 2 << linkDocument() << "link";
    }

    void everyKindReleasesItsModels()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QString, itemTag);
        std::unique_ptr<ListProjectFileManager> manager(make(kind));
        QSignalSpy unloads(manager.get(), &ListProjectFileManager::unloadDocument);
        QList<QPointer<QObject>> models;
        bool modelsAtUnload = false;
        connect(manager.get(), &ListProjectFileManager::unloadDocument, this, [&] {
            modelsAtUnload = std::all_of(models.cbegin(), models.cend(), [](const auto &m) { return !m.isNull(); });
        });
        auto collect = [&] {
            models.clear();
            const QObjectList children = manager->children();
            for (QObject *child : children) {
                if (qobject_cast<QAbstractItemModel *>(child))
                    models << child;
            }
        };

        QVERIFY(manager->setDocumentText(text));
        collect();
        // the items model and the value models: one for links, two for services
        QCOMPARE(models.size(), kind == 2 ? 2 : 3);
        QCOMPARE(manager->itemsDataProvider()->itemTag(), itemTag);
        QVERIFY(manager->itemsModel->rowCount() > 0);
        manager->clearDocument();
        QCOMPARE(unloads.count(), 1);
        QVERIFY(modelsAtUnload);
        QVERIFY(std::all_of(models.cbegin(), models.cend(), [](const auto &m) { return m.isNull(); }));
        QVERIFY(!manager->itemsModel && !manager->itemsDataProvider() && !manager->document);
        QVERIFY(!manager->signalsBlocked());
        manager->clearDocument();
        QCOMPARE(unloads.count(), 1);

        // a manager that goes with a document loaded releases everything and tells nobody
        QVERIFY(manager->setDocumentText(text));
        collect();
        manager.reset();
        QCOMPARE(unloads.count(), 1);
        QVERIFY(std::all_of(models.cbegin(), models.cend(), [](const auto &m) { return m.isNull(); }));
    }

    void serviceColumns()
    {
        TVListProjectFileManager tv(parent);
        RadioListProjectFileManager radio(parent);
        QVERIFY(tv.newProject(tvDocument()));
        QVERIFY(radio.newProject());
        QAbstractItemModelTester tester(tv.itemsModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QStringList names{"# on list",   "Name",          "Provider",     "Genres", "EPG",
                                "Parent lock", "Children lock", "Service type", "Index"};
        for (int column = 0; column < 9; ++column) {
            QCOMPARE(tv.itemsModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(), names.at(column));
            QCOMPARE(radio.itemsModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                     names.at(column));
            const ItemProperty *a = tv.itemsModel->itemProperties().at(column);
            const ItemProperty *b = radio.itemsModel->itemProperties().at(column);
            QCOMPARE(a->path, b->path);
            QCOMPARE(a->type, b->type);
            QCOMPARE(a->itemFlags, b->itemFlags);
            QCOMPARE(a->defaultValue, b->defaultValue);
            QCOMPARE(typeid(*a).name(), typeid(*b).name());
        }
        QCOMPARE(tv.fieldColumns, radio.fieldColumns);
        QCOMPARE(radio.itemsDataProvider()->itemTag(), QStringLiteral("radioService"));

        ListItemsDatabaseModel *model = tv.itemsModel;
        auto cell = [&](int row, int column, int role = Qt::DisplayRole) {
            return model->data(model->index(row, column), role);
        };
        QCOMPARE(cell(0, 1).toString(), QStringLiteral("Das Erste"));
        QCOMPARE(cell(0, 4).toBool(), true);
        QCOMPARE(cell(1, 4).toBool(), false);
        QCOMPARE(cell(0, 6).toString(), QStringLiteral("Child 1; Child 3"));
        QCOMPARE(cell(0, 7).toString(), QStringLiteral("Satellite"));
        QCOMPARE(cell(1, 7).toString(), QStringLiteral("Unknown type"));
        QCOMPARE(cell(1, 7, Qt::EditRole).toString(), QStringLiteral("<config/>"));
        QVERIFY(!(model->flags(model->index(0, 7)) & Qt::ItemIsEditable));
        QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
        QVERIFY(!(model->flags(model->index(0, 3)) & Qt::ItemIsEditable));
        QVERIFY(model->flags(model->index(0, 1)) & Qt::ItemIsEditable);
        QCOMPARE(cell(2, 8).toString(), QStringLiteral("5"));

        // Writing the parent lock redraws the children lock of the same row and makes it read-only.
        QVERIFY(model->flags(model->index(1, 6)) & Qt::ItemIsEditable);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QVERIFY(model->setData(model->index(1, 5), true, Qt::EditRole));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model->index(1, 5));
        QCOMPARE(changed.at(1).at(0).toModelIndex(), model->index(1, 6));
        QVERIFY(!(model->flags(model->index(1, 6)) & Qt::ItemIsEditable));
        QCOMPARE(model->dataProvider()->itemAt(1).value(QStringLiteral("parentLock")), QStringLiteral("1"));
        QVERIFY(model->setData(model->index(1, 5), false, Qt::EditRole));
        QVERIFY(model->flags(model->index(1, 6)) & Qt::ItemIsEditable);

        // New entries get the next free id and their default name.
        const QString id = model->appendNewItem();
        QCOMPARE(id, QStringLiteral("2"));
        QCOMPARE(cell(3, 1).toString(), QStringLiteral("New TV service 2"));
        QCOMPARE(cell(3, 7).toString(), QStringLiteral("Unknown type"));
        QCOMPARE(cell(3, 5).toBool(), false);
        QVERIFY(radio.itemsModel->appendNewItem() == QStringLiteral("0"));
        QCOMPARE(radio.itemsModel->data(radio.itemsModel->index(0, 1), Qt::DisplayRole).toString(),
                 QStringLiteral("New radio service 0"));
    }

    void serviceValueModels()
    {
        TVListProjectFileManager manager(parent);
        QVERIFY(manager.newProject());
        QCOMPARE(manager.genresModel->rowCount(), 0);
        QCOMPARE(manager.providersModel->rowCount(), 0);
        QVERIFY(manager.closeProject());

        QVERIFY(manager.newProject(tvDocument()));
        QAbstractItemModelTester genresTester(manager.genresModel,
                                              QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester providersTester(manager.providersModel,
                                                 QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(values(manager.genresModel), (QStringList{"News", "R&B", "Sport"}));
        QCOMPARE(values(manager.providersModel), (QStringList{"ARD", "ZDF"}));
        // A genre choice carries the plain value, so ticking it writes the real text.
        QCOMPARE(manager.genresModel->data(manager.genresModel->index(1, 0), Qt::EditRole).toString(),
                 QStringLiteral("R&B"));
    }

    void linkSchema()
    {
        LinkListProjectFileManager manager(parent);
        QVERIFY(manager.newProject());
        QCOMPARE(values(manager.genresModel), QStringList{"Unspecified"});
        QVERIFY(manager.closeProject());

        QVERIFY(manager.newProject(linkDocument()));
        ListItemsDatabaseModel *model = manager.itemsModel;
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QStringList names{"# on list", "Title",       "Url",           "Description", "Genres",
                                "Type",      "Parent lock", "Children lock", "Index"};
        for (int column = 0; column < 9; ++column)
            QCOMPARE(model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(), names.at(column));
        QCOMPARE(manager.fieldColumns.value(QStringLiteral("childrenLock")), 7);
        // The link without genres reads "Unspecified", so it keeps its sorted place.
        QCOMPARE(values(manager.genresModel), (QStringList{"Info", "Unspecified"}));

        QCOMPARE(model->data(model->index(1, 4), Qt::DisplayRole).toString(), QStringLiteral("Unspecified"));
        // Hidden address: empty, disabled, and a write leaves it alone.
        QCOMPARE(model->data(model->index(1, 2), Qt::DisplayRole).toString(), QString());
        QVERIFY(!(model->flags(model->index(1, 2)) & (Qt::ItemIsEditable | Qt::ItemIsEnabled)));
        QVERIFY(!model->setData(model->index(1, 2), QStringLiteral("http://evil.example"), Qt::EditRole));
        QCOMPARE(model->dataProvider()->itemAt(1).value(QStringLiteral("url")),
                 QStringLiteral("http://hidden.example"));
        QCOMPARE(model->data(model->index(0, 2), Qt::DisplayRole).toString(), QStringLiteral("http://news.example"));
        QVERIFY(model->flags(model->index(0, 2)) & Qt::ItemIsEditable);

        // The type column is the page's map of values to texts.
        QVERIFY(dynamic_cast<MappedItemProperty *>(model->itemProperties().at(5)));

        // The parent lock redraws the children lock in column 7.
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QVERIFY(model->setData(model->index(0, 6), true, Qt::EditRole));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toModelIndex(), model->index(0, 7));

        const QString id = model->appendNewItem();
        QCOMPARE(model->data(model->index(2, 1), Qt::DisplayRole).toString(), QStringLiteral("New link %1").arg(id));
        QCOMPARE(model->dataProvider()->itemAt(2).value(QStringLiteral("type")), QStringLiteral("website"));
        QCOMPARE(model->data(model->index(2, 4), Qt::DisplayRole).toString(), QStringLiteral("Unspecified"));
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("compressed");
        QTest::newRow("project") << "lists.tvqvxc" << true;
        QTest::newRow("export") << "lists.tvqvx" << false;
    }
    void roundTrip()
    {
        QFETCH(QString, name);
        QFETCH(bool, compressed);
        const QString path = dir->filePath(name);
        writeAll(path, compressed ? qCompress(tvDocument().toUtf8(), 9) : tvDocument().toUtf8());
        TVListProjectFileManager manager(parent);
        QVERIFY(manager.loadFile(path));
        QVERIFY(!manager.isModified());
        QVERIFY(manager.isProjectLoaded());

        // Unchanged: the same XML comes back.
        QSignalSpy saved(&manager, &ProjectFileManager::onAfterSave);
        manager.saveProject();
        QCOMPARE(saved.count(), 1);
        QCOMPARE(saved.at(0).at(0).toBool(), true);
        QCOMPARE(canonicalFile(path, compressed), canonical(tvDocument()));

        // One edit: exactly that value changes, unknown elements and attributes stay.
        QVERIFY(manager.itemsModel->setData(manager.itemsModel->index(1, 1), QStringLiteral("ZDF HD"), Qt::EditRole));
        QVERIFY(manager.isModified());
        manager.saveProject();
        QVERIFY(!manager.isModified());
        QVERIFY(answerer->boxTexts.isEmpty());

        QDomDocument expected;
        expected.setContent(tvDocument());
        expected.elementsByTagName(QStringLiteral("name")).at(1).firstChild().setNodeValue(QStringLiteral("ZDF HD"));
        QCOMPARE(canonicalFile(path, compressed), expected.toString(1));

        TVListProjectFileManager reader(parent);
        QVERIFY(reader.loadFile(path));
        QCOMPARE(reader.itemsModel->data(reader.itemsModel->index(1, 1), Qt::DisplayRole).toString(),
                 QStringLiteral("ZDF HD"));
        QCOMPARE(reader.documentText(), manager.documentText());
    }

    void exportToDrive()
    {
        const QString drive = dir->filePath(QStringLiteral("E:"));
        QVERIFY(QDir().mkpath(drive));
        const QString marker = QDir(drive).filePath(QStringLiteral("dbxmlexport"));
        writeAll(marker, {});
        TVListProjectFileManager manager(parent);
        ExportDrivePicker::setPicker([](QWidget *) { return QStringLiteral("E:"); });
        QCOMPARE(manager.exportFileName(), QStringLiteral("E:/FavsListUpdate.tvqvx"));
        QWidget *askedWith = nullptr;
        ExportDrivePicker::setPicker([&](QWidget *dialogParent) {
            askedWith = dialogParent;
            return drive;
        });
        QCOMPARE(manager.exportFileName(), drive + QStringLiteral("/FavsListUpdate.tvqvx"));
        QCOMPARE(askedWith, parent);
        QVERIFY(manager.newProject(tvDocument()));
        QSignalSpy exported(&manager, &ProjectFileManager::onAfterExport);
        QVERIFY(manager.exportProject());
        QCOMPARE(exported.at(0).at(0).toBool(), true);
        const QString written = QDir(drive).filePath(QStringLiteral("FavsListUpdate.tvqvx"));
        QCOMPARE(canonicalFile(written, false), canonical(tvDocument()));
        QVERIFY(!QFile::exists(marker));
        QVERIFY(answerer->fileDialogs.isEmpty());

        // A cancelled drive choice writes nothing and says nothing.
        QVERIFY(QFile::remove(written));
        ExportDrivePicker::setPicker([](QWidget *) { return QString(); });
        QVERIFY(!manager.exportProject());
        QVERIFY(!QFile::exists(written));
        QVERIFY(answerer->boxTexts.isEmpty());

        // A drive that is the file-system root gives a clean path.
        ExportDrivePicker::setPicker([](QWidget *) { return QStringLiteral("/"); });
        QCOMPARE(manager.exportFileName(), QStringLiteral("/FavsListUpdate.tvqvx"));
    }

    void invalidFileLeavesNoDocument()
    {
        const QString path = dir->filePath(QStringLiteral("wrong.tvqvx"));
        writeAll(path, "<?xml version='1.0'?><tdocument><items/><lists/></tdocument>");
        TVListProjectFileManager manager(parent);
        QSignalSpy loads(&manager, &ListProjectFileManager::loadDocument);
        QVERIFY(!manager.loadFile(path));
        QCOMPARE(answerer->boxTexts, QStringList{QStringLiteral("Error. File is empty or contains invalid data.")});
        QCOMPARE(loads.count(), 0);
        QVERIFY(!manager.document && !manager.itemsModel);
    }

    void translated()
    {
        QTranslator german;
        QVERIFY(german.load(QStringLiteral(":/translations/Resources/MUI/de_DE.qm")));
        QCoreApplication::installTranslator(&german);
        LinkListProjectFileManager manager(parent);
        QCOMPARE(manager.fileFilter(), QStringLiteral("Ombrelay-Projekt für Internet-Linklisten (*.lkqvxc);;"
                                                      "Ombrelay-Exportdatei für Internet-Linklisten (*.lkqvx)"));
        QVERIFY(manager.newProject());
        QCOMPARE(manager.itemsModel->mimeType(), QStringLiteral("Ombrelay-Exportdatei für Internet-Linklisten_item"));
        QCOMPARE(manager.itemsModel->headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Elternsperre"));
        // The extra genre is the translation at set-up time (the words may come from any part's file).
        QVERIFY(QObject::tr("Unspecified") != QLatin1String("Unspecified"));
        QCOMPARE(values(manager.genresModel), QStringList{QObject::tr("Unspecified")});
        QCoreApplication::removeTranslator(&german);
        manager.retranslate();
        QCOMPARE(manager.itemsModel->headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Parent lock"));
        QCOMPARE(manager.closeAction->text(), QStringLiteral("Schließen"));
    }

private:
    ListProjectFileManager *make(int kind)
    {
        if (kind == 0)
            return new TVListProjectFileManager(parent);
        if (kind == 1)
            return new RadioListProjectFileManager(parent);
        return new LinkListProjectFileManager(parent);
    }
    static QStringList values(QAbstractItemModel *model)
    {
        QStringList result;
        for (int row = 0; row < model->rowCount(); ++row)
            result << model->data(model->index(row, 0), Qt::DisplayRole).toString();
        return result;
    }

    std::unique_ptr<ManagerSession> session;
    QTemporaryDir *dir = nullptr;
    QWidget *parent = nullptr;
    DialogAnswerer *answerer = nullptr;
};

OMBRELAY_TEST_MAIN(TestListProjectFileManager)
#include "tst_listprojectfilemanager.moc"
