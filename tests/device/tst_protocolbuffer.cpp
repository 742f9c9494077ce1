#include "testmain.h"

#include "device/protocol/dvb24communicationexception.h"
#include "device/protocol/dvb24communicationexceptionmessages.h"
#include "device/protocol/protocolbuffer.h"

#include <QTranslator>

namespace {

// Answers every text of the error context with a marked copy, so the test sees what got translated.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "DVB24CommunicationExceptionMessages") != 0)
            return QString();
        return QStringLiteral("[") + QString::fromLatin1(sourceText) + QStringLiteral("]");
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class TestProtocolBuffer : public QObject
{
    Q_OBJECT
private slots:
    void atAndTake()
    {
        ProtocolBuffer buffer(QByteArray("\x01\x02\x03", 3));
        QCOMPARE(buffer.at(3), char(-1));
        QCOMPARE(buffer.at(-1), char(-1));
        QCOMPARE(buffer.at(1), char(2));
        QCOMPARE(buffer.size(), 3);
        QCOMPARE(buffer.take(5), QByteArray("\x01\x02\x03", 3));
        QVERIFY(buffer.isEmpty());
        buffer.assign("xy");
        QCOMPARE(buffer.take(0), QByteArray());
        QCOMPARE(buffer.bytes(), QByteArray("xy"));
    }

    void readBigEndian()
    {
        ProtocolBuffer buffer(QByteArray("\x00\x01\x02\x09", 4));
        QCOMPARE(buffer.readBigEndian(0), quint64(0));
        QCOMPARE(buffer.size(), 4);
        QCOMPARE(buffer.readBigEndian(3), quint64(258));
        QCOMPARE(buffer.bytes(), QByteArray("\x09"));
        buffer.assign(QByteArray::fromHex("0102030405060708"));
        QCOMPARE(buffer.readBigEndian(8), quint64(0x0102030405060708ULL));
        buffer.assign(QByteArray::fromHex("FF"));
        QCOMPARE(buffer.readUInt8(), quint8(0xFF));
        buffer.assign(QByteArray::fromHex("0102"));
        QCOMPARE(buffer.readUInt16(), quint16(258));
    }

    void truncatedNumberIsAnError()
    {
        ProtocolBuffer buffer(QByteArray::fromHex("0102"));
        int code = 0;
        try {
            buffer.readBigEndian(4);
        } catch (const DVB24CommunicationException &e) {
            code = e.code();
        }
        QCOMPARE(code, -1);
        QCOMPARE(buffer.size(), 2);
        ProtocolBuffer empty;
        code = 0;
        try {
            empty.readUInt8();
        } catch (const DVB24CommunicationException &e) {
            code = e.code();
        }
        QCOMPARE(code, -1);
    }

    void readString_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("marker");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("left");
        QTest::newRow("stops at nul") << QByteArray("ab\0cdef", 7) << 5 << 0 << "ab" << QByteArray("ef");
        QTest::newRow("underscore marker") << QByteArray("_xy") << 3 << 0x5F << "xy" << QByteArray();
        QTest::newRow("low marker latin1")
            << QByteArray("\x05xy") << 3 << 0x05 << QString::fromLatin1("\x05xy") << QByteArray();
        QTest::newRow("to last nul") << QByteArray("ab\0cd\0e", 7) << -1 << 0 << "ab" << QByteArray("\0e", 2);
        QTest::newRow("no nul") << QByteArray("abc") << -1 << 0 << "" << QByteArray("abc");
        QTest::newRow("utf8") << QByteArray("\xc3\xa4!") << 3 << 0 << QString::fromUtf8("\xc3\xa4!") << QByteArray();
        QTest::newRow("latin1 byte") << QByteArray("\xe4") << 1 << 0x20 << QString(QChar(0xE4)) << QByteArray();
    }
    void readString()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, length);
        QFETCH(int, marker);
        QFETCH(QString, text);
        QFETCH(QByteArray, left);
        ProtocolBuffer buffer(bytes);
        QCOMPARE(buffer.readString(length, quint8(marker)), text);
        QCOMPARE(buffer.bytes(), left);
    }

    void exceptionCodes()
    {
        QCOMPARE(DVB24CommunicationException().code(), 0);
        QCOMPARE(DVB24CommunicationException(char(0xF7)).code(), -9);
        QCOMPARE(DVB24CommunicationException(char(0x01)).code(), 1);
        QCOMPARE(DVB24CommunicationException(char(0x7F)).code(), 127);
        QCOMPARE(DVB24CommunicationException(char(0xFC)).code(), -4);
    }

    void messages_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("ok") << 1 << "OK";
        QTest::newRow("general") << -1 << "Genereal Error (STB)";
        QTest::newRow("unknown command") << -2 << "Command unknown";
        QTest::newRow("not found") << -3 << "Not found";
        QTest::newRow("busy") << -4 << "Device is busy now. Please try again later.";
        QTest::newRow("abort") << -6 << "User Abort";
        QTest::newRow("pending") << -7 << "Action pending";
        QTest::newRow("eof") << -8 << "End Of File (STB)";
        QTest::newRow("handle") << -9 << "Out Of Handle";
        QTest::newRow("zero") << 0 << "Unknown exception";
        QTest::newRow("minus five") << -5 << "Unknown exception";
        QTest::newRow("two") << 2 << "Unknown exception";
        QTest::newRow("minus ten") << -10 << "Unknown exception";
    }
    void messages()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(DVB24CommunicationExceptionMessages::message(code), text);
    }

    void busyTextIsTwoTranslatedSentences()
    {
        MarkingTranslator translator;
        QCoreApplication::installTranslator(&translator);
        const QString text = DVB24CommunicationExceptionMessages::message(-4);
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(text, QStringLiteral("[Device is busy now.] [Please try again later.]"));
    }
};

OMBRELAY_TEST_MAIN(TestProtocolBuffer)
#include "tst_protocolbuffer.moc"
