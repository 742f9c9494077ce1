#pragma once

#include <QList>
#include <QMetaObject>
#include <QTableView>

#include <array>

class AimedInputRule;
class QAction;
class QMenu;
class ShowHideColumnsModel;

// The program's editing table: Cut, Copy, Paste, Delete and Select All in its own context menu and
// on the standard keys. The clipboard carries the shown model's own drag payload, so rows move
// between tables of the program in the model's format. Input aimed at a place in it acts on the row
// drawn there, or on none (AimedInputRule).
class STableView : public QTableView
{
    Q_OBJECT

public:
    enum BasicActions { Cut = 0, Copy = 1, Paste = 2, Delete = 3, SelectAll = 4 };
    Q_ENUM(BasicActions)

    explicit STableView(QWidget *parent = nullptr);
    ~STableView() override;

    void setModel(QAbstractItemModel *model) override;
    void setItemsModel(QAbstractItemModel *model, const QList<int> &visibleColumns, const QList<int> &fixedColumns);

    ShowHideColumnsModel *columnsModel() const { return m_columnsModel; }
    QMenu *contextMenu() const { return m_menu; }
    QAction *action(BasicActions which) const;

    bool isContextMenuEnabled() const { return contextMenuEnabled; }
    void setContextMenuEnabled(bool enabled) { contextMenuEnabled = enabled; }

    bool isEditing() const;
    bool edit(const QModelIndex &index, QAbstractItemView::EditTrigger trigger, QEvent *event) override;
    using QTableView::edit;

    bool canCopy() const;
    bool canDelete() const;
    bool canPaste() const;
    void retranslateActions();

    void setActionEnabled(STableView::BasicActions action, bool enabled);
    void setActionVisible(STableView::BasicActions action, bool visible);

public slots:
    void deleteRow(int row);
    void deleteSelected();
    void cut();
    void copy();
    void paste();
    void updateActions();
    // Run the edit action that sent the signal, chosen by its shortcut; the argument is ignored.
    void handleActions(bool checked);
    void handleActions();
    void connectActions(bool connect, bool updateNow);
    void connectActions(bool updateNow = true);
    void onContextMenuShow(const QPoint &pos);
    void onFocusChanged(QWidget *old, QWidget *now);

signals:
    void focusIn(QWidget *old, QWidget *now);
    void focusOut(QWidget *old, QWidget *now);
    void onBeforePaste();
    void onEndPaste();
    void onBeforeDelete();
    void onEndDelete();

protected:
    bool focusNextPrevChild(bool next) override;
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void startDrag(Qt::DropActions supportedActions) override;
    // What both item views set up: whole rows selected several at a time, dragged and dropped, fixed
    // row heights and no grid.
    void setUpRowView();
    // Brings the rows shown up to date before copy, cut or delete read the selection.
    virtual void settleRows() {}

    bool contextMenuEnabled = true;

private:
    bool offers(BasicActions which) const;
    void selectAllRows();
    void applyUpdate();
    QModelIndexList selectedRowIndexes() const;

    ShowHideColumnsModel *m_columnsModel;
    QMenu *m_menu;
    AimedInputRule *m_aimedInput;
    // Indexed by BasicActions, as they were created.
    std::array<QAction *, 5> m_actions{};
    std::array<bool, 5> m_allowed{true, true, true, true, true};
    QList<QMetaObject::Connection> m_updateConnections;
    QMetaObject::Connection m_focusConnection;
};
