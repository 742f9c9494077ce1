#pragma once

#include "media/mediaexplorertreeview.h"

#include <QVector>

// The flat folder browser of the PC pane: one folder at a time, a back history, up to the drive list,
// the standard folders from the settings.
class MediaExplorerFileBrowser : public MediaExplorerTreeView
{
    Q_OBJECT
public:
    explicit MediaExplorerFileBrowser(QWidget *parent = nullptr);

    QString currentPathText() const;
    void changeRootIndex(const QModelIndex &index, bool addToHistory);
    void setRootPath(const QString &path, bool addToHistory);
    void goToStandardFolder(int folder);
    void goBack();
    void goUp();
    void refreshCurrentFolder() override;

signals:
    void currentPathChanged(const QString &path);
    void goUpPossible(bool possible);
    void goBackPossible(bool possible);

private slots:
    void onItemDoubleClicked(const QModelIndex &index) override;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void rootLost(const QString &path) override;

private:
    void showFolder(const QModelIndex &index);

    QVector<QString> _history;
};
