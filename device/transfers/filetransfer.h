#pragma once

#include <QString>
#include <QStringList>

class CopyJobDocument;
class QByteArray;
class QSaveFile;
class TransferLink;

// Copies one plain file between the PC and a receiver: download (0x04) and upload (0x0A).
class FileTransfer
{
public:
    enum Outcome { Completed, Skipped, Failed, Canceled, NotFound };

    explicit FileTransfer(TransferLink &link);

    // Receiver file (path with "\" separators, no scheme) to a PC file. The bytes go to a temporary
    // file beside the destination that replaces it only when every announced byte came; a failed,
    // cut short or cancelled download leaves an existing destination as it was. With deleteSource
    // the receiver file is deleted only after a complete download; a failed deletion is added to
    // *failures.
    Outcome download(const QString &receiverPath, const QString &destination, bool overwrite, bool deleteSource,
                     qint64 expectedSize, CopyJobDocument *failures);

    // PC file (or folder) to a receiver path with "/" separators. Completed only when every packet
    // was acknowledged; a file that cannot be read ends with the cancel packet and Failed. An empty
    // file goes as a transfer of size 0.
    Outcome upload(const QString &source, const QString &receiverPath);

    // Set by a caller that names such entries itself: a download whose path the receiver does not know, or an
    // upload whose folder path it refuses, ends as NotFound without an error, so one entry of a batch does not
    // end the batch.
    bool notFoundUnsaid = false;

    // How long bytes the receiver may still send after its end of a download are waited for (ms): the rest of
    // its closing block, or an answer to a cancel byte that came after its last block.
    static constexpr int DrainMs = 1000;

private:
    // mayBeUnsaid: a "not found" is NotFound without an error when the caller names such entries.
    Outcome reportCode(int code, bool mayBeUnsaid = true);
    // The header, then every level (each answered) and, when the receiver took the last level, the last
    // message. Returns 1 once that message went, the refusal of the header or of the last level, or -1 when
    // the link failed.
    int sendPath(quint8 command, const QStringList &parts, const QByteArray &last);
    // A read or status; a cancel while waiting is noted (and, among the blocks of a download, told
    // to the receiver at once), then the read goes on within the link's waits so the exchange ends in step.
    bool read(qint64 n, QByteArray *out);
    int status();
    void noteCancel();
    void sendCancelByte();
    // Reads and drops the rest of the receiver's closing block (up to one block, within the drain
    // wait), then whatever else is pending.
    void drainClosingBlock(qint64 block);
    Outcome receive(const QStringList &parts, QSaveFile &file);

    TransferLink &m_link;
    bool m_canceled = false;
    bool m_blockPhase = false;
    bool m_cancelSent = false;
    bool m_receiverEnded = false;
    bool m_levelRefused = false; // the last sendPath ended at a refused level
};
