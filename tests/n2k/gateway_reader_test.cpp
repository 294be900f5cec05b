// The streaming reader: every real capture read whole, in any read sizes, gives the
// PGNs of the reference decode; mixed streams keep their NMEA 0183 lines; every
// byte is accounted for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "n2k/gateway_reader.h"
#include "n2k_test_support.h"

namespace n2k {
namespace {

struct Capture {
    const char* file;
    LineFormat format;
};

class Captures : public ::testing::TestWithParam<Capture> {};

TEST_P(Captures, GiveTheReferencePgnsInOrder) {
    const Capture& capture = GetParam();
    const std::string bytes = test::readFile(test::dataPath(capture.file));
    ASSERT_FALSE(bytes.empty());
    const std::vector<test::Key> expected = test::loadKeys(capture.file);
    ASSERT_FALSE(expected.empty());

    for (std::size_t piece : {std::size_t{1}, std::size_t{61}, bytes.size()}) {
        test::CollectingSink sink;
        GatewayReader reader(sink, test::testFastPackets());
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            reader.feed(bytes.data() + at, std::min(piece, bytes.size() - at));
        reader.finish();

        ASSERT_EQ(sink.messages.size(), expected.size()) << capture.file << " piece " << piece;
        for (std::size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(sink.messages[i].key, expected[i]) << capture.file << " PGN #" << i;
        EXPECT_EQ(reader.byteOutcomes().total(), bytes.size());
        EXPECT_EQ(reader.messagesDelivered(), expected.size());
        const int f = static_cast<int>(capture.format);
        EXPECT_GT(reader.lineCounters().frames[f] + reader.lineCounters().messages[f], 0u);
        // Only broken lines that start like a sentence (the iKonvert log has some) go
        // to the NMEA 0183 side, which will reject them there.
        for (const std::string& line : sink.nmea0183)
            EXPECT_TRUE(line[0] == '$' || line[0] == '!') << line;
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, Captures,
                         ::testing::Values(Capture{"merrimac-ydwg-2020.raw", LineFormat::Ydwg},
                                           Capture{"sample-YDWG02.txt", LineFormat::Ydwg},
                                           Capture{"simulator_wind_temp_env.raw", LineFormat::Ydwg},
                                           Capture{"actisense-w2k-n2k.raw",
                                                   LineFormat::ActisenseAscii},
                                           Capture{"candumpSample2.txt", LineFormat::Candump},
                                           Capture{"candump-fast.txt", LineFormat::Candump},
                                           Capture{"ikonvert.log", LineFormat::Pdgy},
                                           Capture{"129540.raw", LineFormat::Plain},
                                           Capture{"pgn129538.raw", LineFormat::Plain},
                                           Capture{"sample-fast.raw.txt", LineFormat::Plain}),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(GatewayReader, IkonvertCaptureCountsItsBrokenLines) {
    const std::string bytes = test::readFile(test::dataPath("ikonvert.log"));
    test::CollectingSink sink;
    GatewayReader reader(sink, test::testFastPackets());
    reader.feed(bytes.data(), bytes.size());
    reader.finish();
    const LineCounters& c = reader.lineCounters();
    const int pdgy = static_cast<int>(LineFormat::Pdgy);
    EXPECT_GT(c.malformed[pdgy], 0u);  // lines cut short and run into the next
    EXPECT_GT(c.status[pdgy], 0u);     // the gateway's $PDGY reports
    EXPECT_EQ(c.messages[pdgy], sink.messages.size());
    EXPECT_EQ(c.lines[pdgy], c.messages[pdgy] + c.malformed[pdgy] + c.status[pdgy]);
}

TEST(GatewayReader, MixedStreamHandsNmea0183BackUntouched) {
    const std::string gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    const std::string vdm = "!AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL289?,0*26\n";
    const std::string stream =
        "00:29:58.617 R 09F8017F 01 02 03 04 05 06 07 08\r\n" + gga +
        "$PCDIN,01F119,00000000,0F,2AAF00D1067414FF*59\r\n" + vdm +
        "# a comment\n\r\n"
        "(1502984866.421964) can0 09F112CC#FF725AFF7FFF7FFD\n"
        "00:29:58.617 R 09F8017F 01 0\n"                                      // malformed
        "what is this\n"                                                      // noise
        "$PCDIN,01F119,00000000,0F,2AAF*00\n"                                 // bad checksum
        "2016-02-28T19:57:02.364Z,2,127250,7,255,8,ff,10,3b,ff,7f,ff,7f,fd";  // no line end

    test::CollectingSink sink;
    GatewayReader reader(sink, test::testFastPackets());
    for (char c : stream)
        reader.feed(&c, 1);
    EXPECT_LT(reader.byteOutcomes().total(), stream.size());  // the last line is held back
    reader.finish();

    ASSERT_EQ(sink.messages.size(), 4u);
    EXPECT_EQ(sink.messages[0].key.pgn, 129025u);
    EXPECT_EQ(sink.messages[1].key.pgn, 127257u);
    EXPECT_EQ(sink.messages[2].key.pgn, 127250u);
    EXPECT_EQ(sink.messages[3].key.src, 7);
    EXPECT_EQ(sink.nmea0183, (std::vector<std::string>{gga, vdm}));

    const ByteOutcomes b = reader.byteOutcomes();
    EXPECT_EQ(b.total(), stream.size());
    EXPECT_EQ(b.nmea0183, gga.size() + vdm.size());
    EXPECT_EQ(b.comments, std::string("# a comment\n\r\n").size());
    EXPECT_EQ(b.noise, std::string("what is this\n").size());
    const LineCounters& c = reader.lineCounters();
    EXPECT_EQ(c.malformed[static_cast<int>(LineFormat::Ydwg)], 1u);
    EXPECT_EQ(c.malformed[static_cast<int>(LineFormat::Pcdin)], 1u);
}

TEST(GatewayReader, EndlessLineIsCutOffAndTheStreamGoesOn) {
    test::CollectingSink sink;
    GatewayReader reader(sink);
    const std::string junk(3 * kMaxLineLength, 'x');
    const std::string good = "00:29:58.617 R 09F8017F 01 02 03 04 05 06 07 08\n";
    reader.feed(junk.data(), junk.size());
    reader.feed(junk.data(), junk.size());
    reader.feed("\n", 1);
    reader.feed(good.data(), good.size());
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(reader.lineCounters().overlong, 1u);
    EXPECT_EQ(reader.byteOutcomes().overlong, 2 * junk.size() + 1);
    EXPECT_EQ(reader.byteOutcomes().total(), 2 * junk.size() + 1 + good.size());
}

TEST(GatewayReader, ForcedFormatReadsOnlyThatFormat) {
    test::CollectingSink sink;
    GatewayReader reader(sink, {}, StreamKind::Forced, LineFormat::Candump);
    const std::string stream =
        "(1502984866.421964) can0 09F112CC#FF725AFF7FFF7FFD\n"
        "00:29:58.617 R 09F8017F 01 02 03 04 05 06 07 08\n"
        "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\n";
    reader.feed(stream.data(), stream.size());
    EXPECT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.nmea0183.size(), 1u);
    EXPECT_EQ(reader.lineCounters().notThisFormat, 1u);
    EXPECT_EQ(reader.byteOutcomes().total(), stream.size());
}

TEST(GatewayReader, BinaryStreamsAreRecognisedByTheirFirstByte) {
    const std::string ebl = test::readFile(test::dataPath("actisense-523.rx.ebl"));
    test::CollectingSink sink;
    GatewayReader reader(sink);
    for (std::size_t at = 0; at < ebl.size(); at += 100)
        reader.feed(ebl.data() + at, std::min<std::size_t>(100, ebl.size() - at));
    reader.finish();
    EXPECT_EQ(reader.kind(), StreamKind::Ebl);
    EXPECT_EQ(sink.messages.size(), 385u);
    EXPECT_EQ(reader.byteOutcomes().binary, ebl.size());
    EXPECT_EQ(reader.byteOutcomes().total(), ebl.size());
}

TEST(GatewayReader, SerialPortOpenedInTheMiddleOfAnNgt1Frame) {
    // The NGT-1 frames of the log, entered part-way through the first one.
    const std::string ebl = test::readFile(test::dataPath("actisense-523.rx.ebl"));
    const std::size_t firstFrame = ebl.find("\x10\x02");
    ASSERT_NE(firstFrame, std::string::npos);
    const std::string frames = ebl.substr(firstFrame + 7, 400);
    test::CollectingSink sink;
    GatewayReader reader(sink);
    for (char c : frames)
        reader.feed(&c, 1);
    reader.finish();
    EXPECT_EQ(reader.kind(), StreamKind::Ngt1);
    EXPECT_GT(sink.messages.size(), 3u);
    EXPECT_GT(reader.binaryCounters().bytesGarbage, 0u);
    EXPECT_EQ(reader.byteOutcomes().total(), frames.size());
}

TEST(GatewayReader, ShortTextStreamIsReadAtItsEnd) {
    test::CollectingSink sink;
    GatewayReader reader(sink);
    const std::string line = "$PCDIN,01F119,00000000,0F,2AAF00D1067414FF*59";  // no line end
    reader.feed(line.data(), line.size());
    EXPECT_TRUE(sink.messages.empty());
    reader.finish();
    EXPECT_EQ(reader.kind(), StreamKind::Text);
    EXPECT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(reader.byteOutcomes().total(), line.size());
}

TEST(GatewayReader, InputNames) {
    StreamKind kind = StreamKind::Auto;
    LineFormat format = LineFormat::Unknown;
    EXPECT_TRUE(streamFromName("ngt1", kind, format));
    EXPECT_EQ(kind, StreamKind::Ngt1);
    EXPECT_TRUE(streamFromName("ebl", kind, format));
    EXPECT_EQ(kind, StreamKind::Ebl);
    EXPECT_TRUE(streamFromName("pcdin", kind, format));
    EXPECT_EQ(kind, StreamKind::Forced);
    EXPECT_EQ(format, LineFormat::Pcdin);
    EXPECT_FALSE(streamFromName("seatalk", kind, format));
}

}  // namespace
}  // namespace n2k
