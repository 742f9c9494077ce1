#include "testmain.h"

#include "device/core/zbdeviceinfo.h"
#include "devices/zbdeviceitemmodel.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QIcon>

// The receiver tree, always watched by QAbstractItemModelTester.
class TestZBDeviceItemModel : public QObject
{
    Q_OBJECT
    std::unique_ptr<ZBDeviceItemModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;
    const QColor grey{124, 124, 124};

    // A receiver row with its module rows, as the window adds a new receiver.
    void add(quint32 id, const QString &name, bool usb = false, bool tv = true, bool radio = true, bool links = true)
    {
        ZBDeviceInfo info(name, QString(), usb);
        info.setId(id);
        info.setEnableTvModule(tv);
        info.setEnableRadioModule(radio);
        info.setEnableLinksModule(links);
        info.ensureDefaults();
        model->addDevice(&info);
        for (int type : info.modules().mid(1))
            model->addModuleNode(id, type);
    }
    QStringList texts(const QModelIndex &parent = {}) const
    {
        QStringList result;
        for (int r = 0; r < model->rowCount(parent); ++r)
            result << model->index(r, 0, parent).data().toString();
        return result;
    }
    static QImage image(const QVariant &icon) { return icon.value<QIcon>().pixmap(16).toImage(); }

private slots:
    void init()
    {
        model = std::make_unique<ZBDeviceItemModel>();
        tester = std::make_unique<QAbstractItemModelTester>(model.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    void cleanup()
    {
        tester.reset();
        model.reset();
    }

    // "No devices found" stands while no receiver is listed, and cannot be selected.
    void placeholderAndRows()
    {
        model->rebuild(nullptr);
        QCOMPARE(model->flags(model->index(0, 0)), Qt::NoItemFlags);
        add(1, QStringLiteral("A"));
        add(2, QStringLiteral("B"));
        ZBDeviceInfo again(QStringLiteral("again"));
        again.setId(2);
        model->addDevice(&again);
        model->addDevice(nullptr);
        QCOMPARE(texts(), (QStringList{"A", "B"}));
        const QModelIndex a = model->index(0, 0);
        QCOMPARE(model->flags(a), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        QCOMPARE(texts(a), (QStringList{"TV Lists", "Radio Lists", "Link Lists", "Media Explorer"}));
        QCOMPARE(model->deviceIdAt(model->index(0, 0, a)), 1u);
        model->setDeviceName(1, QStringLiteral("New share"));
        QCOMPARE(a.data().toString(), QStringLiteral("New share"));
        QVERIFY(!model->removeRows(0, 1));
        QVERIFY(!model->removeRows(1, 5, a));
        QVERIFY(model->removeRows(1, 2, a));
        QCOMPARE(texts(a), (QStringList{"TV Lists", "Media Explorer"}));
        model->removeDevice(1);
        model->removeDevice(7);
        QCOMPARE(model->deviceIds(), QList<quint32>{2});
        model->removeDevice(2);
        QCOMPARE(texts(), QStringList{"No devices found"});
    }

    // The state shows in the text and the icons of a network receiver (never of a USB one) and in the colour.
    void states_data()
    {
        QTest::addColumn<bool>("usb");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("icons"); // the receiver's, then its modules'
        const QStringList grey{":/icons/tvGrayedout", ":/icons/radioGrayedout", ":/icons/globeGrayedout",
                               ":/icons/folderGrayedout"};
        const QStringList live{":/icons/largeTV", ":/icons/radio", ":/icons/globe", ":/icons/folder"};
        QTest::newRow("disconnected") << false << 0 << "R" << QStringList{":/icons/disconnectedDevice"} + grey;
        QTest::newRow("connecting") << false << 1 << "R (connecting)" << QStringList{":/icons/connectingDevice"} + grey;
        QTest::newRow("connected") << false << 2 << "R" << QStringList{":/icons/connectedDevice"} + live;
        QTest::newRow("usb") << true << 1 << "R" << QStringList{":/icons/usbManagedDevice"} + live;
    }
    void states()
    {
        QFETCH(bool, usb);
        QFETCH(int, state);
        QFETCH(QString, text);
        QFETCH(QStringList, icons);
        add(1, QStringLiteral("R"), usb);
        model->updateDeviceState(1, 2);
        model->updateDeviceState(1, state);
        const QModelIndex row = model->index(0, 0);
        QCOMPARE(row.data().toString(), text);
        for (int i = 0; i < icons.size(); ++i) {
            const QModelIndex index = i ? model->index(i - 1, 0, row) : row;
            QCOMPARE(image(index.data(Qt::DecorationRole)), QIcon(icons.at(i)).pixmap(16).toImage());
            QCOMPARE(index.data(Qt::ForegroundRole).value<QColor>(), state != 2 ? grey : QColor());
        }
    }

    void moduleRowsAreFoundByType_data()
    {
        QTest::addColumn<bool>("tv");
        QTest::addColumn<bool>("radio");
        QTest::addColumn<bool>("links");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("row"); // -1: the receiver row; -2: none
        QTest::newRow("all, media explorer") << true << true << true << 4 << 3;
        QTest::newRow("only media explorer") << false << false << false << 4 << 0;
        QTest::newRow("radio and links, links") << false << true << true << 3 << 1;
        QTest::newRow("radio only, tv") << false << true << false << 1 << -2;
        QTest::newRow("start page") << true << true << true << 5 << -1;
        QTest::newRow("properties") << true << true << true << 8 << -1;
    }
    void moduleRowsAreFoundByType()
    {
        QFETCH(bool, tv);
        QFETCH(bool, radio);
        QFETCH(bool, links);
        QFETCH(int, type);
        QFETCH(int, row);
        add(5, QStringLiteral("R"), false, tv, radio, links);
        const QModelIndex device = model->index(0, 0);
        const QModelIndex expected = row == -2 ? QModelIndex() : row == -1 ? device : model->index(row, 0, device);
        QCOMPARE(model->indexFor(5, type), expected);
        if (row >= 0)
            QCOMPARE(model->moduleTypeAt(expected), type);
        QVERIFY(!model->indexFor(99, 5).isValid());
    }

    // A page that asks for attention is marked until shown; a mark never moves to another row.
    void marks()
    {
        add(1, QStringLiteral("A"));
        add(2, QStringLiteral("B"));
        model->updateDeviceState(1, 2);
        const QModelIndex tv = model->indexFor(1, 1);
        model->markItem(1, 1);
        model->markItem(42, 1);
        QVERIFY(model->isMarked(tv));
        QCOMPARE(tv.data(Qt::ForegroundRole).value<QColor>(), QColor(170, 0, 0));
        QCOMPARE(image(tv.data(Qt::DecorationRole)), QIcon(":/icons/errorIcon").pixmap(16).toImage());
        model->unmarkItem(tv);
        QVERIFY(!model->isMarked(tv));
        model->markItem(1, 1);
        model->removeDevice(1);
        QVERIFY(!model->isMarked(model->indexFor(2, 1)));
        add(1, QStringLiteral("A again"));
        QVERIFY(!model->isMarked(model->indexFor(1, 1)));
    }
};

OMBRELAY_TEST_MAIN(TestZBDeviceItemModel)
#include "tst_zbdeviceitemmodel.moc"
