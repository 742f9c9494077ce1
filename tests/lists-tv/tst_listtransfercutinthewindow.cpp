#include "transferlostsupport.h"

// A list sent or downloaded while the receiver's connection goes: every ending of it says that the
// connection was lost and the lists were not sent (downloaded), whichever the page hears first, the
// dropped link or the worker's error; the busy text is kept for a receiver that says it is busy.
// Here in the whole program, which connects to the emulator saved as its receiver.
class TestListTransferCutInTheWindow : public QObject
{
    Q_OBJECT

    template<class Page> void cutSendsInTheWindow(const QString &type)
    {
        ReceiverEmulator emulator;
        emulator.setDescription(fourListDescription());
        auto lists = ReceiverLists::install(emulator);
        QVERIFY(emulator.start());
        saveAsTheWindowsReceiver(emulator);
        DialogAnswerer answers;
        MainWindow window;
        ZBDevice *receiver = nullptr;
        Page *page = nullptr;
        showConnectedPage(window, receiver, page);
        QVERIFY(receiver && page);
        QVERIFY(page->projectManager()->newProject(listOfType(type, 1000)));
        editFirst(page, type);
        const QString lost = ListTransfer::lostConnectionText(QStringLiteral("send"));
        answers.boxTexts.clear();
        // Each time: cut 100,000 bytes into the upload, after Yes to the restart question.
        for (int round = 1; round <= 3; ++round) {
            QTRY_VERIFY_WITH_TIMEOUT(receiver->isConnected() && page->btnUploadDeviceLists->isEnabled(), 20000);
            lists->setCutTransferAfter(100000);
            answers.boxAnswers = {QStringLiteral("&Yes")};
            page->btnUploadDeviceLists->click();
            QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
            QTRY_VERIFY(shown(answers).count(lost) >= round);
            const QStringList texts = shown(answers);
            QVERIFY2(texts.count(lost) == round, qPrintable(texts.join(u'\n')));
            QVERIFY2(texts.filter(QStringLiteral("busy")).isEmpty(), qPrintable(texts.join(u'\n')));
            QCOMPARE(page->stackedWidget->currentIndex(), int(Page::PageEditor));
            QCOMPARE(lists->uploads(), 0);
            QVERIFY(page->projectManager()->isModified());
        }
        lists->setCutTransferAfter(-1);
        QTRY_VERIFY_WITH_TIMEOUT(receiver->isConnected() && page->btnUploadDeviceLists->isEnabled(), 20000);
        answers.boxAnswers = {QStringLiteral("&Yes")};
        page->btnUploadDeviceLists->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        QCOMPARE(lists->uploads(), 1);
        QVERIFY(!page->projectManager()->isModified());
        QCOMPARE(shown(answers).count(lost), 3);
    }

private slots:
    void initTestCase() { registerStartUpServices(); }
    void init() { startAskingBeforeRestart(); }

    // In the whole program, with the receiver saved from an earlier start: every cut send says so.
    void cutSendInTheWindow_data()
    {
        QTest::addColumn<QString>("type");
        QTest::newRow("tv") << "tv";
        QTest::newRow("radio") << "radio";
        QTest::newRow("link") << "link";
    }
    void cutSendInTheWindow()
    {
        QFETCH(QString, type);
        const ProgramLook look{QString()};
        Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("0"));
        forPageOfType(type, [&](auto *page) { cutSendsInTheWindow<std::remove_pointer_t<decltype(page)>>(type); });
    }
};

OMBRELAY_TEST_MAIN(TestListTransferCutInTheWindow)
#include "tst_listtransfercutinthewindow.moc"
