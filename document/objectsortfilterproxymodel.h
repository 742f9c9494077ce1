#pragma once

#include "base/columnfilter.h"

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QStringMatcher>

class QTimer;

// Sorts and filters an items table: column 0 shows each entry's place on the current favourite list,
// names sort in natural order, the filter pop-up's value filters and the search text hide rows, and
// TV and radio lists restrict which cells can be edited.
class ObjectSortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit ObjectSortFilterProxyModel(QObject *parent = nullptr);

    void setEditRestricted(bool restricted);
    void setColumnFilters(QList<ColumnFilter> *filters);
    void setListOrder(const QList<int> &ids);
    QList<int> idsOfIndexes(const QModelIndexList &indexes) const;
    // The ids of the rows shown, in view order, once a search typed before the texts were read is applied.
    QList<int> visibleIds();

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    void setSourceModel(QAbstractItemModel *model) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    // Between the two, removeRows only notes the rows; the end removes all of them through the source
    // at once, so that a scattered selection costs about what a whole block does.
    void beginRowRemoval();
    void endRowRemoval();
    bool hasPendingRemoval() const { return removing && !removalRows.isEmpty(); }

    // A search text waits while the rows' texts are still being read; these tell of it and apply it now.
    bool isSearchPending() const { return searchPending; }
    void finishSearch();

    // True while the source changes its own layout, which this model passes on as one of its own.
    bool isFollowingSourceLayout() const { return followingSourceLayout; }

public slots:
    void setItemsSearchFilter(const QString &patternStr);

signals:
    // A search text started (true) or stopped (false) waiting for the rows' texts.
    void searchPendingChanged(bool pending);
    // The rows shown are about to be chosen anew (a search text, the value filters, a new language):
    // the last moment an open cell editor can be written while its row is still shown.
    void filterAboutToChange();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    int listPosition(int id) const;
    int sortPosition(const QModelIndex &sourceIndex) const;

    void ensureRanks(int column) const;
    void dropRanks() const;
    void readKey(int row, int column) const;
    void setNaturalKey(int row, const QString &text) const;
    int naturalOrder(int a, int b) const;
    bool keyLess(int a, int b) const;
    void sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void sourceLayoutAboutToChange();

    bool searchAccepts(int sourceRow, const QModelIndex &sourceParent) const;
    QString readSearchText(int row) const;
    bool readSearchTexts(qint64 budgetNs) const;
    bool readSearchTextsForKey() const;
    void applySearch(const QString &patternText, bool refilter = true);
    void setSearchPending(bool pending);
    void prepareWhileIdle();
    void dropSearchTexts();
    void searchDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void searchRowsInserted(const QModelIndex &parent, int first, int last);
    void searchRowsRemoved(const QModelIndex &parent, int first, int last);
    void languageChanged();

    // The rank of each source row in the order of one column, worked out once and kept while the
    // source announces no change of that column, so that every sort - a click, a filter change, an
    // edited cell - compares two numbers instead of reading two cells. Ties keep the source order.
    mutable int rankedColumn = -1;
    mutable QList<int> sortRanks;
    mutable QList<int> rankOrder;
    // Per text of a natural column: the text, the case-folded part before its first digit run and that
    // run without leading zeros, all kept in two packed buffers so that sorting reads compact memory
    // (the cells' own texts lie spread over the whole tree) and no comparison scans a text twice.
    struct NaturalKey
    {
        qsizetype text = 0;
        qsizetype length = 0;
        qsizetype runStart = -1; // within the text; -1: no digits
        qsizetype prefix = 0;    // in the folded buffer, runStart long
        qsizetype number = 0;    // in the text buffer
        qsizetype numberLength = 0;
    };
    mutable QString packedTexts;
    mutable QString packedPrefixes;
    mutable QList<NaturalKey> naturalKeys;
    mutable QList<int> rankNumbers;
    mutable QVariantList rankValues;
    // the ranks to take when the source next changes its layout (the removal gathers its rows)
    QList<int> pendingRanks;
    bool ranksPending = false;
    bool followingSourceLayout = false;
    QList<QMetaObject::Connection> sourceConnections;

    bool removing = false;
    QList<int> removalRows;

    QList<ColumnFilter> *columnFilters = nullptr;
    bool editRestricted = false;
    // the search text the rows shown are filtered by, and the one typed while the texts were not read
    QString appliedSearch;
    bool searchApplied = false;
    QString pendingSearch;
    bool searchPending = false;
    QRegularExpression searchExpression;
    // The search text prepared once per text: it is found ignoring case exactly where the escaped
    // expression is. A text holding the cell separator, or broken UTF-16, goes through the expression
    // cell by cell instead.
    QStringMatcher searchMatcher;
    bool searchPlain = true;
    // Per source row, the texts the search looks at (every column's filter-role text, joined by the
    // separator), kept in step with the source, so that a key typed in the search field tests kept
    // texts instead of reading every cell of the table again. They are read while the program is idle
    // after the source changed (prepareWhileIdle), and whatever is left at once when a search needs them.
    mutable QList<QString> searchTexts;
    mutable int searchTextsFilled = -1; // rows read from the first on; -1: none kept
    mutable int searchTextsRole = -1;
    QTimer *idleTimer = nullptr;
    QList<int> listOrder;
    QHash<int, int> listPlaces;
};
