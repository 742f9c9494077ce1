#include "testmain.h"

#include "app/singleinstance.h"

#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>

// The hand-over channel between a running instance and later starts, over real local sockets.
class TestSingleInstance : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    int serial = 0;
    QString name;
    std::unique_ptr<SingleInstance> running;

    static QByteArray frame(const QByteArray &payload, quint32 length)
    {
        QByteArray bytes(4, '\0');
        qToBigEndian<quint32>(length, bytes.data());
        return bytes + payload;
    }

private slots:
    void init()
    {
        // A fresh channel per test; a dead instance's socket file is left on it, which the first start takes over.
        name = dir.filePath(QStringLiteral("instance-%1").arg(++serial));
        QFile(name).open(QIODevice::WriteOnly);
        running = std::make_unique<SingleInstance>(name);
        QVERIFY(!running->sendMessage(QStringLiteral("/tmp/a.tvqvxc"), 500));
        QVERIFY(running->isListening());
    }
    void cleanup() { running.reset(); }

    void hostileSendersAreDropped_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("pause"); // ms between single bytes; 0: all at once
        QTest::addColumn<QString>("taken");
        QTest::newRow("byte by byte") << frame("/home/u/list.lkqvx", 18) << 1 << "/home/u/list.lkqvx";
        QTest::newRow("length past the cap") << frame("x", SingleInstance::MaxMessageBytes + 1) << 0 << "";
        QTest::newRow("huge length") << frame(QByteArray(), 0xFFFFFFFFu) << 0 << "";
        QTest::newRow("more than announced") << frame("abcdef", 2) << 0 << "";
    }
    void hostileSendersAreDropped()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, pause);
        QFETCH(QString, taken);
        QSignalSpy received(running.get(), &SingleInstance::messageReceived);
        QLocalSocket raw;
        raw.connectToServer(name);
        QVERIFY(raw.waitForConnected(2000));
        for (int i = 0; i < bytes.size(); i += pause ? 1 : bytes.size()) {
            raw.write(bytes.mid(i, pause ? 1 : -1));
            raw.flush();
            QTest::qWait(pause);
        }
        if (taken.isEmpty()) {
            QTRY_COMPARE(raw.state(), QLocalSocket::UnconnectedState);
            QCOMPARE(raw.bytesAvailable(), 0); // no acknowledgement
            QCOMPARE(received.count(), 0);
        }
        // The channel still serves an honest sender afterwards, and acknowledges.
        QLocalSocket honest;
        honest.connectToServer(name);
        QVERIFY(honest.waitForConnected(2000));
        honest.write(frame("/x", 2));
        QTRY_VERIFY(honest.bytesAvailable() > 0);
        QCOMPARE(honest.read(1), QByteArray(1, 0x06));
        QCOMPARE(received.last().first().toString(), QStringLiteral("/x"));
        if (!taken.isEmpty())
            QCOMPARE(received.first().first().toString(), taken);
    }

    // A real second start of the program hands over its file as an absolute path and ends with 0.
    void secondStartOfTheProgram_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("relative");
        QTest::addColumn<bool>("exists");
        QTest::newRow("existing file") << "list one.tvqvxc" << false << true;
        QTest::newRow("relative path") << "list two.rdqvx" << true << true;
        QTest::newRow("not latin-1") << "Łódź ÄÖÜ.rdqvx" << true << true;
        QTest::newRow("missing file") << "nothing-here.tvqvxc" << false << false;
        QTest::newRow("no argument") << "" << false << false;
    }
    void secondStartOfTheProgram()
    {
        QFETCH(QString, argument);
        QFETCH(bool, relative);
        QFETCH(bool, exists);
        QTemporaryDir work;
        const QString absolute = argument.isEmpty() ? QString() : work.filePath(argument);
        if (exists)
            QFile(absolute).open(QIODevice::WriteOnly);
        QSignalSpy received(running.get(), &SingleInstance::messageReceived);
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("OMBRELAY_INSTANCE_NAME"), name);
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(work.path());
        second.start(QStringLiteral(OMBRELAY_EXE),
                     argument.isEmpty() ? QStringList() : QStringList{relative ? argument : absolute, "ignored"});
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toString(), exists ? absolute : QString());
    }
};

OMBRELAY_TEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
