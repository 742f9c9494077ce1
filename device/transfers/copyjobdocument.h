#pragma once

#include "device/transfers/copyjobfile.h"

#include <QDomDocument>

// The copy-job document that travels as text between the media explorer and the workers:
// <files copyDirection=".." totalSize=".." destinationPath=".."><file .../>...</files>
class CopyJobDocument : public QDomDocument
{
public:
    enum Direction { NotSet = -1, PcToPc = 0, PcToDevice = 1, DeviceToPc = 2 };

    CopyJobDocument();

    QString toString() const;
    void clear();
    bool setContent(const QString &text);
    CopyJobFile takeFirstFile();
    int fileCount() const;
    bool hasFiles() const;

    void setTotalSize(qint64 size);
    qint64 totalSize() const;
    void setCopyDirection(int direction);
    int copyDirection() const;
    void setDestinationPath(const QString &path);
    QString destinationPath() const;

    void addFile(int type, qint64 size, const QString &absolutePath, const QString &relativePath, int id);
    void addPlainFile(qint64 size, const QString &absolutePath, const QString &relativePath);
    // Appends an entry that is only named to the user, never copied (CopyJobFile::isUnreachable).
    void addUnreachable(int type, const QString &absolutePath, const QString &relativePath);

private:
    QDomElement files() const;
};
