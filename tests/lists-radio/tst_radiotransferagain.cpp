#include "receiveremulator.h"
#include "testmain.h"
#include "transfercommands.h"

#include "dialoganswerer.h"
#include "radiolisttext.h"

#include "base/settings.h"
#include "device/core/devicetask.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "lists/radiolistmodule.h"

#include <QTemporaryDir>
#include <QTest>

// A send or download of the radio page that failed or was cancelled, then the list edited and the transfer done
// again on the emulator: the second one carries the list as it is then and ends as its own outcome says.
class TestRadioTransferAgain : public QObject
{
    Q_OBJECT
    ZBDeviceInfo info{QStringLiteral("Box")};

    // The names of the services in the upload messages, in order.
    static QStringList sentNames(const QList<QByteArray> &messages)
    {
        QStringList names;
        for (const QByteArray &message : messages) {
            if (!message.startsWith("PST"))
                continue;
            const QString text = QString::fromUtf8(message.mid(3));
            for (qsizetype at = text.indexOf(u"<name>"); at >= 0; at = text.indexOf(u"<name>", at + 1))
                names << text.mid(at + 6, text.indexOf(u"</name>", at) - at - 6);
        }
        return names;
    }

private slots:
    void init() { Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1")); }

    void secondSendAfterAFailedOne_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("refused at message 3")
            << "refused" << QStringList{"Error during uploading. Device is busy now. Please try again later."};
        QTest::newRow("receiver recording")
            << "recording" << QStringList{"Device is recording programme. Please try again later."};
    }
    void secondSendAfterAFailedOne()
    {
        QFETCH(QString, first);
        QFETCH(QStringList, boxes);
        QTemporaryDir root;
        ReceiverEmulator emulator;
        auto commands = TransferCommands::install(emulator, root.path());
        if (first == QLatin1String("refused"))
            commands->refuseMessage = 2;
        else
            commands->listReply = 0xAB;
        QVERIFY(emulator.start());
        DVB24CommunicationManager manager;
        manager.setPort(emulator.port());
        RadioListModule module;
        module.setCommunicationManager(&manager);
        module.setDeviceInfo(&info);
        module.resize(1100, 760);
        module.show();
        module.onShow();
        connect(&manager, &DeviceCommunicationManager::stateChanged, &module, &RadioListModule::onDeviceStateChange);
        manager.connectToHost(emulator.host());
        QTRY_VERIFY(module.btnDownloadLists->isEnabled());
        RadioListProjectFileManager *files = module.projectManager();
        QStringList names;
        for (int i = 1; i <= 12; ++i)
            names << QStringLiteral("Radio %1").arg(i);
        QVERIFY(files->newProject(RadioListText::text(names)));
        ListItemsDatabaseModel *items = files->itemsModel;
        items->setData(items->indexById(QStringLiteral("2"), 1), QStringLiteral("First edit"), Qt::EditRole);
        DialogAnswerer answers;
        module.btnUploadDeviceLists->click();
        QTRY_VERIFY_WITH_TIMEOUT(!module.pendingTask(), 30000);
        QTRY_COMPARE(module.stackedWidget->currentIndex(), 1);
        QCOMPARE(answers.boxTexts, boxes);
        QVERIFY(files->isModified());
        QVERIFY(!commands->uploadMessages().contains("CMP"));
        QVERIFY(module.btnUploadDeviceLists->isEnabled());
        QVERIFY(module.itemsTableViewAll->isEnabled());

        // Edited again, then sent again to a receiver that takes it.
        commands->refuseMessage = -1;
        commands->listReply = 0xAA;
        items->setData(items->indexById(QStringLiteral("5"), 1), QStringLiteral("Second edit"), Qt::EditRole);
        answers.boxTexts.clear();
        const qsizetype before = commands->uploadMessages().size();
        module.btnUploadDeviceLists->click();
        QTRY_VERIFY_WITH_TIMEOUT(!module.pendingTask(), 30000);
        QTRY_COMPARE(module.stackedWidget->currentIndex(), 1);
        QCOMPARE(answers.boxTexts, QStringList());
        names[1] = QStringLiteral("First edit");
        names[4] = QStringLiteral("Second edit");
        const QList<QByteArray> second = commands->uploadMessages().mid(before);
        QVERIFY(!second.isEmpty());
        QCOMPARE(second.last(), QByteArray("CMP"));
        QCOMPARE(sentNames(second), names);
        QVERIFY(!files->isModified());
        manager.requestClose();
    }
};

OMBRELAY_TEST_MAIN(TestRadioTransferAgain)
#include "tst_radiotransferagain.moc"
