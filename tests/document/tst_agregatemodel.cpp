#include "testmain.h"

#include "document/agregatedataprovider.h"
#include "document/agregatemodel.h"
#include "servicesfixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStandardItemModel>

class TestAgregateModel : public QObject
{
    Q_OBJECT

    static QStringList valuesOf(AgregateDataProvider &provider)
    {
        QStringList values;
        for (int row = 0; row < provider.count(); ++row)
            values << provider.elementAt(row).id() + ":" + provider.elementAt(row).value("value");
        return values;
    }

    static QStringList valuesOf(QAbstractItemModel &model)
    {
        QStringList values;
        for (int row = 0; row < model.rowCount(); ++row)
            values << model.index(row, 0).data().toString();
        return values;
    }

    static QString providers(const QStringList &texts)
    {
        QString items;
        for (int i = 0; i < texts.size(); ++i)
            items += ServicesFixture::service(i, "n" + QString::number(i), texts.at(i).toHtmlEscaped());
        return items;
    }

private slots:
    void providerValues_data()
    {
        QTest::addColumn<QString>("extra");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no extra") << QString() << QStringList({"B", "a", "b"});
        QTest::newRow("extra first") << "Unspecified" << QStringList({"Unspecified", "B", "a", "b"});
        QTest::newRow("extra present") << "a" << QStringList({"B", "a", "b"});
    }

    void providerValues()
    {
        QFETCH(QString, extra);
        QFETCH(QStringList, expected);
        QStandardItemModel source;
        for (const QString &text : {"  b", "a", "b", "B", ""})
            source.appendRow(new QStandardItem(text));
        AgregateDataProvider provider(&source, 0, extra);
        QStringList numbered;
        for (int i = 0; i < expected.size(); ++i)
            numbered << QString::number(i) + ":" + expected.at(i);
        QCOMPARE(valuesOf(provider), numbered);
        QVERIFY(provider.contains("x"));
        QVERIFY(provider.contains("2"));
        QVERIFY(!provider.contains(QString::number(expected.size())));
        QCOMPARE(provider.rowOfId("2"), 2);
        QCOMPARE(provider.nextId(), QString::number(expected.size()));
        QVERIFY(provider.elementAt(-1).isNull());
        const DocItem added = provider.insertNewItem(99);
        QCOMPARE(added.id(), QString::number(expected.size()));
        QCOMPARE(provider.count(), expected.size() + 1);
    }

    void modelFollowsSource()
    {
        ServicesFixture fixture(providers({" b ", "a", "b", ""}));
        AgregateModel model(&fixture.model, 2, QString(), nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(valuesOf(model), QStringList({"a", "b"}));
        QPersistentModelIndex b(model.index(1, 0));
        QVERIFY(fixture.model.setData(fixture.model.index(1, 2), "c", Qt::EditRole));
        QCOMPARE(valuesOf(model), QStringList({"b", "c"}));
        QCOMPARE(b.row(), 0); // the selection follows its value
        QVERIFY(fixture.model.setData(fixture.model.index(1, 1), "other column", Qt::EditRole));
        QCOMPARE(valuesOf(model), QStringList({"b", "c"}));
    }

    void extraValueModel()
    {
        ServicesFixture fixture(providers({" b ", "a", "b", ""}));
        AgregateModel model(&fixture.model, 2, "Unspecified", nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(valuesOf(model), QStringList({"Unspecified", "a", "b"}));
    }

    void plainText()
    {
        ServicesFixture fixture(providers({"R&B", "<Pop>"}));
        AgregateModel model(&fixture.model, 2, QString(), nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(valuesOf(model), QStringList({"<Pop>", "R&B"}));
        QCOMPARE(model.index(1, 0).data(Qt::EditRole).toString(), QString("R&B"));
    }

    void columnRanges_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("rebuilt");
        QTest::newRow("inside") << 2 << true;
        QTest::newRow("edge") << 3 << true;
        QTest::newRow("outside") << 5 << false;
    }

    void columnRanges()
    {
        QFETCH(int, column);
        QFETCH(bool, rebuilt);
        ServicesFixture fixture(providers({"x"}));
        AgregateModel model(&fixture.model, column, QString(), nullptr);
        QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
        emit fixture.model.dataChanged(fixture.model.index(0, 3), fixture.model.index(0, 1));
        QCOMPARE(layout.count(), rebuilt ? 1 : 0);
    }

    void tracking()
    {
        ServicesFixture fixture(providers({"a"}));
        AgregateModel model(&fixture.model, 2, QString(), nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
        model.setTracking(false);
        model.setTracking(false);
        QVERIFY(fixture.model.setData(fixture.model.index(0, 2), "z", Qt::EditRole));
        QCOMPARE(layout.count(), 1); // connected once
        model.stopTracking();
        QVERIFY(fixture.model.setData(fixture.model.index(0, 2), "y", Qt::EditRole));
        emit fixture.model.layoutChanged();
        QCOMPARE(valuesOf(model), QStringList({"z"}));
        model.setTracking(true);
        QCOMPARE(valuesOf(model), QStringList({"y"}));
        fixture.model.appendNewItem();
        emit fixture.model.layoutChanged();
        QCOMPARE(valuesOf(model), QStringList({"y"}));
        QVERIFY(fixture.model.setData(fixture.model.index(1, 2), "w", Qt::EditRole));
        QCOMPARE(valuesOf(model), QStringList({"w", "y"}));
    }
};

OMBRELAY_TEST_MAIN(TestAgregateModel)
#include "tst_agregatemodel.moc"
