#include "testmain.h"

#include "mediapagetest.h"

// A refusal is a refusal whatever code the receiver sends: the real page offscreen pastes a PC folder and a file
// beside it into a receiver folder where a file holds the folder's name, the receiver refusing each step with
// every code it may send.
class TestRefusalCodes : public MediaPageTest
{
    Q_OBJECT

private slots:
    void init()
    {
        newReceiver();
        r->file("hdd/FY/Y0.bin", "the receiver's");
        r->file("hdd/Movies/a.ts", "movie");
        openPage();
    }
    void cleanup() { closePage(); }

    // PC folder "Y0.bin/" (a.bin, b.txt) and a file copied or cut together into a receiver folder holding a FILE
    // "Y0.bin": the file arrives byte-exact, the folder's files are named as not copied, a cut keeps the folder
    // on the PC, and the connection takes the next request.
    void folderRefusedBesideAFile_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<bool>("fileFirst"); // the file sorted and selected before the folder, else after it
        const QList<QPair<const char *, int>> codes{
            {"0xFF general error", 0xFF}, {"0xFE", 0xFE}, {"0xFD not found", 0xFD}, {"0xFC busy", 0xFC},
            {"0xFA user abort", 0xFA},    {"0xF8", 0xF8}, {"0xF7", 0xF7},           {"0x00 unlisted", 0x00},
            {"0x02 unlisted", 0x02}};
        for (const auto &[name, code] : codes)
            for (const bool cut : {false, true})
                for (const bool fileFirst : {true, false})
                    QTest::addRow("%s, %s, file %s", name, cut ? "cut" : "copy", fileFirst ? "first" : "last")
                        << code << cut << fileFirst;
    }
    void folderRefusedBesideAFile()
    {
        QFETCH(int, code);
        QFETCH(bool, cut);
        QFETCH(bool, fileFirst);
        r->transfers->refusal = code;
        r->media->refusal = code;
        // "0ok.txt" sorts before "Y0.bin" and "zok.txt" after it, with or without case.
        const QString okName = fileFirst ? QStringLiteral("0ok.txt") : QStringLiteral("zok.txt");
        const QByteArray okBytes = "the file beside the refused folder";
        write(pc.filePath("src/Y0.bin/a.bin"), "a");
        write(pc.filePath("src/Y0.bin/b.txt"), "b");
        write(pc.filePath("src/" + okName), okBytes);
        page->btnMyComputer->click();
        const QModelIndex ok = pcIndex(pc.filePath("src/" + okName));
        const QModelIndex folder = pcIndex(pc.filePath("src/Y0.bin"));
        paste(page->tvPcFolders, fileFirst ? QModelIndexList{ok, folder} : QModelIndexList{folder, ok},
              page->tvZbDeviceFolders, device("hdd/FY"), cut);
        QCOMPARE(read(r->root.filePath("hdd/FY/" + okName)), okBytes);
        QCOMPARE(read(r->root.filePath("hdd/FY/Y0.bin")), QByteArray("the receiver's"));
        QStringList onReceiver{"Y0.bin", okName};
        onReceiver.sort();
        QCOMPARE(tree(r->root.filePath("hdd/FY")), onReceiver);
        QCOMPARE(boxTexts, QStringList{"Ombrelay could not copy these files:\na.bin\nb.txt\nY0.bin"});
        QStringList onPc{"Y0.bin", "Y0.bin/a.bin", "Y0.bin/b.txt"};
        if (!cut)
            onPc << okName;
        onPc.sort();
        QCOMPARE(tree(pc.filePath("src")), onPc);
        // The same connection lists and takes the next request.
        boxTexts.clear();
        QVERIFY(device("hdd/Movies/a.ts").isValid());
        write(pc.filePath("next.txt"), "next");
        paste(page->tvPcFolders, {pcIndex(pc.filePath("next.txt"))}, page->tvZbDeviceFolders, device("hdd/Movies"));
        QCOMPARE(read(r->root.filePath("hdd/Movies/next.txt")), QByteArray("next"));
        QCOMPARE(boxTexts, QStringList());
        QCOMPARE(r->emulator.connectionCount(), 1);
        QCOMPARE(r->emulator.unknownCommands(), 0);
        QCOMPARE(page->deviceStackedWidget->currentIndex(), 0);
    }

    // A PC folder of 100 files in nested folders copied to the receiver and cancelled on the way, the receiver
    // answering late: every exchange begun is finished, so nothing fails afterwards, the page's own listing of
    // the folder shows what arrived, and the connection stays.
    void cancelledFolderCopyLeavesThePageWorking()
    {
        for (int s = 0; s < 10; ++s)
            for (int f = 0; f < 10; ++f)
                write(pc.filePath(QStringLiteral("src/deep/s%1/a/b/f%2.bin").arg(s).arg(f)), "file");
        page->btnMyComputer->click();
        r->emulator.setAnswerDelayMs(20);
        select(page->tvPcFolders, {pcIndex(pc.filePath("src/deep"))});
        page->copyToClipboard();
        select(page->tvZbDeviceFolders, {device("hdd/Movies")});
        page->pasteFromClipboard();
        QTRY_VERIFY(r->media->makeFolderRequests() >= 5);
        page->btnCancelTransfer->click();
        QTRY_VERIFY(!page->isBusy());
        r->emulator.setAnswerDelayMs(0);
        for (const QString &text : std::as_const(boxTexts))
            QVERIFY2(!text.contains("Cannot create directory") && !text.contains("did not answer"), qPrintable(text));
        QVERIFY(QFileInfo(r->root.filePath("hdd/Movies/deep")).isDir());
        // The receiver's folder shows what arrived, listed over the same connection.
        QTRY_VERIFY(device("hdd/Movies/deep/s0").isValid());
        QVERIFY(device("hdd/Movies/a.ts").isValid());
        QCOMPARE(r->emulator.unknownCommands(), 0);
        QCOMPARE(r->emulator.connectionCount(), 1);
        QCOMPARE(page->deviceStackedWidget->currentIndex(), 0);
        // The same copy again completes, over what arrived before.
        boxTexts.clear();
        boxAnswers << "&Yes";
        select(page->tvPcFolders, {pcIndex(pc.filePath("src/deep"))});
        page->copyToClipboard();
        select(page->tvZbDeviceFolders, {device("hdd/Movies")});
        page->pasteFromClipboard();
        QTRY_VERIFY_WITH_TIMEOUT(!page->isBusy(), 30000);
        QCOMPARE(read(r->root.filePath("hdd/Movies/deep/s9/a/b/f9.bin")), QByteArray("file"));
        QCOMPARE(
            boxTexts,
            QStringList{"This folder already contains a file named deep. Would you like to replace existing file?"});
        QCOMPARE(r->emulator.connectionCount(), 1);
    }
};

OMBRELAY_TEST_MAIN(TestRefusalCodes)
#include "tst_refusalcodes.moc"
