#include "document/objectsortfilterproxymodel.h"

#include "base/naturalcompare.h"
#include "document/itemsdatabasemodel.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEvent>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <numeric>

namespace {

constexpr int listColumn = 0;
constexpr int serviceTypeColumn = 7;
constexpr int idColumn = 8;
// joins the cells of a row in the kept search texts; a search text holding it is matched cell by cell
constexpr char16_t searchSeparator = u'\0';
// more changed or inserted rows than this are read again on the next search rather than at once
constexpr int searchRereadLimit = 256;
// A key reads at most this many rows' texts regardless of time (a small list is always searched at
// once), and otherwise for about this long.
constexpr int searchReadAtOnce = 1000;
constexpr qint64 searchKeyBudgetNs = 10 * 1000 * 1000;

} // namespace

ObjectSortFilterProxyModel::ObjectSortFilterProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
    , idleTimer(new QTimer(this))
{
    idleTimer->setSingleShot(true);
    idleTimer->setInterval(0);
    connect(idleTimer, &QTimer::timeout, this, &ObjectSortFilterProxyModel::prepareWhileIdle);
    setFilterKeyColumn(-1);
    setSortCaseSensitivity(Qt::CaseInsensitive);
    // Columns such as the service type are translated as they are read: the application tells of a
    // new language before any page hears of it, and the kept texts must go then.
    if (QCoreApplication *application = QCoreApplication::instance())
        application->installEventFilter(this);
}

bool ObjectSortFilterProxyModel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::LanguageChange && watched == QCoreApplication::instance())
        languageChanged();
    return QSortFilterProxyModel::eventFilter(watched, event);
}

void ObjectSortFilterProxyModel::languageChanged()
{
    dropRanks();
    dropSearchTexts();
    // rows shown for a search text are those that hold it in the new language
    if (!appliedSearch.isEmpty() && sourceModel()) {
        emit filterAboutToChange();
        invalidate();
    }
}

void ObjectSortFilterProxyModel::setEditRestricted(bool restricted)
{
    editRestricted = restricted;
}

void ObjectSortFilterProxyModel::setColumnFilters(QList<ColumnFilter> *filters)
{
    emit filterAboutToChange();
    columnFilters = filters;
    // rebuilt once, as for a search text, rather than row blocks going out and in one at a time
    invalidate();
}

void ObjectSortFilterProxyModel::setItemsSearchFilter(const QString &patternStr)
{
    if (searchPending && patternStr == pendingSearch)
        return;
    if (searchApplied && patternStr == appliedSearch) {
        // typed back to the text the rows shown are filtered by
        pendingSearch.clear();
        setSearchPending(false);
        return;
    }
    // The rows a text shows are only known once every row's texts are read. A key typed before they
    // are reads what a key may take; when that does not finish them the table keeps what it shows (all
    // of it right for the text before, as while a blocked window waits) and the reading goes on while
    // idle, so that typing stays smooth; the text is applied as soon as the last row is read.
    const bool plain = !patternStr.contains(QChar(searchSeparator)) && patternStr.isValidUtf16();
    if (patternStr.isEmpty() || !plain || !sourceModel() || readSearchTextsForKey()) {
        applySearch(patternStr);
        return;
    }
    pendingSearch = patternStr;
    idleTimer->start();
    setSearchPending(true);
}

void ObjectSortFilterProxyModel::setSearchPending(bool pending)
{
    if (searchPending == pending)
        return;
    searchPending = pending;
    emit searchPendingChanged(pending);
}

bool ObjectSortFilterProxyModel::readSearchTextsForKey() const
{
    const int rows = sourceModel()->rowCount();
    const bool kept = searchTextsFilled >= 0 && searchTextsRole == filterRole() && searchTexts.size() == rows;
    const int unread = kept ? rows - searchTextsFilled : rows;
    return readSearchTexts(unread <= searchReadAtOnce ? -1 : searchKeyBudgetNs);
}

void ObjectSortFilterProxyModel::applySearch(const QString &patternText, bool refilter)
{
    const QString patternStr = patternText; // the text may be the pending one, cleared below
    // an open editor is written while the rows are still those it was opened among
    if (refilter)
        emit filterAboutToChange();
    appliedSearch = patternStr;
    const bool wasPending = searchPending;
    searchPending = false;
    pendingSearch.clear();
    searchApplied = true;
    searchExpression =
        QRegularExpression(QRegularExpression::escape(appliedSearch), QRegularExpression::CaseInsensitiveOption);
    searchPlain = !appliedSearch.contains(QChar(searchSeparator)) && appliedSearch.isValidUtf16();
    searchMatcher = QStringMatcher(appliedSearch, Qt::CaseInsensitive);
    // A search text shows or hides rows all over a sorted table: the table is rebuilt once (filtered,
    // then sorted by the kept ranks) instead of row blocks going in and out one by one, which costs a
    // pass over the table per block.
    if (refilter)
        invalidate();
    // told last, when the rows shown are those of the text
    if (wasPending)
        emit searchPendingChanged(false);
}

void ObjectSortFilterProxyModel::finishSearch()
{
    if (!searchPending)
        return;
    if (sourceModel())
        readSearchTexts(-1);
    applySearch(pendingSearch);
}

void ObjectSortFilterProxyModel::setListOrder(const QList<int> &ids)
{
    listOrder = ids;
    listPlaces.clear();
    listPlaces.reserve(ids.size());
    for (int at = int(ids.size()) - 1; at >= 0; --at)
        listPlaces.insert(ids.at(at), at); // the first place of an id counts
    if (rankedColumn == listColumn)
        dropRanks();
}

int ObjectSortFilterProxyModel::listPosition(int id) const
{
    return listPlaces.value(id, -1);
}

QList<int> ObjectSortFilterProxyModel::idsOfIndexes(const QModelIndexList &indexes) const
{
    QList<int> ids;
    ids.reserve(indexes.size());
    for (const QModelIndex &index : indexes)
        ids << QSortFilterProxyModel::data(this->index(index.row(), idColumn), Qt::DisplayRole).toString().toInt();
    return ids;
}

QList<int> ObjectSortFilterProxyModel::visibleIds()
{
    finishSearch();
    QList<int> ids;
    const int rows = rowCount();
    ids.reserve(rows);
    for (int row = 0; row < rows; ++row)
        ids << QSortFilterProxyModel::data(index(row, idColumn), Qt::DisplayRole).toString().toInt();
    return ids;
}

QVariant ObjectSortFilterProxyModel::data(const QModelIndex &index, int role) const
{
    if (index.isValid() && index.column() == listColumn && role == Qt::DisplayRole) {
        const int id =
            QSortFilterProxyModel::data(this->index(index.row(), idColumn), Qt::DisplayRole).toString().toInt();
        const int position = listPosition(id);
        return position < 0 ? QString() : QString::number(position + 1);
    }
    return QSortFilterProxyModel::data(index, role);
}

QMimeData *ObjectSortFilterProxyModel::mimeData(const QModelIndexList &indexes) const
{
    // entries travel in the order the table shows them
    QModelIndexList sorted = indexes;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    return QSortFilterProxyModel::mimeData(sorted);
}

bool ObjectSortFilterProxyModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                              const QModelIndex &parent)
{
    return QSortFilterProxyModel::dropMimeData(data, action, row, column, parent);
}

Qt::ItemFlags ObjectSortFilterProxyModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QSortFilterProxyModel::flags(index);
    if (!index.isValid() || !result.testFlag(Qt::ItemIsEditable))
        return result;
    const int column = index.column();
    if (column == listColumn)
        return result & ~Qt::ItemIsEditable;
    // The service's type is read from the document only where it decides: the flags of every cell of a large
    // selection are asked for each time it is looked at.
    if (!editRestricted || column == 5 || column == 6)
        return result;
    const QString serviceType = data(this->index(index.row(), serviceTypeColumn), Qt::DisplayRole).toString();
    const bool external = serviceType == QCoreApplication::translate("DetailedSettingsProperty", "External source");
    const bool analog = serviceType == QCoreApplication::translate("DetailedSettingsProperty", "Analog");
    if (external || (column == 2 && analog))
        result &= ~Qt::ItemIsEditable;
    return result;
}

bool ObjectSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    const QAbstractItemModel *source = sourceModel();
    if (columnFilters && source) {
        for (const ColumnFilter &filter : std::as_const(*columnFilters)) {
            if (filter.checkedValues.isEmpty())
                continue;
            const QString text = source->index(sourceRow, filter.column, sourceParent).data(Qt::EditRole).toString();
            bool accepted = false;
            if (!filter.multiValue) {
                accepted = filter.checkedValues.contains(text);
            } else {
                const QStringList parts = text.split(u';');
                for (const QString &part : parts) {
                    // parts are trimmed as the filter pop-up trims the values it offers
                    const QString value = part.trimmed();
                    if (value.isEmpty() && parts.size() > 1)
                        continue;
                    if (filter.checkedValues.contains(value)) {
                        accepted = true;
                        break;
                    }
                }
            }
            if (!accepted)
                return false;
        }
    }
    if (appliedSearch.isEmpty() || !source)
        return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
    return searchAccepts(sourceRow, sourceParent) && QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
}

// the search text may stand in any column of the entry
bool ObjectSortFilterProxyModel::searchAccepts(int sourceRow, const QModelIndex &sourceParent) const
{
    const QAbstractItemModel *source = sourceModel();
    if (searchPlain && !sourceParent.isValid() && sourceRow >= 0 && sourceRow < source->rowCount()) {
        readSearchTexts(-1);
        return searchMatcher.indexIn(searchTexts.at(sourceRow)) >= 0;
    }
    for (int column = 0, columns = source->columnCount(sourceParent); column < columns; ++column) {
        if (source->index(sourceRow, column, sourceParent).data(filterRole()).toString().contains(searchExpression))
            return true;
    }
    return false;
}

QString ObjectSortFilterProxyModel::readSearchText(int row) const
{
    const QAbstractItemModel *source = sourceModel();
    QString text;
    for (int column = 0, columns = source->columnCount(); column < columns; ++column) {
        if (column > 0)
            text += QChar(searchSeparator);
        text += source->index(row, column).data(searchTextsRole).toString();
    }
    text.squeeze();
    return text;
}

// Reads the rows not read yet, for at most the budget (all of them with a negative one); true when
// every row is read.
bool ObjectSortFilterProxyModel::readSearchTexts(qint64 budgetNs) const
{
    const QAbstractItemModel *source = sourceModel();
    const int rows = source ? source->rowCount() : 0;
    if (searchTextsFilled < 0 || searchTextsRole != filterRole() || searchTexts.size() != rows) {
        searchTextsRole = filterRole();
        QList<QString>(rows).swap(searchTexts);
        searchTextsFilled = 0;
    }
    QElapsedTimer timer;
    timer.start();
    while (searchTextsFilled < rows) {
        searchTexts[searchTextsFilled] = readSearchText(searchTextsFilled);
        ++searchTextsFilled;
        if (budgetNs >= 0 && (searchTextsFilled & 63) == 0 && timer.nsecsElapsed() > budgetNs)
            break;
    }
    return searchTextsFilled == rows;
}

// While nothing else is to be done, the search texts are read in slices short enough that typing,
// scrolling and repaints go on in between, and the ranks of the sort column are worked out, so that
// the first key typed after a list opens or changes costs no more than the next ones.
void ObjectSortFilterProxyModel::prepareWhileIdle()
{
    const QAbstractItemModel *source = sourceModel();
    if (!source)
        return;
    if (!readSearchTexts(4 * 1000 * 1000)) {
        idleTimer->start();
        return;
    }
    if (searchPending) {
        applySearch(pendingSearch);
        idleTimer->start(); // the ranks in the next slice: this one filtered the table
        return;
    }
    if (sortColumn() >= 0 && sortColumn() < source->columnCount())
        ensureRanks(sortColumn());
}

void ObjectSortFilterProxyModel::dropSearchTexts()
{
    QList<QString>().swap(searchTexts);
    searchTextsFilled = -1;
    if (sourceModel())
        idleTimer->start();
}

void ObjectSortFilterProxyModel::searchDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    if (searchTextsFilled < 0 || topLeft.parent().isValid())
        return;
    if (bottomRight.row() - topLeft.row() >= searchRereadLimit || bottomRight.row() >= searchTexts.size()) {
        dropSearchTexts();
        return;
    }
    // rows not read yet are read with their new texts later
    for (int row = qMax(topLeft.row(), 0); row <= bottomRight.row() && row < searchTextsFilled; ++row)
        searchTexts[row] = readSearchText(row);
}

void ObjectSortFilterProxyModel::searchRowsInserted(const QModelIndex &parent, int first, int last)
{
    if (searchTextsFilled < 0 || parent.isValid())
        return;
    if (first >= searchTextsFilled && first <= searchTexts.size()) {
        // After the rows read so far (a paste at the end, in steps): they stay read, and the new rows are
        // read with the others still to read, rather than every row again.
        searchTexts.insert(first, last - first + 1, QString());
        if (searchTextsFilled < searchTexts.size() && !idleTimer->isActive())
            idleTimer->start();
        return;
    }
    if (searchTextsFilled != searchTexts.size() || last - first >= searchRereadLimit || first < 0 ||
        first > searchTexts.size()) {
        dropSearchTexts();
        return;
    }
    searchTexts.insert(first, last - first + 1, QString());
    for (int row = first; row <= last; ++row)
        searchTexts[row] = readSearchText(row);
    searchTextsFilled = int(searchTexts.size());
}

void ObjectSortFilterProxyModel::searchRowsRemoved(const QModelIndex &parent, int first, int last)
{
    if (searchTextsFilled < 0 || parent.isValid())
        return;
    if (searchTextsFilled != searchTexts.size() || first < 0 || last >= searchTexts.size()) {
        dropSearchTexts();
        return;
    }
    searchTexts.remove(first, last - first + 1);
    searchTextsFilled = int(searchTexts.size());
}

namespace {

bool isNaturalColumn(int column)
{
    return column == 1 || column == 2 || column == 7;
}

} // namespace

void ObjectSortFilterProxyModel::sort(int column, Qt::SortOrder order)
{
    // an explicit sort reads the cells again, whatever the ranks kept so far
    dropRanks();
    QSortFilterProxyModel::sort(column, order);
}

void ObjectSortFilterProxyModel::setSourceModel(QAbstractItemModel *model)
{
    for (const QMetaObject::Connection &connection : std::as_const(sourceConnections))
        disconnect(connection);
    sourceConnections.clear();
    dropRanks();
    dropSearchTexts();
    // the new rows are filtered by the text typed last
    if (searchPending)
        applySearch(pendingSearch, false);
    if (model) {
        // connected before the base class connects its own handlers, so the ranks are mended or dropped
        // before it re-sorts anything
        const auto drop = [this] { dropRanks(); };
        sourceConnections << connect(model, &QAbstractItemModel::dataChanged, this,
                                     &ObjectSortFilterProxyModel::sourceDataChanged)
                          << connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this,
                                     &ObjectSortFilterProxyModel::sourceLayoutAboutToChange)
                          << connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, drop)
                          << connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, drop)
                          << connect(model, &QAbstractItemModel::rowsAboutToBeMoved, this, drop)
                          << connect(model, &QAbstractItemModel::columnsAboutToBeInserted, this, drop)
                          << connect(model, &QAbstractItemModel::columnsAboutToBeRemoved, this, drop)
                          << connect(model, &QAbstractItemModel::modelAboutToBeReset, this, drop);
        // the kept search texts follow edits, insertions and removals; any other change reads them again
        const auto dropSearch = [this] { dropSearchTexts(); };
        sourceConnections
            << connect(model, &QAbstractItemModel::dataChanged, this, &ObjectSortFilterProxyModel::searchDataChanged)
            << connect(model, &QAbstractItemModel::rowsInserted, this, &ObjectSortFilterProxyModel::searchRowsInserted)
            << connect(model, &QAbstractItemModel::rowsRemoved, this, &ObjectSortFilterProxyModel::searchRowsRemoved)
            << connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, dropSearch)
            << connect(model, &QAbstractItemModel::rowsAboutToBeMoved, this, dropSearch)
            << connect(model, &QAbstractItemModel::columnsAboutToBeInserted, this, dropSearch)
            << connect(model, &QAbstractItemModel::columnsAboutToBeRemoved, this, dropSearch)
            << connect(model, &QAbstractItemModel::columnsAboutToBeMoved, this, dropSearch)
            << connect(model, &QAbstractItemModel::modelAboutToBeReset, this, dropSearch);
    }
    followingSourceLayout = false;
    QSortFilterProxyModel::setSourceModel(model);
    if (model) {
        // after the base class, which passes the source's change on first
        sourceConnections << connect(model, &QAbstractItemModel::layoutChanged, this,
                                     [this] { followingSourceLayout = false; });
        idleTimer->start();
    }
}

void ObjectSortFilterProxyModel::dropRanks() const
{
    if (rankedColumn >= 0 && sourceModel())
        idleTimer->start();
    rankedColumn = -1;
    sortRanks.clear();
    rankOrder.clear();
    packedTexts.clear();
    packedPrefixes.clear();
    naturalKeys.clear();
    rankNumbers.clear();
    rankValues.clear();
}

void ObjectSortFilterProxyModel::setNaturalKey(int row, const QString &text) const
{
    // an edited row's text is appended: the buffers only grow until the ranks are worked out anew
    NaturalKey &key = naturalKeys[row];
    key = NaturalKey();
    key.text = packedTexts.size();
    key.length = text.size();
    packedTexts += text;
    qsizetype start = 0;
    while (start < text.size() && !(text.at(start) >= u'0' && text.at(start) <= u'9'))
        ++start;
    if (start == text.size())
        return;
    qsizetype end = start;
    while (end < text.size() && text.at(end) >= u'0' && text.at(end) <= u'9')
        ++end;
    qsizetype first = start;
    while (end - first > 1 && text.at(first) == u'0')
        ++first;
    key.runStart = start;
    key.prefix = packedPrefixes.size();
    packedPrefixes += QStringView(text).left(start).toString().toCaseFolded();
    key.number = key.text + first;
    key.numberLength = end - first;
}

// naturalCompare on the prepared keys: the first digit runs compare by value when the texts before
// them are equal but for case, anything else in the locale's order
int ObjectSortFilterProxyModel::naturalOrder(int a, int b) const
{
    const NaturalKey &x = naturalKeys.at(a);
    const NaturalKey &y = naturalKeys.at(b);
    const QStringView texts(packedTexts);
    if (x.runStart >= 0 && x.runStart == y.runStart &&
        QStringView(packedPrefixes).mid(x.prefix, x.runStart) ==
            QStringView(packedPrefixes).mid(y.prefix, y.runStart)) {
        if (x.numberLength != y.numberLength)
            return x.numberLength < y.numberLength ? -1 : 1;
        const int order = texts.mid(x.number, x.numberLength).compare(texts.mid(y.number, y.numberLength));
        return order < 0 ? -1 : (order > 0 ? 1 : 0);
    }
    return QString::localeAwareCompare(texts.mid(x.text, x.length), texts.mid(y.text, y.length));
}

void ObjectSortFilterProxyModel::readKey(int row, int column) const
{
    const QAbstractItemModel *source = sourceModel();
    if (column == listColumn)
        rankNumbers[row] = sortPosition(source->index(row, listColumn));
    else if (isNaturalColumn(column))
        setNaturalKey(row, source->index(row, column).data(Qt::DisplayRole).toString());
    else
        rankValues[row] = source->index(row, column).data(sortRole());
}

namespace {

// the order the base class gives two cell values
bool variantLess(const QVariant &left, const QVariant &right, Qt::CaseSensitivity sensitivity, bool localeAware)
{
    if (left.userType() == QMetaType::UnknownType)
        return false;
    if (right.userType() == QMetaType::UnknownType)
        return true;
    switch (left.userType()) {
    case QMetaType::Int:
        return left.toInt() < right.toInt();
    case QMetaType::UInt:
        return left.toUInt() < right.toUInt();
    case QMetaType::LongLong:
        return left.toLongLong() < right.toLongLong();
    case QMetaType::ULongLong:
        return left.toULongLong() < right.toULongLong();
    case QMetaType::Float:
        return left.toFloat() < right.toFloat();
    case QMetaType::Double:
        return left.toDouble() < right.toDouble();
    case QMetaType::QChar:
        return left.toChar() < right.toChar();
    case QMetaType::QDate:
        return left.toDate() < right.toDate();
    case QMetaType::QTime:
        return left.toTime() < right.toTime();
    case QMetaType::QDateTime:
        return left.toDateTime() < right.toDateTime();
    default:
        if (localeAware)
            return left.toString().localeAwareCompare(right.toString()) < 0;
        return left.toString().compare(right.toString(), sensitivity) < 0;
    }
}

} // namespace

bool ObjectSortFilterProxyModel::keyLess(int a, int b) const
{
    bool less = false;
    bool greater = false;
    if (rankedColumn == listColumn) {
        less = rankNumbers.at(a) < rankNumbers.at(b);
        greater = rankNumbers.at(b) < rankNumbers.at(a);
    } else if (isNaturalColumn(rankedColumn)) {
        const int order = naturalOrder(a, b);
        less = order < 0;
        greater = order > 0;
    } else {
        less = variantLess(rankValues.at(a), rankValues.at(b), sortCaseSensitivity(), isSortLocaleAware());
        greater = !less && variantLess(rankValues.at(b), rankValues.at(a), sortCaseSensitivity(), isSortLocaleAware());
    }
    return less || (!greater && a < b); // equal values keep the source order
}

void ObjectSortFilterProxyModel::ensureRanks(int column) const
{
    const QAbstractItemModel *source = sourceModel();
    const int rows = source ? source->rowCount() : 0;
    if (rankedColumn == column && sortRanks.size() == rows)
        return;
    dropRanks();
    rankedColumn = column;
    if (column == listColumn)
        rankNumbers.resize(rows);
    else if (isNaturalColumn(column)) {
        naturalKeys.resize(rows);
        packedTexts.reserve(rows * 16);
    } else
        rankValues.resize(rows);
    for (int row = 0; row < rows; ++row)
        readKey(row, column);
    rankOrder.resize(rows);
    std::iota(rankOrder.begin(), rankOrder.end(), 0);
    std::sort(rankOrder.begin(), rankOrder.end(), [this](int a, int b) { return keyLess(a, b); });
    sortRanks.resize(rows);
    for (int rank = 0; rank < rows; ++rank)
        sortRanks[rankOrder.at(rank)] = rank;
}

void ObjectSortFilterProxyModel::sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    if (rankedColumn < 0 || topLeft.parent().isValid())
        return;
    if (rankOrder.size() != sortRanks.size()) {
        dropRanks(); // ranks taken over from a removal carry no values to move by
        return;
    }
    const int keyColumn = rankedColumn == listColumn ? idColumn : rankedColumn;
    if (keyColumn < topLeft.column() || keyColumn > bottomRight.column())
        return;
    // a few edited cells move within the ranks; many are read again on the next sort
    if (bottomRight.row() - topLeft.row() >= 32 || bottomRight.row() >= sortRanks.size()) {
        dropRanks();
        return;
    }
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        const int from = sortRanks.at(row);
        rankOrder.removeAt(from);
        readKey(row, rankedColumn);
        const auto at =
            std::lower_bound(rankOrder.begin(), rankOrder.end(), row, [this](int a, int b) { return keyLess(a, b); });
        const int to = int(at - rankOrder.begin());
        rankOrder.insert(to, row);
        for (int rank = qMin(from, to); rank <= qMax(from, to); ++rank)
            sortRanks[rankOrder.at(rank)] = rank;
    }
}

void ObjectSortFilterProxyModel::sourceLayoutAboutToChange()
{
    followingSourceLayout = true;
    if (!ranksPending) {
        dropRanks();
        return;
    }
    // the order after the change is known: the rows being removed gathered behind the others
    const int column = rankedColumn;
    dropRanks();
    rankedColumn = column;
    sortRanks = pendingRanks;
    ranksPending = false;
}

bool ObjectSortFilterProxyModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (!removing || parent.isValid())
        return QSortFilterProxyModel::removeRows(row, count, parent);
    if (row < 0 || count < 1 || row + count > rowCount())
        return false;
    for (int i = row; i < row + count; ++i)
        removalRows << mapToSource(index(i, 0)).row();
    return true;
}

void ObjectSortFilterProxyModel::beginRowRemoval()
{
    removing = true;
    removalRows.clear();
}

void ObjectSortFilterProxyModel::endRowRemoval()
{
    removing = false;
    QList<int> rows = std::move(removalRows);
    removalRows.clear();
    QAbstractItemModel *source = sourceModel();
    if (rows.isEmpty() || !source)
        return;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (auto *items = qobject_cast<ItemsDatabaseModel *>(source)) {
        // The source gathers the rows behind the others in one layout change and removes them as one
        // block; ranked as they will stand then, the rows to go stay one block here too.
        const int total = source->rowCount();
        if (sortColumn() >= 0 && total > 0) {
            ensureRanks(sortColumn());
            pendingRanks.resize(total);
            int kept = 0;
            int gone = 0;
            const int keptCount = total - int(rows.size());
            for (int row = 0; row < total; ++row) {
                if (gone < rows.size() && rows.at(gone) == row)
                    pendingRanks[keptCount + gone++] = total + sortRanks.at(row);
                else
                    pendingRanks[kept++] = sortRanks.at(row);
            }
            ranksPending = true;
        }
        items->removeRowSet(rows);
        ranksPending = false;
        pendingRanks.clear();
        return;
    }
    // any other source: each run of adjacent rows in one call, the highest first
    for (qsizetype end = rows.size(); end > 0;) {
        qsizetype start = end - 1;
        while (start > 0 && rows.at(start - 1) == rows.at(start) - 1)
            --start;
        source->removeRows(rows.at(start), int(end - start));
        end = start;
    }
}

int ObjectSortFilterProxyModel::sortPosition(const QModelIndex &sourceIndex) const
{
    const int id = sourceModel()->index(sourceIndex.row(), idColumn, sourceIndex.parent()).data().toInt();
    const int at = listPosition(id);
    return at < 0 ? INT_MAX : at;
}

bool ObjectSortFilterProxyModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    if (left.column() == right.column() && !left.parent().isValid() && !right.parent().isValid() && sourceModel()) {
        ensureRanks(left.column());
        if (left.row() < sortRanks.size() && right.row() < sortRanks.size())
            return sortRanks.at(left.row()) < sortRanks.at(right.row());
    }
    if (left.column() == listColumn && right.column() == listColumn) {
        const int l = sortPosition(left);
        const int r = sortPosition(right);
        // unlisted entries stay in source order, whatever order the table had before
        return l == r ? left.row() < right.row() : l < r;
    }
    if (left.column() == right.column() && isNaturalColumn(left.column()))
        return naturalCompare(left.data(Qt::DisplayRole).toString(), right.data(Qt::DisplayRole).toString()) < 0;
    return QSortFilterProxyModel::lessThan(left, right);
}
