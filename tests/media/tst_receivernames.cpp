#include "testmain.h"

#include "mediapagetest.h"

// Receiver names no PC can take, copied to the PC among others: a folder ".", a file "..\..\etc", a folder
// with a control character, a name that cleaning alone would make hidden. Each is named and left out, the
// rest of the batch arrives, and nothing lands hidden where the PC pane does not show it.
class TestReceiverNames : public MediaPageTest
{
    Q_OBJECT

    // hdd/Odd as the receiver lists it: readme.txt, zz.txt, ".", "..\..\etc", "c<1>d", " .x"
    QModelIndex oddFolder()
    {
        r->file("hdd/Odd/readme.txt", "readme");
        r->file("hdd/Odd/zz.txt", "zz");
        r->file("hdd/Odd/dot/sub.txt", "sub");
        r->file("hdd/Odd/up.txt", "secret");
        r->file("hdd/Odd/c\x01"
                "d/in.txt",
                "in");
        r->file("hdd/Odd/space.txt", "space");
        r->file("hdd/etc", "outside");
        openPage(true);
        r->media->listAs("hdd/Odd/dot", ".");
        r->media->listAs("hdd/Odd/up.txt", "..\\..\\etc");
        r->media->listAs("hdd/Odd/space.txt", " .x");
        return oddListed();
    }
    QModelIndex oddListed()
    {
        const QModelIndex odd = device("hdd/Odd");
        ZBDeviceFileSystemModel *m = page->deviceModel();
        if (odd.isValid() && m->canFetchMore(odd))
            m->fetchMore(odd);
        if (!QTest::qWaitFor([&] { return !m->isFetching() && m->rowCount(odd) == 6; }))
            return {};
        return odd;
    }
    // The receiver folder at path once it lists count rows.
    QModelIndex listedFolder(const QString &path, int count)
    {
        const QModelIndex folder = device(path);
        ZBDeviceFileSystemModel *m = page->deviceModel();
        if (folder.isValid() && m->canFetchMore(folder))
            m->fetchMore(folder);
        if (!QTest::qWaitFor([&] { return !m->isFetching() && m->rowCount(folder) == count; }))
            return {};
        return folder;
    }
    QModelIndexList children(const QModelIndex &folder)
    {
        QModelIndexList rows;
        for (int i = 0; i < page->deviceModel()->rowCount(folder); ++i)
            rows << page->deviceModel()->index(i, 0, folder);
        return rows;
    }

private slots:
    void cleanup()
    {
        if (page)
            closePage();
    }

    void leftOutAndNamed_data()
    {
        QTest::addColumn<bool>("whole");          // the folder itself selected, else all its entries
        QTest::addColumn<QStringList>("arrived"); // below the PC folder
        QTest::addColumn<QStringList>("named");
        QTest::newRow("entries selected")
            << false << QStringList{"readme.txt", "zz.txt"} << QStringList{".", ".._.._etc", "cd", " .x"};
        QTest::newRow("the folder") << true << QStringList{"Odd", "Odd/readme.txt", "Odd/zz.txt"}
                                    << QStringList{".", ".._.._etc", "in.txt", "cd", " .x"};
    }
    void leftOutAndNamed()
    {
        QFETCH(bool, whole);
        QFETCH(QStringList, arrived);
        QFETCH(QStringList, named);
        newReceiver();
        const QModelIndex odd = oddFolder();
        QVERIFY(odd.isValid());
        QStringList shown;
        for (const QModelIndex &row : children(odd))
            shown << row.data().toString();
        shown.sort();
        QCOMPARE(shown, (QStringList{" .x", ".", ".._.._etc", "cd", "readme.txt", "zz.txt"}));
        // twice, the second after the first ended (and the tree was listed again): the same outcome
        for (const char *folder : {"first", "second"}) {
            const QString target = pc.filePath(folder);
            QVERIFY(QDir().mkpath(target));
            QTRY_VERIFY(pcIndex(target).isValid());
            boxTexts.clear();
            const QModelIndex source = oddListed();
            QVERIFY(source.isValid());
            paste(page->tvZbDeviceFolders, whole ? QModelIndexList{source} : children(source), page->tvPcFolders,
                  pcIndex(target));
            QVERIFY2(tree(target) == arrived, qPrintable(tree(target).join(',') + " | " + boxTexts.join(" | ")));
            QCOMPARE(read(target + (whole ? "/Odd/readme.txt" : "/readme.txt")), QByteArray("readme"));
            QCOMPARE(boxTexts.size(), 1);
            QVERIFY2(boxTexts.first().startsWith("Ombrelay could not copy these files:\n"),
                     qPrintable(boxTexts.first()));
            QStringList said = boxTexts.first().section(u'\n', 1).split(u'\n');
            said.sort();
            named.sort();
            QCOMPARE(said, named);
        }
        // nothing outside the folders chosen
        QCOMPARE(tree(pc.path()).filter(QRegularExpression("^(?!first|second)")), QStringList());
    }

    // A folder whose name the PC cannot send back as the receiver holds it (a NUL inside it, bytes that are no
    // UTF-8): expanded in the tree it is said not to open, and copied inside its folder it is named; neither
    // asks the receiver for it under an altered name, and the rest of the tree and of the copy goes on.
    void unaddressableFolder_data()
    {
        QTest::addColumn<QByteArray>("listed"); // the receiver's name for the folder "sub"
        QTest::addColumn<QString>("shown");
        QTest::newRow("NUL") << QByteArray("s\0ub", 4) << "sub";
        QTest::newRow("no UTF-8") << QByteArray("s\xe9ub") << QString::fromUtf8("s\uFFFDub");
    }
    void unaddressableFolder()
    {
        QFETCH(QByteArray, listed);
        QFETCH(QString, shown);
        newReceiver();
        r->file("hdd/Top/Sel/sub/in.ts", "in");
        r->file("hdd/Top/Sel/ok.ts", "ok");
        r->file("hdd/Top/Other/o.ts", "o");
        openPage(true);
        r->media->listAs("hdd/Top/Sel/sub", listed);
        const QModelIndex sel = listedFolder("hdd/Top/Sel", 2);
        QVERIFY(sel.isValid());
        QModelIndex bad;
        for (const QModelIndex &row : children(sel))
            if (row.data().toString() == shown)
                bad = row;
        QVERIFY(bad.isValid());
        // as the user opens it: each folder on the way, then it
        QModelIndexList way;
        for (QModelIndex at = bad; at.isValid(); at = at.parent())
            way.prepend(at);
        for (const QModelIndex &at : way)
            page->tvZbDeviceFolders->expand(at);
        QTRY_COMPARE(boxTexts, QStringList{"Ombrelay cannot open the folder " + shown +
                                           ": its name on the receiver cannot be used to ask for it."});
        QVERIFY(listedFolder("hdd/Top/Other", 1).isValid());
        QCOMPARE(page->deviceModel()->rowCount(bad), 0);
        // The folder holding it, copied: it is named, what it holds is not asked for.
        boxTexts.clear();
        const QString dl = pc.filePath("dl");
        QVERIFY(QDir().mkpath(dl));
        QTRY_VERIFY(pcIndex(dl).isValid());
        paste(page->tvZbDeviceFolders, {listedFolder("hdd/Top/Sel", 2)}, page->tvPcFolders, pcIndex(dl));
        QCOMPARE(tree(dl), (QStringList{"Sel", "Sel/ok.ts"}));
        QCOMPARE(boxTexts, QStringList{"Ombrelay could not copy these files:\n" + shown});
        for (const QString &name : {shown, QString::fromUtf8(listed)})
            QCOMPARE(r->media->listingsOf("hdd\\Top\\Sel\\" + name), 0);
        QCOMPARE(read(r->root.filePath("hdd/Top/Sel/sub/in.ts")), QByteArray("in"));
    }

    // A name the PC cannot ask for again (a NUL inside it, bytes that are no UTF-8) selected before other
    // entries: it is named as not copied and the rest arrives, byte for byte, selected alone or in its folder.
    void unaddressableNameAmongOthers_data()
    {
        QTest::addColumn<QByteArray>("listed"); // the receiver's name for bad.ts
        QTest::addColumn<QString>("named");     // how the message names it
        QTest::addColumn<bool>("whole");        // the folder selected, else its entries
        QTest::addColumn<bool>("cut");
        const QByteArray nul("b\0ad.ts", 7);
        const QByteArray latin1("b\xe9"
                                "ad.ts");
        QTest::newRow("NUL, entries") << nul << "bad.ts" << false << false;
        QTest::newRow("NUL, entries cut") << nul << "bad.ts" << false << true;
        QTest::newRow("no UTF-8, entries") << latin1 << QString::fromUtf8("b\uFFFDad.ts") << false << false;
        QTest::newRow("no UTF-8, entries cut") << latin1 << QString::fromUtf8("b\uFFFDad.ts") << false << true;
        // gone from the receiver between its listing and the copy
        QTest::newRow("gone, entries") << QByteArray() << "bad.ts" << false << false;
        QTest::newRow("gone, entries cut") << QByteArray() << "bad.ts" << false << true;
        QTest::newRow("NUL, the folder") << nul << "bad.ts" << true << false;
        QTest::newRow("no UTF-8, the folder") << latin1 << QString::fromUtf8("b\uFFFDad.ts") << true << false;
    }
    void unaddressableNameAmongOthers()
    {
        QFETCH(QByteArray, listed);
        QFETCH(QString, named);
        QFETCH(bool, whole);
        QFETCH(bool, cut);
        newReceiver();
        const QString longName = QString(200, u'n') + ".txt"; // 204 bytes
        const QDateTime date(QDate(2026, 3, 4), QTime(21, 5), Qt::UTC);
        r->file("hdd/Sel/bad.ts", "bad");
        // a second entry the receiver knows under that very name: it must not come instead
        r->file("hdd/Sel/b", "other");
        r->file("hdd/Sel/" + longName, QByteArray(70000, 'L'));
        openPage(true);
        r->media->addRecording("hdd\\Sel", {7, 2, "One", date, {{0, "ts", QByteArray(90000, '1')}}});
        r->media->addRecording("hdd\\Sel", {8, 2, "Two", date, {{0, "ts", "two"}}});
        if (!listed.isEmpty())
            r->media->listAs("hdd/Sel/bad.ts", listed);
        const QModelIndex folder = listedFolder("hdd/Sel", 5);
        QVERIFY(folder.isValid());
        QModelIndexList rows;
        QModelIndex bad;
        for (const QModelIndex &row : children(folder))
            if (row.data().toString() == named)
                bad = row;
        QVERIFY(bad.isValid());
        rows << bad;
        for (const QModelIndex &row : children(folder))
            if (row != bad && row.data().toString() != "b")
                rows << row;
        QCOMPARE(rows.size(), 4);
        if (listed.isEmpty())
            QVERIFY(QFile::remove(r->root.filePath("hdd/Sel/bad.ts")));
        const QString target = pc.filePath("dl");
        QVERIFY(QDir().mkpath(target));
        QTRY_VERIFY(pcIndex(target).isValid());
        paste(page->tvZbDeviceFolders, whole ? QModelIndexList{folder} : rows, page->tvPcFolders, pcIndex(target), cut);
        const QString into = whole ? target + "/Sel/" : target + "/";
        const QString one = "04-03-2026 21_05 One", two = "04-03-2026 21_05 Two";
        QCOMPARE(read(into + longName), QByteArray(70000, 'L'));
        QCOMPARE(read(into + one + "/" + one + ".ts"), QByteArray(90000, '1'));
        QCOMPARE(read(into + two + "/" + two + ".ts"), QByteArray("two"));
        QVERIFY2(!QFileInfo::exists(into + "b") || whole, "the entry named b came in place of the other");
        if (whole)
            QCOMPARE(read(into + "b"), QByteArray("other"));
        QCOMPARE(boxTexts, QStringList{"Ombrelay could not copy these files:\n" + named});
        // what was not copied stays on the receiver; a cut keeps it on the clipboard
        if (!listed.isEmpty())
            QCOMPARE(read(r->root.filePath("hdd/Sel/bad.ts")), QByteArray("bad"));
        if (cut) {
            QVERIFY(!QFileInfo::exists(r->root.filePath("hdd/Sel/" + longName)));
            QVERIFY(clipboardHas("text/zbdevice-uri-list"));
            const QStringList lines =
                QString::fromUtf8(QGuiApplication::clipboard()->mimeData()->data("text/zbdevice-uri-list"))
                    .split("\r\n", Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), 1);
            QVERIFY2(lines.first().startsWith("file:///hdd\\Sel\\" + named), qPrintable(lines.first()));
        }
        // the page goes on as ever: the next copy works
        boxTexts.clear();
        QVERIFY(QDir().mkpath(pc.filePath("next")));
        QTRY_VERIFY(pcIndex(pc.filePath("next")).isValid());
        QModelIndex other;
        for (const QModelIndex &row : children(listedFolder("hdd/Sel", 5 - (cut ? 3 : 0) - (listed.isEmpty() ? 1 : 0))))
            if (row.data().toString() == "b")
                other = row;
        QVERIFY(other.isValid());
        paste(page->tvZbDeviceFolders, {other}, page->tvPcFolders, pcIndex(pc.filePath("next")));
        QCOMPARE(read(pc.filePath("next/b")), QByteArray("other"));
        QCOMPARE(boxTexts, QStringList());
    }
};

OMBRELAY_TEST_MAIN(TestReceiverNames)
#include "tst_receivernames.moc"
