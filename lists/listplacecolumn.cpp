#include "lists/listplacecolumn.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QTableView>
#include <QTimer>

namespace {

// The width the columns may take without a horizontal scroll bar: the table's inside less a vertical scroll
// bar (a list just loaded shows it only later), and never less than the table keeps at its minimum width.
int columnsRoom(const QTableView *view)
{
    const int scrollBar = view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view->verticalScrollBar());
    return qMax(view->width(), view->minimumWidth()) - 2 * view->frameWidth() - scrollBar;
}

} // namespace

void ListPlaceColumn::fit(QTableView *view, int column, int places)
{
    QHeaderView *header = view->horizontalHeader();
    if (column < 0 || column >= header->count())
        return;
    // A cell keeps a focus-frame margin on each side of its text.
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const int digits = view->fontMetrics().horizontalAdvance(QString::number(qMax(places, 1))) + 2 * margin;
    const int wanted = qMax(header->sectionSizeHint(column), digits);
    const int grown = wanted - header->sectionSize(column);
    if (grown <= 0)
        return;
    header->resizeSection(column, wanted);
    // The width this column took comes off the next one shown (not the stretched last one, which keeps its
    // default), so that the columns still fit the table; never below what that column's title needs.
    int next = -1;
    int lastShown = -1;
    for (int visual = header->count() - 1; visual >= 0; --visual) {
        if (!header->isSectionHidden(header->logicalIndex(visual))) {
            lastShown = header->logicalIndex(visual);
            break;
        }
    }
    for (int visual = header->visualIndex(column) + 1; visual < header->count() && next < 0; ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical))
            next = logical;
    }
    if (next < 0 || next == lastShown)
        return;
    // The stretched last column fills what is left, but keeps at least the default width.
    int length = header->defaultSectionSize();
    for (int logical = 0; logical < header->count(); ++logical)
        if (logical != lastShown && !header->isSectionHidden(logical))
            length += header->sectionSize(logical);
    const int excess = length - columnsRoom(view);
    if (excess <= 0)
        return;
    const int floor = qMax(header->sectionSizeHint(next), header->minimumSectionSize());
    const int shrunk = qMax(floor, header->sectionSize(next) - qMin(excess, grown));
    if (shrunk < header->sectionSize(next))
        header->resizeSection(next, shrunk);
}

void ListPlaceColumn::resort(QTableView *view, int column)
{
    // Put off to the next turn of the event loop, once for any number of changes: the list may change while
    // the items model is still announcing an insertion, and the proxy must not work out its rows before it
    // has taken that insertion in.
    static const char pending[] = "ombrelayPlaceResortPending";
    if (view->property(pending).toBool())
        return;
    view->setProperty(pending, true);
    QTimer::singleShot(0, view, [view, column] {
        view->setProperty(pending, false);
        auto *proxy = qobject_cast<QSortFilterProxyModel *>(view->model());
        if (!proxy || column < 0 || proxy->sortColumn() != column)
            return;
        // The proxy skips a sort by the column and order it has already: the rows go back to the source
        // order first, and the sort is made anew. Both are sorts, which leave the columns' widths alone
        // (a layout change of any other kind lays the header out afresh). Selection and current row
        // follow their entries.
        const Qt::SortOrder order = proxy->sortOrder();
        proxy->sort(-1);
        proxy->sort(column, order);
    });
}
