#include "testmain.h"

#include "emulatorlink.h"

#include "device/transfers/devicefilesystemitem.h"
#include "device/transfers/filetransfer.h"
#include "device/transfers/receiverfoldercommands.h"
#include "device/transfers/transferwire.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <memory>

namespace {
// The exchanges of the folder commands and the file transfers.
enum class Exchange { Listing, Create, Delete, RecordingDelete, Download, Upload };

// The bytes the emulator has recorded of each message the PC sends in an exchange, summed: the cancel "while
// waiting" is set as the receiver has read message k and before it answers. Upload packets are recorded by
// their marker alone; the packet data size goes with the first packet.
QList<int> receivedEnds(Exchange exchange)
{
    switch (exchange) {
    case Exchange::Listing:
        return {3, 4, 5}; // [03][levels], "v", "a"
    case Exchange::Create:
        return {3, 4, 5, 8}; // [07][levels], "v", "a", "new"
    case Exchange::Delete:
        return {3, 4, 5, 7}; // [08][levels], "v", "a", "d1"
    case Exchange::RecordingDelete:
        return {3}; // [17][id]
    case Exchange::Download:
        return {11, 12, 13, 18}; // [04][levels][0], "v", "a", "f.bin"
    case Exchange::Upload:
        return {11, 12, 13, 27, 32, 33}; // [0A][levels][0], "v", "a", size and "up.bin", two packets
    }
    return {};
}

// How many messages the PC hands to the socket in the exchange without a cancel (the upload's packet data size
// is one of them).
int writes(Exchange exchange)
{
    switch (exchange) {
    case Exchange::Listing:
        return 3;
    case Exchange::Create:
    case Exchange::Delete:
        return 4;
    case Exchange::RecordingDelete:
        return 1;
    case Exchange::Download:
        return 4;
    case Exchange::Upload:
        return 7;
    }
    return 0;
}

quint8 commandOf(Exchange exchange)
{
    switch (exchange) {
    case Exchange::Listing:
        return 0x03;
    case Exchange::Create:
        return 0x07;
    case Exchange::Delete:
        return 0x08;
    case Exchange::RecordingDelete:
        return 0x17;
    case Exchange::Download:
        return 0x04;
    case Exchange::Upload:
        return 0x0A;
    }
    return 0;
}
} // namespace

Q_DECLARE_METATYPE(Exchange)

// A Cancel never leaves an exchange with the receiver half done: the cancel is set at every message the PC writes,
// as it is written and while the PC waits for its answer, with the receiver answering at once and late. Afterwards
// the same connection takes a listing and the same exchange again, the receiver read no byte as a stray command,
// and nothing is left for the PC to read.
class TestCancelWire : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<EmulatorLink> e;
    static constexpr int LateMs = 300;
    static constexpr int FileSize = 2500;     // three download blocks of 1000
    static constexpr int UploadSize = 100000; // two upload packets

    // Runs the exchange once; the outcome of a file transfer, else Completed when the command did its work.
    FileTransfer::Outcome run(Exchange exchange)
    {
        ReceiverFolderCommands commands(*e->link);
        switch (exchange) {
        case Exchange::Listing: {
            bool listed = false;
            std::unique_ptr<QList<DeviceFileSystemItem *>> items(commands.getFolder(QStringLiteral("v\\a"), &listed));
            const bool whole = listed && items && !items->isEmpty();
            if (items)
                qDeleteAll(*items);
            return whole ? FileTransfer::Completed : FileTransfer::Failed;
        }
        case Exchange::Create:
            return commands.createFolder(QStringLiteral("v\\a\\new")) ? FileTransfer::Completed : FileTransfer::Failed;
        case Exchange::Delete:
            e->receiverFile(QStringLiteral("v/a/d1"), "d");
            return commands.deletePath(QStringLiteral("v\\a\\d1")) == 1 ? FileTransfer::Completed
                                                                        : FileTransfer::Failed;
        case Exchange::RecordingDelete:
            return commands.deleteRecording(7) ? FileTransfer::Completed : FileTransfer::Failed;
        case Exchange::Download:
            return FileTransfer(*e->link).download(QStringLiteral("v\\a\\f.bin"), e->pcPath(QStringLiteral("f.bin")),
                                                   true, false, FileSize, nullptr);
        case Exchange::Upload:
            return FileTransfer(*e->link).upload(e->pcPath(QStringLiteral("up.bin")), QStringLiteral("v/a/up.bin"));
        }
        return FileTransfer::Failed;
    }

    // The exchange's work as the receiver and the PC hold it after a run that was not cancelled.
    void checkDone(Exchange exchange)
    {
        switch (exchange) {
        case Exchange::Create:
            QVERIFY(QFileInfo(e->receiverPath(QStringLiteral("v/a/new"))).isDir());
            break;
        case Exchange::Delete:
            QVERIFY(!QFileInfo::exists(e->receiverPath(QStringLiteral("v/a/d1"))));
            break;
        case Exchange::RecordingDelete:
            QCOMPARE(e->commands->lastDeletedRecording(), 7);
            break;
        case Exchange::Download:
            QCOMPARE(EmulatorLink::read(e->pcPath(QStringLiteral("f.bin"))), EmulatorLink::pattern(FileSize));
            break;
        case Exchange::Upload:
            QCOMPARE(EmulatorLink::read(e->receiverPath(QStringLiteral("v/a/up.bin"))),
                     EmulatorLink::pattern(UploadSize, 3));
            break;
        case Exchange::Listing:
            break;
        }
    }

    static void addRows(Exchange exchange, const char *name)
    {
        for (const int late : {0, LateMs}) {
            const char *answer = late ? "late" : "at once";
            for (int k = 0; k < writes(exchange); ++k)
                QTest::addRow("%s, as message %d is written, answer %s", name, k, answer)
                    << exchange << true << k << late;
            for (int k = 0; k < receivedEnds(exchange).size(); ++k)
                QTest::addRow("%s, waiting after message %d, answer %s", name, k, answer)
                    << exchange << false << k << late;
        }
    }

private slots:
    void init()
    {
        e = std::make_unique<EmulatorLink>();
        QVERIFY(e->open(2000));
        ReceiverFolderCommands::listingWaitMs = 2000;
        e->commands->blockSize = 1000;
        // A download ends with the whole closing block, as receivers end it.
        e->commands->fullClosingBlock = true;
        e->receiverFile(QStringLiteral("v/a/f.bin"), EmulatorLink::pattern(FileSize));
        e->pcFile(QStringLiteral("up.bin"), EmulatorLink::pattern(UploadSize, 3));
    }
    void cleanup()
    {
        e->emulator.setReceiveHook({});
        e->socket.beforeWrite = {};
        e.reset();
        ReceiverFolderCommands::listingWaitMs = 15000;
    }

    void cancelAtEveryMessage_data()
    {
        QTest::addColumn<Exchange>("exchange");
        QTest::addColumn<bool>("asWritten"); // else while the PC waits for the answer to that message
        QTest::addColumn<int>("message");
        QTest::addColumn<int>("lateMs");
        addRows(Exchange::Listing, "listing");
        addRows(Exchange::Create, "create");
        addRows(Exchange::Delete, "delete");
        addRows(Exchange::RecordingDelete, "recording delete");
        addRows(Exchange::Download, "download");
        addRows(Exchange::Upload, "upload");
    }
    void cancelAtEveryMessage()
    {
        QFETCH(Exchange, exchange);
        QFETCH(bool, asWritten);
        QFETCH(int, message);
        QFETCH(int, lateMs);
        e->emulator.clearCommandsTaken();
        e->emulator.clearReceived();
        e->emulator.setAnswerDelayMs(lateMs);
        if (exchange == Exchange::Delete)
            e->receiverFile(QStringLiteral("v/a/d1"), "d");
        int written = 0;
        if (asWritten) {
            e->socket.beforeWrite = [&](const QByteArray &) {
                if (written++ == message)
                    e->interrupt = true;
            };
        } else {
            const int end = receivedEnds(exchange).at(message);
            // Once, as the receiver has read that message: later reads must not cancel again.
            e->emulator.setReceiveHook(
                [this, end, once = std::make_shared<std::atomic_bool>(false)](const QByteArray &soFar) {
                    if (soFar.size() >= end && !once->exchange(true))
                        e->interrupt = true;
                });
        }
        const FileTransfer::Outcome outcome = run(exchange);
        e->socket.beforeWrite = {};
        e->emulator.setReceiveHook({});
        e->emulator.setAnswerDelayMs(0);
        QVERIFY(e->errors.isEmpty());
        QVERIFY(e->link->isOpen());
        if (exchange == Exchange::Download || exchange == Exchange::Upload) {
            // A cancelled transfer says so, whatever the receiver had done by then, and clears the flag.
            QCOMPARE(outcome, FileTransfer::Canceled);
            QVERIFY(!e->interrupt);
            QVERIFY(!QFileInfo::exists(e->pcPath(QStringLiteral("f.bin"))));
        } else {
            // The command was finished in step and did its work; the cancel is left for the caller, which stops
            // before its next exchange.
            QCOMPARE(outcome, FileTransfer::Completed);
            checkDone(exchange);
            QVERIFY(e->interrupt);
            e->interrupt = false;
        }
        if (exchange == Exchange::Upload) {
            // The receiver that took the last packet keeps the whole file and reads no cancel packet after it;
            // cancelled earlier, the cancel packet took the next packet's place and the receiver dropped the file.
            const bool last = message == writes(exchange) - 1 || (!asWritten && message == 5);
            if (last)
                QCOMPARE(EmulatorLink::read(e->receiverPath(QStringLiteral("v/a/up.bin"))),
                         EmulatorLink::pattern(UploadSize, 3));
            QTRY_COMPARE(e->commands->cancelBytesSeen(), last ? 0 : 1);
        }
        // In step: a listing and the same exchange again on the same connection.
        bool listed = false;
        std::unique_ptr<QList<DeviceFileSystemItem *>> items(
            ReceiverFolderCommands(*e->link).getFolder(QStringLiteral("v\\a"), &listed));
        QVERIFY(listed);
        QVERIFY(items);
        qDeleteAll(*items);
        QDir(e->receiverPath(QStringLiteral("v/a/new"))).removeRecursively();
        QFile::remove(e->receiverPath(QStringLiteral("v/a/up.bin")));
        QCOMPARE(run(exchange), FileTransfer::Completed);
        checkDone(exchange);
        QVERIFY(e->errors.isEmpty());
        // The receiver took exactly the commands the PC meant (a cancel byte that reached it after the last
        // block of a download is one the PC meant), and nothing is left for the PC to read.
        QList<quint8> taken = e->emulator.commandsTaken();
        taken.removeAll(quint8(TransferWire::CancelByte));
        QCOMPARE(taken, (QList<quint8>{commandOf(exchange), 0x03, commandOf(exchange)}));
        QCOMPARE(e->emulator.unknownCommands(), 0);
        QVERIFY(!e->socket.waitForReadyRead(100));
        QCOMPARE(e->socket.bytesAvailable(), 0);
        QCOMPARE(e->emulator.connectionCount(), 1);
    }

    // A receiver that does not answer within the waits after a cancel: the connection is given up, never used
    // out of step, and a file transfer says the cancel went unanswered and ends cancelled.
    void silentAfterCancel_data()
    {
        QTest::addColumn<Exchange>("exchange");
        QTest::newRow("listing") << Exchange::Listing;
        QTest::newRow("create") << Exchange::Create;
        QTest::newRow("delete") << Exchange::Delete;
        QTest::newRow("recording delete") << Exchange::RecordingDelete;
        QTest::newRow("download") << Exchange::Download;
        QTest::newRow("upload") << Exchange::Upload;
    }
    void silentAfterCancel()
    {
        QFETCH(Exchange, exchange);
        e->link->setInactivityLimit(300);
        ReceiverFolderCommands::listingWaitMs = 300;
        // The receiver answers the first message only after the PC's waits have passed.
        e->emulator.setAnswerDelayMs(1500);
        e->emulator.setReceiveHook([this, once = std::make_shared<std::atomic_bool>(false)](const QByteArray &soFar) {
            if (soFar.size() >= 3 && !once->exchange(true))
                e->interrupt = true;
        });
        const bool transfer = exchange == Exchange::Download || exchange == Exchange::Upload;
        QCOMPARE(run(exchange), transfer ? FileTransfer::Canceled : FileTransfer::Failed);
        e->emulator.setReceiveHook({});
        QVERIFY(!e->link->isOpen());
        if (transfer)
            QCOMPARE(e->errors, QStringList{QStringLiteral("The device did not answer the cancel.")});
        else
            QVERIFY(e->errors.isEmpty());
        QCOMPARE(e->emulator.unknownCommands(), 0);
    }

    // A receiver that falls silent as the PC writes a message of the exchange, the cancel given at that moment,
    // the link's waits at their working lengths: the exchange ends within seconds of the cancel (never after the
    // inactivity limit), the link is given up, and a transfer says the cancel went unanswered.
    void silentReceiverCancelledAsAMessageIsWritten_data()
    {
        QTest::addColumn<Exchange>("exchange");
        QTest::addColumn<int>("message");
        QTest::newRow("listing, its header") << Exchange::Listing << 0;
        QTest::newRow("listing, its last level") << Exchange::Listing << 2;
        QTest::newRow("create, its header") << Exchange::Create << 0;
        QTest::newRow("delete, its name") << Exchange::Delete << 3;
        QTest::newRow("recording delete") << Exchange::RecordingDelete << 0;
        QTest::newRow("download, its header") << Exchange::Download << 0;
        QTest::newRow("download, its name") << Exchange::Download << 3;
        QTest::newRow("upload, its size and name") << Exchange::Upload << 3;
        QTest::newRow("upload, its first packet") << Exchange::Upload << 5;
    }
    void silentReceiverCancelledAsAMessageIsWritten()
    {
        QFETCH(Exchange, exchange);
        QFETCH(int, message);
        e->link->setInactivityLimit(30000);
        ReceiverFolderCommands::listingWaitMs = 15000;
        QElapsedTimer sinceCancel;
        int written = 0;
        e->socket.beforeWrite = [&](const QByteArray &) {
            if (written++ != message)
                return;
            e->emulator.muteOpenConnections();
            e->interrupt = true;
            sinceCancel.start();
        };
        const FileTransfer::Outcome outcome = run(exchange);
        const qint64 took = sinceCancel.elapsed();
        e->socket.beforeWrite = {};
        QVERIFY(sinceCancel.isValid());
        QVERIFY2(took < 8000, qPrintable(QStringLiteral("ended %1 ms after the cancel").arg(took)));
        QVERIFY(!e->link->isOpen());
        if (exchange == Exchange::Download || exchange == Exchange::Upload) {
            QCOMPARE(outcome, FileTransfer::Canceled);
            QCOMPARE(e->errors, QStringList{TransferLink::cancelUnansweredText()});
        } else {
            QCOMPARE(outcome, FileTransfer::Failed);
        }
        QVERIFY(!QFileInfo::exists(e->pcPath(QStringLiteral("f.bin"))));
        // A receiver silent from the header on made no folder of it.
        QVERIFY(!QFileInfo::exists(e->receiverPath(QStringLiteral("v/a/new"))));
    }

    // A second cancel while the exchange is finished after the first changes nothing.
    void secondCancelChangesNothing_data()
    {
        QTest::addColumn<Exchange>("exchange");
        QTest::newRow("listing") << Exchange::Listing;
        QTest::newRow("create") << Exchange::Create;
        QTest::newRow("download") << Exchange::Download;
        QTest::newRow("upload") << Exchange::Upload;
    }
    void secondCancelChangesNothing()
    {
        QFETCH(Exchange, exchange);
        e->emulator.setAnswerDelayMs(LateMs);
        // Every message the PC writes from the header on sets the flag again.
        e->socket.beforeWrite = [this](const QByteArray &) { e->interrupt = true; };
        e->emulator.setReceiveHook([this](const QByteArray &) { e->interrupt = true; });
        const FileTransfer::Outcome outcome = run(exchange);
        e->socket.beforeWrite = {};
        e->emulator.setReceiveHook({});
        e->emulator.setAnswerDelayMs(0);
        QCOMPARE(outcome, exchange == Exchange::Download || exchange == Exchange::Upload ? FileTransfer::Canceled
                                                                                         : FileTransfer::Completed);
        e->interrupt = false;
        QVERIFY(e->errors.isEmpty());
        bool listed = false;
        std::unique_ptr<QList<DeviceFileSystemItem *>> items(
            ReceiverFolderCommands(*e->link).getFolder(QStringLiteral("v\\a"), &listed));
        QVERIFY(listed);
        QVERIFY(items);
        qDeleteAll(*items);
        QCOMPARE(e->emulator.unknownCommands(), 0);
        QVERIFY(!e->socket.waitForReadyRead(100));
        QCOMPARE(e->emulator.connectionCount(), 1);
    }
};

OMBRELAY_TEST_MAIN(TestCancelWire)
#include "tst_cancelwire.moc"
