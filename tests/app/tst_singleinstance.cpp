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

    static QByteArray frame(const QByteArray &payload, quint32 length)
    {
        QByteArray bytes(4, '\0');
        qToBigEndian<quint32>(length, bytes.data());
        return bytes + payload;
    }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        // A fresh channel per test function: nothing left from the one before can answer.
        name = dir.filePath(QStringLiteral("instance-%1").arg(++serial));
    }

    void firstStartBecomesTheRunningInstance()
    {
        SingleInstance first(name);
        QVERIFY(!first.isListening());
        QVERIFY(!first.sendMessage(QStringLiteral("/tmp/a.tvqvxc"), 500));
        QVERIFY(first.isListening());
    }

    void laterStartHandsItsTextOver_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("path") << "/home/u/Lists/Zimmer 1.tvqvxc";
        QTest::newRow("empty") << "";
        QTest::newRow("not latin-1") << "/home/u/Łódź/Sender ÄÖÜ.rdqvx";
    }
    void laterStartHandsItsTextOver()
    {
        QFETCH(QString, text);
        SingleInstance first(name);
        QVERIFY(!first.sendMessage(QString(), 500));
        QSignalSpy received(&first, &SingleInstance::messageReceived);

        // The later start blocks in sendMessage; the running instance answers from its event loop,
        // so the sender runs in a thread of its own here.
        bool delivered = false;
        std::unique_ptr<QThread> sender(QThread::create([&] {
            SingleInstance second(name);
            delivered = second.sendMessage(text, 5000);
        }));
        sender->start();
        QTRY_COMPARE(received.count(), 1);
        QTRY_VERIFY(sender->isFinished());
        QVERIFY(delivered);
        QCOMPARE(received.at(0).at(0).toString(), text);
    }

    void staleChannelIsTakenOver()
    {
        // What an instance that died leaves behind: the socket file with nobody listening.
        {
            QFile leftover(name);
            QVERIFY(leftover.open(QIODevice::WriteOnly));
        }
        SingleInstance first(name);
        QVERIFY(!first.sendMessage(QString(), 500));
        QVERIFY(first.isListening());
    }

    void hostileSendersAreDropped_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("length past the cap") << frame("x", SingleInstance::MaxMessageBytes + 1);
        QTest::newRow("huge length") << frame(QByteArray(), 0xFFFFFFFFu);
        QTest::newRow("more than announced") << frame("abcdef", 2);
    }
    void hostileSendersAreDropped()
    {
        QFETCH(QByteArray, bytes);
        SingleInstance first(name);
        QVERIFY(!first.sendMessage(QString(), 500));
        QSignalSpy received(&first, &SingleInstance::messageReceived);

        QLocalSocket raw;
        raw.connectToServer(name);
        QVERIFY(raw.waitForConnected(2000));
        raw.write(bytes);
        raw.flush();
        QTRY_COMPARE(raw.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(raw.bytesAvailable(), 0); // no acknowledgement
        QCOMPARE(received.count(), 0);

        // The channel still serves an honest sender afterwards.
        QLocalSocket honest;
        honest.connectToServer(name);
        QVERIFY(honest.waitForConnected(2000));
        honest.write(frame("/x", 2));
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("/x"));
        QTRY_VERIFY(honest.bytesAvailable() > 0 || honest.state() == QLocalSocket::UnconnectedState);
        QCOMPARE(honest.read(1), QByteArray(1, 0x06));
    }

    void messageInPiecesIsAssembled()
    {
        SingleInstance first(name);
        QVERIFY(!first.sendMessage(QString(), 500));
        QSignalSpy received(&first, &SingleInstance::messageReceived);
        QLocalSocket raw;
        raw.connectToServer(name);
        QVERIFY(raw.waitForConnected(2000));
        const QByteArray all = frame("/home/u/list.lkqvx", 18);
        for (char c : all) {
            raw.write(&c, 1);
            raw.flush();
            QTest::qWait(1);
        }
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("/home/u/list.lkqvx"));
    }

    // A real second start of the program: it hands its file to the running instance and ends with 0.
    void secondStartOfTheProgram_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("relative");
        QTest::addColumn<bool>("exists");
        QTest::newRow("existing file") << "list one.tvqvxc" << false << true;
        QTest::newRow("relative path") << "list two.rdqvx" << true << true;
        QTest::newRow("missing file") << "nothing-here.tvqvxc" << false << false;
        QTest::newRow("no argument") << "" << false << false;
    }
    void secondStartOfTheProgram()
    {
        QFETCH(QString, argument);
        QFETCH(bool, relative);
        QFETCH(bool, exists);
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString absolute = argument.isEmpty() ? QString() : work.filePath(argument);
        if (exists) {
            QFile file(absolute);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }

        SingleInstance running(name);
        QVERIFY(!running.sendMessage(QString(), 500));
        QSignalSpy received(&running, &SingleInstance::messageReceived);

        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("OMBRELAY_INSTANCE_NAME"), name);
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(work.path());
        QStringList arguments;
        if (!argument.isEmpty())
            arguments << (relative ? argument : absolute) << QStringLiteral("ignored-second-argument");
        second.start(QStringLiteral(OMBRELAY_EXE), arguments);
        QVERIFY(second.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(received.at(0).at(0).toString(), exists ? absolute : QString());
    }
};

OMBRELAY_TEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
