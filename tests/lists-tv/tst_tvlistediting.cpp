#include "testmain.h"

#include "dialoganswerer.h"
#include "generatedtvlist.h"
#include "handingmanager.h"

#include "base/settings.h"
#include "base/translatorloader.h"
#include "device/core/devicecommunicationmanager.h"
#include "device/core/devicetask.h"
#include "device/core/zbdeviceinfo.h"
#include "document/listitemsdatabasemodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "exchange/listsimportwizard.h"
#include "exchange/selectdrivedialog.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/favouritelisteditor.h"
#include "lists/transferlistsdevicetask.h"
#include "lists/tvlistmodule.h"
#include "widgets/sfiltermenu.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
// Five generated services; shift moves every id (and list entry) up, so the ids start at 1 as a
// receiver's own numbering does; twin gives service 3 the tuning data of service 1.
QString listText(int shift = 0, bool twin = false)
{
    QString text = GeneratedTvList::text(5);
    if (twin)
        text.replace(QStringLiteral("type=\"analog\" frequency=\"10703\""),
                     QStringLiteral("type=\"cable\" frequency=\"10701\""));
    if (shift) {
        for (const char *pattern : {"(<tvService id=\")(\\d+)", "(<ref>)(\\d+)"}) {
            const QRegularExpression number(QString::fromLatin1(pattern));
            QString out;
            qsizetype last = 0;
            for (auto it = number.globalMatch(text); it.hasNext();) {
                const auto m = it.next();
                out += text.mid(last, m.capturedStart(2) - last) + QString::number(m.captured(2).toInt() + shift);
                last = m.capturedEnd(2);
            }
            text = out + text.mid(last);
        }
    }
    return text;
}

} // namespace

class TestTvListEditing : public QObject
{
    Q_OBJECT
    ZBDeviceInfo info{QStringLiteral("Box")};

    std::unique_ptr<TVListModule> makeModule(const QString &text, DeviceCommunicationManager *manager = nullptr)
    {
        auto module = std::make_unique<TVListModule>();
        module->setCommunicationManager(manager);
        module->setDeviceInfo(&info);
        module->resize(1100, 760);
        module->show();
        module->onShow();
        if (!text.isEmpty())
            module->projectManager()->newProject(text);
        return module;
    }
    static int rowOf(TVListModule *module, const QString &id)
    {
        QAbstractItemModel *model = module->itemsTableViewAll->model();
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->index(row, 8).data().toString() == id)
                return row;
        return -1;
    }
    static QString value(TVListModule *module, const QString &id, int column)
    {
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        return items->indexById(id, column).data().toString();
    }
    static bool pageUnlocked(TVListModule *module)
    {
        for (QWidget *widget : std::initializer_list<QWidget *>{module->itemsTableViewAll, module->listsTabWidget,
                                                                module->txtSearch, module->toolsFrame})
            if (!widget->isEnabled())
                return false;
        return module->btnCreateNewItem->isEnabled();
    }

private slots:
    void init() { Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1")); }

    // The check on leaving a changed service concerns the service left, not the one entered.
    void leavingChecksTheServiceLeft_data()
    {
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("unique left, twin entered") << "0"
                                                   << "1" << QStringList{};
        // Renaming a service whose tuning another already shared makes no duplicate: nothing to warn of.
        QTest::newRow("twin left, unique entered") << "1"
                                                   << "0" << QStringList{};
        QTest::newRow("unique left, unique entered") << "2"
                                                     << "4" << QStringList{};
    }
    void leavingChecksTheServiceLeft()
    {
        QFETCH(QString, edited);
        QFETCH(QString, entered);
        QFETCH(QStringList, boxes);
        auto module = makeModule(listText(0, true));
        DialogAnswerer answers;
        module->itemsTableViewAll->selectRow(rowOf(module.get(), edited));
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        QVERIFY(items->setData(items->indexById(edited, 1), QStringLiteral("Changed"), Qt::EditRole));
        module->itemsTableViewAll->selectRow(rowOf(module.get(), entered));
        QCOMPARE(answers.boxTexts, boxes);
        // An existing service is never removed by the check, and the panel follows the row entered.
        QCOMPARE(items->rowCount(), 5);
        QCOMPARE(value(module.get(), edited, 1), QStringLiteral("Changed"));
        QCOMPARE(module->txtServiceTitle->text(), value(module.get(), entered, 1));
    }

    // "Create new" with a row selected keeps the new service, numbers it after the highest id and never
    // leaves the page locked, whichever way the new service is ended.
    void createNewWithARowSelected_data()
    {
        QTest::addColumn<int>("shift");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("newId");
        QTest::newRow("ids from 0, add") << 0 << "add" << 6 << "5";
        QTest::newRow("ids from 1, add") << 1 << "add" << 6 << "6";
        QTest::newRow("ids from 1, cancel") << 1 << "cancel" << 5 << "6";
        QTest::newRow("ids from 1, escape") << 1 << "escape" << 5 << "6";
    }
    void createNewWithARowSelected()
    {
        QFETCH(int, shift);
        QFETCH(QString, end);
        QFETCH(int, rows);
        QFETCH(QString, newId);
        auto module = makeModule(listText(shift));
        DialogAnswerer answers;
        ItemsTableView *table = module->itemsTableViewAll;
        table->selectRow(2);
        module->btnCreateNewItem->click();
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        QCOMPARE(items->rowCount(), 6);
        QVERIFY(items->indexById(newId, 0).isValid());
        QCOMPARE(table->model()->index(table->currentIndex().row(), 8).data().toString(), newId);
        QVERIFY(!table->isEnabled()); // locked while the new service is edited
        QVERIFY(module->btnSaveServiceSettings->isVisible());
        QCOMPARE(module->txtServiceTitle->text(), value(module.get(), newId, 1));
        // The tuning editor gives the new service its tuning data, so it is more than a name.
        items->setData(items->indexById(newId, 7), QStringLiteral("<config type=\"cable\" frequency=\"11111\"/>"),
                       Qt::EditRole);
        if (end == QLatin1String("add"))
            module->btnSaveServiceSettings->click();
        else if (end == QLatin1String("cancel"))
            module->btnCancelServiceSetting->click();
        else
            QTest::keyClick(module.get(), Qt::Key_Escape);
        QCOMPARE(items->rowCount(), rows);
        QCOMPARE(items->indexById(newId, 0).isValid(), rows == 6);
        QVERIFY(pageUnlocked(module.get()));
        QCOMPARE(answers.boxTexts, QStringList());
    }

    // The panel edits the service it shows, even after an edit took its row out of the search.
    void panelKeepsItsServiceOutsideTheSearch()
    {
        auto module = makeModule(listText());
        ItemsTableView *table = module->itemsTableViewAll;
        module->txtSearch->setText(QStringLiteral("Service 4"));
        QCOMPARE(table->model()->rowCount(), 1);
        table->selectRow(0);
        const QString id = table->model()->index(0, 8).data().toString();
        module->txtServiceTitle->setText(QStringLiteral("Renamed"));
        QTest::keyClick(module->txtServiceTitle, Qt::Key_Return);
        // The panel hands its text over from the event loop.
        QTRY_COMPARE(value(module.get(), id, 1), QStringLiteral("Renamed"));
        QCOMPARE(table->model()->rowCount(), 0);
        // A children lock ticked in the panel now still belongs to that service.
        QTableView *choices = module->parentalControlMultipleChoice->findChild<QTableView *>();
        QVERIFY(choices && choices->model()->rowCount() >= 2);
        const QString before = value(module.get(), id, 6);
        const int unticked = before.contains(u'1') ? 1 : 0;
        QVERIFY(choices->model()->setData(choices->model()->index(unticked, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY2(value(module.get(), id, 6) != before, qPrintable(before));
        for (const QString &other : {"0", "2", "3", "4"})
            if (other != id)
                QCOMPARE(value(module.get(), other, 1).startsWith(QLatin1String("Service")), true);
    }

    // A download keeps the open list until the downloaded one has loaded.
    void downloadKeepsTheOpenList_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("rows");
        const QString invalid = QStringLiteral("Downloaded data format is invalid, please try again.");
        const QString modified = QStringLiteral("Project '");
        const QString good = GeneratedTvList::text(7);
        QTest::newRow("junk reply") << "<TDocument><items>" << QStringList{"complete:1"} << QStringList{}
                                    << QStringList{invalid} << 5;
        QTest::newRow("empty reply") << "" << QStringList{"complete:1"} << QStringList{} << QStringList{invalid} << 5;
        QTest::newRow("refused") << good << QStringList{"error:Device is busy", "complete:0"} << QStringList{}
                                 << QStringList{"Device is busy"} << 5;
        QTest::newRow("failed completion alone")
            << good << QStringList{"complete:0"} << QStringList{} << QStringList{} << 5;
        QTest::newRow("cancelled") << good << QStringList{"canceled", "complete:1"} << QStringList{} << QStringList{}
                                   << 5;
        QTest::newRow("save question cancelled")
            << good << QStringList{"complete:1"} << QStringList{"&Cancel"} << QStringList{modified} << 5;
        QTest::newRow("changes dropped") << good << QStringList{"complete:1"} << QStringList{"&No"}
                                         << QStringList{modified} << 7;
    }
    void downloadKeepsTheOpenList()
    {
        QFETCH(QString, reply);
        QFETCH(QStringList, events);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, boxes);
        QFETCH(int, rows);
        HandingManager manager;
        auto module = makeModule(listText(), &manager);
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        items->setData(items->index(0, 1), QStringLiteral("Unsaved"), Qt::EditRole);
        DialogAnswerer answerer;
        answerer.boxAnswers = answers;
        module->btnDownloadDeviceLists->setEnabled(true);
        module->btnDownloadDeviceLists->click();
        QCOMPARE(answerer.boxTexts, QStringList()); // nothing asked or closed before the list arrives
        QCOMPARE(manager.enqueued.size(), 1);
        DeviceTask *task = manager.enqueued.first();
        task->setResult(reply);
        task->onStart();
        for (const QString &event : events) {
            if (event.startsWith(QLatin1String("error:")))
                task->onError(event.mid(6));
            else if (event.startsWith(QLatin1String("complete:")))
                task->onComplete(event.endsWith(u'1'));
            else
                task->onCanceled();
        }
        // The save question names the untitled project: only its start is compared.
        QCOMPARE(answerer.boxTexts.size(), boxes.size());
        for (int i = 0; i < boxes.size(); ++i)
            QVERIFY2(answerer.boxTexts.at(i).startsWith(boxes.at(i)), qPrintable(answerer.boxTexts.at(i)));
        QVERIFY(module->projectManager()->isProjectLoaded());
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
        QCOMPARE(module->itemsTableViewAll->model()->rowCount(), rows);
        QCOMPARE(module->projectManager()->isModified(), rows == 5);
        QVERIFY(!module->pendingTask());
    }

    // The file shortcuts reach the manager's actions while the page is shown, and only then.
    void fileShortcutsWhileThePageIsShown_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("action");
        QTest::newRow("new") << QKeySequence(Qt::CTRL | Qt::Key_N) << "new";
        QTest::newRow("open") << QKeySequence(Qt::CTRL | Qt::Key_O) << "open";
        QTest::newRow("save") << QKeySequence(Qt::CTRL | Qt::Key_S) << "save";
        QTest::newRow("save as") << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S) << "saveAs";
        QTest::newRow("close") << QKeySequence(Qt::CTRL | Qt::Key_W) << "close";
        QTest::newRow("export") << QKeySequence(Qt::CTRL | Qt::Key_R) << "export";
    }
    void fileShortcutsWhileThePageIsShown()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, action);
        QWidget window;
        window.resize(1100, 760);
        auto *module = new TVListModule;
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(module);
        QWidget *other = new QWidget;
        other->setFocusPolicy(Qt::StrongFocus);
        layout->addWidget(other);
        module->setDeviceInfo(&info);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        module->onShow();
        module->projectManager()->newProject(listText());
        TVListProjectFileManager *files = module->projectManager();
        const QHash<QString, QAction *> actions{{"new", files->newAction},     {"open", files->openAction},
                                                {"save", files->saveAction},   {"saveAs", files->saveAsAction},
                                                {"close", files->closeAction}, {"export", files->exportAction}};
        QAction *target = actions.value(action);
        QCOMPARE(target->shortcut(), keys);
        QVERIFY(module->actions().contains(target));
        // Answered dialogs: the spy counts the trigger, the answers keep anything from happening.
        DialogAnswerer answers;
        QSignalSpy triggered(target, &QAction::triggered);
        module->hide();
        other->setFocus();
        // Through the window, as the platform delivers keys: the shortcut map sees them.
        QTest::keySequence(window.windowHandle(), keys);
        QCOMPARE(triggered.count(), 0);
        module->show();
        module->itemsTableViewAll->setFocus();
        QTest::keySequence(window.windowHandle(), keys);
        QCOMPARE(triggered.count(), 1);
        delete module;
    }

    // The satellite request keeps the editor page; a USB-managed receiver is never asked, and a page
    // without a receiver description or connection enqueues nothing.
    void satelliteRequest_data()
    {
        QTest::addColumn<bool>("usb");
        QTest::addColumn<bool>("connection");
        QTest::addColumn<int>("tasks");
        QTest::newRow("network receiver") << false << true << 1;
        QTest::newRow("USB-managed receiver") << true << true << 0;
        QTest::newRow("no connection") << false << false << 0;
    }
    void satelliteRequest()
    {
        QFETCH(bool, usb);
        QFETCH(bool, connection);
        QFETCH(int, tasks);
        HandingManager manager;
        ZBDeviceInfo record(QStringLiteral("Box"), QString(), usb);
        record.setIp(QStringLiteral("127.0.0.5"));
        auto module = std::make_unique<TVListModule>();
        module->setCommunicationManager(connection ? &manager : nullptr);
        module->setDeviceInfo(&record);
        module->resize(1100, 760);
        module->show();
        module->onShow();
        QVERIFY(module->projectManager()->newProject(listText()));
        const int satellitesBefore = record.satelliteCount();
        DialogAnswerer answers;
        answers.boxAnswers << QStringLiteral("&Yes");
        emit module->detailedSettingsWidget->predefinedSatellitesButtonClicked();
        QCOMPARE(manager.enqueued.size(), tasks);
        if (tasks) {
            manager.enqueued.first()->setResult(QStringLiteral("<deviceInfo complete=\"true\"><satellites>"
                                                               "<satellite name=\"Sat\" position=\"192\"/>"
                                                               "</satellites></deviceInfo>"));
            manager.enqueued.first()->onComplete(true);
            QCOMPARE(record.satelliteCount(), 1);
        } else {
            QCOMPARE(record.satelliteCount(), satellitesBefore); // the record itself is not filled
        }
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
        QVERIFY(!module->pendingTask());
    }

    // Two services dragged from the table onto "List 2" join that list, and "# on list" shows their
    // places there.
    void dragOntoTheSecondList()
    {
        auto module = makeModule(listText());
        ItemsTableView *table = module->itemsTableViewAll;
        const QModelIndexList rows{table->model()->index(rowOf(module.get(), "0"), 0),
                                   table->model()->index(rowOf(module.get(), "4"), 0)};
        std::unique_ptr<QMimeData> dragged(table->model()->mimeData(rows));
        module->listsTabWidget->setCurrentIndex(1);
        auto *editor = qobject_cast<FavouriteListEditor *>(module->listsTabWidget->currentWidget());
        QVERIFY(editor);
        QAbstractItemModel *list = editor->tblItems->model();
        const int before = list->rowCount();
        QVERIFY(list->dropMimeData(dragged.get(), Qt::LinkAction, before, 0, QModelIndex()));
        QCOMPARE(list->rowCount(), before + 2);
        QCOMPARE(module->projectManager()->readLists().at(1), QList<int>({1, 0, 4}));
        QVERIFY(module->projectManager()->isModified());
        QCOMPARE(table->model()->index(rowOf(module.get(), "4"), 0).data().toString(), QStringLiteral("3"));
    }

    // Save as writes a project file that opens again to the same document.
    void saveAsAndReopen()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("mine.tvqvxc"));
        auto module = makeModule(listText());
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        items->setData(items->indexById(QStringLiteral("2"), 1), QStringLiteral("Kept name"), Qt::EditRole);
        const QString text = module->projectManager()->documentText();
        DialogAnswerer answers;
        answers.fileAnswers << path;
        module->saveAsProjectCommandLinkButton->click();
        QTRY_VERIFY(QFileInfo(path).isFile());
        QVERIFY(!module->projectManager()->isModified());
        auto reopened = makeModule(QString());
        reopened->openFile(path);
        QCOMPARE(reopened->stackedWidget->currentIndex(), 1);
        QCOMPARE(reopened->projectManager()->documentText(), text);
    }

    // After a language change the panel reads its service again: the name is neither blanked nor
    // written back.
    void languageChangeKeepsThePanelsService()
    {
        auto module = makeModule(listText());
        module->itemsTableViewAll->selectRow(rowOf(module.get(), "3"));
        QCOMPARE(module->txtServiceTitle->text(), QStringLiteral("Service 2"));
        QTranslator translator;
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        QCoreApplication::installTranslator(&translator);
        QCoreApplication::processEvents();
        QCOMPARE(module->txtServiceTitle->text(), QStringLiteral("Service 2"));
        QCoreApplication::removeTranslator(&translator);
        QCoreApplication::processEvents();
        QCOMPARE(value(module.get(), "3", 1), QStringLiteral("Service 2"));
        QVERIFY(!module->projectManager()->isModified());
    }

    // Keys the page does not use reach the window (F1 opens the manual there); Return with no pending
    // change does nothing.
    void unusedKeysGoOnToTheWindow_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("reachesWindow");
        QTest::newRow("F1") << int(Qt::Key_F1) << true;
        QTest::newRow("F5") << int(Qt::Key_F5) << true;
    }
    void unusedKeysGoOnToTheWindow()
    {
        QFETCH(int, key);
        QFETCH(bool, reachesWindow);
        struct Window : QWidget
        {
            QList<int> keys;
            void keyPressEvent(QKeyEvent *event) override { keys << event->key(); }
        } window;
        // As the main window's page container does, the window's layout takes the page as its child.
        auto *module = new TVListModule;
        (new QVBoxLayout(&window))->addWidget(module);
        module->setDeviceInfo(&info);
        window.show();
        module->onShow();
        QVERIFY(module->projectManager()->newProject(listText()));
        QTest::keyClick(module, Qt::Key(key));
        QCOMPARE(window.keys.contains(key), reachesWindow);
    }

    // The transfer page through a task's events: its label, bar and page after each one.
    void transferPagePerEvent_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("page");
        const QString waitDown = QStringLiteral("Downloading lists. Waiting for device access...");
        const QString waitUp = QStringLiteral("Sending lists. Waiting for device access...");
        QTest::newRow("download queued") << "download" << QStringList{} << waitDown << 0 << 0 << 2;
        QTest::newRow("download started")
            << "download" << QStringList{"start"} << QStringLiteral("Downloading lists. Transfering...") << 0 << 0 << 2;
        QTest::newRow("download at 40 %") << "download" << QStringList{"start", "progress:40"}
                                          << QStringLiteral("Downloading lists. Transfering...") << 100 << 40 << 2;
        QTest::newRow("progress past the end")
            << "download" << QStringList{"start", "progress:250"} << QStringLiteral("Downloading lists. Transfering...")
            << 100 << 100 << 2;
        QTest::newRow("progress below zero") << "download" << QStringList{"start", "progress:-5"}
                                             << QStringLiteral("Downloading lists. Transfering...") << 100 << 0 << 2;
        QTest::newRow("status text") << "download" << QStringList{"start", "status:Reading services"}
                                     << QStringLiteral("Reading services") << 0 << 0 << 2;
        QTest::newRow("cancel asked") << "download" << QStringList{"start", "cancel"} << QStringLiteral("Canceling...")
                                      << 0 << 0 << 2;
        QTest::newRow("cancelled") << "download" << QStringList{"start", "cancel", "canceled"} << QString() << 0 << 0
                                   << 1;
        QTest::newRow("send queued") << "send" << QStringList{} << waitUp << 0 << 0 << 2;
        QTest::newRow("send started") << "send" << QStringList{"start", "progress:70"}
                                      << QStringLiteral("Sending lists. Transfering...") << 100 << 70 << 2;
        QTest::newRow("send completed") << "send" << QStringList{"start", "progress:100", "complete"}
                                        << QStringLiteral("Sending lists. Transfering...") << 100 << 100 << 1;
    }
    void transferPagePerEvent()
    {
        QFETCH(QString, mode);
        QFETCH(QStringList, events);
        QFETCH(QString, label);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(int, page);
        HandingManager manager;
        auto module = makeModule(listText(), &manager);
        DialogAnswerer answers;
        QAbstractButton *button =
            mode == QLatin1String("send") ? module->btnUploadDeviceLists : module->btnDownloadDeviceLists;
        button->setEnabled(true);
        button->click();
        QCOMPARE(manager.enqueued.size(), 1);
        DeviceTask *task = manager.enqueued.first();
        for (const QString &event : events) {
            if (event == QLatin1String("start"))
                task->onStart();
            else if (event.startsWith(QLatin1String("progress:")))
                task->onProgress(event.mid(9).toInt(), 0);
            else if (event.startsWith(QLatin1String("status:")))
                task->onStatus(event.mid(7));
            else if (event == QLatin1String("cancel"))
                task->onCancel();
            else if (event == QLatin1String("canceled"))
                task->onCanceled();
            else
                task->onComplete(true);
        }
        QCOMPARE(module->dataTransferPageStatusLabel->text(), label);
        QCOMPARE(module->dataTransferProgressBar->minimum(), 0);
        QCOMPARE(module->dataTransferProgressBar->maximum(), maximum);
        QCOMPARE(module->dataTransferProgressBar->value(), value);
        QCOMPARE(module->stackedWidget->currentIndex(), page);
        QCOMPARE(answers.boxTexts, QStringList());
    }

    // Print: the dialog offers "selection" for two or more rows chosen in the table, not for one row,
    // and nothing opens without a list.
    void printOffersTheSelection_data()
    {
        QTest::addColumn<bool>("project");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<bool>("selection");
        QTest::newRow("no list") << false << QList<int>{} << 0 << false;
        QTest::newRow("nothing chosen") << true << QList<int>{} << 1 << false;
        QTest::newRow("one row") << true << QList<int>{2} << 1 << false;
        QTest::newRow("three rows") << true << QList<int>{0, 2, 3} << 1 << true;
    }
    void printOffersTheSelection()
    {
        QFETCH(bool, project);
        QFETCH(QList<int>, rows);
        QFETCH(int, dialogs);
        QFETCH(bool, selection);
        auto module = makeModule(project ? listText() : QString());
        ItemsTableView *table = module->itemsTableViewAll;
        if (project) {
            table->clearSelection();
            for (int row : rows)
                table->selectionModel()->select(table->model()->index(row, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        int seen = 0;
        bool offered = false;
        MessageBox::setAnswerHook([&](QDialog *dialog) {
            ++seen;
            if (auto *choice = dialog->findChild<QAbstractButton *>(QStringLiteral("rbPrintSelection")))
                offered = choice->isEnabled();
            dialog->reject();
        });
        module->btnPrintProject->click();
        MessageBox::setAnswerHook({});
        QCOMPARE(seen, dialogs);
        QCOMPARE(offered, selection);
    }

    // A USB-managed receiver's download goes through the drive: a list file that went away while the
    // wizard was open gives the open error for that file, never the Open dialog, and the open list stays.
    void usbImportOfAFileThatWentAway()
    {
        QTemporaryDir drive;
        const QString file =
            QDir(drive.path()).filePath(QStringLiteral("%1.tvqvx").arg(Settings::favsListUpdateName()));
        QFile list(file);
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(GeneratedTvList::text(7).toUtf8());
        list.close();
        ZBDeviceInfo stick(QStringLiteral("Stick"), QString(), true);
        auto module = std::make_unique<TVListModule>();
        module->setDeviceInfo(&stick);
        module->resize(1100, 760);
        module->show();
        module->onShow();
        QVERIFY(module->projectManager()->newProject(listText()));
        QStringList texts;
        MessageBox::setAnswerHook([&](QDialog *dialog) {
            if (auto *picker = qobject_cast<SelectDriveDialog *>(dialog)) {
                picker->selectedPath = drive.path();
                picker->done(1);
                return;
            }
            if (auto *box = qobject_cast<QMessageBox *>(dialog))
                texts << box->text();
            dialog->reject();
        });
        // The wizard finds the file, then it goes before the user accepts.
        QTimer accept;
        int openDialogs = 0;
        connect(&accept, &QTimer::timeout, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *wizard = qobject_cast<ListsImportWizard *>(modal)) {
                QFile::remove(file);
                wizard->done(1);
            } else if (auto *open = qobject_cast<QFileDialog *>(modal)) {
                ++openDialogs;
                open->reject();
            }
        });
        accept.start(5);
        module->btnDownloadLists->setEnabled(true);
        module->btnDownloadLists->click();
        MessageBox::setAnswerHook({});
        QCOMPARE(texts, QStringList{QStringLiteral("Error. File not found.")});
        QCOMPARE(openDialogs, 0);
        QCOMPARE(module->itemsTableViewAll->model()->rowCount(), 5);
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
    }

    // A send whose worker reports only a failed completion leaves the project modified.
    void sendFailedWithoutErrorIsNoSave()
    {
        HandingManager manager;
        auto module = makeModule(listText(), &manager);
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        items->setData(items->index(0, 1), QStringLiteral("Changed"), Qt::EditRole);
        module->btnUploadDeviceLists->setEnabled(true);
        module->btnUploadDeviceLists->click();
        QCOMPARE(manager.enqueued.size(), 1);
        manager.enqueued.first()->onComplete(false);
        QVERIFY(module->projectManager()->isModified());
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
        QVERIFY(!module->pendingTask());
    }

    // Fetching satellites takes the satellites and front-ends only: the user's name for the receiver,
    // its address and its USB flag stay.
    void satelliteFetchKeepsTheReceiversRecord()
    {
        HandingManager manager;
        ZBDeviceInfo record(QStringLiteral("Living room"));
        record.setGivenName(QStringLiteral("Living room"));
        record.setIp(QStringLiteral("127.0.0.5"));
        record.setUsbManaged(false);
        auto module = std::make_unique<TVListModule>();
        module->setCommunicationManager(&manager);
        module->setDeviceInfo(&record);
        module->onShow();
        ZBDeviceInfo reply(QStringLiteral("SHARE-NAME"));
        reply.fromXml(QStringLiteral(
            "<deviceInfo name=\"SHARE-NAME\" givenName=\"SHARE\" ip=\"127.0.0.77\" isUsbManaged=\"true\" "
            "complete=\"true\"><frontends><frontend type=\"cable\"/></frontends><satellites>"
            "<satellite name=\"Astra 19.2E\" position=\"192\"/><satellite name=\"Hotbird 13E\" position=\"130\"/>"
            "</satellites></deviceInfo>"));
        QVERIFY(reply.isComplete());
        DialogAnswerer answers;
        answers.boxAnswers << QStringLiteral("&Yes");
        module->detailedSettingsWidget->predefinedSatellitesButtonClicked();
        QCOMPARE(manager.enqueued.size(), 1);
        DeviceTask *task = manager.enqueued.first();
        task->setResult(reply.toXmlText());
        task->onComplete(true);
        QCOMPARE(record.satelliteCount(), 2);
        QVERIFY(record.hasCableFrontend());
        QCOMPARE(record.name(), QStringLiteral("Living room"));
        QCOMPARE(record.label(), QStringLiteral("Living room"));
        QCOMPARE(record.ip().toString(), QStringLiteral("127.0.0.5"));
        QVERIFY(!record.isUsbManaged());
        QCOMPARE(answers.boxTexts.size(), 1); // the question only, no "busy" warning
    }

    // The proxy stays a sound model over two loads, and the second load keeps no filter or search.
    void secondLoadKeepsNoSearch()
    {
        auto module = makeModule(listText());
        QAbstractItemModelTester tester(module->itemsTableViewAll->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        // A filter choice: the first value of the first column in the filter pop-up.
        module->filterToolButton->click();
        auto *popup = module->findChild<SFilterMenu *>();
        QVERIFY(popup);
        QAbstractItemModel *filters = popup->treeView()->model();
        const QModelIndex column = filters->index(0, 0);
        QVERIFY(filters->rowCount(column) > 0);
        QVERIFY(filters->setData(filters->index(0, 0, column), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(module->filterToolButton->isChecked());
        const int filtered = module->itemsTableViewAll->model()->rowCount();
        QVERIFY(filtered < 5);
        popup->close();
        module->txtSearch->setText(QStringLiteral("Service"));
        QCOMPARE(module->itemsTableViewAll->model()->rowCount(), filtered);
        DialogAnswerer answers;
        answers.boxAnswers << QStringLiteral("&No");
        QVERIFY(module->projectManager()->newProject(GeneratedTvList::text(7)));
        // the search is gone and the empty box shows its hint
        QCOMPARE(module->txtSearch->shownHint(), QStringLiteral("Search..."));
        QVERIFY(module->txtSearch->isHintShown());
        QCOMPARE(module->itemsTableViewAll->model()->rowCount(), 7);
        QVERIFY(!module->filterToolButton->isChecked());
    }

    // "# on list" is filled from the first load, so the first sort is by list place.
    void listPlaceFilledAtFirstLoad()
    {
        auto module = makeModule(listText());
        QAbstractItemModel *model = module->itemsTableViewAll->model();
        // List 1 holds service 0 only (every fifth service): it is first and numbered 1.
        QCOMPARE(model->index(0, 8).data().toString(), QStringLiteral("0"));
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("1"));
        QCOMPARE(model->index(1, 0).data().toString(), QString());
    }

    // A delete closes the panel; shown again it holds the row that is current then, or, with none, empty
    // editors that take no typing: nothing typed goes to a service that went.
    void panelShownAgainAfterADelete_data()
    {
        QTest::addColumn<QStringList>("deleted"); // ids
        QTest::newRow("a middle service") << QStringList{"2"};
        QTest::newRow("the last service") << QStringList{"4"};
        QTest::newRow("two services") << QStringList{"1", "2"};
        QTest::newRow("every service") << QStringList{"0", "1", "2", "3", "4"};
    }
    void panelShownAgainAfterADelete()
    {
        QFETCH(QStringList, deleted);
        auto module = makeModule(listText());
        ItemsTableView *table = module->itemsTableViewAll;
        QAbstractItemModel *rows = table->model();
        QAbstractItemModelTester tester(rows, QAbstractItemModelTester::FailureReportingMode::QtTest);
        table->selectRow(rowOf(module.get(), deleted.first()));
        module->btnShowServiceSettings->click();
        QVERIFY(module->tabServiceProperties->isVisible());
        QCOMPARE(module->txtServiceTitle->text(), value(module.get(), deleted.first(), 1));
        table->selectionModel()->clearSelection();
        for (const QString &id : deleted)
            table->selectionModel()->select(rows->index(rowOf(module.get(), id), 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        table->deleteSelected();
        QCOMPARE(rows->rowCount(), 5 - deleted.size());
        QVERIFY(!module->tabServiceProperties->isVisible());
        const QString before = module->projectManager()->documentText();
        // (with no row left the button is hidden; the page still answers it)
        module->btnShowServiceSettings->click();
        QVERIFY(module->tabServiceProperties->isVisible());
        if (rows->rowCount() == 0) {
            for (QWidget *editor :
                 std::initializer_list<QWidget *>{module->txtServiceTitle, module->cmbProvider, module->epgCheckBox,
                                                  module->parentLockCheckBox, module->parentalControlMultipleChoice})
                QVERIFY2(!editor->isEnabled(), qPrintable(editor->objectName()));
            QCOMPARE(module->txtServiceTitle->text(), QString());
            QCOMPARE(module->projectManager()->documentText(), before);
            return;
        }
        const QModelIndex current = table->currentIndex();
        QVERIFY(current.isValid());
        QVERIFY(table->selectionModel()->isRowSelected(current.row(), QModelIndex()));
        const QString id = rows->index(current.row(), 8).data().toString();
        QVERIFY(!deleted.contains(id));
        QCOMPARE(module->txtServiceTitle->text(), value(module.get(), id, 1));
        QVERIFY(module->txtServiceTitle->isEnabled());
        // Typing goes to the service shown.
        module->txtServiceTitle->setFocus();
        module->txtServiceTitle->setText(QStringLiteral("Typed"));
        QTest::keyClick(module->txtServiceTitle, Qt::Key_Return);
        QTRY_COMPARE(value(module.get(), id, 1), QStringLiteral("Typed"));
    }
};

OMBRELAY_TEST_MAIN(TestTvListEditing)
#include "tst_tvlistediting.moc"
