#pragma once

#include "base/settings.h"

#include <QDialog>

namespace Ui {
class MessageBoxCheckable;
}

// A yes/no question with a check box "do not ask again". A ticked box stores "1" under the question's
// settings key whichever way the dialog ends; callers skip the question when the key reads "1".
class MessageBoxCheckable : public QDialog
{
    Q_OBJECT
public:
    explicit MessageBoxCheckable(QWidget *parent = nullptr);
    ~MessageBoxCheckable() override;

public slots:
    // 1 for "&Yes", 0 for "&No" or any other way of closing.
    int exec(const QString &text, const QString &checkBoxText, Settings::setingKey key);
    void onAccepted();

private:
    Ui::MessageBoxCheckable *ui;
    Settings::setingKey m_key = Settings::DownloadFFmpegRequest;
};
