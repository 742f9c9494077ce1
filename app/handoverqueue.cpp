#include "app/handoverqueue.h"

HandOverQueue::HandOverQueue(std::function<bool()> busy, std::function<void(const QString &)> open, QObject *parent)
    : QObject(parent)
    , m_busy(std::move(busy))
    , m_open(std::move(open))
{
    m_retry.setInterval(100);
    connect(&m_retry, &QTimer::timeout, this, &HandOverQueue::openWaiting);
}

bool HandOverQueue::keep(const QString &path)
{
    // A file opened while another waits would pass it; one opened during a question would stack a second
    // question on the first, whose answer would then act on a list it does not name.
    if (!m_busy() && (m_files.isEmpty() || !m_retry.isActive()))
        return false;
    m_files.append(path);
    m_retry.start();
    return true;
}

void HandOverQueue::openWaiting()
{
    if (m_busy())
        return;
    m_retry.stop();
    while (!m_files.isEmpty() && !m_busy())
        m_open(m_files.takeFirst());
    if (!m_files.isEmpty())
        m_retry.start();
}
