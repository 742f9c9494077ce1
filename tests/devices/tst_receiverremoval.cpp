#include "receiveremulator.h"
#include "receiverlists.h"
#include "testmain.h"

#include "listinthewindow.h"
#include "listoftype.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "devices/devicepropertiesmodule.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/tvlistmodule.h"
#include "widgets/messagebox.h"

#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// Removing a receiver from the window while its list page downloads into an edited list: the page's
// save question is the only one on screen, the download that ends meanwhile waits for its answer, and
// the answer acts on the list it names.
class TestReceiverRemoval : public QObject
{
    Q_OBJECT

    static QByteArray bytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase() { registerStartUpServices(); }
    void init() { QSettings().clear(); }
    void cleanup() { MessageBox::setAnswerHook({}); }

    void removeWhileTheListDownloads_data()
    {
        QTest::addColumn<QString>("answer"); // to the page's save question
        QTest::newRow("yes: the edited list is saved, the receiver goes") << "&Yes";
        QTest::newRow("no: nothing is saved, the receiver goes") << "&No";
        QTest::newRow("cancel: the receiver stays, then the download asks") << "&Cancel";
    }
    void removeWhileTheListDownloads()
    {
        QFETCH(QString, answer);
        QTemporaryDir dir;
        const QString edited = listFile(dir, QStringLiteral("kitchen20.tvqvxc"), listOfType(QStringLiteral("tv"), 20));
        QVERIFY(!edited.isEmpty());
        const QByteArray before = bytes(edited);

        ReceiverEmulator emulator;
        // room on the receiver for the four favourite lists of the test lists
        emulator.setDescription(ReceiverEmulator::defaultDescription()
                                    .replace(QStringLiteral("maxcount=\"5\""), QStringLiteral("maxcount=\"4\""))
                                    .replace(QStringLiteral("maxcount=\"3\""), QStringLiteral("maxcount=\"4\"")));
        auto lists = ReceiverLists::install(emulator);
        lists->setDocument(QStringLiteral("tv"), listOfType(QStringLiteral("tv"), 30).toUtf8());
        QVERIFY(emulator.start());
        ZBDeviceCollection::setDefaultReceiverPort(emulator.port());
        const auto release = qScopeGuard([&] { lists->setHold(false); });

        MainWindow window;
        window.resize(1280, 800);
        window.show();
        ZBDeviceInfo info(QStringLiteral("Ombrelay Emulator"), QString(), false);
        info.setIp(emulator.host());
        info.setGivenName(QStringLiteral("Kitchen"));
        info.setShareName(QStringLiteral("EMULATOR")); // as the receiver says: no rename question
        info.ensureDefaults();
        window.collection()->append(info);
        QPointer<ZBDevice> receiver = window.collection()->at(0);
        QTRY_VERIFY_WITH_TIMEOUT(receiver->isConnected(), 15000);
        // The tree gets the receiver's pages once it has described itself.
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<TVListModule *>(receiver->module(OmbrelayModule::TypeTvList)), 15000);
        window.selectTreeItem(receiver->id(), OmbrelayModule::TypeDevice);
        QPointer<TVListModule> page = qobject_cast<TVListModule *>(receiver->module(OmbrelayModule::TypeTvList));
        window.setCurrentModule(page, true);
        page->openFile(edited);
        QCOMPARE(page->projectManager()->fileName(), edited);
        ListItemsDatabaseModel *items = page->projectManager()->itemsModel;
        const int name = page->projectManager()->fieldColumns.value(QStringLiteral("name"));
        QVERIFY(items->setData(items->index(0, name), QStringLiteral("Edited here"), Qt::EditRole));
        QVERIFY(page->projectManager()->isModified());

        lists->setHold(true);
        QTRY_VERIFY(page->btnDownloadDeviceLists->isEnabled());
        page->btnDownloadDeviceLists->click();
        QTRY_VERIFY(receiver->hasPendingWork());

        QStringList texts;
        QStringList namedLists; // the list the page holds as each question shows
        int open = 0;
        int deepest = 0;
        bool arrived = false;
        bool answered = true;
        MessageBox::setAnswerHook([&](QDialog *box) {
            ++open;
            deepest = qMax(deepest, open);
            const QString text = qobject_cast<QMessageBox *>(box)->text();
            texts << text;
            namedLists << (page ? page->projectManager()->fileName() : QString());
            QString reply = QStringLiteral("&Yes");
            if (text.contains(QStringLiteral("has been modified"))) {
                if (open > 1) {
                    reply = QStringLiteral("&Cancel"); // a question stacked on another: keep things as they are
                } else if (texts.filter(QStringLiteral("has been modified")).size() == 1) {
                    // The receiver's reply comes in while the page asks.
                    lists->setHold(false);
                    arrived = QTest::qWaitFor([&] { return deepest > 1 || (page && page->isReadingList()); }, 20000);
                    reply = answer;
                } else {
                    reply = QStringLiteral("&No"); // the download, after a cancelled removal
                }
            }
            answered = MessageBox::clickButton(box, reply) && answered;
            --open;
        });
        window.showPropertiesPanel();
        auto *properties = qobject_cast<DevicePropertiesModule *>(window.currentModule());
        QVERIFY(properties);
        QTest::mouseClick(properties->btnRemoveDevice, Qt::LeftButton);
        QVERIFY(arrived);
        QVERIFY(answered);
        const QString saveQuestion = QStringLiteral("Project 'kitchen20.tvqvxc' has been modified.\nDo you want to "
                                                    "save your changes?");
        const QStringList removal{
            QStringLiteral("Are you sure you want to remove this device from your device list?"),
            QStringLiteral("Ombrelay is processing data with Kitchen (%1). Do you want to stop it and remove the "
                           "device?")
                .arg(emulator.host()),
            saveQuestion};
        QCOMPARE(texts.mid(0, 3), removal);
        QCOMPARE(namedLists.at(2), edited);

        if (answer == QLatin1String("&Cancel")) {
            // The receiver stays; the download that waited then asks about the same edited list.
            QCOMPARE(window.collection()->count(), 1);
            QTRY_COMPARE_WITH_TIMEOUT(texts.size(), 4, 20000);
            QCOMPARE(texts.at(3), saveQuestion);
            QCOMPARE(namedLists.at(3), edited);
            QTRY_VERIFY_WITH_TIMEOUT(!receiver->hasPendingWork() && !page->isReadingList(), 20000);
            QCOMPARE(page->projectManager()->itemsModel->rowCount(), 30);
            QVERIFY(!page->projectManager()->isModified());
        } else {
            QCOMPARE(window.collection()->count(), 0);
            QTRY_VERIFY_WITH_TIMEOUT(!page && !receiver, 15000);
            QTRY_COMPARE_WITH_TIMEOUT(emulator.openConnections(), 0, 15000);
        }
        QCOMPARE(deepest, 1); // never a question on top of another
        QCOMPARE(texts.size(), answer == QLatin1String("&Cancel") ? 4 : 3);

        // Only Yes writes, and it writes the list the question named.
        if (answer == QLatin1String("&Yes")) {
            TVListProjectFileManager reread(nullptr);
            QVERIFY(reread.loadFile(edited));
            QCOMPARE(reread.itemsModel->rowCount(), 20);
            QCOMPARE(reread.itemsModel->index(0, name).data().toString(), QStringLiteral("Edited here"));
        } else {
            QCOMPARE(bytes(edited), before);
        }
    }
};

OMBRELAY_TEST_MAIN(TestReceiverRemoval)
#include "tst_receiverremoval.moc"
