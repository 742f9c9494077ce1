// Rebuilding the column filter tree over a list of many entries: the list pages rebuild it each time
// the filter pop-up opens, so it must grow linearly with the number of distinct values.

#include "testmain.h"

#include "document/agregatemodel.h"
#include "document/servicesfixture.h"
#include "widgets/filtermenumodel.h"

#include <QElapsedTimer>
#include <limits>

class BenchFilterMenu : public QObject
{
    Q_OBJECT

    struct Setup
    {
        explicit Setup(int rows)
            : fixture(services(rows))
            , values(&fixture.model, 2, QString(), nullptr)
        {
            // Every other provider accepted, plus values that no longer occur.
            QStringList accepted;
            for (int i = 0; i < rows; i += 2)
                accepted << QStringLiteral("Provider %1").arg(i);
            for (int i = 0; i < 100; ++i)
                accepted << QStringLiteral("Gone %1").arg(i);
            filters << ColumnFilter(2, &values, false, true, accepted) << ColumnFilter(1, &values, false, false, {});
        }
        static QString services(int rows)
        {
            QString text;
            for (int i = 0; i < rows; ++i)
                text += ServicesFixture::service(i, QStringLiteral("Channel %1").arg(i),
                                                 QStringLiteral("Provider %1").arg(i));
            return text;
        }
        ServicesFixture fixture;
        AgregateModel values;
        QList<ColumnFilter> filters;
    };

    // One rebuild in microseconds; the accepted lists are restored first.
    static qint64 timedRebuild(Setup &setup, FilterMenuModel &model, const QList<ColumnFilter> &original)
    {
        setup.filters = original;
        QElapsedTimer timer;
        timer.start();
        model.rebuild(true);
        return timer.nsecsElapsed() / 1000;
    }
    // Reading every offered value once, the part the values model contributes.
    static qint64 timedRead(Setup &setup)
    {
        QElapsedTimer timer;
        timer.start();
        qsizetype total = 0;
        for (int row = 0; row < setup.values.rowCount(); ++row) {
            const QModelIndex cell = setup.values.index(row, 0);
            total += setup.values.data(cell, Qt::DisplayRole).toString().size() +
                     setup.values.data(cell, Qt::EditRole).toString().size();
        }
        Q_ASSERT(total > 0);
        return timer.nsecsElapsed() / 1000;
    }

private slots:
    void rebuild_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("10000") << 10000;
        QTest::newRow("20000") << 20000;
    }
    void rebuild()
    {
        QFETCH(int, rows);
        Setup setup(rows);
        QCOMPARE(setup.values.rowCount(), rows);
        FilterMenuModel model(&setup.fixture.model, &setup.filters);
        const QList<ColumnFilter> original = setup.filters;
        QBENCHMARK
        {
            setup.filters = original;
            model.rebuild(true);
        }
        QCOMPARE(model.rowCount(model.index(0, 0)), rows + 1);
        QCOMPARE(setup.filters.at(0).checkedValues.size(), rows / 2);
    }

    void growth()
    {
        Setup small(10000);
        Setup large(20000);
        FilterMenuModel smallModel(&small.fixture.model, &small.filters);
        FilterMenuModel largeModel(&large.fixture.model, &large.filters);
        const QList<ColumnFilter> smallFilters = small.filters;
        const QList<ColumnFilter> largeFilters = large.filters;
        // The machine is shared: the two sizes take turns, so both see the same load, and the
        // fastest run of each is the one least disturbed.
        qint64 t10 = std::numeric_limits<qint64>::max();
        qint64 t20 = t10;
        qint64 r10 = t10;
        qint64 r20 = t10;
        for (int run = 0; run < 25; ++run) {
            t10 = qMin(t10, timedRebuild(small, smallModel, smallFilters));
            t20 = qMin(t20, timedRebuild(large, largeModel, largeFilters));
            r10 = qMin(r10, timedRead(small));
            r20 = qMin(r20, timedRead(large));
        }
        const double ratio = double(t20) / double(qMax<qint64>(1, t10));
        qInfo("filter menu rebuild: 10000 rows %lld us, 20000 rows %lld us, ratio %.2f", t10, t20, ratio);
        qInfo("of which reading the values: 10000 rows %lld us, 20000 rows %lld us", r10, r20);
        QVERIFY2(ratio <= 2.5, qPrintable(QStringLiteral("ratio %1").arg(ratio)));
    }
};

OMBRELAY_TEST_MAIN(BenchFilterMenu)
#include "bench_filtermenu.moc"
