#include "lists/favouritelisteditor.h"

#include "document/listmodel.h"
#include "widgets/jobprogresswindow.h"

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
    connect(tblItems, &STableView::onBeforePaste, this, [this] {
        pasting = true;
        // the table gives the focus away while it pastes
        focusAtPaste = tblItems->hasFocus();
    });
    connect(tblItems, &STableView::onEndPaste, this, [this] {
        pasting = false;
        // the table's paste ends here, the list's own when its entries are in
        if (droppedSource && droppedSource->isPasting())
            tblItems->setEnabled(false);
    });
    connect(tblItems, &QAbstractItemView::pressed, this, &FavouriteListEditor::itemPressed);
    connect(btnCreateNewItem2, &QPushButton::pressed, this, &FavouriteListEditor::createNewItemPressed);
}

FavouriteListEditor::~FavouriteListEditor()
{
    disconnect(droppedConnection);
    for (const QMetaObject::Connection &c : std::as_const(pasteConnections))
        disconnect(c);
    // the window that kept the user out of this list never outlives it
    closeProgress();
}

void FavouriteListEditor::setModel(ListModel *model)
{
    disconnect(droppedConnection);
    disconnect(selectionConnection);
    for (const QMetaObject::Connection &c : std::as_const(pasteConnections))
        disconnect(c);
    pasteConnections.clear();
    closeProgress();
    tblItems->setModel(model);
    droppedSource = model;
    if (!model) {
        pnlEditButtons->detachView();
        return;
    }
    droppedConnection = connect(model, &ListModel::itemDropped, this, [this] {
        if (!pasting && !reportWhenPasted)
            emit itemsChanged();
    });
    pasteConnections << connect(model, &ListModel::pasteStarted, this, &FavouriteListEditor::onPasteStarted)
                     << connect(model, &ListModel::pasteProgress, this, &FavouriteListEditor::onPasteProgress)
                     << connect(model, &ListModel::pasteFinished, this, &FavouriteListEditor::onPasteFinished)
                     << connect(model, &QObject::destroyed, this, &FavouriteListEditor::closeProgress);
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
    if (progress)
        progress->setLabelText(tr("Pasting into the list..."));
}

void FavouriteListEditor::onActionTriggered()
{
    if (droppedSource && droppedSource->isPasting()) {
        reportWhenPasted = true;
        return;
    }
    emit itemsChanged();
}

void FavouriteListEditor::onPasteStarted()
{
    closeProgress();
    focusBeforePaste = pasting ? focusAtPaste : tblItems->hasFocus();
    tblItems->setEnabled(false);
    // application-modal and not to be dismissed: no input reaches the list, the page or a file handed over
    // until the paste is in; it is told the progress between the paste's steps and never runs the event loop
    progress = new JobProgressWindow(tr("Pasting into the list..."), window());
    progress->setObjectName(QStringLiteral("pasteProgressDialog"));
    progress->setWindowTitle(QStringLiteral("Ombrelay"));
    progress->show();
}

void FavouriteListEditor::onPasteProgress(int done, int total)
{
    if (progress)
        progress->setProgress(done, total);
}

void FavouriteListEditor::onPasteFinished()
{
    closeProgress();
    tblItems->setEnabled(true);
    if (std::exchange(focusBeforePaste, false) && isVisible())
        tblItems->setFocus(Qt::OtherFocusReason);
    if (std::exchange(reportWhenPasted, false))
        emit itemsChanged();
}

void FavouriteListEditor::closeProgress()
{
    if (JobProgressWindow *going = std::exchange(progress, nullptr))
        going->finish();
}
