#include "testmain.h"

#include "base/filehelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class TestFileHelpers : public QObject
{
    Q_OBJECT
private:
    static void touch(const QString &path, const QByteArray &data = "x")
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

private slots:
    void makePathRules()
    {
        QTemporaryDir tmp;
        QVERIFY(!makePath(QStringLiteral("relative/dir")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("relative")));
        QVERIFY(makePath(tmp.path() + QStringLiteral("/a/b/c")));
        QVERIFY(QFileInfo(tmp.path() + QStringLiteral("/a/b/c")).isDir());
        QVERIFY(makePath(tmp.path()));
    }

    void dirHasEntriesCountsPlainFilesOnly()
    {
        QTemporaryDir tmp;
        QVERIFY(!dirHasEntries(QStringLiteral("*.ts"), tmp.path() + QStringLiteral("/missing")));
        QDir(tmp.path()).mkdir(QStringLiteral("folder.ts"));
        touch(tmp.path() + QStringLiteral("/.hidden.ts"));
        QVERIFY(!dirHasEntries(QStringLiteral("*.ts"), tmp.path()));
        touch(tmp.path() + QStringLiteral("/News.ts"));
        QVERIFY(dirHasEntries(QStringLiteral("*.ts"), tmp.path()));
        QVERIFY(!dirHasEntries(QStringLiteral("*.mks"), tmp.path()));
    }

    void removeDirKeepsParentsAndLinkTargets()
    {
        QTemporaryDir tmp;
        const QString parent = tmp.path() + QStringLiteral("/parent");
        const QString victim = parent + QStringLiteral("/victim");
        const QString outside = tmp.path() + QStringLiteral("/outside");
        touch(victim + QStringLiteral("/sub/deep/f.bin"));
        touch(victim + QStringLiteral("/.hidden"));
        touch(outside + QStringLiteral("/precious.txt"));
        QVERIFY(QFile::link(outside, victim + QStringLiteral("/link")));
        QVERIFY(removeDirRecursively(victim));
        QVERIFY(!QFileInfo::exists(victim));
        // The emptied parent stays, and the link's target is untouched.
        QVERIFY(QFileInfo(parent).isDir());
        QVERIFY(QFileInfo::exists(outside + QStringLiteral("/precious.txt")));
        QVERIFY(removeDirRecursively(tmp.path() + QStringLiteral("/never")));
    }

    void removeDirOfOnlySubfoldersSucceeds()
    {
        QTemporaryDir tmp;
        const QString dir = tmp.path() + QStringLiteral("/only");
        QVERIFY(QDir().mkpath(dir + QStringLiteral("/a/b")));
        QVERIFY(removeDirRecursively(dir));
        QVERIFY(!QFileInfo::exists(dir));
        QVERIFY(QFileInfo(tmp.path()).isDir());
    }

    void freeSpaceOfMissingFolderUsesNearestExisting()
    {
        QTemporaryDir tmp;
        const qint64 here = freeDiskSpace(tmp.path());
        QVERIFY(here > 0);
        QVERIFY(freeDiskSpace(tmp.path() + QStringLiteral("/not/yet/made")) > 0);
        QCOMPARE(freeDiskSpace(QString()), qint64(-1));
    }

    void formatSize_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0 byte(s)";
        QTest::newRow("500") << qint64(500) << "500.0 byte(s)";
        QTest::newRow("1023") << qint64(1023) << "1023.0 byte(s)";
        QTest::newRow("1024") << qint64(1024) << "1.0 KB";
        QTest::newRow("1536") << qint64(1536) << "1.5 KB";
        QTest::newRow("1048575") << qint64(1048575) << "1024.0 KB";
        QTest::newRow("gib") << qint64(1073741824) << "1.0 GB";
        QTest::newRow("negative") << qint64(-5) << "-5 byte(s)";
        QTest::newRow("2 PiB stays TB") << (qint64(2) << 50) << "2048.0 TB";
    }
    void formatSize()
    {
        QFETCH(qint64, size);
        QFETCH(QString, text);
        QCOMPARE(::formatSize(size), text);
    }

    void sanitize()
    {
        QCOMPARE(sanitizeFileName(QStringLiteral("News: 20:15 / Sport")), QStringLiteral("News_ 20_15 _ Sport"));
        QCOMPARE(sanitizeFileName(QStringLiteral("a\\b*c?d\"e<f>g|h")), QStringLiteral("a_b_c_d_e_f_g_h"));
    }

    void safeReceiverName_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("safe");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("dot") << "."
                             << "";
        QTest::newRow("dotdot") << ".."
                                << "";
        QTest::newRow("dotdot with control") << QStringLiteral(".\u0001.") << "";
        QTest::newRow("separators") << "a/b\\c"
                                    << "a_b_c";
        QTest::newRow("star kept safe") << "Crime*Special.ts"
                                        << "Crime_Special.ts";
        QTest::newRow("controls") << QStringLiteral("A\tB\nC\u007fD") << "ABCD";
        QTest::newRow("plain") << QStringLiteral("Caf\u00e9.ts") << QStringLiteral("Caf\u00e9.ts");
    }
    void safeReceiverName()
    {
        QFETCH(QString, raw);
        QFETCH(QString, safe);
        QCOMPARE(::safeReceiverName(raw), safe);
    }

    void pathInside_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("tail");
        QTest::newRow("plain") << "a/b"
                               << "/a/b";
        QTest::newRow("backslashes") << "\\Movies\\2010"
                                     << "/Movies/2010";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("dot") << "./a"
                             << "/a";
        QTest::newRow("escape") << "a/../../x"
                                << "ESCAPE";
        QTest::newRow("dotdot") << ".."
                                << "ESCAPE";
        QTest::newRow("too deep") << QString(QStringLiteral("d/").repeated(70)) << "ESCAPE";
    }
    void pathInside()
    {
        QFETCH(QString, relative);
        QFETCH(QString, tail);
        QTemporaryDir tmp;
        const QString root = QDir(tmp.path()).absolutePath();
        const QString got = ::pathInside(tmp.path(), relative);
        if (tail == QLatin1String("ESCAPE"))
            QVERIFY(got.isEmpty());
        else
            QCOMPARE(got, root + tail);
    }
};

OMBRELAY_TEST_MAIN(TestFileHelpers)
#include "tst_filehelpers.moc"
