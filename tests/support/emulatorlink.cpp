#include "emulatorlink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
    return path;
}
} // namespace

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
    return writeFile(receiverPath(relative), data);
}

QString EmulatorLink::pcFile(const QString &relative, const QByteArray &data)
{
    return writeFile(pcPath(relative), data);
}

QByteArray EmulatorLink::read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray EmulatorLink::pattern(int size, char seed)
{
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        b[i] = char(seed + i * 7 + i / 251);
    return b;
}
