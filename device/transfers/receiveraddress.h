#pragma once

#include <QString>
#include <QStringList>

// One receiver item address as the transfer payloads carry it:
//   dir://PATH*0   file://PATH*SIZE   rec://NAME*SIZE*ID
// The size (and for a recording the id) are the last "*" fields, so a "*" inside a name is kept.
class ReceiverAddress
{
public:
    enum Scheme { Invalid, Dir, File, Rec };

    static ReceiverAddress parse(const QString &line);
    static QString dirLine(const QString &path);
    static QString fileLine(const QString &path, qint64 size);
    static QString recLine(const QString &name, qint64 size, int recordId);

    bool isValid() const { return m_scheme != Invalid; }
    Scheme scheme() const { return m_scheme; }
    // The path (or a recording's name) without scheme and without the "*" fields.
    QString path() const { return m_path; }
    // Scheme and path, as copy-job entries keep it.
    QString schemeAndPath() const;
    qint64 size() const { return m_size; }
    // The record id as written (signed); the receiver takes its low 16 bits.
    int recordId() const { return m_recordId; }
    quint16 wireRecordId() const { return quint16(m_recordId); }

    // Receiver path components in order, empty components dropped; separator "\" or "/".
    static QStringList splitPath(const QString &path, QChar separator = u'\\');
    // "/hda1\recordings" and the like: the volume's recordings folder.
    static bool isRecordingsFolder(const QString &path);
    // Whether the last level of a payload path is a name a PC can take as it stands: not ".", "..", nor
    // holding a control character or a "/" after its start (the page marks a name it cleaned with one
    // after it; a volume's label starts with one).
    static bool isPcName(const QString &name);
    // The separator of all payloads: "\r\n".
    static QString separator();

private:
    Scheme m_scheme = Invalid;
    QString m_path;
    qint64 m_size = 0;
    int m_recordId = 0;
};
