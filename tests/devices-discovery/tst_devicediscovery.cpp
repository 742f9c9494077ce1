#include "testmain.h"

#include "loopbackonly.h"
#include "receiveremulator.h"

#include "devices/devicediscovery.h"
#include "devices/searchthread.h"

#include <QDir>
#include <QSignalSpy>

#include <sys/resource.h>

#include <memory>

// Searches over loopback addresses only: receivers are emulators on 127.x.y.z, every other host
// refuses the connection at once.
class TestDeviceDiscovery : public QObject
{
    Q_OBJECT
private:
    std::vector<std::unique_ptr<ReceiverEmulator>> m_emulators;

    static QHostAddress at(const QString &text) { return QHostAddress(text); }
    static int threadCount()
    {
        return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
    }

    quint16 startEmulators(const QStringList &addresses, bool silent = false)
    {
        return LoopbackOnly::startEmulators(m_emulators, addresses, silent);
    }

private slots:
    void init() { LoopbackOnly::install(); }
    void cleanup()
    {
        m_emulators.clear();
        SearchThread::setLocalSubnetProvider({});
        QCOMPARE(LoopbackOnly::strayLookups.load(), 0);
        setMacAddressLookup({});
    }

    void rangeFindsExactlyTheReceivers()
    {
        const quint16 port = startEmulators({"127.0.1.3", "127.0.1.7", "127.0.1.20", "127.0.1.33"});
        QVERIFY(port);
        DeviceDiscovery discovery;
        discovery.setPort(port);
        connect(&discovery, &DeviceDiscovery::DiscoveryStarted, &discovery,
                [&] { discovery.setKnownAddresses({at(QStringLiteral("127.0.1.7"))}); });
        QStringList found;
        int ticks = 0;
        QList<int> ticksAtFind;
        int finishedAfter = -1;
        connect(&discovery, &DeviceDiscovery::DeviceFound, this, [&](const ZBDeviceInfo &info) {
            found << info.ip().toString();
            ticksAtFind << ticks;
        });
        connect(&discovery, &DeviceDiscovery::hostConnectionStarted, this, [&] { ++ticks; });
        QSignalSpy counted(&discovery, &DeviceDiscovery::HostsCounted);
        QSignalSpy finished(&discovery, &DeviceDiscovery::finished);
        connect(&discovery, &DeviceDiscovery::finished, this, [&] { finishedAfter = ticks; });

        QVERIFY(discovery.startRange(at(QStringLiteral("127.0.1.1")), at(QStringLiteral("127.0.1.40"))));
        QVERIFY(discovery.isBusy());
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
        found.sort();
        QCOMPARE(found, QStringList({"127.0.1.20", "127.0.1.3", "127.0.1.33"}));
        QCOMPARE(counted.size(), 1);
        QCOMPARE(counted.first().first().toULongLong(), 40ull);
        QCOMPARE(ticks, 39); // the known address is counted, not probed
        QCOMPARE(finishedAfter, 39);
        for (int seen : std::as_const(ticksAtFind))
            QVERIFY(seen < 39);
        QCOMPARE(m_emulators.at(1)->connectionCount(), 0);
        QVERIFY(!discovery.isBusy());
        QCOMPARE(discovery.runningProbes(), 0);
    }

    // Never the subnet scan in place of a range that is empty, reversed or too wide.
    void invalidRangesStartNothing()
    {
        SearchThread::setLocalSubnetProvider([] { return QList<SubnetEntry>{{at("127.0.1.1"), at("255.255.255.0")}}; });
        DeviceDiscovery discovery;
        QSignalSpy started(&discovery, &DeviceDiscovery::DiscoveryStarted);
        for (const auto &[first, last] : {std::pair{"", ""}, {"127.0.1.9", "127.0.1.1"}, {"127.1.0.1", "127.2.0.1"}})
            QVERIFY(!discovery.startRange(at(first), at(last)));
        QCOMPARE(started.size(), 0);
        QVERIFY(!discovery.isBusy());
    }

    void subnetScanAndSingleAddress()
    {
        const quint16 port = startEmulators({"127.0.4.5"});
        QVERIFY(port);
        SearchThread::setLocalSubnetProvider([] {
            return QList<SubnetEntry>{{at("127.0.4.1"), at("255.255.255.248")}};
        });
        DeviceDiscovery discovery;
        discovery.setPort(port);
        QSignalSpy found(&discovery, &DeviceDiscovery::DeviceFound);
        QSignalSpy counted(&discovery, &DeviceDiscovery::HostsCounted);
        QSignalSpy ticks(&discovery, &DeviceDiscovery::hostConnectionStarted);
        QSignalSpy finished(&discovery, &DeviceDiscovery::finished);
        discovery.start();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
        QCOMPARE(counted.first().first().toULongLong(), 5ull); // .2 to .6, the PC's own .1 left out
        QCOMPARE(ticks.size(), 5);
        QCOMPARE(found.size(), 1);

        discovery.probeAddress(at(QStringLiteral("127.0.4.5")));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 20000);
        QCOMPARE(counted.size(), 1);
        QCOMPARE(ticks.size(), 6);
        QCOMPARE(found.size(), 2);
    }

    // The probe bound from the descriptor limit: three descriptors a probe, 64 kept for the program.
    void probeCapFromDescriptorLimit_data()
    {
        QTest::addColumn<qint64>("soft");
        QTest::addColumn<qint64>("open");
        QTest::addColumn<int>("cap");
        QTest::newRow("common 1024") << qint64(1024) << qint64(10) << 316;
        QTest::newRow("small limit") << qint64(256) << qint64(19) << 57;
        QTest::newRow("limit nearly used") << qint64(100) << qint64(50) << 1;
        QTest::newRow("limit used up") << qint64(64) << qint64(200) << 1;
        QTest::newRow("large limit") << qint64(524288) << qint64(30) << 1024;
        QTest::newRow("just under the top") << qint64(3200) << qint64(64) << 1024;
        QTest::newRow("just over the top") << qint64(3200) << qint64(65) << 1023;
        QTest::newRow("unlimited") << qint64(-1) << qint64(30) << 1024;
    }
    void probeCapFromDescriptorLimit()
    {
        QFETCH(qint64, soft);
        QFETCH(qint64, open);
        QFETCH(int, cap);
        QCOMPARE(DeviceDiscovery::probeCapacityFor(soft, open), cap);
    }

    // The running program takes its bound from its own limit, raised to the hard one first.
    void probeCapOfThisProcess()
    {
        const int cap = DeviceDiscovery::probeCapacity();
        rlimit limit{};
        QCOMPARE(getrlimit(RLIMIT_NOFILE, &limit), 0);
        QCOMPARE(limit.rlim_cur, limit.rlim_max);
        const qint64 soft = limit.rlim_cur == RLIM_INFINITY ? -1 : qint64(limit.rlim_cur);
        const qint64 openNow = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
        // Fewer descriptors were open when it was computed than now, never more than the limit allows.
        QVERIFY(cap >= DeviceDiscovery::probeCapacityFor(soft, openNow));
        QVERIFY(cap <= DeviceDiscovery::probeCapacityFor(soft, 0));
        QCOMPARE(DeviceDiscovery().maxProbes(), cap);
    }

    void manyHostsStayUnderTheCap()
    {
        DeviceDiscovery discovery;
        discovery.setPort(startEmulators({"127.2.0.9"}));
        int most = 0;
        QSignalSpy counted(&discovery, &DeviceDiscovery::HostsCounted);
        QSignalSpy ticks(&discovery, &DeviceDiscovery::hostConnectionStarted);
        QSignalSpy finished(&discovery, &DeviceDiscovery::finished);
        connect(&discovery, &DeviceDiscovery::hostConnectionStarted, this,
                [&] { most = qMax(most, discovery.runningProbes()); });
        QVERIFY(discovery.startRange(at(QStringLiteral("127.2.0.1")), at(QStringLiteral("127.2.11.206"))));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 120000);
        QCOMPARE(counted.first().first().toULongLong(), 3000ull);
        QCOMPARE(ticks.size(), 3000);
        QVERIFY(most > 1);
        QVERIFY(most <= discovery.maxProbes());
        QVERIFY(discovery.maxProbes() <= 1024);
    }

    void cancelAndDestructionLeaveNoThread()
    {
        const int before = threadCount();
        const quint16 port = startEmulators({"127.3.0.1", "127.3.0.2", "127.3.0.3"}, true);
        auto discovery = std::make_unique<DeviceDiscovery>();
        discovery->setPort(port);
        QSignalSpy counted(discovery.get(), &DeviceDiscovery::HostsCounted);
        QSignalSpy finished(discovery.get(), &DeviceDiscovery::finished);
        QVERIFY(discovery->startRange(at(QStringLiteral("127.3.0.1")), at(QStringLiteral("127.3.7.254"))));
        QTRY_COMPARE(counted.size(), 1);
        discovery->cancel();
        QVERIFY(discovery->isCanceled());
        // The silent receivers keep their probes waiting; the dropped hosts are never started.
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
        QVERIFY(!discovery->isBusy());
        QCOMPARE(discovery->runningProbes(), 0);

        // Destroyed with probes waiting on silent receivers: it stops them and waits.
        QVERIFY(discovery->startRange(at(QStringLiteral("127.3.0.1")), at(QStringLiteral("127.3.0.3"))));
        QTRY_COMPARE(discovery->runningProbes(), 3);
        discovery.reset();
        m_emulators.clear();
        QTRY_VERIFY(threadCount() <= before);
    }
};

OMBRELAY_TEST_MAIN(TestDeviceDiscovery)
#include "tst_devicediscovery.moc"
