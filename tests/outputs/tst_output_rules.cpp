// The rules of forwarding without any socket: output strings, filters and interval
// caps, TAG blocks, the serial line budget and the loop guard.
#include <QTest>

#include "nmea/tag_block.h"
#include "outputs/line_rate.h"
#include "outputs/loop_guard.h"
#include "outputs/output_address.h"
#include "outputs/output_filter.h"
#include "outputs/tag_block_option.h"

using outputs::OutputAddress;
using outputs::OutputFilter;

class OutputRulesTest : public QObject {
    Q_OBJECT

private slots:
    void addresses_data();
    void addresses();
    void malformedAddresses_data();
    void malformedAddresses();
    void addressTextReadsBack();
    void keyPatterns_data();
    void keyPatterns();
    void filterDecides();
    void intervalCapsPerKey();
    void tagBlockIsValidAndKept();
    void lineRateDropsWhatDoesNotFit();
    void loopGuard_data();
    void loopGuard();
};

void OutputRulesTest::addresses_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("baud");
    using K = OutputAddress::Kind;
    QTest::newRow("server default port")
        << "tcp-server://" << int(K::TcpServer) << "" << 10110 << "" << 4800;
    QTest::newRow("server any address")
        << "tcp-server://:2000" << int(K::TcpServer) << "" << 2000 << "" << 4800;
    QTest::newRow("server v6") << "tcp-server://[::1]:2001" << int(K::TcpServer) << "::1" << 2001
                               << "" << 4800;
    QTest::newRow("udp broadcast")
        << "udp://255.255.255.255:10110" << int(K::Udp) << "255.255.255.255" << 10110 << "" << 4800;
    QTest::newRow("udp multicast ttl")
        << "udp://239.1.2.3:10111?ttl=4" << int(K::Udp) << "239.1.2.3" << 10111 << "" << 4800;
    QTest::newRow("serial") << "serial:/dev/ttyUSB1@38400" << int(K::Serial) << "" << 10110
                            << "/dev/ttyUSB1" << 38400;
    QTest::newRow("serial default speed")
        << "serial:ttyS0" << int(K::Serial) << "" << 10110 << "ttyS0" << 4800;
}

void OutputRulesTest::addresses() {
    QFETCH(QString, text);
    QString error;
    const auto address = outputs::parseOutputAddress(text, &error);
    QVERIFY2(address, qPrintable(error));
    QFETCH(int, kind);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, device);
    QFETCH(int, baud);
    QCOMPARE(int(address->kind), kind);
    QCOMPARE(address->host, host);
    QCOMPARE(int(address->port), port);
    QCOMPARE(address->device, device);
    QCOMPARE(int(address->baud), baud);
}

void OutputRulesTest::malformedAddresses_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << "  "
                           << "No output";
    QTest::newRow("scheme") << "tcp://host:1"
                            << "Unknown output";
    QTest::newRow("udp without port") << "udp://10.0.0.1"
                                      << "udp://ADDRESS:PORT";
    QTest::newRow("udp without host") << "udp://:10110"
                                      << "Missing destination";
    QTest::newRow("udp host name") << "udp://chartplotter:10110"
                                   << "not an IP address";
    QTest::newRow("port range") << "tcp-server://:70000"
                                << "out of range";
    QTest::newRow("port empty") << "tcp-server://:"
                                << "Missing port";
    QTest::newRow("speed") << "serial:/dev/ttyS0@fast"
                           << "not a line speed";
    QTest::newRow("no device") << "serial:@4800"
                               << "Missing device";
    QTest::newRow("option") << "tcp-server://:1?colour=red"
                            << "Unknown option";
    QTest::newRow("interval") << "tcp-server://:1?every=$--GGA"
                              << "KEY:SECONDS";
    QTest::newRow("ttl on tcp") << "tcp-server://:1?ttl=3"
                                << "ttl";
    QTest::newRow("tag name") << "tcp-server://:1?tag=a,b"
                              << "TAG source name";
    QTest::newRow("n2k format") << "tcp-server://:1?n2k=raw"
                                << "ydwg";
}

void OutputRulesTest::malformedAddresses() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    QString error;
    QVERIFY(!outputs::parseOutputAddress(text, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
}

void OutputRulesTest::addressTextReadsBack() {
    const QString text = QStringLiteral(
        "udp://239.1.2.3:10110?include=$--GGA,!AIVDM&exclude=$GPGSV&every=$--GGA:1.5&"
        "bad-checksum=pass&tag=mast&ttl=3&n2k=pcdin");
    const auto address = outputs::parseOutputAddress(text);
    QVERIFY(address);
    QCOMPARE(address->filter.include, (QStringList{"$--GGA", "!AIVDM"}));
    QCOMPARE(address->filter.intervals.at(0).milliseconds, 1500);
    QVERIFY(address->filter.passBadChecksum);
    QCOMPARE(address->tagSource, QStringLiteral("mast"));
    QCOMPARE(address->n2k, outputs::N2kFormat::Pcdin);
    QCOMPARE(address->text(), text);
    QCOMPARE(outputs::parseOutputAddress(address->text())->text(), text);
}

void OutputRulesTest::keyPatterns_data() {
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<QByteArray>("sentence");
    QTest::addColumn<bool>("matches");
    QTest::newRow("any talker") << QByteArray("$--GGA") << QByteArray("$GNGGA,1*00\r\n") << true;
    QTest::newRow("any talker other type")
        << QByteArray("$--GGA") << QByteArray("$GPRMC,1") << false;
    QTest::newRow("talker star") << QByteArray("$GP*") << QByteArray("$GPGSV,3,1") << true;
    QTest::newRow("talker star other") << QByteArray("$GP*") << QByteArray("$GNGSV,3,1") << false;
    QTest::newRow("exact ais") << QByteArray("!AIVDM") << QByteArray("!AIVDM,1,1,,A,1*5C") << true;
    QTest::newRow("ais not vdo") << QByteArray("!AIVDM") << QByteArray("!AIVDO,1,1") << false;
    QTest::newRow("start char counts") << QByteArray("$--VDM") << QByteArray("!AIVDM,1") << false;
    QTest::newRow("question") << QByteArray("$??RMC") << QByteArray("$IIRMC,") << true;
    QTest::newRow("middle star") << QByteArray("$*G*A") << QByteArray("$GPGGA,") << true;
    QTest::newRow("longer key") << QByteArray("$GPGGA") << QByteArray("$GPGGAX,") << false;
    QTest::newRow("pgn never 0183") << QByteArray("PGN 129025") << QByteArray("$PGN,1") << false;
}

void OutputRulesTest::keyPatterns() {
    QFETCH(QByteArray, pattern);
    QFETCH(QByteArray, sentence);
    QFETCH(bool, matches);
    QCOMPARE(OutputFilter::matches(pattern, OutputFilter::keyOf(sentence)), matches);
}

void OutputRulesTest::filterDecides() {
    outputs::FilterOptions options;
    options.include = {"$GP*", "!AIVDM"};
    options.exclude = {"$--GSV"};
    OutputFilter filter(options);
    using V = OutputFilter::Verdict;
    QCOMPARE(filter.check("$GPGGA,1", true, 0), V::Pass);
    QCOMPARE(filter.check("$GPGSV,1", true, 0), V::Filtered);  // exclude wins
    QCOMPARE(filter.check("$GNGGA,1", true, 0), V::Filtered);  // not included
    QCOMPARE(filter.check("!AIVDM,1", true, 0), V::Pass);
    QCOMPARE(filter.check("!AIVDM,1", false, 0), V::Filtered);  // bad checksum by default

    options.passBadChecksum = true;
    QCOMPARE(OutputFilter(options).check("!AIVDM,1", false, 0), V::Pass);
    QCOMPARE(OutputFilter().check("$ANYTHING,1", true, 0), V::Pass);
}

void OutputRulesTest::intervalCapsPerKey() {
    outputs::FilterOptions options;
    options.intervals = {{"$--GGA", 1000}};
    OutputFilter filter(options);
    using V = OutputFilter::Verdict;
    // One GGA a second per key; other sentences are never capped.
    const struct {
        const char* sentence;
        qint64 ms;
        V verdict;
    } steps[] = {
        {"$GPGGA,a", 0, V::Pass},    {"$GPGGA,b", 400, V::RateCapped},
        {"$GNGGA,c", 500, V::Pass},  {"$GPRMC,d", 600, V::Pass},
        {"$GPRMC,e", 601, V::Pass},  {"$GPGGA,f", 999, V::RateCapped},
        {"$GPGGA,g", 1000, V::Pass}, {"$GPGGA,h", 1999, V::RateCapped},
        {"$GNGGA,i", 1500, V::Pass},
    };
    for (const auto& step : steps) {
        QCOMPARE(filter.check(step.sentence, true, step.ms), step.verdict);
    }
}

void OutputRulesTest::tagBlockIsValidAndKept() {
    QByteArray out;
    outputs::appendTagged(out, "$GPGGA,1*00\r\n", 1733540400123, "mast");
    QVERIFY(out.endsWith("\\$GPGGA,1*00\r\n"));
    nmeaz::TagBlock tag;
    const std::size_t length = nmeaz::parseTagBlock(out.constData(), out.size(), tag);
    QVERIFY2(length > 0, out.constData());  // its checksum holds
    QVERIFY(tag.hasTime && tag.hasSource);
    QCOMPARE(tag.timeMs, 1733540400000);
    QCOMPARE(QByteArray(tag.source), QByteArray("mast"));

    QByteArray bare;
    outputs::appendTagged(bare, "!AIVDM,x\r\n", 1000, {});
    QVERIFY(bare.startsWith("\\c:1*"));

    const QByteArray tagged = "\\s:other*00\\$GPGGA,1\r\n";
    QByteArray kept;
    outputs::appendTagged(kept, tagged, 1000, "mast");
    QCOMPARE(kept, tagged);
}

void OutputRulesTest::lineRateDropsWhatDoesNotFit() {
    qint64 now = 0;
    outputs::LineRate rate(4800, [&now] { return now; });  // 480 bytes a second
    const qsizetype line = 50;
    int taken = 0;
    for (int i = 0; i < 20; ++i) {
        taken += rate.take(line);
    }
    QCOMPARE(rate.capacity(), 480);  // a second's worth
    QCOMPARE(taken, 9);              // a burst up to the budget; 30 bytes left
    now += 250;                      // 120 bytes more: three lines
    for (int i = 0; i < 3; ++i) {
        QVERIFY(rate.take(line));
    }
    QVERIFY(!rate.take(line));
    // Over a long run the line carries its speed and no more.
    now += 100000;
    taken = 0;
    for (int second = 0; second < 60; ++second) {
        for (int i = 0; i < 20; ++i) {
            taken += rate.take(line);
        }
        now += 1000;
    }
    QVERIFY(taken * line <= rate.capacity() + 60 * 480);
    QVERIFY(taken * line >= 60 * 480 - line * 60);
}

void OutputRulesTest::loopGuard_data() {
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("loops");
    QTest::newRow("server on the port read") << "tcp-server://:10110"
                                             << "tcp://localhost:10110" << true;
    QTest::newRow("server on loopback port read") << "tcp-server://:2000"
                                                  << "tcp://127.0.0.1:2000" << true;
    QTest::newRow("server other port") << "tcp-server://:10111"
                                       << "tcp://127.0.0.1:10110" << false;
    QTest::newRow("remote gateway same port") << "tcp-server://:10110"
                                              << "tcp://192.0.2.7:10110" << false;
    QTest::newRow("udp to self") << "udp://127.0.0.1:10110"
                                 << "udp://:10110" << true;
    QTest::newRow("udp broadcast to port read") << "udp://255.255.255.255:10110"
                                                << "udp://:10110" << true;
    QTest::newRow("udp group joined") << "udp://239.1.1.1:10110"
                                      << "udp://239.1.1.1:10110" << true;
    QTest::newRow("udp other group") << "udp://239.1.1.2:10110"
                                     << "udp://239.1.1.1:10110" << false;
    QTest::newRow("udp remote host") << "udp://192.0.2.9:10110"
                                     << "udp://:10110" << false;
    QTest::newRow("udp other port") << "udp://127.0.0.1:10111"
                                    << "udp://:10110" << false;
    QTest::newRow("tcp and udp differ") << "udp://127.0.0.1:10110"
                                        << "tcp://localhost:10110" << false;
    QTest::newRow("same device") << "serial:/dev/ttyS3@4800"
                                 << "ttyS3" << true;
    QTest::newRow("other device") << "serial:/dev/ttyS4@4800"
                                  << "/dev/ttyS3" << false;
}

void OutputRulesTest::loopGuard() {
    QFETCH(QString, output);
    QFETCH(QString, source);
    const auto address = outputs::parseOutputAddress(output);
    QVERIFY(address);
    const QString reason = outputs::loopReason(*address, QStringList{"file:/nonexistent", source});
    QFETCH(bool, loops);
    QCOMPARE(!reason.isEmpty(), loops);
    if (!reason.isEmpty()) {
        QVERIFY2(reason.contains(address->place()), qPrintable(reason));
    }
}

QTEST_GUILESS_MAIN(OutputRulesTest)
#include "tst_output_rules.moc"
