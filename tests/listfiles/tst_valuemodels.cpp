#include "testmain.h"

#include "document/agregatemutliplevaluesmodel.h"
#include "document/detailedsettingsproperty.h"
#include "document/displayeditdatamodel.h"
#include "document/linkitemproperty.h"
#include "document/mappeditemproperty.h"
#include "document/parentalcontrolitemproperty.h"
#include "document/parentalcontrolmodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStandardItemModel>

namespace {
const Qt::ItemFlags readOnly(Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled);

DocItem entry(QDomDocument &document, const QString &xml)
{
    document.setContent(xml);
    return DocItem(document.documentElement());
}

QStringList rows(QAbstractItemModel *model, int role = Qt::DisplayRole)
{
    QStringList result;
    for (int row = 0; row < model->rowCount(); ++row)
        result << model->data(model->index(row, 0), role).toString();
    return result;
}
} // namespace

class TestValueModels : public QObject
{
    Q_OBJECT
private slots:
    void multipleValues()
    {
        QStandardItemModel source(0, 2);
        for (const char *cell : {"Pop; Rock", "rock;Pop", "", " ; Jazz ", "R&B"})
            source.appendRow({new QStandardItem(QStringLiteral("other")), new QStandardItem(QString::fromUtf8(cell))});
        AgregateMutlipleValuesModel model(&source, 1, nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(rows(&model), (QStringList{"Jazz", "Pop", "R&B", "Rock", "rock"}));
        QCOMPARE(rows(&model, Qt::EditRole), rows(&model));
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        source.item(0, 0)->setText(QStringLiteral("changed"));
        QCOMPARE(resets.count(), 0);
        source.item(0, 1)->setText(QStringLiteral("Blues"));
        QCOMPARE(resets.count(), 1);
        QCOMPARE(rows(&model).first(), QStringLiteral("Blues"));
        source.sort(1);
        QCOMPARE(resets.count(), 2);

        // Detached, the values stay as they were until attached again.
        model.detachSource();
        source.item(2, 1)->setText(QStringLiteral("Ambient"));
        QVERIFY(!rows(&model).contains(QStringLiteral("Ambient")));
        model.attachSource(false);
        model.attachSource(true);
        QCOMPARE(resets.count(), 3);
        QVERIFY(rows(&model).contains(QStringLiteral("Ambient")));
        source.item(2, 1)->setText(QStringLiteral("Ambient2"));
        QCOMPARE(resets.count(), 4); // attached once, however often asked
    }

    void missingColumn()
    {
        QStandardItemModel source(2, 1);
        AgregateMutlipleValuesModel model(&source, -1, nullptr);
        QCOMPARE(model.rowCount(), 0);
    }

    void parentalControlModel()
    {
        ParentalControlModel model(nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(rows(&model), (QStringList{"Child 1", "Child 2", "Child 3", "Child 4"}));
        QCOMPARE(rows(&model, Qt::EditRole), (QStringList{"1", "2", "3", "4"}));
        QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable);
    }

    void childrenLockTexts_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("tip");
        const auto row = [](const char *name, const QString &stored, const QString &shown, const QString &tip) {
            QTest::newRow(name) << stored << shown << tip;
        };
        row("two", "1;3", "Child 1; Child 3", "Child 1\nChild 3");
        row("empty", "", "", "");
        row("leading separator", ";2", "; Child 2", "\nChild 2");
        row("trailing separator", "2;", "Child 2", "Child 2");
    }
    void childrenLockTexts()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, tip);
        QDomDocument document;
        DocItem item =
            entry(document, QStringLiteral("<tvService><childrenLock>%1</childrenLock></tvService>").arg(stored));
        ParentalControlItemProperty column(QStringLiteral("Children lock"), QStringLiteral("Children lock"),
                                           QStringLiteral("childrenLock"), 4, readOnly, QString(), nullptr, 0);
        QCOMPARE(column.value(item, Qt::DisplayRole).toString(), shown);
        QCOMPARE(column.value(item, Qt::ToolTipRole).toString(), tip);
        QCOMPARE(column.value(item, Qt::EditRole).toString(), stored);
    }

    void childrenLockEditable_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<bool>("editable");
        QTest::newRow("true") << "<s><parentLock>true</parentLock></s>" << false;
        QTest::newRow("one") << "<s><parentLock>1</parentLock></s>" << false;
        QTest::newRow("false") << "<s><parentLock>False</parentLock></s>" << true;
        QTest::newRow("zero") << "<s><parentLock>0</parentLock></s>" << true;
        QTest::newRow("empty") << "<s><parentLock/></s>" << true;
        QTest::newRow("missing") << "<s/>" << true;
    }
    void childrenLockEditable()
    {
        QFETCH(QString, xml);
        QFETCH(bool, editable);
        QDomDocument document;
        DocItem item = entry(document, xml);
        ParentalControlItemProperty column(QStringLiteral("Children lock"), QStringLiteral("Children lock"),
                                           QStringLiteral("childrenLock"), 4, readOnly, QString(), nullptr, 0);
        QCOMPARE(bool(column.flags(item) & Qt::ItemIsEditable), editable);
        QVERIFY(column.flags(item) & Qt::ItemIsEnabled);
    }

    void serviceType_data()
    {
        QTest::addColumn<QString>("details");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, const QString &details, const QString &shown) {
            QTest::newRow(name) << details << shown;
        };
        row("cable", "<details><config type=\"cable\"/></details>", "Cable");
        row("external", "<details><config type=\"external\"/></details>", "External source");
        row("capital", "<details><config type=\"Satellite\"/></details>", "Unknown type");
        row("no type", "<details><config/></details>", "Unknown type");
        row("no details", "", "Unknown type");
    }
    void serviceType()
    {
        QFETCH(QString, details);
        QFETCH(QString, shown);
        QDomDocument document;
        DocItem item = entry(document, QStringLiteral("<tvService><name>x</name>%1</tvService>").arg(details));
        DetailedSettingsProperty column(QStringLiteral("Service type"), QStringLiteral("Service type"),
                                        QStringLiteral("<details"), 4, readOnly | Qt::ItemIsEditable,
                                        QStringLiteral("<config/>"), nullptr, 0);
        QCOMPARE(column.value(item, Qt::DisplayRole).toString(), shown);
        QVERIFY(!(column.flags(item) & Qt::ItemIsEditable));
        if (details.isEmpty())
            QCOMPARE(column.value(item, Qt::EditRole).toString(), QStringLiteral("<config/>"));
        else
            QVERIFY(column.value(item, Qt::EditRole).toString().contains(QStringLiteral("<config")));
    }

    void mappedType()
    {
        QDomDocument document;
        DocItem item = entry(document, QStringLiteral("<link><type>website</type></link>"));
        MappedItemProperty column(QStringLiteral("Type"), QStringLiteral("Type"), QStringLiteral("type"), 4,
                                  readOnly | Qt::ItemIsEditable, QString(), nullptr, 0);
        QCOMPARE(column.value(item, Qt::DisplayRole).toString(), QString());
        column.setMapping({{QStringLiteral("website"), QStringLiteral("Website")}});
        QCOMPARE(column.value(item, Qt::DisplayRole).toString(), QStringLiteral("Website"));
        QCOMPARE(column.value(item, Qt::ToolTipRole).toString(), QStringLiteral("Website"));
        QCOMPARE(column.value(item, Qt::EditRole).toString(), QStringLiteral("website"));
        item.setValue(QStringLiteral("type"), QStringLiteral("radio"), 2);
        QCOMPARE(column.value(item, Qt::DisplayRole).toString(), QString());
        QCOMPARE(column.value(item, Qt::EditRole).toString(), QStringLiteral("radio"));
    }

    void hiddenUrl_data()
    {
        QTest::addColumn<QString>("hide");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("one") << "hideURL=\"1\"" << true;
        QTest::newRow("true") << "hideURL=\"true\"" << true;
        QTest::newRow("zero") << "hideURL=\"0\"" << false;
        QTest::newRow("false") << "hideURL=\"FALSE\"" << false;
        QTest::newRow("missing") << "" << false;
    }
    void hiddenUrl()
    {
        QFETCH(QString, hide);
        QFETCH(bool, hidden);
        QDomDocument document;
        DocItem item = entry(document, QStringLiteral("<link %1><url>http://a.example</url></link>").arg(hide));
        LinkItemProperty column(QStringLiteral("Url"), QStringLiteral("Url"), QStringLiteral("url"), 4,
                                Qt::ItemIsSelectable | Qt::ItemIsDragEnabled, QString(), nullptr, 0);
        const QString shown = hidden ? QString() : QStringLiteral("http://a.example");
        QCOMPARE(column.value(item, Qt::DisplayRole).toString(), shown);
        QCOMPARE(column.value(item, Qt::EditRole).toString(), shown);
        QCOMPARE(column.value(item, Qt::ToolTipRole).toString(), shown);
        QCOMPARE(bool(column.flags(item) & Qt::ItemIsEditable), !hidden);
        QCOMPARE(bool(column.flags(item) & Qt::ItemIsEnabled), !hidden);
        QCOMPARE(column.setValue(item, QStringLiteral("http://b.example"), Qt::EditRole), !hidden);
        QCOMPARE(item.value(QStringLiteral("url")),
                 hidden ? QStringLiteral("http://a.example") : QStringLiteral("http://b.example"));
    }

    void displayEditPairs()
    {
        DisplayEditDataModel model(nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setValues(QStringLiteral("Website"), QStringLiteral("website"));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("Website"));
        QCOMPARE(model.data(model.index(0, 0), Qt::EditRole).toString(), QStringLiteral("website"));
        QCOMPARE(model.labelsByValue().value(QStringLiteral("website")), QStringLiteral("Website"));
        QCOMPARE(model.valuesByLabel().value(QStringLiteral("Website")), QStringLiteral("website"));
        QVERIFY(!(model.flags(model.index(0, 0)) & (Qt::ItemIsEditable | Qt::ItemIsDragEnabled)));
        QVERIFY(!model.setData(model.index(0, 0), QStringLiteral("x"), Qt::EditRole));

        model.setValues(QStringLiteral("Website"), QStringLiteral("web"));
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.valuesByLabel().value(QStringLiteral("Website")), QStringLiteral("web"));
        QCOMPARE(model.labelsByValue().size(), 2);
    }
};

OMBRELAY_TEST_MAIN(TestValueModels)
#include "tst_valuemodels.moc"
