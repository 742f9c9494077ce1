#include "testmain.h"

#include "device/transfers/copyjobdocument.h"
#include "device/transfers/devicefilesystemitem.h"
#include "media/contextstate.h"
#include "media/copytargetrules.h"
#include "media/transferprogress.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Where copy entries land, when the user is asked, the bar's numbers and which PC items are protected.
class TestMediaRules : public QObject
{
    Q_OBJECT
    static CopyJobFile entry(int type, const QString &absolute, const QString &relative)
    {
        CopyJobDocument doc;
        doc.addFile(type, 10, absolute, relative, 7);
        return doc.takeFirstFile();
    }

private slots:
    void destination_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("absolute");
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("expected");
        QTest::newRow("pc file") << 0 << "/data/x" << 0 << "/src/b.ts"
                                 << ""
                                 << "/data/x/b.ts";
        QTest::newRow("pc folder") << 0 << "/data/x" << 2 << "/src/a"
                                   << "a"
                                   << "/data/x/a/";
        QTest::newRow("receiver file in sub-folder") << 2 << "/data/x" << 0 << "file://HDD\\M\\2010\\a.ts"
                                                     << "\\M\\2010"
                                                     << "/data/x/M/2010/a.ts";
        QTest::newRow("receiver name ..") << 2 << "/data/x" << 0 << "file://HDD\\.."
                                          << ""
                                          << "";
        QTest::newRow("receiver relative ..") << 2 << "/data/x" << 0 << "file://HDD\\a.ts"
                                              << "\\..\\.."
                                              << "";
        QTest::newRow("receiver control characters") << 2 << "/data/x" << 0 << "file://HDD\\x\x01y.ts"
                                                     << ""
                                                     << "/data/x/xy.ts";
        QTest::newRow("receiver slash in name") << 2 << "/data/x" << 0 << "file://HDD\\a/b\\c"
                                                << ""
                                                << "/data/x/c";
        QTest::newRow("upload") << 1 << "/usb0\\recordings" << 0 << "/pc/a.ts"
                                << ""
                                << "/usb0/recordings/a.ts";
        QTest::newRow("upload relative ..") << 1 << "HDD\\M" << 0 << "/pc/a.ts"
                                            << "../.."
                                            << "";
    }
    void destination()
    {
        QFETCH(int, direction);
        QFETCH(QString, folder);
        QFETCH(int, type);
        QFETCH(QString, absolute);
        QFETCH(QString, relative);
        QFETCH(QString, expected);
        QCOMPARE(CopyTargetRules::destinationFor(direction, folder, entry(type, absolute, relative)), expected);
    }

    void question_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("target"); // "file", "folder" or "none" at the destination on the PC
        QTest::addColumn<QString>("relative");
        QTest::addColumn<int>("expected");
        QTest::newRow("pc file exists") << 0 << 0 << "file"
                                        << "" << int(CopyTargetRules::FileQuestion);
        QTest::newRow("pc nothing there") << 0 << 0 << "none"
                                          << "" << int(CopyTargetRules::NoQuestion);
        QTest::newRow("recording onto folder") << 2 << 1 << "folder"
                                               << "" << int(CopyTargetRules::RecordQuestion);
        QTest::newRow("file onto folder") << 2 << 0 << "folder"
                                          << "" << int(CopyTargetRules::NoQuestion);
        QTest::newRow("upload named as listed") << 1 << 0 << "none"
                                                << "" << int(CopyTargetRules::FileQuestion);
        QTest::newRow("upload into sub-folder") << 1 << 0 << "none"
                                                << "sub" << int(CopyTargetRules::NoQuestion);
        QTest::newRow("upload ignores the PC") << 1 << 0 << "file"
                                               << "sub" << int(CopyTargetRules::NoQuestion);
    }
    void question()
    {
        QFETCH(int, direction);
        QFETCH(int, type);
        QFETCH(QString, target);
        QFETCH(QString, relative);
        QTemporaryDir dir;
        const QString destination = dir.filePath(QStringLiteral("a.ts"));
        if (target == QLatin1String("file")) {
            QFile f(destination);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (target == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(destination));
        }
        DeviceFileSystemItem listed("a.ts", QString(), 1, 3, {}, false, -1);
        QList<DeviceFileSystemItem *> listing{&listed};
        const CopyJobFile e = entry(type, direction == 2 ? "file://HDD\\a.ts" : dir.filePath("src/a.ts"), relative);
        QFETCH(int, expected);
        QCOMPARE(int(CopyTargetRules::question(direction, e, destination, &listing)), expected);
    }

    void progress_data()
    {
        QTest::addColumn<qint64>("total");
        QTest::addColumn<qint64>("done");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::newRow("no total: busy bar") << qint64(0) << qint64(50) << 0 << 0;
        QTest::newRow("half") << qint64(200) << qint64(100) << 1000 << 500;
        QTest::newRow("past the end") << qint64(100) << qint64(64240) << 1000 << 1000;
    }
    void progress()
    {
        QFETCH(qint64, total);
        QFETCH(qint64, done);
        QFETCH(int, maximum);
        QFETCH(int, value);
        TransferProgress p;
        p.start(0, total, 1000);
        p.add(done);
        QCOMPARE(p.maximum(), maximum);
        QCOMPARE(p.value(), value);
    }
    void remainingTime_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("75 minutes") << qint64(75 * 60000) << "1:15:00";
        QTest::newRow("under an hour") << qint64(59 * 60000 + 59000) << "59:59";
        QTest::newRow("seconds") << qint64(15000) << "00:15";
    }
    void remainingTime()
    {
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        QCOMPARE(TransferProgress::timeText(ms), text);
    }

    void protectedPcPaths()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath("f.ts"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(ContextState::isProtectedPcPath("/"));
        QVERIFY(ContextState::isProtectedPcPath("/tmp"));
        QVERIFY(ContextState::isProtectedPcPath(dir.filePath("gone")));
        QVERIFY(!ContextState::isProtectedPcPath(dir.path()));
        QVERIFY(!ContextState::isProtectedPcPath(f.fileName()));
    }

    void contextStates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("convert");
        QTest::addColumn<bool>("mkvOnly");
        QTest::newRow("ts4") << "Film.TS4" << true << true;
        QTest::newRow("ts") << "Film.ts" << true << false;
        QTest::newRow("m2ts") << "Film.m2ts" << true << false;
        QTest::newRow("mkv") << "Film.mkv" << false << false;
    }
    void contextStates()
    {
        QTemporaryDir dir;
        QFETCH(QString, name);
        QFETCH(bool, convert);
        QFETCH(bool, mkvOnly);
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        const ContextState s = ContextState::forPc(f.fileName(), true, true, false, false);
        QCOMPARE(s.convert, convert);
        QCOMPARE(s.mkvOnly, mkvOnly);
        QVERIFY(s.copy && s.cut && s.remove && !s.paste);
        const ContextState volume = ContextState::forReceiver(true, true, true, true);
        QVERIFY(!volume.copy && !volume.cut && !volume.remove && !volume.newFolder && volume.paste);
        const ContextState top = ContextState::forReceiver(false, true, false, true);
        QVERIFY(top.copy && top.newFolder && !top.cut && !top.remove && !top.paste);
    }
};

OMBRELAY_TEST_MAIN(TestMediaRules)
#include "tst_mediarules.moc"
