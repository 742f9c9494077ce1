#include "testmain.h"

#include "descriptioncases.h"
#include "loopbackonly.h"
#include "receiveremulator.h"

#include "base/strictipv4.h"
#include "devices/networkaddresses.h"
#include "devices/searchthread.h"

#include <QSignalSpy>

// One host probed by a search worker against the emulator on loopback, and the address helpers.
class TestDeviceProbe : public QObject
{
    Q_OBJECT
private:
    static quint32 ip(const QString &text) { return QHostAddress(text).toIPv4Address(); }

    // What one probe of 127.0.0.1 reports.
    static QList<ZBDeviceInfo> probe(quint16 port, bool fastScan)
    {
        SearchThread worker;
        worker.setPort(port);
        QSignalSpy found(&worker, &SearchThread::DeviceFound);
        worker.connectToHost(QHostAddress(QStringLiteral("127.0.0.1")), fastScan);
        // Every failure is bounded: the slowest, a trickling peer, ends at the probe's 10 s.
        if (!worker.wait(13000))
            return {ZBDeviceInfo(), ZBDeviceInfo()};
        QList<ZBDeviceInfo> infos;
        for (const QList<QVariant> &args : std::as_const(found))
            infos << args.at(0).value<ZBDeviceInfo>();
        return infos;
    }

private slots:
    void init() { LoopbackOnly::install(); }
    void cleanup()
    {
        QCOMPARE(LoopbackOnly::strayLookups.load(), 0);
        LoopbackOnly::foreignPrefixHost.store(0);
        setMacAddressLookup({});
    }

    void subnets_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("/24") << "192.168.1.10"
                             << "255.255.255.0" << 253 << "192.168.1.1"
                             << "192.168.1.254";
        QTest::newRow("/23") << "192.168.0.5"
                             << "255.255.254.0" << 507 << "192.168.0.1"
                             << "192.168.1.254";
        QTest::newRow("/30") << "10.0.0.1"
                             << "255.255.255.252" << 1 << "10.0.0.2"
                             << "10.0.0.2";
        QTest::newRow("/31") << "10.0.0.1"
                             << "255.255.255.254" << 0 << ""
                             << "";
        QTest::newRow("/32") << "10.0.0.1"
                             << "255.255.255.255" << 0 << ""
                             << "";
        QTest::newRow("gapped") << "10.0.0.1"
                                << "255.0.255.0" << 0 << ""
                                << "";
        QTest::newRow("/8 in own /16") << "10.7.3.4"
                                       << "255.0.0.0" << 65023 << "10.7.0.1"
                                       << "10.7.255.254";
    }
    void subnets()
    {
        QFETCH(QString, address);
        QFETCH(QString, mask);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, last);
        const QList<quint32> hosts = subnetHosts({{QHostAddress(address), QHostAddress(mask)}});
        QCOMPARE(hosts.size(), count);
        QVERIFY(!hosts.contains(ip(address)));
        if (count > 0) {
            QCOMPARE(hosts.first(), ip(first));
            QCOMPARE(hosts.last(), ip(last));
        }
        QVERIFY(std::is_sorted(hosts.begin(), hosts.end()));
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("validHost");
        QTest::addColumn<bool>("isPrivate");
        QTest::addColumn<QString>("padded");
        QTest::newRow("padded") << "192.168.001.010" << true << true << "192.168.001.010";
        QTest::newRow("plain") << "10.0.0.1" << true << true << "010.000.000.001";
        QTest::newRow("broadcast") << "255.255.255.255" << true << false << "255.255.255.255";
        QTest::newRow("network") << "10.1.1.0" << false << true << "010.001.001.000";
        QTest::newRow("zero") << "0.0.0.0" << false << false << "000.000.000.000";
        QTest::newRow("letters") << "abc" << false << false << "";
        QTest::newRow("octet 256") << "10.0.0.256" << false << false << "";
        QTest::newRow("172.15") << "172.15.0.1" << true << false << "172.015.000.001";
        QTest::newRow("172.31") << "172.31.255.1" << true << true << "172.031.255.001";
        QTest::newRow("172.32") << "172.32.0.1" << true << false << "172.032.000.001";
        QTest::newRow("link local") << "169.254.1.1" << true << true << "169.254.001.001";
        QTest::newRow("shared") << "100.64.0.1" << true << false << "100.064.000.001";
    }
    void addresses()
    {
        QFETCH(QString, text);
        QFETCH(bool, validHost);
        QFETCH(bool, isPrivate);
        QFETCH(QString, padded);
        QCOMPARE(isValidHostText(text), validHost);
        const QHostAddress parsed = StrictIPv4::toHostAddress(text);
        if (!padded.isEmpty()) {
            QCOMPARE(isPrivateAddress(parsed), isPrivate);
            QCOMPARE(paddedIpText(parsed), padded);
            // The padded text reads back as the same address, never as octal.
            QCOMPARE(StrictIPv4::toHostAddress(padded), parsed);
        }
    }

    void ranges_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("count");
        QTest::newRow("across .0/.255") << "10.0.0.250"
                                        << "10.0.1.3" << true << 8;
        QTest::newRow("one host") << "10.0.0.7"
                                  << "10.0.0.7" << true << 1;
        QTest::newRow("to the top") << "255.255.255.250"
                                    << "255.255.255.255" << true << 5;
        QTest::newRow("padded") << "192.168.001.001"
                                << "192.168.001.020" << true << 20;
        QTest::newRow("reversed") << "10.0.0.9"
                                  << "10.0.0.1" << false << 0;
        QTest::newRow("65536") << "10.1.0.2"
                               << "10.2.0.1" << true << 65024;
        QTest::newRow("65537") << "10.1.0.1"
                               << "10.2.0.1" << false << 0;
        QTest::newRow("network end") << "10.1.0.1"
                                     << "10.1.1.0" << false << 0;
        QTest::newRow("bad end") << "10.0.0.1"
                                 << "10.0.0" << false << 0;
    }
    void ranges()
    {
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(bool, valid);
        QFETCH(int, count);
        QCOMPARE(isValidRange(first, last), valid);
        if (valid) {
            const QList<quint32> hosts = rangeHosts(StrictIPv4::toHostAddress(first).toIPv4Address(),
                                                    StrictIPv4::toHostAddress(last).toIPv4Address(), {});
            QCOMPARE(hosts.size(), count);
        }
    }

    void probes_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("switches");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("acks"); // -1: not checked
        const int chunks = int((ReceiverEmulator::defaultDescription().toUtf8().size() + 99) / 100);
        using namespace DescriptionCases;
        QTest::newRow("1.4") << int(Normal) << "1.4"
                             << "" << true << chunks;
        QTest::newRow("1.39") << int(Normal) << "1.39"
                              << "" << false << chunks;
        QTest::newRow("no version") << int(Normal) << ""
                                    << "" << false << -1;
        QTest::newRow("status 0xAB") << int(WrongStatus) << "1.4"
                                     << "" << false << 0;
        QTest::newRow("drop") << int(DropAfterStatus) << "1.4"
                              << "" << false << 0;
        QTest::newRow("silence") << int(Normal) << "1.4"
                                 << "silent" << false << 0;
        QTest::newRow("hostile length") << int(Normal) << "1.4"
                                        << "hostile" << false << 0;
        QTest::newRow("trickle") << int(Trickle) << "1.4"
                                 << "" << false << 0;
        QTest::newRow("endless tags") << int(EndlessForeignTags) << "1.4"
                                      << "" << false << 0;
        QTest::newRow("empty chunk") << int(ZeroLengthChunk) << "1.4"
                                     << "" << true << chunks + 1;
        QTest::newRow("foreign tag") << int(ForeignTag) << "1.4"
                                     << "" << true << 2;
        QTest::newRow("END + X") << int(EndNonZero) << "1.4"
                                 << "" << true << 2;
        QTest::newRow("zero byte") << int(ZeroInPayload) << "1.4"
                                   << "" << true << -1;
        QTest::newRow("fast, foreign prefix") << int(Normal) << "1.4"
                                              << "foreign" << false << -2;
    }
    void probes()
    {
        QFETCH(int, which);
        QFETCH(QString, version);
        QFETCH(QString, switches);
        QFETCH(bool, found);
        QFETCH(int, acks);
        ReceiverEmulator emulator;
        if (version.isEmpty())
            emulator.setDescription(
                ReceiverEmulator::defaultDescription().remove(QStringLiteral("protocolVer=\"1.4\"")));
        else
            emulator.setProtocolVersion(version);
        emulator.setSilent(switches == QLatin1String("silent"));
        emulator.setHostileLength(switches == QLatin1String("hostile"));
        if (switches == QLatin1String("foreign"))
            LoopbackOnly::foreignPrefixHost.store(ip(QStringLiteral("127.0.0.1")));
        if (which != DescriptionCases::Normal)
            DescriptionCases::install(emulator, DescriptionCases::Case(which));
        QVERIFY(emulator.start());

        const QList<ZBDeviceInfo> infos = probe(emulator.port(), switches == QLatin1String("foreign"));
        QCOMPARE(infos.size(), found ? 1 : 0);
        if (found)
            QCOMPARE(infos.first().name(), QStringLiteral("Ombrelay Emulator"));
        if (acks >= 0)
            QCOMPARE(emulator.received(), QByteArray(1, '\x26') + QByteArray(acks, '\x55'));
        if (acks == -2)
            QCOMPARE(emulator.connectionCount(), 0);
    }

    // The reached address wins over one the description claims; the looked-up MAC stays unless given.
    void addressOfRecord()
    {
        ReceiverEmulator emulator;
        emulator.setDescription(ReceiverEmulator::defaultDescription().replace(
            QStringLiteral("<deviceInfo "), QStringLiteral("<deviceInfo ip=\"10.9.8.7\" ")));
        QVERIFY(emulator.start());
        const QList<ZBDeviceInfo> infos = probe(emulator.port(), true);
        QCOMPARE(infos.size(), 1);
        QCOMPARE(infos.first().ip().toString(), QStringLiteral("127.0.0.1"));
        QCOMPARE(infos.first().mac(), QStringLiteral("00-1E-B8-01-02-03"));
    }
};

OMBRELAY_TEST_MAIN(TestDeviceProbe)
#include "tst_deviceprobe.moc"
