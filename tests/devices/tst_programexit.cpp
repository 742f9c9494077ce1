#include "testmain.h"

#include "device/core/zbdeviceinfo.h"
#include "receiveremulator.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

// The real program with a saved receiver that it connects to, ended by the session: every worker
// thread is stopped and waited for, the receiver gets its goodbye, and the program exits cleanly.
class TestProgramExit : public QObject
{
    Q_OBJECT
private slots:
    void endsCleanlyWithAConnectedReceiver()
    {
        ReceiverEmulator emulator; // where the program looks for receivers
        QVERIFY(emulator.start(2376));
        QTemporaryDir home;
        ZBDeviceInfo record(QStringLiteral("Box"), QString(), false);
        record.setIp(emulator.host());
        QSettings(home.filePath(QStringLiteral("config/Zembrak/Ombrelay Beta.conf")), QSettings::IniFormat)
            .setValue(QStringLiteral("OmbrelayDeviceList"),
                      QStringLiteral("<devices>") + record.toXmlText() + QStringLiteral("</devices>"));

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("OMBRELAY_INSTANCE_NAME"),
                   QStringLiteral("exit-test-%1").arg(QCoreApplication::applicationPid()));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(OMBRELAY_EXE), {});
        QVERIFY(program.waitForStarted());
        // Described itself, then asked whether the receiver is still there: connected.
        QTRY_VERIFY_WITH_TIMEOUT(emulator.received().startsWith(char(0x26)) && emulator.received().contains(char(0x01)),
                                 30000);

        program.terminate();
        QVERIFY(program.waitForFinished(30000));
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() == 0, qPrintable(errors));
        for (const char *report : {"Sanitizer", "runtime error", "QThread: Destroyed"})
            QVERIFY2(!errors.contains(QLatin1String(report)), qPrintable(errors));
        QVERIFY(emulator.received().endsWith(char(0xFF)));
        QTRY_COMPARE(emulator.openConnections(), 0);
    }
};

OMBRELAY_TEST_MAIN(TestProgramExit)
#include "tst_programexit.moc"
