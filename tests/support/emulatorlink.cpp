#include "emulatorlink.h"

#include "testfiles.h"

#include <QDeadlineTimer>
#include <QThread>

EmulatorLink::EmulatorLink()
    : commands(TransferCommands::install(emulator, receiverRoot.path()))
{}

bool EmulatorLink::open(int inactivityMs)
{
    if (!emulator.start())
        return false;
    socket.connectToHost(emulator.host(), emulator.port());
    if (!socket.waitForConnected(5000))
        return false;
    // Served by the emulator before anything is asked of it: a switch set from now on applies to this connection.
    const QDeadlineTimer served(5000);
    while (emulator.openConnections() < 1 && !served.hasExpired())
        QThread::msleep(5);
    link = std::make_unique<TransferLink>(&socket, &interrupt);
    link->setInactivityLimit(inactivityMs);
    link->error = [this](const QString &e) {
        errors << e;
        reports << QStringLiteral("error:") + e;
    };
    link->status = [this](const QString &s) { reports << QStringLiteral("status:") + s; };
    link->progress = [this](int done, int total) { reports << QStringLiteral("progress:%1/%2").arg(done).arg(total); };
    link->progress64 = [this](qint64 n) { progress += n; };
    link->codeText = [](int code) { return QStringLiteral("code %1").arg(code); };
    return true;
}

QString EmulatorLink::receiverFile(const QString &relative, const QByteArray &data)
{
    return TestFiles::write(receiverPath(relative), data);
}

QString EmulatorLink::pcFile(const QString &relative, const QByteArray &data)
{
    return TestFiles::write(pcPath(relative), data);
}

QByteArray EmulatorLink::pattern(int size, char seed)
{
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        b[i] = char(seed + i * 7 + i / 251);
    return b;
}
