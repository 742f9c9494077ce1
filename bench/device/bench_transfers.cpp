// Loopback throughput of the file download and upload against a plain TCP copy of the same bytes,
// and the process's peak memory, which must stay flat (the file is streamed, never held whole).
//   bench_transfers [size in MiB, default 1024]

#include "receiveremulator.h"
#include "transfercommands.h"

#include "device/transfers/filetransfer.h"
#include "device/transfers/transferlink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {
qint64 peakRssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

// The verdict on a transfer's share of the plain copy: at least 70 % is the aim, below 50 % a failure.
const char *targetVerdict(double percent)
{
    if (percent >= 70.0)
        return "70 % target met";
    if (percent >= 50.0)
        return "50 % target met, 70 % missed";
    return "BELOW the 50 % target";
}

void makeFile(const QString &path, qint64 size)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (int i = 0; i < chunk.size(); ++i)
        chunk[i] = char((i * 131) & 0xff);
    for (qint64 done = 0; done < size; done += chunk.size())
        f.write(chunk.constData(), qMin<qint64>(chunk.size(), size - done));
}

// Plain copy: a thread reads the file and writes it to the socket; this thread writes it to a file.
double plainCopySeconds(const QString &source, const QString &destination, bool durable)
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    QThread *sender = QThread::create([port, source] {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, port);
        s.waitForConnected(5000);
        QFile f(source);
        f.open(QIODevice::ReadOnly);
        QByteArray buffer(1 << 16, Qt::Uninitialized);
        qint64 n = 0;
        while ((n = f.read(buffer.data(), buffer.size())) > 0) {
            s.write(buffer.constData(), n);
            while (s.bytesToWrite() > (1 << 18))
                s.waitForBytesWritten(5000);
        }
        while (s.bytesToWrite() > 0)
            s.waitForBytesWritten(5000);
        s.disconnectFromHost();
        if (s.state() != QAbstractSocket::UnconnectedState)
            s.waitForDisconnected(5000);
    });
    QElapsedTimer t;
    t.start();
    sender->start();
    server.waitForNewConnection(5000);
    QTcpSocket *s = server.nextPendingConnection();
    QFile out(destination);
    out.open(QIODevice::WriteOnly);
    const qint64 total = QFile(source).size();
    qint64 got = 0;
    while (got < total && (s->bytesAvailable() > 0 || s->waitForReadyRead(5000))) {
        const QByteArray b = s->read(1 << 16);
        out.write(b);
        got += b.size();
    }
    out.flush();
    // The download commits its file durably before it replaces the destination; a fair copy does too.
    if (durable)
        ::fdatasync(out.handle());
    out.close();
    const double seconds = t.elapsed() / 1000.0;
    sender->wait();
    delete sender;
    delete s;
    return seconds;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const qint64 mib = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1024;
    const qint64 size = mib << 20;
    QTemporaryDir receiverRoot;
    QTemporaryDir pc;
    const QString receiverFile = receiverRoot.path() + QStringLiteral("/v/big.bin");
    QDir().mkpath(receiverRoot.path() + QStringLiteral("/v"));
    makeFile(receiverFile, size);
    const qint64 rssBefore = peakRssKiB();

    // Each transfer is compared with a plain copy run right before it, each phase starting with the
    // page cache written back, so disk write-back hits all of them alike.
    auto settle = [] { ::sync(); };
    settle();
    const double plainFast = plainCopySeconds(receiverFile, pc.path() + QStringLiteral("/plain.bin"), false);
    QFile::remove(pc.path() + QStringLiteral("/plain.bin"));
    settle();
    const double plainDown = plainCopySeconds(receiverFile, pc.path() + QStringLiteral("/plain.bin"), true);
    QFile::remove(pc.path() + QStringLiteral("/plain.bin"));

    ReceiverEmulator emulator;
    const auto commands = TransferCommands::install(emulator, receiverRoot.path());
    // A download ends with the whole closing block, as receivers end it.
    commands->fullClosingBlock = true;
    emulator.start();
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, emulator.port());
    socket.waitForConnected(5000);
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    std::atomic_bool interrupt{false};
    TransferLink link(&socket, &interrupt);
    FileTransfer transfer(link);

    settle();
    QElapsedTimer t;
    t.start();
    const auto down = transfer.download(QStringLiteral("v\\big.bin"), pc.path() + QStringLiteral("/down.bin"), true,
                                        false, size, nullptr);
    const double downloadSeconds = t.elapsed() / 1000.0;
    const bool downOk =
        down == FileTransfer::Completed && QFile(pc.path() + QStringLiteral("/down.bin")).size() == size;

    settle();
    const double plainUp =
        plainCopySeconds(pc.path() + QStringLiteral("/down.bin"), pc.path() + QStringLiteral("/plain.bin"), false);
    QFile::remove(pc.path() + QStringLiteral("/plain.bin"));
    settle();
    t.restart();
    const auto up = transfer.upload(pc.path() + QStringLiteral("/down.bin"), QStringLiteral("/v/up.bin"));
    const double uploadSeconds = t.elapsed() / 1000.0;
    const bool upOk =
        up == FileTransfer::Completed && QFile(receiverRoot.path() + QStringLiteral("/v/up.bin")).size() == size;
    const qint64 rssAfter = peakRssKiB();

    // A cancel halfway: how long the transfer takes to finish its exchange in step, and a copy right after it on
    // the same connection, which must not be slower for it.
    QElapsedTimer sinceCancel;
    qint64 moved = 0;
    link.progress64 = [&](qint64 n) {
        moved += n;
        if (moved >= size / 2 && !interrupt.exchange(true))
            sinceCancel.start();
    };
    const auto cancelledDown = transfer.download(QStringLiteral("v\\big.bin"), pc.path() + QStringLiteral("/c.bin"),
                                                 true, false, size, nullptr);
    const double downCancelMs = sinceCancel.isValid() ? sinceCancel.nsecsElapsed() / 1e6 : -1;
    sinceCancel.invalidate();
    moved = 0;
    const auto cancelledUp = transfer.upload(pc.path() + QStringLiteral("/down.bin"), QStringLiteral("/v/c.bin"));
    const double upCancelMs = sinceCancel.isValid() ? sinceCancel.nsecsElapsed() / 1e6 : -1;
    link.progress64 = {};
    settle();
    t.restart();
    const auto again = transfer.download(QStringLiteral("v\\big.bin"), pc.path() + QStringLiteral("/again.bin"), true,
                                         false, size, nullptr);
    const double againSeconds = t.elapsed() / 1000.0;
    const bool cancelOk = cancelledDown == FileTransfer::Canceled && cancelledUp == FileTransfer::Canceled &&
                          again == FileTransfer::Completed &&
                          QFile(pc.path() + QStringLiteral("/again.bin")).size() == size;

    const double mb = double(size) / (1 << 20);
    std::printf("size                %lld MiB\n", static_cast<long long>(mib));
    std::printf("plain TCP copy      %.2f s  %.1f MiB/s  (no fdatasync)\n", plainFast, mb / plainFast);
    std::printf("plain TCP copy      %.2f s  %.1f MiB/s  (fdatasync at the end, as the download commits)\n", plainDown,
                mb / plainDown);
    const double downPercent = 100.0 * plainDown / downloadSeconds;
    std::printf("download            %.2f s  %.1f MiB/s  %.0f %% of plain  (%s)  transfer %s\n", downloadSeconds,
                mb / downloadSeconds, downPercent, targetVerdict(downPercent), downOk ? "ok" : "FAILED");
    std::printf("plain TCP copy      %.2f s  %.1f MiB/s\n", plainUp, mb / plainUp);
    const double upPercent = 100.0 * plainUp / uploadSeconds;
    std::printf("upload              %.2f s  %.1f MiB/s  %.0f %% of plain  (%s)  transfer %s\n", uploadSeconds,
                mb / uploadSeconds, upPercent, targetVerdict(upPercent), upOk ? "ok" : "FAILED");
    std::printf("cancel at half      download finished in step after %.1f ms, upload after %.1f ms\n", downCancelMs,
                upCancelMs);
    std::printf("download after it   %.2f s  %.1f MiB/s  %.0f %% of the first  transfer %s\n", againSeconds,
                mb / againSeconds, 100.0 * downloadSeconds / againSeconds, cancelOk ? "ok" : "FAILED");
    std::printf("peak RSS            %lld KiB before, %lld KiB after (%+lld KiB)\n", static_cast<long long>(rssBefore),
                static_cast<long long>(rssAfter), static_cast<long long>(rssAfter - rssBefore));
    return downOk && upOk && cancelOk ? 0 : 1;
}
