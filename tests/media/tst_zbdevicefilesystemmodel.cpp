#include "testmain.h"

#include "mediareceiver.h"

#include "base/translatorloader.h"
#include "device/core/devicetask.h"
#include "device/transfers/devicefilesystemitem.h"
#include "media/zbdevicefilesystemmodel.h"

#include <QAbstractItemModelTester>
#include <QMimeData>
#include <QScopeGuard>
#include <QTranslator>
#include <QTreeView>

// The receiver tree against the emulated receiver: real sockets and worker thread.
class TestZBDeviceFileSystemModel : public QObject
{
    Q_OBJECT
    std::unique_ptr<MediaReceiver> r;
    std::unique_ptr<ZBDeviceFileSystemModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;

    bool listVolumes()
    {
        QSignalSpy ready(model.get(), &ZBDeviceFileSystemModel::fileSystemInitialized);
        model->initFileSystem();
        return ready.wait(10000) && ready.first().value(0).toBool();
    }
    // By the items' names: a row being listed shows more than its name.
    QModelIndex volume(const QString &name)
    {
        for (int i = 0; i < model->rowCount(); ++i)
            if (model->itemFromIndex(model->index(i, 0))->name() == name)
                return model->index(i, 0);
        return {};
    }
    QStringList names(const QModelIndex &parent)
    {
        QStringList out;
        for (int i = 0; i < model->rowCount(parent); ++i)
            out << model->itemFromIndex(model->index(i, 0, parent))->name();
        return out;
    }
    // The first listing after the volumes is held, whoever asks for it (the checker asks for the first
    // drive as soon as the drives are there).
    bool listVolumesHoldingNext()
    {
        const QMetaObject::Connection hold = connect(model.get(), &ZBDeviceFileSystemModel::fileSystemInitialized,
                                                     model.get(), [this] { r->media->holdListing = true; });
        const bool listed = listVolumes();
        disconnect(hold);
        return listed;
    }

private slots:
    void init()
    {
        r = std::make_unique<MediaReceiver>();
        r->file("hdd/Movies/a.ts", "aaa");
        r->file("usb/b.jpg", "bb");
        QVERIFY(r->start());
        model = std::make_unique<ZBDeviceFileSystemModel>(r->manager.get());
        tester = std::make_unique<QAbstractItemModelTester>(model.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    void cleanup()
    {
        // A listing still on its way when the connection goes is not freed by the worker (nor one of a
        // request the checker's own fetches replaced).
        QTRY_VERIFY(!model->isFetching());
        QTRY_COMPARE(model->findChildren<DeviceTask *>().size(), 0);
        r->stop();
        tester.reset();
        model.reset();
        r.reset();
    }

    void volumesFoldersAndPayload()
    {
        QVERIFY(listVolumes());
        QCOMPARE(names({}), QStringList({"hdd", "usb"}));
        const QModelIndex hdd = volume("hdd");
        QCOMPARE(model->filePath(hdd), QStringLiteral("/hdd"));
        QVERIFY(model->isProtectedItem(hdd));
        QSignalSpy fetching(model.get(), &ZBDeviceFileSystemModel::fetching);
        model->fetchMore(hdd);
        QTRY_COMPARE(names(hdd), QStringList({"Movies"}));
        QVERIFY(model->isProtectedItem(model->index(0, 0, hdd)));
        // The checker asks for more on every change; one request at a time.
        QTRY_VERIFY(!model->isFetching());
        model->fetchMore(model->index(0, 0, hdd));
        QTRY_COMPARE(model->rowCount(model->index(0, 0, hdd)), 1);
        QTRY_VERIFY(!model->isFetching());
        const QModelIndex file = model->index(0, 0, model->index(0, 0, hdd));
        QVERIFY(!model->isProtectedItem(file));
        std::unique_ptr<QMimeData> data(model->mimeData({model->index(0, 0, hdd), file, model->index(0, 1, hdd)}));
        QCOMPARE(QString::fromUtf8(data->data("text/zbdevice-uri-list")),
                 QStringLiteral("dir:///hdd\\Movies*0\r\nfile:///hdd\\Movies\\a.ts*3\r\n"));
        QCOMPARE(fetching.last().value(0).toBool(), false);
    }

    // In German: a listing under way and sizes in the language's words and notation, as the PC pane shows
    // them; dates stay values.
    void textsInTheLanguage()
    {
        QTranslator translator;
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        const auto english = qScopeGuard([&] { loadTranslator(&translator, QStringLiteral("en_EN")); });
        const QDateTime when(QDate(2026, 12, 7), QTime(10, 0));
        r->file("hdd/Movies/big.ts", QByteArray(300000, 'x'), when);
        r->file("hdd/Movies/small.txt", QByteArray(10, 'x'), when);
        QVERIFY(listVolumesHoldingNext());
        const QPersistentModelIndex hdd = volume("hdd");
        model->fetchMore(hdd);
        QTRY_COMPARE(r->media->listingsOf("hdd"), 1);
        QCOMPARE(hdd.data().toString(), QStringLiteral("hdd (wird geöffnet...)"));
        r->media->holdListing = false;
        QTRY_COMPARE(names(hdd), QStringList({"Movies"}));
        QCOMPARE(hdd.data().toString(), QStringLiteral("hdd"));
        const QPersistentModelIndex movies = model->index(0, 0, hdd);
        model->fetchMore(movies);
        QTRY_COMPARE(model->rowCount(movies), 3);
        QStringList shown;
        for (const QString &name : {"big.ts", "small.txt"}) {
            const int row = int(names(movies).indexOf(name));
            QVERIFY(row >= 0);
            shown << model->index(row, 1, movies).data().toString();
            // the date as a value: the page's view writes it out in the language
            QCOMPARE(model->index(row, 3, movies).data().toDateTime(), when);
        }
        QCOMPARE(shown, QStringList({"293,0 KB", "10,0 Byte"}));
        // A folder has neither.
        QCOMPARE(QModelIndex(movies).siblingAtColumn(1).data(), QVariant());
        QVERIFY(!QModelIndex(movies).siblingAtColumn(3).data().toDateTime().isValid());
    }

    // Drive kinds and recordings as the receiver lists them, and the payload a recording gives.
    void volumeKindsAndRecordings_data()
    {
        QTest::addColumn<bool>("descSet"); // the recording is a "<name>.desc" set on disk, else declared
        QTest::addColumn<QString>("line");
        QTest::newRow("declared") << false << "rec://01-05-2026 20_15 News*12*7\r\n";
        QTest::newRow("desc set") << true << "rec://%1 News*5*16384\r\n";
    }
    void volumeKindsAndRecordings()
    {
        QFETCH(bool, descSet);
        QFETCH(QString, line);
        r->media->markRemovable("usb");
        const QDateTime date(QDate(2026, 5, 1), QTime(20, 15), Qt::UTC);
        if (descSet) {
            r->file("hdd/News.desc", "d", date);
            r->file("hdd/News.ts", "video", date);
        } else {
            r->media->addRecording("hdd", {7, 3, "News", date, {{0, "ts", "video"}, {1, "ts4", "picture"}}});
        }
        QVERIFY(listVolumes());
        QVERIFY(model->isRemovableVolume(volume("usb")));
        QVERIFY(!model->isRemovableVolume(volume("hdd")));
        QCOMPARE(volume("usb").siblingAtColumn(2).data().toString(), QStringLiteral("Removable Drive"));
        QCOMPARE(volume("hdd").siblingAtColumn(2).data().toString(), QStringLiteral("Drive"));
        const QModelIndex hdd = volume("hdd");
        model->fetchMore(hdd);
        QTRY_COMPARE(names(hdd), QStringList({"Movies", "News"}));
        const QModelIndex recording = model->index(1, 0, hdd);
        QVERIFY(model->itemFromIndex(recording)->isRecord());
        std::unique_ptr<QMimeData> data(model->mimeData({recording}));
        // A set's date is its file's, in the receiver's zone.
        const QString when = model->itemFromIndex(recording)->lastModified().toString("dd-MM-yyyy HH_mm");
        QCOMPARE(QString::fromUtf8(data->data("text/zbdevice-uri-list")), line.contains("%1") ? line.arg(when) : line);
    }

    // Where PC items dropped on the tree go, and which folder is listed again afterwards.
    void dropTargets_data()
    {
        QTest::addColumn<QString>("target");      // "" = no item, else a path below the volumes
        QTest::addColumn<QString>("destination"); // receiver folder sent ("-" = nothing happens)
        QTest::addColumn<QString>("refreshed");   // the folder listed again afterwards
        QTest::newRow("on a drive") << "hdd"
                                    << "/hdd"
                                    << "hdd";
        QTest::newRow("on a folder") << "hdd/Movies"
                                     << "/hdd\\Movies"
                                     << "hdd/Movies";
        QTest::newRow("on a file") << "hdd/Movies/a.ts"
                                   << "/hdd\\Movies"
                                   << "hdd/Movies";
        QTest::newRow("on no item") << ""
                                    << "-"
                                    << "";
    }
    void dropTargets()
    {
        QFETCH(QString, target);
        QFETCH(QString, destination);
        QFETCH(QString, refreshed);
        QVERIFY(listVolumes());
        QModelIndex at;
        for (const QString &name : target.split(u'/', Qt::SkipEmptyParts)) {
            QTRY_VERIFY(!model->isFetching());
            if (model->canFetchMore(at))
                model->fetchMore(at);
            QTRY_VERIFY(model->rowCount(at) > 0 && !model->isFetching());
            at = model->index(names(at).indexOf(name), 0, at);
            QVERIFY(at.isValid());
        }
        // The checker lists what it meets: let it finish before the drop.
        QTRY_VERIFY(!model->isFetching());
        QSignalSpy dropped(model.get(), &ZBDeviceFileSystemModel::mimeDataDropped);
        QMimeData data;
        data.setData("text/uri-list", "file:///pc/a.ts\r\n");
        QVERIFY(model->dropMimeData(&data, Qt::CopyAction, -1, -1, at));
        QCOMPARE(dropped.size(), destination == QLatin1String("-") ? 0 : 1);
        if (dropped.isEmpty())
            return;
        QCOMPARE(dropped.first().value(0).toString(), destination);
        QCOMPARE(dropped.first().value(1).toString(), QStringLiteral("file:///pc/a.ts\r\n"));
        const QModelIndex folder = dropped.first().value(2).value<QModelIndex>();
        QStringList path;
        for (QModelIndex up = folder; up.isValid(); up = up.parent())
            path.prepend(up.data().toString());
        QCOMPARE(path.join(u'/'), refreshed);
    }

    void insertionOrder_data()
    {
        QTest::addColumn<QList<int>>("days");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("3,2,1") << QList<int>{3, 2, 1} << QStringList{"f3", "f2", "f1"};
        QTest::newRow("1,3,2") << QList<int>{1, 3, 2} << QStringList{"f3", "f1", "f2"};
    }
    void insertionOrder()
    {
        // The emulator lists by name: f1, f2, f3 carry the days given.
        QFETCH(QList<int>, days);
        const QDateTime base(QDate(2026, 1, 1), QTime(12, 0), Qt::UTC);
        for (int i = 0; i < days.size(); ++i)
            r->file(QStringLiteral("rec/f%1").arg(i + 1), "x", base.addDays(days.at(i)));
        QVERIFY(listVolumes());
        const QPersistentModelIndex rec = volume("rec");
        model->fetchMore(rec);
        QTRY_COMPARE(model->rowCount(rec), 3);
        const QStringList files = names(rec);
        QFETCH(QStringList, expected);
        QCOMPARE(files, expected);
    }

    // Drives expanded in a view at once, while the first is still being listed: each is listed after it,
    // once and in the order asked, and shows its entries; those waiting can still be fetched meanwhile.
    // With the view alone and the first drive empty nothing else would ask again (no rows come, so the
    // view lays nothing out anew); the checker lists every folder it meets, the view's among them.
    void expandedWhileListing_data()
    {
        QTest::addColumn<bool>("checker");
        QTest::newRow("view alone, first drive empty") << false;
        QTest::newRow("view and checker") << true;
    }
    void expandedWhileListing()
    {
        QFETCH(bool, checker);
        if (checker) {
            r->file("cam/DCIM/c.jpg", "c");
        } else {
            QVERIFY(QDir().mkpath(r->root.filePath("cam")));
            tester.reset();
        }
        QTreeView view;
        view.setModel(model.get());
        view.resize(600, 400);
        view.show();
        QVERIFY(listVolumesHoldingNext());
        const QPersistentModelIndex cam = volume("cam"), hdd = volume("hdd"), usb = volume("usb");
        QStringList listed; // the folders whose rows came, in turn
        QObject listening;
        connect(model.get(), &QAbstractItemModel::rowsInserted, &listening, [&](const QModelIndex &parent) {
            if (parent.isValid())
                listed << model->itemFromIndex(parent)->name();
        });
        view.expand(cam);
        QTRY_COMPARE(r->media->listingsOf("cam"), 1);
        view.expand(hdd);
        view.expand(usb);
        QVERIFY(model->canFetchMore(hdd) && model->canFetchMore(usb));
        r->media->holdListing = false;
        const QList<QPersistentModelIndex> shown =
            checker ? QList<QPersistentModelIndex>{cam, hdd, usb} : QList<QPersistentModelIndex>{hdd, usb};
        for (const QPersistentModelIndex &drive : shown) {
            QTRY_COMPARE(model->rowCount(drive), 1);
            QVERIFY(view.isExpanded(drive));
            // The entry shows right below its drive.
            QTRY_COMPARE(view.indexBelow(drive), model->index(0, 0, drive));
            QVERIFY(view.visualRect(model->index(0, 0, drive)).isValid());
        }
        QTRY_VERIFY(!model->isFetching());
        QCOMPARE(model->rowCount(cam), checker ? 1 : 0);
        // (An empty drive stays one to fetch: the view asks for it again when it lays the tree out anew.)
        for (const char *drive : {"cam", "hdd", "usb"})
            if (checker || QByteArray(drive) != "cam")
                QCOMPARE(r->media->listingsOf(QString::fromLatin1(drive)), 1);
        // The drives asked for before the first one's rows came are listed before any folder asked later
        // (the checker asks for the folders inside as they come).
        if (checker)
            QCOMPARE(listed.mid(0, 3), (QStringList{"cam", "hdd", "usb"}));
        else
            QCOMPARE(listed, (QStringList{"hdd", "usb"}));
    }

    // A folder whose name the PC cannot ask for as the receiver holds it (a NUL, bytes that are no UTF-8, a
    // control character, ".") is never asked for under the name the tree shows, which names another folder or
    // none: expanding it says plainly that it cannot be opened, and the rest of the tree goes on working.
    void unreachableFolderIsNotAskedFor_data()
    {
        QTest::addColumn<QByteArray>("listed"); // the receiver's name for the folder "sub"
        QTest::addColumn<QString>("shown");
        QTest::newRow("NUL") << QByteArray("s\0ub", 4) << "sub";
        QTest::newRow("no UTF-8") << QByteArray("s\xe9ub") << QString::fromUtf8("s\uFFFDub");
        QTest::newRow("control character") << QByteArray("s\x01ub") << "sub";
        QTest::newRow("dot") << QByteArray(".") << ".";
    }
    void unreachableFolderIsNotAskedFor()
    {
        QFETCH(QByteArray, listed);
        QFETCH(QString, shown);
        tester.reset(); // it would expand every folder itself
        r->file("hdd/Odd/sub/in.ts", "in");
        r->file("hdd/Odd/ok/fine.ts", "fine");
        r->media->listAs("hdd/Odd/sub", listed);
        QTreeView view;
        view.setModel(model.get());
        view.resize(600, 400);
        view.show();
        QVERIFY(listVolumes());
        const QPersistentModelIndex hdd = volume("hdd");
        view.expand(hdd);
        QTRY_COMPARE(names(hdd), (QStringList{"Movies", "Odd"}));
        const QPersistentModelIndex odd = model->index(1, 0, hdd);
        view.expand(odd);
        QTRY_COMPARE(names(odd).size(), 2);
        QTRY_VERIFY(!model->isFetching());
        const QPersistentModelIndex bad = model->index(names(odd).indexOf(shown), 0, odd);
        const QPersistentModelIndex ok = model->index(names(odd).indexOf("ok"), 0, odd);
        QVERIFY(bad.isValid() && ok.isValid() && model->hasChildren(bad));
        QSignalSpy failed(model.get(), &ZBDeviceFileSystemModel::fetchFailed);
        view.expand(bad);
        QTRY_COMPARE(failed.size(), 1);
        QCOMPARE(failed.first().first().toString(), "Ombrelay cannot open the folder " + shown +
                                                        ": its name on the receiver cannot be used to ask for it.");
        QVERIFY(!model->isFetching());
        model->refresh(bad);
        QVERIFY(!model->isFetching());
        // The next folder is listed; nothing went out for the other one before it.
        view.expand(ok);
        QTRY_COMPARE(names(ok), QStringList{"fine.ts"});
        QTRY_VERIFY(!model->isFetching());
        QCOMPARE(model->rowCount(bad), 0);
        QVERIFY(!model->hasChildren(bad) && !model->canFetchMore(bad));
        // Nor do files dropped on it go to the folder of the name it shows.
        QVERIFY(!(model->flags(bad) & Qt::ItemIsDropEnabled));
        QVERIFY(model->flags(ok) & Qt::ItemIsDropEnabled);
        QSignalSpy dropped(model.get(), &ZBDeviceFileSystemModel::mimeDataDropped);
        QMimeData files;
        files.setData("text/uri-list", "file:///tmp/x.ts\r\n");
        QVERIFY(!model->dropMimeData(&files, Qt::CopyAction, -1, -1, bad));
        QVERIFY(model->dropMimeData(&files, Qt::CopyAction, -1, -1, ok));
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(dropped.first().first().toString(), QStringLiteral("/hdd\\Odd\\ok"));
        QCOMPARE(r->media->listingsOf("hdd\\Odd\\" + shown), 0);
        QCOMPARE(r->media->listingsOf("hdd\\Odd\\ok"), 1);
        QCOMPARE(failed.size(), 1);
    }

    // A listing asked for while another runs is dropped when its folder goes away or the connection is
    // lost meanwhile; every request still ends, and none is left behind.
    void queuedListingDropped_data()
    {
        QTest::addColumn<bool>("disconnect");
        QTest::newRow("folder removed") << false;
        QTest::newRow("connection lost") << true;
    }
    void queuedListingDropped()
    {
        QVERIFY(listVolumesHoldingNext());
        const QPersistentModelIndex hdd = volume("hdd"), usb = volume("usb");
        model->fetchMore(hdd);
        QTRY_COMPARE(r->media->listingsOf("hdd"), 1);
        model->fetchMore(usb);
        QFETCH(bool, disconnect);
        if (disconnect) {
            emit r->manager->stateChanged(QStringLiteral("disconnected"));
            QVERIFY(!model->isFetching());
        } else {
            QVERIFY(model->removeRows(usb.row(), 1));
            QVERIFY(!usb.isValid());
        }
        r->media->holdListing = false;
        QTRY_VERIFY(!model->isFetching());
        QTRY_COMPARE(model->findChildren<DeviceTask *>().size(), 0);
        QCOMPARE(r->media->listingsOf("usb"), 0);
        // The running listing still counts when only another folder went.
        QCOMPARE(names(hdd), disconnect ? QStringList() : QStringList{"Movies"});
        if (disconnect)
            return;
        // The model goes on: the next folder asked for is listed.
        const QPersistentModelIndex movies = model->index(0, 0, hdd);
        model->fetchMore(movies);
        QTRY_COMPARE(names(movies), QStringList{"a.ts"});
    }

    // A reply for a folder that went away, or from a connection that is gone, is dropped and freed.
    void heldListing_data()
    {
        QTest::addColumn<bool>("disconnect");
        QTest::newRow("reset") << false;
        QTest::newRow("disconnect") << true;
    }
    void heldListing()
    {
        QSignalSpy fetching(model.get(), &ZBDeviceFileSystemModel::fetching);
        QVERIFY(listVolumesHoldingNext());
        model->fetchMore(volume("hdd"));
        QTRY_COMPARE(r->media->listingsOf("hdd"), 1);
        QCOMPARE(fetching.last().value(0).toBool(), true);
        QFETCH(bool, disconnect);
        if (disconnect) // the connection reports its loss while the reply is still on its way
            emit r->manager->stateChanged(QStringLiteral("disconnected"));
        else
            model->reset();
        r->media->holdListing = false;
        QTRY_COMPARE(fetching.last().value(0).toBool(), false);
        // The dropped request is freed once its reply came, and it changed nothing. The drives asked for
        // again by the reset while it ran are listed after it; over the lost connection nothing more is
        // asked for.
        QTRY_COMPARE(model->findChildren<DeviceTask *>().size(), 0);
        QTRY_COMPARE(model->rowCount(), 2);
        QCOMPARE(model->isInitialized(), !disconnect);
        if (disconnect) {
            QCOMPARE(model->rowCount(volume("hdd")), 0);
            QVERIFY(!model->canFetchMore(volume("hdd")));
            QCOMPARE(r->media->listingsOf("hdd"), 1);
        }
    }
};

OMBRELAY_TEST_MAIN(TestZBDeviceFileSystemModel)
#include "tst_zbdevicefilesystemmodel.moc"
