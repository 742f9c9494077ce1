#include "testmain.h"

#include "device/protocol/dvb24communicationmanager.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>

// The standalone emulator program: it announces its port, serves the description and quits on SIGTERM.
class TestReceiverEmulatorTool : public QObject
{
    Q_OBJECT
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
};

OMBRELAY_TEST_MAIN(TestReceiverEmulatorTool)
#include "tst_receiveremulatortool.moc"
