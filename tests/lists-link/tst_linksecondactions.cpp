#include "receiveremulator.h"
#include "receiverlists.h"
#include "testmain.h"

#include "dialoganswerer.h"
#include "listpagetest.h"

#include "base/settings.h"
#include "base/translatorloader.h"
#include "device/core/devicetask.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "lists/linklistmodule.h"

#include <QPushButton>
#include <QTest>
#include <QTranslator>

// The link page after a first action ended, was cancelled or went with its project: the next one works on
// the links it names and on nothing else.
class TestLinkSecondActions : public QObject
{
    Q_OBJECT
    ZBDeviceInfo info{QStringLiteral("Box")};

    static QString title(LinkListModule *page, const QString &id)
    {
        return page->projectManager()->itemsModel->indexById(id, 1).data().toString();
    }
    // Types into a panel field; Return hands it over (on a new link it would accept the link).
    static void type(QLineEdit *field, const QString &text, bool enter = true)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        if (enter)
            QTest::keyClick(field, Qt::Key_Return);
    }

private slots:
    void init() { Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1")); }

    // A download left while the receiver held it back, then a second one: the second lands the receiver's
    // list over the open project, whatever the first left.
    void secondDownloadAfterALeftOne_data()
    {
        QTest::addColumn<bool>("open");
        QTest::newRow("nothing open") << false;
        QTest::newRow("a list open") << true;
    }
    void secondDownloadAfterALeftOne()
    {
        QFETCH(bool, open);
        ReceiverEmulator emulator;
        auto lists = ReceiverLists::install(emulator);
        lists->setDocument(QStringLiteral("link"), linkDocument({11, 12}).toUtf8());
        QVERIFY(emulator.start());
        DVB24CommunicationManager device;
        device.setPort(emulator.port());
        auto page = showListPage<LinkListModule>(&info, open ? linkDocument({1, 2, 3}) : QString());
        page->setCommunicationManager(&device);
        connect(&device, &DeviceCommunicationManager::stateChanged, page.get(), &LinkListModule::onDeviceStateChange);
        device.connectToHost(emulator.host());
        QTRY_VERIFY(page->btnDownloadLists->isEnabled());
        DialogAnswerer answers;
        answers.boxAnswers = {QStringLiteral("&No"), QStringLiteral("&No")};
        lists->setHold(true);
        QAbstractButton *download = open ? page->btnDownloadDeviceLists : page->btnDownloadLists;
        download->click();
        QCOMPARE(page->stackedWidget->currentIndex(), 2);
        page->dataTransferPageButton->click();
        lists->setHold(false);
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        QCOMPARE(page->stackedWidget->currentIndex(), open ? 1 : 0);
        QCOMPARE(page->projectManager()->isProjectLoaded(), open);
        lists->setDocument(QStringLiteral("link"), linkDocument({21, 22, 23, 24}).toUtf8());
        QTRY_VERIFY(download->isEnabled());
        download->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        QTRY_COMPARE(page->stackedWidget->currentIndex(), 1);
        QCOMPARE(page->projectManager()->itemsModel->rowCount(), 4);
        QCOMPARE(title(page.get(), QStringLiteral("22")), QStringLiteral("Link 22"));
        QCOMPARE(answers.boxTexts.filter(QStringLiteral("invalid")), QStringList());
        device.requestClose();
    }

    // Create new while the focus is in the panel, on whichever tab: the new link is shown on the first tab with its
    // title field taking the typing, and is kept once filled in.
    void newLinkWithTheFocusInThePanel_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("title field") << "txtLinkTitle";
        QTest::newRow("url field") << "txtLinkUrl";
        QTest::newRow("parental lock") << "parentLockCheckBox";
    }
    void newLinkWithTheFocusInThePanel()
    {
        QFETCH(QString, field);
        auto page = showListPage<LinkListModule>(&info, linkDocument({1, 2, 3}));
        DialogAnswerer answers;
        ItemsTableView *table = page->itemsTableViewAll;
        ListItemsDatabaseModel *items = page->projectManager()->itemsModel;
        table->selectRow(rowOfId(page.get(), QStringLiteral("2")));
        page->btnShowServiceSettings->click();
        auto *editor = page->findChild<QWidget *>(field);
        QVERIFY(editor);
        for (int tab = 0; tab < page->tabServiceProperties->count(); ++tab)
            if (page->tabServiceProperties->widget(tab)->isAncestorOf(editor))
                page->tabServiceProperties->setCurrentIndex(tab);
        editor->setFocus();
        QCOMPARE(QApplication::focusWidget(), editor);
        page->btnCreateNewItem->click();
        QCOMPARE(answers.boxTexts.join(u'|'), QString());
        QCOMPARE(items->rowCount(), 4);
        const QString id = table->model()->index(table->currentIndex().row(), 8).data().toString();
        QVERIFY(items->indexById(id, 0).isValid());
        QVERIFY(id != QLatin1String("2"));
        QVERIFY(page->txtLinkTitle->isVisible());
        QCOMPARE(QApplication::focusWidget(), page->txtLinkTitle);
        type(page->txtLinkTitle, QStringLiteral("Fourth"), false);
        type(page->txtLinkUrl, QStringLiteral("http://4"), false);
        QTest::mouseClick(page->btnSaveServiceSettings, Qt::LeftButton);
        QCOMPARE(answers.boxTexts.join(u'|'), QString());
        QCOMPARE(items->rowCount(), 4);
        QCOMPARE(title(page.get(), id), QStringLiteral("Fourth"));
        QCOMPARE(title(page.get(), QStringLiteral("2")), QStringLiteral("Link 2"));
    }

    // The favourite list's Create new pressed while the focus is in the panel: the new link shows in the panel,
    // its title taking the typing, and is kept once filled in.
    void newLinkFromTheFavouriteListWithTheFocusInThePanel()
    {
        auto page = showListPage<LinkListModule>(&info, linkDocument({1, 2, 3}));
        DialogAnswerer answers;
        ItemsTableView *table = page->itemsTableViewAll;
        ListItemsDatabaseModel *items = page->projectManager()->itemsModel;
        table->selectRow(rowOfId(page.get(), QStringLiteral("2")));
        page->btnShowServiceSettings->click();
        QTest::mouseClick(page->txtLinkUrl, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), page->txtLinkUrl);
        QAbstractButton *create = favouriteListCreateButton(page.get());
        QVERIFY(create);
        QTest::mouseClick(create, Qt::LeftButton);
        QCOMPARE(answers.boxTexts.join(u'|'), QString());
        QCOMPARE(items->rowCount(), 4);
        const QString id = table->model()->index(table->currentIndex().row(), 8).data().toString();
        QVERIFY(page->txtLinkTitle->isVisible());
        QVERIFY(page->btnSaveServiceSettings->isVisible());
        QCOMPARE(QApplication::focusWidget(), page->txtLinkTitle);
        type(page->txtLinkUrl, QStringLiteral("http://new"), false);
        QTest::mouseClick(page->btnSaveServiceSettings, Qt::LeftButton);
        QCOMPARE(answers.boxTexts.join(u'|'), QString());
        QCOMPARE(items->rowCount(), 4);
        QVERIFY(items->indexById(id, 0).isValid());
        QVERIFY(table->isEnabled());
    }

    // A new link refused as a duplicate of another, then a second new link: the second is made, kept, and the
    // page is unlocked after it.
    void secondNewLinkAfterADuplicateWasRefused()
    {
        auto page = showListPage<LinkListModule>(&info, linkDocument({1, 2, 3}));
        DialogAnswerer answers;
        ItemsTableView *table = page->itemsTableViewAll;
        ListItemsDatabaseModel *items = page->projectManager()->itemsModel;
        page->btnCreateNewItem->click();
        type(page->txtLinkUrl, QStringLiteral("http://2"), false);
        QTest::mouseClick(page->btnSaveServiceSettings, Qt::LeftButton);
        QCOMPARE(answers.boxTexts,
                 QStringList{QStringLiteral("Service with the same detailed settings already exists on the list.")});
        QCOMPARE(items->rowCount(), 3);
        QVERIFY(table->isEnabled());
        QVERIFY(page->btnCreateNewItem->isEnabled());
        answers.boxTexts.clear();
        // (the box took the window's activation with it)
        QApplication::setActiveWindow(page.get());
        page->btnCreateNewItem->click();
        QCOMPARE(items->rowCount(), 4);
        const QString id = table->model()->index(table->currentIndex().row(), 8).data().toString();
        QCOMPARE(QApplication::focusWidget(), page->txtLinkTitle);
        type(page->txtLinkUrl, QStringLiteral("http://fourth"), false);
        QTest::mouseClick(page->btnSaveServiceSettings, Qt::LeftButton);
        QCOMPARE(answers.boxTexts, QStringList());
        QCOMPARE(items->rowCount(), 4);
        QVERIFY(items->indexById(id, 0).isValid());
        QVERIFY(table->isEnabled());
        QVERIFY(page->btnCreateNewItem->isEnabled());
        QVERIFY(page->toolsFrame->isEnabled());
    }

    // A new link given up, then a delete and a second new link: each works on the link it names.
    void deleteAfterANewLinkWasGivenUp()
    {
        auto page = showListPage<LinkListModule>(&info, linkDocument({1, 2, 3}));
        DialogAnswerer answers;
        ItemsTableView *table = page->itemsTableViewAll;
        ListItemsDatabaseModel *items = page->projectManager()->itemsModel;
        table->selectRow(rowOfId(page.get(), QStringLiteral("1")));
        page->btnCreateNewItem->click();
        QCOMPARE(items->rowCount(), 4);
        page->btnCancelServiceSetting->click();
        QCOMPARE(items->rowCount(), 3);
        QVERIFY(table->isEnabled());
        table->selectRow(rowOfId(page.get(), QStringLiteral("2")));
        table->deleteSelected();
        QCOMPARE(items->rowCount(), 2);
        QVERIFY(!items->indexById(QStringLiteral("2"), 0).isValid());
        QCOMPARE(title(page.get(), QStringLiteral("1")), QStringLiteral("Link 1"));
        QCOMPARE(title(page.get(), QStringLiteral("3")), QStringLiteral("Link 3"));
        page->btnCreateNewItem->click();
        QCOMPARE(items->rowCount(), 3);
        const QString id = table->model()->index(table->currentIndex().row(), 8).data().toString();
        type(page->txtLinkTitle, QStringLiteral("Again"), false);
        type(page->txtLinkUrl, QStringLiteral("http://again"), false);
        QTest::mouseClick(page->btnSaveServiceSettings, Qt::LeftButton);
        QCOMPARE(items->rowCount(), 3);
        QCOMPARE(title(page.get(), id), QStringLiteral("Again"));
        QCOMPARE(answers.boxTexts.join(u'|'), QString());
    }

    // The language switched while a new link is being made: nothing is asked, and the new link is then kept or
    // given up as the user says.
    void languageSwitchWhileMakingANewLink_data()
    {
        QTest::addColumn<bool>("keep");
        QTest::newRow("kept") << true;
        QTest::newRow("given up") << false;
    }
    void languageSwitchWhileMakingANewLink()
    {
        QFETCH(bool, keep);
        auto page = showListPage<LinkListModule>(&info, linkDocument({1, 2, 3}));
        DialogAnswerer answers;
        ItemsTableView *table = page->itemsTableViewAll;
        ListItemsDatabaseModel *items = page->projectManager()->itemsModel;
        table->selectRow(rowOfId(page.get(), QStringLiteral("1")));
        page->btnCreateNewItem->click();
        QCOMPARE(items->rowCount(), 4);
        const QString id = table->model()->index(table->currentIndex().row(), 8).data().toString();
        QTranslator translator;
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        QCoreApplication::installTranslator(&translator);
        QCoreApplication::processEvents();
        QCoreApplication::removeTranslator(&translator);
        QCoreApplication::processEvents();
        QCOMPARE(answers.boxTexts.join(u'|'), QString());
        QCOMPARE(items->rowCount(), 4);
        QVERIFY(page->btnSaveServiceSettings->isVisible());
        if (keep) {
            type(page->txtLinkUrl, QStringLiteral("http://kept"), false);
            QTest::mouseClick(page->btnSaveServiceSettings, Qt::LeftButton);
        } else {
            QTest::mouseClick(page->btnCancelServiceSetting, Qt::LeftButton);
        }
        QCOMPARE(answers.boxTexts.join(u'|'), QString());
        QCOMPARE(items->rowCount(), keep ? 4 : 3);
        QCOMPARE(items->indexById(id, 0).isValid(), keep);
        if (keep)
            QCOMPARE(title(page.get(), id), QStringLiteral("New link %1").arg(id));
        QVERIFY(table->isEnabled());
        QVERIFY(page->btnCreateNewItem->isEnabled());
    }

    // A project closed while a new link was being made, then another opened: the page browses and edits the
    // other one as after any load.
    void anotherProjectAfterClosingWhileMakingANewLink()
    {
        auto page = showListPage<LinkListModule>(&info, linkDocument({1, 2, 3}));
        DialogAnswerer answers;
        answers.boxAnswers = {QStringLiteral("&No"), QStringLiteral("&No")};
        page->btnCreateNewItem->click();
        QVERIFY(page->btnSaveServiceSettings->isVisible());
        page->projectManager()->closeProject();
        QCOMPARE(page->stackedWidget->currentIndex(), 0);
        QVERIFY(page->projectManager()->newProject(linkDocument({5, 6, 7, 8})));
        QCOMPARE(page->stackedWidget->currentIndex(), 1);
        ItemsTableView *table = page->itemsTableViewAll;
        for (QWidget *widget : std::initializer_list<QWidget *>{page->toolsFrame, page->listsTabWidget, page->txtSearch,
                                                                table, page->btnCreateNewItem})
            QVERIFY2(widget->isEnabled(), qPrintable(widget->objectName()));
        QVERIFY(!page->btnSaveServiceSettings->isVisible());
        ListItemsDatabaseModel *items = page->projectManager()->itemsModel;
        page->btnCreateNewItem->click();
        QCOMPARE(items->rowCount(), 5);
        QTest::mouseClick(page->btnCancelServiceSetting, Qt::LeftButton);
        QCOMPARE(items->rowCount(), 4);
        QVERIFY(table->isEnabled());
        // An edit of a link there is checked and kept as usual.
        table->selectRow(rowOfId(page.get(), QStringLiteral("6")));
        page->btnShowServiceSettings->click();
        type(page->txtLinkTitle, QStringLiteral("Sixth"));
        QTRY_COMPARE(title(page.get(), QStringLiteral("6")), QStringLiteral("Sixth"));
        QCOMPARE(answers.boxTexts.filter(QStringLiteral("not allowed")), QStringList());
    }

    // The language switched with the panel open, then typing there: it goes to the link the panel shows.
    void editingAfterALanguageSwitch()
    {
        auto page = showListPage<LinkListModule>(&info, linkDocument({1, 2, 3}));
        DialogAnswerer answers;
        ItemsTableView *table = page->itemsTableViewAll;
        table->selectRow(rowOfId(page.get(), QStringLiteral("2")));
        page->btnShowServiceSettings->click();
        QTranslator translator;
        QVERIFY(loadTranslator(&translator, QStringLiteral("pl_PL")));
        QCoreApplication::installTranslator(&translator);
        QCoreApplication::processEvents();
        if (!page->txtLinkTitle->text().isEmpty())
            QCOMPARE(page->txtLinkTitle->text(), QStringLiteral("Link 2"));
        table->selectRow(rowOfId(page.get(), QStringLiteral("2")));
        type(page->txtLinkTitle, QStringLiteral("Drugi"));
        QTRY_COMPARE(title(page.get(), QStringLiteral("2")), QStringLiteral("Drugi"));
        QCoreApplication::removeTranslator(&translator);
        QCoreApplication::processEvents();
        table->selectRow(rowOfId(page.get(), QStringLiteral("2")));
        type(page->txtLinkTitle, QStringLiteral("Second"));
        QTRY_COMPARE(title(page.get(), QStringLiteral("2")), QStringLiteral("Second"));
        QCOMPARE(title(page.get(), QStringLiteral("1")), QStringLiteral("Link 1"));
        QCOMPARE(title(page.get(), QStringLiteral("3")), QStringLiteral("Link 3"));
        QCOMPARE(answers.boxTexts.join(u'|'), QString());
    }

    // A project closed with the panel open and typing in it, then another opened: the other one is not written
    // into, and its panel edits its own links.
    void anotherProjectAfterClosingWithThePanelOpen()
    {
        auto page = showListPage<LinkListModule>(&info, linkDocument({1, 2, 3}));
        DialogAnswerer answers;
        answers.boxAnswers = {QStringLiteral("&No")}; // a save question: the first project is dropped
        ItemsTableView *table = page->itemsTableViewAll;
        table->selectRow(rowOfId(page.get(), QStringLiteral("2")));
        page->btnShowServiceSettings->click();
        page->txtLinkTitle->setFocus();
        page->txtLinkTitle->selectAll();
        QTest::keyClicks(page->txtLinkTitle, QStringLiteral("Left behind"));
        page->projectManager()->closeProject();
        QCOMPARE(page->stackedWidget->currentIndex(), 0);
        QVERIFY(page->projectManager()->newProject(linkDocument({5, 6, 7, 8})));
        QCOMPARE(page->stackedWidget->currentIndex(), 1);
        QCoreApplication::processEvents();
        QVERIFY(!page->projectManager()->documentText().contains(QStringLiteral("Left behind")));
        QVERIFY(!page->projectManager()->isModified());
        table->selectRow(rowOfId(page.get(), QStringLiteral("6")));
        page->btnShowServiceSettings->click();
        QVERIFY(page->tabServiceProperties->isVisible());
        QCOMPARE(page->txtLinkTitle->text(), QStringLiteral("Link 6"));
        type(page->txtLinkTitle, QStringLiteral("Sixth"));
        QTRY_COMPARE(title(page.get(), QStringLiteral("6")), QStringLiteral("Sixth"));
        QCOMPARE(page->projectManager()->itemsModel->rowCount(), 4);
    }
};

OMBRELAY_TEST_MAIN(TestLinkSecondActions)
#include "tst_linksecondactions.moc"
