#pragma once

#include "device/core/devicecall.h"
#include "device/transfers/copyjobdocument.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QStringList>

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
    // The user cancelled: the entries not sent yet stay where they are, and so does the one under way when
    // its request ends cancelled (currentStayed()).
    void cancel()
    {
        if (m_job.hasFiles())
            stopAt(m_job.takeFirstFile());
    }
    void currentStayed()
    {
        if (!m_current.isNull())
            m_unsentSources << m_current.absolutePath();
    }
    // The rest of the job is dropped.
    void clear()
    {
        m_job.clear();
        m_remaining = 0;
        m_movedFolders.clear();
    }
    // Names of the entries this job left out: their target would leave the chosen folder, their name cannot
    // be given on the receiver, or the receiver's name for them cannot be used.
    QStringList skipped() const { return m_skipped; }
    // An entry the worker could not copy (the receiver did not know it): named and kept like those left out.
    void notCopied(const CopyJobFile &entry) { skip(entry); }
    // The entry whose request went out last.
    CopyJobFile current() const { return m_current; }
    // The same entries by their source paths.
    QStringList skippedSources() const { return m_skippedSources; }
    // Names of the entries the user chose not to replace (the existing target kept), and their sources; the
    // sources of entries a Cancel or a No for the last entry left unsent as well.
    QStringList declined() const { return m_declined; }
    QStringList stayedSources() const { return m_declinedSources + m_unsentSources; }
    // PC folders a move has handed on, inner ones first: whether each has gone is seen when the job ends.
    QStringList movedFolders() const { return m_movedFolders; }
    // The job has ended: the listing is freed and the next job asks again.
    void end();
    int direction() const { return m_job.copyDirection(); }
    qint64 totalSize() const { return m_job.totalSize(); }
    bool replaceAll() const { return m_replaceAll; }

    // The request for the next entry, or nothing when the job is over (no entries left, the user
    // cancelled, or declined the last one). Entries whose target would leave the chosen folder are skipped
    // and named in skipped(). A folder that already exists on the receiver is asked about once, before any
    // of its contents is sent; No leaves everything inside it untouched.
    std::optional<DeviceCall> next(QWidget *parent, bool deleteSource);

private:
    void skip(const CopyJobFile &entry);
    // Decline: No for the last entry, which ends the job as Stop does.
    enum Decision { Ask, Overwrite, Keep, Decline, Stop };
    void decline(const QString &name, const QString &source);
    // Ends the job at entry: it and every entry after it stay where they are.
    void stopAt(const CopyJobFile &entry);
    Decision ask(QWidget *parent, int count, const QString &name, bool record);
    // For an upload: the folder of the selection this entry belongs to, when it exists in the listing.
    QString existingTopFolder(const CopyJobFile &entry) const;

    CopyJobDocument m_job;
    CopyJobFile m_current;
    QList<DeviceFileSystemItem *> *m_listing = nullptr;
    bool m_replaceAll = false;
    int m_remaining = 0;
    QStringList m_skipped;
    QStringList m_skippedSources;
    QStringList m_movedFolders;
    QStringList m_declined;
    QStringList m_declinedSources;
    QStringList m_unsentSources;
    // Answers given for top-level folders of an upload: true overwrites inside, false leaves it alone.
    QHash<QString, bool> m_folderAnswers;
};
