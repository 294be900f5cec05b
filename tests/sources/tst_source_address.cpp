// Source strings: every form a user may type, and each malformed one with the message
// that names what is wrong.
#include <unistd.h>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "sources/source_address.h"

using sources::parseSourceAddress;
using sources::SourceAddress;

class SourceAddressTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(work.isValid());
        QFile log(work.filePath("trip.log"));
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write("$GPZDA*00\r\n");
        log.close();
        QFile locked(work.filePath("locked.log"));
        QVERIFY(locked.open(QIODevice::WriteOnly));
        locked.close();
        QVERIFY(locked.setPermissions(QFileDevice::WriteOwner));
    }

    // Input, and the canonical source it names.
    void wellFormed_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("canonical");
        const QString log = work.filePath("trip.log");
        QTest::newRow("tcp host and port") << "tcp://gateway.local:2000"
                                           << "tcp://gateway.local:2000";
        QTest::newRow("tcp default port") << "tcp://192.168.4.1"
                                          << "tcp://192.168.4.1:10110";
        QTest::newRow("tcp ipv6") << "TCP://[::1]:10111"
                                  << "tcp://[::1]:10111";
        QTest::newRow("tcp list entry") << "TCP localhost:10110"
                                        << "tcp://localhost:10110";
        QTest::newRow("udp any") << "udp://:10110"
                                 << "udp://:10110";
        QTest::newRow("udp bare") << "udp://"
                                  << "udp://:10110";
        QTest::newRow("udp list entry") << "UDP :10110"
                                        << "udp://:10110";
        QTest::newRow("udp multicast") << "udp://239.192.0.1:60001"
                                       << "udp://239.192.0.1:60001";
        QTest::newRow("udp port max") << "udp://:65535"
                                      << "udp://:65535";
        QTest::newRow("file scheme") << "file:" + log << "file:" + log;
        QTest::newRow("file url") << "file://" + log << "file:" + log;
        QTest::newRow("plain path") << log << "file:" + log;
        QTest::newRow("com port") << "COM3"
                                  << "COM3";
        QTest::newRow("device path") << "/dev/ttyUSB0"
                                     << "/dev/ttyUSB0";
        QTest::newRow("spaces trimmed") << "  tcp://h:1  "
                                        << "tcp://h:1";
    }
    void wellFormed() {
        QFETCH(QString, input);
        QFETCH(QString, canonical);
        QString error;
        const auto where = parseSourceAddress(input, &error);
        QVERIFY2(where.has_value(), qPrintable(error));
        QCOMPARE(where->text(), canonical);
    }

    // Input, and a part of the message that says what is wrong.
    void malformed_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << "   "
                               << "No source given";
        QTest::newRow("unknown scheme") << "http://x:80"
                                        << "Unknown source scheme 'http'";
        QTest::newRow("serial scheme") << "serial://COM3"
                                       << "Unknown source scheme 'serial'";
        QTest::newRow("tcp no host") << "tcp://:10110"
                                     << "Missing host in 'tcp://:10110'";
        QTest::newRow("tcp nothing") << "tcp://"
                                     << "Missing host";
        QTest::newRow("port zero") << "tcp://h:0"
                                   << "Port '0' in 'tcp://h:0' is out of range";
        QTest::newRow("port too big") << "udp://:65536"
                                      << "Port '65536' in 'udp://:65536' is out";
        QTest::newRow("port huge") << "tcp://h:99999999999"
                                   << "Port '99999999999'";
        QTest::newRow("port negative") << "tcp://h:-1"
                                       << "Port '-1'";
        QTest::newRow("port not a number") << "tcp://h:ten"
                                           << "Port 'ten'";
        QTest::newRow("port missing") << "tcp://h:"
                                      << "Missing port number after ':'";
        QTest::newRow("path after port") << "tcp://h:10110/nmea"
                                         << "Unexpected path";
        QTest::newRow("unclosed bracket") << "tcp://[::1:10110"
                                          << "Unclosed '['";
        QTest::newRow("port glued to bracket") << "tcp://[::1]10110"
                                               << "Unexpected '10110' after ']'";
        QTest::newRow("text glued to bracket udp") << "udp://[::1]x"
                                                   << "Unexpected 'x' after ']'";
        QTest::newRow("udp bare number typed") << "udp 10110"
                                               << "is a number, not a host: for port 10110 "
                                                  "give udp://:10110";
        QTest::newRow("tcp bare number") << "tcp://10110"
                                         << "give tcp://HOST:10110";
        QTest::newRow("udp number with port") << "udp://4800:10110"
                                              << "'4800' in 'udp://4800:10110' is a number";
        QTest::newRow("udp host name") << "udp://boat:10110"
                                       << "'boat' in 'udp://boat:10110' is not an IP address";
        QTest::newRow("file missing") << "file:" + work.filePath("gone.log") << "No such log file";
        QTest::newRow("file empty name") << "file:"
                                         << "Missing file name";
        QTest::newRow("file is a directory") << "file:" + work.path() << "is not a regular file";
        QTest::newRow("directory path") << work.path() << "is a directory";
        QTest::newRow("file unreadable")
            << "file:" + work.filePath("locked.log") << "cannot be read";
    }
    void malformed() {
        QFETCH(QString, input);
        QFETCH(QString, message);
        if (QTest::currentDataTag() == QLatin1String("file unreadable") && ::geteuid() == 0) {
            QSKIP("root reads every file");
        }
        QString error;
        QVERIFY(!parseSourceAddress(input, &error).has_value());
        QVERIFY2(error.contains(message), qPrintable(error));
    }

private:
    QTemporaryDir work;
};

QTEST_GUILESS_MAIN(SourceAddressTest)
#include "tst_source_address.moc"
