#pragma once

#include <QObject>
#include <QPointer>

class ObjectSortFilterProxyModel;

// While a proxy's search text waits for the rows' texts, the table still shows rows the text excludes.
// This guard watches the program's input for that time: anything but typing in a search field (a key or
// a click elsewhere, a shortcut, a drop) first applies the search, so that no input acts on those rows.
class PendingSearchGuard : public QObject
{
public:
    explicit PendingSearchGuard(ObjectSortFilterProxyModel *proxy, QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(bool on);

    QPointer<ObjectSortFilterProxyModel> proxy; // its owner may free it before this
    bool watching = false;
};
