#include "receiveremulator.h"
#include "receiverlists.h"
#include "testmain.h"

#include "dialoganswerer.h"
#include "generatedtvlist.h"
#include "handingmanager.h"

#include "app/mainwindow.h"
#include "base/settings.h"
#include "base/translatorloader.h"
#include "device/core/devicecommunicationmanager.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "devices/zbdevicecollection.h"
#include "document/listitemsdatabasemodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "listfiles/projectfileformat.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/favouritelisteditor.h"
#include "lists/transferlistsdevicetask.h"
#include "lists/tvlistmodule.h"
#include "modules/modulefactory.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QDir>
#include <QDomDocument>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTranslator>

namespace {
// The receiver's list: generated services and four lists, the fourth locked and named.
QByteArray receiverList(int services)
{
    QString text = GeneratedTvList::text(services);
    text.replace(QStringLiteral("<list id=\"3\">"), QStringLiteral("<list id=\"3\" lock=\"true\" name=\"Operator\">"));
    return text.toUtf8();
}

QString canonical(const QString &xml)
{
    // The receiver keeps services and the lists' entries; the upload messages carry no list names.
    QDomDocument doc;
    doc.setContent(xml);
    const QDomElement root = doc.documentElement();
    for (QDomElement l = root.firstChildElement(QStringLiteral("lists")).firstChildElement(); !l.isNull();
         l = l.nextSiblingElement()) {
        l.removeAttribute(QStringLiteral("lock"));
        l.removeAttribute(QStringLiteral("name"));
    }
    QString text;
    QTextStream out(&text);
    root.firstChildElement(QStringLiteral("items")).save(out, -1);
    root.firstChildElement(QStringLiteral("lists")).save(out, -1);
    return text;
}

// The action of the table's context menu titled menuTitle whose text or value is key, inside the
// sub-menu whose value is sub when one is given.
QAction *menuAction(QWidget *table, const QString &menuTitle, const QString &key, const QString &sub = {})
{
    const auto matches = [](QAction *action, const QString &wanted) {
        return action->text() == wanted || action->data().toString() == wanted;
    };
    for (QAction *action : table->actions()) {
        QMenu *menu = action->menu();
        if (!menu || menu->title() != menuTitle)
            continue;
        for (QAction *entry : menu->actions()) {
            if (!sub.isEmpty() && entry->menu() && matches(entry, sub)) {
                for (QAction *inner : entry->menu()->actions())
                    if (matches(inner, key))
                        return inner;
            } else if (sub.isEmpty() && matches(entry, key)) {
                return entry;
            }
        }
    }
    return nullptr;
}
} // namespace

class TestTvListModule : public QObject
{
    Q_OBJECT
    ZBDeviceInfo info{QStringLiteral("Box")};

    // A shown page on this manager; with download set, a download is started on it.
    std::unique_ptr<TVListModule> makeModule(DeviceCommunicationManager *manager, bool download = false)
    {
        auto module = std::make_unique<TVListModule>();
        module->setCommunicationManager(manager);
        module->setDeviceInfo(&info);
        module->resize(1100, 760);
        module->show();
        module->onShow();
        if (download) {
            module->btnDownloadLists->setEnabled(true);
            module->btnDownloadLists->click();
        }
        return module;
    }

private slots:
    void init() { Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("0")); }

    void downloadEditSendAndDownloadAgain()
    {
        ReceiverEmulator emulator;
        auto lists = ReceiverLists::install(emulator);
        lists->setDocument(QStringLiteral("tv"), receiverList(200));
        QVERIFY(emulator.start());
        DVB24CommunicationManager manager;
        manager.setPort(emulator.port());
        auto module = makeModule(&manager);
        connect(&manager, &DeviceCommunicationManager::stateChanged, module.get(), &TVListModule::onDeviceStateChange);
        manager.connectToHost(emulator.host());
        QTRY_VERIFY(module->btnDownloadLists->isEnabled());

        lists->setHold(true);
        module->btnDownloadLists->click();
        QCOMPARE(module->stackedWidget->currentIndex(), 2);
        QCOMPARE(module->dataTransferPageStatusLabel->text(),
                 QStringLiteral("Downloading lists. Waiting for device access..."));
        lists->setHold(false);
        QTRY_COMPARE(module->stackedWidget->currentIndex(), 1);
        QVERIFY(!module->pendingTask());

        ItemsTableView *table = module->itemsTableViewAll;
        QAbstractItemModelTester tester(table->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(table->model()->rowCount(), 200);
        for (int c = 0; c < table->model()->columnCount(); ++c)
            QCOMPARE(table->isColumnHidden(c), c > 2);
        // "# on list" takes its title's width, so the title shows.
        QVERIFY(table->columnWidth(0) >= table->horizontalHeader()->sectionSizeHint(0));
        QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), 0);
        QStringList titles;
        for (int i = 0; i < module->listsTabWidget->count(); ++i)
            titles << module->listsTabWidget->tabText(i);
        QCOMPARE(titles, QStringList({"List 1", "List 2", "List 3", "Operator"}));

        // Rename the first service through the panel, then send with the question answered and ticked.
        table->selectRow(0);
        module->txtServiceTitle->setText(QStringLiteral("Renamed"));
        QTest::keyClick(module->txtServiceTitle, Qt::Key_Return);
        DialogAnswerer answers;
        MessageBox::setAnswerHook([&](QDialog *box) {
            answers.boxTexts << box->findChild<QLabel *>(QStringLiteral("lblMessage"))->text();
            box->findChild<QCheckBox *>()->setChecked(true);
            MessageBox::clickButton(box, QStringLiteral("&Yes"));
        });
        module->btnUploadDeviceLists->click();
        QCOMPARE(answers.boxTexts.size(), 1);
        QVERIFY(module->projectManager()->isModified());
        QTRY_COMPARE(lists->uploads(), 1);
        QTRY_COMPARE(module->stackedWidget->currentIndex(), 1);
        QVERIFY(!module->projectManager()->isModified());
        QVERIFY(QString::fromUtf8(lists->document("tv")).contains(QStringLiteral("<name>Renamed</name>")));
        const QString sent = module->projectManager()->documentText();

        module->btnUploadDeviceLists->click();
        QCOMPARE(answers.boxTexts.size(), 1);
        QTRY_COMPARE(lists->uploads(), 2);
        QTRY_VERIFY(!module->pendingTask());

        module->btnDownloadDeviceLists->click();
        QTRY_VERIFY(!module->pendingTask());
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
        QCOMPARE(canonical(module->projectManager()->documentText()), canonical(sent));
        manager.requestClose();
    }

    // A user's session on the emulator: every edit reaches the receiver and comes back with the next
    // download; a refused download keeps the open list.
    void editsWithASearchAndANewServiceArrive()
    {
        Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1"));
        ReceiverEmulator emulator;
        auto lists = ReceiverLists::install(emulator);
        lists->setDocument(QStringLiteral("tv"), receiverList(200));
        QVERIFY(emulator.start());
        DVB24CommunicationManager manager;
        manager.setPort(emulator.port());
        auto module = makeModule(&manager);
        connect(&manager, &DeviceCommunicationManager::stateChanged, module.get(), &TVListModule::onDeviceStateChange);
        manager.connectToHost(emulator.host());
        QTRY_VERIFY(module->btnDownloadLists->isEnabled());
        module->btnDownloadLists->click();
        QTRY_COMPARE(module->stackedWidget->currentIndex(), 1);
        ItemsTableView *table = module->itemsTableViewAll;
        QAbstractItemModel *rows = table->model();
        DialogAnswerer answers;

        // Rename while a search is active: the service leaves the search, the rename stays.
        module->txtSearch->setText(QStringLiteral("Service 17"));
        QVERIFY(rows->rowCount() > 1);
        table->selectRow(0);
        const QString renamedId = rows->index(0, 8).data().toString();
        module->txtServiceTitle->setText(QStringLiteral("Renamed one"));
        QTest::keyClick(module->txtServiceTitle, Qt::Key_Return);
        QTRY_COMPARE(module->projectManager()->itemsModel->indexById(renamedId, 1).data().toString(),
                     QStringLiteral("Renamed one"));
        module->txtSearch->clear();
        QCOMPARE(rows->rowCount(), 200);

        // "Parent lock" > Check and "Children lock" > Add > 2 on three rows.
        QStringList locked;
        table->selectionModel()->clearSelection();
        for (int row : {3, 4, 5}) {
            table->selectionModel()->select(rows->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
            locked << rows->index(row, 8).data().toString();
        }
        QAction *check = menuAction(table, QStringLiteral("Parent lock"), QStringLiteral("Check"));
        QAction *addTwo =
            menuAction(table, QStringLiteral("Children lock"), QStringLiteral("2"), QStringLiteral("add"));
        QVERIFY(check);
        QVERIFY(addTwo);
        check->trigger();
        addTwo->trigger();

        // Two services dragged onto "List 2".
        const QList<int> dragged{rows->index(10, 8).data().toInt(), rows->index(11, 8).data().toInt()};
        std::unique_ptr<QMimeData> drag(rows->mimeData({rows->index(10, 0), rows->index(11, 0)}));
        module->listsTabWidget->setCurrentIndex(1);
        auto *second = qobject_cast<FavouriteListEditor *>(module->listsTabWidget->currentWidget());
        QVERIFY(second);
        QVERIFY(second->tblItems->model()->dropMimeData(drag.get(), Qt::LinkAction, 0, 0, QModelIndex()));
        module->listsTabWidget->setCurrentIndex(0);

        // A new service with a row selected, given tuning data and added.
        table->selectRow(7);
        module->btnCreateNewItem->click();
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        QCOMPARE(items->rowCount(), 201);
        const QString newId = table->model()->index(table->currentIndex().row(), 8).data().toString();
        QCOMPARE(newId, QStringLiteral("200"));
        items->setData(items->indexById(newId, 7), QStringLiteral("<config type=\"cable\" frequency=\"12345\"/>"),
                       Qt::EditRole);
        module->btnSaveServiceSettings->click();
        QCOMPARE(items->rowCount(), 201);
        QVERIFY(table->isEnabled());

        module->btnUploadDeviceLists->click();
        QTRY_COMPARE(lists->uploads(), 1);
        QTRY_VERIFY(!module->pendingTask());
        QVERIFY(!module->projectManager()->isModified());
        const QString sent = module->projectManager()->documentText();

        module->btnDownloadDeviceLists->click();
        QTRY_VERIFY(!module->pendingTask());
        QCOMPARE(canonical(module->projectManager()->documentText()), canonical(sent));
        items = module->projectManager()->itemsModel; // the downloaded list has its own models
        QCOMPARE(items->rowCount(), 201);
        QCOMPARE(items->indexById(renamedId, 1).data().toString(), QStringLiteral("Renamed one"));
        for (const QString &id : locked) {
            QCOMPARE(items->indexById(id, 5).data(Qt::EditRole).toString(), QStringLiteral("true"));
            QVERIFY(items->indexById(id, 6).data(Qt::EditRole).toString().split(u';').contains(QStringLiteral("2")));
        }
        QVERIFY(items->indexById(newId, 7).data(Qt::EditRole).toString().contains(QStringLiteral("12345")));
        QCOMPARE(module->projectManager()->readLists().at(1).mid(0, 2), dragged);
        QCOMPARE(answers.boxTexts, QStringList());

        // A refused download keeps the open list.
        lists->setDocument(QStringLiteral("tv"), QByteArray("not a list"));
        module->btnDownloadDeviceLists->click();
        QTRY_VERIFY(!module->pendingTask());
        QCOMPARE(answers.boxTexts, QStringList{QStringLiteral("Downloaded data format is invalid, please try again.")});
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
        QCOMPARE(items, module->projectManager()->itemsModel);
        QCOMPARE(canonical(module->projectManager()->documentText()), canonical(sent));
        manager.requestClose();
    }

    void endings_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("loaded");
        const QString invalid = QStringLiteral("Downloaded data format is invalid, please try again.");
        const QString good = QString::fromUtf8(receiverList(5));
        QTest::newRow("download") << "download" << good << QStringList{"complete:1"} << 1 << QStringList{} << true;
        QTest::newRow("empty reply") << "download"
                                     << "" << QStringList{"complete:1"} << 0 << QStringList{invalid} << false;
        QTest::newRow("junk reply") << "download"
                                    << "<TDocument><items>" << QStringList{"complete:1"} << 0 << QStringList{invalid}
                                    << false;
        QTest::newRow("error then failed completion")
            << "download" << good << QStringList{"error:Device is busy", "complete:0"} << 0
            << QStringList{"Device is busy"} << false;
        QTest::newRow("failed completion alone")
            << "download" << good << QStringList{"complete:0"} << 0 << QStringList{} << false;
        QTest::newRow("cancel") << "download" << good << QStringList{"cancel", "canceled", "complete:1"} << 0
                                << QStringList{} << false;
    }
    void endings()
    {
        QFETCH(QString, mode);
        QFETCH(QString, reply);
        QFETCH(QStringList, events);
        QFETCH(int, page);
        QFETCH(QStringList, boxes);
        QFETCH(bool, loaded);
        HandingManager manager;
        DialogAnswerer answers;
        auto module = makeModule(&manager, true);
        QCOMPARE(manager.enqueued.size(), 1);
        QPointer<DeviceTask> task = manager.enqueued.first();
        QCOMPARE(module->stackedWidget->currentIndex(), 2);
        task->setResult(reply);
        task->onStart();
        task->onProgress(250, 0);
        QCOMPARE(module->dataTransferProgressBar->value(), 100);
        for (const QString &event : events) {
            if (event.startsWith(QLatin1String("error:")))
                task->onError(event.mid(6));
            else if (event.startsWith(QLatin1String("complete:")))
                task->onComplete(event.endsWith(u'1'));
            else if (event == QLatin1String("cancel"))
                task->onCancel();
            else
                task->onCanceled();
        }
        QCOMPARE(module->stackedWidget->currentIndex(), page);
        QCOMPARE(answers.boxTexts, boxes);
        QCOMPARE(module->projectManager()->isProjectLoaded(), loaded);
        QVERIFY(!module->pendingTask());
        QTRY_VERIFY(task.isNull()); // released once ended
    }

    void sendCountsAsSavedOnlyForTheSentText_data()
    {
        QTest::addColumn<bool>("editAfterSending");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("modified");
        QTest::newRow("sent") << false << true << false;
        QTest::newRow("edited while sending") << true << true << true;
        QTest::newRow("failed") << false << false << true;
    }
    void sendCountsAsSavedOnlyForTheSentText()
    {
        QFETCH(bool, editAfterSending);
        QFETCH(bool, ok);
        QFETCH(bool, modified);
        Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1"));
        HandingManager manager;
        auto module = makeModule(&manager);
        DialogAnswerer answers;
        QVERIFY(module->projectManager()->newProject(QString::fromUtf8(receiverList(5))));
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        items->setData(items->index(0, 1), QStringLiteral("Changed"), Qt::EditRole);
        QVERIFY(module->projectManager()->isModified());
        module->btnUploadDeviceLists->setEnabled(true);
        module->btnUploadDeviceLists->click();
        QCOMPARE(manager.enqueued.size(), 1);
        if (editAfterSending)
            items->setData(items->index(1, 1), QStringLiteral("Later"), Qt::EditRole);
        if (!ok)
            manager.enqueued.first()->onError(QStringLiteral("Sending failed"));
        manager.enqueued.first()->onComplete(ok);
        QCOMPARE(module->projectManager()->isModified(), modified);
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
    }

    void onlyLostConnectionCancels_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("cancels");
        QTest::newRow("connecting") << "connecting" << 0;
        QTest::newRow("connected") << "connected" << 0;
        QTest::newRow("disconnecting") << "disconnecting" << 1;
        QTest::newRow("disconnected") << "disconnected" << 1;
    }
    void onlyLostConnectionCancels()
    {
        QFETCH(QString, state);
        QFETCH(int, cancels);
        HandingManager manager;
        auto module = makeModule(&manager, true);
        DeviceTask *task = module->pendingTask();
        QVERIFY(task);
        module->onDeviceStateChange(state);
        QCOMPARE(manager.cancels, cancels);
        // The task stays the pending one until its own ending arrives.
        QCOMPARE(module->pendingTask(), task);
        QCOMPARE(module->btnDownloadLists->isEnabled(), state == QLatin1String("connected"));
    }

    void cancelButtonAndTeardown()
    {
        HandingManager manager;
        auto idle = makeModule(&manager);
        idle->setPage(2);
        idle->dataTransferPageButton->click(); // no task: back to where a task would return
        QCOMPARE(idle->stackedWidget->currentIndex(), 0);
        QCOMPARE(manager.cancels, 0);
        makeModule(&manager, true).reset(); // a page going away takes its request with it
        QCOMPARE(manager.cancels, 1);
    }

    void openingAFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("receiver");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("rows");
        const QString none = QStringLiteral(
            "There are no registered devices in application. Please add at least one device to open a file.");
        QTest::newRow("upper case") << "LIST.TVQVXC" << true << QStringList{} << 5;
        QTest::newRow("two dots") << "my.list.tvqvxc" << true << QStringList{} << 5;
        QTest::newRow("unknown suffix")
            << "list.txt" << true
            << QStringList{"There is no registered device in application that supports 'txt' file type."} << -1;
        QTest::newRow("folder") << "folder.tvqvxc" << true << QStringList{} << -1;
        QTest::newRow("missing") << "gone.tvqvxc" << true << QStringList{} << -1;
        QTest::newRow("no receiver") << "list.tvqvxc" << false << QStringList{none} << -1;
    }
    void openingAFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, receiver);
        QFETCH(QStringList, boxes);
        QFETCH(int, rows);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("folder.tvqvxc"));
        if (name != QLatin1String("gone.tvqvxc") && !name.startsWith(QLatin1String("folder"))) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(ProjectFileFormat::encode(QString::fromUtf8(receiverList(5)), true));
        }
        ModuleFactory::registerListModule<TVListModule>(OmbrelayModule::TypeTvList);
        Settings::setString(Settings::OmbrelayDeviceList, QString()); // no receivers of earlier rows
        MainWindow window;
        if (receiver) {
            ZBDeviceInfo usb(QStringLiteral("Stick"), QString(), true);
            usb.setTvListMaxCount(1000);
            usb.ensureDefaults();
            window.collection()->append(usb);
        }
        DialogAnswerer answers;
        window.tryToOpenFile(dir.filePath(name));
        QCOMPARE(answers.boxTexts, boxes);
        auto *module = qobject_cast<TVListModule *>(window.currentModule());
        QCOMPARE(module && module->projectManager()->isProjectLoaded() ? module->itemsTableViewAll->model()->rowCount()
                                                                       : -1,
                 rows);
        if (rows > 0)
            QCOMPARE(module->stackedWidget->currentIndex(), 1);
    }
    void languageSwitchRetextsThePage()
    {
        HandingManager manager;
        auto module = makeModule(&manager);
        QTranslator translator;
        QVERIFY(loadTranslator(&translator, QStringLiteral("pl_PL")));
        QCoreApplication::installTranslator(&translator);
        QTRY_COMPARE(module->btnUploadDeviceLists->text(), QStringLiteral("Wyślij listy do urządzenia"));
        module->btnDownloadLists->setEnabled(true);
        module->btnDownloadLists->click();
        QCOMPARE(module->dataTransferPageStatusLabel->text(),
                 QStringLiteral("Pobieranie list. Oczekiwanie na dostęp do urządzenia..."));
        QCoreApplication::removeTranslator(&translator);
        QTRY_COMPARE(module->btnUploadDeviceLists->text(), QStringLiteral("Send lists to device"));
    }
};

OMBRELAY_TEST_MAIN(TestTvListModule)
#include "tst_tvlistmodule.moc"
