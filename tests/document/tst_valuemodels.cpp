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

QStringList rows(QAbstractItemModel *model, int role = Qt::DisplayRole)
{
    QStringList result;
    for (int row = 0; row < model->rowCount(); ++row)
        result << model->index(row, 0).data(role).toString();
    return result;
}

// One column of the given kind over one entry, and what it shows in the display, tool-tip and edit roles.
template<class Column> struct Cell
{
    Cell(const QString &xml, const QString &path, Qt::ItemFlags flags = readOnly, const QString &defaultValue = {})
        : column("C", "C", path, 4, flags, defaultValue, nullptr, 0)
    {
        document.setContent(xml);
        item = document.documentElement();
    }
    QString shown(int role = Qt::DisplayRole) { return column.value(item, role).toString(); }
    bool isEditable() { return column.flags(item) & Qt::ItemIsEditable; }
    QDomDocument document;
    DocItem item;
    Column column;
};
} // namespace

class TestValueModels : public QObject
{
    Q_OBJECT
private slots:
    void multipleValues()
    {
        QStandardItemModel source(0, 2);
        for (const char *cell : {"Pop; Rock", "rock;Pop", "", " ; Jazz ", "R&B"})
            source.appendRow({new QStandardItem("other"), new QStandardItem(cell)});
        AgregateMutlipleValuesModel model(&source, 1, nullptr);
        QAbstractItemModelTester tester(&model);
        // trimmed, sorted, once each, and plain text in every role
        QCOMPARE(rows(&model), (QStringList{"Jazz", "Pop", "R&B", "Rock", "rock"}));
        QCOMPARE(rows(&model, Qt::EditRole), rows(&model));
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        source.item(0, 0)->setText("changed");
        source.item(0, 1)->setText("Blues");
        source.sort(1);
        QCOMPARE(resets.count(), 2);
        QCOMPARE(rows(&model).first(), QStringLiteral("Blues"));
        // detached, the values stay until attached again, and attached once however often asked
        model.detachSource();
        source.item(2, 1)->setText("Ambient");
        QVERIFY(!rows(&model).contains("Ambient"));
        model.attachSource(false);
        model.attachSource(true);
        QVERIFY(rows(&model).contains("Ambient"));
        source.item(2, 1)->setText("Ambient2");
        QCOMPARE(resets.count(), 4);
        AgregateMutlipleValuesModel none(&source, -1, nullptr);
        QCOMPARE(none.rowCount(), 0);
    }

    void childrenLock_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<bool>("editable");
        const auto row = [](const char *tag, const char *xml, const char *shown, const char *tip, bool editable) {
            QTest::newRow(tag) << QString(xml) << QString(shown) << QString(tip) << editable;
        };
        row("two", "<s><childrenLock>1;3</childrenLock></s>", "Child 1; Child 3", "Child 1\nChild 3", true);
        row("empty", "<s><childrenLock/><parentLock>0</parentLock></s>", "", "", true);
        row("leading separator", "<s><childrenLock>;2</childrenLock></s>", "; Child 2", "\nChild 2", true);
        row("trailing separator", "<s><childrenLock>2;</childrenLock></s>", "Child 2", "Child 2", true);
        row("parent lock true", "<s><parentLock>true</parentLock></s>", "", "", false);
        row("parent lock 1", "<s><parentLock>1</parentLock></s>", "", "", false);
        row("parent lock False", "<s><parentLock>False</parentLock></s>", "", "", true);
        row("parent lock empty", "<s><parentLock/></s>", "", "", true);
    }
    void childrenLock()
    {
        QFETCH(QString, xml);
        QFETCH(QString, shown);
        QFETCH(QString, tip);
        QFETCH(bool, editable);
        Cell<ParentalControlItemProperty> cell(xml, "childrenLock");
        QCOMPARE(cell.shown(), shown);
        QCOMPARE(cell.shown(Qt::ToolTipRole), tip);
        QCOMPARE(cell.shown(Qt::EditRole), cell.item.value("childrenLock"));
        QCOMPARE(cell.isEditable(), editable);
        ParentalControlModel choices(nullptr);
        QAbstractItemModelTester tester(&choices);
        QCOMPARE(rows(&choices), (QStringList{"Child 1", "Child 2", "Child 3", "Child 4"}));
        QCOMPARE(rows(&choices, Qt::EditRole), (QStringList{"1", "2", "3", "4"}));
    }

    void serviceType_data()
    {
        QTest::addColumn<QString>("details");
        QTest::addColumn<QString>("shown");
        QTest::newRow("cable") << "<details><config type='cable'/></details>"
                               << "Cable";
        QTest::newRow("external") << "<details><config type='external'/></details>"
                                  << "External source";
        QTest::newRow("capital") << "<details><config type='Satellite'/></details>"
                                 << "Unknown type";
        QTest::newRow("no type") << "<details><config/></details>"
                                 << "Unknown type";
        QTest::newRow("no details") << ""
                                    << "Unknown type";
    }
    void serviceType()
    {
        QFETCH(QString, details);
        QFETCH(QString, shown);
        Cell<DetailedSettingsProperty> cell("<tvService><name>x</name>" + details + "</tvService>", "<details",
                                            readOnly | Qt::ItemIsEditable, "<config/>");
        QCOMPARE(cell.shown(), shown);
        QVERIFY(!cell.isEditable());
        QVERIFY(cell.shown(Qt::EditRole).contains("<config"));
    }

    void hiddenUrl_data()
    {
        QTest::addColumn<QString>("hide");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("one") << "hideURL='1'" << true;
        QTest::newRow("true") << "hideURL='true'" << true;
        QTest::newRow("zero") << "hideURL='0'" << false;
        QTest::newRow("false") << "hideURL='FALSE'" << false;
        QTest::newRow("missing") << "" << false;
    }
    void hiddenUrl()
    {
        QFETCH(QString, hide);
        QFETCH(bool, hidden);
        Cell<LinkItemProperty> cell("<link " + hide + "><url>http://a.example</url></link>", "url",
                                    Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
        const QString shown = hidden ? QString() : QStringLiteral("http://a.example");
        for (int role : {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole})
            QCOMPARE(cell.shown(role), shown);
        QCOMPARE(bool(cell.column.flags(cell.item) & (Qt::ItemIsEditable | Qt::ItemIsEnabled)), !hidden);
        QCOMPARE(cell.column.setValue(cell.item, "http://b.example", Qt::EditRole), !hidden);
        QCOMPARE(cell.item.value("url"),
                 hidden ? QStringLiteral("http://a.example") : QStringLiteral("http://b.example"));
    }

    void mappedValues()
    {
        Cell<MappedItemProperty> cell("<link><type>website</type></link>", "type", readOnly | Qt::ItemIsEditable);
        QCOMPARE(cell.shown(), QString());
        cell.column.setMapping({{"website", "Website"}});
        QCOMPARE(cell.shown(), QStringLiteral("Website"));
        QCOMPARE(cell.shown(Qt::EditRole), QStringLiteral("website"));
        cell.item.setValue("type", "radio", 2);
        QCOMPARE(cell.shown(), QString());
        QCOMPARE(cell.shown(Qt::EditRole), QStringLiteral("radio"));

        DisplayEditDataModel choices(nullptr);
        QAbstractItemModelTester tester(&choices);
        choices.setValues("Website", "website");
        choices.setValues("Radio", "radio");
        QCOMPARE(rows(&choices), (QStringList{"Website", "Radio"}));
        QCOMPARE(rows(&choices, Qt::EditRole), (QStringList{"website", "radio"}));
        QVERIFY(!choices.setData(choices.index(0, 0), "x", Qt::EditRole));
    }
};

OMBRELAY_TEST_MAIN(TestValueModels)
#include "tst_valuemodels.moc"
