#pragma once

#include "ui_favouritelisteditor.h"

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
    // A paste reaches the model as a drop too; the user did one thing, so it is reported once.
    bool pasting = false;
    QPointer<ListModel> droppedSource;
    QMetaObject::Connection droppedConnection;
    QMetaObject::Connection selectionConnection;
};
