#include "base/driveflush.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <utility>

namespace {

std::atomic_bool failForTests{false};
QMutex hookMutex;
std::function<void()> startHook;

bool syncDescriptor(const QString &path, bool wholeFileSystem, QString *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    int result = ::fsync(fd);
    if (result == 0 && wholeFileSystem)
        result = ::syncfs(fd);
    const int savedErrno = errno;
    ::close(fd);
    if (result != 0 && error)
        *error = QString::fromLocal8Bit(std::strerror(savedErrno));
    return result == 0;
}

} // namespace

bool DriveFlush::flush(const QString &path, QString *error)
{
    std::function<void()> hook;
    {
        const QMutexLocker locker(&hookMutex);
        hook = startHook;
    }
    if (hook)
        hook();
    if (failForTests) {
        if (error)
            *error = QCoreApplication::translate("DriveFlush", "The drive did not confirm the data.");
        return false;
    }
    const QFileInfo info(path);
    if (info.isDir())
        return syncDescriptor(info.absoluteFilePath(), true, error);
    return syncDescriptor(info.absoluteFilePath(), false, error) && syncDescriptor(info.absolutePath(), true, error);
}

void DriveFlush::flushInBackground(const QString &path, QObject *receiver,
                                   std::function<void(bool ok, const QString &error)> done)
{
    struct Outcome
    {
        bool ok = false;
        QString error;
    };
    const auto outcome = std::make_shared<Outcome>();
    QThread *thread = QThread::create([path, outcome] { outcome->ok = flush(path, &outcome->error); });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    QObject::connect(thread, &QThread::finished, receiver,
                     [outcome, done = std::move(done)] { done(outcome->ok, outcome->error); });
    thread->start();
}

void DriveFlush::setFailureForTests(bool fail)
{
    failForTests = fail;
}

void DriveFlush::setStartHookForTests(std::function<void()> hook)
{
    const QMutexLocker locker(&hookMutex);
    startHook = std::move(hook);
}
