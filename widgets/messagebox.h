#pragma once

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

#include <functional>
#include <optional>

class QDialog;
class QWidget;

// Every message and question the program puts to the user: a frameless modal QMessageBox titled
// "Ombrelay" ("Ombrelay Error" for errors) with the program's own button texts and fixed results.
// Closing a box with Escape or its close counts as its reject button (false / Cancel).
//
// Answering boxes in tests: install an answer hook. Each box built here (and each MessageBoxCheckable
// question) is handed to the hook once it is shown and running modally; the hook answers it like a
// person would, e.g.
//
//     MessageBox::setAnswerHook([&](QDialog *box) {
//         auto *mb = qobject_cast<QMessageBox *>(box);
//         seenTexts << mb->text();
//         QTest::keyClick(box, Qt::Key_Escape);        // or: MessageBox::clickButton(box, "&Yes")
//     });
//     ...
//     MessageBox::setAnswerHook({});                   // in cleanup()
//
// A box the hook leaves open is rejected (as with Escape), so a test never hangs on a box. The program
// itself never installs a hook.
class MessageBox
{
    Q_DECLARE_TR_FUNCTIONS(MessageBox)
public:
    enum Answer { Yes = 0, YesToAll = 1, No = 2, Cancel = 4 };

    using AnswerHook = std::function<void(QDialog *)>;
    static void setAnswerHook(AnswerHook hook);
    static bool hasAnswerHook();
    // Clicks the push button of box whose (source or translated) text is buttonText; false if none.
    static bool clickButton(QDialog *box, const QString &buttonText);
    // Runs a modal dialog, giving it to the answer hook when one is installed. Returns exec()'s result.
    static int execDialog(QDialog *dialog);

    static void show(QWidget *parent, const QString &text, QMessageBox::Icon icon);
    static void information(QWidget *parent, const QString &text);
    static void warning(QWidget *parent, const QString &text);
    static void critical(QWidget *parent, const QString &text);

    static bool question(QWidget *parent, const QString &text, const QString &yesText, const QString &noText,
                         Answer defaultAnswer);
    static bool questionYesNo(QWidget *parent, const QString &text, Answer defaultAnswer);
    static bool questionYesCancel(QWidget *parent, const QString &text, Answer defaultAnswer);
    static Answer questionYesAllNoCancel(QWidget *parent, const QString &text, QMessageBox::Icon icon,
                                         Answer defaultAnswer);
    // Without a default answer no button is marked as the default.
    static Answer questionYesNoCancel(QWidget *parent, const QString &text, QMessageBox::Icon icon,
                                      std::optional<Answer> defaultAnswer = std::nullopt);
    static Answer warningYesNoCancel(QWidget *parent, const QString &text);

private:
    static bool twoButtonQuestion(QWidget *parent, const QString &text, const QString &yesText, const QString &noText,
                                  Answer defaultAnswer, Answer noAnswer);
};
