#pragma once
#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QWaitCondition>
#include <atomic>
#include <memory>

class EmulatorSession;
class ReceiverEmulator;

// The receiver's own lists for the emulator: one list document per list type ("tv", "radio", "link"),
// served to a download and replaced by a completed upload with the document rebuilt from its
// messages. A cancelled or broken upload, or one whose entries are not whole elements, keeps the old one. The hold
// switch keeps the reply to a download back until it is released; the tail switch keeps back the rest of one
// chunk of a download, and the silence switch the answers of an upload from one message on.
class ReceiverLists
{
public:
    // Installs the list commands (0x19..0x24) on this emulator, in place of any set before.
    static std::shared_ptr<ReceiverLists> install(ReceiverEmulator &emulator);
    QByteArray document(const QString &listType) const;
    void setDocument(const QString &listType, const QByteArray &text);
    void setHold(bool on);
    // Each upload or download is cut, the connection closed, once this many bytes of it have passed
    // (the list's bytes sent, or the upload's bytes taken); -1: never.
    void setCutTransferAfter(qint64 bytes) { m_cutAfter.store(bytes); }
    // Each upload answers this many messages, then reads on without a word, the connection open; -1: all.
    void setSilentAfterMessages(int messages) { m_silentAfter.store(messages); }
    // The download chunk of this index (0: the first) goes in two parts: its tag, size and the first half
    // of its bytes, then the rest once releaseChunkTail() is called; -1: every chunk whole.
    void setHeldChunkTail(int chunk);
    // Whether the first part of the held chunk went and the rest waits.
    bool isChunkTailHeld() const;
    void releaseChunkTail();
    // How many held tails were let go.
    int chunkTailsReleased() const;
    int uploads() const;
    // Keeps the three documents as files in folder ("tv.xml", "radio.xml", "link.xml"): those there
    // are served from now on, and every completed upload is written back. False when the folder
    // cannot be made or a file there cannot be read.
    bool keepIn(const QString &folder);
    static QString fileName(const QString &listType);
    // An upload message's text as a receiver takes it: a sequence of whole elements (a "PST"
    // message's entries, a "LST" message's piece of the favourite lists is checked with its frame).
    static bool entriesParse(const QByteArray &text);

private:
    bool serveDownload(EmulatorSession &s, int type);
    bool serveUpload(EmulatorSession &s, int type);
    bool waitWhileHeld(const ReceiverEmulator &emulator);
    bool writeChunk(EmulatorSession &s, const QByteArray &chunk, int index);
    void store(int type, const QByteArray &text) const;
    mutable QMutex m_lock;
    QWaitCondition m_released;
    QByteArray m_documents[3];
    bool m_hold = false;
    int m_uploads = 0;
    QString m_folder;
    std::atomic<qint64> m_cutAfter{-1};
    std::atomic_int m_silentAfter{-1};
    int m_heldChunk = -1;
    bool m_tailHeld = false;
    int m_tailsReleased = 0;
};
