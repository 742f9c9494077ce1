#include "widgets/jobprogresswindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

JobProgressWindow::JobProgressWindow(const QString &text, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    label = new QLabel(text, this);
    bar = new QProgressBar(this);
    bar->setRange(0, 0);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(bar);
    setWindowModality(Qt::ApplicationModal);
    setMinimumWidth(300);
}

void JobProgressWindow::setLabelText(const QString &text)
{
    label->setText(text);
}

QString JobProgressWindow::labelText() const
{
    return label->text();
}

void JobProgressWindow::setProgress(int done, int total)
{
    bar->setRange(0, qMax(0, total));
    bar->setValue(total > 0 ? qBound(0, done, total) : 0);
}

int JobProgressWindow::value() const
{
    return bar->value();
}

int JobProgressWindow::maximum() const
{
    return bar->maximum();
}

void JobProgressWindow::finish()
{
    QWidget *keptOut = parentWidget() ? parentWidget()->window() : nullptr;
    // Going while active, or with no window of the program active, it hands the activation back: not every
    // window system does so by itself, and without an active window no key (Ctrl+S, say) reaches the program.
    const bool handBack = isActiveWindow() || !QApplication::activeWindow();
    hide();
    deleteLater();
    if (keptOut && keptOut->isVisible() && handBack)
        keptOut->activateWindow();
}

void JobProgressWindow::reject() {}

void JobProgressWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
}
