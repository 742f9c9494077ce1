#include "testmain.h"

#include "base/filehelpers.h"
#include "base/translatorloader.h"

#include <QDateTime>
#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <QTranslator>

class TestFileHelpers : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;

    // Makes the file and gives its path; a path it could not make fails the test later.
    QString touch(const QString &relative)
    {
        const QString path = tmp.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("x") == 1 ? path : QString();
    }

private slots:
    void foldersAndEntries()
    {
        const QString made = tmp.filePath(QStringLiteral("made"));
        QVERIFY(!makePath(QStringLiteral("relative/dir")));
        QVERIFY(makePath(made + QStringLiteral("/folder.ts")));
        touch(QStringLiteral("made/.hidden.ts"));
        QVERIFY(!dirHasEntries(QStringLiteral("*.ts"), made)); // only plain, shown files count
        touch(QStringLiteral("made/News.ts"));
        QVERIFY(dirHasEntries(QStringLiteral("*.ts"), made));
        // A missing folder has its nearest existing one's free space.
        QVERIFY(freeDiskSpace(made + QStringLiteral("/not/yet/made")) > 0);
        QCOMPARE(freeDiskSpace(QString()), qint64(-1));
    }

    void removeDirKeepsParentsAndLinkTargets()
    {
        const QString victim = tmp.filePath(QStringLiteral("parent/victim"));
        touch(QStringLiteral("parent/victim/sub/deep/f.bin"));
        QVERIFY(QDir().mkpath(victim + QStringLiteral("/only/folders")));
        const QString precious = touch(QStringLiteral("outside/precious.txt"));
        QVERIFY(QFile::link(tmp.filePath(QStringLiteral("outside")), victim + QStringLiteral("/link")));
        QVERIFY(removeDirRecursively(victim));
        QVERIFY(!QFileInfo::exists(victim));
        QVERIFY(QFileInfo(tmp.filePath(QStringLiteral("parent"))).isDir());
        QVERIFY(QFileInfo::exists(precious));
        QVERIFY(removeDirRecursively(tmp.filePath(QStringLiteral("never"))));
    }

    // Sizes as the tables show them; names from a receiver never leave the chosen folder.
    void texts_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected"); // for "inside": the path below the base, "ESCAPE" for none
        const auto row = [](const char *function, const QString &input, const QString &expected) {
            QTest::addRow("%s %s", function, qPrintable(input)) << function << input << expected;
        };
        row("size", "1536", "1.5 KB");
        row("size", "2251799813685248", "2048.0 TB");
        row("sanitize", "News: 20:15 / a\\b*c?d\"e<f>g|h", "News_ 20_15 _ a_b_c_d_e_f_g_h");
        for (const QString &unusable :
             {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral(".\u0001.")})
            row("safe", unusable, "");
        row("safe", "a/b\\c", "a_b_c");
        row("safe", "Crime*Special.ts", "Crime_Special.ts");
        row("safe", "A\tB\nC\u007fD", "ABCD");
        row("inside", "a/b", "/a/b");
        // Only "/" separates on the PC: colons and backslashes stay in the name.
        row("inside", "\\Movies\\2010", "/\\Movies\\2010");
        row("inside", "Shows 2024-05-01 20:15/News 20:15.ts", "/Shows 2024-05-01 20:15/News 20:15.ts");
        row("inside", "a\\..\\b", "/a\\..\\b");
        row("inside", "./a", "/a");
        row("inside", "a/../../x", "ESCAPE");
        row("inside", "..", "ESCAPE");
        row("inside", QStringLiteral("d/").repeated(70), "ESCAPE");
    }
    // Sizes and dates in the language chosen: its notation, its unit words; the same asked from a
    // worker thread (the transfers' progress texts); back in English after a switch back.
    void inTheLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("German") << "de_DE" << QStringList{"0 Byte",  "1023,0 Byte", "1,5 KB",         "1024,0 KB",
                                                          "-5 Byte", "2048,0 TB",   "07.12.26 10:00", ""};
        QTest::newRow("Polish") << "pl_PL"
                                << QStringList{"0 bajt(ów)",  "1023,0 bajt(ów)", "1,5 KB",          "1024,0 KB",
                                               "-5 bajt(ów)", "2048,0 TB",       "7.12.2026 10:00", ""};
        QTest::newRow("English again") << "en_EN"
                                       << QStringList{"0 byte(s)",  "1023.0 byte(s)", "1.5 KB",           "1024.0 KB",
                                                      "-5 byte(s)", "2048.0 TB",      "07/12/2026 10:00", ""};
    }
    void inTheLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, expected);
        QTranslator translator;
        QTranslator other; // a language before, so each row switches from somewhere else
        loadTranslator(&other, language == QLatin1String("de_DE") ? QStringLiteral("pl_PL") : QStringLiteral("de_DE"));
        loadTranslator(&other, QStringLiteral("en_EN"));
        const auto english = qScopeGuard([&] { loadTranslator(&translator, QStringLiteral("en_EN")); });
        loadTranslator(&translator, language);
        const auto shown = [] {
            QStringList out;
            for (const qint64 size :
                 {qint64(0), qint64(1023), qint64(1536), qint64(1048575), qint64(-5), qint64(2251799813685248)})
                out << formatSize(size);
            // the dates' locale, which the media explorer's views write dates in
            const QLocale locale = languageLocale();
            out << locale.toString(QDateTime(QDate(2026, 12, 7), QTime(10, 0)), QLocale::ShortFormat)
                << locale.toString(QDateTime(), QLocale::ShortFormat);
            return out;
        };
        QCOMPARE(shown(), expected);
        QStringList fromWorker;
        QThread *worker = QThread::create([&] { fromWorker = shown(); });
        worker->start();
        QVERIFY(worker->wait(10000));
        delete worker;
        QCOMPARE(fromWorker, expected);
    }

    void texts()
    {
        QFETCH(QString, function);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        if (function == QLatin1String("size"))
            QCOMPARE(formatSize(input.toLongLong()), expected);
        else if (function == QLatin1String("sanitize"))
            QCOMPARE(sanitizeFileName(input), expected);
        else if (function == QLatin1String("safe"))
            QCOMPARE(safeReceiverName(input), expected);
        else
            QCOMPARE(pathInside(tmp.path(), input),
                     expected == QLatin1String("ESCAPE") ? QString() : QDir(tmp.path()).absolutePath() + expected);
    }
};

OMBRELAY_TEST_MAIN(TestFileHelpers)
#include "tst_filehelpers.moc"
