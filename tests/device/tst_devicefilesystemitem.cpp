#include "testmain.h"

#include "device/transfers/devicefilesystemitem.h"

class TestDeviceFileSystemItem : public QObject
{
    Q_OBJECT
private slots:
    void namesAndPaths()
    {
        // Control characters from a receiver never reach a name.
        DeviceFileSystemItem odd(QStringLiteral("a\tb\nc\u007fd\u00a0e\u00e9"), QString(), 1, 0, QDateTime(), false,
                                 -1);
        QCOMPARE(odd.name(), QStringLiteral("abcde\u00e9"));
        DeviceFileSystemItem root(nullptr, QString());
        auto *volume =
            new DeviceFileSystemItem(QStringLiteral("sda1"), QStringLiteral("HDD"), 8, 0, QDateTime(), true, -1);
        root.appendChild(volume);
        auto *news = new DeviceFileSystemItem(QStringLiteral("News"), QString(), 4, 0,
                                              QDateTime(QDate(2026, 12, 5), QTime(14, 3), Qt::UTC), false, 1);
        volume->appendChild(news);
        QCOMPARE(news->fullPath(), QStringLiteral("HDD\\News"));
        QCOMPARE(news->recordFileBaseName(), QStringLiteral("05-12-2026 14_03 News"));
        QCOMPARE(news->extension(), QStringLiteral("mp2sd"));
        QCOMPARE(volume->extension(), QStringLiteral("hdd"));
        QVERIFY(volume->removeChildren(0, 1));
        QVERIFY(!volume->isExpandable());
    }
};

OMBRELAY_TEST_MAIN(TestDeviceFileSystemItem)
#include "tst_devicefilesystemitem.moc"
