#include "testmain.h"

#include "app/singleinstance.h"

#include <QDeadlineTimer>
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

    // Reads the holder's output until it has said line; every line read so far stays in said.
    static bool waitForLine(QProcess &holder, QByteArray &said, const QByteArray &line)
    {
        QDeadlineTimer deadline(30000); // room for a slow machine under the sanitizers
        while (!said.split('\n').contains(line)) {
            if (deadline.hasExpired() || holder.state() == QProcess::NotRunning)
                return false;
            holder.waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 1000)));
            said += holder.readAllStandardOutput();
        }
        return true;
    }

    // A running instance in a process of its own on channel, serving it once this returns true.
    static bool startHolder(QProcess &holder, QByteArray &said, const QString &channel)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("OMBRELAY_INSTANCE_NAME"), channel);
        holder.setProcessEnvironment(env);
        holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        holder.start(QStringLiteral(OMBRELAY_INSTANCE_HOLDER));
        return waitForLine(holder, said, "listening");
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

    // A gated instance takes a message only while its gate is open; otherwise it answers with a refusal at
    // once, also once the gate's owner is gone, and nothing is received.
    void gateRefusesAtOnce()
    {
        auto owner = std::make_unique<QObject>();
        bool open = false;
        running->setGate(owner.get(), [&open] { return open; });
        QSignalSpy received(running.get(), &SingleInstance::messageReceived);
        const auto answer = [this] {
            QLocalSocket sender;
            sender.connectToServer(name);
            if (!sender.waitForConnected(2000))
                return QByteArray("not connected");
            sender.write(frame("/z", 2));
            if (!QTest::qWaitFor([&sender] { return sender.bytesAvailable() > 0; }, 30000))
                return QByteArray("no answer");
            return sender.read(1);
        };
        QCOMPARE(answer(), QByteArray(1, 0x15));
        QCOMPARE(received.count(), 0);
        open = true;
        QCOMPARE(answer(), QByteArray(1, 0x06));
        QTRY_COMPARE(received.count(), 1);
        owner.reset();
        QCOMPARE(answer(), QByteArray(1, 0x15));
        QCOMPARE(received.count(), 1);
    }

    // The first instance is busy past the hand-over deadline (a long paste): the second start opens on
    // its own but leaves the first its channel, so later starts reach the first again once it is free,
    // also after the second has ended, and the file the second opened is not opened by the first too.
    void busyInstanceKeepsItsChannel()
    {
        const QString channel = name + QStringLiteral("-busy");
        QProcess holder;
        QByteArray said;
        QVERIFY(startHolder(holder, said, channel));
        holder.write("block\n");
        QVERIFY(waitForLine(holder, said, "blocked"));

        auto second = std::make_unique<SingleInstance>(channel);
        QVERIFY(!second->sendMessage(QStringLiteral("/work/c2.tvqvx"), 1500));
        QVERIFY(!second->isListening());
        QVERIFY(QFile::exists(channel));

        holder.write("go\n");
        QVERIFY(waitForLine(holder, said, "going"));
        SingleInstance third(channel);
        QVERIFY(third.sendMessage(QStringLiteral("/work/L1.lkqvx"), 5000));
        QVERIFY(!third.isListening());
        QVERIFY(waitForLine(holder, said, "received:/work/L1.lkqvx"));

        second.reset(); // the second window closes
        SingleInstance fourth(channel);
        QVERIFY(fourth.sendMessage(QStringLiteral("/work/L2.lkqvx"), 5000));
        QVERIFY(waitForLine(holder, said, "received:/work/L2.lkqvx"));
        QVERIFY2(!said.contains("c2.tvqvx"), said.constData());

        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(30000));
        QCOMPARE(holder.exitCode(), 0);
        QVERIFY(!QFile::exists(channel)); // an instance that ends cleanly takes its socket file along
    }

    // An instance killed outright leaves its socket file; the next start takes the channel over and
    // serves later starts.
    void killedInstanceChannelIsTakenOver()
    {
        const QString channel = name + QStringLiteral("-killed");
        QProcess holder;
        QByteArray said;
        QVERIFY(startHolder(holder, said, channel));
        holder.kill();
        QVERIFY(holder.waitForFinished(30000));
        QCOMPARE(holder.exitStatus(), QProcess::CrashExit);
        QVERIFY(QFile::exists(channel));

        SingleInstance next(channel);
        QSignalSpy received(&next, &SingleInstance::messageReceived);
        QVERIFY(!next.sendMessage(QString(), 2000));
        QVERIFY(next.isListening());
        QLocalSocket later;
        later.connectToServer(channel);
        QVERIFY(later.waitForConnected(2000));
        later.write(frame("/y", 2));
        QTRY_VERIFY(later.bytesAvailable() > 0);
        QCOMPARE(later.read(1), QByteArray(1, 0x06));
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("/y"));
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
