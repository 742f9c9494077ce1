#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <atomic>
#include <memory>

class ReceiverEmulator;

// The receiver's side of the list, folder, file and recording exchanges for the emulator, served from
// a PC folder that stands for the receiver's drives ("v\a\f" is root/v/a/f).
struct TransferCommands {
    // The recording that command 0x05 serves: its parts (suffix, bytes) and the code ending the stream;
    // deletions (0x17) are counted. Set before the request is enqueued.
    struct Recording {
        QList<QPair<QByteArray, QByteArray>> parts;
        std::atomic_int end{0xFF};
        std::atomic_int deletes{0};
        std::atomic_int lastDeletedId{-1};
    };

    // Installs commands 0x03, 0x04, 0x05, 0x07, 0x08, 0x0A, 0x17 and 0x19..0x24 on this emulator.
    static std::shared_ptr<Recording> install(ReceiverEmulator &emulator, const QString &root,
                                              const QByteArray &listDocument);
};
