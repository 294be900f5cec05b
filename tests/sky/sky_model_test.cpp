// The sky model fed with real sentences through the NMEA core: groups, signals,
// missing values, satellites in use, DOPs, fading and the signal history.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../nmea/nmea_test_support.h"
#include "nmea/records.h"
#include "nmea/sentence_fields.h"
#include "sky/sky_model.h"

namespace sky {
namespace {

class Sky : public nmeaz::test::AllTypes {
protected:
    // Each sentence goes through the parser and its record into the model, as the
    // monitor's parse cycle hands them on.
    void feed(std::initializer_list<const char*> bodies) {
        for (const char* body : bodies) {
            const int code = feedSentence(body);
            ASSERT_GT(code, 0) << body;
            model->addSentence(nmeaz::currentSentenceName + 1, code,
                               nmeaz::layoutFor(code)->record);
        }
    }
    const Satellite* find(Constellation system, int number, int signal = 0) const {
        for (int i = 0; i < model->count(); ++i) {
            const SatelliteReport& r = model->satellite(i).report;
            if (r.system == system && r.number == number && r.signal == signal)
                return &model->satellite(i);
        }
        return nullptr;
    }

    std::int64_t now = 1'000'000;
    std::unique_ptr<SkyModel> model = std::make_unique<SkyModel>([this] { return now; });
};

TEST_F(Sky, SeveralConstellationsAndSignalsFromCompleteGroups) {
    feed({"$GPGSV,2,1,05,03,41,050,46,07,60,317,49,08,34,315,45,11,35,148,45,1",
          "$GPGSV,2,2,05,13,38,213,,1", "$GLGSV,1,1,02,65,20,100,30,66,70,200,35",
          "$GAGSV,1,1,02,11,45,090,40,12,10,300,28,7", "$GAGSV,1,1,01,11,45,090,33,1",
          "$GBGSV,1,1,01,201,55,010,44"});
    EXPECT_EQ(model->count(), 11);
    EXPECT_EQ(model->inView(), 10) << "Galileo 11 heard on two signals is one satellite";
    const struct {
        Constellation system;
        int number, signal, elevation, azimuth, snr;
    } expected[] = {
        {Constellation::Gps, 3, 1, 41, 50, 46},       {Constellation::Gps, 13, 1, 38, 213, -1},
        {Constellation::Glonass, 66, 0, 70, 200, 35}, {Constellation::Galileo, 11, 7, 45, 90, 40},
        {Constellation::Galileo, 11, 1, 45, 90, 33},  {Constellation::BeiDou, 201, 0, 55, 10, 44},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(std::string(constellationName(e.system)) + " " + std::to_string(e.number));
        const Satellite* s = find(e.system, e.number, e.signal);
        ASSERT_NE(s, nullptr);
        EXPECT_TRUE(s->report.hasPosition);
        EXPECT_EQ(s->report.elevation, e.elevation);
        EXPECT_EQ(s->report.azimuth, e.azimuth);
        EXPECT_EQ(s->report.tracked, e.snr >= 0);
        if (e.snr >= 0) {
            EXPECT_EQ(s->report.snr, e.snr);
        }
    }
}

// Nothing changes while a group arrives; a group of more than three parts counts when
// whole; a group with a part missing never counts.
TEST_F(Sky, GroupsCountOnlyWhenWhole) {
    feed({"$GPGSV,4,1,14,01,10,010,20,02,20,020,21,03,30,030,22,04,40,040,23",
          "$GPGSV,4,2,14,05,50,050,24,06,60,060,25,07,70,070,26,08,80,080,27"});
    const std::uint64_t before = model->revision();
    EXPECT_EQ(model->count(), 0);
    feed({"$GPGSV,4,3,14,09,15,090,28,10,25,100,29,11,35,110,30,12,45,120,31"});
    EXPECT_EQ(model->count(), 0);
    EXPECT_EQ(model->revision(), before);
    feed({"$GPGSV,4,4,14,14,55,140,33,15,65,150,34"});
    EXPECT_EQ(model->count(), 14);

    model->clear();
    feed({"$GLGSV,3,1,09,65,10,010,20,66,20,020,21,67,30,030,22,68,40,040,23",
          "$GLGSV,3,3,09,73,15,090,28"});
    EXPECT_EQ(model->count(), 0) << "part 2 of 3 went missing";
    feed({"$GLGSV,3,2,09,69,10,010,20,70,20,020,21,71,30,030,22,72,40,040,23",
          "$GLGSV,3,3,09,73,15,090,28"});
    EXPECT_EQ(model->count(), 0) << "a group picked up in the middle";
}

TEST_F(Sky, MissingPositionOrSignal) {
    feed({"$GPGSV,1,1,04,05,,,42,06,30,,40,07,25,100,,08,00,000,00"});
    ASSERT_EQ(model->count(), 4);
    const struct {
        int number;
        bool position, tracked;
    } cases[] = {{5, false, true}, {6, false, true}, {7, true, false}, {8, true, true}};
    for (const auto& c : cases) {
        const Satellite* s = find(Constellation::Gps, c.number);
        ASSERT_NE(s, nullptr) << c.number;
        EXPECT_EQ(s->report.hasPosition, c.position) << c.number;
        EXPECT_EQ(s->report.tracked, c.tracked) << c.number;
    }
}

TEST_F(Sky, SatellitesInUseDopsAndFix) {
    feed({"$GNGSA,A,3,05,12,,,,,,,,,,,1.7,0.8,1.6,1", "$GNGSA,A,3,11,,,,,,,,,,,,1.7,0.8,1.6,3",
          "$GPGGA,123519,4807.038,N,01131.000,E,2,08,0.9,545.4,M,46.9,M,,"});
    SatelliteReport gps{Constellation::Gps, 5};
    SatelliteReport galileo{Constellation::Galileo, 11};
    SatelliteReport gpsEleven{Constellation::Gps, 11};
    EXPECT_TRUE(model->used(gps));
    EXPECT_TRUE(model->used(galileo));
    EXPECT_FALSE(model->used(gpsEleven)) << "system 3 named Galileo's 11, not GPS 11";
    EXPECT_EQ(model->inUse(), 3);
    EXPECT_DOUBLE_EQ(model->dops().pdop, 1.7);
    EXPECT_DOUBLE_EQ(model->dops().hdop, 0.8);
    EXPECT_DOUBLE_EQ(model->dops().vdop, 1.6);
    EXPECT_EQ(model->fix().mode, 3);
    EXPECT_EQ(model->fix().quality, 2);
    EXPECT_EQ(model->fix().satellitesUsed, 8);

    // Without a system ID a combined GSA is split by satellite number; a GSA replaces
    // the set of the constellations it names and leaves the others.
    feed({"$GNGSA,A,2,07,70,,,,,,,,,,,2.0,1.0,1.7"});
    EXPECT_TRUE(model->used({Constellation::Gps, 7}));
    EXPECT_FALSE(model->used(gps));
    EXPECT_TRUE(model->used({Constellation::Glonass, 70}));
    EXPECT_TRUE(model->used(galileo));
    EXPECT_EQ(model->fix().mode, 2);
    feed({"$GPGNS,112257.00,3844.24011,N,00908.43828,W,AN,12,1.2,98.2,46.5,,"});
    EXPECT_EQ(model->fix().satellitesUsed, 12);
}

// Reported within 10 s: whole; then fading; gone after 20 s. The history keeps a
// sample per step, a slot per satellite however long it runs.
TEST_F(Sky, FadingLeavingAndHistory) {
    const char* group = "$GPGSV,1,1,02,03,41,050,46,07,60,317,49";
    feed({group});
    now += 5'000;
    feed({"$GPGSV,1,1,01,03,41,050,40"});
    ASSERT_EQ(model->count(), 2);
    now += 9'000;  // 14 s since 07, 9 s since 03
    const int seven = find(Constellation::Gps, 7) - &model->satellite(0);
    const int three = find(Constellation::Gps, 3) - &model->satellite(0);
    EXPECT_DOUBLE_EQ(model->opacity(three), 1.0);
    EXPECT_NEAR(model->opacity(seven), 0.6, 1e-9);
    now += 6'000;
    model->expire();
    ASSERT_EQ(model->count(), 1);
    EXPECT_EQ(model->satellite(0).report.number, 3);
    now += 11'000;
    model->expire();
    EXPECT_EQ(model->count(), 0);

    for (int second = 0; second < 20 * 60; ++second) {
        now += 1'000;
        feed({second % 2 ? "$GPGSV,1,1,01,03,41,050,40" : "$GPGSV,1,1,01,03,41,050,"});
    }
    const Satellite* s = find(Constellation::Gps, 3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->historyCount, static_cast<int>(s->history.size()));
    const SnrSample& oldest = s->history[static_cast<std::size_t>(s->historyStart)];
    EXPECT_GE(oldest.timeMs, now - SkyModel::kHistoryMs);
}

// The shape another source (the NMEA 2000 satellite list and DOPs) hands over.
TEST_F(Sky, SatelliteListFromAnotherSource) {
    const SatelliteReport list[] = {
        {Constellation::Gps, 3, 0, true, 41, 50, true, 46},
        {Constellation::Galileo, 11, 0, false, 0, 0, false, 0},
    };
    const bool used[] = {true, false};
    model->setSatellitesInView(list, used, true);
    model->setDops({1.5, 0.9, 1.2});
    EXPECT_EQ(model->inView(), 2);
    EXPECT_EQ(model->inUse(), 1);
    EXPECT_TRUE(model->used(list[0]));
    EXPECT_DOUBLE_EQ(model->dops().vdop, 1.2);
}

TEST(Constellations, TalkersSystemIdsAndNumbers) {
    EXPECT_EQ(constellationOfTalker('G', 'P'), Constellation::Gps);
    EXPECT_EQ(constellationOfTalker('G', 'L'), Constellation::Glonass);
    EXPECT_EQ(constellationOfTalker('G', 'A'), Constellation::Galileo);
    EXPECT_EQ(constellationOfTalker('G', 'B'), Constellation::BeiDou);
    EXPECT_EQ(constellationOfTalker('B', 'D'), Constellation::BeiDou);
    EXPECT_EQ(constellationOfTalker('G', 'Q'), Constellation::Qzss);
    EXPECT_EQ(constellationOfTalker('G', 'I'), Constellation::NavIC);
    EXPECT_EQ(constellationOfTalker('G', 'N'), Constellation::Other);
    const std::pair<int, Constellation> numbers[] = {
        {1, Constellation::Gps},      {32, Constellation::Gps},      {33, Constellation::Sbas},
        {65, Constellation::Glonass}, {96, Constellation::Glonass},  {193, Constellation::Qzss},
        {201, Constellation::BeiDou}, {301, Constellation::Galileo}, {0, Constellation::Other},
        {97, Constellation::Other},
    };
    for (const auto& [number, system] : numbers)
        EXPECT_EQ(constellationOfNumber(number), system) << number;
    EXPECT_EQ(constellationOfSystemId(4), Constellation::BeiDou);
    EXPECT_EQ(constellationOfSystemId(9), Constellation::Other);
}

}  // namespace
}  // namespace sky
