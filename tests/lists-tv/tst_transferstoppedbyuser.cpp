#include "transferlostsupport.h"

#include "base/translatorloader.h"

#include <QMetaObject>
#include <QTranslator>

// A send or download under way when the user disconnects the receiver and agrees to stop the work: the page
// says that the transfer was stopped, not that the connection was lost; the list and the receiver's lists
// stay as they were, and after connecting again the same request goes through.
class TestTransferStoppedByUser : public QObject
{
    Q_OBJECT

    template<class Page> void stopInTheWindow(const QString &type, const QString &mode)
    {
        ReceiverEmulator emulator;
        emulator.setDescription(fourListDescription());
        auto lists = ReceiverLists::install(emulator);
        lists->setDocument(type, listOfType(type, 30).toUtf8());
        QVERIFY(emulator.start());
        saveAsTheWindowsReceiver(emulator);
        DialogAnswerer answers;
        MainWindow window;
        ZBDevice *receiver = nullptr;
        Page *page = nullptr;
        showConnectedPage(window, receiver, page);
        QVERIFY(receiver && page);
        QCOMPARE(window.currentDeviceId(), receiver->id());
        QVERIFY(page->projectManager()->newProject(listOfType(type, 20)));
        if (mode == QLatin1String("send"))
            editFirst(page, type);
        const bool modified = page->projectManager()->isModified();
        QTRY_VERIFY_WITH_TIMEOUT(page->btnDownloadDeviceLists->isEnabled(), 10000);
        answers.boxTexts.clear();

        // The receiver keeps the request waiting; the user disconnects it and agrees to stop the work.
        if (mode == QLatin1String("send"))
            emulator.setSilent(true);
        else
            lists->setHold(true);
        button(page, mode)->click();
        QTRY_VERIFY_WITH_TIMEOUT(receiver->hasPendingWork() && page->pendingTask(), 10000);
        QTRY_COMPARE(page->stackedWidget->currentIndex(), int(Page::PageTransfer));
        answers.boxAnswers = {QStringLiteral("&Yes")};
        QVERIFY(QMetaObject::invokeMethod(&window, "onActionDisconnect"));
        QTRY_VERIFY_WITH_TIMEOUT(receiver->isDisconnected() && !page->pendingTask(), 20000);
        QTRY_COMPARE(shown(answers).size(), 2);
        const QStringList texts = shown(answers);
        QVERIFY2(texts.first().contains(QStringLiteral("Do you want to stop it and disconnect?")),
                 qPrintable(texts.join(u'\n')));
        QCOMPARE(texts.last(), ListsModuleShared::stoppedTransferText(mode));
        QVERIFY(texts.filter(QStringLiteral("lost")).isEmpty());
        QCOMPARE(page->stackedWidget->currentIndex(), int(Page::PageEditor));
        QCOMPARE(rows(page), 20);
        QCOMPARE(page->projectManager()->isModified(), modified);
        QCOMPARE(lists->uploads(), 0);

        // Connected again, the same request goes through without a word.
        emulator.setSilent(false);
        lists->setHold(false);
        answers.boxTexts.clear();
        receiver->connectToDevice();
        QTRY_VERIFY_WITH_TIMEOUT(receiver->isConnected() && button(page, mode)->isEnabled(), 20000);
        button(page, mode)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        QCOMPARE(shown(answers), QStringList());
        QCOMPARE(rows(page), mode == QLatin1String("send") ? 20 : 30);
        QCOMPARE(lists->uploads(), mode == QLatin1String("send") ? 1 : 0);
        QVERIFY(!page->projectManager()->isModified());
    }

private slots:
    void initTestCase() { registerStartUpServices(); }
    void init() { startAskingBeforeRestart(); }

    void disconnectAgreedTo_data() { addTypeAndModeRows(); }
    void disconnectAgreedTo()
    {
        QFETCH(QString, type);
        QFETCH(QString, mode);
        forPageOfType(type, [&](auto *page) { stopInTheWindow<std::remove_pointer_t<decltype(page)>>(type, mode); });
    }

    // The new text reads in the user's language.
    void stoppedTextTranslated()
    {
        for (const char *language : {"de_DE", "pl_PL"}) {
            QTranslator translator;
            QVERIFY(loadTranslator(&translator, QString::fromLatin1(language)));
            for (const char *mode : {"send", "download"}) {
                const QString text = ListsModuleShared::stoppedTransferText(QString::fromLatin1(mode));
                QVERIFY2(!text.contains(QStringLiteral("stopped")), qPrintable(text));
                QVERIFY2(!text.contains(QStringLiteral("lists were")), qPrintable(text));
                QVERIFY2(!ListsModuleShared::notSentText(QString::fromLatin1(mode)).contains(QStringLiteral("device")),
                         qPrintable(text));
            }
            loadTranslator(&translator, QStringLiteral("en_EN"));
        }
    }
};

OMBRELAY_TEST_MAIN(TestTransferStoppedByUser)
#include "tst_transferstoppedbyuser.moc"
