#pragma once

#include "mediacommands.h"
#include "receiveremulator.h"
#include "transfercommands.h"

#include "device/core/devicecommunicationmanager.h"
#include "device/protocol/dvb24communicationmanager.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// An emulated receiver whose drives are the folders of a temporary directory, and a connected manager.
struct MediaReceiver
{
    QTemporaryDir root;
    ReceiverEmulator emulator;
    std::shared_ptr<TransferCommands> transfers;
    std::shared_ptr<MediaCommands> media;
    std::unique_ptr<DVB24CommunicationManager> manager;

    bool start()
    {
        transfers = TransferCommands::install(emulator, root.path());
        media = MediaCommands::install(emulator, root.path());
        if (!emulator.start())
            return false;
        manager = std::make_unique<DVB24CommunicationManager>();
        manager->setPort(emulator.port());
        QSignalSpy states(manager.get(), &DeviceCommunicationManager::stateChanged);
        manager->connectToHost(emulator.host());
        return QTest::qWaitFor([&] {
            for (const auto &s : states)
                if (s.value(0).toString() == QLatin1String("connected"))
                    return true;
            return false;
        });
    }
    void stop()
    {
        media->holdListing = false;
        manager->requestInterrupt();
        manager->requestClose();
        manager.reset();
    }
    QString file(const QString &relative, const QByteArray &data, const QDateTime &modified = {})
    {
        const QString path = root.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(data);
        f.flush();
        if (modified.isValid())
            f.setFileTime(modified, QFileDevice::FileModificationTime);
        return path;
    }
};
