#include "testmain.h"

#include "device/transfers/copyjobbuilders.h"
#include "device/transfers/receiveraddress.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class TestCopyJob : public QObject
{
    Q_OBJECT
private:
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

    void receiverDeleteListOrder()
    {
        const QString payload = QStringLiteral("rec://05-12-2026 14_03 Crime*Special*10*7\r\nfile://HDD\\a*b.ts*3\r\n"
                                               "dir://HDD\\f*0\r\nrec://broken*12\r\n\r\n");
        const QList<Entry> got = entries(buildFileListFromUris(payload, QStringLiteral("text/zbdevice-uri-list")));
        QStringList seen;
        for (const Entry &e : got)
            seen << QStringLiteral("%1 %2 %3 %4").arg(e.type).arg(e.absolutePath).arg(e.size).arg(e.id);
        QCOMPARE(seen, QStringList({"2 dir://HDD\\f 0 0", "0 file://HDD\\a*b.ts 3 0",
                                    "1 rec://05-12-2026 14_03 Crime*Special 10 7"}));
        QVERIFY(!buildFileListFromUris(QStringLiteral("\r\n"), QStringLiteral("text/zbdevice-uri-list")).hasFiles());
    }

    void address_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("scheme");
        QTest::addColumn<QString>("path");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("wireId");
        QTest::newRow("dir") << "dir://v\\f*0" << int(ReceiverAddress::Dir) << "v\\f" << qint64(0) << 0;
        QTest::newRow("file") << "file://v\\a.ts*10" << int(ReceiverAddress::File) << "v\\a.ts" << qint64(10) << 0;
        QTest::newRow("star in file name") << "file://v\\Crime*Special.ts*10" << int(ReceiverAddress::File)
                                           << "v\\Crime*Special.ts" << qint64(10) << 0;
        QTest::newRow("rec negative id") << "rec://N*A*5000000000*-25536" << int(ReceiverAddress::Rec) << "N*A"
                                         << qint64(5000000000LL) << 40000;
        QTest::newRow("rec without id") << "rec://N*5" << int(ReceiverAddress::Invalid) << "" << qint64(0) << 0;
        QTest::newRow("file without size") << "file://x" << int(ReceiverAddress::Invalid) << "" << qint64(0) << 0;
        QTest::newRow("negative size") << "file://x*-1" << int(ReceiverAddress::Invalid) << "" << qint64(0) << 0;
        QTest::newRow("other scheme") << "http://x*1" << int(ReceiverAddress::Invalid) << "" << qint64(0) << 0;
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
};

OMBRELAY_TEST_MAIN(TestCopyJob)
#include "tst_copyjob.moc"
