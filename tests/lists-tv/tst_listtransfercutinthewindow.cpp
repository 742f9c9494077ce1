#include "transferlostsupport.h"

#include "device/protocol/dvb24communicationprotocolmill.h"

// A list sent or downloaded while the receiver's connection goes: every ending of it says that the
// connection was lost and the lists were not sent (downloaded), whichever the page hears first, the
// dropped link or the worker's error; the busy text is kept for a receiver that says it is busy.
// Here in the whole program, which connects to the emulator saved as its receiver.
class TestListTransferCutInTheWindow : public QObject
{
    Q_OBJECT

    template<class Page> void cutSendsInTheWindow(const QString &type)
    {
        ConnectedWindow<Page> program;
        program.open();
        auto [lists, answers, receiver, page] =
            std::tie(program.lists, program.answers, program.receiver, program.page);
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
            // the page said it, naming the loss: the window adds nothing of its own
            QVERIFY2(texts.size() == round, qPrintable(texts.join(u'\n')));
            QVERIFY2(texts.filter(QStringLiteral("busy")).isEmpty(), qPrintable(texts.join(u'\n')));
            QCOMPARE(page->stackedWidget->currentIndex(), int(Page::PageEditor));
            QCOMPARE(lists->uploads(), 0);
            QVERIFY(page->projectManager()->isModified());
        }
        lists->setCutTransferAfter(-1);
        program.sendGoesThrough();
        QCOMPARE(lists->uploads(), 1);
        QCOMPARE(shown(answers).count(lost), 3);
    }

    // The receiver says nothing from the moment the list is sent: after the wait for its answer the send
    // ends in one message, the page's, that names the lost connection and says the lists were not sent; the
    // window adds no second one for the same loss. The list stays as it was, and once the receiver answers
    // again the same send goes through without a word.
    template<class Page> void silentDuringASend(const QString &type)
    {
        ConnectedWindow<Page> program;
        program.open();
        auto [emulator, lists, answers, receiver, page] =
            std::tie(program.emulator, program.lists, program.answers, program.receiver, program.page);
        QVERIFY(receiver && page);
        QVERIFY(page->projectManager()->newProject(listOfType(type, 50)));
        editFirst(page, type);
        answers.boxTexts.clear();
        emulator.setSilent(true);
        answers.boxAnswers = {QStringLiteral("&Yes")};
        page->btnUploadDeviceLists->click();
        QVERIFY(page->pendingTask());
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        // the window hears of the loss with the state, and a message of its own would come with it
        QTRY_VERIFY_WITH_TIMEOUT(receiver->isDisconnected(), 30000);
        const QString lost = ListTransfer::lostConnectionText(QStringLiteral("send"));
        QTRY_VERIFY(!shown(answers).isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!receiver->communicationManager()->mill()->isRunning(), 30000);
        QCoreApplication::processEvents();
        QCOMPARE(shown(answers), QStringList{lost});
        QCOMPARE(page->stackedWidget->currentIndex(), int(Page::PageEditor));
        QCOMPARE(rows(page), 50);
        QVERIFY(page->projectManager()->isModified());
        QCOMPARE(lists->uploads(), 0);

        emulator.setSilent(false);
        receiver->connectToDevice();
        program.sendGoesThrough();
        QCOMPARE(lists->uploads(), 1);
        QCOMPARE(shown(answers), QStringList{lost});
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

    void silentReceiverDuringASend_data() { cutSendInTheWindow_data(); }
    void silentReceiverDuringASend()
    {
        QFETCH(QString, type);
        const ProgramLook look{QString()};
        Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("0"));
        forPageOfType(type, [&](auto *page) { silentDuringASend<std::remove_pointer_t<decltype(page)>>(type); });
    }
};

OMBRELAY_TEST_MAIN(TestListTransferCutInTheWindow)
#include "tst_listtransfercutinthewindow.moc"
