#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDirIterator>
#include <QString>
#include <QStringList>

// Files for tests: written with their folders, read back whole.
namespace TestFiles {

// Writes data to path (making its folders) and returns the path.
inline QString write(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
    return path;
}

// The file's bytes, or "<missing>".
inline QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Every entry below path (files and folders, hidden ones too), relative to it, sorted.
inline QStringList tree(const QString &path)
{
    QStringList found;
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(path).relativeFilePath(it.next());
    found.sort();
    return found;
}

} // namespace TestFiles
