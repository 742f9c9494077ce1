#include "testmain.h"

#include "device/transfers/devicefilesystemitem.h"

class TestDeviceFileSystemItem : public QObject
{
    Q_OBJECT
private:
    static DeviceFileSystemItem *make(const QString &name, int type, const QString &label = QString())
    {
        return new DeviceFileSystemItem(name, label, type, 10, QDateTime(), false, 7);
    }

private slots:
    void controlCharactersStripped()
    {
        DeviceFileSystemItem item(QStringLiteral("a\tb\nc\u007fd\u00a0e\u00e9\u00a1"), QString(), 1, 0, QDateTime(),
                                  false, -1);
        QCOMPARE(item.name(), QStringLiteral("abcde\u00e9\u00a1"));
    }

    void childrenAndRows()
    {
        DeviceFileSystemItem root(nullptr, QString());
        QVERIFY(!root.parent());
        QCOMPARE(root.row(), -1);
        auto *volume = make(QStringLiteral("sda1"), DeviceFileSystemItem::Volume, QStringLiteral("HDD"));
        root.appendChild(volume);
        auto *movies = make(QStringLiteral("Movies"), DeviceFileSystemItem::Folder);
        volume->appendChild(movies);
        auto *news = make(QStringLiteral("News"), DeviceFileSystemItem::Mpeg4HdRecord);
        movies->appendChild(news);
        auto *first = make(QStringLiteral("First"), DeviceFileSystemItem::File);
        movies->prependChild(first);
        QCOMPARE(news->depth(), qint16(3));
        QCOMPARE(news->row(), 1);
        QCOMPARE(first->row(), 0);
        QCOMPARE(volume->fullPath(), QStringLiteral("HDD"));
        QCOMPARE(news->fullPath(), QStringLiteral("HDD\\Movies\\News"));
        QCOMPARE(root.fullPath(), QString());
        QVERIFY(!movies->child(-1));
        QVERIFY(!movies->child(2));
        QCOMPARE(news->recordId(), qint16(7));
        QCOMPARE(movies->recordId(), qint16(-1));

        QVERIFY(!movies->removeChildren(1, 5));
        QCOMPARE(movies->childCount(), 2);
        QVERIFY(movies->removeChildren(0, 0));
        QVERIFY(movies->isExpandable());
        QVERIFY(movies->removeChildren(0, 2));
        QVERIFY(!movies->isExpandable());
        movies->appendChild(make(QStringLiteral("again"), DeviceFileSystemItem::File));
        QVERIFY(movies->isExpandable());
    }

    void detachedItemHasNoParent()
    {
        DeviceFileSystemItem detached(QStringLiteral("x"), QString(), 0, 0, QDateTime(), true, -1);
        QVERIFY(!detached.parent());
        QCOMPARE(detached.row(), -1);
        QCOMPARE(detached.fullPath(), QStringLiteral("x"));
    }

    void recordBaseName()
    {
        DeviceFileSystemItem rec(QStringLiteral("News"), QString(), 4, 0,
                                 QDateTime(QDate(2026, 12, 5), QTime(14, 3), Qt::UTC), false, 1);
        QCOMPARE(rec.recordFileBaseName(), QStringLiteral("05-12-2026 14_03 News"));
        DeviceFileSystemItem noDate(QStringLiteral("News"), QString(), 4, 0, QDateTime(), false, 1);
        QCOMPARE(noDate.recordFileBaseName(), QStringLiteral(" News"));
    }

    void extension_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::newRow("folder") << 0 << "x"
                                << "dir";
        QTest::newRow("file") << 1 << "clip.final.MP4"
                              << "MP4";
        QTest::newRow("no suffix") << 1 << "README"
                                   << "";
        QTest::newRow("video record") << 2 << "a.ts"
                                      << "";
        QTest::newRow("mp2sd") << 4 << "a"
                               << "mp2sd";
        QTest::newRow("mp4hd") << 7 << "a"
                               << "mp4hd";
        QTest::newRow("volume") << 8 << "a"
                                << "hdd";
        QTest::newRow("unknown") << 42 << "a.b"
                                 << "";
    }
    void extension()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(QString, extension);
        DeviceFileSystemItem item(name, QString(), type, 0, QDateTime(), false, -1);
        QCOMPARE(item.extension(), extension);
        QCOMPARE(item.isContainer(), type == 0 || type == 8 || type == 9);
        QCOMPARE(item.isRecord(), type >= 2 && type <= 7);
        QCOMPARE(item.isVolume(), type == 8 || type == 9);
    }
};

OMBRELAY_TEST_MAIN(TestDeviceFileSystemItem)
#include "tst_devicefilesystemitem.moc"
