#include "testmain.h"

#include "app/mainwindow.h"
#include "base/settings.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/protocol/dvb24communicationprotocolmill.h"
#include "devices/devicepropertiesmodule.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "modules/modulefactory.h"
#include "receiveremulator.h"
#include "support/unwritablesettings.h"
#include "ui_mainwindow.h"
#include "widgets/messagebox.h"

#include <QCloseEvent>
#include <QDir>
#include <QDomDocument>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTextDocument>

namespace {

// A module page that agrees to close or not, as the next of `answers` says (agrees when none is left).
class ClosingPage : public OmbrelayModule
{
public:
    explicit ClosingPage(QWidget *parent = nullptr)
        : OmbrelayModule(parent)
    {}
    ModuleTypes moduleType() const override { return TypeDevice; }
    void retranslate() override {}
    static inline int asked = 0;
    static inline QList<bool> answers;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++asked, event->setAccepted(answers.isEmpty() || answers.takeFirst());
    }
};

ZBDeviceInfo record(const QString &name, const QString &ip = QString(), int tv = 1000, int radio = 0, int net = 0)
{
    ZBDeviceInfo info(name, QString(), ip.isEmpty()); // without an address: managed over USB
    if (!ip.isEmpty())
        info.setIp(ip);
    info.setTvListMaxCount(quint16(tv));
    info.setRadioListMaxCount(quint16(radio));
    info.setNetListMaxCount(quint16(net));
    info.ensureDefaults();
    return info;
}

QStringList names(const ZBDeviceCollection &collection)
{
    QStringList result;
    for (int i = 0; i < collection.count(); ++i)
        result << QStringLiteral("%1:%2").arg(collection.at(i)->id()).arg(collection.at(i)->name());
    return result;
}

// A port of 127.0.0.1 this test holds for its run: the collections' receivers at 127.0.0.x are reached
// there, where nothing answers, never at whatever listens on the receivers' own port.
quint16 ownedPort()
{
    static QTcpServer *holder = [] {
        auto *server = new QTcpServer(QCoreApplication::instance()); // goes with the application
        server->listen(QHostAddress::LocalHost, 0);
        return server;
    }();
    return holder->serverPort();
}

QString stored()
{
    return QSettings().value(QStringLiteral("OmbrelayDeviceList")).toString();
}

// A stored list with a stray "<" after the first record's "mac" attribute, as a hand edit leaves it.
QString breakFirstTag(const QString &text)
{
    const qsizetype mac = text.indexOf(QStringLiteral("mac=\""), text.indexOf(QStringLiteral("<deviceInfo")));
    return QString(text).insert(text.indexOf(u'"', mac + 5) + 1, QStringLiteral(" <"));
}

// The copies kept of stored lists that did not read whole: key to text.
QMap<QString, QString> keptCopies()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("OmbrelayDeviceListUnread"));
    QMap<QString, QString> copies;
    for (const QString &key : settings.childKeys())
        copies.insert(QStringLiteral("OmbrelayDeviceListUnread/") + key, settings.value(key).toString());
    return copies;
}

} // namespace

class TestZBDeviceCollection : public QObject
{
    Q_OBJECT
    QObject owner;    // the receivers' parent, as the main window is in the program
    QStringList said; // every message box, answered as a person closes it
    QList<Qt::TextFormat> saidAs;
    QList<QStringList> dialogs; // other dialogs: the rows of their table as shown

    // Each row of a dialog's table as its shown cells, joined by " | ".
    static QStringList rowsShown(QDialog *dialog)
    {
        QStringList rows;
        auto *view = dialog->findChild<QTableView *>();
        if (!view)
            return rows;
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < view->model()->columnCount(); ++column) {
                if (!view->isColumnHidden(column) && view->columnWidth(column) > 0)
                    cells << view->model()->index(row, column).data().toString();
            }
            rows << cells.join(QStringLiteral(" | "));
        }
        return rows;
    }

    // The stored list after appending records (network ones at 127.0.0.x, where nothing listens).
    static QString storeRecords(const QList<ZBDeviceInfo> &records)
    {
        QObject writerOwner;
        ZBDeviceCollection writer(&writerOwner);
        writer.setReceiverPort(ownedPort());
        writer.append(records);
        return stored();
    }

private slots:
    void initTestCase()
    {
        // The window's own collection reaches its network receivers only at the port this test holds.
        ZBDeviceCollection::setDefaultReceiverPort(ownedPort());
    }
    void init()
    {
        QSettings().clear();
        qDeleteAll(owner.children());
        said.clear();
        saidAs.clear();
        dialogs.clear();
        MessageBox::setAnswerHook([this](QDialog *box) {
            auto *message = qobject_cast<QMessageBox *>(box);
            if (!message) {
                dialogs << rowsShown(box);
                box->reject();
                return;
            }
            said << message->text();
            saidAs << message->textFormat();
            box->reject();
        });
    }
    void cleanup()
    {
        MessageBox::setAnswerHook({});
        ModuleFactory::clear();
        qDeleteAll(owner.children());
    }

    // What a stored list may hold; loading takes every receiver that reads, never rewrites the list, and
    // says so when the list did not read whole. (Records under another root, and records beside a
    // foreign element or a second one with a listed address, used to be dropped without a word.)
    void load_data()
    {
        QTest::addColumn<QString>("text"); // null: nothing stored yet
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QStringList>("listed");
        const QString two = storeRecords({record("A", "127.0.0.3"), record("B", "127.0.0.4")});
        const int second = two.indexOf(QStringLiteral(" <deviceInfo"), two.indexOf(QStringLiteral("<deviceInfo")) + 5);
        // clang-format off
        QTest::newRow("first start") << QString() << false << QStringList();
        QTest::newRow("empty list") << "<!DOCTYPE ZBDeviceCollection>\n<devices/>\n" << true << QStringList();
        QTest::newRow("not xml") << "devices" << false << QStringList();
        QTest::newRow("other root") << "<receivers><deviceInfo name=\"x\"/></receivers>" << false << QStringList{"1:x"};
        QTest::newRow("comment first") << "<!-- s --><devices><deviceInfo name=\"x\"/></devices>" << true << QStringList{"1:x"};
        QTest::newRow("two") << two << true << QStringList{"1:A", "2:B"};
        QTest::newRow("duplicate address") << QString(two).replace("127.0.0.4", "127.0.0.3") << false << QStringList{"1:A"};
        QTest::newRow("foreign nodes") << QString(two).insert(second, "<!-- n -->\n <printer name=\"x\"/>\n") << false << QStringList{"1:A", "2:B"};
        // clang-format on
    }
    void load()
    {
        QFETCH(QString, text);
        QFETCH(bool, whole);
        QFETCH(QStringList, listed);
        if (!text.isNull())
            Settings::setString(Settings::OmbrelayDeviceList, text);
        ZBDeviceCollection collection(&owner);
        collection.setReceiverPort(ownedPort());
        QCOMPARE(collection.load(), whole);
        QCOMPARE(names(collection), listed);
        QCOMPARE(stored(), text);
        QCoreApplication::processEvents(); // the message comes once the event loop runs
        QCOMPARE(said.size(), whole || text.isEmpty() ? 0 : 1);
        QCOMPARE(keptCopies().values(), whole || text.isEmpty() ? QStringList() : QStringList{text});
    }

    // A damaged list of five: every receiver that reads is listed, the user is told which entry did not
    // read and where the stored text was kept; closing leaves the list as it was, and only a change to the
    // receivers rewrites it, with what was read and the change.
    void damagedList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("unread"); // how the message names what could not be read
        ZBDeviceInfo first = record("A", "127.0.0.3");
        first.setMac(QStringLiteral("00-11-22-33-44-55"));
        const QString five = storeRecords({first, record("B", "127.0.0.4"), record("C", "127.0.0.5"),
                                           record("D", "127.0.0.6"), record("E", "127.0.0.7")});
        QList<qsizetype> starts;
        for (qsizetype at = five.indexOf("<deviceInfo"); at >= 0; at = five.indexOf("<deviceInfo", at + 1))
            starts << at;
        QCOMPARE(starts.size(), 5);
        const QString broken = breakFirstTag(five);
        QVERIFY(broken.indexOf(QStringLiteral("mac=\"00-11-22-33-44-55\" <")) < starts.at(1));
        QTest::newRow("broken tag in the first") << broken
                                                 << QStringList{"1:B", "2:C", "3:D", "4:E"} << "entry 1 \"A\"";
        QTest::newRow("cut inside the third")
            << five.left(starts.at(2) + (starts.at(3) - starts.at(2)) / 2) << QStringList{"1:A", "2:B"} << "entry 3";
    }
    void damagedList()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, listed);
        QFETCH(QString, unread);
        Settings::setString(Settings::OmbrelayDeviceList, text);
        {
            ZBDeviceCollection collection(&owner);
            collection.setReceiverPort(ownedPort());
            QVERIFY(!collection.load());
            QCOMPARE(names(collection), listed);
            QTRY_COMPARE(said.size(), 1);
            const QMap<QString, QString> kept = keptCopies();
            QCOMPARE(kept.values(), QStringList{text});
            for (const QString &part : {unread, QStringLiteral("Devices loaded: %1.").arg(listed.size()),
                                        kept.firstKey(), QDir::toNativeSeparators(QSettings().fileName())})
                QVERIFY2(said.first().contains(part), qPrintable(said.first() + " lacks " + part));
            QVERIFY(collection.save()); // closing the window: nothing was asked, nothing is written
            QCOMPARE(stored(), text);

            // A second start before any change: told again, the same copy.
            ZBDeviceCollection second(&owner);
            second.setReceiverPort(ownedPort());
            QVERIFY(!second.load());
            QTRY_COMPARE(said.size(), 2);
            QCOMPARE(keptCopies(), kept);

            collection.append(record("F", "127.0.0.9")); // a change: the list is written as it now stands
            QCOMPARE(stored(), collection.toXmlText());
            QVERIFY(collection.save());
            QCOMPARE(keptCopies(), kept);
        }
        ZBDeviceCollection next(&owner); // the next start reads it whole and says nothing
        next.setReceiverPort(ownedPort());
        QVERIFY(next.load());
        QCOMPARE(names(next), listed + QStringList{QStringLiteral("%1:F").arg(listed.size() + 1)});
        QCoreApplication::processEvents();
        QCOMPARE(said.size(), 2);
    }

    // A list that could not be saved is said, naming the settings file; once the store takes writes
    // again the next save holds the change.
    void unwritableStore()
    {
        ZBDeviceCollection collection(&owner);
        collection.setReceiverPort(ownedPort());
        collection.append(record("Kitchen", "127.0.0.3"));
        QVERIFY(stored().contains(QStringLiteral("\"Kitchen\"")));
        collection.at(0)->setGivenName(QStringLiteral("Kitchen2"));
        {
            UnwritableSettings store;
            QVERIFY(store.made);
            QVERIFY(!collection.save());
            QCOMPARE(said.size(), 1);
            QVERIFY2(said.first().contains(QDir::toNativeSeparators(store.file)), qPrintable(said.first()));
            // A batch that could not be saved is said once, not per receiver.
            collection.append(QList<ZBDeviceInfo>{record("B", "127.0.0.4"), record("C", "127.0.0.5")});
            QCOMPARE(said.size(), 2);
        }
        QVERIFY(collection.save());
        QFile file(QSettings().fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray onDisk = file.readAll();
        for (const char *written : {"Kitchen2", "127.0.0.4", "127.0.0.5"})
            QVERIFY2(onDisk.contains(written), written);
        QCOMPARE(said.size(), 2);
    }

    // The saved form, numbered afresh from 1 on the next start, reused ids, no password.
    void savedFormAndIds()
    {
        ZBDeviceCollection collection(&owner);
        collection.setReceiverPort(ownedPort());
        QVERIFY(collection.save());
        QCOMPARE(stored(), QStringLiteral("<!DOCTYPE ZBDeviceCollection>\n<devices/>\n"));
        ZBDeviceInfo first = record("A");
        first.setGivenName(QStringLiteral("Bedroom"));
        first.setPassword(QStringLiteral("secret"));
        first.setRememberPassword(true);
        collection.append(QList<ZBDeviceInfo>{first, record("B"), record("C")});
        collection.removeDevice(2);
        QCOMPARE(collection.nextFreeId(), 2u);
        collection.append(record("D"));
        QCOMPARE(names(collection), (QStringList{"1:A", "3:C", "2:D"}));
        collection.removeDevice(2);
        QVERIFY(collection.save());
        const QString text = stored();
        QVERIFY(text.startsWith(QStringLiteral("<!DOCTYPE ZBDeviceCollection>\n<devices>\n <deviceInfo ")));
        QVERIFY(!text.contains(QStringLiteral("secret")) && !text.contains(QStringLiteral(" id=")));
        QObject secondOwner; // a later start
        ZBDeviceCollection again(&secondOwner);
        again.setReceiverPort(ownedPort());
        QVERIFY(again.load());
        QCOMPARE(names(again), (QStringList{"1:A", "2:C"}));
        QCOMPARE(again.at(0)->info().givenName(), QStringLiteral("Bedroom"));
        QVERIFY(again.at(0)->info().isUsbManaged());
        // Stable from the first reload on (an empty address reads back as 0.0.0.0).
        QVERIFY(again.save());
        ZBDeviceCollection third(&secondOwner);
        third.setReceiverPort(ownedPort());
        QVERIFY(third.load());
        QCOMPARE(third.toXmlText(), stored());
    }

    // One receiver per address (USB ones whatever theirs); a batch that adds nothing says so.
    void appends()
    {
        ZBDeviceCollection collection(&owner);
        collection.setReceiverPort(ownedPort());
        QSignalSpy added(&collection, &ZBDeviceCollection::DeviceAdded);
        QSignalSpy none(&collection, &ZBDeviceCollection::NoDeviceAdded);
        collection.append(QList<ZBDeviceInfo>{});
        collection.append(QList<ZBDeviceInfo>{record("A", "127.0.0.5")});
        const QString afterFirst = stored();
        QCOMPARE(none.count(), 0);
        collection.append(QList<ZBDeviceInfo>{record("B", "127.0.0.5"), record("C", "127.0.0.5")});
        QCOMPARE(none.count(), 1);
        QCOMPARE(stored(), afterFirst);
        collection.append(QList<ZBDeviceInfo>{record("D", "127.0.0.5"), record("E", "127.0.0.6")});
        collection.append(record("F", "127.0.0.6"));
        collection.append(record("Stick"));
        QCOMPARE(none.count(), 1);
        QCOMPARE(added.count(), 3);
        QCOMPARE(names(collection), (QStringList{"1:A", "2:E", "3:Stick"}));
        QVERIFY(collection.containsAddress(QHostAddress(QStringLiteral("127.0.0.6"))));
        // Reached only at the port this test holds.
        for (int i = 0; i < 2; ++i)
            QCOMPARE(collection.at(i)->communicationManager()->mill()->port(), ownedPort());
    }

    // The same through the window: a damaged list shows what reads and says what did not; closing the
    // window leaves the stored list as it was.
    void damagedListInTheWindow()
    {
        const QString five = storeRecords({record("A"), record("B"), record("C"), record("D"), record("E")});
        const QString text = breakFirstTag(five);
        Settings::setString(Settings::OmbrelayDeviceList, text);
        {
            MainWindow window;
            window.show();
            QTRY_COMPARE(said.size(), 1);
            QVERIFY2(said.first().contains(QStringLiteral("entry 1 \"A\"")), qPrintable(said.first()));
            QCOMPARE(names(*window.collection()), (QStringList{"1:B", "2:C", "3:D", "4:E"}));
            QCOMPARE(window.form()->tvDevices->model()->rowCount(), 4);
            QVERIFY(window.close());
        }
        QCOMPARE(stored(), text);
        QCOMPARE(keptCopies().values(), QStringList{text});
    }

    // A rename on the properties page that could not be saved is said, naming the settings file.
    void renameNotSavedInTheWindow()
    {
        storeRecords({record("Kitchen")});
        MainWindow window;
        window.show();
        QMenu *menu = window.findChild<QMenu *>();
        QVERIFY(menu);
        menu->actions().at(5)->trigger(); // Properties
        auto *page = window.findChild<DevicePropertiesModule *>();
        QVERIFY(page);
        QTRY_VERIFY(page->isVisible());
        QCOMPARE(page->txtGivenName->text(), QStringLiteral("Kitchen"));
        page->txtGivenName->setText(QStringLiteral("Kitchen2"));
        {
            UnwritableSettings store;
            QVERIFY(store.made);
            QTest::mousePress(page->btnSave, Qt::LeftButton);
            QTest::mouseRelease(page->btnSave, Qt::LeftButton);
            QTRY_COMPARE(said.size(), 1);
            QVERIFY2(said.first().contains(QDir::toNativeSeparators(store.file)), qPrintable(said.first()));
            QVERIFY2(said.first().contains(QStringLiteral("lost")), qPrintable(said.first()));
        }
        QVERIFY(window.close()); // the store takes writes again: closing saves the rename
        QCOMPARE(said.size(), 1);
        QVERIFY(stored().contains(QStringLiteral("\"Kitchen2\"")));
    }

    // A list file handed over (as by a second start) with two receivers of one name: the picker tells
    // them apart by their addresses.
    void pickerShowsAddresses()
    {
        ZBDeviceInfo first = record("Kitchen", "127.0.0.3");
        ZBDeviceInfo second = record("Kitchen", "127.0.0.4");
        first.setGivenName(QStringLiteral("Kitchen"));
        second.setGivenName(QStringLiteral("Kitchen"));
        storeRecords({first, second});
        QTemporaryDir folder;
        QFile list(folder.filePath(QStringLiteral("news.tvqvxc")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.close();
        MainWindow window;
        window.show();
        window.tryToOpenFile(list.fileName());
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs.first(), (QStringList{"Kitchen | 127.0.0.3", "Kitchen | 127.0.0.4"}));
    }

    // A receiver's name is drawn as it stands: header, tree, tool tip, messages.
    void namesAsPlainText()
    {
        const QString name = QStringLiteral("A\"<b>&amp;\\x</devices>'Z");
        ZBDeviceInfo info = record(QStringLiteral("Native <i>n</i>"));
        info.setGivenName(name);
        storeRecords({info});
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.collection()->at(0)->info().label(), name);
        Ui::MainWindow *ui = window.form();
        for (QLabel *label : {ui->lblDeviceGivenName, ui->lblDeviceNativeName}) {
            QCOMPARE(label->textFormat(), Qt::PlainText);
            // Measured with the window's own font: the whole text, markup characters and all, is drawn.
            QVERIFY(label->sizeHint().width() >= label->fontMetrics().horizontalAdvance(label->text()));
        }
        QCOMPARE(ui->lblDeviceGivenName->text(), name);
        const QModelIndex row = ui->tvDevices->model()->index(0, 0);
        QCOMPARE(row.data().toString(), name);
        QTextDocument tip;
        tip.setHtml(row.data(Qt::ToolTipRole).toString());
        QCOMPARE(tip.toPlainText(), name);
        window.findChild<QMenu *>()->actions().at(5)->trigger(); // Properties
        auto *page = window.findChild<DevicePropertiesModule *>();
        QVERIFY(page);
        QCOMPARE(page->lblNativeName->text(), QStringLiteral("Native <i>n</i>"));
        QCOMPARE(page->lblNativeName->textFormat(), Qt::PlainText);
        QCOMPARE(page->txtGivenName->text(), name);
        MessageBox::information(&window, name);
        QCOMPARE(said, QStringList{name});
        QCOMPARE(saidAs, QList<Qt::TextFormat>{Qt::PlainText});
    }

    // A connected receiver goes only after its "disconnected"; a receiver listed meanwhile under the
    // same id is not the one deleted. An idle receiver goes at once.
    void removal()
    {
        ModuleFactory::registerPlainModule<ClosingPage>(OmbrelayModule::TypeDevice);
        ReceiverEmulator emulator;
        QVERIFY(emulator.start());
        ZBDeviceCollection collection(&owner);
        collection.setReceiverPort(emulator.port());
        QSignalSpy states(&collection, &ZBDeviceCollection::DeviceStateChanged);
        QSignalSpy losses(&collection, &ZBDeviceCollection::DeviceConnectionLost);
        QSignalSpy failures(&collection, &ZBDeviceCollection::DeviceConnectionFailed);
        QPointer<ZBDevice> device = new ZBDevice(record("Box", emulator.host()), &owner);
        device->communicationManager()->setPort(emulator.port());
        collection.append(device.data());
        QTRY_VERIFY_WITH_TIMEOUT(device->isConnected(), 10000);
        QPointer<OmbrelayModule> page = device->module(OmbrelayModule::TypeDevice);
        QVERIFY(page);
        collection.removeDevice(1);
        // Its pages go at once: nothing of the winding down reaches them.
        QVERIFY(!page);
        QVERIFY(collection.deviceAddresses().isEmpty());
        QCOMPARE(collection.pendingRemovalCount(), 1);
        QVERIFY(device);
        collection.append(record("Stick"));
        QPointer<ZBDevice> newcomer = collection.deviceById(1);
        QTRY_VERIFY_WITH_TIMEOUT(!device, 10000);
        QCOMPARE(states.last().at(1).toString(), QStringLiteral("disconnected"));
        QVERIFY(newcomer);
        QCOMPARE(collection.pendingRemovalCount(), 0);
        // A link the user let go is no loss.
        QCOMPARE(losses.count() + failures.count(), 0);
        const int seen = int(states.count());
        collection.removeDevice(1);
        QVERIFY(!newcomer);
        QCOMPARE(states.count(), seen);
    }

    // Every receiver is asked, and one refusal stands.
    void closeAll_data()
    {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("all agree") << QList<bool>{true, true} << true;
        QTest::newRow("first refuses") << QList<bool>{false, true} << false;
        QTest::newRow("second refuses") << QList<bool>{true, false} << false;
    }
    void closeAll()
    {
        QFETCH(QList<bool>, answers);
        QFETCH(bool, accepted);
        ModuleFactory::registerPlainModule<ClosingPage>(OmbrelayModule::TypeDevice);
        ZBDeviceCollection collection(&owner);
        collection.setReceiverPort(ownedPort());
        collection.append(QList<ZBDeviceInfo>{record("A"), record("B")});
        QVERIFY(collection.at(0)->module(OmbrelayModule::TypeDevice));
        QCOMPARE(collection.deviceIdOfModule(collection.at(1)->module(OmbrelayModule::TypeDevice)), 2u);
        ClosingPage::asked = 0;
        ClosingPage::answers = answers;
        QCloseEvent event;
        collection.closeAllModules(&event);
        QCOMPARE(event.isAccepted(), accepted);
        QCOMPARE(ClosingPage::asked, 2);
    }
};

OMBRELAY_TEST_MAIN(TestZBDeviceCollection)
#include "tst_zbdevicecollection.moc"
