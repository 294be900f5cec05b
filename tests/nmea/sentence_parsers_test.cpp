// The 26 field parsers: conversions, short sentences, GSA/GSV slots, the name.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "nmea/records.h"
#include "nmea/sentence_fields.h"
#include "nmea/sentence_parsers.h"
#include "nmea_test_support.h"

namespace nmeaz {
namespace {

using test::feedAll;
using test::withChecksum;

class Parsers : public ::testing::Test {
protected:
    void SetUp() override {
        init(&context);
        registerSentenceParsers(&context, parseVdmFields);
    }
    // Feeds one sentence (checksum added) and returns its code.
    int feed(const std::string& body) {
        const std::vector<int> codes = feedAll(context, withChecksum(body));
        return codes.size() == 1 ? codes[0] : -1;
    }
    std::string name() const { return std::string(currentSentenceName, kSentenceNameSize); }
    ParserContext context;
};

std::string padded(const char* text) {
    std::string s(text);
    s.resize(kSentenceNameSize, '\0');
    return s;
}

TEST_F(Parsers, GgaFillsEveryFieldInNmeaNotation) {
    std::strcpy(currentSentenceName, "!AIVDM_MSG18");
    ASSERT_EQ(feed("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,2.5,0042"), 1);
    const GgaRecord& r = ggaRecord;
    EXPECT_EQ(r.utc, 123519.0);
    EXPECT_EQ(r.latitude, 4807.038);
    EXPECT_EQ(r.ns, 'N');
    EXPECT_EQ(r.longitude, 1131.0);
    EXPECT_EQ(r.ew, 'E');
    EXPECT_EQ(r.sig, 1);
    EXPECT_EQ(r.satinuse, 8);
    EXPECT_EQ(r.HDOP, 0.9);
    EXPECT_EQ(r.elv, 545.4);
    EXPECT_EQ(r.elv_units, 'M');
    EXPECT_EQ(r.diff, 46.9);
    EXPECT_EQ(r.diff_units, 'M');
    EXPECT_EQ(r.dgps_age, 2.5);
    EXPECT_EQ(r.dgps_sid, 42);
    EXPECT_EQ(name(), padded("$GPGGA"));
}

TEST_F(Parsers, EmptyFieldsAndTheLastField) {
    ASSERT_EQ(feed("$GPGGA,,,,,,,,,,,,,,"), 1);
    EXPECT_EQ(ggaRecord.utc, 0.0);
    EXPECT_EQ(ggaRecord.ns, '\0');
    EXPECT_EQ(ggaRecord.sig, 0);
    // The last field carries the checksum delimiter (or the CR without a checksum).
    EXPECT_EQ(ggaRecord.dgps_sid, 0);
    ASSERT_EQ(feed("$GPRMC,1,A,2,N,3,E,4,5,6,7,E,"), 2);
    EXPECT_EQ(rmcRecord.mode, '*');
    ASSERT_EQ(feedAll(context, "$GPRMC,1,A,2,N,3,E,4,5,6,7,E,\r\n"), std::vector<int>{2});
    EXPECT_EQ(rmcRecord.mode, '\r');
    ASSERT_EQ(feed("$GPGSA,A,3,,,,,,,,,,,,,1.5,1.2,1.8"), 6);
    EXPECT_EQ(gsaRecord.VDOP, 1.8);  // conversion stops at the '*'
}

TEST_F(Parsers, ShortSentencesKeepTheFieldsTheyDoNotReach) {
    ASSERT_EQ(feed("$GPGGA,1,2,N,3,E,1,5,0.9,10,M,20,M,7.5,12"), 1);
    const GgaRecord before = ggaRecord;
    ASSERT_EQ(feed("$GPRMC,2,A,3,S,4,W,5,6,010203,7,E,D"), 2);
    EXPECT_EQ(std::memcmp(&before, &ggaRecord, sizeof before), 0);

    ASSERT_EQ(feed("$GPGGA,99,88,S"), 1);
    EXPECT_EQ(ggaRecord.utc, 99.0);
    EXPECT_EQ(ggaRecord.ns, 'S');
    EXPECT_EQ(ggaRecord.longitude, 3.0);
    EXPECT_EQ(ggaRecord.dgps_sid, 12);

    ASSERT_EQ(feed("$GPRMC,3,V,3,S,4,W,5,6,010203,7,E"), 2);  // no mode field
    EXPECT_EQ(rmcRecord.status, 'V');
    EXPECT_EQ(rmcRecord.mode, 'D');
}

struct GsaCase {
    const char* body;
    std::vector<int> sats;  // all 12 slots after the sentence
    double pdop, hdop, vdop;
};

class GsaSlots : public Parsers, public ::testing::WithParamInterface<GsaCase> {};

TEST_P(GsaSlots, SatellitesBetweenTypeAndTheLastThreeFields) {
    for (int& s : gsaRecord.sat)
        s = -1;
    gsaRecord.PDOP = gsaRecord.HDOP = gsaRecord.VDOP = -1;
    ASSERT_EQ(feed(GetParam().body), 6);
    EXPECT_EQ(std::vector<int>(std::begin(gsaRecord.sat), std::end(gsaRecord.sat)),
              GetParam().sats);
    EXPECT_EQ(gsaRecord.PDOP, GetParam().pdop);
    EXPECT_EQ(gsaRecord.HDOP, GetParam().hdop);
    EXPECT_EQ(gsaRecord.VDOP, GetParam().vdop);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, GsaSlots,
    ::testing::Values(
        GsaCase{"$GPGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,12,2.5,1.3,2.1",
                {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
                2.5,
                1.3,
                2.1},
        GsaCase{"$GPGSA,A,3,04,05,,09,,,,,,,,,2.5,1.3,2.1",
                {4, 5, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0},
                2.5,
                1.3,
                2.1},
        GsaCase{"$GPGSA,A,3,04,05,06,07,2.5,1.3,1.8",
                {4, 5, 6, 7, -1, -1, -1, -1, -1, -1, -1, -1},
                2.5,
                1.3,
                1.8},
        GsaCase{"$GNGSA,A,3,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,4.5,3.5,2.5",
                {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
                4.5,
                3.5,
                2.5},
        // Fewer than three fields after field 0: positions before field 0 are not read.
        GsaCase{"$GPGSA,A", {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, -1, 0, 0}));

TEST_F(Parsers, GsvFillsOneSlotPerFurtherField) {
    for (int& s : gsvRecord.sat_data)
        s = -1;
    ASSERT_EQ(feed("$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00"), 20);
    EXPECT_EQ(gsvRecord.pack_count, 3);
    EXPECT_EQ(gsvRecord.pack_index, 1);
    EXPECT_EQ(gsvRecord.sat_count, 11);
    const std::vector<int> expected = {3,  3, 111, 0, 4,   15, 270, 0,  6,  1,
                                       10, 0, 13,  6, 292, 0,  -1,  -1, -1, -1};
    EXPECT_EQ(std::vector<int>(std::begin(gsvRecord.sat_data), std::end(gsvRecord.sat_data)),
              expected);

    // More than 20 further fields: field 23 holds the rest, its leading number counts.
    std::string many = "$GPGSV,3,3,11";
    for (int i = 1; i <= 22; ++i) {
        many += ',';
        many += std::to_string(i);
    }
    ASSERT_EQ(feed(many), 20);
    EXPECT_EQ(gsvRecord.sat_data[0], 1);
    EXPECT_EQ(gsvRecord.sat_data[18], 19);
    EXPECT_EQ(gsvRecord.sat_data[19], 20);
}

TEST_F(Parsers, ApbDestinationIdIsReadAsANumber) {
    ASSERT_EQ(feed("$GPAPB,A,A,0.10,R,N,V,V,011,M,0042,011,M,011,M,A"), 18);
    EXPECT_EQ(apbRecord.dest_id, 42);
    EXPECT_EQ(apbRecord.mode, 'A');
    EXPECT_EQ(apbRecord.heading_steer_ref, 'M');
    ASSERT_EQ(feed("$GPAPB,A,A,0.10,R,N,V,V,011,M,WPT1,011,M,011,M,A"), 18);
    EXPECT_EQ(apbRecord.dest_id, 0);
}

TEST_F(Parsers, ZdaSignedZoneFields) {
    ASSERT_EQ(feed("$GPZDA,201530.00,04,07,2010,-05,30"), 17);
    EXPECT_EQ(zdaRecord.utc, 201530.0);
    EXPECT_EQ(zdaRecord.year, 2010);
    EXPECT_EQ(zdaRecord.hour, -5);
    EXPECT_EQ(zdaRecord.min, 30);
}

TEST_F(Parsers, UnitAndStatusLettersOfTheInstrumentSentences) {
    EXPECT_EQ(feed("$HCHDG,98.3,0.0,E,12.6,W"), 8);
    EXPECT_EQ(hdgRecord.mag_deviation_dir, 'E');
    EXPECT_EQ(hdgRecord.mag_variation, 12.6);
    EXPECT_EQ(feed("$YXMTW,17.75,C"), 9);
    EXPECT_EQ(mtwRecord.temperature_unit, 'C');
    EXPECT_EQ(feed("$IIRSA,10.5,A,-3.2,A"), 13);
    EXPECT_EQ(rsaRecord.prs, -3.2);
    EXPECT_EQ(rsaRecord.prs_status, 'A');
    EXPECT_EQ(feed("$VWVHW,245.1,T,245.1,M,6.5,N,12.0,K"), 14);
    EXPECT_EQ(vhwRecord.heading_mag_unit, 'M');
    EXPECT_EQ(vhwRecord.speed_ms, 12.0);
    EXPECT_EQ(feed("$IIVDR,10.1,T,12.3,M,1.2,N"), 27);
    EXPECT_EQ(vdrRecord.current_speed, 1.2);
    EXPECT_EQ(vdrRecord.current_speed_unit, 'N');
    EXPECT_EQ(feed("$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A"), 28);
    EXPECT_EQ(vtgRecord.sog2, 10.2);
    EXPECT_EQ(vtgRecord.mode, 'A');
    EXPECT_EQ(feed("$TIROT,-2.5,A"), 24);
    EXPECT_EQ(rotRecord.rot, -2.5);
    EXPECT_EQ(feed("$IIRPM,E,2,1800.5,45.0,A"), 25);
    EXPECT_EQ(rpmRecord.number, 2);
    EXPECT_EQ(rpmRecord.propeller, 45.0);
    EXPECT_EQ(feed("$VDVBW,1.1,0.2,A,1.3,0.4,A,0.5,A,0.6,V"), 26);
    EXPECT_EQ(vbwRecord.stgs, 0.6);
    EXPECT_EQ(vbwRecord.status, 'V');
}

TEST_F(Parsers, CurrentNameIsClearedBeforeEachSentence) {
    std::memset(currentSentenceName, 'x', kSentenceNameSize);
    ASSERT_EQ(feed("$YXMTW,17.75,C"), 9);
    EXPECT_EQ(name(), padded("$YXMTW"));
    ASSERT_EQ(feed("!GPGGA,1"), 1);
    EXPECT_EQ(name(), padded("!GPGGA"));
}

TEST_F(Parsers, VdmCommonFieldsAndAMissingPayload) {
    ASSERT_EQ(feed("!AIVDM,2,1,3,B,55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8,0"),
              7);
    EXPECT_EQ(vdmRecord.fragment_total, 2);
    EXPECT_EQ(vdmRecord.fragment_number, 1);
    EXPECT_EQ(vdmRecord.sequence_id, 3);
    EXPECT_EQ(vdmRecord.channel, 'B');
    EXPECT_STREQ(vdmRecord.payload, "55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8");
    EXPECT_EQ(vdmRecord.fill_bits, 0);
    EXPECT_EQ(name(), padded("!AIVDM"));

    // Five fields: the payload must not keep naming the previous sentence's bytes.
    ASSERT_EQ(feed("!AIVDM,1,1,,A"), 7);
    ASSERT_NE(vdmRecord.payload, nullptr);
    EXPECT_STREQ(vdmRecord.payload, "");
    EXPECT_EQ(vdmRecord.sequence_id, 0);
    EXPECT_EQ(vdmRecord.fill_bits, 0);  // kept from before
}

TEST_F(Parsers, EntryWithoutRecordOnlyReturnsTheCode) {
    init(&context);
    for (const SentenceLayout& layout : kSentenceLayouts) {
        registerParser(&context, layout.formatter, layout.parser, nullptr);
    }
    const GgaRecord before = ggaRecord;
    std::strcpy(currentSentenceName, "$KEEP");
    EXPECT_EQ(feed("$GPGGA,1,2,N,3,E,1,5,0.9,10,M,20,M,7.5,12"), 1);
    EXPECT_EQ(feed("$GPGSA,A,3,1,2,3"), 6);
    EXPECT_EQ(feed("$GPGSV,1,1,1"), 20);
    EXPECT_EQ(std::memcmp(&before, &ggaRecord, sizeof before), 0);
    EXPECT_STREQ(currentSentenceName, "$KEEP");
}

TEST_F(Parsers, RegistrationPutsTheGivenVdmParserInVdmsPlace) {
    auto mine = [](const ParserContext*, const ParserEntry*) { return kCodeAisBase + 18; };
    init(&context);
    registerSentenceParsers(&context, mine);
    ASSERT_EQ(context.entryCount, kSentenceTypeCount);
    EXPECT_STREQ(context.entries[5].name, "VDM");
    EXPECT_EQ(feed("!AIVDM,1,1,,A,B,0"), 68);
    for (int i = 0; i < kSentenceTypeCount; ++i) {
        EXPECT_STREQ(context.entries[i].name, kSentenceLayouts[i].formatter);
        EXPECT_EQ(context.entries[i].record, kSentenceLayouts[i].record);
    }
}

// Every type, through the full path: sentence field i carries a value that names i,
// and each record field must hold the value of the sentence field its table row
// names, while no byte outside the table's fields changes.
TEST_F(Parsers, EveryTypeFillsItsRecordFromTheTableFields) {
    for (const SentenceLayout& layout : kSentenceLayouts) {
        if (layout.code == kCodeGsa || layout.code == kCodeVdm)
            continue;
        SCOPED_TRACE(layout.formatter);
        std::string body = std::string("$XX") + layout.formatter;
        int lastFrom = 0;
        for (const FieldLayout& f : layout.fields)
            lastFrom = std::max(lastFrom, f.from);
        for (int i = 1; i <= lastFrom; ++i) {
            body += ",";
            body += std::to_string(i) + (i % 2 ? ".5" : "");
            body += static_cast<char>('a' + i);  // letters follow the number
        }
        body += ",";  // one more, empty field: the last one read keeps no checksum
        std::vector<unsigned char> before(layout.recordSize);
        std::memset(layout.record, 0xA5, layout.recordSize);
        std::memcpy(before.data(), layout.record, layout.recordSize);

        ASSERT_EQ(feed(body), layout.code);
        const auto* bytes = static_cast<const unsigned char*>(layout.record);
        std::vector<bool> declared(layout.recordSize, false);
        for (const FieldLayout& f : layout.fields) {
            const char* at = static_cast<const char*>(layout.record) + f.offset;
            const double number = f.from + (f.from % 2 ? 0.5 : 0.0);
            switch (f.kind) {
                case FieldKind::Double: {
                    double v;
                    std::memcpy(&v, at, sizeof v);
                    EXPECT_EQ(v, number) << f.name;
                    break;
                }
                case FieldKind::Int: {
                    int v;
                    std::memcpy(&v, at, sizeof v);
                    EXPECT_EQ(v, f.from) << f.name;
                    break;
                }
                case FieldKind::Char:
                    EXPECT_EQ(*at, f.from < 10 ? '0' + f.from : '1') << f.name;
                    break;
                case FieldKind::Text:
                    break;
            }
            for (std::size_t b = 0; b < fieldSize(f.kind); ++b)
                declared[f.offset + b] = true;
        }
        for (std::size_t b = 0; b < layout.recordSize; ++b) {
            if (!declared[b]) {
                EXPECT_EQ(bytes[b], before[b]) << "byte " << b;
            }
        }
    }
}

}  // namespace
}  // namespace nmeaz
