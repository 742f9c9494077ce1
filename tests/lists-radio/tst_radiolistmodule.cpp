#include "receiveremulator.h"
#include "receiverlists.h"
#include "testmain.h"
#include "transfercommands.h"

#include "dialoganswerer.h"
#include "handingmanager.h"
#include "radiolisttext.h"

#include "base/settings.h"
#include "base/translatorloader.h"
#include "device/core/devicecommunicationmanager.h"
#include "device/core/devicetask.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/transfers/listtransfer.h"
#include "devices/zbdevice.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "lists/favouritelisteditor.h"
#include "lists/radiolistmodule.h"
#include "lists/tvlistmodule.h"
#include "modules/modulefactory.h"

#include <QDomDocument>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

namespace {

// Answers nothing itself and records every context and source it is asked for.
class RecordingTranslator : public QTranslator
{
public:
    mutable QSet<QString> contexts;
    mutable QSet<QPair<QString, QString>> lookups;
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        contexts.insert(QString::fromLatin1(context));
        lookups.insert({QString::fromLatin1(context), QString::fromUtf8(source)});
        return QString();
    }
    bool isEmpty() const override { return false; }
};

// The titles of the table's last four menus: provider, EPG, parent lock and children lock.
QStringList menuTitles(QWidget *table)
{
    QStringList titles;
    for (QAction *action : table->actions())
        if (action->menu())
            titles << action->menu()->title();
    return titles.mid(titles.size() - 4);
}

// The names of the radio services of a document, in document order.
QStringList names(const QString &xml)
{
    QDomDocument doc;
    doc.setContent(xml);
    QStringList found;
    const QDomNodeList services = doc.elementsByTagName(QStringLiteral("radioService"));
    for (int i = 0; i < services.size(); ++i)
        found << services.at(i).firstChildElement(QStringLiteral("name")).text();
    return found;
}
} // namespace

class TestRadioListModule : public QObject
{
    Q_OBJECT
    ZBDeviceInfo info{QStringLiteral("Box")};

    std::unique_ptr<RadioListModule> makeModule(DeviceCommunicationManager *manager)
    {
        auto module = std::make_unique<RadioListModule>();
        module->setCommunicationManager(manager);
        module->setDeviceInfo(&info);
        module->resize(1100, 760);
        module->show();
        module->onShow();
        return module;
    }

private slots:
    void init() { Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1")); }

    // The factory's type 2 makes a radio page with the list count asked for, and the receiver finds it.
    void factoryMakesTheRadioPage_data()
    {
        QTest::addColumn<QVariantMap>("options");
        QTest::addColumn<int>("lists");
        QTest::newRow("six lists") << QVariantMap{{"maximumListCount", 6}} << 6;
        QTest::newRow("default") << QVariantMap{} << 4;
    }
    void factoryMakesTheRadioPage()
    {
        QFETCH(QVariantMap, options);
        QFETCH(int, lists);
        ModuleFactory::registerListModule<RadioListModule>(OmbrelayModule::TypeRadioList);
        ZBDevice device(info);
        auto *module = qobject_cast<RadioListModule *>(createModule(2, nullptr, options));
        QVERIFY(module);
        std::unique_ptr<RadioListModule> owner(module);
        QCOMPARE(module->moduleType(), OmbrelayModule::TypeRadioList);
        QCOMPARE(module->listType(), QStringLiteral("radio"));
        device.attachModule(module);
        QCOMPARE(device.module(OmbrelayModule::TypeRadioList), module);
        QCOMPARE(device.module(OmbrelayModule::TypeTvList), nullptr);
        module->show();
        module->onShow();
        QVERIFY(module->projectManager()->newProject());
        QCOMPARE(module->projectManager()->readLists().size(), lists);
        QVERIFY(module->listsTabWidget->count() <= lists);
        QVERIFY(module->listsTabWidget->count() > 0);
        QVERIFY(module->projectManager()->documentText().contains(QStringLiteral("<TDocument")));
    }

    // The page's own texts are looked up in its own context, never in the TV page's.
    void ownTextsInTheRadioContext()
    {
        RecordingTranslator recorder;
        QCoreApplication::installTranslator(&recorder);
        {
            auto module = makeModule(nullptr);
            QVERIFY(module->projectManager()->newProject(RadioListText::numbered(3)));
            QCoreApplication::removeTranslator(&recorder);
            QCoreApplication::installTranslator(&recorder); // a language change re-texts the page
            QCoreApplication::processEvents();
            module->itemsTableViewAll->selectRow(0);
        }
        QCoreApplication::removeTranslator(&recorder);
        QVERIFY(!recorder.contexts.contains(QStringLiteral("TVListModule")));
        for (const char *source : {"Genres:", "Parent lock", "Children lock", "EPG", "Provider", "Search..."})
            QVERIFY2(recorder.lookups.contains({QStringLiteral("RadioListModule"), QString::fromLatin1(source)}),
                     source);
    }

    // In German the page's menus show the radio page's translations.
    void menusTranslated_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("de") << "de_DE" << QStringList{};
        QTest::newRow("pl") << "pl_PL" << QStringList{};
        QTest::newRow("en") << "" << QStringList{"Provider", "EPG", "Parent lock", "Children lock"};
    }
    void menusTranslated()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, titles);
        auto module = makeModule(nullptr);
        QTranslator translator;
        if (!language.isEmpty()) {
            QVERIFY(loadTranslator(&translator, language));
            QCoreApplication::installTranslator(&translator);
            QCoreApplication::processEvents();
        }
        const QStringList shown = menuTitles(module->itemsTableViewAll);
        QCOMPARE(shown.size(), 4);
        QCoreApplication::removeTranslator(&translator);
        if (language.isEmpty()) {
            QCOMPARE(shown, titles);
            return;
        }
        // Each menu title is the radio context's translation of the English one.
        const QStringList english{"Provider", "EPG", "Parent lock", "Children lock"};
        for (int i = 0; i < english.size(); ++i) {
            const QString wanted = translator.translate("RadioListModule", qPrintable(english.at(i)));
            QVERIFY2(!wanted.isEmpty(), qPrintable(english.at(i)));
            QCOMPARE(shown.at(i), wanted);
        }
        QVERIFY(shown.at(3) != english.at(3));
    }

    // Names with "&", markup and umlauts travel to the receiver (0x23) and back (0x20) unchanged.
    void namesSurviveSendAndDownload()
    {
        ReceiverEmulator emulator;
        auto lists = ReceiverLists::install(emulator);
        lists->setDocument(QStringLiteral("radio"), RadioListText::numbered(4).toUtf8());
        QVERIFY(emulator.start());
        DVB24CommunicationManager manager;
        manager.setPort(emulator.port());
        auto module = makeModule(&manager);
        connect(&manager, &DeviceCommunicationManager::stateChanged, module.get(),
                &RadioListModule::onDeviceStateChange);
        manager.connectToHost(emulator.host());
        QTRY_VERIFY(module->btnDownloadLists->isEnabled());
        module->btnDownloadLists->click();
        QTRY_COMPARE(module->stackedWidget->currentIndex(), 1);
        QTRY_VERIFY(!module->pendingTask());
        QCOMPARE(names(module->projectManager()->documentText()),
                 QStringList({"Radio 1", "Radio 2", "Radio 3", "Radio 4"}));

        const QStringList typed{QStringLiteral("Rock & Pop"), QStringLiteral("Bayern 3 – Äöü ß"),
                                QStringLiteral("<b>a&amp;b</b>"), QStringLiteral("Łódź & Kraków")};
        ItemsTableView *table = module->itemsTableViewAll;
        QAbstractItemModel *rows = table->model();
        for (int i = 0; i < typed.size(); ++i) {
            int row = 0;
            while (row < rows->rowCount() && rows->index(row, 8).data().toString() != QString::number(i + 1))
                ++row;
            table->selectRow(row);
            module->titleLineEdit->setText(typed.at(i));
            QTest::keyClick(module->titleLineEdit, Qt::Key_Return);
            QTRY_COMPARE(module->projectManager()->itemsModel->indexById(QString::number(i + 1), 1).data().toString(),
                         typed.at(i));
        }
        DialogAnswerer answers;
        const qsizetype sentFrom = emulator.received().size();
        module->btnUploadDeviceLists->click();
        QTRY_COMPARE(lists->uploads(), 1);
        QTRY_VERIFY(!module->pendingTask());
        QCOMPARE(emulator.received().mid(sentFrom, 1), QByteArray("\x23"));
        QCOMPARE(names(QString::fromUtf8(lists->document(QStringLiteral("radio")))), typed);
        QVERIFY(!module->projectManager()->isModified());

        QVERIFY(module->projectManager()->newProject(RadioListText::numbered(1)));
        const qsizetype downloadFrom = emulator.received().size();
        module->btnDownloadDeviceLists->click();
        QTRY_VERIFY(!module->pendingTask());
        QCOMPARE(emulator.received().mid(downloadFrom, 1), QByteArray("\x20"));
        QCOMPARE(names(module->projectManager()->documentText()), typed);
        // The table and the panel show them as typed.
        QStringList shown;
        for (int id = 1; id <= typed.size(); ++id)
            shown << module->projectManager()->itemsModel->indexById(QString::number(id), 1).data().toString();
        QCOMPARE(shown, typed);
        table->selectRow(0);
        QVERIFY(typed.contains(module->titleLineEdit->text()));
        QCOMPARE(module->titleLineEdit->text(), table->model()->index(0, 1).data().toString());
        // The first favourite list (services 1 and 3) shows them in its name column.
        auto *favourites = qobject_cast<FavouriteListEditor *>(module->listsTabWidget->widget(0));
        QVERIFY(favourites);
        QStringList listed;
        QAbstractItemModel *entries = favourites->tblItems->model();
        for (int row = 0; row < entries->rowCount(); ++row)
            for (int column = 0; column < entries->columnCount(); ++column)
                listed << entries->index(row, column).data().toString();
        QVERIFY2(listed.contains(typed.at(0)) && listed.contains(typed.at(2)), qPrintable(listed.join(u'|')));
        QCOMPARE(answers.boxTexts, QStringList());
        manager.requestClose();
    }

    // Transfers on the emulator: a download lands in a new radio project; refusals keep what was open.
    void transfers_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("listReply");
        QTest::addColumn<int>("refuseMessage");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("modified");
        const QStringList open{"Open 1", "Open 2", "Changed"};
        const QStringList recording{"Device is recording programme. Please try again later."};
        QTest::newRow("download") << "download" << 0xAA << -1 << QStringList{}
                                  << QStringList{"Radio 1", "Radio 2", "Radio 3", "Radio 4", "Radio 5"} << false;
        QTest::newRow("download while recording") << "download" << 0xAB << -1 << recording << open << true;
        QTest::newRow("send while recording") << "send" << 0xAB << -1 << recording << open << true;
        QTest::newRow("send refused at message 3")
            << "send" << 0xAA << 2 << QStringList{"Error during uploading. Device is busy now. Please try again later."}
            << open << true;
        QTest::newRow("send") << "send" << 0xAA << -1 << QStringList{} << open << false;
    }
    void transfers()
    {
        QFETCH(QString, action);
        QFETCH(int, listReply);
        QFETCH(int, refuseMessage);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, names);
        QFETCH(bool, modified);
        QTemporaryDir root;
        ReceiverEmulator emulator;
        auto commands = TransferCommands::install(emulator, root.path());
        commands->listDocument = RadioListText::numbered(5).toUtf8();
        commands->listReply = listReply;
        commands->refuseMessage = refuseMessage;
        QVERIFY(emulator.start());
        DVB24CommunicationManager manager;
        manager.setPort(emulator.port());
        auto module = makeModule(&manager);
        connect(&manager, &DeviceCommunicationManager::stateChanged, module.get(),
                &RadioListModule::onDeviceStateChange);
        manager.connectToHost(emulator.host());
        QTRY_VERIFY(module->btnDownloadLists->isEnabled());
        RadioListProjectFileManager *files = module->projectManager();
        QVERIFY(files->newProject(RadioListText::text({"Open 1", "Open 2", "Open 3"})));
        files->itemsModel->setData(files->itemsModel->indexById(QStringLiteral("3"), 1), QStringLiteral("Changed"),
                                   Qt::EditRole);
        QVERIFY(files->isModified());
        const QString openName = files->fileName();

        DialogAnswerer answers;
        answers.boxAnswers << QStringLiteral("&No"); // the open project is not saved before a download
        if (action == QLatin1String("download"))
            module->btnDownloadDeviceLists->click();
        else
            module->btnUploadDeviceLists->click();
        QTRY_VERIFY(!module->pendingTask());
        QTRY_COMPARE(module->stackedWidget->currentIndex(), 1);
        // Boxes other than the one asking to save the changed project.
        QStringList shown;
        for (const QString &text : answers.boxTexts)
            if (!text.startsWith(QLatin1String("Project '")))
                shown << text;
        QCOMPARE(shown, boxes);
        QCOMPARE(::names(files->documentText()), names);
        QCOMPARE(files->isModified(), modified);
        if (action == QLatin1String("download") && boxes.isEmpty()) {
            QVERIFY2(QRegularExpression(QStringLiteral("^Untitled \\d+\\.rdqvxc$")).match(files->fileName()).hasMatch(),
                     qPrintable(files->fileName()));
            QVERIFY(files->fileName() != openName);
        } else {
            QCOMPARE(files->fileName(), openName);
        }
        if (refuseMessage >= 0)
            QTRY_COMPARE(commands->uploadMessages().size(), refuseMessage + 2);
        manager.requestClose();
    }

    // Cancel and a lost connection return to the page the transfer started from.
    void endingsReturnToThePreviousPage_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("how");
        QTest::newRow("cancel from the welcome page") << 0 << "cancel";
        QTest::newRow("cancel from the editor") << 1 << "cancel";
        QTest::newRow("disconnected from the welcome page") << 0 << "disconnected";
        QTest::newRow("disconnected from the editor") << 1 << "disconnected";
    }
    void endingsReturnToThePreviousPage()
    {
        QFETCH(int, from);
        QFETCH(QString, how);
        HandingManager manager;
        auto module = makeModule(&manager);
        DialogAnswerer answers;
        if (from == 1)
            QVERIFY(module->projectManager()->newProject(RadioListText::numbered(3)));
        const QString before =
            module->projectManager()->isProjectLoaded() ? module->projectManager()->documentText() : QString();
        QCOMPARE(module->stackedWidget->currentIndex(), from);
        module->btnDownloadLists->setEnabled(true);
        module->btnDownloadDeviceLists->setEnabled(true);
        (from == 1 ? module->btnDownloadDeviceLists : module->btnDownloadLists)->click();
        QCOMPARE(manager.enqueued.size(), 1);
        QPointer<DeviceTask> task = manager.enqueued.first();
        QCOMPARE(module->stackedWidget->currentIndex(), 2);
        // The request carries the radio list type.
        QVERIFY2(task->request().contains(QStringLiteral("radio")), qPrintable(task->request()));
        if (how == QLatin1String("cancel")) {
            module->dataTransferPageButton->click();
            QCOMPARE(manager.cancels, 1);
        } else {
            module->onDeviceStateChange(QStringLiteral("disconnected"));
            QCOMPARE(manager.cancels, 1);
        }
        task->onCanceled();
        // A cancel is the user's own; a lost connection is said, never a quiet ending.
        QTRY_COMPARE(answers.boxTexts, how == QLatin1String("cancel")
                                           ? QStringList()
                                           : QStringList{ListTransfer::lostConnectionText(QStringLiteral("download"))});
        QCOMPARE(module->stackedWidget->currentIndex(), from);
        QVERIFY(!module->pendingTask());
        if (from == 1)
            QCOMPARE(module->projectManager()->documentText(), before);
        else
            QVERIFY(!module->projectManager()->isProjectLoaded());
        QTRY_VERIFY(task.isNull());
    }
};

OMBRELAY_TEST_MAIN(TestRadioListModule)
#include "tst_radiolistmodule.moc"
