// Merging AIS reports into targets: hand-built decoded messages through the per-message
// adapters into the table, own ship, ageing on an explicit clock, the cap, flags, and
// the JSON form.
#include <gtest/gtest.h>

#include <cstring>
#include <list>
#include <map>
#include <random>
#include <string>

#include "ais/records.h"
#include "nmea/records.h"
#include "nmea/sentence_parsers.h"
#include "targets/ais_reports.h"
#include "targets/nmea_fixes.h"
#include "targets/target_json.h"
#include "targets/target_table.h"

namespace {

using targets::Field;
using targets::TargetClass;
using targets::TargetTable;

constexpr std::int64_t kMinuteMs = 60000;

// Degrees to the 1/10,000 minute of the messages.
std::int32_t wire(double degrees) {
    return static_cast<std::int32_t>(degrees * 600000.0 + (degrees < 0 ? -0.5 : 0.5));
}

template <int N>
void setText(char (&field)[N], const char* text) {
    std::memset(field, '@', N - 1);
    field[N - 1] = '\0';
    std::memcpy(field, text, std::min<std::size_t>(std::strlen(text), N - 1));
}

ais::AisPositionReport classA(std::uint32_t mmsi, double lat, double lon, unsigned sogTenths,
                              unsigned cogTenths, unsigned status = 0) {
    ais::AisPositionReport r{};
    r.message_type = 1;
    r.mmsi = mmsi;
    r.navigation_status = status;
    r.rate_of_turn = -128;
    r.speed_over_ground = sogTenths;
    r.latitude = wire(lat);
    r.longitude = wire(lon);
    r.course_over_ground = cogTenths;
    r.true_heading = 511;
    return r;
}

ais::AisMessage5 staticA(std::uint32_t mmsi, const char* name, unsigned type) {
    ais::AisMessage5 r{};
    r.message_type = 5;
    r.mmsi = mmsi;
    r.imo_number = 9123456;
    setText(r.call_sign, "OXYZ2");
    setText(r.ship_name, name);
    r.ship_type = type;
    r.dimension_to_bow = 100;
    r.dimension_to_stern = 20;
    r.dimension_to_port = 8;
    r.dimension_to_starboard = 7;
    r.eta = (3u << 16) | (14u << 11) | (12u << 6) | 30u;
    r.draught = 72;
    setText(r.destination, "KIEL");
    return r;
}

template <typename Record>
const targets::Target& feed(TargetTable& table, int type, const Record& record,
                            std::int64_t nowMs = 0, bool own = false) {
    targets::Report report;
    EXPECT_TRUE(targets::reportFromAis(type, &record, own, report)) << type;
    return table.merge(report, nowMs);
}

TEST(Merge, StaticAndDynamicInEitherOrderGiveTheSameTarget) {
    for (bool staticFirst : {true, false}) {
        TargetTable table;
        const auto position = classA(211000001, 54.5, 10.25, 123, 2705, 0);
        const auto voyage = staticA(211000001, "NORDLICHT", 70);
        if (staticFirst) {
            feed(table, 5, voyage);
            feed(table, 1, position);
        } else {
            feed(table, 1, position);
            feed(table, 5, voyage);
        }
        ASSERT_EQ(table.size(), 1);
        const targets::Target& t = *table.find(211000001);
        EXPECT_EQ(t.targetClass, TargetClass::A);
        EXPECT_STREQ(t.shipName, "NORDLICHT");
        EXPECT_STREQ(t.callSign, "OXYZ2");
        EXPECT_STREQ(t.destination, "KIEL");
        EXPECT_DOUBLE_EQ(t.number(Field::Latitude), 54.5);
        EXPECT_DOUBLE_EQ(t.number(Field::Sog), 12.3);
        EXPECT_DOUBLE_EQ(t.number(Field::Cog), 270.5);
        EXPECT_DOUBLE_EQ(t.number(Field::Draught), 7.2);
        EXPECT_EQ(t.slot(Field::ShipName).source, 5);
        EXPECT_EQ(t.slot(Field::Latitude).source, 1);
        EXPECT_EQ(t.messages, 2u);
    }
}

TEST(Merge, ClassBCollectsBothStaticPartsAtDifferentTimes) {
    TargetTable table;
    ais::AisMessage18 position{};
    position.message_type = 18;
    position.mmsi = 244000002;
    position.speed_over_ground = 55;
    position.latitude = wire(52.0);
    position.longitude = wire(4.5);
    position.course_over_ground = 900;
    position.true_heading = 88;
    ais::AisMessage24 partA{};
    partA.message_type = 24;
    partA.mmsi = 244000002;
    partA.part_number = '0';
    setText(partA.ship_name, "SEA BREEZE");
    ais::AisMessage24 partB{};
    partB.message_type = 24;
    partB.mmsi = 244000002;
    partB.part_number = '1';
    partB.ship_type = 36;
    setText(partB.call_sign, "PD1234");
    partB.dimension_to_bow = 6;
    partB.dimension_to_stern = 4;
    partB.dimension_to_port = 2;
    partB.dimension_to_starboard = 2;

    feed(table, 18, position, 0);
    feed(table, 24, partA, 6 * kMinuteMs);
    const targets::Target& t = feed(table, 24, partB, 12 * kMinuteMs);
    EXPECT_EQ(t.targetClass, TargetClass::B);
    EXPECT_STREQ(t.shipName, "SEA BREEZE");  // part B leaves the name alone
    EXPECT_STREQ(t.callSign, "PD1234");
    EXPECT_EQ(t.number(Field::ShipType), 36);
    EXPECT_EQ(t.number(Field::Heading), 88);
    EXPECT_EQ(t.number(Field::ToBow), 6);
    EXPECT_FALSE(t.has(Field::Status));
    EXPECT_EQ(t.flags, 0);

    ais::AisMessage24 undefinedPart = partB;  // parts 2 and 3 do not exist
    undefinedPart.part_number = '2';
    undefinedPart.ship_type = 70;
    const targets::Target& after = feed(table, 24, undefinedPart, 13 * kMinuteMs);
    EXPECT_EQ(after.number(Field::ShipType), 36);
}

TEST(Merge, FixedStationsAndAircraft) {
    TargetTable table;
    ais::AisMessage21 aid{};
    aid.message_type = 21;
    aid.mmsi = 992110001;
    aid.aid_type = 20;
    setText(aid.name, "NORTH CARDINAL");
    aid.latitude = wire(54.1);
    aid.longitude = wire(7.9);
    aid.time_stamp = 30;
    aid.off_position = '1';
    ais::AisMessage4 base{};
    base.message_type = 4;
    base.mmsi = 2190047;
    base.latitude = wire(55.0);
    base.longitude = wire(12.0);
    ais::AisMessage9 sar{};
    sar.message_type = 9;
    sar.mmsi = 111219001;
    sar.altitude = 300;
    sar.speed_over_ground = 120;  // whole knots in this message
    sar.course_over_ground = 450;
    sar.latitude = wire(56.0);
    sar.longitude = wire(11.0);

    const targets::Target& a = feed(table, 21, aid);
    EXPECT_EQ(a.targetClass, TargetClass::AtoN);
    EXPECT_STREQ(a.shipName, "NORTH CARDINAL");
    EXPECT_EQ(a.number(Field::AidType), 20);
    EXPECT_EQ(a.number(Field::OffPosition), 1);
    const targets::Target& b = feed(table, 4, base);
    EXPECT_EQ(b.targetClass, TargetClass::BaseStation);
    EXPECT_DOUBLE_EQ(b.number(Field::Longitude), 12.0);
    const targets::Target& s = feed(table, 9, sar);
    EXPECT_EQ(s.targetClass, TargetClass::Sar);
    EXPECT_DOUBLE_EQ(s.number(Field::Sog), 120.0);
    EXPECT_DOUBLE_EQ(s.number(Field::Cog), 45.0);
}

TEST(Merge, LongRangeBroadcastHasItsOwnScalingAndCodes) {
    TargetTable table;
    feed(table, 1, classA(244123456, 52.0, 4.0, 100, 900));
    ais::AisMessage27 longRange{};
    longRange.message_type = 27;
    longRange.mmsi = 244123456;
    longRange.latitude = 52 * 600 + 3;     // 1/10 minute: 52 deg 0.3 min
    longRange.longitude = -(4 * 600 + 6);  // 4 deg 0.6 min west
    longRange.speed_over_ground = 12;      // whole knots
    longRange.course_over_ground = 270;    // whole degrees
    longRange.navigation_status = 5;
    const targets::Target& t = feed(table, 27, longRange);
    EXPECT_EQ(t.targetClass, TargetClass::A) << "a long-range report keeps the known class";
    EXPECT_DOUBLE_EQ(t.number(Field::Latitude), 52.0 + 0.3 / 60.0);
    EXPECT_DOUBLE_EQ(t.number(Field::Longitude), -(4.0 + 0.6 / 60.0));
    EXPECT_DOUBLE_EQ(t.number(Field::Sog), 12.0);
    EXPECT_DOUBLE_EQ(t.number(Field::Cog), 270.0);

    longRange.latitude = 91 * 600;
    longRange.longitude = 181 * 600;
    longRange.speed_over_ground = 63;
    longRange.course_over_ground = 511;
    const targets::Target& same = feed(table, 27, longRange);
    EXPECT_DOUBLE_EQ(same.number(Field::Latitude), 52.0 + 0.3 / 60.0) << "n/a keeps the last";
    EXPECT_DOUBLE_EQ(same.number(Field::Sog), 12.0);
    EXPECT_DOUBLE_EQ(same.number(Field::Cog), 270.0);

    ais::AisMessage4 utcResponse{};
    utcResponse.message_type = 11;
    utcResponse.mmsi = 244123456;
    utcResponse.latitude = wire(52.5);
    utcResponse.longitude = wire(4.5);
    const targets::Target& answered = feed(table, 11, utcResponse);
    EXPECT_EQ(answered.targetClass, TargetClass::A) << "a UTC response says nothing of class";
    EXPECT_DOUBLE_EQ(answered.number(Field::Latitude), 52.5);
}

TEST(Merge, NotAvailableCodesStayBlankAndKeepEarlierValues) {
    TargetTable table;
    feed(table, 1, classA(230000003, 60.0, 25.0, 100, 1800));
    auto blank = classA(230000003, 91.0, 181.0, 1023, 3600);
    blank.true_heading = 511;
    const targets::Target& t = feed(table, 1, blank);
    EXPECT_DOUBLE_EQ(t.number(Field::Latitude), 60.0);  // the last real position stays
    EXPECT_DOUBLE_EQ(t.number(Field::Sog), 10.0);
    EXPECT_FALSE(t.has(Field::Heading));
    EXPECT_FALSE(t.has(Field::Turn));
    EXPECT_EQ(t.flags, 0);

    TargetTable fresh;
    const targets::Target& u = feed(fresh, 1, blank);
    EXPECT_FALSE(u.hasPosition());
    EXPECT_FALSE(u.has(Field::Sog));
    EXPECT_FALSE(u.has(Field::Cog));
    std::string json;
    targets::appendTargetJson(json, u, fresh.relate(u));
    for (const char* field : {"\"lat\":null", "\"sog\":null", "\"cog\":null", "\"heading\":null",
                              "\"turn\":null", "\"shipname\":null", "\"range\":null"}) {
        EXPECT_NE(json.find(field), std::string::npos) << field << " in " << json;
    }
}

TEST(Merge, DoubtfulStationsAreKeptAndFlagged) {
    struct Case {
        const char* name;
        std::uint32_t mmsi;
        double lat, lon;
        std::uint8_t flags;
    };
    const Case cases[] = {
        {"MMSI zero", 0, 10, 10, targets::kFlagBadMmsi},
        {"MMSI of ten digits", 1000000000, 10, 10, targets::kFlagBadMmsi},
        {"largest MMSI", 999999999, 10, 10, 0},
        {"latitude 95", 211000004, 95, 10, targets::kFlagBadPosition},
        {"longitude -190", 211000005, 10, -190, targets::kFlagBadPosition},
    };
    for (const Case& c : cases) {
        TargetTable table;
        const targets::Target& t = feed(table, 1, classA(c.mmsi, c.lat, c.lon, 0, 0));
        EXPECT_EQ(table.size(), 1) << c.name;
        EXPECT_EQ(t.flags, c.flags) << c.name;
        EXPECT_EQ(t.hasPosition(), c.flags != targets::kFlagBadPosition) << c.name;
    }

    TargetTable table;
    const char* names[] = {"ALPHA", "BRAVO", "CHARLIE", "DELTA"};
    for (int i = 0; i < 4; ++i) {
        const targets::Target& t = feed(table, 5, staticA(211000006, names[i], 70));
        EXPECT_EQ((t.flags & targets::kFlagChangingStatic) != 0, i >= 3) << names[i];
    }
}

TEST(OwnShip, TransponderOutranksTheNavigationReceiver) {
    TargetTable table;
    feed(table, 1, classA(211000007, 54.0, 10.0, 100, 0), 0, /*own=*/true);
    EXPECT_EQ(table.find(211000007)->targetClass, TargetClass::OwnShip);
    ASSERT_TRUE(table.ownShip().hasPosition);
    EXPECT_TRUE(table.ownShip().fromTransponder);

    nmeaz::RmcRecord rmc{};
    rmc.status = 'A';
    rmc.latitude = 5530.0;  // 55 deg 30 min
    rmc.ns = 'N';
    rmc.longitude = 1215.0;
    rmc.ew = 'W';
    rmc.sog = 4.0;
    rmc.cog = 90.0;
    targets::applyNavigationFix(nmeaz::kCodeRmc, &rmc, table, kMinuteMs);
    EXPECT_DOUBLE_EQ(table.ownShip().kinematics.latitude, 54.0);  // transponder still fresh

    targets::applyNavigationFix(nmeaz::kCodeRmc, &rmc, table, 4 * kMinuteMs);
    EXPECT_FALSE(table.ownShip().fromTransponder);
    EXPECT_DOUBLE_EQ(table.ownShip().kinematics.latitude, 55.5);
    EXPECT_DOUBLE_EQ(table.ownShip().kinematics.longitude, -12.25);
    EXPECT_DOUBLE_EQ(table.ownShip().kinematics.sog, 4.0);

    rmc.status = 'V';  // no fix: ignored
    rmc.latitude = 0.0;
    targets::applyNavigationFix(nmeaz::kCodeRmc, &rmc, table, 5 * kMinuteMs);
    EXPECT_DOUBLE_EQ(table.ownShip().kinematics.latitude, 55.5);
}

TEST(OwnShip, DistanceAndApproachNeedOwnPositionAndMotion) {
    TargetTable table;
    const targets::Target& t = feed(table, 1, classA(211000008, 0.1, 0.0, 100, 1800));
    EXPECT_FALSE(table.relate(t).hasRange);

    nmeaz::GgaRecord gga{};
    gga.sig = 1;
    gga.ns = 'N';
    gga.ew = 'E';
    targets::applyNavigationFix(nmeaz::kCodeGga, &gga, table, 0);
    targets::Relation r = table.relate(t);
    EXPECT_TRUE(r.hasRange);
    EXPECT_NEAR(r.rangeBearing.rangeNm, 6.0, 1e-6);
    EXPECT_FALSE(r.hasApproach);  // own motion unknown

    nmeaz::VtgRecord vtg{};
    vtg.cog1 = 0.0;
    vtg.cog1_unit = 'T';
    vtg.sog1 = 10.0;
    vtg.sog1_unit = 'N';
    vtg.mode = 'A';
    targets::applyNavigationFix(nmeaz::kCodeVtg, &vtg, table, 0);
    r = table.relate(t);
    ASSERT_TRUE(r.hasApproach);
    EXPECT_NEAR(r.approach.tcpaMin, 18.0, 1e-6);  // head-on at 20 kn over 6 NM
    EXPECT_TRUE(r.dangerous);
}

TEST(OwnShip, MotionComesFromTheFreshestSource) {
    TargetTable table;
    feed(table, 1, classA(211000011, 54.0, 10.0, 100, 0), 0, /*own=*/true);
    ASSERT_TRUE(table.ownShip().hasMotion);
    EXPECT_DOUBLE_EQ(table.ownShip().kinematics.cog, 0.0);

    nmeaz::RmcRecord rmc{};
    rmc.status = 'A';
    rmc.latitude = 5400.0;
    rmc.ns = 'N';
    rmc.longitude = 1000.0;
    rmc.ew = 'E';
    rmc.sog = 4.0;
    rmc.cog = 90.0;
    // Once the transponder's report has aged, the receiver's RMC moves own ship.
    targets::applyNavigationFix(nmeaz::kCodeRmc, &rmc, table, 4 * kMinuteMs);
    EXPECT_DOUBLE_EQ(table.ownShip().kinematics.sog, 4.0);
    EXPECT_DOUBLE_EQ(table.ownShip().kinematics.cog, 90.0);
    // A new own report takes over again, motion included.
    feed(table, 1, classA(211000011, 54.0, 10.0, 70, 2700), 5 * kMinuteMs, /*own=*/true);
    EXPECT_DOUBLE_EQ(table.ownShip().kinematics.sog, 7.0);
    EXPECT_DOUBLE_EQ(table.ownShip().kinematics.cog, 270.0);
}

TEST(OwnShip, VtgWithoutAValidFixGivesNoMotion) {
    TargetTable table;
    const targets::Target& t = feed(table, 1, classA(211000012, 0.05, 0.0, 100, 1800));
    nmeaz::GgaRecord gga{};
    gga.sig = 1;
    gga.ns = 'N';
    gga.ew = 'E';
    targets::applyNavigationFix(nmeaz::kCodeGga, &gga, table, 0);
    nmeaz::VtgRecord vtg{};
    vtg.cog1 = 0.0;
    vtg.cog1_unit = 'T';
    vtg.sog1 = 10.0;
    vtg.sog1_unit = 'N';
    vtg.mode = 'N';
    targets::applyNavigationFix(nmeaz::kCodeVtg, &vtg, table, 0);
    EXPECT_FALSE(table.ownShip().hasMotion);
    EXPECT_FALSE(table.relate(t).hasApproach);
    vtg.mode = 'D';
    targets::applyNavigationFix(nmeaz::kCodeVtg, &vtg, table, 0);
    ASSERT_TRUE(table.relate(t).hasApproach);
    EXPECT_NEAR(table.relate(t).approach.tcpaMin, 9.0, 1e-6);
}

TEST(Danger, OnlyForAClosestApproachStillAhead) {
    struct Case {
        const char* name;
        double lat;
        unsigned cogTenths;
        bool dangerous;
    };
    // Own ship stationary at 0,0; the target passes right over it at 12 kn.
    const Case cases[] = {
        {"closing, 5 min ahead", 1 / 60.0, 1800, true},
        {"opening, 5 min past", 1 / 60.0, 0, false},
        {"closing, 25 min ahead", 5 / 60.0, 1800, false},
    };
    for (const Case& c : cases) {
        TargetTable table;
        targets::OwnShip own;
        own.hasPosition = own.hasMotion = true;
        table.fixOwnShip(own);
        const targets::Target& t = feed(table, 1, classA(211000013, c.lat, 0.0, 120, c.cogTenths));
        const targets::Relation r = table.relate(t);
        ASSERT_TRUE(r.hasApproach) << c.name;
        EXPECT_NEAR(r.approach.cpaNm, 0.0, 1e-6) << c.name;
        EXPECT_EQ(r.dangerous, c.dangerous) << c.name;
    }
}

TEST(Ageing, StaleAndRemovalScaleWithTheReportingRate) {
    struct Case {
        const char* name;
        unsigned status;
        unsigned sogTenths;
        std::int64_t staleAfterMin;   // grey once older than this
        std::int64_t removeAfterMin;  // removed once older than this
    };
    const Case cases[] = {
        {"under way", 0, 120, 3, 10},
        {"at anchor", 1, 0, 9, 30},
        {"moored", 5, 0, 9, 30},
        {"drifting slowly", 0, 10, 9, 30},
        // The navigation status alone decides, whatever speed the ship reports.
        {"moored, speed reported", 5, 120, 9, 30},
        {"at anchor, speed reported", 1, 50, 9, 30},
    };
    for (const Case& c : cases) {
        TargetTable table;
        const targets::Target& t =
            feed(table, 1, classA(211000009, 54, 10, c.sogTenths, 0, c.status));
        EXPECT_FALSE(table.isStale(t, c.staleAfterMin * kMinuteMs)) << c.name;
        EXPECT_TRUE(table.isStale(t, c.staleAfterMin * kMinuteMs + 1)) << c.name;
        EXPECT_EQ(table.expire(c.removeAfterMin * kMinuteMs), 0) << c.name;
        EXPECT_EQ(table.expire(c.removeAfterMin * kMinuteMs + 1), 1) << c.name;
        EXPECT_EQ(table.size(), 0) << c.name;
    }
}

TEST(Capacity, OldestLeaveFirstAndLookupsSurviveRemovals) {
    // A small table under a random stream, against a plain model: MMSIs ordered by
    // their last message, the oldest dropped when a new one needs room.
    targets::TableSettings settings;
    settings.capacity = 40;
    TargetTable table(settings);
    std::list<std::uint32_t> model;
    std::mt19937 random(7);
    std::uniform_int_distribution<std::uint32_t> pick(1, 120);
    for (int step = 0; step < 20000; ++step) {
        const std::uint32_t mmsi = pick(random) * 1000;  // many share a bucket run
        model.remove(mmsi);
        model.push_back(mmsi);
        if (model.size() > 40) {
            model.pop_front();
        }
        feed(table, 1, classA(mmsi, 1, 1, 0, 0), step);
        ASSERT_EQ(table.size(), static_cast<int>(model.size()));
    }
    for (std::uint32_t m = 1000; m <= 120000; m += 1000) {
        const bool expected = std::find(model.begin(), model.end(), m) != model.end();
        EXPECT_EQ(table.find(m) != nullptr, expected) << m;
    }
    std::vector<std::uint32_t> order;
    table.forEach([&order](const targets::Target& t) { order.push_back(t.mmsi); });
    EXPECT_TRUE(std::equal(order.begin(), order.end(), model.begin(), model.end()));
    EXPECT_GT(table.evicted(), 0u);
}

TEST(Json, OneObjectWithNamedFieldsAndRelation) {
    TargetTable table;
    targets::OwnShip own;
    own.hasPosition = true;
    own.hasMotion = true;
    table.fixOwnShip(own);
    feed(table, 5, staticA(211000010, "NORD \"X\"", 70));
    const targets::Target& t = feed(table, 1, classA(211000010, 0.1, 0.0, 100, 1800));
    std::string json;
    targets::appendTargetJson(json, t, table.relate(t));
    EXPECT_EQ(json,
              "{\"mmsi\":211000010,\"class\":\"A\",\"shipname\":\"NORD \\\"X\\\"\","
              "\"callsign\":\"OXYZ2\",\"imo\":9123456,\"shiptype\":70,\"lat\":0.100000,"
              "\"lon\":0.000000,\"sog\":10.0,\"cog\":180.0,\"heading\":null,\"turn\":null,"
              "\"status\":0,\"destination\":\"KIEL\",\"eta\":\"03-14 12:30\",\"draught\":7.2,"
              "\"to_bow\":100,\"to_stern\":20,\"to_port\":8,\"to_starboard\":7,"
              "\"aid_type\":null,\"off_position\":null,\"messages\":2,\"flags\":[],"
              "\"range\":6.000,\"bearing\":0.0,\"cpa\":0.000,\"tcpa\":36.0}\n");
}

}  // namespace
