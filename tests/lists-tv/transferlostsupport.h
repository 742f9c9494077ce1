#pragma once

#include "receiveremulator.h"
#include "receiverlists.h"
#include "savedreceiver.h"
#include "testmain.h"

#include "dialoganswerer.h"
#include "handingmanager.h"
#include "listinthewindow.h"
#include "listoftype.h"
#include "listpagetest.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "base/settings.h"
#include "device/core/devicecommunicationmanager.h"
#include "device/core/devicetask.h"
#include "device/core/zbdeviceinfo.h"
#include "device/protocol/dvb24communicationmanager.h"
#include "device/transfers/listtransfer.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/linklistmodule.h"
#include "lists/radiolistmodule.h"
#include "lists/tvlistmodule.h"

#include <QPointer>

#include <QSettings>
#include <QTest>

#include <memory>
#include <tuple>
#include <utility>

// What the tests of a list transfer whose connection goes share: a receiver with room for every list, the
// page's states passed on or held back, what the user was shown, and a list with changes to send.
namespace TransferLost {

// The receiver's description with room for the four favourite lists of every list here.
inline QString fourListDescription()
{
    return ReceiverEmulator::defaultDescription()
        .replace(QStringLiteral("maxcount=\"5\""), QStringLiteral("maxcount=\"4\""))
        .replace(QStringLiteral("maxcount=\"3\""), QStringLiteral("maxcount=\"4\""));
}

// Passes a manager's states on to a page; while held, they wait until released, so the worker's
// ending reaches the page before the dropped link does.
class StateRelay : public QObject
{
public:
    StateRelay(DeviceCommunicationManager *manager, ListsModuleShared *page)
        : page(page)
    {
        connect(manager, &DeviceCommunicationManager::stateChanged, this, [this](const QString &state) {
            if (held)
                waiting << state;
            else
                deliver(state);
        });
    }
    void release()
    {
        held = false;
        for (const QString &state : std::exchange(waiting, {}))
            deliver(state);
    }
    bool held = false;
    QStringList delivered;

private:
    void deliver(const QString &state)
    {
        delivered << state;
        page->onDeviceStateChange(state);
    }
    ListsModuleShared *page;
    QStringList waiting;
};

inline QStringList shown(const DialogAnswerer &answers)
{
    QStringList texts = answers.boxTexts;
    texts.removeAll(QString()); // the restart question is no message box
    return texts;
}

template<class Page> QAbstractButton *button(Page *page, const QString &mode)
{
    return mode == QLatin1String("send") ? page->btnUploadDeviceLists : page->btnDownloadDeviceLists;
}

template<class Page> int rows(Page *page)
{
    return page->projectManager()->itemsModel->rowCount();
}

// Renames the first item, so the list has changes the receiver has not got.
template<class Page> void editFirst(Page *page, const QString &type)
{
    ListItemsDatabaseModel *items = page->projectManager()->itemsModel;
    const int column = page->projectManager()->fieldColumns.value(
        type == QLatin1String("link") ? QStringLiteral("title") : QStringLiteral("name"));
    QVERIFY(items->setData(items->index(0, column), QStringLiteral("Edited"), Qt::EditRole));
    QVERIFY(page->projectManager()->isModified());
}

// Each test starts from empty settings that still ask before a send restarts the receiver.
inline void startAskingBeforeRestart()
{
    QSettings().clear();
    Settings::setString(Settings::SendingListsRestartWarning, QStringLiteral("1"));
}

// Calls add(type, mode) for every list type, sending and downloading.
template<class Add> void forEachTypeAndMode(Add &&add)
{
    for (const char *type : {"tv", "radio", "link"})
        for (const char *mode : {"send", "download"})
            add(type, mode);
}

// The rows "type mode" of a test with only those two columns.
inline void addTypeAndModeRows()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("mode");
    forEachTypeAndMode([](const char *type, const char *mode) { QTest::addRow("%s %s", type, mode) << type << mode; });
}

// The receiver's description of four favourite lists of each kind, with no satellites in it.
inline QString fourListDescriptionWithoutSatellites()
{
    QString text = fourListDescription();
    const qsizetype from = text.indexOf(QStringLiteral("<satellites>"));
    const qsizetype to = text.indexOf(QStringLiteral("</satellites>")) + int(qstrlen("</satellites>"));
    return text.remove(from, to - from);
}

// Shows the window, waits until it is connected to its one saved receiver and makes that receiver's page
// of this class the current one; receiver and page are null where that failed.
template<class Page> void showConnectedPage(MainWindow &window, ZBDevice *&receiver, Page *&page)
{
    receiver = nullptr;
    page = nullptr;
    window.resize(1280, 800);
    window.show();
    QCOMPARE(window.collection()->count(), 1);
    receiver = window.collection()->at(0);
    QTRY_VERIFY_WITH_TIMEOUT(receiver->isConnected(), 10000);
    page = qobject_cast<Page *>(receiver->module(moduleTypeOf<Page>()));
    QVERIFY(page);
    window.setCurrentModule(page, true);
}

// The whole program connected to the emulator saved as its one receiver (room for four favourite lists of
// each kind, its lists served), the receiver's page of this class current. Members go window first.
template<class Page> struct ConnectedWindow
{
    ReceiverEmulator emulator;
    std::shared_ptr<ReceiverLists> lists = ReceiverLists::install(emulator);
    DialogAnswerer answers;
    std::unique_ptr<MainWindow> window;
    ZBDevice *receiver = nullptr;
    Page *page = nullptr;

    // Starts the emulator describing itself so and shows the window connected to it; receiver and page are null
    // where that failed.
    void open(const QString &description = fourListDescription())
    {
        emulator.setDescription(description);
        QVERIFY(emulator.start());
        saveAsTheWindowsReceiver(emulator);
        window = std::make_unique<MainWindow>();
        showConnectedPage(*window, receiver, page);
    }
    // Once the receiver is connected again, Send (Yes to the restart question) takes the list: the receiver
    // holds one more, and the project counts as saved.
    void sendGoesThrough()
    {
        QTRY_VERIFY_WITH_TIMEOUT(receiver->isConnected() && page->btnUploadDeviceLists->isEnabled(), 20000);
        const int before = lists->uploads();
        answers.boxAnswers = {QStringLiteral("&Yes")};
        page->btnUploadDeviceLists->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        QCOMPARE(lists->uploads(), before + 1);
        QVERIFY(!page->projectManager()->isModified());
    }
    // The TV page's request for satellites (Yes to the question ask, the one box shown) takes those of the
    // receiver's description of four lists: its two satellites.
    void satellitesTaken(const QString &ask)
    {
        emulator.setDescription(fourListDescription());
        answers.boxTexts.clear();
        answers.boxAnswers = {QStringLiteral("&Yes")};
        QVERIFY(QMetaObject::invokeMethod(page, "onPredefinedSatellitesButtonClicked"));
        QTRY_VERIFY_WITH_TIMEOUT(!page->pendingTask(), 30000);
        QCoreApplication::processEvents();
        QCOMPARE(shown(answers), QStringList{ask});
        QCOMPARE(page->deviceInfo()->satelliteCount(), 2);
    }
};

} // namespace TransferLost

using namespace TransferLost;
