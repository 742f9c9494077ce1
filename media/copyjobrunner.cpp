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
}

std::optional<DeviceCall> CopyJobRunner::next(QWidget *parent, bool deleteSource)
{
    const QString yes = QStringLiteral("true");
    const QString no = QStringLiteral("false");
    while (m_job.hasFiles()) {
        const int count = m_job.fileCount();
        CopyJobFile entry = m_job.takeFirstFile();
        const int dir = direction();
        const QString destination = CopyTargetRules::destinationFor(dir, m_job.destinationPath(), entry);
        if (destination.isEmpty())
            continue;
        entry.setAttribute(QStringLiteral("destinationPath"), destination);
        bool overwrite = true;
        const CopyTargetRules::Question question =
            m_replaceAll ? CopyTargetRules::NoQuestion : CopyTargetRules::question(dir, entry, destination, m_listing);
        if (question != CopyTargetRules::NoQuestion) {
            const QString name = CopyTargetRules::entryName(dir, entry);
            const QString text =
                question == CopyTargetRules::RecordQuestion
                    ? tr("This folder already contains a record named %1. Would you like to replace existing record?")
                          .arg(name)
                    : tr("This folder already contains a file named %1. Would you like to replace existing file?")
                          .arg(name);
            const MessageBox::Answer answer =
                count > 1 ? MessageBox::questionYesAllNoCancel(parent, text, QMessageBox::Question, MessageBox::No)
                          : MessageBox::questionYesNoCancel(parent, text, QMessageBox::Question);
            if (answer == MessageBox::YesToAll)
                m_replaceAll = true;
            else if (answer == MessageBox::No && count > 1)
                overwrite = false;
            else if (answer != MessageBox::Yes) {
                m_job.clear();
                return std::nullopt;
            }
        }
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
        return call;
    }
    return std::nullopt;
}
