#pragma once

#include "ui_basiceditpanel.h"
#include "widgets/stableview.h"

#include <QList>
#include <QWidget>

// Cut, Copy, Paste and Delete buttons that take over the edit actions of one table view, so the buttons,
// the table's context menu and its keys are the same actions.
class BasicEditPanel : public QWidget, public Ui::BasicEditPanel
{
    Q_OBJECT
public:
    explicit BasicEditPanel(QWidget *parent = nullptr);

    // Detaches the present view, if any, and remembers the new one without attaching it.
    void setView(STableView *newView);
    void attachView();
    void detachView();
    bool isAttached() const { return attached; }
    void retranslate();

public slots:
    void setEnabled(bool on);
    void setActionVisible(STableView::BasicActions action, bool visible);

signals:
    void copyTriggered();
    void cutTriggered();
    void deleteTriggered();
    void pasteTriggered();

protected:
    void changeEvent(QEvent *event) override;

private:
    QToolButton *button(STableView::BasicActions action) const;

    STableView *view = nullptr;
    bool attached = false;
    QList<QMetaObject::Connection> connections;
};
