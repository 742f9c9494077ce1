#include "testmain.h"

#include "device/transfers/copyjobbuilders.h"
#include "device/transfers/devicefilesystemitem.h"
#include "device/transfers/folderlistingparser.h"
#include "device/transfers/listchunkparser.h"
#include "device/transfers/receiveraddress.h"
#include "device/transfers/transferwire.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// The pure parts of the transfers: wire replies, listings, list chunks, receiver addresses and copy jobs.
class TestTransferWire : public QObject
{
    Q_OBJECT
private:
    static QByteArray fileRecord(quint8 type, const QByteArray &name, quint64 size, quint32 time)
    {
        return QByteArray(1, char(type)) + QByteArray(1, char(name.size())) + name + TransferWire::uint64(size) +
               TransferWire::uint32(time);
    }
    static QByteArray folderRecord(const QByteArray &name)
    {
        return QByteArray(1, '\0') + QByteArray(1, '\1') + QByteArray(1, char(name.size())) + name;
    }

    static void write(const QString &path, qint64 size)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(int(size), 'r'));
    }
    static QString line(const QString &path) { return uriLineFromLocalPath(path) + QStringLiteral("\r\n"); }

    struct Entry
    {
        int type;
        qint64 size;
        QString absolutePath;
        QString relativePath;
        int id;
    };
    static QList<Entry> entries(CopyJobDocument job)
    {
        QList<Entry> list;
        while (job.hasFiles()) {
            const CopyJobFile f = job.takeFirstFile();
            list.append({f.type(), f.size(), f.absolutePath(), f.relativePath(), f.id()});
        }
        return list;
    }

private slots:
    void downloadReply_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("parse");
        const auto reply = [](quint8 status, quint64 total, quint32 block) {
            return QByteArray(1, char(status)) + TransferWire::uint64(total) + TransferWire::uint32(block);
        };
        QTest::newRow("ok") << reply(1, 5000000000ULL, 65536) << int(TransferWire::Done);
        QTest::newRow("short") << reply(1, 1, 1).left(12) << int(TransferWire::Incomplete);
        QTest::newRow("block zero") << reply(1, 1, 0) << int(TransferWire::Bad);
        QTest::newRow("size hostile") << reply(1, ~0ULL, 10) << int(TransferWire::Bad);
    }
    void downloadReply()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, parse);
        TransferWire::DownloadReply r;
        QCOMPARE(int(TransferWire::parseDownloadReply(bytes, &r)), parse);
        if (parse == TransferWire::Done)
            QCOMPARE(r.total, 5000000000ULL);
    }

    void recordingReply_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("parse");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("suffix0");
        const QByteArray head = QByteArray(1, '\x01') + TransferWire::uint64(1234);
        // clang-format off
        QTest::newRow("two parts") << head + "\x02" + QByteArray("\x00\x02ts\x01\x03mks", 9) << int(TransferWire::Done) << 2 << "ts";
        QTest::newRow("nul ends suffix") << head + "\x01" + QByteArray("\x00\x04ts\0x", 6) << int(TransferWire::Done) << 1 << "ts";
        QTest::newRow("status only") << QByteArray(1, '\xFC') << int(TransferWire::Bad) << 0 << "";
        QTest::newRow("cut table") << head + "\x01" + QByteArray("\x00\x04ts", 4) << int(TransferWire::Incomplete) << 1 << "";
        QTest::newRow("suffix escapes") << head + "\x01" + QByteArray("\x00\x05../ts", 7) << int(TransferWire::Bad) << 1 << "";
        QTest::newRow("suffix empty") << head + "\x01" + QByteArray("\x00\x00", 2) << int(TransferWire::Bad) << 1 << "";
        QTest::newRow("suffix too long") << head + "\x01" + QByteArray("\x00\x11", 2) + QByteArray(17, 'a') << int(TransferWire::Bad) << 1 << "";
        QTest::newRow("nothing to copy") << head + QByteArray(1, '\0') << int(TransferWire::Done) << 0 << "";
        // clang-format on
    }
    void recordingReply()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, parse);
        QFETCH(int, count);
        QFETCH(QString, suffix0);
        TransferWire::RecordingReply r;
        QCOMPARE(int(TransferWire::parseRecordingReply(bytes, &r)), parse);
        if (parse == TransferWire::Done) {
            QCOMPARE(int(r.count), count);
            QCOMPARE(r.consumed, bytes.size());
            if (count > 0)
                QCOMPARE(r.suffixes.value(0), suffix0);
        }
    }

    void listing()
    {
        QByteArray bytes = TransferWire::uint16(6);
        bytes += fileRecord(1, "a.ts", 10, 100);
        bytes += folderRecord("a/b\\c");
        bytes += QByteArray(1, '\x08') + "\x01\x04sda1\x03HDD";
        bytes += QByteArray(1, '\x04') + TransferWire::uint16(40000) + "\x06" + "_News\xe9" + TransferWire::uint64(77) +
                 TransferWire::uint32(3600);
        bytes += fileRecord(1, "..", 1, 0);
        bytes += fileRecord(1, QByteArray(200, 'n'), 1, 0);
        QList<DeviceFileSystemItem *> items;
        int consumed = 0;
        for (int cut = 0; cut < bytes.size(); ++cut) {
            QCOMPARE(FolderListingParser::parse(bytes.left(cut), 2, &items, &consumed),
                     FolderListingParser::Incomplete);
            QVERIFY(items.isEmpty());
        }
        QCOMPARE(FolderListingParser::parse(bytes, 2, &items, &consumed), FolderListingParser::Done);
        QCOMPARE(consumed, bytes.size());
        QCOMPARE(items.size(), 6);
        QCOMPARE(items[0]->name(), QStringLiteral("a.ts"));
        QCOMPARE(items[0]->size(), qint64(10));
        QCOMPARE(items[0]->lastModified().toSecsSinceEpoch(), qint64(100 + 946684801));
        QCOMPARE(items[1]->name(), QStringLiteral("a_b_c"));
        QCOMPARE(items[1]->size(), qint64(0));
        QVERIFY(items[1]->isExpandable());
        QVERIFY(!items[1]->lastModified().isValid());
        QCOMPARE(items[2]->displayName(), QStringLiteral("HDD"));
        QCOMPARE(items[3]->name(), QStringLiteral("News\u00e9"));
        QCOMPARE(quint16(items[3]->recordId()), quint16(40000));
        QCOMPARE(items[3]->lastModified().toSecsSinceEpoch(), qint64(3600 + 946677601));
        QCOMPARE(items[4]->name(), QStringLiteral(".."));
        QCOMPARE(items[5]->name(), QString(200, u'n'));
        qDeleteAll(items);
    }

    void listingTopLevelHidesStreams()
    {
        QByteArray bytes = TransferWire::uint16(3);
        bytes += fileRecord(1, "12.34 news.ts", 1, 0);
        bytes += fileRecord(1, "1234.5.ts", 1, 0);
        bytes += fileRecord(1, "1.2.ts4", 1, 0);
        QList<DeviceFileSystemItem *> items;
        int consumed = 0;
        QCOMPARE(FolderListingParser::parse(bytes, 1, &items, &consumed), FolderListingParser::Done);
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0]->name(), QStringLiteral("1234.5.ts"));
        qDeleteAll(items);
        QCOMPARE(FolderListingParser::parse(bytes, 2, &items, &consumed), FolderListingParser::Done);
        QCOMPARE(items.size(), 3);
        qDeleteAll(items);
        items.clear();
        // Counts below one (read as signed) mean no entries.
        for (quint16 count : {quint16(0), quint16(40000)}) {
            QCOMPARE(FolderListingParser::parse(TransferWire::uint16(count), 1, &items, &consumed),
                     FolderListingParser::Done);
            QVERIFY(items.isEmpty());
        }
    }

    void listChunks()
    {
        const QByteArray data = ListChunkParser::dataChunk("abc", 50);
        QCOMPARE(data, QByteArray("DATA\x03\0\0\0\x32\0\0\0abc", 15));
        for (int cut = 0; cut < data.size(); ++cut)
            QCOMPARE(ListChunkParser::parse(data.left(cut)).kind, ListChunkParser::Incomplete);
        ListChunkParser::Chunk c = ListChunkParser::parse(data + "END");
        QCOMPARE(c.kind, ListChunkParser::Data);
        QCOMPARE(c.percent, quint32(50));
        QCOMPARE(c.bytes, QByteArray("abc"));
        QCOMPARE(c.consumed, 15);
        QCOMPARE(ListChunkParser::parse(QByteArray("END\0", 4)).kind, ListChunkParser::End);
        c = ListChunkParser::parse("WXYZDATA");
        QCOMPARE(c.kind, ListChunkParser::Other);
        QCOMPARE(c.consumed, 4);
        // A length past the cap is refused at once, before any of it is awaited.
        QCOMPARE(ListChunkParser::parse(QByteArray("DATA\xff\xff\xff\xff\0\0\0\0", 12)).kind, ListChunkParser::Bad);
    }

    void copyJobOfFolderTree()
    {
        QTemporaryDir tmp;
        const QString movies = tmp.path() + QStringLiteral("/Movies");
        write(movies + QStringLiteral("/a.ts"), 5);
        write(movies + QStringLiteral("/2010/b.ts"), 7);
        write(tmp.path() + QStringLiteral("/single.ts"), 3);
        const QList<Entry> got = entries(buildCopyJobFromUris(
            line(movies) + line(tmp.path() + QStringLiteral("/single.ts")), QStringLiteral("text/uri-list")));
        QStringList seen;
        for (const Entry &e : got)
            seen << QStringLiteral("%1 %2 %3").arg(e.type).arg(e.absolutePath.mid(tmp.path().size()), e.relativePath);
        QCOMPARE(seen, QStringList({"0 /Movies/2010/b.ts Movies/2010", "2 /Movies/2010 Movies/2010",
                                    "0 /Movies/a.ts Movies", "2 /Movies Movies", "0 /single.ts "}));
        CopyJobDocument job = buildCopyJobFromUris(line(movies), QStringLiteral("text/uri-list"));
        QCOMPARE(job.totalSize(), qint64(12));
    }

    void encodedFileUrlsDecoded()
    {
        QTemporaryDir tmp;
        // A name that itself looks percent-encoded must survive the trip.
        const QString odd = tmp.path() + QStringLiteral("/My Video %41 #1.ts");
        write(odd, 4);
        const QList<Entry> got = entries(buildCopyJobFromUris(line(odd), QStringLiteral("text/uri-list")));
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].absolutePath, odd);
        QCOMPARE(got[0].size, qint64(4));
    }

    void walkStopsWhenAsked()
    {
        QTemporaryDir tmp;
        for (int i = 0; i < 5; ++i)
            write(tmp.path() + QStringLiteral("/d/f%1").arg(i), 1);
        int calls = 0;
        CopyJobDocument job = buildCopyJobFromUris(line(tmp.path() + QStringLiteral("/d")),
                                                   QStringLiteral("text/uri-list"), [&] { return ++calls > 3; });
        QVERIFY(job.fileCount() < 5);
    }

    void uploadSetsChosenOnce()
    {
        QTemporaryDir tmp;
        const QString dir = tmp.path() + QStringLiteral("/Rec1");
        write(dir + QStringLiteral("/Rec1.MKS"), 2);
        write(dir + QStringLiteral("/Rec1.desc"), 3);
        write(dir + QStringLiteral("/Rec1.ts4"), 5);
        write(dir + QStringLiteral("/Other.desc"), 1); // a lone description: no set
        write(dir + QStringLiteral("/Two.desc"), 1);
        write(dir + QStringLiteral("/Two.ts"), 1);
        write(dir + QStringLiteral("/Two.mks"), 1);
        const QString payload = line(dir + QStringLiteral("/Rec1.ts4")) + line(dir + QStringLiteral("/Rec1.MKS")) +
                                line(dir + QStringLiteral("/Other.desc"));
        CopyJobDocument job = buildUploadJobFromUriList(payload, QStringLiteral("text/uri-list"));
        QCOMPARE(job.totalSize(), qint64(10));
        const QList<Entry> got = entries(job);
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].type, 2);
        QCOMPARE(got[0].absolutePath, QStringLiteral("rec://") + dir + QStringLiteral("/Rec1.desc"));

        write(dir + QStringLiteral("/Rec1.ts"), 4);
        QCOMPARE(buildUploadJobFromUriList(line(dir + QStringLiteral("/Rec1.ts")), QStringLiteral("text/uri-list"))
                     .totalSize(),
                 qint64(9));
        QVERIFY(!buildUploadJobFromUriList(line(dir + QStringLiteral("/Other.desc")), QStringLiteral("text/uri-list"))
                     .hasFiles());
    }

    void address_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("scheme");
        QTest::addColumn<QString>("path");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("wireId");
        // clang-format off
        QTest::newRow("dir") << "dir://v\\f*0" << int(ReceiverAddress::Dir) << "v\\f" << qint64(0) << 0;
        QTest::newRow("file") << "file://v\\a.ts*10" << int(ReceiverAddress::File) << "v\\a.ts" << qint64(10) << 0;
        QTest::newRow("star in file name") << "file://v\\Crime*Special.ts*10" << int(ReceiverAddress::File) << "v\\Crime*Special.ts" << qint64(10) << 0;
        QTest::newRow("rec negative id") << "rec://N*A*5000000000*-25536" << int(ReceiverAddress::Rec) << "N*A" << qint64(5000000000LL) << 40000;
        QTest::newRow("rec without id") << "rec://N*5" << int(ReceiverAddress::Invalid) << "" << qint64(0) << 0;
        QTest::newRow("file without size") << "file://x" << int(ReceiverAddress::Invalid) << "" << qint64(0) << 0;
        QTest::newRow("negative size") << "file://x*-1" << int(ReceiverAddress::Invalid) << "" << qint64(0) << 0;
        QTest::newRow("other scheme") << "http://x*1" << int(ReceiverAddress::Invalid) << "" << qint64(0) << 0;
        // clang-format on
    }
    void address()
    {
        QFETCH(QString, line);
        QFETCH(int, scheme);
        QFETCH(QString, path);
        QFETCH(qint64, size);
        QFETCH(int, wireId);
        const ReceiverAddress a = ReceiverAddress::parse(line);
        QCOMPARE(int(a.scheme()), scheme);
        QCOMPARE(a.path(), path);
        QCOMPARE(a.size(), size);
        QCOMPARE(int(a.wireRecordId()), wireId);
    }

    void addressWritersAndPaths()
    {
        QCOMPARE(ReceiverAddress::recLine(QStringLiteral("n"), 3, 40000), QStringLiteral("rec://n*3*-25536"));
        QCOMPARE(ReceiverAddress::splitPath(QStringLiteral("\\v\\\\a\\")), QStringList({"v", "a"}));
        QVERIFY(ReceiverAddress::isRecordingsFolder(QStringLiteral("/hda1\\recordings")));
        QVERIFY(!ReceiverAddress::isRecordingsFolder(QStringLiteral("/hda1\\recordings\\old")));
        QVERIFY(!ReceiverAddress::isRecordingsFolder(QStringLiteral("/hda1\\Recordings")));
    }

    void namesAndPaths()
    {
        // Control characters from a receiver never reach a name.
        DeviceFileSystemItem odd(QStringLiteral("a\tb\nc\u007fd\u00a0e\u00e9"), QString(), 1, 0, QDateTime(), false,
                                 -1);
        QCOMPARE(odd.name(), QStringLiteral("abcde\u00e9"));
        DeviceFileSystemItem root(nullptr, QString());
        auto *volume =
            new DeviceFileSystemItem(QStringLiteral("sda1"), QStringLiteral("HDD"), 8, 0, QDateTime(), true, -1);
        root.appendChild(volume);
        auto *news = new DeviceFileSystemItem(QStringLiteral("News"), QString(), 4, 0,
                                              QDateTime(QDate(2026, 12, 5), QTime(14, 3), Qt::UTC), false, 1);
        volume->appendChild(news);
        QCOMPARE(news->fullPath(), QStringLiteral("HDD\\News"));
        QCOMPARE(news->recordFileBaseName(), QStringLiteral("05-12-2026 14_03 News"));
        QVERIFY(volume->removeChildren(0, 1));
        QVERIFY(!volume->isExpandable());
    }
};

OMBRELAY_TEST_MAIN(TestTransferWire)
#include "tst_transferwire.moc"
