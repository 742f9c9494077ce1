#pragma once

#include "device/core/mill.h"

class DeviceCall;

// The worker of PC-only file jobs: prepare a PC-to-PC copy, copy or move one entry, delete files.
class OfflineMill : public Mill
{
    Q_OBJECT
public:
    explicit OfflineMill(QObject *owner);
    ~OfflineMill() override;

    static constexpr int BlockSize = 16000;

public slots:
    void execute(DeviceTask *task) override;

private:
    void copyPcToPc(const DeviceCall &call);
    void copyFolder(const QString &source, const QString &destination, bool move);
    void copyFile(const QString &source, const QString &destination, bool move);
    void deletePcFiles(const DeviceCall &call);
    void prepareToCopyPcToPc(const DeviceCall &call);
};
