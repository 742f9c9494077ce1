#include "testmain.h"

#include "base/naturalcompare.h"
#include "document/listitemsdatabasemodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "listfiles/tvlistprojectfilemanager.h"

#include <QAbstractItemModelTester>
#include <QIdentityProxyModel>
#include <QMimeData>
#include <QRegularExpression>
#include <QTranslator>

#include <algorithm>
#include <memory>

// The search field of the list pages: which rows a search text leaves in the table. The rows shown are
// compared with the rule the table has always followed, worked out here cell by cell: the text, taken
// literally and ignoring letter case, stands in the display text of at least one column of the entry.

namespace {

const char *const names[] = {
    "Kultur 1",
    "KULTUR 19",
    "Kultur 190",
    "Sport (HD)",
    "a.b Sport",
    "Sky*News",
    "Sky News",
    "BBC?",
    "C:\\Sender",
    "[Info]",
    "x^2 + y",
    "$Geld",
    "Pipe|Line",
    "Straße",
    "STRASSE",
    "Σίγμα",
    "σίγμας",
    "İstanbul",
    "ılık",
    "Łódź",
    "łódź TV",
    "Übersicht",
    "über",
    "Kelvin \u212A",
    "Lange \u017F",
    "\U00010400 Deseret",
    "\U00010428 deseret",
    "Tab\there",
    "Ende.",
    "Radio {1}",
    "100%",
    "Ö3",
    "",
};
const char *const providers[] = {"Provider", "ARD", "ZDF (alt)", "Sky", "", "Canal+", "T.V."};
const char *const configTypes[] = {"satellite", "cable", "terrestrial", "analog", "external", "mystery"};

// one entry per name, with providers, genres, locks and service types varying alongside
QString generatedList(int count)
{
    QString items;
    const int nameCount = int(std::size(names));
    for (int i = 0; i < count; ++i) {
        const QString name =
            QString::fromUtf8(names[i % nameCount]) + (i >= nameCount ? QString::number(i) : QString());
        items += QStringLiteral("<tvService id=\"%1\" epgMarked=\"%2\"><name>%3</name><provider>%4</provider>"
                                "<genres>Genre %5;Genre %6</genres><parentLock>%7</parentLock>"
                                "<childrenLock>%8</childrenLock><details><config type=\"%9\"/></details></tvService>")
                     .arg(QString::number(i), QString::number(i % 2), name.toHtmlEscaped(),
                          QString::fromUtf8(providers[i % std::size(providers)]).toHtmlEscaped(),
                          QString::number(i % 5), QString::number(i % 3), i % 7 == 0 ? "1" : "0",
                          QString::number(i % 4 + 1), QString::fromLatin1(configTypes[i % std::size(configTypes)]));
    }
    return QStringLiteral("<TDocument><documentProperties/><items>%1</items><lists><list id=\"0\"/></lists>"
                          "</TDocument>")
        .arg(items);
}

// counts the cells read through it
class CountingModel : public QIdentityProxyModel
{
public:
    QVariant data(const QModelIndex &index, int role) const override
    {
        ++reads;
        return QIdentityProxyModel::data(index, role);
    }
    mutable int reads = 0;
};

} // namespace

class TestSearchMatch : public QObject
{
    Q_OBJECT

    QWidget parent;
    std::unique_ptr<TVListProjectFileManager> manager;
    std::unique_ptr<CountingModel> counting;
    std::unique_ptr<ObjectSortFilterProxyModel> proxy;
    std::unique_ptr<QAbstractItemModelTester> tester;
    std::unique_ptr<QTranslator> german;

    void open(int count)
    {
        tester.reset();
        proxy.reset();
        counting.reset();
        manager = std::make_unique<TVListProjectFileManager>(&parent);
        QVERIFY(manager->newProject(generatedList(count)));
        counting = std::make_unique<CountingModel>();
        counting->setSourceModel(manager->itemsModel);
        proxy = std::make_unique<ObjectSortFilterProxyModel>();
        tester = std::make_unique<QAbstractItemModelTester>(proxy.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy->setSourceModel(counting.get());
        proxy->sort(1, Qt::AscendingOrder);
    }

    // the ids the search has always shown for text: cell by cell, the escaped text ignoring case
    QStringList expectedIds(const QString &text) const
    {
        const QRegularExpression expression(QRegularExpression::escape(text),
                                            QRegularExpression::CaseInsensitiveOption);
        const QAbstractItemModel *items = manager->itemsModel;
        QStringList ids;
        for (int row = 0; row < items->rowCount(); ++row) {
            bool found = text.isEmpty();
            for (int column = 0; column < items->columnCount() && !found; ++column)
                found = items->index(row, column).data(Qt::DisplayRole).toString().contains(expression);
            if (found)
                ids << items->index(row, 8).data().toString();
        }
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    QStringList shownIds() const
    {
        QStringList ids;
        for (int row = 0; row < proxy->rowCount(); ++row)
            ids << proxy->index(row, 8).data().toString();
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    // lets the proxy read the search texts while idle: every row's cells read once
    void settle()
    {
        const int cells = manager->itemsModel->rowCount() * manager->itemsModel->columnCount();
        QTRY_VERIFY(counting->reads >= cells);
        QCoreApplication::processEvents();
    }

private slots:
    void cleanup()
    {
        if (german)
            QCoreApplication::removeTranslator(german.get());
        german.reset();
        tester.reset();
        proxy.reset();
        counting.reset();
        manager.reset();
    }

    void sameRowsAsCellByCell_data()
    {
        QTest::addColumn<QString>("text");
        const QStringList texts = {
            "", "k", "K", "kultur 1", "KULTUR 19", "Kultur 19", ".", "*", "?", "(", ")", "(HD)", "\\", "C:\\S", "[",
            "]", "[Info]", "^", "x^2", "$", "$g", "|", "+", "{1}", "%", "a.b", "a.c", "Sky*", "Sky.News", "y*N",
            // case rules beyond ASCII: the same folding as always, no more
            "straße", "STRASSE", "ss", "ß", "\u1E9E", "σ", "Σ", "ς", "ΣΊΓΜΑΣ", "istanbul", "İ", "ı", "I", "ł", "Ł",
            "ÜBER", "ö3", "k", "\u212A", "kelvin k", "s", "\u017F", "LANGE S", "\U00010400", "\U00010428",
            // the other columns: locks, genres, service types, ids, the EPG flag
            "true", "FALSE", "Child", "Genre 1;Genre", "genre 4;", "Satellite", "external source", "Unknown type", "0",
            "17", "303", "provider", "ZDF (", "t.v.", "Canal+",
            // a text reaching over two cells is in neither
            "1Provider", "Sport (HD)Provider", "Tab\there", "\t", " ", "  ", "nowhere at all",
            // texts with a NUL are read cell by cell
            QString(QChar(u'\0')), QStringLiteral("Sky") + QChar(u'\0')};
        for (int i = 0; i < texts.size(); ++i)
            QTest::addRow("%d %s", i, qPrintable(texts.at(i))) << texts.at(i);
    }

    void sameRowsAsCellByCell()
    {
        QFETCH(QString, text);
        open(330);
        // texts read while typing, then texts read while idle
        proxy->setItemsSearchFilter(text);
        QCOMPARE(shownIds(), expectedIds(text));
        proxy->setItemsSearchFilter(QString());
        QCOMPARE(proxy->rowCount(), 330);
        settle();
        proxy->setItemsSearchFilter(text);
        QCOMPARE(shownIds(), expectedIds(text));
    }

    // once the texts are read while idle, a key typed reads no cell; it finds the same rows
    void keysReadNoCellAfterIdle()
    {
        open(330);
        settle();
        tester.reset(); // it reads cells of its own on every change
        counting->reads = 0;
        for (const QString &text : {"K", "Ku", "Kul", "Kultur 1"})
            proxy->setItemsSearchFilter(text);
        const int reads = counting->reads;
        QCOMPARE(reads, 0);
        QCOMPARE(shownIds(), expectedIds("Kultur 1"));
    }

    // edits, new entries and removals reach the kept texts, whether or not a search is on
    void followsTheList_data()
    {
        QTest::addColumn<bool>("idle");
        QTest::addColumn<bool>("searching");
        QTest::newRow("read while typing") << false << true;
        QTest::newRow("read while idle, searching") << true << true;
        QTest::newRow("read while idle, search off during the changes") << true << false;
    }

    void followsTheList()
    {
        QFETCH(bool, idle);
        QFETCH(bool, searching);
        open(330);
        ItemsDatabaseModel *items = manager->itemsModel;
        proxy->setItemsSearchFilter("Kultur");
        QVERIFY(proxy->rowCount() > 0);
        if (idle)
            settle();
        if (!searching)
            proxy->setItemsSearchFilter(QString());
        // the rows shown right after the change (the search on or off), then for other texts
        const auto check = [&](const char *step) {
            QVERIFY2(shownIds() == expectedIds(searching ? "Kultur" : ""), step);
            for (const char *text : {"Nachtkultur", "Child 9", "Kultur"}) {
                proxy->setItemsSearchFilter(text);
                QVERIFY2(shownIds() == expectedIds(text), step);
            }
            if (!searching)
                proxy->setItemsSearchFilter(QString());
        };

        // an entry renamed out of the search and one renamed into it
        QVERIFY(items->setData(items->index(1, 1), QStringLiteral("Nachrichten"), Qt::EditRole));
        QVERIFY(items->setData(items->index(3, 2), QStringLiteral("Nachtkultur"), Qt::EditRole));
        check("edit");
        // the children lock shows its own text, and the search sees it
        QVERIFY(items->setData(items->index(4, 6), QStringLiteral("9"), Qt::EditRole));
        check("children lock");
        // a new entry, renamed into the search
        const QString id = items->appendNewItem();
        QVERIFY(!id.isEmpty());
        QVERIFY(items->setDataById(id, 1, QStringLiteral("Kultur neu"), Qt::EditRole));
        check("new entry");
        // rows removed one at a time and as a scattered set (which the model moves first)
        QVERIFY(items->removeRows(0, 2));
        check("removal");
        QVERIFY(items->removeRowSet({5, 40, 41, 200}));
        check("set removal");
        // many new entries at once are read again on the next search
        for (int i = 0; i < 3; ++i)
            QVERIFY(!items->appendNewItem().isEmpty());
        QVERIFY(items->setData(items->index(items->rowCount() - 1, 1), QStringLiteral("Nachtkultur 2"), Qt::EditRole));
        check("more entries");
    }

    // Services pasted or dropped while a search is typed: those the search finds are shown at once, the
    // others stay hidden, wherever they land and however many come; a second paste after the first too.
    void pastedWhileSearching_data()
    {
        QTest::addColumn<bool>("idle");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("row");
        QTest::newRow("a few at the end, texts kept") << true << 6 << -1;
        QTest::newRow("a few in the middle, texts kept") << true << 6 << 5;
        QTest::newRow("a few at the top, texts kept") << true << 7 << 0;
        QTest::newRow("a few in the middle, texts read by the search") << false << 6 << 5;
        QTest::newRow("many in the middle, texts kept") << true << 300 << 17;
        QTest::newRow("many at the end, texts read by the search") << false << 300 << -1;
    }

    void pastedWhileSearching()
    {
        QFETCH(bool, idle);
        QFETCH(int, count);
        QFETCH(int, row);
        open(120);
        ItemsDatabaseModel *items = manager->itemsModel;
        proxy->setItemsSearchFilter("Gast");
        if (idle)
            settle();
        QCOMPARE(proxy->rowCount(), 0);
        // a pasted service is named anew ("New TV service" and its id); every other one comes from the
        // provider "Gast ...", the rest from "Fremd ..."
        const auto paste = [&](int round) {
            QByteArray payload;
            QDataStream stream(&payload, QIODevice::WriteOnly);
            stream << QStringLiteral("<items>");
            for (int i = 0; i < count; ++i)
                stream << QStringLiteral("<tvService id=\"%1\"><name>N</name><provider>%2 %3</provider>"
                                         "<details><config type=\"cable\"/></details></tvService>")
                              .arg(QString::number(5000 + i), i % 2 ? "Fremd" : "Gast",
                                   QString::number(round * 1000 + i));
            stream << QStringLiteral("</items>");
            QMimeData data;
            data.setData(items->mimeType(), payload);
            const int before = items->rowCount();
            QVERIFY(items->dropMimeData(&data, Qt::CopyAction, row, 0, QModelIndex()));
            QCOMPARE(items->rowCount(), before + count);
        };
        for (int round = 1; round <= 2; ++round) {
            paste(round);
            QCOMPARE(proxy->rowCount(), round * ((count + 1) / 2));
            QCOMPARE(shownIds(), expectedIds("Gast"));
            for (const char *text : {"Fremd", "Gast 2", "Kultur", "New TV"}) {
                proxy->setItemsSearchFilter(text);
                QCOMPARE(shownIds(), expectedIds(text));
            }
            proxy->setItemsSearchFilter("Gast");
        }
    }

    // The service type column reads in the language of the moment: after a switch the search finds the
    // texts the table shows now, not those of the language before; and again after switching back.
    void searchFollowsLanguage_data()
    {
        QTest::addColumn<bool>("idle");
        QTest::addColumn<bool>("searching");
        QTest::newRow("texts kept while idle") << true << false;
        QTest::newRow("texts read by a search") << false << false;
        QTest::newRow("search on during the switch, texts kept") << true << true;
        QTest::newRow("search on during the switch, texts read by it") << false << true;
    }

    void searchFollowsLanguage()
    {
        QFETCH(bool, idle);
        QFETCH(bool, searching);
        open(330);
        proxy->setItemsSearchFilter("Cable");
        if (idle)
            settle();
        const QStringList cable = expectedIds("Cable");
        QVERIFY(cable.size() > 10);
        QCOMPARE(shownIds(), cable);
        if (!searching)
            proxy->setItemsSearchFilter(QString());

        german = std::make_unique<QTranslator>();
        QVERIFY(german->load(QStringLiteral(":/translations/Resources/MUI/de_DE.qm")));
        QVERIFY(QCoreApplication::installTranslator(german.get()));
        QCOMPARE(manager->itemsModel->index(1, 7).data().toString(), QStringLiteral("Kabel"));
        if (searching)
            QCOMPARE(shownIds(), QStringList()); // "Cable" stands nowhere now
        if (idle)
            settle();
        proxy->setItemsSearchFilter("Kabel");
        QCOMPARE(shownIds(), cable);
        QCOMPARE(shownIds(), expectedIds("Kabel"));
        proxy->setItemsSearchFilter("Cable");
        QCOMPARE(shownIds(), QStringList());

        // back to English
        QVERIFY(QCoreApplication::removeTranslator(german.get()));
        german.reset();
        QCOMPARE(manager->itemsModel->index(1, 7).data().toString(), QStringLiteral("Cable"));
        QCOMPARE(shownIds(), cable);
        proxy->setItemsSearchFilter("Kabel");
        QCOMPARE(shownIds(), QStringList());
        proxy->setItemsSearchFilter("Satellite");
        QCOMPARE(shownIds(), expectedIds("Satellite"));
    }

    // A table sorted by service type and filtered by a search is sorted again in the new language when
    // the language changes ("Externe Quelle" before "Kabel", where "Cable" came before "External source").
    void sortFollowsLanguage()
    {
        open(330);
        proxy->sort(7, Qt::AscendingOrder);
        proxy->setItemsSearchFilter("1");
        settle();
        const auto sortedTypes = [&] {
            QStringList types;
            for (int row = 0; row < proxy->rowCount(); ++row)
                types << proxy->index(row, 7).data().toString();
            for (int i = 1; i < types.size(); ++i) {
                if (naturalCompare(types.at(i - 1), types.at(i)) > 0)
                    return QStringList{types.at(i - 1), types.at(i)};
            }
            return QStringList();
        };
        QCOMPARE(sortedTypes(), QStringList());
        german = std::make_unique<QTranslator>();
        QVERIFY(german->load(QStringLiteral(":/translations/Resources/MUI/de_DE.qm")));
        QVERIFY(QCoreApplication::installTranslator(german.get()));
        QCOMPARE(sortedTypes(), QStringList());
        QCOMPARE(shownIds(), expectedIds("1"));
        QVERIFY(QCoreApplication::removeTranslator(german.get()));
        german.reset();
        QCOMPARE(sortedTypes(), QStringList());
    }

    // Keys typed before the rows' texts are read: the table shows the rows of the text before until the
    // reading ends (never a mix), then exactly those of the last text typed; whoever needs the rows shown
    // at once gets them applied. Then the same once the texts are kept.
    void keysBeforeTheTextsAreRead_data()
    {
        QTest::addColumn<bool>("waitForIt");
        QTest::newRow("applied while idle") << true;
        QTest::newRow("applied when the rows shown are asked for") << false;
    }

    void keysBeforeTheTextsAreRead()
    {
        QFETCH(bool, waitForIt);
        open(6000);
        QStringList before = shownIds();
        QCOMPARE(before.size(), 6000);
        // typed and taken back before it was applied: nothing waits
        proxy->setItemsSearchFilter("Sport");
        proxy->setItemsSearchFilter(QString());
        QVERIFY(!proxy->isSearchPending());
        QCOMPARE(proxy->rowCount(), 6000);
        bool waited = false;
        for (const QString &text : {"K", "Ku", "Kul", "Kultur 1"}) {
            proxy->setItemsSearchFilter(text);
            const QStringList shown = shownIds();
            if (proxy->isSearchPending()) {
                waited = true;
                QCOMPARE(shown, before);
            } else {
                QCOMPARE(shown, expectedIds(text));
                before = shown;
            }
        }
        // an edit while waiting counts as well
        QVERIFY(manager->itemsModel->setData(manager->itemsModel->index(2, 2), QStringLiteral("Kultur 1 neu"),
                                             Qt::EditRole));
        if (waitForIt) {
            QTRY_VERIFY(!proxy->isSearchPending());
        } else {
            QList<int> ids = proxy->visibleIds();
            QVERIFY(!proxy->isSearchPending());
            std::sort(ids.begin(), ids.end());
            QStringList idTexts;
            for (int id : ids)
                idTexts << QString::number(id);
            std::sort(idTexts.begin(), idTexts.end());
            QCOMPARE(idTexts, expectedIds("Kultur 1"));
        }
        QCOMPARE(shownIds(), expectedIds("Kultur 1"));
        QVERIFY(shownIds().contains(manager->itemsModel->index(2, 8).data().toString()));
        // 6,000 rows take many times what a key may spend reading, in any build: the first key left
        // rows unread
        QVERIFY2(waited, "the first key read every row at once");
        // the second search, with the texts kept: at once
        settle();
        proxy->setItemsSearchFilter("Sport");
        QVERIFY(!proxy->isSearchPending());
        QCOMPARE(shownIds(), expectedIds("Sport"));
        proxy->setItemsSearchFilter(QString());
        QCOMPARE(proxy->rowCount(), 6000);
    }

    // Rows pasted at the end in steps, as a large paste into a list comes: the texts read before stay read,
    // only the new rows' cells are read, and the search finds what it should among them.
    void pasteAtTheEndInStepsReadsOnlyTheNewRows()
    {
        open(400);
        ItemsDatabaseModel *items = manager->itemsModel;
        const int columns = items->columnCount();
        proxy->setItemsSearchFilter("Gast");
        settle();
        std::unique_ptr<QMimeData> data(items->mimeData([&] {
            QModelIndexList rows;
            for (int row = 0; row < 300; ++row)
                rows << items->index(row, 0);
            return rows;
        }()));
        const int before = counting->reads;
        for (int step = 0; step < 3; ++step) {
            QVERIFY(items->dropMimeData(data.get(), Qt::CopyAction, -1, 0, QModelIndex()));
            QCoreApplication::processEvents();
        }
        QCOMPARE(items->rowCount(), 400 + 3 * 300);
        QTRY_VERIFY(counting->reads - before >= 3 * 300 * columns);
        QCoreApplication::processEvents();
        // every new cell once, with room for what the sort and the filter read of each row; reading every
        // row again at each step would be (700 + 1000 + 1300) rows' worth
        QVERIFY2(counting->reads - before < 3 * 300 * columns + 3 * items->rowCount(),
                 qPrintable(QString::number(counting->reads - before)));
        QVERIFY(items->setData(items->index(1200, 2), QStringLiteral("Gastsender"), Qt::EditRole));
        QCOMPARE(shownIds(), expectedIds("Gast"));
        QCOMPARE(proxy->rowCount(), 1);
    }

    // a text pasted with the rows it should find, many at once
    void pastedRows()
    {
        open(40);
        proxy->setItemsSearchFilter("Gast");
        settle();
        QCOMPARE(proxy->rowCount(), 0);
        ItemsDatabaseModel *items = manager->itemsModel;
        const QModelIndexList all = [&] {
            QModelIndexList rows;
            for (int row = 0; row < items->rowCount(); ++row)
                rows << items->index(row, 0);
            return rows;
        }();
        std::unique_ptr<QMimeData> data(items->mimeData(all));
        for (int round = 0; round < 8; ++round)
            QVERIFY(items->dropMimeData(data.get(), Qt::CopyAction, -1, 0, QModelIndex()));
        QCOMPARE(items->rowCount(), 40 * 9);
        QVERIFY(items->setData(items->index(300, 2), QStringLiteral("Gastsender"), Qt::EditRole));
        QCOMPARE(shownIds(), expectedIds("Gast"));
        QCOMPARE(proxy->rowCount(), 1);
    }
};

OMBRELAY_TEST_MAIN(TestSearchMatch)
#include "tst_searchmatch.moc"
