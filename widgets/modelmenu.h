#pragma once

#include <QMenu>
#include <QPointer>

class QAbstractItemModel;
class QAbstractItemView;

// A pop-up menu that edits one column of the rows selected in a view with values taken from a
// second model: set a value, set or clear it, add it to or remove it from a ";"-separated list,
// or check and uncheck a flag.
class ModelMenu : public QMenu
{
    Q_OBJECT

public:
    enum Mode { SetValue = 0, SetOrClear = 1, AddRemoveClear = 2, CheckUncheck = 3 };

    ModelMenu(const QString &title, QAbstractItemView *view, int viewColumn, int mode, QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model, int column);

public slots:
    void updateActions();
    void handleAction(QAction *action);

private:
    void addRowEntries(QMenu *menu);
    void addClearEntries();
    void connectModel(bool connect);

    QPointer<QAbstractItemModel> model;
    QPointer<QAbstractItemView> view;
    int modelColumn = 0;
    int viewColumn;
    const int mode;
};
