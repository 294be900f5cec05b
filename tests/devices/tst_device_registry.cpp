// The device list as address claims, product and configuration information and
// ordinary traffic arrive, decoded with the real database: a device that moves to a
// new address, two NAMEs on one address, lookups by name, and the gateway's own
// transmissions kept out.
#include <QTest>
#include <cstring>
#include <memory>

#include "devices/device_registry.h"
#include "n2k_db/database_loader.h"

namespace {

struct NameFields {
    std::uint32_t uniqueNumber = 0;
    std::uint16_t manufacturer = 0;
    std::uint8_t deviceFunction = 0;
    std::uint8_t deviceClass = 0;
};

std::uint64_t nameOf(const NameFields& f) {
    std::uint64_t name = f.uniqueNumber & 0x1FFFFF;
    name |= std::uint64_t(f.manufacturer & 0x7FF) << 21;
    name |= std::uint64_t(f.deviceFunction) << 40;
    name |= std::uint64_t(f.deviceClass & 0x7F) << 49;
    name |= std::uint64_t(4) << 60;  // marine industry group
    name |= std::uint64_t(1) << 63;  // arbitrary address capable
    return name;
}

std::unique_ptr<n2k::Message> message(std::uint32_t pgn, std::uint8_t source, int length) {
    auto m = std::make_unique<n2k::Message>();
    m->pgn = pgn;
    m->source = source;
    m->priority = 6;
    m->length = length;
    std::memset(m->data, 0xFF, static_cast<std::size_t>(length));
    return m;
}

std::unique_ptr<n2k::Message> claim(std::uint8_t source, std::uint64_t name) {
    auto m = message(devices::kAddressClaimPgn, source, 8);
    for (int i = 0; i < 8; ++i) {
        m->data[i] = static_cast<std::uint8_t>(name >> (8 * i));
    }
    return m;
}

void putText(n2k::Message& m, int at, const char* text) {
    std::memset(m.data + at, ' ', 32);
    std::memcpy(m.data + at, text, std::strlen(text));
}

std::unique_ptr<n2k::Message> product(std::uint8_t source) {
    auto m = message(devices::kProductInformationPgn, source, 134);
    m->data[0] = 0x4C;  // NMEA 2000 version 2.1
    m->data[1] = 0x08;
    m->data[2] = 0x39;  // product code 12345
    m->data[3] = 0x30;
    putText(*m, 4, "Depth Sounder 200");
    putText(*m, 36, "2.4.1");
    putText(*m, 68, "Rev B");
    putText(*m, 100, "SN0042");
    m->data[132] = 1;  // certification level B
    m->data[133] = 1;
    return m;
}

}  // namespace

class TestDeviceRegistry : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void addressClaimNamesTheDevice();
    void productInformation();
    void claimsAcrossAddresses_data();
    void claimsAcrossAddresses();
    void trafficRatesAndOwnTransmissions();

private:
    void feed(devices::DeviceRegistry& registry, const n2k::Message& m, std::int64_t nowMs) {
        n2k::PgnDecoder decoder(database_);
        auto decoded = std::make_unique<n2k::DecodedPgn>();
        decoder.decode(m, *decoded);
        registry.note(m, *decoded, database_, nowMs);
    }

    n2k::PgnDatabase database_;
};

void TestDeviceRegistry::initTestCase() {
    QString error;
    QVERIFY2(n2kdb::loadPgnDatabase(QStringLiteral(TIDEWRIGHT_PGN_DATABASE_FILE), database_, error),
             qPrintable(error));
}

void TestDeviceRegistry::addressClaimNamesTheDevice() {
    devices::DeviceRegistry registry;
    // Manufacturer 135, class 60 (navigation), function 145 under that class.
    const std::uint64_t name = nameOf({123456, 135, 145, 60});
    feed(registry, *claim(35, name), 1000);
    const devices::Device* device = registry.device(35);
    QVERIFY(device != nullptr);
    QVERIFY(device->claimed);
    QCOMPARE(device->name, name);
    QCOMPARE(device->uniqueNumber, 123456u);
    // Lookups come by name; a number would mean the table was not consulted.
    QVERIFY2(!device->manufacturer.empty() && device->manufacturer != "135",
             device->manufacturer.c_str());
    QCOMPARE(device->deviceClass, std::string("Navigation"));
    // The function's name depends on the class (an indirect lookup).
    QCOMPARE(device->deviceFunction, std::string("Ownship Position (GNSS)"));
    QCOMPARE(devices::DeviceRegistry::nameText(name).size(), std::size_t(18));
}

void TestDeviceRegistry::productInformation() {
    devices::DeviceRegistry registry;
    feed(registry, *product(12), 1000);
    const devices::Device* device = registry.device(12);
    QVERIFY(device != nullptr);
    QVERIFY(device->hasProduct);
    QVERIFY(!device->claimed);
    QCOMPARE(device->model, std::string("Depth Sounder 200"));
    QCOMPARE(device->softwareVersion, std::string("2.4.1"));
    QCOMPARE(device->modelVersion, std::string("Rev B"));
    QCOMPARE(device->serialCode, std::string("SN0042"));
    QCOMPARE(device->productCode, 12345u);
    QCOMPARE(device->certificationLevel, std::string("Level B"));
}

// Each row: a sequence of claims (address, which NAME) and what the list then says.
void TestDeviceRegistry::claimsAcrossAddresses_data() {
    QTest::addColumn<QList<int>>("addresses");
    QTest::addColumn<QList<int>>("names");  // index into two NAMEs
    QTest::addColumn<int>("address");       // the entry checked
    QTest::addColumn<int>("expectedName");
    QTest::addColumn<int>("previousAddress");
    QTest::addColumn<int>("movedTo");
    QTest::addColumn<int>("rivals");

    QTest::newRow("same NAME reclaims its address")
        << QList<int>{10, 10} << QList<int>{0, 0} << 10 << 0 << -1 << -1 << 0;
    QTest::newRow("moved: new address knows the old")
        << QList<int>{10, 20} << QList<int>{0, 0} << 20 << 0 << 10 << -1 << 0;
    QTest::newRow("moved: old address points on")
        << QList<int>{10, 20} << QList<int>{0, 0} << 10 << 0 << -1 << 20 << 0;
    QTest::newRow("moved back: old entry holds it again")
        << QList<int>{10, 20, 10} << QList<int>{0, 0, 0} << 10 << 0 << 20 << -1 << 0;
    QTest::newRow("two NAMEs on one address")
        << QList<int>{10, 10} << QList<int>{0, 1} << 10 << 1 << -1 << -1 << 1;
    QTest::newRow("contest won back: rival still shown")
        << QList<int>{10, 10, 10} << QList<int>{0, 1, 0} << 10 << 0 << -1 << -1 << 1;
    QTest::newRow("loser moves on after the contest")
        << QList<int>{10, 10, 10, 11} << QList<int>{0, 1, 0, 1} << 11 << 1 << -1 << -1 << 0;
}

void TestDeviceRegistry::claimsAcrossAddresses() {
    QFETCH(QList<int>, addresses);
    QFETCH(QList<int>, names);
    QFETCH(int, address);
    QFETCH(int, expectedName);
    QFETCH(int, previousAddress);
    QFETCH(int, movedTo);
    QFETCH(int, rivals);
    const std::uint64_t known[2] = {nameOf({1001, 135, 145, 60}), nameOf({2002, 1851, 130, 25})};
    devices::DeviceRegistry registry;
    for (int i = 0; i < addresses.size(); ++i) {
        feed(registry, *claim(std::uint8_t(addresses[i]), known[names[i]]), 1000 * i);
    }
    const devices::Device* device = registry.device(std::uint8_t(address));
    QVERIFY(device != nullptr);
    QCOMPARE(device->name, known[expectedName]);
    QCOMPARE(device->previousAddress, previousAddress);
    QCOMPARE(device->movedTo, movedTo);
    QCOMPARE(int(device->otherNames.size()), rivals);
    if (rivals > 0) {
        QCOMPARE(device->otherNames.front(), known[1 - expectedName]);
    }
}

void TestDeviceRegistry::trafficRatesAndOwnTransmissions() {
    devices::DeviceRegistry registry;
    auto position = message(129025, 3, 8);
    for (int i = 0; i < 11; ++i) {
        feed(registry, *position, 100 * i);  // ten a second
    }
    auto own = message(129025, 7, 8);
    own->sentByGateway = true;
    feed(registry, *own, 1000);
    auto unknown = message(65280 + 200, 3, 8);
    feed(registry, *unknown, 1000);

    QCOMPARE(registry.devices().size(), std::size_t(1));
    const devices::Device* device = registry.device(3);
    QVERIFY(device != nullptr);
    QCOMPARE(device->pgns.size(), std::size_t(2));
    QCOMPARE(device->pgns[0].pgn, 129025u);
    QCOMPARE(device->pgns[0].description, std::string("Position, Rapid Update"));
    QCOMPARE(device->pgns[0].count, 11u);
    QCOMPARE(devices::DeviceRegistry::rate(device->pgns[0]), 10.0);
    QCOMPARE(device->pgns[1].count, 1u);
    QCOMPARE(devices::DeviceRegistry::rate(device->pgns[1]), 0.0);

    const std::uint64_t generation = registry.generation();
    registry.clear();
    QVERIFY(registry.generation() > generation);
    QVERIFY(registry.devices().empty());
}

QTEST_GUILESS_MAIN(TestDeviceRegistry)
#include "tst_device_registry.moc"
