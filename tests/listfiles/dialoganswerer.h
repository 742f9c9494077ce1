#pragma once

// Answers the modal file dialogs and message boxes that the project-file managers open, the way a person
// would, and records what they showed.

#include "widgets/messagebox.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

struct SeenFileDialog
{
    QString caption;
    QString filter;
    QString proposed;
    QString folder; // where the dialog opened
};

class DialogAnswerer : public QObject
{
public:
    // Each answer is a path to choose, or an empty string to cancel.
    QStringList fileAnswers;
    // Each answer is a button text ("&Yes", "&No", "&Cancel", "&Ok"); an exhausted list presses Escape.
    QStringList boxAnswers;
    QList<SeenFileDialog> fileDialogs;
    QStringList boxTexts;
    QStringList boxTitles;

    DialogAnswerer()
    {
        MessageBox::setAnswerHook([this](QDialog *box) {
            auto *messageBox = qobject_cast<QMessageBox *>(box);
            boxTexts << (messageBox ? messageBox->text() : QString());
            boxTitles << box->windowTitle();
            const QString answer = boxAnswers.isEmpty() ? QString() : boxAnswers.takeFirst();
            if (answer.isEmpty() || !MessageBox::clickButton(box, answer))
                box->reject();
        });
        // a file dialog is found while it runs its own event loop
        QObject::connect(&timer, &QTimer::timeout, this, [this] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            fileDialogs << SeenFileDialog{dialog->windowTitle(), dialog->nameFilters().join(";;"),
                                          dialog->selectedFiles().value(0), dialog->directory().absolutePath()};
            const QString answer = fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
            if (!answer.isEmpty()) {
                dialog->selectFile(answer);
                // selectFile leaves the name field alone while it has the focus, and whether it has
                // it by now depends on when the window was activated: the name goes in either way.
                auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                if (name && QDir::isAbsolutePath(answer))
                    name->setText(QFileInfo(answer).fileName());
            }
            static_cast<QDialog *>(dialog)->done(answer.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
        });
        timer.start(5);
    }
    ~DialogAnswerer() override { MessageBox::setAnswerHook({}); }

private:
    QTimer timer;
};
