#include "receiverhold.h"
#include "standinwindow.h"
#include "transferlostsupport.h"

#include "base/translatorloader.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QTranslator>

namespace {

const QString stopQuestion = QStringLiteral("Ombrelay is processing data. Do you want to stop and exit?");

} // namespace

// Closing the program while a list page sends or downloads its lists asks first, as a disconnect does and as the
// media page does: No keeps the window and lets the transfer run to its end; Yes stops the transfer, and the window
// closes once it has ended (the receiver keeps the lists it had).
class TestCloseDuringTransfer : public QObject
{
    Q_OBJECT

    static void addRows()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("stop");
        forEachTypeAndMode([](const char *type, const char *mode) {
            QTest::addRow("%s %s, No", type, mode) << type << mode << false;
            QTest::addRow("%s %s, Yes", type, mode) << type << mode << true;
        });
    }

    // After the answer to the question: the transfer ran to its end, or was stopped and the window asked to close.
    template<class Page>
    static void checkEnding(Page *page, ReceiverLists &lists, const QString &type, const QString &mode, bool stop)
    {
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        const bool send = mode == QLatin1String("send");
        QCOMPARE(lists.uploads(), send && !stop ? 1 : 0);
        if (stop) // the window or page may have closed its list already
            QCOMPARE(lists.document(type), listOfType(type, 30).toUtf8());
        else
            QCOMPARE(rows(page), send ? 20 : 30);
    }

    template<class Page> void closeInTheWindow(const QString &type, const QString &mode, bool stop)
    {
        ConnectedWindow<Page> w;
        w.lists->setDocument(type, listOfType(type, 30).toUtf8());
        ReceiverHold hold(w.emulator);
        w.open();
        Page *page = w.page;
        QVERIFY(page);
        QVERIFY(page->projectManager()->newProject(listOfType(type, 20)));
        if (mode == QLatin1String("send"))
            editFirst(page, type);
        QTRY_VERIFY_WITH_TIMEOUT(button(page, mode)->isEnabled(), 10000);
        w.answers.boxTexts.clear();
        hold.arm();
        button(page, mode)->click();
        QTRY_VERIFY_WITH_TIMEOUT(hold.isHolding() && page->pendingTask(), 10000);

        // unsaved changes at the close that follows are let go
        w.answers.boxAnswers = {stop ? QStringLiteral("&Yes") : QStringLiteral("&No"), QStringLiteral("&No")};
        QVERIFY(!w.window->close());
        QCOMPARE(shown(w.answers), QStringList{stopQuestion});
        QVERIFY(w.window->isVisible());
        QVERIFY(page->pendingTask());
        hold.letGo();
        checkEnding(page, *w.lists, type, mode, stop);
        if (stop) {
            QTRY_VERIFY(!w.window->isVisible());
        } else {
            QVERIFY(w.window->isVisible());
            QCOMPARE(shown(w.answers), QStringList{stopQuestion});
        }
    }

    template<class Page> void closeThePage(const QString &type, const QString &mode, bool stop)
    {
        ReceiverEmulator emulator;
        emulator.setDescription(fourListDescription());
        auto lists = ReceiverLists::install(emulator);
        lists->setDocument(type, listOfType(type, 30).toUtf8());
        ReceiverHold hold(emulator);
        QVERIFY(emulator.start());
        DVB24CommunicationManager manager;
        manager.setPort(emulator.port());
        ZBDeviceInfo info(QStringLiteral("Box"));
        StandInWindow window;
        auto page = std::make_unique<Page>(&window);
        page->setCommunicationManager(&manager);
        page->setDeviceInfo(&info);
        connect(&manager, &DeviceCommunicationManager::stateChanged, page.get(), &Page::onDeviceStateChange);
        window.resize(1100, 760);
        window.show();
        page->onShow();
        manager.connectToHost(emulator.host());
        DialogAnswerer answers;
        QVERIFY(page->projectManager()->newProject(listOfType(type, 20)));
        if (mode == QLatin1String("send"))
            editFirst(page.get(), type);
        QTRY_VERIFY_WITH_TIMEOUT(button(page.get(), mode)->isEnabled(), 10000);
        hold.arm();
        button(page.get(), mode)->click();
        QTRY_VERIFY_WITH_TIMEOUT(hold.isHolding() && page->pendingTask(), 10000);

        answers.boxTexts.clear();
        answers.boxAnswers = {stop ? QStringLiteral("&Yes") : QStringLiteral("&No")};
        QCloseEvent close;
        QCoreApplication::sendEvent(page.get(), &close);
        QVERIFY(!close.isAccepted());
        QCOMPARE(shown(answers), QStringList{stopQuestion});
        QVERIFY(page->pendingTask());
        // A second close while the answer stands asks nothing again.
        if (stop) {
            QCloseEvent again;
            QCoreApplication::sendEvent(page.get(), &again);
            QVERIFY(!again.isAccepted());
            QCOMPARE(shown(answers).size(), 1);
        }
        hold.letGo();
        checkEnding(page.get(), *lists, type, mode, stop);
        QTRY_COMPARE(window.closes, stop ? 1 : 0);
        QCOMPARE(shown(answers).size(), 1);
        manager.requestClose();
    }

    // The stop question left open until the send has ended underneath (cut by the receiver when cut), then Yes:
    // the close goes on, with the unsaved-changes question where the list was not sent (answered No), and the
    // page closes, or the window with it.
    template<class Page> void lateYes(const QString &type, bool inWindow, bool cut)
    {
        ConnectedWindow<Page> w;
        w.lists->setDocument(type, listOfType(type, 30).toUtf8());
        ReceiverHold hold(w.emulator);
        StandInWindow standIn;
        std::unique_ptr<Page> alone;
        DVB24CommunicationManager manager;
        ZBDeviceInfo info(QStringLiteral("Box"));
        Page *page = nullptr;
        if (inWindow) {
            w.open();
            page = w.page;
        } else {
            w.emulator.setDescription(fourListDescription());
            QVERIFY(w.emulator.start());
            manager.setPort(w.emulator.port());
            alone = std::make_unique<Page>(&standIn);
            page = alone.get();
            page->setCommunicationManager(&manager);
            page->setDeviceInfo(&info);
            connect(&manager, &DeviceCommunicationManager::stateChanged, page, &Page::onDeviceStateChange);
            standIn.resize(1100, 760);
            standIn.show();
            page->onShow();
            manager.connectToHost(w.emulator.host());
        }
        QVERIFY(page);
        QVERIFY(page->projectManager()->newProject(listOfType(type, 20)));
        editFirst(page, type);
        QTRY_VERIFY_WITH_TIMEOUT(page->btnUploadDeviceLists->isEnabled(), 10000);
        if (cut)
            w.lists->setCutTransferAfter(1);
        hold.arm();
        page->btnUploadDeviceLists->click();
        QTRY_VERIFY_WITH_TIMEOUT(hold.isHolding() && page->pendingTask(), 10000);

        // The stop question waits until the send has ended; every other box is answered No.
        QStringList texts;
        MessageBox::setAnswerHook([&](QDialog *box) {
            const QString text = static_cast<QMessageBox *>(box)->text();
            texts << text;
            if (text == stopQuestion) {
                hold.letGo();
                QVERIFY(QTest::qWaitFor([&] { return !page->pendingTask(); }, 30000));
                QVERIFY(MessageBox::clickButton(box, QStringLiteral("&Yes")));
            } else if (!MessageBox::clickButton(box, QStringLiteral("&No"))) {
                box->reject();
            }
        });
        if (inWindow) {
            w.window->close();
            QTRY_VERIFY_WITH_TIMEOUT(!w.window->isVisible(), 10000);
        } else {
            QCloseEvent close;
            QCoreApplication::sendEvent(page, &close);
            QVERIFY(close.isAccepted());
            QCOMPARE(standIn.closes, 0); // the page closed with this close, no second one asked for
            manager.requestClose();
        }
        QVERIFY(!page->pendingTask());
        QVERIFY2(texts.first() == stopQuestion, qPrintable(texts.join(" | ")));
        QCOMPARE(texts.count(stopQuestion), 1);
        QCOMPARE(w.lists->uploads(), cut ? 0 : 1);
        QCOMPARE(texts.filter(QStringLiteral("has been modified")).size(), cut ? 1 : 0);
        if (cut)
            QVERIFY2(texts.contains(ListTransfer::lostConnectionText(QStringLiteral("send"))),
                     qPrintable(texts.join(" | ")));
        else
            QCOMPARE(texts, QStringList{stopQuestion});
        MessageBox::setAnswerHook({});
    }

private slots:
    void initTestCase() { registerStartUpServices(); }
    void init() { startAskingBeforeRestart(); }

    void closeInTheWindowAsks_data() { addRows(); }
    void closeInTheWindowAsks()
    {
        QFETCH(QString, type);
        QFETCH(QString, mode);
        QFETCH(bool, stop);
        forPageOfType(type,
                      [&](auto *page) { closeInTheWindow<std::remove_pointer_t<decltype(page)>>(type, mode, stop); });
    }

    void closeOfThePageAsks_data() { addRows(); }
    void closeOfThePageAsks()
    {
        QFETCH(QString, type);
        QFETCH(QString, mode);
        QFETCH(bool, stop);
        forPageOfType(type, [&](auto *page) { closeThePage<std::remove_pointer_t<decltype(page)>>(type, mode, stop); });
    }

    // Yes given to the stop question only after the send ended underneath goes on with the close.
    void lateYesGoesOnWithTheClose_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("inWindow");
        QTest::addColumn<bool>("cut");
        for (const char *type : {"tv", "radio", "link"}) {
            QTest::addRow("%s, page, sent", type) << type << false << false;
            QTest::addRow("%s, window, sent", type) << type << true << false;
        }
        QTest::newRow("tv, page, cut: unsaved changes") << "tv" << false << true;
        QTest::newRow("tv, window, cut: unsaved changes") << "tv" << true << true;
    }
    void lateYesGoesOnWithTheClose()
    {
        QFETCH(QString, type);
        QFETCH(bool, inWindow);
        QFETCH(bool, cut);
        forPageOfType(type, [&](auto *page) { lateYes<std::remove_pointer_t<decltype(page)>>(type, inWindow, cut); });
    }

    // The question reads in the user's language.
    void questionTranslated()
    {
        for (const char *language : {"de_DE", "pl_PL"}) {
            QTranslator translator;
            QVERIFY(loadTranslator(&translator, QString::fromLatin1(language)));
            const QString text = ListsModuleShared::tr("Ombrelay is processing data. Do you want to stop and exit?");
            QVERIFY2(text != stopQuestion && !text.isEmpty(), language);
            loadTranslator(&translator, QStringLiteral("en_EN"));
        }
    }
};

OMBRELAY_TEST_MAIN(TestCloseDuringTransfer)
#include "tst_closeduringtransfer.moc"
