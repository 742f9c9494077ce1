#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class ObjectSortFilterProxyModel;
class QAbstractItemView;
class QItemSelectionModel;
class QTableView;

// Carries a table's row selection through each time its sort and filter proxy chooses and orders its rows
// anew (a search key, the value filters, a sort, a re-sort after an edit) in a compact form. Left to
// itself, the selection model keeps one persistent index per selected cell through such a change unless
// the selection is one whole-table block (Ctrl+A and then a space is three blocks), and the models move
// every one of them at a cost that grows with the square of the rows: minutes for a large list. Instead the
// selected rows are noted as source rows and the selection is emptied before the proxy moves anything;
// afterwards the rows still shown are selected again, in as few blocks as they make. The current index is
// left to the selection model, which keeps it as one persistent index.
class RowSelectionKeeper : public QObject
{
public:
    // Connects to the proxy at once: it must hear of each change before the view's selection model does,
    // so it is made before the view shows the proxy.
    RowSelectionKeeper(ObjectSortFilterProxyModel *proxy, QAbstractItemView *view);

    // Gives the view's horizontal header a selection model of its own, which stays empty; called each time
    // the view takes a selection model. The header draws no selection, yet at each paint it asks whether
    // each column shown is selected whole, which reads the flags of every row whenever all rows are selected
    // (Ctrl+A, and every search after it): too slow for each key typed.
    static void spareHeader(QTableView *view);

private:
    QItemSelectionModel *selectionOverProxy() const;
    void takeSelection();
    void restoreSelection();

    QPointer<ObjectSortFilterProxyModel> proxy;
    QPointer<QAbstractItemView> view;
    bool holding = false;
    QList<int> sourceRows; // selected before the change, ascending
    // The selection was one block, the one being made (a click, Shift, Ctrl+A): it is set again as that, so
    // that Shift still moves its end. Several blocks are set again as finished ones, which later clicks
    // with Ctrl or Shift add to, as they added to them before.
    bool oneBlock = false;
};
