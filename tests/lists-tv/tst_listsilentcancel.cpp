#include "transferlostsupport.h"

#include "base/translatorloader.h"
#include "device/transfers/transferlink.h"

#include "ui_mainwindow.h"

#include <QElapsedTimer>
#include <QTranslator>

#include <atomic>

namespace {

// How the receiver behaves once the list transfer is under way.
enum class Receiver {
    SilentInDownload,  // stops in the middle of the list it sends, and stays silent
    SilentInSend,      // stops answering the messages of the list it takes, before the closing one, and stays silent
    LateAnswerToClose, // answers the closing message of a send, but only after the after-cancel wait
};

// The list command of the TV lists: download and send.
constexpr char tvDownload = 0x19;
constexpr char tvSend = 0x22;

} // namespace

Q_DECLARE_METATYPE(Receiver)

// The TV list page while the receiver falls silent in the middle of a list download or send and stays silent after
// the user's Cancel on the transfer page: the transfer ends within seconds of the Cancel (never after a transfer's
// inactivity limit), a second Cancel changes nothing, the user is told in words that the receiver did not answer the
// cancel and that the lists did not move, the list on the page stays as it was, and the program connects anew by
// itself; a download then goes through. A Cancel once the closing message of a send went changes nothing: a receiver
// that stores the list and answers late has it said sent. The page alone and in the whole program.
class TestListSilentCancel : public QObject
{
    Q_OBJECT

    // Far above what a working build needs (the after-cancel wait of 3 s and a little), far below the fault (the
    // waits of a list transfer, 30 to 60 s).
    static constexpr int BoundMs = 8000;
    static constexpr int FaultMs = 90000;

    ReceiverEmulator *emulator = nullptr;
    std::atomic_bool fired{false};

    // Once the PC has sent the list command and `after` bytes more, the receiver does as the row says.
    void armReceiver(Receiver how)
    {
        fired = false;
        const qsizetype from = emulator->received().size();
        const char command = how == Receiver::SilentInDownload ? tvDownload : tvSend;
        emulator->setReceiveHook([this, how, from, command](const QByteArray &soFar) {
            if (fired.load())
                return;
            const qsizetype at = soFar.indexOf(command, from);
            if (at < 0)
                return;
            switch (how) {
            case Receiver::SilentInDownload:
                // three chunks of the list, then nothing more
                fired = true;
                emulator->muteOpenConnectionsAfter(3 * (4096 + 12));
                break;
            case Receiver::SilentInSend:
                if (soFar.size() - at < 3000)
                    return;
                fired = true;
                emulator->muteOpenConnections();
                break;
            case Receiver::LateAnswerToClose:
                if (!soFar.endsWith("CMP"))
                    return;
                fired = true;
                // past the after-cancel wait, within the wait for an answer
                emulator->setAnswerDelayMs(TransferLink::AfterCancelMs + 600);
                break;
            }
        });
    }

    // The page, its receiver and the list on it, from the request on: the receiver turns as the row says, the
    // user presses Cancel twice, and the outcome is checked; then a download goes through.
    template<class Page>
    void cancelOnThePage(Page *page, DialogAnswerer &answers, ReceiverLists &lists, Receiver how,
                         const std::function<bool()> &connected, const std::function<void()> &release = {})
    {
        const bool send = how != Receiver::SilentInDownload;
        const QString mode = send ? QStringLiteral("send") : QStringLiteral("download");
        QVERIFY(page->projectManager()->newProject(listOfType(QStringLiteral("tv"), 200)));
        if (send)
            editFirst(page, QStringLiteral("tv"));
        // longer than the three chunks the receiver sends before it falls silent
        const QByteArray stored = listOfType(QStringLiteral("tv"), 150).toUtf8();
        QVERIFY(stored.size() > 8 * 4096);
        lists.setDocument(QStringLiteral("tv"), stored);
        QTRY_VERIFY_WITH_TIMEOUT(connected() && button(page, mode)->isEnabled(), 20000);
        const int connections = emulator->connectionCount();
        answers.boxTexts.clear();
        answers.boxAnswers = {QStringLiteral("&Yes")}; // the restart question of a send
        armReceiver(how);
        button(page, mode)->click();
        QVERIFY(page->pendingTask());
        QTRY_VERIFY_WITH_TIMEOUT(fired.load(), 20000);
        QTRY_COMPARE(page->stackedWidget->currentIndex(), int(Page::PageTransfer));
        // the PC waits for the receiver, which the Cancel must cut short (unless the closing message went)
        QTest::qWait(300);
        QVERIFY(page->pendingTask());
        QVERIFY(page->dataTransferPageButton->isVisible());
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(page->dataTransferPageButton, Qt::LeftButton);
        QTest::qWait(500);
        if (page->pendingTask())
            QTest::mouseClick(page->dataTransferPageButton, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), FaultMs);
        const qint64 took = clock.elapsed();
        if (release)
            release();
        qInfo("%s: the %s ended %lld ms after the cancel", QTest::currentDataTag(), qPrintable(mode), took);
        emulator->setAnswerDelayMs(0);
        QCOMPARE(page->stackedWidget->currentIndex(), int(Page::PageEditor));
        QCOMPARE(rows(page), 200);

        if (how == Receiver::LateAnswerToClose) {
            // The receiver stored the list: it is said sent (not a word), over the same connection.
            QCOMPARE(lists.uploads(), 1);
            QVERIFY(!page->projectManager()->isModified());
            QCoreApplication::processEvents();
            QCOMPARE(shown(answers), QStringList());
            QCOMPARE(emulator->connectionCount(), connections);
        } else {
            QVERIFY2(took < BoundMs, qPrintable(QStringLiteral("ended %1 ms after the cancel").arg(took)));
            QCOMPARE(lists.uploads(), 0);
            QCOMPARE(page->projectManager()->isModified(), send);
            // The program connects anew by itself; the user heard, once, that the receiver did not answer the
            // cancel, that the connection went and that the lists did not move (the window adds nothing).
            QTRY_VERIFY_WITH_TIMEOUT(emulator->connectionCount() == connections + 1 && connected(), 20000);
            QTRY_VERIFY(!shown(answers).isEmpty());
            QCoreApplication::processEvents();
            const QString told = QStringLiteral("The device did not answer the cancel. The connection to the device "
                                                "was lost. The lists were not ") +
                                 (send ? "sent." : "downloaded.");
            QCOMPARE(shown(answers), QStringList{told});
        }

        // A download over the connection there now takes the receiver's list, without a word.
        if (page->projectManager()->isModified()) {
            // the changes not sent are let go, as the user answers when the list is replaced
            answers.boxAnswers = {QStringLiteral("&No")};
            QVERIFY(page->projectManager()->newProject(listOfType(QStringLiteral("tv"), 20)));
        }
        answers.boxTexts.clear();
        answers.boxAnswers.clear();
        lists.setDocument(QStringLiteral("tv"), listOfType(QStringLiteral("tv"), 30).toUtf8());
        QTRY_VERIFY_WITH_TIMEOUT(connected() && page->btnDownloadDeviceLists->isEnabled(), 20000);
        page->btnDownloadDeviceLists->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        QTRY_COMPARE(rows(page), 30);
        QCoreApplication::processEvents();
        QCOMPARE(shown(answers), QStringList());
        QCOMPARE(emulator->unknownCommands(), 0);
    }

private slots:
    void initTestCase() { registerStartUpServices(); }
    void init()
    {
        startAskingBeforeRestart();
        fired = false;
    }

    void cancelWhileTheReceiverIsSilent_data()
    {
        QTest::addColumn<Receiver>("how");
        QTest::addColumn<bool>("inWindow");
        // On the page alone: the worker's word reaches the page before the link's going (else after it).
        QTest::addColumn<bool>("errorFirst");
        for (bool inWindow : {false, true}) {
            const char *where = inWindow ? "window" : "page";
            QTest::addRow("download, silent, %s", where) << Receiver::SilentInDownload << inWindow << false;
            QTest::addRow("send, silent before its closing message, %s", where)
                << Receiver::SilentInSend << inWindow << false;
            QTest::addRow("send, closing message answered late, %s", where)
                << Receiver::LateAnswerToClose << inWindow << false;
        }
        QTest::newRow("download, silent, page, error heard first") << Receiver::SilentInDownload << false << true;
        QTest::newRow("send, silent before its closing message, page, error heard first")
            << Receiver::SilentInSend << false << true;
    }
    void cancelWhileTheReceiverIsSilent()
    {
        QFETCH(Receiver, how);
        QFETCH(bool, inWindow);
        QFETCH(bool, errorFirst);
        if (inWindow) {
            ConnectedWindow<TVListModule> program;
            emulator = &program.emulator;
            program.open();
            QVERIFY(program.page);
            cancelOnThePage(program.page, program.answers, *program.lists, how,
                            [&] { return program.receiver->isConnected(); });
            emulator->setReceiveHook({});
            return;
        }
        ReceiverEmulator receiverEmulator;
        emulator = &receiverEmulator;
        receiverEmulator.setDescription(fourListDescription());
        auto lists = ReceiverLists::install(receiverEmulator);
        QVERIFY(receiverEmulator.start());
        DVB24CommunicationManager device;
        device.setPort(receiverEmulator.port());
        ZBDeviceInfo info(QStringLiteral("Box"));
        auto page = showListPage<TVListModule>(&info, QString());
        page->setCommunicationManager(&device);
        StateRelay relay(&device, page.get());
        DialogAnswerer answers;
        device.connectToHost(receiverEmulator.host());
        QTRY_VERIFY_WITH_TIMEOUT(relay.delivered.contains("connected"), 10000);
        relay.held = errorFirst;
        cancelOnThePage(
            page.get(), answers, *lists, how, [&] { return relay.delivered.last() == QLatin1String("connected"); },
            [&] { relay.release(); });
        receiverEmulator.setReceiveHook({});
        device.requestInterrupt();
        device.requestClose();
    }
    // In the whole program, a download whose receiver has fallen silent, cancelled or not: the user's Disconnect
    // (agreed to) or closing the window (Yes to stop) ends it within the bound. After a Disconnect the user hears
    // that the transfer was stopped, connects again and downloads; a window closed goes, and so does the program.
    // The list on the page stays as it was.
    void disconnectOrCloseDuringTheWait_data()
    {
        QTest::addColumn<bool>("canceledFirst");
        QTest::addColumn<bool>("close"); // else Disconnect
        QTest::newRow("Cancel, then Disconnect") << true << false;
        QTest::newRow("Disconnect alone") << false << false;
        QTest::newRow("Cancel, then the window closed") << true << true;
        QTest::newRow("window closed alone") << false << true;
    }
    void disconnectOrCloseDuringTheWait()
    {
        QFETCH(bool, canceledFirst);
        QFETCH(bool, close);
        ConnectedWindow<TVListModule> w;
        emulator = &w.emulator;
        w.lists->setDocument(QStringLiteral("tv"), listOfType(QStringLiteral("tv"), 150).toUtf8());
        w.open();
        TVListModule *page = w.page;
        QVERIFY(page);
        QVERIFY(page->projectManager()->newProject(listOfType(QStringLiteral("tv"), 20)));
        QTRY_VERIFY_WITH_TIMEOUT(w.receiver->isConnected() && page->btnDownloadDeviceLists->isEnabled(), 20000);
        w.answers.boxTexts.clear();
        armReceiver(Receiver::SilentInDownload);
        page->btnDownloadDeviceLists->click();
        QTRY_VERIFY_WITH_TIMEOUT(fired.load() && w.emulator.isMuted(w.emulator.connectionCount()), 20000);
        QTest::qWait(300);
        QVERIFY(page->pendingTask());
        QElapsedTimer clock;
        clock.start();
        if (canceledFirst) {
            QTest::mouseClick(page->dataTransferPageButton, Qt::LeftButton);
            QTest::qWait(500);
            QVERIFY(page->pendingTask());
        }
        w.answers.boxAnswers = {QStringLiteral("&Yes")};
        if (close) {
            w.window->close();
            QTRY_VERIFY_WITH_TIMEOUT(!w.window->isVisible(), FaultMs);
        } else {
            QTest::mouseClick(w.window->form()->btnConnectDevice, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask() && w.receiver->isDisconnected(), FaultMs);
        }
        const qint64 took = clock.elapsed();
        qInfo("%s: ended %lld ms after the first step", QTest::currentDataTag(), took);
        QVERIFY2(took < BoundMs, qPrintable(QStringLiteral("ended %1 ms after the first step").arg(took)));
        QVERIFY(!page->pendingTask());
        if (!close) // a window that closes has let its list go
            QCOMPARE(rows(page), 20);
        QTRY_VERIFY(shown(w.answers).size() >= 2);
        QCoreApplication::processEvents();
        const QString asked =
            close ? QStringLiteral("Ombrelay is processing data. Do you want to stop and exit?")
                  : QStringLiteral("Ombrelay is processing data with EMULATOR (127.0.0.1). Do you want to stop it and "
                                   "disconnect?");
        // A Disconnect stops the transfer; a close stops it as a Cancel does, which the receiver did not answer.
        const QString download = QStringLiteral("download");
        QCOMPARE(shown(w.answers), (QStringList{asked, close ? ListsModuleShared::cancelUnansweredText(download)
                                                             : ListsModuleShared::stoppedTransferText(download)}));
        w.emulator.setReceiveHook({});
        if (close) {
            // The program's end does not wait on the silent receiver either.
            QElapsedTimer end;
            end.start();
            w.window.reset();
            QVERIFY2(end.elapsed() < BoundMs, qPrintable(QString::number(end.elapsed())));
            return;
        }
        // Connected again on the user's word, the download goes through without a word.
        w.answers.boxTexts.clear();
        QTest::mouseClick(w.window->form()->btnConnectDevice, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(w.receiver->isConnected() && page->btnDownloadDeviceLists->isEnabled(), 20000);
        page->btnDownloadDeviceLists->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        QTRY_COMPARE(rows(page), 150);
        QCoreApplication::processEvents();
        QCOMPARE(shown(w.answers), QStringList());
    }

    // In the whole program, the TV page asks the receiver for its satellites and the receiver falls silent in the
    // middle of its description: the Cancel on the transfer page ends the request within the bound, the user hears
    // that the receiver did not answer the cancel and that the connection went, and over the new connection the
    // same request takes the satellites.
    void satellitesRequestCancelledWhileSilent()
    {
        ConnectedWindow<TVListModule> w;
        emulator = &w.emulator;
        w.open(fourListDescriptionWithoutSatellites());
        TVListModule *page = w.page;
        QVERIFY(page);
        QVERIFY(page->projectManager()->newProject(listOfType(QStringLiteral("tv"), 20)));
        QCOMPARE(page->deviceInfo()->satelliteCount(), 0);
        const int connections = w.emulator.connectionCount();
        const QString ask = QStringLiteral(
            "Ombrelay has no information about satellites available. To download it please make sure that device is "
            "connected and doesn't record any content. Do you want to download now?");
        w.answers.boxTexts.clear();
        w.answers.boxAnswers = {QStringLiteral("&Yes")};
        // two chunks of the description, then nothing more
        fired = false;
        const qsizetype armedAt = w.emulator.received().size();
        w.emulator.setReceiveHook([this, armedAt](const QByteArray &soFar) {
            if (!fired.load() && soFar.indexOf(char(0x26), armedAt) >= 0) {
                fired = true;
                emulator->muteOpenConnectionsAfter(2 * (12 + emulator->chunkSize()));
            }
        });
        QVERIFY(QMetaObject::invokeMethod(page, "onPredefinedSatellitesButtonClicked"));
        QTRY_VERIFY_WITH_TIMEOUT(w.emulator.isMuted(w.emulator.connectionCount()), 20000);
        QTRY_COMPARE(page->stackedWidget->currentIndex(), int(TVListModule::PageTransfer));
        QTest::qWait(300);
        QVERIFY(page->pendingTask());
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(page->dataTransferPageButton, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), FaultMs);
        const qint64 took = clock.elapsed();
        qInfo("the satellites request ended %lld ms after the cancel", took);
        QVERIFY2(took < BoundMs, qPrintable(QStringLiteral("ended %1 ms after the cancel").arg(took)));
        QTRY_VERIFY_WITH_TIMEOUT(w.emulator.connectionCount() == connections + 1 && w.receiver->isConnected(), 20000);
        QTRY_VERIFY(shown(w.answers).size() >= 2);
        QCoreApplication::processEvents();
        QCOMPARE(shown(w.answers),
                 (QStringList{ask, QStringLiteral("The device did not answer the cancel. The connection to the device "
                                                  "was lost.")}));
        QCOMPARE(page->deviceInfo()->satelliteCount(), 0);
        w.emulator.setReceiveHook({});

        // Over the new connection the receiver answers with its satellites.
        w.satellitesTaken(ask);
        QCOMPARE(w.emulator.connectionCount(), connections + 1);
    }

    // The words for a cancel the receiver did not answer read in the user's language.
    void cancelUnansweredTextTranslated()
    {
        for (const char *language : {"de_DE", "pl_PL"}) {
            QTranslator translator;
            QVERIFY(loadTranslator(&translator, QString::fromLatin1(language)));
            for (const char *mode : {"send", "download"}) {
                const QString text = ListsModuleShared::cancelUnansweredText(QString::fromLatin1(mode));
                for (const char *english : {"did not answer", "connection", "lists were"})
                    QVERIFY2(!text.contains(QLatin1String(english)), qPrintable(text));
                QCOMPARE(text.count(u'.'), 3);
            }
            loadTranslator(&translator, QStringLiteral("en_EN"));
        }
    }
};

OMBRELAY_TEST_MAIN(TestListSilentCancel)
#include "tst_listsilentcancel.moc"
