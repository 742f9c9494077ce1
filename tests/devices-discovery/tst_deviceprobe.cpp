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

    // "a/mask": the hosts of an interface's subnet; "a-b": a typed range (-1: refused).
    void hostLists_data()
    {
        QTest::addColumn<QString>("spec");
        QTest::addColumn<int>("count");
        const QList<QPair<const char *, int>> rows = {{"192.168.1.10/255.255.255.0", 253},
                                                      {"192.168.0.5/255.255.254.0", 507},
                                                      {"10.0.0.1/255.255.255.252", 1},
                                                      {"10.0.0.1/255.255.255.254", 0},
                                                      {"10.0.0.1/255.255.255.255", 0},
                                                      {"10.0.0.1/255.0.255.0", 0},
                                                      {"10.7.3.4/255.0.0.0", 65023},
                                                      {"10.0.0.250-10.0.1.3", 8},
                                                      {"10.0.0.7-10.0.0.7", 1},
                                                      {"255.255.255.250-255.255.255.255", 5},
                                                      {"192.168.001.001-192.168.001.020", 20},
                                                      {"10.0.0.9-10.0.0.1", -1},
                                                      {"10.1.0.2-10.2.0.1", 65024},
                                                      {"10.1.0.1-10.2.0.1", -1},
                                                      {"10.1.0.1-10.1.1.0", -1},
                                                      {"10.0.0.1-10.0.0", -1}};
        for (const auto &row : rows)
            QTest::newRow(row.first) << QString::fromLatin1(row.first) << row.second;
    }
    void hostLists()
    {
        QFETCH(QString, spec);
        QFETCH(int, count);
        QList<quint32> hosts;
        if (spec.contains(u'/')) {
            const QStringList parts = spec.split(u'/');
            hosts = subnetHosts({{QHostAddress(parts.at(0)), QHostAddress(parts.at(1))}});
            QVERIFY(!hosts.contains(ip(parts.at(0))));
        } else {
            const QStringList ends = spec.split(u'-');
            QCOMPARE(isValidRange(ends.at(0), ends.at(1)), count >= 0);
            if (count >= 0)
                hosts = rangeHosts(StrictIPv4::toHostAddress(ends.at(0)).toIPv4Address(),
                                   StrictIPv4::toHostAddress(ends.at(1)).toIPv4Address(), {});
        }
        QCOMPARE(hosts.size(), qMax(count, 0));
        QVERIFY(std::is_sorted(hosts.begin(), hosts.end()));
        QVERIFY(
            std::none_of(hosts.begin(), hosts.end(), [](quint32 x) { return (x & 0xFF) == 0 || (x & 0xFF) == 255; }));
    }

    // Text, host address or not, private or not, padded text (empty: unparsable).
    void addresses()
    {
        struct Row
        {
            const char *text;
            bool validHost, isPrivate;
            const char *padded;
        };
        for (const Row &row : {Row{"192.168.001.010", true, true, "192.168.001.010"},
                               {"10.0.0.1", true, true, "010.000.000.001"},
                               {"255.255.255.255", true, false, "255.255.255.255"},
                               {"10.1.1.0", false, true, "010.001.001.000"},
                               {"0.0.0.0", false, false, "000.000.000.000"},
                               {"abc", false, false, ""},
                               {"172.15.0.1", true, false, "172.015.000.001"},
                               {"172.31.255.1", true, true, "172.031.255.001"},
                               {"169.254.1.1", true, true, "169.254.001.001"},
                               {"100.64.0.1", true, false, "100.064.000.001"}}) {
            const QString text = QString::fromLatin1(row.text);
            QCOMPARE(isValidHostText(text), row.validHost);
            const QHostAddress parsed = StrictIPv4::toHostAddress(text);
            if (*row.padded) {
                QCOMPARE(isPrivateAddress(parsed), row.isPrivate);
                QCOMPARE(paddedIpText(parsed), QString::fromLatin1(row.padded));
            }
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
        struct Row
        {
            const char *tag;
            Case which;
            const char *version, *switches;
            bool found;
            int acks; // -1: not checked, -2: no connection at all
        };
        for (const Row &r : {Row{"1.4", Normal, "1.4", "", true, chunks},
                             {"1.39", Normal, "1.39", "", false, chunks},
                             {"no version", Normal, "", "", false, -1},
                             {"status 0xAB", WrongStatus, "1.4", "", false, 0},
                             {"drop", DropAfterStatus, "1.4", "", false, 0},
                             {"silence", Normal, "1.4", "silent", false, 0},
                             {"hostile length", Normal, "1.4", "hostile", false, 0},
                             {"trickle", Trickle, "1.4", "", false, 0},
                             {"endless tags", EndlessForeignTags, "1.4", "", false, 0},
                             {"empty chunk", ZeroLengthChunk, "1.4", "", true, chunks + 1},
                             {"foreign tag", ForeignTag, "1.4", "", true, 2},
                             {"END + X", EndNonZero, "1.4", "", true, 2},
                             {"zero byte", ZeroInPayload, "1.4", "", true, -1},
                             {"fast, foreign prefix", Normal, "1.4", "foreign", false, -2}})
            QTest::newRow(r.tag) << int(r.which) << QString::fromLatin1(r.version) << QString::fromLatin1(r.switches)
                                 << r.found << r.acks;
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
            QStringLiteral("<deviceInfo "), QStringLiteral("<deviceInfo ip=\"10.9.8.7\" isUsbManaged=\"true\" ")));
        QVERIFY(emulator.start());
        const QList<ZBDeviceInfo> infos = probe(emulator.port(), true);
        QCOMPARE(infos.size(), 1);
        QCOMPARE(infos.first().ip().toString(), QStringLiteral("127.0.0.1"));
        QVERIFY(!infos.first().isUsbManaged()); // found on the network: reached over it
        QCOMPARE(infos.first().mac(), QStringLiteral("00-1E-B8-01-02-03"));
    }
};

OMBRELAY_TEST_MAIN(TestDeviceProbe)
#include "tst_deviceprobe.moc"
