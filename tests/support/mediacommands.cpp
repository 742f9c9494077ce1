#include "mediacommands.h"

#include "emulatorsession.h"
#include "receiveremulator.h"

#include "device/transfers/folderlistingparser.h"
#include "device/transfers/transferwire.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <optional>

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
    emulator.setCommand(0x07, [commands](EmulatorSession &s) {
        if (!commands->serveMakeFolder(s))
            s.close();
    });
    emulator.setCommand(0x05, [commands](EmulatorSession &s) {
        if (!commands->serveRecording(s))
            s.close();
    });
    emulator.setCommand(0x17, [commands](EmulatorSession &s) {
        if (!commands->serveRecordingDelete(s))
            s.close();
    });
    return commands;
}

qint64 MediaCommands::Recording::size() const
{
    qint64 total = 0;
    for (const Part &p : parts)
        total += p.data.size();
    return total;
}

void MediaCommands::markRemovable(const QString &volume)
{
    QMutexLocker lock(&m_lock);
    m_removable.insert(volume);
}

void MediaCommands::addRecording(const QString &folder, const Recording &recording)
{
    QMutexLocker lock(&m_lock);
    m_recordings[folder].append(recording);
}

QList<quint16> MediaCommands::recordingIds() const
{
    QMutexLocker lock(&m_lock);
    QList<quint16> ids;
    for (const QList<Recording> &list : m_recordings)
        for (const Recording &r : list)
            ids << r.id;
    std::sort(ids.begin(), ids.end());
    return ids;
}

// "<name>.desc" beside "<name>.<suffix>" files: one recording whose parts are those files. Its id is
// fixed the first time the set is seen, so a download or delete can find it again.
QList<MediaCommands::Recording> MediaCommands::recordingsIn(const QString &folder, const QString &localFolder)
{
    QMutexLocker lock(&m_lock);
    QList<Recording> found = m_recordings.value(folder);
    const QDir dir(localFolder);
    for (const QFileInfo &desc : dir.entryInfoList({QStringLiteral("*.desc")}, QDir::Files, QDir::Name)) {
        const QString key = desc.absoluteFilePath();
        if (!m_setIds.contains(key))
            m_setIds.insert(key, quint16(0x4000 + m_setIds.size()));
        Recording r;
        r.id = m_setIds.value(key);
        r.name = desc.completeBaseName().toUtf8();
        r.date = desc.lastModified();
        quint8 partKey = 0;
        for (const QFileInfo &f :
             dir.entryInfoList({desc.completeBaseName() + QStringLiteral(".*")}, QDir::Files, QDir::Name)) {
            if (f.suffix() == QLatin1String("desc"))
                continue;
            QFile in(f.absoluteFilePath());
            if (in.open(QIODevice::ReadOnly))
                r.parts.append({partKey++, f.suffix().toUtf8(), in.readAll()});
        }
        found.append(r);
    }
    return found;
}

QByteArray MediaCommands::recordingEntry(const Recording &r) const
{
    const QByteArray name = r.name.left(255);
    const qint64 seconds = r.date.toSecsSinceEpoch() - FolderListingParser::recordEpochOffset();
    return QByteArray(1, char(r.type)) + TransferWire::uint16(r.id) + char(name.size()) + name +
           TransferWire::uint64(quint64(r.size())) + TransferWire::uint32(quint32(qMax<qint64>(0, seconds)));
}

void MediaCommands::refuseDelete(const QString &receiverPath)
{
    QMutexLocker lock(&m_lock);
    m_refused.insert(receiverPath);
}

void MediaCommands::clearRefusedDeletes()
{
    QMutexLocker lock(&m_lock);
    m_refused.clear();
}

QString MediaCommands::localPath(QStringList parts) const
{
    for (QString &p : parts)
        while (p.startsWith(u'/'))
            p.remove(0, 1);
    return m_root + u'/' + parts.join(u'/');
}

QStringList MediaCommands::readLevels(EmulatorSession &s, int count, bool withLast, bool *refused)
{
    QStringList parts;
    *refused = false;
    const int total = count + (withLast ? 1 : 0);
    for (int i = 0; i < total; ++i) {
        parts << QString::fromUtf8(s.readMessage());
        if (withLast && i == total - 1)
            break; // the name: answered by the command itself
        // A folder on the way that the receiver does not hold (gone, or a file) is refused, and the refusal
        // ends the exchange: whatever follows is read as a new command.
        *refused = !QFileInfo(localPath(parts)).isDir();
        s.sendStatus(*refused ? quint8(refusal.load()) : TransferWire::StatusOk);
        if (*refused)
            break;
    }
    return parts;
}

bool MediaCommands::serveListing(EmulatorSession &s)
{
    const QByteArray head = s.read(2);
    if (head.size() < 2)
        return false;
    s.sendStatus(TransferWire::StatusOk);
    bool refused = false;
    const QStringList parts = readLevels(s, int(TransferWire::readBE(head, 0, 2)), false, &refused);
    ++m_listings;
    {
        QStringList folder = parts;
        for (QString &p : folder)
            while (p.startsWith(u'/'))
                p.remove(0, 1);
        QMutexLocker lock(&m_lock);
        ++m_folderListings[folder.join(u'\\')];
    }
    if (refused)
        return true;
    while (holdListing.load() && s.isOpen())
        QThread::msleep(5);
    const QString local = localPath(parts);
    QFileInfoList entries = QDir(local).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    QList<Recording> recordings;
    if (!parts.isEmpty()) {
        QStringList folder = parts;
        for (QString &p : folder)
            while (p.startsWith(u'/'))
                p.remove(0, 1);
        recordings = recordingsIn(folder.join(u'\\'), local);
        // The files of a "<name>.desc" set are listed as its recording only.
        for (const Recording &r : std::as_const(recordings))
            entries.removeIf(
                [&r](const QFileInfo &e) { return e.isFile() && e.completeBaseName() == QString::fromUtf8(r.name); });
    }
    QByteArray reply = TransferWire::uint16(quint16(entries.size() + recordings.size()));
    for (const QFileInfo &e : entries) {
        QByteArray name = e.fileName().toUtf8().left(255);
        {
            QMutexLocker lock(&m_lock);
            name = m_listedAs.value(QDir::cleanPath(e.absoluteFilePath()), name);
        }
        if (parts.isEmpty()) {
            const QByteArray label = "/" + name.left(254);
            bool removable = false;
            {
                QMutexLocker lock(&m_lock);
                removable = m_removable.contains(e.fileName());
            }
            reply += QByteArray(1, removable ? '\x09' : '\x08') + '\1' + char(name.size()) + name + char(label.size()) +
                     label;
        } else if (e.isDir()) {
            reply += QByteArray(1, '\0') + '\1' + char(name.size()) + name;
        } else {
            const qint64 seconds = e.lastModified().toSecsSinceEpoch() - FolderListingParser::fileEpochOffset();
            reply += QByteArray(1, '\1') + char(name.size()) + name + TransferWire::uint64(quint64(e.size())) +
                     TransferWire::uint32(quint32(qMax<qint64>(0, seconds)));
        }
    }
    for (const Recording &r : std::as_const(recordings))
        reply += recordingEntry(r);
    return s.write(reply);
}

bool MediaCommands::serveDelete(EmulatorSession &s)
{
    const QByteArray head = s.read(2);
    if (head.size() < 2)
        return false;
    s.sendStatus(TransferWire::StatusOk);
    bool refusedLevel = false;
    QStringList parts = readLevels(s, int(TransferWire::readBE(head, 0, 2)), true, &refusedLevel);
    if (refusedLevel)
        return true;
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
    return s.sendStatus(ok ? TransferWire::StatusOk : quint8(refusal.load()));
}

bool MediaCommands::serveMakeFolder(EmulatorSession &s)
{
    const QByteArray head = s.read(2);
    if (head.size() < 2)
        return false;
    ++m_makeFolders;
    if (refuseMakeFolder)
        return s.sendStatus(quint8(refusal.load()));
    s.sendStatus(TransferWire::StatusOk);
    bool refused = false;
    const QString path = localPath(readLevels(s, int(TransferWire::readBE(head, 0, 2)), true, &refused));
    if (refused)
        return true;
    return s.sendStatus(QDir().mkpath(path) ? TransferWire::StatusOk : quint8(refusal.load()));
}

// 0x05: the recording's table, then its parts in blocks; a cancel byte after a block ends it early.
bool MediaCommands::serveRecording(EmulatorSession &s)
{
    const QByteArray request = s.read(10);
    if (request.size() < 10)
        return false;
    const quint16 id = quint16(TransferWire::readBE(request, 0, 2));
    std::optional<Recording> found;
    {
        QMutexLocker lock(&m_lock);
        for (const QList<Recording> &list : std::as_const(m_recordings))
            for (const Recording &r : list)
                if (r.id == id)
                    found = r;
        for (auto it = m_setIds.cbegin(); !found && it != m_setIds.cend(); ++it)
            if (it.value() == id) {
                lock.unlock();
                for (const Recording &r : recordingsIn(QString(), QFileInfo(it.key()).absolutePath()))
                    if (r.id == id)
                        found = r;
                break;
            }
    }
    if (!found)
        return s.writeByte(0xFD);
    QByteArray table;
    for (const Part &p : std::as_const(found->parts))
        table += char(p.key) + QByteArray(1, char(p.suffix.size())) + p.suffix;
    s.write(QByteArray(1, '\1') + TransferWire::uint64(quint64(found->size())) +
            QByteArray(1, char(found->parts.size())) + table);
    quint8 answer = 0;
    if (!s.readByte(&answer, 5000)) // go
        return false;
    const int block = 64 * 1024;
    bool canceled = false;
    for (const Part &p : std::as_const(found->parts)) {
        for (int at = 0; at < p.data.size() && !canceled; at += block) {
            const QByteArray piece = p.data.mid(at, block);
            if (recordingBlockDelayMs.load() > 0)
                QThread::msleep(ulong(recordingBlockDelayMs.load()));
            s.write(QByteArray(1, char(p.key)) + TransferWire::uint32(quint32(piece.size())) + QByteArray(3, '\0') +
                    piece);
            quint8 byte = 0;
            canceled = s.readByte(&byte, 0) && byte == TransferWire::CancelByte;
        }
    }
    s.writeByte(canceled ? TransferWire::CancelByte : 0xFF);
    if (!canceled)
        s.readByte(&answer, 5000);
    // The closing byte, answered so the PC need not wait.
    if (s.readByte(&answer, 5000))
        s.writeByte(TransferWire::StatusOk);
    return true;
}

// 0x17: a declared recording goes; a "<name>.desc" set is removed with its files.
bool MediaCommands::serveRecordingDelete(EmulatorSession &s)
{
    const QByteArray request = s.read(2);
    if (request.size() < 2)
        return false;
    const quint16 id = quint16(TransferWire::readBE(request, 0, 2));
    if (refuseRecordingDelete)
        return s.sendStatus(quint8(refusal.load()));
    bool removed = false;
    QMutexLocker lock(&m_lock);
    for (QList<Recording> &list : m_recordings)
        removed = list.removeIf([id](const Recording &r) { return r.id == id; }) > 0 || removed;
    for (auto it = m_setIds.begin(); !removed && it != m_setIds.end(); ++it) {
        if (it.value() != id)
            continue;
        const QFileInfo desc(it.key());
        for (const QFileInfo &f :
             desc.dir().entryInfoList({desc.completeBaseName() + QStringLiteral(".*")}, QDir::Files))
            QFile::remove(f.absoluteFilePath());
        m_setIds.erase(it);
        removed = true;
        break;
    }
    return s.sendStatus(removed ? TransferWire::StatusOk : quint8(refusal.load()));
}

void MediaCommands::listAs(const QString &localRelative, const QByteArray &receiverName)
{
    QMutexLocker lock(&m_lock);
    m_listedAs.insert(QDir::cleanPath(QDir(m_root).absoluteFilePath(localRelative)), receiverName);
}

int MediaCommands::listingsOf(const QString &receiverPath) const
{
    QMutexLocker lock(&m_lock);
    return m_folderListings.value(receiverPath);
}
