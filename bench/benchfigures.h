#pragma once

// What several benchmarks measure the same way: the median of repeated rounds, and the bare cost of
// a list file (read, decompress, QDomDocument::setContent) that the pages are held against.

#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>

#include <algorithm>

namespace BenchFigures {

inline double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Milliseconds to read, decompress and parse a project file.
inline double bareParseMs(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    QDomDocument doc;
    if (!doc.setContent(qUncompress(file.readAll())))
        qFatal("cannot parse %s", qPrintable(path));
    return timer.nsecsElapsed() / 1e6;
}

} // namespace BenchFigures
