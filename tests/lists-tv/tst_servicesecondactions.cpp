#include "receiveremulator.h"
#include "receiverlists.h"
#include "testmain.h"

#include "dialoganswerer.h"
#include "generatedtvlist.h"
#include "listpagetest.h"

#include "base/settings.h"
#include "base/translatorloader.h"
#include "device/core/devicetask.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/tvlistmodule.h"

#include <QAbstractItemModelTester>
#include <QTest>
#include <QTranslator>

// The TV page after a first action ended, was cancelled or went with its project: the next one works on the
// services it names and on nothing else.
class TestServiceSecondActions : public QObject
{
    Q_OBJECT
    ZBDeviceInfo info{QStringLiteral("Box")};

    static QString name(TVListModule *module, const QString &id)
    {
        return module->projectManager()->itemsModel->indexById(id, 1).data().toString();
    }
    // Types text into the panel's name field and hands it over.
    static void typeName(TVListModule *module, const QString &text)
    {
        module->txtServiceTitle->setFocus();
        module->txtServiceTitle->selectAll();
        QTest::keyClicks(module->txtServiceTitle, text);
        QTest::keyClick(module->txtServiceTitle, Qt::Key_Return);
    }

private slots:
    void init() { Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1")); }

    // A download left while the receiver held it back: the open list is edited as before (a new service made
    // and given up, a name typed in the panel), and a second download then brings the receiver's list.
    void editingAfterALeftDownload()
    {
        ReceiverEmulator emulator;
        auto lists = ReceiverLists::install(emulator);
        lists->setDocument(QStringLiteral("tv"), GeneratedTvList::text(7).toUtf8());
        QVERIFY(emulator.start());
        DVB24CommunicationManager device;
        device.setPort(emulator.port());
        auto module = showListPage<TVListModule>(&info, QString());
        module->setCommunicationManager(&device);
        connect(&device, &DeviceCommunicationManager::stateChanged, module.get(), &TVListModule::onDeviceStateChange);
        QVERIFY(module->projectManager()->newProject(GeneratedTvList::text(5)));
        device.connectToHost(emulator.host());
        QTRY_VERIFY(module->btnDownloadDeviceLists->isEnabled());
        DialogAnswerer answers;
        answers.boxAnswers = {QStringLiteral("&No"), QStringLiteral("&No"), QStringLiteral("&No")};
        lists->setHold(true);
        module->btnDownloadDeviceLists->click();
        QTRY_COMPARE(module->stackedWidget->currentIndex(), int(TVListModule::PageTransfer));
        module->dataTransferPageButton->click();
        lists->setHold(false);
        QTRY_VERIFY_WITH_TIMEOUT(!module->pendingTask(), 30000);
        QCOMPARE(module->stackedWidget->currentIndex(), int(TVListModule::PageEditor));
        ItemsTableView *table = module->itemsTableViewAll;
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        QCOMPARE(items->rowCount(), 5);
        QVERIFY(table->isEnabled());
        module->btnCreateNewItem->click();
        QCOMPARE(items->rowCount(), 6);
        module->btnCancelServiceSetting->click();
        QCOMPARE(items->rowCount(), 5);
        table->selectRow(rowOfId(module.get(), QStringLiteral("2")));
        module->btnShowServiceSettings->click();
        typeName(module.get(), QStringLiteral("After"));
        QTRY_COMPARE(name(module.get(), QStringLiteral("2")), QStringLiteral("After"));
        QVERIFY(module->btnDownloadDeviceLists->isEnabled());
        QTest::mouseClick(module->btnDownloadDeviceLists, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!module->pendingTask(), 30000);
        QTRY_COMPARE(module->stackedWidget->currentIndex(), int(TVListModule::PageEditor));
        QCOMPARE(module->projectManager()->itemsModel->rowCount(), 7);
        QCOMPARE(answers.boxTexts.filter(QStringLiteral("invalid")), QStringList());
        device.requestClose();
    }

    // A new service given up, then a delete: the service deleted is the one selected, the panel follows
    // the row that is current, and a second new service can be made.
    void deleteAfterANewServiceWasGivenUp_data()
    {
        QTest::addColumn<bool>("escape"); // else the Cancel button
        QTest::newRow("cancel") << false;
        QTest::newRow("escape") << true;
    }
    void deleteAfterANewServiceWasGivenUp()
    {
        QFETCH(bool, escape);
        auto module = showListPage<TVListModule>(&info, GeneratedTvList::text(5));
        DialogAnswerer answers;
        ItemsTableView *table = module->itemsTableViewAll;
        QAbstractItemModelTester tester(table->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        table->selectRow(rowOfId(module.get(), QStringLiteral("1")));
        module->btnCreateNewItem->click();
        QCOMPARE(items->rowCount(), 6);
        if (escape)
            QTest::keyClick(module.get(), Qt::Key_Escape);
        else
            module->btnCancelServiceSetting->click();
        QCOMPARE(items->rowCount(), 5);
        QVERIFY(table->isEnabled());
        QVERIFY(module->btnCreateNewItem->isEnabled());
        const QStringList names{name(module.get(), "0"), name(module.get(), "1"), name(module.get(), "3"),
                                name(module.get(), "4")};
        table->selectRow(rowOfId(module.get(), QStringLiteral("2")));
        module->btnShowServiceSettings->click();
        table->deleteSelected();
        QCOMPARE(items->rowCount(), 4);
        QVERIFY(!items->indexById(QStringLiteral("2"), 0).isValid());
        QCOMPARE((QStringList{name(module.get(), "0"), name(module.get(), "1"), name(module.get(), "3"),
                              name(module.get(), "4")}),
                 names);
        // The panel shows the current service and edits it.
        module->btnShowServiceSettings->click();
        const QString current = table->model()->index(table->currentIndex().row(), 8).data().toString();
        QVERIFY(!current.isEmpty());
        QCOMPARE(module->txtServiceTitle->text(), name(module.get(), current));
        typeName(module.get(), QStringLiteral("Typed"));
        QTRY_COMPARE(name(module.get(), current), QStringLiteral("Typed"));
        // A second new service is made and kept.
        module->btnCreateNewItem->click();
        QCOMPARE(items->rowCount(), 5);
        const QString id = table->model()->index(table->currentIndex().row(), 8).data().toString();
        items->setData(items->indexById(id, 7), QStringLiteral("<config type=\"cable\" frequency=\"11111\"/>"),
                       Qt::EditRole);
        module->btnSaveServiceSettings->click();
        QCOMPARE(items->rowCount(), 5);
        QVERIFY(items->indexById(id, 0).isValid());
        QCOMPARE(answers.boxTexts, QStringList());
    }

    // Create new while the focus is in a field of the panel (the page's shortcut leaves it there): the panel turns
    // to the new service's tuning, and the new service stays to be filled in, whichever tab had the focus.
    void newServiceWithTheFocusInThePanel_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("edited"); // a name typed and handed over first
        QTest::newRow("name field, edited") << "txtServiceTitle" << true;
        QTest::newRow("name field") << "txtServiceTitle" << false;
        QTest::newRow("parental lock") << "parentLockCheckBox" << false;
    }
    void newServiceWithTheFocusInThePanel()
    {
        QFETCH(QString, field);
        QFETCH(bool, edited);
        auto module = showListPage<TVListModule>(&info, GeneratedTvList::text(5));
        DialogAnswerer answers;
        ItemsTableView *table = module->itemsTableViewAll;
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        table->selectRow(rowOfId(module.get(), QStringLiteral("2")));
        module->btnShowServiceSettings->click();
        if (edited) {
            typeName(module.get(), QStringLiteral("Typed"));
            QTRY_COMPARE(name(module.get(), QStringLiteral("2")), QStringLiteral("Typed"));
        }
        auto *editor = module->findChild<QWidget *>(field);
        QVERIFY(editor);
        for (int tab = 0; tab < module->tabServiceProperties->count(); ++tab)
            if (module->tabServiceProperties->widget(tab)->isAncestorOf(editor))
                module->tabServiceProperties->setCurrentIndex(tab);
        editor->setFocus();
        QCOMPARE(QApplication::focusWidget(), editor);
        module->btnCreateNewItem->click();
        QCOMPARE(items->rowCount(), 6);
        const QString id = table->model()->index(table->currentIndex().row(), 8).data().toString();
        QVERIFY(items->indexById(id, 0).isValid());
        QVERIFY(module->tabServiceProperties->isVisible());
        QVERIFY(module->btnSaveServiceSettings->isVisible());
        QVERIFY(module->tabServiceProperties->isAncestorOf(QApplication::focusWidget()));
        QVERIFY(!module->btnCreateNewItem->isEnabled() || !table->isEnabled());
        items->setData(items->indexById(id, 7), QStringLiteral("<config type=\"cable\" frequency=\"11111\"/>"),
                       Qt::EditRole);
        module->btnSaveServiceSettings->click();
        QCOMPARE(items->rowCount(), 6);
        QVERIFY(items->indexById(id, 0).isValid());
        QCOMPARE(name(module.get(), QStringLiteral("2")), edited ? QStringLiteral("Typed") : name(module.get(), "2"));
        QCOMPARE(answers.boxTexts, QStringList());
    }

    // A search typed, a new service given up (which empties the search), then a search typed again: it filters
    // as the first did, and a delete there removes the service found.
    void searchAgainAfterANewServiceWasGivenUp()
    {
        auto module = showListPage<TVListModule>(&info, GeneratedTvList::text(5));
        DialogAnswerer answers;
        ItemsTableView *table = module->itemsTableViewAll;
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        const auto search = [&](const QString &text) {
            QTest::mouseClick(module->txtSearch, Qt::LeftButton);
            QTest::keyClicks(module->txtSearch, text);
        };
        const QString wanted = name(module.get(), QStringLiteral("4"));
        search(wanted);
        QTRY_COMPARE(table->model()->rowCount(), 1);
        module->btnCreateNewItem->click();
        QCOMPARE(table->model()->rowCount(), 6);
        module->btnCancelServiceSetting->click();
        QCOMPARE(table->model()->rowCount(), 5);
        const QString other = name(module.get(), QStringLiteral("3"));
        search(other);
        QTRY_COMPARE(table->model()->rowCount(), 1);
        QCOMPARE(table->model()->index(0, 8).data().toString(), QStringLiteral("3"));
        table->selectRow(0);
        table->deleteSelected();
        QCOMPARE(items->rowCount(), 4);
        QVERIFY(!items->indexById(QStringLiteral("3"), 0).isValid());
        QCOMPARE(name(module.get(), QStringLiteral("4")), wanted);
        QCOMPARE(answers.boxTexts, QStringList());
    }

    // The language switched while a new service is being made: the new service stays to be filled in, and is
    // then kept or given up as the user says.
    void languageSwitchWhileMakingANewService_data()
    {
        QTest::addColumn<bool>("keep");
        QTest::newRow("kept") << true;
        QTest::newRow("given up") << false;
    }
    void languageSwitchWhileMakingANewService()
    {
        QFETCH(bool, keep);
        auto module = showListPage<TVListModule>(&info, GeneratedTvList::text(5));
        DialogAnswerer answers;
        ItemsTableView *table = module->itemsTableViewAll;
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        table->selectRow(rowOfId(module.get(), QStringLiteral("1")));
        module->btnCreateNewItem->click();
        QCOMPARE(items->rowCount(), 6);
        const QString id = table->model()->index(table->currentIndex().row(), 8).data().toString();
        QTranslator translator;
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        QCoreApplication::installTranslator(&translator);
        QCoreApplication::processEvents();
        QCoreApplication::removeTranslator(&translator);
        QCoreApplication::processEvents();
        QCOMPARE(items->rowCount(), 6);
        QVERIFY(items->indexById(id, 0).isValid());
        QVERIFY(module->btnSaveServiceSettings->isVisible());
        QVERIFY(!module->btnCreateNewItem->isEnabled() || !table->isEnabled());
        items->setData(items->indexById(id, 7), QStringLiteral("<config type=\"cable\" frequency=\"11111\"/>"),
                       Qt::EditRole);
        if (keep)
            module->btnSaveServiceSettings->click();
        else
            module->btnCancelServiceSetting->click();
        QCOMPARE(items->rowCount(), keep ? 6 : 5);
        QCOMPARE(items->indexById(id, 0).isValid(), keep);
        QVERIFY(table->isEnabled());
        QVERIFY(module->btnCreateNewItem->isEnabled());
        QCOMPARE(answers.boxTexts, QStringList());
    }

    // A project closed while a new service was being made, then another opened: the page browses and edits
    // the other one as after any load.
    void anotherProjectAfterClosingWhileMakingANewService()
    {
        auto module = showListPage<TVListModule>(&info, GeneratedTvList::text(5));
        DialogAnswerer answers;
        answers.boxAnswers = {QStringLiteral("&No"), QStringLiteral("&No")};
        module->btnCreateNewItem->click();
        QVERIFY(module->btnSaveServiceSettings->isVisible());
        module->projectManager()->closeProject();
        QCOMPARE(module->stackedWidget->currentIndex(), 0);
        QVERIFY(module->projectManager()->newProject(GeneratedTvList::text(8)));
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
        ItemsTableView *table = module->itemsTableViewAll;
        for (QWidget *widget : std::initializer_list<QWidget *>{module->toolsFrame, module->listsTabWidget,
                                                                module->txtSearch, table, module->btnCreateNewItem})
            QVERIFY2(widget->isEnabled(), qPrintable(widget->objectName()));
        QVERIFY(!module->btnSaveServiceSettings->isVisible());
        // A second new service is made and given up.
        module->btnCreateNewItem->click();
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        QCOMPARE(items->rowCount(), 9);
        module->btnCancelServiceSetting->click();
        QCOMPARE(items->rowCount(), 8);
        QVERIFY(table->isEnabled());
        QVERIFY(!module->projectManager()->isModified());
    }

    // The favourite list's Create new pressed while the focus is in the panel: the new service shows in the
    // panel, on its tuning, and stays to be filled in.
    void newServiceFromTheFavouriteListWithTheFocusInThePanel()
    {
        auto module = showListPage<TVListModule>(&info, GeneratedTvList::text(5));
        DialogAnswerer answers;
        ItemsTableView *table = module->itemsTableViewAll;
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        table->selectRow(rowOfId(module.get(), QStringLiteral("2")));
        module->btnShowServiceSettings->click();
        QTest::mouseClick(module->txtServiceTitle, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), module->txtServiceTitle);
        QAbstractButton *create = favouriteListCreateButton(module.get());
        QVERIFY(create);
        QTest::mouseClick(create, Qt::LeftButton);
        QCOMPARE(items->rowCount(), 6);
        const QString id = table->model()->index(table->currentIndex().row(), 8).data().toString();
        QVERIFY(items->indexById(id, 0).isValid());
        QVERIFY(module->tabServiceProperties->isVisible());
        QVERIFY(module->btnSaveServiceSettings->isVisible());
        QCOMPARE(module->tabServiceProperties->currentIndex(), 2);
        items->setData(items->indexById(id, 7), QStringLiteral("<config type=\"cable\" frequency=\"11111\"/>"),
                       Qt::EditRole);
        QTest::mouseClick(module->btnSaveServiceSettings, Qt::LeftButton);
        QCOMPARE(items->rowCount(), 6);
        QCOMPARE(answers.boxTexts, QStringList());
    }

    // A new service refused as a duplicate of another, then a second new service: the second is made, kept, and
    // the page is unlocked after it.
    void secondNewServiceAfterADuplicateWasRefused()
    {
        auto module = showListPage<TVListModule>(&info, GeneratedTvList::text(5));
        DialogAnswerer answers;
        ItemsTableView *table = module->itemsTableViewAll;
        ListItemsDatabaseModel *items = module->projectManager()->itemsModel;
        const QString tuning = items->indexById(QStringLiteral("1"), 7).data(Qt::EditRole).toString();
        QVERIFY(!tuning.isEmpty());
        module->btnCreateNewItem->click();
        QString id = table->model()->index(table->currentIndex().row(), 8).data().toString();
        items->setData(items->indexById(id, 7), tuning, Qt::EditRole);
        QTest::mouseClick(module->btnSaveServiceSettings, Qt::LeftButton);
        QCOMPARE(answers.boxTexts,
                 QStringList{QStringLiteral("Service with the same detailed settings already exists on the list.")});
        QCOMPARE(items->rowCount(), 5);
        QVERIFY(table->isEnabled());
        QVERIFY(module->btnCreateNewItem->isEnabled());
        answers.boxTexts.clear();
        QApplication::setActiveWindow(module.get()); // the box took the window's activation with it
        module->btnCreateNewItem->click();
        QCOMPARE(items->rowCount(), 6);
        id = table->model()->index(table->currentIndex().row(), 8).data().toString();
        items->setData(items->indexById(id, 7), QStringLiteral("<config type=\"cable\" frequency=\"11111\"/>"),
                       Qt::EditRole);
        QTest::mouseClick(module->btnSaveServiceSettings, Qt::LeftButton);
        QCOMPARE(answers.boxTexts, QStringList());
        QCOMPARE(items->rowCount(), 6);
        QVERIFY(items->indexById(id, 0).isValid());
        QVERIFY(table->isEnabled());
        QVERIFY(module->btnCreateNewItem->isEnabled());
        QVERIFY(module->toolsFrame->isEnabled());
    }

    // The language switched with the panel open, then typing there: it goes to the service the panel shows.
    void editingAfterALanguageSwitch()
    {
        auto module = showListPage<TVListModule>(&info, GeneratedTvList::text(5));
        DialogAnswerer answers;
        ItemsTableView *table = module->itemsTableViewAll;
        table->selectRow(rowOfId(module.get(), QStringLiteral("3")));
        module->btnShowServiceSettings->click();
        QVERIFY(module->tabServiceProperties->isVisible());
        const QString other = name(module.get(), QStringLiteral("2"));
        QTranslator translator;
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        QCoreApplication::installTranslator(&translator);
        QCoreApplication::processEvents();
        // The switch leaves no row selected: the panel, if it shows a service, shows the one it had.
        if (!module->txtServiceTitle->text().isEmpty())
            QCOMPARE(module->txtServiceTitle->text(), name(module.get(), QStringLiteral("3")));
        table->selectRow(rowOfId(module.get(), QStringLiteral("3")));
        QCOMPARE(module->txtServiceTitle->text(), name(module.get(), QStringLiteral("3")));
        typeName(module.get(), QStringLiteral("Umbenannt"));
        QTRY_COMPARE(name(module.get(), QStringLiteral("3")), QStringLiteral("Umbenannt"));
        QCoreApplication::removeTranslator(&translator);
        QCoreApplication::processEvents();
        table->selectRow(rowOfId(module.get(), QStringLiteral("3")));
        typeName(module.get(), QStringLiteral("Renamed"));
        QTRY_COMPARE(name(module.get(), QStringLiteral("3")), QStringLiteral("Renamed"));
        QCOMPARE(name(module.get(), QStringLiteral("2")), other);
        QCOMPARE(answers.boxTexts, QStringList());
    }

    // A project closed with the panel open and typing in it, then another opened: the other one is not written
    // into, its panel shows its own services and edits them.
    void anotherProjectAfterClosingWithThePanelOpen()
    {
        auto module = showListPage<TVListModule>(&info, GeneratedTvList::text(5));
        DialogAnswerer answers;
        answers.boxAnswers = {QStringLiteral("&No")}; // a save question: the first project is dropped
        ItemsTableView *table = module->itemsTableViewAll;
        table->selectRow(rowOfId(module.get(), QStringLiteral("2")));
        module->btnShowServiceSettings->click();
        module->txtServiceTitle->setFocus();
        module->txtServiceTitle->selectAll();
        QTest::keyClicks(module->txtServiceTitle, QStringLiteral("Left behind"));
        module->projectManager()->closeProject();
        QCOMPARE(module->stackedWidget->currentIndex(), 0);
        const QString next = GeneratedTvList::text(8);
        QVERIFY(module->projectManager()->newProject(next));
        QCOMPARE(module->stackedWidget->currentIndex(), 1);
        QCoreApplication::processEvents();
        QVERIFY(!module->projectManager()->documentText().contains(QStringLiteral("Left behind")));
        QVERIFY(!module->projectManager()->isModified());
        table->selectRow(rowOfId(module.get(), QStringLiteral("6")));
        module->btnShowServiceSettings->click();
        QVERIFY(module->tabServiceProperties->isVisible());
        QCOMPARE(module->txtServiceTitle->text(), name(module.get(), QStringLiteral("6")));
        typeName(module.get(), QStringLiteral("Second"));
        QTRY_COMPARE(name(module.get(), QStringLiteral("6")), QStringLiteral("Second"));
        QCOMPARE(module->projectManager()->itemsModel->rowCount(), 8);
    }
};

OMBRELAY_TEST_MAIN(TestServiceSecondActions)
#include "tst_servicesecondactions.moc"
