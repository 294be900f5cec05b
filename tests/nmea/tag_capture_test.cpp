// The TAG block the framer hands on with the sentence right behind it: kept only for
// that sentence, refused when broken, too long or not directly in front, the same
// however the bytes arrive, and without changing what is counted. Resuming in a
// fresh context, as the parse cycle does, is tested with the parse cycle.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "nmea/parser_context.h"
#include "nmea/sentence_parsers.h"
#include "nmea_test_support.h"

namespace nmeaz {
namespace {

using test::withChecksum;

// "\body*hh\" with the checksum computed here.
std::string block(std::string_view body) {
    return framedSentence('\\', body, "\\");
}

const std::string kAis = withChecksum("!AIVDM,1,1,,B,13F?Vv700<DJuLEtvep`iToV0<00,0");
const std::string kGga = withChecksum("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,,,");
const std::string kBlock = block("s:rORBCOMM104,q:u,c:1418172113");
const std::string kOther = block("c:1418169601,s:r003669945");

// Each framed sentence with the block the framer showed for it.
using Seen = std::vector<std::pair<std::string, std::string>>;

struct Framed {
    Seen seen;
    LineCounters counters{};
};

void record(void* user, const char* sentence, int length, FrameOutcome, FrameDeviations) {
    auto* run = static_cast<std::pair<Framed*, ParserContext*>*>(user);
    run->first->seen.emplace_back(std::string(sentence, static_cast<std::size_t>(length)),
                                  std::string(sentenceTagBlock(run->second)));
}

// Feeds `pieces` one after another into one context, as reads arrive; `byByte` takes
// the per-byte path instead of feedBuffer.
Framed feedPieces(const std::vector<std::string>& pieces, bool byByte) {
    Framed run;
    ParserContext context;
    init(&context);
    registerSentenceParsers(&context, parseVdmFields);
    std::pair<Framed*, ParserContext*> user{&run, &context};
    watchLine(&context, &run.counters, record, &user);
    for (const std::string& piece : pieces) {
        if (byByte) {
            for (char byte : piece) {
                feedByte(&context, static_cast<unsigned char>(byte));
            }
            continue;
        }
        for (int left = static_cast<int>(piece.size()); left > 0;) {
            int length = left;
            feedBuffer(&context, piece.data() + (piece.size() - left), &length);
            left = length;
        }
    }
    return run;
}

struct Case {
    const char* what;
    std::string bytes;
    std::vector<std::string> blocks;  // per framed sentence, in order
    std::uint64_t noiseBytes;         // what the framer counts as noise, blocks included
};

std::vector<Case> cases() {
    // "\c:1," + padding + "*hh\": the longest block kept, and one byte more.
    const std::string longest = block("c:1," + std::string(kMaxTagBlockLength - 9, 'p'));
    const std::string tooLong = block("c:1," + std::string(kMaxTagBlockLength - 8, 'p'));
    const std::string badChecksum = "\\c:1418172113*00\\";
    const std::string overlong = "$GPHDT," + std::string(300, '1');
    return {
        {"kept for the sentence behind it, not the next",
         kBlock + kAis + kGga,
         {kBlock, ""},
         kBlock.size()},
        {"each sentence its own",
         kBlock + kAis + kOther + kGga,
         {kBlock, kOther},
         kBlock.size() + kOther.size()},
        {"noise in front of the block does not matter",
         "zz" + kBlock + kAis,
         {kBlock},
         2 + kBlock.size()},
        {"a sentence with a bad checksum still shows its block",
         kBlock + "!AIVDM,1*00\r\n",
         {kBlock},
         kBlock.size()},
        {"bad block checksum", badChecksum + kAis, {""}, badChecksum.size()},
        {"garbage between block and sentence", kBlock + "x" + kAis, {""}, kBlock.size() + 1},
        {"a line end between block and sentence", kBlock + "\r\n" + kAis, {""}, kBlock.size()},
        {"a block never closed", "\\c:1418172113" + kAis, {""}, 13},
        {"a block at the length limit", longest + kAis, {longest}, longest.size()},
        {"over-long block",
         tooLong + kAis + kBlock + kGga,
         {"", kBlock},
         tooLong.size() + kBlock.size()},
        {"a broken sentence loses its block; the next has none",
         kBlock + "$GP,1\r\n" + kGga,
         {""},
         kBlock.size() + 1},
        {"a block in the tail of an over-long line is part of it",
         overlong + kBlock + kAis,
         {""},
         0},
    };
}

TEST(FramerTags, BlockGoesWithTheSentenceRightBehindIt) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        const Framed whole = feedPieces({c.bytes}, false);
        std::vector<std::string> blocks;
        for (const auto& [sentence, tag] : whole.seen) {
            blocks.push_back(tag);
        }
        EXPECT_EQ(blocks, c.blocks);
        EXPECT_EQ(whole.counters.noiseBytes, c.noiseBytes);
        EXPECT_EQ(decidedBytes(whole.counters), whole.counters.bytes);
        EXPECT_EQ(feedPieces({c.bytes}, true).seen, whole.seen) << "feedByte differs";
        // Cut into two reads anywhere, a block in flight is carried to the next read,
        // and nothing seen or counted changes.
        for (std::size_t cut = 1; cut < c.bytes.size(); ++cut) {
            const Framed split = feedPieces({c.bytes.substr(0, cut), c.bytes.substr(cut)}, false);
            ASSERT_EQ(split.seen, whole.seen) << "cut at " << cut;
            ASSERT_EQ(split.counters, whole.counters) << "cut at " << cut;
        }
    }
}

}  // namespace
}  // namespace nmeaz
