#include "exchange/printlistsbuilder.h"

#include "document/docitem.h"
#include "document/docitemsdataprovider.h"
#include "listfiles/listprojectfilemanager.h"

#include <QObject>

#include <algorithm>

PrintListsBuilder::PrintListsBuilder(ListProjectFileManager *manager)
    : m_manager(manager)
{}

PrintListsBuilder::~PrintListsBuilder() = default;

void PrintListsBuilder::setItems(QList<int> ids)
{
    m_items = std::move(ids);
}

void PrintListsBuilder::setSelection(QList<int> ids)
{
    m_selection = std::move(ids);
}

int PrintListsBuilder::selectionCount() const
{
    return int(m_selection.size());
}

void PrintListsBuilder::setHeaderRow(int mode)
{
    m_headerRow = mode;
}

void PrintListsBuilder::setCurrentList(int index)
{
    m_currentList = index;
}

void PrintListsBuilder::setCurrentPage(int page)
{
    m_currentPage = page;
}

void PrintListsBuilder::setRunningNumber(int number)
{
    m_runningNumber = number;
}

void PrintListsBuilder::setPageHeight(int height)
{
    m_pageHeight = height;
}

void PrintListsBuilder::setPageWidth(int width)
{
    m_pageWidth = width;
}

void PrintListsBuilder::setLeftMargin(int margin)
{
    m_leftMargin = margin;
}

void PrintListsBuilder::setTopMargin(int margin)
{
    m_topMargin = margin;
}

void PrintListsBuilder::setBottomMargin(int margin)
{
    m_bottomMargin = margin;
}

void PrintListsBuilder::setRightMargin(int margin)
{
    m_rightMargin = margin;
}

void PrintListsBuilder::setShowFileName(bool show)
{
    m_showFileName = show;
}

void PrintListsBuilder::setShowGrid(bool show)
{
    m_showGrid = show;
}

void PrintListsBuilder::setShowPageNumber(bool show)
{
    m_showPageNumber = show;
}

void PrintListsBuilder::setShowTitle(bool show)
{
    m_showTitle = show;
}

int PrintListsBuilder::rowsPerPage() const
{
    if (m_pageHeight <= 0)
        return 0;
    const int available = m_pageHeight - m_topMargin - m_bottomMargin - (m_headerRow == 1 ? m_rowHeight : 0);
    const int pitch = m_showGrid ? m_rowHeight + 2 : m_rowHeight;
    return available / pitch;
}

int PrintListsBuilder::entryRows() const
{
    return rowsPerPage() - (m_showFileName || m_showPageNumber ? 1 : 0);
}

void PrintListsBuilder::setPageEntries(int first, int count)
{
    m_pageFirst = std::max(first, 0);
    m_pageCount = std::max(count, 0);
}

void PrintListsBuilder::clearPageEntries()
{
    m_pageFirst = -1;
    m_pageCount = 0;
}

QPair<qint64, qint64> PrintListsBuilder::pageEntries(int page) const
{
    if (m_pageFirst >= 0)
        return {m_pageFirst, m_pageCount};
    const qint64 perPage = std::max(entryRows(), 0);
    return {(page - 1) * perPage, perPage};
}

int PrintListsBuilder::pageCount(int rows) const
{
    const int perPage = entryRows();
    if (m_pageHeight <= 0 || perPage < 1)
        return 0;
    // a full last page needs no blank page after it
    return std::max(1, int((qint64(std::max(rows, 0)) + perPage - 1) / perPage));
}

int PrintListsBuilder::rowCount()
{
    if (!m_manager || !m_manager->itemsDataProvider())
        return 0;
    if (m_headerRow == 0)
        return m_manager->itemsDataProvider()->count();
    if (m_headerRow == 1)
        return int(snapshot().entries.size());
    return 0;
}

int PrintListsBuilder::firstSelectedRow()
{
    if (!m_manager)
        return 1;
    const int first = selectionSpan().first;
    return first < 0 ? 1 : first + 1;
}

int PrintListsBuilder::lastSelectedRow()
{
    if (!m_manager)
        return 1;
    const int last = selectionSpan().second;
    return last < 0 ? selectionCount() : last + 1;
}

QPair<int, int> PrintListsBuilder::selectionSpan()
{
    // Positions as a range counts them (over the items, or over the entries of all lists), so that
    // From and To of the proposal print the selected span.
    QHash<int, int> itemRows;
    if (m_headerRow == 0) {
        for (int i = int(m_items.size()) - 1; i >= 0; --i)
            itemRows.insert(m_items.at(i), i);
    }
    Snapshot &s = snapshot();
    const int offset = m_currentList >= 0 && m_currentList < s.listOffsets.size() ? s.listOffsets.at(m_currentList) : 0;
    int first = -1;
    int last = -1;
    for (int id : std::as_const(m_selection)) {
        int position = -1;
        if (m_headerRow == 0) {
            position = itemRows.value(id, -1);
        } else {
            position = positionIn(s, m_currentList, id);
            if (position >= 0)
                position += offset;
        }
        if (position < 0)
            continue;
        first = first < 0 ? position : std::min(first, position);
        last = std::max(last, position);
    }
    return {first, last};
}

QString PrintListsBuilder::title() const
{
    return m_manager ? m_manager->fileName() : QObject::tr("Untitled");
}

QString PrintListsBuilder::elideText(const QString &text, int limit)
{
    if (limit >= text.size())
        return text;
    qsizetype keep = limit - 3;
    // never leave half of a surrogate pair behind
    if (keep > 0 && text.at(keep - 1).isHighSurrogate())
        --keep;
    return (keep < 0 ? text : text.left(keep)) + QStringLiteral("...");
}

bool PrintListsBuilder::hasRange(bool selectionOnly, int from, int to) const
{
    return !selectionOnly && from >= 1 && to >= from;
}

QList<int> PrintListsBuilder::itemsToPrint(bool selectionOnly, int from, int to)
{
    if (selectionOnly)
        return m_selection;
    const bool range = hasRange(selectionOnly, from, to);
    if (m_headerRow == 0)
        return range ? m_items.mid(from - 1, qsizetype(to) - from + 1) : m_items;
    if (!m_manager)
        return {};
    const Snapshot &s = snapshot();
    const qsizetype end = range ? std::min<qsizetype>(to, s.entries.size()) : s.entries.size();
    QList<int> ids;
    for (qsizetype i = range ? from - 1 : 0; i < end; ++i) {
        const Entry &entry = s.entries.at(i);
        if (entry.position == 0)
            ids.append(-1);
        ids.append(entry.id);
    }
    return ids;
}

void PrintListsBuilder::beginRun()
{
    clearPageEntries();
    m_run.reset();
    m_run = std::make_unique<Snapshot>(std::move(snapshot()));
}

void PrintListsBuilder::endRun()
{
    clearPageEntries();
    m_run.reset();
}

PrintListsBuilder::Snapshot &PrintListsBuilder::snapshot()
{
    if (m_run)
        return *m_run;
    m_scratch = std::make_unique<Snapshot>();
    if (!m_manager)
        return *m_scratch;
    Snapshot &s = *m_scratch;
    s.lists = m_manager->readLists();
    for (int list = 0; list < s.lists.size(); ++list) {
        s.listOffsets.append(int(s.entries.size()));
        const QList<int> &ids = s.lists.at(list);
        for (int position = 0; position < ids.size(); ++position)
            s.entries.append({ids.at(position), list, position});
    }
    return s;
}

int PrintListsBuilder::positionIn(Snapshot &s, int list, int id)
{
    if (list < 0 || list >= s.lists.size())
        return -1;
    if (s.numberedList != list) {
        s.numbers.clear();
        const QList<int> &ids = s.lists.at(list);
        s.numbers.reserve(ids.size());
        for (int position = int(ids.size()) - 1; position >= 0; --position)
            s.numbers.insert(ids.at(position), position);
        s.numberedList = list;
    }
    return s.numbers.value(id, -1);
}

DocItem PrintListsBuilder::item(int id) const
{
    DocItemsDataProvider *provider = m_manager ? m_manager->itemsDataProvider() : nullptr;
    return provider ? provider->itemById(id) : DocItem();
}

QString PrintListsBuilder::escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString PrintListsBuilder::yesNo(bool yes) const
{
    return yes ? QObject::tr("yes") : QObject::tr("no");
}

QString PrintListsBuilder::widthText() const
{
    return m_pageWidth < 1 ? QString() : QString::number(m_pageWidth);
}

QString PrintListsBuilder::tableElement(int marginTop) const
{
    return QStringLiteral("<table cellpadding=\"1\" cellspacing=\"0\" style=\"margin-left: ") +
           QString::number(m_leftMargin) + QStringLiteral("px; margin-top:") + QString::number(marginTop) +
           QStringLiteral("px;\" border=\"") + (m_showGrid ? u'1' : u'0') + QStringLiteral("\" width=\"") +
           widthText() + QStringLiteral("\">");
}

QString PrintListsBuilder::footer() const
{
    if (!m_showFileName && !m_showPageNumber)
        return {};
    QString cells;
    if (m_showFileName && m_showPageNumber)
        cells = QStringLiteral("<td align=\"left\">") + escaped(title()) + QStringLiteral("</td><td align=\"right\">") +
                QString::number(m_currentPage) + QStringLiteral("</td>");
    else if (m_showFileName)
        cells = QStringLiteral("<td align=\"left\">") + escaped(title()) + QStringLiteral("</td>");
    else
        cells = QStringLiteral("<td align=\"center\">") + QString::number(m_currentPage) + QStringLiteral("</td>");
    return QStringLiteral("<table style=\"margin-left: ") + QString::number(m_leftMargin) +
           QStringLiteral("px; margin-top:0px;\" border=\"0\" width=\"") + widthText() + QStringLiteral("\"><tr>") +
           cells + QStringLiteral("</tr></table>");
}

QString PrintListsBuilder::buildPage(int page, bool withHeader, bool selectionOnly, int from, int to,
                                     const QStringList &titles, const RowCells &cells)
{
    if (!m_manager || page < 1)
        return {};
    const QString titleRow =
        QStringLiteral("<tr><th>") + titles.join(QStringLiteral("</th><th>")) + QStringLiteral("</th></tr>");
    QString html;
    if (m_headerRow == 0 || selectionOnly)
        html = plainSection(page, withHeader, selectionOnly, from, to, titleRow, cells);
    else if (m_headerRow == 1)
        html = favouriteSection(page, withHeader, from, to, titleRow, cells);
    return html + footer();
}

QString PrintListsBuilder::plainSection(int page, bool withHeader, bool selectionOnly, int from, int to,
                                        const QString &titleRow, const RowCells &cells)
{
    QString html = tableElement(m_topMargin);
    if (withHeader)
        html += titleRow;
    // no separators here: the selection or the items
    const QList<int> ids = itemsToPrint(selectionOnly, from, to);
    const auto [start, count] = pageEntries(page);
    const qint64 end = std::min<qint64>(start + count, ids.size());
    Snapshot &s = snapshot();
    for (qint64 i = start; i < end; ++i) {
        const int id = ids.at(i);
        m_runningNumber = positionIn(s, m_currentList, id);
        html += QStringLiteral("<tr><td align=\"center\" width=\"30\">") +
                (m_runningNumber < 0 ? QStringLiteral("&nbsp;") : QString::number(m_runningNumber + 1)) +
                QStringLiteral("</td>") + cells(item(id));
    }
    return html + QStringLiteral("</table>");
}

QString PrintListsBuilder::favouriteSection(int page, bool withHeader, int from, int to, const QString &titleRow,
                                            const RowCells &cells)
{
    const Snapshot &s = snapshot();
    const qint64 count = s.entries.size();
    if (count == 0)
        return {};
    const bool range = hasRange(false, from, to);
    const qint64 begin = range ? std::min<qint64>(from - 1, count) : 0;
    const qint64 end = range ? std::min<qint64>(to, count) : count;
    const auto [start, perPage] = pageEntries(page);
    const qint64 first = std::min(begin + start, end);
    const qint64 last = std::min(first + perPage, end);

    // The heading names the list current at the top of the page (where the page before ended), then
    // every list that begins on the page.
    int topList = s.entries.last().list;
    if (first < end)
        topList = s.entries.at(first == begin ? first : first - 1).list;
    else if (end > begin)
        topList = s.entries.at(end - 1).list;
    QString heading = QObject::tr("Favorite list %1").arg(topList + 1);

    QString html = tableElement(0);
    if (withHeader)
        html += titleRow;
    for (qint64 i = first; i < last; ++i) {
        const Entry &entry = s.entries.at(i);
        // the first entry of every list after the first one printed is bold
        const bool opensList = entry.position == 0 && i > begin;
        if (opensList)
            heading += QStringLiteral(" / ") + QObject::tr("Favorite list %1").arg(entry.list + 1);
        html += QStringLiteral("<tr style=\"font-weight: ") +
                (opensList ? QStringLiteral("bold") : QStringLiteral("normal")) +
                QStringLiteral(";\"><td align=\"center\" width=\"30\">") + QString::number(entry.position + 1) +
                QStringLiteral("</td>") + cells(item(entry.id));
        m_runningNumber = entry.position + 2;
    }
    html += QStringLiteral("</table>");
    return QStringLiteral("<table style=\"margin-left: ") + QString::number(m_leftMargin) +
           QStringLiteral("px; margin-top:") + QString::number(m_topMargin) +
           QStringLiteral("px;\" border=\"0\" width=\"") + widthText() + QStringLiteral("\"><tr><td align=\"left\">") +
           heading + QStringLiteral("</td></tr></table>") + html;
}
