#pragma once

#include <QObject>
#include <QPointer>

class ObjectSortFilterProxyModel;
class QAbstractItemView;

// While a proxy's search text waits for the rows' texts, the table still shows rows the text excludes.
// This guard watches the program's input for that time: anything but typing in a search field (a key or
// a click elsewhere, a shortcut, a drop) first applies the search, so that no input acts on those rows.
// Input aimed at a place in the table then meets rows that moved since the table was drawn, which the
// table's own rule for such input (AimedInputRule) drops.
class PendingSearchGuard : public QObject
{
public:
    PendingSearchGuard(ObjectSortFilterProxyModel *proxy, QAbstractItemView *view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateWatching();

    QPointer<ObjectSortFilterProxyModel> proxy; // its owner may free it before this
    bool watching = false;
};
