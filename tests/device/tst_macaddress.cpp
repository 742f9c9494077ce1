#include "testmain.h"

#include "device/protocol/macaddress.h"

#include <QFile>
#include <QTemporaryDir>

// Only loopback and a neighbour table in a temporary file: nothing here leaves the machine.
class TestMacAddress : public QObject
{
    Q_OBJECT
    const QByteArray table = "IP address       HW type     Flags       HW address            Mask     Device\n"
                             "192.168.7.1      0x1         0x2         00:1e:b8:0a:0b:0c     *        eth0\n"
                             "192.168.7.9      0x1         0x0         00:00:00:00:00:00     *        eth0\n"
                             "192.168.7.20     0x1         0x6         aa:bb:cc:dd:ee:ff     *        eth0\n";

private slots:
    void textAndVendor()
    {
        QCOMPARE(macToString(QByteArray::fromHex("001A2B3C4D5E")), QStringLiteral("00-1A-2B-3C-4D-5E"));
        QCOMPARE(macToString(QByteArray::fromHex("0a")), QStringLiteral("0A"));
    }

    void neighbourTable_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("mac");
        QTest::newRow("complete") << "192.168.7.1" << QByteArray::fromHex("001EB80A0B0C");
        QTest::newRow("incomplete") << "192.168.7.9" << QByteArray();
        QTest::newRow("permanent") << "192.168.7.20" << QByteArray::fromHex("AABBCCDDEEFF");
        QTest::newRow("prefix of another") << "192.168.7.2" << QByteArray();
    }
    void neighbourTable()
    {
        QFETCH(QString, address);
        QFETCH(QByteArray, mac);
        QCOMPARE(macFromNeighbourTable(table, QHostAddress(address)), mac);
    }

    // The prompt stands for the kernel resolving the host: the entry appears afterwards.
    void promptsAndWaitsBounded()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("arp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(table.left(table.indexOf('\n') + 1)) > 0);
        file.close();
        QStringList prompted;
        auto prompt = [&](const QHostAddress &host) {
            prompted << host.toString();
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(table) > 0);
            file.close();
        };
        QCOMPARE(platformMacAddressFor(QHostAddress(QStringLiteral("192.168.7.1")), path, prompt, 500),
                 QByteArray::fromHex("001EB80A0B0C"));
        QCOMPARE(platformMacAddressFor(QHostAddress(QStringLiteral("192.168.7.9")), path, prompt, 150), QByteArray());
        QCOMPARE(prompted, (QStringList{"192.168.7.1", "192.168.7.9"}));
        QCOMPARE(platformMacAddressFor(QHostAddress(QStringLiteral("::1")), path, prompt, 150), QByteArray());
    }

    void loopbackAndReplacement()
    {
        QCOMPARE(macAddressFor(QHostAddress(QStringLiteral("127.3.2.1"))), QByteArray(6, '\0'));
        setMacAddressLookup([](const QHostAddress &) { return QByteArray::fromHex("000D88000001"); });
        QCOMPARE(macAddressFor(QHostAddress::LocalHost), QByteArray::fromHex("000D88000001"));
        setMacAddressLookup({});
        QCOMPARE(macAddressFor(QHostAddress::LocalHost), QByteArray(6, '\0'));
    }
};

OMBRELAY_TEST_MAIN(TestMacAddress)
#include "tst_macaddress.moc"
