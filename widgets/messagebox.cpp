#include "widgets/messagebox.h"

#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

MessageBox::AnswerHook &answerHook()
{
    static MessageBox::AnswerHook hook;
    return hook;
}

const QString productTitle = QStringLiteral("Ombrelay");

// The common frame of every box: frameless, modal, the product title.
void prepare(QMessageBox &box, const QString &text, QMessageBox::Icon icon, const QString &title)
{
    box.setWindowTitle(title);
    box.setIcon(icon);
    box.setText(text);
    // Texts name receivers, files and folders: shown as they stand, never as markup.
    box.setTextFormat(Qt::PlainText);
    // QMessageBox::setWindowModality() would reset the flags, and exec() makes the box modal anyway.
    box.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
}

} // namespace

void MessageBox::setAnswerHook(AnswerHook hook)
{
    answerHook() = std::move(hook);
}

bool MessageBox::hasAnswerHook()
{
    return bool(answerHook());
}

bool MessageBox::clickButton(QDialog *box, const QString &buttonText)
{
    if (!box)
        return false;
    const QString translated = QCoreApplication::translate("MessageBox", buttonText.toUtf8().constData());
    const auto buttons = box->findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        if (button->isVisible() && (button->text() == buttonText || button->text() == translated)) {
            button->click();
            return true;
        }
    }
    return false;
}

int MessageBox::execDialog(QDialog *dialog)
{
    if (const AnswerHook hook = answerHook()) {
        QPointer<QDialog> guard(dialog);
        QTimer::singleShot(0, dialog, [guard, hook] {
            if (guard)
                hook(guard.data());
            // Never leave a test waiting on a box nobody answered.
            if (guard && guard->isVisible())
                guard->reject();
        });
    }
    return dialog->exec();
}

void MessageBox::show(QWidget *parent, const QString &text, QMessageBox::Icon icon)
{
    QMessageBox box(parent);
    prepare(box, text, icon, icon == QMessageBox::Critical ? tr("Ombrelay Error") : productTitle);
    QPushButton *ok = box.addButton(tr("&Ok"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    execDialog(&box);
}

void MessageBox::information(QWidget *parent, const QString &text)
{
    show(parent, text, QMessageBox::Information);
}

void MessageBox::warning(QWidget *parent, const QString &text)
{
    show(parent, text, QMessageBox::Warning);
}

void MessageBox::critical(QWidget *parent, const QString &text)
{
    show(parent, text, QMessageBox::Critical);
}

bool MessageBox::twoButtonQuestion(QWidget *parent, const QString &text, const QString &yesText, const QString &noText,
                                   Answer defaultAnswer, Answer noAnswer)
{
    QMessageBox box(parent);
    prepare(box, text, QMessageBox::Question, productTitle);
    QPushButton *yes = box.addButton(yesText, QMessageBox::AcceptRole);
    QPushButton *no = box.addButton(noText, QMessageBox::RejectRole);
    if (defaultAnswer == noAnswer)
        box.setDefaultButton(no);
    else if (defaultAnswer == Yes)
        box.setDefaultButton(yes);
    box.setEscapeButton(no);
    execDialog(&box);
    return box.clickedButton() == yes;
}

bool MessageBox::question(QWidget *parent, const QString &text, const QString &yesText, const QString &noText,
                          Answer defaultAnswer)
{
    return twoButtonQuestion(parent, text, yesText, noText, defaultAnswer, No);
}

bool MessageBox::questionYesNo(QWidget *parent, const QString &text, Answer defaultAnswer)
{
    return twoButtonQuestion(parent, text, tr("&Yes"), tr("&No"), defaultAnswer, No);
}

bool MessageBox::questionYesCancel(QWidget *parent, const QString &text, Answer defaultAnswer)
{
    return twoButtonQuestion(parent, text, tr("&Yes"), tr("&Cancel"), defaultAnswer, Cancel);
}

MessageBox::Answer MessageBox::questionYesAllNoCancel(QWidget *parent, const QString &text, QMessageBox::Icon icon,
                                                      Answer defaultAnswer)
{
    QMessageBox box(parent);
    prepare(box, text, icon, productTitle);
    QPushButton *yesToAll = box.addButton(tr("Yes to &All"), QMessageBox::YesRole);
    QPushButton *yes = box.addButton(tr("&Yes"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(tr("&No"), QMessageBox::NoRole);
    QPushButton *cancel = box.addButton(tr("&Cancel"), QMessageBox::RejectRole);
    switch (defaultAnswer) {
    case Cancel:
        box.setDefaultButton(cancel);
        break;
    case Yes:
        box.setDefaultButton(yes);
        break;
    case YesToAll:
        box.setDefaultButton(yesToAll);
        break;
    case No:
        box.setDefaultButton(no);
        no->setDefault(true);
        break;
    }
    box.setEscapeButton(cancel);
    execDialog(&box);
    QAbstractButton *clicked = box.clickedButton();
    if (clicked == yesToAll)
        return YesToAll;
    if (clicked == yes)
        return Yes;
    if (clicked == no)
        return No;
    return Cancel;
}

MessageBox::Answer MessageBox::questionYesNoCancel(QWidget *parent, const QString &text, QMessageBox::Icon icon,
                                                   std::optional<Answer> defaultAnswer)
{
    QMessageBox box(parent);
    prepare(box, text, icon, productTitle);
    QPushButton *yes = box.addButton(tr("&Yes"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(tr("&No"), QMessageBox::NoRole);
    QPushButton *cancel = box.addButton(tr("&Cancel"), QMessageBox::RejectRole);
    if (defaultAnswer) {
        QPushButton *preferred = *defaultAnswer == No ? no : *defaultAnswer == Cancel ? cancel : yes;
        box.setDefaultButton(preferred);
        preferred->setDefault(true);
    }
    box.setEscapeButton(cancel);
    execDialog(&box);
    QAbstractButton *clicked = box.clickedButton();
    if (clicked == yes)
        return Yes;
    if (clicked == no)
        return No;
    return Cancel;
}

MessageBox::Answer MessageBox::warningYesNoCancel(QWidget *parent, const QString &text)
{
    return questionYesNoCancel(parent, text, QMessageBox::Warning);
}
