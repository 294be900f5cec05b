// The NMEA 2000 satellites-in-view and DOP messages into the sky model, decoded with
// the real PGN database: a real 129540 (its values checked against the independent
// decoder's reference, tests/data/n2k) and a 129539 built from the same reference.
#include <gtest/gtest.h>

#include <QString>
#include <fstream>
#include <memory>
#include <string>

#include "n2k/line_result.h"
#include "n2k/pgn_decoder.h"
#include "n2k/plain_line.h"
#include "n2k_db/database_loader.h"
#include "sky/n2k_sky.h"

namespace {

const n2k::PgnDatabase& database() {
    static const auto db = [] {
        auto loaded = std::make_unique<n2k::PgnDatabase>();
        QString error;
        EXPECT_TRUE(
            n2kdb::loadPgnDatabase(QStringLiteral(TIDEWRIGHT_PGN_DATABASE_FILE), *loaded, error))
            << error.toStdString();
        return loaded;
    }();
    return *db;
}

struct Decoded {
    n2k::Message message;
    n2k::DecodedPgn pgn;
};

std::unique_ptr<Decoded> decode(const n2k::Message& message) {
    auto out = std::make_unique<Decoded>();
    out->message = message;
    n2k::PgnDecoder decoder(database());
    decoder.decode(out->message, out->pgn);
    return out;
}

TEST(N2kSky, SatellitesInViewAndDops) {
    std::int64_t now = 1000;
    sky::SkyModel model([&now] { return now; });

    std::ifstream file(TIDEWRIGHT_N2K_DATA "/129540.raw");
    std::string line;
    ASSERT_TRUE(std::getline(file, line));
    auto out = std::make_unique<n2k::LineOutput>();
    ASSERT_EQ(n2k::readPlainLine(line, *out), n2k::LineKind::Message);
    const auto inView = decode(out->message);
    ASSERT_TRUE(sky::addSkyPgn(database(), inView->pgn, model));

    // The reference: 18 satellites, all used; the first PRN 30 at 1.0646 rad elevation,
    // 4.2935 rad azimuth, 41 dB; the last without a status.
    EXPECT_EQ(model.count(), 18);
    EXPECT_EQ(model.inView(), 18);
    EXPECT_EQ(model.inUse(), 17);
    bool found = false;
    for (int i = 0; i < model.count(); ++i) {
        const sky::SatelliteReport& r = model.satellite(i).report;
        if (r.number == 30) {
            found = true;
            EXPECT_EQ(r.system, sky::Constellation::Gps);
            EXPECT_TRUE(r.hasPosition);
            EXPECT_EQ(r.elevation, 61);
            EXPECT_EQ(r.azimuth, 246);
            EXPECT_TRUE(r.tracked);
            EXPECT_EQ(r.snr, 41);
            EXPECT_TRUE(model.used(r));
        }
        if (r.number == 73) {
            EXPECT_EQ(r.system, sky::Constellation::Glonass);
        }
    }
    EXPECT_TRUE(found);

    // 129539: sid 0, desired mode auto, actual mode 3D, HDOP 1.90, VDOP 2.80, TDOP n/a.
    n2k::Message dops;
    dops.pgn = 129539;
    dops.priority = 6;
    dops.source = 127;
    dops.length = 8;
    const std::uint8_t bytes[] = {0x00, 0x13, 0xBE, 0x00, 0x18, 0x01, 0xFF, 0x7F};
    std::copy(std::begin(bytes), std::end(bytes), dops.data);
    const auto dop = decode(dops);
    ASSERT_TRUE(sky::addSkyPgn(database(), dop->pgn, model));
    EXPECT_NEAR(model.dops().hdop, 1.9, 1e-9);
    EXPECT_NEAR(model.dops().vdop, 2.8, 1e-9);
    EXPECT_NEAR(model.dops().pdop, std::sqrt(1.9 * 1.9 + 2.8 * 2.8), 1e-9);
    EXPECT_EQ(model.fix().mode, 3);

    n2k::Message other;
    other.pgn = 127250;
    other.length = 8;
    EXPECT_FALSE(sky::addSkyPgn(database(), decode(other)->pgn, model));
}

}  // namespace
