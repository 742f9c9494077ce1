#include "testmain.h"

#include "emulatorlink.h"
#include "emulatorsession.h"
#include "receiverlists.h"

#include "device/transfers/listtransfer.h"
#include "document/docitem.h"

#include <QDeadlineTimer>
#include <QDomDocument>
#include <QIODevice>
#include <QTcpSocket>
#include <QTextStream>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace {
QByteArray lst(const QByteArray &text)
{
    return "LST" + EmulatorSession::le32(quint32(text.size())) + text;
}
// The first element named tag in an XML text, written on its own; empty when there is none.
QString firstElement(const QByteArray &xml, const QString &tag)
{
    QDomDocument doc;
    if (!doc.setContent(xml))
        return QStringLiteral("unparsable");
    QString text;
    QTextStream stream(&text);
    doc.elementsByTagName(tag).item(0).save(stream, 0);
    stream.flush();
    return text;
}
// What a list document holds for the receiver: every entry of its first "items" and the references of
// each list of its first "lists", each as the document writes a single element.
QStringList listContent(const QByteArray &xml, const QString &entryName)
{
    QDomDocument doc;
    if (!doc.setContent(xml))
        return {QStringLiteral("unparsable")};
    QStringList content;
    const QDomElement root = doc.documentElement();
    const QDomNodeList entries =
        root.elementsByTagName(QStringLiteral("items")).item(0).toElement().elementsByTagName(entryName);
    for (int i = 0; i < entries.size(); ++i)
        content << DocItem(entries.item(i).toElement()).toString();
    const QDomNodeList lists =
        root.elementsByTagName(QStringLiteral("lists")).item(0).toElement().elementsByTagName(QStringLiteral("list"));
    for (int l = 0; l < lists.size(); ++l) {
        content << QStringLiteral("list %1").arg(l);
        const QDomNodeList refs = lists.item(l).toElement().elementsByTagName(QStringLiteral("ref"));
        for (int r = 0; r < refs.size(); ++r)
            content << DocItem(refs.item(r).toElement()).toString();
    }
    return content;
}
QByteArray element(const QByteArray &name, int n)
{
    // As the list document writes a single item: indented one blank inside its list.
    return " <" + name + " n=\"" + QByteArray::number(n) + "\"/>\n";
}
// A link's socket through which the first write of the command byte also cancels the transfer, as a cancel
// that comes just as the command went does.
class CancelAsTheCommandGoes : public QIODevice
{
public:
    CancelAsTheCommandGoes(QTcpSocket &socket, std::atomic_bool &interrupt, char command)
        : socket(socket)
        , interrupt(interrupt)
        , command(command)
    {
        open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return socket.bytesAvailable(); }
    qint64 bytesToWrite() const override { return socket.bytesToWrite(); }
    bool waitForReadyRead(int ms) override { return socket.waitForReadyRead(ms); }
    bool waitForBytesWritten(int ms) override { return socket.waitForBytesWritten(ms); }

protected:
    qint64 readData(char *data, qint64 max) override { return socket.read(data, max); }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 written = socket.write(data, size);
        if (!cancelled && size == 1 && data[0] == command) {
            cancelled = true;
            interrupt = true;
        }
        return written;
    }

private:
    QTcpSocket &socket;
    std::atomic_bool &interrupt;
    const char command;
    bool cancelled = false;
};

// A link's socket that sets the cancel as a given message is written, as a cancel that comes just as that
// message goes.
class CancelAsItGoes : public QIODevice
{
public:
    CancelAsItGoes(QTcpSocket &socket, std::atomic_bool &interrupt, const QByteArray &message)
        : socket(socket)
        , interrupt(interrupt)
        , message(message)
    {
        open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return socket.bytesAvailable(); }
    qint64 bytesToWrite() const override { return socket.bytesToWrite(); }
    bool waitForReadyRead(int ms) override { return socket.waitForReadyRead(ms); }
    bool waitForBytesWritten(int ms) override { return socket.waitForBytesWritten(ms); }

protected:
    qint64 readData(char *data, qint64 max) override { return socket.read(data, max); }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 written = socket.write(data, size);
        if (QByteArray::fromRawData(data, size) == message)
            interrupt = true;
        return written;
    }

private:
    QTcpSocket &socket;
    std::atomic_bool &interrupt;
    const QByteArray message;
};

} // namespace

class TestListTransfer : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<EmulatorLink> e;

    static QByteArray document(int entries, const QList<int> &refsPerList, const QByteArray &entry = "radioService")
    {
        QByteArray doc = "<TDocument><documentProperties a=\"1\"/><items>";
        for (int i = 0; i < entries; ++i)
            doc += "<" + entry + " n=\"" + QByteArray::number(i) + "\"/>";
        doc += "</items><lists>";
        for (int l = 0; l < refsPerList.size(); ++l) {
            doc += "<list name=\"fav\">";
            for (int r = 0; r < refsPerList.at(l); ++r)
                doc += "<ref n=\"" + QByteArray::number(r) + "\"/>";
            doc += "</list>";
        }
        return doc + "</lists></TDocument>";
    }
    ListTransfer transfer()
    {
        ListTransfer t(*e->link);
        t.settleMs = 0;
        return t;
    }
    // Cancels the transfer under way once ready() holds, and calls release() once the transfer has taken the
    // cancel in (it clears the flag). A transfer that never takes it in is let go after a while, so that a
    // failure shows as one.
    std::thread cancelThenRelease(std::function<bool()> ready, std::function<void()> release)
    {
        return std::thread([this, ready, release] {
            QDeadlineTimer deadline(20000);
            while (!ready() && !deadline.hasExpired())
                QThread::msleep(5);
            e->interrupt = true;
            while (e->interrupt && !deadline.hasExpired())
                QThread::msleep(5);
            release();
        });
    }
    // The receiver's link list replaced by another: the next download brings that one, whole.
    void nextDownloadBringsTheNewList(ReceiverLists &lists)
    {
        const QByteArray second = "<TDocument><items><link n=\"2\"/></items><lists/></TDocument>";
        lists.setDocument(QStringLiteral("link"), second);
        QString secondResult;
        QCOMPARE(transfer().download(QStringLiteral("link"), &secondResult), ListTransfer::Completed);
        QCOMPARE(secondResult, QString::fromUtf8(second));
    }

private slots:
    void init()
    {
        e = std::make_unique<EmulatorLink>();
        QVERIFY(e->open(1500));
    }
    void cleanup() { e.reset(); }

    void downloadChunksOtherTagsAndSplitTags_data()
    {
        QTest::addColumn<bool>("split");
        QTest::addColumn<QByteArray>("extra");
        QTest::newRow("plain") << false << QByteArray();
        QTest::newRow("other tag before each chunk") << false << QByteArray("XTRA");
        QTest::newRow("tags arrive in pieces") << true << QByteArray();
    }
    void downloadChunksOtherTagsAndSplitTags()
    {
        QFETCH(bool, split);
        QFETCH(QByteArray, extra);
        QByteArray doc;
        for (int i = 0; i < 300; ++i)
            doc += char('a' + i % 26);
        e->commands->listDocument = doc;
        e->commands->listChunk = 1; // percent repeats: reported once each
        e->commands->splitTags = split;
        e->commands->listExtraTag = extra;
        e->link->setInactivityLimit(5000);
        QString result;
        QCOMPARE(transfer().download(QStringLiteral("radio"), &result), ListTransfer::Completed);
        QCOMPARE(result.toUtf8(), doc);
        QCOMPARE(e->commands->listAnswers(), 300);
        QCOMPARE(e->reports.count(QStringLiteral("progress:100/100")), 1);
        QCOMPARE(e->reports.filter(QStringLiteral("progress:")).size(), 101);
        QCOMPARE(e->emulator.received(), QByteArray("\x20") + QByteArray(300, '\x55'));
    }

    void refusalsAndFailures_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("reply");
        QTest::addColumn<QString>("text");
        const QString later = QStringLiteral(" Please try again later.");
        const QString busy = QStringLiteral("Device is busy now.") + later;
        // clang-format off
        QTest::newRow("download recording") << "download" << 0xAB << QStringLiteral("Device is recording programme.") + later;
        QTest::newRow("download busy") << "download" << 0xAC << busy;
        QTest::newRow("download other") << "download" << 0x01 << QStringLiteral("Error during downloading. ") + busy;
        QTest::newRow("upload recording") << "upload" << 0xAB << QStringLiteral("Device is recording programme.") + later;
        QTest::newRow("upload other") << "upload" << 0x00 << QStringLiteral("Error during uploading. ") + busy;
        // clang-format on
    }
    void refusalsAndFailures()
    {
        QFETCH(QString, mode);
        QFETCH(int, reply);
        QFETCH(QString, text);
        e->commands->listReply = reply;
        QString result = QStringLiteral("untouched");
        const ListTransfer::Outcome outcome =
            mode == QLatin1String("download") ? transfer().download(QStringLiteral("tv"), &result)
                                              : transfer().upload(QStringLiteral("tv"), document(1, {}, "tvService"));
        QVERIFY(outcome == ListTransfer::Refused || outcome == ListTransfer::Failed);
        QCOMPARE(e->reports, QStringList{QStringLiteral("error:") + text});
        QCOMPARE(result, QStringLiteral("untouched"));
    }

    void failsBeforeSendingAnything_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("upload");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("unknown download type") << "TV" << false << QByteArray();
        QTest::newRow("unknown upload type") << "sat" << true << document(0, {});
        QTest::newRow("unparsable payload") << "tv" << true << QByteArray("<TDocument><items>");
        // Broken only past many entries: the receiver must not be sent the part before the fault.
        QTest::newRow("payload cut at its end") << "tv" << true << document(40, {12}, "tvService").chopped(4);
        QTest::newRow("payload crossed in its last list")
            << "tv" << true << document(40, {12, 3}, "tvService").replace("</list></lists>", "</lists></list>");
    }
    void failsBeforeSendingAnything()
    {
        QFETCH(QString, type);
        QFETCH(bool, upload);
        QFETCH(QByteArray, payload);
        QString result;
        QCOMPARE(upload ? transfer().upload(type, payload) : transfer().download(type, &result), ListTransfer::Failed);
        QCOMPARE(e->reports.size(), 1);
        QTest::qWait(50);
        QVERIFY(e->emulator.received().isEmpty());
    }

    void silentReceiverFailsAfterInactivity()
    {
        e->commands->silentAfter = 0;
        e->link->setInactivityLimit(300);
        QString result;
        QCOMPARE(transfer().download(QStringLiteral("link"), &result), ListTransfer::Failed);
        QVERIFY(result.isEmpty());
    }

    void radioUploadExample()
    {
        QCOMPARE(transfer().upload(QStringLiteral("radio"), document(0, {0})), ListTransfer::Completed);
        QCOMPARE(e->reports, QStringList({"status:Sending lists...", "progress:100/1"}));
        QCOMPARE(e->emulator.received(), QByteArray("\x23") + lst("<lists>") + lst("<list id=\"0\">") + lst("</list>") +
                                             lst("</lists>") + "CMP");
    }

    void uploadBatches_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("refs");
        QTest::addColumn<QList<int>>("pst");
        QTest::addColumn<QList<int>>("refMessages");
        QTest::newRow("4 entries, 12 refs") << 4 << 12 << QList<int>{3, 1} << QList<int>{11, 1};
        QTest::newRow("3 entries, 11 refs") << 3 << 11 << QList<int>{3} << QList<int>{11};
        QTest::newRow("none") << 0 << 0 << QList<int>{} << QList<int>{};
    }
    void uploadBatches()
    {
        QFETCH(int, entries);
        QFETCH(int, refs);
        QFETCH(QList<int>, pst);
        QFETCH(QList<int>, refMessages);
        QCOMPARE(transfer().upload(QStringLiteral("tv"), document(entries, {refs}, "tvService")),
                 ListTransfer::Completed);
        const QList<QByteArray> messages = e->commands->uploadMessages();
        QList<int> gotPst, gotRefs;
        for (const QByteArray &m : messages) {
            if (m.startsWith("PST"))
                gotPst << int(m.count("<tvService"));
            else if (m.startsWith("LST") && m.contains("<ref"))
                gotRefs << int(m.count("<ref"));
        }
        QCOMPARE(gotPst, pst);
        QCOMPARE(gotRefs, refMessages);
        QCOMPARE(messages.last(), QByteArray("CMP"));
        if (entries == 4)
            QCOMPARE(messages.first(),
                     "PST" + element("tvService", 0) + element("tvService", 1) + element("tvService", 2));
        // Progress stays within 100.
        for (const QString &r : e->reports.filter(QStringLiteral("progress:")))
            QVERIFY2(r.section(u':', 1).section(u'/', 0, 0).toInt() <= 100, qPrintable(r));
    }

    // A service reaches the receiver as the list document holds it: id, EPG mark, name, provider,
    // genres, locks and tuning, escaped and UTF-8 encoded; the receiver reads it back whole.
    void serviceTravelsWhole_data()
    {
        QTest::addColumn<QByteArray>("service");
        QTest::newRow("full service") << QByteArray(
            "<tvService id=\"12\" epgMarked=\"1\"><name>Kanal 1</name><provider>P</provider>"
            "<genres>News;Sport</genres><parentLock>1</parentLock><childrenLock>1;3</childrenLock>"
            "<details><config type=\"satellite\"><sid>28006</sid><satellite position=\"192\"/>"
            "</config></details></tvService>");
        QTest::newRow("escaped, not ASCII")
            << QByteArray("<tvService id=\"3\" epgMarked=\"0\"><name>Kana\xc5\x82 &amp; &lt;Z&gt; \xc3\x9c</name>"
                          "<genres/><parentLock>0</parentLock><childrenLock/></tvService>");
    }
    void serviceTravelsWhole()
    {
        QFETCH(QByteArray, service);
        const auto lists = ReceiverLists::install(e->emulator);
        const QByteArray doc = "<TDocument><items>" + service + "<tvService id=\"13\"><name>B</name></tvService>" +
                               "</items><lists><list><ref>12</ref></list></lists></TDocument>";
        QCOMPARE(transfer().upload(QStringLiteral("tv"), doc), ListTransfer::Completed);
        const QString sent = firstElement(service, QStringLiteral("tvService"));
        QCOMPARE(firstElement(lists->document(QStringLiteral("tv")), QStringLiteral("tvService")), sent);
        // On the wire: the entries as the document writes single items, the length in UTF-8 bytes.
        QDomDocument parsed;
        QVERIFY(parsed.setContent(doc));
        const QDomNodeList entries = parsed.elementsByTagName(QStringLiteral("tvService"));
        const QByteArray texts =
            (DocItem(entries.item(0).toElement()).toString() + DocItem(entries.item(1).toElement()).toString())
                .toUtf8();
        QVERIFY(e->emulator.received().contains("PST" + EmulatorSession::le32(quint32(texts.size())) + texts));
        QString downloaded;
        QCOMPARE(transfer().download(QStringLiteral("tv"), &downloaded), ListTransfer::Completed);
        QCOMPARE(firstElement(downloaded.toUtf8(), QStringLiteral("tvService")), sent);
    }

    // A list of each kind arrives whole: the receiver's document holds the same entries and references,
    // written the same, as the document that was sent, and a download brings them back.
    void receiverHoldsTheSentList_data()
    {
        QTest::addColumn<QString>("listType");
        QTest::addColumn<QString>("entryName");
        QTest::addColumn<QByteArray>("items");
        QByteArray tv;
        for (int i = 0; i < 8; ++i)
            tv += "\n  <tvService id=\"" + QByteArray::number(i) + "\" epgMarked=\"" + QByteArray::number(i % 2) +
                  "\">\n   <name>Kana\xc5\x82 " + QByteArray::number(i) +
                  " &amp; &lt;Z&gt; \xc3\x9c</name>\n   <genres>News;Sport</genres>\n   <parentLock>1</parentLock>"
                  "\n   <childrenLock>1;3</childrenLock>\n  </tvService>";
        QTest::newRow("tv") << "tv"
                            << "tvService" << tv;
        QTest::newRow("radio") << "radio"
                               << "radioService"
                               << QByteArray(
                                      "<radioService id=\"1\" epgMarked=\"0\"><name>R \xc3\xa9 &quot;1&quot;</name>"
                                      "<genres/></radioService><radioService id=\"2\"/>");
        QTest::newRow("link") << "link"
                              << "link"
                              << "<link id=\"1\"><name>L</name><url>http://example.invalid/a?b=1&amp;c=%20%26</url>"
                                 "</link><link id=\"2\"><url>http://example.invalid/" +
                                     QByteArray(4096, 'u') + "?x=%41&amp;y</url></link>";
    }
    void receiverHoldsTheSentList()
    {
        QFETCH(QString, listType);
        QFETCH(QString, entryName);
        QFETCH(QByteArray, items);
        const auto lists = ReceiverLists::install(e->emulator);
        QByteArray favourites = "<lists>";
        for (int refs : {0, 11, 12}) {
            favourites += "<list name=\"F\">";
            for (int r = 0; r < refs; ++r)
                favourites += "<ref>" + QByteArray::number(r) + "</ref>";
            favourites += "</list>";
        }
        const QByteArray sent = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TDocument><documentProperties/><items>" +
                                items + "\n </items>" + favourites + "</lists></TDocument>";
        QCOMPARE(transfer().upload(listType, sent), ListTransfer::Completed);
        QCOMPARE(lists->uploads(), 1);
        const QStringList expected = listContent(sent, entryName);
        QVERIFY(expected.size() > 3 + 23);
        QCOMPARE(listContent(lists->document(listType), entryName), expected);
        QString downloaded;
        QCOMPARE(transfer().download(listType, &downloaded), ListTransfer::Completed);
        QCOMPARE(listContent(downloaded.toUtf8(), entryName), expected);
    }

    // Entries that are not whole elements are refused by the receiver, which keeps its list.
    void brokenEntriesAreRefused()
    {
        const auto lists = ReceiverLists::install(e->emulator);
        const QByteArray before = "<TDocument><items/><lists/></TDocument>";
        lists->setDocument(QStringLiteral("tv"), before);
        const QByteArray broken = "<tvService id=\"1\">";
        QVERIFY(e->link->write(QByteArray(1, '\x22')));
        QCOMPARE(e->link->readByte(2000), 0xAA);
        QVERIFY(e->link->write("PST" + EmulatorSession::le32(quint32(broken.size())) + broken));
        QCOMPARE(e->link->readByte(2000), 0xAC);
        QVERIFY(e->link->write("CMP"));
        QCOMPARE(e->link->readByte(2000), 0xAC);
        QCOMPARE(lists->uploads(), 0);
        QCOMPARE(lists->document(QStringLiteral("tv")), before);
    }

    void abortsTellTheReceiver_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("download cancelled") << "download";
        QTest::newRow("upload cancelled") << "upload";
        QTest::newRow("upload message refused") << "refused";
    }
    void abortsTellTheReceiver()
    {
        QFETCH(QString, how);
        e->commands->listDocument = QByteArray(50, 'x');
        e->commands->listChunk = 10;
        e->commands->refuseMessage = how == QLatin1String("refused") ? 1 : -1;
        if (how != QLatin1String("refused"))
            e->link->progress = [this](int, int) { e->interrupt = true; };
        QString result;
        if (how == QLatin1String("download")) {
            QCOMPARE(transfer().download(QStringLiteral("tv"), &result), ListTransfer::Canceled);
            QVERIFY(result.isEmpty());
            QTRY_COMPARE(e->emulator.received(), QByteArray("\x19\x55\xFA"));
            return;
        }
        QCOMPARE(transfer().upload(QStringLiteral("tv"), document(6, {2}, "tvService")),
                 how == QLatin1String("refused") ? ListTransfer::Failed : ListTransfer::Canceled);
        QTRY_COMPARE(e->commands->uploadMessages().size(), how == QLatin1String("refused") ? 3 : 2);
        QCOMPARE(e->commands->uploadMessages().last(), QByteArray("CNL"));
    }

    // A download cancelled while the receiver still holds back its answer, the receiver answering only
    // after the cancel: its late answer and chunk are answered with the abort and never read as the
    // answer to the next download, which brings the receiver's list.
    void downloadCancelledBeforeTheAnswerLeavesTheLinkInStep()
    {
        const auto lists = ReceiverLists::install(e->emulator);
        lists->setDocument(QStringLiteral("link"), "<TDocument><items/><lists/></TDocument>" + QByteArray(9000, ' '));
        lists->setHold(true);
        // The cancel comes once the command is there; the hold ends once the transfer has taken the cancel
        // in, so the answer comes after it.
        std::thread canceller =
            cancelThenRelease([&] { return e->emulator.received().contains('\x21'); }, [&] { lists->setHold(false); });
        QString result;
        const ListTransfer::Outcome first = transfer().download(QStringLiteral("link"), &result);
        canceller.join();
        QCOMPARE(first, ListTransfer::Canceled);
        QVERIFY(result.isEmpty());
        nextDownloadBringsTheNewList(*lists);
        QVERIFY(e->emulator.received().startsWith("\x21\xFA\x21"));
        QCOMPARE(e->errors, QStringList());
    }

    // A download cancelled while a chunk is half received (the receiver sends its first half, then the rest
    // once the transfer has taken the cancel in): the rest is awaited and answered with the abort, none of it
    // is left to be read as the answer to the next download, and that one brings the receiver's list.
    void downloadCancelledInAHalfReceivedChunk()
    {
        const auto lists = ReceiverLists::install(e->emulator);
        // three chunks of 4096 bytes; the second is held in the middle
        lists->setDocument(QStringLiteral("link"),
                           "<TDocument><items><link n=\"1\"/></items><lists/></TDocument>" + QByteArray(9000, ' '));
        lists->setHeldChunkTail(1);
        std::thread canceller =
            cancelThenRelease([&] { return lists->isChunkTailHeld(); }, [&] { lists->releaseChunkTail(); });
        QString result;
        const ListTransfer::Outcome first = transfer().download(QStringLiteral("link"), &result);
        // the transfer waited for the rest of the chunk before it ended
        const bool tailWasSent = !lists->isChunkTailHeld() && lists->chunkTailsReleased() == 1;
        canceller.join();
        QCOMPARE(first, ListTransfer::Canceled);
        QVERIFY(result.isEmpty());
        nextDownloadBringsTheNewList(*lists);
        QVERIFY(tailWasSent);
        // the first chunk answered, the second with the abort, then the next download
        QVERIFY2(e->emulator.received().startsWith("\x21\x55\xFA\x21"), e->emulator.received().toHex().constData());
        QCOMPARE(e->errors, QStringList());
    }

    // A download cancelled just as its command went: the receiver took the command all the same, and its
    // answer and chunk are closed with the abort, never read as the answer to the next download.
    void downloadCancelledAsItsCommandWent()
    {
        const auto lists = ReceiverLists::install(e->emulator);
        lists->setDocument(QStringLiteral("link"), "<TDocument><items><link n=\"1\"/></items><lists/></TDocument>");
        CancelAsTheCommandGoes device(e->socket, e->interrupt, '\x21');
        TransferLink link(&device, &e->interrupt);
        ListTransfer cancelled(link);
        QString result;
        QCOMPARE(cancelled.download(QStringLiteral("link"), &result), ListTransfer::Canceled);
        QVERIFY(result.isEmpty());
        e->interrupt = false; // as the worker clears it for its next task
        nextDownloadBringsTheNewList(*lists);
        QVERIFY2(e->emulator.received().startsWith("\x21\xFA\x21"), e->emulator.received().toHex().constData());
        QCOMPARE(e->errors, QStringList());
    }

    // The same for an upload: a receiver that took the command waits for the list, and would read the next
    // request as part of it. The exchange is closed as a cancel closes it, and the next request is answered.
    void uploadCancelledAsItsCommandWent()
    {
        const auto lists = ReceiverLists::install(e->emulator);
        lists->setDocument(QStringLiteral("link"), "<TDocument><items><link n=\"1\"/></items><lists/></TDocument>");
        CancelAsTheCommandGoes device(e->socket, e->interrupt, '\x24');
        TransferLink link(&device, &e->interrupt);
        ListTransfer cancelled(link);
        QCOMPARE(cancelled.upload(QStringLiteral("link"), document(3, {3}, "link")), ListTransfer::Canceled);
        e->interrupt = false; // as the worker clears it for its next task
        nextDownloadBringsTheNewList(*lists);
        QVERIFY2(e->emulator.received().startsWith("\x24"
                                                   "CNL\x21"),
                 e->emulator.received().toHex().constData());
        QCOMPARE(lists->uploads(), 0);
        QCOMPARE(e->errors, QStringList());
    }

    // A cancel that comes as the closing message of an upload goes: the receiver takes the lists whole and says
    // so, and that answer is read. The lists were sent, the transfer completes and the connection stays.
    void uploadCancelledAsItsClosingMessageGoes()
    {
        const auto lists = ReceiverLists::install(e->emulator);
        const QByteArray sent = document(4, {2}, "link");
        CancelAsItGoes device(e->socket, e->interrupt, "CMP");
        TransferLink link(&device, &e->interrupt);
        link.error = e->link->error;
        ListTransfer cancelled(link);
        cancelled.settleMs = 0;
        QCOMPARE(cancelled.upload(QStringLiteral("link"), sent), ListTransfer::Completed);
        QVERIFY(e->interrupt.load());
        QCOMPARE(e->errors, QStringList());
        QVERIFY(link.isOpen());
        QCOMPARE(lists->uploads(), 1);
        QCOMPARE(listContent(lists->document(QStringLiteral("link")), QStringLiteral("link")),
                 listContent(sent, QStringLiteral("link")));
        e->interrupt = false; // as the worker clears it for its next task
        nextDownloadBringsTheNewList(*lists);
    }

    // A download cancelled while the receiver has not yet answered, and cancelled again while the transfer waits
    // for that answer: the second cancel changes nothing of the first. The late answer and its chunk are read
    // and closed with the abort, and the next download brings the receiver's list.
    void downloadCancelledTwiceBeforeTheAnswer()
    {
        const auto lists = ReceiverLists::install(e->emulator);
        lists->setDocument(QStringLiteral("link"), "<TDocument><items/><lists/></TDocument>" + QByteArray(9000, ' '));
        lists->setHold(true);
        std::atomic_bool returned{false};
        std::thread canceller([&] {
            QDeadlineTimer deadline(20000);
            while (!e->emulator.received().contains('\x21') && !deadline.hasExpired())
                QThread::msleep(5);
            e->interrupt = true;
            // taken in: the transfer waits on for the answer
            while (e->interrupt && !deadline.hasExpired())
                QThread::msleep(5);
            e->interrupt = true;
            // The answer comes once the transfer gave up its wait, or after a while in which it waited on.
            QDeadlineTimer waitedOn(1000);
            while (!returned && !waitedOn.hasExpired())
                QThread::msleep(5);
            lists->setHold(false);
        });
        QString result;
        const ListTransfer::Outcome first = transfer().download(QStringLiteral("link"), &result);
        returned = true;
        canceller.join();
        QCOMPARE(first, ListTransfer::Canceled);
        QVERIFY(result.isEmpty());
        e->interrupt = false; // as the worker clears it for its next task
        nextDownloadBringsTheNewList(*lists);
        QVERIFY2(e->emulator.received().startsWith("\x21\xFA\x21"), e->emulator.received().toHex().constData());
        QCOMPARE(e->errors, QStringList());
        QVERIFY(e->link->isOpen());
    }

    // A receiver that lets the wait for an answer pass in silence, at the list command or in the middle of an
    // upload: the transfer gives the connection up and names the failure as its loss, never as a busy
    // receiver; an upload tells the receiver to drop what it took first.
    void silenceIsALostConnection_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("answered"); // messages answered; -1: not even the command
        QTest::newRow("download command") << "download" << -1;
        QTest::newRow("upload command") << "send" << -1;
        QTest::newRow("upload message") << "send" << 1;
    }
    void silenceIsALostConnection()
    {
        QFETCH(QString, mode);
        QFETCH(int, answered);
        const auto lists = ReceiverLists::install(e->emulator);
        lists->setDocument(QStringLiteral("tv"), document(2, {2}, "tvService"));
        e->emulator.setSilent(answered < 0);
        lists->setSilentAfterMessages(answered);
        QString result;
        const ListTransfer::Outcome outcome =
            mode == QLatin1String("download") ? transfer().download(QStringLiteral("tv"), &result)
                                              : transfer().upload(QStringLiteral("tv"), document(9, {9}, "tvService"));
        QCOMPARE(outcome, ListTransfer::Failed);
        QCOMPARE(e->errors, QStringList{ListTransfer::lostConnectionText(mode)});
        QVERIFY(!e->link->isOpen());
        QVERIFY(result.isEmpty());
        QCOMPARE(lists->uploads(), 0);
        if (answered >= 0)
            QTRY_VERIFY(e->emulator.received().endsWith("CNL"));
    }
};

OMBRELAY_TEST_MAIN(TestListTransfer)
#include "tst_listtransfer.moc"
