#pragma once

#include <QItemDelegate>

// Binds the link panel to the current link so that only what the user changed is ever written: a value the
// panel cannot show (a link type it does not know, a hidden URL) and the genre text, which the panel only
// shows, stay as stored, and reading a row never changes it.
class LinkListModulePanelDelegate : public QItemDelegate
{
public:
    explicit LinkListModulePanelDelegate(QObject *parent);

    bool eventFilter(QObject *object, QEvent *event) override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
};
