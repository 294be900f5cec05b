// Fast-packet and transport-protocol reassembly: whole packets, and every way the
// frames of one can go wrong on a real bus.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "n2k/can_id.h"
#include "n2k/line_writer.h"
#include "n2k/reassembler.h"
#include "n2k_test_support.h"

namespace n2k {
namespace {

constexpr std::uint32_t kFastPgn = 129029;  // GNSS position data, 43 bytes

Message makeMessage(std::uint32_t pgn, std::uint8_t source, int length, std::uint8_t seed,
                    std::uint8_t destination = kGlobalAddress) {
    Message m;
    m.pgn = pgn;
    m.priority = 3;
    m.source = source;
    m.destination = destination;
    m.length = length;
    for (int i = 0; i < length; ++i)
        m.data[i] = static_cast<std::uint8_t>(seed + i);
    return m;
}

std::vector<Frame> fastFrames(const Message& m, std::uint8_t sequence) {
    std::vector<Frame> frames(32);
    const int n = framesOf(m, true, sequence, frames.data(), 32);
    frames.resize(static_cast<std::size_t>(n));
    return frames;
}

// Feeds frames in the given order (indices into `frames`), collecting what comes out.
struct Feeder {
    Reassembler reassembler{test::testFastPackets()};
    std::vector<test::Delivered> out;
    // Every packet dropped, as (PGN, source): what the monitor counts against the row.
    std::vector<std::pair<std::uint32_t, int>> drops;

    void feed(const Frame& f) {
        const Message* m = reassembler.feed(f);
        for (int i = 0; i < reassembler.lastDropCount(); ++i)
            drops.emplace_back(reassembler.lastDrops()[i].pgn, reassembler.lastDrops()[i].source);
        if (m != nullptr)
            out.push_back({{m->pgn, m->priority, m->source, m->destination},
                           std::vector<std::uint8_t>(m->data, m->data + m->length),
                           m->timeMs});
    }
    void feed(const std::vector<Frame>& frames, const std::vector<int>& order) {
        for (int i : order)
            feed(frames[static_cast<std::size_t>(i)]);
    }
};

std::vector<std::uint8_t> payload(const Message& m) {
    return {m.data, m.data + m.length};
}

TEST(FastPacket, WholePacketsComeOutOnce) {
    for (int length : {1, 6, 7, 13, 43, 223}) {
        Feeder run;
        const Message m = makeMessage(kFastPgn, 7, length, 0x40);
        const auto frames = fastFrames(m, 5);
        for (const Frame& f : frames)
            run.feed(f);
        ASSERT_EQ(run.out.size(), 1u) << length;
        EXPECT_EQ(run.out[0].data, payload(m));
        EXPECT_EQ(run.out[0].key, (test::Key{kFastPgn, 3, 7, 255}));
        EXPECT_EQ(run.reassembler.counters().fastPacketErrors(), 0u);
    }
}

struct Fault {
    const char* name;
    std::vector<int> order;  // frame indices of a 4-frame packet (27 bytes)
    std::uint64_t ReassemblyCounters::*counter;
    std::uint64_t discarded;
};

class FastPacketFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(FastPacketFaults, DropThePacketAndCountWhy) {
    const Fault& fault = GetParam();
    Feeder run;
    const Message m = makeMessage(kFastPgn, 7, 27, 0);
    const auto frames = fastFrames(m, 1);
    ASSERT_EQ(frames.size(), 4u);
    run.feed(frames, fault.order);
    EXPECT_TRUE(run.out.empty()) << fault.name;

    // The next packet of the same source and PGN is read whole again.
    const Message next = makeMessage(kFastPgn, 7, 27, 100);
    for (const Frame& f : fastFrames(next, 2))
        run.feed(f);
    ASSERT_EQ(run.out.size(), 1u) << fault.name;
    EXPECT_EQ(run.out[0].data, payload(next));

    const ReassemblyCounters& c = run.reassembler.counters();
    EXPECT_EQ(c.*fault.counter, 1u) << fault.name;
    EXPECT_EQ(c.fastPacketErrors(), 1u) << fault.name;
    EXPECT_EQ(c.fastPacketDiscardedFrames, fault.discarded) << fault.name;
    // The drop is told once, against the packet's PGN and sender.
    EXPECT_EQ(run.drops, (std::vector<std::pair<std::uint32_t, int>>{{kFastPgn, 7}})) << fault.name;
}

INSTANTIATE_TEST_SUITE_P(
    Reassembly, FastPacketFaults,
    ::testing::Values(
        Fault{"lost middle frame", {0, 1, 3}, &ReassemblyCounters::fastPacketLost, 0},
        Fault{
            "lost last frames, then restart", {0, 1}, &ReassemblyCounters::fastPacketRestarted, 0},
        Fault{"repeated frame", {0, 1, 1, 2, 3}, &ReassemblyCounters::fastPacketRepeated, 2},
        Fault{"repeated first frame", {0, 0, 1, 2, 3}, &ReassemblyCounters::fastPacketRepeated, 3},
        Fault{"swapped frames", {0, 2, 1, 3}, &ReassemblyCounters::fastPacketOutOfOrder, 2},
        Fault{
            "frame from the past", {0, 1, 2, 1, 3}, &ReassemblyCounters::fastPacketOutOfOrder, 1}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == ' ' || c == ',')
                c = '_';
        return name;
    });

TEST(FastPacket, OrphanFramesCountEach) {
    Feeder run;
    const auto frames = fastFrames(makeMessage(kFastPgn, 7, 27, 0), 1);
    run.feed(frames, {1, 2, 3});
    EXPECT_EQ(run.reassembler.counters().fastPacketOrphans, 3u);
}

TEST(FastPacket, SourcesPgnsAndDestinationsInterleave) {
    Feeder run;
    const Message a = makeMessage(kFastPgn, 1, 43, 0);
    const Message b = makeMessage(kFastPgn, 2, 43, 50);
    const Message c = makeMessage(129540, 1, 30, 100);
    const Message d = makeMessage(126208, 1, 20, 150, 9);  // addressed
    const Message e = makeMessage(126208, 1, 20, 200, 10);
    const std::vector<std::vector<Frame>> all = {
        fastFrames(a, 0), fastFrames(b, 3), fastFrames(c, 6), fastFrames(d, 1), fastFrames(e, 2)};
    for (std::size_t i = 0; i < 7; ++i) {
        for (const auto& frames : all) {
            if (i < frames.size())
                run.feed(frames[i]);
        }
    }
    ASSERT_EQ(run.out.size(), 5u);
    std::vector<std::vector<std::uint8_t>> got;
    for (const auto& o : run.out)
        got.push_back(o.data);
    for (const Message* m : {&a, &b, &c, &d, &e})
        EXPECT_NE(std::find(got.begin(), got.end(), payload(*m)), got.end());
    EXPECT_EQ(run.reassembler.counters().fastPacketErrors(), 0u);
}

TEST(FastPacket, NewSequenceBeforeTheOldCompletesDropsTheOld) {
    Feeder run;
    const Message old = makeMessage(kFastPgn, 7, 27, 0);
    const Message fresh = makeMessage(kFastPgn, 7, 27, 90);
    const auto oldFrames = fastFrames(old, 1);
    const auto newFrames = fastFrames(fresh, 2);
    run.feed(oldFrames, {0, 1});
    run.feed(newFrames, {0, 1});
    run.feed(oldFrames, {2, 3});  // the old packet's tail: not its sequence any more
    run.feed(newFrames, {2, 3});
    ASSERT_EQ(run.out.size(), 1u);
    EXPECT_EQ(run.out[0].data, payload(fresh));
    EXPECT_EQ(run.reassembler.counters().fastPacketRestarted, 1u);
    EXPECT_EQ(run.reassembler.counters().fastPacketOrphans, 2u);
}

TEST(FastPacket, BadLengthsAndShortFrames) {
    Feeder run;
    Frame f;
    f.canId = encodeCanId({kFastPgn, 3, 7, 255});
    f.length = 8;
    f.data[0] = 0x20;
    f.data[1] = 224;  // more than a fast packet holds
    run.feed(f);
    f.data[1] = 0;
    run.feed(f);
    f.length = 1;  // no room for the length byte
    run.feed(f);
    f.length = 0;
    run.feed(f);
    EXPECT_EQ(run.reassembler.counters().fastPacketBadLength, 4u);
    EXPECT_TRUE(run.out.empty());
}

TEST(FastPacket, TooManyOpenPacketsEvictTheOldest) {
    Feeder run;
    std::vector<std::vector<Frame>> packets;
    for (int source = 0; source <= kMaxOpenFastPackets; ++source)
        packets.push_back(fastFrames(makeMessage(kFastPgn, static_cast<std::uint8_t>(source), 27,
                                                 static_cast<std::uint8_t>(source)),
                                     0));
    for (const auto& frames : packets)
        run.feed(frames[0]);
    EXPECT_EQ(run.reassembler.counters().fastPacketEvicted, 1u);
    for (const auto& frames : packets)
        run.feed(frames, {1, 2, 3});
    EXPECT_EQ(run.out.size(), static_cast<std::size_t>(kMaxOpenFastPackets));
    EXPECT_EQ(run.reassembler.counters().fastPacketOrphans, 3u);  // source 0 was evicted
    // The evicted packet is told against its own sender, not the one that took its room.
    EXPECT_EQ(run.drops, (std::vector<std::pair<std::uint32_t, int>>(4, {kFastPgn, 0})));
}

TEST(SingleFrame, PassesThroughWithItsAddress) {
    Feeder run;
    Frame f;
    f.canId = encodeCanId({59904, 6, 1, 35});
    f.length = 3;
    f.data[0] = 0x14;
    f.data[1] = 0xF0;
    f.data[2] = 0x01;
    f.timeMs = 1234;
    run.feed(f);
    ASSERT_EQ(run.out.size(), 1u);
    EXPECT_EQ(run.out[0].key, (test::Key{59904, 6, 1, 35}));
    EXPECT_EQ(run.out[0].data, (std::vector<std::uint8_t>{0x14, 0xF0, 0x01}));
    EXPECT_EQ(run.out[0].timeMs, 1234);
}

// ISO transport protocol.

Frame control(std::uint8_t source, std::uint8_t destination, std::vector<std::uint8_t> bytes) {
    Frame f;
    f.canId = encodeCanId({kTransportControlPgn, 7, source, destination});
    f.length = 8;
    for (std::size_t i = 0; i < 8; ++i)
        f.data[i] = i < bytes.size() ? bytes[i] : 0xFF;
    return f;
}

std::vector<Frame> transfer(std::uint8_t source, std::uint8_t destination, const Message& m) {
    std::vector<Frame> frames;
    const int packets = (m.length + 6) / 7;
    for (int p = 1; p <= packets; ++p) {
        Frame f;
        f.canId = encodeCanId({kTransportDataPgn, 7, source, destination});
        f.length = 8;
        f.data[0] = static_cast<std::uint8_t>(p);
        for (int i = 0; i < 7; ++i) {
            const int at = (p - 1) * 7 + i;
            f.data[1 + i] = at < m.length ? m.data[at] : 0xFF;
        }
        frames.push_back(f);
    }
    return frames;
}

std::vector<std::uint8_t> announce(std::uint8_t control, const Message& m) {
    const int packets = (m.length + 6) / 7;
    return {control,
            static_cast<std::uint8_t>(m.length & 0xFF),
            static_cast<std::uint8_t>(m.length >> 8),
            static_cast<std::uint8_t>(packets),
            0xFF,
            static_cast<std::uint8_t>(m.pgn & 0xFF),
            static_cast<std::uint8_t>(m.pgn >> 8 & 0xFF),
            static_cast<std::uint8_t>(m.pgn >> 16)};
}

TEST(Transport, BroadcastAnnounceGivesTheAnnouncedPgn) {
    Feeder run;
    const Message m = makeMessage(65240, 4, 300, 3);
    run.feed(control(4, 255, announce(32, m)));
    for (const Frame& f : transfer(4, 255, m))
        run.feed(f);
    ASSERT_EQ(run.out.size(), 1u);
    EXPECT_EQ(run.out[0].key, (test::Key{65240, 7, 4, 255}));
    EXPECT_EQ(run.out[0].data, payload(m));
    EXPECT_EQ(run.reassembler.counters().transports, 1u);
}

TEST(Transport, RequestToSendWithRetransmissionAskedByClearToSend) {
    Feeder run;
    const Message m = makeMessage(126464, 4, 40, 9);
    const auto data = transfer(4, 12, m);  // 6 packets
    run.feed(control(4, 12, announce(16, m)));
    run.feed(control(12, 4, {17, 3, 1}));
    run.feed(data, {0, 1, 3});  // packet 3 lost: the transfer is dropped
    EXPECT_EQ(run.reassembler.counters().transportLost, 1u);
    run.feed(control(12, 4, {17, 4, 3}));  // the receiver asks again from packet 3
    run.feed(data, {2, 3, 4, 5});
    ASSERT_EQ(run.out.size(), 1u);
    EXPECT_EQ(run.out[0].key, (test::Key{126464, 7, 4, 12}));
    EXPECT_EQ(run.out[0].data, payload(m));
}

TEST(Transport, FaultsAreCounted) {
    const Message m = makeMessage(65240, 4, 30, 3);  // 5 packets
    {
        Feeder run;  // a missing packet
        run.feed(control(4, 255, announce(32, m)));
        run.feed(transfer(4, 255, m), {0, 1, 3, 4});
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(run.reassembler.counters().transportLost, 1u);
        EXPECT_EQ(run.reassembler.counters().transportDiscardedFrames, 1u);
        // Told against the announced PGN, once for the transfer.
        EXPECT_EQ(run.drops, (std::vector<std::pair<std::uint32_t, int>>{{65240, 4}}));
    }
    {
        Feeder run;  // a repeated packet
        run.feed(control(4, 255, announce(32, m)));
        run.feed(transfer(4, 255, m), {0, 1, 1, 2, 3, 4});
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(run.reassembler.counters().transportRepeated, 1u);
    }
    {
        Feeder run;  // data without an announcement, then an abort
        run.feed(transfer(4, 255, m), {0, 1});
        EXPECT_EQ(run.reassembler.counters().transportOrphans, 2u);
        run.feed(control(4, 12, announce(16, m)));
        run.feed(control(12, 4, {255, 0xFF, 0xFF, 0xFF, 0xFF}));
        run.feed(transfer(4, 12, m), {0});
        EXPECT_EQ(run.reassembler.counters().transportAborted, 1u);
        EXPECT_EQ(run.reassembler.counters().transportOrphans, 3u);
        // Data of no announced transfer names no PGN; the aborted transfer does.
        EXPECT_EQ(run.drops, (std::vector<std::pair<std::uint32_t, int>>{{65240, 4}}));
    }
    {
        Feeder run;  // announcements that cannot be right, and a second one mid-transfer
        Message tooBig = m;
        tooBig.length = 8;
        run.feed(control(4, 255, announce(32, tooBig)));
        auto wrongCount = announce(32, m);
        wrongCount[3] = 9;
        run.feed(control(4, 255, wrongCount));
        EXPECT_EQ(run.reassembler.counters().transportBadAnnounce, 2u);
        run.feed(control(4, 255, announce(32, m)));
        run.feed(transfer(4, 255, m), {0, 1});
        run.feed(control(4, 255, announce(32, m)));
        run.feed(transfer(4, 255, m), {0, 1, 2, 3, 4});
        EXPECT_EQ(run.reassembler.counters().transportRestarted, 1u);
        EXPECT_EQ(run.out.size(), 1u);
        EXPECT_EQ(run.drops, (std::vector<std::pair<std::uint32_t, int>>(3, {65240, 4})));
    }
}

}  // namespace
}  // namespace n2k
