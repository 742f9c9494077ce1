#pragma once

#include "emulatorlink.h"

#include "device/core/devicecall.h"

#include <QList>
#include <QPair>
#include <QString>

// The requests the pages hand a receiver's worker, as the worker tests make them: one place for the requests
// several tests send the emulator in the same way.
namespace WorkerRequests {

inline DeviceCall call(const QString &method, const QList<QPair<QString, QString>> &parameters)
{
    DeviceCall c(method);
    for (const auto &p : parameters)
        c.setParameter(p.first, p.second);
    return c;
}

inline DeviceCall listDownload()
{
    return call(QStringLiteral("sendOrdownloadTVLists"), {{"mode", "download"}, {"listType", "tv"}});
}

// Its payload is the list document the test sends.
inline DeviceCall listUpload()
{
    return call(QStringLiteral("sendOrdownloadTVLists"), {{"mode", "send"}, {"listType", "tv"}});
}

// The emulator's recording "Show" (record 7) into the PC folder, under that name.
inline DeviceCall recordingDownload(const EmulatorLink &e)
{
    return call(QStringLiteral("MEMCopyDeviceToPc"), {{"sourceFile", "rec://Show"},
                                                      {"destinationFile", e.pcPath(QStringLiteral("Show"))},
                                                      {"overwrite", "true"},
                                                      {"recordID", "7"}});
}

// The PC recording recs/Rec1 (its .desc and .ts) into the receiver's recordings.
inline DeviceCall recordingUpload(const EmulatorLink &e)
{
    return call(QStringLiteral("MEMCopyPcToDevice"),
                {{"sourceFile", "rec://" + e.pcPath(QStringLiteral("recs/Rec1.desc"))},
                 {"destinationFile", "/hda1/recordings"},
                 {"overwrite", "true"}});
}

inline DeviceCall description(const EmulatorLink &e)
{
    return call(QStringLiteral("getDeviceInfo"), {{"ip", e.emulator.host()}});
}

inline DeviceCall listing(const QString &path)
{
    return call(QStringLiteral("getFolder"), {{"@path", path}});
}

} // namespace WorkerRequests
