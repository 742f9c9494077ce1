#pragma once

#include <QString>

class TransferLink;

// Copies recordings between a receiver and the PC: download by record id (0x05) into a folder of
// its own, part by part, and upload of recording sets (0x0B), description first, then the bytes the
// receiver asks for.
class RecordingTransfer
{
public:
    enum Outcome { Completed, Failed, Canceled, NotFound };

    explicit RecordingTransfer(TransferLink &link);

    // The parts go to temporary files beside their final names and replace them only when the
    // receiver ended the stream normally; otherwise nothing of the user's is touched.
    Outcome download(quint16 recordId, const QString &destination);
    // path: a ".desc" file (that recording set only) or a folder (every set in it). Completed only
    // when the receiver confirmed every packet of every set; the first failure ends the job.
    Outcome upload(const QString &path);

    // Set by a caller that names such recordings itself: a download of a record number the receiver does
    // not know ends as NotFound without an error.
    bool notFoundUnsaid = false;
    // A part is continued in a numbered segment file once it passed this size and a write failed.
    qint64 segmentLimit = 4290000000LL;
    // Largest data block a receiver may announce.
    static constexpr quint32 MaxBlock = 64u * 1024u * 1024u;
    // Wait for the receiver's answer to the closing byte.
    int closingWaitMs = 30000;

    static QString recordingName(const QString &destination);

private:
    struct Download;
    struct Upload;
    // Download steps: the request and its part table, the block stream, the end.
    bool requestTable(quint16 recordId, Download &d);
    void receiveBlocks(Download &d);
    bool take(Download &d, qint64 n, QByteArray *out);
    bool writeBlock(Download &d, qint8 key, const QByteArray &data);
    bool openSegment(Download &d, qint8 key);
    void sendCancel(Download &d);
    // The link is out of step or silent: it is closed, so the next request goes over a new connection.
    void giveUp(Download &d);
    Outcome finish(Download &d);

    // Upload steps of one recording set.
    Outcome uploadSet(const QString &descPath);
    Outcome sendDescription(Upload &u);
    Outcome serveRequests(Upload &u);
    // The next status, waited for whatever the user does meanwhile; a cancel marks the upload as aborting.
    int status(Upload &u);
    // A cancel that came is taken in: the packets that follow abort.
    void takeCancel(Upload &u);
    // The receiver did not answer or take what went: the link is given up.
    void lose(Upload &u);
    Outcome broken(const Upload &u, int code);
    void reportCode(int code);

    TransferLink &m_link;
    bool m_uploadCanceled = false;
};
