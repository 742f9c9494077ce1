#include "lists/favouritelisteditor.h"

#include "document/listmodel.h"

#include <QItemSelectionModel>

FavouriteListEditor::FavouriteListEditor(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    pnlEditButtons->setView(tblItems);
    setReadOnly(false);
    // Copy changes nothing, so it is not reported.
    connect(pnlEditButtons, &BasicEditPanel::cutTriggered, this, &FavouriteListEditor::onActionTriggered);
    connect(pnlEditButtons, &BasicEditPanel::deleteTriggered, this, &FavouriteListEditor::onActionTriggered);
    connect(pnlEditButtons, &BasicEditPanel::pasteTriggered, this, &FavouriteListEditor::onActionTriggered);
    connect(tblItems, &STableView::onBeforePaste, this, [this] { pasting = true; });
    connect(tblItems, &STableView::onEndPaste, this, [this] { pasting = false; });
    connect(tblItems, &QAbstractItemView::pressed, this, &FavouriteListEditor::itemPressed);
    connect(btnCreateNewItem2, &QPushButton::pressed, this, &FavouriteListEditor::createNewItemPressed);
}

FavouriteListEditor::~FavouriteListEditor()
{
    disconnect(droppedConnection);
}

void FavouriteListEditor::setModel(ListModel *model)
{
    disconnect(droppedConnection);
    disconnect(selectionConnection);
    tblItems->setModel(model);
    droppedSource = model;
    if (!model) {
        pnlEditButtons->detachView();
        return;
    }
    droppedConnection = connect(model, &ListModel::itemDropped, this, [this] {
        if (!pasting)
            emit itemsChanged();
    });
    pnlEditButtons->attachView();
    if (QItemSelectionModel *selection = tblItems->selectionModel())
        selectionConnection = connect(selection, &QItemSelectionModel::selectionChanged, this,
                                      &FavouriteListEditor::currentSelectionChanged);
}

void FavouriteListEditor::setReadOnly(bool readOnly)
{
    pnlEditButtons->setActionVisible(STableView::Copy, true);
    pnlEditButtons->setActionVisible(STableView::Cut, !readOnly);
    pnlEditButtons->setActionVisible(STableView::Paste, !readOnly);
    pnlEditButtons->setActionVisible(STableView::Delete, !readOnly);
    tblItems->setDragDropMode(readOnly ? QAbstractItemView::NoDragDrop : QAbstractItemView::DragDrop);
    lblReadOnlyInfo->setVisible(readOnly);
}

QModelIndexList FavouriteListEditor::selectedRows() const
{
    if (!tblItems->selectionModel())
        return {};
    return tblItems->selectionModel()->selectedRows();
}

void FavouriteListEditor::retranslate()
{
    tblItems->retranslateActions();
    pnlEditButtons->retranslate();
    btnCreateNewItem2->setText(tr("Create new"));
}

void FavouriteListEditor::onActionTriggered()
{
    emit itemsChanged();
}
