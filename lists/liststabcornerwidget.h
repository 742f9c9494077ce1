#pragma once

#include "ui_liststabcornerwidget.h"

#include <QWidget>

// The create-list and delete-list buttons beside the favourite-list tabs.
class ListsTabCornerWidget : public QWidget, public Ui::ListsTabCornerWidget
{
    Q_OBJECT
public:
    explicit ListsTabCornerWidget(QWidget *parent = nullptr);

signals:
    void newList();
    void deleteCurrentList();

protected:
    void changeEvent(QEvent *event) override;
};
