#include "widgets/modelmenu.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QRegularExpression>

ModelMenu::ModelMenu(const QString &title, QAbstractItemView *view, int viewColumn, int mode, QWidget *parent)
    : QMenu(title, parent)
    , view(view)
    , viewColumn(viewColumn)
    , mode(mode)
{
    if (mode == CheckUncheck) {
        setEnabled(true);
        updateActions();
    } else {
        setEnabled(false);
    }
    connect(this, &QMenu::triggered, this, &ModelMenu::handleAction, Qt::UniqueConnection);
    setMinimumWidth(100);
}

void ModelMenu::setModel(QAbstractItemModel *model, int column)
{
    this->model = model;
    modelColumn = column;
    if (model)
        connectModel(true);
    updateActions();
}

void ModelMenu::connectModel(bool connect)
{
    if (!model)
        return;
    if (connect) {
        QObject::connect(model, &QAbstractItemModel::dataChanged, this, &ModelMenu::updateActions,
                         Qt::UniqueConnection);
        QObject::connect(model, &QAbstractItemModel::layoutChanged, this, &ModelMenu::updateActions,
                         Qt::UniqueConnection);
    } else {
        QObject::disconnect(model, &QAbstractItemModel::dataChanged, this, &ModelMenu::updateActions);
        QObject::disconnect(model, &QAbstractItemModel::layoutChanged, this, &ModelMenu::updateActions);
    }
}

void ModelMenu::addRowEntries(QMenu *menu)
{
    const int rows = model->rowCount();
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = model->index(row, modelColumn);
        QAction *action = menu->addAction(model->data(index, Qt::DisplayRole).toString());
        action->setData(model->data(index, Qt::EditRole));
    }
}

void ModelMenu::addClearEntries()
{
    QAction *separator = addAction(tr(""));
    separator->setSeparator(true);
    QAction *clearAction = addAction(tr("Clear"));
    clearAction->setData(QVariant());
}

void ModelMenu::updateActions()
{
    // The old entries go later: this runs from inside the triggered signal of one of them.
    const QList<QAction *> oldActions = actions();
    for (QAction *action : oldActions) {
        removeAction(action);
        if (QMenu *subMenu = action->menu())
            subMenu->deleteLater();
        else if (action->parent() == this)
            action->deleteLater();
    }

    if (mode >= SetValue && mode <= AddRemoveClear && !model) {
        setEnabled(false);
        return;
    }
    switch (mode) {
    case SetValue:
    case SetOrClear:
        addRowEntries(this);
        if (mode == SetOrClear)
            addClearEntries();
        setEnabled(model->rowCount() > 0);
        break;
    case AddRemoveClear: {
        QMenu *addMenu = new QMenu(tr("Add"), this);
        addMenu->menuAction()->setData(QStringLiteral("add"));
        addRowEntries(addMenu);
        addAction(addMenu->menuAction());
        QMenu *removeMenu = new QMenu(tr("Remove"), this);
        removeMenu->menuAction()->setData(QStringLiteral("remove"));
        addRowEntries(removeMenu);
        addAction(removeMenu->menuAction());
        addClearEntries();
        setEnabled(model->rowCount() > 0);
        break;
    }
    case CheckUncheck:
        addAction(tr("Check"))->setData(true);
        addAction(tr("Uncheck"))->setData(false);
        setEnabled(true);
        break;
    default:
        break;
    }
}

void ModelMenu::handleAction(QAction *action)
{
    if (!action || !view || !view->model() || !view->selectionModel())
        return;
    connectModel(false);

    QString kind;
    if (auto *menu = qobject_cast<QMenu *>(action->parent()))
        kind = menu->menuAction()->data().toString();
    const QVariant value = action->data();
    const QString text = value.toString();
    static const QRegularExpression separator(QStringLiteral("\\s*;\\s*"));

    QAbstractItemModel *target = view->model();
    const QModelIndexList selected = view->selectionModel()->selectedIndexes();
    for (const QModelIndex &index : selected) {
        if (index.column() != viewColumn)
            continue;
        const QModelIndex cell = target->index(index.row(), viewColumn);
        if (kind == QLatin1String("add") || kind == QLatin1String("remove")) {
            QStringList parts = target->data(cell, Qt::EditRole).toString().split(separator, Qt::SkipEmptyParts);
            parts.removeAll(text);
            if (kind == QLatin1String("add")) {
                parts.append(text);
                parts.sort(Qt::CaseSensitive);
            }
            target->setData(cell, parts.join(u';'), Qt::EditRole);
        } else {
            target->setData(cell, value, Qt::EditRole);
        }
    }

    connectModel(true);
    if (mode != CheckUncheck)
        updateActions();
}
