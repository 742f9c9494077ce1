#include "lists/basiceditpanel.h"

#include <QAction>
#include <QEvent>

namespace {
constexpr STableView::BasicActions editActions[] = {STableView::Cut, STableView::Copy, STableView::Paste,
                                                    STableView::Delete};
}

BasicEditPanel::BasicEditPanel(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    // Taken before any layout pass, so the limit does not depend on where the panel is placed.
    setMaximumWidth(4 * (copyButton->width() - 1) + 10);
    retranslate();
}

QToolButton *BasicEditPanel::button(STableView::BasicActions action) const
{
    switch (action) {
    case STableView::Cut:
        return cutButton;
    case STableView::Copy:
        return copyButton;
    case STableView::Paste:
        return pasteButton;
    case STableView::Delete:
        return deleteButton;
    default:
        return nullptr;
    }
}

void BasicEditPanel::setView(STableView *newView)
{
    detachView();
    view = newView;
}

void BasicEditPanel::attachView()
{
    if (!view)
        return;
    if (attached)
        detachView();
    using Signal = void (BasicEditPanel::*)();
    const Signal signalOf[] = {&BasicEditPanel::cutTriggered, &BasicEditPanel::copyTriggered,
                               &BasicEditPanel::pasteTriggered, &BasicEditPanel::deleteTriggered};
    for (int i = 0; i < 4; ++i) {
        QAction *action = view->action(editActions[i]);
        button(editActions[i])->setDefaultAction(action);
        const Signal signal = signalOf[i];
        connections.append(connect(action, &QAction::triggered, this, [this, signal] { emit(this->*signal)(); }));
    }
    attached = true;
}

void BasicEditPanel::detachView()
{
    if (!view)
        return;
    for (STableView::BasicActions which : editActions) {
        QToolButton *b = button(which);
        if (QAction *old = b->defaultAction())
            b->removeAction(old);
        b->setDefaultAction(nullptr);
    }
    for (const QMetaObject::Connection &connection : std::as_const(connections))
        disconnect(connection);
    connections.clear();
    attached = false;
    retranslate();
}

void BasicEditPanel::retranslate()
{
    // An attached button takes its tool tip (and, whenever its action changes, its text) from the view's
    // action: the action is put into the new language first, so nothing of the old one comes back later.
    if (attached && view)
        view->retranslateActions();
    const QString texts[] = {tr("Cut"), tr("Copy"), tr("Paste"), tr("Delete")};
    for (int i = 0; i < 4; ++i) {
        QToolButton *b = button(editActions[i]);
        b->setText(texts[i]);
        // a detached button keeps the tool tip of the action it had
        if (!b->defaultAction())
            b->setToolTip(texts[i]);
    }
}

void BasicEditPanel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void BasicEditPanel::setEnabled(bool on)
{
    if (on && !attached)
        attachView();
    else if (!on && attached)
        detachView();
    QWidget::setEnabled(on);
}

void BasicEditPanel::setActionVisible(STableView::BasicActions action, bool visible)
{
    if (QToolButton *b = button(action))
        b->setVisible(visible);
    if (view)
        view->setActionVisible(action, visible);
}
