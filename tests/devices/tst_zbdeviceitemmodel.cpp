#include "testmain.h"

#include "modules/ombrelaymodule.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/zbdeviceitemmodel.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QIcon>
#include <QSignalSpy>

// The receiver tree, always watched by QAbstractItemModelTester.
class TestZBDeviceItemModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<ZBDeviceItemModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;

    static ZBDeviceInfo receiver(quint32 id, const QString &name, bool usb = false, bool tv = true, bool radio = true,
                                 bool links = true, bool media = true)
    {
        ZBDeviceInfo info(name, QString(), usb);
        info.setId(id);
        info.setEnableTvModule(tv);
        info.setEnableRadioModule(radio);
        info.setEnableLinksModule(links);
        info.setEnableMediaExplorerModule(media);
        info.ensureDefaults();
        return info;
    }

    // A receiver row with its module rows, as the window adds a new receiver.
    void addWithModules(const ZBDeviceInfo &info)
    {
        model->addDevice(&info);
        const QList<int> modules = info.modules();
        for (qsizetype i = 1; i < modules.size(); ++i)
            model->addModuleNode(info.id(), modules.at(i));
    }

    QStringList topTexts() const
    {
        QStringList texts;
        for (int r = 0; r < model->rowCount(); ++r)
            texts << model->index(r, 0).data().toString();
        return texts;
    }

    QStringList childTexts(int row) const
    {
        QStringList texts;
        const QModelIndex parent = model->index(row, 0);
        for (int r = 0; r < model->rowCount(parent); ++r)
            texts << model->index(r, 0, parent).data().toString();
        return texts;
    }

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

    void emptyRebuildShowsThePlaceholder()
    {
        QCOMPARE(model->rowCount(), 0);
        model->rebuild(nullptr);
        QCOMPARE(model->rowCount(), 1);
        const QModelIndex row = model->index(0, 0);
        QCOMPARE(row.data().toString(), QStringLiteral("No devices found"));
        QVERIFY(!row.data(Qt::DecorationRole).isValid());
        QCOMPARE(model->flags(row), Qt::NoItemFlags);
        QVERIFY(model->isEmpty());
        QCOMPARE(model->deviceIdAt(row), 0u);
        QCOMPARE(model->moduleTypeAt(row), 5);
    }

    void realReceiverReplacesThePlaceholder()
    {
        model->rebuild(nullptr);
        addWithModules(receiver(1, QStringLiteral("Living room")));
        QCOMPARE(topTexts(), QStringList{"Living room"});
        QVERIFY(!model->isEmpty());
        QCOMPARE(model->flags(model->index(0, 0)), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        QCOMPARE(childTexts(0), (QStringList{"TV Lists", "Radio Lists", "Link Lists", "Media Explorer"}));
        const QModelIndex tv = model->index(0, 0, model->index(0, 0));
        QCOMPARE(model->parent(tv), model->index(0, 0));
        QCOMPARE(model->deviceIdAt(tv), 1u);
        QCOMPARE(model->moduleTypeAt(tv), 1);
    }

    void removingReceivers()
    {
        model->rebuild(nullptr);
        addWithModules(receiver(1, QStringLiteral("A")));
        addWithModules(receiver(2, QStringLiteral("B")));
        model->removeDevice(1);
        QCOMPARE(topTexts(), QStringList{"B"});
        QCOMPARE(model->deviceIds(), QList<quint32>{2});
        model->removeDevice(7); // unknown: rows stay
        QCOMPARE(topTexts(), QStringList{"B"});
        model->removeDevice(2);
        QCOMPARE(topTexts(), QStringList{"No devices found"});
        QVERIFY(model->isEmpty());
    }

    void connectionStates()
    {
        addWithModules(receiver(3, QStringLiteral("Kitchen")));
        addWithModules(receiver(4, QStringLiteral("Stick"), true));
        const QModelIndex net = model->index(0, 0);
        const QModelIndex usb = model->index(1, 0);
        QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);

        model->updateDeviceState(3, 1);
        QVERIFY(changed.count() >= 1);
        QCOMPARE(net.data().toString(), QStringLiteral("Kitchen (connecting)"));
        model->updateDeviceState(4, 1);
        QCOMPARE(usb.data().toString(), QStringLiteral("Stick"));

        model->updateDeviceState(3, 2);
        QCOMPARE(net.data().toString(), QStringLiteral("Kitchen"));
        QVERIFY(!net.data(Qt::ForegroundRole).isValid());
        const QModelIndex tv = model->index(0, 0, net);
        QVERIFY(!tv.data(Qt::ForegroundRole).isValid());

        model->updateDeviceState(3, 0);
        QCOMPARE(net.data(Qt::ForegroundRole).value<QColor>(), QColor(124, 124, 124));
        QCOMPARE(tv.data(Qt::ForegroundRole).value<QColor>(), QColor(124, 124, 124));
    }

    void icons_data()
    {
        QTest::addColumn<bool>("usb");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QStringList>("modules");
        const QStringList grey{":/icons/tvGrayedout", ":/icons/radioGrayedout", ":/icons/globeGrayedout",
                               ":/icons/folderGrayedout"};
        QTest::newRow("disconnected") << false << 0 << ":/icons/disconnectedDevice" << grey;
        const QStringList live{":/icons/largeTV", ":/icons/radio", ":/icons/globe", ":/icons/folder"};
        QTest::newRow("connecting") << false << 1 << ":/icons/connectingDevice" << grey;
        QTest::newRow("connected") << false << 2 << ":/icons/connectedDevice" << live;
        QTest::newRow("usb, any state") << true << 0 << ":/icons/usbManagedDevice" << live;
    }
    void icons()
    {
        QFETCH(bool, usb);
        QFETCH(int, state);
        QFETCH(QString, device);
        QFETCH(QStringList, modules);
        addWithModules(receiver(1, QStringLiteral("R"), usb));
        model->updateDeviceState(1, state);
        const QModelIndex row = model->index(0, 0);
        // QIcon keeps no path; compare what the model hands out with an icon of the expected file.
        QCOMPARE(row.data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage(), QIcon(device).pixmap(16).toImage());
        for (int i = 0; i < modules.size(); ++i) {
            const QModelIndex child = model->index(i, 0, row);
            QCOMPARE(child.data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage(),
                     QIcon(modules.at(i)).pixmap(16).toImage());
        }
    }

    void moduleRowsAreFoundByType_data()
    {
        QTest::addColumn<bool>("tv");
        QTest::addColumn<bool>("radio");
        QTest::addColumn<bool>("links");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("row"); // -1: the receiver row; -2: invalid
        QTest::newRow("all, media explorer") << true << true << true << 4 << 3;
        QTest::newRow("only media explorer") << false << false << false << 4 << 0;
        QTest::newRow("tv radio media") << true << true << false << 4 << 2;
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
        addWithModules(receiver(5, QStringLiteral("R"), false, tv, radio, links, true));
        const QModelIndex found = model->indexFor(5, type);
        if (row == -2) {
            QVERIFY(!found.isValid());
            return;
        }
        QVERIFY(found.isValid());
        if (row == -1) {
            QCOMPARE(found, model->index(0, 0));
        } else {
            QCOMPARE(found, model->index(row, 0, model->index(0, 0)));
            QCOMPARE(model->moduleTypeAt(found), type);
        }
        QVERIFY(!model->indexFor(99, 5).isValid());
    }

    void marks()
    {
        addWithModules(receiver(1, QStringLiteral("R")));
        const QModelIndex tv = model->indexFor(1, 1);
        model->markItem(1, 1);
        model->markItem(1, 1);
        QVERIFY(model->isMarked(tv));
        QCOMPARE(tv.data(Qt::ForegroundRole).value<QColor>(), QColor(170, 0, 0));
        QCOMPARE(tv.data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage(),
                 QIcon(":/icons/errorIcon").pixmap(16).toImage());
        model->unmarkItem(tv);
        QVERIFY(!model->isMarked(tv));
        QCOMPARE(tv.data(Qt::ForegroundRole).value<QColor>(), QColor(124, 124, 124));
        model->markItem(42, 1); // unknown receiver: nothing
        QVERIFY(!model->isMarked(model->indexFor(1, 1)));
    }

    void markNeverMovesToAnotherRow()
    {
        addWithModules(receiver(1, QStringLiteral("A")));
        addWithModules(receiver(2, QStringLiteral("B")));
        model->markItem(1, 1);
        model->removeDevice(1);
        // B now sits where A was; its TV row is not marked.
        QVERIFY(!model->isMarked(model->indexFor(2, 1)));
        addWithModules(receiver(1, QStringLiteral("A again")));
        QVERIFY(!model->isMarked(model->indexFor(1, 1)));
    }

    void namesAndRows()
    {
        addWithModules(receiver(1, QStringLiteral("Old")));
        model->setDeviceName(1, QStringLiteral("New share"));
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("New share"));
        QVERIFY(!model->removeRows(0, 1, QModelIndex()));
        QCOMPARE(model->rowCount(), 1);
        QVERIFY(model->removeRows(1, 2, model->index(0, 0)));
        QCOMPARE(childTexts(0), (QStringList{"TV Lists", "Media Explorer"}));
        QVERIFY(!model->removeRows(1, 5, model->index(0, 0)));
        QCOMPARE(model->firstIndex(), model->index(0, 0));
        model->addDevice(nullptr);
        const ZBDeviceInfo again = receiver(1, QStringLiteral("dup"));
        model->addDevice(&again);
        QCOMPARE(model->rowCount(), 1);
    }
};

OMBRELAY_TEST_MAIN(TestZBDeviceItemModel)
#include "tst_zbdeviceitemmodel.moc"
