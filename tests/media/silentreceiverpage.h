#pragma once

#include "mediareceiver.h"
#include "savedreceiver.h"
#include "standinwindow.h"
#include "testfiles.h"

#include "app/mainwindow.h"
#include "base/settings.h"
#include "device/protocol/dvb24communicationprotocolmill.h"
#include "device/transfers/transferlink.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "media/mediaexplorermodule.h"
#include "media/pcfilesystemmodel.h"
#include "media/zbdevicefilesystemmodel.h"
#include "widgets/messagebox.h"

#include <QClipboard>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <memory>

// What the tests of a receiver that falls silent in the middle of a media job share: the media explorer page
// alone (beside a stand-in for the main window) or the receiver's own page in the real main window, the
// emulator as the receiver, the PC a temporary folder, the page's boxes answered through the message-box seam,
// and the receiver made to fall silent mid-job and stay silent whatever the PC sends (its Cancel too).
class SilentReceiverPage : public QObject
{
protected:
    // Far above what a working build needs (the after-cancel wait of 3 s and a little), far below the fault (the
    // inactivity limit of a transfer, 30 s, and the connection's own waits after it).
    static constexpr int BoundMs = 8000;
    // Long enough for a fault to show how long the job really took.
    static constexpr int FaultMs = 70000;

    std::unique_ptr<MediaReceiver> r;
    std::unique_ptr<QTemporaryDir> pc;
    std::unique_ptr<StandInWindow> standIn;
    std::unique_ptr<MediaExplorerModule> alonePage;
    std::unique_ptr<MainWindow> window;
    MediaExplorerModule *page = nullptr;
    ZBDevice *receiver = nullptr; // in the window
    DVB24CommunicationManager *manager = nullptr;
    QStringList boxTexts, boxAnswers;
    QElapsedTimer clock;

    static QString unanswered() { return TransferLink::cancelUnansweredText(); }
    static QString lostText() { return QStringLiteral("The connection to EMULATOR (127.0.0.1) was lost."); }

    // Each box has its text kept and the next of boxAnswers pressed, else it is closed.
    void answer(QDialog *box)
    {
        auto *message = qobject_cast<QMessageBox *>(box);
        boxTexts << (message ? message->text() : QString());
        if (boxAnswers.isEmpty() || !MessageBox::clickButton(box, boxAnswers.takeFirst()))
            box->reject();
    }

    // A receiver with the files the test put into it (relative to its drives, see MediaReceiver::file).
    void startReceiver()
    {
        r = std::make_unique<MediaReceiver>();
        pc = std::make_unique<QTemporaryDir>();
    }
    void openPage(bool inWindow)
    {
        boxTexts.clear();
        boxAnswers.clear();
        QGuiApplication::clipboard()->clear();
        MessageBox::setAnswerHook([this](QDialog *box) { answer(box); });
        inWindow ? openInTheWindow() : openAlone();
        QVERIFY(page);
        QTRY_COMPARE_WITH_TIMEOUT(page->deviceStackedWidget->currentIndex(), 0, 10000);
        QTRY_VERIFY(page->deviceModel()->isInitialized() && !page->deviceModel()->isFetching());
    }
    void openAlone()
    {
        QVERIFY(r->start());
        manager = r->manager.get();
        standIn = std::make_unique<StandInWindow>();
        alonePage = std::make_unique<MediaExplorerModule>(standIn.get());
        page = alonePage.get();
        page->setCommunicationManager(manager);
        connect(manager, &DeviceCommunicationManager::stateChanged, page, &MediaExplorerModule::onDeviceStateChange);
        page->onDeviceStateChange(QStringLiteral("connected"));
        standIn->resize(1000, 700);
        standIn->show();
        page->show();
        page->onShow();
    }
    // The whole program, with the emulator saved as its one receiver from an earlier start.
    void openInTheWindow()
    {
        r->transfers = TransferCommands::install(r->emulator, r->root.path());
        r->media = MediaCommands::install(r->emulator, r->root.path());
        QVERIFY(r->emulator.start());
        saveAsTheWindowsReceiver(r->emulator);
        window = std::make_unique<MainWindow>();
        window->resize(1280, 800);
        window->show();
        QCOMPARE(window->collection()->count(), 1);
        receiver = window->collection()->at(0);
        manager = qobject_cast<DVB24CommunicationManager *>(receiver->communicationManager());
        QVERIFY(manager);
        QTRY_VERIFY_WITH_TIMEOUT(receiver->isConnected(), 10000);
        page = qobject_cast<MediaExplorerModule *>(receiver->module(OmbrelayModule::TypeMediaExplorer));
        QVERIFY(page);
        window->setCurrentModule(page, true);
    }
    void closeAll()
    {
        if (r)
            r->emulator.setReceiveHook({});
        if (page && (alonePage || window))
            QTRY_VERIFY_WITH_TIMEOUT(!page->isBusy() && !page->deviceModel()->isFetching(), 20000);
        if (manager && alonePage) {
            disconnect(manager, nullptr, this, nullptr);
            manager->requestInterrupt();
            manager->requestClose();
        }
        alonePage.reset();
        standIn.reset();
        window.reset();
        if (r && r->manager)
            r->stop();
        r.reset();
        pc.reset();
        page = nullptr;
        receiver = nullptr;
        manager = nullptr;
        MessageBox::setAnswerHook({});
        QGuiApplication::clipboard()->clear();
        Settings::setString(Settings::OmbrelayDeviceList, QString());
    }

    // The receiver falls silent in the job that names marker (a file's or a recording's name): a download once
    // it has sent `sent` bytes more, an upload once `taken` bytes more of the PC were
    // recorded (of an upload's packets, the receiver records the first byte). It stays silent on
    // that connection whatever the PC sends; a connection made later answers as ever.
    void silenceIn(const QByteArray &marker, qint64 sent, qint64 taken = -1)
    {
        const qsizetype from = r->emulator.received().size();
        auto markedAt = std::make_shared<std::atomic<qsizetype>>(-1);
        auto fired = std::make_shared<std::atomic_bool>(false);
        ReceiverEmulator *emulator = &r->emulator;
        emulator->setReceiveHook([=](const QByteArray &soFar) {
            if (fired->load())
                return;
            if (markedAt->load() < 0) {
                const qsizetype at = soFar.indexOf(marker, from);
                if (at < 0)
                    return;
                markedAt->store(at);
            }
            if (taken < 0) {
                fired->store(true);
                emulator->muteOpenConnectionsAfter(sent);
            } else if (soFar.size() - markedAt->load() >= taken) {
                fired->store(true);
                emulator->muteOpenConnections();
            }
        });
    }
    // An upload of the file name falls silent once the receiver has taken `packets` of its packets (it records the
    // name, the packet size of four bytes, then the first byte of each packet).
    void silenceInUpload(const QByteArray &name, int packets) { silenceIn(name, -1, name.size() + 4 + packets); }
    bool silent() const { return r->emulator.isMuted(r->emulator.connectionCount()); }

    // The job under way has moved bytes and the receiver has fallen silent; then the PC waits on it a moment.
    void waitUntilSilent()
    {
        QTRY_VERIFY_WITH_TIMEOUT(silent(), 20000);
        QVERIFY(page->isBusy());
        QVERIFY(page->btnCancelTransfer->isVisible());
        // the PC is inside its wait for the silent receiver, which the Cancel must cut short
        QTest::qWait(300);
        QVERIFY(page->isBusy());
    }
    // The Cancel, as the user presses it: the clock of the bound starts.
    void pressCancel()
    {
        QVERIFY(page->btnCancelTransfer->isVisible() && page->btnCancelTransfer->isEnabled());
        clock.start();
        QTest::mouseClick(page->btnCancelTransfer, Qt::LeftButton);
    }
    // The job has ended within the bound of the clock's start, and says how long it took.
    void checkEndedWithinBound(const char *what)
    {
        QTRY_VERIFY_WITH_TIMEOUT(!page->isBusy(), FaultMs);
        const qint64 took = clock.elapsed();
        qInfo("%s: %s ended %lld ms after the cancel", QTest::currentDataTag(), what, took);
        QVERIFY2(took < BoundMs, qPrintable(QStringLiteral("%1 ended %2 ms after the cancel").arg(what).arg(took)));
        QVERIFY(page->frStatusBar->isHidden());
    }
    // The connection given up has been made anew.
    void waitForTheNewConnection(int connectionsBefore)
    {
        QTRY_VERIFY_WITH_TIMEOUT(r->emulator.connectionCount() == connectionsBefore + 1, 20000);
        if (receiver)
            QTRY_VERIFY_WITH_TIMEOUT(receiver->isConnected(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(page->deviceModel()->isInitialized() && !page->deviceModel()->isFetching(), 20000);
        QTRY_COMPARE(page->deviceStackedWidget->currentIndex(), 0);
    }

    QModelIndex device(const QString &path) // "hdd/Movies": each level listed as needed
    {
        ZBDeviceFileSystemModel *m = page->deviceModel();
        QModelIndex at;
        for (const QString &name : path.split(u'/')) {
            if (m->canFetchMore(at))
                m->fetchMore(at);
            if (!QTest::qWaitFor([&] { return !m->isFetching() && m->rowCount(at) > 0; }, 10000))
                return {};
            QModelIndex found;
            for (int i = 0; i < m->rowCount(at); ++i)
                if (m->index(i, 0, at).data().toString() == name)
                    found = m->index(i, 0, at);
            at = found;
        }
        return at;
    }
    QModelIndex pcIndex(const QString &path) { return page->pcModel()->index(path); }
    static void select(QTreeView *view, const QModelIndexList &rows)
    {
        view->setFocus();
        view->selectionModel()->clearSelection();
        for (const QModelIndex &row : rows)
            view->selectionModel()->select(row, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // Copy (or Cut) of rows in one pane and Paste onto target in the other, through the page's buttons.
    void startPaste(QTreeView *from, const QModelIndexList &rows, QTreeView *to, const QModelIndex &target, bool cut)
    {
        QVERIFY(!rows.isEmpty() && target.isValid());
        for (const QModelIndex &row : rows)
            QVERIFY(row.isValid());
        select(from, rows);
        QAbstractButton *take = cut ? page->btnCut : page->btnCopy;
        QTRY_VERIFY(take->isEnabled());
        QTest::mouseClick(take, Qt::LeftButton);
        select(to, {target});
        QTRY_VERIFY(page->btnPaste->isEnabled());
        QTest::mouseClick(page->btnPaste, Qt::LeftButton);
    }

    // After the job: Refresh lists the receiver folder again over the new connection, and a copy of a file to the
    // PC goes through without a word.
    void pageWorks(const QString &receiverFolder, const QString &receiverFile, const QString &pcFolder,
                   const QByteArray &bytes)
    {
        const QModelIndex folder = device(receiverFolder);
        QVERIFY(folder.isValid());
        select(page->tvZbDeviceFolders, {folder});
        QTRY_VERIFY(page->btnRefresh->isEnabled());
        QString asked = receiverFolder;
        asked.replace(u'/', u'\\');
        const int before = r->media->listingsOf(asked);
        QTest::mouseClick(page->btnRefresh, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(r->media->listingsOf(asked) == before + 1, 10000);
        QTRY_VERIFY(!page->deviceModel()->isFetching());

        const QStringList said = boxTexts;
        QVERIFY(QDir().mkpath(pcFolder));
        QTRY_VERIFY(pcIndex(pcFolder).isValid());
        const QString name = receiverFile.section(u'/', -1);
        QVERIFY(QFile::remove(pcFolder + u'/' + name) || !QFileInfo::exists(pcFolder + u'/' + name));
        startPaste(page->tvZbDeviceFolders, {device(receiverFile)}, page->tvPcFolders, pcIndex(pcFolder), false);
        QTRY_VERIFY_WITH_TIMEOUT(!page->isBusy(), 20000);
        QCOMPARE(read(pcFolder + u'/' + name), bytes);
        QCOMPARE(boxTexts, said);
    }

    static QByteArray read(const QString &path) { return TestFiles::read(path); }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QCOMPARE(TestFiles::read(TestFiles::write(path, bytes)), bytes);
    }
    static QStringList tree(const QString &path) { return TestFiles::tree(path); }
};
