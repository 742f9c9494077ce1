#pragma once

#include "device/core/devicecall.h"
#include "device/transfers/copyjobdocument.h"

#include <QCoreApplication>
#include <QList>

#include <optional>

class DeviceFileSystemItem;
class QWidget;

// The running copy job of a media explorer page, taken apart one entry at a time: where the entry
// lands, the replace question, and the request that copies it.
class CopyJobRunner
{
    Q_DECLARE_TR_FUNCTIONS(MediaExplorerModule)
public:
    CopyJobRunner() = default;
    ~CopyJobRunner();
    CopyJobRunner(const CopyJobRunner &) = delete;
    CopyJobRunner &operator=(const CopyJobRunner &) = delete;

    // A prepared job; listing (the receiver destination folder of an upload, may be null) is taken over.
    void load(const QString &jobText, QList<DeviceFileSystemItem *> *listing);
    // The rest of the job is dropped.
    void clear() { m_job.clear(); }
    // The job has ended: the listing is freed and the next job asks again.
    void end();
    int direction() const { return m_job.copyDirection(); }
    qint64 totalSize() const { return m_job.totalSize(); }
    bool replaceAll() const { return m_replaceAll; }

    // The request for the next entry, or nothing when the job is over (no entries left, the user
    // cancelled, or declined the last one). Entries whose target would leave the chosen folder are skipped.
    std::optional<DeviceCall> next(QWidget *parent, bool deleteSource);

private:
    CopyJobDocument m_job;
    QList<DeviceFileSystemItem *> *m_listing = nullptr;
    bool m_replaceAll = false;
};
