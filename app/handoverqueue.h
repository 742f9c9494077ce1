#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

// Files handed over by later starts that the window took while it could not open them yet (a question
// of it was open): kept in order and opened one after another once nothing is asked any more. A
// question's end sends no signal, so the queue looks again at a short interval while it holds files.
class HandOverQueue : public QObject
{
    Q_OBJECT
public:
    // busy: whether the window cannot open a file now; open: opens one.
    HandOverQueue(std::function<bool()> busy, std::function<void(const QString &)> open, QObject *parent);

    // Keeps path when it has to wait (the window is busy, or earlier files still wait for their turn) and
    // says so; false when it can be opened now.
    bool keep(const QString &path);
    bool isEmpty() const { return m_files.isEmpty(); }
    // Opens the waiting files now, as far as the window lets it.
    void openWaiting();

private:
    std::function<bool()> m_busy;
    std::function<void(const QString &)> m_open;
    QStringList m_files;
    QTimer m_retry;
};
