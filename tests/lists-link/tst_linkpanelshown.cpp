#include "receiveremulator.h"
#include "receiverlists.h"
#include "testmain.h"

#include "dialoganswerer.h"
#include "listinthewindow.h"
#include "listpagetest.h"

#include "base/settings.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "lists/linklistmodule.h"

#include <QLabel>
#include <QTest>

// What the link page shows of its details panel: the panel or the bar that shows it again, never both and
// never neither, and labels that grey with their fields.
class TestLinkPanelShown : public QObject
{
    Q_OBJECT
    ZBDeviceInfo info{QStringLiteral("Box")};

    // Where the panel stands as the user sees it: "panel", "bar", "both" or "neither".
    static QString panelState(LinkListModule *page)
    {
        const bool panel = page->tabServiceProperties->isVisible();
        const bool bar = page->btnShowServiceSettings->isVisible();
        return panel && bar ? QStringLiteral("both")
               : panel      ? QStringLiteral("panel")
               : bar        ? QStringLiteral("bar")
                            : QStringLiteral("neither");
    }
    static void clickRow(LinkListModule *page, int row)
    {
        QTableView *table = page->itemsTableViewAll;
        const QRect cell = table->visualRect(table->model()->index(row, 1));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    }

private slots:
    void init() { Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("0")); }

    // The panel open on a link, then "Send lists to device", answered Yes (the receiver takes the list) or No:
    // the panel is shown again as it was, and a click on a row keeps it, without the bar above it.
    void panelAfterASend_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }
    void panelAfterASend()
    {
        QFETCH(bool, yes);
        const ProgramLook look{QString()};
        ReceiverEmulator emulator;
        auto lists = ReceiverLists::install(emulator);
        QVERIFY(emulator.start());
        DVB24CommunicationManager device;
        device.setPort(emulator.port());
        auto page = showListPage<LinkListModule>(&info, linkDocument({1, 2, 3, 4}));
        page->setCommunicationManager(&device);
        connect(&device, &DeviceCommunicationManager::stateChanged, page.get(), &LinkListModule::onDeviceStateChange);
        device.connectToHost(emulator.host());
        QTRY_VERIFY_WITH_TIMEOUT(page->btnUploadDeviceLists->isEnabled(), 10000);
        clickRow(page.get(), 1);
        QCOMPARE(panelState(page.get()), QStringLiteral("bar"));
        QTest::mouseClick(page->btnShowServiceSettings, Qt::LeftButton);
        QCOMPARE(panelState(page.get()), QStringLiteral("panel"));
        QTest::mouseClick(page->txtLinkTitle, Qt::LeftButton);
        DialogAnswerer answers;
        answers.boxAnswers = {yes ? QStringLiteral("&Yes") : QStringLiteral("&No")};
        QTest::mouseClick(page->btnUploadDeviceLists, Qt::LeftButton);
        if (yes)
            QTRY_COMPARE_WITH_TIMEOUT(lists->uploads(), 1, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 20000);
        QCOMPARE(page->stackedWidget->currentIndex(), int(LinkListModule::PageEditor));
        QApplication::setActiveWindow(page.get()); // the question took the window's activation with it
        QCOMPARE(panelState(page.get()), QStringLiteral("panel"));
        clickRow(page.get(), 2);
        QCOMPARE(panelState(page.get()), QStringLiteral("panel"));
        QCOMPARE(page->txtLinkTitle->text(), QStringLiteral("Link 3"));
        // The favourite lists take the focus: the details give way to them, and come back, without the bar,
        // with a click on a row.
        QTableView *favourites = page->listsTabWidget->currentWidget()->findChild<QTableView *>();
        QVERIFY(favourites);
        QTest::mouseClick(favourites->viewport(), Qt::LeftButton, {},
                          favourites->visualRect(favourites->model()->index(0, 0)).center());
        QCOMPARE(panelState(page.get()), QStringLiteral("neither"));
        // A press on a row that comes before the focus does (the window not active yet), then the focus.
        QApplication::setActiveWindow(nullptr);
        clickRow(page.get(), 0);
        QApplication::setActiveWindow(page.get());
        clickRow(page.get(), 0);
        QCOMPARE(panelState(page.get()), QStringLiteral("panel"));
        QCOMPARE(page->txtLinkTitle->text(), QStringLiteral("Link 1"));
        // Closed and opened again from the bar, the panel still comes alone.
        QTest::mouseClick(page->btnHideServiceSettings, Qt::LeftButton);
        QCOMPARE(panelState(page.get()), QStringLiteral("bar"));
        QTest::mouseClick(page->btnShowServiceSettings, Qt::LeftButton);
        QCOMPARE(panelState(page.get()), QStringLiteral("panel"));
        QCOMPARE(answers.boxTexts.filter(QStringLiteral("Error")), QStringList());
        device.requestClose();
    }

    // No link left: "Title" greys as "Url" does, in the colour the window draws disabled labels with; a
    // new link makes both normal again.
    void labelsWithNoLinkLeft()
    {
        const ProgramLook look{QString()};
        auto page = showListPage<LinkListModule>(&info, linkDocument({1, 2}));
        DialogAnswerer answers;
        clickRow(page.get(), 0);
        QTest::mouseClick(page->btnShowServiceSettings, Qt::LeftButton);
        QVERIFY(page->lblLinkTitle->isEnabled() && page->lblLinkUrl->isEnabled());
        const QRgb normal = textColour(page->lblLinkTitle);
        QCOMPARE(textColour(page->lblLinkUrl), normal);
        page->itemsTableViewAll->selectAll();
        page->itemsTableViewAll->deleteSelected();
        QCOMPARE(page->projectManager()->itemsModel->rowCount(), 0);
        QVERIFY(!page->txtLinkTitle->isEnabled() && !page->txtLinkUrl->isEnabled());
        QVERIFY(!page->lblLinkTitle->isEnabled());
        QVERIFY(!page->lblLinkUrl->isEnabled());
        const QRgb greyed = textColour(page->lblLinkUrl);
        QVERIFY(greyed != normal);
        QCOMPARE(textColour(page->lblLinkTitle), greyed);
        page->btnCreateNewItem->click();
        QCOMPARE(page->projectManager()->itemsModel->rowCount(), 1);
        QVERIFY(page->txtLinkTitle->isEnabled());
        QVERIFY(page->lblLinkTitle->isEnabled() && page->lblLinkUrl->isEnabled());
        QCOMPARE(textColour(page->lblLinkTitle), normal);
        QCOMPARE(answers.boxTexts, QStringList());
    }

    // Ctrl+N with a link shown in the open panel: the new list has no link, so the panel is empty, every
    // field and every label greyed in the colour the window draws disabled labels with; a new link makes
    // them normal again and shows that link alone.
    void emptyPanelForANewList()
    {
        const ProgramLook look{QString()};
        const QString text =
            QStringLiteral("<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/><items>"
                           "<link id=\"1\"><title>Link 1</title><url>http://1</url><type>website</type></link>"
                           "<link id=\"3\"><title>Premium 3</title><url>http://premium/3</url><type>website</type>"
                           "<genres>Kids</genres></link></items><lists><list id=\"0\"><ref>1</ref><ref>3</ref></list>"
                           "<list id=\"1\"/><list id=\"2\"/><list id=\"3\"/></lists></TDocument>\n");
        auto page = showListPage<LinkListModule>(&info, text);
        DialogAnswerer answers;
        clickRow(page.get(), 1);
        QTest::mouseClick(page->btnShowServiceSettings, Qt::LeftButton);
        QCOMPARE(panelState(page.get()), QStringLiteral("panel"));
        QCOMPARE(page->txtLinkTitle->text(), QStringLiteral("Premium 3"));
        QCOMPARE(page->lblGenreValue->text(), QStringLiteral("Kids"));
        const QRgb normal = textColour(page->lblLinkTitle);
        QCOMPARE(textColour(page->lblGenre2), normal);

        QTest::keyClick(page->itemsTableViewAll, Qt::Key_N, Qt::ControlModifier);
        QTRY_VERIFY(page->projectManager()->isProjectLoaded());
        QCOMPARE(page->projectManager()->itemsModel->rowCount(), 0);
        QCOMPARE(page->txtLinkTitle->text(), QString());
        QCOMPARE(page->txtLinkUrl->text(), QString());
        QCOMPARE(page->lblGenreValue->text(), QString());
        for (QWidget *field : std::initializer_list<QWidget *>{page->txtLinkTitle, page->txtLinkUrl,
                                                               page->lblGenreValue, page->parentLockCheckBox})
            QVERIFY2(!field->isEnabled(), qPrintable(field->objectName()));
        for (QWidget *label : std::initializer_list<QWidget *>{page->lblLinkTitle, page->lblLinkUrl, page->lblGenre2})
            QVERIFY2(!label->isEnabled(), qPrintable(label->objectName()));
        const QRgb greyed = textColour(page->lblLinkUrl);
        QVERIFY(greyed != normal);
        QCOMPARE(textColour(page->lblLinkTitle), greyed);
        QCOMPARE(textColour(page->lblGenre2), greyed);

        page->btnCreateNewItem->click();
        QCOMPARE(page->projectManager()->itemsModel->rowCount(), 1);
        QVERIFY(page->txtLinkTitle->isEnabled() && page->lblGenreValue->isEnabled());
        QVERIFY(page->txtLinkTitle->text().startsWith(QStringLiteral("New link")));
        QVERIFY(page->lblGenreValue->text() != QLatin1String("Kids"));
        QCOMPARE(textColour(page->lblLinkTitle), normal);
        QCOMPARE(textColour(page->lblGenre2), normal);
        QCOMPARE(answers.boxTexts, QStringList());
    }
};

OMBRELAY_TEST_MAIN(TestLinkPanelShown)
#include "tst_linkpanelshown.moc"
