#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

// The window that keeps the user out while a job in steps on the GUI thread runs: application-modal, with
// a text and a bar. It cannot be dismissed (no close button; Escape and a close request are refused), and
// setting its progress only paints, it never runs the event loop: the job reports between its steps and
// the window goes when the job ends.
class JobProgressWindow : public QDialog
{
    Q_OBJECT
public:
    JobProgressWindow(const QString &text, QWidget *parent);

    void setLabelText(const QString &text);
    QString labelText() const;
    // done of total; a total of 0 shows a busy bar
    void setProgress(int done, int total);
    int value() const;
    int maximum() const;
    // The job ended: the window goes (later, so that a caller inside its own signal is safe) and the window
    // it kept out is active again, so that its keys and shortcuts reach it at once.
    void finish();

public slots:
    // Refused: only the job's end takes the window away.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QLabel *label = nullptr;
    QProgressBar *bar = nullptr;
};
