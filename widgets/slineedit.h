#pragma once

#include <QLineEdit>

// The base line edit of the forms: its text is the user property that mappers and delegates bind,
// and it tells when its enabled state changes.
class SLineEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged2 USER true)

public:
    explicit SLineEdit(QWidget *parent = nullptr);

    // Sets the text and shows its beginning.
    void setText(const QString &text);

signals:
    void textChanged2(const QString &text);
    void enabledChanged(bool enabled);

protected:
    void changeEvent(QEvent *event) override;
};
