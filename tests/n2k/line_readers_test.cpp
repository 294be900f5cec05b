// Every gateway line format: good lines of each form, malformed lines of each, and
// the classifier that tells them apart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "n2k/can_id.h"
#include "n2k/gateway_format.h"
#include "n2k/pdgy_line.h"
#include "n2k/time_text.h"

namespace n2k {
namespace {

// Test names from the format and the case's place in its table.
template <typename Case>
std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    return std::string(formatName(info.param.format)) + "_" + std::to_string(info.index);
}

struct GoodLine {
    LineFormat format;
    std::string line;
    LineKind kind;
    std::uint32_t pgn;
    int prio, src, dst;
    std::vector<std::uint8_t> data;
    std::int64_t timeMs;
    bool sentByGateway = false;
};

class GoodLines : public ::testing::TestWithParam<GoodLine> {};

TEST_P(GoodLines, ReadAsTheirFormatSays) {
    const GoodLine& c = GetParam();
    EXPECT_EQ(classifyLine(c.line), c.format);
    LineOutput out;
    ASSERT_EQ(readLine(c.format, c.line, out), c.kind);
    std::vector<std::uint8_t> data;
    if (c.kind == LineKind::Status)
        return;
    if (c.kind == LineKind::Frame) {
        const CanAddress a = decodeCanId(out.frame.canId);
        EXPECT_EQ(a.pgn, c.pgn);
        EXPECT_EQ(a.priority, c.prio);
        EXPECT_EQ(a.source, c.src);
        EXPECT_EQ(a.destination, c.dst);
        EXPECT_EQ(out.frame.timeMs, c.timeMs);
        EXPECT_EQ(out.frame.sentByGateway, c.sentByGateway);
        data.assign(out.frame.data, out.frame.data + out.frame.length);
    } else {
        EXPECT_EQ(out.message.pgn, c.pgn);
        EXPECT_EQ(out.message.priority, c.prio);
        EXPECT_EQ(out.message.source, c.src);
        EXPECT_EQ(out.message.destination, c.dst);
        EXPECT_EQ(out.message.timeMs, c.timeMs);
        data.assign(out.message.data, out.message.data + out.message.length);
    }
    EXPECT_EQ(data, c.data);
}

constexpr std::int64_t kMs2016 = 1456689422364;  // 2016-02-28T19:57:02.364Z

INSTANTIATE_TEST_SUITE_P(
    EveryFormat, GoodLines,
    ::testing::Values(
        GoodLine{LineFormat::Ydwg,
                 "00:29:58.617 R 0DFF180D A2 8C 50 C0 FF FF FF FF",
                 LineKind::Frame,
                 130840,
                 3,
                 13,
                 255,
                 {0xA2, 0x8C, 0x50, 0xC0, 0xFF, 0xFF, 0xFF, 0xFF},
                 1798617},
        GoodLine{LineFormat::Ydwg,
                 "21:55:35.425 T 15FD0723 FF C0",
                 LineKind::Frame,
                 130311,
                 5,
                 0x23,
                 255,
                 {0xFF, 0xC0},
                 78935425,
                 true},
        GoodLine{LineFormat::Ydwg,
                 "00:00:01.000 R 18EA2301",
                 LineKind::Frame,
                 59904,
                 6,
                 1,
                 0x23,
                 {},
                 1000},
        GoodLine{LineFormat::ActisenseAscii,
                 "A000057.055 09FF7 0FF00 3F9FDCFFFFFFFFFF",
                 LineKind::Message,
                 65280,
                 7,
                 9,
                 255,
                 {0x3F, 0x9F, 0xDC, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                 57055},
        GoodLine{LineFormat::Candump,
                 "(1502984866.421964) can0 09F112CC#FF725AFF7FFF7FFD",
                 LineKind::Frame,
                 127250,
                 2,
                 0xCC,
                 255,
                 {0xFF, 0x72, 0x5A, 0xFF, 0x7F, 0xFF, 0x7F, 0xFD},
                 1502984866421},
        GoodLine{LineFormat::Candump,
                 "  can0  09F8027F   [8]  00 FC FF FF 00 00 FF FF",
                 LineKind::Frame,
                 129026,
                 2,
                 0x7F,
                 255,
                 {0x00, 0xFC, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF},
                 kNoTime},
        GoodLine{LineFormat::Candump,
                 " (0000000012.500000)  vcan0  18EEFF01   [2]  05 A0",
                 LineKind::Frame,
                 60928,
                 6,
                 1,
                 255,
                 {0x05, 0xA0},
                 12500},
        GoodLine{LineFormat::Candump,
                 "<0x18eeff01> [8] 05 a0 be 1c 00 a0 a0 c0",
                 LineKind::Frame,
                 60928,
                 6,
                 1,
                 255,
                 {0x05, 0xA0, 0xBE, 0x1C, 0x00, 0xA0, 0xA0, 0xC0},
                 kNoTime},
        GoodLine{LineFormat::Plain,
                 "2016-02-28T19:57:02.364Z,2,127250,7,255,8,ff,10,3b,ff,7f,ff,7f,fd",
                 LineKind::Frame,
                 127250,
                 2,
                 7,
                 255,
                 {0xFF, 0x10, 0x3B, 0xFF, 0x7F, 0xFF, 0x7F, 0xFD},
                 kMs2016},
        GoodLine{LineFormat::Plain,
                 "2024-12-25-00:00:01.000,4,129538,8,255,10,69,03,FF,7F,FF,7F,FF,7F,0B,FF",
                 LineKind::Message,
                 129538,
                 4,
                 8,
                 255,
                 {0x69, 0x03, 0xFF, 0x7F, 0xFF, 0x7F, 0xFF, 0x7F, 0x0B, 0xFF},
                 1735084801000},
        GoodLine{LineFormat::Plain,
                 "2016-02-28T19:57:02.364Z,6,59904,1,35,3,14,f0,01",
                 LineKind::Frame,
                 59904,
                 6,
                 1,
                 35,
                 {0x14, 0xF0, 0x01},
                 kMs2016},
        GoodLine{LineFormat::Pcdin,
                 "$PCDIN,01F119,00000000,0F,2AAF00D1067414FF*59",
                 LineKind::Message,
                 127257,
                 0,
                 15,
                 255,
                 {0x2A, 0xAF, 0x00, 0xD1, 0x06, 0x74, 0x14, 0xFF},
                 kNoTime},
        GoodLine{LineFormat::Pcdin,
                 "$PCDIN,01F119,00000000,0F,2AAF",
                 LineKind::Message,
                 127257,
                 0,
                 15,
                 255,
                 {0x2A, 0xAF},
                 kNoTime},
        GoodLine{LineFormat::Mxpgn,
                 "$MXPGN,00EA00,E323,01F014*61",
                 LineKind::Frame,
                 59904,
                 6,
                 kNullAddress,
                 0x23,
                 {0x14, 0xF0, 0x01},
                 kNoTime,
                 true},
        GoodLine{LineFormat::Mxpgn,
                 "$MXPGN,01F801,2801,C1308AC40C5DE343*19",
                 LineKind::Frame,
                 129025,
                 2,
                 1,
                 255,
                 {0x43, 0xE3, 0x5D, 0x0C, 0xC4, 0x8A, 0x30, 0xC1},
                 kNoTime},
        GoodLine{LineFormat::Pdgy,
                 "!PDGY,127250,2,3,255,481.734,2C20AAAAAAE=",
                 LineKind::Message,
                 127250,
                 2,
                 3,
                 255,
                 {0xD8, 0x2D, 0xB4, 0x00, 0x00, 0x00, 0x00, 0x01},
                 kNoTime},
        GoodLine{
            LineFormat::Pdgy, "$PDGY,000000,4,,5,482,1,0", LineKind::Status, 0, 0, 0, 0, {}, 0}),
    caseName<GoodLine>);

// The Actisense line above with a short payload checks the field split; its
// numbers are checked here rather than in the table.
TEST(ActisenseAscii, PacksSourceDestinationAndPriority) {
    LineOutput out;
    ASSERT_EQ(readLine(LineFormat::ActisenseAscii, "A123456.700 22FF2 1FD02 07510174", out),
              LineKind::Message);
    EXPECT_EQ(out.message.source, 0x22);
    EXPECT_EQ(out.message.destination, 0xFF);
    EXPECT_EQ(out.message.priority, 2);
    EXPECT_EQ(out.message.pgn, 0x1FD02u);
    EXPECT_EQ(out.message.timeMs, ((12 * 60 + 34) * 60 + 56) * 1000 + 700);
}

struct BadLine {
    LineFormat format;
    std::string line;
};

class MalformedLines : public ::testing::TestWithParam<BadLine> {};

TEST_P(MalformedLines, AreCountedNotRead) {
    LineOutput out;
    EXPECT_EQ(readLine(GetParam().format, GetParam().line, out), LineKind::Malformed)
        << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    EveryFormat, MalformedLines,
    ::testing::Values(
        BadLine{LineFormat::Ydwg, "00:29:58.617 R 0DFF180D A2 8C 50 C0 FF FF FF FF 00"},
        BadLine{LineFormat::Ydwg, "00:29:58.617 R 0DFF18 A2"},
        BadLine{LineFormat::Ydwg, "00:29:58.617 R 3DFF180D A2"},  // beyond 29 bits
        BadLine{LineFormat::Ydwg, "00:29:58.617 R 0DFF180D A2 8"},
        BadLine{LineFormat::Ydwg, "25:29:58.617 R 0DFF180D A2"},
        BadLine{LineFormat::ActisenseAscii, "A000057.055 09FF7 0FF00 3F9FDCFFFFFFFFF"},
        BadLine{LineFormat::ActisenseAscii, "A000057.055 09FF9 0FF00 3F"},  // priority 9
        BadLine{LineFormat::ActisenseAscii, "A000057.055 09FF7 GFF00 3F"},
        BadLine{LineFormat::ActisenseAscii, "A000057.055 09FF7"},
        BadLine{LineFormat::Candump, "(1502984866.421964) can0 09F112CC#FF725AFF7FFF7FFD00"},
        BadLine{LineFormat::Candump, "(1502984866.421964) can0 1CC#FF72"},  // standard id
        BadLine{LineFormat::Candump, "(15029x4866.421964) can0 09F112CC#FF72"},
        BadLine{LineFormat::Candump, "(1502984866.421964) can0 09F112CC#F"},
        BadLine{LineFormat::Candump, "can0  09F8027F   [8]  00 FC FF"},
        BadLine{LineFormat::Candump, "can0  09F8027F   [9]  00 FC FF"},
        BadLine{LineFormat::Candump, "<0x18eeff01> [2] 05 a0 be"},
        BadLine{LineFormat::Plain, "2016-02-28T19:57:02.364Z,2,127250,7,255,8,ff,10,3b"},
        BadLine{LineFormat::Plain, "2016-02-28T19:57:02.364Z,9,127250,7,255,2,ff,10"},
        BadLine{LineFormat::Plain, "2016-02-28T19:57:02.364Z,2,127250,7,256,2,ff,10"},
        BadLine{LineFormat::Plain, "2016-02-28T19:57:02.364Z,2,127250,7,255,2,ff,1g"},
        BadLine{LineFormat::Plain, "2016-02-28T19:57:02.364Z,2,127250,7,255,2,ff,10,11"},
        BadLine{LineFormat::Plain, "2016-02-28T19:57:02.364Z,2,127250,7,255,9999,ff"},
        BadLine{LineFormat::Pcdin, "$PCDIN,01F119,00000000,0F,2AAF00D1067414FF*58"},
        BadLine{LineFormat::Pcdin, "$PCDIN,01F119,00000000,0F,2AAF00D1067414F"},
        BadLine{LineFormat::Pcdin, "$PCDIN,01F119,0000000,0F,2AAF"},
        BadLine{LineFormat::Pcdin, "$PCDIN,01F119,00000000,0F,2AAF,00*1Z"},
        BadLine{LineFormat::Mxpgn, "$MXPGN,01F801,2801,C1308AC40C5DE343*18"},
        BadLine{LineFormat::Mxpgn, "$MXPGN,01F801,2701,C1308AC40C5DE343"},  // length 7, 8 given
        BadLine{LineFormat::Mxpgn, "$MXPGN,01F801,2801"},
        BadLine{LineFormat::Pdgy, "!PDGY,127250,2,3,255,485.564,Ai20AAAAAAE=$PDGY,000000,3,,5"},
        BadLine{LineFormat::Pdgy, "!PDGY,127250,2,3"},
        BadLine{LineFormat::Pdgy, "!PDGY,127250,2,3,255,569.714,UcWh$AAA"},
        BadLine{LineFormat::Pdgy, "!PDGY,127250,8,3,255,569.714,UcWhAAAA"},
        BadLine{LineFormat::Pdgy, "!PDGY,127250,2,3,255,569.714,UcWhAAAA*00"}),
    caseName<BadLine>);

TEST(LineReaders, OtherFormatsAreNotTheirs) {
    const std::string lines[] = {
        "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47",
        "00:29:58.617 R 0DFF180D A2",
        "A000057.055 09FF7 0FF00 3F",
        "2016-02-28T19:57:02.364Z,2,127250,7,255,1,ff",
        "hello world",
    };
    for (int f = 0; f < kGatewayFormatCount; ++f) {
        const auto format = static_cast<LineFormat>(f);
        for (const std::string& line : lines) {
            if (classifyLine(line) == format)
                continue;
            LineOutput out;
            const LineKind kind = readLine(format, line, out);
            EXPECT_TRUE(kind == LineKind::NotThisFormat || kind == LineKind::Malformed)
                << formatName(format) << ": " << line;
            EXPECT_NE(kind, LineKind::Frame);
            EXPECT_NE(kind, LineKind::Message);
        }
    }
}

TEST(LineClassifier, TellsTheRestApart) {
    const std::pair<std::string, LineFormat> cases[] = {
        {"$GPGGA,123519,4807.038,N*47", LineFormat::Nmea0183},
        {"!AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL289?,0*26", LineFormat::Nmea0183},
        {"# candump sample", LineFormat::Comment},
        {"", LineFormat::Blank},
        {" \t ", LineFormat::Blank},
        {"garbage \x01\x02", LineFormat::Unknown},
        {"12345", LineFormat::Unknown},
    };
    for (const auto& [line, format] : cases)
        EXPECT_EQ(classifyLine(line), format) << line;
}

TEST(LineClassifier, NamesRoundTrip) {
    for (int f = 0; f < kGatewayFormatCount; ++f) {
        LineFormat back = LineFormat::Unknown;
        ASSERT_TRUE(gatewayFormatFromName(formatName(static_cast<LineFormat>(f)), back));
        EXPECT_EQ(static_cast<int>(back), f);
    }
    LineFormat format = LineFormat::Unknown;
    EXPECT_TRUE(gatewayFormatFromName("ydwg", format));
    EXPECT_EQ(format, LineFormat::Ydwg);
    EXPECT_FALSE(gatewayFormatFromName("nmea0183", format));
    EXPECT_FALSE(gatewayFormatFromName("", format));
}

TEST(Base64, DecodesPaddingAndRejectsJunk) {
    std::uint8_t out[8];
    EXPECT_EQ(decodeBase64("TWFu", out, 8), 3);
    EXPECT_EQ(decodeBase64("TWE=", out, 8), 2);
    EXPECT_EQ(decodeBase64("TQ==", out, 8), 1);
    EXPECT_EQ(out[0], 'M');
    EXPECT_EQ(decodeBase64("TQ=", out, 8), -1);
    EXPECT_EQ(decodeBase64("T!==", out, 8), -1);
    EXPECT_EQ(decodeBase64("TWFuTWFuTWFu", out, 8), -1);  // too long for the buffer
    EXPECT_EQ(decodeBase64("", out, 8), 0);
}

TEST(TimeText, ReadsEachGatewayClock) {
    EXPECT_EQ(parseTimeOfDay("00:29:58.617"), 1798617);
    EXPECT_EQ(parseTimeOfDay("23:59:59"), 86399000);
    EXPECT_EQ(parseTimeOfDay("000057.055", false), 57055);
    EXPECT_EQ(parseTimeOfDay("00:29:58.6171234"), -1);
    EXPECT_EQ(parseTimeOfDay("00:61:58.617"), -1);
    EXPECT_EQ(parseEpochSeconds("1502984866.421964"), 1502984866421);
    EXPECT_EQ(parseEpochSeconds("12"), 12000);
    EXPECT_EQ(parseEpochSeconds(".5"), -1);
    EXPECT_EQ(parseDateTime("1970-01-01T00:00:00Z"), 0);
    EXPECT_EQ(parseDateTime("2016-02-28T19:57:02.364Z"), kMs2016);
    EXPECT_EQ(parseDateTime("2016-02-28 19:57:02.364"), kMs2016);
    EXPECT_EQ(parseDateTime("2016-13-28T19:57:02.364Z"), -1);
    EXPECT_EQ(parseDateTime("2016-02-28"), -1);
}

}  // namespace
}  // namespace n2k
