#include "testmain.h"

#include "listfixtures.h"

#include "document/docitemsdataprovider.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/listmodel.h"
#include "listfiles/tvlistprojectfilemanager.h"

#include <QMimeData>
#include <QScopeGuard>

#include <memory>

using namespace ListFixtures;

class TestModifiedState : public QObject
{
    Q_OBJECT

    QWidget parent;
    QTemporaryDir dir;

    static quint64 written() { return ProjectFileManager::documentSerialisations(); }

private slots:
    // A list as this program saves it, small and past the size whose loaded text is kept as a digest.
    void asksWithoutWritingOut_data()
    {
        QTest::addColumn<int>("services");
        QTest::newRow("three services") << 0;
        QTest::newRow("past 1 MB of text") << 6000;
    }
    void asksWithoutWritingOut()
    {
        QFETCH(int, services);
        const QString path = dir.filePath(QStringLiteral("list%1.tvqvxc").arg(services));
        QString more;
        for (int i = 10; i < services + 10; ++i)
            more += QStringLiteral("<tvService id=\"%1\"><name>Service %1</name><provider>P</provider><details>"
                                   "<config type=\"cable\" frequency=\"%1\"/></details></tvService>")
                        .arg(i);
        {
            TVListProjectFileManager writer(&parent);
            QVERIFY(writer.newProject(tvDocument().replace(QStringLiteral("</items>"), more + "</items>")));
            writeAll(path, qCompress(writer.documentText().toUtf8()));
        }
        TVListProjectFileManager manager(&parent);
        const quint64 before = written();
        QVERIFY(manager.loadFile(path));
        const quint64 loaded = written();
        QCOMPARE(loaded - before, services ? 0u : 1u); // a large list is not written out to be loaded
        for (int i = 0; i < 100; ++i)
            QVERIFY(!manager.isModified());
        QCOMPARE(written(), loaded);

        ListItemsDatabaseModel *model = manager.itemsModel;
        const QModelIndex name = model->index(1, 1);
        QVERIFY(model->setData(name, QStringLiteral("Changed"), Qt::EditRole));
        for (int i = 0; i < 100; ++i)
            QVERIFY(manager.isModified());
        QCOMPARE(written(), loaded + 1);
        // set back: unchanged, as before
        QVERIFY(model->setData(name, QStringLiteral("ZDF"), Qt::EditRole));
        QVERIFY(!manager.isModified());

        QVERIFY(model->setData(name, QStringLiteral("Saved"), Qt::EditRole));
        manager.saveProject();
        const quint64 saved = written();
        QVERIFY(!manager.isModified());
        QCOMPARE(written(), saved);
        QVERIFY(model->setData(name, QStringLiteral("Edited"), Qt::EditRole));
        QVERIFY(manager.isModified());
    }

    // Every way a list changes is seen, however often the question was answered before.
    void everyChangeCounts_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("cell") << 0;
        QTest::newRow("row removed") << 1;
        QTest::newRow("row added") << 2;
        QTest::newRow("id changed") << 3;
        QTest::newRow("value written by path") << 4;
        QTest::newRow("entry moved") << 5;
        QTest::newRow("tree changed directly") << 6;
    }
    void everyChangeCounts()
    {
        QFETCH(int, change);
        TVListProjectFileManager manager(&parent);
        QVERIFY(manager.newProject(tvDocument()));
        QVERIFY(!manager.isModified());
        ListItemsDatabaseModel *model = manager.itemsModel;
        DocItem item = manager.itemsDataProvider()->itemAt(0);
        switch (change) {
        case 0:
            QVERIFY(model->setData(model->index(0, 2), QStringLiteral("ZDF"), Qt::EditRole));
            break;
        case 1:
            QVERIFY(model->removeRows(2, 1));
            break;
        case 2:
            QVERIFY(!model->appendNewItem().isEmpty());
            break;
        case 3:
            QVERIFY(model->setData(model->index(0, 8), QStringLiteral("9"), Qt::EditRole));
            break;
        case 4:
            QVERIFY(item.setValue(QStringLiteral("details/config/@freq"), QStringLiteral("10714"), 0));
            break;
        case 5:
            QVERIFY(item.moveTo(99) > 0);
            break;
        default: // as code that changes the tree itself does
            manager.document->items.appendChild(manager.document->items.firstChildElement());
            manager.itemsDataProvider()->refresh();
        }
        QVERIFY(manager.isModified());
    }

    // A paste into a favourite list that goes in steps, asked about before its first step has put anything in
    // (the program or the page closing at once, the answer known from before): the list counts as changed by the
    // whole paste, and the save that follows writes it whole.
    void pasteNotYetStepped()
    {
        const QString path = dir.filePath(QStringLiteral("paste.tvqvxc"));
        writeAll(path, qCompress(tvDocument().toUtf8()));
        TVListProjectFileManager manager(&parent);
        QVERIFY(manager.loadFile(path));
        QVERIFY(!manager.isModified()); // the answer is known
        const QDomElement listElement =
            manager.document->lists.elementsByTagName(QStringLiteral("list")).at(2).toElement();
        QCOMPARE(listElement.attribute(QStringLiteral("id")), QStringLiteral("2"));
        auto refs = std::make_unique<DocItemsDataProvider>(listElement, QStringLiteral("ref"), false);
        auto list = std::make_unique<ListModel>(manager.itemsModel, refs.get(), QStringLiteral("_ref"), nullptr);
        QModelIndexList rows;
        for (int row = 0; row < manager.itemsModel->rowCount(); ++row)
            rows << manager.itemsModel->index(row, 0);
        std::unique_ptr<QMimeData> copied(manager.itemsModel->mimeData(rows));
        ListModel::setPasteSplit(1, 1);
        const auto splitBack = qScopeGuard([] { ListModel::setPasteSplit(512 * 1024, 2000); });
        QVERIFY(list->dropMimeData(copied.get(), Qt::CopyAction, -1, 0, QModelIndex()));
        QVERIFY(list->isPasting());
        QCOMPARE(list->rowCount(), 0); // nothing in yet

        QVERIFY(manager.isModified());
        QVERIFY(!list->isPasting());
        QCOMPARE(manager.readLists().value(2), (QList<int>{0, 1, 5}));
        manager.saveProject();
        QVERIFY(!manager.isModified());
        TVListProjectFileManager reader(&parent);
        QVERIFY(reader.loadFile(path));
        QCOMPARE(reader.readLists().value(2), (QList<int>{0, 1, 5}));
        list.reset();
    }
};

OMBRELAY_TEST_MAIN(TestModifiedState)
#include "tst_modifiedstate.moc"
