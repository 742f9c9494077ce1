#pragma once

// What several benchmarks measure the same way: the median of repeated rounds, and the bare cost of
// a list file (read, decompress, QDomDocument::setContent) that the pages are held against, the
// set-up every benchmark process makes around its QApplication, and waiting for a state.

#include <QCoreApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QHashSeed>
#include <QList>
#include <QStandardPaths>
#include <QString>

#include <algorithm>
#include <functional>

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

// Before the QApplication: stable hashes (so saved files are stable), offscreen unless a platform is
// asked for, and settings kept away from the user's.
inline void prepareProcess()
{
    QHashSeed::setDeterministicGlobalSeed();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
}

// After the QApplication: the settings store of this benchmark.
inline void nameApplication(const QString &bench)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Zembrak"));
    QCoreApplication::setApplicationName(QStringLiteral("Ombrelay Bench ") + bench);
}

// Runs the event loop until condition holds; false when timeoutMs passed first.
inline bool waitFor(const std::function<bool()> &condition, int timeoutMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

} // namespace BenchFigures
