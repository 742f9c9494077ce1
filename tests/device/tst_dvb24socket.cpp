#include "testmain.h"

#include "device/protocol/dvb24communicationexception.h"
#include "device/protocol/dvb24communicationexceptionmessages.h"
#include "device/protocol/dvb24socket.h"

#include <QLoggingCategory>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

// Every message of the running test, as "category: text".
QStringList logged;
void keepMessage(QtMsgType, const QMessageLogContext &context, const QString &text)
{
    logged << QString::fromLatin1(context.category) + QStringLiteral(": ") + text;
}

// The exception code of what a call throws; 0 when it throws nothing.
template<typename Call> int thrownCode(Call call)
{
    try {
        call();
    } catch (const DVB24CommunicationException &e) {
        return e.code();
    }
    return 0;
}

} // namespace

// The byte primitives over a real loopback connection whose far end the test drives, the reply
// buffer, and the error texts.
class TestDvb24Socket : public QObject
{
    Q_OBJECT
    QTcpServer server;
    QTcpSocket *client = nullptr;
    QTcpSocket *peer = nullptr;
    Dvb24Socket primitives;

    void send(const QByteArray &bytes)
    {
        peer->write(bytes);
        QVERIFY(peer->waitForBytesWritten(2000));
    }

private slots:
    void init()
    {
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        client = new QTcpSocket;
        client->connectToHost(QHostAddress::LocalHost, server.serverPort());
        QVERIFY(client->waitForConnected(2000) && server.waitForNewConnection(2000));
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

    // A read that the connection cuts short says so.
    void partialReads()
    {
        send(QByteArray::fromHex("01000000") + "abcd");
        bool ok = false;
        QCOMPARE(primitives.readUInt32(&ok), 1u);
        QVERIFY(ok);
        QCOMPARE(primitives.readBytes(10, &ok), QByteArray("abcd"));
        QVERIFY(!ok);
        QCOMPARE(primitives.readByte(&ok), char(0));
        QVERIFY(!ok);
    }

    // A failed read writes nothing to the terminal unless the socket traces are turned on.
    void failuresTraceOnlyWhenAsked_data()
    {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<bool>("traced");
        QTest::newRow("default") << QString() << false;
        QTest::newRow("all debug on") << QStringLiteral("*.debug=true\nqt.*.debug=false") << true;
        QTest::newRow("socket traces on") << QStringLiteral("ombrelay.device.socket.debug=true") << true;
    }
    void failuresTraceOnlyWhenAsked()
    {
        QFETCH(QString, rules);
        QFETCH(bool, traced);
        QLoggingCategory::setFilterRules(rules);
        logged.clear();
        const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
        bool ok = true;
        primitives.readByte(&ok);
        primitives.setSocket(nullptr);
        primitives.write(QByteArray("x"), true, &ok);
        primitives.setSocket(client);
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QString());
        QVERIFY(!ok);
        if (traced) {
            QVERIFY(logged.contains(QStringLiteral("ombrelay.device.socket: read/write error")));
            QCOMPARE(logged.filter(QStringLiteral("ombrelay.device.socket: ")), logged);
        } else {
            QCOMPARE(logged, QStringList());
        }
    }

    // A truncated number is an error and consumes nothing.
    void replyBuffer()
    {
        ProtocolBuffer buffer(QByteArray::fromHex("0001020903"));
        QCOMPARE(buffer.at(5), char(-1));
        QCOMPARE(buffer.readBigEndian(0), quint64(0));
        QCOMPARE(buffer.readBigEndian(3), quint64(258));
        QCOMPARE(buffer.readUInt16(), quint16(0x0903));
        QCOMPARE(thrownCode([&buffer] { buffer.readUInt8(); }), -1);
        buffer.assign(QByteArray::fromHex("0102"));
        QCOMPARE(thrownCode([&buffer] { buffer.readBigEndian(4); }), -1);
        QCOMPARE(buffer.take(5), QByteArray::fromHex("0102"));
    }

    // Status bytes become codes, codes become the receiver's error texts.
    void messages_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("busy") << 0xFC << "Device is busy now. Please try again later.";
        QTest::newRow("not found") << 0xFD << "Not found";
        QTest::newRow("pending") << 0xF9 << "Action pending";
        QTest::newRow("handle") << 0xF7 << "Out Of Handle";
        QTest::newRow("-5") << 0xFB << "Unknown exception";
        QTest::newRow("two") << 0x02 << "Unknown exception";
        // clang-format on
    }
    void messages()
    {
        QFETCH(int, status);
        QFETCH(QString, text);
        const int code = DVB24CommunicationException(char(status)).code();
        QCOMPARE(code, qint8(status));
        QCOMPARE(DVB24CommunicationExceptionMessages::message(code), text);
    }
};

OMBRELAY_TEST_MAIN(TestDvb24Socket)
#include "tst_dvb24socket.moc"
