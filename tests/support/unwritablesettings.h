#pragma once

// The settings file of the running test replaced by a folder for as long as this lives: no write of the
// settings store reaches it, whoever runs the test (root writes a file whatever its permissions, but never a
// file where a folder stands). The file is put aside meanwhile and comes back, newer than before, so the
// store reads it again instead of trusting what it read while the folder stood there.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSettings>

struct UnwritableSettings
{
    const QString file = QSettings().fileName();
    const QString aside = file + QStringLiteral(".aside");
    bool made = false;
    UnwritableSettings()
    {
        QSettings().sync();
        QFile::remove(aside);
        made = QFile::rename(file, aside) && QDir().mkpath(file);
    }
    ~UnwritableSettings()
    {
        QDir().rmdir(file);
        QFile restored(aside);
        if (restored.rename(file) && restored.open(QIODevice::ReadWrite))
            restored.setFileTime(QDateTime::currentDateTime().addSecs(2), QFileDevice::FileModificationTime);
    }
    UnwritableSettings(const UnwritableSettings &) = delete;
    UnwritableSettings &operator=(const UnwritableSettings &) = delete;
};
