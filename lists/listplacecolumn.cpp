#include "lists/listplacecolumn.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableView>

void ListPlaceColumn::fit(QTableView *view, int column, int places)
{
    QHeaderView *header = view->horizontalHeader();
    if (column < 0 || column >= header->count())
        return;
    // A cell keeps a focus-frame margin on each side of its text.
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const int digits = view->fontMetrics().horizontalAdvance(QString::number(qMax(places, 1))) + 2 * margin;
    const int wanted = qMax(header->sectionSizeHint(column), digits);
    if (header->sectionSize(column) < wanted)
        header->resizeSection(column, wanted);
}
