// The stream router: a stream without NMEA 2000 reaches the NMEA 0183 parse cycle
// byte for byte (same sentences, same counters), whatever its noise and however the
// reads split it; NMEA 2000 lines become PGNs in stream order with the sentences.
#include "present/stream_router.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <random>
#include <string>
#include <vector>

#include "n2k/pgn_decoder.h"
#include "nmea/parser_context.h"
#include "nmea/records.h"
#include "present/parse_cycle.h"

namespace {

class RecordingSink : public present::FramingSink {
public:
    bool wantsRecords() const override { return true; }
    void sentenceDone(int) override { events.push_back(std::string(nmeaz::currentSentenceName)); }
    void pgnMessage(const n2k::Message& message, const n2k::DecodedPgn& decoded) override {
        events.push_back("PGN " + std::to_string(message.pgn) +
                         (decoded.definition == nullptr ? " raw" : ""));
    }
    nmeaz::LineCounters* lineCounters() override { return &counters; }

    std::vector<std::string> events;
    nmeaz::LineCounters counters{};
};

// The stream through the router in reads of the given sizes (cycling), then finished.
RecordingSink routed(const std::string& stream, std::vector<std::size_t> reads,
                     std::string_view format = {}) {
    RecordingSink sink;
    present::StreamRouter router([] { return static_cast<const n2k::PgnDatabase*>(nullptr); });
    if (!format.empty()) {
        EXPECT_TRUE(router.forceFormat(format));
    }
    QByteArray buffer;
    const present::Nmea0183Cycle cycle = [&](QByteArray& b) { present::runParseCycle(b, sink); };
    std::size_t at = 0;
    for (std::size_t i = 0; at < stream.size(); ++i) {
        const std::size_t size = std::min(reads[i % reads.size()], stream.size() - at);
        router.feed(stream.data() + at, size, buffer, sink, cycle);
        at += size;
    }
    router.finish(buffer, sink, cycle);
    sink.counters.bytes += static_cast<std::uint64_t>(buffer.size() + router.heldBytes());
    return sink;
}

// The same stream straight into the parse cycle, as before there was a router.
RecordingSink direct(const std::string& stream, std::vector<std::size_t> reads) {
    RecordingSink sink;
    QByteArray buffer;
    std::size_t at = 0;
    for (std::size_t i = 0; at < stream.size(); ++i) {
        const std::size_t size = std::min(reads[i % reads.size()], stream.size() - at);
        buffer.append(stream.data() + at, static_cast<qsizetype>(size));
        present::runParseCycle(buffer, sink);
        at += size;
    }
    sink.counters.bytes += static_cast<std::uint64_t>(buffer.size());
    return sink;
}

const std::string kGll = "$GPGLL,4916.45,N,12311.12,W,225444,A*31\r\n";
const std::string kYd = "21:55:35.425 R 15FD0723 FF C0 D9 6F FF 7F FF FF\r\n";  // 130311

std::string binaryNoise(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string noise;
    for (std::size_t i = 0; i < n; ++i) {
        noise += static_cast<char>(0x80 + random() % 0x80);
    }
    return noise;
}

TEST(StreamRouter, NmeaOnlyStreamsReachTheParseCycleUnchanged) {
    const std::string streams[] = {
        kGll + kGll,
        "noise before\r\n" + kGll + "garbage" + kGll + "# a comment\r\n\r\n" + kGll,
        binaryNoise(300, 1) + kGll + binaryNoise(9000, 2) + kGll,
        std::string(7000, 'x') + kGll + "12,34 not plain\r\n" + kGll,
        kGll + "$GPG",  // ends without a line end
        "2016-02-28 not quite a gateway line\r\n" + kGll + "A0000",
    };
    const std::vector<std::vector<std::size_t>> splits = {{1 << 16}, {1}, {3, 7, 64}, {41}};
    for (const std::string& stream : streams) {
        const RecordingSink reference = direct(stream, {1 << 16});
        for (const auto& reads : splits) {
            const RecordingSink sink = routed(stream, reads);
            EXPECT_EQ(sink.events, reference.events) << stream.substr(0, 40);
            EXPECT_EQ(sink.counters, reference.counters) << stream.substr(0, 40);
        }
    }
}

// Random streams of sentences, noise, gateway look-alikes, binary bytes and lines cut
// anywhere, read in random sizes: the router changes nothing of the NMEA 0183 side.
TEST(StreamRouter, RandomNmeaStreamsAreUnchangedHoweverTheyAreRead) {
    const std::string pieces[] = {
        kGll,
        "$GPGG",
        "A,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n",
        "21:55:35.4",
        "12,34 not a frame\r\n",
        "(broken candump\r\n",
        "\r\n",
        "\n",
        "# note\r\n",
        "$PCDIN,01F119",
        "!AIVDM,1,1,,A,15M67FC000G?ufbE`FepT@3n00Sa,0*5C\r\n",
        "\x10\x02\x93",
        std::string(7000, '7'),
        binaryNoise(50, 3)};
    std::mt19937 random(2024);
    int splitDependent = 0;
    for (int round = 0; round < 200; ++round) {
        std::string stream;
        const int count = 1 + static_cast<int>(random() % 30);
        for (int i = 0; i < count; ++i) {
            stream += pieces[random() % std::size(pieces)];
        }
        const std::vector<std::size_t> reads = {1 + random() % 100, 1 + random() % 5,
                                                1 + random() % 9000};
        const RecordingSink reference = direct(stream, {1 << 16});
        const RecordingSink sink = routed(stream, reads);
        ASSERT_EQ(sink.events, reference.events)
            << "round " << round << " reads " << reads[0] << "," << reads[1] << "," << reads[2]
            << ": " << QByteArray::fromStdString(stream).toHex(' ').toStdString();
        // Where the parse cycle's own counts depend on how the reads split the stream
        // (a sentence start cut off by binary noise), there is no one count to keep.
        if (!(direct(stream, reads).counters == reference.counters) ||
            !(direct(stream, {1}).counters == reference.counters)) {
            ++splitDependent;
            continue;
        }
        ASSERT_EQ(sink.counters, reference.counters) << "round " << round;
    }
    EXPECT_LT(splitDependent, 100);
}

TEST(StreamRouter, GatewayLinesBecomePgnsInStreamOrder) {
    const std::string stream = kGll + kYd + "$PCDIN,01F119,00000000,0F,2AAF00D1067414FF*59\r\n" +
                               kGll + "(1502984866.421964) can0 09F112CC#FF725AFF7FFF7FFD\n" +
                               "noise\r\n" + kGll;
    const std::vector<std::string> expected = {"$GPGLL", "PGN 130311 raw", "PGN 127257 raw",
                                               "$GPGLL", "PGN 127250 raw", "$GPGLL"};
    for (const auto& reads : std::vector<std::vector<std::size_t>>{{1 << 16}, {1}, {5, 13}}) {
        EXPECT_EQ(routed(stream, reads).events, expected);
    }
    // The 0183 side counts exactly what it counts without the gateway lines.
    const std::string nmeaOnly = kGll + kGll + "noise\r\n" + kGll;
    EXPECT_EQ(routed(stream, {7}).counters, direct(nmeaOnly, {7}).counters);
}

TEST(StreamRouter, AForcedFormatReadsEveryOtherLineAsThatFormat) {
    // Forced to PLAIN, a YDWG line is read as PLAIN (and found malformed).
    const std::string stream = kGll + kYd;
    RecordingSink sink;
    present::StreamRouter router([] { return static_cast<const n2k::PgnDatabase*>(nullptr); });
    ASSERT_TRUE(router.forceFormat("plain"));
    EXPECT_FALSE(router.forceFormat("nonsense"));
    QByteArray buffer;
    router.feed(stream.data(), stream.size(), buffer, sink,
                [&](QByteArray& b) { present::runParseCycle(b, sink); });
    EXPECT_EQ(sink.events, std::vector<std::string>{"$GPGLL"});
    EXPECT_EQ(router.counters().badGatewayLines, 1u);
    EXPECT_EQ(sink.counters.noiseBytes, 0u);
}

}  // namespace
