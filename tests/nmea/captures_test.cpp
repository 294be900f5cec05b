// Real captures replayed through the whole core with all 26 parsers registered.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "nmea/records.h"
#include "nmea/sentence_fields.h"
#include "nmea/sentence_parsers.h"
#include "nmea_test_support.h"

namespace nmeaz {
namespace {

// The file with every line ended in CR LF, as its talker sent it (the recordings
// keep LF alone, some CR LF; a last line without an end gets one).
std::string withCrLf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string out;
    std::size_t start = 0;
    while (start < raw.size()) {
        std::size_t end = raw.find('\n', start);
        if (end == std::string::npos)
            end = raw.size();
        std::size_t stop = end;
        if (stop > start && raw[stop - 1] == '\r')
            --stop;
        out.append(raw, start, stop - start);
        out += "\r\n";
        start = end + 1;
    }
    return out;
}

struct Capture {
    const char* file;
    std::map<std::string, int> counts;  // accepted sentences per formatter
};

// Counts established independently: a line-by-line check of start character, five
// address characters, upper-case checksum and length over each file; where binary
// bytes share a line with a sentence the count was confirmed by hand.
const Capture kCaptures[] = {
    {"gpsd-sounder.log", {{"DBT", 122}, {"GLL", 122}}},
    {"gpsd-firefly-II.log", {{"RMC", 23}, {"ZDA", 23}}},  // 23 GGA with bad checksums
    {"gpsd-magellan-ec10.log", {{"RMC", 16}}},            // 22 lower-case checksums dropped
    {"gpsd-gp-320fw-2019-04-07-coldboot.log",
     {{"GGA", 9}, {"GLL", 8}, {"GSA", 13}, {"GSV", 29}, {"RMC", 13}, {"VTG", 11}, {"ZDA", 7}}},
    {"gpsd-ais-nmea.log",
     {{"GGA", 164},
      {"GLL", 164},
      {"GSA", 165},
      {"GSV", 492},
      {"RMC", 164},
      {"VDM", 183},
      {"VTG", 164}}},
    {"gpsd-ac12_binary.log", {{"GGA", 5}, {"GSA", 5}, {"GSV", 15}, {"RMC", 5}, {"ZDA", 5}}},
    {"gpsd-ublox8-uniqid-monhw.log",
     {{"GGA", 4}, {"GLL", 4}, {"GSA", 10}, {"GSV", 15}, {"RMC", 6}, {"VTG", 6}}},
    {"gpsd-GPSmap-76S.log",
     {{"GGA", 12}, {"GLL", 12}, {"GSA", 12}, {"GSV", 36}, {"RMC", 12}, {"VTG", 11}, {"XTE", 11}}},
    {"gpsd-skytraq-PX1172RH_DS.log",
     {{"GGA", 9},
      {"GLL", 9},
      {"GSA", 36},
      {"GSV", 42},
      {"HDT", 9},
      {"RMC", 9},
      {"VTG", 9},
      {"ZDA", 9}}},
    {"signalk-gps.log", {{"GGA", 1202}, {"GSA", 1201}, {"GSV", 943}, {"RMC", 1201}, {"VTG", 1201}}},
};

void PrintTo(const Capture& c, std::ostream* out) {
    *out << c.file;
}

class Captures : public ::testing::TestWithParam<Capture> {};

TEST_P(Captures, AcceptedSentencesPerFormatter) {
    const std::string bytes =
        withCrLf(std::string(TIDEWRIGHT_TEST_DATA) + "/nmea/" + GetParam().file);
    ParserContext context;
    init(&context);
    registerSentenceParsers(&context, parseVdmFields);

    std::map<std::string, int> counts;
    for (int code : test::feedAll(context, bytes)) {
        const SentenceLayout* layout = layoutFor(code);
        ASSERT_NE(layout, nullptr) << code;
        ++counts[layout->formatter];
    }
    EXPECT_EQ(counts, GetParam().counts);
}

INSTANTIATE_TEST_SUITE_P(Recordings, Captures, ::testing::ValuesIn(kCaptures),
                         [](const ::testing::TestParamInfo<Capture>& info) {
                             std::string name;
                             for (const char* p = info.param.file; *p != '.'; ++p) {
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace nmeaz
