// The field parsers: table fields, short sentences, GSA/GSV slots, the name, and
// real captures replayed through the whole core.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "nmea/records.h"
#include "nmea/sentence_fields.h"
#include "nmea/sentence_parsers.h"
#include "nmea_test_support.h"

namespace nmeaz {
namespace {

using Parsers = test::AllTypes;

// Every type through the full path, in registration order with its parse code:
// sentence field i holds the number i and must land in record field i - 1 (GSA's in
// its standard shape too), and the current name must be set afresh.
TEST_F(Parsers, EveryTypeFillsItsRecordInOrderFromTheSentence) {
    std::string order;
    for (int t = 0; t < kSentenceTypeCount; ++t) {
        const SentenceLayout& layout = kSentenceLayouts[t];
        SCOPED_TRACE(layout.formatter);
        std::string body = std::string("$XX") + layout.formatter;
        for (std::size_t i = 1; i <= layout.fields.size(); ++i)
            body.append(",").append(std::to_string(i));
        std::memset(layout.record, 0xA5, layout.recordSize);
        std::memset(currentSentenceName, 'x', kSentenceNameSize);

        const int code = feedSentence(body);
        order += std::string(context.entries[t].name) + std::to_string(code) + " ";
        EXPECT_EQ(layoutFor(code), &layout);
        EXPECT_EQ(std::string(currentSentenceName, kSentenceNameSize),
                  body.substr(0, 6) + std::string(kSentenceNameSize - 6, '\0'));
        for (std::size_t i = 0; i < layout.fields.size(); ++i) {
            const FieldLayout& f = layout.fields[i];
            const std::string want = std::to_string(i + 1);
            const char* at = static_cast<const char*>(layout.record) + f.offset;
            std::ostringstream got;  // a character field holds the first one of its text
            if (f.kind == FieldKind::Double)
                got << *reinterpret_cast<const double*>(at);
            else if (f.kind == FieldKind::Int)
                got << *reinterpret_cast<const int*>(at);
            else
                got << (f.kind == FieldKind::Char ? std::string(1, *at)
                                                  : *reinterpret_cast<const char* const*>(at));
            EXPECT_EQ(got.str(), f.kind == FieldKind::Char ? want.substr(0, 1) : want) << f.name;
        }
    }
    EXPECT_EQ(order,
              "GLL3 RMC2 GGA1 DPT5 GSA6 VDM7 HDG8 MTW9 MWD10 RMA11 RSA13 VHW14 VLW15 XTE16 "
              "ZDA17 APB18 DBT19 GSV20 HDT21 HSC22 MWV23 ROT24 RPM25 VBW26 VDR27 VTG28 "
              "HDM4 THS12 VWR29 VWT30 VPW31 WCV32 RMB33 BOD34 BWC35 BWR36 AAM37 RTE38 WPL39 "
              "XDR40 MDA41 TXT42 GNS43 GST44 GBS45 GRS46 DTM47 DBS48 DBK49 ");
}

TEST_F(Parsers, ShortSentencesEmptyFieldsAndTheLastField) {
    ASSERT_EQ(feedSentence("$GPGGA,1,2,N,3,E,1,5,0.9,10,M,20,M,7.5,12"), 1);
    const GgaRecord before = ggaRecord;
    ASSERT_EQ(feedSentence("$GPRMC,2,A,3,S,4,W,5,6,010203,7,E,D"), 2);
    EXPECT_EQ(std::memcmp(&before, &ggaRecord, sizeof before), 0);
    // A short sentence keeps the record fields it does not reach.
    ASSERT_EQ(feedSentence("$GPGGA,99,88,S"), 1);
    EXPECT_EQ(ggaRecord.ns, 'S');
    EXPECT_EQ(ggaRecord.longitude, 3.0);
    EXPECT_EQ(ggaRecord.dgps_sid, 12);
    ASSERT_EQ(feedSentence("$GPRMC,3,V,3,S,4,W,5,6,010203,7,E"), 2);  // no mode field
    EXPECT_EQ(rmcRecord.mode, 'D');
    // Empty fields give zero.
    ASSERT_EQ(feedSentence("$GPGGA,,,,,,,,,,,,,,"), 1);
    EXPECT_EQ(ggaRecord.utc, 0.0);
    EXPECT_EQ(ggaRecord.ns, '\0');
    EXPECT_EQ(ggaRecord.dgps_sid, 0);
    // The last field carries the checksum delimiter (or the CR without a checksum).
    ASSERT_EQ(feedSentence("$GPRMC,1,A,2,N,3,E,4,5,6,7,E,"), 2);
    EXPECT_EQ(rmcRecord.mode, '*');
    ASSERT_EQ(feed("$GPRMC,1,A,2,N,3,E,4,5,6,7,E,\r\n"), std::vector<int>{2});
    EXPECT_EQ(rmcRecord.mode, '\r');
}

// The slots of an int array, then the given numbers: "4 5 0 / 2.5".
template <std::size_t N>
std::string summary(const int (&slots)[N], std::initializer_list<double> numbers = {}) {
    std::ostringstream out;
    for (int slot : slots)
        out << slot << ' ';
    out << '/';
    for (double number : numbers)
        out << ' ' << number;
    return out.str();
}

// The satellites are the fields between the fix type and the last three (the DOPs),
// at most 12; slots the sentence does not reach keep their values.
TEST_F(Parsers, GsaSlots) {
    const std::pair<const char*, const char*> cases[] = {
        {"$GPGSA,A,3,04,05,06,07,2.5,1.3,1.8", "4 5 6 7 -1 -1 -1 -1 -1 -1 -1 -1 / 2.5 1.3 1.8"},
        {"$GNGSA,A,3,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,4.5,3.5,2.5",
         "1 2 3 4 5 6 7 8 9 10 11 12 / 4.5 3.5 2.5"},
        // Fewer than three fields after field 0: positions before field 0 are not read.
        {"$GPGSA,A", "-1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 / -1 0 0"},
    };
    for (const auto& [body, expected] : cases) {
        for (int& s : gsaRecord.sat)
            s = -1;
        gsaRecord.PDOP = gsaRecord.HDOP = gsaRecord.VDOP = -1;
        ASSERT_EQ(feedSentence(body), 6);
        EXPECT_EQ(summary(gsaRecord.sat, {gsaRecord.PDOP, gsaRecord.HDOP, gsaRecord.VDOP}),
                  expected);
    }
}

TEST_F(Parsers, GsvFillsOneSlotPerFurtherField) {
    for (int& s : gsvRecord.sat_data)
        s = -1;
    ASSERT_EQ(feedSentence("$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,10,00,13,06,292,00"), 20);
    EXPECT_EQ(summary(gsvRecord.sat_data, {double(gsvRecord.sat_count)}),
              "3 3 111 0 4 15 270 0 6 1 10 0 13 6 292 0 -1 -1 -1 -1 / 11");
    // More than 20 further fields: field 23 holds the rest, its leading number counts.
    std::string many = "$GPGSV,3,3,11";
    for (int i = 1; i <= 22; ++i)
        many.append(",").append(std::to_string(i));
    ASSERT_EQ(feedSentence(many), 20);
    EXPECT_EQ(summary(gsvRecord.sat_data), "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 /");
}

// What a GSV sentence carried beyond its slots: the number of satellite fields, the
// empty ones, and the signal ID of NMEA 4.10 (one field past whole satellites).
TEST_F(Parsers, GsvSlotCountEmptyFieldsAndSignalId) {
    struct Case {
        const char* body;
        int fields;
        unsigned empty;
        int signal;
    };
    const Case cases[] = {
        {"$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,10,00,13,06,292,00", 16, 0, 0},
        {"$GAGSV,2,2,06,11,,,38,12,40,100,,7", 9, 0b1000'0110, 7},
        {"$GBGSV,1,1,01,33,45,210,41,B", 5, 0, 11},
        {"$GLGSV,1,1,00", 0, 0, 0},
        {"$GLGSV,1,1,00,", 1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        ASSERT_EQ(feedSentence(c.body), 20);
        EXPECT_EQ(gsvRecord.sat_fields, c.fields);
        EXPECT_EQ(gsvRecord.empty_fields, c.empty);
        EXPECT_EQ(gsvRecord.signal_id, c.signal);
    }
}

// NMEA 4.10 appends the system ID after VDOP; the DOPs stay the DOPs.
TEST_F(Parsers, GsaSystemIdAfterTheDops) {
    ASSERT_EQ(feedSentence("$GNGSA,A,3,05,12,25,29,,,,,,,,,1.7,0.8,1.6,3"), 6);
    EXPECT_EQ(summary(gsaRecord.sat, {gsaRecord.PDOP, gsaRecord.HDOP, gsaRecord.VDOP}),
              "5 12 25 29 0 0 0 0 0 0 0 0 / 1.7 0.8 1.6");
    EXPECT_EQ(gsaRecord.system_id, 3);
    ASSERT_EQ(feedSentence("$GPGSA,A,3,05,12,25,29,,,,,,,,,1.7,0.8,1.6"), 6);
    EXPECT_EQ(gsaRecord.system_id, 0);
    EXPECT_EQ(gsaRecord.VDOP, 1.6);
}

// APB's destination is an identifier read as a number: a waypoint name gives 0. The
// VDM payload is the one text field; without it no pointer to an earlier sentence stays.
TEST_F(Parsers, ApbIdentifiersAndTheVdmPayload) {
    apbRecord.dest_id = -1;
    ASSERT_EQ(feedSentence("$GPAPB,A,A,0.10,R,N,V,V,011,M,WPT1,011,M,011,M,A"), 18);
    EXPECT_EQ(apbRecord.dest_id, 0);
    ASSERT_EQ(feedSentence("!AIVDM,2,1,3,B,55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222,2"), 7);
    ASSERT_EQ(feedSentence("!AIVDM,1,1,,A"), 7);
    EXPECT_STREQ(vdmRecord.payload, "");
    EXPECT_EQ(vdmRecord.fill_bits, 2);  // kept from before
}

// Without a record a parser only returns its code: no record, no name is written.
TEST_F(Parsers, EntryWithoutARecordOnlyReturnsTheCode) {
    init(&context);
    for (const SentenceLayout& layout : kSentenceLayouts)
        registerParser(&context, layout.formatter, layout.parser, nullptr);
    std::strcpy(currentSentenceName, "$KEEP");
    EXPECT_EQ(feedSentence("$GPGGA,1,2,N"), 1);
    EXPECT_EQ(feedSentence("$GPGSA,A,3,1,2,3"), 6);  // GSA and GSV have their own paths
    EXPECT_EQ(feedSentence("$GPGSV,1,1,1"), 20);
    EXPECT_STREQ(currentSentenceName, "$KEEP");
}

// Real captures replayed through the whole core, with the sentences accepted per formatter
// as established independently: a line-by-line check of start character, address,
// upper-case checksum and length over each file; where binary bytes share a line with a
// sentence the count was confirmed by hand.
const std::pair<const char*, const char*> kCaptures[] = {
    {"gpsd-sounder.log", "DBT 122 GLL 122"},
    {"gpsd-firefly-II.log", "RMC 23 ZDA 23"},     // 23 GGA with bad checksums
    {"gpsd-magellan-ec10.log", "RMB 38 RMC 38"},  // 22 with lower-case checksums
    {"gpsd-gp-320fw-2019-04-07-coldboot.log", "GGA 9 GLL 8 GSA 13 GSV 29 RMC 13 VTG 11 ZDA 7"},
    {"gpsd-ais-nmea.log", "GGA 164 GLL 164 GSA 165 GSV 492 RMC 164 VDM 183 VTG 164"},
    {"gpsd-ac12_binary.log", "GGA 5 GSA 5 GSV 15 RMC 5 ZDA 5"},
    {"gpsd-ublox8-uniqid-monhw.log", "GGA 4 GLL 4 GSA 10 GSV 15 RMC 6 TXT 7 VTG 6"},
    {"gpsd-GPSmap-76S.log",
     "BOD 11 BWC 11 GGA 12 GLL 12 GSA 12 GSV 36 RMB 12 RMC 12 RTE 11 VTG 11 XTE 11"},
    {"gpsd-skytraq-PX1172RH_DS.log", "GGA 9 GLL 9 GSA 36 GSV 42 HDT 9 RMC 9 THS 9 VTG 9 ZDA 9"},
    {"signalk-gps.log", "GGA 1202 GSA 1201 GSV 943 RMC 1201 VTG 1201"},
};

TEST_F(Parsers, RealCapturesGiveTheirSentencesPerFormatter) {
    for (const auto& [file, expected] : kCaptures) {
        SetUp();
        // Every line ended in CR LF, as the talker sent it: the recordings keep LF
        // alone, some CR LF, and the last line may have no end.
        std::ifstream in(std::string(TIDEWRIGHT_TEST_DATA) + "/nmea/" + file, std::ios::binary);
        ASSERT_TRUE(in.good()) << file;
        std::string bytes;
        for (std::string line; std::getline(in, line);)
            bytes += line.substr(0, line.find_last_not_of('\r') + 1) + "\r\n";

        std::map<std::string, int> counts;
        for (int code : feed(bytes))
            ++counts[layoutFor(code) ? layoutFor(code)->formatter
                                     : std::string("code ") + std::to_string(code)];
        std::string actual;
        for (const auto& [formatter, count] : counts)
            actual += formatter + " " + std::to_string(count) + " ";
        EXPECT_EQ(actual, std::string(expected) + " ") << file;
    }
}

}  // namespace
}  // namespace nmeaz
