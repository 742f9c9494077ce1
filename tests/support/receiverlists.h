#pragma once
#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QWaitCondition>
#include <memory>

class EmulatorSession;
class ReceiverEmulator;

// The receiver's own lists for the emulator: one list document per list type ("tv", "radio", "link"),
// served to a download and replaced by a completed upload with the document rebuilt from its
// messages. A cancelled or broken upload keeps the old one. The hold switch keeps the reply to a
// download back until it is released.
class ReceiverLists
{
public:
    // Installs the list commands (0x19..0x24) on this emulator, in place of any set before.
    static std::shared_ptr<ReceiverLists> install(ReceiverEmulator &emulator);
    QByteArray document(const QString &listType) const;
    void setDocument(const QString &listType, const QByteArray &text);
    void setHold(bool on);
    int uploads() const;

private:
    bool serveDownload(EmulatorSession &s, int type);
    bool serveUpload(EmulatorSession &s, int type);
    bool waitWhileHeld(const ReceiverEmulator &emulator);
    mutable QMutex m_lock;
    QWaitCondition m_released;
    QByteArray m_documents[3];
    bool m_hold = false;
    int m_uploads = 0;
};
