#include "testmain.h"

#include "emulatorlink.h"

#include "device/transfers/copyjobbuilders.h"
#include "device/transfers/copyjobdocument.h"
#include "device/transfers/devicefilesystemitem.h"
#include "device/transfers/filetransfer.h"
#include "device/transfers/folderlistingparser.h"
#include "device/transfers/receiverfoldercommands.h"
#include "device/transfers/transferwire.h"

#include <QDir>
#include <QFile>

#include <memory>

class TestFolderCommands : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<EmulatorLink> e;

    void file(const QString &rel, int size) { e->receiverFile(rel, QByteArray(size, 'f')); }

private slots:
    void init()
    {
        e = std::make_unique<EmulatorLink>();
        QVERIFY(e->open(1000));
        ReceiverFolderCommands::listingWaitMs = 1000;
    }
    void cleanup() { e.reset(); }

    // The delete list takes a receiver line only when its last name is one the PC can send back: no control
    // character (C0, DEL, the C1 range and the no-break space that ends it), nothing else held against it.
    void fileListLeavesOutControlCharacters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("kept");
        QTest::newRow("0x01") << QStringLiteral("a\u0001b.ts") << false;
        QTest::newRow("0x1F") << QStringLiteral("a\u001Fb.ts") << false;
        QTest::newRow("0x7F") << QStringLiteral("a\u007Fb.ts") << false;
        QTest::newRow("0xA0") << QStringLiteral("a\u00A0b.ts") << false;
        QTest::newRow("0x9F") << QStringLiteral("a\u009Fb.ts") << false;
        QTest::newRow("a blank") << QStringLiteral("a b.ts") << true;
        QTest::newRow("a tilde") << QStringLiteral("a~.ts") << true;
        QTest::newRow("0xA1") << QStringLiteral("a\u00A1b.ts") << true;
        QTest::newRow("0x20 at the start") << QStringLiteral(" a.ts") << true;
    }
    void fileListLeavesOutControlCharacters()
    {
        QFETCH(QString, name);
        QFETCH(bool, kept);
        for (const QString &line : {"file:///hdd\\Sel\\" + name + "*3", "dir:///hdd\\Sel\\" + name + "*0"}) {
            // one plain entry beside it, so a list that drops everything is caught
            CopyJobDocument job = buildFileListFromUris("file:///hdd\\ok.ts*1\r\n" + line + "\r\n",
                                                        QStringLiteral("text/zbdevice-uri-list"));
            QStringList paths;
            while (job.hasFiles())
                paths << job.takeFirstFile().absolutePath();
            QStringList expected{"file:///hdd\\ok.ts"};
            if (kept)
                expected << line.section(u'*', 0, 0);
            paths.sort();
            expected.sort();
            QCOMPARE(paths, expected);
        }
    }

    // A listed name that the PC cannot send back as the same bytes (a NUL before other bytes, no UTF-8) is
    // no PC name; NULs that only pad the name, and UTF-8 of any script, are.
    void listedNamesThePcCannotSendBack_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("pcName");
        QTest::newRow("plain") << QByteArray("a.ts") << "a.ts" << true;
        QTest::newRow("padded") << QByteArray("a.ts\0\0", 6) << "a.ts" << true;
        QTest::newRow("UTF-8") << QByteArray("\xc5\xbc\xc3\xb3\xc5\x82w.ts")
                               << QString::fromUtf8("\u017c\u00f3\u0142w.ts") << true;
        QTest::newRow("NUL inside") << QByteArray("a\0b.ts", 6) << "ab.ts" << false;
        QTest::newRow("Latin-1") << QByteArray("b\xe9"
                                               "ad.ts")
                                 << QString::fromUtf8("b\uFFFDad.ts") << false;
        QTest::newRow("cut UTF-8") << QByteArray("a\xc5") << QString::fromUtf8("a\uFFFD") << false;
        QTest::newRow("overlong") << QByteArray("a\xc0\xaf") << QString::fromUtf8("a\uFFFD\uFFFD") << false;
    }
    void listedNamesThePcCannotSendBack()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QString, shown);
        QFETCH(bool, pcName);
        for (const bool folder : {false, true}) {
            const QByteArray entry = folder ? QByteArray(1, '\0') + '\1' + char(raw.size()) + raw
                                            : QByteArray(1, '\1') + char(raw.size()) + raw + QByteArray(12, '\0');
            QList<DeviceFileSystemItem *> items;
            int consumed = 0;
            QCOMPARE(FolderListingParser::parse(TransferWire::uint16(1) + entry, 2, &items, &consumed),
                     FolderListingParser::Done);
            QCOMPARE(items.size(), 1);
            std::unique_ptr<DeviceFileSystemItem> item(items.first());
            QCOMPARE(item->name(), shown);
            QCOMPARE(item->hasPcName(), pcName);
            QCOMPARE(item->isAddressable(), pcName);
        }
    }

    void listingSendsLevels_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("empty") << "" << QByteArray("\x03\x00\x00", 3);
        QTest::newRow("trailing separators") << "v\\\\" << QByteArray("\x03\x00\x01v", 4);
        QTest::newRow("empty components dropped") << "\\v\\\\f" << QByteArray("\x03\x00\x02vf", 5);
    }
    void listingSendsLevels()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, sent);
        file(QStringLiteral("v/f/a.ts"), 10);
        std::unique_ptr<QList<DeviceFileSystemItem *>> items(ReceiverFolderCommands(*e->link).getFolder(path));
        QVERIFY(items);
        QCOMPARE(e->emulator.received(), sent);
        qDeleteAll(*items);
    }

    void hostileListings_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("count without entries") << TransferWire::uint16(2);
        QTest::newRow("cut name") << TransferWire::uint16(1) + QByteArray("\x01\xC8"
                                                                          "abc",
                                                                          5);
        QTest::newRow("count zero") << TransferWire::uint16(0);
    }
    void hostileListings()
    {
        QFETCH(QByteArray, reply);
        e->commands->listingOverride = reply;
        QVERIFY(!ReceiverFolderCommands(*e->link).getFolder(QStringLiteral("v")));
    }

    void expandFolder()
    {
        file(QStringLiteral("v/f/a.ts"), 10);
        QDir().mkpath(e->receiverRoot.path() + QStringLiteral("/v/f/g"));
        CopyJobDocument job;
        qint64 total = 0;
        ReceiverFolderCommands(*e->link).expandUri(QStringLiteral("dir://v\\f*0"), QString(), job, total);
        QCOMPARE(total, qint64(10));
        QStringList got;
        while (job.hasFiles()) {
            const CopyJobFile e = job.takeFirstFile();
            got << QStringLiteral("%1|%2|%3|%4").arg(e.type()).arg(e.absolutePath(), e.relativePath()).arg(e.size());
        }
        // The listing is sorted by name: a.ts before g.
        QCOMPARE(got, QStringList({"0|file://v\\f\\a.ts|\\f|10", "2|dir://v\\f\\g|\\f|0", "2|dir://v\\f||0"}));
    }

    void expansionDepthIsBounded()
    {
        // A receiver folder tree deeper than any real one (or a listing that loops).
        QString deep = QStringLiteral("v");
        for (int i = 0; i < ReceiverFolderCommands::MaxDepth + 5; ++i)
            deep += QStringLiteral("/d");
        file(deep + QStringLiteral("/bottom.ts"), 7);
        CopyJobDocument job;
        qint64 total = 0;
        ReceiverFolderCommands(*e->link).expandUri(QStringLiteral("dir://v*0"), QString(), job, total);
        QCOMPARE(total, qint64(0));
        QCOMPARE(job.fileCount(), ReceiverFolderCommands::MaxDepth + 1);
        while (job.hasFiles())
            QVERIFY(job.takeFirstFile().isDir());
    }

    // A refused level ends the exchange on both sides: nothing of the path below it is sent (the receiver would
    // read it as commands), the request fails with the receiver's reason, and the next request on the same
    // connection is understood. Pending answers (0xF9) on the way are no refusal.
    void refusedLevelKeepsBothSidesInStep_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("refused"); // the level refused by the switch, else -1
        QTest::addColumn<int>("pending"); // pending rounds before each status
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("listing") << "list" << 1 << 0 << QByteArray("\x03\x00\x03va", 5);
        QTest::newRow("listing, first level") << "list" << 0 << 0 << QByteArray("\x03\x00\x03v", 4);
        QTest::newRow("listing, a level that is a file") << "list file" << -1 << 0 << QByteArray("\x03\x00\x05vabf", 7);
        QTest::newRow("create") << "create" << 1 << 0 << QByteArray("\x07\x00\x02va", 5);
        QTest::newRow("create, first level") << "create" << 0 << 0 << QByteArray("\x07\x00\x02v", 4);
        QTest::newRow("create, pending answers") << "create" << 1 << 1
                                                 << QByteArray("\x07\x00\x02\x01v\x01"
                                                               "a\x01",
                                                               8);
        QTest::newRow("create below a file") << "create file" << -1 << 0 << QByteArray("\x07\x00\x04vabf", 7);
        QTest::newRow("delete") << "delete" << 1 << 0 << QByteArray("\x08\x00\x02va", 5);
        QTest::newRow("delete, pending answers") << "delete" << 1 << 2
                                                 << QByteArray("\x08\x00\x02\x01\x01v\x01\x01"
                                                               "a\x01\x01",
                                                               11);
        QTest::newRow("folder chain") << "chain" << 1 << 0 << QByteArray("\x07\x00\x02/vx", 6);
    }
    void refusedLevelKeepsBothSidesInStep()
    {
        QFETCH(QString, command);
        QFETCH(int, refused);
        QFETCH(int, pending);
        QFETCH(QByteArray, sent);
        file(QStringLiteral("v/a/b/f"), 1);
        e->commands->refuseLevel = refused;
        e->emulator.setPendingReplies(pending);
        e->emulator.clearReceived();
        ReceiverFolderCommands commands(*e->link);
        if (command.startsWith(QLatin1String("list"))) {
            bool listed = true;
            const QString path =
                command.endsWith(QLatin1String("file")) ? QStringLiteral("v\\a\\b\\f\\g") : QStringLiteral("v\\a\\b");
            QVERIFY(!commands.getFolder(path, &listed));
            QVERIFY(!listed);
            QCOMPARE(commands.failureText(), QStringLiteral("code -3"));
            QVERIFY(commands.lastWasRefused());
        } else if (command.startsWith(QLatin1String("create"))) {
            QVERIFY(!commands.createFolder(command.endsWith(QLatin1String("file")) ? QStringLiteral("v\\a\\b\\f\\new")
                                                                                   : QStringLiteral("v\\a\\new")));
            QVERIFY(commands.lastWasRefused());
        } else if (command == QLatin1String("delete")) {
            QCOMPARE(commands.deletePath(QStringLiteral("v\\a\\b")), -1);
            QVERIFY(commands.lastWasRefused());
        } else {
            QVERIFY(!commands.makePath(QStringLiteral("/v/x/y/z"), false));
            QCOMPARE(e->errors, QStringList{QStringLiteral("Cannot create directory /v\\x\\y.")});
        }
        QTRY_COMPARE(e->emulator.received(), sent);
        QVERIFY(QFileInfo::exists(e->receiverPath(QStringLiteral("v/a/b/f"))));
        QVERIFY(!QFileInfo::exists(e->receiverPath(QStringLiteral("v/a/new"))));
        // The next requests on the same connection are understood: a create, a listing, a delete.
        e->commands->refuseLevel = -1;
        QVERIFY(commands.createFolder(QStringLiteral("v\\ok")));
        QVERIFY(QFileInfo(e->receiverPath(QStringLiteral("v/ok"))).isDir());
        bool listed = false;
        std::unique_ptr<QList<DeviceFileSystemItem *>> listing(commands.getFolder(QStringLiteral("v\\a"), &listed));
        QVERIFY(listed);
        QVERIFY(listing);
        QCOMPARE(listing->size(), 1);
        QCOMPARE(listing->first()->name(), QStringLiteral("b"));
        qDeleteAll(*listing);
        QCOMPARE(commands.deletePath(QStringLiteral("v\\ok")), 1);
        QVERIFY(!QFileInfo::exists(e->receiverPath(QStringLiteral("v/ok"))));
        QCOMPARE(e->errors.size(), command == QLatin1String("chain") ? 1 : 0);
        QCOMPARE(e->emulator.connectionCount(), 1);
    }

    // A refusal is a refusal whatever its code, 0xFF ("general error") and codes no list names included: every
    // step a receiver may refuse ends with the link in step, and the next listing works on the same connection.
    void everyRefusalCodeIsARefusal_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("code");
        const QList<int> codes{0xFF, 0xFE, 0xFD, 0xFC, 0xFA, 0xF8, 0xF7, 0x00, 0x02, 0x80};
        for (const char *step : {"listing level", "create level", "create", "delete", "recording delete",
                                 "upload level", "download level", "folder chain"})
            for (const int code : codes)
                // (the emulator's refused recording delete takes any code but 0)
                if (code != 0 || qstrcmp(step, "recording delete") != 0)
                    QTest::addRow("%s, 0x%02X", step, code) << QString::fromLatin1(step) << code;
    }
    void everyRefusalCodeIsARefusal()
    {
        QFETCH(QString, step);
        QFETCH(int, code);
        file(QStringLiteral("v/a/f"), 1);
        e->commands->refusal = code;
        ReceiverFolderCommands commands(*e->link);
        if (step == QLatin1String("listing level")) {
            bool listed = true;
            QVERIFY(!commands.getFolder(QStringLiteral("v\\a\\f\\g"), &listed));
            QVERIFY(!listed);
            QVERIFY(commands.lastWasRefused());
            QCOMPARE(commands.failureText(), QStringLiteral("code %1").arg(qint8(quint8(code))));
        } else if (step == QLatin1String("create level")) {
            QVERIFY(!commands.createFolder(QStringLiteral("v\\a\\f\\new")));
            QVERIFY(commands.lastWasRefused());
        } else if (step == QLatin1String("create")) {
            // A file holds the name: the receiver takes every level, then refuses the folder.
            QVERIFY(!commands.createFolder(QStringLiteral("v\\a\\f")));
            QVERIFY(commands.lastWasRefused());
        } else if (step == QLatin1String("delete")) {
            QCOMPARE(commands.deletePath(QStringLiteral("v\\a\\gone")), -1);
            QVERIFY(commands.lastWasRefused());
        } else if (step == QLatin1String("recording delete")) {
            e->commands->refuseStatus = code;
            QVERIFY(!commands.deleteRecording(7));
            QVERIFY(commands.lastWasRefused());
            e->commands->refuseStatus = 0;
        } else if (step == QLatin1String("upload level")) {
            const QString source = e->pcFile(QStringLiteral("up.bin"), "up");
            FileTransfer transfer(*e->link);
            transfer.notFoundUnsaid = true;
            QCOMPARE(transfer.upload(source, QStringLiteral("v/a/f/up.bin")), FileTransfer::NotFound);
        } else if (step == QLatin1String("download level")) {
            FileTransfer transfer(*e->link);
            transfer.notFoundUnsaid = true;
            QCOMPARE(transfer.download(QStringLiteral("v\\a\\f\\x.bin"), e->pcPath(QStringLiteral("x.bin")), true,
                                       false, 1, nullptr),
                     FileTransfer::NotFound);
        } else {
            // A quiet chain names nothing and fails; the caller names the entry.
            QVERIFY(!commands.makePath(QStringLiteral("/v/a/f/new"), false, true));
            QVERIFY(commands.lastWasRefused());
        }
        QCOMPARE(e->errors, QStringList());
        QVERIFY(e->link->isOpen());
        QCOMPARE(EmulatorLink::read(e->receiverPath(QStringLiteral("v/a/f"))), QByteArray("f"));
        // In step: the next listing is understood on the same connection.
        bool listed = false;
        std::unique_ptr<QList<DeviceFileSystemItem *>> listing(commands.getFolder(QStringLiteral("v\\a"), &listed));
        QVERIFY(listed);
        QVERIFY(listing);
        QCOMPARE(listing->size(), 1);
        QCOMPARE(listing->first()->name(), QStringLiteral("f"));
        qDeleteAll(*listing);
        QCOMPARE(e->emulator.connectionCount(), 1);
        QCOMPARE(e->emulator.unknownCommands(), 0);
    }

    // A link that fails on the way is no refusal: the chain says it, whether refusals are said or not.
    void lostLinkIsNoRefusal()
    {
        file(QStringLiteral("v/a/f"), 1);
        ReceiverFolderCommands commands(*e->link);
        e->emulator.setSilent(true);
        e->link->setInactivityLimit(300);
        QVERIFY(!commands.createFolder(QStringLiteral("v\\a\\new")));
        QVERIFY(!commands.lastWasRefused());
        QVERIFY(!commands.makePath(QStringLiteral("/v/a/new"), false, true));
        QCOMPARE(e->errors, QStringList{QStringLiteral("Cannot create directory /v\\a\\new.")});
    }

    void createDeleteAndChains()
    {
        ReceiverFolderCommands commands(*e->link);
        QVERIFY(commands.createFolder(QStringLiteral("v\\new")));
        QVERIFY(QFileInfo(e->receiverRoot.path() + QStringLiteral("/v/new")).isDir());
        file(QStringLiteral("v/a/b"), 1);
        e->emulator.clearReceived();
        QCOMPARE(commands.deletePath(QStringLiteral("v\\a\\b")), 1);
        QCOMPARE(e->emulator.received(), QByteArray("\x08\x00\x02vab", 6));
        QCOMPARE(commands.deletePath(QStringLiteral("v\\gone")), -1);
        QCOMPARE(commands.deletePath(QString()), -1);
        e->emulator.clearReceived();
        QVERIFY(commands.deleteRecording(40000));
        QCOMPARE(e->emulator.received(), QByteArray("\x17\x9C\x40"));
        e->commands->refuseStatus = 0xFC;
        QVERIFY(!commands.deleteRecording(1));
        QVERIFY(!commands.createFolder(QStringLiteral("v\\x")));
        e->commands->refuseStatus = 0;

        e->emulator.clearReceived();
        commands.makePath(QStringLiteral("/v/a/b/c/f"), true);
        QCOMPARE(e->emulator.received(), QByteArray("\x07\x00\x02/vab", 7));
        e->emulator.clearReceived();
        commands.makePath(QStringLiteral("x/y"), false);
        QCOMPARE(e->emulator.received(), QByteArray("\x07\x00\x01xy", 5));
        e->emulator.clearReceived();
        commands.makePath(QStringLiteral("/v/a"), false);
        QTest::qWait(50);
        QVERIFY(e->emulator.received().isEmpty());
    }
};

OMBRELAY_TEST_MAIN(TestFolderCommands)
#include "tst_foldercommands.moc"
