#include "testmain.h"

#include "devices/devicemodule.h"
#include "devices/devicepages.h"
#include "devices/deviceselectdialog.h"
#include "devices/zbdevicelistmodel.h"
#include "modules/modulefactory.h"
#include "ui_deviceselectdialog.h"

#include <QAbstractItemModelTester>
#include <QCloseEvent>
#include <QSignalSpy>
#include <QTableView>

// The check list of receivers and the picker built on it, driven as a user would.
class TestDeviceLists : public QObject
{
    Q_OBJECT
private:
    static ZBDeviceInfo device(const QString &name, const QString &share = {}, const QString &given = {})
    {
        ZBDeviceInfo info(name);
        info.setShareName(share);
        info.setGivenName(given);
        info.setIp(QStringLiteral("127.0.0.5"));
        return info;
    }

private slots:
    void checksNamesAndChanges()
    {
        ZBDeviceListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy checkChanged(&model, &ZBDeviceListModel::itemCheckStateChanged);
        // Share name beside a different name; same share name; none; a given name wins.
        const QList<ZBDeviceInfo> rows = {device("N", "S"), device("B", "B"), device("C"), device("N", "S", "G")};
        for (const ZBDeviceInfo &info : rows)
            model.addDevice(info, false);
        QCOMPARE(inserted.size(), 4);
        QStringList shown;
        for (int row = 0; row < 4; ++row)
            shown << model.index(row, 0).data().toString();
        QCOMPARE(shown, QStringList({"S (N)", "B", "C", "G"}));
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("127.0.0.5"));

        // The given state is set, so a repeated "checked" leaves the row checked.
        for (int i = 0; i < 2; ++i)
            QVERIFY(model.setData(model.index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(model.index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(checkChanged.size(), 1);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(model.devices(true).first().name(), QStringLiteral("B"));
        model.updateCheckState();
        QVERIFY(!model.hasChecked());
        model.updateCheckState();
        QCOMPARE(model.devices(true).size(), 4);
        QCOMPARE(changed.size(), 3);

        QVERIFY(model.setData(model.index(2, 0), QStringLiteral("Kitchen"), Qt::EditRole));
        QCOMPARE(changed.size(), 4);
        QCOMPARE(model.index(2, 0).data().toString(), QStringLiteral("Kitchen"));
        model.enableIPColumn(false);
        QCOMPARE(model.columnCount(), 1);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.clear();
        QCOMPARE(reset.size(), 1);
    }

    // The start page shows what the options offer (all with none); properties always; a press asks.
    // The start page's slots, by the names the page is known by, each asking for its module.
    void startPageSlots_data()
    {
        QTest::addColumn<QByteArray>("slot");
        QTest::addColumn<int>("type");
        QTest::newRow("TV") << QByteArray("onBtnShowTvList") << 1;
        QTest::newRow("radio") << QByteArray("onBtnShowRadioList") << 2;
        QTest::newRow("links") << QByteArray("onBtnShowLinkList") << 3;
        QTest::newRow("media") << QByteArray("onBtnShowMediaExplorer") << 4;
        QTest::newRow("properties") << QByteArray("onBtnShowProperties") << 8;
    }
    void startPageSlots()
    {
        QFETCH(QByteArray, slot);
        QFETCH(int, type);
        DeviceModule page(nullptr);
        QVERIFY(page.metaObject()->indexOfSlot(slot + "()") >= 0);
        QSignalSpy requests(&page, &DeviceModule::showModuleRequest);
        QVERIFY(QMetaObject::invokeMethod(&page, slot.constData()));
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().first().toInt(), type);
    }

    void startPage_data()
    {
        QTest::addColumn<QVariantMap>("options");
        QTest::addColumn<QList<int>>("shown");
        QTest::newRow("no options") << QVariantMap() << QList<int>{1, 2, 3, 4, 8};
        QTest::newRow("TV, explorer") << QVariantMap{{"enableTvList", true}, {"enableMediaExplorer", true}}
                                      << QList<int>{1, 4, 8};
        QTest::newRow("nothing") << QVariantMap{{"enableTvList", false}} << QList<int>{8};
    }
    void startPage()
    {
        QFETCH(QVariantMap, options);
        QFETCH(QList<int>, shown);
        registerDevicePages();
        std::unique_ptr<OmbrelayModule> module(createModule(OmbrelayModule::TypeDevice, nullptr, options));
        auto *page = qobject_cast<DeviceModule *>(module.get());
        QVERIFY(page);
        QSignalSpy requests(page, &DeviceModule::showModuleRequest);
        QList<int> visible;
        for (QCommandLinkButton *button : {page->btnShowTvList, page->btnShowRadioList, page->btnShowLinkList,
                                           page->btnShowMediaExplorer, page->btnShowProperties}) {
            if (button->isHidden())
                continue;
            QTest::mousePress(button, Qt::LeftButton);
            visible << requests.last().first().toInt();
            QTest::mouseRelease(button, Qt::LeftButton);
        }
        QCOMPARE(visible, shown);
        QCloseEvent event;
        QCoreApplication::sendEvent(page, &event);
        QVERIFY(event.isAccepted());
    }

    void picker_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("OK") << false;
        QTest::newRow("Escape") << true;
    }
    void picker()
    {
        QFETCH(bool, escape);
        DeviceSelectDialog dialog;
        Ui::DeviceSelectDialog *ui = dialog.form();
        dialog.setDevices({device("A"), device("B"), device("C")});
        dialog.show();
        QAbstractItemModel *model = ui->tvSelectedDevices->model();
        QCOMPARE(model->columnCount(), 2); // the name and, beside it, the address (was the name alone)
        QVERIFY(!ui->btnAccept->isEnabled());
        for (const auto &[row, state] :
             {std::pair{2, Qt::Checked}, {2, Qt::Unchecked}, {2, Qt::Checked}, {0, Qt::Checked}}) {
            model->setData(model->index(row, 0), state, Qt::CheckStateRole);
            QCOMPARE(ui->btnAccept->isEnabled(), state == Qt::Checked);
        }
        if (escape)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            QTest::mousePress(ui->btnAccept, Qt::LeftButton);
        QCOMPARE(dialog.result(), escape ? int(QDialog::Rejected) : int(QDialog::Accepted));
        QStringList names;
        for (const ZBDeviceInfo &info : dialog.selectedDevices())
            names << info.name();
        QCOMPARE(names, QStringList({"A", "C"}));
        QCOMPARE(ui->lblCaption->text() == QStringLiteral("Opening file..."), !escape);
    }

    // Two receivers of one name are told apart by the address beside it, wide enough to be read whole in
    // the dialog's own font.
    void pickerTellsSameNamesApart()
    {
        DeviceSelectDialog dialog;
        Ui::DeviceSelectDialog *ui = dialog.form();
        ZBDeviceInfo first = device("Box", {}, "Kitchen");
        ZBDeviceInfo second = device("Box", {}, "Kitchen");
        second.setIp(QStringLiteral("127.0.0.16"));
        dialog.setDevices({first, second});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTableView *view = ui->tvSelectedDevices;
        QStringList rows;
        for (int row = 0; row < 2; ++row) {
            QStringList cells;
            for (int column = 0; column < view->model()->columnCount(); ++column) {
                const QString text = view->model()->index(row, column).data().toString();
                QVERIFY(!view->isColumnHidden(column));
                QVERIFY2(view->columnWidth(column) >= view->fontMetrics().horizontalAdvance(text), qPrintable(text));
                cells << text;
            }
            rows << cells.join(u'|');
        }
        QCOMPARE(rows, (QStringList{"Kitchen|127.0.0.5", "Kitchen|127.0.0.16"}));
        view->model()->setData(view->model()->index(1, 0), Qt::Checked, Qt::CheckStateRole);
        QTest::mousePress(ui->btnAccept, Qt::LeftButton);
        QCOMPARE(dialog.selectedDevices().size(), 1);
        QCOMPARE(dialog.selectedDevices().first().ip().toString(), QStringLiteral("127.0.0.16"));
    }
};

OMBRELAY_TEST_MAIN(TestDeviceLists)
#include "tst_devicelists.moc"
