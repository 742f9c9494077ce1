#pragma once

#include "ui_favouritelisteditor.h"
#include "widgets/jobprogresswindow.h"

#include <QItemSelection>
#include <QModelIndexList>
#include <QPointer>
#include <QWidget>

class ListModel;

// The page of one favourite-list tab: a "Create new" button, the edit panel and the table of the list's
// entries; a locked list is shown read-only.
class FavouriteListEditor : public QWidget, public Ui_FavouriteListEditor
{
    Q_OBJECT
public:
    explicit FavouriteListEditor(QWidget *parent = nullptr);
    ~FavouriteListEditor() override;

    void setModel(ListModel *model);
    void setReadOnly(bool readOnly);
    // The window that shows a long paste into the list while the user waits on it; null otherwise.
    JobProgressWindow *pasteProgress() const { return progress.data(); }
    QModelIndexList selectedRows() const;
    void retranslate();

signals:
    void itemsChanged();
    void itemPressed(QModelIndex index);
    void createNewItemPressed();
    void currentSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);

private slots:
    void onActionTriggered();

private:
    void onPasteStarted();
    void onPasteProgress(int done, int total);
    void onPasteFinished();
    void closeProgress();

    // A long paste is one step the user waits on: the window shows its progress and takes no other input.
    // (a child of the window: tracked, since the window may take it along first as the program ends)
    QPointer<JobProgressWindow> progress;
    // The table had the focus when the paste began: it gets it back when the paste is in, so the window's
    // shortcuts reach the page again.
    bool focusBeforePaste = false;
    bool focusAtPaste = false;
    // The paste was triggered while its entries were still going in; it is reported when they are in.
    bool reportWhenPasted = false;
    QList<QMetaObject::Connection> pasteConnections;
    // A paste reaches the model as a drop too; the user did one thing, so it is reported once.
    bool pasting = false;
    QPointer<ListModel> droppedSource;
    QMetaObject::Connection droppedConnection;
    QMetaObject::Connection selectionConnection;
};
