#pragma once

#include "receiveremulator.h"
#include "testfiles.h"
#include "transfercommands.h"

#include "device/transfers/transferlink.h"

#include <QStringList>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <memory>

// A socket that lets a test act as the PC writes: beforeWrite is called with each message the PC hands to the
// socket, before its bytes go (a cancel "as a message is written").
class WatchedSocket : public QTcpSocket
{
public:
    std::function<void(const QByteArray &message)> beforeWrite;

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        if (beforeWrite)
            beforeWrite(QByteArray::fromRawData(data, len));
        return QTcpSocket::writeData(data, len);
    }
};

// The emulator serving the transfer commands from a temporary folder, and a TransferLink on a socket
// connected to it: the set-up of tests that drive the transfer classes without a worker. Reports are
// collected; protocol error codes read as "code <n>".
class EmulatorLink
{
public:
    EmulatorLink();

    // Starts the emulator and connects; false when either fails.
    bool open(int inactivityMs = 2000);

    // A file of the receiver (relative to its drives) or of the PC, created with its folders.
    QString receiverFile(const QString &relative, const QByteArray &data);
    QString pcFile(const QString &relative, const QByteArray &data);
    QString receiverPath(const QString &relative) const { return receiverRoot.path() + u'/' + relative; }
    QString pcPath(const QString &relative) const { return pc.path() + u'/' + relative; }
    static QByteArray read(const QString &path) { return TestFiles::read(path); }
    // Bytes that differ at every offset within any block size a test uses.
    static QByteArray pattern(int size, char seed = 0);

    QTemporaryDir receiverRoot;
    QTemporaryDir pc;
    ReceiverEmulator emulator;
    std::shared_ptr<TransferCommands> commands;
    WatchedSocket socket;
    std::atomic_bool interrupt{false};
    std::unique_ptr<TransferLink> link;
    // Error texts; and every report in order as "error:text", "status:text", "progress:done/total".
    QStringList errors;
    QStringList reports;
    // Sum of the progress64 reports.
    qint64 progress = 0;
};
