#include "testmain.h"

#include "document/agregatemutliplevaluesmodel.h"
#include "document/detailedsettingsproperty.h"
#include "document/displayeditdatamodel.h"
#include "document/linkitemproperty.h"
#include "document/mappeditemproperty.h"
#include "document/parentalcontrolitemproperty.h"
#include "document/parentalcontrolmodel.h"
#include "servicesfixture.h"

#include <QAbstractItemModelTester>
#include <QIntValidator>
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

// The columns of the list tables: how each kind reads, shows and writes one entry's value.
class TestItemProperty : public QObject
{
    Q_OBJECT

    static inline QString reported;

private slots:
    void plainColumns()
    {
        Cell<ItemProperty> cell("<tvService empty=''><provider/><num>12ab</num></tvService>", "provider", readOnly,
                                "dflt");
        bool found = false;
        // an empty element reads the default; an empty attribute is a value of its own
        QCOMPARE(cell.column.value(cell.item, Qt::DisplayRole, &found).toString(), QString("dflt"));
        QVERIFY(found);
        ItemProperty attribute("E", "E", "@empty", 4, readOnly, "dflt", nullptr, 0);
        QCOMPARE(attribute.value(cell.item, Qt::DisplayRole).toString(), QString(""));
        ItemProperty missing("P", "P", "@pos", 4, readOnly, QString(), nullptr, 0);
        QCOMPARE(missing.value(cell.item, Qt::DisplayRole, &found), QVariant(QString("")));
        QVERIFY(!found);
        // numbers: text reads as 0 and is written as 0
        ItemProperty number("N", "N", "num", 2, readOnly, "", nullptr, 0);
        QCOMPARE(number.value(cell.item, Qt::DisplayRole), QVariant(0));
        QVERIFY(number.setValue(cell.item, "7", Qt::EditRole) && number.value(cell.item, Qt::DisplayRole) == 7);
        QVERIFY(number.setValue(cell.item, "abc", Qt::EditRole));
        QCOMPARE(cell.item.value("num"), QString("0"));
    }

    void booleans_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("true") << "true" << true;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("yes") << "yes" << true;
        QTest::newRow("FALSE") << "FALSE" << false;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("missing") << QString() << false;
    }
    void booleans()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        Cell<ItemProperty> cell(text.isNull() ? "<s/>" : "<s flag='" + text + "'/>", "@flag");
        ItemProperty flag("F", "F", "@flag", 8, readOnly, "false", nullptr, 0);
        QCOMPARE(flag.value(cell.item, Qt::DisplayRole), QVariant(expected));
        QVERIFY(flag.setValue(cell.item, !expected, Qt::EditRole));
        QCOMPARE(cell.item.value("@flag"), QString(expected ? "0" : "1"));
    }

    // A favourite list's ref shows and edits the entry it names through the items model.
    void references()
    {
        ServicesFixture fixture(ServicesFixture::service(4, "ARD", "X") + ServicesFixture::service(9, "ZDF", "Y"));
        Cell<ItemProperty> ref("<ref>9</ref>", "");
        ItemProperty name("Name", "Name", "", 69, readOnly, "", nullptr, 1);
        QVERIFY(!name.value(ref.item, Qt::DisplayRole).isValid());
        name.lookupModel = &fixture.model;
        QCOMPARE(name.value(ref.item, Qt::DisplayRole).toString(), QString("ZDF"));
        QVERIFY(name.setValue(ref.item, "ZDF neo", Qt::EditRole));
        QCOMPARE(fixture.names(), QStringList({"ARD", "ZDF neo"}));
        QCOMPARE(ref.item.value(""), QString("9"));
        ref.item.firstChild().setNodeValue("77");
        QVERIFY(!name.value(ref.item, Qt::DisplayRole).isValid() && !name.setValue(ref.item, "x", Qt::EditRole));
        name.lookupModel = nullptr;
        QVERIFY(name.setValue(ref.item, "4", Qt::EditRole));
        ItemProperty id("Id", "Id", "", 5, readOnly, "", &fixture.model, 2);
        QCOMPARE(id.value(ref.item, Qt::DisplayRole).toString(), QString("X"));
        QCOMPARE(id.value(ref.item, Qt::EditRole), QVariant(4));
    }

    void validation()
    {
        ItemProperty::setRejectionReporter([](QWidget *, const QString &text) { reported = text; });
        Cell<ItemProperty> cell("<s><num>1</num></s>", "num");
        QIntValidator validator(0, 99);
        cell.column.setValidator(&validator);
        int position = 0;
        QVERIFY(cell.column.validate("500", position) != QValidator::Acceptable);
        // the initial policy reports the rejected value and writes it all the same
        QVERIFY(cell.column.setValue(cell.item, "500", Qt::EditRole));
        QCOMPARE(reported, QString("Entered value is invalid!"));
        QCOMPARE(cell.item.value("num"), QString("500"));
        // refused and reported; then kept quietly
        reported.clear();
        cell.column.validationPolicy = 2 | 8;
        QVERIFY(!cell.column.setValue(cell.item, "700", Qt::EditRole));
        QCOMPARE(reported, QString("Entered value is invalid!"));
        cell.column.validationPolicy = 8 | 16;
        QVERIFY(cell.column.setValue(cell.item, "800", Qt::EditRole));
        QCOMPARE(cell.item.value("num"), QString("500"));
        reported.clear();
        QVERIFY(cell.column.setValue(cell.item, "42", Qt::EditRole));
        QVERIFY(cell.item.value("num") == "42" && reported.isEmpty());
    }

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
        // empty parts name no child and get no separator
        row("leading separator", "<s><childrenLock>;1;2</childrenLock></s>", "Child 1; Child 2", "Child 1\nChild 2",
            true);
        row("empty middle part", "<s><childrenLock>1;;2</childrenLock></s>", "Child 1; Child 2", "Child 1\nChild 2",
            true);
        row("only separators", "<s><childrenLock>;;</childrenLock></s>", "", "", true);
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

        DisplayEditDataModel choices(nullptr);
        QAbstractItemModelTester tester(&choices);
        choices.setValues("Website", "website");
        choices.setValues("Radio", "radio");
        QCOMPARE(rows(&choices), (QStringList{"Website", "Radio"}));
        QCOMPARE(rows(&choices, Qt::EditRole), (QStringList{"website", "radio"}));
        QVERIFY(!choices.setData(choices.index(0, 0), "x", Qt::EditRole));
    }
};

OMBRELAY_TEST_MAIN(TestItemProperty)
#include "tst_itemproperty.moc"
