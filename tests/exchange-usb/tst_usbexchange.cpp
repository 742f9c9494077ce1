#include "base/driveflush.h"
#include "base/drivelist.h"
#include "base/translatorloader.h"
#include "device/core/zbdeviceinfo.h"
#include "document/docitemsdataprovider.h"
#include "exchange/listsimportwizard.h"
#include "exchange/selectdrivedialog.h"
#include "listfiles/exportdrivepicker.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "listfiles/usbreceiverwindow.h"
#include "testmain.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QMovie>
#include <QPushButton>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTranslator>

#include <atomic>
#include <memory>

namespace {
const QString tvList = QStringLiteral(
    "<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/>"
    "<items><tvService id=\"0\"><name>Das Erste</name></tvService><tvService id=\"1\"><name>ZDF</name></tvService>"
    "</items><lists><list id=\"0\"><ref>1</ref></list></lists></TDocument>\n");

bool touch(const QString &path, const QByteArray &bytes = {})
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// tvList with its services made radio services.
QString radioList()
{
    return QString(tvList).replace("tvService", "radioService").replace("Das Erste", "Bayern 3");
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestUsbExchange : public QObject
{
    Q_OBJECT
    QTemporaryDir root;
    QStringList plugged; // the drives the PC sees now
    QString stick, other;
    QWidget parent;

    // Runs a modal dialog while each step waits for its condition on a 20 ms tick; a step that never comes
    // closes the dialog after 10 s, so a broken wizard fails instead of hanging.
    using Step = std::pair<std::function<bool()>, std::function<void()>>;
    int run(QDialog *dialog, QList<Step> steps)
    {
        int done = 0;
        QTimer tick;
        QElapsedTimer clock;
        clock.start();
        connect(&tick, &QTimer::timeout, dialog, [&] {
            if (done < steps.size() && steps[done].first())
                steps[done++].second();
            if (clock.elapsed() > 10000)
                dialog->reject();
        });
        tick.start(20);
        const int result = dialog->exec();
        if (done < steps.size())
            QTest::qFail("a step of the script never came", __FILE__, __LINE__);
        return result;
    }
    static bool now() { return true; }
    // The drive picker (the export's too, until cleanup) is answered by pick; every message box is
    // recorded and closed.
    void answerPickerAndBoxes(QStringList *boxes, std::function<void(SelectDriveDialog *)> pick)
    {
        MessageBox::setAnswerHook([boxes, pick](QDialog *d) {
            if (auto *picker = qobject_cast<SelectDriveDialog *>(d))
                return pick(picker);
            if (auto *message = qobject_cast<QMessageBox *>(d))
                *boxes << message->text();
            d->reject();
        });
        SelectDriveDialog::registerAsExportPicker();
    }
    int page(QDialog *wizard) { return wizard->findChild<QStackedWidget *>("wgdWizzard")->currentIndex(); }

private slots:
    void init()
    {
        QVERIFY(QDir(root.path()).removeRecursively() && QDir().mkpath(root.path()));
        stick = root.filePath("stick");
        other = root.filePath("other");
        QVERIFY(QDir().mkpath(stick) && QDir().mkpath(other));
        plugged = {stick};
        DriveList::setSource([this] {
            QFileInfoList drives;
            for (const QString &path : std::as_const(plugged))
                drives << QFileInfo(path + "/");
            return drives;
        });
        DriveFlush::setFailureForTests(false);
    }
    void cleanup()
    {
        DriveList::setSource({});
        ExportDrivePicker::setPicker({});
        MessageBox::setAnswerHook({});
        DriveFlush::setStartHookForTests({});
    }

    void removableRule_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("diskRemovable");
        QTest::addColumn<bool>("counts");
        const QString l = "36 25 8:17 / %1 rw,nosuid - %2 %3 rw";
        QTest::newRow("stick under /media") << l.arg("/media/anna/MY\\040STICK", "vfat", "/dev/sdb1") << false << true;
        QTest::newRow("/run/media") << l.arg("/run/media/anna/S", "exfat", "/dev/sdc1") << false << true;
        QTest::newRow("removable disk elsewhere") << l.arg("/mnt/usb", "ext4", "/dev/sdb1") << true << true;
        QTest::newRow("fixed disk elsewhere") << l.arg("/home", "ext4", "/dev/sda3") << false << false;
        QTest::newRow("root never") << l.arg("/", "ext4", "/dev/sdb1") << true << false;
        QTest::newRow("network share") << l.arg("/media/share", "cifs", "//nas/share") << false << false;
        QTest::newRow("pseudo fs") << l.arg("/media/tmp", "tmpfs", "tmpfs") << true << false;
        QTest::newRow("garbage") << QString("36 25 8:17") << true << false;
    }
    void removableRule()
    {
        QFETCH(QString, line);
        QFETCH(bool, diskRemovable);
        QFETCH(bool, counts);
        const DriveList::Mount mount = DriveList::parseMountInfoLine(line);
        QCOMPARE(DriveList::isRemovableVolume(mount, diskRemovable), counts);
        if (QTest::currentDataTag() == QLatin1String("stick under /media"))
            QCOMPARE(mount.mountPoint, QString("/media/anna/MY STICK"));
    }

    // The whole import with the receiver stand-in: waiting exports of other kinds stay, the marker is written,
    // a wrong drive is warned about, the returning stick is accepted and its list opens.
    void wholeImport()
    {
        QVERIFY(touch(stick + "/FavsListUpdate.rdqvx") && touch(stick + "/FavsListUpdate.lkqvx"));
        ListsImportWizard wizard(&parent, "tvqvx", stick); // no trailing separator: the marker goes inside
        QElapsedTimer pulled;
        auto *warning = wizard.findChild<QLabel *>("lblWarning");
        // clang-format off
        const int result = run(&wizard, {
            {[&] { return page(&wizard) == 1; }, [&] {
                QCOMPARE(QDir(stick).entryList(QDir::Files),
                         (QStringList{"dbxmlexport", "FavsListUpdate.lkqvx", "FavsListUpdate.rdqvx"}));
                QCOMPARE(wizard.findChild<QLabel *>("lblPrepareUSB_2")->text(), QString("Drive is now prepared for "
                         "import lists from device. Please unplug drive and plug it into the device!"));
                plugged.clear(); // the receiver finds the marker, writes its lists and drops the marker
                QVERIFY(touch(stick + "/FavsListUpdate.tvqvx", tvList.toUtf8()) && QFile::remove(stick + "/dbxmlexport"));
            }},
            {[&] { return page(&wizard) == 2; }, [&] { plugged = {other}; }},
            {[&] { return warning->isVisible(); }, [&] { plugged.clear(); pulled.start(); }},
            // the wizard polls once a second: the stick comes back after it has seen the other drive go
            {[&] { return pulled.elapsed() > 1500; }, [&] { plugged = {stick}; }},
        });
        // clang-format on
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(wizard.findImportFile(), stick + "/FavsListUpdate.tvqvx");
        TVListProjectFileManager manager(&parent);
        QVERIFY(manager.loadFile(wizard.findImportFile()));
        QCOMPARE(manager.itemsDataProvider()->count(), 2);
    }

    // What the first page is, and what the drive holds after it, for the drives a user may bring.
    void firstPage_data()
    {
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("present"); // "f:name" a file, "d:name" a folder
        QTest::addColumn<int>("expectedPage");
        QTest::addColumn<QStringList>("after");
        // clang-format off
        QTest::newRow("list in other case") << "stick" << "f:favslistupdate.TVQVX" << 0 << QStringList{"favslistupdate.TVQVX"};
        QTest::newRow("folder named like the list") << "stick" << "d:FavsListUpdate.tvqvx" << 1 << QStringList{"dbxmlexport", "FavsListUpdate.tvqvx"};
        QTest::newRow("folder named like the marker") << "stick" << "d:dbxmlexport" << 3 << QStringList{"dbxmlexport"};
        QTest::newRow("no drive chosen") << "" << "" << 3 << QStringList{};
        QTest::newRow("relative path") << "." << "" << 3 << QStringList{};
        // clang-format on
    }
    void firstPage()
    {
        QFETCH(QString, drive);
        QFETCH(QString, present);
        QFETCH(int, expectedPage);
        QFETCH(QStringList, after);
        const QString path = drive == "stick" ? stick : drive;
        if (present.startsWith("f:"))
            QVERIFY(touch(stick + "/" + present.mid(2)));
        else if (present.startsWith("d:"))
            QVERIFY(QDir(stick).mkdir(present.mid(2)));
        QDir::setCurrent(other); // a null or relative path must not reach the working folder
        ListsImportWizard wizard(&parent, "tvqvx", path);
        int shown = -1;
        // clang-format off
        const int result = run(&wizard, {{[&] { return page(&wizard) != 5; }, [&] {
            if ((shown = page(&wizard)) == 0) QTest::mousePress(wizard.findChild<QPushButton *>("btnImport"), Qt::LeftButton);
            else wizard.reject();
        }}});
        // clang-format on
        QCOMPARE(shown, expectedPage);
        QCOMPARE(QDir(stick).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase), after);
        QVERIFY(QDir(other).isEmpty());
        QCOMPARE(result, int(shown == 0 ? QDialog::Accepted : QDialog::Rejected));
    }

    void exportReadyAndFlushFailure()
    {
        ListsImportWizard ready(&parent, QString(), QString());
        ready.setPage(4);
        QCOMPARE(run(&ready, {{now, [&] { plugged.clear(); }}}), int(QDialog::Rejected));
        QVERIFY(QDir(stick).isEmpty());
        plugged = {stick};
        DriveFlush::setFailureForTests(true);
        ListsImportWizard wizard(&parent, "tvqvx", stick);
        run(&wizard, {{[&] { return page(&wizard) != 5; },
                       [&] {
                           QVERIFY(page(&wizard) == 3);
                           wizard.reject();
                       }}});
    }

    // The prepared drive is written out beside the window: the busy page shows its animation and answers
    // a click while the drive is still being written; without one the wizard moves on by itself.
    void flushBesideTheWindow()
    {
        // shared with the flushing thread, which may outlive a failed test
        struct Gate
        {
            QSemaphore release;
            std::atomic_bool onGuiThread{true};
            std::atomic_bool held{false};
            std::atomic_int entered{0};
        };
        const auto gate = std::make_shared<Gate>();
        DriveFlush::setStartHookForTests([gate] {
            gate->onGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
            gate->held = true;
            ++gate->entered;
            gate->release.tryAcquire(1, 5000); // a flush on the GUI thread would hold the window this long
            gate->held = false;
        });
        QSemaphore &release = gate->release;
        std::atomic_bool &onGuiThread = gate->onGuiThread;
        std::atomic_bool &held = gate->held;
        std::atomic_int &entered = gate->entered;
        const auto movie = [](QDialog *wizard) { return wizard->findChild<QLabel *>("lblWritingAnimation")->movie(); };
        ListsImportWizard wizard(&parent, "tvqvx", stick);
        // clang-format off
        const int moved = run(&wizard, {
            {[&] { return entered == 1 && page(&wizard) == 5; }, [&] {
                QVERIFY(!onGuiThread);
                QVERIFY(movie(&wizard) && movie(&wizard)->state() == QMovie::Running);
                QVERIFY(QFile::exists(stick + "/dbxmlexport"));
                release.release();
            }},
            {[&] { return page(&wizard) == 1; }, [&] { wizard.reject(); }},
        });
        // clang-format on
        QCOMPARE(moved, int(QDialog::Rejected));

        // Cancel while the drive is still being written closes the wizard at once; the flush ends later
        // and reaches nobody
        auto cancelled = std::make_unique<ListsImportWizard>(&parent, "tvqvx", stick);
        // clang-format off
        const int result = run(cancelled.get(), {{[&] { return entered == 2 && page(cancelled.get()) == 5; }, [&] {
            QTest::mousePress(cancelled->findChild<QPushButton *>("btnCancel5"), Qt::LeftButton);
        }}});
        // clang-format on
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(held);
        cancelled.reset();
        release.release();
        QTRY_VERIFY(!held);
        DriveFlush::setStartHookForTests({});
    }

    // The picker: the plugged drives sorted, OK only with a choice, a rebuild keeping or dropping it, and the
    // export through it writing the list onto the chosen drive and taking the marker away.
    void drivePickerAndExport()
    {
        plugged = {stick, other};
        SelectDriveDialog dialog(&parent);
        auto *view = dialog.lvDrives;
        auto *ok = dialog.buttonBox->button(QDialogButtonBox::Ok);
        QCOMPARE(view->model()->rowCount(), 2);
        QCOMPARE(view->model()->index(0, 0).data().toString(), QString("other"));
        QVERIFY(!ok->isEnabled());
        view->setCurrentIndex(view->model()->index(1, 0));
        QCOMPARE(dialog.selectedPath, stick + "/");
        QVERIFY(ok->isEnabled());
        plugged = {stick, other, root.filePath("third")};
        QTRY_COMPARE_WITH_TIMEOUT(view->model()->rowCount(), 3, 3000); // within a tick
        QCOMPARE(view->selectionModel()->selectedIndexes().value(0).data().toString(), QString("stick"));
        plugged = {other};
        QTest::mousePress(dialog.btnRefresh, Qt::LeftButton);
        QVERIFY(dialog.selectedPath.isNull() && !ok->isEnabled());

        QTranslator translator;
        QVERIFY(loadTranslator(&translator, "de_DE"));
        QTRY_COMPARE(dialog.btnRefresh->text(), QString("Aktualisieren"));
        loadTranslator(&translator, "en_EN");

        QVERIFY(touch(stick + "/dbxmlexport"));
        plugged = {stick};
        SelectDriveDialog::registerAsExportPicker();
        MessageBox::setAnswerHook([](QDialog *d) {
            auto *picker = qobject_cast<SelectDriveDialog *>(d);
            if (!picker)
                return d->reject();
            QListView *view = picker->lvDrives;
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(view->model()->index(0, 0)).center());
            QTest::mouseClick(picker->buttonBox->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        TVListProjectFileManager manager(&parent);
        QSignalSpy exported(&manager, &ProjectFileManager::onAfterExport);
        QVERIFY(manager.newProject(tvList));
        QVERIFY(manager.exportProject());
        QVERIFY(QFile::exists(stick + "/FavsListUpdate.tvqvx") && !QFile::exists(stick + "/dbxmlexport"));
        QTRY_COMPARE(exported.size(), 1);
        QCOMPARE(exported.last().value(0).toBool(), true);
        DriveFlush::setFailureForTests(true);
        QVERIFY(manager.exportProject()); // written; the flush fails, the write error box is answered by the hook
        QTRY_COMPARE(exported.size(), 2);
        QCOMPARE(exported.last().value(0).toBool(), false);
    }

    // An export is written out to its drive beside the window: the export returns at once, the window
    // answers while the drive is written, a second export meanwhile is refused, and the outcome follows,
    // a failure as a failure with its reason; the next export after it works.
    void exportFlushesBesideTheWindow()
    {
        struct Gate // shared with the flushing thread, which may outlive a failed test
        {
            QSemaphore release;
            std::atomic_bool onGuiThread{false};
            std::atomic_bool held{false};
        };
        const auto gate = std::make_shared<Gate>();
        DriveFlush::setStartHookForTests([gate] {
            gate->onGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
            gate->held = true;
            gate->release.tryAcquire(1, 5000); // a flush on the GUI thread would hold the window this long
            gate->held = false;
        });
        QStringList boxes;
        MessageBox::setAnswerHook([&boxes](QDialog *box) {
            if (auto *message = qobject_cast<QMessageBox *>(box))
                boxes << message->text();
            box->reject();
        });
        ExportDrivePicker::setPicker([this](QWidget *) { return stick; });
        const auto noPicker = qScopeGuard([] { ExportDrivePicker::setPicker({}); });
        TVListProjectFileManager manager(&parent);
        QSignalSpy exported(&manager, &ProjectFileManager::onAfterExport);
        QVERIFY(manager.newProject(tvList));
        QVERIFY(touch(stick + "/dbxmlexport"));
        QVERIFY(manager.exportProject());
        QTRY_VERIFY(gate->held);
        QVERIFY(!gate->onGuiThread);
        QCOMPARE(exported.size(), 0);
        QVERIFY(QFile::exists(stick + "/FavsListUpdate.tvqvx") && !QFile::exists(stick + "/dbxmlexport"));
        bool answered = false;
        QTimer::singleShot(0, &parent, [&answered] { answered = true; });
        QTRY_VERIFY(answered);
        QVERIFY(gate->held);
        // still writing out: refused in words, before a drive is asked for; no second outcome
        int picked = 0;
        ExportDrivePicker::setPicker([this, &picked](QWidget *) {
            ++picked;
            return stick;
        });
        QVERIFY(!manager.exportProject());
        QCOMPARE(boxes, QStringList{"The last export is still being written to the drive. Wait until it is "
                                    "finished, then export again."});
        QCOMPARE(picked, 0);
        boxes.clear();
        gate->release.release();
        QTRY_COMPARE(exported.size(), 1);
        QCOMPARE(exported.last().value(0).toBool(), true);
        QCOMPARE(boxes, QStringList());

        DriveFlush::setFailureForTests(true);
        gate->release.release(); // this flush is not held
        QVERIFY(manager.exportProject());
        QTRY_COMPARE(exported.size(), 2);
        QCOMPARE(exported.last().value(0).toBool(), false);
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.first().contains("The drive did not confirm the data."), qPrintable(boxes.first()));

        DriveFlush::setFailureForTests(false);
        gate->release.release();
        QVERIFY(manager.exportProject());
        QCOMPARE(picked, 2); // the export after a failed one asks for its drive again
        QTRY_COMPARE(exported.size(), 3);
        QCOMPARE(exported.last().value(0).toBool(), true);
        QTRY_VERIFY(!gate->held);
    }

    // Preparing a stick deletes only this kind's old list, and only once the question has named it; a
    // waiting export of another kind stays. A list that came after the question is asked about first.
    void prepareDeletesOnlyWhatTheQuestionNamed()
    {
        QVERIFY(touch(stick + "/FavsListUpdate.tvqvx", tvList.toUtf8()));
        QVERIFY(touch(stick + "/FavsListUpdate.rdqvx", "radio export"));
        ListsImportWizard wizard(&parent, "tvqvx", stick);
        auto *question = wizard.findChild<QLabel *>("label_6");
        auto *prepare = wizard.findChild<QPushButton *>("btnPrepareUSB");
        QString asked, askedAgain;
        int pageAfterFirstPress = -1;
        QStringList keptAfterFirstPress;
        // clang-format off
        const int result = run(&wizard, {
            {[&] { return page(&wizard) == 0; }, [&] {
                asked = question->text();
                QVERIFY(touch(stick + "/favslistupdate.TVQVX", "came later"));
                QTest::mousePress(prepare, Qt::LeftButton);
                pageAfterFirstPress = page(&wizard);
                askedAgain = question->text();
                keptAfterFirstPress = QDir(stick).entryList(QDir::Files);
                QTest::mousePress(prepare, Qt::LeftButton);
            }},
            {[&] { return page(&wizard) == 1; }, [&] { wizard.reject(); }},
        });
        // clang-format on
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(asked, QString("Choosing 'Prepare drive' will delete FavsListUpdate.tvqvx from drive."));
        QCOMPARE(pageAfterFirstPress, 0);
        QCOMPARE(keptAfterFirstPress.size(), 3);
        QVERIFY2(askedAgain.contains("favslistupdate.TVQVX") && askedAgain.contains("FavsListUpdate.tvqvx"),
                 qPrintable(askedAgain));
        QCOMPARE(QDir(stick).entryList(QDir::Files), (QStringList{"dbxmlexport", "FavsListUpdate.rdqvx"}));
        QCOMPARE(contents(stick + "/FavsListUpdate.rdqvx"), QByteArray("radio export"));
    }

    // The stick unmounted while the picker is open (its mount folder stays): the export writes nothing on
    // the PC's disk and says the drive is gone; plugged in again, the export goes onto it. Preparing a
    // stick that went away writes nothing either.
    void driveGoneBeforeWriting()
    {
        QStringList boxes;
        int pickers = 0;
        answerPickerAndBoxes(&boxes, [&](SelectDriveDialog *picker) {
            QListView *view = picker->lvDrives;
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(view->model()->index(0, 0)).center());
            if (++pickers == 1)
                plugged.clear(); // unmounted while the picker is open; its mount folder stays
            QTest::mouseClick(picker->buttonBox->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        TVListProjectFileManager manager(&parent);
        QSignalSpy exported(&manager, &ProjectFileManager::onAfterExport);
        QVERIFY(manager.newProject(tvList));
        QVERIFY(!manager.exportProject());
        QCOMPARE(exported.size(), 1);
        QCOMPARE(exported.last().value(0).toBool(), false);
        QCOMPARE(boxes, QStringList{QString("The drive %1/ is no longer there. Nothing was exported: plug the drive "
                                            "in and export again.")
                                        .arg(stick)});
        QVERIFY(QDir(stick).isEmpty());

        plugged = {stick};
        boxes.clear();
        QVERIFY(manager.exportProject());
        QTRY_COMPARE(exported.size(), 2);
        QCOMPARE(exported.last().value(0).toBool(), true);
        QCOMPARE(pickers, 2);
        QVERIFY(QFile::exists(stick + "/FavsListUpdate.tvqvx"));
        QCOMPARE(boxes, QStringList());

        QVERIFY(QFile::remove(stick + "/FavsListUpdate.tvqvx"));
        plugged.clear();
        ListsImportWizard wizard(&parent, "tvqvx", stick);
        QString error;
        run(&wizard, {{[&] { return page(&wizard) != 5; },
                       [&] {
                           QCOMPARE(page(&wizard), 3);
                           error = wizard.findChild<QLabel *>("lblError")->text();
                           wizard.reject();
                       }}});
        QCOMPARE(error, QString("The drive %1 is no longer there. Nothing was written: plug the drive in and try "
                                "again.")
                            .arg(stick));
        QVERIFY(QDir(stick).isEmpty());
    }

    // A TV list saved on the stick under the radio export's name and imported on a USB receiver's radio
    // page is refused in words; the open radio list stays, and Send puts that radio list on the stick.
    void wrongKindFromTheStick()
    {
        QVERIFY(touch(stick + "/FavsListUpdate.rdqvx", tvList.toUtf8()));
        ZBDeviceInfo receiver(QStringLiteral("Stick"), QString(), true);
        RadioListModule module;
        module.setDeviceInfo(&receiver);
        module.show();
        module.onShow();
        QVERIFY(module.projectManager()->newProject(radioList()));
        const QString before = module.projectManager()->documentText();
        QStringList boxes;
        answerPickerAndBoxes(&boxes, [&](SelectDriveDialog *picker) {
            picker->selectedPath = stick + "/";
            picker->done(QDialog::Accepted);
        });
        int imports = 0, readyPages = 0;
        QTimer wizards;
        connect(&wizards, &QTimer::timeout, this, [&] {
            auto *wizard = qobject_cast<ListsImportWizard *>(QApplication::activeModalWidget());
            if (!wizard)
                return;
            if (page(wizard) == 0) {
                ++imports;
                QTest::mousePress(wizard->findChild<QPushButton *>("btnImport"), Qt::LeftButton);
            } else if (page(wizard) == 4) {
                ++readyPages;
                wizard->reject();
            }
        });
        wizards.start(20);
        module.btnDownloadDeviceLists->click();
        QCOMPARE(imports, 1);
        QCOMPARE(boxes, QStringList{"Error. This file holds TV lists, not radio lists."});
        QCOMPARE(module.projectManager()->documentText(), before);
        QCOMPARE(module.itemsTableViewAll->model()->rowCount(), 2);

        module.btnUploadDeviceLists->click();
        QTRY_COMPARE(readyPages, 1);
        const QByteArray sent = contents(stick + "/FavsListUpdate.rdqvx");
        QVERIFY2(sent.contains("radioService") && sent.contains("Bayern 3") && !sent.contains("tvService"),
                 sent.constData());
        QCOMPARE(boxes.size(), 1);
    }

    // In the whole program, a USB receiver's radio page: a radio export holding TV services handed to the
    // window is refused and the open list stays; Send while the last export is still written out to the
    // stick says so, and the stick gets the open radio list once.
    void wrongKindAndSecondSendInTheWindow()
    {
        struct Gate // shared with the flushing thread, which may outlive a failed test
        {
            QSemaphore release;
            std::atomic_int entered{0};
        };
        const auto gate = std::make_shared<Gate>();
        DriveFlush::setStartHookForTests([gate] {
            ++gate->entered;
            gate->release.tryAcquire(1, 5000);
        });
        const QString own = listFile(root, "own.rdqvxc", radioList());
        QVERIFY(!own.isEmpty());
        QVERIFY(touch(other + "/FavsListUpdate.rdqvx", tvList.toUtf8()));
        Settings::setString(Settings::SendingListsRestartWarning, QString());
        QStringList boxes;
        answerPickerAndBoxes(&boxes, [&](SelectDriveDialog *picker) {
            picker->selectedPath = stick + "/";
            picker->done(QDialog::Accepted);
        });
        int readyPages = 0;
        QTimer wizards;
        connect(&wizards, &QTimer::timeout, this, [&] {
            auto *wizard = qobject_cast<ListsImportWizard *>(QApplication::activeModalWidget());
            if (wizard && page(wizard) == 4) {
                ++readyPages;
                wizard->reject();
            }
        });
        wizards.start(20);
        UsbReceiverWindow program;
        MainWindow &window = program.window;
        auto *module = program.open<RadioListModule>(own);
        QVERIFY(module);
        QCOMPARE(module->itemsTableViewAll->model()->rowCount(), 2);
        const QString before = module->projectManager()->documentText();

        window.tryToOpenFile(other + "/FavsListUpdate.rdqvx");
        QCOMPARE(boxes, QStringList{"Error. This file holds TV lists, not radio lists."});
        QCOMPARE(window.currentModule(), module);
        QCOMPARE(module->projectManager()->fileName(), own);
        QCOMPARE(module->projectManager()->documentText(), before);
        QCOMPARE(module->itemsTableViewAll->model()->rowCount(), 2);
        QCOMPARE(module->stackedWidget->currentIndex(), 1);

        boxes.clear();
        module->btnUploadDeviceLists->click();
        QTRY_COMPARE(gate->entered.load(), 1);
        module->btnUploadDeviceLists->click();
        QCOMPARE(boxes, QStringList{"The last export is still being written to the drive. Wait until it is "
                                    "finished, then export again."});
        gate->release.release();
        QTRY_COMPARE(readyPages, 1);
        const QByteArray sent = contents(stick + "/FavsListUpdate.rdqvx");
        QVERIFY2(sent.contains("Bayern 3") && !sent.contains("tvService"), sent.constData());
        QCOMPARE(gate->entered.load(), 1);
        QCOMPARE(boxes.size(), 1);
        DriveFlush::setStartHookForTests({});
    }

    // One stick for both pages of a USB receiver in the whole program: the radio page's export waits on it
    // while the TV page prepares it for an import, and stays; the TV page's Send with the stick pulled
    // while the picker was open writes nothing and says the drive is gone.
    void oneStickForTwoPagesInTheWindow()
    {
        const QString radioFile = listFile(root, "own.rdqvxc", radioList());
        const QString tvFile = listFile(root, "own.tvqvxc", tvList);
        Settings::setString(Settings::SendingListsRestartWarning, QString());
        QStringList boxes;
        bool pullWhilePicking = false;
        answerPickerAndBoxes(&boxes, [&](SelectDriveDialog *picker) {
            picker->selectedPath = stick + "/";
            if (pullWhilePicking)
                plugged.clear();
            picker->done(QDialog::Accepted);
        });
        QList<int> wizardPages; // the pages the wizards came to rest on
        QTimer wizards;
        connect(&wizards, &QTimer::timeout, this, [&] {
            auto *wizard = qobject_cast<ListsImportWizard *>(QApplication::activeModalWidget());
            if (wizard && (page(wizard) == 1 || page(wizard) == 4)) {
                wizardPages << page(wizard);
                wizard->reject();
            }
        });
        wizards.start(20);
        UsbReceiverWindow program;
        auto *radio = program.open<RadioListModule>(radioFile);
        QVERIFY(radio);
        radio->btnUploadDeviceLists->click();
        QTRY_COMPARE(wizardPages, QList<int>{4});
        const QByteArray waiting = contents(stick + "/FavsListUpdate.rdqvx");
        QVERIFY(waiting.contains("Bayern 3"));

        auto *tv = program.open<TVListModule>(tvFile);
        QVERIFY(tv);
        tv->btnDownloadDeviceLists->click();
        QTRY_COMPARE(wizardPages, (QList<int>{4, 1}));
        QCOMPARE(QDir(stick).entryList(QDir::Files), (QStringList{"dbxmlexport", "FavsListUpdate.rdqvx"}));
        QCOMPARE(contents(stick + "/FavsListUpdate.rdqvx"), waiting);
        QCOMPARE(boxes, QStringList());

        pullWhilePicking = true;
        tv->btnUploadDeviceLists->click();
        QCOMPARE(boxes, QStringList{QString("The drive %1/ is no longer there. Nothing was exported: plug the drive "
                                            "in and export again.")
                                        .arg(stick)});
        QVERIFY(!QFile::exists(stick + "/FavsListUpdate.tvqvx"));
        QVERIFY(QFile::exists(stick + "/dbxmlexport"));
        QCOMPARE(wizardPages, (QList<int>{4, 1}));
        QCOMPARE(tv->projectManager()->fileName(), tvFile);
    }
};

OMBRELAY_TEST_MAIN(TestUsbExchange)
#include "tst_usbexchange.moc"
