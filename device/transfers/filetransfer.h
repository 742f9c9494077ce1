#pragma once

#include <QString>

class CopyJobDocument;
class TransferLink;

// Copies one plain file between the PC and a receiver: download (0x04) and upload (0x0A).
class FileTransfer
{
public:
    enum Outcome { Completed, Skipped, Failed, Canceled };

    explicit FileTransfer(TransferLink &link);

    // Receiver file (path with "\" separators, no scheme) to a PC file. The bytes go to a temporary
    // file beside the destination that replaces it only when every byte came; a failed or cancelled
    // download leaves an existing destination as it was. With deleteSource the receiver file is
    // deleted only after a complete download; a failed deletion is added to *failures.
    Outcome download(const QString &receiverPath, const QString &destination, bool overwrite, bool deleteSource,
                     qint64 expectedSize, CopyJobDocument *failures);

    // PC file (or folder) to a receiver path with "/" separators. Completed only when every packet
    // was acknowledged; a file that cannot be read ends with the cancel packet and Failed.
    Outcome upload(const QString &source, const QString &receiverPath);

private:
    Outcome reportCode(int code);
    void drainAfterCancel();

    TransferLink &m_link;
};
