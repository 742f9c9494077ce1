#include "receiverhold.h"
#include "transferlostsupport.h"

#include <QMessageBox>

// In the whole program: the receiver stops answering a request of a list page, the connection is given up, the
// user is told in words that name the lost connection (once, by the page), and the program connects anew. The
// same request then goes through over the new connection without a word, whether the message was answered at
// once or only after the new connection was made. For each list's download and send, and for the receiver's
// description the TV page asks for its satellites.
class TestListsAfterGivenUpLink : public QObject
{
    Q_OBJECT

    // The boxes answered at once (No, or closed), or each only once the receiver is connected anew.
    static void answerBoxes(DialogAnswerer &answers, ZBDevice *receiver, ReceiverEmulator &emulator, bool late,
                            int connections)
    {
        MessageBox::setAnswerHook([&answers, receiver, &emulator, late, connections](QDialog *box) {
            auto *messageBox = qobject_cast<QMessageBox *>(box);
            answers.boxTexts << (messageBox ? messageBox->text() : QString());
            if (late)
                (void)QTest::qWaitFor(
                    [&] { return emulator.connectionCount() > connections && receiver->isConnected(); }, 20000);
            const QString answer = answers.boxAnswers.isEmpty() ? QString() : answers.boxAnswers.takeFirst();
            if (answer.isEmpty() || !MessageBox::clickButton(box, answer))
                box->reject();
        });
    }

    template<class Page> void transferAfterGivenUp(const QString &type, const QString &mode, bool late)
    {
        ConnectedWindow<Page> w;
        w.lists->setDocument(type, listOfType(type, 30).toUtf8());
        ReceiverHold silence(w.emulator, ReceiverHold::ConnectedAnew);
        w.open();
        Page *page = w.page;
        QVERIFY(page);
        QVERIFY(page->projectManager()->newProject(listOfType(type, 20)));
        const bool send = mode == QLatin1String("send");
        if (send)
            editFirst(page, type);
        QTRY_VERIFY_WITH_TIMEOUT(button(page, mode)->isEnabled(), 10000);
        const int connections = w.emulator.connectionCount();
        answerBoxes(w.answers, w.receiver, w.emulator, late, connections);
        w.answers.boxTexts.clear();
        silence.arm();
        button(page, mode)->click();
        QVERIFY(page->pendingTask());
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(w.emulator.connectionCount() == connections + 1 && w.receiver->isConnected(), 20000);
        QTRY_VERIFY(!shown(w.answers).isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(shown(w.answers), QStringList{ListTransfer::lostConnectionText(mode)});
        QCOMPARE(page->stackedWidget->currentIndex(), int(Page::PageEditor));
        QCOMPARE(rows(page), 20);
        QCOMPARE(page->projectManager()->isModified(), send);
        QCOMPARE(w.lists->uploads(), 0);

        // The same request over the new connection goes through, and says nothing.
        w.answers.boxTexts.clear();
        QTRY_VERIFY_WITH_TIMEOUT(button(page, mode)->isEnabled(), 10000);
        button(page, mode)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        QCOMPARE(page->stackedWidget->currentIndex(), int(Page::PageEditor));
        if (send) {
            QCOMPARE(w.lists->uploads(), 1);
            QVERIFY(!page->projectManager()->isModified());
        } else {
            QTRY_COMPARE(rows(page), 30);
        }
        QCoreApplication::processEvents();
        QCOMPARE(shown(w.answers), QStringList());
        QCOMPARE(w.emulator.connectionCount(), connections + 1);
        QCOMPARE(w.emulator.unknownCommands(), 0);
        MessageBox::setAnswerHook({});
    }

private slots:
    void initTestCase() { registerStartUpServices(); }
    void init() { startAskingBeforeRestart(); }

    void transferAfterAGivenUpLink_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("late");
        forEachTypeAndMode([](const char *type, const char *mode) {
            QTest::addRow("%s %s, answered at once", type, mode) << type << mode << false;
            QTest::addRow("%s %s, answered late", type, mode) << type << mode << true;
        });
    }
    void transferAfterAGivenUpLink()
    {
        QFETCH(QString, type);
        QFETCH(QString, mode);
        QFETCH(bool, late);
        forPageOfType(
            type, [&](auto *page) { transferAfterGivenUp<std::remove_pointer_t<decltype(page)>>(type, mode, late); });
    }

    // The TV page asks the receiver for its satellites and the receiver does not answer: the page says the
    // connection was lost, not that the receiver is busy; over the new connection the same request takes them.
    void satellitesAfterAGivenUpLink_data()
    {
        QTest::addColumn<bool>("late");
        QTest::newRow("answered at once") << false;
        QTest::newRow("answered late") << true;
    }
    void satellitesAfterAGivenUpLink()
    {
        QFETCH(bool, late);
        ConnectedWindow<TVListModule> w;
        ReceiverHold silence(w.emulator, ReceiverHold::ConnectedAnew);
        w.open(fourListDescriptionWithoutSatellites());
        TVListModule *page = w.page;
        QVERIFY(page);
        QVERIFY(page->projectManager()->newProject(listOfType(QStringLiteral("tv"), 20)));
        QCOMPARE(page->deviceInfo()->satelliteCount(), 0);
        const int connections = w.emulator.connectionCount();
        answerBoxes(w.answers, w.receiver, w.emulator, late, connections);
        const QString ask = QStringLiteral(
            "Ombrelay has no information about satellites available. To download it please make sure that device is "
            "connected and doesn't record any content. Do you want to download now?");
        w.answers.boxTexts.clear();
        w.answers.boxAnswers = {QStringLiteral("&Yes")};
        silence.arm();
        QVERIFY(QMetaObject::invokeMethod(page, "onPredefinedSatellitesButtonClicked"));
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(w.emulator.connectionCount() == connections + 1 && w.receiver->isConnected(), 20000);
        QTRY_VERIFY(shown(w.answers).size() >= 2);
        QCoreApplication::processEvents();
        QCOMPARE(shown(w.answers), (QStringList{ask, ListTransfer::lostConnectionText(QString())}));
        QCOMPARE(page->deviceInfo()->satelliteCount(), 0);

        // Over the new connection the receiver answers with its satellites.
        w.satellitesTaken(ask);
        QCOMPARE(w.emulator.connectionCount(), connections + 1);
        MessageBox::setAnswerHook({});
    }
};

OMBRELAY_TEST_MAIN(TestListsAfterGivenUpLink)
#include "tst_listsaftergivenuplink.moc"
