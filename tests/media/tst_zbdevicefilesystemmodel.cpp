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
    QModelIndex volume(const QString &name)
    {
        for (int i = 0; i < model->rowCount(); ++i)
            if (model->index(i, 0).data().toString() == name)
                return model->index(i, 0);
        return {};
    }
    QStringList names(const QModelIndex &parent)
    {
        QStringList out;
        for (int i = 0; i < model->rowCount(parent); ++i)
            out << model->index(i, 0, parent).data().toString();
        return out;
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
        QVERIFY(listVolumes());
        const QPersistentModelIndex hdd = volume("hdd");
        r->media->holdListing = true;
        const int before = r->media->listings();
        model->fetchMore(hdd);
        QTRY_COMPARE(r->media->listings(), before + 1);
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

    // A reply for a folder that went away, or from a connection that is gone, is dropped and freed.
    void heldListing_data()
    {
        QTest::addColumn<bool>("disconnect");
        QTest::newRow("reset") << false;
        QTest::newRow("disconnect") << true;
    }
    void heldListing()
    {
        QVERIFY(listVolumes());
        r->media->holdListing = true;
        const int before = r->media->listings();
        QSignalSpy fetching(model.get(), &ZBDeviceFileSystemModel::fetching);
        model->fetchMore(volume("hdd"));
        QTRY_COMPARE(r->media->listings(), before + 1);
        QFETCH(bool, disconnect);
        if (disconnect) // the connection reports its loss while the reply is still on its way
            emit r->manager->stateChanged(QStringLiteral("disconnected"));
        else
            model->reset();
        r->media->holdListing = false;
        QTRY_COMPARE(fetching.last().value(0).toBool(), false);
        // The dropped request is freed once its reply came, and it changed nothing.
        QTRY_COMPARE(model->findChildren<DeviceTask *>().size(), 0);
        QCOMPARE(model->rowCount(), disconnect ? 2 : 0);
        if (disconnect)
            QCOMPARE(model->rowCount(volume("hdd")), 0);
    }
};

OMBRELAY_TEST_MAIN(TestZBDeviceFileSystemModel)
#include "tst_zbdevicefilesystemmodel.moc"
