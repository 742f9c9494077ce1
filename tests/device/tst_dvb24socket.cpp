#include "testmain.h"

#include "device/protocol/dvb24communicationexception.h"
#include "device/protocol/dvb24socket.h"

#include <QTcpServer>
#include <QTcpSocket>

// The primitives over a real loopback connection; the far end is driven by the test itself.
class TestDvb24Socket : public QObject
{
    Q_OBJECT
private:
    QTcpServer server;
    QTcpSocket *client = nullptr;
    QTcpSocket *peer = nullptr;
    Dvb24Socket primitives;

    void send(const QByteArray &bytes)
    {
        peer->write(bytes);
        QVERIFY(peer->waitForBytesWritten(2000));
    }
    QByteArray arrived(int n)
    {
        QByteArray bytes;
        while (bytes.size() < n && (peer->bytesAvailable() > 0 || peer->waitForReadyRead(2000)))
            bytes += peer->read(n - bytes.size());
        return bytes;
    }

private slots:
    void init()
    {
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        client = new QTcpSocket;
        client->connectToHost(QHostAddress::LocalHost, server.serverPort());
        QVERIFY(client->waitForConnected(2000));
        QVERIFY(server.waitForNewConnection(2000));
        peer = server.nextPendingConnection();
        primitives = Dvb24Socket();
        primitives.setSocket(client);
        primitives.readTimeoutMs = 150;
    }
    void cleanup()
    {
        delete client;
        delete peer;
        server.close();
    }

    void littleEndianWords()
    {
        send(QByteArray::fromHex("0100000000000001"));
        bool ok = false;
        QCOMPARE(primitives.readUInt32(&ok), 1u);
        QVERIFY(ok);
        QCOMPARE(primitives.readUInt32(&ok), 1u << 24);
        QVERIFY(ok);
        primitives.writeUInt32(1, true, &ok);
        QVERIFY(ok);
        QCOMPARE(arrived(4), QByteArray::fromHex("01000000"));
        primitives.write(QByteArray("abc"), true, &ok);
        primitives.writeByte(char(0x55), true, &ok);
        QCOMPARE(arrived(4), QByteArray("abc\x55"));
    }

    void bigEndianNumbers()
    {
        send(QByteArray::fromHex("01020102030405060708"));
        QCOMPARE(primitives.readUIntBE(2), quint64(258));
        QCOMPARE(primitives.readUIntBE(8), quint64(0x0102030405060708ULL));
        for (qint8 width : {qint8(0), qint8(9)}) {
            int code = 0;
            try {
                primitives.readUIntBE(width);
            } catch (const DVB24CommunicationException &e) {
                code = e.code();
            }
            QCOMPARE(code, -9);
        }
    }

    void partialReads()
    {
        bool ok = false;
        QCOMPARE(primitives.read(0, &ok), QByteArray());
        QVERIFY(ok);
        QCOMPARE(primitives.readBytes(-3, &ok), QByteArray());
        QVERIFY(ok);
        send("abcd");
        QCOMPARE(primitives.readBytes(10, &ok), QByteArray("abcd"));
        QVERIFY(!ok);
        ok = true;
        QCOMPARE(primitives.readByte(&ok), char(0));
        QVERIFY(!ok);
        send(QByteArray::fromHex("07"));
        QCOMPARE(primitives.readByte(&ok), char(7));
        QVERIFY(ok);
    }

    void requestReturnsWhatArrived()
    {
        QCOMPARE(primitives.bytesAvailable(), qint64(0));
        primitives.discardPending();
        send("xy");
        QVERIFY(client->waitForReadyRead(2000));
        // Stale input is what dropBuffered takes away without waiting.
        primitives.dropBuffered();
        QCOMPARE(primitives.bytesAvailable(), qint64(0));

        peer->write("\x01"
                    "rest");
        peer->flush();
        const ProtocolBuffer reply = primitives.request(QByteArray("\x26", 1));
        QCOMPARE(arrived(1), QByteArray("\x26"));
        QCOMPARE(reply.bytes(), QByteArray("\x01"
                                           "rest"));
    }

    void requestWithoutConnectionSendsNothing()
    {
        Dvb24Socket none;
        QVERIFY(none.request(char(1)).isEmpty());
        client->abort();
        QVERIFY(primitives.request(char(1)).isEmpty());
        QVERIFY(!peer->waitForReadyRead(100));
    }
};

OMBRELAY_TEST_MAIN(TestDvb24Socket)
#include "tst_dvb24socket.moc"
