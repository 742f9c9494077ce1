#include "testmain.h"

#include "devices/deviceselectdialog.h"
#include "devices/zbdevicelistmodel.h"
#include "ui_deviceselectdialog.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

// The check list of receivers and the picker built on it, driven as a user would.
class TestDeviceLists : public QObject
{
    Q_OBJECT
private:
    static ZBDeviceInfo device(const QString &name, const QString &share, const QString &given, const QString &ip)
    {
        ZBDeviceInfo info(name);
        info.setShareName(share);
        info.setGivenName(given);
        info.setIp(ip);
        return info;
    }

private slots:
    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("share");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("shown");
        QTest::newRow("share differs") << "N"
                                       << "S"
                                       << ""
                                       << "S (N)";
        QTest::newRow("share same") << "N"
                                    << "N"
                                    << ""
                                    << "N";
        QTest::newRow("no share") << "N"
                                  << ""
                                  << ""
                                  << "N";
        QTest::newRow("given wins") << "N"
                                    << "S"
                                    << "G"
                                    << "G";
    }
    void names()
    {
        QFETCH(QString, name);
        QFETCH(QString, share);
        QFETCH(QString, given);
        QFETCH(QString, shown);
        ZBDeviceListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.addDevice(device(name, share, given, QStringLiteral("127.0.0.5")), true);
        QCOMPARE(model.index(0, 0).data().toString(), shown);
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("127.0.0.5"));
    }

    void checksAndChanges()
    {
        ZBDeviceListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy checkChanged(&model, &ZBDeviceListModel::itemCheckStateChanged);
        QVERIFY(!model.hasChecked());
        for (const QString &name : {"A", "B", "C"})
            model.addDevice(device(name, "", "", "127.0.0.1"), false);
        QCOMPARE(inserted.size(), 3);

        // The given state is set, so a repeated "checked" leaves the row checked.
        for (int i = 0; i < 2; ++i)
            QVERIFY(model.setData(model.index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(model.index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(checkChanged.size(), 1);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(model.devices(true).size(), 1);
        QCOMPARE(model.devices(true).first().name(), QStringLiteral("B"));

        model.updateCheckState();
        QVERIFY(!model.hasChecked());
        model.updateCheckState();
        QCOMPARE(model.devices(true).size(), 3);
        QCOMPARE(changed.size(), 3);

        QVERIFY(model.setData(model.index(2, 0), QStringLiteral("Kitchen"), Qt::EditRole));
        QCOMPARE(changed.size(), 4);
        QCOMPARE(model.index(2, 0).data().toString(), QStringLiteral("Kitchen"));

        model.enableIPColumn(false);
        QCOMPARE(model.columnCount(), 1);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.clear();
        QCOMPARE(reset.size(), 1);
        QCOMPARE(model.rowCount(), 0);
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
        dialog.setDevices(
            {device("A", "", "", "127.0.0.1"), device("B", "", "", "127.0.0.2"), device("C", "", "", "127.0.0.3")});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QAbstractItemModel *model = ui->tvSelectedDevices->model();
        QCOMPARE(model->columnCount(), 1);
        QVERIFY(!ui->btnAccept->isEnabled());
        model->setData(model->index(2, 0), Qt::Checked, Qt::CheckStateRole);
        QVERIFY(ui->btnAccept->isEnabled());
        model->setData(model->index(2, 0), Qt::Unchecked, Qt::CheckStateRole);
        QVERIFY(!ui->btnAccept->isEnabled());
        model->setData(model->index(2, 0), Qt::Checked, Qt::CheckStateRole);
        model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole);
        if (escape)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            QTest::mousePress(ui->btnAccept, Qt::LeftButton);
        QCOMPARE(dialog.result(), escape ? int(QDialog::Rejected) : int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QStringList names;
        for (const ZBDeviceInfo &info : dialog.selectedDevices())
            names << info.name();
        QCOMPARE(names, QStringList({"A", "C"}));
        if (!escape)
            QCOMPARE(ui->lblCaption->text(), QStringLiteral("Opening file..."));
    }
};

OMBRELAY_TEST_MAIN(TestDeviceLists)
#include "tst_devicelists.moc"
