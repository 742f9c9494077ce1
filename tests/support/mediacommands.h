#pragma once

#include <QMutex>
#include <QSet>
#include <QString>

#include <atomic>
#include <memory>

class EmulatorSession;
class ReceiverEmulator;

// The media explorer's view of the emulated receiver: the top folders of the root are volumes
// (labelled "/" + name), listings carry real modification times, and two switches: a listing held
// until released, and paths whose deletion the receiver refuses. Install after TransferCommands.
class MediaCommands
{
public:
    explicit MediaCommands(const QString &root);
    static std::shared_ptr<MediaCommands> install(ReceiverEmulator &emulator, const QString &root);

    std::atomic_bool holdListing{false};
    // Receiver paths ("v\a\f", without the leading "/") that 0x08 refuses.
    void refuseDelete(const QString &receiverPath);
    int listings() const { return m_listings.load(); }

private:
    bool serveListing(EmulatorSession &s);
    bool serveDelete(EmulatorSession &s);
    QStringList readLevels(EmulatorSession &s, int count, bool withLast);
    QString localPath(QStringList parts) const;

    QString m_root;
    mutable QMutex m_lock;
    QSet<QString> m_refused;
    std::atomic_int m_listings{0};
};
