#pragma once

#include <QFrame>

class QTreeView;

// The pop-up under a filter button: a tree of filtered columns and their values with check boxes.
class SFilterMenu : public QFrame
{
    Q_OBJECT

public:
    SFilterMenu(QWidget *anchor, int width, int height, int margin);

    QTreeView *treeView() const { return m_tree; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTreeView *m_tree;
};
