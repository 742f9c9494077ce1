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
};

OMBRELAY_TEST_MAIN(TestReceiverNames)
#include "tst_receivernames.moc"
