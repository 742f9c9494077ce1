#include "receiveremulator.h"
#include "receiverlists.h"
#include "testmain.h"

#include "dialoganswerer.h"
#include "generatedtvlist.h"

#include "base/settings.h"
#include "device/core/devicetask.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/tvlistmodule.h"

#include <QAbstractItemModelTester>
#include <QPointer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>

// A downloaded list is read off the GUI thread: every ending of a download still holds, whether the
// list is read there (a long one) or at once (a short one), and a page that is cancelled or goes away
// while the list is read loads nothing and does not crash.
class TestTvListDownload : public QObject
{
    Q_OBJECT
    ZBDeviceInfo info{QStringLiteral("Box")};
    const QString invalid = QStringLiteral("Downloaded data format is invalid, please try again.");

    struct Session
    {
        ReceiverEmulator emulator;
        std::shared_ptr<ReceiverLists> lists = ReceiverLists::install(emulator);
        DVB24CommunicationManager manager;
        std::unique_ptr<TVListModule> module;
    };

    // A shown page connected to an emulator that serves list; with open set, the page already holds
    // a project of three services.
    std::unique_ptr<Session> connectedPage(const QByteArray &list, bool open)
    {
        auto session = std::make_unique<Session>();
        session->lists->setDocument(QStringLiteral("tv"), list);
        if (!session->emulator.start())
            return nullptr;
        session->manager.setPort(session->emulator.port());
        session->module = std::make_unique<TVListModule>();
        TVListModule *module = session->module.get();
        module->setCommunicationManager(&session->manager);
        module->setDeviceInfo(&info);
        module->resize(1100, 760);
        module->show();
        module->onShow();
        connect(&session->manager, &DeviceCommunicationManager::stateChanged, module,
                &TVListModule::onDeviceStateChange);
        if (open && !module->projectManager()->newProject(GeneratedTvList::text(3)))
            return nullptr;
        session->manager.connectToHost(session->emulator.host());
        return session;
    }

    // Waits until the page reads the received list, on the transfer page.
    static bool waitUntilReading(TVListModule *module)
    {
        return QTest::qWaitFor([&] { return module->isReadingList(); }, 30000) &&
               module->stackedWidget->currentIndex() == TVListModule::PageTransfer;
    }

private slots:
    void init() { Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1")); }

    void endings_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("refused");
        const QByteArray longList = GeneratedTvList::text(1500).toUtf8();
        QByteArray longJunk = longList;
        longJunk.chop(40); // cut inside the favourite lists
        QTest::newRow("long list, nothing open") << longList << false << 1500 << false;
        QTest::newRow("long list over an open one") << longList << true << 1500 << false;
        QTest::newRow("short list over an open one") << GeneratedTvList::text(5).toUtf8() << true << 5 << false;
        QTest::newRow("long junk keeps the open list") << longJunk << true << 3 << true;
        QTest::newRow("long junk, nothing open") << longJunk << false << -1 << true;
        QTest::newRow("no list document") << QByteArray(70000, 'x') << true << 3 << true;
        QTest::newRow("empty reply keeps the open list") << QByteArray() << true << 3 << true;
        QTest::newRow("short junk") << QByteArray("<TDocument><items>") << true << 3 << true;
    }
    void endings()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, open);
        QFETCH(int, rows);
        QFETCH(bool, refused);
        auto session = connectedPage(reply, open);
        QVERIFY(session);
        TVListModule *module = session->module.get();
        DialogAnswerer answers;
        QSignalSpy pages(module->stackedWidget, &QStackedWidget::currentChanged);
        QTRY_VERIFY(module->btnDownloadLists->isEnabled());
        module->btnDownloadLists->click();
        QTRY_VERIFY_WITH_TIMEOUT(!module->pendingTask(), 30000);
        // the transfer page stays until the list is read (a list replaced goes through the welcome page)
        QVERIFY(pages.size() >= 2);
        QCOMPARE(pages.first().at(0).toInt(), int(TVListModule::PageTransfer));
        for (int i = 1; i < pages.size(); ++i)
            QVERIFY(pages.at(i).at(0).toInt() != int(TVListModule::PageTransfer));
        TVListProjectFileManager *manager = module->projectManager();
        QCOMPARE(manager->isProjectLoaded(), rows >= 0);
        QCOMPARE(module->stackedWidget->currentIndex(),
                 int(rows >= 0 ? TVListModule::PageEditor : TVListModule::PageWelcome));
        QCOMPARE(rows >= 0 ? module->itemsTableViewAll->model()->rowCount() : -1, rows);
        QCOMPARE(answers.boxTexts, refused ? QStringList{invalid} : QStringList());
        if (rows >= 0) {
            QAbstractItemModelTester tester(module->itemsTableViewAll->model(),
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
            QVERIFY(!manager->isModified());
        }
        session->manager.requestClose();
    }

    // A save question answered Cancel while the read list waits keeps the open list and its page.
    void cancelledSaveQuestionKeepsTheProject()
    {
        auto session = connectedPage(GeneratedTvList::text(1500).toUtf8(), true);
        QVERIFY(session);
        TVListModule *module = session->module.get();
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        items->setData(items->index(0, 1), QStringLiteral("Unsaved"), Qt::EditRole);
        DialogAnswerer answers;
        answers.boxAnswers << QStringLiteral("&Cancel");
        QTRY_VERIFY(module->btnDownloadLists->isEnabled());
        module->btnDownloadLists->click();
        QTRY_VERIFY_WITH_TIMEOUT(!module->pendingTask(), 30000);
        QCOMPARE(answers.boxTexts.size(), 1);
        QVERIFY(answers.boxTexts.first().contains(QStringLiteral("has been modified")));
        QCOMPARE(module->stackedWidget->currentIndex(), int(TVListModule::PageEditor));
        QCOMPARE(module->projectManager()->itemsModel, items);
        QCOMPARE(items->rowCount(), 3);
        QCOMPARE(items->index(0, 1).data().toString(), QStringLiteral("Unsaved"));
        QVERIFY(module->projectManager()->isModified());
        session->manager.requestClose();
    }

    void cancelWhileReading_data()
    {
        QTest::addColumn<bool>("open");
        QTest::newRow("nothing open") << false;
        QTest::newRow("a list open") << true;
    }
    void cancelWhileReading()
    {
        QFETCH(bool, open);
        auto session = connectedPage(GeneratedTvList::text(20000).toUtf8(), open);
        QVERIFY(session);
        TVListModule *module = session->module.get();
        DialogAnswerer answers;
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        QTRY_VERIFY(module->btnDownloadLists->isEnabled());
        module->btnDownloadLists->click();
        QVERIFY(waitUntilReading(module));
        QPointer<DeviceTask> task = module->pendingTask();
        QVERIFY(task);
        module->dataTransferPageButton->click();
        // back at once; the read list is dropped when the reader is done
        QCOMPARE(module->stackedWidget->currentIndex(),
                 int(open ? TVListModule::PageEditor : TVListModule::PageWelcome));
        QTRY_VERIFY_WITH_TIMEOUT(task.isNull(), 30000);
        QVERIFY(!module->pendingTask());
        QCOMPARE(module->projectManager()->isProjectLoaded(), open);
        QCOMPARE(module->projectManager()->itemsModel, items);
        if (open)
            QCOMPARE(items->rowCount(), 3);
        QCOMPARE(module->stackedWidget->currentIndex(),
                 int(open ? TVListModule::PageEditor : TVListModule::PageWelcome));
        QCOMPARE(answers.boxTexts, QStringList());
        // the page downloads again afterwards
        session->lists->setDocument(QStringLiteral("tv"), GeneratedTvList::text(5).toUtf8());
        module->btnDownloadLists->setEnabled(true);
        module->btnDownloadLists->click();
        QTRY_VERIFY_WITH_TIMEOUT(!module->pendingTask(), 30000);
        QCOMPARE(module->itemsTableViewAll->model()->rowCount(), 5);
        session->manager.requestClose();
    }

    // The page goes away while the list is read: the task waits for its reader and touches nothing.
    void pageDestroyedWhileReading()
    {
        const QString list = GeneratedTvList::text(20000);
        auto session = connectedPage(list.toUtf8(), true);
        QVERIFY(session);
        TVListModule *module = session->module.get();
        DialogAnswerer answers;
        QTRY_VERIFY(module->btnDownloadLists->isEnabled());
        module->btnDownloadLists->click();
        QVERIFY(waitUntilReading(module));
        QPointer<DeviceTask> task = module->pendingTask();
        QVERIFY(task);
        session->module.reset();
        QVERIFY(task.isNull());
        // The same reading once more here: a reader left running would have ended by then, writing
        // into a task that is gone (which the address sanitiser reports), or delivering to it.
        QVERIFY(ListProjectFileManager::readDocument(list));
        QTest::qWait(100);
        QCOMPARE(answers.boxTexts, QStringList());
        session->manager.requestClose();
    }

    // A send keeps one text, its payload: the project counts as saved without the document being
    // written out again when it has not changed, and with one comparison when it has.
    void sendTakesTheSnapshotFromAMark_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("writtenOut");
        QTest::newRow("unchanged") << "" << false << 0;
        QTest::newRow("edited") << "edit" << true << 1;
        QTest::newRow("edited and edited back") << "edit back" << false << 1;
    }
    void sendTakesTheSnapshotFromAMark()
    {
        QFETCH(QString, meanwhile);
        QFETCH(bool, modified);
        QFETCH(int, writtenOut);
        auto session = connectedPage(GeneratedTvList::text(500).toUtf8(), false);
        QVERIFY(session);
        TVListModule *module = session->module.get();
        DialogAnswerer answers;
        QTRY_VERIFY(module->btnDownloadLists->isEnabled());
        module->btnDownloadLists->click();
        QTRY_VERIFY_WITH_TIMEOUT(!module->pendingTask(), 30000);
        TVListProjectFileManager *manager = module->projectManager();
        ListItemsDatabaseModel *items = manager->itemsModel;
        const QString name = items->index(0, 1).data().toString();
        items->setData(items->index(0, 1), QStringLiteral("Sent name"), Qt::EditRole);
        QVERIFY(manager->isModified());
        const int uploads = session->lists->uploads();
        module->btnUploadDeviceLists->click();
        // the completion is handled only once the test waits: these edits come while the list travels
        if (meanwhile.startsWith(QLatin1String("edit")))
            items->setData(items->index(0, 1), QStringLiteral("Later"), Qt::EditRole);
        if (meanwhile == QLatin1String("edit back"))
            items->setData(items->index(0, 1), QStringLiteral("Sent name"), Qt::EditRole);
        const quint64 before = ProjectFileManager::documentSerialisations();
        QTRY_VERIFY_WITH_TIMEOUT(!module->pendingTask(), 30000);
        QCOMPARE(session->lists->uploads(), uploads + 1);
        QCOMPARE(int(ProjectFileManager::documentSerialisations() - before), writtenOut);
        QCOMPARE(manager->isModified(), modified);
        QCOMPARE(answers.boxTexts, QStringList());
        QVERIFY(name != QLatin1String("Sent name"));
        session->manager.requestClose();
    }
};

OMBRELAY_TEST_MAIN(TestTvListDownload)
#include "tst_tvlistdownload.moc"
