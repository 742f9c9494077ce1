#include "testmain.h"

#include "recordingtask.h"

#include "device/core/devicecall.h"
#include "device/protocol/dvb24communicationmanager.h"

#include <QDir>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>

// The standalone emulator program: it announces its port, serves the description and quits on SIGTERM.
class TestReceiverEmulatorTool : public QObject
{
    Q_OBJECT

    // Starts the tool with these arguments and returns the port it announces (0 when it does not).
    static quint16 startTool(QProcess &tool, const QStringList &arguments)
    {
        tool.setStandardInputFile(QProcess::nullDevice());
        tool.start(QStringLiteral(RECEIVER_EMULATOR_PATH),
                   QStringList{QStringLiteral("--port"), QStringLiteral("0")} + arguments);
        if (!tool.waitForStarted(5000))
            return 0;
        QElapsedTimer waited;
        waited.start();
        while (!tool.canReadLine() && waited.elapsed() < 10000)
            tool.waitForReadyRead(100);
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)$"))
                .match(QString::fromUtf8(tool.readLine()).trimmed());
        return match.hasMatch() ? quint16(match.captured(1).toUInt()) : 0;
    }
    static void stopTool(QProcess &tool)
    {
        tool.terminate();
        QVERIFY(tool.waitForFinished(5000));
        QCOMPARE(tool.exitCode(), 0);
    }
    // One list exchange with the tool on a fresh connection: the downloaded text, or the upload's ending.
    void exchange(quint16 port, const QString &mode, const QString &listType, const QByteArray &payload,
                  QString *outcome)
    {
        DVB24CommunicationManager manager;
        manager.setPort(port);
        QStringList states;
        connect(&manager, &DeviceCommunicationManager::stateChanged, this,
                [&states](const QString &state) { states << state; });
        manager.connectToHost(QStringLiteral("127.0.0.1"));
        QTRY_VERIFY_WITH_TIMEOUT(states.contains(QStringLiteral("connected")), 10000);
        DeviceCall call(QStringLiteral("sendOrdownloadTVLists"));
        call.setParameter(QStringLiteral("mode"), mode);
        call.setParameter(QStringLiteral("listType"), listType);
        RecordingTask *task = RecordingTask::run(manager, this, call.toString(), payload);
        manager.requestInterrupt();
        manager.requestClose();
        QTRY_VERIFY(states.contains(QStringLiteral("disconnected")));
        *outcome = task->calls.last() == QLatin1String("complete:true") && mode == QLatin1String("download")
                       ? task->result()
                       : task->calls.last();
    }

    QString exchanged(quint16 port, const QString &mode, const QString &listType, const QByteArray &payload)
    {
        QString outcome = QStringLiteral("no outcome");
        exchange(port, mode, listType, payload, &outcome);
        return outcome;
    }

private slots:
    void servesAndQuits()
    {
        QProcess tool;
        tool.setStandardInputFile(QProcess::nullDevice());
        tool.start(QStringLiteral(RECEIVER_EMULATOR_PATH),
                   {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--protocol-version"),
                    QStringLiteral("1.5")});
        QVERIFY(tool.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(tool.canReadLine(), 10000);
        const QString line = QString::fromUtf8(tool.readLine()).trimmed();
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)$")).match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));

        DVB24CommunicationManager manager;
        manager.setPort(quint16(match.captured(1).toUInt()));
        QSignalSpy infos(&manager, &DVB24CommunicationManager::InfoChanged);
        QStringList states;
        connect(&manager, &DeviceCommunicationManager::stateChanged, this,
                [&states](const QString &state) { states << state; });
        manager.connectToHost(QStringLiteral("127.0.0.1"));
        QTRY_VERIFY_WITH_TIMEOUT(states.contains(QStringLiteral("connected")), 10000);
        QCOMPARE(infos.count(), 1);
        QCOMPARE(infos.first().first().value<ZBDeviceInfo>().protocolVersion(), 1.5f);
        manager.requestClose();
        QTRY_VERIFY(states.contains(QStringLiteral("disconnected")));

        tool.terminate();
        QVERIFY(tool.waitForFinished(5000));
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 0);
    }

    // With --root the tool serves the TV, radio and link lists and keeps what is sent across restarts.
    void keepsTheThreeListsUnderRoot()
    {
        QTemporaryDir root;
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral(".lists"))));
        const QByteArray radio = "<TDocument><items><radioService id=\"1\"><name>R</name></radioService></items>"
                                 "<lists><list/></lists></TDocument>";
        QFile stored(root.filePath(QStringLiteral(".lists/radio.xml")));
        QVERIFY(stored.open(QIODevice::WriteOnly) && stored.write(radio) == radio.size());
        stored.close();
        const QByteArray tv = "<TDocument><items><tvService id=\"4\" epgMarked=\"1\"><name>T</name>"
                              "<parentLock>1</parentLock></tvService></items><lists><list id=\"0\"><ref>4</ref></list>"
                              "</lists></TDocument>";
        const QByteArray link = "<TDocument><items><link id=\"2\"><title>L</title></link></items><lists/></TDocument>";
        {
            QProcess tool;
            const quint16 port = startTool(tool, {QStringLiteral("--root"), root.path()});
            QVERIFY(port);
            QCOMPARE(exchanged(port, QStringLiteral("download"), QStringLiteral("radio"), {}),
                     QString::fromUtf8(radio));
            QCOMPARE(exchanged(port, QStringLiteral("send"), QStringLiteral("tv"), tv),
                     QStringLiteral("complete:true"));
            QCOMPARE(exchanged(port, QStringLiteral("send"), QStringLiteral("link"), link),
                     QStringLiteral("complete:true"));
            stopTool(tool);
        }
        QProcess again;
        const quint16 port = startTool(again, {QStringLiteral("--root"), root.path()});
        QVERIFY(port);
        const auto items = [](const QString &text) {
            QDomDocument doc;
            doc.setContent(text);
            QString out;
            QTextStream stream(&out);
            doc.documentElement().firstChildElement(QStringLiteral("items")).save(stream, 0);
            doc.documentElement().firstChildElement(QStringLiteral("lists")).save(stream, 0);
            stream.flush();
            return out;
        };
        QCOMPARE(items(exchanged(port, QStringLiteral("download"), QStringLiteral("tv"), {})),
                 items(QString::fromUtf8(tv)));
        QCOMPARE(items(exchanged(port, QStringLiteral("download"), QStringLiteral("link"), {})),
                 items(QString::fromUtf8(link)));
        QCOMPARE(exchanged(port, QStringLiteral("download"), QStringLiteral("radio"), {}), QString::fromUtf8(radio));
        stopTool(again);
        // The drives' listing does not show where the lists are kept.
        QVERIFY(QFileInfo(root.filePath(QStringLiteral(".lists/tv.xml"))).isFile());
    }
};

OMBRELAY_TEST_MAIN(TestReceiverEmulatorTool)
#include "tst_receiveremulatortool.moc"
