#pragma once

#include <QHash>

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <climits>

#include <functional>
#include <memory>

class DocItem;
class ListProjectFileManager;

// The base of the page builders of printed lists. It holds what a page depends on apart from its
// columns (the open list, the entries and the selection, the geometry, the options), answers the
// print dialog's questions (rows per page, page count, entries to print) and lays every page out in one
// frame: the table, the column-title row, the plain section (the selection, numbered by the current
// list) or the favourite-list section (the document's lists under a heading), and the footer.
//
// Ranges are 1-based entry positions, both ends included, counted over the entries of all favourite
// lists (or over the items in header-row mode 0); separators are never counted.
//
// A page of the favourite-list section depends only on its number: the heading, the bold first entry of
// a list and the numbers come from each entry's list and place in it. Within beginRun()/endRun() the
// lists and the id positions are read once; outside a run each page reads the document afresh.
class PrintListsBuilder
{
public:
    explicit PrintListsBuilder(ListProjectFileManager *manager);
    virtual ~PrintListsBuilder();

    void setItems(QList<int> ids);
    void setSelection(QList<int> ids);
    int selectionCount() const;
    void setHeaderRow(int mode);
    void setCurrentList(int index);
    int currentList() const { return m_currentList; }
    void setCurrentPage(int page);
    void setRunningNumber(int number);
    void setPageHeight(int height);
    void setPageWidth(int width);
    void setLeftMargin(int margin);
    void setTopMargin(int margin);
    void setBottomMargin(int margin);
    void setRightMargin(int margin);
    void setShowFileName(bool show);
    void setShowGrid(bool show);
    void setShowPageNumber(bool show);
    void setShowTitle(bool show);

    int rowsPerPage() const;
    // Entry rows of one page: one row fewer when a footer is printed. Rows that wrap take more room, so
    // a page holds at most this many.
    int entryRows() const;
    // The entries the next page operations print, counted from 0 over the entries of the print
    // (separators not counted): a print whose rows may wrap measures each page and says here where it
    // starts and how many entries it holds. Without it page p holds the entryRows() entries after those of
    // the pages before it. beginRun() and endRun() drop it.
    void setPageEntries(int first, int count);
    void clearPageEntries();
    // Pages for rows entries: at least one, none when not a single row fits.
    int pageCount(int rows) const;
    int rowCount();
    int firstSelectedRow();
    int lastSelectedRow();
    QString title() const;
    ListProjectFileManager *manager() const { return m_manager; }

    virtual QString elideText(const QString &text, int limit);
    // The ids a print takes: the selection, the items, or the favourite lists with -1 before each
    // list that begins in the range. A range counts when from >= 1 and to >= from.
    virtual QList<int> itemsToPrint(bool selectionOnly, int from, int to);
    virtual QString buildCompactPage(int page, bool withHeader, bool selectionOnly, int from, int to) = 0;
    virtual QString buildDetailedPage(int page, bool withHeader, bool selectionOnly, int from, int to) = 0;
    virtual QString buildHandoutPage(int page, bool withHeader, bool selectionOnly, int from, int to) = 0;

    // The document stays unchanged between the two calls (the print dialog is modal).
    void beginRun();
    void endRun();

protected:
    // Every text from the document goes through this after it was shortened.
    static QString escaped(const QString &text);
    QString yesNo(bool yes) const;

    // One row's cells after the number cell, the closing of the row included when the format closes it.
    using RowCells = std::function<QString(const DocItem &item)>;
    // Both sections use the one wrapping table: a long text wraps within its column, so every column stays
    // on the page, and the print measures the rows it gets.
    QString buildPage(int page, bool withHeader, bool selectionOnly, int from, int to, const QStringList &titles,
                      const RowCells &cells);

private:
    struct Entry
    {
        int id;
        int list;     // index among all favourite lists of the document, empty ones included
        int position; // from 0 within that list
    };
    struct Snapshot
    {
        QList<QList<int>> lists;
        QList<Entry> entries;       // every entry of every list, in document order
        QList<int> listOffsets;     // index in entries of each list's first entry
        int numberedList = INT_MIN; // the list whose positions numbers holds; none yet
        QHash<int, int> numbers;    // id -> first position in numberedList
    };

    // The run's snapshot, or one read afresh for this call.
    Snapshot &snapshot();
    bool hasRange(bool selectionOnly, int from, int to) const;
    // First position of id in the list at index list, -1 when absent or the index is out of range.
    static int positionIn(Snapshot &s, int list, int id);
    // First and last position of the selected entries, -1 when none was found.
    QPair<int, int> selectionSpan();
    DocItem item(int id) const;
    // The first entry (from 0) and the number of entries of page.
    QPair<qint64, qint64> pageEntries(int page) const;
    QString tableElement(int marginTop) const;
    QString widthText() const;
    QString footer() const;
    QString plainSection(int page, bool withHeader, bool selectionOnly, int from, int to, const QString &titleRow,
                         const RowCells &cells);
    QString favouriteSection(int page, bool withHeader, int from, int to, const QString &titleRow,
                             const RowCells &cells);

    QList<int> m_items;
    int m_currentList = 0;
    int m_currentPage = 0;
    int m_rowHeight = 15;
    int m_runningNumber = 0;
    ListProjectFileManager *m_manager = nullptr;
    int m_bottomMargin = 0;
    int m_leftMargin = 0;
    int m_rightMargin = 0;
    int m_topMargin = 0;
    int m_pageHeight = 0;
    int m_pageWidth = 0;
    int m_headerRow = 1;
    QList<int> m_selection;
    bool m_showFileName = true;
    bool m_showGrid = true;
    bool m_showPageNumber = true;
    bool m_showTitle = true;
    int m_pageFirst = -1; // set by setPageEntries, -1 when unset
    int m_pageCount = 0;

    std::unique_ptr<Snapshot> m_run;
    std::unique_ptr<Snapshot> m_scratch;
};
