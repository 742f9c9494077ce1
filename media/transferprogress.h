#pragma once

#include <QString>
#include <QtGlobal>

// The numbers of the transfer bar: progress comes as byte increments and is shown in scale steps.
class TransferProgress
{
public:
    void start(qint64 done, qint64 total, int scale);
    void add(qint64 delta) { m_done += delta; }
    qint64 done() const { return m_done; }
    qint64 total() const { return m_total; }
    // The scale while the total is known; 0 (a busy bar) without one.
    int maximum() const { return m_total > 0 ? m_scale : 0; }
    // The share done so far, never past the end.
    int value() const;
    // Milliseconds still to go at the pace so far; -1 when that cannot be told.
    qint64 remainingMs(qint64 elapsedMs) const;
    // "mm:ss" below an hour, "h:mm:ss" from an hour on.
    static QString timeText(qint64 ms);

private:
    qint64 m_done = 0;
    qint64 m_total = 0;
    int m_scale = 1000;
};
