// Times the list document core on generated TV lists of 10,000 and 20,000 services: parsing, reading
// every cell, sorting by name, filtering by a search text and looking every entry up by id. Each
// operation on the larger list may take at most 2.5 times as long as on the smaller one, and parsing
// at most 1.5 times a bare QDomDocument::setContent of the same text. Times are the thread's CPU
// time, so that other work on a shared machine does not skew the ratios.

#include "testmain.h"

#include "document/objectsortfilterproxymodel.h"
#include "document/servicesfixture.h"

#include <algorithm>
#include <ctime>
#include <functional>

namespace {

QString generatedServices(int count)
{
    static const char *const providers[] = {"ARD", "ZDF", "Sky", "Canal+", "BBC", "Polsat", "TVN", "RAI"};
    static const char *const genres[] = {"News", "Sport", "Film", "Kids", "Music", "Documentary"};
    static const char *const types[] = {"satellite", "cable", "terrestrial", "analog"};
    QString items;
    items.reserve(count * 420);
    for (int i = 0; i < count; ++i) {
        const QString provider = QString::fromLatin1(providers[(i * 7) % 8]);
        items += QStringLiteral("<tvService id=\"%1\" pos=\"%2\" epgMarked=\"%3\" stype=\"Satellite\">"
                                "<name>%4 %5 HD</name><provider>%4</provider><genres>%6;%7</genres>"
                                "<parentLock>%8</parentLock><childrenLock>%9</childrenLock>"
                                "<details><config type=\"%10\" frequency=\"%11\" symbolRate=\"27500\" "
                                "polarisation=\"H\"><satellite position=\"192\"/></config></details></tvService>")
                     .arg(QString::number(i), QString::number(i + 1), QString::number(i % 2), provider,
                          QString::number((i * 7919) % count), QString::fromLatin1(genres[i % 6]),
                          QString::fromLatin1(genres[(i / 6) % 6]), QString::number(i % 5 == 0), QString::number(i % 3),
                          QString::fromLatin1(types[i % 4]), QString::number(10700 + (i % 2000)));
    }
    return QStringLiteral("<?xml version='1.0' encoding='utf-8'?><TDocument><documentProperties/><items>%1</items>"
                          "<lists><list id='0'/><list id='1'/><list id='2'/><list id='3'/></lists></TDocument>")
        .arg(items);
}

void check(bool condition, const char *what)
{
    if (!condition)
        qFatal("benchmark check failed: %s", what);
}

// the median of five runs, in milliseconds
double timeOf(const std::function<void()> &setUp, const std::function<void()> &run)
{
    QList<double> runs;
    for (int i = 0; i < 5; ++i) {
        setUp();
        timespec begin{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &begin);
        run();
        timespec end{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
        runs << (end.tv_sec - begin.tv_sec) * 1e3 + (end.tv_nsec - begin.tv_nsec) / 1e6;
    }
    std::sort(runs.begin(), runs.end());
    return runs.at(2);
}

struct Figures
{
    double setContent = 0, parse = 0, cells = 0, sort = 0, filter = 0, lookup = 0, reverseLookup = 0;
};

Figures measure(int count)
{
    const QString text = generatedServices(count);
    Figures f;
    f.setContent = timeOf([] {},
                          [&] {
                              QDomDocument document;
                              check(document.setContent(text, false), "setContent");
                          });
    f.parse = timeOf([] {}, [&] { ListDocument document(text); });

    ListDocument document(text);
    DocItemsDataProvider provider(document.items, "tvService", true);
    ServicesModel model(&provider, "TV_item");
    check(model.rowCount() == count, "rows");
    f.cells = timeOf([] {},
                     [&] {
                         qsizetype total = 0;
                         for (int row = 0; row < model.rowCount(); ++row) {
                             for (int column = 0; column < model.columnCount(); ++column)
                                 total += model.data(model.index(row, column), Qt::DisplayRole).toString().size();
                         }
                         check(total > 0, "cells");
                     });

    std::unique_ptr<ObjectSortFilterProxyModel> proxy;
    f.sort = timeOf(
        [&] {
            proxy = std::make_unique<ObjectSortFilterProxyModel>();
            proxy->setSourceModel(&model);
        },
        [&] { proxy->sort(1, Qt::AscendingOrder); });
    check(proxy->rowCount() == count, "sorted rows");
    f.filter = timeOf(
        [&] {
            proxy = std::make_unique<ObjectSortFilterProxyModel>();
            proxy->setSourceModel(&model);
            proxy->sort(1, Qt::AscendingOrder);
        },
        [&] {
            // the whole search: a key may leave it waiting for the rows' texts
            proxy->setItemsSearchFilter("Sky 1");
            proxy->finishSearch();
        });
    check(proxy->rowCount() > 0 && proxy->rowCount() < count, "filtered rows");
    proxy.reset();

    QStringList ids;
    for (int row = 0; row < count; ++row)
        ids << QString::number(provider.itemAt(row).id().toInt());
    // The ids are copies side by side (the attribute texts lie spread over the whole tree, and reading
    // them would measure the memory, not the look-up). One pass is well under a millisecond: each round repeats it so
    // that both sizes do the same 2,000,000 look-ups, and the figure is the time of one pass.
    const int repeats = qMax(1, 2000000 / count);
    auto lookUpAll = [&] {
        for (int pass = 0; pass < repeats; ++pass) {
            for (const QString &id : std::as_const(ids))
                check(model.indexById(id, 1).isValid(), "lookup");
        }
    };
    f.lookup = timeOf([] {}, lookUpAll) / repeats;
    std::reverse(ids.begin(), ids.end());
    f.reverseLookup = timeOf([] {}, lookUpAll) / repeats;
    return f;
}

} // namespace

class BenchDocument : public QObject
{
    Q_OBJECT

private slots:
    void scaling()
    {
        // OMBRELAY_BENCH_SIZE doubles another size, to look at the trend beyond the two required ones
        const int base = qEnvironmentVariableIntValue("OMBRELAY_BENCH_SIZE");
        const int smallCount = base > 0 ? base : 10000;
        const Figures small = measure(smallCount);
        const Figures large = measure(2 * smallCount);
        struct Row
        {
            const char *name;
            double Figures::*field;
        };
        const Row rows[] = {{"QDomDocument::setContent", &Figures::setContent},
                            {"parse (ListDocument)", &Figures::parse},
                            {"read every cell", &Figures::cells},
                            {"sort by name", &Figures::sort},
                            {"filter by search text", &Figures::filter},
                            {"look every entry up by id", &Figures::lookup},
                            {"  the same in reverse order", &Figures::reverseLookup}};
        qInfo("%-28s %12d %12d %8s", "operation (ms)", smallCount, 2 * smallCount, "ratio");
        bool scales = true;
        for (const Row &row : rows) {
            const double ratio = large.*row.field / small.*row.field;
            qInfo("%-28s %12.2f %12.2f %8.2f", row.name, small.*row.field, large.*row.field, ratio);
            scales = scales && ratio <= 2.5;
        }
        const double parseSmall = small.parse / small.setContent;
        const double parseLarge = large.parse / large.setContent;
        qInfo("parse / setContent: %.2f (%d), %.2f (%d)", parseSmall, smallCount, parseLarge, 2 * smallCount);
        QVERIFY2(scales, "an operation grows faster than linear");
        QVERIFY2(parseSmall <= 1.5 && parseLarge <= 1.5, "parsing costs more than 1.5 times setContent");
    }
};

OMBRELAY_TEST_MAIN(BenchDocument)
#include "bench_document.moc"
