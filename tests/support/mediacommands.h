#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QSet>
#include <QString>

#include <atomic>
#include <memory>

class EmulatorSession;
class ReceiverEmulator;

// The media explorer's view of the emulated receiver: the top folders of the root are volumes
// (labelled "/" + name; removable ones are type 9), listings carry real modification times, recordings
// are declared per folder (listed, downloaded by 0x05, removed by 0x17), and a folder's "<name>.desc"
// with its "<name>.<suffix>" files is listed as one recording. Switches: a listing held until released,
// paths whose deletion the receiver refuses, recording deletes (0x17) refused, and folder creation
// (0x07) refused, and entries listed under names no PC folder holds. A folder on the way of a path that the
// receiver does not hold is refused and ends the exchange, as on a receiver. Install after
// TransferCommands: it takes over 0x03, 0x05, 0x07, 0x08 and 0x17.
class MediaCommands
{
public:
    struct Part
    {
        quint8 key;
        QByteArray suffix;
        QByteArray data;
    };
    struct Recording
    {
        quint16 id = 0;
        quint8 type = 2; // 2..7
        QByteArray name; // as the receiver sends it
        QDateTime date;
        QList<Part> parts;
        qint64 size() const;
    };

    explicit MediaCommands(const QString &root);
    static std::shared_ptr<MediaCommands> install(ReceiverEmulator &emulator, const QString &root);

    std::atomic_bool holdListing{false};
    // A slow receiver: each block of a recording download waits this long before it is sent.
    std::atomic_int recordingBlockDelayMs{0};
    std::atomic_bool refuseMakeFolder{false};
    // Every recording delete (0x17) refused; the recordings stay.
    std::atomic_bool refuseRecordingDelete{false};
    // Receiver paths ("v\a\f", without the leading "/") that 0x08 refuses.
    void refuseDelete(const QString &receiverPath);
    // Deletes are taken again.
    void clearRefusedDeletes();
    // Requests to make a folder (0x07), refused or not.
    int makeFolderRequests() const { return m_makeFolders.load(); }
    // A top folder of the root listed as a removable volume.
    void markRemovable(const QString &volume);
    // The entry at localRelative below the root ("hdd/Odd/dot") listed under receiverName, as a receiver
    // may hold names no PC folder can: "." or "..\..\etc". Asked for by that name, it is not there.
    void listAs(const QString &localRelative, const QByteArray &receiverName);
    // A recording listed in folder (a receiver path such as "hdd" or "hdd\Rec").
    void addRecording(const QString &folder, const Recording &recording);
    // Ids of the declared recordings the receiver still holds.
    QList<quint16> recordingIds() const;
    int listings() const { return m_listings.load(); }
    // Listings asked for one folder (a receiver path such as "hdd" or "hdd\Rec"; "" for the volumes).
    int listingsOf(const QString &receiverPath) const;
    // The code of a refused step (a folder on the way, a folder to make, a delete, a recording delete): any code
    // a receiver sends but 0x01 and 0xF9 ("pending").
    std::atomic_int refusal{0xFD};

private:
    bool serveListing(EmulatorSession &s);
    bool serveDelete(EmulatorSession &s);
    bool serveMakeFolder(EmulatorSession &s);
    bool serveRecording(EmulatorSession &s);
    bool serveRecordingDelete(EmulatorSession &s);
    // The recordings of a folder: declared ones and "<name>.desc" sets found on disk.
    QList<Recording> recordingsIn(const QString &folder, const QString &localFolder);
    QByteArray recordingEntry(const Recording &recording) const;
    // The path messages, each level answered, up to the first refused level (*refused); the name is answered
    // by the command.
    QStringList readLevels(EmulatorSession &s, int count, bool withLast, bool *refused);
    QString localPath(QStringList parts) const;

    QString m_root;
    mutable QMutex m_lock;
    QSet<QString> m_refused;
    QSet<QString> m_removable;
    QHash<QString, QByteArray> m_listedAs;         // by local path
    QHash<QString, QList<Recording>> m_recordings; // by folder
    QHash<QString, quint16> m_setIds;              // "<folder>/<name>.desc" sets: their ids
    QHash<QString, int> m_folderListings;          // by receiver path
    std::atomic_int m_listings{0};
    std::atomic_int m_makeFolders{0};
};
