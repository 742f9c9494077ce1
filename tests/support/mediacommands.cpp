#include "mediacommands.h"

#include "emulatorsession.h"
#include "receiveremulator.h"

#include "device/transfers/folderlistingparser.h"
#include "device/transfers/transferwire.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QThread>

MediaCommands::MediaCommands(const QString &root)
    : m_root(root)
{}

std::shared_ptr<MediaCommands> MediaCommands::install(ReceiverEmulator &emulator, const QString &root)
{
    auto commands = std::make_shared<MediaCommands>(root);
    emulator.setCommand(0x03, [commands](EmulatorSession &s) {
        if (!commands->serveListing(s))
            s.close();
    });
    emulator.setCommand(0x08, [commands](EmulatorSession &s) {
        if (!commands->serveDelete(s))
            s.close();
    });
    return commands;
}

void MediaCommands::refuseDelete(const QString &receiverPath)
{
    QMutexLocker lock(&m_lock);
    m_refused.insert(receiverPath);
}

QString MediaCommands::localPath(QStringList parts) const
{
    for (QString &p : parts)
        while (p.startsWith(u'/'))
            p.remove(0, 1);
    return m_root + u'/' + parts.join(u'/');
}

QStringList MediaCommands::readLevels(EmulatorSession &s, int count, bool withLast)
{
    QStringList parts;
    const int total = count + (withLast ? 1 : 0);
    for (int i = 0; i < total; ++i) {
        parts << QString::fromUtf8(s.readMessage());
        if (i < total - 1 || !withLast)
            s.sendStatus(TransferWire::StatusOk);
    }
    return parts;
}

bool MediaCommands::serveListing(EmulatorSession &s)
{
    const QByteArray head = s.read(2);
    if (head.size() < 2)
        return false;
    s.sendStatus(TransferWire::StatusOk);
    const QStringList parts = readLevels(s, int(TransferWire::readBE(head, 0, 2)), false);
    ++m_listings;
    while (holdListing.load() && s.isOpen())
        QThread::msleep(5);
    const QFileInfoList entries =
        QDir(localPath(parts)).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    QByteArray reply = TransferWire::uint16(quint16(entries.size()));
    for (const QFileInfo &e : entries) {
        const QByteArray name = e.fileName().toUtf8().left(255);
        if (parts.isEmpty()) {
            const QByteArray label = "/" + name.left(254);
            reply += QByteArray(1, '\x08') + '\1' + char(name.size()) + name + char(label.size()) + label;
        } else if (e.isDir()) {
            reply += QByteArray(1, '\0') + '\1' + char(name.size()) + name;
        } else {
            const qint64 seconds = e.lastModified().toSecsSinceEpoch() - FolderListingParser::fileEpochOffset();
            reply += QByteArray(1, '\1') + char(name.size()) + name + TransferWire::uint64(quint64(e.size())) +
                     TransferWire::uint32(quint32(qMax<qint64>(0, seconds)));
        }
    }
    return s.write(reply);
}

bool MediaCommands::serveDelete(EmulatorSession &s)
{
    const QByteArray head = s.read(2);
    if (head.size() < 2)
        return false;
    s.sendStatus(TransferWire::StatusOk);
    QStringList parts = readLevels(s, int(TransferWire::readBE(head, 0, 2)), true);
    const QString path = localPath(parts);
    for (QString &p : parts)
        while (p.startsWith(u'/'))
            p.remove(0, 1);
    bool refused = false;
    {
        QMutexLocker lock(&m_lock);
        refused = m_refused.contains(parts.join(u'\\'));
    }
    const bool ok = !refused && (QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path));
    return s.sendStatus(ok ? TransferWire::StatusOk : 0xFD);
}
