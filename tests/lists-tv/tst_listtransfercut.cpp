#include "transferlostsupport.h"

// A list sent or downloaded while the receiver's connection goes: every ending of it says that the
// connection was lost and the lists were not sent (downloaded), whichever the page hears first, the
// dropped link or the worker's error; the busy text is kept for a receiver that says it is busy.
// Here against the emulator, which cuts the transfer.
class TestListTransferCut : public QObject
{
    Q_OBJECT

    template<class Page> void cutAgainstTheReceiver(const QString &type, const QString &mode, bool errorFirst)
    {
        ReceiverEmulator emulator;
        emulator.setDescription(fourListDescription());
        auto lists = ReceiverLists::install(emulator);
        lists->setDocument(type, listOfType(type, 900).toUtf8());
        QVERIFY(emulator.start());
        DVB24CommunicationManager device;
        device.setPort(emulator.port());
        ZBDeviceInfo info(QStringLiteral("Box"));
        auto page = showListPage<Page>(&info, listOfType(type, 1000));
        page->setCommunicationManager(&device);
        StateRelay relay(&device, page.get());
        device.connectToHost(emulator.host());
        QTRY_VERIFY_WITH_TIMEOUT(button(page.get(), mode)->isEnabled(), 10000);
        if (mode == QLatin1String("send"))
            editFirst(page.get(), type);
        const QString lost = ListTransfer::lostConnectionText(mode);
        DialogAnswerer answers;
        lists->setCutTransferAfter(mode == QLatin1String("send") ? 100000 : 40000);
        relay.held = errorFirst;
        button(page.get(), mode)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        relay.release();
        QTRY_COMPARE(shown(answers), QStringList{lost});
        QVERIFY(relay.delivered.contains(QStringLiteral("disconnected")));
        QCOMPARE(lists->uploads(), 0);
        QCOMPARE(rows(page.get()), 1000);
        QCOMPARE(page->projectManager()->isModified(), mode == QLatin1String("send"));

        // The worker connects again; the same request then goes through.
        lists->setCutTransferAfter(-1);
        QTRY_VERIFY_WITH_TIMEOUT(
            relay.delivered.last() == QLatin1String("connected") && button(page.get(), mode)->isEnabled(), 20000);
        button(page.get(), mode)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        QCOMPARE(shown(answers), QStringList{lost});
        QCOMPARE(lists->uploads(), mode == QLatin1String("send") ? 1 : 0);
        QCOMPARE(rows(page.get()), mode == QLatin1String("send") ? 1000 : 900);
        QVERIFY(!page->projectManager()->isModified());
        device.requestClose();
    }

private slots:
    void initTestCase() { registerStartUpServices(); }
    void init() { startAskingBeforeRestart(); }

    // A receiver that closes the connection in the middle of the transfer, heard by the page before or
    // after the worker's ending.
    void cutByTheReceiver_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("errorFirst");
        forEachTypeAndMode([](const char *type, const char *mode) {
            QTest::addRow("%s %s, dropped link first", type, mode) << type << mode << false;
            QTest::addRow("%s %s, worker's error first", type, mode) << type << mode << true;
        });
    }
    void cutByTheReceiver()
    {
        QFETCH(QString, type);
        QFETCH(QString, mode);
        QFETCH(bool, errorFirst);
        forPageOfType(type, [&](auto *page) {
            cutAgainstTheReceiver<std::remove_pointer_t<decltype(page)>>(type, mode, errorFirst);
        });
    }
};

OMBRELAY_TEST_MAIN(TestListTransferCut)
#include "tst_listtransfercut.moc"
