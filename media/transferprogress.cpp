#include "media/transferprogress.h"

void TransferProgress::start(qint64 done, qint64 total, int scale)
{
    m_done = done;
    m_total = total;
    m_scale = scale;
}

int TransferProgress::value() const
{
    if (m_total <= 0 || m_done <= 0)
        return 0;
    if (m_done >= m_total)
        return m_scale;
    return int(double(m_done) / double(m_total) * m_scale);
}

qint64 TransferProgress::remainingMs(qint64 elapsedMs) const
{
    if (m_done <= 0 || m_total <= 0 || m_done > m_total || elapsedMs < 0)
        return -1;
    return qint64(double(m_total - m_done) * (double(elapsedMs) / double(m_done)));
}

QString TransferProgress::timeText(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    const qint64 h = seconds / 3600;
    const qint64 m = (seconds / 60) % 60;
    const qint64 s = seconds % 60;
    if (h > 0)
        return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
}
