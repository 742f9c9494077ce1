#include "widgets/itemlistview.h"

#include <QHeaderView>

ItemListView::ItemListView(QWidget *parent)
    : STableView(parent)
{
    setUpRowView();
    setDefaultDropAction(Qt::MoveAction);
    setDragDropOverwriteMode(false);
    setFrameShape(QFrame::NoFrame);
    setCurrentIndex(QModelIndex());
}
