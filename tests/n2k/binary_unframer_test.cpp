// The binary gateways: NGT-1 framing (DLE stuffing, checksums, resynchronising on
// garbage) and EBL log files, on built frames and on a real log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "n2k/ebl_unframer.h"
#include "n2k/ngt1_unframer.h"
#include "n2k_test_support.h"

namespace n2k {
namespace {

using Bytes = std::vector<std::uint8_t>;

void collect(void* user, const Message& m) {
    static_cast<std::vector<test::Delivered>*>(user)->push_back(
        {{m.pgn, m.priority, m.source, m.destination}, Bytes(m.data, m.data + m.length), m.timeMs});
}

// DLE STX command length payload checksum DLE ETX, with DLE doubled inside.
Bytes ngt1Frame(std::uint8_t command, const Bytes& payload, int checksumError = 0) {
    Bytes body = {command, static_cast<std::uint8_t>(payload.size())};
    for (std::uint8_t b : payload)
        body.push_back(b);
    std::uint8_t sum = 0;
    for (std::uint8_t b : body)
        sum = static_cast<std::uint8_t>(sum + b);
    body.push_back(static_cast<std::uint8_t>(-sum + checksumError));
    Bytes out = {0x10, 0x02};
    for (std::uint8_t b : body) {
        out.push_back(b);
        if (b == 0x10)
            out.push_back(0x10);
    }
    out.push_back(0x10);
    out.push_back(0x03);
    return out;
}

Bytes receivedPgn(std::uint32_t pgn, std::uint8_t prio, std::uint8_t dst, std::uint8_t src,
                  const Bytes& data) {
    Bytes p = {prio,
               static_cast<std::uint8_t>(pgn),
               static_cast<std::uint8_t>(pgn >> 8),
               static_cast<std::uint8_t>(pgn >> 16),
               dst,
               src,
               0x10,
               0x20,
               0x30,
               0x40,
               static_cast<std::uint8_t>(data.size())};
    for (std::uint8_t b : data)
        p.push_back(b);
    return p;
}

Bytes operator+(Bytes a, const Bytes& b) {
    for (std::uint8_t x : b)
        a.push_back(x);
    return a;
}

std::uint64_t byteTotal(const BinaryCounters& c) {
    return c.bytesInMessages + c.bytesInOtherCommands + c.bytesInLogRecords + c.bytesGarbage;
}

TEST(Ngt1, ReadsReceivedPgnsThroughGarbageAndBrokenFrames) {
    const Bytes data = {0x10, 0x10, 0x02, 0x03, 0xFF, 0x00, 0x10, 0x7F};  // DLEs to stuff
    const Bytes good = ngt1Frame(0x93, receivedPgn(129025, 2, 255, 0x10, data));
    const Bytes stream = Bytes{'x', 0x10, 'y', 0x03} + good +
                         ngt1Frame(0xA0, {1, 2, 3}) +  // another command
                         ngt1Frame(0x93, receivedPgn(127250, 2, 255, 3, {1}), 1) +  // bad sum
                         Bytes{0x10, 0x02, 0x93, 0x05, 0x01} +  // cut short by ...
                         good +                                 // ... a whole frame
                         ngt1Frame(0x93, {1, 2, 3}) +           // too short for a PGN
                         Bytes{0x10, 0x02, 0x93, 0x10, 0x55} +  // DLE then junk
                         good + Bytes{0x10, 0x02, 0x01};        // unfinished at the end

    for (std::size_t piece : {std::size_t{1}, std::size_t{3}, stream.size()}) {
        std::vector<test::Delivered> out;
        Ngt1Unframer unframer(&collect, &out);
        for (std::size_t at = 0; at < stream.size(); at += piece)
            unframer.feed(stream.data() + at, std::min(piece, stream.size() - at));
        unframer.finish();
        ASSERT_EQ(out.size(), 3u) << piece;
        EXPECT_EQ(out[0].key, (test::Key{129025, 2, 0x10, 255}));
        EXPECT_EQ(out[0].data, data);
        EXPECT_EQ(out[0].timeMs, kNoTime);
        const BinaryCounters& c = unframer.counters();
        EXPECT_EQ(c.messages, 3u);
        EXPECT_EQ(c.otherCommands, 1u);
        EXPECT_EQ(c.badChecksum, 1u);
        EXPECT_EQ(c.badFrames, 4u);  // cut short, too short, DLE junk, unfinished
        EXPECT_EQ(c.bytesInMessages, 3 * good.size());
        EXPECT_EQ(byteTotal(c), stream.size()) << piece;
    }
}

TEST(Ngt1, EndlessFrameIsBounded) {
    std::vector<test::Delivered> out;
    Ngt1Unframer unframer(&collect, &out);
    Bytes stream = {0x10, 0x02};
    stream.resize(5000, 0x55);
    const Bytes good = ngt1Frame(0x93, receivedPgn(60928, 6, 255, 1, {1, 2, 3, 4, 5, 6, 7, 8}));
    stream = stream + good;
    unframer.feed(stream.data(), stream.size());
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].key, (test::Key{60928, 6, 1, 255}));
    EXPECT_EQ(unframer.counters().badFrames, 1u);
    EXPECT_EQ(byteTotal(unframer.counters()), stream.size());
}

TEST(Ebl, RealLogGivesEveryReceivedPgnWithWallClockTime) {
    const std::string file = test::readFile(test::dataPath("actisense-523.rx.ebl"));
    ASSERT_FALSE(file.empty());
    std::vector<test::Delivered> out;
    EblUnframer unframer(&collect, &out);
    unframer.feed(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
    unframer.finish();
    const BinaryCounters& c = unframer.counters();
    EXPECT_EQ(c.messages, 385u);
    EXPECT_EQ(c.otherCommands, 14u);
    EXPECT_EQ(c.logRecords, 144u);
    EXPECT_EQ(c.badChecksum + c.badFrames, 0u);
    EXPECT_EQ(c.bytesGarbage, 0u);
    EXPECT_EQ(byteTotal(c), file.size());
    ASSERT_EQ(out.size(), 385u);
    EXPECT_EQ(out[0].key, (test::Key{127488, 2, 0x4B, 255}));
    EXPECT_EQ(out[0].data, (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0xFF, 0xFF}));
    // The log was written in 2025: every PGN carries a time of that year.
    for (const auto& m : out) {
        EXPECT_GT(m.timeMs, 1735689600000);  // 2025-01-01
        EXPECT_LT(m.timeMs, 1767225600000);  // 2026-01-01
    }
    bool sawAddressClaim = false;
    for (const auto& m : out)
        sawAddressClaim = sawAddressClaim || m.key.pgn == 60928;
    EXPECT_TRUE(sawAddressClaim);
}

// An EBL time record for a Unix time, ESC bytes written twice.
Bytes timeRecord(std::int64_t unixMs) {
    const std::uint64_t ticks =
        116444736000000000ull + static_cast<std::uint64_t>(unixMs) * 10000ull;
    Bytes record = {0x1B, 0x01, 0x03};
    for (int i = 0; i < 8; ++i) {
        const auto b = static_cast<std::uint8_t>(ticks >> (8 * i));
        record.push_back(b);
        if (b == 0x1B)
            record.push_back(0x1B);
    }
    return record + Bytes{0x1B, 0x0A};
}

TEST(Ebl, EscapesAndBrokenRecords) {
    // A time record whose FILETIME holds an ESC byte (written twice), an NGT-1 frame
    // whose payload holds one, an unknown escape, and a record that never ends.
    const Bytes frame = ngt1Frame(0x93, receivedPgn(130306, 2, 255, 0x1B, {0x1B, 0x00}));
    Bytes escapedFrame;
    for (std::uint8_t b : frame) {
        escapedFrame.push_back(b);
        if (b == 0x1B)
            escapedFrame.push_back(0x1B);
    }
    const Bytes stream = timeRecord(1735689600000) + escapedFrame + Bytes{0x1B, 0x42} +
                         escapedFrame + Bytes{0x1B, 0x01, 0x03, 0x01} + timeRecord(0) +
                         escapedFrame + Bytes{0x1B, 0x01, 0x01, 0x02};
    std::vector<test::Delivered> out;
    EblUnframer unframer(&collect, &out);
    unframer.feed(stream.data(), stream.size());
    unframer.finish();
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].key, (test::Key{130306, 2, 0x1B, 255}));
    EXPECT_EQ(out[0].data, (Bytes{0x1B, 0x00}));
    EXPECT_EQ(out[0].timeMs, 1735689600000);
    EXPECT_EQ(out[2].timeMs, 0);  // the second time record: the Unix epoch
    const BinaryCounters& c = unframer.counters();
    EXPECT_EQ(c.logRecords, 2u);
    EXPECT_EQ(c.badFrames, 3u);  // unknown escape, broken record, unfinished record
    EXPECT_EQ(byteTotal(c), stream.size());
}

}  // namespace
}  // namespace n2k
