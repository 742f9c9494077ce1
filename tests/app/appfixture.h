#pragma once

// Shared by the shell's tests: empty settings with usable media folders, and message boxes answered the
// way a person would.

#include "base/settings.h"
#include "widgets/messagebox.h"

#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// Empty settings whose media folders exist, so the settings page can be left.
inline void freshSettings(const QTemporaryDir &media)
{
    QSettings().clear();
    for (auto key : {Settings::PathPictures, Settings::PathVideo, Settings::PathMusic})
        Settings::setString(key, media.path());
}

// Writes down every box; a question takes the next answer (yes when none is left), the first button
// saying yes; everything else is closed with Escape.
struct BoxAnswers
{
    QStringList texts;
    QStringList titles;
    QList<bool> answers;
    BoxAnswers()
    {
        MessageBox::setAnswerHook([this](QDialog *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            texts << box->text();
            titles << box->windowTitle();
            const bool question = box->icon() == QMessageBox::Question;
            if (question && (answers.isEmpty() || answers.takeFirst()))
                box->findChildren<QPushButton *>().first()->click();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
    }
    ~BoxAnswers() { MessageBox::setAnswerHook({}); }
};
