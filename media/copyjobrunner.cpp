#include "media/copyjobrunner.h"

#include "device/transfers/copyjobfile.h"
#include "device/transfers/devicefilesystemitem.h"
#include "media/copytargetrules.h"
#include "widgets/messagebox.h"

CopyJobRunner::~CopyJobRunner()
{
    end();
}

void CopyJobRunner::load(const QString &jobText, QList<DeviceFileSystemItem *> *listing)
{
    end();
    m_job.clear();
    if (!m_job.setContent(jobText))
        m_job.clear();
    // Counted once: counting the document's entries on every step would cost a walk per entry.
    m_remaining = m_job.fileCount();
    m_listing = listing;
}

void CopyJobRunner::end()
{
    if (m_listing) {
        qDeleteAll(*m_listing);
        delete m_listing;
        m_listing = nullptr;
    }
    m_replaceAll = false;
    m_skipped.clear();
    m_skippedSources.clear();
    m_movedFolders.clear();
    m_folderAnswers.clear();
    m_declined.clear();
    m_declinedSources.clear();
    m_unsentSources.clear();
    m_current = CopyJobFile();
}

CopyJobRunner::Decision CopyJobRunner::ask(QWidget *parent, int count, const QString &name, bool record)
{
    const QString text =
        record
            ? tr("This folder already contains a record named %1. Would you like to replace existing record?").arg(name)
            : tr("This folder already contains a file named %1. Would you like to replace existing file?").arg(name);
    const MessageBox::Answer answer =
        count > 1 ? MessageBox::questionYesAllNoCancel(parent, text, QMessageBox::Question, MessageBox::No)
                  : MessageBox::questionYesNoCancel(parent, text, QMessageBox::Question, MessageBox::No);
    if (answer == MessageBox::YesToAll)
        m_replaceAll = true;
    if (answer == MessageBox::YesToAll || answer == MessageBox::Yes)
        return Overwrite;
    if (answer == MessageBox::No)
        return count > 1 ? Keep : Decline;
    return Stop;
}

QString CopyJobRunner::existingTopFolder(const CopyJobFile &entry) const
{
    if (direction() != CopyJobDocument::PcToDevice || !m_listing || entry.relativePath().isEmpty())
        return QString();
    const QString top = entry.relativePath().section(u'/', 0, 0, QString::SectionSkipEmpty);
    for (const DeviceFileSystemItem *item : *m_listing)
        if (item->isContainer() && item->displayName() == top)
            return top;
    return QString();
}

void CopyJobRunner::skip(const CopyJobFile &entry)
{
    // A PC name may hold a "\": only "/" separates there.
    const QString name =
        direction() == CopyJobDocument::DeviceToPc ? entry.fileName() : entry.absolutePath().section(u'/', -1);
    m_skipped << DeviceFileSystemItem::stripControlChars(name.isEmpty() ? entry.absolutePath() : name);
    m_skippedSources << entry.absolutePath();
}

void CopyJobRunner::decline(const QString &name, const QString &source)
{
    m_declined << DeviceFileSystemItem::stripControlChars(name);
    m_declinedSources << source;
}

void CopyJobRunner::stopAt(const CopyJobFile &entry)
{
    m_unsentSources << entry.absolutePath();
    while (m_job.hasFiles())
        m_unsentSources << m_job.takeFirstFile().absolutePath();
    m_job.clear();
    m_remaining = 0;
}

std::optional<DeviceCall> CopyJobRunner::next(QWidget *parent, bool deleteSource)
{
    const QString yes = QStringLiteral("true");
    const QString no = QStringLiteral("false");
    while (m_job.hasFiles()) {
        const int count = m_remaining--;
        CopyJobFile entry = m_job.takeFirstFile();
        const int dir = direction();
        const QString destination =
            entry.isUnreachable() ? QString() : CopyTargetRules::destinationFor(dir, m_job.destinationPath(), entry);
        if (destination.isEmpty()) {
            skip(entry);
            continue;
        }
        entry.setAttribute(QStringLiteral("destinationPath"), destination);
        bool overwrite = true;
        // The folder's own entry comes after its contents: the answer must come before the first of them.
        const QString folder = existingTopFolder(entry);
        if (!folder.isEmpty() && !m_replaceAll && !m_folderAnswers.contains(folder)) {
            const Decision decision = ask(parent, count, folder, false);
            if (decision == Keep || decision == Decline)
                decline(folder, entry.absolutePath());
            if (decision == Stop || decision == Decline) {
                stopAt(entry);
                return std::nullopt;
            }
            m_folderAnswers.insert(folder, decision == Overwrite);
        }
        if (!folder.isEmpty() && !m_folderAnswers.value(folder, true))
            continue;
        const CopyTargetRules::Question question = m_replaceAll || !folder.isEmpty()
                                                       ? CopyTargetRules::NoQuestion
                                                       : CopyTargetRules::question(dir, entry, destination, m_listing);
        if (question != CopyTargetRules::NoQuestion) {
            const QString name = CopyTargetRules::entryName(dir, entry);
            const Decision decision = ask(parent, count, name, question == CopyTargetRules::RecordQuestion);
            if (decision == Keep || decision == Decline)
                decline(name, entry.absolutePath());
            if (decision == Stop || decision == Decline) {
                stopAt(entry);
                return std::nullopt;
            }
            overwrite = decision == Overwrite;
        }
        if (deleteSource && dir != CopyJobDocument::DeviceToPc && entry.isDir() &&
            !entry.absolutePath().startsWith(QLatin1String("rec://")))
            m_movedFolders << entry.absolutePath();
        DeviceCall call(dir == CopyJobDocument::PcToPc       ? QStringLiteral("MEMCopyPcToPc")
                        : dir == CopyJobDocument::DeviceToPc ? QStringLiteral("MEMCopyDeviceToPc")
                                                             : QStringLiteral("MEMCopyPcToDevice"));
        call.setParameter(QStringLiteral("sourceFile"), entry.absolutePath());
        if (dir == CopyJobDocument::PcToPc)
            call.setParameter(QStringLiteral("fileType"), QString::number(entry.type()));
        call.setParameter(QStringLiteral("destinationFile"), destination);
        call.setParameter(QStringLiteral("deleteSource"), deleteSource ? yes : no);
        call.setParameter(QStringLiteral("overwrite"), overwrite ? yes : no);
        if (dir == CopyJobDocument::DeviceToPc) {
            call.setParameter(QStringLiteral("size"), QString::number(entry.size()));
            call.setParameter(QStringLiteral("recordID"), QString::number(entry.id()));
        }
        m_current = entry;
        return call;
    }
    return std::nullopt;
}
