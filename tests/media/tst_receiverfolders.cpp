#include "testmain.h"

#include "mediapagetest.h"
#include "receivertree.h"

#include <QTranslator>

// Receiver folders the receiver refuses on the way, and folders the PC cannot name to it, met by the real media
// page over the emulator: each failed step is said, asks nothing under an altered name, leaves the PC's files
// where they were, and the page goes on over the same connection.
class TestReceiverFolders : public MediaPageTest
{
    Q_OBJECT

    ZBDeviceFileSystemModel *model() { return page->deviceModel(); }
    QModelIndex row(const QModelIndex &folder, const QString &name)
    {
        return ReceiverTree::child(model(), folder, name);
    }

private slots:
    void init()
    {
        newReceiver();
        r->file("hdd/Movies/a.ts", "movie");
    }
    void cleanup() { closePage(); }

    // A folder the page lists, gone from the receiver behind its back (its own menu): a new folder in it, or
    // a delete of what it held, is refused at that level. The page says the step failed, forgets the folder it
    // noted for it (nothing lists it again), and the next steps go over the same connection.
    void refusedLevelSaysItAndThePageGoesOn_data()
    {
        QTest::addColumn<bool>("remove");
        QTest::newRow("new folder") << false;
        QTest::newRow("delete") << true;
    }
    void refusedLevelSaysItAndThePageGoesOn()
    {
        QFETCH(bool, remove);
        r->file("hdd/Movies/Gone/x.ts", "x");
        openPage();
        const QPersistentModelIndex gone = ReceiverTree::listed(model(), device("hdd/Movies/Gone"), 1);
        QVERIFY(gone.isValid());
        page->tvZbDeviceFolders->expand(gone);
        QVERIFY(QDir(r->root.filePath("hdd/Movies/Gone")).removeRecursively());
        const int listingsOfGone = r->media->listingsOf("hdd\\Movies\\Gone");
        r->emulator.clearReceived();
        if (remove) {
            boxAnswers << "&Yes";
            select(page->tvZbDeviceFolders, {row(gone, "x.ts")});
            page->deleteSelectedFiles();
        } else {
            folderName = "Made";
            select(page->tvZbDeviceFolders, {gone});
            page->onNewFolder();
        }
        QTRY_VERIFY(!page->isBusy());
        const QStringList said = remove ? QStringList{"Are you sure you want to delete x.ts?",
                                                      "Ombrelay could not delete these files:\nx.ts\r\n"}
                                        : QStringList{"Ombrelay could not create this folder"};
        QTRY_COMPARE(boxTexts, said);
        QVERIFY(!QFileInfo::exists(r->root.filePath("hdd/Movies/Gone")));
        // The request ended at the refused level: its name never followed, to be read as commands.
        QVERIFY(r->emulator.received().contains("Gone"));
        QVERIFY(!r->emulator.received().contains(remove ? "x.ts" : "Made"));
        boxTexts.clear();
        // A new folder beside it is made and shown...
        folderName = "Next";
        select(page->tvZbDeviceFolders, {device("hdd/Movies")});
        page->onNewFolder();
        QTRY_VERIFY(QFileInfo(r->root.filePath("hdd/Movies/Next")).isDir());
        QTRY_VERIFY(!page->isBusy());
        QTRY_VERIFY(!model()->isFetching());
        QTRY_VERIFY(row(device("hdd/Movies"), "Next").isValid());
        // ...and a receiver file copied to the PC arrives.
        const QString dl = pc.filePath("dl");
        QVERIFY(QDir().mkpath(dl));
        QTRY_VERIFY(pcIndex(dl).isValid());
        paste(page->tvZbDeviceFolders, {device("hdd/Movies/a.ts")}, page->tvPcFolders, pcIndex(dl));
        QCOMPARE(read(dl + "/a.ts"), QByteArray("movie"));
        QTRY_VERIFY(!model()->isFetching());
        QCOMPARE(boxTexts, QStringList());
        QCOMPARE(r->media->listingsOf("hdd\\Movies\\Gone"), listingsOfGone);
        QCOMPARE(r->emulator.connectionCount(), 1);
    }

    // A receiver folder whose name the PC cannot send back as the receiver holds it (a NUL inside it, bytes
    // that are no UTF-8): a paste or a new folder aimed into it is refused in words, in the user's language,
    // and nothing is asked of the receiver under the name the PC shows. The same into a folder it can name works.
    void unreachableFolderTakesNothing_data()
    {
        QTest::addColumn<QByteArray>("listed"); // the receiver's name for the folder "sub"
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("paste"); // else a new folder
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("said");
        const QString english =
            "Ombrelay cannot put anything into the folder %1: its name on the receiver cannot be used to ask for it.";
        const QString german = QString::fromUtf8("Ombrelay kann nichts in den Ordner %1 legen: Sein Name auf dem "
                                                 "Receiver kann nicht verwendet werden, um ihn abzufragen.");
        const QByteArray nul("s\0ub", 4);
        const QByteArray latin1("s\xe9ub");
        const QString replaced = QString::fromUtf8("s\uFFFDub");
        QTest::newRow("NUL, paste") << nul << "sub" << true << "" << english.arg("sub");
        QTest::newRow("NUL, new folder") << nul << "sub" << false << "" << english.arg("sub");
        QTest::newRow("no UTF-8, paste") << latin1 << replaced << true << "" << english.arg(replaced);
        QTest::newRow("no UTF-8, new folder") << latin1 << replaced << false << "" << english.arg(replaced);
        QTest::newRow("NUL, new folder, German") << nul << "sub" << false << "de_DE" << german.arg("sub");
        QTest::newRow("no UTF-8, paste, German") << latin1 << replaced << true << "de_DE" << german.arg(replaced);
    }
    void unreachableFolderTakesNothing()
    {
        QFETCH(QByteArray, listed);
        QFETCH(QString, shown);
        QFETCH(bool, paste);
        QFETCH(QString, language);
        QFETCH(QString, said);
        r->file("hdd/Top/Sel/sub/in.ts", "in");
        r->file("hdd/Top/Other/o.ts", "o");
        write(pc.filePath("src/p.txt"), "p");
        openPage(true);
        QTranslator translator;
        if (!language.isEmpty()) {
            QVERIFY(translator.load(QStringLiteral(":/translations/Resources/MUI/%1.qm").arg(language)));
            QVERIFY(QCoreApplication::installTranslator(&translator));
        }
        r->media->listAs("hdd/Top/Sel/sub", listed);
        const QModelIndex bad = row(ReceiverTree::listed(model(), device("hdd/Top/Sel"), 1), shown);
        QVERIFY(bad.isValid());
        const QStringList before = tree(r->root.filePath("hdd"));
        const auto into = [&](const QModelIndex &folder) {
            if (paste) {
                page->btnMyComputer->click();
                QTRY_VERIFY(pcIndex(pc.filePath("src/p.txt")).isValid());
                MediaPageTest::paste(page->tvPcFolders, {pcIndex(pc.filePath("src/p.txt"))}, page->tvZbDeviceFolders,
                                     folder);
            } else {
                folderName = "Made";
                select(page->tvZbDeviceFolders, {folder});
                page->onNewFolder();
                QTRY_VERIFY(!page->isBusy());
            }
        };
        r->emulator.clearReceived();
        into(bad);
        QCOMPARE(boxTexts, QStringList{said});
        QCOMPARE(tree(r->root.filePath("hdd")), before);
        QCOMPARE(r->media->makeFolderRequests(), 0);
        QVERIFY2(!r->emulator.received().contains("Sel"), r->emulator.received().toHex().constData());
        QCOMPARE(read(pc.filePath("src/p.txt")), QByteArray("p"));
        if (!language.isEmpty())
            QCoreApplication::removeTranslator(&translator);
        // The page goes on: the same into a folder it can name.
        boxTexts.clear();
        into(device("hdd/Top/Other"));
        if (paste)
            QTRY_COMPARE(read(r->root.filePath("hdd/Top/Other/p.txt")), QByteArray("p"));
        else
            QTRY_VERIFY(QFileInfo(r->root.filePath("hdd/Top/Other/Made")).isDir());
        QTRY_VERIFY(!page->isBusy());
        QCOMPARE(boxTexts, QStringList());
        QCOMPARE(read(r->root.filePath("hdd/Top/Sel/sub/in.ts")), QByteArray("in"));
    }

    // A PC folder uploaded where the receiver holds a file under the name of a folder inside it: every entry
    // below that name (the folder chains deeper down among them) is refused on its way. Each is named as not
    // copied, the rest of the job arrives, a cut keeps on the PC all that did not arrive, the receiver's file
    // stays, and the next paste goes over the same connection.
    void refusedDeeperChainInUpload_data()
    {
        QTest::addColumn<bool>("cut");
        QTest::newRow("copy") << false;
        QTest::newRow("cut") << true;
    }
    void refusedDeeperChainInUpload()
    {
        QFETCH(bool, cut);
        r->file("hdd/Movies/F/sub", "the receiver's");
        const QString folder = pc.filePath("src/F");
        write(folder + "/a.txt", "a");
        write(folder + "/sub/b.txt", "b");
        write(folder + "/sub/deep/c.txt", "c");
        write(folder + "/sub/deep/er/d.txt", "d");
        write(folder + "/z.txt", "z");
        write(pc.filePath("src/ok.txt"), "ok");
        openPage();
        const QStringList before = tree(pc.filePath("src"));
        page->btnMyComputer->click();
        QTRY_VERIFY(pcIndex(folder).isValid());
        boxAnswers << "&Yes"; // F is there on the receiver: its contents go into it
        paste(page->tvPcFolders, {pcIndex(folder)}, page->tvZbDeviceFolders, device("hdd/Movies"), cut);
        QCOMPARE(tree(r->root.filePath("hdd/Movies")), (QStringList{"F", "F/a.txt", "F/sub", "F/z.txt", "a.ts"}));
        QCOMPARE(read(r->root.filePath("hdd/Movies/F/sub")), QByteArray("the receiver's"));
        QCOMPARE(read(r->root.filePath("hdd/Movies/F/z.txt")), QByteArray("z"));
        QCOMPARE(boxTexts.size(), 2);
        QVERIFY2(boxTexts.last().startsWith("Ombrelay could not copy these files:\n"), qPrintable(boxTexts.last()));
        QStringList named = boxTexts.last().section(u'\n', 1).split(u'\n');
        named.sort();
        QCOMPARE(named, (QStringList{"b.txt", "c.txt", "d.txt", "deep", "er", "sub"}));
        // What did not arrive stays on the PC, a cut too; only what arrived is gone from there.
        QStringList stayed = before;
        if (cut)
            for (const QString &moved : {"F/a.txt", "F/z.txt"})
                stayed.removeOne(moved);
        QCOMPARE(tree(pc.filePath("src")), stayed);
        QCOMPARE(read(folder + "/sub/deep/er/d.txt"), QByteArray("d"));
        // The next paste goes over the same connection.
        boxTexts.clear();
        paste(page->tvPcFolders, {pcIndex(pc.filePath("src/ok.txt"))}, page->tvZbDeviceFolders, device("hdd/Movies"));
        QCOMPARE(read(r->root.filePath("hdd/Movies/ok.txt")), QByteArray("ok"));
        QCOMPARE(boxTexts, QStringList());
        QCOMPARE(r->emulator.connectionCount(), 1);
    }
};

OMBRELAY_TEST_MAIN(TestReceiverFolders)
#include "tst_receiverfolders.moc"
