#pragma once

#include <QByteArray>
#include <QString>

class ReceiverEmulator;

// The receiver's side of the list, folder and file exchanges for the emulator, served from a PC
// folder that stands for the receiver's drives ("v\a\f" is root/v/a/f).
struct TransferCommands
{
    // Installs commands 0x03, 0x04, 0x07, 0x08, 0x0A, 0x17 and 0x19..0x24 on this emulator.
    static void install(ReceiverEmulator &emulator, const QString &root, const QByteArray &listDocument);
};
