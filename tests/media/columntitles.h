#pragma once

#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTreeView>

// The first column title of view that its column cuts, as the header draws it: the room the header's own
// style (a style sheet's padding and borders, the sort mark where it shows) leaves for the title in the
// column's width, against the title in the header's own font. Empty when every title is whole.
inline QString cutColumnTitle(const QTreeView *view)
{
    QHeaderView *header = view->header();
    header->ensurePolished();
    for (int column = 0; column < header->count(); ++column) {
        if (header->isSectionHidden(column))
            continue;
        QStyleOptionHeader option;
        option.initFrom(header);
        option.orientation = Qt::Horizontal;
        option.state |= QStyle::State_Horizontal | QStyle::State_Enabled | QStyle::State_Raised;
        const int visual = header->visualIndex(column);
        option.position = header->count() == 1            ? QStyleOptionHeader::OnlyOneSection
                          : visual == 0                   ? QStyleOptionHeader::Beginning
                          : visual == header->count() - 1 ? QStyleOptionHeader::End
                                                          : QStyleOptionHeader::Middle;
        option.section = column;
        option.text = header->model()->headerData(column, Qt::Horizontal).toString();
        option.textAlignment = header->defaultAlignment();
        const bool sorted = header->isSortIndicatorShown() && header->sortIndicatorSection() == column;
        option.sortIndicator = sorted ? QStyleOptionHeader::SortDown : QStyleOptionHeader::None;
        option.rect = QRect(0, 0, header->sectionSize(column), header->height());
        const QRect label = header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header);
        int room = label.width();
        // the title gives way to the sort mark where the mark is drawn inside its room
        if (sorted) {
            const QRect mark = header->style()->subElementRect(QStyle::SE_HeaderArrow, &option, header);
            if (mark.intersects(label))
                room = qMax(mark.left() - label.left(), label.right() - mark.right());
        }
        const int needed = header->fontMetrics().horizontalAdvance(option.text);
        if (room < needed)
            return QStringLiteral("%1 \"%2\": %3 px of %4 px for the title (column %5 px)")
                .arg(view->objectName(), option.text)
                .arg(room)
                .arg(needed)
                .arg(header->sectionSize(column));
    }
    return QString();
}
